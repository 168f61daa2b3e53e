#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "LineReader.h"

namespace qv::cli {
namespace {

// Feeds text through a pipe and collects the lines, with a small read buffer
// so that lines cross buffer borders.
struct Read {
  std::string text;  // kept: a Line's text lasts until the next line is read
  std::uint64_t number;
  std::size_t length;
  bool hasNul;
};
std::vector<Read> ReadAll(const std::string& text, std::size_t bufferSize = 7) {
  int fds[2];
  EXPECT_EQ(::pipe(fds), 0);
  EXPECT_EQ(::write(fds[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
  ::close(fds[1]);
  LineReader reader(fds[0], bufferSize);
  std::vector<Read> lines;
  Line line;
  while (reader.next(line)) lines.push_back({std::string(line.text), line.number, line.length, line.hasNul});
  ::close(fds[0]);
  return lines;
}

TEST(LineReader, AcceptsCrLfAndLfLineEndsAndNoticesNulBytes) {
  struct Case { std::string input; std::vector<std::string> lines; } cases[] = {
      {"MB|a|\r\nMD|b|\r\n", {"MB|a|", "MD|b|"}},
      {"MB|a|\nMD|b|\n", {"MB|a|", "MD|b|"}},
      {"MB|a|\r\nMD|b|\nMK|c|", {"MB|a|", "MD|b|", "MK|c|"}},  // mixed, last line without end
      {"\r\n\n", {"", ""}},
      {"", {}},
      {"x\ry\r\n", {"x\ry"}},  // a CR inside a line stays content
      {std::string("MB|a\0b|\r\nMD|\r\n", 13), {std::string("MB|a\0b|", 7), "MD|"}},
      {std::string("a\0\nb\nc\0\0\n\0", 10), {std::string("a\0", 2), "b", std::string("c\0\0", 3), std::string(1, '\0')}},
  };
  // Lines across reads, and many lines in one read.
  for (std::size_t bufferSize : {7u, 4096u}) {
    for (const Case& c : cases) {
      std::vector<Read> lines = ReadAll(c.input, bufferSize);
      ASSERT_EQ(lines.size(), c.lines.size()) << c.input;
      for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].text, c.lines[i]);
        EXPECT_EQ(lines[i].length, c.lines[i].size());
        EXPECT_EQ(lines[i].number, i + 1);
        EXPECT_EQ(lines[i].hasNul, c.lines[i].find('\0') != std::string::npos);
      }
    }
  }
}

TEST(LineReader, CutsOverlongLinesButCountsTheirLength) {
  std::string longLine(LineReader::kMaxKept + 5000, 'x');
  std::vector<Read> lines = ReadAll(longLine + "\r\nMB|\r\n", 4096);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text.size(), LineReader::kMaxKept);
  EXPECT_EQ(lines[0].length, longLine.size());
  EXPECT_EQ(lines[1].text, "MB|");
  EXPECT_EQ(lines[1].number, 2u);
}

}  // namespace
}  // namespace qv::cli
