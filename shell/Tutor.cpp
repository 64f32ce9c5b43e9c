#include "shell/Tutor.h"

#include "engine/base/Settings.h"
#include "platform/DialogTemplate.h"
#include "platform/ResourceId.h"
#include "platform/Resources.h"
#include "platform/ui/DialogControls.h"
#include "platform/ui/ModalHost.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace {

using platform::ControlKind;
using platform::ControlStyle;

// Tip t is the "PNG" resource TipBase + t.
constexpr int32_t TipBase = platform::ResourceId::TipFirst - 1;

// Dialog template 198.
platform::DialogTemplate TutorTemplate()
{
    platform::DialogTemplate dialog{198, QStringLiteral("Tutor"), {317, 184}, QStringLiteral("MS Sans Serif"), 8,
                                    platform::DialogFrame::Modal, {}};
    dialog.controls = {
        {Tutor::ContinueId, ControlKind::PushButton, QStringLiteral("Continue"), {237, 166, 72, 14},
         ControlStyle::DefaultButton, 0},
        {Tutor::DontShowAgainId, ControlKind::CheckBox, QStringLiteral("Don't Show Again"), {157, 166, 75, 14}, {}, 0},
        {Tutor::PictureId, ControlKind::Picture, QString(), {7, 7, 292, 135}, ControlStyle::ImageCentred, 0},
    };
    return dialog;
}

} // namespace

Tutor::Tutor(Settings& settings, int32_t tip, int32_t step, int32_t nextTip, QWidget* parent)
    : QDialog(parent), m_tip(tip), m_step(step), m_nextTip(nextTip), m_settings(settings)
{
    const platform::DialogControls controls = platform::DialogControls::Build(TutorTemplate(), *this);
    m_picture = controls.Get<QLabel>(PictureId);
    m_dontShowAgain = controls.Get<QCheckBox>(DontShowAgainId);
    m_continue = controls.Get<QPushButton>(ContinueId);
    connect(m_continue, &QPushButton::clicked, this, [this] { OnContinue(); });
    ShowTip();
}

void Tutor::Run(Settings& settings, int32_t tip, int32_t step, int32_t nextTip)
{
    Tutor tutor(settings, tip, step, nextTip);
    platform::ModalHost::Run(tutor);
}

void Tutor::ShowTip()
{
    setWindowTitle(m_step != 0 ? QStringLiteral("Step %1 Help Tip").arg(m_step) : QStringLiteral("Help Tip"));
    m_image = QImage::fromData(platform::Resources::Bytes(platform::ResourceType::Png, TipBase + m_tip), "PNG");
    if (m_image.isNull())
        m_picture->clear();  // the dialog still works without its picture
    else
        m_picture->setPixmap(QPixmap::fromImage(m_image));
}

void Tutor::OnContinue()
{
    // Every press stores the box, so an unticked box switches the tips on again.
    m_settings.SetTutorialOff(m_dontShowAgain->isChecked() ? 1 : 0);
    if (m_nextTip == 0) {
        accept();
        return;
    }
    m_tip = m_nextTip;
    m_nextTip = 0;
    ShowTip();
}
