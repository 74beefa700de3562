// Hints: the small window that shows a control's Hint after the mouse has rested on it, and
// the application's side of it (Hints.cpp holds TApplication's hint members: the pause, the
// cancel, the application's Hint and its delivery through OnHint or THintAction).
#pragma once

#include <string>

#include "platform/Controls.h"

// A borderless pop-up in the info colours that shows one hint and never takes the focus.
class THintWindow : public TCustomControl {
 public:
  explicit THintWindow(TComponent* owner);

  // The rectangle (at the origin) the text needs, wrapped at `maxWidth`, border included.
  virtual RECT CalcHintRect(int maxWidth, const std::string& text);
  // Shows `text` at `rect` (screen coordinates) above every other window.
  virtual void ActivateHint(const RECT& rect, const std::string& text);
  // Takes the hint off the screen.
  void ReleaseHint();

 protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
};

// Registers THintWindow's message handlers' class and the hint settings (once).
void RegisterHints();
