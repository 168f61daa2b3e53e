// mkref: builds a base directory from the readable reference sources.
//
//   mkref DATA_DIR OUT_DIR [--name NAME] [--year YEAR]
//
// Reads every source of RefFiles() below DATA_DIR as UTF-8, converts it to
// the single-byte code page, checks it against the form the library reads
// and writes the stored files into OUT_DIR. Any finding stops the build
// before a file is written, so a base directory is never half updated.
// Last it writes the description file (RefDescription.h): NAME (default: the
// data directory) and YEAR, which is "sample" whenever a table's header line
// marks it as sample data, whatever --year says.

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "FileIO.h"
#include "Ix5Codec.h"
#include "RefChecks.h"
#include "RefDescription.h"
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

// The shipped sample tables say so in their header line.
bool MarkedAsSample(const std::string& latin1) {
  std::string header = latin1.substr(0, latin1.find('\n'));
  return header.find("BEISPIELDATEN") != std::string::npos || header.find("SAMPLE") != std::string::npos;
}

void Report(const std::string& source, const qv::ref::Problems& problems, int& count) {
  for (const std::string& p : problems) std::fprintf(stderr, "%s: %s\n", source.c_str(), p.c_str());
  count += static_cast<int>(problems.size());
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  qv::ref::Description description;
  for (std::size_t i = 2; i + 1 < args.size(); i += 2) {
    if (args[i] == "--name")
      description.name = args[i + 1];
    else if (args[i] == "--year")
      description.year = args[i + 1];
    else
      args.clear();
  }
  if (args.size() < 2 || args.size() % 2 != 0) {
    std::fputs("usage: mkref DATA_DIR OUT_DIR [--name NAME] [--year YEAR]\n", stderr);
    return 2;
  }
  const fs::path dataDir = args[0];
  const fs::path outDir = args[1];
  if (description.name.empty()) description.name = "built from " + fs::absolute(dataDir).lexically_normal().string();
  if (description.year.empty()) description.year = "unknown";
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
  qv::ref::Checksum checksum;
  for (const Loaded& l : loaded) {
    const std::string target = (outDir / l.File->Target).string();
    const std::string stored = qv::ref::StoredForm(*l.File, l.Latin1);
    if (!qv::ix5::WriteFile(target, stored)) {
      std::fprintf(stderr, "mkref: cannot write %s\n", target.c_str());
      return 1;
    }
    if (MarkedAsSample(l.Latin1)) description.year = qv::ref::kSampleYear;
    description.lines.emplace_back(l.File->Target, qv::ref::CountLines(l.File->Target, stored));
    checksum.add(l.File->Target);
    checksum.add(stored);
  }
  description.checksum = checksum.hex();
  const std::string describing = (outDir / qv::ref::kDescriptionFile).string();
  if (!qv::ix5::WriteFile(describing, qv::ref::FormatDescription(description))) {
    std::fprintf(stderr, "mkref: cannot write %s\n", describing.c_str());
    return 1;
  }
  std::printf("mkref: %s reference files written to %s\n", std::to_string(loaded.size()).c_str(),
              outDir.string().c_str());
  return 0;
}
