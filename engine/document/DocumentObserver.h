#pragma once

#include "platform/Rect.h"

#include <cstdint>

// A view of the document: told of every change with a hint and, for HintRedrawRect, a rectangle.
class DocumentObserver {
public:
    virtual void OnUpdate(DocumentObserver* sender, int32_t hint, const Rect* rect) = 0;

protected:
    ~DocumentObserver() = default;
};
