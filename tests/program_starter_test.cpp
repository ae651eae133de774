// Starting another program: the command line's split, a start that does not wait, exact paths,
// the error for a program that cannot be started, and our stand-in for the help viewer.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
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

// Where the system has no Windows help viewer, ours stands in for it; anything else is started
// as named. Each row sets up a PATH folder and two stand-in folders, each with or without its
// program, and says which program ran with which arguments, or that the start failed.
TEST_F(ProgramStarterTest, HelpViewerStandIn) {
  struct Row {
    const char* what;
    const char* commandLine;
    bool viewerOnPath;
    const char* standInA;  // "x": executable stand-in, "-": a stand-in file that is not executable
    const char* standInB;
    const char* ran;  // what the started program wrote; empty: the start must fail
  };
  const Row rows[] = {
      {"no viewer on the PATH: the stand-in of the first folder", "winhlp32.exe TH.hlp", false, "x",
       "x", "A TH.hlp"},
      {"the stand-in is looked for folder by folder", "winhlp32.exe TH.hlp", false, "", "x",
       "B TH.hlp"},
      {"a stand-in that cannot run is passed over", "winhlp32.exe TH.hlp", false, "-", "x",
       "B TH.hlp"},
      {"every argument goes along", "winhlp32.exe \"my help.hlp\" -x", false, "x", "",
       "A my help.hlp -x"},
      {"a viewer on the PATH is started itself", "winhlp32.exe TH.hlp", true, "x", "x",
       "PATH TH.hlp"},
      {"no stand-in anywhere: the start fails", "winhlp32.exe TH.hlp", false, "", "-", ""},
      {"other missing programs have no stand-in", "notepad.exe TH.hlp", false, "x", "x", ""},
  };
  const std::string savedPath = getenv("PATH") != nullptr ? getenv("PATH") : "";
  int round = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const fs::path dir = m_dir / std::to_string(++round);
    const fs::path ran = dir / "ran";
    auto script = [&ran](const fs::path& file, const std::string& who, bool executable) {
      fs::create_directories(file.parent_path());
      std::ofstream(file) << "#!/bin/sh\necho \"" << who << " $*\" > '" << ran.string() << "'\n";
      fs::permissions(file, executable ? fs::perms::owner_all : fs::perms::owner_read);
    };
    fs::create_directories(dir / "path");
    if (row.viewerOnPath) script(dir / "path" / "winhlp32.exe", "PATH", true);
    for (const auto& [folder, kind] : {std::pair{"A", row.standInA}, std::pair{"B", row.standInB}})
      if (*kind != '\0') script(dir / folder / TH_HELP_VIEWER, folder, *kind == 'x');

    setenv("PATH", (dir / "path").c_str(), 1);
    SystemProgramStarter starter({(dir / "A").string(), (dir / "B").string()});
    std::string failure;
    try {
      starter.startCommandLine(row.commandLine, kWindowNormalFocus);
    } catch (const RuntimeError& error) {
      EXPECT_EQ(error.kind(), ErrorKind::ProgramStart);
      failure = error.what();
    }
    setenv("PATH", savedPath.c_str(), 1);

    if (*row.ran == '\0') {
      // The message names the program the command line asked for, as without any stand-in.
      EXPECT_NE(failure.find(SplitCommandLine(row.commandLine).front()), std::string::npos)
          << failure;
      EXPECT_FALSE(fs::exists(ran));
    } else {
      EXPECT_EQ(failure, "");
      ASSERT_TRUE(appears(ran));
      std::string line;
      // The file may exist a moment before its line is written.
      for (int i = 0; i < 500 && line.empty(); ++i) {
        std::ifstream in(ran);
        std::getline(in, line);
        if (line.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
      EXPECT_EQ(line, row.ran);
    }
  }
}

}  // namespace
#endif
