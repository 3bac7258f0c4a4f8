// The schedule file: record lines, their parser, the reader and writer, and
// the CSV import.

#include "core/commafields.h"
#include "core/files.h"
#include "core/recurrence.h"
#include "core/report.h"
#include "core/schedlist.h"
#include "core/sjis.h"
#include "core/textguard.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

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

// An integer as the class library's conversion reads it: optional sign, then
// decimal digits, or "$"/"0x" and up to eight hexadecimal digits.
bool ParseInteger(std::string_view s, std::int64_t& value)
{
    std::size_t p = 0;
    bool neg = false;
    if (p < s.size() && (s[p] == '-' || s[p] == '+'))
        neg = s[p++] == '-';
    bool hex = false;
    if (p < s.size() && s[p] == '$') {
        hex = true;
        ++p;
    } else if (p + 1 < s.size() && s[p] == '0' && (s[p + 1] == 'x' || s[p + 1] == 'X')) {
        hex = true;
        p += 2;
    }
    if (p >= s.size())
        return false;
    std::int64_t v = 0;
    for (; p < s.size(); ++p) {
        const char c = s[p];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if (hex && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            return false;
        v = v * (hex ? 16 : 10) + digit;
        if (v > (hex ? 0xFFFFFFFFLL : 0x80000000LL))
            return false;
    }
    if (!hex && !neg && v > 0x7FFFFFFFLL)
        return false;
    value = neg ? -v : v;
    return true;
}

bool IsBlank(std::string_view s)
{
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) <= 32; });
}

std::string BackupName(const std::string& file)
{
    std::string bak = files::ChangeExt(file, ".bak");
    return bak == file ? file + ".bak" : bak;
}

// Sets Loading for the lifetime of the object and always clears it.
struct LoadingScope
{
    bool& flag;
    explicit LoadingScope(bool& f) : flag(f) { flag = true; }
    ~LoadingScope() { flag = false; }
};

// CSV fields: separated by commas alone; a field that begins with a double
// quote runs to the next undoubled one (doubled quotes stand for one);
// blanks around unquoted fields are trimmed.
std::vector<std::string> SplitCsv(std::string_view text)
{
    std::vector<std::string> fields;
    const std::size_t n = text.size();
    std::size_t p = 0;
    for (;;) {
        while (p < n && text[p] != ',' && static_cast<unsigned char>(text[p]) <= 32)
            ++p;
        std::string field;
        if (p < n && text[p] == '"') {
            ++p;
            while (p < n) {
                if (text[p] == '"') {
                    if (p + 1 < n && text[p + 1] == '"') {
                        field.push_back('"');
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                const std::size_t len = sjis::CharLen(text, p);
                field.append(text.substr(p, len));
                p += len;
            }
            // Text between the closing quote and the comma is kept.
            const std::size_t b = p;
            while (p < n && text[p] != ',')
                p += sjis::CharLen(text, p);
            field += sjis::TrimRight(text.substr(b, std::min(p, n) - b));
        } else {
            const std::size_t b = p;
            while (p < n && text[p] != ',')
                p += sjis::CharLen(text, p);
            field = sjis::Trim(text.substr(b, std::min(p, n) - b));
        }
        fields.push_back(std::move(field));
        if (p >= n)
            break;
        ++p; // the comma
    }
    return fields;
}

std::string FirstLine(std::string_view s)
{
    const std::size_t e = s.find_first_of("\r\n");
    return std::string(e == std::string_view::npos ? s : s.substr(0, e));
}

} // namespace

void TSchedList::AppendEventLine(std::string& out, const TEventData& e, int mode) const
{
    if (mode == 2) {
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
        AppendNumber(out, e.AlarmBefore);
        out.push_back('@');
        out += AlarmUnitName(e.AlarmUnit);
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
    AppendNumber(out, e.AlarmBefore);
    out.push_back('@');
    out += AlarmUnitName(e.AlarmUnit);
    out.push_back(',');
    AppendQuoted(out, e.Memo);
    if (e.Repeat != 0 && !e.ExceptDates.empty()) {
        out.push_back(',');
        AppendQuoted(out, e.ExceptDates);
    }
}

std::string TSchedList::EventToLine(const TEventData& item, int mode) const
{
    std::string out;
    AppendEventLine(out, item, mode);
    return out;
}

bool TSchedList::ParseRecord(std::string_view text, TEventData& e) const
{
    // The comma appended to the record makes an empty last field count.
    thread_local std::string buffer;
    buffer.assign(text);
    buffer.push_back(',');
    thread_local commafields::Fields<16> f;
    f.Split(buffer);
    std::size_t n = std::min<std::size_t>(f.count, 16);
    if (f.count > 15)
        return false;
    std::string_view* v = f.field.data();
    std::size_t first = 0;
    e.UpdateDate = 0;
    if (n > 0 && !v[0].empty() && v[0][0] == '*') {
        if (!TryStrToDay(v[0].substr(1), e.UpdateDate))
            return false;
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
        if (!TryStrToDay(v[1], e.LimitDate)) {
            // "-1" (no limit) is no date; an impossible date is damage.
            if (LooksLikeDate(v[1]))
                return false;
            e.LimitDate = -1;
        }
        std::int64_t r;
        if (!ParseInteger(v[4], r))
            return false;
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
        return false;
    }
    if (!TryStrToDay(fields[0], e.Date))
        return false;
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
    if (!ParseInteger(fields[7], flags))
        return false;
    const auto bits = static_cast<std::uint32_t>(flags);
    e.KindBits = static_cast<std::int32_t>(bits & 7);
    e.Priority = (bits & 8) ? 4 : static_cast<std::int32_t>((bits >> 4) & 3);
    e.Cancelled = bits & 64;
    e.NoExport = bits & 128;
    e.Exported = bits & 256;
    e.Done = bits & 512;
    e.OpenMail = fields[8] == "1";
    if (!ParseAlarm(fields[9], e.AlarmBefore, e.AlarmUnit))
        return false;
    std::string_view memo = fields[10];
    while (!memo.empty() && static_cast<unsigned char>(memo.front()) <= 32)
        memo.remove_prefix(1);
    while (!memo.empty() && static_cast<unsigned char>(memo.back()) <= 32)
        memo.remove_suffix(1);
    e.Memo.assign(memo);
    return true;
}

void TSchedList::RemoveDuplicates()
{
    // Items with equal record lines have equal moments and subjects, so each
    // item is compared with the earlier items of its (moment, subject) group.
    const std::size_t n = items_.size();
    std::vector<std::size_t> order(n);
    for (std::size_t i = 0; i < n; ++i)
        order[i] = i;
    std::vector<std::int64_t> keys(n);
    for (std::size_t i = 0; i < n; ++i)
        keys[i] = MomentKey(*items_[i]);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
        if (keys[x] != keys[y])
            return keys[x] < keys[y];
        return items_[x]->Subject < items_[y]->Subject;
    });
    std::vector<bool> drop(n, false);
    bool any = false;
    for (std::size_t b = 0; b < n;) {
        std::size_t e = b + 1;
        while (e < n && keys[order[e]] == keys[order[b]] &&
               items_[order[e]]->Subject == items_[order[b]]->Subject)
            ++e;
        if (e - b > 1) {
            std::vector<std::string> kept;
            for (std::size_t k = b; k < e; ++k) {
                std::string line = EventToLine(*items_[order[k]], 1);
                if (std::find(kept.begin(), kept.end(), line) != kept.end()) {
                    drop[order[k]] = true;
                    any = true;
                } else {
                    kept.push_back(std::move(line));
                }
            }
        }
        b = e;
    }
    if (!any)
        return;
    patternsDirty_ = true;
    std::vector<PEventData> remaining;
    remaining.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        if (drop[i]) {
            Forget(items_[i]);
            delete items_[i];
        } else {
            remaining.push_back(items_[i]);
        }
    }
    items_.swap(remaining);
}

bool TSchedList::AddFromLine(std::string_view text)
{
    auto item = std::make_unique<TEventData>();
    if (!ParseRecord(text, *item))
        return false;
    Adopt(std::move(item), false);
    return true;
}

// Gathers the records of a file: a record is one line, joined with the
// following lines while it holds an odd number of double quotes. Lines end
// with CR LF or LF alone; inside a record they become CR LF.
template<typename Fn> void TSchedList::ForEachRecord(std::string_view data, Fn fn)
{
    const char* s = data.data();
    const std::size_t n = data.size();
    std::string joined;
    std::size_t pos = 0;
    while (pos < n) {
        const std::size_t start = pos;
        bool odd = false;
        bool bareLf = false;
        std::size_t end = n, next = n;
        for (;;) {
            const void* hit = std::memchr(s + pos, '\n', n - pos);
            const std::size_t lineEnd = hit ? static_cast<const char*>(hit) - s : n;
            if (std::count(s + pos, s + lineEnd, '"') % 2)
                odd = !odd;
            if (!hit) {
                end = n;
                next = n;
                break;
            }
            const bool crlf = lineEnd > pos && s[lineEnd - 1] == '\r';
            if (!odd || lineEnd + 1 >= n) {
                end = crlf ? lineEnd - 1 : lineEnd;
                next = lineEnd + 1;
                break;
            }
            if (!crlf)
                bareLf = true;
            pos = lineEnd + 1;
        }
        std::string_view record(s + start, end - start);
        if (bareLf) {
            joined.clear();
            for (std::size_t i = 0; i < record.size(); ++i) {
                if (record[i] == '\n' && (i == 0 || record[i - 1] != '\r'))
                    joined.push_back('\r');
                joined.push_back(record[i]);
            }
            record = joined;
        }
        fn(record);
        pos = next;
    }
}

bool TSchedList::LoadFromFile(const std::string& fileName, bool merge, std::string* error)
{
    std::string data;
    std::string why;
    bool exists = true;
    if (!files::ReadAll(fileName, data, &why, &exists)) {
        if (!exists)
            return true;
        // Never overwrite what could not be read without keeping a copy.
        if (!merge)
            damagedFile_ = fileName;
        if (error)
            *error = why;
        return false;
    }
    LoadFromText(data, merge);
    if (!merge)
        damagedFile_ = dropped_ > 0 ? fileName : std::string();
    return true;
}

void TSchedList::LoadFromText(std::string_view data, bool merge)
{
    LoadingScope loading(Loading);
    dropped_ = 0;
    items_.reserve(items_.size() + data.size() / 120);
    ForEachRecord(data, [&](std::string_view record) {
        auto item = std::make_unique<TEventData>();
        if (!ParseRecord(record, *item)) {
            if (!IsBlank(record))
                ++dropped_;
            return;
        }
        Adopt(std::move(item), false);
    });
    SortEvents();
    if (merge)
        RemoveDuplicates();
    else
        Modified = false;
}

bool TSchedList::OpenFile(const std::string& fileName, std::string* error)
{
    Clear();
    return LoadFromFile(fileName, false, error);
}

bool TSchedList::SaveToFile(const std::string& fileName)
{
    std::string data;
    data.reserve(items_.size() * 128);
    for (const TEventData* item : items_) {
        AppendEventLine(data, *item, 1);
        data += "\r\n";
    }
    std::string why;
    if (!damagedFile_.empty() && damagedFile_ == fileName && files::Exists(fileName)) {
        // The file lost records when it was read: keep the original.
        if (!files::Copy(fileName, BackupName(fileName), &why)) {
            report::Error(SJ("スケジュールが書き込めません!") + "\r\n" + why);
            return false;
        }
    }
    if (damagedFile_ == fileName)
        damagedFile_.clear();
    if (!files::WriteAtomic(fileName, data, &why)) {
        report::Error(SJ("スケジュールが書き込めません!") + "\r\n" + why);
        return false;
    }
    Modified = false;
    return true;
}

bool TSchedList::ImportCSV(const std::string& fileName, std::string* error)
{
    std::string data;
    std::string why;
    bool exists = true;
    if (!files::ReadAll(fileName, data, &why, &exists)) {
        if (!exists)
            return true;
        if (error)
            *error = why;
        return false;
    }
    ImportCSVText(data);
    return true;
}

void TSchedList::ImportCSVText(std::string_view data)
{
    LoadingScope loading(Loading);
    dropped_ = 0;
    ForEachRecord(data, [&](std::string_view record) {
        const std::vector<std::string> f = SplitCsv(record);
        days::Day date;
        if (f.size() < 8 || !TryStrToDay(f[3], date)) {
            if (!IsBlank(record))
                ++dropped_;
            return;
        }
        auto item = std::make_unique<TEventData>();
        TEventData& e = *item;
        e.Subject = LeftStrBytes(FirstLine(sjis::Trim(f[0])), 80);
        std::int64_t kind = 0;
        if (!ParseInteger(f[2], kind))
            kind = 0;
        e.KindBits = static_cast<std::int32_t>((kind | (f[0] == SJ("会社") ? 2 : 0)) & 3);
        e.Date = date;
        e.StartTime = StrToMinutes(f[4]);
        e.EndTime = StrToMinutes(f[5]);
        e.HasTime = e.StartTime >= 0 && e.StartTime < e.EndTime;
        e.DataType = f[6];
        e.Memo = f[7];
        e.LimitDate = -1;
        e.Repeat = 0;
        e.UpdateDate = 0;
        Adopt(std::move(item), false);
    });
    SortEvents();
    RemoveDuplicates();
    Modified = true;
}
