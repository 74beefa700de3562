#include "app/ScreenshotOutput.h"

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

void MoveScreenshot(TBenchEngine& bench) {
  const std::string shot = bench.Choices.GameRoot + "Quenmar0000.jpg";
  if (!FileExists(shot)) return;
  const std::string name = ScreenshotBaseName(bench);
  bench.ShellMove(shot, name + ".jpg");
  TStringList description;
  BuildScreenshotDescription(bench, description);
  description.SaveToFile(name + ".txt");
}
