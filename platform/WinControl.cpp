// TWinControl: its window, its children, its message table and the notifications it reflects
// back to its child windows (units of Controls.h).

#include "platform/Controls.h"

#include <algorithm>

#include "platform/ControlsPrivate.h"
#include "platform/Docking.h"
#include "platform/Forms.h"
#include "platform/Guards.h"
#include "platform/Themes.h"

using namespace ControlsPrivate;

namespace {

// The windows whose own handling of a context menu is under way: when one of them passes
// the menu on to its parent (as the system's windows do with what they leave alone), the
// parent must not hand it back.
std::vector<HWND>& ContextMenuWindows() {
  static auto* windows = new std::vector<HWND>;
  return *windows;
}

}  // namespace

// ---- TWinControl --------------------------------------------------------------------------

TMessageTable& TWinControl::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(WM_PAINT, Handler(&TWinControl::WMPaint));
    t->Add(WM_PRINTCLIENT, Handler(&TWinControl::WMPrintClient));
    t->Add(WM_ERASEBKGND, Handler(&TWinControl::WMEraseBkgnd));
    t->Add(WM_SETCURSOR, Handler(&TWinControl::WMSetCursor));
    t->Add(WM_WINDOWPOSCHANGED, Handler(&TWinControl::WMWindowPosChanged));
    t->Add(WM_SIZE, Handler(&TWinControl::WMSize));
    t->Add(WM_KEYDOWN, Handler(&TWinControl::WMKeyDown));
    t->Add(WM_SYSKEYDOWN, Handler(&TWinControl::WMKeyDown));
    t->Add(WM_KEYUP, Handler(&TWinControl::WMKeyUp));
    t->Add(WM_SYSKEYUP, Handler(&TWinControl::WMKeyUp));
    t->Add(WM_CHAR, Handler(&TWinControl::WMChar));
    t->Add(WM_MOUSELEAVE, Handler(&TWinControl::WMMouseLeave));
    t->Add(WM_COMMAND, Handler(&TWinControl::WMCommand));
    t->Add(WM_NOTIFY, Handler(&TWinControl::WMNotify));
    t->Add(WM_DRAWITEM, Handler(&TWinControl::WMDrawItem));
    t->Add(WM_MEASUREITEM, Handler(&TWinControl::WMMeasureItem));
    t->Add(WM_DELETEITEM, Handler(&TWinControl::WMDeleteItem));
    t->Add(WM_COMPAREITEM, Handler(&TWinControl::WMCompareItem));
    t->Add(WM_HSCROLL, Handler(&TWinControl::WMScroll));
    t->Add(WM_VSCROLL, Handler(&TWinControl::WMScroll));
    t->Add(WM_CHARTOITEM, Handler(&TWinControl::WMCharToItem));
    t->Add(WM_VKEYTOITEM, Handler(&TWinControl::WMCharToItem));
    t->Add(WM_SYSCOLORCHANGE, Handler(&TWinControl::WMSysColorChange));
    t->Add(CN_KEYDOWN, Handler(&TWinControl::CNKeyDown));
    t->Add(CN_SYSKEYDOWN, [](TControl*, TMessage& m) { m.Result = 0; });
    t->Add(CN_CHAR, Handler(&TWinControl::CNChar));
    t->Add(CN_SYSCHAR, Handler(&TWinControl::CNSysChar));
    for (UINT msg = CN_CTLCOLORMSGBOX; msg <= CN_CTLCOLORSTATIC; ++msg)
      t->Add(msg, Handler(&TWinControl::CNCtlColor));
    t->Add(CM_ENABLEDCHANGED, Handler(&TWinControl::CMEnabledChanged));
    t->Add(CM_COLORCHANGED, Handler(&TWinControl::CMColorChanged));
    t->Add(CM_FONTCHANGED, Handler(&TWinControl::CMFontChanged));
    t->Add(CM_BIDIMODECHANGED, Handler(&TWinControl::CMBiDiModeChanged));
    t->Add(CM_DIALOGKEY, Handler(&TWinControl::CMBroadcast));
    t->Add(CM_DIALOGCHAR, Handler(&TWinControl::CMBroadcast));
    t->Add(CM_FOCUSCHANGED, Handler(&TWinControl::CMBroadcast));
    t->Add(CM_ACTIONEXECUTE, Handler(&TWinControl::CMActionExecute));
    t->Add(CM_DOCKCLIENT, Handler(&TWinControl::CMDockClient));
    t->Add(CM_UNDOCKCLIENT, Handler(&TWinControl::CMUnDockClient));
    t->Add(CM_DOCKNOTIFICATION, Handler(&TWinControl::CMDockNotification));
    t->Add(CM_SHOWHINTCHANGED, [](TControl* c, TMessage&) {
      static_cast<TWinControl*>(c)->NotifyControls(CM_PARENTSHOWHINTCHANGED);
    });
    t->Add(CM_SYSCOLORCHANGE, Handler(&TWinControl::CMBroadcast));
    t->Add(CM_ENTER, Handler(&TWinControl::CMEnter));
    t->Add(CM_EXIT, Handler(&TWinControl::CMExit));
    t->Add(CM_RECREATEWND, Handler(&TWinControl::CMRecreateWnd));
    t->Add(WM_CONTEXTMENU, Handler(&TWinControl::WMContextMenu));
    t->Add(CM_CHILDKEY, [](TControl* c, TMessage& m) {
      if (c->Parent()) m.Result = c->Parent()->Perform(CM_CHILDKEY, m.WParam, m.LParam);
    });
    t->Add(CM_VISIBLECHANGED, [](TControl* c, TMessage& m) {
      auto* w = static_cast<TWinControl*>(c);
      if (!w->Visible()) {
        if (TForm* form = GetParentForm(w)) form->DefocusControl(w, false);
      }
      (void)m;
    });
    t->Add(CM_TEXTCHANGED, [](TControl*, TMessage&) {});
    return t;
  }();
  return *table;
}

TWinControl::TWinControl(TComponent* owner)
    : TControl(owner), brush_(std::make_unique<TBrush>()) {
  windowed_ = true;
  brush_->SetColor(Color());
}

TWinControl::~TWinControl() {
  Destroying();
  dockManager_.reset();
  for (TControl* client : dockClients_) client->hostDockSite_ = nullptr;
  dockClients_.clear();
  if (TForm* form = GetParentForm(this))
    if (form != static_cast<TControl*>(this)) form->DefocusControl(this, true);
  if (mouseControl == this) mouseControl = nullptr;
  while (!controls_.empty()) {
    TControl* child = controls_.back();
    RemoveControl(child);
    delete child;
  }
  DestroyHandle();
}

TControl* TWinControl::Controls(int index) const {
  if (index < 0 || index >= ControlCount())
    throw EListError(Format("List index out of bounds (%d)", index));
  return controls_[static_cast<size_t>(index)];
}

bool TWinControl::ContainsControl(const TControl* control) const {
  while (control && control != this) control = control->Parent();
  return control != nullptr;
}

void TWinControl::InsertControl(TControl* control) {
  controls_.push_back(control);
  control->parent_ = this;
  if (control->windowed_) {
    auto* win = static_cast<TWinControl*>(control);
    tabList_.push_back(win);
  }
  control->Perform(CM_PARENTCOLORCHANGED);
  control->Perform(CM_PARENTFONTCHANGED);
  control->Perform(CM_PARENTBIDIMODECHANGED);
  control->Perform(CM_PARENTSHOWHINTCHANGED);
  if (control->windowed_) {
    auto* win = static_cast<TWinControl*>(control);
    if (handle_ && win->visible_ && !ComponentState().Contains(csDestroying)) win->CreateHandle();
  } else {
    control->Invalidate();
  }
  if (control->align_ != alNone) AlignControl(control);
}

void TWinControl::RemoveControl(TControl* control) {
  if (control->parent_ != this) return;
  if (control->windowed_) {
    auto* win = static_cast<TWinControl*>(control);
    if (TForm* form = GetParentForm(this)) form->DefocusControl(win, true);
    win->DestroyHandle();
    tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), win), tabList_.end());
  } else {
    control->InvalidateControl(control->visible_, false);
    FreeControlCanvases(control);
  }
  if (mouseControl == control) mouseControl = nullptr;
  if (captureControl == control) SetCaptureControl(nullptr);
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
  control->parent_ = nullptr;
  if (control->align_ != alNone && !ComponentState().Contains(csDestroying)) Realign();
}

TControl* TWinControl::ControlAtPos(POINT pos, bool allowDisabled, bool allowWinControls) {
  auto hit = [&](TControl* c) {
    if (!c->visible_ || (!c->enabled_ && !allowDisabled)) return false;
    RECT r = c->BoundsRect();
    if (!PtInRect(&r, pos)) return false;
    POINT local{pos.x - c->left_, pos.y - c->top_};
    return c->Perform(CM_HITTEST, 0, PointToLParam(local)) != 0;
  };
  if (allowWinControls)
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it)
      if ((*it)->windowed_ && hit(*it)) return *it;
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it)
    if (!(*it)->windowed_ && hit(*it)) return *it;
  return nullptr;
}

void TWinControl::Broadcast(TMessage& message) {
  std::vector<TControl*> list = controls_;
  for (TControl* c : list) {
    if (std::find(controls_.begin(), controls_.end(), c) == controls_.end()) continue;
    c->WindowProc(message);
    if (message.Result != 0) return;
  }
}

void TWinControl::NotifyControls(UINT msg) {
  TMessage m{msg, 0, 0, 0};
  Broadcast(m);
}

// ---- Window -----------------------------------------------------------------------------------

HWND TWinControl::Handle() {
  if (!handle_) CreateHandle();
  return handle_;
}

void TWinControl::CreateParams(TCreateParams& params) {
  params.Caption = text_;
  params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (controlStyle_.Contains(csAcceptsControls)) params.Style |= WS_CLIPCHILDREN;
  if (Visible()) params.Style |= WS_VISIBLE;
  if (!Enabled()) params.Style |= WS_DISABLED;
  if (tabStop_) params.Style |= WS_TABSTOP;
  if (UseRightToLeftReading()) params.ExStyle |= WS_EX_RTLREADING;
  params.X = Left();
  params.Y = Top();
  params.Width = Width();
  params.Height = Height();
  params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  params.WindowClass.lpfnWndProc = DefWindowProcA;
  params.WindowClass.hCursor = SystemCursor(MAKEINTRESOURCEA(32512));  // IDC_ARROW
  params.WindowClass.hbrBackground = nullptr;
  params.WindowClass.hInstance = GetModuleHandleA(nullptr);
  params.WinClassName = ClassNameForWindow(this);
}

void TWinControl::CreateSubClass(TCreateParams& params, const char* className) {
  WNDCLASSA wc{};
  if (!GetClassInfoA(nullptr, className, &wc))
    throw EOSError(GetLastError() ? GetLastError() : ERROR_CLASS_DOES_NOT_EXIST);
  wc.style &= ~static_cast<UINT>(CS_GLOBALCLASS);
  wc.hInstance = GetModuleHandleA(nullptr);
  params.WindowClass = wc;
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  if ((params.Style & WS_CHILD) && !params.WndParent) {
    if (!parent_)
      throw EInvalidOperation(Format("Control '%s' has no parent window", Name().c_str()));
    params.WndParent = parent_->Handle();
  }
  HINSTANCE instance = GetModuleHandleA(nullptr);
  auto& defaults = ClassDefaults();
  auto known = defaults.find(params.WinClassName);
  if (known == defaults.end()) {
    WNDCLASSA wc = params.WindowClass;
    WNDPROC original = wc.lpfnWndProc ? wc.lpfnWndProc : DefWindowProcA;
    wc.lpfnWndProc = ControlWndProc;
    wc.hInstance = instance;
    wc.lpszClassName = params.WinClassName.c_str();
    if (!RegisterClassA(&wc)) RaiseLastOSError();
    known = defaults.emplace(params.WinClassName, original).first;
  }
  defWndProc_ = known->second;
  controlState_ += csCreating;
  {
    TScopeExit created([this]() noexcept { controlState_ -= csCreating; });
    CreateWindowHandle(params);
  }
  if (!handle_) RaiseLastOSError();
  // Only the system's window classes draw with the font of WM_SETFONT; the program's own
  // classes select their Font when they paint.
  if (defWndProc_ != DefWindowProcA)
    SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 0);
}

void TWinControl::CreateWindowHandle(const TCreateParams& params) {
  HMENU id = nullptr;
  if (params.Style & WS_CHILD) id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextChildId++));
  TWinControl* outer = creatingControl;
  creatingControl = this;
  HWND wnd = CreateWindowExA(params.ExStyle, params.WinClassName.c_str(), params.Caption.c_str(),
                             params.Style, params.X, params.Y, params.Width, params.Height,
                             params.WndParent, id, GetModuleHandleA(nullptr), params.Param);
  DWORD error = GetLastError();
  creatingControl = outer;
  if (!wnd) {
    handle_ = nullptr;
    RaiseLastOSError(error ? error : ERROR_CANNOT_MAKE);
  }
  if (!handle_) AttachHandle(wnd);
}

void TWinControl::AttachHandle(HWND wnd) {
  handle_ = wnd;
  ControlWindows()[wnd] = this;
}

void TWinControl::DetachHandle() {
  if (!handle_) return;
  ControlWindows().erase(handle_);
  handle_ = nullptr;
  trackingMouse_ = false;
}

void TWinControl::CreateHandle() {
  if (handle_) return;
  // The parent's window first: making it makes this one as well when this one is visible.
  if (parent_ && !parent_->handle_) {
    parent_->CreateHandle();
    if (handle_) return;
  }
  CreateWnd();
  PlaceAmongSiblings();
  UpdateBounds();
  // A hidden child gets its window when it is first shown or asked for its handle: a window
  // with many pages costs the windows of its front page only at its start.
  for (TControl* c : std::vector<TControl*>(controls_))
    if (c->windowed_ && c->visible_) static_cast<TWinControl*>(c)->CreateHandle();
  Realign();
}

void TWinControl::PlaceAmongSiblings() {
  if (!handle_ || !parent_) return;
  // The control list runs from the back to the front, as BringToFront and the painting of
  // windowless controls have it. The system puts a new child window at the back, so a window
  // made with its parent's, or shown for the first time later, is moved just below the first
  // window after it in the list (on top when there is none): whenever it is made, it lies
  // where the list says.
  HWND above = HWND_TOP;
  auto& list = parent_->controls_;
  for (auto it = std::find(list.begin(), list.end(), this); it != list.end(); ++it) {
    if (*it == this || !(*it)->windowed_) continue;
    if (HWND next = static_cast<TWinControl*>(*it)->handle_) {
      above = next;
      break;
    }
  }
  SetWindowPos(handle_, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void TWinControl::DestroyWnd() {
  if (!handle_) return;
  text_ = GetText();
  FreeDeviceContexts(handle_);
  for (TControlCanvas* c : std::vector<TControlCanvas*>(HeldCanvases())) {
    TControl* owner = c->Control();
    if (owner == this || (owner && owner->parent_ == this)) c->FreeHandle();
  }
  HWND wnd = handle_;
  DestroyWindow(wnd);
  if (handle_ == wnd) DetachHandle();
}

void TWinControl::DestroyHandle() {
  if (!handle_) return;
  for (TControl* c : std::vector<TControl*>(controls_))
    if (c->windowed_) static_cast<TWinControl*>(c)->DestroyHandle();
  DestroyWnd();
}

void TWinControl::RecreateWnd() {
  if (handle_) Perform(CM_RECREATEWND);
}

void TWinControl::CMRecreateWnd(TMessage&) {
  bool focused = Focused();
  DestroyHandle();
  if (!parent_ || parent_->handle_) CreateHandle();
  if (focused && handle_) ::SetFocus(handle_);
}

void TWinControl::UpdateBounds() {
  if (!handle_) return;
  RECT r;
  GetWindowRect(handle_, &r);
  if (GetWindowLongPtrA(handle_, GWL_STYLE) & WS_CHILD) {
    HWND parentWnd = GetParent(handle_);
    if (parentWnd) MapWindowPoints(HWND_DESKTOP, parentWnd, reinterpret_cast<POINT*>(&r), 2);
  }
  UpdateBoundsFields(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TWinControl::UpdateStyle(LONG_PTR bits, bool on) {
  if (!handle_) return;
  LONG_PTR style = GetWindowLongPtrA(handle_, GWL_STYLE);
  LONG_PTR updated = on ? (style | bits) : (style & ~bits);
  if (updated != style) SetWindowLongPtrA(handle_, GWL_STYLE, updated);
}

void TWinControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_SETFOCUS: {
      TForm* form = GetParentForm(this);
      if (form && !form->SetFocusedControl(this)) return;
      break;
    }
    case WM_KILLFOCUS:
      if (controlState_.Contains(csFocusing)) return;
      break;
    case WM_CAPTURECHANGED:
      if (captureControl && reinterpret_cast<HWND>(m.LParam) != handle_ &&
          (captureControl == this || captureControl->parent_ == this))
        captureControl = nullptr;
      break;
    default: break;
  }
  if (IsMouseMessage(m.Msg)) {
    if (m.Msg == WM_MOUSEMOVE && handle_) {
      POINT p = LParamToPoint(m.LParam);
      TControl* target = ControlAtPos(p, false);
      UpdateMouseControl(target ? target : this);
      POINT screen = p;
      ::ClientToScreen(handle_, &screen);
      Application->HintMouseMessage(target ? target : this, screen);
    }
    if (IsControlMouseMsg(m)) {
      if (m.Result == 0 && handle_) DefWindowProcA(handle_, m.Msg, m.WParam, m.LParam);
      return;
    }
  }
  TControl::WndProc(m);
}

void TWinControl::UpdateMouseControl(TControl* target) {
  if (!trackingMouse_ && handle_) {
    TRACKMOUSEEVENT tme{};
    tme.cbSize = sizeof(tme);
    tme.dwFlags = TME_LEAVE;
    tme.hwndTrack = handle_;
    trackingMouse_ = TrackMouseEvent(&tme) != FALSE;
  }
  SetMouseControl(target);
}

void TWinControl::WMMouseLeave(TMessage& m) {
  trackingMouse_ = false;
  if (mouseControl && (mouseControl == this || (!mouseControl->windowed_ && mouseControl->parent_ == this))) {
    // The mouse may have gone into a child window, which then became the hot control.
    SetMouseControl(nullptr);
    Application->HintMouseMessage(nullptr, POINT{});
  }
  Inherited(m);
}

bool TWinControl::IsControlMouseMsg(TMessage& m) {
  TControl* control = nullptr;
  if (captureControl && captureControl->parent_ == this && handle_ && GetCapture() == handle_)
    control = captureControl;
  else if (!(captureControl == this))
    control = ControlAtPos(LParamToPoint(m.LParam), false);
  if (!control) return false;
  POINT p = LParamToPoint(m.LParam);
  p.x -= control->left_;
  p.y -= control->top_;
  m.Result = control->Perform(m.Msg, m.WParam, PointToLParam(p));
  return true;
}

void TWinControl::DefaultHandler(TMessage& m) {
  if (!handle_) {
    TControl::DefaultHandler(m);
    return;
  }
  if (m.Msg >= CM_BASE && m.Msg < 0xC000) {
    // Component notifications mean nothing to the system's window procedures.
    if (m.Msg >= CN_CTLCOLORMSGBOX && m.Msg <= CN_CTLCOLORSTATIC) {
      TWMDC colors(m);
      CNCtlColor(colors);
    }
    return;
  }
  if (m.Msg >= WM_CTLCOLORMSGBOX && m.Msg <= WM_CTLCOLORSTATIC) {
    HWND child = reinterpret_cast<HWND>(m.LParam);
    if (FindControl(child)) {
      m.Result = SendMessageA(child, CN_BASE + m.Msg, m.WParam, m.LParam);
      return;
    }
  }
  m.Result = CallWindowProcA(defWndProc_, handle_, m.Msg, m.WParam, m.LParam);
}

RECT TWinControl::GetClientRect() {
  if (handle_) {
    RECT r;
    ::GetClientRect(handle_, &r);
    return r;
  }
  // No window yet: the borders its style will give it.
  TCreateParams params;
  CreateParams(params);
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, params.Style & ~static_cast<DWORD>(WS_VISIBLE), FALSE, params.ExStyle);
  int w = Width() - (frame.right - frame.left);
  int h = Height() - (frame.bottom - frame.top);
  return RECT{0, 0, std::max(0, w), std::max(0, h)};
}

std::string TWinControl::GetText() const {
  if (!handle_) return text_;
  int n = GetWindowTextLengthA(handle_);
  std::string s(static_cast<size_t>(n) + 1, '\0');
  n = GetWindowTextA(handle_, s.data(), n + 1);
  s.resize(static_cast<size_t>(std::max(0, n)));
  return s;
}

void TWinControl::SetTextNow(const std::string& value) {
  TControl::SetTextNow(value);
  if (handle_) SetWindowTextA(handle_, value.c_str());
}

bool TWinControl::Showing() const { return handle_ && IsWindowVisible(handle_); }

void TWinControl::SetVisible(bool value) {
  if (value == Visible()) return;
  if (handle_) ShowWindow(handle_, value ? SW_SHOWNA : SW_HIDE);
  TControl::SetVisible(value);
  if (value && !handle_ && parent_ && parent_->handle_ && !ComponentState().Contains(csDestroying)) {
    CreateHandle();
  }
}

void TWinControl::Invalidate() {
  if (handle_) InvalidateRect(handle_, nullptr, !controlStyle_.Contains(csOpaque));
}

void TWinControl::Update() {
  if (handle_) UpdateWindow(handle_);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

POINT TWinControl::ClientOrigin() {
  POINT p{0, 0};
  if (handle_) {
    ::ClientToScreen(handle_, &p);
    return p;
  }
  if (Parent()) return TControl::ClientOrigin();
  return POINT{Left(), Top()};
}

HDC TWinControl::GetDeviceContext(HWND& window) {
  window = Handle();
  return GetDC(window);
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  Constraints()->Apply(width, height);
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  if (left == Left() && top == Top() && width == Width() && height == Height()) return;
  if (handle_ && !IsIconic(handle_)) {
    // The window reports its new place through WM_WINDOWPOSCHANGED and WM_SIZE.
    SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    bool sized = width != Width() || height != Height();
    UpdateBoundsFields(left, top, width, height);
    if (sized && !ComponentState().Contains(csLoading)) {
      Realign();
      Resize();
    }
  }
  RequestAlign();
}

void TWinControl::WMWindowPosChanged(TWMObject<WINDOWPOS>& m) {
  Inherited(m);
  const WINDOWPOS* pos = m.Object;
  if (pos && (pos->flags & (SWP_NOSIZE | SWP_NOMOVE)) != (SWP_NOSIZE | SWP_NOMOVE)) UpdateBounds();
}

void TWinControl::WMSize(TWMSize& m) {
  UpdateBounds();
  Inherited(m);
  Realign();
  if (!ComponentState().Contains(csLoading)) Resize();
}

// ---- Reflected notifications ----------------------------------------------------------------

bool TWinControl::ReflectTo(HWND child, TMessageRecord& m) {
  TWinControl* c = FindControl(child);
  if (!c) return false;
  m.Result = c->Perform(CN_BASE + m.Message.Msg, m.Message.WParam, m.Message.LParam);
  return true;
}

void TWinControl::WMCommand(TWMCommand& m) {
  if (!ReflectTo(m.Ctl, m)) Inherited(m);
}

void TWinControl::WMNotify(TWMNotify& m) {
  if (!m.NMHdr || !ReflectTo(m.NMHdr->hwndFrom, m)) Inherited(m);
}

void TWinControl::WMDrawItem(TWMDrawItem& m) {
  const DRAWITEMSTRUCT* item = m.DrawItemStruct;
  if (!item || item->CtlType == ODT_MENU || !ReflectTo(item->hwndItem, m)) Inherited(m);
}

void TWinControl::WMMeasureItem(TWMMeasureItem& m) {
  const MEASUREITEMSTRUCT* item = m.MeasureItemStruct;
  if (!item || item->CtlType == ODT_MENU || !handle_ ||
      !ReflectTo(GetDlgItem(handle_, static_cast<int>(item->CtlID)), m))
    Inherited(m);
}

void TWinControl::WMDeleteItem(TWMDeleteItem& m) {
  if (!ReflectTo(m.DeleteItemStruct->hwndItem, m)) Inherited(m);
}

void TWinControl::WMCompareItem(TWMObject<COMPAREITEMSTRUCT>& m) {
  if (!ReflectTo(m.Object->hwndItem, m)) Inherited(m);
}

void TWinControl::WMScroll(TWMScroll& m) {
  if (!ReflectTo(m.ScrollBar, m)) Inherited(m);
}

void TWinControl::WMCharToItem(TWMCharToItem& m) {
  if (!ReflectTo(m.ListBox, m)) Inherited(m);
}

void TWinControl::CNCtlColor(TWMDC& m) {
  HDC dc = m.DC;
  SetTextColor(dc, ColorToRGB(Font()->Color()));
  SetBkColor(dc, ColorToRGB(brush_->Color()));
  m.Result = reinterpret_cast<LRESULT>(brush_->Handle());
}

// ---- Properties ---------------------------------------------------------------------------------

void TWinControl::CMEnabledChanged(TMessage&) {
  if (!Enabled())
    if (TForm* form = GetParentForm(this)) form->DefocusControl(this, false);
  if (handle_) EnableWindow(handle_, Enabled());
  Invalidate();
}

void TWinControl::CMColorChanged(TMessage&) {
  brush_->SetColor(Color());
  Invalidate();
  NotifyControls(CM_PARENTCOLORCHANGED);
}

void TWinControl::CMFontChanged(TMessage&) {
  if (handle_ && defWndProc_ != DefWindowProcA) SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), TRUE);
  Invalidate();
  NotifyControls(CM_PARENTFONTCHANGED);
}

void TWinControl::CMBiDiModeChanged(TMessage&) {
  // The system's own controls read the reading order from their window's style.
  if (handle_) {
    bool rtl = (GetWindowLongPtrA(handle_, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0;
    if (rtl != UseRightToLeftReading()) RecreateWnd();
  }
  Invalidate();
  NotifyControls(CM_PARENTBIDIMODECHANGED);
}

void TWinControl::CMBroadcast(TMessage& m) { Broadcast(m); }

void TWinControl::WMContextMenu(TWMContextMenu& m) {
  auto& handling = ContextMenuWindows();
  HWND named = m.Window;
  if (handle_ && named && named != handle_ && IsChild(handle_, named) &&
      std::find(handling.begin(), handling.end(), named) == handling.end()) {
    if (TWinControl* child = FindControl(named)) {
      m.Result = child->Perform(WM_CONTEXTMENU, m.Message.WParam, m.Message.LParam);
      return;
    }
  }
  POINT screen = m.Pos;
  if (handle_ && !(screen.x == -1 && screen.y == -1)) {
    POINT client = screen;
    ::ScreenToClient(handle_, &client);
    if (TControl* child = ControlAtPos(client, false)) {
      m.Result = child->Perform(WM_CONTEXTMENU, m.Message.WParam, m.Message.LParam);
      if (m.Result != 0) return;
    }
  }
  handling.push_back(handle_);
  TScopeExit done([&handling]() noexcept { handling.pop_back(); });
  Inherited(m);
}

void TWinControl::CMActionExecute(TWMObject<TBasicAction>& m) {
  if (ExecuteAction(m.Object))
    m.Result = 1;
  else
    Broadcast(m.Message);
}

std::unique_ptr<TControlActionLink> TWinControl::CreateActionLink() {
  return std::make_unique<TWinControlActionLink>(this);
}

void TWinControl::SetCtl3D(bool value) {
  if (value == ctl3D_) return;
  ctl3D_ = value;
  RecreateWnd();
}
