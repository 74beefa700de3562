// The file search component: walks folders depth first, tests every candidate against name,
// attribute, size, date and content criteria and reports each accepted file by an event.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Classes.h"
#include "platform/StringList.h"
#include "platform/SysUtils.h"
#include "platform/Thread.h"
#include "services/SvCommon.h"

// One directory entry as the search reports it.
struct TSearchRec {
  int Time = 0;  // last write, local time, in DOS date (high word) and time (low word)
  long long Size = 0;
  int Attr = 0;
  std::string Name;
  WIN32_FIND_DATAA FindData{};
};

enum TFileAttribute { ffArchive, ffReadonly, ffHidden, ffSystem, ffDirectory };
using TFileAttributes = TSet<TFileAttribute>;

// What a folder-change handler asks to be skipped in the folder about to be searched.
enum TFolderIgnore { fiNone, fiJustThis, fiJustSubfolders, fiThisAndSubfolders };

using TFileMatchEvent =
    std::function<void(TObject* sender, const std::string& folder, const TSearchRec& fileInfo)>;
using TFolderChangeEvent =
    std::function<void(TObject* sender, const std::string& folder, TFolderIgnore& ignoreFolder)>;

// Where to look and what to take by name.
class TFileCriteria : public TPersistent {
 public:
  TFileCriteria();
  void Assign(TPersistent* source) override;

  // Masks separated by ";" ("*.tmd;*.log").
  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& value) { fileName_ = value; }
  // Folders separated by ";"; a leading "<" searches that folder alone, ">" with its subfolders.
  const std::string& Location() const { return location_; }
  void SetLocation(const std::string& value) { location_ = value; }
  // Extra entries: an optional "<" or ">", a folder and the mask searched in it.
  TStrings* Included() const { return included_.get(); }
  void SetIncluded(TStrings* value) { included_->Assign(value); }
  // Entries of an optional drive, folder and mask; a file they describe is not reported.
  TStrings* Excluded() const { return excluded_.get(); }
  void SetExcluded(TStrings* value) { excluded_->Assign(value); }
  // Recursion of the entries that carry neither "<" nor ">".
  bool Subfolders() const { return subfolders_; }
  void SetSubfolders(bool value) { subfolders_ = value; }
  // The named folder is depth 1: files are taken from MinLevel down, and subfolders are
  // entered only while the depth is below MaxLevel (0: no limit).
  WORD MinLevel() const { return minLevel_; }
  void SetMinLevel(WORD value) { minLevel_ = value; }
  WORD MaxLevel() const { return maxLevel_; }
  void SetMaxLevel(WORD value) { maxLevel_ = value; }

 private:
  std::string fileName_;
  std::string location_;
  std::unique_ptr<TStringList> included_;
  std::unique_ptr<TStringList> excluded_;
  bool subfolders_ = true;
  WORD minLevel_ = 0;
  WORD maxLevel_ = 0;
};

// Attributes a file may (or, with ExactMatch, must exactly) have.
class TAttributeCriteria : public TPersistent {
 public:
  void Assign(TPersistent* source) override;

  TFileAttributes Attributes() const;
  void SetAttributes(TFileAttributes value);
  bool ExactMatch() const { return exactMatch_; }
  void SetExactMatch(bool value) { exactMatch_ = value; }

  // The set as file-attribute bits (FILE_ATTRIBUTE_READONLY...).
  DWORD AttributeBits() const { return bits_; }
  void SetAttributeBits(DWORD value);
  // Whether an entry with these attribute bits passes.
  bool Matches(DWORD fileAttributes) const;

 private:
  DWORD bits_ = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                FILE_ATTRIBUTE_ARCHIVE;
  bool exactMatch_ = false;
};

// Limits on a file's creation, last-write and last-access times; 0 is no limit. A limit
// without a time of day is compared with the file's date alone, one without a date with its
// time of day alone.
class TDateTimeCriteria : public TPersistent {
 public:
  void Assign(TPersistent* source) override;

  TDateTime CreatedBefore() const { return createdBefore_; }
  void SetCreatedBefore(TDateTime value) { createdBefore_ = value; }
  TDateTime CreatedAfter() const { return createdAfter_; }
  void SetCreatedAfter(TDateTime value) { createdAfter_ = value; }
  TDateTime ModifiedBefore() const { return modifiedBefore_; }
  void SetModifiedBefore(TDateTime value) { modifiedBefore_ = value; }
  TDateTime ModifiedAfter() const { return modifiedAfter_; }
  void SetModifiedAfter(TDateTime value) { modifiedAfter_ = value; }
  TDateTime AccessedBefore() const { return accessedBefore_; }
  void SetAccessedBefore(TDateTime value) { accessedBefore_ = value; }
  TDateTime AccessedAfter() const { return accessedAfter_; }
  void SetAccessedAfter(TDateTime value) { accessedAfter_ = value; }

  bool Matches(const WIN32_FIND_DATAA& data) const;

 private:
  TDateTime createdBefore_ = 0;
  TDateTime createdAfter_ = 0;
  TDateTime modifiedBefore_ = 0;
  TDateTime modifiedAfter_ = 0;
  TDateTime accessedBefore_ = 0;
  TDateTime accessedAfter_ = 0;
};

// Size limits in bytes; 0 is no limit.
class TSizeCriteria : public TPersistent {
 public:
  void Assign(TPersistent* source) override;

  DWORD Min() const { return min_; }
  void SetMin(DWORD value) { min_ = value; }
  DWORD Max() const { return max_; }
  void SetMax(DWORD value) { max_ = value; }

  bool Matches(long long size) const;

 private:
  DWORD min_ = 0;
  DWORD max_ = 0;
};

// Text the file must contain; empty: the content is not looked at.
class TContentCriteria : public TPersistent {
 public:
  void Assign(TPersistent* source) override;

  const std::string& Phrase() const { return phrase_; }
  void SetPhrase(const std::string& value) { phrase_ = value; }
  bool IgnoreCase() const { return ignoreCase_; }
  void SetIgnoreCase(bool value) { ignoreCase_ = value; }
  // The phrase must stand between word delimiters (bytes that are neither letters nor
  // digits), the start and the end of the file counting as such.
  bool WholeWord() const { return wholeWord_; }
  void SetWholeWord(bool value) { wholeWord_ = value; }

  // Whether the file holds the phrase; a file that cannot be read does not.
  bool Matches(const std::string& fileName) const;

 private:
  std::string phrase_;
  bool ignoreCase_ = true;
  bool wholeWord_ = false;
};

class TSearchCriteria : public TPersistent {
 public:
  TSearchCriteria();
  void Assign(TPersistent* source) override;

  TFileCriteria* Files() const { return files_.get(); }
  void SetFiles(TFileCriteria* value) { files_->Assign(value); }
  TAttributeCriteria* Attribute() const { return attribute_.get(); }
  void SetAttribute(TAttributeCriteria* value) { attribute_->Assign(value); }
  TDateTimeCriteria* TimeStamp() const { return timeStamp_.get(); }
  void SetTimeStamp(TDateTimeCriteria* value) { timeStamp_->Assign(value); }
  TSizeCriteria* Size() const { return size_.get(); }
  void SetSize(TSizeCriteria* value) { size_->Assign(value); }
  TContentCriteria* Content() const { return content_.get(); }
  void SetContent(TContentCriteria* value) { content_->Assign(value); }

 private:
  std::unique_ptr<TFileCriteria> files_;
  std::unique_ptr<TAttributeCriteria> attribute_;
  std::unique_ptr<TDateTimeCriteria> timeStamp_;
  std::unique_ptr<TSizeCriteria> size_;
  std::unique_ptr<TContentCriteria> content_;
};

// One folder of a search, with the masks looked for in it and its depth limits.
struct TTargetFolder {
  std::string Folder;  // full path with its trailing "\"
  bool Recursive = true;
  std::vector<std::string> FileMasks;
  WORD MinLevel = 0;
  WORD MaxLevel = 0;
};

// The folders of a search; a folder named again is the same entry.
class TTargetFolderList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  TTargetFolder* Items(int index) const { return items_[static_cast<size_t>(index)].get(); }
  // The entry for `folder` (expanded to a full path, mapped network drives in their UNC
  // form), added at the front when there is none yet.
  TTargetFolder* AddFolder(const std::string& folder);

 private:
  std::vector<std::unique_ptr<TTargetFolder>> items_;
};

// One exclusion entry taken apart once, so that testing a file takes no parsing.
struct TExcludedEntry {
  std::string Drive;   // "C:", "*:", "\\server\share" or empty
  std::string Folder;  // the folder part after the drive, or empty
  std::string Mask;    // the file part, or empty
};

// What one run of a search works from: the target folders, the exclusions and copies of the
// other criteria, made when the search starts so that later changes do not reach it.
class TTargetSearch {
 public:
  explicit TTargetSearch(const TSearchCriteria& criteria);

  TTargetFolderList TargetFolders;
  std::vector<TExcludedEntry> ExcludedFiles;
  TAttributeCriteria Attribute;
  TDateTimeCriteria TimeStamp;
  TSizeCriteria Size;
  TContentCriteria Content;

  // Whether one of the exclusions rejects the file `name` in `folder`.
  bool IsExcluded(const std::string& folder, const std::string& name) const;

 private:
  void AddTarget(const std::string& folder, bool recursive, const std::vector<std::string>& masks,
                 const TFileCriteria& files);
};

class TFindFile;

// The worker that runs a threaded search; it frees itself when it ends.
class TSearchThread : public TThread {
 public:
  explicit TSearchThread(TFindFile* owner);

 protected:
  void Execute() override;

 private:
  TFindFile* owner_;
};

class TFindFile : public TComponent {
 public:
  explicit TFindFile(TComponent* owner);
  // A running search is aborted (and its worker waited for) first.
  ~TFindFile() override;

  TSearchCriteria* Criteria() const { return criteria_.get(); }
  void SetCriteria(TSearchCriteria* value) { criteria_->Assign(value); }
  bool Threaded() const { return threaded_; }
  void SetThreaded(bool value) { threaded_ = value; }
  TThreadPriority ThreadPriority() const { return threadPriority_; }
  void SetThreadPriority(TThreadPriority value) { threadPriority_ = value; }

  // Starts a search; does nothing while one is running. Synchronous searches return when
  // they have finished; threaded ones return at once and finish on the GUI thread.
  void Execute();
  // Stops a running search. A threaded search is waited for while the GUI thread's
  // messages go on being served (apart from keyboard and mouse input).
  void Abort();

  bool Busy() const { return busy_; }
  bool Aborted() const { return aborted_; }
  // Depth of the folder being searched (the named folder is depth 1).
  WORD CurrentLevel() const { return currentLevel_; }

  TNotifyEvent OnSearchBegin;
  TNotifyEvent OnSearchFinish;
  TNotifyEvent OnSearchAbort;
  TFolderChangeEvent OnFolderChange;
  TFileMatchEvent OnFileMatch;

 protected:
  virtual void DoSearchBegin();
  virtual void DoSearchFinish();
  virtual void DoSearchAbort();
  virtual TFolderIgnore DoFolderChange(const std::string& folder);
  virtual void DoFileMatch(const std::string& folder, const TSearchRec& fileInfo);
  // Whether the listed entry passes the attribute, size, date, exclusion and content tests.
  virtual bool IsAcceptable(const std::string& folder, const TSearchRec& fileInfo);

 private:
  friend class TSearchThread;

  void SearchAll();
  void SearchIn(const std::string& folder);
  // The acceptance test of one listed entry, and its report when it passes.
  void Consider(const std::string& folder, const WIN32_FIND_DATAA& data);
  void Finish();
  void ThreadTerminated(TObject* sender);
  // Waits for the worker to end; false when a WM_QUIT cut the wait short.
  bool WaitForWorker();

  std::unique_ptr<TSearchCriteria> criteria_;
  bool threaded_ = false;
  TThreadPriority threadPriority_ = tpNormal;

  // Read and set from the GUI thread while a worker runs the walk.
  std::atomic<bool> busy_{false};
  std::atomic<bool> aborted_{false};
  WORD currentLevel_ = 0;
  const TTargetFolder* target_ = nullptr;
  std::unique_ptr<TTargetSearch> plan_;
  TSearchThread* thread_ = nullptr;
  TAliveFlag alive_;
};

// Wildcards in the file search's own reading: "?" is any one character, a "*" takes all of
// the rest of the text at once, other characters compare without regard to case; the text
// must be used up and what remains of the pattern may hold only "*" and "?".
bool WildcardMatches(const std::string& text, const std::string& pattern);
// A file name against a mask, base and extension apart; a mask without extension compares
// the bases only, and a name without extension counts as having the extension ".".
bool FileMatchesMask(const std::string& name, const std::string& mask);
// A file's long name against a mask as the system reads the mask in a folder listing: "*"
// any run of characters, "?" any one, "*." only names without an extension, "name.*" the
// bare "name" too; case is ignored. The system itself also matches the short name, which
// this does not.
bool ListingMaskMatches(std::string_view name, std::string_view mask);

// Publishes the component's and the criteria's properties for stored layouts.
void RegisterFindFile();
