// What the shell tree, list and combo hang on each node and item: the entry's item-ID lists
// and folders, and the answers the controls ask of an entry (names, attributes, the list's
// Size, Type and Modified texts, drop targets).
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <cstdint>
#include <string>

#include "platform/Classes.h"
#include "shell/FcShellIntf.h"

// ---- Tree nodes ---------------------------------------------------------------------------

// One node of the shell tree. A root node keeps its absolute list and its parent's folder; a
// child builds its absolute list from its parent's on demand.
class TFcShellTreeData {
 public:
  explicit TFcShellTreeData(TComponent* owner) : owner_(owner) {}
  TFcShellTreeData(const TFcShellTreeData&) = delete;
  TFcShellTreeData& operator=(const TFcShellTreeData&) = delete;

  TComponent* Owner() const { return owner_; }
  TFcShellTreeData* Parent() const { return parent_; }
  LPCITEMIDLIST RelIdList() const { return relIdList_.get(); }

  // A child takes a copy of its item relative to the parent's folder; a root (no parent)
  // takes a copy of the absolute list and of its last item.
  void SetIdList(TFcShellTreeData* parent, LPCITEMIDLIST list);
  // The absolute list, built once and kept (nullptr when it cannot be built).
  LPCITEMIDLIST AbsIdList();
  // The folder holding the node: the parent's folder, or for a root the folder its
  // absolute list splits into. nullptr when there is none. Not referenced for the caller.
  IShellFolder* ParentFolder();
  // The node's own folder, bound once and kept; the desktop folder for the desktop's empty
  // list and for a node without a list. nullptr when it cannot be bound (the desktop folder
  // failing raises EOleSysError). Not referenced for the caller.
  IShellFolder* ThisFolder();
  // The shell allows renaming the item (never a root or the desktop).
  bool CanRename();
  // The node's file-system path, empty when it has none.
  std::string PathName();
  // Takes a copy of a new relative item (after a rename) and drops what was built from the
  // old one.
  void SetRelIdList(LPCITEMIDLIST list);
  // Drops the absolute list and the folder, which are built again on demand.
  void Reset();
  // The item's drop target; the desktop directory's for a root without a list.
  HRESULT GetDropTarget(HWND window, IDropTarget** target);

 private:
  TComponent* owner_;
  TFcShellTreeData* parent_ = nullptr;
  TIdListPtr relIdList_;
  TIdListPtr absIdList_;
  TComPtr<IShellFolder> shellFolder_;
  TComPtr<IShellFolder> parentShellFolder_;
};

// ---- List items ---------------------------------------------------------------------------

// What a list item needs of the shell list that shows it.
class IFcShellListOwner {
 public:
  virtual ~IFcShellListOwner() = default;
  // The listed folder and its absolute list (not referenced for the caller).
  virtual IShellFolder* ListFolder() = 0;
  virtual LPCITEMIDLIST ListFolderIdList() = 0;
  // The details of the folder's columns, nullptr when it gives none.
  virtual IShellDetails* ListDetails() = 0;
};

class TFcShellListData {
 public:
  explicit TFcShellListData(IFcShellListOwner* owner) : owner_(owner) {}
  TFcShellListData(const TFcShellListData&) = delete;
  TFcShellListData& operator=(const TFcShellListData&) = delete;

  IFcShellListOwner* Owner() const { return owner_; }
  LPCITEMIDLIST RelIdList() const { return relIdList_.get(); }
  // Takes the list (ownership passes here) and drops what was known of the old one.
  void SetRelIdList(LPITEMIDLIST list);

  // The owner folder's list followed by the item, built once and kept.
  LPCITEMIDLIST AbsIdList();
  std::string PathName();
  std::string FileName();
  // The item's SFGAO_ attributes of interest (SFGAO_READONLY is not asked on a removable
  // drive, where asking would touch the medium); the request as the folder answered it.
  SFGAOF Attributes();
  bool IsFolder();
  bool CanRename();
  // The item is a shortcut file (".lnk").
  bool IsLink();
  // The shell's display name, kept once read.
  std::string DisplayName();
  // Forgets the absolute list, the name and the detail texts.
  void Invalidate();

  // The text of a detail column: empty for column 0 (the caption shows the name); the
  // folder's own details when it gives them, else 1 Size, 2 Type, 3 Modified.
  std::string ColumnText(int column);
  // Reads the Size, Type and Modified texts once.
  void FillDetails();
  const std::string& SizeText() const { return sizeText_; }
  const std::string& TypeText() const { return typeText_; }
  const std::string& ModifiedText() const { return modifiedText_; }
  bool DetailsValid() const { return detailsValid_; }

 private:
  IFcShellListOwner* owner_;
  TIdListPtr relIdList_;
  TIdListPtr absIdList_;
  std::string displayName_;
  std::string sizeText_;
  std::string typeText_;
  std::string modifiedText_;
  bool detailsValid_ = false;
};

// ---- Combo items --------------------------------------------------------------------------

class TFcShellComboData {
 public:
  explicit TFcShellComboData(TComponent* owner) : owner_(owner) {}
  TFcShellComboData(const TFcShellComboData&) = delete;
  TFcShellComboData& operator=(const TFcShellComboData&) = delete;

  TComponent* Owner() const { return owner_; }
  // Keeps a reference to the parent folder and copies of both lists; the absolute list is
  // the parent list followed by the relative one.
  void SetFolderData(IShellFolder* parentFolder, LPCITEMIDLIST parentIdList, LPCITEMIDLIST relIdList);
  IShellFolder* ParentFolder() const { return parentFolder_.Get(); }
  LPCITEMIDLIST ParentIdList() const { return parentIdList_.get(); }
  LPCITEMIDLIST RelIdList() const { return relIdList_.get(); }
  LPCITEMIDLIST AbsIdList() const { return absIdList_.get(); }
  // The item's own folder, held once the combo binds it (released with the data).
  IShellFolder* ShellFolder() const { return shellFolder_.Get(); }
  void SetShellFolder(IShellFolder* folder);

 private:
  TComponent* owner_;
  TComPtr<IShellFolder> parentFolder_;
  TIdListPtr parentIdList_;
  TIdListPtr relIdList_;
  TIdListPtr absIdList_;
  TComPtr<IShellFolder> shellFolder_;
};

// ---- Column texts ---------------------------------------------------------------------------

// Whole kilobytes, rounded up, with thousands separators: "0KB", "1KB", "1,025KB".
std::string FormatFileSizeKB(std::uint64_t size);
// The size (files only) and the last-write time (the creation time when that is zero) of
// the list's file-system item, in the local time and the short date and time formats. Both
// empty for a drive root or an item that cannot be found.
void GetFileSizeAndDate(LPCITEMIDLIST list, std::string& sizeText, std::string& dateText);
// "System Folder" for an item outside the file system, else the shell's type name.
std::string GetTypeText(LPCITEMIDLIST list, SFGAOF attributes);
