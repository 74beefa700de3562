// The radio group and the check group: their items in columns, the selection and its veto,
// the item states and how they are stored.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "ControlsTestSupport.h"
#include "controls/FcRadGrp.h"
#include "EventLog.h"
#include "platform/Forms.h"
#include "platform/Layout.h"

namespace {

void SetLines(TFcCustomItemGroup* group, std::vector<std::string> lines) {
  TStringList list;
  for (const std::string& line : lines) list.Add(line);
  group->SetItems(&list);
}

// A shown form with a radio group of four items and a check group of three.
class Groups : public testing::Test {
 protected:
  void SetUp() override {
    RegisterControlLibrary();
    form.reset(TForm::CreateNew<TForm>(nullptr));
    form->SetBounds(60, 60, 420, 300);
    radio = new TFcRadioGroup(form.get());
    radio->SetParent(form.get());
    radio->SetBounds(8, 8, 200, 120);
    radio->SetCaption("Detail");
    SetLines(radio, {"Low", "Medium", "High", "Very high"});
    check = new TFcCheckGroup(form.get());
    check->SetParent(form.get());
    check->SetBounds(8, 140, 400, 80);
    SetLines(check, {"640 x 480", "800 x 600", "1024 x 768"});
    radio->OnChanging = [this](TObject* sender, int index, bool& allow) {
      EXPECT_EQ(sender, radio);
      log.Note("changing " + std::to_string(index));
      allow = !veto;
    };
    radio->OnClick = [this](TObject*) { log.Note("click " + std::to_string(radio->ItemIndex())); };
    form->Show();
    Pump();
  }
  // A left click on the item's glyph, as the mouse makes it.
  void ClickItem(TFcGroupButton* item) { MouseClick(item, 6, 8); }

  std::unique_ptr<TForm> form;
  TFcRadioGroup* radio = nullptr;
  TFcCheckGroup* check = nullptr;
  TEventLog log;
  bool veto = false;
};

}  // namespace

TEST_F(Groups, ItemsFillTheColumnsTopDown) {
  SetLines(radio, {"One", "Two", "Three", "Four", "Five"});
  radio->SetColumns(2);
  const int lineHeight = FontLineHeight(radio->Font());
  const int top = 1 + lineHeight + 2;  // no border, a caption, StartYPos 2
  TBitmap probe(1, 1);
  probe.Canvas()->Font()->Assign(radio->ItemFont());
  int firstColumn = 0;
  for (const char* s : {"One", "Two", "Three"}) firstColumn = std::max(firstColumn, probe.Canvas()->TextWidth(s) + 13 + 12);
  for (int i = 0; i < 5; ++i) {
    TFcGroupButton* item = radio->ItemButton(i);
    EXPECT_TRUE(item->Visible());
    EXPECT_EQ(item->Top(), top + (i % 3) * 20) << i;
    EXPECT_EQ(item->Left(), i < 3 ? 8 : 8 + firstColumn) << i;
    EXPECT_EQ(item->Height(), 17);
  }
  EXPECT_EQ(radio->ItemButton(0)->Width(), firstColumn - 4);

  radio->SetSpaceEvenly(true);
  const int even = (200 - 8 - 0 - 10) / 2;
  EXPECT_EQ(radio->ItemButton(3)->Left(), 8 + even);
  EXPECT_EQ(radio->ItemButton(3)->Width(), even);

  radio->SetColumns(0);
  EXPECT_EQ(radio->Columns(), 1);
  radio->SetColumns(20);
  EXPECT_EQ(radio->Columns(), 16);
  EXPECT_THROW(radio->ItemButton(5), EListError);
  EXPECT_THROW(check->ItemCheck(-1), EListError);
}

TEST_F(Groups, TheSelectionIsKeptWithinTheItems) {
  radio->SetItemIndex(99);
  EXPECT_EQ(radio->ItemIndex(), 3);
  EXPECT_TRUE(radio->ItemButton(3)->Checked());
  radio->SetItemIndex(-5);
  EXPECT_EQ(radio->ItemIndex(), -1);
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(radio->ItemButton(i)->Checked());

  radio->SetItemIndex(3);
  radio->Items()->Delete(3);
  radio->Items()->Delete(2);
  EXPECT_EQ(radio->ItemIndex(), 1) << "the new last item";
  EXPECT_TRUE(radio->ItemButton(1)->Checked());
}

TEST_F(Groups, ASelectionFromCodeAsksOnChangingAndClicksTheGroup) {
  radio->SetItemIndex(2);
  EXPECT_EQ(log, (TEvents{"changing 2", "click 2"}));
  log.Clear();

  radio->ItemButton(1)->SetChecked(true);
  EXPECT_EQ(log, (TEvents{"changing 1", "click 1"}));
  EXPECT_EQ(radio->ItemIndex(), 1);
  for (int i : {0, 2, 3}) EXPECT_FALSE(radio->ItemButton(i)->Checked()) << i;
  log.Clear();

  radio->ItemButton(1)->SetChecked(false);
  EXPECT_TRUE(log.Empty());
  EXPECT_FALSE(radio->ItemButton(1)->Checked());

  // Refused from code: the index was set already and stays.
  veto = true;
  radio->SetItemIndex(3);
  EXPECT_EQ(log, (TEvents{"changing 3"}));
  EXPECT_EQ(radio->ItemIndex(), 3);
}

TEST_F(Groups, AClickThatIsRefusedLeavesTheSelectionAsItWas) {
  radio->SetItemIndex(0);
  log.Clear();
  veto = true;
  ClickItem(radio->ItemButton(2));
  EXPECT_EQ(log, (TEvents{"changing 2"}));
  EXPECT_EQ(radio->ItemIndex(), 0);
  EXPECT_TRUE(radio->ItemButton(0)->Checked());
  EXPECT_FALSE(radio->ItemButton(2)->Checked());
  EXPECT_TRUE(radio->ItemButton(0)->Focused());

  // The selected item cannot take the focus: it is checked again all the same.
  radio->SetButtonEnabled(0, false);
  ClickItem(radio->ItemButton(3));
  EXPECT_EQ(radio->ItemIndex(), 0);
  EXPECT_TRUE(radio->ItemButton(0)->Checked());
  EXPECT_FALSE(radio->ItemButton(3)->Checked());

  // Nothing was selected: the clicked item does not stay checked.
  radio->SetButtonEnabled(0, true);
  veto = false;
  radio->SetItemIndex(-1);
  veto = true;
  ClickItem(radio->ItemButton(1));
  EXPECT_EQ(radio->ItemIndex(), -1);
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(radio->ItemButton(i)->Checked()) << i;

  veto = false;
  log.Clear();
  ClickItem(radio->ItemButton(1));
  EXPECT_EQ(log, (TEvents{"changing 1", "click 1"}));
  EXPECT_EQ(radio->ItemIndex(), 1);
}

TEST_F(Groups, TheCheckGroupTellsEachItemsNewState) {
  TEventLog heard;
  check->OnChange = [&](TObject* sender, int index, TCheckBoxState state) {
    EXPECT_EQ(sender, check);
    heard.Note(std::to_string(index) + ":" + std::to_string(state));
  };
  check->SetItemChecked(1, true);
  check->SetAllowGrayed(true);
  EXPECT_TRUE(check->ItemCheck(2)->AllowGrayed());
  check->SetItemState(2, cbGrayed);
  check->SetItemChecked(1, true);
  EXPECT_EQ(heard, (TEvents{"1:1", "2:2"}));
  EXPECT_TRUE(check->ItemChecked(1));
  EXPECT_FALSE(check->ItemChecked(2));
  EXPECT_EQ(check->CheckStates(), (std::vector<int>{0, 1, 2}));

  check->SetEnabled(false);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(check->ItemEnabled(i));
  check->SetEnabled(true);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(check->ItemEnabled(i));
}

TEST(GroupLayout, StatesAndSelectionComeBackFromAStoredLayoutAsFarAsTheyFit) {
  RegisterControlLibrary();
  std::unique_ptr<TForm> form(TForm::CreateNew<TForm>(nullptr));
  ReadLayout(form.get(), R"({ "class": "TForm", "children": [
      { "class": "TFcCheckGroup", "name": "res",
        "properties": { "Caption": " Resolution ", "Columns": 5, "AllowGrayed": true,
                        "Items": ["640", "800", "1024"], "CheckStates": [1, 7, 2, 1, 0] } },
      { "class": "TFcCheckGroup", "name": "empty", "properties": { "CheckStates": [1] } },
      { "class": "TFcRadioGroup", "name": "PShader",
        "properties": { "Items": ["Default model", "Shader model 2.0b", "Shader model 3.0"], "ItemIndex": 9,
                        "Flat": true } } ] })");
  auto* res = dynamic_cast<TFcCheckGroup*>(form->FindComponent("res"));
  auto* empty = dynamic_cast<TFcCheckGroup*>(form->FindComponent("empty"));
  auto* shader = dynamic_cast<TFcRadioGroup*>(form->FindComponent("PShader"));
  ASSERT_TRUE(res && empty && shader);
  EXPECT_EQ(res->CheckStates(), (std::vector<int>{1, 0, 2})) << "an unknown state is left out";
  EXPECT_EQ(empty->ItemCount(), 0);
  EXPECT_EQ(shader->ItemIndex(), 2);
  EXPECT_TRUE(shader->ItemButton(2)->Checked());
  EXPECT_TRUE(shader->ItemHotTrack());

  std::string written = WriteLayout(form.get());
  std::unique_ptr<TForm> again(TForm::CreateNew<TForm>(nullptr));
  ReadLayout(again.get(), written);
  auto* copy = dynamic_cast<TFcCheckGroup*>(again->FindComponent("res"));
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->CheckStates(), (std::vector<int>{1, 0, 2}));
  EXPECT_EQ(copy->Columns(), 5);
  EXPECT_EQ(dynamic_cast<TFcRadioGroup*>(again->FindComponent("PShader"))->ItemIndex(), 2);
  // A group without items stores no states.
  EXPECT_EQ(written.find("CheckStates"), written.rfind("CheckStates"));
}

TEST_F(Groups, AFrameControllerGivesTheItemsItsFrameColour) {
  auto* controller = new TFcFrameController(form.get());
  controller->SetFrameColor(clMaroon);
  controller->SetDisabledColor(clYellow);
  radio->SetFrameController(controller);
  EXPECT_EQ(radio->ItemFrameColor(), clBtnShadow) << "no frame shown by the controller";
  controller->SetFrameVisible(true);
  EXPECT_EQ(radio->ItemFrameColor(), clMaroon);
  EXPECT_EQ(radio->ItemButton(0)->FrameColor(), clMaroon);
  EXPECT_EQ(radio->ItemButton(3)->DisabledColor(), clYellow);
}
