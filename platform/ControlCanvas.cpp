// The canvas of a control (units of Controls.h).

#include <algorithm>

#include "platform/ControlsPrivate.h"

using namespace ControlsPrivate;

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
