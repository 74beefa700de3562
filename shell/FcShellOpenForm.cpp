#include "shell/FcShellOpenForm.h"

#include <algorithm>

#include "controls/FcRegister.h"
#include "platform/Guards.h"
#include "platform/Layout.h"
#include "platform/TypInfo.h"
#include "resources/FcShellDialogsIds.h"
#include "shell/FcShellRegister.h"
#include "shell/FcShellUtils.h"

const TEnumInfo OpenSaveOptionInfo{
    "TFcOpenSaveOptions",
    {"osoAllowMultiselect", "osoCreatePrompt", "osoExtensionDifferent", "osoFileMustExist", "osoHideReadOnly",
     "osoNoChangeDir", "osoNoDereferenceLinks", "osoNoReadOnlyReturn", "osoNoTestFileCreate", "osoNoValidate",
     "osoOverwritePrompt", "osoReadOnly", "osoPathMustExist", "osoShareAware", "osoShowHelp", "osoAllowTree",
     "osoShowTree", "osoShowHints", "osoHideFoldersInListWhenTreeVisible", "osoOleDrag", "osoOleDrop",
     "osoShowHidden"}};

namespace {

// The special folders of the jump buttons and the desktop button, by the buttons' tags.
const int kJumpFolders[] = {CSIDL_RECENT, CSIDL_DESKTOP, CSIDL_PERSONAL, CSIDL_DRIVES, CSIDL_NETWORK};

int JumpFolder(const TComponent* button) {
  int tag = button ? button->Tag() : 1;
  return kJumpFolders[tag >= 0 && tag < 5 ? tag : 1];
}

constexpr int kSizeGrip = 13;

}  // namespace

TFcShellOpenSaveForm::TFcShellOpenSaveForm(TComponent* owner) : TForm(owner) {}

TFcShellOpenSaveForm::~TFcShellOpenSaveForm() = default;

void TFcShellOpenSaveForm::Loaded() {
  TForm::Loaded();
  PnlJumps = LayoutComponent<TFcPanel>(this, "PnlJumps");
  BtnJumpRecent = LayoutComponent<TFcToolButton>(this, "BtnJumpRecent");
  BtnJumpDesktop = LayoutComponent<TFcToolButton>(this, "BtnJumpDesktop");
  BtnJumpDocuments = LayoutComponent<TFcToolButton>(this, "BtnJumpDocuments");
  BtnJumpComputer = LayoutComponent<TFcToolButton>(this, "BtnJumpComputer");
  BtnJumpNetwork = LayoutComponent<TFcToolButton>(this, "BtnJumpNetwork");
  LookInTxt = LayoutComponent<TLabel>(this, "LookInTxt");
  PnlWork = LayoutComponent<TFcPanel>(this, "PnlWork");
  UpOneLevelBtn = LayoutComponent<TFcToolButton>(this, "UpOneLevelBtn");
  CreateNewFolderBtn = LayoutComponent<TFcToolButton>(this, "CreateNewFolderBtn");
  ListBtn = LayoutComponent<TFcToolButton>(this, "ListBtn");
  DetailsBtn = LayoutComponent<TFcToolButton>(this, "DetailsBtn");
  ShowDesktopBtn = LayoutComponent<TFcToolButton>(this, "ShowDesktopBtn");
  ShowTreeBtn = LayoutComponent<TFcToolButton>(this, "ShowTreeBtn");
  ShellCombo = LayoutComponent<TFcShellCombo>(this, "ShellCombo");
  FcSplitter1 = LayoutComponent<TFcSplitter>(this, "FcSplitter1");
  ShellTree = LayoutComponent<TFcShellTree>(this, "ShellTree");
  ShellList = LayoutComponent<TFcShellList>(this, "ShellList");
  PnlEdits = LayoutComponent<TFcPanel>(this, "PnlEdits");
  FileNameTxt = LayoutComponent<TLabel>(this, "FileNameTxt");
  FilesOfTypeTxt = LayoutComponent<TLabel>(this, "FilesOfTypeTxt");
  FileNameEdt = LayoutComponent<TFcEdit>(this, "FileNameEdt");
  FileNameCbx = LayoutComponent<TFcComboBox>(this, "FileNameCbx");
  FileTypesCbx = LayoutComponent<TFcComboBox>(this, "FileTypesCbx");
  OpenBtn = LayoutComponent<TFcButton>(this, "OpenBtn");
  CancelBtn = LayoutComponent<TFcButton>(this, "CancelBtn");
  ReadOnlyChk = LayoutComponent<TFcCheckBox>(this, "ReadOnlyChk");
  HelpBtn = LayoutComponent<TFcButton>(this, "HelpBtn");
  LvPopup = LayoutComponent<TPopupMenu>(this, "LvPopup");
  ImageList1 = LayoutComponent<TImageList>(this, "ImageList1");
  // Without the tree the combo leads the list.
  ShellCombo->SetShellList(ShellList);
  // Opening a file in the list chooses it: the dialog ends through its close query instead
  // of running the file.
  ShellList->OnDblClickOpen = [this](TObject*, bool& handled) {
    handled = true;
    SetModalResult(mrOk);
  };
}

// ---- Creation and the window ---------------------------------------------------------------

void TFcShellOpenSaveForm::FormCreate(TObject*) {
  ImageList1->SetShareImages(true);
  ImageList1->SetHandle(ShellGetSystemImageList(0));
  for (TFcToolButton* button : {BtnJumpRecent, BtnJumpDesktop, BtnJumpDocuments, BtnJumpComputer, BtnJumpNetwork}) {
    LPITEMIDLIST raw = nullptr;
    if (FAILED(ShellGetSpecialFolderIdList(nullptr, JumpFolder(button), &raw))) continue;
    TIdListPtr list(raw);
    SHFILEINFOA info{};
    if (ShellGetFileInfo(list.get(), SHGFI_DISPLAYNAME, info)) button->SetCaption(info.szDisplayName);
    button->SetImages(ImageList1);
    button->SetImageIndex(ShellGetIconIndex(list.get(), SHGFI_SMALLICON));
  }
}

void TFcShellOpenSaveForm::CreateWnd() {
  TForm::CreateWnd();
  // The size grip in the corner; it goes with the window.
  RECT client = GetClientRect();
  sizeGrip_ = CreateWindowExA(0, "SCROLLBAR", nullptr, WS_CHILD | WS_VISIBLE | SBS_SIZEGRIP,
                              client.right - kSizeGrip, client.bottom - kSizeGrip, kSizeGrip, kSizeGrip, Handle(),
                              nullptr, GetModuleHandleA(nullptr), nullptr);
}

void TFcShellOpenSaveForm::PlaceSizeGrip() {
  if (!sizeGrip_ || !HandleAllocated()) return;
  RECT client = GetClientRect();
  SetWindowPos(sizeGrip_, HWND_TOP, client.right - kSizeGrip, client.bottom - kSizeGrip, kSizeGrip, kSizeGrip,
               SWP_NOACTIVATE);
}

void TFcShellOpenSaveForm::FormResize(TObject*) {
  if (!FcSplitter1) return;
  int top = ShellCombo->Top() + ShellCombo->Height() + 8;
  FcSplitter1->SetBounds(0, top, std::max(0, PnlWork->ClientWidth() - 8), std::max(0, PnlEdits->Top() - top));
  for (TFcButton* button : {OpenBtn, CancelBtn, HelpBtn})
    button->SetLeft(PnlWork->ClientWidth() - 16 - button->Width());
  for (TWinControl* field : {static_cast<TWinControl*>(FileNameEdt), static_cast<TWinControl*>(FileNameCbx),
                             static_cast<TWinControl*>(FileTypesCbx)})
    field->SetWidth(std::max(0, OpenBtn->Left() - 8 - field->Left()));
  PlaceSizeGrip();
}

void TFcShellOpenSaveForm::SetFrameSettings(const TFcDialogFrameSettings& settings) {
  ApplyFrameSettings(ShellCombo, settings);
  ApplyFrameSettings(ShellTree, settings);
  ApplyFrameSettings(ShellList, settings);
  ApplyFrameSettings(FileNameEdt, settings);
  ApplyFrameSettings(FileNameCbx, settings);
  ApplyFrameSettings(FileTypesCbx, settings);
  // Flat drop-down buttons go with visible frames.
  ShellCombo->SetFlatButtons(settings.FrameVisible);
  FileNameCbx->SetFlatButtons(settings.FrameVisible);
  FileTypesCbx->SetFlatButtons(settings.FrameVisible);
}

void TFcShellOpenSaveForm::SetHotTrackSettings(const TFcDialogHotTrackSettings& settings) {
  for (TFcCustomButton* button : {static_cast<TFcCustomButton*>(ReadOnlyChk), static_cast<TFcCustomButton*>(OpenBtn),
                                  static_cast<TFcCustomButton*>(CancelBtn), static_cast<TFcCustomButton*>(HelpBtn)})
    ApplyHotTrackSettings(button, settings);
}

// ---- Options ----------------------------------------------------------------------------------

void TFcShellOpenSaveForm::SetOptions(TFcOpenSaveOptions value) {
  options_ = value;
  ShellList->SetMultiSelect(value.Contains(osoAllowMultiselect));
  TFcShellTreeOptions tree = ShellTree->Options();
  TFcShellListOptions list = ShellList->Options();
  auto follow = [&](TFcOpenSaveOption option, TFcShellTreeOption treeOption, TFcShellListOption listOption) {
    if (value.Contains(option)) {
      tree += treeOption;
      list += listOption;
    } else {
      tree -= treeOption;
      list -= listOption;
    }
  };
  follow(osoOleDrag, stoOleDrag, sloOleDrag);
  follow(osoOleDrop, stoOleDrop, sloOleDrop);
  follow(osoShowHidden, stoShowHidden, sloShowHidden);
  if (value.Contains(osoHideFoldersInListWhenTreeVisible))
    list += sloHideFoldersWhenLinkedToTree;
  else
    list -= sloHideFoldersWhenLinkedToTree;
  ShellTree->SetOptions(tree);
  ShellList->SetOptions(list);
  ReadOnlyChk->SetVisible(!value.Contains(osoHideReadOnly));
  ReadOnlyChk->SetChecked(value.Contains(osoReadOnly));
  HelpBtn->SetVisible(value.Contains(osoShowHelp));
  SetShowHint(value.Contains(osoShowHints));
}

void TFcShellOpenSaveForm::ReadOnlyChkClick(TObject*) {
  if (ReadOnlyChk->Checked())
    options_ += osoReadOnly;
  else
    options_ -= osoReadOnly;
}

// ---- File types ---------------------------------------------------------------------------------

void TFcShellOpenSaveForm::SetFilter(const std::string& value) {
  filter_ = value;
  masks_.clear();
  FileTypesCbx->Items()->Clear();
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= value.size() && !value.empty()) {
    std::size_t bar = value.find('|', start);
    if (bar == std::string::npos) bar = value.size();
    parts.push_back(value.substr(start, bar - start));
    start = bar + 1;
  }
  for (std::size_t i = 0; i < parts.size(); i += 2) {
    FileTypesCbx->Items()->Add(parts[i]);
    masks_.push_back(i + 1 < parts.size() ? parts[i + 1] : std::string());
  }
  SetFilterIndex(filterIndex_);
}

int TFcShellOpenSaveForm::FilterIndex() const { return masks_.empty() ? 0 : FileTypesCbx->ItemIndex() + 1; }

void TFcShellOpenSaveForm::SetFilterIndex(int value) {
  filterIndex_ = value;
  if (masks_.empty()) {
    ApplyType(-1);
    return;
  }
  // Only a type's mask ever filters the list: an index outside the types chooses the first.
  int index = value >= 1 && value <= static_cast<int>(masks_.size()) ? value - 1 : 0;
  FileTypesCbx->SetItemIndex(index);
  ApplyType(index);
}

void TFcShellOpenSaveForm::FileTypesCbxSelEndOk(TObject*) { ApplyType(FileTypesCbx->ItemIndex()); }

void TFcShellOpenSaveForm::ApplyType(int index) {
  if (!typedFilter_.empty()) {
    typedFilter_.clear();
    FileNameEdt->SetText("");
  }
  ShellList->SetFileFilter(index >= 0 && index < static_cast<int>(masks_.size()) ? masks_[index] : std::string());
  if (shown_) DoTypeChanged();
}

int TFcShellOpenSaveForm::SplitterPos() const { return FcSplitter1->Position(); }

void TFcShellOpenSaveForm::SetSplitterPos(int value) { FcSplitter1->SetPosition(value); }

// ---- Names ------------------------------------------------------------------------------------

std::string TFcShellOpenSaveForm::FileName() const {
  return files_.empty() ? FileNameEdt->Text() : files_.front();
}

void TFcShellOpenSaveForm::SetFileName(const std::string& value) { FileNameEdt->SetText(value); }

void TFcShellOpenSaveForm::FileNameEdtChange(TObject*) {
  if (!settingName_) nameFromList_ = false;
}

void TFcShellOpenSaveForm::ShellListChange(TObject*, TListItem*, TItemChange change) {
  if (!shown_ || change != ctState) return;
  std::vector<std::string> names;
  for (TListItem* item : ShellList->SelectedShellItems()) {
    TFcShellListData* data = ShellList->ShellData(item);
    if (data && !data->IsFolder()) names.push_back(data->FileName());
  }
  if (names.empty()) return;
  std::string text;
  if (names.size() == 1) {
    text = names.front();
  } else {
    for (const std::string& name : names) text += (text.empty() ? "\"" : " \"") + name + "\"";
  }
  {
    TRestore<bool> setting(settingName_, true);
    FileNameEdt->SetText(text);
  }
  nameFromList_ = true;
  DoSelectionChanged();
}

void TFcShellOpenSaveForm::ShellListFolderChanged(TObject*) {
  if (shown_) DoFolderChanged();
}

void TFcShellOpenSaveForm::ShellTreeChange(TObject*, TTreeNode*) {}

void TFcShellOpenSaveForm::DoTypeChanged() {
  if (OnTypeChanged) OnTypeChanged(this);
}

void TFcShellOpenSaveForm::DoFolderChanged() {
  if (OnFolderChanged) OnFolderChanged(this);
}

void TFcShellOpenSaveForm::DoSelectionChanged() {
  if (OnSelectionChanged) OnSelectionChanged(this);
}

// ---- Showing ------------------------------------------------------------------------------------

void TFcShellOpenSaveForm::DoShow() {
  TTemporaryCursor hourglass(crHourGlass);
  TForm::DoShow();
  Font()->SetName(LoadResString(IDS_SHDLG_FONT));
  SendMessageA(FileTypesCbx->Handle(), CB_SETEXTENDEDUI, TRUE, 0);
  if (!options_.Contains(osoAllowTree) && ShowTreeBtn->Visible()) {
    ShowTreeBtn->SetVisible(false);
    ListBtn->SetLeft(ListBtn->Left() - ShowTreeBtn->Width());
    DetailsBtn->SetLeft(DetailsBtn->Left() - ShowTreeBtn->Width());
  }
  SetCaptions();
  PlaceEdits();
  int lowest = 0;
  for (int i = 0; i < PnlEdits->ControlCount(); ++i) {
    TControl* c = PnlEdits->Controls(i);
    if (c->Visible()) lowest = std::max(lowest, c->Top() + c->Height());
  }
  PnlEdits->SetHeight(lowest + 8);
  SetTreeShown(options_.Contains(osoAllowTree) && options_.Contains(osoShowTree));

  std::string start = initialDir_;
  std::string name = FileNameEdt->Text();
  if (start.empty() && !ExtractFilePath(name).empty()) {
    start = ExtractFilePath(name);
    FileNameEdt->SetText(ExtractFileName(name));
  }
  if (start.empty()) {
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    start = current;
  }
  GoToFolder(start);
  shown_ = true;
  if (OnFormShow) OnFormShow(this);
}

void TFcShellOpenSaveForm::DoHide() {
  TForm::DoHide();
  shown_ = false;
  if (OnFormClose) OnFormClose(this);
}

void TFcShellOpenSaveForm::SetCaptions() {
  CancelBtn->SetCaption(LoadResString(IDS_SHDLG_CANCEL));
  HelpBtn->SetCaption(LoadResString(IDS_SHDLG_HELP));
  UpOneLevelBtn->SetHint(LoadResString(IDS_SHDLG_UP_ONE_LEVEL));
  CreateNewFolderBtn->SetHint(LoadResString(IDS_SHDLG_CREATE_NEW_FOLDER));
  ShowTreeBtn->SetHint(LoadResString(IDS_SHDLG_SHOW_TREE));
  ListBtn->SetHint(LoadResString(IDS_SHDLG_LIST) + "|" + LoadResString(IDS_SHDLG_LIST_HINT));
  DetailsBtn->SetHint(LoadResString(IDS_SHDLG_DETAILS) + "|" + LoadResString(IDS_SHDLG_DETAILS_HINT));
  ReadOnlyChk->SetCaption(LoadResString(IDS_SHDLG_READ_ONLY));
  FileNameTxt->SetCaption(LoadResString(IDS_SHDLG_FILE_NAME));
  static const struct {
    const char* item;
    UINT caption, hint;
  } kMenu[] = {
      {"View1Mitm", IDS_SHDLG_MENU_VIEW, IDS_SHDLG_HINT_VIEW},
      {"LargeIcons1Mitm", IDS_SHDLG_MENU_LARGE_ICONS, IDS_SHDLG_HINT_LARGE_ICONS},
      {"SmallIcons1Mitm", IDS_SHDLG_MENU_SMALL_ICONS, IDS_SHDLG_HINT_SMALL_ICONS},
      {"List1Mitm", IDS_SHDLG_MENU_LIST, IDS_SHDLG_HINT_LIST},
      {"Details1Mitm", IDS_SHDLG_MENU_DETAILS, IDS_SHDLG_HINT_DETAILS},
      {"Paste1Mitm", IDS_SHDLG_MENU_PASTE, IDS_SHDLG_HINT_PASTE},
      {"New1Mitm", IDS_SHDLG_MENU_NEW, IDS_SHDLG_HINT_NEW},
      {"Folder1Mitm", IDS_SHDLG_MENU_FOLDER, IDS_SHDLG_HINT_FOLDER},
      {"Properties1Mitm", IDS_SHDLG_MENU_PROPERTIES, IDS_SHDLG_HINT_PROPERTIES},
  };
  for (const auto& m : kMenu) {
    auto* item = LayoutComponent<TMenuItem>(this, m.item);
    item->SetCaption(LoadResString(m.caption));
    item->SetHint(LoadResString(m.hint));
  }
}

// The type list, the name field and the read-only box start 8 pixels right of the wider label.
void TFcShellOpenSaveForm::PlaceEdits() {
  int left = std::max(FileNameTxt->Left() + FileNameTxt->Width(), FilesOfTypeTxt->Left() + FilesOfTypeTxt->Width()) + 8;
  for (TControl* c : {static_cast<TControl*>(FileTypesCbx), static_cast<TControl*>(FileNameEdt),
                      static_cast<TControl*>(FileNameCbx), static_cast<TControl*>(ReadOnlyChk)}) {
    int right = c->Left() + c->Width();
    c->SetBounds(left, c->Top(), std::max(0, right - left), c->Height());
  }
}

// ---- The tree ---------------------------------------------------------------------------------------

void TFcShellOpenSaveForm::SetTreeShown(bool value) {
  if (value) {
    ShowTreeBtn->SetDown(true);
    FcSplitter1->UpperLeftPane()->SetVisible(true);
    ShellTree->SelectedFolder()->SetIdList(ShellCombo->SelectedFolder()->IdList());
    // The combo and the tree lead each other, and the tree leads the list.
    ShellCombo->SetShellList(nullptr);
    ShellCombo->SetShellTree(ShellTree);
    ShellTree->SetShellList(ShellList);
    options_ += osoShowTree;
    ShellTree->SetTabStop(true);
  } else {
    ShowTreeBtn->SetDown(false);
    if (ShellTree->Focused() && ShellList->CanFocus()) ShellList->SetFocus();
    ShellTree->SetShellList(nullptr);
    ShellCombo->SetShellTree(nullptr);
    ShellCombo->SetShellList(ShellList);
    FcSplitter1->UpperLeftPane()->SetVisible(false);
    options_ -= osoShowTree;
  }
}

void TFcShellOpenSaveForm::ShowTreeBtnClick(TObject*) { SetTreeShown(!TreeShown()); }

// ---- Keys and buttons ---------------------------------------------------------------------------------

void TFcShellOpenSaveForm::FormKeyDown(TObject*, WORD& key, TShiftState shift) {
  if (!shift.Empty()) return;
  switch (key) {
    case VK_F4:
      if (!ShellCombo->DroppedDown()) {
        // The keys go where the list is: the arrows, Enter and Escape act in it.
        if (ShellCombo->CanFocus()) ShellCombo->SetFocus();
        ShellCombo->SetDroppedDown(true);
      } else {
        ShellCombo->SetDroppedDown(false);
        if (ShellList->CanFocus()) ShellList->SetFocus();
        int index = ShellCombo->ItemIndex();
        if (TFcShellComboData* data = ShellCombo->ShellData(index))
          ShellCombo->SelectedFolder()->SetIdList(data->AbsIdList());
      }
      key = 0;
      break;
    case VK_F5:
      if (!ShellCombo->Focused()) ShellCombo->Fill();
      if (!ShellList->Focused()) ShellList->RefreshItems();
      if (ShellTree->ShellList() == ShellList && !ShellTree->Focused()) ShellTree->RefreshNodes();
      break;
    case VK_F12:
      if (options_.Contains(osoAllowTree)) {
        SetTreeShown(!TreeShown());
        key = 0;
      }
      break;
    default: break;
  }
}

void TFcShellOpenSaveForm::GoToFolder(const std::string& path) {
  TIdListPtr list;
  LPITEMIDLIST raw = nullptr;
  if (SUCCEEDED(ShellGetIdListFromPath(path, &raw))) list.reset(raw);
  if (list) GoToFolder(list.get());
}

void TFcShellOpenSaveForm::GoToFolder(LPCITEMIDLIST list) { ShellCombo->SelectedFolder()->SetIdList(list); }

std::string TFcShellOpenSaveForm::ListFolderPath() {
  return ExcludeTrailingBackslash(ShellList->Folder()->PathName());
}

void TFcShellOpenSaveForm::UpOneLevelBtnClick(TObject*) { ShellCombo->GoUp(1); }

void TFcShellOpenSaveForm::ShowDesktopBtnClick(TObject* sender) { BtnJumpClick(sender); }

void TFcShellOpenSaveForm::BtnJumpClick(TObject* sender) {
  LPITEMIDLIST raw = nullptr;
  if (FAILED(ShellGetSpecialFolderIdList(nullptr, JumpFolder(dynamic_cast<TComponent*>(sender)), &raw))) return;
  TIdListPtr list(raw);
  GoToFolder(list.get());
}

void TFcShellOpenSaveForm::ViewBtnClick(TObject* sender) {
  auto* component = dynamic_cast<TComponent*>(sender);
  int style = component ? component->Tag() : vsList;
  if (style < vsIcon || style > vsReport) return;
  ShellList->SetViewStyle(static_cast<TViewStyle>(style));
  ListBtn->SetDown(style == vsList);
  DetailsBtn->SetDown(style == vsReport);
  static const char* const kItems[] = {"LargeIcons1Mitm", "SmallIcons1Mitm", "List1Mitm", "Details1Mitm"};
  LayoutComponent<TMenuItem>(this, kItems[style])->SetChecked(true);
}

void TFcShellOpenSaveForm::CreateNewFolderBtnClick(TObject*) {
  if (ShellTree->Focused() || (TreeShown() && options_.Contains(osoHideFoldersInListWhenTreeVisible)))
    ShellTree->CreateNewFolder();
  else
    ShellList->CreateNewFolder(true);
}

void TFcShellOpenSaveForm::HelpBtnClick(TObject*) {
  if (OnHelp) OnHelp(this, helpContext_);
}

void TFcShellOpenSaveForm::Paste1MitmClick(TObject*) { ShellList->ExecuteVerbOnFolder("paste"); }

void TFcShellOpenSaveForm::Properties1MitmClick(TObject*) { ShellList->ExecuteVerbOnFolder("properties"); }

// ---- Registration ------------------------------------------------------------------------------------

void RegisterFcShellOpenForm() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterForms();
  RegisterControlLibrary();
  RegisterShellControls();
  using F = TFcShellOpenSaveForm;
  RegisterClassInfo<F, TForm>("TFcShellOpenSaveForm")
      .Handler("FormCreate", &F::FormCreate)
      .Handler("FormResize", &F::FormResize)
      .Handler("FormKeyDown", &F::FormKeyDown)
      .Handler("FormCloseQuery", &F::FormCloseQuery)
      .Handler("BtnJumpClick", &F::BtnJumpClick)
      .Handler("ViewBtnClick", &F::ViewBtnClick)
      .Handler("UpOneLevelBtnClick", &F::UpOneLevelBtnClick)
      .Handler("ShowTreeBtnClick", &F::ShowTreeBtnClick)
      .Handler("ShowDesktopBtnClick", &F::ShowDesktopBtnClick)
      .Handler("CreateNewFolderBtnClick", &F::CreateNewFolderBtnClick)
      .Handler("FileTypesCbxSelEndOk", &F::FileTypesCbxSelEndOk)
      .Handler("FileNameEdtChange", &F::FileNameEdtChange)
      .Handler("ShellListChange", &F::ShellListChange)
      .Handler("ShellListFolderChanged", &F::ShellListFolderChanged)
      .Handler("ShellTreeChange", &F::ShellTreeChange)
      .Handler("ReadOnlyChkClick", &F::ReadOnlyChkClick)
      .Handler("HelpBtnClick", &F::HelpBtnClick)
      .Handler("Paste1MitmClick", &F::Paste1MitmClick)
      .Handler("Properties1MitmClick", &F::Properties1MitmClick);
}
