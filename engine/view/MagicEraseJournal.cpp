#include "engine/view/MagicEraseJournal.h"

#include "engine/document/Journal.h"
#include "platform/PixelOps.h"

namespace {

bool AllZero(const Rect& rect, const uint8_t* delta, int32_t stride)
{
    const int64_t columns = int64_t{rect.right} - rect.left + 1;
    for (int64_t y = rect.top; y <= rect.bottom; ++y) {
        if (!platform::pixels::IsZeroRow(delta + y * stride + rect.left, static_cast<int32_t>(columns)))
            return false;
    }
    return true;
}

} // namespace

bool MagicEraseJournal::AddPixels(const Rect& rect, const uint8_t* delta, int32_t stride, int32_t layerIndex)
{
    if (!delta || rect.left < 0 || rect.top < 0 || rect.right < rect.left || rect.bottom < rect.top ||
        stride <= rect.right || AllZero(rect, delta, stride))
        return false;
    if (!m_opened) {
        if (!m_journal.AddMark())
            return false;
        m_opened = true;
    }
    const bool added = m_journal.AddPixels(rect, delta, stride, layerIndex);
    m_added = m_added || added;
    return added;
}

bool MagicEraseJournal::Close()
{
    if (m_opened)
        m_journal.AddMark();
    m_opened = false;
    return m_added;
}
