// The tab control's geometry without a window: row layout, spreading, row rotation, tab
// shapes, the orientation transform, the region cache and hit testing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ControlsTestSupport.h"
#include "controls/FcTabs.h"

namespace {

TFcTabDataList Tabs(int count) {
  TFcTabDataList list;
  for (int i = 0; i < count; ++i) list.Add()->Caption = Format("Tab %d", i);
  return list;
}

TFcTabStrip RoundStrip(int length, bool multiLine) {
  TFcTabStrip strip;
  strip.Style = tsRoundCorners;
  strip.MultiLine = multiLine;
  strip.Length = length;
  strip.FixedDimension = 19;
  strip.RowIndent = 5;
  strip.RowOverlap = 5;
  return strip;
}

struct TPlaced {
  int row, left, right;
};

std::vector<TPlaced> Placed(const TFcTabDataList& tabs) {
  std::vector<TPlaced> out;
  for (int i = 0; i < tabs.Count(); ++i)
    out.push_back({tabs.Items(i)->Row, static_cast<int>(tabs.Items(i)->TabRect.left),
                   static_cast<int>(tabs.Items(i)->TabRect.right)});
  return out;
}

}  // namespace

TEST(TabRows, RowsAreFilledUntilATabWouldReachTheEndOfTheStrip) {
  // Round-corner tabs step by their length + 2; a row takes a tab only while it ends short
  // of the available length (200 for one row, 5 less per further row).
  struct TCase {
    const char* what;
    std::vector<int> lengths;
    int margin;
    int rows;
    std::vector<TPlaced> placed;
  } cases[] = {
      {"ending one short fits", {98, 99}, 0, 1, {{0, 0, 98}, {0, 100, 199}}},
      {"ending exactly at the end does not", {98, 100}, 0, 2, {{0, 0, 98}, {1, 0, 100}}},
      {"three that need three rows", {99, 99, 99}, 0, 3, {{0, 0, 99}, {1, 0, 99}, {2, 0, 99}}},
      {"the margin counts at both ends", {90, 90}, 10, 2, {{0, 10, 100}, {1, 10, 100}}},
      {"a single tab wider than the strip adds no row", {300}, 0, 1, {{0, 0, 196}}},
      {"an oversized tab before others sits alone", {300, 20, 20}, 0, 2, {{0, 0, 191}, {1, 0, 20}, {1, 22, 42}}},
  };
  for (const TCase& c : cases) {
    TFcTabDataList tabs = Tabs(static_cast<int>(c.lengths.size()));
    TFcTabStrip strip = RoundStrip(200, true);
    strip.Margin = c.margin;
    int rows = CountTabRows(tabs, c.lengths, strip);
    EXPECT_EQ(rows, c.rows) << c.what;
    PlaceTabs(tabs, c.lengths, rows, strip);
    std::vector<TPlaced> placed = Placed(tabs);
    ASSERT_EQ(placed.size(), c.placed.size()) << c.what;
    for (size_t i = 0; i < placed.size(); ++i) {
      EXPECT_EQ(placed[i].row, c.placed[i].row) << c.what << " tab " << i;
      EXPECT_EQ(placed[i].left, c.placed[i].left) << c.what << " tab " << i;
      EXPECT_EQ(placed[i].right, c.placed[i].right) << c.what << " tab " << i;
    }
  }
}

TEST(TabRows, RowsStackAwayFromTheCardAndHiddenTabsTakeNoPlace) {
  TFcTabDataList tabs = Tabs(4);
  tabs.Items(1)->Visible = false;
  std::vector<int> lengths{99, 500, 99, 40};
  TFcTabStrip strip = RoundStrip(200, true);
  int rows = CountTabRows(tabs, lengths, strip);
  ASSERT_EQ(rows, 2);
  PlaceTabs(tabs, lengths, rows, strip);
  // Depth = 3 + 19 + 14: the front row ends at the card (36), the next one 14 higher.
  EXPECT_EQ(TabAreaDepth(tsRoundCorners, 19, 5, 2), 36);
  EXPECT_EQ(tabs.Items(0)->TabRect.bottom, 36);
  EXPECT_EQ(tabs.Items(0)->TabRect.top, 17);
  EXPECT_EQ(tabs.Items(3)->Row, 1);
  EXPECT_EQ(tabs.Items(3)->TabRect.top, 3);
  EXPECT_TRUE(IsRectEmpty(&tabs.Items(1)->TabRect));

  // Without MultiLine there is one row however long it gets.
  strip.MultiLine = false;
  EXPECT_EQ(CountTabRows(tabs, lengths, strip), 1);
  PlaceTabs(tabs, lengths, 1, strip);
  EXPECT_EQ(tabs.Items(3)->TabRect.left, 202);
  EXPECT_EQ(tabs.Items(3)->TabRect.right, 242);
}

TEST(TabRows, ReversedRowsRunFromTheOtherEnd) {
  TFcTabDataList tabs = Tabs(3);
  std::vector<int> lengths{40, 50, 60};
  TFcTabStrip strip = RoundStrip(300, false);
  strip.Sequence = tsReverse;
  strip.Margin = 4;
  PlaceTabs(tabs, lengths, 1, strip);
  // From -4 leftwards: (-44, -4), (-96, -46), (-158, -98), then moved right by 160.
  EXPECT_EQ(tabs.Items(0)->TabRect.left, 116);
  EXPECT_EQ(tabs.Items(0)->TabRect.right, 156);
  EXPECT_EQ(tabs.Items(2)->TabRect.left, 2);
  EXPECT_EQ(tabs.Items(2)->TabRect.right, 62);
}

TEST(TabRows, AlignTabsSpreadsTheSpareLengthOverTheRow) {
  // Five 30-long round tabs use 158 + 4; a 169-long strip leaves 7 to spread: 2, 2, 1, 1, 1.
  TFcTabDataList tabs = Tabs(5);
  std::vector<int> lengths(5, 30);
  TFcTabStrip strip = RoundStrip(169, true);
  ASSERT_EQ(CountTabRows(tabs, lengths, strip), 1);
  PlaceTabs(tabs, lengths, 1, strip);
  AlignTabRows(tabs, 1, strip);
  std::vector<std::pair<int, int>> expected{{0, 32}, {34, 66}, {68, 99}, {101, 132}, {134, 165}};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(tabs.Items(i)->TabRect.left, expected[static_cast<size_t>(i)].first) << i;
    EXPECT_EQ(tabs.Items(i)->TabRect.right, expected[static_cast<size_t>(i)].second) << i;
  }

  // Reversed, the tabs grow and shift toward the start of the strip.
  strip.Sequence = tsReverse;
  PlaceTabs(tabs, lengths, 1, strip);
  LONG firstRight = tabs.Items(0)->TabRect.right, lastLeft = tabs.Items(4)->TabRect.left;
  AlignTabRows(tabs, 1, strip);
  EXPECT_EQ(tabs.Items(0)->TabRect.right, firstRight);
  EXPECT_EQ(tabs.Items(0)->TabRect.left, firstRight - 32);
  EXPECT_EQ(tabs.Items(4)->TabRect.left, lastLeft - 7);
}

TEST(TabRows, SelectingABackRowRotatesItToTheFront) {
  TFcTabDataList tabs = Tabs(6);
  std::vector<int> lengths(6, 90);
  TFcTabStrip strip = RoundStrip(200, true);
  int rows = CountTabRows(tabs, lengths, strip);
  ASSERT_EQ(rows, 3);
  PlaceTabs(tabs, lengths, rows, strip);
  LONG top0 = tabs.Items(0)->TabRect.top, top1 = tabs.Items(2)->TabRect.top, top2 = tabs.Items(4)->TabRect.top;
  ASSERT_GT(top0, top1);
  ASSERT_GT(top1, top2);

  // Tab 4 lies in the back row: its row comes to the front, the others keep their order
  // behind it (front 0 -> 1, 1 -> 2).
  MoveSelectedRowToFront(tabs, rows, 4);
  int expectedRows[] = {1, 1, 2, 2, 0, 0};
  LONG expectedTops[] = {top1, top1, top2, top2, top0, top0};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(tabs.Items(i)->Row, expectedRows[i]) << i;
    EXPECT_EQ(tabs.Items(i)->TabRect.top, expectedTops[i]) << i;
    EXPECT_EQ(tabs.Items(i)->TabRect.bottom - tabs.Items(i)->TabRect.top, 19) << i;
  }
  // A tab in the middle row: that row to the front, the one in front of it to the back.
  MoveSelectedRowToFront(tabs, rows, 0);
  EXPECT_EQ(tabs.Items(0)->Row, 0);
  EXPECT_EQ(tabs.Items(4)->Row, 2);
  EXPECT_EQ(tabs.Items(2)->Row, 1);
}

TEST(TabShapes, PolygonsOfEachStyleFromTheDrawnRectangle) {
  RECT r{0, 0, 100, 20};
  std::vector<POINT> single = TabPolygon(tsSingleSlant, r, 6);
  std::vector<POINT> singleExpected{{0, 20}, {0, 2}, {2, 0}, {80, 0}, {100, 20}};
  std::vector<POINT> doubleExpected{{0, 20}, {20, 0}, {80, 0}, {100, 20}};
  std::vector<POINT> cutExpected{{0, 20}, {0, 0}, {94, 0}, {100, 6}, {100, 20}};
  std::vector<POINT> roundExpected{{0, 20}, {0, 2}, {2, 0}, {98, 0}, {100, 2}, {100, 20}};
  auto same = [](const std::vector<POINT>& a, const std::vector<POINT>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
      if (a[i].x != b[i].x || a[i].y != b[i].y) return false;
    return true;
  };
  EXPECT_TRUE(same(single, singleExpected));
  EXPECT_TRUE(same(TabPolygon(tsDoubleSlant, r, 6), doubleExpected));
  EXPECT_TRUE(same(TabPolygon(tsCutCorner, r, 6), cutExpected));
  EXPECT_TRUE(same(TabPolygon(tsRoundCorners, r, 6), roundExpected));

  EXPECT_EQ(TabOverlap(tsSingleSlant, 19), 9);
  EXPECT_EQ(TabOverlap(tsDoubleSlant, 19), 19);
  EXPECT_EQ(TabOverlap(tsCutCorner, 19), -1);
  EXPECT_EQ(TabOverlap(tsRoundCorners, 19), -1);
}

TEST(TabShapes, TheTransformPutsTheStripOnEachSide) {
  struct TCase {
    TFcTabOrientation orientation;
    TFcTabSequence sequence;
    POINT expected;
  } cases[] = {
      {toTop, tsStandard, {27, 35}},   {toTop, tsReverse, {227, 35}},  {toLeft, tsStandard, {25, 53}},
      {toLeft, tsReverse, {25, 23}},   {toBottom, tsStandard, {27, 55}}, {toBottom, tsReverse, {227, 55}},
      {toRight, tsStandard, {215, 37}}, {toRight, tsReverse, {215, 67}},
  };
  for (const TCase& c : cases) {
    TFcTabTransform t;
    t.Orientation = c.orientation;
    t.Sequence = c.sequence;
    t.Area = RECT{20, 30, 220, 60};
    t.Offset = 3;
    POINT p = t.Map(POINT{10, 5});
    EXPECT_EQ(p.x, c.expected.x) << c.orientation << "/" << c.sequence;
    EXPECT_EQ(p.y, c.expected.y) << c.orientation << "/" << c.sequence;
  }
  // Rectangles come out in order whichever way the side runs.
  TFcTabTransform left;
  left.Orientation = toLeft;
  left.Area = RECT{0, 0, 22, 200};
  RECT r = left.Map(RECT{10, 3, 60, 22});
  EXPECT_EQ(r.left, 3);
  EXPECT_EQ(r.right, 22);
  EXPECT_EQ(r.top, 140);
  EXPECT_EQ(r.bottom, 190);
}

TEST(TabRegionCache, KeepsTheMostRecentRegionsUpToItsCapacity) {
  TFcTabRegionCache cache;
  auto region = [] { return CreateRectRgn(0, 0, 10, 10); };
  RECT a{0, 0, 1, 1}, b{1, 1, 2, 2}, c{2, 2, 3, 3};
  EXPECT_EQ(cache.Capacity(), 1);
  cache.Add(a, region());
  cache.Add(b, region());
  EXPECT_EQ(cache.Count(), 1);
  EXPECT_EQ(cache.Find(a), nullptr);
  EXPECT_NE(cache.Find(b), nullptr);

  cache.SetCapacity(2);
  cache.Add(a, region());
  cache.Add(b, region());  // already there: moves to the front
  EXPECT_EQ(cache.Count(), 2);
  EXPECT_EQ(cache.ItemRect(0).left, b.left);
  cache.Add(c, region());  // a, the oldest, goes
  EXPECT_EQ(cache.Find(a), nullptr);
  EXPECT_EQ(cache.ItemRect(1).left, b.left);

  cache.SetCapacity(-1);
  cache.Add(a, region());
  EXPECT_EQ(cache.Count(), 3);
  cache.SetCapacity(1);
  EXPECT_EQ(cache.Count(), 1);

  for (int bad : {0, -2}) {
    try {
      cache.SetCapacity(bad);
      ADD_FAILURE() << bad;
    } catch (const EFcTabError& e) {
      EXPECT_STREQ(e.what(), "Capacity must be -1 (to cache all regions) or > 0");
    }
  }
  EXPECT_EQ(cache.Capacity(), 1);

  // The control's own setter ignores such values.
  TFcCustomTabControl control(nullptr);
  control.SetTabRegionCacheSize(0);
  control.SetTabRegionCacheSize(-2);
  EXPECT_EQ(control.TabRegionCacheSize(), 1);
  control.SetTabRegionCacheSize(-1);
  EXPECT_EQ(control.TabRegionCacheSize(), -1);
}

TEST(TabShapes, ShadowPixelsDarkenTowardBlack) {
  EXPECT_EQ(ShadowPixel(0x00FFFFFF, 30), 0x00E1E1E1u);  // 255 * 225 / 255
  EXPECT_EQ(ShadowPixel(0x00FFFFFF, 15), 0x00F0F0F0u);
  EXPECT_EQ(ShadowPixel(0x00804020, 30), 0x0071381Cu);  // 128 -> 112.94, 64 -> 56.47, 32 -> 28.24
}

namespace {

// A tab control laid out without a window: four 60-long single-slant tabs on top.
struct TLaidOut {
  TFcCustomTabControl control{nullptr};
  TLaidOut(TFcTabStyle style, int tabs, int width = 400) {
    control.SetBounds(0, 0, width, 100);
    control.SetTabStyle(style);
    control.SetTabWidth(60);
    control.SetTabHeight(20);
    for (int i = 0; i < tabs; ++i) control.Tabs()->Add()->Caption = Format("T%d", i);
    control.UpdateLayout();
  }
};

}  // namespace

TEST(TabHitTest, TheShapeDecidesAndTheSelectedTabLiesOnTop) {
  TLaidOut empty(tsSingleSlant, 0);
  EXPECT_EQ(empty.control.TabAtPos(10, 10), -1);

  TLaidOut laid(tsSingleSlant, 4);
  TFcCustomTabControl& c = laid.control;
  // Single slant, 20 deep: each tab 60 long, the next one 60 - 10 + 1 = 51 further on.
  RECT t0 = c.GetTabRect(0), t1 = c.GetTabRect(1);
  EXPECT_EQ(t0.left, 0);
  EXPECT_EQ(t0.right, 60);
  EXPECT_EQ(t1.left, 51);
  EXPECT_EQ(t0.top, 0);
  EXPECT_EQ(t0.bottom, 20);

  EXPECT_EQ(c.TabAtPos(20, 10), 0);
  // The slanted end of tab 0 leaves its upper right corner to tab 1.
  EXPECT_EQ(c.TabAtPos(55, 2), 1);
  // Under the base of the tabs lies the card.
  EXPECT_EQ(c.TabAtPos(20, 40), -1);
  // Where two tabs overlap, the selected one wins, else the earlier one.
  EXPECT_EQ(c.TabAtPos(55, 17), 0);
  c.SetTabIndex(1);
  EXPECT_EQ(c.TabAtPos(55, 17), 1);
  // A tab hidden takes no place.
  c.Tabs()->Items(2)->Visible = false;
  c.SetLayoutStale();
  EXPECT_EQ(c.TabAtPos(c.GetTabRect(3).left + 20, 10), 3);
  t0 = c.GetTabRect(2);
  EXPECT_TRUE(IsRectEmpty(&t0));
}

TEST(TabHitTest, ScrolledOutTabsAreNotHit) {
  // Ten 60-long round tabs on a 300-wide strip: one row with the scroller.
  TLaidOut laid(tsRoundCorners, 10, 300);
  TFcCustomTabControl& c = laid.control;
  ASSERT_TRUE(c.ScrollerShown());
  EXPECT_EQ(c.FirstVisibleTab(), 0);
  EXPECT_TRUE(c.IsTabFullyShown(0));
  EXPECT_FALSE(c.IsTabFullyShown(9));
  EXPECT_FALSE(c.CanScrollBackward());
  ASSERT_TRUE(c.ScrollForward());
  EXPECT_EQ(c.FirstVisibleTab(), 1);
  EXPECT_FALSE(c.IsTabFullyShown(0));
  RECT r1 = c.GetTabRect(1);
  EXPECT_EQ(r1.left, 2);
  EXPECT_EQ(c.TabAtPos(r1.left + 10, r1.top + 8), 1);
  // Tab 0 now lies left of the strip.
  EXPECT_LE(c.GetTabRect(0).right, 0);
  EXPECT_TRUE(c.CanScrollBackward());
  // Selecting a tab beyond the end scrolls it into view, one before scrolls back.
  c.SetTabIndex(9);
  EXPECT_TRUE(c.IsTabFullyShown(9));
  EXPECT_FALSE(c.CanScrollForward());
  c.SetTabIndex(2);
  EXPECT_EQ(c.FirstVisibleTab(), 2);
}

TEST(TabSelection, AnIndexOutOfRangeSelectsNothingAndALayoutsIndexIsReplacedByTheFirst) {
  TLaidOut laid(tsRoundCorners, 3);
  TFcCustomTabControl& c = laid.control;
  c.SetTabIndex(1);
  EXPECT_EQ(c.TabIndex(), 1);
  c.SetTabIndex(3);
  EXPECT_EQ(c.TabIndex(), -1);
  c.SetTabIndex(1);
  c.SetTabIndex(-5);
  EXPECT_EQ(c.TabIndex(), -1);

  c.SetComponentStateFlag(csLoading, true);
  c.SetTabIndex(2);
  EXPECT_EQ(c.TabIndex(), 2);
  c.Loaded();
  EXPECT_EQ(c.TabIndex(), 0);

  // Without tabs nothing can be selected or hit, and the card fills the rest.
  TLaidOut empty(tsRoundCorners, 0);
  empty.control.SetTabIndex(0);
  EXPECT_EQ(empty.control.TabIndex(), -1);
  RECT card = empty.control.CardRect(0);
  EXPECT_EQ(card.top, empty.control.TabAreaRect().bottom);
  EXPECT_EQ(card.bottom, empty.control.Height() - 1);
}
