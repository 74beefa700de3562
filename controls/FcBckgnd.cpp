#include "controls/FcBckgnd.h"

#include <algorithm>
#include <utility>

const TEnumInfo HighlightLocationInfo{"TFcHighlightLocation", {"hlCenter", "hlUpperLeft", "hlLowerRight"}};

TFcSeparator::TFcSeparator(TComponent* owner) : TGraphicControl(owner) {
  SetColor(clBtnFace);
  SetBounds(Left(), Top(), 200, 2);
  UpdateGradient();
}

TMessageTable& TFcSeparator::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(CM_COLORCHANGED, Handler(&TFcSeparator::CMColorChanged));
    return t;
  }();
  return *table;
}

void TFcSeparator::SetOrientation(TOrientation value) {
  if (value == orientation_) return;
  orientation_ = value;
  if (ComponentState().Contains(csLoading)) return;
  SetBounds(Left(), Top(), Height(), Width());
  UpdateGradient();
  Invalidate();
}

void TFcSeparator::SetHighlightColor(TColor value) {
  if (value == highlightColor_) return;
  highlightColor_ = value;
  UpdateGradient();
  Invalidate();
}

void TFcSeparator::SetHighlightLocation(TFcHighlightLocation value) {
  if (value == highlightLocation_) return;
  highlightLocation_ = value;
  UpdateGradient();
  Invalidate();
}

void TFcSeparator::SetShowGradient(bool value) {
  if (value == showGradient_) return;
  showGradient_ = value;
  Invalidate();
}

void TFcSeparator::Loaded() {
  TGraphicControl::Loaded();
  UpdateGradient();
}

void TFcSeparator::CMColorChanged(TMessage&) {
  UpdateGradient();
  Invalidate();
}

void TFcSeparator::UpdateGradient() {
  bool horizontal = orientation_ == orHorizontal;
  if (highlightLocation_ == hlCenter)
    direction_ = horizontal ? gdHorizontalCentre : gdVerticalCentre;
  else
    direction_ = horizontal ? gdHorizontal : gdVertical;
  first_ = Color();
  second_ = highlightColor_;
  if (highlightLocation_ == hlUpperLeft) std::swap(first_, second_);
}

void TFcSeparator::Paint() {
  RECT client{0, 0, std::max(Width(), 1), std::max(Height(), 1)};
  TCanvas* canvas = Canvas();
  if (!showGradient_ || !DisplayHasFullColor()) {
    canvas->Brush()->SetColor(showGradient_ ? second_ : Color());
    canvas->FillRect(client);
    return;
  }
  FillRectGradient(canvas, client, direction_, first_, second_, 1);
}

void RegisterFcBckgnd() {
  using S = TFcSeparator;
  RegisterClassInfo<S, TGraphicControl>("TFcSeparator")
      .Color("Color", &S::Color, &S::SetColor, clBtnFace)
      .StoredIf([](S* s) { return !s->ParentColor(); })
      .Enum("Orientation", OrientationInfo, &S::Orientation, &S::SetOrientation, orHorizontal)
      .Color("HighlightColor", &S::HighlightColor, &S::SetHighlightColor, clHighlight)
      .Enum("HighlightLocation", HighlightLocationInfo, &S::HighlightLocation, &S::SetHighlightLocation,
            hlCenter)
      .Boolean("ShowGradient", &S::ShowGradient, &S::SetShowGradient, true);
}
