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

/// A program of ours that stands in for one the system lacks: started in its place, with the
/// same arguments and window style.
struct StandIn {
  std::string program;  ///< as a command line names it ("winhlp32.exe"; on Windows in any case)
  /// Ours that stands in for it: a file name, looked for in the starter's folders, or a path,
  /// started as it is and never searched for.
  std::string ourProgram;
  /// Put before the command line's own arguments (one that selects a mode of ours); none when
  /// empty.
  std::string firstArgument;
};

/// The operating system's own program start (CreateProcess on Windows, posix_spawn elsewhere).
///
/// It starts what it is told. Which program of ours stands in for which, and where ours lie,
/// the application says. On Windows a stand-in starts in place of its program whenever it lies
/// in one of the folders (a program the system keeps only for its name, as it keeps the old help
/// viewer, would only say it cannot help); elsewhere only when the PATH has no program of that
/// name. On Windows a program named without a folder comes from the system's own folders only,
/// never from the running program's folder or the current one, where others may put files.
class SystemProgramStarter final : public ProgramStarter {
public:
  /// No stand-ins: every program starts as named.
  SystemProgramStarter() = default;
  /// These stand-ins, looked for in these folders, in this order.
  SystemProgramStarter(std::vector<StandIn> standIns, std::vector<std::string> folders)
      : m_standIns(std::move(standIns)), m_folders(std::move(folders)) {}

  void startCommandLine(const std::string& commandLine, int windowStyle) override;
  void startProgram(const std::string& path, int windowStyle) override;

private:
  /// The stand-in for the program a command line names, or null.
  const StandIn* standInFor(const std::string& program) const;

  std::vector<StandIn> m_standIns;
  std::vector<std::string> m_folders;
};

/// The file the running program was loaded from (UTF-8), as the system tells it; empty when
/// it cannot.
std::string RunningProgramPath();
/// The folder the running program was loaded from (UTF-8), where an installation puts our
/// programs beside it.
std::string RunningProgramFolder();

/// Splits a command line into arguments: blanks separate, double quotes group and are removed.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);
/// What follows the program's name in a command line, exactly as written (blanks, quotes).
std::string ArgumentsAsWritten(const std::string& commandLine);
