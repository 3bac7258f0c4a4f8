#pragma once

// A mail client of our own that stands in for the one Kalvero.so is made
// for: it implements plugin/hostapi.h over folders of mails kept in memory
// (CR LF bytes, as received) with a "folder.idx" per folder in its data
// folder, a command registry, menus (a main menu of six pull-downs and
// context menus of the mail list and the mail view), a selected text, and
// logs of the compose, command and folder calls the plug-in made. It loads
// the plug-in by path and calls its callbacks as the mail client does.
//
// One host per process; its window is the host's main window. Tests drive
// it directly; the program kalvero-host puts it on the screen so that a
// person can try the plug-in.

#include "plugin/hostapi.h"

#include <QObject>
#include <QPointer>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QListWidget;
#include <QMainWindow>
#include <QMenu>
class QPlainTextEdit;
class QTreeWidget;
class QWidget;

// The callbacks of a loaded plug-in.
struct TPluginCallbacks
{
    int32_t (*OnStart)() = nullptr;
    int32_t (*OnExit)() = nullptr;
    int32_t (*OnMenuInit)(BK_WINDOW, BK_MENU, int32_t) = nullptr;
    int32_t (*OnOpenFolder)(const char*) = nullptr;
    int32_t (*OnOpenMail)(const char*) = nullptr;
    int32_t (*OnEveryMinute)() = nullptr;
    int32_t (*OnOpenCompose)(BK_WINDOW, int32_t) = nullptr;
    int32_t (*OnOutgoing)(BK_WINDOW, int32_t) = nullptr;
    int32_t (*OnKeyDispatch)(BK_WINDOW, int32_t, int32_t) = nullptr;
    int32_t (*OnRetrieve)(const char*, const char*) = nullptr;
    int32_t (*OnSend)(const char*) = nullptr;
    int32_t (*OnFinishRetrieve)(int32_t) = nullptr;
    int32_t (*OnPlugInSetup)(BK_WINDOW) = nullptr;
    int32_t (*OnPlugInInfo)(BK_PLUGININFO*) = nullptr;
    int32_t (*OnDragDrop)(const char*, const char*, int32_t, int32_t) = nullptr;
};

// A compose window the plug-in opened, with what it set.
struct TComposeRecord
{
    std::string url;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string text;
};

// An item of a context menu the host builds: id 0 is a separator.
struct TMenuEntry
{
    std::uint32_t id = 0;
    std::string text; // UTF-8
    bool enabled = true;
};

// An item of a host menu as it stands.
struct TMenuItemView
{
    std::uint32_t id = 0; // 0 separator
    std::string text; // Shift_JIS, as the plug-in gave it
    bool enabled = true;
    bool separator = false;
};

// A top-level window of this process (the host's or the plug-in's) by
// object name; nullptr when none.
QWidget* TopLevel(const QString& name);

class THost : public QObject
{
    Q_OBJECT

public:
    // Keeps its folders in dataFolder (made when missing; ends in "/"): the
    // mailbox "main.mb/" with the folders inbox, outbox and "archive".
    explicit THost(const std::string& dataFolder);
    // Unloads the plug-in when one is loaded.
    ~THost() override;
    static THost* Instance();

    // --- Folders and mails
    const std::string& DataFolder() const { return dataFolder_; }
    std::string MailBox() const { return "main.mb/"; }
    std::string Inbox() const { return "main.mb/!!!!Inbox/"; }
    std::string Outbox() const { return "main.mb/!!!!Outbox/"; }
    std::string Archive() const { return "main.mb/archive/"; }
    // Adds a mail (its source, CR LF made of any line ends) to a folder and
    // its index; returns the mail's identifier.
    std::string AddMail(const std::string& folderId, const std::string& source);
    // The mails of a folder, in order.
    std::vector<std::string> MailsIn(const std::string& folderId) const;
    // Moves or copies mails to another folder as a drop does (they get new
    // identifiers there), then tells the plug-in. Returns the new ids.
    std::vector<std::string> DropMails(const std::vector<std::string>& mailIds,
                                       const std::string& targetFolder, int dropEffect);
    // Receives mails into the inbox: the plug-in sees each, then the end.
    std::vector<std::string> Receive(const std::vector<std::string>& sources);
    // Receives the mails of the .eml folder given at start that are not in
    // yet (the "受信" button).
    void ReceivePending();
    void SetPendingFolder(const std::string& emlFolder);

    // --- What the user has selected
    // Makes a mail current as a click in the list does; false for an
    // unknown mail.
    bool SelectMail(const std::string& mailId);
    // Makes any identifier current, known or not.
    void ForceCurrentMail(const std::string& mailId) { currentMail_ = mailId; }
    const std::string& CurrentMail() const { return currentMail_; }
    // The selected text in the mail view (Shift_JIS); set by tests, else
    // what the view has selected.
    void SetSelectionText(std::optional<std::string> text) { selection_ = std::move(text); }
    std::string SelectionText() const;

    // --- Answers a test can change
    std::string currentMailBox = "main.mb/";
    bool noDataFolder = false; // BKA_GetDataFolder gives null
    bool refuseCompose = false; // BKA_ComposeMail opens nothing
    bool fillHeaderBuffer = false; // headers fill the whole buffer, unterminated

    // --- The plug-in
    // Loads it, calls its start and its main menu; false (and why) when it
    // cannot be loaded.
    bool LoadPlugin(const std::string& path, std::string* error = nullptr);
    // Unloads it (dlclose); the callbacks are gone afterwards.
    void UnloadPlugin();
    bool PluginLoaded() const { return library_ != nullptr; }
    const TPluginCallbacks& Plugin() const { return plugin_; }

    // A context menu of a type (1 list, 3 view) as the host builds it before
    // showing it: its own items (the default ones when none are given), then
    // the plug-in's, with the usability of registered commands applied. The
    // menu belongs to the host until the next one of the same type.
    QMenu* ContextMenu(int menuType, const std::vector<TMenuEntry>& items = {});
    static std::vector<TMenuItemView> Items(const QWidget* menu);
    // The main window's menu bar and its pull-downs.
    QWidget* MenuBar() const;
    QMenu* PullDown(int position) const;

    // --- Commands
    // The identifier a registered command got (0 when none).
    std::uint32_t CommandId(const std::string& name, int menuType) const;
    // Runs a registered command (through its menu identifier); false when
    // unknown.
    bool RunCommand(std::uint32_t id);
    // Asks a command's usability callback; true without one.
    bool CommandUsable(std::uint32_t id);

    // --- Logs
    std::vector<TComposeRecord> composeLog;
    std::vector<std::uint32_t> commandLog; // WM_COMMAND identifiers received
    std::vector<std::string> folderLog; // BKA_SetCurrentFolder calls
    int sourceRequests = 0; // BKA_GetSource calls
    std::string currentFolder;

    QMainWindow* Window() const { return window_; }
    BK_WINDOW MainHandle() const;

    // --- The host functions of plugin/hostapi.h (hostfunctions.cpp calls
    // these). Returned texts stay valid until the next call of the same
    // function.
    void GetWindowHandles(BK_WINDOW* main, BK_WINDOW* tree, BK_WINDOW* list, BK_WINDOW* view);
    int32_t RegisterCommand(const char* name, int32_t menuType, BK_COMMAND_CALLBACK callback);
    void RegisterUICallback(int32_t commandId, BK_UI_CALLBACK callback);
    const char* GetDataFolder();
    const char* GetCurrentMailBox();
    void SetCurrentFolder(const char* folderId);
    const char* GetFolderDisplayName(const char* folderId);
    const char* GetCurrentMail();
    void SetCurrentMail(const char* mailId);
    const char* GetSource(const char* mailId);
    const char* ISO_2022_JP(const char* text, int32_t direction);
    int32_t GetSpecifiedHeader(const char* header, char* buffer, int32_t size);
    BK_WINDOW ComposeMail(const char* url);
    int32_t CompSetSpecifiedHeader(BK_WINDOW compose, const char* header, const char* value);
    int32_t CompSetText(BK_WINDOW compose, int32_t mode, const char* text);
    BK_MENU GetMenu(BK_WINDOW window);
    BK_MENU GetSubMenu(BK_MENU menu, int32_t position);
    int32_t GetMenuItemCount(BK_MENU menu);
    uint32_t GetMenuItemID(BK_MENU menu, int32_t position);
    uint32_t GetMenuState(BK_MENU menu, uint32_t item, uint32_t flags);
    int32_t InsertMenu(BK_MENU menu, uint32_t position, uint32_t flags, uintptr_t id,
                       const char* text);
    int32_t AppendMenu(BK_MENU menu, uint32_t flags, uintptr_t id, const char* text);
    intptr_t SendMessage(BK_WINDOW window, uint32_t message, uintptr_t wparam, intptr_t lparam);

private:
    struct Mail
    {
        std::string key; // eight hexadecimal digits, lower case
        std::string source;
    };
    struct Folder
    {
        std::string displayName;
        std::vector<Mail> mails;
        std::uint32_t nextKey = 1;
    };
    struct Command
    {
        std::string name;
        int menuType = 0;
        BK_COMMAND_CALLBACK run = nullptr;
        BK_UI_CALLBACK usable = nullptr;
    };

    void BuildWindow();
    const char* Keep(const char* function, std::string text);
    QWidget* MenuOf(BK_MENU handle) const;
    BK_MENU Register(QWidget* menu);
    QAction* ItemAt(QWidget* menu, uint32_t item, uint32_t flags) const;
    const Mail* CurrentMailData() const;
    void WriteIndex(const std::string& folderId) const;
    const Mail* FindMail(const std::string& mailId, std::string* canonical = nullptr) const;
    void ShowFolder(const std::string& folderId);
    void ShowMail();
    void ApplyUsability(QWidget* menu);
    void Dispatch(std::uint32_t id);
    void UpdateEditStates();
    // A menu item that runs Dispatch(id); AddItem also appends it.
    QAction* NewItem(QWidget* menu, std::uint32_t id, const QString& text);
    QAction* AddItem(QWidget* menu, std::uint32_t id, const QString& text);
    void OnContextMenu(int menuType, QWidget* from, const QPoint& pos);

    std::string dataFolder_;
    std::map<std::string, Folder> folders_;
    std::string currentMail_;
    std::optional<std::string> selection_;
    std::string pendingFolder_;
    std::vector<std::string> received_; // .eml files received so far

    void* library_ = nullptr;
    TPluginCallbacks plugin_;
    std::map<std::uint32_t, Command> commands_;
    std::uint32_t nextCommand_ = 40001;

    QPointer<QMainWindow> window_;
    QTreeWidget* mailList_ = nullptr;
    QListWidget* folderList_ = nullptr;
    QPlainTextEdit* view_ = nullptr;
    std::map<int, QPointer<QMenu>> contextMenus_;
    std::map<BK_MENU, QPointer<QWidget>> menus_;
    std::map<std::string, std::string> returned_;
    std::vector<QPointer<QPlainTextEdit>> composeWindows_;
    bool selectingForPlugin_ = false;
};
