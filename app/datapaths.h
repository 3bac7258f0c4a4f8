#pragma once

// Where the scheduler keeps its files. The two builds differ:
//  - the program keeps everything in its executable's folder: the settings
//    file is named after the executable, the data files after the fixed
//    base "Kalvero";
//  - the plug-in keeps its data in "Kalvero/" inside the host's data folder,
//    named after the library's own file name, and reads the public holiday
//    rules from beside the library.
// Paths are byte strings as the file functions of the core take them.

#include <string>

struct TDataPaths
{
    std::string DataDir; // the folder the data files lie in, ending in "/"
    std::string SettingsFile; // ".ini"
    std::string ScheduleFile; // ".sch"
    std::string HolidayFile; // ".hol": public holiday rules, loaded first
    std::string PersonalHolidayFile; // ".phd": personal rules, appended
    std::string PhoneFile; // ".tel"
    std::string MemoFile; // ".mem"
    std::string LockFile; // held while a Kalvero works on this folder
};

// The program build, from the executable's full path.
TDataPaths ProgramDataPaths(const std::string& executablePath);

// The plug-in build, from the host's data folder (with or without a trailing
// "/") and the library's full path.
TDataPaths PluginDataPaths(const std::string& hostDataFolder, const std::string& libraryPath);

// Creates a folder with every missing parent. False (and the reason) when it
// cannot be made or a file stands in its place.
bool EnsureFolder(const std::string& folder, std::string* error = nullptr);

// Whether a new file can be made in the folder (the data files are written
// beside themselves and renamed over the old ones). False and the reason
// when not.
bool FolderTakesFiles(const std::string& folder, std::string* error = nullptr);
