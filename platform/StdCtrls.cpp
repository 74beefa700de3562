// The label, the edits and the memo, and the registration of all standard controls (unit of
// StdCtrls.h).

#include "platform/StdCtrls.h"

#include <algorithm>

#include "platform/Guards.h"
#include "platform/ImgList.h"
#include "platform/Menus.h"
#include "platform/TypInfo.h"

namespace {

const TEnumInfo AlignmentInfo{"TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}};
const TEnumInfo TextLayoutInfo{"TTextLayout", {"tlTop", "tlCenter", "tlBottom"}};
const TEnumInfo CharCaseInfo{"TEditCharCase", {"ecNormal", "ecUpperCase", "ecLowerCase"}};
const TEnumInfo ScrollStyleInfo{"TScrollStyle", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"}};
const TEnumInfo BorderStyleInfo{"TBorderStyle", {"bsNone", "bsSingle"}};
const TEnumInfo ComboBoxStyleInfo{
    "TComboBoxStyle", {"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed", "csOwnerDrawVariable"}};

UINT AlignmentFlag(TAlignment a) {
  switch (a) {
    case taRightJustify: return DT_RIGHT;
    case taCenter: return DT_CENTER;
    default: return DT_LEFT;
  }
}

}  // namespace

// ---- TCustomLabel --------------------------------------------------------------------------

TMessageTable& TCustomLabel::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(CM_TEXTCHANGED, [](TControl* c, TMessage&) {
      auto* l = static_cast<TCustomLabel*>(c);
      l->Invalidate();
      l->AdjustBounds();
    });
    t->Add(CM_FONTCHANGED, Handler(&TCustomLabel::CMFontChanged));
    t->Add(CM_DIALOGCHAR, Handler(&TCustomLabel::CMDialogChar));
    return t;
  }();
  return *table;
}

void TCustomLabel::CMFontChanged(TMessage& m) {
  Inherited(m);
  AdjustBounds();
}

void TCustomLabel::CMDialogChar(TWMKey& m) {
  TWinControl* target = focusControl_;
  if (target && Enabled() && showAccelChar_ && IsAccel(static_cast<char>(m.CharCode), Caption()) &&
      target->CanFocus()) {
    target->SetFocus();
    m.Result = 1;
  }
}

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
  controlStyle_ += csOpaque;
  controlStyle_ += csReplicatable;
  SetBounds(0, 0, 65, 17);
}

void TCustomLabel::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout value) {
  if (value == layout_) return;
  layout_ = value;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  AdjustBounds();
}

void TCustomLabel::SetShowAccelChar(bool value) {
  if (value == showAccelChar_) return;
  showAccelChar_ = value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool value) {
  if (value == Transparent()) return;
  if (value)
    controlStyle_ -= csOpaque;
  else
    controlStyle_ += csOpaque;
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* value) {
  if (focusControl_) focusControl_->RemoveFreeNotification(this);
  focusControl_ = value;
  if (value) value->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == opRemove && component == focusControl_) focusControl_ = nullptr;
}

void TCustomLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TCustomLabel::DoDrawText(RECT& rect, UINT flags) {
  std::string text = GetLabelText();
  if ((flags & DT_CALCRECT) && (text.empty() || (showAccelChar_ && text == "&"))) text += ' ';
  if (!showAccelChar_) flags |= DT_NOPREFIX;
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(Font());
  HDC dc = canvas->Handle();
  SetBkMode(dc, TRANSPARENT);
  if (!Enabled() && !(flags & DT_CALCRECT)) {
    RECT shifted = rect;
    OffsetRect(&shifted, 1, 1);
    SetTextColor(dc, ColorToRGB(clBtnHighlight));
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &shifted, flags);
    SetTextColor(dc, ColorToRGB(clBtnShadow));
  } else {
    SetTextColor(dc, ColorToRGB(Font()->Color()));
  }
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect, flags);
}

void TCustomLabel::Paint() {
  RECT r = ClientRect();
  if (!Transparent()) {
    Canvas()->Brush()->SetColor(Color());
    Canvas()->Brush()->SetStyle(bsSolid);
    Canvas()->FillRect(r);
  }
  UINT flags = DT_EXPANDTABS | AlignmentFlag(alignment_) | (wordWrap_ ? DT_WORDBREAK : 0);
  if (layout_ != tlTop) {
    RECT measured = r;
    DoDrawText(measured, flags | DT_CALCRECT);
    int h = measured.bottom - measured.top;
    int offset = layout_ == tlBottom ? r.bottom - r.top - h : (r.bottom - r.top - h) / 2;
    r.top += offset;
  }
  DoDrawText(r, flags);
}

void TCustomLabel::AdjustBounds() {
  if (!autoSize_ || ComponentState().Contains(csLoading)) return;
  auto* canvas = dynamic_cast<TControlCanvas*>(Canvas());
  if (canvas) canvas->FreeHandle();
  RECT r = ClientRect();
  {
    TMeasureDC screen;
    TCanvasBinding binding(Canvas(), screen);
    DoDrawText(r, DT_EXPANDTABS | DT_CALCRECT | (wordWrap_ ? DT_WORDBREAK : 0));
  }
  int left = Left();
  int width = r.right - r.left;
  if (alignment_ == taRightJustify) left += Width() - width;
  SetBounds(left, Top(), width, r.bottom - r.top);
}

// ---- TCustomEdit ---------------------------------------------------------------------------

TMessageTable& TCustomEdit::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(CN_COMMAND, Handler(&TCustomEdit::CNCommand));
    t->Add(CM_ENTER, Handler(&TCustomEdit::CMEnter));
    return t;
  }();
  return *table;
}

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
  controlStyle_ = {csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight};
  SetBounds(0, 0, 121, 25);
  SetTabStop(true);
  SetColor(clWindow);
}

void TCustomEdit::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  CreateSubClass(params, "EDIT");
  params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
  if (readOnly_) params.Style |= ES_READONLY;
  if (!hideSelection_) params.Style |= ES_NOHIDESEL;
  if (charCase_ == ecUpperCase) params.Style |= ES_UPPERCASE;
  if (charCase_ == ecLowerCase) params.Style |= ES_LOWERCASE;
  if (borderStyle_ == bsSingle) {
    if (Ctl3D())
      params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      params.Style |= WS_BORDER;
  }
}

void TCustomEdit::CreateWnd() {
  TWinControl::CreateWnd();
  HWND wnd = Handle();
  SendMessageA(wnd, EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
  if (passwordChar_) SendMessageA(wnd, EM_SETPASSWORDCHAR, static_cast<unsigned char>(passwordChar_), 0);
  SendMessageA(wnd, EM_SETSEL, static_cast<WPARAM>(selStart_),
               static_cast<LPARAM>(selStart_ + selLength_));
  SendMessageA(wnd, EM_SETMODIFY, modified_ ? TRUE : FALSE, 0);
}

void TCustomEdit::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  RecreateWnd();
}

void TCustomEdit::SetMaxLength(int value) {
  maxLength_ = std::max(0, value);
  if (HandleAllocated()) SendMessageA(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void TCustomEdit::SetReadOnly(bool value) {
  readOnly_ = value;
  if (HandleAllocated()) SendMessageA(Handle(), EM_SETREADONLY, value ? TRUE : FALSE, 0);
}

void TCustomEdit::SetPasswordChar(char value) {
  if (value == passwordChar_) return;
  passwordChar_ = value;
  if (HandleAllocated()) {
    SendMessageA(Handle(), EM_SETPASSWORDCHAR, static_cast<unsigned char>(value), 0);
    Invalidate();
  }
}

void TCustomEdit::SetCharCase(TEditCharCase value) {
  if (value == charCase_) return;
  charCase_ = value;
  RecreateWnd();
}

void TCustomEdit::SetHideSelection(bool value) {
  if (value == hideSelection_) return;
  hideSelection_ = value;
  RecreateWnd();
}

bool TCustomEdit::Modified() const {
  auto* self = const_cast<TCustomEdit*>(this);
  if (self->HandleAllocated()) return SendMessageA(self->Handle(), EM_GETMODIFY, 0, 0) != 0;
  return modified_;
}

void TCustomEdit::SetModified(bool value) {
  modified_ = value;
  if (HandleAllocated()) SendMessageA(Handle(), EM_SETMODIFY, value ? TRUE : FALSE, 0);
}

int TCustomEdit::SelStart() const {
  auto* self = const_cast<TCustomEdit*>(this);
  if (!self->HandleAllocated()) return selStart_;
  DWORD start = 0, end = 0;
  SendMessageA(self->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(start);
}

void TCustomEdit::SetSelStart(int value) {
  selStart_ = value;
  selLength_ = 0;
  if (HandleAllocated()) SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(value), value);
}

int TCustomEdit::SelLength() const {
  auto* self = const_cast<TCustomEdit*>(this);
  if (!self->HandleAllocated()) return selLength_;
  DWORD start = 0, end = 0;
  SendMessageA(self->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(end - start);
}

void TCustomEdit::SetSelLength(int value) {
  int start = SelStart();
  selStart_ = start;
  selLength_ = value;
  if (HandleAllocated())
    SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(start + value));
}

std::string TCustomEdit::SelText() const {
  std::string text = Text();
  int start = std::clamp(SelStart(), 0, static_cast<int>(text.size()));
  int length = std::clamp(SelLength(), 0, static_cast<int>(text.size()) - start);
  return text.substr(static_cast<size_t>(start), static_cast<size_t>(length));
}

void TCustomEdit::SetSelText(const std::string& value) {
  if (HandleAllocated()) {
    SendMessageA(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(value.c_str()));
    return;
  }
  std::string text = Text();
  int start = std::clamp(selStart_, 0, static_cast<int>(text.size()));
  int length = std::clamp(selLength_, 0, static_cast<int>(text.size()) - start);
  text.replace(static_cast<size_t>(start), static_cast<size_t>(length), value);
  SetText(text);
  selStart_ = start + static_cast<int>(value.size());
  selLength_ = 0;
}

void TCustomEdit::SelectAll() {
  if (HandleAllocated())
    SendMessageA(Handle(), EM_SETSEL, 0, -1);
  else {
    selStart_ = 0;
    selLength_ = static_cast<int>(Text().size());
  }
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

void TCustomEdit::CNCommand(TWMCommand& m) {
  if (m.NotifyCode == EN_CHANGE && !controlState_.Contains(csCreating)) Change();
}

void TCustomEdit::CMEnter(TMessage& m) {
  if (autoSelect_ && !controlState_.Contains(csLButtonDown) && HandleAllocated() &&
      !(GetWindowLongPtrA(Handle(), GWL_STYLE) & ES_MULTILINE))
    SelectAll();
  Inherited(m);
}

// ---- TCustomMemo ---------------------------------------------------------------------------

std::vector<std::string> TMemoStrings::Lines() const {
  std::vector<std::string> lines;
  std::string text = memo_->Text();
  size_t i = 0;
  while (i < text.size()) {
    size_t end = text.find_first_of("\r\n", i);
    if (end == std::string::npos) {
      lines.push_back(text.substr(i));
      break;
    }
    lines.push_back(text.substr(i, end - i));
    i = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

void TMemoStrings::SetLines(const std::vector<std::string>& lines) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) text += (i ? "\r\n" : "") + lines[i];
  memo_->SetText(text);
}

int TMemoStrings::Count() const { return static_cast<int>(Lines().size()); }

std::string TMemoStrings::Strings(int index) const {
  std::vector<std::string> lines = Lines();
  if (index < 0 || index >= static_cast<int>(lines.size())) IndexError(index);
  return lines[static_cast<size_t>(index)];
}

void TMemoStrings::Put(int index, const std::string& s) {
  std::vector<std::string> lines = Lines();
  if (index < 0 || index >= static_cast<int>(lines.size())) IndexError(index);
  lines[static_cast<size_t>(index)] = s;
  SetLines(lines);
}

void TMemoStrings::Insert(int index, const std::string& s) {
  std::vector<std::string> lines = Lines();
  if (index < 0 || index > static_cast<int>(lines.size())) IndexError(index);
  lines.insert(lines.begin() + index, s);
  SetLines(lines);
}

void TMemoStrings::Delete(int index) {
  std::vector<std::string> lines = Lines();
  if (index < 0 || index >= static_cast<int>(lines.size())) IndexError(index);
  lines.erase(lines.begin() + index);
  SetLines(lines);
}

void TMemoStrings::Clear() { memo_->SetText(""); }

TMessageTable& TCustomMemo::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(WM_GETDLGCODE, Handler(&TCustomMemo::WMGetDlgCode));
    return t;
  }();
  return *table;
}

void TCustomMemo::WMGetDlgCode(TMessage& m) {
  Inherited(m);
  if (wantTabs_)
    m.Result |= DLGC_WANTTAB;
  else
    m.Result &= ~static_cast<LRESULT>(DLGC_WANTTAB);
  if (!wantReturns_) m.Result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS);
}

TCustomMemo::TCustomMemo(TComponent* owner)
    : TCustomEdit(owner), lines_(std::make_unique<TMemoStrings>(this)) {
  SetBounds(0, 0, 185, 89);
  SetAutoSelect(false);
}

TCustomMemo::~TCustomMemo() {
  Destroying();
  DestroyHandle();
}

std::vector<std::string> TCustomMemo::LineList() const {
  std::vector<std::string> lines;
  for (int i = 0; i < lines_->Count(); ++i) lines.push_back(lines_->Strings(i));
  return lines;
}

void TCustomMemo::SetLineList(const std::vector<std::string>& lines) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) text += (i ? "\r\n" : "") + lines[i];
  SetText(text);
}

void TCustomMemo::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  RecreateWnd();
}

void TCustomMemo::SetScrollBars(TScrollStyle value) {
  if (value == scrollBars_) return;
  scrollBars_ = value;
  RecreateWnd();
}

void TCustomMemo::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  RecreateWnd();
}

void TCustomMemo::CreateParams(TCreateParams& params) {
  TCustomEdit::CreateParams(params);
  params.Style |= ES_MULTILINE;
  params.Style |= alignment_ == taRightJustify ? ES_RIGHT : alignment_ == taCenter ? ES_CENTER : ES_LEFT;
  if (wordWrap_ && scrollBars_ != ssHorizontal && scrollBars_ != ssBoth)
    params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
  if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) params.Style |= WS_HSCROLL;
  if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) params.Style |= WS_VSCROLL;
}

// ---- Registration --------------------------------------------------------------------------

void RegisterStdCtrls() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterControls();
  RegisterClassInfo<TCustomLabel, TGraphicControl>("TCustomLabel");
  RegisterClassInfo<TLabel, TCustomLabel>("TLabel")
      .String("Caption", &TLabel::Caption, &TLabel::SetCaption)
      .Color("Color", &TLabel::Color, &TLabel::SetColor, clBtnFace)
      .StoredIf([](TLabel* l) { return !l->ParentColor(); })
      .Enum("Alignment", AlignmentInfo, &TLabel::Alignment, &TLabel::SetAlignment, taLeftJustify)
      .Enum("Layout", TextLayoutInfo, &TLabel::Layout, &TLabel::SetLayout, tlTop)
      .Boolean("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap, false)
      .Boolean("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize, true)
      .Boolean("ShowAccelChar", &TLabel::ShowAccelChar, &TLabel::SetShowAccelChar, true)
      .Boolean("Transparent", &TLabel::Transparent, &TLabel::SetTransparent, false)
      .Component("FocusControl", &TLabel::FocusControl, &TLabel::SetFocusControl);
  auto passwordGet = [](TCustomEdit* e) {
    return e->PasswordChar() ? std::string(1, e->PasswordChar()) : std::string();
  };
  auto passwordSet = [](TCustomEdit* e, const std::string& v) {
    if (v.size() > 1) throw EPropertyConvertError("expected one character");
    e->SetPasswordChar(v.empty() ? '\0' : v[0]);
  };
  RegisterClassInfo<TCustomEdit, TWinControl>("TCustomEdit").Event("OnChange", &TCustomEdit::OnChange);
  RegisterClassInfo<TEdit, TCustomEdit>("TEdit")
      .String("Text", &TEdit::Text, &TEdit::SetText)
      .Color("Color", &TEdit::Color, &TEdit::SetColor, clWindow)
      .StoredIf([](TEdit* e) { return !e->ParentColor(); })
      .Boolean("ParentColor", &TEdit::ParentColor, &TEdit::SetParentColor, false)
      .Boolean("TabStop", &TEdit::TabStop, &TEdit::SetTabStop, true)
      .Enum("BorderStyle", BorderStyleInfo, &TEdit::BorderStyle, &TEdit::SetBorderStyle, bsSingle)
      .Integer("MaxLength", &TEdit::MaxLength, &TEdit::SetMaxLength, 0)
      .Boolean("ReadOnly", &TEdit::ReadOnly, &TEdit::SetReadOnly, false)
      .String("PasswordChar", passwordGet, passwordSet)
      .Enum("CharCase", CharCaseInfo, &TEdit::CharCase, &TEdit::SetCharCase, ecNormal)
      .Boolean("AutoSelect", &TEdit::AutoSelect, &TEdit::SetAutoSelect, true)
      .Boolean("HideSelection", &TEdit::HideSelection, &TEdit::SetHideSelection, true);
  RegisterClassInfo<TCustomMemo, TCustomEdit>("TCustomMemo");
  RegisterClassInfo<TMemo, TCustomMemo>("TMemo")
      .Color("Color", &TMemo::Color, &TMemo::SetColor, clWindow)
      .StoredIf([](TMemo* e) { return !e->ParentColor(); })
      .Boolean("ParentColor", &TMemo::ParentColor, &TMemo::SetParentColor, false)
      .Boolean("TabStop", &TMemo::TabStop, &TMemo::SetTabStop, true)
      .Enum("BorderStyle", BorderStyleInfo, &TMemo::BorderStyle, &TMemo::SetBorderStyle, bsSingle)
      .Integer("MaxLength", &TMemo::MaxLength, &TMemo::SetMaxLength, 0)
      .Boolean("ReadOnly", &TMemo::ReadOnly, &TMemo::SetReadOnly, false)
      .Boolean("HideSelection", &TMemo::HideSelection, &TMemo::SetHideSelection, true)
      .Strings("Lines", &TMemo::LineList, &TMemo::SetLineList)
      .Enum("Alignment", AlignmentInfo, &TMemo::Alignment, &TMemo::SetAlignment, taLeftJustify)
      .Boolean("WordWrap", &TMemo::WordWrap, &TMemo::SetWordWrap, true)
      .Enum("ScrollBars", ScrollStyleInfo, &TMemo::ScrollBars, &TMemo::SetScrollBars, ssNone)
      .Boolean("WantReturns", &TMemo::WantReturns, &TMemo::SetWantReturns, true)
      .Boolean("WantTabs", &TMemo::WantTabs, &TMemo::SetWantTabs, false);
  RegisterClassInfo<TCustomComboBox, TWinControl>("TCustomComboBox")
      .Event("OnChange", &TCustomComboBox::OnChange)
      .Event("OnSelect", &TCustomComboBox::OnSelect)
      .Event("OnDropDown", &TCustomComboBox::OnDropDown)
      .Event("OnCloseUp", &TCustomComboBox::OnCloseUp)
      .Event("OnDrawItem", &TCustomComboBox::OnDrawItem)
      .Event("OnMeasureItem", &TCustomComboBox::OnMeasureItem);
  RegisterClassInfo<TComboBox, TCustomComboBox>("TComboBox")
      .Enum("Style", ComboBoxStyleInfo, &TComboBox::Style, &TComboBox::SetStyle, csDropDown)
      .Strings("Items", &TComboBox::ItemList, &TComboBox::SetItemList)
      .Integer("ItemIndex", &TComboBox::ItemIndex, &TComboBox::SetItemIndex, -1)
      .String("Text", &TComboBox::Text, &TComboBox::SetText)
      .StoredIf([](TComboBox* c) {
        // A text equal to the selected item's comes back with ItemIndex.
        int index = c->ItemIndex();
        return (c->Style() == csDropDown || c->Style() == csSimple) &&
               (index < 0 || c->Text() != c->Items()->Strings(index));
      })
      .Color("Color", &TComboBox::Color, &TComboBox::SetColor, clWindow)
      .StoredIf([](TComboBox* c) { return !c->ParentColor(); })
      .Boolean("ParentColor", &TComboBox::ParentColor, &TComboBox::SetParentColor, false)
      .Boolean("TabStop", &TComboBox::TabStop, &TComboBox::SetTabStop, true)
      .Integer("DropDownCount", &TComboBox::DropDownCount, &TComboBox::SetDropDownCount, 8)
      .Boolean("Sorted", &TComboBox::Sorted, &TComboBox::SetSorted, false)
      .Integer("MaxLength", &TComboBox::MaxLength, &TComboBox::SetMaxLength, 0)
      .Integer("ItemHeight", &TComboBox::ItemHeight, &TComboBox::SetItemHeight, 16)
      .StoredIf([](TComboBox* c) { return c->Style() == csOwnerDrawFixed || c->Style() == csOwnerDrawVariable; });
  RegisterImgList();
  RegisterMenus();
}
