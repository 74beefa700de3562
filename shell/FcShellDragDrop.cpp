#include "shell/FcShellDragDrop.h"

#include <cstring>
#include <limits>

#include "platform/Forms.h"

namespace {

// Runs a COM method's body; whatever it raises becomes E_UNEXPECTED, since an exception must
// never unwind through OLE's own frames.
template <class Body>
HRESULT ComGuard(Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return E_UNEXPECTED;
  }
}

// The data of a global block, unlocked at the end.
class TGlobalLock {
 public:
  explicit TGlobalLock(HGLOBAL block) : block_(block), data_(block ? GlobalLock(block) : nullptr) {}
  ~TGlobalLock() {
    if (data_) GlobalUnlock(block_);
  }
  TGlobalLock(const TGlobalLock&) = delete;
  TGlobalLock& operator=(const TGlobalLock&) = delete;
  void* Data() const { return data_; }

 private:
  HGLOBAL block_;
  void* data_;
};

// A storage medium that the caller of GetData must release.
class TMediumGuard {
 public:
  TMediumGuard() = default;
  ~TMediumGuard() {
    if (filled_) ReleaseStgMedium(&medium_);
  }
  TMediumGuard(const TMediumGuard&) = delete;
  TMediumGuard& operator=(const TMediumGuard&) = delete;
  STGMEDIUM* Receive() {
    filled_ = true;
    return &medium_;
  }
  const STGMEDIUM& Medium() const { return medium_; }

 private:
  STGMEDIUM medium_{};
  bool filled_ = false;
};

// A new movable, zero-filled block of `size` bytes that `fill` writes while it is locked;
// nullptr when it cannot be had.
template <class Fill>
HGLOBAL NewGlobalBlock(std::size_t size, Fill&& fill) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  if (!memory) return nullptr;
  {
    TGlobalLock lock(memory);
    if (lock.Data()) {
      fill(static_cast<BYTE*>(lock.Data()));
      return memory;
    }
  }
  GlobalFree(memory);
  return nullptr;
}

DVTARGETDEVICE* CopyTargetDevice(const DVTARGETDEVICE* device) {
  if (!device) return nullptr;
  auto* copy = static_cast<DVTARGETDEVICE*>(CoTaskMemAlloc(device->tdSize));
  if (copy) std::memcpy(copy, device, device->tdSize);
  return copy;
}

// The list of the desktop directory (a real folder, unlike the desktop's root).
HRESULT DesktopDirectoryIdList(LPITEMIDLIST* list) {
  *list = nullptr;
  std::string path = ShellGetSpecialFolderPath(nullptr, CSIDL_DESKTOP);
  if (path.empty()) return E_FAIL;
  return ShellGetIdListFromPath(path, list);
}

}  // namespace

CLIPFORMAT ShellIdListFormat() {
  static const CLIPFORMAT format = static_cast<CLIPFORMAT>(RegisterClipboardFormatA("Shell IDList Array"));
  return format;
}

// ---- Clipboard blocks ---------------------------------------------------------------------

HRESULT BuildIdListArray(LPCITEMIDLIST parent, const std::vector<LPCITEMIDLIST>& items,
                         HGLOBAL& block) {
  block = nullptr;
  if (!parent) parent = EmptyIdList();
  const std::size_t n = items.size();
  const std::size_t header = 4 * n + 8;
  std::size_t size = header + IdListSize(parent);
  for (LPCITEMIDLIST item : items) size += IdListSize(item ? item : EmptyIdList());
  if (size > std::numeric_limits<UINT>::max()) return E_OUTOFMEMORY;
  block = NewGlobalBlock(size, [&](BYTE* bytes) {
    auto put32 = [bytes](std::size_t at, UINT value) { std::memcpy(bytes + at, &value, 4); };
    put32(0, static_cast<UINT>(n));
    std::size_t offset = header;
    auto putList = [&](std::size_t slot, LPCITEMIDLIST list) {
      UINT listSize = IdListSize(list);
      put32(4 + 4 * slot, static_cast<UINT>(offset));
      std::memcpy(bytes + offset, list, listSize);
      offset += listSize;
    };
    putList(0, parent);
    for (std::size_t i = 0; i < n; ++i) putList(i + 1, items[i] ? items[i] : EmptyIdList());
  });
  return block ? S_OK : E_OUTOFMEMORY;
}

HRESULT BuildFileDropBlock(const std::vector<std::string>& names, HGLOBAL& block) {
  block = nullptr;
  std::size_t size = sizeof(DROPFILES) + 1;
  for (const std::string& name : names) size += name.size() + 1;
  block = NewGlobalBlock(size, [&](BYTE* bytes) {
    reinterpret_cast<DROPFILES*>(bytes)->pFiles = sizeof(DROPFILES);
    char* p = reinterpret_cast<char*>(bytes) + sizeof(DROPFILES);
    for (const std::string& name : names) {
      std::memcpy(p, name.c_str(), name.size() + 1);
      p += name.size() + 1;
    }
  });
  return block ? S_OK : E_OUTOFMEMORY;
}

HGLOBAL DuplicateGlobal(HGLOBAL block) {
  if (!block) return nullptr;
  TGlobalLock from(block);
  if (!from.Data()) return nullptr;
  SIZE_T size = GlobalSize(block);
  return NewGlobalBlock(size, [&](BYTE* bytes) { std::memcpy(bytes, from.Data(), size); });
}

bool ReadIdListArray(const void* block, std::size_t size, TIdListArrayView& view) {
  view = TIdListArrayView{};
  if (!block || size < 8) return false;
  const BYTE* bytes = static_cast<const BYTE*>(block);
  UINT n;
  std::memcpy(&n, bytes, 4);
  if (n > (size - 8) / 4) return false;
  const std::size_t header = 4 * static_cast<std::size_t>(n) + 8;
  std::vector<LPCITEMIDLIST> lists;
  for (std::size_t slot = 0; slot <= n; ++slot) {
    UINT offset;
    std::memcpy(&offset, bytes + 4 + 4 * slot, 4);
    if (offset < header || offset >= size) return false;
    if (IdListValidSize(bytes + offset, size - offset) == 0) return false;
    lists.push_back(reinterpret_cast<LPCITEMIDLIST>(bytes + offset));
  }
  view.Parent = lists[0];
  view.Items.assign(lists.begin() + 1, lists.end());
  return true;
}

DWORD GetDropEffects(IDataObject* data) {
  constexpr DWORD kAll = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  if (!data) return kAll;
  FORMATETC format{ShellIdListFormat(), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  TMediumGuard medium;
  if (FAILED(data->GetData(&format, medium.Receive()))) return kAll;
  if (medium.Medium().tymed != TYMED_HGLOBAL) return kAll;
  HGLOBAL block = medium.Medium().hGlobal;
  TGlobalLock lock(block);
  TIdListArrayView view;
  if (!lock.Data() || !ReadIdListArray(lock.Data(), GlobalSize(block), view)) return kAll;
  TComPtr<IShellFolder> folder;
  OleCheck(ShellGetFolderFromIdList(view.Parent, folder.Out()));
  SFGAOF attributes = kAll;
  OleCheck(folder->GetAttributesOf(static_cast<UINT>(view.Items.size()),
                                   const_cast<LPCITEMIDLIST*>(view.Items.data()), &attributes));
  return kAll & attributes;
}

void SendToTarget(const std::string& fileName, IDataObject* data) {
  LPITEMIDLIST raw = nullptr;
  OleCheck(ShellGetSpecialFolderIdList(nullptr, CSIDL_SENDTO, &raw));
  TIdListPtr sendTo(raw);
  TComPtr<IShellFolder> folder;
  OleCheck(ShellGetFolderFromIdList(sendTo.get(), folder.Out()));
  std::wstring wide = AnsiToWide(fileName);
  raw = nullptr;
  HRESULT hr = folder->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, &raw, nullptr);
  TIdListPtr item(raw);
  OleCheck(hr);
  LPCITEMIDLIST items[] = {item.get()};
  TComPtr<IDropTarget> target;
  OleCheck(folder->GetUIObjectOf(nullptr, 1, items, IID_IDropTarget, nullptr, target.OutVoid()));
  POINTL point{0, 0};
  DWORD effect = DROPEFFECT_COPY;
  OleCheck(target->DragEnter(data, MK_LBUTTON, point, &effect));
  OleCheck(target->DragOver(MK_LBUTTON, point, &effect));
  TTemporaryCursor hourglass(crHourGlass);
  OleCheck(target->Drop(data, MK_LBUTTON, point, &effect));
}

// ---- Items and their folders --------------------------------------------------------------

HRESULT ShellSplitIdList(LPCITEMIDLIST list, IShellFolder** parentFolder, LPITEMIDLIST* parentList,
                         LPITEMIDLIST* lastItem) {
  *parentFolder = nullptr;
  *parentList = nullptr;
  *lastItem = nullptr;
  TFcIdListArray parts(list);
  int count = parts.Count();
  if (count == 0) {
    LPITEMIDLIST raw = nullptr;
    HRESULT hr = DesktopDirectoryIdList(&raw);
    TIdListPtr desktop(raw);
    if (FAILED(hr)) return hr;
    if (IsEmptyIdList(desktop.get())) return E_FAIL;
    return ShellSplitIdList(desktop.get(), parentFolder, parentList, lastItem);
  }
  TComPtr<IShellFolder> desktop;
  HRESULT hr = SHGetDesktopFolder(desktop.Out());
  if (FAILED(hr)) return hr;
  TIdListPtr last(CopyIdList(nullptr, parts.GetItem(count - 1)));
  if (!last) return E_OUTOFMEMORY;
  if (count == 1) {
    *parentFolder = desktop.Detach();
    *lastItem = last.release();
    return S_OK;
  }
  TIdListPtr parent(CopyIdList(nullptr, parts.GetLeading(1)));
  if (!parent) return E_OUTOFMEMORY;
  TComPtr<IShellFolder> folder;
  hr = desktop->BindToObject(parent.get(), nullptr, IID_IShellFolder, folder.OutVoid());
  if (FAILED(hr)) return hr;
  *parentFolder = folder.Detach();
  *parentList = parent.release();
  *lastItem = last.release();
  return S_OK;
}

HRESULT ShellGetUIObject(LPCITEMIDLIST list, REFIID iid, void** object) {
  *object = nullptr;
  TComPtr<IShellFolder> folder;
  LPITEMIDLIST parentRaw = nullptr, itemRaw = nullptr;
  HRESULT hr = ShellSplitIdList(list, folder.Out(), &parentRaw, &itemRaw);
  TIdListPtr parent(parentRaw), item(itemRaw);
  if (FAILED(hr)) return hr;
  LPCITEMIDLIST items[] = {item.get()};
  return folder->GetUIObjectOf(nullptr, 1, items, iid, nullptr, object);
}

HRESULT GetDesktopDropTarget(IDropTarget** target) {
  *target = nullptr;
  LPITEMIDLIST raw = nullptr;
  HRESULT hr = DesktopDirectoryIdList(&raw);
  TIdListPtr desktop(raw);
  if (FAILED(hr)) return hr;
  return ShellGetUIObject(desktop.get(), IID_IDropTarget, reinterpret_cast<void**>(target));
}

HRESULT GetDesktopParentAndItem(LPITEMIDLIST* parentList, LPITEMIDLIST* item) {
  *parentList = nullptr;
  *item = nullptr;
  LPITEMIDLIST raw = nullptr;
  HRESULT hr = DesktopDirectoryIdList(&raw);
  TIdListPtr desktop(raw);
  if (FAILED(hr)) return hr;
  TFcIdListArray parts(desktop.get());
  int count = parts.Count();
  if (count == 0) return E_FAIL;
  TIdListPtr parent(CopyIdList(nullptr, parts.GetLeading(1)));
  TIdListPtr last(CopyIdList(nullptr, parts.GetItem(count - 1)));
  if (!parent || !last) return E_OUTOFMEMORY;
  *parentList = parent.release();
  *item = last.release();
  return S_OK;
}

std::string ShellGetDisplayNameFlags(IShellFolder* folder, LPCITEMIDLIST item, DWORD flags) {
  if (!folder) return std::string();
  STRRET name{};
  if (FAILED(folder->GetDisplayNameOf(item ? item : EmptyIdList(), flags, &name))) return std::string();
  std::string text = StrRetToString(item, name);
  StrRetFree(name);
  return text;
}

// ---- TFcFormatEtcList -----------------------------------------------------------------------

TFcFormatEtcList::TFcFormatEtcList(const TFcFormatEtcList& other) {
  for (const FORMATETC& f : other.items_) Add(f);
}

TFcFormatEtcList& TFcFormatEtcList::operator=(const TFcFormatEtcList& other) {
  if (this != &other) {
    Clear();
    for (const FORMATETC& f : other.items_) Add(f);
  }
  return *this;
}

TFcFormatEtcList::~TFcFormatEtcList() { Clear(); }

void TFcFormatEtcList::Add(std::initializer_list<CLIPFORMAT> formats) {
  for (CLIPFORMAT format : formats)
    items_.push_back({format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
}

void TFcFormatEtcList::Add(const FORMATETC& format) {
  FORMATETC copy = format;
  copy.ptd = CopyTargetDevice(format.ptd);
  items_.push_back(copy);
}

void TFcFormatEtcList::Clear() {
  for (FORMATETC& f : items_) CoTaskMemFree(f.ptd);
  items_.clear();
}

HRESULT TFcFormatEtcList::QueryFormat(const FORMATETC& format) const {
  if (format.dwAspect != DVASPECT_CONTENT) return DV_E_FORMATETC;
  bool formatFound = false;
  for (const FORMATETC& f : items_) {
    if (f.cfFormat != format.cfFormat) continue;
    if (f.tymed & format.tymed) return S_OK;
    formatFound = true;
  }
  return formatFound ? DV_E_TYMED : DV_E_FORMATETC;
}

IEnumFORMATETC* TFcFormatEtcList::CreateEnumerator() const {
  return new TFcFormatEtcList_IEnumFormatEtc(*this, 0);
}

// ---- TFcFormatEtcList_IEnumFormatEtc ----------------------------------------------------------

TFcFormatEtcList_IEnumFormatEtc::TFcFormatEtcList_IEnumFormatEtc(const TFcFormatEtcList& list,
                                                                 ULONG position)
    : TFcComObject(IID_IEnumFORMATETC), list_(list), position_(position) {}

HRESULT TFcFormatEtcList_IEnumFormatEtc::Next(ULONG count, FORMATETC* formats, ULONG* fetched) {
  return ComGuard([&]() -> HRESULT {
    ULONG copied = 0;
    const auto total = static_cast<ULONG>(list_.Count());
    if (!formats && count > 0) return E_POINTER;
    while (copied < count && position_ < total) {
      FORMATETC f = list_.Items(static_cast<int>(position_));
      f.ptd = CopyTargetDevice(f.ptd);
      formats[copied++] = f;
      ++position_;
    }
    if (fetched) *fetched = copied;
    return copied < count ? S_FALSE : S_OK;
  });
}

HRESULT TFcFormatEtcList_IEnumFormatEtc::Skip(ULONG count) {
  const auto total = static_cast<ULONG>(list_.Count());
  if (total - position_ < count) {
    position_ = total;
    return S_FALSE;
  }
  position_ += count;
  return S_OK;
}

HRESULT TFcFormatEtcList_IEnumFormatEtc::Reset() {
  position_ = 0;
  return S_OK;
}

HRESULT TFcFormatEtcList_IEnumFormatEtc::Clone(IEnumFORMATETC** clone) {
  return ComGuard([&]() -> HRESULT {
    if (!clone) return E_POINTER;
    *clone = new TFcFormatEtcList_IEnumFormatEtc(list_, position_);
    return S_OK;
  });
}

// ---- TDataObject_shtv ---------------------------------------------------------------------------

TDataObject_shtv::TDataObject_shtv(LPCITEMIDLIST parentList, const std::vector<LPCITEMIDLIST>& items,
                                   const std::vector<std::string>& fileNames)
    : TFcComObject(IID_IDataObject) {
  if (SUCCEEDED(BuildIdListArray(parentList, items, idListBlock_)))
    formats_.Add({ShellIdListFormat()});
  if (!fileNames.empty() && SUCCEEDED(BuildFileDropBlock(fileNames, fileDropBlock_)))
    formats_.Add({CF_HDROP});
}

TDataObject_shtv::~TDataObject_shtv() {
  if (idListBlock_) GlobalFree(idListBlock_);
  if (fileDropBlock_) GlobalFree(fileDropBlock_);
}

HRESULT TDataObject_shtv::GetData(FORMATETC* format, STGMEDIUM* medium) {
  return ComGuard([&]() -> HRESULT {
    if (!format || !medium) return E_INVALIDARG;
    HRESULT hr = formats_.QueryFormat(*format);
    if (FAILED(hr)) return hr;
    HGLOBAL block = format->cfFormat == CF_HDROP ? fileDropBlock_ : idListBlock_;
    HGLOBAL copy = DuplicateGlobal(block);
    if (!copy) return E_OUTOFMEMORY;
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = copy;
    medium->pUnkForRelease = nullptr;
    return S_OK;
  });
}

HRESULT TDataObject_shtv::GetDataHere(FORMATETC*, STGMEDIUM*) { return E_NOTIMPL; }

HRESULT TDataObject_shtv::QueryGetData(FORMATETC* format) {
  return ComGuard([&]() -> HRESULT {
    if (!format) return E_INVALIDARG;
    return formats_.QueryFormat(*format);
  });
}

HRESULT TDataObject_shtv::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
  if (out) out->ptd = nullptr;
  return E_NOTIMPL;
}

HRESULT TDataObject_shtv::SetData(FORMATETC*, STGMEDIUM*, BOOL) { return E_NOTIMPL; }

HRESULT TDataObject_shtv::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) {
  return ComGuard([&]() -> HRESULT {
    if (!formats) return E_POINTER;
    *formats = nullptr;
    if (direction != DATADIR_GET) return E_NOTIMPL;
    *formats = formats_.CreateEnumerator();
    return S_OK;
  });
}

HRESULT TDataObject_shtv::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) {
  return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT TDataObject_shtv::DUnadvise(DWORD) { return OLE_E_ADVISENOTSUPPORTED; }

HRESULT TDataObject_shtv::EnumDAdvise(IEnumSTATDATA**) { return OLE_E_ADVISENOTSUPPORTED; }

IDataObject* CreateShellDataObject(IShellFolder* folder, LPCITEMIDLIST folderList,
                                   const std::vector<LPCITEMIDLIST>& items) {
  std::vector<std::string> names;
  for (LPCITEMIDLIST item : items) {
    std::string name = ShellGetDisplayName(folder, item, snkForParsing);
    if (!name.empty()) names.push_back(name);
  }
  return new TDataObject_shtv(folderList, items, names);
}

// ---- TDropSource_shlvtv -------------------------------------------------------------------------

TDropSource_shlvtv::TDropSource_shlvtv(int button)
    : TFcComObject(IID_IDropSource),
      dragBit_(button == 1 ? MK_RBUTTON : button == 2 ? MK_MBUTTON : MK_LBUTTON) {}

HRESULT TDropSource_shlvtv::QueryContinueDrag(BOOL escapePressed, DWORD keyState) {
  constexpr DWORD kButtons = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON;
  if (escapePressed || (keyState & (kButtons ^ dragBit_))) return DRAGDROP_S_CANCEL;
  if (keyState & dragBit_) return S_OK;
  return DRAGDROP_S_DROP;
}

HRESULT TDropSource_shlvtv::GiveFeedback(DWORD) { return DRAGDROP_S_USEDEFAULTCURSORS; }

// ---- TDropTarget_shtv ---------------------------------------------------------------------------

namespace {
// A target call that cannot be made: no effect.
HRESULT Refused(DWORD* effect) {
  if (effect) *effect = DROPEFFECT_NONE;
  return E_UNEXPECTED;
}
}  // namespace

TDropTarget_shtv::TDropTarget_shtv(IFcShellDropHandler* handler)
    : TFcComObject(IID_IDropTarget), handler_(handler) {}

HRESULT TDropTarget_shtv::DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
  if (!handler_) return Refused(effect);
  HRESULT hr = ComGuard([&] { return handler_->DragEnter(data, keyState, point, effect); });
  return hr == E_UNEXPECTED ? Refused(effect) : hr;
}

HRESULT TDropTarget_shtv::DragOver(DWORD keyState, POINTL point, DWORD* effect) {
  if (!handler_) return Refused(effect);
  HRESULT hr = ComGuard([&] { return handler_->DragOver(keyState, point, effect); });
  return hr == E_UNEXPECTED ? Refused(effect) : hr;
}

HRESULT TDropTarget_shtv::DragLeave() {
  if (!handler_) return E_UNEXPECTED;
  return ComGuard([&] { return handler_->DragLeave(); });
}

HRESULT TDropTarget_shtv::Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
  if (!handler_) return Refused(effect);
  HRESULT hr = ComGuard([&] { return handler_->Drop(data, keyState, point, effect); });
  return hr == E_UNEXPECTED ? Refused(effect) : hr;
}
