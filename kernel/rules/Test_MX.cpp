// Test of the file header line.
#include "interface/LibraryGlobals.h"
#include "records/RecordMX.h"
#include "rules/Catalogue.h"
#include "rules/Rule.h"

namespace qv {

namespace {
Rule<RecordMX> kMxRules[] = {
    {{"C0900", "Nicht erlaubtes Sonderzeichen im MX", 0, Counter::Error},
     [](const RecordMX& r) { return HasForbiddenChar(r); },
     Value::BadChar()},
};
}  // namespace

void RecordMX::TestRecord() {
  BeginTests(KindMX);
  RunRules(*this, kMxRules);
}

void AppendMxRules(std::vector<RuleInfo*>& out) { AppendRuleInfos(out, kMxRules); }

}  // namespace qv
