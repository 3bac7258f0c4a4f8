#pragma once

// The settings object and its file. One global TInitParam, InitParam, holds
// every setting as a field; the windows read and write the fields directly.
// The settings file holds one "NAME=value" line per key, no sections; lines
// this code does not know stay as they are.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A colour value: $00BBGGRR, or $80000000 plus an index for a system colour
// (the same type as in gui/colors.h).
using TColor = std::int32_t;

// A window's bounds as the settings file keeps them.
struct TBounds
{
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;
    bool operator==(const TBounds&) const = default;
};

// A font as the settings file keeps it; a default-constructed record is the
// font of a setting that the file does not hold. Style and pitch values follow
// the class library (see the constants below); Charset is kept for the file
// only.
struct TFontRec
{
    std::string Name = "IPAPGothic"; // face name, Shift_JIS
    std::int32_t Charset = 128; // 0..255; 128 the Japanese character set
    TColor Color = std::int32_t(0x80000008); // window text
    std::int32_t Style = 0; // fsBold | fsItalic | ...
    std::int32_t Size = 9; // points, at least 1
    std::int32_t Pitch = 0; // fpDefault, fpVariable or fpFixed
    bool operator==(const TFontRec&) const = default;
};

constexpr std::int32_t fsBold = 1;
constexpr std::int32_t fsItalic = 2;
constexpr std::int32_t fsUnderline = 4;
constexpr std::int32_t fsStrikeOut = 8;
constexpr std::int32_t fpDefault = 0;
constexpr std::int32_t fpVariable = 1;
constexpr std::int32_t fpFixed = 2;

// Strict integer conversion of a settings value: an optional sign and decimal
// digits within 32 bits, or "$" and hexadecimal digits up to $FFFFFFFF (taken
// as the signed value of those 32 bits, so $80000005 is -2147483643).
bool ParseSettingInt(std::string_view text, std::int32_t& out);

// The lines of one settings file, read at creation and written back whole.
class TInitFile
{
public:
    // Reads the file when it exists (line ends CR, LF or CR LF). An empty path
    // reads nothing and writes nothing.
    explicit TInitFile(const std::string& path);

    // Value of the first line whose name (the text before its first "=")
    // equals key without regard to letter case; def when there is none. A
    // present line with an empty value gives the empty string.
    std::string ReadString(std::string_view key, const std::string& def) const;
    // def also when the value does not convert (ParseSettingInt).
    std::int32_t ReadInteger(std::string_view key, std::int32_t def) const;
    // Present: true exactly for "1"; absent: def.
    bool ReadBool(std::string_view key, bool def) const;
    // The value of key; nothing when the file has no such line.
    std::optional<std::string> Find(std::string_view key) const;

    // Replaces the first line of key by KEY=value in its place, or appends one.
    // An empty value removes the first line of key instead. CR, LF and NUL in
    // the value become blanks, so no value can split the file.
    void WriteString(std::string_view key, std::string_view value);
    void WriteInteger(std::string_view key, std::int32_t value);
    void WriteBool(std::string_view key, bool value);

    // Writes all lines, each ended by CR LF, through the atomic writer (a new
    // file is created owner-only). Nothing to do when the path is empty or
    // nothing was written. A file that existed but could not be read is not
    // overwritten, so lines we never saw are not lost. False (and error) on
    // failure; the old file is then untouched.
    bool UpdateFile(std::string* error = nullptr);

    std::string FileName;
    bool Modified = false;
    std::vector<std::string> Lines;

private:
    std::ptrdiff_t IndexOf(std::string_view key) const;
    bool readFailed_ = false;
    std::string readError_;
};

class TInitParam
{
public:
    TInitParam();
    // Saves when no save has succeeded yet (without any message), so that
    // settings are not lost when the orderly save was never reached.
    ~TInitParam();
    TInitParam(const TInitParam&) = delete;
    TInitParam& operator=(const TInitParam&) = delete;

    // Reads every key from path (a missing file gives every default). A value
    // that does not convert, or lies outside what the windows accept, gives
    // that key's default or is clamped; nothing is written. An empty path
    // gives every default and makes saving a no-op (tests, previews). A load
    // that does not finish (an exception part way) leaves the object unable
    // to save: half-read settings never replace the file.
    void LoadFromFile(const std::string& path);
    // Writes every key back to FileName, keeping the file's other lines. A
    // failed write, or settings whose load did not finish, shows "100:" and
    // the file-write error through the report module, leaves the old file as
    // it was and returns false. Called at orderly shutdown while the GUI can
    // still show the message.
    bool SaveToFile();

    // True when no password is set, or when password equals the password
    // byte for byte.
    bool CheckPassword(const std::string& password) const;
    // Whether a mail from sender may register its schedule automatically:
    // AutoPickup 1 every sender; 2 a sender equal (letter case aside, blanks
    // trimmed) to one of the addresses in UserList; otherwise nobody.
    bool IsTrustedSender(const std::string& sender) const;
    // Enciphers (mode 1) or deciphers (mode 2) with the built-in key and a
    // fresh salt.
    static std::string CryptString(const std::string& text, std::uint8_t mode);

    std::string FileName;

    TBounds MainView;
    std::string ListView;
    std::string MemoView;
    std::string FindList;
    bool PhoneTab = false;
    bool FindTab = false;
    bool NoteTab = false;
    bool TodoTab = false;
    std::string Subject;
    std::string Place;
    std::string Types;
    std::int32_t LastKind = 0;
    std::string ExportFile;
    TFontRec EventFont;
    TFontRec DateFont;
    TFontRec MemoFont;
    std::string Title;
    std::string SecretKey; // the plain password; enciphered only in the file
    bool ClockDisp = false;
    std::string MemoTitle;
    TColor MemoColor = 0;
    TColor SchedColor = 0;
    TColor PhoneColor = 0;
    TColor FindColor = 0;
    std::uint16_t Invoke = 0; // hot-key codes: virtual key | Shift 0x2000 |
    std::uint16_t Resize = 0; // Ctrl 0x4000 | Alt 0x8000
    std::int32_t AutoPickup = 0;
    bool AlermReject = false;
    std::string UserList; // comma text, lower case
    bool AutoTitle = false;
    bool TimeDisp = false;
    bool NoEvent = false;
    bool EventHint = false;
    bool HideDone = false;
    std::int32_t StartOfWeek = 0;
    std::int32_t DispType = 0;
    bool ReduceDay = false;
    bool WeeklyDisp = false;
    std::int32_t DateColumn = 0;
    std::int32_t DateBorder = 0;
    TColor BackColor = 0;
    TColor TodayColor = 0;
    TColor WinColor = 0;
    TColor FontColor = 0;
    std::int32_t AutoClose = 0;
    bool RepAlerm = false;
    bool AlermUnit = false;
    std::int32_t Interval = 0;
    bool RepCheck = false;
    bool ReplyMail = false;
    bool ShowStart = false;
    bool NoScanField = false;
    bool QuickMemo = false;
    std::int32_t MemoLimit = 0;
    std::int32_t DayCount = 0;
    bool MemoClear = false;
    bool NoMemoSched = false;
    bool DispRokuyo = false;

private:
    bool Save(bool quiet);
    bool saved_ = false;
    // False from the start of a load until it has read every key.
    bool loaded_ = true;
};

// The settings of this process.
extern TInitParam InitParam;
