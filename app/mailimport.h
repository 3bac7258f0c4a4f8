#pragma once

// Schedules carried in mails: the defined-field block of a received or
// chosen mail becomes an item linked to that mail.

#include <string>
#include <string_view>

class TInitParam;
class TSchedList;
enum class BlockFault;

// Adds the item that the mail's defined-field block describes, linked to
// mailId, with the mail's cleaned subject and the body before the block as
// its memo. Unless force, the sender must be trusted (AUTOPICKUP and
// USERLIST); ALERMREJECT clears the alarm. source is the whole mail in
// Shift_JIS. True only when an item was added; the store's change notice
// saves it. When the block was read and refused, why tells the reason.
bool ImportFromMail(TSchedList& store, std::string_view source, const std::string& mailId,
                    bool force, const TInitParam& settings, BlockFault* why = nullptr);

// Whether the mail carries a defined-field block (a plain-text mail with both
// markers and something between them).
bool MailHasBlock(std::string_view source);
