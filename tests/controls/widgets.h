#pragma once

// Shows a widget offscreen and waits until it is there.

#include <QEvent>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

inline void ShowAt(QWidget& w, int width, int height)
{
    w.resize(width, height);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
}

// Counts the paint events of the widget it is installed on.
class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        paints += e->type() == QEvent::Paint;
        return false;
    }
};
