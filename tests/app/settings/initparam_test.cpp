#include "app/settings/consts.h"
#include "app/settings/crypt.h"
#include "app/settings/initparam.h"
#include "core/files.h"
#include "core/report.h"
#include "core/sjis.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

struct TempDir
{
    std::string path;
    TempDir()
    {
        char tmpl[] = "/tmp/kalvero-settings-XXXXXX";
        path = ::mkdtemp(tmpl);
        path += "/";
    }
    ~TempDir() { std::filesystem::remove_all(path); }
};

std::string Read(const std::string& path)
{
    std::string data;
    files::ReadAll(path, data);
    return data;
}

void Write(const std::string& path, const std::string& data)
{
    ASSERT_TRUE(files::WriteAtomic(path, data));
}

std::vector<std::string> LinesOf(const std::string& path)
{
    return sjis::SplitLines(Read(path));
}

std::string Join(const std::vector<std::string>& lines)
{
    std::string out;
    for (const auto& l : lines)
        out += l + "\r\n";
    return out;
}

// Records what the settings module reports.
struct Messages
{
    std::vector<std::string> texts;
    report::ScopedSink sink { [this](report::Kind, const std::string& t) { texts.push_back(t); } };
};

// The lines of a new file, in table order; written out by hand from the key
// table (Shift_JIS bytes for the two Japanese defaults).
const std::vector<std::string> kDefaultLines = {
    "MAINVIEW=0,0,520,420",
    "LISTVIEW=3,1,0,0,0,230,210",
    "MEMOVIEW=2,1,0,0,0,230,210",
    "PHONETAB=1",
    "FINDTAB=1",
    "NOTETAB=1",
    "TODOTAB=1",
    "LASTKIND=0",
    "EVENTFONT=IPAPGothic,128,$80000008,0,9,0",
    "DATEFONT=IPAPGothic,128,$80000008,0,9,0",
    "MEMOFONT=IPAPGothic,128,$80000008,0,9,0",
    "TITLE=Miradel\x83\x76\x83\x89\x83"
    "O\x83"
    "C\x83\x93",
    "CLOCKDISP=0",
    "MEMOTITLE=\x83\x81\x83\x82\x92\xA0",
    "MEMOCOLOR=-2147483643",
    "SCHEDCOLOR=14745599",
    "PHONECOLOR=16777184",
    "FINDCOLOR=14741744",
    "INVOKE=0",
    "RESIZE=0",
    "AUTOPICKUP=0",
    "ALERMREJECT=0",
    "AUTOTITLE=1",
    "TIMEDISP=0",
    "NOEVENT=0",
    "EVENTHINT=0",
    "HIDEDONE=0",
    "STARTOFWEEK=0",
    "DISPTYPE=2",
    "REDUCEDAY=0",
    "WEEKLYDISP=0",
    "DATECOLUMN=80",
    "DATEBORDER=2",
    "BACKCOLOR=-2147483643",
    "TODAYCOLOR=14745599",
    "WINCOLOR=-2147483635",
    "FONTCOLOR=16777215",
    "AUTOCLOSE=0",
    "REPALERM=0",
    "ALERMUNIT=0",
    "INTERVAL=1",
    "REPCHECK=0",
    "REPLYMAIL=0",
    "SHOWSTART=0",
    "NOSCANFIELD=0",
    "QUICKMEMO=0",
    "MEMOLIMIT=0",
    "DAYCOUNT=0",
    "MEMOCLEAR=0",
    "NOMEMOSCHED=1",
    "DISPROKUYO=1",
};

// Loads a file made of the given text, saves it and returns the new lines.
std::vector<std::string> LoadSave(const std::string& text, TInitParam* out = nullptr)
{
    TempDir dir;
    const std::string f = dir.path + "Kalvero.ini";
    Write(f, text);
    TInitParam p;
    p.LoadFromFile(f);
    EXPECT_TRUE(p.SaveToFile());
    if (out) {
        out->LoadFromFile(f);
        out->FileName.clear();
    }
    return LinesOf(f);
}

} // namespace

TEST(InitParam, FreshFileHoldsTheDefaultsInTableOrder)
{
    TempDir dir;
    const std::string f = dir.path + "Kalvero.ini";
    TInitParam p;
    // Before loading every field is zero or empty.
    EXPECT_EQ(p.MainView, TBounds {});
    EXPECT_EQ(p.Interval, 0);
    EXPECT_TRUE(p.Title.empty());
    p.LoadFromFile(f);
    EXPECT_FALSE(files::Exists(f)); // loading writes nothing
    EXPECT_EQ(p.MainView, (TBounds { 0, 0, 520, 420 }));
    EXPECT_EQ(p.Title, strconst::PluginProductName());
    EXPECT_EQ(p.MemoColor, std::int32_t(0x80000005));
    EXPECT_EQ(p.SchedColor, 0xE0FFFF);
    EXPECT_EQ(p.DispType, 2);
    EXPECT_EQ(p.EventFont, TFontRec {});
    EXPECT_TRUE(p.NoMemoSched && p.DispRokuyo && p.AutoTitle && p.PhoneTab);
    ASSERT_TRUE(p.SaveToFile());
    EXPECT_EQ(Read(f), Join(kDefaultLines));
    ASSERT_EQ(kDefaultLines.size(), 51u);
    struct stat st
    {
    };
    ::stat(f.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u); // it holds the enciphered password

    // The program build's title.
    strconst::SetBuild(strconst::Build::Program);
    TInitParam q;
    q.LoadFromFile(dir.path + "other.ini");
    strconst::SetBuild(strconst::Build::Plugin);
    EXPECT_EQ(q.Title, strconst::ProgramProductName());
}

TEST(InitParam, OtherLinesStayWhereTheyWere)
{
    const std::vector<std::string> lines = LoadSave(
        "; a comment\r\nFOO=1\r\n\r\ntitle=Work\r\nmainView=1,2,300,400\r\nplain text\r\n");
    std::vector<std::string> expected = { "; a comment",          "FOO=1",     "", "TITLE=Work",
                                          "MAINVIEW=1,2,300,400", "plain text" };
    for (const auto& l : kDefaultLines)
        if (l.rfind("TITLE=", 0) != 0 && l.rfind("MAINVIEW=", 0) != 0)
            expected.push_back(l);
    EXPECT_EQ(lines, expected);

    // A file of foreign lines only: they come first, the keys follow.
    expected = { "FOO=1", "" };
    expected.insert(expected.end(), kDefaultLines.begin(), kDefaultLines.end());
    EXPECT_EQ(LoadSave("FOO=1\r\n\r\n"), expected);

    // LF-only and CR-only files load; the second of two lines of one key is
    // left alone.
    TInitParam p;
    LoadSave("TITLE=One\nDATECOLUMN=120\rTITLE=Two\n", &p);
    EXPECT_EQ(p.Title, "One");
    EXPECT_EQ(p.DateColumn, 120);
}

TEST(InitParam, ValueEncodings)
{
    TInitParam p;
    LoadSave("INVOKE=$1F\r\nRESIZE=24641\r\nDISPTYPE=7\r\nMEMOCOLOR=$80000008\r\n"
             "FINDCOLOR=-2147483643\r\nPHONETAB=yes\r\nREDUCEDAY=1\r\nCLOCKDISP=\r\n"
             "USERLIST=Boss@Example.COM,\"A B <x@y.jp>\"\r\n",
             &p);
    EXPECT_EQ(p.Invoke, 31);
    EXPECT_EQ(p.Resize, 0x6041); // Ctrl+Shift+A
    EXPECT_EQ(p.DispType, 6); // secret items stay hidden after every start
    EXPECT_EQ(p.MemoColor, std::int32_t(0x80000008));
    EXPECT_EQ(p.FindColor, std::int32_t(0x80000005));
    EXPECT_FALSE(p.PhoneTab); // only "1" is true
    EXPECT_TRUE(p.ReduceDay);
    EXPECT_FALSE(p.ClockDisp);
    EXPECT_EQ(p.UserList, "boss@example.com,\"a b <x@y.jp>\"");

    std::int32_t v;
    EXPECT_TRUE(ParseSettingInt("$FFFFFFFF", v));
    EXPECT_EQ(v, -1);
    EXPECT_TRUE(ParseSettingInt("-2147483648", v));
    EXPECT_EQ(v, INT32_MIN);
    EXPECT_TRUE(ParseSettingInt("+7", v));
    EXPECT_EQ(v, 7);
    for (const char* bad : { "", "$", "-", "+", "2147483648", "-2147483649", "$100000000", " 1",
                             "1 ", "0x10", "-$1", "1e3", "99999999999999999999999" })
        EXPECT_FALSE(ParseSettingInt(bad, v)) << bad;
}

TEST(InitParam, FontsRoundTrip)
{
    const std::string red = "EVENTFONT=\"MS Gothic\",128,$0000FF,3,12,2";
    const std::string sys = "DATEFONT=\x82\x6C\x82\x72" // ＭＳ
                            "Mincho,1,$80000008,12,10,1";
    TInitParam p;
    const auto lines = LoadSave(red + "\r\n" + sys + "\r\nMEMOFONT=Courier,0\r\n", &p);
    EXPECT_EQ(p.EventFont,
              (TFontRec { "MS Gothic", 128, 0x0000FF, fsBold | fsItalic, 12, fpFixed }));
    EXPECT_EQ(p.DateFont.Style, fsUnderline | fsStrikeOut);
    EXPECT_EQ(p.DateFont.Pitch, fpVariable);
    EXPECT_EQ(p.MemoFont, TFontRec {}); // two items change nothing
    EXPECT_EQ(lines[0], red);
    EXPECT_EQ(lines[1], sys);
    EXPECT_EQ(lines[2], "MEMOFONT=IPAPGothic,128,$80000008,0,9,0");

    // Unknown style bits are dropped, an unknown pitch is the default, the
    // size is at least one point.
    LoadSave("EVENTFONT=A,0,$000001,255,0,7\r\nDATEFONT=B,0,0,0,-4,2\r\n", &p);
    EXPECT_EQ(p.EventFont, (TFontRec { "A", 0, 1, 15, 1, fpDefault }));
    EXPECT_EQ(p.DateFont.Size, 1);
}

// A value that does not convert gives that key's default; after the save
// only its line differs from the file.
TEST(InitParam, MalformedValueChangesOnlyItsOwnLine)
{
    const struct
    {
        const char* line;
        const char* becomes;
    } cases[] = {
        { "DATECOLUMN=abc", "DATECOLUMN=80" },
        { "DATECOLUMN=", "DATECOLUMN=80" },
        { "INTERVAL=1x", "INTERVAL=1" },
        { "MEMOCOLOR=$1FFFFFFFF", "MEMOCOLOR=-2147483643" },
        { "SCHEDCOLOR=99999999999", "SCHEDCOLOR=14745599" },
        { "LASTKIND=-", "LASTKIND=0" },
        { "INVOKE=$", "INVOKE=0" },
        { "MAINVIEW=1,2,3", "MAINVIEW=0,0,520,420" },
        { "MAINVIEW=10,10,5,20", "MAINVIEW=0,0,520,420" },
        { "MAINVIEW=10,10,20,10", "MAINVIEW=0,0,520,420" },
        { "MAINVIEW=a,b,c,d", "MAINVIEW=0,0,520,420" },
        { "EVENTFONT=a,b,c,d,e,f", "EVENTFONT=IPAPGothic,128,$80000008,0,9,0" },
        { "EVENTFONT=x,300,$0,0,9,0", "EVENTFONT=IPAPGothic,128,$80000008,0,9,0" },
        { "EVENTFONT=x,1,$0,0,9", "EVENTFONT=IPAPGothic,128,$80000008,0,9,0" },
        { "EVENTFONT=\"a\tb\",1,$0,0,9,0", "EVENTFONT=IPAPGothic,128,$80000008,0,9,0" },
        { "DATEFONT=\"\x83\",1,$0,0,9,0", "DATEFONT=IPAPGothic,128,$80000008,0,9,0" },
    };
    for (const auto& c : cases) {
        std::vector<std::string> file = kDefaultLines;
        const std::string key = std::string(c.line).substr(0, std::string(c.line).find('='));
        std::size_t at = 0;
        while (file[at].rfind(key + "=", 0) != 0)
            ++at;
        file[at] = c.line;
        std::vector<std::string> expected = file;
        expected[at] = c.becomes;
        EXPECT_EQ(LoadSave(Join(file)), expected) << c.line;
    }
}

TEST(InitParam, ValuesAreKeptWithinWhatTheWindowsAccept)
{
    const struct
    {
        const char* text;
        std::int32_t TInitParam::*field;
        std::int32_t expected;
    } cases[] = {
        { "DATECOLUMN=10", &TInitParam::DateColumn, 50 },
        { "DATECOLUMN=500", &TInitParam::DateColumn, 200 },
        { "DATEBORDER=9", &TInitParam::DateBorder, 4 },
        { "DATEBORDER=-1", &TInitParam::DateBorder, 0 },
        { "AUTOCLOSE=-3", &TInitParam::AutoClose, 0 },
        { "AUTOCLOSE=11", &TInitParam::AutoClose, 10 },
        { "INTERVAL=0", &TInitParam::Interval, 1 },
        { "INTERVAL=1000", &TInitParam::Interval, 168 },
        { "DAYCOUNT=8", &TInitParam::DayCount, 7 },
        { "DAYCOUNT=-8", &TInitParam::DayCount, 0 },
        { "MEMOLIMIT=-5", &TInitParam::MemoLimit, -1 },
        { "MEMOLIMIT=101", &TInitParam::MemoLimit, 100 },
        { "MEMOLIMIT=-1", &TInitParam::MemoLimit, -1 },
        { "LASTKIND=2", &TInitParam::LastKind, 0 },
        { "LASTKIND=1", &TInitParam::LastKind, 1 },
        { "STARTOFWEEK=-1", &TInitParam::StartOfWeek, 0 },
        { "STARTOFWEEK=1", &TInitParam::StartOfWeek, 1 },
        { "AUTOPICKUP=3", &TInitParam::AutoPickup, 0 },
        { "AUTOPICKUP=2", &TInitParam::AutoPickup, 2 },
    };
    TempDir dir;
    const std::string f = dir.path + "Kalvero.ini";
    for (const auto& c : cases) {
        Write(f, c.text);
        TInitParam p;
        p.LoadFromFile(f);
        p.FileName.clear();
        EXPECT_EQ(p.*c.field, c.expected) << c.text;
    }
    Write(f, "INVOKE=70000\r\nRESIZE=-1\r\n");
    TInitParam p;
    p.LoadFromFile(f);
    p.FileName.clear();
    EXPECT_EQ(p.Invoke, 0);
    EXPECT_EQ(p.Resize, 0);
}

TEST(InitParam, EmptyValuesRemoveTheirLines)
{
    TempDir dir;
    const std::string f = dir.path + "Kalvero.ini";
    TInitParam p;
    p.LoadFromFile(f);
    p.Title = "Work";
    p.FindList = "a,b";
    ASSERT_TRUE(p.SaveToFile());
    EXPECT_EQ(LinesOf(f)[3], "FINDLIST=a,b");
    EXPECT_EQ(LinesOf(f)[12], "TITLE=Work");
    p.Title.clear();
    p.FindList.clear();
    ASSERT_TRUE(p.SaveToFile());
    EXPECT_EQ(Read(f),
              Join(kDefaultLines)
                  .erase(Join(kDefaultLines).find("TITLE="), kDefaultLines[11].size() + 2));
    // The next start shows the product name again.
    TInitParam q;
    q.LoadFromFile(f);
    q.FileName.clear();
    EXPECT_EQ(q.Title, strconst::ProductName());
    // A line with an empty value is an empty string, not the default.
    Write(f, "MEMOTITLE=\r\n");
    q.LoadFromFile(f);
    q.FileName.clear();
    EXPECT_EQ(q.MemoTitle, "");
}

TEST(InitParam, NoValueCanSplitTheFile)
{
    TempDir dir;
    const std::string f = dir.path + "Kalvero.ini";
    TInitParam p;
    p.LoadFromFile(f);
    p.Title = std::string("a\r\nSECRETKEY=x\0y\rz\n", 19);
    p.MemoFont.Name = "bad\nname";
    ASSERT_TRUE(p.SaveToFile());
    const auto lines = LinesOf(f);
    EXPECT_EQ(lines.size(), 51u);
    EXPECT_EQ(lines[11], "TITLE=a  SECRETKEY=x y z ");
    TInitParam q;
    q.LoadFromFile(f);
    q.FileName.clear();
    EXPECT_EQ(q.SecretKey, "");
}

TEST(InitParam, PasswordIsStoredEnciphered)
{
    TempDir dir;
    const std::string f = dir.path + "Kalvero.ini";
    TInitParam p;
    p.LoadFromFile(f);
    p.SecretKey = "Pass1";
    ASSERT_TRUE(p.SaveToFile());
    auto lines = LinesOf(f);
    ASSERT_EQ(lines.size(), 52u);
    const std::string first = lines[12];
    ASSERT_EQ(first.rfind("SECRETKEY=", 0), 0u);
    EXPECT_EQ(first.size(), 10u + 18u);
    ASSERT_TRUE(p.SaveToFile());
    const std::string second = LinesOf(f)[12];
    EXPECT_NE(first, second); // a new salt at every save
    for (const std::string& line : { first, second }) {
        TCrypt c;
        c.Mode = TCrypt::kDecipher;
        EXPECT_EQ(c.Convert(line.substr(10)), "Pass1");
    }
    TInitParam q;
    q.LoadFromFile(f);
    q.FileName.clear();
    EXPECT_EQ(q.SecretKey, "Pass1");
    // A value too short to be a cipher text is taken as it is.
    Write(f, "SECRETKEY=plain\r\n");
    q.LoadFromFile(f);
    q.FileName.clear();
    EXPECT_EQ(q.SecretKey, "plain");
    // Removing the password removes the line.
    p.SecretKey.clear();
    ASSERT_TRUE(p.SaveToFile());
    EXPECT_EQ(Read(f).find("SECRETKEY"), std::string::npos);
}

TEST(InitParam, CheckPassword)
{
    TInitParam p;
    // No password: every entry passes and nothing is set.
    EXPECT_TRUE(p.CheckPassword("guess"));
    EXPECT_TRUE(p.SecretKey.empty());
    p.SecretKey = "Secret";
    EXPECT_TRUE(p.CheckPassword("Secret"));
    EXPECT_FALSE(p.CheckPassword("secret"));
    EXPECT_FALSE(p.CheckPassword("Secret "));
    EXPECT_FALSE(p.CheckPassword(""));
}

TEST(InitParam, TrustedSenders)
{
    TInitParam p;
    p.UserList = "boss@example.com, \"Team <team@example.jp>\" ,\x83\x41@example.jp";
    p.AutoPickup = 2;
    EXPECT_TRUE(p.IsTrustedSender("boss@example.com"));
    EXPECT_TRUE(p.IsTrustedSender("Boss@Example.COM"));
    EXPECT_TRUE(p.IsTrustedSender(" boss@example.com\r\n"));
    EXPECT_TRUE(p.IsTrustedSender("team <TEAM@example.jp>"));
    EXPECT_TRUE(p.IsTrustedSender("\x83\x41@EXAMPLE.jp"));
    // Parts of a listed address are not that address.
    for (const char* who : { "o@example.jp", "example.com", "boss@example.co", "", "  ",
                             "boss@example.com,x", "\x83\x61@example.jp" })
        EXPECT_FALSE(p.IsTrustedSender(who)) << who;
    p.AutoPickup = 1;
    EXPECT_TRUE(p.IsTrustedSender("anyone@anywhere"));
    p.AutoPickup = 0;
    EXPECT_FALSE(p.IsTrustedSender("boss@example.com"));
}

TEST(InitParam, FailedSaveSaysSoAndLeavesTheOldFile)
{
    TempDir dir;
    // A folder where the file should be.
    const std::string folder = dir.path + "Kalvero.ini";
    std::filesystem::create_directory(folder);
    {
        Messages m;
        {
            TInitParam p;
            p.LoadFromFile(folder);
            EXPECT_FALSE(p.SaveToFile());
            ASSERT_EQ(m.texts.size(), 1u);
            EXPECT_EQ(m.texts[0], "100:" + strconst::FileWriteError());
            m.texts.clear();
        }
        // Destroying it tried once more, without a message.
        EXPECT_TRUE(m.texts.empty());
    }
    EXPECT_TRUE(std::filesystem::is_directory(folder));

    // The disk refuses the data: the old file stays byte for byte.
    const std::string f = dir.path + "full.ini";
    const std::string old = "FOO=1\r\nTITLE=Old\r\n";
    Write(f, old);
    Messages m;
    TInitParam p;
    p.LoadFromFile(f);
    p.Title = "New";
    struct rlimit saved
    {
    };
    ::getrlimit(RLIMIT_FSIZE, &saved);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 64;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const bool ok = p.SaveToFile();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(ok);
    EXPECT_EQ(m.texts, std::vector<std::string> { "100:" + strconst::FileWriteError() });
    EXPECT_EQ(Read(f), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path),
                            std::filesystem::directory_iterator()),
              2); // no temporary file left behind
    // Data stays in memory; the next save succeeds.
    EXPECT_EQ(p.Title, "New");
    EXPECT_TRUE(p.SaveToFile());
    EXPECT_EQ(LinesOf(f)[1], "TITLE=New");
}

TEST(InitParam, DestructionSavesOnlyWhenNoSaveHappened)
{
    TempDir dir;
    const std::string f = dir.path + "Kalvero.ini";
    Messages m;
    {
        TInitParam p;
        p.LoadFromFile(f);
        p.Title = "Unsaved";
    }
    EXPECT_EQ(LinesOf(f)[11], "TITLE=Unsaved");
    {
        TInitParam p;
        p.LoadFromFile(f);
        p.Title = "Saved";
        ASSERT_TRUE(p.SaveToFile());
        p.Title = "After";
    }
    EXPECT_EQ(LinesOf(f)[11], "TITLE=Saved");
    // Never loaded: no path, nothing written.
    {
        TInitParam p;
    }
    EXPECT_TRUE(m.texts.empty());
}

TEST(InitFile, ReadsAndWritesLines)
{
    TempDir dir;
    const std::string f = dir.path + "a.ini";
    Write(f, "Key=v=w\r\nNUM=$10\r\nBAD=1x\r\nB=1\r\nE=\r\n");
    TInitFile file(f);
    EXPECT_FALSE(file.Modified);
    EXPECT_EQ(file.ReadString("key", "d"), "v=w");
    EXPECT_EQ(file.ReadString("E", "d"), "");
    EXPECT_EQ(file.ReadString("MISSING", "d"), "d");
    EXPECT_EQ(file.ReadInteger("num", 0), 16);
    EXPECT_EQ(file.ReadInteger("BAD", 5), 5);
    EXPECT_TRUE(file.ReadBool("b", false));
    EXPECT_TRUE(file.ReadBool("missing", true));
    file.WriteString("KEY", "");
    file.WriteInteger("NEW", -3);
    file.WriteBool("b", false);
    EXPECT_TRUE(file.Modified);
    ASSERT_TRUE(file.UpdateFile());
    EXPECT_EQ(Read(f), "NUM=$10\r\nBAD=1x\r\nb=0\r\nE=\r\nNEW=-3\r\n");
}
