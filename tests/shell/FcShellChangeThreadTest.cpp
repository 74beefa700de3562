#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "ShellTestSupport.h"
#include "platform/Guards.h"
#include "shell/FcShellChangeThread.h"

namespace {

constexpr UINT kChangeMessage = WM_APP + 0x65;
constexpr DWORD kNames = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME;

// A hidden window that notes the slot of every change message it gets.
class ChangeThread : public ShellScratch {
 protected:
  void SetUp() override {
    ShellScratch::SetUp();
    window_ = AllocateHWnd([this](TMessage& m) {
      if (m.Msg == kChangeMessage)
        slots_.push_back(static_cast<int>(m.WParam));
      else
        m.Result = DefWindowProcA(window_, m.Msg, m.WParam, m.LParam);
    });
  }
  void TearDown() override {
    DeallocateHWnd(window_);
    ShellScratch::TearDown();
  }
  // Runs the messages for a while and hands back the slots noted meanwhile.
  std::vector<int> SlotsAfter(DWORD ms) {
    LoopUntil([] { return false; }, ms);
    return std::exchange(slots_, {});
  }
  bool WaitForSlot(int slot) {
    bool seen = LoopUntil([&] { return std::find(slots_.begin(), slots_.end(), slot) != slots_.end(); }, 3000);
    slots_.clear();
    return seen;
  }

  HWND window_ = nullptr;
  std::vector<int> slots_;
};

TEST_F(ChangeThread, EachChangePostsItsWatchsSlotAndTheWatchGoesOn) {
  std::string quiet = MakeFolder("quiet"), busy = MakeFolder("busy");
  TChangeHandlerThread thread(window_, kChangeMessage);
  int slot = -1;
  ASSERT_TRUE(thread.AddWatch(quiet, kNames, slot, false));
  EXPECT_EQ(slot, 0);
  ASSERT_TRUE(thread.AddWatch(busy, kNames, slot, false));
  EXPECT_EQ(slot, 1);

  MakeFile("busy\\first.txt");
  EXPECT_TRUE(WaitForSlot(1));
  MakeFolder("busy\\second");
  EXPECT_TRUE(WaitForSlot(1));
  // Slots are only ever the watched ones'.
  EXPECT_EQ(SlotsAfter(200), std::vector<int>{});

  thread.RemoveAllWatches();
  MakeFile("busy\\third.txt");
  MakeFile("quiet\\fourth.txt");
  EXPECT_EQ(SlotsAfter(300), std::vector<int>{});
  ASSERT_TRUE(thread.AddWatch(busy, kNames, slot, false));
  EXPECT_EQ(slot, 0);
}

TEST_F(ChangeThread, WatchesThatCannotBeMade) {
  TChangeHandlerThread thread(window_, kChangeMessage);
  int slot = 5;
  EXPECT_FALSE(thread.AddWatch("", kNames, slot, false));
  EXPECT_EQ(slot, -1);
  EXPECT_FALSE(thread.AddWatch(Dir() + "missing", kNames, slot, false));
  EXPECT_FALSE(thread.AddWatch(MakeFile("plain.txt"), kNames, slot, false));
  EXPECT_EQ(slot, -1);
}

TEST_F(ChangeThread, SixtyThreeWatchesAtMostAndEveryHandleClosedAtTheEnd) {
  std::vector<std::string> folders;
  for (int i = 0; i < TChangeHandlerThread::kSlotCount + 1; ++i) folders.push_back(MakeFolder(Format("f%02d", i)));
  auto thread = std::make_unique<TChangeHandlerThread>(window_, kChangeMessage);
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < TChangeHandlerThread::kSlotCount; ++i) {
      int slot = -1;
      ASSERT_TRUE(thread->AddWatch(folders[static_cast<std::size_t>(i)], kNames, slot, false)) << i;
      EXPECT_EQ(slot, i);
    }
    // The 64th is refused, and its handle goes at once.
    int before = CountOpenHandles();
    int slot = 7;
    EXPECT_FALSE(thread->AddWatch(folders.back(), kNames, slot, false));
    EXPECT_EQ(slot, -1);
    EXPECT_EQ(CountOpenHandles(), before);
    thread->RemoveAllWatches();
    for (int i = 0; i < TChangeHandlerThread::kSlotCount; ++i) EXPECT_EQ(thread->WatchHandle(i), INVALID_HANDLE_VALUE);
  }

  std::vector<HANDLE> handles;
  for (int i = 0; i < 3; ++i) {
    int slot = -1;
    ASSERT_TRUE(thread->AddWatch(folders[static_cast<std::size_t>(i)], kNames, slot, false));
    handles.push_back(thread->WatchHandle(slot));
  }
  thread.reset();
  for (HANDLE h : handles) {
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(h, &flags)) << h;
  }
}

TEST_F(ChangeThread, AHandleClosedBehindTheThreadsBackIsDroppedWithoutSpinning) {
  std::string lost = MakeFolder("lost"), kept = MakeFolder("kept");
  TChangeHandlerThread thread(window_, kChangeMessage);
  int slot = -1;
  ASSERT_TRUE(thread.AddWatch(lost, kNames, slot, false));
  ASSERT_TRUE(thread.AddWatch(kept, kNames, slot, false));
  // Another program makes the change that wakes the thread, so that nothing in this process
  // takes the closed handle's value before the thread's next wait meets it. It is made
  // before the handle is closed and let run after.
  std::string command = "C:\\windows\\system32\\cmd.exe /c mkdir \"" + kept + "\\wake\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child{};
  ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE,
                             CREATE_SUSPENDED | CREATE_NO_WINDOW, nullptr, nullptr, &startup, &child));
  THandleGuard childProcess(child.hProcess), childThread(child.hThread);
  ASSERT_TRUE(FindCloseChangeNotification(thread.WatchHandle(0)));
  ResumeThread(child.hThread);
  ASSERT_TRUE(WaitForSlot(1));
  ASSERT_TRUE(LoopUntil([&] { return thread.WatchHandle(0) == INVALID_HANDLE_VALUE; }, 3000));

  FILETIME created, exited, kernelBefore, userBefore, kernelAfter, userAfter;
  ASSERT_TRUE(GetThreadTimes(thread.Handle(), &created, &exited, &kernelBefore, &userBefore));
  Sleep(500);
  ASSERT_TRUE(GetThreadTimes(thread.Handle(), &created, &exited, &kernelAfter, &userAfter));
  auto ticks = [](const FILETIME& t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
  ULONGLONG used = ticks(kernelAfter) - ticks(kernelBefore) + ticks(userAfter) - ticks(userBefore);
  EXPECT_LT(used, 1000000u);  // under 100 ms of processor in half a second

  // The other watch lives on.
  MakeFile("kept\\again.txt");
  EXPECT_TRUE(WaitForSlot(1));
}

}  // namespace
