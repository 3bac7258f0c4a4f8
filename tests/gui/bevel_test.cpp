#include "gui/bevel.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

const QColor kBack(10, 20, 30);
const QColor kTop(200, 0, 0);
const QColor kBottom(0, 0, 200);

QPalette TestPalette()
{
    QPalette p;
    p.setColor(QPalette::Light, QColor(250, 250, 250)); // button highlight
    p.setColor(QPalette::Mid, QColor(100, 100, 100)); // button shadow
    return p;
}

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

TEST(Bevel, CutsUseButtonShadowAndHighlight)
{
    const QPalette pal = TestPalette();
    QImage img(10, 10, QImage::Format_RGB32);
    for (TBevelCut cut : { bvLowered, bvRaised, bvSpace, bvNone }) {
        img.fill(kBack);
        QRect r(0, 0, 10, 10);
        {
            QPainter p(&img);
            bevel::DrawBevel(p, r, cut, 1, pal);
        }
        const QColor tl = img.pixelColor(0, 5), br = img.pixelColor(9, 5);
        switch (cut) {
        case bvLowered:
            EXPECT_EQ(tl, QColor(100, 100, 100));
            EXPECT_EQ(br, QColor(250, 250, 250));
            EXPECT_EQ(r, QRect(1, 1, 8, 8));
            break;
        case bvRaised:
        case bvSpace:
            EXPECT_EQ(tl, QColor(250, 250, 250));
            EXPECT_EQ(br, QColor(100, 100, 100));
            break;
        case bvNone:
            EXPECT_EQ(tl, kBack);
            EXPECT_EQ(r, QRect(0, 0, 10, 10));
            break;
        }
    }
}
