#include "rules/Catalogue.h"

namespace qv {

std::vector<RuleInfo> AllRules() {
  std::vector<RuleInfo> all;
  AppendMxRules(all);
  AppendMbRules(all);
  AppendCodeRules(all);
  AppendMdRules(all);
  AppendMnRules(all);
  AppendMpRules(all);
  AppendMkRules(all);
  return all;
}

}  // namespace qv
