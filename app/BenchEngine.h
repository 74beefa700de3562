// The benchmark engine's shared record: the user's choices as the main window reads them
// from its controls, the state of one run, and the services the engine's steps work through.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/StringList.h"
#include "platform/SysUtils.h"

class TSvSHFileOperation;
class TSvCreateProcess;
class TRegistry;

// The settings key below HKEY_LOCAL_MACHINE that the main window's registry object holds open.
extern const char* const kSettingsKey;

// The five resolutions of the check group `res`, smallest first.
constexpr int kResolutionCount = 5;
struct TResolution {
  int Width;
  int Height;
};
extern const TResolution kResolutions[kResolutionCount];
// "640\xD7" "480": width, the multiplication sign of the ANSI code page, height.
std::string ResolutionSize(int resolution);
// "640&times;480": the same for HTML, right whatever the code page.
std::string ResolutionSizeHtml(int resolution);

// Item texts of the filter and renderer boxes; an index outside the list gives "".
std::string AFBoxText(int index);        // "1", "2", "4", "8", "16", "From System"
std::string AABoxText(int index);        // "None", "2", "4", "6", "8", "From System"
std::string RendererBoxText(int index);  // "Direct3D", "OpenGL"

// The stored hardware description (values of the settings key) that the report header shows.
struct THardwareDescription {
  std::string OS, CPU, Memory, VGA, VGAMemory, VGADriver, DirectX;
};

// Items of the detail-level group `DetailBox`.
constexpr int kUltraDetailItem = 0;
constexpr int kMaximumDetailItem = 1;
constexpr int kMinimumDetailItem = 2;
constexpr int kCustomDetailItem = 3;  // "Custom config file:"
// Items of the pixel-shader group `PShader`.
constexpr int kDefaultShaderItem = 0;
constexpr int kShaderModel2Item = 1;  // "Shader model 2.0b"
constexpr int kShaderModel3Item = 2;  // "Shader model 3.0"

// What the user chose, as the main window's controls hold it. Item indexes are -1 when
// nothing is selected.
struct TBenchChoices {
  // Program folder, game executable folder ("...\Bin32\") and game root, each ending in "\".
  std::string ProgramFolder, ExeFolder, GameRoot;

  int Demo = -1;             // `demo`: 0..10 stock demos, 11 "User defined demo"
  std::string MapName;       // `mapnamebox`: map folder of the user demo, no backslash
  std::string DemoFileName;  // `demonamebox`: the user demo's file, with ".tmd"
  bool Resolution[kResolutionCount] = {};  // `res`
  double Waits = 3;                       // `waits`: seconds between resolutions

  int DetailLevel = -1;          // `DetailBox`: 0 Ultra, 1 Maximum, 2 Minimum, 3 custom file
  std::string CustomConfigFile;  // `DetailEdit`
  int AFLevel = -1;              // `AFBox`
  int AALevel = -1;              // `AABox`
  int Renderer = -1;             // `RendererBox`: 0 Direct3D, 1 OpenGL
  int Language = -1;             // `LangBox`: 0 "Select language", 1..8 English..Russian
  int ShaderModel = -1;          // `PShader`: 0 default, 1 model 2.0b, 2 model 3.0
  bool HDR = false;              // `hdrbox`
  std::string HDRLevel;          // `HDRLevelBox` text
  bool NormalMapsCompression = false;  // `CompRessBox`
  bool GeometryInstancing = false;     // `GIBox`
  std::string RunNumber;               // `RunNumberBox` text, "1".."5"

  bool ScreenshotMode = false;    // `EnableScShot`
  std::string Frame;              // `FrameEdit` text
  bool AddDisplayInfo = false;    // `AddInfo`
  std::string ScreenshotFolder;   // `ScrsaveFold`, ending in "\"

  bool AddAdditionalInfo = false;  // `AddInfoBox`
  std::string Note;                // `NoteEdit`
  std::string DecimalSeparator;    // `DecBox` text: "." or ","
  std::string ResultsFolder;       // `ResEdit`, ending in "\" (or empty)
  THardwareDescription Hardware;
};

// The state of one run, shared by the start, the launches, the end handler and the report.
struct TBenchRunState {
  int ChosenCount = 0;    // resolutions chosen
  int FinishedCount = 0;  // resolutions whose game has ended
  bool Abort = false;
  bool Success = false;   // the last log holds the finished line
  int Wait = 0;           // ms between resolutions
  TDateTime StartTime = 0;
  std::string TimeText;   // start time for file names: "14_05_33"
  std::string StartText;  // start date and time for the report header
  std::string PixelShaderText;

  std::string RunCountText = "0";  // number of runs minus one
  std::string HDRArgument = "#r_HDRRendering=0";
  std::string NormalMapsArgument = "#r_TexNormalMapCompressed=0";
  std::string QualityText;   // "Ultra quality option" ...
  std::string RendererName;  // "Direct3D" or "OpenGL"
  std::string CustomConfigText;  // the user's own configuration, read at the start

  int CurrentResolution = 0;   // index into kResolutions of the resolution being run
  std::string CurrentWidth;    // "640" .. "1600" of the resolution being run
  std::string ResolutionText;  // "Resolution: 640\xD7" "480"
  std::string MapFolder;       // map folder of the demo being run, ending in "\"
  std::string DemoName;        // its demo name, without ".tmd"

  TStringList BatchText;   // the batch file's one line
  TStringList ConfigWork;  // configuration being edited
  TStringList Override;    // lines of "Systemcfgoverride.cfg"
  TStringList RestoreList;
  TStringList Report;      // the HTML report, one entry per line
  int MeasuredSections = 0;  // resolutions whose scores the report holds
  std::string LogProblem;    // what the last log check found missing ("" when it passed)
  TStringList LogList;     // the time-demo log being read
  // Screenshot mode: the resolutions whose game took no picture, and where the pictures are
  // that the screenshot folder could not take (one sentence each, for the status line).
  std::vector<std::string> ScreenshotsMissing;
  std::vector<std::string> ScreenshotsKept;
};

// How the engine reports to the user; the main window implements it.
class IBenchView {
 public:
  virtual ~IBenchView() = default;
  virtual void ShowStatus(const std::string& text) = 0;  // the red status line
  virtual void Repaint() = 0;                            // paint the window now
  virtual void ShowMessage(const std::string& text) = 0;  // modal box with OK
  // `Panel1`, the white panel over the window with the abort image.
  virtual void SetAbortPanelVisible(bool visible) = 0;
  virtual void RepaintAbortPanel() = 0;
  // `BenchButton`, disabled while a run is under way.
  virtual void SetBenchButtonEnabled(bool enabled) = 0;
  // Opens the finished report with the shell's "open" verb, shown normally.
  virtual void OpenReport(const std::string& fileName);
};

using TSleeper = std::function<void(DWORD milliseconds)>;

// Everything the engine's steps read and change. The main window owns one, fills Choices
// from its controls and hands in its file operation and process components.
struct TBenchEngine {
  TBenchEngine();
  TBenchEngine(const TBenchEngine&) = delete;
  TBenchEngine& operator=(const TBenchEngine&) = delete;

  TBenchChoices Choices;
  TBenchRunState State;

  // The configuration templates; their edits carry over from run to run while the program
  // runs.
  TStringList UltraSet, MaxSet, MinSet;

  IBenchView* View = nullptr;
  TSvSHFileOperation* FileOp = nullptr;
  TSvCreateProcess* cp = nullptr;
  // The main window's registry object, open on kSettingsKey.
  TRegistry* Registry = nullptr;
  // The pauses between the steps; Sleep unless replaced.
  TSleeper Sleeper;

  void Pause(DWORD milliseconds) const;
  void ShowStatus(const std::string& text) const;
  void Repaint() const;
  void ShowMessage(const std::string& text) const;
  void SetAbortPanelVisible(bool visible) const;
  void RepaintAbortPanel() const;
  void SetBenchButtonEnabled(bool enabled) const;
  void OpenReport(const std::string& fileName) const;
  // Writes one string value of the settings key.
  void WriteSetting(const std::string& name, const std::string& value) const;
  // One string value of the settings key; "" when it has none.
  std::string ReadSetting(const std::string& name) const;

  // Copy or move of one file through the shell, without questions; the destination names
  // the target file, so missing folders are made. True when the shell reports success.
  bool ShellCopy(const std::string& source, const std::string& dest) const;
  bool ShellMove(const std::string& source, const std::string& dest) const;

 private:
  TSvSHFileOperation& FileOperation() const;
};
