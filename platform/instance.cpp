#include "platform/instance.h"

#include "core/files.h"

#include <QCryptographicHash>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace instance {

namespace {

const QByteArray kRaise = "raise\n";
const QByteArray kDone = "ok\n";

// The lock file's absolute path, so that two spellings of one folder meet
// (also while the file itself does not exist).
std::string Canonical(const std::string& path)
{
    const std::string::size_type slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (char* real = ::realpath(folder.c_str(), nullptr)) {
        std::string result(real);
        std::free(real);
        return result + "/" + name;
    }
    return path;
}

// 16 hexadecimal digits that name a lock file's folder.
QString Key(const std::string& lockFile)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(QByteArray::fromStdString(Canonical(lockFile)),
                                 QCryptographicHash::Sha1)
            .toHex()
            .left(16));
}

// The folder exists but takes no new file there.
bool Refused(int error)
{
    return error == EACCES || error == EROFS || error == EPERM;
}

} // namespace

TInstanceLock::TInstanceLock(const std::string& lockFile) : path_(lockFile)
{
    if (!Lock(lockFile) && fd_ < 0 && Refused(errno)) {
        const std::string standIn = StandInLockFile(lockFile);
        if (!standIn.empty())
            Lock(standIn);
    }
}

bool TInstanceLock::Lock(const std::string& path)
{
    path_ = path;
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) {
        const int err = errno;
        error_ = path + ": " + files::ErrnoText(err);
        state_ = State::Failed;
        errno = err;
        return false;
    }
    int rc;
    do {
        rc = ::flock(fd_, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc == 0) {
        state_ = State::Acquired;
    } else if (errno == EWOULDBLOCK) {
        state_ = State::Busy;
    } else {
        error_ = path + ": " + files::ErrnoText(errno);
        state_ = State::Failed;
    }
    return state_ != State::Failed;
}

TInstanceLock::~TInstanceLock()
{
    if (fd_ >= 0)
        ::close(fd_); // releases the lock
}

void TInstanceLock::Release()
{
    if (state_ == State::Acquired)
        ::unlink(path_.c_str());
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    state_ = State::Failed;
}

QString ServerName(const std::string& lockFile)
{
    return QStringLiteral("kalvero-%1-%2").arg(::getuid()).arg(Key(lockFile));
}

std::string StandInLockFile(const std::string& lockFile)
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        return {};
    return QFile::encodeName(runtime + QStringLiteral("/kalvero-%1.lock").arg(Key(lockFile)))
        .toStdString();
}

TRaiseServer::TRaiseServer(QObject* parent) : QObject(parent)
{
}

TRaiseServer::~TRaiseServer() = default;

bool TRaiseServer::Listen(const std::string& lockFile)
{
    delete server_;
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    const QString name = ServerName(lockFile);
    if (!server_->listen(name)) {
        // We hold the lock, so a socket of that name is a dead process's.
        QLocalServer::removeServer(name);
        if (!server_->listen(name))
            return false;
    }
    connect(server_, &QLocalServer::newConnection, this, &TRaiseServer::OnConnection);
    return true;
}

void TRaiseServer::OnConnection()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(quietLimitMs_, socket, [socket] { socket->abort(); });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > 64)
                    socket->abort();
                return;
            }
            const QByteArray line = socket->readLine(64);
            if (line == kRaise) {
                // The answer follows the request's handling: a second start
                // that hears it knows the window was asked to come forward.
                emit RaiseRequested();
                socket->write(kDone);
                socket->flush();
            }
            socket->disconnectFromServer();
        });
    }
}

bool RequestRaise(const std::string& lockFile, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(ServerName(lockFile));
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(kRaise);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    }
    return socket.readLine(64) == kDone;
}

} // namespace instance
