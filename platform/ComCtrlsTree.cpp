// The tree view: its nodes, kept by the control and copied into the window, and the window's
// notices (unit of ComCtrls.h).

#include <algorithm>
#include <cstring>

#include "platform/ComCtrls.h"
#include "platform/ComCtrlsPrivate.h"
#include "platform/Guards.h"

using namespace ComCtrlsPrivate;

namespace {

// Not named by every version of the system's headers.
constexpr UINT kFocusedState = 0x0001;   // TVIS_FOCUSED
constexpr UINT kExpandActions = 0x0003;  // TVE_ACTIONMASK

const struct {
  UINT flag;
  THitTest test;
} kHitFlags[] = {
    {TVHT_ABOVE, htAbove},          {TVHT_BELOW, htBelow},
    {TVHT_NOWHERE, htNowhere},      {TVHT_ONITEMICON, htOnIcon},
    {TVHT_ONITEMINDENT, htOnIndent}, {TVHT_ONITEMBUTTON, htOnButton},
    {TVHT_ONITEMLABEL, htOnLabel},  {TVHT_ONITEMRIGHT, htOnRight},
    {TVHT_ONITEMSTATEICON, htOnStateIcon}, {TVHT_TOLEFT, htToLeft},
    {TVHT_TORIGHT, htToRight},
};

// The state bits of a node's overlay image (0 to 3; -1 none).
UINT OverlayState(int overlay) {
  return overlay >= 0 ? static_cast<UINT>(INDEXTOOVERLAYMASK(overlay + 1)) : 0;
}

int CALLBACK CompareNodes(LPARAM a, LPARAM b, LPARAM data) {
  auto* sort = reinterpret_cast<std::pair<const TTVCompare*, TSortGuard*>*>(data);
  return sort->second->Compare([&] {
    return (*sort->first)(reinterpret_cast<TTreeNode*>(a), reinterpret_cast<TTreeNode*>(b));
  });
}

}  // namespace

// ---- TTreeNode -----------------------------------------------------------------------------

TTreeNode::~TTreeNode() {
  for (TTreeNode* child : children_) delete child;
}

TCustomTreeView* TTreeNode::TreeView() const { return owner_->Owner(); }

std::vector<TTreeNode*>& TTreeNode::Siblings() const {
  return parent_ ? parent_->children_ : owner_->roots_;
}

void TTreeNode::SetText(const std::string& value) {
  text_ = value;
  if (HWND wnd = TreeView()->WindowIfMade()) {
    TVITEMA item{};
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = item_;
    item.pszText = text_.data();
    SendMessageA(wnd, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }
}

void TTreeNode::SetImageIndex(int value) {
  if (value == imageIndex_) return;
  imageIndex_ = value;
  // The window asks for the image on each paint: drawing the row again is enough.
  if (TreeView()->WindowIfMade()) {
    RECT r = DisplayRect(false);
    InvalidateRect(TreeView()->Handle(), &r, TRUE);
  }
}

void TTreeNode::SetSelectedIndex(int value) {
  if (value == selectedIndex_) return;
  selectedIndex_ = value;
  if (TreeView()->WindowIfMade()) {
    RECT r = DisplayRect(false);
    InvalidateRect(TreeView()->Handle(), &r, TRUE);
  }
}

void TTreeNode::UpdateState(UINT mask, UINT state) {
  HWND wnd = TreeView()->WindowIfMade();
  if (!wnd || !item_) return;
  TVITEMA item{};
  item.mask = TVIF_STATE | TVIF_HANDLE;
  item.hItem = item_;
  item.stateMask = mask;
  item.state = state;
  SendMessageA(wnd, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

UINT TTreeNode::State(UINT mask) const {
  HWND wnd = TreeView()->WindowIfMade();
  if (!wnd || !item_) return 0;
  return static_cast<UINT>(SendMessageA(wnd, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item_), mask));
}

void TTreeNode::SetOverlayIndex(int value) {
  if (value == overlayIndex_) return;
  overlayIndex_ = value;
  UpdateState(TVIS_OVERLAYMASK, OverlayState(value));
}

void TTreeNode::SetCut(bool value) {
  if (value == cut_) return;
  cut_ = value;
  UpdateState(TVIS_CUT, value ? TVIS_CUT : 0);
}

bool TTreeNode::HasChildren() const { return hasChildren_; }

void TTreeNode::SetHasChildren(bool value) {
  hasChildren_ = value;
  HWND wnd = TreeView()->WindowIfMade();
  if (!wnd || !item_) return;
  TVITEMA item{};
  item.mask = TVIF_CHILDREN | TVIF_HANDLE;
  item.hItem = item_;
  item.cChildren = value ? 1 : 0;
  SendMessageA(wnd, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

bool TTreeNode::Checked() const {
  if (TreeView()->WindowIfMade() && TreeView()->CheckBoxes())
    return (State(TVIS_STATEIMAGEMASK) >> 12) == 2;
  return checked_;
}

void TTreeNode::SetChecked(bool value) {
  checked_ = value;
  if (TreeView()->CheckBoxes())
    UpdateState(TVIS_STATEIMAGEMASK, static_cast<UINT>(INDEXTOSTATEIMAGEMASK(value ? 2 : 1)));
}

bool TTreeNode::Expanded() const {
  if (TreeView()->WindowIfMade()) return (State(TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
  return expanded_;
}

void TTreeNode::Expand(bool recurse) {
  if (!Expanded()) TreeView()->ExpandNode(this, true);
  if (recurse)
    for (TTreeNode* child : std::vector<TTreeNode*>(children_)) child->Expand(true);
}

void TTreeNode::Collapse(bool recurse) {
  if (recurse)
    for (TTreeNode* child : std::vector<TTreeNode*>(children_)) child->Collapse(true);
  if (Expanded()) TreeView()->ExpandNode(this, false);
}

bool TTreeNode::Selected() const { return TreeView()->Selected() == this; }

void TTreeNode::SetSelected(bool value) {
  if (value)
    TreeView()->SetSelected(this);
  else if (Selected())
    TreeView()->SetSelected(nullptr);
}

bool TTreeNode::Focused() const { return (State(kFocusedState) & kFocusedState) != 0; }

bool TTreeNode::DropTarget() const { return TreeView()->DropTarget() == this; }

void TTreeNode::SetDropTarget(bool value) {
  if (value)
    TreeView()->SetDropTarget(this);
  else if (DropTarget())
    TreeView()->SetDropTarget(nullptr);
}

TTreeNode* TTreeNode::Item(int index) const {
  if (index < 0 || index >= Count()) throw EListError(Format("List index out of bounds (%d)", index));
  return children_[static_cast<size_t>(index)];
}

TTreeNode* TTreeNode::GetNextSibling() const {
  auto& list = Siblings();
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() || it + 1 == list.end() ? nullptr : *(it + 1);
}

TTreeNode* TTreeNode::GetPrevSibling() const {
  auto& list = Siblings();
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() || it == list.begin() ? nullptr : *(it - 1);
}

TTreeNode* TTreeNode::GetNext() const {
  if (!children_.empty()) return children_.front();
  for (const TTreeNode* n = this; n; n = n->parent_)
    if (TTreeNode* next = n->GetNextSibling()) return next;
  return nullptr;
}

int TTreeNode::Index() const {
  auto& list = Siblings();
  return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

int TTreeNode::Level() const {
  int level = 0;
  for (TTreeNode* p = parent_; p; p = p->parent_) ++level;
  return level;
}

bool TTreeNode::HasAsParent(const TTreeNode* node) const {
  for (TTreeNode* p = parent_; p; p = p->parent_)
    if (p == node) return true;
  return false;
}

int TTreeNode::IndexOf(const TTreeNode* child) const {
  auto it = std::find(children_.begin(), children_.end(), child);
  return it == children_.end() ? -1 : static_cast<int>(it - children_.begin());
}

RECT TTreeNode::DisplayRect(bool textOnly) const {
  RECT r{0, 0, 0, 0};
  HWND wnd = TreeView()->WindowIfMade();
  if (!wnd || !item_) return r;
  // The message takes the item in the rect's first bytes.
  std::memcpy(&r, &item_, sizeof(item_));
  if (!SendMessageA(wnd, TVM_GETITEMRECT, textOnly ? TRUE : FALSE, reinterpret_cast<LPARAM>(&r)))
    r = RECT{0, 0, 0, 0};
  return r;
}

void TTreeNode::MakeVisible() {
  if (HWND wnd = TreeView()->WindowIfMade()) {
    for (TTreeNode* p = parent_; p; p = p->parent_)
      if (!p->Expanded()) p->Expand(false);
    SendMessageA(wnd, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item_));
  }
}

bool TTreeNode::EditText() {
  TCustomTreeView* tree = TreeView();
  HWND wnd = tree->Handle();
  if (GetFocus() != wnd) ::SetFocus(wnd);
  return SendMessageA(wnd, TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(item_)) != 0;
}

void TTreeNode::EndEdit(bool cancel) {
  if (HWND wnd = TreeView()->WindowIfMade()) SendMessageA(wnd, TVM_ENDEDITLABELNOW, cancel ? TRUE : FALSE, 0);
}

void TTreeNode::CustomSort(const TTVCompare& compare, bool recurse) {
  TreeView()->SortChildren(this, compare, recurse);
}

void TTreeNode::AlphaSort(bool recurse) {
  TCustomTreeView* tree = TreeView();
  tree->SortChildren(this, [tree](TTreeNode* a, TTreeNode* b) {
    int result = 0;
    tree->CompareDefault(a, b, result);
    return result;
  }, recurse);
}

void TTreeNode::Delete() {
  TCustomTreeView* tree = TreeView();
  tree->NotifyDeletion(this);
  if (HWND wnd = tree->WindowIfMade()) {
    TRestore<int> quiet(tree->manualNotify_, tree->manualNotify_ + 1);
    SendMessageA(wnd, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item_));
  }
  if (tree->savedSelected_ == this || (tree->savedSelected_ && tree->savedSelected_->HasAsParent(this)))
    tree->savedSelected_ = nullptr;
  auto& list = Siblings();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  // A parent left without children has nothing to show under its button.
  if (parent_ && parent_->children_.empty()) parent_->SetHasChildren(false);
  delete this;
}

void TTreeNode::DeleteChildren() {
  while (!children_.empty()) children_.back()->Delete();
}

// ---- TTreeNodes ----------------------------------------------------------------------------

TTreeNodes::~TTreeNodes() {
  for (TTreeNode* node : roots_) delete node;
}

int TTreeNodes::Count() const {
  int count = 0;
  for (TTreeNode* n = GetFirstNode(); n; n = n->GetNext()) ++count;
  return count;
}

TTreeNode* TTreeNodes::TopLevelItem(int index) const {
  if (index < 0 || index >= TopLevelCount())
    throw EListError(Format("List index out of bounds (%d)", index));
  return roots_[static_cast<size_t>(index)];
}

TTreeNode* TTreeNodes::InsertNode(TTreeNode* parent, int position, const std::string& text, void* data) {
  auto* node = new TTreeNode(this);
  node->parent_ = parent;
  node->text_ = text;
  node->data_ = data;
  auto& list = parent ? parent->children_ : roots_;
  position = std::clamp(position, 0, static_cast<int>(list.size()));
  list.insert(list.begin() + position, node);
  if (parent && !parent->hasChildren_) parent->SetHasChildren(true);
  if (owner_->WindowIfMade()) {
    HTREEITEM after = position == 0 ? TVI_FIRST : list[static_cast<size_t>(position - 1)]->item_;
    owner_->InsertItem(node, after);
  }
  return node;
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const std::string& text) {
  return AddObject(sibling, text, nullptr);
}

TTreeNode* TTreeNodes::AddObject(TTreeNode* sibling, const std::string& text, void* data) {
  TTreeNode* parent = sibling ? sibling->parent_ : nullptr;
  return InsertNode(parent, parent ? parent->Count() : TopLevelCount(), text, data);
}

TTreeNode* TTreeNodes::AddFirst(TTreeNode* sibling, const std::string& text) {
  return InsertNode(sibling ? sibling->parent_ : nullptr, 0, text, nullptr);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const std::string& text) {
  return AddChildObject(parent, text, nullptr);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* parent, const std::string& text, void* data) {
  return InsertNode(parent, parent ? parent->Count() : TopLevelCount(), text, data);
}

TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* parent, const std::string& text) {
  return InsertNode(parent, 0, text, nullptr);
}

TTreeNode* TTreeNodes::Insert(TTreeNode* sibling, const std::string& text) {
  if (!sibling) return InsertNode(nullptr, TopLevelCount(), text, nullptr);
  return InsertNode(sibling->parent_, sibling->Index(), text, nullptr);
}

void TTreeNodes::Clear() {
  for (TTreeNode* node : std::vector<TTreeNode*>(roots_)) owner_->NotifyDeletion(node);
  if (HWND wnd = owner_->WindowIfMade()) {
    TRestore<int> quiet(owner_->manualNotify_, owner_->manualNotify_ + 1);
    SendMessageA(wnd, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  }
  owner_->savedSelected_ = nullptr;
  std::vector<TTreeNode*> roots;
  roots.swap(roots_);
  for (TTreeNode* node : roots) delete node;
}

void TTreeNodes::BeginUpdate() {
  if (updateCount_++ == 0)
    if (HWND wnd = owner_->WindowIfMade()) SendMessageA(wnd, WM_SETREDRAW, FALSE, 0);
}

void TTreeNodes::EndUpdate() {
  if (updateCount_ == 0 || --updateCount_ > 0) return;
  if (HWND wnd = owner_->WindowIfMade()) {
    SendMessageA(wnd, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(wnd, nullptr, TRUE);
  }
}

// ---- TCustomTreeView -----------------------------------------------------------------------

TMessageTable& TCustomTreeView::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(CN_NOTIFY, Handler(&TCustomTreeView::CNNotify));
    t->Add(CM_WANTSPECIALKEY, Handler(&TCustomTreeView::CMWantSpecialKey));
    t->Add(CM_COLORCHANGED, Handler(&TCustomTreeView::CMColorChanged));
    t->Add(WM_DESTROY, Handler(&TCustomTreeView::WMDestroy));
    return t;
  }();
  return *table;
}

TCustomTreeView::TCustomTreeView(TComponent* owner)
    : TWinControl(owner), items_(std::make_unique<TTreeNodes>(this)) {
  InitViewClasses();
  SetBounds(0, 0, 121, 97);
  SetTabStop(true);
  SetParentColor(false);
  imageLink_.OnChange = [this](TObject*) { ApplyImages(); };
  stateImageLink_.OnChange = [this](TObject*) { ApplyImages(); };
}

TCustomTreeView::~TCustomTreeView() {
  Destroying();
  DestroyHandle();
}

void TCustomTreeView::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  CreateSubClass(params, WC_TREEVIEWA);
  params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
  DWORD style = 0;
  if (showButtons_) style |= TVS_HASBUTTONS;
  if (showLines_) style |= TVS_HASLINES;
  if (showRoot_) style |= TVS_LINESATROOT;
  if (!readOnly_) style |= TVS_EDITLABELS;
  if (!hideSelection_) style |= TVS_SHOWSELALWAYS;
  if (DragMode() == dmManual) style |= TVS_DISABLEDRAGDROP;
  if (!toolTips_) style |= TVS_NOTOOLTIPS;
  if (checkBoxes_) style |= TVS_CHECKBOXES;
  if (hotTrack_) style |= TVS_TRACKSELECT;
  if (rowSelect_) style |= TVS_FULLROWSELECT;
  if (autoExpand_) style |= TVS_SINGLEEXPAND;
  params.Style |= style;
  if (borderStyle_ == bsSingle) {
    if (Ctl3D())
      params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      params.Style |= WS_BORDER;
  }
}

void TCustomTreeView::CreateWnd() {
  windowGoing_ = false;
  TWinControl::CreateWnd();
  HWND wnd = Handle();
  SendMessageA(wnd, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
  if (indent_ > 0) SendMessageA(wnd, TVM_SETINDENT, static_cast<WPARAM>(indent_), 0);
  ApplyImages();
  if (items_->roots_.empty()) return;
  // The nodes kept while there was no window go into the new one as they were.
  TRestore<bool> restoring(restoringWindow_, true);
  TRestore<int> quiet(manualNotify_, manualNotify_ + 1);
  if (items_->updateCount_ > 0) SendMessageA(wnd, WM_SETREDRAW, FALSE, 0);
  for (TTreeNode* node : items_->roots_) InsertItem(node, TVI_LAST);
  for (TTreeNode* n = items_->GetFirstNode(); n; n = n->GetNext())
    if (n->expanded_ && !n->children_.empty())
      SendMessageA(wnd, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(n->item_));
  if (savedSelected_)
    SendMessageA(wnd, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(savedSelected_->item_));
  savedSelected_ = nullptr;
}

void TCustomTreeView::InsertItem(TTreeNode* node, HTREEITEM after) {
  TVINSERTSTRUCTA insert{};
  insert.hParent = node->parent_ ? node->parent_->item_ : TVI_ROOT;
  insert.hInsertAfter = after;
  TVITEMA& item = insert.item;
  item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_STATE;
  item.pszText = node->text_.data();
  item.lParam = reinterpret_cast<LPARAM>(node);
  // Images are asked for whenever a node is drawn, so that they can be found late.
  item.iImage = I_IMAGECALLBACK;
  item.iSelectedImage = I_IMAGECALLBACK;
  item.cChildren = node->hasChildren_ ? 1 : 0;
  item.stateMask = TVIS_OVERLAYMASK | TVIS_CUT;
  item.state = OverlayState(node->overlayIndex_) | (node->cut_ ? TVIS_CUT : 0);
  if (checkBoxes_) {
    item.stateMask |= TVIS_STATEIMAGEMASK;
    item.state |= static_cast<UINT>(INDEXTOSTATEIMAGEMASK(node->checked_ ? 2 : 1));
  }
  node->item_ = reinterpret_cast<HTREEITEM>(
      SendMessageA(Handle(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
  if (!node->item_) RaiseLastOSError(ERROR_NOT_ENOUGH_MEMORY);
  for (TTreeNode* child : node->children_) InsertItem(child, TVI_LAST);
}

void TCustomTreeView::WMDestroy(TMessage& m) {
  // The nodes stay; the window's state is kept in them for the next window.
  savedSelected_ = Selected();
  for (TTreeNode* n = items_->GetFirstNode(); n; n = n->GetNext()) {
    n->expanded_ = n->Expanded();
    n->checked_ = n->Checked();
  }
  windowGoing_ = true;
  Inherited(m);
  for (TTreeNode* n = items_->GetFirstNode(); n; n = n->GetNext()) n->item_ = nullptr;
}

void TCustomTreeView::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == images_) SetImages(nullptr);
  if (component == stateImages_) SetStateImages(nullptr);
}

void TCustomTreeView::ApplyImages() {
  HWND wnd = WindowIfMade();
  if (!wnd) return;
  SendMessageA(wnd, TVM_SETIMAGELIST, TVSIL_NORMAL,
               reinterpret_cast<LPARAM>(images_ ? images_->Handle() : nullptr));
  SendMessageA(wnd, TVM_SETIMAGELIST, TVSIL_STATE,
               reinterpret_cast<LPARAM>(stateImages_ ? stateImages_->Handle() : nullptr));
}

void TCustomTreeView::SetImages(TCustomImageList* value) {
  if (value == images_) return;
  SwapImageList(this, images_, imageLink_, value);
  ApplyImages();
}

void TCustomTreeView::SetStateImages(TCustomImageList* value) {
  if (value == stateImages_) return;
  SwapImageList(this, stateImages_, stateImageLink_, value);
  ApplyImages();
}

void TCustomTreeView::CMColorChanged(TMessage& m) {
  Inherited(m);
  if (HWND wnd = WindowIfMade()) SendMessageA(wnd, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
}

void TCustomTreeView::UpdateTreeStyle(LONG_PTR bits, bool on) { UpdateStyle(bits, on); }

void TCustomTreeView::SetAutoExpand(bool value) {
  if (value == autoExpand_) return;
  autoExpand_ = value;
  UpdateTreeStyle(TVS_SINGLEEXPAND, value);
}

void TCustomTreeView::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  RecreateWnd();
}

void TCustomTreeView::SetReadOnly(bool value) {
  if (value == readOnly_) return;
  readOnly_ = value;
  UpdateTreeStyle(TVS_EDITLABELS, !value);
}

void TCustomTreeView::SetHideSelection(bool value) {
  if (value == hideSelection_) return;
  hideSelection_ = value;
  UpdateTreeStyle(TVS_SHOWSELALWAYS, !value);
  Invalidate();
}

void TCustomTreeView::SetShowRoot(bool value) {
  if (value == showRoot_) return;
  showRoot_ = value;
  UpdateTreeStyle(TVS_LINESATROOT, value);
  Invalidate();
}

void TCustomTreeView::SetShowLines(bool value) {
  if (value == showLines_) return;
  showLines_ = value;
  UpdateTreeStyle(TVS_HASLINES, value);
  Invalidate();
}

void TCustomTreeView::SetShowButtons(bool value) {
  if (value == showButtons_) return;
  showButtons_ = value;
  UpdateTreeStyle(TVS_HASBUTTONS, value);
  Invalidate();
}

void TCustomTreeView::SetHotTrack(bool value) {
  if (value == hotTrack_) return;
  hotTrack_ = value;
  UpdateTreeStyle(TVS_TRACKSELECT, value);
}

void TCustomTreeView::SetRowSelect(bool value) {
  if (value == rowSelect_) return;
  rowSelect_ = value;
  UpdateTreeStyle(TVS_FULLROWSELECT, value);
  Invalidate();
}

void TCustomTreeView::SetToolTips(bool value) {
  if (value == toolTips_) return;
  toolTips_ = value;
  RecreateWnd();
}

void TCustomTreeView::SetCheckBoxes(bool value) {
  if (value == checkBoxes_) return;
  checkBoxes_ = value;
  // The system gives a window its boxes only when it is made.
  RecreateWnd();
}

void TCustomTreeView::SetDragMode(TDragMode value) {
  if (value == DragMode()) return;
  TWinControl::SetDragMode(value);
  UpdateTreeStyle(TVS_DISABLEDRAGDROP, value == dmManual);
}

int TCustomTreeView::Indent() const {
  if (HWND wnd = WindowIfMade()) return static_cast<int>(SendMessageA(wnd, TVM_GETINDENT, 0, 0));
  return indent_;
}

void TCustomTreeView::SetIndent(int value) {
  indent_ = value;
  if (HWND wnd = WindowIfMade(); wnd && value > 0) SendMessageA(wnd, TVM_SETINDENT, static_cast<WPARAM>(value), 0);
}

// ---- Nodes and the window ----------------------------------------------------------------

TTreeNode* TCustomTreeView::NodeFromItem(HTREEITEM item) const {
  HWND wnd = WindowIfMade();
  if (!wnd || !item) return nullptr;
  TVITEMA query{};
  query.mask = TVIF_PARAM | TVIF_HANDLE;
  query.hItem = item;
  if (!SendMessageA(wnd, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query))) return nullptr;
  return reinterpret_cast<TTreeNode*>(query.lParam);
}

TTreeNode* TCustomTreeView::NodeFromNotify(const TVITEMA& item) const {
  if ((item.mask & TVIF_PARAM) && item.lParam) return reinterpret_cast<TTreeNode*>(item.lParam);
  return NodeFromItem(item.hItem);
}

TTreeNode* TCustomTreeView::Selected() const {
  HWND wnd = WindowIfMade();
  if (!wnd) return savedSelected_;
  return NodeFromItem(reinterpret_cast<HTREEITEM>(SendMessageA(wnd, TVM_GETNEXTITEM, TVGN_CARET, 0)));
}

void TCustomTreeView::SetSelected(TTreeNode* node) {
  HWND wnd = WindowIfMade();
  if (!wnd) {
    savedSelected_ = node;
    return;
  }
  SendMessageA(wnd, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node ? node->item_ : nullptr));
}

TTreeNode* TCustomTreeView::DropTarget() const {
  HWND wnd = WindowIfMade();
  if (!wnd) return nullptr;
  return NodeFromItem(reinterpret_cast<HTREEITEM>(SendMessageA(wnd, TVM_GETNEXTITEM, TVGN_DROPHILITE, 0)));
}

void TCustomTreeView::SetDropTarget(TTreeNode* node) {
  if (HWND wnd = WindowIfMade())
    SendMessageA(wnd, TVM_SELECTITEM, TVGN_DROPHILITE, reinterpret_cast<LPARAM>(node ? node->item_ : nullptr));
}

TTreeNode* TCustomTreeView::TopItem() const {
  HWND wnd = WindowIfMade();
  if (!wnd) return items_->GetFirstNode();
  return NodeFromItem(reinterpret_cast<HTREEITEM>(SendMessageA(wnd, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0)));
}

void TCustomTreeView::SetTopItem(TTreeNode* node) {
  if (HWND wnd = WindowIfMade(); wnd && node)
    SendMessageA(wnd, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(node->item_));
}

TTreeNode* TCustomTreeView::GetNodeAt(int x, int y) const {
  HWND wnd = WindowIfMade();
  if (!wnd) return nullptr;
  TVHITTESTINFO hit{};
  hit.pt = POINT{x, y};
  return NodeFromItem(reinterpret_cast<HTREEITEM>(SendMessageA(wnd, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit))));
}

THitTests TCustomTreeView::GetHitTestInfoAt(int x, int y) const {
  THitTests tests;
  HWND wnd = WindowIfMade();
  if (!wnd) return tests;
  TVHITTESTINFO hit{};
  hit.pt = POINT{x, y};
  SendMessageA(wnd, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  for (const auto& f : kHitFlags)
    if (hit.flags & f.flag) tests += f.test;
  if (hit.flags & TVHT_ONITEM) tests += htOnItem;
  return tests;
}

bool TCustomTreeView::IsEditing() const { return EditHandle() != nullptr; }

HWND TCustomTreeView::EditHandle() const {
  HWND wnd = WindowIfMade();
  return wnd ? reinterpret_cast<HWND>(SendMessageA(wnd, TVM_GETEDITCONTROL, 0, 0)) : nullptr;
}

void TCustomTreeView::ExpandNode(TTreeNode* node, bool expand) {
  if (expand ? !CanExpand(node) : !CanCollapse(node)) return;
  if (HWND wnd = WindowIfMade()) {
    // The window's own notices would ask again; this call asked and tells itself.
    TRestore<int> quiet(manualNotify_, manualNotify_ + 1);
    SendMessageA(wnd, TVM_EXPAND, expand ? TVE_EXPAND : TVE_COLLAPSE, reinterpret_cast<LPARAM>(node->item_));
  } else {
    node->expanded_ = expand;
  }
  if (expand)
    Expand(node);
  else
    Collapse(node);
}

void TCustomTreeView::CustomSort(const TTVCompare& compare, bool recurse) {
  SortChildren(nullptr, compare, recurse);
}

void TCustomTreeView::AlphaSort(bool recurse) {
  SortChildren(nullptr, [this](TTreeNode* a, TTreeNode* b) {
    int result = 0;
    CompareDefault(a, b, result);
    return result;
  }, recurse);
}

void TCustomTreeView::CompareDefault(TTreeNode* a, TTreeNode* b, int& result) {
  if (OnCompare)
    OnCompare(this, a, b, result);
  else
    result = AnsiCompareText(a->Text(), b->Text());
}

void TCustomTreeView::SortChildren(TTreeNode* parent, const TTVCompare& compare, bool recurse) {
  auto& list = parent ? parent->children_ : items_->roots_;
  if (HWND wnd = WindowIfMade()) {
    TSortGuard guard;
    std::pair<const TTVCompare*, TSortGuard*> sort{&compare, &guard};
    TVSORTCB cb{};
    cb.hParent = parent ? parent->item_ : TVI_ROOT;
    cb.lpfnCompare = CompareNodes;
    cb.lParam = reinterpret_cast<LPARAM>(&sort);
    SendMessageA(wnd, TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&cb));
    ReadChildOrder(parent);
    guard.Rethrow();
  } else {
    std::stable_sort(list.begin(), list.end(), [&](TTreeNode* a, TTreeNode* b) { return compare(a, b) < 0; });
  }
  if (recurse)
    for (TTreeNode* child : std::vector<TTreeNode*>(list)) SortChildren(child, compare, true);
}

void TCustomTreeView::ReadChildOrder(TTreeNode* parent) {
  HWND wnd = Handle();
  auto& list = parent ? parent->children_ : items_->roots_;
  std::vector<TTreeNode*> order;
  order.reserve(list.size());
  auto item = reinterpret_cast<HTREEITEM>(
      parent ? SendMessageA(wnd, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(parent->item_))
             : SendMessageA(wnd, TVM_GETNEXTITEM, TVGN_ROOT, 0));
  for (; item; item = reinterpret_cast<HTREEITEM>(
                   SendMessageA(wnd, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item))))
    if (TTreeNode* node = NodeFromItem(item)) order.push_back(node);
  if (order.size() == list.size()) list.swap(order);
}

void TCustomTreeView::NotifyDeletion(TTreeNode* node) {
  for (TTreeNode* child : std::vector<TTreeNode*>(node->children_)) NotifyDeletion(child);
  Delete(node);
}

// ---- Notices -----------------------------------------------------------------------------

void TCustomTreeView::CNNotify(TWMNotify& m) {
  NMHDR* hdr = m.NMHdr;
  // A window on its way out reports its items' deletion: the nodes stay (or go without a word).
  if (windowGoing_ || ComponentState().Contains(csDestroying)) return;
  auto* tv = reinterpret_cast<NMTREEVIEWA*>(hdr);
  auto* di = reinterpret_cast<NMTVDISPINFOA*>(hdr);
  switch (hdr->code) {
    case TVN_GETDISPINFOA: {
      TTreeNode* node = NodeFromNotify(di->item);
      if (!node) break;
      if (di->item.mask & TVIF_IMAGE) {
        GetImageIndex(node);
        di->item.iImage = node->imageIndex_;
      }
      if (di->item.mask & TVIF_SELECTEDIMAGE) {
        GetSelectedIndex(node);
        di->item.iSelectedImage = node->selectedIndex_;
      }
      break;
    }
    case TVN_SELCHANGINGA:
      if (!restoringWindow_) m.Result = CanChange(NodeFromNotify(tv->itemNew)) ? 0 : 1;
      break;
    case TVN_SELCHANGEDA:
      if (!restoringWindow_) Change(NodeFromNotify(tv->itemNew));
      break;
    case TVN_ITEMEXPANDINGA: {
      if (manualNotify_ > 0) break;
      TTreeNode* node = NodeFromNotify(tv->itemNew);
      if (!node) break;
      UINT action = tv->action & kExpandActions;
      if (action == TVE_EXPAND)
        m.Result = CanExpand(node) ? 0 : 1;
      else if (action == TVE_COLLAPSE)
        m.Result = CanCollapse(node) ? 0 : 1;
      break;
    }
    case TVN_ITEMEXPANDEDA: {
      if (manualNotify_ > 0) break;
      TTreeNode* node = NodeFromNotify(tv->itemNew);
      if (!node) break;
      UINT action = tv->action & kExpandActions;
      if (action == TVE_EXPAND)
        Expand(node);
      else if (action == TVE_COLLAPSE)
        Collapse(node);
      break;
    }
    case TVN_BEGINLABELEDITA: {
      TTreeNode* node = NodeFromNotify(di->item);
      m.Result = node && CanEdit(node) ? 0 : 1;
      if (m.Result == 0) editEnded_ = false;
      break;
    }
    case TVN_ENDLABELEDITA: {
      TTreeNode* node = NodeFromNotify(di->item);
      // The node takes the text itself: the window is told to keep its own.
      m.Result = 0;
      if (!node || editEnded_) break;
      editEnded_ = true;
      if (di->item.pszText)
        Edit(node, di->item.pszText);
      else
        EditCancelled(node);
      break;
    }
    case TVN_BEGINDRAGA:
    case TVN_BEGINRDRAGA:
      ++dragStarts_;
      if (TTreeNode* node = NodeFromNotify(tv->itemNew))
        BeginNodeDrag(node, hdr->code == TVN_BEGINDRAGA ? mbLeft : mbRight);
      break;
    case NM_RCLICK:
      if (rightClickSelect_) {
        POINT p;
        GetCursorPos(&p);
        ::ScreenToClient(Handle(), &p);
        if (TTreeNode* node = GetNodeAt(p.x, p.y)) SetSelected(node);
      }
      break;
    default:
      break;
  }
}

void TCustomTreeView::CMWantSpecialKey(TWMKey& m) {
  // Enter, Escape and Tab belong to the edit box while a text is edited.
  if (IsEditing())
    m.Result = 1;
  else
    Inherited(m);
}

bool TCustomTreeView::CanChange(TTreeNode* node) { return Allowed(this, OnChanging, node); }

void TCustomTreeView::Change(TTreeNode* node) {
  if (OnChange) OnChange(this, node);
}

bool TCustomTreeView::CanExpand(TTreeNode* node) { return Allowed(this, OnExpanding, node); }

void TCustomTreeView::Expand(TTreeNode* node) {
  if (OnExpanded) OnExpanded(this, node);
}

bool TCustomTreeView::CanCollapse(TTreeNode* node) { return Allowed(this, OnCollapsing, node); }

void TCustomTreeView::Collapse(TTreeNode* node) {
  if (OnCollapsed) OnCollapsed(this, node);
}

bool TCustomTreeView::CanEdit(TTreeNode* node) { return !readOnly_ && Allowed(this, OnEditing, node); }

void TCustomTreeView::Edit(TTreeNode* node, const std::string& text) {
  node->SetText(EditedText(this, OnEdited, node, text));
}

void TCustomTreeView::EditCancelled(TTreeNode*) {}

void TCustomTreeView::Delete(TTreeNode* node) {
  if (OnDeletion) OnDeletion(this, node);
}

void TCustomTreeView::GetImageIndex(TTreeNode* node) {
  if (OnGetImageIndex) OnGetImageIndex(this, node);
}

void TCustomTreeView::GetSelectedIndex(TTreeNode* node) {
  if (OnGetSelectedIndex) OnGetSelectedIndex(this, node);
}

void TCustomTreeView::BeginNodeDrag(TTreeNode*, TMouseButton) {}
