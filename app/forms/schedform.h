#pragma once

// TSchedForm, the main window of both builds: the calendar with its tool
// bars, the dockable list window and memo view, the data files, the settings
// flow, the global hot keys and the one-second clock that rings alarms.
//
// Components carry their names as object names (tests and the other windows
// find them by name). Tags and image indexes live in the dynamic properties
// "tag" and "imageIndex".
//
// Creation runs each start-up step on its own: a step that fails is reported
// once and the later steps still run, so the schedule always loads.

#include "core/days.h"
#include "core/eventdata.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QLabel;
class QMenu;
class QTimer;
class QToolBar;
class QToolButton;
class TBevelLabel;
class TColorButton;
class TDockClientForm;
class TDockPanel;
class TEnterForm;
class TListWindow;
class TMemoForm;
class TSchedForm;
class TWScheduler;
enum class BlockFault;

namespace clipboard {
class TIgnore;
class TWatch;
} // namespace clipboard
namespace hotkeys {
class THotKeyBackend;
}
namespace tray {
class TTrayIcon;
enum class Click;
} // namespace tray

// The settings dialog as the main window uses it: Execute loads the
// dialog from the settings, shows it modally and returns true after OK
// (the settings then hold the new values).
class TSetupDialog
{
public:
    virtual ~TSetupDialog() = default;
    virtual bool Execute() = 0;
};

// The export dialog as the export button uses it.
class TExportDialog
{
public:
    virtual ~TExportDialog() = default;
    // The file-name history, the first entry selected.
    virtual void SetFileNames(const std::vector<std::string>& names) = 0;
    virtual std::vector<std::string> FileNames() const = 0;
    // Whether "leave out secret items" may be chosen (it is unchecked when
    // not).
    virtual void SetNoSecretEnabled(bool enabled) = 0;
    // Runs the dialog; true when it exported.
    virtual bool Execute() = 0;
};

// Where the main window gets the dialogs that other windows provide. Each
// factory may be empty: the command then does nothing, unless its own line
// names what stands in. Tests install their own.
struct TSchedFormDialogs
{
    // Made once at creation, owned by the main window (empty: the settings
    // dialog TSetupForm).
    std::function<std::unique_ptr<TSetupDialog>(TSchedForm* owner)> Setup;
    // Made per use (empty: TExportForm).
    std::function<std::unique_ptr<TExportDialog>(TSchedForm* owner)> Export;
    // Shows the alarm window of one due item modally and frees it (empty:
    // the alarm window). previousMail is the host's mail of the moment the
    // alarm rang (empty in the program).
    std::function<void(TSchedForm* owner, const std::string& previousMail, PEventData item)> Alarm;
};
TSchedFormDialogs& SchedFormDialogs();

// Names, in one message, the files that could not be written while the
// program or the plug-in ended; nothing when the list is empty.
void ReportUnwrittenFiles(const std::vector<std::string>& paths);

class TSchedForm : public QMainWindow
{
    Q_OBJECT

public:
    // Creates the window and runs the start-up steps: data paths from the
    // build variant, settings, window state, phone book and memo pad,
    // holidays, schedule, grid type, hot keys. The window is not shown.
    explicit TSchedForm(QWidget* parent = nullptr);
    // Saves the window state, histories and view switches into the
    // settings (the settings file itself is written by the caller).
    ~TSchedForm() override;

    // --- Components
    QToolBar* ToolBar1 = nullptr;
    QToolButton* HideBtn = nullptr;
    QToolButton* AddFileBtn = nullptr;
    QToolButton* NewBtn = nullptr;
    QToolButton* EditBtn = nullptr;
    QToolButton* ToolButton4 = nullptr; // copy
    QToolButton* ToolButton7 = nullptr; // paste
    QToolButton* DelBtn = nullptr;
    QToolButton* EraseBtn = nullptr;
    QToolButton* ViewListBtn = nullptr;
    QToolButton* MemoView = nullptr;
    QToolButton* ExportBtn = nullptr;
    QToolButton* SetupBtn = nullptr;
    QLabel* Separater = nullptr; // the clock
    QToolButton* GridType = nullptr;
    QWidget* Padding = nullptr;
    QToolButton* Personal = nullptr;
    QToolButton* Official = nullptr;
    QToolButton* ImportBtn = nullptr;

    QWidget* CalendarPanel = nullptr;
    TWScheduler* Calendar = nullptr;
    QToolBar* ToolBar2 = nullptr;
    QToolButton* PrevYear = nullptr;
    QToolButton* PrevPage = nullptr;
    TColorButton* HereLabel = nullptr;
    QToolButton* NextPage = nullptr;
    QToolButton* NextYear = nullptr;
    TBevelLabel* TitleCaption = nullptr;

    TDockPanel* DockLeft = nullptr;
    TDockPanel* DockRight = nullptr;
    TDockPanel* DockBottom = nullptr;
    TListWindow* ListWindow = nullptr;
    TMemoForm* MemoForm = nullptr;
    // The entry dialog: one instance for the window's life, so that its
    // histories carry over from one use to the next.
    TEnterForm* EnterForm = nullptr;

    QAction* EditAction = nullptr;
    QAction* DelAction = nullptr;
    QAction* NewAction = nullptr;
    QAction* CopyAction = nullptr;
    QAction* PasteAction = nullptr;
    QAction* CutAction = nullptr;
    QAction* GridAction = nullptr;
    QAction* PrivAction = nullptr;
    QAction* WorkAction = nullptr;
    QAction* CloseAction = nullptr;
    QAction* SetupAction = nullptr;

    QMenu* OptPopup = nullptr;
    QAction* NNewEvent = nullptr;
    QMenu* NEvent = nullptr; // per-day sub-items
    QMenu* NDelete = nullptr;
    QMenu* NCopy = nullptr;
    QAction* NPaste = nullptr;
    QAction* N2 = nullptr; // separator before QuickLink
    QMenu* QuickLink = nullptr;
    QMenu* SendTo = nullptr;
    QAction* PImport = nullptr;
    QMenu* N8 = nullptr; // "カレンダー表示"
    QAction* NAutoMark = nullptr;
    QAction* NBegTime = nullptr;
    QAction* NSecret = nullptr;
    QAction* NEvent3 = nullptr;
    QAction* NEventHint = nullptr;
    QAction* N_Todo = nullptr;
    QMenu* EditPopup = nullptr;
    QAction* N_Check = nullptr;
    QMenu* DispPriority = nullptr;
    QAction* PM_None = nullptr;
    QAction* PM_Low = nullptr;
    QAction* PM_Mid = nullptr;
    QAction* PM_High = nullptr;
    QAction* ToDo = nullptr;
    QMenu* MoveDirect = nullptr;

    QTimer* AlermTimer1 = nullptr;

    // --- Window state
    std::string SchedulePath;
    // The item the title caption shows (kept in its data pointer); nullptr
    // when none.
    PEventData CurrentItem() const;
    // The settings dialog, made at creation.
    TSetupDialog* SetupForm() const { return setupForm_.get(); }
    hotkeys::THotKeyBackend* HotKeys() const { return hotKeys_.get(); }

    // --- Settings flow
    void LoadWindowSettings();
    void ApplySettings();
    void StoreViewSettings();
    // The settings dialog with the hot keys released while it is open.
    // Returns at once while it, or any other modal window, is open.
    void ShowSetup();
    // Restores MAINVIEW: a size of 0 or less gives 520 x 420, an axis
    // larger than the screen half of the screen, and the window is moved
    // wholly onto the screen that shows most of it (its frame too, once the
    // window manager has framed it).
    void RestoreBounds();

    // --- Hot keys (0: INVOKE, 1: RESIZE)
    void SetHotKey(int id, std::uint16_t shortCut);
    void DoHotKey(int id);
    // Shows the window (restoring it when minimised), raises and activates
    // it: hot key 0 on a hidden window, a second start of the program.
    void BringForward();
    // Hidden by the hide command: in the task tray, or minimised for it
    // where there is no tray (not minimised by the user).
    bool HiddenByCommand() const;

    // --- Handlers
    void FormActivate();
    void HideBtnClick();
    void CloseActionExecute();
    void SetupActionExecute();
    void AlermTimer1Timer();
    // The calendar's alarm event: one alarm window per due item.
    void CalendarAlerm(TWScheduler* sender, PEventData item);
    // Applies the grid type of GridAction's check (the action has already
    // switched it when this runs).
    void GridTypeClick();
    void ExportBtnClick();
    void CalendarChange();
    // Shows the items of the current date in the day list; the per-day
    // sub-menus take them as they next open.
    void CalendarChangeDate();

    // --- The task tray and the clipboard (the program build)
    // Hides the window into the task tray. Without a tray on the desktop the
    // window is minimised instead, so that it can always be reached again.
    // Only the program's own hide commands come here, never a minimise by
    // the window manager.
    void HideToTray();
    // A click on the tray icon: a left click brings the hidden window back;
    // other clicks do nothing.
    void TrayIconClicked(tray::Click click);
    // nullptr in the plug-in build.
    tray::TTrayIcon* TrayIcon() const { return tray_.get(); }
    // Starts or stops watching the clipboard for copied schedules (only
    // where the build imports them; hooked at most once).
    void HookClipboard();
    void UnhookClipboard();
    clipboard::TWatch* ClipboardWatch() const { return clipWatch_; }
    // Another program copied text: imported when AUTOPICKUP is on.
    void ClipboardChanged();
    // PImport, and the watch: a defined-field block in the clipboard text
    // becomes an item. Text without a whole and sound block is passed over
    // without a word.
    void ImportFromClipboard();
    // Adds an imported record (TSchedList::AddFromLine) to the schedule,
    // which then saves and refreshes; false when the record was dropped.
    bool AddImportedRecord(std::string_view record);

    // --- Navigation and views
    // A navigation button's step from its tag: tens digit - 1 years, units
    // digit - 1 pages (months, or weeks in the week grid).
    void MoveYearMonth(QObject* sender);
    // Today.
    void MoveMonthClick();
    // The direct-date menu's items: a year, or -1 to type a date.
    void YearMenuClick(int tag);
    void MonthMenuClick(int tag);
    // Shows or hides personal (PrivAction) or company (WorkAction) items.
    void PersonalClick(QAction* action);
    // A level of the priority menu; ImportBtn switches the filter on and off.
    void DisplayPriority(QAction* item);
    void ImportBtnClick();
    void ApplyPriorityFilter(int on);
    void NAutoMarkClick();
    void NBegTImeClick();
    void NEvent3Click();
    void NEventHintClick();
    void N_TodoClick();
    // Switching secret items on asks for the password first (when one is
    // set); NSecret's check has not changed yet when this runs.
    void NSecretClick();
    // Keys on the calendar before the grid sees them; true when taken.
    bool CalendarKeyDown(int key, Qt::KeyboardModifiers modifiers);
    // Adds the readable records of a schedule file or a CSV file to the
    // schedule and says how many lines could not be read.
    void AddFileBtnClick();
    // The whole of a merge once the file is chosen: filterIndex 1 merges a
    // schedule file, 2 imports CSV. False when nothing was added.
    bool MergeFile(const std::string& path, int filterIndex);

    // --- Item commands
    // A new item on the current date (the calendar's double click, NewAction).
    void MakeNewData();
    // The entry dialog for a new item on the current date, pre-filled.
    void NewSchedule(const std::string& subject = {}, const std::string& mailId = {},
                     int priority = 0, const std::string& memo = {},
                     const std::string& mailKey = {});
    // The entry dialog for an item of the store; nothing for nullptr.
    void EditSchedule(PEventData item);
    // Asks, then deletes an item of the store; nothing for nullptr.
    void DeleteSchedule(PEventData item);
    void EditActionExecute();
    void TitleCaptionDblClick();
    void DelActionExecute();
    // Copies the item of a sub-item of NCopy, else the current item, into
    // the copy buffer and (unless it is secret) onto the clipboard.
    void CopyActionExecute(QAction* sender = nullptr);
    // The copy buffer as a single item on the current date.
    void PasteActionExecute();
    // Copy and delete, for a current single item.
    void CutActionExecute();
    // The sub-items of NEvent, NDelete and SendTo (their data is the item's
    // identity; an item no longer in the store is left alone).
    void ItemMenuEditClick(QAction* sender);
    void ItemMenuDeleteClick(QAction* sender);
    void ItemMenuSendClick(QAction* sender);
    void EditPopupPopup();
    void N_CheckClick();
    // The bulk delete with its dialog.
    void EraseBtnClick();
    void OptPopupPopup();
    // Shows an item in the title caption and the memo view and makes it the
    // current item; show false or nullptr clears both.
    void ShowCurrentItem(PEventData item, bool show);
    // True while the copy buffer holds an item.
    bool CanPaste() const { return !copyBuffer_.Subject.empty(); }
    const TEventData& CopyBuffer() const { return copyBuffer_; }
    // The item a per-day sub-item names, when it is still in the store.
    PEventData MenuItem(const QAction* sender) const;

    // --- Mails (the host mail client of the plug-in build)
    // Adds the item a mail's defined-field block describes, linked to the
    // mail (see ImportFromMail in app/mailimport.h); true when one was added.
    bool ImportFromMail(const std::string& source, const std::string& mailId, bool force,
                        BlockFault* why = nullptr);
    // Whether the host's current mail carries a block (never with
    // NOSCANFIELD on).
    bool CurrentMailHasSchedule();
    // Mails moved to target in the host: ids holds count mail IDs, one per
    // line; each linked item records the folder. Saves once.
    void MailsMoved(const std::string& target, std::string_view ids, int count);
    // A QuickLink sub-item: links its item to the host's current mail.
    void QuickLinkClick(QAction* sender);
    // The entry dialog for a new item from the host's current mail: its
    // cleaned subject, link and priority, and text (the mail's readable text
    // unless useText).
    void NewFromMail(const std::string& text, bool useText);
    // Writes the day digest into the host's current mailbox and has the host
    // show it afresh.
    void WriteQuickMemo();

    // The clock label's text of a moment: "yyyy年M月d日 H:mm:ss ".
    static QString ClockText(days::Moment moment);
    // Puts a clock text into the clock label, as much of it as the label's
    // room takes: the whole, else the time alone, else nothing.
    void ShowClock(const QString& text);

signals:
    // The window is being closed and the program ends with it: what is
    // saved from now on is saved for the last time.
    void ProgramEnding();

protected:
    void closeEvent(QCloseEvent* event) override;
    // The hint rule: a hint of the calendar is rebuilt every second while
    // the mouse rests on it (an empty text takes it away).
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void CreateComponents();
    // Connects the navigation and view handlers (schedform_views.cpp).
    void CreateViewHandlers();
    void RebuildMoveDirect();
    // After items left the view: the title caption, the memo view and the
    // search results let go of what is no longer shown.
    void ForgetHiddenItems();
    QAction* NewAction_(const char* name, const QString& text, int image);
    void UpdateGridLook();
    void CreateActions();
    void CreateMenus();
    void CreateToolBars();
    void CreateDocks();
    void FormCreate();
    // Tells the user, once and before anything is saved over it, that the
    // schedule file held records that could not be read and where.
    void ReportDroppedRecords();
    void FormDestroy();
    void FormClose();
    // MAINVIEW, LISTVIEW and MEMOVIEW from the windows as they stand.
    void TakeWindowState();
    void RestoreDock(TDockClientForm* form, const std::string& state);
    void ReleaseHotKeys();
    void RegisterHotKeys() noexcept;
    // Runs one step of creation or shutdown; a failure is reported and the
    // next step runs.
    void Step(const std::function<void()>& step);
    void ConnectItemCommands();
    // Fills a per-day sub-menu (its index in the table of schedform_items.cpp)
    // with the day's items, once per date change. The sub-menus fill as they
    // open: a day of many items would otherwise cost a sub-item per item and
    // menu at every change, each slower to insert the longer the menu.
    void FillDayMenu(std::size_t index);
    // The items the per-day sub-menus are for that are still in the store,
    // in the day's order.
    std::vector<PEventData> DayMenuItems() const;
    // Forgets the current item when it is the one about to go.
    void Forget(PEventData item);

    std::unique_ptr<hotkeys::THotKeyBackend> hotKeys_;
    std::unique_ptr<tray::TTrayIcon> tray_;
    clipboard::TWatch* clipWatch_ = nullptr;
    // Held while the entry dialog is open: nothing copied meanwhile is
    // registered behind the user's back.
    std::unique_ptr<clipboard::TIgnore> enterFormPause_;
    std::unique_ptr<TSetupDialog> setupForm_;
    QTimer* hintTimer_ = nullptr;
    bool setupRunning_ = false;
    bool firstShow_ = true;
    bool destroyed_ = false;
    // The window state was taken as the program or the application began to
    // end, with the windows as the user left them; it is not taken again.
    bool windowStateTaken_ = false;
    bool minimisedToHide_ = false;
    QString clockText_;
    std::int64_t lastCheckedMinute_ = 0;
    TEventData copyBuffer_;
    // The day of the per-day sub-menus, its items' identities, and a bit for
    // each sub-menu filled since.
    days::Day dayMenuDate_ = 0;
    std::vector<std::uint64_t> dayMenuIds_;
    unsigned dayMenusFilled_ = 0;
};

// The main window of this process (nullptr when none).
extern QPointer<TSchedForm> SchedForm;
