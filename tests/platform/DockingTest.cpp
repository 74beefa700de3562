#include <gtest/gtest.h>

#include "ControlTestClasses.h"
#include "ControlTestSupport.h"
#include "EventLog.h"
#include "platform/Docking.h"

namespace {

std::vector<int> Bounds(TControl* c) { return {c->Left(), c->Top(), c->Width(), c->Height()}; }

// A shown form with two dock sites: a left one with a dock manager and a right one
// without, and an empty area below them.
class Docking : public testing::Test {
 protected:
  void SetUp() override {
    RegisterControlTestClasses();
    form = TForm::CreateNew<TForm>(nullptr);
    form->SetBounds(60, 60, 480, 320);
    left = new TCtlPanel(form);
    left->SetBounds(10, 10, 200, 100);
    left->SetParent(form);
    left->SetDockSite(true);
    left->SetUseDockManager(true);
    right = new TCtlPanel(form);
    right->SetBounds(250, 10, 200, 100);
    right->SetParent(form);
    right->SetDockSite(true);
    first = NewClient("First", clYellow);
    second = NewClient("Second", clAqua);
    form->Show();
    Pump();
  }
  void TearDown() override {
    delete form;
    Pump();
  }
  TCtlPanel* NewClient(const char* caption, TColor color) {
    auto* c = new TCtlPanel(form);
    c->SetCaption(caption);
    c->SetColor(color);
    c->SetDragKind(dkDock);
    c->SetBounds(20, 150, 160, 40);
    c->SetParent(form);
    return c;
  }
  TForm* form = nullptr;
  TCtlPanel* left = nullptr;
  TCtlPanel* right = nullptr;
  TCtlPanel* first = nullptr;
  TCtlPanel* second = nullptr;
};

}  // namespace

TEST_F(Docking, DockedControlsShareTheSiteBelowTheirGrabbersAndTellItOfChanges) {
  TEventLog notices;
  TWndMethod previous = left->WindowProc;
  left->WindowProc = [&](TMessage& m) {
    if (m.Msg == CM_DOCKNOTIFICATION) {
      TMessage* notice = TWMDockNotification(m).Notice;
      if (notice->Msg == WM_SETTEXT) notices.Note(reinterpret_cast<const char*>(notice->LParam));
      if (notice->Msg == CM_VISIBLECHANGED) notices.Note(notice->WParam ? "shown" : "hidden");
    }
    previous(m);
  };
  ASSERT_TRUE(first->ManualDock(left));
  ASSERT_TRUE(second->ManualDock(left));
  EXPECT_EQ(first->HostDockSite(), left);
  EXPECT_EQ(left->DockClientCount(), 2);
  // 100 pixels high: two zones of 50, each with a grabber of 12 across its top.
  RECT client = left->ClientRect();
  EXPECT_EQ(Bounds(first), (std::vector<int>{0, 12, client.right, client.bottom / 2 - 12}));
  EXPECT_EQ(Bounds(second), (std::vector<int>{0, client.bottom / 2 + 12, client.right,
                                              client.bottom - client.bottom / 2 - 12}));
  first->SetCaption("Renamed");
  second->Hide();
  EXPECT_EQ(notices, (TEvents{"Renamed", "hidden"}));
  EXPECT_EQ(Bounds(first), (std::vector<int>{0, 12, client.right, client.bottom - 12}))
      << "a hidden client gives its room back";
  left->WindowProc = previous;

  // The grabber is painted in the button face with a close button on it.
  auto* dockTree = dynamic_cast<TDockTree*>(left->DockManager());
  ASSERT_NE(dockTree, nullptr);
  std::unique_ptr<TBitmap> shot = PaintToBitmap(left);
  RECT grabber = dockTree->GrabberRect(first);
  RECT close = dockTree->CloseButtonRect(first);
  EXPECT_GT(CountPixels(*shot, grabber, clBtnFace), 0);
  EXPECT_EQ(CountPixels(*shot, grabber, clYellow), 0);
  RECT ink = InkBounds(*shot, clBtnFace);
  EXPECT_LT(ink.left, close.right);
  EXPECT_LT(ink.top, close.bottom);
}

TEST_F(Docking, ASiteMayKeepItsControlAndAFloatingControlDocksBack) {
  ASSERT_TRUE(first->ManualDock(right));
  bool allow = false;
  right->OnUnDock = [&](TObject*, TControl* client, TWinControl* target, bool& a) {
    EXPECT_EQ(client, first);
    EXPECT_EQ(target, left);
    a = allow;
  };
  EXPECT_FALSE(first->ManualDock(left));
  EXPECT_EQ(first->HostDockSite(), right);
  allow = true;
  right->OnUnDock = nullptr;

  RECT before = first->BoundsRect();
  POINT origin = right->ClientOrigin();
  OffsetRect(&before, origin.x, origin.y);
  ASSERT_TRUE(first->ManualDock(nullptr));
  EXPECT_TRUE(first->Floating());
  EXPECT_EQ(first->HostDockSite(), nullptr);
  EXPECT_EQ(right->DockClientCount(), 0);
  auto* host = dynamic_cast<TForm*>(first->Parent());
  ASSERT_NE(host, nullptr);
  EXPECT_TRUE(IsWindowVisible(host->Handle()));
  EXPECT_EQ(first->Width(), before.right - before.left);
  HWND hostWindow = host->Handle();

  ASSERT_TRUE(first->ManualDock(left));
  EXPECT_FALSE(first->Floating());
  Pump();
  EXPECT_FALSE(IsWindow(hostWindow)) << "the floating window went with its control";
  EXPECT_THROW(left->ManualDock(left), EInvalidOperation);
  EXPECT_THROW(form->ManualDock(left), EInvalidOperation);
}

TEST_F(Docking, AGrabberDragsItsControlToTheSiteItIsDroppedOnOrFloatsIt) {
  ASSERT_TRUE(first->ManualDock(left));
  auto* dockTree = dynamic_cast<TDockTree*>(left->DockManager());
  RECT grabber = dockTree->GrabberRect(first);
  TEventLog events;
  first->OnStartDock = events.Noter("start");
  first->OnEndDock = [&](TObject*, TObject* target, int, int) {
    events.Note(target == right ? "end in right" : target ? "end elsewhere" : "end floating");
  };
  right->OnDockDrop = [&](TObject*, TDragDockObject* source, int, int) {
    events.Note(source->Control() == first ? "dropped" : "?");
  };
  auto dragTo = [&](TControl* over, int x, int y, bool drop) {
    POINT at{grabber.left + 20, grabber.top + 4};
    MouseMoveTo(left, at.x, at.y);
    SendMessageA(left->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    EXPECT_TRUE(first->Dragging());
    POINT screen = over->ClientToScreen(POINT{x, y});
    SetCursorPos(screen.x, screen.y);
    HWND captured = GetCapture();
    POINT c = screen;
    ScreenToClient(captured, &c);
    SendMessageA(captured, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(c.x, c.y));
    if (drop) SendMessageA(captured, WM_LBUTTONUP, 0, MAKELPARAM(c.x, c.y));
  };

  dragTo(right, 100, 50, true);
  EXPECT_EQ(first->HostDockSite(), right);
  EXPECT_FALSE(first->Dragging());
  EXPECT_EQ(events, (TEvents{"start", "dropped", "end in right"}));

  // Escape while dragging leaves it where it was.
  grabber = RECT{0, 0, right->Width(), 12};
  ASSERT_TRUE(first->ManualDock(left));
  grabber = dockTree->GrabberRect(first);
  dragTo(right, 100, 50, false);
  PostMessageA(form->Handle(), WM_KEYDOWN, VK_ESCAPE, 1);
  Pump();
  EXPECT_FALSE(first->Dragging());
  EXPECT_EQ(first->HostDockSite(), left);

  // Dropped over no dock site, it floats there.
  events.Clear();
  dragTo(form, 300, 200, true);
  EXPECT_TRUE(first->Floating());
  EXPECT_EQ(events, (TEvents{"start", "end floating"}));
  POINT corner = first->ClientToScreen(POINT{0, 0});
  POINT drop = form->ClientToScreen(POINT{300, 200});
  EXPECT_LT(std::abs(corner.y - drop.y), 60);
}

TEST_F(Docking, TheCloseButtonHidesTheControlAndADoubleClickOnTheGrabberFloatsIt) {
  ASSERT_TRUE(first->ManualDock(left));
  ASSERT_TRUE(second->ManualDock(left));
  auto* dockTree = dynamic_cast<TDockTree*>(left->DockManager());
  RECT close = dockTree->CloseButtonRect(second);
  SendMessageA(left->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(close.left + 3, close.top + 3));
  EXPECT_FALSE(second->Visible());
  RECT grabber = dockTree->GrabberRect(first);
  SendMessageA(left->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(grabber.left + 20, grabber.top + 4));
  EXPECT_TRUE(first->Floating());
}
