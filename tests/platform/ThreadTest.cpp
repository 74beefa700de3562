#include <gtest/gtest.h>

#include <atomic>
#include <functional>

#include "TestSupport.h"
#include "platform/Application.h"
#include "platform/Thread.h"

namespace {


// A thread whose body is given by the test.
class TTestThread : public TThread {
 public:
  explicit TTestThread(std::function<void(TTestThread&)> body, std::atomic<int>* deaths = nullptr)
      : TThread(true), body_(std::move(body)), deaths_(deaths) {}
  ~TTestThread() override {
    TerminateAndWait();
    if (deaths_) ++*deaths_;
  }
  using TThread::SetReturnValue;

 protected:
  void Execute() override { body_(*this); }

 private:
  std::function<void(TTestThread&)> body_;
  std::atomic<int>* deaths_;
};

}  // namespace

TEST(Thread, EndReachesTheGuiThreadWhileTheLoopRuns) {
  ASSERT_EQ(MainThreadID(), GetCurrentThreadId());
  TTestThread thread([](TTestThread& t) {
    while (!t.Terminated()) Sleep(1);
    t.SetReturnValue(7);
  });
  DWORD endedOn = 0;
  TObject* sender = nullptr;
  thread.OnTerminate = [&](TObject* s) {
    endedOn = GetCurrentThreadId();
    sender = s;
  };
  thread.Start();
  EXPECT_THROW(thread.Start(), EThread);
  thread.Terminate();
  ASSERT_TRUE(LoopUntil([&] { return endedOn != 0; }));
  EXPECT_EQ(endedOn, GetCurrentThreadId());
  EXPECT_EQ(sender, &thread);
  EXPECT_EQ(thread.WaitFor(), 7);
  EXPECT_TRUE(thread.Finished());
  EXPECT_FALSE(thread.FatalException());
}

TEST(Thread, FreeOnTerminateThreadFreesItselfAfterItsEnd) {
  std::atomic<int> deaths{0};
  int deathsAtEnd = -1;
  auto* thread = new TTestThread([](TTestThread&) {}, &deaths);
  thread->SetFreeOnTerminate(true);
  thread->SetPriority(tpLower);
  EXPECT_EQ(thread->Priority(), tpLower);
  EXPECT_THROW(thread->WaitFor(), EThread);
  thread->OnTerminate = [&](TObject*) { deathsAtEnd = deaths; };
  thread->Start();
  ASSERT_TRUE(LoopUntil([&] { return deaths == 1; }));
  EXPECT_EQ(deathsAtEnd, 0);
}

TEST(Thread, SynchronizeRunsOnTheGuiThreadAndRaisesInTheCaller) {
  DWORD syncedOn = 0, queuedOn = 0;
  std::string raised;
  TTestThread thread([&](TTestThread& t) {
    t.Synchronize([&] { syncedOn = GetCurrentThreadId(); });
    try {
      TThread::Synchronize(&t, [] { throw Exception("Handed back"); });
    } catch (const Exception& e) {
      raised = e.Message();
    }
    t.Queue([&] { queuedOn = GetCurrentThreadId(); });
  });
  thread.Start();
  // WaitFor on the GUI thread serves the calls the worker hands over while it waits.
  thread.WaitFor();
  EXPECT_EQ(syncedOn, GetCurrentThreadId());
  EXPECT_EQ(raised, "Handed back");
  ASSERT_TRUE(LoopUntil([&] { return queuedOn != 0; }));
  EXPECT_EQ(queuedOn, GetCurrentThreadId());
}

TEST(Thread, ExceptionEscapingExecuteIsKeptAndTheEndStillReported) {
  bool ended = false;
  TTestThread thread([](TTestThread&) { throw EOSError(ERROR_ACCESS_DENIED); });
  thread.OnTerminate = [&](TObject*) { ended = true; };
  thread.Start();
  thread.WaitFor();
  EXPECT_TRUE(ended);
  ASSERT_TRUE(thread.FatalException());
  try {
    std::rethrow_exception(thread.FatalException());
  } catch (const EOSError& e) {
    EXPECT_EQ(e.ErrorCode(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  }
}

TEST(Thread, QueuedCallThatRaisesGoesToTheApplicationHandler) {
  std::string handled;
  TObject* handledSender = nullptr;
  Application->OnException = [&](TObject* sender, const std::exception& e) {
    handled = e.what();
    handledSender = sender;
  };
  TTestThread thread([](TTestThread& t) { t.Queue([] { throw Exception("Queued failure"); }); });
  thread.Start();
  bool ok = LoopUntil([&] { return !handled.empty(); });
  Application->OnException = nullptr;
  ASSERT_TRUE(ok);
  EXPECT_EQ(handled, "Queued failure");
  EXPECT_EQ(handledSender, &thread);
}

TEST(Thread, DestroyingStopsARunningThreadAndNeverRunsAnUnstartedOne) {
  std::atomic<bool> ran{false};
  delete new TTestThread([&](TTestThread&) { ran = true; });
  EXPECT_FALSE(ran);

  std::atomic<bool> stopped{false};
  auto* running = new TTestThread([&](TTestThread& t) {
    while (!t.Terminated()) Sleep(1);
    stopped = true;
  });
  running->Start();
  delete running;
  EXPECT_TRUE(stopped);
}
