// Opens the program's open dialog (Execute) on a folder of many files with one type's mask,
// from the call to the list's fill-complete event for that folder, and closes it from a timer;
// in the same rounds walks the same folder with the shell's interfaces alone (EnumObjects,
// then GetDisplayNameOf and GetAttributesOf per item), the least any listing of it costs.
// Prints each round, both medians and their ratio.
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ShellWalk.h"
#include "platform/Forms.h"
#include "platform/SysUtils.h"
#include "platform/Timer.h"
#include "shell/FcShellDialogs.h"
#include "shell/FcShellUtils.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: open-dialog-driver <folder> <matching files> [rounds]\n");
    return 2;
  }
  std::string big = argv[1];
  int matching = std::atoi(argv[2]);
  int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 9;
  Application->Initialize();
  RegisterFcShellDialogs();

  TFcOpenDialog* dialog = new TFcOpenDialog(nullptr);
  dialog->SetName("FcOpenDialog");
  dialog->SetFilter("Quenmar demo files (*.tmd)|*.TMD");
  dialog->SetInitialDir(big);

  // The dialog closes from a timer once its list has filled the folder.
  TTimer closer(nullptr);
  closer.SetEnabled(false);
  closer.SetInterval(1);
  closer.OnTimer = [&](TObject*) {
    closer.SetEnabled(false);
    if (dialog->Form()) dialog->Form()->SetModalResult(mrCancel);
  };
  double completed = 0;
  int listed = 0;
  dialog->OnInitialized = [&](TObject*) {
    TFcShellList* list = dialog->Form()->ShellList;
    list->OnFillComplete = [&, list](TObject*) {
      if (completed || !SameText(ExcludeTrailingBackslash(list->Folder()->PathName()), big)) return;
      completed = Milliseconds();
      listed = list->Items()->Count();
      closer.SetEnabled(true);
    };
  };

  std::vector<double> opens, bare;
  for (int r = 0; r < rounds; ++r) {
    completed = 0;
    listed = 0;
    double start = Milliseconds();
    dialog->Execute();
    if (!completed) {
      std::printf("round %d: the dialog closed before its list filled the folder\n", r + 1);
      return 1;
    }
    opens.push_back(completed - start);

    start = Milliseconds();
    int walked = BareWalk(big);
    bare.push_back(Milliseconds() - start);
    std::printf("round %d: open dialog %d files listed, %.1f ms to the fill-complete event; "
                "raw enumeration %d items, %.1f ms\n",
                r + 1, listed, opens.back(), walked, bare.back());
    if (listed != matching) {
      std::printf("the list shows %d files, %d match the filter\n", listed, matching);
      return 1;
    }
  }
  delete dialog;
  double o = Median(opens), b = Median(bare);
  std::printf("open dialog median: %.1f ms to the fill-complete event\n", o);
  std::printf("raw enumeration median: %.1f ms\n", b);
  std::printf("open dialog/raw enumeration ratio: %.2f\n", o / b);
  return 0;
}
