#include "plugin/binding/beckyapi.h"

#include "core/files.h"
#include "core/sjis.h"
#include "platform/hostsymbols.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr const char* kNames[] = {
    "BKA_GetVersion",
    "BKA_Command",
    "BKA_GetWindowHandles",
    "BKA_RegisterCommand",
    "BKA_RegisterUICallback",
    "BKA_GetDataFolder",
    "BKA_GetTempFolder",
    "BKA_GetTempFileName",
    "BKA_GetCurrentMailBox",
    "BKA_SetCurrentMailBox",
    "BKA_GetCurrentFolder",
    "BKA_SetCurrentFolder",
    "BKA_GetFolderDisplayName",
    "BKA_SetMessageText",
    "BKA_GetCurrentMail",
    "BKA_SetCurrentMail",
    "BKA_GetNextMail",
    "BKA_SetSel",
    "BKA_AppendMessage",
    "BKA_MoveSelectedMessages",
    "BKA_GetStatus",
    "BKA_ComposeMail",
    "BKA_GetCharSet",
    "BKA_GetSource",
    "BKA_SetSource",
    "BKA_GetHeader",
    "BKA_GetText",
    "BKA_SetText",
    "BKA_GetSpecifiedHeader",
    "BKA_SetSpecifiedHeader",
    "BKA_CompGetCharSet",
    "BKA_CompGetSource",
    "BKA_CompSetSource",
    "BKA_CompGetHeader",
    "BKA_CompGetSpecifiedHeader",
    "BKA_CompSetSpecifiedHeader",
    "BKA_CompGetText",
    "BKA_CompSetText",
    "BKA_CompAttachFile",
    "BKA_Alloc",
    "BKA_ReAlloc",
    "BKA_Free",
    "BKA_ISO_2022_JP",
    "BKA_ISO_2022_KR",
    "BKA_HZ_GB2312",
    "BKA_ISO_8859_2",
    "BKA_EUC_JP",
    "BKA_UTF_7",
    "BKA_UTF_8",
    "BKA_B64Convert",
    "BKA_QPConvert",
    "BKA_MIMEHeader",
    "BKA_SerializeRcpts",
    "BKA_Connect",
    "BKM_GetMenu",
    "BKM_GetSubMenu",
    "BKM_GetMenuItemCount",
    "BKM_GetMenuItemID",
    "BKM_GetMenuState",
    "BKM_InsertMenu",
    "BKM_AppendMenu",
    "BKM_SendMessage",
};
static_assert(std::size(kNames) == TBeckyAPI::kFunctionCount);

// The host's index holds one mail per line, its fields separated by this byte.
constexpr char kIndexSeparator = '\x01';
constexpr std::size_t kIndexFields = 17;
constexpr std::size_t kIndexKey = 1;
constexpr std::size_t kIndexMessageId = 6;
constexpr std::size_t kIndexDate = 8;
// Longest date part of a link key that is compared.
constexpr std::size_t kDatePartLimit = 255;
// The buffer the host writes a header into.
constexpr std::size_t kHeaderBuffer = 2048;

std::string WithSlash(std::string folder)
{
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

std::vector<std::string> IndexFields(const std::string& line)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (start <= line.size()) {
        const std::size_t sep = line.find(kIndexSeparator, start);
        if (sep == std::string::npos) {
            // A separator at the very end opens no further field.
            if (start < line.size() || fields.empty())
                fields.push_back(line.substr(start));
            break;
        }
        fields.push_back(line.substr(start, sep - start));
        start = sep + 1;
    }
    return fields;
}

} // namespace

std::string FromHostText(const char* text)
{
    return text ? std::string(text) : std::string();
}

std::string FromHostBuffer(const char* buffer, std::size_t size)
{
    if (!buffer || size == 0)
        return {};
    std::string text(buffer, ::strnlen(buffer, size - 1));
    if (!text.empty() && sjis::IsLeadByte(static_cast<unsigned char>(text.back())) &&
        sjis::IsCharStart(text, text.size() - 1))
        text.pop_back();
    return text;
}

const char* TBeckyAPI::Name(Fn fn)
{
    const auto index = static_cast<std::size_t>(fn);
    return index < kFunctionCount ? kNames[index] : "";
}

TBeckyAPI::TBeckyAPI(Lookup lookup)
    : lookup_(lookup ? std::move(lookup) : Lookup(&hostsymbols::FindInProcess))
{
    BindHostFunctions();
}

bool TBeckyAPI::BindHostFunctions()
{
    if (bound_ || !lookup_)
        return false;
    for (std::size_t i = 0; i < kFunctionCount; ++i)
        entries_[i] = lookup_(kNames[i]);
    bound_ = true;
    return true;
}

// ---------------------------------------------------------------------------
// Host operations

std::string TBeckyAPI::GetCurrentMailSource()
{
    Source.clear();
    MailID = CurrentMail();
    if (MailID.empty())
        return {};
    std::string raw;
    if (!MailSource(MailID, raw)) {
        MailID.clear();
        return {};
    }
    Source = ISO2022JPToSJIS(raw);
    return MailID;
}

std::string TBeckyAPI::GetSpecifiedHeader(const std::string& name)
{
    auto fn = Function<decltype(&BKA_GetSpecifiedHeader)>(Fn::GetSpecifiedHeader);
    if (!fn)
        return {};
    char buffer[kHeaderBuffer] = {};
    fn(name.c_str(), buffer, static_cast<std::int32_t>(sizeof buffer));
    return FromHostBuffer(buffer, sizeof buffer);
}

std::string TBeckyAPI::GetMailBoxFolder()
{
    const std::string mailbox = CurrentMailBox();
    const std::string data = DataFolder();
    if (mailbox.empty() || data.empty())
        return {};
    return data + WithSlash(mailbox);
}

void TBeckyAPI::RefreshMailBox()
{
    const std::string mailbox = WithSlash(CurrentMailBox());
    if (mailbox.empty())
        return;
    SetCurrentFolder(mailbox + "!!!!Outbox/");
    SetCurrentFolder(mailbox);
}

std::string TBeckyAPI::SelectMail(const std::string& mailId, const std::string& folder,
                                  const std::string& mailKey)
{
    SetCurrentMail(mailId);
    std::string result = CurrentMail();
    if (!result.empty() && sjis::EqualsNoCase(result, mailId))
        return result;
    result.clear();
    const std::string data = DataFolder();
    if (folder.empty() || mailKey.empty() || data.empty())
        return {};

    const std::size_t comma = mailKey.find(',');
    const std::string messageId = mailKey.substr(0, comma);
    const std::string datePart =
        comma == std::string::npos ? std::string() : mailKey.substr(comma + 1, kDatePartLimit);
    const std::string folderId = WithSlash(folder);
    std::string index;
    if (!files::ReadAll(data + folderId + "folder.idx", index))
        return {};
    for (const std::string& line : sjis::SplitLines(index)) {
        const std::vector<std::string> fields = IndexFields(line);
        if (fields.size() != kIndexFields || fields[kIndexMessageId] != messageId)
            continue;
        if (!datePart.empty() && !sjis::EqualsNoCase(fields[kIndexDate], datePart))
            continue;
        // Only the first match is tried.
        result = folderId + "?" + sjis::UpperAscii(fields[kIndexKey]);
        SetCurrentMail(result);
        if (!sjis::EqualsNoCase(CurrentMail(), result))
            result.clear();
        return result;
    }
    return {};
}

// ---------------------------------------------------------------------------
// Host functions

BK_WINDOW TBeckyAPI::MainWindow()
{
    auto fn = Function<decltype(&BKA_GetWindowHandles)>(Fn::GetWindowHandles);
    BK_WINDOW main = 0;
    BK_WINDOW tree = 0;
    BK_WINDOW list = 0;
    BK_WINDOW view = 0;
    if (fn)
        fn(&main, &tree, &list, &view);
    return main;
}

std::int32_t TBeckyAPI::RegisterCommand(const std::string& name, std::int32_t menuType,
                                        BK_COMMAND_CALLBACK callback)
{
    auto fn = Function<decltype(&BKA_RegisterCommand)>(Fn::RegisterCommand);
    return fn ? fn(name.c_str(), menuType, callback) : 0;
}

void TBeckyAPI::RegisterUICallback(std::int32_t commandId, BK_UI_CALLBACK callback)
{
    if (auto fn = Function<decltype(&BKA_RegisterUICallback)>(Fn::RegisterUICallback))
        fn(commandId, callback);
}

std::string TBeckyAPI::DataFolder()
{
    auto fn = Function<decltype(&BKA_GetDataFolder)>(Fn::GetDataFolder);
    return fn ? WithSlash(FromHostText(fn())) : std::string();
}

std::string TBeckyAPI::CurrentMailBox()
{
    auto fn = Function<decltype(&BKA_GetCurrentMailBox)>(Fn::GetCurrentMailBox);
    return fn ? FromHostText(fn()) : std::string();
}

void TBeckyAPI::SetCurrentFolder(const std::string& folderId)
{
    if (auto fn = Function<decltype(&BKA_SetCurrentFolder)>(Fn::SetCurrentFolder))
        fn(folderId.c_str());
}

std::string TBeckyAPI::FolderDisplayName(const std::string& folderId)
{
    auto fn = Function<decltype(&BKA_GetFolderDisplayName)>(Fn::GetFolderDisplayName);
    return fn ? FromHostText(fn(folderId.c_str())) : std::string();
}

std::string TBeckyAPI::CurrentMail()
{
    auto fn = Function<decltype(&BKA_GetCurrentMail)>(Fn::GetCurrentMail);
    return fn ? FromHostText(fn()) : std::string();
}

void TBeckyAPI::SetCurrentMail(const std::string& mailId)
{
    if (auto fn = Function<decltype(&BKA_SetCurrentMail)>(Fn::SetCurrentMail))
        fn(mailId.c_str());
}

bool TBeckyAPI::MailSource(const std::string& mailId, std::string& source)
{
    source.clear();
    auto fn = Function<decltype(&BKA_GetSource)>(Fn::GetSource);
    const char* text = fn ? fn(mailId.c_str()) : nullptr;
    if (!text)
        return false;
    source = text;
    return true;
}

std::string TBeckyAPI::ISO2022JPToSJIS(const std::string& text)
{
    auto fn = Function<decltype(&BKA_ISO_2022_JP)>(Fn::ISO_2022_JP);
    return fn ? FromHostText(fn(text.c_str(), 0)) : std::string();
}

BK_WINDOW TBeckyAPI::ComposeMail(const std::string& url)
{
    auto fn = Function<decltype(&BKA_ComposeMail)>(Fn::ComposeMail);
    return fn ? fn(url.c_str()) : 0;
}

void TBeckyAPI::CompSetSpecifiedHeader(BK_WINDOW compose, const std::string& header,
                                       const std::string& value)
{
    if (auto fn = Function<decltype(&BKA_CompSetSpecifiedHeader)>(Fn::CompSetSpecifiedHeader))
        fn(compose, header.c_str(), value.c_str());
}

void TBeckyAPI::CompSetText(BK_WINDOW compose, const std::string& text)
{
    if (auto fn = Function<decltype(&BKA_CompSetText)>(Fn::CompSetText))
        fn(compose, 0, text.c_str());
}

// ---------------------------------------------------------------------------
// Menus

BK_MENU TBeckyAPI::GetMenu(BK_WINDOW window)
{
    auto fn = Function<decltype(&BKM_GetMenu)>(Fn::MenuGetMenu);
    return fn ? fn(window) : 0;
}

BK_MENU TBeckyAPI::GetSubMenu(BK_MENU menu, int position)
{
    auto fn = Function<decltype(&BKM_GetSubMenu)>(Fn::MenuGetSubMenu);
    return fn ? fn(menu, position) : 0;
}

int TBeckyAPI::MenuItemCount(BK_MENU menu)
{
    auto fn = Function<decltype(&BKM_GetMenuItemCount)>(Fn::MenuGetItemCount);
    const int count = fn ? fn(menu) : 0;
    return std::clamp(count, 0, kMaxMenuItems);
}

std::uint32_t TBeckyAPI::MenuItemID(BK_MENU menu, int position)
{
    auto fn = Function<decltype(&BKM_GetMenuItemID)>(Fn::MenuGetItemID);
    return fn ? fn(menu, position) : BKM_NONE;
}

std::uint32_t TBeckyAPI::MenuItemState(BK_MENU menu, int position)
{
    auto fn = Function<decltype(&BKM_GetMenuState)>(Fn::MenuGetState);
    return fn ? fn(menu, static_cast<std::uint32_t>(position), BKM_BYPOSITION) : BKM_NONE;
}

void TBeckyAPI::InsertMenuItem(BK_MENU menu, int position, std::uint32_t id,
                               const std::string& text)
{
    if (auto fn = Function<decltype(&BKM_InsertMenu)>(Fn::MenuInsert))
        fn(menu, static_cast<std::uint32_t>(position), BKM_BYPOSITION | BKM_STRING, id,
           text.c_str());
}

void TBeckyAPI::InsertMenuSeparator(BK_MENU menu, int position)
{
    if (auto fn = Function<decltype(&BKM_InsertMenu)>(Fn::MenuInsert))
        fn(menu, static_cast<std::uint32_t>(position), BKM_BYPOSITION | BKM_SEPARATOR, 0, "");
}

void TBeckyAPI::AppendMenuItem(BK_MENU menu, std::uint32_t id, const std::string& text)
{
    if (auto fn = Function<decltype(&BKM_AppendMenu)>(Fn::MenuAppend))
        fn(menu, BKM_STRING, id, text.c_str());
}

void TBeckyAPI::AppendMenuSeparator(BK_MENU menu)
{
    if (auto fn = Function<decltype(&BKM_AppendMenu)>(Fn::MenuAppend))
        fn(menu, BKM_SEPARATOR, 0, "");
}

void TBeckyAPI::SendCommand(BK_WINDOW window, std::uint32_t commandId)
{
    if (auto fn = Function<decltype(&BKM_SendMessage)>(Fn::MenuSendMessage))
        fn(window, BKM_WM_COMMAND, commandId, 0);
}

void TBeckyAPI::SendInitMenuPopup(BK_WINDOW window, BK_MENU popup)
{
    if (auto fn = Function<decltype(&BKM_SendMessage)>(Fn::MenuSendMessage))
        fn(window, BKM_WM_INITMENUPOPUP, popup, 0);
}
