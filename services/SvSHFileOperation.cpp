#include "services/SvSHFileOperation.h"

#include <shellapi.h>

#include <cstring>
#include <cwchar>

#include "platform/Controls.h"
#include "platform/SysUtils.h"
#include "resources/ResourceIds.h"
#include "services/SvCommon.h"

const TEnumInfo SvSHFileOpTypeInfo{"TSvSHFileOpType", {"foCopy", "foDelete", "foMove", "foRename"}};
const TEnumInfo SvSHFileOptionInfo{
    "TSvSHFileOption",
    {"fofAllowUndo", "fofConfirmMouse", "fofFilesOnly", "fofMultiDestFiles", "fofNoConfirmation",
     "fofNoConfirmMkDir", "fofRenameOnCollision", "fofSilent", "fofSimpleProgress",
     "fofWantMappingHandle", "fofNoErrorUI", "fofNoCopySecurityAttributes", "fofNoRecursion",
     "fofNoConnectedElements", "fofNoRecurseParse", "fofWantNukeWarning"}};

namespace {

// Shell flags in the order of TSvSHFileOption.
const FILEOP_FLAGS kOptionFlags[] = {
    FOF_ALLOWUNDO,        FOF_CONFIRMMOUSE,   FOF_FILESONLY,     FOF_MULTIDESTFILES,
    FOF_NOCONFIRMATION,   FOF_NOCONFIRMMKDIR, FOF_RENAMEONCOLLISION, FOF_SILENT,
    FOF_SIMPLEPROGRESS,   FOF_WANTMAPPINGHANDLE, FOF_NOERRORUI,  FOF_NOCOPYSECURITYATTRIBS,
    FOF_NORECURSION,      FOF_NO_CONNECTED_ELEMENTS, FOF_NORECURSEREPARSE, FOF_WANTNUKEWARNING,
};
static_assert(sizeof kOptionFlags / sizeof kOptionFlags[0] == fofWantNukeWarning + 1);

// What the shell hands back with FOF_WANTMAPPINGHANDLE (HANDLETOMAPPINGS).
struct TShNameMappings {
  UINT Count;
  void* Mappings;  // SHNAMEMAPPINGW on the NT family, SHNAMEMAPPINGA elsewhere
};

// Full universal paths of the lines that name something. An empty line would end the
// shell's double-zero list early and drop every name after it; a line of blanks would name
// the current folder, which a delete would then act on.
std::vector<std::string> FullPaths(const TStrings& list) {
  std::vector<std::string> paths;
  for (int i = 0; i < list.Count(); ++i) {
    std::string line = list.Strings(i);
    if (!Trim(line).empty()) paths.push_back(ExpandUNCFileName(line));
  }
  return paths;
}

// Each name followed by a zero character, then one more; c_str() adds the last one.
std::string DoubleZeroList(const std::vector<std::string>& paths) {
  std::string text;
  for (const std::string& p : paths) {
    text += p;
    text += '\0';
  }
  return text;
}

bool HasWildcard(const std::string& path) {
  return path.find_first_of("*?") != std::string::npos;
}

// True when a file or folder matches the name or pattern.
bool Matches(const std::string& path) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(path.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  FindClose(find);
  return true;
}

std::string WideToAnsi(const wchar_t* text, int count) {
  if (!text) return std::string();
  size_t length = count > 0 ? wcsnlen(text, static_cast<size_t>(count)) : wcslen(text);
  return WideToCodePage(std::wstring(text, length), CP_ACP);
}

std::string AnsiText(const char* text, int count) {
  if (!text) return std::string();
  size_t length = count > 0 ? strnlen(text, static_cast<size_t>(count)) : strlen(text);
  return std::string(text, length);
}

}  // namespace

UINT SvSHFileOpCode(TSvSHFileOpType operation) {
  switch (operation) {
    case foCopy: return FO_COPY;
    case foDelete: return FO_DELETE;
    case foMove: return FO_MOVE;
    case foRename: return FO_RENAME;
  }
  return FO_COPY;
}

FILEOP_FLAGS SvSHFileOpFlags(TSvSHFileOptions options) {
  FILEOP_FLAGS flags = 0;
  for (int o = fofAllowUndo; o <= fofWantNukeWarning; ++o)
    if (options.Contains(static_cast<TSvSHFileOption>(o))) flags |= kOptionFlags[o];
  return flags;
}

TSvSHFileOperation::TSvSHFileOperation(TComponent* owner)
    : TComponent(owner),
      sourceFiles_(std::make_unique<TStringList>()),
      destFiles_(std::make_unique<TStringList>()) {}

void TSvSHFileOperation::SetSourceFiles(TStrings* value) { sourceFiles_->Assign(value); }

void TSvSHFileOperation::SetDestFiles(TStrings* value) { destFiles_->Assign(value); }

bool TSvSHFileOperation::Execute() {
  std::vector<std::string> sources = FullPaths(*sourceFiles_);
  if (sources.empty()) throw ESvException(IDS_SV_NO_FILES);
  std::vector<std::string> dests = FullPaths(*destFiles_);
  std::string from = DoubleZeroList(sources);
  std::string to = DoubleZeroList(dests);
  MakeDestinationFolder(sources, dests);

  SHFILEOPSTRUCTA op{};
  op.fFlags = SvSHFileOpFlags(options_);
  op.lpszProgressTitle = title_.c_str();
  op.pFrom = from.c_str();
  op.pTo = to.c_str();
  op.wFunc = SvSHFileOpCode(operation_);
  op.hwnd = OwnerWindow();

  int rc = SHFileOperationA(&op);
  bool ok = rc == 0 && !op.fAnyOperationsAborted;
  if (op.hNameMappings) {
    // The handle is released even when a handler of OnFileMapping raises.
    struct TFree {
      void* handle;
      ~TFree() { SHFreeNameMappings(handle); }
    } release{op.hNameMappings};
    ReportMappings(op.hNameMappings);
  }
  return ok;
}

// With fofNoConfirmMkDir the shell is to make a missing destination folder without asking.
// Not every shell does: some refuse a single file copied or moved to a folder that does not
// exist yet (answering "cancelled" and copying nothing), or a file moved to a new name in
// such a folder. Making the folder first gives the promised outcome on every shell.
void TSvSHFileOperation::MakeDestinationFolder(const std::vector<std::string>& sources,
                                               const std::vector<std::string>& dests) const {
  if (!options_.Contains(fofNoConfirmMkDir)) return;
  if (operation_ != foCopy && operation_ != foMove) return;
  if (options_.Contains(fofMultiDestFiles) || dests.size() != 1 || sources.empty()) return;
  const std::string& dest = dests[0];
  if (DirectoryExists(dest)) return;

  // One destination names a folder when it ends with "\" or takes several files (several
  // sources, or a pattern); otherwise it is the new name of the one source, which goes into
  // the folder above it.
  bool namesFolder = IncludeTrailingBackslash(dest) == dest || sources.size() > 1;
  for (const std::string& s : sources) namesFolder = namesFolder || HasWildcard(s);
  std::string folder = namesFolder ? dest : ExtractFilePath(dest);

  // Nothing to copy leaves no empty folder behind; the shell reports the missing source.
  bool anySource = false;
  for (const std::string& s : sources) anySource = anySource || Matches(s);
  if (anySource && !folder.empty() && !DirectoryExists(folder)) ForceDirectories(folder);
}

void TSvSHFileOperation::ReportMappings(void* mappings) {
  const auto* handle = static_cast<const TShNameMappings*>(mappings);
  if (!handle->Mappings) return;
  // The NT family hands out wide text even to SHFileOperationA.
  bool wide = GetVersion() < 0x80000000u;
  for (UINT i = 0; i < handle->Count; ++i) {
    std::string oldName, newName;
    if (wide) {
      const auto& m = static_cast<const SHNAMEMAPPINGW*>(handle->Mappings)[i];
      oldName = WideToAnsi(m.pszOldPath, m.cchOldPath);
      newName = WideToAnsi(m.pszNewPath, m.cchNewPath);
    } else {
      const auto& m = static_cast<const SHNAMEMAPPINGA*>(handle->Mappings)[i];
      oldName = AnsiText(m.pszOldPath, m.cchOldPath);
      newName = AnsiText(m.pszNewPath, m.cchNewPath);
    }
    if (!oldName.empty() && !newName.empty()) DoFileMapping(oldName, newName);
  }
}

// The owner's own window when the owner is a windowed control (a form), else the foreground
// window.
HWND TSvSHFileOperation::OwnerWindow() const {
  if (auto* control = dynamic_cast<TWinControl*>(Owner()); control && control->HandleAllocated())
    return control->Handle();
  return GetForegroundWindow();
}

void TSvSHFileOperation::DoFileMapping(const std::string& oldFileName,
                                       const std::string& newFileName) {
  if (OnFileMapping) OnFileMapping(this, oldFileName, newFileName);
}

void SetQuietFileOperation(TSvSHFileOperation& fileOp) {
  fileOp.SetOptions({fofFilesOnly, fofNoConfirmation, fofNoConfirmMkDir, fofSimpleProgress});
}

void RegisterSvSHFileOperation() {
  auto lines = [](TStrings* list) {
    std::vector<std::string> v;
    for (int i = 0; i < list->Count(); ++i) v.push_back(list->Strings(i));
    return v;
  };
  auto setLines = [](TStrings* list, const std::vector<std::string>& v) {
    list->BeginUpdate();
    list->Clear();
    for (const std::string& s : v) list->Add(s);
    list->EndUpdate();
  };
  RegisterClassInfo<TSvSHFileOperation, TComponent>("TSvSHFileOperation")
      .Strings(
          "SourceFiles", [=](TSvSHFileOperation* c) { return lines(c->SourceFiles()); },
          [=](TSvSHFileOperation* c, const std::vector<std::string>& v) {
            setLines(c->SourceFiles(), v);
          })
      .Strings(
          "DestFiles", [=](TSvSHFileOperation* c) { return lines(c->DestFiles()); },
          [=](TSvSHFileOperation* c, const std::vector<std::string>& v) {
            setLines(c->DestFiles(), v);
          })
      .Enum("Operation", SvSHFileOpTypeInfo, &TSvSHFileOperation::Operation,
            &TSvSHFileOperation::SetOperation, foCopy)
      .Set("Options", SvSHFileOptionInfo, &TSvSHFileOperation::Options,
           &TSvSHFileOperation::SetOptions, TSvSHFileOptions{fofAllowUndo, fofFilesOnly})
      .String("Title", &TSvSHFileOperation::Title, &TSvSHFileOperation::SetTitle)
      .Event("OnFileMapping", &TSvSHFileOperation::OnFileMapping);
}
