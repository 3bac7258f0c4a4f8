#pragma once

// Finding the host's functions and the plug-in's own file: the mail client
// exports its functions from the process that loads the plug-in, and the
// plug-in keeps its data beside names taken from its own file.

#include <string>

namespace hostsymbols {

// The address of a function that some module of this process exports by
// name (the host's executable first); nullptr when none does.
void* FindInProcess(const char* name);

// Full path of the loaded file (executable or shared library) that holds
// address; empty when none does.
std::string ModulePath(const void* address);

} // namespace hostsymbols
