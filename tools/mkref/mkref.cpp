// mkref: builds a base directory from the readable reference sources.
//
//   mkref DATA_DIR OUT_DIR
//
// Reads every source of RefFiles() below DATA_DIR as UTF-8, converts it to
// the single-byte code page, checks it against the form the library reads
// and writes the stored files into OUT_DIR. Any finding stops the build
// before a file is written, so a base directory is never half updated.

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "FileIO.h"
#include "Ix5Codec.h"
#include "RefChecks.h"
#include "RefFiles.h"

namespace fs = std::filesystem;
using qv::ref::FileKind;
using qv::ref::RefFile;

namespace {

struct Loaded {
  const RefFile* File;
  std::string SourcePath;
  std::string Latin1;
};

void Report(const std::string& source, const qv::ref::Problems& problems, int& count) {
  for (const std::string& p : problems) std::fprintf(stderr, "%s: %s\n", source.c_str(), p.c_str());
  count += static_cast<int>(problems.size());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: mkref DATA_DIR OUT_DIR\n", stderr);
    return 2;
  }
  const fs::path dataDir = argv[1];
  const fs::path outDir = argv[2];
  int problems = 0;

  std::vector<Loaded> loaded;
  for (const RefFile& f : qv::ref::RefFiles()) {
    Loaded l{&f, (dataDir / f.Source).string(), {}};
    std::string utf8;
    if (!qv::ix5::ReadFile(l.SourcePath, utf8)) {
      std::fprintf(stderr, "%s: cannot read the source\n", l.SourcePath.c_str());
      ++problems;
      continue;
    }
    std::string error;
    size_t bad = 0;
    if (!qv::ix5::Utf8ToLatin1(utf8, l.Latin1, error, bad)) {
      std::fprintf(stderr, "%s: line %s: %s\n", l.SourcePath.c_str(),
                   std::to_string(qv::ix5::LineOfOffset(utf8, bad)).c_str(), error.c_str());
      ++problems;
      continue;
    }
    loaded.push_back(std::move(l));
  }

  // The value lists first: the field definitions name them.
  std::set<std::string> listNames;
  const Loaded* messagesDe = nullptr;
  const Loaded* messagesFr = nullptr;
  size_t lookupRecords = 0;
  for (const Loaded& l : loaded)
    if (l.File->Kind == FileKind::DomainKey)
      Report(l.SourcePath, qv::ref::CheckDomainKey(l.Latin1, &listNames), problems);
  for (const Loaded& l : loaded) {
    switch (l.File->Kind) {
      case FileKind::Fields:
        Report(l.SourcePath, qv::ref::CheckFields(l.Latin1, listNames), problems);
        break;
      case FileKind::Lookup:
        Report(l.SourcePath, qv::ref::CheckLookup(l.Latin1, l.File->TextColumn), problems);
        lookupRecords += qv::ref::SplitLines(l.Latin1).size();
        break;
      case FileKind::Messages:
        Report(l.SourcePath, qv::ref::CheckMessages(l.Latin1), problems);
        (std::string(l.File->Target) == "message_dll_d.txt" ? messagesDe : messagesFr) = &l;
        break;
      case FileKind::DomainKey:
        break;
    }
  }
  if (messagesDe && messagesFr)
    Report(messagesFr->SourcePath, qv::ref::CheckMessagePair(messagesDe->Latin1, messagesFr->Latin1), problems);
  if (lookupRecords > static_cast<size_t>(qv::ref::kMaxLookupRecords)) {
    std::fprintf(stderr, "%s: the lookup tables hold %s lines together; the library has room for %d\n",
                 dataDir.string().c_str(), std::to_string(lookupRecords).c_str(), qv::ref::kMaxLookupRecords);
    ++problems;
  }
  if (problems > 0) {
    std::fprintf(stderr, "mkref: %d problem(s); no file written\n", problems);
    return 1;
  }

  std::error_code ec;
  fs::create_directories(outDir, ec);
  for (const Loaded& l : loaded) {
    const std::string target = (outDir / l.File->Target).string();
    if (!qv::ix5::WriteFile(target, qv::ref::StoredForm(*l.File, l.Latin1))) {
      std::fprintf(stderr, "mkref: cannot write %s\n", target.c_str());
      return 1;
    }
  }
  std::printf("mkref: %s reference files written to %s\n", std::to_string(loaded.size()).c_str(),
              outDir.string().c_str());
  return 0;
}
