// What the main window's tests share: the program's windows made as the entry makes them, on
// a settings key of the test's own, with the documents the window opens recorded instead of
// opened, a private copy of the game, the program folder's backups cleared around each test,
// message boxes answered from another thread, and a user's clicks, choices and typing.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <ostream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "ControlTestSupport.h"
#include "TestSupport.h"
#include "app/RIRered.h"
#include "app/SettingsTestSupport.h"
#include "platform/Timer.h"
#include "standin/GameTree.h"

class TFcComboBox;
class TFcCustomGlyphButton;
class TFcShellOpenSaveForm;

// A document the window asked the shell to open.
struct TOpenedDocument {
  HWND parent;
  std::string document;
  int showCommand;
  bool operator==(const TOpenedDocument&) const = default;
};

// The settings as a failing test prints them.
void PrintTo(const TStoredSettings& s, std::ostream* os);

// Answers every message box of this program while it lives, as a user would: a Yes/No
// question with `answer`, any other box with OK; and notes what each said, in order.
class TBoxWatch {
 public:
  explicit TBoxWatch(int answer = IDNO);
  ~TBoxWatch();
  TBoxWatch(const TBoxWatch&) = delete;
  TBoxWatch& operator=(const TBoxWatch&) = delete;

  std::vector<std::string> Texts();

 private:
  void Watch(int answer);

  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<std::string> texts_;
  std::set<HWND> answered_;
  std::thread worker_;
};

// Acts on `form` as a user would once the code under test shows it modally: runs `user` from
// inside its loop and closes the form if `user` left it open. Watches while it lives.
class TModalDriver {
 public:
  TModalDriver(TForm* const& form, std::function<void()> user);
  ~TModalDriver();
  TModalDriver(const TModalDriver&) = delete;
  TModalDriver& operator=(const TModalDriver&) = delete;
  // How often the form was shown modally meanwhile.
  int Shown() const { return shown_; }

 private:
  std::unique_ptr<TTimer> timer_;
  int shown_ = 0;
  bool acting_ = false;
};


// ---- A user's hands ------------------------------------------------------------------------

// A click in the middle of a radio item or check box (its click handler runs).
void ClickItem(TFcCustomGlyphButton* item);
// The item chosen from the combo box's list, as the list tells its box.
void Choose(TFcComboBox* box, const std::string& item);
// The control gets the focus and the text is typed into it, replacing what it held.
void TypeInto(TWinControl* control, const std::string& text);
// The focus goes from the control to the form (its exit handler runs).
void Leave(TWinControl* control);
// A real click in the middle of the control, its page brought to the front first.
void RealPress(TControl* control);
// In the open dialog's window: the text typed into "File name", replacing what it held, and
// Enter.
void TypeAndEnter(TFcShellOpenSaveForm* dialog, const std::string& text);
// A file chosen in the main window's open dialog as the user does: a real click on `button`,
// then the name typed into the dialog's window and Enter.
void ChooseFileWith(TControl* button, const std::string& file);

class MainWindowTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A private copy of the game tree, its path stored as "Path" (unless told otherwise).
  void UseGame(bool storePath = true);
  // The game with the user-defined demo chosen on the map "Steam" (so "Import demo" is on),
  // and a folder beside the game's holding "mine.tmd"; returns that folder.
  std::string UseGameWithADemoToImport();
  // Makes the program's windows as the entry does; the main window is not the application's
  // main form, so that closing it ends no message loop.
  void CreateWindows();
  // Shows the main window on top, as the program's loop does, for the user's hands.
  void ShowMainWindow();
  // Closes the main window as the user does: its close writes the settings back and cleans
  // the game's folders.
  void CloseMainWindow();
  // Frees the windows (and closes nothing).
  void FreeWindows();
  // Closes and frees the windows and makes them again on the same settings.
  void Restart();

  // The game's executable, "...\Bin32\Quenmar.exe".
  std::string GamePath() const { return Game->ExeFolder() + "Quenmar.exe"; }

  TTestSettingsKey Key;
  std::unique_ptr<TGameTreeCopy> Game;
  std::vector<TOpenedDocument> Opened;
  std::string ProgramFolder = TestProgramFolder();

 private:
  // The open and select-folder dialogs' OK moves the process's current folder.
  std::string savedDir_;
};
