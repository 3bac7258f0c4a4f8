#pragma once

// An allocation-free reader of comma text for the record parser: it splits
// exactly as sjis::ReadCommaText does, into views of the text (a field with
// doubled quotes is collapsed into a buffer of its own).

#include "core/sjis.h"

#include <array>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace commafields {

// Splits text by the comma-text reading rules (exactly those of
// sjis::ReadCommaText) into views, without allocating for fields that hold no
// doubled quote. At most N fields are kept; count tells how many there were.
template<std::size_t N> struct Fields
{
    std::array<std::string_view, N> field;
    std::array<std::string, N> owned;
    std::size_t count = 0;

    void Split(std::string_view text)
    {
        count = 0;
        const std::size_t n = text.size();
        const char* s = text.data();
        auto sep = [&](std::size_t p) { return static_cast<unsigned char>(s[p]) <= 32; };
        std::size_t p = 0;
        while (p < n && sep(p))
            ++p;
        while (p < n) {
            std::string_view item;
            if (s[p] == '"') {
                ++p;
                const std::size_t b = p;
                bool doubled = false;
                std::size_t e = n;
                while (p < n) {
                    // Jump to the next quote; it ends the item only when the
                    // character stepping from b lands on it, that is when the
                    // run of lead-range bytes before it is even.
                    const void* hit = std::memchr(s + p, '"', n - p);
                    if (!hit) {
                        p = n;
                        break;
                    }
                    std::size_t q = static_cast<const char*>(hit) - s;
                    std::size_t run = 0;
                    while (q - run > p &&
                           sjis::IsLeadByte(static_cast<unsigned char>(s[q - run - 1])))
                        ++run;
                    if (run % 2 == 1) {
                        // The quote is the trail byte of a character.
                        p = q + 1;
                        continue;
                    }
                    if (q + 1 < n && s[q + 1] == '"') {
                        doubled = true;
                        p = q + 2;
                        continue;
                    }
                    e = q;
                    p = q + 1;
                    break;
                }
                item = text.substr(b, e - b);
                if (doubled && count < N) {
                    // Collapse the doubled quotes, stepping by characters as
                    // the scan did.
                    std::string& o = owned[count];
                    o.clear();
                    for (std::size_t i = 0; i < item.size();) {
                        if (item[i] == '"') {
                            o.push_back('"');
                            i += 2;
                            continue;
                        }
                        std::size_t len = sjis::CharLen(item, i);
                        o.append(item.substr(i, len));
                        i += len;
                    }
                    item = o;
                }
            } else {
                const std::size_t b = p;
                while (p < n) {
                    const unsigned char c = static_cast<unsigned char>(s[p]);
                    if (c <= 32 || c == ',')
                        break;
                    p += c < 0x80 ? 1 : sjis::CharLen(text, p);
                }
                item = text.substr(b, p - b);
            }
            if (count < N)
                field[count] = item;
            ++count;
            while (p < n && sep(p))
                ++p;
            if (p < n && s[p] == ',') {
                ++p;
                while (p < n && sep(p))
                    ++p;
            }
        }
    }
};

} // namespace commafields
