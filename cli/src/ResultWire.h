// Byte encoding of work items and their results for the pipes between the
// main process and the block processes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>
#include <string>

#include "WorkBlock.h"
#include "Finding.h"

namespace qv::cli {

void EncodeResult(const ItemOutcome& result, std::string& out);

// Decodes one result starting at pos into result; returns false when the
// bytes from pos on do not hold a whole result (pos is then unchanged, result
// may be partly filled).
bool DecodeResult(const char* in, std::size_t size, std::size_t& pos, ItemOutcome& result);
inline bool DecodeResult(const std::string& in, std::size_t& pos, ItemOutcome& result) {
  return DecodeResult(in.data(), in.size(), pos, result);
}

// A result record on a block process's pipe: the length of the encoded
// result, then the result.
void AppendResultRecord(const ItemOutcome& result, std::string& out);
// Decodes the record at pos: 1 when it was whole (pos moves past it), 0 when
// more bytes are needed, -1 when the bytes are no result record.
int TakeResultRecord(const char* in, std::size_t size, std::size_t& pos, ItemOutcome& result);

// The job file of a started block process: how to set up the library, which
// items to check and send, then the block's items.
struct BlockJob {
  std::string refDir;
  std::int32_t language = 0;
  bool hostLines = false;     // the host format below is used
  std::string hostFormat;
  std::int32_t layout = 0;
  std::uint64_t sendFrom = 0;
  bool flushEach = false;
  std::vector<std::uint64_t> skip;
};
void EncodeBlockJob(const BlockJob& job, const Block& block, std::string& out);
// False when the bytes do not hold a whole job, or its items point outside
// the block's arrays.
bool DecodeBlockJob(const std::string& in, BlockJob& job, Block& block);

}  // namespace qv::cli
