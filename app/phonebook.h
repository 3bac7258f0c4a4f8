#pragma once

// The phone book and memo pad files that lie beside the schedule file:
// ".tel" holds one entry a line as comma text (name, phone, mail address,
// note and any further fields an older or foreign writer left), ".mem" the
// memo pad's text. Both are Shift_JIS with CR LF line ends.

#include <string>
#include <string_view>
#include <vector>

namespace phonebook {

// Field 0 is the name, every further field a column of the entry (phone,
// mail address, note, then fields kept as they were read).
using Entry = std::vector<std::string>;

// The most fields a line is read into. A line with more holds no entry of
// ours: it is kept as it is and written back after the entries, so that
// reading it never takes memory for each of its items.
constexpr std::size_t kMaxFields = 32;

// The two files of a schedule file path.
std::string PhonePath(const std::string& schedulePath);
std::string MemoPath(const std::string& schedulePath);

// One line as an entry, its fields cleaned; false (and out untouched) for a
// line of fewer than two fields, which holds no entry, or of more than
// kMaxFields.
bool ParseLine(std::string_view line, Entry& out);
// The line of an entry, without line end. The name is always quoted; the
// other fields only where the comma-text rules need it, and a trailing empty
// field is written as "" so that it reads back as a field. Fields are
// written cleaned (CleanField), so that the line always reads back as the
// fields it was written from.
std::string FormatLine(const Entry& entry);

// The file text of entries and kept lines, each line ended by CR LF, and
// back: kept gets the lines of more than kMaxFields fields.
std::string FormatText(const std::vector<Entry>& entries,
                       const std::vector<std::string>& kept = {});
std::vector<Entry> ParseText(std::string_view text, std::vector<std::string>* kept = nullptr);

// A field as it is stored: without CR, LF and NUL, and with a lead byte that
// lacks its trail byte replaced by "?" (such a byte would swallow the quote
// or comma after it when the line is read again).
std::string CleanField(std::string_view field);

// Reads a file. A missing file gives true with exists == false and nothing
// read; a file that exists but cannot be read gives false and error.
bool LoadPhoneBook(const std::string& path, std::vector<Entry>& out, bool* exists,
                   std::string* error, std::vector<std::string>* kept = nullptr);
bool LoadMemo(const std::string& path, std::string& out, bool* exists, std::string* error);

// Writes a file atomically: on failure the old file stays whole and error
// says why.
bool SavePhoneBook(const std::string& path, const std::vector<Entry>& entries, std::string* error,
                   const std::vector<std::string>& kept = {});
// memo is Shift_JIS text; bare LF or CR become CR LF.
bool SaveMemo(const std::string& path, std::string_view memo, std::string* error);

} // namespace phonebook
