#include "tools/contentgen/EmfWriter.h"

#include "tools/contentgen/BubbleShape.h"

#include <uemf.h>

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

    out.Add(selectobject_set(U_NULL_BRUSH, out.Handles()));
    out.Add(deleteobject_set(&brush, out.Handles()));
    out.Add(selectobject_set(U_NULL_PEN, out.Handles()));
    out.Add(deleteobject_set(&pen, out.Handles()));
    out.Add(U_EMREOF_set(0, nullptr, out.Track()));
    return out.Finish();
}
