// What the shell controls share: the shell's COM interfaces and an owning pointer to them,
// the parts of one item-ID list, a sortable collection of lists, and the one listener for
// drives arriving and leaving.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <cstddef>
#include <functional>
#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

#include "platform/Application.h"
#include "platform/Classes.h"
#include "shell/FcShellUtils.h"

// The shell's interfaces, used through plain pointers with explicit AddRef and Release.
using IUnknown_NRC = IUnknown;
using IShellFolder_NRC = IShellFolder;
using IShellDetails_NRC = IShellDetails;

// Holds one reference to an interface and releases it when it goes.
template <class I>
class TComPtr {
 public:
  TComPtr() = default;
  // Takes over a reference the caller already holds.
  explicit TComPtr(I* p) : p_(p) {}
  ~TComPtr() { Reset(); }
  TComPtr(const TComPtr& other) : p_(other.p_) {
    if (p_) p_->AddRef();
  }
  TComPtr& operator=(const TComPtr& other) {
    if (this != &other) {
      if (other.p_) other.p_->AddRef();
      Reset(other.p_);
    }
    return *this;
  }
  TComPtr(TComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  TComPtr& operator=(TComPtr&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.p_, nullptr));
    return *this;
  }

  I* Get() const { return p_; }
  I* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // For calls that hand out an interface; the old one is released first.
  I** Out() {
    Reset();
    return &p_;
  }
  void** OutVoid() { return reinterpret_cast<void**>(Out()); }
  // Takes over `p`'s reference, releasing the one held.
  void Reset(I* p = nullptr) {
    I* old = std::exchange(p_, p);
    if (old) old->Release();
  }
  // Gives the reference to the caller.
  I* Detach() { return std::exchange(p_, nullptr); }
  // A new reference for the caller.
  I* AddRefed() const {
    if (p_) p_->AddRef();
    return p_;
  }

 private:
  I* p_ = nullptr;
};

// The desktop folder; raises EOleSysError when the shell gives none.
TComPtr<IShellFolder> DesktopFolder();

// ---- One item-ID list taken apart ---------------------------------------------------------

// Borrows a list (neither copied nor freed) and hands out copies of its parts. Each result
// is owned here and stays valid until the next GetLeading or GetItem or the destruction;
// callers copy it to keep it.
class TFcIdListArray {
 public:
  explicit TFcIdListArray(LPCITEMIDLIST list) : list_(list) {}
  TFcIdListArray(const TFcIdListArray&) = delete;
  TFcIdListArray& operator=(const TFcIdListArray&) = delete;

  // The number of items; 0 for nullptr and for the empty list.
  int Count() const;
  // The first Count - n items as a list; nullptr when the list is nullptr or n is outside
  // 0..Count. 1 gives an absolute list's parent, 0 a copy of the whole.
  LPITEMIDLIST GetLeading(int n);
  // Item i as a one-item list; nullptr when the list is nullptr, i is negative, or i is
  // Count or more while Count is not 0. Item 0 of the empty list is the empty list.
  LPITEMIDLIST GetItem(int i);

 private:
  LPCITEMIDLIST list_;
  TIdListPtr result_;
};

// ---- A collection of item-ID lists --------------------------------------------------------

enum TFcPidlDuplicates { pdIgnore, pdAccept, pdError };

// Entries of an item-ID list and an object (the caller's node or item), in the order added
// or, when Sorted, in the shell's order of ShellFolder (by bytes without one). With Malloc
// set the collection owns its lists and frees them through it; without, the creator does.
class TFcPidlList {
 public:
  TFcPidlList() = default;
  ~TFcPidlList();
  TFcPidlList(const TFcPidlList&) = delete;
  TFcPidlList& operator=(const TFcPidlList&) = delete;

  int Add(LPITEMIDLIST list) { return AddObject(list, nullptr); }
  // Appends (unsorted) or inserts at the list's place (sorted); an equal list already there
  // is ignored (pdIgnore: its index returned), inserted in front of its equals (pdAccept) or
  // refused with EListError "TFcPidlList: Duplicate PIDL" (pdError).
  int AddObject(LPITEMIDLIST list, void* object);
  // Binary search of a sorted collection: true when an equal list is there; index is its
  // position (the first of equals under pdAccept) or where the list would go.
  bool Find(LPCITEMIDLIST list, int& index) const;
  // The position of an equal list, -1 when none.
  int IndexOf(LPCITEMIDLIST list) const;
  // Removes entry i, freeing its list through Malloc when set.
  void Delete(int index);
  void Clear();
  void Sort();

  LPITEMIDLIST Items(int index) const;
  void* Objects(int index) const;
  int Count() const { return static_cast<int>(entries_.size()); }
  int Capacity() const { return static_cast<int>(entries_.capacity()); }
  void SetCapacity(int value);

  // Not referenced by the collection: the caller keeps it alive while the collection sorts.
  IShellFolder* ShellFolder() const { return shellFolder_; }
  void SetShellFolder(IShellFolder* folder) { shellFolder_ = folder; }
  IMalloc* Malloc() const { return malloc_; }
  void SetMalloc(IMalloc* malloc) { malloc_ = malloc; }
  bool Sorted() const { return sorted_; }
  // Turning sorting on sorts at once; turning it off keeps the order.
  void SetSorted(bool value);
  TFcPidlDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TFcPidlDuplicates value) { duplicates_ = value; }

 private:
  struct TEntry {
    LPITEMIDLIST list;
    void* object;
  };
  int Compare(LPCITEMIDLIST a, LPCITEMIDLIST b) const;
  void CheckIndex(int index) const;

  std::vector<TEntry> entries_;
  IShellFolder* shellFolder_ = nullptr;
  IMalloc* malloc_ = nullptr;
  bool sorted_ = false;
  TFcPidlDuplicates duplicates_ = pdError;
};

// ---- Drives arriving and leaving ----------------------------------------------------------

// The notice a device-change subscriber gets, after the system's broadcast has returned.
constexpr UINT CM_RZDEVICECHANGE = 0x464;

class TFcDeviceChangeHandler;
// Sender is the handler; the message is CM_RZDEVICECHANGE with the broadcast's event code
// (DBT_DEVICEARRIVAL...) as WParam. The broadcast's own record is gone by then, so LParam
// is 0.
using TFcDeviceChangeEvent = std::function<void(TObject* sender, TMessage& message)>;

// Listens on a hidden window for the system's device-change broadcast and passes it on to
// its subscribers once the broadcast call has returned.
class TFcDeviceChangeHandler : public TObject {
 public:
  TFcDeviceChangeHandler();
  ~TFcDeviceChangeHandler() override;
  TFcDeviceChangeHandler(const TFcDeviceChangeHandler&) = delete;
  TFcDeviceChangeHandler& operator=(const TFcDeviceChangeHandler&) = delete;

  // Subscribes object's method; the same method may subscribe twice and is then called
  // twice.
  template <class T>
  void AddSubscriber(T* object, void (T::*method)(TObject*, TMessage&)) {
    Add({object, MethodKey(method),
         [object, method](TObject* sender, TMessage& m) { (object->*method)(sender, m); }});
  }
  // Removes the first subscription of object's method; nothing when there is none. A
  // subscriber removed while a notice is being delivered is not called any more.
  template <class T>
  void RemoveSubscriber(T* object, void (T::*method)(TObject*, TMessage&)) {
    Remove(object, MethodKey(method));
  }

  bool Active() const { return active_; }
  void SetActive(bool value) { active_ = value; }
  HWND Handle() const { return window_; }

 private:
  struct TSubscriber {
    const void* data;
    std::string code;
    TFcDeviceChangeEvent call;
    unsigned long long id = 0;
  };
  template <class M>
  static std::string MethodKey(M method) {
    std::string key(typeid(M).name());
    key.append(reinterpret_cast<const char*>(&method), sizeof method);
    return key;
  }
  void Add(TSubscriber subscriber);
  void Remove(const void* data, const std::string& code);
  void WndProc(TMessage& message);
  void Deliver(TMessage& message);

  HWND window_ = nullptr;
  bool active_ = true;
  std::vector<TSubscriber> subscribers_;
  unsigned long long nextId_ = 1;
};

// The process's one handler, made on first use; nullptr once the shell module has shut down
// (at the program's end), so that controls going after it have nothing to unsubscribe from.
TFcDeviceChangeHandler* ShellDeviceChangeHandler();
// The shell module's shut-down frees the handler.
void FreeShellDeviceChangeHandler();
