// The host functions of plugin/hostapi.h, exported from the test host's
// executable: each hands over to the host of the process (none: nothing).

#include "testhost.h"

namespace {

template<typename Result, typename Call> Result Ask(Result none, Call call)
{
    THost* host = THost::Instance();
    return host ? call(*host) : none;
}

} // namespace

extern "C" {

void BKA_GetWindowHandles(BK_WINDOW* main, BK_WINDOW* tree, BK_WINDOW* list, BK_WINDOW* view)
{
    if (THost* host = THost::Instance())
        host->GetWindowHandles(main, tree, list, view);
}

int32_t BKA_RegisterCommand(const char* name, int32_t menuType, BK_COMMAND_CALLBACK callback)
{
    return Ask(0, [&](THost& h) { return h.RegisterCommand(name, menuType, callback); });
}

void BKA_RegisterUICallback(int32_t commandId, BK_UI_CALLBACK callback)
{
    if (THost* host = THost::Instance())
        host->RegisterUICallback(commandId, callback);
}

const char* BKA_GetDataFolder(void)
{
    return Ask<const char*>(nullptr, [](THost& h) { return h.GetDataFolder(); });
}

const char* BKA_GetCurrentMailBox(void)
{
    return Ask<const char*>(nullptr, [](THost& h) { return h.GetCurrentMailBox(); });
}

void BKA_SetCurrentFolder(const char* folderId)
{
    if (THost* host = THost::Instance())
        host->SetCurrentFolder(folderId);
}

const char* BKA_GetFolderDisplayName(const char* folderId)
{
    return Ask<const char*>(nullptr, [&](THost& h) { return h.GetFolderDisplayName(folderId); });
}

const char* BKA_GetCurrentMail(void)
{
    return Ask<const char*>(nullptr, [](THost& h) { return h.GetCurrentMail(); });
}

void BKA_SetCurrentMail(const char* mailId)
{
    if (THost* host = THost::Instance())
        host->SetCurrentMail(mailId);
}

const char* BKA_GetSource(const char* mailId)
{
    return Ask<const char*>(nullptr, [&](THost& h) { return h.GetSource(mailId); });
}

const char* BKA_ISO_2022_JP(const char* text, int32_t direction)
{
    return Ask<const char*>(nullptr, [&](THost& h) { return h.ISO_2022_JP(text, direction); });
}

int32_t BKA_GetSpecifiedHeader(const char* header, char* buffer, int32_t size)
{
    return Ask(0, [&](THost& h) { return h.GetSpecifiedHeader(header, buffer, size); });
}

BK_WINDOW BKA_ComposeMail(const char* url)
{
    return Ask<BK_WINDOW>(0, [&](THost& h) { return h.ComposeMail(url); });
}

int32_t BKA_CompSetSpecifiedHeader(BK_WINDOW compose, const char* header, const char* value)
{
    return Ask(-1, [&](THost& h) { return h.CompSetSpecifiedHeader(compose, header, value); });
}

int32_t BKA_CompSetText(BK_WINDOW compose, int32_t mode, const char* text)
{
    return Ask(-1, [&](THost& h) { return h.CompSetText(compose, mode, text); });
}

BK_MENU BKM_GetMenu(BK_WINDOW window)
{
    return Ask<BK_MENU>(0, [&](THost& h) { return h.GetMenu(window); });
}

BK_MENU BKM_GetSubMenu(BK_MENU menu, int32_t position)
{
    return Ask<BK_MENU>(0, [&](THost& h) { return h.GetSubMenu(menu, position); });
}

int32_t BKM_GetMenuItemCount(BK_MENU menu)
{
    return Ask(-1, [&](THost& h) { return h.GetMenuItemCount(menu); });
}

uint32_t BKM_GetMenuItemID(BK_MENU menu, int32_t position)
{
    return Ask<uint32_t>(BKM_NONE, [&](THost& h) { return h.GetMenuItemID(menu, position); });
}

uint32_t BKM_GetMenuState(BK_MENU menu, uint32_t item, uint32_t flags)
{
    return Ask<uint32_t>(BKM_NONE, [&](THost& h) { return h.GetMenuState(menu, item, flags); });
}

int32_t BKM_InsertMenu(BK_MENU menu, uint32_t position, uint32_t flags, uintptr_t id,
                       const char* text)
{
    return Ask(0, [&](THost& h) { return h.InsertMenu(menu, position, flags, id, text); });
}

int32_t BKM_AppendMenu(BK_MENU menu, uint32_t flags, uintptr_t id, const char* text)
{
    return Ask(0, [&](THost& h) { return h.AppendMenu(menu, flags, id, text); });
}

intptr_t BKM_SendMessage(BK_WINDOW window, uint32_t message, uintptr_t wparam, intptr_t lparam)
{
    return Ask<intptr_t>(0,
                         [&](THost& h) { return h.SendMessage(window, message, wparam, lparam); });
}

} // extern "C"
