#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <thread>

#include "ProgramStarter.h"
#include "RuntimeError.h"

extern char** environ;

namespace {

// Window styles have no meaning here: a started program places its own windows. Returns the
// spawn's error number, 0 when the program runs.
int spawn(const std::vector<std::string>& arguments, bool searchPath) {
  if (arguments.empty() || arguments.front().empty())
    throw RuntimeError(ErrorKind::ProgramStart, "起動するプログラムの名前がありません。");
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  pid_t pid = 0;
  const int result = searchPath
                         ? posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ)
                         : posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
  if (result == 0) {
    // Nobody waits for the program, so a thread of its own reaps it when it ends.
    std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
  }
  return result;
}

// Said in the user's words for the usual causes; the system's own text otherwise.
[[noreturn]] void raiseStartError(const std::string& program, int error) {
  std::string detail = "「" + program + "」";
  if (error == ENOENT) {
    detail += "が見つかりません。";
  } else if (error == EACCES) {
    detail += "を実行する権限がありません。";
  } else {
    detail += ": " + std::string(std::strerror(error));
  }
  throw RuntimeError(ErrorKind::ProgramStart, detail);
}

bool isRunnableFile(const std::string& path) {
  return access(path.c_str(), X_OK) == 0 && std::filesystem::is_regular_file(path);
}

// Where a stand-in is: a path as it is, a name as the first executable file of that name in the
// folders; an empty string when it is not there.
std::string findIn(const std::vector<std::string>& folders, const std::string& program) {
  if (program.find('/') != std::string::npos) return isRunnableFile(program) ? program : "";
  for (const std::string& folder : folders) {
    const std::string path = (std::filesystem::path(folder) / program).string();
    if (isRunnableFile(path)) return path;
  }
  return {};
}

}  // namespace

const StandIn* SystemProgramStarter::standInFor(const std::string& program) const {
  for (const StandIn& standIn : m_standIns)
    if (standIn.program == program) return &standIn;
  return nullptr;
}

void SystemProgramStarter::startCommandLine(const std::string& commandLine, int) {
  std::vector<std::string> arguments = SplitCommandLine(commandLine);
  const int error = spawn(arguments, true);
  if (error == 0) return;
  // Only a program missing from the PATH gets a stand-in: one that is there but fails to start
  // (a Wine wrapper without execute permission, say) reports its own failure.
  const StandIn* standIn = error == ENOENT ? standInFor(arguments.front()) : nullptr;
  if (standIn == nullptr) raiseStartError(arguments.front(), error);
  const std::string path = findIn(m_folders, standIn->ourProgram);
  if (path.empty()) {
    // Neither is there: the user learns what is missing and where it was looked for.
    std::string places = "PATH";
    if (standIn->ourProgram.find('/') == std::string::npos)
      for (const std::string& folder : m_folders) places += ", " + folder;
    throw RuntimeError(ErrorKind::ProgramStart,
                       "「" + standIn->program + "」も、代わりの「" + standIn->ourProgram +
                           "」も見つかりません (探した場所: " + places + ")。");
  }
  arguments.front() = path;
  if (!standIn->firstArgument.empty())
    arguments.insert(arguments.begin() + 1, standIn->firstArgument);
  if (const int standInError = spawn(arguments, false); standInError != 0)
    raiseStartError(path, standInError);
}

void SystemProgramStarter::startProgram(const std::string& path, int) {
  if (const int error = spawn({path}, false); error != 0) raiseStartError(path, error);
}

std::string RunningProgramPath() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : self.string();
}

std::string RunningProgramFolder() {
  return std::filesystem::path(RunningProgramPath()).parent_path().string();
}
