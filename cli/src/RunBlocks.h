// The checking in the middle of a run: the input feeder's batches go to the
// block runner, whose results go, in input order, to the result sink.
#pragma once

#include "InputFeeder.h"
#include "LibraryChecker.h"
#include "Progress.h"
#include "ResultSink.h"
#include "Summary.h"

namespace qv::cli {

enum class RunEnd {
  Complete,      // every input read and every result taken
  OutputClosed,  // the sink could not write: the run was stopped
  SetupFailed    // the library could not be prepared for the input
};

// jobs: block processes checking at the same time.
RunEnd RunBlocks(int jobs, LibraryChecker& checker, InputFeeder& feeder, ResultSink& sink,
                 Progress& progress, const std::string& workerFailedText, const Summary& summary);

}  // namespace qv::cli
