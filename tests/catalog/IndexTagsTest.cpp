#include "library/catalog/IndexTags.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <cstring>
#include <limits>

namespace {

// Every call of ReadTag on a text: the tag texts, "-" for a call that found a stray ">", and "end" for the
// final false, with where the cursor stopped.
QString Calls(const char* text)
{
    QStringList calls;
    TagCursor cursor(text);
    QString tag;
    for (int guard = 0; guard < 100; ++guard) {
        const bool found = ReadTag(tag, cursor);
        if (!found) {
            EXPECT_TRUE(tag.isEmpty());
            calls << QStringLiteral("end@%1").arg(cursor.position - text);
            break;
        }
        calls << (tag.isEmpty() ? QStringLiteral("-") : tag);
    }
    return calls.join(QLatin1Char('|'));
}

TEST(ReadTagTest, TagsRunsAndStrayBrackets)
{
    const struct {
        const char* text;
        const char* calls;
    } cases[] = {
        {"", "end@0"},
        {"no tags > here", "end@0"},  // no "<": the cursor does not move
        {"<CAT  A >x<B>", "CAT  A|B|end@13"},
        {"> <A>", "-|A|end@5"},                     // a stray ">" gives one empty tag, then the same "<"
        {">> <A>", "-|-|A|end@6"},
        {"<A \"x>y\" z>", "A \"x>y\" z|end@11"},    // ">" inside a run does not end the tag
        {"<A 'x>y' z>", "A 'x>y' z|end@11"},
        {"it's <A> it's <B>", "A> it's <B|end@17"},  // a quote between tags hides up to its match
        {"it's <A>", "end@3"},                         // unclosed run: nothing, the cursor past the last quote
        {"<A> <B", "A|end@3"},                         // unclosed tag
        {"<A>\"<B>", "A|end@4"},
        {"<\xc3\xa9t\xc3\xa9>", "\xc3\xa9t\xc3\xa9|end@7"},
        {"<\t\r\n A B \n>", "A B|end@11"},  // trimmed at both ends
        {"<>", "-|end@2"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Calls(c.text), QString::fromUtf8(c.calls)) << c.text;
}

TEST(Utf8ToCStringTest, ConvertsNMinusOneBytesTrimmed)
{
    QString text = QStringLiteral("old");
    Utf8ToCString(text, " Caf\xc3\xa9 !", 8);
    EXPECT_EQ(text, QString::fromUtf8("Caf\xc3\xa9"));
    for (const int64_t n : {1, 0, -5}) {
        text = QStringLiteral("old");
        Utf8ToCString(text, "abc", n);
        EXPECT_TRUE(text.isEmpty()) << n;
    }
    Utf8ToCString(text, "\xff" "a", 3);  // not UTF-8: the replacement character
    EXPECT_EQ(text, QStringLiteral("\uFFFDa"));
    Utf8ToCString(text, "\xEF\xBB\xBF" "CAT A ", 10);  // a byte-order mark is a character like any other
    EXPECT_EQ(text, QStringLiteral("\uFEFFCAT A"));
    Utf8ToCString(text, "\xEF\xBB\xBF\xEF\xBB\xBF" "A", 8);  // each of them
    EXPECT_EQ(text, QStringLiteral("\uFEFF\uFEFFA"));
}

TEST(DecimalValueTest, AsTheCLibraryReadsThem)
{
    constexpr int32_t Max = std::numeric_limits<int32_t>::max();
    constexpr int32_t Min = std::numeric_limits<int32_t>::min();
    const struct {
        const char* text;
        int32_t value;
    } cases[] = {
        {"12", 12}, {"  \t-7x", -7}, {"+5", 5}, {"", 0}, {"x12", 0}, {"- 3", 0}, {"0012 34", 12},
        {"2147483647", Max}, {"-2147483648", Min}, {"\xef\xbc\x91", 0},  // only ASCII digits count
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecimalValue(QString::fromUtf8(c.text)), c.value) << c.text;
}

TEST(DecimalValueTest, RegressionSaturatesAt32Bits)
{
    EXPECT_EQ(DecimalValue(u"2147483648"), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(DecimalValue(u"99999999999999999999999999"), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(DecimalValue(u"-2147483649"), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(DecimalValue(u"-99999999999999999999999999"), std::numeric_limits<int32_t>::min());
}

} // namespace
