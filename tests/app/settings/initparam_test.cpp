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

#include "support/testutil.h"
#include <csignal>
#include <filesystem>

namespace {

const std::string kData = KALVERO_SOURCE_DIR "/tests/data/settings/";

std::string Join(const std::vector<std::string>& lines)
{
    std::string out;
    for (const auto& l : lines)
        out += l + "\r\n";
    return out;
}

const std::vector<std::string> kDefaults = sjis::SplitLines(ReadFile(kData + "default.ini"));

// Loads text as a settings file into p and returns what p's save writes.
std::string LoadSave(const std::string& text, TInitParam& p)
{
    TempDir dir;
    EXPECT_TRUE(files::WriteAtomic((dir.path + "Kalvero.ini"), text));
    p.LoadFromFile(dir.path + "Kalvero.ini");
    EXPECT_TRUE(p.SaveToFile());
    p.FileName.clear();
    return ReadFile(dir.path + "Kalvero.ini");
}

struct Messages
{
    std::vector<std::string> texts;
    report::ScopedSink sink { [this](report::Kind, const std::string& t) { texts.push_back(t); } };
};

} // namespace

TEST(InitParam, FreshFileHoldsTheDefaultsInTableOrder)
{
    TempDir dir;
    TInitParam p;
    EXPECT_EQ(p.MainView, TBounds {}); // zero until loaded
    EXPECT_EQ(p.Interval, 0);
    p.LoadFromFile(dir.path + "Kalvero.ini");
    EXPECT_FALSE(files::Exists(dir.path + "Kalvero.ini")); // loading writes nothing
    EXPECT_EQ(p.MainView, (TBounds { 0, 0, 520, 420 }));
    EXPECT_EQ(p.Title, strconst::PluginProductName());
    EXPECT_EQ(p.MemoColor, std::int32_t(0x80000005));
    ASSERT_TRUE(p.SaveToFile());
    EXPECT_EQ(kDefaults.size(), 51u);
    EXPECT_EQ(ReadFile(dir.path + "Kalvero.ini"), Join(kDefaults));
    struct stat st = {};
    ::stat((dir.path + "Kalvero.ini").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u); // it holds the enciphered password

    strconst::SetBuild(strconst::Build::Program);
    p.LoadFromFile(dir.path + "other.ini");
    strconst::SetBuild(strconst::Build::Plugin);
    EXPECT_EQ(p.Title, strconst::ProgramProductName());
    p.FileName.clear();
}

TEST(InitParam, OtherLinesStayWhereTheyWere)
{
    TInitParam p;
    std::vector<std::string> expected = { "; comment", "FOO=1", "", "TITLE=Work",
                                          "MAINVIEW=1,2,300,400" };
    for (const auto& l : kDefaults)
        if (l.rfind("TITLE=", 0) && l.rfind("MAINVIEW=", 0))
            expected.push_back(l);
    EXPECT_EQ(LoadSave("; comment\r\nFOO=1\r\n\r\ntitle=Work\r\nmainView=1,2,300,400\r\n", p),
              Join(expected));
    // LF-only and CR-only line ends; a second line of one key is left alone.
    EXPECT_EQ(LoadSave("FOO=1\n\nTITLE=One\rDATECOLUMN=120\nTITLE=Two", p).substr(0, 34),
              "FOO=1\r\n\r\nTITLE=One\r\nDATECOLUMN=120");
    EXPECT_EQ(p.Title, "One");
    EXPECT_EQ(p.DateColumn, 120);
}

TEST(InitParam, LoadedValues)
{
    TInitParam p;
    std::vector<std::string> saved = sjis::SplitLines(
        LoadSave(ReadFile(kData + "full.ini") +
                     "RESIZE=24641\r\nFINDCOLOR=-2147483643\r\nREDUCEDAY=1\r\nCLOCKDISP=yes\r\n",
                 p));
    // The password is enciphered under a new salt at every save: its line
    // must decipher to the same password, the rest must match byte for byte.
    std::vector<std::string> expected = sjis::SplitLines(ReadFile(kData + "full-saved.ini"));
    ASSERT_EQ(saved.size(), expected.size());
    for (std::size_t i = 0; i < saved.size(); ++i) {
        if (expected[i].rfind("SECRETKEY=", 0) == 0 && saved[i].rfind("SECRETKEY=", 0) == 0) {
            EXPECT_EQ(saved[i].size(), expected[i].size());
            EXPECT_EQ(TInitParam::CryptString(saved[i].substr(10), TCrypt::kDecipher), "password");
            saved[i] = expected[i];
        }
    }
    EXPECT_EQ(Join(saved), ReadFile(kData + "full-saved.ini"));
    EXPECT_EQ(p.Invoke, 0x4041); // $4041
    EXPECT_EQ(p.Resize, 0x6041);
    EXPECT_EQ(p.DispType, 6); // DISPTYPE=7: secret items stay hidden after every start
    EXPECT_EQ(p.FindColor, std::int32_t(0x80000005));
    EXPECT_TRUE(p.ReduceDay);
    EXPECT_FALSE(p.ClockDisp); // only "1" is true
    EXPECT_EQ(p.UserList, "boss@example.com,\"x y@z\"");
    EXPECT_EQ(p.SecretKey, "password");
    EXPECT_EQ(p.Subject, "\x89\xEF\x8B\x63,\x8F\x6F\x92\xA3"); // 会議,出張
    // The 12-point, bold and italic, fixed-pitch, red font.
    EXPECT_EQ(p.EventFont,
              (TFontRec { "MS Gothic", 128, 0x0000FF, fsBold | fsItalic, 12, fpFixed }));
    EXPECT_EQ(p.DateFont.Style, fsUnderline | fsStrikeOut);

    std::int32_t v;
    EXPECT_TRUE(ParseSettingInt("$1F", v) && v == 31);
    EXPECT_TRUE(ParseSettingInt("$FFFFFFFF", v) && v == -1);
    EXPECT_TRUE(ParseSettingInt("-2147483648", v) && v == INT32_MIN);
    EXPECT_TRUE(ParseSettingInt("+7", v) && v == 7);
    for (const char* bad : { "", "$", "-", "2147483648", "-2147483649", "$100000000", " 1", "1 ",
                             "0x10", "-$1", "99999999999999999999999" })
        EXPECT_FALSE(ParseSettingInt(bad, v)) << bad;
}

TEST(InitParam, ValuesAreKeptWithinWhatTheWindowsAccept)
{
    TInitParam low, high;
    LoadSave("DATECOLUMN=10\nDATEBORDER=-1\nAUTOCLOSE=-3\nINTERVAL=0\nDAYCOUNT=-8\nMEMOLIMIT=-5\n"
             "LASTKIND=-1\nSTARTOFWEEK=-1\nAUTOPICKUP=-1\nINVOKE=-1\nEVENTFONT=A,0,0,255,0,7\n",
             low);
    LoadSave(
        "DATECOLUMN=500\nDATEBORDER=9\nAUTOCLOSE=11\nINTERVAL=1000\nDAYCOUNT=8\nMEMOLIMIT=101\n"
        "LASTKIND=2\nSTARTOFWEEK=2\nAUTOPICKUP=3\nINVOKE=65536\nEVENTFONT=A,0,0,0,-4,1\n",
        high);
    EXPECT_EQ(std::vector<int>({ low.DateColumn, low.DateBorder, low.AutoClose, low.Interval,
                                 low.DayCount, low.MemoLimit, low.LastKind, low.StartOfWeek,
                                 low.AutoPickup, low.Invoke }),
              std::vector<int>({ 50, 0, 0, 1, 0, -1, 0, 0, 0, 0 }));
    EXPECT_EQ(std::vector<int>({ high.DateColumn, high.DateBorder, high.AutoClose, high.Interval,
                                 high.DayCount, high.MemoLimit, high.LastKind, high.StartOfWeek,
                                 high.AutoPickup, high.Invoke }),
              std::vector<int>({ 200, 4, 10, 168, 7, 100, 0, 0, 0, 0 }));
    // Unknown style bits dropped, unknown pitch the default, size at least 1.
    EXPECT_EQ(low.EventFont, (TFontRec { "A", 0, 0, 15, 1, fpDefault }));
    EXPECT_EQ(high.EventFont.Size, 1);
}

// A value that does not convert gives that key's default; after the save only
// its line differs from the file.
TEST(InitParam, MalformedValueChangesOnlyItsOwnLine)
{
    const std::string font = "IPAPGothic,128,$80000008,0,9,0";
    const std::pair<std::string, std::string> cases[] = {
        { "DATECOLUMN=abc", "DATECOLUMN=80" },
        { "DATECOLUMN=", "DATECOLUMN=80" },
        { "MEMOCOLOR=$1FFFFFFFF", "MEMOCOLOR=-2147483643" },
        { "SCHEDCOLOR=99999999999", "SCHEDCOLOR=14745599" },
        { "INVOKE=$", "INVOKE=0" },
        { "MAINVIEW=1,2,3", "MAINVIEW=0,0,520,420" },
        { "MAINVIEW=10,10,5,20", "MAINVIEW=0,0,520,420" },
        { "MAINVIEW=1,9,5,9", "MAINVIEW=0,0,520,420" },
        { "EVENTFONT=a,b,c,d,e,f", "EVENTFONT=" + font },
        { "EVENTFONT=x,300,$0,0,9,0", "EVENTFONT=" + font },
        { "EVENTFONT=Courier,0", "EVENTFONT=" + font },
        { "DATEFONT=\"\x83\",1,0,0,9,0", "DATEFONT=" + font },
        { "MEMOFONT=\"a\tb\",1,$0,0,9,0", "MEMOFONT=" + font },
    };
    for (const auto& [line, becomes] : cases) {
        std::vector<std::string> file = kDefaults;
        const std::string key = line.substr(0, line.find('=') + 1);
        auto at = std::find_if(file.begin(), file.end(),
                               [&](const std::string& l) { return l.rfind(key, 0) == 0; });
        *at = line;
        std::vector<std::string> expected = file;
        expected[at - file.begin()] = becomes;
        TInitParam p;
        EXPECT_EQ(LoadSave(Join(file), p), Join(expected)) << line;
    }
}

TEST(InitParam, EmptyValuesAndLineBreaks)
{
    TempDir dir;
    TInitParam p;
    p.LoadFromFile(dir.path + "Kalvero.ini");
    p.Title.clear(); // cleared in the settings dialog
    p.MemoTitle = std::string("a\r\nSECRETKEY=x\0y", 16);
    ASSERT_TRUE(p.SaveToFile());
    const std::vector<std::string> lines = sjis::SplitLines(ReadFile(dir.path + "Kalvero.ini"));
    EXPECT_EQ(lines.size(), 50u); // no TITLE line, and nothing split
    EXPECT_EQ(lines[12], "MEMOTITLE=a  SECRETKEY=x y");
    p.LoadFromFile(dir.path + "Kalvero.ini");
    EXPECT_EQ(p.Title, strconst::ProductName()); // the next start shows the product name
    EXPECT_EQ(p.SecretKey, "");
    // A line with an empty value is an empty text, not the default.
    LoadSave("MEMOTITLE=\r\n", p);
    EXPECT_EQ(p.MemoTitle, "");
}

TEST(InitParam, PasswordIsStoredEnciphered)
{
    TempDir dir;
    TInitParam p;
    p.LoadFromFile(dir.path + "Kalvero.ini");
    p.SecretKey = "Pass1";
    std::string values[2];
    for (std::string& value : values) {
        ASSERT_TRUE(p.SaveToFile());
        value = sjis::SplitLines(ReadFile(dir.path + "Kalvero.ini"))[12];
        ASSERT_EQ(value.size(), 10u + 18u);
        EXPECT_EQ(TInitParam::CryptString(value.substr(10), TCrypt::kDecipher), "Pass1");
    }
    EXPECT_NE(values[0], values[1]); // a new salt at every save
    TInitParam q;
    LoadSave(ReadFile(dir.path + "Kalvero.ini"), q);
    EXPECT_EQ(q.SecretKey, "Pass1");
    LoadSave("SECRETKEY=plain\r\n", q); // too short for a cipher text: taken as it is
    EXPECT_EQ(q.SecretKey, "plain");
    p.SecretKey.clear();
    ASSERT_TRUE(p.SaveToFile());
    EXPECT_EQ(ReadFile(dir.path + "Kalvero.ini"), Join(kDefaults));
}

TEST(InitParam, PasswordCheckAndTrustedSenders)
{
    TInitParam p;
    EXPECT_TRUE(p.CheckPassword("guess")); // no password: passes, sets nothing
    EXPECT_TRUE(p.SecretKey.empty());
    p.SecretKey = "Secret";
    EXPECT_TRUE(p.CheckPassword("Secret"));
    EXPECT_FALSE(p.CheckPassword("secret") || p.CheckPassword("Secret ") || p.CheckPassword(""));

    p.UserList = "boss@example.com, \"Team <team@example.jp>\" ,\x83\x41@example.jp";
    p.AutoPickup = 2;
    for (const char* who : { "boss@example.com", "Boss@Example.COM", " boss@example.com\r\n",
                             "team <TEAM@example.jp>", "\x83\x41@EXAMPLE.jp" })
        EXPECT_TRUE(p.IsTrustedSender(who)) << who;
    // Parts of a listed address are not that address; "ア" (83 41) is no "a".
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
    Messages m;
    std::filesystem::create_directory(
        (dir.path + "Kalvero.ini")); // a folder where the file should be
    {
        TInitParam p;
        p.LoadFromFile(dir.path + "Kalvero.ini");
        EXPECT_FALSE(p.SaveToFile());
        EXPECT_EQ(m.texts, std::vector<std::string> { "100:" + strconst::FileWriteError() });
    } // destruction tries once more, silently
    EXPECT_EQ(m.texts.size(), 1u);

    // The disk refuses the data: the old file stays byte for byte.
    const std::string f = dir.path + "full.ini", old = "FOO=1\r\nTITLE=Old\r\n";
    ASSERT_TRUE(files::WriteAtomic(f, old));
    TInitParam p;
    p.LoadFromFile(f);
    p.Title = "New";
    struct rlimit saved
    {
    };
    ::getrlimit(RLIMIT_FSIZE, &saved);
    struct rlimit small = saved;
    small.rlim_cur = 64;
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &small);
    const bool ok = p.SaveToFile();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(ok);
    EXPECT_EQ(m.texts.size(), 2u);
    EXPECT_EQ(ReadFile(f), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path),
                            std::filesystem::directory_iterator()),
              2); // no temporary file left behind
    EXPECT_TRUE(p.SaveToFile()); // the data stayed in memory
    EXPECT_EQ(sjis::SplitLines(ReadFile(f))[1], "TITLE=New");
}

TEST(InitParam, DestructionSavesOnlyWhenNoSaveHappened)
{
    TempDir dir;
    Messages m;
    for (bool saveFirst : { false, true }) {
        TInitParam p;
        p.LoadFromFile(dir.path + "Kalvero.ini");
        p.Title = saveFirst ? "Saved" : "Unsaved";
        if (saveFirst) {
            ASSERT_TRUE(p.SaveToFile());
        }
        p.Title = "Changed later";
    }
    EXPECT_EQ(sjis::SplitLines(ReadFile(dir.path + "Kalvero.ini"))[11], "TITLE=Saved");
    TempDir other;
    {
        TInitParam p;
        p.LoadFromFile(other.path + "Kalvero.ini");
    }
    EXPECT_EQ(ReadFile(other.path + "Kalvero.ini"), Join(kDefaults));
    EXPECT_TRUE(m.texts.empty());
}
