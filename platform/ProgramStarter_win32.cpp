#include <windows.h>

#include <filesystem>

#include "AnsiText.h"
#include "ProgramStarter.h"
#include "RuntimeError.h"

namespace {

// The help item names the Windows help viewer, which today's Windows no longer has (the
// "winhlp32.exe" it keeps only says the format is unsupported): our viewer, shipped beside the
// program, opens the same help file names.
constexpr char kWindowsHelpViewer[] = "winhlp32.exe";
constexpr wchar_t kOurHelpViewer[] = L"" TH_HELP_VIEWER ".exe";

// Not waiting: the handles are dropped at once.
void dropHandles(const PROCESS_INFORMATION& process) {
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

[[noreturn]] void raiseStartError(const std::string& shownName, DWORD error) {
  throw RuntimeError(ErrorKind::ProgramStart,
                     "'" + shownName + "' (" + std::to_string(error) + ")");
}

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
    raiseStartError(shownName, GetLastError());
  dropHandles(process);
}

std::wstring wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int length =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), length);
  return text;
}

// The command line after its program's name, exactly as written (blanks, quotes and all).
std::string argumentsOf(const std::string& commandLine) {
  size_t at = commandLine.find_first_not_of(" \t");
  bool inQuotes = false;
  for (; at < commandLine.size(); ++at) {
    if (commandLine[at] == '"') inQuotes = !inQuotes;
    if (!inQuotes && (commandLine[at] == ' ' || commandLine[at] == '\t')) break;
  }
  return at < commandLine.size() ? commandLine.substr(at) : std::string();
}

// The folder the running program was loaded from: where the installer and the zip put our
// viewer.
std::wstring ownFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return std::filesystem::path(path).parent_path().native();
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

void createWide(const std::wstring& application, std::wstring commandLine, int windowStyle,
                const std::string& shownName) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(windowStyle);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process))
    raiseStartError(shownName, GetLastError());
  dropHandles(process);
}

// Whether a program's name says where it is (a path), rather than leaving it to a search.
bool namesAFolder(const std::wstring& name) {
  return name.find_first_of(L"\\/:") != std::wstring::npos;
}

// Our viewer in the first of the folders that holds it as a file, or an empty text.
std::wstring findViewer(const std::vector<std::wstring>& folders) {
  for (const std::wstring& folder : folders) {
    const std::wstring path = (std::filesystem::path(folder) / kOurHelpViewer).native();
    if (isPlainFile(path)) return path;
  }
  return {};
}

}  // namespace

void SystemProgramStarter::startCommandLine(const std::string& commandLine, int windowStyle) {
  const std::vector<std::string> arguments = SplitCommandLine(commandLine);
  if (!arguments.empty() &&
      CompareStringOrdinal(wide(arguments.front()).c_str(), -1, wide(kWindowsHelpViewer).c_str(),
                           -1, TRUE) == CSTR_EQUAL) {
    std::vector<std::wstring> folders;
    if (m_defaultFolders) folders.push_back(ownFolder());
    for (const std::string& folder : m_standInFolders) folders.push_back(wide(folder));
    if (const std::wstring viewer = findViewer(folders); !viewer.empty()) {
      // Wide throughout: the program's folder may hold characters the ANSI code page lacks.
      const std::u8string shown = std::filesystem::path(viewer).u8string();
      createWide(viewer, L"\"" + viewer + L"\"" + wide(argumentsOf(commandLine)), windowStyle,
                 std::string(shown.begin(), shown.end()));
      return;
    }
  }
  const std::wstring name = arguments.empty() ? std::wstring() : wide(arguments.front());
  if (!name.empty() && !namesAFolder(name)) {
    const std::wstring program = systemProgram(name);
    if (program.empty()) raiseStartError(commandLine, ERROR_FILE_NOT_FOUND);
    // The command line goes to the program as written; only where it comes from is fixed.
    createWide(program, wide(commandLine), windowStyle, commandLine);
    return;
  }
  create(nullptr, ToAnsi(commandLine), windowStyle, commandLine);
}

void SystemProgramStarter::startProgram(const std::string& path, int windowStyle) {
  // The path names the program exactly; quoted in the command line, its blanks split nothing.
  const std::string ansiPath = ToAnsi(path);
  create(ansiPath.c_str(), "\"" + ansiPath + "\"", windowStyle, path);
}
