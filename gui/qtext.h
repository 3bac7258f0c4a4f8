#pragma once

// The boundary between the Shift_JIS core and Qt: every QString <-> core text
// conversion goes through here (and so through the one CP932 converter).

#include <QString>

#include <string>
#include <string_view>

namespace qtext {

QString ToQ(std::string_view sjisText);
// Shift_JIS bytes of a Qt text, as they are (line ends untouched).
std::string FromQ(const QString& text);
// Shift_JIS bytes of text coming from a Qt editor, the clipboard or a mail:
// bare LF and CR become CR LF.
std::string FromQText(const QString& text);
// Qt editor text of a core text: CR LF becomes "\n".
QString ToQText(std::string_view sjisText);

// Editor text that gives back bytes Shift_JIS cannot map (an unassigned
// code, a stray byte): each such character stands in the editor as one
// private-use character that holds its bytes, and FromQTextKeepingBytes
// turns it back into them. An edit elsewhere in the text leaves them as they
// were; deleting the stand-in deletes them. Used for free text the user keeps
// in a file of its own (the memo pad).
QString ToQTextKeepingBytes(std::string_view sjisText);
std::string FromQTextKeepingBytes(const QString& text);

} // namespace qtext
