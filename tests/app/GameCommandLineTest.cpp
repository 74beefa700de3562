#include <gtest/gtest.h>

#include "app/EngineTestSupport.h"
#include "app/GameCommandLine.h"

namespace {

// The command line is made of the choices and the run's arguments alone: literal in,
// literal out.
TBenchChoices SteamChoices() {
  TBenchChoices c;
  c.Demo = 1;
  c.Renderer = 0;
  c.ShaderModel = 0;
  return c;
}

// The run's arguments of three runs without HDR or compression.
const TBenchRunState kThreeRuns{.RunCountText = "2",
                                .HDRArgument = "#r_HDRRendering=0",
                                .NormalMapsArgument = "#r_TexNormalMapCompressed=0"};

const char* const kExample1024 =
    "Quenmar.exe -DEVMODE  \"#demo_num_runs=2\" \"#demo_quit=1\" \"#r_Width=1024\" "
    "\"#r_Height=768\" \"#r_Fullscreen=1\" \"#s_SoundEnable=0\" \"#s_MusicEnable=0\" "
    "\"#r_HDRRendering=0\" \"#r_TexNormalMapCompressed=0\" \"map Steam\" \"demo nmxsteam\"";

// The engine's steps around the command line: the run's arguments, placing the demo, the launch.
class GameCommandLineTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    TBenchChoices& c = Bench->Choices;
    c.Demo = 1;
    c.RunNumber = std::string("3");
    c.Renderer = 0;
    c.ShaderModel = 0;
    FormRunArguments(*Bench);
  }
};

}  // namespace

TEST(GameCommandLine, ExampleOf1024x768) {
  EXPECT_EQ(BuildCommandLine(SteamChoices(), kThreeRuns, 2), kExample1024);
}

TEST(GameCommandLine, ShaderPathOnlyForDirect3D) {
  struct Case {
    int renderer, model;
    const char* argument;
  };
  const Case cases[] = {{0, 0, ""},
                        {0, 1, "r_SM2XPATH 1"},
                        {0, 2, "r_SM30PATH 1"},
                        {1, 1, ""},
                        {1, 2, ""},
                        {-1, 2, ""}};
  TBenchChoices c = SteamChoices();
  for (const Case& k : cases) {
    SCOPED_TRACE(Format("renderer %d, model %d", k.renderer, k.model));
    c.Renderer = k.renderer;
    c.ShaderModel = k.model;
    EXPECT_EQ(ShaderPathArgument(c), k.argument);
    const std::string expected =
        *k.argument ? std::string("Quenmar.exe -DEVMODE \"") + k.argument + "\" \"#demo"
                    : "Quenmar.exe -DEVMODE  \"#demo";
    EXPECT_EQ(BuildCommandLine(c, kThreeRuns, 0).substr(0, expected.size()), expected);
  }
}

TEST_F(GameCommandLineTest, RunArguments) {
  struct Case {
    const char* runNumber;
    bool hdr;
    const char* level;
    bool compression;
    const char* runCount;
    const char* hdrArgument;
    const char* normalMaps;
  };
  const Case cases[] = {
      {"1", false, "5", false, "0", "#r_HDRRendering=0", "#r_TexNormalMapCompressed=0"},
      {"5", true, "11", true, "4", "#r_HDRRendering=11", "#r_TexNormalMapCompressed=1"},
      {"x", true, "1", false, "4", "#r_HDRRendering=1", "#r_TexNormalMapCompressed=0"},
      {"", false, "1", false, "4", "#r_HDRRendering=0", "#r_TexNormalMapCompressed=0"},
  };
  for (const Case& k : cases) {  // in order: an unknown run number keeps the previous count
    SCOPED_TRACE(k.runNumber);
    TBenchChoices& c = Bench->Choices;
    c.RunNumber = k.runNumber;
    c.HDR = k.hdr;
    c.HDRLevel = k.level;
    c.NormalMapsCompression = k.compression;
    FormRunArguments(*Bench);
    EXPECT_EQ(Bench->State.RunCountText, k.runCount);
    EXPECT_EQ(Bench->State.HDRArgument, k.hdrArgument);
    EXPECT_EQ(Bench->State.NormalMapsArgument, k.normalMaps);
  }
}

TEST(GameCommandLine, ScreenshotFrameIsOneLater) {
  TBenchChoices c = SteamChoices();
  c.ScreenshotMode = true;
  c.Frame = "100";
  const std::string line = BuildCommandLine(c, kThreeRuns, 0);
  const std::string tail = "\"demo nmxsteam\" \"#demo_screenshot_frame=101\" ";
  EXPECT_EQ(line.substr(line.size() - tail.size()), tail);

  c.Frame = "ten";
  EXPECT_THROW(BuildCommandLine(c, kThreeRuns, 0), EConvertError);
}

TEST(GameCommandLine, UserDemo) {
  TBenchChoices c = SteamChoices();
  c.Demo = kUserDemoItem;
  c.MapName = "Pier";
  c.DemoFileName = "mydemo.tmd";
  const std::string line = BuildCommandLine(c, kThreeRuns, 0);
  const std::string tail = "\"#r_TexNormalMapCompressed=0\" \"map Pier\" \"demo mydemo\" ";
  EXPECT_EQ(line.substr(line.size() - tail.size()), tail);
}

// Placing the demo copies a missing one into its map folder and keeps the map folder and
// demo name for the log.
TEST_F(GameCommandLineTest, PlaceDemo) {
  TBenchChoices& c = Bench->Choices;
  struct Case {
    int demo;
    const char* map;
    const char* file;
    const char* source;
    const char* target;
    const char* mapFolder;
    const char* demoName;
    const char* log;
  };
  const Case cases[] = {
      {1, "", "", "NMX\\nmxsteam.tmd", "Levels\\Steam\\nmxsteam.tmd", "Steam\\", "nmxsteam",
       "Levels\\Steam\\nmxsteam.log"},
      {kUserDemoItem, "K\xFChl Halle", "my demo.tmd", "K\xFChl Halle\\my demo.tmd",
       "Levels\\K\xFChl Halle\\my demo.tmd", "K\xFChl Halle\\", "my demo",
       "Levels\\K\xFChl Halle\\my demo.log"},
      {kUserDemoItem, "Pier", "mydemo.tmd", "Pier\\mydemo.tmd", "Levels\\Pier\\mydemo.tmd", "Pier\\",
       "mydemo", "Levels\\Pier\\mydemo.log"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.target);
    c.Demo = k.demo;
    c.MapName = k.map;
    c.DemoFileName = k.file;
    ASSERT_TRUE(ForceDirectories(ExtractFileDir(c.ProgramFolder + k.source)));
    WriteBytes(c.ProgramFolder + k.source, "demo bytes");
    PlaceDemo(*Bench);  // the map folder does not exist yet
    EXPECT_EQ(ReadBytes(c.GameRoot + k.target), "demo bytes");
    EXPECT_TRUE(FileOp->SourceFiles()->Count() == 0 && FileOp->DestFiles()->Count() == 0);
    EXPECT_EQ(Bench->State.MapFolder, k.mapFolder);
    EXPECT_EQ(Bench->State.DemoName, k.demoName);
    EXPECT_EQ(DemoLogFileName(*Bench), c.GameRoot + k.log);
  }
}

TEST(GameCommandLine, PercentSignsReachTheGameUnchanged) {
  TBenchChoices c = SteamChoices();
  c.Demo = kUserDemoItem;
  c.MapName = "100% Map";
  c.DemoFileName = "a%OS%b.tmd";
  const std::string line = BuildCommandLine(c, kThreeRuns, 0);
  EXPECT_NE(line.find("\"map 100% Map\" \"demo a%OS%b\""), std::string::npos);
  const std::string batch = BatchLine(line), tail = "\"map 100%% Map\" \"demo a%%OS%%b\" ";
  EXPECT_EQ(batch.substr(batch.size() - tail.size()), tail);
  EXPECT_EQ(BatchLine("a%%b"), "a%%%%b");
}

TEST_F(GameCommandLineTest, LaunchPassesOnToTheNextChosenResolution) {
  TBenchChoices& c = Bench->Choices;
  TBenchRunState& s = Bench->State;
  c.Resolution[3] = true;  // 1280x1024 only
  s.Success = true;
  const std::string oldLog = c.GameRoot + "Levels\\Steam\\nmxsteam.log";
  ASSERT_TRUE(ForceDirectories(c.GameRoot + "Levels\\Steam"));
  WriteBytes(oldLog, "old");

  LaunchResolution(*Bench, 0);

  EXPECT_EQ(View.Statuses,
            std::vector<std::string>{"Benchmarking in progress... Resolution: 1280\xD7" "1024"});
  EXPECT_EQ(View.Repaints, 1);
  EXPECT_EQ(s.CurrentWidth, "1280");
  EXPECT_EQ(s.ResolutionText, "Resolution: 1280\xD7" "1024");
  EXPECT_FALSE(FileExists(oldLog));
  const std::string batch = ReadBytes(c.ExeFolder + "rirered.bat");
  EXPECT_EQ(batch, s.BatchText.Text());
  EXPECT_EQ(s.BatchText.Count(), 1);
  EXPECT_NE(batch.find("\"#r_Width=1280\" \"#r_Height=1024\""), std::string::npos);
  EXPECT_EQ(batch.substr(batch.size() - 2), "\r\n");
  EXPECT_EQ(Pauses, std::vector<DWORD>{500});
  EXPECT_TRUE(s.Success);  // only the 640x480 launch clears it
  EXPECT_EQ(Process->CurrentDirectory(), c.ExeFolder);
  EXPECT_EQ(Process->CommandLine(), "\"" + c.ExeFolder + "rirered.bat\"");
  EXPECT_TRUE(WaitForGame());

  // The 640x480 launch clears the success flag; nothing is chosen after 1600x1200.
  c.Resolution[0] = true;
  LaunchResolution(*Bench, 0);
  EXPECT_FALSE(s.Success);
  EXPECT_EQ(s.CurrentWidth, "640");
  EXPECT_TRUE(WaitForGame());
  View.Statuses.clear();
  LaunchResolution(*Bench, 4);
  EXPECT_TRUE(View.Statuses.empty());
}
