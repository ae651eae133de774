// Starting programs on Windows through the real CreateProcess: exact paths with blanks beside a
// decoy that an unquoted command line would start, the show state the started program is given,
// a start that does not wait, and the error for a program that cannot be started. The programs
// started are copies of start_probe.exe, which records how it was started next to itself.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "ProgramStarter.h"
#include "RuntimeError.h"

namespace fs = std::filesystem;

namespace {

std::string utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

fs::path withSuffix(const fs::path& path, const char* suffix) {
  return fs::path(path.native() + fs::path(suffix).native());
}

std::string readAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The probe's record: one "key=value" a line.
std::map<std::string, std::string> readRecord(const fs::path& file) {
  std::map<std::string, std::string> record;
  std::istringstream lines(readAll(file));
  for (std::string line; std::getline(lines, line);) {
    const auto equals = line.find('=');
    if (equals != std::string::npos) record[line.substr(0, equals)] = line.substr(equals + 1);
  }
  return record;
}

// Waits for a file a started program makes; a generous bound for a slow machine, not a timing
// assertion.
bool appears(const fs::path& file) {
  for (int i = 0; i < 3000 && !fs::exists(file); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return fs::exists(file);
}

class WindowsProgramStarterTest : public testing::Test {
protected:
  void SetUp() override {
    std::wstring self(MAX_PATH, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
    m_probe = fs::path(self).parent_path() / "start_probe.exe";
    ASSERT_TRUE(fs::exists(m_probe)) << utf8(m_probe);
    m_dir =
        fs::temp_directory_path() / ("th-starter-" + std::to_string(GetCurrentProcessId()) + "-" +
                                     testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(m_dir);
    fs::create_directories(m_dir);
  }
  void TearDown() override {
    // A probe still waiting on its gate would hold its file open; the gate lets it finish first.
    std::error_code ignored;
    fs::remove_all(m_dir, ignored);
  }

  fs::path copyProbe(const fs::path& to) const {
    fs::create_directories(to.parent_path());
    fs::copy_file(m_probe, to);
    return to;
  }

  fs::path m_probe;
  fs::path m_dir;
  SystemProgramStarter m_starter;
};

TEST_F(WindowsProgramStarterTest, ExactPathWithBlanksStartsThatProgramNotTheDecoy) {
  // "...\Program Files\probe.exe" unquoted reads as the program "...\Program.exe" with the
  // argument "Files\probe.exe": the decoy sits exactly there.
  const fs::path program = copyProbe(m_dir / "Program Files" / "probe.exe");
  const fs::path decoy = copyProbe(m_dir / "Program.exe");

  m_starter.startProgram(utf8(program), kWindowNormalFocus);

  const bool programRan = appears(withSuffix(program, ".done"));
  EXPECT_FALSE(fs::exists(withSuffix(decoy, ".started"))) << "the decoy was started";
  ASSERT_TRUE(programRan);
  const auto record = readRecord(withSuffix(program, ".started"));
  EXPECT_TRUE(fs::equivalent(fs::path(fs::u8path(record.at("module"))), program));
  EXPECT_EQ(record.at("commandLine"), "\"" + utf8(program) + "\"");
  EXPECT_EQ(record.at("useShowWindow"), "1");
  EXPECT_EQ(record.at("showWindow"), "1");
}

TEST_F(WindowsProgramStarterTest, TheSamePathUnquotedWouldHaveStartedTheDecoy) {
  // Proves the decoy above is placed where the system really looks.
  const fs::path program = copyProbe(m_dir / "Program Files" / "probe.exe");
  const fs::path decoy = copyProbe(m_dir / "Program.exe");

  std::wstring commandLine = program.native();
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &process));
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);

  ASSERT_TRUE(appears(withSuffix(decoy, ".done")));
  EXPECT_EQ(readRecord(withSuffix(decoy, ".started")).at("commandLine"), utf8(program));
  EXPECT_FALSE(fs::exists(withSuffix(program, ".started")));
}

TEST_F(WindowsProgramStarterTest, CommandLineStartsWithShowStateOneAndDoesNotWait) {
  const fs::path program = copyProbe(m_dir / "tool dir" / "probe.exe");
  const fs::path gate = m_dir / "gate";

  // The probe finishes only once the gate exists, and the gate is made after the start returned.
  m_starter.startCommandLine("\"" + utf8(program) + "\" --gate \"" + utf8(gate) + "\"",
                             kWindowNormalFocus);
  EXPECT_FALSE(fs::exists(withSuffix(program, ".done"))) << "the start waited for the program";
  std::ofstream(gate).put('x');

  ASSERT_TRUE(appears(withSuffix(program, ".done")));
  EXPECT_EQ(readAll(withSuffix(program, ".done")), "gate");
  const auto record = readRecord(withSuffix(program, ".started"));
  EXPECT_TRUE(fs::equivalent(fs::path(fs::u8path(record.at("module"))), program));
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
