#include "platform/ui/ModalHost.h"

#include <QApplication>
#include <QDialog>
#include <QMainWindow>
#include <QPointer>
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

// The window the keys go back to when the dialog closes: the dialog's parent's, else its owner.
QWidget* ReturnWindow(const QDialog& dialog)
{
    return dialog.parentWidget() ? dialog.parentWidget()->window() : OwnerWindow(dialog);
}

// Makes the window active again, unless another modal dialog is still up over it: without this the
// window manager may leave no window active, and the program's keys would wait for a click.
void GiveKeysBack(QWidget* window)
{
    if (!window || !window->isVisible() || QApplication::activeWindow() == window)
        return;
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != window)
        return;
    window->activateWindow();
}

int RunOwnLoop(QDialog& dialog, QWidget* owner)
{
    // A dialog made without a parent (a help tip, a message) still opens over the program's window
    // rather than in the middle of the screen, and stays above it.
    if (!dialog.parentWidget() && owner && owner->windowHandle()) {
        dialog.winId();
        dialog.windowHandle()->setTransientParent(owner->windowHandle());
    }
    return dialog.exec();
}

} // namespace

int ModalHost::Run(QDialog& dialog)
{
    const QPointer<QWidget> owner = ReturnWindow(dialog);
    const auto& answerer = CurrentAnswerer();
    const int result = answerer ? answerer(dialog) : RunOwnLoop(dialog, owner);
    GiveKeysBack(owner);
    return result;
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
