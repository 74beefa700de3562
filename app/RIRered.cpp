#include "app/RIRered.h"

#include <shellapi.h>

#include "app/BenchSequence.h"
#include "app/BenchStart.h"
#include "app/GameConfig.h"
#include "app/GameFolderCare.h"
#include "app/GameFiles.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "app/Unit4.h"
#include "controls/FcButton.h"
#include "controls/FcCmboBx.h"
#include "controls/FcEdit.h"
#include "controls/FcPages.h"
#include "controls/FcRadChk.h"
#include "controls/FcRadGrp.h"
#include "controls/FcRegister.h"
#include "controls/FcSpnEdt.h"
#include "controls/FcStatus.h"
#include "platform/ExtCtrls.h"
#include "platform/Guards.h"
#include "platform/Layout.h"
#include "platform/StartupTrace.h"
#include "platform/StdCtrls.h"
#include "platform/TypInfo.h"
#include "services/FcVersionInfo.h"
#include "services/FindFile.h"
#include "services/SvCreateProcess.h"
#include "services/SvRegister.h"
#include "services/SvSHFileOperation.h"
#include "shell/FcShellDialogs.h"
#include "shell/FcShellRegister.h"

TForm1* Form1 = nullptr;

TSettingsPlace MainSettingsPlace;

TDocumentOpener OpenDocument = [](HWND parent, const std::string& document, int showCommand) {
  // The shell may hand the document to an extension of its own, which wants COM.
  Application->StartOle();
  ShellExecuteA(parent, "open", document.c_str(), nullptr, nullptr, showCommand);
};

const char* const kScreenshotStatus = "Set the parameters & get screenshot!";
const char* const kAddInfoNeededMessage =
    "Firstly, click the \"View additional information\" and the \"Get info\" button to collect "
    "the necessary information. Then close that window, and click to this checkbox again.";
const char* const kHelpDocument = "Help\\help.htm";
const char* const kMailLink = "mailto:benchmark@nemorix.com";
const char* const kHomepageLink = "http://www.nemorix.com/";
const char* const kSponsorLink = "http://www.dunmere.com/";

// ---- The engine's view -------------------------------------------------------------------

class TForm1::TView : public IBenchView {
 public:
  explicit TView(TForm1& form) : form_(form) {}

  void ShowStatus(const std::string& text) override { form_.FcStatusPane1->SetCaption(text); }
  void Repaint() override { form_.Repaint(); }
  void ShowMessage(const std::string& text) override { form_.ShowMessageBox(text); }
  void SetAbortPanelVisible(bool visible) override {
    if (visible) form_.Panel1->BringToFront();
    form_.Panel1->SetVisible(visible);
  }
  void RepaintAbortPanel() override { form_.Panel1->Repaint(); }
  void SetBenchButtonEnabled(bool enabled) override { form_.BenchButton->SetEnabled(enabled); }
  void OpenReport(const std::string& fileName) override {
    OpenDocument(form_.Handle(), fileName, SW_SHOWNORMAL);
  }

 private:
  TForm1& form_;
};

// ---- Construction --------------------------------------------------------------------------

TForm1::TForm1(TComponent* owner)
    : TForm(owner),
      settings_(std::make_unique<TSettingsStore>(MainSettingsPlace.Root, MainSettingsPlace.Key,
                                                 MainSettingsPlace.Access)),
      view_(std::make_unique<TView>(*this)) {
  settings_->OnError = [this](TObject*, const std::string& message) {
    // One box for a key that refuses the start's writes: the rest would only repeat it.
    if (starting_ && settingsErrorShown_) return;
    settingsErrorShown_ = true;
    ShowMessageBox(message);
  };
  bench_.View = view_.get();
  bench_.Registry = settings_->Registry();
  // The dialogs made after this window read and write the settings through its store.
  ProgramSettings = settings_.get();
}

TForm1::~TForm1() {
  // The handlers use the members below; they go before the form's components do.
  BeforeDestruction();
  if (ProgramSettings == settings_.get()) ProgramSettings = nullptr;
}

template <class T>
void TForm1::Bind(T*& field, const char* name) {
  field = LayoutComponent<T>(this, name);
  bound_.push_back([&field] { field = nullptr; });
}

void TForm1::Loaded() {
  TForm::Loaded();
  // A layout that lacks a control is freed whole: no field may point into it afterwards.
  bool complete = false;
  TScopeExit unbind([&] {
    if (!complete)
      for (const auto& reset : bound_) reset();
    bound_.clear();
  });
  Bind(Image1, "Image1");
  Bind(FcToolButton1, "FcToolButton1");
  Bind(FcToolButton5, "FcToolButton5");
  Bind(FcToolButton6, "FcToolButton6");
  Bind(Image3, "Image3");
  Bind(FcStatusPane1, "FcStatusPane1");
  Bind(BenchButton, "BenchButton");
  Bind(Panel1, "Panel1");
  Bind(Image2, "Image2");
  Bind(Label12, "Label12");
  Bind(FcPageControl1, "FcPageControl1");
  Bind(TabSheet6, "TabSheet6");
  Bind(TabSheet8, "TabSheet8");
  Bind(FcToolButton4, "FcToolButton4");
  Bind(findman, "findman");
  Bind(VersionLabel, "VersionLabel");
  Bind(dxv, "dxv");
  Bind(QMPathEdit, "QMPathEdit");
  Bind(demo, "demo");
  Bind(mapnamebox, "mapnamebox");
  Bind(demonamebox, "demonamebox");
  Bind(FcToolButton3, "FcToolButton3");
  Bind(DetailBox, "DetailBox");
  Bind(DetailButton, "DetailButton");
  Bind(DetailEdit, "DetailEdit");
  Bind(res, "res");
  Bind(PShader, "PShader");
  Bind(AFBox, "AFBox");
  Bind(AABox, "AABox");
  Bind(FcToolButton7, "FcToolButton7");
  Bind(RendererBox, "RendererBox");
  Bind(RunNumberBox, "RunNumberBox");
  Bind(AddInfoBox, "AddInfoBox");
  Bind(LangBox, "LangBox");
  Bind(NoteEdit, "NoteEdit");
  Bind(ResEdit, "ResEdit");
  Bind(FcToolButton2, "FcToolButton2");
  Bind(FcToolButton8, "FcToolButton8");
  Bind(DecBox, "DecBox");
  Bind(Label8, "Label8");
  Bind(waits, "waits");
  Bind(Label10, "Label10");
  Bind(EnableScShot, "EnableScShot");
  Bind(FrameEdit, "FrameEdit");
  Bind(Label3, "Label3");
  Bind(ScrsaveFold, "ScrsaveFold");
  Bind(FcToolButton9, "FcToolButton9");
  Bind(FcToolButton10, "FcToolButton10");
  Bind(FcButton1, "FcButton1");
  Bind(AddInfo, "AddInfo");
  Bind(hdrbox, "hdrbox");
  Bind(CompRessBox, "CompRessBox");
  Bind(GIBox, "GIBox");
  Bind(sectime, "sectime");
  Bind(HDRLevelBox, "HDRLevelBox");
  Bind(cp, "cp");
  Bind(FileOp, "FileOp");
  Bind(FindFile1, "FindFile1");
  Bind(Findqmdemo, "Findqmdemo");
  Bind(FcVersionInfo, "FcVersionInfo");
  Bind(FcOpenDialog, "FcOpenDialog");
  Bind(SelFolder, "SelFolder");
  bench_.FileOp = FileOp;
  bench_.cp = cp;
  complete = true;
}

// ---- Start -----------------------------------------------------------------------------------

void TForm1::FormCreate(TObject*) {
  TRestore<bool> starting(starting_, true);
  ProgramFolder = ::ProgramFolder();

  // Without the key the controls keep the layout's state.
  TStoredSettings stored;
  if (settings_->Open()) {
    stored = settings_->ReadSettings();
    RestoreSettings(stored);
  }
  TraceStartup("settings");
  // These two also without the key: a first start explains the additional information.
  AddInfoBox->SetChecked(stored.AddAdditionalInfo);
  AddInfo->SetChecked(stored.AddDisplayInfo);

  if (!QMPathEdit->Text().empty())
    StartWithGame(stored);
  else
    StartWithoutGame(stored);
}

void TForm1::RestoreSettings(const TStoredSettings& stored) {
  std::string path = stored.Path;
  if (path.empty()) {
    path = GamePathFromShortcuts(CommonShortcutFolders(Handle()));
    TraceStartup("shortcut");
  }
  QMPathEdit->SetText(path);
  DetailEdit->SetText(stored.CustomConfig);
  for (int i = 0; i < kResolutionCount; ++i) res->SetItemChecked(i, stored.Resolution[i]);
  // Each of these runs the control's handler when it changes the control.
  if (stored.Demo >= 0) demo->SetItemIndex(stored.Demo);
  if (stored.DetailLevel >= 0) DetailBox->SetItemIndex(stored.DetailLevel);
  if (stored.AFLevel >= 0) AFBox->SetItemIndex(stored.AFLevel);
  if (stored.AALevel >= 0) AABox->SetItemIndex(stored.AALevel);
  if (stored.RunNumber >= 0) RunNumberBox->SetItemIndex(stored.RunNumber);
  ResEdit->SetText(stored.ResultsFolder);
  // The user's separator, with or without a game: only its absence lets the system's in.
  if (!stored.DecimalSeparator.empty()) DecBox->SetText(stored.DecimalSeparator);
  NoteEdit->SetText(stored.Note);
  if (stored.Wait) waits->SetValue(*stored.Wait);
  // The label follows the field's changes once the window is up; before, it is told here.
  waitsChange(waits);
  ScrsaveFold->SetText(stored.ScreenshotFolder);
  hdrbox->SetChecked(stored.HDR);
  GIBox->SetChecked(stored.GeometryInstancing);
  CompRessBox->SetChecked(stored.NormalMapsCompression);
  if (stored.HDRLevel) HDRLevelBox->SetValue(*stored.HDRLevel);
  if (stored.Language >= 0) LangBox->SetItemIndex(stored.Language);
}

void TForm1::StartWithGame(const TStoredSettings& stored) {
  const TGameFolders game = InstalledGameFolders(QMPathEdit->Text());
  if (game.Known()) {
    FcStatusPane1->SetCaption(kReadyStatus);
    BenchButton->SetEnabled(true);
    SetGame(game);
    FillMapList();
    if (!settings_->FirstRunDone()) {
      settings_->MarkFirstRun();
      if (stored.DecimalSeparator.empty()) DecBox->SetText(settings_->WriteSystemDecimal());
    }
    ShowDecimalLabel();
    if (ResEdit->Text().empty()) {
      ResEdit->SetText(game_.GameRoot + "Benchmark\\");
      settings_->WriteValue("ResoultPath", ResEdit->Text());
    }
    if (ScrsaveFold->Text().empty()) {
      ScrsaveFold->SetText(game_.GameRoot + "Screenshot\\");
      settings_->WriteValue("ScrPath", ScrsaveFold->Text());
    }
    LangBox->SetReadOnly(false);
    ReadBuild(bcStartup);
    TraceStartup("version");
  } else {
    // A path that names no installed game is as good as none: a start would write the
    // game's files into the current folder.
    QMPathEdit->SetText(std::string());
    VersionLabel->SetCaption(kEmptyVersionLabel);
    BenchButton->SetEnabled(false);
    FcStatusPane1->SetCaption(kSearchGameStatus);
  }
  if (stored.Renderer >= 0) RendererBox->SetItemIndex(stored.Renderer);
  ShowDirectX();
  TraceStartup("DirectX");
  if (StoredDemoPresent(game_.GameRoot, mapnamebox->Text(), stored.DemoFileName)) {
    const int item = demonamebox->IndexOfText(stored.DemoFileName);
    if (item >= 0)
      demonamebox->SetItemIndex(item);
    else
      demonamebox->SetTextWithoutCompletion(stored.DemoFileName);
  }
  OfferRepair();
}

void TForm1::StartWithoutGame(const TStoredSettings& stored) {
  FcStatusPane1->SetCaption(kSearchGameStatus);
  BenchButton->SetEnabled(false);
  VersionLabel->SetCaption(kNoVersionLabel);
  PShader->SetButtonEnabled(kShaderModel2Item, false);
  PShader->SetButtonEnabled(kShaderModel3Item, false);
  if (stored.Renderer >= 0) RendererBox->SetItemIndex(stored.Renderer);
  ShowDirectX();
  TraceStartup("DirectX");
  if (stored.DecimalSeparator.empty()) DecBox->SetText(settings_->WriteSystemDecimal());
}

void TForm1::OfferRepair() {
  if (!RepairDue(*settings_, GameFolders())) return;
  // The repair puts the configuration back through the engine, which takes the folders
  // from the choices as a start hands them over.
  bench_.Choices = CurrentChoices();
  const bool yes = MessageDlg(kRepairQuestion, mtConfirmation, {mbYes, mbNo}) == IDYES;
  // The engine's own mark tells whether the user's configuration still waits in "Backup\".
  TBackupMark mark;
  mark.IsSet = [this] {
    try {
      return ConfigBackupPending(bench_);
    } catch (const Exception&) {
      return false;  // a mark of another type: nothing known to put back
    }
  };
  mark.PutBack = [this] {
    // A backup that has gone is not put back: the question comes again at the next start.
    if (settings_->ReadValue(kConfigBackupSetting) == kConfigBackupTaken &&
        !FileExists(ProgramFolder + "Backup\\system.cfg"))
      return false;
    try {
      RestoreGameConfiguration(bench_);
      return true;
    } catch (const Exception& e) {
      ShowMessageBox(e.Message());
      return false;
    }
  };
  for (const std::string& message :
       AnswerRepair(yes, *settings_, *FileOp, ProgramFolder, GameFolders(), mark))
    ShowMessageBox(message);
}

void TForm1::SetGame(const TGameFolders& game) {
  game_ = game;
}

void TForm1::FormShow(TObject*) {
  if (settings_->DonationDue()) ShowDonationWindow();
}

// ---- Close -----------------------------------------------------------------------------------

void TForm1::FormClose(TObject*, TCloseAction&) {
  SaveSettingsAndCleanUp(*settings_, CurrentSettings(), GameFolders());
}

TStoredSettings TForm1::CurrentSettings() {
  TStoredSettings s;
  s.Path = QMPathEdit->Text();
  s.CustomConfig = DetailEdit->Text();
  for (int i = 0; i < kResolutionCount; ++i) s.Resolution[i] = res->ItemChecked(i);
  s.Demo = demo->ItemIndex();
  s.DetailLevel = DetailBox->ItemIndex();
  s.ShaderModel = PShader->ItemIndex();
  s.Renderer = RendererBox->ItemIndex();
  s.AFLevel = AFBox->ItemIndex();
  s.AALevel = AABox->ItemIndex();
  s.RunNumber = ItemOfCode(csTRun, RunNumberBox->Text());
  s.ResultsFolder = ResEdit->Text();
  s.DecimalSeparator = KeptDecimalSeparator(DecBox->Text(), settings_->ReadValue("Decimal"));
  s.Note = NoteEdit->Text();
  s.MapName = mapnamebox->Text();
  s.DemoFileName = demonamebox->Text();
  s.Wait = waits->IntValue();
  s.ScreenshotFolder = ScrsaveFold->Text();
  s.HDR = hdrbox->Checked();
  s.HDRLevel = HDRLevelBox->IntValue();
  s.GeometryInstancing = GIBox->Checked();
  s.NormalMapsCompression = CompRessBox->Checked();
  s.Language = LangBox->ItemIndex();
  s.AddAdditionalInfo = AddInfoBox->Checked();
  s.AddDisplayInfo = AddInfo->Checked();
  return s;
}

// ---- The run ---------------------------------------------------------------------------------

TBenchChoices TForm1::CurrentChoices() {
  TBenchChoices c;
  c.ProgramFolder = ProgramFolder;
  c.ExeFolder = game_.ExeFolder;
  c.GameRoot = game_.GameRoot;
  c.Demo = demo->ItemIndex();
  c.MapName = mapnamebox->Text();
  c.DemoFileName = demonamebox->Text();
  for (int i = 0; i < kResolutionCount; ++i) c.Resolution[i] = res->ItemChecked(i);
  c.Waits = waits->Value();
  c.DetailLevel = DetailBox->ItemIndex();
  c.CustomConfigFile = DetailEdit->Text();
  c.AFLevel = AFBox->ItemIndex();
  c.AALevel = AABox->ItemIndex();
  c.Renderer = RendererBox->ItemIndex();
  c.Language = LangBox->ItemIndex();
  c.ShaderModel = PShader->ItemIndex();
  c.HDR = hdrbox->Checked();
  c.HDRLevel = HDRLevelBox->Text();
  c.NormalMapsCompression = CompRessBox->Checked();
  c.GeometryInstancing = GIBox->Checked();
  c.RunNumber = RunNumberBox->Text();
  c.ScreenshotMode = EnableScShot->Checked();
  c.Frame = FrameEdit->Text();
  c.AddDisplayInfo = AddInfo->Checked();
  c.ScreenshotFolder = ScrsaveFold->Text();
  c.AddAdditionalInfo = AddInfoBox->Checked();
  c.Note = NoteEdit->Text();
  c.DecimalSeparator = DecBox->Text();
  c.ResultsFolder = ResEdit->Text();
  c.Hardware = settings_->ReadDescription();
  return c;
}

void TForm1::BenchButtonClick(TObject* Sender) {
  // Without a game every file of the run would land in the current folder.
  if (!GameFolders().Known()) return;
  bench_.Choices = CurrentChoices();
  ::BenchButtonClick(bench_, Sender);
}

void TForm1::cpTerminate(TObject* Sender, DWORD ExitCode) { ::cpTerminate(bench_, Sender, ExitCode); }

void TForm1::Image2Click(TObject* Sender) { ::Image2Click(bench_, Sender); }

void TForm1::ShowMessageBox(const std::string& text) { ::ShowMessage(text); }

// ---- Dialogs -----------------------------------------------------------------------------------

bool TForm1::ChooseFile(const std::string& filter, const std::string& current,
                        std::string& fileName) {
  // Each choice its own: a name left from another would be taken by the next Open.
  FcOpenDialog->SetFilter(filter);
  FcOpenDialog->SetFileName(current);
  if (!FcOpenDialog->Execute()) return false;
  fileName = FcOpenDialog->FileName();
  return true;
}

bool TForm1::ChooseFolder(std::string& path) {
  if (!SelFolder->Execute()) return false;
  path = SelFolder->SelectedFolder()->PathName();
  return true;
}

void TForm1::ShowHardwareDialog() { Form2->ShowModal(); }

void TForm1::ShowDemoFramesDialog() {
  Form3->ShowModal();
  switch (Form3->Answer()) {
    case faFrameRange:
      SetFrameRange(Form3->Total());
      FrameEdit->SetValue(Form3->Total());
      break;
    case faLeaveScreenshotMode:
      // Unchecking the box runs the screenshot-mode switch.
      EnableScShot->SetChecked(false);
      break;
    case faNone:
      break;
  }
}

void TForm1::ShowDonationWindow() { Form4->ShowModal(); }

// ---- The program's windows ---------------------------------------------------------------

void RegisterProgramClasses() {
  RegisterServiceClasses();
  RegisterControlLibrary();
  RegisterShellControls();
  RegisterFcShellDialogs();
  RegisterForms();
  RegisterHardwareDialog();
  RegisterDemoFramesDialog();
  RegisterDonationWindow();
  RegisterClassInfo<TForm1, TForm>("TForm1")
      .Handler("FormCreate", &TForm1::FormCreate)
      .Handler("FormShow", &TForm1::FormShow)
      .Handler("FormClose", &TForm1::FormClose)
      .Handler("BenchButtonClick", &TForm1::BenchButtonClick)
      .Handler("cpTerminate", &TForm1::cpTerminate)
      .Handler("Image2Click", &TForm1::Image2Click)
      .Handler("FcToolButton4Click", &TForm1::FcToolButton4Click)
      .Handler("findmanClick", &TForm1::findmanClick)
      .Handler("mapnameboxChange", &TForm1::mapnameboxChange)
      .Handler("FcToolButton3Click", &TForm1::FcToolButton3Click)
      .Handler("demoChanging", &TForm1::demoChanging)
      .Handler("DetailBoxChanging", &TForm1::DetailBoxChanging)
      .Handler("DetailButtonClick", &TForm1::DetailButtonClick)
      .Handler("DecBoxChange", &TForm1::DecBoxChange)
      .Handler("DecBoxExit", &TForm1::DecBoxExit)
      .Handler("waitsChange", &TForm1::waitsChange)
      .Handler("AddInfoBoxClick", &TForm1::AddInfoBoxClick)
      .Handler("EnableScShotClick", &TForm1::EnableScShotClick)
      .Handler("hdrboxClick", &TForm1::hdrboxClick)
      .Handler("sectimeClick", &TForm1::sectimeClick)
      .Handler("FrameEditRangeError", &TForm1::FrameEditRangeError)
      .Handler("FrameEditExit", &TForm1::FrameEditExit)
      .Handler("FcButton1Click", &TForm1::FcButton1Click)
      .Handler("FcToolButton2Click", &TForm1::FcToolButton2Click)
      .Handler("FcToolButton9Click", &TForm1::FcToolButton9Click)
      .Handler("FcToolButton8Click", &TForm1::FcToolButton8Click)
      .Handler("FcToolButton10Click", &TForm1::FcToolButton10Click)
      .Handler("FcToolButton6Click", &TForm1::FcToolButton6Click)
      .Handler("FcToolButton1Click", &TForm1::FcToolButton1Click)
      .Handler("FcToolButton5Click", &TForm1::FcToolButton5Click)
      .Handler("Image3Click", &TForm1::Image3Click)
      .Handler("FcToolButton7Click", &TForm1::FcToolButton7Click);
}

void CreateProgramWindows() {
  Application->CreateForm(Form1);
  Application->CreateForm(Form2);
  Application->CreateForm(Form3);
  Application->CreateForm(Form4);
}
