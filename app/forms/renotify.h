#pragma once

// When the alarm window offers to ring again, and how its "notify again"
// check starts. Pure functions of the item, the moment the window opens and
// the settings, so the rules can be checked without a window.

#include "app/settings/initparam.h"
#include "core/days.h"
#include "core/eventdata.h"

#include <cstdint>

struct TReNotify
{
    days::Moment At = 0; // the moment the alarm rings again
    bool Visible = false; // At lies after now: the check is offered
    bool Enabled = true; // an open deadline cannot be declined
    bool Checked = false; // the check when the window shows
};

// INTERVAL as the window uses it: hours, 1..168 whatever the field holds.
std::int32_t ReNotifyIntervalHours(const TInitParam& settings);

// The re-notify moment of the item's current occurrence:
// - the interval is INTERVAL hours with ALERMUNIT, else by the item's alarm
//   unit 5 minutes (minutes), 1 hour (hours) or 1 day (days);
// - when now + interval is after the occurrence's alarm base, an open
//   deadline comes back in an hour, a days-unit item after the longest
//   halving of one day that still ends before the base, any other item
//   5 minutes before the base;
// - the check is offered when the moment lies after now, is disabled (and
//   checked) for an open deadline (priority 4 and up, not done), and starts
//   checked with REPCHECK.
TReNotify ReNotifyMoment(const TEventData& item, days::Moment now, const TInitParam& settings);

// The check after the countdown closed the window: REPALERM for an offered,
// enabled check; a disabled one stays checked.
bool ReNotifyAfterAutoClose(const TReNotify& choice, const TInitParam& settings);
