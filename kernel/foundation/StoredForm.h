// The stored form of the reference files (.ix5): every byte of the plain
// text raised by 13, modulo 256. The library's readers and the ix5 and mkref
// tools, which write the files, share this header.
#pragma once

#include <cstddef>

namespace qv {

constexpr unsigned char kStoredShift = 13;

inline char StoredToPlain(char c) { return static_cast<char>(static_cast<unsigned char>(c) - kStoredShift); }
inline char PlainToStored(char c) { return static_cast<char>(static_cast<unsigned char>(c) + kStoredShift); }

}  // namespace qv
