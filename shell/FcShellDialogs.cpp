#include "shell/FcShellDialogs.h"

#include "platform/ComCtrls.h"
#include "platform/Guards.h"
#include "platform/TypInfo.h"
#include "resources/FcShellDialogsIds.h"

// ---- TFcShellDialog ---------------------------------------------------------------------------

TFcShellDialog::TFcShellDialog(TComponent* owner) : TComponent(owner) {}

bool TFcShellDialog::Execute() { return Run(); }

void TFcShellDialog::DoInitialized() {
  if (OnInitialized) OnInitialized(this);
}

std::vector<int> TFcShellDialog::WriteFormSettings() const {
  return {formWidth_, formHeight_, static_cast<int>(formWindowState_)};
}

void TFcShellDialog::ReadFormSettings(const std::vector<int>& data) {
  if (data.size() < 3 || data[2] < wsNormal || data[2] > wsMaximized)
    throw EReadError("Invalid form settings of " + Name());
  formWidth_ = data[0];
  formHeight_ = data[1];
  formWindowState_ = static_cast<TWindowState>(data[2]);
}

void TFcShellDialog::ApplySize(TForm* form) {
  int width = formWidth_ > 0 ? formWidth_ : form->Width();
  int height = formHeight_ > 0 ? formHeight_ : form->Height();
  form->SetBounds(form->Left(), form->Top(), width, height);
  form->SetWindowState(formWindowState_);
}

void TFcShellDialog::ReadBackSize(TForm* form) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  if (form->HandleAllocated() && GetWindowPlacement(form->Handle(), &placement)) {
    formWidth_ = placement.rcNormalPosition.right - placement.rcNormalPosition.left;
    formHeight_ = placement.rcNormalPosition.bottom - placement.rcNormalPosition.top;
  }
  formWindowState_ = form->WindowState();
}

// ---- The select-folder dialog ---------------------------------------------------------------

TFcCustomSelectFolderDialog::TFcCustomSelectFolderDialog(TComponent* owner)
    : TFcShellDialog(owner),
      baseFolder_(std::make_unique<TFcShellLocator>()),
      selectedFolder_(std::make_unique<TFcShellLocator>()) {}

TFcCustomSelectFolderDialog::~TFcCustomSelectFolderDialog() = default;

bool TFcCustomSelectFolderDialog::Run() {
  if (form_) throw Exception(LoadResString(IDS_SHDLG_FOLDER_FORM_ACTIVE));
  // The hourglass while the window and its tree are made; the modal loop itself shows the
  // normal cursor.
  TTemporaryCursor hourglass(crHourGlass);
  std::unique_ptr<TFcSelectFolderForm> form(CreateForm());
  TRestore<TFcSelectFolderForm*> live(form_, form.get());
  SetupForm(form.get());
  DoInitialized();
  bool ok = form->ShowModal() == mrOk;
  if (!Designing()) ReadBackForm(form.get(), ok);
  return ok;
}

TFcSelectFolderForm* TFcCustomSelectFolderDialog::CreateForm() {
  RegisterFcShellFolderForm();
  return TForm::Create<TFcSelectFolderForm>(Application);
}

void TFcCustomSelectFolderDialog::SetupForm(TFcSelectFolderForm* form) {
  form->OnSelChange = OnSelChange;
  form->ShellTree->OnAddItem = OnAddItem;
  form->OnFormShow = OnFormShow;
  form->OnFormClose = OnFormClose;
  form->SetStatusText(statusText_);
  ApplySize(form);
  form->SetOptions(options_);
  form->SetCaption(title_.empty() ? LoadResString(IDS_SHDLG_BROWSE_FOR_FOLDER) : title_);
  form->SetFrameSettings(frame_);
  form->SetHotTrackSettings(hotTrack_);
  form->ShellTree->SetBaseFolder(baseFolder_.get());
  form->ShellTree->SetSelectedFolder(selectedFolder_.get());
}

void TFcCustomSelectFolderDialog::ReadBackForm(TFcSelectFolderForm* form, bool ok) {
  ReadBackSize(form);
  if (ok) selectedFolder_->Assign(form->ShellTree->SelectedFolder());
}

// ---- The file dialogs -------------------------------------------------------------------------

TFcFileDialog::TFcFileDialog(TComponent* owner) : TFcShellDialog(owner) {}

TFcFileDialog::~TFcFileDialog() = default;

std::vector<int> TFcFileDialog::WriteFormSettings() const {
  std::vector<int> data = TFcShellDialog::WriteFormSettings();
  data.push_back(options_.Contains(osoShowTree) ? 1 : 0);
  data.push_back(formSplitterPos_);
  return data;
}

void TFcFileDialog::ReadFormSettings(const std::vector<int>& data) {
  if (data.size() < 5 || (data[3] != 0 && data[3] != 1)) throw EReadError("Invalid form settings of " + Name());
  TFcShellDialog::ReadFormSettings(data);
  if (data[3])
    options_ += osoShowTree;
  else
    options_ -= osoShowTree;
  formSplitterPos_ = data[4];
}

int TFcFileDialog::FormSplitterPos() const { return formSplitterPos_; }

void TFcFileDialog::SetFormSplitterPos(int value) {
  formSplitterPos_ = value;
  if (form_ && value >= 0) form_->SetSplitterPos(value);
}

int TFcFileDialog::FilterIndex() const { return form_ ? form_->FilterIndex() : filterIndex_; }

void TFcFileDialog::SetFilterIndex(int value) {
  filterIndex_ = value;
  if (form_) form_->SetFilterIndex(value);
}

void TFcFileDialog::SetOptions(TFcOpenSaveOptions value) {
  options_ = value;
  if (form_) form_->SetOptions(value);
}

void TFcFileDialog::SetFilter(const std::string& value) {
  filter_ = value;
  if (form_) form_->SetFilter(value);
}

std::string TFcFileDialog::FileName() const {
  if (form_) return form_->FileName();
  return files_.empty() ? std::string() : files_.front();
}

void TFcFileDialog::SetFileName(const std::string& value) {
  files_.clear();
  if (!value.empty()) files_.push_back(value);
}

void TFcFileDialog::SetOnAddListItem(TFcShAddItemEvent value) {
  OnAddListItem = std::move(value);
  if (form_) form_->ShellList->OnAddItem = OnAddListItem;
}

void TFcFileDialog::SetOnAddTreeItem(TFcShAddItemEvent value) {
  OnAddTreeItem = std::move(value);
  if (form_) form_->ShellTree->OnAddItem = OnAddTreeItem;
}

bool TFcFileDialog::Run() {
  if (form_) throw Exception(ResMessage(IDS_SHDLG_ALREADY_EXECUTING, Name()));
  TTemporaryCursor hourglass(crHourGlass);
  if (Designing()) files_.clear();
  std::unique_ptr<TFcShellOpenSaveForm> form(CreateForm());
  SetupForm(form.get());
  TRestore<TFcShellOpenSaveForm*> live(form_, form.get());
  DoInitialized();
  bool ok = form->ShowModal() == mrOk;
  if (!Designing()) ReadBackForm(form.get());
  return ok;
}

TFcShellOpenSaveForm* TFcFileDialog::CreateForm() {
  RegisterFcShellOpenForm();
  return TForm::Create<TFcShellOpenSaveForm>(Application);
}

void TFcFileDialog::SetupForm(TFcShellOpenSaveForm* form) {
  form->ShellList->OnAddItem = OnAddListItem;
  form->ShellTree->OnAddItem = OnAddTreeItem;
  form->OnFormClose = OnFormClose;
  form->OnFormShow = OnFormShow;
  form->OnTypeChanged = OnTypeChanged;
  form->OnFolderChanged = OnFolderChanged;
  form->OnSelectionChanged = OnSelectionChanged;
  form->SetInitialDir(initialDir_);
  form->SetFileName(FileName());
  form->SetDefaultExt(defaultExt_);
  form->SetOptions(options_);
  ApplySize(form);
  form->SetFilter(filter_);
  form->SetFilterIndex(filterIndex_);
  if (formSplitterPos_ >= 0) form->SetSplitterPos(formSplitterPos_);
  form->SetFrameSettings(frame_);
  form->SetHotTrackSettings(hotTrack_);
  form->LookInTxt->SetCaption(LoadResString(IDS_SHDLG_LOOK_IN));
  form->FilesOfTypeTxt->SetCaption(LoadResString(IDS_SHDLG_FILES_OF_TYPE));
  form->SetHelpContext(helpContext_);
  form->OnHelp = OnHelp;
}

void TFcFileDialog::ReadBackForm(TFcShellOpenSaveForm* form) {
  options_ = form->Options();
  files_ = form->Files();
  ReadBackSize(form);
  filterIndex_ = form->FilterIndex();
  formSplitterPos_ = form->SplitterPos();
}

TFcCustomOpenDialog::TFcCustomOpenDialog(TComponent* owner) : TFcFileDialog(owner) { SetOptions(kDefaultOptions); }

void TFcCustomOpenDialog::SetupForm(TFcShellOpenSaveForm* form) {
  TFcFileDialog::SetupForm(form);
  form->SetCaption(Title().empty() ? LoadResString(IDS_SHDLG_OPEN_CAPTION) : Title());
  form->OpenBtn->SetCaption(LoadResString(IDS_SHDLG_OPEN_BUTTON));
}

// ---- Registration ------------------------------------------------------------------------------

namespace {

const TEnumInfo FormWindowStateInfo{"TWindowState", {"wsNormal", "wsMinimized", "wsMaximized"}};

template <class C>
TClassBuilder<C>& PublishShellDialogProperties(TClassBuilder<C>& builder) {
  return builder.Integer("FormWidth", &C::FormWidth, &C::SetFormWidth, -1)
      .Integer("FormHeight", &C::FormHeight, &C::SetFormHeight, -1)
      .Enum("FormWindowState", FormWindowStateInfo, &C::FormWindowState, &C::SetFormWindowState, wsNormal)
      .Color("FrameColor", &C::FrameColor, &C::SetFrameColor, clBtnShadow)
      .Enum("FrameStyle", FrameStyleInfo, &C::FrameStyle, &C::SetFrameStyle, fsFlat)
      .Boolean("FrameVisible", &C::FrameVisible, &C::SetFrameVisible, false)
      .Enum("FramingPreference", FramingPreferenceInfo, &C::FramingPreference, &C::SetFramingPreference,
            fpXPThemes)
      .Boolean("HotTrack", &C::HotTrack, &C::SetHotTrack, false)
      .Color("HighlightColor", &C::HighlightColor, &C::SetHighlightColor, clHighlight)
      .Color("HotTrackColor", &C::HotTrackColor, &C::SetHotTrackColor, clHighlight)
      .Enum("HotTrackColorType", HotTrackColorTypeInfo, &C::HotTrackColorType, &C::SetHotTrackColorType,
            htctComplement)
      .Event("OnInitialized", InheritedEvent<C>(&C::OnInitialized))
      .Extra(
          "FormSettings", tkList,
          [](C* dialog, const TValue& value) {
            std::vector<int> data;
            for (const TValue& item : value.AsList()) data.push_back(static_cast<int>(item.AsInteger()));
            dialog->ReadFormSettings(data);
          },
          [](C* dialog) -> std::optional<TValue> {
            std::vector<TValue> items;
            for (int n : dialog->WriteFormSettings()) items.push_back(TValue::Integer(n));
            return TValue::List(std::move(items));
          });
}

}  // namespace

void RegisterFcShellDialogs() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterFcShellFolderForm();
  RegisterClassInfo<TFcShellDialog, TComponent>("TFcShellDialog");
  RegisterClassInfo<TFcCustomSelectFolderDialog, TFcShellDialog>("TFcCustomSelectFolderDialog");
  using S = TFcSelectFolderDialog;
  auto select = RegisterClassInfo<S, TFcCustomSelectFolderDialog>("TFcSelectFolderDialog");
  PublishShellDialogProperties(select)
      .String("Title", &S::Title, &S::SetTitle)
      .Set("Options", SelectFolderDialogOptionInfo, &S::Options, &S::SetOptions, S::kDefaultOptions)
      .Object("BaseFolder", &S::BaseFolder)
      .Object("SelectedFolder", &S::SelectedFolder)
      .String("StatusText", &S::StatusText, &S::SetStatusText)
      .Event("OnAddItem", InheritedEvent<S>(&S::OnAddItem))
      .Event("OnFormShow", InheritedEvent<S>(&S::OnFormShow))
      .Event("OnFormClose", InheritedEvent<S>(&S::OnFormClose))
      .Event("OnSelChange", InheritedEvent<S>(&S::OnSelChange));

  RegisterFcShellOpenForm();
  RegisterClassInfo<TFcFileDialog, TFcShellDialog>("TFcFileDialog");
  RegisterClassInfo<TFcCustomOpenDialog, TFcFileDialog>("TFcCustomOpenDialog");
  using O = TFcOpenDialog;
  auto open = RegisterClassInfo<O, TFcCustomOpenDialog>("TFcOpenDialog");
  PublishShellDialogProperties(open)
      .Integer("FormSplitterPos", &O::FormSplitterPos, &O::SetFormSplitterPos, -1)
      .Integer("FilterIndex", &O::FilterIndex, &O::SetFilterIndex, 1)
      .Set("Options", OpenSaveOptionInfo, &O::Options, &O::SetOptions, O::kDefaultOptions)
      .String("Filter", &O::Filter, &O::SetFilter)
      .String("InitialDir", &O::InitialDir, &O::SetInitialDir)
      .String("DefaultExt", &O::DefaultExt, &O::SetDefaultExt)
      .Integer("HelpContext", &O::HelpContext, &O::SetHelpContext, 0)
      .String("Title", &O::Title, &O::SetTitle)
      .String("FileName", &O::FileName, &O::SetFileName)
      .Strings("HistoryList", &O::HistoryList, &O::SetHistoryList)
      .Event("OnAddListItem", InheritedEvent<O>(&O::OnAddListItem))
      .Event("OnAddTreeItem", InheritedEvent<O>(&O::OnAddTreeItem))
      .Event("OnAddComboItem", InheritedEvent<O>(&O::OnAddComboItem))
      .Event("OnHelp", InheritedEvent<O>(&O::OnHelp))
      .Event("OnFormShow", InheritedEvent<O>(&O::OnFormShow))
      .Event("OnFormClose", InheritedEvent<O>(&O::OnFormClose))
      .Event("OnFolderChanged", InheritedEvent<O>(&O::OnFolderChanged))
      .Event("OnSelectionChanged", InheritedEvent<O>(&O::OnSelectionChanged))
      .Event("OnTypeChanged", InheritedEvent<O>(&O::OnTypeChanged));
}
