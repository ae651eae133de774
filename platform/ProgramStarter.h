#pragma once

#include <string>
#include <utility>
#include <vector>

/// Window style of a started program: normal size and position, activated.
constexpr int kWindowNormalFocus = 1;

/// Starts a separate program and does not wait for it; the program is never heard from again.
/// Abstract so tests can record the starts; the real one is SystemProgramStarter.
class ProgramStarter {
public:
  virtual ~ProgramStarter() = default;

  /// Starts a UTF-8 command line: the program's name first, found by the system's program search,
  /// then its arguments, separated by blanks (double quotes group). Never goes through a shell.
  /// On Windows a name without a folder is looked for in the system's own folders only, never in
  /// the running program's folder or the current folder.
  /// A program that cannot be started raises the program-start error.
  virtual void startCommandLine(const std::string& commandLine, int windowStyle) = 0;

  /// Starts exactly the program file at `path`, with no arguments, blanks and all.
  /// A program that cannot be started raises the program-start error.
  virtual void startProgram(const std::string& path, int windowStyle) = 0;
};

/// The operating system's own program start (CreateProcess on Windows, posix_spawn elsewhere).
///
/// The Windows help viewer "winhlp32.exe", which the help item names, has a stand-in of ours:
/// our own viewer, started in its place with the same arguments (and window style). On Windows
/// that happens whenever our viewer lies beside the running program, since no Windows today
/// opens a WinHelp file; elsewhere when no program of that name is on the PATH. Every other
/// program starts as named.
class SystemProgramStarter final : public ProgramStarter {
public:
  /// Looks for stand-ins beside the running program (and elsewhere than on Windows, then in the
  /// installation's program folder).
  SystemProgramStarter() = default;
  /// Looks for stand-ins in these folders only, in this order (for tests).
  explicit SystemProgramStarter(std::vector<std::string> standInFolders)
      : m_standInFolders(std::move(standInFolders)), m_defaultFolders(false) {}

  void startCommandLine(const std::string& commandLine, int windowStyle) override;
  void startProgram(const std::string& path, int windowStyle) override;

private:
  std::vector<std::string> m_standInFolders;
  bool m_defaultFolders = true;
};

/// Splits a command line into arguments: blanks separate, double quotes group and are removed.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);
