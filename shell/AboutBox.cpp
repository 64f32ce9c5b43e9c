#include "shell/AboutBox.h"

#include "platform/DialogTemplate.h"
#include "platform/ResourceId.h"
#include "platform/ui/DialogControls.h"

#include <QPushButton>

namespace {

using platform::ControlKind;
using platform::ControlStyle;
using platform::DialogControl;

// Dialog template 100.
platform::DialogTemplate AboutTemplate()
{
    platform::DialogTemplate dialog{100, QStringLiteral("About Snapmingle"), {170, 62}, QStringLiteral("MS Shell Dlg"), 8,
                                    platform::DialogFrame::Modal, {}};
    dialog.controls = {
        {DialogControl::NoControlId, ControlKind::Icon, QString(), {14, 14, 0, 0}, {},
         platform::ResourceId::ProgramIcon},
        {AboutBox::VersionTextId, ControlKind::Static, QStringLiteral("Snapmingle, Version 2.0"), {42, 14, 114, 8},
         ControlStyle::NoPrefix, 0},
        {AboutBox::NoticeTextId, ControlKind::Static, QStringLiteral("Joke photo composites."),
         {42, 26, 114, 8}, {}, 0},
        {AboutBox::OkId, ControlKind::PushButton, QStringLiteral("OK"), {113, 41, 50, 14}, ControlStyle::DefaultButton, 0},
    };
    return dialog;
}

} // namespace

AboutBox::AboutBox(QWidget* parent) : QDialog(parent)
{
    const platform::DialogControls controls = platform::DialogControls::Build(AboutTemplate(), *this);
    connect(controls.Get<QPushButton>(OkId), &QPushButton::clicked, this, &QDialog::accept);
}
