// The shell list: the contents of one shell folder in a framed list view, with the shell's
// icons and detail columns, its own sort order, a file filter, opening of folders and of
// shortcuts to folders, the shell's context menus, renaming, new folders, drag and drop of
// shell items, and a refresh whenever the folder changes on disk.
//
// Index: options and events · TFcCustomShellList / TFcShellList · registration.
// Where the parts live: FcShellList.cpp filling, columns, texts, sorting, refresh, links and
// lifecycle; FcShellListCommands.cpp opening, verbs, keys, context menu, renaming and new
// folders; FcShellListDragDrop.cpp dragging items out and dropping items in.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/Sets.h"
#include "platform/Timer.h"
#include "shell/FcListVw.h"
#include "shell/FcShellChangeThread.h"
#include "shell/FcShellData.h"
#include "shell/FcShellDragDrop.h"
#include "shell/FcShellIntf.h"
#include "shell/FcShellLocator.h"
#include "shell/FcShellMenus.h"

class TFcCustomShellTree;
class TFcCustomShellCombo;

// ---- Options and events ----------------------------------------------------------------------

enum TFcShellListOption {
  // Fill when the window is made or loaded, and when FileFilter changes.
  sloAutoFill,
  // List items that are neither in the file system nor above it (the Trash...).
  sloNonFilesystemAncestors,
  // At design time, clicks on items reach the control.
  sloDesignInteractive,
  // The command keys, Backspace and Enter.
  sloDefaultKeyHandling,
  // The shell's context menu on the selection.
  sloContextMenus,
  // Opening a folder and going up do nothing.
  sloDontChangeFolder,
  // Stored only.
  sloDontGoBelowBase,
  // Watch the folder for changes (not at design time).
  sloDynamicRefresh,
  // With a linked tree, the file-system folders are the tree's to show.
  sloHideFoldersWhenLinkedToTree,
  // Items can be dragged out, and shell items dropped in.
  sloOleDrag,
  sloOleDrop,
  // Stored only.
  sloFolderContextMenu,
  // Hidden items are listed.
  sloShowHidden,
};
using TFcShellListOptions = TSet<TFcShellListOption>;
extern const TEnumInfo FcShellListOptionInfo;
inline constexpr TFcShellListOptions kFcShellListDefaultOptions{
    sloAutoFill,      sloNonFilesystemAncestors, sloDefaultKeyHandling, sloContextMenus,      sloDynamicRefresh,
    sloOleDrag,       sloOleDrop,                sloFolderContextMenu,  sloShowHidden};

// Asked before an item of `folder` (whose absolute list is `parentList`) is added; `item` is
// relative to the folder. `allowAdd` starts true.
using TFcShAddItemEvent = std::function<void(TObject* sender, IShellFolder* folder, LPCITEMIDLIST parentList,
                                             LPCITEMIDLIST item, SFGAOF attributes, bool& allowAdd)>;
// A double click or Enter opens an item that is no folder: `handled` true keeps the shell's
// default command from running.
using TFcShDblClickOpenEvent = std::function<void(TObject* sender, bool& handled)>;
// An item is about to go, with its shell data.
using TFcShListDeleteItemEvent = std::function<void(TObject* sender, TListItem* item, TFcShellListData* data)>;

// ---- The list ----------------------------------------------------------------------------

class TFcCustomShellList : public TFcCustomListView, public IFcShellListOwner, public IFcShellDropHandler {
  MESSAGE_TABLE(TFcCustomListView)

 public:
  // Posted by the change watcher for each change in the folder.
  static constexpr UINT CM_SHELLCHANGENOTIFY = 0x465;
  // Posted after a new folder was made: its item's name is edited.
  static constexpr UINT CM_EDITNEWFOLDER = 0x466;
  // Posted when the window is made or the layout read: the list fills while it is empty.
  static constexpr UINT CM_FILLWHENEMPTY = 0x467;
  // The refresh timer's delays after a change notice, with and without the focus.
  static constexpr unsigned kRefreshDelayFocused = 400;
  static constexpr unsigned kRefreshDelayUnfocused = 2000;

  explicit TFcCustomShellList(TComponent* owner);
  ~TFcCustomShellList() override;

  // ---- Properties
  // The listed folder (owned; nothing designated is the desktop). Setting it takes a copy of
  // the designation; a change refills the list.
  TFcShellLocator* Folder() const { return folder_.get(); }
  void SetFolder(TFcShellLocator* value);
  TFcShellListOptions Options() const { return options_; }
  void SetOptions(TFcShellListOptions value);
  // Masks separated by ";" (empty parts skipped): folders are always listed, files only when
  // their name matches one. Empty, "*" and "*.*" list every file; a folder without a path is
  // never filtered.
  const std::string& FileFilter() const { return fileFilter_; }
  void SetFileFilter(const std::string& value);
  const std::vector<std::string>& FileMasks() const { return masks_; }
  // The column the items are sorted by, counted from 1; negative sorts descending, 0 leaves
  // the order the folder gave.
  int SortColumn() const { return sortColumn_; }
  void SetSortColumn(int value);
  // The linked tree and combo (they link themselves); nullptr when none.
  TFcCustomShellTree* ShellTree() const { return shellTree_; }
  void SetShellTree(TFcCustomShellTree* value);
  TFcCustomShellCombo* ShellCombo() const { return shellCombo_; }
  void SetShellCombo(TFcCustomShellCombo* value);

  // ---- Operations
  // Lists the folder anew (not while a drag, a shell menu or an edit runs: then it waits for
  // their end).
  void FillList();
  // Brings the items in line with the folder: gone items are removed, new ones added at the
  // end, the others kept as they are.
  void RefreshItems();
  // Sorts by SortColumn through the folder's own comparison.
  void SortItems();
  // The linked tree (or combo) selected a folder: the list follows.
  void TreeSelectionChanged(TTreeNode* node);
  // Goes `levels` folders up (through the linked tree or combo when there is one).
  void GoUp(int levels);
  // Opens the item: a folder (or a shortcut to one) is listed, anything else gets its
  // default command unless OnDblClickOpen handles it.
  void OpenItem(TListItem* item);
  void OpenSelected();
  // Makes a new folder in the listed folder and, with `rename`, starts editing its name.
  // False when none was made, and for a folder outside the file system.
  bool CreateNewFolder(bool rename);
  // Runs the shell's command of the verb on the selected items ("copy", "delete"...). A verb
  // their menu lacks runs nothing and answers HRESULT_FROM_WIN32(ERROR_NOT_FOUND).
  HRESULT ExecuteVerbOnSelection(const std::string& verb);
  // Runs the verb of the listed folder's own menu ("paste"); a failure to get the menu
  // raises EOleSysError. A verb the menu lacks runs nothing.
  HRESULT ExecuteVerbOnFolder(const std::string& verb);
  void SelectAll();
  // With `all` the linked controls flush their pending moves first; then a refresh the timer
  // holds runs at once.
  void SyncLinkedControls(bool all);

  // The item's shell data; nullptr for an item the list did not add itself.
  TFcShellListData* ShellData(const TListItem* item) const;
  // The selected items that are shell items, in order, and their items in the folder.
  std::vector<TListItem*> SelectedShellItems() const;
  std::vector<LPCITEMIDLIST> SelectedRelIdLists() const;
  // The listed folder as last bound (not referenced for the caller) and its absolute list.
  IShellFolder* ListFolder() override { return shellFolder_.Get(); }
  LPCITEMIDLIST ListFolderIdList() override { return folderIdList_.get(); }
  IShellDetails* ListDetails() override { return details_.Get(); }

  // ---- Drops on the list (its drop target passes every call here)
  HRESULT DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
  HRESULT DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
  HRESULT DragLeave() override;
  HRESULT Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;

  void Loaded() override;

  // ---- Events
  TFcShAddItemEvent OnAddItem;
  TFcShDblClickOpenEvent OnDblClickOpen;
  TFcShListDeleteItemEvent OnDeleteItem;
  TNotifyEvent OnFillStart;
  TNotifyEvent OnFillComplete;
  TNotifyEvent OnFolderChanged;
  TFcShPopupHintEvent OnPopupHint;

 protected:
  // The source of a drag begun with mouse button 0 (left) or 1 (right); one reference.
  virtual IDropSource* CreateDropSource(int button);
  // Whether the item (relative to `folder`) is listed: OnAddItem, after the filter.
  virtual bool DoAddItem(IShellFolder* folder, LPCITEMIDLIST parentList, SFGAOF attributes, LPCITEMIDLIST item);
  // A drive arrived or went (the notifier's message).
  virtual void DeviceChanged(TMessage& message);
  // Lists the folder: columns, enumeration, the items that pass. The folder becomes the
  // listed one.
  virtual void FillItems(IShellFolder* folder, LPCITEMIDLIST folderList);
  // Collects the names the filter lets through; AfterFill forgets them.
  virtual void BeforeFill();
  virtual bool MatchesFilter(const std::string& fileName, SFGAOF attributes);
  virtual void AfterFill();
  // False when OnDblClickOpen handled the opening.
  virtual bool DoDblClickOpen();
  virtual void DoFillComplete();
  virtual void DoFillStart();
  virtual void DoFolderChanged();
  // The selection's (or one item's) interface `iid` as the folder gives it.
  virtual HRESULT GetSelectionUIObject(REFIID iid, void** object);
  virtual HRESULT GetItemUIObject(TListItem* item, REFIID iid, void** object);
  // Watches the listed folder for new, gone and renamed items.
  virtual void WatchFolder();
  // The Send To submenu's entry `index` (from the shell's context menu) gets the selection.
  virtual void DoMenuCommand(int index);

  void CreateWnd() override;
  void DestroyWnd() override;
  void Notification(TComponent* component, TOperation operation) override;
  void InsertItem(TListItem* item) override;
  void Delete(TListItem* item) override;
  void GetItemText(TListItem* item, int column, std::string& text) override;
  void GetImageIndex(TListItem* item) override;
  void Change(TListItem* item, TItemChange change) override;
  void ColClick(TListColumn* column) override;
  bool CanEdit(TListItem* item) override;
  void Edit(TListItem* item, const std::string& text) override;
  void EditCancelled(TListItem* item) override;
  void BeginItemDrag(TListItem* item, TMouseButton button) override;
  void DoItemContextMenu(POINT pos) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  bool DoMouseWheel(TShiftState shift, int wheelDelta, POINT mousePos) override;

  void CMShellChangeNotify(TMessage& m);
  void CMEditNewFolder(TMessage& m);
  void CMFillWhenEmpty(TMessage& m);
  void CMRefreshPending(TMessage& m);
  void CMWantSpecialKey(TWMKey& m);
  void CMGetShellBrowser(TMessage& m);
  void CNNotify(TWMNotify& m);
  void WMDestroy(TMessage& m);
  void WMWindowPos(TMessage& m);
  void WMRButtonUp(TWMMouse& m);
  // The messages of the shell's context menu while it shows; the others go on.
  void WMInitMenuPopup(TWMInitMenuPopup& m);
  void WMDrawItem(TWMDrawItem& m);
  void WMMeasureItem(TWMMeasureItem& m);
  void WMMenuChar(TWMMenuChar& m);
  void WMMenuSelect(TWMMenuSelect& m);

 private:
  struct TStash {
    TFcShellListData* data = nullptr;
    SFGAOF attributes = 0;
  };

  // ---- Filling (FcShellList.cpp)
  void FolderChanged(TObject* sender);
  void FindDetails(IShellFolder* folder);
  void SetupColumns(IShellDetails* details);
  void SaveColumnWidths();
  void ApplyStoredWidths();
  // The folder's items with the fill's flags; false when the enumeration could not start or
  // ended with E_FAIL. Other failures raise EOleSysError.
  bool EnumerateFolder(IShellFolder* folder, std::vector<TIdListPtr>& items);
  bool ShouldAdd(LPCITEMIDLIST parentList, LPCITEMIDLIST item, SFGAOF& attributes);
  // Adds the item when it passes (taking the data), else frees the data.
  void AddShellItem(LPCITEMIDLIST parentList, TFcShellListData* data);
  void AddNewShellItem(LPCITEMIDLIST parentList, LPITEMIDLIST item);
  int CompareItems(TListItem* a, TListItem* b);
  bool ListingDrives();
  void RefreshTimerFired(TObject* sender);
  void DeviceChangeNotice(TObject* sender, TMessage& message);
  void RegisterDropTarget(bool on);
  // The owner window the shell's calls get.
  HWND OwnerWindow();
  // Lists `list` (through the linked tree or combo when there is one).
  void Navigate(LPCITEMIDLIST list);
  // Refresh requests wait while these run.
  bool RefreshMustWait();

  // ---- Commands (FcShellListCommands.cpp)
  void ShowShellContextMenu(POINT pos);
  void InvokeMenuResult(IContextMenu* menu, UINT result);
  void RefreshNetworkFolder();
  void RunPendingRefresh();

  // ---- Drag and drop (FcShellListDragDrop.cpp)
  // What lies under a point of a drag: a drop target to ask (and the item it belongs to,
  // shown as the target while it accepts), or an answer of the list's own.
  struct TDropSpot {
    TComPtr<IDropTarget> target;
    TListItem* item = nullptr;
    bool answered = false;
    DWORD answer = DROPEFFECT_NONE;
  };
  TDropSpot SpotAt(POINT client, DWORD keyState);
  // The effect the target under the point gives (DragEnter, with `over` DragOver too, then
  // DragLeave).
  HRESULT AnswerAt(POINTL point, DWORD keyState, DWORD* effect, bool over);
  void HighlightDropItem(TListItem* item);
  void DragScroll(POINT client);
  void EndDrop();

  std::unique_ptr<TFcShellLocator> folder_;
  TFcShellListOptions options_ = kFcShellListDefaultOptions;
  std::string fileFilter_;
  std::vector<std::string> masks_;
  // While a fill filters: the upper-case names of the files that match a mask.
  bool filterActive_ = false;
  std::set<std::string> matchingNames_;
  TComPtr<IShellFolder> shellFolder_;
  TIdListPtr folderIdList_;
  TComPtr<IShellDetails> details_;
  int columnKind_ = 0;
  bool persistWidths_ = false;
  int sortColumn_ = 1;
  TFcCustomShellTree* shellTree_ = nullptr;
  TFcCustomShellCombo* shellCombo_ = nullptr;
  std::unique_ptr<TCustomImageList> smallImages_;
  std::unique_ptr<TCustomImageList> largeImages_;
  std::unique_ptr<TTimer> refreshTimer_;
  std::unique_ptr<TChangeHandlerThread> watcher_;
  TComPtr<TDropTarget_shtv> dropTarget_;
  bool dropRegistered_ = false;
  // The next change notice is the list's own doing (a rename or a new folder).
  bool ownChange_ = false;
  // A drag from the list or a shell menu runs: refreshes wait, notices are dropped.
  bool dragging_ = false;
  bool refreshPending_ = false;
  int busy_ = 0;
  bool folderChanging_ = false;
  bool destroyingWnd_ = false;
  std::string newFolderName_;
  TStash stash_;
  std::unordered_set<const TListItem*> shellItems_;
  // The shell menu being shown, for its menu messages; the Send To entries it listed.
  IContextMenu* activeMenu_ = nullptr;
  std::unique_ptr<TFcSendToList> sendTo_;
  // Drag state: a drag from this list runs; the data of a drag over it, the keys and
  // buttons it entered with, the item shown as target and the last edge scroll.
  bool dragFromHere_ = false;
  bool rightButtonAfterDrag_ = false;
  TComPtr<IDataObject> dropData_;
  DWORD dropKeyState_ = 0;
  TListItem* dropItem_ = nullptr;
  DWORD lastScrollTick_ = 0;
};

class TFcShellList : public TFcCustomShellList {
 public:
  using TFcCustomShellList::TFcCustomShellList;
};

// Registers TFcShellList (and what it stands on) for stored layouts. Once is enough.
void RegisterFcShellList();
