#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "ShellTestSupport.h"
#include "shell/FcShellUtils.h"

namespace {

const std::string kA = ListBytes({"abc", "de"});
const std::string kB = ListBytes({"xyz"});
const std::string kEmpty = ListBytes({});

TEST(ShellIdLists, SizesCopiesAndJoins) {
  EXPECT_EQ(IdListSize(nullptr), 0u);
  EXPECT_EQ(IdListSize(AsList(kEmpty)), 2u);
  EXPECT_EQ(IdListSize(AsList(kA)), 5u + 4u + 2u);

  TIdListPtr both(ConcatIdLists(nullptr, AsList(kA), AsList(kB)));
  EXPECT_EQ(BytesOf(both.get()), ListBytes({"abc", "de", "xyz"}));
  TIdListPtr empties(ConcatIdLists(nullptr, AsList(kEmpty), nullptr));
  EXPECT_EQ(BytesOf(empties.get()), kEmpty);
  TIdListPtr copy(CopyIdList(ShellMalloc(), AsList(kA)));
  EXPECT_EQ(BytesOf(copy.get()), kA);
  EXPECT_NE(static_cast<const void*>(copy.get()), static_cast<const void*>(kA.data()));
}

TEST(ShellIdLists, ForeignBytesAreMeasuredWithinTheirBlock) {
  struct Case {
    std::string bytes;
    std::size_t available;
    std::size_t expected;
  };
  const std::string oneByteItem = std::string("\x01\x00", 2) + kEmpty;
  const std::string noTerminator = kA.substr(0, kA.size() - 2);
  const Case cases[] = {
      {kA, kA.size(), kA.size()},
      {kA + "junk", kA.size() + 4, kA.size()},       // trailing bytes are not the list's
      {kA, kA.size() - 1, 0},                        // terminator cut off
      {noTerminator, noTerminator.size(), 0},        // runs to the end without one
      {oneByteItem, oneByteItem.size(), 0},          // an item count of 1 cannot advance
      {ListBytes({std::string(300, 'x')}), 100, 0},  // item crossing the end
      {kEmpty, 2, 2},
      {kEmpty, 1, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(IdListValidSize(c.bytes.data(), c.available), c.expected) << c.bytes.size();
  EXPECT_EQ(IdListValidSize(nullptr, 10), 0u);
}

TEST(ShellIdLists, ComparisonOfMissingEmptyAndParsedLists) {
  TIdListPtr windows1 = ParsedList("C:\\windows");
  TIdListPtr windows2 = ParsedList("c:\\WINDOWS\\");
  TIdListPtr root = ParsedList("C:\\");
  ASSERT_TRUE(windows1 && windows2 && root);
  LPCITEMIDLIST empty = AsList(kEmpty);
  EXPECT_EQ(CompareIdLists(nullptr, nullptr), 0);
  EXPECT_EQ(CompareIdLists(nullptr, empty), -1);
  EXPECT_EQ(CompareIdLists(empty, nullptr), -1);
  EXPECT_EQ(CompareIdLists(empty, empty), 0);
  EXPECT_EQ(CompareIdLists(empty, windows1.get()), -1);
  EXPECT_EQ(CompareIdLists(windows1.get(), empty), -1);
  EXPECT_EQ(CompareIdLists(windows1.get(), windows2.get()), 0);
  EXPECT_NE(CompareIdLists(windows1.get(), root.get()), 0);
}

class ShellPaths : public ShellScratch {};

TEST_F(ShellPaths, PathsRoundTripAndOverlongPathsAreRefused) {
  TIdListPtr list = ParsedList(Dir());
  ASSERT_TRUE(list);
  EXPECT_EQ(AppendCharIfMissing(ShellGetPathFromIdList(list.get()), '\\'), Dir());

  LPITEMIDLIST missing = reinterpret_cast<LPITEMIDLIST>(1);
  EXPECT_TRUE(FAILED(ShellGetIdListFromPath(Dir() + "no such folder\\x", &missing)));
  EXPECT_EQ(missing, nullptr);

  // A file whose path is the longest there is; one character more names nothing.
  std::string longest = Dir() + std::string(MAX_PATH - 1 - Dir().size(), 'n');
  ASSERT_TRUE(WriteFileBytes(longest, "x"));
  EXPECT_TRUE(ParsedList(longest));
  LPITEMIDLIST overlong = reinterpret_cast<LPITEMIDLIST>(1);
  EXPECT_EQ(ShellGetIdListFromPath(longest + "x", &overlong),
            HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE));
  EXPECT_EQ(overlong, nullptr);

  // nullptr stands for the desktop.
  EXPECT_EQ(ShellGetPathFromIdList(nullptr), ShellGetSpecialFolderPath(nullptr, CSIDL_DESKTOP));
  EXPECT_FALSE(ShellGetPathFromIdList(nullptr).empty());
}

TEST_F(ShellPaths, DesktopListBindsToTheDesktopFolderItself) {
  TComPtr<IShellFolder> fromNull, fromEmpty, fromDir, fromFile;
  EXPECT_EQ(ShellGetFolderFromIdList(nullptr, fromNull.Out()), S_OK);
  EXPECT_EQ(ShellGetFolderFromIdList(AsList(kEmpty), fromEmpty.Out()), S_OK);
  ASSERT_TRUE(fromNull && fromEmpty);
  // The desktop names its own empty list "Desktop"-like, not as any folder's item.
  EXPECT_EQ(ShellGetDisplayName(fromEmpty.Get(), AsList(kEmpty), snkNormal),
            ShellGetDisplayName(nullptr, nullptr, snkNormal));

  TIdListPtr dir = ParsedList(Dir());
  EXPECT_EQ(ShellGetFolderFromIdList(dir.get(), fromDir.Out()), S_OK);
  TIdListPtr file = ParsedList(MakeFile("a.txt"));
  EXPECT_TRUE(FAILED(ShellGetFolderFromIdList(file.get(), fromFile.Out())));
  EXPECT_FALSE(fromFile);
}

TEST_F(ShellPaths, SpecialFoldersAreFoundByTheirLists) {
  LPITEMIDLIST raw = nullptr;
  ASSERT_EQ(ShellGetSpecialFolderIdList(nullptr, CSIDL_DRIVES | CSIDL_FLAG_CREATE, &raw), S_OK);
  TIdListPtr drives(raw);
  EXPECT_EQ(ShellFindSpecialFolder(drives.get()), CSIDL_DRIVES);
  EXPECT_EQ(ShellFindSpecialFolder(AsList(kEmpty)), CSIDL_DESKTOP);
  EXPECT_EQ(ShellFindSpecialFolder(ParsedList(Dir()).get()), kNoSpecialFolder);

  // The drives folder is virtual: it has no path.
  EXPECT_EQ(ShellGetSpecialFolderPath(nullptr, CSIDL_DRIVES), "");
  EXPECT_FALSE(ShellGetSpecialFolderPath(nullptr, CSIDL_DESKTOPDIRECTORY).empty());
  // No special folder has the number 49.
  EXPECT_THROW(ShellGetSpecialFolderIconIndex(49, SHGFI_SMALLICON), EOleSysError);
}

TEST_F(ShellPaths, DisplayNamesOfDrivesAndFiles) {
  TIdListPtr root = ParsedList("C:\\");
  ASSERT_TRUE(root);
  EXPECT_EQ(ShellGetDisplayName(nullptr, root.get(), snkForParsing), "C:\\");
  std::string normal = ShellGetDisplayName(nullptr, root.get(), snkNormal);
  EXPECT_NE(normal.find("(C:)"), std::string::npos) << normal;

  std::string path = MakeFile("report.txt");
  TIdListPtr file = ParsedList(path);
  // The name within its folder, not the path.
  std::string friendly = ShellGetFriendlyName(file.get());
  EXPECT_EQ(friendly.rfind("report", 0), 0u) << friendly;
  LPITEMIDLIST raw = nullptr;
  ASSERT_EQ(ShellGetSpecialFolderIdList(nullptr, CSIDL_DRIVES, &raw), S_OK);
  TIdListPtr drives(raw);
  EXPECT_EQ(ShellGetFriendlyName(drives.get()), ShellGetDisplayName(nullptr, drives.get(), snkInFolder));
  EXPECT_FALSE(ShellGetFriendlyName(drives.get()).empty());
  TComPtr<IShellFolder> folder;
  ASSERT_EQ(ShellGetFolderFromIdList(ParsedList(Dir()).get(), folder.Out()), S_OK);
  EXPECT_EQ(ShellGetDisplayName(folder.Get(), LastItem(file.get()).get(), snkForParsing), path);
}

TEST(ShellNames, NamesHandedBackAsTextOfEveryKind) {
  STRRET inline_{};
  inline_.uType = STRRET_CSTR;
  std::memset(inline_.cStr, 'q', sizeof inline_.cStr);  // no terminator at all
  EXPECT_EQ(StrRetToString(nullptr, inline_), std::string(MAX_PATH, 'q'));

  // Offsets point inside the item's first entry.
  const std::string item = ListBytes({std::string("\x01\x02name\0", 7)});
  STRRET offset{};
  offset.uType = STRRET_OFFSET;
  offset.uOffset = 4;
  EXPECT_EQ(StrRetToString(AsList(item), offset), "name");
  EXPECT_EQ(StrRetToString(nullptr, offset), "");
  offset.uOffset = 200;
  EXPECT_EQ(StrRetToString(AsList(item), offset), "");

  STRRET wide{};
  wide.uType = STRRET_WSTR;
  wide.pOleStr = static_cast<LPWSTR>(CoTaskMemAlloc(6 * sizeof(wchar_t)));
  std::wcscpy(wide.pOleStr, L"F\u00e9te");
  EXPECT_EQ(StrRetToString(nullptr, wide), "F\xe9te");
  StrRetFree(wide);
  EXPECT_EQ(wide.pOleStr, nullptr);
}

TEST(ShellImages, SystemImageListsHaveTheirSizesAndAreNotAddedTo) {
  SHFILEINFOA info{};
  auto shells = [&](UINT size) {
    return reinterpret_cast<HIMAGELIST>(SHGetFileInfoA("C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | size));
  };
  int smallCount = ImageList_GetImageCount(shells(SHGFI_SMALLICON));
  int largeCount = ImageList_GetImageCount(shells(SHGFI_LARGEICON));
  HIMAGELIST small = ShellGetSystemImageList(0);
  HIMAGELIST large = ShellGetSystemImageList(1);
  ASSERT_TRUE(small && large);
  EXPECT_EQ(small, shells(SHGFI_SMALLICON));
  EXPECT_EQ(large, shells(SHGFI_LARGEICON));
  int cx = 0, cy = 0;
  ImageList_GetIconSize(small, &cx, &cy);
  EXPECT_EQ(cx, GetSystemMetrics(SM_CXSMICON));
  ImageList_GetIconSize(large, &cx, &cy);
  EXPECT_EQ(cx, GetSystemMetrics(SM_CXICON));
  EXPECT_EQ(ImageList_GetImageCount(small), smallCount);
  EXPECT_EQ(ImageList_GetImageCount(large), largeCount);
  // The shell's own overlays, or none where it has none.
  int link = SHGetIconOverlayIndexA(nullptr, IDO_SHGIOI_LINK);
  EXPECT_EQ(ShellOverlayIndex(SFGAO_LINK | SFGAO_FOLDER), link >= 1 ? link - 1 : -1);
  EXPECT_EQ(ShellOverlayIndex(SFGAO_FOLDER), -1);
  EXPECT_GE(ShellGetIconIndex(ParsedList("C:\\").get(), SHGFI_SMALLICON), 0);
}

TEST(ShellStartUp, VersionsOfTheSystemAndTheCommonControls) {
  EXPECT_TRUE(IsWinNTPlatform());
  EXPECT_NE(CommonControlsVersion(), 0u);
  std::uint64_t version = 0;
  EXPECT_TRUE(GetFileVersion("comctl32.dll", version));
  EXPECT_EQ(version, CommonControlsVersion());
  EXPECT_FALSE(GetFileVersion("C:\\no such file.dll", version));
  // The prefix's Z: is a network drive that no connection stands behind.
  EXPECT_FALSE(IsNetDriveConnected('Z'));
}

class ShellLinks : public ShellScratch {};

TEST_F(ShellLinks, ReadsEveryFieldInBothResolveModes) {
  std::string target = MakeFile("game.exe");
  std::string link = Dir() + "game.lnk";
  MakeShortcut(link, target, "+timedemo 1", "The game", MAKEWORD('Q', HOTKEYF_CONTROL));
  for (std::uint8_t mode : {0, 1}) {
    for (bool wantList : {false, true}) {
      TLinkData data;
      data.ResolveMode = mode;
      ASSERT_EQ(ReadShellLink(link, data, wantList), S_OK);
      EXPECT_EQ(data.Path, target);
      EXPECT_EQ(data.Arguments, "+timedemo 1");
      EXPECT_EQ(data.Description, "The game");
      EXPECT_EQ(data.WorkingDirectory, ExtractFileDir(target));
      EXPECT_EQ(data.IconLocation, target);
      EXPECT_EQ(data.IconIndex, 2);
      EXPECT_EQ(data.HotKey, MAKEWORD('Q', HOTKEYF_CONTROL));
      EXPECT_EQ(std::string(data.FindData.cFileName), "game.exe");
      EXPECT_EQ(data.Valid.Bits(), 0x3Fu);
      if (wantList)
        EXPECT_EQ(CompareIdLists(data.IdList.get(), ParsedList(target).get()), 0);
      else
        EXPECT_EQ(data.IdList, nullptr);
    }
  }
  TLinkData none;
  EXPECT_TRUE(FAILED(ReadShellLink(Dir() + "missing.lnk", none, true)));
  EXPECT_EQ(ReadShellLink(Dir() + std::string(MAX_PATH, 'l'), none, false),
            HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE));
}

TEST(FormatStrPos, PutsStringsByPosition) {
  const std::string format = "Unable to create the folder '%2'\n\n%1";
  // The system writes the format's line breaks as CR LF.
  EXPECT_EQ(FormatStrPos(format, {"Access denied.", "New Folder"}),
            "Unable to create the folder 'New Folder'\r\n\r\nAccess denied.");
  EXPECT_EQ(FormatStrPos("", {"x"}), "");
  // A number beyond the strings given reads empty text instead of whatever lies beyond them.
  EXPECT_EQ(FormatStrPos("a %1 b %2 c %60 d", {"x"}), "a x b  c  d");

  std::vector<std::string> fifty(50, "s");
  fifty[49] = "last";
  EXPECT_EQ(FormatStrPos("%50", fifty), "last");
  std::vector<std::string> tooMany(51, "s");
  try {
    FormatStrPos("%1", tooMany);
    FAIL() << "51 strings were taken";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "FormatStrPos: Too many substitution strings");
  }
}

TEST(ShellText, CharactersAtTheEndOfSingleAndDoubleByteText) {
  constexpr UINT kJapanese = 932;
  // 0x82 0x5C is one double-byte character whose second byte is a backslash.
  const std::string endsInKanji = "C:\\\x82\x5C";
  struct Case {
    std::string in;
    UINT codePage;
    std::string out;
  };
  const Case appends[] = {
      {"C:\\", 1252, "C:\\"}, {"C:", 1252, "C:\\"}, {"", 1252, ""},
      {endsInKanji, kJapanese, endsInKanji + "\\"}, {endsInKanji, 1252, endsInKanji},
  };
  for (const Case& c : appends) EXPECT_EQ(AppendCharIfMissing(c.in, '\\', c.codePage), c.out) << c.in;

  const Case trims[] = {
      {" \t\r\n\x01", 1252, ""},
      {"name \x1f ", 1252, "name"},
      {"  lead", 1252, "  lead"},
      // 0x81 0x40 is the ideographic space: a double-byte character ends the run.
      {"a\x81\x40 ", kJapanese, "a\x81\x40"},
      {"a\x81\x40 ", 1252, "a\x81\x40"},
  };
  for (const Case& c : trims) EXPECT_EQ(TrimTrailingBlanks(c.in, c.codePage), c.out) << c.in;

  // Each step appends one character and moves past it: both bytes of a double-byte one, a
  // lead byte at the end alone, nothing past the end.
  const struct {
    const char* text;
    int position;
    const char* appended;
    int next;
  } steps[] = {
      {"\x82\xA0x", 1, "\x82\xA0", 3},
      {"\x82\xA0x", 3, "x", 4},
      {"a\x82", 2, "\x82", 3},
      {"a\x82", 3, "", 3},
      {"a\x82", 0, "", 0},
  };
  for (const auto& step : steps) {
    std::string target = "<";
    int position = step.position;
    AppendCharAt(position, step.text, target, kJapanese);
    EXPECT_EQ(target, std::string("<") + step.appended) << step.text << " at " << step.position;
    EXPECT_EQ(position, step.next) << step.text << " at " << step.position;
  }
}

}  // namespace
