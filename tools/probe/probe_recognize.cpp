// kalvero-probe recognize TODAY TEXTFILE: runs the date, time and place
// recognizer over a Shift_JIS text file and prints "begin end date place",
// the date resolved against TODAY.

#include "app/recognizer.h"
#include "core/days.h"
#include "core/files.h"
#include "core/sjis.h"
#include "tools/probe/probe.h"

#include <cstdio>

namespace {

constexpr const char* kUsage = "recognize TODAY(yyyy-mm-dd) TEXTFILE";

bool ParseIsoDay(const std::string& text, days::Day& out)
{
    int y = 0, m = 0, d = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &tail) != 3)
        return false;
    return days::TryEncode(y, m, d, out);
}

int Recognize(const std::vector<std::string>& args)
{
    days::Day today = 0;
    if (args.size() != 2 || !ParseIsoDay(args[0], today))
        return probe::Usage(kUsage);
    std::string text;
    std::string error;
    if (!files::ReadAll(args[1], text, &error)) {
        std::fprintf(stderr, "kalvero-probe: %s\n", error.c_str());
        return 1;
    }
    const TParsedText parsed = ParseText(text);
    const auto date = ResolveParsedDate(parsed.date, today);
    std::printf("%d %d %s %s\n", parsed.begin, parsed.end,
                date ? days::FormatIso(*date).c_str() : "-",
                parsed.HasPlace() ? sjis::ToUtf8(parsed.place).c_str() : "-");
    return 0;
}

probe::Command cmd("recognize", kUsage, &Recognize);

} // namespace
