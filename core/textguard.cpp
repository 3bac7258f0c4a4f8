#include "core/textguard.h"

#include "core/eventdata.h"
#include "core/sjis.h"

#include <algorithm>

namespace textguard {

bool EndsWithLoneLeadByte(std::string_view text)
{
    // A run of bytes from the lead range that follows a byte outside it (or
    // the start) begins at a character start and pairs up lead and trail: the
    // last byte stands alone when the run is odd.
    std::size_t run = 0;
    for (std::size_t i = text.size();
         i > 0 && sjis::IsLeadByte(static_cast<unsigned char>(text[i - 1])); --i)
        ++run;
    return run % 2 == 1;
}

void CleanText(std::string& text)
{
    // A double quote is never a trail byte, so a byte-wise replacement is safe.
    if (text.find('"') != std::string::npos)
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
