// The shell tree's commands: shell verbs on nodes, new folders, renaming, and the context
// menus (unit of FcShellTree.h).

#include "platform/Forms.h"
#include "platform/Guards.h"
#include "shell/FcShellCombo.h"
#include "shell/FcShellList.h"
#include "shell/FcShellMenus.h"
#include "shell/FcShellTree.h"
#include "shell/FcShellUtils.h"

// ---- Commands --------------------------------------------------------------------------------

HRESULT TFcCustomShellTree::ExecuteVerb(TTreeNode* node, const std::string& verb) {
  TFcShellTreeData* data = NodeData(node);
  if (!data || !data->Parent()) return S_FALSE;
  IShellFolder* folder = data->ParentFolder();
  if (!folder) return S_FALSE;
  LPCITEMIDLIST items[] = {data->RelIdList()};
  TComPtr<IContextMenu> menu;
  OleCheck(folder->GetUIObjectOf(OwnerWindow(), 1, items, IID_IContextMenu, nullptr, menu.OutVoid()));
  HRESULT hr = InvokeShellCommand(menu.Get(), OwnerWindow(), verb);
  RefreshNodes();
  return hr;
}

bool TFcCustomShellTree::CreateNewFolder() {
  // A node without a path (My Computer) has no folder to make one in.
  std::string path = SelectedPathName();
  if (path.empty()) return false;
  ownChange_ = true;
  std::string name;
  if (!::CreateNewFolder(path, name)) {
    // Nothing changed on disk: the next notice is somebody else's.
    ownChange_ = false;
    return false;
  }
  WaitWithHourglass(IsEmptyIdList(selectedFolder_->IdList()) ? 2100 : 1000);
  RefreshNodes();
  TTreeNode* selected = Selected();
  if (!selected) return true;
  PopulateNode(selected);
  selected->Expand(false);
  for (int i = 0; i < selected->Count(); ++i)
    if (TTreeNode* made = selected->Item(i); made->Text() == name) {
      // The new folder is the one chosen while its name is typed; the tree draws no caption on
      // a chosen node while a name is edited, and the folder it was made in keeps its own.
      SetSelected(made);
      made->EditText();
      break;
    }
  return true;
}

void TFcCustomShellTree::KeyDown(WORD& key, TShiftState shift) {
  TFcCustomTreeView::KeyDown(key, shift);
  if (key == 0 || !options_.Contains(stoDefaultKeyHandling) || IsEditing() || Designing()) return;
  TShortCut pressed = ShortCut(key, shift);
  const auto& keys = ShellControlDefKeys();
  auto is = [&](TFcShellControlDefKey k) { return keys[k].ShortCut != 0 && keys[k].ShortCut == pressed; };
  TTreeNode* node = Selected();
  if (is(dkRename)) {
    if (node) node->EditText();
  } else if (is(dkRefresh)) {
    RefreshNodes();
  } else if (is(dkCut)) {
    ExecuteVerb(node, "cut");
  } else if (is(dkCopy)) {
    ExecuteVerb(node, "copy");
  } else if (is(dkPaste)) {
    ExecuteVerb(node, "paste");
  } else if (is(dkDelete) || (keys[dkDelete].ShortCut != 0 && (keys[dkDelete].ShortCut | scShift) == pressed)) {
    ExecuteVerb(node, "delete");
  } else {
    return;
  }
  key = 0;
}

// ---- Renaming --------------------------------------------------------------------------------

bool TFcCustomShellTree::CanEdit(TTreeNode* node) {
  TFcShellTreeData* data = NodeData(node);
  if (!data) return TFcCustomTreeView::CanEdit(node);
  if (!data->CanRename() || !TFcCustomTreeView::CanEdit(node) || Designing()) return false;
  if (HWND edit = EditHandle())
    SetWindowTextA(edit, ShellGetDisplayName(data->ParentFolder(), data->RelIdList(), snkForEditing).c_str());
  return true;
}

void TFcCustomShellTree::Edit(TTreeNode* node, const std::string& text) {
  TFcShellTreeData* data = NodeData(node);
  if (!data) {
    TFcCustomTreeView::Edit(node, text);
    return;
  }
  std::string name = Trim(text);
  if (OnEdited) OnEdited(this, node, name);
  {
    TTemporaryCursor hourglass(crHourGlass);
    TRestore<int> busy(busy_, busy_ + 1);
    ownChange_ = true;
    IShellFolder* folder = data->ParentFolder();
    LPITEMIDLIST renamed = nullptr;
    HRESULT hr = E_FAIL;
    if (folder) {
      std::wstring wide = AnsiToWide(name.substr(0, MAX_PATH));
      hr = folder->SetNameOf(OwnerWindow(), data->RelIdList(), wide.c_str(), kRenameFlags, &renamed);
    }
    if (FAILED(hr)) ownChange_ = false;
    TIdListPtr newItem(renamed);
    if (SUCCEEDED(hr) && newItem) {
      // The lists below the node were built from its old name.
      for (TTreeNode* n = node->GetFirstChild(); n && n->HasAsParent(node); n = n->GetNext())
        if (TFcShellTreeData* below = NodeData(n)) below->Reset();
      data->SetRelIdList(newItem.get());
      node->SetText(ShellGetDisplayName(folder, newItem.get(), snkInFolder));
      // The selection's folder has a new list when it is this folder or lies in it.
      TTreeNode* selected = Selected();
      if (TFcShellTreeData* shown = NodeData(selected); shown && (selected == node || selected->HasAsParent(node))) {
        selectedFolder_->SetIdList(shown->AbsIdList());
        ListSetFolder(shown->AbsIdList());
        if (shellCombo_) shellCombo_->SelectedFolder()->SetIdList(shown->AbsIdList());
        // Whoever shows the chosen folder (a path in a status bar) hears of its new name.
        TFcCustomTreeView::Change(selected);
      }
    } else if (SUCCEEDED(hr)) {
      node->SetText(ShellGetDisplayName(folder, data->RelIdList(), snkInFolder));
    }
  }
  SortChildren(node->Parent());
  RunPendingRefresh();
}

void TFcCustomShellTree::EditCancelled(TTreeNode* node) {
  TFcCustomTreeView::EditCancelled(node);
  RunPendingRefresh();
}

// ---- Context menus ---------------------------------------------------------------------------

void TFcCustomShellTree::NodeContextMenu(TTreeNode* node, POINT& pos, TPopupMenu*& menu) {
  TFcCustomTreeView::NodeContextMenu(node, pos, menu);
  if (!node || !options_.Contains(stoContextMenus) || Designing()) return;
  // The shell's menu instead of the tree's own.
  menu = nullptr;
  ShowShellContextMenu(node, pos);
}

void TFcCustomShellTree::ShowShellContextMenu(TTreeNode* node, POINT point) {
  TFcShellTreeData* data = NodeData(node);
  if (!data || IsEmptyIdList(data->AbsIdList())) return;
  IShellFolder* folder = data->ParentFolder();
  if (!folder) return;
  LPCITEMIDLIST items[] = {data->RelIdList()};
  TComPtr<IContextMenu> menu;
  HMENU popup = nullptr;
  UINT flags = CMF_EXPLORE | (ReadOnly() ? 0 : CMF_CANRENAME);
  if (FAILED(CreateShellContextMenu(OwnerWindow(), folder, 1, items, kFirstShellCommand, flags, menu.Out(), &popup)))
    return;
  TScopeExit destroyPopup([popup]() noexcept { DestroyMenu(popup); });
  int result = 0;
  {
    // Notices and refreshes wait while the menu is open.
    TRestore<bool> inMenu(dragging_, true);
    TRestore<IContextMenu*> active(activeMenu_, menu.Get());
    POINT screen = ClientToScreen(point);
    result = TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0, Handle(), nullptr);
  }
  if (result == static_cast<int>(kRenameCommand)) {
    node->EditText();
  } else if (result >= static_cast<int>(kFirstShellCommand)) {
    InvokeShellCommand(menu.Get(), OwnerWindow(), static_cast<UINT>(result) - kFirstShellCommand);
    RefreshNodes();
  } else if (result > 0) {
    DoMenuCommand(node, result - 1);
  }
}

void TFcCustomShellTree::DoMenuCommand(TTreeNode* node, int index) {
  TFcShellTreeData* data = NodeData(node);
  if (!data || !sendTo_ || index < 0 || index >= static_cast<int>(sendTo_->size())) return;
  IShellFolder* folder = data->ParentFolder();
  if (!folder) return;
  TFcIdListArray parts(data->AbsIdList());
  TIdListPtr parentList(CopyIdList(nullptr, parts.GetLeading(1)));
  TComPtr<IDataObject> object(CreateShellDataObject(folder, parentList.get(), {data->RelIdList()}));
  SendToTarget((*sendTo_)[static_cast<std::size_t>(index)].Name, object.Get());
}

void TFcCustomShellTree::WMInitMenuPopup(TWMInitMenuPopup& m) {
  if (activeMenu_)
    HandleInitMenuPopup(m, activeMenu_, sendTo_);
  else
    Inherited(m);
}

void TFcCustomShellTree::WMDrawItem(TWMDrawItem& m) {
  if (activeMenu_ && m.DrawItemStruct->CtlType == ODT_MENU)
    HandleDrawItem(m, activeMenu_, images_->Handle(), sendTo_.get());
  else
    Inherited(m);
}

void TFcCustomShellTree::WMMeasureItem(TWMMeasureItem& m) {
  if (activeMenu_ && m.MeasureItemStruct->CtlType == ODT_MENU)
    HandleMeasureItem(m, activeMenu_, sendTo_.get());
  else
    Inherited(m);
}

void TFcCustomShellTree::WMMenuChar(TWMMenuChar& m) {
  if (activeMenu_)
    HandleMenuChar(m, activeMenu_, sendTo_.get());
  else
    Inherited(m);
}

void TFcCustomShellTree::WMMenuSelect(TWMMenuSelect& m) {
  if (activeMenu_) HandleMenuSelect(m, activeMenu_, this, OnPopupHint);
  Inherited(m);
}
