#pragma once

// One record of the schedule file: the record line of an item, the six-field
// exchange line, and the parser that turns a record text back into an item.
// The store (schedlist.h) reads and writes whole files with these.

#include "core/eventdata.h"

#include <optional>
#include <string>
#include <string_view>

namespace schedrecord {

enum class LineForm {
    Record, // the line the schedule file holds
    Exchange, // date, times, place, category and alarm (the defined-field block)
};

// Why a record text gave no item.
enum class Fault {
    FieldCount, // not the fields of a record (a stray quote also ends here)
    Repeat, // the repeat word is no number
    Flags, // the flags field is no number
    Alarm, // neither an amount with a unit nor a preset index
    Date, // a CSV row whose date column is no date
};

// Appends the line of an item (without line end).
void Append(std::string& out, const TEventData& item, LineForm form);

// Parses a record: the full record line (with or without the "*" field of
// the change date) or the 11-field short record. A date field that does not
// read as a date gives -1 and the record is kept; a line end of LF alone
// counts as CR LF. What a field cannot hold is changed here, once: a line
// break or other control character in the subject, place and category (one
// line in every window) becomes a blank, blanks and control characters at
// the ends of the memo go, a double quote becomes "'" and a lead byte left
// without its trail byte at the end of a text "?". So an item read is
// written back as the same record. On a fault out is left half filled.
std::optional<Fault> Parse(std::string_view text, TEventData& out);

// Makes the item what its record line reads back as, so that the store holds
// what a save and a load give back.
void Settle(TEventData& item);

// True when a line begins as the writer begins every record: "*", a date
// and a comma. When a record of several lines does not read (a stray quote
// ran on), the file reader ends it before such a line that also reads as a
// record by itself.
bool IsRecordHead(std::string_view line);

} // namespace schedrecord
