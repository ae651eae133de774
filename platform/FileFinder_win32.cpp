#include <windows.h>

#include "AnsiText.h"
#include "FileFinder.h"

bool SystemFileFinder::plainFileExists(const std::string& path) {
  const std::string ansiPath = ToAnsi(path);
  // A listing would take "*" and "?" as wildcards and find other files; no file's name holds
  // them. Checked after the conversion, which turns characters the code page lacks into "?".
  if (ansiPath.empty() || ansiPath.find_first_of("*?") != std::string::npos) return false;
  WIN32_FIND_DATAA found{};
  const HANDLE search = FindFirstFileA(ansiPath.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  constexpr DWORD kNotPlain =
      FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  return (found.dwFileAttributes & kNotPlain) == 0;
}
