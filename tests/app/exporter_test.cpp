// The export formats: golden files of the edge cases byte for byte, the
// vCalendar output through libical's vCalendar parser, the CSV through
// Python's strict CSV reader, and the rules of ranges, leave-outs, marks and
// templates.
#include "app/exporter.h"
#include "core/files.h"
#include "core/schedlist.h"
#include "core/sjis.h"

#include "support/testutil.h"

#include <libical/vcc.h>
#include <libical/vobject.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

namespace {

using exporter::ExportFormat;
using exporter::ExportRange;

const std::string kData = KALVERO_SOURCE_DIR "/tests/data/export/";
const days::Day kLimit = D(2024, 8, 31);

// The edge-case schedule with every item visible.
struct EdgeCases
{
    // The store's order follows the series' current occurrences.
    days::FixedClock clock { days::MomentOf(D(2024, 5, 1), 600) };
    TSchedList store;
    EdgeCases()
    {
        EXPECT_TRUE(store.OpenFile(kData + "edge-cases.sch"));
        EXPECT_EQ(store.DroppedRecords(), 0);
        store.SetKindMask(-1);
    }
    exporter::ExportResult Run(const exporter::ExportRequest& request)
    {
        return exporter::Export(store, request);
    }
};

exporter::ExportRequest Request(ExportFormat format, ExportRange range,
                                days::Day first = D(2024, 5, 8), days::Day last = D(2024, 5, 14))
{
    exporter::ExportRequest request;
    request.format = format;
    request.range = range;
    request.first = first;
    request.last = last;
    request.limit = kLimit;
    return request;
}

std::vector<std::string> Summaries(const std::string& vcs)
{
    std::vector<std::string> out;
    for (const std::string& line : sjis::SplitLines(vcs))
        if (line.rfind("SUMMARY:", 0) == 0)
            out.push_back(sjis::ToUtf8(line.substr(8)));
    return out;
}

// --- Golden files

struct Golden
{
    const char* file;
    ExportFormat format;
    ExportRange range;
    const char* templateFile;
};

TEST(ExportGolden, EdgeCasesMatchByteForByte)
{
    const Golden cases[] = {
        { "edge-cases-week.vcs", ExportFormat::VCalendar, ExportRange::Days, nullptr },
        { "edge-cases-week.csv", ExportFormat::Csv, ExportRange::Days, nullptr },
        { "edge-cases-all.vcs", ExportFormat::VCalendar, ExportRange::All, nullptr },
        { "edge-cases-template.csv", ExportFormat::CsvTemplate, ExportRange::All,
          "edge-cases.cvf" },
    };
    for (const Golden& c : cases) {
        SCOPED_TRACE(c.file);
        EdgeCases data;
        exporter::ExportRequest request = Request(c.format, c.range);
        if (c.templateFile) {
            ASSERT_TRUE(exporter::ReadTemplateFile(kData + c.templateFile, request.csv));
        }
        const std::string actual = data.Run(request).text;
        if (actual != ReadFile(kData + c.file)) {
            const std::string kept = KALVERO_BINARY_DIR "/export-actual-" + std::string(c.file);
            files::WriteAtomic(kept, actual);
            ADD_FAILURE() << "differs from the golden file; the output is in " << kept;
        }
    }
}

// --- Outside readers

// "yyyymmddThhmmss" (hours up to 24) as a moment.
days::Moment VCalMoment(const std::string& text)
{
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    EXPECT_EQ(std::sscanf(text.c_str(), "%4d%2d%2dT%2d%2d%2d", &y, &mo, &d, &h, &mi, &s), 6)
        << text;
    return days::MomentOf(D(y, mo, d), h * 60 + mi) + s;
}

std::string Value(VObject* object, const char* property)
{
    VObject* p = isAPropertyOf(object, property);
    if (!p || vObjectValueType(p) != VCVT_USTRINGZ)
        return {};
    char* text = fakeCString(vObjectUStringZValue(p));
    std::string out = sjis::ToUtf8(text);
    deleteStr(text);
    return out;
}

struct ParsedEvent
{
    std::string description;
    days::Moment start = 0;
    days::Moment end = 0;
    std::string categories;
    std::string alarm; // the run time of DALARM
};

TEST(ExportReaders, LibicalReadsEveryEventOfTheVCalendarFile)
{
    EdgeCases data;
    const exporter::ExportResult result =
        data.Run(Request(ExportFormat::VCalendar, ExportRange::All));
    ASSERT_LT(result.entries, 400); // the parser's own limit lies near 485
    TempDir dir;
    const std::string file = dir.Write("out.vcs", result.text);

    VObject* list = Parse_MIME_FromFileName(file.c_str());
    ASSERT_NE(list, nullptr);
    std::multimap<std::string, ParsedEvent> events;
    for (VObject* cal = list; cal; cal = nextVObjectInList(cal)) {
        ASSERT_STREQ(vObjectName(cal), VCCalProp);
        VObjectIterator it;
        initPropIterator(&it, cal);
        while (moreIteration(&it)) {
            VObject* o = nextVObject(&it);
            if (std::string(vObjectName(o)) != VCEventProp)
                continue;
            ParsedEvent e { Value(o, VCDescriptionProp),
                            VCalMoment(Value(o, VCDTstartProp)),
                            VCalMoment(Value(o, VCDTendProp)),
                            Value(o, VCCategoriesProp),
                            {} };
            if (VObject* alarm = isAPropertyOf(o, VCDAlarmProp))
                e.alarm = Value(alarm, VCRunTimeProp);
            EXPECT_LT(e.start, e.end);
            events.emplace(Value(o, VCSummaryProp), e);
        }
    }
    cleanVObjects(list);
    cleanStrTbl();

    EXPECT_EQ(static_cast<int>(events.size()), result.entries);
    const struct
    {
        const char* summary;
        const char* description;
        days::Moment start, end;
        const char* categories;
        const char* alarm;
    } expected[] = {
        { "終日の予定", "", days::MomentOf(D(2024, 5, 10)), days::MomentOf(D(2024, 5, 11)), "",
          "" },
        { "打合せ", "場所:本社 3F 会議室\r\n資料を持参\r\n名刺も",
          days::MomentOf(D(2024, 5, 10), 600), days::MomentOf(D(2024, 5, 10), 690), "仕事",
          "20240510T094500" },
        { "朝会", "", days::MomentOf(D(2024, 5, 11), 600), days::MomentOf(D(2024, 5, 11), 660), "",
          "20240511T093000" },
        { "夜勤", "", days::MomentOf(D(2024, 5, 13), 60), days::MomentOf(D(2024, 5, 13), 120), "",
          "20240512T230000" },
        { "件名  二行目", "a=b=", days::MomentOf(D(2024, 5, 12)), days::MomentOf(D(2024, 5, 13)),
          "個人", "20240511T000000" },
        { "会議, 昼食", "場所:会議室 A,B\r\n議題:\r\n1, 予算", days::MomentOf(D(2024, 5, 14), 780),
          days::MomentOf(D(2024, 5, 14), 840), "", "" },
        { "遠い予定", "", days::MomentOf(D(2030, 1, 1)), days::MomentOf(D(2030, 1, 2)), "", "" },
    };
    for (const auto& x : expected) {
        SCOPED_TRACE(x.summary);
        ASSERT_EQ(events.count(x.summary), 1u);
        const ParsedEvent& e = events.find(x.summary)->second;
        EXPECT_EQ(e.description, x.description);
        EXPECT_EQ(e.start, x.start);
        EXPECT_EQ(e.end, x.end);
        EXPECT_EQ(e.categories, x.categories);
        EXPECT_EQ(e.alarm, x.alarm);
    }
    // A series: every occurrence up to its end (daily) or the limit
    // (monthly on the 31st).
    EXPECT_EQ(events.count("朝の体操"), 13u);
    EXPECT_EQ(events.count("月末締め"), 5u);
}

TEST(ExportReaders, StrictCsvReaderFindsElevenCellsInEveryRow)
{
    EdgeCases data;
    const exporter::ExportResult result = data.Run(Request(ExportFormat::Csv, ExportRange::All));
    TempDir dir;
    const std::string file = dir.Write("out.csv", result.text);
    const ProbeRun run =
        RunCommand("python3 " KALVERO_SOURCE_DIR "/tests/support/csv_cells.py " + file);
    ASSERT_EQ(run.status, 0) << run.out;
    // Eleven cells, then the empty one after the closing comma of the row;
    // the header and one row per entry.
    const std::vector<std::string> rows = sjis::SplitLines(run.out);
    EXPECT_EQ(static_cast<int>(rows.size()), result.entries + 1);
    for (const std::string& row : rows)
        EXPECT_EQ(row, "12 last empty");
}

// --- Rules

TEST(ExportRules, FormatFromTheExtension)
{
    const std::pair<const char*, ExportFormat> cases[] = {
        { "/home/a/out.vcs", ExportFormat::VCalendar },
        { "OUT.VCS", ExportFormat::VCalendar },
        { "a.b.Csv", ExportFormat::Csv },
        { "layout.cvf", ExportFormat::CsvTemplate },
        { "out.txt", ExportFormat::Unknown },
        { "vcs", ExportFormat::Unknown },
        { "dir.vcs/out", ExportFormat::Unknown },
        { "", ExportFormat::Unknown },
    };
    for (const auto& [name, format] : cases)
        EXPECT_EQ(exporter::FormatOfFileName(name), format) << name;
    EXPECT_EQ(sjis::ToUtf8(exporter::FormatName(ExportFormat::Unknown)), "不明");
}

TEST(ExportRules, ExpansionLimitIsTheSameDayNextYear)
{
    EXPECT_EQ(exporter::ExpansionLimit(D(2023, 12, 31)), D(2024, 12, 31));
    EXPECT_EQ(exporter::ExpansionLimit(D(2024, 2, 29)), D(2025, 2, 28));
}

TEST(ExportRules, LeftOutItems)
{
    using Set = std::set<std::string>;
    const struct
    {
        exporter::LeaveOut leaveOut;
        Set absent;
    } cases[] = {
        { {}, { "エクスポート済みの予定", "取消した予定", "対象外の予定" } },
        { { false, false, false, false }, { "対象外の予定" } },
        { { false, true, false, false }, { "対象外の予定", "朝の体操", "月末締め" } },
        { { false, false, true, false }, { "対象外の予定", "秘密の予定" } },
    };
    EdgeCases data;
    Set all;
    for (const TEventData* item : data.store.All())
        all.insert(sjis::ToUtf8(sjis::ReplaceAll(item->Subject, "\r\n", "  ")));
    for (const auto& c : cases) {
        exporter::ExportRequest request = Request(ExportFormat::VCalendar, ExportRange::All);
        request.leaveOut = c.leaveOut;
        const std::vector<std::string> written = Summaries(data.Run(request).text);
        Set absent = all;
        for (const std::string& s : written)
            absent.erase(s);
        EXPECT_EQ(absent, c.absent);
    }
}

TEST(ExportRules, UpdatedSinceTakesItemsChangedOnOrAfterTheFirstDay)
{
    EdgeCases data;
    const std::vector<std::string> written = Summaries(
        data.Run(Request(ExportFormat::VCalendar, ExportRange::UpdatedSince, D(2024, 5, 3))).text);
    ASSERT_EQ(written.size(), 4u);
    EXPECT_EQ(written[0], "件名  二行目");
    EXPECT_EQ(written[1].substr(0, 2), "AB");
    EXPECT_EQ(written[2], "秘密の予定");
    EXPECT_EQ(written[3], "会議, 昼食");
}

TEST(ExportRules, OnlySingleItemsAreToBeMarkedAndNothingChangesInTheStore)
{
    EdgeCases data;
    data.store.SelectDay(D(2024, 5, 10));
    const std::vector<PEventData> shown = data.store.DayList;
    auto exported = [&] {
        return std::count_if(data.store.All().begin(), data.store.All().end(),
                             [](const TEventData* item) { return item->Exported; });
    };
    const auto before = exported();
    const exporter::ExportResult result =
        data.Run(Request(ExportFormat::VCalendar, ExportRange::Days));
    EXPECT_EQ(data.store.DayList, shown);
    EXPECT_EQ(exported(), before);
    EXPECT_FALSE(data.store.Modified);
    std::set<std::string> marked;
    for (std::uint64_t id : result.exportedIds)
        marked.insert(sjis::ToUtf8(data.store.FindById(id)->Subject));
    EXPECT_EQ(marked.size(), result.exportedIds.size());
    EXPECT_EQ(marked.count("朝の体操"), 0u);
    EXPECT_EQ(marked.count("打合せ"), 1u);
    EXPECT_EQ(marked.size(), 8u);
}

TEST(ExportRules, CancelledExportGivesNothing)
{
    EdgeCases data;
    int calls = 0;
    const exporter::ExportResult result =
        exporter::Export(data.store, Request(ExportFormat::VCalendar, ExportRange::All),
                         [&calls](std::int64_t, std::int64_t) { return ++calls < 3; });
    EXPECT_TRUE(result.cancelled);
    EXPECT_TRUE(result.text.empty());
    EXPECT_TRUE(result.exportedIds.empty());
}

// A store that shows everything, holding one series from 8 May 2024.
struct OneSeries
{
    TSchedList store;
    OneSeries(std::uint32_t pattern, const std::string& memo = {})
    {
        store.SetKindMask(-1);
        TEventData item;
        item.Date = D(2024, 5, 8);
        item.Memo = memo;
        item.Repeat = rp::Repeating | pattern;
        store.AddEvent(item, false);
    }
};

TEST(ExportRules, ARuleThatAlwaysAnswersItsFirstDayIsWrittenOnce)
{
    OneSeries data(rp::Weekly);
    const exporter::ExportResult result =
        exporter::Export(data.store, Request(ExportFormat::VCalendar, ExportRange::All));
    EXPECT_EQ(result.entries, 1);
}

TEST(ExportRules, QuotesInItemTextNeverEndACsvCell)
{
    TEventData item;
    item.Subject = "say \"hi\"";
    item.Place = "\"A\"";
    item.DataType = "\"kind\":FF";
    item.Memo = "x\"y";
    std::string line;
    exporter::TemplateLine(line, D(2024, 5, 10), item,
                           exporter::ReadTemplate({ "a:=%TITLE%", "b:=%PLACE%", "c:=%GROUP%",
                                                    "d:=%MEMO%", "e:=%PMEMO%" })
                               .columns);
    EXPECT_EQ(line,
              "\"say 'hi'\",\"'A'\",\"'kind'\",\"x'y\",\"" + SJ("場所:") + "'A'\r\nx'y\",\r\n");
}

TEST(ExportRules, HostileTemplatesGiveOneLinePerEntry)
{
    const std::string valid = ReadFile(kData + "edge-cases.cvf");
    TEventData item;
    item.Date = D(2024, 5, 10);
    item.Subject = SJ("件名");
    item.Memo = SJ("メモ");
    item.AlarmBefore = 5;
    std::mt19937 rng(20240510);
    const std::string alphabet = "%@:=\\nN0123456789\"\r\n\x81\x82\xFF ";
    for (int round = 0; round < 2000; ++round) {
        std::string text = valid;
        const int edits = 1 + static_cast<int>(rng() % 12);
        for (int i = 0; i < edits && !text.empty(); ++i) {
            const std::size_t at = rng() % text.size();
            const char c = alphabet[rng() % alphabet.size()];
            switch (rng() % 3) {
            case 0:
                text[at] = c;
                break;
            case 1:
                text.insert(at, 1, c);
                break;
            default:
                text.erase(at, 1);
            }
        }
        const exporter::CsvTemplate csv = exporter::ReadTemplate(sjis::SplitLines(text));
        std::string line;
        exporter::TemplateLine(line, item.Date, item, csv.columns);
        ASSERT_GE(line.size(), 2u);
        EXPECT_EQ(line.substr(line.size() - 2), "\r\n");
        if (!csv.columns.empty()) {
            EXPECT_EQ(line[line.size() - 3], ',');
        }
    }
}

TEST(ExportRules, LargeOutputGoesOutInBoundedPiecesAndReadsAsMadeInMemory)
{
    // Cells of megabytes: keys over a memo with blanks at its ends and a lead
    // byte that pairs across keys, whole and cut inside a character.
    OneSeries data(rp::Daily, " \x81" + std::string(400000, 'x') + SJ("予定") + " \x82");
    exporter::ExportRequest request = Request(ExportFormat::CsvTemplate, ExportRange::Days);
    request.csv =
        exporter::ReadTemplate({ "a:=%MEMO%%MEMO%%MEMO%", "b:=%MEMO%%MEMO%%MEMO%@1200001" });
    std::string text;
    std::size_t largest = 0;
    exporter::ExportTo(data.store, request, [&](std::string_view piece) {
        largest = std::max(largest, piece.size());
        text += piece;
        return true;
    });
    std::string expected = request.csv.header + "\r\n";
    for (days::Day day = request.first; day <= request.last; ++day)
        exporter::TemplateLine(expected, day, *data.store.All()[0], request.csv.columns);
    EXPECT_GT(text.size(), std::size_t { 14 } << 20);
    EXPECT_TRUE(text == expected);
    EXPECT_LT(largest, std::size_t { 1 } << 20);
}

TEST(ExportRules, ATemplateOfManyKeysIsReadInOnePass)
{
    const exporter::CsvTemplate csv =
        exporter::ReadTemplate({ "a:=" + std::string(std::size_t { 1 } << 22, '%') });
    ASSERT_EQ(csv.columns.size(), 1u);
    EXPECT_EQ(csv.columns[0].parts.size(), std::size_t { 1 } << 21);
}

} // namespace
