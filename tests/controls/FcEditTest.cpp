// The framed edit and memo: their frames by state in both looks, colours by state, Enter as
// Tab, the drop-down button in the border, the validation hook, and the memo's caret line and
// column, notifications and wheel.
#include <gtest/gtest.h>

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

const char* const kLayout = R"({
  "class": "TForm", "name": "EditForm",
  "properties": { "Caption": "Edits", "Left": 60, "Top": 60, "ClientWidth": 360, "ClientHeight": 260 },
  "children": [
    { "class": "TFcEdit", "name": "First",
      "properties": { "Left": 10, "Top": 10, "Width": 150, "Text": "first", "TabOnEnter": true } },
    { "class": "TFcEdit", "name": "Second",
      "properties": { "Left": 10, "Top": 40, "Width": 150, "Text": "second", "Alignment": "taCenter" } },
    { "class": "TFcMemo", "name": "Notes",
      "properties": { "Left": 10, "Top": 80, "Width": 200, "Height": 60, "Lines": ["ab", "cde"] } },
    { "class": "TEdit", "name": "Last", "properties": { "Left": 10, "Top": 160, "Width": 150 } }
  ]
})";

class EditTest : public testing::Test {
 protected:
  void SetUp() override {
    RegisterControlLibrary();
    form.reset(TForm::CreateNew<TForm>(nullptr));
    ReadLayout(form.get(), kLayout);
    first = Get<TFcEdit>("First");
    second = Get<TFcEdit>("Second");
    memo = Get<TFcMemo>("Notes");
    last = Get<TEdit>("Last");
    form->Show();
    Pump();
  }
  template <class T>
  T* Get(const char* name) {
    auto* c = dynamic_cast<T*>(form->FindComponent(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
  }
  void Focus(TWinControl* control) {
    control->SetFocus();
    Pump();
  }
  // Enter as the keyboard gives it: the key, whose character the message loop makes.
  void PressEnter(TWinControl* control) {
    PostMessageA(control->Handle(), WM_KEYDOWN, VK_RETURN, 1);
    Pump(6);
  }

  std::unique_ptr<TForm> form;
  TFcEdit* first = nullptr;
  TFcEdit* second = nullptr;
  TFcMemo* memo = nullptr;
  TEdit* last = nullptr;
};

// A pixel of the control's window, border included, as the screen shows it now.
COLORREF WindowPixel(TWinControl* control, int x, int y) {
  RedrawWindow(control->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  Pump();
  TWindowDC dc(control->Handle(), true);
  return GetPixel(dc, x, y);
}

// The frame's two outer pixels halfway down the left side, in each state of a framed control
// (the edit or the memo).
template <class C>
void CheckFramesByState(C* control, TWinControl* elsewhere) {
  control->SetColor(clYellow);
  control->SetFocusColor(clAqua);
  control->SetDisabledColor(clSilver);
  control->SetFrameColor(clRed);
  control->SetFrameHotColor(clBlue);
  control->SetFrameHotTrack(true);
  control->SetFrameStyle(fsFlat);
  control->SetFramingPreference(fpCustomFraming);
  ASSERT_TRUE(control->FrameVisible());
  const int y = control->Height() / 2;
  const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255), yellow = RGB(255, 255, 0);
  elsewhere->SetFocus();
  Pump();

  {
    TStylesScope styles(TVisualStyles::vsOff);
    EXPECT_EQ(WindowPixel(control, 0, y), red) << "at rest: the flat frame";
    EXPECT_EQ(WindowPixel(control, 1, y), yellow) << "inside it, the control's colour";

    control->SetFocus();
    Pump();
    EXPECT_EQ(WindowPixel(control, 0, y), blue) << "focused: the hot frame, two pixels bold";
    EXPECT_EQ(WindowPixel(control, 1, y), blue);
    EXPECT_EQ(control->Color(), clAqua);

    elsewhere->SetFocus();
    Pump();
    EXPECT_EQ(WindowPixel(control, 1, y), yellow);
    control->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(control));
    EXPECT_EQ(WindowPixel(control, 0, y), blue) << "the mouse over it";
    control->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(control));
    EXPECT_EQ(WindowPixel(control, 0, y), red);

    control->SetEnabled(false);
    EXPECT_EQ(WindowPixel(control, 1, y), RGB(192, 192, 192)) << "disabled: DisabledColor";
    EXPECT_EQ(WindowPixel(control, 0, y), red);
    control->SetEnabled(true);
  }
  {
    TStylesScope styles(TVisualStyles::vsOn);
    EXPECT_EQ(WindowPixel(control, 0, y), red) << "custom framing also with styles on";
    control->SetFramingPreference(fpXPThemes);
    EXPECT_NE(WindowPixel(control, 0, y), red) << "styles on: the system's border, no frame of its own";
    EXPECT_NE(WindowPixel(control, 1, y), yellow);
  }
}

}  // namespace

TEST_F(EditTest, TheEditFramesItselfByStateWithStylesOffAndLeavesTheBorderToTheStylesOn) {
  CheckFramesByState(first, last);
}

TEST_F(EditTest, TheMemoFramesItselfByStateLikeTheEdit) { CheckFramesByState(memo, last); }

TEST_F(EditTest, TheFramePaintedOnABitmapFollowsColourAndStyle) {
  TBitmap shot(40, 20);
  FillBitmap(shot, clLime);
  second->SetFrameColor(clRed);
  second->SetFrameStyle(fsGroove);
  second->SetColor(clWindow);
  second->PaintFrame(shot.Canvas(), 40, 20);
  EXPECT_EQ(PixelAt(shot, 0, 10), AsPainted(shot, clBtnShadow)) << "clWindow: the system's groove";
  second->SetColor(RGB(255, 255, 255));
  second->PaintFrame(shot.Canvas(), 40, 20);
  EXPECT_EQ(PixelAt(shot, 0, 10), AsPainted(shot, DarkenColor(RGB(255, 255, 255), 50)))
      << "any other colour: shades of it";
  EXPECT_EQ(PixelAt(shot, 20, 10), RGB(0, 255, 0)) << "the client area is left alone";
}

TEST_F(EditTest, EnterMovesOnWithTabOnEnterAndTypesNothing) {
  Focus(first);
  ASSERT_TRUE(first->Focused());
  first->SetSelStart(2);
  PressEnter(first);
  EXPECT_TRUE(second->Focused());
  EXPECT_EQ(first->Text(), "first");

  // Without it the focus stays.
  PressEnter(second);
  EXPECT_TRUE(second->Focused());
  EXPECT_EQ(second->Text(), "second");

  memo->SetTabOnEnter(true);
  Focus(memo);
  PressEnter(memo);
  EXPECT_TRUE(last->Focused());
  EXPECT_EQ(memo->Text(), "ab\r\ncde");
}

TEST_F(EditTest, AlignmentMakesTheWindowAgainWithItsStyle) {
  EXPECT_EQ(GetWindowLongPtrA(second->Handle(), GWL_STYLE) & (ES_CENTER | ES_RIGHT), ES_CENTER);
  HWND old = second->Handle();
  second->SetAlignment(taRightJustify);
  EXPECT_NE(second->Handle(), old);
  EXPECT_EQ(GetWindowLongPtrA(second->Handle(), GWL_STYLE) & (ES_CENTER | ES_RIGHT), ES_RIGHT);
  EXPECT_EQ(second->Text(), "second");
}

TEST_F(EditTest, AStoredLayoutKeepsItsSidesWithHotTrackingAndReadsTheOldFrameNames) {
  std::unique_ptr<TForm> other(TForm::CreateNew<TForm>(nullptr));
  ReadLayout(other.get(), R"({ "class": "TForm", "children": [
      { "class": "TFcEdit", "name": "Path", "properties": {
          "FrameSides": ["sdLeft"], "FrameHotTrack": true, "FrameFocusStyle": "fsGroove",
          "ReadOnly": true, "MaxLength": 60 } },
      { "class": "TFcMemo", "name": "Info", "properties": { "FrameFlat": true, "WordWrap": false } } ] })");
  auto* path = dynamic_cast<TFcEdit*>(other->FindComponent("Path"));
  auto* info = dynamic_cast<TFcMemo*>(other->FindComponent("Info"));
  ASSERT_NE(path, nullptr);
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(path->FrameSides(), TSides{sdLeft});
  EXPECT_TRUE(path->FrameVisible());
  EXPECT_EQ(path->FrameHotStyle(), fsGroove);
  EXPECT_TRUE(path->ReadOnly());
  EXPECT_EQ(path->MaxLength(), 60);
  EXPECT_TRUE(info->FrameHotTrack());
  EXPECT_EQ(info->FrameStyle(), fsStatus);
  EXPECT_FALSE(info->WordWrap());

  std::string written = WriteLayout(other.get());
  EXPECT_EQ(written.find("FrameFocusStyle"), std::string::npos);
  EXPECT_NE(written.find("\"FrameHotStyle\": \"fsGroove\""), std::string::npos);
}

TEST_F(EditTest, TheValidationHookRaisesOnlyWithAMessage) {
  first->ValidateError();
  first->OnValidateError = [](TObject*, std::string&) {};
  first->ValidateError();
  first->OnValidateError = [](TObject*, std::string& message) { message = "Not a path"; };
  try {
    first->ValidateError();
    FAIL() << "no error raised";
  } catch (const EEditError& e) {
    EXPECT_EQ(e.Message(), "Not a path");
  }
}

namespace {

// An edit that shows its drop-down button, as the controls built on the edit do.
class TDropDownEdit : public TFcEdit {
 public:
  using TFcEdit::TFcEdit;
  using TFcEdit::ButtonRect;
  using TFcEdit::ButtonState;
  using TFcEdit::SetButtonVisible;
};

}  // namespace

TEST_F(EditTest, TheDropDownButtonTakesItsStripOfTheBorderAndFiresItsEvents) {
  TStylesScope styles(TVisualStyles::vsOff);
  auto* edit = new TDropDownEdit(form.get());
  edit->SetParent(form.get());
  edit->SetBounds(200, 10, 120, 25);
  const int plain = edit->ClientWidth();
  edit->SetButtonVisible(true);
  EXPECT_EQ(edit->ClientWidth(), plain - GetSystemMetrics(SM_CXVSCROLL));

  TEventLog events;
  edit->OnDropDown = [&](TObject*) {
    events.Note(edit->ButtonState() == dbsDown ? "drop down (button down)" : "drop down");
  };
  edit->OnCloseUp = events.Noter("close up");
  RECT button = edit->ButtonRect();
  RECT window;
  GetWindowRect(edit->Handle(), &window);
  POINT screen{window.left + (button.left + button.right) / 2, window.top + (button.top + button.bottom) / 2};
  EXPECT_EQ(SendMessageA(edit->Handle(), WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)), HTCLIENT);
  POINT client = screen;
  ScreenToClient(edit->Handle(), &client);
  SendMessageA(edit->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.x, client.y));
  SendMessageA(edit->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
  EXPECT_EQ(events, (TEvents{"drop down (button down)", "close up"}));
  EXPECT_EQ(edit->ButtonState(), dbsUp);
  EXPECT_TRUE(edit->Focused());

  events.Clear();
  PostMessageA(edit->Handle(), WM_SYSKEYDOWN, VK_DOWN, 0x20000001);
  Pump();
  EXPECT_EQ(events.Size(), 2u) << "Alt+Down drops it down too";

  // The text area does not open it.
  events.Clear();
  SendMessageA(edit->Handle(), WM_NCHITTEST, 0, MAKELPARAM(window.left + 8, screen.y));
  SendMessageA(edit->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
  SendMessageA(edit->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
  EXPECT_TRUE(events.Empty());
}

// ---- Memo ---------------------------------------------------------------------------------------

TEST_F(EditTest, TheMemoReportsTheCaretsLineAndColumn) {
  std::vector<std::pair<int, int>> reports;
  std::vector<bool> selections;
  memo->OnLineColChange = [&](TObject*, int line, int column) { reports.emplace_back(line, column); };
  memo->OnClipboardChange = [&](TObject*, bool hasSelection, bool) { selections.push_back(hasSelection); };
  memo->SetSelStart(5);
  EXPECT_EQ(memo->Line(), 2);
  EXPECT_EQ(memo->Column(), 2);
  memo->SetSelStart(4);
  EXPECT_EQ(memo->Column(), 1);

  memo->SetColumn(4);
  EXPECT_EQ(memo->SelStart(), 7) << "the end of \"cde\"";
  EXPECT_EQ(reports.back(), std::make_pair(2, 4));
  EXPECT_FALSE(selections.empty()) << "the clipboard state follows every report";
  size_t count = reports.size();
  for (int column : {5, 9, 0, -3}) {
    memo->SetColumn(column);
    EXPECT_EQ(memo->SelStart(), 7) << column;
  }
  EXPECT_EQ(reports.size(), count) << "ignored columns report nothing";

  for (int line : {0, 3, -1}) {
    memo->SetLine(line);
    EXPECT_EQ(memo->SelStart(), 7) << line;
  }
  memo->SetLine(1);
  EXPECT_EQ(memo->SelStart(), 0);

  // Typing reports the new place.
  Focus(memo);
  memo->SetSelStart(2);
  PostMessageA(memo->Handle(), WM_CHAR, 'x', 1);
  Pump();
  EXPECT_EQ(memo->Text(), "abx\r\ncde");
  EXPECT_EQ(reports.back(), std::make_pair(1, 4));

  // With a selection the caret's end counts.
  memo->SetSelStart(1);
  memo->SetSelLength(5);
  EXPECT_EQ(memo->Line(), 2);
  EXPECT_EQ(memo->Column(), 2);
}

TEST_F(EditTest, TheWheelScrollsTheMemoALineANotchOrTheSystemsLinesWithCtrl) {
  std::vector<std::string> lines;
  for (int i = 1; i <= 40; ++i) lines.push_back("line " + std::to_string(i));
  memo->SetLineList(lines);
  auto wheel = [](int keys, int delta) { return MAKEWPARAM(keys, static_cast<WORD>(static_cast<short>(delta))); };
  auto top = [&] { return static_cast<int>(SendMessageA(memo->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0)); };
  ASSERT_EQ(top(), 0);
  EXPECT_NE(SendMessageA(memo->Handle(), WM_MOUSEWHEEL, wheel(0, -WHEEL_DELTA), 0), 0);
  EXPECT_EQ(top(), 1);
  UINT system = 0;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &system, 0);
  SendMessageA(memo->Handle(), WM_MOUSEWHEEL, wheel(MK_CONTROL, -2 * WHEEL_DELTA), 0);
  EXPECT_EQ(top(), 1 + 2 * static_cast<int>(system));
  SendMessageA(memo->Handle(), WM_MOUSEWHEEL, wheel(0, WHEEL_DELTA), 0);
  EXPECT_EQ(top(), 2 * static_cast<int>(system));

  bool asked = false;
  memo->OnMouseWheel = [&](TObject*, TShiftState, int, POINT, bool& handled) { asked = handled = true; };
  SendMessageA(memo->Handle(), WM_MOUSEWHEEL, wheel(0, -WHEEL_DELTA), 0);
  EXPECT_TRUE(asked);
  EXPECT_EQ(top(), 2 * static_cast<int>(system)) << "a handler that takes the wheel keeps it";
}
