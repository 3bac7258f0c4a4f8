// Random mutations of a settings file, with a fixed seed: loading never
// crashes (run under the sanitizers), every value lands within what the
// windows accept, and after saving the file settles to a fixed point.

#include "app/settings/initparam.h"
#include "core/files.h"
#include "core/sjis.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <random>

namespace {

const std::string kBase = "; settings\r\n"
                          "MAINVIEW=10,20,630,500\r\n"
                          "LISTVIEW=3,1,0,0,0,230,210\r\n"
                          "FINDLIST=\"a b\",c,\"d\"\"e\"\r\n"
                          "PHONETAB=0\r\n"
                          "SUBJECT=\x89\xEF\x8B\x63,\x8F\x6F\x92\xA3\r\n"
                          "TYPES=\"Work:$0000FF:$E0FFFF\",Home:$008000\r\n"
                          "LASTKIND=1\r\n"
                          "EVENTFONT=\"MS Gothic\",128,$0000FF,3,12,2\r\n"
                          "DATEFONT=\x82\x6C\x82\x72Mincho,1,$80000008,12,10,1\r\n"
                          "TITLE=My schedule\r\n"
                          "SECRETKEY=AbCdEfZIDE9BLnGZgB\r\n"
                          "MEMOCOLOR=$80000005\r\n"
                          "INVOKE=$4041\r\n"
                          "AUTOPICKUP=2\r\n"
                          "USERLIST=Boss@Example.com,\"x y@z\"\r\n"
                          "DISPTYPE=7\r\n"
                          "DATECOLUMN=120\r\n"
                          "MEMOLIMIT=-1\r\n"
                          "\r\n"
                          "FOREIGN=kept\r\n";

std::string Mutate(std::string s, std::mt19937& rng)
{
    static const char interesting[] = { '\r', '\n', '\0',   '=',    ',',    '"', '$',  '-',
                                        '9',  ' ',  '\x83', '\x81', '\xFF', 'A', '\t', '\x5C' };
    const int ops = 1 + static_cast<int>(rng() % 8);
    for (int i = 0; i < ops; ++i) {
        const std::size_t pos = s.empty() ? 0 : rng() % s.size();
        switch (rng() % 6) {
        case 0:
            if (!s.empty())
                s[pos] = static_cast<char>(rng());
            break;
        case 1:
            s.insert(pos, 1, interesting[rng() % sizeof interesting]);
            break;
        case 2:
            s.erase(pos, rng() % 16);
            break;
        case 3:
            s.insert(pos, s.substr(rng() % (s.size() + 1), rng() % 40));
            break;
        case 4:
            s.resize(pos);
            break;
        default:
            if (!s.empty())
                s[pos] = interesting[rng() % sizeof interesting];
            break;
        }
    }
    return s;
}

std::string WithoutSecret(const std::string& data)
{
    std::string out;
    for (const std::string& line : sjis::SplitLines(data))
        if (line.rfind("SECRETKEY=", 0) != 0)
            out += line + "\r\n";
    return out;
}

void ExpectWithinRange(const TInitParam& p)
{
    EXPECT_GT(p.MainView.Right, p.MainView.Left);
    EXPECT_GT(p.MainView.Bottom, p.MainView.Top);
    EXPECT_TRUE(p.DateColumn >= 50 && p.DateColumn <= 200);
    EXPECT_TRUE(p.DateBorder >= 0 && p.DateBorder <= 4);
    EXPECT_TRUE(p.AutoClose >= 0 && p.AutoClose <= 10);
    EXPECT_TRUE(p.Interval >= 1 && p.Interval <= 168);
    EXPECT_TRUE(p.DayCount >= 0 && p.DayCount <= 7);
    EXPECT_TRUE(p.MemoLimit >= -1 && p.MemoLimit <= 100);
    EXPECT_TRUE(p.LastKind == 0 || p.LastKind == 1);
    EXPECT_TRUE(p.StartOfWeek == 0 || p.StartOfWeek == 1);
    EXPECT_TRUE(p.AutoPickup >= 0 && p.AutoPickup <= 2);
    EXPECT_EQ(p.DispType & 1, 0);
    for (const TFontRec* f : { &p.EventFont, &p.DateFont, &p.MemoFont }) {
        EXPECT_GE(f->Size, 1);
        EXPECT_TRUE(f->Charset >= 0 && f->Charset <= 255);
        EXPECT_EQ(f->Style & ~15, 0);
        EXPECT_TRUE(f->Pitch >= 0 && f->Pitch <= 2);
    }
    EXPECT_EQ(p.UserList, sjis::LowerAscii(p.UserList));
}

} // namespace

TEST(InitParamHostile, MutatedFilesLoadAndSettle)
{
    // Every save is flushed to disk; a memory file system keeps this quick.
    std::string tmpl = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
    tmpl += "/kalvero-settings-hostile-XXXXXX";
    const std::string dir = std::string(::mkdtemp(tmpl.data())) + "/";
    const std::string f = dir + "Kalvero.ini";
    std::mt19937 rng(5150);
    for (int round = 0; round < 600; ++round) {
        ASSERT_TRUE(files::WriteAtomic(f, Mutate(kBase, rng)));
        // A line with an empty value loads as an empty text and is dropped by
        // the save, so the key's default reaches the file one save later.
        // From then on the file is a fixed point (the password line changes
        // its salt at every save, the password does not).
        std::string generations[3];
        std::string passwords[3];
        for (int g = 0; g < 3; ++g) {
            TInitParam p;
            p.LoadFromFile(f);
            ExpectWithinRange(p);
            passwords[g] = p.SecretKey;
            ASSERT_TRUE(p.SaveToFile());
            files::ReadAll(f, generations[g]);
        }
        ASSERT_EQ(WithoutSecret(generations[1]), WithoutSecret(generations[2]))
            << "round " << round;
        EXPECT_EQ(passwords[1], passwords[2]);
    }
    std::filesystem::remove_all(dir);
}
