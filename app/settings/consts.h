#pragma once

// Texts shared by several parts of the scheduler. Every text is Shift_JIS
// bytes, converted once from the UTF-8 source on first use.

#include <string>
#include <string_view>

namespace strconst {

// The two builds name the product differently. The program's start-up
// switches to the program build before any window or setting is made; the
// plug-in build is the default.
enum class Build { Plugin, Program };
void SetBuild(Build build);
Build CurrentBuild();

// Switches the build for a scope; the build before comes back after it.
class ScopedBuild
{
public:
    explicit ScopedBuild(Build build) : previous_(CurrentBuild()) { SetBuild(build); }
    ~ScopedBuild() { SetBuild(previous_); }
    ScopedBuild(const ScopedBuild&) = delete;
    ScopedBuild& operator=(const ScopedBuild&) = delete;

private:
    Build previous_;
};

inline constexpr std::string_view kVersion = "1.12.3";
const std::string& Version(); // kVersion
const std::string& ProductName(); // the name of the current build
const std::string& PluginProductName(); // "Miradelプラグイン"
const std::string& ProgramProductName(); // "Miradel-アプリ版"
const std::string& VendorName(); // plug-in information
const std::string& Description(); // plug-in information
const std::string& AboutLine(); // end of the version label
// Date format in the class library's notation: gives 2004/01/31.
const std::string& DateFormat(); // yyyy"/"mm"/"dd
const std::string& SubjectHeader(); // "Subject:"
const std::string& BlockStart(); // CR LF "--Kalvero->>>!"
const std::string& BlockEnd(); // "!<<<--Kalvero-"
const std::string& MailtoPrefix(); // "mailto:"
const std::string& FileWriteError(); // two lines joined by a single LF
const std::string& WrongPassword();
const std::string& EnterPassword();
const std::string& RemovePassword();
// Why a date before 1900 is refused where items are made or moved, and why a
// schedule of such a date is not registered (two lines).
const std::string& ShownDatesOnly();
const std::string& NotRegistered();
const std::string& ActiveSignal(); // "ACTIVE": the running program's signal

} // namespace strconst
