#pragma once

// Shared steps of the control tests: showing a widget offscreen and reading
// the colour of a spot.

#include <QImage>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

inline void ShowAt(QWidget& w, int width, int height)
{
    w.resize(width, height);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
}

inline QImage Grab(QWidget* w)
{
    return w->grab().toImage();
}

inline QColor At(const QImage& img, int x, int y)
{
    return img.pixelColor(x, y);
}
