#pragma once

// The program's start-up: the build variant and its data folder, one
// Kalvero per data folder, the main window until it is closed, and the
// settings file written at the end.

#include <string>

namespace program {

// Runs the program for the executable at executablePath inside an existing
// application object; returns the exit code. A second start on the same
// data folder brings the running window forward (or says that Kalvero is
// already running) and returns at once without touching any file.
int Run(const std::string& executablePath);

} // namespace program
