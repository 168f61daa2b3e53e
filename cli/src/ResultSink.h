// The output side of a check: takes the result of every item in input order,
// gives it the case's identity, leaves out what --select/--ignore/--types and
// the baseline say, writes the rest, counts it and records the baseline.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "Baseline.h"
#include "WorkBlock.h"
#include "FindingWriter.h"
#include "Selection.h"
#include "Summary.h"

namespace qv::cli {

class ResultSink {
 public:
  // baseline: accepted findings (null: none); baselineOut: where to record
  // the selected findings of this run (null: nowhere).
  ResultSink(FindingWriter& writer, Summary& summary, const Selection& selection, Baseline* baseline,
             std::FILE* baselineOut);

  // Called with each result that has findings left to show (the HTML report).
  std::function<void(const std::string& fileName, const CallView& call, const ItemResult& result)> onShown;

  // Takes the result of an item (its identity set) and the item's call.
  void take(const std::string& fileName, ItemResult& result, const CallView& call = {});

  // False once the output could not be written; error() is its errno.
  bool ok() const { return writer_.ok(); }
  int error() const { return error_; }
  // False once the baseline could not be recorded.
  bool baselineOk() const { return baselineOk_; }

 private:
  FindingWriter& writer_;
  Summary& summary_;
  const Selection& selection_;
  Baseline* baseline_;
  std::FILE* baselineOut_;
  bool baselineOk_ = true;
  int error_ = 0;
};

}  // namespace qv::cli
