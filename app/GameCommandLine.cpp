#include "app/GameCommandLine.h"

#include "app/GameFiles.h"

#include "resources/ResourceIds.h"
#include "services/SvCreateProcess.h"
#include "platform/SysUtils.h"

namespace {

struct TStockDemo {
  const char* gameFile;
  const char* sourceFile;
  const char* map;  // as the command line names it
  const char* demo;
  const char* mapFolder;
  int frames;  // the last frame screenshot mode can take
};

const TStockDemo kStockDemos[kStockDemoCount] = {
    {"Levels\\Pier\\1.tmd", "PLMR\\1.tmd", "pier", "1", "Pier\\", 3721},
    {"Levels\\Steam\\nmxsteam.tmd", "NMX\\nmxsteam.tmd", "Steam", "nmxsteam", "Steam\\", 4053},
    {"Levels\\Regulator\\vl1-regulator.tmd", "VL\\vl1-regulator.tmd", "Regulator",
     "vl1-regulator", "Regulator\\", 4636},
    {"Levels\\Volcano\\nmxvolcano.tmd", "NMX\\nmxvolcano.tmd", "Volcano", "nmxvolcano",
     "Volcano\\", 6791},
    {"Levels\\Research\\gridwise001.tmd", "Gridwise\\gridwise001.tmd", "Research", "gridwise001",
     "Research\\", 2819},
    {"Levels\\Regulator\\Regulator.tmd", "Orvane\\Regulator.tmd", "Regulator", "Regulator",
     "Regulator\\", 3039},
    {"Levels\\Research\\Research.tmd", "Orvane\\Research.tmd", "Research", "Research",
     "Research\\", 1511},
    {"Levels\\Training\\Training.tmd", "Orvane\\Training.tmd", "Training", "Training",
     "Training\\", 2842},
    {"Levels\\Volcano\\Volcano.tmd", "Orvane\\Volcano.tmd", "Volcano", "Volcano", "Volcano\\",
     5466},
    {"Levels\\Archive\\Archive1.tmd", "NMX\\Archive1.tmd", "Archive", "Archive1", "Archive\\",
     9576},
    {"Levels\\River\\nmxriver.tmd", "NMX\\nmxriver.tmd", "River", "nmxriver", "River\\", 4217},
};

// Appends the argument between double quotes.
void AddQuoted(std::string& line, const std::string& argument) {
  line += '"';
  line += argument;
  line += '"';
}

}  // namespace

int StockDemoFrames(int item) { return kStockDemos[item].frames; }

std::string FrameRangeText(int frames) { return "(1 - " + IntToStr(frames) + " frames)"; }

bool ChosenDemo(const TBenchChoices& choices, TDemoEntry& demo) {
  if (choices.Demo >= 0 && choices.Demo < kStockDemoCount) {
    const TStockDemo& row = kStockDemos[choices.Demo];
    demo.GameFile = row.gameFile;
    demo.SourceFile = row.sourceFile;
    demo.MapArgument = std::string("map ") + row.map;
    demo.DemoArgument = std::string("demo ") + row.demo;
    demo.MapFolder = row.mapFolder;
    demo.DemoName = row.demo;
    demo.UserDemo = false;
    return true;
  }
  if (choices.Demo == kUserDemoItem) {
    const std::string& file = choices.DemoFileName;
    demo.GameFile = "Levels\\" + choices.MapName + "\\" + file;
    demo.SourceFile = choices.MapName + "\\" + file;
    demo.DemoName = file.size() > 4 ? file.substr(0, file.size() - 4) : "";
    demo.MapArgument = "map " + choices.MapName;
    demo.DemoArgument = "demo " + demo.DemoName;
    demo.MapFolder = choices.MapName + "\\";
    demo.UserDemo = true;
    return true;
  }
  return false;
}

void FormRunArguments(TBenchEngine& bench) {
  const TBenchChoices& choices = bench.Choices;
  TBenchRunState& state = bench.State;
  const std::string& runs = choices.RunNumber;
  if (runs.size() == 1 && runs[0] >= '1' && runs[0] <= '5')
    state.RunCountText = std::string(1, static_cast<char>(runs[0] - 1));
  state.HDRArgument = "#r_HDRRendering=" + (choices.HDR ? choices.HDRLevel : std::string("0"));
  state.NormalMapsArgument =
      std::string("#r_TexNormalMapCompressed=") + (choices.NormalMapsCompression ? "1" : "0");
}

std::string ShaderPathArgument(const TBenchChoices& choices) {
  if (choices.Renderer != 0) return "";
  switch (choices.ShaderModel) {
    case kShaderModel2Item: return "r_SM2XPATH 1";
    case kShaderModel3Item: return "r_SM30PATH 1";
    default: return "";
  }
}

void AppendDemoArguments(const TBenchChoices& choices, std::string& line) {
  TDemoEntry demo;
  if (!ChosenDemo(choices, demo)) return;
  line += ' ';
  AddQuoted(line, demo.MapArgument);
  line += ' ';
  AddQuoted(line, demo.DemoArgument);
  if (demo.UserDemo) line += ' ';
}

std::string BuildCommandLine(const TBenchChoices& choices, const TBenchRunState& state,
                             int resolution) {
  const TResolution& size = kResolutions[resolution];
  std::string line = "Quenmar.exe -DEVMODE ";
  std::string shaderPath = ShaderPathArgument(choices);
  if (!shaderPath.empty()) AddQuoted(line, shaderPath);
  line += ' ';
  const std::string settings[] = {"#demo_num_runs=" + state.RunCountText,
                                  "#demo_quit=1",
                                  "#r_Width=" + IntToStr(size.Width),
                                  "#r_Height=" + IntToStr(size.Height),
                                  "#r_Fullscreen=1",
                                  "#s_SoundEnable=0",
                                  "#s_MusicEnable=0"};
  for (const std::string& setting : settings) {
    AddQuoted(line, setting);
    line += ' ';
  }
  AddQuoted(line, state.HDRArgument);
  line += ' ';
  AddQuoted(line, state.NormalMapsArgument);
  AppendDemoArguments(choices, line);
  if (choices.ScreenshotMode) {
    long long frame = static_cast<long long>(StrToInt(choices.Frame)) + 1;
    line += ' ';
    AddQuoted(line, "#demo_screenshot_frame=" + IntToStr(frame));
    line += ' ';
  }
  return line;
}

std::string BatchLine(const std::string& commandLine) {
  return WideToCodePage(AnsiToWide(StringReplace(commandLine, "%", "%%", {rfReplaceAll})),
                        CP_OEMCP);
}

std::string LettersOutsideOemCodePage(const std::string& text) {
  if (GetOEMCP() == CP_UTF8) return std::string();
  const std::wstring wide = AnsiToWide(text);
  std::string letters;
  for (size_t i = 0; i < wide.size(); ++i) {
    const size_t length = IS_HIGH_SURROGATE(wide[i]) && i + 1 < wide.size() ? 2 : 1;
    const std::wstring letter = wide.substr(i, length);
    char bytes[8];
    BOOL lost = FALSE;
    WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, letter.data(), static_cast<int>(length),
                        bytes, sizeof bytes, nullptr, &lost);
    const std::string ansi = WideToCodePage(letter, CP_ACP);
    if (lost && letters.find(ansi) == std::string::npos)
      letters += (letters.empty() ? "" : ", ") + ansi;
    i += length - 1;
  }
  return letters;
}

std::string LettersNotForTheGame(const std::string& name) {
  std::string letters;
  const auto add = [&letters](const std::string& letter) {
    if (letters.find(letter) != std::string::npos) return;
    if (!letters.empty()) letters += ", ";
    letters += letter;
  };
  for (const char c : name) {
    const auto code = static_cast<unsigned char>(c);
    if (c == '"')
      add("\"");
    else if (code < 0x20 || code == 0x7F)
      add(ResMessage(IDS_CONTROL_CHARACTER, IntToStr(code)));
  }
  const std::string outside = LettersOutsideOemCodePage(name);
  if (!outside.empty()) add(outside);
  return letters;
}

std::string DemoLogFileName(const TBenchEngine& bench) {
  return bench.Choices.GameRoot + "Levels\\" + bench.State.MapFolder + bench.State.DemoName +
         ".log";
}

void PlaceDemo(TBenchEngine& bench) {
  const TBenchChoices& choices = bench.Choices;
  TDemoEntry demo;
  if (!ChosenDemo(choices, demo)) return;
  // The whole target name as destination: the shell then makes a missing map folder
  // instead of copying the demo onto a file named like the folder.
  if (!FileExists(choices.GameRoot + demo.GameFile))
    bench.ShellCopy(choices.ProgramFolder + demo.SourceFile, choices.GameRoot + demo.GameFile);
  bench.State.MapFolder = demo.MapFolder;
  bench.State.DemoName = demo.DemoName;
}

void WriteBatchFile(TBenchEngine& bench, int resolution) {
  TBenchRunState& state = bench.State;
  state.CurrentResolution = resolution;
  state.CurrentWidth = IntToStr(kResolutions[resolution].Width);
  PlaceDemo(bench);
  state.BatchText.Clear();
  state.BatchText.Add(BatchLine(BuildCommandLine(bench.Choices, state, resolution)));
  DeleteIfPresent(DemoLogFileName(bench));
  state.BatchText.SaveToFile(bench.Choices.ExeFolder + "rirered.bat");
}

void LaunchResolution(TBenchEngine& bench, int resolution) {
  const TBenchChoices& choices = bench.Choices;
  TBenchRunState& state = bench.State;
  while (resolution < kResolutionCount && !choices.Resolution[resolution]) ++resolution;
  if (resolution >= kResolutionCount) return;

  bench.ShowStatus(std::string(choices.ScreenshotMode ? "Screenshot mode in progress... "
                                                      : "Benchmarking in progress... ") +
                   "Resolution: " + ResolutionSize(resolution));
  bench.Repaint();
  WriteBatchFile(bench, resolution);
  state.ResolutionText = "Resolution: " + ResolutionSize(resolution);
  bench.Pause(500);
  if (resolution == 0) state.Success = false;

  if (!bench.cp) throw Exception("The benchmark has no process component");
  bench.cp->SetCurrentDirectory(choices.ExeFolder);
  // Quoted: unquoted, a blank in the folder ("C:\Program Files\...") would make the
  // system try "C:\Program" first.
  bench.cp->SetCommandLine("\"" + choices.ExeFolder + "rirered.bat\"");
  bench.cp->Run();
}
