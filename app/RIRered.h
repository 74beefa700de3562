// The main window: eight pages of settings, the start button, the red status line and the
// panel that lets a run be aborted. It keeps the settings key open from its start to its
// close, finds the game, and hands the user's choices to the benchmark engine at each start.
//
// Index: where the settings live and how documents open · TForm1 (controls by their layout
// names, folders, lifecycle, discovery, option handlers, the run) · the program's windows.
// RIRered.cpp holds the lifecycle and the run, RIReredDiscovery.cpp finding the game and its
// maps and demos, RIReredOptions.cpp the pages' handlers.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/BenchEngine.h"
#include "app/GameDiscovery.h"
#include "app/GameFolders.h"
#include "app/SettingCodes.h"
#include "app/SettingsStore.h"
#include "platform/Forms.h"

class TFcBitBtn;
class TFcButton;
class TFcCheckBox;
class TFcCheckGroup;
class TFcComboBox;
class TFcCustomRadioGroup;
class TFcEdit;
class TFcNumericEdit;
class TFcPageControl;
class TFcRadioGroup;
class TFcSpinEdit;
class TFcStatusPane;
class TFcTabSheet;
class TFcToolButton;
class TFindFile;
class TFcVersionInfo;
class TFcOpenDialog;
class TFcSelectFolderDialog;
class TImage;
class TLabel;
class TPanel;
class TSvCreateProcess;
class TSvSHFileOperation;

// The registry key the main window keeps its settings in: the program's own unless a test
// names one of its own (or one that cannot be opened or written).
struct TSettingsPlace {
  HKEY Root = HKEY_LOCAL_MACHINE;
  std::string Key = kSettingsKey;
  REGSAM Access = KEY_ALL_ACCESS;
};
extern TSettingsPlace MainSettingsPlace;

// Opens a document or a web or mail link with the shell's "open" verb, without parameters or
// working folder; the report, the help page and the links all go through it, so that a test
// can see what would have opened.
using TDocumentOpener =
    std::function<void(HWND parent, const std::string& document, int showCommand)>;
extern TDocumentOpener OpenDocument;

// The texts of the window's own messages and status lines.
extern const char* const kScreenshotStatus;      // "Set the parameters & get screenshot!"
extern const char* const kAddInfoNeededMessage;  // "Firstly, click the "View additional ..."
extern const char* const kHelpDocument;          // "Help\help.htm", below the program folder
extern const char* const kMailLink;
extern const char* const kHomepageLink;
extern const char* const kSponsorLink;

class TForm1 : public TForm {
 public:
  explicit TForm1(TComponent* owner);
  ~TForm1() override;

  // Binds the controls below to the layout's components; a layout that lacks one is refused.
  void Loaded() override;

  // ---- Controls, by their layout names
  // Outside the pages.
  TImage* Image1 = nullptr;  // the title logo
  TFcToolButton* FcToolButton1 = nullptr;  // "E-mail"
  TFcToolButton* FcToolButton5 = nullptr;  // "Homepage"
  TFcToolButton* FcToolButton6 = nullptr;  // "Help"
  TImage* Image3 = nullptr;                // the sponsor's logo
  TFcStatusPane* FcStatusPane1 = nullptr;  // the red status line
  TFcBitBtn* BenchButton = nullptr;
  TPanel* Panel1 = nullptr;  // over the window while a run of several resolutions goes on
  TImage* Image2 = nullptr;  // "Abort Test"
  TLabel* Label12 = nullptr;
  TFcPageControl* FcPageControl1 = nullptr;
  TFcTabSheet* TabSheet6 = nullptr;  // "General"
  TFcTabSheet* TabSheet8 = nullptr;  // "Specific"
  // "Path"
  TFcToolButton* FcToolButton4 = nullptr;  // "Find Quenmar automatically"
  TFcToolButton* findman = nullptr;        // "Find Quenmar manually"
  TLabel* VersionLabel = nullptr;
  TLabel* dxv = nullptr;
  TFcEdit* QMPathEdit = nullptr;
  // "Demos"
  TFcRadioGroup* demo = nullptr;
  TFcComboBox* mapnamebox = nullptr;
  TFcComboBox* demonamebox = nullptr;
  TFcToolButton* FcToolButton3 = nullptr;  // "Import demo"
  // "Settings 1"
  TFcRadioGroup* DetailBox = nullptr;
  TFcButton* DetailButton = nullptr;
  TFcEdit* DetailEdit = nullptr;
  TFcCheckGroup* res = nullptr;
  // "Settings 2"
  TFcRadioGroup* PShader = nullptr;
  TFcComboBox* AFBox = nullptr;
  TFcComboBox* AABox = nullptr;
  // "Settings 3"
  TFcToolButton* FcToolButton7 = nullptr;  // "View additional information"
  TFcComboBox* RendererBox = nullptr;
  TFcComboBox* RunNumberBox = nullptr;
  TFcCheckBox* AddInfoBox = nullptr;
  TFcComboBox* LangBox = nullptr;
  // "General"
  TFcEdit* NoteEdit = nullptr;
  TFcEdit* ResEdit = nullptr;
  TFcToolButton* FcToolButton2 = nullptr;  // the results folder's choice
  TFcToolButton* FcToolButton8 = nullptr;  // its "Default"
  TFcComboBox* DecBox = nullptr;
  TLabel* Label8 = nullptr;
  TFcSpinEdit* waits = nullptr;
  TLabel* Label10 = nullptr;
  // "Screen"
  TFcCheckBox* EnableScShot = nullptr;
  TFcNumericEdit* FrameEdit = nullptr;
  TLabel* Label3 = nullptr;
  TFcEdit* ScrsaveFold = nullptr;
  TFcToolButton* FcToolButton9 = nullptr;   // the screenshot folder's choice
  TFcToolButton* FcToolButton10 = nullptr;  // its "Default"
  TFcButton* FcButton1 = nullptr;           // "New range"
  TFcCheckBox* AddInfo = nullptr;
  // "Specific"
  TFcCheckBox* hdrbox = nullptr;
  TFcCheckBox* CompRessBox = nullptr;
  TFcCheckBox* GIBox = nullptr;
  TFcCheckBox* sectime = nullptr;
  TFcSpinEdit* HDRLevelBox = nullptr;
  // Components without a window.
  TSvCreateProcess* cp = nullptr;
  TSvSHFileOperation* FileOp = nullptr;
  TFindFile* FindFile1 = nullptr;
  TFindFile* Findqmdemo = nullptr;
  TFcVersionInfo* FcVersionInfo = nullptr;
  // One open dialog serves the game's, a demo's and a configuration file's choice.
  TFcOpenDialog* FcOpenDialog = nullptr;
  TFcSelectFolderDialog* SelFolder = nullptr;

  // ---- Folders, each ending with a backslash
  std::string ProgramFolder;
  // The game's executable and root folders; empty while no game is known: then nothing
  // touches the game's files. A start hands them to the engine with the other choices.
  const TGameFolders& GameFolders() const { return game_; }
  // The automatic search's locations ("C:\;D:\;"); made at the first search, since walking
  // the system's drives is slow and nothing before the search needs them.
  std::string FixedDriveList;

  // The last game the automatic search found, and the build read last.
  std::string FoundPath;
  TGameBuild GameBuild;

  // The settings key, open from the start to the close; the dialogs use it too.
  TSettingsStore* Settings() const { return settings_.get(); }
  // The engine of the runs, with the choices of the last start.
  TBenchEngine& Bench() { return bench_; }

  // ---- Lifecycle (RIRered.cpp)
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);

  // ---- The run (RIRered.cpp)
  void BenchButtonClick(TObject* Sender);
  void cpTerminate(TObject* Sender, DWORD ExitCode);
  void Image2Click(TObject* Sender);
  // The choices as the controls hold them now, as a start hands them to the engine.
  TBenchChoices CurrentChoices();
  // The settings as the controls hold them now, as the close writes them (a separator box
  // holding neither "." nor "," gives the stored separator, else ".").
  TStoredSettings CurrentSettings();

  // ---- Finding the game, its maps and demos (RIReredDiscovery.cpp)
  void FcToolButton4Click(TObject* Sender);
  void findmanClick(TObject* Sender);
  void mapnameboxChange(TObject* Sender);
  void FcToolButton3Click(TObject* Sender);
  // What the manual choice does with the file the open dialog gave.
  void GameChosen(const std::string& fileName);
  // What the import does with the demo file the open dialog gave.
  void DemoChosen(const std::string& fileName);
  void FillMapList();
  void FillDemoList();

  // ---- The pages' handlers (RIReredOptions.cpp)
  void demoChanging(TObject* Sender, int NewIndex, bool& AllowChange);
  void DetailBoxChanging(TObject* Sender, int NewIndex, bool& AllowChange);
  void DetailButtonClick(TObject* Sender);
  void DecBoxChange(TObject* Sender);
  void DecBoxExit(TObject* Sender);
  void waitsChange(TObject* Sender);
  void AddInfoBoxClick(TObject* Sender);
  void EnableScShotClick(TObject* Sender);
  void hdrboxClick(TObject* Sender);
  void sectimeClick(TObject* Sender);
  void FrameEditRangeError(TObject* Sender, double Entered, double Adjusted, bool& AutoCorrect);
  void FrameEditExit(TObject* Sender);
  void FcButton1Click(TObject* Sender);
  void FcToolButton2Click(TObject* Sender);
  void FcToolButton9Click(TObject* Sender);
  void FcToolButton8Click(TObject* Sender);
  void FcToolButton10Click(TObject* Sender);
  void FcToolButton6Click(TObject* Sender);
  void FcToolButton1Click(TObject* Sender);
  void FcToolButton5Click(TObject* Sender);
  void Image3Click(TObject* Sender);
  void FcToolButton7Click(TObject* Sender);
  // What the custom file's choice does with the file the open dialog gave: one that cannot be
  // the game's configuration (a program, a binary file, one that cannot be read) is refused
  // with a message naming it.
  void CustomConfigChosen(const std::string& fileName);
  // What a folder choice does with the select-folder dialog's path ("" for a folder that has
  // none, such as My Computer).
  void FolderChosen(TFcEdit* edit, const std::string& path);

 private:
  class TView;
  template <class T>
  void Bind(T*& field, const char* name);

  // Steps of the start.
  void RestoreSettings(const TStoredSettings& stored);
  void StartWithGame(const TStoredSettings& stored);
  void StartWithoutGame(const TStoredSettings& stored);
  void OfferRepair();
  // Makes the game of these folders the one the window works on (none: empty folders).
  void SetGame(const TGameFolders& game);
  // Reads the build of the game's server program and applies what it allows.
  void ReadBuild(TBuildCheck check);
  void ApplyBuildRules(TBuildCheck check);
  void ShowDirectX();
  // The demo item checked now (-1: none), whatever the group's index says yet.
  static int CheckedItem(const TFcCustomRadioGroup* group);
  void ShowDecimalLabel();
  // The frame field's maximum and the range label for a demo of `frames` frames.
  void SetFrameRange(int frames);
  void ShowMessageBox(const std::string& text);
  // The open dialog with this filter and the choice's current file in its name field (its
  // folder shown; "" for none); the chosen file when it ends with OK.
  bool ChooseFile(const std::string& filter, const std::string& current, std::string& fileName);
  // The select-folder dialog; the chosen folder's path when it ends with OK.
  bool ChooseFolder(std::string& path);
  // The three small windows, shown modally; the main window does what the demo-frames
  // dialog's answer asks.
  void ShowHardwareDialog();
  void ShowDemoFramesDialog();
  void ShowDonationWindow();

  // Undoes the bindings of a layout that turns out to lack a control.
  std::vector<std::function<void()>> bound_;
  std::unique_ptr<TSettingsStore> settings_;
  std::unique_ptr<TView> view_;
  TGameFolders game_;
  TBenchEngine bench_;
  // The frame field's own range check found the number outside its range.
  bool frameOutOfRange_ = false;
  // FormCreate is running; a settings key that refuses a write has been reported.
  bool starting_ = false;
  bool settingsErrorShown_ = false;
};

extern TForm1* Form1;

// Puts the classes of every window into the class registry: the libraries' controls and
// components and the windows with their handlers.
void RegisterProgramClasses();
// Makes the program's windows in their order: the main window (its start restores the
// settings the others read), the hardware dialog, the demo-frames dialog and the donation
// window. The first becomes the application's main form unless one is set already.
void CreateProgramWindows();
