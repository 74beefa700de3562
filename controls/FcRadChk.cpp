// The glyph buttons: their glyph sources and painting, the radio button and the check box
// (units of FcRadChk.h).
#include "controls/FcRadChk.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <vector>

#include "platform/Guards.h"
#include "platform/SysUtils.h"
#include "platform/Themes.h"

const TEnumInfo CheckBoxStateInfo{"TCheckBoxState", {"cbUnchecked", "cbChecked", "cbGrayed"}};

namespace {

const TEnumInfo LeftRightInfo{"TLeftRight", {"taLeftJustify", "taRightJustify"}};

constexpr int kTemplateSize = 13;

// The sixteen-colour templates of the hot-tracked look: each colour stands for a part of the
// glyph (frame, rim, face, dot...) and is replaced by the colour that part takes.
enum TPart { pW, pK, pG, pS, pP, pM, pL, pR, pF, pY, pN, pB, pA, kParts };
constexpr COLORREF kPartColors[kParts] = {
    RGB(255, 255, 255), RGB(0, 0, 0),   RGB(0, 128, 0), RGB(128, 128, 128), RGB(128, 0, 128),
    RGB(128, 0, 0),     RGB(0, 255, 0), RGB(255, 0, 0), RGB(255, 0, 255),   RGB(255, 255, 0),
    RGB(0, 0, 128),     RGB(0, 0, 255), RGB(0, 255, 255)};
// The rim of the radio template, blended with the background once the glyph is composed.
constexpr COLORREF kRimGreen = RGB(0, 128, 0);

struct TTemplate {
  int width = 0, height = 0;
  std::vector<COLORREF> pixels;  // row by row, top row first
};

// A template's pixels, read from the program's resources once.
const TTemplate& Template(const char* name) {
  static std::map<std::string, TTemplate> cache;
  auto it = cache.find(name);
  if (it != cache.end()) return it->second;
  TBitmap bitmap;
  bitmap.LoadFromResourceName(GetModuleHandleA(nullptr), name);
  TTemplate t;
  t.width = bitmap.Width();
  t.height = bitmap.Height();
  HDC dc = bitmap.Canvas()->Handle();
  for (int y = 0; y < t.height; ++y)
    for (int x = 0; x < t.width; ++x) t.pixels.push_back(GetPixel(dc, x, y));
  return cache.emplace(name, std::move(t)).first->second;
}

RECT Inset(RECT r, int by) {
  InflateRect(&r, -by, -by);
  return r;
}

void FillWith(TCanvas* canvas, const RECT& r, TColor color) {
  canvas->Brush()->SetColor(color);
  canvas->FillRect(r);
}

void DrawButtonElement(TCanvas* canvas, int part, int state, const RECT& rect) {
  if (HTHEME theme = CachedThemeData("BUTTON")) Themes::DrawThemeBackground(theme, canvas->Handle(), part, state, rect);
}

}  // namespace

// ---- TFcCustomGlyphButton ------------------------------------------------------------------

TMessageTable& TFcCustomGlyphButton::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(WM_ERASEBKGND, Handler(&TFcCustomGlyphButton::WMEraseBkgnd));
    t->Add(CM_ENABLEDCHANGED, Handler(&TFcCustomGlyphButton::CMStaleAndInvalidate));
    t->Add(CM_PARENTCOLORCHANGED, Handler(&TFcCustomGlyphButton::CMStaleAndInvalidate));
    return t;
  }();
  return *table;
}

TFcCustomGlyphButton::TFcCustomGlyphButton(TComponent* owner)
    : TFcCustomButton(owner),
      customGlyphs_(std::make_unique<TBitmap>()),
      backgroundCache_(std::make_unique<TBitmap>()),
      paintBuffer_(std::make_unique<TBitmap>()),
      glyphBuffer_(std::make_unique<TBitmap>()) {
  SetControlStyle(ControlStyle() + csSetCaption + csReplicatable);
  SetAlignmentVertical(avTop);
  customGlyphs_->OnChange = [this](TObject*) {
    customGlyphsResource_.clear();
    SetUseCustomGlyphs(!customGlyphs_->Empty());
    backgroundStale_ = true;
    Invalidate();
  };
}

TFcCustomGlyphButton::~TFcCustomGlyphButton() {
  Destroying();
  customGlyphs_->OnChange = nullptr;
  if (frameController_) frameController_->UnregisterFramedControl(this);
}

void TFcCustomGlyphButton::SetAlignment(TLeftRight value) {
  if (StoreChanged(alignment_, value)) Invalidate();
}

void TFcCustomGlyphButton::SetCustomGlyphs(TBitmap* value) { customGlyphs_->Assign(value); }

void TFcCustomGlyphButton::LoadCustomGlyphsResource(const std::string& name) {
  if (name.empty()) {
    SetCustomGlyphs(nullptr);
    return;
  }
  TBitmap loaded;
  loaded.LoadFromResourceName(GetModuleHandleA(nullptr), name);
  SetCustomGlyphs(&loaded);
  customGlyphsResource_ = name;
}

void TFcCustomGlyphButton::SetUseCustomGlyphs(bool value) {
  if (StoreChanged(useCustomGlyphs_, value)) Invalidate();
}

int TFcCustomGlyphButton::GlyphCellWidth() const {
  return useCustomGlyphs_ ? customGlyphs_->Width() / glyphCellCount_ : kTemplateSize;
}

int TFcCustomGlyphButton::GlyphCellHeight() const {
  return useCustomGlyphs_ ? customGlyphs_->Height() : kTemplateSize;
}

void TFcCustomGlyphButton::SetFrameColor(TColor value) {
  if (StoreChanged(frameColor_, value)) Invalidate();
}

void TFcCustomGlyphButton::SetDisabledColor(TColor value) {
  if (StoreChanged(disabledColor_, value)) Invalidate();
}

void TFcCustomGlyphButton::SetTransparentColor(TColor value) {
  if (StoreChanged(transparentColor_, value)) Invalidate();
}

void TFcCustomGlyphButton::SetWinMaskColor(TColor value) {
  if (StoreChanged(winMaskColor_, value)) Invalidate();
}

void TFcCustomGlyphButton::SetFrameController(TFcFrameController* value) {
  ChangeFrameController(this, frameController_, value);
}

void TFcCustomGlyphButton::SetTransparent(bool value) {
  backgroundStale_ = true;
  TFcCustomButton::SetTransparent(value);
}

void TFcCustomGlyphButton::UpdateFrameSettings() {
  if (!frameController_ || !frameController_->FrameVisible()) return;
  frameColor_ = frameController_->FrameColor();
  disabledColor_ = frameController_->DisabledColor();
  Invalidate();
}

void TFcCustomGlyphButton::Notification(TComponent* component, TOperation operation) {
  TFcCustomButton::Notification(component, operation);
  if (operation == opRemove && component == frameController_) frameController_ = nullptr;
}

TColor TFcCustomGlyphButton::AvoidMaskColors(TColor color) {
  COLORREF rgb = ColorToRGB(color);
  if (rgb != ColorToRGB(transparentColor_) && rgb != ColorToRGB(winMaskColor_) && rgb != RGB(128, 128, 128))
    return static_cast<TColor>(rgb);
  // One channel moved by one, within its byte: white becomes (254, 255, 255), not a palette
  // index.
  BYTE red = GetRValue(rgb);
  red = red < 255 ? red + 1 : red - 1;
  return static_cast<TColor>(RGB(red, GetGValue(rgb), GetBValue(rgb)));
}

RECT TFcCustomGlyphButton::HotAreaRect() {
  int w = GlyphCellWidth(), h = GlyphCellHeight();
  int x = alignment_ == taRightJustify ? 0 : Width() - w;
  int y = AlignmentVertical() == avTop ? 2 : AlignmentVertical() == avCenter ? (Height() - h) / 2 : Height() - h - 2;
  return RECT{x, y, x + w, y + h};
}

void TFcCustomGlyphButton::CutGlyphCell(TBitmap* target, int index) {
  int w = GlyphCellWidth(), h = GlyphCellHeight();
  RECT cell{index * w, 0, (index + 1) * w, h};
  target->Canvas()->CopyRect(RECT{0, 0, w, h}, customGlyphs_->Canvas(), cell);
}

void TFcCustomGlyphButton::LoadTemplateGlyph(TBitmap* glyph, const char* name, bool radio) {
  const TColor window = clWindow;
  bool full = DisplayHasFullColor();
  TFcHotColors hot = HotTrackColors(HotTrackColor(), HotTrackColorType());
  TColor frame = frameColor_, highlight = HighlightColor();
  auto adj = [this](TColor c) { return AvoidMaskColors(c); };
  auto mix = [](TColor a, TColor b, BYTE weight) { return MixColors(a, b, weight); };
  std::array<TColor, kParts> to;
  to.fill(window);
  if (radio) {
    to[pK] = adj(frame);
    to[pG] = full ? LightenColor(frame, 10) : adj(frame);
    to[pS] = to[pP] = full ? mix(frame, window, 128) : window;
    to[pM] = to[pL] = full ? mix(frame, window, 80) : window;
    to[pN] = adj(highlight);
    to[pB] = full ? mix(highlight, window, 153) : adj(highlight);
    to[pA] = full ? static_cast<TColor>(kRimGreen) : adj(frame);
    if (!Enabled()) {
      to[pW] = to[pR] = to[pF] = to[pY] = disabledColor_;
      to[pS] = to[pP] = mix(frame, disabledColor_, 128);
      to[pM] = to[pL] = mix(frame, disabledColor_, 80);
      to[pN] = clBtnShadow;
      to[pB] = mix(highlight, disabledColor_, 128);
    } else if (full && PressedLook()) {
      to[pW] = to[pR] = to[pF] = to[pY] = hot.PressedFill;
      to[pS] = to[pP] = mix(frame, hot.PressedFill, 128);
      to[pM] = to[pL] = mix(frame, hot.PressedFill, 80);
      to[pB] = mix(highlight, hot.PressedFill, 153);
    } else if (full && MouseInside()) {
      to[pS] = mix(frame, hot.Dark, 128);
      to[pP] = mix(frame, hot.Light, 128);
      to[pM] = mix(frame, hot.Dark, 80);
      to[pL] = mix(frame, hot.Light, 80);
      to[pR] = hot.Dark;
      to[pF] = hot.Light;
      to[pY] = mix(hot.Light, window, 128);
    }
  } else {
    to[pS] = frame;
    to[pB] = adj(highlight);
    if (!Enabled()) {
      to[pW] = to[pR] = to[pF] = disabledColor_;
      to[pB] = clBtnShadow;
    } else if (PressedLook()) {
      to[pW] = to[pR] = to[pF] = hot.PressedFill;
    } else if (MouseInside()) {
      to[pR] = hot.Dark;
      to[pF] = hot.Light;
    }
  }
  // Only the parts the template uses are replaced; olive is left as the transparent colour.
  std::array<COLORREF, kParts> rgb;
  for (int i = 0; i < kParts; ++i) rgb[i] = ColorToRGB(to[i]);
  const TTemplate& t = Template(name);
  HDC dc = glyph->Canvas()->Handle();
  TPixelBuffer pixels(dc, t.width, t.height);
  for (int y = 0; y < t.height; ++y)
    for (int x = 0; x < t.width; ++x) {
      COLORREF c = t.pixels[static_cast<size_t>(y * t.width + x)];
      for (int i = 0; i < kParts; ++i)
        if (c == kPartColors[i]) {
          c = rgb[i];
          break;
        }
      pixels.SetPixel(x, y, c);
    }
  pixels.CopyTo(dc, 0, 0);
}

void TFcCustomGlyphButton::PaintGlyph(TCanvas* canvas) {
  RECT at = HotAreaRect();
  int w = at.right - at.left, h = at.bottom - at.top;
  if (w <= 0 || h <= 0) return;
  // A fresh cell each time: black, as a new bitmap is.
  TBitmap& glyph = *glyphBuffer_;
  glyph.SetSize(w, h);
  PatBlt(glyph.Canvas()->Handle(), 0, 0, w, h, BLACKNESS);
  MakeGlyph(&glyph);
  // The glyph's transparent colour lets through what the canvas shows (transparent) or the
  // control's colour; the window-mask colour shows the window colour; the radio template's
  // rim blends into the background. Done pixel by pixel: the same as three brush copies,
  // without their bitmaps.
  HDC dc = canvas->Handle();
  TPixelBuffer pixels(dc, w, h);
  pixels.CopyFrom(glyph.Canvas()->Handle(), 0, 0);
  std::optional<TPixelBuffer> under;
  if (Transparent()) {
    under.emplace(dc, w, h);
    under->CopyFrom(dc, at.left, at.top);
  }
  const COLORREF clear = ColorToRGB(Transparent() && ThemeServicesEnabled() ? clBtnFace : transparentColor_);
  const COLORREF face = ColorToRGB(Color()), mask = ColorToRGB(winMaskColor_), window = ColorToRGB(clWindow);
  const COLORREF rim = ColorToRGB(MixColors(frameColor_, canvas->Pixels(0, 0), 128));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      COLORREF c = pixels.Pixel(x, y);
      if (c == clear) c = under ? under->Pixel(x, y) : face;
      if (c == mask) c = window;
      if (c == kRimGreen) c = rim;
      pixels.SetPixel(x, y, c);
    }
  pixels.CopyTo(dc, at.left, at.top);
}

void TFcCustomGlyphButton::CaptureBackground() {
  int w = ClientWidth(), h = ClientHeight();
  backgroundCache_->SetSize(w, h);
  RECT client{0, 0, w, h};
  if (Transparent())
    backgroundCache_->Canvas()->CopyRect(client, Canvas(), client);
  else
    FillWith(backgroundCache_->Canvas(), client, Color());
  backgroundStale_ = false;
}

void TFcCustomGlyphButton::Paint() {
  int w = ClientWidth(), h = ClientHeight();
  if (w <= 0 || h <= 0) return;
  // Drawn off the screen, then shown in one piece.
  TBitmap& buffer = *paintBuffer_;
  buffer.SetSize(w, h);
  TCanvas* canvas = buffer.Canvas();
  canvas->SetFont(Font());
  canvas->Brush()->SetColor(Color());
  if (backgroundStale_ || backgroundCache_->Width() != w || backgroundCache_->Height() != h) CaptureBackground();
  canvas->Draw(0, 0, backgroundCache_.get());
  PaintGlyph(canvas);

  RECT text = Inset(RECT{0, 0, w, h}, 1);
  int room = GlyphCellWidth() + 4;
  if (alignment_ == taRightJustify)
    text.left += room;
  else
    text.right -= room;
  PaintCaptionText(canvas, text, DT_WORDBREAK | DT_EXPANDTABS);

  std::string caption = Trim(Caption());
  if (Focused() && !Caption().empty()) {
    RECT focus = Inset(text, -1);
    RECT measured{0, 0, 0, 0};
    DrawTextA(canvas->Handle(), caption.c_str(), -1, &measured, DT_CALCRECT | DT_SINGLELINE);
    int width = std::min(static_cast<int>(focus.right - focus.left), static_cast<int>(measured.right) + 3);
    if (UseRightToLeftAlignment())
      focus.left = focus.right - width;
    else
      focus.right = focus.left + width;
    PaintDottedFocusRect(canvas, focus);
  }
  Canvas()->Draw(0, 0, &buffer);
}

void TFcCustomGlyphButton::PaintAtOnce() {
  // No erase: the background cache already holds what lies behind the control.
  if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void TFcCustomGlyphButton::RefreshState() { PaintAtOnce(); }

void TFcCustomGlyphButton::RedrawNow() { PaintAtOnce(); }

void TFcCustomGlyphButton::Resize() {
  backgroundStale_ = true;
  TFcCustomButton::Resize();
}

void TFcCustomGlyphButton::WMEraseBkgnd(TWMDC& m) {
  backgroundStale_ = true;
  Inherited(m);
}

void TFcCustomGlyphButton::CMStaleAndInvalidate(TMessage& m) {
  backgroundStale_ = true;
  Inherited(m);
  Invalidate();
}

void TFcCustomGlyphButton::KeyPress(char& key) {
  if (tabOnEnter_ && key == '\r') {
    key = 0;
    if (HandleAllocated()) PostMessageA(Handle(), WM_KEYDOWN, VK_TAB, 0);
  }
  TFcCustomButton::KeyPress(key);
}

void TFcCustomGlyphButton::ClickForStateChange() {
  if (!ComponentState().Contains(csReading)) Click();
}

// ---- Actions -------------------------------------------------------------------------------

std::unique_ptr<TControlActionLink> TFcCustomGlyphButton::CreateActionLink() {
  return std::make_unique<TFcCheckedActionLink>(this);
}

void TFcCustomGlyphButton::ActionChange(TObject* sender, bool checkDefaults) {
  TFcCustomButton::ActionChange(sender, checkDefaults);
  if (auto* action = dynamic_cast<TCustomAction*>(sender))
    if (!checkDefaults || !Checked()) SetChecked(action->Checked());
}

bool TFcCustomGlyphButton::IsCheckedStored() { return !ActionLink() || !ActionLink()->IsCheckedLinked(); }

bool TFcCheckedActionLink::IsCheckedLinked() {
  return TWinControlActionLink::IsCheckedLinked() && button_->Checked() == CustomAction()->Checked();
}

void TFcCheckedActionLink::SetChecked(bool value) {
  if (IsCheckedLinked()) button_->SetChecked(value);
}

// ---- TFcRadioButton ------------------------------------------------------------------------

TMessageTable& TFcRadioButton::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(WM_SETFOCUS, Handler(&TFcRadioButton::WMSetFocus));
    t->Add(WM_LBUTTONDBLCLK, Handler(&TFcRadioButton::WMLButtonDblClk));
    t->Add(CM_DIALOGCHAR, Handler(&TFcRadioButton::CMDialogChar));
    t->Add(CM_DIALOGKEY, Handler(&TFcRadioButton::CMDialogKey));
    return t;
  }();
  return *table;
}

TFcRadioButton::TFcRadioButton(TComponent* owner) : TFcCustomGlyphButton(owner) {
  SetGlyphCellCount(6);
  SetTabStop(false);
}

void TFcRadioButton::SetChecked(bool value) {
  if (value == checked_) return;
  checked_ = value;
  SetTabStop(value);
  RefreshState();
  if (!value) return;
  if (TWinControl* parent = Parent()) {
    std::vector<TControl*> siblings;
    for (int i = 0; i < parent->ControlCount(); ++i) siblings.push_back(parent->Controls(i));
    for (TControl* c : siblings)
      if (auto* radio = dynamic_cast<TFcRadioButton*>(c); radio && radio != this && parent->ContainsControl(radio))
        radio->SetChecked(false);
  }
  ClickForStateChange();
}

void TFcRadioButton::AdvanceState() {
  if (!checked_) SetChecked(true);
}

void TFcRadioButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  clickByMouse_ = true;
  TFcCustomGlyphButton::MouseDown(button, shift, x, y);
}

void TFcRadioButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TFcCustomGlyphButton::MouseUp(button, shift, x, y);
  clickByMouse_ = false;
}

void TFcRadioButton::WMSetFocus(TMessage& m) {
  Inherited(m);
  // From the keyboard (Tab, arrows, an accelerator) the focus checks the button; a mouse
  // press checks it only when its release completes the click.
  if (!clickByMouse_) SetChecked(true);
}

void TFcRadioButton::WMLButtonDblClk(TMessage& m) {
  Inherited(m);
  DblClick();
}

void TFcRadioButton::CMDialogChar(TWMKey& m) {
  if (IsAccel(static_cast<char>(m.CharCode), Caption()) && CanFocus()) {
    SetFocus();
    m.Result = 1;
    return;
  }
  Inherited(m);
}

void TFcRadioButton::CMDialogKey(TWMKey& m) {
  if (m.CharCode == VK_DOWN && KeyDataToShiftState(m.KeyData).Empty() && CanFocus()) {
    Click();
    m.Result = 1;
    return;
  }
  Inherited(m);
}

void TFcRadioButton::MakeGlyph(TBitmap* glyph) {
  int w = GlyphCellWidth(), h = GlyphCellHeight();
  RECT cell{0, 0, w, h};
  if (UseCustomGlyphs()) {
    int index = Enabled() ? (checked_ ? 1 : 0) + (PressedLook() ? 2 : 0) : (checked_ ? 5 : 4);
    CutGlyphCell(glyph, index);
  } else if (ThemeServicesEnabled()) {
    FillWith(glyph->Canvas(), cell, Color());
    int state = !Enabled()      ? (checked_ ? RBS_CHECKEDDISABLED : RBS_UNCHECKEDDISABLED)
                : PressedLook() ? (checked_ ? RBS_CHECKEDPRESSED : RBS_UNCHECKEDPRESSED)
                : MouseInside() ? (checked_ ? RBS_CHECKEDHOT : RBS_UNCHECKEDHOT)
                                : (checked_ ? RBS_CHECKEDNORMAL : RBS_UNCHECKEDNORMAL);
    DrawButtonElement(glyph->Canvas(), BP_RADIOBUTTON, state, cell);
  } else if (HotTrack()) {
    LoadTemplateGlyph(glyph, checked_ ? "FCCOMMON_RADIOBUTTON_CHECKED" : "FCCOMMON_RADIOBUTTON_UNCHECKED", true);
  } else {
    FillWith(glyph->Canvas(), cell, TransparentColor());
    UINT state = DFCS_BUTTONRADIO | DFCS_TRANSPARENT | (checked_ ? DFCS_CHECKED : 0) |
                 (PressedLook() ? DFCS_PUSHED : 0) | (Enabled() ? 0 : DFCS_INACTIVE);
    DrawFrameControl(glyph->Canvas()->Handle(), &cell, DFC_BUTTON, state);
  }
}

// ---- TFcCustomCheckBox ---------------------------------------------------------------------

TMessageTable& TFcCustomCheckBox::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(WM_KILLFOCUS, Handler(&TFcCustomCheckBox::WMKillFocus));
    t->Add(CM_DIALOGCHAR, Handler(&TFcCustomCheckBox::CMDialogChar));
    return t;
  }();
  return *table;
}

TFcCustomCheckBox::TFcCustomCheckBox(TComponent* owner) : TFcCustomGlyphButton(owner) { SetGlyphCellCount(9); }

void TFcCustomCheckBox::SetState(TCheckBoxState value) {
  if (value == state_ || value < cbUnchecked || value > cbGrayed) return;
  state_ = value;
  RefreshState();
  ClickForStateChange();
}

void TFcCustomCheckBox::SetChecked(bool value) { SetState(value ? cbChecked : cbUnchecked); }

void TFcCustomCheckBox::AdvanceState() {
  switch (state_) {
    case cbUnchecked: SetState(allowGrayed_ ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
  }
}

void TFcCustomCheckBox::KeyDown(WORD& key, TShiftState shift) {
  if (key == VK_SPACE)
    SpaceDown();
  else if (key == VK_ESCAPE)
    CancelSpace();
  TFcCustomGlyphButton::KeyDown(key, shift);
}

void TFcCustomCheckBox::KeyUp(WORD& key, TShiftState shift) {
  if (key == VK_SPACE) SpaceUp();
  TFcCustomGlyphButton::KeyUp(key, shift);
}

void TFcCustomCheckBox::WMKillFocus(TMessage& m) {
  Inherited(m);
  SetPressedLook(false);
  RefreshState();
}

void TFcCustomCheckBox::CMDialogChar(TWMKey& m) {
  if (IsAccel(static_cast<char>(m.CharCode), Caption()) && CanFocus()) {
    SetFocus();
    if (Focused()) {
      AdvanceState();
      RefreshState();
    }
    m.Result = 1;
    return;
  }
  Inherited(m);
}

void TFcCustomCheckBox::MakeGlyph(TBitmap* glyph) {
  int w = GlyphCellWidth(), h = GlyphCellHeight();
  RECT cell{0, 0, w, h};
  int state = static_cast<int>(state_);
  if (UseCustomGlyphs()) {
    CutGlyphCell(glyph, Enabled() ? state + (PressedLook() ? 3 : 0) : 6 + state);
  } else if (ThemeServicesEnabled()) {
    // What the parent shows under the glyph, then the element over it.
    if (HandleAllocated()) {
      RECT at = HotAreaRect();
      HDC dc = glyph->Canvas()->Handle();
      TSavedDC saved(dc);
      SetViewportOrgEx(dc, -at.left, -at.top, nullptr);
      Themes::DrawThemeParentBackground(Handle(), dc, &at);
    }
    static const int kFirst[] = {CBS_UNCHECKEDNORMAL, CBS_CHECKEDNORMAL, CBS_MIXEDNORMAL};
    int offset = !Enabled() ? 3 : PressedLook() ? 2 : MouseInside() ? 1 : 0;
    DrawButtonElement(glyph->Canvas(), BP_CHECKBOX, kFirst[state] + offset, cell);
  } else if (HotTrack()) {
    static const char* const kTemplates[] = {"FCCOMMON_CHECKBOX_UNCHECKED", "FCCOMMON_CHECKBOX_CHECKED",
                                             "FCCOMMON_CHECKBOX_GRAYED"};
    LoadTemplateGlyph(glyph, kTemplates[state], false);
  } else {
    UINT flags = DFCS_BUTTONCHECK | (state_ == cbChecked ? DFCS_CHECKED : 0) |
                 (state_ == cbGrayed ? DFCS_CHECKED | DFCS_BUTTON3STATE : 0) | (PressedLook() ? DFCS_PUSHED : 0) |
                 (Enabled() ? 0 : DFCS_INACTIVE);
    DrawFrameControl(glyph->Canvas()->Handle(), &cell, DFC_BUTTON, flags);
  }
}

// ---- Registration --------------------------------------------------------------------------

void RegisterFcRadChk() {
  using G = TFcCustomGlyphButton;
  RegisterClassInfo<G, TFcCustomButton>("TFcCustomGlyphButton")
      .Enum("AlignmentVertical", AlignmentVerticalInfo, &G::AlignmentVertical, &G::SetAlignmentVertical, avTop)
      .Enum("Alignment", LeftRightInfo, &G::Alignment, &G::SetAlignment, taRightJustify)
      .Boolean("Checked", &G::Checked, &G::SetChecked, false)
      .StoredIf(&G::IsCheckedStored)
      .Boolean("UseCustomGlyphs", &G::UseCustomGlyphs, &G::SetUseCustomGlyphs, false)
      .Color("FrameColor", &G::FrameColor, &G::SetFrameColor, clBtnShadow)
      .Color("DisabledColor", &G::DisabledColor, &G::SetDisabledColor, clBtnFace)
      .Color("TransparentColor", &G::TransparentColor, &G::SetTransparentColor, clOlive)
      .Color("WinMaskColor", &G::WinMaskColor, &G::SetWinMaskColor, clLime)
      .Component("FrameController", &G::FrameController, &G::SetFrameController)
      .Boolean("TabOnEnter", &G::TabOnEnter, &G::SetTabOnEnter, false)
      // The strip is named by its program resource.
      .Extra(
          "CustomGlyphs", tkString, [](G* g, const TValue& v) { g->LoadCustomGlyphsResource(v.AsString()); },
          [](G* g) -> std::optional<TValue> {
            if (g->CustomGlyphsResource().empty()) return std::nullopt;
            return TValue::String(g->CustomGlyphsResource());
          })
      // Older layouts' name of HotTrack.
      .Extra("Flat", tkBoolean, [](G* g, const TValue& v) { g->SetHotTrack(v.AsBoolean()); });

  RegisterClassInfo<TFcRadioButton, G>("TFcRadioButton")
      .Boolean("TabStop", &TFcRadioButton::TabStop, &TFcRadioButton::SetTabStop, false);

  using C = TFcCustomCheckBox;
  RegisterClassInfo<C, G>("TFcCustomCheckBox");
  RegisterClassInfo<TFcCheckBox, C>("TFcCheckBox")
      .Enum("State", CheckBoxStateInfo, &C::State, &C::SetState, cbUnchecked)
      .Boolean("AllowGrayed", &C::AllowGrayed, &C::SetAllowGrayed, false);
}
