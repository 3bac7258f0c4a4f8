#include "view/cellmodel.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using namespace calpaint;

TEST(CellModel, SixIconDrawingsWithTransparentGround)
{
    QImage seen[kIconCount];
    for (int i = 0; i < kIconCount; ++i) {
        ASSERT_EQ(IconPixmap(i).size(), QSize(12, 12)) << IconName(i);
        seen[i] = IconPixmap(i).toImage().convertToFormat(QImage::Format_ARGB32);
        int opaque = 0;
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x)
                opaque += qAlpha(seen[i].pixel(x, y)) == 255;
        // A drawing, not a filled square, and each its own.
        EXPECT_GT(opaque, 10) << IconName(i);
        EXPECT_LT(opaque, 100) << IconName(i);
        for (int j = 0; j < i; ++j)
            EXPECT_NE(seen[i], seen[j]) << IconName(i) << " " << IconName(j);
    }
    EXPECT_TRUE(IconPixmap(kIconCount).isNull());
    EXPECT_STREQ(IconName(icMidd), "MIDD");
}

TEST(CellModel, CachedTextsPaintLikeLaidOutOnes)
{
    CellModel m;
    m.rect = QRect(0, 0, 160, 60);
    m.background = Qt::white;
    for (int i = 0; i < 3; ++i) {
        TextPiece t;
        t.text = QString::fromUtf16(u"予定 %1 件").arg(i);
        t.font.setPixelSize(14);
        t.font.setBold(i == 1);
        t.font.setStrikeOut(i == 2);
        t.color = QColor(20 * i, 0, 120);
        t.box = QRect(4, 4 + 18 * i, 150, 18);
        t.flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
        t.clip = QRect(0, 0, 120, 60); // cuts the texts
        m.texts.push_back(t);
    }
    auto paint = [&](TextCache* cache) {
        QImage img(160, 60, QImage::Format_RGB32);
        QPainter p(&img);
        PaintCell(p, m, cache);
        return img;
    };
    TextCache cache;
    const QImage plain = paint(nullptr);
    EXPECT_EQ(paint(&cache), plain);
    EXPECT_EQ(paint(&cache), plain); // from the cache now
    // Something was drawn, and nothing right of the clip.
    int inked = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 160; ++x) {
            const bool ink = plain.pixelColor(x, y) != QColor(Qt::white);
            inked += ink;
            if (x >= 120) {
                EXPECT_FALSE(ink) << x << "," << y;
            }
        }
    }
    EXPECT_GT(inked, 50);
}
