// The settings store: the one registry key that keeps every setting of the program, open from
// the main window's start to its close and shared by the dialogs and the benchmark engine.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "app/BenchEngine.h"
#include "app/SettingCodes.h"
#include "platform/Classes.h"
#include "platform/Registry.h"

// Reads never raise: a missing value, one of another type or a key that is not open reads as
// "". Writes never raise either: a failed one returns false and tells OnError, whose message
// names the key, so that a close goes on with its clean-up whatever the registry does.
class TSettingsStore : public TObject {
 public:
  // The program's own key: HKEY_LOCAL_MACHINE, kSettingsKey, full access.
  TSettingsStore();
  // Another key or access (a key that cannot be made, one opened for reading only).
  TSettingsStore(HKEY root, const std::string& key, REGSAM access);
  TSettingsStore(const TSettingsStore&) = delete;
  TSettingsStore& operator=(const TSettingsStore&) = delete;

  // Opens the key, making it when it is missing. When it cannot be opened, OnError is told
  // once and every later read gives "" and every write fails without a further message.
  bool Open();
  bool IsOpen() const { return registry_.CurrentKey() != nullptr; }
  // The key as the user finds it in the registry editor: "HKEY_LOCAL_MACHINE\SOFTWARE\...".
  std::string KeyName() const;
  // The registry object itself, open on the key, for the engine's marks.
  TRegistry* Registry() { return &registry_; }

  std::string ReadValue(const std::string& name);
  bool WriteValue(const std::string& name, const std::string& value);

  // The main window's choices (the start's restore).
  TStoredSettings ReadSettings();
  // Every value of the close, each tried even when one before it failed; OnError is told
  // once for all of them.
  bool WriteSettings(const TStoredSettings& settings);

  // "FirstRun": set once a start has found the game.
  bool FirstRunDone() { return !ReadValue("FirstRun").empty(); }
  bool MarkFirstRun() { return WriteValue("FirstRun", "Some"); }
  // "NoErrorWarning" "1": the last run did not end cleanly.
  bool RunInterrupted() { return ReadValue("NoErrorWarning") == "1"; }
  bool ClearRunInterrupted() { return WriteValue("NoErrorWarning", "0"); }
  // "Donate" "0": the donation window is shown at every start until it is closed once.
  bool DonationDue() { return ReadValue("Donate") == "0"; }
  bool MarkDonated() { return WriteValue("Donate", "1"); }
  // Writes the system's decimal separator as "Decimal" and returns it.
  std::string WriteSystemDecimal();

  // The hardware description: "Save Info" "1" while one is stored.
  bool DescriptionSaved() { return ReadValue("Save Info") == "1"; }
  THardwareDescription ReadDescription();
  // The six lines and "Save Info" "1" ("DirectX" is never written).
  bool SaveDescription(const THardwareDescription& description);
  // The six lines emptied and "Save Info" "0".
  bool ClearDescription();

  // Told of each failure with the message for the user; the main window shows it in a box.
  std::function<void(TObject* sender, const std::string& message)> OnError;

 private:
  TValueReader Reader();
  bool TryWrite(const std::string& name, const std::string& value);
  // Runs every write of writeAll, goes on past a failed one and tells OnError once.
  bool WriteValues(const std::function<void(const TValueWriter&)>& writeAll);
  void Report(const std::string& message);

  TRegistry registry_;
  std::string key_;
};

// The program's store: the main window's, from its creation (before the dialogs are made) to
// its close. The dialogs read and write the settings through it.
extern TSettingsStore* ProgramSettings;
// ProgramSettings for the window `window`; EInvalidOperation naming the window while there is
// none (the window was made before the main window).
TSettingsStore& ProgramSettingsFor(const TComponent* window);
