#include "tools/standin/GameSettings.h"

#include <windows.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

std::string Trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t");
  if (a == std::string::npos) return "";
  size_t b = s.find_last_not_of(" \t");
  return s.substr(a, b - a + 1);
}

bool ReadWholeFile(const std::string& path, std::string& text) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  text.clear();
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
  CloseHandle(file);
  return true;
}

// Windows-style splitting as a game's own parser does it: a double quote opens or closes a
// quoted stretch, in which blanks do not separate; the quotes themselves are dropped.
std::vector<std::string> SplitArguments(const std::string& line) {
  std::vector<std::string> args;
  std::string current;
  bool inArg = false, quoted = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
      inArg = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (inArg) args.push_back(current);
      current.clear();
      inArg = false;
    } else {
      current += c;
      inArg = true;
    }
  }
  if (inArg) args.push_back(current);
  return args;
}

}  // namespace

void TGameSettings::ReadConfigFile(const std::string& path) {
  std::string text;
  if (!ReadWholeFile(path, text)) return;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    line = Trim(line);
    if (line.empty() || line.rfind("--", 0) == 0) continue;
    size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string name = Trim(line.substr(0, eq));
    std::string value = Trim(line.substr(eq + 1));
    if (name.empty() || name.find_first_of(" \t\"") != std::string::npos) continue;
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    Set(name, value);
  }
}

void TGameSettings::ParseCommandLine(const std::string& commandLine) {
  std::vector<std::string> args = SplitArguments(commandLine);
  for (size_t i = 1; i < args.size(); ++i) {
    std::string arg = Trim(args[i]);
    if (arg.empty()) continue;
    if (arg[0] == '-') {
      if (Lower(arg) == "-devmode") devMode_ = true;
    } else if (arg[0] == '#') {
      size_t eq = arg.find('=');
      if (eq != std::string::npos && eq > 1) Set(Trim(arg.substr(1, eq - 1)), Trim(arg.substr(eq + 1)));
    } else {
      size_t blank = arg.find_first_of(" \t");
      if (blank == std::string::npos) continue;
      std::string command = Lower(arg.substr(0, blank));
      std::string rest = Trim(arg.substr(blank + 1));
      if (command == "map") map_ = rest;
      else if (command == "demo") demo_ = rest;
      else Set(command, rest);
    }
  }
}

void TGameSettings::Set(const std::string& name, const std::string& value) { vars_[Lower(name)] = value; }

bool TGameSettings::Has(const std::string& name) const { return vars_.count(Lower(name)) != 0; }

std::string TGameSettings::Str(const std::string& name, const std::string& fallback) const {
  auto it = vars_.find(Lower(name));
  return it == vars_.end() ? fallback : it->second;
}

int TGameSettings::Int(const std::string& name, int fallback, int lo, int hi) const {
  auto it = vars_.find(Lower(name));
  if (it == vars_.end() || it->second.empty()) return fallback;
  char* end = nullptr;
  double v = std::strtod(it->second.c_str(), &end);
  if (end == it->second.c_str() || *end != '\0' || !std::isfinite(v)) return fallback;
  if (v < lo) return lo;
  if (v > hi) return hi;
  return static_cast<int>(v);
}
