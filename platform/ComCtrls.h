// The system's tree view and list view as controls. The control keeps its nodes, items and
// columns itself and copies them into its window, so they outlive a window made again; texts
// of list items and the images of both are answered when the window asks for them.
//
// Index: shared vocabulary · tree view (TTreeNode, TTreeNodes, TCustomTreeView, TTreeView) ·
// list view (TListItem, TListItems, TListColumn, TListColumns, TIconOptions, TCustomListView,
// TListView) · publishing helpers · registration.
// Where the parts live: ComCtrlsTree.cpp the tree view, ComCtrlsList.cpp the list view,
// ComCtrls.cpp what both share and the registration.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Controls.h"
#include "platform/ImgList.h"
#include "platform/Sets.h"
#include "platform/StdCtrls.h"
#include "platform/TypInfo.h"

// ---- Shared vocabulary ---------------------------------------------------------------------

// The CDIS_ bits of an item being custom drawn, bit for bit.
enum TCustomDrawStateFlag {
  cdsSelected, cdsGrayed, cdsDisabled, cdsChecked, cdsFocused, cdsDefault, cdsHot, cdsMarked,
  cdsIndeterminate
};
using TCustomDrawState = TSet<TCustomDrawStateFlag>;

// Where a point lies relative to a tree's nodes (the TVHT_ answers).
enum THitTest {
  htAbove, htBelow, htNowhere, htOnItem, htOnButton, htOnIcon, htOnIndent, htOnLabel, htOnRight,
  htOnStateIcon, htToLeft, htToRight
};
using THitTests = TSet<THitTest>;

extern const TEnumInfo ViewStyleInfo;

// ---- Tree view -----------------------------------------------------------------------------

class TCustomTreeView;
class TTreeNodes;
class TTreeNode;

// Negative when `a` goes before `b`.
using TTVCompare = std::function<int(TTreeNode* a, TTreeNode* b)>;

// One node: its text, data and images, and its children in order. The node lives as long as
// its tree holds it; Delete (or the tree's Items) frees it and its children.
class TTreeNode {
 public:
  TTreeNode(const TTreeNode&) = delete;
  TTreeNode& operator=(const TTreeNode&) = delete;

  TTreeNodes* Owner() const { return owner_; }
  TCustomTreeView* TreeView() const;
  // The node's item in the window; nullptr while the tree has no window.
  HTREEITEM ItemId() const { return item_; }

  const std::string& Text() const { return text_; }
  void SetText(const std::string& value);
  // Whatever the program hangs on the node; the node never frees it.
  void* Data() const { return data_; }
  void SetData(void* value) { data_ = value; }
  // Indexes into the tree's Images, asked for whenever the node is drawn (see the tree's
  // GetImageIndex). -1 shows none.
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  int SelectedIndex() const { return selectedIndex_; }
  void SetSelectedIndex(int value);
  // The overlay image drawn over the node's image (0 to 3, see TCustomImageList::Overlay);
  // -1 for none.
  int OverlayIndex() const { return overlayIndex_; }
  void SetOverlayIndex(int value);
  // Drawn as cut to the clipboard (faded).
  bool Cut() const { return cut_; }
  void SetCut(bool value);
  // The node shows an expand button even while it has no children yet (they are added when
  // it expands); kept true while it has children.
  bool HasChildren() const;
  void SetHasChildren(bool value);
  // The node's box is ticked (the tree's CheckBoxes).
  bool Checked() const;
  void SetChecked(bool value);

  bool Expanded() const;
  void SetExpanded(bool value) { value ? Expand(false) : Collapse(false); }
  // Expanding asks the tree's CanExpand first, as a click on the button does; `recurse`
  // expands (or collapses) the whole branch.
  void Expand(bool recurse);
  void Collapse(bool recurse);
  bool Selected() const;
  void SetSelected(bool value);
  bool Focused() const;
  // Shown as the target of a drag under way.
  bool DropTarget() const;
  void SetDropTarget(bool value);

  TTreeNode* Parent() const { return parent_; }
  int Count() const { return static_cast<int>(children_.size()); }
  // Raises EListError for an index out of range.
  TTreeNode* Item(int index) const;
  TTreeNode* GetFirstChild() const { return children_.empty() ? nullptr : children_.front(); }
  TTreeNode* GetLastChild() const { return children_.empty() ? nullptr : children_.back(); }
  TTreeNode* GetNextSibling() const;
  TTreeNode* GetPrevSibling() const;
  // The next node in the order the tree lists them all (children first, then siblings).
  TTreeNode* GetNext() const;
  // The position among the parent's children (or the top-level nodes).
  int Index() const;
  // 0 for a top-level node.
  int Level() const;
  bool HasAsParent(const TTreeNode* node) const;
  int IndexOf(const TTreeNode* child) const;

  // The node's row (or, with `textOnly`, its text) in the tree's client coordinates; empty
  // when the node is not shown (inside a collapsed branch) or there is no window.
  RECT DisplayRect(bool textOnly) const;
  // Expands the parents and scrolls the node into view.
  void MakeVisible();
  // Starts editing the node's text; false when the tree does not allow it.
  bool EditText();
  // Ends an edit under way, keeping the typed text unless `cancel`.
  void EndEdit(bool cancel);

  // Sorts the children (with `recurse` their children too) by `compare`; AlphaSort by the
  // tree's OnCompare, else by text without regard to case.
  void CustomSort(const TTVCompare& compare, bool recurse = false);
  void AlphaSort(bool recurse = false);

  // Frees the node and its children (each told to the tree's Delete first).
  void Delete();
  void DeleteChildren();

 private:
  friend class TTreeNodes;
  friend class TCustomTreeView;
  explicit TTreeNode(TTreeNodes* owner) : owner_(owner) {}
  ~TTreeNode();
  std::vector<TTreeNode*>& Siblings() const;
  // Sends the node's state bits to its item.
  void UpdateState(UINT mask, UINT state);
  UINT State(UINT mask) const;

  TTreeNodes* owner_;
  TTreeNode* parent_ = nullptr;
  std::vector<TTreeNode*> children_;
  HTREEITEM item_ = nullptr;
  std::string text_;
  void* data_ = nullptr;
  int imageIndex_ = -1;
  int selectedIndex_ = -1;
  int overlayIndex_ = -1;
  bool cut_ = false;
  bool hasChildren_ = false;
  bool checked_ = false;
  // Kept while the tree has no window: the window shows them again when it is made.
  bool expanded_ = false;
};

// The nodes of a tree: the top-level nodes and, through them, all others.
class TTreeNodes {
 public:
  explicit TTreeNodes(TCustomTreeView* owner) : owner_(owner) {}
  ~TTreeNodes();
  TTreeNodes(const TTreeNodes&) = delete;
  TTreeNodes& operator=(const TTreeNodes&) = delete;

  TCustomTreeView* Owner() const { return owner_; }
  // All nodes, at every level.
  int Count() const;
  TTreeNode* GetFirstNode() const { return roots_.empty() ? nullptr : roots_.front(); }
  int TopLevelCount() const { return static_cast<int>(roots_.size()); }
  // Raises EListError for an index out of range.
  TTreeNode* TopLevelItem(int index) const;

  // A new node at the end (Add) or the start (AddFirst) of `sibling`'s level; the top level
  // when `sibling` is nullptr.
  TTreeNode* Add(TTreeNode* sibling, const std::string& text);
  TTreeNode* AddObject(TTreeNode* sibling, const std::string& text, void* data);
  TTreeNode* AddFirst(TTreeNode* sibling, const std::string& text);
  // A new last (or first) child of `parent`; a top-level node when `parent` is nullptr.
  TTreeNode* AddChild(TTreeNode* parent, const std::string& text);
  TTreeNode* AddChildObject(TTreeNode* parent, const std::string& text, void* data);
  TTreeNode* AddChildFirst(TTreeNode* parent, const std::string& text);
  // A new node just before `sibling` (at the end of the top level when nullptr).
  TTreeNode* Insert(TTreeNode* sibling, const std::string& text);

  void Delete(TTreeNode* node) { node->Delete(); }
  // Frees every node (each told to the tree's Delete first).
  void Clear();

  // The tree is not redrawn between the outermost pair.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }

 private:
  friend class TTreeNode;
  friend class TCustomTreeView;
  TTreeNode* InsertNode(TTreeNode* parent, int position, const std::string& text, void* data);

  TCustomTreeView* owner_;
  std::vector<TTreeNode*> roots_;
  int updateCount_ = 0;
};

using TTVChangedEvent = std::function<void(TObject* sender, TTreeNode* node)>;
using TTVChangingEvent = std::function<void(TObject* sender, TTreeNode* node, bool& allowChange)>;
using TTVExpandingEvent = std::function<void(TObject* sender, TTreeNode* node, bool& allowExpansion)>;
using TTVCollapsingEvent = std::function<void(TObject* sender, TTreeNode* node, bool& allowCollapse)>;
using TTVExpandedEvent = std::function<void(TObject* sender, TTreeNode* node)>;
using TTVEditingEvent = std::function<void(TObject* sender, TTreeNode* node, bool& allowEdit)>;
// `text` is what will become the node's text; the handler may change it.
using TTVEditedEvent = std::function<void(TObject* sender, TTreeNode* node, std::string& text)>;
using TTVCompareEvent =
    std::function<void(TObject* sender, TTreeNode* node1, TTreeNode* node2, int& compare)>;

class TCustomTreeView : public TWinControl {
  MESSAGE_TABLE(TWinControl)

 public:
  explicit TCustomTreeView(TComponent* owner);
  // Frees the nodes without telling anyone: the derived parts that would listen are gone.
  ~TCustomTreeView() override;

  TTreeNodes* Items() const { return items_.get(); }
  // The node with the caret (the window's selection); nullptr when none or without window.
  TTreeNode* Selected() const;
  // Selects the node (nullptr: none); the change events fire as for a click.
  void SetSelected(TTreeNode* node);
  TTreeNode* DropTarget() const;
  // Shows the node as the target of a drag (nullptr: none).
  void SetDropTarget(TTreeNode* node);
  // The first node shown at the top of the client area.
  TTreeNode* TopItem() const;
  void SetTopItem(TTreeNode* node);
  // The node on whose row the client point lies; nullptr when none.
  TTreeNode* GetNodeAt(int x, int y) const;
  THitTests GetHitTestInfoAt(int x, int y) const;
  // A node's text is being edited; EditHandle is the edit box meanwhile.
  bool IsEditing() const;
  HWND EditHandle() const;
  // Sorts the top-level nodes (with `recurse` all nodes) as TTreeNode::CustomSort does.
  void CustomSort(const TTVCompare& compare, bool recurse = false);
  void AlphaSort(bool recurse = false);
  // The node of a window item; nullptr for none.
  TTreeNode* NodeFromItem(HTREEITEM item) const;

  // ---- Properties
  // A click on a node expands it and collapses the branch that was open (the system's
  // single-expand style).
  bool AutoExpand() const { return autoExpand_; }
  virtual void SetAutoExpand(bool value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  // Without it the nodes' texts can be edited (a slow second click, or EditText).
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  // The selection is hidden while the tree has no focus.
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool value);
  // Lines and buttons before the top-level nodes too.
  bool ShowRoot() const { return showRoot_; }
  void SetShowRoot(bool value);
  bool ShowLines() const { return showLines_; }
  void SetShowLines(bool value);
  bool ShowButtons() const { return showButtons_; }
  void SetShowButtons(bool value);
  // Nodes under the mouse are underlined.
  bool HotTrack() const { return hotTrack_; }
  void SetHotTrack(bool value);
  // The selection spans the whole row (without lines).
  bool RowSelect() const { return rowSelect_; }
  void SetRowSelect(bool value);
  // A node's text cut off at the right edge shows whole in a tip.
  bool ToolTips() const { return toolTips_; }
  void SetToolTips(bool value);
  // A box before every node; its tick is the node's Checked.
  bool CheckBoxes() const { return checkBoxes_; }
  void SetCheckBoxes(bool value);
  // A right click selects the node under the mouse.
  bool RightClickSelect() const { return rightClickSelect_; }
  void SetRightClickSelect(bool value) { rightClickSelect_ = value; }
  // Pixels each level is indented by (0: the system's).
  int Indent() const;
  void SetIndent(int value);
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* value);
  TCustomImageList* StateImages() const { return stateImages_; }
  void SetStateImages(TCustomImageList* value);
  // The window lets nodes be dragged (TVN_BEGINDRAG) only with dmAutomatic; see
  // BeginNodeDrag.
  void SetDragMode(TDragMode value) override;

  // ---- Events
  TTVChangedEvent OnChange;
  TTVChangingEvent OnChanging;
  TTVExpandingEvent OnExpanding;
  TTVCollapsingEvent OnCollapsing;
  TTVExpandedEvent OnExpanded;
  TTVExpandedEvent OnCollapsed;
  TTVEditingEvent OnEditing;
  TTVEditedEvent OnEdited;
  TTVExpandedEvent OnGetImageIndex;
  TTVExpandedEvent OnGetSelectedIndex;
  TTVExpandedEvent OnDeletion;
  TTVCompareEvent OnCompare;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Notification(TComponent* component, TOperation operation) override;

  // The selection is about to move to `node` (OnChanging; false keeps it), and has moved.
  virtual bool CanChange(TTreeNode* node);
  virtual void Change(TTreeNode* node);
  // Asked before a node opens or closes, by the user or by Expand and Collapse; a node may
  // get its children here. The others are told afterwards.
  virtual bool CanExpand(TTreeNode* node);
  virtual void Expand(TTreeNode* node);
  virtual bool CanCollapse(TTreeNode* node);
  virtual void Collapse(TTreeNode* node);
  // Editing a node's text may start (not ReadOnly, and OnEditing allows it).
  virtual bool CanEdit(TTreeNode* node);
  // The edit ended with `text` accepted: OnEdited, then the node takes the text.
  virtual void Edit(TTreeNode* node, const std::string& text);
  // The edit ended without a new text (Escape, or the focus went).
  virtual void EditCancelled(TTreeNode* node);
  // The node (and, before it, each of its children) is about to be freed: OnDeletion.
  virtual void Delete(TTreeNode* node);
  // Asked whenever the node's image (or selected image) is drawn: OnGetImageIndex
  // (OnGetSelectedIndex), which may set the node's index.
  virtual void GetImageIndex(TTreeNode* node);
  virtual void GetSelectedIndex(TTreeNode* node);
  // A drag of the node with the button starts (the window's TVN_BEGINDRAG and
  // TVN_BEGINRDRAG). The platform has no drag of its own: nothing happens here.
  virtual void BeginNodeDrag(TTreeNode* node, TMouseButton button);
  // How many drags the window has started so far: a press that turned into a drag is no
  // click.
  unsigned DragStarts() const { return dragStarts_; }

  void CNNotify(TWMNotify& m);
  void CMWantSpecialKey(TWMKey& m);
  void CMColorChanged(TMessage& m);
  void WMDestroy(TMessage& m);

 private:
  friend class TTreeNode;
  friend class TTreeNodes;
  HWND WindowIfMade() const { return HandleAllocated() ? const_cast<TCustomTreeView*>(this)->Handle() : nullptr; }
  // Puts the node (and its children) into the window after `after` under its parent's item.
  void InsertItem(TTreeNode* node, HTREEITEM after);
  void UpdateTreeStyle(LONG_PTR bits, bool on);
  void ApplyImages();
  void ExpandNode(TTreeNode* node, bool expand);
  void SortChildren(TTreeNode* parent, const TTVCompare& compare, bool recurse);
  // Reads the order of the parent's children back from the window after it sorted them.
  void ReadChildOrder(TTreeNode* parent);
  // Tells Delete of the node and its children, children first.
  void NotifyDeletion(TTreeNode* node);
  TTreeNode* NodeFromNotify(const TVITEMA& item) const;
  void CompareDefault(TTreeNode* a, TTreeNode* b, int& result);

  std::unique_ptr<TTreeNodes> items_;
  TCustomImageList* images_ = nullptr;
  TCustomImageList* stateImages_ = nullptr;
  TChangeLink imageLink_;
  TChangeLink stateImageLink_;
  TBorderStyle borderStyle_ = bsSingle;
  bool autoExpand_ = false;
  bool readOnly_ = false;
  bool hideSelection_ = true;
  bool showRoot_ = true;
  bool showLines_ = true;
  bool showButtons_ = true;
  bool hotTrack_ = false;
  bool rowSelect_ = false;
  bool toolTips_ = true;
  bool checkBoxes_ = false;
  bool rightClickSelect_ = false;
  int indent_ = 0;
  // While set the window's own notices of expansion are not passed on (Expand and Collapse
  // from code ask and tell themselves), and deletions are not either (Delete is told first).
  int manualNotify_ = 0;
  bool windowGoing_ = false;
  // While the nodes go back into a window made again: its selection notices are not passed on.
  bool restoringWindow_ = false;
  // The edit under way has been reported as ended: the system reports a cancelled edit a
  // second time, as accepted, when its edit box goes.
  bool editEnded_ = true;
  unsigned dragStarts_ = 0;
  // Kept while the window is made again.
  TTreeNode* savedSelected_ = nullptr;
};

class TTreeView : public TCustomTreeView {
 public:
  using TCustomTreeView::TCustomTreeView;
};

// ---- List view -----------------------------------------------------------------------------

class TCustomListView;
class TListItems;
class TListItem;

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
// Which rectangle of an item DisplayRect gives (the LVIR_ codes).
enum TDisplayCode { drBounds, drIcon, drLabel, drSelectBounds };
// What changed of an item: its text, its image or its state (selection, focus, check).
enum TItemChange { ctText, ctImage, ctState };
enum TItemStateFlag { isCut, isDropHilited, isFocused, isSelected };
using TItemStates = TSet<TItemStateFlag>;

// Negative when `a` goes before `b`.
using TLVCompare = std::function<int(TListItem* a, TListItem* b)>;

// One item: its caption, the texts of the further columns, its data and images. The texts
// reach the window when it asks for them (see TCustomListView::GetItemText).
class TListItem {
 public:
  TListItem(const TListItem&) = delete;
  TListItem& operator=(const TListItem&) = delete;

  TListItems* Owner() const { return owner_; }
  TCustomListView* ListView() const;
  // The position in the list (and in the window).
  int Index() const { return index_; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  // Whatever the program hangs on the item; the item never frees it.
  void* Data() const { return data_; }
  void SetData(void* value) { data_ = value; }
  // The texts of the columns after the first.
  int SubItemCount() const { return static_cast<int>(subItems_.size()); }
  // Empty beyond the last one.
  std::string SubItem(int index) const;
  // Adds empty texts up to `index` when needed.
  void SetSubItem(int index, const std::string& value);
  void AddSubItem(const std::string& value);
  void ClearSubItems();

  // An index into the list's images, asked for whenever the item is drawn (see the list's
  // GetImageIndex).
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  // The overlay image (0 to 3, see TCustomImageList::Overlay); -1 for none.
  int OverlayIndex() const { return overlayIndex_; }
  void SetOverlayIndex(int value);
  bool Cut() const;
  void SetCut(bool value);
  bool DropTarget() const;
  void SetDropTarget(bool value);
  bool Selected() const;
  void SetSelected(bool value);
  bool Focused() const;
  void SetFocused(bool value);
  // The item's box is ticked (the list's Checkboxes). Setting it goes through the list's
  // change notices like a click on the box.
  bool Checked() const;
  void SetChecked(bool value);

  // In the list's client coordinates; empty without a window.
  RECT DisplayRect(TDisplayCode code) const;
  void MakeVisible(bool partialOk);
  // Starts editing the caption; false when the list does not allow it.
  bool EditCaption();
  // Draws the item again (after its texts changed behind its back).
  void Update();
  // Frees the item (told to the list's Delete first).
  void Delete();

 private:
  friend class TListItems;
  friend class TCustomListView;
  explicit TListItem(TListItems* owner) : owner_(owner) {}
  void SetStateBits(UINT mask, UINT state);
  UINT StateBits(UINT mask) const;

  TListItems* owner_;
  int index_ = -1;
  std::string caption_;
  std::vector<std::string> subItems_;
  void* data_ = nullptr;
  int imageIndex_ = -1;
  int overlayIndex_ = -1;
  // The state the window takes when it is made (again).
  UINT state_ = 0;
  bool checked_ = false;
};

class TListItems {
 public:
  explicit TListItems(TCustomListView* owner) : owner_(owner) {}
  ~TListItems();
  TListItems(const TListItems&) = delete;
  TListItems& operator=(const TListItems&) = delete;

  TCustomListView* Owner() const { return owner_; }
  int Count() const { return static_cast<int>(items_.size()); }
  // Raises EListError for an index out of range.
  TListItem* Item(int index) const;
  // A new item at the end, or at `index`. The list's InsertItem hears of it once it is in
  // the window; its caption and sub-items may be set then.
  TListItem* Add();
  TListItem* Insert(int index);
  void Delete(int index) { Item(index)->Delete(); }
  // Frees every item (each told to the list's Delete first).
  void Clear();
  int IndexOf(const TListItem* item) const;

  // The list is not redrawn between the outermost pair.
  void BeginUpdate();
  void EndUpdate();

 private:
  friend class TListItem;
  friend class TCustomListView;
  void Renumber(int from);

  TCustomListView* owner_;
  std::vector<TListItem*> items_;
  int updateCount_ = 0;
};

class TListColumns;

// One column of the report view: its header caption, width and alignment.
class TListColumn {
 public:
  TListColumn(const TListColumn&) = delete;
  TListColumn& operator=(const TListColumn&) = delete;

  TListColumns* Owner() const { return owner_; }
  int Index() const;
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  // In pixels; while the Details view shows, as the user dragged it. Kept in every view and
  // shown again when Details is chosen.
  int Width() const;
  void SetWidth(int value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  // An image of the list's SmallImages shown in the header; -1 for none.
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);

 private:
  friend class TListColumns;
  friend class TCustomListView;
  explicit TListColumn(TListColumns* owner) : owner_(owner) {}
  void Apply(UINT mask) const;
  // The list's window while it shows the Details view; nullptr otherwise.
  HWND ReportWindow() const;

  TListColumns* owner_;
  std::string caption_;
  mutable int width_ = 50;
  TAlignment alignment_ = taLeftJustify;
  int imageIndex_ = -1;
};

class TListColumns {
 public:
  explicit TListColumns(TCustomListView* owner) : owner_(owner) {}
  ~TListColumns();
  TListColumns(const TListColumns&) = delete;
  TListColumns& operator=(const TListColumns&) = delete;

  TCustomListView* Owner() const { return owner_; }
  int Count() const { return static_cast<int>(columns_.size()); }
  // Raises EListError for an index out of range.
  TListColumn* Items(int index) const;
  TListColumn* Add();
  void Delete(int index);
  void Clear();
  int IndexOf(const TListColumn* column) const;
  // The list is not redrawn between the outermost pair.
  void BeginUpdate();
  void EndUpdate();

 private:
  friend class TListColumn;
  friend class TCustomListView;
  TCustomListView* owner_;
  std::vector<TListColumn*> columns_;
};

// How the icon views lay their items out.
class TIconOptions : public TPersistent {
 public:
  explicit TIconOptions(TCustomListView* owner) : owner_(owner) {}
  void Assign(TPersistent* source) override;
  // The items are kept arranged in rows.
  bool AutoArrange() const { return autoArrange_; }
  void SetAutoArrange(bool value);

 private:
  TCustomListView* owner_;
  bool autoArrange_ = false;
};

// What a header of a report view told its list (each in its ANSI or Unicode form).
enum THeaderNotification {
  hnItemClick, hnItemChanged, hnBeginTrack, hnEndTrack, hnDividerDblClick
};

using TLVNotifyEvent = std::function<void(TObject* sender, TListItem* item)>;
using TLVChangeEvent = std::function<void(TObject* sender, TListItem* item, TItemChange change)>;
using TLVChangingEvent =
    std::function<void(TObject* sender, TListItem* item, TItemChange change, bool& allowChange)>;
using TLVColumnClickEvent = std::function<void(TObject* sender, TListColumn* column)>;
using TLVEditingEvent = std::function<void(TObject* sender, TListItem* item, bool& allowEdit)>;
// `text` is what will become the caption; the handler may change it.
using TLVEditedEvent = std::function<void(TObject* sender, TListItem* item, std::string& text)>;
using TLVCompareEvent =
    std::function<void(TObject* sender, TListItem* item1, TListItem* item2, int& compare)>;
// Before an item is drawn: the handler may set the list's Canvas font colour (text) and
// brush colour (background) for it, or paint it itself and clear `defaultDraw`.
using TLVCustomDrawItemEvent =
    std::function<void(TObject* sender, TListItem* item, TCustomDrawState state, bool& defaultDraw)>;

class TCustomListView : public TWinControl {
  MESSAGE_TABLE(TWinControl)

 public:
  explicit TCustomListView(TComponent* owner);
  // Frees the items without telling anyone: the derived parts that would listen are gone.
  ~TCustomListView() override;

  TListItems* Items() const { return items_.get(); }
  TListColumns* Columns() const { return columns_.get(); }
  TIconOptions* IconOptions() const { return iconOptions_.get(); }

  // The first selected item; nullptr when none. Setting one selects it alone and focuses it.
  TListItem* Selected() const;
  void SetSelected(TListItem* item);
  int SelCount() const;
  TListItem* ItemFocused() const;
  void SetItemFocused(TListItem* item);
  // The next item after `start` (from the first when nullptr) in one of the states; nullptr
  // when none.
  TListItem* GetNextItem(TListItem* start, TItemStates states) const;
  // The item whose icon or caption lies under the client point; nullptr when none.
  TListItem* GetItemAt(int x, int y) const;
  void SelectAll();
  void ClearSelection();
  // A caption is being edited; EditHandle is the edit box meanwhile.
  bool IsEditing() const;
  HWND EditHandle() const;
  // Scrolls the contents by pixels (in the list view by columns horizontally).
  void Scroll(int dx, int dy);
  // Sorts the items by `compare`; AlphaSort by OnCompare, else by caption without regard to
  // case.
  void CustomSort(const TLVCompare& compare);
  void AlphaSort();
  // The report view's header; nullptr without a window.
  HWND HeaderHandle() const;
  // The canvas custom drawing paints on, bound to the window's context while an item is
  // drawn.
  TCanvas* Canvas() const { return canvas_.get(); }

  // ---- Properties
  TViewStyle ViewStyle() const { return viewStyle_; }
  virtual void SetViewStyle(TViewStyle value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool value);
  // Without it captions can be edited (a slow second click, or EditCaption).
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  // The selection spans the whole row in the report view.
  bool RowSelect() const { return rowSelect_; }
  void SetRowSelect(bool value);
  // A box before every item; its tick is the item's Checked.
  bool Checkboxes() const { return checkboxes_; }
  void SetCheckboxes(bool value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool value);
  // The header's items can be clicked (OnColumnClick).
  bool ColumnClick() const { return columnClick_; }
  void SetColumnClick(bool value);
  // How many items the list makes room for at once.
  int AllocBy() const { return allocBy_; }
  void SetAllocBy(int value);
  TCustomImageList* SmallImages() const { return smallImages_; }
  void SetSmallImages(TCustomImageList* value);
  TCustomImageList* LargeImages() const { return largeImages_; }
  void SetLargeImages(TCustomImageList* value);
  TCustomImageList* StateImages() const { return stateImages_; }
  void SetStateImages(TCustomImageList* value);

  // ---- Events
  TLVChangeEvent OnChange;
  TLVChangingEvent OnChanging;
  TLVColumnClickEvent OnColumnClick;
  TLVCompareEvent OnCompare;
  TLVNotifyEvent OnDeletion;
  TLVNotifyEvent OnInsert;
  TLVEditingEvent OnEditing;
  TLVEditedEvent OnEdited;
  TLVNotifyEvent OnGetImageIndex;
  TLVCustomDrawItemEvent OnCustomDrawItem;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Notification(TComponent* component, TOperation operation) override;

  // An item is about to change (OnChanging; false refuses the change), and has changed.
  virtual bool CanChange(TListItem* item, TItemChange change);
  virtual void Change(TListItem* item, TItemChange change);
  // A header item was clicked: OnColumnClick.
  virtual void ColClick(TListColumn* column);
  // Editing a caption may start (not ReadOnly, and OnEditing allows it).
  virtual bool CanEdit(TListItem* item);
  // The edit ended with `text` accepted: OnEdited, then the item takes the text.
  virtual void Edit(TListItem* item, const std::string& text);
  // The edit ended without a new text.
  virtual void EditCancelled(TListItem* item);
  // True while EditCaption (not the user) starts an edit.
  bool EditingFromCode() const { return editingFromCode_; }
  // The item is about to be freed: OnDeletion.
  virtual void Delete(TListItem* item);
  // The item is in the window now: OnInsert.
  virtual void InsertItem(TListItem* item);
  // Asked whenever the item's image is drawn: OnGetImageIndex, which may set its index.
  virtual void GetImageIndex(TListItem* item);
  // The text the window shows in the column (0 the caption, n the (n-1)-th sub-item).
  virtual void GetItemText(TListItem* item, int column, std::string& text);
  // Whether items are custom drawn at all (here: when OnCustomDrawItem is assigned), and
  // the drawing of one: OnCustomDrawItem; false when the item was painted by the handler.
  virtual bool IsCustomDrawn();
  virtual bool CustomDrawItem(TListItem* item, TCustomDrawState state);
  // A drag of the item with the button starts (LVN_BEGINDRAG, LVN_BEGINRDRAG). The platform
  // has no drag of its own: nothing happens here.
  virtual void BeginItemDrag(TListItem* item, TMouseButton button);
  // How many drags the window has started so far: a press that turned into a drag is no
  // click.
  unsigned DragStarts() const { return dragStarts_; }
  // The items are going back into a window made again: the window's change notices then
  // report no change of the user's.
  bool RestoringWindow() const { return restoringWindow_; }
  // The header's notices, after the list's own handling; `column` is the header item.
  virtual void HeaderNotify(THeaderNotification notification, int column);
  // Every message of the header passes here once the header is hooked (see HookHeader);
  // call the inherited one to let the header have it.
  virtual void HeaderWndProc(TMessage& m);
  // Routes the header's messages through HeaderWndProc; doing it again changes nothing.
  // The window does it when it is made, and gives the header its own procedure back when
  // it goes.
  void HookHeader();
  void UnhookHeader();
  bool HeaderHooked() const { return headerDefProc_ != nullptr; }

  void CNNotify(TWMNotify& m);
  void WMNotify(TWMNotify& m);
  void CMWantSpecialKey(TWMKey& m);
  void CMColorChanged(TMessage& m);
  void WMDestroy(TMessage& m);

 private:
  friend class TListItem;
  friend class TListItems;
  friend class TListColumn;
  friend class TListColumns;
  friend class TIconOptions;
  static LRESULT CALLBACK HeaderProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
  HWND WindowIfMade() const { return HandleAllocated() ? const_cast<TCustomListView*>(this)->Handle() : nullptr; }
  void InsertWindowItem(TListItem* item);
  void InsertWindowColumn(TListColumn* column);
  void UpdateListStyle(LONG_PTR bits, bool on);
  void UpdateExtendedStyle(DWORD bits, bool on);
  void ApplyImages();
  void ApplyColors();
  // Reads the items' order back from the window after it sorted them.
  void ReadItemOrder();
  TListItem* ItemOf(int index) const;
  LRESULT CustomDraw(NMLVCUSTOMDRAW& cd);

  std::unique_ptr<TListItems> items_;
  std::unique_ptr<TListColumns> columns_;
  std::unique_ptr<TIconOptions> iconOptions_;
  std::unique_ptr<TCanvas> canvas_;
  TCustomImageList* smallImages_ = nullptr;
  TCustomImageList* largeImages_ = nullptr;
  TCustomImageList* stateImages_ = nullptr;
  TChangeLink smallImageLink_;
  TChangeLink largeImageLink_;
  TChangeLink stateImageLink_;
  TViewStyle viewStyle_ = vsIcon;
  TBorderStyle borderStyle_ = bsSingle;
  bool multiSelect_ = false;
  bool readOnly_ = false;
  bool rowSelect_ = false;
  bool checkboxes_ = false;
  bool hideSelection_ = true;
  bool columnClick_ = true;
  int allocBy_ = 0;
  bool editingFromCode_ = false;
  bool editEnded_ = true;
  bool windowGoing_ = false;
  // While the items go back into a window made again: its change notices are not passed on.
  bool restoringWindow_ = false;
  unsigned dragStarts_ = 0;
  HWND header_ = nullptr;
  WNDPROC headerDefProc_ = nullptr;
};

class TListView : public TCustomListView {
 public:
  using TCustomListView::TCustomListView;
};

// ---- Publishing ----------------------------------------------------------------------------

extern const TEnumInfo ComCtrlsBorderStyleInfo;

// An event member of a base class as a member of C, for C's builder.
template <class C, class F, class B>
F C::*InheritedEvent(F B::*member) {
  return member;
}

// The tree view's properties and events on the builder of C (a TCustomTreeView), for the
// published classes of this platform and of the library built on it. Color is left to C.
template <class C>
TClassBuilder<C>& PublishTreeViewProperties(TClassBuilder<C>& builder) {
  return builder.Boolean("TabStop", &C::TabStop, &C::SetTabStop, true)
      .Enum("BorderStyle", ComCtrlsBorderStyleInfo, &C::BorderStyle, &C::SetBorderStyle, bsSingle)
      .Boolean("AutoExpand", &C::AutoExpand, &C::SetAutoExpand, false)
      .Boolean("ReadOnly", &C::ReadOnly, &C::SetReadOnly, false)
      .Boolean("HideSelection", &C::HideSelection, &C::SetHideSelection, true)
      .Boolean("ShowRoot", &C::ShowRoot, &C::SetShowRoot, true)
      .Boolean("ShowLines", &C::ShowLines, &C::SetShowLines, true)
      .Boolean("ShowButtons", &C::ShowButtons, &C::SetShowButtons, true)
      .Boolean("HotTrack", &C::HotTrack, &C::SetHotTrack, false)
      .Boolean("RowSelect", &C::RowSelect, &C::SetRowSelect, false)
      .Boolean("ToolTips", &C::ToolTips, &C::SetToolTips, true)
      .Boolean("CheckBoxes", &C::CheckBoxes, &C::SetCheckBoxes, false)
      .Boolean("RightClickSelect", &C::RightClickSelect, &C::SetRightClickSelect, false)
      .Integer("Indent", &C::Indent, &C::SetIndent, 0)
      .Component("Images", &C::Images, &C::SetImages)
      .Component("StateImages", &C::StateImages, &C::SetStateImages)
      .Event("OnChange", InheritedEvent<C>(&C::OnChange))
      .Event("OnChanging", InheritedEvent<C>(&C::OnChanging))
      .Event("OnExpanding", InheritedEvent<C>(&C::OnExpanding))
      .Event("OnCollapsing", InheritedEvent<C>(&C::OnCollapsing))
      .Event("OnExpanded", InheritedEvent<C>(&C::OnExpanded))
      .Event("OnCollapsed", InheritedEvent<C>(&C::OnCollapsed))
      .Event("OnEditing", InheritedEvent<C>(&C::OnEditing))
      .Event("OnEdited", InheritedEvent<C>(&C::OnEdited))
      .Event("OnGetImageIndex", InheritedEvent<C>(&C::OnGetImageIndex))
      .Event("OnGetSelectedIndex", InheritedEvent<C>(&C::OnGetSelectedIndex))
      .Event("OnDeletion", InheritedEvent<C>(&C::OnDeletion))
      .Event("OnCompare", InheritedEvent<C>(&C::OnCompare));
}

// The list view's properties and events on the builder of C (a TCustomListView). Color is
// left to C.
template <class C>
TClassBuilder<C>& PublishListViewProperties(TClassBuilder<C>& builder) {
  return builder.Boolean("TabStop", &C::TabStop, &C::SetTabStop, true)
      .Enum("BorderStyle", ComCtrlsBorderStyleInfo, &C::BorderStyle, &C::SetBorderStyle, bsSingle)
      .Enum("ViewStyle", ViewStyleInfo, &C::ViewStyle, &C::SetViewStyle, vsIcon)
      .Boolean("MultiSelect", &C::MultiSelect, &C::SetMultiSelect, false)
      .Boolean("ReadOnly", &C::ReadOnly, &C::SetReadOnly, false)
      .Boolean("RowSelect", &C::RowSelect, &C::SetRowSelect, false)
      .Boolean("Checkboxes", &C::Checkboxes, &C::SetCheckboxes, false)
      .Boolean("HideSelection", &C::HideSelection, &C::SetHideSelection, true)
      .Boolean("ColumnClick", &C::ColumnClick, &C::SetColumnClick, true)
      .Integer("AllocBy", &C::AllocBy, &C::SetAllocBy, 0)
      .Object("IconOptions", &C::IconOptions)
      .Component("SmallImages", &C::SmallImages, &C::SetSmallImages)
      .Component("LargeImages", &C::LargeImages, &C::SetLargeImages)
      .Component("StateImages", &C::StateImages, &C::SetStateImages)
      .Event("OnChange", InheritedEvent<C>(&C::OnChange))
      .Event("OnChanging", InheritedEvent<C>(&C::OnChanging))
      .Event("OnColumnClick", InheritedEvent<C>(&C::OnColumnClick))
      .Event("OnCompare", InheritedEvent<C>(&C::OnCompare))
      .Event("OnDeletion", InheritedEvent<C>(&C::OnDeletion))
      .Event("OnInsert", InheritedEvent<C>(&C::OnInsert))
      .Event("OnEditing", InheritedEvent<C>(&C::OnEditing))
      .Event("OnEdited", InheritedEvent<C>(&C::OnEdited))
      .Event("OnGetImageIndex", InheritedEvent<C>(&C::OnGetImageIndex))
      .Event("OnCustomDrawItem", InheritedEvent<C>(&C::OnCustomDrawItem));
}

// Registers TTreeView and TListView (and their icon options) for stored layouts, with the
// standard controls and image lists. Once is enough.
void RegisterComCtrls();
