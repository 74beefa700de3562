#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "app/HardwareInfo.h"
#include "platform/StringList.h"
#include "platform/SysUtils.h"
#include "services/SvCreateProcess.h"

namespace {

// The head of a report with every section the parse reads, as the tool writes it on a
// Windows machine with one graphics card (lines right-aligned at their colons).
const char* const FullReport =
    "------------------\r\n"
    "System Information\r\n"
    "------------------\r\n"
    "Time of this report: 5/14/2006, 21:40:11\r\n"
    "       Machine name: BENCH\r\n"
    "   Operating System: Windows XP Professional (5.1, Build 2600) Service Pack 2\r\n"
    "           Language: English (Regional Setting: English)\r\n"
    "          Processor: AMD Athlon(tm) 64 Processor 3500+,  MMX,  3DNow, ~2.2GHz\r\n"
    "             Memory: 1024MB RAM\r\n"
    "          Page File: 312MB used, 2146MB available\r\n"
    "    DirectX Version: DirectX 9.0c (4.09.0000.0904)\r\n"
    "\r\n"
    "---------------\r\n"
    "Display Devices\r\n"
    "---------------\r\n"
    "Display=        Card name: NVIDIA GeForce 6800 GT\r\n"
    "     Manufacturer: NVIDIA\r\n"
    "   Display Memory: 256.0 MB\r\n"
    "     Current Mode: 1280 x 1024 (32 bit) (85Hz)\r\n"
    "      Driver Name: nv4_disp.dll\r\n"
    "   Driver Version: 6.14.0010.8185 (English)\r\n";

// Wine's report: the system section alone (measured under this project's Wine).
const char* const WineReport =
    "------------------\r\n"
    "System Information\r\n"
    "------------------\r\n"
    "Time of this report: 12/10/2026, 01:05:09\r\n"
    "       Machine name: VM\r\n"
    "   Operating System: Windows XP Professional\r\n"
    "           Language: English (Regional Setting: English)\r\n"
    "System Manufacturer: \r\n"
    "               BIOS: \r\n"
    "          Processor: Intel(R) Xeon(R) Processor(8 CPUs), ~2599MHz\r\n"
    "             Memory: 24103MB RAM\r\n"
    "          Page File: 2253MB used, 21850MB available\r\n"
    "    DirectX Version: = \"DirectX 9.0c (4.09.0000.0904)\r\n"
    "     DxDiag Version: \r\n"
    "\r\n";

THardwareDescription Parse(const std::string& text) {
  TStringList report;
  report.SetText(text);
  return ParseDiagnosticReport(report);
}

std::vector<std::string> Fields(const THardwareDescription& d) {
  return {d.OS, d.CPU, d.Memory, d.VGA, d.VGAMemory, d.VGADriver};
}

// A program folder of its own, with a blank in its name as under "Program Files".
class HardwareInfoTest : public testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    Folder = Format("%shardware info %lu\\", temp, GetCurrentProcessId());
    DeleteFolderTree(Folder);
    ASSERT_TRUE(ForceDirectories(Folder));
  }
  void TearDown() override { DeleteFolderTree(Folder); }
  std::string Folder;
};

}  // namespace

TEST(HardwareInfoParseTest, AllSixLabels) {
  EXPECT_EQ(Fields(Parse(FullReport)),
            (std::vector<std::string>{
                "Operating System: Windows XP Professional (5.1, Build 2600) Service Pack 2",
                "Processor: AMD Athlon(tm) 64 Processor 3500+,  MMX,  3DNow, ~2.2GHz",
                "Memory: 1024MB RAM", "Card name: NVIDIA GeForce 6800 GT",
                "Display Memory: 256.0 MB", "Driver Version: 6.14.0010.8185 (English)"}));
}

TEST(HardwareInfoParseTest, MissingLabelsKeepWhatWasFound) {
  EXPECT_EQ(Fields(Parse(WineReport)),
            (std::vector<std::string>{"Operating System: Windows XP Professional",
                                      "Processor: Intel(R) Xeon(R) Processor(8 CPUs), ~2599MHz",
                                      "Memory: 24103MB RAM", "", "", ""}));

  // Without a card name, and without a processor: the labels after them are still found.
  TStringList report;
  report.SetText(FullReport);
  for (const char* label : {"Card name:", "Processor:"})
    for (int i = report.Count() - 1; i >= 0; --i)
      if (report.Strings(i).find(label) != std::string::npos) report.Delete(i);
  EXPECT_EQ(Fields(ParseDiagnosticReport(report)),
            (std::vector<std::string>{
                "Operating System: Windows XP Professional (5.1, Build 2600) Service Pack 2", "",
                "Memory: 1024MB RAM", "", "Display Memory: 256.0 MB",
                "Driver Version: 6.14.0010.8185 (English)"}));

  EXPECT_EQ(Fields(Parse("")), std::vector<std::string>(6));
  EXPECT_EQ(Fields(Parse("Operating System: ReactOS\r\nmemory: 64MB RAM\r\n")),
            (std::vector<std::string>{"Operating System: ReactOS", "", "memory: 64MB RAM", "", "",
                                      ""}));
}

TEST(HardwareInfoParseTest, LabelsAreFoundInTheirOrder) {
  // A memory line before the processor's belongs to no field: the search goes on from the
  // processor's line.
  EXPECT_EQ(Fields(Parse("  Memory: 512MB RAM\r\n  Operating System: X\r\n  Processor: P\r\n")),
            (std::vector<std::string>{"Operating System: X", "Processor: P", "", "", "", ""}));
  // "Display Memory:" holds "Memory:"; the next search starts at the line where it was found.
  EXPECT_EQ(Fields(Parse("  Processor: P\r\n  Display Memory: 128 MB\r\n")),
            (std::vector<std::string>{"", "Processor: P", "Display Memory: 128 MB", "",
                                      "Display Memory: 128 MB", ""}));
}

TEST(HardwareInfoParseTest, CommandLineQuotesTheReport) {
  EXPECT_EQ(DiagnosticCommandLine("C:\\windows\\system32", "C:\\Program Files\\RIR ered\\"),
            "C:\\windows\\system32\\dxdiag.exe /whql:on /t "
            "\"C:\\Program Files\\RIR ered\\dxinfo.txt\"");
}

TEST_F(HardwareInfoTest, ReportIsReadAndDeleted) {
  ASSERT_TRUE(WriteFileBytes(Folder + "dxinfo.txt", FullReport));
  const THardwareDescription d = ReadDiagnosticReport(Folder);
  EXPECT_EQ(d.VGA, "Card name: NVIDIA GeForce 6800 GT");
  EXPECT_FALSE(FileExists(Folder + "dxinfo.txt"));
  EXPECT_EQ(CollectedLines(d).size(), 6u);
  // The tool wrote nothing: the file-open error.
  EXPECT_THROW(ReadDiagnosticReport(Folder), EFOpenError);
  ASSERT_TRUE(WriteFileBytes(Folder + "dxinfo.txt", "x"));
  DeleteDiagnosticReport(Folder);
  EXPECT_FALSE(FileExists(Folder + "dxinfo.txt"));
  DeleteDiagnosticReport(Folder);
}

TEST(HardwareInfoParseTest, CollectedLines) {
  THardwareDescription d;
  d.OS = "Operating System: X";
  d.Memory = "Memory: 1MB RAM";
  d.DirectX = "not a line of the memo";
  EXPECT_EQ(CollectedLines(d),
            (std::vector<std::string>{"Operating System: X", "Memory: 1MB RAM"}));
}

// Wine's own tool, started hidden through the process runner into a folder with a blank.
TEST_F(HardwareInfoTest, WinesDiagnosticTool) {
  TSvCreateProcess dxrun(nullptr);
  SetHiddenStart(dxrun);
  bool ended = false;
  dxrun.OnTerminate = [&](TObject*, DWORD) { ended = true; };
  RunDiagnosticTool(dxrun, Folder);
  ASSERT_TRUE(LoopUntil([&] { return ended; }, 60000));

  const THardwareDescription d = ReadDiagnosticReport(Folder);
  EXPECT_EQ(d.OS.rfind("Operating System: ", 0), 0u) << d.OS;
  EXPECT_EQ(d.CPU.rfind("Processor: ", 0), 0u) << d.CPU;
  EXPECT_EQ(d.Memory.rfind("Memory: ", 0), 0u) << d.Memory;
  EXPECT_EQ(d.Memory.substr(d.Memory.size() - 3), "RAM");
  EXPECT_EQ(d.VGA, "");
  EXPECT_EQ(CollectedLines(d).size(), 3u);
  EXPECT_FALSE(FileExists(Folder + "dxinfo.txt"));
}
