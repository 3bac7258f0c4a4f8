#pragma once

// A right click as the window system delivers it: through the window, so
// that Qt turns it into a context-menu event for the widget under the mouse.

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

// Right-clicks the widget at pos (its own coordinates) and returns the pop-up
// menu that opened, or nullptr (with a failure) when none did.
inline QMenu* RightClickMenu(QWidget* widget, QPoint pos)
{
    QWidget* top = widget->window();
    QWindow* handle = top->windowHandle();
    if (!handle) {
        ADD_FAILURE() << "the widget's window is not shown";
        return nullptr;
    }
    QTest::mouseClick(handle, Qt::RightButton, {}, widget->mapTo(top, pos));
    if (!QTest::qWaitFor([] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); })) {
        ADD_FAILURE() << "no menu opened";
        return nullptr;
    }
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}
