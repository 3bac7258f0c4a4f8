#pragma once

// Text utilities shared by the day digest and the readers of the defined-field
// block. Texts are Shift_JIS; lengths and positions count bytes.

#include <string>
#include <string_view>

// Shortens a memo for the day digest.
//  limit 0:  the text unchanged (not even trimmed);
//  limit >0: at most limit bytes, except that a double-byte character met
//            with one byte of budget left is kept whole (limit + 1 bytes);
//  limit <0: the first line only.
// The kept part is trimmed (bytes up to 0x20 at both ends); "..." follows it
// when text was left out: for limit > 0 when any byte follows the kept part,
// for limit < 0 when non-blank text follows the first line break.
std::string TruncateText(std::string_view text, int limit);

// The text between the first startMarker and the first endMarker behind it,
// trimmed. An empty startMarker means the start of the text, an empty
// endMarker its end. Markers match at character starts only, never on the
// trail byte of a double-byte character. A marker that does not occur gives
// an empty result.
std::string ExtractBetween(std::string_view text, std::string_view startMarker,
                           std::string_view endMarker);
