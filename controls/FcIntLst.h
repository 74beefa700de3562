// A persistent list of 32-bit integers with an optional value range, an optional sorted mode
// with a policy for duplicates, and its own form in stored layouts ("Min", "Max",
// "Integers"); the check group keeps its items' check states in one.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Classes.h"
#include "platform/StringList.h"

// A value outside a list's range: "Value must be within <Min>..<Max>".
class EOutOfRange : public Exception { using Exception::Exception; };

// Index errors and refused operations raise EListError; a failed operation leaves the list as
// it was.
class TFcIntegerList : public TPersistent {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  int Items(int index) const;
  // Overwrites in place: a sorted list keeps the value where it is written.
  void SetItems(int index, int value);

  // Sorted, a value already present is ignored (its index is returned), refused or inserted in
  // front of the equal ones, as Duplicates says. Returns the value's index.
  int Add(int value);
  void AddList(const TFcIntegerList* other);
  // Refused on a sorted list; an index equal to Count appends.
  void Insert(int index, int value);
  void Delete(int index);
  void Clear() { items_.clear(); }
  void Exchange(int index1, int index2);
  void Move(int from, int to);

  // Binary search of a sorted list: true when found; `index` is where the value is (with
  // dupAccept the first of the equal ones) or where it would go.
  bool Find(int value, int& index) const;
  int IndexOf(int value) const;
  // Ascending; only for a list that is not in sorted mode.
  void Sort();
  bool Equals(const TFcIntegerList* other) const;
  void Assign(TPersistent* source) override;

  bool Sorted() const { return sorted_; }
  // Switching it on sorts the items already there.
  void SetSorted(bool value);
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates value) { duplicates_ = value; }
  // The range values must lie in; none while Min equals Max.
  int Min() const { return min_; }
  void SetMin(int value) { min_ = value; }
  int Max() const { return max_; }
  void SetMax(int value) { max_ = value; }

 private:
  void CheckRange(int value) const;
  void CheckIndex(int index) const;
  void QuickSort(int lo, int hi);

  std::vector<std::int32_t> items_;
  bool sorted_ = false;
  TDuplicates duplicates_ = dupIgnore;
  int min_ = 0;
  int max_ = 0;
};

// Registers TFcIntegerList, so that a component publishing one as a sub-object stores it.
void RegisterFcIntLst();
