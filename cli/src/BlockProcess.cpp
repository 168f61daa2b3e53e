#include "BlockProcess.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "LibraryChecker.h"
#include "Paths.h"
#include "ResultWire.h"

namespace qv::cli {

namespace {
constexpr const char* kMode = "--block-process";

// Exit statuses of a block process that could not start its work.
constexpr int kBadJob = 6;
constexpr int kNoLibrary = 8;
constexpr int kCannotWrite = 7;

// The host's part of a format: its text without the fields every format
// starts with and the '\r' it ends with (MessageFormat builds it so).
std::string HostPart(const MessageFormat& format) {
  std::size_t fields = MessageFormat().text().size();
  return format.text().substr(fields, format.text().size() - fields - 1);
}
}  // namespace

bool StartsBlockProcesses() { return !platform::CanFork() || std::getenv("QV_TEST_START_BLOCK_PROCESSES") != nullptr; }

BlockRunner::StartFn BlockProcessStarter(std::string refDir, int language, const MessageFormat& format) {
  BlockJob settings;
  settings.refDir = std::move(refDir);
  settings.language = language;
  settings.hostLines = format.withHostLines();
  if (settings.hostLines) settings.hostFormat = HostPart(format);
  return [settings](const Block& block, const BlockTask& task, std::size_t slot, platform::ChildProcess& child,
                    std::string& jobFile) {
    BlockJob job = settings;
    job.layout = block.layout;
    job.sendFrom = task.sendFrom;
    job.flushEach = task.flushEach;
    job.skip = task.skip;
    std::string bytes;
    EncodeBlockJob(job, block, bytes);
    char name[4096];
    if (!platform::CreateTempFile("qvb", name, sizeof name)) return false;
    jobFile = name;
    std::ofstream out(jobFile, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) return false;
    return platform::StartChild({ProgramPath(), kMode, jobFile, platform::SharedWordsToken(), std::to_string(slot)},
                                child);
  };
}

bool IsBlockProcessCall(int argc, char** argv) { return argc > 1 && std::strcmp(argv[1], kMode) == 0; }

int BlockProcessMain(int argc, char** argv) {
  if (argc != 5) return kBadJob;
  std::string bytes;
  {
    std::ifstream in(argv[2], std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    bytes = s.str();
  }
  platform::DeleteFile(argv[2]);
  BlockJob job;
  Block block;
  if (!DecodeBlockJob(bytes, job, block)) return kBadJob;
  std::string().swap(bytes);
  block.layout = job.layout;
  BlockTask task;
  task.sendFrom = job.sendFrom;
  task.flushEach = job.flushEach;
  task.skip = job.skip;

  // The state the main process prepared: a new handle, its first call of the
  // block's MB layout (the main process's first layout serves a file without one).
  LibraryChecker checker(job.refDir, job.language, job.hostLines ? MessageFormat(job.hostFormat) : MessageFormat());
  if (!checker.open() || !checker.prepareLayout(job.layout == 0 ? 90 : job.layout)) return kNoLibrary;
  std::size_t slot = std::strtoull(argv[4], nullptr, 10);
  volatile std::uint64_t* words = platform::OpenSharedWords(argv[3], slot + 1);
  bool written = RunBlockItems(
      block, task, [&](const Block& b, const WorkItem& item) { return checker.check(b, item); },
      platform::StandardOutput(),
      words ? words + slot : nullptr);
  checker.close();
  return written ? 0 : kCannotWrite;
}

}  // namespace qv::cli
