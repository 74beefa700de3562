#include <gtest/gtest.h>

#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/Layout.h"
#include "platform/StdCtrls.h"

namespace {

void Pump() {
  for (int i = 0; i < 3; ++i) {
    Application->ProcessMessages();
    Sleep(5);
  }
}

const char* const kLayout = R"({
  "class": "TForm", "name": "StdForm",
  "properties": { "Caption": "Standard controls", "Left": 500, "Top": 60, "ClientWidth": 360,
                  "ClientHeight": 260 },
  "children": [
    { "class": "TPanel", "name": "Panel",
      "properties": { "Align": "alTop", "Height": 90, "BevelInner": "bvLowered", "BevelWidth": 2,
                      "BorderWidth": 3, "Caption": "Panel", "Alignment": "taLeftJustify" },
      "children": [
        { "class": "TImage", "name": "Image",
          "properties": { "Left": 200, "Top": 20, "AutoSize": true, "Picture": "TEST_GLYPH" } },
        { "class": "TPanel", "name": "Strip",
          "properties": { "Align": "alBottom", "Height": 20, "BevelOuter": "bvNone",
                          "Color": "clYellow" } } ] },
    { "class": "TLabel", "name": "NameLabel",
      "properties": { "Left": 8, "Top": 104, "Caption": "&Name:", "FocusControl": "NameEdit" } },
    { "class": "TEdit", "name": "NameEdit",
      "properties": { "Left": 80, "Top": 100, "Width": 150, "Text": "Quenmar", "MaxLength": 12 } },
    { "class": "TMemo", "name": "Notes",
      "properties": { "Left": 8, "Top": 132, "Width": 300, "Height": 100,
                      "Lines": ["first line", "second line"], "ScrollBars": "ssVertical" } }
  ]
})";

class StdCtrls : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterForms();
    RegisterExtCtrls();
    form = TForm::CreateNew<TForm>(nullptr);
    ReadLayout(form, kLayout);
    form->Show();
    Pump();
  }
  static void TearDownTestSuite() {
    delete form;
    form = nullptr;
  }
  template <class T>
  static T* Get(const char* name) {
    return dynamic_cast<T*>(form->FindComponent(name));
  }
  static TForm* form;
};
TForm* StdCtrls::form = nullptr;

}  // namespace

TEST_F(StdCtrls, AnEditTakesTypedTextUpToItsLimitAndReportsEachChange) {
  auto* edit = Get<TEdit>("NameEdit");
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->Text(), "Quenmar");
  int changes = 0;
  edit->OnChange = [&](TObject*) { ++changes; };
  edit->SetFocus();
  Pump();
  edit->SetSelStart(static_cast<int>(edit->Text().size()));
  for (char ch : std::string(" benchmark")) PostMessageA(edit->Handle(), WM_CHAR, static_cast<unsigned char>(ch), 1);
  Pump();
  // Twelve characters at most.
  EXPECT_EQ(edit->Text(), "Quenmar benc");
  // One report per accepted character (the system may report the refused ones too).
  EXPECT_GE(changes, 5);
  EXPECT_TRUE(edit->Modified());

  edit->SetSelStart(0);
  edit->SetSelLength(7);
  EXPECT_EQ(edit->SelText(), "Quenmar");
  edit->SetSelText("Q");
  EXPECT_EQ(edit->Text(), "Q benc");
  int before = changes;
  edit->SetText("set in code");
  EXPECT_EQ(changes, before + 1);
  edit->SetText("set in code");
  EXPECT_EQ(changes, before + 1);
  edit->OnChange = nullptr;
}

TEST_F(StdCtrls, AMemoKeepsLinesAndTakesEnterItself) {
  auto* memo = Get<TMemo>("Notes");
  ASSERT_NE(memo, nullptr);
  EXPECT_EQ(memo->Lines()->Count(), 2);
  EXPECT_EQ(memo->Lines()->Strings(1), "second line");
  memo->Lines()->Add("third");
  EXPECT_EQ(memo->Text(), "first line\r\nsecond line\r\nthird");
  EXPECT_NE(SendMessageA(memo->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS, 0);
  memo->SetWantReturns(false);
  EXPECT_EQ(memo->Perform(WM_GETDLGCODE) & DLGC_WANTALLKEYS, 0);
  memo->SetWantReturns(true);
  memo->Lines()->Delete(0);
  EXPECT_EQ(memo->LineList(), (std::vector<std::string>{"second line", "third"}));
}

TEST_F(StdCtrls, ALabelSizesToItsTextAndItsAcceleratorFocusesItsControl) {
  auto* label = Get<TLabel>("NameLabel");
  ASSERT_NE(label, nullptr);
  int shortWidth = label->Width();
  EXPECT_GT(shortWidth, 10);
  label->SetCaption("&Name of the player:");
  EXPECT_GT(label->Width(), shortWidth);
  label->SetCaption("&Name:");
  EXPECT_EQ(label->Width(), shortWidth);

  Get<TMemo>("Notes")->SetFocus();
  Pump();
  PostMessageA(GetFocus(), WM_SYSCHAR, 'n', 0x20000001);
  Pump();
  EXPECT_TRUE(Get<TEdit>("NameEdit")->Focused());
}

TEST_F(StdCtrls, APanelAlignsItsChildrenInsideItsBevelsAndBorder) {
  auto* panel = Get<TPanel>("Panel");
  auto* strip = Get<TPanel>("Strip");
  ASSERT_NE(strip, nullptr);
  // Outer and inner bevel of 2 and a border of 3: 7 on every side.
  EXPECT_EQ(strip->Left(), 7);
  EXPECT_EQ(strip->Width(), panel->ClientWidth() - 14);
  EXPECT_EQ(strip->Top() + strip->Height(), panel->ClientHeight() - 7);

  TBitmap shot(panel->Width(), panel->Height());
  panel->PaintTo(shot.Canvas()->Handle(), 0, 0);
  // The raised outer bevel: light at the top.
  EXPECT_EQ(shot.Canvas()->Pixels(panel->Width() / 2, 0), static_cast<TColor>(ColorToRGB(clBtnHighlight)));
  EXPECT_EQ(shot.Canvas()->Pixels(strip->Left() + 5, strip->Top() + 5), clYellow);
}

TEST_F(StdCtrls, AnImageShowsThePictureItsLayoutNamesAndWritesTheNameBack) {
  auto* image = Get<TImage>("Image");
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->Width(), 32);
  EXPECT_EQ(image->Height(), 16);
  TBitmap shot(Get<TPanel>("Panel")->Width(), Get<TPanel>("Panel")->Height());
  Get<TPanel>("Panel")->PaintTo(shot.Canvas()->Handle(), 0, 0);
  // The glyph's red square at (4, 4).
  EXPECT_EQ(shot.Canvas()->Pixels(image->Left() + 6, image->Top() + 6), clRed);
  std::string written = WriteLayout(form);
  EXPECT_NE(written.find("\"Picture\": \"TEST_GLYPH\""), std::string::npos);
  // A picture changed in code has no resource name to write.
  TBitmap other(4, 4);
  image->Picture()->SetBitmap(&other);
  EXPECT_EQ(WriteLayout(form).find("\"Picture\""), std::string::npos);
}
