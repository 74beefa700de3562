// TFcToolButton: the flat tool button with its toggle groups and its drop-down menu (units of
// FcButton.h).
#include <algorithm>

#include "controls/FcButton.h"
#include "platform/Guards.h"
#include "platform/Themes.h"

const TEnumInfo ToolStyleInfo{"TFcToolStyle", {"tsButton", "tsDropDown"}};

namespace {

// Tells whether a component was freed while it was watched: code that hands control to a
// menu or a click handler (which may free the form and the button with it) checks it before
// it touches the button again.
class TFreeWatch : public TComponent {
 public:
  explicit TFreeWatch(TComponent* watched) : TComponent(nullptr), watched_(watched) { watched->FreeNotification(this); }
  ~TFreeWatch() override {
    if (watched_) watched_->RemoveFreeNotification(this);
  }
  bool Freed() const { return watched_ == nullptr; }

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == watched_) watched_ = nullptr;
  }

 private:
  TComponent* watched_;
};

void FillWith(TCanvas* canvas, const RECT& r, TColor color) {
  canvas->Brush()->SetColor(color);
  canvas->FillRect(r);
}

void VerticalLine(TCanvas* canvas, TColor color, int x, int top, int bottom) {
  canvas->Pen()->SetColor(color);
  canvas->MoveTo(x, top);
  canvas->LineTo(x, bottom);
}

}  // namespace

// ---- TFcToolButton -------------------------------------------------------------------------

TMessageTable& TFcToolButton::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(WM_LBUTTONDOWN, Handler(&TFcToolButton::WMLButtonDown));
    t->Add(WM_LBUTTONUP, Handler(&TFcToolButton::WMLButtonUp));
    t->Add(CM_DIALOGCHAR, Handler(&TFcToolButton::CMDialogChar));
    t->Add(CM_BUTTONPRESSED, Handler(&TFcToolButton::CMButtonPressed));
    t->Add(CM_TEXTCHANGED, Handler(&TFcToolButton::CMTextChanged));
    return t;
  }();
  return *table;
}

TFcToolButton::TFcToolButton(TComponent* owner) : TFcHoverButton(owner, true) {
  SetControlStyle({csCaptureMouse});
  {
    TRestore<bool> sizing(sizingItself_, true);
    SetBounds(Left(), Top(), 25, 25);
  }
  SetColor(clBtnFace);
  imageChangeLink_.OnChange = [this](TObject*) {
    GrowToImages();
    Invalidate();
  };
}

TFcToolButton::~TFcToolButton() {
  Destroying();
  if (images_) images_->UnRegisterChanges(&imageChangeLink_);
}

void TFcToolButton::SetBounds(int left, int top, int width, int height) {
  if (!sizingItself_ && !ComponentState().Contains(csLoading) && (width != Width() || height != Height()))
    useToolbarButtonSize_ = false;
  TFcHoverButton::SetBounds(left, top, width, height);
}

void TFcToolButton::GrowToImages() {
  if (!images_) return;
  TRestore<bool> sizing(sizingItself_, true);
  SetBounds(Left(), Top(), std::max(Width(), images_->Width()), std::max(Height(), images_->Height()));
}

void TFcToolButton::SetImages(TCustomImageList* value) {
  if (!ChangeImageList(this, images_, value, imageChangeLink_)) return;
  GrowToImages();
  Invalidate();
}

void TFcToolButton::SetImageIndex(int value) {
  if (StoreChanged(imageIndex_, value)) Invalidate();
}

void TFcToolButton::SetHotIndex(int value) {
  if (StoreChanged(hotIndex_, value)) Invalidate();
}

void TFcToolButton::SetDownIndex(int value) {
  if (StoreChanged(downIndex_, value)) Invalidate();
}

void TFcToolButton::SetDisabledIndex(int value) {
  if (StoreChanged(disabledIndex_, value)) Invalidate();
}

void TFcToolButton::SetTransparent(bool value) {
  if (StoreChanged(transparent_, value)) Invalidate();
}

void TFcToolButton::SetGroupIndex(int value) {
  if (toolStyle_ == tsDropDown) value = 0;
  groupIndex_ = value;
  TMessage m{CM_BUTTONPRESSED, static_cast<WPARAM>(groupIndex_), reinterpret_cast<LPARAM>(this), 0};
  if (Parent()) Parent()->Broadcast(m);
}

void TFcToolButton::SetDown(bool value) {
  if (groupIndex_ == 0) value = false;
  if (value == down_) return;
  if (down_ && groupIndex_ != 0 && !allowAllUp_) return;
  down_ = value;
  if (value) {
    if (state_ == stUp) Invalidate();
    state_ = stExclusive;
    TMessage m{CM_BUTTONPRESSED, static_cast<WPARAM>(groupIndex_), reinterpret_cast<LPARAM>(this), 0};
    if (Parent()) Parent()->Broadcast(m);
  } else {
    state_ = stUp;
    Repaint();
  }
}

void TFcToolButton::SetAllowAllUp(bool value) {
  allowAllUp_ = value;
  TMessage m{CM_BUTTONPRESSED, static_cast<WPARAM>(groupIndex_), reinterpret_cast<LPARAM>(this), 0};
  if (Parent()) Parent()->Broadcast(m);
}

void TFcToolButton::CMButtonPressed(TWMObject<TControl>& m) {
  auto* sender = dynamic_cast<TFcToolButton*>(m.Object);
  if (!sender || sender == this || static_cast<int>(m.WParam) != groupIndex_) return;
  if (sender->down_ && down_) {
    down_ = false;
    state_ = stUp;
    Invalidate();
  }
  allowAllUp_ = sender->allowAllUp_;
}

void TFcToolButton::SetToolStyle(TFcToolStyle value) {
  if (value == toolStyle_) return;
  toolStyle_ = value;
  SetGroupIndex(0);
  if (!ComponentState().Contains(csLoading)) {
    TRestore<bool> sizing(sizingItself_, true);
    SetBounds(Left(), Top(), Width() + (value == tsDropDown ? kFcDropDownWidth : -kFcDropDownWidth), Height());
  }
  Invalidate();
}

void TFcToolButton::SetDropDownMenu(TPopupMenu* value) {
  if (value == dropDownMenu_) return;
  if (dropDownMenu_) dropDownMenu_->RemoveFreeNotification(this);
  dropDownMenu_ = value;
  if (value) value->FreeNotification(this);
}

void TFcToolButton::SetShowCaption(bool value) {
  showCaption_ = value;
  useToolbarShowCaption_ = false;
  Invalidate();
}

void TFcToolButton::SetLayout(TButtonLayout value) {
  layout_ = value;
  useToolbarButtonLayout_ = false;
  Invalidate();
}

void TFcToolButton::SetUseToolbarButtonSize(bool value) {
  if (StoreChanged(useToolbarButtonSize_, value) && value) SyncToolbarSettings();
}

void TFcToolButton::SetUseToolbarButtonLayout(bool value) {
  if (StoreChanged(useToolbarButtonLayout_, value) && value) SyncToolbarSettings();
}

void TFcToolButton::SetUseToolbarShowCaption(bool value) {
  if (StoreChanged(useToolbarShowCaption_, value) && value) SyncToolbarSettings();
}

void TFcToolButton::SetParent(TWinControl* parent) {
  TFcHoverButton::SetParent(parent);
  SyncToolbarSettings();
}

void TFcToolButton::Loaded() {
  TFcHoverButton::Loaded();
  SyncToolbarSettings();
}

void TFcToolButton::CMTextChanged(TMessage& m) {
  // Past the classes above, which only invalidate: the button repaints once its toolbar
  // settings follow the new caption.
  DefaultHandler(m);
  SyncToolbarSettings();
  Invalidate();
}

void TFcToolButton::Notification(TComponent* component, TOperation operation) {
  TFcHoverButton::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == images_) {
    images_ = nullptr;
    Invalidate();
  }
  if (component == dropDownMenu_) dropDownMenu_ = nullptr;
}

// ---- Actions -------------------------------------------------------------------------------

void TFcToolButton::AssignTo(TPersistent* dest) {
  if (auto* action = dynamic_cast<TCustomAction*>(dest)) {
    action->SetChecked(down_);
    action->SetImageIndex(imageIndex_);
    return;
  }
  TFcHoverButton::AssignTo(dest);
}

std::unique_ptr<TControlActionLink> TFcToolButton::CreateActionLink() {
  return std::make_unique<TFcToolButtonActionLink>(this);
}

void TFcToolButton::ActionChange(TObject* sender, bool checkDefaults) {
  TFcHoverButton::ActionChange(sender, checkDefaults);
  auto* action = dynamic_cast<TCustomAction*>(sender);
  if (!action) return;
  if (!checkDefaults || !down_) SetDown(action->Checked());
  if (!checkDefaults || imageIndex_ == -1) SetImageIndex(action->ImageIndex());
}

bool TFcToolButton::IsDownStored() { return !ActionLink() || !ActionLink()->IsCheckedLinked(); }

bool TFcToolButtonActionLink::IsCheckedLinked() {
  return TControlActionLink::IsCheckedLinked() && button_->Down() == CustomAction()->Checked();
}

bool TFcToolButtonActionLink::IsImageIndexLinked() {
  return TControlActionLink::IsImageIndexLinked() && button_->ImageIndex() == CustomAction()->ImageIndex();
}

void TFcToolButtonActionLink::SetChecked(bool value) {
  if (IsCheckedLinked()) button_->SetDown(value);
}

void TFcToolButtonActionLink::SetImageIndex(int value) {
  if (IsImageIndexLinked()) button_->SetImageIndex(value);
}

// ---- Mouse ---------------------------------------------------------------------------------

bool TFcToolButton::HasClickHandler() const { return static_cast<bool>(OnClick) || Action() != nullptr; }

void TFcToolButton::Click() {
  if (toolStyle_ == tsButton || normalClickMode_) TFcHoverButton::Click();
}

void TFcToolButton::WMLButtonDown(TWMMouse& m) {
  Inherited(m);
  // Freed meanwhile: the message is used up, and nobody may touch the button (or its form).
  if (!Press(MouseKeysToShiftState(m.Keys), m.Pos.x, m.Pos.y)) m.Result = 1;
}

void TFcToolButton::WMLButtonUp(TWMMouse& m) {
  Inherited(m);
  if (!Release(m.Pos.x, m.Pos.y)) m.Result = 1;
}

bool TFcToolButton::Press(TShiftState shift, int x, int y) {
  if (toolStyle_ == tsDropDown && dropDownMenu_) {
    bool onArrow = x >= Width() - kFcDropDownWidth;
    if ((onArrow || !HasClickHandler()) && shift == TShiftState{ssLeft}) {
      if (dropDownMenu_->Items()->Count() == 0) return true;
      if (lastDropTick_ != 0 && GetTickCount() - lastDropTick_ < 100) {
        // The press that closed the menu: it does not drop it again.
        normalClickMode_ = true;
        lastDropTick_ = 0;
        SetMouseCapture(false);
      } else {
        state_ = stDropDownPressed;
        Repaint();
        TFreeWatch watch(this);
        DropDown();
        if (watch.Freed()) return false;
        normalClickMode_ = false;
        lastDropTick_ = GetTickCount();
      }
      // The menu took the release.
      return Release(x, y);
    }
    if (!normalClickMode_) {
      normalClickMode_ = true;
      return true;
    }
  }
  if (!Enabled()) return true;
  if (!down_ || state_ == stExclusive) {
    state_ = stPressed;
    Invalidate();
  }
  tracking_ = true;
  return true;
}

void TFcToolButton::MouseMove(TShiftState shift, int x, int y) {
  TFcHoverButton::MouseMove(shift, x, y);
  if (tracking_) {
    RECT client{0, 0, Width(), Height()};
    TState state = down_ ? stExclusive : PtInRect(&client, POINT{x, y}) ? stPressed : stUp;
    if (state != state_) {
      state_ = state;
      Invalidate();
    }
  } else if (!MouseInside()) {
    SyncHover();
  }
}

bool TFcToolButton::Release(int x, int y) {
  RECT client{0, 0, Width(), Height()};
  if (tracking_) {
    tracking_ = false;
    bool inside = PtInRect(&client, POINT{x, y}) != FALSE;
    bool click = inside;
    if (groupIndex_ == 0) {
      state_ = stUp;
      SetMouseInside(false);
      if (inside) Repaint();
    } else if (inside) {
      bool was = down_;
      SetDown(!down_);
      // The last down button of its group without AllowAllUp: no change, no click.
      if (down_ == was) click = false;
      if (down_) {
        state_ = stExclusive;
        Repaint();
      }
    } else {
      if (down_) state_ = stExclusive;
      Repaint();
    }
    if (click) {
      TFreeWatch watch(this);
      Click();
      if (watch.Freed()) return false;
    }
    SyncHover();
  }
  if (toolStyle_ == tsDropDown) {
    POINT cursor;
    GetCursorPos(&cursor);
    if (Parent() && Parent()->HandleAllocated()) cursor = ScreenToClient(cursor);
    if (!PtInRect(&client, cursor)) normalClickMode_ = true;
    state_ = stUp;
    Repaint();
    SyncHover();
  }
  return true;
}

void TFcToolButton::DropDown() {
  TPopupMenu* menu = dropDownMenu_;
  if (!menu) return;
  if (OnDropDown) OnDropDown(menu);
  POINT p = ClientToScreen(POINT{0, Height()});
  int width = DropDownMenuWidth();
  TMonitor* monitor = Screen->MonitorFromPoint(p);
  RECT work = monitor ? monitor->WorkareaRect() : ControlMonitorWorkArea(Parent());
  // A menu that would pass the work area's right edge ends at the button's right edge.
  if (work.right < p.x + width) p.x -= width - Width();
  menu->SetPopupComponent(this);
  TFreeWatch watch(this);
  menu->Popup(p.x, p.y);
  if (watch.Freed()) return;
  if (groupIndex_ > 0 && !down_) Click();
}

int TFcToolButton::DropDownMenuWidth() {
  if (!dropDownMenu_) return 0;
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof(metrics);
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  TGdiObject<HFONT> font(CreateFontIndirectA(&metrics.lfMenuFont));
  TMeasureDC screen;
  TSelectObject select(screen, font);
  int widest = 0;
  TMenuItem* items = dropDownMenu_->Items();
  for (int i = 0; i < items->Count(); ++i) {
    RECT r{0, 0, 0, 0};
    DrawTextA(screen, items->Items(i)->Caption().c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
    widest = std::max(widest, static_cast<int>(r.right - r.left));
  }
  // Room for the check marks at the left and the sub-menu arrows at the right.
  return widest + 56;
}

void TFcToolButton::CMDialogChar(TWMKey& m) {
  if (IsAccel(static_cast<char>(m.CharCode), Caption()) && Enabled() && Visible() && Parent() && Parent()->Showing()) {
    Click();
    m.Result = 1;
    return;
  }
  Inherited(m);
}

// ---- Painting ------------------------------------------------------------------------------

bool TFcToolButton::ShownDown() const {
  return state_ == stPressed || state_ == stExclusive || (state_ == stDropDownPressed && !HasClickHandler());
}

SIZE TFcToolButton::ImageSize() {
  if (!images_) return SIZE{0, 0};
  return SIZE{images_->Width(), images_->Height()};
}

RECT TFcToolButton::ContentRect() {
  RECT r{0, 0, Width(), Height()};
  if (toolStyle_ == tsDropDown) r.right -= kFcDropDownWidth;
  InflateRect(&r, -2, -2);
  return r;
}

int TFcToolButton::CaptionHeight(const RECT& rect) {
  return showCaption_ ? CaptionBlockHeight(Font(), Caption(), rect) : 0;
}

RECT TFcToolButton::CaptionRect() {
  RECT r = ContentRect();
  if (imageIndex_ != -1) {
    SIZE image = ImageSize();
    int h = CaptionHeight(r);
    int free = Height() - (h + image.cy + 4);
    switch (layout_) {
      case blGlyphLeft: r.left += image.cx + 4; break;
      case blGlyphRight: r.right -= image.cx + 4; break;
      case blGlyphTop:
        r.top += image.cy + free / 2;
        r.bottom = r.top + h;
        break;
      case blGlyphBottom:
        r.top += free / 2;
        r.bottom = r.top + h;
        break;
    }
  }
  if (ShownDown()) OffsetRect(&r, 1, ThemeServicesEnabled() ? 0 : 1);
  return r;
}

RECT TFcToolButton::ImageRect() {
  RECT r = ContentRect();
  SIZE image = ImageSize();
  int h = CaptionHeight(r);
  int free = Height() - (h + image.cy + 4);
  switch (layout_) {
    case blGlyphLeft: r.left += 2; break;
    case blGlyphRight: r.left = r.right - image.cx - 2; break;
    case blGlyphTop: r.top = free / 2; break;
    case blGlyphBottom: r.top += h + free / 2; break;
  }
  r = CentredAcross(r, layout_, image);
  if (ShownDown()) OffsetRect(&r, 1, ThemeServicesEnabled() ? 0 : 1);
  return r;
}

RECT TFcToolButton::DrawFrame(const RECT& rect) {
  TCanvas* canvas = Canvas();
  bool designing = ComponentState().Contains(csDesigning);
  bool hot = (MouseInside() && state_ != stDisabled) || designing;
  bool pressed = state_ == stPressed, latched = state_ == stExclusive;
  if (ThemeServicesEnabled()) {
    if (Flat()) {
      bool split = toolStyle_ == tsDropDown && HasClickHandler();
      int state = pressed || (!split && state_ == stDropDownPressed) ? TS_PRESSED
                  : latched                                          ? (MouseInside() ? TS_HOTCHECKED : TS_CHECKED)
                  : hot                                              ? TS_HOT
                                                                     : TS_NORMAL;
      RECT r = rect;
      if (split) r.right -= kFcDropDownWidth;
      if (HTHEME theme = CachedThemeData("TOOLBAR"))
        Themes::DrawThemeBackground(theme, canvas->Handle(), split ? TP_SPLITBUTTON : TP_BUTTON, state, r);
    } else {
      int state = state_ == stDisabled                                      ? PBS_DISABLED
                  : pressed || latched || state_ == stDropDownPressed ? PBS_PRESSED
                  : hot                                               ? PBS_HOT
                                                                      : PBS_NORMAL;
      if (HTHEME theme = CachedThemeData("BUTTON"))
        Themes::DrawThemeBackground(theme, canvas->Handle(), BP_PUSHBUTTON, state, rect);
    }
    RECT inner = rect;
    InflateRect(&inner, -2, -2);
    return inner;
  }
  if (Flat()) {
    if (pressed || latched) return PaintStyledRect(canvas, rect, fsStatus);
    if (hot) return PaintStyledRect(canvas, rect, fsPopup);
    return rect;
  }
  return PaintStyledRect(canvas, rect, pressed || latched ? fsLowered : fsButtonUp);
}

void TFcToolButton::DrawDropDownPart(const RECT& rect) {
  TCanvas* canvas = Canvas();
  bool click = HasClickHandler();
  bool pressed = state_ == stPressed || state_ == stDropDownPressed;
  RECT strip{rect.right - kFcDropDownWidth, rect.top, rect.right, rect.bottom};
  if (ThemeServicesEnabled()) {
    bool hot = (MouseInside() && state_ != stDisabled) || ComponentState().Contains(csDesigning);
    int state = state_ == stDisabled ? TS_DISABLED : pressed ? TS_PRESSED : hot ? TS_HOT : TS_NORMAL;
    if (HTHEME theme = CachedThemeData("TOOLBAR"))
      Themes::DrawThemeBackground(theme, canvas->Handle(), TP_SPLITBUTTONDROPDOWN, state, click ? strip : rect);
    return;
  }
  int top = rect.top + 2, bottom = rect.bottom - 2;
  if (state_ == stDropDownPressed) {
    if (click) VerticalLine(canvas, clBtnShadow, rect.right - 15, top, bottom);
    PaintStyledRect(canvas, strip, fsStatus);
  } else if (((Flat() && MouseInside()) || !Flat()) && Enabled() && click) {
    int x = rect.right - kFcDropDownWidth + (state_ == stPressed ? 1 : 0);
    if (state_ != stPressed) VerticalLine(canvas, clBtnHighlight, x, top, bottom);
    VerticalLine(canvas, clBtnShadow, x - 1, top, bottom);
  }
  // The arrow: a small triangle pointing down, its tip 8 pixels from the right edge.
  int shift = pressed ? 1 : 0;
  int tipX = rect.right - 8 + shift, tipY = (rect.top + rect.bottom) / 2 + 2 + shift;
  TColor color = Enabled() ? clWindowText : clBtnShadow;
  canvas->Pen()->SetColor(color);
  canvas->Brush()->SetColor(color);
  canvas->Polygon({{tipX, tipY}, {tipX - 2, tipY - 2}, {tipX + 2, tipY - 2}});
}

void TFcToolButton::DrawImage(const RECT& rect) {
  if (!images_ || imageIndex_ == -1) return;
  TCanvas* canvas = Canvas();
  if (ShownDown() && downIndex_ != -1) {
    images_->Draw(canvas, rect.left, rect.top, downIndex_, true);
    return;
  }
  int normal = hotIndex_ != -1 && MouseInside() && Enabled() ? hotIndex_ : imageIndex_;
  if (disabledIndex_ == -1)
    images_->Draw(canvas, rect.left, rect.top, normal, Enabled());
  else
    images_->Draw(canvas, rect.left, rect.top, Enabled() ? normal : disabledIndex_, true);
}

void TFcToolButton::DrawCaptionText(const RECT& rect) {
  if (!showCaption_) return;
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetStyle(bsClear);
  canvas->SetFont(Font());
  if (state_ == stPressed)
    canvas->Font()->SetColor(clHighlightText);
  else if (!Enabled())
    canvas->Font()->SetColor(clBtnShadow);
  UINT format = DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_EXPANDTABS | (UseRightToLeftReading() ? DT_RTLREADING : 0);
  std::string text = Caption();
  RECT measured = rect;
  DrawTextA(canvas->Handle(), text.c_str(), -1, &measured, format | DT_CALCRECT);
  int h = measured.bottom - measured.top;
  RECT r = rect;
  r.top += (rect.bottom - rect.top - h) / 2;
  r.bottom = r.top + h;
  DrawTextA(canvas->Handle(), text.c_str(), -1, &r, format);
  canvas->Brush()->SetStyle(bsSolid);
}

void TFcToolButton::Paint() {
  if (!Enabled()) {
    state_ = stDisabled;
    tracking_ = false;
  } else if (state_ == stDisabled) {
    state_ = down_ && groupIndex_ != 0 ? stExclusive : stUp;
  }
  TCanvas* canvas = Canvas();
  RECT client{0, 0, Width(), Height()};
  // The face first, so that the frame (and a visual style's hot look) lies on it.
  if (!transparent_) FillWith(canvas, client, Color());
  RECT inner = DrawFrame(client);
  if (!ThemeServicesEnabled() && state_ == stExclusive && (!Flat() || !MouseInside())) {
    std::unique_ptr<TBitmap> pattern = transparent_ ? CheckeredPattern(clBtnFace, clBtnHighlight)
                                                    : CheckeredPattern(Color(), LightenColor(Color(), 20));
    canvas->Brush()->SetBitmap(pattern.get());
    canvas->FillRect(inner);
    canvas->Brush()->SetBitmap(nullptr);
  }
  if (toolStyle_ == tsDropDown) DrawDropDownPart(client);
  DrawImage(ImageRect());
  DrawCaptionText(CaptionRect());
}
