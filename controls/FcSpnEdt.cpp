#include "controls/FcSpnEdt.h"

#include <algorithm>
#include <climits>
#include <cmath>

const TEnumInfo SpinDirectionInfo{"TSpinDirection", {"sdUpDown", "sdLeftRight"}};

namespace {

const TEnumInfo SpinAlignmentInfo{"TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}};

// A glyph named by its bitmap resource in a layout.
std::unique_ptr<TBitmap> GlyphResource(const TValue& value) {
  auto glyph = std::make_unique<TBitmap>();
  if (!value.AsString().empty()) glyph->LoadFromResourceName(nullptr, value.AsString());
  return glyph;
}

}  // namespace

// ---- TFcSpinButtons -------------------------------------------------------------------------------

TFcSpinButtons::TFcSpinButtons(TComponent* owner) : TWinControl(owner) {
  controlStyle_ -= csAcceptsControls;
  controlStyle_ -= csSetCaption;
  SetParentColor(true);
  upRight_ = CreateButton();
  downLeft_ = CreateButton();
  ApplyArrowStyles();
  SetBounds(Left(), Top(), 16, 25);
}

TMessageTable& TFcSpinButtons::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(WM_SIZE, Handler(&TFcSpinButtons::WMSize));
    t->Add(WM_GETDLGCODE, Handler(&TFcSpinButtons::WMGetDlgCode));
    return t;
  }();
  return *table;
}

TFcControlButton* TFcSpinButtons::CreateButton() {
  auto* button = new TFcControlButton(this);
  button->SetParent(this);
  button->OnClick = [this, button](TObject*) { ButtonClick(button); };
  button->OnMouseDown = [this](TObject* sender, TMouseButton b, TShiftState shift, int x, int y) {
    ButtonMouseDown(sender, b, shift, x, y);
  };
  button->SetVisible(true);
  button->SetEnabled(true);
  button->SetRepeatClicks(true);
  button->SetNumGlyphs(2);
  return button;
}

void TFcSpinButtons::ApplyArrowStyles() {
  if (!upRightCustom_) upRight_->SetStyle(direction_ == sdUpDown ? cbsUp : cbsRight);
  if (!downLeftCustom_) downLeft_->SetStyle(direction_ == sdUpDown ? cbsDown : cbsLeft);
}

void TFcSpinButtons::SetDirection(TSpinDirection value) {
  if (value == direction_) return;
  direction_ = value;
  SetGlyphUpRight(nullptr);
  SetGlyphDownLeft(nullptr);
  ApplyArrowStyles();
  Invalidate();
}

void TFcSpinButtons::SetOrientation(TOrientation value) {
  if (value == orientation_) return;
  orientation_ = value;
  if (!ComponentState().Contains(csLoading))
    SetBounds(Left(), Top(), value == orVertical ? Width() / 2 : Width() * 2, Height());
  LayoutButtons(Width(), Height());
  Invalidate();
}

void TFcSpinButtons::SetFlat(bool value) {
  if (value == flat_) return;
  flat_ = value;
  upRight_->SetFlat(value);
  downLeft_->SetFlat(value);
}

void TFcSpinButtons::SetColor(TColor value) {
  TWinControl::SetColor(value);
  if (upRight_) upRight_->SetColor(value);
  if (downLeft_) downLeft_->SetColor(value);
}

void TFcSpinButtons::SetEnabled(bool value) {
  if (value == Enabled()) return;
  TWinControl::SetEnabled(value);
  upRight_->SetEnabled(value);
  downLeft_->SetEnabled(value);
}

void TFcSpinButtons::SetFocusControl(TWinControl* value) {
  if (value == focusControl_) return;
  if (focusControl_) focusControl_->RemoveFreeNotification(this);
  focusControl_ = value;
  if (value) value->FreeNotification(this);
}

void TFcSpinButtons::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == opRemove && component == focusControl_) focusControl_ = nullptr;
}

void TFcSpinButtons::SetGlyph(TFcControlButton* button, bool& custom, TBitmap* value) {
  if (value && !value->Empty()) {
    button->SetGlyph(value);
    button->SetStyle(cbsNone);
    custom = true;
    return;
  }
  TBitmap empty;
  button->SetGlyph(&empty);
  custom = false;
  ApplyArrowStyles();
}

void TFcSpinButtons::SetBounds(int left, int top, int width, int height) {
  TWinControl::SetBounds(left, top, width, height);
  if (!ComponentState().Contains(csLoading)) LayoutButtons(Width(), Height());
}

void TFcSpinButtons::Loaded() {
  TWinControl::Loaded();
  LayoutButtons(Width(), Height());
}

void TFcSpinButtons::WMSize(TMessage& m) {
  Inherited(m);
  if (!ComponentState().Contains(csLoading)) LayoutButtons(Width(), Height());
}

void TFcSpinButtons::WMGetDlgCode(TMessage& m) { m.Result = DLGC_WANTARROWS; }

void TFcSpinButtons::LayoutButtons(int width, int height) {
  // One pixel row at the bottom stays uncovered.
  if (orientation_ == orVertical) {
    int half = height / 2;
    upRight_->SetBounds(0, 0, width, half);
    downLeft_->SetBounds(0, half, width, std::max(height - half - 1, 0));
  } else {
    int half = width / 2;
    downLeft_->SetBounds(0, 0, half, std::max(height - 1, 0));
    upRight_->SetBounds(half, 0, width - half, std::max(height - 1, 0));
  }
}

void TFcSpinButtons::ButtonClick(TFcControlButton* button) {
  if (button == upRight_)
    DoUpRightClick();
  else
    DoDownLeftClick();
}

void TFcSpinButtons::ButtonMouseDown(TObject* sender, TMouseButton button, TShiftState, int, int) {
  if (button != mbLeft) return;
  // A control that should take the focus and cannot ends the press: the button lets go of
  // the mouse and does not go down.
  auto refuse = [&] {
    if (auto* pressed = dynamic_cast<TControl*>(sender)) pressed->SetMouseCapture(false);
    Abort();
  };
  if (focusControl_ && focusControl_->TabStop() && focusControl_->CanFocus() && !focusControl_->Focused()) {
    focusControl_->SetFocus();
    if (!focusControl_->Focused()) refuse();
  }
  if (TabStop() && !Focused() && CanFocus()) {
    SetFocus();
    if (!Focused()) refuse();
  }
}

void TFcSpinButtons::KeyDown(WORD& key, TShiftState shift) {
  TWinControl::KeyDown(key, shift);
  if (key == VK_UP)
    ButtonClick(upRight_);
  else if (key == VK_DOWN)
    ButtonClick(downLeft_);
}

void TFcSpinButtons::DoUpRightClick() {
  if (OnUpRightClick) OnUpRightClick(this);
}

void TFcSpinButtons::DoDownLeftClick() {
  if (OnDownLeftClick) OnDownLeftClick(this);
}

// ---- TFcSpinEdit -----------------------------------------------------------------------------------

TFcSpinEdit::TFcSpinEdit(TComponent* owner) : TFcCustomEdit(owner) {
  buttons_ = new TFcSpinButtons(this);
  buttons_->SetBounds(0, 0, 17, 17);
  buttons_->SetVisible(true);
  buttons_->SetFocusControl(this);
  buttons_->OnUpRightClick = [this](TObject*) { UpRightClick(); };
  buttons_->OnDownLeftClick = [this](TObject*) { DownLeftClick(); };
  buttons_->SetParent(this);
  controlStyle_ -= csSetCaption;
  SetAlignment(taRightJustify);
  SetWidth(47);
  SetValue(0);
}

TMessageTable& TFcSpinEdit::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    using C = TFcSpinEdit;
    t->Add(WM_SIZE, Handler(&C::WMSize));
    t->Add(WM_CUT, Handler(&C::WMCutPaste));
    t->Add(WM_PASTE, Handler(&C::WMCutPaste));
    t->Add(CM_ENTER, Handler(&C::CMEnter));
    t->Add(CM_EXIT, Handler(&C::CMExit));
    t->Add(CM_ENABLEDCHANGED, Handler(&C::CMEnabledChanged));
    t->Add(CM_FONTCHANGED, Handler(&C::CMFontChanged));
    return t;
  }();
  return *table;
}

// ---- Value and range ------------------------------------------------------------------------------

double TFcSpinEdit::CheckValue(double value) const {
  if (max_ != min_ || checkRange_) return std::clamp(value, min_, max_);
  return value;
}

std::string TFcSpinEdit::FormatValue(double value) const {
  std::string picture = decimals_ > 0 ? "0." + std::string(decimals_, '0') : "0";
  return FormatFloat(picture, value);
}

bool TFcSpinEdit::ReadText(double& value) const {
  std::string text = Text();
  return !text.empty() && TryStrToFloat(text, value);
}

double TFcSpinEdit::Value() {
  if (Text().empty()) {
    if (allowBlank_) return blankValue_;
    SetText(FloatToStr(min_));
    return min_;
  }
  double value = 0;
  return ReadText(value) ? value : min_;
}

void TFcSpinEdit::SetValue(double value) { SetText(FormatValue(CheckValue(value))); }

int TFcSpinEdit::IntValue() {
  // Rounded as the processor rounds (halves to even); a value beyond the 32-bit range (there
  // is none when Min equals Max) stops at its end.
  double rounded = std::nearbyint(Value());
  if (rounded >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (rounded <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(rounded);
}

void TFcSpinEdit::SetMin(double value) {
  if (value == min_) return;
  double current = Value();
  min_ = value;
  if (min_ > max_) max_ = min_;
  SetValue(current);
  Invalidate();
}

void TFcSpinEdit::SetMax(double value) {
  if (value == max_) return;
  double current = Value();
  max_ = value;
  if (max_ < min_) min_ = max_;
  SetValue(current);
  Invalidate();
}

void TFcSpinEdit::SetCheckRange(bool value) {
  if (value == checkRange_) return;
  double current = Value();
  checkRange_ = value;
  SetValue(current);
}

void TFcSpinEdit::SetDecimals(BYTE value) {
  if (value == decimals_) return;
  double current = Value();
  decimals_ = value;
  SetValue(current);
}

void TFcSpinEdit::SetIntegersOnly(bool value) {
  if (value == integersOnly_) return;
  double current = Value();
  integersOnly_ = value;
  if (value) {
    decimals_ = 0;
    current = std::nearbyint(current);
  }
  SetValue(current);
}

// ---- Stepping ----------------------------------------------------------------------------------

void TFcSpinEdit::Step(double amount, TSpinButtonType button) {
  if (ReadOnly()) {
    BeepInvalidKey();
    return;
  }
  bool allow = true;
  DoChanging(allow);
  if (!allow) return;
  SetValue(Value() + amount);
  DoButtonClick(button);
}

void TFcSpinEdit::IncValue(double amount) { Step(amount, sbUp); }
void TFcSpinEdit::DecValue(double amount) { Step(-amount, sbDown); }

void TFcSpinEdit::UpRightClick() { IncValue(increment_); }
void TFcSpinEdit::DownLeftClick() { DecValue(increment_); }

void TFcSpinEdit::DoChanging(bool& allowChange) {
  if (OnChanging) OnChanging(this, allowChange);
}

void TFcSpinEdit::DoButtonClick(TSpinButtonType button) {
  if (OnButtonClick) OnButtonClick(this, button);
}

void TFcSpinEdit::BeepInvalidKey() { MessageBeep(0); }

TFcControlButton* TFcSpinEdit::GetButton(TSpinButtonType type) const {
  return type == sbUp ? buttons_->UpRightButton() : buttons_->DownLeftButton();
}

void TFcSpinEdit::KeyDown(WORD& key, TShiftState shift) {
  TFcCustomEdit::KeyDown(key, shift);
  switch (key) {
    case VK_UP: IncValue(increment_); key = 0; break;
    case VK_DOWN: DecValue(increment_); key = 0; break;
    case VK_PRIOR: IncValue(pageSize_); key = 0; break;
    case VK_NEXT: DecValue(pageSize_); key = 0; break;
    case VK_DELETE:
      if (!allowKeyEdit_) {
        key = 0;
        BeepInvalidKey();
      }
      break;
    default: break;
  }
}

bool TFcSpinEdit::DoMouseWheel(TShiftState shift, int wheelDelta, POINT mousePos) {
  if (TFcCustomEdit::DoMouseWheel(shift, wheelDelta, mousePos)) return true;
  double amount = shift.Contains(ssCtrl) ? pageSize_ : increment_;
  if (wheelDelta > 0)
    IncValue(amount);
  else if (wheelDelta < 0)
    DecValue(amount);
  return true;
}

// ---- Typing -------------------------------------------------------------------------------------

bool TFcSpinEdit::IsValidChar(char key) {
  unsigned char ch = static_cast<unsigned char>(key);
  const char separator = FormatSettings.DecimalSeparator;
  if (!allowKeyEdit_ && (ch == VK_BACK || ch >= 32)) return false;
  bool isSeparator = !integersOnly_ && key == separator;
  bool isSign = key == '+' || key == '-';
  bool isDigit = key >= '0' && key <= '9';
  bool isControl = ch < 32 && key != '\r';
  if (!isSeparator && !isSign && !isDigit && !isControl) return false;
  std::string text = Text();
  int start = SelStart(), length = SelLength();
  if (isSeparator) {
    bool textHasOne = text.find(separator) != std::string::npos;
    return !textHasOne || (length > 0 && SelText().find(separator) != std::string::npos);
  }
  if (isSign) {
    bool hasSign = text.find_first_of("+-") != std::string::npos;
    bool allSelected = length > 0 && length == static_cast<int>(text.size());
    return (start == 0 && !hasSign) || allSelected;
  }
  return true;
}

void TFcSpinEdit::KeyPress(char& key) {
  TFcCustomEdit::KeyPress(key);
  if (key != 0 && !IsValidChar(key)) {
    key = 0;
    BeepInvalidKey();
  }
}

void TFcSpinEdit::WMCutPaste(TMessage& m) {
  if (!allowKeyEdit_ || ReadOnly()) return;
  Inherited(m);
}

// ---- Buttons and margins -----------------------------------------------------------------------

void TFcSpinEdit::SetButtonWidth(int value) {
  value = std::max(value, 0);
  if (value == buttonWidth_) return;
  buttonWidth_ = value;
  buttons_->SetWidth(Orientation() == orVertical ? value : 2 * value);
  ResizeButtons();
  Invalidate();
}

void TFcSpinEdit::SetOrientation(TOrientation value) {
  buttons_->SetOrientation(value);
  ResizeButtons();
  Invalidate();
}

void TFcSpinEdit::SetFlatButtons(bool value) {
  TFcCustomEdit::SetFlatButtons(value);
  buttons_->SetFlat(value);
  ResizeButtons();
}

void TFcSpinEdit::SetFrameStyle(TFrameStyle value) {
  TFcCustomEdit::SetFrameStyle(value);
  ResizeButtons();
}

RECT TFcSpinEdit::EditRect() {
  RECT r = TFcCustomEdit::EditRect();
  r.right -= buttons_->Width() + 2;
  return r;
}

void TFcSpinEdit::ResizeButtons() {
  if (ComponentState().Contains(csLoading)) return;
  int line = FontLineHeight(Font());
  if (Height() < line && !growing_) {
    // The resize comes back here; when the size constraints keep the edit lower, the buttons
    // are placed in what there is.
    TRestore<bool> growing(growing_, true);
    SetHeight(line);
    if (Height() >= line) return;
  }
  int w = buttons_->Width(), W = Width(), H = Height();
  if (UseRightToLeftReading())
    buttons_->SetBounds(0, 0, w, H - 3);
  else if (FrameVisible() || Ctl3D())
    ThemeServicesEnabled() ? buttons_->SetBounds(W - w - 3, -1, w, H - 1) : buttons_->SetBounds(W - w - 4, 0, w, H - 3);
  else
    buttons_->SetBounds(W - w - 1, 1, w, H - 3);
  SetEditMargins();
}

void TFcSpinEdit::SetEditMargins() {
  if (ComponentState().Contains(csLoading) || !HandleAllocated()) return;
  int room = buttons_->Width() + 2;
  bool rtl = UseRightToLeftReading();
  SendMessageA(Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(rtl ? room : 0, rtl ? 0 : room));
}

void TFcSpinEdit::ShowButtonsHot() {
  if (!FlatButtons()) return;
  bool hot = InControl() || OverControl();
  if (ThemeServicesEnabled()) {
    buttons_->SetFlat(!hot);
    buttons_->SetColor(Color());
  } else {
    buttons_->SetColor(hot ? FlatButtonColor() : Color());
  }
}

void TFcSpinEdit::SetHotFlag(TFcHotFlag flag, bool value) {
  TFcCustomEdit::SetHotFlag(flag, value);
  ShowButtonsHot();
}

void TFcSpinEdit::Loaded() {
  TFcCustomEdit::Loaded();
  buttons_->SetWidth(Orientation() == orVertical ? buttonWidth_ : 2 * buttonWidth_);
  ResizeButtons();
}

void TFcSpinEdit::CreateWnd() {
  TFcCustomEdit::CreateWnd();
  SetEditMargins();
}

void TFcSpinEdit::WMSize(TMessage& m) {
  Inherited(m);
  ResizeButtons();
}

void TFcSpinEdit::CMEnter(TMessage& m) {
  Inherited(m);
  SetEditMargins();
  if (AutoSelect() && GetKeyState(VK_LBUTTON) >= 0) SelectAll();
}

void TFcSpinEdit::CMExit(TMessage& m) {
  Inherited(m);
  SetEditMargins();
  if (Text().empty() && allowBlank_) return;
  double value = 0;
  SetValue(ReadText(value) ? value : min_);
}

void TFcSpinEdit::CMEnabledChanged(TMessage& m) {
  Inherited(m);
  buttons_->SetEnabled(Enabled());
  if (FlatButtons()) buttons_->SetColor(Color());
  SetEditMargins();
}

void TFcSpinEdit::CMFontChanged(TMessage& m) {
  Inherited(m);
  buttons_->SetEnabled(Enabled());
  if (HandleAllocated()) SetEditMargins();
}

// ---- Registration ---------------------------------------------------------------------------------

void RegisterFcSpnEdt() {
  RegisterFcEdit();
  RegisterFcButton();
  using B = TFcSpinButtons;
  RegisterClassInfo<B, TWinControl>("TFcSpinButtons")
      .Enum("Direction", SpinDirectionInfo, &B::Direction, &B::SetDirection, sdUpDown)
      .Enum("Orientation", OrientationInfo, &B::Orientation, &B::SetOrientation, orVertical)
      .Boolean("Flat", &B::Flat, &B::SetFlat, false)
      .Color("Color", &B::Color, &B::SetColor, clBtnFace)
      .StoredIf([](B* b) { return !b->ParentColor(); })
      .Component("FocusControl", &B::FocusControl, &B::SetFocusControl)
      .Extra("GlyphUpRight", tkString, [](B* b, const TValue& v) { b->SetGlyphUpRight(GlyphResource(v).get()); })
      .Extra("GlyphDownLeft", tkString, [](B* b, const TValue& v) { b->SetGlyphDownLeft(GlyphResource(v).get()); })
      .Integer("NumGlyphsUpRight", &B::NumGlyphsUpRight, &B::SetNumGlyphsUpRight, 2)
      .StoredIf(&B::GlyphUpRightCustom)
      .Integer("NumGlyphsDownLeft", &B::NumGlyphsDownLeft, &B::SetNumGlyphsDownLeft, 2)
      .StoredIf(&B::GlyphDownLeftCustom)
      .Event("OnUpRightClick", &B::OnUpRightClick)
      .Event("OnDownLeftClick", &B::OnDownLeftClick);

  using S = TFcSpinEdit;
  auto custom = [](S* s) { return s->Buttons()->GlyphUpRightCustom(); };
  auto customDown = [](S* s) { return s->Buttons()->GlyphDownLeftCustom(); };
  auto spin = RegisterClassInfo<S, TFcCustomEdit>("TFcSpinEdit");
  spin.Enum("Alignment", SpinAlignmentInfo, &S::Alignment, &S::SetAlignment, taRightJustify)
      .Boolean("Ctl3D", &S::Ctl3D, &S::SetCtl3D, true)
      .Boolean("TabOnEnter", &S::TabOnEnter, &S::SetTabOnEnter, false)
      .String("Text", &S::Text, &S::SetText)
      .StoredIf([](S*) { return false; })
      .Float("Min", &S::Min, &S::SetMin, 0.0)
      .Float("Max", &S::Max, &S::SetMax, 100.0)
      .Float("Increment", &S::Increment, &S::SetIncrement, 1.0)
      .Float("PageSize", &S::PageSize, &S::SetPageSize, 10.0)
      .Integer("Decimals", &S::Decimals, &S::SetDecimals, 0)
      .Boolean("IntegersOnly", &S::IntegersOnly, &S::SetIntegersOnly, true)
      .Boolean("CheckRange", &S::CheckRange, &S::SetCheckRange, false)
      .Float("Value", &S::Value, &S::SetValue, 0.0)
      .Boolean("AllowKeyEdit", &S::AllowKeyEdit, &S::SetAllowKeyEdit, false)
      .Boolean("AllowBlank", &S::AllowBlank, &S::SetAllowBlank, false)
      .Float("BlankValue", &S::BlankValue, &S::SetBlankValue, 0.0)
      .Integer("ButtonWidth", &S::ButtonWidth, &S::SetButtonWidth, 17)
      .Enum("Direction", SpinDirectionInfo, &S::Direction, &S::SetDirection, sdUpDown)
      .Enum("Orientation", OrientationInfo, &S::Orientation, &S::SetOrientation, orVertical)
      .Extra("ButtonUpGlyph", tkString, [](S* s, const TValue& v) { s->SetButtonUpGlyph(GlyphResource(v).get()); })
      .Extra("ButtonDownGlyph", tkString,
             [](S* s, const TValue& v) { s->SetButtonDownGlyph(GlyphResource(v).get()); })
      .Integer("ButtonUpNumGlyphs", &S::ButtonUpNumGlyphs, &S::SetButtonUpNumGlyphs, 2)
      .StoredIf(custom)
      .Integer("ButtonDownNumGlyphs", &S::ButtonDownNumGlyphs, &S::SetButtonDownNumGlyphs, 2)
      .StoredIf(customDown)
      .Boolean("FlatButtons", &S::FlatButtons, &S::SetFlatButtons, false)
      .Color("FlatButtonColor", &S::FlatButtonColor, &S::SetFlatButtonColor, clBtnFace)
      .Event("OnChanging", &S::OnChanging)
      .Event("OnButtonClick", &S::OnButtonClick)
      .Obsolete("FlatButtonParentColor", tkBoolean);
  PublishFrameSettings(spin);
}
