// The basic case record ("MB|"): the administrative fields of a case and its
// diagnosis and treatment codes, in a 90-field or a 50-field layout, with
// the values derived from them (dates, age, length of stay, residence).
// Its add-on records follow it and are tested after it.
#pragma once

#include "records/CodeEntry.h"
#include "records/Record.h"

namespace qv {

class RecordMN;

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

  // Whether the current case has a line of this add-on kind.
  bool Has(int kind) const { return kind > 0 && kind < kRecordKindLimit && Present[kind]; }
  bool Present[kRecordKindLimit] = {};

  // The add-on records in the order a case's add-ons are tested; set by the
  // data source from its record-kind table.
  Record* AddOns[kRecordKindLimit] = {};
  int AddOnCount = 0;
  // The newborn record, which the code rules read.
  RecordMN* MnRecord = nullptr;

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
  // Code positions from here on were blank when last looked up and are
  // unchanged since (cleared results): skipped while they stay blank.
  int CodesClearFrom = kMbCodeSlots;
};

}  // namespace qv
