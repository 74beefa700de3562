// Loads a window of 150 controls from its stored layout, makes its windows and shows it,
// several rounds; prints each round's time and the median.
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
  std::vector<double> times;
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
    std::fflush(stdout);
    times.push_back(elapsed);
    delete form;
  }
  std::sort(times.begin(), times.end());
  std::printf("layout load and show median: %.1f ms\n", times[times.size() / 2]);
  return 0;
}
