// Which reference data a run uses: the description mkref wrote into the base
// directory, checked against the files as they are now.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace qv::cli {

struct ReferenceIdentity {
  std::string dir;                                           // the base directory, ending in '/'
  bool described = false;                                    // a description file was found and read
  std::string name;                                          // from the description
  std::string year;                                          // statistics year or "sample"
  std::string checksum;                                      // recorded by the description
  bool changed = false;                                      // the files differ from what the description recorded
  std::string problem;                                       // why a description file present could not be read
  std::vector<std::pair<std::string, std::uint64_t>> lines;  // lines of every file as read now

  bool sample() const { return described && year == "sample"; }
  // One line for summaries and reports, e.g. "build/ref/: name (sample), checksum 0123...".
  std::string oneLine() const;
};

// Reads the description of dir and counts the lines of files (those the
// description lists, else the given ones).
ReferenceIdentity ReadReferenceIdentity(const std::string& dir, const std::vector<std::string>& files);

// What "quorvant ref-info" prints.
std::string RefInfoText(const ReferenceIdentity& identity);

// The one-line warning for runs on sample tables, empty for other tables.
std::string SampleWarning(const ReferenceIdentity& identity);

}  // namespace qv::cli
