#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "FileFinder.h"

/// Knows exactly the plain files a test names, and records every path asked about.
class FakeFileFinder final : public FileFinder {
public:
  bool plainFileExists(const std::string& path) override {
    asked.push_back(path);
    if (fault) fault();
    return files.count(path) == 1;
  }

  std::set<std::string> files;
  std::vector<std::string> asked;
  /// Called on every question; a test makes it throw.
  std::function<void()> fault;
};
