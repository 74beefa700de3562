// Colours and painting services of the control library: the hue/saturation/lightness model on
// a 0..240 scale and the shades derived from it, gradient fills, transparent stretched
// bitmaps, and a parent's background painted into a child.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/Colors.h"
#include "platform/Graphics.h"
#include "platform/Guards.h"

class TControl;

// ---- Colour model --------------------------------------------------------------------------
// Every routine resolves its colour arguments with ColorToRGB first (system colours are looked
// up now) and answers plain RGB.

// Hue, saturation and lightness on a 0..240 scale (hue 240 is the same as 0).
struct THslColor {
  BYTE Hue = 0;
  BYTE Saturation = 0;
  BYTE Lightness = 0;
};

THslColor RgbToHsl240(TColor color);
BYTE HueOfColor(TColor color);
// The way back scales the hue by 239, so pure green comes back as (0, 255, 2) and pure blue
// as (4, 0, 255). Lightness may exceed 240 (LightenColor goes up to 255): such colours turn
// toward white.
TColor Hsl240ToRgb(BYTE hue, BYTE saturation, BYTE lightness);

// The colour with its lightness lowered (at least 0) or raised (at most 255) by `amount`.
TColor DarkenColor(TColor color, BYTE amount);
TColor LightenColor(TColor color, BYTE amount);
// Darker for a negative amount, lighter for a positive one, the colour itself for 0.
TColor ShiftLightness(TColor color, int amount);
// Per channel a·w + b·(1 − w) with w = weight / 255: weight 255 gives `a`, 0 gives `b`.
TColor MixColors(TColor a, TColor b, BYTE weight);
// Hues less than 20 apart and lightnesses less than 60 apart.
bool ColorsHardToTell(TColor a, TColor b);

// The screen shows more than 256 colours (it has no palette). Shades and gradients need it;
// on a palette display the controls paint solid colours instead.
bool DisplayHasFullColor();
// Makes DisplayHasFullColor answer `answer` instead of asking the screen (nullopt: ask again),
// so that the palette-display paths can be reached on any screen.
void OverrideDisplayHasFullColor(std::optional<bool> answer);

// ---- Pixel buffer -------------------------------------------------------------------------

// A top-down 32-bit bitmap selected into a memory device context (compatible with `like`),
// with its pixels at hand: for drawing that works pixel by pixel instead of through GDI.
// After GDI drew into DC(), GdiFlush before the pixels are read.
class TPixelBuffer {
 public:
  TPixelBuffer(HDC like, int width, int height) : dc_(like), width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.Reset(CreateDIBSection(like, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap_) RaiseLastOSError();
    pixels_ = static_cast<std::uint32_t*>(bits);
    select_.emplace(dc_, bitmap_);
  }

  HDC DC() const { return dc_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  COLORREF Pixel(int x, int y) const {
    std::uint32_t p = pixels_[std::size_t(y) * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  void SetPixel(int x, int y, COLORREF colour) { pixels_[std::size_t(y) * width_ + x] = Packed(colour); }
  // Fills the rectangle (exclusive right and bottom, clipped to the bitmap).
  void Fill(int left, int top, int right, int bottom, COLORREF colour) {
    left = std::max(left, 0), top = std::max(top, 0);
    right = std::min(right, width_), bottom = std::min(bottom, height_);
    if (right <= left || bottom <= top) return;
    std::uint32_t pixel = Packed(colour);
    for (int y = top; y < bottom; ++y)
      std::fill(pixels_ + std::size_t(y) * width_ + left, pixels_ + std::size_t(y) * width_ + right, pixel);
  }
  // The buffer's size of `source` from (x, y) on.
  void CopyFrom(HDC source, int x, int y) {
    BitBlt(dc_, 0, 0, width_, height_, source, x, y, SRCCOPY);
    GdiFlush();
  }
  void CopyTo(HDC dest, int x, int y) {
    GdiFlush();
    BitBlt(dest, x, y, width_, height_, dc_, 0, 0, SRCCOPY);
  }

 private:
  static std::uint32_t Packed(COLORREF colour) {
    return (std::uint32_t{GetRValue(colour)} << 16) | (std::uint32_t{GetGValue(colour)} << 8) | GetBValue(colour);
  }

  TMemoryDC dc_;
  int width_, height_;
  TGdiObject<HBITMAP> bitmap_;
  std::uint32_t* pixels_ = nullptr;
  std::optional<TSelectObject> select_;
};

// ---- Gradient fill -------------------------------------------------------------------------

// Where the two colours of FillRectGradient go. Box shapes are nested rectangles with the
// first colour outermost.
enum TGradientDirection : int {
  gdDiagonalUp = 0,        // first colour bottom-left, second top-right
  gdDiagonalDown = 1,      // first colour top-left, second bottom-right
  gdVertical = 2,          // first colour at the top, second at the bottom
  gdVerticalCentre = 3,    // first colour at the top and bottom, second in the middle row
  gdBoxHorizontal = 4,     // converging on a horizontal bar half the width wide
  gdHorizontal = 5,        // first colour at the left, second at the right
  gdHorizontalCentre = 6,  // first colour at the left and right, second in the middle column
  gdBoxVertical = 7,       // converging on a vertical bar half the height tall
  gdBoxSquare = 8,         // converging on the centre point
  gdBoxLarge = 9,          // converging on a centred rectangle of half the width and height
};

// Fills `rect` with a two-colour gradient drawn in bands of one colour. `steps` sets how many
// lines a band takes at least: `steps` lines up to 8, else 255 div steps + 1 (256 div steps
// + 1 for the box shapes), less one, so a higher number gives finer bands beyond 8. A rect
// without area paints nothing; an unknown direction paints nothing.
void FillRectGradient(TCanvas* canvas, const RECT& rect, int direction, TColor first,
                      TColor second, int steps);

// Draws the `source` part of the bitmap stretched into `dest`, leaving the pixels of
// `transparent` unpainted.
void DrawBitmapTransparentStretched(TCanvas* canvas, TBitmap* bitmap, const RECT& dest,
                                    TColor transparent, const RECT& source);

// ---- Parent painting ---------------------------------------------------------------------

// Paints what the control's parent shows under the control into `dc` (in the control's
// coordinates): the parent erases and paints itself into it. With `invalidateParent`, a parent
// that does not paint its children over itself (neither a custom control nor a form) is also
// invalidated. Without a parent nothing happens.
void PaintParentOnDC(TControl* control, HDC dc, bool invalidateParent);
void PaintParentOnCanvas(TControl* control, TCanvas* canvas, bool invalidateParent);
