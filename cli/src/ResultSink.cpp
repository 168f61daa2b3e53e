#include "ResultSink.h"

#include <cerrno>
#include <utility>
#include <vector>

namespace qv::cli {

ResultSink::ResultSink(FindingWriter& writer, Summary& summary, const Selection& selection, Baseline* baseline,
                       std::FILE* baselineOut)
    : writer_(writer), summary_(summary), selection_(selection), baseline_(baseline), baselineOut_(baselineOut) {}

void ResultSink::take(const std::string& fileName, ItemResult& result, const CallView& call) {
  std::uint64_t leftOut = 0, accepted = 0;
  std::vector<Finding> shown;
  shown.reserve(result.findings.size());
  for (Finding& f : result.findings) {
    if (!selection_.shows(f)) {
      ++leftOut;
      continue;
    }
    if (baselineOut_ && baselineOk_) {
      std::string line = BaselineLine(result.identity, f);
      baselineOk_ = std::fwrite(line.data(), 1, line.size(), baselineOut_) == line.size();
    }
    if (baseline_ && baseline_->accept(result.identity, f)) {
      ++accepted;
      continue;
    }
    shown.push_back(std::move(f));
  }
  result.findings = std::move(shown);
  summary_.leftOut(leftOut, !selection_.selectsAll());
  summary_.accepted(accepted, baseline_ != nullptr);
  if (writer_.ok()) {
    writer_.write(fileName, result);
    if (!writer_.ok() && error_ == 0) error_ = errno != 0 ? errno : EIO;
  }
  summary_.add(result);
  if (onShown && !result.findings.empty()) onShown(fileName, call, result);
}

}  // namespace qv::cli
