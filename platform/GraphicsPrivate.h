// What the canvas and the pictures units share with each other and nobody else: scoped
// drawing state and the bitmaps both make for masking.
#pragma once

#include <windows.h>

#include "platform/Graphics.h"
#include "platform/Guards.h"

namespace GraphicsPrivate {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// A memory device context holding one bitmap; raises when no context can be made.
class TCheckedBitmapDC : public TBitmapDC {
 public:
  explicit TCheckedBitmapDC(HBITMAP bitmap) : TBitmapDC(bitmap) {
    if (!Get()) RaiseLastOSError();
  }
};

// Sets a context's text and background colours and puts them back on scope exit.
class TColorsScope {
 public:
  TColorsScope(HDC dc, COLORREF text, COLORREF back)
      : dc_(dc), text_(SetTextColor(dc, text)), back_(SetBkColor(dc, back)) {}
  ~TColorsScope() {
    SetTextColor(dc_, text_);
    SetBkColor(dc_, back_);
  }
  TColorsScope(const TColorsScope&) = delete;
  TColorsScope& operator=(const TColorsScope&) = delete;

 private:
  HDC dc_;
  COLORREF text_;
  COLORREF back_;
};

// A zeroed (black) DIB section of the format.
HBITMAP NewBitmap(TPixelFormat format, int width, int height);

// A colour-to-monochrome copy makes the pixels of the context's background colour white; a
// monochrome source is first spread to full colour so that the same rule holds for it.
HBITMAP MakeMask(HDC source, int x, int y, int width, int height, COLORREF transparent, bool monochrome);

}  // namespace GraphicsPrivate
