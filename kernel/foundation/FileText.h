// Reading a whole file into memory, as every reference file is read.
#pragma once

namespace qv {

// Reads the file into a new buffer (release with delete[]) followed by a
// NUL; length receives the number of bytes read. Returns null when the file
// cannot be opened.
char* ReadWholeFile(const char* path, int& length);

}  // namespace qv
