// What the shell list's tests share: a list whose shell objects a test may replace, a shown
// form over a scratch folder of known items, and the points and texts the tests look at.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "ShellTestSupport.h"
#include "shell/FcShellList.h"
#include "shell/FcShellRegister.h"

// A shell list whose shell objects a test may replace, and whose protected steps it runs.
class TTestShellList : public TFcShellList {
 public:
  using TFcShellList::TFcShellList;
  using TFcShellList::FillItems;
  void StartDrag(TListItem* item, TMouseButton button) { BeginItemDrag(item, button); }

  std::function<HRESULT(REFIID, void**)> selectionObject;
  std::function<HRESULT(TListItem*, REFIID, void**)> itemObject;

 protected:
  HRESULT GetSelectionUIObject(REFIID iid, void** object) override {
    return selectionObject ? selectionObject(iid, object) : TFcShellList::GetSelectionUIObject(iid, object);
  }
  HRESULT GetItemUIObject(TListItem* item, REFIID iid, void** object) override {
    return itemObject ? itemObject(item, iid, object) : TFcShellList::GetItemUIObject(item, iid, object);
  }
};

// A shown form and a scratch folder for each test: folders Alpha, beta and gamma, files
// a.cfg, B.TXT, c.cfg, Quenmar.exe and a hidden secret.cfg. The process's current folder is
// the same afterwards.
class ShellList : public ShellScratch {
 protected:
  void SetUp() override {
    ShellScratch::SetUp();
    RegisterShellControls();
    char dir[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, dir);
    savedDir_ = dir;
    for (const char* name : {"Alpha", "beta", "gamma"}) MakeFolder(name);
    for (const char* name : {"a.cfg", "B.TXT", "c.cfg", "Quenmar.exe", "secret.cfg"}) MakeFile(name, "1234");
    SetFileAttributesA((Dir() + "secret.cfg").c_str(), FILE_ATTRIBUTE_HIDDEN);
    form_.reset(TForm::CreateNew<TForm>(nullptr));
    form_->SetBounds(60, 60, 640, 440);
    form_->Show();
    SetForegroundWindow(form_->Handle());
    Pump();
  }
  void TearDown() override {
    // The list watches the folder: it goes first.
    form_.reset();
    char dir[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, dir);
    EXPECT_EQ(std::string(dir), savedDir_);
    SetCurrentDirectoryA(savedDir_.c_str());
    ShellScratch::TearDown();
  }

  // A report list on the form, listing `folder` (the scratch folder when empty).
  TTestShellList* MakeList(const std::string& folder = std::string()) {
    auto* list = Put<TTestShellList>(form_.get(), 8, 8, 600, 380);
    list->SetViewStyle(vsReport);
    list->HandleNeeded();
    list->Folder()->SetPathName(folder.empty() ? Dir() : folder);
    Pump();
    return list;
  }

  // The file names of the list's shell items, in order.
  static std::vector<std::string> Names(TFcCustomShellList* list) {
    std::vector<std::string> names;
    for (int i = 0; i < list->Items()->Count(); ++i)
      if (TFcShellListData* data = list->ShellData(list->Items()->Item(i))) names.push_back(data->FileName());
    return names;
  }
  static TListItem* Find(TFcCustomShellList* list, const std::string& name) {
    for (int i = 0; i < list->Items()->Count(); ++i) {
      TListItem* item = list->Items()->Item(i);
      TFcShellListData* data = list->ShellData(item);
      if (data && SameText(data->FileName(), name)) return item;
    }
    return nullptr;
  }
  // What the list's window shows in a column, asked as the system asks.
  static std::string CellText(TFcCustomShellList* list, TListItem* item, int column) {
    char text[MAX_PATH] = {};
    LVITEMA query{};
    query.iSubItem = column;
    query.pszText = text;
    query.cchTextMax = sizeof text;
    SendMessageA(list->Handle(), LVM_GETITEMTEXTA, static_cast<WPARAM>(item->Index()),
                 reinterpret_cast<LPARAM>(&query));
    return text;
  }
  // Selects the item alone and gives the list the focus.
  static void Pick(TFcCustomShellList* list, TListItem* item) {
    list->SetFocus();
    list->SetSelected(item);
    Pump();
  }
  std::string Path(const std::string& name) const { return Dir() + name; }
  std::string FolderPath(TFcCustomShellList* list) const {
    return AppendCharIfMissing(list->Folder()->PathName(), '\\');
  }

  std::unique_ptr<TForm> form_;
  std::string savedDir_;
};

// The scratch folder's items in the shell's order: folders first, then files, by name.
inline const std::vector<std::string> kAllNames = {"Alpha", "beta",  "gamma",       "a.cfg",
                                            "B.TXT", "c.cfg", "Quenmar.exe", "secret.cfg"};

// The middle of the item's caption, in the list's client coordinates.
inline POINT LabelCentre(TListItem* item) {
  RECT r = item->DisplayRect(drLabel);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}
