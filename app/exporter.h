#pragma once

// Export of schedule items to text for other calendar software: vCalendar
// 1.0 (".vcs"), the CSV of a handheld organizer's PC program (".csv") and CSV
// laid out by a template of the user's (".cvf" in, ".csv" out). Each
// occurrence of a repeating item is one entry. Everything is Shift_JIS bytes
// and goes to a sink piece by piece as it is made, so that no output size
// needs memory of its size; putting the file in place and marking the
// exported items are the caller's, so that nothing is marked unless the file
// was written.

#include "core/days.h"
#include "core/eventdata.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TSchedList;

namespace exporter {

// The rows of the format table; the output file's extension selects one.
enum class ExportFormat { Unknown = 0, VCalendar = 1, Csv = 2, CsvTemplate = 3 };

// "不明", "vCalendar (for Palm Desktop v4.01日本語版)", ... (Shift_JIS).
const std::string& FormatName(ExportFormat format);
// ".vcs", ".csv", ".cvf"; empty for Unknown.
std::string_view FormatExtension(ExportFormat format);
// The format whose extension equals the name's (from its last dot after the
// last "/"), compared without regard to ASCII case.
ExportFormat FormatOfFileName(std::string_view fileName);

// Which items the export walks.
enum class ExportRange {
    Days = 0, // the items the calendar shows on each day from first to last
    UpdatedSince = 1, // visible items changed on or after first, every occurrence
    All = 2, // every visible item, every occurrence
};

// Items left out (the dialog's group "次の予定はエクスポートしない"). Items
// marked NoExport are always left out.
struct LeaveOut
{
    bool exported = true; // single items exported before
    bool repeating = false;
    bool secret = false;
    bool cancelled = true;
};

// One CSV column's value template, read once: literal text and placeholders
// with their byte limits, and the byte limit of the whole cell.
struct ColumnTemplate
{
    struct Part
    {
        std::string text; // literal text (key < 0)
        int key = -1; // index into the keywords; kUnknownKey gives ''
        int limit = 0; // bytes; 0 no limit
    };
    static constexpr int kUnknownKey = 99;
    std::vector<Part> parts;
    int cellLimit = 0;
    // The placeholder written in lower-case letters: no time for untimed
    // items instead of "00:00" / "24:00".
    bool emptyUntimedBegin = false;
    bool emptyUntimedEnd = false;
};

// A column "name:=value template" per line of a template file; lines
// without ":=" add no column. The header is the names, each in double quotes
// and followed by a comma, without a line end.
struct CsvTemplate
{
    std::string header;
    std::vector<ColumnTemplate> columns;
};
// "\n" (either case) in a value template stands for a line break.
ColumnTemplate ReadColumnTemplate(std::string_view valueTemplate);
CsvTemplate ReadTemplate(const std::vector<std::string>& lines);
// The lines of a template file (CR LF, LF or CR). False with the reason when
// it cannot be read; exists tells a missing file apart.
bool ReadTemplateFile(const std::string& path, CsvTemplate& out, std::string* error = nullptr,
                      bool* exists = nullptr);

// Same month and day one year after today; 29 February gives 28 February.
days::Day ExpansionLimit(days::Day today);

struct ExportRequest
{
    ExportFormat format = ExportFormat::VCalendar;
    ExportRange range = ExportRange::Days;
    days::Day first = 0; // Days: first day; UpdatedSince: the earliest UpdateDate
    days::Day last = 0; // Days only
    days::Day limit = 0; // repeating items stop after this day (UpdatedSince, All)
    LeaveOut leaveOut;
    bool headLine = true; // CSV: the names as the first line
    // CsvTemplate only: Csv has a built-in template (ten columns, eleven
    // header cells).
    CsvTemplate csv;
};

struct ExportResult
{
    std::string text; // Export only
    int entries = 0;
    // Single items written, to be marked Exported once the file is written.
    std::vector<std::uint64_t> exportedIds;
    bool cancelled = false;
    bool failed = false; // the sink refused a piece
};

// Called now and then with the steps done (days or items) out of the total;
// returning false stops the export (the result is then cancelled and empty).
using Progress = std::function<bool(std::int64_t done, std::int64_t total)>;
// Takes the next piece of the output; false stops the export (the result is
// then failed and empty).
using Sink = std::function<bool(std::string_view piece)>;
// Called with text built so far when it has grown large: may hand it on and
// clear it.
using Drain = std::function<void(std::string& text)>;

// The whole export, handed to sink piece by piece. The store is sorted
// first; its day list is left as it was; nothing else in it changes.
ExportResult ExportTo(TSchedList& store, const ExportRequest& request, const Sink& sink,
                      const Progress& progress = {});
// The same, the output in the result's text.
ExportResult Export(TSchedList& store, const ExportRequest& request, const Progress& progress = {});

// --- The pieces, for tests

// "yyyymmddThhmm00". Minutes of 1440 and more run into the following days;
// -1 (no time) is written as "T240000" of the day itself.
std::string VCalDateTime(days::Day day, std::int32_t minutes);
// "場所:" + place + CR LF when there is a place, then the memo, trimmed.
std::string PlaceAndMemo(const TEventData& item);
// The VEVENT of the occurrence on a day, ending in CR LF.
void VEventText(std::string& out, days::Day day, const TEventData& item);
// The CSV line of the occurrence on a day, ending in CR LF. With drain, a
// cell too large to be made in memory goes through it as it is made.
void TemplateLine(std::string& out, days::Day day, const TEventData& item,
                  const std::vector<ColumnTemplate>& columns, const Drain& drain = {});

} // namespace exporter
