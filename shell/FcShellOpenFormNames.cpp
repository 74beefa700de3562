// The open/save window's checking of what the user typed into the name field: wildcards that
// filter the list, folders to move into, names made into full paths, shortcuts, and the
// questions about files that exist or do not.
#include <cctype>

#include "platform/Guards.h"
#include "platform/SysUtils.h"
#include "resources/FcShellDialogsIds.h"
#include "shell/FcShellOpenForm.h"
#include "shell/FcShellUtils.h"

// ---- Pure helpers --------------------------------------------------------------------------------

std::vector<std::string> SplitTypedNames(const std::string& text) {
  std::vector<std::string> names;
  std::string current;
  bool quoted = false;
  auto flush = [&] {
    if (!current.empty()) names.push_back(current);
    current.clear();
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (IsDBCSLeadByte(static_cast<BYTE>(c)) && i + 1 < text.size()) {
      current += c;
      current += text[++i];
    } else if (c == '"') {
      flush();
      quoted = !quoted;
    } else if (!quoted && (c == ' ' || c == '\t')) {
      flush();
    } else {
      current += c;
    }
  }
  flush();
  return names;
}

bool IsValidTypedName(const std::string& name) {
  return name.find_first_of("/<>|") == std::string::npos && name.find("\\\\", 1) == std::string::npos;
}

namespace {

bool StartsWithDrive(const std::string& s) {
  return s.size() >= 2 && std::isalpha(static_cast<unsigned char>(s[0])) && s[1] == ':';
}

// The root of a path: "C:\" for a drive, "\\server\share\" for a network share; empty for
// anything else.
std::string RootOf(const std::string& path) {
  if (StartsWithDrive(path)) return path.substr(0, 2) + "\\";
  if (path.compare(0, 2, "\\\\") != 0) return std::string();
  std::size_t server = path.find('\\', 2);
  if (server == std::string::npos) return path + "\\";
  std::size_t share = path.find('\\', server + 1);
  return share == std::string::npos ? path + "\\" : path.substr(0, share + 1);
}

bool AllDots(const std::string& s) { return !s.empty() && s.find_first_not_of('.') == std::string::npos; }

}  // namespace

std::string CombineTypedName(const std::string& folder, const std::string& name) {
  std::string root = RootOf(name);
  std::string rest;
  if (!root.empty()) {
    rest = name.substr(StartsWithDrive(name) ? 2 : std::min(name.size(), root.size()));
  } else {
    root = RootOf(folder);
    if (root.empty()) return std::string();
    std::string inFolder = folder.size() > root.size() ? folder.substr(root.size()) : std::string();
    rest = !name.empty() && name[0] == '\\' ? name.substr(1) : inFolder + "\\" + name;
  }
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= rest.size()) {
    std::size_t slash = rest.find('\\', start);
    if (slash == std::string::npos) slash = rest.size();
    std::string part = rest.substr(start, slash - start);
    start = slash + 1;
    if (part.empty() || part == ".") continue;
    if (AllDots(part)) {
      // n dots go n - 1 folders up, never above the root.
      for (std::size_t up = part.size() - 1; up > 0 && !parts.empty(); --up) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::string path = root;
  for (std::size_t i = 0; i < parts.size(); ++i) path += (i ? "\\" : "") + parts[i];
  return path;
}

std::string MaskExtension(const std::string& mask) {
  std::string first = mask.substr(0, mask.find(';'));
  std::size_t dot = first.rfind('.');
  if (dot == std::string::npos) return std::string();
  std::string extension = first.substr(dot);
  return extension.find_first_of("*?") == std::string::npos && extension.size() > 1 ? extension : std::string();
}

// ---- Closing with OK -------------------------------------------------------------------------------

void TFcShellOpenSaveForm::FormCloseQuery(TObject*, bool& canClose) {
  if (ModalResult() != mrOk) return;
  std::string text = FileNameEdt->Text();
  std::string name = ExtractFileName(text);
  if (text.find('"') == std::string::npos && name.find_first_of("*?") != std::string::npos) {
    // A wildcard filters the list and the window stays.
    canClose = false;
    std::string folder = ExtractFilePath(text);
    if (!folder.empty()) {
      std::string path = CombineTypedName(ListFolderPath(), folder);
      if (!path.empty() && DirectoryExists(path)) GoToFolder(path);
    }
    typedFilter_ = name;
    ShellList->SetFileFilter(name);
    {
      TRestore<bool> setting(settingName_, true);
      FileNameEdt->SetText(name);
    }
    FileNameEdt->SelectAll();
    return;
  }
  canClose = ProcessTypedText();
  if (canClose && !options_.Contains(osoNoChangeDir)) {
    std::string folder = ListFolderPath();
    if (!folder.empty()) SetCurrentDirectoryA(IncludeTrailingBackslash(folder).c_str());
  }
}

bool TFcShellOpenSaveForm::ProcessTypedText() {
  files_.clear();
  std::string text = FileNameEdt->Text();
  std::vector<std::string> names =
      text.find('"') != std::string::npos ? SplitTypedNames(text) : std::vector<std::string>{text};
  if (names.empty() || names.front().empty()) return false;
  for (const std::string& name : names) {
    TNameResult result = ProcessName(name, names.size() == 1);
    if (result != nrAccepted) {
      files_.clear();
      return false;
    }
  }
  return true;
}

TFcShellOpenSaveForm::TNameResult TFcShellOpenSaveForm::ProcessName(const std::string& name, bool single) {
  if (!options_.Contains(osoNoValidate) && !IsValidTypedName(name)) {
    Tell(IDS_SHDLG_INVALID_NAME, name);
    return nrRefused;
  }
  // A folder outside the file system (My Computer...) gives a typed name nothing to stand on.
  std::string path = CombineTypedName(ListFolderPath(), name);
  if (path.empty()) {
    Tell(IDS_SHDLG_INVALID_NAME, name);
    return nrRefused;
  }
  if (DirectoryExists(path)) {
    GoToFolder(path);
    FileNameEdt->SelectAll();
    return nrMovedToFolder;
  }
  if (!options_.Contains(osoNoDereferenceLinks) && SameText(ExtractFileExt(path), ".lnk")) {
    TLinkData link;
    if (SUCCEEDED(ReadShellLink(path, link, false)) && !link.Path.empty()) path = link.Path;
  }
  if (single) {
    std::vector<TListItem*> selected = ShellList->SelectedShellItems();
    if (nameFromList_ && !selected.empty()) {
      path = ShellList->ShellData(selected.front())->PathName();
    } else {
      ApplyDefaultExtension(path);
      std::string folder = ExtractFileDir(path);
      if (!SameText(ExcludeTrailingBackslash(folder), ListFolderPath())) GoToFolder(folder);
      std::string fileName = ExtractFileName(path);
      TListItem* first = nullptr;
      for (int i = 0; i < ShellList->Items()->Count(); ++i) {
        TListItem* item = ShellList->Items()->Item(i);
        if (!AnsiSameText(item->Caption(), fileName)) continue;
        if (!first) {
          first = item;
          continue;
        }
        Tell(IDS_SHDLG_AMBIGUOUS_NAME, fileName);
        ShellList->ClearSelection();
        first->SetSelected(true);
        first->SetFocused(true);
        if (ShellList->CanFocus()) ShellList->SetFocus();
        return nrRefused;
      }
    }
  }
  if (!AcceptByExistence(path)) return nrRefused;
  files_.push_back(path);
  return nrAccepted;
}

void TFcShellOpenSaveForm::ApplyDefaultExtension(std::string& path) {
  if (defaultExt_.empty()) return;
  std::string extension = ExtractFileExt(path);
  if (!extension.empty()) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, extension.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
      RegCloseKey(key);
      options_ += osoExtensionDifferent;
      return;
    }
  }
  int type = FileTypesCbx->ItemIndex();
  std::string maskExtension =
      type >= 0 && type < static_cast<int>(masks_.size()) ? MaskExtension(masks_[type]) : std::string();
  if (maskExtension.empty()) {
    path += "." + defaultExt_;
    options_ -= osoExtensionDifferent;
  } else if (!AnsiSameText(maskExtension, extension)) {
    path = ChangeFileExt(path, maskExtension);
    if (AnsiSameText(maskExtension, "." + defaultExt_))
      options_ -= osoExtensionDifferent;
    else
      options_ += osoExtensionDifferent;
  }
}

bool TFcShellOpenSaveForm::AcceptByExistence(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  bool exists = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  if (exists) {
    if ((attributes & FILE_ATTRIBUTE_READONLY) && options_.Contains(osoNoReadOnlyReturn)) {
      Tell(IDS_SHDLG_READ_ONLY_EXISTS, path);
      return false;
    }
    if (options_.Contains(osoOverwritePrompt)) return Tell(IDS_SHDLG_REPLACE, path, true);
    return true;
  }
  if (options_.Contains(osoFileMustExist)) {
    Tell(IDS_SHDLG_NOT_FOUND, path);
    return false;
  }
  if (options_.Contains(osoCreatePrompt)) return Tell(IDS_SHDLG_CREATE_PROMPT, ExtractFileName(path), true);
  return true;
}

bool TFcShellOpenSaveForm::Tell(UINT format, const std::string& path, bool question) {
  std::string text = ResMessage(format, path);
  if (question) return MessageDlg(text, mtConfirmation, {mbYes, mbNo}) == mrYes;
  MessageDlg(text, mtWarning, {mbOK});
  return false;
}
