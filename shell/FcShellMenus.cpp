#include "shell/FcShellMenus.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/Forms.h"
#include "platform/Guards.h"
#include "resources/ResourceIds.h"
#include "shell/FcShellIntf.h"

namespace {

constexpr UINT kLastShellCommand = 0x7FFF;

// A popup menu destroyed at the end unless handed on.
class TMenuGuard {
 public:
  explicit TMenuGuard(HMENU menu) : menu_(menu) {}
  ~TMenuGuard() {
    if (menu_) DestroyMenu(menu_);
  }
  TMenuGuard(const TMenuGuard&) = delete;
  TMenuGuard& operator=(const TMenuGuard&) = delete;
  HMENU Get() const { return menu_; }
  HMENU Release() { return std::exchange(menu_, nullptr); }

 private:
  HMENU menu_;
};

// Hands the message to the menu when it draws its own submenus (IContextMenu2); false when
// it does not and the message is this unit's to handle.
bool PassedToMenu(const TMessageRecord& record, IContextMenu* menu) {
  TComPtr<IContextMenu2> menu2;
  if (!menu || FAILED(menu->QueryInterface(IID_IContextMenu2, menu2.OutVoid())) || !menu2) return false;
  const TMessage& message = record.Message;
  menu2->HandleMenuMsg(message.Msg, message.WParam, message.LParam);
  return true;
}

std::string NameWithoutExtension(const std::string& name) {
  std::string ext = ExtractFileExt(name);
  return name.substr(0, name.size() - ext.size());
}

// The menu font, from the system's non-client metrics.
HFONT CreateMenuFont() {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return nullptr;
  return CreateFontIndirectA(&metrics.lfMenuFont);
}

void FillSendToList(TFcSendToList& list) {
  list.clear();
  std::string folder = ShellGetSpecialFolderPath(nullptr, CSIDL_SENDTO);
  if (folder.empty()) return;
  folder = AppendCharIfMissing(folder, '\\');
  WIN32_FIND_DATAA data;
  TFindGuard find(FindFirstFileA((folder + "*").c_str(), &data));
  if (!find.Valid()) return;
  do {
    if (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN)) continue;
    TFcSendToEntry entry;
    entry.Name = data.cFileName;
    LPITEMIDLIST raw = nullptr;
    if (SUCCEEDED(ShellGetIdListFromPath(folder + entry.Name, &raw))) {
      TIdListPtr item(raw);
      entry.IconIndex = ShellGetIconIndex(item.get(), SHGFI_SMALLICON);
    }
    list.push_back(std::move(entry));
  } while (FindNextFileA(find.Get(), &data));
  std::stable_sort(list.begin(), list.end(), [](const TFcSendToEntry& a, const TFcSendToEntry& b) {
    return AnsiCompareText(a.Name, b.Name) < 0;
  });
}

// "%d" of a resource text replaced by the number.
std::string WithNumber(const std::string& pattern, int number) {
  return StringReplace(pattern, "%d", IntToStr(number), {});
}

}  // namespace

// ---- Context menus ------------------------------------------------------------------------

HRESULT CreateShellContextMenu(HWND owner, IShellFolder* folder, UINT count, LPCITEMIDLIST* items,
                               UINT firstId, UINT flags, IContextMenu** menu, HMENU* popup) {
  *menu = nullptr;
  *popup = nullptr;
  TComPtr<IContextMenu> contextMenu;
  HRESULT hr = folder->GetUIObjectOf(owner, count, items, IID_IContextMenu, nullptr,
                                     contextMenu.OutVoid());
  if (FAILED(hr)) return hr;
  TMenuGuard newPopup(CreatePopupMenu());
  if (!newPopup.Get()) RaiseLastOSError();
  OleCheck(contextMenu->QueryContextMenu(newPopup.Get(), 0, firstId, kLastShellCommand, flags));
  *menu = contextMenu.Detach();
  *popup = newPopup.Release();
  return S_OK;
}

HRESULT InvokeShellCommand(IContextMenu* menu, HWND owner, const std::string& verb) {
  int offset = FindVerbOffset(menu, verb);
  if (offset < 0) return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
  return InvokeShellCommand(menu, owner, static_cast<UINT>(offset));
}

HRESULT InvokeShellCommand(IContextMenu* menu, HWND owner, UINT offset) {
  CMINVOKECOMMANDINFO info{};
  info.cbSize = sizeof info;
  info.hwnd = owner;
  info.lpVerb = MAKEINTRESOURCEA(offset);
  info.nShow = SW_SHOWNORMAL;
  return menu->InvokeCommand(&info);
}

int FindVerbOffset(IContextMenu* menu, const std::string& verb) {
  TMenuGuard scratch(CreatePopupMenu());
  if (!scratch.Get()) return -1;
  if (FAILED(menu->QueryContextMenu(scratch.Get(), 0, kFirstShellCommand, kLastShellCommand,
                                    CMF_EXPLORE)))
    return -1;
  int count = GetMenuItemCount(scratch.Get());
  for (int i = 0; i < count; ++i) {
    UINT id = GetMenuItemID(scratch.Get(), i);
    if (id == static_cast<UINT>(-1) || id < kFirstShellCommand) continue;
    char name[MAX_PATH] = {};
    if (FAILED(menu->GetCommandString(id - kFirstShellCommand, GCS_VERBA, nullptr, name, sizeof name)))
      continue;
    if (AnsiSameText(std::string(name, strnlen(name, sizeof name)), verb))
      return static_cast<int>(id - kFirstShellCommand);
  }
  return -1;
}

void HandleInitMenuPopup(TWMInitMenuPopup& message, IContextMenu* menu, std::unique_ptr<TFcSendToList>& sendTo) {
  try {
    if (PassedToMenu(message, menu)) return;
    HMENU popup = message.MenuPopup;
    if (GetMenuItemCount(popup) != 1 || !(GetMenuState(popup, 0, MF_BYPOSITION) & MF_GRAYED)) return;
    if (!sendTo) sendTo = std::make_unique<TFcSendToList>();
    FillSendToList(*sendTo);
    DeleteMenu(popup, 0, MF_BYPOSITION);
    for (std::size_t i = 0; i < sendTo->size(); ++i)
      AppendMenuA(popup, MF_OWNERDRAW, i + 1, reinterpret_cast<LPCSTR>(i));
  } catch (...) {
  }
}

void HandleDrawItem(TWMDrawItem& message, IContextMenu* menu, HIMAGELIST smallImages, const TFcSendToList* sendTo) {
  try {
    if (PassedToMenu(message, menu)) return;
    const DRAWITEMSTRUCT* item = message.DrawItemStruct;
    if (!item || item->CtlType != ODT_MENU || item->itemData >= kFirstShellCommand || !sendTo) return;
    HDC dc = item->hDC;
    TSavedDC saved(dc);
    TGdiObject<HFONT> font(CreateMenuFont());
    TSelectObject selectFont(dc, font.Get());
    const bool validId = item->itemID != static_cast<UINT>(-1);
    const bool selected = (item->itemState & ODS_SELECTED) && validId;
    SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    const RECT& r = item->rcItem;
    if (!validId || item->itemData >= sendTo->size()) {
      ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    } else {
      const TFcSendToEntry& entry = (*sendTo)[item->itemData];
      std::string text = NameWithoutExtension(entry.Name);
      ExtTextOutA(dc, r.left + 32, r.top + 2, ETO_OPAQUE, &r, text.c_str(),
                  static_cast<UINT>(text.size()), nullptr);
      if (entry.IconIndex >= 0 && smallImages)
        ImageList_Draw(smallImages, entry.IconIndex, dc, r.left + 8, r.top + 2, ILD_TRANSPARENT);
    }
    message.Result = TRUE;
  } catch (...) {
  }
}

void HandleMeasureItem(TWMMeasureItem& message, IContextMenu* menu, const TFcSendToList* sendTo) {
  try {
    if (PassedToMenu(message, menu)) return;
    MEASUREITEMSTRUCT* item = message.MeasureItemStruct;
    if (!item || item->CtlType != ODT_MENU || !sendTo || item->itemData >= sendTo->size()) return;
    std::string text = NameWithoutExtension((*sendTo)[item->itemData].Name);
    TMeasureDC dc;
    TGdiObject<HFONT> font(CreateMenuFont());
    TSelectObject selectFont(dc, font.Get());
    SIZE extent{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    item->itemWidth = static_cast<UINT>(extent.cx + 32);
    item->itemHeight = static_cast<UINT>(GetSystemMetrics(SM_CYMENU) + 2);
    message.Result = TRUE;
  } catch (...) {
  }
}

void HandleMenuChar(TWMMenuChar& message, IContextMenu* menu, const TFcSendToList* sendTo) {
  try {
    if (PassedToMenu(message, menu)) return;
    if (!sendTo || !(message.Flags & MF_POPUP)) return;
    const int typed = std::toupper(static_cast<unsigned char>(message.Char));
    HMENU popup = message.Menu;
    const int count = static_cast<int>(sendTo->size());
    int start = 0;
    for (int i = 0, n = GetMenuItemCount(popup); i < n; ++i)
      if (GetMenuState(popup, static_cast<UINT>(i), MF_BYPOSITION) & MF_HILITE) {
        start = i;
        break;
      }
    auto initial = [&](int i) {
      const std::string& name = (*sendTo)[static_cast<std::size_t>(i)].Name;
      return name.empty() ? -1 : std::toupper(static_cast<unsigned char>(name[0]));
    };
    int hit = -1, matches = 0;
    for (int i = 0; i < count; ++i)
      if (initial(i) == typed) ++matches;
    for (int step = 1; step <= count && hit < 0; ++step) {
      int i = (start + step) % count;
      if (initial(i) == typed) hit = i;
    }
    if (hit < 0)
      message.Result = MAKELRESULT(0, MNC_CLOSE);
    else
      message.Result = MAKELRESULT(hit, matches > 1 ? MNC_SELECT : MNC_EXECUTE);
  } catch (...) {
  }
}

void HandleMenuSelect(TWMMenuSelect& message, IContextMenu* menu, TObject* control,
                      const TFcShPopupHintEvent& event) {
  if (!menu || !event) return;
  const UINT id = message.Item;
  const UINT flags = message.Flags;
  char help[MAX_PATH] = {};
  if (id < kFirstShellCommand || (flags & (MF_POPUP | MF_SYSMENU)) ||
      FAILED(menu->GetCommandString(id - kFirstShellCommand, GCS_HELPTEXTA, nullptr, help, sizeof help))) {
    event(control, std::string());
    return;
  }
  event(control, std::string(help, strnlen(help, sizeof help)));
}

// ---- Window helpers -----------------------------------------------------------------------

HWND GetTopFormHandle(TControl* control) {
  if (!control) return nullptr;
  TControl* top = control;
  while (top->Parent()) top = top->Parent();
  auto* form = dynamic_cast<TForm*>(top);
  return form ? form->Handle() : nullptr;
}

void WaitWithHourglass(DWORD milliseconds) {
  TTemporaryCursor hourglass(crHourGlass);
  Sleep(milliseconds);
}

void SetWindowStyleBits(HWND window, LONG_PTR bits, bool on) {
  if (!window) return;
  LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
  LONG_PTR changed = on ? (style | bits) : (style & ~bits);
  if (changed != style) SetWindowLongPtrA(window, GWL_STYLE, changed);
}

void RaiseSystemError(DWORD code) { RaiseLastOSError(code); }

bool WheelScroll(TWinControl* control, bool vertical, int lineCode, int pageCode) {
  UINT lines = 3;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  HWND window = control->Handle();
  const int bar = vertical ? SB_VERT : SB_HORZ;
  const UINT msg = vertical ? WM_VSCROLL : WM_HSCROLL;
  auto step = [&](int code) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    if (!GetScrollInfo(window, bar, &info)) return;
    if (info.nMax - info.nMin - static_cast<int>(info.nPage) > 0)
      SendMessageA(window, msg, static_cast<WPARAM>(code), 0);
  };
  if (lines == WHEEL_PAGESCROLL) {
    step(pageCode);
  } else {
    UINT steps = vertical ? lines : 1;
    for (UINT i = 0; i < steps; ++i) step(lineCode);
  }
  return true;
}

// ---- New folders --------------------------------------------------------------------------

bool CreateNewFolder(const std::string& directory, std::string& name) {
  try {
    std::string dir = AppendCharIfMissing(directory.empty() ? GetCurrentDir() : directory, '\\');
    const std::string message = LoadResString(IDS_SHELL_CANNOT_CREATE_FOLDER);
    const std::string longName = LoadResString(IDS_SHELL_NEW_FOLDER);
    auto warn = [&](DWORD error, const std::string& folder) {
      MessageDlg(FormatStrPos(message, {SysErrorMessage(error), folder}), mtWarning, {mbOK});
    };
    // Each series tries its names in turn; a name that exists moves on, any other failure
    // ends the series.
    auto series = [&](const std::string& base, const std::string& numbered) {
      for (int i = 1; i <= 50; ++i) {
        std::string candidate = i > 1 ? base + WithNumber(numbered, i) : base;
        if (CreateDirectoryA((dir + candidate).c_str(), nullptr)) {
          name = candidate;
          return true;
        }
        DWORD error = GetLastError();
        if (error == ERROR_ALREADY_EXISTS) continue;
        warn(error, candidate);
        return false;
      }
      return false;
    };
    if (series(longName, LoadResString(IDS_SHELL_NEW_FOLDER_NUMBER))) return true;
    if (series(LoadResString(IDS_SHELL_SHORT_FOLDER), LoadResString(IDS_SHELL_SHORT_FOLDER_NUMBER)))
      return true;
    warn(ERROR_ALREADY_EXISTS, longName);
  } catch (...) {
  }
  return false;
}

// ---- Command keys -------------------------------------------------------------------------

std::string ShellShortCutToText(TShortCut shortCut) {
  static const char* const kNavigation[] = {"Space", "PgUp", "PgDn", "End", "Home",
                                            "Left",  "Up",   "Right", "Down"};
  const unsigned key = shortCut & 0xFFu;
  std::string name;
  switch (key) {
    case 8: name = "BkSp"; break;
    case 9: name = "Tab"; break;
    case 13: name = "Enter"; break;
    case 27: name = "Esc"; break;
    case 45: name = "Ins"; break;
    case 46: name = "Del"; break;
    default:
      if (key >= 32 && key <= 40)
        name = kNavigation[key - 32];
      else if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        name = std::string(1, static_cast<char>(key));
      else if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9)
        name = std::string(1, static_cast<char>('0' + key - VK_NUMPAD0));
      else if (key >= VK_F1 && key <= VK_F24)
        name = Format("F%u", key - VK_F1 + 1);
      else
        name = Format("#%u", static_cast<unsigned>(shortCut));
  }
  std::string text;
  if (shortCut & scShift) text.append("Shift+");
  if (shortCut & scCtrl) text.append("Ctrl+");
  if (shortCut & scAlt) text.append("Alt+");
  text.append(name);
  return text;
}

TShortCut ShellTextToShortCut(const std::string& text) {
  static const struct {
    const char* prefix;
    WORD bit;
  } kPrefixes[] = {{"Shift+", scShift}, {"^", scCtrl}, {"Ctrl+", scCtrl}, {"Alt+", scAlt}};
  std::string rest = text;
  WORD modifiers = 0;
  for (bool taken = true; taken;) {
    taken = false;
    for (const auto& p : kPrefixes) {
      std::size_t n = std::strlen(p.prefix);
      if (rest.size() >= n && SameText(rest.substr(0, n), p.prefix)) {
        modifiers |= p.bit;
        rest.erase(0, n);
        taken = true;
      }
    }
  }
  if (rest.empty()) return 0;
  for (unsigned code = 8; code <= 597; ++code)
    if (SameText(ShellShortCutToText(static_cast<TShortCut>(code)), rest))
      return static_cast<TShortCut>(code | modifiers);
  return 0;
}

const std::array<TFcShellControlDefKeyRec, 7>& ShellControlDefKeys() {
  static const std::array<TFcShellControlDefKeyRec, 7> keys = [] {
    const UINT texts[] = {IDS_SHELL_KEY_SELECT_ALL, IDS_SHELL_KEY_DELETE, IDS_SHELL_KEY_COPY,
                          IDS_SHELL_KEY_CUT,        IDS_SHELL_KEY_PASTE,  IDS_SHELL_KEY_REFRESH,
                          IDS_SHELL_KEY_RENAME};
    std::array<TFcShellControlDefKeyRec, 7> table;
    for (std::size_t i = 0; i < table.size(); ++i) {
      table[i].KeyText = LoadResString(texts[i]);
      table[i].ShortCut = ShellTextToShortCut(table[i].KeyText);
    }
    return table;
  }();
  return keys;
}
