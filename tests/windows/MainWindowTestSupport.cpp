#include "MainWindowTestSupport.h"

#include "appwindows/DialogTestSupport.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "app/Unit4.h"


#include "controls/ControlsTestSupport.h"
#include "controls/FcCmboBx.h"
#include "controls/FcPages.h"
#include "controls/FcEdit.h"
#include "controls/FcRadChk.h"
#include "platform/Guards.h"
#include "platform/SysUtils.h"
#include "shell/FcShellDialogs.h"
#include "shell/FcShellOpenForm.h"
#include "shell/ShellDialogTestSupport.h"

void PrintTo(const TStoredSettings& s, std::ostream* os) {
  *os << "{Path \"" << s.Path << "\", CustomConfig \"" << s.CustomConfig << "\", Resolution ";
  for (bool r : s.Resolution) *os << r;
  *os << ", Demo " << s.Demo << ", Detail " << s.DetailLevel << ", PS " << s.ShaderModel
      << ", Renderer " << s.Renderer << ", AF " << s.AFLevel << ", AA " << s.AALevel << ", TRun "
      << s.RunNumber << ", Results \"" << s.ResultsFolder << "\", Decimal \""
      << s.DecimalSeparator << "\", Note \"" << s.Note << "\", Map \"" << s.MapName
      << "\", Demo file \"" << s.DemoFileName << "\", Wait " << s.Wait.value_or(-1)
      << ", Screenshots \"" << s.ScreenshotFolder << "\", HDR " << s.HDR << " level "
      << s.HDRLevel.value_or(-1) << ", GI " << s.GeometryInstancing << ", normal maps "
      << s.NormalMapsCompression << ", language " << s.Language << ", add info "
      << s.AddAdditionalInfo << ", add screenshot info " << s.AddDisplayInfo << "}";
}

// ---- Boxes -----------------------------------------------------------------------------------

TBoxWatch::TBoxWatch(int answer) : worker_([this, answer] { Watch(answer); }) {}

TBoxWatch::~TBoxWatch() {
  stop_ = true;
  worker_.join();
}

std::vector<std::string> TBoxWatch::Texts() {
  std::lock_guard<std::mutex> lock(mutex_);
  return texts_;
}

namespace {

// Collects this process's visible message boxes (dialog class) for the watcher.
BOOL CALLBACK CollectBoxes(HWND wnd, LPARAM data) {
  char cls[16] = {};
  DWORD process = 0;
  GetWindowThreadProcessId(wnd, &process);
  if (process == GetCurrentProcessId() && IsWindowVisible(wnd) &&
      GetClassNameA(wnd, cls, sizeof cls) && std::string(cls) == "#32770")
    reinterpret_cast<std::vector<HWND>*>(data)->push_back(wnd);
  return TRUE;
}

}  // namespace

void TBoxWatch::Watch(int answer) {
  std::vector<HWND> boxes;
  while (!stop_) {
    boxes.clear();
    EnumWindows(CollectBoxes, reinterpret_cast<LPARAM>(&boxes));
    for (HWND box : boxes) {
      std::lock_guard<std::mutex> lock(mutex_);
      if (!answered_.insert(box).second) continue;
      char text[1024] = {};
      GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
      texts_.push_back(text);
      const int button = GetDlgItem(box, IDYES) ? answer : IDOK;
      PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    }
    // A box that has gone may give its handle to the next one.
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = answered_.begin(); it != answered_.end();)
      it = IsWindow(*it) ? std::next(it) : answered_.erase(it);
    Sleep(10);
  }
}

// ---- Modal windows ---------------------------------------------------------------------------

TModalDriver::TModalDriver(TForm* const& form, std::function<void()> user)
    : timer_(std::make_unique<TTimer>(nullptr)) {
  timer_->SetInterval(20);
  timer_->OnTimer = [this, &form, user](TObject*) {
    // The user's steps run messages, this timer's among them.
    if (acting_ || !form || !form->Modal() || form->ModalResult() != mrNone) return;
    TRestore<bool> acting(acting_, true);
    ++shown_;
    SetForegroundWindow(form->Handle());
    Pump();
    user();
    if (form->Modal() && form->ModalResult() == mrNone) form->Close();
  };
}

TModalDriver::~TModalDriver() = default;

// ---- Pictures and shortcuts ----------------------------------------------------------------

// ---- A user's hands ------------------------------------------------------------------------

namespace {

// The user brings the page that holds the control to the front first, by its tab.
void ShowPageOf(TControl* control) {
  for (TControl* c = control; c; c = c->Parent())
    if (auto* page = dynamic_cast<TFcTabSheet*>(c)) page->PageControl()->SetActivePage(page);
  Pump();
}

}  // namespace

void ClickItem(TFcCustomGlyphButton* item) { RealPress(item); }

void Choose(TFcComboBox* box, const std::string& item) {
  const int index = box->Items()->IndexOf(item);
  ASSERT_GE(index, 0) << item;
  ShowPageOf(box);
  box->SetFocus();
  SendMessageA(box->Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageA(GetParent(box->Handle()), WM_COMMAND,
               MAKEWPARAM(GetDlgCtrlID(box->Handle()), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(box->Handle()));
  Pump();
}

void TypeInto(TWinControl* control, const std::string& text) {
  ShowPageOf(control);
  control->SetFocus();
  Pump();
  SendMessageA(GetFocus(), EM_SETSEL, 0, -1);
  RealKey(VK_BACK);
  RealType(text);
}

void RealPress(TControl* control) {
  ShowPageOf(control);
  RealClick(control, control->Width() / 2, control->Height() / 2);
}

void TypeAndEnter(TFcShellOpenSaveForm* dialog, const std::string& text) {
  dialog->FileNameEdt->SetFocus();
  dialog->FileNameEdt->SelectAll();
  RealType(text);
  RealKey(VK_RETURN);
}

void ChooseFileWith(TControl* button, const std::string& file) {
  TFcOpenDialog* dialog = Form1->FcOpenDialog;
  TModalScript script;
  dialog->OnFormShow = [&script](TObject*) { script.Start(); };
  script.When(
      [dialog] {
        return dialog->Form() && dialog->Form()->Visible() && GetFocus() == dialog->Form()->FileNameEdt->Handle();
      },
      [dialog, file] { TypeAndEnter(dialog->Form(), file); });
  RealPress(button);
  dialog->OnFormShow = nullptr;
  EXPECT_TRUE(script.Finished()) << file;
}

void Leave(TWinControl* control) {
  TWinControl* form = control;
  while (form->Parent()) form = form->Parent();
  SetFocus(form->Handle());
  Pump();
}

// ---- The fixture -----------------------------------------------------------------------------

void MainWindowTest::SetUp() {
  char cwd[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, cwd);
  savedDir_ = cwd;
  RegisterProgramClasses();
  MainSettingsPlace = TSettingsPlace{HKEY_LOCAL_MACHINE, Key.Path(), KEY_ALL_ACCESS};
  // No first-start notice unless a test asks for it.
  Key.Seed("Addinfo", "0");
  OpenDocument = [this](HWND parent, const std::string& document, int showCommand) {
    Opened.push_back({parent, document, showCommand});
  };
  DeleteFolderTree(ProgramFolder + "Backup\\");
}

void MainWindowTest::TearDown() {
  FreeWindows();
  MainSettingsPlace = TSettingsPlace();
  OpenDocument = nullptr;
  DeleteFolderTree(ProgramFolder + "Backup\\");
  SetCurrentDirectoryA(savedDir_.c_str());
}

void MainWindowTest::UseGame(bool storePath) {
  Game = std::make_unique<TGameTreeCopy>("MainWindow");
  ASSERT_TRUE(Game->Ok());
  if (storePath) Key.Seed("Path", GamePath());
}

std::string MainWindowTest::UseGameWithADemoToImport() {
  UseGame();
  Key.Seed("Mapname", "Steam");
  Key.Seed("Demo", "12");
  const std::string outside = Game->Root() + "Downloads\\";
  EXPECT_TRUE(ForceDirectories(outside));
  EXPECT_TRUE(WriteFileBytes(outside + "mine.tmd", "my demo"));
  return outside;
}

void MainWindowTest::CreateWindows() {
  TForm* mainForm = Application->MainForm();
  CreateProgramWindows();
  Application->SetMainForm(mainForm);
  Pump();
}

void MainWindowTest::ShowMainWindow() {
  Form1->Show();
  SetForegroundWindow(Form1->Handle());
  Pump(5);
}

void MainWindowTest::CloseMainWindow() {
  ASSERT_NE(Form1, nullptr);
  Form1->Close();
  Pump();
}

namespace {

template <class T>
void FreeWindow(T*& window) {
  delete window;
  window = nullptr;
}

}  // namespace

void MainWindowTest::FreeWindows() {
  // The dialogs first: they use the main window's settings.
  FreeWindow(Form4);
  FreeWindow(Form3);
  FreeWindow(Form2);
  FreeWindow(Form1);
}

void MainWindowTest::Restart() {
  CloseMainWindow();
  FreeWindows();
  CreateWindows();
}
