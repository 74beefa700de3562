// The radio group and the check group: captioned group boxes whose items, a list of texts,
// become radio buttons or check boxes laid out in columns.
//
// Index: TFcCustomItemGroup (what both groups share: the items, their layout and their look)
// · the items TFcGroupButton and TFcGroupCheck · TFcCustomRadioGroup, TFcRadioGroup ·
// TFcCustomCheckGroup, TFcCheckGroup · registration.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/FcIntLst.h"
#include "controls/FcPanel.h"
#include "controls/FcRadChk.h"
#include "platform/StringList.h"

// Before the radio group's selection moves to `newIndex`; clearing `allowChange` refuses it.
using TFcIndexChangingEvent = std::function<void(TObject* sender, int newIndex, bool& allowChange)>;
// A check group's item `index` went to `newState`.
using TStateChangeEvent = std::function<void(TObject* sender, int index, TCheckBoxState newState)>;

// What the two groups share: the texts of the items and the item buttons made from them, the
// layout in columns, and the settings every item takes from the group.
class TFcCustomItemGroup : public TFcCustomGroupBox {
  MESSAGE_TABLE(TFcCustomGroupBox)

 public:
  explicit TFcCustomItemGroup(TComponent* owner);
  // Frees the items first, while the group is whole.
  ~TFcCustomItemGroup() override;

  // One item a line; any change makes the items again.
  TStrings* Items() const { return items_.get(); }
  virtual void SetItems(TStrings* value);
  int ItemCount() const { return static_cast<int>(buttons_.size()); }
  // Brought within 1..16.
  int Columns() const { return columns_; }
  virtual void SetColumns(int value);
  int ItemHeight() const { return itemHeight_; }
  virtual void SetItemHeight(int value);
  int VerticalSpacing() const { return verticalSpacing_; }
  virtual void SetVerticalSpacing(int value);
  int StartXPos() const { return startXPos_; }
  int StartYPos() const { return startYPos_; }
  // Index 1: StartXPos, the first column's left margin; 2: StartYPos, an extra top margin.
  virtual void SetStartPos(int index, int value);
  void SetStartXPos(int value) { SetStartPos(1, value); }
  void SetStartYPos(int value) { SetStartPos(2, value); }
  // Columns of equal width instead of widths fitted to the captions.
  bool SpaceEvenly() const { return spaceEvenly_; }
  virtual void SetSpaceEvenly(bool value);
  // The items' font: the group's own font until it is changed itself.
  TFont* ItemFont() const { return itemFont_.get(); }
  virtual void SetItemFont(TFont* value);
  bool ItemFontSetDirectly() const { return itemFontSetDirectly_; }

  // Given to every item.
  TColor ItemFrameColor() const { return itemFrameColor_; }
  virtual void SetItemFrameColor(TColor value);
  bool ItemHotTrack() const { return itemHotTrack_; }
  virtual void SetItemHotTrack(bool value);
  TColor ItemHighlightColor() const { return itemHighlightColor_; }
  virtual void SetItemHighlightColor(TColor value);
  TColor ItemHotTrackColor() const { return itemHotTrackColor_; }
  virtual void SetItemHotTrackColor(TColor value);
  TFcHotTrackColorType ItemHotTrackColorType() const { return itemHotTrackColorType_; }
  virtual void SetItemHotTrackColorType(TFcHotTrackColorType value);
  TTextStyle TextStyle() const { return textStyle_; }
  virtual void SetTextStyle(TTextStyle value);
  bool LightTextStyle() const { return lightTextStyle_; }
  virtual void SetLightTextStyle(bool value);
  TColor TextHighlightColor() const { return textHighlightColor_; }
  virtual void SetTextHighlightColor(TColor value);
  TColor TextShadowColor() const { return textShadowColor_; }
  virtual void SetTextShadowColor(TColor value);
  int TextShadowDepth() const { return textShadowDepth_; }
  virtual void SetTextShadowDepth(int value);
  // A strip of glyph cells of the user's own for every item; a strip that is not empty is
  // used at once.
  TBitmap* CustomGlyphs() const { return customGlyphs_.get(); }
  virtual void SetCustomGlyphs(TBitmap* value);
  // The program resource the strip came from; "" once it was changed otherwise.
  const std::string& CustomGlyphsResource() const { return customGlyphsResource_; }
  void LoadCustomGlyphsResource(const std::string& name);
  bool UseCustomGlyphs() const { return useCustomGlyphs_; }
  virtual void SetUseCustomGlyphs(bool value);
  TColor TransparentColor() const { return transparentColor_; }
  virtual void SetTransparentColor(TColor value);
  TColor WinMaskColor() const { return winMaskColor_; }
  virtual void SetWinMaskColor(TColor value);
  // Enter moves the focus on, as Tab does.
  bool TabOnEnter() const { return tabOnEnter_; }
  void SetTabOnEnter(bool value) { tabOnEnter_ = value; }

  // The group's glyph cell, for the column widths: 13 × 13, or a cell of the strip.
  int GlyphCellWidth() const;
  int GlyphCellHeight() const;

  // These settings of the group, and its caption, lay the items out again.
  void SetTransparent(bool value) override;
  void SetGroupStyle(TFcGroupBoxStyle value) override;
  void UpdateFrameSettings() override;
  void Loaded() override;

  // Places the items in their columns and gives them the group's settings.
  virtual void LayOutItems();

 protected:
  // Makes or frees items at the end until there are `count`.
  virtual void SetItemCount(int count);
  // Makes the items from the texts again and lays them out.
  virtual void SyncItems();
  // Whether the user may change the items' states: always, here.
  virtual bool ItemsModifiable() { return true; }
  // A new item of the group's kind (it adds itself to the group).
  virtual TFcCustomGlyphButton* CreateItem() = 0;
  // The item's OnClick.
  virtual void ItemClicked(TObject* sender) = 0;
  // The settings only one kind of item takes.
  virtual void PushOwnItemSettings(TFcCustomGlyphButton*) {}
  // The glyph cells in a strip of the user's own: 6 for radio buttons, 9 for check boxes.
  virtual int GlyphCellCount() const = 0;
  // The item at `index`; the platform's list-index error outside the items.
  TFcCustomGlyphButton* Item(int index) const;
  int IndexOfItem(TObject* item) const;
  // The group's own form data is being read: setters only store.
  bool Reading() const { return ComponentState().Contains(csReading); }

  void KeyPress(char& key) override;
  void Resize() override;

 private:
  template <class T>
  void ChangeAndLayOut(T& field, const T& value);
  template <class TBase, bool PressesCount>
  friend class TFcGroupItem;
  void AddItem(TFcCustomGlyphButton* item) { buttons_.push_back(item); }
  void ForgetItem(TFcCustomGlyphButton* item);
  // The item's keys and mouse, as the group lets them through.
  void ItemKeyDown(WORD& key, TShiftState shift) { KeyDown(key, shift); }
  void ItemKeyPress(char& key);
  void CMEnabledChanged(TMessage& m);
  void CMFontChanged(TMessage& m);
  void CMTextChanged(TMessage& m);
  void CMDialogChar(TWMKey& m);

  std::unique_ptr<TStringList> items_;
  std::vector<TFcCustomGlyphButton*> buttons_;
  int columns_ = 1;
  int itemHeight_ = 17;
  int verticalSpacing_ = 3;
  int startXPos_ = 8;
  int startYPos_ = 2;
  bool spaceEvenly_ = false;
  std::unique_ptr<TFont> itemFont_;
  bool itemFontSetDirectly_ = false;
  TColor itemFrameColor_ = clBtnShadow;
  bool itemHotTrack_ = false;
  TColor itemHighlightColor_ = clHighlight;
  TColor itemHotTrackColor_ = clHighlight;
  TFcHotTrackColorType itemHotTrackColorType_ = htctComplement;
  TTextStyle textStyle_ = tsNormal;
  bool lightTextStyle_ = false;
  TColor textHighlightColor_ = clBtnHighlight;
  TColor textShadowColor_ = clBtnShadow;
  int textShadowDepth_ = 2;
  std::unique_ptr<TBitmap> customGlyphs_;
  std::string customGlyphsResource_;
  bool useCustomGlyphs_ = false;
  TColor transparentColor_ = clOlive;
  TColor winMaskColor_ = clTeal;
  bool tabOnEnter_ = false;
};

// ---- Items -----------------------------------------------------------------------------------------

// An item of a group: made by the group, which it tells when it goes; its keys go on to the
// group, and its mouse as the group lets it (presses count for radio items only).
template <class TBase, bool PressesCount>
class TFcGroupItem : public TBase {
 public:
  explicit TFcGroupItem(TFcCustomItemGroup* group);
  ~TFcGroupItem() override;

 protected:
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void WndProc(TMessage& message) override;

 private:
  TFcCustomItemGroup* group_;
  bool releasing_ = false;
};

// An item of a radio group.
class TFcGroupButton : public TFcGroupItem<TFcRadioButton, true> {
 public:
  using TFcGroupItem::TFcGroupItem;
};

// An item of a check group.
class TFcGroupCheck : public TFcGroupItem<TFcCheckBox, false> {
 public:
  using TFcGroupItem::TFcGroupItem;
};

// ---- Radio group ---------------------------------------------------------------------------------

// One item selected at a time (ItemIndex, −1 for none); a selection the user or the program
// makes can be refused in OnChanging.
class TFcCustomRadioGroup : public TFcCustomItemGroup {
 public:
  explicit TFcCustomRadioGroup(TComponent* owner);

  // Brought within −1..ItemCount − 1. Checking the new item fires its click, and so
  // OnChanging and, when allowed, the group's OnClick.
  int ItemIndex() const { return itemIndex_; }
  virtual void SetItemIndex(int value);
  virtual TFcGroupButton* ItemButton(int index) const;
  void SetButtonEnabled(int index, bool enabled);

  TFcIndexChangingEvent OnChanging;

 protected:
  virtual bool CanChangeIndex(int newIndex);
  void SyncItems() override;
  TFcCustomGlyphButton* CreateItem() override;
  void ItemClicked(TObject* sender) override;
  int GlyphCellCount() const override { return 6; }

 private:
  int itemIndex_ = -1;
  // Checks made by the group itself, which its items' clicks must not answer.
  bool updating_ = false;
};

class TFcRadioGroup : public TFcCustomRadioGroup {
 public:
  using TFcCustomRadioGroup::TFcCustomRadioGroup;
};

// ---- Check group ---------------------------------------------------------------------------------

// Items checked each on its own, with an optional grayed state; OnChange tells which item
// went to which state. The states are stored with the layout ("CheckStates").
class TFcCustomCheckGroup : public TFcCustomItemGroup {
 public:
  explicit TFcCustomCheckGroup(TComponent* owner);

  bool AllowGrayed() const { return allowGrayed_; }
  virtual void SetAllowGrayed(bool value);
  virtual TFcGroupCheck* ItemCheck(int index) const;
  bool ItemChecked(int index) const { return ItemCheck(index)->Checked(); }
  void SetItemChecked(int index, bool value) { ItemCheck(index)->SetChecked(value); }
  bool ItemEnabled(int index) const { return ItemCheck(index)->Enabled(); }
  void SetItemEnabled(int index, bool value) { ItemCheck(index)->SetEnabled(value); }
  TCheckBoxState ItemState(int index) const { return ItemCheck(index)->State(); }
  void SetItemState(int index, TCheckBoxState value) { ItemCheck(index)->SetState(value); }

  // The states for a stored layout: one ordinal an item; none without items.
  std::vector<int> CheckStates() const;
  // Kept until Loaded gives them to the items.
  void ReadCheckStates(const TValue& value);
  void Loaded() override;

  TStateChangeEvent OnChange;

 protected:
  virtual void NotifyStateChange(int index, TCheckBoxState newState);
  TFcCustomGlyphButton* CreateItem() override;
  void ItemClicked(TObject* sender) override;
  void PushOwnItemSettings(TFcCustomGlyphButton* item) override;
  int GlyphCellCount() const override { return 9; }

 private:
  bool allowGrayed_ = false;
  std::unique_ptr<TFcIntegerList> storedStates_;
};

class TFcCheckGroup : public TFcCustomCheckGroup {
 public:
  using TFcCustomCheckGroup::TFcCustomCheckGroup;
};

// Registers the radio group and the check group for stored layouts.
void RegisterFcRadGrp();
