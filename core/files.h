#pragma once

// Whole-file reading and the safe writer that every data file goes through.

#include <string>
#include <string_view>

namespace files {

// Writes data to a temporary file in the same folder, flushes it to disk and
// renames it over path. On failure the old file is untouched, false is
// returned and error holds the reason. An existing file keeps its mode; a new
// one is owner-only (0600). A path that is a symbolic link is followed to
// its final target, which is replaced (the link stays a link). Temporary
// files of earlier writes to the same target that never finished are
// removed.
bool WriteAtomic(const std::string& path, std::string_view data, std::string* error = nullptr);

// Reads a whole file. Returns false (and error) when it cannot be read;
// a missing file gives false with exists == false.
bool ReadAll(const std::string& path, std::string& out, std::string* error = nullptr,
             bool* exists = nullptr);

bool Exists(const std::string& path);
// Copies a file byte for byte (atomically).
bool Copy(const std::string& from, const std::string& to, std::string* error = nullptr);

// Path helpers: folder with trailing "/", base name without extension, and the
// path with its extension replaced (ext includes the dot).
std::string DirName(const std::string& path);
std::string BaseName(const std::string& path);
std::string ChangeExt(const std::string& path, const std::string& ext);

} // namespace files
