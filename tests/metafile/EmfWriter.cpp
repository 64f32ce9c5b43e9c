#include "EmfWriter.h"

#include <QFile>
#include <cstdlib>
#include <stdexcept>
#include <uemf.h>

namespace {

constexpr int kDeviceMillimetres = 100;
constexpr int kPixelsPerMillimetre = 10;
constexpr int kHundredthsPerPixel = 100 / kPixelsPerMillimetre;
constexpr uint32_t kInitialBytes = 4096;
constexpr uint32_t kHandleChunk = 16;

} // namespace

EmfWriter::EmfWriter(int width, int height)
{
    const QByteArray path = m_dir.filePath("built.emf").toLocal8Bit();
    if (emf_start(path.constData(), kInitialBytes, kInitialBytes, &m_track) != 0
        || emf_htable_create(kHandleChunk, kHandleChunk, &m_handles) != 0)
        throw std::runtime_error("libUEMF could not start a metafile");
    const U_RECTL bounds{0, 0, width - 1, height - 1};
    const U_RECTL frame{0, 0, width * kHundredthsPerPixel, height * kHundredthsPerPixel};
    const U_SIZEL device{kDeviceMillimetres * kPixelsPerMillimetre, kDeviceMillimetres * kPixelsPerMillimetre};
    const U_SIZEL millimetres{kDeviceMillimetres, kDeviceMillimetres};
    Add(U_EMRHEADER_set(bounds, frame, nullptr, 0, nullptr, device, millimetres, 0));
}

EmfWriter::~EmfWriter()
{
    if (m_track)
        emf_free(&m_track);
    if (m_handles)
        emf_htable_free(&m_handles);
}

EmfWriter& EmfWriter::Add(char* record)
{
    if (!record || emf_append(reinterpret_cast<U_ENHMETARECORD*>(record), m_track, U_REC_FREE) != 0)
        throw std::runtime_error("libUEMF could not append a record");
    return *this;
}

uint32_t EmfWriter::NewSlot()
{
    uint32_t slot = 0;
    if (emf_htable_insert(&slot, m_handles) != 0)
        throw std::runtime_error("libUEMF has no free object slot");
    return slot;
}

uint32_t EmfWriter::Brush(QRgb colour, uint32_t style, uint32_t hatch)
{
    const uint32_t slot = NewSlot();
    Add(U_EMRCREATEBRUSHINDIRECT_set(slot, logbrush_set(style, ToColourRef(colour), int32_t(hatch))));
    return slot;
}

uint32_t EmfWriter::ExtendedPen(uint32_t style, uint32_t width, QRgb colour, std::vector<uint32_t> dashes)
{
    const uint32_t slot = NewSlot();
    PU_EXTLOGPEN pen = extlogpen_set(style, width, U_BS_SOLID, ToColourRef(colour), 0, uint32_t(dashes.size()),
                                     dashes.empty() ? nullptr : dashes.data());
    Add(U_EMREXTCREATEPEN_set(slot, nullptr, 0, nullptr, pen));
    free(pen);
    return slot;
}

EmfWriter& EmfWriter::ClipRegion(uint32_t mode, std::vector<U_RECTL> rects)
{
    return Add(U_EMREXTSELECTCLIPRGN_set(mode, RegionData(std::move(rects)).get()));
}

std::unique_ptr<U_RGNDATA, decltype(&free)> RegionData(std::vector<U_RECTL> rects)
{
    const auto header = rgndataheader_set(U_NUM_RECTL(rects.size()), U_RECTL{0, 0, 0, 0});
    return {rgndata_set(header, rects.data()), &free};
}

QByteArray EmfWriter::Finish()
{
    Add(U_EMREOF_set(0, nullptr, m_track));
    if (emf_finish(m_track, m_handles) != 0)
        throw std::runtime_error("libUEMF could not write the metafile");
    QFile file(m_dir.filePath("built.emf"));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("the written metafile cannot be read");
    return file.readAll();
}

U_COLORREF ToColourRef(QRgb colour)
{
    return colorref3_set(uint8_t(qRed(colour)), uint8_t(qGreen(colour)), uint8_t(qBlue(colour)));
}

U_XFORM Transform(float m11, float m12, float m21, float m22, float dx, float dy)
{
    return xform_set(m11, m12, m21, m22, dx, dy);
}
