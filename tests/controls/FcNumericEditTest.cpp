// The numeric edit: reading and writing its text, the keys it takes, the range check when it is
// left (with and without a handler that keeps the value), and its integer view.
#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "ControlsTestSupport.h"
#include "EventLog.h"
#include "TestSupport.h"
#include "controls/FcEdit.h"
#include "platform/Forms.h"
#include "platform/Layout.h"

namespace {

class NumericEditTest : public testing::Test {
 protected:
  void SetUp() override {
    RegisterControlLibrary();
    form.reset(TForm::CreateNew<TForm>(nullptr));
    form->SetBounds(80, 80, 300, 200);
    number = new TFcNumericEdit(form.get());
    number->SetParent(form.get());
    number->SetBounds(10, 10, 100, 24);
    other = new TFcEdit(form.get());
    other->SetParent(form.get());
    other->SetBounds(10, 50, 100, 24);
    form->Show();
    Pump();
  }
  // The edit is entered, given the text and left for the other edit.
  void EnterTypeAndLeave(const std::string& text) {
    number->SetFocus();
    Pump();
    number->SetText(text);
    other->SetFocus();
    Pump();
  }

  std::unique_ptr<TForm> form;
  TFcNumericEdit* number = nullptr;
  TFcEdit* other = nullptr;
};

// The text with "." as the locale's decimal separator.
std::string Dec(std::string text) {
  for (char& ch : text)
    if (ch == '.') ch = FormatSettings.DecimalSeparator;
  return text;
}

}  // namespace

TEST_F(NumericEditTest, StartsRightAlignedShowingZero) {
  TFcNumericEdit fresh(nullptr);
  EXPECT_EQ(fresh.Text(), "0");
  EXPECT_EQ(fresh.Width(), 65);
  EXPECT_EQ(fresh.Height(), 21);
  EXPECT_EQ(fresh.Alignment(), taRightJustify);
  EXPECT_TRUE(fresh.IntegersOnly());
  EXPECT_EQ(fresh.DisplayFormat(), ",0;(,0)");
}

TEST_F(NumericEditTest, TheTextIsReadLeniently) {
  number->SetIntegersOnly(false);
  struct TCase {
    std::string text;
    double value;
  } cases[] = {{"", 0},          {"(1,234)", -1234}, {"12-3", -123},  {Dec("1.5"), 1.5},
               {"abc", 0},       {"-0", 0},          {"$ 1 000", 1000}, {Dec("1.2.3"), 0},
               {"+42", 42},      {"4(2", -42}};
  for (const TCase& c : cases) EXPECT_DOUBLE_EQ(number->TextToValue(c.text), c.value) << c.text;
}

TEST_F(NumericEditTest, ValuesAreWrittenInTheDisplayFormat) {
  struct TCase {
    std::string format;
    double value;
    std::string text;
  } cases[] = {{",0;(,0)", 1234, "1,234"},      {",0;(,0)", -1234, "(1,234)"}, {",0;(,0)", 0, "0"},
               {",0;(,0)", 1234.6, "1,235"},    {"0", 20000, "20000"},
               {"0.00", 2.5, Dec("2.50")}};
  for (const TCase& c : cases) {
    number->SetDisplayFormat(c.format);
    number->SetValue(c.value);
    EXPECT_EQ(number->Text(), c.text) << c.format << " " << c.value;
  }
  // A format change writes the value again.
  number->SetDisplayFormat(",0;(,0)");
  number->SetValue(-5000);
  number->SetDisplayFormat("0");
  EXPECT_EQ(number->Text(), "-5000");
}

TEST_F(NumericEditTest, OnlyNumbersCanBeTyped) {
  struct TCase {
    std::string text;
    int selStart, selLength;
    bool integersOnly;
    char key;
    bool accepted;
  } cases[] = {
      {"12", 2, 0, true, 'a', false},      {"12", 2, 0, true, '7', true},
      {"12", 2, 0, true, '\r', false},     {"12", 2, 0, true, '\b', true},
      {"12", 2, 0, true, '.', false},      // the separator while IntegersOnly (see below)
      {"5", 0, 0, true, '-', true},        {"5", 1, 0, true, '-', false},
      {"-5", 0, 0, true, '7', false},      {"-5", 0, 0, true, '\b', false},
      {"-5", 1, 0, true, '7', true},       {"-5", 0, 2, true, '+', true},
      {"-5", 0, 1, true, '+', true},       {"5-", 0, 1, true, '+', false},
      {"-5", 0, 0, true, '+', false},      {"", 0, 0, true, '-', true},
  };
  for (const TCase& c : cases) {
    number->SetIntegersOnly(c.integersOnly);
    number->SetText(c.text);
    number->SetSelStart(c.selStart);
    number->SetSelLength(c.selLength);
    EXPECT_EQ(number->IsValidKey(c.key), c.accepted)
        << "'" << c.key << "' into \"" << c.text << "\" at " << c.selStart << "+" << c.selLength;
  }

  const char sep = FormatSettings.DecimalSeparator;
  number->SetIntegersOnly(true);
  number->SetText("12");
  number->SetSelStart(1);
  EXPECT_FALSE(number->IsValidKey(sep)) << "IntegersOnly refuses the separator";
  number->SetIntegersOnly(false);
  EXPECT_TRUE(number->IsValidKey(sep));
  number->SetText(Dec("1.5"));
  number->SetSelStart(3);
  EXPECT_FALSE(number->IsValidKey(sep)) << "a second separator";
  number->SetSelStart(0);
  number->SetSelLength(2);
  EXPECT_TRUE(number->IsValidKey(sep)) << "replacing the one there";
  number->SetSelStart(2);
  number->SetSelLength(1);
  EXPECT_FALSE(number->IsValidKey(sep)) << "a selection without it";

  // Typed through the window: the letter is refused, the digit taken.
  number->SetIntegersOnly(true);
  number->SetFocus();
  Pump();
  number->SetText("12");
  number->SetSelStart(2);
  for (char ch : std::string("a3"))
    PostMessageA(number->Handle(), WM_CHAR, static_cast<unsigned char>(ch), 1);
  Pump();
  EXPECT_EQ(number->Text(), "123");
}

TEST_F(NumericEditTest, LeavingTheEditBringsTheValueIntoRange) {
  number->SetMin(1);
  number->SetMax(10);
  TEventLog exits;
  number->OnExit = [&](TObject*) { exits.Note(number->Text()); };

  EnterTypeAndLeave("");
  EXPECT_EQ(number->Text(), "1") << "empty: the minimum";
  EnterTypeAndLeave("50");
  EXPECT_EQ(number->Text(), "10");
  EXPECT_TRUE(number->ValueModified());
  EXPECT_DOUBLE_EQ(number->FieldValue(), 10);
  EnterTypeAndLeave("(7)");
  EXPECT_EQ(number->Text(), "1");
  EnterTypeAndLeave("7");
  EXPECT_EQ(number->Text(), "7");
  EXPECT_EQ(exits, (TEvents{"1", "10", "1", "7"})) << "OnExit sees the corrected text";
  EXPECT_TRUE(other->Focused());
}

TEST_F(NumericEditTest, AHandlerThatKeepsTheValueKeepsTheFocus) {
  number->SetMax(10);
  std::vector<std::pair<double, double>> errors;
  bool correct = false;
  number->OnRangeError = [&](TObject*, double entered, double adjusted, bool& autoCorrect) {
    errors.emplace_back(entered, adjusted);
    autoCorrect = correct;
  };
  int exits = 0;
  number->OnExit = [&](TObject*) { ++exits; };
  EnterTypeAndLeave("50");
  EXPECT_EQ(number->Text(), "50");
  EXPECT_TRUE(number->Focused());
  EXPECT_EQ(exits, 0);
  EXPECT_EQ(errors, (std::vector<std::pair<double, double>>{{50, 10}}));

  correct = true;
  other->SetFocus();
  Pump();
  EXPECT_EQ(number->Text(), "10");
  EXPECT_TRUE(other->Focused());
  EXPECT_EQ(exits, 1);

  number->SetMin(-3);
  correct = false;
  EnterTypeAndLeave("-8");
  EXPECT_EQ(errors.back(), (std::pair<double, double>{-8, -3}));
  EXPECT_TRUE(number->Focused());
}

TEST_F(NumericEditTest, ARangeOfZeroToZeroChecksNothingUnlessAsked) {
  EnterTypeAndLeave("50");
  EXPECT_EQ(number->Text(), "50");
  number->SetCheckRange(true);
  EnterTypeAndLeave("50");
  EXPECT_EQ(number->Text(), "0");
}

TEST_F(NumericEditTest, ABlankTextIsKeptWhenAllowed) {
  number->SetMin(1);
  number->SetMax(10);
  number->SetAllowBlank(true);
  number->SetBlankValue(5);
  EnterTypeAndLeave("");
  EXPECT_EQ(number->Text(), "");
  EXPECT_DOUBLE_EQ(number->Value(), 5);

  number->SetAllowBlank(false);
  EXPECT_DOUBLE_EQ(number->Value(), 1);
  EXPECT_EQ(number->Text(), "1") << "read empty, the value is the minimum and shows";
}

TEST_F(NumericEditTest, MinAndMaxPushEachOtherAlong) {
  number->SetMin(5);
  EXPECT_DOUBLE_EQ(number->Max(), 5);
  number->SetMax(20);
  number->SetMax(2);
  EXPECT_DOUBLE_EQ(number->Min(), 2);
  number->SetMin(30);
  EXPECT_DOUBLE_EQ(number->Max(), 30);
}

TEST_F(NumericEditTest, TheIntegerViewRoundsAndStaysWithin32Bits) {
  number->SetIntegersOnly(false);
  struct TCase {
    std::string text;
    int value;
  } cases[] = {{"99999999999", INT_MAX}, {"(99999999999)", INT_MIN}, {"2147483647", INT_MAX},
               {"-2147483648", INT_MIN}, {Dec("2.75"), 3},
               {"123456789012345678901234", INT_MAX}};
  for (const TCase& c : cases) {
    number->SetText(c.text);
    EXPECT_EQ(number->IntValue(), c.value) << c.text;
  }
  number->SetIntValue(-42);
  EXPECT_EQ(number->Text(), "(42)");

  number->SetText(Dec("2.75"));
  number->SetIntegersOnly(true);
  EXPECT_EQ(number->Text(), "3") << "switching IntegersOnly on rounds the value";
}

TEST_F(NumericEditTest, PastingIsRefusedWhileReadOnly) {
  ASSERT_TRUE(OpenClipboard(number->Handle()));
  EmptyClipboard();
  const char text[] = "(1,234)";
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof(text));
  memcpy(GlobalLock(memory), text, sizeof(text));
  GlobalUnlock(memory);
  SetClipboardData(CF_TEXT, memory);
  CloseClipboard();

  number->SetText("");
  SendMessageA(number->Handle(), WM_PASTE, 0, 0);
  EXPECT_EQ(number->Text(), "(1,234)");
  EXPECT_DOUBLE_EQ(number->Value(), -1234);
  number->SetReadOnly(true);
  number->SetText("5");
  SendMessageA(number->Handle(), WM_PASTE, 0, 0);
  EXPECT_EQ(number->Text(), "5");
}

TEST_F(NumericEditTest, ALayoutSetsTheValueWithoutChangeEventsAndStoresNoText) {
  std::unique_ptr<TForm> window(TForm::CreateNew<TForm>(nullptr));
  ReadLayout(window.get(), R"({ "class": "TForm", "children": [
      { "class": "TFcNumericEdit", "name": "Frames", "properties": {
          "Value": 1234, "DisplayFormat": "0", "CheckRange": true, "Min": 0, "Max": 20000,
          "BlankValue": 1 } } ] })");
  auto* frames = dynamic_cast<TFcNumericEdit*>(window->FindComponent("Frames"));
  ASSERT_NE(frames, nullptr);
  EXPECT_EQ(frames->Text(), "1234");
  EXPECT_DOUBLE_EQ(frames->Max(), 20000);
  EXPECT_TRUE(frames->CheckRange());
  EXPECT_DOUBLE_EQ(frames->FieldValue(), 1234);
  std::string written = WriteLayout(window.get());
  EXPECT_EQ(written.find("\"Text\""), std::string::npos);
  EXPECT_NE(written.find("\"Value\": 1234"), std::string::npos);
  EXPECT_EQ(written.find("Alignment"), std::string::npos) << "right-aligned is its default";
}
