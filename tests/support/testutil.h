#pragma once
// What many test programs need: dates written as dates, bytes written as a
// hex dump, a private temporary folder per test, a folder that takes no new
// file, a schedule block, and a run of kalvero-probe with its output.

#include "core/days.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

inline days::Day D(int y, int m, int d)
{
    return days::Encode(y, m, d);
}

// Bytes from a hex dump, so that expectations come from a CP932 table rather
// than from the converter under test.
inline std::string Hex(const char* dump)
{
    std::istringstream in(dump);
    std::string out;
    unsigned v;
    while (in >> std::hex >> v)
        out.push_back(static_cast<char>(v));
    return out;
}

// A folder of its own inside base, removed with everything in it when the
// test ends. path ends in "/".
struct TempDir
{
    std::string path;
    explicit TempDir(const std::string& base = "/tmp")
    {
        std::string tmpl = base + "/kalvero-test-XXXXXX";
        const char* made = ::mkdtemp(tmpl.data());
        EXPECT_NE(made, nullptr) << base;
        path = std::string(made ? made : base.c_str()) + "/";
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

// A schedule block as it stands in a mail or in copied text: the line of
// defined fields between its marks.
inline std::string Block(const std::string& line)
{
    return "\r\n--Kalvero->>>!\r\n" + line + "\r\n!<<<--Kalvero-\r\n";
}

// The whole file as bytes; empty when it cannot be read.
inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The bytes of a file under tests/data (path relative to it).
inline std::string TestData(const std::string& path)
{
    const std::string bytes = ReadFile(std::string(KALVERO_SOURCE_DIR) + "/tests/data/" + path);
    EXPECT_FALSE(bytes.empty()) << path;
    return bytes;
}

// While it exists, nobody can add, rename or remove a file in the folder,
// root included (who writes in any folder whatever its mode): the folder is
// made read-only and, where that is not enough, immutable. ok() is false
// when neither works here (such tests skip).
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const std::string& folder) : folder_(folder)
    {
        ::chmod(folder_.c_str(), 0555);
        if (!TakesFiles())
            return;
        immutable_ = SetImmutable(true);
    }
    ~ReadOnlyFolder()
    {
        if (immutable_)
            SetImmutable(false);
        ::chmod(folder_.c_str(), 0700);
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    bool ok() const { return !TakesFiles(); }

private:
    bool TakesFiles() const
    {
        const std::string probe = folder_ + "/.probe";
        const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (fd < 0)
            return false;
        ::close(fd);
        ::unlink(probe.c_str());
        return true;
    }
    bool SetImmutable(bool on) const
    {
        const int fd = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY);
        if (fd < 0)
            return false;
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (done) {
            flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
            done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return done;
    }

    std::string folder_;
    bool immutable_ = false;
};

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
