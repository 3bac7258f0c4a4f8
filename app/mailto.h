#pragma once

// "mailto:" links of the program build, which has no mail client of its own:
// the user's mail program opens a new mail from the link. Texts come in as
// Shift_JIS; the link is plain ASCII.

#include <string>
#include <string_view>

// A Shift_JIS text percent-encoded from its UTF-8 form, which is what Linux
// mail programs decode. Every byte up to "@" (controls, blanks, digits and
// punctuation), every byte from 0x7F up and each of "[\]^`{|}" becomes "%"
// and two upper-case hexadecimal digits; the other letters stay.
std::string UrlEscape(std::string_view sjisText);

// "mailto:" + address. The address stays as the user wrote it, except what
// would end it or change the link's meaning: "?", "&", "#", "%", blanks,
// control characters and bytes outside ASCII are escaped.
std::string MailtoUrl(std::string_view sjisAddress);
// The same + "?Subject=" + the escaped subject.
std::string MailtoUrl(std::string_view sjisAddress, std::string_view sjisSubject);
