// quorvant: the command-line front end of the plausibility checks. main only
// dispatches to the commands.
#include <quorvant.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <string>
#include <vector>

#include "BlockProcess.h"
#include "CheckCommand.h"
#include "foundation/Platform.h"

namespace {
// The architecture this program was built for. The library's version number
// carries a fixed platform word of its own, so it is not taken from there.
const char* Architecture() {
#if defined(__x86_64__) || defined(_M_X64)
  return "x86-64";
#elif defined(__i386__) || defined(_M_IX86)
  return "x86";
#elif defined(__aarch64__) || defined(_M_ARM64)
  return "arm64";
#else
  return "unknown architecture";
#endif
}

std::string FirstWord(const std::string& text) { return text.substr(0, text.find(' ')); }

void PrintVersion() {
  std::printf("quorvant %s (%s)\nlibrary: %s %s, %s\n", QV_CLI_VERSION, Architecture(), QV_VersionAppName(),
              FirstWord(QV_VersionNumber()).c_str(), QV_VersionDate());
}

// Everything but the commands: --help and --version.
int TopLevel(int argc, char** argv) {
  CLI::App app("Plausibility checks for hospital case records.", "quorvant");
  bool version = false;
  app.add_flag("-V,--version", version, "show the program and library version");
  app.footer(
      "Commands:\n"
      "  check [OPTIONS] [FILE...]   check case files and report every finding (quorvant check --help)\n"
      "  ref-info [--ref DIR]        describe the reference data a run would use");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == 0) {
      std::fputs(app.help().c_str(), stdout);
      return 0;
    }
    std::fprintf(stderr, "quorvant: %s\n%s", e.what(), app.help().c_str());
    return 2;
  }
  if (version) {
    PrintVersion();
    return 0;
  }
  std::fputs(app.help().c_str(), stderr);
  return 2;
}
}  // namespace

int main(int argc, char** argv) {
  if (qv::cli::IsBlockProcessCall(argc, argv)) return qv::cli::BlockProcessMain(argc, argv);
  qv::platform::PrepareProgram();
  std::vector<std::string> args(argv + 1, argv + argc);
  const std::string command = args.empty() ? "" : args[0];
  if (command == "check") return qv::cli::CheckMain({args.begin() + 1, args.end()}, PrintVersion);
  if (command == "ref-info") return qv::cli::RefInfoMain({args.begin() + 1, args.end()});
  if (command == "help") {
    char help[] = "--help";
    char* helpArgs[] = {argv[0], help, nullptr};
    return TopLevel(2, helpArgs);
  }
  if (!command.empty() && command[0] != '-') {
    std::fprintf(stderr, "quorvant: unknown command '%s' (check or ref-info; see quorvant --help)\n", command.c_str());
    return 2;
  }
  return TopLevel(argc, argv);
}
