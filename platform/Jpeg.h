// JPEG pictures (the layouts' logos and banners), decoded with libjpeg into a 24-bit bitmap.
#pragma once

#include <cstddef>
#include <memory>

#include "platform/Graphics.h"

// Data that libjpeg cannot decode; the message carries libjpeg's own explanation.
class EJPEG : public EInvalidGraphic { using EInvalidGraphic::EInvalidGraphic; };

class TJPEGImage : public TGraphic {
 public:
  TJPEGImage();
  ~TJPEGImage() override;
  TJPEGImage(const TJPEGImage&) = delete;
  TJPEGImage& operator=(const TJPEGImage&) = delete;

  void Assign(TPersistent* source) override;

  bool Empty() const override { return bitmap_->Empty(); }
  int Width() const override { return bitmap_->Width(); }
  int Height() const override { return bitmap_->Height(); }
  void Draw(TCanvas* canvas, const RECT& rect) override;

  // Decodes a whole JPEG file image; raises EJPEG for data libjpeg rejects, including data
  // it would only warn about (a truncated or damaged stream), and keeps the old picture.
  void LoadFromMemory(const void* data, std::size_t size) override;
  std::unique_ptr<TGraphic> Clone() override;

 protected:
  // An RCDATA resource holding a JPEG file image.
  void LoadFromResource(HINSTANCE instance, LPCSTR name) override;

 private:
  std::unique_ptr<TBitmap> bitmap_;
};
