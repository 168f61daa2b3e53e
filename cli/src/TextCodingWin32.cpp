// Latin1Converter on the Windows code page functions (MinGW has no iconv).
// Characters beyond ISO 8859-1 and bytes that are no character of the source
// become a '?' and a problem, as in the iconv version.
#include <windows.h>

#include <cstdio>

#include "TextCoding.h"

namespace qv::cli {

namespace {
std::string Utf8Of(const wchar_t* wide, int count) {
  char buffer[16];
  int n = WideCharToMultiByte(CP_UTF8, 0, wide, count, buffer, sizeof buffer, nullptr, nullptr);
  return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

std::string ByteText(unsigned char byte) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "\\x%02X", byte);
  return buffer;
}
}  // namespace

struct Latin1Converter::Impl {};

Latin1Converter::Latin1Converter(InputEncoding source) : source_(source), impl_(new Impl) {}

Latin1Converter::~Latin1Converter() = default;

void Latin1Converter::convert(std::string& text, std::vector<Problem>& problems) {
  if (source_ == InputEncoding::Latin1) return;  // already the library's character set
  bool ascii = true;
  for (char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) return;
  const UINT codePage = source_ == InputEncoding::Utf8 ? CP_UTF8 : 1252;
  std::string out;
  std::size_t pos = 0;
  while (pos < text.size()) {
    auto byte = static_cast<unsigned char>(text[pos]);
    if (byte < 0x80) {
      out += text[pos++];
      continue;
    }
    int len = 1;
    if (source_ == InputEncoding::Utf8) len = Utf8SequenceLength(text.data(), text.size(), pos);
    wchar_t wide[2];
    int count = len > 0 ? MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data() + pos, len, wide, 2) : 0;
    if (count == 1 && wide[0] <= 0xFF) {
      out += static_cast<char>(wide[0]);
      pos += static_cast<std::size_t>(len);
      continue;
    }
    Problem p;
    p.offset = out.size();
    if (count <= 0) {
      p.undecodable = true;
      p.original = ByteText(byte);
      len = 1;
    } else {
      p.original = Utf8Of(wide, count);
    }
    problems.push_back(std::move(p));
    out += '?';
    pos += static_cast<std::size_t>(len);
  }
  text = std::move(out);
}

}  // namespace qv::cli
