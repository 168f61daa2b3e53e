// gen-cases: writes a synthetic case file.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "CaseGenerator.h"

namespace {
const char* kUsage =
    "Usage: gen-cases [--cases N] [--seed S] [--year YYYY] [--fault-rate R] [--lf] [--output FILE]\n"
    "\n"
    "Writes an MX header and N synthetic cases (default 1000) to FILE or standard\n"
    "output. The same seed gives the same file. --fault-rate is the share of cases\n"
    "with one typical fault (default 0.05); --lf writes LF line ends instead of CR LF.\n";

bool ParseNumber(const char* text, double& out) {
  char* end = nullptr;
  out = std::strtod(text, &end);
  return end != text && *end == '\0';
}
}  // namespace

int main(int argc, char** argv) {
  qv::gen::GeneratorSettings settings;
  double cases = 1000;
  const char* output = nullptr;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    double number = 0;
    bool hasNext = i + 1 < argc;
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg == "--lf") {
      settings.lfOnly = true;
    } else if (arg == "--cases" && hasNext && ParseNumber(argv[++i], number) && number >= 0) {
      cases = number;
    } else if (arg == "--seed" && hasNext && ParseNumber(argv[++i], number) && number >= 0) {
      settings.seed = static_cast<std::uint64_t>(number);
    } else if (arg == "--year" && hasNext && ParseNumber(argv[++i], number) && number >= 1990 && number <= 2100) {
      settings.statYear = static_cast<int>(number);
    } else if (arg == "--fault-rate" && hasNext && ParseNumber(argv[++i], number) && number >= 0 && number <= 1) {
      settings.faultRate = number;
    } else if (arg == "--output" && hasNext) {
      output = argv[++i];
    } else {
      std::fprintf(stderr, "gen-cases: bad argument '%s'\n%s", arg.c_str(), kUsage);
      return 2;
    }
  }
  std::FILE* out = output ? std::fopen(output, "wb") : stdout;
  if (!out) {
    std::fprintf(stderr, "gen-cases: cannot write '%s': %s\n", output, std::strerror(errno));
    return 2;
  }
  qv::gen::CaseGenerator generator(settings);
  std::string text = generator.header();
  std::fwrite(text.data(), 1, text.size(), out);
  for (long long n = 0; n < static_cast<long long>(cases); ++n) {
    text = generator.nextCase();
    std::fwrite(text.data(), 1, text.size(), out);
  }
  bool ok = std::fflush(out) == 0 && !std::ferror(out);
  if (output) ok = std::fclose(out) == 0 && ok;
  if (!ok) {
    std::fprintf(stderr, "gen-cases: write error\n");
    return 2;
  }
  return 0;
}
