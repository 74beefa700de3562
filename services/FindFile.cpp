#include "services/FindFile.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string_view>

#include "platform/Application.h"
#include "platform/Guards.h"
#include "platform/TypInfo.h"
#include "services/SvCommon.h"

namespace {

// Attribute bits the search looks at, and the listing filter (everything but volume labels).
constexpr DWORD kCountedAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                     FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY |
                                     FILE_ATTRIBUTE_ARCHIVE;

// Files above this size are read in blocks of it.
constexpr size_t kContentBlock = 61440;

// Byte tables of the ANSI code page, made once: lower case by the system's rules, and the
// bytes that are not letters or digits (word delimiters).
struct TByteTables {
  unsigned char lower[256];
  bool delimiter[256];
};

const TByteTables& ByteTables() {
  static const TByteTables tables = [] {
    TByteTables t{};
    for (int c = 0; c < 256; ++c) {
      char ch = static_cast<char>(c);
      CharLowerBuffA(&ch, 1);
      t.lower[c] = static_cast<unsigned char>(ch);
      t.delimiter[c] = !IsCharAlphaNumericA(static_cast<char>(c));
    }
    return t;
  }();
  return tables;
}

inline unsigned char Fold(char c) {
  return ByteTables().lower[static_cast<unsigned char>(c)];
}

bool SameNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Fold(a[i]) != Fold(b[i])) return false;
  return true;
}

bool EndsWithNoCase(const std::string& text, const std::string& tail) {
  if (tail.size() > text.size()) return false;
  return SameNoCase(text.substr(text.size() - tail.size()), tail);
}

// "C:" of "C:\x", "\\server\share" of "\\server\share\x"; empty when the path names no drive.
std::string ExtractDrive(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
  if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
    size_t server = path.find('\\', 2);
    if (server == std::string::npos) return path;
    size_t share = path.find('\\', server + 1);
    return share == std::string::npos ? path : path.substr(0, share);
  }
  return std::string();
}

// The pieces of a ";" list, trimmed, without empty ones and without repeats.
std::vector<std::string> SplitList(const std::string& text) {
  std::vector<std::string> pieces;
  size_t start = 0;
  for (;;) {
    size_t end = text.find(';', start);
    std::string piece = Trim(text.substr(start, end == std::string::npos ? end : end - start));
    if (!piece.empty() &&
        std::none_of(pieces.begin(), pieces.end(),
                     [&](const std::string& p) { return SameNoCase(p, piece); }))
      pieces.push_back(std::move(piece));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return pieces;
}

// Takes a leading "<" (this folder alone) or ">" (with subfolders) off the entry.
bool TakeRecursion(std::string& entry, bool defaultRecursive) {
  if (!entry.empty() && (entry[0] == '<' || entry[0] == '>')) {
    bool recursive = entry[0] == '>';
    entry.erase(0, 1);
    return recursive;
  }
  return defaultRecursive;
}

// A file time as a local date-time (days since 1899-12-30).
TDateTime FileTimeToLocalDateTime(const FILETIME& time) {
  constexpr unsigned long long kTicksPerDay = 864000000000ULL;
  constexpr long long kDaysFrom1601To1899 = 109205;
  FILETIME local;
  if (!FileTimeToLocalFileTime(&time, &local)) local = time;
  unsigned long long ticks =
      (static_cast<unsigned long long>(local.dwHighDateTime) << 32) | local.dwLowDateTime;
  long long days = static_cast<long long>(ticks / kTicksPerDay) - kDaysFrom1601To1899;
  return static_cast<double>(days) + static_cast<double>(ticks % kTicksPerDay) / kTicksPerDay;
}

// A limit of 0 is no limit; one without a time of day compares dates, one without a date
// compares times of day, any other the whole date-time.
bool NotLater(TDateTime file, TDateTime limit) {
  if (limit == 0) return true;
  double date = std::trunc(limit);
  double time = limit - date;
  if (time == 0) return std::trunc(file) <= date;
  if (date == 0) return file - std::trunc(file) <= time;
  return file <= limit;
}

bool NotEarlier(TDateTime file, TDateTime limit) {
  if (limit == 0) return true;
  double date = std::trunc(limit);
  double time = limit - date;
  if (time == 0) return std::trunc(file) >= date;
  if (date == 0) return file - std::trunc(file) >= time;
  return file >= limit;
}

bool PassesLimits(const FILETIME& time, TDateTime before, TDateTime after) {
  if (before == 0 && after == 0) return true;
  TDateTime file = FileTimeToLocalDateTime(time);
  return NotLater(file, before) && NotEarlier(file, after);
}

bool IsDotEntry(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Keyboard and mouse messages, which the wait in Abort drops.
bool IsInputMessage(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_SYSDEADCHAR) ||
         (message >= WM_MOUSEFIRST && message <= WM_MOUSEWHEEL);
}

// Wildcards as the system reads them in a long name: "*" any run of characters (dots too),
// "?" any one character, others compared without regard to case.
bool GlobMatches(const char* text, const char* textEnd, const char* pattern,
                 const char* patternEnd) {
  const char* star = nullptr;  // just after the last "*" met
  const char* resume = text;   // where the text goes on when that "*" takes one more
  while (text < textEnd) {
    if (pattern < patternEnd && *pattern == '*') {
      star = ++pattern;
      resume = text;
    } else if (pattern < patternEnd && (*pattern == '?' || Fold(*pattern) == Fold(*text))) {
      ++pattern;
      ++text;
    } else if (star) {
      pattern = star;
      text = ++resume;
    } else {
      return false;
    }
  }
  while (pattern < patternEnd && *pattern == '*') ++pattern;
  return pattern == patternEnd;
}

bool GlobMatches(std::string_view text, std::string_view pattern) {
  return GlobMatches(text.data(), text.data() + text.size(), pattern.data(),
                     pattern.data() + pattern.size());
}

// A listing with the fastest details the system offers (no short names, larger fetches);
// systems that know neither are asked the plain way.
HANDLE FindFirst(const std::string& pattern, WIN32_FIND_DATAA& data) {
  HANDLE find = FindFirstFileExA(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                 nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER)
    find = FindFirstFileA(pattern.c_str(), &data);
  return find;
}

}  // namespace

// ---- Masks -------------------------------------------------------------------------------

bool WildcardMatches(const std::string& text, const std::string& pattern) {
  size_t p = 0;
  size_t t = 0;
  while (p < pattern.size() && t < text.size()) {
    char c = pattern[p];
    if (c == '*') return true;
    if (c != '?' && Fold(c) != Fold(text[t])) return false;
    ++p;
    ++t;
  }
  if (t < text.size()) return false;
  return pattern.find_first_not_of("*?", p) == std::string::npos;
}

bool FileMatchesMask(const std::string& name, const std::string& mask) {
  size_t maskDot = mask.rfind('.');
  size_t nameDot = name.rfind('.');
  std::string nameBase = name.substr(0, nameDot);
  if (maskDot == std::string::npos) return WildcardMatches(nameBase, mask);
  std::string nameExt = nameDot == std::string::npos ? std::string(".") : name.substr(nameDot);
  return WildcardMatches(nameExt, mask.substr(maskDot)) &&
         WildcardMatches(nameBase, mask.substr(0, maskDot));
}

bool ListingMaskMatches(std::string_view name, std::string_view mask) {
  if (mask == "*" || mask == "*.*") return true;
  const bool hasExtension = name.find('.') != std::string_view::npos;
  // "*." and "name.": only names without an extension.
  if (!mask.empty() && mask.back() == '.') {
    if (hasExtension) return false;
    const size_t end = mask.find_last_not_of('.');
    return GlobMatches(name, mask.substr(0, end == std::string_view::npos ? 0 : end + 1));
  }
  if (GlobMatches(name, mask)) return true;
  // "name.*" also takes the bare "name".
  if (mask.size() >= 2 && mask.substr(mask.size() - 2) == ".*" && !hasExtension)
    return GlobMatches(name, mask.substr(0, mask.size() - 2));
  return false;
}

// ---- Criteria ----------------------------------------------------------------------------

TFileCriteria::TFileCriteria()
    : included_(std::make_unique<TStringList>()), excluded_(std::make_unique<TStringList>()) {}

void TFileCriteria::Assign(TPersistent* source) {
  if (auto* other = dynamic_cast<TFileCriteria*>(source)) {
    fileName_ = other->fileName_;
    location_ = other->location_;
    included_->Assign(other->included_.get());
    excluded_->Assign(other->excluded_.get());
    subfolders_ = other->subfolders_;
    minLevel_ = other->minLevel_;
    maxLevel_ = other->maxLevel_;
    return;
  }
  TPersistent::Assign(source);
}

void TAttributeCriteria::Assign(TPersistent* source) {
  if (auto* other = dynamic_cast<TAttributeCriteria*>(source)) {
    bits_ = other->bits_;
    exactMatch_ = other->exactMatch_;
    return;
  }
  TPersistent::Assign(source);
}

namespace {

struct TAttributeBit {
  TFileAttribute attribute;
  DWORD bit;
};
constexpr TAttributeBit kAttributeBits[] = {
    {ffArchive, FILE_ATTRIBUTE_ARCHIVE},   {ffReadonly, FILE_ATTRIBUTE_READONLY},
    {ffHidden, FILE_ATTRIBUTE_HIDDEN},     {ffSystem, FILE_ATTRIBUTE_SYSTEM},
    {ffDirectory, FILE_ATTRIBUTE_DIRECTORY},
};

}  // namespace

TFileAttributes TAttributeCriteria::Attributes() const {
  TFileAttributes set;
  for (const auto& a : kAttributeBits)
    if (bits_ & a.bit) set.Include(a.attribute);
  return set;
}

void TAttributeCriteria::SetAttributes(TFileAttributes value) {
  DWORD bits = 0;
  for (const auto& a : kAttributeBits)
    if (value.Contains(a.attribute)) bits |= a.bit;
  bits_ = bits;
}

void TAttributeCriteria::SetAttributeBits(DWORD value) { bits_ = value & kCountedAttributes; }

bool TAttributeCriteria::Matches(DWORD fileAttributes) const {
  DWORD counted = fileAttributes & kCountedAttributes;
  return exactMatch_ ? counted == bits_ : (counted & ~bits_) == 0;
}

void TDateTimeCriteria::Assign(TPersistent* source) {
  if (auto* other = dynamic_cast<TDateTimeCriteria*>(source)) {
    createdBefore_ = other->createdBefore_;
    createdAfter_ = other->createdAfter_;
    modifiedBefore_ = other->modifiedBefore_;
    modifiedAfter_ = other->modifiedAfter_;
    accessedBefore_ = other->accessedBefore_;
    accessedAfter_ = other->accessedAfter_;
    return;
  }
  TPersistent::Assign(source);
}

bool TDateTimeCriteria::Matches(const WIN32_FIND_DATAA& data) const {
  return PassesLimits(data.ftCreationTime, createdBefore_, createdAfter_) &&
         PassesLimits(data.ftLastWriteTime, modifiedBefore_, modifiedAfter_) &&
         PassesLimits(data.ftLastAccessTime, accessedBefore_, accessedAfter_);
}

void TSizeCriteria::Assign(TPersistent* source) {
  if (auto* other = dynamic_cast<TSizeCriteria*>(source)) {
    min_ = other->min_;
    max_ = other->max_;
    return;
  }
  TPersistent::Assign(source);
}

bool TSizeCriteria::Matches(long long size) const {
  if (min_ != 0 && size < static_cast<long long>(min_)) return false;
  if (max_ != 0 && size > static_cast<long long>(max_)) return false;
  return true;
}

void TContentCriteria::Assign(TPersistent* source) {
  if (auto* other = dynamic_cast<TContentCriteria*>(source)) {
    phrase_ = other->phrase_;
    ignoreCase_ = other->ignoreCase_;
    wholeWord_ = other->wholeWord_;
    return;
  }
  TPersistent::Assign(source);
}

namespace {

// The search for a phrase in one file's bytes, block by block: what is kept of a block is
// the start of a possible match that only the next block can decide.
class TPhraseSearch {
 public:
  TPhraseSearch(const std::string& phrase, bool ignoreCase, bool wholeWord)
      : phrase_(phrase), ignoreCase_(ignoreCase), wholeWord_(wholeWord) {
    if (ignoreCase_) FoldFrom(phrase_, 0);
  }

  bool InFile(const std::string& fileName) {
    THandleGuard file(CreateFileA(fileName.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size)) return false;
    if (size.QuadPart < static_cast<long long>(phrase_.size())) return false;
    left_ = size.QuadPart;
    const size_t block = BlockSize(left_);
    buffer_.reserve(block + phrase_.size() + 1);
    for (;;) {
      bool atEnd = false;
      if (!ReadBlock(file.Get(), block, atEnd)) return false;
      if (Scan(atEnd)) return true;
      if (atEnd) return false;
    }
  }

 private:
  // The whole file when it is small, else blocks that still hold the phrase and one byte.
  size_t BlockSize(long long fileSize) const {
    if (fileSize <= static_cast<long long>(kContentBlock)) return static_cast<size_t>(fileSize);
    return std::max(kContentBlock, phrase_.size() + 1);
  }

  static void FoldFrom(std::string& text, size_t from) {
    const TByteTables& tables = ByteTables();
    for (size_t i = from; i < text.size(); ++i)
      text[i] = static_cast<char>(tables.lower[static_cast<unsigned char>(text[i])]);
  }

  // Appends the next block to the buffer. A file that shrank while being read ends where its
  // data ends.
  bool ReadBlock(HANDLE file, size_t block, bool& atEnd) {
    const size_t kept = buffer_.size();
    const size_t want = static_cast<size_t>(std::min<long long>(left_, static_cast<long long>(block)));
    buffer_.resize(kept + want);
    size_t got = 0;
    while (got < want) {
      DWORD n = 0;
      if (!ReadFile(file, buffer_.data() + kept + got, static_cast<DWORD>(want - got), &n, nullptr))
        return false;
      if (n == 0) break;
      got += n;
    }
    buffer_.resize(kept + got);
    left_ -= static_cast<long long>(got);
    atEnd = left_ <= 0 || got < want;
    if (ignoreCase_) FoldFrom(buffer_, kept);
    return true;
  }

  // True when the buffer holds a match. Otherwise the buffer is cut to the part that may
  // still start one.
  bool Scan(bool atEnd) {
    const size_t length = phrase_.size();
    // A whole-word candidate needs the byte after it, which only the next block may hold.
    const size_t need = length + (wholeWord_ && !atEnd ? 1 : 0);
    size_t from = 0;
    if (buffer_.size() >= need) {
      const size_t last = buffer_.size() - need;  // the last start decidable now
      const auto stop = buffer_.begin() + static_cast<std::ptrdiff_t>(last + length);
      const std::boyer_moore_horspool_searcher searcher(phrase_.begin(), phrase_.end());
      while (from <= last) {
        auto hit = std::search(buffer_.begin() + static_cast<std::ptrdiff_t>(from), stop, searcher);
        if (hit == stop) {
          from = last + 1;
          break;
        }
        const size_t at = static_cast<size_t>(hit - buffer_.begin());
        if (!wholeWord_ || IsWholeWord(at)) return true;
        from = at + 1;
      }
    }
    if (from > 0) {
      before_ = static_cast<unsigned char>(buffer_[from - 1]);
      buffer_.erase(0, from);
    }
    return false;
  }

  // Word delimiters on both sides; the file's start counts as a zero byte, its end as one.
  bool IsWholeWord(size_t at) const {
    const TByteTables& tables = ByteTables();
    const unsigned char previous = at == 0 ? before_ : static_cast<unsigned char>(buffer_[at - 1]);
    const size_t after = at + phrase_.size();
    const bool delimitedAfter =
        after == buffer_.size() || tables.delimiter[static_cast<unsigned char>(buffer_[after])];
    return tables.delimiter[previous] && delimitedAfter;
  }

  std::string phrase_;
  const bool ignoreCase_;
  const bool wholeWord_;
  std::string buffer_;
  unsigned char before_ = 0;  // the byte in front of the buffer
  long long left_ = 0;        // bytes of the file not read yet
};

}  // namespace

bool TContentCriteria::Matches(const std::string& fileName) const {
  if (phrase_.empty()) return true;
  return TPhraseSearch(phrase_, ignoreCase_, wholeWord_).InFile(fileName);
}

TSearchCriteria::TSearchCriteria()
    : files_(std::make_unique<TFileCriteria>()),
      attribute_(std::make_unique<TAttributeCriteria>()),
      timeStamp_(std::make_unique<TDateTimeCriteria>()),
      size_(std::make_unique<TSizeCriteria>()),
      content_(std::make_unique<TContentCriteria>()) {}

void TSearchCriteria::Assign(TPersistent* source) {
  if (auto* other = dynamic_cast<TSearchCriteria*>(source)) {
    files_->Assign(other->files_.get());
    attribute_->Assign(other->attribute_.get());
    timeStamp_->Assign(other->timeStamp_.get());
    size_->Assign(other->size_.get());
    content_->Assign(other->content_.get());
    return;
  }
  TPersistent::Assign(source);
}

// ---- The plan ----------------------------------------------------------------------------

TTargetFolder* TTargetFolderList::AddFolder(const std::string& folder) {
  // An entry without a folder part means the current folder.
  std::string path = ExpandUNCFileName(folder.empty() ? std::string(".") : folder);
  if (path.empty()) path = folder;
  if (path.empty() || path.back() != ':') path = IncludeTrailingBackslash(path);
  for (const auto& item : items_)
    if (SameNoCase(item->Folder, path)) return item.get();
  auto item = std::make_unique<TTargetFolder>();
  item->Folder = std::move(path);
  items_.insert(items_.begin(), std::move(item));
  return items_.front().get();
}

TTargetSearch::TTargetSearch(const TSearchCriteria& criteria) {
  const TFileCriteria& files = *criteria.Files();
  for (int i = 0; i < files.Excluded()->Count(); ++i) {
    const std::string entry = files.Excluded()->Strings(i);
    // A blank line describes nothing; taken literally it would reject every file.
    if (Trim(entry).empty()) continue;
    TExcludedEntry excluded;
    excluded.Drive = ExtractDrive(entry);
    std::string path = ExtractFilePath(entry);
    excluded.Folder = path.size() > excluded.Drive.size() ? path.substr(excluded.Drive.size())
                                                          : std::string();
    excluded.Mask = entry.size() > std::max(path.size(), excluded.Drive.size())
                        ? entry.substr(std::max(path.size(), excluded.Drive.size()))
                        : std::string();
    ExcludedFiles.push_back(std::move(excluded));
  }
  Attribute.Assign(criteria.Attribute());
  TimeStamp.Assign(criteria.TimeStamp());
  Size.Assign(criteria.Size());
  Content.Assign(criteria.Content());

  // Entries that name no folder and no file are left out: taken as the current folder they
  // would walk a tree nobody asked for.
  for (int i = 0; i < files.Included()->Count(); ++i) {
    std::string entry = files.Included()->Strings(i);
    bool recursive = TakeRecursion(entry, files.Subfolders());
    if (Trim(entry).empty()) continue;
    AddTarget(ExtractFilePath(entry), recursive, {ExtractFileName(entry)}, files);
  }
  const std::vector<std::string> masks = SplitList(files.FileName());
  for (std::string location : SplitList(files.Location())) {
    bool recursive = TakeRecursion(location, files.Subfolders());
    if (Trim(location).empty()) continue;
    AddTarget(location, recursive, masks, files);
  }
  // Folders hold no content to search.
  if (!Content.Phrase().empty())
    Attribute.SetAttributeBits(Attribute.AttributeBits() & ~FILE_ATTRIBUTE_DIRECTORY);
}

void TTargetSearch::AddTarget(const std::string& folder, bool recursive,
                              const std::vector<std::string>& masks, const TFileCriteria& files) {
  TTargetFolder* target = TargetFolders.AddFolder(folder);
  // A folder named twice (spelt differently) is still searched once for each mask.
  for (const std::string& mask : masks)
    if (std::none_of(target->FileMasks.begin(), target->FileMasks.end(),
                     [&](const std::string& m) { return SameNoCase(m, mask); }))
      target->FileMasks.push_back(mask);
  target->Recursive = recursive;
  target->MinLevel = files.MinLevel();
  target->MaxLevel = files.MaxLevel();
}

bool TTargetSearch::IsExcluded(const std::string& folder, const std::string& name) const {
  if (ExcludedFiles.empty()) return false;
  const std::string drive = ExtractDrive(folder);
  for (auto it = ExcludedFiles.rbegin(); it != ExcludedFiles.rend(); ++it) {
    const TExcludedEntry& entry = *it;
    if (!entry.Drive.empty()) {
      bool sameDrive;
      if (entry.Drive.size() >= 2 && entry.Drive[0] == '\\' && entry.Drive[1] == '\\')
        sameDrive = WildcardMatches(drive, entry.Drive);
      else if (entry.Drive[0] == '*' || entry.Drive[0] == '?')
        sameDrive = true;
      else
        sameDrive = !drive.empty() && Fold(drive[0]) == Fold(entry.Drive[0]);
      if (!sameDrive) continue;
    }
    if (!entry.Folder.empty() && !EndsWithNoCase(folder, entry.Folder)) continue;
    if (!entry.Mask.empty() && !FileMatchesMask(name, entry.Mask)) continue;
    return true;
  }
  return false;
}

// ---- The worker --------------------------------------------------------------------------

TSearchThread::TSearchThread(TFindFile* owner) : TThread(true), owner_(owner) {
  SetFreeOnTerminate(true);
  SetPriority(owner->ThreadPriority());
  OnTerminate = [owner](TObject* sender) { owner->ThreadTerminated(sender); };
}

void TSearchThread::Execute() { owner_->SearchAll(); }

// ---- The component -----------------------------------------------------------------------

TFindFile::TFindFile(TComponent* owner)
    : TComponent(owner), criteria_(std::make_unique<TSearchCriteria>()) {}

TFindFile::~TFindFile() {
  Destroying();
  try {
    Abort();
  } catch (...) {
    // Nothing may leave a destructor; the search is ended below in any case.
  }
  // A WM_QUIT may have cut the wait short: the worker still uses this object until its end
  // has been handed over, so that hand-over is served here.
  if (thread_) {
    THandleGuard handle;
    if (DuplicateHandle(GetCurrentProcess(), thread_->Handle(), GetCurrentProcess(),
                        handle.Receive(), SYNCHRONIZE, FALSE, 0)) {
      while (WaitForSingleObject(handle.Get(), 10) == WAIT_TIMEOUT)
        if (GetCurrentThreadId() == MainThreadID()) CheckSynchronize();
    }
  }
}

void TFindFile::Execute() {
  bool idle = false;
  if (!busy_.compare_exchange_strong(idle, true)) return;
  aborted_ = false;
  try {
    plan_ = std::make_unique<TTargetSearch>(*criteria_);
    DoSearchBegin();
  } catch (...) {
    plan_.reset();
    busy_ = false;
    throw;
  }
  if (threaded_) {
    TSearchThread* thread = nullptr;
    try {
      thread = new TSearchThread(this);
    } catch (...) {
      Finish();
      throw;
    }
    thread_ = thread;
    thread->Start();
    return;
  }
  try {
    SearchAll();
  } catch (...) {
    Finish();
    throw;
  }
  Finish();
}

void TFindFile::Abort() {
  if (!busy_) return;
  bool notYet = false;
  if (!aborted_.compare_exchange_strong(notYet, true)) return;
  DoSearchAbort();
  // A handler on the worker itself may abort: the walk then just stops. So it does when the
  // abort comes from a call the worker handed to this thread and waits for: waiting for the
  // worker here would wait for ever. Either way the worker ends as soon as its handler
  // returns, and the search finishes on the GUI thread.
  if (thread_ && GetCurrentThreadId() != thread_->ThreadID() &&
      !IsRunningSynchronizedCallOf(thread_->ThreadID()))
    WaitForWorker();
}

bool TFindFile::WaitForWorker() {
  // The worker frees itself, and its handle with it, as soon as its end has been handed
  // over, which happens inside this wait: the wait keeps its own handle.
  THandleGuard owned;
  if (!DuplicateHandle(GetCurrentProcess(), thread_->Handle(), GetCurrentProcess(),
                       owned.Receive(), SYNCHRONIZE, FALSE, 0))
    RaiseLastOSError();
  HANDLE handle = owned.Get();
  for (;;) {
    // Messages already waiting do not wake MsgWaitForMultipleObjects: serve them first.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        // The message loop still has to see it, or the program would not end.
        PostQuitMessage(static_cast<int>(msg.wParam));
        return false;
      }
      if (IsInputMessage(msg.message)) continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    DWORD r = MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE,
                                        QS_POSTMESSAGE | QS_SENDMESSAGE | QS_TIMER | QS_PAINT);
    if (r == WAIT_OBJECT_0) return true;
    if (r == WAIT_FAILED) RaiseLastOSError();
  }
}

void TFindFile::ThreadTerminated(TObject* sender) {
  std::exception_ptr error = static_cast<TThread*>(sender)->FatalException();
  thread_ = nullptr;
  Finish();
  // What stopped the walk reaches the application's handler, as it would in a synchronous
  // search reach the caller.
  if (error) std::rethrow_exception(error);
}

void TFindFile::Finish() {
  // The handler may free this component; then there is nothing left to clear.
  const auto alive = alive_.Watch();
  try {
    DoSearchFinish();
  } catch (...) {
    if (*alive) {
      plan_.reset();
      busy_ = false;
    }
    throw;
  }
  if (!*alive) return;
  plan_.reset();
  busy_ = false;
}

void TFindFile::SearchAll() {
  for (int i = plan_->TargetFolders.Count() - 1; i >= 0 && !aborted_; --i) {
    target_ = plan_->TargetFolders.Items(i);
    currentLevel_ = 0;
    SearchIn(target_->Folder);
  }
}

namespace {

TSearchRec SearchRecOf(const WIN32_FIND_DATAA& data) {
  TSearchRec rec;
  rec.FindData = data;
  rec.Name = data.cFileName;
  rec.Attr = static_cast<int>(data.dwFileAttributes);
  rec.Size = static_cast<long long>((static_cast<unsigned long long>(data.nFileSizeHigh) << 32) |
                                    data.nFileSizeLow);
  FILETIME local;
  WORD dosDate = 0;
  WORD dosTime = 0;
  if (FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) &&
      FileTimeToDosDateTime(&local, &dosDate, &dosTime))
    rec.Time = static_cast<int>((static_cast<DWORD>(dosDate) << 16) | dosTime);
  return rec;
}

bool MatchesAnyMask(const char* name, const std::vector<std::string>& masks) {
  return std::any_of(masks.begin(), masks.end(),
                     [&](const std::string& mask) { return ListingMaskMatches(name, mask); });
}

}  // namespace

void TFindFile::SearchIn(const std::string& folder) {
  TRestore<WORD> level(currentLevel_, static_cast<WORD>(currentLevel_ + 1));

  const TFolderIgnore answer = DoFolderChange(folder);
  const std::vector<std::string>& masks = target_->FileMasks;
  const bool takeFiles = (answer == fiNone || answer == fiJustSubfolders) &&
                         currentLevel_ >= target_->MinLevel && !masks.empty();
  const bool enterSubfolders = target_->Recursive && (answer == fiNone || answer == fiJustThis) &&
                               (target_->MaxLevel == 0 || currentLevel_ < target_->MaxLevel);
  if ((!takeFiles && !enterSubfolders) || aborted_) return;

  // One listing serves the files and the subfolders. The system also matches a mask against
  // a file's short name ("*.tmd" would find "pier.tmdx"), so what it lists is taken by the
  // long name alone; a folder that is not entered is listed by its one mask, which lets the
  // system leave most of a large folder out.
  const std::string pattern = !enterSubfolders && masks.size() == 1 ? masks[0] : "*";
  std::vector<std::string> subfolders;
  // With several masks the files are reported mask by mask, each file once.
  std::vector<WIN32_FIND_DATAA> candidates;
  WIN32_FIND_DATAA data;
  TFindGuard find(FindFirst(folder + pattern, data));
  if (find.Valid()) {
    do {
      if (aborted_) break;
      if (IsDotEntry(data.cFileName)) continue;
      if (enterSubfolders && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        subfolders.emplace_back(data.cFileName);
      if (!takeFiles) continue;
      if (masks.size() == 1) {
        if (ListingMaskMatches(data.cFileName, masks[0])) Consider(folder, data);
      } else if (MatchesAnyMask(data.cFileName, masks)) {
        candidates.push_back(data);
      }
    } while (FindNextFileA(find.Get(), &data));
  }
  if (!candidates.empty()) {
    std::vector<bool> reported(candidates.size());
    for (auto mask = masks.rbegin(); mask != masks.rend() && !aborted_; ++mask)
      for (size_t i = 0; i < candidates.size() && !aborted_; ++i)
        if (!reported[i] && ListingMaskMatches(candidates[i].cFileName, *mask)) {
          reported[i] = true;
          Consider(folder, candidates[i]);
        }
  }
  for (const std::string& name : subfolders) {
    if (aborted_) break;
    SearchIn(folder + name + '\\');
  }
}

void TFindFile::Consider(const std::string& folder, const WIN32_FIND_DATAA& data) {
  const TSearchRec rec = SearchRecOf(data);
  if (IsAcceptable(folder, rec)) DoFileMatch(folder, rec);
}

bool TFindFile::IsAcceptable(const std::string& folder, const TSearchRec& fileInfo) {
  const TTargetSearch& plan = *plan_;
  if (!plan.Attribute.Matches(fileInfo.FindData.dwFileAttributes)) return false;
  if (!plan.Size.Matches(fileInfo.Size)) return false;
  if (!plan.TimeStamp.Matches(fileInfo.FindData)) return false;
  if (plan.IsExcluded(folder, fileInfo.Name)) return false;
  if (!plan.Content.Phrase().empty() && !plan.Content.Matches(folder + fileInfo.Name))
    return false;
  return true;
}

void TFindFile::DoSearchBegin() {
  if (OnSearchBegin && !ComponentState().Contains(csDestroying)) OnSearchBegin(this);
}

void TFindFile::DoSearchFinish() {
  if (!OnSearchFinish || ComponentState().Contains(csDestroying)) return;
  // A copy: a handler that frees the component frees the event with it.
  const TNotifyEvent handler = OnSearchFinish;
  handler(this);
}

void TFindFile::DoSearchAbort() {
  if (OnSearchAbort && !ComponentState().Contains(csDestroying)) OnSearchAbort(this);
}

TFolderIgnore TFindFile::DoFolderChange(const std::string& folder) {
  if (aborted_) return fiThisAndSubfolders;
  TFolderIgnore answer = fiNone;
  if (OnFolderChange) OnFolderChange(this, folder, answer);
  return answer;
}

void TFindFile::DoFileMatch(const std::string& folder, const TSearchRec& fileInfo) {
  if (!aborted_ && OnFileMatch) OnFileMatch(this, folder, fileInfo);
}

// ---- Published properties ----------------------------------------------------------------

namespace {

const TEnumInfo FileAttributeInfo{"TFileAttribute",
                                  {"ffArchive", "ffReadonly", "ffHidden", "ffSystem", "ffDirectory"}};
const TEnumInfo ThreadPriorityInfo{
    "TThreadPriority",
    {"tpIdle", "tpLowest", "tpLower", "tpNormal", "tpHigher", "tpHighest", "tpTimeCritical"}};

std::vector<std::string> Lines(const TStrings* list) {
  std::vector<std::string> lines;
  for (int i = 0; i < list->Count(); ++i) lines.push_back(list->Strings(i));
  return lines;
}

void SetLines(TStrings* list, const std::vector<std::string>& lines) {
  list->Clear();
  for (const auto& line : lines) list->Add(line);
}

}  // namespace

void RegisterFindFile() {
  RegisterClassInfo<TFileCriteria, TPersistent>("TFileCriteria")
      .String("FileName", &TFileCriteria::FileName, &TFileCriteria::SetFileName)
      .String("Location", &TFileCriteria::Location, &TFileCriteria::SetLocation)
      .Strings("Included", [](TFileCriteria* c) { return Lines(c->Included()); },
               [](TFileCriteria* c, const std::vector<std::string>& v) { SetLines(c->Included(), v); })
      .Strings("Excluded", [](TFileCriteria* c) { return Lines(c->Excluded()); },
               [](TFileCriteria* c, const std::vector<std::string>& v) { SetLines(c->Excluded(), v); })
      .Boolean("Subfolders", &TFileCriteria::Subfolders, &TFileCriteria::SetSubfolders, true)
      .Integer("MinLevel", &TFileCriteria::MinLevel, &TFileCriteria::SetMinLevel, 0)
      .Integer("MaxLevel", &TFileCriteria::MaxLevel, &TFileCriteria::SetMaxLevel, 0);
  RegisterClassInfo<TAttributeCriteria, TPersistent>("TAttributeCriteria")
      .Set("Attributes", FileAttributeInfo, &TAttributeCriteria::Attributes,
           &TAttributeCriteria::SetAttributes,
           TFileAttributes{ffArchive, ffReadonly, ffHidden, ffSystem})
      .Boolean("ExactMatch", &TAttributeCriteria::ExactMatch, &TAttributeCriteria::SetExactMatch,
               false);
  RegisterClassInfo<TDateTimeCriteria, TPersistent>("TDateTimeCriteria")
      .Float("CreatedBefore", &TDateTimeCriteria::CreatedBefore, &TDateTimeCriteria::SetCreatedBefore, 0.0)
      .Float("CreatedAfter", &TDateTimeCriteria::CreatedAfter, &TDateTimeCriteria::SetCreatedAfter, 0.0)
      .Float("ModifiedBefore", &TDateTimeCriteria::ModifiedBefore, &TDateTimeCriteria::SetModifiedBefore, 0.0)
      .Float("ModifiedAfter", &TDateTimeCriteria::ModifiedAfter, &TDateTimeCriteria::SetModifiedAfter, 0.0)
      .Float("AccessedBefore", &TDateTimeCriteria::AccessedBefore, &TDateTimeCriteria::SetAccessedBefore, 0.0)
      .Float("AccessedAfter", &TDateTimeCriteria::AccessedAfter, &TDateTimeCriteria::SetAccessedAfter, 0.0);
  RegisterClassInfo<TSizeCriteria, TPersistent>("TSizeCriteria")
      .Integer("Min", &TSizeCriteria::Min, &TSizeCriteria::SetMin, 0)
      .Integer("Max", &TSizeCriteria::Max, &TSizeCriteria::SetMax, 0);
  RegisterClassInfo<TContentCriteria, TPersistent>("TContentCriteria")
      .String("Phrase", &TContentCriteria::Phrase, &TContentCriteria::SetPhrase)
      .Boolean("IgnoreCase", &TContentCriteria::IgnoreCase, &TContentCriteria::SetIgnoreCase, true)
      .Boolean("WholeWord", &TContentCriteria::WholeWord, &TContentCriteria::SetWholeWord, false);
  RegisterClassInfo<TSearchCriteria, TPersistent>("TSearchCriteria")
      .Object("Files", &TSearchCriteria::Files)
      .Object("Attribute", &TSearchCriteria::Attribute)
      .Object("TimeStamp", &TSearchCriteria::TimeStamp)
      .Object("Size", &TSearchCriteria::Size)
      .Object("Content", &TSearchCriteria::Content);
  RegisterClassInfo<TFindFile, TComponent>("TFindFile")
      .Object("Criteria", &TFindFile::Criteria)
      .Boolean("Threaded", &TFindFile::Threaded, &TFindFile::SetThreaded, false)
      .Enum("ThreadPriority", ThreadPriorityInfo, &TFindFile::ThreadPriority,
            &TFindFile::SetThreadPriority, tpNormal)
      .Event("OnSearchBegin", &TFindFile::OnSearchBegin)
      .Event("OnSearchFinish", &TFindFile::OnSearchFinish)
      .Event("OnSearchAbort", &TFindFile::OnSearchAbort)
      .Event("OnFolderChange", &TFindFile::OnFolderChange)
      .Event("OnFileMatch", &TFindFile::OnFileMatch);
}
