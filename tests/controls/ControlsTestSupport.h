// What the control library's tests share: pixels of bitmaps as plain RGB, a bitmap filled with
// one colour, the visual-styles switch held for a scope, and the classes registered once.
#pragma once

#include <windows.h>

#include <string>

#include "controls/FcRegister.h"
#include "platform/Colors.h"
#include "platform/Graphics.h"
#include "platform/SysUtils.h"
#include "platform/Themes.h"

// The bitmap's pixel as plain RGB.
inline COLORREF At(TBitmap& bitmap, int x, int y) { return static_cast<COLORREF>(bitmap.Canvas()->Pixels(x, y)); }

inline void Fill(TBitmap& bitmap, TColor color) {
  bitmap.Canvas()->Brush()->SetColor(color);
  bitmap.Canvas()->FillRect(RECT{0, 0, bitmap.Width(), bitmap.Height()});
}

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
