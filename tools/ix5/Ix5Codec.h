// The stored form of the reference files (foundation/StoredForm.h), and the
// conversion between UTF-8 sources and the single-byte code page that the
// library reads.
#pragma once

#include <string>
#include <string_view>

#include "foundation/StoredForm.h"

namespace qv::ix5 {

inline std::string Encode(std::string_view plain) {
  std::string out(plain.size(), '\0');
  for (size_t i = 0; i < plain.size(); ++i)
    out[i] = PlainToStored(plain[i]);
  return out;
}

inline std::string Decode(std::string_view stored) {
  std::string out(stored.size(), '\0');
  for (size_t i = 0; i < stored.size(); ++i)
    out[i] = StoredToPlain(stored[i]);
  return out;
}

// Converts UTF-8 to ISO 8859-1. Characters outside Latin-1 and malformed
// sequences are refused with a message naming the byte offset, which is also
// stored in badOffset.
inline bool Utf8ToLatin1(std::string_view utf8, std::string& latin1, std::string& error, size_t& badOffset) {
  latin1.clear();
  for (size_t i = 0; i < utf8.size();) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      latin1.push_back(static_cast<char>(c));
      ++i;
      continue;
    }
    if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size()) {
      unsigned char d = static_cast<unsigned char>(utf8[i + 1]);
      if ((d & 0xC0) == 0x80) {
        latin1.push_back(static_cast<char>(((c & 0x03) << 6) | (d & 0x3F)));
        i += 2;
        continue;
      }
    }
    badOffset = i;
    error = "character outside Latin-1 or malformed UTF-8 at byte " + std::to_string(i);
    return false;
  }
  return true;
}

inline bool Utf8ToLatin1(std::string_view utf8, std::string& latin1, std::string& error) {
  size_t badOffset = 0;
  return Utf8ToLatin1(utf8, latin1, error, badOffset);
}

inline std::string Latin1ToUtf8(std::string_view latin1) {
  std::string out;
  out.reserve(latin1.size());
  for (unsigned char c : latin1) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

// The lookup reader stops three bytes before the end of a file, so a lookup
// file carries three bytes after its last line feed that are never read.
// Three end-of-file marks (Ctrl-Z) are used: they never occur in text, so a
// decoder can recognise and drop them safely.
constexpr char kTrailerByte = '\x1A';
constexpr size_t kTrailerLength = 3;

inline void AppendLookupTrailer(std::string& plain) { plain.append(kTrailerLength, kTrailerByte); }

// Drops the trailer from decoded text; returns whether there was one.
inline bool StripLookupTrailer(std::string& plain) {
  if (plain.size() < kTrailerLength) return false;
  for (size_t i = plain.size() - kTrailerLength; i < plain.size(); ++i)
    if (plain[i] != kTrailerByte) return false;
  plain.resize(plain.size() - kTrailerLength);
  return true;
}

// 1-based line number of a byte offset, for error messages about sources.
inline size_t LineOfOffset(std::string_view text, size_t offset) {
  size_t line = 1;
  for (size_t i = 0; i < offset && i < text.size(); ++i)
    if (text[i] == '\n') ++line;
  return line;
}

}  // namespace qv::ix5
