#include "core/strutils.h"

#include "core/sjis.h"

namespace {

bool HasNonBlank(std::string_view s)
{
    for (unsigned char c : s)
        if (c > 0x20)
            return true;
    return false;
}

} // namespace

std::string TruncateText(std::string_view text, int limit)
{
    if (limit == 0)
        return std::string(text);

    if (limit > 0) {
        std::size_t pos = 0;
        long budget = limit;
        while (pos < text.size() && text[pos] != '\0' && budget > 0) {
            const std::size_t len = sjis::CharLen(text, pos);
            pos += len;
            budget -= static_cast<long>(len);
        }
        std::string out = sjis::Trim(text.substr(0, pos));
        if (pos < text.size())
            out += "...";
        return out;
    }

    const std::size_t stop = text.find_first_of(std::string_view("\r\n\0", 3));
    if (stop == std::string_view::npos)
        return sjis::Trim(text);
    std::string out = sjis::Trim(text.substr(0, stop));
    // A memo that merely ends with a line break (or blank lines) has lost nothing.
    if (HasNonBlank(text.substr(stop)))
        out += "...";
    return out;
}

std::string ExtractBetween(std::string_view text, std::string_view startMarker,
                           std::string_view endMarker)
{
    std::size_t from = 0;
    if (!startMarker.empty()) {
        const std::size_t hit = sjis::Find(text, startMarker);
        if (hit == std::string_view::npos)
            return std::string();
        from = hit + startMarker.size();
    }
    std::size_t to = text.size();
    if (!endMarker.empty()) {
        to = sjis::Find(text, endMarker, from);
        if (to == std::string_view::npos)
            return std::string();
    }
    return sjis::Trim(text.substr(from, to - from));
}
