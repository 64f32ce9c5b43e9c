#include "tools/contentgen/CatalogWriter.h"

namespace {

bool IsRefused(QChar c)
{
    return c == QLatin1Char('"') || c == QLatin1Char('\'') || c == QLatin1Char('<') || c == QLatin1Char('>')
           || c.category() == QChar::Other_Control;
}

QByteArray Line(const QString& tag)
{
    return QByteArray("<") + tag.toUtf8() + QByteArray(">\n");
}

} // namespace

bool CatalogWriter::Fail(const QString& error)
{
    if (m_error.isEmpty())
        m_error = error;
    return false;
}

bool CatalogWriter::CheckText(const QString& what, const QString& text)
{
    if (text.isEmpty())
        return Fail(QStringLiteral("%1 is empty").arg(what));
    if (text.front().isSpace() || text.back().isSpace())
        return Fail(QStringLiteral("%1 \"%2\" starts or ends with white space").arg(what, text));
    for (const QChar c : text) {
        if (IsRefused(c))
            return Fail(QStringLiteral("%1 \"%2\" holds a character the reader would misread").arg(what, text));
    }
    return true;
}

bool CatalogWriter::CloseSubcategory()
{
    if (m_subcategoryOpen && !m_subcategoryHasItem)
        return Fail(QStringLiteral("a subcategory has no item"));
    m_subcategoryOpen = false;
    return true;
}

bool CatalogWriter::Category(const QString& title)
{
    if (!CloseSubcategory() || !CheckText(QStringLiteral("category title"), title))
        return false;
    if (m_inCategory && !m_categoryHasSubcategory)
        return Fail(QStringLiteral("a category has no subcategory"));
    m_inCategory = true;
    m_categoryHasSubcategory = false;
    m_category = title;
    m_body += Line(QStringLiteral("CAT ") + title);
    return true;
}

bool CatalogWriter::Subcategory(const QString& title)
{
    if (!CloseSubcategory() || !CheckText(QStringLiteral("subcategory title"), title))
        return false;
    if (!m_inCategory)
        return Fail(QStringLiteral("subcategory \"%1\" comes before any category").arg(title));
    m_categoryHasSubcategory = true;
    m_subcategoryOpen = true;
    m_subcategoryHasItem = false;
    m_subcategory = title;
    m_body += Line(QStringLiteral("SUB ") + title);
    return true;
}

bool CatalogWriter::Item(int number, const QString& name, const QRect& rect)
{
    if (!CheckText(QStringLiteral("item name"), name))
        return false;
    if (!m_subcategoryOpen)
        return Fail(QStringLiteral("item %1 comes before its category's first subcategory").arg(number));
    if (number <= 0 || rect.x() < 0 || rect.y() < 0 || rect.width() < 0 || rect.height() < 0)
        return Fail(QStringLiteral("item %1 has a negative number").arg(number));
    if (!m_numbers.insert(number).second)
        return Fail(QStringLiteral("item number %1 is used twice").arg(number));
    m_subcategoryHasItem = true;
    m_listing.items.push_back({m_category, m_subcategory, number, name, rect});
    // Built piece by piece: a name may hold "%" signs that a formatted string would replace.
    const auto n = [](int value) { return QString::number(value); };
    m_body += Line(n(number) + QStringLiteral(" \"") + name + QStringLiteral("\" ") + n(rect.x()) + QLatin1Char(' ')
                   + n(rect.y()) + QLatin1Char(' ') + n(rect.width()) + QLatin1Char(' ') + n(rect.height()));
    return true;
}

std::optional<QByteArray> CatalogWriter::Finish()
{
    CloseSubcategory();
    if (!m_inCategory)
        Fail(QStringLiteral("the index has no category"));
    else if (!m_categoryHasSubcategory)
        Fail(QStringLiteral("a category has no subcategory"));
    for (const int number : {m_defaultScene, m_defaultFace}) {
        if (number != -1 && !m_numbers.count(number))
            Fail(QStringLiteral("the default item %1 is not in the index").arg(number));
    }
    if (!m_error.isEmpty())
        return std::nullopt;
    m_listing.defaultScene = m_defaultScene;
    m_listing.defaultFace = m_defaultFace;
    QByteArray text;
    if (m_defaultScene != -1)
        text += Line(QStringLiteral("DEFSCENE %1").arg(m_defaultScene));
    if (m_defaultFace != -1)
        text += Line(QStringLiteral("DEFFACE %1").arg(m_defaultFace));
    return text + m_body;
}
