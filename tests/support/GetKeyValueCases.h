#pragma once
// The cases of GetKeyValue that hold for every registry, written once. A test program runs them
// over its registry with an adaptor class that owns a test key and offers:
//   static constexpr std::uint32_t kRoot;   the root the key lies below
//   const std::string& keyPath() const;
//   Registry& registry();                   what the launcher reads through
//   void put(name, type, bytes);            stores exactly these bytes as a value of the key
//   void allowOnlyReading();                leaves everyone only the right to read the key
//   void expectAllKeysClosed();             whatever the registry can tell of open keys
// and instantiates them: INSTANTIATE_TYPED_TEST_SUITE_P(Name, GetKeyValueTest, Adaptor).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "FakeFileFinder.h"
#include "RecordingMessageBox.h"
#include "RecordingProgramStarter.h"
#include "Registry.h"
#include "SysInfoLauncher.h"

template <class RegistryUnderTest>
class GetKeyValueTest : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_FALSE(testing::Test::HasFailure()) << "the test key could not be made";
  }
  void TearDown() override { m_under.expectAllKeysClosed(); }

  void putText(const std::string& name, const std::string& text) {
    m_under.put(name, kRegSz, text + std::string(1, '\0'));
  }

  // Reads the value from a stale text, so that every result is seen written.
  bool read(std::string& value, const std::string& name = "V",
            std::uint32_t root = RegistryUnderTest::kRoot, const std::string& suffix = "") {
    value = "stale";
    return m_launcher.GetKeyValue(root, m_under.keyPath() + suffix, name, value);
  }

  RegistryUnderTest m_under;
  FakeFileFinder m_files;
  RecordingProgramStarter m_starter;
  RecordingMessageBox m_messages;
  SysInfoLauncher m_launcher{m_under.registry(), m_files, m_starter, m_messages};
};

TYPED_TEST_SUITE_P(GetKeyValueTest);

TYPED_TEST_P(GetKeyValueTest, ATextValueIsReadUpToItsFirstZeroByte) {
  struct Case {
    const char* name;
    std::string bytes;
    bool found;
    std::string value;
  };
  const std::string z(1, '\0');
  const Case cases[] = {
      {"with its zero", "C:\\Windows" + z, true, "C:\\Windows"},
      {"with blanks", "C:\\Program Files\\Tool\\tool.exe" + z, true,
       "C:\\Program Files\\Tool\\tool.exe"},
      // Stored without a closing zero but shorter than the buffer: the buffer's own zeros end it.
      {"without its zero", "C:\\Tools", true, "C:\\Tools"},
      {"two texts", std::string("abc\0def\0", 8), true, "abc"},
      {"empty", z, true, ""},
      // 1023 bytes and the closing zero fill the 1024-byte buffer exactly.
      {"1023 bytes", std::string(1023, 'a') + z, true, std::string(1023, 'a')},
      {"1023 bytes without a zero", std::string(1023, 'b'), true, std::string(1023, 'b')},
      // 1024 bytes and no zero fill the buffer with no end: it may have been cut, so no value.
      {"1024 bytes without a zero", std::string(1024, 'c'), false, ""},
      // 1024 bytes and their zero do not fit: the registry answers "more data", no value.
      {"1024 bytes", std::string(1024, 'd') + z, false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string value;
    this->m_under.put("V", kRegSz, c.bytes);
    EXPECT_EQ(this->read(value), c.found);
    EXPECT_EQ(value, c.value);
  }
}

TYPED_TEST_P(GetKeyValueTest, ANumberValueGivesItsDecimalText) {
  const std::pair<std::uint32_t, const char*> numbers[] = {
      {0, "0"},
      {1, "1"},
      {256, "256"},
      {0x00010000, "65536"},
      {0x00010203, "66051"},
      {0x01000000, "16777216"},
      {0x12345678, "305419896"},
      {0xFFFFFFFF, "4294967295"},
  };
  for (const auto& [number, text] : numbers) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((number >> (8 * i)) & 0xFF);
    this->m_under.put("V", kRegDword, bytes);
    std::string value;
    EXPECT_TRUE(this->read(value)) << number;
    EXPECT_EQ(value, text);
  }
}

TYPED_TEST_P(GetKeyValueTest, AValueOfAnotherTypeIsNoValue) {
  const std::pair<std::uint32_t, std::string> values[] = {
      {0, std::string("text\0", 5)},
      {2, std::string("text\0", 5)},
      {3, std::string("text\0", 5)},
      {7, std::string("text\0", 5)},
      {11, std::string("text\0", 5)},
      {3, std::string("C:\\x\0", 5)},                 // binary
      {2, std::string("%SystemRoot%\\x.exe\0", 19)},  // text with variables
      {7, std::string("a\0b\0\0", 5)},                // several texts
  };
  for (const auto& [type, bytes] : values) {
    this->m_under.put("V", type, bytes);
    std::string value;
    EXPECT_FALSE(this->read(value)) << "type " << type;
    EXPECT_EQ(value, "");
  }
}

TYPED_TEST_P(GetKeyValueTest, AMissingKeyOrValueIsNoValue) {
  this->putText("Other", "x");
  std::string value;
  EXPECT_FALSE(this->read(value, "V", TypeParam::kRoot, "\\missing")) << "missing key";
  EXPECT_EQ(value, "");
  EXPECT_FALSE(this->read(value)) << "the key holds no value V";
  EXPECT_EQ(value, "");
  const std::uint32_t otherRoot =
      TypeParam::kRoot == kHkeyLocalMachine ? 0x80000001 : kHkeyLocalMachine;
  this->putText("V", "x");
  EXPECT_FALSE(this->read(value, "V", otherRoot)) << "another root";
  EXPECT_EQ(value, "");
}

// Read access is all it takes: a user who may only read the key still gets its value.
TYPED_TEST_P(GetKeyValueTest, AKeyThatOnlyAllowsReadingIsStillRead) {
  this->putText("V", "C:\\Tools");
  this->m_under.allowOnlyReading();
  std::string value;
  EXPECT_TRUE(this->read(value));
  EXPECT_EQ(value, "C:\\Tools");
}

REGISTER_TYPED_TEST_SUITE_P(GetKeyValueTest, ATextValueIsReadUpToItsFirstZeroByte,
                            ANumberValueGivesItsDecimalText, AValueOfAnotherTypeIsNoValue,
                            AMissingKeyOrValueIsNoValue, AKeyThatOnlyAllowsReadingIsStillRead);
