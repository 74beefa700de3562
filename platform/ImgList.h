// Image lists: equal-sized images in one comctl32 list, drawn by index onto canvases (greyed
// for disabled glyphs), owned by the list or shared (the shell's system image lists).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "platform/Classes.h"
#include "platform/Colors.h"
#include "platform/Graphics.h"

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType { itImage, itMask };

class TCustomImageList;

// Lets a control hear of every change of an image list it shows, without taking the list's
// own OnChange.
class TChangeLink {
 public:
  TChangeLink() = default;
  ~TChangeLink();
  TChangeLink(const TChangeLink&) = delete;
  TChangeLink& operator=(const TChangeLink&) = delete;

  TCustomImageList* Sender() const { return sender_; }
  TNotifyEvent OnChange;

 private:
  friend class TCustomImageList;
  TCustomImageList* sender_ = nullptr;
};

class TCustomImageList : public TComponent {
 public:
  explicit TCustomImageList(TComponent* owner);
  TCustomImageList(TComponent* owner, int width, int height);
  ~TCustomImageList() override;

  // Changing the size of a list empties it.
  int Width() const { return width_; }
  void SetWidth(int value);
  int Height() const { return height_; }
  void SetHeight(int value);
  // Images keep a mask, so their background shows what lies behind them.
  bool Masked() const { return masked_; }
  void SetMasked(bool value);
  // Behind masked images; clNone draws them transparently.
  TColor BkColor() const;
  void SetBkColor(TColor value);
  // Blended over selected and focused images.
  TColor BlendColor() const { return blendColor_; }
  void SetBlendColor(TColor value) { blendColor_ = value; }
  TDrawingStyle DrawingStyle() const { return drawingStyle_; }
  void SetDrawingStyle(TDrawingStyle value) { drawingStyle_ = value; }
  TImageType ImageType() const { return imageType_; }
  void SetImageType(TImageType value) { imageType_ = value; }

  // The list, made on first use.
  HIMAGELIST Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }
  // Takes over a list made elsewhere; its size becomes this list's size. With ShareImages
  // the list is left alone when this one lets it go.
  void SetHandle(HIMAGELIST value);
  bool ShareImages() const { return shareImages_; }
  void SetShareImages(bool value) { shareImages_ = value; }
  int Count() const;

  // Each returns the index of the (first) image added, -1 when the list refused it. A bitmap
  // wider than Width gives one image per Width pixels.
  int Add(TBitmap* image, TBitmap* mask);
  // The pixels of `maskColor` become transparent.
  int AddMasked(TBitmap* image, TColor maskColor);
  int AddIcon(TIcon* icon);
  void Insert(int index, TBitmap* image, TBitmap* mask);
  void Replace(int index, TBitmap* image, TBitmap* mask);
  // Raises EListError for an index out of range.
  void Delete(int index);
  void Clear();
  // Makes image `index` overlay number `overlay` (0 to 3) for DrawOverlay.
  bool Overlay(int index, int overlay);

  // Disabled images are drawn greyed: an embossed silhouette in the button shadow colours.
  void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true);
  void Draw(TCanvas* canvas, int x, int y, int index, TDrawingStyle style, TImageType type,
            bool enabled = true);
  void DrawOverlay(TCanvas* canvas, int x, int y, int index, int overlay, bool enabled = true);
  // Copies image `index` onto `image` (sized to it, the background in BkColor or clWindow).
  void GetBitmap(int index, TBitmap* image);
  void GetIcon(int index, TIcon* icon);

  void BeginUpdate() { ++updateCount_; }
  void EndUpdate();
  void RegisterChanges(TChangeLink* link);
  void UnRegisterChanges(TChangeLink* link);

  // Bitmap resources of the program, each a strip of images with its bottom-left pixel as
  // the transparent colour; a layout stores the list as these names. Setting them reloads
  // the list (once loading is over).
  const std::vector<std::string>& ResourceNames() const { return resourceNames_; }
  void SetResourceNames(const std::vector<std::string>& names);

  void Loaded() override;

  TNotifyEvent OnChange;

 protected:
  virtual void Change();
  void DoDraw(int index, TCanvas* canvas, int x, int y, UINT style, bool enabled);

 private:
  void FreeHandle();
  void CheckIndex(int index);
  void LoadResources();

  HIMAGELIST handle_ = nullptr;
  int width_ = 16;
  int height_ = 16;
  bool masked_ = true;
  bool shareImages_ = false;
  TColor bkColor_ = clNone;
  TColor blendColor_ = clNone;
  TDrawingStyle drawingStyle_ = dsNormal;
  TImageType imageType_ = itImage;
  int updateCount_ = 0;
  bool changed_ = false;
  std::vector<TChangeLink*> links_;
  std::vector<std::string> resourceNames_;
};

class TImageList : public TCustomImageList {
 public:
  using TCustomImageList::TCustomImageList;
};

// Registers the image list for stored layouts. Once is enough.
void RegisterImgList();
