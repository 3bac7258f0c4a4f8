// The record line of an item, the exchange line, and the record parser.

#include "core/schedrecord.h"

#include "core/commafields.h"
#include "core/sjis.h"
#include "core/textguard.h"

#include <algorithm>

namespace schedrecord {

namespace {

void AppendNumber(std::string& out, std::int64_t v)
{
    char buf[24];
    char* p = buf + sizeof buf;
    const bool neg = v < 0;
    std::uint64_t u = neg ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    do {
        *--p = static_cast<char>('0' + u % 10);
        u /= 10;
    } while (u);
    if (neg)
        *--p = '-';
    out.append(p, static_cast<std::size_t>(buf + sizeof buf - p));
}

void Append2(std::string& out, int v)
{
    out.push_back(static_cast<char>('0' + v / 10));
    out.push_back(static_cast<char>('0' + v % 10));
}

// "yyyy/mm/dd", whatever the locale.
void AppendDate(std::string& out, days::Day day)
{
    const days::Ymd d = days::Decode(day);
    if (d.year < 0 || d.year > 9999) {
        out += days::Format(day);
        return;
    }
    Append2(out, d.year / 100);
    Append2(out, d.year % 100);
    out.push_back('/');
    Append2(out, d.month);
    out.push_back('/');
    Append2(out, d.day);
}

void AppendTime(std::string& out, std::int32_t minutes)
{
    if (minutes < 0) {
        AppendNumber(out, minutes);
        return;
    }
    const int h = minutes / 60;
    if (h < 10)
        out.push_back('0');
    AppendNumber(out, h);
    out.push_back(':');
    Append2(out, minutes % 60);
}

// A text field's contents: quotes doubled, and a lone lead byte at the end
// (which would swallow the closing quote) written as "?".
void AppendEscaped(std::string& out, std::string_view s)
{
    const bool lone = textguard::EndsWithLoneLeadByte(s);
    if (lone)
        s.remove_suffix(1);
    if (s.find('"') == std::string_view::npos) {
        out.append(s);
    } else {
        for (char c : s) {
            if (c == '"')
                out.push_back('"');
            out.push_back(c);
        }
    }
    if (lone)
        out.push_back('?');
}

void AppendQuoted(std::string& out, std::string_view s)
{
    out.push_back('"');
    AppendEscaped(out, s);
    out.push_back('"');
}

const char kLinkSeparator[] = "\\:\\";

// A subject, place or category: one line, each line break or other control
// character a blank (as the exports write them).
void KeepOneLine(std::string& text)
{
    std::replace_if(
        text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 32; }, ' ');
}

} // namespace

void Append(std::string& out, const TEventData& e, LineForm form)
{
    if (form == LineForm::Exchange) {
        AppendDate(out, e.NextDate);
        out.push_back(',');
        AppendTime(out, e.StartTime);
        out.push_back(',');
        AppendTime(out, e.EndTime);
        out.push_back(',');
        AppendQuoted(out, e.Place);
        out.push_back(',');
        AppendQuoted(out, e.DataType);
        out.push_back(',');
        out += AlarmText(e.AlarmBefore, e.AlarmUnit);
        return;
    }
    out.push_back('*');
    AppendDate(out, e.UpdateDate);
    out.push_back(',');
    AppendDate(out, e.Date);
    out.push_back(',');
    if (e.Repeat != 0) {
        if (e.LimitDate < 0)
            out += "-1";
        else
            AppendDate(out, e.LimitDate);
        out.push_back(',');
    }
    AppendTime(out, e.StartTime);
    out.push_back(',');
    AppendTime(out, e.EndTime);
    out.push_back(',');
    if (e.Repeat != 0) {
        static const char hex[] = "0123456789ABCDEF";
        char buf[12];
        char* q = buf + sizeof buf;
        std::uint32_t v = e.Repeat;
        do {
            *--q = hex[v & 15];
            v >>= 4;
        } while (v);
        *--q = '$';
        out.append(q, static_cast<std::size_t>(buf + sizeof buf - q));
        out.push_back(',');
    }
    AppendQuoted(out, e.Subject);
    out.push_back(',');
    AppendQuoted(out, e.Place);
    out.push_back(',');
    AppendQuoted(out, e.DataType);
    out.push_back(',');
    // The folder is written even without a key, so that it survives.
    out.push_back('"');
    AppendEscaped(out, e.MailID);
    if (!e.MailKey.empty() || !e.MailFolder.empty()) {
        out += kLinkSeparator;
        AppendEscaped(out, e.MailKey);
    }
    if (!e.MailFolder.empty()) {
        out += kLinkSeparator;
        AppendEscaped(out, e.MailFolder);
    }
    out.push_back('"');
    out.push_back(',');
    int p = 0;
    if (e.Priority == 4)
        p = 8;
    else if (e.Priority >= 0 && e.Priority <= 3)
        p = e.Priority * 16;
    const int flags = (e.KindBits & 7) + p + (e.Cancelled ? 64 : 0) + (e.NoExport ? 128 : 0) +
        (e.Exported ? 256 : 0) + (e.Done ? 512 : 0);
    AppendNumber(out, flags);
    out += e.OpenMail ? ",1," : ",0,";
    out += AlarmText(e.AlarmBefore, e.AlarmUnit);
    out.push_back(',');
    AppendQuoted(out, e.Memo);
    if (e.Repeat != 0 && !e.ExceptDates.empty()) {
        out.push_back(',');
        AppendQuoted(out, e.ExceptDates);
    }
}

std::optional<Fault> Parse(std::string_view text, TEventData& e)
{
    // The comma appended to the record makes an empty last field count.
    // The buffers are reused from record to record (records are read on one
    // thread). They are not thread_local: a thread-local object with a
    // destructor would keep the plug-in library in memory after the host
    // unloaded it.
    static std::string buffer;
    // Line ends inside a record are CR LF, also where the text had LF alone.
    if (text.find('\n') == std::string_view::npos) {
        buffer.assign(text);
    } else {
        buffer.clear();
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
                buffer.push_back('\r');
            buffer.push_back(text[i]);
        }
    }
    buffer.push_back(',');
    static commafields::Fields<16> f;
    f.Split(buffer);
    if (f.count > 15)
        return Fault::FieldCount;
    std::size_t n = f.count;
    std::string_view* v = f.field.data();
    std::size_t first = 0;
    e.UpdateDate = 0;
    if (n > 0 && !v[0].empty() && v[0][0] == '*') {
        // A date field that does not read costs the date, not the record:
        // the user's text is in the other fields.
        e.UpdateDate = StrToDay(v[0].substr(1));
        first = 1;
        --n;
    }
    v += first;
    e.LimitDate = -1;
    e.Repeat = 0;
    e.ExceptDates.clear();
    std::string_view fields[11];
    if (n == 14) {
        e.ExceptDates.assign(v[13]);
        n = 13;
    }
    if (n == 13) {
        e.LimitDate = StrToDay(v[1]); // "-1": no last day
        std::int64_t r;
        if (!sjis::ParseInteger(v[4], r))
            return Fault::Repeat;
        e.Repeat = static_cast<std::uint32_t>(r);
        fields[0] = v[0];
        fields[1] = v[2];
        fields[2] = v[3];
        for (int i = 3; i < 11; ++i)
            fields[i] = v[i + 2];
    } else if (n == 11) {
        for (int i = 0; i < 11; ++i)
            fields[i] = v[i];
    } else {
        return Fault::FieldCount;
    }
    e.Date = StrToDay(fields[0]);
    e.StartTime = StrToMinutes(fields[1]);
    e.EndTime = StrToMinutes(fields[2]);
    e.HasTime = e.StartTime >= 0 && e.StartTime < e.EndTime;
    e.Subject.assign(fields[3]);
    e.Place.assign(fields[4]);
    e.DataType.assign(fields[5]);

    // The link: mail ID, key and folder separated by "\:\".
    const std::string_view link = fields[6];
    std::string_view parts[3];
    std::size_t start = 0;
    for (int i = 0; i < 3 && start <= link.size(); ++i) {
        const std::size_t hit = sjis::Find(link, kLinkSeparator, start);
        if (hit == std::string_view::npos) {
            parts[i] = link.substr(start);
            break;
        }
        parts[i] = link.substr(start, hit - start);
        start = hit + 3;
    }
    e.MailID.assign(parts[0]);
    e.MailKey.assign(parts[1]);
    e.MailFolder.assign(parts[2]);

    std::int64_t flags;
    if (!sjis::ParseInteger(fields[7], flags))
        return Fault::Flags;
    const auto bits = static_cast<std::uint32_t>(flags);
    e.KindBits = static_cast<std::int32_t>(bits & 7);
    e.Priority = (bits & 8) ? 4 : static_cast<std::int32_t>((bits >> 4) & 3);
    e.Cancelled = bits & 64;
    e.NoExport = bits & 128;
    e.Exported = bits & 256;
    e.Done = bits & 512;
    e.OpenMail = fields[8] == "1";
    if (!ParseAlarm(fields[9], e.AlarmBefore, e.AlarmUnit))
        return Fault::Alarm;
    std::string_view memo = fields[10];
    while (!memo.empty() && static_cast<unsigned char>(memo.front()) <= 32)
        memo.remove_prefix(1);
    while (!memo.empty() && static_cast<unsigned char>(memo.back()) <= 32)
        memo.remove_suffix(1);
    e.Memo.assign(memo);
    KeepOneLine(e.Subject);
    KeepOneLine(e.Place);
    KeepOneLine(e.DataType);
    textguard::CleanTextFields(e);
    return std::nullopt;
}

void Settle(TEventData& item)
{
    textguard::CleanTextFields(item);
    std::string line;
    Append(line, item, LineForm::Record);
    TEventData back = item;
    if (!Parse(line, back))
        item = std::move(back);
}

bool IsRecordHead(std::string_view line)
{
    // "*", then year, month and day of one to four, two and two digits
    // joined by one separator, then the comma.
    std::size_t p = 0;
    auto digits = [&](std::size_t most) {
        const std::size_t start = p;
        while (p < line.size() && p - start < most && line[p] >= '0' && line[p] <= '9')
            ++p;
        return p > start;
    };
    if (line.empty() || line[p++] != '*' || !digits(4) || p >= line.size())
        return false;
    const char separator = line[p++];
    if (separator != '/' && separator != '-' && separator != '.')
        return false;
    if (!digits(2) || p >= line.size() || line[p++] != separator || !digits(2))
        return false;
    return p < line.size() && line[p] == ',';
}

} // namespace schedrecord
