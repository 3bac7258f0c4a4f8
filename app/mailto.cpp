#include "app/mailto.h"

#include "app/settings/consts.h"
#include "core/sjis.h"

namespace {

void AppendEscaped(std::string& out, unsigned char byte)
{
    static const char digits[] = "0123456789ABCDEF";
    out += '%';
    out += digits[byte >> 4];
    out += digits[byte & 15];
}

bool KeptInSubject(unsigned char byte)
{
    return byte > '@' && byte < 0x7F &&
        std::string_view("[\\]^`{|}").find(char(byte)) == std::string_view::npos;
}

bool KeptInAddress(unsigned char byte)
{
    return byte > ' ' && byte < 0x7F &&
        std::string_view("?&#%").find(char(byte)) == std::string_view::npos;
}

template<typename Keep> std::string Escape(std::string_view sjisText, Keep keep)
{
    const std::string utf8 = sjis::ToUtf8(sjisText);
    std::string out;
    out.reserve(utf8.size() * 3);
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (keep(byte))
            out += c;
        else
            AppendEscaped(out, byte);
    }
    return out;
}

} // namespace

std::string UrlEscape(std::string_view sjisText)
{
    return Escape(sjisText, KeptInSubject);
}

std::string MailtoUrl(std::string_view sjisAddress)
{
    return strconst::MailtoPrefix() + Escape(sjisAddress, KeptInAddress);
}

std::string MailtoUrl(std::string_view sjisAddress, std::string_view sjisSubject)
{
    return MailtoUrl(sjisAddress) + "?Subject=" + UrlEscape(sjisSubject);
}
