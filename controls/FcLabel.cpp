#include "controls/FcLabel.h"

#include <cmath>
#include <numbers>

const TEnumInfo RotationInfo{"TRotation", {"roNone", "roFlat", "roCurve"}};
const TEnumInfo CenterPointInfo{"TCenterPoint",
                                {"cpUpperLeft", "cpUpperCenter", "cpUpperRight", "cpLeftCenter", "cpCenter",
                                 "cpRightCenter", "cpLowerLeft", "cpLowerCenter", "cpLowerRight"}};
const TEnumInfo CondenseCaptionInfo{"TFcCondenseCaption", {"ccNone", "ccAtEnd", "ccWithinPath"}};

namespace {

constexpr double kPi = std::numbers::pi;

// How far a border of the style reaches into the label, per side. The bold and rounded flat
// styles count nothing, as the panels' borders do for their text.
int StyleWidth(TFrameStyleEx style, int bevelWidth) {
  switch (style) {
    case fsFlat: return 1;
    case fsStatus:
    case fsPopup: return bevelWidth;
    case fsGroove:
    case fsBump:
    case fsLowered:
    case fsButtonDown:
    case fsRaised:
    case fsButtonUp: return 2;
    default: return 0;
  }
}

}  // namespace

TMessageTable& TFcLabel::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(CM_FONTCHANGED, Handler(&TFcLabel::CMFontChanged));
    t->Add(CM_BLINKQUERY, Handler(&TFcLabel::CMBlinkQuery));
    t->Add(CM_BLINKPHASE, Handler(&TFcLabel::CMBlinkPhase));
    return t;
  }();
  return *table;
}

TFcLabel::TFcLabel(TComponent* owner) : TLabel(owner) {
  controlStyle_ += csOpaque;
  TFcBlinkingControlsList::Register(this);
  SetColor(clBtnFace);
  SetParentColor(true);
  fontColor_ = textColor_ = Font()->Color();
}

TFcLabel::~TFcLabel() {
  if (frameController_) frameController_->UnregisterFramedControl(this);
  TFcBlinkingControlsList::Unregister(this);
}

template <class T>
void TFcLabel::Change(T& field, T value) {
  if (field == value) return;
  field = value;
  AdjustBounds();
  Invalidate();
}

// ---- Angle and rotation ----------------------------------------------------------------------

void TFcLabel::TurnableFont() {
  if (!Loading() && !FontIsTrueType(Font())) Font()->SetName("Verdana");
}

void TFcLabel::SetAngle(int value) {
  int angle = ((value % 360) + 360) % 360;
  if (angle == angle_) return;
  angle_ = angle;
  if (angle != 0) {
    if (rotation_ == roNone) rotation_ = roFlat;
    TurnableFont();
  }
  AdjustBounds();
  Invalidate();
}

void TFcLabel::SetRotation(TRotation value) {
  if (value == rotation_) return;
  rotation_ = value;
  if (value != roNone) TurnableFont();
  if (value == roNone || value == roFlat) angle_ = 0;
  if (value == roFlat) centerPoint_ = cpCenter;
  AdjustBounds();
  Invalidate();
}

void TFcLabel::SetCenterPoint(TCenterPoint value) { Change(centerPoint_, value); }

// ---- Text style ------------------------------------------------------------------------------

void TFcLabel::SetTextStyle(TTextStyle value) { Change(textStyle_, value); }
void TFcLabel::SetLightTextStyle(bool value) { Change(lightTextStyle_, value); }
void TFcLabel::SetHighlightColor(TColor value) { Change(highlightColor_, value); }
void TFcLabel::SetShadowColor(TColor value) { Change(shadowColor_, value); }
void TFcLabel::SetShadowDepth(int value) { Change(shadowDepth_, value); }

// ---- Blinking ----------------------------------------------------------------------------------

void TFcLabel::SetBlinking(bool value) {
  if (value == blinking_) return;
  blinking_ = value;
  if (!value) {
    textColor_ = fontColor_;
    Invalidate();
  }
}

void TFcLabel::SetBlinkColor(TColor value) { Change(blinkColor_, value); }

WORD TFcLabel::BlinkIntervalOn() const {
  TFcBlinkingControlsList* list = TFcBlinkingControlsList::Instance();
  return list ? list->IntervalOn() : 500;
}

void TFcLabel::SetBlinkIntervalOn(WORD value) {
  if (TFcBlinkingControlsList* list = TFcBlinkingControlsList::Instance()) list->SetIntervalOn(value);
}

WORD TFcLabel::BlinkIntervalOff() const {
  TFcBlinkingControlsList* list = TFcBlinkingControlsList::Instance();
  return list ? list->IntervalOff() : 500;
}

void TFcLabel::SetBlinkIntervalOff(WORD value) {
  if (TFcBlinkingControlsList* list = TFcBlinkingControlsList::Instance()) list->SetIntervalOff(value);
}

void TFcLabel::CMBlinkQuery(TMessage& m) { m.Result = blinking_ ? 1 : 0; }

void TFcLabel::CMBlinkPhase(TMessage& m) { ShowBlinkPhase(static_cast<int>(m.WParam)); }

void TFcLabel::ShowBlinkPhase(int phase) {
  textColor_ = phase == 1 ? blinkColor_ : fontColor_;
  Refresh();
}

// ---- Borders -----------------------------------------------------------------------------------

void TFcLabel::SetBorderOuter(TFrameStyleEx value) { Change(border_.Outer, value); }
void TFcLabel::SetBorderInner(TFrameStyleEx value) { Change(border_.Inner, value); }
void TFcLabel::SetBorderSides(TSides value) { Change(border_.Sides, value); }
void TFcLabel::SetBorderColor(TColor value) { Change(border_.BorderColor, value); }
void TFcLabel::SetBorderHighlight(TColor value) { Change(border_.BorderHighlight, value); }
void TFcLabel::SetBorderShadow(TColor value) { Change(border_.BorderShadow, value); }
void TFcLabel::SetBorderWidth(int value) { Change(border_.BorderWidth, value); }
void TFcLabel::SetBevelWidth(int value) { Change(border_.BevelWidth, value); }
void TFcLabel::SetFlatColor(TColor value) { Change(border_.FlatColor, value); }
void TFcLabel::SetFlatColorAdjustment(int value) { Change(border_.FlatColorAdjustment, value); }

RECT TFcLabel::TextRect(const RECT& client) const {
  RECT r = client;
  InflateRect(&r, -border_.BorderWidth, -border_.BorderWidth);
  for (TFrameStyleEx style : {border_.Outer, border_.Inner}) {
    int n = StyleWidth(style, border_.BevelWidth);
    if (border_.Sides.Contains(sdLeft)) r.left += n;
    if (border_.Sides.Contains(sdTop)) r.top += n;
    if (border_.Sides.Contains(sdRight)) r.right -= n;
    if (border_.Sides.Contains(sdBottom)) r.bottom -= n;
  }
  return r;
}

SIZE TFcLabel::GrowByBorders(SIZE size) const {
  RECT none{0, 0, 0, 0};
  RECT inner = TextRect(none);
  return SIZE{size.cx + inner.left - inner.right, size.cy + inner.top - inner.bottom};
}

// ---- Caption, fly-by, controller -----------------------------------------------------------------

void TFcLabel::SetCondenseCaption(TFcCondenseCaption value) {
  if (value == condenseCaption_) return;
  condenseCaption_ = value;
  if (value != ccNone) SetAutoSize(false);
  Invalidate();
}

void TFcLabel::SetFlyByEnabled(bool value) {
  if (value == flyByEnabled_) return;
  flyByEnabled_ = value;
  if (!value && flownOver_) {
    flownOver_ = false;
    Font()->SetColor(flyBySaved_);
  }
}

void TFcLabel::SetFlyByColor(TColor value) { flyByColor_ = value; }

void TFcLabel::MouseEnter() {
  if (flyByEnabled_ && !flownOver_ && !ComponentState().Contains(csDesigning)) {
    flyBySaved_ = Font()->Color();
    flownOver_ = true;
    Font()->SetColor(flyByColor_);
  }
  TLabel::MouseEnter();
}

void TFcLabel::MouseLeave() {
  if (flownOver_) {
    flownOver_ = false;
    Font()->SetColor(flyBySaved_);
  }
  TLabel::MouseLeave();
}

void TFcLabel::SetFrameController(TFcFrameController* value) {
  ChangeFrameController(this, frameController_, value);
}

void TFcLabel::Notification(TComponent* component, TOperation operation) {
  TLabel::Notification(component, operation);
  if (operation == opRemove && component == frameController_) frameController_ = nullptr;
}

void TFcLabel::UpdateFrameSettings() {
  TFcFrameController* c = frameController_;
  if (!c || !c->FrameVisible()) return;
  border_.Outer = c->FrameStyle();
  border_.Sides = c->FrameSides();
  border_.FlatColor = c->FrameColor();
  border_.FlatColorAdjustment = 0;
  if (c->ParentColor())
    SetParentColor(true);
  else
    SetColor(c->Color());
  border_.BorderHighlight = LightenColor(Color(), 100);
  border_.BorderShadow = DarkenColor(Color(), 50);
  AdjustBounds();
  Invalidate();
}

void TFcLabel::CMFontChanged(TMessage& m) {
  if (!Loading()) {
    if (!blinking_) fontColor_ = textColor_ = Font()->Color();
    if (angle_ != 0 && !FontIsTrueType(Font())) angle_ = 0;
  }
  Inherited(m);
}

void TFcLabel::Loaded() {
  TLabel::Loaded();
  if (angle_ != 0 && rotation_ == roNone) rotation_ = roFlat;
  if (rotation_ != roNone) TurnableFont();
  fontColor_ = textColor_ = Font()->Color();
  if (ComponentState().Contains(csDesigning)) Invalidate();
}

// ---- Painting ----------------------------------------------------------------------------------

UINT TFcLabel::TextFlags() const {
  UINT flags = DT_EXPANDTABS;
  switch (Alignment()) {
    case taRightJustify: flags |= DT_RIGHT; break;
    case taCenter: flags |= DT_CENTER; break;
    default: flags |= DT_LEFT; break;
  }
  if (UseRightToLeftReading()) flags |= DT_RTLREADING | DT_RIGHT;
  if (WordWrap()) flags |= DT_WORDBREAK;
  if (!ShowAccelChar()) flags |= DT_NOPREFIX;
  if (condenseCaption_ == ccAtEnd) flags |= DT_END_ELLIPSIS;
  if (condenseCaption_ == ccWithinPath) flags |= DT_PATH_ELLIPSIS;
  return flags;
}

void TFcLabel::Paint() {
  TCanvas* canvas = Canvas();
  RECT client = ClientRect();
  TFcBorderPair border = border_;
  border.ControlColor = Color();
  border.ParentColor = Parent() ? Parent()->Color() : Color();
  border.Transparent = Transparent();
  border.CutCorner = false;
  RECT inner = PaintBorderPair(canvas, client, border);
  if (!Transparent()) {
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(inner);
  }
  canvas->Brush()->SetStyle(bsClear);
  canvas->Font()->Assign(Font());
  RECT text = TextRect(client);
  switch (rotation_) {
    case roCurve: PaintCurvedText(); break;
    case roFlat: PaintTurnedText(text); break;
    default: PaintStraightText(text); break;
  }
}

template <class F>
void TFcLabel::PaintStyledPasses(F draw, int shadow) {
  if (!Enabled()) {
    draw(1, 1, clBtnHighlight);
    draw(0, 0, clBtnShadow);
    return;
  }
  switch (textStyle_) {
    case tsRaised:
      if (!lightTextStyle_) draw(1, 1, shadowColor_);
      draw(-1, -1, highlightColor_);
      break;
    case tsRecessed:
      draw(1, 1, highlightColor_);
      if (!lightTextStyle_) draw(-1, -1, shadowColor_);
      break;
    case tsShadow: draw(shadow, shadow, shadowColor_); break;
    default: break;
  }
}

void TFcLabel::DrawPass(const std::string& text, RECT r, int dx, int dy, TColor color, UINT flags) {
  OffsetRect(&r, dx, dy);
  Canvas()->Font()->SetColor(color);
  DrawTextA(Canvas()->Handle(), text.c_str(), static_cast<int>(text.size()), &r, flags);
}

void TFcLabel::PaintStraightText(RECT r) {
  std::string text = GetLabelText();
  UINT flags = TextFlags();
  if (Layout() != tlTop) {
    RECT measured = r;
    Canvas()->Font()->SetColor(textColor_);
    DrawTextA(Canvas()->Handle(), text.c_str(), static_cast<int>(text.size()), &measured, flags | DT_CALCRECT);
    int offset = Height() - border_.BorderWidth - measured.bottom;
    OffsetRect(&r, 0, Layout() == tlCenter ? offset / 2 : offset);
  }
  if (textStyle_ == tsShadow) {
    if (Alignment() == taRightJustify) OffsetRect(&r, -shadowDepth_, 0);
    if (Layout() == tlBottom) OffsetRect(&r, 0, -shadowDepth_);
  }
  auto draw = [&](int dx, int dy, TColor color) { DrawPass(text, r, dx, dy, color, flags); };
  PaintStyledPasses(draw, shadowDepth_);
  if (Enabled()) draw(0, 0, textColor_);
}

void TFcLabel::PaintTurnedText(const RECT& r) {
  TCanvas* canvas = Canvas();
  canvas->SetFont(CreateAngledFont(Font(), angle_).get());
  std::string text = GetLabelText();
  int x = Width() / 2, y = Height() / 2;
  double theta = angle_ * kPi / 180 + kPi / 2;
  int pp = canvas->TextHeight("Pp");
  double qh = 0.25 * pp;
  int d = textStyle_ == tsShadow ? shadowDepth_ / 2 : 0;
  int captionWidth = canvas->TextWidth(text);
  int tw = captionWidth + d, th = pp + d;
  bool centred = Alignment() == taCenter, right = Alignment() == taRightJustify;
  UINT align = TA_BASELINE | TA_LEFT;
  switch (angle_) {
    case 0:
      align = centred ? TA_TOP | TA_CENTER : TA_TOP | TA_LEFT;
      if (!centred) x = right ? r.right - captionWidth - 2 * d : r.left + d;
      y -= th / 2;
      break;
    case 90:
      x -= static_cast<int>(std::lround(std::cos(theta) * qh));
      y = centred ? r.bottom - (r.bottom - tw) / 2 : right ? r.top + d + tw : r.bottom - d;
      break;
    case 180:
      x = centred ? r.right - (r.right - tw) / 2 : right ? r.left + tw : r.right - d;
      y -= th / 4;
      break;
    case 270:
      x -= static_cast<int>(std::lround(std::cos(theta) * qh));
      y = centred ? (r.bottom - tw) / 2 : right ? r.bottom - tw - d : r.top + d;
      break;
    default:
      x -= static_cast<int>(std::lround(std::cos(theta) * qh));
      y += static_cast<int>(std::lround(std::sin(theta) * qh));
      align = TA_BASELINE | TA_CENTER;
      break;
  }
  HDC dc = canvas->Handle();
  UINT oldAlign = SetTextAlign(dc, align);
  auto draw = [&](int dx, int dy, TColor color) {
    canvas->Font()->SetColor(color);
    canvas->TextRect(r, x + dx, y + dy, text);
  };
  PaintStyledPasses(draw, d);
  if (Enabled()) draw(-d, -d, textColor_);
  SetTextAlign(dc, oldAlign);
}

void TFcLabel::PaintCurvedText() {
  std::string text = GetLabelText();
  if (text.empty()) return;
  const int w = Width(), h = Height(), b = border_.BorderWidth;
  POINT c{w / 2, h / 2};
  int rx = w / 2 - 2 * b, ry = h / 2 - 2 * b;
  switch (centerPoint_) {
    case cpUpperLeft: c = {b, b}, rx = w - 2 * b, ry = h - 2 * b; break;
    case cpUpperCenter: c = {w / 2, b}, ry = h - 2 * b; break;
    case cpUpperRight: c = {w - b, b}, rx = w - 2 * b, ry = h - 2 * b; break;
    case cpLeftCenter: c = {b, h / 2}, rx = w - 2 * b; break;
    case cpRightCenter: c = {w - b, h / 2}, rx = w - 2 * b; break;
    case cpLowerLeft: c = {b, h - b}, rx = w - 2 * b, ry = h - 2 * b; break;
    case cpLowerCenter: c = {w / 2, h - b}, ry = h - 2 * b; break;
    case cpLowerRight: c = {w - b, h - b}, rx = w - 2 * b, ry = h - 2 * b; break;
    default: break;
  }
  // A label too small for its border leaves no arc to set the text on.
  if (rx <= 0 || ry <= 0) return;
  TCanvas* canvas = Canvas();
  HDC dc = canvas->Handle();
  UINT oldAlign = SetTextAlign(dc, TA_BASELINE | TA_CENTER);
  double theta = angle_ * kPi / 180;
  // The turned fonts measure as the level one does.
  const int lineHeight = canvas->TextHeight("Yy");
  const double step = (canvas->TextWidth("w") + 2) / static_cast<double>(rx);
  for (char ch : text) {
    int x = c.x - static_cast<int>(std::lround(std::sin(theta) * (rx - lineHeight)));
    int y = c.y - static_cast<int>(std::lround(std::cos(theta) * (ry - lineHeight)));
    std::unique_ptr<TFont> font = CreateAngledFont(Font(), 0);
    font->SetEscapement(static_cast<int>(std::lround(theta * 1800 / kPi)));
    canvas->SetFont(font.get());
    std::string one(1, ch);
    auto draw = [&](int dx, int dy, TColor color) {
      canvas->Font()->SetColor(color);
      canvas->TextOut(x + dx, y + dy, one);
    };
    PaintStyledPasses(draw, shadowDepth_);
    if (Enabled()) draw(0, 0, textColor_);
    theta -= step;
  }
  SetTextAlign(canvas->Handle(), oldAlign);
}

void TFcLabel::AdjustBounds() {
  if (!AutoSize() || ComponentState().Contains(csReading) || Loading()) return;
  if (auto* canvas = dynamic_cast<TControlCanvas*>(Canvas())) canvas->FreeHandle();
  RECT r = TextRect(ClientRect());
  OffsetRect(&r, -r.left, -r.top);
  UINT flags = DT_CALCRECT | DT_EXPANDTABS | (WordWrap() ? DT_WORDBREAK : 0) | (ShowAccelChar() ? 0 : DT_NOPREFIX);
  if (condenseCaption_ == ccAtEnd) flags |= DT_END_ELLIPSIS;
  if (condenseCaption_ == ccWithinPath) flags |= DT_PATH_ELLIPSIS;
  std::string text = GetLabelText();
  if (text.empty() || (ShowAccelChar() && text == "&")) text += ' ';
  {
    TMeasureDC screen;
    TCanvasBinding binding(Canvas(), screen);
    Canvas()->Font()->Assign(Font());
    DrawTextA(Canvas()->Handle(), text.c_str(), static_cast<int>(text.size()), &r, flags);
  }
  SIZE size = GrowByBorders(SIZE{r.right - r.left, r.bottom - r.top});
  bool turned = rotation_ == roFlat && angle_ != 0 && angle_ != 180;
  if (textStyle_ == tsShadow) {
    int extra = turned ? shadowDepth_ / 2 : shadowDepth_;
    size.cx += extra;
    size.cy += extra;
  }
  if (turned) {
    // The box around the turned text, whichever quadrant the angle lies in.
    double a = angle_ * kPi / 180, c = std::fabs(std::cos(a)), s = std::fabs(std::sin(a));
    SIZE turnedSize{static_cast<LONG>(std::lround(c * size.cx + s * size.cy)),
                    static_cast<LONG>(std::lround(s * size.cx + c * size.cy))};
    size = turnedSize;
  }
  int left = Left();
  if (Alignment() == taRightJustify) left += Width() - size.cx;
  SetBounds(left, Top(), size.cx, size.cy);
}

// ---- Registration --------------------------------------------------------------------------------

void RegisterFcLabel() {
  using L = TFcLabel;
  RegisterClassInfo<L, TLabel>("TFcLabel")
      .Color("Color", &L::Color, &L::SetColor, clBtnFace)
      .StoredIf([](L* l) { return !l->ParentColor(); })
      .Boolean("ParentColor", &L::ParentColor, &L::SetParentColor, true)
      .Enum("Rotation", RotationInfo, &L::Rotation, &L::SetRotation, roNone)
      .Integer("Angle", &L::Angle, &L::SetAngle, 0)
      .Enum("CenterPoint", CenterPointInfo, &L::CenterPoint, &L::SetCenterPoint, cpCenter)
      .Enum("TextStyle", TextStyleInfo, &L::TextStyle, &L::SetTextStyle, tsNormal)
      .Boolean("LightTextStyle", &L::LightTextStyle, &L::SetLightTextStyle, false)
      .Color("HighlightColor", &L::HighlightColor, &L::SetHighlightColor, clBtnHighlight)
      .Color("ShadowColor", &L::ShadowColor, &L::SetShadowColor, clBtnShadow)
      .Integer("ShadowDepth", &L::ShadowDepth, &L::SetShadowDepth, 2)
      .Boolean("Blinking", &L::Blinking, &L::SetBlinking, false)
      .Color("BlinkColor", &L::BlinkColor, &L::SetBlinkColor, clHighlight)
      .Integer("BlinkIntervalOn", &L::BlinkIntervalOn, &L::SetBlinkIntervalOn, 500)
      .Integer("BlinkIntervalOff", &L::BlinkIntervalOff, &L::SetBlinkIntervalOff, 500)
      .Enum("BorderOuter", FrameStyleExInfo, &L::BorderOuter, &L::SetBorderOuter, fsNone)
      .Enum("BorderInner", FrameStyleExInfo, &L::BorderInner, &L::SetBorderInner, fsNone)
      .Set("BorderSides", SideInfo, &L::BorderSides, &L::SetBorderSides, sdAllSides)
      .Color("BorderColor", &L::BorderColor, &L::SetBorderColor, clBtnFace)
      .Color("BorderHighlight", &L::BorderHighlight, &L::SetBorderHighlight, clBtnHighlight)
      .Color("BorderShadow", &L::BorderShadow, &L::SetBorderShadow, clBtnShadow)
      .Integer("BorderWidth", &L::BorderWidth, &L::SetBorderWidth, 0)
      .Integer("BevelWidth", &L::BevelWidth, &L::SetBevelWidth, 1)
      .Color("FlatColor", &L::FlatColor, &L::SetFlatColor, clBtnShadow)
      .Integer("FlatColorAdjustment", &L::FlatColorAdjustment, &L::SetFlatColorAdjustment, 30)
      .Enum("CondenseCaption", CondenseCaptionInfo, &L::CondenseCaption, &L::SetCondenseCaption, ccNone)
      .Boolean("FlyByEnabled", &L::FlyByEnabled, &L::SetFlyByEnabled, false)
      .Color("FlyByColor", &L::FlyByColor, &L::SetFlyByColor, clHighlight)
      .Component("FrameController", &L::FrameController, &L::SetFrameController)
      .Obsolete("FrameSides", tkSet);
}
