// The plug-in's end: unloaded by the host, or the host quitting first. Either
// way the main window is freed once (phone book and memo pad saved) and the
// settings are written into the host's data folder, while Qt is still there.

#include "pluginhost.h"

#include "core/files.h"
#include "core/sjis.h"

#include <QAction>
#include <QFile>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>

#include <dlfcn.h>
#include <link.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

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
    // Qt's own texts in Japanese where its translation is, until unload.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel") == QStringLiteral("Cancel"),
              !QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_ja.qm"));
    EditMemoAndPhoneBook();
    host->UnloadPlugin();
    ExpectSaved();
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
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

// The addresses the loaded library whose code holds inside occupies.
std::pair<std::uintptr_t, std::uintptr_t> LibraryRange(const void* inside)
{
    struct Search
    {
        std::uintptr_t inside, start = 0, end = 0;
    } search { reinterpret_cast<std::uintptr_t>(inside) };
    ::dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) {
            auto& s = *static_cast<Search*>(data);
            std::uintptr_t start = UINTPTR_MAX, end = 0;
            for (int i = 0; i < info->dlpi_phnum; ++i) {
                const ElfW(Phdr)& segment = info->dlpi_phdr[i];
                if (segment.p_type != PT_LOAD)
                    continue;
                start = std::min<std::uintptr_t>(start, info->dlpi_addr + segment.p_vaddr);
                end = std::max<std::uintptr_t>(end,
                                               info->dlpi_addr + segment.p_vaddr + segment.p_memsz);
            }
            if (s.inside < start || s.inside >= end)
                return 0;
            s.start = start;
            s.end = end;
            return 1;
        },
        &search);
    const std::uintptr_t page = ::sysconf(_SC_PAGESIZE);
    return { search.start / page * page, (search.end + page - 1) / page * page };
}

TEST_F(Unload, LoadedAgainAtOtherAddressesAfterUse)
{
    // A host loads other libraries between two loads of the plug-in, so the
    // next load may land elsewhere: nothing the first one left with Qt (its
    // types, the fonts it asked for) may point into the freed range.
    Load();
    EditMemoAndPhoneBook();
    host->RunCommand(host->CommandId("Kalvero", BK_MENU_MAIN));
    const auto [start, end] = LibraryRange(reinterpret_cast<void*>(host->Plugin().OnStart));
    ASSERT_LT(start, end);
    host->UnloadPlugin();
    void* blocked = ::mmap(reinterpret_cast<void*>(start), end - start, PROT_NONE,
                           MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE, -1, 0);
    ASSERT_EQ(blocked, reinterpret_cast<void*>(start));
    Load();
    EditMemoAndPhoneBook();
    host->RunCommand(host->CommandId("Kalvero", BK_MENU_MAIN));
    host->UnloadPlugin();
    EXPECT_EQ(ScheduleWindow(), nullptr);
    ::munmap(blocked, end - start);
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
