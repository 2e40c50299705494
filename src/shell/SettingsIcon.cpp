#include "shell/SettingsIcon.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>

namespace varnex {

namespace {

constexpr int IconSize = 32;

// The 16 colours of the standard VGA palette.
QList<QRgb> sixteenColours()
{
    return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
            qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

void drawField(QPainter& p, const QRect& r)
{
    p.setPen(QColor(128, 128, 128));
    p.setBrush(Qt::white);
    p.drawRect(r);
}

QImage drawForm()
{
    QImage image(IconSize, IconSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);

    // Window frame and title bar.
    p.setPen(Qt::black);
    p.setBrush(QColor(192, 192, 192));
    p.drawRect(1, 2, 29, 27);
    p.fillRect(2, 3, 28, 5, QColor(0, 0, 128));
    p.fillRect(26, 4, 3, 3, QColor(192, 192, 192));

    // Ticked check box.
    drawField(p, QRect(4, 10, 6, 6));
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(5, 13, 7, 15);
    p.drawLine(7, 15, 9, 11);
    p.fillRect(12, 12, 14, 2, QColor(0, 0, 128));

    // Two text fields, the second with its browse button.
    drawField(p, QRect(4, 18, 22, 3));
    drawField(p, QRect(4, 23, 18, 3));
    p.setPen(Qt::black);
    p.setBrush(QColor(192, 192, 192));
    p.drawRect(23, 23, 4, 3);
    p.end();
    return image;
}

QImage toSixteenColours(const QImage& image)
{
    QImage indexed = image.convertToFormat(QImage::Format_Indexed8, sixteenColours(),
                                           Qt::ThresholdDither | Qt::AvoidDither);
    // Keep the transparent surround: map fully transparent pixels back.
    QImage result = indexed.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < IconSize; ++y)
        for (int x = 0; x < IconSize; ++x)
            if (qAlpha(image.pixel(x, y)) == 0)
                result.setPixel(x, y, qRgba(0, 0, 0, 0));
    return result;
}

QImage toMonochrome(const QImage& image)
{
    QImage result(IconSize, IconSize, QImage::Format_ARGB32);
    for (int y = 0; y < IconSize; ++y)
        for (int x = 0; x < IconSize; ++x) {
            const QRgb px = image.pixel(x, y);
            if (qAlpha(px) == 0)
                result.setPixel(x, y, qRgba(0, 0, 0, 0));
            else
                result.setPixel(x, y, qGray(px) < 160 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        }
    return result;
}

}  // namespace

QIcon settingsIcon()
{
    const QImage form = drawForm();
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(toSixteenColours(form)), QIcon::Normal);
    icon.addPixmap(QPixmap::fromImage(toMonochrome(form)), QIcon::Disabled);
    return icon;
}

}  // namespace varnex
