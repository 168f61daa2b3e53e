#include "HtmlReport.h"

#include <fstream>

#include "TextCoding.h"
#include "foundation/Platform.h"

namespace qv::cli {

namespace {
const char* kStyle =
    "body{font-family:sans-serif;margin:1.5em;color:#222}h1{font-size:1.4em}"
    "h2{font-size:1.15em;margin-top:2em;border-bottom:1px solid #ccc}h3{font-size:1em;margin:1.5em 0 .3em}"
    "table{border-collapse:collapse;margin:.3em 0}td,th{padding:2px 6px;vertical-align:top;font-size:.9em;"
    "border:1px solid #ddd;text-align:left}th{background:#eee}"
    ".E,.S{color:#b00;font-weight:bold}.W{color:#a60}.H,.C{color:#06a}"
    "tr.hit td{background:#fde8c8}tr.rec th{background:#dde}#filter{margin:.5em 0;padding:.4em;background:#f4f4f4}"
    "#filter label{margin-right:1em}"
    // Cases out of sight are laid out only when scrolled to.
    "section.case{content-visibility:auto;contain-intrinsic-size:auto 900px}";

// Filters by type, code prefix and text, and searches case numbers; the
// fragment "#qvtest" (with "&t=", "&c=", "&x=", "&n=" for the fields) applies
// a filter and writes what the page then shows into <pre id=qvtest>, for the
// browser test.
const char* kScript = R"JS(
(function(){
var d=document,f=d.getElementById('filter');f.hidden=false;
var cases=[].slice.call(d.querySelectorAll('section.case'));
function v(id){return d.getElementById(id).value.trim().toLowerCase();}
function apply(){
var t=d.getElementById('ft').value,c=v('fc'),x=v('fx'),n=v('fn'),shown=0;
cases.forEach(function(s){
var any=false;
[].forEach.call(s.querySelectorAll('tr.fd'),function(r){
var ok=(!t||r.dataset.t==t)&&(!c||r.dataset.c.toLowerCase().indexOf(c)==0)&&(!x||r.textContent.toLowerCase().indexOf(x)>=0);
r.hidden=!ok;any=any||ok;});
var ok=any&&(!n||s.dataset.n.toLowerCase().indexOf(n)>=0);
s.hidden=!ok;d.getElementById('i'+s.id.slice(1)).hidden=!ok;if(ok)shown++;});
d.getElementById('fcount').textContent=f.dataset.shown.replace('{shown}',shown).replace('{total}',cases.length);}
['ft','fc','fx','fn'].forEach(function(id){d.getElementById(id).addEventListener('input',apply);});
d.getElementById('fcount').textContent=f.dataset.shown.replace('{shown}',cases.length).replace('{total}',cases.length);
if(location.hash.indexOf('#qvtest')==0){
location.hash.slice(7).split('&').forEach(function(p){var kv=p.split('=');
if(kv.length==2)d.getElementById('f'+kv[0]).value=decodeURIComponent(kv[1]);});
apply();
var plain=d.querySelector('table.v tr:not(.hit):not(.rec)'),bg=plain?getComputedStyle(plain.cells[0]).backgroundColor:'';
var out={links:[],shown:[],rows:0,marked:[]};
[].forEach.call(d.querySelectorAll('#index a'),function(a){var s=d.getElementById(a.getAttribute('href').slice(1));
out.links.push([a.getAttribute('href'),s?s.dataset.line:null,a.closest('tr').dataset.line]);});
cases.forEach(function(s){if(!s.hidden)out.shown.push(s.dataset.line);
out.rows+=[].filter.call(s.querySelectorAll('tr.fd'),function(r){return !r.hidden;}).length;
[].forEach.call(s.querySelectorAll('tr.hit'),function(r){
out.marked.push([s.dataset.line,r.dataset.f,r.cells[2].textContent,r.dataset.codes,getComputedStyle(r.cells[0]).backgroundColor!=bg]);});});
var pre=d.createElement('pre');pre.id='qvtest';pre.textContent=JSON.stringify(out);d.body.appendChild(pre);}
})();
)JS";

std::string Cell(const std::string& text, const char* cls = nullptr) {
  std::string out = cls ? std::string("<td class=\"") + cls + "\">" : std::string("<td>");
  return out + HtmlEscape(text) + "</td>";
}

std::string Head(const std::string& text) { return "<th>" + HtmlEscape(text) + "</th>"; }

// The identity a reader knows a case by: its case number, else its linkage code.
std::string CaseName(const CaseIdentity& id) {
  return CodePageToUtf8(!id.caseNumber.empty() ? id.caseNumber : id.linkageCode);
}

std::string TypesOf(const std::vector<Finding>& findings) {
  std::string types;
  for (char t : std::string("EWHCS"))
    for (const Finding& f : findings)
      if (f.type == t) {
        types += (types.empty() ? "" : " ") + std::string(1, t);
        break;
      }
  return types;
}

std::string CodesOf(const std::vector<Finding>& findings) {
  std::string codes;
  for (const Finding& f : findings)
    if ((" " + codes + " ").find(" " + f.code + " ") == std::string::npos) codes += (codes.empty() ? "" : " ") + f.code;
  return codes;
}

std::string IndexRow(std::size_t k, const HtmlReport::Entry& e) {
  std::string id = std::to_string(k);
  std::string name = CaseName(e.result.identity);
  return "<tr id=\"i" + id + "\" data-line=\"" + std::to_string(e.result.caseLine) + "\"><td><a href=\"#c" + id +
         "\">" + HtmlEscape(name.empty() ? "#" + id : name) + "</a></td>" +
         Cell(ValidUtf8(e.fileName) + ":" + std::to_string(e.result.caseLine)) + Cell(TypesOf(e.result.findings)) +
         Cell(CodesOf(e.result.findings)) + "</tr>\n";
}

std::string CaseSection(std::size_t k, const HtmlReport::Entry& e, const UiTexts& t) {
  const std::vector<Finding>& findings = e.result.findings;
  std::string id = std::to_string(k);
  std::string name = CaseName(e.result.identity);
  std::string search = name + " " + CodePageToUtf8(e.result.identity.linkageCode);
  std::string html = "<section class=\"case\" id=\"c" + id + "\" data-line=\"" +
                     std::to_string(e.result.caseLine) + "\" data-n=\"" + HtmlEscape(search) + "\"><h3>" +
                     HtmlEscape((name.empty() ? "" : name + " \xC2\xB7 ") + ValidUtf8(e.fileName) + ": " +
                                Fill(t.htmlCase, "line", std::to_string(e.result.caseLine))) +
                     " <a href=\"#index\">\xE2\x86\x91</a></h3>\n<table class=\"f\"><tr>" + Head(t.htmlLine) + Head(t.htmlType) + Head(t.htmlCode) +
                     Head(t.htmlText) + Head(t.htmlValue) + "</tr>\n";
  for (const Finding& f : findings) {
    std::string type(1, f.type);
    html += "<tr class=\"fd\" data-t=\"" + type + "\" data-c=\"" + HtmlEscape(f.code) + "\">" +
            Cell(std::to_string(f.line)) + Cell(type, type.c_str()) + Cell(f.code) + Cell(f.text) + Cell(f.value) +
            "</tr>\n";
  }
  html += "</table>\n";
  if (e.fields.empty()) return html + "</section>\n";
  // Closing tags of cells and rows are left out: HTML ends them itself, and
  // the case views are most of the report's size.
  html += "<table class=\"v\"><tr>" + Head(t.htmlName) + Head(t.htmlLabel) + Head(t.htmlValue) +
          Head(t.htmlMeaning) + Head(t.htmlFindings) + "</tr>\n";
  std::string record;
  for (const CaseField& field : e.fields) {
    if (field.record != record) {
      record = field.record;
      html += "<tr class=\"rec\"><th colspan=\"5\">" + HtmlEscape(record) + "\n";
    }
    if (field.findings.empty()) {
      html += "<tr><td>" + HtmlEscape(field.name) + "<td>" + HtmlEscape(field.label) + "<td>" +
              HtmlEscape(field.value) + "<td>" + HtmlEscape(field.meaning) + "\n";
      continue;
    }
    std::string codes, notes;
    for (int i : field.findings) {
      const Finding& f = findings[static_cast<std::size_t>(i)];
      codes += (codes.empty() ? "" : " ") + f.code;
      notes += (notes.empty() ? "" : "<br>") + std::string("<span class=\"") + f.type + "\">" + f.type + " " +
               HtmlEscape(f.code) + "</span> " + HtmlEscape(f.text);
    }
    html += "<tr class=\"hit\" data-f=\"" + HtmlEscape(field.record) + "." + std::to_string(field.field) +
            "\" data-codes=\"" + HtmlEscape(codes) + "\"><td>" + HtmlEscape(field.name) + "<td>" +
            HtmlEscape(field.label) + "<td>" + HtmlEscape(field.value) + "<td>" + HtmlEscape(field.meaning) + "<td>" +
            notes + "\n";
  }
  return html + "</table>\n</section>\n";
}
}  // namespace

void HtmlReport::add(const std::string& fileName, int layout, const CallView& call, const ItemResult& result) {
  if (static_cast<int>(entries_.size()) >= maxCases_) {
    ++leftOut_;
    return;
  }
  Entry e;
  e.fileName = fileName;
  e.layout = layout;
  e.call = KeptCall(call);
  e.result = result;
  entries_.push_back(std::move(e));
}

bool HtmlReport::write(const std::string& path, const ReportHeader& h, const Summary& summary,
                       const UiTexts& t) const {
  std::ofstream out(path, std::ios::binary);
  if (!out) return false;
  std::string html = std::string("<!DOCTYPE html>\n<html lang=\"") + (h.language == 1 ? "fr" : "de") +
                     "\"><head><meta charset=\"utf-8\"><title>" + HtmlEscape(t.htmlTitle) + "</title><style>" +
                     kStyle + "</style></head><body>\n<h1>" + HtmlEscape(t.htmlTitle) + "</h1>\n<table>";
  html += "<tr>" + Head(t.htmlCreated) + Cell(h.runDate) + "</tr>";
  html += "<tr>" + Head(t.htmlProgram) + Cell(h.program) + "</tr>";
  html += "<tr>" + Head(t.htmlReference) + Cell(h.referenceData) + "</tr>";
  html += "<tr>" + Head(t.htmlInputs) + "<td>";
  for (std::size_t i = 0; i < h.inputs.size(); ++i) {
    const ReportHeader::Input& in = h.inputs[i];
    std::string size = Fill(Fill(t.htmlInputSize, "bytes", std::to_string(in.bytes)), "lines", std::to_string(in.lines));
    html += (i ? "<br>" : "") + HtmlEscape(ValidUtf8(in.name) + " (" + size + ")");
  }
  html += "</td></tr></table>\n<h2>" + HtmlEscape(t.summaryTitle) + "</h2>\n<table>";
  html += "<tr>" + Cell(t.casesRead) + Cell(std::to_string(summary.cases())) + "</tr>";
  html += "<tr>" + Cell(t.casesWithFindings) + Cell(std::to_string(summary.casesWithFindings())) + "</tr>";
  const char letters[] = "EWHCS";
  for (int i = 0; i < 5; ++i)
    html += "<tr>" + Cell(std::string(1, letters[i]) + " " + t.typeNames[i], std::string(1, letters[i]).c_str()) +
            Cell(std::to_string(summary.typeCounts()[i])) + "</tr>";
  html += "</table>\n<h3>" + HtmlEscape(t.topCodes) + "</h3>\n<table>";
  for (const Summary::CodeCount& c : summary.topCodes(10))
    html += "<tr>" + Cell(std::to_string(c.count)) + Cell(c.code) + Cell(c.text) + "</tr>";
  html += "</table>\n<h2>" + HtmlEscape(t.htmlFindings) + "</h2>\n";
  if (leftOut_ > 0) html += "<p>" + HtmlEscape(Fill(t.htmlMore, "count", std::to_string(leftOut_))) + "</p>\n";

  // The filter, shown by the script only.
  html += "<div id=\"filter\" hidden data-shown=\"" + HtmlEscape(t.htmlShown) + "\"><label>" +
          HtmlEscape(t.htmlType) + " <select id=\"ft\"><option value=\"\">" + HtmlEscape(t.htmlAll) + "</option>";
  for (int i = 0; i < 5; ++i)
    html += std::string("<option value=\"") + letters[i] + "\">" + letters[i] + " " + HtmlEscape(t.typeNames[i]) +
            "</option>";
  html += "</select></label><label>" + HtmlEscape(t.htmlCode) + " <input id=\"fc\" size=\"6\"></label><label>" +
          HtmlEscape(t.htmlText) + " <input id=\"fx\"></label><label>" + HtmlEscape(t.htmlSearch) +
          " <input id=\"fn\" size=\"12\"></label><span id=\"fcount\"></span></div>\n";
  html += "<table id=\"index\"><tr>" + Head(t.htmlCaseNumber) + Head(t.htmlPlace) + Head(t.htmlTypes) +
          Head(t.htmlCodes) + "</tr>\n";
  out << html;
  for (std::size_t k = 0; k < entries_.size(); ++k) out << IndexRow(k + 1, entries_[k]);
  out << "</table>\n";
  for (std::size_t k = 0; k < entries_.size(); ++k) out << CaseSection(k + 1, entries_[k], t);
  out << "<script>" << kScript << "</script>\n</body></html>\n";
  return static_cast<bool>(out.flush());
}

}  // namespace qv::cli
