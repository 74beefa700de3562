// The shell namespace as the shell controls and dialogs reach it: the shell allocator,
// item-ID lists, binding and parsing, special folders, display names, icons, shortcuts,
// positional message texts and the network-drive query.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Sets.h"
#include "platform/SysUtils.h"

// A failed OLE or shell call: the message is the system's text for the HRESULT.
class EOleSysError : public Exception {
 public:
  explicit EOleSysError(HRESULT code);
  HRESULT ErrorCode() const { return code_; }

 private:
  HRESULT code_;
};
// Raises EOleSysError when the code is a failure (sign bit set); returns it otherwise.
HRESULT OleCheck(HRESULT code);

// The display-name flags the controls ask the shell for.
enum TShellNameKind : std::uint16_t {
  snkNormal = SHGDN_NORMAL,
  snkInFolder = SHGDN_INFOLDER,
  snkForParsing = SHGDN_FORPARSING,
  snkForEditing = SHGDN_INFOLDER | SHGDN_FOREDITING,
};

// The value that stands for "no special folder" (no CSIDL is 50).
constexpr int kNoSpecialFolder = 50;

// ---- Start-up values ------------------------------------------------------------------------

// The module's start-up step: OLE on the GUI thread (for the controls' drag and drop and the
// shell's extensions), the system version, the shell allocator and the common controls'
// version, read once (every function here runs the last three on first use). The shut-down
// step runs when the program ends.
void StartShellModule();

// The system reports a Windows NT platform.
bool IsWinNTPlatform();
// The file version of the file's version resource (most significant half first); false when
// the file has none or it cannot be read.
bool GetFileVersion(const std::string& fileName, std::uint64_t& version);
// The version of comctl32.dll read at start-up (0 when it has none).
std::uint64_t CommonControlsVersion();

// ---- Shell allocator and item-ID lists ----------------------------------------------------

void* ShellMemAlloc(std::size_t size);
// Frees a block of the shell allocator; nullptr is ignored.
void ShellMemFree(void* block);
// The shell's allocator (not referenced for the caller).
IMalloc* ShellMalloc();

// Frees an item-ID list of the shell allocator when the owner goes.
struct TShellMemDeleter {
  void operator()(void* block) const { ShellMemFree(block); }
};
using TIdListPtr = std::unique_ptr<ITEMIDLIST, TShellMemDeleter>;

// Bytes of the list including its terminator; 0 for nullptr. Only for lists this program
// made or the shell handed out: foreign bytes go through IdListValidSize.
UINT IdListSize(LPCITEMIDLIST list);
// The size IdListSize would give, when a whole list with its terminator lies within the
// first `available` bytes and every item is at least 2 bytes; 0 otherwise.
std::size_t IdListValidSize(const void* bytes, std::size_t available);
// The desktop as a list: just the terminator. Never freed.
LPCITEMIDLIST EmptyIdList();
// True for nullptr and for the empty list.
bool IsEmptyIdList(LPCITEMIDLIST list);

// A new list of A's items followed by B's, from `malloc` (the shell allocator when nullptr);
// nullptr when the allocation fails. Either list may be nullptr.
LPITEMIDLIST ConcatIdLists(IMalloc* malloc, LPCITEMIDLIST a, LPCITEMIDLIST b);
LPITEMIDLIST CopyIdList(IMalloc* malloc, LPCITEMIDLIST list);
// 0 when both designate the same item: both nullptr, both empty, or the desktop's
// comparison says so; -1 when exactly one is nullptr or exactly one is empty; otherwise the
// comparison's low 16 bits as a signed number. 2147483647 when it cannot be compared.
int CompareIdLists(LPCITEMIDLIST a, LPCITEMIDLIST b);

// ---- Folders, paths and special folders ---------------------------------------------------

// The folder of an absolute list; nullptr or the empty list gives the desktop folder itself.
HRESULT ShellGetFolderFromIdList(LPCITEMIDLIST list, IShellFolder** folder);
// The absolute list of a path parsed by the desktop folder. A path of MAX_PATH characters or
// more is refused (the shell would read a shorter path that names another item).
HRESULT ShellGetIdListFromPath(const std::string& path, LPITEMIDLIST* list);
// The file-system path of the list (nullptr counts as the desktop); empty when it has none.
std::string ShellGetPathFromIdList(LPCITEMIDLIST list);
// The list of a special folder (CSIDL, masked to its low 7 bits).
HRESULT ShellGetSpecialFolderIdList(HWND owner, int folder, LPITEMIDLIST* list);
std::string ShellGetSpecialFolderPath(HWND owner, int folder);
// The special folder (0..49) whose list equals `list`; kNoSpecialFolder when none does.
int ShellFindSpecialFolder(LPCITEMIDLIST list);

// ---- Names and icons ----------------------------------------------------------------------

// The name of `item` in `folder` (the desktop when nullptr); empty when the shell gives none.
std::string ShellGetDisplayName(IShellFolder* folder, LPCITEMIDLIST item, TShellNameKind kind);
// The in-folder name of an absolute list's last item. Raises EOleSysError when its parent
// folder cannot be bound.
std::string ShellGetFriendlyName(LPCITEMIDLIST list);
// SHGetFileInfoA of the list (nullptr counts as the desktop) with `flags` (SHGFI_PIDL added);
// false when the shell fails.
bool ShellGetFileInfo(LPCITEMIDLIST list, UINT flags, SHFILEINFOA& info);
// The index in the system image list of the list's icon (`flags` adds SHGFI_ flags such as
// SHGFI_SMALLICON or SHGFI_OPENICON); 0 when the shell fails.
int ShellGetIconIndex(LPCITEMIDLIST list, UINT flags);
// The same for a special folder; raises EOleSysError when the folder has no list.
int ShellGetSpecialFolderIconIndex(int folder, UINT flags);
// The system image list: 0 the small icons, 1 the large. The shell owns it and shares it with
// every program: it is used as it is, never added to.
HIMAGELIST ShellGetSystemImageList(int size);
// The overlay an item with these attributes wears in the system image list (as the image lists
// count overlays, from 0): the shell's own share hand, else its shortcut arrow; -1 when the item
// needs none or the shell has none to give.
int ShellOverlayIndex(SFGAOF attributes);

// A name handed back by the shell as text; kind STRRET_OFFSET reads inside `item`, bounded by
// its first item. StrRetFree frees what the shell allocated.
std::string StrRetToString(LPCITEMIDLIST item, const STRRET& name);
void StrRetFree(STRRET& name);

// ---- Shortcuts ----------------------------------------------------------------------------

enum TLinkDataValid {
  ldvPath,
  ldvDescription,
  ldvArguments,
  ldvIconLocation,
  ldvWorkingDirectory,
  ldvShowCommandAndHotKey,
};
using TLinkDataValidSet = TSet<TLinkDataValid>;

// What ReadShellLink reads from a shortcut file. IdList is owned by the record.
struct TLinkData {
  std::string Path;
  TLinkDataValidSet Valid;
  std::string Description;
  std::string Arguments;
  std::string IconLocation;
  int IconIndex = 0;
  std::string WorkingDirectory;
  int ShowCommand = 0;
  WORD HotKey = 0;
  // 0: resolve without a window; 1: resolve with no user interface while messages run.
  std::uint8_t ResolveMode = 0;
  TIdListPtr IdList;
  WIN32_FIND_DATAA FindData{};
};
// Loads and resolves the shortcut, then reads its fields in the record's order; with
// `wantIdList` the target's list too (else IdList is nullptr). The first failing step ends
// the reading and its code is returned.
HRESULT ReadShellLink(const std::string& fileName, TLinkData& data, bool wantIdList);

// ---- Drives -------------------------------------------------------------------------------

// Has the shell check the drives folder again, unless suspended; raises EOleSysError when
// the drives folder cannot be had.
void RevalidateDrivesFolder();
void SuspendDrivesRevalidation();
void ResumeDrivesRevalidation();
// Whether the network drive of the letter is connected; true when the network API is
// missing.
bool IsNetDriveConnected(char driveLetter);

// ---- Text ---------------------------------------------------------------------------------

// The format with "%1" ... "%99" replaced by the strings in order; a number beyond the
// strings given becomes empty text. Raises Exception for more than 50 strings.
std::string FormatStrPos(const std::string& format, const std::vector<std::string>& strings);
// Appends `c` unless the text is empty or already ends with it (a double-byte character's
// trail byte never counts as `c`).
std::string AppendCharIfMissing(const std::string& s, char c, UINT codePage = CP_ACP);
// Removes the final run of blanks and control characters; a double-byte character ends it.
std::string TrimTrailingBlanks(const std::string& s, UINT codePage = CP_ACP);
// Appends the character at the 1-based `position` of `text` (both bytes of a double-byte
// character) to `target` and moves `position` past it. A lead byte at the end is taken alone.
void AppendCharAt(int& position, const std::string& text, std::string& target,
                  UINT codePage = CP_ACP);

