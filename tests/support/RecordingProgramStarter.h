#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ProgramStarter.h"
#include "RuntimeError.h"

/// Records every start instead of starting anything.
class RecordingProgramStarter final : public ProgramStarter {
public:
  struct Start {
    bool exactProgram = false;  // startProgram rather than startCommandLine
    std::string text;           // the path or the command line
    int windowStyle = 0;
  };

  void startCommandLine(const std::string& commandLine, int windowStyle) override {
    record({false, commandLine, windowStyle});
  }
  void startProgram(const std::string& path, int windowStyle) override {
    record({true, path, windowStyle});
  }

  /// Every start is recorded, then raises the program-start error, as for a missing program.
  bool failStarts = false;
  /// Called after recording a start; a test makes it throw anything else.
  std::function<void()> fault;

  std::vector<Start> starts;

private:
  void record(Start start) {
    starts.push_back(start);
    if (failStarts) throw RuntimeError(ErrorKind::ProgramStart, start.text);
    if (fault) fault();
  }
};
