#include <gtest/gtest.h>

#include "app/BenchReport.h"
#include "app/EngineTestSupport.h"
#include "app/GameCommandLine.h"
#include "app/GameConfig.h"

namespace {

// The frame rates in a log's "Average FPS: x" lines, as the game wrote them.
std::vector<std::string> LoggedScores(const std::string& log) {
  std::vector<std::string> scores;
  for (const std::string& line : FileLines(log)) {
    size_t at = line.find("Average FPS: ");
    if (at != std::string::npos) scores.push_back(line.substr(at + 13));
  }
  return scores;
}

}  // namespace

// The stand-in game runs for real through the batch file and the process component; names
// with a blank, "%" and a non-ASCII letter must reach it as they are.
TEST_F(EngineTest, GameRunsAndItsScoresReachTheReport) {
  const std::string game = TestProgramFolder() + "..\\game";
  ASSERT_TRUE(FileExists(game + "\\Bin32\\Quenmar.exe")) << game;
  TBenchChoices& c = Bench->Choices;
  CopyTree(game, ExcludeTrailingBackslash(c.GameRoot));
  const std::string map = "100% K\xFChl", demoFile = "quick%OS%.tmd";
  ASSERT_TRUE(ForceDirectories(c.GameRoot + "Levels\\" + map));
  ASSERT_TRUE(CopyFileA((c.GameRoot + "Levels\\Training\\quick.tmd").c_str(),
                        (c.GameRoot + "Levels\\" + map + "\\" + demoFile).c_str(), FALSE));
  const std::string gameConfig = ReadBytes(c.GameRoot + "system.cfg");

  c.Demo = kUserDemoItem;
  c.MapName = map;
  c.DemoFileName = demoFile;
  c.Resolution[0] = true;
  c.RunNumber = "2";
  c.DetailLevel = 1;
  c.AFLevel = 0;
  c.AALevel = 0;
  c.Renderer = 0;
  c.ShaderModel = 0;
  c.Language = 1;
  c.DecimalSeparator = ".";
  TBenchRunState& s = Bench->State;
  s.TimeText = "10_11_12";
  s.ChosenCount = 1;

  BackupGameConfiguration(*Bench);
  FormRunArguments(*Bench);
  WriteGameConfiguration(*Bench);
  WriteReportHeader(*Bench);
  LaunchResolution(*Bench, 0);
  ASSERT_TRUE(WaitForGame());
  ++s.FinishedCount;

  const std::string log = c.GameRoot + "Levels\\" + map + "\\quick%OS%.log";
  ASSERT_EQ(DemoLogFileName(*Bench), log);
  ASSERT_EQ(LoggedScores(log).size(), 2u) << ReadBytes(log);
  // The game's own log, with figures known beforehand in place of its measured ones.
  SetLoggedScores(log, {"57.12", "57.13"});
  ASSERT_TRUE(CheckDemoLogFinished(*Bench)) << ReadBytes(log);
  AddReportSection(*Bench);
  FinishReport(*Bench);
  RestoreGameConfiguration(*Bench);

  const std::string report = ReadBytes(c.ResultsFolder + "result_10_11_12_.htm");
  EXPECT_NE(report.find("Score =  57.12 FPS (Run 1)"), std::string::npos) << report;
  EXPECT_NE(report.find("Score =  57.13 FPS (Run 2)"), std::string::npos) << report;
  EXPECT_NE(report.find("Average score = 57.12 FPS"), std::string::npos) << report;
  EXPECT_NE(report.find("Level: 100% K\xFChl, demo: quick%OS%.tmd<br>"), std::string::npos);
  EXPECT_EQ(ReadBytes(c.GameRoot + "system.cfg"), gameConfig);
}
