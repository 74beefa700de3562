#include <gtest/gtest.h>

#include "EventLog.h"
#include "RealInput.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/ImgList.h"
#include "platform/Menus.h"
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
                      "Lines": ["first line", "second line"], "ScrollBars": "ssVertical" } },
    { "class": "TComboBox", "name": "MapBox",
      "properties": { "Left": 240, "Top": 100, "Width": 110, "Items": ["pier", "arena", "tower"],
                      "ItemIndex": 1, "DropDownCount": 5, "MaxLength": 20 } },
    { "class": "TImageList", "name": "Glyphs", "properties": { "Bitmaps": ["TEST_GLYPH"] } },
    { "class": "TPopupMenu", "name": "BoxMenu", "properties": { "Images": "Glyphs" },
      "children": [
        { "class": "TMenuItem", "name": "CopyItem", "properties": { "Caption": "&Copy", "ShortCut": 16451 } },
        { "class": "TMenuItem", "name": "ViewItem", "properties": { "Caption": "&View" },
          "children": [
            { "class": "TMenuItem", "name": "ListItem",
              "properties": { "Caption": "&List", "RadioItem": true, "Checked": true } },
            { "class": "TMenuItem", "name": "DetailItem", "properties": { "Caption": "&Details", "RadioItem": true } } ] } ] }
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

TEST_F(StdCtrls, AMemoCentresOrRightAlignsItsLinesThroughItsWindowKeepingTheText) {
  auto* memo = Get<TMemo>("Notes");
  ASSERT_NE(memo, nullptr);
  const std::string text = memo->Text();
  for (TAlignment alignment : {taCenter, taRightJustify, taLeftJustify}) {
    memo->SetAlignment(alignment);
    LONG style = GetWindowLongA(memo->Handle(), GWL_STYLE);
    EXPECT_EQ(style & (ES_CENTER | ES_RIGHT),
              alignment == taCenter ? ES_CENTER : alignment == taRightJustify ? ES_RIGHT : 0);
    EXPECT_EQ(memo->Text(), text);
  }
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

TEST_F(StdCtrls, TheLayoutReadsBackEqualThroughTheWriter) {
  std::string written = WriteLayout(form);
  TForm* copy = TForm::CreateNew<TForm>(nullptr);
  ReadLayout(copy, written);
  std::string again = WriteLayout(copy);
  delete copy;
  EXPECT_EQ(again, written);
  EXPECT_NE(written.find("\"ItemIndex\": 1"), std::string::npos);
  EXPECT_NE(written.find("\"name\": \"DetailItem\""), std::string::npos);
}

TEST_F(StdCtrls, AComboBoxKeepsItsItemsSelectionAndTypedTextAcrossANewWindow) {
  auto* box = Get<TComboBox>("MapBox");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->Text(), "arena");
  box->Items()->Add("docks");
  box->RecreateWnd();
  EXPECT_EQ(SendMessageA(box->Handle(), CB_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(box->ItemIndex(), 1);
  box->SetText("typed");
  box->RecreateWnd();
  EXPECT_EQ(box->Text(), "typed");
  EXPECT_EQ(box->Items()->Count(), 4);
  box->Items()->Delete(3);
  box->SetItemIndex(1);
}

TEST_F(StdCtrls, ASortedComboBoxPlacesItemsInOrderBeforeAndAfterItsWindowExists) {
  TComboBox box(nullptr);
  box.SetSorted(true);
  for (const char* s : {"tower", "Arena", "pier"}) box.Items()->Add(s);
  box.SetItemIndex(2);
  EXPECT_EQ(box.Text(), "tower");
  EXPECT_EQ(box.ItemList(), (std::vector<std::string>{"Arena", "pier", "tower"}));
  box.Items()->Delete(0);
  EXPECT_EQ(box.ItemIndex(), 1);
  box.SetStyle(csDropDownList);
  box.SetParent(form);
  box.HandleNeeded();
  EXPECT_EQ(box.Text(), "tower");
  EXPECT_EQ(box.Items()->Add("quarry"), 1);
  char text[32] = {};
  SendMessageA(box.Handle(), CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "quarry");
  box.SetText("pier");
  EXPECT_EQ(box.ItemIndex(), 0);
}

TEST_F(StdCtrls, AChoiceFromTheListFiresOnSelectOrElseOnChange) {
  auto* box = Get<TComboBox>("MapBox");
  int selects = 0, changes = 0;
  box->OnChange = [&](TObject*) { ++changes; };
  auto choose = [&](int index) {
    SendMessageA(box->Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box->Handle()), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(box->Handle()));
  };
  choose(2);
  EXPECT_EQ(box->Text(), "tower");
  EXPECT_EQ(changes, 1);
  box->OnSelect = [&](TObject*) { ++selects; };
  choose(0);
  EXPECT_EQ(box->ItemIndex(), 0);
  EXPECT_EQ(box->Text(), "pier");
  EXPECT_EQ(selects, 1);
  EXPECT_EQ(changes, 1);
  box->OnSelect = nullptr;
  box->OnChange = nullptr;
}

TEST_F(StdCtrls, KeysTypedIntoTheEditPartReachTheComboBoxHandlersFirst) {
  auto* box = Get<TComboBox>("MapBox");
  ASSERT_NE(box->EditHandle(), nullptr);
  box->SetText("");
  int changes = 0;
  std::vector<WORD> downs;
  box->OnChange = [&](TObject*) { ++changes; };
  box->OnKeyDown = [&](TObject*, WORD& key, TShiftState) { downs.push_back(key); };
  box->OnKeyPress = [](TObject*, char& key) {
    if (key == 'x') key = 0;
  };
  box->SetFocus();
  Pump();
  EXPECT_TRUE(form->ActiveControl() == box);
  PostMessageA(box->EditHandle(), WM_KEYDOWN, VK_F2, 1);
  for (char ch : std::string("qxy")) PostMessageA(box->EditHandle(), WM_CHAR, static_cast<unsigned char>(ch), 1);
  Pump();
  EXPECT_EQ(box->Text(), "qy");
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(downs, std::vector<WORD>{VK_F2});
  box->OnChange = nullptr;
  box->OnKeyDown = nullptr;
  box->OnKeyPress = nullptr;
}

TEST_F(StdCtrls, AFailingHandlerOfTheEditPartIsReportedAndNothingEscapes) {
  auto* box = Get<TComboBox>("MapBox");
  box->OnKeyPress = [](TObject*, char&) { throw Exception("key refused"); };
  // Even a report that fails in turn must not unwind through the system's dispatch.
  TEventLog reported;
  Application->OnException = [&](TObject* sender, const std::exception& e) {
    EXPECT_EQ(sender, box);
    reported.Note(e.what());
    throw Exception("the report failed too");
  };
  SetForegroundWindow(form->Handle());
  box->SetFocus();
  RealType("z");
  Application->OnException = nullptr;
  box->OnKeyPress = nullptr;
  EXPECT_EQ(reported, TEvents{"key refused"});
}

TEST_F(StdCtrls, AnOwnerDrawnComboBoxDrawsItsItemsThroughDrawItem) {
  TComboBox box(nullptr);
  box.SetStyle(csOwnerDrawFixed);
  box.SetItemHeight(20);
  box.Items()->Add("first");
  box.Items()->Add("second");
  box.SetItemIndex(1);
  std::vector<int> drawn;
  TOwnerDrawState lastState;
  box.OnDrawItem = [&](TObject* sender, int index, const RECT& rect, TOwnerDrawState state) {
    auto* combo = static_cast<TComboBox*>(sender);
    drawn.push_back(index);
    lastState = state;
    combo->Canvas()->Brush()->SetColor(clLime);
    combo->Canvas()->FillRect(rect);
  };
  box.SetBounds(8, 236, 120, 24);
  box.SetParent(form);
  box.HandleNeeded();
  EXPECT_EQ(SendMessageA(box.Handle(), CB_GETITEMHEIGHT, 0, 0), 20);
  RedrawWindow(box.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
  Pump();
  ASSERT_FALSE(drawn.empty());
  EXPECT_EQ(drawn.back(), 1);
  EXPECT_TRUE(lastState.Contains(odComboBoxEdit));
  TBitmap shot(box.Width(), box.Height());
  box.PaintTo(shot.Canvas()->Handle(), 0, 0);
  EXPECT_EQ(shot.Canvas()->Pixels(8, box.Height() / 2), clLime);
}

TEST_F(StdCtrls, ALayoutNestsMenuItemsAndLoadsTheImageListFromItsBitmaps) {
  auto* menu = Get<TPopupMenu>("BoxMenu");
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(menu->Items()->Count(), 2);
  TMenuItem* view = menu->Items()->Items(1);
  EXPECT_EQ(view->Name(), "ViewItem");
  ASSERT_EQ(view->Count(), 2);
  EXPECT_TRUE(view->Items(0)->Checked());
  view->Items(1)->SetChecked(true);
  EXPECT_FALSE(view->Items(0)->Checked());
  EXPECT_EQ(ShortCutToText(menu->Items()->Items(0)->ShortCut()), "Ctrl+C");
  auto* glyphs = Get<TImageList>("Glyphs");
  EXPECT_EQ(menu->Images(), glyphs);
  EXPECT_EQ(glyphs->Count(), 2);
}
