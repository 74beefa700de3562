// The splitter: its limits and layout, the hot spot, dragging the bar, resizing, and its stored
// layout with the panes' children.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "ControlsTestSupport.h"
#include "controls/FcButton.h"
#include "controls/FcSplit.h"
#include "controls/FcStatus.h"
#include "EventLog.h"
#include "platform/Forms.h"
#include "platform/Layout.h"

namespace {

std::string Text(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

// A splitter that notes where it drew the drag outline: drawn twice at one place, the outline
// is gone again.
class TOutlineSplitter : public TFcSplitter {
 public:
  using TFcSplitter::TFcSplitter;
  std::vector<int> outlines;
  // The places where an outline is still on the screen.
  std::vector<int> OutlinesLeft() const {
    std::vector<int> left;
    for (int p : outlines) {
      auto found = std::find(left.begin(), left.end(), p);
      if (found == left.end())
        left.push_back(p);
      else
        left.erase(found);
    }
    return left;
  }

 protected:
  void DrawDragBar(int position) override {
    outlines.push_back(position);
    TFcSplitter::DrawDragBar(position);
  }
};

// A shown form with a 200 × 100 splitter in it.
class Splitter : public testing::Test {
 protected:
  void SetUp() override {
    RegisterControlLibrary();
    form.reset(TForm::CreateNew<TForm>(nullptr));
    form->SetBounds(60, 60, 320, 200);
    splitter = new TOutlineSplitter(form.get());
    splitter->SetParent(form.get());
    splitter->SetBounds(10, 10, 200, 100);
    form->Show();
    Pump();
  }
  void Down(int x, int y) { Send(WM_LBUTTONDOWN, MK_LBUTTON, x, y); }
  void Move(int x, int y) { Send(WM_MOUSEMOVE, MK_LBUTTON, x, y); }
  void Up(int x, int y) { Send(WM_LBUTTONUP, 0, x, y); }
  void Click(POINT p) {
    Down(p.x, p.y);
    Up(p.x, p.y);
  }
  void Send(UINT msg, WPARAM keys, int x, int y) { SendMessageA(splitter->Handle(), msg, keys, MAKELPARAM(x, y)); }
  POINT HotSpotCentre(int shift = 0) {
    RECT r = splitter->HotSpotRect();
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2 + shift};
  }

  std::unique_ptr<TForm> form;
  TOutlineSplitter* splitter = nullptr;
};

}  // namespace

TEST_F(Splitter, ThePositionKeepsWithinTheMarginsAndTheRoomTheBarHas) {
  struct TCase {
    const char* name;
    TOrientation orientation;
    int width, marginMin, marginMax;
    TFrameStyleEx border;
    int position, expected;
  } cases[] = {
      {"below the minimum margin", orHorizontal, 200, 20, 0, fsNone, 10, 20},
      {"far beyond the end", orHorizontal, 200, 0, 0, fsNone, 10000, 196},
      {"before the start", orHorizontal, 200, 0, 0, fsNone, -5, 0},
      {"into the maximum margin", orHorizontal, 200, 0, 30, fsNone, 190, 166},
      {"raised borders", orHorizontal, 200, 0, 0, fsRaised, 10000, 188},
      {"bold flat borders: the far pane keeps zero", orHorizontal, 200, 0, 0, fsFlatBold, 10000, 192},
      {"narrower than the bar", orHorizontal, 3, 0, 0, fsNone, 50, 0},
      {"margins larger than the room", orHorizontal, 60, 40, 30, fsNone, 10, 36},
      {"down a vertical splitter", orVertical, 200, 0, 0, fsNone, 10000, 96},
  };
  for (const TCase& c : cases) {
    splitter->SetOrientation(c.orientation);
    splitter->SetWidth(c.width);
    splitter->SetBorderOuter(c.border);
    splitter->SetMarginMax(0);
    splitter->SetMarginMin(c.marginMin);
    splitter->SetMarginMax(c.marginMax);
    splitter->SetPosition(c.position == 0 ? 1 : 0);
    splitter->SetPosition(c.position);
    EXPECT_EQ(splitter->Position(), c.expected) << c.name;
    EXPECT_GE(splitter->LowerRightPane()->Width(), 0) << c.name;
    EXPECT_GE(splitter->Percent(), 0) << c.name;
    EXPECT_LE(splitter->Percent(), 100) << c.name;
  }
}

TEST_F(Splitter, WithOnePaneHiddenTheOtherFillsItAndThePositionStaysInRange) {
  splitter->SetPosition(80);
  splitter->LowerRight()->SetVisible(false);
  RECT bar = splitter->BarRect();
  EXPECT_TRUE(IsRectEmpty(&bar));
  RECT upper = splitter->UpperLeftPane()->BoundsRect();
  EXPECT_EQ(Text(upper), "0,0,200,100");
  splitter->SetMarginMin(30);
  splitter->SetPosition(10);
  EXPECT_EQ(splitter->Position(), 10) << "no limits while a pane is hidden";
  splitter->SetPosition(INT_MAX);
  EXPECT_EQ(splitter->Position(), 200) << "but never beyond the splitter";
  EXPECT_LE(splitter->Percent(), 102);
  splitter->LowerRight()->SetVisible(true);
  splitter->SetPosition(199);
  EXPECT_EQ(splitter->Position(), 196);
  EXPECT_EQ(splitter->LowerRightPane()->Width(), 0);
}

TEST_F(Splitter, ThePanesAndTheBarAreLaidOutAtThePosition) {
  struct TCase {
    TOrientation orientation;
    bool first, second;
    const char *upper, *bar, *lower;
  } cases[] = {
      {orHorizontal, true, true, "0,0,60,100", "60,0,64,100", "64,0,200,100"},
      {orHorizontal, false, true, "0,0,0,100", "0,0,0,0", "0,0,200,100"},
      {orHorizontal, true, false, "0,0,200,100", "0,0,0,0", "0,0,0,100"},
      {orVertical, true, true, "0,0,200,60", "0,60,200,64", "0,64,200,100"},
      {orVertical, false, true, "0,0,200,0", "0,0,0,0", "0,0,200,100"},
      {orVertical, true, false, "0,0,200,100", "0,0,0,0", "0,0,200,0"},
  };
  for (const TCase& c : cases) {
    splitter->UpperLeft()->SetVisible(true);
    splitter->LowerRight()->SetVisible(true);
    splitter->SetOrientation(c.orientation);
    splitter->SetPosition(60);
    splitter->UpperLeft()->SetVisible(c.first);
    splitter->LowerRight()->SetVisible(c.second);
    std::string where = std::string(c.orientation == orHorizontal ? "across" : "down") + (c.first ? " first" : "") +
                        (c.second ? " second" : "");
    EXPECT_EQ(Text(splitter->UpperLeftPane()->BoundsRect()), c.upper) << where;
    EXPECT_EQ(Text(splitter->BarRect()), c.bar) << where;
    EXPECT_EQ(Text(splitter->LowerRightPane()->BoundsRect()), c.lower) << where;
  }
  // Borders move the client area in.
  splitter->UpperLeft()->SetVisible(true);
  splitter->LowerRight()->SetVisible(true);
  splitter->SetOrientation(orHorizontal);
  splitter->SetBorderOuter(fsLowered);
  splitter->SetPosition(50);
  EXPECT_EQ(Text(splitter->UpperLeftPane()->BoundsRect()), "2,2,52,98");
  EXPECT_EQ(Text(splitter->LowerRightPane()->BoundsRect()), "56,2,198,98");
}

TEST_F(Splitter, TheHotSpotClosesTheBarToTheEdgeAndOpensItAgain) {
  TEventLog heard;
  splitter->OnHotSpotClick = [&](TObject* sender) {
    EXPECT_EQ(sender, splitter);
    heard.Note(splitter->HotSpotClosed() ? "closed" : "open");
  };
  EXPECT_EQ(splitter->SplitterWidth(), 4);
  splitter->SetHotSpotVisible(true);
  EXPECT_EQ(splitter->SplitterWidth(), 7);
  splitter->SetMarginMin(20);
  splitter->SetPosition(80);
  Click(HotSpotCentre());
  EXPECT_TRUE(splitter->HotSpotClosed());
  EXPECT_TRUE(splitter->HotSpotClosedToMin());
  EXPECT_EQ(splitter->Position(), 0) << "the margins do not count while closed";
  EXPECT_EQ(splitter->HotSpotPosition(), 80);
  Click(HotSpotCentre());
  EXPECT_FALSE(splitter->HotSpotClosed());
  EXPECT_EQ(splitter->Position(), 80);
  EXPECT_EQ(heard, (TEvents{"closed", "open"}));

  // Both ways: the lower half of a vertical bar's hot spot closes it to the far end.
  splitter->SetHotSpotDirection(hsdBoth);
  Click(HotSpotCentre(+3));
  EXPECT_TRUE(splitter->HotSpotClosedToMax());
  EXPECT_EQ(splitter->Position(), 200 - 7) << "as far as the bar can go, no further";
  EXPECT_EQ(splitter->LowerRightPane()->Width(), 0);
  EXPECT_LE(splitter->Percent(), 100);
  Click(HotSpotCentre());
  EXPECT_EQ(splitter->Position(), 80);
  Click(HotSpotCentre(-3));
  EXPECT_TRUE(splitter->HotSpotClosedToMin());

  // Dragging the bar of a closed splitter opens it.
  RECT bar = splitter->BarRect();
  Down(bar.left + 2, 10);
  Move(bar.left + 42, 10);
  Up(bar.left + 42, 10);
  EXPECT_FALSE(splitter->HotSpotClosed());
  EXPECT_FALSE(splitter->HotSpotClosedToMin());
  EXPECT_EQ(splitter->Position(), 40);
}

TEST_F(Splitter, EscapeEndsADragWithTheBarWhereItWas) {
  std::vector<int> changing;
  int changes = 0;
  splitter->OnChanging = [&](TObject*, int p, bool& allow) {
    changing.push_back(p);
    allow = p != 150;
  };
  splitter->OnChange = [&](TObject*) { ++changes; };
  splitter->SetPosition(100);
  changes = 0;
  changing.clear();

  Down(101, 50);
  EXPECT_TRUE(splitter->Dragging());
  Move(131, 50);
  EXPECT_EQ(splitter->DragPosition(), 130);
  EXPECT_EQ(splitter->Position(), 100) << "only the outline moves";
  SendMessageA(splitter->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(splitter->Dragging());
  Up(131, 50);
  EXPECT_EQ(splitter->Position(), 100);
  EXPECT_EQ(changes, 0);

  // A drag that ends: the bar goes where the outline was; a refused place is skipped.
  Down(101, 50);
  Move(121, 50);
  Move(151, 50);
  EXPECT_EQ(splitter->DragPosition(), 120) << "150 was refused";
  Up(151, 50);
  EXPECT_EQ(splitter->Position(), 120);
  EXPECT_EQ(changes, 1);

  // In real time the panes follow the mouse.
  splitter->SetRealTimeDrag(true);
  Down(121, 50);
  Move(71, 50);
  EXPECT_EQ(splitter->Position(), 70);
  EXPECT_EQ(splitter->UpperLeftPane()->Width(), 70);
  Up(71, 50);
  EXPECT_EQ(splitter->Position(), 70);

  // A locked bar does not move.
  splitter->SetLockBar(true);
  Down(71, 50);
  Move(91, 50);
  Up(91, 50);
  EXPECT_EQ(splitter->Position(), 70);
}

// The user's own drag: Escape takes the outline away and leaves the bar where it was; the
// form's Cancel button, which Escape presses otherwise, is not pressed.
TEST_F(Splitter, EscapeDuringAUsersDragCancelsTheDragAndNotTheForm) {
  auto* cancel = Put<TFcButton>(form.get(), 220, 10, 75, 23);
  cancel->SetCancel(true);
  int cancelled = 0;
  cancel->OnClick = [&](TObject*) { ++cancelled; };
  SetForegroundWindow(form->Handle());
  splitter->SetPosition(100);
  Pump();

  POINT grip = splitter->ClientToScreen(POINT{101, 50});
  RealMove(grip);
  SendMouseButton(mbLeft, true);
  RealMove(POINT{grip.x + 30, grip.y});
  ASSERT_TRUE(splitter->Dragging());
  EXPECT_EQ(splitter->DragPosition(), 130);
  RealKey(VK_ESCAPE);
  EXPECT_FALSE(splitter->Dragging());
  EXPECT_TRUE(splitter->OutlinesLeft().empty());
  SendMouseButton(mbLeft, false);
  WaitForInputHandled();
  EXPECT_EQ(splitter->Position(), 100);
  EXPECT_EQ(cancelled, 0);

  // Once no drag runs, Escape is the form's again.
  RealKey(VK_ESCAPE);
  EXPECT_EQ(cancelled, 1);
}

// A drag that loses the mouse to another window, or that the system cancels (as before a
// modal window), ends there: no outline stays on the screen and the bar stays where it was.
TEST_F(Splitter, ADragThatLosesTheMouseEndsWithoutAnOutline) {
  auto* other = Put<TPanel>(form.get(), 220, 10, 60, 60);
  struct {
    const char* name;
    std::function<void()> interrupt;
  } cases[] = {
      {"another window takes the mouse", [&] { SetCapture(other->Handle()); }},
      {"the system cancels the mode", [&] { SendMessageA(splitter->Handle(), WM_CANCELMODE, 0, 0); }},
  };
  SetForegroundWindow(form->Handle());
  splitter->SetPosition(100);
  Pump();
  for (const auto& c : cases) {
    splitter->outlines.clear();
    POINT grip = splitter->ClientToScreen(POINT{101, 50});
    RealMove(grip);
    SendMouseButton(mbLeft, true);
    RealMove(POINT{grip.x + 30, grip.y});
    ASSERT_TRUE(splitter->Dragging()) << c.name;
    c.interrupt();
    EXPECT_FALSE(splitter->Dragging()) << c.name;
    EXPECT_TRUE(splitter->OutlinesLeft().empty()) << c.name;
    RealMove(POINT{grip.x + 50, grip.y});
    SendMouseButton(mbLeft, false);
    WaitForInputHandled();
    ReleaseCapture();
    EXPECT_TRUE(splitter->OutlinesLeft().empty()) << c.name;
    EXPECT_EQ(splitter->Position(), 100) << c.name;
  }
}

// A pane shown again after the splitter shrank gets room beside the other: the bar inside the
// splitter, within the margins, and neither pane without width.
TEST_F(Splitter, APaneShownAgainAfterTheSplitterShrankGetsRoomBesideTheOther) {
  struct {
    const char* name;
    int widthBefore, position, marginMin, marginMax, widthAfter;
    int expected;  // -1: anywhere that gives both panes room
  } cases[] = {
      {"still in reach", 300, 100, 0, 0, 250, 100},
      {"beyond the narrower splitter", 300, 250, 0, 0, 150, -1},
      {"at its very end", 300, 293, 0, 0, 200, -1},
      {"into the far margin", 300, 200, 20, 40, 220, -1},
  };
  for (const auto& c : cases) {
    splitter->UpperLeft()->SetVisible(true);
    splitter->SetMarginMin(0);
    splitter->SetMarginMax(0);
    splitter->SetWidth(c.widthBefore);
    splitter->SetPosition(c.position);
    splitter->SetMarginMin(c.marginMin);
    splitter->SetMarginMax(c.marginMax);
    splitter->UpperLeft()->SetVisible(false);
    splitter->SetWidth(c.widthAfter);
    splitter->UpperLeft()->SetVisible(true);
    RECT bar = splitter->BarRect();
    RECT client = splitter->ClientRect();
    EXPECT_GE(bar.left, client.left + c.marginMin) << c.name;
    EXPECT_LE(bar.right, client.right - c.marginMax) << c.name;
    EXPECT_EQ(bar.right - bar.left, splitter->SplitterWidth()) << c.name;
    EXPECT_GT(splitter->UpperLeftPane()->Width(), 0) << c.name;
    EXPECT_GT(splitter->LowerRightPane()->Width(), 0) << c.name;
    EXPECT_EQ(splitter->UpperLeftPane()->Width(), splitter->Position()) << c.name;
    if (c.expected >= 0) {
      EXPECT_EQ(splitter->Position(), c.expected) << c.name;
    }
  }
}

TEST_F(Splitter, TheFixedPaneKeepsItsSizeWhenTheSplitterIsResized) {
  splitter->SetWidth(300);
  splitter->SetPosition(200);
  splitter->SetFixedPane(fpLowerRight);
  EXPECT_EQ(splitter->LowerRightPane()->Width(), 96);
  splitter->SetWidth(400);
  EXPECT_EQ(splitter->Position(), 300);
  EXPECT_EQ(splitter->LowerRightPane()->Width(), 96);
  splitter->SetWidth(250);
  EXPECT_EQ(splitter->Position(), 150);
  EXPECT_EQ(splitter->LowerRightPane()->Width(), 96);

  // A share set while the lower pane is fixed changes nothing on resizing, but the bar stays
  // inside the splitter.
  splitter->SetPercent(30);
  EXPECT_TRUE(splitter->UsePercent());
  EXPECT_EQ(splitter->FixedPane(), fpLowerRight);
  const int before = splitter->Position();
  splitter->SetWidth(280);
  EXPECT_EQ(splitter->Position(), before);
  splitter->SetWidth(60);
  EXPECT_EQ(splitter->Position(), 56);

  // The upper pane fixed by share: 30 % of the room the bar moves in.
  splitter->SetUsePercent(false);
  splitter->SetFixedPane(fpUpperLeft);
  splitter->SetWidth(402);
  splitter->SetPercent(40);
  splitter->SetPercent(30);
  EXPECT_TRUE(splitter->UsePercent());
  EXPECT_EQ(splitter->Position(), 120);
  splitter->SetWidth(202);
  EXPECT_EQ(splitter->Position(), 60);
  splitter->SetWidth(302);
  EXPECT_EQ(splitter->Position(), 90);

  // The upper pane fixed in pixels: it comes back to the user's size when there is room.
  splitter->SetUsePercent(false);
  splitter->SetFixedPane(fpLowerRight);
  splitter->SetPosition(150);
  splitter->SetFixedPane(fpUpperLeft);
  splitter->SetWidth(100);
  EXPECT_EQ(splitter->Position(), 96);
  splitter->SetWidth(300);
  EXPECT_EQ(splitter->Position(), 150);
}

TEST_F(Splitter, TheHotSpotIsPaintedOnTheBar) {
  TStylesScope classic(TVisualStyles::vsOff);
  splitter->SetHotSpotVisible(true);
  splitter->SetSplitterStyle(ssGroove);
  splitter->SetPosition(80);
  splitter->UpperLeft()->SetColor(clWhite);
  splitter->LowerRight()->SetColor(clWhite);
  Pump();
  auto shot = PaintToBitmap(form.get());
  RECT spot = splitter->HotSpotRect();
  OffsetRect(&spot, splitter->Left(), splitter->Top());
  EXPECT_EQ(PixelAt(*shot, spot.left, spot.top), AsPainted(*shot, clBtnShadow)) << "its frame";
  EXPECT_GE(CountPixels(*shot, spot, clHighlight), 2 * 9) << "two arrows pointing to the start";
  RECT bar = splitter->BarRect();
  OffsetRect(&bar, splitter->Left(), splitter->Top());
  RECT above{bar.left, bar.top, bar.right, spot.top};
  EXPECT_GT(CountPixels(*shot, above, clBtnShadow), 0) << "the grooves";
}

TEST(SplitterLayout, APaneOfTheStoredLayoutGetsItsChildrenBackAndWritesThemAgain) {
  RegisterControlLibrary();
  std::unique_ptr<TForm> form(TForm::CreateNew<TForm>(nullptr));
  ReadLayout(form.get(), R"({ "class": "TForm", "name": "OpenForm", "children": [
      { "class": "TFcSplitter", "name": "FcSplitter1",
        "properties": { "Width": 400, "Height": 200, "Position": 260, "HotSpotVisible": true,
                        "SplitterWidth": 7, "PositionMin": 20, "PositionMax": 300,
                        "UpperLeft": { "Color": "clWhite" },
                        "UpperLeftControls": ["TreeBox"], "LowerRightControls": ["ListBox", "ListLine"] },
        "children": [
          { "class": "TFcPanel", "name": "TreeBox", "properties": { "Align": "alClient" } },
          { "class": "TFcPanel", "name": "ListBox", "properties": { "Left": 4, "Top": 4, "Width": 50, "Height": 40 } },
          { "class": "TFcStatusPane", "name": "ListLine", "properties": { "Top": 60, "Caption": "3 items" } } ] } ] })");
  auto check = [](TForm* f, const char* when) {
    auto* splitter = dynamic_cast<TFcSplitter*>(f->FindComponent("FcSplitter1"));
    ASSERT_NE(splitter, nullptr) << when;
    auto* tree = dynamic_cast<TControl*>(f->FindComponent("TreeBox"));
    auto* list = dynamic_cast<TControl*>(f->FindComponent("ListBox"));
    auto* line = dynamic_cast<TControl*>(f->FindComponent("ListLine"));
    ASSERT_TRUE(tree && list && line) << when;
    EXPECT_EQ(splitter->Position(), 260) << when;
    EXPECT_EQ(splitter->UpperLeft()->Color(), clWhite) << when;
    EXPECT_EQ(tree->Parent(), splitter->UpperLeftPane()) << when;
    EXPECT_EQ(Text(tree->BoundsRect()), "0,0,260,200") << when;
    EXPECT_EQ(list->Parent(), splitter->LowerRightPane()) << when;
    EXPECT_EQ(Text(list->BoundsRect()), "4,4,54,44") << when;
    EXPECT_EQ(line->Parent(), splitter->LowerRightPane()) << when;
    EXPECT_EQ(line->Caption(), "3 items") << when;
    EXPECT_EQ(Text(splitter->LowerRightPane()->BoundsRect()), "267,0,400,200") << when;
  };
  check(form.get(), "read");

  std::string written = WriteLayout(form.get());
  EXPECT_NE(written.find("\"UpperLeftControls\""), std::string::npos);
  EXPECT_NE(written.find("\"LowerRightControls\""), std::string::npos);
  EXPECT_EQ(written.find("PositionMin"), std::string::npos);
  std::unique_ptr<TForm> again(TForm::CreateNew<TForm>(nullptr));
  ReadLayout(again.get(), written);
  check(again.get(), "written and read again");
  EXPECT_EQ(WriteLayout(again.get()), written);
}

TEST(SplitterLayout, AClosedHotSpotIsStoredWithThePositionToReturnTo) {
  RegisterControlLibrary();
  std::unique_ptr<TForm> form(TForm::CreateNew<TForm>(nullptr));
  auto* splitter = new TFcSplitter(form.get());
  splitter->SetName("Split");
  splitter->SetParent(form.get());
  std::string open = WriteLayout(form.get());
  EXPECT_EQ(open.find("HotSpotClosed"), std::string::npos);
  splitter->ReadHotSpotState(true, true, false, 70);
  splitter->SetPosition(0);
  std::unique_ptr<TForm> again(TForm::CreateNew<TForm>(nullptr));
  ReadLayout(again.get(), WriteLayout(form.get()));
  auto* copy = dynamic_cast<TFcSplitter*>(again->FindComponent("Split"));
  ASSERT_NE(copy, nullptr);
  EXPECT_TRUE(copy->HotSpotClosed());
  EXPECT_TRUE(copy->HotSpotClosedToMin());
  EXPECT_EQ(copy->HotSpotPosition(), 70);
  EXPECT_EQ(copy->Position(), 0);
}

TEST_F(Splitter, APaneThatIsADockSiteTakesADraggedControlAndTellsTheSplitter) {
  TEventLog events;
  splitter->OnULGetSiteInfo = [&](TObject* sender, TControl*, RECT&, POINT, bool&) {
    if (sender == splitter) events.NoteOnce("site info");
  };
  splitter->OnULDockOver = [&](TObject* sender, TDragDockObject*, int, int, TDragState, bool&) {
    if (sender == splitter) events.NoteOnce("over");
  };
  splitter->OnULDockDrop = [&](TObject* sender, TDragDockObject*, int, int) {
    if (sender == splitter) events.Note("dropped");
  };
  splitter->OnLRDockDrop = events.Noter("wrong pane");
  splitter->SetPosition(120);
  splitter->UpperLeft()->SetDockSite(true);
  auto* tool = new TFcPanel(form.get());
  tool->SetParent(form.get());
  tool->SetBounds(10, 130, 80, 30);
  tool->SetDragKind(dkDock);
  tool->SetDragMode(dmAutomatic);
  Pump();

  MouseMoveTo(tool, 10, 10);
  SendMessageA(tool->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  ASSERT_TRUE(tool->Dragging());
  POINT screen = splitter->UpperLeftPane()->ClientToScreen(POINT{60, 50});
  SetCursorPos(screen.x, screen.y);
  HWND captured = GetCapture();
  POINT c = screen;
  ScreenToClient(captured, &c);
  SendMessageA(captured, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(c.x, c.y));
  SendMessageA(captured, WM_LBUTTONUP, 0, MAKELPARAM(c.x, c.y));
  EXPECT_EQ(tool->HostDockSite(), splitter->UpperLeftPane());
  // Asked while the mouse moved and again at the drop.
  EXPECT_EQ(events, (TEvents{"site info", "over", "site info", "over", "dropped"}));
}

TEST_F(Splitter, ItShowsItsOwnCursorsOverTheBarAndTheHotSpot) {
  splitter->SetHotSpotVisible(true);
  splitter->SetPosition(80);
  Pump();
  auto cursorAt = [&](POINT p) {
    POINT screen = splitter->ClientToScreen(p);
    SetCursorPos(screen.x, screen.y);
    SendMessageA(splitter->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(splitter->Handle()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
  };
  RECT bar = splitter->BarRect();
  HCURSOR onBar = cursorAt(POINT{bar.left + 3, bar.top + 5});
  HCURSOR onSpot = cursorAt(POINT{bar.left + 3, (bar.top + bar.bottom) / 2});
  EXPECT_NE(onBar, nullptr);
  EXPECT_NE(onSpot, nullptr);
  EXPECT_NE(onBar, onSpot);
  EXPECT_NE(onBar, LoadCursor(nullptr, IDC_SIZEWE)) << "the program's own";
  for (const char* name : {"RZSPLIT_HORZ", "RZSPLIT_HORZHOTSPOT", "RZSPLIT_VERT", "RZSPLIT_VERTHOTSPOT"})
    EXPECT_NE(FindResourceA(nullptr, name, MAKEINTRESOURCEA(10)), nullptr) << name;
  splitter->SetLockBar(true);
  EXPECT_NE(cursorAt(POINT{bar.left + 3, bar.top + 5}), onBar);
}
