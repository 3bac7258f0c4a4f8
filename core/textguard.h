#pragma once

// Keeps the text fields of schedule items safe to write between double
// quotes: no double quote (it becomes "'") and no lead byte left without its
// trail byte at the end (it becomes "?"), which would swallow the closing
// quote when the record is read back.

#include <string>
#include <string_view>

struct TEventData;

namespace textguard {

// True when the text ends with a lead byte that has no trail byte.
bool EndsWithLoneLeadByte(std::string_view text);
void CleanText(std::string& text);
// Cleans Subject, Place, DataType, MailID, MailKey, MailFolder, Memo and
// ExceptDates.
void CleanTextFields(TEventData& item);

} // namespace textguard
