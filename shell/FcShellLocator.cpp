#include "shell/FcShellLocator.h"

#include <cstring>

#include "platform/Application.h"
#include "platform/TypInfo.h"
#include "resources/ResourceIds.h"

namespace {

[[noreturn]] void BadStoredData() { throw EReadError(LoadResString(IDS_SHELL_BAD_FOLDER_DATA)); }

std::string ToHex(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (unsigned char b : bytes) {
    hex += digits[b >> 4];
    hex += digits[b & 0x0F];
  }
  return hex;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string FromHex(const std::string& hex) {
  if (hex.size() % 2 != 0) BadStoredData();
  std::string bytes;
  bytes.reserve(hex.size() / 2);
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    int high = HexDigit(hex[i]), low = HexDigit(hex[i + 1]);
    if (high < 0 || low < 0) BadStoredData();
    bytes += static_cast<char>(high * 16 + low);
  }
  return bytes;
}

}  // namespace

LPCITEMIDLIST TFcShellLocator::IdList() {
  if (kind_ == kIdList) return idList_.get();
  if (!idList_) {
    LPITEMIDLIST resolved = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(Application->Handle(), csidl_, &resolved)))
      idList_.reset(resolved);
    else
      ShellMemFree(resolved);
  }
  return idList_.get();
}

void TFcShellLocator::SetIdList(LPCITEMIDLIST list) {
  bool wasSpecial = kind_ == kSpecialFolder;
  kind_ = kIdList;
  // Copied before the old list goes: `list` may be the one held.
  TIdListPtr copy(list && IdListSize(list) > 2 ? CopyIdList(nullptr, list) : nullptr);
  bool changed;
  if (idList_) {
    // A comparison the shell cannot make counts as a change: an extra notice costs a
    // refresh, a lost one leaves the controls showing the old folder.
    changed = wasSpecial || CompareIdLists(idList_.get(), list) != 0;
  } else {
    changed = wasSpecial || !IsEmptyIdList(list);
  }
  idList_ = std::move(copy);
  csidl_ = kNoSpecialFolder;
  if (changed) Changed();
}

void TFcShellLocator::SetCSIDL(int id) {
  idList_.reset();
  bool changed = kind_ != kSpecialFolder || static_cast<std::uint8_t>(id) != csidl_;
  kind_ = kSpecialFolder;
  csidl_ = static_cast<std::uint8_t>(id);
  if (changed) Changed();
}

std::string TFcShellLocator::PathName() { return ShellGetPathFromIdList(IdList()); }

void TFcShellLocator::SetPathName(const std::string& path) {
  LPITEMIDLIST raw = nullptr;
  // The shell parses an empty path as an item of its own; here it designates nothing.
  if (path.empty() || FAILED(ShellGetIdListFromPath(path, &raw))) {
    SetIdList(nullptr);
    return;
  }
  TIdListPtr parsed(raw);
  SetIdList(parsed.get());
}

bool TFcShellLocator::IsEqual(TFcShellLocator* other) {
  if (!other || other->kind_ != kind_) return false;
  if (other == this) return true;
  if (kind_ == kIdList) return CompareIdLists(idList_.get(), other->idList_.get()) == 0;
  return csidl_ == other->csidl_;
}

void TFcShellLocator::Assign(TPersistent* source) {
  if (!source) {
    if (idList_) {
      idList_.reset();
      kind_ = kIdList;
      csidl_ = kNoSpecialFolder;
      Changed();
    }
    return;
  }
  auto* other = dynamic_cast<TFcShellLocator*>(source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  if (IsEqual(other)) return;
  kind_ = other->kind_;
  csidl_ = other->csidl_;
  idList_.reset(kind_ == kIdList && other->idList_ ? CopyIdList(nullptr, other->idList_.get())
                                                   : nullptr);
  Changed();
}

void TFcShellLocator::Changed() {
  if (OnChange) OnChange(this);
}

std::string TFcShellLocator::StoredData() const {
  std::string data;
  if (kind_ == kSpecialFolder) {
    data += static_cast<char>(kSpecialFolder);
    data += static_cast<char>(csidl_);
  } else if (idList_) {
    std::uint32_t length = IdListSize(idList_.get());
    data += static_cast<char>(kIdList);
    for (int i = 0; i < 4; ++i) data += static_cast<char>((length >> (8 * i)) & 0xFF);
    data.append(reinterpret_cast<const char*>(idList_.get()), length);
  }
  return data;
}

void TFcShellLocator::ReadStoredData(const std::string& data) {
  if (data.empty()) BadStoredData();
  if (data[0] != kIdList) {
    if (data.size() != 2) BadStoredData();
    idList_.reset();
    kind_ = kSpecialFolder;
    csidl_ = static_cast<std::uint8_t>(data[1]);
    return;
  }
  if (data.size() < 5) BadStoredData();
  std::uint32_t raw = 0;
  for (int i = 0; i < 4; ++i)
    raw |= static_cast<std::uint32_t>(static_cast<unsigned char>(data[1 + i])) << (8 * i);
  auto length = static_cast<std::int32_t>(raw);
  if (length < 0 || data.size() - 5 != static_cast<std::size_t>(length)) BadStoredData();
  if (length == 0) {
    idList_.reset();
    kind_ = kSpecialFolder;
    csidl_ = 0;
    return;
  }
  // The bytes must be one whole list that ends exactly where the stored length does.
  const char* bytes = data.data() + 5;
  if (IdListValidSize(bytes, static_cast<std::size_t>(length)) != static_cast<std::size_t>(length))
    BadStoredData();
  auto* list = static_cast<LPITEMIDLIST>(ShellMemAlloc(static_cast<std::size_t>(length)));
  if (!list) throw EOutOfMemory("Out of memory");
  std::memcpy(list, bytes, static_cast<std::size_t>(length));
  idList_.reset(list);
  kind_ = kIdList;
  csidl_ = kNoSpecialFolder;
}

void RegisterFcShellLocator() {
  RegisterClassInfo<TFcShellLocator, TPersistent>("TFcShellLocator")
      .Extra(
          "Pidl", tkString,
          [](TFcShellLocator* locator, const TValue& value) {
            locator->ReadStoredData(FromHex(value.AsString()));
          },
          [](TFcShellLocator* locator) -> std::optional<TValue> {
            std::string data = locator->StoredData();
            if (data.empty()) return std::nullopt;
            return TValue::String(ToHex(data));
          });
}
