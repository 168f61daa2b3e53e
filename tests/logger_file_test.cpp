// The debug log file: kept open while its directory exists, one line per
// call, in the file when the exported call returns, and following the
// directory when it is removed and created again.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>

#include "foundation/Logger.h"
#include "rules/Rule.h"
#include "quorvant.h"
#include "support/Fixture.h"

namespace {

namespace fs = std::filesystem;
using namespace qv;

// A log directory of the test's own; the log is pointed at it for the test
// and back at the platform's path afterwards.
class LogFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DestroyLogger();
    LookAgain();
  }
  void TearDown() override {
    SetLogFilePath(nullptr);
    DestroyLogger();
    // Back to the state of a process that has not looked at the platform's
    // log directory yet.
    RefreshLogSwitch();
  }

  // The lines of the log file, each without its line end, once the lines
  // gathered so far are handed to it as at the end of an exported call.
  std::vector<std::string> Lines(bool flush = true) const {
    if (flush) FlushLog();
    std::ifstream in(path_, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  // Makes the next RefreshLogSwitch look at the file system at once, as it
  // does a second after its last look.
  void LookAgain() const {
    SetLogFilePath(path_.c_str());
    RefreshLogSwitch();
  }

  qvtest::TempDir temp_;
  const fs::path dir_ = temp_.Path();
  const std::string path_ = temp_.Path() + "debug.txt";
};

// The stamp of a moment in the log's fixed English form.
std::string StampOf(std::time_t t) {
  static const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::tm local = *std::localtime(&t);
  char text[64];
  std::snprintf(text, sizeof text, "%s %s %2d %02d:%02d:%02d %d", kDays[local.tm_wday], kMonths[local.tm_mon],
                local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, local.tm_year + 1900);
  return text;
}

// Every call appends its line, with the same text as the latest log text the
// caller can ask for.
TEST_F(LogFileTest, EachCallAppendsOneLine) {
  const struct { void (*call)(); const char *level, *text; } rows[] = {
      {[] { LogInfo("step %d of %s", 3, "work"); }, "INFO", "step 3 of work"},
      {[] { LogInfo("plain text with 100% and no arguments"); }, "INFO", "plain text with 100% and no arguments"},
      {[] { LogInfo("value %s and %lu", "x", 7ul); }, "INFO", "value x and 7"},
      {[] { LogInfo("Test: %s: %s is 100%% done", "B0301", "Alter"); }, "INFO", "Test: B0301: Alter is 100% done"},
      {[] { LogInfo("[%5s|%-3s]", "ab", "c"); }, "INFO", "[   ab|c  ]"},
      {[] { LogError("could not open '%s'", "x.txt"); }, "ERROR", "could not open 'x.txt'"},
      {[] { LogInfo("after the error %i", -1); }, "INFO", "after the error -1"},
  };
  size_t expectedLines = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    const std::time_t before = std::time(nullptr);
    row.call();
    const std::time_t after = std::time(nullptr);
    std::vector<std::string> lines = Lines();
    ASSERT_EQ(lines.size(), ++expectedLines);
    const std::string& line = lines.back();
    const std::string tail = std::string("\t") + row.level + "\t" + row.text;
    ASSERT_GE(line.size(), tail.size());
    EXPECT_EQ(line.substr(line.size() - tail.size()), tail);
    const std::string stamp = line.substr(0, line.size() - tail.size());
    EXPECT_TRUE(stamp == StampOf(before) || stamp == StampOf(after)) << stamp;
  }
  ClearErrorState();
  EXPECT_STREQ(GetLastErrorText(), "after the error -1");
}

// A text longer than the log's text capacity is cut there, in the file and
// in the latest log text alike.
TEST_F(LogFileTest, LongTextIsCutAtTheCapacity) {
  const std::string longText(kLogTextSize + 100, 'x');
  const std::string cut = "<" + std::string(kLogTextSize - 2, 'x');
  for (int withArgument = 0; withArgument < 2; ++withArgument) {
    if (withArgument) {
      LogInfo("<%s>", longText.c_str());
    } else {
      LogInfo(("<" + longText).c_str());
    }
    EXPECT_EQ(GetLastErrorText(), cut);
    const std::vector<std::string> lines = Lines();
    ASSERT_EQ(lines.size(), static_cast<size_t>(withArgument + 1));
    EXPECT_EQ(lines.back().substr(lines.back().find("\tINFO\t") + 6), cut);
  }
}

// An exported call hands every line it logged to the file before it
// returns, also when it fails.
TEST_F(LogFileTest, ExportedCallLeavesItsLinesInTheFile) {
  ASSERT_EQ(QV_Create((dir_ / "no-such-directory/").string().c_str(), 0), 0xFFFFFFFFu);
  const std::vector<std::string> lines = Lines(false);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_NE(lines.front().find("\tINFO\tEnter QV_Create"), std::string::npos) << lines.front();
  bool error = false;
  for (const std::string& line : lines) error = error || line.find("\tERROR\t") != std::string::npos;
  EXPECT_TRUE(error) << "the refusal's reason is logged";
}

// A format that ends in a line end leaves an empty line after its entry, and
// the time stamp follows the clock from one second to the next.
TEST_F(LogFileTest, LineEndsOfTheTextAndStampOfEachSecond) {
  LogInfo("first\n");
  const std::time_t first = std::time(nullptr);
  while (std::time(nullptr) == first) {
  }
  const std::time_t second = std::time(nullptr);
  LogInfo("second %d", 2);
  std::vector<std::string> lines = Lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2], StampOf(second) + "\tINFO\tsecond 2");
  EXPECT_NE(lines[0].substr(0, 24), lines[2].substr(0, 24));
}

// Removing the directory turns the log off at the next look, creating it
// again turns it on with a new file; the latest log text stays exact
// throughout. Removing only the file gives a new file as well.
TEST_F(LogFileTest, FollowsTheDirectoryAndTheFile) {
  LogInfo("on %d", 1);
  fs::remove_all(dir_);
  LookAgain();
  LogInfo("off %d", 2);
  EXPECT_STREQ(GetLastErrorText(), "off 2") << "kept while the log is off";
  const RuleInfo rule{"B0301", "Alter", 0, {}};
  LogTest(rule);
  EXPECT_STREQ(GetLastErrorText(), "Test: B0301: Alter") << "a test line kept by its rule";
  LogError("failed %s", "while off");
  EXPECT_STREQ(GetLastErrorText(), "#E: failed while off");
  EXPECT_FALSE(fs::exists(dir_)) << "nothing creates the directory";

  fs::create_directory(dir_);
  LogInfo("before the look");
  EXPECT_FALSE(fs::exists(path_) && !Lines().empty()) << "the log stays off until the next look";
  LookAgain();
  LogInfo("back %d", 3);
  std::vector<std::string> lines = Lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("\tINFO\tback 3"), std::string::npos);

  fs::remove(path_);
  LookAgain();
  LogInfo("new file %d", 4);
  lines = Lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("\tINFO\tnew file 4"), std::string::npos);
}

// Destroying the logger closes the file; a later line opens it again and
// appends, and the fresh instance starts from "OK".
TEST_F(LogFileTest, DestroyedLoggerReopensTheFile) {
  LogInfo("one");
  DestroyLogger();
  EXPECT_STREQ(GetLastErrorText(), "OK");
  LogInfo("two");
  std::vector<std::string> lines = Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[1].find("\tINFO\ttwo"), std::string::npos);
}

}  // namespace
