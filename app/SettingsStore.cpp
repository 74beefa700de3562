#include "app/SettingsStore.h"

#include "platform/Controls.h"
#include "platform/SysUtils.h"
#include "resources/ResourceIds.h"

TSettingsStore* ProgramSettings = nullptr;

TSettingsStore& ProgramSettingsFor(const TComponent* window) {
  if (!ProgramSettings)
    throw EInvalidOperation(ResMessage(IDS_SETTINGS_NOT_MADE, window->Name()));
  return *ProgramSettings;
}

namespace {

std::string RootKeyName(HKEY root) {
  if (root == HKEY_LOCAL_MACHINE) return "HKEY_LOCAL_MACHINE";
  if (root == HKEY_CURRENT_USER) return "HKEY_CURRENT_USER";
  if (root == HKEY_CLASSES_ROOT) return "HKEY_CLASSES_ROOT";
  if (root == HKEY_USERS) return "HKEY_USERS";
  if (root == HKEY_CURRENT_CONFIG) return "HKEY_CURRENT_CONFIG";
  return Format("HKEY %p", static_cast<void*>(root));
}

}  // namespace

TSettingsStore::TSettingsStore() : TSettingsStore(HKEY_LOCAL_MACHINE, kSettingsKey, KEY_ALL_ACCESS) {}

TSettingsStore::TSettingsStore(HKEY root, const std::string& key, REGSAM access)
    : registry_(access), key_(key) {
  registry_.SetRootKey(root);
}

std::string TSettingsStore::KeyName() const {
  const std::string path = !key_.empty() && key_[0] == '\\' ? key_.substr(1) : key_;
  return RootKeyName(registry_.RootKey()) + "\\" + path;
}

void TSettingsStore::Report(const std::string& message) {
  if (OnError) OnError(this, message);
}

bool TSettingsStore::Open() {
  if (registry_.OpenKey(key_, true)) return true;
  Report(ResMessage(IDS_SETTINGS_KEY_NOT_OPENED, KeyName()));
  return false;
}

std::string TSettingsStore::ReadValue(const std::string& name) {
  if (!IsOpen()) return std::string();
  try {
    return registry_.ReadString(name);
  } catch (const ERegistryException&) {
    return std::string();  // a value of another type
  }
}

bool TSettingsStore::TryWrite(const std::string& name, const std::string& value) {
  if (!IsOpen()) return false;
  try {
    registry_.WriteString(name, value);
    return true;
  } catch (const ERegistryException&) {
    return false;
  }
}

bool TSettingsStore::WriteValue(const std::string& name, const std::string& value) {
  if (TryWrite(name, value)) return true;
  if (IsOpen())
    Report(ResMessage(IDS_SETTINGS_VALUE_NOT_WRITTEN, name, KeyName()));
  return false;
}

TValueReader TSettingsStore::Reader() {
  return [this](const std::string& name) { return ReadValue(name); };
}

TStoredSettings TSettingsStore::ReadSettings() { return DecodeSettings(Reader()); }

bool TSettingsStore::WriteValues(const std::function<void(const TValueWriter&)>& writeAll) {
  bool failed = false;
  writeAll([&](const std::string& name, const std::string& value) {
    if (!TryWrite(name, value)) failed = true;
  });
  if (failed && IsOpen())
    Report(ResMessage(IDS_SETTINGS_NOT_WRITTEN, KeyName()));
  return !failed;
}

bool TSettingsStore::WriteSettings(const TStoredSettings& settings) {
  const bool hasStoredOS = !ReadDescription().OS.empty();
  return WriteValues([&](const TValueWriter& write) {
    EncodeSettings(settings, hasStoredOS, write);
  });
}

std::string TSettingsStore::WriteSystemDecimal() {
  const std::string separator = SystemDecimalSeparator();
  WriteValue("Decimal", separator);
  return separator;
}

THardwareDescription TSettingsStore::ReadDescription() {
  return DecodeHardwareDescription(Reader());
}

bool TSettingsStore::SaveDescription(const THardwareDescription& d) {
  return WriteValues([&](const TValueWriter& write) {
    write("OS", d.OS);
    write("CPU", d.CPU);
    write("Memory", d.Memory);
    write("VGA", d.VGA);
    write("VGA Memory", d.VGAMemory);
    write("VGA Driver", d.VGADriver);
    write("Save Info", "1");
  });
}

bool TSettingsStore::ClearDescription() {
  return WriteValues([](const TValueWriter& write) {
    for (const char* name : {"CPU", "Memory", "OS", "VGA", "VGA Driver", "VGA Memory"})
      write(name, "");
    write("Save Info", "0");
  });
}
