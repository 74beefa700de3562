// A settings key of a test's own, beside the program's, removed again at the end: the tests
// of the settings store never touch the settings the program keeps.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

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
