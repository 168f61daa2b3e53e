// Tests of the basic case record.
#include "foundation/Logger.h"
#include "records/RecordMB.h"
#include "records/RecordMN.h"
#include "rules/Catalogue.h"
#include "rules/CodeRules.h"
#include "rules/Rule.h"

namespace qv {

void RecordMB::TestRecord() {
  LogInfo("RecordMB.TestRecord Enter");
  LogInfo("MaxDIAIdx:%i", MaxDiagnosisIndex);
  BeginTests(KindMB);
  LogInfo("RecordMB.TestRecord DLL");
  if (ChildPresent.MD) return;
  RunCodeRules({*this, Diagnoses, DiagnosisSlots, Treatments, TreatmentSlots, MaxDiagnosisIndex, *this,
                ChildPresent.MN ? MnRecord : nullptr, nullptr});
}

void AppendMbRules(std::vector<RuleInfo>&) {}

}  // namespace qv
