#include <windows.h>

#include "AnsiText.h"
#include "ProgramStarter.h"
#include "RuntimeError.h"

namespace {

// application may be null: then the system takes the program from the command line.
void create(const char* application, std::string commandLine, int windowStyle,
            const std::string& shownName) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(windowStyle);
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(application, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    throw RuntimeError(ErrorKind::ProgramStart,
                       "'" + shownName + "' (" + std::to_string(GetLastError()) + ")");
  // Not waiting: the handles are dropped at once.
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

}  // namespace

void SystemProgramStarter::startCommandLine(const std::string& commandLine, int windowStyle) {
  create(nullptr, ToAnsi(commandLine), windowStyle, commandLine);
}

void SystemProgramStarter::startProgram(const std::string& path, int windowStyle) {
  // The path names the program exactly; quoted in the command line, its blanks split nothing.
  const std::string ansiPath = ToAnsi(path);
  create(ansiPath.c_str(), "\"" + ansiPath + "\"", windowStyle, path);
}
