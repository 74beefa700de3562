// What every control of the library shares: the frame vocabulary, the border and arrow
// drawing routines, the small font, geometry and system helpers, and the framed-control
// settings with the frame controller that pushes one set of them to many controls, the shared
// blink timer and the settings-store component.
//
// Index: vocabulary · helpers · border drawing · framed-control settings (the framing
// notification, TFcFrameController, TFcFramedControl) · TFcBlinkingControlsList ·
// TFcRegIniFile · registration.
// Two subjects share the unit. Frames: the vocabulary's stored names open FcCommon.cpp, its
// "Helpers" and "Border drawing" sections follow. Framed-control settings: the frame
// controller and the blink timer are FcCommon.cpp's "Frame controller" and "Blinking
// controls"; TFcFramedControl, a template, and TFcRegIniFile live wholly here. The colours
// and gradients both draw with come from FcGrafx.h.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/FcGrafx.h"
#include "platform/Controls.h"
#include "platform/Forms.h"
#include "platform/Guards.h"
#include "platform/Sets.h"
#include "platform/Themes.h"
#include "platform/TypInfo.h"

// ---- Vocabulary ----------------------------------------------------------------------------
// Layouts store these by identifier; the ordinal order is the one the colour tables index by.

// fsFlatRounded only borders (labels, panels) take; the controls' FrameStyle properties take
// the range fsNone .. fsFlatBold, TFrameStyle.
enum TFrameStyleEx {
  fsNone, fsFlat, fsGroove, fsBump, fsLowered, fsButtonDown, fsRaised, fsButtonUp, fsStatus,
  fsPopup, fsFlatBold, fsFlatRounded
};
using TFrameStyle = TFrameStyleEx;
enum TSide { sdLeft, sdTop, sdRight, sdBottom };
using TSides = TSet<TSide>;
inline constexpr TSides sdAllSides{sdLeft, sdTop, sdRight, sdBottom};
enum TFramingPreference { fpCustomFraming, fpXPThemes };
enum TTextStyle { tsNormal, tsRaised, tsRecessed, tsShadow };
enum TAlignmentVertical { avTop, avCenter, avBottom };
enum TOrientation { orHorizontal, orVertical };
enum TFcHotTrackColorType { htctComplement, htctActual };
enum TFcGroupBarGradientPath { gpTopToBottom, gpBottomToTop };

extern const TEnumInfo FrameStyleInfo;    // TFrameStyle: fsNone .. fsFlatBold
extern const TEnumInfo FrameStyleExInfo;  // TFrameStyleEx: all twelve
extern const TEnumInfo SideInfo;
extern const TEnumInfo FramingPreferenceInfo;
extern const TEnumInfo TextStyleInfo;
extern const TEnumInfo AlignmentVerticalInfo;
extern const TEnumInfo OrientationInfo;
extern const TEnumInfo HotTrackColorTypeInfo;
extern const TEnumInfo GroupBarGradientPathInfo;

// ---- Helpers -------------------------------------------------------------------------------

// The rect of that size centred in `outer` (offsets rounded toward zero, negative when the
// size is larger than `outer`).
RECT RectCentredBounds(const RECT& outer, int width, int height);
// A font like `font` in the default character set whose text runs at `angle` degrees
// counter-clockwise (characters upright along it). Given to a canvas (TCanvas::SetFont), the
// canvas makes and frees the handle it draws with.
std::unique_ptr<TFont> CreateAngledFont(TFont* font, int angle);
bool FontIsTrueType(TFont* font);
// The font's text height plus 2: one line of a list of texts.
int FontLineHeight(TFont* font);

// The systems IsWindowsVersion tells apart; any other code is never the running system.
enum TFcWindowsVersion : int {
  wvWin95 = 0, wvWinNT4 = 1, wvWin98 = 2, wvWinME = 3, wvWin2000 = 4, wvWinXP = 5, wvWin2003 = 6
};
bool IsWindowsVersion(int version);

// The work area (without task bars) of the monitor nearest to the control's window.
RECT ControlMonitorWorkArea(TWinControl* control);
int ControlMonitorWorkWidth(TWinControl* control);
RECT MonitorWorkArea(TMonitor* monitor);
RECT MonitorBounds(TMonitor* monitor);

// ---- Border drawing ------------------------------------------------------------------------
// Each routine paints on the canvas with its pen and brush and returns the rectangle left
// inside what it drew, so borders chain from the outside inward. A side in clNone is not
// drawn but still takes its pixel.

RECT PaintRectSides(TCanvas* canvas, const RECT& rect, TColor upperLeft, TSides sides,
                    TColor lowerRight);
// `count` rings, each inside the previous, with a pen one pixel wide.
RECT PaintBevelRings(TCanvas* canvas, const RECT& rect, TColor upperLeft, TSides sides, int count,
                     TColor lowerRight);
RECT PaintCtl3DSides(TCanvas* canvas, const RECT& rect, bool lowered, TSides sides);
RECT PaintButtonSides(TCanvas* canvas, const RECT& rect, bool down, TSides sides);
RECT PaintButtonRect(TCanvas* canvas, const RECT& rect, bool down);
// A button's two rings in shades of one colour.
RECT PaintColorButtonSides(TCanvas* canvas, const RECT& rect, TColor color, TSides sides, bool down);
RECT PaintColorButtonRect(TCanvas* canvas, const RECT& rect, TColor color, bool down);
// A frame of the style in system colours.
RECT PaintStyledSides(TCanvas* canvas, const RECT& rect, TFrameStyle style, TSides sides);
RECT PaintStyledRect(TCanvas* canvas, const RECT& rect, TFrameStyle style);
// A frame of the style in shades of one colour.
RECT PaintColorStyledSides(TCanvas* canvas, const RECT& rect, TColor color, TSides sides,
                           TFrameStyle style);
RECT PaintColorStyledRect(TCanvas* canvas, const RECT& rect, TColor color, TFrameStyle style);
// A one-pixel ring with cut corners.
RECT PaintRoundedFlatSides(TCanvas* canvas, const RECT& rect, TColor color, TSides sides);
// Every second pixel of the rectangle's edge in black.
RECT PaintDottedFocusRect(TCanvas* canvas, const RECT& rect);
// Four lines around the rectangle in `color` that leave its corner pixels out.
void PaintCornerlessRect(TCanvas* canvas, const RECT& rect, TColor color);

// How the labels, panels, status panes and group boxes border themselves: an outer border, a
// band of BorderWidth rings in BorderColor, and an inner border.
struct TFcBorderPair {
  TFrameStyleEx Outer = fsNone;
  TFrameStyleEx Inner = fsNone;
  int BorderWidth = 0;
  TSides Sides = sdAllSides;
  int BevelWidth = 1;
  TColor BorderColor = clBtnFace;
  TColor BorderHighlight = clBtnHighlight;
  TColor BorderShadow = clBtnShadow;
  // The flat and rounded styles draw in FlatColor shifted by FlatColorAdjustment.
  TColor FlatColor = clBtnShadow;
  int FlatColorAdjustment = 30;
  TColor ControlColor = clBtnFace;
  TColor ParentColor = clBtnFace;
  bool Transparent = false;
  // An inner fsFlat border leaves its four corner pixels out.
  bool CutCorner = false;
};
// Returns the client rect left inside the inner border.
RECT PaintBorderPair(TCanvas* canvas, const RECT& rect, const TFcBorderPair& border);

// The frame of an edit-like control over its whole window (0, 0, width, height): unless
// `keepBackground`, two rings in the control's colour first. Other styles than the flat ones
// use the system colours only when the control's colour is exactly clWindow.
void PaintNonClientFrame(TCanvas* canvas, int width, int height, bool keepBackground, TSides sides,
                         TColor frameColor, TColor controlColor, TFrameStyle style);

// A bar's background: with `useTheme` while visual styles are on, the visual style's
// explorer bar (where the theme has none, the gradient below); otherwise, on a full-colour
// display, two thirds of the rect in a vertical gradient between `color` and a shade
// `adjustment` lighter (positive) or darker (negative). An adjustment of 0 paints nothing.
void PaintBarBackground(TCanvas* canvas, const RECT& rect, bool useTheme, int adjustment,
                        TColor color, TFcGroupBarGradientPath path);

// A small arrow centred in rect: black, the visual style's glyph colour when `themed`, the
// button shadow when disabled. The canvas's brush colour is kept.
void PaintDropDownArrow(TCanvas* canvas, const RECT& rect, bool themed, bool enabled, bool pressed);
enum TFcArrowDirection { adUp, adDown, adLeft, adRight };
void PaintDirectionArrow(TCanvas* canvas, const RECT& rect, bool themed, bool enabled, bool pressed,
                         int direction);

// ---- Framed-control settings -----------------------------------------------------------

// A control that takes its frame settings from its frame controller itself: the controller
// calls UpdateFrameSettings instead of setting the control's properties one by one.
class IFcFramingNotification {
 public:
  virtual ~IFcFramingNotification() = default;
  virtual void UpdateFrameSettings() = 0;
};

// Which setting a frame controller hands on: one, or all of them.
enum TFcFrameChange {
  fcAll, fcColor, fcFocusColor, fcDisabledColor, fcParentColor, fcFlatButtonColor, fcFlatButtons,
  fcFrameColor, fcFrameHotColor, fcFrameHotTrack, fcFrameHotStyle, fcFrameSides, fcFrameStyle,
  fcFrameVisible, fcFramingPreference
};

class TFcRegIniFile;

// The frame and colour settings that a frame controller holds and every framed control
// carries, with their defaults.
struct TFcFrameSettings {
  TColor DisabledColor = clBtnFace;
  TColor FocusColor = clWindow;
  TColor FrameColor = clBtnShadow;
  TColor FrameHotColor = clBtnShadow;
  bool FrameHotTrack = false;
  TFrameStyle FrameHotStyle = fsFlatBold;
  TSides FrameSides = sdAllSides;
  TFrameStyle FrameStyle = fsFlat;
  bool FrameVisible = false;
  TFramingPreference FramingPreference = fpXPThemes;
};

// One set of frame and colour settings for every control whose FrameController names it: a
// change is set through each control's published property of the same name (a control that
// does not publish it is skipped), or the control is told to fetch them itself.
class TFcFrameController : public TComponent {
 public:
  explicit TFcFrameController(TComponent* owner);
  // Forgets its controls without telling them: they hear of it as a freed component.
  ~TFcFrameController() override;

  // From another controller: all settings, followed by one push of them all.
  void Assign(TPersistent* source) override;
  void Loaded() override;

  // Takes a control and pushes every setting to it at once (a listed control is ignored).
  void RegisterFramedControl(TControl* control);
  // Nothing happens when the control is not listed.
  void UnregisterFramedControl(TControl* control);
  int FramedControlCount() const { return controls_ ? static_cast<int>(controls_->size()) : 0; }

  // Changes between the outermost pair are pushed once, all settings to all controls.
  void BeginUpdate() { ++updateCount_; }
  void EndUpdate();

  TColor Color() const { return color_; }
  // Also moves FocusColor along when it was the old colour, and clears ParentColor.
  void SetColor(TColor value);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool value);
  TColor FlatButtonColor() const { return flatButtonColor_; }
  void SetFlatButtonColor(TColor value);
  bool FlatButtons() const { return flatButtons_; }
  void SetFlatButtons(bool value);
  TColor DisabledColor() const { return settings_.DisabledColor; }
  void SetDisabledColor(TColor value);
  TColor FocusColor() const { return settings_.FocusColor; }
  void SetFocusColor(TColor value);
  TColor FrameColor() const { return settings_.FrameColor; }
  void SetFrameColor(TColor value);
  TColor FrameHotColor() const { return settings_.FrameHotColor; }
  void SetFrameHotColor(TColor value);
  bool FrameHotTrack() const { return settings_.FrameHotTrack; }
  // Switching it on also makes the frame visible and, outside loading, puts it on all sides.
  void SetFrameHotTrack(bool value);
  TFrameStyle FrameHotStyle() const { return settings_.FrameHotStyle; }
  void SetFrameHotStyle(TFrameStyle value);
  TSides FrameSides() const { return settings_.FrameSides; }
  void SetFrameSides(TSides value);
  TFrameStyle FrameStyle() const { return settings_.FrameStyle; }
  void SetFrameStyle(TFrameStyle value);
  bool FrameVisible() const { return settings_.FrameVisible; }
  void SetFrameVisible(bool value);
  TFramingPreference FramingPreference() const { return settings_.FramingPreference; }
  void SetFramingPreference(TFramingPreference value);
  TFcRegIniFile* RegIniFile() const { return regIniFile_; }
  void SetRegIniFile(TFcRegIniFile* value);

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void Push(TControl* control, TFcFrameChange change);
  // To every control, unless an update is under way.
  void PushAll(TFcFrameChange change);

  int updateCount_ = 0;
  // Exists only while a control is registered.
  std::unique_ptr<std::vector<TControl*>> controls_;
  TColor color_ = clWindow;
  bool parentColor_ = false;
  TColor flatButtonColor_ = clBtnFace;
  bool flatButtons_ = true;
  TFcFrameSettings settings_;
  TFcRegIniFile* regIniFile_ = nullptr;
};

// The FrameController setter every framed control shares: leaves the old controller, takes
// the new one (which pushes its settings at once) and asks to hear when it is freed. The
// control's Notification then clears `reference` itself, without calling the controller.
void ChangeFrameController(TControl* control, TFcFrameController*& reference,
                           TFcFrameController* controller);

// "FrameFlat" of older layouts: flat frames that deepen under the mouse.
template <class C>
void ApplyOldFrameFlat(C* c, bool flat) {
  c->SetFrameHotTrack(flat);
  if (flat) {
    c->SetFrameStyle(fsStatus);
    c->SetFrameHotStyle(fsLowered);
  }
}

// The frame properties older layouts carry and that are read, mapped or dropped, never
// written: "FrameFlat", "FrameFocusStyle" (now FrameHotStyle) and "FrameFlatStyle".
template <class C>
TClassBuilder<C>& ReadOldFrameProperties(TClassBuilder<C>& builder) {
  return builder
      .Extra("FrameFlat", tkBoolean, [](C* c, const TValue& v) { ApplyOldFrameFlat(c, v.AsBoolean()); })
      .Extra(
          "FrameFocusStyle", tkEnumeration,
          [](C* c, const TValue& v) { c->SetFrameHotStyle(static_cast<TFrameStyle>(v.AsInteger())); },
          nullptr, &FrameStyleInfo)
      .Obsolete("FrameFlatStyle", tkEnumeration);
}

// The two reasons a framed control's frame turns hot: it has the focus, or the mouse is over it.
enum TFcHotFlag { hfInControl, hfOverControl };

// The framed-control settings of the edit-like controls (edits, memo, combo boxes, tree and
// list views), on top of a windowed control class: colours by state (disabled, focused,
// normal), a frame of their own instead of the system's 3-D border, hot tracking of that frame,
// and a frame controller that may supply all of it. The frame is painted over the window's
// border, so a control paints it after the system's non-client painting (PaintWindowFrame).
template <class TBase>
class TFcFramedControl : public TBase {
 public:
  explicit TFcFramedControl(TComponent* owner) : TBase(owner) {}
  ~TFcFramedControl() override {
    if (frameController_) frameController_->UnregisterFramedControl(this);
  }

  // The colour shown now. Setting it from outside also sets the normal colour (and FocusColor
  // when it was the normal colour).
  void SetColor(TColor value) override {
    if (value == this->Color()) {
      TBase::SetColor(value);
      return;
    }
    TBase::SetColor(value);
    if (!updatingColor_) {
      if (settings_.FocusColor == normalColor_) settings_.FocusColor = value;
      normalColor_ = value;
    }
    if (settings_.FrameVisible && !ThemedFramed()) RepaintFrame();
  }
  // The colour shown while enabled and not focused.
  TColor NormalColor() const { return normalColor_; }

  // The setters are virtual so that a control with parts inside its frame (buttons) can place
  // them again after a change.
  TColor DisabledColor() const { return settings_.DisabledColor; }
  virtual void SetDisabledColor(TColor value) {
    settings_.DisabledColor = value;
    if (!this->Enabled()) UpdateColors();
  }
  TColor FocusColor() const { return settings_.FocusColor; }
  virtual void SetFocusColor(TColor value) {
    settings_.FocusColor = value;
    if (inControl_) UpdateColors();
  }
  TColor FrameColor() const { return settings_.FrameColor; }
  virtual void SetFrameColor(TColor value) { SetFrameValue(settings_.FrameColor, value); }
  TColor FrameHotColor() const { return settings_.FrameHotColor; }
  virtual void SetFrameHotColor(TColor value) { SetFrameValue(settings_.FrameHotColor, value); }
  TFrameStyle FrameHotStyle() const { return settings_.FrameHotStyle; }
  virtual void SetFrameHotStyle(TFrameStyle value) { SetFrameValue(settings_.FrameHotStyle, value); }
  TSides FrameSides() const { return settings_.FrameSides; }
  virtual void SetFrameSides(TSides value) { SetFrameValue(settings_.FrameSides, value); }
  TFrameStyle FrameStyle() const { return settings_.FrameStyle; }
  virtual void SetFrameStyle(TFrameStyle value) { SetFrameValue(settings_.FrameStyle, value); }
  bool FrameHotTrack() const { return settings_.FrameHotTrack; }
  // On: the frame becomes visible and, unless a layout is being read, goes on all sides.
  virtual void SetFrameHotTrack(bool value) {
    if (value == settings_.FrameHotTrack) return;
    settings_.FrameHotTrack = value;
    if (value) {
      SetFrameVisible(true);
      if (!this->ComponentState().Contains(csLoading)) SetFrameSides(sdAllSides);
    }
    RepaintFrame();
    this->Invalidate();
  }
  bool FrameVisible() const { return settings_.FrameVisible; }
  // The frame lies outside the client area: the window is made again with the new border.
  virtual void SetFrameVisible(bool value) {
    if (value == settings_.FrameVisible) return;
    settings_.FrameVisible = value;
    if (value) this->SetCtl3D(true);
    if (this->HandleAllocated())
      this->RecreateWnd();
    else
      this->Invalidate();
  }
  TFramingPreference FramingPreference() const { return settings_.FramingPreference; }
  virtual void SetFramingPreference(TFramingPreference value) {
    if (value == settings_.FramingPreference) return;
    settings_.FramingPreference = value;
    if (value == fpCustomFraming) RepaintFrame();
  }
  TFcFrameController* FrameController() const { return frameController_; }
  virtual void SetFrameController(TFcFrameController* value) {
    ChangeFrameController(this, frameController_, value);
  }

  // The visual styles draw the border, and the control paints no frame of its own.
  bool ThemedFramed() const { return settings_.FramingPreference == fpXPThemes && ThemeServicesEnabled(); }
  // The control has the focus (between entering and leaving it).
  bool InControl() const { return inControl_; }
  // The mouse is over the control (between entering and leaving it).
  bool OverControl() const { return overControl_; }
  // The frame shows FrameHotColor in FrameHotStyle: hot tracking is on and the control has
  // the focus or the mouse.
  bool FrameHot() const { return settings_.FrameHotTrack && (inControl_ || overControl_); }

  // The frame of a window of that size, drawn at (0, 0) of the canvas in the state's colour
  // and style, with two rings of the control's colour inside.
  void PaintFrame(TCanvas* canvas, int width, int height) {
    bool hot = FrameHot();
    PaintNonClientFrame(canvas, width, height, false, settings_.FrameSides,
                        hot ? settings_.FrameHotColor : settings_.FrameColor, this->Color(),
                        hot ? settings_.FrameHotStyle : settings_.FrameStyle);
  }

  void Loaded() override {
    TBase::Loaded();
    UpdateColors();
  }
  void SetEnabled(bool value) override {
    TBase::SetEnabled(value);
    UpdateColors();
  }

 protected:
  // Shows DisabledColor while disabled, FocusColor while focused, else the normal colour.
  virtual void UpdateColors() {
    if (this->ComponentState().Contains(csLoading)) return;
    TRestore<bool> updating(updatingColor_, true);
    if (!this->Enabled())
      SetColor(settings_.DisabledColor);
    else if (inControl_)
      SetColor(settings_.FocusColor);
    else
      SetColor(normalColor_);
  }
  // Notes that the control gained or lost the focus (hfInControl) or the mouse
  // (hfOverControl); a hot-tracked frame is painted again.
  virtual void SetHotFlag(TFcHotFlag flag, bool value) {
    bool& field = flag == hfInControl ? inControl_ : overControl_;
    if (field == value) return;
    field = value;
    if (settings_.FrameHotTrack) RepaintFrame();
  }
  // Repaints the window's frame (the non-client area) at once.
  virtual void RepaintFrame() {
    if (this->HandleAllocated())
      RedrawWindow(this->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  }
  // Paints the frame over the window's border, unless the frame is hidden or the visual
  // styles draw the border; for a WM_NCPAINT handler, after the system painted the border.
  void PaintWindowFrame() {
    if (!settings_.FrameVisible || ThemedFramed() || !this->HandleAllocated()) return;
    RECT r;
    GetWindowRect(this->Handle(), &r);
    TWindowCanvas canvas(this->Handle(), true);
    PaintFrame(&canvas, r.right - r.left, r.bottom - r.top);
  }
  void DoEnter() override {
    SetHotFlag(hfInControl, true);
    UpdateColors();
    TBase::DoEnter();
  }
  void DoExit() override {
    SetHotFlag(hfInControl, false);
    UpdateColors();
    TBase::DoExit();
  }
  // The mouse events fire after the frame has turned hot or back.
  void MouseEnter() override {
    SetHotFlag(hfOverControl, true);
    TBase::MouseEnter();
  }
  void MouseLeave() override {
    SetHotFlag(hfOverControl, false);
    TBase::MouseLeave();
  }
  void Resize() override {
    if (settings_.FrameVisible && !ThemedFramed()) RepaintFrame();
    TBase::Resize();
  }
  void Notification(TComponent* component, TOperation operation) override {
    TBase::Notification(component, operation);
    if (operation == opRemove && component == frameController_) frameController_ = nullptr;
  }

 private:
  template <class T>
  void SetFrameValue(T& field, T value) {
    if (field == value) return;
    field = value;
    RepaintFrame();
  }

  TColor normalColor_ = clWindow;
  TFcFrameSettings settings_;
  TFcFrameController* frameController_ = nullptr;
  bool inControl_ = false;
  bool overControl_ = false;
  bool updatingColor_ = false;
};

// Publishes the settings a frame controller and a framed control share but FocusColor, with
// their defaults; `stored` says whether the values are written (a control with a controller
// leaves them to it). FramingPreference is always written.
template <class C, class P>
TClassBuilder<C>& PublishSharedFrameSettings(TClassBuilder<C>& builder, P stored) {
  return builder.Color("DisabledColor", &C::DisabledColor, &C::SetDisabledColor, clBtnFace)
      .StoredIf(stored)
      .Color("FrameColor", &C::FrameColor, &C::SetFrameColor, clBtnShadow)
      .StoredIf(stored)
      .Color("FrameHotColor", &C::FrameHotColor, &C::SetFrameHotColor, clBtnShadow)
      .StoredIf(stored)
      .Boolean("FrameHotTrack", &C::FrameHotTrack, &C::SetFrameHotTrack, false)
      .StoredIf(stored)
      .Enum("FrameHotStyle", FrameStyleInfo, &C::FrameHotStyle, &C::SetFrameHotStyle, fsFlatBold)
      .StoredIf(stored)
      .Set("FrameSides", SideInfo, &C::FrameSides, &C::SetFrameSides, sdAllSides)
      .StoredIf(stored)
      .Enum("FrameStyle", FrameStyleInfo, &C::FrameStyle, &C::SetFrameStyle, fsFlat)
      .StoredIf(stored)
      .Boolean("FrameVisible", &C::FrameVisible, &C::SetFrameVisible, false)
      .StoredIf(stored)
      .Enum("FramingPreference", FramingPreferenceInfo, &C::FramingPreference,
            &C::SetFramingPreference, fpXPThemes);
}

// Publishes the framed-control settings of C (a TFcFramedControl) on its builder, with the
// storing rules: while a frame controller is assigned the frame settings come from it and are
// not written; Color is written only without one and while enabled, FocusColor only without
// one and when it shows differently from Color. Older layouts' frame names are read too.
template <class C>
TClassBuilder<C>& PublishFrameSettings(TClassBuilder<C>& builder) {
  builder.Color("Color", &C::Color, &C::SetColor, clWindow)
      .StoredIf([](C* c) { return !c->FrameController() && c->Enabled() && !c->ParentColor(); })
      .Color("FocusColor", &C::FocusColor, &C::SetFocusColor, clWindow)
      .StoredIf([](C* c) {
        return !c->FrameController() && ColorToRGB(c->FocusColor()) != ColorToRGB(c->Color());
      })
      .Component("FrameController", &C::FrameController, &C::SetFrameController);
  PublishSharedFrameSettings(builder, [](C* c) { return c->FrameController() == nullptr; });
  return ReadOldFrameProperties(builder);
}

// ---- Blinking controls -----------------------------------------------------------------

// The messages of the shared blink timer. The query's answer is 1 from a control that is
// blinking; such a control then gets the new phase (wParam 1: blink colour, 0: normal colour).
constexpr UINT CM_BLINKQUERY = CM_BASE + 1000;
constexpr UINT CM_BLINKPHASE = CM_BASE + 1001;

// The one blink timer of the process, shared by the labels and status panes so that they
// blink in step: it exists from the first such control's registration to the last one's
// departure. Its phases last IntervalOn and IntervalOff milliseconds (500 each at first).
class TFcBlinkingControlsList {
 public:
  // nullptr while no control is registered.
  static TFcBlinkingControlsList* Instance();
  static void Register(TControl* control);
  // The list goes with its last control.
  static void Unregister(TControl* control);

  int Count() const { return static_cast<int>(controls_.size()); }
  WORD IntervalOn() const { return intervalOn_; }
  void SetIntervalOn(WORD value);
  WORD IntervalOff() const { return intervalOff_; }
  void SetIntervalOff(WORD value);
  // 1 while blinking controls show their blink colour.
  int Phase() const { return phase_; }

  TFcBlinkingControlsList(const TFcBlinkingControlsList&) = delete;
  TFcBlinkingControlsList& operator=(const TFcBlinkingControlsList&) = delete;

 private:
  TFcBlinkingControlsList();
  ~TFcBlinkingControlsList();
  static void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD);
  void StartTimer(WORD interval);
  void Tick();

  UINT_PTR timer_ = 0;
  WORD intervalOn_ = 500;
  WORD intervalOff_ = 500;
  int phase_ = 1;
  std::vector<TControl*> controls_;
};

// ---- Settings store ----------------------------------------------------------------------

enum TFcPathType { ptIniFile, ptRegistry };
enum TFcRegKey {
  hkeyClassesRoot, hkeyCurrentUser, hkeyLocalMachine, hkeyUsers, hkeyPerformanceData,
  hkeyCurrentConfig, hkeyDynData
};
enum TFcRegAccessKey {
  keyQueryValue, keySetValue, keyCreateSubKey, keyEnumerateSubKeys, keyNotify, keyCreateLink,
  keyRead, keyWrite, keyExecute, keyAllAccess
};
using TFcRegAccess = TSet<TFcRegAccessKey>;

// Where settings would be kept (an INI file or a registry key) as a component that a frame
// controller may name; it only holds the description.
class TFcRegIniFile : public TComponent {
 public:
  explicit TFcRegIniFile(TComponent* owner) : TComponent(owner) {}

  const std::string& Path() const { return path_; }
  void SetPath(const std::string& value) { Change(path_, value); }
  TFcPathType PathType() const { return pathType_; }
  void SetPathType(TFcPathType value) { Change(pathType_, value); }
  TFcRegKey RegKey() const { return regKey_; }
  void SetRegKey(TFcRegKey value) { Change(regKey_, value); }
  TFcRegAccess RegAccess() const { return regAccess_; }
  void SetRegAccess(TFcRegAccess value) { Change(regAccess_, value); }
  // Set when made and by every change of a setting.
  bool SettingsChanged() const { return settingsChanged_; }
  void SetSettingsChanged(bool value) { settingsChanged_ = value; }

 private:
  template <class T>
  void Change(T& field, const T& value) {
    if (field == value) return;
    field = value;
    settingsChanged_ = true;
  }

  std::string path_;
  TFcPathType pathType_ = ptIniFile;
  TFcRegKey regKey_ = hkeyCurrentUser;
  TFcRegAccess regAccess_{keyAllAccess};
  bool settingsChanged_ = true;
};

// Registers TFcFrameController and TFcRegIniFile for stored layouts.
void RegisterFcCommon();
