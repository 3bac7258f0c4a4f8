#pragma once

// kalvero-probe: checks the core from outside. Each source file registers its
// sub-commands with a static ProbeCommand object.

#include "core/days.h"

#include <string>
#include <vector>

class TSchedList;

namespace probe {

using Handler = int (*)(const std::vector<std::string>& args);

struct Command
{
    Command(const char* name, const char* usage, Handler handler);
};

// Prints a message to stderr and returns the exit code 2.
int Usage(const char* usage);

// Opens a schedule file into the store (a missing file gives an empty
// store); false, with the reason on stderr, when it cannot be read.
bool OpenSchedule(TSchedList& store, const std::string& file);

// Reads a date argument; false, with the text on stderr, when it is none.
bool ReadDay(const std::string& text, days::Day& day);

} // namespace probe
