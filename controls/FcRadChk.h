// The owner-drawn radio button and check box: a small state glyph beside the caption, taken
// from a strip of the user's own, the visual style, a recoloured template (the hot-tracked
// look) or the system's frame-control drawing, in that order of preference.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "controls/FcButton.h"
#include "controls/FcCommon.h"
#include "platform/StdCtrls.h"

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
extern const TEnumInfo CheckBoxStateInfo;

class TFcCheckedActionLink;

// The common base of the radio button and the check box: the glyph beside the caption, its
// sources and colours, and a frame controller that may supply the frame colours.
class TFcCustomGlyphButton : public TFcCustomButton, public IFcFramingNotification {
  MESSAGE_TABLE(TFcCustomButton)

 public:
  explicit TFcCustomGlyphButton(TComponent* owner);
  ~TFcCustomGlyphButton() override;

  // taRightJustify: the glyph at the left and the caption at its right; taLeftJustify the
  // other way round.
  TLeftRight Alignment() const { return alignment_; }
  virtual void SetAlignment(TLeftRight value);
  // A strip of glyph cells of the user's own, owned; assigning copies it, and a strip that is
  // not empty is used at once.
  TBitmap* CustomGlyphs() const { return customGlyphs_.get(); }
  virtual void SetCustomGlyphs(TBitmap* value);
  bool UseCustomGlyphs() const { return useCustomGlyphs_; }
  virtual void SetUseCustomGlyphs(bool value);
  // The program resource the strip came from (written to layouts by this name); "" once it
  // was changed otherwise.
  const std::string& CustomGlyphsResource() const { return customGlyphsResource_; }
  void LoadCustomGlyphsResource(const std::string& name);
  TColor FrameColor() const { return frameColor_; }
  virtual void SetFrameColor(TColor value);
  TColor DisabledColor() const { return disabledColor_; }
  virtual void SetDisabledColor(TColor value);
  // The colour of the glyph pixels that let the background show.
  TColor TransparentColor() const { return transparentColor_; }
  virtual void SetTransparentColor(TColor value);
  // The colour of glyph pixels that show the window colour.
  TColor WinMaskColor() const { return winMaskColor_; }
  virtual void SetWinMaskColor(TColor value);
  TFcFrameController* FrameController() const { return frameController_; }
  virtual void SetFrameController(TFcFrameController* value);
  void SetTransparent(bool value) override;
  // Enter moves the focus on, as Tab does.
  bool TabOnEnter() const { return tabOnEnter_; }
  void SetTabOnEnter(bool value) { tabOnEnter_ = value; }
  virtual bool Checked() const { return false; }
  virtual void SetChecked(bool) {}
  // Checked is written to layouts unless an action supplies it.
  bool IsCheckedStored();

  // How many cells a strip of the user's own holds, and the size of one cell (13 × 13 for
  // the other sources; 0 wide for a strip narrower than its cell count).
  int GlyphCellCount() const { return glyphCellCount_; }
  int GlyphCellWidth() const;
  int GlyphCellHeight() const;
  // Where the glyph goes; also what is repainted when the mouse comes and goes.
  RECT HotAreaRect() override;

  // Takes the frame and disabled colours of the frame controller, when it shows frames.
  void UpdateFrameSettings() override;
  // The colour moved off the transparent colour, the window-mask colour and the middle grey,
  // so that it survives the glyph's masking: one channel changed by 1.
  virtual TColor AvoidMaskColors(TColor color);
  // Renders the current glyph into `glyph` (one cell in size).
  virtual void MakeGlyph(TBitmap* glyph) = 0;

 protected:
  void Paint() override;
  void RefreshState() override;
  void RedrawNow() override;
  void Resize() override;
  void Notification(TComponent* component, TOperation operation) override;
  std::unique_ptr<TControlActionLink> CreateActionLink() override;
  void ActionChange(TObject* sender, bool checkDefaults) override;
  void KeyPress(char& key) override;

  // Draws the glyph on `canvas` at HotAreaRect, composed over what the canvas shows.
  virtual void PaintGlyph(TCanvas* canvas);
  // Cell `index` of the strip of the user's own into `target`.
  virtual void CutGlyphCell(TBitmap* target, int index);
  // The recoloured template `name` (the hot-tracked look) into `glyph`.
  void LoadTemplateGlyph(TBitmap* glyph, const char* name, bool radio);
  void SetGlyphCellCount(int value) { glyphCellCount_ = value; }
  // A state change fires OnClick, except while a layout is being read.
  void ClickForStateChange();

  void WMEraseBkgnd(TWMDC& m);
  void CMStaleAndInvalidate(TMessage& m);

 private:
  void CaptureBackground();
  void PaintAtOnce();

  TLeftRight alignment_ = taRightJustify;
  std::unique_ptr<TBitmap> customGlyphs_;
  std::string customGlyphsResource_;
  bool useCustomGlyphs_ = false;
  TColor frameColor_ = clBtnShadow;
  TColor disabledColor_ = clBtnFace;
  TColor transparentColor_ = clOlive;
  TColor winMaskColor_ = clLime;
  TFcFrameController* frameController_ = nullptr;
  bool tabOnEnter_ = false;
  int glyphCellCount_ = 1;
  std::unique_ptr<TBitmap> backgroundCache_;
  bool backgroundStale_ = true;
  // Kept from paint to paint.
  std::unique_ptr<TBitmap> paintBuffer_;
  std::unique_ptr<TBitmap> glyphBuffer_;
};

// A radio button: checking it unchecks the other radio buttons of its parent (without their
// clicks) and then fires its own OnClick. Only the checked one is a tab stop, so Tab enters a
// group at it; receiving the focus from the keyboard checks it.
class TFcRadioButton : public TFcCustomGlyphButton {
  MESSAGE_TABLE(TFcCustomGlyphButton)

 public:
  explicit TFcRadioButton(TComponent* owner);

  bool Checked() const override { return checked_; }
  void SetChecked(bool value) override;
  void MakeGlyph(TBitmap* glyph) override;

 protected:
  void AdvanceState() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

  void WMSetFocus(TMessage& m);
  void WMLButtonDblClk(TMessage& m);
  void CMDialogChar(TWMKey& m);
  void CMDialogKey(TWMKey& m);

 private:
  bool checked_ = false;
  bool clickByMouse_ = false;
};

// A check box: unchecked, checked and, with AllowGrayed, grayed. Every change of State fires
// OnClick, also one made by code.
class TFcCustomCheckBox : public TFcCustomGlyphButton {
  MESSAGE_TABLE(TFcCustomGlyphButton)

 public:
  explicit TFcCustomCheckBox(TComponent* owner);

  TCheckBoxState State() const { return state_; }
  virtual void SetState(TCheckBoxState value);
  // Reads True only for cbChecked.
  bool Checked() const override { return state_ == cbChecked; }
  void SetChecked(bool value) override;
  // Clicks go unchecked → grayed → checked → unchecked instead of unchecked ↔ checked.
  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool value) { allowGrayed_ = value; }
  void MakeGlyph(TBitmap* glyph) override;

 protected:
  void AdvanceState() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyUp(WORD& key, TShiftState shift) override;

  void WMKillFocus(TMessage& m);
  void CMDialogChar(TWMKey& m);

 private:
  TCheckBoxState state_ = cbUnchecked;
  bool allowGrayed_ = false;
};

class TFcCheckBox : public TFcCustomCheckBox {
 public:
  using TFcCustomCheckBox::TFcCustomCheckBox;
};

// Links a glyph button's Checked to the action's Checked while the button shows the action's
// value.
class TFcCheckedActionLink : public TWinControlActionLink {
 public:
  explicit TFcCheckedActionLink(TFcCustomGlyphButton* client) : TWinControlActionLink(client), button_(client) {}
  bool IsCheckedLinked() override;
  void SetChecked(bool value) override;

 private:
  TFcCustomGlyphButton* button_;
};

// Registers the radio button and the check box for stored layouts.
void RegisterFcRadChk();
