// TFcBitBtn: the bitmap button, its stock kinds and where it places glyph and caption
// (units of FcButton.h).
#include <array>

#include "controls/FcButton.h"
#include "platform/Guards.h"
#include "resources/ResourceIds.h"

const TEnumInfo BitBtnKindInfo{"TBitBtnKind",
                               {"bkCustom", "bkOK", "bkCancel", "bkHelp", "bkYes", "bkNo", "bkClose", "bkAbort",
                                "bkRetry", "bkIgnore", "bkAll"}};

namespace {

struct TKindInfo {
  UINT caption;
  TModalResult modalResult;
  bool isDefault;
  bool isCancel;
  const char* glyph;
};

const TKindInfo kKinds[] = {
    {0, mrNone, false, false, nullptr},
    {IDS_FC_KIND_OK, mrOk, true, false, "FCCOMMON_OK"},
    {IDS_FC_KIND_CANCEL, mrCancel, false, true, "FCCOMMON_CANCEL"},
    {IDS_FC_KIND_HELP, mrNone, false, false, "FCCOMMON_HELP"},
    {IDS_FC_KIND_YES, mrYes, true, false, "FCCOMMON_YES"},
    {IDS_FC_KIND_NO, mrNo, false, true, "FCCOMMON_NO"},
    {IDS_FC_KIND_CLOSE, mrNone, false, false, "FCCOMMON_CLOSE"},
    {IDS_FC_KIND_ABORT, mrAbort, false, false, "FCCOMMON_ABORT"},
    {IDS_FC_KIND_RETRY, mrRetry, false, false, "FCCOMMON_RETRY"},
    {IDS_FC_KIND_IGNORE, mrIgnore, false, false, "FCCOMMON_IGNORE"},
    {IDS_FC_KIND_ALL, mrAll, false, false, "FCCOMMON_ALL"},
};

bool IsKind(int kind) { return kind >= bkCustom && kind <= bkAll; }

}  // namespace

TBitmap* GetKindGlyph(TBitBtnKind kind) {
  // Slot 0 (bkCustom) stays empty; the glyphs go when the program ends.
  static std::array<std::unique_ptr<TBitmap>, std::size(kKinds)> cache;
  if (!IsKind(kind) || kind == bkCustom) return nullptr;
  auto& slot = cache[static_cast<size_t>(kind)];
  if (!slot) {
    auto glyph = std::make_unique<TBitmap>();
    glyph->LoadFromResourceName(GetModuleHandleA(nullptr), kKinds[kind].glyph);
    slot = std::move(glyph);
  }
  return slot.get();
}

std::string KindCaption(TBitBtnKind kind) {
  if (!IsKind(kind) || kind == bkCustom) return {};
  return LoadResString(kKinds[kind].caption);
}

// ---- TFcBitBtn -----------------------------------------------------------------------------

TFcBitBtn::TFcBitBtn(TComponent* owner) : TFcButton(owner), glyph_(std::make_unique<TBitmap>()) {
  glyph_->OnChange = [this](TObject*) { GlyphChanged(); };
  imageChangeLink_.OnChange = [this](TObject*) { Repaint(); };
}

TFcBitBtn::~TFcBitBtn() {
  Destroying();
  glyph_->OnChange = nullptr;
  if (images_) images_->UnRegisterChanges(&imageChangeLink_);
}

TBitBtnKind TFcBitBtn::Kind() {
  if (kind_ != bkCustom) {
    const TKindInfo& k = kKinds[kind_];
    if (Default() != k.isDefault || Cancel() != k.isCancel || ModalResult() != k.modalResult || glyphModified_)
      kind_ = bkCustom;
  }
  return kind_;
}

void TFcBitBtn::SetKind(TBitBtnKind value) {
  if (!IsKind(value) || value == Kind()) return;
  if (value != bkCustom) {
    const TKindInfo& k = kKinds[value];
    SetDefault(k.isDefault);
    SetCancel(k.isCancel);
    // A layout's own caption stays.
    if (!ComponentState().Contains(csLoading) || Caption().empty()) SetCaption(KindCaption(value));
    SetModalResult(k.modalResult);
    glyph_->Assign(GetKindGlyph(value));
    SetNumGlyphs(2);
    glyphModified_ = false;
  }
  kind_ = value;
  Invalidate();
}

void TFcBitBtn::SetGlyph(TBitmap* value) {
  glyph_->Assign(value);
  glyphModified_ = true;
}

void TFcBitBtn::LoadGlyphResource(const std::string& name) {
  if (name.empty()) {
    SetGlyph(nullptr);
    return;
  }
  TBitmap loaded;
  loaded.LoadFromResourceName(GetModuleHandleA(nullptr), name);
  SetGlyph(&loaded);
  glyphResource_ = name;
}

void TFcBitBtn::GlyphChanged() {
  glyphResource_.clear();
  SetNumGlyphs(NumGlyphsOfShape(glyph_.get(), numGlyphs_));
  Invalidate();
}

void TFcBitBtn::SetNumGlyphs(TNumGlyphs value) {
  if (StoreChanged(numGlyphs_, ClampNumGlyphs(value))) Invalidate();
}

void TFcBitBtn::SetLayout(TButtonLayout value) {
  if (StoreChanged(layout_, value)) Invalidate();
}

void TFcBitBtn::SetMargin(int value) {
  if (value == margin_ || value < -1) return;
  margin_ = value;
  Invalidate();
}

void TFcBitBtn::SetSpacing(int value) {
  if (StoreChanged(spacing_, value)) Invalidate();
}

void TFcBitBtn::SetImages(TCustomImageList* value) {
  if (ChangeImageList(this, images_, value, imageChangeLink_)) Invalidate();
}

void TFcBitBtn::SetImageIndex(int value) {
  if (StoreChanged(imageIndex_, value)) Invalidate();
}

void TFcBitBtn::SetDisabledIndex(int value) {
  if (StoreChanged(disabledIndex_, value)) Invalidate();
}

void TFcBitBtn::Notification(TComponent* component, TOperation operation) {
  TFcButton::Notification(component, operation);
  if (operation == opRemove && component == images_) {
    images_ = nullptr;
    Invalidate();
  }
}

void TFcBitBtn::ActionChange(TObject* sender, bool checkDefaults) {
  TFcButton::ActionChange(sender, checkDefaults);
  if (auto* action = dynamic_cast<TCustomAction*>(sender))
    if (!checkDefaults || imageIndex_ == -1) SetImageIndex(action->ImageIndex());
}

// ---- Placement -----------------------------------------------------------------------------

bool TFcBitBtn::UsesImage() { return images_ && imageIndex_ != -1; }

bool TFcBitBtn::HasGlyphOrImage() { return UsesImage() || !glyph_->Empty(); }

SIZE TFcBitBtn::GlyphSize() {
  if (UsesImage()) return SIZE{images_->Width(), images_->Height()};
  return SIZE{glyph_->Width() / numGlyphs_, glyph_->Height()};
}

int TFcBitBtn::CaptionHeight(const RECT& rect) { return CaptionBlockHeight(Font(), Caption(), rect); }

RECT TFcBitBtn::CaptionRect() {
  RECT r = TFcButton::CaptionRect();
  if (!HasGlyphOrImage()) return r;
  SIZE g = GlyphSize();
  int h = CaptionHeight(r);
  // With Margin -1 glyph and caption are placed as one block, centred on the button.
  int free = Height() - h - g.cy - spacing_;
  switch (layout_) {
    case blGlyphLeft: r.left += margin_ + g.cx + spacing_; break;
    case blGlyphRight: r.right -= margin_ + g.cx + spacing_; break;
    case blGlyphTop:
      if (margin_ >= 0) {
        r.top += margin_ + g.cy + spacing_;
      } else {
        r.top += g.cy + free / 2;
        r.bottom = r.top + h;
      }
      break;
    case blGlyphBottom:
      if (margin_ >= 0) {
        r.bottom -= margin_ + g.cy + spacing_;
      } else {
        r.top += free / 2;
        r.bottom = r.top + h;
      }
      break;
  }
  return r;
}

RECT TFcBitBtn::GlyphRect() {
  RECT g = TFcButton::CaptionRect();
  bool themed = Themed();
  if (PressedLook()) OffsetRect(&g, -1, themed ? 0 : -1);
  SIZE s = GlyphSize();
  int h = CaptionHeight(TFcButton::CaptionRect());
  int free = Height() - h - s.cy - spacing_;
  if (margin_ >= 0) {
    switch (layout_) {
      case blGlyphLeft: g.left += margin_; break;
      case blGlyphRight: g.left = g.right - margin_ - s.cx; break;
      case blGlyphTop: g.top += margin_; break;
      case blGlyphBottom: g.top = g.bottom - margin_ - s.cy; break;
    }
  } else {
    switch (layout_) {
      case blGlyphLeft: break;
      case blGlyphRight: g.left = g.right - s.cx; break;
      case blGlyphTop: g.top = free / 2; break;
      case blGlyphBottom: g.top += h + free / 2; break;
    }
  }
  g = CentredAcross(g, layout_, s);
  if (PressedLook()) OffsetRect(&g, themed ? 2 : 1, themed ? 0 : 1);
  return g;
}

void TFcBitBtn::PaintCaption() {
  TFcButton::PaintCaption();
  if (Kind() != bkCustom || !UsesImage()) {
    if (!glyph_->Empty()) DrawGlyph(GlyphRect());
  } else {
    DrawImage(GlyphRect());
  }
}

void TFcBitBtn::DrawGlyph(const RECT& rect) { DrawGlyphCell(Canvas(), glyph_.get(), numGlyphs_, Enabled(), rect); }

void TFcBitBtn::DrawImage(const RECT& rect) {
  if (!images_) return;
  if (Enabled()) {
    if (imageIndex_ != -1) images_->Draw(Canvas(), rect.left, rect.top, imageIndex_, true);
  } else if (disabledIndex_ != -1) {
    images_->Draw(Canvas(), rect.left, rect.top, disabledIndex_, true);
  } else if (imageIndex_ != -1) {
    images_->Draw(Canvas(), rect.left, rect.top, imageIndex_, false);
  }
}
