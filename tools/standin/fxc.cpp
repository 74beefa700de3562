// fxc.exe: the shader compiler that the game's shader-model paths need beside the game.
// It only answers as a compiler would; the game looks for it and does not run it.

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  bool quiet = false;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "/nologo") == 0) quiet = true;
  if (!quiet) std::puts("Quenmar shader compiler for the Shader model 2.0b and 3.0 paths");
  if (argc < 2) {
    std::puts("Usage: fxc [/nologo] <file>");
    return 1;
  }
  return 0;
}
