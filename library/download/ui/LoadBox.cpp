#include "library/download/ui/LoadBox.h"

#include "engine/base/TaskList.h"
#include "library/download/RequestManager.h"
#include "platform/DialogTemplate.h"
#include "platform/ui/DialogControls.h"
#include "platform/ui/ModalHost.h"

#include <QKeyEvent>
#include <QProgressBar>

namespace {

// Dialog template 196.
platform::DialogTemplate LoadBoxTemplate()
{
    using platform::ControlKind;
    platform::DialogTemplate dialog{196, QStringLiteral("Snapmingle"), {93, 55}, QStringLiteral("MS Shell Dlg"), 8,
                                    platform::DialogFrame::ModalNoSysMenu, {}};
    dialog.controls = {
        {platform::DialogControl::NoControlId, ControlKind::Static,
         QStringLiteral("Loading program files.  This should take only a moment."), {7, 7, 79, 29}, {}, 0},
        {LoadBox::ProgressBarId, ControlKind::ProgressBar, {}, {7, 34, 79, 14}, platform::ControlStyle::Border, 0},
    };
    return dialog;
}

constexpr int FullPercent = 100;

bool IsFinished(int status)
{
    return status == RequestDone || status == RequestFailed;
}

} // namespace

LoadBox::LoadBox(int32_t id, QWidget* parent) : QDialog(parent), requestId(id)
{
    const platform::DialogControls controls = platform::DialogControls::Build(LoadBoxTemplate(), *this);
    m_progress = controls.Get<QProgressBar>(ProgressBarId);
    m_progress->setRange(0, FullPercent);
    m_progress->setValue(0);

    m_timer.Start();
}

void LoadBox::WaitForRequest(int32_t id)
{
    if (IsFinished(StatusOf(id)))
        return;
    LoadBox box(id);
    platform::ModalHost::Run(box);
}

int LoadBox::StatusOf(int32_t id)
{
    if (id < 0)
        return -id;
    return g_requestManager ? g_requestManager->Status(id) : RequestFailed;
}

int LoadBox::Percent() const
{
    if (requestId < 0)
        return requestId == RequestAlreadyCached ? FullPercent : 0;
    const Request* request = g_requestManager ? g_requestManager->FindRequest(requestId) : nullptr;
    return request ? request->progress : 0;
}

void LoadBox::OnTimer()
{
    RunTaskList();
    const int status = StatusOf(requestId);
    m_progress->setValue(Percent());
    if (IsFinished(status))
        done(QDialog::Accepted);
}

void LoadBox::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        accept();
        return;
    case Qt::Key_Escape:
        reject();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}
