// The first code of our Windows programs, run in place of the C runtime's own entry, which it
// then calls. Windows looks for a library that is not one of its known DLLs in the program's
// folder first, and then in the current folder: a file planted in a download folder beside the
// program would run inside it. Limiting the search to the system folder before the runtime
// starts leaves nothing of ours or of the toolkit a chance to load one from elsewhere; the
// libraries concerned are delay-loaded (the build makes their import libraries), so the first
// of them loads only after this.
#include <windows.h>

extern "C" int WinMainCRTStartup();

extern "C" int thSafeStartup() {
  // Never fails on the systems the program supports; should it, the program does not run with
  // the unsafe search.
  if (!SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) ExitProcess(GetLastError());
  return WinMainCRTStartup();
}
