// Starting another program: the command line's split, a start that does not wait, exact paths,
// and the error for a program that cannot be started.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "ProgramStarter.h"
#include "RuntimeError.h"
#include "TestFolder.h"

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

TEST(SplitCommandLineTest, BlanksSeparateAndQuotesGroup) {
  EXPECT_EQ(SplitCommandLine("winhlp32.exe TH.hlp"), (Args{"winhlp32.exe", "TH.hlp"}));
  EXPECT_EQ(SplitCommandLine("  a \t b  "), (Args{"a", "b"}));
  EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\x.exe\" -v"),
            (Args{"C:\\Program Files\\x.exe", "-v"}));
  EXPECT_EQ(SplitCommandLine("a \"\" b"), (Args{"a", "", "b"}));
  EXPECT_EQ(SplitCommandLine(""), Args{});
  EXPECT_EQ(SplitCommandLine("   "), Args{});
}

#ifndef _WIN32
namespace {

class ProgramStarterTest : public testing::Test {
protected:
  // Waits for a file the started program makes; a generous bound, not a timing assertion.
  static bool appears(const fs::path& file) {
    for (int i = 0; i < 500 && !fs::exists(file); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return fs::exists(file);
  }

  TestFolder m_folder{"th-starter"};
  const fs::path m_dir = m_folder.path();
  SystemProgramStarter m_starter;
};

TEST_F(ProgramStarterTest, CommandLineStartsWithoutWaiting) {
  const fs::path gate = m_dir / "gate";
  const fs::path done = m_dir / "done";
  // The program finishes only after the gate exists, which is made after the start returned.
  m_starter.startCommandLine("sh -c \"while [ ! -e '" + gate.string() +
                                 "' ]; do sleep 0.01; done; touch '" + done.string() + "'\"",
                             kWindowNormalFocus);
  EXPECT_FALSE(fs::exists(done));
  std::ofstream(gate).put('x');
  EXPECT_TRUE(appears(done));
}

TEST_F(ProgramStarterTest, ExactPathWithBlanksIsStartedAsItStands) {
  const fs::path program = m_dir / "dir with blanks" / "tool";
  fs::create_directories(program.parent_path());
  std::ofstream(program) << "#!/bin/sh\ntouch \"$(dirname \"$0\")/ran\"\n";
  fs::permissions(program, fs::perms::owner_all);
  m_starter.startProgram(program.string(), kWindowNormalFocus);
  EXPECT_TRUE(appears(program.parent_path() / "ran"));
}

TEST_F(ProgramStarterTest, AProgramThatCannotStartRaisesTheStartError) {
  for (const std::string& line :
       {std::string("th-no-such-program-here TH.hlp"), std::string("  ")}) {
    try {
      m_starter.startCommandLine(line, kWindowNormalFocus);
      ADD_FAILURE() << "started: " << line;
    } catch (const RuntimeError& error) {
      EXPECT_EQ(error.kind(), ErrorKind::ProgramStart);
    }
  }
  try {
    m_starter.startProgram((m_dir / "missing.exe").string(), kWindowNormalFocus);
    ADD_FAILURE() << "started a missing file";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::ProgramStart);
    EXPECT_NE(std::string(error.what()).find("missing.exe"), std::string::npos);
  }
}

}  // namespace
#endif
