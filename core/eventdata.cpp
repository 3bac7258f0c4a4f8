#include "core/eventdata.h"

#include "core/sjis.h"

#include <cstdio>
#include <limits>

namespace {

constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Reads decimal digits at pos; false when there are none or the value passes
// limit.
bool ReadNumber(std::string_view s, std::size_t& pos, std::int64_t limit, std::int64_t& value)
{
    std::size_t start = pos;
    value = 0;
    while (pos < s.size() && IsDigit(s[pos])) {
        value = value * 10 + (s[pos] - '0');
        if (value > limit)
            return false;
        ++pos;
    }
    return pos > start;
}

} // namespace

const std::string& AlarmUnitName(int unit)
{
    switch (unit) {
    case 1:
        return SJ("時間前");
    case 2:
        return SJ("日前");
    default:
        return SJ("分前");
    }
}

std::string AlarmUnitList()
{
    return AlarmUnitName(0) + "," + AlarmUnitName(1) + "," + AlarmUnitName(2);
}

const std::string& AlarmPreset(int index)
{
    switch (index) {
    case 1:
        return SJ("5@分前");
    case 2:
        return SJ("15@分前");
    case 3:
        return SJ("30@分前");
    case 4:
        return SJ("1@時間前");
    case 5:
        return SJ("1@日前");
    default:
        return SJ("無し");
    }
}

bool IsShownItem(const TEventData& item)
{
    return days::IsShown(item.Date);
}

std::string LeftStrBytes(std::string_view text, int n)
{
    if (n <= 0 || static_cast<std::size_t>(n) >= text.size())
        return std::string(text);
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t len = sjis::CharLen(text, i);
        if (i + len > static_cast<std::size_t>(n))
            break;
        i += len;
    }
    return std::string(text.substr(0, i));
}

bool ParseAlarm(std::string_view text, std::int32_t& amount, std::int32_t& unit)
{
    amount = 0;
    unit = 0;
    const std::size_t at = sjis::Find(text, "@");
    if (at == std::string_view::npos) {
        // A preset index.
        std::size_t p = 0;
        std::int64_t index = 0;
        if (!ReadNumber(text, p, 5, index) || p != text.size())
            return false;
        if (index == 0)
            return true;
        return ParseAlarm(AlarmPreset(static_cast<int>(index)), amount, unit);
    }
    std::size_t p = 0;
    std::int64_t n = 0;
    if (!ReadNumber(text, p, kInt32Max, n) && p < text.size() && IsDigit(text[p]))
        return false; // an amount beyond the 32-bit range
    if (p != at)
        return true;
    const std::string_view name = text.substr(at + 1);
    for (int u = 0; u < 3; ++u) {
        if (name == AlarmUnitName(u)) {
            amount = static_cast<std::int32_t>(n);
            unit = u;
            return true;
        }
    }
    return true;
}

std::string AlarmText(std::int32_t amount, std::int32_t unit)
{
    return std::to_string(amount) + "@" + AlarmUnitName(unit);
}

std::string KindName(std::string_view kind)
{
    const std::size_t colon = sjis::Find(kind, ":");
    return std::string(colon == std::string_view::npos ? kind : kind.substr(0, colon));
}

TColor HexToColor(std::string_view text)
{
    if (text.empty() || text.size() > 8)
        return -1;
    std::uint32_t v = 0;
    for (char c : text) {
        const int digit = sjis::HexDigit(static_cast<unsigned char>(c));
        if (digit < 0)
            return -1;
        v = v * 16 + static_cast<std::uint32_t>(digit);
    }
    return static_cast<TColor>(v);
}

void ParseKind(std::string_view kind, std::string& name, TColor& fontColor, TColor& backColor)
{
    // The parts are separated by ":" alone, so a name may hold blanks. As in
    // comma text, one separator at the very end adds no part.
    std::string_view parts[3];
    int count = 0;
    if (!kind.empty()) {
        std::size_t start = 0;
        for (;;) {
            // ":" is never a trail byte: a byte search is character-safe.
            std::size_t colon = kind.find(':', start);
            std::string_view part = kind.substr(
                start, colon == std::string_view::npos ? std::string_view::npos : colon - start);
            if (count < 3)
                parts[count] = part;
            ++count;
            if (colon == std::string_view::npos)
                break;
            start = colon + 1;
            if (start == kind.size())
                break;
        }
    }
    name = count > 0 ? std::string(parts[0]) : std::string();
    auto colour = [](std::string_view s) { return HexToColor(sjis::Trim(s)); };
    if (count == 2) {
        fontColor = colour(parts[1]);
        backColor = -1;
    } else if (count == 3) {
        fontColor = colour(parts[1]);
        backColor = colour(parts[2]);
    } else {
        fontColor = kWindowTextColor;
        backColor = -1;
    }
}

std::string MinutesToStr(std::int32_t minutes)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d", minutes / 60, minutes % 60);
    return buf;
}

std::string TimeText(std::int32_t minutes)
{
    return minutes < 0 ? std::to_string(minutes) : MinutesToStr(minutes);
}

std::int32_t StrToMinutes(std::string_view text)
{
    std::size_t p = 0;
    std::int64_t h = 0, m = 0;
    if (text.empty())
        return 0;
    if (!ReadNumber(text, p, kInt32Max, h))
        return -1;
    if (p < text.size()) {
        if (text[p] != ':')
            return -1;
        ++p;
        if (p < text.size() && (!ReadNumber(text, p, kInt32Max, m) || p != text.size()))
            return -1;
    }
    const std::int64_t total = h * 60 + m;
    return total > kInt32Max ? -1 : static_cast<std::int32_t>(total);
}

bool TryStrToDay(std::string_view text, days::Day& day)
{
    std::size_t p = 0;
    std::int64_t y = 0, m = 0, d = 0;
    // Numbers with more digits than any valid part fail as text.
    if (!ReadNumber(text, p, 99999999, y) || y == 0 || p >= text.size())
        return false;
    const char sep = text[p];
    if (sep != '-' && sep != '.' && sep != '/')
        return false;
    ++p;
    if (!ReadNumber(text, p, 99999999, m) || m == 0 || p >= text.size() || text[p] != sep)
        return false;
    ++p;
    if (!ReadNumber(text, p, 99999999, d) || d == 0)
        return false;
    return days::TryEncode(static_cast<int>(y), static_cast<int>(m), static_cast<int>(d), day);
}

days::Day StrToDay(std::string_view text)
{
    days::Day day = -1;
    return TryStrToDay(text, day) ? day : -1;
}

days::Moment EventStartTime(const TEventData& item, days::Day day)
{
    if (item.HasTime)
        return days::MomentOf(day, item.StartTime);
    return days::MomentOf(day, 9 * 60);
}

days::Moment AlarmBaseTime(const TEventData& item, days::Day day)
{
    if (item.AlarmBefore == 0)
        return 0;
    if (item.HasTime)
        return days::MomentOf(day, item.StartTime);
    return days::MomentOf(day, 18 * 60);
}

days::Moment AlarmMoment(const TEventData& item, days::Day day)
{
    if (item.AlarmBefore == 0)
        return 0;
    const days::Moment start = EventStartTime(item, day);
    const std::int64_t before = item.AlarmBefore;
    switch (item.AlarmUnit) {
    case 0:
        return start - before * 60;
    case 1:
        return start - before * 3600;
    case 2:
        return days::MomentOf(day) - before * days::kSecondsPerDay;
    default:
        return start;
    }
}

bool IsOpenDeadline(const TEventData& item)
{
    return item.Priority == 4 && !item.Done;
}

int AlarmState(const TEventData* item, days::Day day)
{
    if (!item || item->AlarmBefore == 0)
        return 0;
    if (item->Cancelled || item->Done)
        return 1;
    const days::Moment now = days::Now();
    if (item->Repeat != 0) {
        if (day < item->NextDate)
            return 2;
        if (item->LimitDate > 0 && now >= AlarmBaseTime(*item, item->LimitDate))
            return 2;
        if (day > item->NextDate)
            return 6;
    }
    if (item->Alarmed) {
        if (now < AlarmBaseTime(*item, day))
            return 5;
        if (!IsOpenDeadline(*item))
            return 2;
    }
    return now >= item->AlarmTime ? 3 : 4;
}

void SetOccurrence(TEventData& item, days::Day day)
{
    if (day > 0)
        item.NextDate = day;
    else
        item.NextDate = item.Repeat != 0 && item.LimitDate > 0 ? -1 : item.Date;
    item.Alarmed = days::Now() >= AlarmBaseTime(item, item.NextDate) && !IsOpenDeadline(item);
    item.AlarmTime = AlarmMoment(item, item.NextDate);
}

int MonthDays(int year, int month)
{
    return days::DaysInMonth(year, month);
}
