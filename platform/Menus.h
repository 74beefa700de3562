// Menus: items with captions, checks, short-cuts and sub-menus, and the popup menu that shows
// them with TrackPopupMenu and hands the chosen item its click.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/Classes.h"
#include "platform/Controls.h"

class TCustomImageList;
class TMenu;

// A key with its Shift, Ctrl and Alt flags, as menus show and match them.
using TShortCut = WORD;
constexpr WORD scShift = 0x2000;
constexpr WORD scCtrl = 0x4000;
constexpr WORD scAlt = 0x8000;
TShortCut ShortCut(WORD key, TShiftState shift);
// "Ctrl+S", "Shift+F10", "Del"...; "" for 0.
std::string ShortCutToText(TShortCut shortCut);

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* owner);
  // Leaves its parent and lets its sub-items go (their owner frees them).
  ~TMenuItem() override;

  // "-" makes a separator line; "&" marks the accelerator.
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value) { caption_ = value; }
  bool Checked() const { return checked_; }
  // Checking a radio item unchecks the other radio items of its group.
  void SetChecked(bool value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value) { enabled_ = value; }
  bool Visible() const { return visible_; }
  void SetVisible(bool value) { visible_ = value; }
  // Shown in bold; the item a double click would choose.
  bool Default() const { return default_; }
  void SetDefault(bool value) { default_ = value; }
  bool RadioItem() const { return radioItem_; }
  void SetRadioItem(bool value) { radioItem_ = value; }
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int value) { groupIndex_ = value; }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value) { imageIndex_ = value; }
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut value) { shortCut_ = value; }
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& value) { hint_ = value; }
  bool IsLine() const { return caption_ == "-"; }

  // ---- Sub-items
  int Count() const { return static_cast<int>(items_.size()); }
  // Raises EListError for an index out of range.
  TMenuItem* Items(int index) const;
  TMenuItem* Parent() const { return parent_; }
  // The position among the parent's items; -1 without a parent.
  int MenuIndex() const;
  // Raises EInvalidOperation when the item has a parent already.
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  // Takes the item out of this one (it is not freed).
  void Delete(int index);
  void Remove(TMenuItem* item);
  int IndexOf(const TMenuItem* item) const;
  // Frees every sub-item.
  void Clear();
  // The item (this one or below) with the command number, or nullptr.
  TMenuItem* Find(UINT command);
  // The number WM_COMMAND brings when this item is chosen.
  UINT Command() const { return command_; }
  // The menu whose Items this item sits in, at any depth.
  TMenu* GetParentMenu() const;

  // Fires OnClick when enabled.
  virtual void Click();
  TNotifyEvent OnClick;

  void SetParentComponent(TComponent* parent) override;
  TComponent* GetParentComponent() const override;

 private:
  friend class TMenu;
  std::string caption_;
  bool checked_ = false;
  bool enabled_ = true;
  bool visible_ = true;
  bool default_ = false;
  bool radioItem_ = false;
  int groupIndex_ = 0;
  int imageIndex_ = -1;
  TShortCut shortCut_ = 0;
  std::string hint_;
  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;  // set on a menu's root item
  std::vector<TMenuItem*> items_;
  UINT command_;
};

class TMenu : public TComponent {
 public:
  explicit TMenu(TComponent* owner);
  ~TMenu() override;

  // The root item: its sub-items are the menu's top items.
  TMenuItem* Items() const { return items_; }
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* value);
  // Clicks the item with this command number; false when the menu has none.
  bool DispatchCommand(UINT command);
  TMenuItem* FindItem(UINT command) { return items_->Find(command); }

 protected:
  void Notification(TComponent* component, TOperation operation) override;
  // A new system menu holding the visible items under `item`; the caller destroys it.
  HMENU BuildMenu(TMenuItem* item);

 private:
  TMenuItem* items_;
  TCustomImageList* images_ = nullptr;
};

enum TPopupAlignment { paLeft, paRight, paCenter };

class TPopupMenu : public TMenu {
 public:
  explicit TPopupMenu(TComponent* owner);
  ~TPopupMenu() override;

  // Shows the menu at the screen point and returns once it is closed; the chosen item's
  // OnClick has run by then.
  virtual void Popup(int x, int y);
  // The control the menu was last shown for (set by whoever shows it).
  TComponent* PopupComponent() const { return popupComponent_; }
  void SetPopupComponent(TComponent* value);
  TPopupAlignment Alignment() const { return alignment_; }
  void SetAlignment(TPopupAlignment value) { alignment_ = value; }
  // Shown by a right click on a control that names this menu.
  bool AutoPopup() const { return autoPopup_; }
  void SetAutoPopup(bool value) { autoPopup_ = value; }
  // The hidden window that owns the shown menu and receives its WM_COMMAND.
  HWND WindowHandle();

  // Just before the menu shows: items may still change.
  TNotifyEvent OnPopup;

 protected:
  virtual void DoPopup();
  void Notification(TComponent* component, TOperation operation) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

  TComponent* popupComponent_ = nullptr;
  TPopupAlignment alignment_ = paLeft;
  bool autoPopup_ = true;
  HWND window_ = nullptr;
};

// Registers the menu classes for stored layouts; items nest as children of their menu or of
// their parent item. Once is enough.
void RegisterMenus();
