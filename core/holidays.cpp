#include "core/holidays.h"

#include "core/files.h"
#include "core/sjis.h"

#include <algorithm>

namespace {

std::array<std::uint32_t, 8>& KindColors()
{
    static std::array<std::uint32_t, 8> colors = {
        0x008888FF, 0x00FF8888, 0x00808080, 0x00808080,
        0x00808080, 0x00808080, 0x00808080, 0x00808080,
    };
    return colors;
}

// An integer item as sjis::ParseInteger reads it, but hexadecimal only after
// "$" and with eight digits at the most; the value is taken as a 32-bit
// pattern, so $FFFFFFFF is -1.
bool ParseInt(std::string_view s, std::int32_t& out)
{
    std::string_view digits = s;
    if (!digits.empty() && (digits[0] == '+' || digits[0] == '-'))
        digits.remove_prefix(1);
    if (digits.starts_with("0x") || digits.starts_with("0X") ||
        (digits.starts_with('$') && digits.size() > 9))
        return false;
    std::int64_t value;
    if (!sjis::ParseInteger(s, value))
        return false;
    out = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    return true;
}

bool ByKindThenName(const THolidayRec* a, const THolidayRec* b)
{
    if (a->Kind != b->Kind)
        return a->Kind > b->Kind;
    return a->Name < b->Name;
}

// Substitute holidays exist since this day; the rule that moves them past
// further days off holds for Sundays from 2007-01-01.
const days::Day kSubstituteLawStart = days::Encode(1973, 4, 12);
const days::Day kSubstituteLawChange = days::Encode(2007, 1, 1);

} // namespace

const std::array<std::uint32_t, 8>& HolidayKindColors()
{
    return KindColors();
}

THolidayList::THolidayList()
{
    substitute_.Kind = 0;
    substitute_.WeekDays = 2; // Monday
    substitute_.Name = SJ("振替休日");
}

bool THolidayList::LoadFromFile(const std::string& path, std::string* error)
{
    std::string text;
    bool exists = false;
    std::string why;
    if (!files::ReadAll(path, text, &why, &exists)) {
        if (!exists)
            return true;
        if (error)
            *error = why;
        return false;
    }
    LoadFromText(text);
    SortRules();
    return true;
}

void THolidayList::LoadFromText(const std::string& text)
{
    for (const std::string& line : sjis::SplitLines(text))
        LoadLine(line);
}

void THolidayList::LoadLine(const std::string& raw)
{
    const std::string line = sjis::TrimLeft(raw);
    if (line.empty() || line[0] == ';')
        return;
    // Items past the eighth are never used.
    const std::vector<std::string> items = sjis::ReadCommaText(line, 8);
    if (items.size() < 7)
        return;

    if (line[0] == '=') {
        // Colours for kinds 1..7; an empty item keeps the kind's colour. A
        // line with an item that is no number changes nothing.
        std::array<bool, 8> set {};
        std::array<std::int32_t, 8> value {};
        for (std::size_t n = 1; n <= 7 && n < items.size(); ++n) {
            if (items[n].empty())
                continue;
            if (!ParseInt(items[n], value[n]))
                return;
            set[n] = true;
        }
        for (int n = 1; n <= 7; ++n) {
            if (set[n])
                KindColors()[n] = static_cast<std::uint32_t>(value[n]);
        }
        return;
    }

    std::int32_t v[6];
    for (int i = 0; i < 6; ++i) {
        if (!ParseInt(items[i], v[i]))
            return; // the line is skipped, the rest of the file is read
    }
    const std::int32_t month = v[0], day = v[1], item2 = v[2];
    THolidayRec rule;
    const std::uint8_t low = day >= 0
        ? static_cast<std::uint8_t>(day)
        : static_cast<std::uint8_t>((128 - static_cast<std::int64_t>(day)) & 0xFF);
    rule.DaySpec =
        static_cast<std::uint16_t>(((static_cast<std::uint32_t>(month) & 0xFF) << 8) | low);
    const bool weekRule = (low & 0x80) != 0;
    if (weekRule && (month & 0xFF) != 0) {
        // A single weekday number; one outside 1..7 can never match.
        rule.WeekDays = item2 >= 1 && item2 <= 7 ? static_cast<std::uint8_t>(1u << (item2 - 1)) : 0;
    } else {
        rule.WeekDays = static_cast<std::uint8_t>(item2 & 0xFF);
    }
    rule.FromYear = v[3];
    rule.ToYear = v[4];
    rule.Kind = static_cast<std::uint8_t>(v[5] & 7);
    rule.Name = items[6];
    AddRule(rule);
}

int THolidayList::AddRule(const THolidayRec& rule)
{
    // Twins are rules for the same day with the same name whose years
    // overlap. Spans that do not overlap are separate rules, so that one
    // holiday can lapse and come back on the same day (a holiday that was
    // moved for some years) without the later span wiping out the earlier.
    for (std::size_t i = 0; i < rules_.size(); ++i) {
        const THolidayRec& old = *rules_[i];
        if (old.DaySpec == rule.DaySpec && old.Name == rule.Name && old.FromYear <= rule.ToYear &&
            rule.FromYear <= old.ToYear) {
            *rules_[i] = rule;
            return static_cast<int>(i);
        }
    }
    rules_.push_back(std::make_unique<THolidayRec>(rule));
    return static_cast<int>(rules_.size() - 1);
}

void THolidayList::Clear()
{
    dayList_.clear();
    rules_.clear();
}

void THolidayList::SortRules()
{
    std::stable_sort(rules_.begin(), rules_.end(), [](const auto& a, const auto& b) {
        if (a->DaySpec != b->DaySpec)
            return a->DaySpec < b->DaySpec;
        if (a->Kind != b->Kind)
            return a->Kind > b->Kind;
        return a->Name < b->Name;
    });
}

bool THolidayList::Matches(const THolidayRec& rule, int solarTerm, days::Day date)
{
    const days::Ymd ymd = days::Decode(date);
    if (ymd.year < rule.FromYear || ymd.year > rule.ToYear)
        return false;
    const unsigned low = rule.DaySpec & 0xFF;
    const unsigned month = rule.DaySpec >> 8;
    if ((low & 0x80) == 0) {
        const unsigned m = static_cast<unsigned>(ymd.month);
        const unsigned d = static_cast<unsigned>(ymd.day);
        return rule.DaySpec == m * 256 + d || rule.DaySpec == d ||
            (rule.DaySpec == m * 256 && rule.WeekDays == solarTerm);
    }
    if (month != 0 && month != static_cast<unsigned>(ymd.month))
        return false;
    const unsigned k = static_cast<unsigned>(ymd.day - 1) / 7;
    const bool week = (low & 0x40) ? ((low >> k) & 1) != 0 : (low & 0x7F) == k + 1;
    return week && ((rule.WeekDays >> (days::DayOfWeek(date) - 1)) & 1) != 0;
}

bool THolidayList::SelectDay(days::Day date)
{
    const int term = SolarTermOfDate(date);
    dayList_.clear();
    bool dayOff = false;
    for (const auto& rule : rules_) {
        if (rule->Kind == 3 && !DispEvent3)
            continue;
        if (Matches(*rule, term, date)) {
            dayList_.push_back(rule.get());
            if (rule->Kind <= 1)
                dayOff = true;
        }
    }
    if (!dayOff && IsSubstituteHoliday(date)) {
        dayList_.push_back(&substitute_);
        dayOff = true;
    }
    std::stable_sort(dayList_.begin(), dayList_.end(), ByKindThenName);
    return dayOff;
}

const THolidayRec* THolidayList::DayItem(int index) const
{
    if (index < 0 || index >= DayCount())
        return nullptr;
    return dayList_[static_cast<std::size_t>(index)];
}

bool THolidayList::IsHoliday(days::Day date) const
{
    const int term = SolarTermOfDate(date);
    for (const auto& rule : rules_) {
        if (rule->Kind <= 1 && Matches(*rule, term, date))
            return true;
    }
    return false;
}

bool THolidayList::IsSubstituteHoliday(days::Day date) const
{
    if (IsHoliday(date))
        return false;
    // Back through the days off before the date to the Sunday that gives it.
    for (int back = 1; back <= 7; ++back) {
        const days::Day d = date - back;
        if (!IsHoliday(d))
            return false;
        if (days::DayOfWeek(d) == 1) {
            if (d < kSubstituteLawStart)
                return false;
            if (d < kSubstituteLawChange)
                return back == 1;
            return true;
        }
    }
    return false;
}

std::string THolidayList::DisplayName(const THolidayRec& rule, days::Day date)
{
    if (rule.Kind != 3)
        return rule.Name;
    const std::int64_t years = static_cast<std::int64_t>(days::Decode(date).year) - rule.FromYear;
    return rule.Name + ":" + std::to_string(years);
}

std::string THolidayList::HintText(days::Day date) const
{
    // The header row of the month grid has no date.
    if (date < 0)
        return {};
    const int term = SolarTermOfDate(date);
    std::string result;
    bool dayOff = false;
    for (const auto& rule : rules_) {
        if (rule->Kind == 3 && !DispEvent3)
            continue;
        if (!Matches(*rule, term, date))
            continue;
        result += "\r\n" + DisplayName(*rule, date);
        if (rule->Kind <= 1)
            dayOff = true;
    }
    if (!dayOff && IsSubstituteHoliday(date))
        result += "\r\n" + substitute_.Name;
    return sjis::Trim(result);
}
