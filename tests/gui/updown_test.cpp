#include "gui/updown.h"

#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <climits>

TEST(UpDown, StepsInsideTheRange)
{
    TUpDown u;
    EXPECT_EQ(u.width(), 16);
    EXPECT_EQ(u.Max(), 100);
    QSignalSpy clicks(&u, &TUpDown::OnClick);
    u.SetIncrement(30);
    QTest::mouseClick(u.UpButton(), Qt::LeftButton);
    EXPECT_EQ(u.Position(), 30);
    for (int i = 0; i < 5; ++i)
        QTest::mouseClick(u.UpButton(), Qt::LeftButton);
    EXPECT_EQ(u.Position(), 100);
    QTest::mouseClick(u.DownButton(), Qt::LeftButton);
    EXPECT_EQ(u.Position(), 70);
    EXPECT_EQ(clicks.count(), 7);
    EXPECT_EQ(clicks.last().at(0).value<TUDBtnType>(), btPrev);

    u.SetMax(40000); // 16 bits
    EXPECT_EQ(u.Max(), 32767);
    u.SetMin(-40000);
    EXPECT_EQ(u.Min(), -32768);
    u.SetPosition(20);
    u.SetMin(50);
    EXPECT_EQ(u.Position(), 50);
    u.SetIncrement(INT_MAX);
    QTest::mouseClick(u.UpButton(), Qt::LeftButton);
    EXPECT_EQ(u.Position(), 32767);
}

TEST(UpDown, ArrowsFillTheHeightAndTakeNoFocus)
{
    TUpDown u;
    u.resize(16, 25);
    u.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&u));
    EXPECT_EQ(u.UpButton()->geometry(), QRect(0, 0, 16, 12));
    EXPECT_EQ(u.DownButton()->geometry(), QRect(0, 12, 16, 13));
    EXPECT_EQ(u.UpButton()->focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(u.UpButton()->autoRepeat());
    EXPECT_EQ(u.DownButton()->arrowType(), Qt::DownArrow);
}
