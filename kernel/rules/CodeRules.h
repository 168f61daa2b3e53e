// The diagnosis and treatment code rules. They run once per case: from the
// MB when the case has no detail record, else from the MD. They work on the
// entries of the record that runs them and read the case's MB (and MN, MD)
// for the administrative data.
#pragma once

#include "records/CodeEntry.h"

namespace qv {

class Record;
class RecordMB;
class RecordMN;
class RecordMD;

struct CodeRuleScope {
  Record& Running;            // counters and findings go to this record
  CodeEntry* Diagnoses;       // own entries
  int DiagnosisSlots;
  CodeEntry* Treatments;
  int TreatmentSlots;
  int MaxDiagnosisIndex;      // for the "Z38 anywhere" check
  const RecordMB& Mb;         // the case's MB
  const RecordMN* Mn;         // the case's MN, null when the case has none
  const RecordMD* Md;         // the case's MD, null when the case has none

  // 1 when an own diagnosis up to MaxDiagnosisIndex begins with the prefix.
  int HasDiagnosisPrefix(const char* prefix) const;
};

void RunCodeRules(const CodeRuleScope& scope);

}  // namespace qv
