// Where the two builds keep their files, and the folder creation before
// anything is read.
#include "app/datapaths.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

namespace {

bool IsDir(const std::string& path)
{
    struct stat st
    {
    };
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

TEST(DataPaths, ProgramKeepsEverythingBesideTheExecutable)
{
    const TDataPaths p = ProgramDataPaths("/opt/kal/bin/Kalvero");
    EXPECT_EQ(p.DataDir, "/opt/kal/bin/");
    EXPECT_EQ(p.SettingsFile, "/opt/kal/bin/Kalvero.ini");
    EXPECT_EQ(p.ScheduleFile, "/opt/kal/bin/Kalvero.sch");
    EXPECT_EQ(p.HolidayFile, "/opt/kal/bin/Kalvero.hol");
    EXPECT_EQ(p.PersonalHolidayFile, "/opt/kal/bin/Kalvero.phd");
    EXPECT_EQ(p.PhoneFile, "/opt/kal/bin/Kalvero.tel");
    EXPECT_EQ(p.MemoFile, "/opt/kal/bin/Kalvero.mem");
    EXPECT_EQ(p.LockFile, "/opt/kal/bin/Kalvero.lock");
}

TEST(DataPaths, ProgramUnderAnotherNameKeepsTheDataBaseName)
{
    // Only the settings file follows the executable's name.
    const TDataPaths p = ProgramDataPaths("/home/u/tools/mysched.bin");
    EXPECT_EQ(p.SettingsFile, "/home/u/tools/mysched.ini");
    EXPECT_EQ(p.ScheduleFile, "/home/u/tools/Kalvero.sch");
    EXPECT_EQ(p.HolidayFile, "/home/u/tools/Kalvero.hol");
    EXPECT_EQ(p.MemoFile, "/home/u/tools/Kalvero.mem");
    // A dotted folder name does not lend its dot to a name without one.
    EXPECT_EQ(ProgramDataPaths("/a.b/sched").SettingsFile, "/a.b/sched.ini");
}

TEST(DataPaths, PluginKeepsDataInTheHostFolderAndHolidaysBesideTheLibrary)
{
    for (const std::string host : { "/home/u/.becky/data", "/home/u/.becky/data/" }) {
        const TDataPaths p = PluginDataPaths(host, "/usr/lib/mailer/plugins/Kalvero.so");
        EXPECT_EQ(p.DataDir, "/home/u/.becky/data/Kalvero/");
        EXPECT_EQ(p.SettingsFile, "/home/u/.becky/data/Kalvero/Kalvero.ini");
        EXPECT_EQ(p.ScheduleFile, "/home/u/.becky/data/Kalvero/Kalvero.sch");
        EXPECT_EQ(p.PersonalHolidayFile, "/home/u/.becky/data/Kalvero/Kalvero.phd");
        EXPECT_EQ(p.PhoneFile, "/home/u/.becky/data/Kalvero/Kalvero.tel");
        EXPECT_EQ(p.MemoFile, "/home/u/.becky/data/Kalvero/Kalvero.mem");
        EXPECT_EQ(p.HolidayFile, "/usr/lib/mailer/plugins/Kalvero.hol");
        EXPECT_EQ(p.LockFile, "/home/u/.becky/data/Kalvero/Kalvero.lock");
    }
    // A renamed library names its files after itself.
    const TDataPaths p = PluginDataPaths("/d", "/p/Sched2.so");
    EXPECT_EQ(p.SettingsFile, "/d/Kalvero/Sched2.ini");
    EXPECT_EQ(p.ScheduleFile, "/d/Kalvero/Sched2.sch");
    EXPECT_EQ(p.HolidayFile, "/p/Sched2.hol");
}

TEST(DataPaths, PluginFolderIsCreatedInAFakeHostDataFolder)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const std::string host = tmp.path().toStdString() + "/host/data";
    const TDataPaths p = PluginDataPaths(host, "/p/Kalvero.so");
    std::string error;
    ASSERT_TRUE(EnsureFolder(p.DataDir, &error)) << error;
    EXPECT_TRUE(IsDir(host + "/Kalvero"));
    // Again: nothing to do.
    EXPECT_TRUE(EnsureFolder(p.DataDir, &error)) << error;

    // A file where a folder belongs is a failure with a reason.
    const std::string blocked = tmp.path().toStdString() + "/file";
    std::ofstream(blocked) << "x";
    EXPECT_FALSE(EnsureFolder(blocked + "/Kalvero/", &error));
    EXPECT_NE(error.find("file"), std::string::npos);
    EXPECT_FALSE(EnsureFolder(blocked, &error));
}

} // namespace
