// The shell list's opening of items, shell verbs, command keys, context menu, renaming and
// new folders (unit of FcShellList.h).

#include <algorithm>

#include "platform/Forms.h"
#include "platform/Guards.h"
#include "shell/FcShellList.h"
#include "shell/FcShellListPrivate.h"
#include "shell/FcShellMenus.h"

using namespace FcShellListPrivate;

namespace {

// Runs the default command of the items' shell menu ("open", for most).
void RunDefaultCommand(HWND owner, IShellFolder* folder, std::vector<LPCITEMIDLIST>& items) {
  if (!folder || items.empty()) return;
  IContextMenu* raw = nullptr;
  HMENU popup = nullptr;
  if (FAILED(CreateShellContextMenu(owner, folder, static_cast<UINT>(items.size()), items.data(), kFirstShellCommand,
                                    CMF_EXPLORE, &raw, &popup)))
    return;
  TComPtr<IContextMenu> menu(raw);
  TScopeExit destroyMenu([popup]() noexcept { DestroyMenu(popup); });
  UINT id = GetMenuDefaultItem(popup, FALSE, 0);
  if (id != static_cast<UINT>(-1) && id >= kFirstShellCommand)
    InvokeShellCommand(menu.Get(), owner, id - kFirstShellCommand);
}

bool IsNetworkPath(const std::string& path) { return path.size() >= 2 && path[0] == '\\' && path[1] == '\\'; }

}  // namespace

// ---- Opening ----------------------------------------------------------------------------------

bool TFcCustomShellList::DoDblClickOpen() {
  bool handled = false;
  if (OnDblClickOpen) OnDblClickOpen(this, handled);
  return !handled;
}

void TFcCustomShellList::OpenItem(TListItem* item) {
  if (!item) return;
  SyncLinkedControls(true);
  TFcShellListData* data = ShellData(item);
  if (!data) {
    DoDblClickOpen();
    return;
  }
  TTemporaryCursor hourglass(crHourGlass);
  if (data->Attributes() & SFGAO_FOLDER) {
    TIdListPtr target(CopyIdList(nullptr, data->AbsIdList()));
    Navigate(target.get());
    return;
  }
  if (data->IsLink()) {
    TLinkData link;
    link.ResolveMode = 1;
    if (SUCCEEDED(ReadShellLink(data->PathName(), link, false)) && !link.Path.empty() &&
        DirectoryExists(link.Path)) {
      LPITEMIDLIST parsed = nullptr;
      if (SUCCEEDED(ShellGetIdListFromPath(link.Path, &parsed))) {
        TIdListPtr target(parsed);
        Navigate(target.get());
        return;
      }
    }
  }
  if (!DoDblClickOpen()) return;
  std::vector<LPCITEMIDLIST> items{data->RelIdList()};
  RunDefaultCommand(OwnerWindow(), shellFolder_.Get(), items);
}

void TFcCustomShellList::OpenSelected() {
  std::vector<TListItem*> selected;
  for (TListItem* item = GetNextItem(nullptr, {isSelected}); item; item = GetNextItem(item, {isSelected}))
    selected.push_back(item);
  if (selected.empty()) return;
  if (selected.size() == 1) {
    OpenItem(selected.front());
    return;
  }
  if (!DoDblClickOpen()) return;
  std::vector<LPCITEMIDLIST> items = SelectedRelIdLists();
  TTemporaryCursor hourglass(crHourGlass);
  RunDefaultCommand(OwnerWindow(), shellFolder_.Get(), items);
}

// ---- Verbs ------------------------------------------------------------------------------------

HRESULT TFcCustomShellList::GetSelectionUIObject(REFIID iid, void** object) {
  *object = nullptr;
  std::vector<LPCITEMIDLIST> items = SelectedRelIdLists();
  if (items.empty() || !shellFolder_) return E_FAIL;
  return shellFolder_->GetUIObjectOf(OwnerWindow(), static_cast<UINT>(items.size()), items.data(), iid, nullptr,
                                     object);
}

HRESULT TFcCustomShellList::GetItemUIObject(TListItem* item, REFIID iid, void** object) {
  *object = nullptr;
  TFcShellListData* data = ShellData(item);
  if (!data || !shellFolder_) return E_FAIL;
  LPCITEMIDLIST items[] = {data->RelIdList()};
  return shellFolder_->GetUIObjectOf(OwnerWindow(), 1, items, iid, nullptr, object);
}

void TFcCustomShellList::RefreshNetworkFolder() {
  // Network folders send no change notices.
  if (IsNetworkPath(ShellGetPathFromIdList(folderIdList_.get()))) RefreshItems();
}

HRESULT TFcCustomShellList::ExecuteVerbOnSelection(const std::string& verb) {
  TComPtr<IContextMenu> menu;
  HRESULT hr = GetSelectionUIObject(IID_IContextMenu, menu.OutVoid());
  if (FAILED(hr) || !menu) return FAILED(hr) ? hr : E_FAIL;
  hr = InvokeShellCommand(menu.Get(), OwnerWindow(), verb);
  RefreshNetworkFolder();
  return hr;
}

HRESULT TFcCustomShellList::ExecuteVerbOnFolder(const std::string& verb) {
  TComPtr<IContextMenu> menu;
  OleCheck(ShellGetUIObject(folderIdList_ ? folderIdList_.get() : EmptyIdList(), IID_IContextMenu,
                            menu.OutVoid()));
  HRESULT hr = InvokeShellCommand(menu.Get(), OwnerWindow(), verb);
  if (hr == HRESULT_FROM_WIN32(ERROR_NOT_FOUND)) return hr;
  return OleCheck(hr);
}

void TFcCustomShellList::SelectAll() {
  Items()->BeginUpdate();
  TScopeExit ended([this]() noexcept { Items()->EndUpdate(); });
  TFcCustomListView::SelectAll();
}

// ---- Keys and the mouse -------------------------------------------------------------------------

void TFcCustomShellList::KeyDown(WORD& key, TShiftState shift) {
  TFcCustomListView::KeyDown(key, shift);
  if (key == 0 || !options_.Contains(sloDefaultKeyHandling) || IsEditing() ||
      ComponentState().Contains(csDesigning))
    return;
  const TShiftState modifiers = shift * TShiftState{ssShift, ssAlt, ssCtrl};
  if (modifiers.Empty() && key == VK_BACK) {
    key = 0;
    GoUp(1);
    return;
  }
  if (modifiers.Empty() && key == VK_RETURN) {
    key = 0;
    OpenSelected();
    return;
  }
  const auto& keys = ShellControlDefKeys();
  const TShortCut pressed = ShortCut(key, shift);
  auto is = [&](TFcShellControlDefKey k) { return keys[k].ShortCut != 0 && keys[k].ShortCut == pressed; };
  const bool deleting = is(dkDelete) || (keys[dkDelete].ShortCut != 0 && ShortCut(key, shift - ssShift) ==
                                                                              keys[dkDelete].ShortCut);
  if (is(dkSelectAll)) {
    key = 0;
    SelectAll();
  } else if (is(dkRefresh)) {
    key = 0;
    FillList();
  } else if (is(dkCopy)) {
    key = 0;
    ExecuteVerbOnSelection("copy");
  } else if (is(dkCut)) {
    key = 0;
    ExecuteVerbOnSelection("cut");
  } else if (is(dkPaste)) {
    key = 0;
    ExecuteVerbOnFolder("paste");
    RefreshItems();
  } else if (is(dkRename)) {
    key = 0;
    if (TListItem* item = ItemFocused()) item->EditCaption();
  } else if (deleting) {
    key = 0;
    ExecuteVerbOnSelection("delete");
    RefreshItems();
  }
}

void TFcCustomShellList::CMWantSpecialKey(TWMKey& m) {
  if (!IsEditing() && m.CharCode == VK_RETURN) {
    TFcShellListData* data = ShellData(Selected());
    if (data && data->IsFolder()) {
      m.Result = 1;
      return;
    }
  }
  Inherited(m);
}

void TFcCustomShellList::CNNotify(TWMNotify& m) {
  if (m.NMHdr->code == NM_DBLCLK && !ComponentState().Contains(csDestroying)) {
    Inherited(m);
    OpenSelected();
    return;
  }
  Inherited(m);
}

bool TFcCustomShellList::DoMouseWheel(TShiftState shift, int wheelDelta, POINT mousePos) {
  // The event handlers may take the wheel; the list view's own pixel scrolling is not used.
  if (TFcFramedView<TCustomListView>::DoMouseWheel(shift, wheelDelta, mousePos)) return true;
  bool vertical = ViewStyle() != vsList;
  bool down = wheelDelta < 0;
  if (vertical) return WheelScroll(this, true, down ? SB_LINEDOWN : SB_LINEUP, down ? SB_PAGEDOWN : SB_PAGEUP);
  return WheelScroll(this, false, down ? SB_LINERIGHT : SB_LINELEFT, down ? SB_PAGERIGHT : SB_PAGELEFT);
}

// ---- The shell's context menu -------------------------------------------------------------------

void TFcCustomShellList::DoItemContextMenu(POINT pos) {
  if (!options_.Contains(sloContextMenus) || ComponentState().Contains(csDesigning) || dragging_ ||
      SelectedShellItems().empty()) {
    TFcCustomListView::DoItemContextMenu(pos);
    return;
  }
  // OnItemContextMenu first; the menu it leaves is not shown, the shell's is.
  TFcLVOnItemContextMenuEvent own = OnItemContextMenu;
  {
    TScopeExit restore([&]() noexcept { OnItemContextMenu = own; });
    OnItemContextMenu = [&](TObject* sender, TListItem* item, POINT& p, TPopupMenu*& menu) {
      if (own) own(sender, item, p, menu);
      pos = p;
      menu = nullptr;
    };
    TFcCustomListView::DoItemContextMenu(pos);
  }
  ShowShellContextMenu(pos);
}

void TFcCustomShellList::ShowShellContextMenu(POINT pos) {
  std::vector<LPCITEMIDLIST> items = SelectedRelIdLists();
  if (items.empty() || !shellFolder_) return;
  UINT flags = CMF_EXPLORE;
  TFcShellListData* focused = ShellData(ItemFocused());
  if (focused && !focused->PathName().empty() && !ReadOnly()) flags |= CMF_CANRENAME;
  IContextMenu* raw = nullptr;
  HMENU popup = nullptr;
  OleCheck(CreateShellContextMenu(OwnerWindow(), shellFolder_.Get(), static_cast<UINT>(items.size()), items.data(),
                                  kFirstShellCommand, flags, &raw, &popup));
  TComPtr<IContextMenu> menu(raw);
  TScopeExit destroyMenu([popup]() noexcept { DestroyMenu(popup); });
  UINT result = 0;
  {
    TRestore<bool> inMenu(dragging_, true);
    TRestore<IContextMenu*> active(activeMenu_, menu.Get());
    POINT screen = ClientToScreen(pos);
    result = static_cast<UINT>(
        TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0, Handle(), nullptr));
  }
  InvokeMenuResult(menu.Get(), result);
  RunPendingRefresh();
}

void TFcCustomShellList::InvokeMenuResult(IContextMenu* menu, UINT result) {
  if (result == kRenameCommand) {
    if (TListItem* item = ItemFocused()) item->EditCaption();
  } else if (result >= kFirstShellCommand) {
    InvokeShellCommand(menu, OwnerWindow(), result - kFirstShellCommand);
    RefreshNetworkFolder();
  } else if (result >= 1) {
    DoMenuCommand(static_cast<int>(result) - 1);
  }
}

void TFcCustomShellList::DoMenuCommand(int index) {
  if (!sendTo_ || index < 0 || index >= static_cast<int>(sendTo_->size())) return;
  TComPtr<IDataObject> data(CreateShellDataObject(shellFolder_.Get(), folderIdList_.get(), SelectedRelIdLists()));
  SendToTarget((*sendTo_)[static_cast<std::size_t>(index)].Name, data.Get());
}

void TFcCustomShellList::WMInitMenuPopup(TWMInitMenuPopup& m) {
  if (activeMenu_)
    HandleInitMenuPopup(m, activeMenu_, sendTo_);
  else
    Inherited(m);
}

void TFcCustomShellList::WMDrawItem(TWMDrawItem& m) {
  const DRAWITEMSTRUCT* item = m.DrawItemStruct;
  if (activeMenu_ && item && item->CtlType == ODT_MENU)
    HandleDrawItem(m, activeMenu_, smallImages_->Handle(), sendTo_.get());
  else
    Inherited(m);
}

void TFcCustomShellList::WMMeasureItem(TWMMeasureItem& m) {
  if (activeMenu_)
    HandleMeasureItem(m, activeMenu_, sendTo_.get());
  else
    Inherited(m);
}

void TFcCustomShellList::WMMenuChar(TWMMenuChar& m) {
  if (activeMenu_)
    HandleMenuChar(m, activeMenu_, sendTo_.get());
  else
    Inherited(m);
}

void TFcCustomShellList::WMMenuSelect(TWMMenuSelect& m) {
  if (activeMenu_)
    HandleMenuSelect(m, activeMenu_, this, OnPopupHint);
  else
    Inherited(m);
}

void TFcCustomShellList::CMGetShellBrowser(TMessage& m) { m.Result = 0; }

// ---- Renaming -------------------------------------------------------------------------------------

bool TFcCustomShellList::CanEdit(TListItem* item) {
  TFcShellListData* data = ShellData(item);
  if (!data) return TFcCustomListView::CanEdit(item);
  if (ComponentState().Contains(csDesigning) || !data->CanRename() || !TFcCustomListView::CanEdit(item))
    return false;
  if (HWND edit = EditHandle())
    SetWindowTextA(edit, ShellGetDisplayName(shellFolder_.Get(), data->RelIdList(), snkForEditing).c_str());
  return true;
}

void TFcCustomShellList::Edit(TListItem* item, const std::string& text) {
  TFcShellListData* data = ShellData(item);
  if (!data || !shellFolder_) {
    TFcCustomListView::Edit(item, text);
    RunPendingRefresh();
    return;
  }
  std::string name = Trim(text);
  if (OnEdited) OnEdited(this, item, name);
  {
    TTemporaryCursor hourglass(crHourGlass);
    TRestore<int> busy(busy_, busy_ + 1);
    ownChange_ = true;
    std::wstring wide = AnsiToWide(name.substr(0, MAX_PATH));
    LPITEMIDLIST renamed = nullptr;
    HRESULT hr = shellFolder_->SetNameOf(OwnerWindow(), data->RelIdList(), wide.c_str(), kRenameFlags,
                                         &renamed);
    if (SUCCEEDED(hr) && renamed)
      data->SetRelIdList(renamed);
    else
      data->Invalidate();
    if (FAILED(hr)) ownChange_ = false;
    item->SetCaption(data->DisplayName());
  }
  RunPendingRefresh();
}

void TFcCustomShellList::EditCancelled(TListItem* item) {
  TFcCustomListView::EditCancelled(item);
  RunPendingRefresh();
}

void TFcCustomShellList::RunPendingRefresh() {
  // An edit box still exists while its end is told: the refresh runs after it has gone.
  if (refreshPending_ && HandleAllocated()) PostMessageA(Handle(), CM_REFRESHPENDING, 0, 0);
}

void TFcCustomShellList::CMRefreshPending(TMessage&) {
  if (!refreshPending_ || RefreshMustWait()) return;
  refreshPending_ = false;
  RefreshItems();
}

// ---- New folders ----------------------------------------------------------------------------------

bool TFcCustomShellList::CreateNewFolder(bool rename) {
  std::string path = folder_->PathName();
  // A folder outside the file system (My Computer) holds no new folder: without this the
  // folder would be made in the process's current folder.
  if (path.empty()) return false;
  ownChange_ = true;
  std::string name;
  if (!::CreateNewFolder(path, name)) {
    ownChange_ = false;
    return false;
  }
  if (IsEmptyIdList(folder_->IdList())) WaitWithHourglass(2100);
  RefreshItems();
  if (rename) {
    newFolderName_ = name;
    PostMessageA(Handle(), CM_EDITNEWFOLDER, 0, 0);
  }
  return true;
}

void TFcCustomShellList::CMEditNewFolder(TMessage&) {
  std::string name = std::exchange(newFolderName_, std::string());
  if (name.empty()) return;
  SetFocus();
  for (int i = 0; i < Items()->Count(); ++i) {
    TListItem* item = Items()->Item(i);
    TFcShellListData* data = ShellData(item);
    if (data && data->DisplayName() == name) {
      item->MakeVisible(false);
      item->EditCaption();
      return;
    }
  }
}
