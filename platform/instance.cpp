#include "platform/instance.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace instance {

namespace {

const QByteArray kRaise = "raise\n";
const QByteArray kDone = "ok\n";

// The lock file's absolute path, so that two spellings of one folder meet.
std::string Canonical(const std::string& path)
{
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        std::string result(real);
        std::free(real);
        return result;
    }
    return path;
}

} // namespace

TInstanceLock::TInstanceLock(const std::string& lockFile) : path_(lockFile)
{
    fd_ = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) {
        error_ = lockFile + ": " + std::strerror(errno);
        state_ = State::Failed;
        return;
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
        error_ = lockFile + ": " + std::strerror(errno);
        state_ = State::Failed;
    }
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
    const std::string path = Canonical(lockFile);
    const QByteArray hash =
        QCryptographicHash::hash(QByteArray::fromStdString(path), QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    return QStringLiteral("kalvero-%1-%2").arg(::getuid()).arg(QString::fromLatin1(hash));
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
