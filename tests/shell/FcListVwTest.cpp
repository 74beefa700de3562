#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "EventLog.h"
#include "FcViewsTestSupport.h"
#include "shell/FcListVw.h"

namespace {

// A report list with a column per caption, on the test's form.
TFcListView* ReportList(TForm* form, std::initializer_list<const char*> captions) {
  auto* list = Put<TFcListView>(form, 10, 10, 360, 220);
  list->SetViewStyle(vsReport);
  for (const char* caption : captions) {
    TListColumn* column = list->Columns()->Add();
    column->SetCaption(caption);
    column->SetWidth(100);
  }
  return list;
}

void AddRow(TFcListView* list, const std::string& caption, const std::string& note) {
  TListItem* item = list->Items()->Add();
  item->SetCaption(caption);
  item->AddSubItem(note);
}

std::vector<std::string> Captions(TCustomListView* list) {
  std::vector<std::string> captions;
  for (int i = 0; i < list->Items()->Count(); ++i) captions.push_back(list->Items()->Item(i)->Caption());
  return captions;
}

// ---- Click-to-sort ----------------------------------------------------------------------

struct TSortCase {
  std::vector<int> clicks;
  std::vector<std::string> order;
  int sortColumn;
  bool descending;
};

// Notes: pier "x", Arena (none), tower "y", dock "w".
const TSortCase kSortCases[] = {
    {{0}, {"Arena", "dock", "pier", "tower"}, 0, false},
    {{0, 0}, {"tower", "pier", "dock", "Arena"}, 0, true},
    {{0, 0, 0}, {"Arena", "dock", "pier", "tower"}, 0, false},
    // An empty text goes last ascending and first descending.
    {{1}, {"dock", "pier", "tower", "Arena"}, 1, false},
    {{1, 1}, {"Arena", "tower", "pier", "dock"}, 1, true},
    // Another column always starts ascending.
    {{0, 1}, {"dock", "pier", "tower", "Arena"}, 1, false},
    {{0, 0, 1, 0}, {"Arena", "dock", "pier", "tower"}, 0, false},
};

void PrintTo(const TSortCase& c, std::ostream* os) {
  *os << "clicks";
  for (int column : c.clicks) *os << " " << column;
}

class FcListSort : public FcViewForm, public testing::WithParamInterface<TSortCase> {};

}  // namespace

TEST_P(FcListSort, AHeaderClickSortsByItsColumn) {
  const TSortCase& c = GetParam();
  TFcListView* list = ReportList(form_.get(), {"Name", "Note"});
  list->SetSortOnColumnClick(true);
  AddRow(list, "pier", "x");
  AddRow(list, "Arena", "");
  AddRow(list, "tower", "y");
  AddRow(list, "dock", "w");
  std::vector<int> clicked;
  list->OnColumnClick = [&](TObject*, TListColumn* column) { clicked.push_back(column->Index()); };
  for (int column : c.clicks) ClickHeader(list, column);
  EXPECT_EQ(Captions(list), c.order);
  EXPECT_EQ(list->HeaderSortColumn(), c.sortColumn);
  EXPECT_EQ(list->HeaderSortDescending(), c.descending);
  // The column click still reaches the handler, after the sort.
  EXPECT_EQ(clicked, c.clicks);
}

INSTANTIATE_TEST_SUITE_P(Clicks, FcListSort, testing::ValuesIn(kSortCases));

// ---- The last column -------------------------------------------------------------------------

namespace {

struct TFitCase {
  const char* name;
  // Widths of the columns before the last, as parts of the client width: the pixels they
  // leave (negative: take more than there is).
  int left;
  bool withItems;
  // -1: the last column keeps its width.
  int expectedLast;
};

const TFitCase kFitCases[] = {
    {"room left", 150, true, 150},
    {"all but 3 pixels", 3, true, 5},
    {"all but 5 pixels", 5, true, 5},
    {"all but 6 pixels", 6, true, 6},
    {"wider than the client", -40, true, -1},
    // Without items there is room kept for the scroll bar they may bring.
    {"room left, no items", 150, false, 150},
};

void PrintTo(const TFitCase& c, std::ostream* os) { *os << c.name; }

class FcListFit : public FcViewForm, public testing::WithParamInterface<TFitCase> {};

}  // namespace

TEST_P(FcListFit, TheLastColumnTakesTheWidthTheOthersLeave) {
  const TFitCase& c = GetParam();
  TFcListView* list = ReportList(form_.get(), {"Name", "Size", "Type"});
  list->SetFillLastColumn(false);
  if (c.withItems) AddRow(list, "pier", "1");
  int client = list->ClientWidth();
  if (!c.withItems) client -= GetSystemMetrics(SM_CXVSCROLL);
  int others = client - c.left;
  list->Columns()->Items(0)->SetWidth(others / 2);
  list->Columns()->Items(1)->SetWidth(others - others / 2);
  list->Columns()->Items(2)->SetWidth(77);
  list->SetFillLastColumn(true);
  EXPECT_EQ(list->Columns()->Items(2)->Width(), c.expectedLast < 0 ? 77 : c.expectedLast) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Widths, FcListFit, testing::ValuesIn(kFitCases));

TEST_F(FcViewForm, TheLastColumnFollowsTheListsWidth) {
  TFcListView* list = ReportList(form_.get(), {"Name", "Size"});
  AddRow(list, "pier", "1");
  list->SetWidth(list->Width() + 60);
  EXPECT_EQ(list->Columns()->Items(1)->Width(), list->ClientWidth() - 100);
  list->SetWidth(list->Width() - 100);
  EXPECT_EQ(list->Columns()->Items(1)->Width(), list->ClientWidth() - 100);
}

// ---- Context menus -------------------------------------------------------------------------

namespace {

enum TListAsk { laClickItem, laClickBeside, laApps, laShiftF10 };
enum TListPlace { lpClick, lpIconCentre, lpOrigin };

struct TListMenuCase {
  const char* name;
  bool withItems;
  TListAsk ask;
  // The item OnItemContextMenu is asked for ("" for none, nullptr when it is not asked).
  const char* item;
  TListPlace place;
};

// "arena" is selected and focused whenever there are items.
const TListMenuCase kListMenuCases[] = {
    {"a right click on an item", true, laClickItem, "pier", lpClick},
    // The system clears the selection first: the list's own menu shows at the click.
    {"a right click beside the items", true, laClickBeside, nullptr, lpClick},
    {"Apps with an item", true, laApps, "arena", lpIconCentre},
    {"Shift+F10 with an item", true, laShiftF10, "arena", lpIconCentre},
    {"a right click without items", false, laClickBeside, nullptr, lpClick},
    {"Apps without items", false, laApps, nullptr, lpOrigin},
    {"Shift+F10 without items", false, laShiftF10, nullptr, lpOrigin},
};

void PrintTo(const TListMenuCase& c, std::ostream* os) { *os << c.name; }

class FcListMenu : public FcViewForm, public testing::WithParamInterface<TListMenuCase> {};

}  // namespace

TEST_P(FcListMenu, ShowsOneMenuForTheRightItemAtTheRightPlace) {
  const TListMenuCase& c = GetParam();
  TFcListView* list = ReportList(form_.get(), {"Name"});
  TRecordingMenu menu(nullptr);
  list->SetPopupMenu(&menu);
  if (c.withItems) {
    AddRow(list, "pier", "");
    AddRow(list, "arena", "");
    list->SetSelected(list->Items()->Item(1));
  }
  int asked = 0;
  std::string askedFor;
  POINT askedAt{-99, -99};
  list->OnItemContextMenu = [&](TObject*, TListItem* item, POINT& pos, TPopupMenu*&) {
    ++asked;
    askedFor = item ? item->Caption() : "";
    askedAt = pos;
  };
  list->SetFocus();
  Pump();

  POINT click{40, list->ClientHeight() - 12};
  if (c.ask == laClickItem) {
    RECT r = list->Items()->Item(0)->DisplayRect(drLabel);
    click = POINT{r.left + 10, (r.top + r.bottom) / 2};
  }
  switch (c.ask) {
    case laClickItem:
    case laClickBeside: RealClick(list, click.x, click.y, mbRight); break;
    case laApps: RealChord({VK_APPS}); break;
    case laShiftF10: RealChord({VK_SHIFT, VK_F10}); break;
  }

  POINT expected{0, 0};
  if (c.place == lpClick) expected = click;
  if (c.place == lpIconCentre) {
    RECT r = list->Items()->Item(1)->DisplayRect(drIcon);
    expected = POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  ASSERT_EQ(menu.shown.size(), 1u) << c.name;
  EXPECT_TRUE(SamePoint(menu.shown[0], list->ClientToScreen(expected))) << c.name;
  if (c.item) {
    EXPECT_EQ(asked, 1) << c.name;
    EXPECT_EQ(askedFor, c.item) << c.name;
    EXPECT_TRUE(SamePoint(askedAt, expected)) << c.name;
  } else {
    EXPECT_EQ(asked, 0) << c.name;
  }
}

INSTANTIATE_TEST_SUITE_P(Asks, FcListMenu, testing::ValuesIn(kListMenuCases));

// ---- Check boxes ---------------------------------------------------------------------------

namespace {

struct TCheckCase {
  const char* name;
  bool byClick;
  bool allow;
};

const TCheckCase kCheckCases[] = {
    {"a click, allowed", true, true},
    {"a click, refused", true, false},
    {"from code, allowed", false, true},
    {"from code, refused", false, false},
};

void PrintTo(const TCheckCase& c, std::ostream* os) { *os << c.name; }

class FcListCheck : public FcViewForm, public testing::WithParamInterface<TCheckCase> {};

}  // namespace

TEST_P(FcListCheck, ATickIsAskedForFirstAndToldAfterwards) {
  const TCheckCase& c = GetParam();
  TFcListView* list = ReportList(form_.get(), {"Name"});
  list->SetCheckboxes(true);
  AddRow(list, "pier", "");
  TListItem* item = list->Items()->Item(0);
  TEventLog events;
  list->OnItemChecking = [&](TObject*, TListItem* i, bool checked, bool& allow) {
    events.Note(std::string(checked ? "checking " : "clearing ") + i->Caption());
    allow = c.allow;
  };
  list->OnItemChecked = [&](TObject*, TListItem* i) { events.Note("checked " + i->Caption()); };

  if (c.byClick) {
    RECT r = item->DisplayRect(drBounds);
    POINT box{r.left + 8, (r.top + r.bottom) / 2};
    SendMessageA(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(box.x, box.y));
    SendMessageA(list->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(box.x, box.y));
    Pump();
  } else {
    item->SetChecked(true);
  }
  EXPECT_EQ(item->Checked(), c.allow) << c.name;
  TEvents expected{"checking pier"};
  if (c.allow) expected.push_back("checked pier");
  EXPECT_EQ(events, expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Ticks, FcListCheck, testing::ValuesIn(kCheckCases));

// ---- The sort arrow ------------------------------------------------------------------------

namespace {

// The header of the list painted into a bitmap of its size.
std::unique_ptr<TBitmap> PaintHeader(TCustomListView* list) {
  HWND header = list->HeaderHandle();
  RECT r;
  GetClientRect(header, &r);
  auto shot = std::make_unique<TBitmap>(r.right, r.bottom);
  shot->Canvas()->Brush()->SetColor(clWhite);
  shot->Canvas()->FillRect(r);
  SendMessageA(header, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(shot->Canvas()->Handle()), PRF_CLIENT);
  return shot;
}

RECT HeaderItemRect(TCustomListView* list, int column) {
  RECT r;
  SendMessageA(list->HeaderHandle(), HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&r));
  return r;
}

// How many pixels of the colour the bitmap's row has inside `area`.
int RowCount(TBitmap& bitmap, const RECT& area, int y, TColor color) {
  return CountPixels(bitmap, RECT{area.left, y, area.right, y + 1}, color);
}

}  // namespace

TEST_F(FcViewForm, TheSortColumnsHeaderShowsAnArrowRightOfItsTextWithoutStyles) {
  SetVisualStyles(TVisualStyles::vsOff);
  TFcListView* list = ReportList(form_.get(), {"Name", "Size", "Type"});
  list->SetSortOnColumnClick(true);
  for (const char* caption : {"pier", "arena"}) AddRow(list, caption, "");
  Pump();
  ClickHeader(list, 1);
  ASSERT_EQ(list->HeaderSortColumn(), 1);

  for (bool descending : {false, true}) {
    auto shot = PaintHeader(list);
    for (int column : {0, 2})
      EXPECT_EQ(CountPixels(*shot, HeaderItemRect(list, column), clBtnShadow), 0) << column;
    RECT item = HeaderItemRect(list, 1);
    RECT ink = BoundsOf(*shot, AsPainted(*shot, clBtnShadow), &item);
    ASSERT_LT(ink.left, ink.right) << "no arrow, descending " << descending;
    // Right of the caption, which starts 6 pixels into the item.
    TCanvas measure;
    TWindowDC dc(list->Handle());
    TCanvasBinding binding(&measure, dc);
    measure.SetFont(list->Font());
    EXPECT_GT(ink.left, item.left + 6 + measure.TextWidth("Size")) << descending;
    EXPECT_LT(ink.right, item.right);
    // A triangle: the row at its point is narrower than the row at its base.
    int top = RowCount(*shot, item, ink.top, clBtnShadow);
    int bottom = RowCount(*shot, item, ink.bottom - 1, clBtnShadow);
    if (descending)
      EXPECT_GT(top, bottom);
    else
      EXPECT_LT(top, bottom);
    EXPECT_EQ(std::max(top, bottom), 2 * (ink.bottom - ink.top) - 1);
    ClickHeader(list, 1);
  }
}

TEST_F(FcViewForm, AfterADividerDragTheLastColumnFillsWhatIsLeft) {
  TFcListView* list = ReportList(form_.get(), {"Name", "Size", "Type"});
  AddRow(list, "pier", "1");
  list->FitLastColumn();
  // The divider after the first column, dragged 30 pixels to the right.
  HWND header = list->HeaderHandle();
  RECT first;
  SendMessageA(header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
  int y = (first.top + first.bottom) / 2;
  SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(first.right - 1, y));
  SendMessageA(header, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(first.right + 14, y));
  SendMessageA(header, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(first.right + 29, y));
  SendMessageA(header, WM_LBUTTONUP, 0, MAKELPARAM(first.right + 29, y));
  Pump();
  ASSERT_EQ(list->Columns()->Items(0)->Width(), 130);
  EXPECT_EQ(list->Columns()->Items(2)->Width(), list->ClientWidth() - 230);
}
