// quorvant: the command-line front end of the plausibility checks.
#include <malloc.h>
#include <quorvant.h>
#include <signal.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "CheckCommand.h"
#include "CheckOptions.h"

namespace {
const char* kUsage =
    "Usage: quorvant COMMAND [OPTIONS]\n"
    "\n"
    "Commands:\n"
    "  check [FILE...]   check case files and report every finding\n"
    "                    (quorvant check --help shows its options)\n"
    "\n"
    "  --help            show this help\n"
    "  --version         show the program and library version\n";

void PrintVersion() {
  std::printf("quorvant %s (library %s %s, %s)\n", QV_CLI_VERSION, QV_VersionAppName(), QV_VersionNumber(),
              QV_VersionDate());
}
}  // namespace

int main(int argc, char** argv) {
  // A closed output is reported as a write error instead of ending the program.
  ::signal(SIGPIPE, SIG_IGN);
  // Block buffers of a few megabytes are made and freed all the time: keep
  // them in the heap instead of mapping fresh pages for each.
  ::mallopt(M_MMAP_THRESHOLD, 64 << 20);
  ::mallopt(M_TRIM_THRESHOLD, 256 << 20);
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::string& command = args[0];
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (command == "--version" || command == "-V") {
    PrintVersion();
    return 0;
  }
  if (command != "check") {
    std::fprintf(stderr, "quorvant: unknown command '%s'\n%s", command.c_str(), kUsage);
    return 2;
  }
  qv::cli::CheckOptions options;
  std::string problem = qv::cli::ParseCheckOptions({args.begin() + 1, args.end()}, options);
  if (!problem.empty()) {
    std::fprintf(stderr, "quorvant: %s (see quorvant check --help)\n", problem.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(qv::cli::CheckUsage(), stdout);
    return 0;
  }
  if (options.version) {
    PrintVersion();
    return 0;
  }
  return qv::cli::RunCheck(options);
}
