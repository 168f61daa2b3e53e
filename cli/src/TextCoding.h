// Character set and quoting helpers for the output formats.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace qv::cli {

// Character sets of input files. Auto: UTF-8 when the file is valid UTF-8 or
// starts with the UTF-8 byte-order mark, else Windows-1252.
enum class InputEncoding { Auto, Utf8, Cp1252, Latin1 };

// Reads "auto", "utf-8" (or "utf8"), "cp1252" (or "windows-1252"), "latin1"
// (or "iso-8859-1"); false for anything else.
bool ParseInputEncoding(const std::string& name, InputEncoding& encoding);

// Converts text of one input encoding to ISO 8859-1, the character set the
// library reads. One converter per file; the implementation lives in one
// platform file (iconv here).
class Latin1Converter {
 public:
  // A character without an ISO 8859-1 form, or bytes that are not a character
  // of the source encoding; each became one '?' in the converted text.
  struct Problem {
    std::size_t offset = 0;   // where the '?' stands in the converted text
    std::string original;     // the character in UTF-8, or the bytes as \xNN
    bool undecodable = false; // the bytes are no character of the source encoding
  };

  // source must not be Auto.
  explicit Latin1Converter(InputEncoding source);
  ~Latin1Converter();
  Latin1Converter(const Latin1Converter&) = delete;
  Latin1Converter& operator=(const Latin1Converter&) = delete;

  // Converts text in place; problems receives what could not be converted.
  void convert(std::string& text, std::vector<Problem>& problems);

 private:
  struct Impl;
  InputEncoding source_;
  std::unique_ptr<Impl> impl_;
};

// Length of the valid UTF-8 sequence at text[pos], 0 when the bytes there are
// not one (overlong forms, surrogates and code points above U+10FFFF are not).
// A sequence cut by the end of the text counts as invalid unless
// allowCut is true, in which case -1 is returned for it.
int Utf8SequenceLength(const char* text, std::size_t size, std::size_t pos, bool allowCut = false);

// The text with every byte that is not part of valid UTF-8 written as \xNN.
std::string ValidUtf8(const std::string& text);

// The library and its data use the Windows code page; the reports are UTF-8.
std::string CodePageToUtf8(const std::string& text);
// Back to the code page, for the host format; characters outside it become '?'.
std::string Utf8ToCodePage(const std::string& text);

// One CSV field after RFC 4180: quoted when it holds the separator, a quote,
// CR or LF.
std::string CsvField(const std::string& text, char separator = ',');
// A JSON string literal, quotes included (the text must be UTF-8).
std::string JsonString(const std::string& text);
// Control characters as \xNN, so that a finding stays on one line.
std::string EscapeControls(const std::string& text);
// Text for HTML element content.
std::string HtmlEscape(const std::string& text);

}  // namespace qv::cli
