// The framed list view the shell list is built on: the library's frame and colour settings
// with a frame of its own, context menus that name the item under the click, the keyboard's
// menu keys, wheel scrolling, a last column that fills the width, sorting by a click on a
// column with the sort shown by an arrow in a header the list draws itself, check-box events
// and a disabled look.
//
// Index: TFcCustomListView / TFcListView · registration.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "shell/FcTreeVw.h"

// Where the sort column's header shows its arrow: nowhere, left of the text, right after the
// text, or at the item's right end.
enum TFcLVHeaderSortDisplayMode { hsdmNone, hsdmLeftAlign, hsdmRightOfText, hsdmRightAlign };
extern const TEnumInfo FcLVHeaderSortDisplayModeInfo;

// Asked before an item's context menu shows: `item` is the focused item, `pos` the client
// point and `menu` the menu (the list's PopupMenu at first); a menu set to nullptr shows
// nothing.
using TFcLVOnItemContextMenuEvent =
    std::function<void(TObject* sender, TListItem* item, POINT& pos, TPopupMenu*& menu)>;
// Asked before an item's box is ticked (`checked`) or cleared; `allow` false keeps it.
using TFcLVItemCheckingEvent = std::function<void(TObject* sender, TListItem* item, bool checked, bool& allow)>;

class TFcCustomListView : public TFcFramedView<TCustomListView> {
  MESSAGE_TABLE(TFcFramedView<TCustomListView>)

 public:
  explicit TFcCustomListView(TComponent* owner);
  ~TFcCustomListView() override;

  // In the report view the last column takes the width the others leave.
  bool FillLastColumn() const { return fillLastColumn_; }
  virtual void SetFillLastColumn(bool value);
  virtual void FitLastColumn();
  // A click on a column's header sorts by it: ascending, then descending on a second click,
  // then ascending again; captions (and sub-item texts) compare without regard to case, and
  // empty texts go last (first when descending).
  bool SortOnColumnClick() const { return sortOnColumnClick_; }
  void SetSortOnColumnClick(bool value) { sortOnColumnClick_ = value; }
  // The column whose header shows the sort arrow (-1: none), and the arrow's direction.
  int HeaderSortColumn() const { return headerSortColumn_; }
  void SetHeaderSortColumn(int value);
  bool HeaderSortDescending() const { return headerSortDescending_; }
  void SetHeaderSortDescending(bool value);
  // Taken only where the common controls can show it (4.70 or later); hsdmNone otherwise.
  TFcLVHeaderSortDisplayMode HeaderSortDisplayMode() const { return headerSortDisplayMode_; }
  void SetHeaderSortDisplayMode(TFcLVHeaderSortDisplayMode value);
  // The list draws the header's items itself (with the sort arrow).
  bool OwnerDrawHeader() const { return ownerDrawHeader_; }
  void SetOwnerDrawHeader(bool value);
  // Gives the header's items the format the display mode asks for.
  void UpdateHeaderFormats();
  // The keyboard's context menu (and a right click's, at the click): see DoItemContextMenu.
  void ShowContextMenu(POINT pos);

  void SetViewStyle(TViewStyle value) override;
  void Loaded() override;

  TFcLVOnItemContextMenuEvent OnItemContextMenu;
  TFcLVItemCheckingEvent OnItemChecking;
  TLVNotifyEvent OnItemChecked;

 protected:
  void CreateWnd() override;
  // Not while a layout is read.
  void RepaintFrame() override;
  void ShowKeyboardContextMenu() override { ShowContextMenu(POINT{0, 0}); }
  // The focused item's context menu at the client point: OnItemContextMenu with PopupMenu,
  // then the menu it leaves.
  virtual void DoItemContextMenu(POINT pos);
  virtual void DoItemChecking(TListItem* item, bool checked, bool& allow);
  virtual void DoItemChecked(TListItem* item);

  void Resize() override;
  bool DoMouseWheel(TShiftState shift, int wheelDelta, POINT mousePos) override;
  void ColClick(TListColumn* column) override;
  // In the report view with RowSelect a user's edit starts only on the caption itself.
  bool CanEdit(TListItem* item) override;
  bool IsCustomDrawn() override;
  bool CustomDrawItem(TListItem* item, TCustomDrawState state) override;
  void HeaderWndProc(TMessage& m) override;
  void HeaderNotify(THeaderNotification notification, int column) override;

  void WMRButtonDown(TWMMouse& m);
  void WMRButtonUp(TWMMouse& m);
  void WMContextMenu(TWMContextMenu& m);
  void WMDrawItem(TWMDrawItem& m);
  void CNNotify(TWMNotify& m);
  void CMHeaderFormats(TMessage& m);

 private:
  void DrawHeaderItem(const DRAWITEMSTRUCT& item);
  void SortByColumn(int column, bool descending);
  void InvalidateHeaderItem(int column);

  std::unique_ptr<TCanvas> headerCanvas_;
  bool fillLastColumn_ = true;
  bool sortOnColumnClick_ = false;
  int headerSortColumn_ = -1;
  bool headerSortDescending_ = false;
  int lastClickedColumn_ = -1;
  TFcLVHeaderSortDisplayMode headerSortDisplayMode_ = hsdmRightOfText;
  bool ownerDrawHeader_ = true;
  bool updatingFormats_ = false;
  int hotHeaderItem_ = -1;
  bool headerPressed_ = false;
  // A right click showed a menu; the system's own context menu after it is not shown.
  bool menuShown_ = false;
  // A right click is being handled: its menu is shown once the system's handling is over.
  bool rightClicking_ = false;
  bool rightClickOnItem_ = false;
};

class TFcListView : public TFcCustomListView {
 public:
  using TFcCustomListView::TFcCustomListView;
};

// The framed list view's properties and events on the builder of C (a TFcCustomListView):
// the frame settings, the list view's own and the framed view's additions.
template <class C>
TClassBuilder<C>& PublishFcListViewProperties(TClassBuilder<C>& builder) {
  PublishFrameSettings(builder);
  return PublishListViewProperties(builder)
      .Boolean("FillLastColumn", &C::FillLastColumn, &C::SetFillLastColumn, true)
      .Boolean("SortOnColumnClick", &C::SortOnColumnClick, &C::SetSortOnColumnClick, false)
      .Enum("HeaderSortDisplayMode", FcLVHeaderSortDisplayModeInfo, &C::HeaderSortDisplayMode,
            &C::SetHeaderSortDisplayMode, hsdmRightOfText)
      .Boolean("OwnerDrawHeader", &C::OwnerDrawHeader, &C::SetOwnerDrawHeader, true)
      .Event("OnItemContextMenu", InheritedEvent<C>(&C::OnItemContextMenu))
      .Event("OnItemChecking", InheritedEvent<C>(&C::OnItemChecking))
      .Event("OnItemChecked", InheritedEvent<C>(&C::OnItemChecked));
}

// Registers TFcListView (and what it stands on) for stored layouts. Once is enough.
void RegisterFcListVw();
