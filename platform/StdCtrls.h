// The standard controls the control library builds on: the label (windowless text), and the
// single- and multi-line edits over the system's EDIT window.
#pragma once

#include <string>
#include <vector>

#include "platform/Controls.h"
#include "platform/StringList.h"

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
using TLeftRight = TAlignment;
enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// ---- Label ------------------------------------------------------------------------------------

class TCustomLabel : public TGraphicControl {
 public:
  explicit TCustomLabel(TComponent* owner);

  static TMessageTable& Messages();
  const TMessageTable& ClassMessages() const override { return Messages(); }

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  // The label takes the size of its text (keeping its right edge when right-aligned).
  bool AutoSize() const { return autoSize_; }
  virtual void SetAutoSize(bool value);
  // "&" marks the accelerator, which focuses FocusControl.
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool value);
  // Nothing is painted behind the text.
  bool Transparent() const { return !controlStyle_.Contains(csOpaque); }
  void SetTransparent(bool value);
  TWinControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* value);

  void Loaded() override;

 protected:
  void Paint() override;
  void Notification(TComponent* component, TOperation operation) override;
  // Sizes the label to its text when AutoSize is on.
  virtual void AdjustBounds();
  // Draws (or with DT_CALCRECT measures) the caption in `rect` with `flags`.
  virtual void DoDrawText(RECT& rect, UINT flags);
  // The caption as it is drawn (a lone "&" shows as itself).
  virtual std::string GetLabelText() const { return Caption(); }

 private:
  TAlignment alignment_ = taLeftJustify;
  TTextLayout layout_ = tlTop;
  bool wordWrap_ = false;
  bool autoSize_ = true;
  bool showAccelChar_ = true;
  TWinControl* focusControl_ = nullptr;
};

class TLabel : public TCustomLabel {
 public:
  using TCustomLabel::TCustomLabel;
};

// ---- Edits ------------------------------------------------------------------------------------

class TCustomEdit : public TWinControl {
 public:
  explicit TCustomEdit(TComponent* owner);

  static TMessageTable& Messages();
  const TMessageTable& ClassMessages() const override { return Messages(); }

  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  // The most characters the user can type; 0 is no limit.
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int value);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  char PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(char value);
  TEditCharCase CharCase() const { return charCase_; }
  void SetCharCase(TEditCharCase value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool value);
  // All text is selected when the edit gets the focus from the keyboard.
  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool value) { autoSelect_ = value; }
  // The text was changed by the user since it was last set.
  bool Modified() const;
  void SetModified(bool value);

  int SelStart() const;
  void SetSelStart(int value);
  int SelLength() const;
  void SetSelLength(int value);
  std::string SelText() const;
  void SetSelText(const std::string& value);
  void SelectAll();
  void Clear() { SetText(""); }

  TNotifyEvent OnChange;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  // After every change of the text: OnChange.
  virtual void Change();
  void CNCommand(TMessage& m);
  void CMEnter(TMessage& m);

 private:
  TBorderStyle borderStyle_ = bsSingle;
  int maxLength_ = 0;
  bool readOnly_ = false;
  char passwordChar_ = 0;
  TEditCharCase charCase_ = ecNormal;
  bool hideSelection_ = true;
  bool autoSelect_ = true;
  bool modified_ = false;
  int selStart_ = 0;
  int selLength_ = 0;
};

class TEdit : public TCustomEdit {
 public:
  using TCustomEdit::TCustomEdit;
};

class TCustomMemo;

// The lines of a memo: its text split at line breaks, read and written through the text.
class TMemoStrings : public TStrings {
 public:
  explicit TMemoStrings(TCustomMemo* memo) : memo_(memo) {}
  int Count() const override;
  std::string Strings(int index) const override;
  void Put(int index, const std::string& s) override;
  void Insert(int index, const std::string& s) override;
  void Delete(int index) override;
  void Clear() override;

 private:
  std::vector<std::string> Lines() const;
  void SetLines(const std::vector<std::string>& lines);
  TCustomMemo* memo_;
};

class TCustomMemo : public TCustomEdit {
 public:
  explicit TCustomMemo(TComponent* owner);
  ~TCustomMemo() override;

  static TMessageTable& Messages();
  const TMessageTable& ClassMessages() const override { return Messages(); }

  TStrings* Lines() const { return lines_.get(); }
  std::vector<std::string> LineList() const;
  void SetLineList(const std::vector<std::string>& lines);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle value);
  // Enter and Tab go into the text rather than to the form.
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool value) { wantReturns_ = value; }
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool value) { wantTabs_ = value; }

 protected:
  void CreateParams(TCreateParams& params) override;

 private:
  std::unique_ptr<TMemoStrings> lines_;
  bool wordWrap_ = true;
  TScrollStyle scrollBars_ = ssNone;
  bool wantReturns_ = true;
  bool wantTabs_ = false;
};

class TMemo : public TCustomMemo {
 public:
  using TCustomMemo::TCustomMemo;
};

// Registers the label, the edit and the memo for stored layouts (and what RegisterControls
// registers). Once is enough.
void RegisterStdCtrls();
