// Writes findings in the four output formats.
#pragma once

#include <cstdio>
#include <string>

#include "Finding.h"

namespace qv::cli {

enum class OutputFormat { Text, Csv, Json, Host };

class FindingWriter {
 public:
  // excel: CSV for spreadsheets (UTF-8 byte-order mark, ";" between fields).
  FindingWriter(OutputFormat format, std::FILE* out, bool excel = false)
      : format_(format), out_(out), excel_(excel) {}

  // Writes what comes before the first finding (the CSV header row).
  void begin();
  // Writes the findings of one item of the named file.
  void write(const std::string& fileName, const ItemResult& result);
  // False once a write to the output failed.
  bool ok() const { return ok_; }

  // One finding as the given format shows it (without host lines).
  static std::string Render(OutputFormat format, const std::string& fileName, const ItemResult& item,
                            const Finding& finding, bool excel = false);

 private:
  void put(const std::string& text);

  OutputFormat format_;
  std::FILE* out_;
  bool excel_;
  bool ok_ = true;
};

}  // namespace qv::cli
