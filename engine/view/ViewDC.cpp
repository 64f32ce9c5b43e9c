#include "engine/view/ViewDC.h"

#include "engine/view/DocumentView.h"

ViewDC::ViewDC(DocumentView& view) : m_view(view), m_dc(view.AcquireDC())
{
    m_saver.emplace(m_dc);
}

ViewDC::~ViewDC()
{
    m_saver.reset();
    m_view.ReleaseDC();
}
