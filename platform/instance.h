#pragma once

// One Kalvero per data folder. The running Kalvero holds an advisory lock
// on a lock file beside its schedule file (the operating system drops it
// when the process ends, however it ends) and listens on a local socket
// named after that file. A second start finds the lock taken and asks the
// running one to come forward instead of opening the same files again.
// Where the folder takes no new file (read-only), the lock file lies in
// the user's runtime folder instead, named after the folder's path.

#include <QObject>

#include <string>

class QLocalServer;

namespace instance {

class TInstanceLock
{
public:
    enum class State {
        Acquired, // this process holds the folder
        Busy, // another process holds it
        Failed, // the lock file could not be opened (see Error)
    };

    // Opens (creating when missing, never truncating) and locks the file,
    // or its stand-in in the runtime folder when the folder refuses it.
    explicit TInstanceLock(const std::string& lockFile);
    ~TInstanceLock();
    TInstanceLock(const TInstanceLock&) = delete;
    TInstanceLock& operator=(const TInstanceLock&) = delete;

    State state() const { return state_; }
    const std::string& Error() const { return error_; }
    // The file locked: the lock file, or its stand-in.
    const std::string& Path() const { return path_; }

    // Ends an orderly run: removes the lock file while still holding it,
    // then lets go, so the folder holds only the data files afterwards.
    void Release();

private:
    bool Lock(const std::string& path);

    std::string path_;
    int fd_ = -1;
    State state_ = State::Failed;
    std::string error_;
};

// The running instance's end of the channel: emits RaiseRequested when a
// second start asks for the window.
class TRaiseServer : public QObject
{
    Q_OBJECT

public:
    explicit TRaiseServer(QObject* parent = nullptr);
    ~TRaiseServer() override;

    // Listens for the data folder of lockFile. Call only while holding its
    // lock: a socket left behind by a process that died is replaced.
    bool Listen(const std::string& lockFile);

    // A client that has not sent a whole request this long after it
    // connected is dropped, so that one that connects and says nothing holds
    // no socket of ours for ever.
    static constexpr int kQuietLimitMs = 5000;
    void SetQuietLimit(int ms) { quietLimitMs_ = ms; }

signals:
    void RaiseRequested();

private:
    void OnConnection();
    QLocalServer* server_ = nullptr;
    int quietLimitMs_ = kQuietLimitMs;
};

// The second start's end: asks the instance holding lockFile to show its
// window. True when it answered within timeoutMs.
bool RequestRaise(const std::string& lockFile, int timeoutMs = 3000);

// The socket name for a lock file (per user and per folder).
QString ServerName(const std::string& lockFile);

// Where the lock of a lock file lies when its folder takes no new file: in
// the user's runtime folder, named after the folder's path (per user and
// per folder).
std::string StandInLockFile(const std::string& lockFile);

} // namespace instance
