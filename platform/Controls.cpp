#include "platform/Controls.h"

#include <algorithm>
#include <map>

#include "platform/ControlsPrivate.h"
#include "platform/Forms.h"
#include "platform/Guards.h"
#include "platform/Layout.h"
#include "platform/Menus.h"
#include "platform/TypInfo.h"

using namespace ControlsPrivate;

namespace {

// Names of the published enumerations.
const TEnumInfo AlignInfo{"TAlign", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"}};
const TEnumInfo FontStyleInfo{"TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}};
const TEnumInfo FontPitchInfo{"TFontPitch", {"fpDefault", "fpVariable", "fpFixed"}};
const TEnumInfo DragKindInfo{"TDragKind", {"dkDrag", "dkDock"}};
const TEnumInfo DragModeInfo{"TDragMode", {"dmManual", "dmAutomatic"}};
const TEnumInfo BiDiModeInfo{
    "TBiDiMode", {"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign", "bdRightToLeftReadingOnly"}};

struct TCursorName {
  TCursor cursor;
  const char* name;
};
const TCursorName kCursorNames[] = {
    {crDefault, "crDefault"},   {crNone, "crNone"},         {crArrow, "crArrow"},
    {crCross, "crCross"},       {crIBeam, "crIBeam"},       {crSizeNESW, "crSizeNESW"},
    {crSizeNS, "crSizeNS"},     {crSizeNWSE, "crSizeNWSE"}, {crSizeWE, "crSizeWE"},
    {crUpArrow, "crUpArrow"},   {crHourGlass, "crHourGlass"}, {crDrag, "crDrag"},
    {crNoDrop, "crNoDrop"},     {crHSplit, "crHSplit"},     {crVSplit, "crVSplit"},
    {crMultiDrag, "crMultiDrag"}, {crSQLWait, "crSQLWait"}, {crNo, "crNo"},
    {crAppStart, "crAppStart"}, {crHelp, "crHelp"},         {crHandPoint, "crHandPoint"},
    {crSizeAll, "crSizeAll"},
};

// Pictures in layouts are named by the resource they were loaded from; the name is good only
// while the picture still holds the graphic that came from it.
struct TPictureSource {
  std::string resource;
  TGraphic* graphic;
};
std::map<TPersistent*, TPictureSource>& PictureSources() {
  static auto* sources = new std::map<TPersistent*, TPictureSource>;
  return *sources;
}

}  // namespace

// ---- Free helpers ------------------------------------------------------------------------------

TShiftState KeyDataToShiftState(LPARAM keyData) {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s += ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s += ssCtrl;
  if (keyData & 0x20000000) s += ssAlt;
  return s;
}

TShiftState MouseKeysToShiftState(WPARAM keys) {
  TShiftState s;
  if (keys & MK_SHIFT) s += ssShift;
  if (keys & MK_CONTROL) s += ssCtrl;
  if (keys & MK_LBUTTON) s += ssLeft;
  if (keys & MK_RBUTTON) s += ssRight;
  if (keys & MK_MBUTTON) s += ssMiddle;
  if (GetKeyState(VK_MENU) < 0) s += ssAlt;
  return s;
}

bool IsAccel(char ch, const std::string& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    char pair[2] = {caption[i + 1], ch};
    CharUpperBuffA(pair, 2);
    return pair[0] == pair[1];
  }
  return false;
}

bool IdentToCursor(const std::string& ident, TCursor& cursor) {
  for (const TCursorName& n : kCursorNames)
    if (_stricmp(n.name, ident.c_str()) == 0) {
      cursor = n.cursor;
      return true;
    }
  return false;
}

std::string CursorToString(TCursor cursor) {
  for (const TCursorName& n : kCursorNames)
    if (n.cursor == cursor) return n.name;
  return IntToStr(cursor);
}

TForm* GetParentForm(const TControl* control) {
  if (!control) return nullptr;
  const TControl* top = control;
  while (top->Parent()) top = top->Parent();
  return dynamic_cast<TForm*>(const_cast<TControl*>(top));
}

// ---- TSizeConstraints -----------------------------------------------------------------------

void TSizeConstraints::Assign(TPersistent* source) {
  if (auto* s = dynamic_cast<TSizeConstraints*>(source)) {
    minWidth_ = s->minWidth_;
    minHeight_ = s->minHeight_;
    maxWidth_ = s->maxWidth_;
    maxHeight_ = s->maxHeight_;
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

void TSizeConstraints::SetMinWidth(int value) {
  if (value == minWidth_) return;
  minWidth_ = std::max(0, value);
  if (maxWidth_ > 0 && maxWidth_ < minWidth_) maxWidth_ = minWidth_;
  Changed();
}

void TSizeConstraints::SetMinHeight(int value) {
  if (value == minHeight_) return;
  minHeight_ = std::max(0, value);
  if (maxHeight_ > 0 && maxHeight_ < minHeight_) maxHeight_ = minHeight_;
  Changed();
}

void TSizeConstraints::SetMaxWidth(int value) {
  if (value == maxWidth_) return;
  maxWidth_ = std::max(0, value);
  if (maxWidth_ > 0 && minWidth_ > maxWidth_) minWidth_ = maxWidth_;
  Changed();
}

void TSizeConstraints::SetMaxHeight(int value) {
  if (value == maxHeight_) return;
  maxHeight_ = std::max(0, value);
  if (maxHeight_ > 0 && minHeight_ > maxHeight_) minHeight_ = maxHeight_;
  Changed();
}

void TSizeConstraints::Apply(int& width, int& height) const {
  if (maxWidth_ > 0 && width > maxWidth_) width = maxWidth_;
  if (width < minWidth_) width = minWidth_;
  if (maxHeight_ > 0 && height > maxHeight_) height = maxHeight_;
  if (height < minHeight_) height = minHeight_;
}

void TSizeConstraints::Changed() {
  if (control_ && !control_->ComponentState().Contains(csLoading))
    control_->SetBounds(control_->Left(), control_->Top(), control_->Width(), control_->Height());
}

// ---- TControl -----------------------------------------------------------------------------

TMessageTable& TControl::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(nullptr);
    for (UINT msg : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP,
                     WM_RBUTTONDBLCLK, WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK})
      t->Add(msg, Handler(&TControl::WMMouseButton));
    t->Add(WM_MOUSEMOVE, Handler(&TControl::WMMouseMove));
    t->Add(WM_MOUSEWHEEL, Handler(&TControl::WMMouseWheel));
    t->Add(CM_MOUSEWHEEL, Handler(&TControl::CMMouseWheel));
    t->Add(CM_PARENTCOLORCHANGED, Handler(&TControl::CMParentColorChanged));
    t->Add(CM_PARENTFONTCHANGED, Handler(&TControl::CMParentFontChanged));
    t->Add(CM_PARENTBIDIMODECHANGED, Handler(&TControl::CMParentBiDiModeChanged));
    t->Add(CM_PARENTSHOWHINTCHANGED, Handler(&TControl::CMParentShowHintChanged));
    t->Add(CM_HITTEST, Handler(&TControl::CMHitTest));
    t->Add(CM_MOUSEENTER, Handler(&TControl::CMMouseEnter));
    t->Add(CM_MOUSELEAVE, Handler(&TControl::CMMouseLeave));
    t->Add(CM_ACTIONEXECUTE, Handler(&TControl::CMActionExecute));
    t->Add(WM_CONTEXTMENU, Handler(&TControl::WMContextMenu));
    auto invalidate = [](TControl* c, TMessage&) { c->Invalidate(); };
    t->Add(CM_ENABLEDCHANGED, invalidate);
    t->Add(CM_COLORCHANGED, invalidate);
    t->Add(CM_FONTCHANGED, invalidate);
    t->Add(CM_TEXTCHANGED, invalidate);
    t->Add(CM_BIDIMODECHANGED, invalidate);
    t->Add(CM_VISIBLECHANGED, [](TControl* c, TMessage&) {
      c->InvalidateControl(true, c->Visible() && c->ControlStyle().Contains(csOpaque));
    });
    return t;
  }();
  return *table;
}

TControl::TControl(TComponent* owner)
    : TComponent(owner),
      font_(std::make_unique<TFont>()),
      constraints_(std::make_unique<TSizeConstraints>(this)) {
  InstallKeyHook();
  WindowProc = [this](TMessage& m) { WndProc(m); };
  controlStyle_ = {csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  parentColor_ = true;
  font_->OnChange = [this](TObject*) { FontChanged(); };
}

TControl::~TControl() {
  Destroying();
  if (Dragging()) CancelDockDrag();
  if (hostDockSite_) hostDockSite_->ForgetDockClient(this);
  // The window made for the floating control goes with it.
  if (floatHost_ && !floatHost_->ComponentState().Contains(csDestroying)) floatHost_->Release();
  if (mouseControl == this) mouseControl = nullptr;
  if (captureControl == this) SetCaptureControl(nullptr);
  if (parent_) parent_->RemoveControl(this);
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, lParam, 0};
  WindowProc(m);
  return m.Result;
}

void TControl::Dispatch(TMessage& message) { DispatchFrom(ClassMessages(), message); }

void TControl::DispatchFrom(const TMessageTable& table, TMessage& message) {
  for (const TMessageTable* t = &table; t; t = t->Parent())
    if (const TMessageHandler* h = t->Lookup(message.Msg)) {
      (*h)(this, message);
      return;
    }
  DefaultHandler(message);
}

void TControl::DefaultHandler(TMessage& message) {
  switch (message.Msg) {
    case WM_GETTEXTLENGTH: message.Result = static_cast<LRESULT>(text_.size()); break;
    default: break;
  }
}

void TControl::WndProc(TMessage& m) {
  if (!controlStyle_.Contains(csDoubleClicks)) {
    switch (m.Msg) {
      case WM_LBUTTONDBLCLK:
      case WM_RBUTTONDBLCLK:
      case WM_MBUTTONDBLCLK: m.Msg -= WM_LBUTTONDBLCLK - WM_LBUTTONDOWN; break;
      default: break;
    }
  }
  if (DockDragMessage(m)) return;
  if (m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK)
    controlState_ += csLButtonDown;
  else if (m.Msg == WM_LBUTTONUP)
    controlState_ -= csLButtonDown;
  Dispatch(m);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent == this) throw EInvalidOperation("A control cannot have itself as its parent");
  if (parent_) parent_->RemoveControl(this);
  if (parent) parent->InsertControl(this);
}

void TControl::SetParentComponent(TComponent* parent) {
  if (!parent) {
    SetParent(nullptr);
    return;
  }
  auto* win = dynamic_cast<TWinControl*>(parent);
  if (!win)
    throw EComponentError(Format("%s cannot hold controls", parent->Name().empty()
                                                               ? parent->ClassName().c_str()
                                                               : parent->Name().c_str()));
  SetParent(win);
}

TComponent* TControl::GetParentComponent() const { return parent_; }

void TControl::UpdateBoundsFields(int left, int top, int width, int height) {
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
}

void TControl::SetBounds(int left, int top, int width, int height) {
  constraints_->Apply(width, height);
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  bool sized = width != width_ || height != height_;
  InvalidateControl(visible_, false);
  UpdateBoundsFields(left, top, width, height);
  // A canvas fetched before the move would draw at the old place.
  FreeControlCanvases(this);
  Invalidate();
  RequestAlign();
  if (sized && !ComponentState().Contains(csLoading)) Resize();
}

void TControl::SetClientWidth(int value) { SetWidth(width_ - ClientWidth() + value); }
void TControl::SetClientHeight(int value) { SetHeight(height_ - ClientHeight() + value); }

RECT TControl::GetClientRect() { return RECT{0, 0, width_, height_}; }

POINT TControl::ClientOrigin() {
  if (!parent_) throw EInvalidOperation(Format("Control '%s' has no parent window", Name().c_str()));
  POINT p = parent_->ClientOrigin();
  return POINT{p.x + left_, p.y + top_};
}

POINT TControl::ClientToScreen(POINT p) {
  POINT o = ClientOrigin();
  return POINT{p.x + o.x, p.y + o.y};
}

POINT TControl::ScreenToClient(POINT p) {
  POINT o = ClientOrigin();
  return POINT{p.x - o.x, p.y - o.y};
}

void TControl::SetAlign(TAlign value) {
  if (value == align_) return;
  TAlign old = align_;
  align_ = value;
  if (parent_ && (old != alNone || value != alNone)) parent_->AlignControl(this);
}

void TControl::RequestAlign() {
  if (parent_ && align_ != alNone) parent_->AlignControl(this);
}

bool TControl::Showing() const { return visible_ && parent_ && parent_->Showing(); }

void TControl::SetVisible(bool value) {
  if (value == visible_) return;
  visible_ = value;
  Perform(CM_VISIBLECHANGED, value ? 1 : 0);
  if (hostDockSite_) {
    TMessage notice{CM_VISIBLECHANGED, static_cast<WPARAM>(value ? 1 : 0), 0, 0};
    NotifyDockHost(notice);
  }
  if (!value && mouseControl == this) mouseControl = nullptr;
  RequestAlign();
}

void TControl::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  Perform(CM_ENABLEDCHANGED);
}

void TControl::SetColor(TColor value) {
  if (value == color_) {
    parentColor_ = false;
    return;
  }
  color_ = value;
  parentColor_ = false;
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool value) {
  if (value == parentColor_) return;
  parentColor_ = value;
  if (parent_ && value) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::FontChanged() {
  if (!fontFromParent_) parentFont_ = false;
  Perform(CM_FONTCHANGED);
}

void TControl::SetParentFont(bool value) {
  if (value == parentFont_) return;
  parentFont_ = value;
  if (parent_ && value) Perform(CM_PARENTFONTCHANGED);
}

void TControl::SetText(const std::string& value) {
  if (GetText() == value) return;
  SetTextNow(value);
  Perform(CM_TEXTCHANGED);
  if (hostDockSite_) {
    TMessage notice{WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()), 0};
    NotifyDockHost(notice);
  }
}

std::string TControl::GetText() const { return text_; }
void TControl::SetTextNow(const std::string& value) { text_ = value; }

void TControl::SetBiDiMode(TBiDiMode value) {
  parentBiDiMode_ = false;
  if (value == biDiMode_) return;
  biDiMode_ = value;
  Perform(CM_BIDIMODECHANGED);
}

void TControl::SetParentBiDiMode(bool value) {
  if (value == parentBiDiMode_) return;
  parentBiDiMode_ = value;
  if (parent_ && value) Perform(CM_PARENTBIDIMODECHANGED);
}

void TControl::CMParentBiDiModeChanged(TMessage&) {
  if (!parentBiDiMode_ || !parent_) return;
  SetBiDiMode(parent_->BiDiMode());
  parentBiDiMode_ = true;
}

void TControl::SetCursor(TCursor value) {
  if (value == cursor_) return;
  cursor_ = value;
  Perform(CM_CURSORCHANGED);
}

void TControl::SetShowHint(bool value) {
  parentShowHint_ = false;
  if (value == showHint_) return;
  showHint_ = value;
  Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool value) {
  if (value == parentShowHint_) return;
  parentShowHint_ = value;
  if (value && parent_) Perform(CM_PARENTSHOWHINTCHANGED);
}

bool TControl::MouseCapture() const {
  if (captureControl != this) return false;
  auto* self = const_cast<TControl*>(this);
  HWND wnd = nullptr;
  if (windowed_)
    wnd = static_cast<TWinControl*>(self)->handle_;
  else if (parent_)
    wnd = parent_->handle_;
  return wnd && GetCapture() == wnd;
}

void TControl::SetMouseCapture(bool value) {
  if (value == MouseCapture()) return;
  SetCaptureControl(value ? this : nullptr);
}

void TControl::InvalidateControl(bool isVisible, bool isOpaque) {
  if (!parent_ || !parent_->HandleAllocated() || windowed_) return;
  if (!isVisible && !visible_) return;
  RECT r = BoundsRect();
  InvalidateRect(parent_->handle_, &r, !isOpaque);
}

void TControl::Invalidate() { InvalidateControl(visible_, controlStyle_.Contains(csOpaque)); }

void TControl::Update() {
  if (parent_) parent_->Update();
}

void TControl::Repaint() {
  if (!visible_ || !parent_ || !parent_->HandleAllocated()) return;
  Invalidate();
  parent_->Update();
}

void TControl::BringToFront() {
  if (!parent_) return;
  auto& list = parent_->controls_;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  list.push_back(this);
  if (windowed_) {
    auto* self = static_cast<TWinControl*>(this);
    if (self->handle_)
      SetWindowPos(self->handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  } else {
    Invalidate();
  }
}

void TControl::SendToBack() {
  if (!parent_) return;
  auto& list = parent_->controls_;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  list.insert(list.begin(), this);
  if (windowed_) {
    auto* self = static_cast<TWinControl*>(this);
    if (self->handle_)
      SetWindowPos(self->handle_, HWND_BOTTOM, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  } else {
    Invalidate();
  }
}

void TControl::Loaded() {
  TComponent::Loaded();
  RequestAlign();
}

bool TControl::HasParentForm() const { return GetParentForm(this) != nullptr; }

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

void TControl::Click() {
  if (OnClick)
    OnClick(this);
  else if (actionLink_ && !ComponentState().Contains(csDesigning))
    actionLink_->Execute(this);
}

// ---- Actions ---------------------------------------------------------------------------------

TBasicAction* TControl::Action() const { return actionLink_ ? actionLink_->Action() : nullptr; }

void TControl::SetAction(TBasicAction* value) {
  TBasicAction* old = Action();
  if (value == old) return;
  if (old) old->RemoveFreeNotification(this);
  if (!value) {
    actionLink_.reset();
    return;
  }
  if (!actionLink_) actionLink_ = CreateActionLink();
  actionLink_->SetAction(value);
  value->FreeNotification(this);
  ActionChange(value, ComponentState().Contains(csLoading));
}

std::unique_ptr<TControlActionLink> TControl::CreateActionLink() {
  return std::make_unique<TControlActionLink>(this);
}

void TControl::ActionChange(TObject* sender, bool checkDefaults) {
  auto* action = dynamic_cast<TCustomAction*>(sender);
  if (!action) return;
  if (!checkDefaults || Caption().empty()) SetCaption(action->Caption());
  if (!checkDefaults || Enabled()) SetEnabled(action->Enabled());
  if (!checkDefaults || Hint().empty()) SetHint(action->Hint());
  if (!checkDefaults || Visible()) SetVisible(action->Visible());
}

bool TControl::ExecuteAction(TBasicAction* action) {
  if (!action->HandlesTarget(this)) return false;
  action->ExecuteTarget(this);
  return true;
}

void TControl::CMActionExecute(TWMObject<TBasicAction>& m) { m.Result = ExecuteAction(m.Object) ? 1 : 0; }

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove) return;
  if (actionLink_ && (component == actionLink_->Action() || !actionLink_->Action())) actionLink_.reset();
  if (component == floatHost_) floatHost_ = nullptr;
  if (component == popupMenu_) popupMenu_ = nullptr;
}

// ---- Context menus ---------------------------------------------------------------------------

void TControl::SetPopupMenu(TPopupMenu* value) {
  if (value == popupMenu_) return;
  if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = value;
  if (value) value->FreeNotification(this);
}

void TControl::WMContextMenu(TWMContextMenu& m) {
  if (m.Result != 0) return;
  if (!ComponentState().Contains(csDesigning) && popupMenu_ && popupMenu_->AutoPopup()) {
    POINT p = m.Pos;
    // The keyboard's menu key and Shift+F10 come without a point.
    if (p.x == -1 && p.y == -1) p = ClientToScreen(POINT{0, 0});
    popupMenu_->SetPopupComponent(this);
    popupMenu_->Popup(p.x, p.y);
    m.Result = 1;
    return;
  }
  Inherited(m);
}

bool TControlActionLink::IsCaptionLinked() {
  return TActionLink::IsCaptionLinked() && client_->Caption() == CustomAction()->Caption();
}

bool TControlActionLink::IsEnabledLinked() {
  return TActionLink::IsEnabledLinked() && client_->Enabled() == CustomAction()->Enabled();
}

bool TControlActionLink::IsHintLinked() {
  return TActionLink::IsHintLinked() && client_->Hint() == CustomAction()->Hint();
}

bool TControlActionLink::IsVisibleLinked() {
  return TActionLink::IsVisibleLinked() && client_->Visible() == CustomAction()->Visible();
}

void TControlActionLink::SetCaption(const std::string& value) {
  if (IsCaptionLinked()) client_->SetCaption(value);
}

void TControlActionLink::SetEnabled(bool value) {
  if (IsEnabledLinked()) client_->SetEnabled(value);
}

void TControlActionLink::SetHint(const std::string& value) {
  if (IsHintLinked()) client_->SetHint(value);
}

void TControlActionLink::SetVisible(bool value) {
  if (IsVisibleLinked()) client_->SetVisible(value);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

bool TControl::DoMouseWheel(TShiftState shift, int wheelDelta, POINT mousePos) {
  bool handled = false;
  if (OnMouseWheel) OnMouseWheel(this, shift, wheelDelta, mousePos, handled);
  return handled;
}

HDC TControl::GetDeviceContext(HWND& window) {
  if (!parent_) throw EInvalidOperation(Format("Control '%s' has no parent window", Name().c_str()));
  HDC dc = parent_->GetDeviceContext(window);
  SetViewportOrgEx(dc, left_, top_, nullptr);
  IntersectClipRect(dc, 0, 0, width_, height_);
  return dc;
}

void TControl::MouseButtonDown(TMouseButton button, TWMMouse& m, bool dbl) {
  // Some native handlers (a tree view's, a list view's) follow the mouse in a loop of their
  // own and return only after the button went up, its release taken from the queue. Capturing
  // then would hold the mouse with nothing left to release it, and the next click anywhere
  // would come here; and no release will come to end a click.
  const bool wasDown = GetKeyState(VK_LBUTTON) < 0;
  Inherited(m);
  const bool releasedMeanwhile = wasDown && GetKeyState(VK_LBUTTON) >= 0;
  POINT p = m.Pos;
  TShiftState shift = MouseKeysToShiftState(m.Keys);
  if (dbl) shift += ssDouble;
  if (button == mbLeft) {
    if (controlStyle_.Contains(csCaptureMouse) && !releasedMeanwhile) SetMouseCapture(true);
    if (controlStyle_.Contains(csClickEvents)) {
      if (dbl)
        DblClick();
      else if (!releasedMeanwhile)
        controlState_ += csClicked;
    }
  }
  if (!controlStyle_.Contains(csNoStdEvents)) MouseDown(button, shift, p.x, p.y);
}

void TControl::MouseButtonUp(TMouseButton button, TWMMouse& m) {
  Inherited(m);
  POINT p = m.Pos;
  if (button == mbLeft) {
    if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(false);
    if (controlState_.Contains(csClicked)) {
      controlState_ -= csClicked;
      RECT r = GetClientRect();
      if (PtInRect(&r, p)) Click();
    }
  }
  if (!controlStyle_.Contains(csNoStdEvents))
    MouseUp(button, MouseKeysToShiftState(m.Keys), p.x, p.y);
}

void TControl::WMMouseButton(TWMMouse& m) {
  switch (m.Message.Msg) {
    case WM_LBUTTONDOWN: MouseButtonDown(mbLeft, m, false); break;
    case WM_LBUTTONDBLCLK: MouseButtonDown(mbLeft, m, true); break;
    case WM_RBUTTONDOWN: MouseButtonDown(mbRight, m, false); break;
    case WM_RBUTTONDBLCLK: MouseButtonDown(mbRight, m, true); break;
    case WM_MBUTTONDOWN: MouseButtonDown(mbMiddle, m, false); break;
    case WM_MBUTTONDBLCLK: MouseButtonDown(mbMiddle, m, true); break;
    case WM_LBUTTONUP: MouseButtonUp(mbLeft, m); break;
    case WM_RBUTTONUP: MouseButtonUp(mbRight, m); break;
    case WM_MBUTTONUP: MouseButtonUp(mbMiddle, m); break;
    default: Inherited(m); break;
  }
}

void TControl::WMMouseMove(TWMMouse& m) {
  Inherited(m);
  if (!controlStyle_.Contains(csNoStdEvents)) MouseMove(MouseKeysToShiftState(m.Keys), m.Pos.x, m.Pos.y);
}

void TControl::WMMouseWheel(TWMMouseWheel& m) {
  m.Result = Perform(CM_MOUSEWHEEL, m.Message.WParam, m.Message.LParam);
  if (m.Result == 0) Inherited(m);
}

void TControl::CMMouseWheel(TWMMouseWheel& m) {
  if (DoMouseWheel(MouseKeysToShiftState(m.Keys), m.WheelDelta, m.Pos))
    m.Result = 1;
  else if (parent_)
    m.Result = parent_->Perform(CM_MOUSEWHEEL, m.Message.WParam, m.Message.LParam);
}

void TControl::CMParentColorChanged(TMessage& m) {
  if (!parentColor_ || !parent_) return;
  TColor c = m.WParam ? static_cast<TColor>(m.LParam) : parent_->color_;
  SetColor(c);
  parentColor_ = true;
}

void TControl::CMParentFontChanged(TMessage&) {
  if (!parentFont_ || !parent_) return;
  TRestore<bool> fromParent(fontFromParent_, true);
  font_->Assign(parent_->Font());
}

void TControl::CMParentShowHintChanged(TMessage&) {
  if (!parentShowHint_ || !parent_) return;
  SetShowHint(parent_->ShowHint());
  parentShowHint_ = true;
}

void TControl::CMHitTest(TWMMouse& m) { m.Result = HTCLIENT; }

void TControl::CMMouseEnter(TWMObject<TControl>& m) {
  if (!m.Object || m.Object == this) MouseEnter();
}

void TControl::CMMouseLeave(TWMObject<TControl>& m) {
  if (!m.Object || m.Object == this) MouseLeave();
}

void TControl::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TControl::MouseLeave() {
  if (OnMouseLeave) OnMouseLeave(this);
}

// ---- Registration --------------------------------------------------------------------------

void RegisterControls() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterActions();

  RegisterClassInfo<TFont, TPersistent>("TFont")
      .String("Name", &TFont::Name, &TFont::SetName, "Tahoma")
      .Integer("Size", &TFont::Size, &TFont::SetSize, 8)
      .Integer("Height", &TFont::Height, &TFont::SetHeight)
      .StoredIf([](TFont*) { return false; })
      .Set("Style", FontStyleInfo, &TFont::Style, &TFont::SetStyle, TFontStyles{})
      .Color("Color", &TFont::Color, &TFont::SetColor, clWindowText)
      .Integer("Charset", &TFont::Charset, &TFont::SetCharset, DEFAULT_CHARSET)
      .Enum("Pitch", FontPitchInfo, &TFont::Pitch, &TFont::SetPitch, fpDefault);
  RegisterClassInfo<TSizeConstraints, TPersistent>("TSizeConstraints")
      .Integer("MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth, 0)
      .Integer("MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight, 0)
      .Integer("MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth, 0)
      .Integer("MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight, 0);

  RegisterClassInfo<TControl, TComponent>("TControl")
      .Integer("Left", &TControl::Left, &TControl::SetLeft)
      .Integer("Top", &TControl::Top, &TControl::SetTop)
      .Integer("Width", &TControl::Width, &TControl::SetWidth)
      .Integer("Height", &TControl::Height, &TControl::SetHeight)
      .Enum("Align", AlignInfo, &TControl::Align, &TControl::SetAlign, alNone)
      .Boolean("Visible", &TControl::Visible, &TControl::SetVisible, true)
      .Boolean("Enabled", &TControl::Enabled, &TControl::SetEnabled, true)
      .Color("Color", &TControl::Color, &TControl::SetColor, clWindow)
      .StoredIf([](TControl* c) { return !c->ParentColor(); })
      .Boolean("ParentColor", &TControl::ParentColor, &TControl::SetParentColor, true)
      .Object("Font", &TControl::Font)
      .StoredIf([](TControl* c) { return !c->ParentFont(); })
      .Boolean("ParentFont", &TControl::ParentFont, &TControl::SetParentFont, true)
      .String("Hint", &TControl::Hint, &TControl::SetHint)
      .Boolean("ShowHint", &TControl::ShowHint, &TControl::SetShowHint, false)
      .StoredIf([](TControl* c) { return !c->ParentShowHint(); })
      .Boolean("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint, true)
      .Enum("BiDiMode", BiDiModeInfo, &TControl::BiDiMode, &TControl::SetBiDiMode, bdLeftToRight)
      .StoredIf([](TControl* c) { return !c->ParentBiDiMode(); })
      .Boolean("ParentBiDiMode", &TControl::ParentBiDiMode, &TControl::SetParentBiDiMode, true)
      .Object("Constraints", &TControl::Constraints)
      .Enum("DragKind", DragKindInfo, &TControl::DragKind, &TControl::SetDragKind, dkDrag)
      .Enum("DragMode", DragModeInfo, &TControl::DragMode, &TControl::SetDragMode, dmManual)
      .Component("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu)
      .Event("OnStartDock", &TControl::OnStartDock)
      .Event("OnEndDock", &TControl::OnEndDock)
      .Component("Action", &TControl::Action, &TControl::SetAction)
      .Event("OnClick", &TControl::OnClick)
      .Event("OnDblClick", &TControl::OnDblClick)
      .Event("OnMouseDown", &TControl::OnMouseDown)
      .Event("OnMouseUp", &TControl::OnMouseUp)
      .Event("OnMouseMove", &TControl::OnMouseMove)
      .Event("OnMouseEnter", &TControl::OnMouseEnter)
      .Event("OnMouseLeave", &TControl::OnMouseLeave)
      .Event("OnMouseWheel", &TControl::OnMouseWheel)
      .Event("OnResize", &TControl::OnResize)
      // Cursors are stored by name ("crHandPoint"); the numbers are not ordinals.
      .Extra(
          "Cursor", tkEnumeration,
          [](TControl* c, const TValue& v) {
            TCursor cursor = crDefault;
            if (!IdentToCursor(v.AsString(), cursor))
              throw EPropertyConvertError(v.AsString() + " is not a cursor");
            c->SetCursor(cursor);
          },
          [](TControl* c) -> std::optional<TValue> {
            if (c->Cursor() == crDefault) return std::nullopt;
            return TValue::Ident(CursorToString(c->Cursor()));
          });
  RegisterClassInfo<TWinControl, TControl>("TWinControl")
      .Integer("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder)
      .StoredIf([](TWinControl* c) { return c->Parent() != nullptr; })
      .Boolean("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, false)
      .Event("OnEnter", &TWinControl::OnEnter)
      .Event("OnExit", &TWinControl::OnExit)
      .Event("OnKeyDown", &TWinControl::OnKeyDown)
      .Event("OnKeyUp", &TWinControl::OnKeyUp)
      .Event("OnKeyPress", &TWinControl::OnKeyPress)
      .Boolean("DockSite", &TWinControl::DockSite, &TWinControl::SetDockSite, false)
      .Boolean("UseDockManager", &TWinControl::UseDockManager, &TWinControl::SetUseDockManager, false)
      .Event("OnDockDrop", &TWinControl::OnDockDrop)
      .Event("OnDockOver", &TWinControl::OnDockOver)
      .Event("OnGetSiteInfo", &TWinControl::OnGetSiteInfo)
      .Event("OnUnDock", &TWinControl::OnUnDock);
  RegisterClassInfo<TCustomControl, TWinControl>("TCustomControl");
  RegisterClassInfo<TGraphicControl, TControl>("TGraphicControl");

  RegisterPictureHooks(
      [](TPersistent* picture, HINSTANCE module, const std::string& resource) {
        auto* p = dynamic_cast<TPicture*>(picture);
        if (!p) throw EPropertyError("the property holds no picture");
        if (resource.empty()) {
          p->SetGraphic(nullptr);
          PictureSources().erase(picture);
          return;
        }
        p->LoadFromResourceName(module, resource);
        PictureSources()[picture] = {resource, p->Graphic()};
      },
      [](TPersistent* picture) -> std::string {
        auto* p = dynamic_cast<TPicture*>(picture);
        auto it = PictureSources().find(picture);
        if (!p || it == PictureSources().end() || it->second.graphic != p->Graphic() ||
            !p->Graphic())
          return {};
        return it->second.resource;
      });
}
