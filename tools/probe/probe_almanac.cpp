// kalvero-probe almanac: the old date, six-day cycle, solar term and holiday
// rules of each day of a range, for checks against published calendars.

#include "core/holidays.h"
#include "core/sjis.h"
#include "tools/probe/probe.h"

#include <cstdio>

namespace {

const char kUsage[] = "almanac FROM TO [RULEFILE...]  (dates yyyy-mm-dd; names printed as UTF-8)";

bool ParseDate(const std::string& s, days::Day& out)
{
    int y = 0, m = 0, d = 0;
    char sep1 = 0, sep2 = 0;
    int used = 0;
    if (std::sscanf(s.c_str(), "%4d%c%2d%c%2d%n", &y, &sep1, &m, &sep2, &d, &used) != 5 ||
        static_cast<std::size_t>(used) != s.size() || (sep1 != '-' && sep1 != '/') || sep2 != sep1)
        return false;
    return days::TryEncode(y, m, d, out);
}

int Almanac(const std::vector<std::string>& args)
{
    days::Day from = 0, to = 0;
    if (args.size() < 2 || !ParseDate(args[0], from) || !ParseDate(args[1], to) || to < from)
        return probe::Usage(kUsage);

    THolidayList holidays;
    // The first file replaces, the others append, as the program loads its
    // public and personal rule files.
    for (std::size_t i = 2; i < args.size(); ++i) {
        std::string error;
        if (!holidays.LoadFromFile(args[i], &error)) {
            std::fprintf(stderr, "kalvero-probe: %s: %s\n", args[i].c_str(), error.c_str());
            return 1;
        }
    }
    holidays.DispEvent3 = true;

    TKyureki& kyureki = holidays.Kyureki();
    for (days::Day date = from; date <= to; ++date) {
        kyureki.Calc(date);
        const bool dayOff = holidays.SelectDay(date);
        std::string names;
        for (int i = 0; i < holidays.DayCount(); ++i) {
            if (!names.empty())
                names += '/';
            names += THolidayList::DisplayName(*holidays.DayItem(i), date);
        }
        std::printf("%s %d %d %d %d %s %d %d %s\n", days::FormatIso(date).c_str(), kyureki.OldYear,
                    kyureki.OldMonth, kyureki.OldDay, kyureki.Leap ? 1 : 0,
                    sjis::ToUtf8(kyureki.RokuyoName()).c_str(), SolarTermOfDate(date),
                    dayOff ? 1 : 0, names.empty() ? "-" : sjis::ToUtf8(names).c_str());
    }
    return 0;
}

probe::Command cmd("almanac", kUsage, &Almanac);

} // namespace
