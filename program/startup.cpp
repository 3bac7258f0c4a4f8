#include "program/startup.h"

#include "app/forms/schedform.h"
#include "app/forms/variant.h"
#include "app/settings/initparam.h"
#include "core/report.h"
#include "gui/application.h"
#include "gui/msgdlg.h"
#include "gui/qtjapanese.h"
#include "platform/instance.h"
#include "platform/termination.h"

#include <QApplication>

#include <memory>
#include <optional>

namespace program {

int Run(const std::string& executablePath)
{
    strconst::SetBuild(strconst::Build::Program);
    // Before any window: Qt's own dialogs and edit menus speak Japanese.
    const gui::TQtJapanese japanese;
    TProgramVariant variant(executablePath);
    TScopedBuildVariant installed(&variant);
    msgdlg::SetAppTitle(u"Miradel(アプリ版)"_qs);
    msgdlg::InstallReportSink();

    const TDataPaths paths = BuildVariant().DataPaths();
    // Without its folder there is nothing to lock; the window reports the
    // folder when it cannot make it.
    EnsureFolder(paths.DataDir);
    instance::TInstanceLock lock(paths.LockFile);
    if (lock.state() == instance::TInstanceLock::State::Busy) {
        if (!instance::RequestRaise(paths.LockFile))
            msgdlg::Information(u"Kalveroは既に起動しています。"_qs);
        return 0;
    }

    // The program ends when its window is closed: a dialog closing while
    // the window rests in the task tray must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    // From the moment the window closes, files that cannot be written are
    // gathered and named in one message at the end.
    std::optional<report::WriteFailureLog> ending;
    int result = 0;
    {
        auto form = std::make_unique<TSchedForm>();
        QObject::connect(form.get(), &TSchedForm::ProgramEnding, [&ending] {
            if (!ending)
                ending.emplace();
        });
        instance::TRaiseServer raise;
        if (lock.state() == instance::TInstanceLock::State::Acquired)
            raise.Listen(paths.LockFile);
        QObject::connect(&raise, &instance::TRaiseServer::RaiseRequested, form.get(),
                         [&form] { gui::Guarded([&form] { form->BringForward(); }); });
        // Asked to end (the session ends, Ctrl+C): closed as by the user, so
        // that the settings and any unsaved change reach the disk; but
        // nobody may be there to answer, so no dialog waits from now on.
        termination::TTerminationWatch terminate;
        QObject::connect(&terminate, &termination::TTerminationWatch::Requested, form.get(),
                         [&form] {
                             msgdlg::SetUnattended(true);
                             form->close();
                         });
        form->show();
        result = QApplication::exec();
    }
    // The window saved its state into the settings when it was destroyed.
    InitParam.SaveToFile();
    if (ending) {
        const std::vector<std::string> unwritten = ending->Paths();
        ending.reset();
        ReportUnwrittenFiles(unwritten);
    }
    msgdlg::SetUnattended(false);
    lock.Release();
    return result;
}

} // namespace program
