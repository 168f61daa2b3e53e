// The basic case record ("MB|"): the administrative fields of a case and its
// diagnosis and treatment codes, in a 90-field or a 50-field layout, with
// the values derived from them (dates, age, length of stay, residence).
// Its add-on records follow it and are tested after it.
#pragma once

#include "records/CodeEntry.h"
#include "records/Record.h"

namespace qv {

class RecordMD;
class RecordMN;
class RecordMP;
class RecordMK;

constexpr int kMbCodeSlots = 30;

class RecordMB : public Record {
 public:
  RecordMB();
  ~RecordMB() override;

  void TestRecord() override;
  void onLastChildLoaded() override;
  void onBeforeLoadData() override;
  void onAfterLoadData() override;

  // Fixes the layout: 90 fields (30 diagnoses, 30 treatments) or 50 fields
  // (10 each). Other counts are refused with an error.
  void setFieldCount(int count);
  // 1 when a diagnosis up to MaxDiagnosisIndex begins with the prefix.
  int HasDiagnosisPrefix(const char* prefix) const;

  const char* F[29] = {};
  const char* TreatmentBeginText = nullptr;

  int CodeCount = 0;
  int DiagnosisSlots = 0;
  int TreatmentSlots = 0;
  CodeEntry Diagnoses[kMbCodeSlots];
  CodeEntry Treatments[kMbCodeSlots];
  int DiagnosisCount = 0;
  int TreatmentCount = 0;
  int MaxDiagnosisIndex = 0;
  int MaxTreatmentIndex = 0;

  // Which add-on lines the current case has.
  struct {
    bool MN = false, MP = false, MD = false, MK = false;
  } ChildPresent;

  RecordMB* MbRecord = this;
  RecordMD* MdRecord = nullptr;
  RecordMN* MnRecord = nullptr;
  RecordMP* MpRecord = nullptr;
  RecordMK* MkRecord = nullptr;

  ParsedDate BirthDate, AdmissionDate, DischargeDate, TreatmentBeginDate;
  int iAge = 0;
  int AgeDays = 0;
  int AgeAtAdmission = -1;
  char Age[12] = "0";
  int StayHours = 0;

  // Field 13 looked up as REGIO, PLZ, WREGIO, LREGIO, NATIO; field 14 as
  // NATIO, WREGIO.
  enum { ResREGIO, ResPLZ, ResWREGIO, ResLREGIO, ResNATIO };
  LookupResult ResidenceLookups[5];
  enum { NatNATIO, NatWREGIO };
  LookupResult NationalityLookups[2];

 private:
  void BindCodeFields();
};

}  // namespace qv
