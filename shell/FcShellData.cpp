#include "shell/FcShellData.h"

#include <cstring>

#include "platform/Guards.h"
#include "resources/ResourceIds.h"
#include "shell/FcShellDragDrop.h"

namespace {

// Critical-error boxes (a drive without a medium...) stay away while the shell is asked.
class TNoCriticalErrorBoxes {
 public:
  TNoCriticalErrorBoxes() : saved_(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
  ~TNoCriticalErrorBoxes() { SetErrorMode(saved_); }
  TNoCriticalErrorBoxes(const TNoCriticalErrorBoxes&) = delete;
  TNoCriticalErrorBoxes& operator=(const TNoCriticalErrorBoxes&) = delete;

 private:
  UINT saved_;
};

TIdListPtr Copy(LPCITEMIDLIST list) { return TIdListPtr(list ? CopyIdList(nullptr, list) : nullptr); }

// The path's drive is removable ("X:\..." paths only).
bool OnRemovableDrive(const std::string& path) {
  if (path.size() <= 3 || path[1] != ':' || IsDBCSLeadByte(static_cast<BYTE>(path[0]))) return false;
  return GetDriveTypeA(path.substr(0, 3).c_str()) == DRIVE_REMOVABLE;
}

}  // namespace

// ---- TFcShellTreeData ---------------------------------------------------------------------

void TFcShellTreeData::SetIdList(TFcShellTreeData* parent, LPCITEMIDLIST list) {
  parent_ = parent;
  shellFolder_.Reset();
  parentShellFolder_.Reset();
  if (parent) {
    relIdList_ = Copy(list);
    absIdList_.reset();
    return;
  }
  TFcIdListArray parts(list);
  int count = parts.Count();
  relIdList_ = count > 0 ? Copy(parts.GetItem(count - 1)) : Copy(list);
  absIdList_ = Copy(list);
}

LPCITEMIDLIST TFcShellTreeData::AbsIdList() {
  if (!absIdList_) {
    if (parent_)
      absIdList_.reset(ConcatIdLists(nullptr, parent_->AbsIdList(), relIdList_.get()));
    else
      absIdList_ = Copy(relIdList_.get());
  }
  return absIdList_.get();
}

IShellFolder* TFcShellTreeData::ParentFolder() {
  if (parent_) return parent_->ThisFolder();
  // A root keeps the folder its list splits into, so that a pointer handed out stays valid
  // until the node is reset.
  if (!parentShellFolder_) {
    LPITEMIDLIST parentList = nullptr, item = nullptr;
    ShellSplitIdList(AbsIdList(), parentShellFolder_.Out(), &parentList, &item);
    ShellMemFree(parentList);
    ShellMemFree(item);
  }
  return parentShellFolder_.Get();
}

IShellFolder* TFcShellTreeData::ThisFolder() {
  if (shellFolder_) return shellFolder_.Get();
  LPCITEMIDLIST abs = AbsIdList();
  if (IsEmptyIdList(abs)) {
    // The desktop: binding its empty list is refused, the folder is the desktop itself.
    shellFolder_ = DesktopFolder();
  } else if (IShellFolder* parent = ParentFolder()) {
    if (FAILED(parent->BindToObject(relIdList_.get(), nullptr, IID_IShellFolder,
                                    shellFolder_.OutVoid())))
      shellFolder_.Reset();
  }
  return shellFolder_.Get();
}

bool TFcShellTreeData::CanRename() {
  if (!parent_ || IsEmptyIdList(AbsIdList())) return false;
  IShellFolder* folder = ParentFolder();
  if (!folder) return false;
  LPCITEMIDLIST items[] = {relIdList_.get()};
  SFGAOF attributes = 0x40000177;
  if (FAILED(folder->GetAttributesOf(1, items, &attributes))) return false;
  return (attributes & SFGAO_CANRENAME) != 0;
}

std::string TFcShellTreeData::PathName() {
  LPCITEMIDLIST abs = AbsIdList();
  return abs ? ShellGetPathFromIdList(abs) : std::string();
}

void TFcShellTreeData::SetRelIdList(LPCITEMIDLIST list) {
  // A root's list cannot be built from its last item: it keeps its leading part.
  TIdListPtr leading;
  if (!parent_) {
    TFcIdListArray parts(absIdList_.get());
    leading = Copy(parts.GetLeading(1));
  }
  TIdListPtr rel = Copy(list);
  absIdList_.reset();
  shellFolder_.Reset();
  parentShellFolder_.Reset();
  relIdList_ = std::move(rel);
  if (!parent_) absIdList_.reset(ConcatIdLists(nullptr, leading.get(), relIdList_.get()));
}

void TFcShellTreeData::Reset() {
  // A root's absolute list is kept: it cannot be rebuilt from the last item alone.
  if (parent_) absIdList_.reset();
  shellFolder_.Reset();
  parentShellFolder_.Reset();
}

HRESULT TFcShellTreeData::GetDropTarget(HWND window, IDropTarget** target) {
  *target = nullptr;
  if (!parent_) {
    LPCITEMIDLIST abs = AbsIdList();
    if (!abs) return GetDesktopDropTarget(target);
    return ShellGetUIObject(abs, IID_IDropTarget, reinterpret_cast<void**>(target));
  }
  IShellFolder* folder = parent_->ThisFolder();
  if (!folder) return E_FAIL;
  LPCITEMIDLIST items[] = {relIdList_.get()};
  return folder->GetUIObjectOf(window, 1, items, IID_IDropTarget, nullptr,
                               reinterpret_cast<void**>(target));
}

// ---- TFcShellListData ---------------------------------------------------------------------

void TFcShellListData::SetRelIdList(LPITEMIDLIST list) {
  relIdList_.reset(list);
  Invalidate();
}

LPCITEMIDLIST TFcShellListData::AbsIdList() {
  if (!absIdList_)
    absIdList_.reset(ConcatIdLists(nullptr, owner_->ListFolderIdList(), relIdList_.get()));
  return absIdList_.get();
}

std::string TFcShellListData::PathName() { return ShellGetPathFromIdList(AbsIdList()); }

std::string TFcShellListData::FileName() { return ExtractFileName(PathName()); }

SFGAOF TFcShellListData::Attributes() {
  SFGAOF attributes = 0x700F0037;
  if (OnRemovableDrive(PathName())) attributes &= ~static_cast<SFGAOF>(SFGAO_READONLY);
  IShellFolder* folder = owner_->ListFolder();
  LPCITEMIDLIST items[] = {relIdList_.get()};
  // A failed question answers nothing (rather than every flag asked for).
  if (!folder || FAILED(folder->GetAttributesOf(1, items, &attributes))) return 0;
  return attributes;
}

bool TFcShellListData::IsFolder() { return (Attributes() & SFGAO_FOLDER) != 0; }

bool TFcShellListData::CanRename() { return (Attributes() & SFGAO_CANRENAME) != 0; }

bool TFcShellListData::IsLink() { return AnsiSameText(ExtractFileExt(PathName()), ".lnk"); }

std::string TFcShellListData::DisplayName() {
  if (displayName_.empty()) {
    SHFILEINFOA info;
    if (ShellGetFileInfo(AbsIdList(), SHGFI_DISPLAYNAME, info))
      displayName_.assign(info.szDisplayName, strnlen(info.szDisplayName, sizeof info.szDisplayName));
  }
  return displayName_;
}

void TFcShellListData::Invalidate() {
  absIdList_.reset();
  displayName_.clear();
  detailsValid_ = false;
}

std::string TFcShellListData::ColumnText(int column) {
  if (column == 0) return std::string();
  if (IShellDetails* details = owner_->ListDetails()) {
    TNoCriticalErrorBoxes noBoxes;
    SHELLDETAILS detail{};
    if (FAILED(details->GetDetailsOf(relIdList_.get(), static_cast<UINT>(column), &detail)))
      return std::string();
    std::string text = StrRetToString(relIdList_.get(), detail.str);
    StrRetFree(detail.str);
    return text;
  }
  FillDetails();
  switch (column) {
    case 1: return sizeText_;
    case 2: return typeText_;
    case 3: return modifiedText_;
    default: return std::string();
  }
}

void TFcShellListData::FillDetails() {
  if (detailsValid_) return;
  GetFileSizeAndDate(AbsIdList(), sizeText_, modifiedText_);
  typeText_ = GetTypeText(AbsIdList(), Attributes());
  detailsValid_ = true;
}

// ---- TFcShellComboData --------------------------------------------------------------------

void TFcShellComboData::SetFolderData(IShellFolder* parentFolder, LPCITEMIDLIST parentIdList,
                                      LPCITEMIDLIST relIdList) {
  if (parentFolder) parentFolder->AddRef();
  parentFolder_.Reset(parentFolder);
  parentIdList_ = Copy(parentIdList);
  relIdList_ = Copy(relIdList);
  absIdList_.reset(ConcatIdLists(nullptr, parentIdList, relIdList));
}

void TFcShellComboData::SetShellFolder(IShellFolder* folder) {
  if (folder) folder->AddRef();
  shellFolder_.Reset(folder);
}

// ---- Column texts ---------------------------------------------------------------------------

std::string FormatFileSizeKB(std::uint64_t size) {
  std::uint64_t kilobytes = size / 1024 + (size % 1024 != 0 ? 1 : 0);
  std::string number = FormatFloat("#,##0", static_cast<double>(kilobytes));
  return StringReplace(LoadResString(IDS_SHELL_SIZE_KB), "%s", number, {});
}

void GetFileSizeAndDate(LPCITEMIDLIST list, std::string& sizeText, std::string& dateText) {
  sizeText.clear();
  dateText.clear();
  std::string path = ShellGetPathFromIdList(list);
  if (path.size() <= 3) return;
  TNoCriticalErrorBoxes noBoxes;
  WIN32_FIND_DATAA data;
  TFindGuard find(FindFirstFileA(path.c_str(), &data));
  if (!find.Valid()) return;
  if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    sizeText = FormatFileSizeKB((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
  FILETIME written = data.ftLastWriteTime;
  if (written.dwLowDateTime == 0 && written.dwHighDateTime == 0) written = data.ftCreationTime;
  FILETIME local;
  SYSTEMTIME t;
  if (!FileTimeToLocalFileTime(&written, &local) || !FileTimeToSystemTime(&local, &t)) return;
  TDateTime when = EncodeDate(t.wYear, t.wMonth, t.wDay) + EncodeTime(t.wHour, t.wMinute, t.wSecond, 0);
  dateText = FormatDateTime(FormatSettings.ShortDateFormat + " " + FormatSettings.ShortTimeFormat, when);
}

std::string GetTypeText(LPCITEMIDLIST list, SFGAOF attributes) {
  if (!(attributes & SFGAO_FILESYSTEM)) return LoadResString(IDS_SHELL_SYSTEM_FOLDER);
  SHFILEINFOA info;
  if (!ShellGetFileInfo(list, SHGFI_TYPENAME, info)) return std::string();
  return std::string(info.szTypeName, strnlen(info.szTypeName, sizeof info.szTypeName));
}
