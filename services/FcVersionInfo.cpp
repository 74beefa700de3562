#include "services/FcVersionInfo.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "platform/SysUtils.h"
#include "platform/TypInfo.h"

namespace {

// Field names in the order of TFcVersionField.
const char* const kFieldNames[] = {
    "CompanyName",      "FileDescription",  "FileVersion", "InternalName",   "LegalCopyright",
    "LegalTrademarks",  "OriginalFilename", "ProductName", "ProductVersion", "Comments",
};
constexpr int kFieldCount = sizeof kFieldNames / sizeof kFieldNames[0];
static_assert(kFieldCount == vfComments + 1);

const char kNotAvailable[] = "Value Not Available";

}  // namespace

TFcVersionInfo::TFcVersionInfo(TComponent* owner)
    : TComponent(owner), fields_(std::make_unique<TStringList>()) {
  if (!ComponentState().Contains(csDesigning)) ReadVersionInfo();
}

void TFcVersionInfo::SetFilePath(const std::string& value) {
  if (value == filePath_) return;
  filePath_ = value;
  TComponentState state = ComponentState();
  if (state.Contains(csDesigning) || state.Contains(csLoading)) return;
  ReadVersionInfo();
  RefreshPanes();
}

std::string TFcVersionInfo::GetVersionField(int index) const { return fields_->Strings(index); }

void TFcVersionInfo::Loaded() {
  TComponent::Loaded();
  if (ComponentState().Contains(csDesigning)) return;
  ReadVersionInfo();
  RefreshPanes();
}

void TFcVersionInfo::RegisterPane(IFcVersionInfoPane* pane) {
  if (pane && std::find(panes_.begin(), panes_.end(), pane) == panes_.end())
    panes_.push_back(pane);
}

void TFcVersionInfo::UnregisterPane(IFcVersionInfoPane* pane) {
  panes_.erase(std::remove(panes_.begin(), panes_.end(), pane), panes_.end());
}

void TFcVersionInfo::ReadVersionInfo() {
  if (filePath_.empty()) {
    char module[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameA(nullptr, module, sizeof module);
    filePath_.assign(module, n < sizeof module ? n : 0);
  }

  std::vector<std::string> texts(kFieldCount);
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(filePath_.c_str(), &handle);
  hasVersionResource_ = size > 0;
  if (!hasVersionResource_) {
    std::fill(texts.begin(), texts.end(), kNotAvailable);
  } else {
    std::vector<char> block(size);
    if (GetFileVersionInfoA(filePath_.c_str(), 0, size, block.data())) {
      void* translation = nullptr;
      UINT length = 0;
      // Without a translation the string tables cannot be named: every field stays empty.
      if (VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &translation, &length) &&
          translation && length >= sizeof(DWORD)) {
        DWORD entry;
        std::memcpy(&entry, translation, sizeof entry);
        std::string prefix = Format("StringFileInfo\\%.4x%.4x\\",
                                    static_cast<unsigned>(LOWORD(entry)),
                                    static_cast<unsigned>(HIWORD(entry)));
        for (int i = 0; i < kFieldCount; ++i) {
          void* value = nullptr;
          UINT chars = 0;
          if (VerQueryValueA(block.data(), (prefix + kFieldNames[i]).c_str(), &value, &chars) &&
              value)
            texts[i].assign(static_cast<const char*>(value),
                            strnlen(static_cast<const char*>(value), chars));
        }
      }
    }
  }

  fields_->BeginUpdate();
  fields_->Clear();
  for (const std::string& t : texts) fields_->Add(t);
  fields_->EndUpdate();
}

void TFcVersionInfo::RefreshPanes() {
  // A pane may unregister itself, or another, while it is told.
  std::vector<IFcVersionInfoPane*> panes = panes_;
  for (IFcVersionInfoPane* pane : panes)
    if (std::find(panes_.begin(), panes_.end(), pane) != panes_.end())
      pane->VersionInfoChanged(this);
}

void RegisterFcVersionInfo() {
  RegisterClassInfo<TFcVersionInfo, TComponent>("TFcVersionInfo")
      .String("FilePath", &TFcVersionInfo::FilePath, &TFcVersionInfo::SetFilePath);
}
