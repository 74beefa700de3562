// What the main window's tests share: the program's windows made as the entry makes them, on
// a settings key of the test's own, with the documents the window opens recorded instead of
// opened, a private copy of the game, and the program folder's backups cleared around each
// test.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "TestSupport.h"
#include "app/RIRered.h"
#include "app/SettingsTestSupport.h"
#include "standin/GameTree.h"

// A document the window asked the shell to open.
struct TOpenedDocument {
  HWND parent;
  std::string document;
  int showCommand;
};

// Saves what the screen shows of the window's client area as build/<arch>/screenshots/<name>.bmp
// (the window shown on top): what the user sees, the edit parts of combo boxes included.
void SaveWindowPicture(TWinControl* window, const std::string& name);

class MainWindowTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A private copy of the game tree, its path stored as "Path".
  void UseGame();
  // Makes the program's windows as the entry does; the main window is not the application's
  // main form, so that closing it ends no message loop.
  void CreateWindows();
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
};
