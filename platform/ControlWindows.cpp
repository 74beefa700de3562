// The controls' window procedure and what it stands on: the controls by their windows, the
// control under the mouse and the one holding the capture, and the keyboard route.

#include <algorithm>

#include "platform/ControlsPrivate.h"
#include "platform/TypInfo.h"

namespace {

// The application loop offers every keyboard message to the control first (CN_KEYDOWN and
// friends), so that the form can take Tab, Enter, Escape and accelerators.
bool IsKeyMessage(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE && ControlsPrivate::CancelDockDrag()) return true;
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

}  // namespace

namespace ControlsPrivate {

std::unordered_map<HWND, TWinControl*>& ControlWindows() {
  static auto* windows = new std::unordered_map<HWND, TWinControl*>;
  return *windows;
}

thread_local TWinControl* creatingControl = nullptr;

std::map<std::string, WNDPROC>& ClassDefaults() {
  static auto* defaults = new std::map<std::string, WNDPROC>;
  return *defaults;
}

TControl* mouseControl = nullptr;
TControl* captureControl = nullptr;
int nextChildId = 100;

std::vector<TControlCanvas*>& HeldCanvases() {
  static auto* list = new std::vector<TControlCanvas*>;
  return *list;
}
void FreeDeviceContexts(HWND window) {
  std::vector<TControlCanvas*> held = HeldCanvases();
  for (TControlCanvas* c : held)
    if (c->Window() == window) c->FreeHandle();
}

void FreeControlCanvases(TControl* control) {
  for (TControlCanvas* c : std::vector<TControlCanvas*>(HeldCanvases()))
    if (c->Control() == control) c->FreeHandle();
}

bool IsMouseMessage(UINT msg) {
  return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && msg != WM_MOUSEWHEEL &&
         msg != WM_MOUSEHWHEEL;
}

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

void InstallKeyHook() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  Application->SetPreprocessHook(IsKeyMessage);
}

}  // namespace ControlsPrivate

using namespace ControlsPrivate;

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
