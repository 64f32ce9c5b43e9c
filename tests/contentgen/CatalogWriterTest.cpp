#include "library/catalog/Catalog.h"
#include "support/CatalogText.h"
#include "tools/contentgen/CatalogWriter.h"

#include <gtest/gtest.h>

namespace {

TEST(CatalogWriterTest, WritesTagsTheReaderTakesBack)
{
    CatalogWriter writer;
    writer.DefaultScene(7);
    writer.DefaultFace(9);
    ASSERT_TRUE(writer.Category(QStringLiteral("Animals")));
    ASSERT_TRUE(writer.Subcategory(QString::fromUtf8("Caf\xc3\xa9 Dogs")));
    ASSERT_TRUE(writer.Item(7, QStringLiteral("http://127.0.0.1:8468/Scenes/7.jpg"), QRect(10, 20, 30, 40)));
    ASSERT_TRUE(writer.Item(9, QStringLiteral("100% %1 Rex"), QRect(0, 0, 512, 512)));
    ASSERT_TRUE(writer.Category(QStringLiteral("Hats")));
    ASSERT_TRUE(writer.Subcategory(QStringLiteral("Hat")));
    ASSERT_TRUE(writer.Item(3, QStringLiteral("Top Hat"), QRect(0, 0, 400, 300)));
    const std::optional<QByteArray> text = writer.Finish();
    ASSERT_TRUE(text) << writer.ErrorText().toStdString();
    EXPECT_EQ(*text, QByteArray("<DEFSCENE 7>\n<DEFFACE 9>\n<CAT Animals>\n<SUB Caf\xc3\xa9 Dogs>\n"
                                "<7 \"http://127.0.0.1:8468/Scenes/7.jpg\" 10 20 30 40>\n"
                                "<9 \"100% %1 Rex\" 0 0 512 512>\n<CAT Hats>\n<SUB Hat>\n<3 \"Top Hat\" 0 0 400 300>\n"));

    // The program's catalogue reads back what was written, and the writer's listing says the same.
    Catalog catalog(QStringLiteral("EncList"), QStringLiteral("Thumbs"));
    ASSERT_TRUE(ParseText(catalog, *text));
    EXPECT_EQ(catalog.defaultScene, 7);
    EXPECT_EQ(catalog.defaultFace, 9);
    EXPECT_EQ(Describe(catalog).toStdString(),
              "C 0,0 Animals | C 2,1 Hats | S 0 Caf\xc3\xa9 Dogs | S 2 Hat | "
              "I 7 http://127.0.0.1:8468/Scenes/7.jpg 10,20,40,60 | I 9 100% %1 Rex 0,0,512,512 | I 3 Top Hat 0,0,400,300");
    const CatalogWriter::Listing& listing = writer.Written();
    EXPECT_EQ(listing.defaultScene, 7);
    ASSERT_EQ(listing.items.size(), 3u);
    EXPECT_EQ(listing.items[1].category, QStringLiteral("Animals"));
    EXPECT_EQ(listing.items[1].subcategory, QString::fromUtf8("Caf\xc3\xa9 Dogs"));
    EXPECT_EQ(listing.items[2].rect, QRect(0, 0, 400, 300));
}

TEST(CatalogWriterTest, RefusesTextsTheReaderWouldMisread)
{
    for (const char* title : {"Don't", "Say \"hi\"", "a<b", "a>b", " Lead", "Trail ", "", "Two\nLines"}) {
        CatalogWriter writer;
        EXPECT_FALSE(writer.Category(QString::fromUtf8(title))) << title;
        EXPECT_FALSE(writer.ErrorText().isEmpty());
    }
    CatalogWriter writer;
    ASSERT_TRUE(writer.Category(QStringLiteral("C")));
    ASSERT_TRUE(writer.Subcategory(QStringLiteral("S")));
    EXPECT_FALSE(writer.Item(1, QStringLiteral("Rex's"), QRect(0, 0, 1, 1)));
    EXPECT_FALSE(writer.Item(2, QStringLiteral("a \"b\""), QRect(0, 0, 1, 1)));
    EXPECT_FALSE(writer.Finish());
}

TEST(CatalogWriterTest, RefusesStructuresTheReaderWouldRegroup)
{
    {
        CatalogWriter writer;  // a subcategory without items would open the next category
        ASSERT_TRUE(writer.Category(QStringLiteral("A")));
        ASSERT_TRUE(writer.Subcategory(QStringLiteral("Empty")));
        EXPECT_FALSE(writer.Category(QStringLiteral("B")));
    }
    {
        CatalogWriter writer;  // an item before the first subcategory joins the one before
        ASSERT_TRUE(writer.Category(QStringLiteral("A")));
        EXPECT_FALSE(writer.Item(1, QStringLiteral("x"), QRect(0, 0, 1, 1)));
    }
    {
        CatalogWriter writer;  // the last subcategory needs an item too
        ASSERT_TRUE(writer.Category(QStringLiteral("A")));
        ASSERT_TRUE(writer.Subcategory(QStringLiteral("S")));
        EXPECT_FALSE(writer.Finish());
    }
    {
        CatalogWriter writer;  // a category needs a subcategory
        ASSERT_TRUE(writer.Category(QStringLiteral("A")));
        EXPECT_FALSE(writer.Finish());
    }
    {
        CatalogWriter writer;
        EXPECT_FALSE(writer.Finish());  // nothing at all
    }
}

TEST(CatalogWriterTest, RefusesRepeatedNumbersNegativeValuesAndUnknownDefaults)
{
    CatalogWriter writer;
    ASSERT_TRUE(writer.Category(QStringLiteral("A")));
    ASSERT_TRUE(writer.Subcategory(QStringLiteral("S")));
    ASSERT_TRUE(writer.Item(5, QStringLiteral("x"), QRect(0, 0, 1, 1)));
    EXPECT_FALSE(writer.Item(5, QStringLiteral("y"), QRect(0, 0, 1, 1)));
    EXPECT_FALSE(writer.Item(6, QStringLiteral("z"), QRect(-5, 0, 1, 1)));
    EXPECT_FALSE(writer.Item(0, QStringLiteral("zero"), QRect(0, 0, 1, 1)));

    CatalogWriter unknownDefault;
    unknownDefault.DefaultScene(99);
    ASSERT_TRUE(unknownDefault.Category(QStringLiteral("A")));
    ASSERT_TRUE(unknownDefault.Subcategory(QStringLiteral("S")));
    ASSERT_TRUE(unknownDefault.Item(5, QStringLiteral("x"), QRect(0, 0, 1, 1)));
    EXPECT_FALSE(unknownDefault.Finish());
}

} // namespace
