#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <functional>
#include <string>

#include "ShellTestSupport.h"
#include "platform/Layout.h"
#include "platform/TypInfo.h"
#include "shell/FcShellLocator.h"

namespace {

// A locator with a count of its change notices.
struct TCountedLocator {
  TFcShellLocator locator;
  int changes = 0;
  TCountedLocator() {
    locator.OnChange = [this](TObject* sender) {
      EXPECT_EQ(sender, &locator);
      ++changes;
    };
  }
};

TIdListPtr SpecialList(int csidl) {
  LPITEMIDLIST raw = nullptr;
  EXPECT_EQ(ShellGetSpecialFolderIdList(nullptr, csidl, &raw), S_OK);
  return TIdListPtr(raw);
}

class ShellLocator : public ShellScratch {};

TEST_F(ShellLocator, ChangeNoticesOnlyForRealChanges) {
  TIdListPtr dir = ParsedList(Dir());
  TIdListPtr other = ParsedList("C:\\windows");
  const std::string empty = ListBytes({});
  struct Step {
    const char* what;
    std::function<void(TFcShellLocator&)> act;
    int changes;  // notices so far
  };
  TFcShellLocator source;
  const Step steps[] = {
      {"empty list on an empty locator", [&](TFcShellLocator& l) { l.SetIdList(AsList(empty)); }, 0},
      {"nullptr on an empty locator", [&](TFcShellLocator& l) { l.SetIdList(nullptr); }, 0},
      {"a folder", [&](TFcShellLocator& l) { l.SetIdList(dir.get()); }, 1},
      {"the same folder again", [&](TFcShellLocator& l) { l.SetIdList(dir.get()); }, 1},
      {"its own list", [&](TFcShellLocator& l) { l.SetIdList(l.IdList()); }, 1},
      {"another folder", [&](TFcShellLocator& l) { l.SetIdList(other.get()); }, 2},
      {"a special folder", [&](TFcShellLocator& l) { l.SetCSIDL(CSIDL_DRIVES); }, 3},
      {"the same special folder", [&](TFcShellLocator& l) { l.SetCSIDL(CSIDL_DRIVES); }, 3},
      {"a list after a special folder", [&](TFcShellLocator& l) { l.SetIdList(nullptr); }, 4},
      {"assigning nothing while holding nothing", [&](TFcShellLocator& l) { l.Assign(nullptr); }, 4},
      {"a locator of a special folder",
       [&](TFcShellLocator& l) {
         source.SetCSIDL(CSIDL_PERSONAL);
         l.Assign(&source);
       },
       5},
      {"the same special folder by locator", [&](TFcShellLocator& l) { l.Assign(&source); }, 5},
      {"a locator of another special folder",
       [&](TFcShellLocator& l) {
         source.SetCSIDL(CSIDL_DRIVES);
         l.Assign(&source);
       },
       6},
      {"a locator of a folder",
       [&](TFcShellLocator& l) {
         source.SetIdList(dir.get());
         l.Assign(&source);
       },
       7},
      {"assigning nothing while holding a folder", [&](TFcShellLocator& l) { l.Assign(nullptr); }, 8},
  };
  TCountedLocator counted;
  for (const Step& step : steps) {
    step.act(counted.locator);
    EXPECT_EQ(counted.changes, step.changes) << step.what;
  }
  EXPECT_EQ(counted.locator.IdList(), nullptr);
  EXPECT_EQ(counted.locator.CSIDL(), kNoSpecialFolder);
}

TEST_F(ShellLocator, AssignedLocatorsDesignateTheSameFolder) {
  TFcShellLocator a, b;
  a.SetPathName(Dir());
  b.Assign(&a);
  EXPECT_TRUE(b.IsEqual(&a));
  EXPECT_NE(b.IdList(), a.IdList());  // a copy of its own
  a.SetCSIDL(CSIDL_DRIVES);
  EXPECT_FALSE(b.IsEqual(&a));
  b.Assign(&a);
  EXPECT_EQ(b.CSIDL(), CSIDL_DRIVES);
  EXPECT_TRUE(b.IsEqual(&a));
  EXPECT_TRUE(a.IsEqual(&a));
  EXPECT_FALSE(a.IsEqual(nullptr));
  TPersistent notALocator;
  EXPECT_THROW(a.Assign(&notALocator), EConvertError);
}

TEST_F(ShellLocator, PathNames) {
  TFcShellLocator locator;
  locator.SetPathName(Dir());
  ASSERT_NE(locator.IdList(), nullptr);
  EXPECT_EQ(AppendCharIfMissing(locator.PathName(), '\\'), Dir());

  // Virtual folders have no path; nothing designated reads as the desktop.
  locator.SetCSIDL(CSIDL_DRIVES);
  EXPECT_EQ(locator.PathName(), "");
  locator.Clear();
  EXPECT_EQ(locator.PathName(), ShellGetSpecialFolderPath(nullptr, CSIDL_DESKTOP));

  // Paths that name nothing designate nothing, also one of MAX_PATH characters or more
  // whose first 259 characters name an existing file.
  std::string longest = Dir() + std::string(MAX_PATH - 1 - Dir().size(), 'n');
  ASSERT_TRUE(WriteFileBytes(longest, "x"));
  for (const std::string& path : {Dir() + "missing\\deeper", longest + "x" + std::string(40, 'y'),
                                  longest + "x", std::string()}) {
    locator.SetPathName(Dir());
    locator.SetPathName(path);
    EXPECT_EQ(locator.IdList(), nullptr) << path.size();
  }
}

TEST_F(ShellLocator, SpecialFoldersResolveOnceWithTheApplicationsWindow) {
  TFcShellLocator locator;
  locator.SetCSIDL(CSIDL_DRIVES);
  LPCITEMIDLIST first = locator.IdList();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(locator.IdList(), first);
  EXPECT_EQ(CompareIdLists(first, SpecialList(CSIDL_DRIVES).get()), 0);
  locator.SetCSIDL(49);  // a number the shell has no folder for
  EXPECT_EQ(locator.IdList(), nullptr);
}

// ---- Stored form ------------------------------------------------------------------------------

class TLocatorHolder : public TComponent {
 public:
  using TComponent::TComponent;
  TFcShellLocator* Folder() { return &folder_; }

 private:
  TFcShellLocator folder_;
};

void RegisterHolder() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterFcShellLocator();
  RegisterClassInfo<TLocatorHolder, TComponent>("TLocatorHolder").Object("Folder", &TLocatorHolder::Folder);
}

std::string Stored(std::uint8_t kind, std::int32_t length, const std::string& bytes) {
  std::string data(1, static_cast<char>(kind));
  for (int i = 0; i < 4; ++i) data += static_cast<char>((static_cast<std::uint32_t>(length) >> (8 * i)) & 0xFF);
  return data + bytes;
}

TEST_F(ShellLocator, StoredFormRoundTripsThroughALayout) {
  RegisterHolder();
  struct Case {
    const char* what;
    std::function<void(TFcShellLocator&)> set;
  };
  TIdListPtr dir = ParsedList(Dir());
  const Case cases[] = {
      {"a folder", [&](TFcShellLocator& l) { l.SetIdList(dir.get()); }},
      {"a special folder", [](TFcShellLocator& l) { l.SetCSIDL(CSIDL_PERSONAL); }},
      {"nothing", [](TFcShellLocator&) {}},
  };
  for (const Case& c : cases) {
    TComponent root(nullptr);
    auto* holder = new TLocatorHolder(&root);
    holder->SetName("Holder");
    c.set(*holder->Folder());
    std::string layout = WriteLayout(&root);

    TComponent again(nullptr);
    ReadLayout(&again, layout);
    auto* read = dynamic_cast<TLocatorHolder*>(again.FindComponent("Holder"));
    ASSERT_NE(read, nullptr) << c.what;
    EXPECT_TRUE(read->Folder()->IsEqual(holder->Folder())) << c.what << "\n" << layout;
    EXPECT_EQ(read->Folder()->CSIDL(), holder->Folder()->CSIDL()) << c.what;
  }

  // A stored length of 0 is the desktop, as a special folder.
  TFcShellLocator locator;
  locator.ReadStoredData(Stored(0, 0, ""));
  EXPECT_EQ(locator.CSIDL(), CSIDL_DESKTOP);
  EXPECT_EQ(CompareIdLists(locator.IdList(), SpecialList(CSIDL_DESKTOP).get()), 0);
}

TEST_F(ShellLocator, MalformedStoredFormsAreRefusedAndChangeNothing) {
  const std::string list = ListBytes({"abc", "de"});
  const std::int32_t n = static_cast<std::int32_t>(list.size());
  struct Case {
    const char* what;
    std::string data;
  };
  const Case cases[] = {
      {"no bytes", ""},
      {"a special folder without its id", std::string(1, '\x01')},
      {"a special folder with more", std::string("\x01\x05\x00", 3)},
      {"a length cut short", std::string("\x00\x05\x00", 3)},
      {"a negative length", Stored(0, -4, list)},
      {"a length of 1", Stored(0, 1, std::string(1, '\0'))},
      {"a length beyond the bytes", Stored(0, n + 10, list)},
      {"bytes beyond the length", Stored(0, n, list + "xx")},
      {"a list without its terminator", Stored(0, n - 2, list.substr(0, list.size() - 2))},
      {"an item reaching past the end", Stored(0, 6, std::string("\x40\x00\x41\x42\x00\x00", 6))},
      {"an item count of 1", Stored(0, 4, std::string("\x01\x00\x00\x00", 4))},
      {"a terminator before the end", Stored(0, n + 2, list + std::string("\x00\x00", 2))},
  };
  TCountedLocator counted;
  TIdListPtr dir = ParsedList(Dir());
  counted.locator.SetIdList(dir.get());
  for (const Case& c : cases) {
    EXPECT_THROW(counted.locator.ReadStoredData(c.data), EReadError) << c.what;
    EXPECT_EQ(CompareIdLists(counted.locator.IdList(), dir.get()), 0) << c.what;
  }
  EXPECT_EQ(counted.changes, 1);

  // The same through a layout: a clear error naming the component and the property.
  RegisterHolder();
  TComponent root(nullptr);
  try {
    ReadLayout(&root, R"({ "children": [ { "class": "TLocatorHolder", "name": "Holder",
                             "properties": { "Folder": { "Pidl": "0006000000FFFF" } } } ] })");
    FAIL() << "damaged data was read";
  } catch (const ELayoutError& e) {
    EXPECT_NE(std::string(e.what()).find("The stored folder data is damaged"), std::string::npos) << e.what();
    EXPECT_EQ(e.ComponentName(), "Holder");
  }
  EXPECT_THROW(ReadLayout(&root, R"({ "children": [ { "class": "TLocatorHolder", "name": "Holder2",
                             "properties": { "Folder": { "Pidl": "01G5" } } } ] })"),
               ELayoutError);
}

}  // namespace
