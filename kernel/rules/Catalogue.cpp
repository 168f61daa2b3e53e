#include "rules/Catalogue.h"

#include "foundation/Latin1.h"
#include "rules/Rule.h"

namespace qv {

namespace {
// Every row of every catalogue, in catalogue order; built on first use, when
// the descriptions (written in UTF-8) are converted to ISO 8859-1.
const std::vector<RuleInfo*>& Rows() {
  static const std::vector<RuleInfo*> rows = [] {
    std::vector<RuleInfo*> all;
    AppendMxRules(all);
    AppendMbRules(all);
    AppendCodeRules(all);
    AppendMdRules(all);
    AppendMnRules(all);
    AppendMpRules(all);
    AppendMkRules(all);
    for (RuleInfo* r : all) r->Description = Latin1Copy(r->Description);
    return all;
  }();
  return rows;
}
}  // namespace

void PrepareCatalogues() { (void)Rows(); }

std::vector<RuleInfo> AllRules() {
  std::vector<RuleInfo> all;
  for (const RuleInfo* r : Rows()) all.push_back(*r);
  return all;
}

}  // namespace qv
