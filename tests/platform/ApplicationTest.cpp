#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "EventLog.h"
#include "TestSupport.h"
#include "platform/Application.h"
#include "platform/Thread.h"
#include "platform/Timer.h"

namespace {


// Restores the application's title and exception handler after a test changed them.
struct TAppState {
  std::string title = Application->Title();
  ~TAppState() {
    Application->SetTitle(title);
    Application->OnException = nullptr;
  }
};

}  // namespace

TEST(Application, InitializedWithAHiddenWindowAndTheProgramNameAsTitle) {
  ASSERT_NE(Application->Handle(), nullptr);
  EXPECT_FALSE(IsWindowVisible(Application->Handle()));
  EXPECT_EQ(Application->Title(), "platform_tests");
  TAppState restore;
  Application->SetTitle("Quenmar benchmark");
  char text[64] = {};
  GetWindowTextA(Application->Handle(), text, sizeof(text));
  EXPECT_STREQ(text, "Quenmar benchmark");
}

TEST(Application, ProcessMessagesHandlesWhatIsQueuedAndReturns) {
  std::vector<WPARAM> handled;
  HWND wnd = AllocateHWnd([&](TMessage& m) {
    if (m.Msg == WM_APP) {
      handled.push_back(m.WParam);
      m.Result = 40 + static_cast<LRESULT>(m.WParam);
    } else {
      m.Result = DefWindowProcA(wnd, m.Msg, m.WParam, m.LParam);
    }
  });
  for (WPARAM i = 1; i <= 3; ++i) PostMessageA(wnd, WM_APP, i, 0);
  Application->ProcessMessages();
  EXPECT_EQ(handled, (std::vector<WPARAM>{1, 2, 3}));
  EXPECT_EQ(SendMessageA(wnd, WM_APP, 2, 0), 42);
  DeallocateHWnd(wnd);
}

TEST(Application, ExceptionsFromWindowsGoToTheHandlerAndAbortIsSilent) {
  TAppState restore;
  TEventLog reported;
  Application->OnException = [&](TObject*, const std::exception& e) {
    reported.Note(e.what());
  };
  struct Case {
    std::function<void()> raise;
    TEvents expected;
  };
  const Case cases[] = {
      {[] { throw Exception("Window failed"); }, {"Window failed"}},
      {[] { throw EConvertError("'x' is not a valid integer value"); },
       {"'x' is not a valid integer value"}},
      {[] { Abort(); }, {}},
      {[] { throw 42; }, {"Unknown exception"}},
  };
  for (const Case& c : cases) {
    reported.Clear();
    HWND wnd = AllocateHWnd([&](TMessage& m) {
      if (m.Msg == WM_APP) c.raise();
      m.Result = DefWindowProcA(wnd, m.Msg, m.WParam, m.LParam);
    });
    // The window procedure answers 0 and nothing unwinds through the system.
    EXPECT_EQ(SendMessageA(wnd, WM_APP, 0, 0), 0);
    EXPECT_EQ(reported, c.expected);
    DeallocateHWnd(wnd);
  }
}

TEST(Application, ExceptionReachingTheLoopShowsAnErrorBoxAndTheLoopGoesOn) {
  TAppState restore;
  Application->SetTitle("Loop title");
  bool after = false;
  HWND wnd = AllocateHWnd([&](TMessage& m) {
    if (m.Msg == WM_APP) throw Exception("Broken on purpose");
    if (m.Msg == WM_APP + 1) {
      after = true;
      Application->Terminate();
    }
    m.Result = DefWindowProcA(wnd, m.Msg, m.WParam, m.LParam);
  });
  PostMessageA(wnd, WM_APP, 0, 0);
  TBoxAnswerer answer("Loop title", IDOK);
  // Posted only once the box is gone, so that its own loop does not take the quit message.
  std::thread next([&] {
    answer.Seen();
    while (FindWindowA("#32770", "Loop title")) Sleep(10);
    PostMessageA(wnd, WM_APP + 1, 0, 0);
  });
  Application->Run();
  next.join();
  EXPECT_TRUE(Application->Terminated());
  EXPECT_TRUE(after);
  const TBoxSeen& seen = answer.Seen();
  EXPECT_TRUE(seen.found);
  EXPECT_EQ(seen.text, "Broken on purpose");
  EXPECT_TRUE(seen.hasOk);
  EXPECT_FALSE(seen.hasNo);
  DeallocateHWnd(wnd);
}

TEST(Application, MessageDlgIsTitledWithTheTitleAndReturnsTheButtonPressed) {
  TAppState restore;
  Application->SetTitle("Dialog title");
  struct Case {
    std::function<int()> show;
    int press;
    bool hasOk, hasYes, hasNo;
  };
  const Case cases[] = {
      {[] { return MessageDlg("Set the parameters", mtInformation, {mbOK}); }, IDOK, true, false,
       false},
      {[] { return MessageDlg("Restore?", mtConfirmation, {mbYes, mbNo}); }, IDNO, false, true,
       true},
  };
  for (const Case& c : cases) {
    TBoxAnswerer answer("Dialog title", c.press);
    EXPECT_EQ(c.show(), c.press);
    const TBoxSeen& seen = answer.Seen();
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.hasOk, c.hasOk);
    EXPECT_EQ(seen.hasYes, c.hasYes);
    EXPECT_EQ(seen.hasNo, c.hasNo);
  }
}

TEST(Application, TimerFiresWhileEnabledAndNeverWithoutAnInterval) {
  TComponent owner(nullptr);
  auto* timer = new TTimer(&owner);
  auto* idle = new TTimer(&owner);
  EXPECT_EQ(timer->Interval(), 1000u);
  EXPECT_TRUE(timer->Enabled());
  int ticks = 0, idleTicks = 0;
  TObject* sender = nullptr;
  timer->OnTimer = [&](TObject* s) {
    ++ticks;
    sender = s;
  };
  timer->SetInterval(10);
  idle->OnTimer = [&](TObject*) { ++idleTicks; };
  idle->SetInterval(0);
  ASSERT_TRUE(LoopUntil([&] { return ticks >= 3; }));
  EXPECT_EQ(sender, timer);

  timer->SetEnabled(false);
  const int stoppedAt = ticks;
  LoopUntil([] { return false; }, 100);
  EXPECT_EQ(ticks, stoppedAt);
  EXPECT_EQ(idleTicks, 0);
}

// A control holds a timer made disabled for a rare need: it stays silent, whatever its
// interval, until it is enabled, and then fires like any other.
TEST(Application, TimerMadeDisabledFiresOnceEnabled) {
  TComponent owner(nullptr);
  auto* timer = new TTimer(&owner, false);
  EXPECT_FALSE(timer->Enabled());
  int ticks = 0;
  timer->OnTimer = [&](TObject*) { ++ticks; };
  timer->SetInterval(10);
  LoopUntil([] { return false; }, 100);
  EXPECT_EQ(ticks, 0);
  timer->SetEnabled(true);
  EXPECT_TRUE(LoopUntil([&] { return ticks >= 2; }));
}

namespace {

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

int ThreadWindows() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

}  // namespace

// A window with many timers (every combo box has one) must not pay for a top-level window
// each; a window that stands for the program still sees the system's broadcasts.
TEST(Application, TimersMakeNoTopLevelWindows) {
  const int before = ThreadWindows();
  {
    TComponent owner(nullptr);
    for (int i = 0; i < 5; ++i) new TTimer(&owner);
    EXPECT_EQ(ThreadWindows(), before);
  }
  HWND wnd = AllocateHWnd(nullptr);
  EXPECT_EQ(ThreadWindows(), before + 1);
  DeallocateHWnd(wnd);
}
