#include "core/view/cellmodel.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using namespace calpaint;

TEST(CellModel, SixIconDrawingsWithTransparentGround)
{
    QImage seen[kIconCount];
    for (int i = 0; i < kIconCount; ++i) {
        const QPixmap& icon = IconPixmap(i);
        ASSERT_FALSE(icon.isNull()) << IconName(i);
        EXPECT_EQ(icon.size(), QSize(12, 12));
        seen[i] = icon.toImage().convertToFormat(QImage::Format_ARGB32);
        int opaque = 0;
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x)
                opaque += qAlpha(seen[i].pixel(x, y)) == 255;
        // A drawing, not a filled square.
        EXPECT_GT(opaque, 10) << IconName(i);
        EXPECT_LT(opaque, 100) << IconName(i);
        for (int j = 0; j < i; ++j)
            EXPECT_NE(seen[i], seen[j]) << IconName(i) << " " << IconName(j);
    }
    EXPECT_TRUE(IconPixmap(6).isNull());
    EXPECT_TRUE(IconPixmap(-1).isNull());
    EXPECT_STREQ(IconName(icMidd), "MIDD");
}

TEST(CellModel, PaintingFollowsTheModel)
{
    QImage img(120, 80, QImage::Format_RGB32);
    img.fill(Qt::black);
    CellModel m;
    m.rect = QRect(10, 10, 100, 60);
    m.background = QColor(0xEE, 0xEE, 0xFF);
    m.frameArea = m.rect;
    m.frameWidth = 3;
    m.frameColor = Qt::red;
    m.content = m.rect.adjusted(3, 3, -3, -3);
    ItemLine line;
    line.fill = QRect(13, 30, 94, 37);
    line.back = QColor(0, 200, 0);
    line.icon = icHigh;
    line.iconAt = QPoint(13, 30);
    m.lines.push_back(line);
    ItemLine second = line;
    second.fill = QRect(13, 50, 94, 17);
    second.back = QColor(0, 0, 200);
    second.icon = -1;
    m.lines.push_back(second);
    m.markColor = QColor(0x80, 0, 0x80);
    m.marks.push_back({ QRect(96, 14, 8, 8), true });
    {
        QPainter p(&img);
        PaintCell(p, m);
    }
    EXPECT_EQ(img.pixelColor(5, 5), QColor(Qt::black)); // outside the cell
    EXPECT_EQ(img.pixelColor(10, 10), QColor(Qt::red));
    EXPECT_EQ(img.pixelColor(12, 40), QColor(Qt::red));
    EXPECT_EQ(img.pixelColor(109, 69), QColor(Qt::red));
    EXPECT_EQ(img.pixelColor(13, 20), m.background);
    // The first line's ground ends where the second one begins.
    EXPECT_EQ(img.pixelColor(60, 45), QColor(0, 200, 0));
    EXPECT_EQ(img.pixelColor(60, 60), QColor(0, 0, 200));
    // The icon sits on the line's ground at its left edge (HIGH: red bars).
    EXPECT_EQ(img.pixelColor(14, 40).red() > 150, true);
    EXPECT_EQ(img.pixelColor(100, 18), m.markColor);

    // Custom content: background and frame only.
    m.custom = true;
    img.fill(Qt::black);
    {
        QPainter p(&img);
        PaintCell(p, m);
    }
    EXPECT_EQ(img.pixelColor(60, 60), m.background);
    EXPECT_EQ(img.pixelColor(100, 18), m.background);
}

TEST(CellModel, CachedTextsPaintLikeLaidOutOnes)
{
    CellModel m;
    m.rect = QRect(0, 0, 160, 60);
    m.background = Qt::white;
    QFont font;
    font.setPixelSize(14);
    for (int i = 0; i < 3; ++i) {
        TextPiece t;
        t.text = QString::fromUtf16(u"予定 %1 件").arg(i);
        t.font = font;
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
