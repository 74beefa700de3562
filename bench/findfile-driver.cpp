// Benchmark driver: one synchronous file search, every match written as a full path on its
// own line, as "dir /s /b" writes them.
//   findfile-driver <folder> <masks>
#include <cstdio>
#include <string>

#include "services/FindFile.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: findfile-driver <folder> <masks>\n");
    return 2;
  }
  static char buffer[1 << 16];
  std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
  long matches = 0;
  TFindFile find(nullptr);
  find.Criteria()->Files()->SetLocation(argv[1]);
  find.Criteria()->Files()->SetFileName(argv[2]);
  find.OnFileMatch = [&](TObject*, const std::string& folder, const TSearchRec& rec) {
    std::fwrite(folder.data(), 1, folder.size(), stdout);
    std::fwrite(rec.Name.data(), 1, rec.Name.size(), stdout);
    std::fputs("\r\n", stdout);
    ++matches;
  };
  find.Execute();
  std::fflush(stdout);
  std::fprintf(stderr, "%ld files\n", matches);
  return 0;
}
