#include "core/files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include "support/testutil.h"

namespace {

mode_t ModeOf(const std::string& p)
{
    struct stat st {};
    ::stat(p.c_str(), &st);
    return st.st_mode & 0777;
}

} // namespace

TEST(Files, AtomicWriteCreatesAndReplaces)
{
    TempDir dir;
    const std::string f = dir.path + "a.sch";
    std::string err;
    ASSERT_TRUE(files::WriteAtomic(f, std::string("one\r\n\0two", 10), &err, files::NewFileMode::Private)) << err;
    EXPECT_EQ(ModeOf(f), 0600u);
    std::string back;
    ASSERT_TRUE(files::ReadAll(f, back));
    EXPECT_EQ(back, std::string("one\r\n\0two", 10));

    // An existing file keeps its mode.
    ::chmod(f.c_str(), 0640);
    ASSERT_TRUE(files::WriteAtomic(f, "new", &err, files::NewFileMode::Private));
    EXPECT_EQ(ModeOf(f), 0640u);
    ASSERT_TRUE(files::ReadAll(f, back));
    EXPECT_EQ(back, "new");
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path),
                            std::filesystem::directory_iterator()), 1);
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
    EXPECT_TRUE(std::filesystem::is_directory(dir.path + "sub"));
    EXPECT_FALSE(files::WriteAtomic(dir.path + "missing/x.ini", "x", &err));

    std::string data;
    bool exists = true;
    EXPECT_FALSE(files::ReadAll(dir.path + "none", data, &err, &exists));
    EXPECT_FALSE(exists);
}

TEST(Files, PathHelpers)
{
    EXPECT_EQ(files::DirName("/a/b/Kalvero.sch"), "/a/b/");
    EXPECT_EQ(files::BaseName("/a/b/Kalvero.so"), "Kalvero");
    EXPECT_EQ(files::ChangeExt("/a/b/Kalvero.sch", ".phd"), "/a/b/Kalvero.phd");
    EXPECT_EQ(files::ChangeExt("/a.b/Kalvero", ".ini"), "/a.b/Kalvero.ini");
}
