#include "foundation/Latin1.h"

#include <cstring>
#include <memory>
#include <vector>

namespace qv {

namespace {
// The converted texts, freed when the library is unloaded (a host may load
// and unload it several times in one process).
std::vector<std::unique_ptr<char[]>>& Copies() {
  static std::vector<std::unique_ptr<char[]>> copies;
  return copies;
}
}  // namespace

const char* Latin1Copy(const char* utf8) {
  if (!utf8) return "";
  const size_t n = std::strlen(utf8);
  Copies().emplace_back(new char[n + 1]);
  char* out = Copies().back().get();
  char* o = out;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8); *p;) {
    if (*p < 0x80) {
      *o++ = static_cast<char>(*p++);
    } else if ((*p == 0xC2 || *p == 0xC3) && (p[1] & 0xC0) == 0x80) {
      *o++ = static_cast<char>(((*p & 0x03) << 6) | (p[1] & 0x3F));
      p += 2;
    } else {
      // Skip the whole sequence: a lead byte and its continuation bytes.
      *o++ = '?';
      ++p;
      while ((*p & 0xC0) == 0x80) ++p;
    }
  }
  *o = '\0';
  return out;
}

}  // namespace qv
