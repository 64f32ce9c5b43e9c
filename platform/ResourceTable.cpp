#include "platform/ResourceTable.h"

#include "platform/ResourceId.h"

#include <array>

namespace platform {

namespace {

using enum ResourceType;
namespace id = ResourceId;

constexpr int32_t CursorSize = 32;

constexpr PictureResource Bitmap24(int32_t number, int32_t width, int32_t height)
{
    return {Bitmap, number, 0, width, height, 24, 0, 0};
}

constexpr PictureResource Bitmap32(int32_t number, int32_t width, int32_t height)
{
    return {Bitmap, number, 0, width, height, 32, 0, 0};
}

// Every cursor's hot spot is its middle: the arrows' crossing, the rotation's centre, the brush's centre.
constexpr PictureResource CursorAt(int32_t number, int32_t size)
{
    return {Cursor, number, size, size, size, 32, size / 2, size / 2};
}

constexpr PictureResource Tip(int32_t number)
{
    return {Png, number, 0, 442, 290, 32, 0, 0};
}

constexpr int32_t StripWidth = id::ToolBarPictureSize * id::ToolBarPictureCount;  // 416
constexpr int32_t StepHeight = 48;
constexpr int32_t StepWidth = 92;
constexpr int32_t StepWidthAccessories = 125;  // step 6, "ADD ACCESSORIES"
constexpr int32_t StepWidthText = 72;          // step 7, "ADD TEXT"

constexpr int32_t StepWidthOf(int32_t step)
{
    return step == 6 ? StepWidthAccessories : step == 7 ? StepWidthText : StepWidth;
}

constexpr std::array Table{
    // The tool bar strips.
    Bitmap32(id::ToolBarNormal, StripWidth, id::ToolBarPictureSize),
    Bitmap32(id::ToolBarHot, StripWidth, id::ToolBarPictureSize),
    PictureResource{Bitmap, id::ToolBarDisabled, 0, StripWidth, id::ToolBarPictureSize, 8, 0, 0},
    // The content browsers' folders, placeholder and load button.
    Bitmap24(id::FolderClosed, 16, 14),
    Bitmap24(id::FolderOpen, 16, 14),
    Bitmap24(id::ThumbPlaceholder, 100, 100),
    Bitmap32(id::LoadPicture, 24, 24),
    // The step pictures, current set then other set.
    Bitmap24(id::StepCurrentFirst + 0, StepWidthOf(1), StepHeight),
    Bitmap24(id::StepCurrentFirst + 1, StepWidthOf(2), StepHeight),
    Bitmap24(id::StepCurrentFirst + 2, StepWidthOf(3), StepHeight),
    Bitmap24(id::StepCurrentFirst + 3, StepWidthOf(4), StepHeight),
    Bitmap24(id::StepCurrentFirst + 4, StepWidthOf(5), StepHeight),
    Bitmap24(id::StepCurrentFirst + 5, StepWidthOf(6), StepHeight),
    Bitmap24(id::StepCurrentFirst + 6, StepWidthOf(7), StepHeight),
    Bitmap24(id::StepCurrentFirst + 7, StepWidthOf(8), StepHeight),
    Bitmap24(id::StepOtherFirst + 0, StepWidthOf(1), StepHeight),
    Bitmap24(id::StepOtherFirst + 1, StepWidthOf(2), StepHeight),
    Bitmap24(id::StepOtherFirst + 2, StepWidthOf(3), StepHeight),
    Bitmap24(id::StepOtherFirst + 3, StepWidthOf(4), StepHeight),
    Bitmap24(id::StepOtherFirst + 4, StepWidthOf(5), StepHeight),
    Bitmap24(id::StepOtherFirst + 5, StepWidthOf(6), StepHeight),
    Bitmap24(id::StepOtherFirst + 6, StepWidthOf(7), StepHeight),
    Bitmap24(id::StepOtherFirst + 7, StepWidthOf(8), StepHeight),
    // The layers panel's buttons.
    Bitmap32(id::LayerUp, 26, 28),
    Bitmap32(id::LayerDown, 26, 28),
    Bitmap32(id::LayerDelete, 26, 28),
    // The help tips.
    Tip(id::TipFirst + 0), Tip(id::TipFirst + 1), Tip(id::TipFirst + 2), Tip(id::TipFirst + 3),
    Tip(id::TipFirst + 4), Tip(id::TipFirst + 5), Tip(id::TipFirst + 6), Tip(id::TipFirst + 7),
    Tip(id::TipFirst + 8), Tip(id::TipFirst + 9), Tip(id::TipFirst + 10),
    // The cursors.
    CursorAt(id::MoveCursor, CursorSize),
    CursorAt(id::ResizeCursor0, CursorSize),
    CursorAt(id::ResizeCursor1, CursorSize),
    CursorAt(id::ResizeCursor2, CursorSize),
    CursorAt(id::ResizeCursor3, CursorSize),
    CursorAt(id::ResizeCursor4, CursorSize),
    CursorAt(id::ResizeCursor5, CursorSize),
    CursorAt(id::ResizeCursor6, CursorSize),
    CursorAt(id::ResizeCursor7, CursorSize),
    CursorAt(id::RotateCursor, CursorSize),
    CursorAt(id::PaintCursor, 16),
    CursorAt(id::PaintCursor, 32),
    CursorAt(id::PaintCursor, 48),
    CursorAt(id::EraseCursor, 16),
    CursorAt(id::EraseCursor, 32),
    CursorAt(id::EraseCursor, 48),
    // The program icon.
    PictureResource{Icon, id::ProgramIcon, 16, 16, 16, 32, 0, 0},
    PictureResource{Icon, id::ProgramIcon, 32, 32, 32, 32, 0, 0},
    PictureResource{Icon, id::ProgramIcon, 48, 48, 48, 32, 0, 0},
};

QString TypeName(ResourceType type)
{
    switch (type) {
    case Bitmap:
        return QStringLiteral("bitmap");
    case Png:
        return QStringLiteral("png");
    case Cursor:
        return QStringLiteral("cursor");
    case Icon:
        return QStringLiteral("icon");
    case String:
        break;
    }
    return QStringLiteral("string");
}

} // namespace

std::span<const PictureResource> ResourceTable::Pictures()
{
    return Table;
}

const PictureResource* ResourceTable::Find(ResourceType type, int32_t number, int32_t size)
{
    for (const PictureResource& picture : Table) {
        if (picture.type == type && picture.id == number && picture.size == size)
            return &picture;
    }
    return nullptr;
}

QString ResourceTable::FileName(const PictureResource& picture)
{
    QString name = TypeName(picture.type) + QLatin1Char('-') + QString::number(picture.id);
    if (picture.size != 0)
        name += QLatin1Char('-') + QString::number(picture.size);
    return name + QStringLiteral(".png");
}

QString ResourceTable::Path(const PictureResource& picture)
{
    return QLatin1Char(':') + CollectionPrefix() + QLatin1Char('/') + FileName(picture);
}

QString ResourceTable::CollectionPrefix()
{
    return QStringLiteral("/art");
}

} // namespace platform
