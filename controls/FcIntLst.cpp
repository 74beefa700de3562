#include "controls/FcIntLst.h"

#include <utility>

#include "platform/TypInfo.h"
#include "resources/ResourceIds.h"

namespace {

[[noreturn]] void ListError(UINT id) { throw EListError(LoadResString(id)); }

[[noreturn]] void IndexError(int index) {
  throw EListError(ResMessage(IDS_FC_LIST_INDEX, index));
}

}  // namespace

void TFcIntegerList::CheckRange(int value) const {
  if (min_ != max_ && (value < min_ || value > max_))
    throw EOutOfRange(ResMessage(IDS_FC_VALUE_RANGE, min_, max_));
}

void TFcIntegerList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) IndexError(index);
}

int TFcIntegerList::Items(int index) const {
  CheckIndex(index);
  return items_[index];
}

void TFcIntegerList::SetItems(int index, int value) {
  CheckIndex(index);
  CheckRange(value);
  items_[index] = value;
}

int TFcIntegerList::Add(int value) {
  int index = Count();
  if (sorted_ && Find(value, index)) {
    if (duplicates_ == dupIgnore) return index;
    if (duplicates_ == dupError) ListError(IDS_FC_DUPLICATES);
  }
  CheckRange(value);
  items_.insert(items_.begin() + index, value);
  return index;
}

void TFcIntegerList::AddList(const TFcIntegerList* other) {
  // A copy, so that a list may add itself.
  std::vector<std::int32_t> values = other->items_;
  for (std::int32_t v : values) Add(v);
}

void TFcIntegerList::Insert(int index, int value) {
  if (sorted_) ListError(IDS_FC_SORTED_LIST);
  if (index < 0 || index > Count()) IndexError(index);
  CheckRange(value);
  items_.insert(items_.begin() + index, value);
}

void TFcIntegerList::Delete(int index) {
  CheckIndex(index);
  items_.erase(items_.begin() + index);
}

void TFcIntegerList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  std::swap(items_[index1], items_[index2]);
}

void TFcIntegerList::Move(int from, int to) {
  if (from == to) return;
  CheckIndex(from);
  CheckIndex(to);
  std::int32_t value = items_[from];
  items_.erase(items_.begin() + from);
  items_.insert(items_.begin() + to, value);
}

bool TFcIntegerList::Find(int value, int& index) const {
  int lo = 0, hi = Count() - 1;
  bool found = false;
  while (lo <= hi) {
    int mid = (lo + hi) / 2;
    if (items_[mid] < value) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (items_[mid] == value) {
        found = true;
        // Only dupAccept goes on to the first of the equal ones.
        if (duplicates_ != dupAccept) lo = mid;
      }
    }
  }
  index = lo;
  return found;
}

int TFcIntegerList::IndexOf(int value) const {
  if (sorted_) {
    int index = 0;
    return Find(value, index) ? index : -1;
  }
  for (int i = 0; i < Count(); ++i)
    if (items_[i] == value) return i;
  return -1;
}

void TFcIntegerList::Sort() {
  if (!sorted_ && Count() > 1) QuickSort(0, Count() - 1);
}

void TFcIntegerList::QuickSort(int lo, int hi) {
  int pivot = items_[(lo + hi) / 2];
  int i = lo, j = hi;
  do {
    while (items_[i] < pivot) ++i;
    while (items_[j] > pivot) --j;
    if (i <= j) {
      std::swap(items_[i], items_[j]);
      ++i;
      --j;
    }
  } while (i <= j);
  if (lo < j) QuickSort(lo, j);
  if (i < hi) QuickSort(i, hi);
}

void TFcIntegerList::SetSorted(bool value) {
  if (value == sorted_) return;
  // Sorted mode searches by halves, so the items must be in order before it starts.
  if (value) Sort();
  sorted_ = value;
}

bool TFcIntegerList::Equals(const TFcIntegerList* other) const { return other && items_ == other->items_; }

void TFcIntegerList::Assign(TPersistent* source) {
  if (auto* other = dynamic_cast<TFcIntegerList*>(source)) {
    if (other == this) return;
    Clear();
    AddList(other);
    return;
  }
  TPersistent::Assign(source);
}

void RegisterFcIntLst() {
  using L = TFcIntegerList;
  RegisterClassInfo<L, TPersistent>("TFcIntegerList")
      .Extra(
          "Min", tkInteger, [](L* l, const TValue& v) { l->SetMin(static_cast<int>(v.AsInteger())); },
          [](L* l) -> std::optional<TValue> {
            if (l->Min() == 0) return std::nullopt;
            return TValue::Integer(l->Min());
          })
      .Extra(
          "Max", tkInteger, [](L* l, const TValue& v) { l->SetMax(static_cast<int>(v.AsInteger())); },
          [](L* l) -> std::optional<TValue> {
            if (l->Max() == 0) return std::nullopt;
            return TValue::Integer(l->Max());
          })
      // Read through Add, so the range and the sorted mode apply to the values read.
      .Extra(
          "Integers", tkList,
          [](L* l, const TValue& v) {
            l->Clear();
            for (const TValue& item : v.AsList()) l->Add(static_cast<int>(item.AsInteger()));
          },
          [](L* l) -> std::optional<TValue> {
            if (l->Count() == 0) return std::nullopt;
            std::vector<TValue> values;
            for (int i = 0; i < l->Count(); ++i) values.push_back(TValue::Integer(l->Items(i)));
            return TValue::List(std::move(values));
          });
}
