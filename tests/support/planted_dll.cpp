// A library planted beside a program under the name of a system library, as an attacker would:
// when loaded, it leaves "<its own path>.loaded" beside itself, and does nothing else. It exports
// nothing, so a program that took it for the real one would fail at its first call; the planting
// test only asks whether it was loaded. Built without the C runtime, to depend on nothing that
// could itself be planted.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t path[MAX_PATH + 8];
  const DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return TRUE;
  lstrcatW(path, L".loaded");
  const HANDLE mark = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (mark != INVALID_HANDLE_VALUE) CloseHandle(mark);
  return TRUE;
}
