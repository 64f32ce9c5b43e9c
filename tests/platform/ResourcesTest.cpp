#include "platform/ResourceId.h"
#include "platform/Resources.h"

#include <QColor>
#include <QImage>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace {

using platform::ResourceType;
using platform::Resources;
namespace id = platform::ResourceId;

struct Expected {
    ResourceType type;
    int32_t id;
    int32_t size;  // icons
    int width;
    int height;
    QImage::Format format;
};

constexpr auto B8 = QImage::Format_Indexed8;
constexpr auto B24 = QImage::Format_BGR888;
constexpr auto B32 = QImage::Format_ARGB32_Premultiplied;

// Every picture the program names, with the size its users rely on. The cursors' sizes and hot spots are
// checked where the shared cursors load them (SharedCursorsTest).
std::vector<Expected> EveryPicture()
{
    std::vector<Expected> all{
        {ResourceType::Bitmap, 148, 0, 416, 32, B32}, {ResourceType::Bitmap, 149, 0, 416, 32, B32},
        {ResourceType::Bitmap, 150, 0, 416, 32, B8},  {ResourceType::Bitmap, 151, 0, 16, 14, B24},
        {ResourceType::Bitmap, 152, 0, 16, 14, B24},  {ResourceType::Bitmap, 180, 0, 100, 100, B24},
        {ResourceType::Bitmap, 182, 0, 26, 28, B32},  {ResourceType::Bitmap, 183, 0, 26, 28, B32},
        {ResourceType::Bitmap, 184, 0, 26, 28, B32},  {ResourceType::Bitmap, 185, 0, 24, 24, B32},
    };
    for (int32_t first : {153, 161}) {
        for (int i = 0; i < 8; ++i)
            all.push_back({ResourceType::Bitmap, first + i, 0, i == 5 ? 125 : i == 6 ? 72 : 92, 48, B24});
    }
    for (int32_t tip = 169; tip <= 179; ++tip)
        all.push_back({ResourceType::Png, tip, 0, 442, 290, B32});
    for (int32_t size : {16, 32, 48})
        all.push_back({ResourceType::Icon, 128, size, size, size, B32});
    return all;
}

TEST(ResourcesTest, EveryPictureResolvesAtItsExactSizeAndDepth)
{
    for (const Expected& e : EveryPicture()) {
        SCOPED_TRACE(testing::Message() << "resource " << e.id << " size " << e.size);
        const QImage picture = Resources::Picture(e.type, e.id, e.size);
        ASSERT_FALSE(picture.isNull());
        EXPECT_EQ(picture.size(), QSize(e.width, e.height));
        EXPECT_EQ(picture.format(), e.format);
        // The help tips are decoded by their dialog from the file's bytes.
        EXPECT_EQ(QImage::fromData(Resources::Bytes(e.type, e.id, e.size), "PNG").size(), picture.size());
    }
    EXPECT_EQ(Resources::Icon(id::ProgramIcon).availableSizes().size(), 3);
}

TEST(ResourcesTest, AMissingIdIsAnAnswerNotAFailure)
{
    EXPECT_TRUE(Resources::Picture(ResourceType::Bitmap, 181).isNull());
    EXPECT_TRUE(Resources::Picture(ResourceType::Png, 180).isNull());  // a bitmap's id, not a PNG's
    EXPECT_TRUE(Resources::Bytes(ResourceType::Png, 168).isEmpty());
    EXPECT_FALSE(Resources::Cursor(132, 32).has_value());
    EXPECT_FALSE(Resources::Cursor(130, 48).has_value());
    EXPECT_TRUE(Resources::Icon(129).isNull());
    EXPECT_FALSE(Resources::String(102).has_value());
    EXPECT_TRUE(Resources::CommandTooltip(40000).isEmpty());
}

// How many pixels of `area` in `image` pass `test`.
int Count(const QImage& image, const QRect& area, const std::function<bool(QRgb)>& test)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            count += test(image.pixel(x, y));
    }
    return count;
}

// Every picture of the tool bar strips has an edge of the transparent key colour and something drawn
// inside; the disabled strip is grey but for its key colour.
TEST(ResourcesTest, ToolBarStripsStandOnTheKeyColour)
{
    const QRgb key = qRgb(236, 233, 216);
    const auto isKey = [key](QRgb pixel) { return pixel == key; };
    for (int32_t strip : {id::ToolBarNormal, id::ToolBarHot, id::ToolBarDisabled}) {
        const QImage image = Resources::Picture(ResourceType::Bitmap, strip);
        ASSERT_EQ(image.width(), 13 * 32);
        for (int picture = 0; picture < 13; ++picture) {
            SCOPED_TRACE(testing::Message() << "strip " << strip << " picture " << picture);
            const QRect whole(picture * 32, 0, 32, 32);
            EXPECT_EQ(Count(image, whole, isKey) - Count(image, whole.adjusted(1, 1, -1, -1), isKey), 4 * 31);
            EXPECT_GT(32 * 32 - Count(image, whole, isKey), 100);
        }
    }
    const QImage disabled = Resources::Picture(ResourceType::Bitmap, id::ToolBarDisabled);
    EXPECT_EQ(Count(disabled, disabled.rect(), [key](QRgb p) {
                  return p != key && (qRed(p) != qGreen(p) || qGreen(p) != qBlue(p));
              }), 0);
}

// The help tip dialog shows a tip centred in a control of 438 x 219 pixels: outside that middle part a
// tip is its plain background.
TEST(ResourcesTest, TipPicturesKeepTheirContentInTheShownMiddle)
{
    const QRect shown(2, 36, 438, 218);
    for (int32_t tip = id::TipFirst; tip <= id::TipLast; ++tip) {
        const QImage image = Resources::Picture(ResourceType::Png, tip);
        ASSERT_FALSE(image.isNull());
        const auto drawn = [background = image.pixel(0, 0)](QRgb pixel) { return pixel != background; };
        const int inside = Count(image, shown, drawn);
        EXPECT_EQ(Count(image, image.rect(), drawn), inside) << tip;  // nothing outside
        EXPECT_GT(inside, 5000) << tip;  // a text and an illustration
    }
}

// The brush cursors are circles as wide as the brush.
TEST(ResourcesTest, BrushCursorsAreCirclesOfTheBrushSize)
{
    for (int32_t cursor : {id::PaintCursor, id::EraseCursor}) {
        for (int32_t size : {16, 32, 48}) {
            const QImage image = Resources::Cursor(cursor, size)->image;
            const int middle = size / 2;
            int left = -1;
            int right = -1;
            for (int x = 0; x < size; ++x) {
                if (qAlpha(image.pixel(x, middle)) > 128) {
                    right = x;
                    if (left < 0)
                        left = x;
                }
            }
            EXPECT_LE(left, 1) << cursor << " " << size;
            EXPECT_GE(right, size - 2) << cursor << " " << size;
            EXPECT_EQ(qAlpha(image.pixel(middle, middle)), 255);  // the dot at the hot spot
        }
    }
}

TEST(ResourcesTest, StringTableHoldsTheProgramsTexts)
{
    EXPECT_EQ(Resources::String(id::StringOleInitFailed),
              QStringLiteral("OLE initialization failed. Make sure that the OLE libraries are the correct version."));
    EXPECT_EQ(Resources::String(id::StringDocumentTemplate),
              QStringLiteral("Snapmingle\n\nSnapmingle\nSnapmingle Projects (*.smg)\n.smg\nSnapmingle.Document\n"
                             "Snapmingle.Document"));
    // The tool bar's buttons show these tooltips.
    const std::pair<int32_t, const char*> toolTips[] = {
        {32801, "Next Step"},
        {57643, "Undo"},
        {57644, "Redo"},
        {32833, "Move/Resize the selected layer"},
        {32832, "Crop the selected layer"},
        {32834, "Rotate the selected layer"},
        {32820, "Flip the selected layer"},
        {32819, "Adjust selected layer's colors"},
        {32818, "Edit Text"},
        {32835, "Paint with pixels from the selected layer"},
        {32836, "Erase pixels from the selected layer"},
        {32838, "Magically erase pixels from all the layers. Use to erase scene layer faces!"},
    };
    for (const auto& [command, tip] : toolTips) {
        EXPECT_EQ(Resources::CommandTooltip(command), QString::fromLatin1(tip)) << command;
        EXPECT_TRUE(Resources::CommandPrompt(command).endsWith(QLatin1Char('.'))) << command;
    }
    // Every menu command has a prompt of its own.
    const int32_t menuCommands[] = {57600, 57601, 57603, 57604, 32800, 57612, 57665, 57643, 57644, 32801,
                                    32802, 32803, 32804, 32805, 32806, 32807, 32808, 32809, 32810, 32811,
                                    32812, 32813, 32814, 32815, 32816, 32817, 32818, 32819, 32820, 32821,
                                    32832, 32833, 32834, 32835, 32836, 32838, 32839, 32848, 32847, 32849, 57664};
    for (int32_t command : menuCommands) {
        EXPECT_FALSE(Resources::CommandPrompt(command).isEmpty()) << command;
        EXPECT_FALSE(Resources::CommandTooltip(command).isEmpty()) << command;
    }
}

} // namespace
