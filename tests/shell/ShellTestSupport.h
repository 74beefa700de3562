// What the shell tests share: a scratch folder of the test's own on drive C:, item-ID lists
// made by hand or parsed from paths, shortcut files, and a count of the process's handles.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <initializer_list>
#include <string>

#include "TestSupport.h"
#include "platform/Guards.h"
#include "shell/FcShellIntf.h"

// A folder of its own for each test, removed afterwards.
class ShellScratch : public testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::string(temp) + "shell-" + info->test_suite_name() + "-" + info->name() + "\\";
    for (char& c : dir_)
      if (c == '/') c = '_';
    DeleteFolderTree(dir_);
    ASSERT_TRUE(CreateDirectoryA(dir_.c_str(), nullptr)) << dir_;
  }
  void TearDown() override { DeleteFolderTree(dir_); }

  // The scratch folder, with its trailing backslash.
  const std::string& Dir() const { return dir_; }
  std::string MakeFile(const std::string& name, const std::string& bytes = "x") {
    std::string path = dir_ + name;
    EXPECT_TRUE(WriteFileBytes(path, bytes)) << path;
    return path;
  }
  std::string MakeFolder(const std::string& name) {
    std::string path = dir_ + name;
    EXPECT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path;
    return path;
  }

 private:
  std::string dir_;
};

// The shell's absolute list of a path; nullptr when it cannot be parsed.
inline TIdListPtr ParsedList(const std::string& path) {
  LPITEMIDLIST list = nullptr;
  if (FAILED(ShellGetIdListFromPath(path, &list))) return TIdListPtr();
  return TIdListPtr(list);
}

// The last item of an absolute list, as a one-item list.
inline TIdListPtr LastItem(LPCITEMIDLIST list) {
  TFcIdListArray parts(list);
  return TIdListPtr(CopyIdList(nullptr, parts.GetItem(parts.Count() - 1)));
}

// Item-ID list bytes made by hand: each payload becomes an item (its 2-byte count first),
// then the terminator.
inline std::string ListBytes(std::initializer_list<std::string> payloads) {
  std::string bytes;
  for (const std::string& p : payloads) {
    std::size_t cb = p.size() + 2;
    bytes += static_cast<char>(cb & 0xFF);
    bytes += static_cast<char>(cb >> 8);
    bytes += p;
  }
  bytes.append(2, '\0');
  return bytes;
}
inline LPCITEMIDLIST AsList(const std::string& bytes) {
  return reinterpret_cast<LPCITEMIDLIST>(bytes.data());
}
inline std::string BytesOf(LPCITEMIDLIST list) {
  return std::string(reinterpret_cast<const char*>(list), IdListSize(list));
}

// Saves a shortcut to `target` the way the shell's own link object writes one.
inline void MakeShortcut(const std::string& fileName, const std::string& target,
                         const std::string& arguments = "", const std::string& description = "",
                         WORD hotKey = 0) {
  // COM while the link object lives: the program starts OLE only when its shell needs it, so
  // the thread may have none yet.
  TComScope com;
  TComPtr<IShellLinkA> link;
  ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                             link.OutVoid()),
            S_OK);
  link->SetPath(target.c_str());
  link->SetArguments(arguments.c_str());
  link->SetDescription(description.c_str());
  link->SetWorkingDirectory(ExtractFileDir(target).c_str());
  link->SetIconLocation(target.c_str(), 2);
  link->SetHotkey(hotKey);
  TComPtr<IPersistFile> file;
  ASSERT_EQ(link->QueryInterface(IID_IPersistFile, file.OutVoid()), S_OK);
  ASSERT_EQ(file->Save(AnsiToWide(fileName).c_str(), TRUE), S_OK);
}

// The number of valid handle values of the process (the system's own count answers 0 here).
inline int CountOpenHandles() {
  int count = 0;
  for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
    DWORD flags = 0;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
  }
  return count;
}
