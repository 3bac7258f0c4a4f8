#include "app/phonebook.h"

#include "core/files.h"
#include "core/sjis.h"

namespace phonebook {

std::string PhonePath(const std::string& schedulePath)
{
    return files::ChangeExt(schedulePath, ".tel");
}

std::string MemoPath(const std::string& schedulePath)
{
    return files::ChangeExt(schedulePath, ".mem");
}

namespace {

enum class LineKind { Entry, NoEntry, TooManyFields };

LineKind ReadLine(std::string_view line, Entry& out)
{
    std::vector<std::string> fields = sjis::ReadCommaText(line, kMaxFields + 1);
    if (fields.size() > kMaxFields)
        return LineKind::TooManyFields;
    if (fields.size() < 2)
        return LineKind::NoEntry;
    for (std::string& field : fields)
        field = CleanField(field);
    out = std::move(fields);
    return LineKind::Entry;
}

} // namespace

bool ParseLine(std::string_view line, Entry& out)
{
    return ReadLine(line, out) == LineKind::Entry;
}

std::string CleanField(std::string_view field)
{
    std::string out;
    out.reserve(field.size());
    for (char c : field)
        if (c != '\r' && c != '\n' && c != '\0')
            out.push_back(c);
    // A lead byte without a proper trail byte would take the next byte with
    // it when read back: a closing quote or a separating comma.
    for (std::size_t i = 0; i < out.size();) {
        const unsigned char c = static_cast<unsigned char>(out[i]);
        if (!sjis::IsLeadByte(c)) {
            ++i;
            continue;
        }
        const unsigned char t = i + 1 < out.size() ? static_cast<unsigned char>(out[i + 1]) : 0;
        if ((t >= 0x40 && t <= 0x7E) || (t >= 0x80 && t <= 0xFC)) {
            i += 2;
        } else {
            out[i] = '?';
            ++i;
        }
    }
    return out;
}

std::string FormatLine(const Entry& entry)
{
    std::string line;
    if (entry.empty())
        return line;
    // The name is quoted even when nothing in it needs quotes; a quote in it
    // is doubled like in any other field.
    line += '"';
    line += sjis::ReplaceAll(CleanField(entry[0]), "\"", "\"\"");
    line += '"';
    for (std::size_t i = 1; i < entry.size(); ++i) {
        line += ',';
        const std::string field = CleanField(entry[i]);
        // A bare empty field at the end of the line would vanish at reading.
        if (field.empty() && i + 1 == entry.size())
            line += "\"\"";
        else
            line += sjis::QuoteCommaItem(field);
    }
    return line;
}

std::string FormatText(const std::vector<Entry>& entries, const std::vector<std::string>& kept)
{
    std::string text;
    for (const Entry& entry : entries) {
        text += FormatLine(entry);
        text += "\r\n";
    }
    for (const std::string& line : kept) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::vector<Entry> ParseText(std::string_view text, std::vector<std::string>* kept)
{
    std::vector<Entry> entries;
    for (std::string& line : sjis::SplitLines(text)) {
        Entry entry;
        const LineKind kind = ReadLine(line, entry);
        if (kind == LineKind::Entry)
            entries.push_back(std::move(entry));
        else if (kind == LineKind::TooManyFields && kept)
            kept->push_back(std::move(line));
    }
    return entries;
}

namespace {

bool ReadFile(const std::string& path, std::string& text, bool* exists, std::string* error)
{
    bool found = false;
    const bool ok = files::ReadAll(path, text, error, &found);
    if (exists)
        *exists = found;
    if (!found) {
        text.clear();
        return true;
    }
    return ok;
}

} // namespace

bool LoadPhoneBook(const std::string& path, std::vector<Entry>& out, bool* exists,
                   std::string* error, std::vector<std::string>* kept)
{
    std::string text;
    if (!ReadFile(path, text, exists, error))
        return false;
    if (kept)
        kept->clear();
    out = ParseText(text, kept);
    return true;
}

bool LoadMemo(const std::string& path, std::string& out, bool* exists, std::string* error)
{
    std::string text;
    if (!ReadFile(path, text, exists, error))
        return false;
    out = std::move(text);
    return true;
}

bool SavePhoneBook(const std::string& path, const std::vector<Entry>& entries, std::string* error,
                   const std::vector<std::string>& kept)
{
    return files::WriteAtomic(path, FormatText(entries, kept), error);
}

bool SaveMemo(const std::string& path, std::string_view memo, std::string* error)
{
    return files::WriteAtomic(path, sjis::ToCrLf(memo), error);
}

} // namespace phonebook
