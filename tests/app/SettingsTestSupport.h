// What the settings tests share: a user's stored settings with their decoded record, and a
// settings key of a test's own beside the program's, removed again at the end, so that the
// tests never touch the settings the program keeps.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/SettingCodes.h"
#include "app/SettingsStore.h"
#include "platform/Registry.h"
#include "platform/SysUtils.h"

class TTestSettingsKey {
 public:
  TTestSettingsKey() {
    static int serial = 0;
    path_ = Format("\\SOFTWARE\\Nemorix\\RIRered test %lu_%d", GetCurrentProcessId(), ++serial);
    Remove();
  }
  ~TTestSettingsKey() { Remove(); }
  TTestSettingsKey(const TTestSettingsKey&) = delete;
  TTestSettingsKey& operator=(const TTestSettingsKey&) = delete;

  const std::string& Path() const { return path_; }
  // "HKEY_LOCAL_MACHINE\SOFTWARE\..." as the store names it.
  std::string Name() const { return "HKEY_LOCAL_MACHINE" + path_; }

  void Seed(const std::string& name, const std::string& value) {
    TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    if (registry.OpenKey(path_, true)) registry.WriteString(name, value);
  }
  // The stored text; "<missing>" when there is no such value.
  std::string Value(const std::string& name) {
    TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    if (!registry.OpenKey(path_, false) || !registry.ValueExists(name)) return "<missing>";
    return registry.ReadString(name);
  }
  void Remove() {
    TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    registry.DeleteKey(path_);
  }

  // A store on this key that records its messages; opened unless told otherwise.
  std::unique_ptr<TSettingsStore> Store(REGSAM access = KEY_ALL_ACCESS, bool open = true) {
    auto store = std::make_unique<TSettingsStore>(HKEY_LOCAL_MACHINE, path_, access);
    store->OnError = [this](TObject*, const std::string& message) { Messages.push_back(message); };
    if (open) store->Open();
    return store;
  }

  std::vector<std::string> Messages;

 private:
  std::string path_;
};

// A user's settings, every value usable and none at its layout state.
inline std::map<std::string, std::string> StoredValues() {
  return {{"Path", "C:\\Games\\Quenmar\\Bin32\\Quenmar.exe"},
          {"CustomConfig", "C:\\My configs\\system.cfg"},
          {"640", "1"},
          {"800", "0"},
          {"1024", "1"},
          {"1280", "1"},
          {"1600", "1"},
          {"Demo", "12"},
          {"Detail", "4"},
          {"PS", "3"},
          {"Renderer", "2"},
          {"AFLevel", "Sys"},
          {"AALevel", "6"},
          {"TRun", "4"},
          {"ResoultPath", "D:\\Results\\"},
          {"Decimal", ","},
          {"Note", "Tom & Jerry <3"},
          {"Mapname", "Training"},
          {"Demoname", "quick.tmd"},
          {"Wait", "7"},
          {"ScrPath", "\\\\server\\shots\\"},
          {"HDR", "1"},
          {"HDRLevel", "11"},
          {"GI", "1"},
          {"NormalMaps", "1"},
          {"Language", "8"},
          {"Addinfo", "0"},
          {"AddScInf", "0"}};
}

// StoredValues decoded, written out field by field. (Texts are assigned as strings: GCC 12
// warns falsely (-Wrestrict) on assigning some literals here.)
inline TStoredSettings StoredRecord() {
  TStoredSettings s;
  s.Path = std::string("C:\\Games\\Quenmar\\Bin32\\Quenmar.exe");
  s.CustomConfig = std::string("C:\\My configs\\system.cfg");
  s.Resolution[0] = true;
  s.Resolution[1] = false;
  s.Resolution[2] = true;
  s.Resolution[3] = true;
  s.Resolution[4] = true;
  s.Demo = 11;
  s.DetailLevel = 3;
  s.ShaderModel = 2;
  s.Renderer = 1;
  s.AFLevel = 5;
  s.AALevel = 3;
  s.RunNumber = 3;
  s.ResultsFolder = std::string("D:\\Results\\");
  s.DecimalSeparator = std::string(",");
  s.Note = std::string("Tom & Jerry <3");
  s.MapName = std::string("Training");
  s.DemoFileName = std::string("quick.tmd");
  s.Wait = 7;
  s.ScreenshotFolder = std::string("\\\\server\\shots\\");
  s.HDR = true;
  s.HDRLevel = 11;
  s.GeometryInstancing = true;
  s.NormalMapsCompression = true;
  s.Language = 8;
  s.AddAdditionalInfo = false;
  s.AddDisplayInfo = false;
  return s;
}
