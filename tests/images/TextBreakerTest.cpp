#include "platform/TextBreaker.h"

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

// Every character is one unit wide, so the widths are easy to follow.
QStringList Lines(const QString& text, int width, bool wordBreak = true)
{
    const auto lines = platform::BreakTextLines(text, width, wordBreak,
                                                [](QStringView piece) { return static_cast<int>(piece.size()); });
    QStringList result;
    for (const platform::TextLine& line : lines)
        result << text.sliced(line.start, line.length);
    return result;
}

TEST(TextBreakerTest, WordsWrapAtTheLastSpaceThatFits)
{
    EXPECT_EQ(Lines("one two three", 7), (QStringList{"one two", "three"}));
    EXPECT_EQ(Lines("one two three", 13), (QStringList{"one two three"}));
    EXPECT_EQ(Lines("one   two", 4), (QStringList{"one", "two"}));
    EXPECT_EQ(Lines("ab cd", 3), (QStringList{"ab", "cd"}));
}

TEST(TextBreakerTest, OverLongWordsBreakBetweenCharacters)
{
    EXPECT_EQ(Lines("abcdefgh", 3), (QStringList{"abc", "def", "gh"}));
    EXPECT_EQ(Lines("x abcdefg y", 4), (QStringList{"x", "abcd", "efg", "y"}));
    EXPECT_EQ(Lines("abc", 0), (QStringList{"a", "b", "c"}));
}

TEST(TextBreakerTest, CarriageReturnLineFeedIsOneBreak)
{
    EXPECT_EQ(Lines("a\r\nb", 10), (QStringList{"a", "b"}));
    EXPECT_EQ(Lines("a\r\n\r\nb", 10), (QStringList{"a", "", "b"}));
    EXPECT_EQ(Lines("a\rb\nc", 10), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(Lines("a\n\rb", 10), (QStringList{"a", "", "b"}));
    EXPECT_EQ(Lines("a\r\n", 10), (QStringList{"a"}));
    EXPECT_TRUE(Lines("", 10).isEmpty());
}

TEST(TextBreakerTest, WithoutWordBreakOnlyHardBreaksCount)
{
    EXPECT_EQ(Lines("one two three\r\nfour", 3, false), (QStringList{"one two three", "four"}));
}

} // namespace
