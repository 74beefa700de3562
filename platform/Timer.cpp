#include "platform/Timer.h"

#include "platform/Application.h"

namespace {
constexpr UINT_PTR kTimerId = 1;
}

TTimer::TTimer(TComponent* owner) : TTimer(owner, true) {}

TTimer::TTimer(TComponent* owner, bool enabled) : TComponent(owner), enabled_(enabled) {
  UpdateTimer();
}

HWND TTimer::Window() {
  if (window_) return window_;
  // A window that only takes the timer's own ticks: a form may hold many timers.
  window_ = AllocateHWnd([this](TMessage& m) {
    if (m.Msg != WM_TIMER) {
      m.Result = DefWindowProcA(window_, m.Msg, m.WParam, m.LParam);
      return;
    }
    try {
      if (OnTimer) OnTimer(this);
    } catch (...) {
      ApplicationHandleException(this);
    }
  }, true);
  return window_;
}

TTimer::~TTimer() {
  if (running_) KillTimer(window_, kTimerId);
  DeallocateHWnd(window_);
}

void TTimer::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  UpdateTimer();
}

void TTimer::SetInterval(unsigned value) {
  if (value == interval_) return;
  interval_ = value;
  UpdateTimer();
}

// OnTimer is a plain member the timer cannot watch, so the system timer runs whenever the
// timer is enabled with an interval, and a tick without a handler does nothing.
void TTimer::UpdateTimer() {
  if (running_) KillTimer(window_, kTimerId);
  running_ = false;
  if (enabled_ && interval_ != 0) {
    if (!SetTimer(Window(), kTimerId, interval_, nullptr))
      throw EOutOfMemory("Not enough timers available");
    running_ = true;
  }
}
