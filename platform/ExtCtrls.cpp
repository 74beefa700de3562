#include "platform/ExtCtrls.h"

#include <algorithm>

#include "platform/Guards.h"
#include "platform/TypInfo.h"

namespace {

const TEnumInfo BevelCutInfo{"TBevelCut", {"bvNone", "bvLowered", "bvRaised", "bvSpace"}};
const TEnumInfo AlignmentInfo{"TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}};
const TEnumInfo BorderStyleInfo{"TBorderStyle", {"bsNone", "bsSingle"}};

// One ring `width` pixels wide: upper-left in one colour, lower-right in the other.
void Frame3D(HDC dc, RECT& r, TColor topLeft, TColor bottomRight, int width) {
  for (int i = 0; i < width; ++i) {
    TGdiObject<HPEN> light(CreatePen(PS_SOLID, 1, ColorToRGB(topLeft)));
    TGdiObject<HPEN> dark(CreatePen(PS_SOLID, 1, ColorToRGB(bottomRight)));
    {
      TSelectObject select(dc, light);
      MoveToEx(dc, r.left, r.bottom - 1, nullptr);
      LineTo(dc, r.left, r.top);
      LineTo(dc, r.right - 1, r.top);
    }
    {
      TSelectObject select(dc, dark);
      LineTo(dc, r.right - 1, r.bottom - 1);
      LineTo(dc, r.left - 1, r.bottom - 1);
    }
    InflateRect(&r, -1, -1);
  }
}

int BevelSize(TBevelCut cut, int width) { return cut == bvNone ? 0 : width; }

}  // namespace

// ---- TCustomPanel ----------------------------------------------------------------------------

TMessageTable& TCustomPanel::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(CM_TEXTCHANGED, [](TControl* c, TMessage&) { c->Invalidate(); });
    t->Add(WM_SIZE, Handler(&TCustomPanel::WMSize));
    return t;
  }();
  return *table;
}

void TCustomPanel::WMSize(TWMSize& m) {
  Inherited(m);
  if (fullRepaint_) Invalidate();
}

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
  controlStyle_ = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque,
                   csDoubleClicks, csReplicatable};
  SetBounds(0, 0, 185, 41);
  SetColor(clBtnFace);
}

void TCustomPanel::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  if (borderStyle_ == bsSingle) {
    if (Ctl3D())
      params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      params.Style |= WS_BORDER;
  }
  params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TCustomPanel::SetBevelInner(TBevelCut value) {
  if (value == bevelInner_) return;
  bevelInner_ = value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelOuter(TBevelCut value) {
  if (value == bevelOuter_) return;
  bevelOuter_ = value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelWidth(TBevelWidth value) {
  if (value == bevelWidth_) return;
  bevelWidth_ = std::max(1, value);
  Realign();
  Invalidate();
}

void TCustomPanel::SetBorderWidth(int value) {
  if (value == borderWidth_) return;
  borderWidth_ = std::max(0, value);
  Realign();
  Invalidate();
}

void TCustomPanel::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  RecreateWnd();
}

void TCustomPanel::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  Invalidate();
}

void TCustomPanel::AdjustClientRect(RECT& rect) {
  TCustomControl::AdjustClientRect(rect);
  int inset = borderWidth_ + BevelSize(bevelOuter_, bevelWidth_) + BevelSize(bevelInner_, bevelWidth_);
  InflateRect(&rect, -inset, -inset);
}

void TCustomPanel::Paint() {
  HDC dc = Canvas()->Handle();
  RECT r = ClientRect();
  auto bevel = [&](TBevelCut cut) {
    if (cut == bvNone) return;
    TColor light = cut == bvLowered ? clBtnShadow : clBtnHighlight;
    TColor dark = cut == bvLowered ? clBtnHighlight : clBtnShadow;
    if (cut == bvSpace) light = dark = Color();
    Frame3D(dc, r, light, dark, bevelWidth_);
  };
  bevel(bevelOuter_);
  Canvas()->Brush()->SetColor(Color());
  Canvas()->Brush()->SetStyle(bsSolid);
  for (int i = 0; i < borderWidth_; ++i) {
    Canvas()->FrameRect(r);
    InflateRect(&r, -1, -1);
  }
  bevel(bevelInner_);
  Canvas()->FillRect(r);
  std::string text = Caption();
  if (text.empty()) return;
  Canvas()->Font()->Assign(Font());
  Canvas()->Brush()->SetStyle(bsClear);
  UINT flags = DT_EXPANDTABS | DT_VCENTER | DT_SINGLELINE |
               (alignment_ == taLeftJustify ? DT_LEFT : alignment_ == taRightJustify ? DT_RIGHT : DT_CENTER);
  dc = Canvas()->Handle();
  if (!Enabled()) {
    RECT shifted = r;
    OffsetRect(&shifted, 1, 1);
    SetTextColor(dc, ColorToRGB(clBtnHighlight));
    DrawTextA(dc, text.c_str(), -1, &shifted, flags);
    SetTextColor(dc, ColorToRGB(clBtnShadow));
  }
  DrawTextA(dc, text.c_str(), -1, &r, flags);
}

// ---- TImage ------------------------------------------------------------------------------------

TImage::TImage(TComponent* owner) : TGraphicControl(owner), picture_(std::make_unique<TPicture>()) {
  controlStyle_ += csReplicatable;
  picture_->OnChange = [this](TObject*) { PictureChanged(); };
  SetBounds(0, 0, 105, 105);
}

TImage::~TImage() {
  Destroying();
  // Leaves the parent while the picture still exists, so nothing paints it after.
  SetParent(nullptr);
}

void TImage::SetStretch(bool value) {
  if (value == stretch_) return;
  stretch_ = value;
  Invalidate();
}

void TImage::SetCenter(bool value) {
  if (value == center_) return;
  center_ = value;
  Invalidate();
}

void TImage::SetProportional(bool value) {
  if (value == proportional_) return;
  proportional_ = value;
  Invalidate();
}

void TImage::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  if (TGraphic* g = picture_->Graphic()) g->SetTransparent(value);
  Invalidate();
}

void TImage::SetAutoSize(bool value) {
  autoSize_ = value;
  PictureChanged();
}

void TImage::PictureChanged() {
  if (TGraphic* g = picture_->Graphic()) {
    if (transparent_) g->SetTransparent(true);
    if (autoSize_ && g->Width() > 0 && g->Height() > 0) SetBounds(Left(), Top(), g->Width(), g->Height());
  }
  Invalidate();
}

RECT TImage::DestRect() {
  int w = picture_->Width(), h = picture_->Height();
  int cw = ClientWidth(), ch = ClientHeight();
  if (stretch_ || (proportional_ && (w > cw || h > ch))) {
    if (proportional_ && w > 0 && h > 0) {
      double scale = std::min(static_cast<double>(cw) / w, static_cast<double>(ch) / h);
      w = static_cast<int>(w * scale);
      h = static_cast<int>(h * scale);
    } else {
      w = cw;
      h = ch;
    }
  }
  RECT r{0, 0, w, h};
  if (center_) OffsetRect(&r, (cw - w) / 2, (ch - h) / 2);
  return r;
}

void TImage::Paint() {
  TGraphic* g = picture_->Graphic();
  if (!g || g->Empty()) return;
  RECT r = DestRect();
  Canvas()->StretchDraw(r, g);
}

// ---- Registration ---------------------------------------------------------------------------

void RegisterExtCtrls() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterStdCtrls();
  RegisterClassInfo<TCustomPanel, TCustomControl>("TCustomPanel");
  RegisterClassInfo<TPanel, TCustomPanel>("TPanel")
      .String("Caption", &TPanel::Caption, &TPanel::SetCaption)
      .Color("Color", &TPanel::Color, &TPanel::SetColor, clBtnFace)
      .StoredIf([](TPanel* p) { return !p->ParentColor(); })
      .Boolean("ParentColor", &TPanel::ParentColor, &TPanel::SetParentColor, false)
      .Enum("BevelInner", BevelCutInfo, &TPanel::BevelInner, &TPanel::SetBevelInner, bvNone)
      .Enum("BevelOuter", BevelCutInfo, &TPanel::BevelOuter, &TPanel::SetBevelOuter, bvRaised)
      .Integer("BevelWidth", &TPanel::BevelWidth, &TPanel::SetBevelWidth, 1)
      .Integer("BorderWidth", &TPanel::BorderWidth, &TPanel::SetBorderWidth, 0)
      .Enum("BorderStyle", BorderStyleInfo, &TPanel::BorderStyle, &TPanel::SetBorderStyle, bsNone)
      .Enum("Alignment", AlignmentInfo, &TPanel::Alignment, &TPanel::SetAlignment, taCenter)
      .Boolean("FullRepaint", &TPanel::FullRepaint, &TPanel::SetFullRepaint, true)
      .Boolean("Locked", &TPanel::Locked, &TPanel::SetLocked, false);
  RegisterClassInfo<TImage, TGraphicControl>("TImage")
      .Picture("Picture", &TImage::Picture)
      .Boolean("Stretch", &TImage::Stretch, &TImage::SetStretch, false)
      .Boolean("Center", &TImage::Center, &TImage::SetCenter, false)
      .Boolean("Proportional", &TImage::Proportional, &TImage::SetProportional, false)
      .Boolean("Transparent", &TImage::Transparent, &TImage::SetTransparent, false)
      .Boolean("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize, false);
}
