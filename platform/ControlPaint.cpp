// Painting of the windowed controls and their windowless children; TCustomControl and
// TGraphicControl (units of Controls.h).

#include "platform/Controls.h"

#include <algorithm>

#include "platform/ControlsPrivate.h"
#include "platform/Docking.h"
#include "platform/Forms.h"
#include "platform/Guards.h"
#include "platform/Themes.h"

using namespace ControlsPrivate;

// ---- Painting -------------------------------------------------------------------------------------

void TWinControl::WMPaint(TWMDC& m) {
  HDC given = m.DC;
  bool anyWindowless = std::any_of(controls_.begin(), controls_.end(),
                                   [](TControl* c) { return !c->windowed_; });
  if (!controlState_.Contains(csCustomPaint) && !anyWindowless) {
    if (given) PaintWindow(given);
    else Inherited(m);
    return;
  }
  if (given) {
    PaintHandler(given, nullptr);
    return;
  }
  TPaintDC dc(handle_);
  PaintHandler(dc, &dc.Paint().rcPaint);
}

void TWinControl::WMPrintClient(TWMPrint& m) {
  if ((m.Flags & PRF_CHECKVISIBLE) && !Visible()) {
    Inherited(m);
    return;
  }
  PaintHandler(m.DC, nullptr);
}

void TWinControl::PaintTo(HDC dc, int x, int y) {
  TSavedDC saved(dc);
  OffsetViewportOrgEx(dc, x, y, nullptr);
  RECT client = GetClientRect();
  IntersectClipRect(dc, 0, 0, client.right, client.bottom);
  Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  Perform(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  for (TControl* c : std::vector<TControl*>(controls_))
    if (c->windowed_ && c->visible_) {
      auto* w = static_cast<TWinControl*>(c);
      POINT origin{0, 0};
      if (w->handle_ && handle_) MapWindowPoints(w->handle_, handle_, &origin, 1);
      else origin = POINT{w->Left(), w->Top()};
      w->PaintTo(dc, origin.x, origin.y);
    }
}

void TWinControl::PaintHandler(HDC dc, const RECT*) {
  {
    TSavedDC saved(dc);
    for (TControl* c : controls_)
      if (!c->windowed_ && c->visible_ && c->controlStyle_.Contains(csOpaque))
        ExcludeClipRect(dc, c->left_, c->top_, c->left_ + c->width_, c->top_ + c->height_);
    PaintWindow(dc);
  }
  PaintControls(dc, nullptr);
  if (dockManager_) dockManager_->PaintSite(dc);
}

void TWinControl::PaintWindow(HDC dc) {
  // A system class draws itself into the given context. The system's default handling of a
  // window of our own class would not: it begins and ends a paint of the window itself, which
  // only marks the window as painted and loses what was waiting to be painted (a child that
  // paints its parent behind itself would otherwise leave the parent's windowless controls
  // unpainted).
  if (defWndProc_ == DefWindowProcA) return;
  TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
  DefaultHandler(m);
}

void TWinControl::PaintControls(HDC dc, TControl* first) {
  auto it = controls_.begin();
  if (first) it = std::find(controls_.begin(), controls_.end(), first);
  std::vector<TControl*> list(it, controls_.end());
  for (TControl* c : list) {
    if (c->windowed_ || !c->visible_) continue;
    RECT r = c->BoundsRect();
    if (!RectVisible(dc, &r)) continue;
    TSavedDC saved(dc);
    OffsetViewportOrgEx(dc, c->left_, c->top_, nullptr);
    IntersectClipRect(dc, 0, 0, c->width_, c->height_);
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  }
}

void TWinControl::WMEraseBkgnd(TWMDC& m) {
  HDC dc = m.DC;
  if (controlStyle_.Contains(csParentBackground) && parent_ && ThemeServicesEnabled()) {
    Themes::DrawThemeParentBackground(handle_, dc, nullptr);
  } else {
    RECT r = GetClientRect();
    FillRect(dc, &r, brush_->Handle());
  }
  m.Result = 1;
}

void TWinControl::WMSetCursor(TWMSetCursor& m) {
  if (m.CursorWnd == handle_) {
    TCursor cursor = Screen->Cursor();
    if (cursor == crDefault) {
      POINT p;
      GetCursorPos(&p);
      ::ScreenToClient(handle_, &p);
      TControl* control = ControlAtPos(p, false);
      if (control) cursor = control->Cursor();
      if (cursor == crDefault && m.HitTest == HTCLIENT) cursor = Cursor();
    }
    if (cursor != crDefault) {
      ::SetCursor(Screen->Cursors(cursor));
      m.Result = 1;
      return;
    }
  }
  Inherited(m);
}

void TWinControl::WMSysColorChange(TMessage& m) {
  NotifyControls(CM_SYSCOLORCHANGE);
  Inherited(m);
}

// ---- TCustomControl and TGraphicControl ----------------------------------------------------------

TCustomControl::TCustomControl(TComponent* owner)
    : TWinControl(owner), canvas_(std::make_unique<TControlCanvas>(this)) {
  controlState_ += csCustomPaint;
}

TCustomControl::~TCustomControl() {
  Destroying();
  canvas_->FreeHandle();
  // The window goes before the canvas does, so no paint can reach a canvas that is gone.
  DestroyHandle();
}

void TCustomControl::PaintWindow(HDC dc) {
  TPaintCanvas painting(canvas_.get(), dc);
  Paint();
}

void TCustomControl::DestroyWnd() {
  canvas_->FreeHandle();
  TWinControl::DestroyWnd();
}

TMessageTable& TGraphicControl::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(WM_PAINT, Handler(&TGraphicControl::WMPaint));
    return t;
  }();
  return *table;
}

TGraphicControl::TGraphicControl(TComponent* owner)
    : TControl(owner), canvas_(std::make_unique<TControlCanvas>(this)) {}

TGraphicControl::~TGraphicControl() {
  Destroying();
  canvas_->FreeHandle();
  // Leaves the parent now, while the canvas still exists, so nothing paints through it.
  SetParent(nullptr);
}

void TGraphicControl::WMPaint(TWMDC& m) {
  HDC dc = m.DC;
  if (!dc) return;
  TPaintCanvas painting(canvas_.get(), dc);
  Paint();
}
