#pragma once
// What many test programs need: dates written as dates, a private temporary
// folder per test, and a run of kalvero-probe with its output.

#include "core/days.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

inline days::Day D(int y, int m, int d)
{
    return days::Encode(y, m, d);
}

// A folder of its own, removed with everything in it when the test ends.
// path ends in "/".
struct TempDir
{
    std::string path;
    TempDir()
    {
        char tmpl[] = "/tmp/kalvero-test-XXXXXX";
        const char* made = ::mkdtemp(tmpl);
        EXPECT_NE(made, nullptr);
        path = std::string(made ? made : "/tmp") + "/";
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Writes the bytes as they are and returns the file's path.
    std::string Write(const std::string& name, const std::string& bytes) const
    {
        const std::string file = path + name;
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << bytes;
        EXPECT_TRUE(out.good()) << file;
        return file;
    }
};

// The whole file as bytes; empty when it cannot be read.
inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct ProbeRun
{
    std::string out;
    int status = -1; // as pclose gives it
};

// Runs a shell command and collects its standard output.
inline ProbeRun RunCommand(const std::string& cmd)
{
    ProbeRun run;
    FILE* pipe = ::popen(cmd.c_str(), "r");
    if (!pipe)
        return run;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0)
        run.out.append(buf, n);
    run.status = ::pclose(pipe);
    return run;
}

// Runs the built kalvero-probe with the arguments (shell words, redirections
// allowed) and collects its standard output.
inline ProbeRun Probe(const std::string& args)
{
    return RunCommand(std::string(KALVERO_BINARY_DIR) + "/tools/probe/kalvero-probe " + args);
}
