// The library's label: the platform label with a border pair around its text, raised, recessed
// and shadowed text, text turned to any angle or set along an arc, blinking with the shared
// blink timer, a colour of its own while the mouse is over it, and long captions shortened.
#pragma once

#include <string>

#include "controls/FcCommon.h"
#include "platform/StdCtrls.h"

// How the caption runs: level, straight at Angle, or along an arc around CenterPoint.
enum TRotation { roNone, roFlat, roCurve };
// The centre of curved text: a corner, the middle of a side, or the middle of the label.
enum TCenterPoint {
  cpUpperLeft, cpUpperCenter, cpUpperRight, cpLeftCenter, cpCenter, cpRightCenter, cpLowerLeft,
  cpLowerCenter, cpLowerRight
};
// Where a caption too long for the label is shortened with "...": nowhere, at its end, or in the
// middle of a path (the file name stays whole).
enum TFcCondenseCaption { ccNone, ccAtEnd, ccWithinPath };

extern const TEnumInfo RotationInfo;
extern const TEnumInfo CenterPointInfo;
extern const TEnumInfo CondenseCaptionInfo;

class TFcLabel : public TLabel, public IFcFramingNotification {
  MESSAGE_TABLE(TLabel)

 public:
  // Takes the parent's colour (clBtnFace without a parent) and joins the shared blink timer.
  explicit TFcLabel(TComponent* owner);
  ~TFcLabel() override;

  // Degrees counter-clockwise, kept in 0..359 (−90 is kept as 270). Any angle but 0 turns a
  // level label into a turned one; outside loading a raster font gives way to "Verdana",
  // which can be turned.
  int Angle() const { return angle_; }
  void SetAngle(int value);
  // roNone and roFlat also set Angle to 0 (roFlat also centres CenterPoint); outside loading a
  // raster font gives way to "Verdana".
  TRotation Rotation() const { return rotation_; }
  void SetRotation(TRotation value);
  TCenterPoint CenterPoint() const { return centerPoint_; }
  void SetCenterPoint(TCenterPoint value);

  TTextStyle TextStyle() const { return textStyle_; }
  void SetTextStyle(TTextStyle value);
  // Raised and recessed text show only their highlighted edge.
  bool LightTextStyle() const { return lightTextStyle_; }
  void SetLightTextStyle(bool value);
  TColor HighlightColor() const { return highlightColor_; }
  void SetHighlightColor(TColor value);
  TColor ShadowColor() const { return shadowColor_; }
  void SetShadowColor(TColor value);
  int ShadowDepth() const { return shadowDepth_; }
  void SetShadowDepth(int value);

  // While on, the text shows BlinkColor in the timer's blink phases; off returns it to the
  // font's colour.
  bool Blinking() const { return blinking_; }
  void SetBlinking(bool value);
  TColor BlinkColor() const { return blinkColor_; }
  void SetBlinkColor(TColor value);
  // The shared blink timer's phases: every blinking control of the program has the same.
  WORD BlinkIntervalOn() const;
  void SetBlinkIntervalOn(WORD value);
  WORD BlinkIntervalOff() const;
  void SetBlinkIntervalOff(WORD value);

  TFrameStyleEx BorderOuter() const { return border_.Outer; }
  void SetBorderOuter(TFrameStyleEx value);
  TFrameStyleEx BorderInner() const { return border_.Inner; }
  void SetBorderInner(TFrameStyleEx value);
  TSides BorderSides() const { return border_.Sides; }
  void SetBorderSides(TSides value);
  TColor BorderColor() const { return border_.BorderColor; }
  void SetBorderColor(TColor value);
  TColor BorderHighlight() const { return border_.BorderHighlight; }
  void SetBorderHighlight(TColor value);
  TColor BorderShadow() const { return border_.BorderShadow; }
  void SetBorderShadow(TColor value);
  int BorderWidth() const { return border_.BorderWidth; }
  void SetBorderWidth(int value);
  int BevelWidth() const { return border_.BevelWidth; }
  void SetBevelWidth(int value);
  TColor FlatColor() const { return border_.FlatColor; }
  void SetFlatColor(TColor value);
  int FlatColorAdjustment() const { return border_.FlatColorAdjustment; }
  void SetFlatColorAdjustment(int value);

  // Any value but ccNone turns AutoSize off.
  TFcCondenseCaption CondenseCaption() const { return condenseCaption_; }
  void SetCondenseCaption(TFcCondenseCaption value);

  // While the mouse is over the label its font shows FlyByColor.
  bool FlyByEnabled() const { return flyByEnabled_; }
  void SetFlyByEnabled(bool value);
  TColor FlyByColor() const { return flyByColor_; }
  void SetFlyByColor(TColor value);

  // Supplies the border: see UpdateFrameSettings.
  TFcFrameController* FrameController() const { return frameController_; }
  void SetFrameController(TFcFrameController* value);
  // From the controller, when it shows frames: its style, sides and colour as the outer flat
  // border, its colour as the label's, and highlight and shadow shades of that colour.
  void UpdateFrameSettings() override;

  // The colour the text is drawn in now: the font's, or the blink colour in a blink phase.
  TColor TextColor() const { return textColor_; }

  void Loaded() override;

 protected:
  void Paint() override;
  void AdjustBounds() override;
  void Notification(TComponent* component, TOperation operation) override;
  // The fly-by colour comes and goes before OnMouseEnter and OnMouseLeave fire.
  void MouseEnter() override;
  void MouseLeave() override;
  // Shows the blink colour (phase 1) or the font's colour (phase 0).
  virtual void ShowBlinkPhase(int phase);
  // The rect left for the text inside the borders.
  virtual RECT TextRect(const RECT& client) const;
  // A measured text size grown by the borders around it.
  virtual SIZE GrowByBorders(SIZE size) const;

 private:
  void CMFontChanged(TMessage& m);
  void CMBlinkQuery(TMessage& m);
  void CMBlinkPhase(TMessage& m);
  bool Loading() const { return ComponentState().Contains(csLoading); }
  // Outside loading, a font that cannot be turned gives way to one that can.
  void TurnableFont();
  UINT TextFlags() const;
  void PaintStraightText(RECT r);
  void PaintTurnedText(const RECT& r);
  void PaintCurvedText();
  // Draws `text` in `color`, moved by (dx, dy): DrawText into a rect.
  void DrawPass(const std::string& text, RECT r, int dx, int dy, TColor color, UINT flags);
  // The raised, recessed or shadowed passes under the text, moved by (dx, dy) each; `draw`
  // puts the text at an offset in a colour.
  template <class F>
  void PaintStyledPasses(F draw, int shadow);
  template <class T>
  void Change(T& field, T value);

  int angle_ = 0;
  TRotation rotation_ = roNone;
  TCenterPoint centerPoint_ = cpCenter;
  TTextStyle textStyle_ = tsNormal;
  bool lightTextStyle_ = false;
  TColor highlightColor_ = clBtnHighlight;
  TColor shadowColor_ = clBtnShadow;
  int shadowDepth_ = 2;
  bool blinking_ = false;
  TColor blinkColor_ = clHighlight;
  TFcBorderPair border_;
  TFcCondenseCaption condenseCaption_ = ccNone;
  bool flyByEnabled_ = false;
  TColor flyByColor_ = clHighlight;
  TFcFrameController* frameController_ = nullptr;
  // The font's colour as it is when neither blinking nor flown over, and the colour drawn.
  TColor fontColor_ = clWindowText;
  TColor textColor_ = clWindowText;
  // The font's colour from before the mouse came over, while the fly-by colour shows.
  bool flownOver_ = false;
  TColor flyBySaved_ = clWindowText;
};

// Registers TFcLabel for stored layouts.
void RegisterFcLabel();
