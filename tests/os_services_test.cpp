// The operating system's registry and plain-file test, against the real system and real files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "FileFinder.h"
#include "RecordingMessageBox.h"
#include "RecordingProgramStarter.h"
#include "Registry.h"
#include "SysInfoLauncher.h"
#include "TestFolder.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

class FileFinderTest : public testing::Test {
protected:
  std::string makeFile(const fs::path& relative) {
    const fs::path file = m_dir / relative;
    fs::create_directories(file.parent_path());
    std::ofstream(file) << "x";
    return file.string();
  }

  TestFolder m_folder{"th-finder"};
  const fs::path m_dir = m_folder.path();
  SystemFileFinder m_finder;
};

TEST_F(FileFinderTest, OnlyAnExistingPlainFileCounts) {
  EXPECT_TRUE(m_finder.plainFileExists(makeFile("MSINFO32.EXE")));
  EXPECT_TRUE(m_finder.plainFileExists(makeFile("dir with blanks/tool.exe")));
  EXPECT_FALSE(m_finder.plainFileExists((m_dir / "dir with blanks").string())) << "a folder";
  EXPECT_FALSE(m_finder.plainFileExists((m_dir / "missing.exe").string()));
  EXPECT_FALSE(m_finder.plainFileExists(""));
  EXPECT_FALSE(m_finder.plainFileExists((m_dir / "MSINFO32.EX?").string())) << "no pattern";
}

#ifndef _WIN32
TEST_F(FileFinderTest, ADotFileIsHiddenButAFileInADotFolderIsNot) {
  EXPECT_FALSE(m_finder.plainFileExists(makeFile(".hidden")));
  EXPECT_TRUE(m_finder.plainFileExists(makeFile(".folder/plain")));
  EXPECT_FALSE(m_finder.plainFileExists(m_dir.string() + "/")) << "a folder named with a slash";
}

TEST(PortableRegistryTest, HoldsNoKeys) {
  SystemRegistry registry;
  RegistryKey key = 77;
  EXPECT_EQ(registry.openKey(kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", 0,
                             kKeyRead, key),
            kRegistryNotFound);
  EXPECT_EQ(key, 77u) << "no handle is written";
  std::uint32_t type = 0;
  unsigned char buffer[16] = {};
  std::uint32_t size = sizeof buffer;
  EXPECT_NE(registry.queryValue(0, "PATH", type, buffer, size), kRegistrySuccess);
  EXPECT_NO_THROW(registry.closeKey(0));
  EXPECT_EQ(registry.toProgramText("ﾀﾏﾋﾛｲ"), "ﾀﾏﾋﾛｲ");
}

TEST(PortableRegistryTest, TheLauncherReportsThatSystemInformationIsUnavailable) {
  SystemRegistry registry;
  SystemFileFinder files;
  RecordingProgramStarter starter;
  RecordingMessageBox messages;
  SysInfoLauncher(registry, files, starter, messages).StartSysInfo();
  EXPECT_TRUE(starter.starts.empty());
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(messages.messages[0].text, "現時点ではｼｽﾃﾑ情報を使用できません");
  EXPECT_EQ(messages.messages[0].style, 0);
}
#else
TEST_F(FileFinderTest, HiddenAndSystemFilesDoNotCount) {
  const std::string hidden = makeFile("hidden.exe");
  const std::string system = makeFile("system.exe");
  const std::string readOnly = makeFile("readonly.exe");
  ASSERT_TRUE(SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(SetFileAttributesA(system.c_str(), FILE_ATTRIBUTE_SYSTEM));
  ASSERT_TRUE(SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(m_finder.plainFileExists(hidden));
  EXPECT_FALSE(m_finder.plainFileExists(system));
  EXPECT_TRUE(m_finder.plainFileExists(readOnly));
  for (const std::string& file : {hidden, system, readOnly})
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(WindowsRegistryTest, ReadsAMachineValueWithReadAccess) {
  SystemRegistry registry;
  RegistryKey key = 0;
  ASSERT_EQ(registry.openKey(kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                             0, kKeyRead, key),
            kRegistrySuccess);
  EXPECT_NE(key, 0u);
  std::uint32_t type = 0;
  unsigned char buffer[1024] = {};
  std::uint32_t size = sizeof buffer;
  EXPECT_EQ(registry.queryValue(key, "SystemRoot", type, buffer, size), kRegistrySuccess);
  EXPECT_EQ(type, kRegSz);
  EXPECT_GT(size, 1u);
  EXPECT_EQ(registry.closeKey(key), kRegistrySuccess);

  RegistryKey missing = 77;
  EXPECT_EQ(registry.openKey(kHkeyLocalMachine, "SOFTWARE\\TH no such key", 0, kKeyRead, missing),
            kRegistryNotFound);
  EXPECT_EQ(missing, 77u);
  EXPECT_NE(registry.closeKey(0), kRegistrySuccess);
}
#endif

}  // namespace
