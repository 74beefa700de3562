// The framed panel, the group box and the status bar.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "ControlsTestSupport.h"
#include "controls/FcPanel.h"
#include "controls/FcStatus.h"
#include "platform/Forms.h"
#include "platform/Layout.h"

namespace {

// The height of a text in the control's font.
int TextHeightIn(TControl* control, const char* text) {
  TBitmap probe(1, 1);
  probe.Canvas()->Font()->Assign(control->Font());
  return probe.Canvas()->TextHeight(text);
}

// A form that notes the system commands it is sent instead of carrying them out: the size
// grip's request must not start the system's modal sizing loop in a test.
struct TCommandRecorder {
  explicit TCommandRecorder(TForm* form) : form(form), previous(form->WindowProc) {
    form->WindowProc = [this](TMessage& m) {
      if (m.Msg == WM_SYSCOMMAND) {
        commands.push_back(m.WParam);
        return;
      }
      previous(m);
    };
  }
  ~TCommandRecorder() { form->WindowProc = previous; }
  TForm* form;
  TWndMethod previous;
  std::vector<WPARAM> commands;
};

std::unique_ptr<TForm> ShownForm(TFormBorderStyle border = bsSizeable) {
  RegisterControlLibrary();
  std::unique_ptr<TForm> form(TForm::CreateNew<TForm>(nullptr));
  form->SetBorderStyle(border);
  form->SetBounds(60, 60, 320, 200);
  form->Show();
  Pump();
  return form;
}

}  // namespace

// ---- Panel ---------------------------------------------------------------------------------------

TEST(FcPanel, BordersTakeTheirWidthOnTheirSidesFromTheAlignedChildren) {
  struct TCase {
    TFrameStyleEx outer, inner;
    TSides sides;
    int bevelWidth, borderWidth;
    RECT child;  // in a 200 × 100 panel
  } cases[] = {
      {fsNone, fsNone, sdAllSides, 1, 0, {0, 0, 200, 100}},
      {fsFlat, fsNone, sdAllSides, 1, 0, {1, 1, 199, 99}},
      {fsStatus, fsNone, sdAllSides, 3, 0, {3, 3, 197, 97}},
      {fsPopup, fsFlat, sdAllSides, 2, 0, {3, 3, 197, 97}},
      {fsFlatBold, fsNone, sdAllSides, 1, 0, {2, 2, 198, 98}},
      {fsFlatRounded, fsNone, sdAllSides, 1, 0, {2, 2, 198, 98}},
      {fsRaised, fsLowered, sdAllSides, 1, 0, {4, 4, 196, 96}},
      {fsGroove, fsNone, TSides{sdLeft, sdTop}, 1, 0, {2, 2, 200, 100}},
      {fsBump, fsButtonUp, TSides{sdRight, sdBottom}, 1, 0, {0, 0, 196, 96}},
      {fsFlat, fsNone, sdAllSides, 1, 2, {3, 3, 197, 97}},
  };
  TComponent owner(nullptr);
  auto* panel = new TFcPanel(&owner);
  panel->SetBounds(0, 0, 200, 100);
  auto* child = new TFcPanel(&owner);
  child->SetParent(panel);
  child->SetAlign(alClient);
  for (const TCase& c : cases) {
    panel->SetBevelWidth(c.bevelWidth);
    panel->SetBorderWidth(c.borderWidth);
    panel->SetBorderSides(c.sides);
    panel->SetBorderOuter(c.outer);
    panel->SetBorderInner(c.inner);
    panel->Realign();
    RECT r = child->BoundsRect();
    EXPECT_TRUE(EqualRect(&r, &c.child)) << c.outer << "/" << c.inner << ": " << r.left << "," << r.top << ","
                                          << r.right << "," << r.bottom;
  }
}

TEST(FcPanel, EnablingItAgainGivesEveryChildBackItsOwnState) {
  TComponent owner(nullptr);
  auto* panel = new TFcPanel(&owner);
  std::vector<TControl*> children;
  for (int i = 0; i < 3; ++i) {
    children.push_back(new TFcPanel(&owner));
    children.back()->SetParent(panel);
  }
  children[1]->SetEnabled(false);
  panel->SetEnabled(false);
  for (TControl* c : children) EXPECT_FALSE(c->Enabled());
  auto* late = new TFcStatusPane(&owner);
  late->SetParent(panel);
  late->SetEnabled(false);

  panel->SetEnabled(true);
  EXPECT_TRUE(children[0]->Enabled());
  EXPECT_FALSE(children[1]->Enabled()) << "it was disabled before the panel";
  EXPECT_TRUE(children[2]->Enabled());
  EXPECT_TRUE(late->Enabled()) << "a child that came while the panel was disabled";
}

TEST(FcPanel, AGridOfDotsFillsTheInnerRectangle) {
  auto form = ShownForm();
  auto* panel = new TFcPanel(form.get());
  panel->SetParent(form.get());
  panel->SetBounds(0, 0, 40, 30);
  panel->SetBorderOuter(fsNone);
  panel->SetColor(clWhite);
  panel->SetGridLineColor(clRed);
  panel->SetGridCellWidth(10);
  panel->SetGridCellHeight(10);
  panel->SetGridVisible(true);
  auto shot = PaintToBitmap(panel);
  EXPECT_EQ(CountPixels(*shot, RECT{0, 0, 40, 30}, clRed), 4 * 3);
  EXPECT_EQ(PixelAt(*shot, 9, 9), RGB(255, 0, 0));
  EXPECT_EQ(PixelAt(*shot, 39, 29), RGB(255, 0, 0));
  panel->SetGridKind(gkSolidLines);
  shot = PaintToBitmap(panel);
  EXPECT_EQ(CountPixels(*shot, RECT{0, 0, 40, 30}, clRed), 4 * 30 + 3 * 40 - 4 * 3);
}

TEST(FcPanel, AStoredPanelKeepsItsSettingsAndDropsTheOldFrameSides) {
  RegisterControlLibrary();
  std::unique_ptr<TForm> form(TForm::CreateNew<TForm>(nullptr));
  ReadLayout(form.get(), R"({ "class": "TForm", "children": [ { "class": "TFcPanel", "name": "Box",
      "properties": { "BorderOuter": "fsFlatRounded", "BorderInner": "fsLowered", "BorderWidth": 3,
                      "BorderSides": ["sdLeft", "sdBottom"], "FrameSides": ["sdTop"],
                      "AlignmentVertical": "avBottom", "Caption": "Run" } } ] })");
  auto* box = dynamic_cast<TFcPanel*>(form->FindComponent("Box"));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->BorderOuter(), fsFlatRounded);
  EXPECT_EQ(box->BorderSides(), (TSides{sdLeft, sdBottom}));
  std::string written = WriteLayout(form.get());
  EXPECT_EQ(written.find("FrameSides"), std::string::npos);
  std::unique_ptr<TForm> again(TForm::CreateNew<TForm>(nullptr));
  ReadLayout(again.get(), written);
  auto* copy = dynamic_cast<TFcPanel*>(again->FindComponent("Box"));
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->BorderInner(), fsLowered);
  EXPECT_EQ(copy->BorderWidth(), 3);
  EXPECT_EQ(copy->AlignmentVertical(), avBottom);
  EXPECT_EQ(copy->Caption(), "Run");
}

// ---- Group box -----------------------------------------------------------------------------------

TEST(FcGroupBox, TheClientAreaStartsBelowTheCaptionLine) {
  TComponent owner(nullptr);
  auto* group = new TFcGroupBox(&owner);
  group->SetBounds(0, 0, 200, 100);
  auto* child = new TFcPanel(&owner);
  child->SetParent(group);
  child->SetAlign(alClient);
  const int h = TextHeightIn(group, "Yy");
  const int a = h / 2 - 1;
  struct TCase {
    TFcGroupBoxStyle style;
    int borderWidth;
    TFrameStyleEx outer;
    RECT child;
  } cases[] = {
      {gsFlat, 0, fsNone, {1, h + 1, 199, 99}},
      {gsTopLine, 0, fsNone, {1, h + 1, 199, 99}},
      {gsStandard, 0, fsNone, {2, h + 2, 198, 98}},
      {gsCustom, 0, fsRaised, {4, h + 4, 196, 96}},
      {gsFlat, a + 1, fsNone, {a + 2, a + 1 + a + 1, 200 - a - 2, 100 - a - 2}},
      {gsStandard, a, fsNone, {a + 2, a + h - a + 2, 200 - a - 2, 100 - a - 2}},
  };
  for (const TCase& c : cases) {
    group->SetGroupStyle(c.style);
    group->SetBorderWidth(c.borderWidth);
    group->SetBorderOuter(c.outer);
    group->Realign();
    RECT r = child->BoundsRect();
    EXPECT_TRUE(EqualRect(&r, &c.child)) << c.style << " border " << c.borderWidth << ": " << r.left << ","
                                          << r.top << "," << r.right << "," << r.bottom;
  }
  EXPECT_FALSE(group->ThemeAware()) << "gsCustom and gsTopLine draw classic frames";
}

TEST(FcGroupBox, TheFlatFrameHasRoundedCornersAndAGapForTheCaption) {
  TStylesScope classic(TVisualStyles::vsOff);
  auto form = ShownForm();
  auto* group = new TFcGroupBox(form.get());
  group->SetParent(form.get());
  group->SetBounds(10, 10, 160, 80);
  group->SetColor(clWhite);
  group->SetCaption("Detail");
  Pump();
  auto shot = PaintToBitmap(form.get());
  const int half = TextHeightIn(group, "Pp") / 2;
  const COLORREF flat = AsPainted(*shot, ShiftLightness(clBtnShadow, 30));
  const COLORREF white = RGB(255, 255, 255);
  auto at = [&](int x, int y) { return PixelAt(*shot, 10 + x, 10 + y); };
  // Corners: the outermost pixel is left out and one diagonal pixel drawn.
  EXPECT_EQ(at(0, half), white);
  EXPECT_EQ(at(1, half + 1), flat);
  EXPECT_EQ(at(158, half + 1), flat);
  EXPECT_EQ(at(158, 78), flat);
  EXPECT_EQ(at(1, 78), flat);
  EXPECT_EQ(at(159, 79), white);
  EXPECT_EQ(at(0, 40), flat);
  EXPECT_EQ(at(159, 40), flat);
  EXPECT_EQ(at(80, 79), flat);
  // The top line stops under the caption, which starts 8 pixels in.
  EXPECT_EQ(at(2, half), flat);
  EXPECT_EQ(at(7, half), flat);
  TBitmap probe(1, 1);
  probe.Canvas()->Font()->Assign(group->Font());
  const int captionRight = 8 + probe.Canvas()->TextWidth("Detail");
  for (int x = 8; x < captionRight; ++x) EXPECT_NE(at(x, half), flat) << x;
  EXPECT_EQ(at(captionRight + 1, half), flat);
  EXPECT_GT(CountPixels(*shot, RECT{18, 10, 10 + captionRight, 10 + 2 * half}, clWindowText), 0) << "caption ink";
}

TEST(FcGroupBox, TheAcceleratorMovesTheFocusIntoTheGroup) {
  auto form = ShownForm();
  auto* group = new TFcGroupBox(form.get());
  group->SetParent(form.get());
  group->SetCaption("&Options");
  auto* inner = new TFcPanel(form.get());
  inner->SetParent(group);
  inner->SetTabStop(true);
  auto* outside = new TFcPanel(form.get());
  outside->SetParent(form.get());
  outside->SetTop(120);
  outside->SetTabStop(true);
  outside->SetFocus();
  Pump();
  EXPECT_EQ(group->Perform(CM_DIALOGCHAR, 'x'), 0);
  EXPECT_NE(group->Perform(CM_DIALOGCHAR, 'o'), 0);
  Pump();
  EXPECT_TRUE(inner->Focused());
}

// ---- Status bar ----------------------------------------------------------------------------------

TEST(FcStatusBar, TheSizeGripAsksToSizeOnlyASizeableFormThatIsNotMaximised) {
  struct TCase {
    TFormBorderStyle border;
    TWindowState state;
    bool asks;
  } cases[] = {{bsSizeable, wsNormal, true},
               {bsSizeToolWin, wsNormal, true},
               {bsDialog, wsNormal, false},
               {bsSingle, wsNormal, false},
               {bsSizeable, wsMaximized, false}};
  for (const TCase& c : cases) {
    auto form = ShownForm(c.border);
    auto* bar = new TFcStatusBar(form.get());
    bar->SetParent(form.get());
    // A pane that reaches the bar's right edge: the grip works through it.
    auto* pane = new TFcStatusPane(form.get());
    pane->SetParent(bar);
    pane->SetAlign(alClient);
    form->SetWindowState(c.state);
    Pump();
    TCommandRecorder recorder(form.get());
    const int w = bar->Width(), h = bar->Height();
    MouseClick(bar, w - 20, h / 2);
    EXPECT_TRUE(recorder.commands.empty()) << "left of the grip";
    MouseClick(bar, w - 5, h / 2);
    std::vector<WPARAM> expected;
    if (c.asks) expected.push_back(SC_SIZE + 8);
    EXPECT_EQ(recorder.commands, expected) << c.border << "/" << c.state;
    // The pane leaves the grip's strip to the bar.
    TControl* hit = bar->ControlAtPos(POINT{w - 5, h / 2}, false);
    EXPECT_EQ(hit == pane, !c.asks);
    EXPECT_EQ(bar->ControlAtPos(POINT{w - 20, h / 2}, false), pane);
  }
}

TEST(FcStatusBar, TheClassicGripIsSixDotsInTheCorner) {
  TStylesScope classic(TVisualStyles::vsOff);
  auto form = ShownForm();
  auto* bar = new TFcStatusBar(form.get());
  bar->SetParent(form.get());
  Pump();
  auto shot = PaintToBitmap(form.get());
  const int right = bar->Width() + 1, bottom = bar->Height();  // the client rect's, less one
  auto at = [&](int x, int y) { return PixelAt(*shot, bar->Left() + x, bar->Top() + y); };
  const COLORREF light = AsPainted(*shot, clBtnHighlight), dark = AsPainted(*shot, clBtnShadow);
  const POINT dots[] = {{5, 12}, {5, 8}, {5, 4}, {9, 8}, {9, 4}, {13, 4}};
  for (const POINT& d : dots) {
    EXPECT_EQ(at(right - d.x - 1, bottom - d.y - 1), dark) << d.x << "," << d.y;
    EXPECT_EQ(at(right - d.x + 1, bottom - d.y + 1), light) << d.x << "," << d.y;
  }
  EXPECT_EQ(at(right - 17, bottom - 4), AsPainted(*shot, clBtnFace));
}

TEST(FcStatusBar, SimpleStatusHidesEveryPaneAndShowsThemAllAgain) {
  TComponent owner(nullptr);
  auto* bar = new TFcStatusBar(&owner);
  std::vector<TFcStatusPane*> panes;
  for (int i = 0; i < 3; ++i) {
    panes.push_back(new TFcStatusPane(&owner));
    panes.back()->SetParent(bar);
  }
  panes[2]->SetVisible(false);
  bar->SetSimpleStatus(true);
  for (TFcStatusPane* p : panes) EXPECT_FALSE(p->Visible());
  bar->SetSimpleStatus(false);
  for (TFcStatusPane* p : panes) EXPECT_TRUE(p->Visible()) << "the hidden one too";
}

TEST(FcStatusBar, ItsStandardLookComesBackOnLoadingUntilItsBordersAreChanged) {
  RegisterControlLibrary();
  TFcStatusBar bar(nullptr);
  EXPECT_TRUE(bar.AutoStyle());
  EXPECT_EQ(bar.Height(), 19);
  EXPECT_EQ(bar.Align(), alBottom);
  bar.SetBorderOuter(fsNone);
  EXPECT_TRUE(bar.AutoStyle()) << "the same value changes nothing";
  bar.SetBorderOuter(fsLowered);
  EXPECT_FALSE(bar.AutoStyle());

  std::unique_ptr<TForm> form(TForm::CreateNew<TForm>(nullptr));
  ReadLayout(form.get(), R"({ "class": "TForm", "children": [
      { "class": "TFcStatusBar", "name": "Plain", "properties": { "Height": 30, "BorderWidth": 2 } },
      { "class": "TFcStatusBar", "name": "Own", "properties": { "Height": 30, "BorderOuter": "fsGroove" } } ] })");
  auto* plain = dynamic_cast<TFcStatusBar*>(form->FindComponent("Plain"));
  auto* own = dynamic_cast<TFcStatusBar*>(form->FindComponent("Own"));
  ASSERT_TRUE(plain && own);
  EXPECT_EQ(plain->Height(), 19);
  EXPECT_EQ(plain->BorderWidth(), 0);
  EXPECT_EQ(own->Height(), 30);
  EXPECT_EQ(own->BorderOuter(), fsGroove);
  EXPECT_FALSE(own->AutoStyle());
}

TEST(FcStatusBar, PanesKeepTheirShareOfTheWidthEvenAfterTheBarHadNone) {
  TComponent owner(nullptr);
  auto* bar = new TFcStatusBar(&owner);
  bar->SetAutoScalePanes(true);
  bar->SetAlign(alNone);
  bar->SetWidth(0);
  auto* left = new TFcStatusPane(&owner);
  left->SetParent(bar);
  left->SetWidth(50);
  auto* right = new TFcStatusPane(&owner);
  right->SetParent(bar);
  right->SetWidth(30);
  bar->SetWidth(200);
  EXPECT_EQ(left->Width(), 50) << "no share to keep of a bar without width";
  EXPECT_EQ(right->Width(), 30);
  bar->SetWidth(400);
  EXPECT_EQ(left->Width(), 100);
  EXPECT_EQ(right->Width(), 60);
  bar->SetWidth(300);
  EXPECT_EQ(left->Width(), 75);
  EXPECT_EQ(right->Width(), 45);
}

TEST(FcStatusBar, TheSimpleCaptionIsDrawnInItsFrame) {
  TStylesScope classic(TVisualStyles::vsOff);
  auto form = ShownForm(bsDialog);
  auto* bar = new TFcStatusBar(form.get());
  bar->SetParent(form.get());
  bar->SetSimpleStatus(true);
  bar->SetSimpleCaption("C:\\Games\\Quenmar");
  bar->Font()->SetColor(clRed);
  Pump();
  auto shot = PaintToBitmap(form.get());
  RECT strip{bar->Left(), bar->Top(), bar->Left() + bar->Width(), bar->Top() + bar->Height()};
  EXPECT_GT(CountPixels(*shot, strip, clRed), 20);
  // The flat frame runs from two pixels below the bar's top to its last row.
  const COLORREF flat = AsPainted(*shot, ShiftLightness(clBtnShadow, 30));
  EXPECT_EQ(PixelAt(*shot, bar->Left() + 10, bar->Top() + 2), flat);
  EXPECT_EQ(PixelAt(*shot, bar->Left() + 10, bar->Top() + bar->Height() - 1), flat);
  EXPECT_NE(PixelAt(*shot, bar->Left() + 10, bar->Top() + 1), flat);
}

// ---- Docking ---------------------------------------------------------------------------------------

TEST(FcPanelDocking, DockedControlsGetCaptionedGrabbersFourteenPixelsDeep) {
  TStylesScope classic(TVisualStyles::vsOff);
  auto form = ShownForm();
  auto* site = new TFcPanel(form.get());
  site->SetParent(form.get());
  site->SetBounds(10, 10, 200, 120);
  site->SetBorderOuter(fsLowered);
  site->SetDockSite(true);
  site->SetUseDockManager(true);
  auto* manager = dynamic_cast<TFcPanelDockManager*>(site->DockManager());
  ASSERT_NE(manager, nullptr);
  EXPECT_EQ(manager->GrabberSize(), 14);
  EXPECT_TRUE(site->DoubleBuffered());

  auto* windowed = new TFcPanel(form.get());
  windowed->SetParent(form.get());
  windowed->SetCaption("Tree");
  auto* windowless = new TFcStatusPane(form.get());
  windowless->SetParent(form.get());
  windowless->SetCaption("Line");
  ASSERT_TRUE(windowed->ManualDock(site));
  ASSERT_TRUE(windowless->ManualDock(site));
  Pump();
  // Across the top of each zone, inside the panel's borders.
  EXPECT_EQ(windowed->Top(), 2 + 14);
  EXPECT_EQ(windowed->Left(), 2);
  EXPECT_EQ(windowless->Top(), 2 + 58 + 14);

  auto shot = PaintToBitmap(site);
  // A windowless client counts as active; a windowed one without the focus does not.
  EXPECT_EQ(PixelAt(*shot, 100, 2 + 58 + 1), AsPainted(*shot, clActiveCaption));
  EXPECT_EQ(PixelAt(*shot, 100, 3), AsPainted(*shot, clInactiveCaption));
  EXPECT_GT(CountPixels(*shot, RECT{2, 2, 150, 16}, clInactiveCaptionText), 0) << "the caption";

  site->SetShowDockClientCaptions(false);
  shot = PaintToBitmap(site);
  EXPECT_EQ(CountPixels(*shot, RECT{2, 2, 198, 16}, clInactiveCaption), 0);

  // A panel along the top of its parent puts the grabbers down the left side.
  site->SetAlign(alTop);
  manager->ResetBounds(true);
  EXPECT_EQ(windowed->Left(), 2 + 14);
  EXPECT_EQ(windowed->Top(), 2);
}

TEST(FcPanel, ATransparentPanelPaintsItsParentBehindItAndLeavesTheParentsOwnPaintingToCome) {
  auto form = ShownForm();
  // A windowless control of the form, and a transparent panel over the form's yellow.
  form->SetColor(clYellow);
  auto* pane = new TFcStatusPane(form.get());
  pane->SetParent(form.get());
  pane->SetBounds(10, 140, 100, 20);
  pane->SetColor(clRed);
  auto* panel = new TFcPanel(form.get());
  panel->SetParent(form.get());
  panel->SetBounds(10, 10, 200, 100);
  panel->SetBorderOuter(fsNone);
  panel->SetTransparent(true);
  Pump();
  InvalidateRect(form->Handle(), nullptr, TRUE);
  TBitmap behind(200, 100);
  panel->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(behind.Canvas()->Handle()));
  EXPECT_EQ(PixelAt(behind, 100, 50), RGB(255, 255, 0));
  RECT waiting{};
  EXPECT_TRUE(GetUpdateRect(form->Handle(), &waiting, FALSE)) << "the form still has its painting to do";
  Pump();
  TWindowDC screen(form->Handle());
  EXPECT_EQ(GetPixel(screen, 12, 145), RGB(255, 0, 0)) << "the form painted its windowless control";
}
