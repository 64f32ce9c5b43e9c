#include "support/TestLayer.h"

#include "engine/document/Document.h"
#include "engine/layers/LayerList.h"

#include <gtest/gtest.h>

namespace {

TestLayer* Add(LayerList& list, const QString& path, int32_t number, int32_t kind, int32_t tag,
               const QString& name = QString())
{
    auto* layer = new TestLayer(0, tag);
    layer->path = path;
    layer->number = number;
    layer->kind = kind;
    layer->name = name;
    layer->LinkBefore(&list);  // at the front end
    return layer;
}

class LayerListTest : public ::testing::Test {
protected:
    ~LayerListTest() override { list.DeleteAll(); }
    LayerList list;
};

TEST_F(LayerListTest, GetAtCountsFromTheBack)
{
    EXPECT_EQ(list.GetAt(0), nullptr);
    TestLayer* a = Add(list, "a", 1, LayerKindAccessory, 0);
    TestLayer* b = Add(list, "b", 2, LayerKindAccessory, 0);
    EXPECT_EQ(list.GetAt(0), a);
    EXPECT_EQ(list.GetAt(1), b);
    EXPECT_EQ(list.GetAt(2), nullptr);
    EXPECT_EQ(list.GetAt(-1), nullptr);
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.IndexOf(b), 1);
    EXPECT_EQ(list.IndexOf(nullptr), -1);
}

TEST_F(LayerListTest, FindComparesIdentityWithCase)
{
    Add(list, "x", 3, LayerKindBubble, 0);
    TestLayer* second = Add(list, "Pic.png", 0, LayerKindOwnFile, 1);
    TestLayer* third = Add(list, "Pic.png", 0, LayerKindOwnFile, 1);
    EXPECT_EQ(list.Find("Pic.png", 0, LayerKindOwnFile, 1), second);  // the first from the back
    EXPECT_EQ(list.Find("pic.png", 0, LayerKindOwnFile, 1), nullptr);
    EXPECT_EQ(list.Find("Pic.png", 0, LayerKindOwnFile, 0), nullptr);
    EXPECT_EQ(list.Find("Pic.png", 1, LayerKindOwnFile, 1), nullptr);
    EXPECT_EQ(list.Find("Pic.png", 0, LayerKindFace, 1), nullptr);
    list.Remove("Pic.png", 0, LayerKindOwnFile, 1);
    EXPECT_EQ(list.Find("Pic.png", 0, LayerKindOwnFile, 1), third);
    list.Remove("nothing", 0, 0, 0);
    EXPECT_EQ(list.GetCount(), 2);
}

TEST_F(LayerListTest, CountSameIgnoresTheTag)
{
    Add(list, QString(), 5, LayerKindBubble, 0);
    Add(list, QString(), 5, LayerKindBubble, 7);
    Add(list, QString(), 6, LayerKindBubble, 0);
    Add(list, "p", 5, LayerKindBubble, 0);
    EXPECT_EQ(list.CountSame(QString(), 5, LayerKindBubble), 2);
    EXPECT_EQ(list.CountSame(QString(), 5, LayerKindAccessory), 0);
}

TEST_F(LayerListTest, FreeTagEqualsCountSameInOrdinaryUse)
{
    EXPECT_EQ(list.FreeTag(QString(), 5, LayerKindBubble), 0);
    Add(list, QString(), 5, LayerKindBubble, 0);
    EXPECT_EQ(list.FreeTag(QString(), 5, LayerKindBubble), 1);
    Add(list, QString(), 5, LayerKindBubble, 1);
    Add(list, QString(), 9, LayerKindBubble, 2);
    EXPECT_EQ(list.FreeTag(QString(), 5, LayerKindBubble), 2);
    EXPECT_EQ(list.FreeTag(QString(), 5, LayerKindBubble), list.CountSame(QString(), 5, LayerKindBubble));
}

TEST_F(LayerListTest, RegressionTagsRepeatAfterADeletion)
{
    // Two identical bubbles X (tag 0) and Y (tag 1); X is deleted; a new one Z is added.
    TestLayer* x = Add(list, QString(), 5, LayerKindBubble, 0);
    TestLayer* y = Add(list, QString(), 5, LayerKindBubble, 1);
    delete x;
    EXPECT_EQ(list.CountSame(QString(), 5, LayerKindBubble), 1);  // would give Y's tag again
    const int32_t tag = list.FreeTag(QString(), 5, LayerKindBubble);
    EXPECT_EQ(tag, 0);
    TestLayer* z = Add(list, QString(), 5, LayerKindBubble, tag);
    // Removing Z (undoing its insertion) leaves Y and its text alone.
    list.Remove(QString(), 5, LayerKindBubble, z->tag);
    EXPECT_EQ(list.GetAt(0), y);
    EXPECT_EQ(list.GetCount(), 1);
}

TEST_F(LayerListTest, FreeTagIgnoresNegativeAndLargeTags)
{
    Add(list, "a", 1, 1, -4);
    Add(list, "a", 1, 1, 1000);
    Add(list, "a", 1, 1, 1);
    EXPECT_EQ(list.FreeTag("a", 1, 1), 0);
    Add(list, "a", 1, 1, 0);
    EXPECT_EQ(list.FreeTag("a", 1, 1), 2);
}

TEST(DocumentLayerNumberTest, NextLayerNumberReadsTheNumberAfterThePrefix)
{
    Document document;
    EXPECT_EQ(document.NextLayerNumber("Text"), 1);
    Add(document.layers, QString(), 1, LayerKindBubble, 0, "Text 1");
    Add(document.layers, QString(), 1, LayerKindBubble, 1, "Text 7");
    Add(document.layers, QString(), 0, LayerKindFace, 0, "Face 3");
    EXPECT_EQ(document.NextLayerNumber("Text"), 8);
    EXPECT_EQ(document.NextLayerNumber("Face"), 4);
    EXPECT_EQ(document.NextLayerNumber("face"), 1);  // case counts
    Document other;
    Add(other.layers, QString(), 1, LayerKindBubble, 0, "Text");
    EXPECT_EQ(other.NextLayerNumber("Text"), 1);
}

} // namespace
