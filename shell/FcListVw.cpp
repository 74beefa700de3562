#include "shell/FcListVw.h"

#include <algorithm>

#include "platform/Guards.h"
#include "shell/FcShellUtils.h"

using namespace FcViews;

const TEnumInfo FcLVHeaderSortDisplayModeInfo{
    "TFcLVHeaderSortDisplayMode", {"hsdmNone", "hsdmLeftAlign", "hsdmRightOfText", "hsdmRightAlign"}};

namespace {

// Posted to the list once its window exists: the header's items take their formats.
constexpr UINT CM_FCLVHEADERFORMATS = WM_USER + 100;

// Most significant half of the common controls' version at least `major`.`minor`.
bool CommonControlsAtLeast(unsigned major, unsigned minor) {
  return (CommonControlsVersion() >> 32) >= ((static_cast<std::uint64_t>(major) << 16) | minor);
}

// The text a column sorts by: the caption for column 0, else the sub-item's (empty when
// missing).
std::string SortText(TListItem* item, int column) {
  return column == 0 ? item->Caption() : item->SubItem(column - 1);
}

}  // namespace

// ---- TFcCustomListView ---------------------------------------------------------------------

TMessageTable& TFcCustomListView::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(WM_RBUTTONDOWN, Handler(&TFcCustomListView::WMRButtonDown));
    t->Add(WM_RBUTTONUP, Handler(&TFcCustomListView::WMRButtonUp));
    t->Add(WM_CONTEXTMENU, Handler(&TFcCustomListView::WMContextMenu));
    t->Add(WM_DRAWITEM, Handler(&TFcCustomListView::WMDrawItem));
    t->Add(CN_NOTIFY, Handler(&TFcCustomListView::CNNotify));
    t->Add(CM_FCLVHEADERFORMATS, Handler(&TFcCustomListView::CMHeaderFormats));
    return t;
  }();
  return *table;
}

TFcCustomListView::TFcCustomListView(TComponent* owner)
    : TFcFramedView<TCustomListView>(owner), headerCanvas_(std::make_unique<TCanvas>()) {}

TFcCustomListView::~TFcCustomListView() { Destroying(); }

void TFcCustomListView::CreateWnd() {
  TFcFramedView<TCustomListView>::CreateWnd();
  PostMessageA(Handle(), CM_FCLVHEADERFORMATS, 0, 0);
}

void TFcCustomListView::Loaded() {
  // Still loading: the fit leaves room for the scroll bar the items may bring.
  FitLastColumn();
  TFcFramedView<TCustomListView>::Loaded();
}

void TFcCustomListView::SetViewStyle(TViewStyle value) {
  TFcFramedView<TCustomListView>::SetViewStyle(value);
  if (value != vsReport) return;
  UpdateHeaderFormats();
  FitLastColumn();
}

// ---- Frame and the disabled look ---------------------------------------------------------

void TFcCustomListView::RepaintFrame() {
  if (!ComponentState().Contains(csLoading)) TFcFramedView<TCustomListView>::RepaintFrame();
}

void TFcCustomListView::Resize() {
  TFcFramedView<TCustomListView>::Resize();
  FitLastColumn();
}

bool TFcCustomListView::IsCustomDrawn() {
  return TFcFramedView<TCustomListView>::IsCustomDrawn() ||
         (!Enabled() && !ComponentState().Contains(csDesigning));
}

bool TFcCustomListView::CustomDrawItem(TListItem* item, TCustomDrawState state) {
  if (!Enabled() && !ComponentState().Contains(csDesigning)) Canvas()->Brush()->SetColor(DisabledColor());
  return TFcFramedView<TCustomListView>::CustomDrawItem(item, state);
}

// ---- The last column -----------------------------------------------------------------------

void TFcCustomListView::SetFillLastColumn(bool value) {
  if (value == fillLastColumn_) return;
  fillLastColumn_ = value;
  FitLastColumn();
}

void TFcCustomListView::FitLastColumn() {
  TListColumns* columns = Columns();
  if (!fillLastColumn_ || ViewStyle() != vsReport || ComponentState().Contains(csDestroying) ||
      columns->Count() == 0)
    return;
  Items()->BeginUpdate();
  TScopeExit ended([this]() noexcept { Items()->EndUpdate(); });
  int others = 0;
  for (int i = 0; i < columns->Count() - 1; ++i) others += columns->Items(i)->Width();
  int available = ClientWidth();
  // Room for the scroll bar the first items may bring.
  if (Items()->Count() == 0 || ComponentState().Contains(csLoading)) available -= GetSystemMetrics(SM_CXVSCROLL);
  if (others < available) columns->Items(columns->Count() - 1)->SetWidth(std::max(available - others, 5));
}

// ---- Sorting -------------------------------------------------------------------------------

void TFcCustomListView::ColClick(TListColumn* column) {
  if (sortOnColumnClick_) {
    int index = column->Index();
    // The column sorted by the last click goes the other way, and is forgotten: the next click
    // sorts ascending again.
    bool descending = index == lastClickedColumn_;
    lastClickedColumn_ = descending ? -1 : index;
    SetHeaderSortColumn(index);
    SetHeaderSortDescending(descending);
    SortByColumn(index, descending);
  }
  TFcFramedView<TCustomListView>::ColClick(column);
}

void TFcCustomListView::SortByColumn(int column, bool descending) {
  CustomSort([column, descending](TListItem* a, TListItem* b) {
    std::string x = SortText(a, column);
    std::string y = SortText(b, column);
    int result = x.empty() != y.empty() ? (x.empty() ? 1 : -1) : AnsiCompareText(x, y);
    return descending ? -result : result;
  });
}

void TFcCustomListView::SetHeaderSortColumn(int value) {
  if (value == headerSortColumn_) return;
  int old = headerSortColumn_;
  headerSortColumn_ = value;
  InvalidateHeaderItem(old);
  InvalidateHeaderItem(value);
  if (CommonControlsAtLeast(6, 0)) UpdateHeaderFormats();
}

void TFcCustomListView::SetHeaderSortDescending(bool value) {
  if (value == headerSortDescending_) return;
  headerSortDescending_ = value;
  InvalidateHeaderItem(headerSortColumn_);
  Update();
  if (CommonControlsAtLeast(6, 0)) UpdateHeaderFormats();
}

void TFcCustomListView::InvalidateHeaderItem(int column) {
  HWND header = HeaderHandle();
  if (!header || column < 0) return;
  RECT r;
  if (SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&r)))
    InvalidateRect(header, &r, TRUE);
}

// ---- The header ----------------------------------------------------------------------------

void TFcCustomListView::SetHeaderSortDisplayMode(TFcLVHeaderSortDisplayMode value) {
  if (!CommonControlsAtLeast(4, 70)) value = hsdmNone;
  if (value == headerSortDisplayMode_) return;
  headerSortDisplayMode_ = value;
  UpdateHeaderFormats();
}

void TFcCustomListView::SetOwnerDrawHeader(bool value) {
  if (value == ownerDrawHeader_) return;
  ownerDrawHeader_ = value;
  UpdateHeaderFormats();
}

void TFcCustomListView::UpdateHeaderFormats() {
  HWND header = HeaderHandle();
  if (updatingFormats_ || ViewStyle() != vsReport || !header) return;
  TRestore<bool> updating(updatingFormats_, true);
  bool ownerDrawn = ownerDrawHeader_ && headerSortDisplayMode_ != hsdmNone;
  for (int i = Columns()->Count() - 1; i >= 0; --i) {
    HDITEMA item{};
    item.mask = HDI_FORMAT;
    if (!SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item))) continue;
    int alignment = item.fmt & HDF_JUSTIFYMASK;
    if (ownerDrawn)
      item.fmt = alignment | HDF_OWNERDRAW;
    else
      item.fmt = alignment | HDF_STRING |
                 (Columns()->Items(i)->ImageIndex() != -1 && SmallImages() ? HDF_IMAGE : 0);
    SendMessageA(header, HDM_SETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  InvalidateRect(header, nullptr, TRUE);
}

void TFcCustomListView::CMHeaderFormats(TMessage&) { UpdateHeaderFormats(); }

void TFcCustomListView::HeaderNotify(THeaderNotification notification, int column) {
  TFcFramedView<TCustomListView>::HeaderNotify(notification, column);
  switch (notification) {
    case hnItemClick:
      if (HWND header = HeaderHandle()) InvalidateRect(header, nullptr, TRUE);
      break;
    case hnBeginTrack:
    case hnEndTrack:
    case hnItemChanged:
      UpdateHeaderFormats();
      if (FrameVisible()) Invalidate();
      if (notification == hnEndTrack) FitLastColumn();
      break;
    case hnDividerDblClick:
      FitLastColumn();
      break;
  }
}

void TFcCustomListView::HeaderWndProc(TMessage& m) {
  HWND header = HeaderHandle();
  switch (m.Msg) {
    case WM_NCHITTEST:
      if (ComponentState().Contains(csDesigning)) {
        m.Result = HTTRANSPARENT;
        return;
      }
      break;
    case WM_MOUSEMOVE: {
      TWMMouse mouse(m);
      if (ThemeServicesEnabled() && (mouse.Keys & (MK_LBUTTON | MK_MBUTTON | MK_RBUTTON)) == 0) {
        HDHITTESTINFO hit{};
        hit.pt = mouse.Pos;
        int item = static_cast<int>(SendMessageA(header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        if (!(hit.flags & HHT_ONHEADER)) item = -1;
        if (item != hotHeaderItem_) {
          hotHeaderItem_ = item;
          InvalidateRect(header, nullptr, TRUE);
        }
      }
      break;
    }
    case WM_MOUSELEAVE:
      if (hotHeaderItem_ != -1) {
        hotHeaderItem_ = -1;
        InvalidateRect(header, nullptr, TRUE);
      }
      break;
    case WM_LBUTTONDOWN:
      headerPressed_ = true;
      break;
    case WM_LBUTTONUP:
      headerPressed_ = false;
      break;
    default:
      break;
  }
  TFcFramedView<TCustomListView>::HeaderWndProc(m);
}

void TFcCustomListView::WMDrawItem(TWMDrawItem& m) {
  const DRAWITEMSTRUCT* item = m.DrawItemStruct;
  if (item && item->CtlType == ODT_HEADER && ownerDrawHeader_ && item->hwndItem == HeaderHandle()) {
    DrawHeaderItem(*item);
    m.Result = 1;
    return;
  }
  Inherited(m);
}

void TFcCustomListView::DrawHeaderItem(const DRAWITEMSTRUCT& draw) {
  int index = static_cast<int>(draw.itemID);
  if (index < 0 || index >= Columns()->Count()) return;
  TListColumn* column = Columns()->Items(index);
  HDC dc = draw.hDC;
  TSavedDC saved(dc);
  TCanvas* canvas = headerCanvas_.get();
  TCanvasBinding binding(canvas, dc);
  canvas->SetFont(Font());
  canvas->Brush()->SetColor(clBtnFace);

  RECT item = draw.rcItem;
  RECT text = item;
  bool themed = ThemeServicesEnabled();
  if (!themed) {
    canvas->FillRect(item);
  } else if (Themes::TThemeData theme = Themes::OpenTheme(draw.hwndItem, "HEADER")) {
    int state = index != hotHeaderItem_ ? HIS_NORMAL : headerPressed_ ? HIS_PRESSED : HIS_HOT;
    Themes::DrawThemeBackground(theme.get(), canvas->Handle(), HP_HEADERITEM, state, item);
  }
  InflateRect(&text, -2, -2);
  text.left += 4;
  text.right -= 4;
  IntersectClipRect(canvas->Handle(), item.left, item.top, item.right, item.bottom);

  // The arrow's box: a square at the text's left, about as high as half the item.
  int h = (text.top + text.bottom) / 2 - 1;
  int side = h + 1;
  int boxTop = (text.top + text.bottom - h) / 2 - 1;
  RECT box{text.left, boxTop, text.left + side, boxTop + side};
  auto moveBoxTo = [&](int left) { box = RECT{left, boxTop, left + side, boxTop + side}; };

  bool isSort = index == headerSortColumn_;
  int width = item.right - item.left;
  bool arrow = isSort && width > 2 * side && headerSortDisplayMode_ != hsdmNone;
  std::string caption = column->Caption().substr(0, 255);
  TAlignment alignment = column->Alignment();

  auto drawText = [&]() {
    if (column->ImageIndex() >= 0 && SmallImages()) {
      TCustomImageList* images = SmallImages();
      images->Draw(canvas, text.left, (text.top + text.bottom - images->Height()) / 2, column->ImageIndex());
      text.left += images->Width() + 4;
    }
    canvas->Brush()->SetStyle(themed ? bsClear : bsSolid);
    canvas->Brush()->SetColor(clBtnFace);
    UINT flags = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX |
                 (alignment == taRightJustify ? DT_RIGHT : alignment == taCenter ? DT_CENTER : DT_LEFT);
    RECT r = text;
    DrawTextA(canvas->Handle(), caption.c_str(), static_cast<int>(caption.size()), &r, flags);
  };

  switch (headerSortDisplayMode_) {
    case hsdmLeftAlign:
      if (isSort && width > 15) text.left = box.right + 5;
      drawText();
      break;
    case hsdmRightOfText:
      if (alignment == taLeftJustify) {
        drawText();
        int end = text.left + std::min(canvas->TextWidth(caption), static_cast<int>(text.right - text.left));
        moveBoxTo(end + 5);
      } else {
        if (isSort) {
          moveBoxTo(text.right - 5 - side);
          if (alignment == taRightJustify) {
            text.right = box.left - 5;
          } else {
            text.left += side + 5;
            text.right -= side + 5;
          }
        }
        drawText();
      }
      break;
    case hsdmRightAlign:
      moveBoxTo(text.right - side);
      if (isSort) text.right = box.left - 5;
      drawText();
      break;
    case hsdmNone:
      drawText();
      break;
  }
  if (!arrow) return;
  // A filled triangle three quarters of the box high: up ascending, down descending.
  int c = (box.bottom - box.top) * 3 / 4;
  int w = 2 * c - 1;
  int x0 = box.left + ((box.right - box.left) - w) / 2;
  int y0 = box.top + ((box.bottom - box.top) - c) / 2;
  canvas->Pen()->SetColor(clBtnShadow);
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(clBtnShadow);
  if (headerSortDescending_)
    canvas->Polygon({POINT{x0, y0}, POINT{x0 + w - 1, y0}, POINT{x0 + (w - 1) / 2, y0 + c - 1}});
  else
    canvas->Polygon({POINT{x0, y0 + c - 1}, POINT{x0 + w - 1, y0 + c - 1}, POINT{x0 + (w - 1) / 2, y0}});
}

// ---- Label editing and check boxes -----------------------------------------------------------

bool TFcCustomListView::CanEdit(TListItem* item) {
  if (!EditingFromCode() && ViewStyle() == vsReport && RowSelect()) {
    POINT p;
    GetCursorPos(&p);
    p = ScreenToClient(p);
    RECT label = item->DisplayRect(drLabel);
    if (!PtInRect(&label, p)) return false;
  }
  return TFcFramedView<TCustomListView>::CanEdit(item);
}

void TFcCustomListView::CNNotify(TWMNotify& m) {
  auto* lv = reinterpret_cast<NMLISTVIEW*>(m.NMHdr);
  UINT code = lv->hdr.code;
  bool checkChange = Checkboxes() && !RestoringWindow() && (code == LVN_ITEMCHANGING || code == LVN_ITEMCHANGED) &&
                     lv->iItem >= 0 && (lv->uChanged & LVIF_STATE) &&
                     ((lv->uNewState ^ lv->uOldState) & LVIS_STATEIMAGEMASK);
  UINT image = lv->uNewState & LVIS_STATEIMAGEMASK;
  TListItem* item = checkChange && lv->iItem < Items()->Count() ? Items()->Item(lv->iItem) : nullptr;
  if (!item || (image != INDEXTOSTATEIMAGEMASK(1) && image != INDEXTOSTATEIMAGEMASK(2))) {
    Inherited(m);
    return;
  }
  if (code == LVN_ITEMCHANGING) {
    bool allow = true;
    DoItemChecking(item, image == INDEXTOSTATEIMAGEMASK(2), allow);
    if (!allow) {
      m.Result = 1;
      return;
    }
    Inherited(m);
    return;
  }
  Inherited(m);
  DoItemChecked(item);
}

void TFcCustomListView::DoItemChecking(TListItem* item, bool checked, bool& allow) {
  if (OnItemChecking) OnItemChecking(this, item, checked, allow);
}

void TFcCustomListView::DoItemChecked(TListItem* item) {
  if (OnItemChecked) OnItemChecked(this, item);
}

// ---- Context menus -------------------------------------------------------------------------

void TFcCustomListView::DoItemContextMenu(POINT pos) {
  TPopupMenu* menu = PopupMenu();
  if (OnItemContextMenu) OnItemContextMenu(this, ItemFocused(), pos, menu);
  menuShown_ = true;
  PopupAt(menu, this, pos);
}

void TFcCustomListView::ShowContextMenu(POINT pos) {
  TListItem* focused = ItemFocused();
  if (!focused || rightClickOnItem_) {
    if (GetItemAt(pos.x, pos.y)) {
      DoItemContextMenu(pos);
    } else {
      PopupAt(PopupMenu(), this, pos);
      menuShown_ = true;
    }
    return;
  }
  // The keyboard, or a click beside the items: the menu of the focused item when it is
  // selected, else of the first selected one, at the centre of its icon.
  TListItem* target = focused->Selected() ? focused : Selected();
  if (!target) {
    PopupAt(PopupMenu(), this, pos);
    menuShown_ = true;
    return;
  }
  RECT icon = target->DisplayRect(drIcon);
  DoItemContextMenu(POINT{(icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2});
}

void TFcCustomListView::WMRButtonDown(TWMMouse& m) {
  if (ComponentState().Contains(csDesigning)) {
    Inherited(m);
    return;
  }
  menuShown_ = false;
  ForgetKeyMenu();
  unsigned drags = DragStarts();
  {
    // The system's own handling (it selects and focuses the item, waits for a drag and asks
    // for its context menu) comes first; the menu is the list's own, shown after it.
    TRestore<bool> clicking(rightClicking_, true);
    Inherited(m);
  }
  if (DragStarts() != drags) return;
  POINT pos = m.Pos;
  TRestore<bool> onItem(rightClickOnItem_, GetItemAt(pos.x, pos.y) != nullptr);
  ShowContextMenu(pos);
}

void TFcCustomListView::WMRButtonUp(TWMMouse& m) {
  // The system's context menu that follows the release of a right click that showed a menu
  // is not the PopupMenu's to show.
  TPopupMenu* menu = menuShown_ ? PopupMenu() : nullptr;
  if (menu) SetPopupMenu(nullptr);
  TScopeExit restore([&]() noexcept {
    if (menu) SetPopupMenu(menu);
    menuShown_ = false;
  });
  Inherited(m);
}

void TFcCustomListView::WMContextMenu(TWMContextMenu& m) {
  m.Result = 1;
  if (KeyMenuAnswered(m.Pos) || ComponentState().Contains(csDesigning) || menuShown_ || rightClicking_ ||
      (!Selected() && !ItemFocused()))
    return;
  if (IsKeyboardPoint(m.Pos))
    ShowContextMenu(POINT{0, 0});
  else
    DoItemContextMenu(ScreenToClient(m.Pos));
}

// ---- Wheel ---------------------------------------------------------------------------------

bool TFcCustomListView::DoMouseWheel(TShiftState shift, int wheelDelta, POINT mousePos) {
  if (TFcFramedView<TCustomListView>::DoMouseWheel(shift, wheelDelta, mousePos)) return true;
  int step = WheelScrollLines() * (ViewStyle() == vsIcon ? 32 : 16);
  Scroll(0, wheelDelta < 0 ? step : -step);
  return true;
}

// ---- Registration --------------------------------------------------------------------------

void RegisterFcListVw() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterFcTreeVw();
  RegisterClassInfo<TFcCustomListView, TCustomListView>("TFcCustomListView");
  auto builder = RegisterClassInfo<TFcListView, TFcCustomListView>("TFcListView");
  PublishFcListViewProperties(builder);
}
