// The shell list's filling, columns, texts, sorting, refresh, links and lifecycle (unit of
// FcShellList.h).

#include "shell/FcShellList.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <optional>

#include <dbt.h>

#include "platform/Forms.h"
#include "platform/Guards.h"
#include "resources/ResourceIds.h"
#include "shell/FcShellCombo.h"
#include "shell/FcShellListPrivate.h"
#include "shell/FcShellTree.h"

using namespace FcShellListPrivate;

const TEnumInfo FcShellListOptionInfo{
    "TFcShellListOption",
    {"sloAutoFill", "sloNonFilesystemAncestors", "sloDesignInteractive", "sloDefaultKeyHandling", "sloContextMenus",
     "sloDontChangeFolder", "sloDontGoBelowBase", "sloDynamicRefresh", "sloHideFoldersWhenLinkedToTree", "sloOleDrag",
     "sloOleDrop", "sloFolderContextMenu", "sloShowHidden"}};

namespace {

// What ShouldAdd asks of each item.
constexpr SFGAOF kAddAttributes = SFGAO_FILESYSTEM | SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | SFGAO_REMOVABLE |
                                  SFGAO_GHOSTED | SFGAO_SHARE | SFGAO_LINK;
constexpr int kDefaultAllocBy = 256;
// Characters of a column's width in the shell's details, as pixels.
constexpr int kPixelsPerChar = 7;

// ---- Column widths shared by all shell lists ----------------------------------------------

// The widths the last list saved (before its columns were rebuilt or its window went); none
// until a list saved any.
std::optional<std::vector<std::int32_t>> widthStore;

// The Explorer's "DirectoryCols" value as last read: widths of the default columns as 16-bit
// words.
struct TDirectoryCols {
  BYTE bytes[22] = {};
  DWORD length = 0;
  bool operator==(const TDirectoryCols& other) const {
    return length == other.length && std::memcmp(bytes, other.bytes, length / 2 * 2) == 0;
  }
  int Width(int column) const { return bytes[2 * column] | (bytes[2 * column + 1] << 8); }
};
TDirectoryCols lastDirectoryCols;

TDirectoryCols ReadDirectoryCols() {
  TDirectoryCols cols;
  bool read = false;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer", 0, KEY_READ,
                    &key) == ERROR_SUCCESS) {
    DWORD type = 0;
    cols.length = sizeof cols.bytes;
    read = RegQueryValueExA(key, "DirectoryCols", nullptr, &type, cols.bytes, &cols.length) == ERROR_SUCCESS;
    RegCloseKey(key);
  }
  if (!read) {
    static const WORD preset[] = {200, 60, 100, 120, 50};
    cols = TDirectoryCols{};
    for (int i = 0; i < 5; ++i) {
      cols.bytes[2 * i] = static_cast<BYTE>(preset[i] & 0xFF);
      cols.bytes[2 * i + 1] = static_cast<BYTE>(preset[i] >> 8);
    }
    cols.length = 10;
  }
  return cols;
}

TAlignment AlignmentOfFormat(int format) {
  switch (format) {
    case LVCFMT_RIGHT: return taRightJustify;
    case LVCFMT_CENTER: return taCenter;
    default: return taLeftJustify;
  }
}

// The shell's details of a folder that offers IShellFolder2, limited to the columns it shows
// by default (as IShellDetails would give them).
class TShellFolder2ToShellDetailsAdapter : public TFcComObject<IShellDetails> {
 public:
  explicit TShellFolder2ToShellDetailsAdapter(IShellFolder2* folder) : TFcComObject(IID_IShellDetails) {
    folder->AddRef();
    folder_.Reset(folder);
  }
  HRESULT STDMETHODCALLTYPE GetDetailsOf(PCUITEMID_CHILD item, UINT column, SHELLDETAILS* details) override {
    SHCOLSTATEF state = 0;
    HRESULT hr = folder_->GetDefaultColumnState(column, &state);
    if (SUCCEEDED(hr) && !(state & SHCOLSTATE_ONBYDEFAULT)) return E_INVALIDARG;
    return folder_->GetDetailsOf(item, column, details);
  }
  HRESULT STDMETHODCALLTYPE ColumnClick(UINT) override { return E_NOTIMPL; }

 private:
  TComPtr<IShellFolder2> folder_;
};

}  // namespace

// ---- Shared with the other parts of the unit ------------------------------------------------

namespace FcShellListPrivate {

TNoCriticalErrorBoxes::TNoCriticalErrorBoxes() : saved_(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
TNoCriticalErrorBoxes::~TNoCriticalErrorBoxes() { SetErrorMode(saved_); }

}  // namespace FcShellListPrivate

// ---- Linked tree and combo ------------------------------------------------------------------

void TFcCustomShellList::SetShellTree(TFcCustomShellTree* value) {
  if (value == shellTree_) return;
  if (shellTree_) RemoveFreeNotification(shellTree_);
  shellTree_ = value;
  if (value) FreeNotification(value);
}

void TFcCustomShellList::SetShellCombo(TFcCustomShellCombo* value) {
  if (value == shellCombo_) return;
  if (shellCombo_) RemoveFreeNotification(shellCombo_);
  shellCombo_ = value;
  if (value) FreeNotification(value);
}

void TFcCustomShellList::Notification(TComponent* component, TOperation operation) {
  TFcCustomListView::Notification(component, operation);
  if (operation != opRemove || !component) return;
  if (component == shellTree_) shellTree_ = nullptr;
  if (component == shellCombo_) shellCombo_ = nullptr;
}

void TFcCustomShellList::FolderChanged(TObject*) {
  if (ComponentState().Contains(csLoading)) return;
  if (!folderChanging_) {
    TRestore<bool> changing(folderChanging_, true);
    if (shellTree_)
      shellTree_->SelectIdList(folder_->IdList());
    else if (shellCombo_)
      shellCombo_->SelectedFolder()->SetIdList(folder_->IdList());
    FillList();
  }
  DoFolderChanged();
}

void TFcCustomShellList::Navigate(LPCITEMIDLIST list) {
  if (options_.Contains(sloDontChangeFolder)) return;
  {
    TRestore<int> busy(busy_, busy_ + 1);
    ClearSelection();
    Items()->Clear();
  }
  if (shellTree_)
    shellTree_->SelectedFolder()->SetIdList(list);
  else if (shellCombo_)
    shellCombo_->SelectedFolder()->SetIdList(list);
  else
    folder_->SetIdList(list);
  // The folder shown already (a shortcut to it): its items come back.
  if (Items()->Count() == 0) FillList();
}

void TFcCustomShellList::GoUp(int levels) {
  if (options_.Contains(sloDontChangeFolder) || levels <= 0) return;
  if (shellTree_) {
    shellTree_->GoUp(levels);
  } else if (shellCombo_) {
    shellCombo_->GoUp(levels);
  } else {
    TFcIdListArray parts(folder_->IdList());
    folder_->SetIdList(parts.GetLeading(std::min(levels, parts.Count())));
  }
}

void TFcCustomShellList::SyncLinkedControls(bool all) {
  if (all) {
    if (shellCombo_) shellCombo_->SyncLinkedControls(false);
    if (shellTree_) shellTree_->SyncLinkedControls(false);
  }
  if (refreshTimer_->Enabled()) RefreshTimerFired(refreshTimer_.get());
}

void TFcCustomShellList::TreeSelectionChanged(TTreeNode* node) {
  if (!node || ComponentState().Contains(csLoading) || !node->Selected()) return;
  auto* tree = dynamic_cast<TFcCustomShellTree*>(node->TreeView());
  if (TFcShellTreeData* data = tree ? tree->NodeData(node) : nullptr) folder_->SetIdList(data->AbsIdList());
}

// ---- Construction and properties ------------------------------------------------------------

TMessageTable& TFcCustomShellList::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(CM_SHELLCHANGENOTIFY, Handler(&TFcCustomShellList::CMShellChangeNotify));
    t->Add(CM_EDITNEWFOLDER, Handler(&TFcCustomShellList::CMEditNewFolder));
    t->Add(CM_FILLWHENEMPTY, Handler(&TFcCustomShellList::CMFillWhenEmpty));
    t->Add(CM_REFRESHPENDING, Handler(&TFcCustomShellList::CMRefreshPending));
    t->Add(CM_WANTSPECIALKEY, Handler(&TFcCustomShellList::CMWantSpecialKey));
    t->Add(CWM_GETISHELLBROWSER, Handler(&TFcCustomShellList::CMGetShellBrowser));
    t->Add(CN_NOTIFY, Handler(&TFcCustomShellList::CNNotify));
    t->Add(WM_DESTROY, Handler(&TFcCustomShellList::WMDestroy));
    t->Add(WM_WINDOWPOSCHANGING, Handler(&TFcCustomShellList::WMWindowPos));
    t->Add(WM_WINDOWPOSCHANGED, Handler(&TFcCustomShellList::WMWindowPos));
    t->Add(WM_RBUTTONUP, Handler(&TFcCustomShellList::WMRButtonUp));
    t->Add(WM_INITMENUPOPUP, Handler(&TFcCustomShellList::WMInitMenuPopup));
    t->Add(WM_DRAWITEM, Handler(&TFcCustomShellList::WMDrawItem));
    t->Add(WM_MEASUREITEM, Handler(&TFcCustomShellList::WMMeasureItem));
    t->Add(WM_MENUCHAR, Handler(&TFcCustomShellList::WMMenuChar));
    t->Add(WM_MENUSELECT, Handler(&TFcCustomShellList::WMMenuSelect));
    return t;
  }();
  return *table;
}

TFcCustomShellList::TFcCustomShellList(TComponent* owner)
    : TFcCustomListView(owner),
      folder_(std::make_unique<TFcShellLocator>()),
      smallImages_(std::make_unique<TCustomImageList>(nullptr)),
      largeImages_(std::make_unique<TCustomImageList>(nullptr)),
      refreshTimer_(std::make_unique<TTimer>(nullptr)) {
  StartShellModule();
  folder_->OnChange = [this](TObject* sender) { FolderChanged(sender); };
  // The system's own icon lists, shared by every program: never destroyed here.
  smallImages_->SetShareImages(true);
  smallImages_->SetHandle(ShellGetSystemImageList(0));
  largeImages_->SetShareImages(true);
  largeImages_->SetHandle(ShellGetSystemImageList(1));
  SetSmallImages(smallImages_.get());
  SetLargeImages(largeImages_.get());
  IconOptions()->SetAutoArrange(true);
  SetAllocBy(kDefaultAllocBy);
  refreshTimer_->SetEnabled(false);
  refreshTimer_->OnTimer = [this](TObject* sender) { RefreshTimerFired(sender); };
  if (TFcDeviceChangeHandler* handler = ShellDeviceChangeHandler())
    handler->AddSubscriber(this, &TFcCustomShellList::DeviceChangeNotice);
}

TFcCustomShellList::~TFcCustomShellList() {
  Destroying();
  // After the program's end the shell module is gone, and its notifier with it.
  if (TFcDeviceChangeHandler* handler = ShellDeviceChangeHandler())
    handler->RemoveSubscriber(this, &TFcCustomShellList::DeviceChangeNotice);
  DestroyHandle();
  Items()->Clear();
  RegisterDropTarget(false);
  if (dropTarget_) dropTarget_->Detach();
  dropTarget_.Reset();
  watcher_.reset();
  refreshTimer_.reset();
  SetSmallImages(nullptr);
  SetLargeImages(nullptr);
}

void TFcCustomShellList::SetFolder(TFcShellLocator* value) { folder_->Assign(value); }

void TFcCustomShellList::SetOptions(TFcShellListOptions value) {
  if (value == options_) return;
  TFcShellListOptions old = options_;
  options_ = value;
  if (ComponentState().Contains(csLoading) || !HandleAllocated()) return;
  const bool designing = ComponentState().Contains(csDesigning);
  auto changed = [&](TFcShellListOption o) { return old.Contains(o) != value.Contains(o); };
  if (changed(sloOleDrop)) RegisterDropTarget(value.Contains(sloOleDrop) && !designing);
  if (changed(sloDynamicRefresh) && !designing) {
    if (value.Contains(sloDynamicRefresh))
      WatchFolder();
    else if (watcher_)
      watcher_->RemoveAllWatches();
  }
  if (changed(sloHideFoldersWhenLinkedToTree) || changed(sloShowHidden)) RefreshItems();
}

void TFcCustomShellList::SetFileFilter(const std::string& value) {
  if (value == fileFilter_) {
    if (value.empty()) masks_.clear();
    return;
  }
  fileFilter_ = value;
  masks_.clear();
  std::size_t start = 0;
  while (start <= value.size()) {
    std::size_t end = value.find(';', start);
    if (end == std::string::npos) end = value.size();
    std::string mask = Trim(value.substr(start, end - start));
    if (!mask.empty()) masks_.push_back(mask);
    start = end + 1;
  }
  if (!ComponentState().Contains(csLoading) && options_.Contains(sloAutoFill)) FillList();
}

void TFcCustomShellList::SetSortColumn(int value) {
  SetHeaderSortColumn(std::abs(value) - 1);
  SetHeaderSortDescending(value < 0);
  if (value == sortColumn_) return;
  sortColumn_ = value;
  SortItems();
}

HWND TFcCustomShellList::OwnerWindow() { return GetTopFormHandle(this); }

TFcShellListData* TFcCustomShellList::ShellData(const TListItem* item) const {
  if (!item || !shellItems_.count(item)) return nullptr;
  return static_cast<TFcShellListData*>(item->Data());
}

std::vector<TListItem*> TFcCustomShellList::SelectedShellItems() const {
  std::vector<TListItem*> items;
  for (TListItem* item = GetNextItem(nullptr, {isSelected}); item; item = GetNextItem(item, {isSelected}))
    if (ShellData(item)) items.push_back(item);
  return items;
}

std::vector<LPCITEMIDLIST> TFcCustomShellList::SelectedRelIdLists() const {
  std::vector<LPCITEMIDLIST> items;
  for (TListItem* item : SelectedShellItems()) items.push_back(ShellData(item)->RelIdList());
  return items;
}

bool TFcCustomShellList::RefreshMustWait() { return dragging_ || IsEditing(); }

// ---- Filling --------------------------------------------------------------------------------

void TFcCustomShellList::FillList() {
  if (!HandleAllocated()) return;
  if (RefreshMustWait()) {
    refreshPending_ = true;
    return;
  }
  TTemporaryCursor hourglass(crHourGlass);
  {
    TRestore<int> busy(busy_, busy_ + 1);
    ClearSelection();
    Items()->Clear();
  }
  TComPtr<IShellFolder> folder;
  OleCheck(ShellGetFolderFromIdList(folder_->IdList(), folder.Out()));
  RunThen([&] { BeforeFill(); FillItems(folder.Get(), folder_->IdList()); }, [&] { AfterFill(); });
  SortItems();
  if (Items()->Count() > 0) Items()->Item(0)->SetFocused(true);
  if (ViewStyle() == vsIcon || ViewStyle() == vsSmallIcon) {
    SendMessageA(Handle(), WM_VSCROLL, SB_TOP, 0);
    SendMessageA(Handle(), WM_HSCROLL, SB_TOP, 0);
  }
  if (options_.Contains(sloDynamicRefresh) && !ComponentState().Contains(csDesigning)) WatchFolder();
}

void TFcCustomShellList::FillItems(IShellFolder* folder, LPCITEMIDLIST folderList) {
  Items()->BeginUpdate();
  TNoCriticalErrorBoxes noBoxes;
  DoFillStart();
  RunThen(
      [&] {
        TComPtr<IShellFolder> oldFolder = shellFolder_;
        TIdListPtr oldList = std::move(folderIdList_);
        try {
          folder->AddRef();
          shellFolder_.Reset(folder);
          folderIdList_.reset(folderList ? CopyIdList(nullptr, folderList) : nullptr);
          FindDetails(folder);
          SetupColumns(details_.Get());
          std::vector<TIdListPtr> found;
          if (!EnumerateFolder(folder, found)) return;
          SetAllocBy(static_cast<int>(found.size()));
          for (TIdListPtr& item : found) {
            auto* data = new TFcShellListData(this);
            data->SetRelIdList(item.release());
            AddShellItem(folderIdList_.get(), data);
          }
        } catch (...) {
          // The folder shown stays the one before.
          shellFolder_ = std::move(oldFolder);
          folderIdList_ = std::move(oldList);
          throw;
        }
      },
      [&] {
        Items()->EndUpdate();
        DoFillComplete();
      });
}

void TFcCustomShellList::FindDetails(IShellFolder* folder) {
  details_.Reset();
  TComPtr<IShellFolder2> folder2;
  if (SUCCEEDED(folder->QueryInterface(IID_IShellFolder2, folder2.OutVoid())) && folder2) {
    SHELLDETAILS first{};
    if (SUCCEEDED(folder2->GetDetailsOf(nullptr, 0, &first))) {
      StrRetFree(first.str);
      details_.Reset(new TShellFolder2ToShellDetailsAdapter(folder2.Get()));
      return;
    }
  }
  if (SUCCEEDED(folder->QueryInterface(IID_IShellDetails, details_.OutVoid())) && details_) return;
  if (SUCCEEDED(folder->CreateViewObject(OwnerWindow(), IID_IShellDetails, details_.OutVoid())) && details_)
    return;
  details_.Reset();
}

void TFcCustomShellList::SaveColumnWidths() {
  // Only the Details view shows the columns: widths are the user's only there.
  if (ViewStyle() != vsReport) return;
  std::vector<std::int32_t> widths;
  for (int i = 0; i < Columns()->Count(); ++i) widths.push_back(Columns()->Items(i)->Width());
  widthStore = std::move(widths);
}

void TFcCustomShellList::ApplyStoredWidths() {
  if (!widthStore) return;
  int n = std::min(Columns()->Count(), static_cast<int>(widthStore->size()));
  for (int i = 0; i < n; ++i) Columns()->Items(i)->SetWidth((*widthStore)[static_cast<std::size_t>(i)]);
}

void TFcCustomShellList::SetupColumns(IShellDetails* details) {
  if (Columns()->Count() > 0 && persistWidths_) SaveColumnWidths();
  {
    Columns()->BeginUpdate();
    TScopeExit ended([this]() noexcept { Columns()->EndUpdate(); });
    Columns()->Clear();
    if (details) {
      for (UINT i = 0;; ++i) {
        SHELLDETAILS column{};
        if (FAILED(details->GetDetailsOf(nullptr, i, &column))) break;
        TListColumn* c = Columns()->Add();
        c->SetCaption(StrRetToString(nullptr, column.str));
        StrRetFree(column.str);
        c->SetAlignment(AlignmentOfFormat(column.fmt));
        c->SetWidth(column.cxChar * kPixelsPerChar);
      }
      persistWidths_ = !ShellGetPathFromIdList(folderIdList_.get()).empty();
      if (persistWidths_) ApplyStoredWidths();
      columnKind_ = 1;
    } else {
      static const UINT captions[] = {IDS_SHELL_LIST_NAME, IDS_SHELL_LIST_SIZE, IDS_SHELL_LIST_TYPE,
                                      IDS_SHELL_LIST_MODIFIED};
      TDirectoryCols cols = ReadDirectoryCols();
      for (int i = 0; i < 4; ++i) {
        TListColumn* c = Columns()->Add();
        c->SetCaption(LoadResString(captions[i]));
        if (i == 1) c->SetAlignment(taRightJustify);
        c->SetWidth(cols.Width(i));
      }
      if (cols == lastDirectoryCols) ApplyStoredWidths();
      lastDirectoryCols = cols;
      persistWidths_ = true;
      columnKind_ = 2;
    }
  }
  UpdateHeaderFormats();
  if (std::abs(sortColumn_) > Columns()->Count()) sortColumn_ = 1;
  SetHeaderSortColumn(std::abs(sortColumn_) - 1);
  SetHeaderSortDescending(sortColumn_ < 0);
  FitLastColumn();
}

bool TFcCustomShellList::EnumerateFolder(IShellFolder* folder, std::vector<TIdListPtr>& items) {
  SHCONTF flags = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS;
  if (options_.Contains(sloShowHidden)) flags |= SHCONTF_INCLUDEHIDDEN;
  TComPtr<IEnumIDList> list;
  if (FAILED(folder->EnumObjects(OwnerWindow(), flags, list.Out()))) return false;
  // A folder may answer success and give no enumerator: it has nothing to list.
  if (!list) return true;
  constexpr ULONG kBatch = 64;
  HRESULT hr;
  for (;;) {
    LPITEMIDLIST batch[kBatch] = {};
    ULONG fetched = 0;
    hr = list->Next(kBatch, batch, &fetched);
    fetched = std::min(fetched, kBatch);
    if (items.size() + fetched > items.capacity()) items.reserve(items.capacity() + 500);
    for (ULONG i = 0; i < fetched; ++i) items.emplace_back(batch[i]);
    if (hr != S_OK || fetched == 0) break;
  }
  if (hr == S_OK || hr == S_FALSE || hr == HRESULT_FROM_WIN32(ERROR_NO_MORE_ITEMS)) return true;
  if (hr == E_FAIL) return false;
  OleCheck(hr);
  return false;
}

bool TFcCustomShellList::ShouldAdd(LPCITEMIDLIST parentList, LPCITEMIDLIST item, SFGAOF& attributes) {
  attributes = kAddAttributes;
  if (FAILED(shellFolder_->GetAttributesOf(1, &item, &attributes))) return false;
  // The shell answers more than it was asked.
  attributes &= kAddAttributes;
  if (!options_.Contains(sloNonFilesystemAncestors) && !(attributes & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR)))
    return false;
  if (options_.Contains(sloHideFoldersWhenLinkedToTree) && shellTree_ &&
      (attributes & (SFGAO_FOLDER | SFGAO_FILESYSTEM)) == (SFGAO_FOLDER | SFGAO_FILESYSTEM))
    return false;
  return DoAddItem(shellFolder_.Get(), parentList, attributes, item);
}

bool TFcCustomShellList::DoAddItem(IShellFolder* folder, LPCITEMIDLIST parentList, SFGAOF attributes,
                                   LPCITEMIDLIST item) {
  if (filterActive_ && !(attributes & SFGAO_FOLDER) &&
      !MatchesFilter(ExtractFileName(ShellGetDisplayName(folder, item, snkForParsing)), attributes))
    return false;
  bool allow = true;
  if (OnAddItem) OnAddItem(this, folder, parentList, item, attributes, allow);
  return allow;
}

void TFcCustomShellList::AddShellItem(LPCITEMIDLIST parentList, TFcShellListData* data) {
  std::unique_ptr<TFcShellListData> owned(data);
  SFGAOF attributes = 0;
  if (!ShouldAdd(parentList, data->RelIdList(), attributes)) return;
  stash_ = TStash{owned.release(), attributes};
  TScopeExit unstash([this]() noexcept {
    delete stash_.data;
    stash_ = TStash{};
  });
  Items()->Add();
}

void TFcCustomShellList::AddNewShellItem(LPCITEMIDLIST parentList, LPITEMIDLIST item) {
  auto* data = new TFcShellListData(this);
  data->SetRelIdList(item);
  try {
    AddShellItem(parentList, data);
  } catch (...) {
    ShowMessage(LoadResString(IDS_SHELL_LIST_ADD_FAILED));
    throw;
  }
}

void TFcCustomShellList::InsertItem(TListItem* item) {
  if (TFcShellListData* data = std::exchange(stash_.data, nullptr)) {
    item->SetData(data);
    shellItems_.insert(item);
    SFGAOF attributes = stash_.attributes;
    item->SetOverlayIndex(ShellOverlayIndex(attributes));
    if (attributes & SFGAO_GHOSTED) item->SetCut(true);
    int subItems = details_ ? Columns()->Count() - 1 : 3;
    for (int i = 0; i < subItems; ++i) item->AddSubItem(std::string());
  }
  TFcCustomListView::InsertItem(item);
}

void TFcCustomShellList::Delete(TListItem* item) {
  if (item == dropItem_) dropItem_ = nullptr;
  TFcShellListData* data = ShellData(item);
  if (data && OnDeleteItem && !ComponentState().Contains(csDestroying)) OnDeleteItem(this, item, data);
  if (data) {
    item->SetData(nullptr);
    shellItems_.erase(item);
  }
  TFcCustomListView::Delete(item);
  delete data;
}

void TFcCustomShellList::BeforeFill() {
  matchingNames_.clear();
  filterActive_ = false;
  std::string path = folder_->PathName();
  if (path.empty() || fileFilter_.empty() || fileFilter_ == "*" || fileFilter_ == "*.*") return;
  filterActive_ = true;
  std::string dir = AppendCharIfMissing(path, '\\');
  TNoCriticalErrorBoxes noBoxes;
  for (const std::string& mask : masks_) {
    WIN32_FIND_DATAA data;
    TFindGuard find(FindFirstFileA((dir + mask).c_str(), &data));
    if (!find.Valid()) {
      if (GetLastError() != ERROR_FILE_NOT_FOUND) break;
      continue;
    }
    do {
      if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) matchingNames_.insert(AnsiUpperCase(data.cFileName));
    } while (FindNextFileA(find.Get(), &data));
  }
}

bool TFcCustomShellList::MatchesFilter(const std::string& fileName, SFGAOF) {
  return matchingNames_.count(AnsiUpperCase(fileName)) > 0;
}

void TFcCustomShellList::AfterFill() {
  matchingNames_.clear();
  filterActive_ = false;
}

void TFcCustomShellList::DoFillStart() {
  if (OnFillStart) OnFillStart(this);
}

void TFcCustomShellList::DoFillComplete() {
  if (OnFillComplete) OnFillComplete(this);
}

void TFcCustomShellList::DoFolderChanged() {
  if (OnFolderChanged) OnFolderChanged(this);
}

// ---- Texts, images and order ----------------------------------------------------------------

void TFcCustomShellList::GetItemText(TListItem* item, int column, std::string& text) {
  TFcShellListData* data = ShellData(item);
  if (!data) {
    TFcCustomListView::GetItemText(item, column, text);
    return;
  }
  if (column == 0) {
    if (item->Caption().empty()) item->SetCaption(data->DisplayName());
    text = item->Caption();
  } else if (column - 1 < item->SubItemCount()) {
    text = item->SubItem(column - 1);
    if (text.empty()) text = data->ColumnText(column);
  } else {
    text.clear();
  }
}

void TFcCustomShellList::GetImageIndex(TListItem* item) {
  TFcCustomListView::GetImageIndex(item);
  if (TFcShellListData* data = ShellData(item); data && item->ImageIndex() < 1)
    item->SetImageIndex(ShellGetIconIndex(data->AbsIdList(), SHGFI_SMALLICON));
}

int TFcCustomShellList::CompareItems(TListItem* a, TListItem* b) {
  TFcShellListData* x = ShellData(a);
  TFcShellListData* y = ShellData(b);
  if (!x || !y || !shellFolder_) return 0;
  HRESULT hr = shellFolder_->CompareIDs(static_cast<LPARAM>(std::abs(sortColumn_) - 1), x->RelIdList(), y->RelIdList());
  if (FAILED(hr)) return 0;
  int result = static_cast<short>(HRESULT_CODE(hr));
  return sortColumn_ < 0 ? -result : result;
}

void TFcCustomShellList::SortItems() {
  if (sortColumn_ == 0 || Items()->Count() < 2) return;
  // The folder usually lists its items in its own order already: one pass finds out.
  bool sorted = true;
  for (int i = 1; i < Items()->Count() && sorted; ++i)
    sorted = CompareItems(Items()->Item(i - 1), Items()->Item(i)) <= 0;
  if (sorted) return;
  CustomSort([this](TListItem* a, TListItem* b) { return CompareItems(a, b); });
}

void TFcCustomShellList::ColClick(TListColumn* column) {
  if (!SortOnColumnClick()) {
    int clicked = column->Index() + 1;
    SetSortColumn(clicked == std::abs(sortColumn_) ? -sortColumn_ : clicked);
  }
  TFcCustomListView::ColClick(column);
}

void TFcCustomShellList::Change(TListItem* item, TItemChange change) {
  // The list's own clearing is no change of the user's.
  if (busy_ == 0) TFcCustomListView::Change(item, change);
}

// ---- Merge with the folder ------------------------------------------------------------------

void TFcCustomShellList::RefreshItems() {
  if (RefreshMustWait()) {
    refreshPending_ = true;
    return;
  }
  if (Items()->Count() == 0 || !shellFolder_) {
    FillList();
    return;
  }
  TTemporaryCursor hourglass(crHourGlass);
  TNoCriticalErrorBoxes noBoxes;
  DoFillStart();
  RunThen(
      [&] {
        BeforeFill();
        // Items are the same when the folder says so. Their bytes may differ: a file-system
        // item carries its size and times, and even its last access changes them.
        TFcPidlList old;
        old.SetDuplicates(pdAccept);
        old.SetShellFolder(shellFolder_.Get());
        for (int i = 0; i < Items()->Count(); ++i)
          if (TFcShellListData* data = ShellData(Items()->Item(i)))
            old.AddObject(const_cast<LPITEMIDLIST>(data->RelIdList()), Items()->Item(i));
        old.SetSorted(true);
        std::vector<TIdListPtr> found;
        if (!EnumerateFolder(shellFolder_.Get(), found)) return;
        std::vector<TIdListPtr> added;
        for (TIdListPtr& item : found) {
          int index = old.IndexOf(item.get());
          if (index < 0) {
            added.push_back(std::move(item));
            continue;
          }
          auto* kept = static_cast<TListItem*>(old.Objects(index));
          old.Delete(index);
          // The item stays; what it shows comes from the new bytes.
          TFcShellListData* data = ShellData(kept);
          UINT size = IdListSize(item.get());
          if (size != IdListSize(data->RelIdList()) || std::memcmp(item.get(), data->RelIdList(), size) != 0) {
            data->SetRelIdList(item.release());
            kept->Update();
          }
        }
        for (int i = 0; i < old.Count(); ++i) static_cast<TListItem*>(old.Objects(i))->Delete();
        SetAllocBy(static_cast<int>(added.size()));
        for (TIdListPtr& item : added) AddNewShellItem(folderIdList_.get(), item.release());
      },
      [&] {
        AfterFill();
        DoFillComplete();
        SetAllocBy(kDefaultAllocBy);
      });
}

// ---- Watching the folder --------------------------------------------------------------------

void TFcCustomShellList::WatchFolder() {
  refreshTimer_->SetEnabled(false);
  if (watcher_)
    watcher_->RemoveAllWatches();
  else
    watcher_ = std::make_unique<TChangeHandlerThread>(Handle(), CM_SHELLCHANGENOTIFY);
  int slot = -1;
  watcher_->AddWatch(folder_->PathName(), FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME, slot, false);
}

void TFcCustomShellList::CMShellChangeNotify(TMessage&) {
  if (ownChange_ || dragging_) {
    ownChange_ = false;
    return;
  }
  refreshTimer_->SetEnabled(false);
  refreshTimer_->SetInterval(Focused() ? kRefreshDelayFocused : kRefreshDelayUnfocused);
  refreshTimer_->SetEnabled(true);
}

void TFcCustomShellList::RefreshTimerFired(TObject*) {
  refreshTimer_->SetEnabled(false);
  {
    TRestore<int> busy(busy_, busy_ + 1);
    SyncLinkedControls(true);
  }
  RefreshItems();
}

bool TFcCustomShellList::ListingDrives() {
  if (folder_->CSIDL() == CSIDL_DRIVES) return true;
  LPITEMIDLIST drives = nullptr;
  if (FAILED(ShellGetSpecialFolderIdList(nullptr, CSIDL_DRIVES, &drives))) return false;
  TIdListPtr owned(drives);
  return CompareIdLists(folder_->IdList(), drives) == 0;
}

void TFcCustomShellList::DeviceChangeNotice(TObject*, TMessage& message) { DeviceChanged(message); }

void TFcCustomShellList::DeviceChanged(TMessage& message) {
  if (message.WParam != DBT_DEVICEARRIVAL && message.WParam != DBT_DEVICEREMOVECOMPLETE) return;
  RevalidateDrivesFolder();
  if (ListingDrives()) FillList();
}

// ---- Window and lifecycle -------------------------------------------------------------------

void TFcCustomShellList::CreateWnd() {
  TFcCustomListView::CreateWnd();
  if (options_.Contains(sloOleDrop) && !ComponentState().Contains(csDesigning)) RegisterDropTarget(true);
  if (options_.Contains(sloAutoFill) && Items()->Count() == 0) PostMessageA(Handle(), CM_FILLWHENEMPTY, 0, 0);
}

void TFcCustomShellList::Loaded() {
  if (options_.Contains(sloAutoFill) && HandleAllocated()) PostMessageA(Handle(), CM_FILLWHENEMPTY, 0, 0);
  TFcCustomListView::Loaded();
}

void TFcCustomShellList::CMFillWhenEmpty(TMessage&) {
  if (Items()->Count() == 0 && !ComponentState().Contains(csLoading)) FillList();
}

void TFcCustomShellList::DestroyWnd() {
  TRestore<bool> going(destroyingWnd_, true);
  {
    TRestore<int> busy(busy_, busy_ + 1);
    if (HandleAllocated()) ClearSelection();
    Items()->Clear();
  }
  TFcCustomListView::DestroyWnd();
}

void TFcCustomShellList::WMWindowPos(TMessage& m) {
  if (destroyingWnd_) {
    m.Result = 0;
    return;
  }
  Inherited(m);
}

void TFcCustomShellList::WMDestroy(TMessage& m) {
  if (persistWidths_ && Columns()->Count() > 0) SaveColumnWidths();
  refreshTimer_->SetEnabled(false);
  watcher_.reset();
  RegisterDropTarget(false);
  Inherited(m);
}

void TFcCustomShellList::RegisterDropTarget(bool on) {
  if (on == dropRegistered_) return;
  if (on) {
    if (!dropTarget_) dropTarget_.Reset(new TDropTarget_shtv(this));
    dropRegistered_ = SUCCEEDED(RegisterDragDrop(Handle(), dropTarget_.Get()));
  } else {
    if (HandleAllocated()) RevokeDragDrop(Handle());
    dropRegistered_ = false;
  }
}

// ---- Registration ---------------------------------------------------------------------------

void RegisterFcShellList() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterFcListVw();
  RegisterFcShellLocator();
  using C = TFcShellList;
  RegisterClassInfo<TFcCustomShellList, TFcCustomListView>("TFcCustomShellList");
  auto builder = RegisterClassInfo<C, TFcCustomShellList>("TFcShellList");
  PublishFcListViewProperties(builder)
      // The list shows the system's image lists, which no layout names.
      .Component("SmallImages", &C::SmallImages, &C::SetSmallImages)
      .StoredIf([](C*) { return false; })
      .Component("LargeImages", &C::LargeImages, &C::SetLargeImages)
      .StoredIf([](C*) { return false; })
      .String("FileFilter", &C::FileFilter, &C::SetFileFilter)
      .Object("Folder", &C::Folder)
      // A linked tree or combo names the folder.
      .StoredIf([](C* c) { return !c->ShellTree() && !c->ShellCombo(); })
      .Set("Options", FcShellListOptionInfo, &C::Options, &C::SetOptions, kFcShellListDefaultOptions)
      .Event("OnAddItem", InheritedEvent<C>(&C::OnAddItem))
      .Event("OnDblClickOpen", InheritedEvent<C>(&C::OnDblClickOpen))
      .Event("OnDeleteItem", InheritedEvent<C>(&C::OnDeleteItem))
      .Event("OnFillStart", InheritedEvent<C>(&C::OnFillStart))
      .Event("OnFillComplete", InheritedEvent<C>(&C::OnFillComplete))
      .Event("OnFolderChanged", InheritedEvent<C>(&C::OnFolderChanged))
      .Event("OnPopupHint", InheritedEvent<C>(&C::OnPopupHint));
}
