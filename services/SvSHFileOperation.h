// Copies, moves, renames and deletes lists of files through the shell's file operation, so
// that the shell makes missing folders, shows its progress and settles name collisions.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Classes.h"
#include "platform/Sets.h"
#include "platform/StringList.h"
#include "platform/TypInfo.h"

enum TSvSHFileOpType { foCopy, foDelete, foMove, foRename };

enum TSvSHFileOption {
  fofAllowUndo,
  fofConfirmMouse,
  fofFilesOnly,
  fofMultiDestFiles,
  fofNoConfirmation,
  fofNoConfirmMkDir,
  fofRenameOnCollision,
  fofSilent,
  fofSimpleProgress,
  fofWantMappingHandle,
  fofNoErrorUI,
  fofNoCopySecurityAttributes,
  fofNoRecursion,
  fofNoConnectedElements,
  fofNoRecurseParse,
  fofWantNukeWarning,
};
using TSvSHFileOptions = TSet<TSvSHFileOption>;

extern const TEnumInfo SvSHFileOpTypeInfo;
extern const TEnumInfo SvSHFileOptionInfo;

// The shell's function code of an operation (FO_COPY...).
UINT SvSHFileOpCode(TSvSHFileOpType operation);
// The shell's flags (FOF_...) of a set of options.
FILEOP_FLAGS SvSHFileOpFlags(TSvSHFileOptions options);

// One call per file the shell gave a new name because its name was taken.
using TSvShFileMappingEvent = std::function<void(
    TObject* sender, const std::string& oldFileName, const std::string& newFileName)>;

class TSvSHFileOperation : public TComponent {
 public:
  explicit TSvSHFileOperation(TComponent* owner);

  // One file name or wildcard pattern per line; the setter copies the lines.
  TStrings* SourceFiles() const { return sourceFiles_.get(); }
  void SetSourceFiles(TStrings* value);
  // One destination per line: a folder, or with fofMultiDestFiles one name per source.
  TStrings* DestFiles() const { return destFiles_.get(); }
  void SetDestFiles(TStrings* value);
  TSvSHFileOpType Operation() const { return operation_; }
  void SetOperation(TSvSHFileOpType value) { operation_ = value; }
  TSvSHFileOptions Options() const { return options_; }
  void SetOptions(TSvSHFileOptions value) { options_ = value; }
  // Title of the shell's simple progress window.
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& value) { title_ = value; }

  // Runs the operation on the full paths of both lists, which it leaves as they are; lines
  // of blanks name nothing and are left out. True when the shell did all of it; false when
  // it failed or the user cancelled. Raises ESvException when SourceFiles names no file.
  virtual bool Execute();

  TSvShFileMappingEvent OnFileMapping;

 protected:
  // The window the shell's progress and error windows belong to: the owner's when the
  // owner is a windowed control with a window, else the foreground window.
  virtual HWND OwnerWindow() const;
  // Fires OnFileMapping for one renamed file.
  virtual void DoFileMapping(const std::string& oldFileName, const std::string& newFileName);

 private:
  void MakeDestinationFolder(const std::vector<std::string>& sources,
                             const std::vector<std::string>& dests) const;
  void ReportMappings(void* mappings);

  std::unique_ptr<TStringList> sourceFiles_;
  std::unique_ptr<TStringList> destFiles_;
  TSvSHFileOpType operation_ = foCopy;
  TSvSHFileOptions options_{fofAllowUndo, fofFilesOnly};
  std::string title_;
};

// The options of copies and moves that ask nothing, as the program's layout gives them to its
// component: files only, no confirmation, folders made without asking, a simple progress.
void SetQuietFileOperation(TSvSHFileOperation& fileOp);

// Publishes the component's properties for stored layouts; called once at start.
void RegisterSvSHFileOperation();
