// kalvero-host: the test host on the screen, to try Kalvero.so by hand.
//
//   kalvero-host [--plugin Kalvero.so] [--data FOLDER] [--screenshot FILE] [MAILFOLDER]
//
// The host keeps its mailbox in FOLDER (default ~/.local/share/kalvero-host;
// the plug-in's data go into FOLDER/Kalvero/). "受信" receives the .eml files
// of MAILFOLDER that are not in yet. With --screenshot the host receives
// them, shows the plug-in's schedule window, opens the mail view's context
// menu over a line of the first mail, saves a picture of the screen to FILE
// and quits.

#include "testhost.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QMenu>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>

#include <cstdio>
#include <string_view>

namespace {

// Closing the host's window ends the host, as in a mail client, whatever
// windows the plug-in has open.
class QuitOnClose : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Close)
            QCoreApplication::quit();
        return QObject::eventFilter(watched, event);
    }
};

// Shows the schedule window and, over a word selected in the first mail, the
// mail view's context menu; then saves the screen once both are up and
// painted.
void TakeScreenshot(THost& host, const QString& file)
{
    host.ReceivePending();
    const std::vector<std::string> mails = host.MailsIn(host.Inbox());
    if (!mails.empty())
        host.SelectMail(mails.front());
    host.RunCommand(host.CommandId("Kalvero", BK_MENU_MAIN));
    auto* view = host.Window()->findChild<QPlainTextEdit*>(QStringLiteral("MailView"));
    // The first line of the body.
    QTextCursor cursor(view->document());
    while (!cursor.block().text().isEmpty() && cursor.movePosition(QTextCursor::NextBlock))
        ;
    while (cursor.block().text().trimmed().isEmpty() && cursor.movePosition(QTextCursor::NextBlock))
        ;
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    view->setTextCursor(cursor);
    QMenu* menu = host.ContextMenu(BK_MENU_VIEW);
    menu->popup(view->viewport()->mapToGlobal(view->cursorRect().center()));

    auto* poll = new QTimer(&host);
    auto* ready = new int(0);
    QObject::connect(poll, &QTimer::timeout, &host, [poll, ready, menu, file] {
        QWidget* schedule = TopLevel(QStringLiteral("SchedForm"));
        const bool up = menu->isVisible() && schedule && schedule->isVisible();
        // Some ticks after both are up, so that their first painting is done.
        if (!up || ++*ready < 10)
            return;
        poll->stop();
        delete ready;
        const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
        if (!shot.save(file))
            std::fprintf(stderr, "kalvero-host: cannot save %s\n", qPrintable(file));
        menu->close();
        QCoreApplication::quit();
    });
    poll->start(100);
}

} // namespace

int main(int argc, char** argv)
{
    QString plugin = QStringLiteral(KALVERO_PLUGIN_PATH);
    QString data = QDir::homePath() + QStringLiteral("/.local/share/kalvero-host");
    QString screenshot;
    // The host's options (one dash or two, as Qt's) are taken out before Qt
    // reads the arguments: it would take "-plugin" as its own.
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg.starts_with("--"))
            arg.remove_prefix(1);
        QString* value = arg == "-plugin" ? &plugin
            : arg == "-data"              ? &data
            : arg == "-screenshot"        ? &screenshot
                                          : nullptr;
        if (value && i + 1 < argc)
            *value = QFile::decodeName(argv[++i]);
        else
            argv[kept++] = argv[i];
    }
    argv[argc = kept] = nullptr;
    QApplication app(argc, argv);
    const QStringList rest = app.arguments();
    const QString mails = rest.size() > 1 ? rest.back() : QString();
    QDir().mkpath(data);
    int result = 0;
    {
        THost host(QFile::encodeName(QDir(data).absolutePath()).toStdString());
        if (!mails.isEmpty())
            host.SetPendingFolder(QFile::encodeName(QDir(mails).absolutePath()).toStdString());
        // A picture shows the host in a place of its own.
        if (!screenshot.isEmpty())
            host.Window()->move(0, 0);
        host.Window()->show();
        std::string error;
        if (!host.LoadPlugin(QFile::encodeName(plugin).toStdString(), &error)) {
            std::fprintf(stderr, "kalvero-host: cannot load %s: %s\n", qPrintable(plugin),
                         error.c_str());
            return 1;
        }
        if (!screenshot.isEmpty())
            TakeScreenshot(host, screenshot);
        QuitOnClose quitOnClose;
        host.Window()->installEventFilter(&quitOnClose);
        app.setQuitOnLastWindowClosed(false);
        result = QApplication::exec();
    }
    return result;
}
