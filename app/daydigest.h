#pragma once

// The day digest: the coming days' items as plain text in "memo.txt" of the
// host's current mailbox, where the mail client shows it. It is read inside
// the mail client, where no password guards it, so secret items never
// appear in it.

#include "core/days.h"

#include <string>

class TSchedList;

struct TDigestOptions
{
    // Days after today that are listed too (DAYCOUNT).
    int DayCount = 0;
    // How much of a memo is shown (MEMOLIMIT, see TruncateText).
    int MemoLimit = 0;
    // Days without items are left out (NOMEMOSCHED).
    bool SkipEmptyDays = true;
};

// The digest of today and the DayCount days after it: per day a heading,
// then each visible item that is not secret (subject, time, place, memo),
// or a line saying there is none. Empty when SkipEmptyDays leaves no day.
// The store's day list is left as it was.
std::string DigestText(TSchedList& store, days::Day today, const TDigestOptions& options);

enum class DigestWrite {
    Nothing, // no text to write: the file was not touched
    AlreadyThere, // the file holds this digest already
    Written,
    Failed, // told the user; the file is as it was
};

// The path of the digest file in a mailbox folder; empty without a folder.
std::string DigestPath(const std::string& mailBoxFolder);

// Writes the digest text to path: replacing the file with replace, else in
// front of the old contents unless they hold the text already. The file is
// written whole or not at all (a new one owner-only). An empty path, a
// missing folder, or a file that cannot be read or written is reported
// through the report module.
DigestWrite WriteDigest(const std::string& path, const std::string& text, bool replace);
