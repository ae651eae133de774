// Starting programs on Windows through the real CreateProcess: exact paths with blanks beside a
// decoy that an unquoted command line would start, the show state the started program is given,
// a start that does not wait, the error for a program that cannot be started, and our help
// viewer standing in for the Windows one, and no program taken from a folder others may write
// to for a name without a folder. The programs
// started are copies of start_probe.exe, which records how it was started next to itself.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

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

// The programs this process started that run from a file of this name: their paths, and each
// is ended (they are this test's own).
std::vector<fs::path> endStartedPrograms(const std::wstring& name) {
  std::vector<fs::path> paths;
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    if (entry.th32ParentProcessID != GetCurrentProcessId() ||
        _wcsicmp(entry.szExeFile, name.c_str()))
      continue;
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE,
                                       entry.th32ProcessID);
    if (process == nullptr) continue;
    std::wstring path(32768, L'\0');
    DWORD length = static_cast<DWORD>(path.size());
    if (QueryFullProcessImageNameW(process, 0, path.data(), &length))
      paths.emplace_back(path.substr(0, length));
    TerminateProcess(process, 1);
    CloseHandle(process);
  }
  CloseHandle(snapshot);
  return paths;
}

fs::path windowsFolder(UINT(WINAPI* get)(LPWSTR, UINT)) {
  wchar_t folder[MAX_PATH] = {};
  return fs::path(std::wstring(folder, get(folder, MAX_PATH)));
}

// A command line naming "winhlp32.exe", in any case, starts our viewer from the first stand-in
// folder that holds it, with the same arguments and window style. Without it, only the system's
// own "winhlp32.exe" starts, never one planted in the working folder or beside the running
// program, where the system's program search would look first; and any other program named
// without a folder is looked for in the system's folders alone, so the planted one is not
// started and the start fails as for a missing program. A stand-in given by its path (the
// running program, in its help mode) starts from there, with its first argument.
TEST_F(WindowsProgramStarterTest, HelpViewerStandIn) {
  enum class Started { Viewer, SystemCopy, Nothing };
  struct Row {
    const char* commandLine;
    const char* viewer;  // in the stand-in folder: "file", "folder" or nothing
    bool byPath;         // the stand-in is given by its path, with "--mode" first
    Started started;
  };
  const Row rows[] = {
      {"winhlp32.exe TH.hlp", "file", false, Started::Viewer},
      {"WinHlp32.EXE \"my help.hlp\"  -x", "file", false, Started::Viewer},
      {"winhlp32.exe TH.hlp", "", false, Started::SystemCopy},
      {"winhlp32.exe TH.hlp", "folder", false, Started::SystemCopy},
      {"other.exe TH.hlp", "file", false, Started::Nothing},
      {"other TH.hlp", "", false, Started::Nothing},
      {"WinHlp32.EXE \"my help.hlp\"  -x", "file", true, Started::Viewer},
  };
  const fs::path working = fs::current_path();
  std::wstring ownPath(MAX_PATH, L'\0');
  ownPath.resize(GetModuleFileNameW(nullptr, ownPath.data(), MAX_PATH));
  const fs::path ownFolder = fs::path(ownPath).parent_path();
  const std::vector<fs::path> systemFolders = {windowsFolder(GetSystemDirectoryW),
                                               windowsFolder(GetSystemWindowsDirectoryW)};
  int round = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.commandLine) + " with the viewer as " + row.viewer +
                 (row.byPath ? " by path" : ""));
    const fs::path dir = m_dir / std::to_string(++round);
    const fs::path viewer = dir / "stand-ins" / TH_HELP_VIEWER ".exe";
    if (std::string(row.viewer) == "file") copyTo(viewer);
    if (std::string(row.viewer) == "folder") fs::create_directories(viewer);
    std::vector<fs::path> planted;
    for (const fs::path& folder : {dir / "work", ownFolder})
      for (const char* name : {"winhlp32.exe", "other.exe"})
        planted.push_back(copyTo(folder / name));
    fs::current_path(dir / "work");
    bool failed = false;
    try {
      const StandIn standIn = row.byPath ? StandIn{"winhlp32.exe", utf8(viewer), "--mode"}
                                         : StandIn{"winhlp32.exe", TH_HELP_VIEWER ".exe", ""};
      SystemProgramStarter({standIn}, {utf8(dir / "stand-ins")})
          .startCommandLine(row.commandLine, 1);
    } catch (const RuntimeError& error) {
      failed = true;
      EXPECT_EQ(error.kind(), ErrorKind::ProgramStart);
      EXPECT_NE(std::string(error.what()).find("(2)"), std::string::npos) << error.what();
    }
    fs::current_path(working);
    const std::vector<fs::path> systemCopies = endStartedPrograms(L"winhlp32.exe");
    for (const fs::path& file : planted)
      if (file.parent_path() == ownFolder) fs::remove(file);

    EXPECT_EQ(failed, row.started == Started::Nothing);
    if (row.started == Started::Viewer) {
      ASSERT_TRUE(appears(doneMark(viewer)));
      const auto record = readRecord(startedRecord(viewer));
      EXPECT_TRUE(ranAs(record, viewer));
      const std::string line = row.commandLine;
      EXPECT_EQ(record.at("commandLine"),
                quoted(viewer) + (row.byPath ? " --mode" : "") + line.substr(line.find(' ')));
      EXPECT_EQ(record.at("showWindow"), "1");
    }
    if (row.started == Started::SystemCopy) {
      ASSERT_EQ(systemCopies.size(), 1u);
      const fs::path folder = systemCopies.front().parent_path();
      EXPECT_TRUE(fs::equivalent(folder, systemFolders[0]) ||
                  fs::equivalent(folder, systemFolders[1]))
          << utf8(systemCopies.front());
    } else {
      EXPECT_TRUE(systemCopies.empty());
    }
    // A planted program that was started has recorded so by the time the viewer has, or the
    // system's copy has been found running: none may have.
    for (const fs::path& file : planted)
      EXPECT_FALSE(fs::exists(startedRecord(file))) << "started " << utf8(file);
  }
}

}  // namespace
