#include "platform/Registry.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsRelative(const std::string& key) { return key.empty() || key[0] != '\\'; }

std::string WithoutLeadingSlash(const std::string& key) {
  return IsRelative(key) ? key : key.substr(1);
}

}  // namespace

TRegistry::TRegistry() = default;

TRegistry::TRegistry(REGSAM access) : access_(access) {}

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY key) {
  if (key == rootKey_) return;
  rootKey_ = key;
  CloseKey();
}

HKEY TRegistry::BaseKey(bool relative) const {
  return relative && currentKey_ ? currentKey_ : rootKey_;
}

void TRegistry::ChangeKey(HKEY key, const std::string& path) {
  CloseKey();
  currentKey_ = key;
  currentPath_ = path;
}

void TRegistry::CloseKey() {
  if (!currentKey_) return;
  RegCloseKey(currentKey_);
  currentKey_ = nullptr;
  currentPath_.clear();
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
  bool relative = IsRelative(key);
  std::string sub = WithoutLeadingSlash(key);
  HKEY opened = nullptr;
  LONG rc;
  if (!canCreate || sub.empty()) {
    rc = RegOpenKeyExA(BaseKey(relative), sub.c_str(), 0, access_, &opened);
  } else {
    DWORD disposition = 0;
    rc = RegCreateKeyExA(BaseKey(relative), sub.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                         access_, nullptr, &opened, &disposition);
  }
  if (rc != ERROR_SUCCESS) return false;
  std::string path = sub;
  if (relative && currentKey_) path = sub.empty() ? currentPath_ : currentPath_ + "\\" + sub;
  ChangeKey(opened, path);
  return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& key) {
  const REGSAM saved = access_;
  const REGSAM tries[] = {KEY_READ, STANDARD_RIGHTS_READ | KEY_QUERY_VALUE, KEY_QUERY_VALUE};
  bool opened = false;
  for (REGSAM access : tries) {
    access_ = access;
    if (OpenKey(key, false)) {
      opened = true;
      break;
    }
  }
  access_ = saved;
  return opened;
}

HKEY TRegistry::GetKey(const std::string& key) {
  bool relative = IsRelative(key);
  HKEY opened = nullptr;
  if (RegOpenKeyExA(BaseKey(relative), WithoutLeadingSlash(key).c_str(), 0, access_, &opened) !=
      ERROR_SUCCESS)
    return nullptr;
  return opened;
}

bool TRegistry::KeyExists(const std::string& key) {
  const REGSAM saved = access_;
  access_ = STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS;
  HKEY opened = GetKey(key);
  access_ = saved;
  if (!opened) return false;
  RegCloseKey(opened);
  return true;
}

bool TRegistry::DeleteKey(const std::string& key) {
  // An empty name would take the base key itself with everything below it.
  std::string sub = WithoutLeadingSlash(key);
  if (sub.empty()) return false;
  return RegDeleteTreeA(BaseKey(IsRelative(key)), sub.c_str()) == ERROR_SUCCESS;
}

bool TRegistry::GetDataInfo(const std::string& name, DWORD& size, DWORD& type) {
  size = 0;
  type = REG_NONE;
  return currentKey_ &&
         RegQueryValueExA(currentKey_, name.c_str(), nullptr, &type, nullptr, &size) ==
             ERROR_SUCCESS;
}

bool TRegistry::ValueExists(const std::string& name) {
  DWORD size, type;
  return GetDataInfo(name, size, type);
}

bool TRegistry::DeleteValue(const std::string& name) {
  return currentKey_ && RegDeleteValueA(currentKey_, name.c_str()) == ERROR_SUCCESS;
}

std::vector<std::string> TRegistry::GetValueNames() {
  std::vector<std::string> names;
  if (!currentKey_) return names;
  DWORD count = 0, longest = 0;
  if (RegQueryInfoKeyA(currentKey_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                       &longest, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return names;
  std::string buffer(longest + 1, '\0');
  for (DWORD i = 0; i < count; ++i) {
    DWORD length = static_cast<DWORD>(buffer.size());
    if (RegEnumValueA(currentKey_, i, buffer.data(), &length, nullptr, nullptr, nullptr,
                      nullptr) == ERROR_SUCCESS)
      names.emplace_back(buffer.data(), length);
  }
  return names;
}

void TRegistry::GetData(const std::string& name, void* buffer, DWORD size, DWORD& type) {
  type = REG_NONE;
  if (!currentKey_ || RegQueryValueExA(currentKey_, name.c_str(), nullptr, &type,
                                       static_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
    throw ERegistryException(Format("Failed to get data for '%s'", name.c_str()));
}

void TRegistry::PutData(const std::string& name, const void* buffer, DWORD size, DWORD type) {
  if (!currentKey_ || RegSetValueExA(currentKey_, name.c_str(), 0, type,
                                     static_cast<const BYTE*>(buffer), size) != ERROR_SUCCESS)
    throw ERegistryException(Format("Failed to set data for '%s'", name.c_str()));
}

void TRegistry::ReadError(const std::string& name) {
  throw ERegistryException(Format("Invalid data type for '%s'", name.c_str()));
}

std::string TRegistry::ReadString(const std::string& name) {
  DWORD size, type;
  if (!GetDataInfo(name, size, type) || size == 0) return std::string();
  if (type != REG_SZ && type != REG_EXPAND_SZ) ReadError(name);
  std::string text(size, '\0');
  GetData(name, text.data(), size, type);
  // The stored text need not end with a zero, and may hold one early.
  text.resize(std::min<size_t>(text.size(), std::strlen(text.c_str())));
  return text;
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
  PutData(name, value.c_str(), static_cast<DWORD>(value.size() + 1), REG_SZ);
}

int TRegistry::ReadInteger(const std::string& name) {
  DWORD value = 0, type;
  GetData(name, &value, sizeof(value), type);
  if (type != REG_DWORD) ReadError(name);
  return static_cast<int>(value);
}

void TRegistry::WriteInteger(const std::string& name, int value) {
  DWORD data = static_cast<DWORD>(value);
  PutData(name, &data, sizeof(data), REG_DWORD);
}

int TRegistry::ReadBinaryData(const std::string& name, void* buffer, int size) {
  DWORD length, type;
  if (!GetDataInfo(name, length, type)) return 0;
  if ((type != REG_BINARY && type != REG_NONE) || size < 0 || length > static_cast<DWORD>(size))
    ReadError(name);
  GetData(name, buffer, length, type);
  return static_cast<int>(length);
}
