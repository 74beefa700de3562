#include "platform/ImgList.h"

#include <vector>

#include <algorithm>

#include "platform/Guards.h"
#include "platform/TypInfo.h"

namespace {

const TEnumInfo DrawingStyleInfo{"TDrawingStyle", {"dsFocus", "dsSelected", "dsNormal", "dsTransparent"}};
const TEnumInfo ImageTypeInfo{"TImageType", {"itImage", "itMask"}};

COLORREF ListColor(TColor color) { return color == clNone ? CLR_NONE : ColorToRGB(color); }

}  // namespace

TChangeLink::~TChangeLink() {
  if (sender_) sender_->UnRegisterChanges(this);
}

TCustomImageList::TCustomImageList(TComponent* owner) : TComponent(owner) {}

TCustomImageList::TCustomImageList(TComponent* owner, int width, int height)
    : TComponent(owner), width_(width), height_(height) {}

TCustomImageList::~TCustomImageList() {
  for (TChangeLink* link : links_) link->sender_ = nullptr;
  links_.clear();
  FreeHandle();
}

void TCustomImageList::FreeHandle() {
  if (handle_ && !shareImages_) ImageList_Destroy(handle_);
  handle_ = nullptr;
}

HIMAGELIST TCustomImageList::Handle() {
  if (!handle_) {
    handle_ = ImageList_Create(width_, height_, (masked_ ? ILC_MASK : 0) | ILC_COLOR24, 4, 4);
    if (!handle_) RaiseLastOSError();
    ImageList_SetBkColor(handle_, ListColor(bkColor_));
  }
  return handle_;
}

void TCustomImageList::SetHandle(HIMAGELIST value) {
  if (value == handle_) return;
  FreeHandle();
  handle_ = value;
  if (value) {
    int cx = 0, cy = 0;
    ImageList_GetIconSize(value, &cx, &cy);
    width_ = cx;
    height_ = cy;
  }
  Change();
}

int TCustomImageList::Count() const {
  return handle_ ? ImageList_GetImageCount(handle_) : 0;
}

void TCustomImageList::SetWidth(int value) {
  if (value == width_ || value <= 0) return;
  width_ = value;
  FreeHandle();
  Change();
}

void TCustomImageList::SetHeight(int value) {
  if (value == height_ || value <= 0) return;
  height_ = value;
  FreeHandle();
  Change();
}

void TCustomImageList::SetMasked(bool value) {
  if (value == masked_) return;
  masked_ = value;
  FreeHandle();
  Change();
}

TColor TCustomImageList::BkColor() const {
  if (!handle_) return bkColor_;
  COLORREF c = ImageList_GetBkColor(handle_);
  return c == CLR_NONE ? clNone : static_cast<TColor>(c);
}

void TCustomImageList::SetBkColor(TColor value) {
  bkColor_ = value;
  if (handle_) ImageList_SetBkColor(handle_, ListColor(value));
  Change();
}

int TCustomImageList::Add(TBitmap* image, TBitmap* mask) {
  if (!image || image->Empty()) return -1;
  int index = ImageList_Add(Handle(), image->Handle(), mask ? mask->Handle() : nullptr);
  Change();
  return index;
}

int TCustomImageList::AddMasked(TBitmap* image, TColor maskColor) {
  if (!image || image->Empty()) return -1;
  if (!masked_) return Add(image, nullptr);
  COLORREF color = maskColor == clDefault ? ColorToRGB(image->TransparentColor()) : ColorToRGB(maskColor);
  // The system blackens the masked colour in the bitmap it is given: it gets a copy, so
  // the caller's picture stays as it was.
  TBitmap copy;
  copy.Assign(image);
  int index = ImageList_AddMasked(Handle(), copy.Handle(), color);
  Change();
  return index;
}

int TCustomImageList::AddIcon(TIcon* icon) {
  if (!icon || !icon->Handle()) return -1;
  int index = ImageList_ReplaceIcon(Handle(), -1, icon->Handle());
  Change();
  return index;
}

void TCustomImageList::Insert(int index, TBitmap* image, TBitmap* mask) {
  if (index < 0 || index > Count()) throw EListError(Format("List index out of bounds (%d)", index));
  int added = Add(image, mask);
  if (added < 0) return;
  for (int i = added; i > index; --i) ImageList_Copy(Handle(), i, Handle(), i - 1, ILCF_SWAP);
  Change();
}

void TCustomImageList::Replace(int index, TBitmap* image, TBitmap* mask) {
  CheckIndex(index);
  if (!ImageList_Replace(Handle(), index, image->Handle(), mask ? mask->Handle() : nullptr))
    throw EInvalidGraphicOperation("Failed to replace image");
  Change();
}

void TCustomImageList::CheckIndex(int index) {
  if (index < 0 || index >= Count()) throw EListError(Format("List index out of bounds (%d)", index));
}

void TCustomImageList::Delete(int index) {
  CheckIndex(index);
  ImageList_Remove(Handle(), index);
  Change();
}

void TCustomImageList::Clear() {
  if (handle_) ImageList_Remove(handle_, -1);
  Change();
}

bool TCustomImageList::Overlay(int index, int overlay) {
  if (overlay < 0 || overlay > 3 || index < 0 || index >= Count()) return false;
  return ImageList_SetOverlayImage(Handle(), index, overlay + 1) != FALSE;
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) {
  Draw(canvas, x, y, index, drawingStyle_, imageType_, enabled);
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, TDrawingStyle style,
                            TImageType type, bool enabled) {
  static const UINT styles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
  UINT flags = styles[style];
  if (type == itMask) flags |= ILD_MASK;
  DoDraw(index, canvas, x, y, flags, enabled);
}

void TCustomImageList::DrawOverlay(TCanvas* canvas, int x, int y, int index, int overlay,
                                   bool enabled) {
  if (overlay < 0 || overlay > 3) return;
  UINT flags = static_cast<UINT>(INDEXTOOVERLAYMASK(overlay + 1));
  static const UINT styles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
  DoDraw(index, canvas, x, y, flags | styles[drawingStyle_], enabled);
}

void TCustomImageList::DoDraw(int index, TCanvas* canvas, int x, int y, UINT style, bool enabled) {
  if (!handle_ || index < 0 || index >= Count() || !canvas) return;
  HDC dc = canvas->Handle();
  if (enabled) {
    ImageList_DrawEx(handle_, index, dc, x, y, 0, 0, CLR_DEFAULT, ListColor(blendColor_), style);
    return;
  }
  // The silhouette: every pixel of the image that is not transparent, drawn
  // once in the highlight colour one pixel down and right, and once in the shadow colour.
  // The image's opaque pixels are found by drawing it on white and on black: only the
  // transparent ones differ. Pixels are set one by one so that the canvas's own pen and
  // brush stay as they are.
  TGdiObject<HBITMAP> onWhite(CreateCompatibleBitmap(dc, width_, height_));
  TGdiObject<HBITMAP> onBlack(CreateCompatibleBitmap(dc, width_, height_));
  {
    TBitmapDC whiteDC(onWhite, dc);
    TBitmapDC blackDC(onBlack, dc);
    PatBlt(whiteDC, 0, 0, width_, height_, WHITENESS);
    PatBlt(blackDC, 0, 0, width_, height_, BLACKNESS);
    ImageList_DrawEx(handle_, index, whiteDC, 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_TRANSPARENT);
    ImageList_DrawEx(handle_, index, blackDC, 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_TRANSPARENT);
    std::vector<bool> opaque(static_cast<size_t>(width_) * height_);
    for (int j = 0; j < height_; ++j)
      for (int i = 0; i < width_; ++i)
        opaque[static_cast<size_t>(j) * width_ + i] =
            GetPixel(whiteDC, i, j) == GetPixel(blackDC, i, j);
    const COLORREF highlight = ColorToRGB(clBtnHighlight);
    const COLORREF shadow = ColorToRGB(clBtnShadow);
    for (int pass = 0; pass < 2; ++pass)
      for (int j = 0; j < height_; ++j)
        for (int i = 0; i < width_; ++i)
          if (opaque[static_cast<size_t>(j) * width_ + i]) {
            if (pass == 0)
              SetPixelV(dc, x + i + 1, y + j + 1, highlight);
            else
              SetPixelV(dc, x + i, y + j, shadow);
          }
  }
}

void TCustomImageList::GetBitmap(int index, TBitmap* image) {
  if (!image) return;
  CheckIndex(index);
  image->SetSize(width_, height_);
  TCanvas* canvas = image->Canvas();
  canvas->Brush()->SetColor(bkColor_ == clNone ? clWindow : bkColor_);
  canvas->Brush()->SetStyle(bsSolid);
  canvas->FillRect(RECT{0, 0, width_, height_});
  ImageList_DrawEx(handle_, index, canvas->Handle(), 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_TRANSPARENT);
}

void TCustomImageList::GetIcon(int index, TIcon* icon) {
  if (!icon) return;
  CheckIndex(index);
  icon->SetHandle(ImageList_GetIcon(handle_, index, ILD_NORMAL));
}

void TCustomImageList::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0 && changed_) Change();
}

void TCustomImageList::RegisterChanges(TChangeLink* link) {
  if (!link || link->sender_ == this) return;
  if (link->sender_) link->sender_->UnRegisterChanges(link);
  link->sender_ = this;
  links_.push_back(link);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* link) {
  auto it = std::find(links_.begin(), links_.end(), link);
  if (it == links_.end()) return;
  links_.erase(it);
  link->sender_ = nullptr;
}

void TCustomImageList::Change() {
  if (updateCount_ > 0 || ComponentState().Contains(csLoading)) {
    changed_ = true;
    return;
  }
  changed_ = false;
  for (TChangeLink* link : std::vector<TChangeLink*>(links_))
    if (link->OnChange) link->OnChange(this);
  if (OnChange) OnChange(this);
}

void TCustomImageList::SetResourceNames(const std::vector<std::string>& names) {
  resourceNames_ = names;
  if (!ComponentState().Contains(csLoading)) LoadResources();
}

void TCustomImageList::LoadResources() {
  BeginUpdate();
  try {
    Clear();
    for (const std::string& name : resourceNames_) {
      TBitmap bitmap;
      bitmap.LoadFromResourceName(GetModuleHandleA(nullptr), name);
      AddMasked(&bitmap, clDefault);
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TCustomImageList::Loaded() {
  TComponent::Loaded();
  if (!resourceNames_.empty()) LoadResources();
  if (changed_) Change();
}

void RegisterImgList() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClassInfo<TCustomImageList, TComponent>("TCustomImageList")
      .Event("OnChange", &TCustomImageList::OnChange);
  RegisterClassInfo<TImageList, TCustomImageList>("TImageList")
      .Integer("Width", &TImageList::Width, &TImageList::SetWidth, 16)
      .Integer("Height", &TImageList::Height, &TImageList::SetHeight, 16)
      .Boolean("Masked", &TImageList::Masked, &TImageList::SetMasked, true)
      .Color("BkColor", &TImageList::BkColor, &TImageList::SetBkColor, clNone)
      .Color("BlendColor", &TImageList::BlendColor, &TImageList::SetBlendColor, clNone)
      .Enum("DrawingStyle", DrawingStyleInfo, &TImageList::DrawingStyle, &TImageList::SetDrawingStyle, dsNormal)
      .Enum("ImageType", ImageTypeInfo, &TImageList::ImageType, &TImageList::SetImageType, itImage)
      .Boolean("ShareImages", &TImageList::ShareImages, &TImageList::SetShareImages, false)
      .Strings("Bitmaps", &TImageList::ResourceNames, &TImageList::SetResourceNames);
}
