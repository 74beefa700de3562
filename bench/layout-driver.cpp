// Loads a window of 150 controls from its stored layout, makes its windows and shows it,
// several rounds; then makes the same 150 windows directly over the system's own classes and
// shows them, as many rounds. Prints each round's time, both medians and their ratio.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/Forms.h"
#include "platform/Layout.h"
#include "platform/TypInfo.h"

namespace {

class TBenchPanel : public TCustomControl {
 public:
  explicit TBenchPanel(TComponent* owner) : TCustomControl(owner) {
    controlStyle_ += csAcceptsControls;
    SetColor(clBtnFace);
  }

 protected:
  void Paint() override {
    RECT r = ClientRect();
    Canvas()->Brush()->SetColor(Color());
    Canvas()->Rectangle(r);
    Canvas()->TextOut(4, 2, Caption());
  }
};

class TBenchBox : public TCustomControl {
 public:
  explicit TBenchBox(TComponent* owner) : TCustomControl(owner) {
    SetTabStop(true);
    SetColor(clWindow);
  }

 protected:
  void Paint() override {
    RECT r = ClientRect();
    Canvas()->Brush()->SetColor(Color());
    Canvas()->Rectangle(r);
    Canvas()->TextOut(3, 3, Caption());
  }
};

class TBenchMark : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;

 protected:
  void Paint() override {
    RECT r = ClientRect();
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(r);
  }
};

class TBenchForm : public TForm {
 public:
  using TForm::TForm;
  void BoxClick(TObject*) {}
};

void Register() {
  RegisterForms();
  RegisterClassInfo<TBenchPanel, TCustomControl>("TBenchPanel")
      .String("Caption", &TControl::Caption, &TControl::SetCaption);
  RegisterClassInfo<TBenchBox, TCustomControl>("TBenchBox")
      .String("Caption", &TControl::Caption, &TControl::SetCaption);
  RegisterClassInfo<TBenchMark, TGraphicControl>("TBenchMark");
  RegisterClassInfo<TBenchForm, TForm>("TBenchForm").Handler("BoxClick", &TBenchForm::BoxClick);
}

// Ten panels in two columns, each with seven boxes and seven marks: 150 controls.
std::string MakeLayout() {
  std::string panels;
  int n = 0;
  for (int p = 0; p < 10; ++p) {
    std::string children;
    for (int i = 0; i < 7; ++i) {
      char box[400];
      std::snprintf(box, sizeof(box),
                    R"({ "class": "TBenchBox", "name": "Box%d", "properties": { "Left": 8, "Top": %d,
                    "Width": 150, "Height": 20, "Caption": "Box %d", "TabOrder": %d,
                    "OnClick": "BoxClick" } },
                    { "class": "TBenchMark", "name": "Mark%d", "properties": { "Left": 166, "Top": %d,
                    "Width": 20, "Height": 20, "Color": "clRed" } })",
                    n, 4 + i * 22, n, i, n, 4 + i * 22);
      children += (i ? ",\n" : "") + std::string(box);
      ++n;
    }
    char panel[300];
    std::snprintf(panel, sizeof(panel),
                  R"({ "class": "TBenchPanel", "name": "Panel%d", "properties": { "Left": %d, "Top": %d,
                  "Width": 200, "Height": 162, "Caption": "Panel %d", "Color": "clSilver" },
                  "children": [ )",
                  p, (p % 2) * 210 + 4, (p / 2) * 166 + 4, p);
    panels += (p ? ",\n" : "") + std::string(panel) + children + " ] }";
  }
  return R"({ "class": "TBenchForm", "name": "BenchForm", "properties": { "Caption": "150 controls",
    "Left": 10, "Top": 10, "ClientWidth": 424, "ClientHeight": 840 }, "children": [ )" +
         panels + " ] }";
}

// The bare window that holds the system's controls: what any program has without a class
// library.
LRESULT CALLBACK BareWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

// The layout's 150 controls made directly with CreateWindowEx: a panel is a STATIC holding its
// children, a box an EDIT with its caption, a mark a STATIC (a window here, where the layout's
// mark draws itself into its panel), on a top-level window of the same client size.
HWND MakeBareWindows() {
  static bool registered = false;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = BareWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "BareBenchForm";
    RegisterClassA(&wc);
    registered = true;
  }
  RECT frame{0, 0, 424, 840};
  AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
  HWND form = CreateWindowExA(0, "BareBenchForm", "150 controls", WS_OVERLAPPEDWINDOW, 10, 10,
                              frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                              instance, nullptr);
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  int n = 0;
  for (int p = 0; p < 10; ++p) {
    char caption[32];
    std::snprintf(caption, sizeof(caption), "Panel %d", p);
    HWND panel = CreateWindowExA(0, "STATIC", caption, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_CLIPCHILDREN,
                                 (p % 2) * 210 + 4, (p / 2) * 166 + 4, 200, 162, form, nullptr, instance,
                                 nullptr);
    SendMessageA(panel, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    for (int i = 0; i < 7; ++i) {
      std::snprintf(caption, sizeof(caption), "Box %d", n++);
      HWND box = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                                 8, 4 + i * 22, 150, 20, panel, nullptr, instance, nullptr);
      SendMessageA(box, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
      CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, 166, 4 + i * 22, 20, 20,
                      panel, nullptr, instance, nullptr);
    }
  }
  return form;
}

void PumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

double Milliseconds() {
  LARGE_INTEGER t, f;
  QueryPerformanceCounter(&t);
  QueryPerformanceFrequency(&f);
  return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
  Application->Initialize();
  Register();
  std::string layout = MakeLayout();
  // The two kinds take turns, so that both see the same load of the machine.
  std::vector<double> times, bare;
  for (int r = 0; r < rounds; ++r) {
    double start = Milliseconds();
    auto* form = TForm::CreateNew<TBenchForm>(nullptr);
    ReadLayout(form, layout);
    double read = Milliseconds() - start;
    form->HandleNeeded();
    double made = Milliseconds() - start;
    form->Show();
    double shown = Milliseconds() - start;
    form->Update();
    Application->ProcessMessages();
    double elapsed = Milliseconds() - start;

    int count = 0;
    for (int i = 0; i < form->ComponentCount(); ++i)
      if (dynamic_cast<TControl*>(form->Components(i))) ++count;
    std::printf("round %d: %d controls, %.1f ms (layout read %.1f, windows %.1f, shown %.1f, painted %.1f)\n",
                r + 1, count, elapsed, read, made - read, shown - made, elapsed - shown);
    times.push_back(elapsed);
    delete form;
    Application->ProcessMessages();

    start = Milliseconds();
    HWND window = MakeBareWindows();
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    PumpMessages();
    elapsed = Milliseconds() - start;
    std::printf("bare round %d: 150 windows, %.1f ms\n", r + 1, elapsed);
    std::fflush(stdout);
    bare.push_back(elapsed);
    DestroyWindow(window);
    PumpMessages();
  }
  std::sort(times.begin(), times.end());
  std::sort(bare.begin(), bare.end());
  const double loaded = times[times.size() / 2];
  const double windows = bare[bare.size() / 2];
  std::printf("layout load and show median: %.1f ms\n", loaded);
  std::printf("bare windows median: %.1f ms\n", windows);
  std::printf("layout/bare windows ratio: %.2f\n", loaded / windows);
  return 0;
}
