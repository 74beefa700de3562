// Worker threads, and the hand-over of calls from them to the GUI thread, where all of the
// program's own logic runs.
#pragma once

#include <windows.h>

#include <atomic>
#include <exception>
#include <functional>

#include "platform/Classes.h"

class EThread : public Exception { using Exception::Exception; };

using TThreadMethod = std::function<void()>;

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// A worker thread running Execute. When Execute returns (or raises: the exception is kept in
// FatalException and goes no further) OnTerminate runs on the GUI thread while the worker
// waits, and then a thread that frees itself is deleted.
//
// A thread created running starts while the TThread part is being built, before any derived
// constructor has run; a derived class therefore creates it suspended and calls Start when
// it is ready. Likewise its members are gone before ~TThread runs: a derived class whose
// Execute uses them calls TerminateAndWait first thing in its own destructor.
class TThread : public TObject {
 public:
  explicit TThread(bool createSuspended);
  // A thread that still runs is terminated and waited for; one never started never runs.
  ~TThread() override;
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  // Starts a thread created suspended; raises EThread when it has been started already.
  void Start();
  // Starts a thread created suspended; does nothing when it runs already.
  void Resume();
  // Sets the flag that Execute looks at to end early.
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }
  // Waits for the thread to end and returns its ReturnValue. On the GUI thread the wait
  // keeps serving synchronised calls, so a worker that hands a call over cannot deadlock it.
  // Raises EThread for a thread that frees itself, that was never started, or that would
  // wait for itself.
  int WaitFor();

  bool FreeOnTerminate() const { return freeOnTerminate_; }
  void SetFreeOnTerminate(bool value) { freeOnTerminate_ = value; }
  TThreadPriority Priority() const;
  void SetPriority(TThreadPriority priority);
  HANDLE Handle() const { return handle_; }
  DWORD ThreadID() const { return threadId_; }
  int ReturnValue() const { return returnValue_; }
  bool Finished() const { return finished_; }
  // The exception that escaped Execute, if any.
  std::exception_ptr FatalException() const { return fatalException_; }

  TNotifyEvent OnTerminate;

  // Runs `method` on the GUI thread and waits until it has run; on the GUI thread itself it
  // runs at once. An exception it raises is raised again in the calling thread.
  static void Synchronize(TThread* thread, TThreadMethod method);
  void Synchronize(TThreadMethod method) { Synchronize(this, std::move(method)); }
  // Runs `method` later on the GUI thread without waiting for it. An exception it raises
  // goes to the application's handler. Calls queued for a thread that is freed first are
  // dropped.
  static void Queue(TThread* thread, TThreadMethod method);
  void Queue(TThreadMethod method) { Queue(this, std::move(method)); }

 protected:
  virtual void Execute() = 0;
  void SetReturnValue(int value) { returnValue_ = value; }
  // Ends the thread as the destructor does: one that runs is terminated and waited for, one
  // never started never runs. Does nothing on the thread itself or once it has finished.
  void TerminateAndWait();

 private:
  static DWORD WINAPI ThreadProc(void* param);
  // OnTerminate, handed over to the GUI thread.
  void DoTerminate();
  int Wait();

  HANDLE handle_ = nullptr;
  DWORD threadId_ = 0;
  std::atomic<bool> terminated_{false};
  std::atomic<bool> finished_{false};
  std::atomic<bool> started_{false};
  std::atomic<bool> skipExecute_{false};
  std::atomic<bool> freeOnTerminate_{false};
  int returnValue_ = 0;
  std::exception_ptr fatalException_;
};

// The GUI thread: the one that initialised the application object (until then, the thread
// that started the program).
DWORD MainThreadID();
// Makes the calling thread the GUI thread and creates the hidden window through which other
// threads wake it to run their calls. The application object's Initialize calls it.
void InitThreadSynchronization();
// Runs the calls handed over to the GUI thread; true when there were any. Only the GUI
// thread may call it (EThread otherwise).
bool CheckSynchronize();
// Whether the GUI thread is running now, at any depth, a call that the thread `threadId`
// handed over with Synchronize: that thread waits for the GUI thread, which therefore must
// not wait for it. False on any other thread.
bool IsRunningSynchronizedCallOf(DWORD threadId);
