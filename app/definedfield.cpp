#include "app/definedfield.h"

#include "app/settings/consts.h"
#include "core/schedlist.h"
#include "core/sjis.h"
#include "core/strutils.h"
#include "core/textguard.h"

#include <vector>

namespace {

// The day an item travels with: its current occurrence, or for a series
// that has ended (no occurrence left) the last one it had.
days::Day ExchangeDate(const TSchedList& store, const TEventData& item)
{
    if (item.NextDate >= 0 || item.Repeat == 0)
        return item.NextDate >= 0 ? item.NextDate : item.Date;
    days::Day last = -1;
    for (days::Day day = store.NextOccurrence(item, item.Date); day > last;
         day = store.NextOccurrence(item, day + 1))
        last = day;
    return last >= 0 ? last : item.Date;
}

// A time field: "-1" (or any negative number) for none, else hours and
// minutes. The empty text and anything else do not convert.
bool ReadTime(std::string_view text, std::int32_t& minutes)
{
    if (text.size() > 1 && text[0] == '-' && text.find_first_not_of("0123456789", 1) == text.npos) {
        minutes = -1;
        return true;
    }
    minutes = StrToMinutes(text);
    return !text.empty() && minutes >= 0;
}

void AppendQuoted(std::string& out, std::string text)
{
    textguard::CleanText(text);
    out.push_back('"');
    out += text;
    out += "\",";
}

} // namespace

std::string DefinedFieldBlock(const TSchedList& store, const TEventData& item)
{
    std::string block = strconst::BlockStart();
    block += "\r\n";
    if (item.NextDate >= 0) {
        block += store.EventToLine(item, 2);
    } else {
        TEventData ended = item;
        ended.NextDate = ExchangeDate(store, item);
        block += store.EventToLine(ended, 2);
    }
    block += "\r\n";
    block += strconst::BlockEnd();
    block += "\r\n";
    return block;
}

std::string CopyText(const TSchedList& store, const TEventData& item)
{
    return item.Subject + "\r\n" + item.Memo + "\r\n" + DefinedFieldBlock(store, item);
}

std::string SendText(const TSchedList& store, const TEventData& item)
{
    return item.Memo + "\r\n" + DefinedFieldBlock(store, item);
}

TBlockRecord ReadDefinedBlock(std::string_view text, const TBlockOrigin& origin)
{
    TBlockRecord result;
    const std::string normal = sjis::ToCrLf(text);
    const std::string line = ExtractBetween(normal, strconst::BlockStart(), strconst::BlockEnd());
    if (line.empty()) {
        result.Fault = BlockFault::NoBlock;
        return result;
    }
    // The appended comma keeps an empty last field.
    const std::vector<std::string> fields = sjis::ReadCommaText(line + ",");
    if (fields.size() != 6) {
        result.Fault = BlockFault::FieldCount;
        return result;
    }
    days::Day date;
    std::int32_t start, end, amount, unit;
    if (!TryStrToDay(fields[0], date))
        result.Fault = BlockFault::Date;
    else if (!days::IsShown(date))
        result.Fault = BlockFault::NotShown;
    else if (!ReadTime(fields[1], start))
        result.Fault = BlockFault::StartTime;
    else if (!ReadTime(fields[2], end))
        result.Fault = BlockFault::EndTime;
    else if (!origin.DropAlarm && !ParseAlarm(fields[5], amount, unit))
        result.Fault = BlockFault::Alarm;
    if (result.Fault != BlockFault::None)
        return result;

    // The fields that converted are written in the record's own form, so
    // that nothing in them can shift the fields behind.
    std::string& record = result.Record;
    const std::size_t marker = sjis::Find(normal, strconst::BlockStart());
    record.reserve(marker + 128);
    AppendQuoted(record, days::Format(date));
    AppendQuoted(record, TimeText(start));
    AppendQuoted(record, TimeText(end));
    AppendQuoted(record, origin.Subject);
    AppendQuoted(record, fields[3]);
    AppendQuoted(record, fields[4]);
    AppendQuoted(record, origin.MailID);
    record += "4,1,";
    AppendQuoted(record, origin.DropAlarm ? std::string("0") : AlarmText(amount, unit));
    AppendQuoted(record, normal.substr(0, marker));
    record.pop_back(); // the comma after the last field
    return result;
}

TBlockRecord ReadClipboardBlock(std::string_view text, bool dropAlarm)
{
    // The line end in front of the block belongs to its start marker, so it
    // is not trimmed away with the blanks in front of the text.
    const std::string copied = sjis::ToCrLf(text);
    const std::string trimmed = sjis::TrimLeft(copied);
    const std::string_view marker = std::string_view(strconst::BlockStart()).substr(2);
    TBlockOrigin origin;
    if (!trimmed.starts_with(marker))
        origin.Subject = trimmed.substr(0, trimmed.find("\r\n"));
    origin.DropAlarm = dropAlarm;
    return ReadDefinedBlock(copied, origin);
}

std::string CleanSubject(std::string_view subject)
{
    static const std::string_view marks[] = { "Re:", "Fwd:", "Fw:" };
    const std::string& scheduleMark = SJ("[予定]");
    std::string_view rest = subject;
    for (;;) {
        while (!rest.empty() && static_cast<unsigned char>(rest.front()) <= 32)
            rest.remove_prefix(1);
        std::size_t taken = 0;
        for (std::string_view mark : marks)
            if (rest.size() >= mark.size() && sjis::EqualsNoCase(rest.substr(0, mark.size()), mark))
                taken = mark.size();
        if (!taken && rest.size() >= scheduleMark.size() &&
            sjis::EqualsNoCase(rest.substr(0, scheduleMark.size()), scheduleMark))
            taken = scheduleMark.size();
        if (!taken)
            break;
        rest.remove_prefix(taken);
    }
    return sjis::Trim(rest);
}
