#pragma once

#include <string>
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
  /// A program that cannot be started raises the program-start error.
  virtual void startCommandLine(const std::string& commandLine, int windowStyle) = 0;

  /// Starts exactly the program file at `path`, with no arguments, blanks and all.
  /// A program that cannot be started raises the program-start error.
  virtual void startProgram(const std::string& path, int windowStyle) = 0;
};

/// The operating system's own program start (CreateProcess on Windows, posix_spawn elsewhere).
class SystemProgramStarter final : public ProgramStarter {
public:
  void startCommandLine(const std::string& commandLine, int windowStyle) override;
  void startProgram(const std::string& path, int windowStyle) override;
};

/// Splits a command line into arguments: blanks separate, double quotes group and are removed.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);
