// The tab control's selection, scrolling, the scroller and close button it places, the
// mouse (selection, dragging tabs, hot tracking and tab hints), keys and accelerators (see
// FcTabs.h).
#include <algorithm>

#include "controls/FcTabs.h"
#include "platform/Forms.h"
#include "platform/Hints.h"

namespace {

constexpr UINT_PTR kHotTimerId = 1;
constexpr UINT kHotTimerInterval = 60;

bool Horizontal(TFcTabOrientation o) { return o == toTop || o == toBottom; }

}  // namespace

// ---- Selection --------------------------------------------------------------------------------

bool TFcCustomTabControl::CanSelectTab(int index) {
  if (index < 0 || index >= tabs_->Count()) return false;
  TFcTabData* tab = tabs_->Items(index);
  if (!tab->Visible || (!tab->Enabled && !ComponentState().Contains(csDesigning))) return false;
  if (index == tabIndex_) return true;
  bool allow = true;
  DoChanging(index, allow);
  return allow;
}

void TFcCustomTabControl::SetTabIndexTo(int value, bool forced) {
  if (ComponentState().Contains(csLoading) || ComponentState().Contains(csReading)) {
    tabIndex_ = value;
    return;
  }
  if (value < 0 || value >= tabs_->Count()) {
    tabIndex_ = -1;
    Invalidate();
    if (closeButton_) closeButton_->SetActive(false);
    return;
  }
  bool changed = value != tabIndex_;
  if (changed && !forced && !CanSelectTab(value)) return;
  tabIndex_ = value;
  bool scrolled = false;
  if (!layoutStale_) {
    if (!scrollerNeeded_) {
      if (multiLine_) MoveSelectedRowToFront(*tabs_, rowCount_, value);
    } else if (value < firstVisibleTab_) {
      firstVisibleTab_ = value;
      scrolled = true;
    } else {
      while (firstVisibleTab_ < value && !FullyShownFrom(value, firstVisibleTab_)) {
        int next = firstVisibleTab_ + 1;
        while (next < value && !tabs_->Items(next)->Visible) ++next;
        firstVisibleTab_ = next;
        scrolled = true;
      }
    }
  }
  if (changed || scrolled) {
    Invalidate();
    UpdateScroller();
  }
  if (closeButton_) closeButton_->SetActive(true);
  if (changed) DoChange();
}

void TFcCustomTabControl::SelectTabByUser(int index, bool forced) {
  SetTabIndexTo(index, forced);
  if (tabIndex_ == index) DoTabClick();
}

void TFcCustomTabControl::DoChanging(int newIndex, bool& allowChange) {
  if (OnChanging) OnChanging(this, newIndex, allowChange);
}

void TFcCustomTabControl::DoChange() {
  if (OnChange) OnChange(this);
}

void TFcCustomTabControl::DoTabClick() {
  if (OnTabClick) OnTabClick(this);
}

void TFcCustomTabControl::LayoutChanged() { LayoutSetting(); }

void TFcCustomTabControl::InvalidateTabs() {
  hotRepaint_ = false;
  Invalidate();
}

// ---- Scrolling, scroller and close button ----------------------------------------------------

bool TFcCustomTabControl::ForwardIsUpRight() const {
  return tabSequence_ == tsStandard ? tabOrientation_ != toRight : tabOrientation_ == toRight;
}

bool TFcCustomTabControl::CanScrollForward() {
  EnsureLayout();
  int last = LastShownIndex();
  return scrollerNeeded_ && firstVisibleTab_ >= 0 && firstVisibleTab_ != tabs_->Count() - 1 && last >= 0 &&
         !IsTabFullyShown(last);
}

bool TFcCustomTabControl::CanScrollBackward() {
  EnsureLayout();
  int first = FirstShownIndex();
  return scrollerNeeded_ && firstVisibleTab_ > 0 && first >= 0 && !IsTabFullyShown(first);
}

bool TFcCustomTabControl::ScrollForward() { return Scroll(true); }
bool TFcCustomTabControl::ScrollBackward() { return Scroll(false); }

bool TFcCustomTabControl::Scroll(bool forward) {
  if (!(forward ? CanScrollForward() : CanScrollBackward())) return false;
  // The next tab in that direction that shows whole when the strip starts with it.
  int step = forward ? 1 : -1;
  for (int c = firstVisibleTab_ + step; c >= 0 && c < tabs_->Count(); c += step)
    if (FullyShownFrom(c, c)) {
      firstVisibleTab_ = c;
      Invalidate();
      UpdateScroller();
      return true;
    }
  return false;
}

TFcTabScroller* TFcCustomTabControl::NeedScroller() {
  if (!scroller_) {
    scroller_ = new TFcTabScroller(this);
    scroller_->SetVisible(false);
    scroller_->SetFrameColor(OutlineColor());
    scroller_->SetOrientation(Horizontal(tabOrientation_) ? orHorizontal : orVertical);
    scroller_->OnUpRightClick = [this](TObject*) { ForwardIsUpRight() ? ScrollForward() : ScrollBackward(); };
    scroller_->OnDownLeftClick = [this](TObject*) { ForwardIsUpRight() ? ScrollBackward() : ScrollForward(); };
    scroller_->SetParent(this);
  }
  return scroller_;
}

TFcTabCloseButton* TFcCustomTabControl::NeedCloseButton() {
  if (!closeButton_) {
    closeButton_ = new TFcTabCloseButton(this);
    closeButton_->SetVisible(false);
    closeButton_->SetFrameColor(OutlineColor());
    closeButton_->SetActive(tabIndex_ >= 0);
    closeButton_->OnClose = [this](TObject*) { CloseButtonClick(); };
    closeButton_->SetParent(this);
  }
  return closeButton_;
}

void TFcCustomTabControl::CloseButtonClick() {
  if (tabIndex_ < 0) return;
  bool allow = false;
  if (OnClose) OnClose(this, allow);
  if (allow) CloseActiveTab();
}

void TFcCustomTabControl::UpdateScroller() {
  if (!scroller_) return;
  bool forward = CanScrollForward(), backward = CanScrollBackward();
  if (ForwardIsUpRight())
    scroller_->SetEnabledHalves(forward, backward);
  else
    scroller_->SetEnabledHalves(backward, forward);
}

void TFcCustomTabControl::PlaceButtons() {
  bool scroll = scrollerNeeded_;
  if (!scroll && !showCloseButton_) {
    if (scroller_) scroller_->SetVisible(false);
    return;
  }
  int s = ScrollButtonSize();
  RECT area = TabAreaRect();
  // Along the strip the buttons sit at the end away from the first tab (the close button
  // last); across it, 2 pixels off the card.
  bool atMax = tabSequence_ == tsStandard ? tabOrientation_ != toLeft : tabOrientation_ == toLeft;
  auto place = [&](TWinControl* button, int from, int length) {
    RECT r{};
    if (Horizontal(tabOrientation_)) {
      int left = atMax ? area.right - from - length : area.left + from;
      int top = tabOrientation_ == toTop ? area.bottom - 2 - s : area.top + 2;
      r = RECT{left, top, left + length, top + s};
    } else {
      int top = atMax ? area.bottom - from - length : area.top + from;
      int left = tabOrientation_ == toLeft ? area.right - 2 - s : area.left + 2;
      r = RECT{left, top, left + s, top + length};
    }
    button->SetBoundsRect(r);
  };
  int closeRoom = 0;
  if (showCloseButton_) {
    place(NeedCloseButton(), 0, s);
    closeButton_->SetVisible(showTabs_);
    closeButton_->SetActive(tabIndex_ >= 0);
    closeRoom = s;
  }
  if (scroll) {
    place(NeedScroller(), closeRoom, 2 * s - 1);
    scroller_->SetVisible(true);
    UpdateScroller();
  } else if (scroller_) {
    scroller_->SetVisible(false);
  }
}

// ---- Mouse ------------------------------------------------------------------------------------

void TFcCustomTabControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  if (button != mbLeft || (!Enabled() && !ComponentState().Contains(csDesigning))) return;
  int index = TabAtPos(x, y);
  if (index < 0 || !tabs_->Items(index)->Enabled) return;
  if (index == tabIndex_ && TabStop() && !ComponentState().Contains(csDesigning)) {
    if (!CanFocus()) return;
    SetFocus();
    if (!Focused()) return;
  }
  SetTabIndex(index);
  if (tabIndex_ != index) return;
  DoTabClick();
  if (allowTabDragging_) {
    dragPending_ = true;
    dragStart_ = POINT{x, y};
  }
}

void TFcCustomTabControl::MouseMove(TShiftState shift, int x, int y) {
  TCustomControl::MouseMove(shift, x, y);
  if (dragPending_ && shift.Contains(ssLeft)) {
    if (!dragging_ && (std::abs(x - dragStart_.x) >= GetSystemMetrics(SM_CXDRAG) ||
                       std::abs(y - dragStart_.y) >= GetSystemMetrics(SM_CYDRAG)))
      dragging_ = true;
    if (dragging_) {
      int target = TabAtPos(x, y);
      if (target == tabIndex_) target = -1;
      if (target != dropTarget_) {
        if (dropTarget_ >= 0) ShowDropMarker(dropTarget_);
        dropTarget_ = target;
        if (dropTarget_ >= 0) ShowDropMarker(dropTarget_);
      }
    }
  }
  if ((hotTrack_ || tabHints_) && !ComponentState().Contains(csDesigning)) TrackHot(POINT{x, y});
}

void TFcCustomTabControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseUp(button, shift, x, y);
  if (button != mbLeft) return;
  int target = dragging_ ? dropTarget_ : -1;
  CancelDrag();
  if (target >= 0) MoveActiveTab(target);
}

void TFcCustomTabControl::CancelDrag() {
  if (dropTarget_ >= 0) ShowDropMarker(dropTarget_);
  dropTarget_ = -1;
  dragPending_ = false;
  dragging_ = false;
}

void TFcCustomTabControl::WMCaptureChanged(TMessage& m) {
  // The release of the button gives the capture back before MouseUp; any other loss of it
  // while the button is down ends a drag.
  if (controlState_.Contains(csLButtonDown)) CancelDrag();
  Inherited(m);
}

void TFcCustomTabControl::InvalidateTabArea() {
  if (!HandleAllocated()) return;
  hotRepaint_ = true;
  RECT area = TabAreaRect();
  area.right += 1;
  area.bottom += 1;
  InvalidateRect(Handle(), &area, FALSE);
}

void TFcCustomTabControl::TrackHot(POINT p) {
  int index = TabAtPos(p.x, p.y);
  RECT area = TabAreaRect();
  bool inside = PtInRect(&area, p) != 0;
  if (index >= 0) {
    if (index == hotTab_) return;
    hotTab_ = index;
    if (hotTrack_) InvalidateTabArea();
    if (tabHints_) {
      Application->CancelHint();
      if (!tabs_->Items(index)->Hint.empty()) SetHint(tabs_->Items(index)->Hint);
    }
    if (!hotTimer_ && HandleAllocated()) hotTimer_ = SetTimer(Handle(), kHotTimerId, kHotTimerInterval, nullptr) != 0;
    return;
  }
  if (tabHints_ && (hotTab_ >= 0 || inside)) Application->CancelHint();
  EndHotTracking(inside);
}

void TFcCustomTabControl::EndHotTracking(bool insideArea) {
  StopHotTimer();
  bool wasHot = hotTab_ >= 0;
  hotTab_ = -1;
  if (wasHot) InvalidateTabArea();
  // Only tab hints lend the control another hint; between tabs it has none.
  if (tabHints_) SetHint(insideArea ? std::string() : savedHint_);
}

void TFcCustomTabControl::StopHotTimer() {
  if (hotTimer_ && HandleAllocated()) KillTimer(Handle(), kHotTimerId);
  hotTimer_ = false;
}

void TFcCustomTabControl::WMTimer(TWMTimer& m) {
  if (m.TimerId != kHotTimerId) {
    Inherited(m);
    return;
  }
  POINT p{};
  GetCursorPos(&p);
  p = ScreenToClient(p);
  if (TabAtPos(p.x, p.y) < 0) {
    RECT area = TabAreaRect();
    EndHotTracking(PtInRect(&area, p) != 0);
  }
}

// ---- Keys and messages ------------------------------------------------------------------------

void TFcCustomTabControl::KeyDown(WORD& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  int count = tabs_->Count();
  if (key == 0 || count == 0) return;
  bool reverse = tabSequence_ == tsReverse;
  auto step = [&](bool forward) {
    int i = tabIndex_;
    for (int k = 0; k < count; ++k) {
      i = forward ? (i + 1) % count : (i <= 0 ? count - 1 : i - 1);
      if (i == tabIndex_) return;
      if (CanSelectTab(i)) {
        SelectTabByUser(i, true);
        return;
      }
    }
  };
  switch (key) {
    case VK_HOME:
      for (int i = 0; i < count && i != tabIndex_; ++i)
        if (CanSelectTab(i)) {
          SelectTabByUser(i, true);
          break;
        }
      break;
    case VK_END:
      for (int i = count - 1; i >= 0 && i != tabIndex_; --i)
        if (CanSelectTab(i)) {
          SelectTabByUser(i, true);
          break;
        }
      break;
    case VK_RIGHT:
    case VK_DOWN: step(!reverse); break;
    case VK_LEFT:
    case VK_UP: step(reverse); break;
    default: break;
  }
}

void TFcCustomTabControl::CMDialogChar(TWMKey& m) {
  char ch = static_cast<char>(m.CharCode);
  if (CanFocus() && showTabs_) {
    for (int i = 0; i < tabs_->Count(); ++i) {
      TFcTabData* tab = tabs_->Items(i);
      if (!tab->Visible || !tab->Enabled || !IsAccel(ch, tab->Caption)) continue;
      SetFocus();
      SelectTabByUser(i, false);
      m.Result = 1;
      return;
    }
  }
  Inherited(m);
}

void TFcCustomTabControl::WMGetDlgCode(TMessage& m) { m.Result = DLGC_WANTARROWS; }

void TFcCustomTabControl::WMEraseBkgnd(TMessage& m) { m.Result = 1; }

void TFcCustomTabControl::WMSize(TMessage& m) {
  layoutStale_ = true;
  Inherited(m);
  Invalidate();
}

void TFcCustomTabControl::WMFocus(TMessage& m) {
  Inherited(m);
  Invalidate();
}

void TFcCustomTabControl::CMFontChanged(TMessage& m) {
  tabFont_->Assign(Font());
  FreeTabFonts();
  layoutStale_ = true;
  Inherited(m);
}

void TFcCustomTabControl::CMColorChanged(TMessage& m) {
  if (useColoredTabs_) {
    NotifyControls(CM_PARENTCOLORCHANGED);
    Invalidate();
    return;
  }
  Inherited(m);
  Invalidate();
}

void TFcCustomTabControl::CMParentColorChanged(TMessage& m) {
  Inherited(m);
  if (parentBackgroundColor_ && Parent()) {
    backgroundColor_ = Parent()->Color();
    Invalidate();
  }
}
