#include "controls/selectgrid.h"

#include "widgets.h"

#include <QApplication>
#include <QSignalSpy>

#include <random>

namespace {

const QStringList kWeekdays = {
    u"日"_qs, u"月"_qs, u"火"_qs, u"水"_qs, u"木"_qs, u"金"_qs, u"土"_qs
};

void Click(TSelectGrid& g, int col, int row, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseClick(g.viewport(), button, {}, g.CellRect(col, row).center());
}

// A spot in a cell's corner, away from the centred label.
QColor Corner(TSelectGrid& g, int col, int row)
{
    const QImage img = g.viewport()->grab().toImage();
    return img.pixelColor(g.CellRect(col, row).topLeft() + QPoint(1, 1));
}

std::vector<bool> SelectionOf(const TSelectGrid& g)
{
    std::vector<bool> out;
    for (int i = 0; i < g.Items().size(); ++i)
        out.push_back(g.ItemSelected(i));
    return out;
}

} // namespace

TEST(SelectGrid, Construction)
{
    TSelectGrid g;
    EXPECT_EQ(g.ColCount(), 5);
    EXPECT_EQ(g.RowCount(), 1);
    EXPECT_EQ(g.FixedCols(), 0);
    EXPECT_EQ(g.FixedRows(), 0);
    EXPECT_EQ(g.DefaultColWidth(), 50);
    EXPECT_EQ(g.DefaultRowHeight(), 22);
    EXPECT_EQ(g.size(), QSize(255, 23));
    EXPECT_EQ(g.ScrollBars(), ssNone);
    EXPECT_FALSE(g.Reversebit());
    EXPECT_EQ(g.ArrangeStyle(), asHorizontal);
    EXPECT_EQ(g.GetBits(), 0);
}

TEST(SelectGrid, WeekdayMasks)
{
    QWidget form;
    TSelectGrid& g = *new TSelectGrid(&form);
    g.SetItems(kWeekdays);
    EXPECT_EQ(g.ColCount(), 7);
    EXPECT_EQ(g.RowCount(), 1);
    g.setGeometry(0, 0, 142 + 2 * g.frameWidth(), 24);
    ShowAt(form, 300, 100);

    Click(g, 0, 0);
    Click(g, 6, 0);
    EXPECT_EQ(g.GetBits(), 65);
    g.SetReversebit(true);
    EXPECT_EQ(g.GetBits(), 1 + 64);
    Click(g, 6, 0); // off again
    EXPECT_EQ(g.GetBits(), 1);
    g.SetBits(64);
    EXPECT_TRUE(g.ItemSelected(6));
    EXPECT_FALSE(g.ItemSelected(0));
    g.SetReversebit(false);
    EXPECT_EQ(g.GetBits(), 1);
    g.SetBits(32);
    EXPECT_EQ(SelectionOf(g),
              (std::vector<bool> { false, true, false, false, false, false, false }));

    // The week list: "1" is the most significant of five bits.
    TSelectGrid weeks;
    weeks.SetItems({ "1", "2", "3", "4", "5" });
    weeks.SetBits(16);
    EXPECT_TRUE(weeks.ItemSelected(0));
    EXPECT_EQ(weeks.GetBits(), 16);
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
                for (int i = 0; i < count; ++i) {
                    const int bit = reverse ? i : count - 1 - i;
                    ASSERT_EQ(chosen[i], ((mask >> bit) & 1u) != 0) << count << " " << i;
                }
                const int bits = g.GetBits();
                EXPECT_EQ(static_cast<std::uint32_t>(bits), mask & used) << count;
                g.SetBits(bits);
                EXPECT_EQ(SelectionOf(g), chosen) << count;
            }
        }
    }
}

TEST(SelectGrid, ClicksOutsideItemsAndOtherButtonsChangeNothing)
{
    QWidget form;
    TSelectGrid& g = *new TSelectGrid(&form);
    g.SetItems({ "a", "b", "c" });
    g.SetColCount(5); // more cells than items
    ShowAt(form, 300, 100);
    QSignalSpy clicks(&g, &TCustomGrid::OnClick);
    Click(g, 4, 0);
    Click(g, 3, 0);
    Click(g, 1, 0, Qt::RightButton);
    EXPECT_EQ(g.GetBits(), 0);
    Click(g, 2, 0);
    EXPECT_EQ(g.GetBits(), 1);
    // A double click: a click, then the second press as a double click.
    QSignalSpy doubles(&g, &TCustomGrid::OnDblClick);
    Click(g, 0, 0);
    QTest::mouseDClick(g.viewport(), Qt::LeftButton, {}, g.CellRect(0, 0).center());
    EXPECT_EQ(g.GetBits(), 1); // each press toggles
    EXPECT_EQ(clicks.count(), 4);
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

    panel->setEnabled(false); // a parent panel switched off
    EXPECT_FALSE(g.isEnabled());
    EXPECT_EQ(g.GetBits(), 65);
    panel->setEnabled(true);
    EXPECT_EQ(g.GetBits(), 65);

    g.setEnabled(false);
    EXPECT_EQ(g.GetBits(), 0);
    g.setEnabled(true);
    EXPECT_EQ(g.GetBits(), 0);
}

TEST(SelectGrid, CellsShareTheClientArea)
{
    QWidget form;
    TSelectGrid& g = *new TSelectGrid(&form);
    g.SetItems(kWeekdays);
    g.setGeometry(0, 0, 142 + 2 * g.frameWidth(), 20 + 2 * g.frameWidth());
    ShowAt(form, 300, 100);
    ASSERT_EQ(g.ClientWidth(), 142);
    const int expected[] = { 19, 19, 19, 19, 19, 20, 20 };
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(g.ColWidths(i), expected[i]) << i;
    EXPECT_EQ(g.DefaultColWidth(), 19);
    EXPECT_EQ(g.DefaultRowHeight(), 19);
    EXPECT_EQ(g.CellRect(6, 0).right(), 140); // its line fills the last pixel

    // Vertical: one column, item i in row i.
    g.SetArrangeStyle(asVertical);
    EXPECT_EQ(g.ColCount(), 7); // nothing moves until the items come again
    g.SetItems({ "1", "2", "3", "4", "5" });
    EXPECT_EQ(g.ColCount(), 1);
    EXPECT_EQ(g.RowCount(), 5);
    g.setGeometry(0, 0, 40 + 2 * g.frameWidth(), 100 + 2 * g.frameWidth());
    QApplication::processEvents();
    EXPECT_EQ(g.ColWidths(0), 39);
    EXPECT_EQ(g.DefaultRowHeight(), 19);
    Click(g, 0, 3);
    EXPECT_TRUE(g.ItemSelected(3));
    EXPECT_EQ(g.GetBits(), 2);
}

TEST(SelectGrid, CellColoursFollowTheSelectionAndState)
{
    QWidget form;
    TSelectGrid& g = *new TSelectGrid(&form);
    g.SetColor(15658734); // light grey
    g.SetItems({ "a", "b", "c" });
    g.SetColCount(4);
    ShowAt(form, 300, 100);
    const QColor grey(0xEE, 0xEE, 0xEE);
    const QColor highlight = colors::ToQColor(colors::clHighlight, g.palette());
    const QColor face = colors::ToQColor(colors::clBtnFace, g.palette());

    EXPECT_EQ(Corner(g, 0, 0), grey);
    EXPECT_EQ(Corner(g, 3, 0), grey); // no item: the grid's colour
    Click(g, 1, 0);
    EXPECT_EQ(Corner(g, 1, 0), highlight);

    // Setting the bits repaints by itself.
    int paints = 0;
    struct Counter : QObject
    {
        int& n;
        explicit Counter(int& count) : n(count) { }
        bool eventFilter(QObject*, QEvent* e) override
        {
            n += e->type() == QEvent::Paint;
            return false;
        }
    } counter(paints);
    g.viewport()->installEventFilter(&counter);
    QApplication::processEvents();
    paints = 0;
    g.SetBits(1);
    QApplication::processEvents();
    EXPECT_GT(paints, 0);
    g.viewport()->removeEventFilter(&counter);
    EXPECT_EQ(Corner(g, 1, 0), grey);
    EXPECT_EQ(Corner(g, 2, 0), highlight);

    // A disabled parent greys the cells but keeps the choice.
    form.setEnabled(false);
    EXPECT_EQ(Corner(g, 2, 0), face);
    EXPECT_EQ(Corner(g, 0, 0), face);
    EXPECT_EQ(Corner(g, 3, 0), grey);
    form.setEnabled(true);
    EXPECT_EQ(Corner(g, 2, 0), highlight);
}
