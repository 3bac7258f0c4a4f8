#pragma once

// Transfer and character-set decoders for mail text. Everything comes out as
// Shift_JIS bytes; no decoder throws or reads past its input, whatever it is
// given.

#include <cstdint>
#include <string>
#include <string_view>

// JIS X 0208 row/cell bytes (top bits ignored) to Shift_JIS: the lead byte in
// the high eight bits, the trail byte in the low eight.
std::uint16_t JisToSjis(unsigned char j1, unsigned char j2);

// ISO-2022-JP to Shift_JIS. ESC $ B and ESC $ @ switch to double-byte pairs,
// ESC ( J and ESC ( B back; any escape takes three bytes. Text that ends inside
// an escape or a pair ends there.
std::string Iso2022JpToSjis(std::string_view text);

// EUC-JP to Shift_JIS: 0x8E introduces a half-width katakana byte, every other
// byte from 0x80 up starts a JIS X 0208 pair.
std::string EucJpToSjis(std::string_view text);

// Base64 body: bytes outside the alphabet (line ends, padding, 8-bit bytes)
// are skipped; a final group of two or three values yields one or two bytes.
std::string DecodeBase64(std::string_view text);

// Quoted-printable body: "=XX" gives the byte, "=" always takes the two bytes
// after it (so a soft line break vanishes), and an "=" at the end of the text
// takes what is left.
std::string DecodeQuotedPrintable(std::string_view text);

// Decodes the encoded words that start with prefix ("=?charset?B?" for
// base64 or "=?charset?Q?", found without regard to case) and converts their
// bytes to Shift_JIS by the prefix's character set (ISO-2022-JP, EUC-JP,
// UTF-8; any other is taken as Shift_JIS). A malformed word stays as it is;
// any other prefix leaves the text unchanged.
std::string DecodeEncodedWords(std::string_view text, std::string_view prefix);

// The ISO-2022-JP, EUC-JP, Shift_JIS and UTF-8 encoded words of a header,
// base64 and "Q", in one pass.
std::string DecodeMimeHeader(std::string_view header);

// Value of the parameter name (without "=") in a header value such as
// `multipart/mixed; boundary="xyz"`. The name is matched without regard to
// case and only where a parameter can start. A quoted value runs to the same
// quote (none: empty); an unquoted one ends at ";", a blank or a line end.
std::string GetHeaderParam(std::string_view value, std::string_view name);
