// The system-information launcher on Windows against the real registry (under Wine in the cross
// build): the cases of GetKeyValue that every registry shares, and StartSysInfo with real files
// and program start. The tests write their own keys and values with RegSetValueExA; the tool is
// a copy of start_probe.exe that records how it was started. Only the message box is a
// recording fake.
#include <gtest/gtest.h>
#include <windows.h>
// Needs windows.h first.
#include <sddl.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "FileFinder.h"
#include "GetKeyValueCases.h"
#include "ProgramStarter.h"
#include "RecordingMessageBox.h"
#include "Registry.h"
#include "StartProbe.h"
#include "SysInfoLauncher.h"
#include "TestFolder.h"

namespace fs = std::filesystem;
using namespace probe;

namespace {

constexpr std::uint32_t kCurrentUser = 0x80000001;
constexpr char kPathKey[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr char kFolderKey[] = "SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr char kUnavailable[] = "現時点ではｼｽﾃﾑ情報を使用できません";
// READ_CONTROL with the rights to query, set, create, enumerate, notify and link: an open that
// asks for writing as well as reading.
constexpr REGSAM kReadAndWrite = 0x2003F;

HKEY rootHandle(std::uint32_t root) {
  return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(root)));
}

bool underWine() {
  return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

// A registry key for one test, created if missing. At the end it is left as it was found: the
// values the test wrote restored or removed, its security restored, a key the test created
// deleted again.
class TestKey {
public:
  TestKey(std::uint32_t root, std::string path)
      : m_root(rootHandle(root)), m_path(std::move(path)) {
    DWORD disposition = 0;
    HKEY key = nullptr;
    m_status = RegCreateKeyExA(m_root, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                               &disposition);
    if (m_status != ERROR_SUCCESS) return;
    m_created = disposition == REG_CREATED_NEW_KEY;
    RegCloseKey(key);
  }
  TestKey(const TestKey&) = delete;
  TestKey& operator=(const TestKey&) = delete;

  ~TestKey() {
    if (m_status != ERROR_SUCCESS) return;
    if (!m_security.empty()) {
      HKEY key = nullptr;
      if (RegOpenKeyExA(m_root, m_path.c_str(), 0, WRITE_DAC, &key) == ERROR_SUCCESS) {
        RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, m_security.data());
        RegCloseKey(key);
      }
    }
    if (m_created) {
      RegDeleteTreeA(m_root, m_path.c_str());
      RegDeleteKeyA(m_root, m_path.c_str());
      return;
    }
    HKEY key = nullptr;
    if (RegOpenKeyExA(m_root, m_path.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    for (const auto& [name, old] : m_oldValues) {
      if (old)
        RegSetValueExA(key, name.c_str(), 0, old->first,
                       reinterpret_cast<const BYTE*>(old->second.data()),
                       static_cast<DWORD>(old->second.size()));
      else
        RegDeleteValueA(key, name.c_str());
    }
    RegCloseKey(key);
  }

  LONG status() const { return m_status; }
  const std::string& path() const { return m_path; }

  /// Stores exactly `bytes` as the value, of any type.
  LONG setValue(const std::string& name, DWORD type, const std::string& bytes) {
    HKEY key = nullptr;
    LONG result = RegOpenKeyExA(m_root, m_path.c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key);
    if (result != ERROR_SUCCESS) return result;
    remember(key, name);
    result = RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                            static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
    return result;
  }
  /// A text as installers write it: with its closing zero byte.
  LONG setText(const std::string& name, const std::string& text) {
    return setValue(name, REG_SZ, text + std::string(1, '\0'));
  }
  LONG setNumber(const std::string& name, DWORD number) {
    return setValue(name, REG_DWORD, std::string(reinterpret_cast<const char*>(&number), 4));
  }
  /// Removes the value for the test's time, if it is there.
  void removeValue(const std::string& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(m_root, m_path.c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) !=
        ERROR_SUCCESS)
      return;
    remember(key, name);
    RegDeleteValueA(key, name.c_str());
    RegCloseKey(key);
  }

  /// Gives everyone the right to read the key and nothing else, as for a user who may only
  /// read the machine's keys.
  LONG allowOnlyReading() {
    HKEY key = nullptr;
    LONG result = RegOpenKeyExA(m_root, m_path.c_str(), 0, READ_CONTROL | WRITE_DAC, &key);
    if (result != ERROR_SUCCESS) return result;
    DWORD size = 0;
    RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, nullptr, &size);
    m_security.assign(size, 0);
    result = RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, m_security.data(), &size);
    PSECURITY_DESCRIPTOR readOnly = nullptr;
    if (result == ERROR_SUCCESS && !ConvertStringSecurityDescriptorToSecurityDescriptorA(
                                       "D:P(A;;KR;;;WD)", SDDL_REVISION_1, &readOnly, nullptr))
      result = static_cast<LONG>(GetLastError());
    if (result == ERROR_SUCCESS)
      result = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, readOnly);
    LocalFree(readOnly);
    RegCloseKey(key);
    return result;
  }

  /// What the system answers to an open of the key with `access`.
  LONG tryOpen(REGSAM access) const {
    HKEY key = nullptr;
    const LONG result = RegOpenKeyExA(m_root, m_path.c_str(), 0, access, &key);
    if (result == ERROR_SUCCESS) RegCloseKey(key);
    return result;
  }

private:
  void remember(HKEY key, const std::string& name) {
    if (m_oldValues.count(name)) return;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
      m_oldValues[name] = std::nullopt;
      return;
    }
    std::string bytes(size, '\0');
    RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()),
                     &size);
    bytes.resize(size);
    m_oldValues[name] = std::pair{type, bytes};
  }

  HKEY m_root;
  std::string m_path;
  LONG m_status = ERROR_SUCCESS;
  bool m_created = false;
  std::vector<BYTE> m_security;
  std::map<std::string, std::optional<std::pair<DWORD, std::string>>> m_oldValues;
};

// The real registry for the cases every registry shares, over a key of the test's own.
class WindowsRegistryUnderTest {
public:
  static constexpr std::uint32_t kRoot = kCurrentUser;

  WindowsRegistryUnderTest() { EXPECT_EQ(m_key.status(), ERROR_SUCCESS); }

  const std::string& keyPath() const { return m_key.path(); }
  SystemRegistry& registry() { return m_registry; }
  void put(const std::string& name, std::uint32_t type, const std::string& bytes) {
    ASSERT_EQ(m_key.setValue(name, type, bytes), ERROR_SUCCESS);
  }
  void allowOnlyReading() {
    ASSERT_EQ(m_key.allowOnlyReading(), ERROR_SUCCESS);
    // The system really refuses an open that asks for more than reading.
    EXPECT_EQ(m_key.tryOpen(kReadAndWrite), ERROR_ACCESS_DENIED);
    EXPECT_EQ(m_key.tryOpen(KEY_READ), ERROR_SUCCESS);
  }
  // The system does not tell which keys a program holds open.
  void expectAllKeysClosed() {}

private:
  // One level below an existing key, so that removing it leaves nothing behind.
  TestKey m_key{kRoot, "Software\\TH test " + std::to_string(GetCurrentProcessId()) + " " +
                           testing::UnitTest::GetInstance()->current_test_info()->name()};
  SystemRegistry m_registry;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Windows, GetKeyValueTest, WindowsRegistryUnderTest);

// --- StartSysInfo at the machine's two places -------------------------------------------------

// Writes the machine's own keys, which a real Windows guards and needs; under Wine they belong
// to the test's own prefix.
class WindowsSysInfoTest : public testing::Test {
protected:
  void SetUp() override {
    if (!underWine()) GTEST_SKIP() << "changes the machine's keys: runs under Wine only";
    ASSERT_EQ(m_pathPlace.status(), ERROR_SUCCESS);
    ASSERT_EQ(m_folderPlace.status(), ERROR_SUCCESS);
    // Both places start empty, whatever the machine holds.
    m_pathPlace.removeValue("PATH");
    m_folderPlace.removeValue("MSINFO");
  }

  void expectStarted(const fs::path& tool) {
    ASSERT_TRUE(appears(doneMark(tool))) << utf8(tool) << " was not started";
    const auto record = readRecord(startedRecord(tool));
    EXPECT_TRUE(ranAs(record, tool));
    EXPECT_EQ(record.at("useShowWindow"), "1");
    EXPECT_EQ(record.at("showWindow"), "1");
    EXPECT_TRUE(m_messages.messages.empty());
  }

  void expectOnlyTheMessage() {
    ASSERT_EQ(m_messages.messages.size(), 1u);
    EXPECT_EQ(m_messages.messages[0].text, kUnavailable);
    EXPECT_EQ(m_messages.messages[0].style, 0);
  }

  // For copies that must not run. Checked after the copy that was meant to run has written its
  // record, by which time a wrongly started one would have written its own.
  void expectNotStarted(const fs::path& copy) {
    EXPECT_FALSE(fs::exists(startedRecord(copy))) << utf8(copy) << " was started";
  }

  TestKey m_pathPlace{kHkeyLocalMachine, kPathKey};
  TestKey m_folderPlace{kHkeyLocalMachine, kFolderKey};
  TestFolder m_folder{"th-sysinfo"};
  const fs::path m_dir = m_folder.path();
  SystemRegistry m_registry;
  SystemFileFinder m_files;
  SystemProgramStarter m_starter;
  RecordingMessageBox m_messages;
  SysInfoLauncher m_launcher{m_registry, m_files, m_starter, m_messages};
};

TEST_F(WindowsSysInfoTest, NeitherPlaceFilledGivesTheMessage) {
  m_launcher.StartSysInfo();
  expectOnlyTheMessage();
}

TEST_F(WindowsSysInfoTest, ThePathOfPlaceOneStartsExactlyThatProgram) {
  // The decoy is where the path, split at its first blank, would lead; place 2 also names a
  // tool, which is not consulted.
  const fs::path tool = copyTo(m_dir / "Program Files" / "MSInfo" / "msinfo32.exe");
  const fs::path decoy = copyTo(m_dir / "Program.exe");
  const fs::path otherTool = copyTo(m_dir / "other" / "MSINFO32.EXE");
  ASSERT_EQ(m_pathPlace.setText("PATH", utf8(tool)), ERROR_SUCCESS);
  ASSERT_EQ(m_folderPlace.setText("MSINFO", utf8(otherTool.parent_path())), ERROR_SUCCESS);

  m_launcher.StartSysInfo();

  expectStarted(tool);
  expectNotStarted(decoy);
  expectNotStarted(otherTool);
}

// A number counts as found, as its decimal text, which names no program either.
TEST_F(WindowsSysInfoTest, APlaceOneValueThatNamesNoProgramGivesTheMessage) {
  const fs::path otherTool = copyTo(m_dir / "other" / "MSINFO32.EXE");
  ASSERT_EQ(m_folderPlace.setText("MSINFO", utf8(otherTool.parent_path())), ERROR_SUCCESS);

  ASSERT_EQ(m_pathPlace.setText("PATH", utf8(m_dir / "gone" / "msinfo32.exe")), ERROR_SUCCESS);
  m_launcher.StartSysInfo();
  expectOnlyTheMessage();

  m_messages.messages.clear();
  ASSERT_EQ(m_pathPlace.setNumber("PATH", 1), ERROR_SUCCESS);
  m_launcher.StartSysInfo();
  expectOnlyTheMessage();

  // Place 1 answered both times, so place 2 was never consulted.
  expectNotStarted(otherTool);
}

TEST_F(WindowsSysInfoTest, AFolderOfPlaceTwoThatHoldsTheToolStartsIt) {
  const fs::path tool = copyTo(m_dir / "Shared Tools" / "MSINFO32.EXE");
  ASSERT_EQ(m_folderPlace.setText("MSINFO", utf8(tool.parent_path())), ERROR_SUCCESS);

  m_launcher.StartSysInfo();

  expectStarted(tool);
  EXPECT_EQ(readRecord(startedRecord(tool)).at("commandLine"), quoted(tool));
}

TEST_F(WindowsSysInfoTest, AFolderEndingInASeparatorIsUsedAsItStands) {
  // The tool's path gets two separators in a row, and the system still finds the file.
  const fs::path tool = copyTo(m_dir / "tools" / "MSINFO32.EXE");
  const std::string folder = utf8(tool.parent_path()) + "\\";
  ASSERT_EQ(m_folderPlace.setText("MSINFO", folder), ERROR_SUCCESS);

  m_launcher.StartSysInfo();

  expectStarted(tool);
  EXPECT_EQ(readRecord(startedRecord(tool)).at("commandLine"), "\"" + folder + "\\MSINFO32.EXE\"");
}

TEST_F(WindowsSysInfoTest, OnlyAPlainFileInTheFolderCounts) {
  const auto tryFolder = [&](const fs::path& folder) {
    m_messages.messages.clear();
    ASSERT_EQ(m_folderPlace.setText("MSINFO", utf8(folder)), ERROR_SUCCESS);
    m_launcher.StartSysInfo();
    expectOnlyTheMessage();
  };
  const fs::path hidden = copyTo(m_dir / "hidden" / "MSINFO32.EXE");
  ASSERT_TRUE(SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN));
  tryFolder(hidden.parent_path());
  const fs::path system = copyTo(m_dir / "system" / "MSINFO32.EXE");
  ASSERT_TRUE(SetFileAttributesW(system.c_str(), FILE_ATTRIBUTE_SYSTEM));
  tryFolder(system.parent_path());
  fs::create_directories(m_dir / "folder" / "MSINFO32.EXE");
  tryFolder(m_dir / "folder");
  fs::create_directories(m_dir / "empty");
  tryFolder(m_dir / "empty");

  // A last try that does start a tool, so the copies above had their chance to run.
  const fs::path tool = copyTo(m_dir / "plain" / "MSINFO32.EXE");
  ASSERT_EQ(m_folderPlace.setText("MSINFO", utf8(tool.parent_path())), ERROR_SUCCESS);
  m_messages.messages.clear();
  m_launcher.StartSysInfo();
  expectStarted(tool);
  expectNotStarted(hidden);
  expectNotStarted(system);
  for (const fs::path& file : {hidden, system})
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(WindowsSysInfoTest, APlaceOneValueThatIsNoPathLeavesItToPlaceTwo) {
  const fs::path tool = copyTo(m_dir / "tools" / "MSINFO32.EXE");
  ASSERT_EQ(m_folderPlace.setText("MSINFO", utf8(tool.parent_path())), ERROR_SUCCESS);
  const fs::path wrongTool = copyTo(m_dir / "wrong" / "msinfo32.exe");
  const std::string wrongPath = utf8(wrongTool);
  const std::pair<DWORD, std::string> values[] = {
      {REG_BINARY, wrongPath + std::string(1, '\0')},
      {REG_EXPAND_SZ, wrongPath + std::string(1, '\0')},
      // Too long for the buffer, however it begins.
      {REG_SZ, wrongPath + std::string(1024, ' ') + std::string(1, '\0')},
  };
  for (const auto& [type, bytes] : values) {
    ASSERT_EQ(m_pathPlace.setValue("PATH", type, bytes), ERROR_SUCCESS);
    fs::remove(startedRecord(tool));
    fs::remove(doneMark(tool));
    m_launcher.StartSysInfo();
    expectStarted(tool);
  }
  expectNotStarted(wrongTool);
}

TEST_F(WindowsSysInfoTest, KeysThatOnlyAllowReadingStillGiveTheTool) {
  const fs::path tool = copyTo(m_dir / "tools" / "MSINFO32.EXE");
  ASSERT_EQ(m_folderPlace.setText("MSINFO", utf8(tool.parent_path())), ERROR_SUCCESS);
  ASSERT_EQ(m_pathPlace.allowOnlyReading(), ERROR_SUCCESS);
  ASSERT_EQ(m_folderPlace.allowOnlyReading(), ERROR_SUCCESS);
  // An open that asks for writing as well would be refused at both places.
  EXPECT_EQ(m_pathPlace.tryOpen(kReadAndWrite), ERROR_ACCESS_DENIED);
  EXPECT_EQ(m_folderPlace.tryOpen(kReadAndWrite), ERROR_ACCESS_DENIED);

  m_launcher.StartSysInfo();

  expectStarted(tool);
}

}  // namespace
