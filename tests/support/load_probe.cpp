// Loads each library named on its command line as a program that takes no care would, with the
// system's default search (the program's own folder first), and prints where each came from.
// The planting test runs it to show that its planted libraries are found where they lie.
#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    const HMODULE library = LoadLibraryW(argv[i]);
    wchar_t path[MAX_PATH] = L"-";
    if (library != nullptr) GetModuleFileNameW(library, path, MAX_PATH);
    std::printf("%ls %ls\n", argv[i], path);
    if (library == nullptr) status = 1;
  }
  return status;
}
