#include "plugin/plugin.h"

#include "app/forms/enterform.h"
#include "app/forms/schedform.h"
#include "app/settings/consts.h"
#include "app/settings/initparam.h"
#include "core/eventdata.h"
#include "core/report.h"
#include "gui/application.h"
#include "gui/msgdlg.h"
#include "gui/qtext.h"
#include "gui/qtjapanese.h"
#include "platform/hostsymbols.h"
#include "plugin/binding/beckyapi.h"
#include "plugin/pluginvariant.h"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <memory>

namespace plugin {

TBeckyAPI* BeckyAPI = nullptr;
int AutoEnterCount = 0;

namespace {

std::string& ModulePath()
{
    static std::string path;
    return path;
}

TPluginVariant* Variant = nullptr;
// Qt's Japanese texts, from the start callback to shutdown, where the host
// has none of its own.
gui::TQtJapanese* QtJapanese = nullptr;
TBuildVariant* PreviousVariant = nullptr;
// True once the main window was made: the settings were read then, and only
// settings that were read are written back.
bool WindowMade = false;
bool ShutDown = false;
bool HooksArmed = false;
QMetaObject::Connection QuitConnection;

bool HaveApplication()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

void ApplicationEnding()
{
    Shutdown();
}

// The host's application may end before the library is unloaded: its quit,
// or its destruction without a quit, shuts down while Qt is still there.
void ArmHooks()
{
    if (HooksArmed)
        return;
    HooksArmed = true;
    QuitConnection = QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit,
                                      &ApplicationEnding);
    qAddPostRoutine(&ApplicationEnding);
}

void DisarmHooks()
{
    if (!HooksArmed)
        return;
    HooksArmed = false;
    QObject::disconnect(QuitConnection);
    qRemovePostRoutine(&ApplicationEnding);
}

// The information block's fields: at most 79 bytes and a terminator, never
// a split character.
void FillField(char (&field)[BK_INFO_FIELD], const std::string& text)
{
    const std::string cut = LeftStrBytes(text, BK_INFO_FIELD - 1);
    std::memset(field, 0, sizeof field);
    std::memcpy(field, cut.data(), std::min(cut.size(), sizeof field - 1));
}

__attribute__((constructor)) void LibraryLoad()
{
    try {
        ModulePath() = hostsymbols::ModulePath(reinterpret_cast<const void*>(&LibraryLoad));
        BeckyAPI = new TBeckyAPI();
        AutoEnterCount = 0;
    } catch (...) {
        // Without a binding every callback does nothing.
        std::fputs("Kalvero: the plug-in could not bind the host's functions\n", stderr);
    }
}

// Runs before the library's static objects (the settings among them) are
// destroyed.
__attribute__((destructor)) void LibraryUnload()
{
    Shutdown();
}

} // namespace

const std::string& ModuleFileName()
{
    return ModulePath();
}

void ShowError(std::exception_ptr error) noexcept
{
    if (HaveApplication()) {
        gui::ShowException(error);
        return;
    }
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Kalvero: %s\n", e.what());
    } catch (...) {
        std::fputs("Kalvero: unknown error\n", stderr);
    }
}

void OnStart()
{
    if (ShutDown || !BeckyAPI || !HaveApplication())
        return;
    if (!SchedForm) {
        if (!Variant) {
            Variant = new TPluginVariant(*BeckyAPI, ModuleFileName());
            PreviousVariant = SetBuildVariant(Variant);
        }
        strconst::SetBuild(strconst::Build::Plugin);
        msgdlg::SetAppTitle(qtext::ToQ(strconst::PluginProductName()));
        msgdlg::InstallReportSink();
        ArmHooks();
        if (!QtJapanese)
            QtJapanese = new gui::TQtJapanese();
        WindowMade = true;
        auto* form = new TSchedForm();
        form->setVisible(InitParam.ShowStart);
    }
    AutoEnterCount = 0;
}

void OnOpenMail()
{
    if (SchedForm && SchedForm->EnterForm)
        SchedForm->EnterForm->UpdateMailLink();
}

void OnPlugInSetup()
{
    if (SchedForm)
        SchedForm->ShowSetup();
}

void OnPlugInInfo(BK_PLUGININFO* info)
{
    if (!info)
        return;
    FillField(info->Name, strconst::PluginProductName());
    FillField(info->Vendor, strconst::VendorName());
    FillField(info->Version, strconst::Version());
    FillField(info->Description, strconst::Description());
}

void Shutdown()
{
    if (ShutDown)
        return;
    ShutDown = true;
    DisarmHooks();
    if (HaveApplication()) {
        // Files that cannot be written now are named once, together.
        std::vector<std::string> unwritten;
        {
            report::WriteFailureLog ending;
            if (SchedForm)
                Guarded([] { delete SchedForm.data(); });
            if (WindowMade)
                Guarded([] { InitParam.SaveToFile(); });
            unwritten = ending.Paths();
        }
        Guarded([&unwritten] { ReportUnwrittenFiles(unwritten); });
    }
    // The host goes on without it once the library is gone.
    delete QtJapanese;
    QtJapanese = nullptr;
    if (Variant) {
        SetBuildVariant(PreviousVariant);
        delete Variant;
        Variant = nullptr;
    }
    delete BeckyAPI;
    BeckyAPI = nullptr;
}

} // namespace plugin
