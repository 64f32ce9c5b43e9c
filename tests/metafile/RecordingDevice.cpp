#include "RecordingDevice.h"

#include <QPaintEngine>
#include <climits>
#include <cmath>

class RecordingDevice::Engine : public QPaintEngine {
public:
    // Every feature, so that the painter hands over paths, pens and transforms as they are.
    Engine() : QPaintEngine(AllFeatures) {}

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }
    void updateState(const QPaintEngineState& state) override
    {
        if (state.state() & DirtyPen)
            m_current.pen = state.pen();
        if (state.state() & DirtyTransform)
            m_current.transform = state.transform();
    }
    void drawPath(const QPainterPath& path) override
    {
        DrawnPath record = m_current;
        record.path = path;
        drawn.push_back(record);
    }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}

    std::vector<DrawnPath> drawn;

private:
    DrawnPath m_current;
};

qreal DrawnPath::PenPixels() const
{
    if (pen.style() == Qt::NoPen)
        return 0;
    if (pen.isCosmetic())
        return std::max<qreal>(pen.widthF(), 1);
    // The Frobenius norm: at least the transform's largest stretch.
    const QTransform& t = transform;
    return pen.widthF() * std::sqrt(t.m11() * t.m11() + t.m12() * t.m12() + t.m21() * t.m21() + t.m22() * t.m22());
}

RecordingDevice::RecordingDevice(QSize size)
    : m_size(size)
    , m_engine(std::make_unique<Engine>())
{
}

RecordingDevice::~RecordingDevice() = default;

QPaintEngine* RecordingDevice::paintEngine() const
{
    return m_engine.get();
}

const std::vector<DrawnPath>& RecordingDevice::Drawn() const
{
    return m_engine->drawn;
}

int RecordingDevice::metric(PaintDeviceMetric metric) const
{
    constexpr int kDotsPerInch = 96;
    switch (metric) {
    case PdmWidth: return m_size.width();
    case PdmHeight: return m_size.height();
    case PdmDpiX: case PdmDpiY: case PdmPhysicalDpiX: case PdmPhysicalDpiY: return kDotsPerInch;
    case PdmWidthMM: return m_size.width() * 254 / (10 * kDotsPerInch);
    case PdmHeightMM: return m_size.height() * 254 / (10 * kDotsPerInch);
    case PdmDepth: return 32;
    case PdmNumColors: return INT_MAX;
    case PdmDevicePixelRatio: return 1;
    case PdmDevicePixelRatioScaled: return int(QPaintDevice::devicePixelRatioFScale());
    default: return 0;
    }
}
