#include "platform/ui/ModalHost.h"

#include <QDialog>

namespace platform {

namespace {
ModalHost::Answerer& CurrentAnswerer()
{
    static ModalHost::Answerer answerer;
    return answerer;
}
} // namespace

int ModalHost::Run(QDialog& dialog)
{
    if (const auto& answerer = CurrentAnswerer())
        return answerer(dialog);
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
