#include "controls/FcRadGrp.h"

#include <algorithm>
#include <functional>

#include "platform/Application.h"
#include "platform/Guards.h"

namespace {

// The frame styles that take two pixels on each side.
bool Raised3D(TFrameStyleEx style) {
  switch (style) {
    case fsGroove:
    case fsBump:
    case fsLowered:
    case fsButtonDown:
    case fsRaised:
    case fsButtonUp: return true;
    default: return false;
  }
}

// The items' side of the group's rules for the mouse: presses (of radio items) and releases
// reach an item only while the group lets its items change, one release at a time, and what a
// handler raises goes to the application's handler instead of the message loop. True when
// the message was one of those (and `pass`, the item's own handling, ran or was skipped).
bool ItemMouseMessage(TObject* item, const TMessage& m, bool pressesCount, bool modifiable, bool& releasing,
                      const std::function<void()>& pass) {
  const bool press = m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK;
  const bool release = m.Msg == WM_LBUTTONUP;
  if (!(press && pressesCount) && !release) return false;
  if (!modifiable || (release && releasing)) return true;
  TRestore<bool> busy(releasing, release ? true : releasing);
  try {
    pass();
  } catch (...) {
    ApplicationHandleException(item);
  }
  return true;
}

}  // namespace

// ---- TFcCustomItemGroup --------------------------------------------------------------------------

TMessageTable& TFcCustomItemGroup::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(CM_ENABLEDCHANGED, Handler(&TFcCustomItemGroup::CMEnabledChanged));
    t->Add(CM_FONTCHANGED, Handler(&TFcCustomItemGroup::CMFontChanged));
    t->Add(CM_TEXTCHANGED, Handler(&TFcCustomItemGroup::CMTextChanged));
    t->Add(CM_DIALOGCHAR, Handler(&TFcCustomItemGroup::CMDialogChar));
    return t;
  }();
  return *table;
}

TFcCustomItemGroup::TFcCustomItemGroup(TComponent* owner)
    : TFcCustomGroupBox(owner),
      items_(std::make_unique<TStringList>()),
      itemFont_(std::make_unique<TFont>()),
      customGlyphs_(std::make_unique<TBitmap>()) {
  controlStyle_ -= csReplicatable;
  itemFont_->SetName("MS Sans Serif");
  itemFont_->SetSize(8);
  itemFont_->OnChange = [this](TObject*) {
    itemFontSetDirectly_ = true;
    LayOutItems();
  };
  items_->OnChange = [this](TObject*) {
    if (!Reading()) SyncItems();
  };
  customGlyphs_->OnChange = [this](TObject*) {
    SetUseCustomGlyphs(!customGlyphs_->Empty());
    Invalidate();
  };
}

TFcCustomItemGroup::~TFcCustomItemGroup() {
  Destroying();
  SetItemCount(0);
  items_->OnChange = nullptr;
  itemFont_->OnChange = nullptr;
  customGlyphs_->OnChange = nullptr;
}

template <class T>
void TFcCustomItemGroup::ChangeAndLayOut(T& field, const T& value) {
  if (field == value) return;
  field = value;
  LayOutItems();
}

void TFcCustomItemGroup::SetItems(TStrings* value) { items_->Assign(value); }

void TFcCustomItemGroup::SetColumns(int value) {
  value = std::clamp(value, 1, 16);
  if (value == columns_) return;
  columns_ = value;
  LayOutItems();
  Invalidate();
}

void TFcCustomItemGroup::SetItemHeight(int value) { ChangeAndLayOut(itemHeight_, value); }
void TFcCustomItemGroup::SetVerticalSpacing(int value) { ChangeAndLayOut(verticalSpacing_, value); }

void TFcCustomItemGroup::SetStartPos(int index, int value) {
  ChangeAndLayOut(index == 1 ? startXPos_ : startYPos_, value);
}

void TFcCustomItemGroup::SetSpaceEvenly(bool value) { ChangeAndLayOut(spaceEvenly_, value); }
void TFcCustomItemGroup::SetItemFont(TFont* value) { itemFont_->Assign(value); }
void TFcCustomItemGroup::SetItemFrameColor(TColor value) { ChangeAndLayOut(itemFrameColor_, value); }
void TFcCustomItemGroup::SetItemHotTrack(bool value) { ChangeAndLayOut(itemHotTrack_, value); }
void TFcCustomItemGroup::SetItemHighlightColor(TColor value) { ChangeAndLayOut(itemHighlightColor_, value); }
void TFcCustomItemGroup::SetItemHotTrackColor(TColor value) { ChangeAndLayOut(itemHotTrackColor_, value); }
void TFcCustomItemGroup::SetItemHotTrackColorType(TFcHotTrackColorType value) {
  ChangeAndLayOut(itemHotTrackColorType_, value);
}
void TFcCustomItemGroup::SetTextStyle(TTextStyle value) { ChangeAndLayOut(textStyle_, value); }
void TFcCustomItemGroup::SetLightTextStyle(bool value) { ChangeAndLayOut(lightTextStyle_, value); }
void TFcCustomItemGroup::SetTextHighlightColor(TColor value) { ChangeAndLayOut(textHighlightColor_, value); }
void TFcCustomItemGroup::SetTextShadowColor(TColor value) { ChangeAndLayOut(textShadowColor_, value); }
void TFcCustomItemGroup::SetTextShadowDepth(int value) { ChangeAndLayOut(textShadowDepth_, value); }
void TFcCustomItemGroup::SetUseCustomGlyphs(bool value) { ChangeAndLayOut(useCustomGlyphs_, value); }
void TFcCustomItemGroup::SetTransparentColor(TColor value) { ChangeAndLayOut(transparentColor_, value); }
void TFcCustomItemGroup::SetWinMaskColor(TColor value) { ChangeAndLayOut(winMaskColor_, value); }

void TFcCustomItemGroup::SetCustomGlyphs(TBitmap* value) {
  customGlyphsResource_.clear();
  customGlyphs_->Assign(value);
  LayOutItems();
}

void TFcCustomItemGroup::LoadCustomGlyphsResource(const std::string& name) {
  if (name.empty()) {
    SetCustomGlyphs(nullptr);
    return;
  }
  TBitmap loaded;
  loaded.LoadFromResourceName(GetModuleHandleA(nullptr), name);
  SetCustomGlyphs(&loaded);
  customGlyphsResource_ = name;
}

int TFcCustomItemGroup::GlyphCellWidth() const {
  return useCustomGlyphs_ ? customGlyphs_->Width() / GlyphCellCount() : 13;
}

int TFcCustomItemGroup::GlyphCellHeight() const { return useCustomGlyphs_ ? customGlyphs_->Height() : 13; }

void TFcCustomItemGroup::SetTransparent(bool value) {
  TFcCustomGroupBox::SetTransparent(value);
  LayOutItems();
}

void TFcCustomItemGroup::SetGroupStyle(TFcGroupBoxStyle value) {
  TFcCustomGroupBox::SetGroupStyle(value);
  LayOutItems();
  Invalidate();
}

void TFcCustomItemGroup::UpdateFrameSettings() {
  TFcFrameController* controller = FrameController();
  if (!controller || !controller->FrameVisible()) return;
  if (GroupStyle() == gsCustom) TFcCustomGroupBox::UpdateFrameSettings();
  SetItemFrameColor(controller->FrameColor());
  for (TFcCustomGlyphButton* item : buttons_) item->SetDisabledColor(controller->DisabledColor());
}

void TFcCustomItemGroup::Loaded() {
  TFcCustomGroupBox::Loaded();
  SyncItems();
}

TFcCustomGlyphButton* TFcCustomItemGroup::Item(int index) const {
  if (index < 0 || index >= ItemCount()) throw EListError(Format("List index out of bounds (%d)", index));
  return buttons_[static_cast<size_t>(index)];
}

int TFcCustomItemGroup::IndexOfItem(TObject* item) const {
  auto it = std::find(buttons_.begin(), buttons_.end(), item);
  return it == buttons_.end() ? -1 : static_cast<int>(it - buttons_.begin());
}

void TFcCustomItemGroup::ForgetItem(TFcCustomGlyphButton* item) {
  buttons_.erase(std::remove(buttons_.begin(), buttons_.end(), item), buttons_.end());
}

void TFcCustomItemGroup::SetItemCount(int count) {
  while (ItemCount() < count) CreateItem();
  while (ItemCount() > count) delete buttons_.back();
}

void TFcCustomItemGroup::SyncItems() {
  SetItemCount(items_->Count());
  for (int i = 0; i < ItemCount(); ++i) buttons_[static_cast<size_t>(i)]->SetCaption(items_->Strings(i));
  LayOutItems();
  Invalidate();
}

void TFcCustomItemGroup::LayOutItems() {
  if (buttons_.empty() || Reading()) return;
  const int n = ItemCount();
  const int rows = (n + columns_ - 1) / columns_;
  const int columnWidth = std::max(0, (Width() - startXPos_ - 2 * BorderWidth() - 10) / columns_);
  const int lineHeight = FontLineHeight(Font());
  const bool captioned = !Caption().empty();
  int top = 0;
  if (GroupStyle() == gsStandard) {
    top = captioned ? lineHeight + startYPos_ : lineHeight / 2 + 2 + startYPos_;
  } else {
    int border = BorderWidth() + 1 + (Raised3D(BorderOuter()) ? 2 : 0) + (Raised3D(BorderInner()) ? 2 : 0);
    top = captioned ? border + lineHeight + startYPos_ : border + startYPos_;
  }
  std::vector<int> widths(16, 0);
  if (!spaceEvenly_)
    for (int i = 0; i < n; ++i) {
      int column = i / rows;
      int w = FontTextExtent(itemFont_.get(), items_->Count() > i ? items_->Strings(i) : std::string()).cx;
      widths[column] = std::max(widths[column], w + GlyphCellWidth() + 12);
    }
  const bool rightToLeft = UseRightToLeftAlignment();
  for (int i = 0; i < n; ++i) {
    TFcCustomGlyphButton* item = buttons_[static_cast<size_t>(i)];
    const int column = i / rows, row = i % rows;
    const int y = row * (itemHeight_ + verticalSpacing_) + top;
    if (spaceEvenly_) {
      int x0 = column * columnWidth;
      int x = rightToLeft ? ClientWidth() - x0 - columnWidth - startXPos_ : x0 + startXPos_;
      item->SetBounds(x, y, columnWidth, itemHeight_);
    } else {
      int x0 = 0;
      for (int c = 0; c < column; ++c) x0 += widths[c];
      int w = widths[column];
      int x = rightToLeft ? ClientWidth() - x0 - w - startXPos_ + 4 : x0 + startXPos_;
      item->SetBounds(x, y, std::max(0, w - 4), itemHeight_);
    }
    item->SetVisible(true);
    item->SetFont(itemFont_.get());
    item->SetBiDiMode(BiDiMode());
    if (!rightToLeft)
      item->SetAlignment(taRightJustify);
    else
      item->SetAlignment(item->Alignment() == taRightJustify ? taLeftJustify : taRightJustify);
    item->SetTextHighlightColor(textHighlightColor_);
    item->SetTextShadowColor(textShadowColor_);
    item->SetTextShadowDepth(textShadowDepth_);
    item->SetLightTextStyle(lightTextStyle_);
    item->SetTextStyle(textStyle_);
    item->SetTransparent(Transparent());
    item->SetWinMaskColor(winMaskColor_);
    item->SetTransparentColor(transparentColor_);
    item->SetCustomGlyphs(customGlyphs_.get());
    item->SetUseCustomGlyphs(useCustomGlyphs_);
    item->SetFrameColor(itemFrameColor_);
    item->SetHotTrack(itemHotTrack_);
    item->SetHighlightColor(itemHighlightColor_);
    item->SetHotTrackColor(itemHotTrackColor_);
    item->SetHotTrackColorType(itemHotTrackColorType_);
    PushOwnItemSettings(item);
  }
}

void TFcCustomItemGroup::KeyPress(char& key) {
  if (tabOnEnter_ && key == '\r') {
    key = 0;
    if (HandleAllocated()) PostMessageA(Handle(), WM_KEYDOWN, VK_TAB, 0);
  }
  TFcCustomGroupBox::KeyPress(key);
}

void TFcCustomItemGroup::ItemKeyPress(char& key) {
  KeyPress(key);
  if (!ItemsModifiable() && (key == ' ' || key == '\b')) key = 0;
}

void TFcCustomItemGroup::Resize() {
  TFcCustomGroupBox::Resize();
  LayOutItems();
}

void TFcCustomItemGroup::CMEnabledChanged(TMessage& m) {
  Inherited(m);
  for (TFcCustomGlyphButton* item : buttons_) item->SetEnabled(Enabled());
}

void TFcCustomItemGroup::CMFontChanged(TMessage& m) {
  Inherited(m);
  if (!itemFontSetDirectly_) {
    itemFont_->Assign(Font());
    itemFontSetDirectly_ = false;
  }
  Invalidate();
}

void TFcCustomItemGroup::CMTextChanged(TMessage& m) {
  Inherited(m);
  LayOutItems();
}

void TFcCustomItemGroup::CMDialogChar(TWMKey& m) {
  if (IsAccel(static_cast<char>(m.CharCode), Caption()) && CanFocus()) {
    // For a radio group: the checked item, its only tab stop.
    if (TWinControl* first = FindNextControl(nullptr, true, true, false)) {
      first->SetFocus();
      m.Result = 1;
      return;
    }
  }
  Inherited(m);
}

// ---- Items ---------------------------------------------------------------------------------------

template <class TBase, bool PressesCount>
TFcGroupItem<TBase, PressesCount>::TFcGroupItem(TFcCustomItemGroup* group) : TBase(group), group_(group) {
  group->AddItem(this);
  this->SetVisible(false);
  this->SetEnabled(group->Enabled());
  this->SetParentShowHint(false);
  this->SetParentFont(false);
  this->SetParent(group);
  this->OnClick = [group](TObject* sender) { group->ItemClicked(sender); };
}

template <class TBase, bool PressesCount>
TFcGroupItem<TBase, PressesCount>::~TFcGroupItem() {
  group_->ForgetItem(this);
}

template <class TBase, bool PressesCount>
void TFcGroupItem<TBase, PressesCount>::KeyDown(WORD& key, TShiftState shift) {
  TBase::KeyDown(key, shift);
  group_->ItemKeyDown(key, shift);
}

template <class TBase, bool PressesCount>
void TFcGroupItem<TBase, PressesCount>::KeyPress(char& key) {
  TBase::KeyPress(key);
  group_->ItemKeyPress(key);
}

template <class TBase, bool PressesCount>
void TFcGroupItem<TBase, PressesCount>::WndProc(TMessage& m) {
  if (!ItemMouseMessage(this, m, PressesCount, group_->ItemsModifiable(), releasing_, [&] { TBase::WndProc(m); }))
    TBase::WndProc(m);
}

template class TFcGroupItem<TFcRadioButton, true>;
template class TFcGroupItem<TFcCheckBox, false>;

// ---- Radio group ---------------------------------------------------------------------------------

TFcCustomRadioGroup::TFcCustomRadioGroup(TComponent* owner) : TFcCustomItemGroup(owner) {}

TFcCustomGlyphButton* TFcCustomRadioGroup::CreateItem() { return new TFcGroupButton(this); }

TFcGroupButton* TFcCustomRadioGroup::ItemButton(int index) const {
  return static_cast<TFcGroupButton*>(Item(index));
}

void TFcCustomRadioGroup::SetButtonEnabled(int index, bool enabled) { ItemButton(index)->SetEnabled(enabled); }

void TFcCustomRadioGroup::SetItemIndex(int value) {
  if (Reading()) {
    itemIndex_ = value;
    return;
  }
  value = std::clamp(value, -1, ItemCount() - 1);
  if (value == itemIndex_) return;
  if (itemIndex_ >= 0 && itemIndex_ < ItemCount()) ItemButton(itemIndex_)->SetChecked(false);
  itemIndex_ = value;
  if (value >= 0) ItemButton(value)->SetChecked(true);
}

bool TFcCustomRadioGroup::CanChangeIndex(int newIndex) {
  bool allow = true;
  if (OnChanging) OnChanging(this, newIndex, allow);
  return allow;
}

void TFcCustomRadioGroup::SyncItems() {
  // Also a stored index past the items, or before the first.
  itemIndex_ = std::clamp(itemIndex_, -1, Items()->Count() - 1);
  SetItemCount(Items()->Count());
  for (int i = 0; i < ItemCount(); ++i) Item(i)->SetCaption(Items()->Strings(i));
  if (itemIndex_ >= 0) {
    TRestore<bool> updating(updating_, true);
    ItemButton(itemIndex_)->SetChecked(true);
  }
  LayOutItems();
  Invalidate();
}

void TFcCustomRadioGroup::ItemClicked(TObject* sender) {
  if (updating_) return;
  const int index = IndexOfItem(sender);
  if (index < 0) return;
  if (CanChangeIndex(index)) {
    itemIndex_ = index;
    Click();
    return;
  }
  // Refused: the selection stays as it was, checked again without asking anyone.
  TRestore<bool> updating(updating_, true);
  if (itemIndex_ < 0 || itemIndex_ >= ItemCount()) {
    ItemButton(index)->SetChecked(false);
    return;
  }
  TFcGroupButton* current = ItemButton(itemIndex_);
  current->SetChecked(true);
  if (current->CanFocus()) current->SetFocus();
}

// ---- Check group ---------------------------------------------------------------------------------

TFcCustomCheckGroup::TFcCustomCheckGroup(TComponent* owner)
    : TFcCustomItemGroup(owner), storedStates_(std::make_unique<TFcIntegerList>()) {}

TFcCustomGlyphButton* TFcCustomCheckGroup::CreateItem() { return new TFcGroupCheck(this); }

TFcGroupCheck* TFcCustomCheckGroup::ItemCheck(int index) const { return static_cast<TFcGroupCheck*>(Item(index)); }

void TFcCustomCheckGroup::SetAllowGrayed(bool value) {
  if (StoreChanged(allowGrayed_, value)) LayOutItems();
}

void TFcCustomCheckGroup::PushOwnItemSettings(TFcCustomGlyphButton* item) {
  static_cast<TFcGroupCheck*>(item)->SetAllowGrayed(allowGrayed_);
}

void TFcCustomCheckGroup::ItemClicked(TObject* sender) {
  const int index = IndexOfItem(sender);
  if (index >= 0) NotifyStateChange(index, ItemCheck(index)->State());
}

void TFcCustomCheckGroup::NotifyStateChange(int index, TCheckBoxState newState) {
  if (OnChange) OnChange(this, index, newState);
}

std::vector<int> TFcCustomCheckGroup::CheckStates() const {
  std::vector<int> states;
  for (int i = 0; i < ItemCount(); ++i) states.push_back(ItemCheck(i)->State());
  return states;
}

void TFcCustomCheckGroup::ReadCheckStates(const TValue& value) {
  storedStates_->Clear();
  for (const TValue& item : value.AsList()) storedStates_->Add(static_cast<int>(item.AsInteger()));
}

void TFcCustomCheckGroup::Loaded() {
  TFcCustomItemGroup::Loaded();
  // What fits: states of items that exist, and only the three there are.
  for (int i = 0; i < storedStates_->Count() && i < ItemCount(); ++i) {
    int state = storedStates_->Items(i);
    if (state >= cbUnchecked && state <= cbGrayed) ItemCheck(i)->SetState(static_cast<TCheckBoxState>(state));
  }
}

// ---- Registration ------------------------------------------------------------------------------------

namespace {

template <class C>
TClassBuilder<C>& PublishItemGroupSettings(TClassBuilder<C>& builder) {
  builder.String("Caption", &C::Caption, &C::SetCaption)
      .Enum("Alignment", AlignmentInfo, &C::Alignment, &C::SetAlignment, taLeftJustify)
      .Enum("GroupStyle", GroupBoxStyleInfo, &C::GroupStyle, &C::SetGroupStyle, gsFlat)
      .Boolean("TabStop", &C::TabStop, &C::SetTabStop, false)
      .Strings(
          "Items",
          [](C* c) {
            std::vector<std::string> lines;
            for (int i = 0; i < c->Items()->Count(); ++i) lines.push_back(c->Items()->Strings(i));
            return lines;
          },
          [](C* c, const std::vector<std::string>& lines) {
            TStringList list;
            for (const std::string& line : lines) list.Add(line);
            c->SetItems(&list);
          })
      .Integer("Columns", &C::Columns, &C::SetColumns, 1)
      .Integer("ItemHeight", &C::ItemHeight, &C::SetItemHeight, 17)
      .Integer("VerticalSpacing", &C::VerticalSpacing, &C::SetVerticalSpacing, 3)
      .Integer("StartXPos", &C::StartXPos, &C::SetStartXPos, 8)
      .Integer("StartYPos", &C::StartYPos, &C::SetStartYPos, 2)
      .Boolean("SpaceEvenly", &C::SpaceEvenly, &C::SetSpaceEvenly, false)
      .Object("ItemFont", &C::ItemFont)
      .StoredIf(&C::ItemFontSetDirectly)
      .Color("ItemFrameColor", &C::ItemFrameColor, &C::SetItemFrameColor, clBtnShadow)
      .Boolean("ItemHotTrack", &C::ItemHotTrack, &C::SetItemHotTrack, false)
      .Color("ItemHighlightColor", &C::ItemHighlightColor, &C::SetItemHighlightColor, clHighlight)
      .Color("ItemHotTrackColor", &C::ItemHotTrackColor, &C::SetItemHotTrackColor, clHighlight)
      .Enum("ItemHotTrackColorType", HotTrackColorTypeInfo, &C::ItemHotTrackColorType,
            &C::SetItemHotTrackColorType, htctComplement)
      .Enum("TextStyle", TextStyleInfo, &C::TextStyle, &C::SetTextStyle, tsNormal)
      .Boolean("LightTextStyle", &C::LightTextStyle, &C::SetLightTextStyle, false)
      .Color("TextHighlightColor", &C::TextHighlightColor, &C::SetTextHighlightColor, clBtnHighlight)
      .Color("TextShadowColor", &C::TextShadowColor, &C::SetTextShadowColor, clBtnShadow)
      .Integer("TextShadowDepth", &C::TextShadowDepth, &C::SetTextShadowDepth, 2)
      .Boolean("UseCustomGlyphs", &C::UseCustomGlyphs, &C::SetUseCustomGlyphs, false)
      .Color("TransparentColor", &C::TransparentColor, &C::SetTransparentColor, clOlive)
      .Color("WinMaskColor", &C::WinMaskColor, &C::SetWinMaskColor, clTeal)
      .Boolean("TabOnEnter", &C::TabOnEnter, &C::SetTabOnEnter, false)
      // The strip is named by its program resource.
      .Extra(
          "CustomGlyphs", tkString, [](C* c, const TValue& v) { c->LoadCustomGlyphsResource(v.AsString()); },
          [](C* c) -> std::optional<TValue> {
            if (c->CustomGlyphsResource().empty()) return std::nullopt;
            return TValue::String(c->CustomGlyphsResource());
          })
      // Older layouts' name of ItemHotTrack.
      .Extra("Flat", tkBoolean, [](C* c, const TValue& v) { c->SetItemHotTrack(v.AsBoolean()); });
  return PublishPanelSettings(builder, fsNone, avTop);
}

}  // namespace

void RegisterFcRadGrp() {
  RegisterClassInfo<TFcCustomItemGroup, TFcCustomGroupBox>("TFcCustomItemGroup");

  using R = TFcRadioGroup;
  RegisterClassInfo<TFcCustomRadioGroup, TFcCustomItemGroup>("TFcCustomRadioGroup");
  auto radio = RegisterClassInfo<R, TFcCustomRadioGroup>("TFcRadioGroup");
  radio.Integer("ItemIndex", &R::ItemIndex, &R::SetItemIndex, -1)
      .Event("OnChanging", static_cast<TFcIndexChangingEvent R::*>(&R::OnChanging));
  PublishItemGroupSettings(radio);

  using K = TFcCheckGroup;
  RegisterClassInfo<TFcCustomCheckGroup, TFcCustomItemGroup>("TFcCustomCheckGroup");
  auto check = RegisterClassInfo<K, TFcCustomCheckGroup>("TFcCheckGroup");
  check.Boolean("AllowGrayed", &K::AllowGrayed, &K::SetAllowGrayed, false)
      .Event("OnChange", static_cast<TStateChangeEvent K::*>(&K::OnChange))
      .Extra(
          "CheckStates", tkList, [](K* k, const TValue& v) { k->ReadCheckStates(v); },
          [](K* k) -> std::optional<TValue> {
            std::vector<int> states = k->CheckStates();
            if (states.empty()) return std::nullopt;
            std::vector<TValue> items;
            for (int s : states) items.push_back(TValue::Integer(s));
            return TValue::List(std::move(items));
          });
  PublishItemGroupSettings(check);
}
