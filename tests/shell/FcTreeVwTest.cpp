#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "FcViewsTestSupport.h"
#include "platform/Layout.h"
#include "shell/FcTreeVw.h"

namespace {

enum TMenuAsk { maClickNode, maClickBeside, maApps, maShiftF10 };
// Where the menu is expected, in the tree's client coordinates.
enum TMenuPlace { mpClick, mpTextCentre, mpOrigin };

struct TTreeMenuCase {
  const char* name;
  bool withNodes;
  TMenuAsk ask;
  // The node OnNodeContextMenu is asked for ("" for none, nullptr when it is not asked).
  const char* node;
  TMenuPlace place;
};

const TTreeMenuCase kTreeMenuCases[] = {
    {"a right click on a node", true, maClickNode, "pier", mpClick},
    {"a right click beside the nodes", true, maClickBeside, "arena", mpClick},
    {"Apps with a node", true, maApps, "arena", mpTextCentre},
    {"Shift+F10 with a node", true, maShiftF10, "arena", mpTextCentre},
    {"a right click without a node", false, maClickBeside, "", mpClick},
    {"Apps without a node", false, maApps, nullptr, mpOrigin},
    {"Shift+F10 without a node", false, maShiftF10, nullptr, mpOrigin},
};

void PrintTo(const TTreeMenuCase& c, std::ostream* os) { *os << c.name; }

class FcTreeMenu : public FcViewForm, public testing::WithParamInterface<TTreeMenuCase> {};

}  // namespace

// The selected node is "arena" whenever there are nodes; each case asks once and expects one
// menu, for the right node, at the right place.
TEST_P(FcTreeMenu, ShowsOneMenuForTheRightNodeAtTheRightPlace) {
  const TTreeMenuCase& c = GetParam();
  auto* tree = Make<TFcTreeView>(10, 10, 220, 240);
  TRecordingMenu menu(nullptr);
  tree->SetPopupMenu(&menu);
  TTreeNode* pier = nullptr;
  TTreeNode* arena = nullptr;
  if (c.withNodes) {
    pier = tree->Items()->AddChild(nullptr, "pier");
    arena = tree->Items()->AddChild(nullptr, "arena");
    tree->SetSelected(arena);
  }
  int asked = 0;
  std::string askedFor;
  POINT askedAt{-99, -99};
  tree->OnNodeContextMenu = [&](TObject*, TTreeNode* node, POINT& pos, TPopupMenu*&) {
    ++asked;
    askedFor = node ? node->Text() : "";
    askedAt = pos;
  };
  tree->SetFocus();
  Pump();

  POINT click{20, tree->ClientHeight() - 12};
  if (c.ask == maClickNode) {
    RECT r = pier->DisplayRect(true);
    click = POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  switch (c.ask) {
    case maClickNode:
    case maClickBeside: RealClick(tree, click.x, click.y, mbRight); break;
    case maApps: RealChord({VK_APPS}); break;
    case maShiftF10: RealChord({VK_SHIFT, VK_F10}); break;
  }

  POINT expected{0, 0};
  if (c.place == mpClick) expected = click;
  if (c.place == mpTextCentre) {
    RECT r = arena->DisplayRect(true);
    expected = POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  ASSERT_EQ(menu.shown.size(), 1u) << c.name;
  EXPECT_TRUE(SamePoint(menu.shown[0], tree->ClientToScreen(expected))) << c.name;
  EXPECT_EQ(menu.PopupComponent(), tree) << c.name;
  if (c.node) {
    EXPECT_EQ(asked, 1) << c.name;
    EXPECT_EQ(askedFor, c.node) << c.name;
    EXPECT_TRUE(SamePoint(askedAt, expected)) << c.name;
  } else {
    EXPECT_EQ(asked, 0) << c.name;
  }
  if (c.withNodes) {
    EXPECT_EQ(tree->Selected(), arena) << c.name;
  }
}

INSTANTIATE_TEST_SUITE_P(Asks, FcTreeMenu, testing::ValuesIn(kTreeMenuCases));

TEST_F(FcViewForm, ANodeMenuTheHandlerReplacesShowsInsteadAndNoneShowsNothing) {
  auto* tree = Make<TFcTreeView>(10, 10, 220, 240);
  TRecordingMenu own(nullptr), other(nullptr);
  tree->SetPopupMenu(&own);
  TTreeNode* node = tree->Items()->AddChild(nullptr, "pier");
  tree->SetSelected(node);
  TPopupMenu* replacement = &other;
  tree->OnNodeContextMenu = [&](TObject*, TTreeNode*, POINT&, TPopupMenu*& menu) { menu = replacement; };
  tree->SetFocus();
  RealChord({VK_APPS});
  EXPECT_EQ(other.shown.size(), 1u);
  replacement = nullptr;
  RealChord({VK_APPS});
  EXPECT_EQ(other.shown.size(), 1u);
  EXPECT_TRUE(own.shown.empty());
}

// ---- The frame -----------------------------------------------------------------------------

namespace {

struct TFrameCase {
  const char* name;
  bool list;
  TVisualStyles styles;
  TFramingPreference preference;
  bool hotAndFocused;
  // The colour of the window's outermost ring; clNone: not the frame's colours.
  TColor ring;
};

const TFrameCase kFrameCases[] = {
    {"tree, own frame", false, TVisualStyles::vsOff, fpCustomFraming, false, clRed},
    {"tree, themed frame", false, TVisualStyles::vsOn, fpXPThemes, false, clNone},
    {"tree, hot", false, TVisualStyles::vsOff, fpCustomFraming, true, clLime},
    {"list, own frame with styles", true, TVisualStyles::vsOn, fpCustomFraming, false, clRed},
    {"list, themed frame", true, TVisualStyles::vsOn, fpXPThemes, false, clNone},
    {"list, hot", true, TVisualStyles::vsOff, fpCustomFraming, true, clLime},
};

void PrintTo(const TFrameCase& c, std::ostream* os) { *os << c.name; }

class FcViewFrame : public FcViewForm, public testing::WithParamInterface<TFrameCase> {};

// The settings both views share, set alike.
template <class V>
V* Framed(V* view, const TFrameCase& c) {
  view->SetFramingPreference(c.preference);
  view->SetFrameVisible(true);
  view->SetFrameColor(clRed);
  view->SetFrameHotColor(clLime);
  view->SetFrameHotTrack(c.hotAndFocused);
  return view;
}

}  // namespace

TEST_P(FcViewFrame, TheFrameIsPaintedOverTheBorderInTheStatesColourUnlessThemed) {
  const TFrameCase& c = GetParam();
  SetVisualStyles(c.styles);
  TWinControl* view = c.list ? static_cast<TWinControl*>(Framed(Make<TFcListView>(10, 10, 200, 150), c))
                             : Framed(Make<TFcTreeView>(10, 10, 200, 150), c);
  if (c.hotAndFocused) view->SetFocus();
  Pump();
  HWND wnd = view->Handle();
  RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  RECT r;
  GetWindowRect(wnd, &r);
  TBitmap shot(r.right - r.left, r.bottom - r.top);
  TWindowDC dc(wnd, true);
  BitBlt(shot.Canvas()->Handle(), 0, 0, shot.Width(), shot.Height(), dc, 0, 0, SRCCOPY);
  RECT ring{0, 0, shot.Width(), 1};
  int red = CountPixels(shot, ring, clRed);
  int lime = CountPixels(shot, ring, clLime);
  if (c.ring == clNone) {
    EXPECT_EQ(red + lime, 0) << c.name;
  } else {
    EXPECT_EQ(CountPixels(shot, ring, c.ring), shot.Width()) << c.name;
  }
}

INSTANTIATE_TEST_SUITE_P(Looks, FcViewFrame, testing::ValuesIn(kFrameCases));

// ---- Stored layouts ------------------------------------------------------------------------

TEST_F(FcViewForm, BothViewsComeFromAStoredLayoutWithTheirMenuAndDragMode) {
  const char* layout = R"({
    "class": "TForm", "name": "ViewsForm",
    "properties": { "ClientWidth": 400, "ClientHeight": 300 },
    "children": [
      { "class": "TPopupMenu", "name": "FolderMenu" },
      { "class": "TFcTreeView", "name": "Folders",
        "properties": { "Left": 4, "Top": 4, "Width": 150, "Height": 200, "ShowRoot": false,
                        "DragMode": "dmAutomatic", "PopupMenu": "FolderMenu", "FrameVisible": true,
                        "FramingPreference": "fpCustomFraming", "FrameFlat": true,
                        "SelectOnExpand": true } },
      { "class": "TFcListView", "name": "Files",
        "properties": { "Left": 160, "Top": 4, "Width": 220, "Height": 200, "ViewStyle": "vsReport",
                        "SortOnColumnClick": true, "HeaderSortDisplayMode": "hsdmRightAlign",
                        "FillLastColumn": false, "RowSelect": true } } ]
  })";
  std::unique_ptr<TForm> form(TForm::CreateNew<TForm>(nullptr));
  ReadLayout(form.get(), layout);
  auto* tree = dynamic_cast<TFcTreeView*>(form->FindComponent("Folders"));
  auto* list = dynamic_cast<TFcListView*>(form->FindComponent("Files"));
  ASSERT_NE(tree, nullptr);
  ASSERT_NE(list, nullptr);
  EXPECT_FALSE(tree->ShowRoot());
  EXPECT_EQ(tree->PopupMenu(), form->FindComponent("FolderMenu"));
  EXPECT_TRUE(tree->SelectOnExpand());
  // The older layouts' flat frame: hot tracked, on the sides the layout gave.
  EXPECT_TRUE(tree->FrameHotTrack());
  EXPECT_EQ(tree->FrameStyle(), fsStatus);
  EXPECT_EQ(list->ViewStyle(), vsReport);
  EXPECT_TRUE(list->SortOnColumnClick());
  EXPECT_EQ(list->HeaderSortDisplayMode(), hsdmRightAlign);
  EXPECT_FALSE(list->FillLastColumn());
  EXPECT_TRUE(list->RowSelect());
  // Nodes may be dragged out of a window made with the automatic drag mode.
  EXPECT_EQ(GetWindowLongPtrA(tree->Handle(), GWL_STYLE) & TVS_DISABLEDRAGDROP, 0);
}
