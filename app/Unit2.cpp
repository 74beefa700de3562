#include "app/Unit2.h"

#include <string>
#include <vector>

#include "app/GameFolders.h"
#include "app/HardwareInfo.h"
#include "app/SettingsStore.h"
#include "controls/FcBckgnd.h"
#include "controls/FcButton.h"
#include "controls/FcEdit.h"
#include "controls/FcPages.h"
#include "controls/FcPanel.h"
#include "controls/FcRegister.h"
#include "controls/FcStatus.h"
#include "platform/Layout.h"
#include "platform/TypInfo.h"
#include "services/SvCreateProcess.h"
#include "services/SvRegister.h"

const char* const kNoStoredInformation = "Currently there are no stored information.";
const char* const kGetInfoHint = "Click to Get Info button to get more exact hardware information.";
const char* const kCollectingHardwareInformation = "Collecting hardware information, please wait...";
const char* const kHardwareInformationCollected =
    "Information collected. Click to Save & Close button to save datas into the registry.";

TForm2* Form2 = nullptr;

namespace {

// The status bar's colour, set when the dialog is made.
const TColor kStatusBarColor = static_cast<TColor>(RGB(255, 197, 43));

}  // namespace

TMessageTable& TForm2::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(CM_CHILDKEY, Handler(&TForm2::CMChildKey));
    return t;
  }();
  return *table;
}

void TForm2::CMChildKey(TWMKey& m) {
  // Asked before any control, so that it holds wherever the focus is (the memo wants every key).
  if (m.CharCode == VK_ESCAPE) {
    Close();
    m.Result = 1;
    return;
  }
  Inherited(m);
}

void TForm2::Loaded() {
  TForm::Loaded();
  FcPageControl1 = LayoutComponent<TFcPageControl>(this, "FcPageControl1");
  TabSheet1 = LayoutComponent<TFcTabSheet>(this, "TabSheet1");
  FcSeparator1 = LayoutComponent<TFcSeparator>(this, "FcSeparator1");
  infomemo = LayoutComponent<TFcMemo>(this, "infomemo");
  FcButton1 = LayoutComponent<TFcButton>(this, "FcButton1");
  FcButton3 = LayoutComponent<TFcButton>(this, "FcButton3");
  FcStatusBar1 = LayoutComponent<TFcStatusBar>(this, "FcStatusBar1");
  FcStatusPane1 = LayoutComponent<TFcStatusPane>(this, "FcStatusPane1");
  dxrun = LayoutComponent<TSvCreateProcess>(this, "dxrun");
}

void TForm2::FormCreate(TObject*) {
  // The bar shows its colour in both looks: with the visual styles it would take theirs.
  FcStatusBar1->SetThemeAware(false);
  FcStatusBar1->SetColor(kStatusBarColor);
  TSettingsStore& settings = ProgramSettingsFor(this);
  memoShowsDescription_ = settings.DescriptionSaved();
  if (memoShowsDescription_) {
    description_ = settings.ReadDescription();
    const THardwareDescription& d = description_;
    infomemo->SetLineList({d.OS, d.CPU, d.Memory, d.VGA, d.VGAMemory, d.VGADriver});
  } else {
    infomemo->SetLineList({kNoStoredInformation});
  }
}

void TForm2::FormShow(TObject*) { FcStatusPane1->SetCaption(kGetInfoHint); }

void TForm2::FormClose(TObject*, TCloseAction&) { DeleteDiagnosticReport(ProgramFolder()); }

void TForm2::FcButton1Click(TObject*) {
  infomemo->Lines()->Clear();
  memoShowsDescription_ = false;
  FcStatusPane1->SetCaption(kCollectingHardwareInformation);
  // One tool at a time: a second press would find the process runner busy.
  FcButton1->SetEnabled(false);
  Repaint();
  try {
    RunDiagnosticTool(*dxrun, ProgramFolder());
  } catch (...) {
    FcButton1->SetEnabled(true);
    throw;
  }
}

void TForm2::dxrunTerminate(TObject*, DWORD) {
  FcButton1->SetEnabled(true);
  description_ = ReadDiagnosticReport(ProgramFolder());
  const std::vector<std::string> lines = CollectedLines(description_);
  infomemo->SetLineList(lines);
  memoShowsDescription_ = !lines.empty();
  FcStatusPane1->SetCaption(kHardwareInformationCollected);
}

void TForm2::FcButton3Click(TObject*) {
  TSettingsStore& settings = ProgramSettingsFor(this);
  if (memoShowsDescription_) {
    settings.SaveDescription(description_);
  } else {
    settings.ClearDescription();
    description_ = THardwareDescription();
    infomemo->SetLineList({kNoStoredInformation});
  }
  Close();
}

void RegisterHardwareDialog() {
  RegisterControlLibrary();
  RegisterServiceClasses();
  RegisterClassInfo<TForm2, TForm>("TForm2")
      .Handler("FormCreate", &TForm2::FormCreate)
      .Handler("FormShow", &TForm2::FormShow)
      .Handler("FormClose", &TForm2::FormClose)
      .Handler("FcButton1Click", &TForm2::FcButton1Click)
      .Handler("dxrunTerminate", &TForm2::dxrunTerminate)
      .Handler("FcButton3Click", &TForm2::FcButton3Click);
}
