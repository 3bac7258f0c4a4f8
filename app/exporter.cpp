#include "app/exporter.h"

#include "core/files.h"
#include "core/schedlist.h"
#include "core/sjis.h"

#include <algorithm>
#include <array>
#include <climits>

namespace exporter {

namespace {

const std::string_view kCrLf = "\r\n";

// The placeholders, in the order of the format's keyword table.
enum Key {
    kDate,
    kAttr,
    kTitle,
    kPlace,
    kGroup,
    kAday,
    kSecret,
    kPri,
    kBtime,
    kEtime,
    kEndtm,
    kAtime,
    kAdate,
    kAlerm,
    kMemo,
    kPmemo,
    kKeyCount
};
constexpr std::array<std::string_view, kKeyCount> kKeywords = {
    "DATE",  "ATTR",  "TITLE", "PLACE", "GROUP", "ADAY",  "SECRET", "PRI",
    "BTIME", "ETIME", "ENDTM", "ATIME", "ADATE", "ALERM", "MEMO",   "PMEMO",
};

// Two cells from one value: the date and the time of the end.
const std::string_view kCellBreak = "\",\"";

struct FormatRow
{
    const char* name; // UTF-8
    std::string_view extension;
};
constexpr std::array<FormatRow, 4> kFormats = { {
    { "不明", "" },
    { "vCalendar (for Palm Desktop v4.01日本語版)", ".vcs" },
    { "CSV (for Ruputer PCアプリ v2)", ".csv" },
    { "CSVテンプレート(.cvf)", ".cvf" },
} };

const std::string_view kVCalHeader =
    "BEGIN:VCALENDAR\r\nVERSION:1.0\r\nPRODID:Kalvero for PalmDesktop";
const std::string_view kVCalFooter = "END:VCALENDAR";

void AppendNumber(std::string& out, std::int64_t value, int width)
{
    char digits[24];
    int n = 0;
    const bool negative = value < 0;
    std::uint64_t v = negative ? 0 - static_cast<std::uint64_t>(value) : value;
    do {
        digits[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    if (negative)
        out += '-';
    for (int i = n; i < width; ++i)
        out += '0';
    while (n > 0)
        out += digits[--n];
}

// "yyyy/mm/dd"
void AppendDate(std::string& out, days::Day day)
{
    const days::Ymd d = days::Decode(day);
    AppendNumber(out, d.year, 4);
    out += '/';
    AppendNumber(out, d.month, 2);
    out += '/';
    AppendNumber(out, d.day, 2);
}

// "hh:mm" with hours beyond 23 as they are.
void AppendTime(std::string& out, std::int32_t minutes)
{
    AppendNumber(out, minutes / 60, 2);
    out += ':';
    AppendNumber(out, minutes % 60, 2);
}

void AppendVCalDateTime(std::string& out, days::Day day, std::int32_t minutes)
{
    int hours = 24;
    int rest = 0;
    if (minutes >= 0) {
        day += minutes / 1440;
        hours = minutes % 1440 / 60;
        rest = minutes % 60;
    }
    const days::Ymd d = days::Decode(day);
    AppendNumber(out, d.year, 4);
    AppendNumber(out, d.month, 2);
    AppendNumber(out, d.day, 2);
    out += 'T';
    AppendNumber(out, hours, 2);
    AppendNumber(out, rest, 2);
    out += "00";
}

// A property value on one line: line breaks become blanks.
void AppendOneLine(std::string& out, std::string_view text)
{
    for (char c : text)
        out += c == '\r' || c == '\n' ? ' ' : c;
}

// Only the bytes that would end the line or start an escape are encoded;
// the Shift_JIS text stays as it is.
void AppendQuotedPrintable(std::string& out, std::string_view text)
{
    for (char c : text) {
        switch (c) {
        case '\r':
            out += "=0D";
            break;
        case '\n':
            out += "=0A";
            break;
        case '=':
            out += "=3D";
            break;
        default:
            out += c;
        }
    }
}

// Item text in a CSV cell: a double quote would end the cell.
std::string CellText(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c == '"')
            c = '\'';
    return out;
}

const std::string& AttrName(std::int32_t kindBits)
{
    static const std::array<std::string, 4> names = { SJ("個人"), SJ("会社"), std::string(),
                                                      SJ("未登録") };
    return names[static_cast<std::size_t>((kindBits >> 1) & 3)];
}

std::string TemplateValue(int key, days::Day day, const TEventData& item,
                          const ColumnTemplate& column, days::Moment alarm)
{
    std::string out;
    switch (key) {
    case kDate:
        AppendDate(out, day);
        break;
    case kAttr:
        out = CellText(AttrName(item.KindBits));
        break;
    case kTitle:
        out = CellText(item.Subject);
        break;
    case kPlace:
        out = CellText(item.Place);
        break;
    case kGroup:
        out = CellText(KindName(item.DataType));
        break;
    case kAday:
        out = item.HasTime ? "0" : "1";
        break;
    case kSecret:
        out = item.KindBits & 1 ? "1" : "0";
        break;
    case kPri:
        AppendNumber(out, item.Priority, 1);
        break;
    case kBtime:
        if (item.HasTime)
            AppendTime(out, item.StartTime);
        else if (!column.emptyUntimedBegin)
            out = "00:00";
        break;
    case kEtime:
        if (item.HasTime)
            AppendTime(out, item.EndTime);
        else if (!column.emptyUntimedEnd)
            out = "24:00";
        break;
    case kEndtm:
        // An item without time ends at the start of the next day.
        AppendDate(out, item.HasTime ? day : day + 1);
        out += kCellBreak;
        AppendTime(out, item.HasTime ? item.EndTime : 0);
        break;
    case kAtime:
        if (alarm != 0)
            AppendTime(out, static_cast<std::int32_t>(days::SecondsOfDay(alarm) / 60));
        break;
    case kAdate:
        if (alarm != 0)
            AppendDate(out, days::DayOf(alarm));
        break;
    case kAlerm:
        out = alarm != 0 ? "1" : "0";
        break;
    case kMemo:
        out = CellText(item.Memo);
        break;
    case kPmemo:
        out = CellText(PlaceAndMemo(item));
        break;
    default:
        break;
    }
    return out;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The digits at pos (at least one), saturating at INT_MAX.
int ReadLimit(std::string_view text, std::size_t& pos)
{
    int value = 0;
    while (pos < text.size() && IsDigit(text[pos])) {
        const int digit = text[pos] - '0';
        value = value > (INT_MAX - digit) / 10 ? INT_MAX : value * 10 + digit;
        ++pos;
    }
    return value;
}

bool LimitAt(std::string_view text, std::size_t pos)
{
    return pos + 1 < text.size() && text[pos] == '@' && IsDigit(text[pos + 1]);
}

int KeyIndex(std::string_view key)
{
    const std::string upper = sjis::UpperAscii(key);
    for (std::size_t i = 0; i < kKeywords.size(); ++i)
        if (upper == kKeywords[i])
            return static_cast<int>(i);
    return ColumnTemplate::kUnknownKey;
}

bool Repeats(const TEventData& item)
{
    return item.Repeat != 0;
}

bool LeftOut(const LeaveOut& leaveOut, const TEventData& item)
{
    return item.NoExport || (leaveOut.exported && item.Exported) ||
        (leaveOut.repeating && Repeats(item)) || (leaveOut.secret && (item.KindBits & 1)) ||
        (leaveOut.cancelled && item.Cancelled);
}

// Output is handed to the sink in pieces of about this size.
constexpr std::size_t kSpillBytes = 256 * 1024;
// A cell larger than this goes out as it is made.
constexpr std::size_t kLargeCell = 1024 * 1024;

// The byte limit of a whole cell applied to its pieces as they come: whole
// characters only, as LeftStrBytes cuts the joined text (a lead byte at the
// end of a piece pairs with the first byte of the next).
class TCellCut
{
public:
    explicit TCellCut(int limit) : limit_(limit > 0 ? static_cast<std::size_t>(limit) : 0) { }

    template<typename Emit> void Feed(std::string_view piece, Emit&& emit)
    {
        if (limit_ == 0) {
            emit(piece);
            return;
        }
        std::size_t i = 0;
        if (hasLead_ && !piece.empty()) {
            hasLead_ = false;
            full_ = full_ || taken_ + 2 > limit_;
            if (!full_) {
                const char pair[2] = { lead_, piece[0] };
                emit(std::string_view(pair, 2));
                taken_ += 2;
            }
            i = 1;
        }
        const std::size_t from = i;
        while (i < piece.size() && !full_) {
            const bool lead = sjis::IsLeadByte(static_cast<unsigned char>(piece[i]));
            if (lead && i + 1 == piece.size()) {
                lead_ = piece[i];
                hasLead_ = true;
                break;
            }
            const std::size_t length = lead ? 2 : 1;
            full_ = taken_ + length > limit_;
            if (!full_) {
                taken_ += length;
                i += length;
            }
        }
        emit(piece.substr(from, i - from));
    }

    // A lead byte that ends the cell counts as a character of its own.
    template<typename Emit> void Finish(Emit&& emit)
    {
        if (hasLead_ && !full_ && taken_ + 1 <= limit_)
            emit(std::string_view(&lead_, 1));
    }

private:
    std::size_t limit_;
    std::size_t taken_ = 0;
    char lead_ = 0;
    bool hasLead_ = false;
    bool full_ = false;
};

// The cell of a column for an occurrence, cut to its limit but not trimmed,
// run by run: fn(run, offset of the run in the cell).
template<typename Fn>
void ForEachCellRun(const ColumnTemplate& column, days::Day day, const TEventData& item,
                    days::Moment alarm, Fn&& fn)
{
    TCellCut cut(column.cellLimit);
    std::size_t offset = 0;
    auto emit = [&](std::string_view run) {
        if (run.empty())
            return;
        fn(run, offset);
        offset += run.size();
    };
    for (const ColumnTemplate::Part& part : column.parts) {
        if (part.key < 0) {
            cut.Feed(part.text, emit);
            continue;
        }
        const std::string value = TemplateValue(part.key, day, item, column, alarm);
        cut.Feed(part.limit > 0 ? LeftStrBytes(value, part.limit) : value, emit);
    }
    cut.Finish(emit);
}

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

// A large cell, trimmed, in two walks over its runs: the first finds where
// the trimmed text begins and ends, the second writes it, draining out as it
// grows.
void AppendLargeCell(std::string& out, const ColumnTemplate& column, days::Day day,
                     const TEventData& item, days::Moment alarm, const Drain& drain)
{
    std::size_t begin = std::string::npos;
    std::size_t end = 0;
    ForEachCellRun(column, day, item, alarm, [&](std::string_view run, std::size_t offset) {
        const auto first = std::find_if_not(run.begin(), run.end(), IsBlank);
        if (first == run.end())
            return;
        if (begin == std::string::npos)
            begin = offset + static_cast<std::size_t>(first - run.begin());
        const auto last = std::find_if_not(run.rbegin(), run.rend(), IsBlank);
        end = offset + static_cast<std::size_t>(run.rend() - last);
    });
    ForEachCellRun(column, day, item, alarm, [&](std::string_view run, std::size_t offset) {
        const std::size_t from = std::max(begin, offset);
        const std::size_t to = std::min(end, offset + run.size());
        if (from >= to)
            return;
        out.append(run.substr(from - offset, to - from));
        if (out.size() >= kSpillBytes)
            drain(out);
    });
}

// The template of ".csv" files.
const CsvTemplate& BuiltInTemplate()
{
    static const CsvTemplate csv =
        ReadTemplate({ SJ("ﾀｲﾄﾙ:=%TITLE%@55"), SJ("開始日:=%DATE%"), SJ("開始時刻:=%BTIME%"),
                       SJ("終了日\",\"終了時刻:=%ENDTM%"), SJ("終日ｲﾍﾞﾝﾄﾌﾗｸﾞ:=%ADAY%"),
                       SJ("ｱﾗｰﾑon/off:=%ALERM%"), SJ("ｱﾗｰﾑ日付:=%ADATE%"), SJ("ｱﾗｰﾑ時間:=%ATIME%"),
                       SJ("ﾒﾓ:=%PMEMO%@230"), SJ("ｼｰｸﾚｯﾄ:=%SECRET%") });
    return csv;
}

// One export run: the request, the output on its way to the sink, and the
// items to mark.
class TExportRun
{
public:
    TExportRun(TSchedList& store, const ExportRequest& request, const Sink& sink,
               const Progress& progress)
        : store_(store), request_(request),
          csv_(request.format == ExportFormat::Csv ? BuiltInTemplate() : request.csv), sink_(sink),
          progress_(progress), drain_([this](std::string& text) { Deliver(text); })
    {
    }

    ExportResult Run();

private:
    // Every occurrence from the first day on; a repeating item stops after
    // the limit, a single item is written whatever its date.
    void ExportOccurrences(const TEventData& item, days::Day first);
    // One entry; the caller has left out what the request leaves out.
    void ExportOccurrence(const TEventData& item, days::Day day);
    bool Tick();
    // Hands the text to the sink and empties it; a sink that fails stops
    // the export.
    void Deliver(std::string& text);
    void Spill()
    {
        if (buffer_.size() >= kSpillBytes)
            Deliver(buffer_);
    }

    TSchedList& store_;
    const ExportRequest& request_;
    const CsvTemplate& csv_;
    const Sink& sink_;
    const Progress& progress_;
    const Drain drain_;
    std::string buffer_;
    ExportResult result_;
    std::int64_t done_ = 0;
    std::int64_t total_ = 0;
    bool stopped_ = false;
};

bool TExportRun::Tick()
{
    if (!stopped_ && progress_ && !progress_(done_, total_))
        stopped_ = result_.cancelled = true;
    return !stopped_;
}

void TExportRun::Deliver(std::string& text)
{
    if (!stopped_ && !sink_(text))
        stopped_ = result_.failed = true;
    text.clear();
}

void TExportRun::ExportOccurrence(const TEventData& item, days::Day day)
{
    if (request_.format == ExportFormat::VCalendar)
        VEventText(buffer_, day, item);
    else
        TemplateLine(buffer_, day, item, csv_.columns, drain_);
    Spill();
    ++result_.entries;
    if (!Repeats(item))
        result_.exportedIds.push_back(item.Id);
}

void TExportRun::ExportOccurrences(const TEventData& item, days::Day first)
{
    if (LeftOut(request_.leaveOut, item))
        return;
    days::Day asked = first;
    for (;;) {
        const days::Day day = store_.NextOccurrence(item, asked);
        // A rule that answers its first day whatever is asked has no later
        // occurrence.
        if (day < 0 || day < asked)
            return;
        if (Repeats(item) && day > request_.limit)
            return;
        ExportOccurrence(item, day);
        if (!Repeats(item) || day >= days::kMaxDay)
            return;
        // Long series keep the progress (and its Cancel) alive.
        if ((result_.entries & 4095) == 0 && !Tick())
            return;
        asked = day + 1;
    }
}

ExportResult TExportRun::Run()
{
    store_.SortEvents();
    if (request_.format == ExportFormat::VCalendar) {
        buffer_.append(kVCalHeader);
        buffer_.append(kCrLf);
    } else if (request_.headLine) {
        buffer_.append(csv_.header);
        buffer_.append(kCrLf);
    }
    if (request_.range == ExportRange::Days) {
        total_ = std::max<std::int64_t>(0, std::int64_t { request_.last } - request_.first + 1);
        for (days::Day day = request_.first; done_ < total_ && Tick(); ++day, ++done_) {
            for (const TEventData* item : store_.ItemsOn(day)) {
                if (!LeftOut(request_.leaveOut, *item))
                    ExportOccurrence(*item, day);
            }
        }
    } else {
        const std::vector<PEventData> items = store_.All();
        total_ = static_cast<std::int64_t>(items.size());
        for (const TEventData* item : items) {
            if (!Tick())
                break;
            ++done_;
            if (!store_.IsVisible(*item))
                continue;
            if (request_.range == ExportRange::UpdatedSince && item->UpdateDate < request_.first)
                continue;
            ExportOccurrences(*item, item->Date);
        }
    }
    if (Tick()) {
        if (request_.format == ExportFormat::VCalendar)
            buffer_.append(kVCalFooter);
        Deliver(buffer_);
    }
    if (stopped_) {
        ExportResult stopped;
        stopped.cancelled = result_.cancelled;
        stopped.failed = result_.failed;
        return stopped;
    }
    return std::move(result_);
}

} // namespace

const std::string& FormatName(ExportFormat format)
{
    static const std::array<std::string, 4> names = [] {
        std::array<std::string, 4> out;
        for (std::size_t i = 0; i < out.size(); ++i)
            out[i] = sjis::FromUtf8(kFormats[i].name);
        return out;
    }();
    return names[static_cast<std::size_t>(format)];
}

std::string_view FormatExtension(ExportFormat format)
{
    return kFormats[static_cast<std::size_t>(format)].extension;
}

ExportFormat FormatOfFileName(std::string_view fileName)
{
    const std::size_t slash = fileName.rfind('/');
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return ExportFormat::Unknown;
    const std::string_view extension = fileName.substr(dot);
    for (ExportFormat format :
         { ExportFormat::VCalendar, ExportFormat::Csv, ExportFormat::CsvTemplate })
        if (sjis::EqualsNoCase(extension, FormatExtension(format)))
            return format;
    return ExportFormat::Unknown;
}

namespace {

// The next "%" from a character start: searching the rest alone, so that a
// template of many keys is not walked from its start for every key.
std::size_t FindPercent(std::string_view text, std::size_t from)
{
    const std::size_t hit = sjis::Find(text.substr(from), "%");
    return hit == std::string_view::npos ? hit : from + hit;
}

} // namespace

ColumnTemplate ReadColumnTemplate(std::string_view valueTemplate)
{
    ColumnTemplate column;
    column.emptyUntimedBegin = sjis::Contains(valueTemplate, "btime");
    column.emptyUntimedEnd = sjis::Contains(valueTemplate, "etime");
    const std::string text =
        sjis::ReplaceAll(sjis::ReplaceAll(valueTemplate, "\\n", kCrLf), "\\N", kCrLf);
    const std::string_view t = text;
    auto literal = [&](std::string_view part) {
        if (!part.empty())
            column.parts.push_back({ std::string(part), -1, 0 });
    };
    std::size_t pos = 0;
    while (pos < t.size()) {
        const std::size_t open = FindPercent(t, pos);
        if (open == std::string_view::npos) {
            literal(t.substr(pos));
            return column;
        }
        literal(t.substr(pos, open - pos));
        const std::size_t close = FindPercent(t, open + 1);
        if (close == std::string_view::npos) {
            // An unclosed key is text, without its "%".
            literal(t.substr(open + 1));
            return column;
        }
        ColumnTemplate::Part value { {}, KeyIndex(t.substr(open + 1, close - open - 1)), 0 };
        pos = close + 1;
        if (LimitAt(t, pos)) {
            ++pos;
            value.limit = ReadLimit(t, pos);
        }
        column.parts.push_back(std::move(value));
        if (pos < t.size() && t[pos] == '@')
            break;
    }
    if (pos < t.size()) {
        // "@" and digits cut the whole cell; an "@" without digits is text.
        if (LimitAt(t, pos)) {
            ++pos;
            column.cellLimit = ReadLimit(t, pos);
        } else {
            literal(t.substr(pos));
        }
    }
    return column;
}

CsvTemplate ReadTemplate(const std::vector<std::string>& lines)
{
    CsvTemplate csv;
    for (const std::string& line : lines) {
        const std::size_t mark = sjis::Find(line, ":=");
        if (mark == std::string::npos)
            continue;
        csv.header += '"';
        csv.header += sjis::Trim(std::string_view(line).substr(0, mark));
        csv.header += "\",";
        csv.columns.push_back(
            ReadColumnTemplate(sjis::Trim(std::string_view(line).substr(mark + 2))));
    }
    return csv;
}

bool ReadTemplateFile(const std::string& path, CsvTemplate& out, std::string* error, bool* exists)
{
    std::string text;
    if (!files::ReadAll(path, text, error, exists))
        return false;
    out = ReadTemplate(sjis::SplitLines(text));
    return true;
}

days::Day ExpansionLimit(days::Day today)
{
    const days::Ymd d = days::Decode(today);
    const int year = d.year + 1;
    return days::Encode(year, d.month, std::min(d.day, days::DaysInMonth(year, d.month)));
}

std::string VCalDateTime(days::Day day, std::int32_t minutes)
{
    std::string out;
    AppendVCalDateTime(out, day, minutes);
    return out;
}

std::string PlaceAndMemo(const TEventData& item)
{
    const std::string place = sjis::Trim(item.Place);
    std::string text;
    if (!place.empty()) {
        text = SJ("場所:");
        text += place;
        text += kCrLf;
    }
    text += sjis::Trim(item.Memo);
    return sjis::Trim(text);
}

void VEventText(std::string& out, days::Day day, const TEventData& item)
{
    out += "BEGIN:VEVENT\r\nSUMMARY:";
    AppendOneLine(out, item.Subject);
    out += kCrLf;
    const std::string description = PlaceAndMemo(item);
    if (!description.empty()) {
        out += "DESCRIPTION;QUOTED-PRINTABLE:";
        AppendQuotedPrintable(out, description);
        out += kCrLf;
    }
    // An item without time runs from 24:00 of the day before to 24:00 of its
    // day, as the organizer software reads whole days.
    out += "DTSTART:";
    if (item.HasTime)
        AppendVCalDateTime(out, day, item.StartTime);
    else
        AppendVCalDateTime(out, day - 1, -1);
    out += "\r\nDTEND:";
    AppendVCalDateTime(out, day, item.HasTime ? item.EndTime : -1);
    out += kCrLf;
    const std::string category = KindName(item.DataType);
    if (!category.empty()) {
        out += "CATEGORIES:";
        AppendOneLine(out, category);
        out += kCrLf;
    }
    const days::Moment alarm = AlarmMoment(item, day);
    if (alarm != 0) {
        out += "DALARM:";
        AppendVCalDateTime(out, days::DayOf(alarm),
                           static_cast<std::int32_t>(days::SecondsOfDay(alarm) / 60));
        out += kCrLf;
    }
    out += "END:VEVENT\r\n";
}

void TemplateLine(std::string& out, days::Day day, const TEventData& item,
                  const std::vector<ColumnTemplate>& columns, const Drain& drain)
{
    const days::Moment alarm = AlarmMoment(item, day);
    std::string cell;
    for (const ColumnTemplate& column : columns) {
        // A cell is made in memory while it is small; a larger one (many
        // keys over a long memo) goes out as it is made.
        cell.clear();
        bool small = true;
        ForEachCellRun(column, day, item, alarm, [&](std::string_view run, std::size_t) {
            small = small && (!drain || cell.size() + run.size() <= kLargeCell);
            if (small)
                cell += run;
        });
        out += '"';
        if (small)
            out += sjis::Trim(cell);
        else
            AppendLargeCell(out, column, day, item, alarm, drain);
        out += "\",";
    }
    out += kCrLf;
}

ExportResult ExportTo(TSchedList& store, const ExportRequest& request, const Sink& sink,
                      const Progress& progress)
{
    return TExportRun(store, request, sink, progress).Run();
}

ExportResult Export(TSchedList& store, const ExportRequest& request, const Progress& progress)
{
    std::string text;
    ExportResult result = ExportTo(
        store, request,
        [&text](std::string_view piece) {
            text.append(piece);
            return true;
        },
        progress);
    if (!result.cancelled)
        result.text = std::move(text);
    return result;
}

} // namespace exporter
