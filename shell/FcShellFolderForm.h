// The select-folder window: a shell tree to pick a folder in, buttons that make and delete
// folders, OK and Cancel, and a status bar with the chosen folder's path shortened to fit.
// Also the frame and hot-track settings the shell dialogs hand to both of their windows.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <functional>
#include <string>

#include "controls/FcButton.h"
#include "controls/FcCommon.h"
#include "controls/FcPanel.h"
#include "platform/Forms.h"
#include "platform/ImgList.h"
#include "platform/Sets.h"
#include "shell/FcShellTree.h"

// ---- Settings the dialogs hand to their windows -----------------------------------------------

// The frame of the windows' tree, list, combo boxes and edits.
struct TFcDialogFrameSettings {
  TColor FrameColor = clBtnShadow;
  TFrameStyle FrameStyle = fsFlat;
  bool FrameVisible = false;
  TFramingPreference FramingPreference = fpXPThemes;
};

// The hot look of the windows' push buttons and check box.
struct TFcDialogHotTrackSettings {
  bool HotTrack = false;
  TColor HighlightColor = clHighlight;
  TColor HotTrackColor = clHighlight;
  TFcHotTrackColorType HotTrackColorType = htctComplement;
};

template <class C>
void ApplyFrameSettings(C* control, const TFcDialogFrameSettings& s) {
  control->SetFrameColor(s.FrameColor);
  control->SetFrameStyle(s.FrameStyle);
  control->SetFramingPreference(s.FramingPreference);
  control->SetFrameVisible(s.FrameVisible);
}

void ApplyHotTrackSettings(TFcCustomButton* button, const TFcDialogHotTrackSettings& s);

// ---- Options --------------------------------------------------------------------------------

enum TFcSelectFolderDialogOption {
  // The "Create Folder" and "Delete" buttons are shown.
  sfdoCreateDeleteButtons,
  sfdoContextMenus,
  sfdoReadOnly,
  sfdoIncludeNonFolders,
  sfdoOleDrag,
  sfdoOleDrop,
  // The buttons show their pictures; without both they are drawn raised.
  sfdoCreateFolderIcon,
  sfdoDeleteFolderIcon,
  sfdoVirtualFolders,
  sfdoShowHidden,
};
using TFcSelectFolderDialogOptions = TSet<TFcSelectFolderDialogOption>;
extern const TEnumInfo SelectFolderDialogOptionInfo;

// The folder chosen in the tree, as its absolute item-ID list.
using TFcFolderBrowseSelChangeEvent = std::function<void(TObject* sender, LPCITEMIDLIST newSel)>;

// ---- Path shortening ------------------------------------------------------------------------

// The path made to fit `limit` pixels as `width` measures texts: leading folders give way to
// "...\" one by one, then the drive; the file or folder name itself is always kept whole.
std::string ShortenPathToFit(const std::string& path, int limit, const std::function<int(const std::string&)>& width);

// ---- The window -----------------------------------------------------------------------------

class TFcSelectFolderForm : public TForm {
  MESSAGE_TABLE(TForm)

 public:
  explicit TFcSelectFolderForm(TComponent* owner);

  // The window cannot be made smaller than this.
  static constexpr int kMinTrackWidth = 366;
  static constexpr int kMinTrackHeight = 340;

  TFcSelectFolderDialogOptions Options() const { return options_; }
  // Sets the tree's options that the dialog's options stand for (the others stay), shows or
  // hides the folder buttons and their pictures, and makes the tree read-only or not.
  virtual void SetOptions(TFcSelectFolderDialogOptions value);
  void SetFrameSettings(const TFcDialogFrameSettings& settings);
  void SetHotTrackSettings(const TFcDialogHotTrackSettings& settings);
  void SetStatusText(const std::string& text);

  // Takes the layout's controls into the fields below.
  void Loaded() override;

  // ---- Controls of the layout
  TFcToolButton* BtnNewFolder = nullptr;
  TFcToolButton* BtnDeleteFolder = nullptr;
  TFcShellTree* ShellTree = nullptr;
  TFcPanel* ButtonPanel = nullptr;
  TFcButton* OkBtn = nullptr;
  TFcButton* CancelBtn = nullptr;
  TFcStatusBar* FcStatusBar1 = nullptr;
  TImageList* ImageList1 = nullptr;

  // ---- Handlers of the layout
  void FormCreate(TObject* sender);
  void FormResize(TObject* sender);
  void ShellTreeChange(TObject* sender, TTreeNode* node);
  void CreateBtnClick(TObject* sender);
  void DeleteBtnClick(TObject* sender);

  TFcFolderBrowseSelChangeEvent OnSelChange;
  TNotifyEvent OnFormShow;
  TNotifyEvent OnFormClose;

 protected:
  void DoShow() override;
  void DoHide() override;
  void WMGetMinMaxInfo(TWMObject<MINMAXINFO>& m);

 private:
  // The selected node's path, shortened for the status bar's width now.
  void ShowStatusPath(TTreeNode* node);

  TFcSelectFolderDialogOptions options_;
};

// Registers the window and its controls for stored layouts. Once is enough.
void RegisterFcShellFolderForm();
