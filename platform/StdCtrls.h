// The standard controls the control library builds on: the label (windowless text), the
// single- and multi-line edits over the system's EDIT window, and the combo box.
//
// Where the parts live: StdCtrls.cpp the label, the edits, the memo and the registration;
// StdCtrlsCombo.cpp the combo box.
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
  MESSAGE_TABLE(TGraphicControl)

 public:
  explicit TCustomLabel(TComponent* owner);

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
  void CMFontChanged(TMessage& m);
  // The accelerator of the caption focuses FocusControl.
  void CMDialogChar(TWMKey& m);

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
  MESSAGE_TABLE(TWinControl)

 public:
  explicit TCustomEdit(TComponent* owner);

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
  void CNCommand(TWMCommand& m);
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
  MESSAGE_TABLE(TCustomEdit)

 public:
  explicit TCustomMemo(TComponent* owner);
  ~TCustomMemo() override;

  TStrings* Lines() const { return lines_.get(); }
  std::vector<std::string> LineList() const;
  void SetLineList(const std::vector<std::string>& lines);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle value);
  // How each line sits between the memo's edges.
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  // Enter and Tab go into the text rather than to the form.
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool value) { wantReturns_ = value; }
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool value) { wantTabs_ = value; }

 protected:
  void CreateParams(TCreateParams& params) override;
  // Tab and Enter are the memo's as WantTabs and WantReturns say.
  void WMGetDlgCode(TMessage& m);

 private:
  std::unique_ptr<TMemoStrings> lines_;
  bool wordWrap_ = true;
  TScrollStyle scrollBars_ = ssNone;
  TAlignment alignment_ = taLeftJustify;
  bool wantReturns_ = true;
  bool wantTabs_ = false;
};

class TMemo : public TCustomMemo {
 public:
  using TCustomMemo::TCustomMemo;
};

// ---- Combo box ------------------------------------------------------------------------------

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
// The ODS_ bits of an owner-drawn item, bit for bit.
enum TOwnerDrawStateFlag {
  odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight, odInactive,
  odNoAccel, odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit
};
using TOwnerDrawState = TSet<TOwnerDrawStateFlag>;
using TDrawItemEvent =
    std::function<void(TObject* sender, int index, const RECT& rect, TOwnerDrawState state)>;
using TMeasureItemEvent = std::function<void(TObject* sender, int index, int& height)>;

class TCustomComboBox;

// The items of a combo box: kept by the control itself and copied into its window whenever
// there is one, so they outlive a re-created window.
class TComboBoxStrings : public TStrings {
 public:
  explicit TComboBoxStrings(TCustomComboBox* combo) : combo_(combo) {}
  int Count() const override;
  std::string Strings(int index) const override;
  void Put(int index, const std::string& s) override;
  TObject* Objects(int index) const override;
  void PutObject(int index, TObject* object) override;
  // A sorted box puts the line at its place (ignoring case, as the system sorts).
  int Add(const std::string& s) override;
  int AddObject(const std::string& s, TObject* object) override;
  void Insert(int index, const std::string& s) override;
  void InsertObject(int index, const std::string& s, TObject* object) override;
  void Delete(int index) override;
  void Clear() override;
  void Exchange(int index1, int index2) override;

 private:
  TCustomComboBox* combo_;
};

class TCustomComboBox : public TWinControl {
  MESSAGE_TABLE(TWinControl)

 public:
  explicit TCustomComboBox(TComponent* owner);
  ~TCustomComboBox() override;

  TStrings* Items() const { return strings_.get(); }
  void SetItems(TStrings* value) { strings_->Assign(value); }
  std::vector<std::string> ItemList() const;
  void SetItemList(const std::vector<std::string>& lines);
  void AddItem(const std::string& item, TObject* object) { strings_->AddObject(item, object); }
  // Removes every item and the text.
  virtual void Clear();

  // -1 when nothing is selected. Setting it fires nothing.
  int ItemIndex() const;
  virtual void SetItemIndex(int value);
  TComboBoxStyle Style() const { return style_; }
  virtual void SetStyle(TComboBoxStyle value);
  // Rows the dropped list shows before it scrolls.
  int DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int value);
  bool Sorted() const { return sorted_; }
  void SetSorted(bool value);
  // The most characters the edit part takes; 0 is no limit.
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int value);
  bool DroppedDown() const;
  void SetDroppedDown(bool value);
  // The height of the list's rows (of every row but the one measured in the variable style).
  int ItemHeight() const;
  virtual void SetItemHeight(int value);

  int SelStart() const;
  void SetSelStart(int value);
  int SelLength() const;
  void SetSelLength(int value);
  std::string SelText() const;
  void SetSelText(const std::string& value);
  void SelectAll();

  // The edit part (drop-down and simple styles) and the list part, once the window exists.
  HWND EditHandle() const { return editHandle_; }
  HWND ListHandle() const { return listHandle_; }
  // The canvas DrawItem draws on while an item is drawn.
  TCanvas* Canvas() const { return canvas_.get(); }

  // The text was changed by the user (or a selection from the list, without OnSelect).
  TNotifyEvent OnChange;
  // An item was chosen from the list.
  TNotifyEvent OnSelect;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;
  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  std::string GetText() const override;
  void SetTextNow(const std::string& value) override;

  virtual void Change();
  // OnSelect, or OnChange when there is no OnSelect.
  virtual void Select();
  virtual void DropDown();
  virtual void CloseUp();
  // Draws item `index` on Canvas (whose brush and font are set for the item's state):
  // OnDrawItem when assigned, else the item's text.
  virtual void DrawItem(int index, const RECT& rect, TOwnerDrawState state);
  // Asks OnMeasureItem for the height of a row of the variable style.
  virtual void MeasureItem(int index, int& height);
  // The messages of the edit part: its key and focus messages go through the control's own
  // key handling first; `defProc` is the edit's own procedure.
  virtual void ComboWndProc(TMessage& m, HWND wnd, WNDPROC defProc);
  // Sizes the dropped list for DropDownCount rows.
  void AdjustDropDown();

  void CNCommand(TWMCommand& m);
  void CNDrawItem(TWMDrawItem& m);
  void CNMeasureItem(TWMMeasureItem& m);
  void WMCtlColorChild(TWMDC& m);

 private:
  friend class TComboBoxStrings;
  struct TItem {
    std::string text;
    TObject* object = nullptr;
  };
  static LRESULT CALLBACK EditWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
  int SortedIndex(const std::string& s) const;
  void InsertItem(int index, const std::string& s, TObject* object);
  void DeleteItem(int index);
  bool HasEdit() const { return style_ == csDropDown || style_ == csSimple; }

  std::unique_ptr<TComboBoxStrings> strings_;
  std::vector<TItem> items_;
  std::unique_ptr<TCanvas> canvas_;
  TComboBoxStyle style_ = csDropDown;
  int itemIndex_ = -1;
  int dropDownCount_ = 8;
  bool sorted_ = false;
  int maxLength_ = 0;
  int itemHeight_ = 16;
  HWND editHandle_ = nullptr;
  HWND listHandle_ = nullptr;
  WNDPROC editDefProc_ = nullptr;
  bool settingText_ = false;
};

class TComboBox : public TCustomComboBox {
 public:
  using TCustomComboBox::TCustomComboBox;
};

// Registers the label, the edit, the memo and the combo box for stored layouts, with the
// image list and the menus (and what RegisterControls registers). Once is enough.
void RegisterStdCtrls();
