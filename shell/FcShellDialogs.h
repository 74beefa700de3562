// The shell dialogs as components of a window: the folder-selection dialog and the file-open
// dialog, built from the shell tree, list and combo. Each keeps its settings while no dialog
// is open; Execute makes the dialog's window for one run, shows it modally and reads the
// result and the window's size back.
//
// Index: TFcShellDialog · the select-folder dialog · the file dialogs · registration.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/Classes.h"
#include "platform/Forms.h"
#include "shell/FcShellFolderForm.h"
#include "shell/FcShellOpenForm.h"
#include "shell/FcShellLocator.h"

// ---- TFcShellDialog ---------------------------------------------------------------------------

class TFcShellDialog : public TComponent {
 public:
  explicit TFcShellDialog(TComponent* owner);

  // Shows the dialog; true when the user ended it with OK.
  virtual bool Execute();

  // The window's size (only values above 0 are applied) and state, read back after each run.
  int FormWidth() const { return formWidth_; }
  void SetFormWidth(int value) { formWidth_ = value; }
  int FormHeight() const { return formHeight_; }
  void SetFormHeight(int value) { formHeight_ = value; }
  TWindowState FormWindowState() const { return formWindowState_; }
  void SetFormWindowState(TWindowState value) { formWindowState_ = value; }

  // Handed to the window's tree, list, combo boxes and edits.
  TColor FrameColor() const { return frame_.FrameColor; }
  void SetFrameColor(TColor value) { frame_.FrameColor = value; }
  TFrameStyle FrameStyle() const { return frame_.FrameStyle; }
  void SetFrameStyle(TFrameStyle value) { frame_.FrameStyle = value; }
  bool FrameVisible() const { return frame_.FrameVisible; }
  void SetFrameVisible(bool value) { frame_.FrameVisible = value; }
  TFramingPreference FramingPreference() const { return frame_.FramingPreference; }
  void SetFramingPreference(TFramingPreference value) { frame_.FramingPreference = value; }
  // Handed to the window's push buttons.
  bool HotTrack() const { return hotTrack_.HotTrack; }
  void SetHotTrack(bool value) { hotTrack_.HotTrack = value; }
  TColor HighlightColor() const { return hotTrack_.HighlightColor; }
  void SetHighlightColor(TColor value) { hotTrack_.HighlightColor = value; }
  TColor HotTrackColor() const { return hotTrack_.HotTrackColor; }
  void SetHotTrackColor(TColor value) { hotTrack_.HotTrackColor = value; }
  TFcHotTrackColorType HotTrackColorType() const { return hotTrack_.HotTrackColorType; }
  void SetHotTrackColorType(TFcHotTrackColorType value) { hotTrack_.HotTrackColorType = value; }

  // The window's settings as a stored layout keeps them ("FormSettings"): the width, the
  // height and the window state; descendants append their own.
  virtual std::vector<int> WriteFormSettings() const;
  // Reads what WriteFormSettings wrote; malformed data raises EReadError and changes nothing.
  virtual void ReadFormSettings(const std::vector<int>& data);

  // Fired when the window is set up, before it shows.
  TNotifyEvent OnInitialized;

 protected:
  virtual void DoInitialized();
  // Runs the dialog once.
  virtual bool Run() = 0;
  // The window's placement as the user left it: its normal size, and its state.
  void ReadBackSize(TForm* form);
  // Applies the size (when above 0) and the state to a new window.
  void ApplySize(TForm* form);
  bool Designing() const { return ComponentState().Contains(csDesigning); }

  TFcDialogFrameSettings frame_;
  TFcDialogHotTrackSettings hotTrack_;

 private:
  int formWidth_ = -1;
  int formHeight_ = -1;
  TWindowState formWindowState_ = wsNormal;
};

// ---- The select-folder dialog ---------------------------------------------------------------

class TFcCustomSelectFolderDialog : public TFcShellDialog {
 public:
  static constexpr TFcSelectFolderDialogOptions kDefaultOptions{sfdoContextMenus, sfdoCreateFolderIcon,
                                                                sfdoDeleteFolderIcon, sfdoShowHidden};

  explicit TFcCustomSelectFolderDialog(TComponent* owner);
  ~TFcCustomSelectFolderDialog() override;

  // The window's caption; empty gives "Browse for Folder".
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& value) { title_ = value; }
  TFcSelectFolderDialogOptions Options() const { return options_; }
  void SetOptions(TFcSelectFolderDialogOptions value) { options_ = value; }
  // The tree's root (nothing designated: the desktop); setting it assigns.
  TFcShellLocator* BaseFolder() const { return baseFolder_.get(); }
  void SetBaseFolder(TFcShellLocator* value) { baseFolder_->Assign(value); }
  // The folder selected when the dialog opens, and the one chosen after OK; setting it
  // assigns.
  TFcShellLocator* SelectedFolder() const { return selectedFolder_.get(); }
  void SetSelectedFolder(TFcShellLocator* value) { selectedFolder_->Assign(value); }
  // What the window's status bar shows until a folder is selected.
  const std::string& StatusText() const { return statusText_; }
  void SetStatusText(const std::string& value) { statusText_ = value; }
  // The window while a run shows it; nullptr otherwise.
  TFcSelectFolderForm* Form() const { return form_; }

  TFcShAddItemEvent OnAddItem;
  TNotifyEvent OnFormShow;
  TNotifyEvent OnFormClose;
  TFcFolderBrowseSelChangeEvent OnSelChange;

 protected:
  bool Run() override;
  virtual TFcSelectFolderForm* CreateForm();
  virtual void SetupForm(TFcSelectFolderForm* form);
  // After the modal run: the size and, after OK, the chosen folder.
  virtual void ReadBackForm(TFcSelectFolderForm* form, bool ok);

 private:
  std::string title_;
  TFcSelectFolderDialogOptions options_ = kDefaultOptions;
  std::unique_ptr<TFcShellLocator> baseFolder_;
  std::unique_ptr<TFcShellLocator> selectedFolder_;
  std::string statusText_;
  TFcSelectFolderForm* form_ = nullptr;
};

class TFcSelectFolderDialog : public TFcCustomSelectFolderDialog {
 public:
  using TFcCustomSelectFolderDialog::TFcCustomSelectFolderDialog;
};

// ---- The file dialogs -------------------------------------------------------------------------

class TFcFileDialog : public TFcShellDialog {
 public:
  explicit TFcFileDialog(TComponent* owner);
  ~TFcFileDialog() override;

  std::vector<int> WriteFormSettings() const override;
  void ReadFormSettings(const std::vector<int>& data) override;

  // The position of the bar between the tree and the list; -1 leaves the window's own.
  int FormSplitterPos() const;
  void SetFormSplitterPos(int value);
  // The chosen file type from 1 (the open window's, while it shows).
  int FilterIndex() const;
  void SetFilterIndex(int value);
  TFcOpenSaveOptions Options() const { return options_; }
  void SetOptions(TFcOpenSaveOptions value);
  // Description and mask pairs separated by "|".
  const std::string& Filter() const { return filter_; }
  void SetFilter(const std::string& value);
  const std::string& InitialDir() const { return initialDir_; }
  void SetInitialDir(const std::string& value) { initialDir_ = value; }
  const std::string& DefaultExt() const { return defaultExt_; }
  void SetDefaultExt(const std::string& value) { defaultExt_ = value; }
  int HelpContext() const { return helpContext_; }
  void SetHelpContext(int value) { helpContext_ = value; }
  // The window's caption; empty gives the dialog's own.
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& value) { title_ = value; }
  // While the window shows, the name it holds; otherwise the first chosen file, or empty.
  std::string FileName() const;
  void SetFileName(const std::string& value);
  // The chosen files as full paths.
  const std::vector<std::string>& Files() const { return files_; }
  // Kept for the caller; setting it assigns.
  const std::vector<std::string>& HistoryList() const { return historyList_; }
  void SetHistoryList(const std::vector<std::string>& value) { historyList_ = value; }
  // The window while a run shows it; nullptr otherwise.
  TFcShellOpenSaveForm* Form() const { return form_; }

  // Asked before an item becomes one of the list's, the tree's or the location combo's.
  void SetOnAddListItem(TFcShAddItemEvent value);
  void SetOnAddTreeItem(TFcShAddItemEvent value);
  TFcShAddItemEvent OnAddListItem;
  TFcShAddItemEvent OnAddTreeItem;
  TFcShAddItemEvent OnAddComboItem;
  TFcShellHelpEvent OnHelp;
  TNotifyEvent OnFormShow;
  TNotifyEvent OnFormClose;
  TNotifyEvent OnFolderChanged;
  TNotifyEvent OnSelectionChanged;
  TNotifyEvent OnTypeChanged;

 protected:
  bool Run() override;
  virtual TFcShellOpenSaveForm* CreateForm();
  virtual void SetupForm(TFcShellOpenSaveForm* form);
  virtual void ReadBackForm(TFcShellOpenSaveForm* form);

 private:
  int formSplitterPos_ = -1;
  int filterIndex_ = 1;
  std::vector<std::string> files_;
  std::vector<std::string> historyList_;
  TFcOpenSaveOptions options_;
  std::string filter_;
  std::string initialDir_;
  std::string defaultExt_;
  int helpContext_ = 0;
  std::string title_;
  TFcShellOpenSaveForm* form_ = nullptr;
};

class TFcCustomOpenDialog : public TFcFileDialog {
 public:
  static constexpr TFcOpenSaveOptions kDefaultOptions{osoHideReadOnly, osoAllowTree, osoShowHints,
                                                      osoOleDrag,      osoOleDrop,   osoShowHidden};
  explicit TFcCustomOpenDialog(TComponent* owner);

 protected:
  void SetupForm(TFcShellOpenSaveForm* form) override;
};

class TFcOpenDialog : public TFcCustomOpenDialog {
 public:
  using TFcCustomOpenDialog::TFcCustomOpenDialog;
};

// Registers the dialogs and their windows for stored layouts. Once is enough.
void RegisterFcShellDialogs();
