// Reading a whole file into memory, as every reference file is read.
#pragma once

namespace qv {

// Reads the file into a new buffer (release with delete[]) followed by a
// NUL; length receives the number of bytes read. Returns null when the file
// cannot be opened (the caller reports that in its own words) and when it is
// refused: not a regular file (a directory, a device, a pipe), larger than
// the library can hold, or not read whole. A refusal is logged here as an
// error with its reason, and refused (when given) is set.
char* ReadWholeFile(const char* path, int& length, bool* refused = nullptr);

}  // namespace qv
