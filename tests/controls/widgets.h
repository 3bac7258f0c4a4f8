#pragma once

// Shows a widget offscreen and waits until it is there.

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

inline void ShowAt(QWidget& w, int width, int height)
{
    w.resize(width, height);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
}
