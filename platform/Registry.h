// Reader and writer of one registry key at a time: the settings store keeps one open for
// the program's whole run.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/Classes.h"

class ERegistryException : public Exception { using Exception::Exception; };

class TRegistry : public TObject {
 public:
  // Root key HKEY_CURRENT_USER, full access.
  TRegistry();
  explicit TRegistry(REGSAM access);
  ~TRegistry() override;
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  HKEY RootKey() const { return rootKey_; }
  // Changing the root closes the current key.
  void SetRootKey(HKEY key);
  // Access asked for by OpenKey.
  REGSAM Access() const { return access_; }
  void SetAccess(REGSAM access) { access_ = access; }
  HKEY CurrentKey() const { return currentKey_; }
  // Path of the current key below the root, without a leading backslash.
  const std::string& CurrentPath() const { return currentPath_; }

  // Makes `key` the current key. A leading backslash names it from the root key; otherwise
  // it lies below the current key (or the root when none is open). With canCreate a missing
  // key is created. The previous key is closed only when the new one opens.
  bool OpenKey(const std::string& key, bool canCreate);
  // Opens an existing key for reading only, asking for less access where more is refused.
  bool OpenKeyReadOnly(const std::string& key);
  void CloseKey();

  bool KeyExists(const std::string& key);
  // Deletes the key with all its subkeys and values; an empty name is refused.
  bool DeleteKey(const std::string& key);
  bool ValueExists(const std::string& name);
  bool DeleteValue(const std::string& name);
  // Names of the current key's values; empty when no key is open.
  std::vector<std::string> GetValueNames();

  // A missing value reads as the empty string; a value of another type raises.
  std::string ReadString(const std::string& name);
  void WriteString(const std::string& name, const std::string& value);
  // A missing value or one of another type raises.
  int ReadInteger(const std::string& name);
  void WriteInteger(const std::string& name, int value);
  bool ReadBool(const std::string& name) { return ReadInteger(name) != 0; }
  void WriteBool(const std::string& name, bool value) { WriteInteger(name, value ? 1 : 0); }
  // Copies a binary value into buffer and returns its size; 0 when the value is missing.
  // A value of another type, or one larger than the buffer, raises.
  int ReadBinaryData(const std::string& name, void* buffer, int size);

 private:
  HKEY BaseKey(bool relative) const;
  // Opens `key` (same path rules as OpenKey) with the current access; nullptr on failure.
  HKEY GetKey(const std::string& key);
  void ChangeKey(HKEY key, const std::string& path);
  // Size and type of a value; false when it cannot be queried.
  bool GetDataInfo(const std::string& name, DWORD& size, DWORD& type);
  void GetData(const std::string& name, void* buffer, DWORD size, DWORD& type);
  void PutData(const std::string& name, const void* buffer, DWORD size, DWORD type);
  [[noreturn]] void ReadError(const std::string& name);

  HKEY rootKey_ = HKEY_CURRENT_USER;
  REGSAM access_ = KEY_ALL_ACCESS;
  HKEY currentKey_ = nullptr;
  std::string currentPath_;
};
