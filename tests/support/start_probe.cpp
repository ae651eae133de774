// A console program that the Windows program-start tests start. It records how it was started in
// "<its own path>.started": its own path, its command line and the show state it was given. Given
// "--gate FILE" as its arguments, it then waits for that file, so a test can tell whether its
// starter waited, and finally writes "<its own path>.done" with "gate" or, after a bounded wait,
// "timeout". It never waits for ever, so a starter that waits makes a test fail, not hang.
#include <windows.h>

#include <string>

namespace {

std::string toUtf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), length,
                      nullptr, nullptr);
  return result;
}

// Written under a temporary name and then renamed, so a reader never sees half a record.
bool writeWhole(const std::wstring& path, const std::string& content) {
  const std::wstring temporary = path + L".part";
  const HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok =
      WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == content.size() &&
         MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

int main() {
  std::wstring self(MAX_PATH, L'\0');
  self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  const bool showGiven = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0;
  const std::string record = "module=" + toUtf8(self) +
                             "\ncommandLine=" + toUtf8(GetCommandLineW()) +
                             "\nuseShowWindow=" + (showGiven ? "1" : "0") +
                             "\nshowWindow=" + std::to_string(startup.wShowWindow) + "\n";
  if (!writeWhole(self + L".started", record)) return 1;

  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::string outcome = "started";
  if (argv != nullptr && argc == 3 && std::wstring(argv[1]) == L"--gate") {
    outcome = "timeout";
    for (int i = 0; i < 2000; ++i) {
      if (GetFileAttributesW(argv[2]) != INVALID_FILE_ATTRIBUTES) {
        outcome = "gate";
        break;
      }
      Sleep(10);
    }
  }
  LocalFree(argv);
  return writeWhole(self + L".done", outcome) ? 0 : 1;
}
