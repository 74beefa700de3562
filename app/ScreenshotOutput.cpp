#include "app/ScreenshotOutput.h"

#include "app/GameFiles.h"
#include "resources/ResourceIds.h"

std::string ScreenshotBaseName(const TBenchEngine& bench) {
  const TBenchRunState& state = bench.State;
  const std::string stamp = StringReplace(state.TimeText, "_", "", {rfReplaceAll});
  return bench.Choices.ScreenshotFolder + "frame" + bench.Choices.Frame + "_" + stamp + "_" +
         state.CurrentWidth;
}

void BuildScreenshotDescription(const TBenchEngine& bench, TStrings& lines) {
  const TBenchChoices& choices = bench.Choices;
  const TBenchRunState& state = bench.State;
  const std::string aa = AABoxText(choices.AALevel);
  lines.Clear();
  lines.Add(state.ResolutionText);
  lines.Add("Frame: " + choices.Frame);
  lines.Add("Renderer: " + state.RendererName);
  lines.Add("Demo: " + state.DemoName + ".tmd");
  lines.Add(state.PixelShaderText);
  lines.Add("Antialising: " + aa + (aa != "None" ? "\xD7" : ""));
  lines.Add("Anisotrophic filtering: " + AFBoxText(choices.AFLevel) + "\xD7");
  lines.Add("Quality: " + state.QualityText);
  lines.Add(choices.HDR ? "HDR: Level " + choices.HDRLevel : "HDR: disabled");
  lines.Add(choices.NormalMapsCompression ? "Normal-maps compression: enabled"
                                          : "Normal-maps compression: disabled");
  lines.Add(choices.GeometryInstancing ? "Geometry Instancing: enabled"
                                       : "Geometry Instancing: disabled");
  if (!choices.Note.empty()) lines.Add("Note: " + choices.Note);
}

void MoveOldScreenshotAside(const TBenchEngine& bench) {
  const std::string shot = bench.Choices.GameRoot + "Quenmar0000.jpg";
  if (!FileExists(shot)) return;
  const std::string aside = UniqueFileName(bench.Choices.GameRoot + "Quenmar0000", ".jpg");
  if (!MoveFileA(shot.c_str(), aside.c_str()))
    throw EGameFileError(ResMessage(IDS_FILE_NOT_MOVED, shot, aside, SysErrorMessage(GetLastError())));
}

TScreenshotResult MoveScreenshot(TBenchEngine& bench) {
  const std::string shot = bench.Choices.GameRoot + "Quenmar0000.jpg";
  TScreenshotResult result;
  if (!FileExists(shot)) return result;
  const std::string name = ScreenshotBaseName(bench);
  TStringList description;
  BuildScreenshotDescription(bench, description);
  // The shell's answer alone is not enough: it has reported success for a move into a
  // device name ("con") that left the picture where it was.
  if (bench.ShellMove(shot, name + ".jpg") && !FileExists(shot) && FileExists(name + ".jpg")) {
    result.Outcome = soMoved;
    description.SaveToFile(name + ".txt");
    return result;
  }
  const std::string kept = UniqueFileName(bench.Choices.GameRoot + ExtractFileName(name), ".jpg");
  result.Outcome = soKept;
  result.KeptAs = MoveFileA(shot.c_str(), kept.c_str()) ? kept : shot;
  description.SaveToFile(ChangeFileExt(result.KeptAs, ".txt"));
  return result;
}
