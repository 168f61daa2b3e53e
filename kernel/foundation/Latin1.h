// The library's own texts (rule descriptions) are written in UTF-8 in the
// sources, so that they read the same with every compiler; hosts, the log
// and the reference files use ISO 8859-1.
#pragma once

namespace qv {

// The ISO 8859-1 form of a UTF-8 text. The result lives until the library
// is unloaded; a character outside Latin-1 becomes '?'. Converting the same text
// twice gives two copies: convert once, where the text is first used.
const char* Latin1Copy(const char* utf8);

}  // namespace qv
