// Latin1Converter on iconv (glibc). The only file that calls iconv: a port
// puts its own implementation of the same class beside it.
#include <errno.h>
#include <iconv.h>

#include <cstdio>

#include "TextCoding.h"

namespace qv::cli {

namespace {
const char* IconvName(InputEncoding e) {
  switch (e) {
    case InputEncoding::Utf8: return "UTF-8";
    case InputEncoding::Cp1252: return "CP1252";
    default: return "ISO-8859-1";
  }
}

// Runs cd over in; returns the converted bytes and leaves the input position
// where conversion stopped (at the end, or at bytes it could not convert).
std::string Run(iconv_t cd, const char*& in, std::size_t& left, bool& stopped) {
  std::string out;
  char buffer[4096];
  stopped = false;
  ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
  while (left > 0) {
    char* inPtr = const_cast<char*>(in);
    char* outPtr = buffer;
    std::size_t room = sizeof buffer;
    std::size_t r = ::iconv(cd, &inPtr, &left, &outPtr, &room);
    out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
    in = inPtr;
    if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
      stopped = true;
      break;
    }
  }
  return out;
}
}  // namespace

struct Latin1Converter::Impl {
  iconv_t toLatin1 = reinterpret_cast<iconv_t>(-1);
  iconv_t toUtf8 = reinterpret_cast<iconv_t>(-1);  // names a character Latin-1 lacks
};

Latin1Converter::Latin1Converter(InputEncoding source) : source_(source), impl_(new Impl) {
  if (source_ == InputEncoding::Latin1) return;  // already the library's character set
  impl_->toLatin1 = ::iconv_open("ISO-8859-1", IconvName(source_));
  impl_->toUtf8 = ::iconv_open("UTF-8", IconvName(source_));
}

Latin1Converter::~Latin1Converter() {
  if (impl_->toLatin1 != reinterpret_cast<iconv_t>(-1)) ::iconv_close(impl_->toLatin1);
  if (impl_->toUtf8 != reinterpret_cast<iconv_t>(-1)) ::iconv_close(impl_->toUtf8);
}

void Latin1Converter::convert(std::string& text, std::vector<Problem>& problems) {
  if (source_ == InputEncoding::Latin1) return;
  bool ascii = true;
  for (char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) return;
  std::string out;
  if (impl_->toLatin1 == reinterpret_cast<iconv_t>(-1) || impl_->toUtf8 == reinterpret_cast<iconv_t>(-1)) {
    // Without the converters (an iconv without this character set) every
    // byte beyond ASCII is reported rather than passed on unread.
    for (char c : text) {
      if (static_cast<unsigned char>(c) < 0x80) {
        out += c;
        continue;
      }
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", static_cast<unsigned char>(c));
      problems.push_back({out.size(), buf, true});
      out += '?';
    }
    text = std::move(out);
    return;
  }
  const char* in = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    bool stopped = false;
    out += Run(impl_->toLatin1, in, left, stopped);
    if (!stopped) break;
    // The character at in: one the source has but Latin-1 lacks, or bytes
    // that are no character of the source.
    Problem p;
    p.offset = out.size();
    std::size_t len = 1;
    if (source_ == InputEncoding::Utf8) {
      int n = Utf8SequenceLength(in, left, 0);
      if (n > 0) len = static_cast<std::size_t>(n);
    }
    const char* one = in;
    std::size_t oneLeft = len;
    bool bad = false;
    std::string utf8 = Run(impl_->toUtf8, one, oneLeft, bad);
    if (bad || utf8.empty()) {
      p.undecodable = true;
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", static_cast<unsigned char>(*in));
      p.original = buf;
      len = 1;
    } else {
      p.original = utf8;
    }
    problems.push_back(std::move(p));
    out += '?';
    in += len;
    left -= len;
  }
  text = std::move(out);
}

}  // namespace qv::cli
