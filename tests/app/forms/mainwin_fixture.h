#pragma once

// A main window on a data folder of its own: the program variant for an
// executable in a temporary folder, the fake hot-key backend and tray icon,
// and stand-ins for the dialogs the main window opens.

#include "app/forms/schedform.h"
#include "app/forms/variant.h"
#include "app/settings/initparam.h"
#include "core/days.h"
#include "core/files.h"
#include "gui/qtext.h"
#include "platform/hotkeys.h"
#include "platform/tray.h"
#include "view/wscheduler.h"

#include "support/dialog_script.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// The settings dialog as the tests drive it.
class FakeSetupDialog : public TSetupDialog
{
public:
    std::function<bool()> onExecute;
    int executed = 0;
    bool Execute() override
    {
        ++executed;
        return onExecute ? onExecute() : false;
    }
};

class FakeExportDialog : public TExportDialog
{
public:
    std::vector<std::string> names;
    bool noSecretEnabled = true;
    std::function<bool(FakeExportDialog&)> onExecute;
    void SetFileNames(const std::vector<std::string>& n) override { names = n; }
    std::vector<std::string> FileNames() const override { return names; }
    void SetNoSecretEnabled(bool enabled) override { noSecretEnabled = enabled; }
    bool Execute() override { return onExecute ? onExecute(*this) : false; }
};

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        dir = QFile::encodeName(tmp.path()).toStdString() + "/";
        program = std::make_unique<TProgramVariant>(dir + "Kalvero");
        variant = std::make_unique<TScopedBuildVariant>(program.get());
        strconst::SetBuild(strconst::Build::Program);
        // Messages of the file writers go to message boxes, as in the program.
        msgdlg::InstallReportSink();
        previousFactory = hotkeys::SetFactory([this](QObject* parent) {
            auto fake = std::make_unique<hotkeys::TFakeHotKeys>(parent);
            keys = fake.get();
            return fake;
        });
        previousTray = tray::SetFactory([this](QObject* parent) {
            auto fake = std::make_unique<tray::TFakeTrayIcon>(parent);
            trayIcon = fake.get();
            return fake;
        });
        SchedFormDialogs().Setup = [this](TSchedForm*) {
            auto dialog = std::make_unique<FakeSetupDialog>();
            setup = dialog.get();
            return dialog;
        };
        SchedFormDialogs().Export = [this](TSchedForm*) {
            auto dialog = std::make_unique<FakeExportDialog>();
            if (onExport)
                dialog->onExecute = onExport;
            exported = dialog.get();
            return dialog;
        };
        SchedFormDialogs().Alarm = [this](TSchedForm*, const std::string& previous,
                                          PEventData item) {
            EXPECT_EQ(previous, "");
            alarms.push_back(item->Subject);
            if (onAlarm)
                onAlarm(item);
        };
    }

    void TearDown() override
    {
        form.reset();
        SchedFormDialogs() = {};
        hotkeys::SetFactory(std::move(previousFactory));
        tray::SetFactory(std::move(previousTray));
        // Nothing of this test may reach a later one's files.
        InitParam.LoadFromFile("");
    }

    void Write(const std::string& name, const std::string& text)
    {
        ASSERT_TRUE(files::WriteAtomic(dir + name, text));
    }
    std::string Read(const std::string& name)
    {
        std::string text;
        files::ReadAll(dir + name, text);
        return text;
    }
    void CopyHolidays()
    {
        ASSERT_TRUE(files::Copy(std::string(KALVERO_SOURCE_DIR) + "/data/Kalvero.hol",
                                dir + "Kalvero.hol"));
    }
    QStringList Files() const
    {
        return QDir(tmp.path())
            .entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    }

    void Create() { form = std::make_unique<TSchedForm>(); }
    // The sub-items of a per-day menu as it shows them when it opens.
    static QList<QAction*> Opened(QMenu* menu)
    {
        emit menu->aboutToShow();
        return menu->actions();
    }
    // The per-day sub-item of a menu that names the item; nullptr when none.
    static QAction* SubItem(QMenu* menu, const TEventData* item)
    {
        for (QAction* a : Opened(menu))
            if (a->data().toULongLong() == item->Id)
                return a;
        return nullptr;
    }
    // The item of that subject in the schedule; nullptr when none.
    PEventData Find(const std::string& subject) const
    {
        for (PEventData item : form->Calendar->Store().All())
            if (item->Subject == subject)
                return item;
        return nullptr;
    }
    int Count() const { return form->Calendar->Store().Count(); }
    static std::string Clipboard() { return qtext::FromQ(QApplication::clipboard()->text()); }
    void Show()
    {
        form->show();
        form->activateWindow();
        Settle();
    }
    static void Settle()
    {
        for (int i = 0; i < 10; ++i)
            QApplication::processEvents();
    }
    // The program's end: the window goes, then the settings are written.
    void Close()
    {
        form.reset();
        ASSERT_TRUE(InitParam.SaveToFile());
    }

    // "Now" for every main-window test; a test or fixture that needs another
    // moment installs its own clock over it.
    days::FixedClock now { days::MomentOf(days::Encode(2025, 3, 14), 10 * 60) };
    QTemporaryDir tmp;
    std::string dir;
    std::unique_ptr<TProgramVariant> program;
    std::unique_ptr<TScopedBuildVariant> variant;
    hotkeys::Factory previousFactory;
    hotkeys::TFakeHotKeys* keys = nullptr;
    tray::Factory previousTray;
    tray::TFakeTrayIcon* trayIcon = nullptr;
    FakeSetupDialog* setup = nullptr;
    FakeExportDialog* exported = nullptr;
    std::function<bool(FakeExportDialog&)> onExport;
    std::vector<std::string> alarms;
    std::function<void(PEventData)> onAlarm;
    std::unique_ptr<TSchedForm> form;
};
