// What the control library's tests share beside the window tests' helpers: colours as drawn,
// the visual-styles switch held for a scope, and where the window pictures go.
#pragma once

#include <windows.h>

#include <string>

#include "ControlTestSupport.h"
#include "controls/FcRegister.h"
#include "platform/Colors.h"
#include "platform/Graphics.h"
#include "platform/SysUtils.h"
#include "platform/Themes.h"

// A colour as it is drawn now (system colours looked up).
inline COLORREF Rgb(TColor color) { return ColorToRGB(color); }

// True when each channel of `a` lies within `tolerance` of `b`'s.
inline bool Near(COLORREF a, COLORREF b, int tolerance) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// Visual styles forced on or off while the scope lasts.
class TStylesScope {
 public:
  explicit TStylesScope(TVisualStyles styles) : saved_(VisualStyles()) { SetVisualStyles(styles); }
  ~TStylesScope() { SetVisualStyles(saved_); }
  TStylesScope(const TStylesScope&) = delete;
  TStylesScope& operator=(const TStylesScope&) = delete;

 private:
  TVisualStyles saved_;
};

// The folder where the test programs leave their window pictures (created when missing).
inline std::string ScreenshotFolder() {
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string folder = ExtractFilePath(ExtractFileDir(exe)) + "screenshots";
  ForceDirectories(folder);
  return folder + "\\";
}
