#include "app/datapaths.h"

#include "core/files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

std::string FileNameOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string WithSlash(std::string folder)
{
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

// The files that share the schedule file's name.
void FillFromSchedule(TDataPaths& paths)
{
    paths.PersonalHolidayFile = files::ChangeExt(paths.ScheduleFile, ".phd");
    paths.PhoneFile = files::ChangeExt(paths.ScheduleFile, ".tel");
    paths.MemoFile = files::ChangeExt(paths.ScheduleFile, ".mem");
    paths.LockFile = files::ChangeExt(paths.ScheduleFile, ".lock");
}

} // namespace

TDataPaths ProgramDataPaths(const std::string& executablePath)
{
    TDataPaths paths;
    paths.DataDir = files::DirName(executablePath);
    paths.SettingsFile = paths.DataDir + files::ChangeExt(FileNameOf(executablePath), ".ini");
    const std::string base = paths.DataDir + "Kalvero.xxx";
    paths.ScheduleFile = files::ChangeExt(base, ".sch");
    paths.HolidayFile = files::ChangeExt(base, ".hol");
    FillFromSchedule(paths);
    return paths;
}

TDataPaths PluginDataPaths(const std::string& hostDataFolder, const std::string& libraryPath)
{
    TDataPaths paths;
    paths.DataDir = WithSlash(hostDataFolder) + "Kalvero/";
    const std::string name = FileNameOf(libraryPath);
    paths.SettingsFile = paths.DataDir + files::ChangeExt(name, ".ini");
    paths.ScheduleFile = paths.DataDir + files::ChangeExt(name, ".sch");
    paths.HolidayFile = files::ChangeExt(libraryPath, ".hol");
    FillFromSchedule(paths);
    return paths;
}

bool EnsureFolder(const std::string& folder, std::string* error)
{
    auto fail = [&](const std::string& path, int err) {
        if (error)
            *error = path + ": " + files::ErrnoText(err);
        return false;
    };
    if (folder.empty())
        return true;
    // Each prefix ending before a "/" in turn, then the whole path.
    std::string::size_type pos = 0;
    while (true) {
        pos = folder.find('/', pos + 1);
        const std::string part = folder.substr(0, pos);
        if (!part.empty()) {
            struct stat st
            {
            };
            if (::stat(part.c_str(), &st) == 0) {
                if (!S_ISDIR(st.st_mode))
                    return fail(part, ENOTDIR);
            } else if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) {
                return fail(part, errno);
            }
        }
        if (pos == std::string::npos || pos + 1 >= folder.size())
            break;
    }
    return true;
}

bool FolderTakesFiles(const std::string& folder, std::string* error)
{
    std::string probe = WithSlash(folder) + ".Kalvero-XXXXXX";
    const int fd = ::mkstemp(probe.data());
    if (fd < 0) {
        if (error)
            *error = folder + ": " + files::ErrnoText(errno);
        return false;
    }
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}
