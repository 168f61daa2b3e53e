#include "records/RecordMD.h"

#include <cstring>

#include "foundation/Logger.h"
#include "records/CodeLists.h"
#include "records/RecordMB.h"

namespace qv {

namespace {

// Days between two dates; a stay that begins and ends on the same day
// counts as one day.
int DayDifference(const ParsedDate& a, const ParsedDate& b) {
  if (a.HasDay && b.HasDay && a.DayNumber == b.DayNumber) return 1;
  return b.DayNumber - a.DayNumber;
}

// The number of diagnosis (treatment) slots up to the one field f belongs
// to: 0 for a field before the list.
int DiagnosisSlotsThrough(int f) {
  if (f < Md3MainDiagnosis) return 0;
  if (f < Md6Supplement) return 1;
  if (f < Md7FirstSecondary) return 2;
  return 3 + (f - Md7FirstSecondary) / 3;
}
int TreatmentSlotsThrough(int f) { return f < Md154FirstTreatment ? 0 : 1 + (f - Md154FirstTreatment) / 5; }

bool IsMedicationChar(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == ';' || c == '.' ||
         c == 0xF6 || c == 0xD6;
}

}  // namespace

RecordMD::RecordMD() : Record(KindMD, kMdFieldCount) {
  LogInfo("Creating RecordMD");
  SplitSetsFilledOnly = true;
  for (int n : {0, 2}) Bind(n, &F[n]);
  Bind(Md1Location, &Location.Key);
  Location.Domain = DomainPLZ;

  Bind(Md3MainDiagnosis, &Diagnoses[0].Key);
  Bind(Md3MainDiagnosis + 1, &Diagnoses[0].Attribute1);
  Bind(Md3MainDiagnosis + 2, &Diagnoses[0].Attribute2);
  Bind(Md6Supplement, &Diagnoses[1].Key);
  for (int e = 2; e < kMdDiagnosisSlots; ++e) {
    const int n = Md7FirstSecondary + 3 * (e - 2);
    Bind(n, &Diagnoses[e].Key);
    Bind(n + 1, &Diagnoses[e].Attribute1);
    Bind(n + 2, &Diagnoses[e].Attribute2);
  }
  for (auto& d : Diagnoses) d.Domain = DomainICD;

  for (int k = 0; k < kMdTreatmentSlots; ++k) {
    CodeEntry& t = Treatments[k];
    const int n = Md154FirstTreatment + 5 * k;
    Bind(n, &t.Key);
    Bind(n + 1, &t.Attribute1);
    Bind(n + 2, &t.DateText);
    Bind(n + 3, &t.Attribute3);
    Bind(n + 4, &t.Attribute4);
    t.Domain = DomainCHOP;
  }

  for (int n = Md154FirstTreatment + 5 * kMdTreatmentSlots; n < kMdFieldCount; ++n) Bind(n, &F[n]);
  LogInfo("end Creating RecordMD");
}

RecordMD::~RecordMD() { LogInfo("end Destroy RecordMD"); }

void RecordMD::onBeforeLoadData() {
  Record::onBeforeLoadData();
  // A line refused before its entries are looked up leaves no lists.
  WrittenDiagnoses.Count = WrittenTreatments.Count = -1;
}

void RecordMD::onAfterLoadData() {
  LogInfo("RecordMD.onAfterLoadData\n");
  DiagnosisCount = TreatmentCount = MaxDiagnosisIndex = MaxTreatmentIndex = 0;

  // The message lines of this case may show the case-cost case number.
  // Copied and cut to the buffer, as formatting it did, at a fraction of
  // the cost.
  if (Messages) {
    const char* id = Field(Md662CaseCostNumber);
    size_t n = 0;
    while (n + 1 < sizeof Messages->CaseId && id[n]) ++n;
    std::memcpy(Messages->CaseId, id, n);
    Messages->CaseId[n] = '\0';
  }

  LookUpEntries();

  for (int k = 0; k < kMdInterruptions; ++k) {
    const int n = Md663FirstInterimDischarge + 3 * k;
    ParseDate(Field(n), InterimDischargeDates[k]);
    ParseDate(Field(n + 1), ReadmissionDates[k]);
  }
  HasInterimDischarge = InterimDischargeDates[0].HasDay ? 1 : 0;

  ComputeStay();
  LogInfo("RecordMD.onAfterLoadData -> exit\n");
}

void RecordMD::LookUpEntries() {
  // An entry behind the last field the line filled in its list's range is
  // blank (an entry's texts are its fields, or empty where it has none), so
  // the written positions are looked for only up to that entry.
  const int diagnoses = DiagnosisSlotsThrough(LastFilledBefore(Md154FirstTreatment));
  const int treatments = TreatmentSlotsThrough(LastFilledBefore(Md154FirstTreatment + 5 * kMdTreatmentSlots));
  DiagnosesClearFrom =
      LookUpList(Diagnoses, kMdDiagnosisSlots, diagnoses, DiagnosesClearFrom, false, DiagnosisCount, MaxDiagnosisIndex);
  TreatmentsClearFrom = LookUpList(Treatments, kMdTreatmentSlots, treatments, TreatmentsClearFrom, true, TreatmentCount,
                                   MaxTreatmentIndex);
  if (Lookups) Lookups->LookupCode(Location, Location.Key);
  WrittenDiagnoses.Collect(Diagnoses, diagnoses);
  WrittenTreatments.Collect(Treatments, treatments);
}

int RecordMD::LookUpList(CodeEntry* list, int slots, int filled, int clearFrom, bool dated, int& count,
                         int& maxIndex) {
  // A blank entry past both the filled part and the part the last lookup
  // changed is as a lookup would leave it: skipped, its log line kept. Its
  // date's text is the static empty text the splitter leaves in the empty
  // fields of this record, not a pointer into data the next call replaces.
  const int end = !Lookups ? slots : filled > clearFrom ? filled : clearFrom < slots ? clearFrom : slots;
  for (int k = 0; k < end; ++k) {
    CodeEntry& e = list[k];
    if (Lookups) Lookups->LookupCode(e, e.Key);
    if (!e.KeyEmpty) {
      ++count;
      maxIndex = k;
    }
    if (dated) ParseDate(e.DateText, e.Date);
  }
  LookupFile::LogSkippedLookups(slots - end);
  return Lookups && filled < slots ? filled : slots;
}

void RecordMD::ComputeStay() {
  static const ParsedDate kNoDate{};
  const ParsedDate& admission = MbRecord ? MbRecord->AdmissionDate : kNoDate;
  const ParsedDate& discharge = MbRecord ? MbRecord->DischargeDate : kNoDate;

  // Only whole days of leave count: 24 hours give none, 25 to 47 one.
  const char* leaveHours = MbRecord ? MbRecord->Field(Mb22LeaveHours) : kEmptyText;
  LeaveDays = (!Empty(leaveHours) && Int(leaveHours) > 24) ? Int(leaveHours) / 24 : 0;

  AbsenceDays = 0;
  if (!HasInterimDischarge) {
    StayDays = DayDifference(admission, discharge) - LeaveDays;
    return;
  }
  // The stay is the sum of the parts in hospital; the chain of
  // interruptions stops at the first interim discharge without a valid day.
  StayDays = DayDifference(admission, InterimDischargeDates[0]);
  AbsenceDays += InterimDischargeDates[0].DayNumber - ReadmissionDates[0].DayNumber;
  int last = 0;
  for (int k = 1; k < kMdInterruptions && InterimDischargeDates[k].HasDay; ++k) {
    StayDays += DayDifference(ReadmissionDates[k - 1], InterimDischargeDates[k]);
    AbsenceDays += InterimDischargeDates[k].DayNumber - ReadmissionDates[k].DayNumber;
    last = k;
  }
  StayDays += DayDifference(ReadmissionDates[last], discharge);
  StayDays -= LeaveDays;
}

int RecordMD::CheckSpecialChars() const {
  const int found = Record::CheckSpecialChars();
  if (found < Md677FirstMedication || found > Md690LastMedication) return found;
  // Drug names may be joined by ';' and abbreviated with '.'.
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(Field(found)); *p; ++p)
    if (!IsMedicationChar(*p)) return found;
  // No finding: the next message must not name this field.
  if (Messages) Messages->BadFieldIndex = -1;
  return -1;
}

}  // namespace qv
