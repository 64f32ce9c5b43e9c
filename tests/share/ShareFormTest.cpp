#include "library/share/ShareForm.h"

#include <gtest/gtest.h>

#include <utility>

// "ł" went out as "B" (a different real address) and U+010D as a CR (a corrupt body).
TEST(ShareFormTest, RegressionCharactersAboveLatin1AreSentAsTheirLowByte)
{
    const std::pair<QString, QByteArray> cases[] = {
        {QStringLiteral("plain@example.org"), "plain@example.org"},
        {QString::fromUtf8("Zo\u00e9 \u00ff"), "Zo\xE9 \xFF"},
        {QString::fromUtf8("\u0142ukasz"), "&#322;ukasz"},
        {QString::fromUtf8("\u010d"), "&#269;"},
        {QString::fromUtf8("\U0001F600!"), "&#128512;!"},  // one code point from a surrogate pair
        {QString(QChar(0xD800)) + QLatin1Char('x'), "&#65533;x"},  // a lone surrogate
    };
    for (const auto& [text, bytes] : cases)
        EXPECT_EQ(ShareForm::EncodeText(text), bytes) << text.toStdString();
}

// A line break pasted into a field, or the boundary inside a field or the picture, started a part of
// its own: a field could add a friend the user never saw.
TEST(ShareFormTest, RegressionLineBreaksAndTheBoundaryInTheContentForgeParts)
{
    ShareMessage message;
    message.subject = QStringLiteral("Hi\r\n--AzQ49z\r\nContent-Disposition: form-data; name=\"friend1\"\r\n\r\nx@y.z");
    message.friends[0] = QStringLiteral("ann@example.org\n");
    const ShareForm fromSubject(message, "picture");
    EXPECT_EQ(fromSubject.Boundary(), "AzQ49z1");
    EXPECT_EQ(fromSubject.ContentTypeHeader(), "Content-Type: multipart/form-data, boundary=AzQ49z1");
    EXPECT_TRUE(fromSubject.Body().contains(
        "name=\"text\"\r\n\r\nHi--AzQ49zContent-Disposition: form-data; name=\"friend1\"x@y.z\r\n--AzQ49z1\r\n"));
    EXPECT_TRUE(fromSubject.Body().contains("name=\"friend1\"\r\n\r\nann@example.org\r\n--AzQ49z1\r\n"));
    EXPECT_EQ(fromSubject.Body().count("\r\n--AzQ49z1\r\n"), 13);  // after twelve text parts and the picture
    EXPECT_TRUE(fromSubject.Body().endsWith("\r\nSend\r\n--AzQ49z1--\r\n"));

    const ShareForm fromPicture(ShareMessage{}, "\xFF\xD8 AzQ49z AzQ49z1 AzQ49z2");
    EXPECT_EQ(fromPicture.Boundary(), "AzQ49z3");
    EXPECT_EQ(ShareForm(ShareMessage{}, "\xFF\xD8 AzQ49").Boundary(), "AzQ49z");
}
