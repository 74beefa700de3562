#include <gtest/gtest.h>

#include "app/BenchReport.h"
#include "app/EngineTestSupport.h"

namespace {

using V = std::vector<std::string>;

// A log as the game writes it: three leading lines, five lines per run whose first holds the
// frame rate, and the finished line of every run.
V GameLog(const V& scores) {
  V log = {"==============================================================",
           "TimeDemo Play Started , (Total Frames: 120, Recorded Time: 4.00s)",
           "-----------------------------------------------------------------"};
  for (size_t run = 0; run < scores.size(); ++run) {
    log.push_back("!TimeDemo Run " + std::to_string(run) +
                  " Finished.  Play Time: 2.10s, Average FPS: " + scores[run]);
    log.push_back(" Min FPS: 40.10 at frame 12, Max FPS: 80.30 at frame 100");
    log.push_back(" Average Tri/Sec: 3000000, Tri/Frame: 52000");
    log.push_back(" Recorded/Played Tris ratio: 1.00");
    log.push_back("!TimeDemo Run " + std::to_string(run) + " Finished.");
  }
  return log;
}

class BenchReportTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    TBenchRunState& s = Bench->State;
    s.MapFolder = "Pier\\";
    s.DemoName = "1";
    s.CurrentResolution = 2;
    s.CurrentWidth = "1024";
    s.QualityText = "Maximum quality option";
    s.RendererName = "Direct3D";
    s.TimeText = "14_05_33";
    s.StartText = "12_31_2024 14:05:33";
    s.ChosenCount = 2;
    s.FinishedCount = 1;
    TBenchChoices& c = Bench->Choices;
    c.Renderer = 0;
    c.ShaderModel = 0;
    c.AALevel = 0;
    c.AFLevel = 0;
  }
  std::string LogFile() { return Bench->Choices.GameRoot + "Levels\\Pier\\1.log"; }
  // Runs the section for a log of these scores and returns the lines it added.
  V Section(const V& scores) {
    Bench->State.RunCountText = std::to_string(scores.size() - 1);
    WriteLines(LogFile(), GameLog(scores));
    const int before = Bench->State.Report.Count();
    AddReportSection(*Bench);
    V lines = Lines(Bench->State.Report);
    return V(lines.begin() + before, lines.end());
  }
};

}  // namespace

TEST_F(BenchReportTest, LogFinishedOnlyWithTheLastRunsWholeLine) {
  struct Case {
    const char* name;
    V log;  // empty: no log file
    const char* runCount;
    bool finished;
  };
  const Case cases[] = {
      {"no log", {}, "0", false},
      {"two runs finished", GameLog({"57.12", "57.13"}), "1", true},
      {"other case", {"a", "!timedemo run 1 FINISHED."}, "1", true},
      {"fewer runs than asked for", GameLog({"57.12", "57.13"}), "2", false},
      {"not the whole line", {"!TimeDemo Run 0 Finished. "}, "0", false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    DeleteFileA(LogFile().c_str());
    if (!k.log.empty()) WriteLines(LogFile(), k.log);
    Bench->State.RunCountText = k.runCount;
    Bench->State.Success = !k.finished;
    EXPECT_EQ(CheckDemoLogFinished(*Bench), k.finished);
    EXPECT_EQ(Bench->State.Success, k.finished);
  }
}

TEST_F(BenchReportTest, SectionOfTwoRuns) {
  EXPECT_EQ(Section({"57.12", "57.13"}),
            (V{"<BR><B><FONT size=5>Resolution: 1024&times;768</FONT></B><BR>",
               "Maximum quality option, Direct3D renderer<br>",
               "Level: Pier, demo: 1.tmd<br>",
               "Pixel shader: default model<br>",
               "Antialising: None<br>",
               "Anisotrophic filtering: 1&times;<br>",
               "HDR: disabled<br>",
               "Geometry Instancing: disabled<br>",
               "Normal-maps compression: disabled<br><br>",
               "<span class=\"style5\">Score =  57.12 FPS (Run 1)</span><br>",
               "<span class=\"style5\">Score =  57.13 FPS (Run 2)</span><br>",
               "<span class=\"style5\"><b>Average score = 57.12 FPS</b></span><br>",
               "<br><HR>"}));
  EXPECT_FALSE(FileExists(ReportFileName(*Bench)));  // a section is not saved by itself
  EXPECT_TRUE(Pauses.empty());
  EXPECT_EQ(Bench->State.MeasuredSections, 1);
}

TEST_F(BenchReportTest, OneRunWithOpenGLHasNoPixelShaderLine) {
  TBenchChoices& c = Bench->Choices;
  c.Renderer = 1;
  c.AALevel = 3;
  c.AFLevel = 5;
  c.HDR = true;
  c.HDRLevel = "7";
  c.GeometryInstancing = true;
  c.NormalMapsCompression = true;
  Bench->State.RendererName = "OpenGL";
  Bench->State.CurrentResolution = 4;
  Bench->State.CurrentWidth = "1600";
  EXPECT_EQ(Section({"61.5"}),
            (V{"<BR><B><FONT size=5>Resolution: 1600&times;1200</FONT></B><BR>",
               "Maximum quality option, OpenGL renderer<br>",
               "Level: Pier, demo: 1.tmd<br>",
               "Antialising: 6&times;<br>",
               "Anisotrophic filtering: From System&times;<br>",
               "HDR: level 7<br>",
               "Geometry Instancing: enabled<br>",
               "Normal-maps compression: enabled<br><br>",
               "<span class=\"style5\">Score =  61.5 FPS</span><br>",
               "<br><HR>"}));
}

TEST_F(BenchReportTest, ScoresAndTheCutFloatAverage) {
  struct Case {
    V scores;
    const char* decBox;
    char locale;
    V shown;  // the scores as the report shows them
    const char* average;
  };
  const Case cases[] = {
      {{"57.12", "57.13"}, ".", '.', {" 57.12", " 57.13"}, "57.12"},  // 57.125 cut, not rounded
      {{"57.12", "57.12"}, ".", '.', {" 57.12", " 57.12"}, "57.11"},  // float: 57.1199989318848
      {{"57.12", "57.13"}, ",", '.', {" 57,12", " 57,13"}, "57,12"},
      {{"100.00", "100.00"}, ".", '.', {" 100.00", " 100.00"}, "100"},
      {{"30.5", "40.25", "50"}, ".", '.', {" 30.5", " 40.25", " 50"}, "40.25"},
      {{"414.39", "931.93"}, ".", '.', {" 414.39", " 931.93"}, "673.16"},  // 32-bit sum too
      {{"57.12", "57.13"}, ".", ',', {" 57.12", " 57.13"}, "57.12"},  // a locale reading commas
      {{"57,12", "57,13"}, ",", ',', {" 57,12", " 57,13"}, "57,12"},
      // Averages whose shortest text has an exponent: 9.99999997475243E-7 and
      // 3.00000002808218E15 as floats, written out in full before the cut.
      {{"0.000001", "0.000001"}, ".", '.', {" 0.000001", " 0.000001"}, "0.00"},
      {{"3000000000000000", "3000000000000000"}, ",", '.',
       {" 3000000000000000", " 3000000000000000"}, "3000000028082180"},
  };
  const char saved = FormatSettings.DecimalSeparator;
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.decBox) + " " + k.scores[0] + " locale " + k.locale);
    Bench->Choices.DecimalSeparator = k.decBox;
    FormatSettings.DecimalSeparator = k.locale;
    V section = Section(k.scores);
    FormatSettings.DecimalSeparator = saved;
    ASSERT_EQ(section.size(), 9 + k.scores.size() + 2);
    for (size_t n = 0; n < k.scores.size(); ++n)
      EXPECT_EQ(section[9 + n], "<span class=\"style5\">Score = " + k.shown[n] + " FPS (Run " +
                                    std::to_string(n + 1) + ")</span><br>");
    EXPECT_EQ(section[9 + k.scores.size()],
              std::string("<span class=\"style5\"><b>Average score = ") + k.average +
                  " FPS</b></span><br>");
  }
}

TEST(BenchReport, CutAverageKeepsTwoDigitsWithoutRounding) {
  EXPECT_EQ(CutAverage(57.125f, "."), "57.12");
  EXPECT_EQ(CutAverage(57.12f, ","), "57,11");
  EXPECT_EQ(CutAverage(100.0f, "."), "100");
  EXPECT_EQ(CutAverage(99.5f, "."), "99.5");
}

TEST_F(BenchReportTest, MalformedLogFailsAndLeavesTheReportAlone) {
  struct Case {
    const char* name;
    V log;
    const char* runCount;
    bool conversion;  // else a list error
  };
  V oneBlockShort = GameLog({"57.12", "57.13"});
  oneBlockShort.resize(3 + 5);
  const Case cases[] = {
      {"empty", {}, "0", false},
      {"leading lines only", GameLog({}), "0", false},
      {"one block for two runs", oneBlockShort, "1", false},
      {"score not a number", GameLog({"57.12", "fast"}), "1", true},
      {"score empty", GameLog({""}), "0", true},
      {"one run not a number", GameLog({"12.5.3"}), "0", true},
      {"negative score", GameLog({"-5.00"}), "0", true},
      {"score beyond a float", GameLog({"1e39"}), "0", true},
      {"scores whose sum is beyond a float", GameLog({"3e38", "3e38"}), "1", true},
  };
  WriteReportHeader(*Bench);
  const V header = Lines(Bench->State.Report);
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    WriteLines(LogFile(), k.log);
    Bench->State.RunCountText = k.runCount;
    bool listError = false, convertError = false;
    try {
      AddReportSection(*Bench);
    } catch (const EListError& e) {
      listError = true;
      EXPECT_NE(e.Message().find("1.log"), std::string::npos) << e.Message();
    } catch (const EConvertError& e) {
      convertError = true;
      EXPECT_NE(e.Message().find("1.log"), std::string::npos) << e.Message();
    }
    EXPECT_EQ(convertError, k.conversion);
    EXPECT_EQ(listError, !k.conversion);
    EXPECT_EQ(Lines(Bench->State.Report), header);
    EXPECT_EQ(Bench->State.MeasuredSections, 0);
  }
}

TEST_F(BenchReportTest, HeaderWithoutNoteOrInformation) {
  Bench->Choices.ProgramFolder = "C:\\Program Files\\RIRered\\";
  Bench->Choices.Hardware.OS = "Windows 7";  // not asked for
  ASSERT_EQ(GetACP(), 1252u);
  WriteReportHeader(*Bench);
  EXPECT_EQ(Lines(Bench->State.Report),
            (V{"<html>",
               "<head>",
               "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">",
               "<title>Quenmar Benchmark - www.nemorix.com</title>",
               "<style type=\"text/css\">",
               "<!--",
               ".style4 {",
               "\tcolor: #0066FF;",
               "\tfont-weight: bold;",
               "}",
               ".style5 {color: #990000}",
               "-->",
               "</style>",
               "</head>",
               "<body>",
               "<p align=\"center\"><img src=\"file:///C:/Program%20Files/RIRered/logo1.jpg\" "
               "width=\"197\" height=\"80\"></p><br>",
               "   The benchmark started at 12_31_2024 14:05:33<br>",
               "<hr>"}));
}

TEST_F(BenchReportTest, HeaderShowsNoteAndDescriptionAsTyped) {
  TBenchChoices& c = Bench->Choices;
  c.AddAdditionalInfo = true;
  c.Note = "Tom & Jerry <3";
  c.Hardware = {"Windows 7", "CPU \"fast\"", "", "GeForce <6800>", "", "", "DirectX 9.0c"};
  WriteReportHeader(*Bench);
  V lines = Lines(Bench->State.Report);
  EXPECT_EQ(V(lines.begin() + 17, lines.end()),
            (V{"<p align=\"left\" class=\"style4\">System</p>",
               "   <FONT size=2>Windows 7</FONT><br>",
               "   <FONT size=2>CPU &quot;fast&quot;</FONT><br>",
               "   <FONT size=2>GeForce &lt;6800&gt;</FONT><br>",
               "   <FONT size=2>DirectX 9.0c</FONT><br><br>",
               "   Comment: Tom &amp; Jerry &lt;3<br>",
               "<hr>"}));

  // Without a stored system the title line is left out.
  c.Hardware = {"", "Athlon", "", "", "", "", ""};
  c.Note.clear();
  WriteReportHeader(*Bench);
  lines = Lines(Bench->State.Report);
  EXPECT_EQ(V(lines.begin() + 17, lines.end()), (V{"   <FONT size=2>Athlon</FONT><br>", "<hr>"}));
}

TEST_F(BenchReportTest, FinishClosesAndSavesTheReport) {
  TBenchChoices& c = Bench->Choices;
  struct Case {
    std::string results;
    std::string saved;
  };
  const Case cases[] = {
      {Root + "Results\\not made yet\\", Root + "Results\\not made yet\\result_14_05_33_.htm"},
      {"", c.GameRoot + "Benchmark\\result_14_05_33_.htm"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.saved);
    c.ResultsFolder = k.results;
    Pauses.clear();
    WriteReportHeader(*Bench);
    Section({"57.12", "57.13"});
    FinishReport(*Bench);
    EXPECT_EQ(ReportFileName(*Bench), k.saved);
    const std::string bytes = ReadBytes(k.saved);
    EXPECT_EQ(bytes, Bench->State.Report.Text());
    EXPECT_EQ(bytes.substr(0, 8), "<html>\r\n");
    EXPECT_NE(bytes.find("<br><HR>\r\n<P></P>\r\n"), std::string::npos);
    EXPECT_EQ(bytes.substr(bytes.size() - 16), "</BODY></HTML>\r\n");
    EXPECT_EQ(Pauses, std::vector<DWORD>{500});
  }
}

TEST_F(BenchReportTest, LogCheckNamesTheLogAndWhatIsMissing) {
  Bench->State.RunCountText = "1";
  DeleteFileA(LogFile().c_str());
  EXPECT_FALSE(CheckDemoLogFinished(*Bench));
  EXPECT_EQ(Bench->State.LogProblem,
            "The time-demo log \"" + LogFile() + "\" is missing.");
  WriteLines(LogFile(), GameLog({"57.12"}));
  EXPECT_FALSE(CheckDemoLogFinished(*Bench));
  EXPECT_EQ(Bench->State.LogProblem, "The time-demo log \"" + LogFile() +
                                         "\" has no line \"!TimeDemo Run 1 Finished.\".");
  WriteLines(LogFile(), GameLog({"57.12", "57.13"}));
  EXPECT_TRUE(CheckDemoLogFinished(*Bench));
  EXPECT_EQ(Bench->State.LogProblem, "");
}

TEST_F(BenchReportTest, FailedSectionSaysWhy) {
  const int before = Bench->State.Report.Count();
  AddFailedReportSection(*Bench, "The time-demo log \"C:\\a<b>.log\" is missing.");
  const V lines = Lines(Bench->State.Report);
  EXPECT_EQ(V(lines.begin() + before, lines.end()),
            (V{"<BR><B><FONT size=5>Resolution: 1024&times;768</FONT></B><BR>",
               "<span class=\"style5\">The time-demo log &quot;C:\\a&lt;b&gt;.log&quot; is "
               "missing.</span><br>",
               "<br><HR>"}));
  EXPECT_EQ(Bench->State.MeasuredSections, 0);
}

TEST(BenchReport, FileUrlsThatEveryBrowserReads) {
  struct Case {
    const char* path;
    const char* url;
  };
  const Case cases[] = {
      {"C:\\Program Files\\RIRered\\logo1.jpg", "file:///C:/Program%20Files/RIRered/logo1.jpg"},
      {"C:\\100% sure\\logo1.jpg", "file:///C:/100%25%20sure/logo1.jpg"},
      {"C:\\Bench #2\\a?b\\logo1.jpg", "file:///C:/Bench%20%232/a%3Fb/logo1.jpg"},
      {"C:\\Tom & Jerry\\logo1.jpg", "file:///C:/Tom%20&%20Jerry/logo1.jpg"},
      {"C:\\Caf\xE9\\logo1.jpg", "file:///C:/Caf%C3%A9/logo1.jpg"},  // UTF-8, not the byte E9
      {"D:\\\"quoted\" <x>\\logo1.jpg", "file:///D:/%22quoted%22%20%3Cx%3E/logo1.jpg"},
      {"\\\\server\\share\\Bench Folder\\logo1.jpg",
       "file://server/share/Bench%20Folder/logo1.jpg"},
  };
  ASSERT_EQ(GetACP(), 1252u);
  for (const Case& c : cases) EXPECT_EQ(FileUrl(c.path), c.url) << c.path;
}

TEST_F(BenchReportTest, TheLogosUrlIsEscapedForItsAttribute) {
  Bench->Choices.ProgramFolder = "C:\\Tom & Jerry\\";
  WriteReportHeader(*Bench);
  EXPECT_EQ(Bench->State.Report.Strings(15),
            "<p align=\"center\"><img src=\"file:///C:/Tom%20&amp;%20Jerry/logo1.jpg\" "
            "width=\"197\" height=\"80\"></p><br>");
}

TEST(BenchReport, CharsetNamesOfTheAnsiCodePages) {
  const std::pair<UINT, const char*> cases[] = {
      {1250, "windows-1250"}, {1251, "windows-1251"}, {1252, "windows-1252"},
      {1253, "windows-1253"}, {1257, "windows-1257"}, {874, "windows-874"},
      {932, "shift_jis"},     {936, "gbk"},           {949, "euc-kr"},
      {950, "big5"},          {12345, ""},
  };
  for (const auto& [codePage, name] : cases) EXPECT_EQ(CharsetName(codePage), name) << codePage;
}
