// Starting programs on Windows through the real CreateProcess: exact paths with blanks beside a
// decoy that an unquoted command line would start, the show state the started program is given,
// a start that does not wait, the error for a program that cannot be started, and our help
// viewer standing in for the Windows one. The programs
// started are copies of start_probe.exe, which records how it was started next to itself.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>

#include "ProgramStarter.h"
#include "RuntimeError.h"
#include "StartProbe.h"
#include "TestFolder.h"

namespace fs = std::filesystem;
using namespace probe;

namespace {

class WindowsProgramStarterTest : public testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(fs::exists(original())) << utf8(original()); }

  TestFolder m_folder{"th-starter"};
  const fs::path m_dir = m_folder.path();
  SystemProgramStarter m_starter;
};

TEST_F(WindowsProgramStarterTest, ExactPathWithBlanksStartsThatProgramNotTheDecoy) {
  // "...\Program Files\probe.exe" unquoted reads as the program "...\Program.exe" with the
  // argument "Files\probe.exe": the decoy sits exactly there.
  const fs::path program = copyTo(m_dir / "Program Files" / "probe.exe");
  const fs::path decoy = copyTo(m_dir / "Program.exe");

  m_starter.startProgram(utf8(program), kWindowNormalFocus);

  const bool programRan = appears(doneMark(program));
  EXPECT_FALSE(fs::exists(startedRecord(decoy))) << "the decoy was started";
  ASSERT_TRUE(programRan);
  const auto record = readRecord(startedRecord(program));
  EXPECT_TRUE(ranAs(record, program));
  EXPECT_EQ(record.at("commandLine"), quoted(program));
  EXPECT_EQ(record.at("useShowWindow"), "1");
  EXPECT_EQ(record.at("showWindow"), "1");
}

TEST_F(WindowsProgramStarterTest, TheSamePathUnquotedWouldHaveStartedTheDecoy) {
  // Proves the decoy above is placed where the system really looks.
  const fs::path program = copyTo(m_dir / "Program Files" / "probe.exe");
  const fs::path decoy = copyTo(m_dir / "Program.exe");

  std::wstring commandLine = program.native();
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &process));
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);

  ASSERT_TRUE(appears(doneMark(decoy)));
  EXPECT_EQ(readRecord(startedRecord(decoy)).at("commandLine"), utf8(program));
  EXPECT_FALSE(fs::exists(startedRecord(program)));
}

TEST_F(WindowsProgramStarterTest, CommandLineStartsWithShowStateOneAndDoesNotWait) {
  const fs::path program = copyTo(m_dir / "tool dir" / "probe.exe");
  const fs::path gate = m_dir / "gate";

  // The probe finishes only once the gate exists, and the gate is made after the start returned.
  m_starter.startCommandLine(quoted(program) + " --gate " + quoted(gate), kWindowNormalFocus);
  EXPECT_FALSE(fs::exists(doneMark(program))) << "the start waited for the program";
  std::ofstream(gate).put('x');

  ASSERT_TRUE(appears(doneMark(program)));
  EXPECT_EQ(readAll(doneMark(program)), "gate");
  const auto record = readRecord(startedRecord(program));
  EXPECT_TRUE(ranAs(record, program));
  EXPECT_EQ(record.at("useShowWindow"), "1");
  EXPECT_EQ(record.at("showWindow"), "1");
}

TEST_F(WindowsProgramStarterTest, AProgramThatCannotStartRaisesTheStartError) {
  const fs::path notAProgram = m_dir / "notes.exe";
  std::ofstream(notAProgram) << "plain text, not a program\n";
  fs::create_directories(m_dir / "folder.exe");

  const auto expectStartError = [](const auto& start, const std::string& what) {
    try {
      start();
      ADD_FAILURE() << "started: " << what;
    } catch (const RuntimeError& error) {
      EXPECT_EQ(error.kind(), ErrorKind::ProgramStart) << what;
      EXPECT_NE(std::string(error.what()).find(what), std::string::npos) << error.what();
    }
  };
  for (const fs::path& path : {m_dir / "missing.exe", notAProgram, m_dir / "folder.exe"}) {
    expectStartError([&] { m_starter.startProgram(utf8(path), kWindowNormalFocus); }, utf8(path));
  }
  for (const std::string line : {"th-no-such-program-here TH.hlp", "  "}) {
    expectStartError([&] { m_starter.startCommandLine(line, kWindowNormalFocus); }, line);
  }
}

// A command line naming "winhlp32.exe", in any case, starts our viewer from the first stand-in
// folder that holds it, with the same arguments and window style; without it, or for any other
// program, the command line starts as named. The named programs are probes in the working
// folder, which the system's program search tries before its own folders.
TEST_F(WindowsProgramStarterTest, HelpViewerStandIn) {
  struct Row {
    const char* commandLine;
    const char* viewer;   // in the stand-in folder: "file", "folder" or nothing
    const char* started;  // the probe that must start: the viewer or a named one
  };
  const Row rows[] = {
      {"winhlp32.exe TH.hlp", "file", TH_HELP_VIEWER ".exe"},
      {"WinHlp32.EXE \"my help.hlp\"  -x", "file", TH_HELP_VIEWER ".exe"},
      {"winhlp32.exe TH.hlp", "", "winhlp32.exe"},
      {"winhlp32.exe TH.hlp", "folder", "winhlp32.exe"},
      {"other.exe TH.hlp", "file", "other.exe"},
  };
  const fs::path working = fs::current_path();
  int round = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.commandLine) + " with the viewer as " + row.viewer);
    const fs::path dir = m_dir / std::to_string(++round);
    const fs::path viewer = dir / "stand-ins" / TH_HELP_VIEWER ".exe";
    if (std::string(row.viewer) == "file") copyTo(viewer);
    if (std::string(row.viewer) == "folder") fs::create_directories(viewer);
    const fs::path named = copyTo(dir / "work" / "winhlp32.exe");
    copyTo(dir / "work" / "other.exe");
    fs::current_path(dir / "work");
    SystemProgramStarter({utf8(dir / "stand-ins")}).startCommandLine(row.commandLine, 1);
    fs::current_path(working);

    const bool byViewer = std::string(row.started) == TH_HELP_VIEWER ".exe";
    const fs::path started = byViewer ? viewer : dir / "work" / row.started;
    ASSERT_TRUE(appears(doneMark(started)));
    const auto record = readRecord(startedRecord(started));
    EXPECT_TRUE(ranAs(record, started));
    const std::string line = row.commandLine;
    EXPECT_EQ(record.at("commandLine"),
              byViewer ? quoted(viewer) + line.substr(line.find(' ')) : line);
    EXPECT_EQ(record.at("showWindow"), "1");
    EXPECT_EQ(fs::exists(startedRecord(named)), std::string(row.started) == "winhlp32.exe");
  }
}

}  // namespace
