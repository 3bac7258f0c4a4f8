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

// One export run: the request, the output and the items to mark.
class TExportRun
{
public:
    TExportRun(TSchedList& store, const ExportRequest& request, const Progress& progress)
        : store_(store), request_(request),
          csv_(request.format == ExportFormat::Csv ? BuiltInTemplate() : request.csv),
          progress_(progress)
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

    TSchedList& store_;
    const ExportRequest& request_;
    const CsvTemplate& csv_;
    const Progress& progress_;
    ExportResult result_;
    std::int64_t done_ = 0;
    std::int64_t total_ = 0;
    bool stopped_ = false;
};

bool TExportRun::Tick()
{
    if (!stopped_ && progress_ && !progress_(done_, total_))
        stopped_ = true;
    return !stopped_;
}

void TExportRun::ExportOccurrence(const TEventData& item, days::Day day)
{
    if (request_.format == ExportFormat::VCalendar)
        VEventText(result_.text, day, item);
    else
        TemplateLine(result_.text, day, item, csv_.columns);
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
        result_.text.append(kVCalHeader);
        result_.text.append(kCrLf);
    } else if (request_.headLine) {
        result_.text.append(csv_.header);
        result_.text.append(kCrLf);
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
    if (stopped_ || !Tick()) {
        ExportResult cancelled;
        cancelled.cancelled = true;
        return cancelled;
    }
    if (request_.format == ExportFormat::VCalendar)
        result_.text.append(kVCalFooter);
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
                  const std::vector<ColumnTemplate>& columns)
{
    const days::Moment alarm = AlarmMoment(item, day);
    std::string cell;
    for (const ColumnTemplate& column : columns) {
        cell.clear();
        for (const ColumnTemplate::Part& part : column.parts) {
            if (part.key < 0)
                cell += part.text;
            else if (part.limit > 0)
                cell += LeftStrBytes(TemplateValue(part.key, day, item, column, alarm), part.limit);
            else
                cell += TemplateValue(part.key, day, item, column, alarm);
        }
        out += '"';
        out += sjis::Trim(column.cellLimit > 0 ? LeftStrBytes(cell, column.cellLimit) : cell);
        out += "\",";
    }
    out += kCrLf;
}

ExportResult Export(TSchedList& store, const ExportRequest& request, const Progress& progress)
{
    return TExportRun(store, request, progress).Run();
}

} // namespace exporter
