// Logger state transitions and the output buffer.
#include <gtest/gtest.h>

#include <filesystem>

#include "foundation/Logger.h"
#include "foundation/Platform.h"
#include "foundation/tBuffer.h"
#include "support/Fixture.h"

namespace {

using namespace qv;

// The texts and the log file are in logger_file_test; here the error state.
TEST(Logger, ErrorStateAndOverlongTexts) {
  DestroyLogger();
  EXPECT_EQ(GetErrorState(), 0);
  LogInfo("step %d", 3);
  EXPECT_EQ(GetErrorState(), 0);
  LogError("could not open '%s'", "x.txt");
  EXPECT_EQ(GetErrorState(), -1);
  LogInfo("later %i", 1);
  EXPECT_STREQ(GetLastErrorText(), "#E: could not open 'x.txt'") << "info lines never hide an error";
  ClearErrorState();
  EXPECT_EQ(GetErrorState(), 0);
  std::string huge(40000, 'x');
  LogError("%s", huge.c_str());
  EXPECT_EQ(std::string(GetLastErrorText()).size(), static_cast<size_t>(kLogTextSize - 1))
      << "truncated to the text field, never beyond";
  DestroyLogger();
}

using qvtest::Text;

// Texts flow across the 1024-byte blocks; after a reset only the new text
// shows, in recycled blocks.
TEST(Buffer, WritesAcrossBlocksAndResets) {
  tBuffer b(1);
  std::string text;
  for (int i = 0; i < 2500; ++i) text += static_cast<char>('a' + i % 26);
  b.WriteToBuffer(text.c_str(), static_cast<int>(text.size()));
  EXPECT_EQ(b.TotalUsedSize, 2500);
  EXPECT_EQ(Text(b), text);
  b.ResetBuffer();
  EXPECT_EQ(Text(b), "");
  const std::string block(1024, 'z');
  b.WriteToBuffer(block.c_str(), 1024);  // fills the first block exactly
  b.WriteToBuffer("abc", -1);            // -1: up to the NUL
  b.WriteToBuffer("def", 0);             // 0 or less: nothing
  b.WriteToBuffer("ghi", -2);
  b.WriteToBuffer("jkl", 2);
  EXPECT_EQ(Text(b), block + "abcjk");
  EXPECT_EQ(b.AllocatedBlockCount, 3) << "blocks are recycled, not allocated again";
}

TEST(Buffer, TempFileIsReusedAndDeletedWithTheBuffer) {
  std::string name;
  {
    tBuffer b(1);
    b.WriteToBuffer("first", -1);
    name = b.WriteBufferToTempFile();
    ASSERT_FALSE(name.empty());
    b.ResetBuffer();
    b.WriteToBuffer("2nd", -1);
    EXPECT_EQ(std::string(b.WriteBufferToTempFile()), name);
    EXPECT_EQ(qvtest::ReadFile(name), "2nd") << "exactly the buffer's text, no NUL";
  }
  EXPECT_FALSE(std::filesystem::exists(name)) << "deleted by the destructor";
}

TEST(Buffer, UnwritableFileIsReportedAndLeavesBufferAlone) {
  DestroyLogger();
  tBuffer b(1);
  b.WriteToBuffer("keep", -1);
  b.WriteBufferToFile("/nonexistent/dir/file.txt");
  EXPECT_EQ(GetErrorState(), -1);
  EXPECT_STREQ(GetLastErrorText(), "#E: Could not open output file '/nonexistent/dir/file.txt'");
  EXPECT_EQ(Text(b), "keep");
  DestroyLogger();
}

// Every byte of the size UnsharedSize names is usable, also where memory
// that children read is given whole huge pages, and a freed range comes back
// for the same size.
TEST(Platform, UnsharedRangesHoldTheSizeTheyName) {
  for (std::size_t bytes : {std::size_t{1}, std::size_t{65537}, std::size_t{600} << 10, std::size_t{3} << 20}) {
    for (bool readByChildren : {false, true}) {
      SCOPED_TRACE(std::to_string(bytes) + (readByChildren ? " read by children" : ""));
      const std::size_t size = platform::UnsharedSize(bytes, readByChildren);
      ASSERT_GE(size, bytes);
      EXPECT_GE(size, platform::UnsharedSize(bytes));
      auto* memory = static_cast<unsigned char*>(platform::AllocateUnshared(size));
      ASSERT_NE(memory, nullptr);
      memory[0] = 1;
      memory[size - 1] = 2;
      platform::FreeUnshared(memory, size);
      void* again = platform::AllocateUnshared(size);
#ifndef _WIN32  // there the C heap serves the ranges
      EXPECT_EQ(again, memory);
#endif
      platform::FreeUnshared(again, size);
    }
  }
}

}  // namespace
