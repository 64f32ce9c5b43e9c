#include "library/download/ui/LoadBox.h"

#include "engine/base/TaskList.h"
#include "library/download/RequestManager.h"
#include "platform/ui/ModalHost.h"

#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QRect>

namespace {

// The dialog's layout in dialog units, turned into pixels with the fixed base units (6 x 13 per 4 x 8).
constexpr int BaseUnitX = 6;
constexpr int BaseUnitY = 13;
constexpr int DialogUnitsPerBaseX = 4;
constexpr int DialogUnitsPerBaseY = 8;

int ScaleRounded(int units, int numerator, int denominator)
{
    return (units * numerator + denominator / 2) / denominator;
}

QRect DialogRect(int x, int y, int width, int height)
{
    return QRect(ScaleRounded(x, BaseUnitX, DialogUnitsPerBaseX), ScaleRounded(y, BaseUnitY, DialogUnitsPerBaseY),
                 ScaleRounded(width, BaseUnitX, DialogUnitsPerBaseX),
                 ScaleRounded(height, BaseUnitY, DialogUnitsPerBaseY));
}

constexpr int FullPercent = 100;

bool IsFinished(int status)
{
    return status == RequestDone || status == RequestFailed;
}

} // namespace

LoadBox::LoadBox(int32_t id, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), requestId(id)
{
    setWindowTitle(QStringLiteral("Snapmingle"));
    setFixedSize(DialogRect(0, 0, 93, 55).size());
    auto* text = new QLabel(QStringLiteral("Loading program files.  This should take only a moment."), this);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text->setGeometry(DialogRect(7, 7, 79, 29));
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QString::number(ProgressBarId));
    m_progress->setGeometry(DialogRect(7, 34, 79, 14));
    m_progress->setTextVisible(false);
    m_progress->setRange(0, FullPercent);
    m_progress->setValue(0);

    m_timer.setInterval(TimerPeriodMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { OnTimer(); });
    m_timer.start();
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
