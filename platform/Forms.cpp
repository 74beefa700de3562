#include "platform/Forms.h"

#include <algorithm>

#include "platform/Guards.h"
#include "platform/Layout.h"
#include "platform/StartupTrace.h"
#include "platform/TypInfo.h"

namespace {


// Every change of focus counts; a focus message whose handler moved the focus again sees a
// different count and stops the old change.
int focusCount = 0;

bool SendFocusMessage(TControl* control, UINT msg) {
  int count = focusCount;
  control->Perform(msg);
  return focusCount == count;
}

const TEnumInfo BorderStyleInfo{
    "TFormBorderStyle", {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"}};
const TEnumInfo BorderIconInfo{"TBorderIcon", {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"}};
const TEnumInfo PositionInfo{
    "TPosition", {"poDesigned", "poScreenCenter", "poMainFormCenter", "poOwnerFormCenter"}};
const TEnumInfo FormStyleInfo{"TFormStyle", {"fsNormal", "fsStayOnTop"}};
const TEnumInfo WindowStateInfo{"TWindowState", {"wsNormal", "wsMinimized", "wsMaximized"}};

// The windows a modal form disables while it runs, to enable them again afterwards.
struct TDisabledWindows {
  HWND except;
  std::vector<HWND> list;
};

BOOL CALLBACK DisableWindow(HWND wnd, LPARAM data) {
  return static_cast<BOOL>(GuardWndProc(nullptr, [&]() -> LRESULT {
    auto* d = reinterpret_cast<TDisabledWindows*>(data);
    if (wnd != d->except && IsWindowVisible(wnd) && IsWindowEnabled(wnd)) {
      d->list.push_back(wnd);
      EnableWindow(wnd, FALSE);
    }
    return TRUE;
  }));
}

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  return static_cast<BOOL>(GuardWndProc(nullptr, [&]() -> LRESULT {
    reinterpret_cast<std::vector<HMONITOR>*>(data)->push_back(monitor);
    return TRUE;
  }));
}

}  // namespace

// Never freed: the application frees its forms at exit, and they leave the screen's list then.
TScreen* Screen = new TScreen(nullptr);

// ---- TForm ---------------------------------------------------------------------------------

TMessageTable& TForm::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(WM_CLOSE, Handler(&TForm::WMClose));
    t->Add(WM_ACTIVATE, Handler(&TForm::WMActivate));
    t->Add(WM_GETMINMAXINFO, Handler(&TForm::WMGetMinMaxInfo));
    t->Add(WM_SIZE, Handler(&TForm::WMSize));
    t->Add(CM_ACTIVATE, Handler(&TForm::CMActivate));
    t->Add(CM_DEACTIVATE, Handler(&TForm::CMDeactivate));
    t->Add(CM_DIALOGKEY, Handler(&TForm::CMDialogKey));
    return t;
  }();
  return *table;
}

TForm::TForm(TComponent* owner) : TWinControl(owner) {
  visible_ = false;
  controlStyle_ = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  SetColor(clBtnFace);
  parentFont_ = false;
  UpdateBoundsFields(0, 0, 320, 240);
  Screen->forms_.push_back(this);
}

TForm::~TForm() {
  BeforeDestruction();
  Destroying();
  auto& forms = Screen->forms_;
  forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
  if (Screen->activeForm_ == this) {
    Screen->activeForm_ = nullptr;
    Screen->activeControl_ = nullptr;
  }
  if (Screen->focusedForm_ == this) Screen->focusedForm_ = nullptr;
  if (Application->MainForm() == this) Application->SetMainForm(nullptr);
  activeControl_ = nullptr;
  focusedControl_ = nullptr;
}

void TForm::AfterConstruction(bool readLayout) {
  RegisterForms();
  const TClassInfo* info = ObjectClassInfo(this);
  const std::string name = info ? info->Name() : std::string("TForm");
  if (readLayout && info && info->Type() != std::type_index(typeid(TForm))) {
    ReadLayoutResource(this, nullptr, UpperCase(info->Name()));
    TraceStartup((name + " layout read").c_str());
  }
  DoCreate();
  TraceStartup((name + " created").c_str());
  if (Visible()) {
    visible_ = false;
    Show();
  }
}

void TForm::BeforeDestruction() {
  if (destroyFired_) return;
  destroyFired_ = true;
  try {
    DoDestroy();
  } catch (...) {
    ApplicationHandleException(this);
  }
}

void TForm::DoCreate() {
  if (OnCreate) OnCreate(this);
}

void TForm::DoDestroy() {
  if (OnDestroy) OnDestroy(this);
}

void TForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TForm::DoHide() {
  if (OnHide) OnHide(this);
}

void TForm::DoClose(TCloseAction& action) {
  if (OnClose) OnClose(this, action);
}

void TForm::Activate() {
  if (OnActivate) OnActivate(this);
}

void TForm::Deactivate() {
  if (OnDeactivate) OnDeactivate(this);
}

void TForm::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  params.ExStyle = 0;
  // Made again while shown (a new border style): it stays shown.
  if (Visible() && !ComponentState().Contains(csLoading)) params.Style |= WS_VISIBLE;
  if (!Enabled()) params.Style |= WS_DISABLED;
  switch (borderStyle_) {
    case bsNone: params.Style |= WS_POPUP; break;
    case bsSingle:
    case bsToolWindow: params.Style |= WS_CAPTION; break;
    case bsSizeable:
    case bsSizeToolWin: params.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
      params.Style |= WS_POPUP | WS_CAPTION;
      params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      break;
  }
  bool tool = borderStyle_ == bsToolWindow || borderStyle_ == bsSizeToolWin;
  if (tool) params.ExStyle |= WS_EX_TOOLWINDOW;
  if (borderStyle_ != bsNone) {
    if (borderIcons_.Contains(biSystemMenu)) params.Style |= WS_SYSMENU;
    if (borderStyle_ != bsDialog && !tool) {
      if (borderIcons_.Contains(biMinimize)) params.Style |= WS_MINIMIZEBOX;
      if (borderIcons_.Contains(biMaximize)) params.Style |= WS_MAXIMIZEBOX;
    }
    if (borderIcons_.Contains(biHelp) &&
        (borderStyle_ == bsDialog || !borderIcons_.Contains(biMinimize)))
      params.ExStyle |= WS_EX_CONTEXTHELP;
  }
  if (formStyle_ == fsStayOnTop) params.ExStyle |= WS_EX_TOPMOST;
  params.WndParent = Application->Handle();
  params.WindowClass.style = CS_DBLCLKS;
  // Shared by every form and never destroyed; loading it is a trip to the window server.
  static const HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
  params.WindowClass.hIcon = icon;
}

void TForm::CreateWnd() {
  TWinControl::CreateWnd();
  UpdateBounds();
  ApplyRequestedClientSize();
}

void TForm::ApplyRequestedClientSize() {
  if (requestedClientWidth_ <= 0 && requestedClientHeight_ <= 0) return;
  RECT client = GetClientRect();
  int width = Width(), height = Height();
  if (requestedClientWidth_ > 0) width += requestedClientWidth_ - client.right;
  if (requestedClientHeight_ > 0) height += requestedClientHeight_ - client.bottom;
  if (HandleAllocated()) requestedClientWidth_ = requestedClientHeight_ = 0;
  TRestore<bool> busy(settingClientSize_, true);
  SetBounds(Left(), Top(), width, height);
}

void TForm::SetFormClientWidth(int value) {
  requestedClientWidth_ = HandleAllocated() ? 0 : value;
  TRestore<bool> busy(settingClientSize_, true);
  SetClientWidth(value);
}

void TForm::SetFormClientHeight(int value) {
  requestedClientHeight_ = HandleAllocated() ? 0 : value;
  TRestore<bool> busy(settingClientSize_, true);
  SetClientHeight(value);
}

void TForm::SetBounds(int left, int top, int width, int height) {
  // A size set outright replaces a client size asked for before.
  if (!settingClientSize_) {
    if (width != Width()) requestedClientWidth_ = 0;
    if (height != Height()) requestedClientHeight_ = 0;
  }
  TWinControl::SetBounds(left, top, width, height);
}

void TForm::SetBorderStyle(TFormBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  RecreateWnd();
}

void TForm::SetBorderIcons(TBorderIcons value) {
  if (value == borderIcons_) return;
  borderIcons_ = value;
  RecreateWnd();
}

void TForm::SetFormStyle(TFormStyle value) {
  if (value == formStyle_) return;
  formStyle_ = value;
  if (HandleAllocated())
    SetWindowPos(Handle(), value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

int TForm::ShowCommand() const {
  switch (windowState_) {
    case wsMinimized: return SW_SHOWMINIMIZED;
    case wsMaximized: return SW_SHOWMAXIMIZED;
    default: return SW_SHOWNORMAL;
  }
}

void TForm::SetWindowState(TWindowState value) {
  if (value == windowState_) return;
  windowState_ = value;
  if (HandleAllocated() && Visible()) ShowWindow(Handle(), ShowCommand());
}

void TForm::WMSize(TWMSize& m) {
  switch (m.SizeType) {
    case SIZE_MINIMIZED: windowState_ = wsMinimized; break;
    case SIZE_MAXIMIZED: windowState_ = wsMaximized; break;
    case SIZE_RESTORED: windowState_ = wsNormal; break;
    default: break;
  }
  Inherited(m);
}

// ---- Showing --------------------------------------------------------------------------------

void TForm::PlaceOnShow() {
  RECT area{0, 0, Screen->Width(), Screen->Height()};
  RECT over = area;
  TForm* center = nullptr;
  if (position_ == poMainFormCenter) center = Application->MainForm();
  if (position_ == poOwnerFormCenter) center = dynamic_cast<TForm*>(Owner());
  if (center == this || (center && !center->HandleAllocated())) center = nullptr;
  if (position_ == poDesigned) return;
  if (center) GetWindowRect(center->Handle(), &over);
  int x = over.left + (over.right - over.left - Width()) / 2;
  int y = over.top + (over.bottom - over.top - Height()) / 2;
  if (center) {
    x = std::max<int>(area.left, std::min<int>(x, area.right - Width()));
    y = std::max<int>(area.top, std::min<int>(y, area.bottom - Height()));
  }
  SetBounds(x, y, Width(), Height());
}

void TForm::SetVisible(bool value) {
  if (ComponentState().Contains(csLoading)) {
    visible_ = value;
    return;
  }
  if (value == Visible() && (!value || (HandleAllocated() && IsWindowVisible(Handle())))) return;
  if (value) {
    HandleNeeded();
    DoShow();
    PlaceOnShow();
    visible_ = true;
    ShowWindow(Handle(), ShowCommand());
    Perform(CM_VISIBLECHANGED, 1);
  } else {
    DoHide();
    visible_ = false;
    if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
    Perform(CM_VISIBLECHANGED, 0);
  }
}

void TForm::Show() {
  // Showing brings the window to the top; one shown already is brought there.
  bool shown = Visible() && HandleAllocated() && IsWindowVisible(Handle());
  SetVisible(true);
  if (shown) SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void TForm::Hide() { SetVisible(false); }

void TForm::Loaded() {
  TWinControl::Loaded();
  // The border style may have come after the client size in the layout.
  ApplyRequestedClientSize();
}

// ---- Closing ----------------------------------------------------------------------------------

bool TForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TForm::Close() {
  if (modal_) {
    modalResult_ = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application->MainForm() == this)
    Application->Terminate();
  else if (action == caHide)
    Hide();
  else if (action == caMinimize)
    SetWindowState(wsMinimized);
  else
    Release();
}

void TForm::CloseModal() {
  TCloseAction action = caNone;
  if (CloseQuery()) {
    action = caHide;
    DoClose(action);
  }
  if (action == caNone)
    modalResult_ = mrNone;
  else if (action == caFree)
    Release();
}

TModalResult TForm::ShowModal() {
  if (Visible() || !Enabled() || modal_)
    throw EInvalidOperation("Cannot make a visible window modal");
  if (HWND capture = GetCapture()) SendMessageA(capture, WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  HWND previous = GetActiveWindow();
  TDisabledWindows disabled{Handle(), {}};
  EnumThreadWindows(GetCurrentThreadId(), DisableWindow, reinterpret_cast<LPARAM>(&disabled));
  modal_ = true;
  modalResult_ = mrNone;
  TModalResult result = mrNone;
  auto restore = [&] {
    modal_ = false;
    for (HWND wnd : disabled.list)
      if (IsWindow(wnd)) EnableWindow(wnd, TRUE);
    if (previous && IsWindow(previous)) SetActiveWindow(previous);
  };
  try {
    Show();
    // The user answers the form with the controls' own cursors, whatever busy cursor the
    // caller showed while preparing it; that cursor is back once the form has closed.
    TTemporaryCursor normal(crDefault);
    try {
      do {
        Application->HandleMessage();
        if (Application->Terminated())
          modalResult_ = mrCancel;
        else if (modalResult_ != mrNone)
          CloseModal();
      } while (modalResult_ == mrNone);
      result = modalResult_;
    } catch (...) {
      // Enabling the other windows first keeps the activation from going nowhere.
      for (HWND wnd : disabled.list)
        if (IsWindow(wnd)) EnableWindow(wnd, TRUE);
      Hide();
      throw;
    }
    for (HWND wnd : disabled.list)
      if (IsWindow(wnd)) EnableWindow(wnd, TRUE);
    Hide();
  } catch (...) {
    restore();
    throw;
  }
  restore();
  return result;
}

void TForm::Release() { PostMessageA(Handle(), CM_RELEASE, 0, 0); }

void TForm::WMClose(TMessage&) { Close(); }

// ---- Activation and focus -----------------------------------------------------------------------

void TForm::WMActivate(TWMActivate& m) { SetActive(m.Active != WA_INACTIVE); }

void TForm::SetActive(bool value) {
  active_ = value;
  if (!value) return;
  if (!activeControl_) {
    TWinControl* first = FindNextControl(nullptr, true, true, false);
    if (first) activeControl_ = first;
  }
  SetWindowFocus();
}

void TForm::SetWindowFocus() {
  HWND target = activeControl_ && activeControl_->HandleAllocated() ? activeControl_->Handle()
                                                                      : Handle();
  if (GetFocus() != target) ::SetFocus(target);
}

void TForm::CMActivate(TMessage&) { Activate(); }
void TForm::CMDeactivate(TMessage&) { Deactivate(); }

bool TForm::CanFocus() const { return Visible() && Enabled(); }

void TForm::SetFocus() {
  if (active_) return;
  if (!Visible() || !Enabled()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  SetWindowFocus();
}

void TForm::SetActiveControl(TWinControl* control) {
  if (control == activeControl_) return;
  bool loading = ComponentState().Contains(csLoading);
  if (control && (control == this || GetParentForm(control) != this || (!loading && !control->CanFocus())))
    throw EInvalidOperation("Cannot focus a disabled or invisible window");
  activeControl_ = control;
  if (!loading && active_) SetWindowFocus();
}

void TForm::FocusControl(TWinControl* control) {
  bool wasActive = active_;
  SetActiveControl(control);
  if (!wasActive && Visible() && Enabled() && HandleAllocated()) SetWindowFocus();
}

void TForm::DefocusControl(TWinControl* control, bool removing) {
  if (removing && control->ContainsControl(focusedControl_)) focusedControl_ = control->Parent();
  if (control->ContainsControl(activeControl_)) {
    activeControl_ = nullptr;
    if (active_ && !ComponentState().Contains(csDestroying) && HandleAllocated() &&
        control->HandleAllocated() && GetFocus() == control->Handle())
      ::SetFocus(Handle());
  }
  if (Screen->activeControl_ && control->ContainsControl(Screen->activeControl_))
    Screen->activeControl_ = nullptr;
}

bool TForm::SetFocusedControl(TWinControl* control) {
  ++focusCount;
  activeControl_ = control != this ? control : nullptr;
  Screen->activeControl_ = control;
  Screen->activeForm_ = this;
  auto& forms = Screen->forms_;
  forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
  forms.insert(forms.begin(), this);
  if (control->controlState_.Contains(csFocusing)) return false;
  control->controlState_ += csFocusing;
  struct TClearFocusing {
    TWinControl* c;
    ~TClearFocusing() { c->controlState_ -= csFocusing; }
  } clear{control};
  if (Screen->focusedForm_ != this) {
    if (TForm* old = Screen->focusedForm_) {
      Screen->focusedForm_ = nullptr;
      if (!SendFocusMessage(old, CM_DEACTIVATE)) return false;
    }
    Screen->focusedForm_ = this;
    if (!SendFocusMessage(this, CM_ACTIVATE)) return false;
  }
  if (!focusedControl_) focusedControl_ = this;
  if (focusedControl_ != control) {
    while (focusedControl_ && !focusedControl_->ContainsControl(control)) {
      TWinControl* leaving = focusedControl_;
      focusedControl_ = focusedControl_->Parent();
      if (!SendFocusMessage(leaving, CM_EXIT)) return false;
    }
    while (focusedControl_ != control) {
      TWinControl* entering = control;
      while (entering->Parent() != focusedControl_) entering = entering->Parent();
      focusedControl_ = entering;
      if (!SendFocusMessage(entering, CM_ENTER)) return false;
    }
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(control));
  }
  return true;
}

// ---- Keys -----------------------------------------------------------------------------------------

void TForm::CMDialogKey(TWMKey& m) {
  if (GetKeyState(VK_MENU) >= 0) {
    switch (m.CharCode) {
      case VK_TAB:
        if (GetKeyState(VK_CONTROL) >= 0) {
          SelectNext(activeControl_, GetKeyState(VK_SHIFT) >= 0, true);
          m.Result = 1;
          return;
        }
        break;
      case VK_LEFT:
      case VK_RIGHT:
      case VK_UP:
      case VK_DOWN:
        if (activeControl_ && activeControl_->Parent()) {
          activeControl_->Parent()->SelectNext(activeControl_,
                                              m.CharCode == VK_RIGHT || m.CharCode == VK_DOWN, false);
          m.Result = 1;
        }
        return;
      default: break;
    }
  }
  Inherited(m);
}

void TForm::WMGetMinMaxInfo(TWMObject<MINMAXINFO>& m) {
  MINMAXINFO* info = m.Object;
  Inherited(m);
  TSizeConstraints* c = Constraints();
  if (c->MinWidth() > 0) info->ptMinTrackSize.x = c->MinWidth();
  if (c->MinHeight() > 0) info->ptMinTrackSize.y = c->MinHeight();
  if (c->MaxWidth() > 0) info->ptMaxTrackSize.x = c->MaxWidth();
  if (c->MaxHeight() > 0) info->ptMaxTrackSize.y = c->MaxHeight();
}

// ---- TScreen ---------------------------------------------------------------------------------------

RECT TMonitor::BoundsRect() const {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  GetMonitorInfoA(handle_, &info);
  return info.rcMonitor;
}

RECT TMonitor::WorkareaRect() const {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  GetMonitorInfoA(handle_, &info);
  return info.rcWork;
}

int TMonitor::Width() const {
  RECT r = BoundsRect();
  return r.right - r.left;
}

int TMonitor::Height() const {
  RECT r = BoundsRect();
  return r.bottom - r.top;
}

bool TMonitor::Primary() const {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  GetMonitorInfoA(handle_, &info);
  return (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
}

TScreen::TScreen(TComponent* owner) : TComponent(owner) {}

TScreen::~TScreen() = default;

void TScreen::SetCursor(TCursor value) {
  if (value == cursor_) return;
  cursor_ = value;
  if (value != crDefault) {
    ::SetCursor(Cursors(value));
    return;
  }
  // Back to the controls' own cursors: ask the window under the mouse.
  POINT p;
  if (!GetCursorPos(&p)) return;
  HWND wnd = WindowFromPoint(p);
  if (wnd && GetWindowThreadProcessId(wnd, nullptr) == GetCurrentThreadId())
    SendMessageA(wnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(wnd),
                 MAKELPARAM(SendMessageA(wnd, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), WM_MOUSEMOVE));
}

HCURSOR TScreen::Cursors(TCursor index) const {
  for (const auto& [number, cursor] : cursors_)
    if (number == index) return cursor;
  LPCSTR id = nullptr;
  switch (index) {
    case crNone: return nullptr;
    case crArrow: id = MAKEINTRESOURCEA(32512); break;        // IDC_ARROW
    case crCross: id = MAKEINTRESOURCEA(32515); break;        // IDC_CROSS
    case crIBeam: id = MAKEINTRESOURCEA(32513); break;        // IDC_IBEAM
    case crSizeNESW: id = MAKEINTRESOURCEA(32643); break;     // IDC_SIZENESW
    case crSizeNS: case crVSplit: id = MAKEINTRESOURCEA(32645); break;
    case crSizeNWSE: id = MAKEINTRESOURCEA(32642); break;     // IDC_SIZENWSE
    case crSizeWE: case crHSplit: id = MAKEINTRESOURCEA(32644); break;
    case crUpArrow: id = MAKEINTRESOURCEA(32516); break;      // IDC_UPARROW
    case crHourGlass: case crSQLWait: id = MAKEINTRESOURCEA(32514); break;  // IDC_WAIT
    case crNo: case crNoDrop: id = MAKEINTRESOURCEA(32648); break;          // IDC_NO
    case crAppStart: id = MAKEINTRESOURCEA(32650); break;     // IDC_APPSTARTING
    case crHelp: id = MAKEINTRESOURCEA(32651); break;         // IDC_HELP
    case crHandPoint: id = MAKEINTRESOURCEA(32649); break;    // IDC_HAND
    case crSizeAll: id = MAKEINTRESOURCEA(32646); break;      // IDC_SIZEALL
    default: id = MAKEINTRESOURCEA(32512); break;
  }
  return SystemCursor(id);
}

void TScreen::SetCursors(TCursor index, HCURSOR cursor) {
  for (auto& entry : cursors_)
    if (entry.first == index) {
      entry.second = cursor;
      return;
    }
  cursors_.emplace_back(index, cursor);
}

void TScreen::LoadCursorResource(TCursor index, const std::string& name, HINSTANCE instance) {
  TCursorHandle cursor =
      LoadCursorFromResourceName(instance ? instance : GetModuleHandleA(nullptr), name);
  SetCursors(index, cursor.get());
  ownedCursors_.push_back(std::move(cursor));
}

RECT TScreen::WorkAreaRect() const {
  RECT r{0, 0, Width(), Height()};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
  return r;
}

void TScreen::RefreshMonitors() {
  std::vector<HMONITOR> handles;
  EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&handles));
  bool same = handles.size() == monitors_.size();
  for (size_t i = 0; same && i < handles.size(); ++i) same = monitors_[i]->Handle() == handles[i];
  if (same) return;
  monitors_.clear();
  for (size_t i = 0; i < handles.size(); ++i)
    monitors_.push_back(std::make_unique<TMonitor>(handles[i], static_cast<int>(i)));
}

int TScreen::MonitorCount() {
  RefreshMonitors();
  return static_cast<int>(monitors_.size());
}

TMonitor* TScreen::Monitors(int index) {
  if (monitors_.empty()) RefreshMonitors();
  if (index < 0 || index >= static_cast<int>(monitors_.size()))
    throw EListError(Format("List index out of bounds (%d)", index));
  return monitors_[static_cast<size_t>(index)].get();
}

TMonitor* TScreen::FindMonitor(HMONITOR handle) {
  RefreshMonitors();
  for (auto& m : monitors_)
    if (m->Handle() == handle) return m.get();
  return monitors_.empty() ? nullptr : monitors_.front().get();
}

TMonitor* TScreen::MonitorFromWindow(HWND window) {
  return FindMonitor(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
}

TMonitor* TScreen::MonitorFromPoint(POINT point) {
  return FindMonitor(::MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST));
}

TForm* TScreen::Forms(int index) const {
  if (index < 0 || index >= FormCount())
    throw EListError(Format("List index out of bounds (%d)", index));
  return forms_[static_cast<size_t>(index)];
}

// ---- Registration --------------------------------------------------------------------------------

void RegisterForms() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterControls();
  RegisterClassInfo<TForm, TWinControl>("TForm")
      .String("Caption", &TForm::Caption, &TForm::SetCaption)
      .Color("Color", &TForm::Color, &TForm::SetColor, clBtnFace)
      .StoredIf([](TForm* f) { return !f->ParentColor(); })
      .Boolean("ParentColor", &TForm::ParentColor, &TForm::SetParentColor, false)
      .Boolean("ParentFont", &TForm::ParentFont, &TForm::SetParentFont, false)
      .Boolean("Visible", &TForm::Visible, &TForm::SetVisible, false)
      .Integer("Width", &TForm::Width, &TForm::SetWidth)
      .StoredIf([](TForm*) { return false; })
      .Integer("Height", &TForm::Height, &TForm::SetHeight)
      .StoredIf([](TForm*) { return false; })
      .Integer("ClientWidth", &TForm::ClientWidth, &TForm::SetFormClientWidth)
      .Integer("ClientHeight", &TForm::ClientHeight, &TForm::SetFormClientHeight)
      .Enum("BorderStyle", BorderStyleInfo, &TForm::BorderStyle, &TForm::SetBorderStyle, bsSizeable)
      .Set("BorderIcons", BorderIconInfo, &TForm::BorderIcons, &TForm::SetBorderIcons,
           TBorderIcons{biSystemMenu, biMinimize, biMaximize})
      .Enum("Position", PositionInfo, &TForm::Position, &TForm::SetPosition, poDesigned)
      .Enum("FormStyle", FormStyleInfo, &TForm::FormStyle, &TForm::SetFormStyle, fsNormal)
      .Enum("WindowState", WindowStateInfo, &TForm::WindowState, &TForm::SetWindowState, wsNormal)
      .Boolean("KeyPreview", &TForm::KeyPreview, &TForm::SetKeyPreview, false)
      .Component("ActiveControl", &TForm::ActiveControl, &TForm::SetActiveControl)
      .Event("OnCreate", &TForm::OnCreate)
      .Event("OnDestroy", &TForm::OnDestroy)
      .Event("OnShow", &TForm::OnShow)
      .Event("OnHide", &TForm::OnHide)
      .Event("OnClose", &TForm::OnClose)
      .Event("OnCloseQuery", &TForm::OnCloseQuery)
      .Event("OnActivate", &TForm::OnActivate)
      .Event("OnDeactivate", &TForm::OnDeactivate);
}
