// Byte encoding of item results for the pipe from a worker process to the
// main process.
#pragma once

#include <cstddef>
#include <string>

#include "Finding.h"

namespace qv::cli {

void EncodeResult(const ItemResult& result, std::string& out);

// Decodes one result starting at pos; returns false when the bytes from pos
// on do not hold a whole result (pos is then unchanged).
bool DecodeResult(const std::string& in, std::size_t& pos, ItemResult& result);

}  // namespace qv::cli
