#include <gtest/gtest.h>

#include "app/EngineTestSupport.h"
#include "app/ScreenshotOutput.h"

namespace {

using V = std::vector<std::string>;

class ScreenshotOutputTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    TBenchChoices& c = Bench->Choices;
    c.Frame = "250";
    c.AALevel = 0;
    c.AFLevel = 2;
    c.HDR = true;
    c.HDRLevel = std::string("3");
    TBenchRunState& s = Bench->State;
    s.TimeText = "09_07_05";
    s.CurrentWidth = "800";
    s.ResolutionText = "Resolution: 800\xD7" "600";
    s.RendererName = "Direct3D";
    s.DemoName = "nmxsteam";
    s.PixelShaderText = "Pixel shader: model 2.0b";
    s.QualityText = "Ultra quality option";
  }
  std::string Shot() { return Bench->Choices.GameRoot + "Quenmar0000.jpg"; }
  std::string Output() { return Bench->Choices.ScreenshotFolder + "frame250_090705_800"; }
};

}  // namespace

TEST_F(ScreenshotOutputTest, MovesTheShotAndDescribesIt) {
  WriteBytes(Shot(), "\xFF\xD8 picture");
  MoveScreenshot(*Bench);
  EXPECT_FALSE(FileExists(Shot()));
  EXPECT_EQ(ReadBytes(Output() + ".jpg"), "\xFF\xD8 picture");
  EXPECT_EQ(FileLines(Output() + ".txt"),
            (V{"Resolution: 800\xD7" "600", "Frame: 250", "Renderer: Direct3D",
               "Demo: nmxsteam.tmd", "Pixel shader: model 2.0b", "Antialising: None",
               "Anisotrophic filtering: 4\xD7",
               "Quality: Ultra quality option", "HDR: Level 3",
               "Normal-maps compression: disabled", "Geometry Instancing: disabled"}));

  Bench->Choices.Note = "Tom & Jerry";
  Bench->Choices.AALevel = 2;
  TStringList lines;
  BuildScreenshotDescription(*Bench, lines);
  ASSERT_EQ(lines.Count(), 12);
  EXPECT_EQ(lines.Strings(5), "Antialising: 4\xD7");
  EXPECT_EQ(lines.Strings(11), "Note: Tom & Jerry");
}

TEST_F(ScreenshotOutputTest, NoShotNoFiles) {
  MoveScreenshot(*Bench);
  EXPECT_FALSE(FileExists(Output() + ".jpg"));
  EXPECT_FALSE(FileExists(Output() + ".txt"));
}

// A screenshot folder that cannot take the picture: it stays in the game's folder under the
// name it was meant to have (one not taken yet), with its description, so that the next game's
// screenshot cannot take its place.
TEST_F(ScreenshotOutputTest, APictureTheFolderCannotTakeIsKeptInTheGamesFolder) {
  struct Case {
    const char* name;
    std::string folder;
  };
  const Case cases[] = {
      {"missing drive", MissingDrive() + "\\Shots\\"},
      // The shell reports success for this one and moves nothing.
      {"device name", Root + "con\\"},
  };
  const std::string root = Bench->Choices.GameRoot;
  WriteBytes(root + "frame250_090705_800.jpg", "a picture of the user's");
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    Bench->Choices.ScreenshotFolder = k.folder;
    WriteBytes(Shot(), "\xFF\xD8 picture");

    MoveScreenshot(*Bench);

    EXPECT_FALSE(FileExists(Shot()));
    EXPECT_EQ(ReadBytes(root + "frame250_090705_800 (2).jpg"), "\xFF\xD8 picture");
    EXPECT_EQ(FileLines(root + "frame250_090705_800 (2).txt").at(1), "Frame: 250");
    EXPECT_EQ(ReadBytes(root + "frame250_090705_800.jpg"), "a picture of the user's");
    DeleteFileA((root + "frame250_090705_800 (2).jpg").c_str());
    DeleteFileA((root + "frame250_090705_800 (2).txt").c_str());
  }
}
