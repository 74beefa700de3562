// The page control in a window: a layout like the main window's, selection by mouse, keys,
// accelerators and Ctrl+Tab, hidden and disabled tabs, closing and freeing pages, saving
// windows, the scroller, hot tracking, dragging tabs, docking and what the tabs look like.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "ControlsTestSupport.h"
#include "EventLog.h"
#include "TestSupport.h"
#include "controls/FcPages.h"
#include "platform/Docking.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/Layout.h"
#include "platform/StdCtrls.h"

namespace {

// The main window's page control: round corners, eight white pages, "Specific" disabled; an
// edit on the first page and one outside the control.
const char* kMainPages = R"({ "class": "TForm", "properties": { "ClientWidth": 640, "ClientHeight": 300,
  "Color": "clBtnFace" }, "children": [
  { "class": "TFcPageControl", "name": "Pages",
    "properties": { "Left": 8, "Top": 8, "Width": 600, "Height": 200, "TabStyle": "tsRoundCorners",
                    "FixedDimension": 19, "ActivePage": "Path", "TabIndex": 0 },
    "children": [
      { "class": "TFcTabSheet", "name": "Path", "properties": { "Caption": "Path", "Color": "clWhite" },
        "children": [ { "class": "TEdit", "name": "PathEdit", "properties": { "Left": 8, "Top": 8, "Text": "C:\\Quenmar" } } ] },
      { "class": "TFcTabSheet", "name": "Demos", "properties": { "Caption": "&Demos", "Color": "clWhite" } },
      { "class": "TFcTabSheet", "name": "Settings1", "properties": { "Caption": "Settings 1", "Color": "clWhite" } },
      { "class": "TFcTabSheet", "name": "Settings2", "properties": { "Caption": "Settings 2", "Color": "clWhite" } },
      { "class": "TFcTabSheet", "name": "Settings3", "properties": { "Caption": "Settings 3", "Color": "clWhite" } },
      { "class": "TFcTabSheet", "name": "General", "properties": { "Caption": "General", "Color": "clWhite" } },
      { "class": "TFcTabSheet", "name": "Screen", "properties": { "Caption": "Screen", "Color": "clWhite" } },
      { "class": "TFcTabSheet", "name": "Specific", "properties": { "Caption": "&Specific", "Color": "clWhite",
                                                                "TabEnabled": false } } ] },
  { "class": "TEdit", "name": "Outside", "properties": { "Left": 8, "Top": 240 } } ] })";

void KeyWithState(WORD vk, std::initializer_list<int> held = {}) {
  BYTE keys[256], pressed[256];
  GetKeyboardState(keys);
  memcpy(pressed, keys, sizeof(keys));
  for (int k : held) pressed[k] = 0x80;
  SetKeyboardState(pressed);
  HWND focus = GetFocus();
  PostMessageA(focus, WM_KEYDOWN, vk, 1);
  PostMessageA(focus, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001));
  Pump();
  SetKeyboardState(keys);
}

// One form for the suite (each window that goes costs time under Xvfb); every test starts
// from the layout's state again.
class PageControl : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterControlLibrary();
    RegisterStdCtrls();
  }
  void SetUp() override {
    form.reset(TForm::CreateNew<TForm>(nullptr));
    ReadLayout(form.get(), kMainPages);
    form->SetBounds(20, 20, form->Width(), form->Height());
    form->Show();
    pages = Get<TFcPageControl>("Pages");
    Pump();
  }
  void TearDown() override { form.reset(); }

  template <class T>
  T* Get(const char* name) {
    auto* c = dynamic_cast<T*>(form->FindComponent(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
  }
  TFcTabSheet* Page(const char* name) { return Get<TFcTabSheet>(name); }
  POINT TabCentre(int index) {
    RECT r = pages->GetTabRect(index);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2 + 2};
  }
  void ClickTab(int index) {
    POINT p = TabCentre(index);
    MouseClick(pages, p.x, p.y);
    Pump();
  }
  // Which pages show.
  std::vector<std::string> Shown() {
    std::vector<std::string> names;
    for (int i = 0; i < pages->PageCount(); ++i)
      if (pages->Pages(i)->Visible()) names.push_back(pages->Pages(i)->Name());
    return names;
  }

  std::unique_ptr<TForm> form;
  TFcPageControl* pages = nullptr;
};

}  // namespace

TEST_F(PageControl, TheMainWindowsLayoutShowsItsFirstPageWithEightTabs) {
  EXPECT_EQ(pages->PageCount(), 8);
  EXPECT_EQ(pages->Tabs()->Count(), 8);
  EXPECT_EQ(pages->ActivePage(), Page("Path"));
  EXPECT_EQ(pages->TabIndex(), 0);
  EXPECT_EQ(Shown(), std::vector<std::string>{"Path"});
  EXPECT_EQ(pages->FixedDimension(), 19);
  EXPECT_FALSE(pages->Tabs()->Items(7)->Enabled);
  // The white pages turned the coloured tabs on; the page fills the card's client area.
  EXPECT_TRUE(pages->UseColoredTabs());
  RECT client = pages->CardClientRect();
  EXPECT_EQ(Page("Path")->Left(), client.left);
  EXPECT_EQ(Page("Path")->Top(), client.top);
  EXPECT_EQ(Page("Path")->Width(), client.right - client.left);
  // All eight tabs fit in one row on the card: no scroller.
  EXPECT_FALSE(pages->ScrollerShown());
  EXPECT_EQ(pages->RowCount(), 1);
}

TEST_F(PageControl, ClickingATabShowsItsPageUnlessItIsDisabledOrRefused) {
  TEventLog log;
  pages->OnChanging = [&](TObject*, int index, bool&) { log.Note("changing " + std::to_string(index)); };
  pages->OnChange = log.Noter("change");
  pages->OnTabClick = log.Noter("tab click");
  ClickTab(2);
  EXPECT_EQ(pages->TabIndex(), 2);
  EXPECT_EQ(pages->ActivePage(), Page("Settings1"));
  EXPECT_EQ(Shown(), std::vector<std::string>{"Settings1"});
  EXPECT_EQ(log, (TEvents{"changing 2", "change", "tab click"}));

  log.Clear();
  ClickTab(7);  // "Specific" is disabled
  EXPECT_EQ(pages->ActivePage(), Page("Settings1"));
  EXPECT_TRUE(log.Empty());

  pages->OnChanging = [&](TObject*, int, bool& allow) { allow = false; };
  ClickTab(3);
  EXPECT_EQ(pages->TabIndex(), 2);
  EXPECT_EQ(Shown(), std::vector<std::string>{"Settings1"});

  // A press on the selected tab focuses the control.
  Get<TEdit>("Outside")->SetFocus();
  ClickTab(2);
  EXPECT_TRUE(pages->Focused());
}

TEST_F(PageControl, ArrowHomeAndEndKeysSkipTabsThatCannotBeSelected) {
  pages->SetFocus();
  Pump();
  KeyWithState(VK_RIGHT);
  EXPECT_EQ(pages->ActivePage(), Page("Demos"));
  KeyWithState(VK_END);
  EXPECT_EQ(pages->ActivePage(), Page("Screen"));  // the last one, Specific, is disabled
  KeyWithState(VK_RIGHT);                           // past Specific, round to the first
  EXPECT_EQ(pages->ActivePage(), Page("Path"));
  KeyWithState(VK_LEFT);
  EXPECT_EQ(pages->ActivePage(), Page("Screen"));
  KeyWithState(VK_HOME);
  EXPECT_EQ(pages->ActivePage(), Page("Path"));

  // A tab refused by OnChanging is stepped over; with every other one refused the keys stop
  // when they come back to the current tab.
  int tabClicks = 0;
  pages->OnTabClick = [&](TObject*) { ++tabClicks; };
  pages->OnChanging = [](TObject*, int index, bool& allow) { allow = index != 1; };
  KeyWithState(VK_RIGHT);
  EXPECT_EQ(pages->TabIndex(), 2);
  EXPECT_EQ(tabClicks, 1);
  KeyWithState(VK_LEFT);
  EXPECT_EQ(pages->TabIndex(), 0);
  pages->OnChanging = [](TObject*, int, bool& allow) { allow = false; };
  KeyWithState(VK_DOWN);
  KeyWithState(VK_UP);
  KeyWithState(VK_END);
  EXPECT_EQ(pages->TabIndex(), 0);
  EXPECT_EQ(tabClicks, 2);
}

TEST_F(PageControl, AnAcceleratorSelectsItsTabAndFocusesTheControl) {
  Get<TEdit>("Outside")->SetFocus();
  Pump();
  PostMessageA(GetFocus(), WM_SYSCHAR, 'd', 0x20000001);
  Pump();
  EXPECT_EQ(pages->ActivePage(), Page("Demos"));
  EXPECT_TRUE(pages->Focused());
  // The disabled tab's accelerator does nothing.
  PostMessageA(GetFocus(), WM_SYSCHAR, 's', 0x20000001);
  Pump();
  EXPECT_EQ(pages->ActivePage(), Page("Demos"));
}

TEST_F(PageControl, CtrlTabStepsThroughThePagesFromInsideTheControl) {
  Get<TEdit>("PathEdit")->SetFocus();
  Pump();
  KeyWithState(VK_TAB, {VK_CONTROL});
  EXPECT_EQ(pages->ActivePage(), Page("Demos"));
  // The page that had the focus gave it to the new page.
  EXPECT_TRUE(pages->ContainsControl(Screen->ActiveControl()));

  // Backward from the first page: the last page with a tab, but it is disabled, so nothing
  // changes; once enabled it is chosen.
  KeyWithState(VK_TAB, {VK_CONTROL, VK_SHIFT});
  EXPECT_EQ(pages->ActivePage(), Page("Path"));
  KeyWithState(VK_TAB, {VK_CONTROL, VK_SHIFT});
  EXPECT_EQ(pages->ActivePage(), Page("Path"));
  Page("Specific")->SetTabEnabled(true);
  KeyWithState(VK_TAB, {VK_CONTROL, VK_SHIFT});
  EXPECT_EQ(pages->ActivePage(), Page("Specific"));

  // A refused change keeps the page.
  pages->OnChanging = [](TObject*, int, bool& allow) { allow = false; };
  KeyWithState(VK_TAB, {VK_CONTROL});
  EXPECT_EQ(pages->ActivePage(), Page("Specific"));

  // From outside the control Ctrl+Tab does not change pages.
  pages->OnChanging = nullptr;
  Get<TEdit>("Outside")->SetFocus();
  Pump();
  KeyWithState(VK_TAB, {VK_CONTROL});
  EXPECT_EQ(pages->ActivePage(), Page("Specific"));
}

TEST_F(PageControl, HiddenTabsShiftTheOthersAndAHiddenActiveTabLeavesNoSelection) {
  Page("Demos")->SetTabVisible(false);
  EXPECT_EQ(pages->Tabs()->Count(), 7);
  EXPECT_EQ(Page("Demos")->TabIndexOfPage(), -1);
  EXPECT_EQ(Page("Settings1")->TabIndexOfPage(), 1);
  EXPECT_EQ(pages->PageForTab(1), Page("Settings1"));

  ClickTab(1);
  ASSERT_EQ(pages->ActivePage(), Page("Settings1"));
  Page("Settings1")->SetTabVisible(false);
  EXPECT_EQ(pages->TabIndex(), -1);
  // The layout at the next paint leaves it so: the page shows without a selected tab.
  pages->Repaint();
  pages->UpdateLayout();
  EXPECT_EQ(pages->TabIndex(), -1);
  EXPECT_EQ(pages->ActivePage(), Page("Settings1"));
  EXPECT_EQ(Shown(), std::vector<std::string>{"Settings1"});

  // Showing its tab again selects it.
  Page("Settings1")->SetTabVisible(true);
  EXPECT_EQ(pages->TabIndex(), 1);
}

TEST_F(PageControl, DisablingTheActivePagesTabKeepsThePage) {
  ClickTab(5);
  ASSERT_EQ(pages->ActivePage(), Page("General"));
  Page("General")->SetTabEnabled(false);
  pages->Repaint();
  pages->UpdateLayout();
  EXPECT_EQ(pages->ActivePage(), Page("General"));
  EXPECT_EQ(pages->TabIndex(), 5);
  // The keys leave it for another tab and cannot come back to it.
  pages->SetFocus();
  Pump();
  KeyWithState(VK_RIGHT);
  EXPECT_EQ(pages->ActivePage(), Page("Screen"));
  KeyWithState(VK_LEFT);
  EXPECT_EQ(pages->ActivePage(), Page("Settings3"));

  // The plain tab control moves off a disabled current tab at its next layout.
  TFcCustomTabControl plain(nullptr);
  for (const char* caption : {"A", "B", "C"}) plain.Tabs()->Add()->Caption = caption;
  plain.UpdateLayout();
  plain.SetTabIndex(1);
  plain.Tabs()->Items(1)->Enabled = false;
  plain.SetLayoutStale();
  plain.UpdateLayout();
  EXPECT_EQ(plain.TabIndex(), 2);
}

TEST_F(PageControl, PageIndexMovesPagesAndRefusesAnIndexOutOfRange) {
  Page("Path")->SetPageIndex(2);
  EXPECT_EQ(pages->Pages(2), Page("Path"));
  EXPECT_EQ(pages->Tabs()->Items(2)->Caption, "Path");
  EXPECT_EQ(pages->TabIndex(), 2);
  try {
    Page("Path")->SetPageIndex(8);
    ADD_FAILURE();
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "8 is an invalid PageIndex value. PageIndex must be between 0 and 7");
  }
  EXPECT_EQ(pages->Pages(2), Page("Path"));
  EXPECT_THROW(Page("Path")->SetPageIndex(-1), EListError);
  try {
    SetPropValue(Page("Demos"), "Visible", TValue::Boolean(true));
    ADD_FAILURE();
  } catch (const EInvalidOperation& e) {
    EXPECT_STREQ(e.what(), "You cannot change the Visible property of a page");
  }
}

TEST_F(PageControl, APageFreedByCodeOrClosedLeavesNothingPointingAtIt) {
  ClickTab(3);
  delete Page("Settings2");
  EXPECT_EQ(pages->ActivePage(), nullptr);
  EXPECT_EQ(pages->TabIndex(), -1);
  EXPECT_EQ(pages->PageCount(), 7);
  // The control goes on working.
  ClickTab(1);
  EXPECT_EQ(pages->ActivePage(), Page("Demos"));
  EXPECT_EQ(Shown(), std::vector<std::string>{"Demos"});

  // The close button closes only when OnClose allows it; the tab before takes over.
  pages->SetShowCloseButton(true);
  pages->CloseButtonClick();
  EXPECT_EQ(pages->PageCount(), 7);
  pages->OnClose = [](TObject*, bool& allow) { allow = true; };
  pages->CloseButtonClick();
  EXPECT_EQ(pages->PageCount(), 6);
  EXPECT_EQ(pages->ActivePage(), Page("Path"));
  EXPECT_EQ(pages->TabIndex(), 0);
  pages->CloseButtonClick();  // the first one: the new first one follows
  EXPECT_EQ(pages->ActivePage(), Page("Settings1"));
  EXPECT_EQ(pages->TabIndex(), 0);
  Page("Specific")->SetTabEnabled(true);
  while (pages->PageCount() > 1) pages->CloseButtonClick();
  pages->CloseButtonClick();
  EXPECT_EQ(pages->PageCount(), 0);
  EXPECT_EQ(pages->ActivePage(), nullptr);
  EXPECT_EQ(pages->TabIndex(), -1);
  pages->Repaint();
  EXPECT_EQ(pages->TabAtPos(20, 10), -1);
}

TEST_F(PageControl, WithSaveResourcesHiddenPagesGiveUpTheirWindows) {
  auto* edit = Get<TEdit>("PathEdit");
  edit->SetText("D:\\Games\\Quenmar");
  pages->SetSaveResources(true);
  EXPECT_FALSE(Page("Demos")->HandleAllocated());
  EXPECT_TRUE(Page("Path")->HandleAllocated());
  ClickTab(1);
  EXPECT_FALSE(Page("Path")->HandleAllocated());
  EXPECT_FALSE(edit->HandleAllocated());
  EXPECT_TRUE(Page("Demos")->HandleAllocated());
  ClickTab(0);
  EXPECT_TRUE(edit->HandleAllocated());
  EXPECT_TRUE(IsWindowVisible(edit->Handle()));
  EXPECT_EQ(edit->Text(), "D:\\Games\\Quenmar");
}

TEST_F(PageControl, TheScrollerShowsWhenTheTabsDoNotFit) {
  pages->SetWidth(260);
  Pump();
  ASSERT_TRUE(pages->ScrollerShown());
  TFcTabScroller* scroller = pages->Scroller();
  ASSERT_NE(scroller, nullptr);
  EXPECT_TRUE(scroller->Visible());
  EXPECT_FALSE(scroller->DownLeftEnabled());
  EXPECT_TRUE(scroller->UpRightEnabled());
  // At the far end of the strip, 2 pixels above the card.
  RECT area = pages->TabAreaRect();
  EXPECT_EQ(scroller->Left() + scroller->Width(), area.right);
  EXPECT_EQ(scroller->Top() + scroller->Height(), area.bottom - 2);

  RECT right = scroller->UpRightRect();
  MouseClick(scroller, (right.left + right.right) / 2, (right.top + right.bottom) / 2);
  Pump();
  EXPECT_EQ(pages->FirstVisibleTab(), 1);
  EXPECT_TRUE(scroller->DownLeftEnabled());
  RECT left = scroller->DownLeftRect();
  MouseClick(scroller, (left.left + left.right) / 2, (left.top + left.bottom) / 2);
  Pump();
  EXPECT_EQ(pages->FirstVisibleTab(), 0);
  // The selected tab scrolls into view.
  pages->SetActivePage(Page("Screen"));
  EXPECT_TRUE(pages->IsTabFullyShown(6));
  EXPECT_GT(pages->FirstVisibleTab(), 0);
}

TEST_F(PageControl, HotTrackingFollowsThePointerAndEndsWhenItLeavesTheTabs) {
  pages->SetTabHints(true);
  Page("Demos")->SetHint("The demo to run");
  pages->SetHint("Settings");
  pages->Loaded();  // keeps the control's own hint aside
  ASSERT_EQ(pages->Tabs()->Items(1)->Hint, "The demo to run");
  POINT p = TabCentre(1);
  MouseMoveTo(pages, p.x, p.y);
  Pump();
  EXPECT_EQ(pages->HotTab(), 1);
  EXPECT_EQ(pages->Hint(), "The demo to run");

  // The pointer leaves for the card: the timer ends the hot tracking.
  POINT away = pages->ClientToScreen(POINT{100, 120});
  SetCursorPos(away.x, away.y);
  EXPECT_TRUE(LoopUntil([&] { return pages->HotTab() == -1; }, 2000));
  EXPECT_EQ(pages->Hint(), "Settings");
}

TEST_F(PageControl, ATabDraggedOntoAnotherMovesItsPageThere) {
  pages->SetAllowTabDragging(true);
  POINT from = TabCentre(0), to = TabCentre(3);
  HWND wnd = pages->Handle();
  SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
  SendMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(from.x + 10, from.y));
  SendMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
  RECT marker = pages->DropMarkerRect();
  EXPECT_FALSE(IsRectEmpty(&marker));
  // After the target: the target lies after the tab that is dragged.
  RECT target = pages->GetTabRect(3);
  EXPECT_EQ((marker.left + marker.right) / 2, target.right);
  SendMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
  Pump();
  EXPECT_EQ(pages->Pages(3), Page("Path"));
  EXPECT_EQ(pages->ActivePage(), Page("Path"));
  EXPECT_EQ(pages->TabIndex(), 3);
  marker = pages->DropMarkerRect();
  EXPECT_TRUE(IsRectEmpty(&marker));

  // A press and release without moving beyond the threshold moves nothing.
  from = TabCentre(3);
  SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
  SendMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(from.x + 1, from.y));
  SendMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(from.x + 1, from.y));
  EXPECT_EQ(pages->Pages(3), Page("Path"));
}

TEST_F(PageControl, DockedControlsBecomePagesOfTheirOwn) {
  pages->SetDockSite(true);
  auto* panel = new TPanel(form.get());
  panel->SetCaption("Report");
  panel->SetDragKind(dkDock);
  panel->SetParent(form.get());
  ASSERT_TRUE(panel->ManualDock(pages));
  ASSERT_EQ(pages->PageCount(), 9);
  TFcTabSheet* page = pages->Pages(8);
  EXPECT_EQ(panel->Parent(), page);
  EXPECT_EQ(panel->HostDockSite(), pages);
  EXPECT_EQ(panel->Align(), alClient);
  EXPECT_EQ(page->Caption(), "Report");
  EXPECT_EQ(pages->ActivePage(), page);

  // The docked control's caption and visibility reach its page.
  panel->SetCaption("Results\r\nof the run");
  EXPECT_EQ(page->Caption(), "Results");
  panel->SetVisible(false);
  EXPECT_FALSE(page->TabVisible());
  panel->SetVisible(true);
  EXPECT_TRUE(page->TabVisible());

  // A press on its tab drags it; the right button ends the drag where it started.
  POINT press = TabCentre(8);
  SendMessageA(pages->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.x, press.y));
  EXPECT_TRUE(panel->Dragging());
  SendMessageA(panel->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, 0);
  EXPECT_FALSE(panel->Dragging());
  EXPECT_EQ(panel->Parent(), page);

  // It cannot be docked again onto its own site; a double click on its tab floats it and the
  // page goes.
  bool canDock = true;
  RECT influence{};
  pages->GetSiteInfo(panel, influence, POINT{0, 0}, canDock);
  EXPECT_FALSE(canDock);
  POINT p = TabCentre(8);
  SendMessageA(pages->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  SendMessageA(pages->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
  Pump();
  EXPECT_TRUE(panel->Floating());
  EXPECT_EQ(pages->PageCount(), 8);
  EXPECT_NE(pages->ActivePage(), nullptr);
}

TEST_F(PageControl, TheLayoutIsWrittenAndReadBack) {
  Page("General")->SetTabEnabled(false);
  pages->TabColors()->SetHighlightBar(clRed);
  pages->SetActivePage(Page("Screen"));
  std::string text = WriteLayout(form.get());
  std::unique_ptr<TForm> copy(TForm::CreateNew<TForm>(nullptr));
  ReadLayout(copy.get(), text);
  auto* again = dynamic_cast<TFcPageControl*>(copy->FindComponent("Pages"));
  ASSERT_NE(again, nullptr);
  ASSERT_EQ(again->PageCount(), 8);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(again->Pages(i)->Caption(), pages->Pages(i)->Caption()) << i;
  EXPECT_EQ(again->ActivePage()->Name(), "Screen");
  EXPECT_EQ(again->TabIndex(), 6);
  EXPECT_FALSE(again->Pages(5)->TabEnabled());
  EXPECT_EQ(again->TabColors()->HighlightBar(), clRed);
  EXPECT_EQ(again->FixedDimension(), 19);
  EXPECT_EQ(again->Pages(0)->ControlCount(), 1);
}

TEST_F(PageControl, ADefaultPageTakesTheLayoutsActivePagesPlace) {
  std::string text = kMainPages;
  text.replace(text.find("\"ActivePage\": \"Path\""), 20, "\"ActivePage\": \"Path\", \"ActivePageDefault\": \"Screen\"");
  std::unique_ptr<TForm> other(TForm::CreateNew<TForm>(nullptr));
  ReadLayout(other.get(), text);
  auto* loaded = dynamic_cast<TFcPageControl*>(other->FindComponent("Pages"));
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->ActivePage()->Name(), "Screen");
  EXPECT_EQ(loaded->TabIndex(), 6);
  EXPECT_FALSE(dynamic_cast<TControl*>(other->FindComponent("Path"))->Visible());
  // The default page going clears the reference.
  delete other->FindComponent("Screen");
  EXPECT_EQ(loaded->ActivePageDefault(), nullptr);
  EXPECT_EQ(loaded->ActivePage(), nullptr);
}

// ---- What the tabs look like --------------------------------------------------------------

TEST_F(PageControl, RoundTabsAreOutlinedAndTheSelectedOneOpensIntoTheCard) {
  for (bool styles : {true, false}) {
    TStylesScope scope(styles ? TVisualStyles::vsOn : TVisualStyles::vsOff);
    pages->SetFlatColor(clNavy);
    pages->SetFlatColorAdjustment(40);
    auto shot = PaintToBitmap(pages);
    COLORREF outline = AsPainted(*shot, ShiftLightness(clNavy, 40));
    RECT selected = pages->GetTabRect(0), other = pages->GetTabRect(2);
    int mid = (other.left + other.right) / 2;
    EXPECT_EQ(PixelAt(*shot, mid, other.top), outline);                   // the top edge
    EXPECT_EQ(PixelAt(*shot, other.left, (other.top + other.bottom) / 2), outline);  // its side
    EXPECT_NE(PixelAt(*shot, other.left + 1, other.top), outline);       // a rounded corner
    // The card's top line runs under the other tabs but is open under the selected one.
    RECT card = pages->CardRect(0);
    EXPECT_EQ(PixelAt(*shot, mid, card.top), outline);
    EXPECT_EQ(PixelAt(*shot, (selected.left + selected.right) / 2, card.top), AsPainted(*shot, clWhite));
    // The selected tab is 2 pixels larger and rises above the others.
    EXPECT_EQ(selected.top + 2, other.top);
    // With HotTrack its top carries the highlight bar.
    EXPECT_EQ(PixelAt(*shot, (selected.left + selected.right) / 2, selected.top + 2), AsPainted(*shot, clHighlight));
    // The unselected tabs run from the shadow colour down to the tab's colour.
    EXPECT_NE(PixelAt(*shot, mid, other.top + 2), PixelAt(*shot, mid, other.bottom - 2));
    EXPECT_TRUE(Near(PixelAt(*shot, mid, other.bottom - 1), Rgb(clWhite), 6));
  }
}

TEST_F(PageControl, TheCardsShadowDarkensWhatTheParentShows) {
  form->SetColor(RGB(200, 100, 60));
  pages->SetShowShadow(true);
  Pump();
  auto shot = PaintToBitmap(pages);
  int w = pages->Width(), h = pages->Height(), y = h / 2;
  COLORREF parent = RGB(200, 100, 60);
  auto darker = [&](int weight) {
    auto c = [&](int v) { return static_cast<BYTE>((v * (255 - weight) + 127) / 255); };
    return RGB(c(GetRValue(parent)), c(GetGValue(parent)), c(GetBValue(parent)));
  };
  EXPECT_EQ(PixelAt(*shot, w - 2, y), darker(30));
  EXPECT_EQ(PixelAt(*shot, w - 1, y), darker(15));
  EXPECT_EQ(PixelAt(*shot, w / 2, h - 2), darker(30));
  EXPECT_EQ(PixelAt(*shot, w / 2, h - 1), darker(15));
  // The frame stands 2 pixels inside, in the outline colour.
  EXPECT_EQ(PixelAt(*shot, w - 3, y), AsPainted(*shot, clBtnShadow));

  // Transparent: the parent shows around the card and the tabs.
  pages->SetTransparent(true);
  auto clear = PaintToBitmap(pages);
  RECT area = pages->TabAreaRect();
  EXPECT_EQ(PixelAt(*clear, area.right - 1, 1), parent);
  pages->SetTransparent(false);
  pages->SetBackgroundColor(clYellow);
  auto opaque = PaintToBitmap(pages);
  EXPECT_EQ(PixelAt(*opaque, area.right - 1, 1), AsPainted(*opaque, clYellow));
  EXPECT_EQ(PixelAt(*opaque, w - 1, y), darker(15));
}

TEST_F(PageControl, TabsShowTheirImagesAndDisabledTabsGreyThemOrShowTheirOwn) {
  TImageList images(nullptr);
  for (TColor c : {clRed, clBlue}) {
    TBitmap image(16, 16);
    image.Canvas()->Brush()->SetColor(c);
    image.Canvas()->FillRect(RECT{0, 0, 16, 16});
    images.Add(&image, nullptr);
  }
  pages->SetImages(&images);
  Page("Demos")->SetImageIndex(0);
  Page("Specific")->SetImageIndex(0);
  Pump();
  ASSERT_FALSE(pages->ScrollerShown());
  auto shot = PaintToBitmap(pages);
  RECT demos = pages->GetTabRect(1), specific = pages->GetTabRect(7);
  EXPECT_GT(CountPixels(*shot, demos, clRed), 150);
  EXPECT_EQ(CountPixels(*shot, specific, clRed), 0);  // greyed
  Page("Specific")->SetDisabledIndex(1);
  shot = PaintToBitmap(pages);
  EXPECT_GT(CountPixels(*shot, specific, clBlue), 150);
  pages->SetImages(nullptr);
}

TEST_F(PageControl, TheHotBarOfTheComplementColourTakesTheOppositeHue) {
  pages->SetHotTrackColor(clRed);
  POINT p = TabCentre(2);
  MouseMoveTo(pages, p.x, p.y);
  Pump();
  ASSERT_EQ(pages->HotTab(), 2);
  auto shot = PaintToBitmap(pages);
  RECT r = pages->GetTabRect(2);
  THslColor bar = RgbToHsl240(static_cast<TColor>(PixelAt(*shot, (r.left + r.right) / 2, r.top + 2)));
  EXPECT_NEAR(bar.Hue, 120, 1);
  pages->SetHotTrackColorType(htctActual);
  shot = PaintToBitmap(pages);
  EXPECT_EQ(PixelAt(*shot, (r.left + r.right) / 2, r.top + 2), RGB(255, 0, 0));
}
