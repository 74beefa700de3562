// A component that fires OnTimer every Interval milliseconds on the thread that made it.
#pragma once

#include <windows.h>

#include "platform/Classes.h"

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* owner);
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

  HWND window_ = nullptr;
  bool enabled_ = true;
  unsigned interval_ = 1000;
  bool running_ = false;
};
