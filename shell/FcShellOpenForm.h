// The open/save window: jump buttons to five special folders, a location combo, an optional
// folder tree beside the folder's file list, a file-name field and a file-type list. It checks
// what the user typed before it lets the dialog end with OK, and hands the chosen files back
// as full paths.
//
// Index: options and events · typed names (pure helpers) · TFcShellOpenSaveForm ·
// registration. FcShellOpenForm.cpp holds the window, FcShellOpenFormNames.cpp the checking
// of typed names.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "controls/FcButton.h"
#include "controls/FcCmboBx.h"
#include "controls/FcEdit.h"
#include "controls/FcPanel.h"
#include "controls/FcRadChk.h"
#include "controls/FcSplit.h"
#include "platform/Forms.h"
#include "platform/ImgList.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"
#include "shell/FcShellCombo.h"
#include "shell/FcShellFolderForm.h"
#include "shell/FcShellList.h"
#include "shell/FcShellTree.h"

// ---- Options and events -------------------------------------------------------------------

enum TFcOpenSaveOption {
  osoAllowMultiselect,
  osoCreatePrompt,
  osoExtensionDifferent,
  osoFileMustExist,
  osoHideReadOnly,
  osoNoChangeDir,
  osoNoDereferenceLinks,
  osoNoReadOnlyReturn,
  osoNoTestFileCreate,
  osoNoValidate,
  osoOverwritePrompt,
  osoReadOnly,
  osoPathMustExist,
  osoShareAware,
  osoShowHelp,
  osoAllowTree,
  osoShowTree,
  osoShowHints,
  osoHideFoldersInListWhenTreeVisible,
  osoOleDrag,
  osoOleDrop,
  osoShowHidden,
};
using TFcOpenSaveOptions = TSet<TFcOpenSaveOption>;
extern const TEnumInfo OpenSaveOptionInfo;

// The help button was pressed; the window's help context comes along.
using TFcShellHelpEvent = std::function<void(TObject* sender, int helpContext)>;

// ---- Typed names ----------------------------------------------------------------------------

// The names of a typed text: blanks and tabs separate names, a part in double quotes is one
// name (quotes removed); double-byte characters stay whole.
std::vector<std::string> SplitTypedNames(const std::string& text);
// A name the file system can take: no "/", "<", ">" or "|", and no "\\" after its second
// character.
bool IsValidTypedName(const std::string& name);
// The path a typed name stands for in `folder` (a path without its trailing backslash, or
// empty for a folder outside the file system): a name with a drive ("C:", which alone is the
// drive's root) or a network share stands alone, one starting with "\" goes onto the folder's
// drive or share, others are appended, and a component of n dots goes n - 1 folders up (never
// above the root). Empty when the name needs a folder and `folder` is empty.
std::string CombineTypedName(const std::string& folder, const std::string& name);
// The extension of a filter mask ("*.TMD" gives ".TMD"); empty for a mask without one or with
// a wildcard in it.
std::string MaskExtension(const std::string& mask);

// ---- The window -----------------------------------------------------------------------------

class TFcShellOpenSaveForm : public TForm {
 public:
  explicit TFcShellOpenSaveForm(TComponent* owner);
  ~TFcShellOpenSaveForm() override;

  // ---- Settings the dialog hands over and reads back
  TFcOpenSaveOptions Options() const { return options_; }
  virtual void SetOptions(TFcOpenSaveOptions value);
  // Description and mask pairs separated by "|", one file type each.
  const std::string& Filter() const { return filter_; }
  void SetFilter(const std::string& value);
  // The chosen type from 1; 0 without types. An index outside the types chooses the first.
  int FilterIndex() const;
  void SetFilterIndex(int value);
  int SplitterPos() const;
  void SetSplitterPos(int value);
  const std::string& InitialDir() const { return initialDir_; }
  void SetInitialDir(const std::string& value) { initialDir_ = value; }
  const std::string& DefaultExt() const { return defaultExt_; }
  void SetDefaultExt(const std::string& value) { defaultExt_ = value; }
  // The first chosen file once the window closed with OK, else the name field's text.
  std::string FileName() const;
  void SetFileName(const std::string& value);
  // The chosen files as full paths, in the order typed or selected.
  const std::vector<std::string>& Files() const { return files_; }
  int HelpContext() const { return helpContext_; }
  void SetHelpContext(int value) { helpContext_ = value; }
  void SetFrameSettings(const TFcDialogFrameSettings& settings);
  void SetHotTrackSettings(const TFcDialogHotTrackSettings& settings);

  // Shows or hides the folder tree beside the list.
  void SetTreeShown(bool value);
  bool TreeShown() const { return options_.Contains(osoShowTree); }
  // Lists the folder through the location combo, which leads the tree or the list.
  void GoToFolder(const std::string& path);
  void GoToFolder(LPCITEMIDLIST list);

  // ---- Controls of the layout
  TFcPanel* PnlJumps = nullptr;
  TFcToolButton* BtnJumpRecent = nullptr;
  TFcToolButton* BtnJumpDesktop = nullptr;
  TFcToolButton* BtnJumpDocuments = nullptr;
  TFcToolButton* BtnJumpComputer = nullptr;
  TFcToolButton* BtnJumpNetwork = nullptr;
  TLabel* LookInTxt = nullptr;
  TFcPanel* PnlWork = nullptr;
  TFcToolButton* UpOneLevelBtn = nullptr;
  TFcToolButton* CreateNewFolderBtn = nullptr;
  TFcToolButton* ListBtn = nullptr;
  TFcToolButton* DetailsBtn = nullptr;
  TFcToolButton* ShowDesktopBtn = nullptr;
  TFcToolButton* ShowTreeBtn = nullptr;
  TFcShellCombo* ShellCombo = nullptr;
  TFcSplitter* FcSplitter1 = nullptr;
  TFcShellTree* ShellTree = nullptr;
  TFcShellList* ShellList = nullptr;
  TFcPanel* PnlEdits = nullptr;
  TLabel* FileNameTxt = nullptr;
  TLabel* FilesOfTypeTxt = nullptr;
  TFcEdit* FileNameEdt = nullptr;
  TFcComboBox* FileNameCbx = nullptr;
  TFcComboBox* FileTypesCbx = nullptr;
  TFcButton* OpenBtn = nullptr;
  TFcButton* CancelBtn = nullptr;
  TFcCheckBox* ReadOnlyChk = nullptr;
  TFcButton* HelpBtn = nullptr;
  TPopupMenu* LvPopup = nullptr;
  TImageList* ImageList1 = nullptr;

  // ---- Handlers of the layout
  void FormCreate(TObject* sender);
  void FormResize(TObject* sender);
  void FormKeyDown(TObject* sender, WORD& key, TShiftState shift);
  void FormCloseQuery(TObject* sender, bool& canClose);
  void BtnJumpClick(TObject* sender);
  void ViewBtnClick(TObject* sender);
  void UpOneLevelBtnClick(TObject* sender);
  void ShowTreeBtnClick(TObject* sender);
  void ShowDesktopBtnClick(TObject* sender);
  void CreateNewFolderBtnClick(TObject* sender);
  void FileTypesCbxSelEndOk(TObject* sender);
  void FileNameEdtChange(TObject* sender);
  void ShellListChange(TObject* sender, TListItem* item, TItemChange change);
  void ShellListFolderChanged(TObject* sender);
  void ShellTreeChange(TObject* sender, TTreeNode* node);
  void ReadOnlyChkClick(TObject* sender);
  void HelpBtnClick(TObject* sender);
  void Paste1MitmClick(TObject* sender);
  void Properties1MitmClick(TObject* sender);

  // Takes the layout's controls into the fields above.
  void Loaded() override;

  TNotifyEvent OnFormShow;
  TNotifyEvent OnFormClose;
  TNotifyEvent OnTypeChanged;
  TNotifyEvent OnFolderChanged;
  TNotifyEvent OnSelectionChanged;
  TFcShellHelpEvent OnHelp;

 protected:
  void CreateWnd() override;
  void DoShow() override;
  void DoHide() override;
  virtual void DoTypeChanged();
  virtual void DoFolderChanged();
  virtual void DoSelectionChanged();

 private:
  // ---- Types (FcShellOpenForm.cpp)
  void ApplyType(int index);
  void SetCaptions();
  void PlaceEdits();
  void PlaceSizeGrip();
  // The list's folder as a path without its trailing backslash; empty outside the file system.
  std::string ListFolderPath();

  // ---- Typed names (FcShellOpenFormNames.cpp)
  // Checks the name field's text; true when it names files the dialog may return (they are
  // in Files() then).
  bool ProcessTypedText();
  // What one name comes to: accepted (its path added), a move into a folder, or a refusal.
  enum TNameResult { nrAccepted, nrMovedToFolder, nrRefused };
  TNameResult ProcessName(const std::string& name, bool single);
  void ApplyDefaultExtension(std::string& path);
  bool AcceptByExistence(const std::string& path);
  // A warning (or, with `question`, a Yes/No question) about `path`; true for Yes.
  bool Tell(UINT format, const std::string& path, bool question = false);

  TFcOpenSaveOptions options_;
  std::string filter_;
  std::vector<std::string> masks_;
  int filterIndex_ = 1;
  std::string initialDir_;
  std::string defaultExt_;
  // A wildcard typed into the name field, filtering the list instead of the chosen type.
  std::string typedFilter_;
  std::vector<std::string> files_;
  bool shown_ = false;
  // The name field holds what a click in the list put there.
  bool nameFromList_ = false;
  bool settingName_ = false;
  int helpContext_ = 0;
  HWND sizeGrip_ = nullptr;
};

// Registers the window and its controls for stored layouts. Once is enough.
void RegisterFcShellOpenForm();
