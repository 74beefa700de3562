#include "shell/FcShellIntf.h"

#include <dbt.h>

#include <algorithm>
#include <cstring>

#include "resources/ResourceIds.h"

TComPtr<IShellFolder> DesktopFolder() {
  TComPtr<IShellFolder> desktop;
  OleCheck(SHGetDesktopFolder(desktop.Out()));
  return desktop;
}

// ---- TFcIdListArray -----------------------------------------------------------------------

namespace {

// Bytes of the first `count` items (without a terminator).
std::size_t LeadingBytes(LPCITEMIDLIST list, int count) {
  const BYTE* p = reinterpret_cast<const BYTE*>(list);
  std::size_t size = 0;
  for (int i = 0; i < count; ++i) {
    USHORT cb;
    std::memcpy(&cb, p + size, sizeof cb);
    size += cb;
  }
  return size;
}

// A new list of `size` bytes of `from` and a terminator.
LPITEMIDLIST MakeList(const BYTE* from, std::size_t size) {
  auto* p = static_cast<BYTE*>(ShellMemAlloc(size + 2));
  if (!p) return nullptr;
  if (size) std::memcpy(p, from, size);
  p[size] = 0;
  p[size + 1] = 0;
  return reinterpret_cast<LPITEMIDLIST>(p);
}

}  // namespace

int TFcIdListArray::Count() const {
  if (!list_) return 0;
  const BYTE* p = reinterpret_cast<const BYTE*>(list_);
  int count = 0;
  for (;;) {
    USHORT cb;
    std::memcpy(&cb, p, sizeof cb);
    if (cb == 0) return count;
    ++count;
    p += cb;
  }
}

LPITEMIDLIST TFcIdListArray::GetLeading(int n) {
  result_.reset();
  int count = Count();
  if (!list_ || n < 0 || n > count) return nullptr;
  result_.reset(MakeList(reinterpret_cast<const BYTE*>(list_), LeadingBytes(list_, count - n)));
  return result_.get();
}

LPITEMIDLIST TFcIdListArray::GetItem(int i) {
  result_.reset();
  int count = Count();
  if (!list_ || i < 0 || (i >= count && count != 0)) return nullptr;
  if (count == 0) {
    result_.reset(MakeList(nullptr, 0));
  } else {
    const BYTE* item = reinterpret_cast<const BYTE*>(list_) + LeadingBytes(list_, i);
    USHORT cb;
    std::memcpy(&cb, item, sizeof cb);
    result_.reset(MakeList(item, cb));
  }
  return result_.get();
}

// ---- TFcPidlList --------------------------------------------------------------------------

TFcPidlList::~TFcPidlList() { Clear(); }

int TFcPidlList::Compare(LPCITEMIDLIST a, LPCITEMIDLIST b) const {
  if (shellFolder_) {
    // The folder's own order; a failed call yields its code's low word, as the shell's
    // sorting callers do.
    return static_cast<short>(HRESULT_CODE(shellFolder_->CompareIDs(0, a, b)));
  }
  UINT sizeA = IdListSize(a), sizeB = IdListSize(b);
  UINT common = std::min(sizeA, sizeB);
  const BYTE* pa = reinterpret_cast<const BYTE*>(a);
  const BYTE* pb = reinterpret_cast<const BYTE*>(b);
  for (UINT i = 0; i < common; ++i)
    if (pa[i] != pb[i]) return static_cast<int>(pa[i]) - static_cast<int>(pb[i]);
  return static_cast<int>(sizeA) - static_cast<int>(sizeB);
}

void TFcPidlList::CheckIndex(int index) const {
  if (index < 0 || index >= Count())
    throw EListError(Format("List index out of bounds (%d)", index));
}

bool TFcPidlList::Find(LPCITEMIDLIST list, int& index) const {
  bool found = false;
  int low = 0, high = Count() - 1;
  while (high >= low) {
    int middle = (low + high) / 2;
    int c = Compare(entries_[static_cast<std::size_t>(middle)].list, list);
    if (c < 0) {
      low = middle + 1;
    } else {
      high = middle - 1;
      if (c == 0) {
        found = true;
        // Under pdAccept the search goes on to the left: the first of the equals.
        if (duplicates_ != pdAccept) low = middle;
      }
    }
  }
  index = low;
  return found;
}

int TFcPidlList::AddObject(LPITEMIDLIST list, void* object) {
  if (!sorted_) {
    entries_.push_back({list, object});
    return Count() - 1;
  }
  int index = 0;
  if (Find(list, index)) {
    if (duplicates_ == pdIgnore) return index;
    if (duplicates_ == pdError) throw EListError(LoadResString(IDS_SHELL_DUPLICATE_PIDL));
  }
  entries_.insert(entries_.begin() + index, {list, object});
  return index;
}

int TFcPidlList::IndexOf(LPCITEMIDLIST list) const {
  if (sorted_) {
    int index = 0;
    return Find(list, index) ? index : -1;
  }
  for (int i = 0; i < Count(); ++i)
    if (Compare(entries_[static_cast<std::size_t>(i)].list, list) == 0) return i;
  return -1;
}

void TFcPidlList::Delete(int index) {
  CheckIndex(index);
  if (malloc_) malloc_->Free(entries_[static_cast<std::size_t>(index)].list);
  entries_.erase(entries_.begin() + index);
}

void TFcPidlList::Clear() {
  if (malloc_)
    for (TEntry& e : entries_) malloc_->Free(e.list);
  entries_.clear();
}

void TFcPidlList::Sort() {
  // A merge sort: it never reads outside the entries, even when a folder's comparison is
  // not consistent.
  std::vector<TEntry> scratch(entries_.size());
  for (std::size_t width = 1; width < entries_.size(); width *= 2) {
    for (std::size_t left = 0; left < entries_.size(); left += 2 * width) {
      std::size_t mid = std::min(left + width, entries_.size());
      std::size_t right = std::min(left + 2 * width, entries_.size());
      std::size_t i = left, j = mid, k = left;
      while (i < mid && j < right)
        scratch[k++] = Compare(entries_[j].list, entries_[i].list) < 0 ? entries_[j++] : entries_[i++];
      while (i < mid) scratch[k++] = entries_[i++];
      while (j < right) scratch[k++] = entries_[j++];
    }
    entries_.swap(scratch);
  }
}

LPITEMIDLIST TFcPidlList::Items(int index) const {
  CheckIndex(index);
  return entries_[static_cast<std::size_t>(index)].list;
}

void* TFcPidlList::Objects(int index) const {
  CheckIndex(index);
  return entries_[static_cast<std::size_t>(index)].object;
}

void TFcPidlList::SetCapacity(int value) {
  if (value > Capacity()) entries_.reserve(static_cast<std::size_t>(value));
}

void TFcPidlList::SetSorted(bool value) {
  if (value == sorted_) return;
  if (value) Sort();
  sorted_ = value;
}

// ---- TFcDeviceChangeHandler ---------------------------------------------------------------

TFcDeviceChangeHandler::TFcDeviceChangeHandler() {
  window_ = AllocateHWnd([this](TMessage& m) { WndProc(m); });
}

TFcDeviceChangeHandler::~TFcDeviceChangeHandler() { DeallocateHWnd(window_); }

void TFcDeviceChangeHandler::Add(TSubscriber subscriber) {
  subscriber.id = nextId_++;
  subscribers_.push_back(std::move(subscriber));
}

void TFcDeviceChangeHandler::Remove(const void* data, const std::string& code) {
  auto it = std::find_if(subscribers_.begin(), subscribers_.end(), [&](const TSubscriber& s) {
    return s.data == data && s.code == code;
  });
  if (it != subscribers_.end()) subscribers_.erase(it);
}

void TFcDeviceChangeHandler::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_DEVICECHANGE:
      // The broadcast's record lives only while it is being sent: the subscribers get the
      // event code alone, later, from the queue.
      PostMessageA(window_, CM_RZDEVICECHANGE, m.WParam, 0);
      m.Result = DefWindowProcA(window_, m.Msg, m.WParam, m.LParam);
      return;
    case CM_RZDEVICECHANGE:
      if (active_) Deliver(m);
      return;
    default:
      m.Result = DefWindowProcA(window_, m.Msg, m.WParam, m.LParam);
  }
}

void TFcDeviceChangeHandler::Deliver(TMessage& m) {
  // Subscribers may come and go from inside a call: those present when the notice came are
  // called in order, unless they have left meanwhile.
  std::vector<unsigned long long> ids;
  for (const TSubscriber& s : subscribers_) ids.push_back(s.id);
  for (unsigned long long id : ids) {
    auto it = std::find_if(subscribers_.begin(), subscribers_.end(),
                           [id](const TSubscriber& s) { return s.id == id; });
    if (it == subscribers_.end()) continue;
    TFcDeviceChangeEvent call = it->call;
    try {
      call(this, m);
    } catch (const Exception&) {
      ApplicationHandleException(this);
    }
  }
}

namespace {
TFcDeviceChangeHandler* sharedHandler = nullptr;
bool sharedHandlerGone = false;
}  // namespace

TFcDeviceChangeHandler* ShellDeviceChangeHandler() {
  if (sharedHandlerGone) return nullptr;
  StartShellModule();
  if (!sharedHandler) sharedHandler = new TFcDeviceChangeHandler();
  return sharedHandler;
}

void FreeShellDeviceChangeHandler() {
  delete sharedHandler;
  sharedHandler = nullptr;
  sharedHandlerGone = true;
}
