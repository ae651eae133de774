// The operating system's plain-file test against real files; the registry and what differs
// between the systems are in the _posix and _win32 files beside this one.
#include "FileFinderTest.h"

namespace {

TEST_F(FileFinderTest, OnlyAnExistingPlainFileCounts) {
  EXPECT_TRUE(m_finder.plainFileExists(makeFile("MSINFO32.EXE")));
  EXPECT_TRUE(m_finder.plainFileExists(makeFile("dir with blanks/tool.exe")));
  EXPECT_FALSE(m_finder.plainFileExists((m_dir / "dir with blanks").string())) << "a folder";
  EXPECT_FALSE(m_finder.plainFileExists((m_dir / "missing.exe").string()));
  EXPECT_FALSE(m_finder.plainFileExists(""));
  EXPECT_FALSE(m_finder.plainFileExists((m_dir / "MSINFO32.EX?").string())) << "no pattern";
}

}  // namespace
