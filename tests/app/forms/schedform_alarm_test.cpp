// The one-second tick with an injected clock: alarms ring once in the
// minute they are due, one after the other, and a failing alarm does not
// stop the next.
#include "mainwin_fixture.h"

#include "view/wscheduler.h"

#include <QCoreApplication>
#include <QTimer>
#include <QTimerEvent>

#include <stdexcept>

namespace {

const days::Day kDay = days::Encode(2024, 5, 10);

days::Moment At(int hour, int minute, int second = 0)
{
    return days::MomentOf(kDay, hour * 60 + minute) + second;
}

class AlarmTickTest : public MainWindowTest
{
protected:
    // An item of kDay starting at start (minutes) whose alarm rings five
    // minutes earlier.
    void AddItem(const std::string& subject, int start)
    {
        TEventData item;
        item.Date = kDay;
        item.HasTime = true;
        item.StartTime = start;
        item.EndTime = start + 30;
        item.AlarmBefore = 5;
        item.AlarmUnit = 0;
        item.Subject = subject;
        form->Calendar->AddEvent(item);
    }
    void TickAt(days::Moment m)
    {
        clock.Set(m);
        form->AlermTimer1Timer();
    }

    days::FixedClock clock { At(9, 44, 30) };
};

TEST_F(AlarmTickTest, ItemDueAt0945RingsOnceAtTheFirstTickOfThatMinute)
{
    Create();
    AddItem("meeting", 9 * 60 + 50);
    TickAt(At(9, 44, 59));
    EXPECT_TRUE(alarms.empty());
    // The first tick of 09:45 lands on second 1 (a busy second 0 is skipped).
    bool timerStoppedWhileOpen = false;
    onAlarm = [&](PEventData) { timerStoppedWhileOpen = !form->AlermTimer1->isActive(); };
    TickAt(At(9, 45, 1));
    EXPECT_EQ(alarms, std::vector<std::string>({ "meeting" }));
    EXPECT_TRUE(timerStoppedWhileOpen);
    EXPECT_TRUE(form->AlermTimer1->isActive());
    TickAt(At(9, 45, 2));
    TickAt(At(9, 45, 59));
    TickAt(At(9, 46, 0));
    TickAt(At(10, 0, 0));
    EXPECT_EQ(alarms.size(), 1u);
}

TEST_F(AlarmTickTest, TwoItemsDueTogetherRingOneAfterTheOther)
{
    Create();
    AddItem("first", 9 * 60 + 50);
    AddItem("second", 9 * 60 + 50);
    AddItem("later", 10 * 60);
    int open = 0;
    int mostOpen = 0;
    onAlarm = [&](PEventData) {
        ++open;
        mostOpen = std::max(mostOpen, open);
        // A tick while an alarm window is open checks nothing.
        clock.Advance(60);
        form->AlermTimer1Timer();
        --open;
    };
    TickAt(At(9, 45));
    EXPECT_EQ(alarms, std::vector<std::string>({ "first", "second" }));
    EXPECT_EQ(mostOpen, 1);
    TickAt(At(9, 55));
    EXPECT_EQ(alarms, std::vector<std::string>({ "first", "second", "later" }));
}

TEST_F(AlarmTickTest, ThrowingAlarmIsReportedAndTheNextMinuteStillRings)
{
    Create();
    AddItem("broken", 9 * 60 + 50);
    AddItem("fine", 9 * 60 + 51);
    onAlarm = [](PEventData item) {
        if (item->Subject == "broken")
            throw std::runtime_error("alarm window failed");
    };
    {
        DialogScript script;
        script.Press(msgdlg::Ok);
        TickAt(At(9, 45));
        ASSERT_EQ(script.messages().size(), 1u);
        EXPECT_EQ(script.messages()[0], u"alarm window failed."_qs);
    }
    EXPECT_TRUE(form->AlermTimer1->isActive());
    TickAt(At(9, 46, 3));
    EXPECT_EQ(alarms, std::vector<std::string>({ "broken", "fine" }));
}

TEST_F(AlarmTickTest, TheWindowsOneSecondTimerRunsTheCheck)
{
    Create();
    AddItem("timer", 9 * 60 + 50);
    clock.Set(At(9, 45, 0));
    ASSERT_TRUE(form->AlermTimer1->isActive());
    EXPECT_EQ(form->AlermTimer1->interval(), 1000);
    // One expiry, delivered as the event loop delivers it, without waiting
    // for a real second.
    QTimerEvent expiry(form->AlermTimer1->timerId());
    QCoreApplication::sendEvent(form->AlermTimer1, &expiry);
    EXPECT_EQ(alarms, std::vector<std::string>({ "timer" }));
    EXPECT_TRUE(form->AlermTimer1->isActive());
}

} // namespace
