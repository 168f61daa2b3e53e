#include "HtmlReport.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "LibraryChecker.h"
#include "Paths.h"
#include "ResultWire.h"
#include "TextCoding.h"
#include "foundation/Platform.h"

namespace qv::cli {

namespace {
constexpr const char* kViewerName = "qv6show.exe";
constexpr const char* kCaptureVariable = "QUORVANT_VIEWER_CAPTURE";

const char* kStyle =
    "body{font-family:sans-serif;margin:1.5em;color:#222}"
    "h1{font-size:1.4em}h2{font-size:1.15em;margin-top:2em;border-bottom:1px solid #ccc}"
    "table{border-collapse:collapse;margin:.5em 0}td,th{padding:2px 6px;vertical-align:top;font-size:.9em}"
    "table.findings td,table.findings th{border:1px solid #ddd}th{background:#eee;text-align:left}"
    ".E,.S{color:#b00;font-weight:bold}.W{color:#a60}.H,.C{color:#06a}"
    ".tabtit{background:#eee;font-weight:bold}.tabtextodd,.tabboldodd{background:#f7f7f7}"
    ".tabboldodd,.tabboldeven{font-weight:bold}details{margin:.3em 0 1em}";

std::string Cell(const std::string& text, const char* cls = nullptr) {
  std::string out = cls ? std::string("<td class=\"") + cls + "\">" : std::string("<td>");
  return out + HtmlEscape(text) + "</td>";
}
}  // namespace

void HtmlReport::add(const std::string& fileName, int layout, const WorkItem& item, const ItemResult& result) {
  if (static_cast<int>(entries_.size()) >= maxCases_) {
    ++leftOut_;
    return;
  }
  Entry e;
  e.fileName = fileName;
  e.layout = layout;
  e.item = item;
  e.result = result;
  entries_.push_back(std::move(e));
}

bool HtmlReport::write(const std::string& path, const Summary& summary, const UiTexts& t,
                       const std::vector<std::string>& inputs) const {
  std::string html = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + HtmlEscape(t.htmlTitle) +
                     "</title><style>" + kStyle + "</style></head><body>\n<h1>" + HtmlEscape(t.htmlTitle) + "</h1>\n<p>";
  for (const std::string& in : inputs) html += HtmlEscape(in) + "<br>";
  html += "</p>\n<h2>" + HtmlEscape(t.summaryTitle) + "</h2>\n<table class=\"findings\">";
  html += "<tr>" + Cell(t.casesRead) + Cell(std::to_string(summary.cases())) + "</tr>";
  html += "<tr>" + Cell(t.casesWithFindings) + Cell(std::to_string(summary.casesWithFindings())) + "</tr>";
  const char letters[] = "EWHCS";
  for (int i = 0; i < 5; ++i)
    html += "<tr>" + Cell(std::string(1, letters[i]) + " " + t.typeNames[i], std::string(1, letters[i]).c_str()) +
            Cell(std::to_string(summary.typeCounts()[i])) + "</tr>";
  html += "</table>\n<h3>" + HtmlEscape(t.topCodes) + "</h3>\n<table class=\"findings\">";
  for (const Summary::CodeCount& c : summary.topCodes(10))
    html += "<tr>" + Cell(std::to_string(c.count)) + Cell(c.code) + Cell(c.text) + "</tr>";
  html += "</table>\n<h2>" + HtmlEscape(t.htmlFindings) + "</h2>\n";
  for (const Entry& e : entries_) {
    html += "<h3>" + HtmlEscape(e.fileName) + ": " +
            HtmlEscape(Fill(t.htmlCase, "line", std::to_string(e.result.caseLine))) + "</h3>\n";
    html += "<table class=\"findings\"><tr><th>" + HtmlEscape(t.htmlLine) + "</th><th>" + HtmlEscape(t.htmlType) +
            "</th><th>" + HtmlEscape(t.htmlCode) + "</th><th>" + HtmlEscape(t.htmlText) + "</th><th>" +
            HtmlEscape(t.htmlValue) + "</th></tr>\n";
    for (const Finding& f : e.result.findings) {
      std::string type(1, f.type);
      html += "<tr>" + Cell(std::to_string(f.line)) + Cell(type, type.c_str()) + Cell(f.code) + Cell(f.text) +
              Cell(f.value) + "</tr>\n";
    }
    html += "</table>\n";
    if (!e.result.htmlTable.empty())
      html += "<details><summary>" + HtmlEscape(t.htmlTable) + "</summary>\n" + e.result.htmlTable + "</details>\n";
  }
  if (leftOut_ > 0) html += "<p>" + HtmlEscape(Fill(t.htmlMore, "count", std::to_string(leftOut_))) + "</p>\n";
  html += "</body></html>\n";
  std::ofstream out(path, std::ios::binary);
  out << html;
  return static_cast<bool>(out.flush());
}

bool IsViewerName(const char* argv0) {
  const char* base = argv0;
  for (const char* p = argv0; *p; ++p)
    if (*p == '/' || *p == '\\') base = p + 1;
  return std::strcmp(base, kViewerName) == 0;
}

int ViewerMain(int argc, char** argv) {
  // Arguments: application name, version, date, message file, HTML file.
  const char* capture = std::getenv(kCaptureVariable);
  if (!capture || argc < 6) return 1;
  std::ifstream in(argv[5], std::ios::binary);
  std::ofstream out(capture, std::ios::binary);
  out << in.rdbuf();
  return out ? 0 : 1;
}

void RenderTables(std::vector<HtmlReport::Entry>& entries, LibraryChecker& live, int language) {
  std::string refDir = live.baseDir();
  if (entries.empty()) return;
  // A base directory that holds the reference files and this program under the
  // viewer's name, so that the library's viewer start hands the table to us.
  std::string dir = platform::MakeTempDirectory("quorvant-view-");
  if (dir.empty()) return;
  std::vector<std::string> made;
  if (refDir.empty() || (refDir[0] != '/' && refDir[0] != '\\' && refDir.find(':') == std::string::npos)) {
    std::string cwd = platform::CurrentDirectory();
    refDir = WithTrailingSlash(cwd) + refDir;
  }
  for (const std::string& name : platform::ListDirectory(refDir))
    if (name != kViewerName && platform::LinkOrCopy(refDir + name, dir + name)) made.push_back(dir + name);
  std::string program = ProgramPath();
  if (platform::LinkOrCopy(program, dir + kViewerName)) made.push_back(dir + kViewerName);
  // A program that loads the library from its own directory (Windows) needs
  // it beside the copy.
  std::string library = program.substr(0, program.find_last_of("/\\") + 1) + "quorvant.dll";
  if (platform::LinkOrCopy(library, dir + "quorvant.dll")) made.push_back(dir + "quorvant.dll");
  std::string capture = dir + "table.html";

  // One handle per process: the run's handle makes way for one on the viewer's directory.
  platform::SetEnvironment(kCaptureVariable, capture.c_str());
  live.close();
  {
    LibraryChecker checker(dir, language, MessageFormat());
    for (HtmlReport::Entry& e : entries)
      if (e.item.check && checker.prepareLayout(e.layout)) e.result.htmlTable = checker.check(e.item, true).htmlTable;
  }  // closing the handle also removes the library's temporary files
  for (const std::string& file : made) platform::DeleteFile(file.c_str());
  platform::DeleteFile(capture.c_str());
  platform::RemoveDirectory(dir);
}

}  // namespace qv::cli
