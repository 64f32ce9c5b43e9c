#include "support/CatalogText.h"

#include "support/TestFiles.h"
#include "support/TestPictures.h"

#include <QStringList>
#include <QTemporaryDir>

QString Describe(const Catalog& catalog)
{
    // One multi-argument arg() each, so that a "%1" in a name stays as it is.
    const auto n = [](int32_t value) { return QString::number(value); };
    QStringList parts;
    for (const FileItem& c : catalog.categories)
        parts << QStringLiteral("C %1,%2 %3").arg(n(c.first), n(c.second), c.name);
    for (const FileItem& s : catalog.subcategories)
        parts << QStringLiteral("S %1 %2").arg(n(s.first), s.name);
    for (const FileItem& i : catalog.items) {
        const Rect& r = i.rect;
        parts << QStringLiteral("I %1 %2 %3,%4,%5,%6").arg(n(i.first), i.name, n(r.left), n(r.top), n(r.right), n(r.bottom));
    }
    return parts.join(QStringLiteral(" | "));
}

bool ParseText(Catalog& catalog, const QByteArray& text)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(catalog.GetIndexName() + QStringLiteral(".txt"));
    WriteFile(path, Scrambled(text));
    return catalog.Parse(path);
}
