#pragma once

#include <functional>

class QDialog;

namespace platform {

// Every modal run of the program (message boxes, file dialogs, the download progress dialog, help
// tips) goes through this one seam. The program runs the dialog's own loop; tests install an answerer
// that plays the person in front of the screen and returns the dialog's result code.
class ModalHost {
public:
    using Answerer = std::function<int(QDialog&)>;

    // Runs the dialog modally and returns its result code (QDialog::Accepted, Rejected or a button id).
    // When it closes, the window it opened over is the active window again, with its focus where it
    // was, so the program's keys work at once.
    static int Run(QDialog& dialog);

    // Replaces the modal loop for as long as the returned guard lives.
    class ScopedAnswerer {
    public:
        explicit ScopedAnswerer(Answerer answerer);
        ~ScopedAnswerer();
        ScopedAnswerer(const ScopedAnswerer&) = delete;
        ScopedAnswerer& operator=(const ScopedAnswerer&) = delete;

    private:
        Answerer m_previous;
    };
};

} // namespace platform
