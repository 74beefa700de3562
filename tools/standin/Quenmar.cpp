// Quenmar.exe, the stand-in game: plays a time demo in a window of the configured size,
// timing every run for real, and writes the game's time-demo log and screenshot.
//
// It sits in the "Bin32" folder of a game tree; the root folder is the parent of that folder.
// Settings, later ones winning: root "system.cfg", root "Systemcfgoverride.cfg", the command
// line (see TGameSettings). It plays  root\Levels\<map>\<demo>.tmd  (the map folder found
// without regard to case)  demo_num_runs + 1  times and writes  root\Levels\<map>\<demo>.log
// (see TTimeDemoLog). The variables it honours:
//   r_Width, r_Height        window and frame size (default 1024 x 768, each 16 .. 8192)
//   r_Fullscreen             1 (default): a borderless window at the screen's top-left corner;
//                            the display mode is never changed. 0: a framed window
//   r_FSAA, r_FSAA_samples, r_Texture_Anisotropic_Level, r_HDRRendering, e_max_entity_lights,
//   demo_noinfo              the work per frame (see TRenderOptions)
//   r_SM2XPATH, r_SM30PATH   "1": the shader path that needs the shader compiler "fxc.exe" in
//                            the executable folder; without it the demo does not start
//   demo_num_runs            runs after the first (0 .. 99)
//   demo_quit                1: quit when the demo is done; else stay until the window closes
//   demo_screenshot_frame F  saves root\Quenmar0000.jpg in the last run. The screenshot is
//                            taken as frame F begins, so it shows the frame before it:
//                            demo frame F - 1 (frame 1 for F = 1). The front end passes the
//                            user's frame + 1, so the picture is the user's frame of the range
//                            1 .. frames. F beyond frames + 1 takes no screenshot.
//   r_Driver                 named in the log only; sound and music settings are ignored.
// The environment variable QUENMAR_FRAME_STEP=k (k > 1) plays about every k-th frame of a
// demo, first and last included, to shorten long demos in tests.
//
// Exit code 0 when every run finished; 1 when there was nothing to play, the demo or the
// shader compiler was missing, the window could not be opened or was closed early.

#include <windows.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "tools/standin/GameSettings.h"
#include "tools/standin/JpegWriter.h"
#include "tools/standin/Renderer.h"
#include "tools/standin/TimeDemo.h"
#include "tools/standin/TimeDemoLog.h"

namespace {

TRenderer* g_renderer = nullptr;
bool g_closed = false;

std::string ModuleFolder() {
  char path[MAX_PATH * 2] = {};
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string s(path, n);
  return s.substr(0, s.find_last_of('\\') + 1);
}

std::string ParentFolder(const std::string& folder) {
  std::string s = folder;
  if (!s.empty() && s.back() == '\\') s.pop_back();
  size_t slash = s.find_last_of('\\');
  return slash == std::string::npos ? folder : s.substr(0, slash + 1);
}

// The name as the file system spells it, so that "map pier" finds and reports "Pier".
std::string SpelledName(const std::string& folder, const std::string& name) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + name).c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return name;
  FindClose(find);
  return data.cFileName;
}

bool FileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Now() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  char text[32];
  wsprintfA(text, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
  return text;
}

int FrameStep() {
  char value[32] = {};
  if (!GetEnvironmentVariableA("QUENMAR_FRAME_STEP", value, sizeof value)) return 1;
  return std::clamp(atoi(value), 1, 1000000);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (g_renderer) g_renderer->Present(dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE) DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      g_closed = true;
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Handles what is waiting; false once the window has been closed.
bool PumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      g_closed = true;
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return !g_closed;
}

HWND OpenWindow(HINSTANCE instance, int width, int height, bool fullscreen) {
  WNDCLASSA wc{};
  wc.style = CS_OWNDC;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = "QuenmarWindow";
  if (!RegisterClassA(&wc)) return nullptr;
  DWORD style = fullscreen ? WS_POPUP : WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT r{0, 0, width, height};
  AdjustWindowRect(&r, style, FALSE);
  int x = 0, y = 0;
  if (!fullscreen) {
    x = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - static_cast<int>(r.right - r.left)) / 2);
    y = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - static_cast<int>(r.bottom - r.top)) / 2);
  }
  // Shown through its style, so that a hidden start of the batch file does not hide it.
  return CreateWindowExA(0, wc.lpszClassName, "Quenmar", style | WS_VISIBLE, x, y, r.right - r.left,
                         r.bottom - r.top, nullptr, nullptr, instance, nullptr);
}

double Seconds(LONGLONG ticks, LONGLONG frequency) { return static_cast<double>(ticks) / frequency; }

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const std::string exeFolder = ModuleFolder();
  const std::string root = ParentFolder(exeFolder);
  TGameSettings settings;
  settings.ReadConfigFile(root + "system.cfg");
  settings.ReadConfigFile(root + "Systemcfgoverride.cfg");
  settings.ParseCommandLine(GetCommandLineA());
  if (settings.Map().empty() || settings.Demo().empty()) return 1;

  const std::string levels = root + "Levels\\";
  const std::string map = SpelledName(levels, settings.Map());
  const std::string demoName = settings.Demo();
  const std::string demoShown = "Levels\\" + map + "\\" + demoName + ".tmd";

  TRenderOptions options;
  options.width = settings.Int("r_Width", 1024, 16, 8192);
  options.height = settings.Int("r_Height", 768, 16, 8192);
  options.fsaaSamples = settings.Int("r_FSAA", 0, 0, 1) ? settings.Int("r_FSAA_samples", 1, 1, 8) : 1;
  options.anisotropy = settings.Int("r_Texture_Anisotropic_Level", 1, 1, 16);
  options.hdrLevel = settings.Int("r_HDRRendering", 0, 0, 11);
  options.maxLights = settings.Int("e_max_entity_lights", 4, 0, 32);
  options.showInfo = settings.Int("demo_noinfo", 0, 0, 1) == 0;
  const bool fullscreen = settings.Int("r_Fullscreen", 1, 0, 1) != 0;
  const int runs = settings.Int("demo_num_runs", 0, 0, 99) + 1;
  const bool quitWhenDone = settings.Int("demo_quit", 0, 0, 1) != 0;
  const int shotFrame = settings.Int("demo_screenshot_frame", 0, 0, INT_MAX);
  std::string shaderPath = "default";
  if (settings.Int("r_SM30PATH", 0, 0, 1)) shaderPath = "r_SM30PATH";
  else if (settings.Int("r_SM2XPATH", 0, 0, 1)) shaderPath = "r_SM2XPATH";

  TTimeDemoLog log;
  log.Open(levels + map + "\\" + demoName + ".log");
  log.Line("Quenmar 1.3.0.1337 time demo, started " + Now());
  log.Line("Renderer: " + settings.Str("r_Driver", "Direct3D9") + " " + std::to_string(options.width) + "x" +
           std::to_string(options.height) + (fullscreen ? " fullscreen" : " windowed") + ", FSAA " +
           std::to_string(options.fsaaSamples) + "x, anisotropic " + std::to_string(options.anisotropy) +
           "x, HDR " + (options.hdrLevel ? "level " + std::to_string(options.hdrLevel) : std::string("off")) +
           ", entity lights " + std::to_string(options.maxLights) + ", shader path " + shaderPath);

  if (shaderPath != "default" && !FileExists(exeFolder + "fxc.exe")) {
    log.Line("Error: the shader path " + shaderPath + " needs the shader compiler " + exeFolder +
             "fxc.exe, which is missing.");
    return 1;
  }
  TTimeDemo demo;
  std::string error;
  if (!demo.LoadFromFile(levels + map + "\\" + demoName + ".tmd", error)) {
    log.Line("Demo: " + demoShown);
    log.Line("Error: cannot play the demo: " + error + ".");
    return 1;
  }
  const int step = FrameStep();
  const int played = step > 1 ? std::max(1, (demo.Frames() + step - 1) / step) : demo.Frames();
  log.Line("Demo: " + demoShown + ", " + std::to_string(demo.Frames()) + " frames" +
           (played != demo.Frames() ? " (" + std::to_string(played) + " played)" : std::string()) + ", " +
           std::to_string(runs) + (runs == 1 ? " run" : " runs"));

  HWND window = OpenWindow(instance, options.width, options.height, fullscreen);
  TRenderer renderer;
  HDC windowDc = window ? GetDC(window) : nullptr;
  if (!windowDc || !renderer.Create(windowDc, options)) {
    log.Line("Error: cannot open the game window (system error " + std::to_string(GetLastError()) + ").");
    return 1;
  }
  g_renderer = &renderer;

  // Frame F begins after frame F - 1 has been drawn: that is the one the screenshot keeps.
  const int shotTarget = shotFrame > demo.Frames() + 1 ? 0 : shotFrame > 1 ? shotFrame - 1 : shotFrame;
  LARGE_INTEGER frequency, start, previous, now;
  QueryPerformanceFrequency(&frequency);
  int finishedRuns = 0;
  for (int run = 0; run < runs && !g_closed; ++run) {
    TTimeDemoLog::TRunStats stats;
    double shortest = 1e9, longest = 0;
    bool shotTaken = run != runs - 1 || shotTarget == 0;
    double fps = 0;
    QueryPerformanceCounter(&start);
    previous = start;
    for (int i = 0; i < played; ++i) {
      if (!PumpMessages()) break;
      const int frame = played == 1 ? 1 : 1 + static_cast<int>(static_cast<long long>(i) * (demo.Frames() - 1) / (played - 1));
      std::vector<std::string> info;
      if (options.showInfo)
        info = {"Quenmar time demo  " + std::to_string(options.width) + "x" + std::to_string(options.height),
                "Run " + std::to_string(run + 1) + "/" + std::to_string(runs) + "  frame " + std::to_string(frame) +
                    "/" + std::to_string(demo.Frames()),
                TTimeDemoLog::Fixed(fps, 1) + " fps"};
      renderer.Render(demo, frame, info);
      if (!shotTaken && frame >= shotTarget) {
        std::string shotError;
        SaveJpeg(root + "Quenmar0000.jpg", options.width, options.height, renderer.Pixels(), 90, shotError);
        shotTaken = true;
      }
      renderer.Present(windowDc);
      QueryPerformanceCounter(&now);
      const double dt = Seconds(now.QuadPart - previous.QuadPart, frequency.QuadPart);
      previous = now;
      shortest = std::min(shortest, dt);
      longest = std::max(longest, dt);
      fps = dt > 0 ? 1 / dt : 0;
      ++stats.frames;
    }
    if (stats.frames < played) break;
    stats.seconds = Seconds(previous.QuadPart - start.QuadPart, frequency.QuadPart);
    stats.minFps = longest > 0 ? 1 / longest : 0;
    stats.maxFps = shortest > 0 ? 1 / shortest : 0;
    stats.worstFrameMs = longest * 1000;
    log.RunFinished(run, stats);
    ++finishedRuns;
  }
  if (finishedRuns < runs) return 1;

  // Quitting leaves the window to the end of the process, as a game's exit does: hiding it
  // first would only wait for a window manager to confirm it.
  if (quitWhenDone) return 0;
  MSG msg;
  while (!g_closed && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
