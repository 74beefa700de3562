#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "ShellTestSupport.h"
#include "platform/Guards.h"
#include "shell/FcShellData.h"

namespace {

// Fixed number and date formats for the texts the list shows.
class ShellData : public ShellScratch {
 protected:
  void SetUp() override {
    ShellScratch::SetUp();
    saved_ = FormatSettings;
    FormatSettings.ThousandSeparator = ',';
    FormatSettings.ShortDateFormat = "yyyy-mm-dd";
    FormatSettings.ShortTimeFormat = "hh:nn";
  }
  void TearDown() override {
    FormatSettings = saved_;
    ShellScratch::TearDown();
  }

  // Sets the file's last-write time to a local time.
  static void SetWriteTime(const std::string& path, WORD year, WORD month, WORD day, WORD hour, WORD minute) {
    SYSTEMTIME local{};
    local.wYear = year;
    local.wMonth = month;
    local.wDay = day;
    local.wHour = hour;
    local.wMinute = minute;
    FILETIME localTime, utc;
    ASSERT_TRUE(SystemTimeToFileTime(&local, &localTime));
    ASSERT_TRUE(LocalFileTimeToFileTime(&localTime, &utc));
    THandleGuard file(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    ASSERT_TRUE(file.Valid()) << path;
    ASSERT_TRUE(SetFileTime(file.Get(), nullptr, nullptr, &utc));
  }

 private:
  TFormatSettings saved_;
};

TEST_F(ShellData, SizesInWholeKilobytesRoundedUp) {
  const struct {
    std::uint64_t size;
    const char* text;
  } cases[] = {{0, "0KB"},          {1, "1KB"},           {1024, "1KB"},
               {1025, "2KB"},       {1048577, "1,025KB"}, {5368709120ull, "5,242,880KB"}};
  for (const auto& c : cases) EXPECT_EQ(FormatFileSizeKB(c.size), c.text) << c.size;
}

TEST_F(ShellData, SizeAndDateOfFilesFoldersAndDrives) {
  std::string file = MakeFile("data.bin", std::string(1025, 'd'));
  SetWriteTime(file, 2020, 3, 4, 5, 6);
  std::string folder = MakeFolder("sub");
  SetWriteTime(folder, 2019, 12, 31, 23, 59);
  std::string size, date;
  GetFileSizeAndDate(ParsedList(file).get(), size, date);
  EXPECT_EQ(size, "2KB");
  EXPECT_EQ(date, "2020-03-04 05:06");
  GetFileSizeAndDate(ParsedList(folder).get(), size, date);
  EXPECT_EQ(size, "");
  EXPECT_EQ(date, "2019-12-31 23:59");
  GetFileSizeAndDate(ParsedList("C:\\").get(), size, date);
  EXPECT_EQ(size + date, "");
}

TEST_F(ShellData, TypeTexts) {
  TIdListPtr file = ParsedList(MakeFile("notes.txt"));
  EXPECT_EQ(GetTypeText(file.get(), 0), "System Folder");
  std::string type = GetTypeText(file.get(), SFGAO_FILESYSTEM);
  EXPECT_FALSE(type.empty());
  EXPECT_NE(type, "System Folder");
}

// The shell list as its items see it: the scratch folder, with or without column details.
class TFakeListOwner : public IFcShellListOwner {
 public:
  explicit TFakeListOwner(const std::string& dir) : list_(ParsedList(dir)) {
    EXPECT_EQ(ShellGetFolderFromIdList(list_.get(), folder_.Out()), S_OK);
  }
  IShellFolder* ListFolder() override { return folder_.Get(); }
  LPCITEMIDLIST ListFolderIdList() override { return list_.get(); }
  IShellDetails* ListDetails() override { return details; }
  IShellDetails* details = nullptr;

 private:
  TIdListPtr list_;
  TComPtr<IShellFolder> folder_;
};

// Details that answer every column with its number, or fail for column 9.
class TFakeDetails : public IShellDetails {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetDetailsOf(PCUITEMID_CHILD, UINT column, SHELLDETAILS* details) override {
    if (column == 9) return E_FAIL;
    details->str.uType = STRRET_CSTR;
    std::snprintf(details->str.cStr, sizeof details->str.cStr, "column %u", column);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ColumnClick(UINT) override { return E_NOTIMPL; }
};

std::unique_ptr<TFcShellListData> ItemOf(TFakeListOwner& owner, const std::string& path) {
  auto data = std::make_unique<TFcShellListData>(&owner);
  data->SetRelIdList(CopyIdList(nullptr, LastItem(ParsedList(path).get()).get()));
  return data;
}

TEST_F(ShellData, ListItemsAnswerNamesAttributesAndColumns) {
  std::string file = MakeFile("report.txt", std::string(3000, 'r'));
  SetWriteTime(file, 2021, 7, 8, 9, 10);
  std::string folder = MakeFolder("levels");
  std::string link = Dir() + "report.lnk";
  MakeShortcut(link, file);
  TFakeListOwner owner(Dir());

  auto fileItem = ItemOf(owner, file);
  EXPECT_EQ(fileItem->PathName(), file);
  EXPECT_EQ(fileItem->FileName(), "report.txt");
  EXPECT_EQ(CompareIdLists(fileItem->AbsIdList(), ParsedList(file).get()), 0);
  EXPECT_FALSE(fileItem->IsFolder());
  EXPECT_FALSE(fileItem->IsLink());
  EXPECT_TRUE(fileItem->CanRename());
  EXPECT_EQ(fileItem->DisplayName().rfind("report", 0), 0u);
  EXPECT_EQ(fileItem->ColumnText(0), "");
  EXPECT_EQ(fileItem->ColumnText(1), "3KB");
  EXPECT_EQ(fileItem->ColumnText(2), GetTypeText(ParsedList(file).get(), SFGAO_FILESYSTEM));
  EXPECT_EQ(fileItem->ColumnText(3), "2021-07-08 09:10");
  EXPECT_EQ(fileItem->ColumnText(4), "");
  EXPECT_TRUE(fileItem->DetailsValid());

  auto folderItem = ItemOf(owner, folder);
  EXPECT_TRUE(folderItem->IsFolder());
  EXPECT_EQ(folderItem->ColumnText(1), "");
  EXPECT_TRUE(ItemOf(owner, link)->IsLink());

  // The folder's own details, when it gives them, answer for every column but the first.
  TFakeDetails details;
  owner.details = &details;
  EXPECT_EQ(fileItem->ColumnText(0), "");
  EXPECT_EQ(fileItem->ColumnText(4), "column 4");
  EXPECT_EQ(fileItem->ColumnText(9), "");

  // A new item drops what was known of the old one.
  fileItem->SetRelIdList(CopyIdList(nullptr, LastItem(ParsedList(folder).get()).get()));
  EXPECT_FALSE(fileItem->DetailsValid());
  EXPECT_EQ(fileItem->PathName(), folder);
  EXPECT_TRUE(fileItem->IsFolder());
}

TEST_F(ShellData, TreeNodesBuildTheirListsFolderAndDropTargets) {
  std::string folder = MakeFolder("maps");
  MakeFile("maps\\pier.map");
  TFcShellTreeData root(nullptr);
  TIdListPtr rootList = ParsedList(Dir());
  root.SetIdList(nullptr, rootList.get());
  EXPECT_EQ(CompareIdLists(root.RelIdList(), LastItem(rootList.get()).get()), 0);
  EXPECT_FALSE(root.CanRename());

  TFcShellTreeData child(nullptr);
  child.SetIdList(&root, LastItem(ParsedList(folder).get()).get());
  EXPECT_EQ(child.Parent(), &root);
  EXPECT_EQ(CompareIdLists(child.AbsIdList(), ParsedList(folder).get()), 0);
  EXPECT_EQ(child.PathName(), folder);
  EXPECT_TRUE(child.CanRename());
  ASSERT_NE(child.ThisFolder(), nullptr);
  EXPECT_EQ(ShellGetDisplayName(child.ThisFolder(), LastItem(ParsedList(folder + "\\pier.map").get()).get(),
                                snkForParsing),
            folder + "\\pier.map");
  TComPtr<IDropTarget> target;
  EXPECT_EQ(child.GetDropTarget(nullptr, target.Out()), S_OK);
  EXPECT_TRUE(target);

  // A rename on disk and the new item taken: the lists follow.
  ASSERT_TRUE(MoveFileA(folder.c_str(), (Dir() + "levels").c_str()));
  child.SetRelIdList(LastItem(ParsedList(Dir() + "levels").get()).get());
  EXPECT_EQ(child.PathName(), Dir() + "levels");
  ASSERT_NE(child.ThisFolder(), nullptr);

  // A root keeps its whole list when reset: its last item alone would name another folder.
  root.Reset();
  EXPECT_EQ(CompareIdLists(root.AbsIdList(), rootList.get()), 0);
  ASSERT_NE(root.ThisFolder(), nullptr);
  child.Reset();
  EXPECT_EQ(child.PathName(), Dir() + "levels");
}

TEST_F(ShellData, TheDesktopAsRootIsTheDesktopFolderItself) {
  const std::string empty = ListBytes({});
  TFcShellTreeData desktop(nullptr);
  desktop.SetIdList(nullptr, AsList(empty));
  EXPECT_FALSE(desktop.CanRename());
  for (int pass = 0; pass < 2; ++pass) {
    IShellFolder* folder = desktop.ThisFolder();
    ASSERT_NE(folder, nullptr) << pass;
    // Its items are the desktop's: drive C: parses inside it.
    EXPECT_EQ(ShellGetDisplayName(folder, ParsedList("C:\\").get(), snkForParsing), "C:\\");
    desktop.Reset();
  }
  TComPtr<IDropTarget> target;
  EXPECT_EQ(desktop.GetDropTarget(nullptr, target.Out()), S_OK);

  // Drives cannot be renamed.
  LPITEMIDLIST raw = nullptr;
  ASSERT_EQ(ShellGetSpecialFolderIdList(nullptr, CSIDL_DRIVES, &raw), S_OK);
  TIdListPtr drives(raw);
  TFcShellTreeData computer(nullptr);
  computer.SetIdList(nullptr, drives.get());
  TFcShellTreeData drive(nullptr);
  drive.SetIdList(&computer, LastItem(ParsedList("C:\\").get()).get());
  EXPECT_EQ(drive.PathName(), "C:\\");
  EXPECT_FALSE(drive.CanRename());
}

TEST_F(ShellData, ComboItemsJoinTheirParentAndItem) {
  std::string folder = MakeFolder("demos");
  TComPtr<IShellFolder> parent;
  TIdListPtr parentList = ParsedList(Dir());
  ASSERT_EQ(ShellGetFolderFromIdList(parentList.get(), parent.Out()), S_OK);
  TFcShellComboData data(nullptr);
  TIdListPtr item = LastItem(ParsedList(folder).get());
  data.SetFolderData(parent.Get(), parentList.get(), item.get());
  EXPECT_EQ(data.ParentFolder(), parent.Get());
  EXPECT_EQ(CompareIdLists(data.AbsIdList(), ParsedList(folder).get()), 0);
  EXPECT_EQ(BytesOf(data.RelIdList()), BytesOf(item.get()));
  EXPECT_NE(data.ParentIdList(), parentList.get());
}

}  // namespace
