#pragma once

#include <cstdint>
#include <string>

#include "FileFinder.h"
#include "MessageBoxService.h"
#include "ProgramStarter.h"
#include "Registry.h"

/// The About box's system-information button: finds the system-information tool through the
/// registry and starts it, or tells the user that system information is not available now.
/// No toolkit code; the four services come from outside, so tests can pass fakes.
class SysInfoLauncher {
public:
  /// The services are owned by the caller and must outlive the launcher.
  SysInfoLauncher(Registry& registry, FileFinder& files, ProgramStarter& starter,
                  MessageBoxService& messages);

  /// Starts the tool from the first registry place that names it (its path, or its folder when
  /// the folder holds the tool), with the normal window style and without waiting. Otherwise,
  /// and on any failure on the way, shows "現時点ではｼｽﾃﾑ情報を使用できません" (OK alone, under the
  /// application title) as the only report. Never throws.
  void StartSysInfo() noexcept;

  /// Reads one registry value as text into `value`: a text value up to its first zero byte, a
  /// number in decimal. Returns false with `value` empty when the key does not open for reading,
  /// the value cannot be read, fills the whole buffer without a closing zero, or is of another
  /// type. The key is always closed. A registry service that raises an error passes it on.
  bool GetKeyValue(std::uint32_t root, const std::string& keyPath, const std::string& valueName,
                   std::string& value);

private:
  bool readValue(RegistryKey& key, std::uint32_t root, const std::string& keyPath,
                 const std::string& valueName, std::string& value);
  void startTool(const std::string& path);
  void reportUnavailable() noexcept;

  Registry& m_registry;
  FileFinder& m_files;
  ProgramStarter& m_starter;
  MessageBoxService& m_messages;
};
