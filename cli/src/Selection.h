// Which findings a run shows: --select, --ignore and --types.
#pragma once

#include <string>
#include <vector>

#include "Finding.h"

namespace qv::cli {

class Selection {
 public:
  // Codes or code prefixes, comma-separated ("B01,C0900"); types: type
  // letters ("E,S" or "ES"). Empty texts select everything. catalogue: the
  // codes that exist. Returns an empty text, else the reason, listing every
  // unknown code.
  std::string set(const std::string& select, const std::string& ignore, const std::string& types,
                  const std::vector<std::string>& catalogue);

  // A finding is shown when its type is selected, its code starts with a
  // selected prefix (any code when none is given) and with no ignored one.
  bool shows(const Finding& finding) const;
  bool selectsAll() const { return select_.empty() && ignore_.empty() && types_.empty(); }

 private:
  std::vector<std::string> select_;
  std::vector<std::string> ignore_;
  std::string types_;  // empty: every type
};

// What a message file of the reference data holds: its codes (header and
// reserved rows left out, the command's own S000..S006 added) and the length
// of its longest text.
struct MessageCatalogue {
  std::vector<std::string> codes;
  std::size_t longestText = 0;
};
MessageCatalogue ReadCatalogue(const std::string& messageFile);

}  // namespace qv::cli
