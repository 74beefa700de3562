// The shell's context menu of items (with the Send To submenu drawn here when the shell
// cannot draw it), new folders and their names, the shell controls' command keys, and a few
// window helpers they share.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/Controls.h"
#include "platform/Menus.h"

// The hint of the menu item under the pointer (empty when it has none).
using TFcShPopupHintEvent = std::function<void(TObject* sender, const std::string& hint)>;

// ---- Context menus ------------------------------------------------------------------------

// The shell's commands of a context menu start here; the lower ids are the menu's own.
constexpr UINT kFirstShellCommand = 1000;
// The shell's "rename" command in such a menu, which the shell controls carry out themselves.
constexpr UINT kRenameCommand = kFirstShellCommand + 18;
// The flags SetNameOf is given for a name typed into a shell control.
constexpr SHGDNF kRenameFlags = 0x20;

// The items' context menu from `folder`, filled into a new popup menu with command ids from
// `firstId`. A failure to get the menu returns its code; a failure to fill it raises
// EOleSysError (the menu and the popup then go). The caller releases the menu and destroys
// the popup.
HRESULT CreateShellContextMenu(HWND owner, IShellFolder* folder, UINT count, LPCITEMIDLIST* items,
                               UINT firstId, UINT flags, IContextMenu** menu, HMENU* popup);
// Invokes the command whose verb is `verb` (compared without regard to case). A verb the
// menu does not have invokes nothing: HRESULT_FROM_WIN32(ERROR_NOT_FOUND).
HRESULT InvokeShellCommand(IContextMenu* menu, HWND owner, const std::string& verb);
// Invokes the command at `offset` from the menu's first id.
HRESULT InvokeShellCommand(IContextMenu* menu, HWND owner, UINT offset);
// The offset of the menu's command whose verb is `verb`; -1 when it has none.
int FindVerbOffset(IContextMenu* menu, const std::string& verb);

// The Send To folder's files, listed in the Send To submenu when the shell's menu cannot
// draw it; sorted by name without regard to case.
struct TFcSendToEntry {
  std::string Name;
  int IconIndex = -1;  // in the system's small image list
};
using TFcSendToList = std::vector<TFcSendToEntry>;

// The menu messages of a shell context menu being shown. A menu that can draw itself
// (IContextMenu2) gets them; otherwise the Send To submenu (a single grayed placeholder) is
// filled from the Send To folder with owner-drawn items 1, 2, ... whose item data are the
// entries' indexes. Failures are swallowed: a menu that cannot be completed stays as it is.
void HandleInitMenuPopup(TWMInitMenuPopup& message, IContextMenu* menu, std::unique_ptr<TFcSendToList>& sendTo);
void HandleDrawItem(TWMDrawItem& message, IContextMenu* menu, HIMAGELIST smallImages, const TFcSendToList* sendTo);
void HandleMeasureItem(TWMMeasureItem& message, IContextMenu* menu, const TFcSendToList* sendTo);
void HandleMenuChar(TWMMenuChar& message, IContextMenu* menu, const TFcSendToList* sendTo);
// Hands `event` the help text of the shell command under the pointer, or an empty text.
void HandleMenuSelect(TWMMenuSelect& message, IContextMenu* menu, TObject* control,
                      const TFcShPopupHintEvent& event);

// ---- Window helpers -----------------------------------------------------------------------

// The window of the control's outermost parent when that is a form, else 0.
HWND GetTopFormHandle(TControl* control);
// Sleeps with the hourglass shown; the cursor before is put back.
void WaitWithHourglass(DWORD milliseconds);
// Sets or clears style bits of the window, writing only a changed style; nothing for 0.
void SetWindowStyleBits(HWND window, LONG_PTR bits, bool on);
// Raises EOSError with the system's text for the code.
[[noreturn]] void RaiseSystemError(DWORD code);
// Scrolls the control by the system's wheel setting: `pageCode` once when it scrolls by
// pages, else `lineCode` as many times as its line count (once when horizontal); only a bar
// whose range exceeds its page moves. Returns true.
bool WheelScroll(TWinControl* control, bool vertical, int lineCode, int pageCode);

// ---- New folders --------------------------------------------------------------------------

// Creates "New Folder", "New Folder (2)" ... "New Folder (50)" in `directory` (the current
// folder when empty), the first that does not exist, then "fldr", "fldr2" ... when all
// those exist. A failure other than an existing name shows a warning and ends its series;
// when no folder could be made a last warning names "New Folder". Never raises.
bool CreateNewFolder(const std::string& directory, std::string& name);

// ---- Command keys -------------------------------------------------------------------------

// The shell controls' key texts: "Ctrl+Shift+F5", "Del", "#255"... Their own rules, which
// differ from the menus' ShortCutToText.
std::string ShellShortCutToText(TShortCut shortCut);
// The shortcut of such a text (prefixes "Shift+", "Ctrl+" or "^", "Alt+" in any order);
// 0 when it names no key.
TShortCut ShellTextToShortCut(const std::string& text);

// The keys the shell tree and list act on, in this order.
enum TFcShellControlDefKey {
  dkSelectAll,
  dkDelete,
  dkCopy,
  dkCut,
  dkPaste,
  dkRefresh,
  dkRename,
};
struct TFcShellControlDefKeyRec {
  std::string KeyText;
  TShortCut ShortCut = 0;
};
// The table, its texts read from the string table and parsed on first use.
const std::array<TFcShellControlDefKeyRec, 7>& ShellControlDefKeys();
