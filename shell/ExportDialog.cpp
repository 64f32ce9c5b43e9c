#include "shell/ExportDialog.h"

#include "platform/DialogTemplate.h"
#include "platform/ui/CommandRouter.h"
#include "platform/ui/DialogControls.h"

#include <QPushButton>
#include <QResizeEvent>

namespace {

constexpr QSize ButtonSize(93, 26);  // dialog units

// Form template 173. The buttons' places in the table do not matter: the size handler places them.
platform::DialogTemplate ExportDialogTemplate()
{
    platform::DialogTemplate form{173, QString(), {110, 73}, QStringLiteral("MS Shell Dlg"), 8,
                                  platform::DialogFrame::Child, {}};
    const auto button = [](int32_t id, const char* text) {
        return platform::DialogControl{id, platform::ControlKind::PushButton, QString::fromLatin1(text),
                                       QRect(QPoint(8, 8), ButtonSize), {}, 0};
    };
    form.controls = {
        button(ExportDialog::SaveProjectId, "Save Project"),
        button(ExportDialog::SavePictureId, "Save Picture"),
        button(ExportDialog::NewProjectId, "New Project"),
        button(ExportDialog::SendPictureId, "Send Picture"),
    };
    return form;
}

} // namespace

ExportDialog::ExportDialog(platform::CommandRouter& router, QWidget* parent)
    : QWidget(parent),
      m_buttons{{{SaveProjectId, -75, nullptr},
                 {SavePictureId, -25, nullptr},
                 {NewProjectId, 25, nullptr},
                 {SendPictureId, 75, nullptr}}}
{
    const platform::DialogControls controls = platform::DialogControls::Build(ExportDialogTemplate(), *this);
    for (Placed& placed : m_buttons) {
        placed.button = controls.Get<QPushButton>(placed.id);
        if (placed.button)
            router.ConnectButton(*placed.button, placed.id);
    }
    // Everything on white: the pane and, through the inherited palette, the buttons' surroundings.
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);
    OnSize(width(), height());
}

QPushButton* ExportDialog::Button(int32_t id) const
{
    for (const Placed& placed : m_buttons) {
        if (placed.id == id)
            return placed.button;
    }
    return nullptr;
}

void ExportDialog::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    OnSize(event->size().width(), event->size().height());
}

void ExportDialog::OnSize(int32_t cx, int32_t cy)
{
    for (const Placed& placed : m_buttons) {
        if (!placed.button)
            continue;
        const int32_t bw = placed.button->width();
        const int32_t bh = placed.button->height();
        // Arithmetic shifts: a pane smaller than the stack puts the buttons at negative places.
        const int32_t x = (cx >> 1) - ((bw + 1) >> 1);
        const int32_t y = (cy >> 1) - ((bh + 1) >> 1) + placed.offset;
        placed.button->move(x, y);
    }
}
