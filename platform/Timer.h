// A component that fires OnTimer every Interval milliseconds on the thread that made it (one
// made disabled: the thread that first runs it).
#pragma once

#include <windows.h>

#include "platform/Classes.h"

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* owner);
  // A timer made disabled: it costs no window until it first runs, so a control may hold
  // one for a rare need (a typed search, a held button) without slowing the window's start.
  TTimer(TComponent* owner, bool enabled);
  ~TTimer() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  // Milliseconds between two events; 0 stops the timer. Setting it starts the count anew.
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned value);

  // Fired on each tick while assigned.
  TNotifyEvent OnTimer;

 private:
  void UpdateTimer();
  // The window that takes the ticks, made when the timer first runs.
  HWND Window();

  HWND window_ = nullptr;
  bool enabled_ = true;
  unsigned interval_ = 1000;
  bool running_ = false;
};
