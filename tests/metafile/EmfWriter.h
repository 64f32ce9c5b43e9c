#pragma once

#include <QByteArray>
#include <QColor>
#include <QTemporaryDir>
#include <cstdint>
#include <memory>
#include <uemf.h>
#include <vector>

// Builds small metafiles with libUEMF's record writers. The reference device has 10 pixels a
// millimetre and the frame covers width x height device units exactly, so playing onto
// QRectF(0, 0, width, height) draws one logical unit (in the default mapping) on one pixel.
class EmfWriter {
public:
    EmfWriter(int width, int height);
    ~EmfWriter();
    EmfWriter(const EmfWriter&) = delete;
    EmfWriter& operator=(const EmfWriter&) = delete;

    // Appends a record made by a U_EMR*_set function and frees it.
    EmfWriter& Add(char* record);
    // A free object-table slot for a create record.
    uint32_t NewSlot();

    // Creates an object in a new slot and returns the slot.
    uint32_t Brush(QRgb colour, uint32_t style = U_BS_SOLID, uint32_t hatch = 0);
    uint32_t ExtendedPen(uint32_t style, uint32_t width, QRgb colour, std::vector<uint32_t> dashes = {});
    EmfWriter& Select(uint32_t index) { return Add(U_EMRSELECTOBJECT_set(index)); }
    // EXTSELECTCLIPRGN: combines the clip with a region of rectangles (right and bottom exclusive).
    EmfWriter& ClipRegion(uint32_t mode, std::vector<U_RECTL> rects);

    // Appends the end-of-file record and returns the finished file's bytes.
    QByteArray Finish();

private:
    QTemporaryDir m_dir;
    EMFTRACK* m_track = nullptr;
    EMFHANDLES* m_handles = nullptr;
};

// Region data of rectangles (right and bottom exclusive), freed with the pointer.
std::unique_ptr<U_RGNDATA, decltype(&free)> RegionData(std::vector<U_RECTL> rects);

U_COLORREF ToColourRef(QRgb colour);
U_XFORM Transform(float m11, float m12, float m21, float m22, float dx, float dy);
