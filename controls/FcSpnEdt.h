// Spin buttons and the spin edit: a pair of auto-repeating arrow buttons (up/down or
// left/right), and the framed edit with such a pair at its right edge holding a number within
// a range that the buttons, the arrow and page keys and the mouse wheel step.
//
// Index: TFcSpinButtons · TFcSpinEdit · registration.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "controls/FcButton.h"
#include "controls/FcEdit.h"

enum TSpinDirection { sdUpDown, sdLeftRight };
enum TSpinButtonType { sbUp, sbDown };
extern const TEnumInfo SpinDirectionInfo;

// Asked before every step; a handler that clears `allowChange` stops it.
using TSpinChangingEvent = std::function<void(TObject* sender, bool& allowChange)>;
// After every step, with the button (or key) that made it.
using TSpinButtonEvent = std::function<void(TObject* sender, TSpinButtonType button)>;

// ---- TFcSpinButtons ----------------------------------------------------------------------------

// Two control buttons side by side (orHorizontal: left and right) or one above the other.
// Holding a button repeats its click.
class TFcSpinButtons : public TWinControl {
  MESSAGE_TABLE(TWinControl)

 public:
  // 16 × 25, up/down arrows one above the other.
  explicit TFcSpinButtons(TComponent* owner);

  // The arrows the buttons show; a change puts back the arrows of glyphs set before.
  TSpinDirection Direction() const { return direction_; }
  virtual void SetDirection(TSpinDirection value);
  // Turning the pair halves (vertical) or doubles (horizontal) its width, except while a
  // layout is read.
  TOrientation Orientation() const { return orientation_; }
  virtual void SetOrientation(TOrientation value);
  bool Flat() const { return flat_; }
  virtual void SetFlat(bool value);
  void SetColor(TColor value) override;
  void SetEnabled(bool value) override;
  // Focused before a button acts (when it takes the focus by Tab).
  TWinControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* value);
  // A bitmap shows instead of the arrow; nullptr puts the arrow back.
  TBitmap* GlyphUpRight() const { return upRight_->Glyph(); }
  void SetGlyphUpRight(TBitmap* value) { SetGlyph(upRight_, upRightCustom_, value); }
  TBitmap* GlyphDownLeft() const { return downLeft_->Glyph(); }
  void SetGlyphDownLeft(TBitmap* value) { SetGlyph(downLeft_, downLeftCustom_, value); }
  bool GlyphUpRightCustom() const { return upRightCustom_; }
  bool GlyphDownLeftCustom() const { return downLeftCustom_; }
  TNumGlyphs NumGlyphsUpRight() const { return upRight_->NumGlyphs(); }
  void SetNumGlyphsUpRight(TNumGlyphs value) { upRight_->SetNumGlyphs(value); }
  TNumGlyphs NumGlyphsDownLeft() const { return downLeft_->NumGlyphs(); }
  void SetNumGlyphsDownLeft(TNumGlyphs value) { downLeft_->SetNumGlyphs(value); }

  TFcControlButton* UpRightButton() const { return upRight_; }
  TFcControlButton* DownLeftButton() const { return downLeft_; }

  void SetBounds(int left, int top, int width, int height) override;
  void Loaded() override;

  TNotifyEvent OnUpRightClick;
  TNotifyEvent OnDownLeftClick;

 protected:
  virtual TFcControlButton* CreateButton();
  virtual void ButtonClick(TFcControlButton* button);
  // A left press on a button: the focus control, then the pair itself, takes the focus when
  // it should; one that cannot take it ends the press.
  virtual void ButtonMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  // Places the buttons in a pair of that size.
  virtual void LayoutButtons(int width, int height);
  virtual void DoUpRightClick();
  virtual void DoDownLeftClick();
  void KeyDown(WORD& key, TShiftState shift) override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void SetGlyph(TFcControlButton* button, bool& custom, TBitmap* value);
  void ApplyArrowStyles();
  void WMSize(TMessage& m);
  void WMGetDlgCode(TMessage& m);

  TFcControlButton* upRight_ = nullptr;
  TFcControlButton* downLeft_ = nullptr;
  bool upRightCustom_ = false;
  bool downLeftCustom_ = false;
  TSpinDirection direction_ = sdUpDown;
  TOrientation orientation_ = orVertical;
  bool flat_ = false;
  TWinControl* focusControl_ = nullptr;
};

// ---- TFcSpinEdit -------------------------------------------------------------------------------

class TFcSpinEdit : public TFcCustomEdit {
  MESSAGE_TABLE(TFcCustomEdit)

 public:
  // 47 wide, right-aligned, showing 0, with the buttons 17 wide at its right edge.
  explicit TFcSpinEdit(TComponent* owner);

  // The number the text shows: a text that is not a number reads as Min; an empty text as
  // BlankValue with AllowBlank (otherwise the text becomes Min). Set, it is kept within the
  // range and written with Decimals places.
  double Value();
  void SetValue(double value);
  // Value rounded to the nearest integer (halves to even), within the 32-bit range.
  int IntValue();
  void SetIntValue(int value) { SetValue(value); }
  // Each pushes the other along so that Min ≤ Max. Min equal to Max is no range unless
  // CheckRange is on.
  double Min() const { return min_; }
  void SetMin(double value);
  double Max() const { return max_; }
  void SetMax(double value);
  bool CheckRange() const { return checkRange_; }
  void SetCheckRange(bool value);
  // The value limited to the range (see Min).
  double CheckValue(double value) const;
  double Increment() const { return increment_; }
  void SetIncrement(double value) { increment_ = value; }
  double PageSize() const { return pageSize_; }
  void SetPageSize(double value) { pageSize_ = value; }
  BYTE Decimals() const { return decimals_; }
  void SetDecimals(BYTE value);
  // On, the value is rounded and has no decimals; the decimal separator cannot be typed.
  bool IntegersOnly() const { return integersOnly_; }
  void SetIntegersOnly(bool value);
  // Off, typing changes nothing: only stepping does.
  bool AllowKeyEdit() const { return allowKeyEdit_; }
  void SetAllowKeyEdit(bool value) { allowKeyEdit_ = value; }
  bool AllowBlank() const { return allowBlank_; }
  void SetAllowBlank(bool value) { allowBlank_ = value; }
  double BlankValue() const { return blankValue_; }
  void SetBlankValue(double value) { blankValue_ = value; }
  // The width of one button (negative: 0).
  int ButtonWidth() const { return buttonWidth_; }
  void SetButtonWidth(int value);
  TSpinDirection Direction() const { return buttons_->Direction(); }
  void SetDirection(TSpinDirection value) { buttons_->SetDirection(value); }
  TOrientation Orientation() const { return buttons_->Orientation(); }
  void SetOrientation(TOrientation value);
  TBitmap* ButtonUpGlyph() const { return buttons_->GlyphUpRight(); }
  void SetButtonUpGlyph(TBitmap* value) { buttons_->SetGlyphUpRight(value); }
  TBitmap* ButtonDownGlyph() const { return buttons_->GlyphDownLeft(); }
  void SetButtonDownGlyph(TBitmap* value) { buttons_->SetGlyphDownLeft(value); }
  TNumGlyphs ButtonUpNumGlyphs() const { return buttons_->NumGlyphsUpRight(); }
  void SetButtonUpNumGlyphs(TNumGlyphs value) { buttons_->SetNumGlyphsUpRight(value); }
  TNumGlyphs ButtonDownNumGlyphs() const { return buttons_->NumGlyphsDownLeft(); }
  void SetButtonDownNumGlyphs(TNumGlyphs value) { buttons_->SetNumGlyphsDownLeft(value); }
  void SetFlatButtons(bool value) override;
  void SetFrameStyle(TFrameStyle value) override;

  TFcSpinButtons* Buttons() const { return buttons_; }
  // The button of that kind: up/right for sbUp, down/left for sbDown.
  TFcControlButton* GetButton(TSpinButtonType type) const;
  // One step up or down; a read-only edit refuses it, OnChanging may.
  virtual void IncValue(double amount);
  virtual void DecValue(double amount);

  void Loaded() override;

  TSpinChangingEvent OnChanging;
  TSpinButtonEvent OnButtonClick;

 protected:
  void CreateWnd() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  bool DoMouseWheel(TShiftState shift, int wheelDelta, POINT mousePos) override;
  void SetHotFlag(TFcHotFlag flag, bool value) override;
  RECT EditRect() override;

  // Places the buttons at the right edge (the left one under right-to-left reading) and keeps
  // the text clear of them.
  virtual void ResizeButtons();
  virtual void SetEditMargins();
  virtual bool IsValidChar(char key);
  virtual void UpRightClick();
  virtual void DownLeftClick();
  virtual void DoChanging(bool& allowChange);
  virtual void DoButtonClick(TSpinButtonType button);
  // The signal for a refused key or step.
  virtual void BeepInvalidKey();

 private:
  void WMSize(TMessage& m);
  void WMCutPaste(TMessage& m);
  void CMEnter(TMessage& m);
  void CMExit(TMessage& m);
  void CMEnabledChanged(TMessage& m);
  void CMFontChanged(TMessage& m);
  void Step(double amount, TSpinButtonType button);
  std::string FormatValue(double value) const;
  // The text as a number; false when it is not one.
  bool ReadText(double& value) const;
  void ShowButtonsHot();

  TFcSpinButtons* buttons_;
  double min_ = 0;
  double max_ = 100;
  double increment_ = 1;
  double pageSize_ = 10;
  BYTE decimals_ = 0;
  bool integersOnly_ = true;
  bool checkRange_ = false;
  bool allowKeyEdit_ = false;
  bool allowBlank_ = false;
  double blankValue_ = 0;
  int buttonWidth_ = 17;
  // The edit is being made as high as its font needs.
  bool growing_ = false;
};

// Registers the spin buttons and the spin edit for stored layouts.
void RegisterFcSpnEdt();
