// Docking of controls into dock sites, floating, the dock drag with the mouse, and the plain
// dock manager (units of Controls.h; declared in Controls.h and Docking.h).
#include "platform/Docking.h"

#include <algorithm>
#include <memory>

#include "platform/ControlsPrivate.h"
#include "platform/Forms.h"
#include "platform/Guards.h"

using namespace ControlsPrivate;

namespace {

// The one dock drag that can be under way: who is dragged, from where, and the outline
// drawn on the screen for it.
struct TDockDrag {
  TControl* control = nullptr;
  POINT start{};
  int threshold = 0;
  bool started = false;
  std::unique_ptr<TDragDockObject> object;
  RECT outline{};
  bool outlineShown = false;
};
TDockDrag dockDrag;

// The outline is drawn inverted on the screen: drawing it again takes it away.
void ToggleOutline(const RECT& r) {
  TWindowDC screen(nullptr);
  DrawFocusRect(screen, &r);
}

void ShowOutline(const RECT& r) {
  if (dockDrag.outlineShown && EqualRect(&dockDrag.outline, &r)) return;
  if (dockDrag.outlineShown) ToggleOutline(dockDrag.outline);
  dockDrag.outline = r;
  dockDrag.outlineShown = true;
  ToggleOutline(r);
}

void HideOutline() {
  if (dockDrag.outlineShown) ToggleOutline(dockDrag.outline);
  dockDrag.outlineShown = false;
}

RECT ScreenBounds(TControl* control) {
  RECT r = control->BoundsRect();
  if (control->Parent()) {
    POINT o = control->Parent()->ClientOrigin();
    OffsetRect(&r, o.x, o.y);
  }
  return r;
}

// Where a control would float if dropped with the mouse at `pos`: its size, moved as far as
// the mouse has moved since the drag began.
RECT FloatRect(TControl* control, POINT pos) {
  RECT r = ScreenBounds(control);
  OffsetRect(&r, pos.x - dockDrag.start.x, pos.y - dockDrag.start.y);
  return r;
}

// The dock site under the screen point that takes the dragged control, with the object's
// DockRect set to where it would go.
TWinControl* FindDockTarget(TDragDockObject& object, POINT pos) {
  TControl* dragged = object.Control();
  auto* draggedWin = dynamic_cast<TWinControl*>(dragged);
  TWinControl* c = nullptr;
  for (HWND wnd = WindowFromPoint(pos); wnd && !c; wnd = GetParent(wnd)) c = FindControl(wnd);
  for (; c; c = c->Parent()) {
    if (!c->DockSite() || c == dragged || (draggedWin && draggedWin->ContainsControl(c))) continue;
    RECT influence{};
    GetWindowRect(c->Handle(), &influence);
    InflateRect(&influence, 4, 4);
    bool canDock = true;
    c->GetSiteInfo(dragged, influence, pos, canDock);
    if (!canDock || !PtInRect(&influence, pos)) continue;
    POINT local = c->ScreenToClient(pos);
    bool accept = true;
    c->DockOver(&object, local.x, local.y, dsDragMove, accept);
    if (accept) return c;
  }
  return nullptr;
}

}  // namespace

bool ControlsPrivate::CancelDockDrag() {
  if (!dockDrag.control) return false;
  dockDrag.control->EndDockDrag(false);
  return true;
}

// ---- The control's side -------------------------------------------------------------------------

bool TControl::ManualDock(TWinControl* site, TControl* dropControl, TAlign align) {
  if (!site) return ManualFloat(ScreenBounds(this));
  if (dynamic_cast<TForm*>(this)) throw EInvalidOperation("A form cannot be docked");
  if (site == this || (windowed_ && static_cast<TWinControl*>(this)->ContainsControl(site)))
    throw EInvalidOperation("A control cannot be docked into itself");
  if (hostDockSite_ && hostDockSite_ != site &&
      hostDockSite_->Perform(CM_UNDOCKCLIENT, reinterpret_cast<WPARAM>(site), reinterpret_cast<LPARAM>(this)) != 0)
    return false;
  TForm* oldHost = floatHost_;
  TDragDockObject object(this);
  object.DropOnControl = dropControl;
  object.DropAlign = align;
  object.DockRect = ScreenBounds(this);
  bool docked = site->Perform(CM_DOCKCLIENT, 0, reinterpret_cast<LPARAM>(&object)) != 0;
  if (docked && oldHost && Parent() != oldHost) {
    // The window made for the floating control goes with it.
    floatHost_ = nullptr;
    oldHost->Release();
  }
  return docked;
}

bool TControl::ManualFloat(const RECT& screenRect) {
  if (dynamic_cast<TForm*>(this)) throw EInvalidOperation("A form cannot be docked");
  if (hostDockSite_ &&
      hostDockSite_->Perform(CM_UNDOCKCLIENT, 0, reinterpret_cast<LPARAM>(this)) != 0)
    return false;
  if (!floatHost_) {
    TForm* host = TForm::CreateNew<TForm>(Application);
    host->SetBorderStyle(bsSizeToolWin);
    host->SetCaption(Caption());
    floatHost_ = host;
    host->FreeNotification(this);
    SetParent(host);
    SetAlign(alClient);
  }
  // The window's frame goes around the rectangle the control had.
  HWND wnd = floatHost_->Handle();
  RECT outer{}, inner{};
  GetWindowRect(wnd, &outer);
  ::GetClientRect(wnd, &inner);
  POINT innerOrigin{0, 0};
  ::ClientToScreen(wnd, &innerOrigin);
  int frameLeft = innerOrigin.x - outer.left, frameTop = innerOrigin.y - outer.top;
  floatHost_->SetBounds(screenRect.left - frameLeft, screenRect.top - frameTop,
                        screenRect.right - screenRect.left + (outer.right - outer.left) - inner.right,
                        screenRect.bottom - screenRect.top + (outer.bottom - outer.top) - inner.bottom);
  SetVisible(true);
  floatHost_->Show();
  return true;
}

void TControl::BeginDrag(bool immediate, int threshold) {
  if (dragKind_ != dkDock || dockDrag.control || !parent_) return;
  GetCursorPos(&dockDrag.start);
  dockDrag.control = this;
  dockDrag.threshold = threshold >= 0 ? threshold : GetSystemMetrics(SM_CXDRAG);
  dockDrag.object = std::make_unique<TDragDockObject>(this);
  SetMouseCapture(true);
  if (immediate) DockDragMove(dockDrag.start);
}

bool TControl::Dragging() const { return dockDrag.control == this; }

void TControl::DoStartDock(TDragDockObject*& dragObject) {
  if (OnStartDock) OnStartDock(this, dragObject);
}

void TControl::DoEndDock(TObject* target, int x, int y) {
  if (OnEndDock) OnEndDock(this, target, x, y);
}

void TControl::NotifyDockHost(TMessage& message) {
  if (hostDockSite_)
    hostDockSite_->Perform(CM_DOCKNOTIFICATION, reinterpret_cast<WPARAM>(this), reinterpret_cast<LPARAM>(&message));
}

bool TControl::DockDragMessage(TMessage& m) {
  if (dockDrag.control != this) {
    if (m.Msg == WM_LBUTTONDOWN && dragKind_ == dkDock && dragMode_ == dmAutomatic &&
        !ComponentState().Contains(csDesigning)) {
      BeginDrag(false);
      return true;
    }
    return false;
  }
  POINT pos{};
  GetCursorPos(&pos);
  switch (m.Msg) {
    case WM_MOUSEMOVE:
      // Capture taken away by another window: the drag is over.
      if (!MouseCapture())
        EndDockDrag(false);
      else
        DockDragMove(pos);
      return true;
    case WM_LBUTTONUP: EndDockDrag(true); return true;
    case WM_RBUTTONDOWN: EndDockDrag(false); return true;
    default: return IsMouseMessage(m.Msg);
  }
}

void TControl::DockDragMove(POINT pos) {
  TDragDockObject& object = *dockDrag.object;
  if (!dockDrag.started) {
    if (std::abs(pos.x - dockDrag.start.x) < dockDrag.threshold &&
        std::abs(pos.y - dockDrag.start.y) < dockDrag.threshold)
      return;
    dockDrag.started = true;
    TDragDockObject* given = &object;
    DoStartDock(given);
  }
  object.DragPos = pos;
  object.DragTarget = FindDockTarget(object, pos);
  if (!object.DragTarget) object.DockRect = FloatRect(this, pos);
  ShowOutline(object.DockRect);
}

void TControl::EndDockDrag(bool drop) {
  std::unique_ptr<TDragDockObject> object = std::move(dockDrag.object);
  bool started = dockDrag.started;
  POINT start = dockDrag.start;
  HideOutline();
  dockDrag = TDockDrag{};
  if (MouseCapture()) SetMouseCapture(false);
  if (!started) return;
  POINT pos{};
  GetCursorPos(&pos);
  TWinControl* target = nullptr;
  if (drop) {
    object->DragPos = pos;
    target = FindDockTarget(*object, pos);
    if (target) {
      if (ManualDock(target, object->DropOnControl, object->DropAlign)) {
        POINT local = target->ScreenToClient(pos);
        target->DockDrop(object.get(), local.x, local.y);
      } else {
        target = nullptr;
      }
    } else {
      RECT r = ScreenBounds(this);
      OffsetRect(&r, pos.x - start.x, pos.y - start.y);
      ManualFloat(r);
    }
  }
  POINT at = target ? target->ScreenToClient(pos) : pos;
  DoEndDock(target, at.x, at.y);
}

// ---- The dock site's side -------------------------------------------------------------------

void TWinControl::SetDockSite(bool value) {
  if (value == dockSite_) return;
  dockSite_ = value;
  if (value && useDockManager_ && !dockManager_) dockManager_ = CreateDockManager();
}

void TWinControl::SetUseDockManager(bool value) {
  if (value == useDockManager_) return;
  useDockManager_ = value;
  if (value && dockSite_ && !dockManager_) dockManager_ = CreateDockManager();
  if (!value) dockManager_.reset();
  Realign();
}

TControl* TWinControl::DockClients(int index) const {
  if (index < 0 || index >= DockClientCount())
    throw EListError(Format("List index out of bounds (%d)", index));
  return dockClients_[static_cast<size_t>(index)];
}

std::unique_ptr<IDockManager> TWinControl::CreateDockManager() { return std::make_unique<TDockTree>(this); }

void TWinControl::GetSiteInfo(TControl* client, RECT& influenceRect, POINT mousePos, bool& canDock) {
  if (OnGetSiteInfo) OnGetSiteInfo(this, client, influenceRect, mousePos, canDock);
}

void TWinControl::DockOver(TDragDockObject* source, int x, int y, TDragState state, bool& accept) {
  if (dockManager_) {
    dockManager_->PositionDockRect(source->Control(), source->DropOnControl, source->DropAlign, source->DockRect);
  } else {
    RECT r = GetClientRect();
    POINT o = ClientOrigin();
    OffsetRect(&r, o.x, o.y);
    source->DockRect = r;
  }
  if (OnDockOver) OnDockOver(this, source, x, y, state, accept);
}

void TWinControl::DockDrop(TDragDockObject* source, int x, int y) {
  if (OnDockDrop) OnDockDrop(this, source, x, y);
}

bool TWinControl::DoUnDock(TWinControl* newTarget, TControl* client) {
  bool allow = true;
  if (OnUnDock) OnUnDock(this, client, newTarget, allow);
  return allow;
}

void TWinControl::CMDockClient(TWMObject<TDragDockObject>& m) {
  TDragDockObject* object = m.Object;
  TControl* control = object->Control();
  if (dockManager_) control->SetAlign(alNone);
  control->SetParent(this);
  control->hostDockSite_ = this;
  if (std::find(dockClients_.begin(), dockClients_.end(), control) == dockClients_.end())
    dockClients_.push_back(control);
  if (dockManager_) {
    dockManager_->InsertControl(control, object->DropAlign, object->DropOnControl);
    dockManager_->ResetBounds(true);
    Invalidate();
  }
  m.Result = 1;
}

void TWinControl::CMUnDockClient(TCMUnDockClient& m) {
  TControl* client = m.Client;
  if (!DoUnDock(m.NewTarget, client)) {
    m.Result = 1;
    return;
  }
  ForgetDockClient(client);
  m.Result = 0;
}

void TWinControl::CMDockNotification(TWMDockNotification& m) {
  const TMessage* notice = m.Notice;
  if (dockManager_ && notice && notice->Msg == CM_VISIBLECHANGED) {
    dockManager_->ResetBounds(true);
    Invalidate();
  }
}

void TWinControl::ForgetDockClient(TControl* control) {
  auto it = std::find(dockClients_.begin(), dockClients_.end(), control);
  if (it == dockClients_.end()) return;
  dockClients_.erase(it);
  control->hostDockSite_ = nullptr;
  if (dockManager_ && !ComponentState().Contains(csDestroying)) {
    dockManager_->RemoveControl(control);
    dockManager_->ResetBounds(true);
    Invalidate();
  }
}

// ---- TDockTree ----------------------------------------------------------------------------------

TDockTree::TDockTree(TWinControl* site) : site_(site), previous_(site->WindowProc) {
  site_->WindowProc = [this](TMessage& m) { WindowProc(m); };
}

TDockTree::~TDockTree() { site_->WindowProc = previous_; }

void TDockTree::SetGrabberSize(int value) {
  if (value == grabberSize_) return;
  grabberSize_ = value;
  ResetBounds(true);
}

void TDockTree::InsertControl(TControl* control, TAlign insertAt, TControl* dropControl) {
  clients_.erase(std::remove(clients_.begin(), clients_.end(), control), clients_.end());
  auto at = std::find(clients_.begin(), clients_.end(), dropControl);
  if (at != clients_.end() && (insertAt == alRight || insertAt == alBottom)) ++at;
  clients_.insert(at, control);
}

void TDockTree::RemoveControl(TControl* control) {
  clients_.erase(std::remove(clients_.begin(), clients_.end(), control), clients_.end());
}

std::vector<TControl*> TDockTree::VisibleClients() const {
  std::vector<TControl*> list;
  for (TControl* c : clients_)
    if (c->Visible() && c->Parent() == site_) list.push_back(c);
  return list;
}

bool TDockTree::GrabbersOnLeft() const { return site_->Align() == alTop || site_->Align() == alBottom; }

RECT TDockTree::ZoneRect(TControl* control) {
  std::vector<TControl*> list = VisibleClients();
  auto it = std::find(list.begin(), list.end(), control);
  if (it == list.end()) return RECT{};
  RECT area = site_->GetClientRect();
  site_->AdjustClientRect(area);
  int n = static_cast<int>(list.size());
  int i = static_cast<int>(it - list.begin());
  RECT zone = area;
  if (GrabbersOnLeft()) {
    int w = area.right - area.left;
    zone.left = area.left + w * i / n;
    zone.right = area.left + w * (i + 1) / n;
  } else {
    int h = area.bottom - area.top;
    zone.top = area.top + h * i / n;
    zone.bottom = area.top + h * (i + 1) / n;
  }
  return zone;
}

void TDockTree::AdjustDockRect(TControl*, RECT& rect) {
  if (GrabbersOnLeft())
    rect.left += grabberSize_;
  else
    rect.top += grabberSize_;
}

RECT TDockTree::GrabberRect(TControl* control) {
  RECT zone = ZoneRect(control);
  if (IsRectEmpty(&zone)) return zone;
  if (GrabbersOnLeft()) return RECT{zone.left, zone.top, zone.left + grabberSize_, zone.bottom};
  return RECT{zone.left, zone.top, zone.right, zone.top + grabberSize_};
}

RECT TDockTree::CloseButtonRect(TControl* control) {
  RECT g = GrabberRect(control);
  if (IsRectEmpty(&g)) return g;
  if (GrabbersOnLeft()) return RECT{g.left + 1, g.top + 1, g.left + 12, g.top + 12};
  return RECT{g.right - 15, g.top + 1, g.right - 2, g.top + 12};
}

TControl* TDockTree::GrabberAt(POINT p) {
  for (TControl* c : VisibleClients()) {
    RECT g = GrabberRect(c);
    if (PtInRect(&g, p)) return c;
  }
  return nullptr;
}

void TDockTree::ResetBounds(bool) {
  for (TControl* c : VisibleClients()) {
    RECT r = ZoneRect(c);
    AdjustDockRect(c, r);
    c->SetBounds(r.left, r.top, std::max(0, static_cast<int>(r.right - r.left)),
                 std::max(0, static_cast<int>(r.bottom - r.top)));
  }
}

void TDockTree::PositionDockRect(TControl*, TControl*, TAlign, RECT& dockRect) {
  RECT r = site_->GetClientRect();
  site_->AdjustClientRect(r);
  POINT o = site_->ClientOrigin();
  OffsetRect(&r, o.x, o.y);
  dockRect = r;
}

void TDockTree::PaintSite(HDC dc) {
  TCanvas canvas;
  TCanvasBinding binding(&canvas, dc);
  for (TControl* c : VisibleClients()) {
    TSavedDC saved(dc);
    PaintDockFrame(&canvas, c, GrabberRect(c));
  }
}

void TDockTree::PaintDockFrame(TCanvas* canvas, TControl* control, const RECT& rect) {
  canvas->Brush()->SetColor(clBtnFace);
  canvas->FillRect(rect);
  RECT close = CloseButtonRect(control);
  // Two raised ridges along the grabber, beside the close button.
  HDC dc = canvas->Handle();
  for (int i = 0; i < 2; ++i) {
    RECT ridge = rect;
    if (GrabbersOnLeft()) {
      ridge.top = close.bottom + 2;
      ridge.bottom -= 2;
      ridge.left += 3 + 3 * i;
      ridge.right = ridge.left + 3;
    } else {
      ridge.left += 2;
      ridge.right = close.left - 2;
      ridge.top += 3 + 3 * i;
      ridge.bottom = ridge.top + 3;
    }
    if (!IsRectEmpty(&ridge)) DrawEdge(dc, &ridge, BDR_RAISEDINNER, BF_RECT);
  }
  DrawFrameControl(dc, &close, DFC_CAPTION, DFCS_CAPTIONCLOSE | DFCS_FLAT);
}

void TDockTree::WindowProc(TMessage& m) {
  if (m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK) {
    POINT p = LParamToPoint(m.LParam);
    if (TControl* c = GrabberAt(p)) {
      RECT close = CloseButtonRect(c);
      if (PtInRect(&close, p)) {
        if (m.Msg == WM_LBUTTONDOWN) c->Hide();
      } else if (m.Msg == WM_LBUTTONDBLCLK) {
        c->ManualDock(nullptr);
      } else {
        c->BeginDrag(false);
      }
      m.Result = 0;
      return;
    }
  }
  previous_(m);
}
