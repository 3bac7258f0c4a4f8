// The commands the plug-in adds to the host's menus, their usability
// callbacks, and the registration of schedules from received mails.

#include "plugin/plugin.h"

#include "app/definedfield.h"
#include "app/forms/schedform.h"
#include "app/settings/consts.h"
#include "app/settings/initparam.h"
#include "core/sjis.h"
#include "gui/msgdlg.h"
#include "gui/qtext.h"
#include "plugin/binding/beckyapi.h"

#include <QApplication>
#include <QClipboard>

#include <string>

namespace plugin {

namespace {

// The commands: name, caption, what they do, and whether they are usable.
// Each callback the host calls guards its work.
struct Command
{
    const char* name;
    const char* caption; // UTF-8
    BK_COMMAND_CALLBACK run;
    BK_UI_CALLBACK usable; // nullptr: always usable
};

std::int32_t Answer(bool usable)
{
    return usable ? BK_CMDUI_ENABLED : BK_CMDUI_DISABLED;
}

// Whether the host's copy command is usable now: the host brings the states
// of its edit pull-down up to date, and its copy item tells.
bool IsHostCopyEnabled()
{
    TBeckyAPI& api = *BeckyAPI;
    const BK_WINDOW main = api.MainWindow();
    const BK_MENU menu = api.GetMenu(main);
    if (!menu)
        return false;
    const BK_MENU edit = api.GetSubMenu(menu, 1);
    api.SendInitMenuPopup(main, edit);
    const int count = api.MenuItemCount(edit);
    for (int position = 0; position < count; ++position) {
        if (api.MenuItemID(edit, position) == BK_ID_COPY)
            return (api.MenuItemState(edit, position) & BKM_GRAYED) == 0;
    }
    return false;
}

// "予定表を表示"
void ShowSchedule()
{
    if (SchedForm)
        SchedForm->BringForward();
}

// "このメールを予定表へ登録"
void EnterMail()
{
    if (SchedForm)
        SchedForm->NewFromMail(std::string(), false);
}

// "コピー(C)＆予定に登録": the host copies its selection, which becomes the
// text of a new item from the current mail.
void CopyAndEnter()
{
    if (!SchedForm || !IsHostCopyEnabled())
        return;
    BeckyAPI->SendCommand(BeckyAPI->MainWindow(), BK_ID_COPY);
    const std::string text = sjis::Trim(qtext::FromQText(QApplication::clipboard()->text()));
    if (text.empty()) {
        msgdlg::Warning(SJ("範囲を選択して下さい"));
        return;
    }
    SchedForm->NewFromMail(text, true);
}

// "定義フィールドによる登録"
void ImportDefined()
{
    if (!SchedForm)
        return;
    const std::string mailId = BeckyAPI->GetCurrentMailSource();
    BlockFault why = BlockFault::NoBlock;
    if (SchedForm->ImportFromMail(BeckyAPI->Source, mailId, true, &why))
        SchedForm->BringForward();
    else if (why == BlockFault::NotShown)
        msgdlg::Warning(strconst::NotRegistered());
    else
        msgdlg::Warning(SJ("このメールには定義フィールドが見つかりません"));
}

// The host asks on every showing of a menu; the answer holds as long as the
// current mail (and the setting that switches the scan off) stays the same.
struct ScheduleAnswer
{
    bool known = false;
    std::string mailId;
    bool noScan = false;
    bool hasSchedule = false;
};
ScheduleAnswer LastAnswer;

bool MailHasSchedule()
{
    if (!SchedForm)
        return false;
    const std::string mailId = BeckyAPI->CurrentMail();
    if (!LastAnswer.known || LastAnswer.mailId != mailId ||
        LastAnswer.noScan != InitParam.NoScanField)
        LastAnswer = { true, mailId, InitParam.NoScanField, SchedForm->CurrentMailHasSchedule() };
    return LastAnswer.hasSchedule;
}

template<void (*Work)()> std::int32_t RunCommand(BK_WINDOW, intptr_t)
{
    Guarded([] {
        if (BeckyAPI)
            Work();
    });
    return 0;
}

template<bool (*Usable)()> std::int32_t AskUsable(BK_WINDOW, intptr_t)
{
    bool usable = false;
    Guarded([&usable] { usable = BeckyAPI && Usable(); });
    return Answer(usable);
}

bool EnterUsable()
{
    return !BeckyAPI->GetCurrentMailSource().empty();
}

const Command kShowSchedule { "Kalvero", "予定表を表示", &RunCommand<&ShowSchedule>, nullptr };
const Command kCopyAndEnter { "KalveroSelTxt", "コピー(C)＆予定に登録", &RunCommand<&CopyAndEnter>,
                              &AskUsable<&IsHostCopyEnabled> };
const Command kImportDefined { "KalveroImport", "定義フィールドによる登録",
                               &RunCommand<&ImportDefined>, &AskUsable<&MailHasSchedule> };
const Command kEnterMail { "KalveroEnter", "このメールを予定表へ登録", &RunCommand<&EnterMail>,
                           &AskUsable<&EnterUsable> };

// Registers a command for menus of menuType; 0 when the host refused it.
std::uint32_t Register(const Command& command, int menuType)
{
    const std::int32_t id = BeckyAPI->RegisterCommand(command.name, menuType, command.run);
    if (id > 0 && command.usable)
        BeckyAPI->RegisterUICallback(id, command.usable);
    return id > 0 ? static_cast<std::uint32_t>(id) : 0;
}

// The main menu: the show command at the end of the tools pull-down.
void InitMainMenu(BK_MENU menu, int menuType)
{
    TBeckyAPI& api = *BeckyAPI;
    const BK_MENU tools = api.GetSubMenu(menu, 4);
    const std::uint32_t id = Register(kShowSchedule, menuType);
    if (!tools || !id)
        return;
    api.AppendMenuSeparator(tools);
    api.AppendMenuItem(tools, id, sjis::FromUtf8(kShowSchedule.caption));
}

// A context menu: the group of mail commands above the host's last group
// (the item 32935), else at the end, between separators.
void InitContextMenu(BK_MENU menu, int menuType)
{
    TBeckyAPI& api = *BeckyAPI;
    const int count = api.MenuItemCount(menu);
    int insertAt = count;
    int copyAt = -1;
    for (int position = 0; position < count; ++position) {
        const std::uint32_t id = api.MenuItemID(menu, position);
        if (id == BK_ID_PROPERTIES)
            insertAt = position;
        else if (id == BK_ID_COPY && copyAt < 0)
            copyAt = position;
    }
    // Read before anything is inserted: an insertion above the copy item
    // moves it.
    const bool canCopy = copyAt >= 0 && (api.MenuItemState(menu, copyAt) & BKM_GRAYED) == 0;
    // Each insertion goes above the ones before it.
    auto insert = [&](const Command& command) {
        if (const std::uint32_t id = Register(command, menuType))
            api.InsertMenuItem(menu, insertAt, id, sjis::FromUtf8(command.caption));
    };
    api.InsertMenuSeparator(menu, insertAt);
    if (canCopy)
        insert(kCopyAndEnter);
    insert(kImportDefined);
    insert(kEnterMail);
    if (insertAt > 0 && (api.MenuItemState(menu, insertAt - 1) & BKM_SEPARATOR) == 0)
        api.InsertMenuSeparator(menu, insertAt);
}

} // namespace

void OnMenuInit(BK_MENU menu, int menuType)
{
    if (!BeckyAPI)
        return;
    if (menuType == BK_MENU_MAIN)
        InitMainMenu(menu, menuType);
    else if (menuType == BK_MENU_LIST || menuType == BK_MENU_VIEW)
        InitContextMenu(menu, menuType);
}

void OnRetrieve(const char* message, const char* mailId)
{
    if (!BeckyAPI || !SchedForm)
        return;
    const std::string text = BeckyAPI->ISO2022JPToSJIS(FromHostText(message));
    if (SchedForm->ImportFromMail(text, FromHostText(mailId), false))
        ++AutoEnterCount;
}

void OnFinishRetrieve()
{
    const int count = AutoEnterCount;
    AutoEnterCount = 0;
    if (!SchedForm || InitParam.AutoPickup <= 0 || count <= 0)
        return;
    msgdlg::Information(strconst::PluginProductName() + SJ("は\r\n") + std::to_string(count) +
                        SJ(" 件の予定を自動登録しました"));
    SchedForm->BringForward();
}

void OnDragDrop(const char* target, const char* sources, int count, int dropEffect)
{
    if (dropEffect == BK_DROP_COPY || !SchedForm)
        return;
    SchedForm->MailsMoved(FromHostText(target), FromHostText(sources), count);
}

} // namespace plugin
