#include "core/sjis.h"
#include "gui/colors.h"
#include "gui/drawkind.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

// Paints a category into a white image and counts the pixels of a colour
// inside and outside the cell.
struct Painted
{
    QImage image { 120, 40, QImage::Format_RGB32 };
    QRect cell { 10, 5, 100, 30 };

    explicit Painted(const std::string& kind)
    {
        image.fill(Qt::white);
        QPainter p(&image);
        DrawKind(p, cell, kind);
    }
    int Count(QColor c, bool inside) const
    {
        return CountIf(inside, [&](QColor p) { return p == c; });
    }
    template<typename Pred> int CountIf(bool inside, Pred pred) const
    {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (cell.contains(x, y) == inside && pred(image.pixelColor(x, y)))
                    ++n;
        return n;
    }
};

} // namespace

TEST(DrawKind, FillsTheCellAndWritesTheNameInItsColour)
{
    // Yellow back ($00FFFF), blue text ($FF0000).
    Painted p(SJ("会議:FF0000:00FFFF"));
    EXPECT_EQ(p.image.pixelColor(12, 32), QColor(255, 255, 0));
    EXPECT_EQ(p.Count(QColor(255, 255, 0), false), 0);
    // Text pixels (antialiased) lean to blue.
    EXPECT_GT(p.CountIf(true, [](QColor c) { return c.blue() > c.red() + 100; }), 5);
    // Nothing is written left of Left + 4.
    for (int y = p.cell.top(); y <= p.cell.bottom(); ++y)
        for (int x = p.cell.left(); x < p.cell.left() + 4; ++x)
            ASSERT_EQ(p.image.pixelColor(x, y), QColor(255, 255, 0));
}

TEST(DrawKind, WithoutBackColourUsesTheWindowColour)
{
    Painted p(SJ("個人"));
    EXPECT_EQ(p.image.pixelColor(p.cell.right() - 1, p.cell.bottom() - 1),
              colors::ToQColor(colors::clWindow));
}
