// scripts/run as a user meets it: it installs the built program into the
// user's data folder with a menu entry and starts it from there, so the data
// beside the program outlive the build folder; an earlier version's data in
// the build folder move there; without a display it says what to do.
//
// The script runs on the build that is already there (KALVERO_PREBUILT at a
// build folder of its own whose program is a link to this build's), so that
// it never rebuilds the folder these tests run in.
#include "core/schedlist.h"
#include "core/sjis.h"

#include "support/testutil.h"
#include "support/xvfb.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

const QString kScript = QStringLiteral(KALVERO_SOURCE_DIR "/scripts/run");

QByteArray Contents(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

void WriteFile(const QString& file, const QByteArray& bytes)
{
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << file.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// A user whose home, data folder (with a blank in its name) and build
// folder lie under root.
struct User
{
    explicit User(const std::string& rootPath) : root(QString::fromStdString(rootPath)) { }
    QString root; // ends in "/"
    QString Home() const { return root + u"home"_qs; }
    QString DataHome() const { return root + u"data home"_qs; }
    QString Installed() const { return DataHome() + u"/kalvero"_qs; }
    QString Build() const { return root + u"build"_qs; }
    QString Built() const { return Build() + u"/program"_qs; }

    QProcessEnvironment Environment(QProcessEnvironment env) const
    {
        env.insert(u"HOME"_qs, Home());
        env.insert(u"XDG_DATA_HOME"_qs, DataHome());
        env.insert(u"KALVERO_PREBUILT"_qs, Build());
        return env;
    }

    // What a build leaves in the program folder.
    void BuildProgram() const
    {
        ASSERT_TRUE(QDir().mkpath(Built()));
        ASSERT_TRUE(QFile::link(QStringLiteral(KALVERO_BINARY_DIR "/program/Kalvero"),
                                Built() + u"/Kalvero"_qs));
    }
};

// Whether a top-level window of the program is mapped on the display.
bool WindowShown(const QString& display)
{
    QProcess list;
    list.start(u"xwininfo"_qs, { u"-display"_qs, display, u"-root"_qs, u"-children"_qs });
    if (!list.waitForFinished(10000))
        return false;
    const QStringList lines = QString::fromUtf8(list.readAllStandardOutput()).split(u'\n');
    for (const QString& line : lines) {
        if (!line.contains(u"(\"Kalvero\" \"Kalvero\")"_qs))
            continue;
        QProcess window;
        window.start(u"xwininfo"_qs,
                     { u"-display"_qs, display, u"-id"_qs, line.trimmed().section(u' ', 0, 0) });
        if (window.waitForFinished(10000) &&
            window.readAllStandardOutput().contains("Map State: IsViewable"))
            return true;
    }
    return false;
}

struct RunResult
{
    bool shown = false;
    QProcess::ExitStatus status = QProcess::CrashExit;
    int exitCode = -1;
    QString output;
};

// Runs scripts/run until the program's window shows, then asks the program
// to end (as the end of a session does: it closes its window in order) and
// waits for it.
RunResult RunUntilShown(const XvfbServer& server, const User& user)
{
    RunResult result;
    QProcess run;
    run.setProcessEnvironment(user.Environment(server.Environment()));
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start(kScript, {});
    if (!run.waitForStarted(10000))
        return result;
    const QDeadlineTimer deadline(120000);
    while (!result.shown && !deadline.hasExpired() && run.state() == QProcess::Running) {
        result.shown = WindowShown(server.display());
        if (!result.shown)
            run.waitForFinished(100);
    }
    // The script has become the program by now (it ends in exec).
    run.terminate();
    if (!run.waitForFinished(60000)) {
        run.kill();
        run.waitForFinished(10000);
    }
    result.status = run.exitStatus();
    result.exitCode = run.exitCode();
    result.output = QString::fromLocal8Bit(run.readAll());
    return result;
}

QString EntryValue(const QByteArray& entry, const QString& key)
{
    const QRegularExpression line(u"^"_qs + key + u"=(.*)$"_qs,
                                  QRegularExpression::MultilineOption);
    return line.match(QString::fromUtf8(entry)).captured(1);
}

TEST(RunScript, InstallsTheProgramWhereItsDataOutliveTheBuildFolder)
{
    if (QStandardPaths::findExecutable(u"xwininfo"_qs).isEmpty() ||
        QStandardPaths::findExecutable(u"desktop-file-validate"_qs).isEmpty())
        GTEST_SKIP() << "xwininfo or desktop-file-validate is not installed";
    XvfbServer server(u"800x600x24"_qs);
    if (!server.installed())
        GTEST_SKIP() << server.problem().toStdString();
    ASSERT_FALSE(server.display().isEmpty()) << server.problem().toStdString();

    TempDir root;
    const User user(root.path);
    user.BuildProgram();
    // An earlier version kept its data in the build folder; the memo pad
    // exists in both places and the installed one wins.
    TSchedList store;
    TEventData item;
    item.Date = days::Today() + 2;
    item.Subject = SJ("歯医者");
    store.AddEvent(item, false);
    ASSERT_TRUE(store.SaveToFile(QFile::encodeName(user.Built()).toStdString() + "/Kalvero.sch"));
    const QByteArray schedule = Contents(user.Built() + u"/Kalvero.sch"_qs);
    WriteFile(user.Built() + u"/Kalvero.ini"_qs, "MAINVIEW=20,20,720,560\r\n");
    WriteFile(user.Built() + u"/Kalvero.mem"_qs, "old memo\r\n");
    ASSERT_TRUE(QDir().mkpath(user.Installed()));
    WriteFile(user.Installed() + u"/Kalvero.mem"_qs, "memo\r\n");

    const RunResult first = RunUntilShown(server, user);
    EXPECT_TRUE(first.shown) << first.output.toStdString();
    EXPECT_EQ(first.status, QProcess::NormalExit) << first.output.toStdString();
    EXPECT_EQ(first.exitCode, 0) << first.output.toStdString();
    const QStringList said = first.output.split(u'\n');
    EXPECT_TRUE(said.contains(u"Moved Kalvero's data from "_qs + user.Built() + u" to "_qs +
                              user.Installed() + u": Kalvero.ini Kalvero.sch"_qs))
        << first.output.toStdString();
    EXPECT_TRUE(said.contains(u"Kept in "_qs + user.Built() + u", as "_qs + user.Installed() +
                              u" has its own: Kalvero.mem"_qs))
        << first.output.toStdString();
    EXPECT_EQ(Contents(user.Installed() + u"/Kalvero.sch"_qs), schedule);
    EXPECT_FALSE(QFile::exists(user.Built() + u"/Kalvero.sch"_qs));
    EXPECT_EQ(Contents(user.Built() + u"/Kalvero.mem"_qs), "old memo\r\n");
    EXPECT_EQ(Contents(user.Installed() + u"/Kalvero.mem"_qs), "memo\r\n");

    // The menu entry starts the installed program and shows an icon there.
    const QString entryFile = user.DataHome() + u"/applications/kalvero.desktop"_qs;
    QProcess validate;
    validate.setProcessChannelMode(QProcess::MergedChannels);
    validate.start(u"desktop-file-validate"_qs, { entryFile });
    ASSERT_TRUE(validate.waitForFinished(30000));
    EXPECT_EQ(validate.exitCode(), 0) << validate.readAll().toStdString();
    const QByteArray entry = Contents(entryFile);
    EXPECT_EQ(EntryValue(entry, u"Exec"_qs), u'"' + user.Installed() + u"/Kalvero\""_qs)
        << entry.toStdString();
    const QString icon = EntryValue(entry, u"Icon"_qs);
    EXPECT_TRUE(icon.startsWith(user.Installed())) << entry.toStdString();
    EXPECT_TRUE(Contents(icon).contains("<svg")) << icon.toStdString();

    // A rebuild from nothing, then the second run.
    const QByteArray afterFirst = Contents(user.Installed() + u"/Kalvero.sch"_qs);
    ASSERT_TRUE(QDir(user.Built()).removeRecursively());
    user.BuildProgram();
    const RunResult second = RunUntilShown(server, user);
    EXPECT_TRUE(second.shown) << second.output.toStdString();
    EXPECT_EQ(second.status, QProcess::NormalExit) << second.output.toStdString();
    EXPECT_EQ(second.exitCode, 0) << second.output.toStdString();
    EXPECT_FALSE(second.output.contains(u"Moved"_qs)) << second.output.toStdString();
    EXPECT_EQ(Contents(user.Installed() + u"/Kalvero.sch"_qs), afterFirst);
}

TEST(RunScript, WithoutADisplaySaysSoInOneLineBeforeBuilding)
{
    TempDir root;
    const User user(root.path);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(u"DISPLAY"_qs);
    env.remove(u"WAYLAND_DISPLAY"_qs);
    QProcess run;
    // Its build folder does not exist: a script that went on would stop there.
    run.setProcessEnvironment(user.Environment(env));
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start(kScript, {});
    ASSERT_TRUE(run.waitForFinished(60000));
    const QString output = QString::fromLocal8Bit(run.readAll());
    EXPECT_EQ(run.exitStatus(), QProcess::NormalExit);
    EXPECT_NE(run.exitCode(), 0);
    ASSERT_EQ(output.count(u'\n'), 1) << output.toStdString();
    EXPECT_TRUE(output.startsWith(u"Kalvero needs a display"_qs)) << output.toStdString();
    // The command it shows is the README's.
    const QString command = output.mid(output.indexOf(u"xvfb-run"_qs)).trimmed();
    EXPECT_TRUE(command.endsWith(u"scripts/run"_qs)) << output.toStdString();
    EXPECT_TRUE(QString::fromUtf8(Contents(QStringLiteral(KALVERO_SOURCE_DIR "/README.md")))
                    .contains(u"\n    "_qs + command + u'\n'))
        << command.toStdString();
    EXPECT_FALSE(QFileInfo::exists(user.DataHome()));
}

} // namespace
