#include "IndexText.h"

#include <cstdlib>
#include <string>

namespace {

bool IsSeparator(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\v') || c == QLatin1Char('\f');
}

qsizetype FirstSeparator(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (IsSeparator(text[i]))
            return i;
    }
    return -1;
}

// As the C library's conversion: leading white space, a sign, digits up to the first other character.
int Decimal(const QString& text)
{
    const std::string bytes = text.toStdString();
    return static_cast<int>(std::strtol(bytes.c_str(), nullptr, 10));
}

QString LeftTrimmed(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    return text.mid(i);
}

} // namespace

bool IndexText::ReadTag(const QByteArray& text, qsizetype& cursor, QString& tag)
{
    tag.clear();
    const qsizetype open = text.indexOf('<', cursor);
    if (open < 0)
        return false;
    char quote = 0;
    for (qsizetype i = cursor; i < text.size(); ++i) {
        const char c = text[i];
        if (quote) {
            if (c == quote)
                quote = 0;
            continue;
        }
        if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == '>') {
            cursor = i + 1;
            if (i > open)
                tag = QString::fromUtf8(text.mid(open + 1, i - open - 1)).trimmed();
            return true;
        }
    }
    cursor = text.size();
    return false;
}

IndexText IndexText::Parse(const QByteArray& file)
{
    IndexText index;
    const QByteArray text = file.left(file.indexOf('\0') < 0 ? file.size() : file.indexOf('\0'));
    QString pendingTitle;
    qsizetype cursor = 0;
    QString tag;
    while (ReadTag(text, cursor, tag)) {
        if (tag.isEmpty()) {
            ++index.emptyTags;
            continue;
        }
        const qsizetype separator = FirstSeparator(tag);
        if (separator < 0)
            continue;
        const QString name = tag.left(separator);
        const QString rest = LeftTrimmed(tag.mid(separator + 1));
        const int itemCount = static_cast<int>(index.items.size());
        if (name.compare(QLatin1String("CAT"), Qt::CaseInsensitive) == 0) {
            index.categories.push_back({itemCount, static_cast<int>(index.subcategories.size()), rest});
        } else if (name.compare(QLatin1String("SUB"), Qt::CaseInsensitive) == 0) {
            pendingTitle = rest;
        } else if (name.compare(QLatin1String("DEFSCENE"), Qt::CaseInsensitive) == 0) {
            index.defaultScene = Decimal(rest);
        } else if (name.compare(QLatin1String("DEFFACE"), Qt::CaseInsensitive) == 0) {
            index.defaultFace = Decimal(rest);
        } else if (name.front() >= QLatin1Char('0') && name.front() <= QLatin1Char('9')) {
            Entry item;
            item.first = Decimal(name);
            QString remaining = rest.mid(1);
            const qsizetype quote = remaining.indexOf(QLatin1Char('"'));
            QString numbers = remaining;
            if (quote >= 0) {
                item.name = remaining.left(quote);
                numbers = remaining.mid(quote + 1);
            }
            if (!pendingTitle.isEmpty()) {
                index.subcategories.push_back({itemCount, 0, pendingTitle});
                pendingTitle.clear();
            }
            if (!numbers.isEmpty()) {
                for (qsizetype i = 0; i < numbers.size(); ++i) {
                    if (numbers[i] >= QLatin1Char('0') && numbers[i] <= QLatin1Char('9')) {
                        numbers = numbers.mid(i);
                        break;
                    }
                }
                int field[3] = {0, 0, 0};
                for (int& value : field) {
                    const qsizetype at = FirstSeparator(numbers);
                    if (at >= 0) {
                        value = Decimal(numbers.left(at));
                        numbers = numbers.mid(at + 1);
                    }
                }
                const int h = Decimal(numbers);
                item.left = field[0];
                item.top = field[1];
                item.right = field[0] + field[2];
                item.bottom = field[1] + h;
            }
            index.items.push_back(item);
        }
    }
    return index;
}

std::vector<IndexText::Entry> IndexText::ItemsOf(size_t subcategory) const
{
    const size_t first = static_cast<size_t>(subcategories[subcategory].first);
    const size_t end = subcategory + 1 < subcategories.size() ? static_cast<size_t>(subcategories[subcategory + 1].first)
                                                              : items.size();
    return std::vector<Entry>(items.begin() + first, items.begin() + end);
}

std::vector<size_t> IndexText::SubcategoriesOf(size_t category) const
{
    const size_t first = static_cast<size_t>(categories[category].second);
    const size_t end = category + 1 < categories.size() ? static_cast<size_t>(categories[category + 1].second)
                                                        : subcategories.size();
    std::vector<size_t> result;
    for (size_t k = first; k < end; ++k)
        result.push_back(k);
    return result;
}
