// Tests of the detail record.
#include "records/RecordMB.h"
#include "records/RecordMD.h"
#include "rules/Catalogue.h"
#include "rules/Rule.h"

namespace qv {

void RecordMD::TestRecord() { BeginTests(KindMD); }

void AppendMdRules(std::vector<RuleInfo>&) {}

}  // namespace qv
