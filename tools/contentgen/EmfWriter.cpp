#include "tools/contentgen/EmfWriter.h"

#include "tools/contentgen/BubbleShape.h"

#include <uemf.h>
#include <uemf_utf.h>

#include <QRect>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

struct TrackDeleter {
    void operator()(EMFTRACK* track) const { emf_free(&track); }
};
struct HandlesDeleter {
    void operator()(EMFHANDLES* handles) const { emf_htable_free(&handles); }
};

U_POINTL Point(QPoint p)
{
    return point32_set(p.x(), p.y());
}

U_RECTL Rect(const QRect& r)
{
    return rectl_set(point32_set(r.left(), r.top()), point32_set(r.right(), r.bottom()));
}

U_COLORREF Colour(const QColor& c)
{
    return colorref3_set(static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()),
                         static_cast<uint8_t>(c.blue()));
}

// 0.01 mm per pixel of the reference device, times n pixels.
int32_t Hundredths(int pixels, int devicePixels, int deviceMm)
{
    return static_cast<int32_t>(std::lround(pixels * 100.0 * deviceMm / devicePixels));
}

QRect Bounds(const std::vector<U_POINTL>& points)
{
    QRect bounds;
    for (const U_POINTL& p : points)
        bounds |= QRect(p.x, p.y, 1, 1);
    return bounds;
}

class Recorder {
public:
    Recorder()
    {
        // libUEMF builds the metafile in memory and writes it to a file when finished; the finished
        // bytes stay in its buffer, which is all we keep.
        EMFTRACK* track = nullptr;
        EMFHANDLES* handles = nullptr;
        if (emf_start("/dev/null", 4096, 4096, &track) == 0)
            m_track.reset(track);
        if (emf_htable_create(16, 16, &handles) == 0)
            m_handles.reset(handles);
        m_ok = m_track && m_handles;
    }

    // Takes a record that a libUEMF setter made (null when it failed).
    void Add(char* record)
    {
        if (!record) {
            m_ok = false;
        } else if (!m_ok) {
            std::free(record);
        } else if (emf_append(reinterpret_cast<U_ENHMETARECORD*>(record), m_track.get(), U_REC_FREE) != 0) {
            m_ok = false;
        }
    }

    EMFHANDLES* Handles() { return m_handles.get(); }
    EMFTRACK* Track() { return m_track.get(); }

    QByteArray Finish()
    {
        if (!m_ok || emf_finish(m_track.get(), m_handles.get()) != 0)
            return {};
        return QByteArray(m_track->buf, static_cast<qsizetype>(m_track->used));
    }

private:
    std::unique_ptr<EMFTRACK, TrackDeleter> m_track;
    std::unique_ptr<EMFHANDLES, HandlesDeleter> m_handles;
    bool m_ok = false;
};

void AddFigure(Recorder& out, const BubbleShape::Figure& figure)
{
    out.Add(U_EMRMOVETOEX_set(Point(figure.start)));
    std::vector<U_POINTL> curve;  // consecutive Bezier segments go into one record
    auto flushCurve = [&] {
        if (curve.empty())
            return;
        out.Add(U_EMRPOLYBEZIERTO_set(Rect(Bounds(curve)), static_cast<uint32_t>(curve.size()), curve.data()));
        curve.clear();
    };
    for (const BubbleShape::Segment& segment : figure.segments) {
        if (segment.bezier) {
            curve.push_back(Point(segment.control1));
            curve.push_back(Point(segment.control2));
            curve.push_back(Point(segment.end));
        } else {
            flushCurve();
            out.Add(U_EMRLINETO_set(Point(segment.end)));
        }
    }
    flushCurve();
    out.Add(U_EMRCLOSEFIGURE_set());
}

using FreeDeleter = decltype(&std::free);

// 0.01 mm per pixel of the reference device, as Windows gives text records in the compatible mode.
constexpr float HundredthsPerPixel = 100.0f * EmfWriter::DeviceWidthMm / EmfWriter::DeviceWidth;

// The photo through its window: the window becomes the clip path (kept between SAVEDC and RESTOREDC),
// the photo a 24-bit bottom-up bitmap stretched onto its rectangle; then the window is outlined with the
// current pen, over the photo's edge.
void AddPicture(Recorder& out, const BubbleShape::Picture& picture, const U_RECTL& bounds)
{
    const QImage rgba = picture.photo.convertToFormat(QImage::Format_RGBA8888);
    char* pixels = nullptr;
    uint32_t pixelBytes = 0;
    PU_RGBQUAD colours = nullptr;
    int colourCount = 0;
    const bool converted =
        !rgba.isNull()
        && RGBA_to_DIB(&pixels, &pixelBytes, &colours, &colourCount, reinterpret_cast<const char*>(rgba.constBits()),
                       rgba.width(), rgba.height(), static_cast<int>(rgba.bytesPerLine()), U_BCBM_COLOR24, U_CT_NO,
                       U_ROW_ORDER_INVERT)
               == 0;
    std::unique_ptr<char, FreeDeleter> ownedPixels(pixels, &std::free);
    std::unique_ptr<U_RGBQUAD, FreeDeleter> ownedColours(colours, &std::free);  // none at 24 bits
    if (!converted) {
        out.Add(nullptr);
        return;
    }
    // 3780 pixels a metre: 96 dots per inch.
    std::unique_ptr<U_BITMAPINFO, FreeDeleter> info(
        bitmapinfo_set(bitmapinfoheader_set(rgba.width(), rgba.height(), 1, U_BCBM_COLOR24, U_BI_RGB, pixelBytes,
                                            3780, 3780, 0, 0),
                       nullptr),
        &std::free);

    out.Add(U_EMRSAVEDC_set());
    out.Add(U_EMRBEGINPATH_set());
    AddFigure(out, picture.window);
    out.Add(U_EMRENDPATH_set());
    out.Add(U_EMRSELECTCLIPPATH_set(U_RGN_COPY));
    out.Add(U_EMRSETSTRETCHBLTMODE_set(U_STRETCH_HALFTONE));
    const QRect& where = picture.where;
    const U_POINTL shownSize = point32_set(where.width(), where.height());
    const U_POINTL storedSize = point32_set(rgba.width(), rgba.height());
    out.Add(info ? U_EMRSTRETCHDIBITS_set(Rect(where), Point(where.topLeft()), shownSize, point32_set(0, 0), storedSize,
                                          U_DIB_RGB_COLORS, U_SRCCOPY, info.get(), pixelBytes, pixels)
                 : nullptr);
    out.Add(U_EMRRESTOREDC_set(-1));

    out.Add(U_EMRBEGINPATH_set());
    AddFigure(out, picture.window);
    out.Add(U_EMRENDPATH_set());
    out.Add(U_EMRSTROKEPATH_set(bounds));
}

// The words in a font of their own, centred on their baseline point, with the advances as the spacing.
void AddLettering(Recorder& out, const BubbleShape::Lettering& lettering)
{
    std::unique_ptr<uint16_t, FreeDeleter> face(U_Utf8ToUtf16le("Arial", 0, nullptr), &std::free);
    const QByteArray utf8 = lettering.text.toUtf8();
    size_t length = 0;
    std::unique_ptr<uint16_t, FreeDeleter> text(U_Utf8ToUtf16le(utf8.constData(), 0, &length), &std::free);
    std::vector<uint32_t> advances;
    for (const int advance : lettering.Advances())
        advances.push_back(static_cast<uint32_t>(advance));
    if (!face || !text || advances.size() != length) {
        out.Add(nullptr);
        return;
    }
    // A negative height is the character height, without the internal leading.
    const U_LOGFONT font = logfont_set(-lettering.height, 0, 0, 0, U_FW_BOLD, 0, 0, 0, U_ANSI_CHARSET,
                                       U_OUT_DEFAULT_PRECIS, U_CLIP_DEFAULT_PRECIS, U_DEFAULT_QUALITY,
                                       U_VARIABLE_PITCH | U_FF_SWISS, face.get());
    uint32_t handle = 0;
    out.Add(extcreatefontindirectw_set(&handle, out.Handles(), reinterpret_cast<const char*>(&font), nullptr));
    out.Add(selectobject_set(handle, out.Handles()));
    out.Add(U_EMRSETTEXTCOLOR_set(Colour(lettering.colour)));
    out.Add(U_EMRSETTEXTALIGN_set(U_TA_CENTER | U_TA_BASELINE));
    std::unique_ptr<char, FreeDeleter> emrText(
        emrtext_set(Point(lettering.baselineCentre), static_cast<U_NUM_STR>(length), 2, text.get(), U_ETO_NONE,
                    rectl_set(point32_set(0, 0), point32_set(-1, -1)), advances.data()),
        &std::free);
    out.Add(emrText ? U_EMREXTTEXTOUTW_set(Rect(lettering.Box()), U_GM_COMPATIBLE, HundredthsPerPixel,
                                           HundredthsPerPixel, reinterpret_cast<PU_EMRTEXT>(emrText.get()))
                    : nullptr);
    out.Add(selectobject_set(U_DEVICE_DEFAULT_FONT, out.Handles()));
    out.Add(deleteobject_set(&handle, out.Handles()));
}

} // namespace

QByteArray EmfWriter::Encode(const BubbleShape& shape)
{
    Recorder out;
    const int w = shape.size.width(), h = shape.size.height();
    const U_RECTL bounds = rectl_set(point32_set(0, 0), point32_set(w, h));
    const U_RECTL frame = rectl_set(point32_set(0, 0), point32_set(Hundredths(w, DeviceWidth, DeviceWidthMm),
                                                                    Hundredths(h, DeviceHeight, DeviceHeightMm)));
    out.Add(U_EMRHEADER_set(bounds, frame, nullptr, 0, nullptr, sizel_set(DeviceWidth, DeviceHeight),
                            sizel_set(DeviceWidthMm, DeviceHeightMm), 0));
    out.Add(U_EMRSETMAPMODE_set(U_MM_TEXT));
    out.Add(U_EMRSETBKMODE_set(U_TRANSPARENT));
    out.Add(U_EMRSETPOLYFILLMODE_set(U_WINDING));

    uint32_t brush = 0, pen = 0;
    out.Add(createbrushindirect_set(&brush, out.Handles(), logbrush_set(U_BS_SOLID, Colour(shape.fill), 0)));
    out.Add(selectobject_set(brush, out.Handles()));
    std::unique_ptr<U_EXTLOGPEN, decltype(&std::free)> logPen(
        extlogpen_set(U_PS_SOLID | U_PS_GEOMETRIC | U_PS_ENDCAP_ROUND | U_PS_JOIN_ROUND,
                      static_cast<uint32_t>(shape.penWidth), U_BS_SOLID, Colour(shape.outline), 0, 0, nullptr),
        &std::free);
    out.Add(logPen ? extcreatepen_set(&pen, out.Handles(), nullptr, 0, nullptr, logPen.get()) : nullptr);
    out.Add(selectobject_set(pen, out.Handles()));

    out.Add(U_EMRBEGINPATH_set());
    for (const BubbleShape::Figure& figure : shape.figures)
        AddFigure(out, figure);
    out.Add(U_EMRENDPATH_set());
    out.Add(U_EMRSTROKEANDFILLPATH_set(bounds));
    if (shape.picture)
        AddPicture(out, *shape.picture, bounds);
    if (shape.lettering)
        AddLettering(out, *shape.lettering);

    out.Add(selectobject_set(U_NULL_BRUSH, out.Handles()));
    out.Add(deleteobject_set(&brush, out.Handles()));
    out.Add(selectobject_set(U_NULL_PEN, out.Handles()));
    out.Add(deleteobject_set(&pen, out.Handles()));
    out.Add(U_EMREOF_set(0, nullptr, out.Track()));
    return out.Finish();
}
