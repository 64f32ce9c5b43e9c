#pragma once

#include "platform/ui/CommandReceiver.h"

class Document;
namespace platform {
class CommandRouter;
} // namespace platform

// The document's command map: every command of the document (engine/document/CommandId.h) bound to its
// handler and enabling handler on the router, at the document's stage of the routing order. It lives
// as long as the document and leaves the router when destroyed. New Project's work is the
// application's; the document answers only whether it is enabled.
class DocumentCommands {
public:
    DocumentCommands(platform::CommandRouter& router, Document& document);

private:
    platform::CommandReceiver m_receiver;
};
