// The shell tree: its nodes made from the shell's folders, its properties and window, filling
// and selection, keeping current with change notices, and its links to the list and combo
// (unit of FcShellTree.h; its commands and menus are in FcShellTreeCommands.cpp, its drags and
// drops in FcShellTreeDragDrop.cpp).

#include "shell/FcShellTree.h"

#include <dbt.h>

#include <utility>
#include <vector>

#include "platform/Forms.h"
#include "platform/Guards.h"
#include "shell/FcShellUtils.h"

#include "shell/FcShellCombo.h"
#include "shell/FcShellList.h"

const TEnumInfo ShellTreeOptionInfo{
    "TFcShellTreeOption",
    {"stoAutoFill", "stoVirtualFolders", "stoDesignInteractive", "stoDefaultKeyHandling", "stoContextMenus",
     "stoDynamicRefresh", "stoIncludeNonFolders", "stoOleDrag", "stoOleDrop", "stoShowHidden"}};

namespace {

const TFcShellTreeOptions kDefaultOptions{stoAutoFill,     stoVirtualFolders, stoDefaultKeyHandling,
                                          stoContextMenus, stoDynamicRefresh, stoOleDrag,
                                          stoOleDrop,      stoShowHidden};

// What a node is made from. The bit older shells called "ghosted" marks hidden items, which
// are drawn faded.
constexpr SFGAOF kGhosted = SFGAO_HIDDEN;
constexpr SFGAOF kNodeAttributes = SFGAO_HASSUBFOLDER | SFGAO_FILESYSTEM | SFGAO_FOLDER | SFGAO_FILESYSANCESTOR |
                                   SFGAO_REMOVABLE | kGhosted | SFGAO_SHARE | SFGAO_LINK;

// Posted to itself: the refresh that waited for an edit to end runs now.
constexpr UINT CM_RUNPENDINGREFRESH = 0x468;


// Follows the selection at once after a click, after this while the keyboard moves it.
constexpr unsigned kFollowDelay = 500;
// Refreshes this long after the last change notice (with the focus, and without).
constexpr unsigned kFocusedRefreshDelay = 400;
constexpr unsigned kRefreshDelay = 2000;

// Reads the rest of an enumeration; the code it ended with (S_FALSE when every item came).
HRESULT ReadAllItems(IEnumIDList* items, std::vector<TIdListPtr>& out) {
  for (;;) {
    LPITEMIDLIST item = nullptr;
    ULONG fetched = 0;
    HRESULT hr = items->Next(1, &item, &fetched);
    if (hr != S_OK || fetched != 1 || !item) {
      ShellMemFree(item);
      return hr == S_OK ? S_FALSE : hr;
    }
    out.emplace_back(item);
  }
}

// The shell's comparison of two items of a folder: negative, 0 or positive; 0 when it fails.
int CompareItems(IShellFolder* folder, LPCITEMIDLIST a, LPCITEMIDLIST b) {
  HRESULT hr = folder->CompareIDs(0, a, b);
  return SUCCEEDED(hr) ? static_cast<short>(HRESULT_CODE(hr)) : 0;
}

// A folder of the file system that is no longer on the disk (the shell still answers for its
// item while it is cached).
bool GoneFromDisk(IShellFolder* folder, LPCITEMIDLIST parentList, LPCITEMIDLIST item) {
  SFGAOF attributes = SFGAO_FILESYSTEM;
  LPCITEMIDLIST items[] = {item};
  if (FAILED(folder->GetAttributesOf(1, items, &attributes)) || !(attributes & SFGAO_FILESYSTEM)) return false;
  TIdListPtr list(ConcatIdLists(nullptr, parentList, item));
  std::string path = ShellGetPathFromIdList(list.get());
  // A drive without a medium shows no box.
  TScopeExit restore([mode = SetErrorMode(SEM_FAILCRITICALERRORS)]() noexcept { SetErrorMode(mode); });
  return !path.empty() && GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

}  // namespace

// ---- Construction ----------------------------------------------------------------------------

TMessageTable& TFcCustomShellTree::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(CN_NOTIFY, Handler(&TFcCustomShellTree::CNNotify));
    t->Add(CM_SHELLCHANGENOTICE, Handler(&TFcCustomShellTree::CMShellChangeNotice));
    t->Add(CM_SHELLFILLWHENEMPTY, Handler(&TFcCustomShellTree::CMShellFillWhenEmpty));
    t->Add(CM_RUNPENDINGREFRESH, Handler(&TFcCustomShellTree::CMDeferredRefresh));
    t->Add(kForgetDropTarget, Handler(&TFcCustomShellTree::CMForgetDropTarget));
    t->Add(WM_PAINT, Handler(&TFcCustomShellTree::WMPaint));
    t->Add(WM_NCDESTROY, Handler(&TFcCustomShellTree::WMNCDestroy));
    t->Add(WM_WINDOWPOSCHANGED, Handler(&TFcCustomShellTree::WMWindowPosChanged));
    t->Add(TVM_DELETEITEM, Handler(&TFcCustomShellTree::TVMDeleteItem));
    t->Add(WM_INITMENUPOPUP, Handler(&TFcCustomShellTree::WMInitMenuPopup));
    t->Add(WM_DRAWITEM, Handler(&TFcCustomShellTree::WMDrawItem));
    t->Add(WM_MEASUREITEM, Handler(&TFcCustomShellTree::WMMeasureItem));
    t->Add(WM_MENUCHAR, Handler(&TFcCustomShellTree::WMMenuChar));
    t->Add(WM_MENUSELECT, Handler(&TFcCustomShellTree::WMMenuSelect));
    return t;
  }();
  return *table;
}

TFcCustomShellTree::TFcCustomShellTree(TComponent* owner)
    : TFcCustomTreeView(owner),
      baseFolder_(std::make_unique<TFcShellLocator>()),
      selectedFolder_(std::make_unique<TFcShellLocator>()),
      images_(std::make_unique<TCustomImageList>(nullptr)),
      options_(kDefaultOptions),
      refreshTimer_(std::make_unique<TTimer>(nullptr)) {
  baseFolder_->OnChange = [this](TObject* sender) { BaseFolderChanged(sender); };
  selectedFolder_->OnChange = [this](TObject* sender) { SelectedFolderChanged(sender); };
  refreshTimer_->SetEnabled(false);
  refreshTimer_->OnTimer = [this](TObject* sender) { RefreshTimerTimer(sender); };
  // The system's small icons, shared with every other user of them.
  images_->SetShareImages(true);
  images_->SetHandle(ShellGetSystemImageList(0));
  SetImages(images_.get());
  SetShowRoot(false);
  SetBounds(Left(), Top(), 150, 150);
  if (TFcDeviceChangeHandler* devices = ShellDeviceChangeHandler())
    devices->AddSubscriber(this, &TFcCustomShellTree::DeviceChangeNotice);
}

TFcCustomShellTree::~TFcCustomShellTree() {
  Destroying();
  // After the shell module's shut-down there is no notifier left to leave.
  if (TFcDeviceChangeHandler* devices = ShellDeviceChangeHandler())
    devices->RemoveSubscriber(this, &TFcCustomShellTree::DeviceChangeNotice);
  refreshTimer_->SetEnabled(false);
  // The window goes while the whole tree is still here to let its parts go with it.
  DestroyHandle();
  {
    TRestore<int> busy(busy_, busy_ + 1);
    Items()->Clear();
  }
  if (dropTarget_) dropTarget_->Detach();
  dropTarget_.Reset();
  watcher_.reset();
  SetImages(nullptr);
}

// ---- Properties ------------------------------------------------------------------------------

void TFcCustomShellTree::SetBaseFolder(TFcShellLocator* value) {
  if (Loading()) return;
  baseFolder_->Assign(value);
}

void TFcCustomShellTree::BaseFolderChanged(TObject*) {
  if (Loading()) return;
  {
    TRestore<int> busy(busy_, busy_ + 1);
    selectedFolder_->Clear();
  }
  if (options_.Contains(stoAutoFill)) {
    followNow_ = true;
    FillTree();
  }
}

void TFcCustomShellTree::SetSelectedFolder(TFcShellLocator* value) {
  if (Loading() || busy_ > 0) {
    ListSetFolder(value ? value->IdList() : nullptr);
    return;
  }
  selectedFolder_->Assign(value);
}

void TFcCustomShellTree::SelectedFolderChanged(TObject*) {
  if (Items()->GetFirstNode()) SelectIdList(selectedFolder_->IdList());
}

void TFcCustomShellTree::SetOptions(TFcShellTreeOptions value) {
  TFcShellTreeOptions old = std::exchange(options_, value);
  if (!HandleAllocated()) return;
  if (old.Contains(stoOleDrop) != value.Contains(stoOleDrop)) RegisterDropTarget(value.Contains(stoOleDrop));
  UpdateStyle(TVS_DISABLEDRAGDROP, !value.Contains(stoOleDrag) && DragMode() == dmManual);
  if (!Designing() && old.Contains(stoDynamicRefresh) != value.Contains(stoDynamicRefresh)) {
    if (value.Contains(stoDynamicRefresh))
      WatchAllDrives();
    else
      WatchDrive("");
  }
}

TFcShellTreeData* TFcCustomShellTree::NodeData(const TTreeNode* node) const {
  if (!node || !node->Data() || !shellData_.count(node->Data())) return nullptr;
  return static_cast<TFcShellTreeData*>(node->Data());
}

std::string TFcCustomShellTree::SelectedPathName() {
  TFcShellTreeData* data = NodeData(Selected());
  return data ? data->PathName() : std::string();
}

HWND TFcCustomShellTree::OwnerWindow() { return noOwner_ > 0 ? nullptr : GetTopFormHandle(this); }

int TFcCustomShellTree::IconOf(LPCITEMIDLIST list, bool open) {
  return ShellGetIconIndex(list, SHGFI_SMALLICON | (open ? SHGFI_OPENICON : 0));
}

// ---- Window ----------------------------------------------------------------------------------

void TFcCustomShellTree::CreateParams(TCreateParams& params) {
  TFcCustomTreeView::CreateParams(params);
  if (options_.Contains(stoOleDrag)) params.Style &= ~static_cast<DWORD>(TVS_DISABLEDRAGDROP);
}

void TFcCustomShellTree::CreateWnd() {
  TFcCustomTreeView::CreateWnd();
  if (options_.Contains(stoOleDrop)) RegisterDropTarget(true);
  if (Loading()) return;
  if (!Items()->GetFirstNode()) {
    if (options_.Contains(stoAutoFill)) PostMessageA(Handle(), CM_SHELLFILLWHENEMPTY, 0, 0);
  } else if (options_.Contains(stoDynamicRefresh) && !Designing()) {
    // Filled before there was a window to be told of changes.
    WatchAllDrives();
  }
  ListSetFolder(selectedFolder_->IdList());
}

void TFcCustomShellTree::DestroyWnd() {
  TRestore<bool> going(destroyingWnd_, true);
  {
    TRestore<int> busy(busy_, busy_ + 1);
    SetSelected(nullptr);
    Items()->Clear();
  }
  TFcCustomTreeView::DestroyWnd();
}

void TFcCustomShellTree::Loaded() {
  TFcCustomTreeView::Loaded();
  if (!options_.Contains(stoAutoFill)) return;
  // A linked combo read after the tree fills it with its own folder once the combo is read;
  // one read before has given that folder already.
  if (shellCombo_ && shellCombo_->ComponentState().Contains(csLoading)) return;
  if (!Items()->GetFirstNode()) FillTree();
  ListSetFolder(selectedFolder_->IdList());
}

void TFcCustomShellTree::Notification(TComponent* component, TOperation operation) {
  TFcCustomTreeView::Notification(component, operation);
  if (operation != opRemove || !component) return;
  if (component == shellList_) shellList_ = nullptr;
  if (component == shellCombo_) shellCombo_ = nullptr;
}

void TFcCustomShellTree::WMNCDestroy(TMessage& m) {
  RegisterDropTarget(false);
  watcher_.reset();
  Inherited(m);
}

void TFcCustomShellTree::WMWindowPosChanged(TMessage& m) {
  if (!destroyingWnd_) Inherited(m);
}

void TFcCustomShellTree::TVMDeleteItem(TTVMDeleteItem& m) {
  // The whole tree going is the tree's own doing.
  TRestore<int> busy(busy_, m.Object == TVI_ROOT ? busy_ + 1 : busy_);
  Inherited(m);
}

void TFcCustomShellTree::WMPaint(TMessage& m) {
  // The shared image lists paint on the tree's colour while the tree paints.
  COLORREF colour = ColorToRGB(Color());
  HIMAGELIST lists[] = {Images() && Images()->HandleAllocated() ? Images()->Handle() : nullptr,
                        StateImages() && StateImages()->HandleAllocated() ? StateImages()->Handle() : nullptr};
  COLORREF saved[2] = {CLR_NONE, CLR_NONE};
  for (int i = 0; i < 2; ++i)
    if (lists[i]) saved[i] = ImageList_SetBkColor(lists[i], colour);
  TScopeExit restore([&]() noexcept {
    for (int i = 0; i < 2; ++i)
      if (lists[i]) ImageList_SetBkColor(lists[i], saved[i]);
  });
  Inherited(m);
}

void TFcCustomShellTree::CNNotify(TWMNotify& m) {
  // A click follows at once; only the keyboard's moves wait.
  if (m.NMHdr->code == static_cast<UINT>(NM_CLICK)) followNow_ = true;
  Inherited(m);
}

// ---- Filling ---------------------------------------------------------------------------------

void TFcCustomShellTree::FillTree() {
  if (RefreshMustWait()) {
    refreshPending_ = true;
    return;
  }
  refreshPending_ = false;
  {
    TTemporaryCursor hourglass(crHourGlass);
    {
      TRestore<int> busy(busy_, busy_ + 1);
      SetSelected(nullptr);
      Items()->Clear();
    }
    TComPtr<IShellFolder> folder;
    OleCheck(ShellGetFolderFromIdList(baseFolder_->IdList(), folder.Out()));
    FillNode(folder.Get(), nullptr);
    if (LPCITEMIDLIST selected = selectedFolder_->IdList())
      SelectIdList(selected);
    else if (TTreeNode* first = Items()->GetFirstNode())
      SetSelected(first);
    SyncLinkedControls(false);
  }
  if (options_.Contains(stoDynamicRefresh) && !Designing()) WatchAllDrives();
}

void TFcCustomShellTree::FillNode(IShellFolder* folder, TTreeNode* node) {
  DoFillStart();
  try {
    // Critical-error boxes (a drive without a medium...) stay away while the shell is asked.
    TScopeExit restore([mode = SetErrorMode(SEM_FAILCRITICALERRORS)]() noexcept { SetErrorMode(mode); });
    bool newRoot = node == nullptr;
    if (newRoot) {
      LPCITEMIDLIST base = baseFolder_->IdList();
      LPCITEMIDLIST list = base ? base : EmptyIdList();
      SHFILEINFOA info{};
      std::string text = ShellGetFileInfo(list, SHGFI_DISPLAYNAME, info) ? info.szDisplayName : "";
      auto data = std::make_unique<TFcShellTreeData>(this);
      data->SetIdList(nullptr, list);
      shellData_.insert(data.get());
      node = Items()->AddChildObject(nullptr, text, data.release());
      node->SetImageIndex(IconOf(list, false));
      node->SetSelectedIndex(IconOf(list, true));
      DoInsertItem(node);
    }
    TFcShellTreeData* data = NodeData(node);
    if (!data) return;
    TComPtr<IEnumIDList> items;
    SHCONTF flags = SHCONTF_FOLDERS | (options_.Contains(stoShowHidden) ? SHCONTF_INCLUDEHIDDEN : 0) |
                    (options_.Contains(stoIncludeNonFolders) ? SHCONTF_NONFOLDERS : 0);
    if (FAILED(folder->EnumObjects(OwnerWindow(), flags, items.Out()))) {
      // The folder may answer later (a drive without a medium): it keeps its button.
      node->SetHasChildren(true);
    } else {
      // A folder that answers without an enumerator has nothing in it.
      std::vector<TIdListPtr> found;
      HRESULT end = items ? ReadAllItems(items.Get(), found) : S_FALSE;
      for (const TIdListPtr& item : found) OleCheck(AddItem(folder, data->AbsIdList(), item.get(), node));
      if (node->Count() == 0) node->SetHasChildren(false);
      if (end != E_FAIL) {
        if (end != S_FALSE) OleCheck(end);
        SortChildren(node);
        if (newRoot) node->Expand(false);
      }
    }
  } catch (...) {
    DoFillComplete();
    throw;
  }
  DoFillComplete();
}

HRESULT TFcCustomShellTree::AddItem(IShellFolder* folder, LPCITEMIDLIST parentIdList, LPCITEMIDLIST item,
                                    TTreeNode* parentNode) {
  SFGAOF attributes = kNodeAttributes;
  LPCITEMIDLIST items[] = {item};
  HRESULT hr = folder->GetAttributesOf(1, items, &attributes);
  if (FAILED(hr)) return hr;
  attributes &= kNodeAttributes;
  bool candidate =
      options_.Contains(stoVirtualFolders) || (attributes & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR)) != 0;
  if (!candidate || !DoAddItem(folder, parentIdList, item, attributes)) return S_OK;
  auto data = std::make_unique<TFcShellTreeData>(this);
  data->SetIdList(NodeData(parentNode), item);
  std::string text = ShellGetDisplayName(folder, item, snkInFolder);
  shellData_.insert(data.get());
  TTreeNode* node = nullptr;
  try {
    node = Items()->AddChildObject(parentNode, text, data.get());
  } catch (...) {
    shellData_.erase(data.get());
    throw;
  }
  data.release();
  bool isFolder = (attributes & SFGAO_FOLDER) != 0;
  bool hasSubfolders = (attributes & SFGAO_HASSUBFOLDER) != 0;
  node->SetHasChildren(options_.Contains(stoIncludeNonFolders) ? isFolder || hasSubfolders
                                                               : isFolder && hasSubfolders);
  node->SetOverlayIndex(ShellOverlayIndex(attributes));
  if (attributes & kGhosted) node->SetCut(true);
  DoInsertItem(node);
  return S_OK;
}

bool TFcCustomShellTree::DoAddItem(IShellFolder* folder, LPCITEMIDLIST parentIdList, LPCITEMIDLIST item,
                                   SFGAOF attributes) {
  bool allow = true;
  if (OnAddItem) OnAddItem(this, folder, parentIdList, item, attributes, allow);
  return allow;
}

void TFcCustomShellTree::DoInsertItem(TTreeNode* node) {
  lastInserted_ = node;
  if (OnInsertItem) OnInsertItem(this, node);
}

void TFcCustomShellTree::DoFillStart() {
  if (OnFillStart) OnFillStart(this);
}

void TFcCustomShellTree::DoFillComplete() {
  if (OnFillComplete) OnFillComplete(this);
}

void TFcCustomShellTree::PopulateNode(TTreeNode* node) {
  TFcShellTreeData* data = NodeData(node);
  if (!data || !node->HasChildren() || node->Count() > 0) return;
  TTemporaryCursor hourglass(crHourGlass);
  if (IShellFolder* folder = data->ThisFolder())
    FillNode(folder, node);
  else
    node->SetHasChildren(false);
}

bool TFcCustomShellTree::CanExpand(TTreeNode* node) {
  if (Loading() || !TFcCustomTreeView::CanExpand(node)) return false;
  PopulateNode(node);
  return true;
}

void TFcCustomShellTree::FreeNodeData(TTreeNode* node) {
  TFcShellTreeData* data = NodeData(node);
  if (!data) return;
  shellData_.erase(data);
  node->SetData(nullptr);
  delete data;
}

void TFcCustomShellTree::Delete(TTreeNode* node) {
  if (node == lastInserted_) lastInserted_ = nullptr;
  if (node == draggedNode_) draggedNode_ = nullptr;
  TScopeExit freeData([this, node]() noexcept { FreeNodeData(node); });
  if (TFcShellTreeData* data = NodeData(node); data && OnDeleteItem) OnDeleteItem(this, node, data);
  TFcCustomTreeView::Delete(node);
}

void TFcCustomShellTree::GetImageIndex(TTreeNode* node) {
  TFcCustomTreeView::GetImageIndex(node);
  // Icons are looked up the first time a node is drawn.
  if (TFcShellTreeData* data = NodeData(node); data && node->ImageIndex() < 0)
    node->SetImageIndex(IconOf(data->AbsIdList(), false));
}

void TFcCustomShellTree::GetSelectedIndex(TTreeNode* node) {
  TFcCustomTreeView::GetSelectedIndex(node);
  if (TFcShellTreeData* data = NodeData(node); data && node->SelectedIndex() < 0)
    node->SetSelectedIndex(IconOf(data->AbsIdList(), true));
}

int TFcCustomShellTree::CompareNodes(TTreeNode* a, TTreeNode* b) {
  TFcShellTreeData* first = NodeData(a);
  TFcShellTreeData* second = NodeData(b);
  if (!first || !second) return 0;
  IShellFolder* folder = first->ParentFolder();
  return folder ? CompareItems(folder, first->RelIdList(), second->RelIdList()) : 0;
}

void TFcCustomShellTree::SortChildren(TTreeNode* node) {
  auto compare = [this](TTreeNode* a, TTreeNode* b) { return CompareNodes(a, b); };
  if (node)
    node->CustomSort(compare);
  else
    CustomSort(compare);
}

// ---- Selection -------------------------------------------------------------------------------

void TFcCustomShellTree::SelectIdList(LPCITEMIDLIST target) {
  TTreeNode* root = Items()->GetFirstNode();
  if (busy_ > 0 || !root) return;
  followNow_ = true;
  // The selection changes the locators on the way: the target is kept apart.
  TIdListPtr own(target ? CopyIdList(nullptr, target) : nullptr);
  TTreeNode* reached = root;
  {
    Items()->BeginUpdate();
    TScopeExit endUpdate([this]() noexcept { Items()->EndUpdate(); });
    TRestore<int> busy(busy_, busy_ + 1);
    TFcIdListArray base(baseFolder_->IdList()), path(own.get());
    int baseLevels = base.Count(), levels = path.Count();
    if (levels > 0) {
      bool inside =
          levels >= baseLevels &&
          (baseLevels == 0 || CompareIdLists(path.GetLeading(levels - baseLevels), baseFolder_->IdList()) == 0);
      root->Expand(false);
      if (!inside) {
        // Nothing outside the base folder is shown.
        MessageBeep(0xFFFFFFFF);
      } else {
        for (int level = baseLevels; level < levels; ++level) {
          TIdListPtr item(CopyIdList(nullptr, path.GetItem(level)));
          TTreeNode* next = FindOrAddLevel(reached, item.get());
          if (!next) {
            MessageBeep(0xFFFFFFFF);
            break;
          }
          reached = next;
          if (level < levels - 1 || (shellList_ && shellList_->Options().Contains(sloHideFoldersWhenLinkedToTree)))
            reached->Expand(false);
        }
      }
    }
  }
  if (reached->Selected())
    followNow_ = false;
  else
    SetSelected(reached);
  // Made visible top to bottom only: scrolled sideways to a deep node, the tree would cut the
  // captions of the levels above it.
  const int sideways = HandleAllocated() ? GetScrollPos(Handle(), SB_HORZ) : 0;
  reached->MakeVisible();
  if (HandleAllocated() && GetScrollPos(Handle(), SB_HORZ) != sideways)
    SendMessageA(Handle(), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, sideways), 0);
}

TTreeNode* TFcCustomShellTree::FindOrAddLevel(TTreeNode* node, LPCITEMIDLIST item) {
  TFcShellTreeData* data = NodeData(node);
  IShellFolder* folder = data ? data->ThisFolder() : nullptr;
  if (!folder) return nullptr;
  for (int i = 0; i < node->Count(); ++i) {
    TTreeNode* child = node->Item(i);
    TFcShellTreeData* childData = NodeData(child);
    if (!childData) continue;
    HRESULT hr = folder->CompareIDs(0, childData->RelIdList(), item);
    if (SUCCEEDED(hr) && HRESULT_CODE(hr) == 0) return child;
  }
  // Not among the children: hidden, or new since the node was filled. A folder that has left
  // the disk is not brought back.
  if (GoneFromDisk(folder, data->AbsIdList(), item)) return nullptr;
  lastInserted_ = nullptr;
  if (FAILED(AddItem(folder, data->AbsIdList(), item, node)) || !lastInserted_) return nullptr;
  TTreeNode* added = lastInserted_;
  SortChildren(node);
  return added;
}

void TFcCustomShellTree::Change(TTreeNode* node) {
  if (busy_ > 0 || Loading()) {
    if (TFcShellTreeData* data = NodeData(node)) {
      TRestore<int> busy(busy_, busy_ + 1);
      selectedFolder_->SetIdList(data->AbsIdList());
    }
    return;
  }
  TFcCustomTreeView::Change(node);
  bool now = std::exchange(followNow_, false);
  if (!NodeData(node)) return;
  if (now || !HasLinkedList()) {
    FollowSelection(node);
  } else {
    followPending_ = true;
    RestartRefreshTimer(kFollowDelay);
  }
}

void TFcCustomShellTree::FollowSelection(TTreeNode* node) {
  TFcShellTreeData* data = NodeData(node);
  if (!data) return;
  TRestore<int> busy(busy_, busy_ + 1);
  selectedFolder_->SetIdList(data->AbsIdList());
  if (shellList_) shellList_->TreeSelectionChanged(node);
  if (shellCombo_) shellCombo_->TreeSelectionChanged(node);
}

void TFcCustomShellTree::GoUp(int levels) {
  TTreeNode* node = Selected();
  if (!node || !node->Parent()) return;
  for (int i = 0; i < levels && node->Parent(); ++i) node = node->Parent();
  followNow_ = true;
  SetSelected(node);
}

void TFcCustomShellTree::SyncLinkedControls(bool all) {
  if (all) {
    if (shellList_) shellList_->SyncLinkedControls(false);
    if (shellCombo_) shellCombo_->SyncLinkedControls(false);
  }
  if (refreshTimer_->Enabled()) RefreshTimerTimer(refreshTimer_.get());
}

void TFcCustomShellTree::RestartRefreshTimer(unsigned milliseconds) {
  refreshTimer_->SetEnabled(false);
  refreshTimer_->SetInterval(milliseconds);
  refreshTimer_->SetEnabled(true);
}

void TFcCustomShellTree::RefreshTimerTimer(TObject*) {
  refreshTimer_->SetEnabled(false);
  bool follow = std::exchange(followPending_, false);
  bool refresh = std::exchange(refreshDue_, false);
  if (follow)
    if (TTreeNode* node = Selected()) FollowSelection(node);
  if (refresh) RefreshNodes();
}

// ---- Keeping current -------------------------------------------------------------------------

void TFcCustomShellTree::CMShellChangeNotice(TMessage&) {
  if (ownChange_ || dragging_) {
    ownChange_ = false;
    return;
  }
  refreshDue_ = true;
  RestartRefreshTimer(Focused() ? kFocusedRefreshDelay : kRefreshDelay);
}

void TFcCustomShellTree::CMShellFillWhenEmpty(TMessage&) {
  if (!Items()->GetFirstNode()) FillTree();
}

void TFcCustomShellTree::RunPendingRefresh() {
  // The edit box is still there while its end is reported.
  if (refreshPending_ && HandleAllocated()) PostMessageA(Handle(), CM_RUNPENDINGREFRESH, 0, 0);
}

void TFcCustomShellTree::CMForgetDropTarget(TMessage&) {
  if (!dragData_) SetDropTarget(nullptr);
}

void TFcCustomShellTree::CMDeferredRefresh(TMessage&) {
  if (refreshPending_ && !RefreshMustWait()) RefreshNodes();
}

void TFcCustomShellTree::RefreshNodes() {
  if (RefreshMustWait()) {
    refreshPending_ = true;
    return;
  }
  if (!Items()->GetFirstNode()) {
    FillTree();
    return;
  }
  refreshPending_ = false;
  TTemporaryCursor hourglass(crHourGlass);
  DoFillStart();
  TTreeNode* remembered = nullptr;
  {
    TRestore<int> busy(busy_, busy_ + 1);
    Items()->BeginUpdate();
    TScopeExit endUpdate([this]() noexcept { Items()->EndUpdate(); });
    remembered = Selected();
    SetSelected(nullptr);
    MergeNode(Items()->GetFirstNode(), remembered);
  }
  if (remembered) {
    followNow_ = true;
    SetSelected(remembered);
  }
  DoFillComplete();
}

void TFcCustomShellTree::MergeNode(TTreeNode* node, TTreeNode*& remembered) {
  TFcShellTreeData* data = NodeData(node);
  if (!data) return;
  // A node that has not been opened yet is filled when it opens.
  IShellFolder* folder = !node->HasChildren() || node->Count() > 0 ? data->ThisFolder() : nullptr;
  TComPtr<IEnumIDList> items;
  SHCONTF flags = SHCONTF_FOLDERS | (options_.Contains(stoShowHidden) ? SHCONTF_INCLUDEHIDDEN : 0) |
                  (options_.Contains(stoIncludeNonFolders) ? SHCONTF_NONFOLDERS : 0);
  std::vector<TIdListPtr> found;
  // A folder that cannot be read now keeps the nodes it had.
  if (folder && SUCCEEDED(folder->EnumObjects(OwnerWindow(), flags, items.Out())) &&
      (!items || ReadAllItems(items.Get(), found) == S_FALSE)) {
    TFcPidlList old;
    old.SetShellFolder(folder);
    old.SetDuplicates(pdAccept);
    old.SetSorted(true);
    for (int i = 0; i < node->Count(); ++i)
      if (TFcShellTreeData* child = NodeData(node->Item(i)))
        old.AddObject(const_cast<LPITEMIDLIST>(child->RelIdList()), node->Item(i));
    std::vector<LPCITEMIDLIST> added;
    for (const TIdListPtr& item : found) {
      int index = 0;
      if (old.Find(item.get(), index))
        old.Delete(index);
      else
        added.push_back(item.get());
    }
    for (int i = old.Count() - 1; i >= 0; --i) {
      auto* gone = static_cast<TTreeNode*>(old.Objects(i));
      if (remembered && (remembered == gone || remembered->HasAsParent(gone))) remembered = gone->Parent();
      gone->Delete();
    }
    bool any = false;
    for (LPCITEMIDLIST item : added) {
      lastInserted_ = nullptr;
      OleCheck(AddItem(folder, data->AbsIdList(), item, node));
      any = any || lastInserted_ != nullptr;
    }
    if (any) SortChildren(node);
  }
  std::vector<TTreeNode*> children;
  for (int i = 0; i < node->Count(); ++i) children.push_back(node->Item(i));
  for (TTreeNode* child : children) MergeNode(child, remembered);
}

void TFcCustomShellTree::WatchAllDrives() {
  if (!HandleAllocated()) return;
  if (!watcher_) watcher_ = std::make_unique<TChangeHandlerThread>(Handle(), CM_SHELLCHANGENOTICE);
  watcher_->RemoveAllWatches();
  DWORD drives = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if (!(drives & (1u << i))) continue;
    char letter = static_cast<char>('A' + i);
    std::string root{letter, ':', '\\'};
    UINT type = GetDriveTypeA(root.c_str());
    if (type == DRIVE_FIXED || type == DRIVE_RAMDISK || (type == DRIVE_REMOTE && IsNetDriveConnected(letter)))
      WatchDrive(root);
  }
}

void TFcCustomShellTree::WatchDrive(const std::string& rootPath) {
  if (rootPath.empty()) {
    if (watcher_) watcher_->RemoveAllWatches();
    return;
  }
  if (!watcher_) {
    if (!HandleAllocated()) return;
    watcher_ = std::make_unique<TChangeHandlerThread>(Handle(), CM_SHELLCHANGENOTICE);
  }
  DWORD filter = FILE_NOTIFY_CHANGE_DIR_NAME |
                 (options_.Contains(stoIncludeNonFolders) ? FILE_NOTIFY_CHANGE_FILE_NAME : 0);
  int slot = -1;
  watcher_->AddWatch(rootPath, filter, slot, true);
}

void TFcCustomShellTree::DeviceChangeNotice(TObject*, TMessage& message) { DeviceChanged(message); }

void TFcCustomShellTree::DeviceChanged(TMessage& message) {
  if (message.WParam != DBT_DEVICEARRIVAL && message.WParam != DBT_DEVICEREMOVECOMPLETE) return;
  RevalidateDrivesFolder();
  RefreshNodes();
}

// ---- The linked list and combo ---------------------------------------------------------------

void TFcCustomShellTree::SetShellList(TFcCustomShellList* value) {
  if (value == shellList_) return;
  if (shellList_) {
    shellList_->SetShellTree(nullptr);
    RemoveFreeNotification(shellList_);
  }
  shellList_ = value;
  if (!value) return;
  value->SetShellTree(this);
  FreeNotification(value);
  ListSetFolder(selectedFolder_->IdList());
}

void TFcCustomShellTree::SetShellCombo(TFcCustomShellCombo* value) {
  if (value == shellCombo_) return;
  if (shellCombo_) RemoveFreeNotification(shellCombo_);
  shellCombo_ = value;
  if (value) FreeNotification(value);
}

void TFcCustomShellTree::ListSetFolder(LPCITEMIDLIST list) {
  if (!shellList_) return;
  TRestore<int> busy(busy_, busy_ + 1);
  shellList_->Folder()->SetIdList(list);
}

// ---- Registration ----------------------------------------------------------------------------

void RegisterFcShellTree() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterFcTreeVw();
  RegisterFcShellLocator();
  RegisterClassInfo<TFcCustomShellTree, TFcCustomTreeView>("TFcCustomShellTree");
  using T = TFcShellTree;
  auto builder = RegisterClassInfo<T, TFcCustomShellTree>("TFcShellTree");
  PublishFrameSettings(builder);
  PublishTreeViewProperties(builder)
      .Boolean("SelectOnExpand", &T::SelectOnExpand, &T::SetSelectOnExpand, false)
      .Event("OnNodeContextMenu", InheritedEvent<T>(&T::OnNodeContextMenu))
      .Object("BaseFolder", &T::BaseFolder)
      .Set("Options", ShellTreeOptionInfo, &T::Options, &T::SetOptions, kDefaultOptions)
      .Component("ShellList", &T::ShellList, &T::SetShellList)
      .Event("OnAddItem", InheritedEvent<T>(&T::OnAddItem))
      .Event("OnDeleteItem", InheritedEvent<T>(&T::OnDeleteItem))
      .Event("OnInsertItem", InheritedEvent<T>(&T::OnInsertItem))
      .Event("OnFillStart", InheritedEvent<T>(&T::OnFillStart))
      .Event("OnFillComplete", InheritedEvent<T>(&T::OnFillComplete))
      .Event("OnPopupHint", InheritedEvent<T>(&T::OnPopupHint));
}
