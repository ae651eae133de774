#include "SysInfoLauncher.h"

#include <algorithm>
#include <array>

namespace {

// The two places where installers note the tool, in the order they are tried: its full path,
// then the folder that holds it.
constexpr char kToolPathKey[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr char kToolPathValue[] = "PATH";
constexpr char kToolFolderKey[] = "SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr char kToolFolderValue[] = "MSINFO";
constexpr char kToolFile[] = "\\MSINFO32.EXE";

constexpr char kUnavailable[] = "現時点ではｼｽﾃﾑ情報を使用できません";

// Large enough for any path a tool could live at; a longer value counts as no value.
constexpr std::uint32_t kValueBufferSize = 1024;

}  // namespace

SysInfoLauncher::SysInfoLauncher(Registry& registry, FileFinder& files, ProgramStarter& starter,
                                 MessageBoxService& messages)
    : m_registry(registry), m_files(files), m_starter(starter), m_messages(messages) {}

void SysInfoLauncher::StartSysInfo() noexcept {
  // Whatever goes wrong on the way, the user learns only that the tool is not available.
  try {
    std::string toolPath;
    if (GetKeyValue(kHkeyLocalMachine, kToolPathKey, kToolPathValue, toolPath)) {
      // Started as it stands; a path that names no program fails to start.
      startTool(toolPath);
      return;
    }
    if (GetKeyValue(kHkeyLocalMachine, kToolFolderKey, kToolFolderValue, toolPath)) {
      toolPath += kToolFile;
      if (m_files.plainFileExists(toolPath)) {
        startTool(toolPath);
        return;
      }
    }
  } catch (...) {
  }
  reportUnavailable();
}

bool SysInfoLauncher::GetKeyValue(std::uint32_t root, const std::string& keyPath,
                                  const std::string& valueName, std::string& value) {
  RegistryKey key = 0;
  bool found = false;
  try {
    found = readValue(key, root, keyPath, valueName, value);
  } catch (...) {
    // The key is closed also when a call fails; the first failure is the one passed on.
    try {
      m_registry.closeKey(key);
    } catch (...) {
    }
    throw;
  }
  // Closed even when it did not open: the handle is still 0 then, and the answer is ignored.
  m_registry.closeKey(key);
  return found;
}

bool SysInfoLauncher::readValue(RegistryKey& key, std::uint32_t root, const std::string& keyPath,
                                const std::string& valueName, std::string& value) {
  value.clear();
  // Read access is all it takes; asking for more locks out users who may only read the key.
  if (m_registry.openKey(root, keyPath, 0, kKeyRead, key) != kRegistrySuccess) return false;

  std::array<unsigned char, kValueBufferSize> buffer{};
  std::uint32_t type = 0;
  std::uint32_t size = kValueBufferSize;
  if (m_registry.queryValue(key, valueName, type, buffer.data(), size) != kRegistrySuccess)
    return false;

  switch (type) {
    case kRegSz: {
      // A value that fills the buffer with no closing zero may be cut short: no value at all.
      const auto end = std::find(buffer.begin(), buffer.end(), 0);
      if (end == buffer.end()) return false;
      value = m_registry.toProgramText(std::string(buffer.begin(), end));
      return true;
    }
    case kRegDword: {
      // The number's own four bytes, lowest first; any of them may be zero.
      const std::uint32_t number = std::uint32_t{buffer[0]} | std::uint32_t{buffer[1]} << 8 |
                                   std::uint32_t{buffer[2]} << 16 | std::uint32_t{buffer[3]} << 24;
      value = std::to_string(number);
      return true;
    }
    default:
      // Neither a path nor a folder: this place does not name the tool.
      return false;
  }
}

void SysInfoLauncher::startTool(const std::string& path) {
  // Exactly the program the path names: its blanks are part of it, never argument separators.
  m_starter.startProgram(path, kWindowNormalFocus);
}

void SysInfoLauncher::reportUnavailable() noexcept {
  try {
    m_messages.showMessage(kUnavailable, kMessageOkOnly);
  } catch (...) {
    // The message is the only report there is; a box that cannot be shown leaves nothing to do.
  }
}
