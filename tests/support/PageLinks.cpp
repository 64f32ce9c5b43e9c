#include "PageLinks.h"

#include <QRegularExpression>

namespace {

QStringList Matches(const QByteArray& html, const QRegularExpression& pattern)
{
    QStringList found;
    QRegularExpressionMatchIterator it = pattern.globalMatch(QString::fromUtf8(html));
    while (it.hasNext()) {
        const QString target = it.next().captured(1);
        if (!target.contains(u':') && !target.startsWith(u'#'))
            found << target;
    }
    return found;
}

} // namespace

QStringList PageLinks(const QByteArray& html)
{
    static const QRegularExpression pattern(QStringLiteral("\\b(?:src|href)=\"([^\"]*)\""));
    return Matches(html, pattern);
}

QStringList PagePictures(const QByteArray& html)
{
    static const QRegularExpression pattern(QStringLiteral("<img\\b[^>]*\\bsrc=\"([^\"]*)\""));
    return Matches(html, pattern);
}
