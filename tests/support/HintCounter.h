#pragma once

#include "engine/document/Document.h"
#include "platform/DocumentObserver.h"
#include "engine/document/UpdateHint.h"

#include <functional>

// Counts the document's redraw hints while it is registered, and runs an action on each if given.
class HintCounter final : public DocumentObserver {
public:
    explicit HintCounter(Document& document) : m_document(document) { m_document.AddView(this); }
    ~HintCounter() { m_document.RemoveView(this); }
    HintCounter(const HintCounter&) = delete;
    HintCounter& operator=(const HintCounter&) = delete;

    void OnUpdate(DocumentObserver*, int32_t hint, const Rect*) override
    {
        if (hint == HintRedraw)
            ++redraws;
        if (onUpdate)
            onUpdate();
    }

    int redraws = 0;
    std::function<void()> onUpdate;

private:
    Document& m_document;
};
