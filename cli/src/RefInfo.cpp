#include "RefInfo.h"

#include <fstream>
#include <sstream>

#include "RefDescription.h"

namespace qv::cli {

namespace {
bool Slurp(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::stringstream s;
  s << in.rdbuf();
  text = s.str();
  return true;
}
}  // namespace

ReferenceIdentity ReadReferenceIdentity(const std::string& dir, const std::vector<std::string>& files) {
  ReferenceIdentity id;
  id.dir = dir;
  std::string text;
  ref::Description description;
  if (Slurp(dir + ref::kDescriptionFile, text)) {
    std::string problem = ref::ParseDescription(text, description);
    if (problem.empty()) {
      id.described = true;
      id.name = description.name;
      id.year = description.year;
      id.checksum = description.checksum;
    } else {
      id.problem = std::string(ref::kDescriptionFile) + ": " + problem;
    }
  }
  std::vector<std::string> names;
  if (id.described)
    for (const auto& entry : description.lines) names.push_back(entry.first);
  else
    names = files;
  ref::Checksum checksum;
  for (const std::string& name : names) {
    std::string bytes;
    bool read = Slurp(dir + name, bytes);
    if (read)
      id.lines.emplace_back(name, ref::CountLines(name, bytes));
    else
      id.changed = true;  // a listed file is gone
    checksum.add(name);
    checksum.add(bytes);
  }
  if (id.described && checksum.hex() != id.checksum) id.changed = true;
  return id;
}

std::string ReferenceIdentity::oneLine() const {
  if (!described) return dir + ": no description" + (problem.empty() ? "" : " (" + problem + ")");
  return dir + ": " + name + " (" + (sample() ? "sample tables" : "statistics year " + year) + "), checksum " +
         checksum + (changed ? ", files changed since" : "");
}

std::string RefInfoText(const ReferenceIdentity& id) {
  std::string text = "directory: " + id.dir + "\n";
  if (id.described) {
    text += "name:      " + id.name + "\n";
    text += "year:      " +
            (id.sample() ? std::string("sample (the tables are samples, not the official ones)") : id.year) + "\n";
    text += "checksum:  " + id.checksum +
            (id.changed ? " (the files have changed since it was written)" : " (matches the files)") + "\n";
  } else {
    text += "no description" +
            (id.problem.empty() ? std::string(" (made elsewhere than by mkref)") : " (" + id.problem + ")") + "\n";
  }
  text += "lines:\n";
  for (const auto& [file, count] : id.lines)
    text += "  " + file + std::string(file.size() < 20 ? 20 - file.size() : 1, ' ') + std::to_string(count) + "\n";
  return text;
}

std::string SampleWarning(const ReferenceIdentity& id) {
  if (!id.sample()) return "";
  return "quorvant: warning: the reference tables in " + id.dir +
         " are samples; real codes may be flagged as invalid (give the official tables with --ref DIR)";
}

}  // namespace qv::cli
