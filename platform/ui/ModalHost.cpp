#include "platform/ui/ModalHost.h"

#include <QApplication>
#include <QDialog>
#include <QMainWindow>
#include <QWindow>

namespace platform {

namespace {
ModalHost::Answerer& CurrentAnswerer()
{
    static ModalHost::Answerer answerer;
    return answerer;
}
// The window a dialog without a parent belongs to: the active one, else the shown main window.
QWidget* OwnerWindow(const QDialog& dialog)
{
    if (QWidget* active = QApplication::activeWindow(); active && active != &dialog)
        return active;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && qobject_cast<QMainWindow*>(window))
            return window;
    }
    return nullptr;
}

} // namespace

int ModalHost::Run(QDialog& dialog)
{
    if (const auto& answerer = CurrentAnswerer())
        return answerer(dialog);
    // A dialog made without a parent (a help tip, a message) still opens over the program's window
    // rather than in the middle of the screen, and stays above it.
    if (!dialog.parentWidget()) {
        if (QWidget* owner = OwnerWindow(dialog); owner && owner->windowHandle()) {
            dialog.winId();
            dialog.windowHandle()->setTransientParent(owner->windowHandle());
        }
    }
    return dialog.exec();
}

ModalHost::ScopedAnswerer::ScopedAnswerer(Answerer answerer) : m_previous(std::move(CurrentAnswerer()))
{
    CurrentAnswerer() = std::move(answerer);
}

ModalHost::ScopedAnswerer::~ScopedAnswerer()
{
    CurrentAnswerer() = std::move(m_previous);
}

} // namespace platform
