// The detail record ("MD|", 696 fields): the full diagnosis and treatment
// lists with their attributes, intensive care, infant measurements, interim
// discharges and re-admissions. After loading it derives the entry counts
// and the computed length of stay that its rules compare.
#pragma once

#include "records/CodeEntry.h"
#include "records/FieldNames.h"
#include "records/Record.h"

namespace qv {

class RecordMB;
class RecordMN;

constexpr int kMdFieldCount = 696;
constexpr int kMdDiagnosisSlots = 51;
constexpr int kMdTreatmentSlots = 100;
constexpr int kMdInterruptions = 4;
static_assert(kMdDiagnosisSlots <= kMaxEntrySlots && kMdTreatmentSlots <= kMaxEntrySlots, "entry walker capacity");

class RecordMD : public Record {
 public:
  RecordMD();
  ~RecordMD() override;

  void TestRecord() override;
  // Unlike the base, finishing a case leaves Loaded as it is.
  void onLastChildLoaded() override {}
  void onBeforeLoadData() override;
  void onAfterLoadData() override;
  // Medication fields may also hold ';', '.', 'ö' and 'Ö'.
  int CheckSpecialChars() const override;

  static constexpr int DiagnosisSlots = kMdDiagnosisSlots;
  static constexpr int TreatmentSlots = kMdTreatmentSlots;

  // 0 main diagnosis, 1 supplementary code (no attributes), 2..50 the
  // secondary diagnoses 1..49; laterality and POA are attributes 1 and 2.
  CodeEntry Diagnoses[kMdDiagnosisSlots];
  // Entry k is treatment k+1: laterality (attribute 1), begin date/time
  // (DateText, parsed into Date) and attributes 3 and 4.
  CodeEntry Treatments[kMdTreatmentSlots];
  // The written positions of both lists, gathered when the line is loaded
  // (the entries do not change after that).
  WrittenPositions WrittenDiagnoses;
  WrittenPositions WrittenTreatments;
  // Field 1, the hospital's postal code, looked up as PLZ.
  CodeEntry Location;

  // Interruption k (0-based): interim discharge and re-admission dates.
  ParsedDate InterimDischargeDates[kMdInterruptions];
  ParsedDate ReadmissionDates[kMdInterruptions];

  int DiagnosisCount = 0;
  int TreatmentCount = 0;
  int MaxDiagnosisIndex = 0;
  int MaxTreatmentIndex = 0;
  int HasInterimDischarge = 0;
  // Administrative leave of the MB in whole days (hours / 24 when above 24).
  int LeaveDays = 0;
  // Length of stay in days: the parts between admission, interruptions and
  // discharge, less the leave days.
  int StayDays = 0;
  // Sum of (interim discharge day - re-admission day) over the chained
  // interruptions: zero or negative for consistent data.
  int AbsenceDays = 0;

  // Set by the data source when it creates its records.
  RecordMN* MnRecord = nullptr;

 private:
  void LookUpEntries();
  // Looks up list[0, slots) and parses the treatment dates (dated); entries
  // from filled on are blank. Returns the first position of the blank tail.
  int LookUpList(CodeEntry* list, int slots, int filled, int clearFrom, bool dated, int& count, int& maxIndex);
  void ComputeStay();

  // Texts of the fields that are not part of an entry.
  const char* F[kMdFieldCount] = {};
  // Entries from these positions on were blank when last looked up and are
  // unchanged since: a cleared result, an empty date whose text is static.
  // The next lookup skips them while they stay blank.
  int DiagnosesClearFrom = kMdDiagnosisSlots;
  int TreatmentsClearFrom = kMdTreatmentSlots;
};

}  // namespace qv
