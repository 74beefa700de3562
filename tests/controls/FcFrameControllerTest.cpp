// The framed-control settings, the frame controller that pushes them, and the shared blink
// timer.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ControlsTestSupport.h"
#include "EventLog.h"
#include "TestSupport.h"
#include "controls/FcCommon.h"
#include "platform/Forms.h"
#include "platform/Layout.h"

namespace {

// A control that publishes the frame settings except FlatButtons and notes every setting it
// is given, in order.
class TRecordingBox : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  TEventLog log;
  TColor frameColor = clNone;
  TFrameStyle frameStyle = fsNone;
  TSides frameSides;
  bool frameVisible = false;
  TFcFrameController* controller = nullptr;

  void Note(const char* name) { log.Note(name); }
  TFcFrameController* FrameController() const { return controller; }
  void SetFrameController(TFcFrameController* value) { ChangeFrameController(this, controller, value); }
  ~TRecordingBox() override {
    if (controller) controller->UnregisterFramedControl(this);
  }

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    TGraphicControl::Notification(component, operation);
    if (operation == opRemove && component == controller) controller = nullptr;
  }
};

// A control that fetches the settings itself when told.
class TNotifiedBox : public TGraphicControl, public IFcFramingNotification {
 public:
  using TGraphicControl::TGraphicControl;
  int updates = 0;
  TColor frameColor = clNone;
  TFcFrameController* controller = nullptr;
  void UpdateFrameSettings() override {
    ++updates;
    frameColor = controller ? controller->FrameColor() : clNone;
  }
};

// The framed-control settings on a windowed control.
class TFramedBox : public TFcFramedControl<TCustomControl> {
 public:
  using TFcFramedControl::TFcFramedControl;
  using TFcFramedControl::UpdateColors;
};

void RegisterTestClasses() {
  RegisterControlLibrary();
  using R = TRecordingBox;
  RegisterClassInfo<R, TGraphicControl>("TRecordingBox")
      .Boolean("ParentColor", &R::ParentColor, [](R* r, bool v) { r->Note("ParentColor"); r->SetParentColor(v); })
      .Color("Color", &R::Color, [](R* r, TColor v) { r->Note("Color"); r->SetColor(v); })
      .Color("DisabledColor", [](R*) { return clNone; }, [](R* r, TColor) { r->Note("DisabledColor"); })
      .Color("FocusColor", [](R*) { return clNone; }, [](R* r, TColor) { r->Note("FocusColor"); })
      .Color("FlatButtonColor", [](R*) { return clNone; }, [](R* r, TColor) { r->Note("FlatButtonColor"); })
      .Color("FrameColor", [](R* r) { return r->frameColor; },
             [](R* r, TColor v) { r->Note("FrameColor"); r->frameColor = v; })
      .Color("FrameHotColor", [](R*) { return clNone; }, [](R* r, TColor) { r->Note("FrameHotColor"); })
      .Boolean("FrameHotTrack", [](R*) { return false; }, [](R* r, bool) { r->Note("FrameHotTrack"); })
      .Enum("FrameHotStyle", FrameStyleInfo, [](R*) { return fsNone; }, [](R* r, TFrameStyle) { r->Note("FrameHotStyle"); })
      .Set("FrameSides", SideInfo, [](R* r) { return r->frameSides; },
           [](R* r, TSides v) { r->Note("FrameSides"); r->frameSides = v; })
      .Enum("FrameStyle", FrameStyleInfo, [](R* r) { return r->frameStyle; },
            [](R* r, TFrameStyle v) { r->Note("FrameStyle"); r->frameStyle = v; })
      .Boolean("FrameVisible", [](R* r) { return r->frameVisible; },
               [](R* r, bool v) { r->Note("FrameVisible"); r->frameVisible = v; })
      .Enum("FramingPreference", FramingPreferenceInfo, [](R*) { return fpXPThemes; },
            [](R* r, TFramingPreference) { r->Note("FramingPreference"); })
      .Component("FrameController", &R::FrameController, &R::SetFrameController);
  auto framed = RegisterClassInfo<TFramedBox, TCustomControl>("TFramedBox");
  PublishFrameSettings(framed);
}

const TEvents kFullPush = {
    "ParentColor", "Color",         "DisabledColor", "FocusColor",  "FlatButtonColor",
    "FrameColor",  "FrameHotColor", "FrameHotTrack", "FrameHotStyle", "FrameSides",
    "FrameStyle",  "FrameVisible",  "FramingPreference"};

class FrameController : public testing::Test {
 protected:
  void SetUp() override {
    RegisterTestClasses();
    owner = std::make_unique<TComponent>(nullptr);
    controller = new TFcFrameController(owner.get());
    box = new TRecordingBox(owner.get());
  }
  std::unique_ptr<TComponent> owner;
  TFcFrameController* controller = nullptr;
  TRecordingBox* box = nullptr;
};

}  // namespace

TEST_F(FrameController, RegisteringPushesEverySettingTheControlPublishesInOrder) {
  controller->SetFrameColor(clBlue);
  controller->SetFrameStyle(fsGroove);
  box->SetFrameController(controller);
  EXPECT_EQ(box->log, kFullPush) << "FlatButtons, which the box does not publish, is skipped";
  EXPECT_EQ(box->frameColor, clBlue);
  EXPECT_EQ(box->frameStyle, fsGroove);
  EXPECT_EQ(controller->FramedControlCount(), 1);

  // Registering again changes nothing.
  box->log.Clear();
  controller->RegisterFramedControl(box);
  EXPECT_TRUE(box->log.Empty());
  EXPECT_EQ(controller->FramedControlCount(), 1);
}

TEST_F(FrameController, AChangePushesOnlyThatSettingAndTheSameValuePushesNothing) {
  box->SetFrameController(controller);
  box->log.Clear();
  controller->SetFrameColor(clBtnShadow);
  controller->SetFrameSides(sdAllSides);
  EXPECT_TRUE(box->log.Empty());
  controller->SetFrameColor(clNavy);
  EXPECT_EQ(box->log, TEvents{"FrameColor"});
  EXPECT_EQ(box->frameColor, clNavy);

  // Hot tracking switched on also shows the frame on all sides.
  box->log.Clear();
  controller->SetFrameSides(TSides{sdLeft});
  box->log.Clear();
  controller->SetFrameHotTrack(true);
  EXPECT_EQ(box->log, (TEvents{"FrameVisible", "FrameSides", "FrameHotTrack"}));
  EXPECT_TRUE(controller->FrameVisible());
  EXPECT_EQ(controller->FrameSides(), sdAllSides);
}

TEST_F(FrameController, ChangesBetweenBeginAndEndUpdateArePushedOnceAtTheEnd) {
  box->SetFrameController(controller);
  box->log.Clear();
  controller->BeginUpdate();
  controller->BeginUpdate();
  for (int i = 0; i < 10; ++i) controller->SetFrameColor(static_cast<TColor>(RGB(i, 0, 0)));
  controller->SetFrameStyle(fsBump);
  controller->EndUpdate();
  EXPECT_TRUE(box->log.Empty()) << "the inner EndUpdate pushes nothing";
  controller->EndUpdate();
  EXPECT_EQ(box->log, kFullPush);
  EXPECT_EQ(box->frameStyle, fsBump);

  // Unbalanced EndUpdate calls leave the counter at 0: the next change pushes at once.
  controller->EndUpdate();
  box->log.Clear();
  controller->SetFrameColor(clGreen);
  EXPECT_EQ(box->log, TEvents{"FrameColor"});

  // Assign copies the settings inside one update.
  TFcFrameController other(nullptr);
  other.SetFrameStyle(fsPopup);
  other.SetFrameColor(clPurple);
  box->log.Clear();
  controller->Assign(&other);
  EXPECT_EQ(box->log, kFullPush);
  EXPECT_EQ(box->frameColor, clPurple);
  EXPECT_EQ(controller->FrameStyle(), fsPopup);
}

TEST_F(FrameController, ColourMovesTheFocusColourAlongAndEndsTheParentsColour) {
  controller->SetParentColor(true);
  box->SetFrameController(controller);
  EXPECT_EQ(box->log.Count("Color"), 0) << "the parent's colour is used";
  box->log.Clear();
  controller->SetColor(clYellow);
  EXPECT_EQ(controller->FocusColor(), clYellow) << "it was the old colour";
  EXPECT_FALSE(controller->ParentColor());
  EXPECT_EQ(box->log, (TEvents{"Color", "FocusColor", "ParentColor", "Color"}));

  controller->SetFocusColor(clAqua);
  controller->SetColor(clWhite);
  EXPECT_EQ(controller->FocusColor(), clAqua);
}

TEST_F(FrameController, AControlThatFetchesItsSettingsIsOnlyToldToDoSo) {
  auto* notified = new TNotifiedBox(owner.get());
  notified->controller = controller;
  controller->RegisterFramedControl(notified);
  EXPECT_EQ(notified->updates, 1);
  controller->SetFrameColor(clMaroon);
  EXPECT_EQ(notified->updates, 2);
  EXPECT_EQ(notified->frameColor, clMaroon);
  controller->UnregisterFramedControl(notified);
}

TEST_F(FrameController, FreeingTheControllerOrTheControlLeavesNoDanglingReference) {
  box->SetFrameController(controller);
  auto* framed = new TFramedBox(owner.get());
  framed->SetFrameController(controller);
  EXPECT_EQ(controller->FramedControlCount(), 2);
  delete box;
  EXPECT_EQ(controller->FramedControlCount(), 1) << "a freed control leaves the list";
  delete controller;
  EXPECT_EQ(framed->FrameController(), nullptr);
  // Unregistering from a controller that has no list does nothing.
  TFcFrameController empty(nullptr);
  EXPECT_NO_THROW(empty.UnregisterFramedControl(framed));
  EXPECT_EQ(empty.FramedControlCount(), 0);
}

// ---- Through stored layouts ------------------------------------------------------------

namespace {

std::unique_ptr<TForm> FormFromLayout(const std::string& children) {
  RegisterTestClasses();
  std::unique_ptr<TForm> form(TForm::CreateNew<TForm>(nullptr));
  ReadLayout(form.get(), R"({ "class": "TForm", "name": "Framed", "children": [ )" + children + " ] }");
  return form;
}

template <class T>
T* Get(TForm* form, const char* name) {
  return dynamic_cast<T*>(form->FindComponent(name));
}

}  // namespace

TEST(FrameControllerLayout, OlderLayoutsFrameNamesAreReadIntoTodaysSettings) {
  auto form = FormFromLayout(R"(
    { "class": "TFcFrameController", "name": "Flat",
      "properties": { "FrameFlat": true, "FrameFlatStyle": "fsButtonDown" } },
    { "class": "TFcFrameController", "name": "Focus",
      "properties": { "FrameFocusStyle": "fsRaised", "FrameFlat": false } },
    { "class": "TFramedBox", "name": "Box",
      "properties": { "FrameFlat": true, "FrameSides": ["sdLeft"] } })");
  auto* flat = Get<TFcFrameController>(form.get(), "Flat");
  EXPECT_TRUE(flat->FrameHotTrack());
  EXPECT_EQ(flat->FrameStyle(), fsStatus);
  EXPECT_EQ(flat->FrameHotStyle(), fsLowered);
  EXPECT_TRUE(flat->FrameVisible());
  auto* focus = Get<TFcFrameController>(form.get(), "Focus");
  EXPECT_EQ(focus->FrameHotStyle(), fsRaised);
  EXPECT_FALSE(focus->FrameHotTrack());
  EXPECT_EQ(focus->FrameStyle(), fsFlat);

  // Hot tracking switched on while loading keeps the sides the layout gives.
  auto* box = Get<TFramedBox>(form.get(), "Box");
  EXPECT_TRUE(box->FrameHotTrack());
  EXPECT_EQ(box->FrameStyle(), fsStatus);
  EXPECT_EQ(box->FrameSides(), TSides{sdLeft});

  // The old names are never written back.
  std::string written = WriteLayout(form.get());
  EXPECT_EQ(written.find("FrameFlat"), std::string::npos);
  EXPECT_EQ(written.find("FrameFocusStyle"), std::string::npos);
}

TEST(FrameControllerLayout, ControlsNamingAControllerTakeItsSettingsAndDoNotStoreThem) {
  auto form = FormFromLayout(R"(
    { "class": "TFcFrameController", "name": "Frames",
      "properties": { "FrameColor": "clNavy", "FrameStyle": "fsGroove", "FrameVisible": true,
                      "Color": "clInfoBk", "DisabledColor": "clGray" } },
    { "class": "TFramedBox", "name": "Governed", "properties": { "FrameController": "Frames" } },
    { "class": "TFramedBox", "name": "Free",
      "properties": { "FrameColor": "clNavy", "FrameStyle": "fsGroove", "Color": "clInfoBk",
                      "FocusColor": "clInfoBk" } })");
  auto* governed = Get<TFramedBox>(form.get(), "Governed");
  EXPECT_EQ(governed->FrameColor(), clNavy);
  EXPECT_EQ(governed->FrameStyle(), fsGroove);
  EXPECT_TRUE(governed->FrameVisible());
  EXPECT_EQ(governed->Color(), clInfoBk);
  EXPECT_EQ(governed->FocusColor(), clInfoBk) << "the controller's, moved along with its colour";
  EXPECT_EQ(governed->DisabledColor(), clGray);

  std::string written = WriteLayout(form.get());
  size_t at = written.find("\"Governed\"");
  size_t next = written.find("\"Free\"");
  ASSERT_NE(at, std::string::npos);
  ASSERT_NE(next, std::string::npos);
  std::string governedPart = written.substr(at, next - at);
  std::string freePart = written.substr(next);
  for (const char* name : {"FrameColor", "FrameStyle", "FrameVisible", "\"Color\"", "DisabledColor"})
    EXPECT_EQ(governedPart.find(name), std::string::npos) << name;
  EXPECT_NE(governedPart.find("\"FrameController\""), std::string::npos);
  EXPECT_NE(freePart.find("FrameColor"), std::string::npos);
  EXPECT_NE(freePart.find("\"Color\""), std::string::npos);
  EXPECT_EQ(freePart.find("FocusColor"), std::string::npos) << "it shows the same as Color";

  // A disabled control does not store the colour it shows.
  auto* free = Get<TFramedBox>(form.get(), "Free");
  free->SetEnabled(false);
  written = WriteLayout(form.get());
  EXPECT_EQ(written.substr(written.find("\"Free\"")).find("\"Color\""), std::string::npos);
}

// ---- Framed-control settings -----------------------------------------------------------

TEST(FramedControl, TheColourShownFollowsTheState) {
  RegisterTestClasses();
  std::unique_ptr<TForm> form(TForm::CreateNew<TForm>(nullptr));
  auto* box = new TFramedBox(form.get());
  box->SetParent(form.get());
  box->SetColor(clInfoBk);
  EXPECT_EQ(box->FocusColor(), clInfoBk) << "it followed the normal colour";
  box->SetFocusColor(clYellow);
  box->SetDisabledColor(clGray);

  box->SetEnabled(false);
  EXPECT_EQ(box->Color(), clGray);
  box->SetDisabledColor(clSilver);
  EXPECT_EQ(box->Color(), clSilver) << "re-applied while disabled";
  box->SetEnabled(true);
  EXPECT_EQ(box->Color(), clInfoBk);

  box->Perform(CM_ENTER);
  EXPECT_EQ(box->Color(), clYellow);
  box->SetFocusColor(clAqua);
  EXPECT_EQ(box->Color(), clAqua) << "re-applied while focused";
  box->Perform(CM_EXIT);
  EXPECT_EQ(box->Color(), clInfoBk);
  EXPECT_EQ(box->NormalColor(), clInfoBk) << "the state colours never become the normal colour";

  // Setting the colour while the focus colour differs leaves the focus colour.
  box->SetColor(clWhite);
  EXPECT_EQ(box->FocusColor(), clAqua);
}

TEST(FramedControl, HotTrackingShowsTheFrameOnAllSidesAndThemesDecideWhoDrawsIt) {
  RegisterTestClasses();
  std::unique_ptr<TForm> form(TForm::CreateNew<TForm>(nullptr));
  auto* box = new TFramedBox(form.get());
  box->SetParent(form.get());
  box->SetFrameSides(TSides{sdTop});
  box->SetCtl3D(false);
  box->SetFrameHotTrack(true);
  EXPECT_TRUE(box->FrameVisible());
  EXPECT_TRUE(box->Ctl3D());
  EXPECT_EQ(box->FrameSides(), sdAllSides);

  TStylesScope on(TVisualStyles::vsOn);
  EXPECT_TRUE(box->ThemedFramed());
  box->SetFramingPreference(fpCustomFraming);
  EXPECT_FALSE(box->ThemedFramed());
  box->SetFramingPreference(fpXPThemes);
  TStylesScope off(TVisualStyles::vsOff);
  EXPECT_FALSE(box->ThemedFramed());
}

// ---- Blinking controls ---------------------------------------------------------------------

namespace {

// Answers the blink query while blinking and notes the phases it is shown.
class TBlinker : public TGraphicControl {
 public:
  explicit TBlinker(TComponent* owner) : TGraphicControl(owner) { TFcBlinkingControlsList::Register(this); }
  ~TBlinker() override { TFcBlinkingControlsList::Unregister(this); }
  bool blinking = true;
  std::vector<int> phases;
  std::function<void()> onPhase;

 protected:
  void WndProc(TMessage& m) override {
    if (m.Msg == CM_BLINKQUERY) {
      m.Result = blinking ? 1 : 0;
      return;
    }
    if (m.Msg == CM_BLINKPHASE) {
      phases.push_back(static_cast<int>(m.WParam));
      if (onPhase) onPhase();
      return;
    }
    TGraphicControl::WndProc(m);
  }
};

}  // namespace

TEST(BlinkingControls, ControlsBlinkInStepOnOneTimerThatGoesWithTheLast) {
  ASSERT_EQ(TFcBlinkingControlsList::Instance(), nullptr);
  auto first = std::make_unique<TBlinker>(nullptr);
  auto second = std::make_unique<TBlinker>(nullptr);
  auto quiet = std::make_unique<TBlinker>(nullptr);
  quiet->blinking = false;
  TFcBlinkingControlsList* list = TFcBlinkingControlsList::Instance();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->Count(), 3);
  EXPECT_EQ(list->IntervalOn(), 500);
  EXPECT_EQ(list->IntervalOff(), 500);
  EXPECT_EQ(list->Phase(), 1);
  list->SetIntervalOn(20);
  list->SetIntervalOff(30);

  ASSERT_TRUE(LoopUntil([&] { return second->phases.size() >= 4; }, 5000));
  EXPECT_EQ(first->phases, second->phases);
  EXPECT_EQ(std::vector<int>(first->phases.begin(), first->phases.begin() + 4), (std::vector<int>{0, 1, 0, 1}));
  EXPECT_TRUE(quiet->phases.empty()) << "a control that is not blinking is only asked";

  first.reset();
  second.reset();
  EXPECT_EQ(TFcBlinkingControlsList::Instance(), list);
  quiet.reset();
  EXPECT_EQ(TFcBlinkingControlsList::Instance(), nullptr);
}

TEST(BlinkingControls, AControlFreedDuringATickIsNotAskedAndTheListMayGoWithIt) {
  auto first = std::make_unique<TBlinker>(nullptr);
  auto second = std::make_unique<TBlinker>(nullptr);
  TFcBlinkingControlsList::Instance()->SetIntervalOff(10);
  TFcBlinkingControlsList::Instance()->SetIntervalOn(10);
  // The first one's phase frees the other one, then itself: the list goes inside the tick.
  bool freed = false;
  first->onPhase = [&] {
    second.reset();
    TFcBlinkingControlsList::Unregister(first.get());
    freed = true;
  };
  ASSERT_TRUE(LoopUntil([&] { return freed; }, 5000));
  EXPECT_EQ(TFcBlinkingControlsList::Instance(), nullptr);
  LoopUntil([] { return false; }, 60);  // a tick more would reach a freed list
  first->onPhase = nullptr;
  first.reset();
  EXPECT_EQ(TFcBlinkingControlsList::Instance(), nullptr);
}
