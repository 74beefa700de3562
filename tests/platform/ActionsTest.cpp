#include <gtest/gtest.h>

#include "ControlTestClasses.h"
#include "platform/Actions.h"
#include "platform/Layout.h"

namespace {

class Actions : public testing::Test {
 protected:
  void SetUp() override { RegisterControlTestClasses(); }
};

}  // namespace

TEST_F(Actions, LinkedControlsShowTheActionUntilGivenValuesOfTheirOwn) {
  TComponent owner(nullptr);
  auto* save = new TAction(&owner);
  save->SetCaption("&Save");
  save->SetHint("Saves the report");
  auto* button = new TCtlButton(&owner);
  auto* own = new TCtlButton(&owner);
  button->SetAction(save);
  own->SetAction(save);
  EXPECT_EQ(button->Caption(), "&Save");
  EXPECT_EQ(button->Hint(), "Saves the report");
  own->SetCaption("Keep");

  save->SetCaption("Save &as");
  save->SetEnabled(false);
  save->SetVisible(false);
  save->SetHint("Saves a copy");
  EXPECT_EQ(button->Caption(), "Save &as");
  EXPECT_FALSE(button->Enabled());
  EXPECT_FALSE(button->Visible());
  EXPECT_EQ(button->Hint(), "Saves a copy");
  EXPECT_EQ(own->Caption(), "Keep");
  EXPECT_FALSE(own->Enabled()) << "only the caption was its own";

  // A control that goes first, and an action that goes first, leave nothing behind.
  delete own;
  save->SetCaption("Save");
  delete save;
  EXPECT_EQ(button->Action(), nullptr);
  button->Click();
}

TEST_F(Actions, AClickRunsTheActionUnlessTheControlHasItsOwnHandlerOrTheActionIsDisabled) {
  TComponent owner(nullptr);
  auto* run = new TAction(&owner);
  auto* button = new TCtlButton(&owner);
  button->SetAction(run);
  std::vector<TComponent*> ranFor;
  run->OnExecute = [&](TObject* sender) {
    EXPECT_EQ(sender, run);
    ranFor.push_back(run->ActionComponent());
  };
  button->Click();
  EXPECT_EQ(ranFor, std::vector<TComponent*>{button});
  EXPECT_EQ(run->ActionComponent(), nullptr);

  run->SetEnabled(false);
  button->Click();
  EXPECT_EQ(ranFor.size(), 1u);
  run->SetEnabled(true);
  bool ownClick = false;
  button->OnClick = [&](TObject*) { ownClick = true; };
  button->Click();
  EXPECT_TRUE(ownClick);
  EXPECT_EQ(ranFor.size(), 1u);
}

TEST_F(Actions, AnActionWithoutHandlerIsOfferedToTheActiveFormsControls) {
  // A control that takes any action; the first one asked keeps it from the others.
  struct TTaker : TCtlMark {
    using TCtlMark::TCtlMark;
    bool ExecuteAction(TBasicAction* action) override {
      taken.push_back(action);
      return true;
    }
    std::vector<TBasicAction*> taken;
  };
  TComponent owner(nullptr);
  auto* form = new TForm(&owner);
  auto* panel = new TCtlPanel(&owner);
  panel->SetParent(form);
  auto* first = new TTaker(&owner);
  auto* second = new TTaker(&owner);
  first->SetParent(panel);
  second->SetParent(panel);
  if (Screen->ActiveForm()) GTEST_SKIP() << "another form is active";
  // With no form active, the main form is asked.
  TForm* main = Application->MainForm();
  Application->SetMainForm(form);
  TAction offered(nullptr);
  bool handled = offered.Execute();
  Application->SetMainForm(main);
  EXPECT_TRUE(handled);
  EXPECT_EQ(first->taken, std::vector<TBasicAction*>{&offered});
  EXPECT_TRUE(second->taken.empty());
}

TEST_F(Actions, ALayoutLinksAControlToItsActionAndKeepsACaptionOfItsOwn) {
  TComponent owner(nullptr);
  auto* form = TForm::CreateNew<TForm>(&owner);
  ReadLayout(form, R"({
    "class": "TForm", "name": "ActionForm",
    "children": [
      { "class": "TAction", "name": "RunAction",
        "properties": { "Caption": "&Run", "Hint": "Runs the demo", "ImageIndex": 3 } },
      { "class": "TCtlButton", "name": "RunButton", "properties": { "Action": "RunAction" } },
      { "class": "TCtlButton", "name": "GoButton",
        "properties": { "Caption": "Go", "Action": "RunAction" } } ]
  })");
  auto* action = dynamic_cast<TAction*>(form->FindComponent("RunAction"));
  auto* run = dynamic_cast<TCtlButton*>(form->FindComponent("RunButton"));
  auto* go = dynamic_cast<TCtlButton*>(form->FindComponent("GoButton"));
  ASSERT_TRUE(action && run && go);
  EXPECT_EQ(action->ImageIndex(), 3);
  EXPECT_EQ(run->Action(), action);
  EXPECT_EQ(run->Caption(), "&Run");
  EXPECT_EQ(go->Caption(), "Go");
  EXPECT_EQ(go->Hint(), "Runs the demo");
}
