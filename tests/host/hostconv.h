#pragma once

// The test host's own text conversions, with iconv and nothing of the
// plug-in's: a mail client converts its mails itself.

#include <QString>

#include <string>
#include <string_view>

namespace hostconv {

// ISO-2022-JP (the raw mail) to Shift_JIS (CP932). Bytes that are no
// ISO-2022-JP are copied as they are.
std::string Iso2022JpToSjis(std::string_view text);
// Shift_JIS to ISO-2022-JP.
std::string SjisToIso2022Jp(std::string_view text);
// Any charset iconv knows to Shift_JIS; the bytes unchanged for an unknown one.
std::string ToSjis(std::string_view text, const std::string& charset);

QString FromSjis(std::string_view text);
std::string ToSjis(const QString& text);

// A header value with its encoded words (=?charset?B|Q?...?=) decoded, in
// Shift_JIS.
std::string DecodeHeader(std::string_view value);

} // namespace hostconv
