#include "platform/StringList.h"

#include <algorithm>
#include <utility>

#include "platform/Guards.h"

namespace {

// Keeps a list in its update state for the lifetime of the guard, also when an exception
// leaves the scope.
class TUpdateGuard {
 public:
  explicit TUpdateGuard(TStrings* list) : list_(list) { list_->BeginUpdate(); }
  ~TUpdateGuard() { list_->EndUpdate(); }
  TUpdateGuard(const TUpdateGuard&) = delete;
  TUpdateGuard& operator=(const TUpdateGuard&) = delete;

 private:
  TStrings* list_;
};

bool NeedsQuotes(const std::string& s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) <= ' ' || c == '"' || c == ',') return true;
  return false;
}

}  // namespace

// ---- TStrings ----------------------------------------------------------------------------

void TStrings::IndexError(int index) { throw EListError(Format("List index out of bounds (%d)", index)); }

void TStrings::ListError(const char* message) { throw EListError(message); }

void TStrings::Put(int index, const std::string& s) {
  TObject* object = Objects(index);
  Delete(index);
  InsertObject(index, s, object);
}

TObject* TStrings::Objects(int) const { return nullptr; }

void TStrings::PutObject(int, TObject*) {}

int TStrings::Add(const std::string& s) {
  int index = Count();
  Insert(index, s);
  return index;
}

int TStrings::AddObject(const std::string& s, TObject* object) {
  int index = Add(s);
  PutObject(index, object);
  return index;
}

void TStrings::InsertObject(int index, const std::string& s, TObject* object) {
  Insert(index, s);
  PutObject(index, object);
}

void TStrings::Exchange(int index1, int index2) {
  TUpdateGuard guard(this);
  std::string s1 = Strings(index1);
  TObject* o1 = Objects(index1);
  Put(index1, Strings(index2));
  PutObject(index1, Objects(index2));
  Put(index2, s1);
  PutObject(index2, o1);
}

void TStrings::AddStrings(const TStrings* strings) {
  if (!strings) return;
  TUpdateGuard guard(this);
  const int n = strings->Count();  // adding a list to itself copies its lines once
  for (int i = 0; i < n; ++i) AddObject(strings->Strings(i), strings->Objects(i));
}

int TStrings::IndexOf(const std::string& s) const {
  for (int i = 0, n = Count(); i < n; ++i)
    if (CompareStrings(Strings(i), s) == 0) return i;
  return -1;
}

int TStrings::IndexOfObject(const TObject* object) const {
  for (int i = 0, n = Count(); i < n; ++i)
    if (Objects(i) == object) return i;
  return -1;
}

int TStrings::IndexOfName(const std::string& name) const {
  for (int i = 0, n = Count(); i < n; ++i) {
    std::string line = Strings(i);
    size_t eq = line.find('=');
    if (eq != std::string::npos && CompareStrings(line.substr(0, eq), name) == 0) return i;
  }
  return -1;
}

std::string TStrings::Names(int index) const {
  std::string line = Strings(index);
  size_t eq = line.find('=');
  return eq == std::string::npos ? std::string() : line.substr(0, eq);
}

std::string TStrings::Values(const std::string& name) const {
  int i = IndexOfName(name);
  if (i < 0) return std::string();
  std::string line = Strings(i);
  return line.substr(line.find('=') + 1);
}

void TStrings::SetValues(const std::string& name, const std::string& value) {
  int i = IndexOfName(name);
  if (!value.empty()) {
    if (i < 0) Add(name + "=" + value);
    else Put(i, name + "=" + value);
  } else if (i >= 0) {
    Delete(i);
  }
}

std::string TStrings::Text() const {
  std::string text;
  for (int i = 0, n = Count(); i < n; ++i) {
    text += Strings(i);
    text += "\r\n";
  }
  return text;
}

void TStrings::SetText(const std::string& text) {
  TUpdateGuard guard(this);
  Clear();
  size_t i = 0;
  while (i < text.size()) {
    size_t end = text.find_first_of("\r\n", i);
    if (end == std::string::npos) end = text.size();
    Add(text.substr(i, end - i));
    i = end;
    if (i < text.size() && text[i] == '\r') ++i;
    if (i < text.size() && text[i] == '\n') ++i;
  }
}

std::string TStrings::CommaText() const {
  const int n = Count();
  if (n == 1 && Strings(0).empty()) return "\"\"";
  std::string text;
  for (int i = 0; i < n; ++i) {
    if (i > 0) text += ',';
    std::string s = Strings(i);
    if (!NeedsQuotes(s)) {
      text += s;
      continue;
    }
    text += '"';
    for (char c : s) {
      if (c == '"') text += '"';
      text += c;
    }
    text += '"';
  }
  return text;
}

void TStrings::SetCommaText(const std::string& text) {
  TUpdateGuard guard(this);
  Clear();
  auto blank = [&](size_t at) { return at < text.size() && static_cast<unsigned char>(text[at]) <= ' '; };
  size_t i = 0;
  while (blank(i)) ++i;
  while (i < text.size()) {
    std::string s;
    if (text[i] == '"') {
      ++i;
      while (i < text.size()) {
        if (text[i] == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') {
            s += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        s += text[i++];
      }
    } else {
      size_t start = i;
      while (i < text.size() && !blank(i) && text[i] != ',') ++i;
      s = text.substr(start, i - start);
    }
    Add(s);
    while (blank(i)) ++i;
    if (i < text.size() && text[i] == ',') {
      ++i;
      while (blank(i)) ++i;
    }
  }
}

bool TStrings::Equals(const TStrings* strings) const {
  if (!strings) return false;
  const int n = Count();
  if (n != strings->Count()) return false;
  for (int i = 0; i < n; ++i)
    if (Strings(i) != strings->Strings(i)) return false;
  return true;
}

void TStrings::Assign(TPersistent* source) {
  if (auto* strings = dynamic_cast<TStrings*>(source)) {
    if (strings == this) return;
    TUpdateGuard guard(this);
    Clear();
    AddStrings(strings);
    return;
  }
  TPersistent::Assign(source);
}

void TStrings::BeginUpdate() {
  if (updateCount_ == 0) SetUpdateState(true);
  ++updateCount_;
}

void TStrings::EndUpdate() {
  if (updateCount_ == 0) return;
  --updateCount_;
  if (updateCount_ == 0) SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

int TStrings::CompareStrings(const std::string& a, const std::string& b) const {
  return AnsiCompareText(a, b);
}

void TStrings::LoadFromFile(const std::string& fileName) { SetText(ReadFileContents(fileName)); }

void TStrings::SaveToFile(const std::string& fileName) const {
  HANDLE h = CreateFileA(fileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    throw EFCreateError(
        Format("Cannot create file \"%s\". %s", fileName.c_str(), SysErrorMessage(error).c_str()));
  }
  THandleGuard closer(h);
  const std::string text = Text();
  size_t done = 0;
  while (done < text.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size() - done, 1u << 20));
    DWORD written = 0;
    if (!WriteFile(h, text.data() + done, chunk, &written, nullptr) || written == 0)
      throw EWriteError("Stream write error");
    done += written;
  }
}

// ---- TStringList -------------------------------------------------------------------------

void TStringList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) IndexError(index);
}

std::string TStringList::Strings(int index) const {
  CheckIndex(index);
  return items_[static_cast<size_t>(index)].text;
}

void TStringList::Put(int index, const std::string& s) {
  if (sorted_) ListError("Operation not allowed on sorted list");
  CheckIndex(index);
  Changing();
  items_[static_cast<size_t>(index)].text = s;
  Changed();
}

TObject* TStringList::Objects(int index) const {
  CheckIndex(index);
  return items_[static_cast<size_t>(index)].object;
}

void TStringList::PutObject(int index, TObject* object) {
  CheckIndex(index);
  Changing();
  items_[static_cast<size_t>(index)].object = object;
  Changed();
}

int TStringList::Add(const std::string& s) { return AddObject(s, nullptr); }

int TStringList::AddObject(const std::string& s, TObject* object) {
  int index = Count();
  if (sorted_ && Find(s, index)) {
    if (duplicates_ == dupIgnore) return index;
    if (duplicates_ == dupError) ListError("Duplicates not allowed");
  }
  InsertItem(index, s, object);
  return index;
}

void TStringList::Insert(int index, const std::string& s) { InsertObject(index, s, nullptr); }

void TStringList::InsertObject(int index, const std::string& s, TObject* object) {
  if (sorted_) ListError("Operation not allowed on sorted list");
  if (index < 0 || index > Count()) IndexError(index);
  InsertItem(index, s, object);
}

void TStringList::InsertItem(int index, const std::string& s, TObject* object) {
  Changing();
  items_.insert(items_.begin() + index, TItem{s, object});
  Changed();
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  Changing();
  items_.erase(items_.begin() + index);
  Changed();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  Changing();
  items_.clear();
  Changed();
}

void TStringList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  Changing();
  std::swap(items_[static_cast<size_t>(index1)], items_[static_cast<size_t>(index2)]);
  Changed();
}

int TStringList::IndexOf(const std::string& s) const {
  if (!sorted_) return TStrings::IndexOf(s);
  int index;
  return Find(s, index) ? index : -1;
}

bool TStringList::Find(const std::string& s, int& index) const {
  bool found = false;
  int lo = 0, hi = Count() - 1;
  while (lo <= hi) {
    int mid = (lo + hi) / 2;
    int c = CompareStrings(items_[static_cast<size_t>(mid)].text, s);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) {
        found = true;
        if (duplicates_ != dupAccept) lo = mid;
      }
    }
  }
  index = lo;
  return found;
}

int TStringList::CompareItems(TStringList* list, int index1, int index2) {
  return list->CompareStrings(list->items_[static_cast<size_t>(index1)].text,
                              list->items_[static_cast<size_t>(index2)].text);
}

void TStringList::Sort() { CustomSort(CompareItems); }

void TStringList::CustomSort(const TStringListSortCompare& compare) {
  if (!sorted_ && Count() > 1) SortItems(compare);
}

void TStringList::SortItems(const TStringListSortCompare& compare) {
  Changing();
  QuickSort(0, Count() - 1, compare);
  Changed();
}

void TStringList::QuickSort(int lo, int hi, const TStringListSortCompare& compare) {
  while (lo < hi) {
    int i = lo, j = hi, pivot = (lo + hi) / 2;
    do {
      while (i < hi && compare(this, i, pivot) < 0) ++i;
      while (j > lo && compare(this, j, pivot) > 0) --j;
      if (i <= j) {
        std::swap(items_[static_cast<size_t>(i)], items_[static_cast<size_t>(j)]);
        // The pivot travels with the exchange.
        if (pivot == i) pivot = j;
        else if (pivot == j) pivot = i;
        ++i;
        --j;
      }
    } while (i <= j);
    if (lo < j) QuickSort(lo, j, compare);
    lo = i;
  }
}

void TStringList::SetSorted(bool sorted) {
  if (sorted == sorted_) return;
  if (sorted) Sort();
  sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool caseSensitive) {
  if (caseSensitive == caseSensitive_) return;
  caseSensitive_ = caseSensitive;
  // The order of a sorted list depends on how it compares.
  if (sorted_ && Count() > 1) SortItems(CompareItems);
}

int TStringList::CompareStrings(const std::string& a, const std::string& b) const {
  return caseSensitive_ ? AnsiCompareStr(a, b) : AnsiCompareText(a, b);
}

void TStringList::SetUpdateState(bool updating) {
  if (updating) Changing();
  else Changed();
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && OnChange) OnChange(this);
}
