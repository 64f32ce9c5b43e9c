#include "engine/document/GraphicsMode.h"

#include "platform/DeviceContext.h"

GraphicsMode::GraphicsMode(platform::DeviceContext& dc)
    : m_dc(dc), m_savedTransform(dc.State().worldTransform)
{
    m_savedGraphicsMode = m_dc.SetGraphicsMode(platform::GraphicsModeKind::Advanced);
    m_savedStretchMode = m_dc.SetStretchMode(platform::StretchMode::Halftone);
    m_savedRasterOp = m_dc.State().rasterOp;
}

GraphicsMode::~GraphicsMode()
{
    m_dc.SetWorldTransform(m_savedTransform);
    m_dc.SetStretchMode(m_savedStretchMode);
    m_dc.SetGraphicsMode(m_savedGraphicsMode);
    if (m_savedRasterOp)
        m_dc.SetRasterOp(*m_savedRasterOp);
}
