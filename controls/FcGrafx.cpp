#include "controls/FcGrafx.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/Controls.h"
#include "platform/Forms.h"
#include "platform/Guards.h"

// ---- Colour model --------------------------------------------------------------------------

namespace {

using Real = double;

BYTE RoundToByte(Real value) { return static_cast<BYTE>(std::nearbyint(value)); }

BYTE ChannelByte(Real channel) { return RoundToByte(std::clamp<Real>(channel, 0, 1) * 255); }

TColor Rgb(BYTE r, BYTE g, BYTE b) { return static_cast<TColor>(RGB(r, g, b)); }

std::optional<bool> fullColorOverride;

}  // namespace

THslColor RgbToHsl240(TColor color) {
  COLORREF c = ColorToRGB(color);
  Real r = GetRValue(c) / Real(255), g = GetGValue(c) / Real(255), b = GetBValue(c) / Real(255);
  Real mx = std::max({r, g, b}), mn = std::min({r, g, b});
  Real l = (mx + mn) / 2, h = 0, s = 0;
  if (mx != mn) {
    Real d = mx - mn;
    s = l < Real(0.5) ? d / (mx + mn) : d / (2 - mx - mn);
    // Red is tested first, then blue, then green.
    if (r == mx)
      h = (g - b) / d;
    else if (g != mx)
      h = (r - g) / d + 4;
    else
      h = (b - r) / d + 2;
    h /= 6;
    if (h < 0) h += 1;
  }
  return THslColor{RoundToByte(h * 240), RoundToByte(s * 240), RoundToByte(l * 240)};
}

BYTE HueOfColor(TColor color) { return RgbToHsl240(color).Hue; }

TColor Hsl240ToRgb(BYTE hue, BYTE saturation, BYTE lightness) {
  Real l = lightness / Real(240), s = saturation / Real(240);
  Real h6 = hue / Real(239) * 6;
  Real m2 = l < Real(0.5) ? l * (1 + s) : l + s - l * s;
  if (m2 <= 0) return clBlack;
  Real m1 = 2 * l - m2;
  int k = static_cast<int>(h6);
  Real f = h6 - k;
  Real rise = m1 + (m2 - m1) * f, fall = m2 - (m2 - m1) * f;
  Real r, g, b;
  switch (k) {
    case 1: r = fall, g = m2, b = m1; break;
    case 2: r = m1, g = m2, b = rise; break;
    case 3: r = m1, g = fall, b = m2; break;
    case 4: r = rise, g = m1, b = m2; break;
    case 5: r = m2, g = m1, b = fall; break;
    default: r = m2, g = rise, b = m1; break;
  }
  // Saturations above 240 make m1 negative: such channels are clamped at 0, not wrapped.
  return Rgb(ChannelByte(r), ChannelByte(g), ChannelByte(b));
}

TColor DarkenColor(TColor color, BYTE amount) {
  THslColor hsl = RgbToHsl240(color);
  return Hsl240ToRgb(hsl.Hue, hsl.Saturation, static_cast<BYTE>(std::max(hsl.Lightness - amount, 0)));
}

TColor LightenColor(TColor color, BYTE amount) {
  THslColor hsl = RgbToHsl240(color);
  return Hsl240ToRgb(hsl.Hue, hsl.Saturation,
                     static_cast<BYTE>(std::min(hsl.Lightness + amount, 255)));
}

TColor ShiftLightness(TColor color, int amount) {
  if (amount < 0) return DarkenColor(color, static_cast<BYTE>(std::min(-amount, 255)));
  if (amount > 0) return LightenColor(color, static_cast<BYTE>(std::min(amount, 255)));
  return static_cast<TColor>(ColorToRGB(color));
}

TColor MixColors(TColor a, TColor b, BYTE weight) {
  COLORREF ca = ColorToRGB(a), cb = ColorToRGB(b);
  Real w = weight / Real(255);
  auto mix = [w](BYTE x, BYTE y) { return RoundToByte(x * w + y * (1 - w)); };
  return Rgb(mix(GetRValue(ca), GetRValue(cb)), mix(GetGValue(ca), GetGValue(cb)),
             mix(GetBValue(ca), GetBValue(cb)));
}

bool ColorsHardToTell(TColor a, TColor b) {
  THslColor ha = RgbToHsl240(a), hb = RgbToHsl240(b);
  return std::abs(ha.Hue - hb.Hue) < 20 && std::abs(ha.Lightness - hb.Lightness) < 60;
}

bool DisplayHasFullColor() {
  if (fullColorOverride) return *fullColorOverride;
  return DisplayCaps(NUMCOLORS) == -1;
}

void OverrideDisplayHasFullColor(std::optional<bool> answer) { fullColorOverride = answer; }

// ---- Gradient fill -------------------------------------------------------------------------
//
// The straight and box shapes are computed straight into the pixels of a 32-bit bitmap (one
// colour per band, as a brush per band would paint them); the diagonals are polygons, one per
// band. The bitmap is then copied onto the canvas in one go.

namespace {

// Colours of a pass in 16.16 fixed point: line i has first + i·((second − first) << 16 div
// lines), integer division, in each channel.
class TColorRamp {
 public:
  TColorRamp(COLORREF first, COLORREF second, int lines) {
    const BYTE a[3] = {GetRValue(first), GetGValue(first), GetBValue(first)};
    const BYTE b[3] = {GetRValue(second), GetGValue(second), GetBValue(second)};
    for (int c = 0; c < 3; ++c) {
      start_[c] = std::int64_t{a[c]} << 16;
      step_[c] = ((std::int64_t{b[c]} - a[c]) << 16) / lines;
    }
  }
  COLORREF At(int line) const {
    auto channel = [&](int c) { return static_cast<BYTE>((start_[c] + step_[c] * line) >> 16); };
    return RGB(channel(0), channel(1), channel(2));
  }

 private:
  std::int64_t start_[3];
  std::int64_t step_[3];
};

// How many lines a band takes beyond its first at least.
int BandExtra(int steps, bool box) {
  int n = steps <= 8 ? steps : (box ? 256 : 255) / steps + 1;
  return std::max(n - 1, 0);
}

// Splits the lines of a pass into bands: a band keeps taking lines while the next line has
// the band's colour or it has fewer than extra + 1 lines. `paint`(first line, count, colour).
template <class F>
void ForEachBand(int lines, int extra, const TColorRamp& ramp, F paint) {
  int i = 0;
  while (i < lines) {
    COLORREF colour = ramp.At(i);
    int count = 1;
    while (i + count < lines && (count < extra + 1 || ramp.At(i + count) == colour)) ++count;
    paint(i, count, colour);
    i += count;
  }
}

// Edge to edge (2, 5) and from the centre (3, 6): each line is a row (vertical) or a column.
void PaintStraight(TPixelBuffer& buffer, int w, int h, bool vertical, bool centre, COLORREF first,
                   COLORREF second, int extra) {
  int length = vertical ? h : w;
  auto line = [&](int from, int to, COLORREF colour) {
    if (vertical)
      buffer.Fill(0, from, w, to, colour);
    else
      buffer.Fill(from, 0, to, h, colour);
  };
  if (!centre) {
    TColorRamp ramp(first, second, length);
    ForEachBand(length, extra, ramp, [&](int i, int n, COLORREF c) { line(i, i + n, c); });
    return;
  }
  // Two passes, each from the first colour at its edge toward the second at the middle line;
  // a pass without lines (the first of a shape one line high) is skipped.
  int middle = length / 2;
  if (middle > 0) {
    TColorRamp ramp(first, second, middle);
    ForEachBand(middle, extra, ramp, [&](int i, int n, COLORREF c) { line(i, i + n, c); });
  }
  int rest = length - middle;
  TColorRamp ramp(first, second, rest);
  ForEachBand(rest, extra, ramp,
              [&](int i, int n, COLORREF c) { line(length - i - n, length - i, c); });
}

// Box shapes (4, 7, 8, 9): nested rectangles whose half extents shrink from the whole
// bitmap's toward the inner ones, painted outermost first, symmetric about both centre lines.
void PaintBox(TPixelBuffer& buffer, int w, int h, int direction, COLORREF first, COLORREF second,
              int extra) {
  int hw = (w - 1) / 2, hh = (h - 1) / 2;
  int ix = 0, iy = 0;
  if (direction == gdBoxHorizontal || direction == gdBoxLarge) ix = w / 4;
  if (direction == gdBoxVertical || direction == gdBoxLarge) iy = h / 4;
  int rings = std::max(hw - ix, hh - iy) + 1;
  std::int64_t dx = (std::int64_t{hw - ix} << 16) / rings, dy = (std::int64_t{hh - iy} << 16) / rings;
  TColorRamp ramp(first, second, rings);
  ForEachBand(rings, extra, ramp, [&](int k, int, COLORREF c) {
    int ex = static_cast<int>(((std::int64_t{hw} << 16) - dx * k) >> 16);
    int ey = static_cast<int>(((std::int64_t{hh} << 16) - dy * k) >> 16);
    // The quarter's cell (hw − ex, hh − ey) and its mirror images.
    buffer.Fill(hw - ex, hh - ey, w - (hw - ex), h - (hh - ey), c);
  });
}

// Diagonals (0, 1): bands between lines parallel to one diagonal, moved along the edges in
// L = ⌊√(w² + h²)⌋ + 1 colour steps, half of them before the other diagonal and half after.
// Drawn for code 0 (first colour bottom-left); code 1 is its mirror image from right to left
// with the colours exchanged.
void PaintDiagonal(TPixelBuffer& buffer, int w, int h, bool mirrored, COLORREF first,
                   COLORREF second, int extra) {
  if (first == second) {
    buffer.Fill(0, 0, w, h, first);
    return;
  }
  if (mirrored) std::swap(first, second);
  int total = static_cast<int>(std::sqrt(double(w) * w + double(h) * h)) + 1;
  int half = std::max(total / 2, 1);
  std::int64_t dx = (std::int64_t{w} << 16) / half, dy = (std::int64_t{h} << 16) / half;
  TColorRamp ramp(first, second, total);
  HDC dc = buffer.DC();
  TSelectObject pen(dc, GetStockObject(NULL_PEN));
  auto polygon = [&](POINT (&p)[4], COLORREF colour) {
    if (mirrored)
      for (POINT& q : p) q.x = w - q.x;
    TGdiObject<HBRUSH> brush(CreateSolidBrush(colour));
    TSelectObject select(dc, brush);
    Polygon(dc, p, 4);
  };

  int step = 0;
  for (int phase = 0; phase < 2; ++phase) {
    // Phase 0: lines from (0, y) on the left edge to (x, h) on the bottom edge; phase 1: from
    // (x, 0) on the top edge to (w, y) on the right edge. Both start with x = 0 and y = h.
    std::int64_t x16 = 0, y16 = std::int64_t{h} << 16;
    int prevX = 0, prevY = h;
    bool done = false;
    while (!done) {
      COLORREF colour = ramp.At(std::min(step, total - 1));
      int taken = 0;
      while (!done && (taken < extra + 1 || ramp.At(std::min(step, total - 1)) == colour)) {
        x16 += dx;
        y16 -= dy;
        ++step;
        ++taken;
        if (y16 <= 0 || x16 >= (std::int64_t{w} << 16)) done = true;
      }
      int x = done ? w : static_cast<int>(x16 >> 16), y = done ? 0 : static_cast<int>(y16 >> 16);
      // A band whose outline has not moved by a pixel is left to the next one.
      if (x == prevX && y == prevY) continue;
      POINT p[4];
      if (phase == 0)
        p[0] = {0, prevY}, p[1] = {prevX, h}, p[2] = {x, h}, p[3] = {0, y};
      else
        p[0] = {prevX, 0}, p[1] = {w, prevY}, p[2] = {w, y}, p[3] = {x, 0};
      polygon(p, colour);
      prevX = x, prevY = y;
    }
  }
}

}  // namespace

void FillRectGradient(TCanvas* canvas, const RECT& rect, int direction, TColor first,
                      TColor second, int steps) {
  int w = rect.right - rect.left, h = rect.bottom - rect.top;
  if (w <= 0 || h <= 0 || direction < gdDiagonalUp || direction > gdBoxLarge) return;
  COLORREF a = ColorToRGB(first), b = ColorToRGB(second);
  HDC target = canvas->Handle();
  TPixelBuffer buffer(target, w, h);
  switch (direction) {
    case gdDiagonalUp:
    case gdDiagonalDown:
      PaintDiagonal(buffer, w, h, direction == gdDiagonalDown, a, b, BandExtra(steps, false));
      break;
    case gdVertical:
    case gdVerticalCentre:
      PaintStraight(buffer, w, h, true, direction == gdVerticalCentre, a, b, BandExtra(steps, false));
      break;
    case gdHorizontal:
    case gdHorizontalCentre:
      PaintStraight(buffer, w, h, false, direction == gdHorizontalCentre, a, b,
                    BandExtra(steps, false));
      break;
    default:
      PaintBox(buffer, w, h, direction, a, b, BandExtra(steps, true));
      break;
  }
  buffer.CopyTo(target, rect.left, rect.top);
}

void DrawBitmapTransparentStretched(TCanvas* canvas, TBitmap* bitmap, const RECT& dest,
                                    TColor transparent, const RECT& source) {
  int w = dest.right - dest.left, h = dest.bottom - dest.top;
  if (w <= 0 || h <= 0 || !bitmap || bitmap->Empty()) return;
  HDC target = canvas->Handle();

  // The source part stretched to the destination's size.
  TMemoryDC copyDC(target);
  TGdiObject<HBITMAP> copy(CreateCompatibleBitmap(target, w, h));
  if (!copy) RaiseLastOSError();
  TSelectObject selectCopy(copyDC, copy);
  HDC sourceDC = bitmap->Canvas()->Handle();
  SetStretchBltMode(copyDC, COLORONCOLOR);
  StretchBlt(copyDC, 0, 0, w, h, sourceDC, source.left, source.top, source.right - source.left,
             source.bottom - source.top, SRCCOPY);

  // White in the mask where the copy has the transparent colour.
  TMemoryDC maskDC(target);
  TGdiObject<HBITMAP> mask(CreateBitmap(w, h, 1, 1, nullptr));
  if (!mask) RaiseLastOSError();
  TSelectObject selectMask(maskDC, mask);
  COLORREF oldBack = SetBkColor(copyDC, ColorToRGB(transparent));
  BitBlt(maskDC, 0, 0, w, h, copyDC, 0, 0, SRCCOPY);
  SetBkColor(copyDC, oldBack);

  TransparentStretchBlt(target, dest.left, dest.top, w, h, copyDC, 0, 0, w, h, maskDC, 0, 0);
}

// ---- Parent painting ---------------------------------------------------------------------

void PaintParentOnDC(TControl* control, HDC dc, bool invalidateParent) {
  TWinControl* parent = control ? control->Parent() : nullptr;
  if (!parent) return;
  // The parent paints its windowless children too, this control among them: a control that
  // paints its parent from its own painting must not start it again.
  static std::vector<TControl*> painting;
  if (std::find(painting.begin(), painting.end(), control) != painting.end()) return;
  painting.push_back(control);
  struct TDone {
    TControl* control;
    ~TDone() { painting.erase(std::find(painting.begin(), painting.end(), control)); }
  } done{control};
  {
    TSavedDC saved(dc);
    POINT origin;
    GetViewportOrgEx(dc, &origin);
    SetViewportOrgEx(dc, origin.x - control->Left(), origin.y - control->Top(), nullptr);
    IntersectClipRect(dc, 0, 0, parent->ClientWidth(), parent->ClientHeight());
    parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    parent->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  }
  if (invalidateParent && !dynamic_cast<TCustomControl*>(parent) && !dynamic_cast<TForm*>(parent) &&
      !control->ComponentState().Contains(csDesigning))
    parent->Invalidate();
}

void PaintParentOnCanvas(TControl* control, TCanvas* canvas, bool invalidateParent) {
  PaintParentOnDC(control, canvas->Handle(), invalidateParent);
}
