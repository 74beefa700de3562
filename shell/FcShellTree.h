// The shell tree: the shell namespace below a base folder as a tree of folders, filled as
// nodes open, kept current from the drives' change notices, with the shell's context menus,
// renaming, new folders and OLE drag and drop; it drives a linked shell list and combo.
//
// Index: options and events · TFcCustomShellTree / TFcShellTree · hover metrics ·
// registration. FcShellTree.cpp holds the tree itself, FcShellTreeDragDrop.cpp its drags and
// drops.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <unordered_set>

#include "platform/Sets.h"
#include "platform/Timer.h"
#include "shell/FcShellChangeThread.h"
#include "shell/FcShellData.h"
#include "shell/FcShellDragDrop.h"
#include "shell/FcShellLocator.h"
#include "shell/FcShellMenus.h"
#include "shell/FcTreeVw.h"

class TFcCustomShellList;
class TFcCustomShellCombo;

// ---- Options and events --------------------------------------------------------------------

enum TFcShellTreeOption {
  // Fill when the window is made or the layout loaded, and when BaseFolder changes.
  stoAutoFill,
  // Items that are neither file-system items nor their ancestors are shown too.
  stoVirtualFolders,
  // At design time clicks reach the control.
  stoDesignInteractive,
  // The command keys (F2, F5, Del, Ctrl+C, Ctrl+X, Ctrl+V).
  stoDefaultKeyHandling,
  // The shell's context menu on a node.
  stoContextMenus,
  // The drives are watched for changes.
  stoDynamicRefresh,
  // Files are shown too.
  stoIncludeNonFolders,
  // Nodes can be dragged out as shell items.
  stoOleDrag,
  // Shell items can be dropped on nodes.
  stoOleDrop,
  // Hidden items are shown.
  stoShowHidden,
};
using TFcShellTreeOptions = TSet<TFcShellTreeOption>;
extern const TEnumInfo ShellTreeOptionInfo;

// Asked before an item of `folder` (whose absolute list is `parentIdList`) becomes a node or
// a list item; false in `allowAdd` leaves it out.
using TFcShAddItemEvent = std::function<void(TObject* sender, IShellFolder* folder, LPCITEMIDLIST parentIdList,
                                             LPCITEMIDLIST item, SFGAOF attributes, bool& allowAdd)>;
// A shell node is about to go, with its data (freed right after).
using TFcShTreeDeleteItemEvent = std::function<void(TObject* sender, TTreeNode* node, TFcShellTreeData* data)>;
// A shell node has been added.
using TFcShTreeInsertItemEvent = std::function<void(TObject* sender, TTreeNode* node)>;

// The message the change watcher posts for each change in a watched folder.
constexpr UINT CM_SHELLCHANGENOTICE = 0x465;
// Posted to itself when the window is made: fill, unless nodes came meanwhile.
constexpr UINT CM_SHELLFILLWHENEMPTY = 0x467;

// ---- TFcCustomShellTree ----------------------------------------------------------------------

class TFcCustomShellTree : public TFcCustomTreeView, public IFcShellDropHandler {
  MESSAGE_TABLE(TFcCustomTreeView)

 public:
  explicit TFcCustomShellTree(TComponent* owner);
  ~TFcCustomShellTree() override;

  // The root of the tree (nothing designated: the desktop). Setting it assigns; a change
  // empties SelectedFolder and, with stoAutoFill, fills the tree again.
  TFcShellLocator* BaseFolder() const { return baseFolder_.get(); }
  void SetBaseFolder(TFcShellLocator* value);
  // Follows the selected node; a change selects its folder in the tree, adding the nodes on
  // the way.
  TFcShellLocator* SelectedFolder() const { return selectedFolder_.get(); }
  void SetSelectedFolder(TFcShellLocator* value);
  TFcShellTreeOptions Options() const { return options_; }
  void SetOptions(TFcShellTreeOptions value);
  // The shell list that shows the selected folder; linking sets the list's tree and folder.
  TFcCustomShellList* ShellList() const { return shellList_; }
  void SetShellList(TFcCustomShellList* value);
  // The shell combo that shows the selected folder; it links itself.
  TFcCustomShellCombo* ShellCombo() const { return shellCombo_; }
  void SetShellCombo(TFcCustomShellCombo* value);

  // The shell data of a node; nullptr for a node that is not the shell's.
  TFcShellTreeData* NodeData(const TTreeNode* node) const;
  // The file-system path of the selected node; empty when it has none.
  std::string SelectedPathName();

  // Builds the tree anew from BaseFolder and selects SelectedFolder (else the root).
  void FillTree();
  // Brings the loaded nodes in line with the namespace, keeping the selection.
  void RefreshNodes();
  // Selects the node `levels` above the selection (the root at most).
  void GoUp(int levels);
  // Makes a new folder in the selected node's folder and starts renaming its node; false
  // when none could be made (a node without a file-system path makes none).
  bool CreateNewFolder();
  // Invokes the verb ("copy", "delete"...) of the node's shell context menu, then refreshes.
  // S_FALSE for a node that is no item of a folder; HRESULT_FROM_WIN32(ERROR_NOT_FOUND) when
  // the menu has no such verb (nothing is invoked). Raises when the item gives no menu.
  HRESULT ExecuteVerb(TTreeNode* node, const std::string& verb);
  // Sorts the node's children (the top-level nodes for nullptr) in the shell's order.
  void SortChildren(TTreeNode* node);
  // With `all`, the linked list and combo flush theirs too; then a pending follow of the
  // selection or refresh runs now.
  void SyncLinkedControls(bool all);
  // Selects the node of an absolute list, adding and expanding the nodes on the way. A list
  // outside BaseFolder, or a level that cannot be added, beeps and stops. Nothing while the
  // tree itself is selecting.
  void SelectIdList(LPCITEMIDLIST target);

  // ---- Drops on the tree (the window's drop target passes them on)
  HRESULT DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
  HRESULT DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
  HRESULT DragLeave() override;
  HRESULT Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;

  TFcShAddItemEvent OnAddItem;
  TFcShTreeDeleteItemEvent OnDeleteItem;
  TFcShTreeInsertItemEvent OnInsertItem;
  TNotifyEvent OnFillStart;
  TNotifyEvent OnFillComplete;
  TFcShPopupHintEvent OnPopupHint;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

  // ---- The tree's own steps, for descendants to change
  // The drop source of a drag begun with the button (0 left, 1 right, 2 middle); one
  // reference for the caller.
  virtual IDropSource* CreateDropSource(int button);
  // Scrolls near the edges while a drag hovers, and opens the node it rests on.
  virtual void DragScroll(POINT point);
  // Adds the item of `folder` under `parentNode` when it is shown (see DoAddItem); the
  // attributes' failure is returned.
  virtual HRESULT AddItem(IShellFolder* folder, LPCITEMIDLIST parentIdList, LPCITEMIDLIST item,
                          TTreeNode* parentNode);
  // Whether the item becomes a node: OnAddItem.
  virtual bool DoAddItem(IShellFolder* folder, LPCITEMIDLIST parentIdList, LPCITEMIDLIST item,
                         SFGAOF attributes);
  // A drive arrived or went (the device notifier's message).
  virtual void DeviceChanged(TMessage& message);
  // Enumerates `folder` into the node's children; for nullptr, into a new root of BaseFolder.
  virtual void FillNode(IShellFolder* folder, TTreeNode* node);
  virtual void DoInsertItem(TTreeNode* node);
  // Fills a shell node that may have children but has none loaded.
  virtual void PopulateNode(TTreeNode* node);
  virtual void DoFillComplete();
  virtual void DoFillStart();
  // A command of the context menu's own items (the Send To entries).
  virtual void DoMenuCommand(TTreeNode* node, int index);
  // Watches a drive's root for new, renamed and removed folders; "" removes every watch.
  virtual void WatchDrive(const std::string& rootPath);
  virtual void ShowShellContextMenu(TTreeNode* node, POINT point);
  // The drop target of a node's item; the node's shell data gives it.
  virtual HRESULT GetNodeDropTarget(TTreeNode* node, IDropTarget** target);
  // Whether a shell list follows the selection; its follow then waits until the keyboard
  // rests.
  virtual bool HasLinkedList() const { return shellList_ != nullptr; }

  // ---- The view's hooks
  bool CanExpand(TTreeNode* node) override;
  void Change(TTreeNode* node) override;
  bool CanEdit(TTreeNode* node) override;
  void Edit(TTreeNode* node, const std::string& text) override;
  void EditCancelled(TTreeNode* node) override;
  void Delete(TTreeNode* node) override;
  void GetImageIndex(TTreeNode* node) override;
  void GetSelectedIndex(TTreeNode* node) override;
  void BeginNodeDrag(TTreeNode* node, TMouseButton button) override;
  void NodeContextMenu(TTreeNode* node, POINT& pos, TPopupMenu*& menu) override;
  void KeyDown(WORD& key, TShiftState shift) override;

  // The window for the shell's own boxes: the outermost form's (none while a drag hovers).
  HWND OwnerWindow();
  // Watches every fixed drive, RAM disk and connected network drive.
  void WatchAllDrives();

  // TVM_DELETEITEM: the item to delete.
  using TTVMDeleteItem = TWMObject<std::remove_pointer_t<HTREEITEM>>;

  void CNNotify(TWMNotify& m);
  void CMShellChangeNotice(TMessage& m);
  void CMShellFillWhenEmpty(TMessage& m);
  void CMDeferredRefresh(TMessage& m);
  void CMForgetDropTarget(TMessage& m);
  void WMPaint(TMessage& m);
  void WMNCDestroy(TMessage& m);
  void WMWindowPosChanged(TMessage& m);
  void TVMDeleteItem(TTVMDeleteItem& m);
  // The messages of the shell's context menu while it shows; the others go on.
  void WMInitMenuPopup(TWMInitMenuPopup& m);
  void WMDrawItem(TWMDrawItem& m);
  void WMMeasureItem(TWMMeasureItem& m);
  void WMMenuChar(TWMMenuChar& m);
  void WMMenuSelect(TWMMenuSelect& m);

 private:
  // Posted to itself when a drag out has ended: the window marks the dragged node as the
  // drop target once the drag's notice returns, and the mark goes again.
  static constexpr UINT kForgetDropTarget = 0x469;

  bool Loading() const { return ComponentState().Contains(csLoading); }
  bool Designing() const { return ComponentState().Contains(csDesigning); }
  // A drag or a context menu is under way, or a node is being renamed: refreshes wait.
  bool RefreshMustWait() const { return dragging_ || IsEditing(); }
  void BaseFolderChanged(TObject* sender);
  void SelectedFolderChanged(TObject* sender);
  void DeviceChangeNotice(TObject* sender, TMessage& message);
  void RefreshTimerTimer(TObject* sender);
  void RestartRefreshTimer(unsigned milliseconds);
  // The node's folder and list go to SelectedFolder and the linked list and combo.
  void FollowSelection(TTreeNode* node);
  // The level of `target` below `node`, among the node's children or added to them;
  // nullptr when it cannot be had.
  TTreeNode* FindOrAddLevel(TTreeNode* node, LPCITEMIDLIST item);
  void MergeNode(TTreeNode* node, TTreeNode*& remembered);
  void RegisterDropTarget(bool on);
  // The node at the client point and its drop target; none over the root, a node that is no
  // item of a folder, or empty space.
  TComPtr<IDropTarget> DropTargetAt(POINT client, TTreeNode*& node);
  void RunPendingRefresh();
  int CompareNodes(TTreeNode* a, TTreeNode* b);
  // Frees the node's data (nothing for other nodes).
  void FreeNodeData(TTreeNode* node);
  // The item's small icon, open or not, in the system list.
  static int IconOf(LPCITEMIDLIST list, bool open);

  // The linked list lists the folder (the tree's own doing: the list's news of it comes back
  // to a busy tree).
  void ListSetFolder(LPCITEMIDLIST list);

  std::unique_ptr<TFcShellLocator> baseFolder_;
  std::unique_ptr<TFcShellLocator> selectedFolder_;
  std::unique_ptr<TCustomImageList> images_;
  TFcShellTreeOptions options_;
  TFcCustomShellList* shellList_ = nullptr;
  TFcCustomShellCombo* shellCombo_ = nullptr;
  std::unordered_set<const void*> shellData_;

  std::unique_ptr<TTimer> refreshTimer_;
  // What the timer runs when it fires: the follow of a selection made by the keyboard, and
  // a refresh after change notices. Both may wait at once.
  bool followPending_ = false;
  bool refreshDue_ = false;
  std::unique_ptr<TChangeHandlerThread> watcher_;
  TComPtr<TDropTarget_shtv> dropTarget_;
  bool dropTargetRegistered_ = false;

  // > 0 while the tree itself selects, clears or navigates.
  int busy_ = 0;
  // > 0 while a node opens under a hovering drag: the shell then shows no boxes.
  int noOwner_ = 0;
  bool followNow_ = false;
  bool ownChange_ = false;
  // A drag from the tree or a context menu is under way.
  bool dragging_ = false;
  bool refreshPending_ = false;
  bool destroyingWnd_ = false;
  TTreeNode* lastInserted_ = nullptr;

  // The context menu being shown, and its Send To entries.
  IContextMenu* activeMenu_ = nullptr;
  std::unique_ptr<TFcSendToList> sendTo_;

  // Drag state: the node dragged out, the data of a drag over the tree, the key state it
  // entered with, the last edge scroll, and where and since when the pointer rests.
  TTreeNode* draggedNode_ = nullptr;
  TComPtr<IDataObject> dragData_;
  DWORD dragKeyState_ = 0;
  DWORD lastScrollTick_ = 0;
  POINT hoverPoint_{0, 0};
  DWORD hoverTick_ = 0;
};

class TFcShellTree : public TFcCustomShellTree {
 public:
  using TFcCustomShellTree::TFcCustomShellTree;
};

// ---- Hover metrics ---------------------------------------------------------------------------

// How long and how still the pointer must rest for a drag to open a node: the system's values,
// read once; a value the system does not give (or gives as 0) is 400 ms, 2 and 2 pixels.
struct TShellHoverMetrics {
  UINT Time = 400;
  UINT Width = 2;
  UINT Height = 2;
};
const TShellHoverMetrics& ShellHoverMetrics();
// The metrics of the system's answers, 0 standing for a value it did not give.
TShellHoverMetrics HoverMetricsFrom(UINT time, UINT width, UINT height);

// Registers TFcShellTree (and what it stands on) for stored layouts. Once is enough.
void RegisterFcShellTree();
