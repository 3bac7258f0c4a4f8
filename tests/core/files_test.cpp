#include "core/files.h"
#include "core/sjis.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "support/testutil.h"
#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace {

mode_t ModeOf(const std::string& p)
{
    struct stat st
    {
    };
    ::stat(p.c_str(), &st);
    return st.st_mode & 0777;
}

} // namespace

TEST(Files, AtomicWriteCreatesAndReplaces)
{
    TempDir dir;
    const std::string f = dir.path + "a.sch";
    std::string err;
    ASSERT_TRUE(files::WriteAtomic(f, std::string("one\r\n\0two", 10), &err)) << err;
    EXPECT_EQ(ModeOf(f), 0600u);
    std::string back;
    ASSERT_TRUE(files::ReadAll(f, back));
    EXPECT_EQ(back, std::string("one\r\n\0two", 10));

    // An existing file keeps its mode.
    ::chmod(f.c_str(), 0640);
    ASSERT_TRUE(files::WriteAtomic(f, "new", &err));
    EXPECT_EQ(ModeOf(f), 0640u);
    ASSERT_TRUE(files::ReadAll(f, back));
    EXPECT_EQ(back, "new");
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(Files, PiecesAreInPlaceOnlyOnceCommittedAndADiscardedFileLeavesNothing)
{
    TempDir dir;
    const std::string f = dir.path + "out.vcs";
    files::TAtomicFile file;
    ASSERT_TRUE(file.Open(f) && file.Write("x"));
    file.Discard();
    EXPECT_TRUE(std::filesystem::is_empty(dir.path));
    ASSERT_TRUE(file.Open(f) && file.Write("one") && file.Write("two"));
    EXPECT_FALSE(files::Exists(f));
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(ReadFile(f), "onetwo");
}

TEST(Files, LinksAreFollowedAndLeftoversOfOurOwnRemoved)
{
    TempDir dir;
    namespace fs = std::filesystem;
    fs::create_directory(dir.path + "real");
    const std::string real = dir.path + "real/Kalvero.sch";
    ASSERT_TRUE(files::WriteAtomic(real, "old"));
    ::chmod(real.c_str(), 0640);
    // A relative link to a link to the file, and a link whose file is gone.
    fs::create_symlink("real/Kalvero.sch", dir.path + "first.sch");
    fs::create_symlink(dir.path + "first.sch", dir.path + "second.sch");
    fs::create_symlink("real/new.sch", dir.path + "dangling.sch");
    // What writes killed part way left, beside names that only look alike.
    const std::vector<std::string> others = { "Kalvero.sch.tmp", "Kalvero.sch.tmp12x",
                                              "Kalvero.sch.tmp1.bak", "Other.sch.tmp42" };
    for (const std::string& name : others)
        dir.Write("real/" + name, "x");
    dir.Write("real/Kalvero.sch.tmp123456789", "half");
    dir.Write("real/Kalvero.sch.tmp7", "half");

    std::string back;
    ASSERT_TRUE(files::WriteAtomic(dir.path + "second.sch", "new"));
    ASSERT_TRUE(files::ReadAll(real, back));
    EXPECT_EQ(back, "new");
    EXPECT_TRUE(fs::is_symlink(dir.path + "first.sch"));
    EXPECT_TRUE(fs::is_symlink(dir.path + "second.sch"));
    EXPECT_EQ(ModeOf(real), 0640u);
    ASSERT_TRUE(files::WriteAtomic(dir.path + "dangling.sch", "made"));
    EXPECT_TRUE(fs::is_symlink(dir.path + "dangling.sch"));
    ASSERT_TRUE(files::ReadAll(dir.path + "real/new.sch", back));
    EXPECT_EQ(back, "made");

    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir.path + "real"))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    std::vector<std::string> expected = others;
    expected.push_back("Kalvero.sch");
    expected.push_back("new.sch");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(left, expected);

    // A loop of links is an error, not a hang.
    fs::create_symlink("loop-b", dir.path + "loop-a");
    fs::create_symlink("loop-a", dir.path + "loop-b");
    std::string err;
    EXPECT_FALSE(files::WriteAtomic(dir.path + "loop-a", "x", &err));
    EXPECT_FALSE(err.empty());
}

TEST(Files, FailedWriteLeavesTheOldFileWhole)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root ignores folder permissions";
    TempDir dir;
    const std::string f = dir.path + "a.sch";
    ASSERT_TRUE(files::WriteAtomic(f, "old"));
    ::chmod(dir.path.c_str(), 0500);
    std::string err;
    EXPECT_FALSE(files::WriteAtomic(f, "new", &err));
    EXPECT_FALSE(err.empty());
    ::chmod(dir.path.c_str(), 0700);
    std::string back;
    ASSERT_TRUE(files::ReadAll(f, back));
    EXPECT_EQ(back, "old");
}

TEST(Files, WritingOverAFolderFailsAndReadingAMissingFileSaysSo)
{
    TempDir dir;
    std::string err;
    std::filesystem::create_directory(dir.path + "sub");
    EXPECT_FALSE(files::WriteAtomic(dir.path + "sub", "x", &err));
    EXPECT_EQ(err, dir.path + "sub: " + files::ErrnoText(EISDIR));
    EXPECT_TRUE(std::filesystem::is_directory(dir.path + "sub"));
    EXPECT_FALSE(files::WriteAtomic(dir.path + "missing/x.ini", "x", &err));

    std::string data;
    bool exists = true;
    EXPECT_FALSE(files::ReadAll(dir.path + "none", data, &err, &exists));
    EXPECT_FALSE(exists);
}

TEST(Files, ErrorTextsNameTheCommonCausesInJapaneseAndKeepTheSystemsForTheRest)
{
    for (const auto& [error, text] : std::initializer_list<std::pair<int, const char*>> {
             { EACCES, "アクセス権がありません" },
             { EROFS, "読み取り専用のファイルシステムです" },
             { ENOSPC, "ディスクの空き容量が足りません" },
             { EISDIR, "ファイルではなくフォルダです" },
             { ENOENT, "ファイルまたはフォルダが見つかりません" },
             { EIO, "Input/output error" } })
        EXPECT_EQ(files::ErrnoText(error), sjis::FromUtf8(text)) << error;
}

TEST(Files, PathHelpers)
{
    EXPECT_EQ(files::DirName("/a/b/Kalvero.sch"), "/a/b/");
    EXPECT_EQ(files::BaseName("/a/b/Kalvero.so"), "Kalvero");
    EXPECT_EQ(files::ChangeExt("/a/b/Kalvero.sch", ".phd"), "/a/b/Kalvero.phd");
    EXPECT_EQ(files::ChangeExt("/a.b/Kalvero", ".ini"), "/a.b/Kalvero.ini");
}
