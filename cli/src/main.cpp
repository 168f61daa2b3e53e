// quorvant: the command-line front end of the plausibility checks.
#include <quorvant.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "BlockProcess.h"
#include "CheckCommand.h"
#include "CheckOptions.h"
#include "HtmlReport.h"
#include "foundation/Platform.h"

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
  if (argc > 0 && qv::cli::IsViewerName(argv[0])) return qv::cli::ViewerMain(argc, argv);
  if (qv::cli::IsBlockProcessCall(argc, argv)) return qv::cli::BlockProcessMain(argc, argv);
  qv::platform::PrepareProgram();
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
