#include "controls/selectgrid.h"

#include "widgets.h"

#include <QApplication>
#include <QSignalSpy>

#include <random>

namespace {

const QStringList kWeekdays = {
    u"日"_qs, u"月"_qs, u"火"_qs, u"水"_qs, u"木"_qs, u"金"_qs, u"土"_qs
};

// A strip on a form, shown.
struct Strip
{
    QWidget form;
    TSelectGrid& g = *new TSelectGrid(&form);
    explicit Strip(const QStringList& items, int clientWidth = 142, int cols = 0)
    {
        g.SetItems(items);
        if (cols > 0)
            g.SetColCount(cols); // more cells than items
        g.setGeometry(0, 0, clientWidth + 2 * g.frameWidth(), 20 + 2 * g.frameWidth());
        ShowAt(form, 300, 150);
    }
    void Click(int col, int row, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(g.viewport(), button, {}, g.CellRect(col, row).center());
    }
    // A spot in a cell's corner, away from the centred label.
    QColor Corner(int col, int row)
    {
        const QImage img = g.viewport()->grab().toImage();
        return img.pixelColor(g.CellRect(col, row).topLeft() + QPoint(1, 1));
    }
};

std::vector<bool> SelectionOf(const TSelectGrid& g)
{
    std::vector<bool> out;
    for (int i = 0; i < g.Items().size(); ++i)
        out.push_back(g.ItemSelected(i));
    return out;
}

} // namespace

TEST(SelectGrid, WeekdayMasks)
{
    TSelectGrid fresh;
    EXPECT_EQ(fresh.size(), QSize(255, 23));
    EXPECT_EQ(fresh.ColCount(), 5);

    Strip s(kWeekdays);
    EXPECT_EQ(s.g.ColCount(), 7);
    s.Click(0, 0);
    s.Click(6, 0);
    EXPECT_EQ(s.g.GetBits(), 65);
    s.g.SetReversebit(true);
    s.Click(6, 0);
    EXPECT_EQ(s.g.GetBits(), 1); // Sunday alone
    s.g.SetBits(64);
    EXPECT_EQ(SelectionOf(s.g), (std::vector<bool> { 0, 0, 0, 0, 0, 0, 1 })); // Saturday
    s.g.SetReversebit(false);
    s.g.SetBits(32);
    EXPECT_EQ(SelectionOf(s.g), (std::vector<bool> { 0, 1, 0, 0, 0, 0, 0 })); // Monday

    TSelectGrid weeks; // "1" is the highest of five bits
    weeks.SetItems({ "1", "2", "3", "4", "5" });
    weeks.SetBits(16);
    EXPECT_TRUE(weeks.ItemSelected(0));
}

TEST(SelectGrid, BitsRoundTripForUpTo32Items)
{
    std::mt19937 random(8);
    for (bool reverse : { false, true }) {
        for (int count = 1; count <= 32; ++count) {
            TSelectGrid g;
            g.SetReversebit(reverse);
            QStringList items;
            for (int i = 0; i < count; ++i)
                items << QString::number(i);
            g.SetItems(items);
            const std::uint32_t used = count == 32 ? ~0u : (1u << count) - 1;
            for (int round = 0; round < 20; ++round) {
                const auto mask = static_cast<std::uint32_t>(random());
                g.SetBits(static_cast<int>(mask));
                const std::vector<bool> chosen = SelectionOf(g);
                for (int i = 0; i < count; ++i)
                    ASSERT_EQ(chosen[i], ((mask >> (reverse ? i : count - 1 - i)) & 1u) != 0);
                const int bits = g.GetBits();
                EXPECT_EQ(static_cast<std::uint32_t>(bits), mask & used) << count;
                g.SetBits(bits);
                EXPECT_EQ(SelectionOf(g), chosen) << count;
            }
        }
    }
}

TEST(SelectGrid, OnlyItemCellsAndTheLeftButtonToggle)
{
    Strip s({ "a", "b", "c" }, 200, 5);
    QSignalSpy clicks(&s.g, &TCustomGrid::OnClick);
    QSignalSpy doubles(&s.g, &TCustomGrid::OnDblClick);
    s.Click(4, 0);
    s.Click(1, 0, Qt::RightButton);
    EXPECT_EQ(s.g.GetBits(), 0);
    s.Click(2, 0);
    EXPECT_EQ(s.g.GetBits(), 1);
    // A double click (a click, then the second press as a double click)
    // toggles once per press.
    s.Click(0, 0);
    QTest::mouseDClick(s.g.viewport(), Qt::LeftButton, {}, s.g.CellRect(0, 0).center());
    EXPECT_EQ(s.g.GetBits(), 1);
    EXPECT_EQ(clicks.count(), 3);
    EXPECT_EQ(doubles.count(), 1);
}

TEST(SelectGrid, OnlyItsOwnDisablingClearsTheChoice)
{
    QWidget form;
    QWidget* panel = new QWidget(&form);
    TSelectGrid& g = *new TSelectGrid(panel);
    g.SetItems(kWeekdays);
    ShowAt(form, 300, 100);
    g.SetBits(65);
    panel->setEnabled(false);
    EXPECT_FALSE(g.isEnabled());
    panel->setEnabled(true);
    EXPECT_EQ(g.GetBits(), 65);
    g.setEnabled(false);
    EXPECT_EQ(g.GetBits(), 0);
    g.setEnabled(true);
    EXPECT_EQ(g.GetBits(), 0);
}

TEST(SelectGrid, CellsShareTheClientArea)
{
    Strip s(kWeekdays);
    ASSERT_EQ(s.g.ClientWidth(), 142);
    std::vector<int> widths;
    for (int i = 0; i < 7; ++i)
        widths.push_back(s.g.ColWidths(i));
    EXPECT_EQ(widths, (std::vector<int> { 19, 19, 19, 19, 19, 20, 20 }));
    EXPECT_EQ(s.g.DefaultRowHeight(), 19);
    EXPECT_EQ(s.g.CellRect(6, 0).right(), 140); // its line takes the last pixel

    // Vertical: one column, item i in row i, after the next item assignment.
    s.g.SetArrangeStyle(asVertical);
    EXPECT_EQ(s.g.ColCount(), 7);
    s.g.SetItems({ "1", "2", "3", "4", "5" });
    EXPECT_EQ(s.g.ColCount(), 1);
    EXPECT_EQ(s.g.RowCount(), 5);
    s.g.setGeometry(0, 0, 40 + 2 * s.g.frameWidth(), 100 + 2 * s.g.frameWidth());
    QApplication::processEvents();
    EXPECT_EQ(s.g.ColWidths(0), 39);
    EXPECT_EQ(s.g.DefaultRowHeight(), 19);
    s.Click(0, 3);
    EXPECT_EQ(s.g.GetBits(), 2);
}

TEST(SelectGrid, CellColoursFollowTheSelectionAndState)
{
    Strip s({ "a", "b", "c" }, 200, 4);
    s.g.SetColor(15658734); // light grey
    const QColor grey(0xEE, 0xEE, 0xEE);
    const QColor highlight = colors::ToQColor(colors::clHighlight, s.g.palette());
    const QColor face = colors::ToQColor(colors::clBtnFace, s.g.palette());
    EXPECT_EQ(s.Corner(0, 0), grey);
    EXPECT_EQ(s.Corner(3, 0), grey); // no item: the grid's colour
    s.Click(1, 0);
    EXPECT_EQ(s.Corner(1, 0), highlight);

    // Setting the bits repaints by itself.
    PaintCounter counter;
    QApplication::processEvents();
    s.g.viewport()->installEventFilter(&counter);
    s.g.SetBits(1);
    QApplication::processEvents();
    s.g.viewport()->removeEventFilter(&counter);
    EXPECT_GT(counter.paints, 0);
    EXPECT_EQ(s.Corner(1, 0), grey);
    EXPECT_EQ(s.Corner(2, 0), highlight);

    // A disabled parent greys the cells but keeps the choice.
    s.form.setEnabled(false);
    EXPECT_EQ(s.Corner(2, 0), face);
    EXPECT_EQ(s.Corner(3, 0), grey);
    s.form.setEnabled(true);
    EXPECT_EQ(s.Corner(2, 0), highlight);
}
