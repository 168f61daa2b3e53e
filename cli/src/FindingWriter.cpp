#include "FindingWriter.h"

#include "TextCoding.h"

namespace qv::cli {

namespace {
// Findings the command makes itself carry codes from S001 on; the library's own
// structural finding is S000 and comes with its host line.
bool IsCommandFinding(const Finding& f) { return f.type == 'S' && f.code != "S000"; }

// What the text format names a case by: its case number, else its linkage code.
const std::string& CaseName(const CaseIdentity& id) {
  return id.caseNumber.empty() ? id.linkageCode : id.caseNumber;
}
}  // namespace

void FindingWriter::put(const std::string& text) {
  if (!ok_ || text.empty()) return;
  if (std::fwrite(text.data(), 1, text.size(), out_) != text.size()) ok_ = false;
}

void FindingWriter::begin() {
  if (format_ != OutputFormat::Csv) return;
  const char* header = "file,line,case,bur,site,linkage_code,case_number,type,code,item,text,value\r\n";
  if (!excel_) {
    put(header);
    return;
  }
  std::string semicolons = header;
  for (char& c : semicolons)
    if (c == ',') c = ';';
  put("\xEF\xBB\xBF" + semicolons);
}

std::string FindingWriter::Render(OutputFormat format, const std::string& rawFileName, const ItemResult& item,
                                  const Finding& f, bool excel) {
  std::string item_ = f.item >= 0 ? std::to_string(f.item) : "";
  const CaseIdentity& id = item.identity;
  // Output is UTF-8: bytes of a file name that are not become \xNN.
  const std::string fileName = ValidUtf8(rawFileName);
  switch (format) {
    case OutputFormat::Text: {
      std::string line = EscapeControls(fileName) + ":" + std::to_string(f.line) + ": ";
      if (!CaseName(id).empty()) line += "case " + EscapeControls(CaseName(id)) + ": ";
      line += std::string(1, f.type) + " " + f.code + " " + EscapeControls(f.text);
      if (!f.value.empty()) line += " [" + EscapeControls(f.value) + "]";
      return line + "\n";
    }
    case OutputFormat::Csv: {
      const char sep = excel ? ';' : ',';
      return CsvField(fileName, sep) + sep + std::to_string(f.line) + sep + std::to_string(item.caseLine) + sep +
             CsvField(id.bur, sep) + sep + CsvField(id.site, sep) + sep + CsvField(id.linkageCode, sep) + sep +
             CsvField(id.caseNumber, sep) + sep + f.type + sep + CsvField(f.code, sep) + sep + item_ + sep +
             CsvField(f.text, sep) + sep + CsvField(f.value, sep) + "\r\n";
    }
    case OutputFormat::Json:
      return "{\"file\":" + JsonString(fileName) + ",\"line\":" + std::to_string(f.line) +
             ",\"case\":" + std::to_string(item.caseLine) + ",\"bur\":" + JsonString(id.bur) +
             ",\"site\":" + JsonString(id.site) + ",\"linkage_code\":" + JsonString(id.linkageCode) +
             ",\"case_number\":" + JsonString(id.caseNumber) + ",\"type\":\"" + f.type + "\",\"code\":" +
             JsonString(f.code) + ",\"item\":" + (f.item >= 0 ? item_ : "null") + ",\"text\":" + JsonString(f.text) +
             ",\"value\":" + JsonString(f.value) + "}\n";
    case OutputFormat::Host: {
      // The command's own findings in the shape of the library's structural line.
      std::string line = std::string(1, f.type) + " " + f.code + " " + Utf8ToCodePage(f.text);
      if (!f.value.empty()) line += " [" + Utf8ToCodePage(f.value) + "]";
      return line + "\r\n";
    }
  }
  return "";
}

void FindingWriter::write(const std::string& fileName, const ItemResult& result) {
  if (format_ == OutputFormat::Host) {
    for (const Finding& f : result.findings)
      if (IsCommandFinding(f)) put(Render(format_, fileName, result, f));
    put(result.hostText);
    return;
  }
  std::string text;
  for (const Finding& f : result.findings) text += Render(format_, fileName, result, f, excel_);
  put(text);
}

}  // namespace qv::cli
