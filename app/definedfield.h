#pragma once

// The defined-field block: an item's date, times, place, category and alarm
// as one exchange line between two marker lines, so that the item can travel
// as text (the clipboard, a mail) and be read back by another Kalvero. The
// subject and the memo travel outside the block, in plain words.

#include "core/eventdata.h"

#include <string>
#include <string_view>

class TSchedList;

// The block byte for byte: the start marker (which begins with CR LF), CR LF,
// the exchange line of the item's current occurrence, CR LF, the end marker,
// CR LF. A series that has ended travels with its last occurrence.
std::string DefinedFieldBlock(const TSchedList& store, const TEventData& item);

// What copying an item puts on the clipboard: the subject, CR LF, the memo,
// CR LF, then the block.
std::string CopyText(const TSchedList& store, const TEventData& item);

// What sending an item through a mail link puts on the clipboard (the
// subject travels in the link): the memo, CR LF, then the block.
std::string SendText(const TSchedList& store, const TEventData& item);

// Why a text gave no record. A damaged block costs only itself: the reader
// never yields a record that the store's parser would misread.
enum class BlockFault {
    None,
    NoBlock, // no start marker, no end marker behind it, or nothing between
    FieldCount, // the exchange line does not split into exactly six fields
    Date, // no date, or an impossible one
    NotShown, // a date the calendar does not show (before 1900)
    StartTime, // neither a time nor "-1"
    EndTime,
    Alarm, // neither an amount with a unit nor a preset index
};

// What an import puts around the block's six fields.
struct TBlockOrigin
{
    std::string Subject;
    // The mail the item is linked to; empty from the clipboard.
    std::string MailID;
    // Clears the alarm the block carries (the alarm field is then not read).
    bool DropAlarm = false;
};

struct TBlockRecord
{
    BlockFault Fault = BlockFault::None;
    // The eleven-field record for TSchedList::AddFromLine: date, start, end,
    // subject, place, category, mail link, flags "4" (shown under every
    // category filter), open-mail "1", alarm, memo. Every text field is
    // quoted with its double quotes turned into "'". Empty unless Fault is
    // None.
    std::string Record;
};

// The one reader of the block, for mails and the clipboard alike. Bare LF and
// bare CR in text count as CR LF; the block is the exchange line between the
// first start marker and the first end marker behind it, and the memo is the
// text before that start marker.
TBlockRecord ReadDefinedBlock(std::string_view text, const TBlockOrigin& origin);

// What copied text gives. The blanks and control characters in front of the
// text are left out, the subject is the first line as it stands (a "Re:"
// stays; none when the text begins with the block, as sent text without a
// memo does) and there is no mail link. Since the start marker begins with a
// line end, a block needs at least a line end before it.
TBlockRecord ReadClipboardBlock(std::string_view text, bool dropAlarm);

// A mail subject without the reply, forward and schedule marks that mails
// collect in front of it: "Re:", "Fw:", "Fwd:" and "[予定]" (any letter case,
// any number of them, with the blanks around them) are taken from its start;
// the rest is trimmed. Text further on is left alone ("Score: 5" stays).
std::string CleanSubject(std::string_view subject);
