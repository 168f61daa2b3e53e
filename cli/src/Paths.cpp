#include "Paths.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qv::cli {

namespace {
bool IsFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}
}  // namespace

std::string ProgramPath() {
  char buffer[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return "";
  return std::string(buffer, static_cast<std::size_t>(n));
}

std::string WithTrailingSlash(std::string dir) {
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

std::string DefaultRefDir() {
  std::string program = ProgramPath();
  std::string dir = program.substr(0, program.rfind('/') + 1);
  if (dir.empty()) dir = "./";
  const std::string candidates[] = {dir + "ref/", dir + "../share/quorvant/ref/"};
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
