#include "app/forms/renotify.h"

#include <algorithm>

namespace {

constexpr days::Moment kMinute = 60;
constexpr days::Moment kHour = 3600;

days::Moment UnitInterval(std::int32_t unit)
{
    switch (unit) {
    case 1:
        return kHour;
    case 2:
        return days::kSecondsPerDay;
    default: // minutes, and any unit the record should not hold
        return 5 * kMinute;
    }
}

} // namespace

std::int32_t ReNotifyIntervalHours(const TInitParam& settings)
{
    return std::clamp<std::int32_t>(settings.Interval, 1, 168);
}

TReNotify ReNotifyMoment(const TEventData& item, days::Moment now, const TInitParam& settings)
{
    const days::Moment interval =
        settings.AlermUnit ? ReNotifyIntervalHours(settings) * kHour : UnitInterval(item.AlarmUnit);
    days::Moment r = now + interval;
    const days::Moment base = AlarmBaseTime(item, item.NextDate);
    if (r > base) {
        if (IsOpenDeadline(item)) {
            r = now + kHour;
        } else if (item.AlarmUnit == 2) {
            // Halve the step until it ends at or before the base; whole
            // seconds, so the smallest step is one second.
            days::Moment step = days::kSecondsPerDay;
            while (now < base && now + step > base && step > 1)
                step /= 2;
            r = now + step;
        } else {
            r = base - 5 * kMinute;
        }
    }
    TReNotify out;
    out.At = r;
    out.Visible = r > now;
    out.Enabled = item.Priority < 4 || item.Done;
    out.Checked = out.Enabled ? (settings.RepCheck && out.Visible) : true;
    return out;
}

bool ReNotifyAfterAutoClose(const TReNotify& choice, const TInitParam& settings)
{
    if (!choice.Enabled)
        return true;
    return settings.RepAlerm && choice.Visible;
}
