// Termination signals arrive as a request in the event loop instead of
// ending the process; the watch gives them back when it goes.
#include "platform/termination.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <csignal>

namespace {

void WaitFor(const QSignalSpy& spy, int count)
{
    QDeadlineTimer deadline(10000);
    while (spy.count() < count && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

TEST(TerminationWatch, SignalsBecomeRequestsInTheEventLoop)
{
    struct sigaction before
    {
    };
    ::sigaction(SIGTERM, nullptr, &before);
    {
        termination::TTerminationWatch watch;
        ASSERT_TRUE(watch.Active());
        // Only one watch holds the signals.
        termination::TTerminationWatch second;
        EXPECT_FALSE(second.Active());

        QSignalSpy requested(&watch, &termination::TTerminationWatch::Requested);
        ASSERT_EQ(::raise(SIGTERM), 0);
        WaitFor(requested, 1);
        ASSERT_EQ(requested.count(), 1);
        EXPECT_EQ(requested.at(0).at(0).toInt(), SIGTERM);
        ASSERT_EQ(::raise(SIGINT), 0);
        ASSERT_EQ(::raise(SIGHUP), 0);
        WaitFor(requested, 2);
        EXPECT_GE(requested.count(), 2);
    }
    struct sigaction after
    {
    };
    ::sigaction(SIGTERM, nullptr, &after);
    EXPECT_EQ(after.sa_handler, before.sa_handler);
}

} // namespace
