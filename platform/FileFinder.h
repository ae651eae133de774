#pragma once

#include <string>

/// Tells whether a plain file exists at one exact path, as a directory listing filtered to plain
/// files would: hidden files, system files and folders do not count.
/// Abstract so tests can script the files; the real one is SystemFileFinder.
class FileFinder {
public:
  virtual ~FileFinder() = default;
  /// True when `path` (UTF-8) names a plain file; it is never taken as a pattern.
  virtual bool plainFileExists(const std::string& path) = 0;
};

/// The operating system's files: FindFirstFileA and the file's attributes on Windows; elsewhere
/// `stat`, where a name that starts with a dot counts as hidden.
class SystemFileFinder final : public FileFinder {
public:
  bool plainFileExists(const std::string& path) override;
};
