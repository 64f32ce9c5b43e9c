#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QExposeEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace platform {

// Ends the event loop once the window has been put on the screen and painted: the start-up timing
// switch (SMG_QUIT_WHEN_SHOWN=1) of the program and of the bare window it is compared with. Header
// only, so that the bare program needs nothing of ours but this.
class QuitWhenShown final : public QObject {
public:
    // Watches widget's native window, which show() has made.
    explicit QuitWhenShown(QWidget& widget) : QObject(&widget)
    {
        if (QWindow* window = widget.windowHandle())
            window->installEventFilter(this);
    }

    static bool Requested() { return qEnvironmentVariableIntValue("SMG_QUIT_WHEN_SHOWN") == 1; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Qt paints the exposed window while it handles this event; the loop ends right after. The exit is
        // repeated until the program's own loop has ended too: a dialog shown after the window (a help
        // tip) runs a nested loop of its own, which the first exit ends, and the program's loop only
        // starts after it.
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed() && !m_quitting.isActive()) {
            QObject::connect(&m_quitting, &QTimer::timeout, [] { QCoreApplication::exit(0); });
            m_quitting.start(0);
        }
        return false;
    }

private:
    QTimer m_quitting;
};

} // namespace platform
