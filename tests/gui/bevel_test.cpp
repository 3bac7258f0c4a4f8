#include "gui/bevel.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

const QColor kBack(10, 20, 30);
const QColor kTop(200, 0, 0);
const QColor kBottom(0, 0, 200);

} // namespace

// Every pixel of a 6x5 image with a 2-ring frame: ring pixels by edge, the
// corners as the Windows frames have them, the inside untouched.
TEST(Bevel, Frame3DPixels)
{
    QImage img(6, 5, QImage::Format_RGB32);
    img.fill(kBack);
    QRect r(0, 0, 6, 5);
    {
        QPainter p(&img);
        bevel::Frame3D(p, r, kTop, kBottom, 2);
    }
    EXPECT_EQ(r, QRect(2, 2, 2, 1));
    const char* expected[] = {
        "TTTTTB", "TTTTBB", "TT..BB", "TBBBBB", "BBBBBB",
    };
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) {
            const char want = expected[y][x];
            const QColor c = want == 'T' ? kTop : want == 'B' ? kBottom : kBack;
            EXPECT_EQ(img.pixelColor(x, y), c) << x << "," << y;
        }
}

TEST(Bevel, FrameWiderThanRectLeavesEmptyRect)
{
    QImage img(4, 4, QImage::Format_RGB32);
    img.fill(kBack);
    QRect r(0, 0, 4, 4);
    QPainter p(&img);
    bevel::Frame3D(p, r, kTop, kBottom, 5);
    EXPECT_TRUE(r.isEmpty());
    EXPECT_GE(r.width(), 0);
    EXPECT_GE(r.height(), 0);
}
