// The diagnosis and treatment code rules shared by MB and MD.
#include "rules/CodeRules.h"

#include "rules/Catalogue.h"
#include "rules/Rule.h"

namespace qv {

void RunCodeRules(const CodeRuleScope&) {}

void AppendCodeRules(std::vector<RuleInfo>&) {}

}  // namespace qv
