// The spin edit and its buttons: the range, the value's reading and rounding, the keys it
// takes, stepping by buttons, keys and wheel, leaving it, and where its buttons go.
#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "ControlsTestSupport.h"
#include "TestSupport.h"
#include "controls/FcSpnEdt.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"

namespace {

// A spin edit that counts its refusals instead of beeping.
class TCountingSpin : public TFcSpinEdit {
 public:
  using TFcSpinEdit::TFcSpinEdit;
  int beeps = 0;

 protected:
  void BeepInvalidKey() override { ++beeps; }
};

}  // namespace

TEST(SpinEdit, TheRangeLimitsTheValueUnlessMinEqualsMaxWithoutCheckRange) {
  TFcSpinEdit spin(nullptr);
  struct TCase {
    double min, max;
    bool checkRange;
    double value, expected;
  } cases[] = {
      {0, 0, false, 1e6, 1e6}, {0, 0, true, 5, 0}, {1, 10, false, 0, 1}, {1, 10, false, 11, 10},
      {1, 10, false, 5.5, 5.5}, {-3, 3, true, -7, -3},
  };
  for (const TCase& c : cases) {
    spin.SetMin(c.min);
    spin.SetMax(c.max);
    spin.SetMin(c.min);
    spin.SetCheckRange(c.checkRange);
    EXPECT_EQ(spin.CheckValue(c.value), c.expected) << c.min << ".." << c.max << " " << c.value;
  }
  // Each end pushes the other along.
  spin.SetMin(1);
  spin.SetMax(10);
  spin.SetMax(-5);
  EXPECT_EQ(spin.Min(), -5);
  spin.SetMin(20);
  EXPECT_EQ(spin.Max(), 20);

  // No range: stepping goes past any bound; CheckRange then limits to the one value.
  spin.SetCheckRange(false);
  spin.SetMin(0);
  spin.SetMax(0);
  spin.SetValue(0);
  for (int i = 0; i < 3; ++i) spin.IncValue(1000);
  EXPECT_EQ(spin.Value(), 3000);
  spin.SetCheckRange(true);
  EXPECT_EQ(spin.Value(), 0);
}

TEST(SpinEdit, TheValueIsReadFromTheTextAndRoundedForIntValue) {
  TFcSpinEdit spin(nullptr);
  spin.SetMin(-10);
  spin.SetIntegersOnly(false);
  spin.SetDecimals(1);
  struct TCase {
    double value;
    int expected;
  } rounded[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {7.2, 7}};
  for (const TCase& c : rounded) {
    spin.SetValue(c.value);
    EXPECT_EQ(spin.IntValue(), c.expected) << c.value;
  }
  spin.SetValue(3.25);
  EXPECT_EQ(spin.Text(), "3.3");
  // Without a range any number can be held; IntValue stops at the ends of its range.
  spin.SetMin(0);
  spin.SetMax(0);
  spin.SetValue(1e12);
  EXPECT_EQ(spin.IntValue(), INT_MAX);
  spin.SetValue(-1e12);
  EXPECT_EQ(spin.IntValue(), INT_MIN);

  // A text that is not a number reads as Min; an empty one becomes Min, or with AllowBlank
  // reads as BlankValue.
  spin.SetMin(-4);
  spin.SetMax(4);
  spin.SetText("abc");
  EXPECT_EQ(spin.Value(), -4);
  spin.SetText("");
  EXPECT_EQ(spin.Value(), -4);
  EXPECT_EQ(spin.Text(), "-4");
  spin.SetAllowBlank(true);
  spin.SetBlankValue(2);
  spin.SetText("");
  EXPECT_EQ(spin.Value(), 2);
  EXPECT_EQ(spin.Text(), "");

  // IntegersOnly rounds the value and takes the decimals away.
  spin.SetValue(1.5);
  spin.SetIntegersOnly(true);
  EXPECT_EQ(spin.Decimals(), 0);
  EXPECT_EQ(spin.Text(), "2");
}

namespace {

class SpinInWindow : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterControlLibrary();
    form = TForm::CreateNew<TForm>(nullptr);
    form->SetBounds(60, 60, 300, 160);
    other = new TEdit(form);
    other->SetParent(form);
    other->SetBounds(8, 100, 100, 22);
    form->Show();
    Pump();
  }
  static void TearDownTestSuite() {
    delete form;
    form = nullptr;
  }
  void SetUp() override {
    spin = new TCountingSpin(form);
    spin->SetParent(form);
    spin->SetBounds(8, 8, 80, 22);
    spin->SetFocus();
    Pump();
  }
  void TearDown() override { delete spin; }

  void Char(char ch) { SendMessageA(spin->Handle(), WM_CHAR, static_cast<unsigned char>(ch), 1); }
  void Key(WORD vk, bool ctrl = false) {
    BYTE keys[256], held[256];
    GetKeyboardState(keys);
    memcpy(held, keys, sizeof(keys));
    if (ctrl) held[VK_CONTROL] = 0x80;
    SetKeyboardState(held);
    SendMessageA(spin->Handle(), WM_KEYDOWN, vk, 1);
    SetKeyboardState(keys);
  }
  void Wheel(int notches, bool ctrl = false) {
    POINT p = spin->ClientToScreen(POINT{5, 5});
    SendMessageA(spin->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(ctrl ? MK_CONTROL : 0, WHEEL_DELTA * notches),
                 MAKELPARAM(p.x, p.y));
  }

  static TForm* form;
  static TEdit* other;
  TCountingSpin* spin = nullptr;
};
TForm* SpinInWindow::form = nullptr;
TEdit* SpinInWindow::other = nullptr;

}  // namespace

TEST_F(SpinInWindow, OnlyNumbersInTheirPlaceCanBeTyped) {
  struct TCase {
    const char* text;
    int start, length;
    char key;
    bool integersOnly, allowKeyEdit, accepted;
  } cases[] = {
      {"12", 2, 0, 'a', true, true, false},   {"5", 1, 0, '-', true, true, false},
      {"5", 0, 1, '-', true, true, true},     {"12", 0, 0, '-', true, true, true},
      {"1.5", 3, 0, '.', false, true, false}, {"1.5", 1, 2, '.', false, true, true},
      {"1", 1, 0, '.', true, true, false},    {"12", 2, 0, '3', true, true, true},
      {"12", 2, 0, '3', true, false, false},  {"12", 2, 0, '\b', true, false, false},
      {"12", 2, 0, '\b', true, true, true},
  };
  for (const TCase& c : cases) {
    spin->SetIntegersOnly(c.integersOnly);
    spin->SetAllowKeyEdit(c.allowKeyEdit);
    spin->SetText(c.text);
    spin->SetSelStart(c.start);
    spin->SetSelLength(c.length);
    int beeps = spin->beeps;
    Char(c.key);
    bool changed = spin->Text() != c.text;
    EXPECT_EQ(changed, c.accepted) << c.text << " + '" << c.key << "'";
    EXPECT_EQ(spin->beeps - beeps, c.accepted ? 0 : 1) << c.text << " + '" << c.key << "'";
  }
  // Without AllowKeyEdit neither Delete nor a paste changes the text.
  spin->SetAllowKeyEdit(false);
  spin->SetText("42");
  spin->SelectAll();
  Key(VK_DELETE);
  SendMessageA(spin->Handle(), WM_CUT, 0, 0);
  EXPECT_EQ(spin->Text(), "42");
}

TEST_F(SpinInWindow, ButtonsKeysAndTheWheelStepWithinTheRange) {
  spin->SetMin(0);
  spin->SetMax(25);
  std::vector<TSpinButtonType> clicks;
  spin->OnButtonClick = [&](TObject*, TSpinButtonType b) { clicks.push_back(b); };
  Key(VK_UP);
  EXPECT_EQ(spin->Value(), 1);
  Key(VK_PRIOR);
  EXPECT_EQ(spin->Value(), 11);
  Wheel(1, true);
  EXPECT_EQ(spin->Value(), 21);
  Wheel(1, true);
  EXPECT_EQ(spin->Value(), 25);
  Wheel(-1);
  Key(VK_DOWN);
  EXPECT_EQ(spin->Value(), 23);
  Key(VK_NEXT);
  EXPECT_EQ(spin->Value(), 13);
  EXPECT_EQ(clicks, (std::vector<TSpinButtonType>{sbUp, sbUp, sbUp, sbUp, sbDown, sbDown, sbDown}));

  // The buttons themselves.
  TFcControlButton* up = spin->GetButton(sbUp);
  MouseClick(up, up->Width() / 2, up->Height() / 2);
  EXPECT_EQ(spin->Value(), 14);
  TFcControlButton* down = spin->GetButton(sbDown);
  MouseClick(down, down->Width() / 2, down->Height() / 2);
  EXPECT_EQ(spin->Value(), 13);

  // OnChanging may stop a step: no value change and no click event.
  clicks.clear();
  spin->OnChanging = [](TObject*, bool& allow) { allow = false; };
  Key(VK_UP);
  Wheel(1);
  EXPECT_EQ(spin->Value(), 13);
  EXPECT_TRUE(clicks.empty());

  // A read-only edit refuses with a beep.
  spin->OnChanging = nullptr;
  spin->SetReadOnly(true);
  Key(VK_UP);
  EXPECT_EQ(spin->Value(), 13);
  EXPECT_EQ(spin->beeps, 1);
}

TEST_F(SpinInWindow, AHeldButtonRepeatsItsStep) {
  spin->SetMax(1000);
  TFcControlButton* up = spin->GetButton(sbUp);
  HWND pair = spin->Buttons()->Handle();
  LPARAM at = MAKELPARAM(up->Left() + up->Width() / 2, up->Top() + up->Height() / 2);
  SendMessageA(pair, WM_LBUTTONDOWN, MK_LBUTTON, at);
  DWORD start = GetTickCount();
  LoopUntil([&] { return GetTickCount() - start > 700; }, 2000);
  SendMessageA(pair, WM_LBUTTONUP, 0, at);
  // 400 ms to the first repeat, then every 100 ms, and the release's own click.
  EXPECT_GE(spin->Value(), 3);
}

TEST_F(SpinInWindow, LeavingTheEditWritesTheValueBack) {
  spin->SetMin(3);
  spin->SetMax(9);
  spin->SetText("");
  other->SetFocus();
  Pump();
  EXPECT_EQ(spin->Text(), "3");

  spin->SetFocus();
  Pump();
  spin->SetText("12");
  other->SetFocus();
  Pump();
  EXPECT_EQ(spin->Text(), "9");

  spin->SetAllowBlank(true);
  spin->SetFocus();
  Pump();
  spin->SetText("");
  other->SetFocus();
  Pump();
  EXPECT_EQ(spin->Text(), "");
}

TEST_F(SpinInWindow, TheButtonsSitAtTheRightEdgeAndTheTextKeepsClearOfThem) {
  spin->SetWidth(47);
  Pump();
  TFcSpinButtons* buttons = spin->Buttons();
  int W = spin->Width(), H = spin->Height(), w = 17;
  ASSERT_EQ(buttons->Width(), w);
  // With the 3-D look: inside the border, placed for the look in use.
  if (ThemeServicesEnabled()) {
    EXPECT_EQ(buttons->Left(), W - w - 3);
    EXPECT_EQ(buttons->Top(), -1);
    EXPECT_EQ(buttons->Height(), H - 1);
  } else {
    EXPECT_EQ(buttons->Left(), W - w - 4);
    EXPECT_EQ(buttons->Height(), H - 3);
  }
  int h = buttons->Height();
  EXPECT_EQ(spin->GetButton(sbUp)->Height(), h / 2);
  EXPECT_EQ(spin->GetButton(sbDown)->Top(), h / 2);
  EXPECT_EQ(spin->GetButton(sbDown)->Height(), h - h / 2 - 1);
  LRESULT margins = SendMessageA(spin->Handle(), EM_GETMARGINS, 0, 0);
  EXPECT_EQ(LOWORD(margins), 0);
  EXPECT_EQ(HIWORD(margins), w + 2);

  spin->SetButtonWidth(-3);
  EXPECT_EQ(spin->ButtonWidth(), 0);
  spin->SetButtonWidth(12);
  spin->SetOrientation(orHorizontal);
  EXPECT_EQ(buttons->Width(), 24);
  EXPECT_EQ(spin->GetButton(sbDown)->Left(), 0);
  EXPECT_EQ(spin->GetButton(sbUp)->Left(), 12);
  EXPECT_EQ(HIWORD(SendMessageA(spin->Handle(), EM_GETMARGINS, 0, 0)), 26);
}

TEST_F(SpinInWindow, AnEditKeptLowerThanItsFontStillPlacesItsButtons) {
  spin->Constraints()->SetMaxHeight(10);
  spin->SetBounds(8, 8, 80, 10);
  Pump();
  EXPECT_EQ(spin->Height(), 10);
  EXPECT_EQ(spin->Buttons()->Left(), spin->Width() - 17 - (ThemeServicesEnabled() ? 3 : 4));
  spin->Constraints()->SetMaxHeight(0);
}
