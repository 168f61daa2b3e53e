// The input side of a check: opens the input files, reads their lines, cuts
// them into work items (CaseSplitter) and hands them on in batches, and keeps
// what the run must say about each file afterwards.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "CaseSplitter.h"
#include "InputDecoder.h"
#include "UiTexts.h"

namespace qv::cli {

struct InputFile {
  std::string name;  // as shown in findings ("<stdin>" for "-")
  std::string path;  // as given; "-" for standard input
  int fd = -1;
  int layout = 0;  // MB layout asked for by the first MB line (50 or 90), 0 while none
  std::uint64_t cases = 0;
  std::uint64_t bytes = 0;
  std::uint64_t lines = 0;
  bool crInsideLine = false;  // a line holds a CR that is no line end: CR-only line ends
};

class InputFeeder {
 public:
  // Takes a block of items of one file (its fileIndex and layout set);
  // returns false to stop the run.
  using BatchFn = std::function<bool(Block&& block)>;
  // Called now and then while reading (poll the block processes, draw progress).
  using TickFn = std::function<void(std::uint64_t bytesDone, std::uint64_t totalBytes)>;

  // Items per batch: fixed, so that the batches and thereby the results are
  // the same for any number of block processes.
  static constexpr std::size_t kBatchItems = 10240;

  InputFeeder(const UiTexts& texts, InputEncoding encoding) : texts_(texts), decoder_(encoding, texts) {}
  ~InputFeeder();

  // Opens every input ("-" is standard input; none means standard input)
  // before anything runs. Returns an empty text, else the reason for the
  // first that cannot be opened.
  std::string open(const std::vector<std::string>& inputs);

  // Reads every file. Returns false when a batch stopped the run.
  bool run(const BatchFn& batch, const TickFn& tick);

  const std::vector<InputFile>& files() const { return files_; }
  std::vector<std::string> fileNames() const;
  // The reason the run must end with status 2 (a read error, or a non-empty
  // file without any case), empty when there is none.
  const std::string& problem() const { return problem_; }

 private:
  bool feed(std::size_t index, const BatchFn& batch, const TickFn& tick);

  const UiTexts& texts_;
  InputDecoder decoder_;  // the input's encoding to the library's ISO 8859-1
  std::vector<InputFile> files_;
  std::string problem_;
};

// Why a non-empty file gave no case, for the one-line reason.
std::string NoCaseReason(const InputFile& file);

}  // namespace qv::cli
