// The Windows services against the real system (under Wine in the cross build).
#include <windows.h>

#include "FileFinderTest.h"
#include "Registry.h"

namespace {

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

}  // namespace
