// The worker thread that watches folders for changes and tells its owner window of each with
// a posted message; the shell tree and list keep themselves current through it.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <mutex>
#include <string>

#include "platform/Guards.h"
#include "platform/Thread.h"

class TChangeHandlerThread : public TThread {
 public:
  // One wait takes at most 64 handles, and the thread's action event is one of them.
  static constexpr int kSlotCount = MAXIMUM_WAIT_OBJECTS - 1;

  // Starts the thread; every change in a watched folder posts `messageId` to `ownerWindow`
  // (when not 0) with the watch's slot as WParam and 0 as LParam.
  TChangeHandlerThread(HWND ownerWindow, UINT messageId);
  // Ends the thread (waiting for it however long it takes) and closes every watch.
  ~TChangeHandlerThread() override;

  // Watches `path` for the changes of `filter` (FILE_NOTIFY_CHANGE_ flags). True with the
  // watch's slot; false (slot -1) for an empty path, a folder that cannot be watched, all
  // slots taken (the new watch is closed at once) or a thread that did not answer within
  // 2000 ms.
  bool AddWatch(const std::string& path, DWORD filter, int& slot, bool watchSubtree);
  // Closes every watch and frees every slot.
  void RemoveAllWatches();

  HWND OwnerWindow() const { return ownerWindow_; }
  UINT MessageId() const { return messageId_; }
  // The change handle of a slot; INVALID_HANDLE_VALUE when the slot is free.
  HANDLE WatchHandle(int slot) const;

 protected:
  void Execute() override;

 private:
  enum TAction : std::uint8_t { caAdd = 0, caCloseAll = 2, caQuit = 3 };

  // Hands one request to the thread and waits up to 2000 ms for its answer. A request not
  // answered by then is withdrawn (false; the caller keeps its handle), so a late thread
  // can never take it for the next one.
  bool Request(TAction action, HANDLE handle, int& newSlot);
  // Takes and carries out the request waiting; false when it asks the thread to end.
  bool TakeRequest();
  // Frees the slots whose handles are no longer valid; true when there were any.
  bool DropInvalidHandles();
  void CloseSlot(int slot);

  const HWND ownerWindow_;
  const UINT messageId_;
  THandleGuard actionEvent_;
  THandleGuard doneEvent_;

  // Shared with the thread; the slots change only on the thread.
  mutable std::mutex lock_;
  std::array<HANDLE, kSlotCount> slots_;
  TAction action_ = caAdd;
  HANDLE pendingHandle_ = INVALID_HANDLE_VALUE;
  int newSlot_ = -1;
  unsigned requestSeq_ = 0;   // the last request made
  unsigned pendingSeq_ = 0;   // the request waiting to be taken, 0 when none
  unsigned answeredSeq_ = 0;  // the last request the thread answered
};
