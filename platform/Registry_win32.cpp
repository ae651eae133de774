#include <windows.h>

#include "AnsiText.h"
#include "Registry.h"
#include "RuntimeError.h"

namespace {

constexpr char kLibrary[] = "advapi32";

using OpenKeyFunction = LONG(WINAPI*)(HKEY, LPCSTR, DWORD, REGSAM, PHKEY);
using QueryValueFunction = LONG(WINAPI*)(HKEY, LPCSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
using CloseKeyFunction = LONG(WINAPI*)(HKEY);

// Bound at their first call; a binding that fails is tried again at the next one.
HMODULE g_library = nullptr;
OpenKeyFunction g_openKey = nullptr;
QueryValueFunction g_queryValue = nullptr;
CloseKeyFunction g_closeKey = nullptr;

template <class Function>
Function bound(Function& function, const char* name) {
  if (function != nullptr) return function;
  if (g_library == nullptr) {
    g_library = LoadLibraryA(kLibrary);
    if (g_library == nullptr)
      throw RuntimeError(ErrorKind::LibraryLoad,
                         std::string(kLibrary) + " (" + std::to_string(GetLastError()) + ")");
  }
  // Through void*: a function's address has no type of its own until it is given one here.
  void* const address = reinterpret_cast<void*>(GetProcAddress(g_library, name));
  if (address == nullptr)
    throw RuntimeError(ErrorKind::LibraryEntryPoint, std::string(kLibrary) + ": " + name);
  function = reinterpret_cast<Function>(address);
  return function;
}

// The predefined roots are 32-bit values that the system widens with their sign, as its own
// headers do: HKEY_LOCAL_MACHINE is 0xFFFFFFFF80000002 in a 64-bit program.
HKEY rootHandle(std::uint32_t root) {
  return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(root)));
}

HKEY keyHandle(RegistryKey key) { return reinterpret_cast<HKEY>(key); }

}  // namespace

std::int32_t SystemRegistry::openKey(std::uint32_t root, const std::string& keyPath,
                                     std::uint32_t options, std::uint32_t access,
                                     RegistryKey& key) {
  const OpenKeyFunction openKeyCall = bound(g_openKey, "RegOpenKeyExA");
  const std::string ansiPath = ToAnsi(keyPath);
  HKEY opened = nullptr;
  const LONG result = openKeyCall(rootHandle(root), ansiPath.c_str(), options, access, &opened);
  if (result == ERROR_SUCCESS) key = reinterpret_cast<RegistryKey>(opened);
  return result;
}

std::int32_t SystemRegistry::queryValue(RegistryKey key, const std::string& valueName,
                                        std::uint32_t& type, unsigned char* data,
                                        std::uint32_t& size) {
  const QueryValueFunction queryValueCall = bound(g_queryValue, "RegQueryValueExA");
  const std::string ansiName = ToAnsi(valueName);
  DWORD valueType = 0;
  DWORD dataSize = size;
  const LONG result =
      queryValueCall(keyHandle(key), ansiName.c_str(), nullptr, &valueType, data, &dataSize);
  type = valueType;
  size = dataSize;
  return result;
}

std::int32_t SystemRegistry::closeKey(RegistryKey key) {
  return bound(g_closeKey, "RegCloseKey")(keyHandle(key));
}

std::string SystemRegistry::toProgramText(const std::string& registryText) const {
  return FromAnsi(registryText);
}
