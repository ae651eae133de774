#pragma once

// Windows only: helpers for tests that start copies of start_probe.exe and read what each copy
// recorded about how it was started.
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>

namespace probe {

namespace fs = std::filesystem;

/// The UTF-8 text of a path, as the program's services take it.
inline std::string utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

/// The path in double quotes, as a command line names a program. (Built by appending: GCC 12
/// warns falsely of an overlapping copy in "\"" + text at -O3.)
inline std::string quoted(const fs::path& path) {
  std::string text = "\"";
  text += utf8(path);
  text += '"';
  return text;
}

inline fs::path withSuffix(const fs::path& path, const char* suffix) {
  return fs::path(path.native() + fs::path(suffix).native());
}

/// start_probe.exe, built beside the running test program.
inline fs::path original() {
  std::wstring self(MAX_PATH, L'\0');
  self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
  return fs::path(self).parent_path() / "start_probe.exe";
}

/// Copies the probe to `to`, making its folders.
inline fs::path copyTo(const fs::path& to) {
  fs::create_directories(to.parent_path());
  fs::copy_file(original(), to);
  return to;
}

/// The record of a copy once it has started: "<copy>.started".
inline fs::path startedRecord(const fs::path& copy) { return withSuffix(copy, ".started"); }
/// Made by a copy when it ends: "<copy>.done".
inline fs::path doneMark(const fs::path& copy) { return withSuffix(copy, ".done"); }

inline std::string readAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

/// A record's "key=value" lines: module, commandLine, useShowWindow, showWindow.
inline std::map<std::string, std::string> readRecord(const fs::path& file) {
  std::map<std::string, std::string> record;
  std::istringstream lines(readAll(file));
  for (std::string line; std::getline(lines, line);) {
    const auto equals = line.find('=');
    if (equals != std::string::npos) record[line.substr(0, equals)] = line.substr(equals + 1);
  }
  return record;
}

/// Waits for a file that a started program makes; a generous bound for a slow machine, not a
/// timing assertion.
inline bool appears(const fs::path& file) {
  for (int i = 0; i < 3000 && !fs::exists(file); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return fs::exists(file);
}

/// Whether the copy recorded in `record` is the file `copy`.
inline bool ranAs(const std::map<std::string, std::string>& record, const fs::path& copy) {
  const auto module = record.find("module");
  if (module == record.end()) return false;
  const std::u8string text(module->second.begin(), module->second.end());
  std::error_code error;
  return fs::equivalent(fs::path(text), copy, error);
}

}  // namespace probe
