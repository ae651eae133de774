#pragma once
// A folder of scratch files for the tests of the system's file test.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "FileFinder.h"
#include "TestFolder.h"

class FileFinderTest : public testing::Test {
protected:
  std::string makeFile(const std::filesystem::path& relative) {
    const std::filesystem::path file = m_dir / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file) << "x";
    return file.string();
  }

  TestFolder m_folder{"th-finder"};
  const std::filesystem::path m_dir = m_folder.path();
  SystemFileFinder m_finder;
};
