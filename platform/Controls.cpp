#include "platform/Controls.h"

#include <algorithm>
#include <climits>
#include <map>

#include "platform/Forms.h"
#include "platform/Guards.h"
#include "platform/Layout.h"
#include "platform/Themes.h"
#include "platform/TypInfo.h"

namespace {

// ---- Window procedure plumbing -----------------------------------------------------------------

// The controls by their windows. A table of the process's own rather than a window property:
// it is asked at every message, and a property costs a trip to the system each time.
std::unordered_map<HWND, TWinControl*>& ControlWindows() {
  static auto* windows = new std::unordered_map<HWND, TWinControl*>;
  return *windows;
}

// The control whose window CreateWindowExA is making on this thread; it takes the window at
// the window's first message.
thread_local TWinControl* creatingControl = nullptr;

// The procedure each registered class passes what no control takes to. Like the other tables
// here it is never freed: windows of forms the application frees at exit still use it.
std::map<std::string, WNDPROC>& ClassDefaults() {
  static auto* defaults = new std::map<std::string, WNDPROC>;
  return *defaults;
}

TControl* mouseControl = nullptr;
TControl* captureControl = nullptr;
int nextChildId = 100;

// Canvases that hold a context they fetched themselves, so that it can be given back before
// its window goes.
std::vector<TControlCanvas*>& HeldCanvases() {
  static auto* list = new std::vector<TControlCanvas*>;
  return *list;
}
void FreeDeviceContexts(HWND window) {
  std::vector<TControlCanvas*> held = HeldCanvases();
  for (TControlCanvas* c : held)
    if (c->Window() == window) c->FreeHandle();
}

// The message handlers of the base classes are members; these adapt them to the tables.
template <class C>
TMessageHandler Handler(void (C::*method)(TMessage&)) {
  return [method](TControl* self, TMessage& m) { (static_cast<C*>(self)->*method)(m); };
}

// A control's canvas on the context it is painted into, for the length of its Paint: no
// other thread draws on it meanwhile, and it lets go of the context however Paint ends.
class TPaintCanvas {
 public:
  TPaintCanvas(TControlCanvas* canvas, HDC dc) : canvas_(canvas) {
    canvas_->FreeHandle();
    canvas_->Lock();
    canvas_->SetHandle(dc);
  }
  ~TPaintCanvas() {
    canvas_->SetHandle(nullptr);
    canvas_->Unlock();
  }
  TPaintCanvas(const TPaintCanvas&) = delete;
  TPaintCanvas& operator=(const TPaintCanvas&) = delete;

 private:
  TControlCanvas* canvas_;
};

bool IsMouseMessage(UINT msg) {
  return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && msg != WM_MOUSEWHEEL &&
         msg != WM_MOUSEHWHEEL;
}

// Makes the target the control under the mouse, telling the old one it was left and the new
// one it was entered. While a control holds the capture only it hears of the change.
void SetMouseControl(TControl* target) {
  if (mouseControl == target) return;
  TControl* old = mouseControl;
  mouseControl = target;
  TControl* capture = captureControl;
  if (old && (!capture || old == capture))
    old->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(old));
  if (target && mouseControl == target && (!capture || target == capture))
    target->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(target));
}

std::string ClassNameForWindow(const TWinControl* control) {
  const TClassInfo* info = ObjectClassInfo(control);
  return info ? info->Name() : control->ClassName();
}

// The application loop offers every keyboard message to the control first (CN_KEYDOWN and
// friends), so that the form can take Tab, Enter, Escape and accelerators.
bool IsKeyMessage(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  HWND wnd = GetCapture();
  if (wnd) {
    if (!FindControl(wnd)) return false;
  } else {
    wnd = msg.hwnd;
    while (wnd && !FindControl(wnd)) wnd = GetParent(wnd);
    if (!wnd) return false;
  }
  return SendMessageA(wnd, CN_BASE + msg.message, msg.wParam, msg.lParam) != 0;
}

void InstallKeyHook() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  Application->SetPreprocessHook(IsKeyMessage);
}

// Names of the published enumerations.
const TEnumInfo AlignInfo{"TAlign", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"}};
const TEnumInfo FontStyleInfo{"TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}};
const TEnumInfo FontPitchInfo{"TFontPitch", {"fpDefault", "fpVariable", "fpFixed"}};
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

TWinControl* FindControl(HWND window) {
  if (!window) return nullptr;
  auto& windows = ControlWindows();
  auto it = windows.find(window);
  return it == windows.end() ? nullptr : it->second;
}

TControl* MouseControl() { return mouseControl; }
TControl* GetCaptureControl() { return captureControl; }

void SetCaptureControl(TControl* control) {
  captureControl = nullptr;
  ReleaseCapture();
  if (!control) return;
  if (auto* win = dynamic_cast<TWinControl*>(control)) {
    SetCapture(win->Handle());
  } else {
    if (!control->Parent()) return;
    SetCapture(control->Parent()->Handle());
  }
  captureControl = control;
}

TForm* GetParentForm(const TControl* control) {
  if (!control) return nullptr;
  const TControl* top = control;
  while (top->Parent()) top = top->Parent();
  return dynamic_cast<TForm*>(const_cast<TControl*>(top));
}

LRESULT CALLBACK ControlWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  TWinControl* control = FindControl(wnd);
  if (!control) {
    control = creatingControl;
    if (!control) {
      char name[256] = {};
      GetClassNameA(wnd, name, sizeof(name));
      auto it = ClassDefaults().find(name);
      WNDPROC proc = it != ClassDefaults().end() ? it->second : DefWindowProcA;
      return CallWindowProcA(proc, wnd, msg, wp, lp);
    }
    creatingControl = nullptr;
    control->AttachHandle(wnd);
  }
  // Posted by TForm::Release: the form goes once the messages before this one are handled.
  if (msg == CM_RELEASE) {
    return GuardWndProc(control, [&]() -> LRESULT {
      delete control;
      return 0;
    });
  }
  // A control being destroyed has lost its derived parts: its window ends as the class would.
  if (control->ComponentState().Contains(csDestroying)) {
    LRESULT r = CallWindowProcA(control->defWndProc_, wnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) control->DetachHandle();
    return r;
  }
  LRESULT result = GuardWndProc(control, [&]() -> LRESULT {
    TMessage m{msg, wp, lp, 0};
    control->WindowProc(m);
    return m.Result;
  });
  if (msg == WM_NCDESTROY && FindControl(wnd) == control) control->DetachHandle();
  return result;
}

// ---- TMessageTable --------------------------------------------------------------------------

TMessageHandler TMessageTable::Find(UINT message) const {
  auto it = handlers_.find(message);
  return it == handlers_.end() ? TMessageHandler() : it->second;
}

TMessageHandler TMessageTable::Replace(UINT message, TMessageHandler handler) {
  TMessageHandler old = Find(message);
  if (handler)
    handlers_[message] = std::move(handler);
  else
    handlers_.erase(message);
  return old;
}

const TMessageHandler* TMessageTable::Lookup(UINT message) const {
  auto it = handlers_.find(message);
  return it == handlers_.end() ? nullptr : &it->second;
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

// ---- TControlCanvas -------------------------------------------------------------------------

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* control) {
  if (control_ == control) return;
  FreeHandle();
  control_ = control;
}

void TControlCanvas::FreeHandle() {
  if (!deviceContext_) return;
  SetHandle(nullptr);
  ReleaseDC(window_, deviceContext_);
  deviceContext_ = nullptr;
  window_ = nullptr;
  auto& held = HeldCanvases();
  held.erase(std::remove(held.begin(), held.end(), this), held.end());
}

void TControlCanvas::CreateHandle() {
  if (!control_ || deviceContext_) return;
  HWND window = nullptr;
  HDC dc = control_->GetDeviceContext(window);
  if (!dc) return;
  deviceContext_ = dc;
  window_ = window;
  HeldCanvases().push_back(this);
  SetHandle(dc);
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
    t->Add(CM_HITTEST, Handler(&TControl::CMHitTest));
    t->Add(CM_MOUSEENTER, Handler(&TControl::CMMouseEnter));
    t->Add(CM_MOUSELEAVE, Handler(&TControl::CMMouseLeave));
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
  for (TControlCanvas* c : std::vector<TControlCanvas*>(HeldCanvases()))
    if (c->Control() == this) c->FreeHandle();
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
  showHint_ = value;
  parentShowHint_ = false;
}

void TControl::SetParentShowHint(bool value) {
  if (value == parentShowHint_) return;
  parentShowHint_ = value;
  if (value && parent_) showHint_ = parent_->ShowHint();
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
  if (OnClick) OnClick(this);
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

void TControl::MouseButtonDown(TMouseButton button, TMessage& m, bool dbl) {
  DefaultHandler(m);
  POINT p = LParamToPoint(m.LParam);
  TShiftState shift = MouseKeysToShiftState(m.WParam);
  if (dbl) shift += ssDouble;
  if (button == mbLeft) {
    if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(true);
    if (controlStyle_.Contains(csClickEvents)) {
      if (dbl)
        DblClick();
      else
        controlState_ += csClicked;
    }
  }
  if (!controlStyle_.Contains(csNoStdEvents)) MouseDown(button, shift, p.x, p.y);
}

void TControl::MouseButtonUp(TMouseButton button, TMessage& m) {
  DefaultHandler(m);
  POINT p = LParamToPoint(m.LParam);
  if (button == mbLeft) {
    if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(false);
    if (controlState_.Contains(csClicked)) {
      controlState_ -= csClicked;
      RECT r = GetClientRect();
      if (PtInRect(&r, p)) Click();
    }
  }
  if (!controlStyle_.Contains(csNoStdEvents))
    MouseUp(button, MouseKeysToShiftState(m.WParam), p.x, p.y);
}

void TControl::WMMouseButton(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN: MouseButtonDown(mbLeft, m, false); break;
    case WM_LBUTTONDBLCLK: MouseButtonDown(mbLeft, m, true); break;
    case WM_RBUTTONDOWN: MouseButtonDown(mbRight, m, false); break;
    case WM_RBUTTONDBLCLK: MouseButtonDown(mbRight, m, true); break;
    case WM_MBUTTONDOWN: MouseButtonDown(mbMiddle, m, false); break;
    case WM_MBUTTONDBLCLK: MouseButtonDown(mbMiddle, m, true); break;
    case WM_LBUTTONUP: MouseButtonUp(mbLeft, m); break;
    case WM_RBUTTONUP: MouseButtonUp(mbRight, m); break;
    case WM_MBUTTONUP: MouseButtonUp(mbMiddle, m); break;
    default: DefaultHandler(m); break;
  }
}

void TControl::WMMouseMove(TMessage& m) {
  DefaultHandler(m);
  POINT p = LParamToPoint(m.LParam);
  if (!controlStyle_.Contains(csNoStdEvents)) MouseMove(MouseKeysToShiftState(m.WParam), p.x, p.y);
}

void TControl::WMMouseWheel(TMessage& m) {
  m.Result = Perform(CM_MOUSEWHEEL, m.WParam, m.LParam);
  if (m.Result == 0) DefaultHandler(m);
}

void TControl::CMMouseWheel(TMessage& m) {
  TShiftState shift = MouseKeysToShiftState(LOWORD(m.WParam));
  int delta = static_cast<short>(HIWORD(m.WParam));
  POINT pos = LParamToPoint(m.LParam);
  if (DoMouseWheel(shift, delta, pos))
    m.Result = 1;
  else if (parent_)
    m.Result = parent_->Perform(CM_MOUSEWHEEL, m.WParam, m.LParam);
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
  if (parentShowHint_ && parent_) showHint_ = parent_->ShowHint();
}

void TControl::CMHitTest(TMessage& m) { m.Result = HTCLIENT; }

void TControl::CMMouseEnter(TMessage& m) {
  if (m.LParam == 0 || m.LParam == reinterpret_cast<LPARAM>(this)) MouseEnter();
}

void TControl::CMMouseLeave(TMessage& m) {
  if (m.LParam == 0 || m.LParam == reinterpret_cast<LPARAM>(this)) MouseLeave();
}

void TControl::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TControl::MouseLeave() {
  if (OnMouseLeave) OnMouseLeave(this);
}

// ---- TWinControl --------------------------------------------------------------------------

TMessageTable& TWinControl::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TControl::Messages());
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
    for (UINT msg : {WM_DELETEITEM, WM_COMPAREITEM, WM_HSCROLL, WM_VSCROLL, WM_CHARTOITEM,
                     WM_VKEYTOITEM})
      t->Add(msg, Handler(&TWinControl::WMReflect));
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
    t->Add(CM_SYSCOLORCHANGE, Handler(&TWinControl::CMBroadcast));
    t->Add(CM_ENTER, Handler(&TWinControl::CMEnter));
    t->Add(CM_EXIT, Handler(&TWinControl::CMExit));
    t->Add(CM_RECREATEWND, Handler(&TWinControl::CMRecreateWnd));
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
  TMessage hint{0, 0, 0, 0};
  control->CMParentShowHintChanged(hint);
  if (control->windowed_) {
    auto* win = static_cast<TWinControl*>(control);
    if (handle_ && !ComponentState().Contains(csDestroying)) win->CreateHandle();
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
    for (TControlCanvas* c : std::vector<TControlCanvas*>(HeldCanvases()))
      if (c->Control() == control) c->FreeHandle();
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
  params.WindowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
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
  CreateWnd();
  UpdateBounds();
  for (TControl* c : std::vector<TControl*>(controls_))
    if (c->windowed_) static_cast<TWinControl*>(c)->CreateHandle();
  Realign();
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
  }
  DefaultHandler(m);
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
    if (m.Msg >= CN_CTLCOLORMSGBOX && m.Msg <= CN_CTLCOLORSTATIC) CNCtlColor(m);
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

void TWinControl::WMWindowPosChanged(TMessage& m) {
  DefaultHandler(m);
  auto* pos = reinterpret_cast<WINDOWPOS*>(m.LParam);
  if (pos && (pos->flags & (SWP_NOSIZE | SWP_NOMOVE)) != (SWP_NOSIZE | SWP_NOMOVE)) UpdateBounds();
}

void TWinControl::WMSize(TMessage& m) {
  UpdateBounds();
  DefaultHandler(m);
  Realign();
  if (!ComponentState().Contains(csLoading)) Resize();
}

// ---- Alignment ----------------------------------------------------------------------------------

void TWinControl::EnableAlign() {
  if (alignDisabled_ > 0 && --alignDisabled_ == 0) Realign();
}

void TWinControl::Realign() { AlignControl(nullptr); }

void TWinControl::AlignControl(TControl* control) {
  if (alignDisabled_ > 0 || aligning_ || ComponentState().Contains(csLoading) ||
      ComponentState().Contains(csDestroying))
    return;
  bool any = false;
  for (TControl* c : controls_)
    if (c->align_ != alNone) any = true;
  if (!any) return;
  RECT r = GetClientRect();
  AdjustClientRect(r);
  TRestore<bool> busy(aligning_, true);
  AlignControls(control, r);
}

void TWinControl::AdjustClientRect(RECT&) {}

void TWinControl::AlignControls(TControl* control, RECT& rect) {
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) DoAlign(a, rect, control);
}

void TWinControl::DoAlign(TAlign align, RECT& rect, TControl* control) {
  // Controls of one alignment keep the order of their places; the one that asked goes first
  // among equals, so that a control moved over another lands on its side.
  auto before = [align](TControl* a, TControl* b) {
    switch (align) {
      case alTop: return a->top_ < b->top_;
      case alBottom: return a->top_ + a->height_ >= b->top_ + b->height_;
      case alLeft: return a->left_ < b->left_;
      case alRight: return a->left_ + a->width_ >= b->left_ + b->width_;
      default: return false;
    }
  };
  std::vector<TControl*> list;
  if (control && control->parent_ == this && control->align_ == align && control->visible_)
    list.push_back(control);
  for (TControl* c : controls_) {
    if (c == control || c->align_ != align || !c->visible_) continue;
    auto at = list.begin();
    while (at != list.end() && !before(c, *at)) ++at;
    list.insert(at, c);
  }
  for (TControl* c : list) {
    int w = rect.right - rect.left, h = rect.bottom - rect.top;
    switch (align) {
      case alTop:
        c->SetBounds(rect.left, rect.top, w, c->height_);
        rect.top += c->height_;
        break;
      case alBottom:
        c->SetBounds(rect.left, rect.bottom - c->height_, w, c->height_);
        rect.bottom -= c->height_;
        break;
      case alLeft:
        c->SetBounds(rect.left, rect.top, c->width_, h);
        rect.left += c->width_;
        break;
      case alRight:
        c->SetBounds(rect.right - c->width_, rect.top, c->width_, h);
        rect.right -= c->width_;
        break;
      case alClient: c->SetBounds(rect.left, rect.top, w, h); break;
      default: break;
    }
  }
}

void TWinControl::Loaded() {
  TControl::Loaded();
  FixupTabList();
  Realign();
}

// ---- Painting -------------------------------------------------------------------------------------

void TWinControl::WMPaint(TMessage& m) {
  HDC given = reinterpret_cast<HDC>(m.WParam);
  bool anyWindowless = std::any_of(controls_.begin(), controls_.end(),
                                   [](TControl* c) { return !c->windowed_; });
  if (!controlState_.Contains(csCustomPaint) && !anyWindowless) {
    DefaultHandler(m);
    return;
  }
  if (given) {
    PaintHandler(given, nullptr);
    return;
  }
  TPaintDC dc(handle_);
  PaintHandler(dc, &dc.Paint().rcPaint);
}

void TWinControl::WMPrintClient(TMessage& m) {
  if ((m.LParam & PRF_CHECKVISIBLE) && !Visible()) {
    DefaultHandler(m);
    return;
  }
  PaintHandler(reinterpret_cast<HDC>(m.WParam), nullptr);
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
}

void TWinControl::PaintWindow(HDC dc) {
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

void TWinControl::WMEraseBkgnd(TMessage& m) {
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  if (controlStyle_.Contains(csParentBackground) && parent_ && ThemeServicesEnabled()) {
    Themes::DrawThemeParentBackground(handle_, dc, nullptr);
  } else {
    RECT r = GetClientRect();
    FillRect(dc, &r, brush_->Handle());
  }
  m.Result = 1;
}

void TWinControl::WMSetCursor(TMessage& m) {
  if (reinterpret_cast<HWND>(m.WParam) == handle_) {
    TCursor cursor = Screen->Cursor();
    if (cursor == crDefault) {
      POINT p;
      GetCursorPos(&p);
      ::ScreenToClient(handle_, &p);
      TControl* control = ControlAtPos(p, false);
      if (control) cursor = control->Cursor();
      if (cursor == crDefault && LOWORD(m.LParam) == HTCLIENT) cursor = Cursor();
    }
    if (cursor != crDefault) {
      ::SetCursor(Screen->Cursors(cursor));
      m.Result = 1;
      return;
    }
  }
  DefaultHandler(m);
}

void TWinControl::WMSysColorChange(TMessage& m) {
  NotifyControls(CM_SYSCOLORCHANGE);
  DefaultHandler(m);
}

// ---- Reflected notifications ----------------------------------------------------------------

void TWinControl::WMReflect(TMessage& m) {
  HWND child = reinterpret_cast<HWND>(m.LParam);
  if (m.Msg == WM_DELETEITEM) child = reinterpret_cast<DELETEITEMSTRUCT*>(m.LParam)->hwndItem;
  if (m.Msg == WM_COMPAREITEM) child = reinterpret_cast<COMPAREITEMSTRUCT*>(m.LParam)->hwndItem;
  if (TWinControl* c = FindControl(child)) {
    m.Result = c->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
    return;
  }
  DefaultHandler(m);
}

void TWinControl::WMCommand(TMessage& m) {
  if (TWinControl* c = FindControl(reinterpret_cast<HWND>(m.LParam))) {
    m.Result = c->Perform(CN_COMMAND, m.WParam, m.LParam);
    return;
  }
  DefaultHandler(m);
}

void TWinControl::WMNotify(TMessage& m) {
  auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
  if (hdr)
    if (TWinControl* c = FindControl(hdr->hwndFrom)) {
      m.Result = c->Perform(CN_NOTIFY, m.WParam, m.LParam);
      return;
    }
  DefaultHandler(m);
}

void TWinControl::WMDrawItem(TMessage& m) {
  auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
  if (item && item->CtlType != ODT_MENU)
    if (TWinControl* c = FindControl(item->hwndItem)) {
      m.Result = c->Perform(CN_DRAWITEM, m.WParam, m.LParam);
      return;
    }
  DefaultHandler(m);
}

void TWinControl::WMMeasureItem(TMessage& m) {
  auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
  if (item && item->CtlType != ODT_MENU && handle_)
    if (TWinControl* c = FindControl(GetDlgItem(handle_, static_cast<int>(item->CtlID)))) {
      m.Result = c->Perform(CN_MEASUREITEM, m.WParam, m.LParam);
      return;
    }
  DefaultHandler(m);
}

void TWinControl::CNCtlColor(TMessage& m) {
  HDC dc = reinterpret_cast<HDC>(m.WParam);
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

void TWinControl::SetCtl3D(bool value) {
  if (value == ctl3D_) return;
  ctl3D_ = value;
  RecreateWnd();
}

// ---- Focus and tab order -----------------------------------------------------------------------

int TWinControl::TabOrder() const {
  if (!parent_ || parent_->ComponentState().Contains(csLoading)) return tabOrder_;
  auto& list = parent_->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int value) {
  if (!parent_ || parent_->ComponentState().Contains(csLoading) ||
      ComponentState().Contains(csLoading)) {
    tabOrder_ = value;
    return;
  }
  auto& list = parent_->tabList_;
  int count = static_cast<int>(list.size());
  if (value < 0) value = 0;
  if (value >= count) value = count - 1;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  list.insert(list.begin() + value, this);
  tabOrder_ = -1;
}

void TWinControl::FixupTabList() {
  std::stable_sort(tabList_.begin(), tabList_.end(), [](TWinControl* a, TWinControl* b) {
    int x = a->tabOrder_ < 0 ? INT_MAX : a->tabOrder_;
    int y = b->tabOrder_ < 0 ? INT_MAX : b->tabOrder_;
    return x < y;
  });
  for (TWinControl* c : tabList_) c->tabOrder_ = -1;
}

void TWinControl::SetTabStop(bool value) {
  if (value == tabStop_) return;
  tabStop_ = value;
  UpdateStyle(WS_TABSTOP, value);
  Perform(CM_TABSTOPCHANGED);
}

std::vector<TWinControl*> TWinControl::GetTabOrderList() const {
  std::vector<TWinControl*> list;
  for (TWinControl* c : tabList_) {
    list.push_back(c);
    std::vector<TWinControl*> inner = c->GetTabOrderList();
    list.insert(list.end(), inner.begin(), inner.end());
  }
  return list;
}

bool TWinControl::CanFocus() const {
  TForm* form = GetParentForm(this);
  if (!form) return false;
  for (const TControl* c = this; c && c != static_cast<const TControl*>(form); c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

void TWinControl::SetFocus() {
  if (TForm* form = GetParentForm(this))
    form->FocusControl(this);
  else
    ::SetFocus(Handle());
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                          bool checkParent) {
  std::vector<TWinControl*> list = GetTabOrderList();
  int count = static_cast<int>(list.size());
  if (count == 0) return nullptr;
  auto it = std::find(list.begin(), list.end(), current);
  int start = it == list.end() ? -1 : static_cast<int>(it - list.begin());
  if (start < 0) start = goForward ? count - 1 : 0;
  int i = start;
  do {
    if (goForward) {
      if (++i == count) i = 0;
    } else {
      if (i == 0) i = count;
      --i;
    }
    TWinControl* c = list[static_cast<size_t>(i)];
    if ((!checkTabStop || c->tabStop_) && (!checkParent || c->parent_ == this) && c->CanFocus())
      return c;
  } while (i != start);
  return nullptr;
}

bool TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
  TWinControl* next = FindNextControl(current, goForward, checkTabStop, !checkTabStop);
  if (!next) return false;
  next->SetFocus();
  return true;
}

void TWinControl::CMEnter(TMessage&) { DoEnter(); }
void TWinControl::CMExit(TMessage&) { DoExit(); }

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

// ---- Keys -----------------------------------------------------------------------------------------

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TWinControl::KeyUp(WORD& key, TShiftState shift) {
  if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TWinControl::KeyPress(char& key) {
  if (OnKeyPress) OnKeyPress(this, key);
}

bool TWinControl::FormTookKey(TMessage& m, bool (TWinControl::*handling)(TMessage&)) {
  TWinControl* form = GetParentForm(this);
  return form && form != this && static_cast<TForm*>(form)->KeyPreview() && (form->*handling)(m);
}

bool TWinControl::DoKeyDown(TMessage& m) {
  if (FormTookKey(m, &TWinControl::DoKeyDown)) return true;
  if (controlStyle_.Contains(csNoStdEvents)) return false;
  WORD key = static_cast<WORD>(m.WParam);
  KeyDown(key, KeyDataToShiftState(m.LParam));
  m.WParam = key;
  return key == 0;
}

bool TWinControl::DoKeyUp(TMessage& m) {
  if (FormTookKey(m, &TWinControl::DoKeyUp)) return true;
  if (controlStyle_.Contains(csNoStdEvents)) return false;
  WORD key = static_cast<WORD>(m.WParam);
  KeyUp(key, KeyDataToShiftState(m.LParam));
  m.WParam = key;
  return key == 0;
}

bool TWinControl::DoKeyPress(TMessage& m) {
  if (FormTookKey(m, &TWinControl::DoKeyPress)) return true;
  if (controlStyle_.Contains(csNoStdEvents)) return false;
  char ch = static_cast<char>(m.WParam);
  KeyPress(ch);
  m.WParam = static_cast<unsigned char>(ch);
  return ch == 0;
}

void TWinControl::WMKeyDown(TMessage& m) {
  if (!DoKeyDown(m)) DefaultHandler(m);
}

void TWinControl::WMKeyUp(TMessage& m) {
  if (!DoKeyUp(m)) DefaultHandler(m);
}

void TWinControl::WMChar(TMessage& m) {
  if (!DoKeyPress(m)) DefaultHandler(m);
}

void TWinControl::CNKeyDown(TMessage& m) {
  m.Result = 1;
  if (ComponentState().Contains(csDesigning)) {
    m.Result = 0;
    return;
  }
  if (Perform(CM_CHILDKEY, m.WParam, reinterpret_cast<LPARAM>(this)) != 0) return;
  LRESULT mask = 0;
  switch (m.WParam) {
    case VK_TAB: mask = DLGC_WANTTAB; break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN:
    case VK_EXECUTE:
    case VK_ESCAPE:
    case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
    default: break;
  }
  if (mask && Perform(CM_WANTSPECIALKEY, m.WParam) == 0 && (Perform(WM_GETDLGCODE) & mask) == 0) {
    TForm* form = GetParentForm(this);
    if (form && form->Perform(CM_DIALOGKEY, m.WParam, m.LParam) != 0) return;
  }
  m.Result = 0;
}

void TWinControl::CNChar(TMessage& m) {
  m.Result = 0;
  if (ComponentState().Contains(csDesigning)) return;
  if ((Perform(WM_GETDLGCODE) & DLGC_WANTCHARS) == 0) {
    TForm* form = GetParentForm(this);
    if (form && form->Perform(CM_DIALOGCHAR, m.WParam, m.LParam) != 0) m.Result = 1;
  }
}

void TWinControl::CNSysChar(TMessage& m) {
  m.Result = 0;
  if (ComponentState().Contains(csDesigning) || m.WParam == VK_SPACE) return;
  if (TForm* form = GetParentForm(this)) m.Result = form->Perform(CM_DIALOGCHAR, m.WParam, m.LParam);
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
    auto* t = new TMessageTable(&TControl::Messages());
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

void TGraphicControl::WMPaint(TMessage& m) {
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  if (!dc) return;
  TPaintCanvas painting(canvas_.get(), dc);
  Paint();
}

// ---- Registration --------------------------------------------------------------------------

void RegisterControls() {
  static bool done = false;
  if (done) return;
  done = true;

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
      .Event("OnKeyPress", &TWinControl::OnKeyPress);
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
