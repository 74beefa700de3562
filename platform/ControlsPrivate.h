// What the units of the control classes share with one another and with nobody else: the
// controls by their windows, the control whose window is being made, the mouse's control and
// capture, and the canvases that hold a context they fetched themselves.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/Controls.h"

namespace ControlsPrivate {

// The controls by their windows. A table of the process's own rather than a window property:
// it is asked at every message, and a property costs a trip to the system each time.
std::unordered_map<HWND, TWinControl*>& ControlWindows();

// The control whose window CreateWindowExA is making on this thread; it takes the window at
// the window's first message.
extern thread_local TWinControl* creatingControl;

// The procedure each registered class passes what no control takes to. Like the other tables
// here it is never freed: windows of forms the application frees at exit still use it.
std::map<std::string, WNDPROC>& ClassDefaults();

extern TControl* mouseControl;
extern TControl* captureControl;
extern int nextChildId;

// Canvases that hold a context they fetched themselves, so that it can be given back before
// its window goes.
std::vector<TControlCanvas*>& HeldCanvases();
void FreeDeviceContexts(HWND window);
// Gives back the contexts the canvases of `control` fetched.
void FreeControlCanvases(TControl* control);

bool IsMouseMessage(UINT msg);
// Makes the target the control under the mouse, telling the old one it was left and the new
// one it was entered. While a control holds the capture only it hears of the change.
void SetMouseControl(TControl* target);
std::string ClassNameForWindow(const TWinControl* control);
// Routes the application loop's keyboard messages through the controls (once).
void InstallKeyHook();
// Ends a dock drag under way without docking; false when there was none.
bool CancelDockDrag();

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

}  // namespace ControlsPrivate

LRESULT CALLBACK ControlWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
