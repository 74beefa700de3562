#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "ControlTestClasses.h"
#include "ControlTestSupport.h"
#include "TestSupport.h"
#include "platform/Layout.h"
#include "platform/StartupTrace.h"
#include "platform/Timer.h"

namespace {

// A key pressed on the focused window, through the application's loop as a user's would.
void Key(WORD vk) {
  HWND focus = GetFocus();
  PostMessageA(focus, WM_KEYDOWN, vk, 1);
  PostMessageA(focus, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001));
  Pump();
}

// One form from the stored layout "TCTLFORM", shown for the whole suite: every top-level
// window that goes costs seconds under a display without a window manager.
class FormFromLayout : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterControlTestClasses();
    form = TForm::Create<TCtlForm>(nullptr);
    form->Show();
    Pump(5);
  }
  static void TearDownTestSuite() {
    delete form;
    form = nullptr;
  }
  void SetUp() override {
    form->SetModalResult(mrNone);
    form->Find<TCtlBox>("NameBox")->SetFocus();
    Pump();
    form->log.Clear();
  }
  template <class T>
  static T* Get(const char* name) {
    T* c = form->Find<T>(name);
    EXPECT_NE(c, nullptr) << name;
    return c;
  }
  static TCtlForm* form;
};
TCtlForm* FormFromLayout::form = nullptr;

}  // namespace

TEST_F(FormFromLayout, BuildsNestedControlsWithTheirPropertiesAndHandlers) {
  EXPECT_EQ(form->created, 1);
  EXPECT_EQ(form->Caption(), "Control test");
  EXPECT_EQ(form->BorderStyle(), bsSingle);
  EXPECT_EQ(form->ClientWidth(), 420);
  EXPECT_EQ(form->ClientHeight(), 300);
  EXPECT_TRUE(IsWindowVisible(form->Handle()));

  auto* top = Get<TCtlPanel>("TopPanel");
  auto* inner = Get<TCtlPanel>("Inner");
  auto* bottom = Get<TCtlPanel>("BottomPanel");
  auto* client = Get<TCtlPanel>("ClientPanel");
  auto* mark = Get<TCtlMark>("Mark");
  auto* box = Get<TCtlBox>("NameBox");
  EXPECT_EQ(mark->Parent(), top);
  EXPECT_EQ(inner->Parent(), top);
  EXPECT_EQ(box->Parent(), client);
  EXPECT_EQ(GetParent(box->Handle()), client->Handle());
  EXPECT_EQ(GetParent(Get<TCtlButton>("InnerButton")->Handle()), inner->Handle());

  // Aligned: the top and bottom strips, the right-hand panel inside the top one, the rest.
  auto bounds = [](TControl* c) {
    return std::vector<int>{c->Left(), c->Top(), c->Width(), c->Height()};
  };
  EXPECT_EQ(bounds(top), (std::vector<int>{0, 0, 420, 60}));
  EXPECT_EQ(bounds(bottom), (std::vector<int>{0, 258, 420, 42}));
  EXPECT_EQ(bounds(client), (std::vector<int>{0, 60, 420, 198}));
  EXPECT_EQ(bounds(inner), (std::vector<int>{280, 0, 140, 60}));

  // Colours and fonts: set, and taken from the parent where the layout says so.
  EXPECT_EQ(client->Color(), clWhite);
  EXPECT_TRUE(client->ParentColor());
  EXPECT_EQ(inner->Font()->Size(), 10);
  EXPECT_TRUE(inner->Font()->Style().Contains(fsBold));
  EXPECT_EQ(Get<TCtlButton>("InnerButton")->Font()->Size(), 10);
  EXPECT_EQ(mark->Cursor(), crHandPoint);
  EXPECT_EQ(form->ActiveControl(), box);
  EXPECT_TRUE(Get<TCtlButton>("OkButton")->Default());
}

TEST_F(FormFromLayout, ReadsBackEqualThroughTheWriter) {
  std::string written = WriteLayout(form);
  std::unique_ptr<TCtlForm> copy(TForm::CreateNew<TCtlForm>(nullptr));
  ReadLayout(copy.get(), written);
  EXPECT_EQ(WriteLayout(copy.get()), written);
  // The nesting survives the round trip.
  EXPECT_EQ(copy->Find<TControl>("NestedMark")->Parent(), copy->Find<TControl>("Nested"));
  EXPECT_NE(written.find("\"Cursor\": \"crHandPoint\""), std::string::npos);
  EXPECT_NE(written.find("\"OnMouseEnter\": \"MarkEnter\""), std::string::npos);
}

TEST_F(FormFromLayout, TabMovesTheFocusInTabOrderWithEnterAndExit) {
  auto* name = Get<TCtlBox>("NameBox");
  ASSERT_TRUE(name->Focused());
  Key(VK_TAB);
  EXPECT_TRUE(Get<TCtlBox>("AgeBox")->Focused());
  EXPECT_EQ(form->log, (TEvents{"exit NameBox", "enter AgeBox"}));
  EXPECT_EQ(Screen->ActiveControl(), Get<TCtlBox>("AgeBox"));

  // Past the box without a tab stop and the disabled one, round to the top panel's button,
  // then the bottom panel's buttons in their own tab order.
  Key(VK_TAB);
  EXPECT_TRUE(Get<TCtlButton>("InnerButton")->Focused());
  Key(VK_TAB);
  EXPECT_TRUE(Get<TCtlButton>("CancelButton")->Focused());
  Key(VK_TAB);
  EXPECT_TRUE(Get<TCtlButton>("OkButton")->Focused());
  Key(VK_TAB);
  EXPECT_TRUE(name->Focused());

  // Shift+Tab goes back.
  BYTE keys[256];
  GetKeyboardState(keys);
  BYTE shifted[256];
  memcpy(shifted, keys, sizeof(keys));
  shifted[VK_SHIFT] = 0x80;
  SetKeyboardState(shifted);
  Key(VK_TAB);
  SetKeyboardState(keys);
  EXPECT_TRUE(Get<TCtlButton>("OkButton")->Focused());
  EXPECT_EQ(form->log.Last(), "exit NameBox");
}

TEST_F(FormFromLayout, EnterPressesTheDefaultButtonAndEscapeTheCancelButton) {
  auto* box = Get<TCtlBox>("NameBox");
  box->keysSeen.clear();
  Key(VK_RETURN);
  EXPECT_EQ(form->log, TEvents{"click OkButton"});
  EXPECT_EQ(form->ModalResult(), mrOk);
  Key(VK_ESCAPE);
  EXPECT_EQ(form->log, (TEvents{"click OkButton", "click CancelButton"}));
  // The dialog keys were used up by the form: the box never saw them.
  EXPECT_TRUE(box->keysSeen.empty());
  // A key the box does want still reaches it.
  Key('X');
  EXPECT_EQ(box->keysSeen, std::vector<WORD>{'X'});
}

TEST_F(FormFromLayout, AltAndALetterPressesTheButtonWithThatAccelerator) {
  SetForegroundWindow(form->Handle());
  Get<TCtlBox>("NameBox")->SetFocus();
  RealKey('I', {VK_MENU});
  EXPECT_EQ(form->log, TEvents{"click InnerButton"});
  RealKey('Q', {VK_MENU});
  EXPECT_EQ(form->log.Size(), 1u);
}

TEST_F(FormFromLayout, AKeyHandlerThatZeroesTheKeyKeepsItFromTheControl) {
  auto* box = Get<TCtlBox>("NameBox");
  box->keysSeen.clear();
  box->typed.clear();
  box->OnKeyDown = [](TObject*, WORD& key, TShiftState) {
    if (key == 'A') key = 0;
  };
  form->SetKeyPreview(true);
  form->OnKeyDown = [](TObject*, WORD& key, TShiftState) {
    if (key == 'C') key = 0;
  };
  form->OnKeyPress = [](TObject*, char& ch) {
    if (ch == 'u') ch = 'U';
  };
  for (WORD k : {'A', 'B', 'C'}) Key(k);
  // The characters of those keys were made before the handlers ran; only a key press
  // handler can keep a character back.
  box->typed.clear();
  PostMessageA(GetFocus(), WM_CHAR, 'u', 1);
  PostMessageA(GetFocus(), WM_CHAR, 'v', 1);
  Pump();
  form->SetKeyPreview(false);
  form->OnKeyDown = nullptr;
  form->OnKeyPress = nullptr;
  box->OnKeyDown = nullptr;
  EXPECT_EQ(box->keysSeen, std::vector<WORD>{'B'});
  EXPECT_EQ(box->typed, "Uv");
}

TEST_F(FormFromLayout, AWindowlessChildGetsClickAndMouseEnterAndLeave) {
  auto* mark = Get<TCtlMark>("Mark");
  auto* top = Get<TCtlPanel>("TopPanel");
  MouseMoveTo(mark, 5, 5);
  EXPECT_EQ(MouseControl(), mark);
  EXPECT_EQ(form->log, TEvents{"enter Mark"});
  MouseClick(mark, 6, 6);
  MouseMoveTo(top, 100, 5);
  EXPECT_EQ(MouseControl(), top);
  EXPECT_EQ(form->log, (TEvents{"enter Mark", "click Mark", "leave Mark"}));

  // A press on the mark keeps the mouse for it; released outside it is no click.
  form->log.Clear();
  SetForegroundWindow(form->Handle());
  RealMove(mark->ClientToScreen(POINT{5, 5}));
  SendMouseButton(mbLeft, true);
  WaitForInputHandled();
  EXPECT_TRUE(mark->MouseCapture());
  RealMove(top->ClientToScreen(POINT{200, 50}));
  SendMouseButton(mbLeft, false);
  WaitForInputHandled();
  EXPECT_FALSE(mark->MouseCapture());
  EXPECT_EQ(form->log.Count("click Mark"), 0);

  // Deeper down: a mark on a panel on a panel.
  form->log.Clear();
  auto* nested = Get<TCtlMark>("NestedMark");
  MouseMoveTo(nested, 10, 10);
  MouseClick(nested, 10, 10);
  MouseMoveTo(Get<TCtlPanel>("Nested"), 2, 2);
  EXPECT_EQ(form->log, (TEvents{"enter NestedMark", "click NestedMark", "leave NestedMark"}));
}

TEST_F(FormFromLayout, DisablingAParentDisablesItsChildrenAsWindowsDoes) {
  auto* nested = Get<TCtlPanel>("Nested");
  auto* mark = Get<TCtlMark>("NestedMark");
  auto* client = Get<TCtlPanel>("ClientPanel");
  auto* age = Get<TCtlBox>("AgeBox");
  int panelChanges = 0, markChanges = 0, boxChanges = 0;
  auto count = [](TControl* c, int& n) {
    TWndMethod previous = c->WindowProc;
    c->WindowProc = [previous, &n](TMessage& m) {
      if (m.Msg == CM_ENABLEDCHANGED) ++n;
      previous(m);
    };
    return previous;
  };
  TWndMethod panelProc = count(nested, panelChanges);
  TWndMethod markProc = count(mark, markChanges);
  TWndMethod boxProc = count(age, boxChanges);

  auto clicks = [] { return form->log.Count("click NestedMark"); };
  RealClick(mark, 10, 10);
  ASSERT_EQ(clicks(), 1) << "real input must work";

  nested->SetEnabled(false);
  client->SetEnabled(false);
  EXPECT_EQ(panelChanges, 1);
  EXPECT_EQ(markChanges, 0);
  EXPECT_EQ(boxChanges, 0);
  EXPECT_FALSE(IsWindowEnabled(nested->Handle()));
  // The children keep their own state; they just cannot be reached.
  EXPECT_TRUE(mark->Enabled());
  EXPECT_TRUE(age->Enabled());
  EXPECT_TRUE(IsWindowEnabled(age->Handle()));
  EXPECT_FALSE(age->CanFocus());
  RealClick(mark, 10, 10);
  EXPECT_EQ(clicks(), 1);

  client->SetEnabled(true);
  nested->SetEnabled(true);
  EXPECT_EQ(panelChanges, 2);
  EXPECT_TRUE(age->CanFocus());
  RealClick(mark, 10, 10);
  EXPECT_EQ(clicks(), 2);
  nested->WindowProc = panelProc;
  mark->WindowProc = markProc;
  age->WindowProc = boxProc;
}

TEST_F(FormFromLayout, AnExceptionFromAHandlerShowsTheErrorBoxAndTheLoopGoesOn) {
  auto* button = Get<TCtlButton>("InnerButton");
  TNotifyEvent saved = button->OnClick;
  button->OnClick = [](TObject*) { throw Exception("The inner button failed"); };
  TBoxAnswerer answer(Application->Title(), IDOK);
  PostMessageA(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageA(button->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(LoopUntil([&] { return answer.Found(); }));
  EXPECT_EQ(answer.Text(), "The inner button failed");
  button->OnClick = saved;
  // The loop goes on: the next click is handled as usual.
  PostMessageA(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageA(button->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(LoopUntil([&] { return !form->log.Empty(); }));
  EXPECT_EQ(form->log, TEvents{"click InnerButton"});
}

TEST_F(FormFromLayout, TheScreenKnowsTheActiveFormAndControlAndRestoresItsCursor) {
  EXPECT_EQ(Screen->ActiveForm(), form);
  EXPECT_EQ(Screen->ActiveControl(), Get<TCtlBox>("NameBox"));
  bool listed = false;
  for (int i = 0; i < Screen->FormCount(); ++i) listed = listed || Screen->Forms(i) == form;
  EXPECT_TRUE(listed);
  ASSERT_GE(Screen->MonitorCount(), 1);
  EXPECT_EQ(Screen->MonitorFromWindow(form->Handle()), Screen->Monitors(0));
  EXPECT_EQ(Screen->Monitors(0)->Width(), Screen->Width());
  EXPECT_TRUE(Screen->Monitors(0)->Primary());
  {
    TTemporaryCursor wait(crHourGlass);
    EXPECT_EQ(Screen->Cursor(), crHourGlass);
    EXPECT_EQ(GetCursor(), Screen->Cursors(crHourGlass));
  }
  EXPECT_EQ(Screen->Cursor(), crDefault);
  // Over the mark, the mark's own cursor shows.
  auto* mark = Get<TCtlMark>("Mark");
  MouseMoveTo(mark, 3, 3);
  int x = 3, y = 3;
  HWND wnd = MouseTarget(mark, x, y);
  SendMessageA(wnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(wnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), Screen->Cursors(crHandPoint));
}

TEST_F(FormFromLayout, AScreenshotOfTheFormIsWritten) {
  // Painted by the form itself, so that other programs' windows on the display do not show.
  TBitmap shot(form->ClientWidth(), form->ClientHeight());
  form->PaintTo(shot.Canvas()->Handle(), 0, 0);

  // The red mark and the white box are where the layout put them.
  POINT origin = form->ClientOrigin();
  POINT mark = Get<TCtlMark>("Mark")->ClientToScreen(POINT{20, 15});
  EXPECT_EQ(shot.Canvas()->Pixels(mark.x - origin.x, mark.y - origin.y), clRed);
  POINT box = Get<TCtlBox>("AgeBox")->ClientToScreen(POINT{100, 10});
  EXPECT_EQ(shot.Canvas()->Pixels(box.x - origin.x, box.y - origin.y), clWhite);
  POINT nested = Get<TCtlPanel>("Nested")->ClientToScreen(POINT{150, 100});
  EXPECT_EQ(shot.Canvas()->Pixels(nested.x - origin.x, nested.y - origin.y), clAqua);

  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string folder = ExtractFilePath(ExtractFileDir(exe)) + "screenshots";
  ForceDirectories(folder);
  std::string file = folder + "\\controls.bmp";
  shot.SaveToFile(file);
  EXPECT_TRUE(FileExists(file));
}

TEST(Forms, ShowModalReturnsTheModalResultOfTheButtonAndDisablesTheOtherWindows) {
  RegisterControlTestClasses();
  std::unique_ptr<TForm> owner(TForm::CreateNew<TForm>(nullptr));
  owner->Show();
  std::unique_ptr<TForm> dialog(TForm::CreateNew<TForm>(nullptr));
  dialog->SetPosition(poScreenCenter);
  dialog->SetBorderStyle(bsDialog);
  auto* yes = new TCtlButton(dialog.get());
  yes->SetParent(dialog.get());
  yes->SetModalResult(mrYes);

  bool ownerEnabledDuring = true;
  bool modalDuring = false;
  TTimer timer(nullptr);
  timer.SetInterval(30);
  int step = 0;
  timer.OnTimer = [&](TObject*) {
    ownerEnabledDuring = IsWindowEnabled(owner->Handle()) != FALSE;
    modalDuring = dialog->Modal();
    timer.SetEnabled(false);
    if (step++ == 0)
      dialog->Close();  // a modal form closes with mrCancel
    else
      yes->Click();
  };
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_FALSE(ownerEnabledDuring);
  EXPECT_TRUE(modalDuring);
  EXPECT_TRUE(IsWindowEnabled(owner->Handle()));
  EXPECT_FALSE(dialog->Visible());

  timer.SetEnabled(true);
  EXPECT_EQ(dialog->ShowModal(), mrYes);
  EXPECT_FALSE(dialog->Modal());
  EXPECT_TRUE(IsWindowEnabled(owner->Handle()));
  // Centred on the screen.
  EXPECT_NEAR(dialog->Left() + dialog->Width() / 2, Screen->Width() / 2, 1);
}

// A caller that shows the hourglass while it prepares a form leaves the user a normal cursor
// over the form while it waits, and finds its hourglass back afterwards.
TEST(Forms, ShowModalShowsTheDefaultCursorWhileTheUserAnswers) {
  RegisterControlTestClasses();
  std::unique_ptr<TForm> dialog(TForm::CreateNew<TForm>(nullptr));
  dialog->SetPosition(poScreenCenter);
  {
    TTemporaryCursor busy(crHourGlass);
    TCursor during = crHourGlass;
    HCURSOR shown = nullptr;
    TTimer timer(nullptr);
    timer.SetInterval(20);
    timer.OnTimer = [&](TObject*) {
      timer.SetEnabled(false);
      during = Screen->Cursor();
      // What the pointer shows over the form.
      POINT inside = dialog->ClientToScreen(POINT{10, 10});
      SetCursorPos(inside.x, inside.y);
      SendMessageA(dialog->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(dialog->Handle()),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
      shown = GetCursor();
      dialog->Close();
    };
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    EXPECT_EQ(during, crDefault);
    EXPECT_EQ(shown, Screen->Cursors(crArrow));
    EXPECT_EQ(Screen->Cursor(), crHourGlass);
    EXPECT_FALSE(dialog->Visible());
  }
  EXPECT_EQ(Screen->Cursor(), crDefault);
}

TEST(Forms, ALayoutWithAnUnknownPropertyIsAnErrorNamingItAndLeavesNoForm) {
  RegisterControlTestClasses();
  int forms = Screen->FormCount();
  try {
    TForm::Create<TCtlBadForm>(nullptr);
    FAIL() << "no error";
  } catch (const ELayoutError& e) {
    EXPECT_EQ(e.Window(), "BadForm");
    EXPECT_EQ(e.ComponentName(), "Box1");
    EXPECT_EQ(e.PropertyName(), "Colour");
  }
  EXPECT_EQ(Screen->FormCount(), forms);
}

TEST(Forms, AControlCannotNestInAComponentThatHoldsNoControls) {
  RegisterControlTestClasses();
  std::unique_ptr<TCtlForm> form(TForm::CreateNew<TCtlForm>(nullptr));
  const char* text = R"({ "class": "TCtlForm", "children": [
      { "class": "TComponent", "name": "Plain",
        "children": [ { "class": "TCtlBox", "name": "Lost" } ] } ] })";
  try {
    ReadLayout(form.get(), text);
    FAIL() << "no error";
  } catch (const ELayoutError& e) {
    EXPECT_EQ(e.ComponentName(), "Lost");
    EXPECT_NE(e.Message().find("Plain cannot hold controls"), std::string::npos) << e.Message();
  }
  EXPECT_EQ(form->ComponentCount(), 0);
}

namespace {

// Runs the program with one main form that closes itself; its exit code, or 98 when it did not
// end within 20 seconds.
DWORD RunMainFormProgram() {
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string program = ExtractFilePath(exe) + "MainFormProgram.exe";
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  std::string line = "\"" + program + "\"";
  if (!CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &si, &pi))
    return 97;
  DWORD waited = WaitForSingleObject(pi.hProcess, 20000);
  DWORD code = 99;
  GetExitCodeProcess(pi.hProcess, &code);
  if (waited != WAIT_OBJECT_0) {
    TerminateProcess(pi.hProcess, 98);
    code = 98;
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return code;
}

}  // namespace

TEST(Forms, ClosingTheMainFormEndsTheMessageLoop) { EXPECT_EQ(RunMainFormProgram(), 0u); }

// Asked through the environment, a start writes each phase with the time since the process
// began, in the order the start goes through them; not asked, it writes nothing.
TEST(Forms, AStartWritesItsTraceOnlyWhenAsked) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string trace = std::string(temp) + "main-form-start.txt";
  DeleteFileA(trace.c_str());
  ASSERT_TRUE(SetEnvironmentVariableA(StartupTraceVariable, trace.c_str()));
  const DWORD code = RunMainFormProgram();
  SetEnvironmentVariableA(StartupTraceVariable, nullptr);
  ASSERT_EQ(code, 0u);
  const std::string text = ReadFileBytes(trace);
  std::vector<std::string> phases;
  double last = 0;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find("\r\n", at);
    ASSERT_NE(end, std::string::npos) << "every line ends with CR LF";
    const std::string line = text.substr(at, end - at);
    at = end + 2;
    const size_t tab = line.find('\t');
    ASSERT_NE(tab, std::string::npos) << line;
    const double ms = std::atof(line.substr(0, tab).c_str());
    EXPECT_GE(ms, last) << line;
    EXPECT_LT(ms, 20000) << line;
    last = ms;
    phases.push_back(line.substr(tab + 1));
  }
  const std::vector<std::string> expected = {"application object", "TForm created",
                                             "main window's windows made", "main window shown",
                                             "first paint"};
  EXPECT_EQ(phases, expected);

  ASSERT_TRUE(DeleteFileA(trace.c_str()));
  ASSERT_EQ(RunMainFormProgram(), 0u);
  EXPECT_EQ(GetFileAttributesA(trace.c_str()), INVALID_FILE_ATTRIBUTES);
}
