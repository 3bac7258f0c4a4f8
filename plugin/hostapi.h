/* The interface between Kalvero.so and the mail client that loads it.
 *
 * The host exports the BKA_ functions and the small menu layer (BKM_) below
 * with C linkage from its executable; the plug-in looks them up by name in the
 * loading process and calls them on the host's user-interface thread. The
 * plug-in exports the fifteen BKC_ callbacks, which the host calls on the same
 * thread, one at a time.
 *
 * Handles are pointer-sized values whose meaning belongs to the host; 0 is
 * none. Strings are NUL-terminated Shift_JIS in both directions. A string the
 * host returns is owned by the host and stays valid until the next call of the
 * same function; the plug-in copies it at once. Folder identifiers and paths
 * use "/" as separator and end in one. A mail identifier is the identifier of
 * its folder, "?" and the mail's key in that folder.
 */
#ifndef KALVERO_PLUGIN_HOSTAPI_H
#define KALVERO_PLUGIN_HOSTAPI_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define BK_EXPORT __attribute__((visibility("default")))

typedef uintptr_t BK_WINDOW; /* a window of the host */
typedef uintptr_t BK_MENU; /* a menu or pull-down of the host */

/* Command callback and usability callback of a registered command. Both get
 * the window the command came from and a parameter. A usability callback
 * answers BK_CMDUI_ENABLED or BK_CMDUI_DISABLED. */
typedef int32_t (*BK_COMMAND_CALLBACK)(BK_WINDOW window, intptr_t param);
typedef int32_t (*BK_UI_CALLBACK)(BK_WINDOW window, intptr_t param);
#define BK_CMDUI_ENABLED 0
#define BK_CMDUI_DISABLED 1

/* Menu types of BKC_OnMenuInit: the main menu and the context menus of the
 * mail list and of the mail view. The host may build others. */
#define BK_MENU_MAIN 0
#define BK_MENU_LIST 1
#define BK_MENU_TREE 2
#define BK_MENU_VIEW 3

/* Command identifiers of the host's own menu items. */
#define BK_ID_COPY 57634 /* copy the selected text to the clipboard */
#define BK_ID_REPLY 10505 /* answer the current mail */
#define BK_ID_PROPERTIES 32935 /* the last group of a context menu */

/* ---- Host functions (exported by the host) */

/* The main window, the folder tree, the mail list and the mail view. Any
 * pointer may be null. */
BK_EXPORT void BKA_GetWindowHandles(BK_WINDOW* main, BK_WINDOW* tree, BK_WINDOW* list,
                                    BK_WINDOW* view);
/* Registers a command for a menu of the given type; returns its identifier,
 * which the plug-in uses as menu item identifier (0: refused). Registering the
 * same name for the same type again returns the same identifier. */
BK_EXPORT int32_t BKA_RegisterCommand(const char* name, int32_t menuType,
                                      BK_COMMAND_CALLBACK callback);
/* The host asks callback whether the command is usable before it shows it. */
BK_EXPORT void BKA_RegisterUICallback(int32_t commandId, BK_UI_CALLBACK callback);
/* The host's data folder, ending in "/". */
BK_EXPORT const char* BKA_GetDataFolder(void);
/* The current mailbox relative to the data folder, ending in "/"; also a
 * folder identifier. Empty when there is none. */
BK_EXPORT const char* BKA_GetCurrentMailBox(void);
/* Shows the folder. */
BK_EXPORT void BKA_SetCurrentFolder(const char* folderId);
/* The folder's name as the host shows it; empty for an unknown folder. */
BK_EXPORT const char* BKA_GetFolderDisplayName(const char* folderId);
/* The current mail's identifier; empty or null when there is none. */
BK_EXPORT const char* BKA_GetCurrentMail(void);
/* Selects a mail; the identifier may differ in letter case from the host's.
 * An unknown mail leaves the selection as it was. */
BK_EXPORT void BKA_SetCurrentMail(const char* mailId);
/* The mail's whole source (CR LF lines); null when there is none. */
BK_EXPORT const char* BKA_GetSource(const char* mailId);
/* Converts ISO-2022-JP to Shift_JIS (direction 0) or back (any other). */
BK_EXPORT const char* BKA_ISO_2022_JP(const char* text, int32_t direction);
/* Writes the current mail's header value, NUL-terminated, into buffer of
 * size bytes; returns its length (0 when there is none). */
BK_EXPORT int32_t BKA_GetSpecifiedHeader(const char* header, char* buffer, int32_t size);
/* Opens a compose window for a "mailto:" URL (empty: no recipient) and
 * returns it (0: none opened). */
BK_EXPORT BK_WINDOW BKA_ComposeMail(const char* url);
/* Sets a header, or the text, of a compose window; 0 on success. */
BK_EXPORT int32_t BKA_CompSetSpecifiedHeader(BK_WINDOW compose, const char* header,
                                             const char* value);
BK_EXPORT int32_t BKA_CompSetText(BK_WINDOW compose, int32_t mode, const char* text);

/* ---- Menu layer (exported by the host) */

#define BKM_STRING 0x0000
#define BKM_GRAYED 0x0001
#define BKM_DISABLED 0x0002
#define BKM_POPUP 0x0010
#define BKM_BYPOSITION 0x0400
#define BKM_SEPARATOR 0x0800
/* Messages a window of the host understands. */
#define BKM_WM_COMMAND 0x0111 /* wparam: a command identifier */
#define BKM_WM_INITMENUPOPUP 0x0117 /* wparam: a pull-down; item states follow */
/* GetMenuItemID and GetMenuState for a position or menu that does not exist. */
#define BKM_NONE 0xFFFFFFFFu

/* The menu bar of a window (0 when it has none). */
BK_EXPORT BK_MENU BKM_GetMenu(BK_WINDOW window);
/* The pull-down at a position of a menu (0 when there is none). */
BK_EXPORT BK_MENU BKM_GetSubMenu(BK_MENU menu, int32_t position);
/* Number of items; -1 for an unknown menu. */
BK_EXPORT int32_t BKM_GetMenuItemCount(BK_MENU menu);
/* Identifier of the item at position: 0 for a separator, BKM_NONE for a
 * pull-down or a position out of range. */
BK_EXPORT uint32_t BKM_GetMenuItemID(BK_MENU menu, int32_t position);
/* State of an item found by position (flags BKM_BYPOSITION) or by
 * identifier: BKM_GRAYED, BKM_SEPARATOR and BKM_POPUP bits; BKM_NONE when
 * there is no such item. */
BK_EXPORT uint32_t BKM_GetMenuState(BK_MENU menu, uint32_t item, uint32_t flags);
/* Inserts an item before position (flags BKM_BYPOSITION; a position past
 * the end appends) or appends it; flags BKM_SEPARATOR makes a separator and
 * ignores id and text. Nonzero on success. */
BK_EXPORT int32_t BKM_InsertMenu(BK_MENU menu, uint32_t position, uint32_t flags, uintptr_t id,
                                 const char* text);
BK_EXPORT int32_t BKM_AppendMenu(BK_MENU menu, uint32_t flags, uintptr_t id, const char* text);
/* Sends a message to a window of the host and returns when it was handled. */
BK_EXPORT intptr_t BKM_SendMessage(BK_WINDOW window, uint32_t message, uintptr_t wparam,
                                   intptr_t lparam);

/* ---- Plug-in callbacks (exported by the plug-in) */

/* The plug-in's information block, filled by BKC_OnPlugInInfo: each field
 * NUL-terminated. */
#define BK_INFO_FIELD 80
typedef struct BK_PLUGININFO
{
    char Name[BK_INFO_FIELD];
    char Vendor[BK_INFO_FIELD];
    char Version[BK_INFO_FIELD];
    char Description[BK_INFO_FIELD];
} BK_PLUGININFO;

/* Drop effects of BKC_OnDragDrop. */
#define BK_DROP_COPY 1
#define BK_DROP_MOVE 2

BK_EXPORT int32_t BKC_OnStart(void);
BK_EXPORT int32_t BKC_OnExit(void);
BK_EXPORT int32_t BKC_OnMenuInit(BK_WINDOW window, BK_MENU menu, int32_t menuType);
BK_EXPORT int32_t BKC_OnOpenFolder(const char* folderId);
BK_EXPORT int32_t BKC_OnOpenMail(const char* mailId);
BK_EXPORT int32_t BKC_OnEveryMinute(void);
BK_EXPORT int32_t BKC_OnOpenCompose(BK_WINDOW compose, int32_t mode);
BK_EXPORT int32_t BKC_OnOutgoing(BK_WINDOW compose, int32_t mode);
BK_EXPORT int32_t BKC_OnKeyDispatch(BK_WINDOW window, int32_t key, int32_t shift);
/* A mail was received: its source as received and its identifier. */
BK_EXPORT int32_t BKC_OnRetrieve(const char* message, const char* mailId);
BK_EXPORT int32_t BKC_OnSend(const char* message);
BK_EXPORT int32_t BKC_OnFinishRetrieve(int32_t count);
/* Answers 1: the plug-in has a setup dialog. */
BK_EXPORT int32_t BKC_OnPlugInSetup(BK_WINDOW window);
BK_EXPORT int32_t BKC_OnPlugInInfo(BK_PLUGININFO* info);
/* Mails were dropped onto target: sources holds count mail identifiers, one
 * per line (LF). */
BK_EXPORT int32_t BKC_OnDragDrop(const char* target, const char* sources, int32_t count,
                                 int32_t dropEffect);

#ifdef __cplusplus
}
#endif

#endif
