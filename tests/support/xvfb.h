#pragma once

// A private X server for tests that need a real display: starts Xvfb on a
// free display number and stops it again. Tests skip where Xvfb is not
// installed; display() is empty then and when it would not start (problem()
// says why: such tests fail). Beside it, a window manager for it and a way
// to run one test of this program on it.
//
// Every wait below is a bound for a failure, not a time to wait: a sanitizer
// build on a loaded machine is slow.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>

#include <chrono>
#include <optional>
#include <string>

#include <gtest/gtest.h>

class XvfbServer
{
public:
    explicit XvfbServer(const QString& screen = QStringLiteral("1024x768x24"))
    {
        const QString exe = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (exe.isEmpty()) {
            installed_ = false;
            problem_ = QStringLiteral("Xvfb is not installed");
            return;
        }
        for (int n = 77; n < 140 && display_.isEmpty(); ++n) {
            if (QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)) ||
                QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)))
                continue;
            process_.start(exe,
                           { QStringLiteral(":%1").arg(n), QStringLiteral("-screen"),
                             QStringLiteral("0"), screen, QStringLiteral("-nolisten"),
                             QStringLiteral("tcp"), QStringLiteral("-noreset") });
            if (!process_.waitForStarted(30000))
                continue;
            // The display is ours when its lock file names our process: a
            // server that lost the race for the number to another one exits,
            // and the next number is tried.
            const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(n);
            const QString lock = QStringLiteral("/tmp/.X%1-lock").arg(n);
            const QDeadlineTimer up(60000);
            while (!up.hasExpired()) {
                if (QFileInfo::exists(socket) && LockOwner(lock) == process_.processId()) {
                    display_ = QStringLiteral(":%1").arg(n);
                    break;
                }
                if (process_.waitForFinished(50))
                    break;
            }
            if (display_.isEmpty())
                Stop();
        }
        if (display_.isEmpty())
            problem_ = QStringLiteral("Xvfb did not start");
    }

    ~XvfbServer() { Stop(); }
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool installed() const { return installed_; }
    QString display() const { return display_; }
    QString problem() const { return problem_; }

    // An environment for a child process on this display.
    QProcessEnvironment Environment(const QString& platform = QStringLiteral("xcb")) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display_);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
        // The X keyboard library under Qt's xcb platform hands strndup
        // strings that are not terminated within the given length: strict
        // string checks of the sanitizer build would stop every X client
        // there, outside our code.
        const QString asan = env.value(QStringLiteral("ASAN_OPTIONS"));
        if (!asan.isEmpty())
            env.insert(QStringLiteral("ASAN_OPTIONS"),
                       asan + QStringLiteral(":strict_string_checks=0"));
        return env;
    }

private:
    static qint64 LockOwner(const QString& lockFile)
    {
        QFile f(lockFile);
        if (!f.open(QIODevice::ReadOnly))
            return -1;
        bool ok = false;
        const qint64 pid = f.readAll().trimmed().toLongLong(&ok);
        return ok ? pid : -1;
    }

    void Stop()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            if (!process_.waitForFinished(5000)) {
                process_.kill();
                process_.waitForFinished(5000);
            }
        }
    }

    QProcess process_;
    bool installed_ = true;
    QString display_;
    QString problem_;
};

// openbox on a server's display, from the moment it manages windows (a
// window mapped before that may never be framed) until the object goes.
// problem() says why not when it does not run; installed() is false when
// openbox itself is missing (such tests skip).
class WindowManager
{
public:
    explicit WindowManager(const XvfbServer& server)
    {
        const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
        if (openbox.isEmpty()) {
            installed_ = false;
            problem_ = QStringLiteral("openbox is not installed");
            return;
        }
        const QString xprop = QStandardPaths::findExecutable(QStringLiteral("xprop"));
        if (xprop.isEmpty()) {
            problem_ = QStringLiteral("xprop (x11-utils) is not installed");
            return;
        }
        process_.setProcessEnvironment(server.Environment());
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.start(openbox, { QStringLiteral("--sm-disable") });
        if (!process_.waitForStarted(30000)) {
            problem_ = QStringLiteral("openbox did not start");
            return;
        }
        // Ready once it has announced itself and what it supports (in this
        // order): a client that starts earlier believes there is no window
        // manager, or one that supports nothing.
        QDeadlineTimer ready(60000);
        for (;;) {
            QProcess probe;
            probe.setProcessEnvironment(server.Environment());
            probe.start(xprop,
                        { QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK"),
                          QStringLiteral("_NET_SUPPORTED") });
            probe.waitForFinished(30000);
            const QByteArray said = probe.readAllStandardOutput();
            if (said.contains("window id") && said.contains("_NET_FRAME_EXTENTS"))
                return;
            if (ready.hasExpired() || process_.waitForFinished(100)) {
                problem_ = QStringLiteral("openbox did not come up: ") +
                    QString::fromLocal8Bit(process_.readAll());
                return;
            }
        }
    }
    ~WindowManager()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            if (!process_.waitForFinished(5000)) {
                process_.kill();
                process_.waitForFinished(5000);
            }
        }
    }
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;

    bool installed() const { return installed_; }
    QString problem() const { return problem_; }

private:
    QProcess process_;
    bool installed_ = true;
    QString problem_;
};

// A display of its own under openbox for one test. Missing() says why such
// tests cannot run here (Xvfb or openbox is not installed: they skip),
// Problem() what went wrong starting them otherwise.
class ManagedDisplay
{
public:
    ManagedDisplay() : server_(QStringLiteral("1024x768x24"))
    {
        if (!server_.display().isEmpty())
            manager_.emplace(server_);
    }
    const XvfbServer& server() const { return server_; }
    QString Missing() const
    {
        if (!server_.installed())
            return server_.problem();
        return !manager_ || manager_->installed() ? QString() : manager_->problem();
    }
    QString Problem() const
    {
        if (!manager_)
            return server_.installed() ? server_.problem() : QString();
        return manager_->installed() ? manager_->problem() : QString();
    }

private:
    XvfbServer server_;
    std::optional<WindowManager> manager_;
};

// The built program in a folder of its own with the shipped holiday rules,
// for a test to put its data beside it and start it on a display. Missing()
// is not empty when the program is not built (such tests skip).
class ProgramCopy
{
public:
    ProgramCopy()
    {
        const QString exe = QStringLiteral(KALVERO_BINARY_DIR "/program/Kalvero");
        if (!QFile::exists(exe)) {
            missing_ = QStringLiteral("the program is not built");
            return;
        }
        if (!QFile::copy(exe, folder_.filePath(QStringLiteral("Kalvero"))) ||
            !QFile::copy(QStringLiteral(KALVERO_SOURCE_DIR "/data/Kalvero.hol"),
                         folder_.filePath(QStringLiteral("Kalvero.hol"))))
            missing_ = QStringLiteral("the program could not be copied");
    }
    QString Missing() const { return missing_; }
    // The folder, ending in "/".
    std::string dir() const { return QFile::encodeName(folder_.path()).toStdString() + "/"; }
    // Starts it on the server's display; false when it does not start.
    bool Start(const XvfbServer& server)
    {
        process.setProcessEnvironment(server.Environment());
        process.setWorkingDirectory(folder_.path());
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(folder_.filePath(QStringLiteral("Kalvero")), {});
        return process.waitForStarted(30000);
    }

    QProcess process;

private:
    QTemporaryDir folder_;
    QString missing_;
};

// The built program and a display under openbox to start it on.
struct ProgramOnDisplay
{
    ManagedDisplay display;
    ProgramCopy kalvero;
    // Why such tests cannot run here (they skip); empty when they can.
    QString Missing() const
    {
        return display.Missing().isEmpty() ? kalvero.Missing() : display.Missing();
    }
};

// The fixture of a parent test that runs the built program on a display
// under openbox while a child run of the same test program (the tests that
// set ChildVariable) plays the user there. It skips inside that child run
// and where Xvfb, openbox or the program is missing, and fails when the
// display does not come up; the display and the program are made in the
// parent only:
//     constexpr char kChildVariable[] = "KALVERO_FOO_CHILD";
//     using FooOnX11 = ProgramOnDisplayTest<kChildVariable>;
//     TEST_F(FooOnX11, Does) { ProgramOnDisplay& run = Run(); ... }
template<const char* ChildVariable> class ProgramOnDisplayTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsSet(ChildVariable))
            GTEST_SKIP() << "inside the child";
        run_.emplace();
        if (!run_->Missing().isEmpty())
            GTEST_SKIP() << run_->Missing().toStdString();
        ASSERT_TRUE(run_->display.Problem().isEmpty()) << run_->display.Problem().toStdString();
    }
    ProgramOnDisplay& Run() { return *run_; }

private:
    std::optional<ProgramOnDisplay> run_;
};

// A test of this program run in a child process on a display, where the
// test programs themselves run offscreen.
struct ChildTest
{
    int exitCode = -1;
    QString output;
    // The child ran exactly one test and it passed.
    bool Passed() const
    {
        return exitCode == 0 && output.contains(QStringLiteral("[  PASSED  ] 1 test")) &&
            !output.contains(QStringLiteral("[  SKIPPED ]"));
    }
};

// Runs the tests that filter (a gtest filter) names in a child process with
// the environment env and the variable set to value: the child test runs
// only where it is set, the parent only where it is not.
inline ChildTest RunChildTest(QProcessEnvironment env, const char* variable, const QString& value,
                              const QString& filter)
{
    QProcess child;
    env.insert(QString::fromLatin1(variable), value);
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                { QStringLiteral("--gtest_filter=") + filter });
    ChildTest result;
    if (!child.waitForFinished(300000)) {
        child.kill();
        child.waitForFinished(5000);
    }
    result.output = QString::fromLocal8Bit(child.readAll());
    if (child.exitStatus() == QProcess::NormalExit)
        result.exitCode = child.exitCode();
    return result;
}

// The same on the server's display.
inline ChildTest RunChildTest(const XvfbServer& server, const char* variable, const QString& value,
                              const QString& filter)
{
    return RunChildTest(server.Environment(), variable, value, filter);
}
