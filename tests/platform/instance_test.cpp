// One Kalvero per data folder: the lock file and the channel over which a
// second start asks the running one to come forward.
#include "platform/instance.h"

#include "support/testutil.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>

namespace {

using instance::TInstanceLock;

TEST(InstanceLock, SecondHolderIsRefusedUntilTheFirstEnds)
{
    QTemporaryDir tmp;
    const std::string lock = tmp.path().toStdString() + "/Kalvero.lock";
    {
        TInstanceLock first(lock);
        EXPECT_EQ(first.state(), TInstanceLock::State::Acquired);
        TInstanceLock second(lock);
        EXPECT_EQ(second.state(), TInstanceLock::State::Busy);
    }
    TInstanceLock again(lock);
    EXPECT_EQ(again.state(), TInstanceLock::State::Acquired);
    // An orderly end takes the file away with the lock.
    again.Release();
    EXPECT_FALSE(QFile::exists(QString::fromStdString(lock)));
    TInstanceLock next(lock);
    EXPECT_EQ(next.state(), TInstanceLock::State::Acquired);
}

TEST(InstanceLock, ExistingFileIsNotTruncatedAndMissingFolderFails)
{
    QTemporaryDir tmp;
    const std::string lock = tmp.path().toStdString() + "/Kalvero.lock";
    {
        QFile f(QString::fromStdString(lock));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("keep");
    }
    {
        TInstanceLock held(lock);
        EXPECT_EQ(held.state(), TInstanceLock::State::Acquired);
    }
    QFile f(QString::fromStdString(lock));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("keep"));

    TInstanceLock nowhere(tmp.path().toStdString() + "/missing/Kalvero.lock");
    EXPECT_EQ(nowhere.state(), TInstanceLock::State::Failed);
    EXPECT_NE(nowhere.Error().find("missing"), std::string::npos);
}

// A folder that takes no lock file still has one Kalvero: the lock lies in
// the runtime folder, named after the data folder, and goes with an orderly
// end.
TEST(InstanceLock, FolderThatTakesNoFileIsLockedFromTheRuntimeFolder)
{
    TempDir tmp;
    const std::string lock = tmp.path + "Kalvero.lock";
    ReadOnlyFolder readOnly(tmp.path);
    if (!readOnly.ok())
        GTEST_SKIP() << "no folder can be made read-only here";
    TInstanceLock first(lock);
    ASSERT_EQ(first.state(), TInstanceLock::State::Acquired) << first.Error();
    EXPECT_EQ(first.Path(), instance::StandInLockFile(tmp.path + "./Kalvero.lock"));
    EXPECT_NE(first.Path(), instance::StandInLockFile(tmp.path + "Other.lock"));
    TInstanceLock second(lock);
    EXPECT_EQ(second.state(), TInstanceLock::State::Busy);
    first.Release();
    EXPECT_FALSE(QFile::exists(QString::fromStdString(first.Path())));
    TInstanceLock next(lock);
    EXPECT_EQ(next.state(), TInstanceLock::State::Acquired);
}

// The second start runs on its own thread here, as it would in its own
// process, while this thread's event loop serves the running instance.
bool RaiseFromAnotherThread(const std::string& lock, int timeoutMs)
{
    std::atomic<int> result { -1 };
    std::thread second([&] { result = instance::RequestRaise(lock, timeoutMs) ? 1 : 0; });
    QDeadlineTimer deadline(30000);
    while (result < 0 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    second.join();
    return result == 1;
}

TEST(RaiseChannel, SecondStartReachesTheRunningInstance)
{
    QTemporaryDir tmp;
    const std::string lock = tmp.path().toStdString() + "/Kalvero.lock";
    TInstanceLock held(lock);
    ASSERT_EQ(held.state(), TInstanceLock::State::Acquired);

    // Nobody listens yet: the request fails instead of hanging.
    EXPECT_FALSE(instance::RequestRaise(lock, 500));

    instance::TRaiseServer server;
    ASSERT_TRUE(server.Listen(lock));
    QSignalSpy raised(&server, &instance::TRaiseServer::RaiseRequested);
    EXPECT_TRUE(RaiseFromAnotherThread(lock, 10000));
    EXPECT_EQ(raised.count(), 1);
    EXPECT_TRUE(RaiseFromAnotherThread(lock, 10000));
    EXPECT_EQ(raised.count(), 2);

    // Another folder has another channel.
    EXPECT_NE(instance::ServerName(lock), instance::ServerName(lock + "2"));
    // Two spellings of the same folder meet on one channel.
    EXPECT_EQ(instance::ServerName(lock),
              instance::ServerName(tmp.path().toStdString() + "/./Kalvero.lock"));
}

TEST(RaiseChannel, HostileClientsRaiseNothingAndAreDropped)
{
    QTemporaryDir tmp;
    const std::string lock = tmp.path().toStdString() + "/Kalvero.lock";
    TInstanceLock held(lock);
    instance::TRaiseServer server;
    server.SetQuietLimit(200);
    ASSERT_TRUE(server.Listen(lock));
    QSignalSpy raised(&server, &instance::TRaiseServer::RaiseRequested);

    QByteArray garbage;
    std::mt19937 random(4242);
    for (int i = 0; i < 40; ++i)
        garbage.append(static_cast<char>(random()));
    const QByteArray clients[] = {
        garbage + "\n",
        QByteArray(100, 'x') + "\n", // a line over 64 bytes
        "raise" + QByteArray(70, ' '), // over 64 bytes and no line end
        "rai", // part of a request, then nothing
        QByteArray(), // connects and says nothing
    };
    for (const QByteArray& bytes : clients) {
        SCOPED_TRACE(bytes.toStdString());
        QLocalSocket client;
        client.connectToServer(instance::ServerName(lock));
        ASSERT_TRUE(client.waitForConnected(10000));
        client.write(bytes);
        client.flush();
        QDeadlineTimer deadline(10000);
        while (client.state() != QLocalSocket::UnconnectedState && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        EXPECT_EQ(client.state(), QLocalSocket::UnconnectedState) << "the server kept the client";
        EXPECT_TRUE(client.readAll().isEmpty());
    }
    EXPECT_EQ(raised.count(), 0);
    // A real second start still gets through.
    EXPECT_TRUE(RaiseFromAnotherThread(lock, 10000));
    EXPECT_EQ(raised.count(), 1);
}

TEST(RaiseChannel, SocketLeftByADeadInstanceIsReplaced)
{
    QTemporaryDir tmp;
    const std::string lock = tmp.path().toStdString() + "/Kalvero.lock";
    TInstanceLock held(lock);
    // A crashed instance leaves its socket file behind.
    const QString stale = QDir::tempPath() + QLatin1Char('/') + instance::ServerName(lock);
    {
        QFile f(stale);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    instance::TRaiseServer server;
    ASSERT_TRUE(server.Listen(lock));
    QSignalSpy raised(&server, &instance::TRaiseServer::RaiseRequested);
    EXPECT_TRUE(RaiseFromAnotherThread(lock, 10000));
    EXPECT_EQ(raised.count(), 1);
}

} // namespace
