#include "ProgramStarter.h"

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
  std::vector<std::string> arguments;
  std::string current;
  bool inQuotes = false;
  bool inArgument = false;
  for (const char c : commandLine) {
    if (c == '"') {
      inQuotes = !inQuotes;
      inArgument = true;
    } else if ((c == ' ' || c == '\t') && !inQuotes) {
      if (inArgument) arguments.push_back(current);
      current.clear();
      inArgument = false;
    } else {
      current += c;
      inArgument = true;
    }
  }
  if (inArgument) arguments.push_back(current);
  return arguments;
}
