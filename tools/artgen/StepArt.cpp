#include "tools/artgen/StepArt.h"

#include "tools/artgen/ArtKit.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

struct Label {
    const char* first;
    const char* second;
};

constexpr Label Labels[StepArt::StepCount] = {
    {"CHOOSE", "SCENE"}, {"CHOOSE", "FACE"},       {"SELECT", "FACE"}, {"OUTLINE", "FACE"},
    {"PLACE", "FACE"},   {"ADD", "ACCESSORIES"}, {"ADD", "TEXT"},    {"FINISH", "PICTURE"},
};

constexpr int Height = 48;
constexpr int NumberLeft = 4;
constexpr int NumberWidth = 22;
constexpr int LabelLeft = NumberLeft + NumberWidth + 2;

QLinearGradient Panel(bool current)
{
    QLinearGradient gradient(0, 0, 0, Height);
    if (current) {
        gradient.setColorAt(0, QColor(255, 170, 60));
        gradient.setColorAt(1, QColor(235, 110, 20));
    } else {
        gradient.setColorAt(0, QColor(170, 170, 170));
        gradient.setColorAt(1, QColor(125, 125, 125));
    }
    return gradient;
}

} // namespace

QImage StepArt::Draw(int step, bool current, int width)
{
    QImage image(width, Height, QImage::Format_RGB32);
    image.fill(QColor(239, 239, 239));  // the window colour behind the rounded corners
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QPainterPath panel;
    panel.addRoundedRect(QRectF(0.5, 0.5, width - 1, Height - 1), 6, 6);
    p.setPen(QPen(current ? QColor(170, 70, 10) : QColor(95, 95, 95), 1));
    p.setBrush(Panel(current));
    p.drawPath(panel);

    p.setPen(Qt::white);
    p.setFont(ArtKit::Font(40, true));
    p.drawText(QRect(NumberLeft, 0, NumberWidth, Height), Qt::AlignCenter, QString::number(step));

    const Label& label = Labels[step - 1];
    p.setFont(ArtKit::Font(11, true));
    const int right = width - LabelLeft - 2;
    p.drawText(QRect(LabelLeft, 9, right, 14), Qt::AlignLeft | Qt::AlignVCenter, QString::fromLatin1(label.first));
    p.drawText(QRect(LabelLeft, 24, right, 14), Qt::AlignLeft | Qt::AlignVCenter, QString::fromLatin1(label.second));
    return image;
}
