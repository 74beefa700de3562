#include <gtest/gtest.h>

#include "ControlTestClasses.h"
#include "EventLog.h"

namespace {

std::vector<int> Bounds(TControl* c) { return {c->Left(), c->Top(), c->Width(), c->Height()}; }

// Paints `control` and its windowless children into a bitmap, as printing a window does.
std::unique_ptr<TBitmap> Print(TWinControl* control) {
  auto shot = std::make_unique<TBitmap>(control->Width(), control->Height());
  control->Perform(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(shot->Canvas()->Handle()), PRF_CLIENT);
  return shot;
}

class Controls : public testing::Test {
 protected:
  void SetUp() override { RegisterControlTestClasses(); }
};

}  // namespace

TEST_F(Controls, AlignedChildrenShareTheClientAreaInAlignmentOrder) {
  struct TCase {
    TAlign align;
    int left, top, width, height;  // as set
    std::vector<int> expected;     // after alignment in a 200 x 100 parent
  };
  // Top and bottom strips first, then left and right columns between them, then the rest;
  // two top strips keep the order of their places.
  const TCase cases[] = {
      {alTop, 0, 50, 0, 10, {0, 15, 200, 10}},
      {alTop, 0, 0, 0, 15, {0, 0, 200, 15}},
      {alBottom, 0, 0, 0, 20, {0, 80, 200, 20}},
      {alLeft, 0, 0, 30, 0, {0, 25, 30, 55}},
      {alRight, 0, 0, 40, 0, {160, 25, 40, 55}},
      {alClient, 0, 0, 5, 5, {30, 25, 130, 55}},
      {alNone, 7, 8, 9, 10, {7, 8, 9, 10}},
  };
  TComponent owner(nullptr);
  auto* parent = new TCtlPanel(&owner);
  parent->SetBounds(0, 0, 200, 100);
  std::vector<TControl*> children;
  for (const TCase& c : cases) {
    auto* child = new TCtlMark(&owner);
    child->SetBounds(c.left, c.top, c.width, c.height);
    child->SetAlign(c.align);
    child->SetParent(parent);
    children.push_back(child);
  }
  for (size_t i = 0; i < children.size(); ++i)
    EXPECT_EQ(Bounds(children[i]), cases[i].expected) << "case " << i;

  // A hidden strip gives its room back; a bigger parent grows the client control.
  children[2]->SetVisible(false);
  parent->SetBounds(0, 0, 300, 120);
  EXPECT_EQ(Bounds(children[5]), (std::vector<int>{30, 25, 230, 95}));
  EXPECT_EQ(Bounds(children[4]), (std::vector<int>{260, 25, 40, 95}));
}

TEST_F(Controls, SizeConstraintsHoldTheBounds) {
  TComponent owner(nullptr);
  auto* panel = new TCtlPanel(&owner);
  panel->Constraints()->SetMinWidth(50);
  panel->Constraints()->SetMaxHeight(40);
  panel->SetBounds(1, 2, 10, 100);
  EXPECT_EQ(Bounds(panel), (std::vector<int>{1, 2, 50, 40}));
}

TEST_F(Controls, APropertySetByNameReachesTheDerivedClassSetter) {
  TComponent owner(nullptr);
  auto* mark = new TCtlMark(&owner);
  int before = mark->colorSets;
  SetPropValue(mark, "Color", TValue::String("clLime"));
  EXPECT_EQ(mark->colorSets, before + 1);
  EXPECT_EQ(mark->Color(), clLime);
  EXPECT_FALSE(mark->ParentColor());
  // Properties of the controls are found by name too, with their kinds checked.
  SetPropValue(mark, "Align", TValue::Ident("alLeft"));
  EXPECT_EQ(mark->Align(), alLeft);
  EXPECT_THROW(SetPropValue(mark, "Align", TValue::Ident("alMiddle")), EPropertyConvertError);
}

TEST_F(Controls, ColourAndFontFollowTheParentUntilSetOnTheChild) {
  TComponent owner(nullptr);
  auto* parent = new TCtlPanel(&owner);
  auto* follows = new TCtlMark(&owner);
  auto* own = new TCtlMark(&owner);
  follows->SetParent(parent);
  own->SetParent(parent);
  own->SetColor(clYellow);
  own->Font()->SetName("Courier New");

  parent->SetColor(clNavy);
  parent->Font()->SetSize(14);
  EXPECT_EQ(follows->Color(), clNavy);
  EXPECT_TRUE(follows->ParentColor());
  EXPECT_EQ(follows->Font()->Size(), 14);
  EXPECT_TRUE(follows->ParentFont());
  EXPECT_EQ(own->Color(), clYellow);
  EXPECT_EQ(own->Font()->Size(), 8);
  // Asking for the parent's again takes it at once.
  own->SetParentColor(true);
  EXPECT_EQ(own->Color(), clNavy);
}

TEST_F(Controls, ReadingOrderFollowsTheParentUntilSetOnTheChild) {
  struct TCase {
    TBiDiMode mode;
    bool alignment, reading;
  };
  const TCase cases[] = {
      {bdLeftToRight, false, false},
      {bdRightToLeft, true, true},
      {bdRightToLeftNoAlign, false, true},
      {bdRightToLeftReadingOnly, false, true},
  };
  TComponent owner(nullptr);
  auto* parent = new TCtlPanel(&owner);
  auto* follows = new TCtlMark(&owner);
  auto* own = new TCtlMark(&owner);
  follows->SetParent(parent);
  own->SetParent(parent);
  own->SetBiDiMode(bdLeftToRight);
  EXPECT_FALSE(own->ParentBiDiMode()) << "set to the value it had";
  for (const TCase& c : cases) {
    parent->SetBiDiMode(c.mode);
    EXPECT_EQ(follows->BiDiMode(), c.mode);
    EXPECT_TRUE(follows->ParentBiDiMode());
    EXPECT_EQ(follows->UseRightToLeftAlignment(), c.alignment) << c.mode;
    EXPECT_EQ(follows->UseRightToLeftReading(), c.reading) << c.mode;
    EXPECT_EQ(own->BiDiMode(), bdLeftToRight);
  }
  // A control put on a right-to-left parent, and one that asks for the parent's again.
  auto* late = new TCtlMark(&owner);
  late->SetParent(parent);
  EXPECT_EQ(late->BiDiMode(), bdRightToLeftReadingOnly);
  own->SetParentBiDiMode(true);
  EXPECT_EQ(own->BiDiMode(), bdRightToLeftReadingOnly);
}

TEST_F(Controls, AWindowReadsRightToLeftWithItsControl) {
  TComponent owner(nullptr);
  auto* form = new TForm(&owner);
  auto* panel = new TCtlPanel(&owner);
  panel->SetParent(form);
  HWND before = panel->Handle();
  EXPECT_EQ(GetWindowLongPtrA(before, GWL_EXSTYLE) & WS_EX_RTLREADING, 0);
  form->SetBiDiMode(bdRightToLeft);
  EXPECT_NE(GetWindowLongPtrA(panel->Handle(), GWL_EXSTYLE) & WS_EX_RTLREADING, 0);
  form->SetBiDiMode(bdLeftToRight);
  EXPECT_EQ(GetWindowLongPtrA(panel->Handle(), GWL_EXSTYLE) & WS_EX_RTLREADING, 0);
}

namespace {

std::vector<HWND> ChildWindows(HWND parent) {
  std::vector<HWND> children;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) children.push_back(c);
  return children;
}

}  // namespace

// A hidden panel gets no window with its form's; asked for a child's handle, it makes its own
// window and the child's once; shown, it takes its place among its siblings.
TEST_F(Controls, AHiddenChildGetsItsWindowWhenShownOrAskedFor) {
  std::unique_ptr<TForm> form(TForm::CreateNew<TForm>(nullptr));
  auto* first = new TCtlPanel(form.get());
  first->SetParent(form.get());
  auto* hidden = new TCtlPanel(form.get());
  hidden->SetVisible(false);
  hidden->SetParent(form.get());
  auto* inner = new TCtlPanel(form.get());
  inner->SetParent(hidden);
  auto* last = new TCtlPanel(form.get());
  last->SetParent(form.get());
  form->HandleNeeded();
  EXPECT_TRUE(first->HandleAllocated());
  EXPECT_TRUE(last->HandleAllocated());
  EXPECT_FALSE(hidden->HandleAllocated());
  EXPECT_FALSE(inner->HandleAllocated());

  HWND innerWindow = inner->Handle();
  ASSERT_TRUE(hidden->HandleAllocated());
  EXPECT_EQ(GetParent(innerWindow), hidden->Handle());
  EXPECT_EQ(ChildWindows(hidden->Handle()), std::vector<HWND>{innerWindow});
  EXPECT_EQ(ChildWindows(form->Handle()).size(), 3u);

  // Shown later, the control sits where a window made with the form's would: the list runs
  // from the back to the front, so it lies above the sibling before it and below the one
  // after it.
  std::unique_ptr<TForm> other(TForm::CreateNew<TForm>(nullptr));
  auto* a = new TCtlPanel(other.get());
  a->SetParent(other.get());
  auto* b = new TCtlPanel(other.get());
  b->SetVisible(false);
  b->SetParent(other.get());
  auto* c = new TCtlPanel(other.get());
  c->SetParent(other.get());
  other->HandleNeeded();
  b->SetVisible(true);
  ASSERT_TRUE(b->HandleAllocated());
  EXPECT_NE(GetWindowLongPtrA(b->Handle(), GWL_STYLE) & WS_VISIBLE, 0);
  EXPECT_EQ(ChildWindows(other->Handle()), (std::vector<HWND>{c->Handle(), b->Handle(), a->Handle()}));
}

// A hidden control brought to the front and then shown covers its siblings, wherever it was
// in the list: the window it gets only then is the topmost child and the one under the mouse.
TEST_F(Controls, AHiddenControlBroughtToTheFrontIsOnTopOnceShown) {
  for (size_t hiddenAt : {0u, 1u, 3u}) {
    SCOPED_TRACE(hiddenAt);
    std::unique_ptr<TForm> form(TForm::CreateNew<TForm>(nullptr));
    form->SetBounds(60, 60, 200, 150);
    std::vector<TCtlPanel*> panels;
    for (size_t i = 0; i < 4; ++i) {
      auto* panel = new TCtlPanel(form.get());
      panel->SetVisible(i != hiddenAt);
      panel->SetBounds(0, 0, 200, 150);
      panel->SetParent(form.get());
      panels.push_back(panel);
    }
    form->Show();
    TCtlPanel* cover = panels[hiddenAt];
    ASSERT_FALSE(cover->HandleAllocated());
    cover->BringToFront();
    cover->SetVisible(true);
    ASSERT_TRUE(cover->HandleAllocated());
    EXPECT_EQ(GetWindow(form->Handle(), GW_CHILD), cover->Handle());
    EXPECT_EQ(WindowFromPoint(cover->ClientToScreen(POINT{100, 75})), cover->Handle());
  }
}

TEST_F(Controls, NotificationsAreSentOnlyWhenSomethingChanged) {
  TComponent owner(nullptr);
  auto* mark = new TCtlMark(&owner);
  std::vector<UINT> seen;
  TWndMethod previous = mark->WindowProc;
  mark->WindowProc = [&](TMessage& m) {
    if (m.Msg >= CM_BASE && m.Msg < CN_BASE) seen.push_back(m.Msg);
    previous(m);
  };
  mark->SetCaption("One");
  mark->SetCaption("One");
  mark->SetEnabled(false);
  mark->SetEnabled(false);
  mark->SetVisible(false);
  mark->SetColor(clRed);
  mark->SetColor(clRed);
  mark->Font()->SetStyle({fsItalic});
  EXPECT_EQ(seen, (std::vector<UINT>{CM_TEXTCHANGED, CM_ENABLEDCHANGED, CM_VISIBLECHANGED,
                                     CM_COLORCHANGED, CM_FONTCHANGED}));
  mark->WindowProc = previous;
}

TEST_F(Controls, WindowlessChildrenArePaintedInZOrderAndClippedToTheirBounds) {
  TComponent owner(nullptr);
  auto* panel = new TCtlPanel(&owner);
  panel->SetBounds(0, 0, 60, 40);
  panel->SetColor(clWhite);
  auto* red = new TCtlMark(&owner);
  red->SetBounds(10, 10, 30, 20);
  red->SetColor(clRed);
  red->SetParent(panel);
  auto* blue = new TCtlMark(&owner);
  blue->SetBounds(30, 10, 20, 20);
  blue->SetColor(clBlue);
  blue->SetParent(panel);

  auto shot = Print(panel);
  EXPECT_EQ(shot->Canvas()->Pixels(20, 20), clRed);
  EXPECT_EQ(shot->Canvas()->Pixels(35, 20), clBlue);  // the later one lies on top
  EXPECT_EQ(shot->Canvas()->Pixels(45, 35), clWhite);  // nothing outside their bounds

  red->BringToFront();
  shot = Print(panel);
  EXPECT_EQ(shot->Canvas()->Pixels(35, 20), clRed);
  red->SetVisible(false);
  shot = Print(panel);
  EXPECT_EQ(shot->Canvas()->Pixels(20, 20), clWhite);
}

// A child that paints its parent behind itself sends the parent WM_PAINT with its own device
// context; the parent's window must still get the paint it was waiting for.
TEST_F(Controls, PaintingAParentIntoAGivenContextKeepsItsOwnPaintWaiting) {
  std::unique_ptr<TForm> form(TForm::CreateNew<TForm>(nullptr));
  form->SetBounds(40, 40, 120, 80);
  auto* mark = new TCtlMark(form.get());
  mark->SetBounds(10, 10, 30, 20);
  mark->SetColor(clRed);
  mark->SetParent(form.get());
  form->Show();
  form->Update();
  RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE);
  TBitmap elsewhere(120, 80);
  form->Perform(WM_PAINT, reinterpret_cast<WPARAM>(elsewhere.Canvas()->Handle()), 0);
  EXPECT_EQ(elsewhere.Canvas()->Pixels(20, 20), clRed);
  RECT waiting{};
  EXPECT_TRUE(GetUpdateRect(form->Handle(), &waiting, FALSE)) << "the window's own paint is still due";
}

TEST_F(Controls, PaintingThatRaisesLeavesTheContextAsItFoundItAndTheCanvasFree) {
  // Painted by a parent's printing; the failure reaches the caller, the context does not
  // keep the child's origin or clip, and the canvases let go of it.
  struct TFailingMark : TCtlMark {
    using TCtlMark::TCtlMark;
    void Paint() override {
      Canvas()->Brush()->SetColor(clRed);
      Canvas()->FillRect(RECT{0, 0, 5, 5});
      throw Exception("paint failed");
    }
  };
  TComponent owner(nullptr);
  auto* panel = new TCtlPanel(&owner);
  auto* mark = new TFailingMark(&owner);
  mark->SetBounds(10, 12, 20, 20);
  mark->SetParent(panel);
  TBitmap shot(panel->Width(), panel->Height());
  HDC dc = shot.Canvas()->Handle();
  HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH);
  EXPECT_THROW(panel->Perform(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT), Exception);
  POINT origin{-1, -1};
  GetViewportOrgEx(dc, &origin);
  EXPECT_EQ(origin.x, 0);
  EXPECT_EQ(origin.y, 0);
  RECT clip{};
  EXPECT_EQ(GetClipBox(dc, &clip), SIMPLEREGION);
  EXPECT_EQ(clip.right, panel->Width());
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
  EXPECT_FALSE(mark->Canvas()->HandleAllocated());
  EXPECT_FALSE(panel->Canvas()->HandleAllocated());
}

TEST_F(Controls, AClassHandlerCanBeReplacedByAnotherUnitAndRestored) {
  TComponent owner(nullptr);
  auto* panel = new TCtlPanel(&owner);
  panel->SetBounds(0, 0, 20, 20);
  panel->SetColor(clGreen);
  int wrapped = 0;
  int levelInside = 0;
  TMessageTable& table = TWinControl::Messages();
  TMessageHandler old = table.Find(WM_PRINTCLIENT);
  ASSERT_TRUE(old);
  table.Replace(WM_PRINTCLIENT, [&, old](TControl* c, TMessage& m) {
    HDC dc = TWMPrint(m).DC;
    int saved = SaveDC(dc);
    levelInside = saved;
    ++wrapped;
    old(c, m);
    RestoreDC(dc, saved);
  });
  auto shot = Print(panel);
  EXPECT_EQ(wrapped, 1);
  EXPECT_EQ(shot->Canvas()->Pixels(10, 10), clGreen);  // the class's own handling still ran

  TMessageHandler mine = table.Replace(WM_PRINTCLIENT, old);
  EXPECT_TRUE(mine);
  shot = Print(panel);
  EXPECT_EQ(wrapped, 1);
  EXPECT_EQ(shot->Canvas()->Pixels(10, 10), clGreen);
  EXPECT_GT(levelInside, 0);
}

namespace {

// Three levels of handlers of one message, each passing it on with Inherited; the middle class
// of the first chain has no table of its own, the one of the second has.
constexpr UINT kChainMessage = WM_USER + 21;
TEventLog chainCalls;

class TChainBase : public TGraphicControl {
  MESSAGE_TABLE(TGraphicControl)

 public:
  using TGraphicControl::TGraphicControl;
  void Handle(TWMMouse& m) {
    chainCalls.Note("base at " + std::to_string(m.Pos.x) + "," + std::to_string(m.Pos.y));
    m.Result += 1;
    Inherited(m);
  }
};
TMessageTable& TChainBase::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(kChainMessage, Handler(&TChainBase::Handle));
    return t;
  }();
  return *table;
}

class TChainPlain : public TChainBase {
 public:
  using TChainBase::TChainBase;
};

class TChainOwn : public TChainBase {
  MESSAGE_TABLE(TChainBase)

 public:
  using TChainBase::TChainBase;
  void Handle(TMessage& m) {
    chainCalls.Note("middle");
    m.Result += 10;
    Inherited(m);
  }
};
TMessageTable& TChainOwn::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(kChainMessage, Handler(&TChainOwn::Handle));
    return t;
  }();
  return *table;
}

template <class Base>
class TChainTop : public Base {
  MESSAGE_TABLE(Base)

 public:
  using Base::Base;
  void Handle(TMessage& m) {
    chainCalls.Note("top");
    m.Result += 100;
    Inherited(m);
  }
};
template <class Base>
TMessageTable& TChainTop<Base>::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TChainTop::TInheritedClass::Messages());
    t->Add(kChainMessage, Handler(&TChainTop::Handle));
    return t;
  }();
  return *table;
}

}  // namespace

TEST_F(Controls, InheritedPassesAMessageThroughEveryTableAboveTheHandlersClass) {
  struct TCase {
    std::function<TControl*(TComponent*)> make;
    TEvents calls;
    LRESULT result;
  };
  const TCase cases[] = {
      {[](TComponent* o) { return new TChainTop<TChainPlain>(o); }, {"top", "base at 3,4"}, 101},
      {[](TComponent* o) { return new TChainTop<TChainOwn>(o); }, {"top", "middle", "base at 3,4"}, 111},
      {[](TComponent* o) { return new TChainOwn(o); }, {"middle", "base at 3,4"}, 11},
  };
  for (const TCase& c : cases) {
    TComponent owner(nullptr);
    TControl* control = c.make(&owner);
    chainCalls.Clear();
    EXPECT_EQ(control->Perform(kChainMessage, 0, PointToLParam(POINT{3, 4})), c.result);
    EXPECT_EQ(chainCalls, c.calls);
  }
}

TEST_F(Controls, WithoutAnyHandlerAMessageGoesToTheDefaultHandler) {
  TComponent owner(nullptr);
  auto* mark = new TCtlMark(&owner);
  mark->SetCaption("Label");
  EXPECT_EQ(mark->Perform(WM_GETTEXTLENGTH), 5);
  EXPECT_EQ(mark->Perform(CM_HITTEST, 0, PointToLParam(POINT{1, 1})), HTCLIENT);
  EXPECT_EQ(mark->Perform(WM_USER + 77), 0);
}

TEST_F(Controls, AcceleratorsAreFoundInCaptions) {
  EXPECT_TRUE(IsAccel('o', "&OK"));
  EXPECT_TRUE(IsAccel('S', "Save && &Close") == false);
  EXPECT_TRUE(IsAccel('c', "Save && &Close"));
  EXPECT_FALSE(IsAccel('a', "Save && Close"));
  EXPECT_FALSE(IsAccel('x', "Plain"));
}
