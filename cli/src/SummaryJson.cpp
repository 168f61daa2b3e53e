#include "SummaryJson.h"

#include <nlohmann/json.hpp>

namespace qv::cli {

std::string SummaryJson(const Summary& summary, const ReferenceIdentity& reference,
                        const std::vector<std::string>& inputs, int exitStatus) {
  using nlohmann::json;
  json types = json::object();
  const char letters[] = "EWHCS";
  for (int i = 0; i < 5; ++i) types[std::string(1, letters[i])] = summary.typeCounts()[i];
  json top = json::array();
  for (const Summary::CodeCount& c : summary.topCodes(10))
    top.push_back({{"code", c.code}, {"count", c.count}, {"text", c.text}});
  json lines = json::object();
  for (const auto& [file, count] : reference.lines) lines[file] = count;
  json ref = {{"dir", reference.dir},          {"described", reference.described},
              {"name", reference.name},        {"year", reference.year},
              {"sample", reference.sample()},  {"checksum", reference.checksum},
              {"changed", reference.changed},  {"lines", lines},
              {"summary", reference.oneLine()}};
  json doc = {{"inputs", inputs},
              {"cases", summary.cases()},
              {"cases_with_findings", summary.casesWithFindings()},
              {"findings_shown", types},
              {"findings_left_out", summary.leftOut()},
              {"findings_accepted", summary.accepted()},
              {"top_codes", top},
              {"reference", ref},
              {"exit_status", exitStatus}};
  // Texts that are not valid UTF-8 are replaced rather than ending the run.
  return doc.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

}  // namespace qv::cli
