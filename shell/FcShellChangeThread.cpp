#include "shell/FcShellChangeThread.h"

#include <vector>

namespace {

constexpr DWORD kAnswerTimeout = 2000;

bool IsUsed(HANDLE h) { return h != INVALID_HANDLE_VALUE; }

}  // namespace

TChangeHandlerThread::TChangeHandlerThread(HWND ownerWindow, UINT messageId)
    : TThread(true),
      ownerWindow_(ownerWindow),
      messageId_(messageId),
      actionEvent_(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
      doneEvent_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {
  if (!actionEvent_ || !doneEvent_) RaiseLastOSError();
  slots_.fill(INVALID_HANDLE_VALUE);
  SetFreeOnTerminate(false);
  Start();
}

TChangeHandlerThread::~TChangeHandlerThread() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    action_ = caQuit;
    pendingHandle_ = INVALID_HANDLE_VALUE;
    pendingSeq_ = ++requestSeq_;
  }
  SetEvent(actionEvent_.Get());
  // The handles are the thread's until it has ended; closing one under a waiting thread
  // does not wake it.
  TerminateAndWait();
  for (int slot = 0; slot < kSlotCount; ++slot) CloseSlot(slot);
}

HANDLE TChangeHandlerThread::WatchHandle(int slot) const {
  if (slot < 0 || slot >= kSlotCount) return INVALID_HANDLE_VALUE;
  std::lock_guard<std::mutex> guard(lock_);
  return slots_[static_cast<std::size_t>(slot)];
}

bool TChangeHandlerThread::AddWatch(const std::string& path, DWORD filter, int& slot,
                                    bool watchSubtree) {
  slot = -1;
  if (path.empty()) return false;
  HANDLE handle = FindFirstChangeNotificationA(path.c_str(), watchSubtree ? TRUE : FALSE, filter);
  if (handle == INVALID_HANDLE_VALUE) return false;
  int newSlot = -1;
  if (!Request(caAdd, handle, newSlot)) {
    FindCloseChangeNotification(handle);
    return false;
  }
  slot = newSlot;
  return slot != -1;
}

void TChangeHandlerThread::RemoveAllWatches() {
  int unused = -1;
  Request(caCloseAll, INVALID_HANDLE_VALUE, unused);
}

bool TChangeHandlerThread::Request(TAction action, HANDLE handle, int& newSlot) {
  unsigned seq;
  {
    std::lock_guard<std::mutex> guard(lock_);
    seq = ++requestSeq_;
    action_ = action;
    pendingHandle_ = handle;
    pendingSeq_ = seq;
  }
  SetEvent(actionEvent_.Get());
  const DWORD start = GetTickCount();
  for (;;) {
    DWORD elapsed = GetTickCount() - start;
    DWORD remaining = elapsed < kAnswerTimeout ? kAnswerTimeout - elapsed : 0;
    // The thread's own handle answers too: a thread that has ended will never answer.
    HANDLE waits[] = {doneEvent_.Get(), Handle()};
    DWORD r = WaitForMultipleObjects(2, waits, FALSE, remaining);
    std::lock_guard<std::mutex> guard(lock_);
    if (answeredSeq_ == seq) {
      newSlot = newSlot_;
      return true;
    }
    // A signal left by an earlier request that was given up: wait on.
    if (r == WAIT_OBJECT_0 && remaining > 0) continue;
    // The thread takes and answers a request in one step under the lock, so an unanswered
    // request is still waiting: it is withdrawn and cannot be taken for a later one.
    pendingSeq_ = 0;
    pendingHandle_ = INVALID_HANDLE_VALUE;
    return false;
  }
}

bool TChangeHandlerThread::TakeRequest() {
  std::lock_guard<std::mutex> guard(lock_);
  if (pendingSeq_ == 0) return true;
  const unsigned seq = pendingSeq_;
  pendingSeq_ = 0;
  const TAction action = action_;
  HANDLE handle = std::exchange(pendingHandle_, INVALID_HANDLE_VALUE);
  switch (action) {
    case caQuit:
      return false;
    case caAdd: {
      newSlot_ = -1;
      for (int slot = 0; slot < kSlotCount; ++slot)
        if (!IsUsed(slots_[static_cast<std::size_t>(slot)])) {
          newSlot_ = slot;
          break;
        }
      if (newSlot_ < 0)
        FindCloseChangeNotification(handle);  // no free slot: refused at once
      else
        slots_[static_cast<std::size_t>(newSlot_)] = handle;
      break;
    }
    case caCloseAll:
      for (int slot = 0; slot < kSlotCount; ++slot) {
        HANDLE& h = slots_[static_cast<std::size_t>(slot)];
        if (IsUsed(h)) FindCloseChangeNotification(h);
        h = INVALID_HANDLE_VALUE;
      }
      break;
  }
  answeredSeq_ = seq;
  SetEvent(doneEvent_.Get());
  return true;
}

void TChangeHandlerThread::CloseSlot(int slot) {
  std::lock_guard<std::mutex> guard(lock_);
  HANDLE& h = slots_[static_cast<std::size_t>(slot)];
  if (IsUsed(h)) FindCloseChangeNotification(h);
  h = INVALID_HANDLE_VALUE;
}

bool TChangeHandlerThread::DropInvalidHandles() {
  std::lock_guard<std::mutex> guard(lock_);
  bool dropped = false;
  for (HANDLE& h : slots_) {
    DWORD flags = 0;
    if (IsUsed(h) && !GetHandleInformation(h, &flags)) {
      h = INVALID_HANDLE_VALUE;
      dropped = true;
    }
  }
  return dropped;
}

void TChangeHandlerThread::Execute() {
  for (;;) {
    HANDLE waits[MAXIMUM_WAIT_OBJECTS];
    int slotOf[MAXIMUM_WAIT_OBJECTS];
    DWORD count = 0;
    waits[count++] = actionEvent_.Get();
    {
      std::lock_guard<std::mutex> guard(lock_);
      for (int slot = 0; slot < kSlotCount; ++slot) {
        HANDLE h = slots_[static_cast<std::size_t>(slot)];
        if (!IsUsed(h)) continue;
        waits[count] = h;
        slotOf[count] = slot;
        ++count;
      }
    }
    const DWORD r = WaitForMultipleObjects(count, waits, FALSE, INFINITE);
    if (r == WAIT_OBJECT_0) {
      if (!TakeRequest()) return;
    } else if (r > WAIT_OBJECT_0 && r < WAIT_OBJECT_0 + count) {
      const DWORD p = r - WAIT_OBJECT_0;
      if (ownerWindow_)
        PostMessageA(ownerWindow_, messageId_, static_cast<WPARAM>(slotOf[p]), 0);
      if (!FindNextChangeNotification(waits[p])) CloseSlot(slotOf[p]);
    } else if (r > WAIT_ABANDONED_0 && r < WAIT_ABANDONED_0 + count) {
      CloseSlot(slotOf[r - WAIT_ABANDONED_0]);
    } else if (r == WAIT_FAILED) {
      // A handle closed behind the thread's back fails every wait: drop it instead of
      // waiting again at once. When none can be found, only a request can wake the thread.
      if (!DropInvalidHandles()) {
        if (WaitForSingleObject(actionEvent_.Get(), INFINITE) != WAIT_OBJECT_0) return;
        if (!TakeRequest()) return;
      }
    }
  }
}
