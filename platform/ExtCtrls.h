// The panel (a container with bevels and a caption) and the image (a picture on the form),
// standard controls the control library builds on.
#pragma once

#include <memory>

#include "platform/Controls.h"
#include "platform/StdCtrls.h"

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
using TBevelWidth = int;

class TCustomPanel : public TCustomControl {
  MESSAGE_TABLE(TCustomControl)

 public:
  explicit TCustomPanel(TComponent* owner);

  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut value);
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut value);
  TBevelWidth BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(TBevelWidth value);
  // Room between the outer and the inner bevel, in the panel's colour.
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  // Repaint the whole panel when its size changes (else only what the change uncovers).
  bool FullRepaint() const { return fullRepaint_; }
  void SetFullRepaint(bool value) { fullRepaint_ = value; }
  bool Locked() const { return locked_; }
  void SetLocked(bool value) { locked_ = value; }

 protected:
  void CreateParams(TCreateParams& params) override;
  void AdjustClientRect(RECT& rect) override;
  void Paint() override;
  void WMSize(TWMSize& m);

 private:
  TBevelCut bevelInner_ = bvNone;
  TBevelCut bevelOuter_ = bvRaised;
  TBevelWidth bevelWidth_ = 1;
  int borderWidth_ = 0;
  TBorderStyle borderStyle_ = bsNone;
  TAlignment alignment_ = taCenter;
  bool fullRepaint_ = true;
  bool locked_ = false;
};

class TPanel : public TCustomPanel {
 public:
  using TCustomPanel::TCustomPanel;
};

// A picture drawn at its own size, centred or stretched.
class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* owner);
  ~TImage() override;

  TPicture* Picture() const { return picture_.get(); }
  void SetPicture(TPicture* value) { picture_->Assign(value); }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool value);
  bool Center() const { return center_; }
  void SetCenter(bool value);
  // Keeps the picture's shape when stretched.
  bool Proportional() const { return proportional_; }
  void SetProportional(bool value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  // The image takes the picture's size.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);

  // Where the picture goes in the client area.
  RECT DestRect();

 protected:
  void Paint() override;

 private:
  void PictureChanged();
  std::unique_ptr<TPicture> picture_;
  bool stretch_ = false;
  bool center_ = false;
  bool proportional_ = false;
  bool transparent_ = false;
  bool autoSize_ = false;
};

// Registers the panel and the image for stored layouts (and the standard controls). Once is
// enough.
void RegisterExtCtrls();
