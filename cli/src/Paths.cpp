#include "Paths.h"

#include <sys/stat.h>

#include "foundation/Platform.h"

namespace qv::cli {

namespace {
bool IsFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}
}  // namespace

std::string ProgramPath() { return platform::ProgramPath(); }

// A directory given with Windows' separator ends in it.
std::string WithTrailingSlash(std::string dir) {
  bool windows = dir.find('\\') != std::string::npos && dir.find('/') == std::string::npos;
  if (dir.empty() || (dir.back() != '/' && dir.back() != '\\')) dir += windows ? '\\' : '/';
  return dir;
}

std::string DefaultRefDir() {
  std::string program = ProgramPath();
  std::size_t slash = program.find_last_of("/\\");
  std::string dir = slash == std::string::npos ? "" : program.substr(0, slash + 1);
  if (dir.empty()) dir = "./";
  // Written with the separator the program's own path uses.
  const bool backslash = dir.back() == '\\';
  const std::string candidates[] = {dir + (backslash ? "ref\\" : "ref/"),
                                    dir + (backslash ? "..\\share\\quorvant\\ref\\" : "../share/quorvant/ref/")};
  for (const std::string& c : candidates)
    if (IsFile(c + "fields.ix5")) return c;
  return candidates[0];
}

std::vector<std::string> MissingFiles(const std::string& dir, const std::vector<std::string>& files) {
  std::vector<std::string> missing;
  for (const std::string& f : files)
    if (!IsFile(dir + f)) missing.push_back(f);
  return missing;
}

}  // namespace qv::cli
