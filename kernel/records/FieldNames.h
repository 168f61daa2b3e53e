// Names of the fields that rule conditions read, by record kind. The number
// in each name is the field's number on its line (field 0 is the record
// kind), so that a condition can be compared with its table row.
#pragma once

namespace qv {

enum MbFieldName {
  Mb2Location = 2,
  Mb3Canton = 3,
  Mb5CaseKind = 5,         // statistics case kind: A, B, C
  Mb6NewbornAddOn = 6,     // the case announces an MN line (1)
  Mb7PsychiatryAddOn = 7,  // ... an MP line
  Mb8DetailAddOn = 8,      // ... an MD line
  Mb9CantonalAddOn = 9,    // ... an MK line
  Mb10Sex = 10,
  Mb11BirthDate = 11,
  Mb12Age = 12,  // age at admission in years, as written
  Mb13Residence = 13,
  Mb14Nationality = 14,
  Mb15Admission = 15,
  Mb16StayBefore = 16,
  Mb17AdmissionType = 17,  // 3: birth
  Mb18Referrer = 18,
  Mb19TreatmentType = 19,  // 3: inpatient
  Mb20Class = 20,
  Mb21IcuHours = 21,
  Mb22LeaveHours = 22,
  Mb23MainCostCentre = 23,
  Mb24MainPayer = 24,
  Mb25Discharge = 25,
  Mb26DischargeDecision = 26,  // 5: death
  Mb27StayAfter = 27,
  Mb28TreatmentAfter = 28,
  Mb60MainTreatmentBegin = 60,  // in both layouts (the 50-field layout is shown in the 90-field numbering)
};

enum MnFieldName {
  Mn3VitalStatus = 3,  // 1 live birth, 0 stillbirth
  Mn6BirthWeight = 6,
  Mn10MotherBirthDate = 10,
};

enum MdFieldName {
  Md1Location = 1,  // the hospital's postal code
  Md3MainDiagnosis = 3,
  Md6Supplement = 6,
  Md7FirstSecondary = 7,      // 3 fields per secondary diagnosis
  Md154FirstTreatment = 154,  // 5 fields per treatment
  Md156MainTreatmentBegin = 156,
  Md654VentilationHours = 654,
  Md655Severity = 655,
  Md656ScoreKind = 656,
  Md657Nems = 657,
  Md658ImcHours = 658,
  Md659ImcPoints = 659,
  Md660AdmissionWeight = 660,
  Md661HeadCircumference = 661,
  Md662CaseCostNumber = 662,
  Md663FirstInterimDischarge = 663,  // 3 fields per interruption: discharge, re-admission, reason
  Md665FirstReadmissionReason = 665,
  Md675FurtherReadmissions = 675,
  Md676DrgStatus = 676,
  Md677FirstMedication = 677,
  Md690LastMedication = 690,
  // Reserve field 16: the gestational age of children up to 12 months. Its
  // own rows read it as the age, the reserve-field length row as text.
  Md691GestationalAge = 691,
  // Reserve fields 17 to 20: stay after interim discharge 1 to 4 (691 + k).
  Md692StayAfterFirstInterimDischarge = 692,
};

}  // namespace qv
