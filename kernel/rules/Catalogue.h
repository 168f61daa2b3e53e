// Each record kind's catalogue lists its rows here, so that their
// descriptions are converted once and the reference data can be checked
// against the code.
#pragma once

#include <vector>

#include "rules/RuleInfo.h"

namespace qv {

void AppendMxRules(std::vector<RuleInfo*>& out);
void AppendMbRules(std::vector<RuleInfo*>& out);
void AppendCodeRules(std::vector<RuleInfo*>& out);
void AppendMdRules(std::vector<RuleInfo*>& out);
void AppendMnRules(std::vector<RuleInfo*>& out);
void AppendMpRules(std::vector<RuleInfo*>& out);
void AppendMkRules(std::vector<RuleInfo*>& out);

}  // namespace qv
