// The schedule file: the reader and writer of whole files, and the CSV
// import. The record format itself is in schedrecord.cpp.

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

bool IsBlank(std::string_view s)
{
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) <= 32; });
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
// blanks around unquoted fields are trimmed. False when the row ran on over
// later lines because of a stray quote: a line break outside quotes, or in a
// quoted field that is not closed or whose closing quote is followed by more
// text.
bool SplitCsv(std::string_view text, std::vector<std::string>& fields)
{
    fields.clear();
    bool whole = true;
    const std::size_t n = text.size();
    std::size_t p = 0;
    // Up to the comma that ends the field (or the end of the text).
    auto toComma = [&] {
        const std::size_t b = p;
        while (p < n && text[p] != ',') {
            if (text[p] == '\n')
                whole = false;
            p += sjis::CharLen(text, p);
        }
        return text.substr(b, std::min(p, n) - b);
    };
    for (;;) {
        while (p < n && text[p] != ',' && static_cast<unsigned char>(text[p]) <= 32) {
            if (text[p] == '\n')
                whole = false;
            ++p;
        }
        std::string field;
        if (p < n && text[p] == '"') {
            ++p;
            bool closed = false;
            while (p < n) {
                if (text[p] == '"') {
                    if (p + 1 < n && text[p + 1] == '"') {
                        field.push_back('"');
                        p += 2;
                        continue;
                    }
                    ++p;
                    closed = true;
                    break;
                }
                const std::size_t len = sjis::CharLen(text, p);
                field.append(text.substr(p, len));
                p += len;
            }
            // Text between the closing quote and the comma is kept.
            const std::string rest = sjis::TrimRight(toComma());
            if (field.find('\n') != std::string::npos && (!closed || !IsBlank(rest)))
                whole = false;
            field += rest;
        } else {
            field = sjis::Trim(toComma());
        }
        fields.push_back(std::move(field));
        if (p >= n)
            break;
        ++p; // the comma
    }
    return whole;
}

std::string FirstLine(std::string_view s)
{
    const std::size_t e = s.find_first_of("\r\n");
    return std::string(e == std::string_view::npos ? s : s.substr(0, e));
}

} // namespace

std::string TSchedList::EventToLine(const TEventData& item, int mode) const
{
    std::string out;
    schedrecord::Append(
        out, item, mode == 2 ? schedrecord::LineForm::Exchange : schedrecord::LineForm::Record);
    return out;
}

std::string TSchedList::BackupName(const std::string& fileName)
{
    std::string bak = files::ChangeExt(fileName, ".bak");
    return bak == fileName ? fileName + ".bak" : bak;
}

void TSchedList::NoteDropped(int line, schedrecord::Fault reason)
{
    ++dropped_;
    if (droppedSamples_.size() < kDroppedSamples)
        droppedSamples_.push_back({ line, reason });
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
    if (schedrecord::Parse(text, *item))
        return false;
    Adopt(std::move(item), false);
    return true;
}

namespace {

// True when the text from a line on begins a record of its own: the line
// begins as the writer begins a record and reads as one by itself. A memo
// line that only begins like a record (typed, or taken from a mail) does not
// end the memo it belongs to.
bool BeginsRecord(std::string_view rest)
{
    if (!schedrecord::IsRecordHead(rest))
        return false;
    std::string_view line = rest.substr(0, rest.find('\n'));
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    TEventData scratch;
    return !schedrecord::Parse(line, scratch);
}

// What became of one gathered record.
enum class Outcome {
    Read,
    Skipped, // nothing to count (a blank line, a header)
    Dropped, // a whole record that could not be read
    Runaway, // no record: it may have run on over the lines of later records
};

struct Verdict
{
    Outcome outcome = Outcome::Read;
    schedrecord::Fault fault = schedrecord::Fault::FieldCount;
};

// The lines one record spans from a start on.
struct Gathered
{
    std::size_t end = 0; // the end of its text (before the line end)
    std::size_t next = 0; // where the line after it begins
    std::size_t afterFirst = 0; // where its second line begins
    int lines = 0;
};

// The file's framing: a record is one line, joined with the following lines
// while it holds an odd number of double quotes. With recover, it is also
// ended before a line that begins a record of its own (BeginsRecord).
Gathered Gather(std::string_view data, std::size_t pos, bool recover)
{
    const char* s = data.data();
    const std::size_t n = data.size();
    Gathered g;
    bool odd = false;
    for (;;) {
        const void* hit = std::memchr(s + pos, '\n', n - pos);
        const std::size_t lineEnd = hit ? static_cast<const char*>(hit) - s : n;
        ++g.lines;
        if (std::count(s + pos, s + lineEnd, '"') % 2)
            odd = !odd;
        const bool crlf = lineEnd > pos && s[lineEnd - 1] == '\r';
        g.end = hit && crlf ? lineEnd - 1 : lineEnd;
        g.next = hit ? lineEnd + 1 : n;
        if (g.lines == 1)
            g.afterFirst = g.next;
        if (!odd || g.next >= n || (recover && BeginsRecord(data.substr(g.next))))
            return g;
        pos = g.next;
    }
}

// Tells drop(line, fault) of each record of a file that could not be read,
// and gives fn(record, line) each record and the line it begins on (from 1);
// fn answers what became of it. The framing decides first, so that a
// memo line that reads as a record stays in its memo. Only a record of
// several lines that does not read (a stray quote ran on) is gathered again,
// ended before the first line that begins a record of its own; when that
// does not read either, only its first line is given up and gathering starts
// again on the next one, so that a damaged record costs only itself. Lines
// end with CR LF or LF alone.
template<typename Drop, typename Fn> void ForEachRecord(std::string_view data, Drop drop, Fn fn)
{
    auto text = [&](std::size_t start, const Gathered& g) {
        return data.substr(start, g.end - start);
    };
    std::size_t pos = 0;
    int line = 1;
    while (pos < data.size()) {
        Gathered g = Gather(data, pos, false);
        Verdict v = fn(text(pos, g), line);
        if (g.lines > 1 && (v.outcome == Outcome::Dropped || v.outcome == Outcome::Runaway)) {
            const Gathered shorter = Gather(data, pos, true);
            if (shorter.lines < g.lines) {
                g = shorter;
                v = fn(text(pos, g), line);
            }
            if (v.outcome == Outcome::Runaway && g.lines > 1) {
                drop(line, v.fault);
                pos = g.afterFirst;
                ++line;
                continue;
            }
        }
        if (v.outcome == Outcome::Dropped || v.outcome == Outcome::Runaway)
            drop(line, v.fault);
        pos = g.next;
        line += g.lines;
    }
}

} // namespace

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
    droppedSamples_.clear();
    items_.reserve(items_.size() + data.size() / 120);
    const auto drop = [this](int line, schedrecord::Fault fault) { NoteDropped(line, fault); };
    ForEachRecord(data, drop, [&](std::string_view record, int) {
        auto item = std::make_unique<TEventData>();
        const std::optional<schedrecord::Fault> fault = schedrecord::Parse(record, *item);
        if (!fault) {
            Adopt(std::move(item), false);
            return Verdict { Outcome::Read };
        }
        if (IsBlank(record))
            return Verdict { Outcome::Skipped };
        // A record with the wrong number of fields may have run on over
        // the lines of the records after it.
        return Verdict { *fault == schedrecord::Fault::FieldCount ? Outcome::Runaway
                                                                  : Outcome::Dropped,
                         *fault };
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
        schedrecord::Append(data, *item, schedrecord::LineForm::Record);
        data += "\r\n";
    }
    std::string why;
    if (!damagedFile_.empty() && damagedFile_ == fileName && files::Exists(fileName)) {
        // The file lost records when it was read: keep the original.
        if (!files::Copy(fileName, BackupName(fileName), &why)) {
            report::WriteFailed(fileName, SJ("スケジュールが書き込めません!") + "\r\n" + why);
            return false;
        }
    }
    if (damagedFile_ == fileName)
        damagedFile_.clear();
    if (!files::WriteAtomic(fileName, data, &why)) {
        report::WriteFailed(fileName, SJ("スケジュールが書き込めません!") + "\r\n" + why);
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
    droppedSamples_.clear();
    int headerLine = 0; // the first row that is not blank
    std::vector<std::string> f;
    const auto drop = [this](int line, schedrecord::Fault fault) { NoteDropped(line, fault); };
    ForEachRecord(data, drop, [&](std::string_view record, int line) {
        if (IsBlank(record))
            return Verdict { Outcome::Skipped };
        if (headerLine == 0)
            headerLine = line;
        const bool whole = SplitCsv(record, f);
        days::Day date = -1;
        const bool dated = f.size() > 3 && TryStrToDay(f[3], date);
        if (!whole || f.size() < 8 || !dated) {
            // A first row without a date names the columns.
            if (line == headerLine && !dated)
                return Verdict { Outcome::Skipped };
            return Verdict { whole ? Outcome::Dropped : Outcome::Runaway,
                             dated ? schedrecord::Fault::FieldCount : schedrecord::Fault::Date };
        }
        auto item = std::make_unique<TEventData>();
        TEventData& e = *item;
        e.Subject = LeftStrBytes(FirstLine(sjis::Trim(f[0])), 80);
        std::int64_t kind = 0;
        if (!sjis::ParseInteger(f[2], kind))
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
        // What a save and a load would give back.
        schedrecord::Settle(e);
        Adopt(std::move(item), false);
        return Verdict { Outcome::Read };
    });
    SortEvents();
    RemoveDuplicates();
    Modified = true;
}
