// Tests of the MN add-on line.
#include "records/RecordMN.h"
#include "records/RecordMB.h"
#include "rules/Catalogue.h"
#include "rules/Rule.h"

namespace qv {

void RecordMN::TestRecord() {
  BeginTests(KindMN);
  if (MbRecord) AddCountersTo(*MbRecord);
}

void AppendMnRules(std::vector<RuleInfo>&) {}

}  // namespace qv
