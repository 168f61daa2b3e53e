// Tests of the MK add-on line.
#include "records/RecordMK.h"
#include "records/RecordMB.h"
#include "rules/Catalogue.h"
#include "rules/Rule.h"

namespace qv {

void RecordMK::TestRecord() {
  BeginTests(KindMK);
  if (MbRecord) AddCountersTo(*MbRecord);
}

void AppendMkRules(std::vector<RuleInfo>&) {}

}  // namespace qv
