#include "engine/document/GraphicsMode.h"

#include "platform/DeviceContext.h"

GraphicsMode::GraphicsMode(platform::DeviceContext& dc)
    : m_dc(dc),
      m_savedGraphicsMode(dc.SetGraphicsMode(platform::GraphicsModeKind::Advanced)),
      m_savedStretchMode(dc.SetStretchMode(platform::StretchMode::Halftone)),
      m_savedRasterOp(dc.State().rasterOp),
      m_savedTransform(dc.State().worldTransform)
{
}

GraphicsMode::~GraphicsMode()
{
    m_dc.SetWorldTransform(m_savedTransform);
    m_dc.SetStretchMode(m_savedStretchMode);
    m_dc.SetGraphicsMode(m_savedGraphicsMode);
    m_dc.SetRasterOp(m_savedRasterOp);
}
