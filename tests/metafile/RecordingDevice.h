#pragma once

#include <QPaintDevice>
#include <QPainterPath>
#include <QPen>
#include <QSize>
#include <QTransform>
#include <memory>
#include <vector>

// One path a painter handed to the device, with the pen and transform it was drawn with.
struct DrawnPath {
    QPainterPath path; // in the painter's coordinates
    QPen pen;
    QTransform transform; // the painter's coordinates to device pixels

    QPainterPath DevicePath() const { return transform.map(path); }
    // How wide the pen draws on the device at most, in pixels.
    qreal PenPixels() const;
};

// A paint device of a given size that keeps every path drawn on it instead of drawing it.
class RecordingDevice : public QPaintDevice {
public:
    explicit RecordingDevice(QSize size);
    ~RecordingDevice() override;

    QPaintEngine* paintEngine() const override;
    const std::vector<DrawnPath>& Drawn() const;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    class Engine;
    QSize m_size;
    std::unique_ptr<Engine> m_engine;
};
