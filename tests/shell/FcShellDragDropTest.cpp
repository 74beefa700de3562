#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "EventLog.h"
#include "RealInput.h"
#include "ShellTestSupport.h"
#include "platform/Forms.h"
#include "shell/FcShellDragDrop.h"

namespace {

std::string BlockBytes(HGLOBAL block) {
  const auto* data = static_cast<const char*>(GlobalLock(block));
  std::string bytes(data, GlobalSize(block));
  GlobalUnlock(block);
  return bytes;
}

std::vector<std::string> DroppedNames(HGLOBAL block) {
  auto drop = static_cast<HDROP>(block);
  std::vector<std::string> names;
  UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::string name(DragQueryFileA(drop, i, nullptr, 0) + 1, '\0');
    name.resize(DragQueryFileA(drop, i, name.data(), static_cast<UINT>(name.size())));
    names.push_back(name);
  }
  return names;
}

UINT At(const std::string& bytes, std::size_t offset) {
  UINT value;
  std::memcpy(&value, bytes.data() + offset, 4);
  return value;
}

// ---- Clipboard blocks -----------------------------------------------------------------------

TEST(ShellClipboardBlocks, ItemIdArraysHaveTheirExactSize) {
  const std::string parent = ListBytes({"folder"}), a = ListBytes({"a"}), b = ListBytes({"bb", "c"});
  const std::string empty = ListBytes({});
  struct Case {
    const char* what;
    LPCITEMIDLIST parent;
    std::vector<LPCITEMIDLIST> items;
    std::vector<std::string> lists;  // as they must lie in the block, parent first
  };
  const Case cases[] = {
      {"no parent, no items", nullptr, {}, {empty}},
      {"no parent, two items", nullptr, {AsList(a), AsList(b)}, {empty, a, b}},
      {"a parent and one item", AsList(parent), {AsList(a)}, {parent, a}},
  };
  for (const Case& c : cases) {
    HGLOBAL block = nullptr;
    ASSERT_EQ(BuildIdListArray(c.parent, c.items, block), S_OK) << c.what;
    std::string bytes = BlockBytes(block);
    std::size_t header = 4 * c.items.size() + 8;
    std::string expected;
    for (const std::string& l : c.lists) expected += l;
    EXPECT_EQ(bytes.size(), header + expected.size()) << c.what;
    EXPECT_EQ(At(bytes, 0), c.items.size()) << c.what;
    std::size_t offset = header;
    for (std::size_t i = 0; i < c.lists.size(); ++i) {
      EXPECT_EQ(At(bytes, 4 + 4 * i), offset) << c.what << " list " << i;
      offset += c.lists[i].size();
    }
    EXPECT_EQ(bytes.substr(header), expected) << c.what;

    TIdListArrayView view;
    ASSERT_TRUE(ReadIdListArray(bytes.data(), bytes.size(), view)) << c.what;
    EXPECT_EQ(view.Items.size(), c.items.size());
    EXPECT_EQ(BytesOf(view.Parent), c.lists[0]);
    GlobalFree(block);
  }
}

TEST(ShellClipboardBlocks, FileDropBlocksHoldNamesOfAnyLength) {
  const std::vector<std::string> names = {"C:\\a.txt", "C:\\" + std::string(300, 'n') + ".txt",
                                          std::string(600, 'v')};
  HGLOBAL block = nullptr;
  ASSERT_EQ(BuildFileDropBlock(names, block), S_OK);
  std::size_t expected = 20 + 1;
  for (const std::string& n : names) expected += n.size() + 1;
  EXPECT_EQ(GlobalSize(block), expected);
  std::string bytes = BlockBytes(block);
  EXPECT_EQ(At(bytes, 0), 20u);
  EXPECT_EQ(bytes.substr(4, 16), std::string(16, '\0'));  // point 0,0, client area, ANSI
  EXPECT_EQ(DroppedNames(block), names);
  HGLOBAL copy = DuplicateGlobal(block);
  EXPECT_EQ(BlockBytes(copy), bytes);
  GlobalFree(copy);
  GlobalFree(block);
  EXPECT_EQ(DuplicateGlobal(nullptr), nullptr);
}

TEST(ShellClipboardBlocks, ForeignItemIdArraysAreCheckedBeforeTheyAreRead) {
  const std::string list = ListBytes({"item"});
  auto block = [](std::vector<UINT> words, const std::string& tail) {
    std::string b;
    for (UINT w : words) b.append(reinterpret_cast<const char*>(&w), 4);
    return b + tail;
  };
  const struct {
    const char* what;
    std::string bytes;
    bool valid;
  } cases[] = {
      {"sound", block({1, 12, 12 + static_cast<UINT>(list.size())}, list + list), true},
      {"too short", std::string(6, '\0'), false},
      {"a count beyond the block", block({1000, 12, 12}, list), false},
      {"an offset inside the header", block({1, 4, 12}, list + list), false},
      {"an offset past the end", block({1, 12, 5000}, list), false},
      {"a list without its terminator", block({0, 8}, list.substr(0, list.size() - 2)), false},
  };
  for (const auto& c : cases) {
    TIdListArrayView view;
    EXPECT_EQ(ReadIdListArray(c.bytes.data(), c.bytes.size(), view), c.valid) << c.what;
  }
}

// ---- Format list and enumerator ---------------------------------------------------------------

TEST(ShellFormats, QueriesAndEnumeration) {
  TFcFormatEtcList list;
  list.Add({CF_HDROP, ShellIdListFormat()});
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Items(1).cfFormat, ShellIdListFormat());
  EXPECT_EQ(list.Items(0).tymed, static_cast<DWORD>(TYMED_HGLOBAL));
  const struct {
    FORMATETC format;
    HRESULT expected;
  } queries[] = {
      {{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL | TYMED_ISTREAM}, S_OK},
      {{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_ISTREAM}, DV_E_TYMED},
      {{CF_HDROP, nullptr, DVASPECT_ICON, -1, TYMED_HGLOBAL}, DV_E_FORMATETC},
      {{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}, DV_E_FORMATETC},
  };
  for (const auto& q : queries) EXPECT_EQ(list.QueryFormat(q.format), q.expected) << q.format.cfFormat;

  TComPtr<IEnumFORMATETC> formats(list.CreateEnumerator());
  FORMATETC got[3] = {};
  ULONG fetched = 99;
  EXPECT_EQ(formats->Next(3, got, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 2u);
  EXPECT_EQ(got[0].cfFormat, CF_HDROP);
  EXPECT_EQ(got[1].cfFormat, ShellIdListFormat());
  EXPECT_EQ(formats->Next(1, got, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 0u);
  EXPECT_EQ(formats->Reset(), S_OK);
  EXPECT_EQ(formats->Skip(1), S_OK);
  TComPtr<IEnumFORMATETC> clone;
  ASSERT_EQ(formats->Clone(clone.Out()), S_OK);
  EXPECT_EQ(formats->Skip(5), S_FALSE);
  EXPECT_EQ(formats->Next(1, got, nullptr), S_FALSE);
  // The clone kept its own place, and outlives the list it came from.
  list.Clear();
  EXPECT_EQ(clone->Next(1, got, &fetched), S_OK);
  EXPECT_EQ(got[0].cfFormat, ShellIdListFormat());
}

TEST(ShellFormats, TargetDevicesAreCopiedForTheCaller) {
  alignas(8) BYTE deviceBytes[sizeof(DVTARGETDEVICE) + 8] = {};
  auto* device = reinterpret_cast<DVTARGETDEVICE*>(deviceBytes);
  device->tdSize = sizeof deviceBytes;
  FORMATETC format{CF_TEXT, device, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  TFcFormatEtcList list;
  list.Add(format);
  EXPECT_NE(list.Items(0).ptd, device);
  TComPtr<IEnumFORMATETC> formats(list.CreateEnumerator());
  FORMATETC got{};
  ASSERT_EQ(formats->Next(1, &got, nullptr), S_OK);
  ASSERT_NE(got.ptd, nullptr);
  EXPECT_NE(got.ptd, list.Items(0).ptd);
  EXPECT_EQ(got.ptd->tdSize, sizeof deviceBytes);
  CoTaskMemFree(got.ptd);
}

// ---- Data object ------------------------------------------------------------------------------

class ShellDataObject : public ShellScratch {
 protected:
  // These tests hand the data objects to OLE themselves, as the shell's controls do: those
  // start OLE when they are made, and nothing here makes one.
  void SetUp() override {
    ShellScratch::SetUp();
    Application->StartOle();
  }
  // The data object of two files of the scratch folder.
  TComPtr<IDataObject> TwoFiles() {
    files_ = {MakeFile("one.txt"), MakeFile("two.txt")};
    folderList_ = ParsedList(Dir());
    EXPECT_EQ(ShellGetFolderFromIdList(folderList_.get(), folder_.Out()), S_OK);
    items_.clear();
    for (const std::string& f : files_) items_.push_back(LastItem(ParsedList(f).get()));
    return TComPtr<IDataObject>(
        CreateShellDataObject(folder_.Get(), folderList_.get(), {items_[0].get(), items_[1].get()}));
  }
  std::vector<std::string> files_;
  TIdListPtr folderList_;
  TComPtr<IShellFolder> folder_;
  std::vector<TIdListPtr> items_;
};

TEST_F(ShellDataObject, OffersTheItemsAsAnIdListArrayAndAsFiles) {
  TComPtr<IDataObject> data = TwoFiles();
  FORMATETC drop{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium{};
  ASSERT_EQ(data->GetData(&drop, &medium), S_OK);
  EXPECT_EQ(medium.tymed, static_cast<DWORD>(TYMED_HGLOBAL));
  EXPECT_EQ(medium.pUnkForRelease, nullptr);
  EXPECT_EQ(DroppedNames(medium.hGlobal), files_);
  ReleaseStgMedium(&medium);

  FORMATETC ids{ShellIdListFormat(), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  ASSERT_EQ(data->GetData(&ids, &medium), S_OK);
  std::string bytes = BlockBytes(medium.hGlobal);
  ReleaseStgMedium(&medium);
  TIdListArrayView view;
  ASSERT_TRUE(ReadIdListArray(bytes.data(), bytes.size(), view));
  EXPECT_EQ(CompareIdLists(view.Parent, folderList_.get()), 0);
  ASSERT_EQ(view.Items.size(), 2u);
  EXPECT_EQ(BytesOf(view.Items[1]), BytesOf(items_[1].get()));

  FORMATETC text{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  EXPECT_EQ(data->GetData(&text, &medium), DV_E_FORMATETC);
  EXPECT_EQ(data->QueryGetData(&ids), S_OK);
  EXPECT_EQ(data->GetDataHere(&ids, &medium), E_NOTIMPL);
  EXPECT_EQ(data->SetData(&ids, &medium, FALSE), E_NOTIMPL);
  FORMATETC canonical{};
  canonical.ptd = reinterpret_cast<DVTARGETDEVICE*>(1);
  EXPECT_EQ(data->GetCanonicalFormatEtc(&ids, &canonical), E_NOTIMPL);
  EXPECT_EQ(canonical.ptd, nullptr);
  TComPtr<IEnumFORMATETC> formats;
  EXPECT_EQ(data->EnumFormatEtc(DATADIR_SET, formats.Out()), E_NOTIMPL);
  EXPECT_FALSE(formats);
  DWORD connection = 0;
  EXPECT_EQ(data->DAdvise(&ids, 0, nullptr, &connection), OLE_E_ADVISENOTSUPPORTED);
  EXPECT_EQ(data->DUnadvise(0), OLE_E_ADVISENOTSUPPORTED);

  // An enumerator outlives the data object it came from.
  ASSERT_EQ(data->EnumFormatEtc(DATADIR_GET, formats.Out()), S_OK);
  data.Reset();
  FORMATETC got[2] = {};
  ULONG fetched = 0;
  EXPECT_EQ(formats->Next(2, got, &fetched), S_OK);
  EXPECT_EQ(fetched, 2u);

  TComPtr<IUnknown> unknown;
  TComPtr<IDataObject> again = TwoFiles();
  EXPECT_EQ(again->QueryInterface(IID_IUnknown, unknown.OutVoid()), S_OK);
  TComPtr<IDropTarget> notOne;
  EXPECT_EQ(again->QueryInterface(IID_IDropTarget, notOne.OutVoid()), E_NOINTERFACE);
  EXPECT_FALSE(notOne);
}

TEST_F(ShellDataObject, GoesOnTheClipboardThroughOle) {
  TComPtr<IDataObject> data = TwoFiles();
  ASSERT_EQ(OleSetClipboard(data.Get()), S_OK);
  ASSERT_EQ(OleFlushClipboard(), S_OK);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_TRUE(IsClipboardFormatAvailable(ShellIdListFormat()));
  HANDLE dropped = GetClipboardData(CF_HDROP);
  ASSERT_NE(dropped, nullptr);
  EXPECT_EQ(DroppedNames(static_cast<HGLOBAL>(dropped)), files_);
  EmptyClipboard();
  CloseClipboard();
}

// A data object that offers an item-ID array of any bytes (none when they are empty).
class TRawIdListData : public TFcComObject<IDataObject> {
 public:
  explicit TRawIdListData(std::string bytes) : TFcComObject(IID_IDataObject), bytes_(std::move(bytes)) {}
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (format->cfFormat != ShellIdListFormat() || bytes_.empty()) return DV_E_FORMATETC;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes_.size());
    std::memcpy(GlobalLock(block), bytes_.data(), bytes_.size());
    GlobalUnlock(block);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = block;
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

 private:
  std::string bytes_;
};

TEST_F(ShellDataObject, EffectsAreWhatEveryItemAllows) {
  constexpr DWORD kAll = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  EXPECT_EQ(GetDropEffects(TwoFiles().Get()), kAll);

  // Drive C: in the drives folder can be linked, not moved or copied.
  LPITEMIDLIST raw = nullptr;
  ASSERT_EQ(ShellGetSpecialFolderIdList(nullptr, CSIDL_DRIVES, &raw), S_OK);
  TIdListPtr drives(raw);
  TIdListPtr drive = LastItem(ParsedList("C:\\").get());
  TComPtr<IDataObject> driveData(new TDataObject_shtv(drives.get(), {drive.get()}, {}));
  TComPtr<IShellFolder> drivesFolder;
  ASSERT_EQ(ShellGetFolderFromIdList(drives.get(), drivesFolder.Out()), S_OK);
  LPCITEMIDLIST items[] = {drive.get()};
  SFGAOF allowed = kAll;
  ASSERT_EQ(drivesFolder->GetAttributesOf(1, items, &allowed), S_OK);
  EXPECT_EQ(GetDropEffects(driveData.Get()), kAll & allowed);
  EXPECT_NE(GetDropEffects(driveData.Get()), kAll);

  // Data without an array, or with a damaged one, allows everything and reads nothing.
  std::string damaged(12, '\0');
  damaged[0] = 1;
  damaged[4] = 8;
  damaged[8] = static_cast<char>(0xF0);
  TComPtr<IDataObject> bad(new TRawIdListData(damaged));
  EXPECT_EQ(GetDropEffects(bad.Get()), kAll);
  TComPtr<IDataObject> none(new TRawIdListData(""));
  EXPECT_EQ(GetDropEffects(none.Get()), kAll);
}

// ---- Items and folders ------------------------------------------------------------------------

class ShellSplit : public ShellScratch {};

TEST_F(ShellSplit, SplitsIntoFolderParentAndLastItem) {
  std::string file = MakeFile("pier.dem");
  TComPtr<IShellFolder> folder;
  LPITEMIDLIST parentRaw = nullptr, lastRaw = nullptr;
  ASSERT_EQ(ShellSplitIdList(ParsedList(file).get(), folder.Out(), &parentRaw, &lastRaw), S_OK);
  TIdListPtr parent(parentRaw), last(lastRaw);
  EXPECT_EQ(CompareIdLists(parent.get(), ParsedList(Dir()).get()), 0);
  EXPECT_EQ(ShellGetDisplayName(folder.Get(), last.get(), snkForParsing), file);

  // One item: the desktop holds it and there is no parent list.
  LPITEMIDLIST raw = nullptr;
  ASSERT_EQ(ShellGetSpecialFolderIdList(nullptr, CSIDL_DRIVES, &raw), S_OK);
  TIdListPtr drives(raw);
  ASSERT_EQ(ShellSplitIdList(drives.get(), folder.Out(), &parentRaw, &lastRaw), S_OK);
  parent.reset(parentRaw);
  last.reset(lastRaw);
  EXPECT_EQ(parent, nullptr);
  EXPECT_EQ(BytesOf(last.get()), BytesOf(drives.get()));

  // The desktop splits as its directory.
  std::string desktopDir = ShellGetSpecialFolderPath(nullptr, CSIDL_DESKTOP);
  ASSERT_EQ(ShellSplitIdList(nullptr, folder.Out(), &parentRaw, &lastRaw), S_OK);
  parent.reset(parentRaw);
  last.reset(lastRaw);
  EXPECT_EQ(ShellGetPathFromIdList(parent.get()), ExtractFileDir(desktopDir));
  EXPECT_EQ(ShellGetDisplayNameFlags(folder.Get(), last.get(), SHGDN_FORPARSING), desktopDir);

  ASSERT_EQ(GetDesktopParentAndItem(&parentRaw, &lastRaw), S_OK);
  parent.reset(parentRaw);
  last.reset(lastRaw);
  EXPECT_EQ(ShellGetPathFromIdList(parent.get()), ExtractFileDir(desktopDir));
  TComPtr<IDropTarget> target;
  EXPECT_EQ(GetDesktopDropTarget(target.Out()), S_OK);
  EXPECT_TRUE(target);
  TComPtr<IDropTarget> fileTarget;
  EXPECT_EQ(ShellGetUIObject(ParsedList(file).get(), IID_IDropTarget, fileTarget.OutVoid()), S_OK);
}

TEST_F(ShellSplit, SendToAMissingItemFailsAndPutsTheCursorBack) {
  TComPtr<IDataObject> data(new TDataObject_shtv(nullptr, {}, {MakeFile("a.txt")}));
  TCursor before = Screen->Cursor();
  EXPECT_THROW(SendToTarget("no such target", data.Get()), EOleSysError);
  EXPECT_EQ(Screen->Cursor(), before);
}

// ---- Drag and drop ----------------------------------------------------------------------------

TEST(ShellDropSource, WhenADragGoesOnDropsOrIsCancelled) {
  const struct {
    int button;
    BOOL escape;
    DWORD keys;
    HRESULT expected;
  } cases[] = {
      {0, FALSE, MK_LBUTTON, S_OK},
      {0, FALSE, 0, DRAGDROP_S_DROP},
      {0, TRUE, MK_LBUTTON, DRAGDROP_S_CANCEL},
      {0, FALSE, MK_LBUTTON | MK_RBUTTON, DRAGDROP_S_CANCEL},
      {0, FALSE, MK_LBUTTON | MK_CONTROL | MK_SHIFT, S_OK},
      {1, FALSE, MK_RBUTTON, S_OK},
      {1, FALSE, MK_LBUTTON, DRAGDROP_S_CANCEL},
      {1, FALSE, 0, DRAGDROP_S_DROP},
      {2, FALSE, MK_MBUTTON, S_OK},
      {2, FALSE, MK_MBUTTON | MK_LBUTTON, DRAGDROP_S_CANCEL},
  };
  for (const auto& c : cases) {
    TComPtr<IDropSource> source(new TDropSource_shlvtv(c.button));
    EXPECT_EQ(source->QueryContinueDrag(c.escape, c.keys), c.expected) << c.button << " " << c.keys;
    EXPECT_EQ(source->GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS);
  }
}

// A shell control's side of a drop, as a test sees it.
class TRecordingHandler : public IFcShellDropHandler {
 public:
  TEventLog calls;
  std::function<void()> onEnter;
  DWORD answer = DROPEFFECT_COPY;
  HRESULT DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    calls.Note("enter");
    entered = data;
    if (onEnter) onEnter();
    *effect = answer;
    return S_OK;
  }
  HRESULT DragOver(DWORD, POINTL, DWORD* effect) override {
    calls.NoteOnce("over");
    *effect = answer;
    return S_OK;
  }
  HRESULT DragLeave() override {
    calls.Note("leave");
    return S_OK;
  }
  HRESULT Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    calls.Note("drop");
    dropped = data;
    effects = GetDropEffects(data);
    *effect = answer;
    return S_OK;
  }
  IDataObject* entered = nullptr;
  IDataObject* dropped = nullptr;
  DWORD effects = 0;
};

class ShellDragDrop : public ShellDataObject {
 protected:
  // One window for all the drags: a shown window costs seconds to destroy here.
  static void SetUpTestSuite() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ShellDropTarget";
    RegisterClassA(&wc);
    window_ = CreateWindowExA(WS_EX_TOPMOST, "ShellDropTarget", "drop here", WS_POPUP | WS_VISIBLE, 100, 100,
                              200, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  }
  static void TearDownTestSuite() { DestroyWindow(window_); }
  void SetUp() override {
    ShellDataObject::SetUp();
    ASSERT_NE(window_, nullptr);
    SetCursorPos(200, 200);
    // The window must be on the screen under the pointer before a drag can find it.
    ASSERT_TRUE(LoopUntil([] { return WindowFromPoint(POINT{200, 200}) == window_; }, 3000));
    target_.Reset(new TDropTarget_shtv(&handler_));
    ASSERT_EQ(RegisterDragDrop(window_, target_.Get()), S_OK);
  }
  void TearDown() override {
    RevokeDragDrop(window_);
    if (target_) target_->Detach();
    target_.Reset();
    ShellDataObject::TearDown();
  }
  // Presses or lets go a mouse button as the user would. The drag reads the buttons as the
  // thread's messages left them, so the messages run until they show it.
  static void SendMouse(TMouseButton button, bool down) {
    SendMouseButton(button, down);
    const int key = button == mbRight ? VK_RBUTTON : VK_LBUTTON;
    LoopUntil([&] { return ((GetKeyState(key) & 0x8000) != 0) == down; }, 2000);
  }

  static inline HWND window_ = nullptr;
  TRecordingHandler handler_;
  TComPtr<TDropTarget_shtv> target_;
};

TEST_F(ShellDragDrop, AReleasedButtonDropsTheItemsOnTheTargetUnderThePointer) {
  TComPtr<IDataObject> data = TwoFiles();
  TComPtr<IDropSource> source(new TDropSource_shlvtv(0));
  DWORD effect = DROPEFFECT_NONE;
  EXPECT_EQ(DoDragDrop(data.Get(), source.Get(), DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect), DRAGDROP_S_DROP);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  EXPECT_EQ(handler_.calls.First(), "enter");
  EXPECT_EQ(handler_.calls.Last(), "drop");
  EXPECT_NE(handler_.dropped, nullptr);
  EXPECT_EQ(handler_.effects, static_cast<DWORD>(DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK));
}

TEST_F(ShellDragDrop, ASecondButtonCancelsTheDrag) {
  TComPtr<IDataObject> data = TwoFiles();
  TComPtr<IDropSource> source(new TDropSource_shlvtv(0));
  SendMouse(mbLeft, true);
  handler_.onEnter = [] { SendMouse(mbRight, true); };
  DWORD effect = DROPEFFECT_NONE;
  HRESULT hr = DoDragDrop(data.Get(), source.Get(), DROPEFFECT_COPY, &effect);
  SendMouse(mbRight, false);
  SendMouse(mbLeft, false);
  EXPECT_EQ(hr, DRAGDROP_S_CANCEL);
  EXPECT_EQ(handler_.calls.First(), "enter");
  EXPECT_EQ(handler_.calls.Last(), "leave");
}

TEST_F(ShellDragDrop, AFailingHandlerRefusesTheDropInsteadOfThrowingThroughOle) {
  TComPtr<IDataObject> data = TwoFiles();
  TComPtr<IDropSource> source(new TDropSource_shlvtv(0));
  handler_.onEnter = [] { throw EOleSysError(E_FAIL); };
  DWORD effect = DROPEFFECT_COPY;
  DoDragDrop(data.Get(), source.Get(), DROPEFFECT_COPY, &effect);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(handler_.calls.Count("drop"), 0);

  // Detached from its control, the target answers without calling it.
  handler_.calls.Clear();
  target_->Detach();
  POINTL point{0, 0};
  effect = DROPEFFECT_COPY;
  EXPECT_EQ(target_->DragEnter(data.Get(), 0, point, &effect), E_UNEXPECTED);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_TRUE(handler_.calls.Empty());
}

}  // namespace
