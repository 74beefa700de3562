// The shell combo: a drop-down of folders for choosing where to look. It lists the desktop,
// the desktop's folders, the drives and the chain of folders down to the current one, each
// indented by its depth, and moves a linked shell tree or shell list to the folder chosen;
// a linked control that moves elsewhere moves the combo.
//
// Index: options · TFcCustomShellCombo / TFcShellCombo · registration.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <memory>
#include <vector>

#include "controls/FcCmboBx.h"
#include "platform/ComCtrls.h"
#include "platform/Sets.h"
#include "shell/FcShellData.h"
#include "shell/FcShellLocator.h"
#include "shell/FcShellUtils.h"

class TFcCustomShellTree;
class TFcCustomShellList;

// ---- Options ---------------------------------------------------------------------------------

enum TFcShellComboOption {
  // Fill when the window is made or the layout loaded.
  scoAutofill,
  // Folders that are neither in the file system nor above it (the Trash, the Control Panel)
  // are listed too.
  scoNonFilesystemAncestors,
};
using TFcShellComboOptions = TSet<TFcShellComboOption>;
extern const TEnumInfo FcShellComboOptionInfo;
inline constexpr TFcShellComboOptions kFcShellComboDefaultOptions{scoAutofill, scoNonFilesystemAncestors};

// ---- The combo -------------------------------------------------------------------------------

class TFcCustomShellCombo : public TFcCustomImageComboBox {
  MESSAGE_TABLE(TFcCustomImageComboBox)

 public:
  // The target of a fill taken apart: item i is the folder's level i + 1 as a one-item list.
  using TIdListLevels = std::vector<TIdListPtr>;

  explicit TFcCustomShellCombo(TComponent* owner);
  ~TFcCustomShellCombo() override;

  // The folder shown (owned; nothing designated is the desktop). A change moves the linked
  // tree or list there and fills the combo again.
  TFcShellLocator* SelectedFolder() const { return selectedFolder_.get(); }
  TFcShellComboOptions Options() const { return options_; }
  void SetOptions(TFcShellComboOptions value) { options_ = value; }
  // The dropped list takes as many rows as fit between the box and the screen's bottom.
  bool AutoDropDownCount() const { return autoDropDownCount_; }
  void SetAutoDropDownCount(bool value) { autoDropDownCount_ = value; }

  // The linked tree or list: at most one of them. Linking one while the other is linked is
  // refused; a link is made both ways.
  TFcCustomShellTree* ShellTree() const { return shellTree_; }
  void SetShellTree(TFcCustomShellTree* value);
  TFcCustomShellList* ShellList() const { return shellList_; }
  void SetShellList(TFcCustomShellList* value);

  // The shell data of an item (its folder, lists); nullptr for an item of no shell folder.
  TFcShellComboData* ShellData(int index) const;
  TFcShellComboData* ShellData(const TFcImageComboBoxItem* item) const;

  // Lists the desktop, its folders, the drives and the chain to SelectedFolder, and selects
  // it (the desktop when it is not listed). Only with a window. A shell failure is raised and
  // leaves the items added so far.
  void Fill();
  // Goes to the item `levels` steps up the indents from the selected one (the desktop at
  // most); nothing when that is the selected item itself.
  void GoUp(int levels);
  // With `all`, the linked tree and list run their pending moves and refreshes now.
  void SyncLinkedControls(bool all);
  // The linked tree selected a node: the combo goes to its folder.
  virtual void TreeSelectionChanged(TTreeNode* node);

  // The first item whose caption equals `text` without regard to case (items not yet shown
  // are named first).
  int IndexOfText(const std::string& text) override;

  void Loaded() override;

 protected:
  // Whether an item of `folder` (whose absolute list is `parentList`) is listed at indent
  // `level`; the combo lists every candidate.
  virtual bool DoAddItem(IShellFolder* folder, LPCITEMIDLIST parentList, int level, SFGAOF attributes,
                         LPCITEMIDLIST item);
  // SelectedFolder changed: the linked tree or list follows, the combo fills again.
  virtual void FolderChanged();
  // Lists the folders of `folder` at indent `level` (the desktop's own item first for a
  // negative level), the chain of `target` below the one it passes through, and the drives
  // below the drives folder.
  virtual void FillLevel(IShellFolder* folder, LPCITEMIDLIST parentList, const TIdListLevels& target, int level);

  void CreateWnd() override;
  void Notification(TComponent* component, TOperation operation) override;
  void DropDown() override;
  void DoSelEndOk() override;
  // Enter goes to the folder the box shows, as choosing it in the list does.
  void KeyDown(WORD& key, TShiftState shift) override;
  // Names and pictures an item the first time it is shown.
  void GetItemData(TFcImageComboBoxItem* item) override;
  std::unique_ptr<TFcImageComboBoxItem> NewItem(const std::string& caption, int imageIndex,
                                                int indentLevel) override;

 private:
  // A new item at indent `level` for `item` of `parentFolder`, whose list is `parentList`.
  TFcImageComboBoxItem* AddShellItem(IShellFolder* parentFolder, LPCITEMIDLIST parentList, LPCITEMIDLIST item,
                                     int level);
  // Names the item at once: its display name of the kind given and its open icon.
  void Complete(TFcImageComboBoxItem* item, SHGDNF nameKind);
  // The rest of `target` from `from` on, one item a level below `parentFolder`.
  void AddChain(IShellFolder* parentFolder, LPCITEMIDLIST parentList, const TIdListLevels& target, int from);
  bool LinkedTreeLoading() const;
  // SelectedFolder becomes the folder of the item the box shows, when it shows one.
  void GoToShownItem();
  // Enter is the box's own, never the form's default button.
  void CMWantSpecialKey(TWMKey& m);

  std::unique_ptr<TFcShellLocator> selectedFolder_;
  std::unique_ptr<TCustomImageList> images_;
  TFcShellComboOptions options_ = kFcShellComboDefaultOptions;
  bool autoDropDownCount_ = true;
  TFcCustomShellTree* shellTree_ = nullptr;
  TFcCustomShellList* shellList_ = nullptr;
  // > 0 while the combo itself fills or moves the linked control.
  int busy_ = 0;
  // The item a fill selects; -1 while none.
  int selectedIndex_ = -1;
};

class TFcShellCombo : public TFcCustomShellCombo {
 public:
  using TFcCustomShellCombo::TFcCustomShellCombo;
};

// Registers TFcShellCombo (and what it stands on) for stored layouts. Once is enough.
void RegisterFcShellCombo();
