// Tests of the cantonal add-on line. Its content belongs to the canton and
// is not checked; only the MB announcement and the first two fields are.
#include "foundation/Logger.h"
#include "interface/LibraryGlobals.h"
#include "records/RecordMB.h"
#include "records/RecordMK.h"
#include "rules/Catalogue.h"
#include "rules/Rule.h"

namespace qv {

namespace {
Rule<RecordMK> kMkRules[] = {
    {{"C0601", "Kantonale Zusatzdaten: Zusatzdatensatz vorhanden ohne Meldung im Basisdatensatz", 228,
      Counter::Error},
     [](const RecordMK& r) { return r.MbRecord && Is(r.MbRecord->Field(Mb9CantonalAddOn), "0"); }, Value::None()},
    {{"C0905", "Nicht erlaubtes Sonderzeichen im MK", 229, Counter::Error},
     [](const RecordMK& r) { return HasForbiddenChar(r); },
     Value::BadChar()},
};
}  // namespace

void RecordMK::TestRecord() {
  LogInfo("RecordMK.TestRecord enter");
  BeginTests(KindMK);
  RunRules(*this, kMkRules);
  if (MbRecord) AddCountersTo(*MbRecord);
  LogInfo("RecordMK.TestRecord exit");
}

void AppendMkRules(std::vector<RuleInfo*>& out) { AppendRuleInfos(out, kMkRules); }

}  // namespace qv
