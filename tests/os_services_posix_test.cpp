// The portable stand-ins: dot files count as hidden, and the registry holds nothing.
#include "FileFinderTest.h"
#include "RecordingMessageBox.h"
#include "RecordingProgramStarter.h"
#include "Registry.h"
#include "SysInfoLauncher.h"

namespace {

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

}  // namespace
