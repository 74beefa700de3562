#include "shell/FcShellUtils.h"

#include <commctrl.h>
#include <lm.h>
#include <objbase.h>
#include <shobjidl.h>

#include <cstring>

#include "platform/Application.h"
#include "platform/Guards.h"
#include "resources/ResourceIds.h"
#include "shell/FcShellIntf.h"

namespace {


using TNetUseGetInfo = NET_API_STATUS(WINAPI*)(LMSTR server, LMSTR use, DWORD level, LPBYTE* buf);
using TNetApiBufferFree = NET_API_STATUS(WINAPI*)(LPVOID buffer);

enum TNetApiState { naUntried, naUnavailable, naLoaded };

// The module's process-wide values. Plain data, so that it stays readable after the
// shut-down step (controls freed later still free their lists).
struct TShellModule {
  bool started;
  bool shutDown;
  OSVERSIONINFOA version;
  IMalloc* malloc;
  std::uint64_t commonControlsVersion;
  int revalidationSuspended;
  TNetApiState netApiState;
  HMODULE netApi;
  TNetUseGetInfo netUseGetInfo;
  TNetApiBufferFree netApiBufferFree;
};
TShellModule module{};

void ShutDown() {
  if (module.shutDown) return;
  module.shutDown = true;
  FreeShellDeviceChangeHandler();
  if (module.netApi) FreeLibrary(module.netApi);
  module.netApi = nullptr;
  module.netUseGetInfo = nullptr;
  module.netApiBufferFree = nullptr;
  if (module.malloc) module.malloc->Release();
  module.malloc = nullptr;
}

// Runs the shut-down step when the program ends.
struct TShutDownAtExit {
  ~TShutDownAtExit() { ShutDown(); }
};

TShellModule& Module() {
  if (!module.started) {
    module.started = true;
    module.version.dwOSVersionInfoSize = sizeof module.version;
    GetVersionExA(&module.version);
    if (FAILED(SHGetMalloc(&module.malloc))) module.malloc = nullptr;
    if (!GetFileVersion("comctl32.dll", module.commonControlsVersion))
      module.commonControlsVersion = 0;
    static TShutDownAtExit shutDownAtExit;
  }
  return module;
}

// A wide copy limited to MAX_PATH - 1 characters: false when the text is longer, since the
// shell would read a shorter name that designates something else.
bool WidePath(const std::string& path, std::wstring& wide) {
  if (path.size() >= MAX_PATH) return false;
  wide = AnsiToWide(path);
  return wide.size() < MAX_PATH;
}

bool IsLeadByte(char c, UINT codePage) {
  return IsDBCSLeadByteEx(codePage, static_cast<BYTE>(c)) != FALSE;
}

// Each character's starting offset, a double-byte character counted once (a lead byte at
// the end stands alone).
template <class F>
void ForEachChar(const std::string& s, UINT codePage, F&& visit) {
  for (std::size_t i = 0; i < s.size();) {
    std::size_t len = (IsLeadByte(s[i], codePage) && i + 1 < s.size()) ? 2 : 1;
    visit(i, len);
    i += len;
  }
}

// The system's image list of SHGFI_SMALLICON or SHGFI_LARGEICON icons.
HIMAGELIST SystemImageList(UINT size) {
  SHFILEINFOA info{};
  return reinterpret_cast<HIMAGELIST>(
      SHGetFileInfoA("C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | size));
}

void LoadNetApi() {
  TShellModule& m = Module();
  if (m.netApiState != naUntried) return;
  m.netApiState = naUnavailable;
  HMODULE lib = LoadLibraryA("netapi32.dll");
  if (!lib) return;
  auto getInfo = reinterpret_cast<TNetUseGetInfo>(
      reinterpret_cast<void*>(GetProcAddress(lib, "NetUseGetInfo")));
  auto bufferFree = reinterpret_cast<TNetApiBufferFree>(
      reinterpret_cast<void*>(GetProcAddress(lib, "NetApiBufferFree")));
  if (!getInfo || !bufferFree) {
    FreeLibrary(lib);
    return;
  }
  m.netApi = lib;
  m.netUseGetInfo = getInfo;
  m.netApiBufferFree = bufferFree;
  m.netApiState = naLoaded;
}

}  // namespace

void StartShellModule() {
  Application->StartOle();
  Module();
}

// ---- Errors -------------------------------------------------------------------------------

namespace {
std::string OleErrorText(HRESULT code) {
  std::string text = SysErrorMessage(static_cast<DWORD>(code));
  return text.empty() ? Format("OLE error %08lX", static_cast<unsigned long>(code)) : text;
}
}  // namespace

EOleSysError::EOleSysError(HRESULT code) : Exception(OleErrorText(code)), code_(code) {}

HRESULT OleCheck(HRESULT code) {
  if (FAILED(code)) throw EOleSysError(code);
  return code;
}

// ---- Start-up values ----------------------------------------------------------------------

bool IsWinNTPlatform() { return Module().version.dwPlatformId == VER_PLATFORM_WIN32_NT; }

bool GetFileVersion(const std::string& fileName, std::uint64_t& version) {
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(fileName.c_str(), &handle);
  if (size == 0) return false;
  std::vector<char> data(size);
  if (!GetFileVersionInfoA(fileName.c_str(), 0, size, data.data())) return false;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || !fixed ||
      length < sizeof(VS_FIXEDFILEINFO))
    return false;
  version = (static_cast<std::uint64_t>(fixed->dwFileVersionMS) << 32) | fixed->dwFileVersionLS;
  return true;
}

std::uint64_t CommonControlsVersion() { return Module().commonControlsVersion; }

// ---- Shell allocator and item-ID lists ----------------------------------------------------

void* ShellMemAlloc(std::size_t size) {
  IMalloc* m = Module().malloc;
  // After the shut-down step the task allocator is reached directly: it is the same one.
  return m ? m->Alloc(size) : CoTaskMemAlloc(size);
}

void ShellMemFree(void* block) {
  if (!block) return;
  IMalloc* m = Module().malloc;
  if (m)
    m->Free(block);
  else
    CoTaskMemFree(block);
}

IMalloc* ShellMalloc() { return Module().malloc; }

UINT IdListSize(LPCITEMIDLIST list) {
  if (!list) return 0;
  const BYTE* p = reinterpret_cast<const BYTE*>(list);
  UINT size = 0;
  for (;;) {
    USHORT cb;
    std::memcpy(&cb, p + size, sizeof cb);
    if (cb == 0) break;
    size += cb;
  }
  return size + 2;
}

std::size_t IdListValidSize(const void* bytes, std::size_t available) {
  if (!bytes) return 0;
  const BYTE* p = static_cast<const BYTE*>(bytes);
  std::size_t pos = 0;
  while (pos + 2 <= available) {
    USHORT cb;
    std::memcpy(&cb, p + pos, sizeof cb);
    if (cb == 0) return pos + 2;
    if (cb < 2) return 0;
    pos += cb;
  }
  return 0;
}

LPCITEMIDLIST EmptyIdList() {
  static const USHORT terminator = 0;
  return reinterpret_cast<LPCITEMIDLIST>(&terminator);
}

bool IsEmptyIdList(LPCITEMIDLIST list) { return !list || list->mkid.cb == 0; }

LPITEMIDLIST ConcatIdLists(IMalloc* malloc, LPCITEMIDLIST a, LPCITEMIDLIST b) {
  auto sizeOf = [](LPCITEMIDLIST list) -> std::size_t {
    UINT size = IdListSize(list);
    return size > 2 ? size - 2 : 0;
  };
  std::size_t sa = sizeOf(a), sb = sizeOf(b);
  std::size_t total = sa + sb + 2;
  void* block = malloc ? malloc->Alloc(total) : ShellMemAlloc(total);
  if (!block) return nullptr;
  BYTE* p = static_cast<BYTE*>(block);
  if (sa) std::memcpy(p, a, sa);
  if (sb) std::memcpy(p + sa, b, sb);
  p[sa + sb] = 0;
  p[sa + sb + 1] = 0;
  return static_cast<LPITEMIDLIST>(block);
}

LPITEMIDLIST CopyIdList(IMalloc* malloc, LPCITEMIDLIST list) {
  return ConcatIdLists(malloc, list, nullptr);
}

int CompareIdLists(LPCITEMIDLIST a, LPCITEMIDLIST b) {
  constexpr int kCannotCompare = 2147483647;
  if (!a && !b) return 0;
  if (!a || !b) return -1;
  bool emptyA = a->mkid.cb == 0, emptyB = b->mkid.cb == 0;
  if (emptyA && emptyB) return 0;
  if (emptyA || emptyB) return -1;
  TComPtr<IShellFolder> desktop;
  if (FAILED(SHGetDesktopFolder(desktop.Out()))) return kCannotCompare;
  HRESULT hr = desktop->CompareIDs(0, a, b);
  if (FAILED(hr)) return kCannotCompare;
  return static_cast<short>(HRESULT_CODE(hr));
}

// ---- Folders, paths and special folders ---------------------------------------------------

HRESULT ShellGetFolderFromIdList(LPCITEMIDLIST list, IShellFolder** folder) {
  *folder = nullptr;
  TComPtr<IShellFolder> desktop;
  HRESULT hr = SHGetDesktopFolder(desktop.Out());
  if (FAILED(hr)) return hr;
  // The shell refuses to bind the empty list: it is the desktop itself.
  if (IsEmptyIdList(list)) {
    *folder = desktop.Detach();
    return S_OK;
  }
  return desktop->BindToObject(list, nullptr, IID_IShellFolder, reinterpret_cast<void**>(folder));
}

HRESULT ShellGetIdListFromPath(const std::string& path, LPITEMIDLIST* list) {
  *list = nullptr;
  std::wstring wide;
  if (!WidePath(path, wide)) return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
  TComPtr<IShellFolder> desktop;
  HRESULT hr = SHGetDesktopFolder(desktop.Out());
  if (FAILED(hr)) return hr;
  hr = desktop->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, list, nullptr);
  if (FAILED(hr) && *list) {
    ShellMemFree(*list);
    *list = nullptr;
  }
  return hr;
}

std::string ShellGetPathFromIdList(LPCITEMIDLIST list) {
  char path[MAX_PATH] = {};
  if (!SHGetPathFromIDListA(list ? list : EmptyIdList(), path)) return std::string();
  return std::string(path, strnlen(path, sizeof path));
}

HRESULT ShellGetSpecialFolderIdList(HWND owner, int folder, LPITEMIDLIST* list) {
  *list = nullptr;
  return SHGetSpecialFolderLocation(owner, folder & 0x7F, list);
}

std::string ShellGetSpecialFolderPath(HWND owner, int folder) {
  LPITEMIDLIST raw = nullptr;
  if (FAILED(ShellGetSpecialFolderIdList(owner, folder, &raw))) return std::string();
  TIdListPtr list(raw);
  return ShellGetPathFromIdList(list.get());
}

int ShellFindSpecialFolder(LPCITEMIDLIST list) {
  for (int folder = 0; folder < kNoSpecialFolder; ++folder) {
    LPITEMIDLIST raw = nullptr;
    if (FAILED(ShellGetSpecialFolderIdList(nullptr, folder, &raw))) continue;
    TIdListPtr candidate(raw);
    if (candidate && CompareIdLists(candidate.get(), list) == 0) return folder;
  }
  return kNoSpecialFolder;
}

// ---- Names and icons ----------------------------------------------------------------------

std::string ShellGetDisplayName(IShellFolder* folder, LPCITEMIDLIST item, TShellNameKind kind) {
  TComPtr<IShellFolder> desktop;
  if (!folder) {
    if (FAILED(SHGetDesktopFolder(desktop.Out()))) return std::string();
    folder = desktop.Get();
  }
  if (!item) item = EmptyIdList();
  STRRET name{};
  if (FAILED(folder->GetDisplayNameOf(item, kind, &name))) return std::string();
  std::string text = StrRetToString(item, name);
  StrRetFree(name);
  return text;
}

std::string ShellGetFriendlyName(LPCITEMIDLIST list) {
  TComPtr<IShellFolder> desktop;
  if (FAILED(SHGetDesktopFolder(desktop.Out()))) return std::string();
  TFcIdListArray parts(list);
  int count = parts.Count();
  if (count <= 1) return ShellGetDisplayName(desktop.Get(), list, snkInFolder);
  TIdListPtr parent(CopyIdList(nullptr, parts.GetLeading(1)));
  TComPtr<IShellFolder> folder;
  OleCheck(desktop->BindToObject(parent.get(), nullptr, IID_IShellFolder, folder.OutVoid()));
  return ShellGetDisplayName(folder.Get(), parts.GetItem(count - 1), snkInFolder);
}

bool ShellGetFileInfo(LPCITEMIDLIST list, UINT flags, SHFILEINFOA& info) {
  info = SHFILEINFOA{};
  // With SHGFI_PIDL the list stands where the path would.
  return SHGetFileInfoA(reinterpret_cast<LPCSTR>(list ? list : EmptyIdList()), 0, &info, sizeof info,
                        flags | SHGFI_PIDL) != 0;
}

int ShellGetIconIndex(LPCITEMIDLIST list, UINT flags) {
  SHFILEINFOA info;
  return ShellGetFileInfo(list, flags | SHGFI_SYSICONINDEX, info) ? info.iIcon : 0;
}

int ShellGetSpecialFolderIconIndex(int folder, UINT flags) {
  LPITEMIDLIST raw = nullptr;
  OleCheck(ShellGetSpecialFolderIdList(nullptr, folder, &raw));
  TIdListPtr list(raw);
  return ShellGetIconIndex(list.get(), flags);
}

HIMAGELIST ShellGetSystemImageList(int size) {
  Module();
  return SystemImageList(size == 0 ? SHGFI_SMALLICON : SHGFI_LARGEICON);
}

int ShellOverlayIndex(SFGAOF attributes) {
  // The shell numbers the overlays of its lists from 1; the image lists here count from 0.
  static const int share = SHGetIconOverlayIndexA(nullptr, IDO_SHGIOI_SHARE);
  static const int link = SHGetIconOverlayIndexA(nullptr, IDO_SHGIOI_LINK);
  int overlay = (attributes & SFGAO_SHARE) ? share : (attributes & SFGAO_LINK) ? link : -1;
  return overlay >= 1 ? overlay - 1 : -1;
}

std::string StrRetToString(LPCITEMIDLIST item, const STRRET& name) {
  switch (name.uType) {
    case STRRET_WSTR:
      return WideToAnsi(name.pOleStr);
    case STRRET_OFFSET: {
      if (!item) return std::string();
      // The text lies inside the item's first entry.
      USHORT cb = item->mkid.cb;
      if (name.uOffset >= cb) return std::string();
      const char* text = reinterpret_cast<const char*>(item) + name.uOffset;
      return std::string(text, strnlen(text, cb - name.uOffset));
    }
    case STRRET_CSTR:
      return std::string(name.cStr, strnlen(name.cStr, sizeof name.cStr));
    default:
      return std::string();
  }
}

void StrRetFree(STRRET& name) {
  if (name.uType == STRRET_WSTR && name.pOleStr) {
    CoTaskMemFree(name.pOleStr);
    name.pOleStr = nullptr;
  }
}

// ---- Shortcuts ----------------------------------------------------------------------------

HRESULT ReadShellLink(const std::string& fileName, TLinkData& data, bool wantIdList) {
  data.IdList.reset();
  TComPtr<IShellLinkA> link;
  HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.OutVoid());
  if (FAILED(hr)) return hr;
  TComPtr<IPersistFile> file;
  if (FAILED(hr = link->QueryInterface(IID_IPersistFile, file.OutVoid()))) return hr;
  std::wstring wide;
  if (!WidePath(fileName, wide)) return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
  if (FAILED(hr = file->Load(wide.c_str(), STGM_READ))) return hr;

  // Mode 1 resolves without any user interface while messages keep running.
  const HWND windows[] = {nullptr, reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1))};
  const DWORD flags[] = {0, 0x00010000};
  int mode = data.ResolveMode == 1 ? 1 : 0;
  if (FAILED(hr = link->Resolve(windows[mode], flags[mode]))) return hr;

  char buf[MAX_PATH + 1];
  auto text = [&buf] { return std::string(buf, strnlen(buf, sizeof buf)); };
  buf[0] = '\0';
  if (FAILED(hr = link->GetPath(buf, sizeof buf, &data.FindData, 0))) return hr;
  data.Path = text();
  buf[0] = '\0';
  if (FAILED(hr = link->GetArguments(buf, sizeof buf))) return hr;
  data.Arguments = text();
  buf[0] = '\0';
  if (FAILED(hr = link->GetDescription(buf, sizeof buf))) return hr;
  data.Description = text();
  buf[0] = '\0';
  if (FAILED(hr = link->GetIconLocation(buf, sizeof buf, &data.IconIndex))) return hr;
  data.IconLocation = text();
  buf[0] = '\0';
  if (FAILED(hr = link->GetWorkingDirectory(buf, sizeof buf))) return hr;
  data.WorkingDirectory = text();
  if (FAILED(hr = link->GetShowCmd(&data.ShowCommand))) return hr;
  if (FAILED(hr = link->GetHotkey(&data.HotKey))) return hr;
  data.Valid = {ldvPath,           ldvDescription,      ldvArguments,
                ldvIconLocation,   ldvWorkingDirectory, ldvShowCommandAndHotKey};
  if (wantIdList) {
    LPITEMIDLIST list = nullptr;
    if (FAILED(hr = link->GetIDList(&list))) return hr;
    data.IdList.reset(list);
  }
  return hr;
}

// ---- Drives -------------------------------------------------------------------------------

void RevalidateDrivesFolder() {
  if (Module().revalidationSuspended != 0) return;
  LPITEMIDLIST raw = nullptr;
  OleCheck(ShellGetSpecialFolderIdList(nullptr, CSIDL_DRIVES, &raw));
  TIdListPtr drives(raw);
  TComPtr<IShellFolder> folder;
  OleCheck(ShellGetFolderFromIdList(drives.get(), folder.Out()));
  SFGAOF attributes = SFGAO_VALIDATE;
  folder->GetAttributesOf(0, nullptr, &attributes);
}

void SuspendDrivesRevalidation() { ++Module().revalidationSuspended; }

void ResumeDrivesRevalidation() { --Module().revalidationSuspended; }

bool IsNetDriveConnected(char driveLetter) {
  LoadNetApi();
  TShellModule& m = Module();
  if (m.netApiState != naLoaded) return true;
  wchar_t name[3] = {static_cast<wchar_t>(static_cast<unsigned char>(driveLetter)), L':', 0};
  LPBYTE buffer = nullptr;
  if (m.netUseGetInfo(nullptr, name, 1, &buffer) != 0) return false;
  bool connected = buffer && reinterpret_cast<USE_INFO_1*>(buffer)->ui1_status == USE_OK;
  if (buffer) m.netApiBufferFree(buffer);
  return connected;
}

// ---- Text ---------------------------------------------------------------------------------

std::string FormatStrPos(const std::string& format, const std::vector<std::string>& strings) {
  constexpr std::size_t kMaxStrings = 50;
  // FormatMessage reads as many arguments as the format names, up to %99: every slot is
  // filled so that a number beyond the strings given reads empty text.
  constexpr std::size_t kSlots = 99;
  if (format.empty()) return std::string();
  if (strings.size() > kMaxStrings) throw Exception(LoadResString(IDS_SHELL_TOO_MANY_STRINGS));
  DWORD_PTR args[kSlots];
  for (std::size_t i = 0; i < kSlots; ++i)
    args[i] = reinterpret_cast<DWORD_PTR>(i < strings.size() ? strings[i].c_str() : "");
  char* buffer = nullptr;
  DWORD n = FormatMessageA(
      FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ARGUMENT_ARRAY | FORMAT_MESSAGE_ALLOCATE_BUFFER,
      format.c_str(), 0, 0, reinterpret_cast<LPSTR>(&buffer), 256,
      reinterpret_cast<va_list*>(args));
  std::string result = (n > 0 && buffer) ? std::string(buffer, n) : std::string();
  if (buffer) LocalFree(buffer);
  return result;
}

std::string AppendCharIfMissing(const std::string& s, char c, UINT codePage) {
  if (s.empty()) return s;
  bool endsInDoubleByte = false;
  ForEachChar(s, codePage, [&](std::size_t i, std::size_t len) {
    if (i + len == s.size()) endsInDoubleByte = len == 2;
  });
  if (endsInDoubleByte || s.back() != c) return s + c;
  return s;
}

std::string TrimTrailingBlanks(const std::string& s, UINT codePage) {
  std::size_t end = 0;
  ForEachChar(s, codePage, [&](std::size_t i, std::size_t len) {
    if (len == 2 || static_cast<unsigned char>(s[i]) > 32) end = i + len;
  });
  return s.substr(0, end);
}

void AppendCharAt(int& position, const std::string& text, std::string& target, UINT codePage) {
  if (position < 1 || static_cast<std::size_t>(position) > text.size()) return;
  std::size_t i = static_cast<std::size_t>(position - 1);
  std::size_t len = (IsLeadByte(text[i], codePage) && i + 1 < text.size()) ? 2 : 1;
  target.append(text, i, len);
  position += static_cast<int>(len);
}

