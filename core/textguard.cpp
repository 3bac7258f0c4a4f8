#include "core/textguard.h"

#include "core/eventdata.h"
#include "core/sjis.h"

#include <algorithm>

namespace textguard {

bool EndsWithLoneLeadByte(std::string_view text)
{
    if (text.empty() || !sjis::IsLeadByte(static_cast<unsigned char>(text.back())))
        return false;
    // The last byte may be the trail byte of a character: step from the start.
    std::size_t i = 0;
    while (i + 1 < text.size())
        i += sjis::CharLen(text, i);
    return i == text.size() - 1;
}

void CleanText(std::string& text)
{
    // A double quote is never a trail byte, so a byte-wise replacement is safe.
    std::replace(text.begin(), text.end(), '"', '\'');
    if (EndsWithLoneLeadByte(text))
        text.back() = '?';
}

void CleanTextFields(TEventData& item)
{
    for (std::string* s : { &item.Subject, &item.Place, &item.DataType, &item.MailID, &item.MailKey,
                            &item.MailFolder, &item.Memo, &item.ExceptDates })
        CleanText(*s);
}

} // namespace textguard
