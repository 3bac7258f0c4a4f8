// The application object's last line of defence: an exception that leaves
// an event handler is shown in the standard error box and the program goes
// on.
#include "gui/application.h"

#include "support/dialog_script.h"

#include <QDeadlineTimer>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <stdexcept>

QApplication* CreateTestApplication(int& argc, char** argv)
{
    return new gui::TApplication(argc, argv);
}

namespace {

class ThrowingWidget : public QWidget
{
protected:
    void mousePressEvent(QMouseEvent*) override { throw std::runtime_error("bad click"); }
    void resizeEvent(QResizeEvent*) override { ++resizes; }

public:
    int resizes = 0;
};

TEST(Application, EscapedExceptionIsShownAndTheEventLoopGoesOn)
{
    msgdlg::SetAppTitle(u"Miradel(アプリ版)"_qs);
    DialogScript script;
    script.Press(msgdlg::Ok).Press(msgdlg::Ok);

    ThrowingWidget widget;
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    EXPECT_FALSE(QApplication::sendEvent(&widget, &press));

    // A timer slot that throws: reported as well, and the loop still runs
    // the next timer.
    bool later = false;
    QTimer failing;
    failing.setSingleShot(true);
    QObject::connect(&failing, &QTimer::timeout, [] { throw std::logic_error("tick failed."); });
    QTimer next;
    next.setSingleShot(true);
    QObject::connect(&next, &QTimer::timeout, [&later] { later = true; });
    failing.start(0);
    next.start(0);
    QDeadlineTimer deadline(10000);
    while (!later && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_TRUE(later);

    ASSERT_EQ(script.shown().size(), 2u);
    EXPECT_EQ(script.shown()[0].kind, msgdlg::Kind::Error);
    EXPECT_EQ(script.shown()[0].caption, u"Miradel(アプリ版)"_qs);
    EXPECT_EQ(script.shown()[0].text, u"bad click."_qs);
    EXPECT_EQ(script.shown()[1].text, u"tick failed."_qs);

    // The widget still takes events.
    widget.resize(50, 40);
    QResizeEvent resize(QSize(50, 40), QSize(10, 10));
    QApplication::sendEvent(&widget, &resize);
    EXPECT_GE(widget.resizes, 1);
}

TEST(Application, GuardedRunsReportAndSwallow)
{
    DialogScript script;
    script.Press(msgdlg::Ok);
    EXPECT_TRUE(gui::Guarded([] {}));
    EXPECT_FALSE(gui::Guarded([] { throw 42; }));
    ASSERT_EQ(script.messages().size(), 1u);
    EXPECT_EQ(script.messages()[0], u"Unknown error."_qs);
}

} // namespace
