#pragma once

// Shared pieces of the calendar control's tests: dates, items, and a shown
// calendar with a fixed clock that records its events.

#include "core/sjis.h"
#include "view/wscheduler.h"

#include <QTest>

#include <gtest/gtest.h>

#include "support/testutil.h"
#include <string>
#include <vector>

inline std::string U(const char* utf8)
{
    return sjis::FromUtf8(utf8);
}

inline TEventData Item(const char* subject, days::Day date, int start = -1, int end = -1,
                       int alarmBefore = 0)
{
    TEventData e;
    e.Subject = U(subject);
    e.Date = date;
    e.StartTime = start;
    e.EndTime = end;
    e.HasTime = start >= 0 && start < end;
    e.AlarmBefore = alarmBefore;
    return e;
}

// A calendar inside a window (so that focus can come and go), every category
// shown, its events recorded as "change" and "date yyyy-mm-dd".
struct CalendarFixture
{
    days::FixedClock clock;
    QWidget window;
    TWScheduler& cal;
    std::vector<std::string> events;

    explicit CalendarFixture(days::Moment now, QSize size = QSize(700, 500))
        : clock(now), cal(*new TWScheduler(&window))
    {
        cal.SetBorderStyle(bsNone);
        cal.SetKindMask(7);
        cal.SetCurrentDate(days::DayOf(now));
        cal.resize(size);
        window.resize(size + QSize(20, 20));
        window.show(); // resize events reach shown widgets only
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        cal.OnChange = [this](TWScheduler*) { events.push_back("change"); };
        cal.OnChangeDate = [this](TWScheduler* s) {
            events.push_back("date " + days::FormatIso(s->CurrentDate()));
        };
    }

    PEventData Find(const char* subject)
    {
        for (PEventData e : cal.Store().All())
            if (e->Subject == U(subject))
                return e;
        return nullptr;
    }
    // Where the current date is selected.
    TGridCoord Selected() const { return { cal.Col(), cal.Row() }; }
    void Focus(bool on)
    {
        if (!on) {
            cal.clearFocus();
            return;
        }
        window.activateWindow();
        cal.setFocus();
        EXPECT_TRUE(QTest::qWaitFor([&] { return cal.hasFocus(); }));
    }
};
