// One hash for short texts (codes and keys), shared by the lookup index and
// the rules' duplicate search.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qv {

// FNV-1a over the text's bytes (short codes spread well, and it is cheap);
// length receives the text's length, which a caller may keep.
inline std::uint32_t HashText(const char* text, std::size_t& length) {
  std::uint32_t h = 2166136261u;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  for (; *p; ++p) h = (h ^ *p) * 16777619u;
  length = static_cast<std::size_t>(p - reinterpret_cast<const unsigned char*>(text));
  return h;
}

}  // namespace qv
