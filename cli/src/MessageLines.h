// The message line format the command gives the library, and the reading of
// the message list back into findings with file line numbers.
//
// Each finding is written as its fields separated by 0x1F, then CR, the value,
// CR and, when the host lines are wanted too, the host's own line followed by
// CR. A CR can only come from the literals of a format (the library cuts
// record lines at CR, and message texts lose their CRs when they are read),
// so counting CRs finds the parts without ambiguity.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Finding.h"

namespace qv::cli {

class MessageFormat {
 public:
  // Without host lines.
  MessageFormat();
  // With the host's format (it gets "\r\n" at its end when it has no line end,
  // as the library does with a format of its own).
  explicit MessageFormat(const std::string& hostFormat);

  const std::string& text() const { return text_; }
  bool withHostLines() const { return hostCrCount_ >= 0; }
  int hostCrCount() const { return hostCrCount_; }

 private:
  std::string text_;
  int hostCrCount_ = -1;
};

// How call lines map to file lines for one call.
struct LineMapping {
  const std::uint64_t* lines = nullptr;  // file line of call line k at index k - 1
  std::size_t lineCount = 0;
  std::uint64_t caseLine = 0;            // used for lines outside the map
  bool dropHeaderFindings = false;       // leave out findings of call line 1 (the MX line)

  std::uint64_t fileLine(long callLine) const;
};

// Reads a message list of one call. Findings are appended to findings and
// host lines (when the format has them) to hostText. Returns false when the
// list does not have the expected shape; what was read so far is kept.
bool ParseMessageList(const char* list, const MessageFormat& format, const LineMapping& mapping,
                      std::vector<Finding>& findings, std::string& hostText);

// The text of a failed run ("#E: ..." without that mark), with the call line
// numbers it names replaced by file line numbers; line receives the file line
// of the first one (the case line when it names none).
std::string StructuralText(const std::string& errorText, const LineMapping& mapping, std::uint64_t& line);

// The text with the numbers after "line " replaced by "...", so that the
// summary groups structural findings of one kind.
std::string WithoutLineNumbers(const std::string& text);

// The library builds each message line in a buffer of this size, NUL included.
constexpr std::size_t kMessageLineCapacity = 16384;

// The most bytes a line of a format can take: its literal text plus the
// longest expansion of each key. Fields of a case together stay below
// caseBytes, so field keys count caseBytes times the most uses of one field;
// longestText is the longest message text of the catalogue.
std::size_t LongestLine(const std::string& format, std::size_t longestText, std::size_t caseBytes);
// The field number a message text shows where its template has "%i" (the
// library fills in the field that holds a forbidden character); 0 when the
// template has none or the text does not match it.
int FieldNumberIn(const std::string& templateText, const std::string& text);

// The template with "%i" replaced by the given text.
std::string WithFieldNumber(const std::string& templateText, const std::string& number);

// Checks a host format for keys the library would reject. Returns an empty
// text when it is fine, else the reason.
std::string CheckFormatString(const std::string& format);

}  // namespace qv::cli
