#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include "standin/GameTree.h"
#include "standin/JpegProbe.h"

namespace {

constexpr int kQuickFrames = 40;  // Levels\Training\quick.tmd
constexpr DWORD kTimeoutMs = 60000;

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadFile(const std::string& path) {
  std::string text;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, n);
    std::fclose(f);
  }
  return text;
}

void WriteFile(const std::string& path, const std::string& text) {
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(nullptr, f) << path;
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t pos = 0; pos < text.size();) {
    size_t end = text.find("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(pos, end - pos));
    pos = end + 2;
  }
  return lines;
}

bool HasFinishedLine(const std::string& log) {
  for (const std::string& line : Lines(log))
    if (line.rfind("!TimeDemo Run", 0) == 0) return true;
  return false;
}

// The game's command line as the front end builds it for its batch file.
struct TLaunch {
  std::string shaderPath;  // "", "r_SM2XPATH 1" or "r_SM30PATH 1"
  int runs = 1;
  int width = 640, height = 480;
  std::string map = "Training", demo = "quick";
  bool userDemo = false;    // the user demo's arguments end with one more blank
  int screenshotFrame = 0;  // the frame argument; 0: none
};

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

std::string CommandLine(const TLaunch& l) {
  std::string line = "Quenmar.exe -DEVMODE " + (l.shaderPath.empty() ? "" : Quoted(l.shaderPath)) + " ";
  for (std::string var : {"#demo_num_runs=" + std::to_string(l.runs - 1), std::string("#demo_quit=1"),
                          "#r_Width=" + std::to_string(l.width), "#r_Height=" + std::to_string(l.height),
                          std::string("#r_Fullscreen=1"), std::string("#s_SoundEnable=0"),
                          std::string("#s_MusicEnable=0"), std::string("#r_HDRRendering=0")})
    line += Quoted(var) + " ";
  line += Quoted("#r_TexNormalMapCompressed=0");
  line += " " + Quoted("map " + l.map) + " " + Quoted("demo " + l.demo) + (l.userDemo ? " " : "");
  if (l.screenshotFrame) line += " " + Quoted("#demo_screenshot_frame=" + std::to_string(l.screenshotFrame)) + " ";
  return line;
}

// Starts a process and waits for it; its exit code, or -1 when it did not end in time.
long RunProcess(const char* application, std::string commandLine, const std::string& folder) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(application, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi))
    return -2;
  CloseHandle(pi.hThread);
  long result = -1;
  if (WaitForSingleObject(pi.hProcess, kTimeoutMs) == WAIT_OBJECT_0) {
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    result = static_cast<long>(code);
  }
  CloseHandle(pi.hProcess);
  return result;
}

// As the front end starts the game: a one-line batch file in the game's Bin32 folder, run
// hidden with that folder as the current one. The batch's exit code is the game's.
long RunBatch(const std::string& exeFolder, const std::string& line) {
  WriteFile(exeFolder + "rirered.bat", line + "\r\n");
  return RunProcess(nullptr, Quoted(exeFolder + "rirered.bat"), exeFolder);
}

}  // namespace

TEST(StandinGame, PlaysTheDemoOnceMorePerExtraRunAndLogsAsTheFrontEndReadsIt) {
  TGameTreeCopy game("StandinRuns");
  ASSERT_TRUE(game.Ok());
  TLaunch launch;
  launch.runs = 2;
  EXPECT_EQ(0, RunBatch(game.ExeFolder(), CommandLine(launch)));

  const std::string text = ReadFile(game.Root() + "Levels\\Training\\quick.log");
  ASSERT_FALSE(text.empty());
  EXPECT_EQ("\r\n", text.substr(text.size() - 2));
  for (size_t lf = text.find('\n'); lf != std::string::npos; lf = text.find('\n', lf + 1))
    ASSERT_TRUE(lf > 0 && text[lf - 1] == '\r') << "every line ends with CR LF";
  const std::vector<std::string> lines = Lines(text);
  ASSERT_EQ(3u + 2 * 5, lines.size()) << text;
  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    const std::string* block = &lines[3 + 5 * run];
    // The front end's reading: after the first comma, then after the first colon.
    std::string score = block[0].substr(block[0].find(',') + 1);
    score = score.substr(score.find(':') + 1);
    EXPECT_TRUE(std::regex_match(score, std::regex(" [0-9]+\\.[0-9][0-9]"))) << block[0];
    const double fps = std::atof(score.c_str());
    EXPECT_GT(fps, 0);
    // The rate is the frames shown over the time they took.
    double seconds = 0;
    int frames = 0;
    ASSERT_EQ(2, std::sscanf(block[1].c_str(), " Play time: %lf s, frames: %d", &seconds, &frames)) << block[1];
    EXPECT_EQ(kQuickFrames, frames);
    ASSERT_GT(seconds, 0);
    EXPECT_NEAR(frames / seconds, fps, fps * 0.0006 / seconds + 0.01);
    EXPECT_EQ("!TimeDemo Run " + std::to_string(run) + " Finished.", block[4]);
  }
}

TEST(StandinGame, StartsThatCannotPlayLeaveNoFinishedLine) {
  TGameTreeCopy game("StandinFailures");
  ASSERT_TRUE(game.Ok());
  WriteFile(game.Root() + "Levels\\Training\\broken.tmd", "QTMD 1\r\nframes many\r\n");
  struct TCase {
    const char* what;
    const char* map;
    const char* demo;
    const char* shaderPath;
  } cases[] = {
      {"missing demo", "Training", "nosuchdemo", ""},
      {"missing map", "Nowhere", "quick", ""},
      {"unreadable demo", "Training", "broken", ""},
      {"shader model 3.0 path without fxc.exe", "Training", "quick", "r_SM30PATH 1"},
      {"shader model 2.0b path without fxc.exe", "Training", "quick", "r_SM2XPATH 1"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string log = game.Root() + "Levels\\" + c.map + "\\" + c.demo + ".log";
    DeleteFileA(log.c_str());
    TLaunch launch;
    launch.map = c.map;
    launch.demo = c.demo;
    launch.shaderPath = c.shaderPath;
    EXPECT_EQ(1, RunBatch(game.ExeFolder(), CommandLine(launch)));
    EXPECT_FALSE(HasFinishedLine(ReadFile(log))) << ReadFile(log);
  }
}

TEST(StandinGame, ShaderPathPlaysWhenTheShaderCompilerIsBesideTheGame) {
  TGameTreeCopy game("StandinFxc");
  ASSERT_TRUE(game.Ok());
  ASSERT_TRUE(CopyFileA((TestProgramFolder() + "DirectX9c\\fxc.exe").c_str(), (game.ExeFolder() + "fxc.exe").c_str(),
                        FALSE));
  TLaunch launch;
  launch.shaderPath = "r_SM30PATH 1";
  EXPECT_EQ(0, RunBatch(game.ExeFolder(), CommandLine(launch)));
  EXPECT_NE(std::string::npos, ReadFile(game.Root() + "Levels\\Training\\quick.log").find("\r\n!TimeDemo Run 0 Finished.\r\n"));
}

TEST(StandinGame, ScreenshotIsAJpegOfTheWindowTakenUpToTheUsersLastFrame) {
  TGameTreeCopy game("StandinShot");
  ASSERT_TRUE(game.Ok());
  const std::string shot = game.Root() + "Quenmar0000.jpg";
  // The front end passes the user's frame (1 .. frames) plus one.
  struct TCase {
    int frameArgument;
    bool taken;
  } cases[] = {{2, true}, {6, true}, {kQuickFrames + 1, true}, {kQuickFrames + 2, false}};
  for (const TCase& c : cases) {
    SCOPED_TRACE("frame argument " + std::to_string(c.frameArgument));
    DeleteFileA(shot.c_str());
    TLaunch launch;
    launch.width = 800;
    launch.height = 600;
    launch.screenshotFrame = c.frameArgument;
    EXPECT_EQ(0, RunBatch(game.ExeFolder(), CommandLine(launch)));
    ASSERT_EQ(c.taken, FileExists(shot));
    if (!c.taken) continue;
    TJpegProbe jpeg = ProbeJpeg(shot);
    EXPECT_TRUE(jpeg.decoded);
    EXPECT_EQ(800, jpeg.width);
    EXPECT_EQ(600, jpeg.height);
    EXPECT_GT(jpeg.distinctRows, 100) << "a drawn scene, not a blank picture";
  }
}

TEST(StandinGame, CommandLineWinsOverTheOverrideFileWhichWinsOverSystemCfg) {
  TGameTreeCopy game("StandinConfig");
  ASSERT_TRUE(game.Ok());
  WriteFile(game.Root() + "system.cfg", "-- test\r\nr_Width = \"320\"\r\nr_Height = \"240\"\r\n");
  WriteFile(game.Root() + "Systemcfgoverride.cfg", "r_Height = \"200\"\r\n");
  struct TCase {
    const char* sizeArguments;
    int width, height;
  } cases[] = {{"", 320, 200}, {"\"#r_Width=400\" ", 400, 200}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.sizeArguments);
    const std::string shot = game.Root() + "Quenmar0000.jpg";
    DeleteFileA(shot.c_str());
    EXPECT_EQ(0, RunBatch(game.ExeFolder(), std::string("Quenmar.exe -DEVMODE  \"#demo_quit=1\" ") + c.sizeArguments +
                                                 "\"map Training\" \"demo quick\" \"#demo_screenshot_frame=2\" "));
    TJpegProbe jpeg = ProbeJpeg(shot);
    EXPECT_EQ(c.width, jpeg.width);
    EXPECT_EQ(c.height, jpeg.height);
  }
}

TEST(StandinGame, FindsMapAndDemoNamesWithBlanksAndAnsiLettersWhateverTheirCase) {
  TGameTreeCopy game("StandinNames");
  ASSERT_TRUE(game.Ok());
  const std::string quick = game.Root() + "Levels\\Training\\quick.tmd";
  const std::string blanks = game.Root() + "Levels\\Old Pier\\";
  ASSERT_TRUE(CreateDirectoryA(blanks.c_str(), nullptr));
  ASSERT_TRUE(CopyFileA(quick.c_str(), (blanks + "my demo.tmd").c_str(), FALSE));
  TLaunch launch;
  launch.map = "old pier";
  launch.demo = "my demo";
  launch.userDemo = true;
  EXPECT_EQ(0, RunBatch(game.ExeFolder(), CommandLine(launch)));
  EXPECT_NE(std::string::npos, ReadFile(blanks + "my demo.log").find("\r\n!TimeDemo Run 0 Finished.\r\n"));

  // A batch line is read in the console's code page, so ANSI letters reach the game only
  // when it is started directly.
  const std::string ansi = game.Root() + "Levels\\Kr\xE4ne Dock\\";
  ASSERT_TRUE(CreateDirectoryA(ansi.c_str(), nullptr));
  ASSERT_TRUE(CopyFileA(quick.c_str(), (ansi + "S\xFC\x64 1.tmd").c_str(), FALSE));
  launch.map = "KR\xE4NE DOCK";
  launch.demo = "S\xFC\x64 1";
  EXPECT_EQ(0, RunProcess((game.ExeFolder() + "Quenmar.exe").c_str(), CommandLine(launch), game.ExeFolder()));
  EXPECT_NE(std::string::npos, ReadFile(ansi + "S\xFC\x64 1.log").find("\r\n!TimeDemo Run 0 Finished.\r\n"));
}
