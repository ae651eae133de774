// Starting another program: the command line's split, a start that does not wait, exact paths,
// the error for a program that cannot be started, and our stand-in for the help viewer.
#include <gtest/gtest.h>

#include <cctype>
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
  // What follows the program, as written.
  EXPECT_EQ(ArgumentsAsWritten("winhlp32.exe \"my help.hlp\"  -x"), " \"my help.hlp\"  -x");
  EXPECT_EQ(ArgumentsAsWritten(" \"C:\\a b\\x.exe\" -v"), " -v");
  EXPECT_EQ(ArgumentsAsWritten("x"), "");
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

// Where no "winhlp32.exe" is on the PATH, our viewer stands in for it with the same arguments,
// from the first stand-in folder that holds it runnable, or, given by its path (a mode of the
// running program), from there alone with its first argument. Anything else starts as named.
TEST_F(ProgramStarterTest, HelpViewerStandIn) {
  struct Row {
    const char* commandLine;
    const char*
        programs;     // P: a winhlp32.exe on the PATH; A, B: stand-ins; lower case: not runnable
    bool byPath;      // the stand-in is A's by its path, with "--mode" first
    const char* ran;  // what the started program wrote; empty: the start must fail
  };
  const Row rows[] = {
      {"winhlp32.exe \"my help.hlp\" -x", "AB", false, "A my help.hlp -x"},
      {"winhlp32.exe TH.hlp", "aB", false, "B TH.hlp"},
      {"winhlp32.exe TH.hlp", "PAB", false, "P TH.hlp"},
      {"winhlp32.exe TH.hlp", "b", false, ""},
      {"notepad.exe TH.hlp", "AB", false, ""},
      {"winhlp32.exe \"my help.hlp\" -x", "AB", true, "A --mode my help.hlp -x"},
      {"winhlp32.exe TH.hlp", "aB", true, ""},
  };
  const std::string path = getenv("PATH") != nullptr ? getenv("PATH") : "";
  int round = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.commandLine) + " with " + row.programs +
                 (row.byPath ? " by path" : ""));
    const fs::path dir = m_dir / std::to_string(++round);
    for (const char* who = row.programs; *who != '\0'; ++who) {
      const std::string folder(1, static_cast<char>(std::toupper(*who)));
      const fs::path file = dir / folder / (folder == "P" ? "winhlp32.exe" : TH_HELP_VIEWER);
      fs::create_directories(file.parent_path());
      std::ofstream(file) << "#!/bin/sh\ncd '" << dir.string() << "' && echo \"" << folder
                          << " $*\" >part && /bin/mv part ran\n";
      fs::permissions(file, std::isupper(*who) ? fs::perms::owner_all : fs::perms::owner_read);
    }
    setenv("PATH", (dir / "P").c_str(), 1);
    std::string failure;
    try {
      const StandIn standIn =
          row.byPath ? StandIn{"winhlp32.exe", (dir / "A" / TH_HELP_VIEWER).string(), "--mode"}
                     : StandIn{"winhlp32.exe", TH_HELP_VIEWER, ""};
      SystemProgramStarter({standIn}, {(dir / "A").string(), (dir / "B").string()})
          .startCommandLine(row.commandLine, kWindowNormalFocus);
    } catch (const RuntimeError& error) {
      failure = error.what();
    }
    setenv("PATH", path.c_str(), 1);
    if (*row.ran == '\0') {
      // Named as the command line names it, as without any stand-in; and when the stand-in is
      // missing too, that is said, with where it was looked for.
      const std::string program = SplitCommandLine(row.commandLine).front();
      EXPECT_NE(failure.find(program), std::string::npos);
      if (program == "winhlp32.exe") {
        EXPECT_NE(failure.find("」も見つかりません"), std::string::npos) << failure;
        EXPECT_NE(failure.find(row.byPath ? (dir / "A" / TH_HELP_VIEWER).string() : TH_HELP_VIEWER),
                  std::string::npos)
            << failure;
        // A folder searched is named; a path is never searched.
        EXPECT_EQ(failure.find((dir / "B").string()) != std::string::npos, !row.byPath) << failure;
      }
    } else {
      ASSERT_TRUE(appears(dir / "ran")) << failure;
      std::string line;
      std::getline(std::ifstream(dir / "ran"), line);
      EXPECT_EQ(line, row.ran);
    }
  }
}

}  // namespace
#endif
