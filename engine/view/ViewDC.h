#pragma once

#include "platform/DeviceContextSaver.h"

#include <optional>

class DocumentView;
namespace platform {
class DeviceContext;
}

// The editing view's device context for one scope (the window's context between getting and releasing
// it). Every user finds the context's state as the last one left it before and gets it put back at the
// end, so that users nested in a drag (a paint) do not disturb each other.
class ViewDC {
public:
    explicit ViewDC(DocumentView& view);
    ~ViewDC();
    ViewDC(const ViewDC&) = delete;
    ViewDC& operator=(const ViewDC&) = delete;

    platform::DeviceContext& operator*() const { return m_dc; }
    platform::DeviceContext* operator->() const { return &m_dc; }

private:
    DocumentView& m_view;
    platform::DeviceContext& m_dc;
    std::optional<platform::DeviceContextSaver> m_saver;
};
