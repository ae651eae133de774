#include "ProgramStarter.h"

namespace {

// The next argument of a command line from `at` on: blanks separate, double quotes group and
// are removed. Returns false when only blanks are left; leaves `at` just past the argument.
bool NextArgument(const std::string& commandLine, std::size_t& at, std::string& argument) {
  at = commandLine.find_first_not_of(" \t", at);
  if (at == std::string::npos) {
    at = commandLine.size();
    return false;
  }
  argument.clear();
  bool inQuotes = false;
  for (; at < commandLine.size(); ++at) {
    const char c = commandLine[at];
    if (c == '"')
      inQuotes = !inQuotes;
    else if ((c == ' ' || c == '\t') && !inQuotes)
      break;
    else
      argument += c;
  }
  return true;
}

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
  std::vector<std::string> arguments;
  std::string argument;
  for (std::size_t at = 0; NextArgument(commandLine, at, argument);) arguments.push_back(argument);
  return arguments;
}

std::string ArgumentsAsWritten(const std::string& commandLine) {
  std::size_t at = 0;
  std::string program;
  NextArgument(commandLine, at, program);
  return commandLine.substr(at);
}
