// The files of a base directory and the readable sources they are built
// from: which source becomes which stored file, in which form.
#pragma once

#include <string>
#include <vector>

namespace qv::ref {

enum class FileKind {
  Messages,   // message text file: Latin-1, not shifted
  Fields,     // field definitions: shifted
  DomainKey,  // value lists: shifted, read whole
  Lookup      // lookup table: shifted, followed by the trailer
};

struct RefFile {
  const char* Source;  // path below the data directory (UTF-8 text)
  const char* Target;  // file name in the base directory
  FileKind Kind;
  const char* Domain;  // lookup tables: the domain name the library gives them
  int TextColumn;      // lookup tables: the German text column (French is the next)
};

// Every file a base directory needs, lookup tables in their domain order.
const std::vector<RefFile>& RefFiles();

// The lookup domain names, in domain order (0 CHOP ... 8 VSNR).
const std::vector<std::string>& LookupDomainNames();

// Highest message number a rule adds; the message files hold one row per
// number from 0 to this.
constexpr int kLastMessageNumber = 408;

// Limits of the library's tables.
constexpr int kMaxLookupColumns = 26;
constexpr int kMaxLookupRecords = 64000;
constexpr int kMaxMessageRows = 8192;

// Turns the Latin-1 text of a source into the bytes of its stored file.
std::string StoredForm(const RefFile& file, const std::string& latin1);

}  // namespace qv::ref
