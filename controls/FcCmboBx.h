// The library's combo boxes: the framed combo box (completion from the list while typing, a
// typed search in drop-down lists, AllowEdit, ReadOnly, Enter as Tab, colours by state, the
// flat frame and flat drop-down button of the framed controls, mouse-wheel stepping, a fixed
// drop-down width) and the image combo box built on it, whose items carry an image, an
// overlay and an indent.
//
// Index: TFcCustomComboBox / TFcComboBox · TFcImageComboBoxItem · TFcCustomImageComboBox ·
// registration. FcCmboBx.cpp holds the combo box, FcImgCmbo.cpp the image combo box.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/FcCommon.h"
#include "platform/ImgList.h"
#include "platform/StdCtrls.h"
#include "platform/Timer.h"

// An item left the list; `itemData` is what the item carried (never 0).
using TFcDeleteComboItemEvent = std::function<void(TObject* sender, void* itemData)>;

// ---- TFcCustomComboBox -----------------------------------------------------------------------

class TFcCustomComboBox : public TFcFramedControl<TCustomComboBox> {
  MESSAGE_TABLE(TFcFramedControl<TCustomComboBox>)

 public:
  explicit TFcCustomComboBox(TComponent* owner);
  ~TFcCustomComboBox() override;

  // Typing into the edit part completes the text from the first item it begins.
  bool AutoComplete() const { return autoComplete_; }
  void SetAutoComplete(bool value) { autoComplete_ = value; }
  // Off: the text can only become what completion gives (typing, pasting and cutting that
  // complete nothing are refused).
  bool AllowEdit() const { return allowEdit_; }
  void SetAllowEdit(bool value) { allowEdit_ = value; }
  bool BeepOnInvalidKey() const { return beepOnInvalidKey_; }
  void SetBeepOnInvalidKey(bool value) { beepOnInvalidKey_ = value; }
  // Completion keeps the letters typed as they were typed.
  bool KeepSearchCase() const { return keepSearchCase_; }
  void SetKeepSearchCase(bool value) { keepSearchCase_ = value; }
  bool TabOnEnter() const { return tabOnEnter_; }
  void SetTabOnEnter(bool value) { tabOnEnter_ = value; }
  // Typing opens the list; Tab closes it.
  bool AutoDropDown() const { return autoDropDown_; }
  void SetAutoDropDown(bool value) { autoDropDown_ = value; }
  // Clicks, typing, the wheel and dropping the list change nothing; Ctrl+C still copies.
  bool ReadOnly() const { return readOnly_; }
  virtual void SetReadOnly(bool value);
  // The dropped list's width (0: the box's own), kept when the window is made again.
  int DropDownWidth() const { return dropDownWidth_; }
  virtual void SetDropDownWidth(int value);
  // The drop-down button is drawn flat until the box is hot.
  bool FlatButtons() const { return flatButtons_; }
  virtual void SetFlatButtons(bool value);
  TColor FlatButtonColor() const { return flatButtonColor_; }
  virtual void SetFlatButtonColor(TColor value);
  // The box paints its own frame: the system's 3-D look goes.
  void SetFrameVisible(bool value) override;

  // The visual styles draw the frame.
  virtual bool UsesThemeFrame() const { return ThemedFramed(); }
  // Sets the text without completing it from the list.
  virtual void SetTextWithoutCompletion(const std::string& text);
  // The first item of that text (compared without regard to case); -1 when none.
  virtual int IndexOfText(const std::string& text);
  // The first item beginning with `text` (without regard to case); -1 when none.
  virtual int FindPrefix(const std::string& text);
  void ClearItems() { Items()->Clear(); }
  int ItemCount() const { return Items()->Count(); }
  // The search typed so far (completion and the drop-down list's typed search).
  const std::string& SearchString() const { return search_; }
  // The typed search is forgotten 1500 ms after the last key.
  TTimer* SearchTimer() const { return searchTimer_; }

  void Loaded() override;

  // A completion was made.
  TNotifyEvent OnMatch;
  // Left with a text that is not an item (drop-down style, non-empty text).
  TNotifyEvent OnNotInList;
  TFcDeleteComboItemEvent OnDeleteItem;
  TNotifyEvent OnSelEndOk;
  TNotifyEvent OnSelEndCancel;

 protected:
  void CreateWnd() override;
  void DestroyWnd() override;
  void WndProc(TMessage& message) override;
  void ComboWndProc(TMessage& m, HWND wnd, WNDPROC defProc) override;
  void KeyPress(char& key) override;
  void CloseUp() override;
  bool DoMouseWheel(TShiftState shift, int wheelDelta, POINT mousePos) override;
  void SetHotFlag(TFcHotFlag flag, bool value) override;
  void RepaintFrame() override;
  void DoExit() override;

  // The hot look follows the focus or the mouse: the frame or the button is painted again.
  virtual void UpdateHotState(bool byMouse, bool hot);
  // The signal for a refused key (a beep unless BeepOnInvalidKey is off).
  virtual void BeepInvalidKey();
  // Selects the first item beginning with `text` as the typed search's result (a beep when
  // none does); `m` is the key's message, handed to the key-press events.
  virtual void SelectByPrefix(const std::string& text, TMessage& m);
  // Completes the edit part from the first item beginning with `text`: the text becomes the
  // item's (or keeps the typed letters' case), the completed tail is selected, OnMatch fires.
  // With `keyPress`, the key's message goes to the key-press events as well.
  virtual bool CompleteFromItems(const std::string& text, TMessage& m, bool keyPress = true);
  // An item with data left the list: OnDeleteItem.
  virtual void DeleteItem(void* itemData);
  virtual void DoMatch();
  virtual void DoNotInList();
  virtual void DoSelEndOk();
  virtual void DoSelEndCancel();
  // The box's own painting over the system's: frame, flat button.
  virtual void HandleWmPaint(HDC dc);

  // The control's share of a key's message (OnKeyPress and the form's preview); true when a
  // handler took the key.
  bool KeyPressProcessing(TMessage& m);
  // While typing the control itself changes the text: no completion from the change.
  bool typing_ = false;
  // Whether the focus rectangle is drawn round a selected item.
  bool showFocusRect_ = true;

 private:
  void CNCommand(TWMCommand& m);
  void CNDrawItem(TWMDrawItem& m);
  void CNDeleteItem(TWMDeleteItem& m);
  void CMTextChanged(TMessage& m);
  void WMPaint(TWMDC& m);
  void WMSize(TMessage& m);
  bool HasEditPart() const { return Style() == csDropDown || Style() == csSimple; }
  // The typed search of a list without an edit part; true when the message was used.
  bool ListSearch(TMessage& m);
  // Edit-part messages with completion; true when the message was used up.
  bool EditKey(TMessage& m, HWND wnd, WNDPROC defProc, bool& afterPaste);
  void GetEditSel(int& start, int& length);
  void SetEditSel(int start, int length);
  void SetTextTyping(const std::string& text);
  void RestartSearchTimer();
  RECT ButtonRect();

  bool autoComplete_ = true;
  bool allowEdit_ = true;
  bool beepOnInvalidKey_ = true;
  bool keepSearchCase_ = false;
  bool tabOnEnter_ = false;
  bool autoDropDown_ = false;
  bool readOnly_ = false;
  int dropDownWidth_ = 0;
  int savedDropDownWidth_ = 0;
  bool flatButtons_ = false;
  TColor flatButtonColor_ = clBtnFace;

  std::string search_;
  TTimer* searchTimer_ = nullptr;
  bool keyInProgress_ = false;
  bool sysKeyDown_ = false;
  bool enterPressed_ = false;
  // The window is going: its items are not deleted from the list.
  bool destroyingWindow_ = false;
};

class TFcComboBox : public TFcCustomComboBox {
 public:
  using TFcCustomComboBox::TFcCustomComboBox;
};

// ---- TFcCustomImageComboBox ------------------------------------------------------------------

class TFcCustomImageComboBox;

// One item of an image combo box: owned by the box, which frees it when it leaves the list.
class TFcImageComboBoxItem : public TObject {
 public:
  TFcImageComboBoxItem(TFcCustomImageComboBox* owner, std::string caption, int imageIndex, int indentLevel);

  TFcCustomImageComboBox* Owner() const { return owner_; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  // An overlay (0..3, as the image list numbers them) drawn over the image; -1: none.
  int OverlayImageIndex() const { return overlayImageIndex_; }
  void SetOverlayImageIndex(int value);
  // Indent steps of the box's ItemIndent in the list (never in the edit part).
  int IndentLevel() const { return indentLevel_; }
  void SetIndentLevel(int value) { indentLevel_ = value; }
  // Where the item went when it was added.
  int Index() const { return index_; }

 private:
  friend class TFcCustomImageComboBox;
  void Changed();
  TFcCustomImageComboBox* owner_;
  std::string caption_;
  int imageIndex_;
  int overlayImageIndex_ = -1;
  int indentLevel_;
  int index_ = -1;
  // OnDeleteItem has told of the item's leaving.
  bool announced_ = false;
};

using TFcDeleteImageComboBoxItemEvent = std::function<void(TObject* sender, TFcImageComboBoxItem* item)>;

// An owner-drawn list of image items whose rows follow the font and the images.
class TFcCustomImageComboBox : public TFcCustomComboBox {
  MESSAGE_TABLE(TFcCustomComboBox)

 public:
  explicit TFcCustomImageComboBox(TComponent* owner);
  // Frees the items that are left.
  ~TFcCustomImageComboBox() override;

  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* value);
  int ItemIndent() const { return itemIndent_; }
  void SetItemIndent(int value);
  // The rows' height follows the font (and the images).
  bool AutoSizeHeight() const { return autoSizeHeight_; }
  void SetAutoSizeHeight(bool value) { autoSizeHeight_ = value; }

  // A new item at the end of the list, owned by the box.
  virtual TFcImageComboBoxItem* AddImageItem(const std::string& caption, int imageIndex, int indentLevel);
  // The item of entry `index`; nullptr when the entry has none.
  TFcImageComboBoxItem* ImageItem(int index) const;
  void BeginItemsUpdate() { Items()->BeginUpdate(); }
  void EndItemsUpdate() { Items()->EndUpdate(); }
  // Items alive, for the box's owner to check.
  int OwnedItemCount() const { return static_cast<int>(owned_.size()); }
  // Removes every item (each is announced and freed).
  void ClearImageItems();
  // The first item whose caption equals `text` without regard to case (an entry without an
  // item counts as empty); -1 when none.
  int IndexOfText(const std::string& text) override;

  TFcDeleteImageComboBoxItemEvent OnDeleteItem;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Notification(TComponent* component, TOperation operation) override;
  void DrawItem(int index, const RECT& rect, TOwnerDrawState state) override;
  // Fires OnDeleteItem, then frees the item.
  void DeleteItem(void* itemData) override;
  // Called before an item is drawn, for a derived box to fill the item in.
  virtual void GetItemData(TFcImageComboBoxItem* item) { (void)item; }
  // Makes the item AddImageItem adds.
  virtual std::unique_ptr<TFcImageComboBoxItem> NewItem(const std::string& caption, int imageIndex, int indentLevel);
  // The row height for `font` (|tmHeight| + 4, or the images' height when taller).
  virtual void FontChanged(HFONT font);

 private:
  void WMEraseBkgnd(TWMDC& m);
  void WMSetFont(TWMSetFont& m);
  void CMFontChanged(TMessage& m);
  void CMApplyRowHeight(TMessage& m);
  void CMFreeItems(TMessage& m);
  // Items that have left the list are announced and freed.
  void FreeDepartedItems();
  int RowHeightFor(HFONT font);

  TCustomImageList* images_ = nullptr;
  int itemIndent_ = 12;
  bool autoSizeHeight_ = true;
  bool settingFont_ = false;
  std::vector<std::unique_ptr<TFcImageComboBoxItem>> owned_;
};

// Registers the combo boxes for stored layouts.
void RegisterFcCmboBx();
