#include "controls/FcSplit.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "controls/FcButton.h"
#include "platform/Forms.h"
#include "platform/Guards.h"

const TEnumInfo FixedPaneInfo{"TFixedPane", {"fpUpperLeft", "fpLowerRight"}};
const TEnumInfo SplitterStyleInfo{"TSplitterStyle", {"ssStandard", "ssGroove", "ssBump", "ssGroupBar"}};
const TEnumInfo HotSpotDirectionInfo{"THotSpotDirection", {"hsdMin", "hsdMax", "hsdBoth"}};
const TEnumInfo SelectedPaneInfo{"TSelectedPane", {"spUpperLeft", "spLowerRight"}};

namespace {

// Splitters that are running Loaded: the panes' children are being moved into place, and no
// splitter aligns meanwhile.
int splittersLoading = 0;

// The cursors by resource name, in the order the splitter keeps them (TCursorKind).
const char* const kCursorNames[] = {"RZSPLIT_HORZ", "RZSPLIT_HORZHOTSPOT", "RZSPLIT_VERT", "RZSPLIT_VERTHOTSPOT"};

// A cursor from a cursor file kept as a resource of `module`; nullptr when there is none.
HCURSOR LoadCursorFile(HINSTANCE module, const char* name) {
  HRSRC found = FindResourceA(module, name, MAKEINTRESOURCEA(10));  // RT_RCDATA
  if (!found) return nullptr;
  HGLOBAL loaded = LoadResource(module, found);
  const auto* file = static_cast<const BYTE*>(loaded ? LockResource(loaded) : nullptr);
  DWORD size = SizeofResource(module, found);
  // The file's directory (6 bytes) and its first entry (16): the hot spot and the image's place.
  if (!file || size < 22) return nullptr;
  WORD hotX, hotY;
  DWORD bytes, offset;
  std::memcpy(&hotX, file + 10, 2);
  std::memcpy(&hotY, file + 12, 2);
  std::memcpy(&bytes, file + 14, 4);
  std::memcpy(&offset, file + 18, 4);
  if (offset > size || bytes > size - offset) return nullptr;
  // A cursor resource is the hot spot followed by the image.
  std::vector<BYTE> resource(4 + bytes);
  std::memcpy(resource.data(), &hotX, 2);
  std::memcpy(resource.data() + 2, &hotY, 2);
  std::memcpy(resource.data() + 4, file + offset, bytes);
  return reinterpret_cast<HCURSOR>(CreateIconFromResourceEx(resource.data(), static_cast<DWORD>(resource.size()),
                                                            FALSE, 0x00030000, 0, 0, LR_DEFAULTCOLOR));
}

int RoundPercent(double value) { return static_cast<int>(std::lround(value)); }

int ClampTo(int value, int low, int high) { return std::max(low, std::min(value, std::max(low, high))); }

}  // namespace

// ---- TFcSplitterPane ---------------------------------------------------------------------------

TMessageTable& TFcSplitterPane::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(WM_NCHITTEST, Handler(&TFcSplitterPane::WMNCHitTest));
    return t;
  }();
  return *table;
}

TFcSplitterPane::TFcSplitterPane(TComponent* owner) : TFcCustomPanel(owner) {
  SetBorderOuter(fsNone);
  controlStyle_ += csAcceptsControls;
  controlStyle_ += csDisplayDragImage;
  SetTabStop(false);
}

TFcSplitter* TFcSplitterPane::Splitter() const { return dynamic_cast<TFcSplitter*>(Parent()); }

void TFcSplitterPane::SetVisible(bool value) {
  TFcSplitter* splitter = Splitter();
  if (value && !Visible() && splitter && !splitter->ComponentState().Contains(csLoading)) {
    splitter->ShowControl(this);
    return;
  }
  SetVisibleNow(value);
}

void TFcSplitterPane::SetVisibleNow(bool value) {
  if (value == Visible()) return;
  TFcCustomPanel::SetVisible(value);
  if (TFcSplitter* splitter = Splitter()) splitter->LayoutPanes();
}

void TFcSplitterPane::MouseEnter() {
  Invalidate();
  TFcCustomPanel::MouseEnter();
}

void TFcSplitterPane::MouseLeave() {
  Invalidate();
  TFcCustomPanel::MouseLeave();
}

void TFcSplitterPane::WMNCHitTest(TMessage& m) {
  if (!ComponentState().Contains(csDesigning) && !DockSite()) {
    m.Result = HTTRANSPARENT;
    return;
  }
  Inherited(m);
}

// ---- TFcSplitter: construction -------------------------------------------------------------------

TMessageTable& TFcSplitter::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(WM_SETCURSOR, Handler(&TFcSplitter::WMSetCursor));
    t->Add(WM_SHOWWINDOW, Handler(&TFcSplitter::WMShowWindow));
    t->Add(CM_MOUSELEAVE, Handler(&TFcSplitter::CMMouseLeave));
    t->Add(WM_GETDLGCODE, Handler(&TFcSplitter::WMGetDlgCode));
    t->Add(WM_CAPTURECHANGED, Handler(&TFcSplitter::WMCaptureChanged));
    t->Add(WM_CANCELMODE, Handler(&TFcSplitter::WMCancelMode));
    return t;
  }();
  return *table;
}

TFcSplitter::TFcSplitter(TComponent* owner) : TFcCustomPanel(owner) {
  controlStyle_ = {csCaptureMouse, csOpaque, csDisplayDragImage};
  SetBorderOuter(fsNone);
  SetThemeAware(true);
  for (int i = 0; i < 2; ++i) {
    panes_[i] = new TFcSplitterPane(this);
    panes_[i]->SetParent(this);
    data_[i] = std::make_unique<TFcPaneData>(panes_[i]);
  }
  // The panes' docking events reach the splitter's, with the splitter as the sender.
  auto route = [this](TFcSplitterPane* pane, TGetSiteInfoEvent TFcSplitter::*info, TDockOverEvent TFcSplitter::*over,
                      TDockDropEvent TFcSplitter::*drop, TUnDockEvent TFcSplitter::*undock) {
    pane->OnGetSiteInfo = [this, info](TObject*, TControl* client, RECT& r, POINT p, bool& canDock) {
      if (this->*info) (this->*info)(this, client, r, p, canDock);
    };
    pane->OnDockOver = [this, over](TObject*, TDragDockObject* s, int x, int y, TDragState st, bool& accept) {
      if (this->*over) (this->*over)(this, s, x, y, st, accept);
    };
    pane->OnDockDrop = [this, drop](TObject*, TDragDockObject* s, int x, int y) {
      if (this->*drop) (this->*drop)(this, s, x, y);
    };
    pane->OnUnDock = [this, undock](TObject*, TControl* client, TWinControl* target, bool& allow) {
      if (this->*undock) (this->*undock)(this, client, target, allow);
    };
  };
  route(panes_[0], &TFcSplitter::OnULGetSiteInfo, &TFcSplitter::OnULDockOver, &TFcSplitter::OnULDockDrop,
        &TFcSplitter::OnULUnDock);
  route(panes_[1], &TFcSplitter::OnLRGetSiteInfo, &TFcSplitter::OnLRDockOver, &TFcSplitter::OnLRDockDrop,
        &TFcSplitter::OnLRUnDock);

  // The drag outline's checkerboard: black where x + y is odd.
  TBitmap pattern(8, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) pattern.Canvas()->SetPixels(x, y, (x + y) % 2 ? clBlack : clWhite);
  dragBrush_.Reset(CreatePatternBrush(pattern.Handle()));

  HINSTANCE module = GetModuleHandleA(nullptr);
  for (int i = 0; i < 4; ++i)
    cursors_[i] = LoadCursorFile(module, kCursorNames[i]);
  SetBounds(Left(), Top(), 200, 100);
  LayoutPanes();
}

TFcSplitter::~TFcSplitter() {
  Destroying();
  for (HCURSOR cursor : cursors_)
    if (cursor) DestroyCursor(cursor);
}

void TFcSplitter::CreateParams(TCreateParams& params) {
  TFcCustomPanel::CreateParams(params);
  params.Style |= WS_CLIPCHILDREN;
}

// ---- Position and limits ------------------------------------------------------------------------

int TFcSplitter::PercentRoom() const { return std::max(0, Size() - splitterWidth_ / 2); }

bool TFcSplitter::BothPanesVisible() const { return panes_[0]->Visible() && panes_[1]->Visible(); }

int TFcSplitter::BorderSize() {
  auto width = [this](TFrameStyleEx style) {
    switch (style) {
      case fsFlat: return 1;
      case fsStatus:
      case fsPopup: return BevelWidth();
      case fsGroove:
      case fsBump:
      case fsLowered:
      case fsButtonDown:
      case fsRaised:
      case fsButtonUp: return 2;
      default: return 0;
    }
  };
  int size = BorderWidth();
  for (TFrameStyleEx style : {BorderOuter(), BorderInner()}) {
    if (BorderSides().Contains(sdLeft)) size += width(style);
    if (BorderSides().Contains(sdTop)) size += width(style);
  }
  return size;
}

void TFcSplitter::CheckPosition(int& value) {
  if (!BothPanesVisible()) {
    value = ClampTo(value, 0, Size());
    return;
  }
  bool free = hotSpotClosed_ && hotSpotIgnoreMargins_;
  int low = free ? 0 : marginMin_;
  int high = free ? 0 : marginMax_;
  if (value < low) value = low;
  int limit = Size() - high - splitterWidth_ - 2 * BorderSize();
  if (value > limit) value = limit;
  // Whatever the margins and borders say, the bar stays inside the client area.
  RECT client = GetClientRect();
  int extent = orientation_ == orHorizontal ? client.right - client.left : client.bottom - client.top;
  value = ClampTo(value, 0, extent - splitterWidth_);
}

void TFcSplitter::SetPosition(int value) {
  if (ComponentState().Contains(csLoading)) {
    // The size is not known yet: Loaded limits it.
    position_ = value;
    return;
  }
  if (!resizing_ && value == position_) return;
  CheckPosition(value);
  if (!DoChanging(value)) return;
  position_ = value;
  int room = PercentRoom();
  percent_ = room <= 0 ? 0 : RoundPercent(100.0 * value / room);
  LayoutPanes();
  SaveFixedSize();
  DoChange();
}

void TFcSplitter::MovePosition(int value) {
  if (value != position_) SetPosition(value);
  RememberPosition(value);
}

void TFcSplitter::RememberPosition(int value) {
  rememberedPosition_ = fixedPane_ == fpLowerRight ? Size() - value : value;
}

void TFcSplitter::SaveFixedSize() { fixedSize_ = fixedPane_ == fpLowerRight ? Size() - position_ : position_; }

void TFcSplitter::SetPercent(int value) {
  if (value == percent_) return;
  percent_ = value;
  if (ComponentState().Contains(csLoading)) return;
  usePercent_ = true;
  SetPosition(RoundPercent(percent_ / 100.0 * PercentRoom()));
}

void TFcSplitter::SetUsePercent(bool value) {
  if (value == usePercent_) return;
  usePercent_ = value;
  if (value) {
    SetFixedPane(fpUpperLeft);
    SetPercentMin(percentMin_);
    SetPercentMax(percentMax_);
  }
  SetPosition(position_);
}

void TFcSplitter::SetPercentMin(int value) {
  percentMin_ = std::max(0, value);
  if (ComponentState().Contains(csLoading) || !usePercent_) return;
  SetMarginMin(RoundPercent(percentMin_ / 100.0 * PercentRoom()));
}

void TFcSplitter::SetPercentMax(int value) {
  percentMax_ = std::min(100, value);
  if (ComponentState().Contains(csLoading) || !usePercent_) return;
  int room = PercentRoom();
  SetMarginMax(room - RoundPercent(percentMax_ / 100.0 * room));
}

void TFcSplitter::SetMarginMin(int value) {
  marginMin_ = std::max(0, value);
  if (!ComponentState().Contains(csLoading) && marginMin_ + marginMax_ > Size())
    marginMin_ = std::max(0, Size() - marginMax_);
}

void TFcSplitter::SetMarginMax(int value) {
  marginMax_ = std::max(0, value);
  if (!ComponentState().Contains(csLoading) && marginMin_ + marginMax_ > Size())
    marginMax_ = std::max(0, Size() - marginMin_);
}

void TFcSplitter::SetFixedPane(TFixedPane value) {
  if (value == fixedPane_) return;
  fixedPane_ = value;
  if (value == fpLowerRight) usePercent_ = false;
  RememberPosition(position_);
  SaveFixedSize();
}

void TFcSplitter::SetOrientation(TOrientation value) {
  if (value == orientation_) return;
  orientation_ = value;
  if (usePercent_ && !ComponentState().Contains(csLoading)) {
    int room = PercentRoom();
    marginMin_ = RoundPercent(percentMin_ / 100.0 * room);
    marginMax_ = room - RoundPercent(percentMax_ / 100.0 * room);
    TRestore<bool> again(resizing_, true);
    SetPosition(RoundPercent(percent_ / 100.0 * room));
  } else {
    LayoutPanes();
  }
  Invalidate();
}

void TFcSplitter::SetSelectedPane(TSelectedPane value) {
  if (value == selectedPane_) return;
  selectedPane_ = value;
  if (!ComponentState().Contains(csDesigning)) return;
  panes_[value == spUpperLeft ? 0 : 1]->BringToFront();
  panes_[0]->Invalidate();
  panes_[1]->Invalidate();
}

// ---- The bar's look --------------------------------------------------------------------------------

void TFcSplitter::SetSplitterStyle(TSplitterStyle value) {
  if (value == splitterStyle_) return;
  splitterStyle_ = value;
  if (value != ssStandard && splitterWidth_ < 6) SetSplitterWidth(6);
  Invalidate();
}

void TFcSplitter::SetSplitterWidth(WORD value) {
  if (value == splitterWidth_) return;
  splitterWidth_ = value;
  if (orientation_ == orVertical)
    barRect_.bottom = barRect_.top + value;
  else
    barRect_.right = barRect_.left + value;
  LayoutPanes();
  Invalidate();
}

void TFcSplitter::SetUseGradients(bool value) {
  if (StoreChanged(useGradients_, value)) Invalidate();
}

void TFcSplitter::SetGradientColorAdjustment(int value) {
  if (StoreChanged(gradientColorAdjustment_, value)) Invalidate();
}

void TFcSplitter::SetGradientPath(TFcGroupBarGradientPath value) {
  if (StoreChanged(gradientPath_, value)) Invalidate();
}

void TFcSplitter::SetHotSpotVisible(bool value) {
  if (value == hotSpotVisible_) return;
  hotSpotVisible_ = value;
  if (value && splitterWidth_ < 7) SetSplitterWidth(7);
  Invalidate();
}

void TFcSplitter::SetHotSpotDirection(THotSpotDirection value) {
  if (StoreChanged(hotSpotDirection_, value)) Invalidate();
}

void TFcSplitter::SetHotSpotHighlight(TColor value) {
  if (StoreChanged(hotSpotHighlight_, value)) Invalidate();
}

void TFcSplitter::SetHotSpotSizePercent(int value) {
  if (value == hotSpotSizePercent_) return;
  hotSpotSizePercent_ = value;
  UpdateHotSpotRect();
  Invalidate();
}

// ---- Panel settings that move the panes -------------------------------------------------------------

void TFcSplitter::SetParentColor(bool value) {
  TFcCustomPanel::SetParentColor(value);
  for (TFcSplitterPane* pane : panes_) pane->SetParentColor(value);
}

void TFcSplitter::SetTransparent(bool value) {
  TFcCustomPanel::SetTransparent(value);
  for (TFcSplitterPane* pane : panes_) pane->SetTransparent(value);
}

void TFcSplitter::SetBorderOuter(TFrameStyleEx value) {
  TFcCustomPanel::SetBorderOuter(value);
  LayoutPanes();
}

void TFcSplitter::SetBorderInner(TFrameStyleEx value) {
  TFcCustomPanel::SetBorderInner(value);
  LayoutPanes();
}

void TFcSplitter::SetBorderSides(TSides value) {
  TFcCustomPanel::SetBorderSides(value);
  LayoutPanes();
}

void TFcSplitter::SetBorderWidth(int value) {
  TFcCustomPanel::SetBorderWidth(value);
  LayoutPanes();
}

RECT TFcSplitter::GetClientRect() {
  RECT r = TFcCustomPanel::GetClientRect();
  if (DockSite()) return r;
  return AdjustRectForBorders(r, true);
}

void TFcSplitter::AlignControls(TControl* control, RECT& rect) {
  if (ComponentState().Contains(csLoading) || splittersLoading > 0) return;
  TFcCustomPanel::AlignControls(control, rect);
}

// ---- Layout -----------------------------------------------------------------------------------------

void TFcSplitter::LayoutPanes() {
  if (!panes_[0] || !panes_[1] || ComponentState().Contains(csLoading)) return;
  DisableAlign();
  TScopeExit enable([this] { EnableAlign(); });
  RECT c = GetClientRect();
  const int L = c.left, T = c.top;
  const int W = std::max<int>(0, c.right - c.left), H = std::max<int>(0, c.bottom - c.top);
  const bool first = panes_[0]->Visible(), second = panes_[1]->Visible();
  const int P = position_, SW = splitterWidth_;
  TFcSplitterPane* upper = panes_[0];
  TFcSplitterPane* lower = panes_[1];
  if (orientation_ == orVertical) {
    if (first && second)
      upper->SetBounds(L, T, W, std::max(0, P));
    else if (first)
      upper->SetBounds(L, T, W, H);
    else
      upper->SetBounds(L, T, W, 0);
    barRect_ = first && second ? RECT{L, T + P, L + W, T + P + SW} : RECT{L, T, L, T};
    UpdateHotSpotRect();
    if (second && !first)
      lower->SetBounds(L, T, W, H);
    else if (second)
      lower->SetBounds(L, T + P + SW, W, std::max(0, H - P - SW));
    else
      lower->SetBounds(L, T, W, 0);
  } else {
    if (first && second)
      upper->SetBounds(L, T, std::max(0, P), H);
    else if (first)
      upper->SetBounds(L, T, W, H);
    else
      upper->SetBounds(L, T, 0, H);
    barRect_ = first && second ? RECT{L + P, T, L + P + SW, T + H} : RECT{L, T, L, T};
    UpdateHotSpotRect();
    if (second && !first)
      lower->SetBounds(L, T, W, H);
    else if (second)
      lower->SetBounds(L + P + SW, T, std::max(0, W - P - SW), H);
    else
      lower->SetBounds(L, T, 0, H);
  }
  for (TFcSplitterPane* pane : panes_)
    for (int i = 0; i < pane->ControlCount(); ++i)
      if (auto* inner = dynamic_cast<TFcSplitter*>(pane->Controls(i))) inner->LayoutPanes();
  if (realTimeDrag_) {
    upper->Update();
    lower->Update();
  }
  DrawSplitterBar();
}

void TFcSplitter::UpdateHotSpotRect() {
  const bool across = orientation_ == orHorizontal;  // a vertical bar: its length runs down
  const int start = across ? barRect_.top : barRect_.left;
  const int length = across ? barRect_.bottom - barRect_.top : barRect_.right - barRect_.left;
  const int centre = start + length / 2;
  const int half = RoundPercent(hotSpotSizePercent_ / 100.0 * length) / 2;
  if (across)
    hotSpotRect_ = RECT{barRect_.left, centre - half, barRect_.right, centre + half};
  else
    hotSpotRect_ = RECT{centre - half, barRect_.top, centre + half, barRect_.bottom};
}

void TFcSplitter::ShowControl(TFcSplitterPane* pane) {
  if (pane->Visible()) return;
  TForm* form = GetParentForm(this);
  TWinControl* active = form ? form->ActiveControl() : nullptr;
  if (active && ContainsControl(active) && CanFocus()) form->SetActiveControl(this);
  pane->SetVisibleNow(true);
  // While a pane was hidden the position went unlimited; the splitter may have shrunk since.
  if (!BothPanesVisible() || hotSpotClosed_) return;
  int p = position_;
  CheckPosition(p);
  const int room = Size() - splitterWidth_ - 2 * BorderSize();
  // A pane that would come back without any width (or leave the other none) gets half the room.
  if ((p <= 0 || p >= room) && room > 1) {
    p = room / 2;
    CheckPosition(p);
  }
  if (p != position_) SetPosition(p);
}

void TFcSplitter::Resize() {
  if (!panes_[0] || ComponentState().Contains(csWriting) || ComponentState().Contains(csDestroying)) {
    TFcCustomPanel::Resize();
    return;
  }
  {
    TRestore<bool> resizing(resizing_, true);
    const int size = Size();
    if (fixedPane_ == fpUpperLeft && usePercent_) {
      int room = PercentRoom();
      marginMin_ = RoundPercent(percentMin_ / 100.0 * room);
      marginMax_ = room - RoundPercent(percentMax_ / 100.0 * room);
      if (!hotSpotClosed_)
        SetPosition(RoundPercent(percent_ / 100.0 * room));
      else
        SetPosition(closedToMin_ ? 0 : room);
    } else if (fixedPane_ == fpUpperLeft) {
      SetPosition(position_);
      if (position_ < rememberedPosition_ && !hotSpotClosed_) SetPosition(rememberedPosition_);
    } else if (!usePercent_) {
      SetPosition(size - fixedSize_);
      if (position_ < size - rememberedPosition_ && !hotSpotClosed_) SetPosition(size - rememberedPosition_);
      if (hotSpotClosed_) hotSpotPosition_ = size - rememberedPosition_;
    } else {
      // A share set after the lower pane was fixed: the bar stays, as far as it still fits.
      SetPosition(position_);
    }
  }
  LayoutPanes();
  TFcCustomPanel::Resize();
}

void TFcSplitter::Loaded() {
  ++splittersLoading;
  TScopeExit done([] { --splittersLoading; });
  TFcCustomPanel::Loaded();
  TForm* form = dynamic_cast<TForm*>(Owner());
  TWinControl* active = form ? form->ActiveControl() : nullptr;
  int p = position_;
  CheckPosition(p);
  position_ = p;
  int room = PercentRoom();
  if (!usePercent_) percent_ = room <= 0 ? 0 : RoundPercent(100.0 * p / room);
  RememberPosition(position_);
  SaveFixedSize();
  LayoutPanes();
  DisableAlign();
  {
    TScopeExit enable([this] { EnableAlign(); });
    for (int i = 0; i < 2; ++i) {
      for (const std::string& name : names_[i]) {
        auto* control = Owner() ? dynamic_cast<TControl*>(Owner()->FindComponent(name)) : nullptr;
        if (control && control != panes_[i]) control->SetParent(panes_[i]);
      }
      // The tab order follows the order the names were stored in.
      int order = 0;
      for (const std::string& name : names_[i])
        if (auto* win = Owner() ? dynamic_cast<TWinControl*>(Owner()->FindComponent(name)) : nullptr)
          if (win->Parent() == panes_[i]) win->SetTabOrder(order++);
    }
  }
  if (form && form->ActiveControl() != active && active && active->CanFocus()) form->SetActiveControl(active);
}

// ---- Events -----------------------------------------------------------------------------------------

void TFcSplitter::DoChange() {
  if (OnChange) OnChange(this);
}

bool TFcSplitter::DoChanging(int position) {
  bool allow = true;
  if (OnChanging) OnChanging(this, position, allow);
  return allow;
}

void TFcSplitter::DoHotSpotClick() {
  if (OnHotSpotClick) OnHotSpotClick(this);
}

void TFcSplitter::ResetHotSpot() {
  hotSpotClosed_ = false;
  closedToMin_ = false;
  closedToMax_ = false;
}

// ---- Dragging ----------------------------------------------------------------------------------------

bool TFcSplitter::InVisibleHotSpot(POINT p) const { return hotSpotVisible_ && PtInRect(&hotSpotRect_, p); }

void TFcSplitter::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TFcCustomPanel::MouseDown(button, shift, x, y);
  POINT p{x, y};
  if (button != mbLeft || !PtInRect(&barRect_, p)) return;
  bool inHotSpot = InVisibleHotSpot(p);
  if (!inHotSpot && lockBar_) return;
  if (!ComponentState().Contains(csDesigning) && !realTimeDrag_ && CanFocus()) SetFocus();
  if (!MouseCapture()) SetMouseCapture(true);
  dragging_ = true;
  if (inHotSpot) hotSpotPressed_ = true;
  dragOffset_ = Along(x, y) - Size() / 2;
  dragStartPosition_ = position_;
  DrawDragBar(position_);
  lastDrawnPosition_ = position_;
}

void TFcSplitter::MouseMove(TShiftState shift, int x, int y) {
  TFcCustomPanel::MouseMove(shift, x, y);
  if (!dragging_ || (hotSpotPressed_ && lockBar_)) return;
  int p = Along(x, y) + dragStartPosition_ - Size() / 2 - dragOffset_;
  CheckPosition(p);
  if (!DoChanging(p)) return;
  if (p != lastDrawnPosition_) {
    ResetHotSpot();
    hotSpotPressed_ = false;
    DrawDragBar(lastDrawnPosition_);
    DrawDragBar(p);
    if (realTimeDrag_) MovePosition(p);
  }
  lastDrawnPosition_ = p;
}

void TFcSplitter::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TFcCustomPanel::MouseUp(button, shift, x, y);
  if (!((dragging_ && button == mbLeft) || hotSpotPressed_)) return;
  bool wasDragging = dragging_;
  dragging_ = false;
  if (MouseCapture()) SetMouseCapture(false);
  if (wasDragging && !realTimeDrag_) {
    DrawDragBar(lastDrawnPosition_);
    MovePosition(lastDrawnPosition_);
  }
  if (!hotSpotPressed_) return;
  hotSpotPressed_ = false;
  ToggleHotSpot(POINT{x, y});
}

void TFcSplitter::ToggleHotSpot(POINT release) {
  if (!PtInRect(&hotSpotRect_, release)) return;
  if (hotSpotClosed_) {
    ResetHotSpot();
    MovePosition(hotSpotPosition_);
  } else {
    hotSpotPosition_ = position_;
    hotSpotClosed_ = true;
    bool firstHalf = orientation_ == orHorizontal
                         ? release.y < (hotSpotRect_.top + hotSpotRect_.bottom) / 2
                         : release.x < (hotSpotRect_.left + hotSpotRect_.right) / 2;
    if (hotSpotDirection_ == hsdMin || (hotSpotDirection_ == hsdBoth && firstHalf)) {
      closedToMin_ = true;
      SetPosition(0);
    } else {
      closedToMax_ = true;
      SetPosition(INT_MAX);
    }
  }
  Invalidate();
  DoHotSpotClick();
}

void TFcSplitter::KeyDown(WORD& key, TShiftState shift) {
  TFcCustomPanel::KeyDown(key, shift);
  if (key == VK_ESCAPE && dragging_) CancelDrag();
}

void TFcSplitter::CancelDrag() {
  if (!dragging_) return;
  dragging_ = false;
  // A hot spot pressed at the start of the drag is not clicked by a later release.
  hotSpotPressed_ = false;
  if (MouseCapture()) SetMouseCapture(false);
  if (!realTimeDrag_) DrawDragBar(lastDrawnPosition_);
  RememberPosition(position_);
}

void TFcSplitter::WMGetDlgCode(TMessage& m) {
  // While the bar is dragged, Escape is the drag's, not the form's Cancel button's.
  if (dragging_) {
    m.Result = DLGC_WANTALLKEYS;
    return;
  }
  Inherited(m);
}

void TFcSplitter::WMCaptureChanged(TWMCaptureChanged& m) {
  // Letting go of the button gives the capture back before MouseUp; losing it while the button
  // is still down (to another window, a message box) ends the drag where it started.
  if (controlState_.Contains(csLButtonDown) && m.NewCapture != Handle()) CancelDrag();
  Inherited(m);
}

void TFcSplitter::WMCancelMode(TMessage& m) {
  CancelDrag();
  Inherited(m);
}

// ---- Stored layouts ---------------------------------------------------------------------------------

std::vector<TValue> TFcSplitter::BarSizeValues() const {
  return {TValue::Integer(barRect_.left), TValue::Integer(barRect_.top), TValue::Integer(barRect_.right),
          TValue::Integer(barRect_.bottom)};
}

void TFcSplitter::ReadBarSize(const TValue& value) {
  const auto& items = value.AsList();
  if (items.size() != 4) throw EPropertyConvertError("expected the four edges of the bar");
  barRect_ = RECT{static_cast<LONG>(items[0].AsInteger()), static_cast<LONG>(items[1].AsInteger()),
                  static_cast<LONG>(items[2].AsInteger()), static_cast<LONG>(items[3].AsInteger())};
  UpdateHotSpotRect();
}

std::vector<std::string> TFcSplitter::PaneControlNames(int pane) const {
  std::vector<std::string> names;
  TFcSplitterPane* p = panes_[pane];
  for (int i = 0; i < p->ControlCount(); ++i) {
    TControl* child = p->Controls(i);
    if (child->Owner() == Owner() && !child->Name().empty()) names.push_back(child->Name());
  }
  return names;
}

void TFcSplitter::ReadPaneControlNames(int pane, const TValue& value) {
  names_[pane].clear();
  for (const TValue& item : value.AsList()) names_[pane].push_back(item.AsString());
}

void TFcSplitter::ReadHotSpotState(bool closed, bool toMin, bool toMax, int position) {
  hotSpotClosed_ = closed;
  closedToMin_ = toMin;
  closedToMax_ = toMax;
  hotSpotPosition_ = position;
}

// ---- Registration ------------------------------------------------------------------------------------

void RegisterFcSplit() {
  using D = TFcPaneData;
  RegisterClassInfo<D, TPersistent>("TFcPaneData")
      .Color("BorderColor", &D::BorderColor, &D::SetBorderColor, clBtnFace)
      .Enum("BorderInner", FrameStyleExInfo, &D::BorderInner, &D::SetBorderInner, fsNone)
      .Enum("BorderOuter", FrameStyleExInfo, &D::BorderOuter, &D::SetBorderOuter, fsNone)
      .Integer("BorderWidth", &D::BorderWidth, &D::SetBorderWidth, 0)
      .Color("Color", &D::Color, &D::SetColor, clBtnFace)
      .Color("FlatColor", &D::FlatColor, &D::SetFlatColor, clBtnShadow)
      .Integer("FlatColorAdjustment", &D::FlatColorAdjustment, &D::SetFlatColorAdjustment, 30)
      .Boolean("DockSite", &D::DockSite, &D::SetDockSite, false)
      .Boolean("ShowDockClientCaptions", &D::ShowDockClientCaptions, &D::SetShowDockClientCaptions, true)
      .Boolean("Visible", &D::Visible, &D::SetVisible, true);

  using P = TFcSplitterPane;
  RegisterClassInfo<P, TFcCustomPanel>("TFcSplitterPane")
      .Color("Color", &P::Color, &P::SetColor, clBtnFace)
      .Color("BorderColor", &P::BorderColor, &P::SetBorderColor, clBtnFace)
      .Enum("BorderInner", FrameStyleExInfo, &P::BorderInner, &P::SetBorderInner, fsNone)
      .Enum("BorderOuter", FrameStyleExInfo, &P::BorderOuter, &P::SetBorderOuter, fsNone)
      .Integer("BorderWidth", &P::BorderWidth, &P::SetBorderWidth, 0)
      .Color("FlatColor", &P::FlatColor, &P::SetFlatColor, clBtnShadow)
      .Integer("FlatColorAdjustment", &P::FlatColorAdjustment, &P::SetFlatColorAdjustment, 30)
      .Boolean("ShowDockClientCaptions", &P::ShowDockClientCaptions, &P::SetShowDockClientCaptions, true);

  using S = TFcSplitter;
  auto splitter = RegisterClassInfo<S, TFcCustomPanel>("TFcSplitter");
  splitter.Enum("BorderOuter", FrameStyleExInfo, &S::BorderOuter, &S::SetBorderOuter, fsNone)
      .Enum("BorderInner", FrameStyleExInfo, &S::BorderInner, &S::SetBorderInner, fsNone)
      .Set("BorderSides", SideInfo, &S::BorderSides, &S::SetBorderSides, sdAllSides)
      .Color("BorderColor", &S::BorderColor, &S::SetBorderColor, clBtnFace)
      .Color("BorderHighlight", &S::BorderHighlight, &S::SetBorderHighlight, clBtnHighlight)
      .Color("BorderShadow", &S::BorderShadow, &S::SetBorderShadow, clBtnShadow)
      .Integer("BorderWidth", &S::BorderWidth, &S::SetBorderWidth, 0)
      .Integer("BevelWidth", &S::BevelWidth, &S::SetBevelWidth, 1)
      .Color("Color", &S::Color, &S::SetColor, clBtnFace)
      .StoredIf([](S* s) { return !s->ParentColor(); })
      .Boolean("ParentColor", &S::ParentColor, &S::SetParentColor, false)
      .Color("FlatColor", &S::FlatColor, &S::SetFlatColor, clBtnShadow)
      .Integer("FlatColorAdjustment", &S::FlatColorAdjustment, &S::SetFlatColorAdjustment, 30)
      .Boolean("FullRepaint", &S::FullRepaint, &S::SetFullRepaint, true)
      .Boolean("Locked", &S::Locked, &S::SetLocked, false)
      .Boolean("ThemeAware", &S::ThemeAware, &S::SetThemeAware, true)
      .Boolean("Transparent", &S::Transparent, &S::SetTransparent, false)
      .Integer("Width", &S::Width, &S::SetWidth, 200)
      .Integer("Height", &S::Height, &S::SetHeight, 100)
      .Integer("Position", &S::Position, &S::SetPosition)
      .Integer("Percent", &S::Percent, &S::SetPercent, 50)
      .Boolean("UsePercent", &S::UsePercent, &S::SetUsePercent, false)
      .Integer("PercentMin", &S::PercentMin, &S::SetPercentMin, 0)
      .Integer("PercentMax", &S::PercentMax, &S::SetPercentMax, 100)
      .Integer("MarginMin", &S::MarginMin, &S::SetMarginMin, 0)
      .Integer("MarginMax", &S::MarginMax, &S::SetMarginMax, 0)
      .Enum("FixedPane", FixedPaneInfo, &S::FixedPane, &S::SetFixedPane, fpUpperLeft)
      .Enum("Orientation", OrientationInfo, &S::Orientation, &S::SetOrientation, orHorizontal)
      .Enum("SplitterStyle", SplitterStyleInfo, &S::SplitterStyle, &S::SetSplitterStyle, ssStandard)
      .Integer("SplitterWidth", &S::SplitterWidth, &S::SetSplitterWidth, 4)
      .Boolean("UseGradients", &S::UseGradients, &S::SetUseGradients, true)
      .Integer("GradientColorAdjustment", &S::GradientColorAdjustment, &S::SetGradientColorAdjustment, 30)
      .Enum("GradientPath", GroupBarGradientPathInfo, &S::GradientPath, &S::SetGradientPath, gpTopToBottom)
      .Boolean("LockBar", &S::LockBar, &S::SetLockBar, false)
      .Boolean("RealTimeDrag", &S::RealTimeDrag, &S::SetRealTimeDrag, false)
      .Boolean("HotSpotVisible", &S::HotSpotVisible, &S::SetHotSpotVisible, false)
      .Enum("HotSpotDirection", HotSpotDirectionInfo, &S::HotSpotDirection, &S::SetHotSpotDirection, hsdMin)
      .Color("HotSpotHighlight", &S::HotSpotHighlight, &S::SetHotSpotHighlight, clWindow)
      .Integer("HotSpotSizePercent", &S::HotSpotSizePercent, &S::SetHotSpotSizePercent, 40)
      .Boolean("HotSpotIgnoreMargins", &S::HotSpotIgnoreMargins, &S::SetHotSpotIgnoreMargins, true)
      .Enum("SelectedPane", SelectedPaneInfo, &S::SelectedPane, &S::SetSelectedPane, spUpperLeft)
      .StoredIf([](S*) { return false; })
      .Object("UpperLeft", &S::UpperLeft)
      .Object("LowerRight", &S::LowerRight)
      .Event("OnChange", &S::OnChange)
      .Event("OnChanging", &S::OnChanging)
      .Event("OnHotSpotClick", &S::OnHotSpotClick)
      .Event("OnULGetSiteInfo", &S::OnULGetSiteInfo)
      .Event("OnULDockOver", &S::OnULDockOver)
      .Event("OnULDockDrop", &S::OnULDockDrop)
      .Event("OnULUnDock", &S::OnULUnDock)
      .Event("OnLRGetSiteInfo", &S::OnLRGetSiteInfo)
      .Event("OnLRDockOver", &S::OnLRDockOver)
      .Event("OnLRDockDrop", &S::OnLRDockDrop)
      .Event("OnLRUnDock", &S::OnLRUnDock)
      .Extra("BarSize", tkList, [](S* s, const TValue& v) { s->ReadBarSize(v); },
             [](S* s) -> std::optional<TValue> { return TValue::List(s->BarSizeValues()); })
      .Extra("HotSpotClosed", tkBoolean,
             [](S* s, const TValue& v) {
               s->ReadHotSpotState(v.AsBoolean(), s->HotSpotClosedToMin(), s->HotSpotClosedToMax(),
                                   s->HotSpotPosition());
             },
             [](S* s) -> std::optional<TValue> {
               if (!s->HotSpotClosed()) return std::nullopt;
               return TValue::Boolean(true);
             })
      .Extra("HotSpotClosedToMin", tkBoolean,
             [](S* s, const TValue& v) {
               s->ReadHotSpotState(s->HotSpotClosed(), v.AsBoolean(), s->HotSpotClosedToMax(), s->HotSpotPosition());
             },
             [](S* s) -> std::optional<TValue> {
               if (!s->HotSpotClosed()) return std::nullopt;
               return TValue::Boolean(s->HotSpotClosedToMin());
             })
      .Extra("HotSpotClosedToMax", tkBoolean,
             [](S* s, const TValue& v) {
               s->ReadHotSpotState(s->HotSpotClosed(), s->HotSpotClosedToMin(), v.AsBoolean(), s->HotSpotPosition());
             },
             [](S* s) -> std::optional<TValue> {
               if (!s->HotSpotClosed()) return std::nullopt;
               return TValue::Boolean(s->HotSpotClosedToMax());
             })
      .Extra("HotSpotPosition", tkInteger,
             [](S* s, const TValue& v) {
               s->ReadHotSpotState(s->HotSpotClosed(), s->HotSpotClosedToMin(), s->HotSpotClosedToMax(),
                                   static_cast<int>(v.AsInteger()));
             },
             [](S* s) -> std::optional<TValue> {
               if (!s->HotSpotClosed()) return std::nullopt;
               return TValue::Integer(s->HotSpotPosition());
             })
      .Extra("UpperLeftControls", tkList, [](S* s, const TValue& v) { s->ReadPaneControlNames(0, v); },
             [](S* s) -> std::optional<TValue> {
               std::vector<TValue> names;
               for (const std::string& n : s->PaneControlNames(0)) names.push_back(TValue::Ident(n));
               return TValue::List(std::move(names));
             })
      .Extra("LowerRightControls", tkList, [](S* s, const TValue& v) { s->ReadPaneControlNames(1, v); },
             [](S* s) -> std::optional<TValue> {
               std::vector<TValue> names;
               for (const std::string& n : s->PaneControlNames(1)) names.push_back(TValue::Ident(n));
               return TValue::List(std::move(names));
             })
      .Obsolete("PositionMin", tkInteger)
      .Obsolete("PositionMax", tkInteger);
}
