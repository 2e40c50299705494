#include "shell/TrafficLightIcon.h"

#include <QPainter>
#include <QPixmap>
#include <QVector>

namespace varnex {

namespace {

// The 16-colour palette of the classic VGA display.
QVector<QRgb> vgaPalette()
{
    return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
            qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

// Drawn on a 32-unit grid and scaled, so both sizes share one design.
void paintTrafficLight(QPainter& painter, int size)
{
    painter.scale(size / 32.0, size / 32.0);
    painter.setRenderHint(QPainter::Antialiasing, false);

    // Pole.
    painter.fillRect(QRect(14, 27, 4, 5), QColor(128, 128, 128));
    // Housing with a light rim.
    painter.setPen(QColor(192, 192, 192));
    painter.setBrush(QColor(0, 0, 0));
    painter.drawRect(QRect(9, 0, 13, 27));

    painter.setPen(Qt::NoPen);
    const struct {
        int top;
        QColor colour;
    } lamps[] = {
        {2, QColor(128, 0, 0)},    // red, dark
        {10, QColor(128, 128, 0)}, // amber, dark
        {18, QColor(0, 255, 0)},   // green, lit
    };
    for (const auto& lamp : lamps) {
        painter.setBrush(lamp.colour);
        painter.drawEllipse(QRect(11, lamp.top, 10, 7));
    }
    // A highlight on the lit lamp.
    painter.fillRect(QRect(13, 19, 2, 2), QColor(255, 255, 255));
}

}  // namespace

QImage trafficLightImage(int size)
{
    QImage canvas(size, size, QImage::Format_ARGB32);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        paintTrafficLight(painter, size);
    }
    // Reduce to the 16 colours plus transparency.
    QImage mask = canvas.createAlphaMask(Qt::ThresholdAlphaDither);
    QImage indexed = canvas.convertToFormat(QImage::Format_Indexed8, vgaPalette(), Qt::ThresholdDither);
    QImage result = indexed.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if (mask.pixelIndex(x, y) == 0)
                result.setPixel(x, y, qRgba(0, 0, 0, 0));
    return result;
}

QIcon trafficLightIcon()
{
    QIcon icon;
    for (int size : {32, 16})
        icon.addPixmap(QPixmap::fromImage(trafficLightImage(size)));
    return icon;
}

}  // namespace varnex
