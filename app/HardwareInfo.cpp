#include "app/HardwareInfo.h"

#include "app/SettingCodes.h"
#include "platform/SysUtils.h"
#include "services/SvCommon.h"
#include "services/SvCreateProcess.h"

const char* const kDiagnosticReportName = "dxinfo.txt";

std::string DiagnosticCommandLine(const std::string& systemFolder,
                                  const std::string& programFolder) {
  return systemFolder + "\\dxdiag.exe /whql:on /t \"" + programFolder + kDiagnosticReportName +
         "\"";
}

void RunDiagnosticTool(TSvCreateProcess& dxrun, const std::string& programFolder) {
  const std::string systemFolder = GetWindowsSystemFolder();
  dxrun.SetCommandLine(DiagnosticCommandLine(systemFolder, programFolder));
  dxrun.SetCurrentDirectory(systemFolder);
  dxrun.Run();
}

namespace {

// Kept as the settings keep a description line: one line of limited length.
std::string LineValue(const std::string& line) {
  const size_t equals = line.find('=');
  std::string value = TrimLeft(equals == std::string::npos ? line : line.substr(equals + 1));
  for (char& c : value)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  return value.substr(0, kDescriptionLineMaxLength);
}

}  // namespace

THardwareDescription ParseDiagnosticReport(const TStrings& report) {
  THardwareDescription d;
  struct TLabel {
    const char* text;
    std::string* field;
  };
  const TLabel labels[] = {{"Operating System:", &d.OS},  {"Processor:", &d.CPU},
                           {"Memory:", &d.Memory},        {"Card name:", &d.VGA},
                           {"Display Memory:", &d.VGAMemory}, {"Driver Version:", &d.VGADriver}};
  int from = 0;
  for (const TLabel& label : labels) {
    for (int i = from; i < report.Count(); ++i) {
      const std::string value = LineValue(report.Strings(i));
      if (PosNoCase(label.text, value) > 0) {
        *label.field = value;
        from = i;
        break;
      }
    }
  }
  return d;
}

THardwareDescription ReadDiagnosticReport(const std::string& programFolder) {
  const std::string fileName = programFolder + kDiagnosticReportName;
  TStringList report;
  report.LoadFromFile(fileName);
  DeleteDiagnosticReport(programFolder);
  return ParseDiagnosticReport(report);
}

void DeleteDiagnosticReport(const std::string& programFolder) {
  const std::string fileName = programFolder + kDiagnosticReportName;
  if (FileExists(fileName)) DeleteFile(fileName);
}

std::vector<std::string> CollectedLines(const THardwareDescription& d) {
  std::vector<std::string> lines;
  for (const std::string* field : {&d.OS, &d.CPU, &d.Memory, &d.VGA, &d.VGAMemory, &d.VGADriver})
    if (!field->empty()) lines.push_back(*field);
  return lines;
}
