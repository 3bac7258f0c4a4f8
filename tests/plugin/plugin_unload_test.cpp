// The plug-in's end: unloaded by the host, or the host quitting first. Either
// way the main window is freed once (phone book and memo pad saved) and the
// settings are written into the host's data folder, while Qt is still there.

#include "pluginhost.h"

#include "core/files.h"
#include "core/sjis.h"

#include <QAction>
#include <QLineEdit>
#include <QMetaType>
#include <QPlainTextEdit>
#include <QTimer>

#include <dlfcn.h>

namespace {

struct Unload : PluginScenario
{
    // Changes the memo pad and the phone book through their windows.
    void EditMemoAndPhoneBook()
    {
        QWidget* window = ScheduleWindow();
        ASSERT_NE(window, nullptr);
        auto* memo = Child<QPlainTextEdit>(window, "MemoData");
        ASSERT_NE(memo, nullptr);
        memo->insertPlainText(QStringLiteral("会議の準備"));
        auto* add = Child<QAction>(window, "AddPhone");
        ASSERT_NE(add, nullptr);
        ModalDriver driver;
        driver.Then([](QDialog* form) {
            Child<QLineEdit>(form, "Name")->setText(QStringLiteral("鈴木一郎"));
            form->accept();
        });
        add->trigger();
    }

    std::string Read(const std::string& name) const
    {
        std::string bytes;
        EXPECT_TRUE(files::ReadAll(PluginFile(name), bytes)) << name;
        return bytes;
    }

    void ExpectSaved() const
    {
        EXPECT_EQ(ScheduleWindow(), nullptr);
        EXPECT_NE(Read("Kalvero.ini").find("MAINVIEW="), std::string::npos);
        EXPECT_EQ(Read("Kalvero.mem"), SJ("会議の準備"));
        EXPECT_NE(Read("Kalvero.tel").find(SJ("鈴木一郎")), std::string::npos);
    }
};

TEST_F(Unload, ByTheHost)
{
    Load();
    EditMemoAndPhoneBook();
    host->UnloadPlugin();
    ExpectSaved();
}

TEST_F(Unload, WhenTheHostQuitsFirstAndOnlyOnce)
{
    Load();
    EditMemoAndPhoneBook();
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QApplication::exec();
    ExpectSaved();
    // Unloading afterwards writes nothing again.
    data.Write("Kalvero/Kalvero.ini", "MARK");
    host->UnloadPlugin();
    EXPECT_EQ(Read("Kalvero.ini"), "MARK");
}

TEST_F(Unload, LeavesNoTypeRegisteredWithQt)
{
    // Qt keeps every type registered with it until the process ends: one
    // defined in the library would dangle once it is unloaded.
    Load();
    EditMemoAndPhoneBook();
    Dl_info library;
    ASSERT_NE(::dladdr(reinterpret_cast<void*>(host->Plugin().OnStart), &library), 0);
    for (int id = QMetaType::User + 1; QMetaType::isRegistered(id); ++id) {
        Dl_info where;
        ASSERT_NE(::dladdr(QMetaType(id).iface(), &where), 0)
            << "type " << id << " outlived its code";
        EXPECT_NE(where.dli_fbase, library.dli_fbase) << QMetaType(id).name();
    }
    host->UnloadPlugin();
}

TEST_F(Unload, LoadedAgainAfterUnloadStartsAfresh)
{
    // Reading a schedule and showing a message leave nothing behind that
    // keeps the library in memory.
    Settings("AUTOPICKUP=1\r\n");
    Load();
    {
        ModalDriver driver;
        driver.Then([](QDialog* box) { box->accept(); });
        host->Receive({ "From: a@x\r\nSubject: s\r\nContent-Type: text/plain\r\n\r\n"
                        "\r\n--Kalvero->>>!\r\n2025/12/17,-1,-1,,,0\r\n!<<<--Kalvero-\r\n" });
    }
    host->UnloadPlugin();
    EXPECT_EQ(::dlopen(PluginPath().c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr);
    Load();
    ASSERT_NE(ScheduleWindow(), nullptr);
    EXPECT_NE(host->CommandId("Kalvero", BK_MENU_MAIN), 0u);
}

} // namespace
