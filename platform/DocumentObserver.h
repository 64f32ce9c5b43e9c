#pragma once

#include "platform/Rect.h"

#include <cstdint>

class DocumentView;
class EditingViewLink;

// A view of a document: told of every change with a hint and, for hints that carry one, a rectangle.
class DocumentObserver {
public:
    virtual void OnUpdate(DocumentObserver* sender, int32_t hint, const Rect* rect) = 0;
    // The framework's run-time class test for the one view class that the document looks for among its
    // views (the editing view answers itself).
    virtual DocumentView* AsDocumentView() { return nullptr; }
    // The same test for the editing view's link, through which the document's commands reach it.
    virtual EditingViewLink* AsEditingView() { return nullptr; }

protected:
    ~DocumentObserver() = default;
};
