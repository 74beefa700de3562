// The combo box over the system's COMBOBOX window: its items, kept by the control and copied
// into the window, owner drawing, and the focus and keys of its edit part (unit of StdCtrls.h).

#include "platform/StdCtrls.h"

#include <algorithm>

#include "platform/Forms.h"

// ---- TCustomComboBox -----------------------------------------------------------------------

int TComboBoxStrings::Count() const { return static_cast<int>(combo_->items_.size()); }

std::string TComboBoxStrings::Strings(int index) const {
  if (index < 0 || index >= Count()) IndexError(index);
  return combo_->items_[static_cast<size_t>(index)].text;
}

void TComboBoxStrings::Put(int index, const std::string& s) {
  if (index < 0 || index >= Count()) IndexError(index);
  TObject* object = Objects(index);
  int selected = combo_->ItemIndex();
  combo_->DeleteItem(index);
  combo_->InsertItem(index, s, object);
  if (selected == index) combo_->SetItemIndex(index);
}

TObject* TComboBoxStrings::Objects(int index) const {
  if (index < 0 || index >= Count()) IndexError(index);
  return combo_->items_[static_cast<size_t>(index)].object;
}

void TComboBoxStrings::PutObject(int index, TObject* object) {
  if (index < 0 || index >= Count()) IndexError(index);
  combo_->items_[static_cast<size_t>(index)].object = object;
  if (combo_->HandleAllocated())
    SendMessageA(combo_->Handle(), CB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(object));
}

int TComboBoxStrings::Add(const std::string& s) { return AddObject(s, nullptr); }

int TComboBoxStrings::AddObject(const std::string& s, TObject* object) {
  int index = combo_->sorted_ ? combo_->SortedIndex(s) : Count();
  combo_->InsertItem(index, s, object);
  return index;
}

void TComboBoxStrings::Insert(int index, const std::string& s) { InsertObject(index, s, nullptr); }

void TComboBoxStrings::InsertObject(int index, const std::string& s, TObject* object) {
  if (index < 0 || index > Count()) IndexError(index);
  combo_->InsertItem(index, s, object);
}

void TComboBoxStrings::Delete(int index) {
  if (index < 0 || index >= Count()) IndexError(index);
  combo_->DeleteItem(index);
}

void TComboBoxStrings::Clear() {
  combo_->items_.clear();
  combo_->itemIndex_ = -1;
  if (combo_->HandleAllocated()) {
    std::string text = combo_->HasEdit() ? combo_->Text() : std::string();
    SendMessageA(combo_->Handle(), CB_RESETCONTENT, 0, 0);
    // The edit part keeps what was typed; only the list goes.
    if (!text.empty()) SetWindowTextA(combo_->Handle(), text.c_str());
  }
}

void TComboBoxStrings::Exchange(int index1, int index2) {
  if (index1 < 0 || index1 >= Count()) IndexError(index1);
  if (index2 < 0 || index2 >= Count()) IndexError(index2);
  if (index1 == index2) return;
  TCustomComboBox::TItem a = combo_->items_[static_cast<size_t>(index1)];
  TCustomComboBox::TItem b = combo_->items_[static_cast<size_t>(index2)];
  int selected = combo_->ItemIndex();
  Put(index1, b.text);
  PutObject(index1, b.object);
  Put(index2, a.text);
  PutObject(index2, a.object);
  combo_->SetItemIndex(selected);
}

TMessageTable& TCustomComboBox::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(CN_COMMAND, Handler(&TCustomComboBox::CNCommand));
    t->Add(CN_DRAWITEM, Handler(&TCustomComboBox::CNDrawItem));
    t->Add(CN_MEASUREITEM, Handler(&TCustomComboBox::CNMeasureItem));
    t->Add(WM_CTLCOLOREDIT, Handler(&TCustomComboBox::WMCtlColorChild));
    t->Add(WM_CTLCOLORLISTBOX, Handler(&TCustomComboBox::WMCtlColorChild));
    t->Add(WM_CTLCOLORSTATIC, Handler(&TCustomComboBox::WMCtlColorChild));
    return t;
  }();
  return *table;
}

TCustomComboBox::TCustomComboBox(TComponent* owner)
    : TWinControl(owner),
      strings_(std::make_unique<TComboBoxStrings>(this)),
      canvas_(std::make_unique<TCanvas>()) {
  controlStyle_ = {csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight};
  SetBounds(0, 0, 145, 25);
  SetTabStop(true);
  SetColor(clWindow);
}

TCustomComboBox::~TCustomComboBox() {
  Destroying();
  DestroyHandle();
}

std::vector<std::string> TCustomComboBox::ItemList() const {
  std::vector<std::string> lines;
  for (const TItem& item : items_) lines.push_back(item.text);
  return lines;
}

void TCustomComboBox::SetItemList(const std::vector<std::string>& lines) {
  strings_->BeginUpdate();
  strings_->Clear();
  for (const std::string& line : lines) strings_->Add(line);
  strings_->EndUpdate();
}

void TCustomComboBox::Clear() {
  strings_->Clear();
  SetText("");
}

int TCustomComboBox::SortedIndex(const std::string& s) const {
  int lo = 0, hi = static_cast<int>(items_.size());
  while (lo < hi) {
    int mid = (lo + hi) / 2;
    const std::string& other = items_[static_cast<size_t>(mid)].text;
    int order = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, other.c_str(),
                               static_cast<int>(other.size()), s.c_str(), static_cast<int>(s.size()));
    if (order <= CSTR_EQUAL)
      lo = mid + 1;
    else
      hi = mid;
  }
  return lo;
}

void TCustomComboBox::InsertItem(int index, const std::string& s, TObject* object) {
  items_.insert(items_.begin() + index, TItem{s, object});
  if (HandleAllocated()) {
    LRESULT at = SendMessageA(Handle(), CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.c_str()));
    if (at < 0) {
      items_.erase(items_.begin() + index);
      throw Exception("The list takes no more items");
    }
    SendMessageA(Handle(), CB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(object));
  } else if (itemIndex_ >= index) {
    ++itemIndex_;
  }
}

void TCustomComboBox::DeleteItem(int index) {
  items_.erase(items_.begin() + index);
  if (HandleAllocated()) {
    SendMessageA(Handle(), CB_DELETESTRING, static_cast<WPARAM>(index), 0);
  } else if (itemIndex_ == index) {
    itemIndex_ = -1;
  } else if (itemIndex_ > index) {
    --itemIndex_;
  }
}

int TCustomComboBox::ItemIndex() const {
  auto* self = const_cast<TCustomComboBox*>(this);
  if (self->HandleAllocated()) return static_cast<int>(SendMessageA(self->Handle(), CB_GETCURSEL, 0, 0));
  return itemIndex_;
}

void TCustomComboBox::SetItemIndex(int value) {
  if (value < -1 || value >= static_cast<int>(items_.size())) value = -1;
  if (HandleAllocated()) {
    SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(value), 0);
    return;
  }
  itemIndex_ = value;
  if (value >= 0) TControl::SetTextNow(items_[static_cast<size_t>(value)].text);
}

std::string TCustomComboBox::GetText() const {
  if (!HandleAllocated() && !HasEdit()) {
    if (itemIndex_ >= 0 && itemIndex_ < static_cast<int>(items_.size()))
      return items_[static_cast<size_t>(itemIndex_)].text;
    return {};
  }
  return TWinControl::GetText();
}

void TCustomComboBox::SetTextNow(const std::string& value) {
  if (!HasEdit()) {
    // A list-only box shows items alone: the text picks the item of that text.
    int index = strings_->IndexOf(value);
    if (index >= 0 || value.empty()) SetItemIndex(index);
    return;
  }
  settingText_ = true;
  TWinControl::SetTextNow(value);
  settingText_ = false;
}

void TCustomComboBox::SetStyle(TComboBoxStyle value) {
  if (value == style_) return;
  int index = ItemIndex();
  std::string text = Text();
  if (HandleAllocated()) DestroyHandle();
  style_ = value;
  itemIndex_ = index;
  TControl::SetTextNow(HasEdit() || index < 0 ? text : std::string());
  if (Parent() && Parent()->HandleAllocated()) HandleNeeded();
}

void TCustomComboBox::SetDropDownCount(int value) {
  dropDownCount_ = std::max(1, value);
  if (HandleAllocated()) AdjustDropDown();
}

void TCustomComboBox::SetSorted(bool value) {
  if (value == sorted_) return;
  sorted_ = value;
  if (!value || items_.empty()) return;
  std::string selected = ItemIndex() >= 0 ? items_[static_cast<size_t>(ItemIndex())].text : std::string();
  bool hadSelection = ItemIndex() >= 0;
  std::vector<TItem> items = items_;
  strings_->Clear();
  for (const TItem& item : items) strings_->AddObject(item.text, item.object);
  if (hadSelection) SetItemIndex(strings_->IndexOf(selected));
}

void TCustomComboBox::SetMaxLength(int value) {
  maxLength_ = std::max(0, value);
  if (HandleAllocated()) SendMessageA(Handle(), CB_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

bool TCustomComboBox::DroppedDown() const {
  auto* self = const_cast<TCustomComboBox*>(this);
  return self->HandleAllocated() && SendMessageA(self->Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBox::SetDroppedDown(bool value) {
  if (HandleAllocated()) SendMessageA(Handle(), CB_SHOWDROPDOWN, value ? TRUE : FALSE, 0);
}

int TCustomComboBox::ItemHeight() const {
  auto* self = const_cast<TCustomComboBox*>(this);
  if (self->HandleAllocated() && style_ != csOwnerDrawFixed && style_ != csOwnerDrawVariable)
    return static_cast<int>(SendMessageA(self->Handle(), CB_GETITEMHEIGHT, 0, 0));
  return itemHeight_;
}

void TCustomComboBox::SetItemHeight(int value) {
  if (value <= 0 || value == itemHeight_) return;
  itemHeight_ = value;
  // The system measures owner-drawn rows only when the window is made.
  if (style_ == csOwnerDrawFixed || style_ == csOwnerDrawVariable) RecreateWnd();
}

int TCustomComboBox::SelStart() const {
  auto* self = const_cast<TCustomComboBox*>(this);
  if (!self->HandleAllocated()) return 0;
  DWORD start = 0, end = 0;
  SendMessageA(self->Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(start);
}

void TCustomComboBox::SetSelStart(int value) {
  if (HandleAllocated()) SendMessageA(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(value, value));
}

int TCustomComboBox::SelLength() const {
  auto* self = const_cast<TCustomComboBox*>(this);
  if (!self->HandleAllocated()) return 0;
  DWORD start = 0, end = 0;
  SendMessageA(self->Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(end - start);
}

void TCustomComboBox::SetSelLength(int value) {
  int start = SelStart();
  if (HandleAllocated()) SendMessageA(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(start, start + value));
}

std::string TCustomComboBox::SelText() const {
  std::string text = Text();
  int start = std::clamp(SelStart(), 0, static_cast<int>(text.size()));
  int length = std::clamp(SelLength(), 0, static_cast<int>(text.size()) - start);
  return text.substr(static_cast<size_t>(start), static_cast<size_t>(length));
}

void TCustomComboBox::SetSelText(const std::string& value) {
  if (editHandle_) SendMessageA(editHandle_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(value.c_str()));
}

void TCustomComboBox::SelectAll() {
  if (HandleAllocated()) SendMessageA(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
}

void TCustomComboBox::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  CreateSubClass(params, "COMBOBOX");
  params.Style |= WS_VSCROLL | CBS_HASSTRINGS | CBS_AUTOHSCROLL;
  switch (style_) {
    case csDropDown: params.Style |= CBS_DROPDOWN; break;
    case csSimple: params.Style |= CBS_SIMPLE; break;
    case csDropDownList: params.Style |= CBS_DROPDOWNLIST; break;
    case csOwnerDrawFixed: params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED; break;
    case csOwnerDrawVariable: params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE; break;
  }
}

void TCustomComboBox::CreateWnd() {
  // The text the control holds while it has no window (typed, or saved by DestroyWnd).
  std::string typed = TControl::GetText();
  TWinControl::CreateWnd();
  HWND wnd = Handle();
  for (size_t i = 0; i < items_.size(); ++i) {
    SendMessageA(wnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items_[i].text.c_str()));
    SendMessageA(wnd, CB_SETITEMDATA, i, reinterpret_cast<LPARAM>(items_[i].object));
  }
  SendMessageA(wnd, CB_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
  if (itemIndex_ >= 0) SendMessageA(wnd, CB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
  // An edited text wins over the selected item's.
  if (HasEdit() && typed != TWinControl::GetText()) {
    settingText_ = true;
    SetWindowTextA(wnd, typed.c_str());
    settingText_ = false;
  }
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  if (GetComboBoxInfo(wnd, &info)) {
    listHandle_ = info.hwndList;
    if (HasEdit() && info.hwndItem && info.hwndItem != wnd) {
      editHandle_ = info.hwndItem;
      SetPropA(editHandle_, "TCustomComboBox", this);
      editDefProc_ = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrA(editHandle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditWndProc)));
    }
  }
  AdjustDropDown();
}

void TCustomComboBox::DestroyWnd() {
  if (HandleAllocated()) itemIndex_ = ItemIndex();
  if (editHandle_) {
    SetWindowLongPtrA(editHandle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editDefProc_));
    RemovePropA(editHandle_, "TCustomComboBox");
  }
  editHandle_ = nullptr;
  listHandle_ = nullptr;
  editDefProc_ = nullptr;
  TWinControl::DestroyWnd();
}

void TCustomComboBox::AdjustDropDown() {
  if (!HandleAllocated() || style_ == csSimple) return;
  int rows = std::clamp(static_cast<int>(items_.size()), 1, dropDownCount_);
  RECT r;
  GetWindowRect(Handle(), &r);
  // A taller window sets the dropped list's height; the box itself keeps its height.
  SetWindowPos(Handle(), nullptr, 0, 0, r.right - r.left, (r.bottom - r.top) + ItemHeight() * rows + 2,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}

LRESULT CALLBACK TCustomComboBox::EditWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* combo = static_cast<TCustomComboBox*>(GetPropA(wnd, "TCustomComboBox"));
  if (!combo || !combo->editDefProc_) return DefWindowProcA(wnd, msg, wParam, lParam);
  WNDPROC defProc = combo->editDefProc_;
  return GuardWndProc(combo, [&]() -> LRESULT {
    TMessage m{msg, wParam, lParam, 0};
    combo->ComboWndProc(m, wnd, defProc);
    return m.Result;
  });
}

void TCustomComboBox::ComboWndProc(TMessage& m, HWND wnd, WNDPROC defProc) {
  switch (m.Msg) {
    case WM_SETFOCUS:
      if (TForm* form = GetParentForm(this))
        if (!form->SetFocusedControl(this)) return;
      break;
    case WM_KILLFOCUS:
      if (controlState_.Contains(csFocusing)) return;
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (DoKeyDown(m)) return;
      break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (DoKeyUp(m)) return;
      break;
    case WM_CHAR:
      if (DoKeyPress(m)) return;
      break;
    default:
      break;
  }
  m.Result = CallWindowProcA(defProc, wnd, m.Msg, m.WParam, m.LParam);
}

void TCustomComboBox::Change() {
  if (OnChange) OnChange(this);
}

void TCustomComboBox::Select() {
  if (OnSelect)
    OnSelect(this);
  else
    Change();
}

void TCustomComboBox::DropDown() {
  if (OnDropDown) OnDropDown(this);
}

void TCustomComboBox::CloseUp() {
  if (OnCloseUp) OnCloseUp(this);
}

void TCustomComboBox::DrawItem(int index, const RECT& rect, TOwnerDrawState state) {
  if (OnDrawItem) {
    OnDrawItem(this, index, rect, state);
    return;
  }
  canvas_->FillRect(rect);
  if (index >= 0 && index < static_cast<int>(items_.size()))
    canvas_->TextOut(rect.left + 2, rect.top, items_[static_cast<size_t>(index)].text);
}

void TCustomComboBox::MeasureItem(int index, int& height) {
  if (OnMeasureItem) OnMeasureItem(this, index, height);
}

void TCustomComboBox::CNCommand(TWMCommand& m) {
  switch (m.NotifyCode) {
    case CBN_DBLCLK: DblClick(); break;
    case CBN_EDITCHANGE:
      if (!settingText_ && !controlState_.Contains(csCreating)) Change();
      break;
    case CBN_DROPDOWN:
      DropDown();
      AdjustDropDown();
      break;
    case CBN_SELCHANGE: {
      // The edit part shows the new item only after this notification.
      int index = ItemIndex();
      if (index >= 0 && HasEdit()) {
        settingText_ = true;
        SetWindowTextA(Handle(), items_[static_cast<size_t>(index)].text.c_str());
        settingText_ = false;
      }
      Click();
      Select();
      break;
    }
    case CBN_CLOSEUP: CloseUp(); break;
    default: break;
  }
}

void TCustomComboBox::CNDrawItem(TWMDrawItem& m) {
  DRAWITEMSTRUCT* item = m.DrawItemStruct;
  TOwnerDrawState state = TOwnerDrawState::FromBits(item->itemState & 0x1FFF);
  int index = static_cast<int>(item->itemID);
  {
    TCanvasBinding binding(canvas_.get(), item->hDC);
    canvas_->Font()->Assign(Font());
    canvas_->Brush()->Assign(Brush());
    if (index >= 0 && state.Contains(odSelected)) {
      canvas_->Brush()->SetColor(clHighlight);
      canvas_->Font()->SetColor(clHighlightText);
    }
    if (index >= 0)
      DrawItem(index, item->rcItem, state);
    else
      canvas_->FillRect(item->rcItem);
    if (state.Contains(odFocused)) DrawFocusRect(item->hDC, &item->rcItem);
  }
  m.Result = TRUE;
}

void TCustomComboBox::CNMeasureItem(TWMMeasureItem& m) {
  MEASUREITEMSTRUCT* item = m.MeasureItemStruct;
  int height = itemHeight_;
  if (style_ == csOwnerDrawVariable && static_cast<int>(item->itemID) >= 0)
    MeasureItem(static_cast<int>(item->itemID), height);
  item->itemHeight = static_cast<UINT>(std::max(1, height));
  m.Result = TRUE;
}

void TCustomComboBox::WMCtlColorChild(TWMDC& m) {
  if (m.Child && (m.Child == editHandle_ || m.Child == listHandle_)) {
    CNCtlColor(m);
    return;
  }
  Inherited(m);
}
