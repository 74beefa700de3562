// The list view: its items and columns, kept by the control and copied into the window, the
// window's notices, custom draw and the header's hook (unit of ComCtrls.h).

#include <algorithm>

#include "platform/ComCtrls.h"
#include "platform/ComCtrlsPrivate.h"
#include "platform/Guards.h"

using namespace ComCtrlsPrivate;

namespace {

const char kHeaderOwner[] = "TCustomListView.Header";

constexpr UINT kKeptStates = LVIS_SELECTED | LVIS_FOCUSED | LVIS_CUT | LVIS_DROPHILITED;

UINT OverlayState(int overlay) {
  return overlay >= 0 ? static_cast<UINT>(INDEXTOOVERLAYMASK(overlay + 1)) : 0;
}

int ColumnFormat(TAlignment alignment) {
  switch (alignment) {
    case taRightJustify: return LVCFMT_RIGHT;
    case taCenter: return LVCFMT_CENTER;
    default: return LVCFMT_LEFT;
  }
}

int CALLBACK CompareItems(LPARAM a, LPARAM b, LPARAM data) {
  auto* sort = reinterpret_cast<std::pair<const TLVCompare*, TSortGuard*>*>(data);
  return sort->second->Compare([&] {
    return (*sort->first)(reinterpret_cast<TListItem*>(a), reinterpret_cast<TListItem*>(b));
  });
}

}  // namespace

// ---- TListItem -----------------------------------------------------------------------------

TCustomListView* TListItem::ListView() const { return owner_->Owner(); }

void TListItem::SetCaption(const std::string& value) {
  if (value == caption_) return;
  caption_ = value;
  Update();
}

std::string TListItem::SubItem(int index) const {
  if (index < 0 || index >= SubItemCount()) return std::string();
  return subItems_[static_cast<size_t>(index)];
}

void TListItem::SetSubItem(int index, const std::string& value) {
  if (index < 0) return;
  while (SubItemCount() <= index) AddSubItem(std::string());
  subItems_[static_cast<size_t>(index)] = value;
  Update();
}

void TListItem::AddSubItem(const std::string& value) {
  subItems_.push_back(value);
  // The window asks for the column's text only where it was told that it would.
  if (HWND wnd = ListView()->WindowIfMade()) {
    LVITEMA item{};
    item.iSubItem = SubItemCount();
    item.pszText = LPSTR_TEXTCALLBACKA;
    SendMessageA(wnd, LVM_SETITEMTEXTA, static_cast<WPARAM>(index_), reinterpret_cast<LPARAM>(&item));
  }
}

void TListItem::ClearSubItems() {
  subItems_.clear();
  Update();
}

void TListItem::SetImageIndex(int value) {
  if (value == imageIndex_) return;
  imageIndex_ = value;
  Update();
}

void TListItem::SetStateBits(UINT mask, UINT state) {
  state_ = (state_ & ~mask) | (state & mask & kKeptStates);
  HWND wnd = ListView()->WindowIfMade();
  if (!wnd) return;
  LVITEMA item{};
  item.stateMask = mask;
  item.state = state;
  SendMessageA(wnd, LVM_SETITEMSTATE, static_cast<WPARAM>(index_), reinterpret_cast<LPARAM>(&item));
}

UINT TListItem::StateBits(UINT mask) const {
  HWND wnd = ListView()->WindowIfMade();
  if (!wnd) return state_ & mask;
  return static_cast<UINT>(SendMessageA(wnd, LVM_GETITEMSTATE, static_cast<WPARAM>(index_), mask));
}

void TListItem::SetOverlayIndex(int value) {
  if (value == overlayIndex_) return;
  overlayIndex_ = value;
  SetStateBits(LVIS_OVERLAYMASK, OverlayState(value));
}

bool TListItem::Cut() const { return StateBits(LVIS_CUT) != 0; }
void TListItem::SetCut(bool value) { SetStateBits(LVIS_CUT, value ? LVIS_CUT : 0); }
bool TListItem::DropTarget() const { return StateBits(LVIS_DROPHILITED) != 0; }
void TListItem::SetDropTarget(bool value) { SetStateBits(LVIS_DROPHILITED, value ? LVIS_DROPHILITED : 0); }
bool TListItem::Selected() const { return StateBits(LVIS_SELECTED) != 0; }
void TListItem::SetSelected(bool value) { SetStateBits(LVIS_SELECTED, value ? LVIS_SELECTED : 0); }
bool TListItem::Focused() const { return StateBits(LVIS_FOCUSED) != 0; }
void TListItem::SetFocused(bool value) { SetStateBits(LVIS_FOCUSED, value ? LVIS_FOCUSED : 0); }

bool TListItem::Checked() const {
  if (ListView()->WindowIfMade() && ListView()->Checkboxes())
    return (StateBits(LVIS_STATEIMAGEMASK) >> 12) == 2;
  return checked_;
}

void TListItem::SetChecked(bool value) {
  if (!ListView()->WindowIfMade() || !ListView()->Checkboxes()) {
    checked_ = value;
    return;
  }
  SetStateBits(LVIS_STATEIMAGEMASK, static_cast<UINT>(INDEXTOSTATEIMAGEMASK(value ? 2 : 1)));
  // The list's change notices may have refused it.
  checked_ = Checked();
}

RECT TListItem::DisplayRect(TDisplayCode code) const {
  RECT r{0, 0, 0, 0};
  HWND wnd = ListView()->WindowIfMade();
  if (!wnd) return r;
  static const LONG codes[] = {LVIR_BOUNDS, LVIR_ICON, LVIR_LABEL, LVIR_SELECTBOUNDS};
  r.left = codes[code];
  if (!SendMessageA(wnd, LVM_GETITEMRECT, static_cast<WPARAM>(index_), reinterpret_cast<LPARAM>(&r)))
    r = RECT{0, 0, 0, 0};
  return r;
}

void TListItem::MakeVisible(bool partialOk) {
  if (HWND wnd = ListView()->WindowIfMade())
    SendMessageA(wnd, LVM_ENSUREVISIBLE, static_cast<WPARAM>(index_), partialOk ? TRUE : FALSE);
}

bool TListItem::EditCaption() {
  TCustomListView* list = ListView();
  HWND wnd = list->Handle();
  if (GetFocus() != wnd) ::SetFocus(wnd);
  TRestore<bool> fromCode(list->editingFromCode_, true);
  return SendMessageA(wnd, LVM_EDITLABELA, static_cast<WPARAM>(index_), 0) != 0;
}

void TListItem::Update() {
  if (HWND wnd = ListView()->WindowIfMade())
    SendMessageA(wnd, LVM_REDRAWITEMS, static_cast<WPARAM>(index_), static_cast<LPARAM>(index_));
}

void TListItem::Delete() {
  TCustomListView* list = ListView();
  list->Delete(this);
  int index = index_;
  if (HWND wnd = list->WindowIfMade()) SendMessageA(wnd, LVM_DELETEITEM, static_cast<WPARAM>(index), 0);
  auto& items = owner_->items_;
  items.erase(items.begin() + index);
  owner_->Renumber(index);
  delete this;
}

// ---- TListItems ----------------------------------------------------------------------------

TListItems::~TListItems() {
  for (TListItem* item : items_) delete item;
}

TListItem* TListItems::Item(int index) const {
  if (index < 0 || index >= Count()) throw EListError(Format("List index out of bounds (%d)", index));
  return items_[static_cast<size_t>(index)];
}

void TListItems::Renumber(int from) {
  for (int i = std::max(0, from); i < Count(); ++i) items_[static_cast<size_t>(i)]->index_ = i;
}

TListItem* TListItems::Add() { return Insert(Count()); }

TListItem* TListItems::Insert(int index) {
  index = std::clamp(index, 0, Count());
  auto* item = new TListItem(this);
  items_.insert(items_.begin() + index, item);
  Renumber(index);
  if (owner_->WindowIfMade()) owner_->InsertWindowItem(item);
  owner_->InsertItem(item);
  return item;
}

void TListItems::Clear() {
  for (TListItem* item : std::vector<TListItem*>(items_)) owner_->Delete(item);
  if (HWND wnd = owner_->WindowIfMade()) SendMessageA(wnd, LVM_DELETEALLITEMS, 0, 0);
  std::vector<TListItem*> items;
  items.swap(items_);
  for (TListItem* item : items) delete item;
}

int TListItems::IndexOf(const TListItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TListItems::BeginUpdate() {
  if (updateCount_++ == 0)
    if (HWND wnd = owner_->WindowIfMade()) SendMessageA(wnd, WM_SETREDRAW, FALSE, 0);
}

void TListItems::EndUpdate() {
  if (updateCount_ == 0 || --updateCount_ > 0) return;
  if (HWND wnd = owner_->WindowIfMade()) {
    SendMessageA(wnd, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(wnd, nullptr, TRUE);
  }
}

// ---- Columns -------------------------------------------------------------------------------

int TListColumn::Index() const { return owner_->IndexOf(this); }

void TListColumn::Apply(UINT mask) const {
  HWND wnd = owner_->Owner()->WindowIfMade();
  if (!wnd) return;
  LVCOLUMNA column{};
  column.mask = mask;
  column.fmt = ColumnFormat(alignment_) | (imageIndex_ >= 0 ? LVCFMT_IMAGE : 0);
  column.cx = width_;
  std::string caption = caption_;
  column.pszText = caption.data();
  column.iImage = imageIndex_;
  SendMessageA(wnd, LVM_SETCOLUMNA, static_cast<WPARAM>(Index()), reinterpret_cast<LPARAM>(&column));
}

void TListColumn::SetCaption(const std::string& value) {
  if (value == caption_) return;
  caption_ = value;
  Apply(LVCF_TEXT);
}

// Outside the Details view the window's column width is the width of the list's cells (or
// none at all): the column's own width is kept here and applied when Details is chosen.
HWND TListColumn::ReportWindow() const {
  TCustomListView* list = owner_->Owner();
  return list->ViewStyle() == vsReport ? list->WindowIfMade() : nullptr;
}

int TListColumn::Width() const {
  if (HWND wnd = ReportWindow())
    width_ = static_cast<int>(SendMessageA(wnd, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(Index()), 0));
  return width_;
}

void TListColumn::SetWidth(int value) {
  width_ = value;
  if (HWND wnd = ReportWindow())
    SendMessageA(wnd, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(Index()), MAKELPARAM(value, 0));
}

void TListColumn::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  Apply(LVCF_FMT);
}

void TListColumn::SetImageIndex(int value) {
  if (value == imageIndex_) return;
  imageIndex_ = value;
  Apply(LVCF_FMT | LVCF_IMAGE);
}

TListColumns::~TListColumns() {
  for (TListColumn* column : columns_) delete column;
}

TListColumn* TListColumns::Items(int index) const {
  if (index < 0 || index >= Count()) throw EListError(Format("List index out of bounds (%d)", index));
  return columns_[static_cast<size_t>(index)];
}

TListColumn* TListColumns::Add() {
  auto* column = new TListColumn(this);
  columns_.push_back(column);
  if (owner_->WindowIfMade()) owner_->InsertWindowColumn(column);
  return column;
}

void TListColumns::Delete(int index) {
  TListColumn* column = Items(index);
  if (HWND wnd = owner_->WindowIfMade()) SendMessageA(wnd, LVM_DELETECOLUMN, static_cast<WPARAM>(index), 0);
  columns_.erase(columns_.begin() + index);
  delete column;
}

void TListColumns::Clear() {
  while (Count() > 0) Delete(Count() - 1);
}

int TListColumns::IndexOf(const TListColumn* column) const {
  auto it = std::find(columns_.begin(), columns_.end(), column);
  return it == columns_.end() ? -1 : static_cast<int>(it - columns_.begin());
}

void TListColumns::BeginUpdate() { owner_->Items()->BeginUpdate(); }
void TListColumns::EndUpdate() { owner_->Items()->EndUpdate(); }

void TIconOptions::Assign(TPersistent* source) {
  if (auto* s = dynamic_cast<TIconOptions*>(source)) {
    SetAutoArrange(s->autoArrange_);
    return;
  }
  TPersistent::Assign(source);
}

void TIconOptions::SetAutoArrange(bool value) {
  if (value == autoArrange_) return;
  autoArrange_ = value;
  owner_->UpdateListStyle(LVS_AUTOARRANGE, value);
}

// ---- TCustomListView -----------------------------------------------------------------------

TMessageTable& TCustomListView::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(CN_NOTIFY, Handler(&TCustomListView::CNNotify));
    t->Add(WM_NOTIFY, Handler(&TCustomListView::WMNotify));
    t->Add(CM_WANTSPECIALKEY, Handler(&TCustomListView::CMWantSpecialKey));
    t->Add(CM_COLORCHANGED, Handler(&TCustomListView::CMColorChanged));
    t->Add(WM_DESTROY, Handler(&TCustomListView::WMDestroy));
    return t;
  }();
  return *table;
}

TCustomListView::TCustomListView(TComponent* owner)
    : TWinControl(owner),
      items_(std::make_unique<TListItems>(this)),
      columns_(std::make_unique<TListColumns>(this)),
      iconOptions_(std::make_unique<TIconOptions>(this)),
      canvas_(std::make_unique<TCanvas>()) {
  InitViewClasses();
  SetBounds(0, 0, 250, 150);
  SetTabStop(true);
  SetParentColor(false);
  smallImageLink_.OnChange = [this](TObject*) { ApplyImages(); };
  largeImageLink_.OnChange = [this](TObject*) { ApplyImages(); };
  stateImageLink_.OnChange = [this](TObject*) { ApplyImages(); };
}

TCustomListView::~TCustomListView() {
  Destroying();
  // The window's messages no longer reach the handlers: the header is given back here.
  UnhookHeader();
  DestroyHandle();
}

void TCustomListView::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  CreateSubClass(params, WC_LISTVIEWA);
  params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
  static const DWORD viewStyles[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
  // The image lists belong to their components, never to the window.
  DWORD style = viewStyles[viewStyle_] | LVS_SHAREIMAGELISTS;
  if (!multiSelect_) style |= LVS_SINGLESEL;
  if (!readOnly_) style |= LVS_EDITLABELS;
  if (!hideSelection_) style |= LVS_SHOWSELALWAYS;
  if (!columnClick_) style |= LVS_NOSORTHEADER;
  if (iconOptions_->AutoArrange()) style |= LVS_AUTOARRANGE;
  params.Style |= style;
  if (borderStyle_ == bsSingle) {
    if (Ctl3D())
      params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      params.Style |= WS_BORDER;
  }
}

void TCustomListView::CreateWnd() {
  windowGoing_ = false;
  TWinControl::CreateWnd();
  HWND wnd = Handle();
  DWORD extended = (checkboxes_ ? LVS_EX_CHECKBOXES : 0) | (rowSelect_ ? LVS_EX_FULLROWSELECT : 0);
  SendMessageA(wnd, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT, extended);
  ApplyColors();
  ApplyImages();
  for (TListColumn* column : columns_->columns_) InsertWindowColumn(column);
  if (items_->updateCount_ > 0) SendMessageA(wnd, WM_SETREDRAW, FALSE, 0);
  int room = std::max(allocBy_, items_->Count());
  if (room > 0) SendMessageA(wnd, LVM_SETITEMCOUNT, static_cast<WPARAM>(room), 0);
  TRestore<bool> restoring(restoringWindow_, true);
  for (TListItem* item : items_->items_) InsertWindowItem(item);
  HookHeader();
}

void TCustomListView::InsertWindowItem(TListItem* item) {
  HWND wnd = Handle();
  LVITEMA entry{};
  entry.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
  entry.iItem = item->index_;
  // Texts and images are asked for when the item is drawn.
  entry.pszText = LPSTR_TEXTCALLBACKA;
  entry.iImage = I_IMAGECALLBACK;
  entry.lParam = reinterpret_cast<LPARAM>(item);
  entry.stateMask = kKeptStates | LVIS_OVERLAYMASK;
  entry.state = item->state_ | OverlayState(item->overlayIndex_);
  if (checkboxes_) {
    entry.stateMask |= LVIS_STATEIMAGEMASK;
    entry.state |= static_cast<UINT>(INDEXTOSTATEIMAGEMASK(item->checked_ ? 2 : 1));
  }
  if (SendMessageA(wnd, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&entry)) < 0)
    RaiseLastOSError(ERROR_NOT_ENOUGH_MEMORY);
  // The system gives a new item an empty box whatever it was told.
  if (checkboxes_ && item->checked_) {
    LVITEMA check{};
    check.stateMask = LVIS_STATEIMAGEMASK;
    check.state = static_cast<UINT>(INDEXTOSTATEIMAGEMASK(2));
    SendMessageA(wnd, LVM_SETITEMSTATE, static_cast<WPARAM>(item->index_), reinterpret_cast<LPARAM>(&check));
  }
  LVITEMA sub{};
  sub.pszText = LPSTR_TEXTCALLBACKA;
  for (sub.iSubItem = 1; sub.iSubItem <= item->SubItemCount(); ++sub.iSubItem)
    SendMessageA(wnd, LVM_SETITEMTEXTA, static_cast<WPARAM>(item->index_), reinterpret_cast<LPARAM>(&sub));
}

void TCustomListView::InsertWindowColumn(TListColumn* column) {
  LVCOLUMNA entry{};
  entry.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
  entry.fmt = ColumnFormat(column->alignment_);
  entry.cx = column->width_;
  std::string caption = column->caption_;
  entry.pszText = caption.data();
  entry.iSubItem = column->Index();
  if (column->imageIndex_ >= 0) {
    entry.mask |= LVCF_IMAGE;
    entry.fmt |= LVCFMT_IMAGE;
    entry.iImage = column->imageIndex_;
  }
  SendMessageA(Handle(), LVM_INSERTCOLUMNA, static_cast<WPARAM>(column->Index()), reinterpret_cast<LPARAM>(&entry));
}

void TCustomListView::WMDestroy(TMessage& m) {
  // The items and columns stay; the window's state is kept in them for the next window.
  for (TListItem* item : items_->items_) {
    item->state_ = item->StateBits(kKeptStates);
    item->checked_ = item->Checked();
  }
  for (TListColumn* column : columns_->columns_) column->Width();
  UnhookHeader();
  windowGoing_ = true;
  Inherited(m);
}

void TCustomListView::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == smallImages_) SetSmallImages(nullptr);
  if (component == largeImages_) SetLargeImages(nullptr);
  if (component == stateImages_) SetStateImages(nullptr);
}

void TCustomListView::ApplyImages() {
  HWND wnd = WindowIfMade();
  if (!wnd) return;
  SendMessageA(wnd, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(smallImages_ ? smallImages_->Handle() : nullptr));
  SendMessageA(wnd, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(largeImages_ ? largeImages_->Handle() : nullptr));
  SendMessageA(wnd, LVM_SETIMAGELIST, LVSIL_STATE, reinterpret_cast<LPARAM>(stateImages_ ? stateImages_->Handle() : nullptr));
}

void TCustomListView::ApplyColors() {
  HWND wnd = WindowIfMade();
  if (!wnd) return;
  auto rgb = static_cast<LPARAM>(ColorToRGB(Color()));
  SendMessageA(wnd, LVM_SETBKCOLOR, 0, rgb);
  SendMessageA(wnd, LVM_SETTEXTBKCOLOR, 0, rgb);
}

void TCustomListView::CMColorChanged(TMessage& m) {
  Inherited(m);
  ApplyColors();
}

void TCustomListView::SetSmallImages(TCustomImageList* value) {
  if (value == smallImages_) return;
  SwapImageList(this, smallImages_, smallImageLink_, value);
  ApplyImages();
}

void TCustomListView::SetLargeImages(TCustomImageList* value) {
  if (value == largeImages_) return;
  SwapImageList(this, largeImages_, largeImageLink_, value);
  ApplyImages();
}

void TCustomListView::SetStateImages(TCustomImageList* value) {
  if (value == stateImages_) return;
  SwapImageList(this, stateImages_, stateImageLink_, value);
  ApplyImages();
}

void TCustomListView::UpdateListStyle(LONG_PTR bits, bool on) { UpdateStyle(bits, on); }

void TCustomListView::UpdateExtendedStyle(DWORD bits, bool on) {
  if (HWND wnd = WindowIfMade()) SendMessageA(wnd, LVM_SETEXTENDEDLISTVIEWSTYLE, bits, on ? bits : 0);
}

void TCustomListView::SetViewStyle(TViewStyle value) {
  if (value == viewStyle_) return;
  // The widths the user gave the columns, while the window still shows them.
  for (TListColumn* column : columns_->columns_) column->Width();
  viewStyle_ = value;
  HWND wnd = WindowIfMade();
  if (!wnd) return;
  static const LONG_PTR viewStyles[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
  LONG_PTR style = GetWindowLongPtrA(wnd, GWL_STYLE);
  SetWindowLongPtrA(wnd, GWL_STYLE, (style & ~static_cast<LONG_PTR>(LVS_TYPEMASK)) | viewStyles[value]);
  if (value == vsReport)
    for (TListColumn* column : columns_->columns_) column->SetWidth(column->width_);
  // The window lays its items out anew but leaves what it painted in the old view.
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void TCustomListView::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  RecreateWnd();
}

void TCustomListView::SetMultiSelect(bool value) {
  if (value == multiSelect_) return;
  multiSelect_ = value;
  UpdateListStyle(LVS_SINGLESEL, !value);
}

void TCustomListView::SetReadOnly(bool value) {
  if (value == readOnly_) return;
  readOnly_ = value;
  UpdateListStyle(LVS_EDITLABELS, !value);
}

void TCustomListView::SetRowSelect(bool value) {
  if (value == rowSelect_) return;
  rowSelect_ = value;
  UpdateExtendedStyle(LVS_EX_FULLROWSELECT, value);
}

void TCustomListView::SetCheckboxes(bool value) {
  if (value == checkboxes_) return;
  checkboxes_ = value;
  UpdateExtendedStyle(LVS_EX_CHECKBOXES, value);
}

void TCustomListView::SetHideSelection(bool value) {
  if (value == hideSelection_) return;
  hideSelection_ = value;
  UpdateListStyle(LVS_SHOWSELALWAYS, !value);
  Invalidate();
}

void TCustomListView::SetColumnClick(bool value) {
  if (value == columnClick_) return;
  columnClick_ = value;
  UpdateListStyle(LVS_NOSORTHEADER, !value);
}

void TCustomListView::SetAllocBy(int value) {
  allocBy_ = value;
  if (HWND wnd = WindowIfMade(); wnd && value > 0) SendMessageA(wnd, LVM_SETITEMCOUNT, static_cast<WPARAM>(value), 0);
}

// ---- Items and the window ----------------------------------------------------------------

TListItem* TCustomListView::ItemOf(int index) const {
  if (index < 0 || index >= items_->Count()) return nullptr;
  return items_->items_[static_cast<size_t>(index)];
}

TListItem* TCustomListView::Selected() const { return GetNextItem(nullptr, {isSelected}); }

void TCustomListView::SetSelected(TListItem* item) {
  ClearSelection();
  if (!item) return;
  item->SetSelected(true);
  item->SetFocused(true);
}

int TCustomListView::SelCount() const {
  if (HWND wnd = WindowIfMade()) return static_cast<int>(SendMessageA(wnd, LVM_GETSELECTEDCOUNT, 0, 0));
  return static_cast<int>(std::count_if(items_->items_.begin(), items_->items_.end(),
                                        [](TListItem* i) { return (i->state_ & LVIS_SELECTED) != 0; }));
}

TListItem* TCustomListView::ItemFocused() const { return GetNextItem(nullptr, {isFocused}); }

void TCustomListView::SetItemFocused(TListItem* item) {
  if (item)
    item->SetFocused(true);
  else if (TListItem* focused = ItemFocused())
    focused->SetFocused(false);
}

TListItem* TCustomListView::GetNextItem(TListItem* start, TItemStates states) const {
  UINT flags = LVNI_ALL;
  UINT mask = 0;
  if (states.Contains(isCut)) flags |= LVNI_CUT, mask |= LVIS_CUT;
  if (states.Contains(isDropHilited)) flags |= LVNI_DROPHILITED, mask |= LVIS_DROPHILITED;
  if (states.Contains(isFocused)) flags |= LVNI_FOCUSED, mask |= LVIS_FOCUSED;
  if (states.Contains(isSelected)) flags |= LVNI_SELECTED, mask |= LVIS_SELECTED;
  int from = start ? start->index_ : -1;
  if (HWND wnd = WindowIfMade())
    return ItemOf(static_cast<int>(SendMessageA(wnd, LVM_GETNEXTITEM, static_cast<WPARAM>(from), flags)));
  for (int i = from + 1; i < items_->Count(); ++i)
    if (mask == 0 || (items_->items_[static_cast<size_t>(i)]->state_ & mask)) return ItemOf(i);
  return nullptr;
}

TListItem* TCustomListView::GetItemAt(int x, int y) const {
  HWND wnd = WindowIfMade();
  if (!wnd) return nullptr;
  LVHITTESTINFO hit{};
  hit.pt = POINT{x, y};
  int index = static_cast<int>(SendMessageA(wnd, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  return (hit.flags & LVHT_ONITEM) ? ItemOf(index) : nullptr;
}

void TCustomListView::SelectAll() {
  if (!multiSelect_) return;
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED;
  item.state = LVIS_SELECTED;
  if (HWND wnd = WindowIfMade())
    SendMessageA(wnd, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
  else
    for (TListItem* i : items_->items_) i->state_ |= LVIS_SELECTED;
}

void TCustomListView::ClearSelection() {
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED;
  if (HWND wnd = WindowIfMade())
    SendMessageA(wnd, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
  else
    for (TListItem* i : items_->items_) i->state_ &= ~static_cast<UINT>(LVIS_SELECTED);
}

bool TCustomListView::IsEditing() const { return EditHandle() != nullptr; }

HWND TCustomListView::EditHandle() const {
  HWND wnd = WindowIfMade();
  return wnd ? reinterpret_cast<HWND>(SendMessageA(wnd, LVM_GETEDITCONTROL, 0, 0)) : nullptr;
}

void TCustomListView::Scroll(int dx, int dy) {
  if (HWND wnd = WindowIfMade()) SendMessageA(wnd, LVM_SCROLL, static_cast<WPARAM>(dx), static_cast<LPARAM>(dy));
}

HWND TCustomListView::HeaderHandle() const {
  HWND wnd = WindowIfMade();
  return wnd ? reinterpret_cast<HWND>(SendMessageA(wnd, LVM_GETHEADER, 0, 0)) : nullptr;
}

void TCustomListView::CustomSort(const TLVCompare& compare) {
  auto& list = items_->items_;
  if (HWND wnd = WindowIfMade()) {
    TSortGuard guard;
    std::pair<const TLVCompare*, TSortGuard*> sort{&compare, &guard};
    SendMessageA(wnd, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&sort), reinterpret_cast<LPARAM>(CompareItems));
    ReadItemOrder();
    guard.Rethrow();
  } else {
    std::stable_sort(list.begin(), list.end(), [&](TListItem* a, TListItem* b) { return compare(a, b) < 0; });
    items_->Renumber(0);
  }
}

void TCustomListView::AlphaSort() {
  CustomSort([this](TListItem* a, TListItem* b) {
    int result = 0;
    if (OnCompare)
      OnCompare(this, a, b, result);
    else
      result = AnsiCompareText(a->Caption(), b->Caption());
    return result;
  });
}

void TCustomListView::ReadItemOrder() {
  HWND wnd = Handle();
  auto& list = items_->items_;
  std::vector<TListItem*> order;
  order.reserve(list.size());
  LVITEMA query{};
  query.mask = LVIF_PARAM;
  for (query.iItem = 0; query.iItem < static_cast<int>(list.size()); ++query.iItem)
    if (SendMessageA(wnd, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query)))
      order.push_back(reinterpret_cast<TListItem*>(query.lParam));
  if (order.size() != list.size()) return;
  list.swap(order);
  items_->Renumber(0);
}

// ---- The header ------------------------------------------------------------------------------

void TCustomListView::HookHeader() {
  HWND header = HeaderHandle();
  if (!header || headerDefProc_) return;
  header_ = header;
  SetPropA(header, kHeaderOwner, this);
  headerDefProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HeaderProc)));
}

void TCustomListView::UnhookHeader() {
  if (!headerDefProc_) return;
  // Only a procedure that is still ours is put back; the header may be gone already.
  if (IsWindow(header_)) {
    if (GetWindowLongPtrA(header_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&HeaderProc))
      SetWindowLongPtrA(header_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(headerDefProc_));
    RemovePropA(header_, kHeaderOwner);
  }
  headerDefProc_ = nullptr;
  header_ = nullptr;
}

LRESULT CALLBACK TCustomListView::HeaderProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* list = static_cast<TCustomListView*>(GetPropA(wnd, kHeaderOwner));
  if (!list || !list->headerDefProc_) return DefWindowProcA(wnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    WNDPROC previous = list->headerDefProc_;
    list->headerDefProc_ = nullptr;
    list->header_ = nullptr;
    RemovePropA(wnd, kHeaderOwner);
    return CallWindowProcA(previous, wnd, msg, wParam, lParam);
  }
  return GuardWndProc(list, [&]() -> LRESULT {
    TMessage m{msg, wParam, lParam, 0};
    list->HeaderWndProc(m);
    return m.Result;
  });
}

void TCustomListView::HeaderWndProc(TMessage& m) {
  if (headerDefProc_) m.Result = CallWindowProcA(headerDefProc_, header_, m.Msg, m.WParam, m.LParam);
}

void TCustomListView::WMNotify(TWMNotify& m) {
  const NMHDR* hdr = m.NMHdr;
  Inherited(m);
  if (!hdr || !header_ || hdr->hwndFrom != header_ || windowGoing_) return;
  // The header speaks Unicode to the list whatever the list speaks to its parent.
  static const struct {
    UINT ansi, wide;
    THeaderNotification notification;
  } codes[] = {
      {HDN_ITEMCLICKA, HDN_ITEMCLICKW, hnItemClick},
      {HDN_ITEMCHANGEDA, HDN_ITEMCHANGEDW, hnItemChanged},
      {HDN_BEGINTRACKA, HDN_BEGINTRACKW, hnBeginTrack},
      {HDN_ENDTRACKA, HDN_ENDTRACKW, hnEndTrack},
      {HDN_DIVIDERDBLCLICKA, HDN_DIVIDERDBLCLICKW, hnDividerDblClick},
  };
  for (const auto& c : codes)
    if (hdr->code == c.ansi || hdr->code == c.wide) {
      HeaderNotify(c.notification, reinterpret_cast<const NMHEADERA*>(hdr)->iItem);
      return;
    }
}

void TCustomListView::HeaderNotify(THeaderNotification, int) {}

// ---- Notices -----------------------------------------------------------------------------

void TCustomListView::CNNotify(TWMNotify& m) {
  NMHDR* hdr = m.NMHdr;
  if (windowGoing_ || ComponentState().Contains(csDestroying)) return;
  auto* lv = reinterpret_cast<NMLISTVIEW*>(hdr);
  auto* di = reinterpret_cast<NMLVDISPINFOA*>(hdr);
  auto itemOf = [this](LPARAM param, int index) {
    return param ? reinterpret_cast<TListItem*>(param) : ItemOf(index);
  };
  auto changeOf = [](UINT changed) {
    return (changed & LVIF_TEXT) ? ctText : (changed & LVIF_IMAGE) ? ctImage : ctState;
  };
  switch (hdr->code) {
    case LVN_GETDISPINFOA: {
      TListItem* item = itemOf(di->item.lParam, di->item.iItem);
      if (!item) break;
      if ((di->item.mask & LVIF_TEXT) && di->item.pszText && di->item.cchTextMax > 0) {
        std::string text;
        GetItemText(item, di->item.iSubItem, text);
        lstrcpynA(di->item.pszText, text.c_str(), di->item.cchTextMax);
      }
      if ((di->item.mask & LVIF_IMAGE) && di->item.iSubItem == 0) {
        GetImageIndex(item);
        di->item.iImage = item->imageIndex_;
      }
      break;
    }
    case LVN_ITEMCHANGING:
      if (lv->iItem >= 0 && !restoringWindow_) m.Result = CanChange(itemOf(lv->lParam, lv->iItem), changeOf(lv->uChanged)) ? 0 : 1;
      break;
    case LVN_ITEMCHANGED:
      if (lv->iItem >= 0 && !restoringWindow_) Change(itemOf(lv->lParam, lv->iItem), changeOf(lv->uChanged));
      break;
    case LVN_COLUMNCLICK:
      if (lv->iSubItem >= 0 && lv->iSubItem < columns_->Count()) ColClick(columns_->Items(lv->iSubItem));
      break;
    case LVN_BEGINLABELEDITA: {
      TListItem* item = itemOf(di->item.lParam, di->item.iItem);
      m.Result = item && CanEdit(item) ? 0 : 1;
      if (m.Result == 0) editEnded_ = false;
      break;
    }
    case LVN_ENDLABELEDITA: {
      TListItem* item = itemOf(di->item.lParam, di->item.iItem);
      // The item takes the text itself: the window is told to keep its own.
      m.Result = 0;
      if (!item || editEnded_) break;
      editEnded_ = true;
      if (di->item.pszText)
        Edit(item, di->item.pszText);
      else
        EditCancelled(item);
      break;
    }
    case LVN_BEGINDRAG:
    case LVN_BEGINRDRAG:
      ++dragStarts_;
      if (TListItem* item = ItemOf(lv->iItem)) BeginItemDrag(item, hdr->code == LVN_BEGINDRAG ? mbLeft : mbRight);
      break;
    case NM_CUSTOMDRAW:
      m.Result = CustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(hdr));
      break;
    default:
      break;
  }
}

LRESULT TCustomListView::CustomDraw(NMLVCUSTOMDRAW& cd) {
  switch (cd.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return IsCustomDrawn() ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
    case CDDS_ITEMPREPAINT: {
      TListItem* item = cd.nmcd.lItemlParam ? reinterpret_cast<TListItem*>(cd.nmcd.lItemlParam)
                                            : ItemOf(static_cast<int>(cd.nmcd.dwItemSpec));
      if (!item) return CDRF_DODEFAULT;
      TCanvasBinding binding(canvas_.get(), cd.nmcd.hdc);
      canvas_->SetFont(Font());
      canvas_->Font()->SetColor(cd.clrText == CLR_DEFAULT ? Font()->Color() : static_cast<TColor>(cd.clrText));
      canvas_->Brush()->SetColor(cd.clrTextBk == CLR_DEFAULT ? Color() : static_cast<TColor>(cd.clrTextBk));
      if (!CustomDrawItem(item, TCustomDrawState::FromBits(cd.nmcd.uItemState))) return CDRF_SKIPDEFAULT;
      cd.clrText = ColorToRGB(canvas_->Font()->Color());
      cd.clrTextBk = ColorToRGB(canvas_->Brush()->Color());
      return CDRF_NEWFONT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

void TCustomListView::CMWantSpecialKey(TWMKey& m) {
  if (IsEditing())
    m.Result = 1;
  else
    Inherited(m);
}

bool TCustomListView::CanChange(TListItem* item, TItemChange change) {
  return Allowed(this, OnChanging, item, change);
}

void TCustomListView::Change(TListItem* item, TItemChange change) {
  if (OnChange) OnChange(this, item, change);
}

void TCustomListView::ColClick(TListColumn* column) {
  if (OnColumnClick) OnColumnClick(this, column);
}

bool TCustomListView::CanEdit(TListItem* item) { return !readOnly_ && Allowed(this, OnEditing, item); }

void TCustomListView::Edit(TListItem* item, const std::string& text) {
  item->SetCaption(EditedText(this, OnEdited, item, text));
}

void TCustomListView::EditCancelled(TListItem*) {}

void TCustomListView::Delete(TListItem* item) {
  if (OnDeletion) OnDeletion(this, item);
}

void TCustomListView::InsertItem(TListItem* item) {
  if (OnInsert) OnInsert(this, item);
}

void TCustomListView::GetImageIndex(TListItem* item) {
  if (OnGetImageIndex) OnGetImageIndex(this, item);
}

void TCustomListView::GetItemText(TListItem* item, int column, std::string& text) {
  text = column == 0 ? item->Caption() : item->SubItem(column - 1);
}

bool TCustomListView::IsCustomDrawn() { return static_cast<bool>(OnCustomDrawItem); }

bool TCustomListView::CustomDrawItem(TListItem* item, TCustomDrawState state) {
  bool defaultDraw = true;
  if (OnCustomDrawItem) OnCustomDrawItem(this, item, state, defaultDraw);
  return defaultDraw;
}

void TCustomListView::BeginItemDrag(TListItem*, TMouseButton) {}
