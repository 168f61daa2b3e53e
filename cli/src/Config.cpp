#include "Config.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace qv::cli {

namespace {
std::string Trimmed(const std::string& text) {
  const char* blanks = " \t\r";
  std::size_t begin = text.find_first_not_of(blanks);
  if (begin == std::string::npos) return "";
  return text.substr(begin, text.find_last_not_of(blanks) - begin + 1);
}

std::string Unquoted(const std::string& value) {
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
    return value.substr(1, value.size() - 2);
  return value;
}
}  // namespace

std::string ConfigArguments(const std::string& text, const std::string& fileName, const ArgumentCheck& check,
                            std::vector<std::string>& args) {
  std::istringstream in(text);
  std::string raw;
  for (int number = 1; std::getline(in, raw); ++number) {
    auto fail = [&](const std::string& why) { return fileName + ":" + std::to_string(number) + ": " + why; };
    std::string line = Trimmed(raw);
    if (line.empty() || line[0] == '#' || line[0] == ';') continue;
    if (line[0] == '[') {
      if (line != "[check]") return fail("unknown section " + line + " (only [check])");
      continue;
    }
    std::size_t eq = line.find('=');
    if (eq == std::string::npos) return fail("expected \"name = value\", found \"" + line + "\"");
    std::string key = Trimmed(line.substr(0, eq));
    std::string value = Unquoted(Trimmed(line.substr(eq + 1)));
    if (key.empty() || key[0] == '-') return fail("expected an option name without dashes before '='");
    if (key == "config" || key == "help" || key == "version")
      return fail("'" + key + "' cannot stand in a config file");
    std::string argument = "--" + key + "=" + value;
    std::string problem = check(argument);
    if (!problem.empty()) return fail(problem);
    args.push_back(argument);
  }
  return "";
}

std::string ReadConfigFile(const std::string& path, const ArgumentCheck& check, std::vector<std::string>& args) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return path + ": cannot read the config file: " + std::strerror(errno);
  std::stringstream s;
  s << in.rdbuf();
  return ConfigArguments(s.str(), path, check, args);
}

}  // namespace qv::cli
