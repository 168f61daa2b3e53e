#include "RefFiles.h"

#include "Ix5Codec.h"

namespace qv::ref {

const std::vector<RefFile>& RefFiles() {
  static const std::vector<RefFile> files = {
      {"lookup/chop.tsv", "chop.ix5", FileKind::Lookup, "CHOP", 12},
      {"lookup/icd.tsv", "icd.ix5", FileKind::Lookup, "ICD", 12},
      {"lookup/lregio.tsv", "lregio.ix5", FileKind::Lookup, "LREGIO", 1},
      {"lookup/natio.tsv", "natio.ix5", FileKind::Lookup, "NATIO", 1},
      {"lookup/plz.tsv", "plz.ix5", FileKind::Lookup, "PLZ", 2},
      {"lookup/regio.tsv", "regio.ix5", FileKind::Lookup, "REGIO", 1},
      {"lookup/wregio.tsv", "wregio.ix5", FileKind::Lookup, "WREGIO", 1},
      {"lookup/bur.tsv", "bur.ix5", FileKind::Lookup, "BUR", 4},
      {"lookup/vsnr.tsv", "vsnr.ix5", FileKind::Lookup, "VSNR", 1},
      {"domainkey.tsv", "domainkey.ix5", FileKind::DomainKey, nullptr, 0},
      {"fields.tsv", "fields.ix5", FileKind::Fields, nullptr, 0},
      {"messages/message_dll_d.tsv", "message_dll_d.txt", FileKind::Messages, nullptr, 0},
      {"messages/message_dll_f.tsv", "message_dll_f.txt", FileKind::Messages, nullptr, 0},
  };
  return files;
}

const std::vector<std::string>& LookupDomainNames() {
  static const std::vector<std::string> names = {"CHOP",  "ICD",    "LREGIO", "NATIO", "PLZ",
                                                 "REGIO", "WREGIO", "BUR",    "VSNR"};
  return names;
}

std::string StoredForm(const RefFile& file, const std::string& latin1) {
  switch (file.Kind) {
    case FileKind::Messages:
      return latin1;
    case FileKind::Lookup: {
      std::string plain = latin1;
      ix5::AppendLookupTrailer(plain);
      return ix5::Encode(plain);
    }
    case FileKind::Fields:
    case FileKind::DomainKey:
      break;
  }
  return ix5::Encode(latin1);
}

}  // namespace qv::ref
