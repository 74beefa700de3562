// The library's edits: the framed single-line edit (colours by state, a flat frame of its own
// with hot tracking, Enter as Tab, alignment, and a drop-down button in its border for the
// controls built on it), the framed memo with its caret's line and column, and the numeric
// edit that holds a number within a range.
//
// Index: EEditError · TFcCustomEdit / TFcEdit · TFcMemo · TFcNumericEdit · registration.
#pragma once

#include <functional>
#include <string>

#include "controls/FcCommon.h"
#include "platform/StdCtrls.h"

// What an edit refused, with the message its handler gave.
class EEditError : public Exception { using Exception::Exception; };

// Asked for the message of a rejected input; an empty message leaves the edit's own handling.
using TFcValidateErrorEvent = std::function<void(TObject* sender, std::string& message)>;

enum TFcDropDownButtonState { dbsUp, dbsDown };

// ---- TFcCustomEdit -------------------------------------------------------------------------

class TFcCustomEdit : public TFcFramedControl<TEdit> {
  MESSAGE_TABLE(TFcFramedControl<TEdit>)

 public:
  explicit TFcCustomEdit(TComponent* owner);

  // Enter moves the focus on as Tab does, and types nothing.
  bool TabOnEnter() const { return tabOnEnter_; }
  void SetTabOnEnter(bool value) { tabOnEnter_ = value; }
  // Makes the window again when it changes.
  TLeftRight Alignment() const { return alignment_; }
  virtual void SetAlignment(TLeftRight value);
  // The drop-down button's face while flat and hot (not themed).
  TColor FlatButtonColor() const { return flatButtonColor_; }
  void SetFlatButtonColor(TColor value);
  // The drop-down button is drawn flat until the edit is hot.
  bool FlatButtons() const { return flatButtons_; }
  virtual void SetFlatButtons(bool value);

  // Reports a rejected input: a non-empty message from OnValidateError beeps and raises
  // EEditError with it. Nothing else in the edit rejects input, so otherwise nothing happens.
  virtual void ValidateError();
  // Not published: set by the code that owns the edit.
  TFcValidateErrorEvent OnValidateError;

  // The drop-down button was pressed, and has come up again.
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;

 protected:
  void CreateParams(TCreateParams& params) override;
  void KeyPress(char& key) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  // The drop-down button looks hot with the edit.
  void SetHotFlag(TFcHotFlag flag, bool value) override;
  // The area the text takes; a control with parts inside the edit makes it smaller.
  virtual RECT EditRect() { return ClientRect(); }

  // A button in the edit's border, at the right (at the left under right-to-left reading),
  // one scroll bar wide; the edit's text area gives way to it.
  bool ButtonVisible() const { return buttonVisible_; }
  virtual void SetButtonVisible(bool value);
  TFcDropDownButtonState ButtonState() const { return buttonState_; }
  virtual void SetButtonState(TFcDropDownButtonState value);
  bool DroppedDown() const { return droppedDown_; }
  // The button's rect in window coordinates (the border's top-left corner is (0, 0)).
  RECT ButtonRect();
  // Draws the button into `rect` in its state: the visual style's drop-down button, a flat
  // face with an arrow, or the system's combo-box button.
  virtual void DrawButton(TCanvas* canvas, const RECT& rect);
  // Fire OnDropDown and OnCloseUp.
  virtual void DropDown();
  virtual void CloseUp();

 private:
  int ButtonWidth() const;
  void WMNCPaint(TMessage& m);
  void WMNCCalcSize(TWMObject<RECT>& m);
  void WMNCHitTest(TWMNCHitTest& m);
  void WMSetCursor(TMessage& m);
  void WMButtonDown(TMessage& m);
  void PressButton();

  bool tabOnEnter_ = false;
  TLeftRight alignment_ = taLeftJustify;
  TColor flatButtonColor_ = clBtnFace;
  bool flatButtons_ = false;
  bool buttonVisible_ = false;
  TFcDropDownButtonState buttonState_ = dbsUp;
  bool droppedDown_ = false;
  bool overButton_ = false;
};

class TFcEdit : public TFcCustomEdit {
 public:
  using TFcCustomEdit::TFcCustomEdit;
};

// ---- TFcMemo ------------------------------------------------------------------------------------

// The caret's line and column, both from 1.
using TFcLineColChangeEvent = std::function<void(TObject* sender, int line, int column)>;
// Whether text is selected, and whether the clipboard holds text to paste.
using TFcClipboardChangeEvent = std::function<void(TObject* sender, bool hasSelection, bool clipboardHasText)>;

class TFcMemo : public TFcFramedControl<TMemo> {
  MESSAGE_TABLE(TFcFramedControl<TMemo>)

 public:
  explicit TFcMemo(TComponent* owner);

  bool TabOnEnter() const { return tabOnEnter_; }
  void SetTabOnEnter(bool value) { tabOnEnter_ = value; }

  // The caret's line (from 1): the selection's start line, or with a selection the caret's.
  int Line();
  // Puts the caret at the start of the line and scrolls that line to the top; a line outside
  // 1..the line count is ignored.
  void SetLine(int value);
  // The caret's column in its line (from 1).
  int Column();
  // Puts the caret at that column of its line; a column below 1 or beyond the line's end
  // (length + 1) is ignored.
  void SetColumn(int value);

  // After every change of text, click, key and at the window's creation.
  TFcLineColChangeEvent OnLineColChange;
  // After every line and column report, mouse release and at the window's creation.
  TFcClipboardChangeEvent OnClipboardChange;

 protected:
  void CreateWnd() override;
  void Change() override;
  void Click() override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyPress(char& key) override;
  // One line a notch, or the system's wheel lines with Ctrl; the wheel never goes further.
  bool DoMouseWheel(TShiftState shift, int wheelDelta, POINT mousePos) override;
  virtual void DoLineColChange(int line, int column);
  virtual void DoClipboardChange(bool hasSelection, bool clipboardHasText);

 private:
  void WMNCPaint(TMessage& m);
  void WMKey(TMessage& m);
  // The character index of the caret.
  int CaretIndex();
  void ReportLineCol();
  void ReportClipboard();

  bool tabOnEnter_ = false;
};

// ---- TFcNumericEdit -----------------------------------------------------------------------------

// A value outside Min..Max when the edit is left: `adjusted` is the limit it would become; a
// handler that clears `autoCorrect` keeps the value typed and the focus in the edit.
using TFcRangeErrorEvent =
    std::function<void(TObject* sender, double entered, double adjusted, bool& autoCorrect)>;

// An edit for a number: only digits, signs and (unless IntegersOnly) the decimal separator can
// be typed; the text is read leniently (every "-" or "(" makes it negative, other characters
// are dropped); leaving the edit checks the range and writes the number in DisplayFormat.
class TFcNumericEdit : public TFcEdit {
  MESSAGE_TABLE(TFcEdit)

 public:
  // 65 × 21, right-aligned, showing "0".
  explicit TFcNumericEdit(TComponent* owner);

  // An empty text is kept and reads as BlankValue.
  bool AllowBlank() const { return allowBlank_; }
  void SetAllowBlank(bool value) { allowBlank_ = value; }
  double BlankValue() const { return blankValue_; }
  void SetBlankValue(double value) { blankValue_ = value; }
  // Checks the range even when Min equals Max (without it 0..0 means no range).
  bool CheckRange() const { return checkRange_; }
  void SetCheckRange(bool value) { checkRange_ = value; }
  // Switched on, rounds Value; the decimal separator cannot be typed while on.
  bool IntegersOnly() const { return integersOnly_; }
  virtual void SetIntegersOnly(bool value);
  // Each pushes the other along so that Min ≤ Max.
  double Min() const { return min_; }
  virtual void SetMin(double value);
  double Max() const { return max_; }
  virtual void SetMax(double value);
  // The number the text shows: an empty text gives BlankValue with AllowBlank, else Min (and
  // the text becomes Min). Setting a different number writes it in DisplayFormat.
  virtual double Value();
  virtual void SetValue(double value);
  // Value rounded, within the 32-bit range.
  int IntValue();
  void SetIntValue(int value) { SetValue(value); }
  // A picture as FormatFloat takes it; the default groups thousands, shows no decimals and
  // puts negative numbers in parentheses.
  const std::string& DisplayFormat() const { return displayFormat_; }
  virtual void SetDisplayFormat(const std::string& value);

  // The value last accepted on entering or leaving the edit, and whether the last range check
  // changed it.
  double FieldValue() const { return fieldValue_; }
  bool ValueModified() const { return modified_; }

  // Whether the key may be typed at the caret and selection as they are now.
  virtual bool IsValidKey(char key);
  virtual std::string ValueToText(double value);
  // Negative when the text holds "-" or "(" anywhere; digits and the decimal separator are
  // kept in order and the rest dropped; nothing kept, or a number that does not convert
  // (beeps), gives 0.
  virtual double TextToValue(const std::string& text);

  TFcRangeErrorEvent OnRangeError;

  void Loaded() override;

 protected:
  void KeyPress(char& key) override;
  void Change() override;
  // Within Min..Max when a range is set: a value outside becomes the limit unless the
  // OnRangeError handler clears autoCorrect, which keeps the value and asks to keep the focus.
  virtual double CheckValueRange(double value, bool& keepFocus);
  virtual void DoRangeError(double entered, double adjusted, bool& autoCorrect);

 private:
  void CMEnter(TMessage& m);
  void CMExit(TMessage& m);
  void WMCutPaste(TMessage& m);

  bool allowBlank_ = false;
  double blankValue_ = 0;
  bool checkRange_ = false;
  bool integersOnly_ = true;
  double min_ = 0;
  double max_ = 0;
  std::string displayFormat_ = ",0;(,0)";
  double fieldValue_ = 0;
  bool modified_ = false;
  bool loading_ = false;
  bool exiting_ = false;
};

// Registers TFcEdit, TFcMemo and TFcNumericEdit for stored layouts.
void RegisterFcEdit();
