#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/TypInfo.h"
#include "services/FindFile.h"
#include "services/SvCommon.h"
#include "TestSupport.h"

namespace {


// A scratch folder of the test's own, removed again at its end.
class TTree {
 public:
  TTree() {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    root_ = std::string(temp) + "FindFile-" + info->name() + "-" +
            std::to_string(GetCurrentProcessId()) + "\\";
    DeleteFolderTree(root_);
    ForceDirectories(root_);
  }
  ~TTree() { DeleteFolderTree(root_); }
  const std::string& Root() const { return root_; }

  // A file (and the folders it lies in) below the root.
  std::string File(const std::string& relative, const std::string& content = "x") const {
    std::string path = root_ + relative;
    ForceDirectories(ExtractFilePath(path));
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(h);
    return path;
  }
  void Folder(const std::string& relative) const { ForceDirectories(root_ + relative); }

 private:
  std::string root_;
};

// Runs a synchronous search and collects what it reports, relative to the tree's root.
struct TRecorder {
  explicit TRecorder(TFindFile& find, const std::string& root) : root_(root) {
    find.OnFileMatch = [this](TObject*, const std::string& folder, const TSearchRec& rec) {
      std::lock_guard<std::mutex> lock(mutex);
      matches.push_back(Relative(folder + rec.Name));
    };
    find.OnSearchBegin = [this](TObject*) { ++begins; };
    find.OnSearchFinish = [this](TObject*) { ++finishes; };
    find.OnSearchAbort = [this](TObject*) {
      ++aborts;
      abortThread = GetCurrentThreadId();
    };
  }
  std::string Relative(const std::string& path) const {
    return path.compare(0, root_.size(), root_) == 0 ? path.substr(root_.size()) : path;
  }
  std::vector<std::string> Sorted() const {
    std::vector<std::string> s = matches;
    std::sort(s.begin(), s.end());
    return s;
  }

  std::string root_;
  std::mutex mutex;
  std::vector<std::string> matches;
  std::atomic<int> begins{0};
  std::atomic<int> finishes{0};
  std::atomic<int> aborts{0};
  std::atomic<DWORD> abortThread{0};
};

using Names = std::vector<std::string>;


}  // namespace

TEST(FindFile, MaskRules) {
  struct Case {
    const char* name;
    const char* mask;
    bool matches;
  };
  const Case cases[] = {
      {"Pier.tmd", "*.tmd", true},
      {"PIER.TMD", "*.tmd", true},
      {"data.txt", "data", true},  // a mask without extension compares the bases only
      {"abc.txt", "a*z.txt", true},  // "*" takes the rest at once
      {"abc.txt", "a?c.*", true},
      {"README", "*.*", true},  // no extension counts as "."
      {"README", "*.", true},
      {"abc", "abc?", true},  // what remains of the pattern is only wildcards
      {"\xC9t\xE9.tmd", "\xE9T\xC9.TMD", true},  // non-ASCII letters, case ignored
      {"Pier.tm", "*.tmd", false},
      {"pier.tmdx", "*.tmd", false},
      {"tmd", "*.tmd", false},
      {"data", "data.txt", false},
      {"ac.txt", "a?c.txt", false},
      {"abc.txt", "x*", false},
      {"a.txt", "*.", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FileMatchesMask(c.name, c.mask), c.matches) << c.name << " against " << c.mask;
  EXPECT_TRUE(WildcardMatches("\\\\server\\share", "\\\\SERVER\\*"));
  EXPECT_FALSE(WildcardMatches("\\\\server\\share", "\\\\other\\*"));
}

TEST(FindFile, RepeatedLocationsAreSearchedOnceInTheOrderFirstNamed) {
  TTree tree;
  tree.File("one\\x.tmd");
  tree.File("two\\y.tmd");
  tree.File("two\\y.txt");
  TFindFile find(nullptr);
  TRecorder rec(find, tree.Root());
  Names folders;
  find.OnFolderChange = [&](TObject*, const std::string& folder, TFolderIgnore&) {
    folders.push_back(rec.Relative(folder));
  };
  const std::string& r = tree.Root();
  find.Criteria()->Files()->SetFileName(" *.tmd ;*.TMD;");
  // The second and third name the first folder again (case, trailing backslash).
  find.Criteria()->Files()->SetLocation(r + "two\\;" + r + "one;" + r + "TWO\\; " + r + "two");
  find.Execute();
  EXPECT_EQ(folders, (Names{"two\\", "one\\"}));
  EXPECT_EQ(rec.matches, (Names{"two\\y.tmd", "one\\x.tmd"}));
  EXPECT_EQ(rec.begins, 1);
  EXPECT_EQ(rec.finishes, 1);
  EXPECT_FALSE(find.Busy());

  // Whole drives the same way; every folder is skipped, so nothing is listed.
  folders.clear();
  find.OnFolderChange = [&](TObject*, const std::string& folder, TFolderIgnore& ignore) {
    folders.push_back(folder);
    ignore = fiThisAndSubfolders;
  };
  find.Criteria()->Files()->SetLocation("C:\\;D:\\;C:\\");
  find.Execute();
  EXPECT_EQ(folders, (Names{"C:\\", "D:\\"}));
}

TEST(FindFile, IncludedEntriesAddFoldersWithTheirOwnMaskAndRecursion) {
  TTree tree;
  tree.File("a.tmd");
  tree.File("a.log");
  tree.File("sub\\b.tmd");
  tree.File("sub\\b.log");
  tree.File("sub\\deep\\c.log");
  TFindFile find(nullptr);
  TRecorder rec(find, tree.Root());
  find.Criteria()->Files()->SetFileName("*.tmd");
  find.Criteria()->Files()->SetLocation(tree.Root());
  find.Criteria()->Files()->Included()->Add("<" + tree.Root() + "sub\\*.log");
  find.Execute();
  // The included folder was named first; its "<" keeps its own subfolders out, while the
  // location's walk through it looks for the location's masks only.
  EXPECT_EQ(rec.matches, (Names{"sub\\b.log", "a.tmd", "sub\\b.tmd"}));
}

TEST(FindFile, DepthLimits) {
  TTree tree;
  tree.File("a.tmd");
  tree.File("sub\\b.tmd");
  tree.File("sub\\deep\\c.tmd");
  struct Case {
    WORD minLevel, maxLevel;
    bool subfolders;
    Names found;
  };
  const Case cases[] = {
      {0, 0, true, {"a.tmd", "sub\\b.tmd", "sub\\deep\\c.tmd"}},
      {0, 1, true, {"a.tmd"}},
      {0, 2, true, {"a.tmd", "sub\\b.tmd"}},
      {2, 0, true, {"sub\\b.tmd", "sub\\deep\\c.tmd"}},
      {3, 0, true, {"sub\\deep\\c.tmd"}},
      {0, 0, false, {"a.tmd"}},
  };
  for (const Case& c : cases) {
    TFindFile find(nullptr);
    TRecorder rec(find, tree.Root());
    find.Criteria()->Files()->SetFileName("*.tmd");
    find.Criteria()->Files()->SetLocation(tree.Root());
    find.Criteria()->Files()->SetMinLevel(c.minLevel);
    find.Criteria()->Files()->SetMaxLevel(c.maxLevel);
    find.Criteria()->Files()->SetSubfolders(c.subfolders);
    find.Execute();
    EXPECT_EQ(rec.Sorted(), c.found) << "min " << c.minLevel << " max " << c.maxLevel;
  }
}

TEST(FindFile, FolderAnswersSkipFilesOrSubfolders) {
  TTree tree;
  tree.File("a.tmd");
  tree.File("sub\\b.tmd");
  tree.File("sub\\deep\\c.tmd");
  struct Case {
    TFolderIgnore answer;  // for the folder "sub\" only
    Names found;
  };
  const Case cases[] = {
      {fiNone, {"a.tmd", "sub\\b.tmd", "sub\\deep\\c.tmd"}},
      {fiJustThis, {"a.tmd", "sub\\deep\\c.tmd"}},
      {fiJustSubfolders, {"a.tmd", "sub\\b.tmd"}},
      {fiThisAndSubfolders, {"a.tmd"}},
  };
  for (const Case& c : cases) {
    TFindFile find(nullptr);
    TRecorder rec(find, tree.Root());
    find.OnFolderChange = [&](TObject*, const std::string& folder, TFolderIgnore& ignore) {
      if (rec.Relative(folder) == "sub\\") ignore = c.answer;
    };
    find.Criteria()->Files()->SetFileName("*.tmd");
    find.Criteria()->Files()->SetLocation(tree.Root());
    find.Execute();
    EXPECT_EQ(rec.Sorted(), c.found) << "answer " << c.answer;
  }
}

TEST(FindFile, Exclusions) {
  TTree tree;
  tree.File("keep.tmd");
  tree.File("old.tmd");
  tree.File("skip\\a.tmd");
  tree.File("inner\\skip\\b.tmd");
  tree.File("other\\c.tmd");
  tree.File("other\\DATA.tmd");
  const std::string drive = tree.Root().substr(0, 2);
  const std::string otherDrive = drive[0] == 'Q' ? "R:" : "Q:";
  struct Case {
    const char* what;
    Names excluded;
    Names found;
  };
  const Names all{"inner\\skip\\b.tmd", "keep.tmd", "old.tmd", "other\\DATA.tmd", "other\\c.tmd",
                  "skip\\a.tmd"};
  const Case cases[] = {
      {"mask only", {"old.*"}, {"inner\\skip\\b.tmd", "keep.tmd", "other\\DATA.tmd",
                                "other\\c.tmd", "skip\\a.tmd"}},
      {"folder only, matched at the folder's end", {"\\skip\\"},
       {"keep.tmd", "old.tmd", "other\\DATA.tmd", "other\\c.tmd"}},
      {"folder and mask, case ignored", {"\\OTHER\\data"},
       {"inner\\skip\\b.tmd", "keep.tmd", "old.tmd", "other\\c.tmd", "skip\\a.tmd"}},
      {"this drive", {drive + "\\inner\\skip\\"},
       {"keep.tmd", "old.tmd", "other\\DATA.tmd", "other\\c.tmd", "skip\\a.tmd"}},
      {"any drive", {"*:\\inner\\skip\\"},
       {"keep.tmd", "old.tmd", "other\\DATA.tmd", "other\\c.tmd", "skip\\a.tmd"}},
      {"another drive", {otherDrive + "\\inner\\skip\\"}, all},
      {"blank lines reject nothing", {"", "  "}, all},
  };
  for (const Case& c : cases) {
    TFindFile find(nullptr);
    TRecorder rec(find, tree.Root());
    find.Criteria()->Files()->SetFileName("*.tmd");
    find.Criteria()->Files()->SetLocation(tree.Root());
    for (const auto& e : c.excluded) find.Criteria()->Files()->Excluded()->Add(e);
    find.Execute();
    EXPECT_EQ(rec.Sorted(), c.found) << c.what;
  }
}

TEST(FindFile, SizeLimits) {
  TTree tree;
  tree.File("empty.dat", "");
  tree.File("ten.dat", std::string(10, 'a'));
  tree.File("hundred.dat", std::string(100, 'a'));
  struct Case {
    DWORD min, max;
    Names found;
  };
  const Case cases[] = {
      {0, 0, {"empty.dat", "hundred.dat", "ten.dat"}},
      {10, 0, {"hundred.dat", "ten.dat"}},
      {0, 10, {"empty.dat", "ten.dat"}},
      {11, 100, {"hundred.dat"}},
      {11, 99, {}},
  };
  for (const Case& c : cases) {
    TFindFile find(nullptr);
    TRecorder rec(find, tree.Root());
    find.Criteria()->Files()->SetFileName("*.dat");
    find.Criteria()->Files()->SetLocation(tree.Root());
    find.Criteria()->Size()->SetMin(c.min);
    find.Criteria()->Size()->SetMax(c.max);
    find.Execute();
    EXPECT_EQ(rec.Sorted(), c.found) << c.min << ".." << c.max;
  }
}

TEST(FindFile, AttributesAndFolders) {
  TTree tree;
  tree.File("plain.dat");
  SetFileAttributesA(tree.File("hidden.dat").c_str(), FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesA(tree.File("ro.dat").c_str(), FILE_ATTRIBUTE_READONLY);
  tree.Folder("dir.dat");
  struct Case {
    TFileAttributes attributes;
    bool exact;
    Names found;
  };
  const Case cases[] = {
      {{ffArchive, ffReadonly, ffHidden, ffSystem}, false, {"hidden.dat", "plain.dat", "ro.dat"}},
      {{ffArchive, ffReadonly}, false, {"plain.dat", "ro.dat"}},
      {{ffArchive, ffHidden, ffDirectory}, false, {"dir.dat", "hidden.dat", "plain.dat"}},
      {TFileAttributes(), true, {"hidden.dat"}},  // exactly the hidden file's own bits
      {{ffDirectory}, true, {"dir.dat"}},
  };
  for (const Case& c : cases) {
    TFindFile find(nullptr);
    TRecorder rec(find, tree.Root());
    find.Criteria()->Files()->SetFileName("*.dat");
    find.Criteria()->Files()->SetLocation(tree.Root());
    find.Criteria()->Files()->SetSubfolders(false);
    find.Criteria()->Attribute()->SetAttributes(c.attributes);
    if (c.attributes.Empty())
      find.Criteria()->Attribute()->SetAttributeBits(
          GetFileAttributesA((tree.Root() + "hidden.dat").c_str()));
    find.Criteria()->Attribute()->SetExactMatch(c.exact);
    find.Execute();
    EXPECT_EQ(rec.Sorted(), c.found) << c.attributes.Bits() << (c.exact ? " exact" : "");
  }
  TAttributeCriteria defaults;
  EXPECT_EQ(defaults.AttributeBits(), 0x27u);
}

TEST(FindFile, ModifiedDateLimits) {
  TTree tree;
  const std::string path = tree.File("old.dat");
  // Last written 2004-06-15 14:30 local time.
  SYSTEMTIME st{2004, 6, 2, 15, 14, 30, 0, 0};
  FILETIME local, utc;
  SystemTimeToFileTime(&st, &local);
  LocalFileTimeToFileTime(&local, &utc);
  HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  SetFileTime(h, nullptr, nullptr, &utc);
  CloseHandle(h);

  const TDateTime day = EncodeDate(2004, 6, 15);
  struct Case {
    TDateTime before, after;
    bool found;
  };
  const Case cases[] = {
      {day, 0, true},                                // date only: same day is not later
      {day - 1, 0, false},
      {0, day, true},                                // same day is not earlier
      {0, day + 1, false},
      {day + EncodeTime(14, 0, 0, 0), 0, false},     // full date-time
      {day + EncodeTime(15, 0, 0, 0), 0, true},
      {EncodeTime(15, 0, 0, 0), 0, true},            // time of day only
      {EncodeTime(14, 0, 0, 0), 0, false},
      {0, EncodeTime(14, 0, 0, 0), true},
      {day + 1, day - 1, true},
  };
  for (const Case& c : cases) {
    TFindFile find(nullptr);
    TRecorder rec(find, tree.Root());
    find.Criteria()->Files()->SetFileName("*.dat");
    find.Criteria()->Files()->SetLocation(tree.Root());
    find.Criteria()->TimeStamp()->SetModifiedBefore(c.before);
    find.Criteria()->TimeStamp()->SetModifiedAfter(c.after);
    find.Execute();
    EXPECT_EQ(rec.matches.size(), c.found ? 1u : 0u) << c.before << " / " << c.after;
  }
}

TEST(FindFile, ContentCaseAndWholeWord) {
  TTree tree;
  tree.File("text.txt", "Hello World, wide-world");
  tree.File("start.txt", "World");
  tree.File("short.txt", "Wor");
  struct Case {
    const char* phrase;
    bool ignoreCase, wholeWord;
    Names found;
  };
  const Case cases[] = {
      {"world", true, false, {"start.txt", "text.txt"}},
      {"World", false, false, {"start.txt", "text.txt"}},
      {"WORLD", false, false, {}},
      {"wor", true, false, {"short.txt", "start.txt", "text.txt"}},
      {"wor", true, true, {"short.txt"}},  // the whole file is the word
      {"world", true, true, {"start.txt", "text.txt"}},  // file start and end delimit too
      {"wide", false, true, {"text.txt"}},
      {"hello world", true, false, {"text.txt"}},
  };
  for (const Case& c : cases) {
    TFindFile find(nullptr);
    TRecorder rec(find, tree.Root());
    find.Criteria()->Files()->SetFileName("*.txt");
    find.Criteria()->Files()->SetLocation(tree.Root());
    find.Criteria()->Content()->SetPhrase(c.phrase);
    find.Criteria()->Content()->SetIgnoreCase(c.ignoreCase);
    find.Criteria()->Content()->SetWholeWord(c.wholeWord);
    find.Execute();
    EXPECT_EQ(rec.Sorted(), c.found) << c.phrase;
  }
}

TEST(FindFile, ContentFoundAcrossTheReadBlockBoundary) {
  TTree tree;
  const size_t block = 61440;
  // "needle" straddles the end of the first block; in the second file the byte right after
  // the word is the first byte of the next block.
  std::string across(2 * block, '.');
  across.replace(block - 3, 6, "Needle");
  std::string wordEnd(2 * block, '.');
  wordEnd.replace(block - 6, 6, "needle");
  wordEnd[block] = 'x';
  std::string wordEndOk = wordEnd;
  wordEndOk[block] = ' ';
  // A match whose delimiting byte in front lies at the end of the previous block.
  std::string wordStart(2 * block, '.');
  wordStart[block - 1] = 'x';
  wordStart.replace(block, 6, "needle");
  tree.File("across.bin", across);
  tree.File("wordend.bin", wordEnd);
  tree.File("wordendok.bin", wordEndOk);
  tree.File("wordstart.bin", wordStart);
  // A phrase longer than a block.
  std::string longPhrase(block + 10, 'q');
  std::string longFile = std::string(block, '.') + longPhrase + std::string(block, '.');
  tree.File("long.big", longFile);

  struct Case {
    std::string mask, phrase;
    bool wholeWord;
    Names found;
  };
  const Case cases[] = {
      {"*.bin", "needle", false, {"across.bin", "wordend.bin", "wordendok.bin", "wordstart.bin"}},
      {"*.bin", "needle", true, {"across.bin", "wordendok.bin"}},
      {"*.big", longPhrase, false, {"long.big"}},
      {"*.big", longPhrase + "q", false, {}},
  };
  for (const Case& c : cases) {
    TFindFile find(nullptr);
    TRecorder rec(find, tree.Root());
    find.Criteria()->Files()->SetFileName(c.mask);
    find.Criteria()->Files()->SetLocation(tree.Root());
    find.Criteria()->Content()->SetPhrase(c.phrase);
    find.Criteria()->Content()->SetWholeWord(c.wholeWord);
    find.Execute();
    EXPECT_EQ(rec.Sorted(), c.found) << c.mask << (c.wholeWord ? " whole word" : "");
  }
}

TEST(FindFile, UnreadableFilesAndMissingFoldersAreNotMatches) {
  TTree tree;
  const std::string locked = tree.File("locked.txt", "secret");
  tree.File("open.txt", "secret");
  HANDLE h = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  TFindFile find(nullptr);
  TRecorder rec(find, tree.Root());
  find.Criteria()->Files()->SetFileName("*.txt");
  find.Criteria()->Files()->SetLocation(tree.Root() + ";" + tree.Root() + "missing\\");
  find.Criteria()->Content()->SetPhrase("secret");
  find.Execute();
  CloseHandle(h);
  EXPECT_EQ(rec.matches, (Names{"open.txt"}));
  EXPECT_EQ(rec.finishes, 1);

  // Nothing to look for, nowhere to look (blank entries name no folder either): a search
  // that begins and finishes without visiting any folder.
  const std::string saved = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDirectoryA(tree.Root().c_str()));
  TFindFile empty(nullptr);
  TRecorder none(empty, tree.Root());
  int folders = 0;
  empty.OnFolderChange = [&](TObject*, const std::string&, TFolderIgnore&) { ++folders; };
  empty.Criteria()->Files()->SetLocation(" ; <;>");
  empty.Criteria()->Files()->Included()->Add("");
  empty.Criteria()->Files()->Included()->Add(">");
  empty.Execute();
  SetCurrentDirectoryA(saved.c_str());
  EXPECT_TRUE(none.matches.empty());
  EXPECT_EQ(folders, 0);
  EXPECT_EQ(none.begins, 1);
  EXPECT_EQ(none.finishes, 1);
}

TEST(FindFile, NamesWithBlanksAndAccents) {
  TTree tree;
  tree.File("Dossier \xE9t\xE9\\Pi\xE8" "ce d'or.tmd");
  tree.File("Dossier \xE9t\xE9\\autre.tmd");
  TFindFile find(nullptr);
  TRecorder rec(find, tree.Root());
  find.Criteria()->Files()->SetFileName("*.tmd");
  find.Criteria()->Files()->SetLocation(tree.Root());
  find.Criteria()->Files()->Excluded()->Add("\\DOSSIER \xC9T\xC9\\autre.*");
  find.Execute();
  EXPECT_EQ(rec.matches, (Names{"Dossier \xE9t\xE9\\Pi\xE8" "ce d'or.tmd"}));
}

TEST(FindFile, BareDriveSearchesItsCurrentFolder) {
  TTree tree;
  tree.File("here.tmd");
  tree.File("sub\\not.tmd");
  const std::string saved = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDirectoryA(tree.Root().c_str()));
  TFindFile find(nullptr);
  TRecorder rec(find, tree.Root());
  find.Criteria()->Files()->SetFileName("*.tmd");
  find.Criteria()->Files()->SetLocation("<" + tree.Root().substr(0, 2));
  find.Execute();
  SetCurrentDirectoryA(saved.c_str());
  EXPECT_EQ(rec.matches, (Names{"here.tmd"}));
}

TEST(FindFile, ExceptionInAHandlerStillFinishesTheSearch) {
  TTree tree;
  tree.File("a.tmd");
  TFindFile find(nullptr);
  TRecorder rec(find, tree.Root());
  find.Criteria()->Files()->SetFileName("*.tmd");
  find.Criteria()->Files()->SetLocation(tree.Root());
  find.OnFileMatch = [](TObject*, const std::string&, const TSearchRec&) {
    throw Exception("stop");
  };
  EXPECT_THROW(find.Execute(), Exception);
  EXPECT_EQ(rec.finishes, 1);
  EXPECT_FALSE(find.Busy());
  find.OnFileMatch = nullptr;
  EXPECT_NO_THROW(find.Execute());
  EXPECT_EQ(rec.finishes, 2);
}

TEST(FindFile, AbortInsideASynchronousSearchStopsTheWalk) {
  TTree tree;
  for (int i = 0; i < 5; ++i) tree.File(Format("f%d.tmd", i));
  TFindFile find(nullptr);
  TRecorder rec(find, tree.Root());
  find.Criteria()->Files()->SetFileName("*.tmd");
  find.Criteria()->Files()->SetLocation(tree.Root());
  find.OnFileMatch = [&](TObject* sender, const std::string&, const TSearchRec&) {
    rec.matches.push_back("match");
    static_cast<TFindFile*>(sender)->Abort();
    static_cast<TFindFile*>(sender)->Abort();  // once only
  };
  find.Execute();
  EXPECT_EQ(rec.matches.size(), 1u);
  EXPECT_EQ(rec.aborts, 1);
  EXPECT_EQ(rec.finishes, 1);
  EXPECT_TRUE(find.Aborted());
  find.Abort();  // not busy: nothing happens
  EXPECT_EQ(rec.aborts, 1);
}

namespace {

// A threaded search over a small tree that holds its worker in the first folder until the
// test lets it go (or the search is aborted).
struct THeldSearch {
  explicit THeldSearch(TTree& tree) : rec(find, tree.Root()) {
    tree.File("a.tmd");
    tree.File("sub\\b.tmd");
    find.SetThreaded(true);
    find.Criteria()->Files()->SetFileName("*.tmd");
    find.Criteria()->Files()->SetLocation(tree.Root());
    find.OnFolderChange = [this](TObject* sender, const std::string&, TFolderIgnore&) {
      workerThread = GetCurrentThreadId();
      entered = true;
      while (!release && !static_cast<TFindFile*>(sender)->Aborted()) Sleep(1);
    };
  }
  TFindFile find{nullptr};
  TRecorder rec;
  std::atomic<bool> entered{false};
  std::atomic<bool> release{false};
  std::atomic<DWORD> workerThread{0};
};

}  // namespace

TEST(FindFile, ThreadedSearchRunsOnAWorkerAndFinishesOnTheGuiThread) {
  TTree tree;
  THeldSearch held(tree);
  DWORD finishedOn = 0;
  held.find.OnSearchFinish = [&](TObject*) { finishedOn = GetCurrentThreadId(); };
  held.find.Execute();
  EXPECT_TRUE(held.find.Busy());
  ASSERT_TRUE(LoopUntil([&] { return held.entered.load(); }));
  // A second start while the first runs does nothing.
  held.find.Execute();
  EXPECT_EQ(held.rec.begins, 1);
  held.release = true;
  ASSERT_TRUE(LoopUntil([&] { return !held.find.Busy(); }));
  EXPECT_NE(held.workerThread, GetCurrentThreadId());
  EXPECT_EQ(finishedOn, GetCurrentThreadId());
  EXPECT_EQ(held.rec.Sorted(), (Names{"a.tmd", "sub\\b.tmd"}));
}

TEST(FindFile, AbortWaitsForTheWorkerAndServesMessagesButNotInput) {
  TTree tree;
  THeldSearch held(tree);
  int finishes = 0;
  held.find.OnSearchFinish = [&](TObject*) { ++finishes; };
  std::vector<UINT> seen;
  HWND wnd = AllocateUtilityWindow([&](TMessage& m) {
    if (m.Msg == WM_KEYDOWN || m.Msg == WM_LBUTTONDOWN || m.Msg == WM_USER + 7)
      seen.push_back(m.Msg);
  });
  held.find.Execute();
  ASSERT_TRUE(LoopUntil([&] { return held.entered.load(); }));
  PostMessageA(wnd, WM_KEYDOWN, 'A', 0);
  PostMessageA(wnd, WM_LBUTTONDOWN, 0, 0);
  PostMessageA(wnd, WM_USER + 7, 0, 0);
  held.find.Abort();
  // Back from the wait the search has ended and its end has been delivered.
  EXPECT_FALSE(held.find.Busy());
  EXPECT_EQ(finishes, 1);
  EXPECT_EQ(held.rec.aborts, 1);
  EXPECT_EQ(held.rec.abortThread, GetCurrentThreadId());
  EXPECT_TRUE(held.rec.matches.empty());
  EXPECT_EQ(seen, (std::vector<UINT>{WM_USER + 7}));
  DeallocateUtilityWindow(wnd);
}

TEST(FindFile, ExceptionOnTheWorkerReachesTheApplicationHandlerAfterTheFinish) {
  TTree tree;
  tree.File("a.tmd");
  TFindFile find(nullptr);
  TRecorder rec(find, tree.Root());
  find.SetThreaded(true);
  find.Criteria()->Files()->SetFileName("*.tmd");
  find.Criteria()->Files()->SetLocation(tree.Root());
  find.OnFileMatch = [](TObject*, const std::string&, const TSearchRec&) {
    throw Exception("disk on fire");
  };
  std::string reported;
  int finishesBefore = -1;
  auto saved = Application->OnException;
  Application->OnException = [&](TObject*, const std::exception& e) {
    reported = e.what();
    finishesBefore = rec.finishes;
  };
  find.Execute();
  bool ended = LoopUntil([&] { return !find.Busy(); });
  Application->OnException = saved;
  ASSERT_TRUE(ended);
  EXPECT_EQ(reported, "disk on fire");
  EXPECT_EQ(finishesBefore, 1);
}

TEST(FindFile, QuitEndsTheAbortWaitAndStaysForTheMessageLoop) {
  TTree tree;
  THeldSearch held(tree);
  held.find.Execute();
  ASSERT_TRUE(LoopUntil([&] { return held.entered.load(); }));
  // The worker cannot end until the GUI thread serves its hand-over; the quit comes first.
  PostQuitMessage(3);
  held.find.Abort();
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 3u);
  ASSERT_TRUE(LoopUntil([&] { return !held.find.Busy(); }));
}

TEST(FindFile, DestroyingAComponentWithARunningWorkerWaitsForIt) {
  TTree tree;
  std::atomic<bool> entered{false};
  std::atomic<int> finishes{0};
  {
    TFindFile find(nullptr);
    for (int i = 0; i < 20; ++i) tree.File(Format("d%d\\a.tmd", i));
    find.SetThreaded(true);
    find.Criteria()->Files()->SetFileName("*.tmd");
    find.Criteria()->Files()->SetLocation(tree.Root());
    find.OnFolderChange = [&](TObject* sender, const std::string&, TFolderIgnore&) {
      entered = true;
      while (!static_cast<TFindFile*>(sender)->Aborted()) Sleep(1);
    };
    find.OnSearchFinish = [&](TObject*) { ++finishes; };
    find.Execute();
    ASSERT_TRUE(LoopUntil([&] { return entered.load(); }));
  }
  // Events are not fired while the component goes away.
  EXPECT_EQ(finishes, 0);
}

TEST(FindFile, CriteriaCopyAndPublishedProperties) {
  RegisterFindFile();
  TSearchCriteria a;
  a.Files()->SetFileName("*.tmd");
  a.Files()->Excluded()->Add("*.bak");
  a.Files()->SetMaxLevel(3);
  a.Attribute()->SetAttributes({ffHidden});
  a.TimeStamp()->SetAccessedAfter(2.5);
  a.Size()->SetMax(99);
  a.Content()->SetPhrase("x");
  a.Content()->SetIgnoreCase(false);
  TFindFile find(nullptr);
  find.SetCriteria(&a);
  a.Files()->Excluded()->Clear();
  TSearchCriteria* c = find.Criteria();
  EXPECT_NE(c, &a);
  EXPECT_EQ(c->Files()->FileName(), "*.tmd");
  EXPECT_EQ(c->Files()->Excluded()->Count(), 1);
  EXPECT_EQ(c->Files()->MaxLevel(), 3);
  EXPECT_EQ(c->Attribute()->AttributeBits(), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
  EXPECT_EQ(c->TimeStamp()->AccessedAfter(), 2.5);
  EXPECT_EQ(c->Size()->Max(), 99u);
  EXPECT_FALSE(c->Content()->IgnoreCase());
  TSizeCriteria size;
  EXPECT_THROW(c->Files()->Assign(&size), EConvertError);

  TFileCriteria* files = c->Files();
  SetPropValue(files, "Location", TValue::String("C:\\"));
  SetPropValue(files, "Subfolders", TValue::Boolean(false));
  SetPropValue(c->Attribute(), "Attributes",
               TValue::List({TValue::Ident("ffDirectory"), TValue::Ident("ffArchive")}));
  SetPropValue(&find, "ThreadPriority", TValue::Ident("tpLower"));
  EXPECT_EQ(files->Location(), "C:\\");
  EXPECT_FALSE(files->Subfolders());
  EXPECT_EQ(c->Attribute()->AttributeBits(),
            static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE));
  EXPECT_EQ(find.ThreadPriority(), tpLower);
  EXPECT_EQ(GetPropValue(c, "Files").AsObject(), files);
}

TEST(FindFile, ListingMasksReadTheLongNameAsTheSystemDoes) {
  struct Case {
    const char* name;
    const char* mask;
    bool matches;
  };
  const Case cases[] = {
      {"pier.tmd", "*.tmd", true},
      {"PIER.TMD", "*.tmd", true},
      {"a.b.tmd", "*.tmd", true},
      {"pier.tmdx", "*.tmd", false},  // its short name PIER~1.TMD is not looked at
      {"readme", "*.", true},
      {"a.txt", "*.", false},
      {"readme", "readme.", true},
      {"demo", "demo.*", true},
      {"demo.txt", "demo.*", true},
      {"demos", "demo.*", false},
      {"abcz.txt", "a*z.txt", true},
      {"abc.txt", "a*z.txt", false},  // unlike the exclusions' rule, "*" does not end the test
      {"abc.txt", "a?c.txt", true},
      {"ac.txt", "a?c.txt", false},
      {"x", "*", true},
      {"x.y.z", "*.*", true},
      {"\xC9t\xE9.tmd", "\xE9T\xC9.TMD", true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ListingMaskMatches(c.name, c.mask), c.matches) << c.name << " against " << c.mask;
}

TEST(FindFile, ShortNamesNeitherAddNorRepeatFiles) {
  TTree tree;
  for (const char* name : {"pier.tmd", "pier.tmdx", "a long name.tmdemo", "readme", "b.txt",
                           "abc", "sub\\deep.tmdx", "sub\\deep.tmd"})
    tree.File(name);
  struct Case {
    const char* masks;
    Names found;
  };
  const Case cases[] = {
      {"*.tmd", {"pier.tmd", "sub\\deep.tmd"}},
      {"*.", {"abc", "readme"}},
      // Overlapping masks of one folder: each file once.
      {"*.txt;*.;a*;*.t*", {"a long name.tmdemo", "abc", "b.txt", "pier.tmd", "pier.tmdx",
                            "readme", "sub\\deep.tmd", "sub\\deep.tmdx"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.masks);
    TFindFile find(nullptr);
    TRecorder rec(find, tree.Root());
    find.Criteria()->Files()->SetFileName(c.masks);
    find.Criteria()->Files()->SetLocation(tree.Root());
    find.Execute();
    EXPECT_EQ(rec.Sorted(), c.found);
  }
}

TEST(FindFile, OverlappingMasksReportMaskByMaskFromTheLast) {
  TTree tree;
  for (const char* name : {"a.txt", "b.txt", "a.log"}) tree.File(name);
  TFindFile find(nullptr);
  TRecorder rec(find, tree.Root());
  find.Criteria()->Files()->SetFileName("*.txt;a.*");
  find.Criteria()->Files()->SetLocation("<" + tree.Root());
  find.Execute();
  ASSERT_EQ(rec.matches.size(), 3u);
  // "a.*" first takes both of its files, then "*.txt" what is left.
  EXPECT_EQ(rec.matches[2], "b.txt");
  EXPECT_EQ(std::vector<std::string>(rec.matches.begin(), rec.matches.begin() + 2),
            rec.matches[0] == "a.txt" ? Names({"a.txt", "a.log"}) : Names({"a.log", "a.txt"}));
}

TEST(FindFile, AbortFromACallTheWorkerHandsToTheGuiThreadEndsTheSearchOnce) {
  TTree tree;
  for (int i = 0; i < 5; ++i) tree.File(Format("d%d\\a.tmd", i));
  TFindFile find(nullptr);
  TRecorder rec(find, tree.Root());
  find.SetThreaded(true);
  find.Criteria()->Files()->SetFileName("*.tmd");
  find.Criteria()->Files()->SetLocation(tree.Root());
  std::atomic<int> matches{0};
  find.OnFileMatch = [&](TObject* sender, const std::string&, const TSearchRec&) {
    ++matches;
    TThread::Synchronize(nullptr, [sender] { static_cast<TFindFile*>(sender)->Abort(); });
  };
  find.Execute();
  ASSERT_TRUE(LoopUntil([&] { return !find.Busy(); }, 5000));
  EXPECT_EQ(matches, 1);
  EXPECT_EQ(rec.aborts, 1);
  EXPECT_EQ(rec.finishes, 1);
  EXPECT_TRUE(find.Aborted());
}

// The handler ends the component and its memory is overwritten at once, as a freed block may
// be: nothing of the component may be used after the handler returns.
TEST(FindFile, AFinishHandlerMayFreeItsComponent) {
  TTree tree;
  tree.File("a.tmd");
  for (bool threaded : {false, true}) {
    SCOPED_TRACE(threaded ? "threaded" : "synchronous");
    alignas(TFindFile) unsigned char storage[sizeof(TFindFile)];
    auto* find = new (storage) TFindFile(nullptr);
    find->SetThreaded(threaded);
    find->Criteria()->Files()->SetFileName("*.tmd");
    find->Criteria()->Files()->SetLocation(tree.Root());
    bool freed = false;
    find->OnSearchFinish = [&storage, &freed, find](TObject*) {
      find->~TFindFile();
      std::memset(storage, 0xCC, sizeof storage);
      freed = true;
    };
    find->Execute();
    ASSERT_TRUE(LoopUntil([&] { return freed; }));
    EXPECT_TRUE(std::all_of(std::begin(storage), std::end(storage),
                            [](unsigned char b) { return b == 0xCC; }));
  }
}
