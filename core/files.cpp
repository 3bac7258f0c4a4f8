#include "core/files.h"

#include "core/sjis.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <random>

namespace files {

namespace {

bool WriteFully(int fd, std::string_view data, int& err)
{
    const char* p = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            err = errno;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

// The temporary files of a target are named after it: the target's name,
// ".tmp" and decimal digits.
const char kTempMark[] = ".tmp";

// The file a path finally names, following symbolic links (a relative link
// is taken from the folder of the link). The file itself need not exist.
bool ResolveLinks(const std::string& path, std::string& target, int& err)
{
    target = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st
        {
        };
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return true;
        char buf[PATH_MAX];
        const ssize_t n = ::readlink(target.c_str(), buf, sizeof buf);
        if (n < 0 || static_cast<std::size_t>(n) >= sizeof buf) {
            err = n < 0 ? errno : ENAMETOOLONG;
            return false;
        }
        std::string next(buf, static_cast<std::size_t>(n));
        if (next.empty() || next[0] != '/')
            next = DirName(target) + next;
        target = std::move(next);
    }
    err = ELOOP;
    return false;
}

bool IsOwnTempName(std::string_view name, std::string_view prefix)
{
    if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix)
        return false;
    for (char c : name.substr(prefix.size()))
        if (c < '0' || c > '9')
            return false;
    return true;
}

// Removes what earlier writes to target left behind when they were killed
// part way; nothing else in the folder is touched.
void RemoveStaleTemps(const std::string& target)
{
    std::string folder = DirName(target);
    const std::string prefix = target.substr(folder.size()) + kTempMark;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        if (IsOwnTempName(entry->d_name, prefix))
            ::unlink((folder + entry->d_name).c_str());
    }
    ::closedir(dir);
}

} // namespace

TAtomicFile::~TAtomicFile()
{
    Discard();
}

bool TAtomicFile::Fail(int err, std::string* error)
{
    if (error)
        *error = path_ + ": " + ErrnoText(err);
    Discard();
    return false;
}

bool TAtomicFile::Open(const std::string& path, std::string* error)
{
    Discard();
    path_ = path;
    err_ = 0;
    if (!ResolveLinks(path, target_, err_))
        return Fail(err_, error);
    perms_ = 0600;
    struct stat st
    {
    };
    if (::stat(target_.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return Fail(EISDIR, error);
        if (!S_ISREG(st.st_mode)) {
            if (error)
                *error = path + ": not a regular file";
            return false;
        }
        perms_ = st.st_mode & 07777;
    }
    RemoveStaleTemps(target_);

    static thread_local std::mt19937_64 rng { std::random_device {}() };
    for (int attempt = 0; attempt < 16 && fd_ < 0; ++attempt) {
        tmp_ = target_ + kTempMark + std::to_string(rng() % 1000000000ULL);
        fd_ = ::open(tmp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd_ < 0 && errno != EEXIST)
            return Fail(errno, error);
    }
    if (fd_ < 0)
        return Fail(EEXIST, error);
    return true;
}

bool TAtomicFile::Write(std::string_view data)
{
    if (fd_ < 0 || err_ != 0)
        return false;
    return WriteFully(fd_, data, err_);
}

bool TAtomicFile::Commit(std::string* error)
{
    if (fd_ < 0)
        return Fail(err_ != 0 ? err_ : EBADF, error);
    if (err_ == 0 && ::fchmod(fd_, perms_) != 0)
        err_ = errno;
    if (err_ == 0 && ::fsync(fd_) != 0)
        err_ = errno;
    if (::close(fd_) != 0 && err_ == 0)
        err_ = errno;
    fd_ = -1;
    if (err_ == 0 && ::rename(tmp_.c_str(), target_.c_str()) != 0)
        err_ = errno;
    if (err_ != 0) {
        ::unlink(tmp_.c_str());
        return Fail(err_, error);
    }
    return true;
}

void TAtomicFile::Discard()
{
    if (fd_ < 0)
        return;
    ::close(fd_);
    fd_ = -1;
    ::unlink(tmp_.c_str());
}

bool WriteAtomic(const std::string& path, std::string_view data, std::string* error)
{
    TAtomicFile file;
    if (!file.Open(path, error))
        return false;
    file.Write(data);
    return file.Commit(error);
}

std::string ErrnoText(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return SJ("アクセス権がありません");
    case EROFS:
        return SJ("読み取り専用のファイルシステムです");
    case ENOSPC:
    case EDQUOT:
        return SJ("ディスクの空き容量が足りません");
    case ENOENT:
        return SJ("ファイルまたはフォルダが見つかりません");
    case EISDIR:
        return SJ("ファイルではなくフォルダです");
    default:
        // In the encoding of the user's locale, UTF-8 on every current
        // desktop (plain ASCII in the C locale).
        return sjis::FromUtf8(std::strerror(error));
    }
}

bool ReadAll(const std::string& path, std::string& out, std::string* error, bool* exists)
{
    out.clear();
    if (exists)
        *exists = true;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        int e = errno;
        if (exists && e == ENOENT)
            *exists = false;
        if (error)
            *error = path + ": " + ErrnoText(e);
        return false;
    }
    struct stat st
    {
    };
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        if (error)
            *error = path + ": " + ErrnoText(EISDIR);
        return false;
    }
    if (st.st_size > 0)
        out.reserve(static_cast<std::size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            int e = errno;
            ::close(fd);
            if (error)
                *error = path + ": " + ErrnoText(e);
            return false;
        }
        if (n == 0)
            break;
        out.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return true;
}

bool Exists(const std::string& path)
{
    struct stat st
    {
    };
    return ::stat(path.c_str(), &st) == 0;
}

bool Copy(const std::string& from, const std::string& to, std::string* error)
{
    std::string data;
    if (!ReadAll(from, data, error))
        return false;
    return WriteAtomic(to, data, error);
}

std::string DirName(const std::string& path)
{
    auto p = path.find_last_of('/');
    return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

std::string BaseName(const std::string& path)
{
    auto p = path.find_last_of('/');
    std::string name = p == std::string::npos ? path : path.substr(p + 1);
    auto dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name;
}

std::string ChangeExt(const std::string& path, const std::string& ext)
{
    auto slash = path.find_last_of('/');
    auto dot = path.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash + 1))
        return path.substr(0, dot) + ext;
    return path + ext;
}

} // namespace files
