// The stand-in game's console variables: read from its configuration files, then from its
// command line, which wins; plus the map and demo that the command line asks for.
#pragma once

#include <map>
#include <string>

class TGameSettings {
 public:
  // Reads lines of the form  name = "value"  (the quotes may be left out); lines beginning
  // with "--" and lines of another form are skipped. A missing file changes nothing.
  void ReadConfigFile(const std::string& path);

  // Parses a whole command line as the game receives it (the program's own name first,
  // which is skipped). Arguments are separated by blanks; a double-quoted argument keeps its
  // blanks. Each argument is one console line:
  //   -DEVMODE            switch (developer mode)
  //   #name=value         sets a console variable
  //   map <name>          the level to load (the rest of the argument, blanks included)
  //   demo <name>         the time demo to play once the level is loaded
  //   <name> <value>      sets a console variable, e.g. "r_SM30PATH 1"
  void ParseCommandLine(const std::string& commandLine);

  // Console variable names are compared without regard to case.
  void Set(const std::string& name, const std::string& value);
  bool Has(const std::string& name) const;
  std::string Str(const std::string& name, const std::string& fallback = "") const;
  // The value read as a whole number (a decimal fraction is cut), clamped to lo..hi;
  // fallback when it is missing or not a number.
  int Int(const std::string& name, int fallback, int lo, int hi) const;

  bool DevMode() const { return devMode_; }
  const std::string& Map() const { return map_; }
  const std::string& Demo() const { return demo_; }

 private:
  std::map<std::string, std::string> vars_;
  bool devMode_ = false;
  std::string map_;
  std::string demo_;
};
