// Background pieces of a form: the separator, a thin line that divides groups of controls,
// drawn as a gradient from the control's colour to a highlight and back.
#pragma once

#include "controls/FcCommon.h"
#include "platform/Controls.h"

enum TFcHighlightLocation { hlCenter, hlUpperLeft, hlLowerRight };
extern const TEnumInfo HighlightLocationInfo;

class TFcSeparator : public TGraphicControl {
  MESSAGE_TABLE(TGraphicControl)

 public:
  // 200 × 2, horizontal, button-face colour with the highlight in the middle.
  explicit TFcSeparator(TComponent* owner);

  TOrientation Orientation() const { return orientation_; }
  // Outside loading, turning the separator also swaps its width and height.
  void SetOrientation(TOrientation value);
  TColor HighlightColor() const { return highlightColor_; }
  void SetHighlightColor(TColor value);
  // Where along the line the highlight sits: the middle, the left or top end, or the right or
  // bottom end.
  TFcHighlightLocation HighlightLocation() const { return highlightLocation_; }
  void SetHighlightLocation(TFcHighlightLocation value);
  // Off: the line is plain Color.
  bool ShowGradient() const { return showGradient_; }
  void SetShowGradient(bool value);

  // The gradient the line is painted with (a TGradientDirection and its two colours).
  int GradientDirection() const { return direction_; }
  TColor GradientFirst() const { return first_; }
  TColor GradientSecond() const { return second_; }

  void Loaded() override;

 protected:
  void Paint() override;

 private:
  void UpdateGradient();
  void CMColorChanged(TMessage& m);

  TOrientation orientation_ = orHorizontal;
  TColor highlightColor_ = clHighlight;
  TFcHighlightLocation highlightLocation_ = hlCenter;
  bool showGradient_ = true;
  int direction_ = gdHorizontalCentre;
  TColor first_ = clBtnFace;
  TColor second_ = clHighlight;
};

// Registers TFcSeparator for stored layouts.
void RegisterFcBckgnd();
