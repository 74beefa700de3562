// Ordered lists of text lines, each line with an optional object beside it; the
// configuration, batch, report and log texts are kept, loaded and saved as such lists.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/Classes.h"

// A list of lines. Descendants keep the lines (in memory, in a control) and implement the
// abstract operations; everything else is built on them.
class TStrings : public TPersistent {
 public:
  virtual int Count() const = 0;
  // Index errors raise EListError "List index out of bounds (<index>)".
  virtual std::string Strings(int index) const = 0;
  virtual void Put(int index, const std::string& s);
  // The object kept beside a line; the list never frees it.
  virtual TObject* Objects(int index) const;
  virtual void PutObject(int index, TObject* object);

  // Returns the index the line went to.
  virtual int Add(const std::string& s);
  virtual int AddObject(const std::string& s, TObject* object);
  virtual void Insert(int index, const std::string& s) = 0;
  virtual void InsertObject(int index, const std::string& s, TObject* object);
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  virtual void Exchange(int index1, int index2);
  void AddStrings(const TStrings* strings);

  // First line equal to s (compared as CompareStrings does), or -1.
  virtual int IndexOf(const std::string& s) const;
  int IndexOfObject(const TObject* object) const;

  // "name=value" lines: the name is the text before the first "=", compared as IndexOf
  // compares. Names(i) is empty for a line without "=". Values of an absent name is empty;
  // SetValues adds the line when it is absent and deletes it when the value is empty.
  int IndexOfName(const std::string& name) const;
  std::string Names(int index) const;
  std::string Values(const std::string& name) const;
  void SetValues(const std::string& name, const std::string& value);

  // Every line followed by CR LF.
  std::string Text() const;
  // Replaces the lines; a line ends at CR LF, LF or CR, and a final line break adds no
  // empty line.
  void SetText(const std::string& text);
  // Lines separated by commas; a line holding a blank, comma or quote is double-quoted
  // with its quotes doubled. Setting it also splits unquoted text at blanks.
  std::string CommaText() const;
  void SetCommaText(const std::string& text);

  // Same lines in the same order, compared exactly (objects are not compared).
  bool Equals(const TStrings* strings) const;
  // Copies the lines and objects of another list; other sources as TPersistent does.
  void Assign(TPersistent* source) override;

  // Nested calls: changes between the outermost pair are announced once.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }

  // The whole file, its bytes taken as they are (ReadFileContents). Raises EFOpenError
  // "Cannot open file \"<name>\". <system text>" when the file cannot be opened and EReadError
  // when it cannot be read.
  virtual void LoadFromFile(const std::string& fileName);
  // Writes Text(). Raises EFCreateError "Cannot create file \"<name>\". <system text>" when
  // the file cannot be created.
  virtual void SaveToFile(const std::string& fileName) const;

 protected:
  // Order of two lines for IndexOf and the name searches: by the locale, without regard
  // to case.
  virtual int CompareStrings(const std::string& a, const std::string& b) const;
  // Called with true by the outermost BeginUpdate and with false by its EndUpdate.
  virtual void SetUpdateState(bool updating);
  [[noreturn]] static void IndexError(int index);
  [[noreturn]] static void ListError(const char* message);

 private:
  int updateCount_ = 0;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList;
using TStringListSortCompare = std::function<int(TStringList* list, int index1, int index2)>;

// Lines kept in memory, optionally sorted.
class TStringList : public TStrings {
 public:
  TStringList() = default;
  TStringList(const TStringList&) = delete;
  TStringList& operator=(const TStringList&) = delete;

  int Count() const override { return static_cast<int>(items_.size()); }
  std::string Strings(int index) const override;
  // Raises EListError "Operation not allowed on sorted list" on a sorted list.
  void Put(int index, const std::string& s) override;
  TObject* Objects(int index) const override;
  void PutObject(int index, TObject* object) override;

  // On a sorted list the line goes to its place, and an equal line is handled by
  // Duplicates: dupIgnore returns the existing index, dupError raises EListError
  // "Duplicates not allowed", dupAccept inserts it in front of the equal ones.
  int Add(const std::string& s) override;
  int AddObject(const std::string& s, TObject* object) override;
  // Raises EListError "Operation not allowed on sorted list" on a sorted list.
  void Insert(int index, const std::string& s) override;
  void InsertObject(int index, const std::string& s, TObject* object) override;
  void Delete(int index) override;
  void Clear() override;
  void Exchange(int index1, int index2) override;
  int IndexOf(const std::string& s) const override;

  // Binary search of a sorted list: true when s is there. `index` is then the index of an
  // equal line (the first one with dupAccept), else where s would go.
  bool Find(const std::string& s, int& index) const;
  // Sorts an unsorted list (a sorted one already is).
  void Sort();
  void CustomSort(const TStringListSortCompare& compare);

  bool Sorted() const { return sorted_; }
  void SetSorted(bool sorted);
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates duplicates) { duplicates_ = duplicates; }
  // Off by default: lines compare without regard to case.
  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool caseSensitive);

  // Fired (when assigned) before and after every change, but not while updating: then
  // OnChanging comes with the outermost BeginUpdate and OnChange with its EndUpdate.
  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  int CompareStrings(const std::string& a, const std::string& b) const override;
  void SetUpdateState(bool updating) override;
  virtual void Changing();
  virtual void Changed();

 private:
  struct TItem {
    std::string text;
    TObject* object = nullptr;
  };
  static int CompareItems(TStringList* list, int index1, int index2);
  void CheckIndex(int index) const;
  void InsertItem(int index, const std::string& s, TObject* object);
  void QuickSort(int lo, int hi, const TStringListSortCompare& compare);
  void SortItems(const TStringListSortCompare& compare);

  std::vector<TItem> items_;
  bool sorted_ = false;
  TDuplicates duplicates_ = dupIgnore;
  bool caseSensitive_ = false;
};
