// Random mutations of a settings file, with a fixed seed: loading never
// crashes (run under the sanitizers), every value lands within what the
// windows accept, and after saving the file settles to a fixed point.

#include "app/settings/initparam.h"
#include "core/files.h"
#include "core/sjis.h"

#include <gtest/gtest.h>

#include "support/testutil.h"

#include <filesystem>
#include <random>

namespace {

std::string Mutate(std::string s, std::mt19937& rng)
{
    // Bytes that matter to the reader; the terminating NUL is one of them.
    static const char bytes[] = "\r\n=,\"$-9 \x83\x81\xFF\t\\";
    for (int ops = 1 + static_cast<int>(rng() % 8); ops > 0; --ops) {
        const std::size_t pos = s.empty() ? 0 : rng() % s.size();
        const char any = (rng() % 2) ? static_cast<char>(rng()) : bytes[rng() % sizeof bytes];
        switch (rng() % 5) {
        case 0:
            if (!s.empty())
                s[pos] = any;
            break;
        case 1:
            s.insert(pos, 1, any);
            break;
        case 2:
            s.erase(pos, rng() % 16);
            break;
        case 3:
            s.insert(pos, s.substr(rng() % (s.size() + 1), rng() % 40));
            break;
        default:
            s.resize(pos);
            break;
        }
    }
    return s;
}

std::string WithoutPassword(const std::string& data)
{
    std::string out;
    for (const std::string& line : sjis::SplitLines(data))
        if (line.rfind("SECRETKEY=", 0) != 0)
            out += line + "\r\n";
    return out;
}

bool Within(std::int32_t v, std::int32_t lo, std::int32_t hi)
{
    return v >= lo && v <= hi;
}

} // namespace

TEST(InitParamHostile, MutatedFilesLoadAndSettle)
{
    std::string base;
    ASSERT_TRUE(files::ReadAll(KALVERO_SOURCE_DIR "/tests/data/settings/full.ini", base));
    // Every save is flushed to disk; a memory file system keeps this quick.
    const TempDir dir(std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp");
    const std::string f = dir.path + "Kalvero.ini";
    std::mt19937 rng(5150);
    for (int round = 0; round < 600; ++round) {
        ASSERT_TRUE(files::WriteAtomic(f, Mutate(base, rng)));
        // A line with an empty value loads as an empty text and is dropped by
        // the save, so the key's default reaches the file one save later;
        // from then on the file stays as it is (but for the password's salt).
        std::string generations[3], passwords[3];
        for (int g = 0; g < 3; ++g) {
            TInitParam p;
            p.LoadFromFile(f);
            EXPECT_TRUE(p.MainView.Right > p.MainView.Left && p.MainView.Bottom > p.MainView.Top);
            EXPECT_TRUE(Within(p.DateColumn, 50, 200) && Within(p.DateBorder, 0, 4) &&
                        Within(p.AutoClose, 0, 10) && Within(p.Interval, 1, 168) &&
                        Within(p.DayCount, 0, 7) && Within(p.MemoLimit, -1, 100) &&
                        Within(p.LastKind, 0, 1) && Within(p.StartOfWeek, 0, 1) &&
                        Within(p.AutoPickup, 0, 2) && (p.DispType & 1) == 0);
            for (const TFontRec* font : { &p.EventFont, &p.DateFont, &p.MemoFont })
                EXPECT_TRUE(font->Size >= 1 && Within(font->Charset, 0, 255) &&
                            Within(font->Style, 0, 15) && Within(font->Pitch, 0, 2));
            EXPECT_EQ(p.UserList, sjis::LowerAscii(p.UserList));
            passwords[g] = p.SecretKey;
            ASSERT_TRUE(p.SaveToFile());
            files::ReadAll(f, generations[g]);
        }
        ASSERT_EQ(WithoutPassword(generations[1]), WithoutPassword(generations[2]))
            << "round " << round;
        EXPECT_EQ(passwords[1], passwords[2]);
    }
}
