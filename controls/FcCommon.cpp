#include "controls/FcCommon.h"

#include <algorithm>
#include <cstring>

const TEnumInfo FrameStyleInfo{"TFrameStyle",
                               {"fsNone", "fsFlat", "fsGroove", "fsBump", "fsLowered", "fsButtonDown",
                                "fsRaised", "fsButtonUp", "fsStatus", "fsPopup", "fsFlatBold"}};
const TEnumInfo FrameStyleExInfo{
    "TFrameStyleEx",
    {"fsNone", "fsFlat", "fsGroove", "fsBump", "fsLowered", "fsButtonDown", "fsRaised", "fsButtonUp",
     "fsStatus", "fsPopup", "fsFlatBold", "fsFlatRounded"}};
const TEnumInfo SideInfo{"TSide", {"sdLeft", "sdTop", "sdRight", "sdBottom"}};
const TEnumInfo FramingPreferenceInfo{"TFramingPreference", {"fpCustomFraming", "fpXPThemes"}};
const TEnumInfo TextStyleInfo{"TTextStyle", {"tsNormal", "tsRaised", "tsRecessed", "tsShadow"}};
const TEnumInfo AlignmentVerticalInfo{"TAlignmentVertical", {"avTop", "avCenter", "avBottom"}};
const TEnumInfo OrientationInfo{"TOrientation", {"orHorizontal", "orVertical"}};
const TEnumInfo HotTrackColorTypeInfo{"TFcHotTrackColorType", {"htctComplement", "htctActual"}};
const TEnumInfo GroupBarGradientPathInfo{"TFcGroupBarGradientPath", {"gpTopToBottom", "gpBottomToTop"}};

namespace {

const TEnumInfo PathTypeInfo{"TFcPathType", {"ptIniFile", "ptRegistry"}};
const TEnumInfo RegKeyInfo{"TFcRegKey",
                           {"hkeyClassesRoot", "hkeyCurrentUser", "hkeyLocalMachine", "hkeyUsers",
                            "hkeyPerformanceData", "hkeyCurrentConfig", "hkeyDynData"}};
const TEnumInfo RegAccessKeyInfo{
    "TFcRegAccessKey",
    {"keyQueryValue", "keySetValue", "keyCreateSubKey", "keyEnumerateSubKeys", "keyNotify",
     "keyCreateLink", "keyRead", "keyWrite", "keyExecute", "keyAllAccess"}};

}  // namespace

// ---- Helpers -------------------------------------------------------------------------------

RECT RectCentredBounds(const RECT& outer, int width, int height) {
  int left = outer.left + (outer.right - outer.left - width) / 2;
  int top = outer.top + (outer.bottom - outer.top - height) / 2;
  return RECT{left, top, left + width, top + height};
}

std::unique_ptr<TFont> CreateAngledFont(TFont* font, int angle) {
  auto angled = std::make_unique<TFont>();
  angled->Assign(font);
  angled->SetCharset(DEFAULT_CHARSET);
  angled->SetEscapement(angle * 10);
  angled->SetOrientation(0);
  return angled;
}

namespace {

TEXTMETRICA ScreenTextMetrics(TFont* font) {
  TMeasureDC screen;
  TSelectObject select(screen, font->Handle());
  TEXTMETRICA tm{};
  GetTextMetricsA(screen, &tm);
  return tm;
}

}  // namespace

bool FontIsTrueType(TFont* font) { return (ScreenTextMetrics(font).tmPitchAndFamily & TMPF_TRUETYPE) != 0; }

int FontLineHeight(TFont* font) { return ScreenTextMetrics(font).tmHeight + 2; }

bool IsWindowsVersion(int version) {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExA(&info)) return false;
#pragma GCC diagnostic pop
  bool nine = info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS, nt = info.dwPlatformId == VER_PLATFORM_WIN32_NT;
  DWORD major = info.dwMajorVersion, minor = info.dwMinorVersion;
  switch (version) {
    case wvWin95: return nine && major <= 4 && minor == 0;
    case wvWinNT4: return nt && major <= 4;
    case wvWin98: return nine && major <= 4 && minor == 10;
    case wvWinME: return nine && major <= 4 && minor == 90;
    case wvWin2000: return nt && major == 5 && minor == 0;
    case wvWinXP: return nt && major == 5 && minor == 1;
    case wvWin2003: return nt && major == 5 && minor == 2;
    default: return false;
  }
}

namespace {

MONITORINFO MonitorInfo(HMONITOR monitor) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  GetMonitorInfoA(monitor, &info);
  return info;
}

}  // namespace

RECT ControlMonitorWorkArea(TWinControl* control) {
  return MonitorInfo(MonitorFromWindow(control->Handle(), MONITOR_DEFAULTTONEAREST)).rcWork;
}

int ControlMonitorWorkWidth(TWinControl* control) {
  RECT r = ControlMonitorWorkArea(control);
  return r.right - r.left;
}

RECT MonitorWorkArea(TMonitor* monitor) { return MonitorInfo(monitor->Handle()).rcWork; }

RECT MonitorBounds(TMonitor* monitor) { return MonitorInfo(monitor->Handle()).rcMonitor; }

// ---- Border drawing ------------------------------------------------------------------------

namespace {

struct TRing {
  TColor upperLeft, lowerRight;
};

// One ring of each style of TFrameStyle, in system colours.
constexpr TRing kStyleColors[] = {
    {clWindow, clWindow},          // fsNone
    {cl3DDkShadow, cl3DDkShadow},  // fsFlat
    {clBtnShadow, clBtnHighlight}, // fsGroove
    {clBtnHighlight, clBtnShadow}, // fsBump
    {clBtnShadow, clBtnHighlight}, // fsLowered
    {clNone, clNone},              // fsButtonDown
    {cl3DDkShadow, clBtnFace},     // fsRaised
    {clNone, clNone},              // fsButtonUp
    {clBtnShadow, clBtnHighlight}, // fsStatus
    {clBtnHighlight, clBtnShadow}, // fsPopup
    {clBtnShadow, clBtnShadow},    // fsFlatBold
};

// Two rings, outer first.
constexpr TRing kCtl3DRaised[2] = {{cl3DLight, cl3DDkShadow}, {clBtnHighlight, clBtnShadow}};
constexpr TRing kCtl3DLowered[2] = {{clBtnShadow, clBtnHighlight}, {cl3DDkShadow, cl3DLight}};
constexpr TRing kButtonUp[2] = {{clBtnHighlight, cl3DDkShadow}, {cl3DLight, clBtnShadow}};
constexpr TRing kButtonDown[2] = {{clBtnText, clBtnText}, {clBtnShadow, clBtnShadow}};

RECT PaintRings(TCanvas* canvas, RECT r, const TRing (&rings)[2], TSides sides) {
  for (const TRing& ring : rings) r = PaintBevelRings(canvas, r, ring.upperLeft, sides, 1, ring.lowerRight);
  return r;
}

RECT Inflated(RECT r, int by) {
  InflateRect(&r, by, by);
  return r;
}

// Grooves and bumps: two rings offset by a pixel, with the corner pixels where the rings meet
// set so that a partial frame ends cleanly.
RECT PaintEtchedSides(TCanvas* canvas, const RECT& rect, TColor up, TColor down, TSides sides) {
  int l = rect.left, t = rect.top, r = rect.right, b = rect.bottom;
  bool left = sides.Contains(sdLeft), top = sides.Contains(sdTop), right = sides.Contains(sdRight),
       bottom = sides.Contains(sdBottom);
  if (right) canvas->SetPixels(r - 1, t, down);
  if (top && !right) canvas->SetPixels(r - 1, t, up);
  if (bottom) canvas->SetPixels(l, b - 1, down);
  if (left && !bottom) canvas->SetPixels(l, b - 1, up);
  if (top && !left) canvas->SetPixels(l, t + 1, down);
  if (left && !top) canvas->SetPixels(l + 1, t, down);
  if (bottom && !right) canvas->SetPixels(r - 1, b - 2, up);
  if (right && !bottom) canvas->SetPixels(r - 2, b - 1, up);
  PaintBevelRings(canvas, RECT{l + 1, t + 1, r, b}, down, sides, 1, down);
  PaintBevelRings(canvas, RECT{l, t, r - 1, b - 1}, up, sides, 1, up);
  return RECT{l + (left ? 2 : 0), t + (top ? 2 : 0), r - (right ? 2 : 0), b - (bottom ? 2 : 0)};
}

}  // namespace

RECT PaintRectSides(TCanvas* canvas, const RECT& rect, TColor upperLeft, TSides sides,
                    TColor lowerRight) {
  int l = rect.left, t = rect.top, r = rect.right, b = rect.bottom;
  if (upperLeft != clNone) {
    canvas->Pen()->SetColor(upperLeft);
    if (sides.Contains(sdLeft)) {
      canvas->MoveTo(l, t);
      canvas->LineTo(l, b);
    }
    if (sides.Contains(sdTop)) {
      canvas->MoveTo(l, t);
      canvas->LineTo(r, t);
    }
  }
  if (lowerRight != clNone) {
    canvas->Pen()->SetColor(lowerRight);
    if (sides.Contains(sdRight)) {
      canvas->MoveTo(r - 1, t);
      canvas->LineTo(r - 1, b);
    }
    if (sides.Contains(sdBottom)) {
      canvas->MoveTo(l, b - 1);
      canvas->LineTo(r, b - 1);
    }
  }
  return RECT{l + (sides.Contains(sdLeft) ? 1 : 0), t + (sides.Contains(sdTop) ? 1 : 0),
              r - (sides.Contains(sdRight) ? 1 : 0), b - (sides.Contains(sdBottom) ? 1 : 0)};
}

RECT PaintBevelRings(TCanvas* canvas, const RECT& rect, TColor upperLeft, TSides sides, int count,
                     TColor lowerRight) {
  canvas->Pen()->SetWidth(1);
  RECT r = rect;
  for (int i = 0; i < count; ++i) r = PaintRectSides(canvas, r, upperLeft, sides, lowerRight);
  return r;
}

RECT PaintCtl3DSides(TCanvas* canvas, const RECT& rect, bool lowered, TSides sides) {
  return PaintRings(canvas, rect, lowered ? kCtl3DLowered : kCtl3DRaised, sides);
}

RECT PaintButtonSides(TCanvas* canvas, const RECT& rect, bool down, TSides sides) {
  return PaintRings(canvas, rect, down ? kButtonDown : kButtonUp, sides);
}

RECT PaintButtonRect(TCanvas* canvas, const RECT& rect, bool down) {
  return PaintButtonSides(canvas, rect, down, sdAllSides);
}

RECT PaintColorButtonSides(TCanvas* canvas, const RECT& rect, TColor color, TSides sides, bool down) {
  const TRing rings[2] = {
      down ? TRing{DarkenColor(color, 100), DarkenColor(color, 100)}
           : TRing{LightenColor(color, 100), DarkenColor(color, 100)},
      down ? TRing{DarkenColor(color, 50), DarkenColor(color, 50)}
           : TRing{LightenColor(color, 40), DarkenColor(color, 50)},
  };
  return PaintRings(canvas, rect, rings, sides);
}

RECT PaintColorButtonRect(TCanvas* canvas, const RECT& rect, TColor color, bool down) {
  return PaintColorButtonSides(canvas, rect, color, sdAllSides, down);
}

RECT PaintStyledSides(TCanvas* canvas, const RECT& rect, TFrameStyle style, TSides sides) {
  if (style < fsNone || style > fsFlatBold) return rect;
  const TRing& ring = kStyleColors[style];
  switch (style) {
    case fsNone: return rect;
    case fsFlat:
    case fsStatus:
    case fsPopup: return PaintBevelRings(canvas, rect, ring.upperLeft, sides, 1, ring.lowerRight);
    case fsLowered:
    case fsRaised: return PaintCtl3DSides(canvas, rect, style == fsLowered, sides);
    case fsButtonDown:
    case fsButtonUp: return PaintButtonSides(canvas, rect, style == fsButtonDown, sides);
    case fsFlatBold: return PaintBevelRings(canvas, rect, ring.upperLeft, sides, 2, ring.lowerRight);
    default: return PaintEtchedSides(canvas, rect, ring.upperLeft, ring.lowerRight, sides);
  }
}

RECT PaintStyledRect(TCanvas* canvas, const RECT& rect, TFrameStyle style) {
  return PaintStyledSides(canvas, rect, style, sdAllSides);
}

RECT PaintColorStyledSides(TCanvas* canvas, const RECT& rect, TColor color, TSides sides,
                           TFrameStyle style) {
  auto dk = [color](BYTE amount) { return DarkenColor(color, amount); };
  auto lt = [color](BYTE amount) { return LightenColor(color, amount); };
  switch (style) {
    case fsNone: return rect;
    case fsFlat: return PaintBevelRings(canvas, rect, dk(50), sides, 1, dk(50));
    case fsGroove: return PaintEtchedSides(canvas, rect, dk(50), lt(100), sides);
    case fsLowered: {
      const TRing rings[2] = {{dk(50), lt(100)}, {dk(100), lt(50)}};
      return PaintRings(canvas, rect, rings, sides);
    }
    case fsRaised: {
      const TRing rings[2] = {{lt(50), dk(100)}, {lt(100), dk(50)}};
      return PaintRings(canvas, rect, rings, sides);
    }
    case fsButtonDown:
    case fsButtonUp: return PaintColorButtonSides(canvas, rect, color, sides, style == fsButtonDown);
    case fsStatus: return PaintBevelRings(canvas, rect, dk(50), sides, 1, lt(100));
    case fsPopup: return PaintBevelRings(canvas, rect, lt(100), sides, 1, dk(50));
    case fsFlatBold: return PaintBevelRings(canvas, rect, dk(50), sides, 2, dk(50));
    default: return PaintEtchedSides(canvas, rect, lt(100), dk(50), sides);  // fsBump
  }
}

RECT PaintColorStyledRect(TCanvas* canvas, const RECT& rect, TColor color, TFrameStyle style) {
  return PaintColorStyledSides(canvas, rect, color, sdAllSides, style);
}

RECT PaintRoundedFlatSides(TCanvas* canvas, const RECT& rect, TColor color, TSides sides) {
  int l = rect.left, t = rect.top, r = rect.right, b = rect.bottom;
  bool left = sides.Contains(sdLeft), top = sides.Contains(sdTop), right = sides.Contains(sdRight),
       bottom = sides.Contains(sdBottom);
  int t2 = top ? t + 2 : t, b2 = bottom ? b - 2 : b, l2 = left ? l + 2 : l, r2 = right ? r - 2 : r;
  canvas->Pen()->SetColor(color);
  auto line = [canvas](int x1, int y1, int x2, int y2) {
    canvas->MoveTo(x1, y1);
    canvas->LineTo(x2, y2);
  };
  if (left) line(l, t2, l, b2);
  if (top) line(l2, t, r2, t);
  if (right) line(r - 1, t2, r - 1, b2);
  if (bottom) line(l2, b - 1, r2, b - 1);
  if (left && top) canvas->SetPixels(l + 1, t + 1, color);
  if (top && right) canvas->SetPixels(r - 2, t + 1, color);
  if (right && bottom) canvas->SetPixels(r - 2, b - 2, color);
  if (left && bottom) canvas->SetPixels(l + 1, b - 2, color);
  return RECT{l2, t2, r2, b2};
}

RECT PaintDottedFocusRect(TCanvas* canvas, const RECT& rect) {
  for (int y = rect.top + 1; y < rect.bottom; y += 2) {
    canvas->SetPixels(rect.left, y, clBlack);
    canvas->SetPixels(rect.right - 1, y, clBlack);
  }
  for (int x = rect.left + 1; x < rect.right; x += 2) {
    canvas->SetPixels(x, rect.top, clBlack);
    canvas->SetPixels(x, rect.bottom - 1, clBlack);
  }
  return Inflated(rect, -1);
}

void PaintCornerlessRect(TCanvas* canvas, const RECT& r, TColor color) {
  canvas->Pen()->SetColor(color);
  canvas->MoveTo(r.left, r.top + 1);
  canvas->LineTo(r.left, r.bottom - 1);
  canvas->MoveTo(r.left + 1, r.top);
  canvas->LineTo(r.right - 1, r.top);
  canvas->MoveTo(r.right - 1, r.top + 1);
  canvas->LineTo(r.right - 1, r.bottom - 1);
  canvas->MoveTo(r.left + 1, r.bottom - 1);
  canvas->LineTo(r.right - 1, r.bottom - 1);
}

RECT PaintBorderPair(TCanvas* canvas, const RECT& rect, const TFcBorderPair& border) {
  const TSides sides = border.Sides;
  const TColor flat = ShiftLightness(border.FlatColor, border.FlatColorAdjustment);
  const bool banded = border.BorderWidth > 0 || border.Inner != fsNone;
  RECT r = rect;

  switch (border.Outer) {
    case fsFlat: r = PaintBevelRings(canvas, r, flat, sides, 1, flat); break;
    case fsFlatBold: r = PaintBevelRings(canvas, r, flat, sides, 2, flat); break;
    case fsFlatRounded:
      // The cut corners show the parent's colour outside and the band's colour inside.
      if (!border.Transparent) {
        RECT inside = PaintBevelRings(canvas, r, border.ParentColor, sides, 1, border.ParentColor);
        TColor fill = banded ? border.BorderColor : border.ControlColor;
        PaintBevelRings(canvas, inside, fill, sides, 1, fill);
      } else if (banded) {
        PaintBevelRings(canvas, Inflated(r, -1), border.BorderColor, sides, 1, border.BorderColor);
      }
      r = PaintRoundedFlatSides(canvas, r, flat, sides);
      break;
    case fsPopup:
      r = PaintBevelRings(canvas, r, border.BorderHighlight, sides, border.BevelWidth, border.BorderShadow);
      break;
    case fsStatus:
      r = PaintBevelRings(canvas, r, border.BorderShadow, sides, border.BevelWidth, border.BorderHighlight);
      break;
    default: r = PaintStyledSides(canvas, r, border.Outer, sides); break;
  }

  if (border.BorderWidth > 0)
    r = PaintBevelRings(canvas, r, border.BorderColor, sides, border.BorderWidth, border.BorderColor);

  switch (border.Inner) {
    case fsFlat:
      if (border.CutCorner) {
        PaintCornerlessRect(canvas, r, flat);
        r = Inflated(r, -1);
      } else {
        r = PaintBevelRings(canvas, r, flat, sides, 1, flat);
      }
      break;
    case fsFlatBold: r = PaintBevelRings(canvas, r, flat, sides, 2, flat); break;
    case fsFlatRounded: {
      RECT inside = PaintBevelRings(canvas, r, border.BorderColor, sides, 1, border.BorderColor);
      if (!border.Transparent)
        PaintBevelRings(canvas, inside, border.ControlColor, sides, 1, border.ControlColor);
      r = PaintRoundedFlatSides(canvas, r, flat, sides);
      break;
    }
    case fsStatus:
      r = PaintBevelRings(canvas, r, border.BorderShadow, sides, border.BevelWidth, border.BorderHighlight);
      break;
    case fsPopup:
      r = PaintBevelRings(canvas, r, border.BorderHighlight, sides, border.BevelWidth, border.BorderShadow);
      break;
    default: r = PaintStyledSides(canvas, r, border.Inner, sides); break;
  }
  return r;
}

void PaintNonClientFrame(TCanvas* canvas, int width, int height, bool keepBackground, TSides sides,
                         TColor frameColor, TColor controlColor, TFrameStyle style) {
  RECT r{0, 0, width, height};
  if (!keepBackground) PaintBevelRings(canvas, r, controlColor, sdAllSides, 2, controlColor);
  if (style == fsFlat)
    PaintBevelRings(canvas, r, frameColor, sides, 1, frameColor);
  else if (style == fsFlatBold)
    PaintBevelRings(canvas, r, frameColor, sides, 2, frameColor);
  else if (controlColor == clWindow)
    PaintStyledSides(canvas, r, style, sides);
  else
    PaintColorStyledSides(canvas, r, controlColor, sides, style);
}

void PaintBarBackground(TCanvas* canvas, const RECT& rect, bool useTheme, int adjustment,
                        TColor color, TFcGroupBarGradientPath path) {
  if (useTheme && ThemeServicesEnabled()) {
    Themes::TThemeData theme = Themes::OpenTheme(nullptr, "EXPLORERBAR");
    if (theme) {
      Themes::DrawThemeBackground(theme.get(), canvas->Handle(), 0, 0, rect);
      return;
    }
  }
  if (!DisplayHasFullColor() || adjustment == 0) return;
  BYTE amount = static_cast<BYTE>(std::min(std::abs(adjustment), 255));
  RECT area = rect;
  int third = (rect.bottom - rect.top) / 3;
  TColor top = color, bottom = color;
  bool lighter = adjustment > 0;
  if (path == gpTopToBottom) {
    if (lighter) {
      area.bottom -= third;
      top = LightenColor(color, amount);
    } else {
      area.top += third;
      bottom = DarkenColor(color, amount);
    }
  } else {
    if (lighter) {
      area.top += third;
      bottom = LightenColor(color, amount);
    } else {
      area.bottom -= third;
      top = DarkenColor(color, amount);
    }
  }
  FillRectGradient(canvas, area, gdVertical, top, bottom, 1);
}

namespace {

// The colour of the visual style's drop-down glyph, or the dark shadow where that would hardly
// show on a window's colour.
TColor ThemedGlyphColor() {
  Themes::TThemeData theme = Themes::OpenTheme(nullptr, "COMBOBOX");
  if (!theme) return clBlack;
  TBitmap sample(17, 21);
  Themes::DrawThemeBackground(theme.get(), sample.Canvas()->Handle(), CP_DROPDOWNBUTTON, CBXS_NORMAL,
                              RECT{0, 0, 16, 20});
  TColor glyph = sample.Canvas()->Pixels(8, 10);
  return ColorsHardToTell(glyph, clWindow) ? cl3DDkShadow : glyph;
}

TColor ArrowColor(bool themed, bool enabled) {
  if (!enabled) return clBtnShadow;
  return themed ? ThemedGlyphColor() : clBlack;
}

// Fills the polygon in `color` without an outline; the canvas keeps its brush colour and pen.
void FillArrow(TCanvas* canvas, const std::vector<POINT>& points, TColor color) {
  TColor brush = canvas->Brush()->Color();
  TPenStyle pen = canvas->Pen()->Style();
  canvas->Brush()->SetColor(color);
  canvas->Pen()->SetStyle(psClear);
  canvas->Polygon(points);
  canvas->Pen()->SetStyle(pen);
  canvas->Brush()->SetColor(brush);
}

// The themed look of a triangle: the middle of its base notched in by one pixel.
std::vector<POINT> Notched(POINT tip, POINT base1, POINT base2) {
  POINT middle{(base1.x + base2.x) / 2, (base1.y + base2.y) / 2};
  int ax = base1.y == base2.y ? 1 : 0, ay = 1 - ax;  // along the base
  int inx = tip.x > middle.x ? 1 : tip.x < middle.x ? -1 : 0;
  int iny = tip.y > middle.y ? 1 : tip.y < middle.y ? -1 : 0;
  return {tip, base1, POINT{middle.x - ax, middle.y - ay}, POINT{middle.x + inx, middle.y + iny},
          POINT{middle.x + ax, middle.y + ay}, base2};
}

}  // namespace

void PaintDropDownArrow(TCanvas* canvas, const RECT& rect, bool themed, bool enabled, bool pressed) {
  int w = rect.right - rect.left, h = rect.bottom - rect.top;
  int cx = rect.left + w / 2 + (pressed ? 1 : 0);
  int y = rect.top + (h + 1) / 2 + 2 + (themed ? 2 : 0) - (pressed ? 0 : 1);
  TColor color = ArrowColor(themed, enabled);
  if (themed)
    FillArrow(canvas,
              {{cx, y}, {cx - 4, y - 5}, {cx - 3, y - 7}, {cx, y - 3}, {cx + 3, y - 7}, {cx + 5, y - 5}},
              color);
  else
    FillArrow(canvas, {{cx, y}, {cx - 3, y - 4}, {cx + 4, y - 4}}, color);
}

void PaintDirectionArrow(TCanvas* canvas, const RECT& rect, bool themed, bool enabled, bool pressed,
                         int direction) {
  int w = rect.right - rect.left, h = rect.bottom - rect.top;
  int cx = rect.left + w / 2;
  int cy = rect.top + h / 2 - (h % 2 == 0 ? 1 : 0);
  int f = cy + 2;
  if (direction == adLeft || direction == adRight) {
    f = cy;
    cx -= 2;
  }
  if (enabled && pressed) ++f, ++cx;
  POINT tip, base1, base2;
  switch (direction) {
    case adUp: tip = {cx, f - 5}, base1 = {cx + 4, f}, base2 = {cx - 4, f}; break;
    case adDown: tip = {cx, f + 1}, base1 = {cx - 3, f - 3}, base2 = {cx + 4, f - 3}; break;
    case adLeft: tip = {cx, f}, base1 = {cx + 4, f - 4}, base2 = {cx + 4, f + 4}; break;
    case adRight: tip = {cx + 4, f}, base1 = {cx, f + 4}, base2 = {cx, f - 4}; break;
    default: return;
  }
  TColor color = ArrowColor(themed, enabled);
  FillArrow(canvas, themed ? Notched(tip, base1, base2) : std::vector<POINT>{tip, base1, base2}, color);
}

// ---- Frame controller ----------------------------------------------------------------------

TFcFrameController::TFcFrameController(TComponent* owner) : TComponent(owner) {}

TFcFrameController::~TFcFrameController() { controls_.reset(); }

void TFcFrameController::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TFcFrameController*>(source);
  if (!other) {
    TComponent::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    SetColor(other->color_);
    SetParentColor(other->parentColor_);
    SetFlatButtonColor(other->flatButtonColor_);
    SetFlatButtons(other->flatButtons_);
    SetDisabledColor(other->settings_.DisabledColor);
    SetFocusColor(other->settings_.FocusColor);
    SetFrameColor(other->settings_.FrameColor);
    SetFrameHotColor(other->settings_.FrameHotColor);
    SetFrameHotTrack(other->settings_.FrameHotTrack);
    SetFrameHotStyle(other->settings_.FrameHotStyle);
    SetFrameSides(other->settings_.FrameSides);
    SetFrameStyle(other->settings_.FrameStyle);
    SetFrameVisible(other->settings_.FrameVisible);
    SetFramingPreference(other->settings_.FramingPreference);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TFcFrameController::Loaded() {
  TComponent::Loaded();
  PushAll(fcAll);
}

void TFcFrameController::RegisterFramedControl(TControl* control) {
  if (!controls_) controls_ = std::make_unique<std::vector<TControl*>>();
  if (std::find(controls_->begin(), controls_->end(), control) != controls_->end()) return;
  controls_->push_back(control);
  Push(control, fcAll);
}

void TFcFrameController::UnregisterFramedControl(TControl* control) {
  if (!controls_) return;
  controls_->erase(std::remove(controls_->begin(), controls_->end(), control), controls_->end());
  if (controls_->empty()) controls_.reset();
}

void TFcFrameController::EndUpdate() {
  if (--updateCount_ > 0) return;
  updateCount_ = 0;
  PushAll(fcAll);
}

void TFcFrameController::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == regIniFile_) regIniFile_ = nullptr;
  if (auto* control = dynamic_cast<TControl*>(component)) UnregisterFramedControl(control);
}

void TFcFrameController::Push(TControl* control, TFcFrameChange change) {
  if (auto* notified = dynamic_cast<IFcFramingNotification*>(control)) {
    notified->UpdateFrameSettings();
    return;
  }
  struct TSetting {
    TFcFrameChange change;
    const char* name;
    TValue value;
  };
  // In the order a full push sets them; Color only follows when ParentColor is off.
  const TSetting settings[] = {
      {fcParentColor, "ParentColor", TValue::Boolean(parentColor_)},
      {fcColor, "Color", TValue::Integer(color_)},
      {fcDisabledColor, "DisabledColor", TValue::Integer(settings_.DisabledColor)},
      {fcFocusColor, "FocusColor", TValue::Integer(settings_.FocusColor)},
      {fcFlatButtonColor, "FlatButtonColor", TValue::Integer(flatButtonColor_)},
      {fcFlatButtons, "FlatButtons", TValue::Boolean(flatButtons_)},
      {fcFrameColor, "FrameColor", TValue::Integer(settings_.FrameColor)},
      {fcFrameHotColor, "FrameHotColor", TValue::Integer(settings_.FrameHotColor)},
      {fcFrameHotTrack, "FrameHotTrack", TValue::Boolean(settings_.FrameHotTrack)},
      {fcFrameHotStyle, "FrameHotStyle", TValue::Integer(settings_.FrameHotStyle)},
      {fcFrameSides, "FrameSides", TValue::Set(settings_.FrameSides.Bits())},
      {fcFrameStyle, "FrameStyle", TValue::Integer(settings_.FrameStyle)},
      {fcFrameVisible, "FrameVisible", TValue::Boolean(settings_.FrameVisible)},
      {fcFramingPreference, "FramingPreference", TValue::Integer(settings_.FramingPreference)},
  };
  for (const TSetting& s : settings) {
    bool wanted = change == s.change || (change == fcAll && !(s.change == fcColor && parentColor_));
    if (wanted) SetPropByName(control, s.name, s.value);
  }
}

void TFcFrameController::PushAll(TFcFrameChange change) {
  if (updateCount_ > 0 || !controls_) return;
  // A control may leave the list while it takes a setting.
  std::vector<TControl*> controls = *controls_;
  for (TControl* c : controls)
    if (controls_ && std::find(controls_->begin(), controls_->end(), c) != controls_->end()) Push(c, change);
}

void TFcFrameController::SetColor(TColor value) {
  if (value == color_) return;
  TColor old = color_;
  color_ = value;
  PushAll(fcColor);
  if (settings_.FocusColor == old) SetFocusColor(value);
  SetParentColor(false);
}

void TFcFrameController::SetParentColor(bool value) {
  if (value == parentColor_) return;
  parentColor_ = value;
  PushAll(fcParentColor);
  if (!value) PushAll(fcColor);
}

namespace {

template <class T>
bool Changed(T& field, const T& value) {
  if (field == value) return false;
  field = value;
  return true;
}

}  // namespace

void TFcFrameController::SetFlatButtonColor(TColor value) {
  if (Changed(flatButtonColor_, value)) PushAll(fcFlatButtonColor);
}

void TFcFrameController::SetFlatButtons(bool value) {
  if (Changed(flatButtons_, value)) PushAll(fcFlatButtons);
}

void TFcFrameController::SetDisabledColor(TColor value) {
  if (Changed(settings_.DisabledColor, value)) PushAll(fcDisabledColor);
}

void TFcFrameController::SetFocusColor(TColor value) {
  if (Changed(settings_.FocusColor, value)) PushAll(fcFocusColor);
}

void TFcFrameController::SetFrameColor(TColor value) {
  if (Changed(settings_.FrameColor, value)) PushAll(fcFrameColor);
}

void TFcFrameController::SetFrameHotColor(TColor value) {
  if (Changed(settings_.FrameHotColor, value)) PushAll(fcFrameHotColor);
}

void TFcFrameController::SetFrameHotTrack(bool value) {
  if (!Changed(settings_.FrameHotTrack, value)) return;
  if (value) {
    SetFrameVisible(true);
    if (!ComponentState().Contains(csLoading)) SetFrameSides(sdAllSides);
  }
  PushAll(fcFrameHotTrack);
}

void TFcFrameController::SetFrameHotStyle(TFrameStyle value) {
  if (Changed(settings_.FrameHotStyle, value)) PushAll(fcFrameHotStyle);
}

void TFcFrameController::SetFrameSides(TSides value) {
  if (Changed(settings_.FrameSides, value)) PushAll(fcFrameSides);
}

void TFcFrameController::SetFrameStyle(TFrameStyle value) {
  if (Changed(settings_.FrameStyle, value)) PushAll(fcFrameStyle);
}

void TFcFrameController::SetFrameVisible(bool value) {
  if (Changed(settings_.FrameVisible, value)) PushAll(fcFrameVisible);
}

void TFcFrameController::SetFramingPreference(TFramingPreference value) {
  if (Changed(settings_.FramingPreference, value)) PushAll(fcFramingPreference);
}

void TFcFrameController::SetRegIniFile(TFcRegIniFile* value) {
  if (value == regIniFile_) return;
  if (regIniFile_) regIniFile_->RemoveFreeNotification(this);
  regIniFile_ = value;
  if (value) value->FreeNotification(this);
}

void ChangeFrameController(TControl* control, TFcFrameController*& reference,
                           TFcFrameController* controller) {
  if (controller == reference) return;
  if (reference) {
    reference->UnregisterFramedControl(control);
    reference->RemoveFreeNotification(control);
  }
  reference = controller;
  if (controller) {
    controller->RegisterFramedControl(control);
    controller->FreeNotification(control);
  }
}

// ---- Blinking controls -----------------------------------------------------------------

namespace {
TFcBlinkingControlsList* blinkingList = nullptr;
}  // namespace

TFcBlinkingControlsList::TFcBlinkingControlsList() { StartTimer(intervalOff_); }

TFcBlinkingControlsList::~TFcBlinkingControlsList() {
  if (timer_) KillTimer(nullptr, timer_);
}

TFcBlinkingControlsList* TFcBlinkingControlsList::Instance() { return blinkingList; }

void TFcBlinkingControlsList::Register(TControl* control) {
  if (!blinkingList) blinkingList = new TFcBlinkingControlsList();
  auto& list = blinkingList->controls_;
  if (std::find(list.begin(), list.end(), control) == list.end()) list.push_back(control);
}

void TFcBlinkingControlsList::Unregister(TControl* control) {
  if (!blinkingList) return;
  auto& list = blinkingList->controls_;
  list.erase(std::remove(list.begin(), list.end(), control), list.end());
  if (list.empty()) {
    delete blinkingList;
    blinkingList = nullptr;
  }
}

void TFcBlinkingControlsList::SetIntervalOn(WORD value) {
  intervalOn_ = value;
  if (phase_ == 1) StartTimer(value);
}

void TFcBlinkingControlsList::SetIntervalOff(WORD value) {
  intervalOff_ = value;
  if (phase_ == 0) StartTimer(value);
}

void TFcBlinkingControlsList::StartTimer(WORD interval) {
  // A thread timer: its callback needs no window, so the list may go inside a tick.
  UINT_PTR id = SetTimer(nullptr, timer_, interval, &TFcBlinkingControlsList::TimerProc);
  if (!id) throw EOutOfMemory("Not enough timers available");
  timer_ = id;
}

void CALLBACK TFcBlinkingControlsList::TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  if (!blinkingList || blinkingList->timer_ != id) {
    KillTimer(nullptr, id);
    return;
  }
  GuardWndProc(nullptr, [] {
    blinkingList->Tick();
    return LRESULT{0};
  });
}

void TFcBlinkingControlsList::Tick() {
  phase_ = phase_ == 1 ? 0 : 1;
  StartTimer(phase_ == 1 ? intervalOn_ : intervalOff_);
  // A control's answer may free controls, or the last one and with it this list.
  std::vector<TControl*> controls = controls_;
  for (TControl* c : controls) {
    TFcBlinkingControlsList* list = blinkingList;
    if (!list || std::find(list->controls_.begin(), list->controls_.end(), c) == list->controls_.end())
      continue;
    int phase = list->phase_;
    if (c->Perform(CM_BLINKQUERY) == 1) c->Perform(CM_BLINKPHASE, static_cast<WPARAM>(phase));
  }
}

// ---- Registration --------------------------------------------------------------------------

void RegisterFcCommon() {
  using F = TFcFrameController;
  auto controller = RegisterClassInfo<F, TComponent>("TFcFrameController");
  controller.Color("Color", &F::Color, &F::SetColor, clWindow)
      .StoredIf([](F* f) { return !f->ParentColor(); })
      .Boolean("ParentColor", &F::ParentColor, &F::SetParentColor, false)
      .Color("FlatButtonColor", &F::FlatButtonColor, &F::SetFlatButtonColor, clBtnFace)
      .Boolean("FlatButtons", &F::FlatButtons, &F::SetFlatButtons, true)
      .Color("FocusColor", &F::FocusColor, &F::SetFocusColor, clWindow)
      .Component("RegIniFile", &F::RegIniFile, &F::SetRegIniFile);
  PublishSharedFrameSettings(controller, [](F*) { return true; });
  ReadOldFrameProperties(controller);

  using R = TFcRegIniFile;
  RegisterClassInfo<R, TComponent>("TFcRegIniFile")
      .String("Path", &R::Path, &R::SetPath)
      .Enum("PathType", PathTypeInfo, &R::PathType, &R::SetPathType, ptIniFile)
      .Enum("RegKey", RegKeyInfo, &R::RegKey, &R::SetRegKey, hkeyCurrentUser)
      .Set("RegAccess", RegAccessKeyInfo, &R::RegAccess, &R::SetRegAccess, TFcRegAccess{keyAllAccess});
}
