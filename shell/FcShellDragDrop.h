// Shell items on their way to and from other programs: the clipboard blocks of the shell's
// item-ID array and of dropped files, the data object, drop source and drop target that the
// shell controls hand to OLE, and the helpers that split an item into its folder and name.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "shell/FcShellIntf.h"

// The registered clipboard format "Shell IDList Array".
CLIPFORMAT ShellIdListFormat();

// ---- Clipboard blocks ---------------------------------------------------------------------

// A movable, zero-filled block: the item count n, n + 1 offsets (the parent's list, then each
// item's), the parent's absolute list (the empty list for nullptr) and each item's relative
// list. E_OUTOFMEMORY when it cannot be allocated.
HRESULT BuildIdListArray(LPCITEMIDLIST parent, const std::vector<LPCITEMIDLIST>& items,
                         HGLOBAL& block);
// A movable CF_HDROP block of ANSI names: the 20-byte header, each name with its zero byte,
// and a final zero byte. E_OUTOFMEMORY when it cannot be allocated.
HRESULT BuildFileDropBlock(const std::vector<std::string>& names, HGLOBAL& block);
// A movable copy of the block, or 0.
HGLOBAL DuplicateGlobal(HGLOBAL block);

// An item-ID array block read from another program: the lists point into the block.
struct TIdListArrayView {
  LPCITEMIDLIST Parent = nullptr;
  std::vector<LPCITEMIDLIST> Items;
};
// False unless the block's count, offsets and lists all lie within its `size` bytes, each
// list with its terminator.
bool ReadIdListArray(const void* block, std::size_t size, TIdListArrayView& view);

// The effects (DROPEFFECT_COPY, _MOVE, _LINK) every item of the data's item-ID array allows;
// all three when the data has no valid array. Raises EOleSysError when the items' folder
// cannot be bound or asked.
DWORD GetDropEffects(IDataObject* data);
// Drops the data on the item `fileName` of the Send To folder, as a left-button copy.
// Raises EOleSysError at the first step that fails (the cursor is restored).
void SendToTarget(const std::string& fileName, IDataObject* data);

// ---- Items and their folders --------------------------------------------------------------

// The folder holding the last item of an absolute list, that folder's list (nullptr for the
// desktop) and the last item. The desktop itself (no items) is split as the desktop
// directory's path. On failure nothing is handed out.
HRESULT ShellSplitIdList(LPCITEMIDLIST list, IShellFolder** parentFolder, LPITEMIDLIST* parentList,
                         LPITEMIDLIST* lastItem);
// The interface `iid` of the item (a context menu, a drop target...), as its folder gives it.
HRESULT ShellGetUIObject(LPCITEMIDLIST list, REFIID iid, void** object);
// The drop target of the desktop directory.
HRESULT GetDesktopDropTarget(IDropTarget** target);
// The desktop directory's parent list and last item, both nullptr on failure.
HRESULT GetDesktopParentAndItem(LPITEMIDLIST* parentList, LPITEMIDLIST* item);
// The item's name with the shell's SHGDN_ flags as given; empty on failure.
std::string ShellGetDisplayNameFlags(IShellFolder* folder, LPCITEMIDLIST item, DWORD flags);

// ---- Formats --------------------------------------------------------------------------------

// The formats a data object offers: content aspect, index -1, global memory.
class TFcFormatEtcList {
 public:
  TFcFormatEtcList() = default;
  TFcFormatEtcList(const TFcFormatEtcList& other);
  TFcFormatEtcList& operator=(const TFcFormatEtcList& other);
  ~TFcFormatEtcList();

  void Add(std::initializer_list<CLIPFORMAT> formats);
  // A descriptor as given; its target-device block, when present, is copied.
  void Add(const FORMATETC& format);
  int Count() const { return static_cast<int>(items_.size()); }
  const FORMATETC& Items(int index) const { return items_.at(static_cast<std::size_t>(index)); }
  void Clear();
  // S_OK when a descriptor of the format shares a medium with the request; DV_E_TYMED when
  // only the format matches; DV_E_FORMATETC otherwise and for an aspect other than content.
  HRESULT QueryFormat(const FORMATETC& format) const;
  // An enumerator over a copy of the descriptors, at the start, with one reference.
  IEnumFORMATETC* CreateEnumerator() const;

 private:
  std::vector<FORMATETC> items_;
};

// ---- COM objects ----------------------------------------------------------------------------
// Each starts with its creator's reference and frees itself at the last Release. No method
// lets an exception out: a failure inside answers E_UNEXPECTED.

template <class I>
class TFcComObject : public I {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, iid_)) {
      *object = static_cast<I*>(this);
      this->AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    return static_cast<ULONG>(InterlockedIncrement(&refs_));
  }
  ULONG STDMETHODCALLTYPE Release() override {
    LONG n = InterlockedDecrement(&refs_);
    if (n == 0) delete this;
    return static_cast<ULONG>(n);
  }

 protected:
  explicit TFcComObject(REFIID iid) : iid_(iid) {}
  virtual ~TFcComObject() = default;

 private:
  const IID& iid_;
  LONG refs_ = 1;
};

class TFcFormatEtcList_IEnumFormatEtc : public TFcComObject<IEnumFORMATETC> {
 public:
  TFcFormatEtcList_IEnumFormatEtc(const TFcFormatEtcList& list, ULONG position);

  // Copies up to `count` descriptors (target devices copied for the caller); S_FALSE when
  // fewer were left.
  HRESULT STDMETHODCALLTYPE Next(ULONG count, FORMATETC* formats, ULONG* fetched) override;
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
  HRESULT STDMETHODCALLTYPE Reset() override;
  HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** clone) override;

 private:
  TFcFormatEtcList list_;
  ULONG position_;
};

// Shell items dragged or copied out of a shell control: the item-ID array of the parent
// folder's absolute list and the items' relative lists, and the file-drop block of their
// file names; each format is offered only when its block could be built.
class TDataObject_shtv : public TFcComObject<IDataObject> {
 public:
  TDataObject_shtv(LPCITEMIDLIST parentList, const std::vector<LPCITEMIDLIST>& items,
                   const std::vector<std::string>& fileNames);

  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink,
                                    DWORD* connection) override;
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override;
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** advise) override;

 protected:
  ~TDataObject_shtv() override;

 private:
  HGLOBAL idListBlock_ = nullptr;
  HGLOBAL fileDropBlock_ = nullptr;
  TFcFormatEtcList formats_;
};

// The data object of `items` of `folder` (whose absolute list is `folderList`), with their
// parsing names as file names; one reference for the caller.
IDataObject* CreateShellDataObject(IShellFolder* folder, LPCITEMIDLIST folderList,
                                   const std::vector<LPCITEMIDLIST>& items);

// The source side of a drag begun with mouse button 0 (left), 1 (right) or 2 (middle): it
// goes on while that button is held, drops when it is let go, and is cancelled by Escape or
// by another button.
class TDropSource_shlvtv : public TFcComObject<IDropSource> {
 public:
  explicit TDropSource_shlvtv(int button);

  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override;

 private:
  DWORD dragBit_;
};

// What a shell control does with a drag over it; the drop target passes every call on.
class IFcShellDropHandler {
 public:
  virtual ~IFcShellDropHandler() = default;
  virtual HRESULT DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) = 0;
  virtual HRESULT DragOver(DWORD keyState, POINTL point, DWORD* effect) = 0;
  virtual HRESULT DragLeave() = 0;
  virtual HRESULT Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) = 0;
};

// A shell control's drop target. OLE may hold it after the control is gone: the control
// detaches itself first, and a detached target answers E_UNEXPECTED with no effect.
class TDropTarget_shtv : public TFcComObject<IDropTarget> {
 public:
  explicit TDropTarget_shtv(IFcShellDropHandler* handler);
  void Detach() { handler_ = nullptr; }

  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point,
                                      DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point,
                                 DWORD* effect) override;

 private:
  IFcShellDropHandler* handler_;
};
