#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <system_error>

/// A fresh, empty folder for the running test, named after it, removed with all it holds.
class TestFolder {
public:
  explicit TestFolder(const std::string& prefix)
      : m_path(std::filesystem::temp_directory_path() /
               (prefix + "-" + std::to_string(Stamp()) + "-" + TestName())) {
    std::filesystem::remove_all(m_path);
    std::filesystem::create_directories(m_path);
  }
  ~TestFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  const std::filesystem::path& path() const { return m_path; }

private:
  static std::string TestName() {
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    return info != nullptr ? info->name() : "test";
  }
  // Tells apart folders of test runs that overlap, as the process id would.
  static long long Stamp() { return std::chrono::steady_clock::now().time_since_epoch().count(); }

  std::filesystem::path m_path;
};
