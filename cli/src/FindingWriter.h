// Writes findings in the four output formats.
#pragma once

#include <cstdio>
#include <string>

#include "Finding.h"

namespace qv::cli {

enum class OutputFormat { Text, Csv, Json, Host };

class FindingWriter {
 public:
  FindingWriter(OutputFormat format, std::FILE* out) : format_(format), out_(out) {}

  // Writes what comes before the first finding (the CSV header row).
  void begin();
  // Writes the findings of one item of the named file.
  void write(const std::string& fileName, const ItemResult& result);
  // False once a write to the output failed.
  bool ok() const { return ok_; }

  // One finding as the given format shows it (without host lines).
  static std::string Render(OutputFormat format, const std::string& fileName, const ItemResult& item,
                            const Finding& finding);

 private:
  void put(const std::string& text);

  OutputFormat format_;
  std::FILE* out_;
  bool ok_ = true;
};

}  // namespace qv::cli
