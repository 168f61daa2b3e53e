// The summary of a run as a JSON document (--summary-json FILE).
#pragma once

#include <string>
#include <vector>

#include "RefInfo.h"
#include "Summary.h"

namespace qv::cli {

// The document: counts, top codes, the reference data, the inputs and the exit status.
std::string SummaryJson(const Summary& summary, const ReferenceIdentity& reference,
                        const std::vector<std::string>& inputs, int exitStatus);

}  // namespace qv::cli
