#include <windows.h>

#include <filesystem>

#include "AnsiText.h"
#include "ProgramStarter.h"
#include "RuntimeError.h"

namespace {

// Not waiting: the handles are dropped at once.
void dropHandles(const PROCESS_INFORMATION& process) {
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

[[noreturn]] void raiseStartError(const std::string& shownName, DWORD error) {
  throw RuntimeError(ErrorKind::ProgramStart,
                     "'" + shownName + "' (" + std::to_string(error) + ")");
}

bool isPlainFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::wstring systemFolder(UINT(WINAPI* get)(LPWSTR, UINT)) {
  std::wstring folder(MAX_PATH, L'\0');
  UINT length = get(folder.data(), static_cast<UINT>(folder.size()));
  if (length >= folder.size()) {
    folder.resize(length);
    length = get(folder.data(), length);
  }
  folder.resize(length < folder.size() ? length : 0);
  return folder;
}

// A program named without a folder, in the system's own folders: the system folder, then the
// Windows folder (where Windows keeps "winhlp32.exe"). The system's program search would look in
// the running program's folder and in the current folder first, where whoever can write there
// could place a program of that name. An empty text when neither folder holds it.
std::wstring systemProgram(const std::wstring& name) {
  // As the system's search, which adds ".exe" to a name without an extension.
  const std::wstring file = name.find(L'.') == std::wstring::npos ? name + L".exe" : name;
  for (const std::wstring& folder :
       {systemFolder(GetSystemDirectoryW), systemFolder(GetSystemWindowsDirectoryW)}) {
    if (folder.empty()) continue;
    const std::wstring path = (std::filesystem::path(folder) / file).native();
    if (isPlainFile(path)) return path;
  }
  return {};
}

// application may be empty: then the system takes the program from the command line.
void create(const std::wstring& application, std::wstring commandLine, int windowStyle,
            const std::string& shownName) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(windowStyle);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(application.empty() ? nullptr : application.c_str(), commandLine.data(),
                      nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    raiseStartError(shownName, GetLastError());
  dropHandles(process);
}

// Whether a program's name says where it is (a path), rather than leaving it to a search.
bool namesAFolder(const std::wstring& name) {
  return name.find_first_of(L"\\/:") != std::wstring::npos;
}

// Where a stand-in is: a path as it is, a name as the first of the folders that holds it as a
// file; an empty text when it is not there.
std::wstring findIn(const std::vector<std::string>& folders, const std::string& name) {
  if (namesAFolder(ToWide(name))) return isPlainFile(ToWide(name)) ? ToWide(name) : L"";
  for (const std::string& folder : folders) {
    const std::wstring path = (std::filesystem::path(ToWide(folder)) / ToWide(name)).native();
    if (isPlainFile(path)) return path;
  }
  return {};
}

}  // namespace

const StandIn* SystemProgramStarter::standInFor(const std::string& program) const {
  for (const StandIn& standIn : m_standIns)
    if (CompareStringOrdinal(ToWide(program).c_str(), -1, ToWide(standIn.program).c_str(), -1,
                             TRUE) == CSTR_EQUAL)
      return &standIn;
  return nullptr;
}

void SystemProgramStarter::startCommandLine(const std::string& commandLine, int windowStyle) {
  // Wide throughout: the folders may hold characters the ANSI code page lacks.
  const std::vector<std::string> arguments = SplitCommandLine(commandLine);
  const StandIn* standIn = arguments.empty() ? nullptr : standInFor(arguments.front());
  if (standIn != nullptr) {
    if (const std::wstring ours = findIn(m_folders, standIn->ourProgram); !ours.empty()) {
      const std::wstring first =
          standIn->firstArgument.empty() ? L"" : L" " + ToWide(standIn->firstArgument);
      create(ours, L"\"" + ours + L"\"" + first + ToWide(ArgumentsAsWritten(commandLine)),
             windowStyle, FromWide(ours));
      return;
    }
  }
  const std::wstring name = arguments.empty() ? std::wstring() : ToWide(arguments.front());
  if (!name.empty() && !namesAFolder(name)) {
    const std::wstring program = systemProgram(name);
    if (program.empty()) raiseStartError(commandLine, ERROR_FILE_NOT_FOUND);
    // The command line goes to the program as written; only where it comes from is fixed.
    create(program, ToWide(commandLine), windowStyle, commandLine);
    return;
  }
  create({}, ToWide(commandLine), windowStyle, commandLine);
}

void SystemProgramStarter::startProgram(const std::string& path, int windowStyle) {
  // The path names the program exactly; quoted in the command line, its blanks split nothing.
  const std::wstring program = ToWide(path);
  create(program, L"\"" + program + L"\"", windowStyle, path);
}

std::string RunningProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return FromWide(path);
}

std::string RunningProgramFolder() {
  return FromWide(std::filesystem::path(ToWide(RunningProgramPath())).parent_path().native());
}
