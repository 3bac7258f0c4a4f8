#include "app/settings/initparam.h"

#include "app/settings/consts.h"
#include "app/settings/crypt.h"
#include "core/files.h"
#include "core/report.h"
#include "core/sjis.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <variant>

TInitParam InitParam;

bool ParseSettingInt(std::string_view text, std::int32_t& out)
{
    if (text.empty())
        return false;
    if (text[0] == '$') {
        if (text.size() < 2)
            return false;
        std::uint64_t v = 0;
        for (std::size_t i = 1; i < text.size(); ++i) {
            const char c = text[i];
            unsigned digit;
            if (c >= '0' && c <= '9')
                digit = static_cast<unsigned>(c - '0');
            else if (c >= 'A' && c <= 'F')
                digit = static_cast<unsigned>(c - 'A' + 10);
            else if (c >= 'a' && c <= 'f')
                digit = static_cast<unsigned>(c - 'a' + 10);
            else
                return false;
            v = v * 16 + digit;
            if (v > 0xFFFFFFFFu)
                return false;
        }
        out = static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
        return true;
    }
    std::size_t i = 0;
    bool negative = false;
    if (text[0] == '+' || text[0] == '-') {
        negative = text[0] == '-';
        i = 1;
    }
    if (i == text.size())
        return false;
    std::int64_t v = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
        if (v > std::int64_t(2147483648))
            return false;
    }
    if (negative)
        v = -v;
    if (v > 2147483647)
        return false;
    out = static_cast<std::int32_t>(v);
    return true;
}

// ---------------------------------------------------------------------------
// TInitFile

TInitFile::TInitFile(const std::string& path) : FileName(path)
{
    if (path.empty())
        return;
    std::string data;
    bool exists = true;
    if (files::ReadAll(path, data, &readError_, &exists)) {
        Lines = sjis::SplitLines(data);
    } else if (exists) {
        readFailed_ = true;
    }
}

std::ptrdiff_t TInitFile::IndexOf(std::string_view key) const
{
    for (std::size_t i = 0; i < Lines.size(); ++i) {
        const std::string& line = Lines[i];
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos &&
            sjis::EqualsNoCase(std::string_view(line).substr(0, eq), key))
            return static_cast<std::ptrdiff_t>(i);
    }
    return -1;
}

std::optional<std::string> TInitFile::Find(std::string_view key) const
{
    const std::ptrdiff_t i = IndexOf(key);
    if (i < 0)
        return std::nullopt;
    const std::string& line = Lines[static_cast<std::size_t>(i)];
    return line.substr(line.find('=') + 1);
}

std::string TInitFile::ReadString(std::string_view key, const std::string& def) const
{
    const std::optional<std::string> v = Find(key);
    return v ? *v : def;
}

std::int32_t TInitFile::ReadInteger(std::string_view key, std::int32_t def) const
{
    const std::optional<std::string> v = Find(key);
    std::int32_t n;
    return v && ParseSettingInt(*v, n) ? n : def;
}

bool TInitFile::ReadBool(std::string_view key, bool def) const
{
    const std::optional<std::string> v = Find(key);
    return v ? *v == "1" : def;
}

void TInitFile::WriteString(std::string_view key, std::string_view value)
{
    Modified = true;
    const std::ptrdiff_t i = IndexOf(key);
    if (value.empty()) {
        if (i >= 0)
            Lines.erase(Lines.begin() + i);
        return;
    }
    std::string line(key);
    line += '=';
    for (char c : value)
        line += (c == '\r' || c == '\n' || c == '\0') ? ' ' : c;
    if (i >= 0)
        Lines[static_cast<std::size_t>(i)] = std::move(line);
    else
        Lines.push_back(std::move(line));
}

void TInitFile::WriteInteger(std::string_view key, std::int32_t value)
{
    WriteString(key, std::to_string(value));
}

void TInitFile::WriteBool(std::string_view key, bool value)
{
    WriteString(key, value ? "1" : "0");
}

bool TInitFile::UpdateFile(std::string* error)
{
    if (FileName.empty() || !Modified)
        return true;
    if (readFailed_) {
        if (error)
            *error = readError_;
        return false;
    }
    std::string data;
    for (const std::string& line : Lines) {
        data += line;
        data += "\r\n";
    }
    if (!files::WriteAtomic(FileName, data, error))
        return false;
    Modified = false;
    return true;
}

// ---------------------------------------------------------------------------
// The key table

namespace {

enum class Type { Bounds, Text, Bool, Int, Color, HotKey, Font, Secret };

// What loading does with a value that converts.
enum class Rule {
    None,
    Clamp, // into lo..hi
    Choice, // outside lo..hi: the default
    NoSecretBit, // the bit that shows secret items is always off after loading
    Lower, // ASCII letters folded to lower case
};

using Field =
    std::variant<TBounds TInitParam::*, std::string TInitParam::*, bool TInitParam::*,
                 std::int32_t TInitParam::*, std::uint16_t TInitParam::*, TFontRec TInitParam::*>;

struct Key
{
    const char* name;
    Type type;
    Field field;
    // The default in the file's form; nullptr for TITLE (the product name)
    // and for fonts (TFontRec{}).
    const char* def;
    Rule rule = Rule::None;
    std::int32_t lo = 0;
    std::int32_t hi = 0;
};

using P = TInitParam;

// In save order: the order of the lines of a new file.
const Key kKeys[] = {
    { "MAINVIEW", Type::Bounds, &P::MainView, "0,0,520,420" },
    { "LISTVIEW", Type::Text, &P::ListView, "3,1,0,0,0,230,210" },
    { "MEMOVIEW", Type::Text, &P::MemoView, "2,1,0,0,0,230,210" },
    { "FINDLIST", Type::Text, &P::FindList, "" },
    { "PHONETAB", Type::Bool, &P::PhoneTab, "1" },
    { "FINDTAB", Type::Bool, &P::FindTab, "1" },
    { "NOTETAB", Type::Bool, &P::NoteTab, "1" },
    { "TODOTAB", Type::Bool, &P::TodoTab, "1" },
    { "SUBJECT", Type::Text, &P::Subject, "" },
    { "PLACE", Type::Text, &P::Place, "" },
    { "TYPES", Type::Text, &P::Types, "" },
    { "LASTKIND", Type::Int, &P::LastKind, "0", Rule::Choice, 0, 1 },
    { "EXPORTFILE", Type::Text, &P::ExportFile, "" },
    { "EVENTFONT", Type::Font, &P::EventFont, nullptr },
    { "DATEFONT", Type::Font, &P::DateFont, nullptr },
    { "MEMOFONT", Type::Font, &P::MemoFont, nullptr },
    { "TITLE", Type::Text, &P::Title, nullptr },
    { "SECRETKEY", Type::Secret, &P::SecretKey, "" },
    { "CLOCKDISP", Type::Bool, &P::ClockDisp, "0" },
    { "MEMOTITLE", Type::Text, &P::MemoTitle, "\x83\x81\x83\x82\x92\xA0" }, // メモ帳
    { "MEMOCOLOR", Type::Color, &P::MemoColor, "$80000005" },
    { "SCHEDCOLOR", Type::Color, &P::SchedColor, "$E0FFFF" },
    { "PHONECOLOR", Type::Color, &P::PhoneColor, "$FFFFE0" },
    { "FINDCOLOR", Type::Color, &P::FindColor, "$E0F0F0" },
    { "INVOKE", Type::HotKey, &P::Invoke, "0" },
    { "RESIZE", Type::HotKey, &P::Resize, "0" },
    { "AUTOPICKUP", Type::Int, &P::AutoPickup, "0", Rule::Choice, 0, 2 },
    { "ALERMREJECT", Type::Bool, &P::AlermReject, "0" },
    { "USERLIST", Type::Text, &P::UserList, "", Rule::Lower },
    { "AUTOTITLE", Type::Bool, &P::AutoTitle, "1" },
    { "TIMEDISP", Type::Bool, &P::TimeDisp, "0" },
    { "NOEVENT", Type::Bool, &P::NoEvent, "0" },
    { "EVENTHINT", Type::Bool, &P::EventHint, "0" },
    { "HIDEDONE", Type::Bool, &P::HideDone, "0" },
    { "STARTOFWEEK", Type::Int, &P::StartOfWeek, "0", Rule::Choice, 0, 1 },
    { "DISPTYPE", Type::Int, &P::DispType, "2", Rule::NoSecretBit },
    { "REDUCEDAY", Type::Bool, &P::ReduceDay, "0" },
    { "WEEKLYDISP", Type::Bool, &P::WeeklyDisp, "0" },
    { "DATECOLUMN", Type::Int, &P::DateColumn, "80", Rule::Clamp, 50, 200 },
    { "DATEBORDER", Type::Int, &P::DateBorder, "2", Rule::Clamp, 0, 4 },
    { "BACKCOLOR", Type::Color, &P::BackColor, "$80000005" },
    { "TODAYCOLOR", Type::Color, &P::TodayColor, "$E0FFFF" },
    { "WINCOLOR", Type::Color, &P::WinColor, "$8000000D" },
    { "FONTCOLOR", Type::Color, &P::FontColor, "$FFFFFF" },
    { "AUTOCLOSE", Type::Int, &P::AutoClose, "0", Rule::Clamp, 0, 10 },
    { "REPALERM", Type::Bool, &P::RepAlerm, "0" },
    { "ALERMUNIT", Type::Bool, &P::AlermUnit, "0" },
    { "INTERVAL", Type::Int, &P::Interval, "1", Rule::Clamp, 1, 168 },
    { "REPCHECK", Type::Bool, &P::RepCheck, "0" },
    { "REPLYMAIL", Type::Bool, &P::ReplyMail, "0" },
    { "SHOWSTART", Type::Bool, &P::ShowStart, "0" },
    { "NOSCANFIELD", Type::Bool, &P::NoScanField, "0" },
    { "QUICKMEMO", Type::Bool, &P::QuickMemo, "0" },
    { "MEMOLIMIT", Type::Int, &P::MemoLimit, "0", Rule::Clamp, -1, 100 },
    { "DAYCOUNT", Type::Int, &P::DayCount, "0", Rule::Clamp, 0, 7 },
    { "MEMOCLEAR", Type::Bool, &P::MemoClear, "0" },
    { "NOMEMOSCHED", Type::Bool, &P::NoMemoSched, "1" },
    { "DISPROKUYO", Type::Bool, &P::DispRokuyo, "1" },
};
static_assert(std::size(kKeys) == 58);

bool ParseBounds(std::string_view text, TBounds& out)
{
    // A fifth item is enough to tell that the value is not four numbers.
    const std::vector<std::string> items = sjis::ReadCommaText(text, 5);
    std::int32_t v[4];
    if (items.size() != 4)
        return false;
    for (int i = 0; i < 4; ++i)
        if (!ParseSettingInt(items[static_cast<std::size_t>(i)], v[i]))
            return false;
    // A window without width or height could never be seen again.
    if (v[2] <= v[0] || v[3] <= v[1])
        return false;
    out = TBounds { v[0], v[1], v[2], v[3] };
    return true;
}

std::string FormatBounds(const TBounds& b)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d,%d,%d,%d", static_cast<int>(b.Left), static_cast<int>(b.Top),
                  static_cast<int>(b.Right), static_cast<int>(b.Bottom));
    return buf;
}

// A face name is well-formed Shift_JIS without control characters. Anything
// else names no font, and could not survive being written back as comma text
// (a lead byte would swallow the quote or comma behind it).
bool IsFaceName(std::string_view name)
{
    for (std::size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c < 0x20)
            return false;
        if (sjis::IsLeadByte(c)) {
            if (i + 1 >= name.size())
                return false;
            const unsigned char t = static_cast<unsigned char>(name[++i]);
            if (t < 0x40 || t == 0x7F || t > 0xFC)
                return false;
        }
    }
    return true;
}

// Six comma-text items: face, character set, colour, style bits, size, pitch.
bool ParseFont(std::string_view text, TFontRec& out)
{
    const std::vector<std::string> items = sjis::ReadCommaText(text, 7);
    if (items.size() != 6)
        return false;
    std::int32_t charset, color, style, size, pitch;
    if (!ParseSettingInt(items[1], charset) || !ParseSettingInt(items[2], color) ||
        !ParseSettingInt(items[3], style) || !ParseSettingInt(items[4], size) ||
        !ParseSettingInt(items[5], pitch))
        return false;
    if (charset < 0 || charset > 255 || !IsFaceName(items[0]))
        return false;
    TFontRec f;
    f.Name = items[0];
    f.Charset = charset;
    f.Color = color;
    f.Style |= style & (fsBold | fsItalic | fsUnderline | fsStrikeOut);
    f.Size = std::max<std::int32_t>(size, 1);
    f.Pitch = (pitch == fpVariable || pitch == fpFixed) ? pitch : fpDefault;
    out = std::move(f);
    return true;
}

std::string FormatFont(const TFontRec& f)
{
    char color[16];
    std::snprintf(color, sizeof color, "$%06X", static_cast<unsigned>(f.Color));
    return sjis::WriteCommaText({ f.Name, std::to_string(f.Charset), color, std::to_string(f.Style),
                                  std::to_string(f.Size), std::to_string(f.Pitch) });
}

std::int32_t IntDefault(const Key& k)
{
    std::int32_t v = 0;
    ParseSettingInt(k.def, v);
    return v;
}

std::int32_t ApplyRule(const Key& k, std::int32_t v)
{
    switch (k.rule) {
    case Rule::Clamp:
        return std::clamp(v, k.lo, k.hi);
    case Rule::Choice:
        return (v < k.lo || v > k.hi) ? IntDefault(k) : v;
    case Rule::NoSecretBit:
        return v & 0xFE;
    default:
        return v;
    }
}

void LoadKey(TInitParam& p, const Key& k, const TInitFile& file)
{
    const std::optional<std::string> value = file.Find(k.name);
    switch (k.type) {
    case Type::Bounds: {
        TBounds b;
        if (!value || !ParseBounds(*value, b))
            ParseBounds(k.def, b);
        p.*std::get<TBounds TInitParam::*>(k.field) = b;
        break;
    }
    case Type::Text: {
        std::string v = value ? *value : k.def ? std::string(k.def) : strconst::ProductName();
        if (k.rule == Rule::Lower)
            v = sjis::LowerAscii(v);
        p.*std::get<std::string TInitParam::*>(k.field) = std::move(v);
        break;
    }
    case Type::Secret: {
        std::string v = value ? *value : std::string(k.def);
        p.*std::get<std::string TInitParam::*>(k.field) =
            v.empty() ? v : TInitParam::CryptString(v, TCrypt::kDecipher);
        break;
    }
    case Type::Bool:
        p.*std::get<bool TInitParam::*>(k.field) = value ? *value == "1" : k.def[0] == '1';
        break;
    case Type::Int:
    case Type::Color: {
        std::int32_t v;
        if (!value || !ParseSettingInt(*value, v))
            v = IntDefault(k);
        p.*std::get<std::int32_t TInitParam::*>(k.field) = ApplyRule(k, v);
        break;
    }
    case Type::HotKey: {
        std::int32_t v;
        if (!value || !ParseSettingInt(*value, v) || v < 0 || v > 0xFFFF)
            v = 0;
        p.*std::get<std::uint16_t TInitParam::*>(k.field) = static_cast<std::uint16_t>(v);
        break;
    }
    case Type::Font: {
        TFontRec f;
        if (!value || !ParseFont(*value, f))
            f = TFontRec {};
        p.*std::get<TFontRec TInitParam::*>(k.field) = std::move(f);
        break;
    }
    }
}

void SaveKey(const TInitParam& p, const Key& k, TInitFile& file)
{
    switch (k.type) {
    case Type::Bounds:
        file.WriteString(k.name, FormatBounds(p.*std::get<TBounds TInitParam::*>(k.field)));
        break;
    case Type::Text:
        file.WriteString(k.name, p.*std::get<std::string TInitParam::*>(k.field));
        break;
    case Type::Secret:
        file.WriteString(k.name,
                         TInitParam::CryptString(p.*std::get<std::string TInitParam::*>(k.field),
                                                 TCrypt::kEncipher));
        break;
    case Type::Bool:
        file.WriteBool(k.name, p.*std::get<bool TInitParam::*>(k.field));
        break;
    case Type::Int:
    case Type::Color:
        file.WriteInteger(k.name, p.*std::get<std::int32_t TInitParam::*>(k.field));
        break;
    case Type::HotKey:
        file.WriteInteger(k.name, p.*std::get<std::uint16_t TInitParam::*>(k.field));
        break;
    case Type::Font:
        file.WriteString(k.name, FormatFont(p.*std::get<TFontRec TInitParam::*>(k.field)));
        break;
    }
}

} // namespace

// ---------------------------------------------------------------------------
// TInitParam

TInitParam::TInitParam()
{
    // The global object saves from its destructor at process exit. Touching
    // the function-local statics that saving uses (converter, clock, salt
    // generator, texts) during the first construction makes them outlive it.
    static const bool ready = [] {
        (void)strconst::ProductName();
        (void)strconst::FileWriteError();
        (void)TCrypt::NewSalt();
        return true;
    }();
    (void)ready;
}

TInitParam::~TInitParam()
{
    if (saved_)
        return;
    try {
        Save(true);
    } catch (...) {
    }
}

void TInitParam::LoadFromFile(const std::string& path)
{
    loaded_ = false;
    FileName = path;
    const TInitFile file(path);
    for (const Key& k : kKeys)
        LoadKey(*this, k, file);
    loaded_ = true;
}

bool TInitParam::SaveToFile()
{
    return Save(false);
}

bool TInitParam::Save(bool quiet)
{
    if (FileName.empty())
        return true;
    std::string error;
    bool ok = false;
    try {
        if (!loaded_)
            throw std::runtime_error(FileName + ": the settings were not read whole");
        TInitFile file(FileName);
        for (const Key& k : kKeys)
            SaveKey(*this, k, file);
        ok = file.UpdateFile(&error);
    } catch (const std::exception& e) {
        error = e.what();
    }
    if (ok) {
        saved_ = true;
    } else if (!quiet) {
        report::WriteFailed(FileName, "100:" + strconst::FileWriteError());
    }
    return ok;
}

bool TInitParam::CheckPassword(const std::string& password) const
{
    return SecretKey.empty() || password == SecretKey;
}

bool TInitParam::IsTrustedSender(const std::string& sender) const
{
    if (AutoPickup == 1)
        return true;
    if (AutoPickup != 2)
        return false;
    const std::string who = sjis::LowerAscii(sjis::Trim(sender));
    if (who.empty())
        return false;
    bool trusted = false;
    sjis::ForEachCommaItem(UserList, [&](std::string& item) {
        trusted = sjis::LowerAscii(sjis::Trim(item)) == who;
        return !trusted;
    });
    return trusted;
}

std::string TInitParam::CryptString(const std::string& text, std::uint8_t mode)
{
    TCrypt cipher;
    cipher.Mode = mode;
    return cipher.Convert(text);
}
