// Schedule sub-commands: occurrences per day, next occurrences, due alarms,
// a load and save of a schedule file, and the export formats.

#include "app/exporter.h"
#include "core/files.h"
#include "core/schedlist.h"
#include "core/sjis.h"
#include "tools/probe/probe.h"

#include <cstdio>

namespace {

// Every category shown, no priority or done filter, no holidays.
void ShowEverything(TSchedList& store)
{
    store.SetKindMask(-1);
    store.PriorityFilter = -1;
    store.DoneHide = false;
    store.IsHoliday = nullptr;
}

int Occurrences(const std::vector<std::string>& args)
{
    const char* usage = "occurrences FILE.sch FROM TO";
    days::Day from, to;
    if (args.size() != 3)
        return probe::Usage(usage);
    if (!probe::ReadDay(args[1], from) || !probe::ReadDay(args[2], to))
        return 2;
    TSchedList store;
    if (!probe::OpenSchedule(store, args[0]))
        return 1;
    ShowEverything(store);
    for (days::Day day = from; day <= to; ++day) {
        store.SelectDay(day);
        const std::string date = days::FormatIso(day);
        for (const TEventData* e : store.DayList)
            std::printf("%s\t%s\n", date.c_str(), sjis::ToUtf8(e->Subject).c_str());
    }
    return 0;
}

int Next(const std::vector<std::string>& args)
{
    days::Day day;
    if (args.size() != 2)
        return probe::Usage("next FILE.sch DAY");
    if (!probe::ReadDay(args[1], day))
        return 2;
    TSchedList store;
    if (!probe::OpenSchedule(store, args[0]))
        return 1;
    ShowEverything(store);
    for (const TEventData* e : store.All()) {
        const days::Day n = store.NextOccurrence(*e, day);
        std::printf("%s\t%s\n", sjis::ToUtf8(e->Subject).c_str(),
                    n == -1 ? "-1" : days::FormatIso(n).c_str());
    }
    return 0;
}

// The items whose alarm the alarm check finds due with the clock at a minute
// (the file is loaded at that minute), one subject a line in store order.
int Due(const std::vector<std::string>& args)
{
    if (args.size() != 2)
        return probe::Usage("due FILE.sch YYYY-MM-DDTHH:MM");
    const std::string& when = args[1];
    const std::size_t t = when.find('T');
    days::Day day = 0;
    const std::int32_t minutes = t == std::string::npos ? -1 : StrToMinutes(when.substr(t + 1));
    if (minutes < 0 || minutes >= 24 * 60 || !TryStrToDay(when.substr(0, t), day)) {
        std::fprintf(stderr, "kalvero-probe: not a moment: %s\n", when.c_str());
        return 2;
    }
    days::FixedClock clock(days::MomentOf(day, minutes));
    TSchedList store;
    if (!probe::OpenSchedule(store, args[0]))
        return 1;
    ShowEverything(store);
    store.CheckAlarms();
    for (const TEventData* e : store.DueList)
        std::printf("%s\n", sjis::ToUtf8(e->Subject).c_str());
    return 0;
}

int Resave(const std::vector<std::string>& args)
{
    if (args.size() != 2)
        return probe::Usage("resave IN.sch OUT.sch");
    TSchedList store;
    if (!probe::OpenSchedule(store, args[0]))
        return 1;
    if (store.DroppedRecords() > 0)
        std::fprintf(stderr, "kalvero-probe: %d records dropped\n", store.DroppedRecords());
    return store.SaveToFile(args[1]) ? 0 : 1;
}

// The export as the dialog runs it with its check boxes at their defaults:
// MODE 0 the days FROM..TO, 1 the items changed since FROM, 2 every item;
// the format from OUT's extension, or the template file TEMPLATE (CSV). The
// schedule file is left as it is (no item is marked exported). Prints the
// number of entries written.
int Export(const std::vector<std::string>& args)
{
    const char* usage = "export FILE.sch OUT MODE FROM TO [TEMPLATE]";
    if (args.size() != 5 && args.size() != 6)
        return probe::Usage(usage);
    exporter::ExportRequest request;
    const std::string& mode = args[2];
    if (mode != "0" && mode != "1" && mode != "2")
        return probe::Usage(usage);
    request.range = static_cast<exporter::ExportRange>(mode[0] - '0');
    if (!probe::ReadDay(args[3], request.first) || !probe::ReadDay(args[4], request.last))
        return 2;
    request.limit = exporter::ExpansionLimit(days::Today());
    std::string why;
    if (args.size() == 6) {
        request.format = exporter::ExportFormat::CsvTemplate;
        if (!exporter::ReadTemplateFile(args[5], request.csv, &why)) {
            std::fprintf(stderr, "kalvero-probe: %s\n", why.c_str());
            return 1;
        }
    } else {
        request.format = exporter::FormatOfFileName(args[1]);
        if (request.format != exporter::ExportFormat::VCalendar &&
            request.format != exporter::ExportFormat::Csv) {
            std::fprintf(stderr, "kalvero-probe: not a .vcs or .csv file: %s\n", args[1].c_str());
            return 2;
        }
    }
    TSchedList store;
    if (!probe::OpenSchedule(store, args[0]))
        return 1;
    ShowEverything(store);
    // Written as it is made, so that no output size needs memory of its size.
    files::TAtomicFile file;
    if (file.Open(args[1], &why)) {
        const exporter::ExportResult result = exporter::ExportTo(
            store, request, [&file](std::string_view piece) { return file.Write(piece); });
        if (file.Commit(&why)) {
            std::printf("%d\n", result.entries);
            return 0;
        }
    }
    std::fprintf(stderr, "kalvero-probe: %s\n", why.c_str());
    return 1;
}

probe::Command occurrences("occurrences", "occurrences FILE.sch FROM TO", &Occurrences);
probe::Command next("next", "next FILE.sch DAY", &Next);
probe::Command due("due", "due FILE.sch YYYY-MM-DDTHH:MM", &Due);
probe::Command resave("resave", "resave IN.sch OUT.sch", &Resave);
probe::Command exportCommand("export", "export FILE.sch OUT MODE FROM TO [TEMPLATE]", &Export);

} // namespace
