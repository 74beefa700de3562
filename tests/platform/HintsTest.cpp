#include <gtest/gtest.h>

#include "ControlTestClasses.h"
#include "ControlTestSupport.h"
#include "EventLog.h"
#include "TestSupport.h"
#include "platform/Hints.h"

namespace {

// A pane that shows the application's hints, as a status pane with AutoHint does.
class THintPane : public TCtlMark {
 public:
  using TCtlMark::TCtlMark;
  bool ExecuteAction(TBasicAction* action) override {
    if (auto* hint = dynamic_cast<THintAction*>(action)) {
      SetCaption(hint->Hint());
      return true;
    }
    return TCtlMark::ExecuteAction(action);
  }
};

bool HintUp() {
  THintWindow* w = Application->HintWindowControl();
  return w && w->HandleAllocated() && IsWindowVisible(w->Handle());
}

// A shown form: a panel with a hint holding a mark without one, a box that shows no hints,
// and a pane that takes the application's hint.
class Hints : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterControlTestClasses();
    form = TForm::CreateNew<TForm>(nullptr);
    form->SetBounds(40, 40, 320, 200);
    panel = new TCtlPanel(form);
    panel->SetBounds(0, 0, 200, 80);
    panel->SetParent(form);
    panel->SetHint("Choose the demo");
    panel->SetShowHint(true);
    mark = new TCtlMark(form);
    mark->SetBounds(10, 10, 30, 20);
    mark->SetParent(panel);
    box = new TCtlBox(form);
    box->SetBounds(0, 100, 120, 22);
    box->SetParent(form);
    box->SetHint("Not shown as a hint");
    pane = new THintPane(form);
    pane->SetBounds(0, 150, 200, 20);
    pane->SetParent(form);
    form->Show();
    Pump(5);
  }
  static void TearDownTestSuite() {
    Application->CancelHint();
    delete form;
    form = nullptr;
  }
  void SetUp() override {
    Application->SetHintPause(150);
    Application->SetHintHidePause(10000);
    Application->OnHint = nullptr;
    SetForegroundWindow(form->Handle());
    MouseMoveTo(form, 300, 190);
    Application->CancelHint();
    Pump();
  }
  void TearDown() override {
    Application->OnHint = nullptr;
    Application->SetHintPause(500);
    Application->SetHintHidePause(2500);
  }
  static TForm* form;
  static TCtlPanel* panel;
  static TCtlMark* mark;
  static TCtlBox* box;
  static THintPane* pane;
};
TForm* Hints::form = nullptr;
TCtlPanel* Hints::panel = nullptr;
TCtlMark* Hints::mark = nullptr;
TCtlBox* Hints::box = nullptr;
THintPane* Hints::pane = nullptr;

}  // namespace

TEST_F(Hints, AHintShowsAfterTheMouseRestsAndGoesWithIt) {
  DWORD start = GetTickCount();
  MouseMoveTo(mark, 5, 5);
  EXPECT_FALSE(HintUp());
  ASSERT_TRUE(LoopUntil(HintUp, 3000));
  EXPECT_GE(GetTickCount() - start, 140u);
  THintWindow* w = Application->HintWindowControl();
  EXPECT_EQ(w->Caption(), "Choose the demo") << "the mark shows its parent's hint";
  POINT cursor{};
  GetCursorPos(&cursor);
  RECT r{};
  GetWindowRect(w->Handle(), &r);
  EXPECT_GT(r.top, cursor.y);
  EXPECT_EQ(GetForegroundWindow(), form->Handle()) << "the hint takes no activation";

  // A control that shows no hints takes it down; a click does too.
  MouseMoveTo(box, 5, 5);
  EXPECT_FALSE(HintUp());
  MouseMoveTo(panel, 100, 50);
  ASSERT_TRUE(LoopUntil(HintUp, 3000));
  RealClick(panel, 100, 50);
  EXPECT_FALSE(HintUp());
}

TEST_F(Hints, CancelHintLetsTheSameControlShowItsNewHint) {
  MouseMoveTo(panel, 50, 50);
  ASSERT_TRUE(LoopUntil(HintUp, 3000));
  // As a strip of tabs does when the mouse reaches another tab.
  Application->CancelHint();
  EXPECT_FALSE(HintUp());
  panel->SetHint("Another tab");
  MouseMoveTo(panel, 60, 50);
  ASSERT_TRUE(LoopUntil(HintUp, 3000));
  EXPECT_EQ(Application->HintWindowControl()->Caption(), "Another tab");
  panel->SetHint("Choose the demo");
}

TEST_F(Hints, TheApplicationsHintGoesToOnHintOrElseToTheFormsControls) {
  MouseMoveTo(box, 5, 5);
  EXPECT_EQ(Application->Hint(), "Not shown as a hint");
  EXPECT_EQ(pane->Caption(), "Not shown as a hint");
  MouseMoveTo(mark, 5, 5);
  EXPECT_EQ(pane->Caption(), "Choose the demo");

  TEventLog heard;
  Application->OnHint = [&](TObject* sender) {
    EXPECT_EQ(sender, Application);
    heard.Note(Application->Hint());
  };
  MouseMoveTo(mark, 6, 6);
  MouseMoveTo(box, 5, 5);
  MouseMoveTo(form, 300, 190);
  EXPECT_EQ(heard, (TEvents{"Not shown as a hint", ""}));
  EXPECT_EQ(pane->Caption(), "Choose the demo") << "OnHint takes the hints instead";
}

TEST_F(Hints, ShowHintFollowsTheParentUntilSetOnTheChild) {
  TComponent owner(nullptr);
  auto* outer = new TCtlPanel(&owner);
  auto* inner = new TCtlPanel(&owner);
  auto* leaf = new TCtlMark(&owner);
  auto* own = new TCtlMark(&owner);
  inner->SetParent(outer);
  leaf->SetParent(inner);
  own->SetParent(inner);
  own->SetShowHint(false);
  outer->SetShowHint(true);
  EXPECT_TRUE(inner->ShowHint());
  EXPECT_TRUE(leaf->ShowHint());
  EXPECT_TRUE(leaf->ParentShowHint());
  EXPECT_FALSE(own->ShowHint());
  outer->SetShowHint(false);
  EXPECT_FALSE(leaf->ShowHint());
}
