// Fills a shell list with a folder of many files, from setting its Folder to the list's fill-
// complete event, several rounds; in the same rounds walks the same folder with the shell's
// interfaces alone (EnumObjects, then GetDisplayNameOf and GetAttributesOf per item), the
// least any listing of it costs. Prints each round, both medians and their ratio.
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ShellWalk.h"
#include "platform/Forms.h"
#include "shell/FcShellList.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: shell-list-driver <folder> <empty folder> [rounds]\n");
    return 2;
  }
  std::string big = argv[1], empty = argv[2];
  int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 9;
  Application->Initialize();
  RegisterFcShellList();

  TForm* form = TForm::CreateNew<TForm>(nullptr);
  form->SetBounds(20, 20, 800, 600);
  auto* list = new TFcShellList(form);
  list->SetParent(form);
  list->SetBounds(0, 0, 780, 560);
  list->SetViewStyle(vsReport);
  form->Show();
  Application->ProcessMessages();
  double completed = 0;
  list->OnFillComplete = [&](TObject*) { completed = Milliseconds(); };

  std::vector<double> fills, whole, bare;
  for (int r = 0; r < rounds; ++r) {
    list->Folder()->SetPathName(empty);
    Application->ProcessMessages();
    double start = Milliseconds();
    list->Folder()->SetPathName(big);
    double returned = Milliseconds();
    int listed = list->Items()->Count();
    list->Update();
    Application->ProcessMessages();
    fills.push_back(completed - start);
    whole.push_back(returned - start);

    start = Milliseconds();
    int walked = BareWalk(big);
    bare.push_back(Milliseconds() - start);
    std::printf("round %d: shell list %d items, %.1f ms to the fill-complete event (%.1f ms sorted and watched); "
                "raw enumeration %d items, %.1f ms\n",
                r + 1, listed, fills.back(), whole.back(), walked, bare.back());
    if (listed != walked) {
      std::printf("the list shows %d items, the folder holds %d\n", listed, walked);
      return 1;
    }
  }
  delete form;
  double f = Median(fills), w = Median(whole), b = Median(bare);
  std::printf("shell list median: %.1f ms to the fill-complete event, %.1f ms sorted and watched\n", f, w);
  std::printf("raw enumeration median: %.1f ms\n", b);
  std::printf("shell list (sorted and watched)/raw enumeration ratio: %.2f\n", w / b);
  std::printf("shell list/raw enumeration ratio: %.2f\n", f / b);
  return 0;
}
