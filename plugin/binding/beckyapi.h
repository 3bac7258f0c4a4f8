#pragma once

// TBeckyAPI: the mail client's functions (plugin/hostapi.h), bound by name
// once when the plug-in is loaded, and the few host operations the
// scheduler needs on top of them: the current mail and its source, a header
// of it, the current mailbox's folder and its refresh, and selecting a linked
// mail again, following it through the host's folder index "folder.idx" when
// the host renumbered it.
//
// Every wrapper is safe against a function the host does not export: it
// does nothing and gives an empty text (or 0). Texts the host returns are
// copied at once; no pointer into host memory is kept.

#include "plugin/hostapi.h"

#include <array>
#include <cstddef>
#include <functional>
#include <string>

class TBeckyAPI
{
public:
    // The names bound, in binding order: the host functions, then the menu
    // layer. Only those with a wrapper below are ever called.
    enum class Fn : int {
        GetVersion,
        Command,
        GetWindowHandles,
        RegisterCommand,
        RegisterUICallback,
        GetDataFolder,
        GetTempFolder,
        GetTempFileName,
        GetCurrentMailBox,
        SetCurrentMailBox,
        GetCurrentFolder,
        SetCurrentFolder,
        GetFolderDisplayName,
        SetMessageText,
        GetCurrentMail,
        SetCurrentMail,
        GetNextMail,
        SetSel,
        AppendMessage,
        MoveSelectedMessages,
        GetStatus,
        ComposeMail,
        GetCharSet,
        GetSource,
        SetSource,
        GetHeader,
        GetText,
        SetText,
        GetSpecifiedHeader,
        SetSpecifiedHeader,
        CompGetCharSet,
        CompGetSource,
        CompSetSource,
        CompGetHeader,
        CompGetSpecifiedHeader,
        CompSetSpecifiedHeader,
        CompGetText,
        CompSetText,
        CompAttachFile,
        Alloc,
        ReAlloc,
        Free,
        ISO_2022_JP,
        ISO_2022_KR,
        HZ_GB2312,
        ISO_8859_2,
        EUC_JP,
        UTF_7,
        UTF_8,
        B64Convert,
        QPConvert,
        MIMEHeader,
        SerializeRcpts,
        Connect,
        MenuGetMenu,
        MenuGetSubMenu,
        MenuGetItemCount,
        MenuGetItemID,
        MenuGetState,
        MenuInsert,
        MenuAppend,
        MenuSendMessage,
        Count
    };
    static constexpr std::size_t kFunctionCount = static_cast<std::size_t>(Fn::Count);
    // The exported name of a function ("BKA_GetDataFolder").
    static const char* Name(Fn fn);

    // Finds an exported function by name; nullptr when there is none.
    using Lookup = std::function<void*(const char* name)>;

    // Binds through lookup; the default looks in the loading process.
    explicit TBeckyAPI(Lookup lookup = {});
    TBeckyAPI(const TBeckyAPI&) = delete;
    TBeckyAPI& operator=(const TBeckyAPI&) = delete;

    // Looks up every name once. False when already bound or when there is
    // no lookup; a name the host lacks leaves its entry empty.
    bool BindHostFunctions();
    bool Has(Fn fn) const { return entries_[static_cast<std::size_t>(fn)] != nullptr; }

    // The current mail's source in Shift_JIS as last read by
    // GetCurrentMailSource.
    std::string Source;
    // The current mail's identifier as last read.
    std::string MailID;

    // --- Host operations
    // Reads the current mail: its identifier (empty when there is none, or
    // when the host has no source for it), with Source filled.
    std::string GetCurrentMailSource();
    // A header of the current mail from the host's 2048-byte buffer.
    std::string GetSpecifiedHeader(const std::string& name);
    // The current mailbox's folder path, ending in "/"; empty when the host
    // has no current mailbox or no data folder.
    std::string GetMailBoxFolder();
    // Makes the host show the current mailbox afresh; nothing without one.
    void RefreshMailBox();
    // Selects a linked mail: by its identifier, else by its link key in the
    // index of folder (the folder it was moved to). Returns the identifier
    // the host selected, empty when none. An index that cannot be read
    // counts as not found.
    std::string SelectMail(const std::string& mailId, const std::string& folder,
                           const std::string& mailKey);

    // --- The host functions, null-safe
    BK_WINDOW MainWindow();
    std::int32_t RegisterCommand(const std::string& name, std::int32_t menuType,
                                 BK_COMMAND_CALLBACK callback);
    void RegisterUICallback(std::int32_t commandId, BK_UI_CALLBACK callback);
    // Ending in "/" (empty when the host gives none).
    std::string DataFolder();
    std::string CurrentMailBox();
    void SetCurrentFolder(const std::string& folderId);
    std::string FolderDisplayName(const std::string& folderId);
    std::string CurrentMail();
    void SetCurrentMail(const std::string& mailId);
    // False when the host has no source for the mail.
    bool MailSource(const std::string& mailId, std::string& source);
    std::string ISO2022JPToSJIS(const std::string& text);
    BK_WINDOW ComposeMail(const std::string& url);
    void CompSetSpecifiedHeader(BK_WINDOW compose, const std::string& header,
                                const std::string& value);
    void CompSetText(BK_WINDOW compose, const std::string& text);

    // --- The host's menus
    BK_MENU GetMenu(BK_WINDOW window);
    BK_MENU GetSubMenu(BK_MENU menu, int position);
    // Items a menu is taken to have: a host may answer any count, and the
    // callers walk every item, so a longer menu counts as its first ones.
    static constexpr int kMaxMenuItems = 4096;
    // 0 for an unknown menu; at most kMaxMenuItems.
    int MenuItemCount(BK_MENU menu);
    std::uint32_t MenuItemID(BK_MENU menu, int position);
    // BKM_ state bits of the item at position; BKM_NONE when none.
    std::uint32_t MenuItemState(BK_MENU menu, int position);
    void InsertMenuItem(BK_MENU menu, int position, std::uint32_t id, const std::string& text);
    void InsertMenuSeparator(BK_MENU menu, int position);
    void AppendMenuItem(BK_MENU menu, std::uint32_t id, const std::string& text);
    void AppendMenuSeparator(BK_MENU menu);
    void SendCommand(BK_WINDOW window, std::uint32_t commandId);
    void SendInitMenuPopup(BK_WINDOW window, BK_MENU popup);

private:
    template<typename F> F Function(Fn fn) const
    {
        return reinterpret_cast<F>(entries_[static_cast<std::size_t>(fn)]);
    }

    Lookup lookup_;
    bool bound_ = false;
    std::array<void*, kFunctionCount> entries_ {};
};

// A text the host passed or returned; empty for a null pointer.
std::string FromHostText(const char* text);

// Text of a buffer the host filled: at most size - 1 bytes up to the first
// NUL, without a lead byte whose trail byte was cut off.
std::string FromHostBuffer(const char* buffer, std::size_t size);
