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
    EXPECT_EQ(u.UpButton()->focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(u.UpButton()->autoRepeat());
    QSignalSpy clicks(&u, &TUpDown::OnClick);
    u.SetIncrement(30);
    for (int i = 0; i < 5; ++i)
        QTest::mouseClick(u.UpButton(), Qt::LeftButton);
    EXPECT_EQ(u.Position(), 100); // Max
    QTest::mouseClick(u.DownButton(), Qt::LeftButton);
    EXPECT_EQ(u.Position(), 70);
    EXPECT_EQ(clicks.count(), 6);
    EXPECT_EQ(clicks.last().at(0).value<TUDBtnType>(), btPrev);

    u.SetMax(40000); // 16 bits
    u.SetMin(-40000);
    EXPECT_EQ(std::make_pair(u.Min(), u.Max()), std::make_pair(-32768, 32767));
    u.SetPosition(20);
    u.SetMin(50);
    EXPECT_EQ(u.Position(), 50);
    u.SetIncrement(INT_MAX);
    QTest::mouseClick(u.UpButton(), Qt::LeftButton);
    EXPECT_EQ(u.Position(), 32767);
}
