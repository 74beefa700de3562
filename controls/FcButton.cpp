// The shared button helpers, TFcCustomButton, TFcButton, the windowless buttons' hover state
// and the registration (units of FcButton.h).
#include "controls/FcButton.h"

#include <algorithm>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "platform/Guards.h"
#include "platform/Themes.h"

const TEnumInfo ButtonLayoutInfo{"TButtonLayout", {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"}};

// ---- Shared helpers ------------------------------------------------------------------------

RECT CentredAcross(RECT r, TButtonLayout layout, SIZE size) {
  if (layout == blGlyphTop || layout == blGlyphBottom)
    r.left += (r.right - r.left - size.cx + 1) / 2;
  else
    r.top += (r.bottom - r.top - size.cy + 1) / 2;
  return RECT{r.left, r.top, r.left + size.cx, r.top + size.cy};
}

TNumGlyphs ClampNumGlyphs(int value) { return std::clamp(value, 1, 4); }

TNumGlyphs NumGlyphsOfShape(const TBitmap* glyph, TNumGlyphs current) {
  int w = glyph->Width(), h = glyph->Height();
  if (h == 0 || w % h != 0) return current;
  int cells = w / h;
  return ClampNumGlyphs(cells < 5 ? cells : 1);
}

void DrawGlyphCell(TCanvas* canvas, TBitmap* glyph, TNumGlyphs numGlyphs, bool enabled, const RECT& rect) {
  if (!glyph || glyph->Empty()) return;
  numGlyphs = ClampNumGlyphs(numGlyphs);
  int cellWidth = glyph->Width() / numGlyphs, cellHeight = glyph->Height();
  int w = rect.right - rect.left, h = rect.bottom - rect.top;
  if (cellWidth <= 0 || w <= 0 || h <= 0) return;
  int cell = !enabled && numGlyphs >= 2 ? 1 : 0;
  RECT source{cell * cellWidth, 0, (cell + 1) * cellWidth, cellHeight};
  TColor transparent = glyph->Canvas()->Pixels(source.left, cellHeight - 1);
  // Composed on a copy of what lies under the glyph, then put back in one piece.
  TBitmap under(w, h);
  RECT whole{0, 0, w, h};
  under.Canvas()->CopyRect(whole, canvas, rect);
  DrawBitmapTransparentStretched(under.Canvas(), glyph, whole, transparent, source);
  canvas->Draw(rect.left, rect.top, &under);
}

int CaptionBlockHeight(TFont* font, const std::string& text, const RECT& rect) {
  TMeasureDC screen;
  TSelectObject select(screen, font->Handle());
  RECT r = rect;
  DrawTextA(screen, text.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_EXPANDTABS | DT_CALCRECT);
  return r.bottom - r.top;
}

bool ChangeImageList(TComponent* owner, TCustomImageList*& field, TCustomImageList* value, TChangeLink& link) {
  if (value == field) return false;
  if (field) {
    field->UnRegisterChanges(&link);
    field->RemoveFreeNotification(owner);
  }
  field = value;
  if (field) {
    field->RegisterChanges(&link);
    field->FreeNotification(owner);
  }
  return true;
}

bool IsUnderCursor(TControl* control) {
  TWinControl* parent = control->Parent();
  if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
    if (!windowed->HandleAllocated()) return false;
    POINT p;
    GetCursorPos(&p);
    return WindowFromPoint(p) == windowed->Handle();
  }
  if (!parent || !parent->HandleAllocated()) return false;
  POINT p;
  GetCursorPos(&p);
  if (WindowFromPoint(p) != parent->Handle()) return false;
  ::ScreenToClient(parent->Handle(), &p);
  return parent->ControlAtPos(p, false) == control;
}

namespace {

std::map<std::string, HTHEME>& ThemeCache() {
  // Never freed: the handles go with the process.
  static auto* cache = new std::map<std::string, HTHEME>;
  return *cache;
}

}  // namespace

HTHEME CachedThemeData(const char* themeClass) {
  auto& cache = ThemeCache();
  auto it = cache.find(themeClass);
  if (it == cache.end()) it = cache.emplace(themeClass, Themes::OpenThemeData(nullptr, themeClass)).first;
  return it->second;
}

void ForgetThemeData() {
  for (auto& [name, theme] : ThemeCache())
    if (theme) Themes::CloseThemeData(theme);
  ThemeCache().clear();
}

TFcHotColors HotTrackColors(TColor hotTrackColor, TFcHotTrackColorType type) {
  TFcHotColors colors;
  if (!DisplayHasFullColor()) return colors;
  if (type == htctActual) {
    colors.Base = static_cast<TColor>(ColorToRGB(hotTrackColor));
    colors.Light = LightenColor(hotTrackColor, 30);
  } else {
    BYTE hue = HueOfColor(hotTrackColor);
    colors.Base = Hsl240ToRgb(static_cast<BYTE>(hue < 120 ? hue + 120 : hue - 120), 220, 180);
    colors.Light = colors.Base;
  }
  colors.Dark = DarkenColor(colors.Base, 30);
  colors.PressedFill = DarkenColor(clWindow, 20);
  return colors;
}

std::unique_ptr<TBitmap> CheckeredPattern(TColor base, TColor dots) {
  auto pattern = std::make_unique<TBitmap>(8, 8);
  TCanvas* canvas = pattern->Canvas();
  canvas->Brush()->SetColor(base);
  canvas->FillRect(RECT{0, 0, 8, 8});
  for (int y = 0; y < 8; ++y)
    for (int x = y % 2; x < 8; x += 2) canvas->SetPixels(x, y, dots);
  return pattern;
}

namespace {

// A one-pixel ring, upper-left in one colour and lower-right in another; returns what lies
// inside.
RECT Rings(TCanvas* canvas, const RECT& r, TColor upperLeft, TColor lowerRight) {
  return PaintBevelRings(canvas, r, upperLeft, sdAllSides, 1, lowerRight);
}

void Line(TCanvas* canvas, TColor color, std::initializer_list<POINT> points) {
  canvas->Pen()->SetColor(color);
  canvas->Polyline(points);
}

void Fill(TCanvas* canvas, const RECT& r, TColor color) {
  canvas->Brush()->SetColor(color);
  canvas->FillRect(r);
}

RECT Inset(RECT r, int by) {
  InflateRect(&r, -by, -by);
  return r;
}

}  // namespace

// ---- TFcCustomButton -----------------------------------------------------------------------

TMessageTable& TFcCustomButton::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(WM_SETFOCUS, Handler(&TFcCustomButton::WMFocusChange));
    t->Add(WM_KILLFOCUS, Handler(&TFcCustomButton::WMFocusChange));
    t->Add(WM_THEMECHANGED, Handler(&TFcCustomButton::WMThemeChanged));
    t->Add(WM_ERASEBKGND, Handler(&TFcCustomButton::WMEraseBkgnd));
    t->Add(CM_TEXTCHANGED, Handler(&TFcCustomButton::CMTextChanged));
    return t;
  }();
  return *table;
}

TFcCustomButton::TFcCustomButton(TComponent* owner) : TCustomControl(owner) {
  SetControlStyle({csCaptureMouse, csSetCaption, csDoubleClicks, csReplicatable, csReflector});
  SetBounds(Left(), Top(), 115, 17);
  SetTabStop(true);
}

void TFcCustomButton::SetAlignmentVertical(TAlignmentVertical value) {
  if (StoreChanged(alignmentVertical_, value)) Invalidate();
}

void TFcCustomButton::SetHotTrack(bool value) {
  if (StoreChanged(hotTrack_, value)) Invalidate();
}

void TFcCustomButton::SetHighlightColor(TColor value) {
  if (StoreChanged(highlightColor_, value)) Invalidate();
}

void TFcCustomButton::SetLightTextStyle(bool value) {
  if (StoreChanged(lightTextStyle_, value)) Invalidate();
}

void TFcCustomButton::SetTextStyle(TTextStyle value) {
  if (StoreChanged(textStyle_, value)) Invalidate();
}

void TFcCustomButton::SetTextHighlightColor(TColor value) {
  if (StoreChanged(textHighlightColor_, value)) Invalidate();
}

void TFcCustomButton::SetTextShadowColor(TColor value) {
  if (StoreChanged(textShadowColor_, value)) Invalidate();
}

void TFcCustomButton::SetTextShadowDepth(int value) {
  if (StoreChanged(textShadowDepth_, value)) Invalidate();
}

void TFcCustomButton::SetThemeAware(bool value) {
  if (StoreChanged(themeAware_, value)) Invalidate();
}

void TFcCustomButton::SetTransparent(bool value) {
  if (StoreChanged(transparent_, value)) Invalidate();
}

bool TFcCustomButton::Themed() const { return themeAware_ && ThemeServicesEnabled(); }

void TFcCustomButton::RedrawNow() { Repaint(); }

RECT TFcCustomButton::HotAreaRect() { return ClientRect(); }

void TFcCustomButton::MouseEntered() {
  mouseInside_ = true;
  if (OnMouseEnter) OnMouseEnter(this);
}

void TFcCustomButton::MouseLeft() {
  mouseInside_ = false;
  if (OnMouseLeave) OnMouseLeave(this);
}

void TFcCustomButton::InvalidateHotArea() {
  if (!HandleAllocated() || !(hotTrack_ || Themed())) return;
  RECT r = HotAreaRect();
  InvalidateRect(Handle(), &r, FALSE);
}

void TFcCustomButton::MouseEnter() {
  if (ComponentState().Contains(csDesigning)) return;
  MouseEntered();
  InvalidateHotArea();
}

void TFcCustomButton::MouseLeave() {
  MouseLeft();
  InvalidateHotArea();
}

void TFcCustomButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  if (button != mbLeft || !Enabled()) return;
  // Only a button that can take the focus tracks the press (one on a hidden form or in a
  // disabled container cannot).
  if (!CanFocus()) return;
  SetFocus();
  if (!Focused()) return;
  pressedLook_ = true;
  tracking_ = true;
  RefreshState();
}

void TFcCustomButton::MouseMove(TShiftState shift, int x, int y) {
  TCustomControl::MouseMove(shift, x, y);
  if (!tracking_) return;
  RECT client = ClientRect();
  bool inside = PtInRect(&client, POINT{x, y}) != FALSE;
  if (inside == pressedLook_) return;
  pressedLook_ = inside;
  RefreshState();
}

void TFcCustomButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseUp(button, shift, x, y);
  if (!tracking_) return;
  tracking_ = false;
  pressedLook_ = false;
  RECT client{0, 0, ClientWidth(), ClientHeight()};
  if (PtInRect(&client, POINT{x, y})) AdvanceState();
  RefreshState();
}

void TFcCustomButton::SpaceDown() {
  spacePending_ = true;
  pressedLook_ = true;
  RefreshState();
}

void TFcCustomButton::CancelSpace() {
  spacePending_ = false;
  pressedLook_ = false;
  RefreshState();
}

void TFcCustomButton::SpaceUp() {
  pressedLook_ = false;
  if (spacePending_) {
    spacePending_ = false;
    AdvanceState();
  }
  RefreshState();
}

void TFcCustomButton::WMFocusChange(TMessage& m) {
  Inherited(m);
  // A Space pressed here and let go elsewhere is no click: a release that reaches the control
  // once it has the focus again must not finish it.
  if (m.Msg == WM_KILLFOCUS && spacePending_) CancelSpace();
  RedrawNow();
}

void TFcCustomButton::WMThemeChanged(TMessage& m) {
  ForgetThemeData();
  Inherited(m);
  Invalidate();
}

void TFcCustomButton::WMEraseBkgnd(TWMDC& m) {
  if (!transparent_) {
    Inherited(m);
    return;
  }
  PaintParentOnDC(this, m.DC, false);
  m.Result = 1;
}

void TFcCustomButton::CMTextChanged(TMessage& m) {
  Inherited(m);
  RedrawNow();
}

void TFcCustomButton::PaintCaptionText(TCanvas* canvas, const RECT& rect, UINT format) {
  canvas->Brush()->SetStyle(bsClear);
  // A name of its own first, so that the control's font is selected anew.
  canvas->Font()->SetName("System");
  canvas->SetFont(Font());
  std::string text = Caption();
  HDC dc = canvas->Handle();
  RECT measured = rect;
  DrawTextA(dc, text.c_str(), -1, &measured, DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_EXPANDTABS | DT_CALCRECT);
  int h = measured.bottom - measured.top;
  RECT t = rect;
  switch (alignmentVertical_) {
    case avCenter:
      // Halved signed: a caption taller than the rectangle is centred on it and clipped.
      t.top = (rect.bottom + rect.top - h) / 2;
      t.bottom = t.top + h;
      break;
    case avBottom: t.top = rect.bottom - h - 1; break;
    case avTop: break;
  }
  if (UseRightToLeftAlignment()) format |= DT_RIGHT | DT_RTLREADING;
  bool right = (format & DT_RIGHT) != 0;
  auto draw = [&](TColor color, int dx, int dy) {
    canvas->Font()->SetColor(color);
    RECT r = t;
    OffsetRect(&r, dx, dy);
    DrawTextA(canvas->Handle(), text.c_str(), -1, &r, format);
  };
  if (Enabled()) {
    if (textStyle_ == tsRaised || textStyle_ == tsRecessed) {
      bool raised = textStyle_ == tsRaised;
      TColor upper = raised ? textHighlightColor_ : textShadowColor_;
      TColor lower = raised ? textShadowColor_ : textHighlightColor_;
      if (!raised || !lightTextStyle_) draw(lower, 1, 1);
      if (raised || !lightTextStyle_) draw(upper, -1, -1);
    } else if (textStyle_ == tsShadow) {
      draw(textShadowColor_, right ? 0 : textShadowDepth_, textShadowDepth_);
    }
    draw(Font()->Color(), right ? -textShadowDepth_ : 0, 0);
  } else {
    draw(clBtnHighlight, 1, 1);
    draw(clBtnShadow, 0, 0);
  }
  canvas->Brush()->SetStyle(bsSolid);
}

// ---- TFcButton -----------------------------------------------------------------------------

TMessageTable& TFcButton::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(CM_DIALOGKEY, Handler(&TFcButton::CMDialogKey));
    t->Add(CM_DIALOGCHAR, Handler(&TFcButton::CMDialogChar));
    t->Add(CM_FOCUSCHANGED, Handler(&TFcButton::CMFocusChanged));
    t->Add(CM_FCBUTTONPRESSED, Handler(&TFcButton::CMButtonPressed));
    return t;
  }();
  return *table;
}

TFcButton::TFcButton(TComponent* owner) : TFcCustomButton(owner) {
  SetBounds(Left(), Top(), 75, 25);
  SetColor(clBtnFace);
}

void TFcButton::SetAlignment(TAlignment value) {
  if (StoreChanged(alignment_, value)) Invalidate();
}

void TFcButton::SetDefault(bool value) {
  if (!StoreChanged(default_, value)) return;
  // Every button of the form works out again which of them answers Enter.
  TForm* form = GetParentForm(this);
  if (HandleAllocated() && form)
    form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(form->ActiveControl()));
}

void TFcButton::SetGroupIndex(int value) {
  groupIndex_ = value;
  TellGroup();
}

void TFcButton::SetDown(bool value) {
  if (groupIndex_ == 0) value = false;
  if (value == down_) return;
  // The last down button of a group without AllowAllUp stays down.
  if (down_ && groupIndex_ != 0 && !allowAllUp_) return;
  down_ = value;
  Invalidate();
  if (value) TellGroup();
}

void TFcButton::SetAllowAllUp(bool value) {
  allowAllUp_ = value;
  TellGroup();
}

void TFcButton::SetShowDownPattern(bool value) {
  if (StoreChanged(showDownPattern_, value)) Invalidate();
}

void TFcButton::SetShowFocusRect(bool value) {
  if (StoreChanged(showFocusRect_, value)) Invalidate();
}

void TFcButton::SetHotTrack(bool value) {
  TFcCustomButton::SetHotTrack(value);
  SetTransparent(value);
  Invalidate();
}

void TFcButton::TellGroup() {
  TWinControl* parent = Parent();
  if (!parent) return;
  std::vector<TControl*> controls;
  for (int i = 0; i < parent->ControlCount(); ++i) controls.push_back(parent->Controls(i));
  // Every control hears it, whatever the others answer.
  for (TControl* c : controls)
    if (parent->ContainsControl(c))
      c->Perform(CM_FCBUTTONPRESSED, static_cast<WPARAM>(groupIndex_), reinterpret_cast<LPARAM>(this));
}

void TFcButton::CMButtonPressed(TWMObject<TControl>& m) {
  auto* sender = dynamic_cast<TFcButton*>(m.Object);
  if (!sender || sender == this || static_cast<int>(m.WParam) != groupIndex_) return;
  if (sender->down_ && down_) {
    down_ = false;
    Invalidate();
  }
  allowAllUp_ = sender->allowAllUp_;
}

void TFcButton::Click() {
  if (TForm* form = GetParentForm(this)) form->SetModalResult(modalResult_);
  TFcCustomButton::Click();
}

void TFcButton::AdvanceState() {
  if (groupIndex_ != 0)
    SetDown(!down_);
  else
    RefreshState();
  TRestore<bool> inClick(inClickCall_, true);
  Click();
}

void TFcButton::RefreshState() { Invalidate(); }

void TFcButton::CreateWnd() {
  TFcCustomButton::CreateWnd();
  answersEnter_ = default_;
}

void TFcButton::KeyDown(WORD& key, TShiftState shift) {
  if (key == VK_SPACE && !shift.Contains(ssAlt)) SpaceDown();
  TFcCustomButton::KeyDown(key, shift);
}

void TFcButton::KeyUp(WORD& key, TShiftState shift) {
  if (key == VK_SPACE) SpaceUp();
  TFcCustomButton::KeyUp(key, shift);
}

void TFcButton::CMDialogKey(TWMKey& m) {
  bool enter = m.CharCode == VK_RETURN && answersEnter_;
  bool escape = m.CharCode == VK_ESCAPE && cancel_;
  if ((enter || escape) && KeyDataToShiftState(m.KeyData).Empty() && CanFocus()) {
    Click();
    m.Result = 1;
    return;
  }
  Inherited(m);
}

void TFcButton::CMDialogChar(TWMKey& m) {
  if (IsAccel(static_cast<char>(m.CharCode), Caption()) && CanFocus()) {
    Click();
    m.Result = 1;
    return;
  }
  Inherited(m);
}

void TFcButton::CMFocusChanged(TWMObject<TWinControl>& m) {
  TWinControl* focused = m.Object;
  bool answers = dynamic_cast<TFcButton*>(focused) ? focused == this : default_;
  if (StoreChanged(answersEnter_, answers)) Invalidate();
  Inherited(m);
}

RECT TFcButton::CaptionRect() {
  RECT r = Inset(ClientRect(), 5);
  if (!(HotTrack() || Themed()) && ShownDown()) OffsetRect(&r, 1, 1);
  return r;
}

void TFcButton::PaintCaption() {
  static const UINT kAlign[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  PaintCaptionText(Canvas(), CaptionRect(), kAlign[alignment_] | DT_WORDBREAK | DT_EXPANDTABS);
}

std::unique_ptr<TBitmap> TFcButton::MakeDownPattern() {
  return CheckeredPattern(Color(), Color() == clSilver ? clGray : clSilver);
}

void TFcButton::PaintHotTrackFace(RECT r) {
  TCanvas* canvas = Canvas();
  int l = r.left, t = r.top, rt = r.right, b = r.bottom;
  // The outer rounded frame: dark upper-left, light lower-right.
  TColor dark = DarkenColor(clBtnFace, 20), light = LightenColor(clBtnFace, 20);
  Line(canvas, dark, {{l, t + 2}, {l, b - 2}});
  Line(canvas, dark, {{l + 2, t}, {rt - 2, t}});
  Line(canvas, light, {{rt - 1, t + 2}, {rt - 1, b - 2}});
  Line(canvas, light, {{l + 2, b - 1}, {rt - 2, b - 1}});
  canvas->SetPixels(l + 1, t + 1, dark);
  canvas->SetPixels(rt - 2, t + 1, dark);
  canvas->SetPixels(l + 1, b - 2, dark);
  canvas->SetPixels(rt - 2, b - 2, light);
  r = Inset(r, 1);
  PaintRoundedFlatSides(canvas, r, Color() == clBtnFace ? cl3DDkShadow : DarkenColor(Color(), 150), sdAllSides);
  r = Inset(r, 1);
  bool grouped = groupIndex_ != 0;
  if ((grouped && down_) || PressedLook()) {
    Fill(canvas, r, DarkenColor(Color(), 10));
  } else if (MouseInside()) {
    TFcHotColors hot = HotTrackColors(HotTrackColor(), HotTrackColorType());
    r = Rings(canvas, r, hot.Light, hot.Dark);
    r = Rings(canvas, r, DarkenColor(hot.Light, 10), LightenColor(hot.Dark, 10));
    Fill(canvas, r, Color());
  } else if (grouped || !(answersEnter_ || Focused())) {
    l = r.left, t = r.top, rt = r.right, b = r.bottom;
    const BYTE lighter[] = {20, 15, 10};
    for (int i = 0; i < 3; ++i) Line(canvas, LightenColor(Color(), lighter[i]), {{l, t + i}, {rt, t + i}});
    Line(canvas, DarkenColor(Color(), 10), {{l, b - 3}, {rt - 2, b - 3}, {rt - 2, t + 1}});
    Line(canvas, DarkenColor(Color(), 20), {{l, b - 2}, {rt - 1, b - 2}, {rt - 1, t}});
    Line(canvas, DarkenColor(Color(), 30), {{l, b - 1}, {rt, b - 1}});
    Fill(canvas, RECT{l, t + 3, rt - 2, b - 3}, Color());
  } else {
    // The button that answers Enter, at rest: rings in a pale shade of the highlight's hue.
    TColor base = Hsl240ToRgb(HueOfColor(HighlightColor()), 220, 220);
    TColor baseDark = DarkenColor(base, 30);
    r = Rings(canvas, r, base, baseDark);
    r = Rings(canvas, r, DarkenColor(base, 10), LightenColor(baseDark, 10));
    Fill(canvas, r, Color());
  }
}

void TFcButton::Paint() {
  TCanvas* canvas = Canvas();
  RECT client = ClientRect();
  bool grouped = groupIndex_ != 0;
  bool shownDown = ShownDown();
  RECT focus = Inset(client, HotTrack() || Themed() ? 3 : 4);
  if (grouped && shownDown) OffsetRect(&focus, 1, 1);
  RECT face = client;  // what lies inside the frame

  if (Themed()) {
    int state = !Enabled()                                                    ? PBS_DISABLED
                : shownDown                                                   ? PBS_PRESSED
                : MouseInside()                                               ? PBS_HOT
                : !grouped && (answersEnter_ || Focused()) && !PressedLook() ? PBS_DEFAULTED
                                                                              : PBS_NORMAL;
    HTHEME theme = CachedThemeData("BUTTON");
    // Where the push button's face lets it through, the parent's background shows.
    if (!theme || Themes::IsThemeBackgroundPartiallyTransparent(theme, BP_PUSHBUTTON, state))
      Themes::DrawThemeParentBackground(Handle(), canvas->Handle(), &client);
    if (theme) {
      Themes::DrawThemeBackground(theme, canvas->Handle(), BP_PUSHBUTTON, state, client);
      Themes::GetThemeBackgroundContentRect(theme, canvas->Handle(), BP_PUSHBUTTON, state, client, face);
    }
  } else if (HotTrack() && Enabled()) {
    PaintHotTrackFace(client);
    face = Inset(client, 2);
  } else if (HotTrack()) {
    RECT r = Inset(client, 1);
    PaintRoundedFlatSides(canvas, r, Color() == clBtnFace ? LightenColor(clBtnShadow, 30) : DarkenColor(Color(), 80),
                          sdAllSides);
    face = Inset(r, 1);
    Fill(canvas, face, Color());
  } else {
    RECT r = client;
    if (!grouped && (((answersEnter_ || Focused()) && !PressedLook()) || inClickCall_))
      r = Rings(canvas, r, clWindowFrame, clWindowFrame);
    if (Color() == clBtnFace) {
      if (grouped)
        r = PaintStyledRect(canvas, r, shownDown ? fsLowered : fsButtonUp);
      else
        r = PaintButtonRect(canvas, r, PressedLook());
    } else if (!grouped) {
      r = PaintColorButtonRect(canvas, r, Color(), PressedLook());
    } else if (shownDown) {
      r = PaintColorStyledRect(canvas, r, Color(), fsLowered);
    } else {
      r = PaintColorButtonRect(canvas, r, Color(), false);
    }
    face = r;
    if (!Transparent()) Fill(canvas, face, Color());
  }

  if (grouped && down_ && showDownPattern_) {
    std::unique_ptr<TBitmap> pattern = MakeDownPattern();
    canvas->Brush()->SetBitmap(pattern.get());
    canvas->FillRect(face);
    canvas->Brush()->SetBitmap(nullptr);
  }

  canvas->SetFont(Font());
  canvas->Brush()->SetColor(Color());
  PaintCaption();
  if (Focused() && showFocusRect_) PaintDottedFocusRect(canvas, focus);
}

// ---- Windowless buttons --------------------------------------------------------------------

void TFcHoverButton::SetFlat(bool value) {
  if (StoreChanged(flat_, value)) Repaint();
}

bool TFcHoverButton::HoverRepaints() const { return flat_ || ThemeServicesEnabled(); }

void TFcHoverButton::MouseEnter() {
  if (ComponentState().Contains(csDesigning)) return;
  MouseEntered();
}

void TFcHoverButton::MouseLeave() { MouseLeft(); }

void TFcHoverButton::MouseEntered() {
  mouseInside_ = true;
  if (OnMouseEnter) OnMouseEnter(this);
  if (HoverRepaints()) Invalidate();
}

void TFcHoverButton::MouseLeft() {
  mouseInside_ = false;
  if (OnMouseLeave) OnMouseLeave(this);
  if (HoverRepaints()) Invalidate();
}

void TFcHoverButton::SyncHover() {
  if (!HoverRepaints() || !Enabled()) return;
  // Set to the opposite first, so that the notification takes.
  if (IsUnderCursor(this)) {
    mouseInside_ = false;
    Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(this));
  } else {
    mouseInside_ = true;
    Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(this));
  }
}

// ---- Registration --------------------------------------------------------------------------

namespace {

const TEnumInfo AlignmentInfo{"TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}};

}  // namespace

void RegisterFcButton() {
  using CB = TFcCustomButton;
  RegisterClassInfo<CB, TCustomControl>("TFcCustomButton")
      .String("Caption", &CB::Caption, &CB::SetCaption)
      .Boolean("TabStop", &CB::TabStop, &CB::SetTabStop, true)
      .Enum("AlignmentVertical", AlignmentVerticalInfo, &CB::AlignmentVertical, &CB::SetAlignmentVertical, avCenter)
      .Boolean("HotTrack", &CB::HotTrack, &CB::SetHotTrack, false)
      .Color("HighlightColor", &CB::HighlightColor, &CB::SetHighlightColor, clHighlight)
      .Color("HotTrackColor", &CB::HotTrackColor, &CB::SetHotTrackColor, clHighlight)
      .Enum("HotTrackColorType", HotTrackColorTypeInfo, &CB::HotTrackColorType, &CB::SetHotTrackColorType,
            htctComplement)
      .Boolean("LightTextStyle", &CB::LightTextStyle, &CB::SetLightTextStyle, false)
      .Enum("TextStyle", TextStyleInfo, &CB::TextStyle, &CB::SetTextStyle, tsNormal)
      .Color("TextHighlightColor", &CB::TextHighlightColor, &CB::SetTextHighlightColor, clBtnHighlight)
      .Color("TextShadowColor", &CB::TextShadowColor, &CB::SetTextShadowColor, clBtnShadow)
      .Integer("TextShadowDepth", &CB::TextShadowDepth, &CB::SetTextShadowDepth, 2)
      .Boolean("ThemeAware", &CB::ThemeAware, &CB::SetThemeAware, true)
      .Boolean("Transparent", &CB::Transparent, &CB::SetTransparent, false);

  using B = TFcButton;
  RegisterClassInfo<B, CB>("TFcButton")
      .Color("Color", &B::Color, &B::SetColor, clBtnFace)
      .StoredIf([](B* b) { return !b->ParentColor(); })
      .Enum("Alignment", AlignmentInfo, &B::Alignment, &B::SetAlignment, taCenter)
      .Boolean("Default", &B::Default, &B::SetDefault, false)
      .Boolean("Cancel", &B::Cancel, &B::SetCancel, false)
      .Integer("ModalResult", &B::ModalResult, &B::SetModalResult, mrNone)
      .Integer("GroupIndex", &B::GroupIndex, &B::SetGroupIndex, 0)
      .Boolean("Down", &B::Down, &B::SetDown, false)
      .Boolean("AllowAllUp", &B::AllowAllUp, &B::SetAllowAllUp, false)
      .Boolean("ShowDownPattern", &B::ShowDownPattern, &B::SetShowDownPattern, true)
      .Boolean("ShowFocusRect", &B::ShowFocusRect, &B::SetShowFocusRect, true)
      .Boolean("DropDownOnEnter", &B::DropDownOnEnter, &B::SetDropDownOnEnter, true)
      // Older layouts' name of HotTrack.
      .Extra("FrameFlat", tkBoolean, [](B* b, const TValue& v) { b->SetHotTrack(v.AsBoolean()); });

  // A stock kind leaves out what the kind sets, and the caption while it is the kind's.
  using BB = TFcBitBtn;
  auto custom = [](BB* b) { return b->Kind() == bkCustom; };
  RegisterClassInfo<BB, B>("TFcBitBtn")
      .String("Caption", &BB::Caption, &BB::SetCaption)
      .StoredIf([](BB* b) { return b->Kind() == bkCustom || b->Caption() != KindCaption(b->Kind()); })
      .Boolean("Default", &BB::Default, &BB::SetDefault, false)
      .StoredIf(custom)
      .Boolean("Cancel", &BB::Cancel, &BB::SetCancel, false)
      .StoredIf(custom)
      .Integer("ModalResult", &BB::ModalResult, &BB::SetModalResult, mrNone)
      .StoredIf(custom)
      .Enum("Kind", BitBtnKindInfo, &BB::Kind, &BB::SetKind, bkCustom)
      .Integer("NumGlyphs", &BB::NumGlyphs, &BB::SetNumGlyphs, 1)
      .StoredIf(custom)
      .Enum("Layout", ButtonLayoutInfo, &BB::Layout, &BB::SetLayout, blGlyphLeft)
      .Integer("Margin", &BB::Margin, &BB::SetMargin, 2)
      .Integer("Spacing", &BB::Spacing, &BB::SetSpacing, 4)
      .Component("Images", &BB::Images, &BB::SetImages)
      .Integer("ImageIndex", &BB::ImageIndex, &BB::SetImageIndex, -1)
      .Integer("DisabledIndex", &BB::DisabledIndex, &BB::SetDisabledIndex, -1)
      // The glyph is named by its program resource; one set otherwise is not written.
      .Extra(
          "Glyph", tkString, [](BB* b, const TValue& v) { b->LoadGlyphResource(v.AsString()); },
          [](BB* b) -> std::optional<TValue> {
            if (b->Kind() != bkCustom || b->GlyphResource().empty()) return std::nullopt;
            return TValue::String(b->GlyphResource());
          });

  using T = TFcToolButton;
  RegisterClassInfo<T, TGraphicControl>("TFcToolButton")
      .String("Caption", &T::Caption, &T::SetCaption)
      .Color("Color", &T::Color, &T::SetColor, clBtnFace)
      .StoredIf([](T* t) { return !t->ParentColor(); })
      .Component("Images", &T::Images, &T::SetImages)
      .Integer("ImageIndex", &T::ImageIndex, &T::SetImageIndex, -1)
      .Integer("HotIndex", &T::HotIndex, &T::SetHotIndex, -1)
      .Integer("DownIndex", &T::DownIndex, &T::SetDownIndex, -1)
      .Integer("DisabledIndex", &T::DisabledIndex, &T::SetDisabledIndex, -1)
      .Boolean("Flat", &T::Flat, &T::SetFlat, true)
      .Boolean("Transparent", &T::Transparent, &T::SetTransparent, true)
      .Enum("ToolStyle", ToolStyleInfo, &T::ToolStyle, &T::SetToolStyle, tsButton)
      .Integer("GroupIndex", &T::GroupIndex, &T::SetGroupIndex, 0)
      .Boolean("Down", &T::Down, &T::SetDown, false)
      .StoredIf(&T::IsDownStored)
      .Boolean("AllowAllUp", &T::AllowAllUp, &T::SetAllowAllUp, false)
      .Component("DropDownMenu", &T::DropDownMenu, &T::SetDropDownMenu)
      .Event("OnDropDown", &T::OnDropDown)
      .Boolean("ShowCaption", &T::ShowCaption, &T::SetShowCaption, false)
      .StoredIf([](T* t) { return !t->UseToolbarShowCaption(); })
      .Enum("Layout", ButtonLayoutInfo, &T::Layout, &T::SetLayout, blGlyphLeft)
      .Boolean("UseToolbarButtonSize", &T::UseToolbarButtonSize, &T::SetUseToolbarButtonSize, true)
      .Boolean("UseToolbarButtonLayout", &T::UseToolbarButtonLayout, &T::SetUseToolbarButtonLayout, true)
      .Boolean("UseToolbarShowCaption", &T::UseToolbarShowCaption, &T::SetUseToolbarShowCaption, true);

  using C = TFcControlButton;
  RegisterClassInfo<C, TGraphicControl>("TFcControlButton")
      .Color("Color", &C::Color, &C::SetColor, clBtnFace)
      .StoredIf([](C* c) { return !c->ParentColor(); })
      .Enum("Style", ControlButtonStyleInfo, &C::Style, &C::SetStyle, cbsNone)
      .Boolean("Flat", &C::Flat, &C::SetFlat, false)
      .Integer("NumGlyphs", &C::NumGlyphs, &C::SetNumGlyphs, 1)
      .Boolean("RepeatClicks", &C::RepeatClicks, &C::SetRepeatClicks, false)
      .Integer("InitialDelay", &C::InitialDelay, &C::SetInitialDelay, 400)
      .Integer("Delay", &C::Delay, &C::SetDelay, 100);
}
