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
}
