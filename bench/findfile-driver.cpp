// Benchmark driver: one synchronous file search, every match written as a full path on its
// own line, as "dir /s /b" writes them.
//   findfile-driver <folder> <masks>
//   findfile-driver --bare <folder> <mask>
// The second form is the floor the component is measured against: a bare depth-first walk of
// the same tree with FindFirstFileExA (basic details, large fetches), one listing per folder,
// matching the same mask in the same way and writing the same lines.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "services/FindFile.h"

namespace {

long matches = 0;

void Write(const std::string& folder, const char* name) {
  std::fwrite(folder.data(), 1, folder.size(), stdout);
  std::fputs(name, stdout);
  std::fputs("\r\n", stdout);
  ++matches;
}

void BareWalk(const std::string& folder, const std::string& mask) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileExA((folder + "*").c_str(), FindExInfoBasic, &data,
                                 FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) return;
  std::string subfolders;  // names separated by zero characters, walked after the files
  do {
    const char* name = data.cFileName;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      subfolders += name;
      subfolders += '\0';
    } else if (ListingMaskMatches(name, mask)) {
      Write(folder, name);
    }
  } while (FindNextFileA(find, &data));
  FindClose(find);
  for (size_t at = 0; at < subfolders.size();) {
    const size_t end = subfolders.find('\0', at);
    BareWalk(folder + subfolders.substr(at, end - at) + '\\', mask);
    at = end + 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  const bool bare = argc == 4 && std::strcmp(argv[1], "--bare") == 0;
  if (argc != 3 && !bare) {
    std::fprintf(stderr, "usage: findfile-driver [--bare] <folder> <masks>\n");
    return 2;
  }
  static char buffer[1 << 16];
  std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
  if (bare) {
    std::string folder = argv[2];
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    BareWalk(folder, argv[3]);
  } else {
    TFindFile find(nullptr);
    find.Criteria()->Files()->SetLocation(argv[1]);
    find.Criteria()->Files()->SetFileName(argv[2]);
    find.OnFileMatch = [](TObject*, const std::string& folder, const TSearchRec& rec) {
      Write(folder, rec.Name.c_str());
    };
    find.Execute();
  }
  std::fflush(stdout);
  std::fprintf(stderr, "%ld files\n", matches);
  return 0;
}
