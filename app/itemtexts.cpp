#include "app/itemtexts.h"

#include "core/sjis.h"

#include <cstdio>

std::string DeleteQuestion(const TEventData& item)
{
    std::string kind;
    std::string dates = days::Format(item.Date);
    if (item.Repeat != 0) {
        kind = SJ("繰返し");
        dates += SJ("～");
        if (item.LimitDate > 0)
            dates += days::Format(item.LimitDate);
    }
    std::string times = "-";
    if (item.HasTime) {
        // An item may carry a start without an end; the end then stays blank
        // rather than showing a negative clock.
        times = MinutesToStr(item.StartTime) + "-" +
            (item.EndTime >= 0 ? MinutesToStr(item.EndTime) : std::string());
    }
    return SJ("次の") + kind + SJ("予定を削除します。よろしいですか？") + "\r\n" + SJ("【 ") +
        dates + SJ(" 】") + "\r\n" + times + " " + item.Subject;
}

std::string DayMenuCaption(const TEventData& item, days::Day day)
{
    std::string caption;
    if (item.HasTime) {
        caption = MinutesToStr(item.StartTime);
    } else {
        const days::Ymd ymd = days::Decode(day);
        char buf[32];
        std::snprintf(buf, sizeof buf, "%02d/%02d", ymd.month, ymd.day);
        caption = buf;
    }
    return caption + " " + LeftStrBytes(item.Subject, 32) + "...";
}
