// The hardware-information dialog built from its layout: the stored description shown, the
// diagnostic tool's report read (Wine's own tool, and reports with all six labels or fewer),
// and the description kept or cleared by "Save && Close".
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "DialogTestSupport.h"
#include "TestSupport.h"
#include "app/GameFolders.h"
#include "app/Unit2.h"
#include "controls/FcButton.h"
#include "controls/FcEdit.h"
#include "controls/FcPages.h"
#include "controls/FcPanel.h"
#include "controls/FcStatus.h"
#include "platform/Layout.h"
#include "services/SvCreateProcess.h"

namespace {

// The report's labelled lines as the tool writes them on a Windows machine with one graphics
// card, among lines the dialog does not show.
const char* const FullReport =
    "------------------\r\n"
    "System Information\r\n"
    "------------------\r\n"
    "       Machine name: BENCH\r\n"
    "   Operating System: Windows XP Professional (5.1, Build 2600) Service Pack 2\r\n"
    "          Processor: AMD Athlon(tm) 64 Processor 3500+,  MMX,  3DNow, ~2.2GHz\r\n"
    "             Memory: 1024MB RAM\r\n"
    "    DirectX Version: DirectX 9.0c (4.09.0000.0904)\r\n"
    "---------------\r\n"
    "Display Devices\r\n"
    "---------------\r\n"
    "        Card name: NVIDIA GeForce 6800 GT\r\n"
    "   Display Memory: 256.0 MB\r\n"
    "   Driver Version: 6.14.0010.8185 (English)\r\n";

// Wine's: the system section alone, without "Card name:", "Display Memory:" and "Driver Version:".
const char* const WineReport =
    "------------------\r\n"
    "System Information\r\n"
    "------------------\r\n"
    "   Operating System: Windows XP Professional\r\n"
    "          Processor: Intel(R) Xeon(R) Processor(8 CPUs), ~2599MHz\r\n"
    "             Memory: 24103MB RAM\r\n"
    "          Page File: 2253MB used, 21850MB available\r\n";

const std::vector<std::string> SixValueNames = {"OS", "CPU", "Memory", "VGA", "VGA Memory", "VGA Driver"};

class HardwareDialogTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    RegisterHardwareDialog();
    Report = ProgramFolder() + "dxinfo.txt";
    DeleteFileA(Report.c_str());
  }
  void TearDown() override {
    DeleteFileA(Report.c_str());
    DialogTest::TearDown();
  }

  std::unique_ptr<TForm2> Make() { return std::unique_ptr<TForm2>(TForm::Create<TForm2>(nullptr)); }
  void SeedDescription(const std::string& saveInfo, const std::vector<std::string>& values) {
    Key.Seed("Save Info", saveInfo);
    for (size_t i = 0; i < values.size(); ++i) Key.Seed(SixValueNames[i], values[i]);
  }
  // "Save Info" and the six values as stored.
  std::vector<std::string> Stored() {
    std::vector<std::string> values{Key.Value("Save Info")};
    for (const std::string& name : SixValueNames) values.push_back(Key.Value(name));
    return values;
  }
  static std::vector<std::string> Memo(TForm2* form) { return form->infomemo->LineList(); }

  std::string Report;
};

}  // namespace

TEST_F(HardwareDialogTest, LayoutHoldsTheDialogAsDescribed) {
  auto form = Make();
  EXPECT_EQ(form->Caption(), "Additional information");
  EXPECT_EQ(form->BorderStyle(), bsDialog);
  EXPECT_EQ(form->FormStyle(), fsStayOnTop);
  EXPECT_EQ(form->Position(), poMainFormCenter);
  EXPECT_EQ(form->Color(), clWhite);
  EXPECT_EQ(form->TabSheet1->Caption(), "Information");
  EXPECT_TRUE(form->infomemo->ReadOnly());
  EXPECT_FALSE(form->infomemo->WordWrap());
  for (TFcButton* button : {form->FcButton1, form->FcButton3}) EXPECT_EQ(button->Cursor(), crHandPoint);
  EXPECT_EQ(form->FcButton3->Caption(), "Save && Close");
  EXPECT_EQ(form->FcStatusBar1->Color(), static_cast<TColor>(RGB(255, 197, 43)));
  TSvCPSStartupInfo* start = form->dxrun->StartupInfo();
  EXPECT_EQ(start->ShowWindow(), swHide);
  EXPECT_FALSE(start->DefaultPosition() || start->DefaultSize() || start->DefaultWindowState());
}

// What the memo shows at the start, and what "Save && Close" then keeps.
TEST_F(HardwareDialogTest, StoredDescriptionIsShownAndSavingAtOnceKeepsIt) {
  const std::vector<std::string> six = {"Operating System: A", "Processor: B", "Memory: C",
                                        "Card name: D",        "Display Memory: E", "Driver Version: F"};
  const std::vector<std::string> some = {"Operating System: A", "", "Memory: C", "", "", "Driver Version: F"};
  const std::vector<std::string> cleared = {"0", "", "", "", "", "", ""};
  struct TCase {
    const char* name;
    const char* saveInfo;  // nullptr: nothing stored
    std::vector<std::string> values;
    std::vector<std::string> memo;
    std::vector<std::string> afterSave;  // "Save Info" and the six
  };
  const TCase cases[] = {
      {"stored", "1", six, six, {"1", six[0], six[1], six[2], six[3], six[4], six[5]}},
      {"stored with empty lines", "1", some, some, {"1", some[0], "", some[2], "", "", some[5]}},
      {"marked as not stored", "0", six, {kNoStoredInformation}, cleared},
      {"nothing stored", nullptr, {}, {kNoStoredInformation}, cleared},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    Key.Remove();
    Store = Key.Store();
    ProgramSettings = Store.get();
    if (c.saveInfo) SeedDescription(c.saveInfo, c.values);
    auto form = Make();
    EXPECT_EQ(Memo(form.get()), c.memo);
    form->FcButton3->OnClick(form->FcButton3);
    EXPECT_EQ(Stored(), c.afterSave);
    EXPECT_EQ(Memo(form.get()), c.memo);
  }
  EXPECT_TRUE(Errors.empty());
}

// The tool's end with reports that hold all six labels or fewer: what was found is shown and
// saved, the rest left empty, and nothing raises.
TEST_F(HardwareDialogTest, ReportsWithAllOrSomeLabels) {
  struct TCase {
    const char* name;
    const char* report;
    std::vector<std::string> memo;
    std::vector<std::string> afterSave;  // "Save Info" and the six
  };
  const TCase cases[] = {
      {"all six", FullReport,
       {"Operating System: Windows XP Professional (5.1, Build 2600) Service Pack 2",
        "Processor: AMD Athlon(tm) 64 Processor 3500+,  MMX,  3DNow, ~2.2GHz", "Memory: 1024MB RAM",
        "Card name: NVIDIA GeForce 6800 GT", "Display Memory: 256.0 MB", "Driver Version: 6.14.0010.8185 (English)"},
       {"1", "Operating System: Windows XP Professional (5.1, Build 2600) Service Pack 2",
        "Processor: AMD Athlon(tm) 64 Processor 3500+,  MMX,  3DNow, ~2.2GHz", "Memory: 1024MB RAM",
        "Card name: NVIDIA GeForce 6800 GT", "Display Memory: 256.0 MB", "Driver Version: 6.14.0010.8185 (English)"}},
      {"Wine's, without the display section", WineReport,
       {"Operating System: Windows XP Professional", "Processor: Intel(R) Xeon(R) Processor(8 CPUs), ~2599MHz",
        "Memory: 24103MB RAM"},
       {"1", "Operating System: Windows XP Professional", "Processor: Intel(R) Xeon(R) Processor(8 CPUs), ~2599MHz",
        "Memory: 24103MB RAM", "", "", ""}},
      {"one label", "   Operating System: ReactOS\r\n",
       {"Operating System: ReactOS"},
       {"1", "Operating System: ReactOS", "", "", "", "", ""}},
      {"no label", "------------------\r\nSystem Information\r\n", {}, {"0", "", "", "", "", "", ""}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    // An older description is stored: the collection replaces it.
    SeedDescription("1", {"Operating System: old", "Processor: old", "Memory: old", "Card name: old",
                          "Display Memory: old", "Driver Version: old"});
    auto form = Make();
    form->Show();
    EXPECT_EQ(form->FcStatusPane1->Caption(), kGetInfoHint);
    ASSERT_TRUE(WriteFileBytes(Report, c.report));
    form->dxrun->OnTerminate(form->dxrun, 0);
    EXPECT_EQ(Memo(form.get()), c.memo);
    EXPECT_EQ(form->FcStatusPane1->Caption(), kHardwareInformationCollected);
    EXPECT_FALSE(FileExists(Report));
    form->FcButton3->OnClick(form->FcButton3);
    EXPECT_EQ(Stored(), c.afterSave);
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(Memo(form.get()), c.memo.empty() ? std::vector<std::string>{kNoStoredInformation} : c.memo);
  }
  EXPECT_TRUE(Errors.empty());
}

TEST_F(HardwareDialogTest, ClosingRemovesAReportLeftBehind) {
  auto form = Make();
  form->Show();
  ASSERT_TRUE(WriteFileBytes(Report, WineReport));
  form->Close();
  EXPECT_FALSE(form->Visible());
  EXPECT_FALSE(FileExists(Report));
}

// Wine's own diagnostic tool, started by "Get info" in the dialog shown modally, and the
// description saved with "Save && Close".
TEST_F(HardwareDialogTest, WinesDiagnosticToolThroughTheDialog) {
  auto form = Make();
  std::vector<std::string> memo;
  std::string collecting;
  TModalResult result = ShowModalWhile(form.get(), [&] {
    MouseClick(form->FcButton1, 10, 10);
    collecting = form->FcStatusPane1->Caption();
    EXPECT_TRUE(Memo(form.get()).empty());
    ASSERT_TRUE(LoopUntil([&] { return form->FcStatusPane1->Caption() == kHardwareInformationCollected; }, 90000))
        << "errors: " << (Errors.empty() ? "" : Errors.front());
    memo = Memo(form.get());
    EXPECT_FALSE(FileExists(Report));
    MouseClick(form->FcButton3, 10, 10);
  });
  EXPECT_EQ(result, mrCancel);
  EXPECT_EQ(collecting, kCollectingHardwareInformation);
  ASSERT_EQ(memo.size(), 3u);
  EXPECT_EQ(memo[0].rfind("Operating System: ", 0), 0u) << memo[0];
  EXPECT_EQ(memo[1].rfind("Processor: ", 0), 0u) << memo[1];
  EXPECT_EQ(memo[2].rfind("Memory: ", 0), 0u) << memo[2];
  EXPECT_EQ(Stored(), (std::vector<std::string>{"1", memo[0], memo[1], memo[2], "", "", ""}));
  EXPECT_TRUE(Errors.empty());
}

// "Get info" by a real click: it cannot be pressed again while the tool runs; Escape closes
// the dialog meanwhile, as the close box does, and the tool's end fills the hidden dialog and
// lets the button be pressed again.
TEST_F(HardwareDialogTest, EscapeWhileTheToolRunsAndGetInfoOnceAtATime) {
  auto form = Make();
  TFcButton* getInfo = form->FcButton1;
  bool disabledWhileRunning = false;
  bool closedByEscape = false;
  ShowModalWhile(form.get(), [&] {
    RealClick(getInfo, getInfo->Width() / 2, getInfo->Height() / 2);
    disabledWhileRunning = !getInfo->Enabled();
    RealClick(getInfo, getInfo->Width() / 2, getInfo->Height() / 2);
    RealKey(VK_ESCAPE);
    closedByEscape = form->ModalResult() != mrNone;
  });
  EXPECT_TRUE(disabledWhileRunning);
  EXPECT_TRUE(closedByEscape);
  EXPECT_FALSE(form->Visible());
  ASSERT_TRUE(LoopUntil([&] { return form->FcStatusPane1->Caption() == kHardwareInformationCollected; }, 90000))
      << "errors: " << (Errors.empty() ? "" : Errors.front());
  EXPECT_FALSE(form->Visible());
  EXPECT_TRUE(getInfo->Enabled());
  ASSERT_EQ(Memo(form.get()).size(), 3u);
  EXPECT_EQ(Memo(form.get())[0].rfind("Operating System: ", 0), 0u) << Memo(form.get())[0];
  EXPECT_TRUE(Errors.empty());
}

// A tool that cannot be started is reported and leaves "Get info" to be pressed again.
TEST_F(HardwareDialogTest, GetInfoIsEnabledAgainWhenTheToolCannotStart) {
  auto form = Make();
  form->dxrun->SetApplicationName(ProgramFolder() + "no such tool.exe");
  TFcButton* getInfo = form->FcButton1;
  ShowModalWhile(form.get(), [&] {
    RealClick(getInfo, getInfo->Width() / 2, getInfo->Height() / 2);
    EXPECT_EQ(Errors.size(), 1u);
    EXPECT_TRUE(getInfo->Enabled());
  });
}

// A layout naming a class or handler that does not exist, or lacking a component the dialog
// works on, is an error naming it, and leaves no half-built dialog behind.
TEST_F(HardwareDialogTest, FaultyLayoutIsAClearError) {
  const std::string layout = LoadLayoutResource(nullptr, "TFORM2");
  struct TCase {
    const char* from;
    const char* to;
    const char* named;
  };
  const TCase cases[] = {{"\"TFcMemo\"", "\"TFcMemoPlus\"", "TFcMemoPlus"},
                         {"\"FcButton1Click\"", "\"GetInfoClick\"", "GetInfoClick"},
                         {"\"dxrun\"", "\"dxrun2\"", "dxrun"}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.from);
    std::string text = layout;
    ASSERT_NE(text.find(c.from), std::string::npos);
    text.replace(text.find(c.from), std::string(c.from).size(), c.to);
    std::unique_ptr<TForm2> form(new TForm2(nullptr));
    try {
      ReadLayout(form.get(), text);
      ADD_FAILURE() << "no error";
    } catch (const ELayoutError& e) {
      EXPECT_NE(std::string(e.what()).find(c.named), std::string::npos) << e.what();
    }
    EXPECT_EQ(form->ComponentCount(), 0);
  }
}

TEST_F(HardwareDialogTest, MadeBeforeTheSettingsIsAClearError) {
  ProgramSettings = nullptr;
  const int forms = Screen->FormCount();
  EXPECT_THROW(Make(), EInvalidOperation);
  EXPECT_EQ(Screen->FormCount(), forms);
}
