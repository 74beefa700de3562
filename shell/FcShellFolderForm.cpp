#include "shell/FcShellFolderForm.h"

#include <algorithm>

#include "platform/Guards.h"
#include "platform/Layout.h"
#include "controls/FcRegister.h"
#include "platform/TypInfo.h"
#include "resources/FcShellDialogsIds.h"

const TEnumInfo SelectFolderDialogOptionInfo{
    "TFcSelectFolderDialogOptions",
    {"sfdoCreateDeleteButtons", "sfdoContextMenus", "sfdoReadOnly", "sfdoIncludeNonFolders", "sfdoOleDrag",
     "sfdoOleDrop", "sfdoCreateFolderIcon", "sfdoDeleteFolderIcon", "sfdoVirtualFolders", "sfdoShowHidden"}};

void ApplyHotTrackSettings(TFcCustomButton* button, const TFcDialogHotTrackSettings& s) {
  button->SetHotTrack(s.HotTrack);
  button->SetHighlightColor(s.HighlightColor);
  button->SetHotTrackColor(s.HotTrackColor);
  button->SetHotTrackColorType(s.HotTrackColorType);
}

// ---- Path shortening ------------------------------------------------------------------------

namespace {

const std::string kEllipsisFolder = "...\\";

// The folder part with its first folder given way to "...\"; a part with no folder left
// after the "...\" becomes empty.
std::string CutFirstFolder(std::string folder) {
  if (folder == "\\") return std::string();
  bool rooted = folder.front() == '\\';
  if (rooted) folder.erase(0, 1);
  if (folder.compare(0, kEllipsisFolder.size(), kEllipsisFolder) == 0) folder.erase(0, kEllipsisFolder.size());
  std::size_t slash = folder.find('\\');
  folder = slash == std::string::npos ? std::string() : kEllipsisFolder + folder.substr(slash + 1);
  return rooted ? "\\" + folder : folder;
}

// The shell lets the item of the node be deleted.
bool CanBeDeleted(TFcShellTreeData* data) {
  IShellFolder* parent = data->ParentFolder();
  LPCITEMIDLIST item = data->RelIdList();
  if (!parent || IsEmptyIdList(item)) return false;
  SFGAOF attributes = SFGAO_CANDELETE;
  return SUCCEEDED(parent->GetAttributesOf(1, &item, &attributes)) && (attributes & SFGAO_CANDELETE) != 0;
}

}  // namespace

std::string ShortenPathToFit(const std::string& path, int limit, const std::function<int(const std::string&)>& width) {
  std::string drive;
  std::string rest = path;
  if (rest.size() >= 2 && rest[1] == ':') {
    drive = rest.substr(0, 2);
    rest.erase(0, 2);
  }
  std::size_t lastSlash = rest.rfind('\\');
  std::string folder = lastSlash == std::string::npos ? std::string() : rest.substr(0, lastSlash + 1);
  std::string name = lastSlash == std::string::npos ? rest : rest.substr(lastSlash + 1);

  // Each step gives a folder or the drive away (a network path's leading "\\" costs one step
  // more), so the steps are bounded by the path's length.
  for (std::size_t steps = path.size() + 2; steps > 0; --steps) {
    if ((drive.empty() && folder.empty()) || width(drive + folder + name) <= limit) return drive + folder + name;
    if (folder == "\\" + kEllipsisFolder) {
      drive.clear();
      folder = kEllipsisFolder;
    } else if (!folder.empty()) {
      folder = CutFirstFolder(folder);
    } else {
      drive.clear();
    }
  }
  return name;
}

// ---- TFcSelectFolderForm --------------------------------------------------------------------

TMessageTable& TFcSelectFolderForm::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(WM_GETMINMAXINFO, Handler(&TFcSelectFolderForm::WMGetMinMaxInfo));
    return t;
  }();
  return *table;
}

TFcSelectFolderForm::TFcSelectFolderForm(TComponent* owner) : TForm(owner) {}

void TFcSelectFolderForm::Loaded() {
  TForm::Loaded();
  BtnNewFolder = LayoutComponent<TFcToolButton>(this, "BtnNewFolder");
  BtnDeleteFolder = LayoutComponent<TFcToolButton>(this, "BtnDeleteFolder");
  ShellTree = LayoutComponent<TFcShellTree>(this, "ShellTree");
  ButtonPanel = LayoutComponent<TFcPanel>(this, "ButtonPanel");
  OkBtn = LayoutComponent<TFcButton>(this, "OkBtn");
  CancelBtn = LayoutComponent<TFcButton>(this, "CancelBtn");
  FcStatusBar1 = LayoutComponent<TFcStatusBar>(this, "FcStatusBar1");
  ImageList1 = LayoutComponent<TImageList>(this, "ImageList1");
}

void TFcSelectFolderForm::WMGetMinMaxInfo(TWMObject<MINMAXINFO>& m) {
  Inherited(m);
  MINMAXINFO* info = m.Object;
  info->ptMinTrackSize.x = std::max<LONG>(info->ptMinTrackSize.x, kMinTrackWidth);
  info->ptMinTrackSize.y = std::max<LONG>(info->ptMinTrackSize.y, kMinTrackHeight);
}

void TFcSelectFolderForm::SetOptions(TFcSelectFolderDialogOptions value) {
  options_ = value;
  static const std::pair<TFcSelectFolderDialogOption, TFcShellTreeOption> kTreeOptions[] = {
      {sfdoOleDrag, stoOleDrag},
      {sfdoOleDrop, stoOleDrop},
      {sfdoIncludeNonFolders, stoIncludeNonFolders},
      {sfdoVirtualFolders, stoVirtualFolders},
      {sfdoContextMenus, stoContextMenus},
      {sfdoShowHidden, stoShowHidden},
  };
  TFcShellTreeOptions tree = ShellTree->Options();
  for (const auto& [dialog, treeOption] : kTreeOptions) {
    if (value.Contains(dialog))
      tree += treeOption;
    else
      tree -= treeOption;
  }
  ShellTree->SetOptions(tree);

  bool buttons = value.Contains(sfdoCreateDeleteButtons);
  BtnNewFolder->SetVisible(buttons);
  BtnDeleteFolder->SetVisible(buttons);
  BtnNewFolder->SetImageIndex(value.Contains(sfdoCreateFolderIcon) ? 0 : -1);
  BtnDeleteFolder->SetImageIndex(value.Contains(sfdoDeleteFolderIcon) ? 2 : -1);
  if (!value.Contains(sfdoCreateFolderIcon) || !value.Contains(sfdoDeleteFolderIcon)) {
    BtnNewFolder->SetFlat(false);
    BtnDeleteFolder->SetFlat(false);
  }
  ShellTree->SetReadOnly(value.Contains(sfdoReadOnly));
  FormResize(this);
}

void TFcSelectFolderForm::SetFrameSettings(const TFcDialogFrameSettings& settings) {
  ApplyFrameSettings(ShellTree, settings);
}

void TFcSelectFolderForm::SetHotTrackSettings(const TFcDialogHotTrackSettings& settings) {
  ApplyHotTrackSettings(OkBtn, settings);
  ApplyHotTrackSettings(CancelBtn, settings);
}

void TFcSelectFolderForm::SetStatusText(const std::string& text) { FcStatusBar1->SetSimpleCaption(text); }

// ---- Handlers --------------------------------------------------------------------------------

void TFcSelectFolderForm::FormCreate(TObject*) {
  ShellTree->SetShowRoot(true);
  // Below the button panel, whatever order the layout gave them.
  FcStatusBar1->SetTop(ClientHeight());
}

void TFcSelectFolderForm::DoShow() {
  TForm::DoShow();
  Font()->SetName(LoadResString(IDS_SHDLG_FONT));
  ShellTree->SetOptions(ShellTree->Options() + stoAutoFill);
  ShellTree->FillTree();
  OkBtn->SetCaption(LoadResString(IDS_SHDLG_OK));
  CancelBtn->SetCaption(LoadResString(IDS_SHDLG_CANCEL));
  BtnNewFolder->SetCaption(LoadResString(IDS_SHDLG_CREATE_FOLDER));
  BtnDeleteFolder->SetCaption(LoadResString(IDS_SHDLG_DELETE));
  if (Caption().empty()) SetCaption(LoadResString(IDS_SHDLG_BROWSE_FOR_FOLDER));
  if (OnFormShow) OnFormShow(this);
}

void TFcSelectFolderForm::DoHide() {
  TForm::DoHide();
  if (OnFormClose) OnFormClose(this);
}

void TFcSelectFolderForm::FormResize(TObject*) {
  if (!ShellTree) return;
  int top = 8;
  if (BtnNewFolder->Visible())
    top = BtnNewFolder->Top() + BtnNewFolder->Height() + 4;
  else if (BtnDeleteFolder->Visible())
    top = BtnDeleteFolder->Top() + BtnDeleteFolder->Height() + 4;
  ShellTree->SetBounds(ShellTree->Left(), top, Width() - 24, std::max(0, ButtonPanel->Top() - 4 - top));
  CancelBtn->SetLeft(ButtonPanel->ClientWidth() - 8 - CancelBtn->Width());
  OkBtn->SetLeft(CancelBtn->Left() - 8 - OkBtn->Width());
  ShowStatusPath(ShellTree->Selected());
}

void TFcSelectFolderForm::ShellTreeChange(TObject*, TTreeNode* node) {
  TFcShellTreeData* data = ShellTree->NodeData(node);
  if (!data) return;
  std::string path = data->PathName();
  ShowStatusPath(node);
  BtnNewFolder->SetEnabled(!path.empty());
  // Only what the shell lets go: its menus offer "delete" for drives and special folders too.
  BtnDeleteFolder->SetEnabled(!path.empty() && node != ShellTree->Items()->GetFirstNode() &&
                              CanBeDeleted(data));
  if (OnSelChange) OnSelChange(this, data->AbsIdList());
}

void TFcSelectFolderForm::ShowStatusPath(TTreeNode* node) {
  TFcShellTreeData* data = ShellTree->NodeData(node);
  if (!data) return;
  TMeasureDC screen;
  TSelectObject font(screen, Font()->Handle());
  auto width = [&](const std::string& text) {
    SIZE size{};
    GetTextExtentPoint32A(screen, text.c_str(), static_cast<int>(text.size()), &size);
    return static_cast<int>(size.cx);
  };
  SetStatusText(ShortenPathToFit(data->PathName(), FcStatusBar1->Width() - 20, width));
}

void TFcSelectFolderForm::CreateBtnClick(TObject*) { ShellTree->CreateNewFolder(); }

void TFcSelectFolderForm::DeleteBtnClick(TObject*) {
  if (TTreeNode* node = ShellTree->Selected()) ShellTree->ExecuteVerb(node, "delete");
}

// ---- Registration ------------------------------------------------------------------------------

void RegisterFcShellFolderForm() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterForms();
  RegisterControlLibrary();
  RegisterFcShellTree();
  using F = TFcSelectFolderForm;
  RegisterClassInfo<F, TForm>("TFcSelectFolderForm")
      .Handler("FormCreate", &F::FormCreate)
      .Handler("FormResize", &F::FormResize)
      .Handler("ShellTreeChange", &F::ShellTreeChange)
      .Handler("CreateBtnClick", &F::CreateBtnClick)
      .Handler("DeleteBtnClick", &F::DeleteBtnClick);
}
