#include <spawn.h>
#include <sys/wait.h>

#include <cstring>
#include <thread>

#include "ProgramStarter.h"
#include "RuntimeError.h"

extern char** environ;

namespace {

// Window styles have no meaning here: a started program places its own windows.
void spawn(const std::vector<std::string>& arguments, bool searchPath) {
  if (arguments.empty() || arguments.front().empty())
    throw RuntimeError(ErrorKind::ProgramStart, "起動するプログラムの名前がありません。");
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  pid_t pid = 0;
  const int result = searchPath
                         ? posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ)
                         : posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
  if (result != 0)
    throw RuntimeError(ErrorKind::ProgramStart,
                       "'" + arguments.front() + "': " + std::strerror(result));
  // Nobody waits for the program, so a thread of its own reaps it when it ends.
  std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
}

}  // namespace

void SystemProgramStarter::startCommandLine(const std::string& commandLine, int) {
  spawn(SplitCommandLine(commandLine), true);
}

void SystemProgramStarter::startProgram(const std::string& path, int) { spawn({path}, false); }
