// Prepares the lines of an input file for the library: drops a UTF-8
// byte-order mark, chooses the file's encoding when it is "auto", converts
// each line to ISO 8859-1 and turns what cannot be converted into findings.
#pragma once

#include <istream>
#include <string>
#include <vector>

#include "Finding.h"
#include "LineReader.h"
#include "TextCoding.h"
#include "UiTexts.h"

namespace qv::cli {

class InputDecoder {
 public:
  InputDecoder(InputEncoding chosen, const UiTexts& texts) : chosen_(chosen), texts_(texts) {}

  // Starts a file. For auto, a file that can be read twice (a regular file)
  // is given as content, which is read through when the first line that is
  // not plain ASCII comes (plain ASCII reads the same in every encoding); for
  // others (standard input, pipes) that line decides.
  void startFile(std::istream* content);
  // Converts the line in place and appends findings about it.
  void decode(Line& line, std::vector<Finding>& findings);

  // The encoding of the current file; Auto while it has shown only ASCII.
  InputEncoding encoding() const { return current_; }
  // The encoding asked for (Auto when it is detected per file).
  InputEncoding chosen() const { return chosen_; }

 private:
  void use(InputEncoding encoding);

  InputEncoding chosen_;
  const UiTexts& texts_;
  InputEncoding current_ = InputEncoding::Auto;
  std::istream* content_ = nullptr;  // the whole file, while its encoding is not chosen yet
  std::unique_ptr<Latin1Converter> converter_;
};

// What auto makes of a whole file: UTF-8 when it starts with the byte-order
// mark or is valid UTF-8 throughout, else Windows-1252.
InputEncoding DetectEncoding(std::istream& content);

}  // namespace qv::cli
