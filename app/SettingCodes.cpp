#include "app/SettingCodes.h"

#include <windows.h>

#include <vector>

namespace {

const std::vector<std::string>& Codes(TCodedSetting setting) {
  static const std::vector<std::string> demo = {"1", "2", "3", "4",  "5",  "6",
                                                "7", "8", "9", "10", "11", "12"};
  static const std::vector<std::string> detail = {"1", "2", "3", "4"};
  static const std::vector<std::string> ps = {"1", "2", "3"};
  static const std::vector<std::string> renderer = {"1", "2"};
  static const std::vector<std::string> af = {"1", "2", "3", "4", "5", "Sys"};
  static const std::vector<std::string> aa = {"1", "2", "4", "6", "8", "Sys"};
  static const std::vector<std::string> runs = {"1", "2", "3", "4", "5"};
  static const std::vector<std::string> language = {"0", "1", "2", "3", "4",
                                                    "5", "6", "7", "8"};
  switch (setting) {
    case csDemo: return demo;
    case csDetail: return detail;
    case csPS: return ps;
    case csRenderer: return renderer;
    case csAFLevel: return af;
    case csAALevel: return aa;
    case csTRun: return runs;
    case csLanguage: return language;
  }
  return demo;
}

bool HasControlCharacter(const std::string& text) {
  for (unsigned char c : text)
    if (c < 0x20 || c == 0x7F) return true;
  return false;
}

// "C:\..." or "\\server\share...".
bool HasRoot(const std::string& text) {
  const char letter = static_cast<char>(text.empty() ? 0 : text[0] | 0x20);
  const bool drive =
      text.size() >= 3 && letter >= 'a' && letter <= 'z' && text[1] == ':' && text[2] == '\\';
  const bool network = text.size() >= 3 && text[0] == '\\' && text[1] == '\\' && text[2] != '\\';
  return drive || network;
}

bool IsPathText(const std::string& text) {
  if (text.empty() || text.size() >= MAX_PATH || HasControlCharacter(text) || !HasRoot(text))
    return false;
  // The drive's colon is the only one a path may hold.
  return text.find_first_of("<>\"|?*", 0) == std::string::npos &&
         text.find(':', 2) == std::string::npos && text.find('/') == std::string::npos;
}

bool Flag(const std::string& value) { return value == "1"; }
bool IsDecimalSeparator(const std::string& text) { return text == "." || text == ","; }
const char* FlagText(bool on) { return on ? "1" : "0"; }

std::string Checked(const std::string& value, bool valid) { return valid ? value : std::string(); }

const char* const kResolutionNames[kResolutionCount] = {"640", "800", "1024", "1280", "1600"};

}  // namespace

int ItemOfCode(TCodedSetting setting, const std::string& code) {
  const std::vector<std::string>& codes = Codes(setting);
  for (size_t i = 0; i < codes.size(); ++i)
    if (codes[i] == code) return static_cast<int>(i);
  return -1;
}

std::string CodeOfItem(TCodedSetting setting, int item) {
  const std::vector<std::string>& codes = Codes(setting);
  return item >= 0 && item < static_cast<int>(codes.size()) ? codes[static_cast<size_t>(item)]
                                                              : std::string();
}

bool IsFilePathText(const std::string& text) { return IsPathText(text) && text.back() != '\\'; }

bool IsFolderText(const std::string& text) { return IsPathText(text) && text.back() == '\\'; }

bool IsPlainName(const std::string& text) {
  return !text.empty() && text.size() < MAX_PATH && !HasControlCharacter(text) &&
         text.find_first_of("\\/:<>\"|?*") == std::string::npos && text != "." && text != "..";
}

bool IsLineText(const std::string& text, size_t maxLength) {
  return text.size() <= maxLength && !HasControlCharacter(text);
}

std::optional<int> WholeNumberIn(const std::string& text, int min, int max) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value < min || value > max) return std::nullopt;
  return value;
}

TStoredSettings DecodeSettings(const TValueReader& read) {
  TStoredSettings s;
  std::string v = read("Path");
  s.Path = Checked(v, IsFilePathText(v));
  v = read("CustomConfig");
  s.CustomConfig = Checked(v, IsFilePathText(v));
  for (int i = 0; i < kResolutionCount; ++i) s.Resolution[i] = Flag(read(kResolutionNames[i]));
  s.Demo = ItemOfCode(csDemo, read("Demo"));
  s.DetailLevel = ItemOfCode(csDetail, read("Detail"));
  s.ShaderModel = ItemOfCode(csPS, read("PS"));
  s.Renderer = ItemOfCode(csRenderer, read("Renderer"));
  s.AFLevel = ItemOfCode(csAFLevel, read("AFLevel"));
  s.AALevel = ItemOfCode(csAALevel, read("AALevel"));
  s.RunNumber = ItemOfCode(csTRun, read("TRun"));
  v = read("ResoultPath");
  s.ResultsFolder = Checked(v, IsFolderText(v));
  v = read("Decimal");
  s.DecimalSeparator = Checked(v, IsDecimalSeparator(v));
  v = read("Note");
  s.Note = Checked(v, IsLineText(v, kNoteMaxLength));
  v = read("Mapname");
  s.MapName = Checked(v, IsPlainName(v));
  v = read("Demoname");
  s.DemoFileName = Checked(v, IsPlainName(v));
  s.Wait = WholeNumberIn(read("Wait"), 1, 10);
  v = read("ScrPath");
  s.ScreenshotFolder = Checked(v, IsFolderText(v));
  s.HDR = Flag(read("HDR"));
  s.HDRLevel = WholeNumberIn(read("HDRLevel"), 1, 11);
  s.GeometryInstancing = Flag(read("GI"));
  s.NormalMapsCompression = Flag(read("NormalMaps"));
  s.Language = ItemOfCode(csLanguage, read("Language"));
  s.AddAdditionalInfo = read("Addinfo") != "0";
  s.AddDisplayInfo = read("AddScInf") != "0";
  return s;
}

void EncodeSettings(const TStoredSettings& s, bool hasStoredOS, const TValueWriter& write) {
  // A list without a selection leaves its stored code alone.
  auto code = [&](const char* name, TCodedSetting setting, int item) {
    const std::string text = CodeOfItem(setting, item);
    if (!text.empty()) write(name, text);
  };
  if (!s.Path.empty()) write("Path", s.Path);
  for (int i = 0; i < kResolutionCount; ++i) write(kResolutionNames[i], FlagText(s.Resolution[i]));
  code("Demo", csDemo, s.Demo);
  code("Detail", csDetail, s.DetailLevel);
  code("PS", csPS, s.ShaderModel);
  code("Renderer", csRenderer, s.Renderer);
  code("AFLevel", csAFLevel, s.AFLevel);
  code("AALevel", csAALevel, s.AALevel);
  write("TRun", CodeOfItem(csTRun, s.RunNumber));
  write("ResoultPath", s.ResultsFolder);
  write("Decimal", s.DecimalSeparator);
  write("Note", s.Note);
  write("Mapname", s.MapName);
  write("Demoname", s.DemoFileName);
  if (s.Wait) write("Wait", std::to_string(*s.Wait));
  write("ScrPath", s.ScreenshotFolder);
  write("HDR", FlagText(s.HDR));
  if (s.HDRLevel) write("HDRLevel", std::to_string(*s.HDRLevel));
  write("GI", FlagText(s.GeometryInstancing));
  write("NormalMaps", FlagText(s.NormalMapsCompression));
  write("Addinfo", FlagText(s.AddAdditionalInfo && hasStoredOS));
  write("AddScInf", FlagText(s.AddDisplayInfo));
  code("Language", csLanguage, s.Language);
}

THardwareDescription DecodeHardwareDescription(const TValueReader& read) {
  auto line = [&](const char* name) {
    const std::string v = read(name);
    return Checked(v, IsLineText(v, kDescriptionLineMaxLength));
  };
  THardwareDescription d;
  d.OS = line("OS");
  d.CPU = line("CPU");
  d.Memory = line("Memory");
  d.VGA = line("VGA");
  d.VGAMemory = line("VGA Memory");
  d.VGADriver = line("VGA Driver");
  d.DirectX = line("DirectX");
  return d;
}

std::string SystemDecimalSeparator() {
  char text[8] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, text, sizeof text) < 2) return ".";
  return std::string(1, text[0]);
}

std::string KeptDecimalSeparator(const std::string& text, const std::string& stored) {
  if (IsDecimalSeparator(text)) return text;
  return IsDecimalSeparator(stored) ? stored : ".";
}
