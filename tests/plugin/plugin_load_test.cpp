// Kalvero.so as the host sees it when it loads it: its exports, its
// information block, and the commands it puts into the host's menus.

#include "pluginhost.h"

#include "app/settings/consts.h"
#include "core/sjis.h"

#include <QMenu>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>

namespace {

const std::set<std::string> kCallbacks = {
    "BKC_OnStart",       "BKC_OnExit",        "BKC_OnMenuInit",    "BKC_OnOpenFolder",
    "BKC_OnOpenMail",    "BKC_OnEveryMinute", "BKC_OnOpenCompose", "BKC_OnOutgoing",
    "BKC_OnKeyDispatch", "BKC_OnRetrieve",    "BKC_OnSend",        "BKC_OnFinishRetrieve",
    "BKC_OnPlugInSetup", "BKC_OnPlugInInfo",  "BKC_OnDragDrop",
};

TEST(PluginLibrary, ExportsExactlyTheFifteenCallbacks)
{
    FILE* pipe = ::popen(("nm -D --defined-only " + PluginPath()).c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> exported;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) {
        // "address type name"
        char name[512] = {};
        if (std::sscanf(line, "%*s %*s %511s", name) == 1)
            exported.insert(name);
    }
    EXPECT_EQ(::pclose(pipe), 0);
    EXPECT_EQ(exported, kCallbacks);
}

TEST_F(PluginScenario, InformationBlock)
{
    Load();
    // The block and a guard byte after it, filled with a pattern first.
    unsigned char memory[sizeof(BK_PLUGININFO) + 1];
    std::memset(memory, 0xCC, sizeof memory);
    auto* info = reinterpret_cast<BK_PLUGININFO*>(memory);
    EXPECT_EQ(host->Plugin().OnPlugInInfo(info), 0);
    EXPECT_EQ(memory[sizeof(BK_PLUGININFO)], 0xCC);
    for (const char* field : { info->Name, info->Vendor, info->Version, info->Description })
        EXPECT_LT(::strnlen(field, BK_INFO_FIELD), std::size_t(BK_INFO_FIELD));
    EXPECT_EQ(std::string(info->Name), SJ("Miradelプラグイン"));
    EXPECT_EQ(std::string(info->Version), strconst::kVersion);
    EXPECT_EQ(std::string(info->Description),
              SJ("Becky2 で簡単なスケジュール管理ができるプラグインです。"));
    EXPECT_FALSE(std::string(info->Vendor).empty());
}

TEST_F(PluginScenario, StartShowsTheWindowWithShowStartAndASecondStartOnlyResetsTheCount)
{
    Settings("SHOWSTART=1\r\nAUTOPICKUP=1\r\n");
    Load();
    ASSERT_NE(ScheduleWindow(), nullptr);
    EXPECT_TRUE(ScheduleWindow()->isVisible());
    const std::string mail = "From: a@x\r\nSubject: s\r\nContent-Type: text/plain\r\n\r\n"
                             "\r\n--Kalvero->>>!\r\n2025/12/17,-1,-1,,,0\r\n!<<<--Kalvero-\r\n";
    host->Plugin().OnRetrieve(mail.c_str(), "main.mb/!!!!Inbox/?00000001");
    host->Plugin().OnStart();
    // No count message follows (a message box would fail the test).
    ModalDriver driver;
    host->Plugin().OnFinishRetrieve(1);
    int windows = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        windows += widget->objectName() == QLatin1String("SchedForm");
    EXPECT_EQ(windows, 1);
}

// A menu as the plug-in left it: "-" a separator, a plug-in command by its
// name, a host item by its number.
std::vector<std::string> Layout(THost& host, const QWidget* menu, int menuType)
{
    std::vector<std::string> layout;
    for (const TMenuItemView& item : THost::Items(menu)) {
        std::string label = item.separator ? "-" : std::to_string(item.id);
        for (const char* name : { "Kalvero", "KalveroSelTxt", "KalveroImport", "KalveroEnter" }) {
            if (!item.separator && host.CommandId(name, menuType) == item.id)
                label = name;
        }
        layout.push_back(label);
    }
    return layout;
}

TEST_F(PluginScenario, MainMenuGetsTheShowCommandInItsFifthPullDown)
{
    Load();
    EXPECT_EQ(Layout(*host, host->PullDown(4), BK_MENU_MAIN),
              (std::vector<std::string> { "1002", "-", "Kalvero" }));
    EXPECT_EQ(THost::Items(host->PullDown(4)).back().text, SJ("予定表を表示"));
    ASSERT_NE(ScheduleWindow(), nullptr);
    EXPECT_FALSE(ScheduleWindow()->isVisible());
    EXPECT_TRUE(host->RunCommand(host->CommandId("Kalvero", BK_MENU_MAIN)));
    EXPECT_TRUE(ScheduleWindow()->isVisible());
}

TEST_F(PluginScenario, ContextMenusGetTheMailGroup)
{
    Load();
    const TMenuEntry copy { BK_ID_COPY, "コピー", true };
    const TMenuEntry grayedCopy { BK_ID_COPY, "コピー", false };
    const TMenuEntry properties { BK_ID_PROPERTIES, "プロパティ", true };
    const TMenuEntry open { 1004, "開く", true };
    struct Case
    {
        int menuType;
        std::vector<TMenuEntry> items;
        std::vector<std::string> layout;
    } cases[] = {
        // Above the last group; no upper separator below an existing one;
        // no copy command while the host's copy is grayed.
        { BK_MENU_LIST,
          { open, grayedCopy, {}, properties },
          { "1004", "57634", "-", "KalveroEnter", "KalveroImport", "-", "32935" } },
        { BK_MENU_VIEW,
          { copy, open, {}, properties },
          { "57634", "1004", "-", "KalveroEnter", "KalveroImport", "KalveroSelTxt", "-",
            "32935" } },
        // Without the last group: at the end, with a separator above.
        { BK_MENU_LIST,
          { copy, open },
          { "57634", "1004", "-", "KalveroEnter", "KalveroImport", "KalveroSelTxt", "-" } },
        // At the very top: no separator above.
        { BK_MENU_VIEW,
          { properties, copy },
          { "KalveroEnter", "KalveroImport", "KalveroSelTxt", "-", "32935", "57634" } },
        // A grayed copy below the insertion is read where it was.
        { BK_MENU_VIEW,
          { properties, grayedCopy },
          { "KalveroEnter", "KalveroImport", "-", "32935", "57634" } },
        // Another menu type is left alone.
        { BK_MENU_TREE, { copy, properties }, { "57634", "32935" } },
    };
    for (const Case& c : cases) {
        QMenu* menu = host->ContextMenu(c.menuType, c.items);
        EXPECT_EQ(Layout(*host, menu, c.menuType), c.layout) << "menu type " << c.menuType;
    }
    EXPECT_EQ(host->CommandId("KalveroEnter", BK_MENU_TREE), 0u);
    std::vector<std::string> captions;
    for (const TMenuItemView& item : THost::Items(host->ContextMenu(BK_MENU_VIEW, { copy })))
        captions.push_back(item.text);
    EXPECT_EQ(captions,
              (std::vector<std::string> { SJ("コピー"), "", SJ("このメールを予定表へ登録"),
                                          SJ("定義フィールドによる登録"),
                                          SJ("コピー(C)＆予定に登録"), "" }));
}

TEST_F(PluginScenario, CopyAndEnterIsUsableWhileTheHostCanCopy)
{
    Load();
    host->ContextMenu(BK_MENU_VIEW, { { BK_ID_COPY, "コピー", true } });
    const std::uint32_t id = host->CommandId("KalveroSelTxt", BK_MENU_VIEW);
    ASSERT_NE(id, 0u);
    host->SetSelectionText(std::string());
    EXPECT_FALSE(host->CommandUsable(id));
    host->SetSelectionText(SJ("来週の火曜日"));
    EXPECT_TRUE(host->CommandUsable(id));
}

TEST_F(PluginScenario, EnterMailIsUsableWithACurrentMailThatHasASource)
{
    Load();
    host->ContextMenu(BK_MENU_LIST);
    const std::uint32_t id = host->CommandId("KalveroEnter", BK_MENU_LIST);
    EXPECT_FALSE(host->CommandUsable(id));
    host->ForceCurrentMail(host->Inbox() + "?0000FFFF");
    EXPECT_FALSE(host->CommandUsable(id));
    host->SelectMail(host->AddMail(host->Inbox(), "Subject: x\r\n\r\nbody\r\n"));
    EXPECT_TRUE(host->CommandUsable(id));
}

} // namespace
