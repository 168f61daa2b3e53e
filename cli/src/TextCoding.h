// Character set and quoting helpers for the output formats.
#pragma once

#include <string>

namespace qv::cli {

// The library and its data use the Windows code page; the reports are UTF-8.
std::string CodePageToUtf8(const std::string& text);
// Back to the code page, for the host format; characters outside it become '?'.
std::string Utf8ToCodePage(const std::string& text);

// One CSV field after RFC 4180: quoted when it holds a comma, quote, CR or LF.
std::string CsvField(const std::string& text);
// A JSON string literal, quotes included (the text must be UTF-8).
std::string JsonString(const std::string& text);
// Control characters as \xNN, so that a finding stays on one line.
std::string EscapeControls(const std::string& text);
// Text for HTML element content.
std::string HtmlEscape(const std::string& text);

}  // namespace qv::cli
