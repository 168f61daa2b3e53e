// The diagnosis and treatment code rules. They run once per case: from the
// MB when the case has no detail record, else from the MD. They work on the
// entries of the record that runs them and read the case's MB (and MN, MD)
// for the administrative data.
#pragma once

#include "records/CodeEntry.h"
#include "records/Record.h"

namespace qv {

class RecordMB;
class RecordMN;
class RecordMD;

// What the code rules read: the running record's lists and the case.
struct CodeCase {
  CodeCase(Record& running, const CodeEntry* diagnoses, int diagnosisSlots, const CodeEntry* treatments,
           int treatmentSlots, int maxDiagnosisIndex, const RecordMB* mb, const RecordMN* mn, const RecordMD* md)
      : Running(running),
        Diagnoses(diagnoses),
        DiagnosisSlots(diagnosisSlots),
        Treatments(treatments),
        TreatmentSlots(treatmentSlots),
        MaxDiagnosisIndex(maxDiagnosisIndex),
        MbRecord(mb),
        Mn(mn),
        Md(md) {}

  Record& Running;  // counters and findings go to this record
  const CodeEntry* Diagnoses;
  int DiagnosisSlots;
  const CodeEntry* Treatments;
  int TreatmentSlots;
  int MaxDiagnosisIndex;     // for the "Z38 anywhere" check
  const RecordMB* MbRecord;  // the case's MB
  const RecordMN* Mn;        // the case's MN, null when the case has none
  const RecordMD* Md;        // the case's MD, null when the case has none
  // The written positions of the lists, where the record kept them from
  // loading; null: the rule walker collects them.
  const WrittenPositions* WrittenDiagnoses = nullptr;
  const WrittenPositions* WrittenTreatments = nullptr;

  // Facts about the own diagnoses that several rows need, gathered once.
  struct Facts {
    bool SecondaryZ37 = false;
    bool SecondaryO09 = false;
    bool HasHivGroup = false;
    bool HasF64 = false;
    bool HasLiveBirthZ38 = false;
  } Found;

  // An own diagnosis up to MaxDiagnosisIndex begins with the prefix.
  bool HasDiagnosisPrefix(const char* prefix) const;

  // What the rule walker needs of the record under test.
  const char* Field(int n) const { return Running.Field(n); }
  const char* BadCharField = kEmptyText;  // no code rule shows one
  void Report(const RuleInfo& rule, const char* value, int entryKind = -1, int position = -1) {
    Running.Report(rule, value, entryKind, position);
  }
};

void RunCodeRules(CodeCase& codeCase);

}  // namespace qv
