// TFcControlButton: the small arrow and drop-down button other controls embed, with its
// repeated clicks (units of FcButton.h).
#include "controls/FcButton.h"
#include "platform/Guards.h"
#include "platform/Themes.h"

const TEnumInfo ControlButtonStyleInfo{"TFcControlButtonStyle",
                                       {"cbsNone", "cbsLeft", "cbsUp", "cbsRight", "cbsDown", "cbsDropDown"}};

namespace {

void FillWith(TCanvas* canvas, const RECT& r, TColor color) {
  canvas->Brush()->SetColor(color);
  canvas->FillRect(r);
}

RECT Inset(RECT r, int by) {
  InflateRect(&r, -by, -by);
  return r;
}

// One visual-style element of `themeClass` drawn into `rect`.
void DrawElement(TCanvas* canvas, const char* themeClass, int part, int state, const RECT& rect) {
  if (HTHEME theme = CachedThemeData(themeClass)) Themes::DrawThemeBackground(theme, canvas->Handle(), part, state, rect);
}

}  // namespace

TFcControlButton::TFcControlButton(TComponent* owner)
    : TFcHoverButton(owner, false), glyph_(std::make_unique<TBitmap>()) {
  SetControlStyle({csCaptureMouse});
  SetBounds(Left(), Top(), 17, 21);
  SetColor(clBtnFace);
  glyph_->OnChange = [this](TObject*) {
    SetNumGlyphs(NumGlyphsOfShape(glyph_.get(), numGlyphs_));
    Invalidate();
  };
}

TFcControlButton::~TFcControlButton() {
  Destroying();
  glyph_->OnChange = nullptr;
  delete repeatTimer_;
}

void TFcControlButton::SetStyle(TFcControlButtonStyle value) {
  if (StoreChanged(style_, value)) Invalidate();
}

void TFcControlButton::SetGlyph(TBitmap* value) { glyph_->Assign(value); }

void TFcControlButton::SetNumGlyphs(TNumGlyphs value) {
  if (StoreChanged(numGlyphs_, ClampNumGlyphs(value))) Invalidate();
}

// ---- Mouse ---------------------------------------------------------------------------------

void TFcControlButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TFcHoverButton::MouseDown(button, shift, x, y);
  if (button == mbLeft && Enabled()) {
    if (!down_) {
      down_ = true;
      Invalidate();
    }
    tracking_ = true;
  }
  if (repeatClicks_) {
    if (!repeatTimer_) {
      repeatTimer_ = new TTimer(this);
      repeatTimer_->OnTimer = [this](TObject*) { RepeatTimer(); };
    }
    repeatTimer_->SetInterval(initialDelay_);
    repeatTimer_->SetEnabled(true);
  }
}

void TFcControlButton::RepeatTimer() {
  repeatTimer_->SetInterval(delay_);
  // Only while the button shows down and still holds the mouse (the pointer may have left).
  if (!down_ || !MouseCapture()) return;
  bool clicked = false;
  TScopeExit stopOnFailure([this, &clicked]() noexcept {
    if (!clicked) repeatTimer_->SetEnabled(false);
  });
  Click();
  clicked = true;
}

void TFcControlButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TFcHoverButton::MouseUp(button, shift, x, y);
  if (repeatTimer_) repeatTimer_->SetEnabled(false);
  if (button != mbLeft || !tracking_) return;
  tracking_ = false;
  down_ = false;
  SetMouseInside(false);
  Repaint();
  RECT client{0, 0, Width(), Height()};
  if (PtInRect(&client, POINT{x, y})) Click();
  SyncHover();
}

// ---- Painting ------------------------------------------------------------------------------

bool TFcControlButton::Active() const {
  return down_ || (MouseInside() && Enabled()) || ComponentState().Contains(csDesigning);
}

RECT TFcControlButton::PaintClassicFace(RECT rect) {
  TCanvas* canvas = Canvas();
  if (Flat()) {
    if (Active()) rect = PaintStyledRect(canvas, rect, down_ ? fsStatus : fsPopup);
    FillWith(canvas, rect, Color());
    return rect;
  }
  rect = down_ ? PaintBevelRings(canvas, rect, clBtnShadow, sdAllSides, 1, clBtnShadow)
               : PaintStyledRect(canvas, rect, fsButtonUp);
  FillWith(canvas, rect, clBtnFace);
  return rect;
}

SIZE TFcControlButton::GlyphSize() { return SIZE{glyph_->Width() / numGlyphs_, glyph_->Height()}; }

void TFcControlButton::DrawGlyph(const RECT& rect) { DrawGlyphCell(Canvas(), glyph_.get(), numGlyphs_, Enabled(), rect); }

void TFcControlButton::DrawFace(RECT rect) {
  TCanvas* canvas = Canvas();
  bool themed = ThemeServicesEnabled();
  if (!themed) {
    rect = PaintClassicFace(rect);
  } else if (Flat() && !Active()) {
    FillWith(canvas, rect, Color());
    rect = Inset(rect, 2);
  } else {
    // The scroll bar's thumb, drawn larger off the canvas so that its outer edge falls
    // outside the button; the button shows its middle.
    int state = down_ ? SCRBS_PRESSED : Active() ? SCRBS_HOT : Enabled() ? SCRBS_NORMAL : SCRBS_DISABLED;
    int w = rect.right - rect.left, h = rect.bottom - rect.top;
    TBitmap thumb(w + 3, h + 4);
    FillWith(thumb.Canvas(), RECT{0, 0, w + 3, h + 4}, Color());
    DrawElement(thumb.Canvas(), "SCROLLBAR", SBP_THUMBBTNHORZ, state, RECT{0, 0, w + 3, h + 4});
    canvas->CopyRect(rect, thumb.Canvas(), RECT{1, 2, 1 + w, 2 + h});
    rect = Inset(rect, 2);
  }
  if (glyph_->Empty()) return;
  SIZE size = GlyphSize();
  RECT cell = RectCentredBounds(Inset(rect, 1), size.cx, size.cy);
  if (down_) OffsetRect(&cell, 1, themed ? 0 : 1);
  DrawGlyph(cell);
}

void TFcControlButton::DrawArrowButton(RECT rect) {
  TCanvas* canvas = Canvas();
  int direction = style_ == cbsLeft ? adLeft : style_ == cbsUp ? adUp : style_ == cbsRight ? adRight : adDown;
  if (!ThemeServicesEnabled()) {
    rect = PaintClassicFace(rect);
    PaintDirectionArrow(canvas, rect, false, Enabled(), down_, direction);
    return;
  }
  if (Flat() && !Active()) {
    FillWith(canvas, rect, Color());
    PaintDirectionArrow(canvas, rect, true, Enabled(), down_, direction);
    return;
  }
  int part = style_ == cbsLeft ? SPNP_DOWNHORZ : style_ == cbsRight ? SPNP_UPHORZ : style_ == cbsUp ? SPNP_UP : SPNP_DOWN;
  // The four spin parts number their states alike: normal, hot, pressed, disabled.
  int state = down_ ? UPS_PRESSED : Active() ? UPS_HOT : Enabled() ? UPS_NORMAL : UPS_DISABLED;
  DrawElement(canvas, "SPIN", part, state, rect);
}

void TFcControlButton::PaintDropDownFace(RECT rect) {
  TCanvas* canvas = Canvas();
  if (!ThemeServicesEnabled()) {
    rect = PaintClassicFace(rect);
    PaintDropDownArrow(canvas, rect, false, Enabled(), down_);
    return;
  }
  InflateRect(&rect, 1, 1);
  if (Flat() && !Active()) {
    FillWith(canvas, rect, Color());
    PaintDropDownArrow(canvas, rect, true, Enabled(), down_);
    return;
  }
  int state = down_ ? CBXS_PRESSED : Active() ? CBXS_HOT : Enabled() ? CBXS_NORMAL : CBXS_DISABLED;
  DrawElement(canvas, "COMBOBOX", CP_DROPDOWNBUTTON, state, rect);
}

void TFcControlButton::Paint() {
  RECT client{0, 0, Width(), Height()};
  switch (style_) {
    case cbsNone: DrawFace(client); break;
    case cbsDropDown: PaintDropDownFace(client); break;
    default: DrawArrowButton(client); break;
  }
}
