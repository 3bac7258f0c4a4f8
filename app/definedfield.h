#pragma once

// The defined-field block: an item's date, times, place, category and alarm
// as one exchange line between two marker lines, so that the item can travel
// as text (the clipboard, a mail) and be read back by another Kalvero. The
// subject and the memo travel outside the block, in plain words.

#include "core/eventdata.h"

#include <string>

class TSchedList;

// The block byte for byte: the start marker (which begins with CR LF), CR LF,
// the exchange line of the item's current occurrence, CR LF, the end marker,
// CR LF.
std::string DefinedFieldBlock(const TSchedList& store, const TEventData& item);

// What copying an item puts on the clipboard: the subject, CR LF, the memo,
// CR LF, then the block.
std::string CopyText(const TSchedList& store, const TEventData& item);
