#pragma once

// The plug-in library inside the mail client: what the exported callbacks
// (exports.cpp) do, the commands it adds to the host's menus, and its life
// from load to unload.
//
// Load binds the host's functions and notes the library's own path; the
// host's start callback creates the main window. The shutdown sequence (the
// main window freed, which saves the phone book, the memo pad and the
// window's state into the settings; the settings written; the binding
// freed) runs once: when the host's application is about to quit or is
// being destroyed, or when the library is unloaded, whichever comes first.
//
// Nothing here needs a window until the start callback made one; every
// callback that needs it does nothing while there is none. The library
// never makes an application object of its own: without the host's
// QApplication the start callback does nothing.

#include "plugin/hostapi.h"

#include <exception>
#include <string>

class TBeckyAPI;

namespace plugin {

// The host binding, from load to shutdown (nullptr outside).
extern TBeckyAPI* BeckyAPI;
// Schedules registered from received mails since the last count message.
extern int AutoEnterCount;
// The library's own file, read at load.
const std::string& ModuleFileName();

// Shows an exception through the message helper (prints it when there is
// no application to show it in).
void ShowError(std::exception_ptr error) noexcept;

// Runs fn; an exception leaving it is shown and swallowed.
template<typename Fn> void Guarded(Fn&& fn) noexcept
{
    try {
        fn();
    } catch (...) {
        ShowError(std::current_exception());
    }
}

// The callbacks' work; the exports guard them.
void OnStart();
void OnMenuInit(BK_MENU menu, int menuType);
void OnOpenMail();
void OnRetrieve(const char* message, const char* mailId);
void OnFinishRetrieve();
void OnPlugInSetup();
void OnPlugInInfo(BK_PLUGININFO* info);
void OnDragDrop(const char* target, const char* sources, int count, int dropEffect);

// The shutdown sequence; later calls do nothing.
void Shutdown();

} // namespace plugin
