// What the engine's tests share: a scratch program folder and game tree, a view that
// records what the engine tells the user, a sleeper that records the pauses, and file helpers.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/BenchEngine.h"
#include "SettingsTestSupport.h"
#include "platform/Registry.h"
#include "platform/StringList.h"
#include "services/SvCreateProcess.h"
#include "services/SvSHFileOperation.h"
#include "standin/GameTree.h"

// A settings key of the test's own, beside the program's and removed again at the end, held
// open as the main window holds its key, with the run's marks ("NoErrorWarning" and the
// configuration backup's) at "0".
class TTestSettings {
 public:
  TTestSettings();
  TTestSettings(const TTestSettings&) = delete;
  TTestSettings& operator=(const TTestSettings&) = delete;

  // Below HKEY_LOCAL_MACHINE, for BenchRunHost's --settings-key.
  const std::string& Path() const { return key_.Path(); }
  std::string Read(const std::string& name) { return Registry.ReadString(name); }
  void Write(const std::string& name, const std::string& value) {
    Registry.WriteString(name, value);
  }

 private:
  TTestSettingsKey key_;  // removed last

 public:
  TRegistry Registry;
};

class TRecordingView : public IBenchView {
 public:
  void ShowStatus(const std::string& text) override { Statuses.push_back(text); }
  void Repaint() override { ++Repaints; }
  void ShowMessage(const std::string& text) override { Messages.push_back(text); }
  void SetAbortPanelVisible(bool visible) override { PanelVisible = visible; }
  void RepaintAbortPanel() override { ++PanelRepaints; }
  void SetBenchButtonEnabled(bool enabled) override { ButtonEnabled = enabled; }
  void OpenReport(const std::string& fileName) override { OpenedReports.push_back(fileName); }

  std::vector<std::string> Statuses;
  std::vector<std::string> Messages;
  std::vector<std::string> OpenedReports;
  int Repaints = 0;
  int PanelRepaints = 0;
  bool PanelVisible = false;
  bool ButtonEnabled = true;
};

// A shell file operation whose copies end up empty, as on a full disk (the shell may well
// report success).
class TFullDiskFileOp : public TSvSHFileOperation {
 public:
  using TSvSHFileOperation::TSvSHFileOperation;
  bool Execute() override;
};

// A file held open by another program for as long as the object lives, sharing only what
// `share` allows (0: nothing, so it can be neither read nor written nor deleted).
class THeldOpen {
 public:
  THeldOpen(const std::string& fileName, DWORD share);
  ~THeldOpen();
  THeldOpen(const THeldOpen&) = delete;
  THeldOpen& operator=(const THeldOpen&) = delete;
  bool Ok() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

// `fileName` made a link to the device that is always full (Z:\dev\full) while the object
// lives: every write to it fails for lack of space, as on a full disk. The system's own "ln"
// and "rm", which Wine runs, make and remove the link (Wine can delete it no more than it can
// give it attributes, so FileExists does not see it).
class TFullDeviceLink {
 public:
  explicit TFullDeviceLink(const std::string& fileName);
  ~TFullDeviceLink();
  TFullDeviceLink(const TFullDeviceLink&) = delete;
  TFullDeviceLink& operator=(const TFullDeviceLink&) = delete;
  bool Ok() const { return ok_; }

 private:
  std::string fileName_;
  std::string unixName_;
  bool ok_ = false;
};

// The game's log as it wrote it, with the frame rate of each run replaced by the given ones in
// turn, so that the report's figures are known beforehand.
void SetLoggedScores(const std::string& log, const std::vector<std::string>& scores);

// A drive letter that no drive answers to, as "Q:": a folder there is on a disk not plugged in.
std::string MissingDrive();

bool IsReadOnly(const std::string& fileName);
void SetReadOnly(const std::string& fileName);

void WriteBytes(const std::string& fileName, const std::string& bytes);
// The file's bytes; "<missing>" when it cannot be read.
std::string ReadBytes(const std::string& fileName);
// The names of the files in `folder` that match `mask`, in the order the system lists them.
std::vector<std::string> FilesIn(const std::string& folder, const std::string& mask);
// Each line followed by CR LF.
void WriteLines(const std::string& fileName, const std::vector<std::string>& lines);
std::vector<std::string> Lines(const TStrings& list);
std::vector<std::string> FileLines(const std::string& fileName);
// Copies the files and folders of `source` into `dest`, making what is missing.
void CopyTree(const std::string& source, const std::string& dest);

// A fresh folder of its own under the temporary folder (a blank in its name, as in
// "Program Files"), holding "Program\" and a game tree "Game\Bin32\", "Game\Levels\".
class EngineTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::string Root;  // the scratch folder, ending in "\"
  TTestSettings Settings;
  TComponent Owner{nullptr};
  TSvSHFileOperation* FileOp = nullptr;
  TSvCreateProcess* Process = nullptr;
  TRecordingView View;
  std::vector<DWORD> Pauses;
  std::unique_ptr<TBenchEngine> Bench;

  // Pumps the GUI thread's messages until the process component reports the game's end.
  bool WaitForGame(DWORD timeoutMs = 60000);
};
