#pragma once

#include "platform/DeviceContext.h"

namespace platform {

// Keeps a device context's whole drawing state for a scope and puts it back at the end, whatever the
// scope changed (transform, modes, raster operation, colours, pen, brush, font, clip, colour adjustment).
class DeviceContextSaver {
public:
    explicit DeviceContextSaver(DeviceContext& dc) : m_dc(dc), m_saved(dc.State()) {}
    ~DeviceContextSaver() { m_dc.RestoreState(m_saved); }
    DeviceContextSaver(const DeviceContextSaver&) = delete;
    DeviceContextSaver& operator=(const DeviceContextSaver&) = delete;

private:
    DeviceContext& m_dc;
    DeviceState m_saved;
};

} // namespace platform
