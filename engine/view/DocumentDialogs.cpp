#include "engine/view/DocumentDialogs.h"

#include "engine/view/ColorBox.h"
#include "engine/view/InputBox.h"
#include "library/share/ui/MailBox.h"
#include "platform/ui/ModalHost.h"

DocumentDialogs::DocumentDialogs() : m_saved(g_documentDialogs)
{
    g_documentDialogs = this;
}

DocumentDialogs::~DocumentDialogs()
{
    g_documentDialogs = m_saved;
}

QString DocumentDialogs::EditText(Document& document, const QString& text)
{
    InputBox box(document, text);
    platform::ModalHost::Run(box);
    return box.text();
}

// The dialog has journaled its change, or undone it, whatever closed it.
void DocumentDialogs::AdjustColor(Document& document, Layer& layer)
{
    ColorBox box(document, layer);
    platform::ModalHost::Run(box);
}

void DocumentDialogs::SendPicture(Document& document)
{
    MailBox box(document);
    platform::ModalHost::Run(box);
}
