#include "shell/StepPictures.h"

#include "platform/DialogTemplate.h"
#include "platform/ResourceId.h"
#include "platform/ResourceTable.h"
#include "platform/Resources.h"
#include "platform/ui/DialogControls.h"

#include <QLabel>

namespace {

namespace ResourceId = platform::ResourceId;

// The pictures' left edges in dialog units; each picture is as large as its bitmap.
constexpr std::array<int32_t, StepPictures::StepCount> PictureX{2, 66, 130, 194, 258, 322, 408, 458};
constexpr int32_t PictureY = 2;
constexpr int32_t Current = 0;
constexpr int32_t Other = 1;

platform::DialogTemplate StepPicturesTemplate()
{
    platform::DialogTemplate dialog{128, QString(), {522, 32}, QStringLiteral("MS Shell Dlg"), 8,
                                    platform::DialogFrame::Child, {}};
    for (int32_t i = 0; i < StepPictures::StepCount; ++i) {
        dialog.controls.push_back({StepPictures::FirstPictureId + i, platform::ControlKind::Picture, QString(),
                                   QRect(PictureX[static_cast<size_t>(i)], PictureY, 0, 0), {},
                                   ResourceId::StepOtherFirst + i});
    }
    return dialog;
}

} // namespace

StepPictures::StepPictures(QWidget* parent) : QWidget(parent)
{
    const platform::DialogControls controls = platform::DialogControls::Build(StepPicturesTemplate(), *this);
    for (int32_t i = 0; i < StepCount; ++i) {
        const size_t at = static_cast<size_t>(i);
        m_pictures[at] = controls.Get<QLabel>(FirstPictureId + i);
        // The template has already put the other set's bitmap into each picture control.
        if (m_pictures[at])
            m_stepBitmaps[at][Other] = m_pictures[at]->pixmap();
    }
    // The template's size, also inside a bar's layout, which asks a widget without a layout for its hint.
    setFixedSize(size());
    SetStepImages(0);
}

QLabel* StepPictures::Picture(int32_t i) const
{
    return i >= 0 && i < StepCount ? m_pictures[static_cast<size_t>(i)] : nullptr;
}

bool StepPictures::IsComplete() const
{
    for (int32_t i = 0; i < StepCount; ++i) {
        const auto& bitmaps = m_stepBitmaps[static_cast<size_t>(i)];
        if (!m_pictures[static_cast<size_t>(i)] || bitmaps[Other].isNull() ||
            !platform::ResourceTable::Find(platform::ResourceType::Bitmap, ResourceId::StepCurrentFirst + i))
            return false;
    }
    return true;
}

void StepPictures::SetStepImages(int32_t n)
{
    const int32_t highlighted = n >= 1 && n <= StepCount ? n : 0;
    if (highlighted == m_highlighted)
        return;  // called at every repaint of the step bar
    m_highlighted = highlighted;
    for (int32_t i = 0; i < StepCount; ++i) {
        QLabel* picture = m_pictures[static_cast<size_t>(i)];
        if (!picture)
            continue;
        picture->setPixmap(i == n - 1 ? CurrentBitmap(i) : m_stepBitmaps[static_cast<size_t>(i)][Other]);
    }
}

// Step 0 shows only the other set: each current-step bitmap is decoded when its step is first reached.
const QPixmap& StepPictures::CurrentBitmap(int32_t i)
{
    QPixmap& bitmap = m_stepBitmaps[static_cast<size_t>(i)][Current];
    if (bitmap.isNull()) {
        bitmap = QPixmap::fromImage(
            platform::Resources::Picture(platform::ResourceType::Bitmap, ResourceId::StepCurrentFirst + i));
    }
    return bitmap;
}
