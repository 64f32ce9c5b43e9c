#pragma once

#include "engine/base/ProgramTimer.h"

#include <QDialog>
#include <cstdint>

class QProgressBar;

// The small modal dialog shown while start-up waits for a content file (dialog template 196). While it
// is up its own 100 ms timer runs the task list, so the request queue keeps going; it shows the
// request's percent and ends itself when the request is done or has failed. Enter and Escape end it
// early.
class LoadBox : public QDialog {
public:
    // Returns at once when the request (an id, or a negative answer of AddRequest) is done or failed;
    // otherwise runs the dialog through the modal host until it is, or until the user ends it.
    static void WaitForRequest(int32_t id);

    explicit LoadBox(int32_t requestId, QWidget* parent = nullptr);

    // One step of the wait: a tick of the task list, then the bar and, when finished, the end.
    void OnTimer();

    QProgressBar* ProgressBar() const { return m_progress; }

    static constexpr int ProgressBarId = 1022;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The status of the waited request; a negative answer of AddRequest reads as its negation.
    static int StatusOf(int32_t id);
    int Percent() const;

    int32_t requestId;
    QProgressBar* m_progress = nullptr;
    ProgramTimer m_timer{LoadBoxTimerPeriodMs, [this] { OnTimer(); }};
};
