#include "MainWindowTestSupport.h"

#include "controls/ControlsTestSupport.h"
#include "platform/Guards.h"
#include "platform/SysUtils.h"

namespace {

void FreeForm(TForm1*& form) {
  delete form;
  form = nullptr;
}

}  // namespace

void SaveWindowPicture(TWinControl* window, const std::string& name) {
  SetForegroundWindow(window->Handle());
  window->Repaint();
  Pump(10);
  const RECT client = window->ClientRect();
  TBitmap shot(client.right, client.bottom);
  POINT origin = window->ClientToScreen(POINT{0, 0});
  {
    TWindowDC screen(nullptr);
    BitBlt(shot.Canvas()->Handle(), 0, 0, client.right, client.bottom, screen.Get(), origin.x,
           origin.y, SRCCOPY);
  }
  const std::string file = ScreenshotFolder() + name + ".bmp";
  shot.SaveToFile(file);
  EXPECT_TRUE(FileExists(file));
}

void MainWindowTest::SetUp() {
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
  DeleteFileA((ProgramFolder + "dxinfo.txt").c_str());
}

void MainWindowTest::UseGame() {
  Game = std::make_unique<TGameTreeCopy>("MainWindow");
  ASSERT_TRUE(Game->Ok());
  Key.Seed("Path", GamePath());
}

void MainWindowTest::CreateWindows() {
  TForm* mainForm = Application->MainForm();
  CreateProgramWindows();
  Application->SetMainForm(mainForm);
  Pump();
}

void MainWindowTest::CloseMainWindow() {
  ASSERT_NE(Form1, nullptr);
  Form1->Close();
  Pump();
}

void MainWindowTest::FreeWindows() { FreeForm(Form1); }

void MainWindowTest::Restart() {
  CloseMainWindow();
  FreeWindows();
  CreateWindows();
}
