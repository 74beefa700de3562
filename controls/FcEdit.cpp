#include "controls/FcEdit.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

const TEnumInfo LeftRightInfo{"TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}};

// Enter as Tab: the Enter character types nothing, and a Tab key sent to the control's own
// window lets the form move the focus on as it does for Tab.
void EnterAsTab(TWinControl* control, bool tabOnEnter, char& key) {
  if (!tabOnEnter || key != '\r') return;
  key = 0;
  PostMessageA(control->Handle(), WM_KEYDOWN, VK_TAB, 0);
}

}  // namespace

// ---- TFcCustomEdit -------------------------------------------------------------------------

TMessageTable& TFcCustomEdit::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(WM_NCPAINT, Handler(&TFcCustomEdit::WMNCPaint));
    t->Add(WM_NCCALCSIZE, Handler(&TFcCustomEdit::WMNCCalcSize));
    t->Add(WM_NCHITTEST, Handler(&TFcCustomEdit::WMNCHitTest));
    t->Add(WM_SETCURSOR, Handler(&TFcCustomEdit::WMSetCursor));
    for (UINT msg : {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN})
      t->Add(msg, Handler(&TFcCustomEdit::WMButtonDown));
    return t;
  }();
  return *table;
}

TFcCustomEdit::TFcCustomEdit(TComponent* owner) : TFcFramedControl<TEdit>(owner) {
  controlStyle_ -= csSetCaption;
  controlStyle_ += csCaptureMouse;
}

void TFcCustomEdit::SetAlignment(TLeftRight value) {
  if (value == alignment_) return;
  alignment_ = value;
  RecreateWnd();
}

void TFcCustomEdit::SetFlatButtonColor(TColor value) {
  if (value == flatButtonColor_) return;
  flatButtonColor_ = value;
  if (buttonVisible_) RepaintFrame();
}

void TFcCustomEdit::SetFlatButtons(bool value) {
  if (value == flatButtons_) return;
  flatButtons_ = value;
  if (buttonVisible_) RepaintFrame();
}

void TFcCustomEdit::CreateParams(TCreateParams& params) {
  TFcFramedControl<TEdit>::CreateParams(params);
  params.Style |= WS_CLIPCHILDREN;
  params.Style &= ~static_cast<DWORD>(ES_LEFT | ES_RIGHT | ES_CENTER | ES_MULTILINE);
  params.Style |= alignment_ == taRightJustify ? ES_RIGHT : alignment_ == taCenter ? ES_CENTER : ES_LEFT;
}

void TFcCustomEdit::KeyPress(char& key) {
  TFcFramedControl<TEdit>::KeyPress(key);
  EnterAsTab(this, tabOnEnter_, key);
}

void TFcCustomEdit::KeyDown(WORD& key, TShiftState shift) {
  TFcFramedControl<TEdit>::KeyDown(key, shift);
  if (key == VK_DOWN && shift.Contains(ssAlt) && buttonVisible_) {
    key = 0;
    PressButton();
  }
}

void TFcCustomEdit::SetHotFlag(TFcHotFlag flag, bool value) {
  bool wasHot = InControl() || OverControl();
  TFcFramedControl<TEdit>::SetHotFlag(flag, value);
  if (buttonVisible_ && !FrameHotTrack() && wasHot != (InControl() || OverControl())) RepaintFrame();
}

void TFcCustomEdit::ValidateError() {
  std::string message;
  if (OnValidateError) OnValidateError(this, message);
  if (message.empty()) return;
  MessageBeep(0);
  throw EEditError(message);
}

// ---- Drop-down button ----------------------------------------------------------------------

int TFcCustomEdit::ButtonWidth() const {
  return GetSystemMetrics(SM_CXVSCROLL) - (ThemeServicesEnabled() ? 1 : 0);
}

void TFcCustomEdit::SetButtonVisible(bool value) {
  if (value == buttonVisible_) return;
  buttonVisible_ = value;
  // The border's width changes: the system asks for it again.
  if (HandleAllocated())
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFcCustomEdit::SetButtonState(TFcDropDownButtonState value) {
  if (value == buttonState_) return;
  buttonState_ = value;
  RepaintFrame();
}

RECT TFcCustomEdit::ButtonRect() {
  RECT window{0, 0, Width(), Height()};
  if (HandleAllocated()) {
    RECT r;
    GetWindowRect(Handle(), &r);
    window = RECT{0, 0, r.right - r.left, r.bottom - r.top};
  }
  if (BorderStyle() == bsSingle) {
    int inset = ThemeServicesEnabled() ? 1 : 2;
    InflateRect(&window, -inset, -inset);
  }
  int w = ButtonWidth();
  if (UseRightToLeftReading()) return RECT{window.left, window.top, window.left + w, window.bottom};
  return RECT{window.right - w, window.top, window.right, window.bottom};
}

void TFcCustomEdit::DrawButton(TCanvas* canvas, const RECT& rect) {
  bool hot = InControl() || OverControl();
  bool down = buttonState_ == dbsDown;
  bool themed = ThemeServicesEnabled();
  if (themed && (!flatButtons_ || hot)) {
    Themes::TThemeData theme = Themes::OpenTheme(Handle(), "COMBOBOX");
    if (theme) {
      int state = !Enabled() ? CBXS_DISABLED : down ? CBXS_PRESSED : hot ? CBXS_HOT : CBXS_NORMAL;
      Themes::DrawThemeBackground(theme.get(), canvas->Handle(), CP_DROPDOWNBUTTON, state, rect);
      return;
    }
  }
  if (!flatButtons_ && !themed) {
    RECT r = rect;
    DrawFrameControl(canvas->Handle(), &r, DFC_SCROLL,
                     DFCS_SCROLLCOMBOBOX | (down ? DFCS_PUSHED : 0) | (Enabled() ? 0 : DFCS_INACTIVE));
    return;
  }
  RECT face = rect;
  TColor faceColor = Color();
  if (hot && !themed) {
    faceColor = flatButtonColor_;
    if (flatButtonColor_ == clBtnFace)
      face = PaintBevelRings(canvas, face, down ? clBtnShadow : clBtnHighlight, sdAllSides, 1,
                             down ? clBtnHighlight : clBtnShadow);
    else
      face = PaintColorStyledRect(canvas, face, flatButtonColor_, down ? fsButtonDown : fsButtonUp);
  }
  canvas->Brush()->SetColor(faceColor);
  canvas->FillRect(face);
  PaintDropDownArrow(canvas, face, themed, Enabled(), down);
}

void TFcCustomEdit::DropDown() {
  if (OnDropDown) OnDropDown(this);
}

void TFcCustomEdit::CloseUp() {
  if (OnCloseUp) OnCloseUp(this);
}

void TFcCustomEdit::PressButton() {
  if (CanFocus() && !Focused()) SetFocus();
  SetButtonState(dbsDown);
  SetCapture(Handle());
  TScopeExit up([this] {
    droppedDown_ = false;
    if (GetCapture() == Handle()) ReleaseCapture();
    SetButtonState(dbsUp);
  });
  droppedDown_ = true;
  DropDown();
  droppedDown_ = false;
  CloseUp();
}

void TFcCustomEdit::WMNCPaint(TMessage& m) {
  Inherited(m);
  PaintWindowFrame();
  if (buttonVisible_) {
    TWindowCanvas canvas(Handle(), true);
    DrawButton(&canvas, ButtonRect());
  }
}

void TFcCustomEdit::WMNCCalcSize(TWMObject<RECT>& m) {
  Inherited(m);
  if (!buttonVisible_) return;
  // Both forms of the message carry the client rect first.
  RECT* client = m.Object;
  if (UseRightToLeftReading())
    client->left += ButtonWidth();
  else
    client->right -= ButtonWidth();
}

void TFcCustomEdit::WMNCHitTest(TWMNCHitTest& m) {
  Inherited(m);
  overButton_ = false;
  if (!buttonVisible_) return;
  POINT p = m.Pos;
  RECT window;
  GetWindowRect(Handle(), &window);
  p.x -= window.left;
  p.y -= window.top;
  RECT button = ButtonRect();
  if (PtInRect(&button, p)) {
    // Over the button the edit takes the mouse itself, as if it were in the text.
    overButton_ = true;
    m.Result = HTCLIENT;
  }
}

void TFcCustomEdit::WMSetCursor(TMessage& m) {
  if (overButton_) {
    ::SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    m.Result = 1;
    return;
  }
  Inherited(m);
}

void TFcCustomEdit::WMButtonDown(TMessage& m) {
  if (!overButton_) {
    Inherited(m);
    return;
  }
  if (m.Msg != WM_RBUTTONDOWN) PressButton();
}

// ---- TFcMemo --------------------------------------------------------------------------------------

TMessageTable& TFcMemo::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(WM_NCPAINT, Handler(&TFcMemo::WMNCPaint));
    for (UINT msg : {WM_KEYDOWN, WM_KEYUP}) t->Add(msg, Handler(&TFcMemo::WMKey));
    return t;
  }();
  return *table;
}

TFcMemo::TFcMemo(TComponent* owner) : TFcFramedControl<TMemo>(owner) { controlStyle_ -= csSetCaption; }

void TFcMemo::WMNCPaint(TMessage& m) {
  Inherited(m);
  PaintWindowFrame();
}

void TFcMemo::WMKey(TMessage& m) {
  Inherited(m);
  ReportLineCol();
}

void TFcMemo::CreateWnd() {
  TFcFramedControl<TMemo>::CreateWnd();
  ReportLineCol();
}

void TFcMemo::Change() {
  TFcFramedControl<TMemo>::Change();
  ReportLineCol();
}

void TFcMemo::Click() {
  TFcFramedControl<TMemo>::Click();
  ReportLineCol();
}

void TFcMemo::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TFcFramedControl<TMemo>::MouseUp(button, shift, x, y);
  ReportClipboard();
}

void TFcMemo::KeyPress(char& key) {
  TFcFramedControl<TMemo>::KeyPress(key);
  EnterAsTab(this, tabOnEnter_, key);
}

bool TFcMemo::DoMouseWheel(TShiftState shift, int wheelDelta, POINT mousePos) {
  if (TFcFramedControl<TMemo>::DoMouseWheel(shift, wheelDelta, mousePos)) return true;
  UINT lines = 1;
  if (shift.Contains(ssCtrl)) SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  int notches = wheelDelta / WHEEL_DELTA;
  if (HandleAllocated() && notches != 0)
    SendMessageA(Handle(), EM_LINESCROLL, 0, -notches * static_cast<int>(lines));
  return true;
}

int TFcMemo::CaretIndex() {
  DWORD start = 0, end = 0;
  SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  if (start == end) return static_cast<int>(start);
  // With a selection the caret sits at the end the user moved last.
  POINT caret;
  if (Focused() && GetCaretPos(&caret)) {
    LRESULT at = SendMessageA(Handle(), EM_POSFROMCHAR, start, 0);
    if (static_cast<short>(LOWORD(at)) == caret.x && static_cast<short>(HIWORD(at)) == caret.y)
      return static_cast<int>(start);
  }
  return static_cast<int>(end);
}

int TFcMemo::Line() {
  return static_cast<int>(SendMessageA(Handle(), EM_LINEFROMCHAR, static_cast<WPARAM>(CaretIndex()), 0)) + 1;
}

int TFcMemo::Column() {
  int caret = CaretIndex();
  LRESULT line = SendMessageA(Handle(), EM_LINEFROMCHAR, static_cast<WPARAM>(caret), 0);
  LRESULT first = SendMessageA(Handle(), EM_LINEINDEX, static_cast<WPARAM>(line), 0);
  return first < 0 ? 1 : caret - static_cast<int>(first) + 1;
}

void TFcMemo::SetLine(int value) {
  int count = static_cast<int>(SendMessageA(Handle(), EM_GETLINECOUNT, 0, 0));
  if (value < 1 || value > count) return;
  LRESULT start = SendMessageA(Handle(), EM_LINEINDEX, static_cast<WPARAM>(value - 1), 0);
  if (start < 0) return;
  SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(start), start);
  if (SendMessageA(Handle(), EM_LINEFROMCHAR, static_cast<WPARAM>(start), 0) == value - 1) {
    LRESULT top = SendMessageA(Handle(), EM_GETFIRSTVISIBLELINE, 0, 0);
    SendMessageA(Handle(), EM_LINESCROLL, 0, (value - 1) - top);
  }
}

void TFcMemo::SetColumn(int value) {
  if (value < 1) return;
  LRESULT line = SendMessageA(Handle(), EM_LINEFROMCHAR, static_cast<WPARAM>(CaretIndex()), 0);
  LRESULT start = SendMessageA(Handle(), EM_LINEINDEX, static_cast<WPARAM>(line), 0);
  LRESULT length = SendMessageA(Handle(), EM_LINELENGTH, static_cast<WPARAM>(start), 0);
  if (start < 0 || value > length + 1) return;
  WPARAM at = static_cast<WPARAM>(start + value - 1);
  SendMessageA(Handle(), EM_SETSEL, at, static_cast<LPARAM>(at));
  ReportLineCol();
}

void TFcMemo::DoLineColChange(int line, int column) {
  if (OnLineColChange) OnLineColChange(this, line, column);
}

void TFcMemo::DoClipboardChange(bool hasSelection, bool clipboardHasText) {
  if (OnClipboardChange) OnClipboardChange(this, hasSelection, clipboardHasText);
}

void TFcMemo::ReportLineCol() {
  if (!HandleAllocated()) return;
  if (OnLineColChange) DoLineColChange(Line(), Column());
  ReportClipboard();
}

void TFcMemo::ReportClipboard() {
  if (!HandleAllocated() || !OnClipboardChange) return;
  DoClipboardChange(SelLength() > 0, IsClipboardFormatAvailable(CF_TEXT) != FALSE);
}

// ---- TFcNumericEdit ----------------------------------------------------------------------------

TMessageTable& TFcNumericEdit::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(CM_ENTER, Handler(&TFcNumericEdit::CMEnter));
    t->Add(CM_EXIT, Handler(&TFcNumericEdit::CMExit));
    for (UINT msg : {WM_CUT, WM_PASTE}) t->Add(msg, Handler(&TFcNumericEdit::WMCutPaste));
    return t;
  }();
  return *table;
}

TFcNumericEdit::TFcNumericEdit(TComponent* owner) : TFcEdit(owner) {
  controlStyle_ -= csSetCaption;
  SetAlignment(taRightJustify);
  SetBounds(Left(), Top(), 65, 21);
  SetText("0");
}

void TFcNumericEdit::SetIntegersOnly(bool value) {
  if (value == integersOnly_) return;
  integersOnly_ = value;
  if (value) SetValue(std::nearbyint(Value()));
}

void TFcNumericEdit::SetMin(double value) {
  if (value == min_) return;
  min_ = value;
  if (min_ > max_) max_ = min_;
  Invalidate();
}

void TFcNumericEdit::SetMax(double value) {
  if (value == max_) return;
  max_ = value;
  if (max_ < min_) min_ = max_;
  Invalidate();
}

double TFcNumericEdit::Value() {
  try {
    std::string text = Text();
    if (!text.empty()) return TextToValue(text);
    if (allowBlank_) return blankValue_;
    SetText(ValueToText(min_));
    return TextToValue(Text());
  } catch (const std::exception&) {
    return min_;
  }
}

void TFcNumericEdit::SetValue(double value) {
  if (value != TextToValue(Text())) SetText(ValueToText(value));
}

int TFcNumericEdit::IntValue() {
  double rounded = std::nearbyint(Value());
  // A long pasted number reads as the nearest 32-bit value.
  if (!(rounded >= INT_MIN)) return INT_MIN;
  if (rounded > INT_MAX) return INT_MAX;
  return static_cast<int>(rounded);
}

void TFcNumericEdit::SetDisplayFormat(const std::string& value) {
  if (value == displayFormat_) return;
  double current = Value();
  displayFormat_ = value;
  if (!ComponentState().Contains(csLoading)) SetText(ValueToText(current));
}

std::string TFcNumericEdit::ValueToText(double value) { return FormatFloat(displayFormat_, value); }

double TFcNumericEdit::TextToValue(const std::string& text) {
  if (text.empty()) return 0;
  const char separator = FormatSettings.DecimalSeparator;
  bool negative = text.find_first_of("-(") != std::string::npos;
  std::string kept;
  for (char ch : text)
    if ((ch >= '0' && ch <= '9') || ch == separator) kept += ch;
  if (kept.empty()) return 0;
  if (negative) kept.insert(kept.begin(), '-');
  double value = 0;
  if (!TryStrToFloat(kept, value)) {
    MessageBeep(0);
    return 0;
  }
  return value;
}

bool TFcNumericEdit::IsValidKey(char key) {
  const char separator = FormatSettings.DecimalSeparator;
  const bool isSeparator = !integersOnly_ && key == separator;
  const bool isSign = key == '+' || key == '-';
  const bool isDigit = key >= '0' && key <= '9';
  const bool isControl = static_cast<unsigned char>(key) < 32 && key != '\r';
  if (!isSeparator && !isSign && !isDigit && !isControl) return false;

  const std::string text = Text();
  const int start = SelStart(), length = SelLength();
  const std::string selected = SelText();
  auto hasSign = [](const std::string& s) { return s.find_first_of("+-") != std::string::npos; };
  if (isSeparator) {
    bool textHasOne = text.find(separator) != std::string::npos;
    if (length > 0) return !textHasOne || selected.find(separator) != std::string::npos;
    return !textHasOne;
  }
  if (isSign) {
    // A sign goes only in front, where there is none yet.
    bool placed = start != 0 || hasSign(text);
    if (!placed) return true;
    if (length > 0 && length == static_cast<int>(text.size())) return true;
    if (start != 0 || length == 0) return false;
    return hasSign(selected);
  }
  // Nothing goes in front of the sign.
  return !(start == 0 && length == 0 && !text.empty() && (text[0] == '+' || text[0] == '-'));
}

void TFcNumericEdit::KeyPress(char& key) {
  TFcEdit::KeyPress(key);
  if (key != 0 && !IsValidKey(key)) {
    key = 0;
    MessageBeep(0);
  }
}

void TFcNumericEdit::Change() {
  if (loading_ || ComponentState().Contains(csLoading)) return;
  TFcEdit::Change();
}

double TFcNumericEdit::CheckValueRange(double value, bool& keepFocus) {
  keepFocus = false;
  double result = value;
  if (min_ != max_ || checkRange_) {
    bool autoCorrect = true;
    if (value < min_) {
      DoRangeError(value, min_, autoCorrect);
      if (autoCorrect) result = min_;
      else keepFocus = true;
    } else if (value > max_) {
      DoRangeError(value, max_, autoCorrect);
      if (autoCorrect) result = max_;
      else keepFocus = true;
    }
  }
  modified_ = result != fieldValue_;
  fieldValue_ = result;
  return result;
}

void TFcNumericEdit::DoRangeError(double entered, double adjusted, bool& autoCorrect) {
  if (OnRangeError) OnRangeError(this, entered, adjusted, autoCorrect);
}

void TFcNumericEdit::CMEnter(TMessage& m) {
  modified_ = false;
  fieldValue_ = TextToValue(Text());
  if (!allowBlank_) SetText(ValueToText(fieldValue_));
  Inherited(m);
}

void TFcNumericEdit::CMExit(TMessage& m) {
  // A handler that moves the focus (a message box) would leave the edit a second time while
  // the first exit still runs.
  if (exiting_) return;
  TRestore<bool> exiting(exiting_, true);
  if (allowBlank_ && Text().empty()) {
    Inherited(m);
    return;
  }
  double value = min_;
  try {
    bool keepFocus = false;
    value = CheckValueRange(TextToValue(Text()), keepFocus);
    if (keepFocus) {
      SetFocus();
      return;
    }
  } catch (const std::exception&) {
    value = min_;
    SetValue(min_);
  }
  SetText(ValueToText(value));
  Inherited(m);
}

void TFcNumericEdit::WMCutPaste(TMessage& m) {
  if (ReadOnly()) return;
  Inherited(m);
}

void TFcNumericEdit::Loaded() {
  TFcEdit::Loaded();
  TRestore<bool> loading(loading_, true);
  fieldValue_ = TextToValue(Text());
  if (!allowBlank_) SetText(ValueToText(fieldValue_));
}

// ---- Registration --------------------------------------------------------------------------------

void RegisterFcEdit() {
  RegisterStdCtrls();
  RegisterClassInfo<TFcCustomEdit, TEdit>("TFcCustomEdit");
  using E = TFcEdit;
  auto edit = RegisterClassInfo<E, TFcCustomEdit>("TFcEdit");
  edit.Enum("Alignment", LeftRightInfo, &E::Alignment, &E::SetAlignment, taLeftJustify)
      .Boolean("Ctl3D", &E::Ctl3D, &E::SetCtl3D, true)
      .Boolean("TabOnEnter", &E::TabOnEnter, &E::SetTabOnEnter, false);
  PublishFrameSettings(edit);

  using N = TFcNumericEdit;
  RegisterClassInfo<N, TFcEdit>("TFcNumericEdit")
      .Enum("Alignment", LeftRightInfo, &N::Alignment, &N::SetAlignment, taRightJustify)
      .String("Text", &N::Text, &N::SetText)
      .StoredIf([](N*) { return false; })
      .Boolean("AllowBlank", &N::AllowBlank, &N::SetAllowBlank, false)
      .Float("BlankValue", &N::BlankValue, &N::SetBlankValue, 0.0)
      .Boolean("CheckRange", &N::CheckRange, &N::SetCheckRange, false)
      .Boolean("IntegersOnly", &N::IntegersOnly, &N::SetIntegersOnly, true)
      .Float("Min", &N::Min, &N::SetMin, 0.0)
      .Float("Max", &N::Max, &N::SetMax, 0.0)
      .String("DisplayFormat", &N::DisplayFormat, &N::SetDisplayFormat, ",0;(,0)")
      .Float("Value", &N::Value, &N::SetValue, 0.0)
      .Event("OnRangeError", &N::OnRangeError);

  using M = TFcMemo;
  auto memo = RegisterClassInfo<M, TMemo>("TFcMemo");
  memo.Boolean("Ctl3D", &M::Ctl3D, &M::SetCtl3D, true)
      .Boolean("TabOnEnter", &M::TabOnEnter, &M::SetTabOnEnter, false)
      .Event("OnLineColChange", &M::OnLineColChange)
      .Event("OnClipboardChange", &M::OnClipboardChange);
  PublishFrameSettings(memo);
}
