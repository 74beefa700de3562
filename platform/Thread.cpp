#include "platform/Thread.h"

#include <algorithm>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/Application.h"

namespace {

// The window message that wakes the GUI thread to run what has been handed over.
constexpr UINT kWakeMessage = WM_USER;

struct TSyncRequest {
  TThread* thread;
  TThreadMethod method;
  HANDLE done;  // set when the call has run; nullptr for a queued call nobody waits for
  std::exception_ptr error;
  DWORD caller = 0;  // the thread that waits for it
};

struct TSyncState {
  std::mutex lock;
  std::deque<std::shared_ptr<TSyncRequest>> requests;
  // Set while requests wait: what WaitFor on the GUI thread watches besides the thread.
  HANDLE pending = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HWND window = nullptr;
  std::atomic<DWORD> mainThread{0};
  // The callers of the synchronised calls running now, innermost last; GUI thread only.
  std::vector<DWORD> running;
};

// Never freed: worker threads may still hand calls over while the program shuts down.
TSyncState& Sync() {
  static TSyncState* state = new TSyncState;
  return *state;
}

// Static start-up runs on the thread that starts the program.
[[maybe_unused]] const bool startupThreadKnown = (Sync().mainThread = GetCurrentThreadId(), true);

void HandOver(const std::shared_ptr<TSyncRequest>& request) {
  TSyncState& s = Sync();
  {
    std::lock_guard<std::mutex> guard(s.lock);
    s.requests.push_back(request);
    SetEvent(s.pending);
  }
  if (s.window) PostMessageA(s.window, kWakeMessage, 0, 0);
}

int PriorityValue(TThreadPriority priority) {
  switch (priority) {
    case tpIdle: return THREAD_PRIORITY_IDLE;
    case tpLowest: return THREAD_PRIORITY_LOWEST;
    case tpLower: return THREAD_PRIORITY_BELOW_NORMAL;
    case tpNormal: return THREAD_PRIORITY_NORMAL;
    case tpHigher: return THREAD_PRIORITY_ABOVE_NORMAL;
    case tpHighest: return THREAD_PRIORITY_HIGHEST;
    case tpTimeCritical: return THREAD_PRIORITY_TIME_CRITICAL;
  }
  return THREAD_PRIORITY_NORMAL;
}

}  // namespace

DWORD MainThreadID() { return Sync().mainThread; }

void InitThreadSynchronization() {
  TSyncState& s = Sync();
  s.mainThread = GetCurrentThreadId();
  if (s.window) return;
  try {
    s.window = AllocateHWnd([](TMessage& m) {
      if (m.Msg == kWakeMessage)
        CheckSynchronize();
      else
        m.Result = DefWindowProcA(Sync().window, m.Msg, m.WParam, m.LParam);
    });
  } catch (const EOSError&) {
    // No window (no desktop): WaitFor on the GUI thread still serves handed-over calls.
  }
}

bool CheckSynchronize() {
  TSyncState& s = Sync();
  if (GetCurrentThreadId() != s.mainThread)
    throw EThread(Format("CheckSynchronize called from thread %lu, which is not the GUI thread",
                         static_cast<unsigned long>(GetCurrentThreadId())));
  bool ran = false;
  for (;;) {
    // One at a time: a call that runs a modal loop lets the loop run the later ones in order.
    std::shared_ptr<TSyncRequest> request;
    {
      std::lock_guard<std::mutex> guard(s.lock);
      if (s.requests.empty()) {
        ResetEvent(s.pending);
        break;
      }
      request = s.requests.front();
      s.requests.pop_front();
    }
    ran = true;
    s.running.push_back(request->caller);
    try {
      request->method();
    } catch (...) {
      if (request->done)
        request->error = std::current_exception();
      else
        ApplicationHandleException(request->thread);
    }
    s.running.pop_back();
    if (request->done) SetEvent(request->done);
  }
  return ran;
}

bool IsRunningSynchronizedCallOf(DWORD threadId) {
  TSyncState& s = Sync();
  if (GetCurrentThreadId() != s.mainThread) return false;
  return std::find(s.running.begin(), s.running.end(), threadId) != s.running.end();
}

TThread::TThread(bool createSuspended) {
  handle_ = CreateThread(nullptr, 0, ThreadProc, this, CREATE_SUSPENDED, &threadId_);
  if (!handle_) RaiseLastOSError();
  if (!createSuspended) Start();
}

TThread::~TThread() {
  TerminateAndWait();
  {
    TSyncState& s = Sync();
    std::lock_guard<std::mutex> guard(s.lock);
    auto& q = s.requests;
    q.erase(std::remove_if(q.begin(), q.end(),
                           [this](const auto& r) { return r->thread == this && !r->done; }),
            q.end());
  }
  if (handle_) CloseHandle(handle_);
}

void TThread::TerminateAndWait() {
  if (!handle_ || finished_ || GetCurrentThreadId() == threadId_) return;
  if (!started_) {
    skipExecute_ = true;
    started_ = true;
    ResumeThread(handle_);
  } else {
    Terminate();
  }
  Wait();
}

DWORD WINAPI TThread::ThreadProc(void* param) {
  auto* thread = static_cast<TThread*>(param);
  if (thread->skipExecute_) {
    thread->finished_ = true;
    return 0;
  }
  try {
    thread->Execute();
  } catch (...) {
    thread->fatalException_ = std::current_exception();
  }
  const bool freeThread = thread->freeOnTerminate_;
  const int result = thread->returnValue_;
  try {
    thread->DoTerminate();
  } catch (...) {
    // The hand-over itself failed (no event could be made): the end goes unreported.
  }
  thread->finished_ = true;
  if (freeThread) delete thread;
  return static_cast<DWORD>(result);
}

void TThread::DoTerminate() {
  if (!OnTerminate) return;
  Synchronize([this] {
    try {
      OnTerminate(this);
    } catch (...) {
      // Nobody on the worker's side could answer for it: report it where it happened.
      ApplicationHandleException(this);
    }
  });
}

void TThread::Start() {
  if (started_) throw EThread("Cannot call Start on a running or suspended thread");
  started_ = true;
  // A thread that frees itself may be gone as soon as it runs: nothing is touched after this.
  ResumeThread(handle_);
}

void TThread::Resume() {
  if (!started_) Start();
}

int TThread::WaitFor() {
  if (freeOnTerminate_) throw EThread("Cannot call WaitFor on a thread that frees itself");
  if (!started_) throw EThread("Cannot call WaitFor on a thread that was never started");
  if (GetCurrentThreadId() == threadId_) throw EThread("A thread cannot wait for itself");
  return Wait();
}

int TThread::Wait() {
  if (GetCurrentThreadId() == MainThreadID()) {
    HANDLE handles[2] = {handle_, Sync().pending};
    for (;;) {
      DWORD r = MsgWaitForMultipleObjects(2, handles, FALSE, INFINITE, QS_SENDMESSAGE);
      if (r == WAIT_OBJECT_0) break;
      if (r == WAIT_OBJECT_0 + 1) {
        CheckSynchronize();
      } else if (r == WAIT_OBJECT_0 + 2) {
        // Messages sent from other threads are delivered inside PeekMessage.
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
      } else {
        RaiseLastOSError();
      }
    }
  } else {
    WaitForSingleObject(handle_, INFINITE);
  }
  DWORD code = 0;
  GetExitCodeThread(handle_, &code);
  return static_cast<int>(code);
}

TThreadPriority TThread::Priority() const {
  const int value = GetThreadPriority(handle_);
  for (int p = tpIdle; p <= tpTimeCritical; ++p)
    if (PriorityValue(static_cast<TThreadPriority>(p)) == value)
      return static_cast<TThreadPriority>(p);
  return tpNormal;
}

void TThread::SetPriority(TThreadPriority priority) {
  if (!SetThreadPriority(handle_, PriorityValue(priority))) RaiseLastOSError();
}

void TThread::Synchronize(TThread* thread, TThreadMethod method) {
  if (GetCurrentThreadId() == MainThreadID()) {
    method();
    return;
  }
  auto request = std::make_shared<TSyncRequest>();
  request->thread = thread;
  request->method = std::move(method);
  request->done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!request->done) RaiseLastOSError();
  request->caller = GetCurrentThreadId();
  HandOver(request);
  WaitForSingleObject(request->done, INFINITE);
  CloseHandle(request->done);
  if (request->error) std::rethrow_exception(request->error);
}

void TThread::Queue(TThread* thread, TThreadMethod method) {
  auto request = std::make_shared<TSyncRequest>();
  request->thread = thread;
  request->method = std::move(method);
  request->done = nullptr;
  HandOver(request);
}
