#include "controls/FcStatus.h"

#include <algorithm>

#include "controls/FcButton.h"
#include "platform/Guards.h"
#include "platform/Themes.h"

// ---- TFcCustomStatusPane -----------------------------------------------------------------------

TMessageTable& TFcCustomStatusPane::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(CM_TEXTCHANGED, Handler(&TFcCustomStatusPane::CMTextChanged));
    t->Add(CM_FONTCHANGED, Handler(&TFcCustomStatusPane::CMFontChanged));
    t->Add(CM_COLORCHANGED, Handler(&TFcCustomStatusPane::CMColorChanged));
    t->Add(CM_PARENTCOLORCHANGED, Handler(&TFcCustomStatusPane::CMParentColorChanged));
    t->Add(CM_HITTEST, Handler(&TFcCustomStatusPane::CMHitTest));
    t->Add(CM_BLINKQUERY, Handler(&TFcCustomStatusPane::CMBlinkQuery));
    t->Add(CM_BLINKPHASE, Handler(&TFcCustomStatusPane::CMBlinkPhase));
    return t;
  }();
  return *table;
}

TFcCustomStatusPane::TFcCustomStatusPane(TComponent* owner) : TGraphicControl(owner) {
  SetBounds(Left(), Top(), 100, 20);
  SetParentColor(true);
  fillColor_ = Color();
  TFcBlinkingControlsList::Register(this);
}

TFcCustomStatusPane::~TFcCustomStatusPane() {
  if (frameController_) frameController_->UnregisterFramedControl(this);
  TFcBlinkingControlsList::Unregister(this);
}

void TFcCustomStatusPane::SetBorderWidth(int value) {
  if (StoreChanged(borderWidth_, std::max(0, value))) Invalidate();
}

void TFcCustomStatusPane::SetFillColor(TColor value) {
  if (value == fillColor_) return;
  fillColor_ = value;
  parentFillColor_ = false;
  Invalidate();
}

void TFcCustomStatusPane::SetParentFillColor(bool value) {
  if (!StoreChanged(parentFillColor_, value)) return;
  if (Parent() && !ComponentState().Contains(csReading)) Perform(CM_PARENTCOLORCHANGED);
}

void TFcCustomStatusPane::SetFlatColor(TColor value) {
  if (StoreChanged(flatColor_, value)) Invalidate();
}

void TFcCustomStatusPane::SetFlatColorAdjustment(int value) {
  if (StoreChanged(flatColorAdjustment_, value)) Invalidate();
}

void TFcCustomStatusPane::SetFrameStyle(TFrameStyle value) {
  if (StoreChanged(frameStyle_, value)) Invalidate();
}

void TFcCustomStatusPane::SetAlignment(TAlignment value) {
  if (StoreChanged(alignment_, value)) Invalidate();
}

void TFcCustomStatusPane::SetBlinkColor(TColor value) {
  if (StoreChanged(blinkColor_, value)) Invalidate();
}

void TFcCustomStatusPane::SetFrameController(TFcFrameController* value) {
  ChangeFrameController(this, frameController_, value);
}

void TFcCustomStatusPane::SetAutoSize(bool value) {
  autoSize_ = value;
  AdjustSize();
}

void TFcCustomStatusPane::SetBlinking(bool value) {
  if (value == blinking_) return;
  blinking_ = value;
  if (value) return;
  textColor_ = normalTextColor_;
  Refresh();
}

WORD TFcCustomStatusPane::BlinkIntervalOff() const {
  TFcBlinkingControlsList* list = TFcBlinkingControlsList::Instance();
  return list ? list->IntervalOff() : 500;
}

void TFcCustomStatusPane::SetBlinkIntervalOff(WORD value) {
  if (TFcBlinkingControlsList* list = TFcBlinkingControlsList::Instance()) list->SetIntervalOff(value);
}

WORD TFcCustomStatusPane::BlinkIntervalOn() const {
  TFcBlinkingControlsList* list = TFcBlinkingControlsList::Instance();
  return list ? list->IntervalOn() : 500;
}

void TFcCustomStatusPane::SetBlinkIntervalOn(WORD value) {
  if (TFcBlinkingControlsList* list = TFcBlinkingControlsList::Instance()) list->SetIntervalOn(value);
}

void TFcCustomStatusPane::SetCaptionOffset(int value) {
  if (value == captionOffset_) return;
  captionOffset_ = value;
  Invalidate();
  AdjustSize();
}

void TFcCustomStatusPane::SetDefaultWidth(int value) {
  if (StoreChanged(defaultWidth_, value)) AdjustSize();
}

void TFcCustomStatusPane::Loaded() {
  TGraphicControl::Loaded();
  normalTextColor_ = Font()->Color();
  textColor_ = normalTextColor_;
  AdjustSize();
}

void TFcCustomStatusPane::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == opRemove && component == frameController_) frameController_ = nullptr;
}

void TFcCustomStatusPane::MouseEnter() {
  if (!ComponentState().Contains(csDesigning)) TGraphicControl::MouseEnter();
}

void TFcCustomStatusPane::UpdateFrameSettings() {
  if (!frameController_ || !frameController_->FrameVisible()) return;
  SetFrameStyle(frameController_->FrameStyle());
  flatColor_ = frameController_->FrameColor();
  flatColorAdjustment_ = 0;
  SetFillColor(frameController_->Color());
  SetParentColor(frameController_->ParentColor());
  Invalidate();
}

bool TFcCustomStatusPane::ExecuteAction(TBasicAction* action) {
  if (autoHint_) {
    if (auto* hint = dynamic_cast<THintAction*>(action)) {
      SetCaption(hint->Hint());
      return true;
    }
  }
  return TGraphicControl::ExecuteAction(action);
}

void TFcCustomStatusPane::BlinkStateChanged(bool on) {
  textColor_ = on ? blinkColor_ : normalTextColor_;
  Refresh();
}

int TFcCustomStatusPane::GetAutoSizeWidth() {
  std::string text = Caption();
  if (text.empty()) return defaultWidth_;
  text = text.substr(0, 255);
  TMeasureDC screen;
  TSelectObject select(screen, Font()->Handle());
  RECT r = ClientRect();
  DrawTextA(screen, text.c_str(), -1, &r, DT_CALCRECT | DT_EXPANDTABS | DT_NOPREFIX);
  return 2 * borderWidth_ + (r.right - r.left) + captionOffset_ + 6;
}

void TFcCustomStatusPane::AdjustSize() {
  if (ComponentState().Contains(csReading) || !autoSize_) return;
  SetWidth(GetAutoSizeWidth());
}

RECT TFcCustomStatusPane::GetTextRect() {
  int inset = borderWidth_;
  switch (frameStyle_) {
    case fsNone: break;
    case fsFlat:
    case fsStatus:
    case fsPopup: inset += 1; break;
    default: inset += 2; break;
  }
  RECT r = ClientRect();
  InflateRect(&r, -inset, -inset);
  return r;
}

bool TFcCustomStatusPane::Themed() const {
  auto* bar = dynamic_cast<TFcStatusBar*>(Parent());
  return bar && bar->Themed();
}

void TFcCustomStatusPane::Paint() {
  DrawFrame();
  DrawCaption(Caption());
}

void TFcCustomStatusPane::DrawFrame() {
  TCanvas* canvas = Canvas();
  RECT r = ClientRect();
  if (Themed()) {
    HTHEME theme = CachedThemeData("STATUS");
    Themes::DrawThemeBackground(theme, canvas->Handle(), SP_PANE, 0, r);
    return;
  }
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(r);
  canvas->Pen()->SetWidth(1);
  InflateRect(&r, -borderWidth_, -borderWidth_);
  if (frameStyle_ == fsFlat)
    PaintCornerlessRect(canvas, r, ShiftLightness(flatColor_, flatColorAdjustment_));
  else
    PaintStyledRect(canvas, r, frameStyle_);
}

void TFcCustomStatusPane::DrawCaption(const std::string& text) {
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(Font());
  canvas->Font()->SetColor(textColor_);
  const RECT r = GetTextRect();
  if (Themed()) {
    // The bar's own background under the text, so that the pane's text sits on the bar.
    TWinControl* bar = Parent();
    HTHEME theme = CachedThemeData("STATUS");
    RECT whole{-Left(), -Top(), bar->Width() - Left(), bar->Height() - Top()};
    Themes::DrawThemeBackground(theme, canvas->Handle(), 0, 0, whole, &r);
    canvas->Brush()->SetStyle(bsClear);
  } else {
    canvas->Brush()->SetColor(fillColor_);
  }
  const int lineHeight = canvas->TextHeight("Pp");
  const int room = r.right - r.left - 2 * (captionOffset_ + 1);
  if (canvas->TextWidth(text) > room && r.bottom - r.top >= 2 * lineHeight)
    DrawWrappedCaption(text, r);
  else
    DrawCaptionLine(text, r, r.top + (r.bottom - r.top - lineHeight) / 2);
  canvas->Brush()->SetStyle(bsSolid);
}

void TFcCustomStatusPane::DrawCaptionLine(const std::string& text, const RECT& r, int y) {
  TCanvas* canvas = Canvas();
  HDC dc = canvas->Handle();
  int x = r.left + (r.right - r.left) / 2;
  UINT align = TA_CENTER;
  if (alignment_ == taLeftJustify) {
    align = TA_LEFT;
    x = r.left + captionOffset_ + 1;
  } else if (alignment_ == taRightJustify) {
    align = TA_RIGHT;
    x = r.right - captionOffset_ - 1;
  }
  UINT previousAlign = SetTextAlign(dc, align);
  TScopeExit restoreAlign([dc, previousAlign] { SetTextAlign(dc, previousAlign); });
  if (!Enabled()) {
    canvas->Font()->SetColor(clBtnHighlight);
    canvas->TextRect(r, x + 1, y + 1, text);
    canvas->Font()->SetColor(clBtnShadow);
    canvas->Brush()->SetStyle(bsClear);
  }
  canvas->TextRect(r, x, y, text);
}

// A text too long for one line, on a pane tall enough for more: broken between words into
// lines kept with the pane's alignment, the block centred in the height (what does not fit is
// cut at the text rectangle).
void TFcCustomStatusPane::DrawWrappedCaption(const std::string& text, const RECT& r) {
  TCanvas* canvas = Canvas();
  if (canvas->Brush()->Style() != bsClear) canvas->FillRect(r);
  canvas->Brush()->SetStyle(bsClear);
  UINT format = DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_EXPANDTABS;
  format |= alignment_ == taLeftJustify ? DT_LEFT : alignment_ == taRightJustify ? DT_RIGHT : DT_CENTER;
  RECT box{r.left + captionOffset_ + 1, r.top, r.right - captionOffset_ - 1, r.bottom};
  RECT needed = box;
  DrawTextA(canvas->Handle(), text.c_str(), -1, &needed, format | DT_CALCRECT);
  box.top += std::max<LONG>(0, (r.bottom - r.top - (needed.bottom - needed.top)) / 2);
  auto draw = [&](int shift) {
    RECT at{box.left + shift, box.top + shift, std::min(box.right + shift, r.right), r.bottom};
    DrawTextA(canvas->Handle(), text.c_str(), -1, &at, format);
  };
  if (!Enabled()) {
    canvas->Font()->SetColor(clBtnHighlight);
    draw(1);
    canvas->Font()->SetColor(clBtnShadow);
  }
  draw(0);
}

bool TFcCustomStatusPane::IsAtStatusBarRightEdge(const RECT& rect) {
  auto* bar = dynamic_cast<TFcStatusBar*>(Parent());
  if (!bar) return false;
  POINT corner = ClientToScreen(POINT{rect.right, rect.bottom});
  RECT client = bar->ClientRect();
  POINT barCorner = bar->ClientToScreen(POINT{client.right, client.bottom});
  return corner.x >= barCorner.x;
}

void TFcCustomStatusPane::CMTextChanged(TMessage&) {
  Invalidate();
  AdjustSize();
}

void TFcCustomStatusPane::CMFontChanged(TMessage& m) {
  Inherited(m);
  if (ComponentState().Contains(csLoading)) return;
  normalTextColor_ = Font()->Color();
  if (!blinking_) textColor_ = normalTextColor_;
  AdjustSize();
}

void TFcCustomStatusPane::CMColorChanged(TMessage& m) {
  Inherited(m);
  if (parentFillColor_) fillColor_ = Color();
  Invalidate();
}

void TFcCustomStatusPane::CMParentColorChanged(TMessage& m) {
  Inherited(m);
  if (parentFillColor_) fillColor_ = Color();
  Invalidate();
}

void TFcCustomStatusPane::CMHitTest(TWMMouse& m) {
  Inherited(m);
  RECT client = ClientRect();
  if (!IsAtStatusBarRightEdge(client)) return;
  auto* bar = static_cast<TFcStatusBar*>(Parent());
  // The strip over the bar's size grip belongs to the bar, so that the grip works through a
  // pane at the bar's right edge.
  int stripRight = bar->ClientRect().right - Left();
  RECT strip{stripRight - 12, 0, stripRight, Height()};
  POINT p = m.Pos;
  if (PtInRect(&strip, p) && bar->SizeGripApplies()) m.Result = 0;
}

void TFcCustomStatusPane::CMBlinkQuery(TMessage& m) { m.Result = blinking_ ? 1 : 0; }

void TFcCustomStatusPane::CMBlinkPhase(TMessage& m) {
  if (blinking_) BlinkStateChanged(m.WParam != 0);
}

// ---- Registration ------------------------------------------------------------------------------

void RegisterFcStatus() {
  using C = TFcCustomStatusPane;
  RegisterClassInfo<C, TGraphicControl>("TFcCustomStatusPane")
      .Integer("BorderWidth", &C::BorderWidth, &C::SetBorderWidth, 1)
      .Color("FillColor", &C::FillColor, &C::SetFillColor, clBtnFace)
      .StoredIf([](C* c) { return !c->ParentFillColor(); })
      .Boolean("ParentFillColor", &C::ParentFillColor, &C::SetParentFillColor, true)
      .Color("FlatColor", &C::FlatColor, &C::SetFlatColor, clBtnShadow)
      .Integer("FlatColorAdjustment", &C::FlatColorAdjustment, &C::SetFlatColorAdjustment, 30)
      .Enum("FrameStyle", FrameStyleInfo, &C::FrameStyle, &C::SetFrameStyle, fsFlat)
      .Component("FrameController", &C::FrameController, &C::SetFrameController)
      .Boolean("ParentColor", &C::ParentColor, &C::SetParentColor, true);
  using P = TFcStatusPane;
  RegisterClassInfo<P, C>("TFcStatusPane")
      .Enum("Alignment", AlignmentInfo, &P::Alignment, &P::SetAlignment, taLeftJustify)
      .Boolean("AutoHint", &P::AutoHint, &P::SetAutoHint, false)
      .Boolean("AutoSize", &P::AutoSize, &P::SetAutoSize, false)
      .Boolean("Blinking", &P::Blinking, &P::SetBlinking, false)
      .Color("BlinkColor", &P::BlinkColor, &P::SetBlinkColor, clHighlight)
      .Integer("BlinkIntervalOff", &P::BlinkIntervalOff, &P::SetBlinkIntervalOff, 500)
      .Integer("BlinkIntervalOn", &P::BlinkIntervalOn, &P::SetBlinkIntervalOn, 500)
      .String("Caption", &P::Caption, &P::SetCaption)
      .Integer("CaptionOffset", &P::CaptionOffset, &P::SetCaptionOffset, 2)
      .Integer("DefaultWidth", &P::DefaultWidth, &P::SetDefaultWidth, 40);
}
