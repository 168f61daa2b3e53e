// Tests of the MP add-on line.
#include "records/RecordMP.h"
#include "records/RecordMB.h"
#include "rules/Catalogue.h"
#include "rules/Rule.h"

namespace qv {

void RecordMP::TestRecord() {
  BeginTests(KindMP);
  if (MbRecord) AddCountersTo(*MbRecord);
}

void AppendMpRules(std::vector<RuleInfo>&) {}

}  // namespace qv
