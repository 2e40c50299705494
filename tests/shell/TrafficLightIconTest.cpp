#include "shell/TrafficLightIcon.h"

#include <QColor>
#include <QSet>

#include <gtest/gtest.h>

namespace varnex {
namespace {

TEST(TrafficLightIcon, HasBothSizesInSixteenColoursWithGreenLit)
{
    const QSet<QRgb> vga = {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
                            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
                            qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
                            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
    for (int size : {16, 32}) {
        SCOPED_TRACE(size);
        const QImage image = trafficLightImage(size);
        ASSERT_EQ(image.size(), QSize(size, size));
        QSet<QRgb> used;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                if (qAlpha(image.pixel(x, y)) != 0)
                    used.insert(image.pixel(x, y) | 0xff000000u);
        EXPECT_TRUE(used.contains(qRgb(0, 255, 0))) << "green lamp lit";
        EXPECT_FALSE(used.contains(qRgb(255, 0, 0))) << "red lamp dark";
        EXPECT_TRUE(used.contains(qRgb(128, 0, 0))) << "red lamp present";
        for (QRgb colour : used)
            EXPECT_TRUE(vga.contains(colour)) << QColor(colour).name().toStdString();
    }
    const QIcon icon = trafficLightIcon();
    EXPECT_TRUE(icon.availableSizes().contains(QSize(16, 16)));
    EXPECT_TRUE(icon.availableSizes().contains(QSize(32, 32)));
}

}  // namespace
}  // namespace varnex
