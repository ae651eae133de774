// Starting programs on Windows through the real CreateProcess: exact paths with blanks beside a
// decoy that an unquoted command line would start, the show state the started program is given,
// a start that does not wait, and the error for a program that cannot be started. The programs
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

}  // namespace
