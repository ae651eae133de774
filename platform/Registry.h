#pragma once

#include <cstdint>
#include <string>

/// A key handle as the registry hands it out; 0 is no key.
using RegistryKey = std::uintptr_t;

/// The predefined root key HKEY_LOCAL_MACHINE, as its 32-bit handle.
constexpr std::uint32_t kHkeyLocalMachine = 0x80000002;
/// Access mask of a key opened only to read its values (KEY_READ).
constexpr std::uint32_t kKeyRead = 0x20019;

/// Value types.
constexpr std::uint32_t kRegSz = 1;     ///< text, in the system's ANSI code page
constexpr std::uint32_t kRegDword = 4;  ///< 32-bit number, little-endian

/// Results of the registry calls: the system's error codes that callers meet.
constexpr std::int32_t kRegistrySuccess = 0;
constexpr std::int32_t kRegistryNotFound = 2;  ///< ERROR_FILE_NOT_FOUND
constexpr std::int32_t kRegistryAccessDenied = 5;
constexpr std::int32_t kRegistryInvalidHandle = 6;
constexpr std::int32_t kRegistryMoreData = 234;  ///< the buffer is too small for the value

/// The system registry, read through the calls RegOpenKeyExA, RegQueryValueExA and RegCloseKey
/// with their arguments and results. Texts passed in are UTF-8; text values come back as the
/// system stores them, and toProgramText turns them into the program's text.
/// A non-zero result is an answer, not a failure; a call that cannot be made at all (its library
/// or function missing) raises a RuntimeError.
/// Abstract so tests can script the keys and record the calls; the real one is SystemRegistry.
class Registry {
public:
  virtual ~Registry() = default;

  /// Opens the key at `keyPath` below the predefined `root` with the `access` mask.
  /// Returns 0 when the key is open and its handle is in `key` (which is untouched otherwise).
  virtual std::int32_t openKey(std::uint32_t root, const std::string& keyPath,
                               std::uint32_t options, std::uint32_t access, RegistryKey& key) = 0;

  /// Reads the value `valueName` of an open key into the `size` bytes at `data`.
  /// Returns 0 when its type, data and the data's size (in `size`) are written; when the value
  /// needs more than `size` bytes, kRegistryMoreData with the size needed.
  virtual std::int32_t queryValue(RegistryKey key, const std::string& valueName,
                                  std::uint32_t& type, unsigned char* data,
                                  std::uint32_t& size) = 0;

  /// Closes a key; returns the system's result (non-zero for a key that is not open).
  virtual std::int32_t closeKey(RegistryKey key) = 0;

  /// A text value's bytes, cut before their closing zero, as the program's UTF-8 text.
  virtual std::string toProgramText(const std::string& registryText) const = 0;
};

/// The operating system's registry. On Windows the calls of "advapi32", each bound by name at
/// its first use, with texts in the ANSI code page; elsewhere a registry that holds no keys.
class SystemRegistry final : public Registry {
public:
  std::int32_t openKey(std::uint32_t root, const std::string& keyPath, std::uint32_t options,
                       std::uint32_t access, RegistryKey& key) override;
  std::int32_t queryValue(RegistryKey key, const std::string& valueName, std::uint32_t& type,
                          unsigned char* data, std::uint32_t& size) override;
  std::int32_t closeKey(RegistryKey key) override;
  std::string toProgramText(const std::string& registryText) const override;
};
