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

} // namespace qtext
