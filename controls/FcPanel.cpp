#include "controls/FcPanel.h"

#include <algorithm>
#include <cmath>

#include "controls/FcButton.h"
#include "platform/Forms.h"
#include "platform/Guards.h"
#include "platform/Themes.h"

const TEnumInfo GridKindInfo{"TFcGridKind", {"gkDots", "gkDottedLines", "gkSolidLines"}};
const TEnumInfo GroupBoxStyleInfo{"TFcGroupBoxStyle", {"gsStandard", "gsCustom", "gsTopLine", "gsFlat"}};
const TEnumInfo AlignmentInfo{"TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}};

SIZE FontTextExtent(TFont* font, const std::string& text) {
  TMeasureDC screen;
  TSelectObject select(screen, font->Handle());
  SIZE size{};
  GetTextExtentPoint32A(screen, text.c_str(), static_cast<int>(text.size()), &size);
  return size;
}

namespace {

// The width a border of the style takes on each side it is drawn on.
int BorderStyleWidth(TFrameStyleEx style, int bevelWidth) {
  switch (style) {
    case fsNone: return 0;
    case fsFlat: return 1;
    case fsStatus:
    case fsPopup: return bevelWidth;
    default: return 2;
  }
}

const TEnumInfo AlignInfo{"TAlign", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"}};

RECT Shrunk(RECT r, TSides sides, int by) {
  if (sides.Contains(sdLeft)) r.left += by;
  if (sides.Contains(sdTop)) r.top += by;
  if (sides.Contains(sdRight)) r.right -= by;
  if (sides.Contains(sdBottom)) r.bottom -= by;
  return r;
}

// Keeps a device context's clip region and puts it back at the end of the scope.
class TClipScope {
 public:
  explicit TClipScope(HDC dc) : dc_(dc), saved_(CreateRectRgn(0, 0, 0, 0)) {
    had_ = GetClipRgn(dc_, saved_) == 1;
  }
  ~TClipScope() { SelectClipRgn(dc_, had_ ? saved_.Get() : nullptr); }
  TClipScope(const TClipScope&) = delete;
  TClipScope& operator=(const TClipScope&) = delete;

 private:
  HDC dc_;
  TGdiObject<HRGN> saved_;
  bool had_ = false;
};

}  // namespace

// ---- TFcCustomPanel ----------------------------------------------------------------------------

TMessageTable& TFcCustomPanel::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(CM_ENABLEDCHANGED, Handler(&TFcCustomPanel::CMEnabledChanged));
    t->Add(WM_WINDOWPOSCHANGED, Handler(&TFcCustomPanel::WMWindowPosChanged));
    t->Add(WM_ERASEBKGND, Handler(&TFcCustomPanel::WMEraseBkgnd));
    t->Add(WM_PAINT, Handler(&TFcCustomPanel::WMPaint));
    return t;
  }();
  return *table;
}

TFcCustomPanel::TFcCustomPanel(TComponent* owner) : TCustomPanel(owner) {
  SetBevelOuter(bvNone);
  controlStyle_ -= csSetCaption;
  controlStyle_ -= csParentBackground;
  controlStyle_ += csOpaque;
}

TFcCustomPanel::~TFcCustomPanel() {
  if (frameController_) frameController_->UnregisterFramedControl(this);
}

bool TFcCustomPanel::Themed() const { return themeAware_ && ThemeServicesEnabled(); }

void TFcCustomPanel::Changed(bool realign) {
  if (realign) Realign();
  Invalidate();
}

void TFcCustomPanel::SetBorderOuter(TFrameStyleEx value) {
  if (StoreChanged(borderOuter_, value)) Changed(true);
}

void TFcCustomPanel::SetBorderInner(TFrameStyleEx value) {
  if (StoreChanged(borderInner_, value)) Changed(true);
}

void TFcCustomPanel::SetBorderSides(TSides value) {
  if (StoreChanged(borderSides_, value)) Changed(true);
}

void TFcCustomPanel::SetBorderColor(TColor value) {
  if (StoreChanged(borderColor_, value)) Changed(false);
}

void TFcCustomPanel::SetBorderHighlight(TColor value) {
  if (StoreChanged(borderHighlight_, value)) Changed(false);
}

void TFcCustomPanel::SetBorderShadow(TColor value) {
  if (StoreChanged(borderShadow_, value)) Changed(false);
}

void TFcCustomPanel::SetFlatColor(TColor value) {
  if (StoreChanged(flatColor_, value)) Changed(false);
}

void TFcCustomPanel::SetFlatColorAdjustment(int value) {
  if (StoreChanged(flatColorAdjustment_, value)) Changed(false);
}

void TFcCustomPanel::SetAlignmentVertical(TAlignmentVertical value) {
  if (StoreChanged(alignmentVertical_, value)) Changed(false);
}

void TFcCustomPanel::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  if (value)
    controlStyle_ -= csOpaque;
  else
    controlStyle_ += csOpaque;
  Invalidate();
  for (int i = 0; i < ControlCount(); ++i) Controls(i)->Invalidate();
}

void TFcCustomPanel::SetThemeAware(bool value) {
  if (StoreChanged(themeAware_, value)) Changed(false);
}

void TFcCustomPanel::SetFrameController(TFcFrameController* value) {
  ChangeFrameController(this, frameController_, value);
}

void TFcCustomPanel::SetGridVisible(bool value) {
  if (StoreChanged(gridVisible_, value)) Changed(false);
}

void TFcCustomPanel::SetGridKind(TFcGridKind value) {
  if (StoreChanged(gridKind_, value)) Changed(false);
}

void TFcCustomPanel::SetGridLineColor(TColor value) {
  if (StoreChanged(gridLineColor_, value)) Changed(false);
}

void TFcCustomPanel::SetGridCellWidth(WORD value) {
  if (StoreChanged(gridCellWidth_, value)) Changed(false);
}

void TFcCustomPanel::SetGridCellHeight(WORD value) {
  if (StoreChanged(gridCellHeight_, value)) Changed(false);
}

POINT TFcCustomPanel::GetClientCursorPos() {
  POINT p{};
  GetCursorPos(&p);
  return ScreenToClient(p);
}

RECT TFcCustomPanel::AdjustRectForBorders(RECT rect, bool withBorderWidth) {
  if (withBorderWidth) InflateRect(&rect, -BorderWidth(), -BorderWidth());
  rect = Shrunk(rect, borderSides_, BorderStyleWidth(borderOuter_, BevelWidth()));
  return Shrunk(rect, borderSides_, BorderStyleWidth(borderInner_, BevelWidth()));
}

RECT TFcCustomPanel::GetControlRect() { return RECT{0, 0, Width(), Height()}; }

void TFcCustomPanel::AdjustClientRect(RECT& rect) {
  TCustomPanel::AdjustClientRect(rect);
  if (DockSite()) rect = AdjustRectForBorders(rect, false);
}

void TFcCustomPanel::AlignControls(TControl* control, RECT& rect) {
  rect = AdjustRectForBorders(rect, false);
  TCustomPanel::AlignControls(control, rect);
}

void TFcCustomPanel::SetBounds(int left, int top, int width, int height) {
  if (Align() == alBottom && height != Height()) top = Top() + Height() - height;
  if (Align() == alRight && width != Width()) left = Left() + Width() - width;
  TCustomPanel::SetBounds(left, top, width, height);
}

void TFcCustomPanel::Paint() {
  TCanvas* canvas = Canvas();
  TFcBorderPair border;
  border.Outer = borderOuter_;
  border.Inner = borderInner_;
  border.BorderWidth = BorderWidth();
  border.Sides = borderSides_;
  border.BevelWidth = BevelWidth();
  border.BorderColor = borderColor_;
  border.BorderHighlight = borderHighlight_;
  border.BorderShadow = borderShadow_;
  border.FlatColor = flatColor_;
  border.FlatColorAdjustment = flatColorAdjustment_;
  border.ControlColor = Color();
  border.ParentColor = Parent() ? Parent()->Color() : Color();
  border.Transparent = transparent_;
  RECT inner = PaintBorderPair(canvas, GetControlRect(), border);
  if (!transparent_) {
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(inner);
  }
  if (gridVisible_) DrawGrid(inner);
  canvas->Brush()->SetStyle(bsClear);
  DrawCaption(inner);
  canvas->Brush()->SetStyle(bsSolid);
  if (OnPaint) OnPaint(this);
}

void TFcCustomPanel::DrawCaption(RECT rect) {
  std::string text = Caption();
  if (text.empty()) return;
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(Font());
  rect.left += 1;
  UINT flags = DT_EXPANDTABS | DT_WORDBREAK | DT_VCENTER |
               (Alignment() == taLeftJustify ? DT_LEFT : Alignment() == taRightJustify ? DT_RIGHT : DT_CENTER);
  HDC dc = canvas->Handle();
  RECT measured = rect;
  DrawTextA(dc, text.c_str(), -1, &measured, flags | DT_CALCRECT);
  int h = measured.bottom - measured.top;
  if (alignmentVertical_ == avCenter) {
    rect.top = (rect.top + rect.bottom - h) / 2;
    rect.bottom = rect.top + h;
  } else if (alignmentVertical_ == avBottom) {
    rect.top = rect.bottom - h - 1;
  }
  if (!Enabled()) {
    RECT shifted = rect;
    OffsetRect(&shifted, 1, 1);
    SetTextColor(dc, ColorToRGB(clBtnHighlight));
    DrawTextA(dc, text.c_str(), -1, &shifted, flags);
    SetTextColor(dc, ColorToRGB(clBtnShadow));
  }
  DrawTextA(dc, text.c_str(), -1, &rect, flags);
}

void TFcCustomPanel::DrawGrid(RECT r) {
  const int w = gridCellWidth_, h = gridCellHeight_;
  const int columns = w ? (r.right - r.left) / w : 0;
  const int rows = h ? (r.bottom - r.top) / h : 0;
  TCanvas* canvas = Canvas();
  if (gridKind_ == gkDots) {
    for (int i = 1; i <= columns; ++i)
      for (int j = 1; j <= rows; ++j) canvas->SetPixels(r.left + i * w - 1, r.top + j * h - 1, gridLineColor_);
    return;
  }
  if (gridKind_ == gkSolidLines) {
    canvas->Pen()->SetColor(gridLineColor_);
    for (int i = 1; i <= columns; ++i) {
      canvas->MoveTo(r.left + i * w - 1, r.top);
      canvas->LineTo(r.left + i * w - 1, r.bottom);
    }
    for (int j = 1; j <= rows; ++j) {
      canvas->MoveTo(r.left, r.top + j * h - 1);
      canvas->LineTo(r.right, r.top + j * h - 1);
    }
    return;
  }
  // Dotted: every second pixel, starting one after the line's start.
  for (int i = 1; i <= columns; ++i)
    for (int y = r.top + 1; y < r.bottom; y += 2) canvas->SetPixels(r.left + i * w - 1, y, gridLineColor_);
  for (int j = 1; j <= rows; ++j)
    for (int x = r.left + 1; x < r.right; x += 2) canvas->SetPixels(x, r.top + j * h - 1, gridLineColor_);
}

void TFcCustomPanel::UpdateFrameSettings() {
  if (!frameController_ || !frameController_->FrameVisible()) return;
  SetBorderOuter(frameController_->FrameStyle());
  SetBorderSides(frameController_->FrameSides());
  SetFlatColor(frameController_->FrameColor());
  SetFlatColorAdjustment(0);
  SetColor(frameController_->Color());
  SetParentColor(frameController_->ParentColor());
  SetBorderHighlight(LightenColor(Color(), 100));
  SetBorderShadow(DarkenColor(Color(), 50));
  Invalidate();
}

void TFcCustomPanel::Notification(TComponent* component, TOperation operation) {
  TCustomPanel::Notification(component, operation);
  if (operation == opRemove && component == frameController_) frameController_ = nullptr;
}

std::unique_ptr<IDockManager> TFcCustomPanel::CreateDockManager() {
  doubleBuffered_ = true;
  return std::make_unique<TFcPanelDockManager>(this);
}

void TFcCustomPanel::MouseEnter() {
  if (!ComponentState().Contains(csDesigning)) TCustomPanel::MouseEnter();
}

void TFcCustomPanel::CMEnabledChanged(TMessage& m) {
  Inherited(m);
  Repaint();
  if (!Enabled()) {
    enabledStates_.clear();
    for (int i = 0; i < ControlCount(); ++i) enabledStates_.emplace_back(Controls(i), Controls(i)->Enabled());
    for (int i = 0; i < ControlCount(); ++i) Controls(i)->SetEnabled(false);
    return;
  }
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* child = Controls(i);
    auto entry = std::find_if(enabledStates_.begin(), enabledStates_.end(),
                              [child](const auto& e) { return e.first == child; });
    if (entry == enabledStates_.end() || entry->second) child->SetEnabled(true);
  }
}

void TFcCustomPanel::WMWindowPosChanged(TWMObject<WINDOWPOS>& m) {
  const WINDOWPOS* pos = m.Object;
  if (pos && !(pos->flags & SWP_NOSIZE) && HandleAllocated()) {
    SIZE size{pos->cx, pos->cy};
    if (lastSize_.cx >= 0 && (size.cx != lastSize_.cx || size.cy != lastSize_.cy)) {
      if (FullRepaint() || !Caption().empty()) {
        InvalidateRect(Handle(), nullptr, FALSE);
      } else {
        RECT inner = AdjustRectForBorders(RECT{0, 0, size.cx, size.cy}, true);
        if (size.cx != lastSize_.cx) {
          RECT strip{inner.right - 1, 0, size.cx, size.cy};
          InvalidateRect(Handle(), &strip, FALSE);
        }
        if (size.cy != lastSize_.cy) {
          RECT strip{0, inner.bottom - 1, size.cx, size.cy};
          InvalidateRect(Handle(), &strip, FALSE);
        }
      }
    }
    lastSize_ = size;
  }
  Inherited(m);
}

void TFcCustomPanel::WMEraseBkgnd(TWMDC& m) {
  if (!transparent_) {
    Inherited(m);
    return;
  }
  PaintParentOnDC(this, m.DC, false);
  m.Result = 1;
}

void TFcCustomPanel::WMPaint(TWMDC& m) {
  if (!doubleBuffered_ || m.DC || !HandleAllocated()) {
    Inherited(m);
    return;
  }
  TPaintDC dc(Handle());
  RECT client{};
  ::GetClientRect(Handle(), &client);
  TGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, std::max<LONG>(client.right, 1), std::max<LONG>(client.bottom, 1)));
  TBitmapDC memory(bitmap, dc);
  Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory.Get()), 0);
  TMessage paint{WM_PAINT, reinterpret_cast<WPARAM>(memory.Get()), 0, 0};
  Inherited(paint);
  BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
}

// ---- TFcPanelDockManager -----------------------------------------------------------------------

TFcPanelDockManager::TFcPanelDockManager(TFcCustomPanel* panel)
    : TDockTree(panel), panel_(panel), captionFont_(std::make_unique<TFont>()), closeFont_(std::make_unique<TFont>()) {
  captionFont_->SetName("Verdana");
  captionFont_->SetSize(8);
  closeFont_->SetName("Marlett");
  closeFont_->SetSize(8);
  SetGrabberSize(14);
}

void TFcPanelDockManager::AdjustDockRect(TControl*, RECT& rect) {
  if (panel_->Align() == alTop || panel_->Align() == alBottom)
    rect.left += GrabberSize();
  else
    rect.top += GrabberSize();
}

void TFcPanelDockManager::PaintDockFrame(TCanvas* canvas, TControl* control, const RECT& rect) {
  if (!panel_->ShowDockClientCaptions()) {
    TDockTree::PaintDockFrame(canvas, control, rect);
    return;
  }
  auto* windowed = dynamic_cast<TWinControl*>(control);
  bool active = !windowed;
  if (windowed && windowed->HandleAllocated()) {
    HWND focus = GetFocus();
    active = focus && (focus == windowed->Handle() || IsChild(windowed->Handle(), focus));
  }
  TColor back = active ? clActiveCaption : clInactiveCaption;
  TColor text = active ? clCaptionText : clInactiveCaptionText;
  const int grabber = GrabberSize();
  canvas->Brush()->SetColor(back);
  canvas->Font()->Assign(captionFont_.get());
  canvas->Font()->SetColor(text);
  std::string caption = control->Caption();
  if (panel_->Align() != alTop && panel_->Align() != alBottom) {
    // Across the top of the zone.
    RECT bar{rect.left, rect.top, rect.right, rect.top + grabber};
    canvas->FillRect(bar);
    canvas->Brush()->SetStyle(bsClear);
    RECT textRect = bar;
    textRect.left += 2;
    textRect.right -= 16;
    DrawTextA(canvas->Handle(), caption.c_str(), -1, &textRect, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    RECT close{rect.right - 15, rect.top + 1, rect.right - 2, rect.top + 12};
    canvas->Font()->Assign(closeFont_.get());
    canvas->Font()->SetColor(text);
    DrawTextA(canvas->Handle(), "r", 1, &close, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    canvas->Brush()->SetStyle(bsSolid);
    return;
  }
  // Down the left side, the caption turned upright along it.
  RECT bar{rect.left, rect.top, rect.left + grabber, rect.bottom};
  canvas->FillRect(bar);
  canvas->Brush()->SetStyle(bsClear);
  std::unique_ptr<TFont> turned = CreateAngledFont(captionFont_.get(), 90);
  turned->SetColor(clCaptionText);
  canvas->Font()->Assign(turned.get());
  HDC dc = canvas->Handle();
  UINT previous = SetTextAlign(dc, TA_BASELINE);
  {
    TSavedDC saved(dc);
    IntersectClipRect(dc, bar.left, bar.top + 14, bar.right, bar.bottom);
    TextOutA(dc, bar.right - 2, bar.bottom - 3, caption.c_str(), static_cast<int>(caption.size()));
  }
  SetTextAlign(dc, previous);
  RECT close{rect.left + 1, rect.top + 1, rect.left + 12, rect.top + 12};
  canvas->Font()->Assign(closeFont_.get());
  canvas->Font()->SetColor(text);
  DrawTextA(canvas->Handle(), "r", 1, &close, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
  canvas->Brush()->SetStyle(bsSolid);
}

void TFcPanelDockManager::WindowProc(TMessage& message) {
  if (message.Msg == WM_COMMAND || message.Msg == WM_MOUSEACTIVATE) panel_->Invalidate();
  TDockTree::WindowProc(message);
}

// ---- TFcCustomGroupBox ---------------------------------------------------------------------------

TMessageTable& TFcCustomGroupBox::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(CM_DIALOGCHAR, Handler(&TFcCustomGroupBox::CMDialogChar));
    t->Add(CM_FONTCHANGED, Handler(&TFcCustomGroupBox::CMFontChanged));
    return t;
  }();
  return *table;
}

TFcCustomGroupBox::TFcCustomGroupBox(TComponent* owner) : TFcCustomPanel(owner) {
  controlStyle_ += csSetCaption;
  controlStyle_ += csDoubleClicks;
  SetBorderOuter(fsNone);
  SetBorderInner(fsNone);
  SetAlignment(taLeftJustify);
  SetAlignmentVertical(avTop);
  SetHeight(105);
}

void TFcCustomGroupBox::SetGroupStyle(TFcGroupBoxStyle value) {
  if (value == groupStyle_) return;
  groupStyle_ = value;
  if (value == gsCustom || value == gsTopLine) SetThemeAware(false);
  Realign();
  Invalidate();
}

void TFcCustomGroupBox::UpdateFrameSettings() {
  if (groupStyle_ == gsCustom) TFcCustomPanel::UpdateFrameSettings();
}

void TFcCustomGroupBox::AdjustClientRect(RECT& rect) {
  TFcCustomPanel::AdjustClientRect(rect);
  int h = FontTextExtent(Font(), "Yy").cy;
  if (groupStyle_ == gsCustom) {
    rect.top += h;
    InflateRect(&rect, -2, -2);
    return;
  }
  int a = h / 2 - 1;
  rect.top += a < BorderWidth() ? a : h - BorderWidth();
  int inset = groupStyle_ == gsStandard ? 2 : 1;
  InflateRect(&rect, -inset, -inset);
}

RECT TFcCustomGroupBox::CaptionRect() {
  std::string text = Caption();
  if (text.empty() || groupStyle_ == gsCustom) return RECT{};
  RECT measured{0, 0, 0, 0};
  {
    TMeasureDC screen;
    TSelectObject select(screen, Font()->Handle());
    DrawTextA(screen, text.c_str(), -1, &measured, DT_SINGLELINE | DT_CALCRECT);
  }
  int x0 = groupStyle_ == gsTopLine ? 0 : 8;
  int w = measured.right - measured.left;
  if (UseRightToLeftAlignment()) x0 = Width() - x0 - w;
  return RECT{x0, 0, x0 + w, measured.bottom - measured.top};
}

void TFcCustomGroupBox::Paint() {
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(Font());
  const int half = canvas->TextHeight("Pp") / 2;
  const std::string text = Caption();
  const RECT captionRect = CaptionRect();
  const bool hasCaption = !IsRectEmpty(&captionRect);
  const int w = Width(), h = Height();
  HDC dc = canvas->Handle();

  if (Themed()) {
    if (!Transparent()) PaintParentOnDC(this, dc, false);
    HTHEME theme = CachedThemeData("BUTTON");
    int state = Enabled() ? GBS_NORMAL : GBS_DISABLED;
    {
      TClipScope clip(dc);
      if (hasCaption) ExcludeClipRect(dc, captionRect.left, captionRect.top, captionRect.right, captionRect.bottom);
      Themes::DrawThemeBackground(theme, dc, BP_GROUPBOX, state, RECT{0, half, w, h});
    }
    if (hasCaption) {
      canvas->Font()->Assign(Font());
      Themes::DrawThemeText(theme, canvas->Handle(), BP_GROUPBOX, state, text, DT_SINGLELINE, captionRect);
    }
    if (OnPaint) OnPaint(this);
    return;
  }
  if (groupStyle_ == gsCustom) {
    TFcCustomPanel::Paint();
    return;
  }

  TClipScope clip(dc);
  if (!Transparent()) {
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(RECT{0, 0, w, h});
  } else if (hasCaption) {
    ExcludeClipRect(dc, captionRect.left, captionRect.top, captionRect.right, captionRect.bottom);
  }
  const RECT r{0, half, w, h};
  const TColor flat = ShiftedFlatColor();
  const bool flatStyle = BorderOuter() == fsFlat || BorderOuter() == fsFlatBold;
  const int flatRings = BorderOuter() == fsFlatBold ? 2 : 1;
  const TFrameStyleEx style = BorderOuter() == fsNone ? fsGroove : BorderOuter();
  switch (groupStyle_) {
    case gsStandard:
      if (flatStyle)
        PaintBevelRings(canvas, r, flat, sdAllSides, flatRings, flat);
      else
        PaintStyledSides(canvas, r, style, sdAllSides);
      break;
    case gsTopLine:
      if (flatStyle) {
        canvas->Pen()->SetColor(flat);
        for (int i = 0; i < flatRings; ++i) {
          canvas->MoveTo(r.left + 2, r.top + i);
          canvas->LineTo(r.right - 2, r.top + i);
        }
      } else {
        PaintStyledSides(canvas, r, style, TSides{sdTop});
      }
      break;
    default:  // gsFlat: a rounded rectangle.
      canvas->Pen()->SetColor(flat);
      canvas->MoveTo(r.left, r.top + 2);
      canvas->LineTo(r.left, r.bottom - 2);
      canvas->MoveTo(r.right - 1, r.top + 2);
      canvas->LineTo(r.right - 1, r.bottom - 2);
      canvas->MoveTo(r.left + 2, r.top);
      canvas->LineTo(r.right - 2, r.top);
      canvas->MoveTo(r.left + 2, r.bottom - 1);
      canvas->LineTo(r.right - 2, r.bottom - 1);
      canvas->SetPixels(r.left + 1, r.top + 1, flat);
      canvas->SetPixels(r.right - 2, r.top + 1, flat);
      canvas->SetPixels(r.right - 2, r.bottom - 2, flat);
      canvas->SetPixels(r.left + 1, r.bottom - 2, flat);
      break;
  }
  if (hasCaption) {
    if (!Transparent()) {
      canvas->Brush()->SetColor(Color());
      canvas->FillRect(captionRect);
    }
    canvas->Brush()->SetStyle(bsClear);
    dc = canvas->Handle();
    RECT textRect = captionRect;
    if (!Enabled()) {
      RECT shifted = textRect;
      OffsetRect(&shifted, 1, 1);
      SetTextColor(dc, ColorToRGB(clBtnHighlight));
      DrawTextA(dc, text.c_str(), -1, &shifted, DT_SINGLELINE);
      SetTextColor(dc, ColorToRGB(clBtnShadow));
    }
    DrawTextA(dc, text.c_str(), -1, &textRect, DT_SINGLELINE);
    canvas->Brush()->SetStyle(bsSolid);
  }
  if (OnPaint) OnPaint(this);
}

void TFcCustomGroupBox::CMDialogChar(TWMKey& m) {
  if (IsAccel(static_cast<char>(m.CharCode), Caption()) && CanFocus()) {
    SelectNext(nullptr, true, true);
    m.Result = 1;
    return;
  }
  Inherited(m);
}

void TFcCustomGroupBox::CMFontChanged(TMessage& m) {
  Inherited(m);
  Invalidate();
}

// ---- TFcStatusBar ---------------------------------------------------------------------------------

TMessageTable& TFcStatusBar::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(WM_PAINT, Handler(&TFcStatusBar::WMPaint));
    t->Add(WM_PRINTCLIENT, Handler(&TFcStatusBar::WMPaint));
    t->Add(WM_SETCURSOR, Handler(&TFcStatusBar::WMSetCursor));
    return t;
  }();
  return *table;
}

TFcStatusBar::TFcStatusBar(TComponent* owner)
    : TFcCustomPanel(owner), gripCanvas_(std::make_unique<TControlCanvas>(this)) {
  SetAlign(alBottom);
  ApplyAutoStyle();
}

TFcStatusBar::~TFcStatusBar() { gripCanvas_->FreeHandle(); }

void TFcStatusBar::ApplyAutoStyle() {
  TRestore<bool> keep(autoStyle_, autoStyle_);
  SetBorderInner(fsNone);
  SetBorderOuter(fsNone);
  SetBorderSides(sdAllSides);
  SetHeight(19);
  SetBorderWidth(0);
}

void TFcStatusBar::SetBorderOuter(TFrameStyleEx value) {
  if (value == BorderOuter()) return;
  autoStyle_ = false;
  TFcCustomPanel::SetBorderOuter(value);
}

void TFcStatusBar::SetBorderInner(TFrameStyleEx value) {
  if (value == BorderInner()) return;
  autoStyle_ = false;
  TFcCustomPanel::SetBorderInner(value);
}

void TFcStatusBar::SetBorderSides(TSides value) {
  if (value == BorderSides()) return;
  autoStyle_ = false;
  TFcCustomPanel::SetBorderSides(value);
}

void TFcStatusBar::Loaded() {
  TFcCustomPanel::Loaded();
  if (autoStyle_) ApplyAutoStyle();
}

void TFcStatusBar::SetShowSizeGrip(bool value) {
  if (StoreChanged(showSizeGrip_, value)) Invalidate();
}

void TFcStatusBar::SetSimpleStatus(bool value) {
  if (value == simpleStatus_) return;
  simpleStatus_ = value;
  DisableAlign();
  {
    TScopeExit enable([this] { EnableAlign(); });
    for (int i = 0; i < ControlCount(); ++i) Controls(i)->SetVisible(!value);
  }
  Invalidate();
}

void TFcStatusBar::SetSimpleCaption(const std::string& value) {
  if (StoreChanged(simpleCaption_, value)) Invalidate();
}

void TFcStatusBar::SetSimpleFrameStyle(TFrameStyle value) {
  if (StoreChanged(simpleFrameStyle_, value)) Invalidate();
}

bool TFcStatusBar::SizeGripApplies() {
  if (!showSizeGrip_) return false;
  TForm* form = GetParentForm(this);
  if (!form) return false;
  if (form->BorderStyle() != bsSizeable && form->BorderStyle() != bsSizeToolWin) return false;
  if (form->WindowState() == wsMaximized) return false;
  return !(form->HandleAllocated() && IsZoomed(form->Handle()));
}

RECT TFcStatusBar::GetClientRect() {
  RECT r = TFcCustomPanel::GetClientRect();
  if (!Themed()) {
    r.bottom += 1;
    r.top = simpleStatus_ ? 2 : 1;
    r.left -= 1;
    r.right += 1;
  } else if (simpleStatus_) {
    r.left += 1;
    r.top += 1;
    r.right -= 1;
  }
  return r;
}

void TFcStatusBar::WndProc(TMessage& m) {
  if (m.Msg == WM_LBUTTONDOWN && SizeGripApplies()) {
    POINT p = TWMMouse(m).Pos;
    RECT grip = SizeGripRect();
    if (PtInRect(&grip, p)) {
      ReleaseCapture();
      if (TForm* form = GetParentForm(this)) SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_SIZE + 8, 0);
      return;
    }
  }
  TFcCustomPanel::WndProc(m);
}

void TFcStatusBar::WMSetCursor(TWMSetCursor& m) {
  if (HandleAllocated() && m.CursorWnd == Handle() && SizeGripApplies()) {
    POINT p = GetClientCursorPos();
    RECT grip = SizeGripRect();
    if (PtInRect(&grip, p)) {
      ::SetCursor(Screen->Cursors(crSizeNWSE));
      m.Result = 1;
      return;
    }
  }
  Inherited(m);
}

void TFcStatusBar::WMPaint(TWMDC& m) {
  Inherited(m);
  if (!SizeGripApplies()) return;
  if (HDC given = m.DC) {
    DrawSizeGrip(given);
    return;
  }
  if (!HandleAllocated()) return;
  TScopeExit release([this] { gripCanvas_->FreeHandle(); });
  DrawSizeGrip(gripCanvas_->Handle());
}

void TFcStatusBar::DrawSizeGrip(HDC dc) {
  RECT r = GetClientRect();
  r.bottom -= 1;
  if (Themed()) {
    HTHEME theme = CachedThemeData("STATUS");
    Themes::DrawThemeBackground(theme, dc, SP_GRIPPER, 0, RECT{r.right - 20, r.top, r.right, r.bottom});
    return;
  }
  // Six dots in a triangle, each a highlight square with a shadow square up and left of it.
  const POINT dots[] = {{5, 12}, {5, 8}, {5, 4}, {9, 8}, {9, 4}, {13, 4}};
  for (int shade = 0; shade < 2; ++shade) {
    TGdiObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(shade == 0 ? clBtnHighlight : clBtnShadow)));
    for (const POINT& d : dots) {
      RECT square{r.right - d.x - shade, r.bottom - d.y - shade, 0, 0};
      square.right = square.left + 2;
      square.bottom = square.top + 2;
      FillRect(dc, &square, brush);
    }
  }
}

void TFcStatusBar::Paint() {
  TCanvas* canvas = Canvas();
  if (Themed()) {
    HTHEME theme = CachedThemeData("STATUS");
    Themes::DrawThemeBackground(theme, canvas->Handle(), 0, 0, RECT{0, 0, Width(), Height()});
    if (simpleStatus_ && !simpleCaption_.empty()) {
      canvas->Font()->Assign(Font());
      Themes::DrawThemeText(theme, canvas->Handle(), 0, 0, simpleCaption_, DT_SINGLELINE | DT_VCENTER,
                            GetClientRect());
    }
    if (OnPaint) OnPaint(this);
    return;
  }
  TFcCustomPanel::Paint();
  if (!simpleStatus_) return;
  RECT r = GetClientRect();
  r.bottom -= 1;
  DrawSimpleFrame(r);
  InflateRect(&r, -1, -1);
  if (simpleCaption_.empty()) return;
  canvas->Font()->Assign(Font());
  canvas->Brush()->SetColor(Color());
  int y = r.top + (r.bottom - r.top - canvas->TextHeight("Pp")) / 2;
  canvas->TextOut(r.left + 2, y, simpleCaption_);
}

void TFcStatusBar::DrawSimpleFrame(RECT r) {
  TCanvas* canvas = Canvas();
  if (Themed()) {
    HTHEME theme = CachedThemeData("STATUS");
    Themes::DrawThemeBackground(theme, canvas->Handle(), SP_PANE, 0, r);
    return;
  }
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(r);
  if (simpleFrameStyle_ == fsFlat)
    PaintCornerlessRect(canvas, r, ShiftedFlatColor());
  else
    PaintStyledRect(canvas, r, simpleFrameStyle_);
}

void TFcStatusBar::Resize() {
  if (firstResize_) {
    firstResize_ = false;
    lastWidth_ = Width();
    widthDelta_ = 0;
  } else {
    widthDelta_ = Width() - lastWidth_;
    // A bar that had no width has no shares to keep.
    if (autoScalePanes_ && ControlCount() > 0 && widthDelta_ != 0 && lastWidth_ > 0) {
      DisableAlign();
      TScopeExit enable([this] { EnableAlign(); });
      for (int i = 0; i < ControlCount(); ++i) {
        TControl* pane = Controls(i);
        float share = static_cast<float>(pane->Width()) / static_cast<float>(lastWidth_);
        pane->SetWidth(pane->Width() + static_cast<int>(std::lround(widthDelta_ * share)));
      }
    }
    lastWidth_ = Width();
  }
  TFcCustomPanel::Resize();
}

// ---- Registration ------------------------------------------------------------------------------

void RegisterFcPanel() {
  RegisterExtCtrls();
  RegisterClassInfo<TFcCustomPanel, TCustomPanel>("TFcCustomPanel");

  auto panel = RegisterClassInfo<TFcPanel, TFcCustomPanel>("TFcPanel");
  panel.String("Caption", &TFcPanel::Caption, &TFcPanel::SetCaption)
      .Enum("Alignment", AlignmentInfo, &TFcPanel::Alignment, &TFcPanel::SetAlignment, taCenter);
  PublishPanelSettings(panel);

  RegisterClassInfo<TFcCustomGroupBox, TFcCustomPanel>("TFcCustomGroupBox");
  using G = TFcGroupBox;
  auto group = RegisterClassInfo<G, TFcCustomGroupBox>("TFcGroupBox");
  group.String("Caption", &G::Caption, &G::SetCaption)
      .Enum("Alignment", AlignmentInfo, &G::Alignment, &G::SetAlignment, taLeftJustify)
      .Enum("GroupStyle", GroupBoxStyleInfo, &G::GroupStyle, &G::SetGroupStyle, gsFlat)
      .Boolean("TabStop", &G::TabStop, &G::SetTabStop, false)
      .Boolean("DockSite", &G::DockSite, &G::SetDockSite, false);
  PublishPanelSettings(group, fsNone, avTop);

  using S = TFcStatusBar;
  auto bar = RegisterClassInfo<S, TFcCustomPanel>("TFcStatusBar");
  bar.Enum("Align", AlignInfo, &S::Align, &S::SetAlign, alBottom)
      .Boolean("AutoStyle", &S::AutoStyle, &S::SetAutoStyle, true)
      .Boolean("ShowSizeGrip", &S::ShowSizeGrip, &S::SetShowSizeGrip, true)
      .Boolean("SimpleStatus", &S::SimpleStatus, &S::SetSimpleStatus, false)
      .String("SimpleCaption", &S::SimpleCaption, &S::SetSimpleCaption)
      .Enum("SimpleFrameStyle", FrameStyleInfo, &S::SimpleFrameStyle, &S::SetSimpleFrameStyle, fsFlat)
      .Boolean("AutoScalePanes", &S::AutoScalePanes, &S::SetAutoScalePanes, false);
  PublishPanelSettings(bar, fsNone);
}
