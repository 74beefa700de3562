// The shell combo (unit of FcShellCombo.h): filling from the namespace, the items' names and
// pictures as they are shown, the links to a shell tree or list, going up, and the drop-down's
// rows.
#include "shell/FcShellCombo.h"

#include <algorithm>
#include <utility>

#include "platform/Forms.h"
#include "platform/Guards.h"
#include "shell/FcShellList.h"
#include "shell/FcShellTree.h"

const TEnumInfo FcShellComboOptionInfo{"TFcShellComboOption", {"scoAutofill", "scoNonFilesystemAncestors"}};

namespace {

// What an item is made from. The bit older shells called "ghosted" marks hidden items.
constexpr SFGAOF kItemAttributes = SFGAO_HASSUBFOLDER | SFGAO_FILESYSTEM | SFGAO_FOLDER | SFGAO_FILESYSANCESTOR |
                                   SFGAO_HIDDEN | SFGAO_SHARE | SFGAO_LINK;

// An item of the combo with its shell data, which goes with it.
class TFcShellComboItem : public TFcImageComboBoxItem {
 public:
  TFcShellComboItem(TFcCustomImageComboBox* owner, const std::string& caption, int imageIndex, int indentLevel)
      : TFcImageComboBoxItem(owner, caption, imageIndex, indentLevel),
        data_(std::make_unique<TFcShellComboData>(owner)) {}
  TFcShellComboData* Data() const { return data_.get(); }
  // Named and pictured already (at once, or when first shown).
  bool complete = false;

 private:
  std::unique_ptr<TFcShellComboData> data_;
};

TFcShellComboItem* AsShellItem(TFcImageComboBoxItem* item) { return dynamic_cast<TFcShellComboItem*>(item); }

// Every item of the enumeration; an enumeration that cannot start, or ends with a failure, is
// raised. A folder that answers without an enumerator has nothing in it.
std::vector<TIdListPtr> EnumerateFolders(IShellFolder* folder, HWND owner) {
  std::vector<TIdListPtr> items;
  TComPtr<IEnumIDList> list;
  OleCheck(folder->EnumObjects(owner, SHCONTF_FOLDERS, list.Out()));
  if (!list) return items;
  for (;;) {
    LPITEMIDLIST item = nullptr;
    ULONG fetched = 0;
    HRESULT hr = list->Next(1, &item, &fetched);
    if (hr != S_OK || fetched != 1 || !item) {
      ShellMemFree(item);
      OleCheck(hr);
      return items;
    }
    items.emplace_back(item);
  }
}

const TFcCustomShellCombo::TIdListLevels kNoTarget;

// Whether the folder's comparison says the two items are one.
bool SameItem(IShellFolder* folder, LPCITEMIDLIST a, LPCITEMIDLIST b) {
  HRESULT hr = folder->CompareIDs(0, a, b);
  return SUCCEEDED(hr) && HRESULT_CODE(hr) == 0;
}

// The items in the folder's own order.
void SortPidls(IShellFolder* folder, std::vector<TIdListPtr>& items) {
  std::stable_sort(items.begin(), items.end(), [folder](const TIdListPtr& a, const TIdListPtr& b) {
    HRESULT hr = folder->CompareIDs(0, a.get(), b.get());
    return SUCCEEDED(hr) && static_cast<short>(HRESULT_CODE(hr)) < 0;
  });
}

}  // namespace

// ---- Construction and properties -------------------------------------------------------------

TMessageTable& TFcCustomShellCombo::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(CM_WANTSPECIALKEY, Handler(&TFcCustomShellCombo::CMWantSpecialKey));
    return t;
  }();
  return *table;
}

TFcCustomShellCombo::TFcCustomShellCombo(TComponent* owner)
    : TFcCustomImageComboBox(owner),
      selectedFolder_(std::make_unique<TFcShellLocator>()),
      images_(std::make_unique<TCustomImageList>(nullptr)) {
  StartShellModule();
  selectedFolder_->OnChange = [this](TObject*) { FolderChanged(); };
  // The system's small icons, shared with every other user of them: never destroyed here.
  images_->SetWidth(16);
  images_->SetHeight(16);
  images_->SetShareImages(true);
  images_->SetHandle(ShellGetSystemImageList(0));
  SetImages(images_.get());
}

TFcCustomShellCombo::~TFcCustomShellCombo() {
  Destroying();
  // The items go while the image list they are drawn from is still here.
  DestroyHandle();
  ClearImageItems();
  SetImages(nullptr);
}

void TFcCustomShellCombo::SetShellTree(TFcCustomShellTree* value) {
  if (value == shellTree_ || (value && shellList_)) return;
  if (shellTree_) {
    shellTree_->SetShellCombo(nullptr);
    RemoveFreeNotification(shellTree_);
  }
  shellTree_ = value;
  if (!value) return;
  FreeNotification(value);
  value->SetShellCombo(this);
}

void TFcCustomShellCombo::SetShellList(TFcCustomShellList* value) {
  if (value == shellList_ || (value && shellTree_)) return;
  if (shellList_) {
    shellList_->SetShellCombo(nullptr);
    RemoveFreeNotification(shellList_);
  }
  shellList_ = value;
  if (!value) return;
  FreeNotification(value);
  value->SetShellCombo(this);
}

void TFcCustomShellCombo::Notification(TComponent* component, TOperation operation) {
  TFcCustomImageComboBox::Notification(component, operation);
  if (operation != opRemove || !component) return;
  if (component == shellTree_) shellTree_ = nullptr;
  if (component == shellList_) shellList_ = nullptr;
}

TFcShellComboData* TFcCustomShellCombo::ShellData(int index) const { return ShellData(ImageItem(index)); }

TFcShellComboData* TFcCustomShellCombo::ShellData(const TFcImageComboBoxItem* item) const {
  auto* shellItem = dynamic_cast<const TFcShellComboItem*>(item);
  return shellItem && shellItem->Owner() == this ? shellItem->Data() : nullptr;
}

std::unique_ptr<TFcImageComboBoxItem> TFcCustomShellCombo::NewItem(const std::string& caption, int imageIndex,
                                                                   int indentLevel) {
  return std::make_unique<TFcShellComboItem>(this, caption, imageIndex, indentLevel);
}

// ---- Window and layout -----------------------------------------------------------------------

void TFcCustomShellCombo::CreateWnd() {
  TFcCustomImageComboBox::CreateWnd();
  // The items went with the last window.
  if (options_.Contains(scoAutofill) && !ComponentState().Contains(csLoading)) Fill();
}

bool TFcCustomShellCombo::LinkedTreeLoading() const {
  return shellTree_ && shellTree_->ComponentState().Contains(csLoading);
}

void TFcCustomShellCombo::Loaded() {
  TFcCustomImageComboBox::Loaded();
  if (!options_.Contains(scoAutofill)) return;
  Fill();
  if (shellTree_) {
    // A tree read after the combo is still loading: it fills itself from this folder once
    // its own layout is read.
    if (LinkedTreeLoading()) {
      shellTree_->SelectedFolder()->Assign(selectedFolder_.get());
    } else {
      shellTree_->SetSelectedFolder(selectedFolder_.get());
      shellTree_->RefreshNodes();
    }
  } else if (shellList_) {
    shellList_->SetFolder(selectedFolder_.get());
  }
}

// ---- Filling ---------------------------------------------------------------------------------

void TFcCustomShellCombo::Fill() {
  if (!HandleAllocated()) return;
  TRestore<int> busy(busy_, busy_ + 1);
  BeginItemsUpdate();
  TScopeExit endUpdate([this] { EndItemsUpdate(); });
  SetItemIndex(-1);
  ClearImageItems();
  selectedIndex_ = -1;
  TIdListLevels target;
  TFcIdListArray parts(selectedFolder_->IdList());
  for (int i = 0; i < parts.Count(); ++i) target.emplace_back(CopyIdList(nullptr, parts.GetItem(i)));
  // Critical-error boxes (a drive without a medium...) stay away while the shell is asked.
  TScopeExit restoreMode([mode = SetErrorMode(SEM_FAILCRITICALERRORS)]() noexcept { SetErrorMode(mode); });
  TScopeExit select([this] { SetItemIndex(selectedIndex_ >= 0 ? selectedIndex_ : 0); });
  FillLevel(DesktopFolder().Get(), nullptr, target, -1);
}

void TFcCustomShellCombo::FillLevel(IShellFolder* folder, LPCITEMIDLIST parentList, const TIdListLevels& target,
                                    int level) {
  LPITEMIDLIST drivesList = nullptr;
  OleCheck(ShellGetSpecialFolderIdList(GetTopFormHandle(this), CSIDL_DRIVES, &drivesList));
  TIdListPtr drives(drivesList);
  if (level < 0) {
    TFcImageComboBoxItem* desktop = AddShellItem(folder, nullptr, nullptr, 0);
    Complete(desktop, SHGDN_NORMAL);
    if (target.empty()) selectedIndex_ = desktop->Index();
    level = 1;
  }
  std::vector<TIdListPtr> items = EnumerateFolders(folder, GetTopFormHandle(this));
  SortPidls(folder, items);
  // The target's item at this level, when the target runs through this folder.
  LPCITEMIDLIST targetItem = static_cast<int>(target.size()) >= level ? target[level - 1].get() : nullptr;
  for (const TIdListPtr& child : items) {
    LPCITEMIDLIST item = child.get();
    SFGAOF attributes = kItemAttributes;
    OleCheck(folder->GetAttributesOf(1, &item, &attributes));
    attributes &= kItemAttributes;
    if (!options_.Contains(scoNonFilesystemAncestors) && !(attributes & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR)))
      continue;
    if (!DoAddItem(folder, parentList, level, attributes, item)) continue;
    TFcImageComboBoxItem* added = AddShellItem(folder, parentList, item, level);
    added->SetOverlayImageIndex(ShellOverlayIndex(attributes));
    bool onTarget = targetItem && SameItem(folder, item, targetItem);
    bool isDrives = level == 1 && SameItem(folder, item, drives.get());
    if (onTarget && static_cast<int>(target.size()) == level) {
      Complete(added, SHGDN_INFOLDER);
      selectedIndex_ = added->Index();
    } else if (onTarget && !isDrives) {
      TComPtr<IShellFolder> below;
      OleCheck(folder->BindToObject(item, nullptr, IID_IShellFolder, below.OutVoid()));
      AddChain(below.Get(), ShellData(added)->AbsIdList(), target, level);
    }
    if (isDrives) {
      // The drives are always listed, under the drives folder.
      TComPtr<IShellFolder> drivesFolder;
      OleCheck(folder->BindToObject(item, nullptr, IID_IShellFolder, drivesFolder.OutVoid()));
      FillLevel(drivesFolder.Get(), ShellData(added)->AbsIdList(), onTarget ? target : kNoTarget, 2);
    }
  }
}

void TFcCustomShellCombo::AddChain(IShellFolder* parentFolder, LPCITEMIDLIST parentList, const TIdListLevels& target,
                                   int from) {
  TComPtr<IShellFolder> folder(parentFolder);
  parentFolder->AddRef();
  TIdListPtr list(CopyIdList(nullptr, parentList));
  const int count = static_cast<int>(target.size());
  for (int i = from; i < count; ++i) {
    TFcImageComboBoxItem* added = AddShellItem(folder.Get(), list.get(), target[i].get(), i + 1);
    if (i + 1 == count) {
      Complete(added, SHGDN_FORADDRESSBAR);
      selectedIndex_ = added->Index();
      return;
    }
    TComPtr<IShellFolder> below;
    OleCheck(folder->BindToObject(target[i].get(), nullptr, IID_IShellFolder, below.OutVoid()));
    folder = std::move(below);
    list.reset(CopyIdList(nullptr, ShellData(added)->AbsIdList()));
  }
}

TFcImageComboBoxItem* TFcCustomShellCombo::AddShellItem(IShellFolder* parentFolder, LPCITEMIDLIST parentList,
                                                        LPCITEMIDLIST item, int level) {
  TFcImageComboBoxItem* added = AddImageItem(std::string(), -1, level);
  ShellData(added)->SetFolderData(parentFolder, parentList, item);
  return added;
}

bool TFcCustomShellCombo::DoAddItem(IShellFolder*, LPCITEMIDLIST, int, SFGAOF, LPCITEMIDLIST) { return true; }

// ---- Names and pictures ----------------------------------------------------------------------

void TFcCustomShellCombo::Complete(TFcImageComboBoxItem* item, SHGDNF nameKind) {
  TFcShellComboItem* shellItem = AsShellItem(item);
  if (!shellItem) return;
  TFcShellComboData* data = shellItem->Data();
  shellItem->complete = true;
  item->SetCaption(ShellGetDisplayName(data->ParentFolder(), data->RelIdList(), static_cast<TShellNameKind>(nameKind)));
  item->SetImageIndex(ShellGetIconIndex(data->AbsIdList(), SHGFI_SMALLICON | SHGFI_OPENICON));
}

void TFcCustomShellCombo::GetItemData(TFcImageComboBoxItem* item) {
  TFcShellComboItem* shellItem = AsShellItem(item);
  if (!shellItem || shellItem->complete) return;
  shellItem->complete = true;
  TFcShellComboData* data = shellItem->Data();
  item->SetCaption(ShellGetDisplayName(data->ParentFolder(), data->RelIdList(), snkInFolder));
  item->SetImageIndex(ShellGetIconIndex(data->AbsIdList(), SHGFI_SMALLICON));
}

int TFcCustomShellCombo::IndexOfText(const std::string& text) {
  for (int i = 0; i < ItemCount(); ++i)
    if (TFcImageComboBoxItem* item = ImageItem(i)) GetItemData(item);
  return TFcCustomImageComboBox::IndexOfText(text);
}

// ---- Following and driving the linked controls ----------------------------------------------

void TFcCustomShellCombo::FolderChanged() {
  // A move the combo makes itself comes back here: the fill that follows it shows it.
  if (busy_ > 0 || ComponentState().Contains(csLoading)) return;
  {
    TRestore<int> busy(busy_, busy_ + 1);
    if (shellTree_)
      shellTree_->SetSelectedFolder(selectedFolder_.get());
    else if (shellList_)
      shellList_->Folder()->SetIdList(selectedFolder_->IdList());
  }
  Fill();
}

void TFcCustomShellCombo::TreeSelectionChanged(TTreeNode* node) {
  if (!node || !node->Selected()) return;
  auto* tree = dynamic_cast<TFcCustomShellTree*>(node->TreeView());
  if (TFcShellTreeData* data = tree ? tree->NodeData(node) : nullptr) selectedFolder_->SetIdList(data->AbsIdList());
}

void TFcCustomShellCombo::GoToShownItem() {
  if (TFcShellComboData* data = ShellData(ItemIndex())) selectedFolder_->SetIdList(data->AbsIdList());
}

void TFcCustomShellCombo::DoSelEndOk() {
  TFcCustomImageComboBox::DoSelEndOk();
  GoToShownItem();
}

void TFcCustomShellCombo::KeyDown(WORD& key, TShiftState shift) {
  TFcCustomImageComboBox::KeyDown(key, shift);
  if (key != VK_RETURN || !shift.Empty() || DroppedDown()) return;
  GoToShownItem();
  key = 0;
}

void TFcCustomShellCombo::CMWantSpecialKey(TWMKey& m) {
  if (m.CharCode == VK_RETURN) {
    m.Result = 1;
    return;
  }
  Inherited(m);
}

void TFcCustomShellCombo::GoUp(int levels) {
  int current = ItemIndex();
  TFcImageComboBoxItem* item = ImageItem(current);
  if (!item) return;
  int wanted = item->IndentLevel() - levels;
  int index = current;
  while (index > 0 && ImageItem(index)->IndentLevel() > wanted) --index;
  if (index == current) return;
  if (TFcShellComboData* data = ShellData(index)) selectedFolder_->SetIdList(data->AbsIdList());
}

void TFcCustomShellCombo::SyncLinkedControls(bool all) {
  if (!all) return;
  if (shellTree_) shellTree_->SyncLinkedControls(false);
  if (shellList_) shellList_->SyncLinkedControls(false);
}

// ---- Drop-down -------------------------------------------------------------------------------

void TFcCustomShellCombo::DropDown() {
  if (autoDropDownCount_ && ItemHeight() > 0) {
    POINT bottom{0, Top() + Height()};
    if (Parent()) bottom = Parent()->ClientToScreen(bottom);
    int room = GetSystemMetrics(SM_CYSCREEN) - bottom.y - 1;
    // At the screen's bottom edge, or below it, the list still has a row.
    SetDropDownCount(std::max(1, room / ItemHeight()));
  }
  TFcCustomImageComboBox::DropDown();
}

// ---- Registration ----------------------------------------------------------------------------

void RegisterFcShellCombo() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterFcCmboBx();
  RegisterClassInfo<TFcCustomShellCombo, TFcCustomImageComboBox>("TFcCustomShellCombo");
  using C = TFcShellCombo;
  auto builder = RegisterClassInfo<C, TFcCustomShellCombo>("TFcShellCombo");
  PublishFrameSettings(builder);
  builder.Boolean("ParentColor", &C::ParentColor, &C::SetParentColor, false)
      .Boolean("TabStop", &C::TabStop, &C::SetTabStop, true)
      .Integer("DropDownCount", &C::DropDownCount, &C::SetDropDownCount, 8)
      .Integer("DropDownWidth", &C::DropDownWidth, &C::SetDropDownWidth, 0)
      .Boolean("FlatButtons", &C::FlatButtons, &C::SetFlatButtons, false)
      .StoredIf([](C* c) { return c->FrameController() == nullptr; })
      .Color("FlatButtonColor", &C::FlatButtonColor, &C::SetFlatButtonColor, clBtnFace)
      .StoredIf([](C* c) { return c->FrameController() == nullptr; })
      // The combo shows the system's icons, which no layout names.
      .Component("Images", &C::Images, &C::SetImages)
      .StoredIf([](C*) { return false; })
      .Boolean("AutoDropDownCount", &C::AutoDropDownCount, &C::SetAutoDropDownCount, true)
      .Set("Options", FcShellComboOptionInfo, &C::Options, &C::SetOptions, kFcShellComboDefaultOptions)
      .Component("ShellList", &C::ShellList, &C::SetShellList)
      .Component("ShellTree", &C::ShellTree, &C::SetShellTree);
}
