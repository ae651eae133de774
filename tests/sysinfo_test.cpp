// The system-information launcher over a scripted registry, files and program start: which
// place is used when, what is started, what the registry is asked, and the one message.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "FakeFileFinder.h"
#include "FakeRegistry.h"
#include "GetKeyValueCases.h"
#include "RecordingMessageBox.h"
#include "RecordingProgramStarter.h"
#include "RuntimeError.h"
#include "SysInfoLauncher.h"

namespace {

constexpr std::uint32_t kMachine = 0x80000002;
const std::string kPathKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string kPathValue = "PATH";
const std::string kFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const std::string kFolderValue = "MSINFO";
const std::string kUnavailable = "現時点ではｼｽﾃﾑ情報を使用できません";

const std::string kToolPath =
    "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe";
const std::string kFolder = "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo";
const std::string kFolderTool = kFolder + "\\MSINFO32.EXE";

class SysInfoTest : public testing::Test {
protected:
  // Place 2 names a folder that holds the tool; whether place 1 is consulted first is up to
  // the test.
  void fillFolderPlace() {
    m_registry.setText(kMachine, kFolderKey, kFolderValue, kFolder);
    m_files.files.insert(kFolderTool);
  }

  void expectStartedOnce(const std::string& path) {
    ASSERT_EQ(m_starter.starts.size(), 1u);
    EXPECT_TRUE(m_starter.starts[0].exactProgram) << "a path is never split at its blanks";
    EXPECT_EQ(m_starter.starts[0].text, path);
    EXPECT_EQ(m_starter.starts[0].windowStyle, 1);
    EXPECT_TRUE(m_messages.messages.empty());
  }

  void expectOnlyTheMessage() {
    ASSERT_EQ(m_messages.messages.size(), 1u);
    EXPECT_EQ(m_messages.messages[0].text, kUnavailable);
    EXPECT_EQ(m_messages.messages[0].style, 0);
  }

  void expectAllKeysClosed() {
    EXPECT_EQ(m_registry.openKeyCount(), 0u);
    EXPECT_EQ(m_registry.closes.size(), m_registry.opens.size()) << "one close for every open";
  }

  FakeRegistry m_registry;
  FakeFileFinder m_files;
  RecordingProgramStarter m_starter;
  RecordingMessageBox m_messages;
  SysInfoLauncher m_launcher{m_registry, m_files, m_starter, m_messages};
};

// --- Which place names the tool -------------------------------------------------------------

TEST_F(SysInfoTest, ThePathOfPlaceOneIsStartedWholeWithoutLookingFurther) {
  m_registry.setText(kMachine, kPathKey, kPathValue, kToolPath);
  fillFolderPlace();
  m_launcher.StartSysInfo();
  expectStartedOnce(kToolPath);
  EXPECT_TRUE(m_files.asked.empty()) << "the path of place 1 is started untested";
  ASSERT_EQ(m_registry.opens.size(), 1u) << "place 2 is not consulted";
  expectAllKeysClosed();
}

TEST_F(SysInfoTest, OnlyPlaceOneFilledWithAMissingProgramGivesTheMessage) {
  m_registry.setText(kMachine, kPathKey, kPathValue, "C:\\Gone\\msinfo32.exe");
  m_starter.failStarts = true;
  m_launcher.StartSysInfo();
  ASSERT_EQ(m_starter.starts.size(), 1u) << "started although the file is missing";
  EXPECT_EQ(m_starter.starts[0].text, "C:\\Gone\\msinfo32.exe");
  expectOnlyTheMessage();
  EXPECT_EQ(m_registry.opens.size(), 1u) << "a failed start does not fall back to place 2";
}

TEST_F(SysInfoTest, PlaceTwoFolderThatHoldsTheToolStartsIt) {
  fillFolderPlace();
  m_launcher.StartSysInfo();
  expectStartedOnce(kFolderTool);
  EXPECT_EQ(m_files.asked, std::vector<std::string>{kFolderTool});
  ASSERT_EQ(m_registry.opens.size(), 2u);
  EXPECT_EQ(m_registry.opens[0].keyPath, kPathKey) << "place 1 is tried first";
  EXPECT_EQ(m_registry.opens[1].keyPath, kFolderKey);
  expectAllKeysClosed();
}

TEST_F(SysInfoTest, PlaceTwoFolderWithoutTheToolGivesTheMessage) {
  m_registry.setText(kMachine, kFolderKey, kFolderValue, kFolder);
  m_launcher.StartSysInfo();
  EXPECT_EQ(m_files.asked, std::vector<std::string>{kFolderTool});
  EXPECT_TRUE(m_starter.starts.empty());
  expectOnlyTheMessage();
}

TEST_F(SysInfoTest, PlaceTwoFolderEndingInASeparatorIsUsedAsItStands) {
  m_registry.setText(kMachine, kFolderKey, kFolderValue, "C:\\Tools\\");
  m_files.files.insert("C:\\Tools\\\\MSINFO32.EXE");
  m_launcher.StartSysInfo();
  EXPECT_EQ(m_files.asked, std::vector<std::string>{"C:\\Tools\\\\MSINFO32.EXE"});
  expectStartedOnce("C:\\Tools\\\\MSINFO32.EXE");
}

TEST_F(SysInfoTest, NeitherPlaceFilledGivesTheMessageAndNothingElse) {
  m_launcher.StartSysInfo();
  EXPECT_TRUE(m_starter.starts.empty());
  EXPECT_TRUE(m_files.asked.empty());
  expectOnlyTheMessage();
  EXPECT_EQ(m_registry.opens.size(), 2u);
  expectAllKeysClosed();
}

// A value that cannot be a path makes place 1 count as empty, so place 2 still finds the tool.
TEST_F(SysInfoTest, PlaceOneWithAValueThatIsNoPathFallsBackToPlaceTwo) {
  const FakeRegistry::Value notAPath[] = {
      {3, std::string("C:\\x\0", 5)},                          // binary
      {2, std::string("%ProgramFiles%\\msinfo32.exe\0", 29)},  // text with variables
      {7, std::string("a\0b\0\0", 5)},                         // several texts
      {kRegSz, std::string(1024, 'C')},  // fills the buffer with no closing zero
      {kRegSz, std::string(1024, 'C') + std::string(1, '\0')},  // does not fit at all
  };
  for (const FakeRegistry::Value& value : notAPath) {
    SCOPED_TRACE("type " + std::to_string(value.type) + ", " + std::to_string(value.bytes.size()) +
                 " bytes");
    FakeRegistry registry;
    FakeFileFinder files;
    RecordingProgramStarter starter;
    RecordingMessageBox messages;
    registry.setValue(kMachine, kPathKey, kPathValue, value);
    registry.setText(kMachine, kFolderKey, kFolderValue, kFolder);
    files.files.insert(kFolderTool);
    SysInfoLauncher(registry, files, starter, messages).StartSysInfo();
    ASSERT_EQ(starter.starts.size(), 1u);
    EXPECT_EQ(starter.starts[0].text, kFolderTool);
    EXPECT_TRUE(messages.messages.empty());
  }
}

TEST_F(SysInfoTest, APathOf1023BytesWithItsClosingZeroFitsTheBuffer) {
  const std::string longPath = "C:\\" + std::string(1014, 'd') + "\\t.exe";
  ASSERT_EQ(longPath.size(), 1023u);
  m_registry.setText(kMachine, kPathKey, kPathValue, longPath);
  m_launcher.StartSysInfo();
  expectStartedOnce(longPath);
}

// Read access is all it takes: a user who may only read the machine's keys gets the tool.
TEST_F(SysInfoTest, KeysThatGrantOnlyReadingStillGiveTheTool) {
  m_registry.setText(kMachine, kPathKey, kPathValue, kToolPath);
  m_registry.grantOnly(kMachine, kPathKey, 0x20019);
  m_launcher.StartSysInfo();
  expectStartedOnce(kToolPath);
}

// --- What the registry is asked ---------------------------------------------------------------

TEST_F(SysInfoTest, TheRegistryIsAskedWithExactlyTheseArgumentsAndEveryKeyIsClosed) {
  // Place 1's key exists without its value; place 2's key is missing.
  m_registry.setText(kMachine, kPathKey, "Other", "x");
  m_launcher.StartSysInfo();

  ASSERT_EQ(m_registry.opens.size(), 2u);
  for (const FakeRegistry::OpenCall& open : m_registry.opens) {
    EXPECT_EQ(open.root, 0x80000002u);
    EXPECT_EQ(open.options, 0u);
    EXPECT_EQ(open.access, 0x20019u) << "read access, never write rights";
  }
  EXPECT_EQ(m_registry.opens[0].keyPath, kPathKey);
  EXPECT_EQ(m_registry.opens[0].result, 0);
  EXPECT_EQ(m_registry.opens[1].keyPath, kFolderKey);
  EXPECT_EQ(m_registry.opens[1].result, 2);

  ASSERT_EQ(m_registry.queries.size(), 1u) << "a key that did not open is not read";
  EXPECT_EQ(m_registry.queries[0].key, m_registry.opens[0].key);
  EXPECT_EQ(m_registry.queries[0].valueName, kPathValue);
  EXPECT_EQ(m_registry.queries[0].bufferSize, 1024u);
  EXPECT_TRUE(m_registry.queries[0].bufferZeroed);

  // Each key closed with its own handle; the one that did not open with handle 0.
  EXPECT_EQ(m_registry.closes, (std::vector<RegistryKey>{m_registry.opens[0].key, 0}));
  expectOnlyTheMessage();
}

TEST_F(SysInfoTest, EachPressTriesEverythingAgain) {
  fillFolderPlace();
  m_launcher.StartSysInfo();
  m_launcher.StartSysInfo();
  ASSERT_EQ(m_starter.starts.size(), 2u) << "nothing checks for a running copy";
  EXPECT_EQ(m_starter.starts[1].text, kFolderTool);
  EXPECT_EQ(m_registry.opens.size(), 4u);

  // After the message, the next press starts from place 1 again and can succeed.
  FakeRegistry registry;
  FakeFileFinder files;
  RecordingProgramStarter starter;
  RecordingMessageBox messages;
  SysInfoLauncher launcher(registry, files, starter, messages);
  launcher.StartSysInfo();
  ASSERT_EQ(messages.messages.size(), 1u);
  registry.setText(kMachine, kPathKey, kPathValue, kToolPath);
  launcher.StartSysInfo();
  ASSERT_EQ(starter.starts.size(), 1u);
  EXPECT_EQ(messages.messages.size(), 1u);
}

// --- Failures on the way -----------------------------------------------------------------------

TEST_F(SysInfoTest, AnyFailureOfAServiceBecomesTheOneMessage) {
  struct Case {
    const char* name;
    std::function<void(FakeRegistry&, FakeFileFinder&, RecordingProgramStarter&)> arrange;
  };
  const auto unbound = [](const std::string& which) {
    return [which](const std::string& call) {
      if (call == which) throw RuntimeError(ErrorKind::LibraryEntryPoint, "advapi32: " + which);
    };
  };
  const Case cases[] = {
      {"registry library missing at the open",
       [&](FakeRegistry& r, FakeFileFinder&, RecordingProgramStarter&) {
         r.setText(kMachine, kPathKey, kPathValue, kToolPath);
         r.fault = unbound("open");
       }},
      {"registry function missing at the read",
       [&](FakeRegistry& r, FakeFileFinder&, RecordingProgramStarter&) {
         r.setText(kMachine, kPathKey, kPathValue, kToolPath);
         r.fault = unbound("query");
       }},
      {"registry function missing at the close",
       [&](FakeRegistry& r, FakeFileFinder&, RecordingProgramStarter&) {
         r.setText(kMachine, kPathKey, kPathValue, kToolPath);
         r.fault = unbound("close");
       }},
      {"file test fails",
       [](FakeRegistry& r, FakeFileFinder& f, RecordingProgramStarter&) {
         r.setText(kMachine, kFolderKey, kFolderValue, kFolder);
         f.fault = [] { throw std::runtime_error("listing failed"); };
       }},
      {"start raises the program-start error",
       [](FakeRegistry& r, FakeFileFinder&, RecordingProgramStarter& s) {
         r.setText(kMachine, kPathKey, kPathValue, kToolPath);
         s.failStarts = true;
       }},
      {"start runs out of memory",
       [](FakeRegistry& r, FakeFileFinder&, RecordingProgramStarter& s) {
         r.setText(kMachine, kPathKey, kPathValue, kToolPath);
         s.fault = [] { throw std::bad_alloc(); };
       }},
      {"start throws something that is no exception class",
       [](FakeRegistry& r, FakeFileFinder&, RecordingProgramStarter& s) {
         r.setText(kMachine, kPathKey, kPathValue, kToolPath);
         s.fault = [] { throw 42; };
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeRegistry registry;
    FakeFileFinder files;
    RecordingProgramStarter starter;
    RecordingMessageBox messages;
    c.arrange(registry, files, starter);
    SysInfoLauncher launcher(registry, files, starter, messages);
    EXPECT_NO_THROW(launcher.StartSysInfo());
    ASSERT_EQ(messages.messages.size(), 1u) << "the message is the only report";
    EXPECT_EQ(messages.messages[0].text, kUnavailable);
    EXPECT_EQ(messages.messages[0].style, 0);
  }
}

TEST_F(SysInfoTest, AMessageBoxThatFailsEndsTheClickQuietly) {
  struct ThrowingMessageBox final : MessageBoxService {
    void showMessage(const std::string&, int) override { throw std::runtime_error("no display"); }
  } messages;
  SysInfoLauncher launcher(m_registry, m_files, m_starter, messages);
  EXPECT_NO_THROW(launcher.StartSysInfo());
}

// --- GetKeyValue on its own ---------------------------------------------------------------------

// The scripted registry for the cases every registry shares; it can also tell that every key
// it opened was closed again.
class FakeRegistryUnderTest {
public:
  static constexpr std::uint32_t kRoot = kMachine;

  const std::string& keyPath() const { return m_keyPath; }
  FakeRegistry& registry() { return m_registry; }
  void put(const std::string& name, std::uint32_t type, const std::string& bytes) {
    m_registry.setValue(kRoot, m_keyPath, name, {type, bytes});
  }
  void allowOnlyReading() { m_registry.grantOnly(kRoot, m_keyPath, kKeyRead); }
  void expectAllKeysClosed() {
    EXPECT_EQ(m_registry.openKeyCount(), 0u);
    EXPECT_EQ(m_registry.closes.size(), m_registry.opens.size()) << "one close for every open";
  }

private:
  const std::string m_keyPath = "SOFTWARE\\Test";
  FakeRegistry m_registry;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Fake, GetKeyValueTest, FakeRegistryUnderTest);

// What only the scripted registry can do: convert by a known rule, refuse reading, fail calls.
class FakeGetKeyValueTest : public GetKeyValueTest<FakeRegistryUnderTest> {
protected:
  FakeRegistry& m_registry = m_under.registry();
};

// The system's bytes are turned into the program's text (the fake reads them as Latin-1).
TEST_F(FakeGetKeyValueTest, ATextValueIsConvertedToTheProgramsText) {
  std::string value;
  putText("V", "Caf\xE9");
  EXPECT_TRUE(read(value));
  EXPECT_EQ(value, "Caf\xC3\xA9");
}

TEST_F(FakeGetKeyValueTest, AKeyThatCannotBeOpenedIsNoValueAndClosedAsHandleZero) {
  std::string value;
  EXPECT_FALSE(read(value)) << "missing key";
  EXPECT_EQ(value, "");
  EXPECT_EQ(m_registry.closes, std::vector<RegistryKey>{0}) << "closed although not open";

  putText("V", "x");
  m_registry.grantOnly(kMachine, m_under.keyPath(), 0x20000);
  EXPECT_FALSE(read(value)) << "access denied";
  EXPECT_EQ(value, "");
}

// A key whose close fails stays open in the fake, so this case is not one of the above.
TEST_F(SysInfoTest, ARegistryThatCannotBeCalledPassesItsErrorOnAndClosesTheKey) {
  m_registry.setText(kMachine, "SOFTWARE\\Test", "V", "x");
  const auto read = [this](std::string& value) {
    return m_launcher.GetKeyValue(kMachine, "SOFTWARE\\Test", "V", value);
  };
  m_registry.fault = [](const std::string& call) {
    if (call == "query") throw RuntimeError(ErrorKind::LibraryEntryPoint, "RegQueryValueExA");
  };
  std::string value;
  try {
    read(value);
    ADD_FAILURE() << "the error was swallowed";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::LibraryEntryPoint);
  }
  ASSERT_EQ(m_registry.opens.size(), 1u);
  EXPECT_EQ(m_registry.closes, std::vector<RegistryKey>{m_registry.opens[0].key});

  // A close that fails as well does not hide the first error.
  m_registry.fault = [](const std::string& call) {
    if (call != "open") throw std::runtime_error(call);
  };
  try {
    read(value);
    ADD_FAILURE() << "the error was swallowed";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "query");
  }
}

}  // namespace
