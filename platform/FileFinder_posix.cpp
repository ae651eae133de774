#include <sys/stat.h>

#include "FileFinder.h"

bool SystemFileFinder::plainFileExists(const std::string& path) {
  // Only the file's own name decides whether it is hidden, not the folders above it.
  const std::string::size_type slash = path.find_last_of('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.empty() || name.front() == '.') return false;
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}
