#include "tools/artgen/ArtGenerator.h"

#include "platform/ResourceId.h"
#include "tools/artgen/CursorArt.h"
#include "tools/artgen/PanelArt.h"
#include "tools/artgen/StepArt.h"
#include "tools/artgen/TipArt.h"
#include "tools/artgen/ToolBarArt.h"
#include "tools/contentgen/ContentWriter.h"

using platform::PictureResource;
using platform::ResourceTable;
using platform::ResourceType;
namespace id = platform::ResourceId;

namespace {

QImage DrawBitmap(int32_t number, int32_t width)
{
    switch (number) {
    case id::ToolBarNormal:
        return ToolBarArt::Draw(ToolBarArt::Strip::Normal);
    case id::ToolBarHot:
        return ToolBarArt::Draw(ToolBarArt::Strip::Hot);
    case id::ToolBarDisabled:
        return ToolBarArt::Draw(ToolBarArt::Strip::Disabled);
    case id::FolderClosed:
        return PanelArt::Folder(false);
    case id::FolderOpen:
        return PanelArt::Folder(true);
    case id::ThumbPlaceholder:
        return PanelArt::ThumbPlaceholder();
    case id::LoadPicture:
        return PanelArt::LoadPicture();
    case id::LayerUp:
        return PanelArt::LayerButtonPicture(PanelArt::LayerButton::Up);
    case id::LayerDown:
        return PanelArt::LayerButtonPicture(PanelArt::LayerButton::Down);
    case id::LayerDelete:
        return PanelArt::LayerButtonPicture(PanelArt::LayerButton::Delete);
    default:
        break;
    }
    if (number >= id::StepCurrentFirst && number < id::StepCurrentFirst + StepArt::StepCount)
        return StepArt::Draw(number - id::StepCurrentFirst + 1, true, width);
    if (number >= id::StepOtherFirst && number < id::StepOtherFirst + StepArt::StepCount)
        return StepArt::Draw(number - id::StepOtherFirst + 1, false, width);
    return {};
}

QImage InDepth(const QImage& image, int32_t bits)
{
    if (bits == 8)
        return image;  // drawn with its own palette
    return image.convertToFormat(bits == 24 ? QImage::Format_RGB888 : QImage::Format_ARGB32);
}

} // namespace

QImage ArtGenerator::Draw(const PictureResource& picture)
{
    QImage image;
    switch (picture.type) {
    case ResourceType::Bitmap:
        image = DrawBitmap(picture.id, picture.width);
        break;
    case ResourceType::Png:
        image = TipArt::Draw(picture.id - id::TipFirst + 1);
        break;
    case ResourceType::Cursor:
        image = CursorArt::Draw(picture.id, picture.size);
        break;
    case ResourceType::Icon:
        image = PanelArt::ProgramIcon(picture.size);
        break;
    case ResourceType::String:
        break;
    }
    return image.isNull() ? image : InDepth(image, picture.bits);
}

QByteArray ArtGenerator::Encode(const PictureResource& picture)
{
    return ContentWriter::EncodePng(Draw(picture));
}

QByteArray ArtGenerator::Collection()
{
    QByteArray text = "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"";
    text += ResourceTable::CollectionPrefix().toUtf8() + "\">\n";
    for (const PictureResource& picture : ResourceTable::Pictures())
        text += "  <file>" + ResourceTable::FileName(picture).toUtf8() + "</file>\n";
    text += "</qresource>\n</RCC>\n";
    return text;
}

bool ArtGenerator::Run(const QString& folder)
{
    ContentWriter writer(folder);
    for (const PictureResource& picture : ResourceTable::Pictures()) {
        const QImage image = Draw(picture);
        if (image.size() != QSize(picture.width, picture.height)) {
            m_error = QStringLiteral("%1 is drawn %2 x %3, not %4 x %5")
                          .arg(ResourceTable::FileName(picture))
                          .arg(image.width())
                          .arg(image.height())
                          .arg(picture.width)
                          .arg(picture.height);
            return false;
        }
        if (!writer.WritePng(ResourceTable::FileName(picture), image)) {
            m_error = writer.ErrorText();
            return false;
        }
    }
    if (!writer.Write(QString::fromLatin1(CollectionFileName), Collection())) {
        m_error = writer.ErrorText();
        return false;
    }
    return true;
}
