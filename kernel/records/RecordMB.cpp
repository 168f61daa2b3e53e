#include "records/RecordMB.h"

#include <charconv>
#include <climits>
#include <cstring>

#include "foundation/Logger.h"
#include "foundation/Platform.h"
#include "interface/LibraryGlobals.h"
#include "records/CodeLists.h"

namespace qv {

RecordMB::RecordMB() : Record(KindMB, 90) {
  MbRecord = this;
  LogInfo("Creating RecordMB");
  for (int i = 0; i < 29; ++i) Bind(i, &F[i]);
  for (auto& d : Diagnoses) d.Domain = DomainICD;
  for (auto& t : Treatments) t.Domain = DomainCHOP;
  BindCodeFields();
  const int residenceDomains[5] = {DomainREGIO, DomainPLZ, DomainWREGIO, DomainLREGIO, DomainNATIO};
  for (int i = 0; i < 5; ++i) ResidenceLookups[i].Domain = residenceDomains[i];
  NationalityLookups[NatNATIO].Domain = DomainNATIO;
  NationalityLookups[NatWREGIO].Domain = DomainWREGIO;
  LogInfo("End Creating RecordMB");
}

RecordMB::~RecordMB() = default;

void RecordMB::BindCodeFields() {
  for (int i = 0; i < 30; ++i) Bind(29 + i, &Diagnoses[i].Key);
  Bind(59, &Treatments[0].Key);
  Bind(60, &TreatmentBeginText);
  for (int i = 1; i < 30; ++i) Bind(60 + i, &Treatments[i].Key);
}

void RecordMB::setFieldCount(int count) {
  LogInfo("RecordMB.setFieldCount aFieldCount:%i", count);
  SplitFieldLimit = -1;  // rebinding moves field values
  if (count == 50) {
    CodeCount = DiagnosisSlots = TreatmentSlots = 10;
    FieldCount = 50;
    Bind(39, &Treatments[0].Key);
    Bind(40, &TreatmentBeginText);
    for (int i = 1; i < 10; ++i) Bind(40 + i, &Treatments[i].Key);
    // A line read with the 90-field binding left fields 39-49 in diagnosis
    // entries 10-20: put them where the 50-field layout keeps them.
    Treatments[0].Key = Diagnoses[10].Key;
    TreatmentBeginText = Diagnoses[11].Key;
    for (int i = 1; i < 10; ++i) Treatments[i].Key = Diagnoses[11 + i].Key;
  } else if (count == 90) {
    CodeCount = DiagnosisSlots = TreatmentSlots = 30;
    FieldCount = 90;
    BindCodeFields();
  } else {
    LogError("Unsupported fieldcount (%i) in MB (50 or 90 are allowed)", count);
  }
}

void RecordMB::onBeforeLoadData() {
  LogInfo("Record.onBeforeLoadData");
  for (bool& present : Present) present = false;
  ErrorCount = WarningCount = HintCount = StructureCount = 0;
  if (Messages) Messages->CaseId[0] = '\0';
}

void RecordMB::onAfterLoadData() {
  LogInfo("RecordMB.onAfterLoadData EnterCodeCount:%i", CodeCount);
  if (CodeCount == 0) setFieldCount(LoadedFieldCount);
  if (GetErrorState() != 0) {
    LogInfo("RecordMB.onAfterLoadData Exit ErrorState -1");
    return;
  }
  LogInfo("RecordMB.onAfterLoadData FieldCount:%i, LodedFieldCount:%i,  CodeCount:%i LineNumberInMX:%i", FieldCount,
          LoadedFieldCount, CodeCount, FileLineNumber);
  MaxDiagnosisIndex = MaxTreatmentIndex = DiagnosisCount = TreatmentCount = 0;
  // The code positions up to the last filled code field (a treatment's
  // begin text counts for the first treatment); those behind it are blank.
  const int firstTreatment = 29 + CodeCount;
  const int lastDiagnosis = LastFilledBefore(firstTreatment);
  const int lastTreatment = LastFilledBefore(FieldCount);
  const int diagnoses = lastDiagnosis < 29 ? 0 : lastDiagnosis - 29 + 1;
  int treatments = 0;
  if (lastTreatment >= firstTreatment) treatments = lastTreatment > firstTreatment ? lastTreatment - firstTreatment : 1;
  const int filled = diagnoses > treatments ? diagnoses : treatments;
  const int end = filled > CodesClearFrom ? filled : CodesClearFrom < CodeCount ? CodesClearFrom : CodeCount;
  for (int j = 0; j < end; ++j) {
    LogInfo("Codes[%i]  DIA:(%s)/ BEH:(%s)", j, Diagnoses[j].Key, Treatments[j].Key);
    Lookups->LookupCode(Diagnoses[j], Diagnoses[j].Key);
    if (!Diagnoses[j].KeyEmpty) {
      ++DiagnosisCount;
      MaxDiagnosisIndex = j;
    }
    Lookups->LookupCode(Treatments[j], Treatments[j].Key);
    if (!Treatments[j].KeyEmpty) {
      ++TreatmentCount;
      MaxTreatmentIndex = j;
    }
  }
  // Blank positions already cleared: only their log lines.
  for (int j = end; j < CodeCount && LogIsOn(); ++j) {
    LogInfo("Codes[%i]  DIA:(%s)/ BEH:(%s)", j, Diagnoses[j].Key, Treatments[j].Key);
    LookupFile::LogSkippedLookups(2);
  }
  CodesClearFrom = filled < CodeCount ? filled : CodeCount;

  Lookups->LookupCodes(ResidenceLookups, 5, F[13]);
  V04Text = kEmptyText;
  const int displayOrder[5] = {ResPLZ, ResREGIO, ResLREGIO, ResNATIO, ResWREGIO};
  const int column = iLanguage >= 0 && iLanguage < kLookupColumns ? iLanguage : 0;
  for (int i : displayOrder) {
    if (ResidenceLookups[i].Found) {
      V04Text = ResidenceLookups[i].Columns[column];
      break;
    }
  }
  Lookups->LookupCodes(NationalityLookups, 2, F[14]);

  ParseDate(F[11], BirthDate);
  ParseDate(F[15], AdmissionDate);
  ParseDate(F[25], DischargeDate);
  StatYear = DischargeDate.HasYear ? DischargeDate.Year : platform::LocalNow().tm_year + 1900;
  ParseDate(TreatmentBeginText, TreatmentBeginDate);

  // Computed wide: the leave field may hold any number.
  long long stay = static_cast<long long>(DischargeDate.HourNumber) - AdmissionDate.HourNumber + 1;
  if (!Empty(F[22]) && Int(F[22]) > 0) stay -= Int(F[22]);
  StayHours = stay < INT_MIN ? INT_MIN : stay > INT_MAX ? INT_MAX : static_cast<int>(stay);

  if (AdmissionDate.HasYear && BirthDate.HasYear) {
    iAge = AdmissionDate.Year - BirthDate.Year;
    AgeDays = AdmissionDate.DayNumber - BirthDate.DayNumber;
  } else {
    iAge = AgeDays = 0;
  }
  static_assert(sizeof Age >= 12, "Age holds any int (\"-2147483648\") and its terminator");
  *std::to_chars(Age, Age + sizeof Age - 1, iAge).ptr = '\0';

  if (BirthDate.DateOnly) AgeAtAdmission = YearsBetween(BirthDate, AdmissionDate);
  else if (!Empty(F[12])) AgeAtAdmission = Int(F[12]);
  else AgeAtAdmission = -1;

  LogInfo("RecordMB.onAfterLoadData: iAge:%i, Age:%s, V1103:%s", iAge, static_cast<const char*>(Age), F[12]);
  LogInfo("RecordMB.onAfterLoadData Exit LodedFieldCount:%i,  CodeCount:%i EndProc\n", LoadedFieldCount, CodeCount);
}

void RecordMB::onLastChildLoaded() {
  LogInfo("RecordMB.onLastChildLoaded");
  Messages->MbFieldValuesValid = true;
  Messages->MbLineNumber = LineNumber;
  if (Has(KindMD)) Messages->MdFieldValuesValid = true;
  TestRecord();
  for (int i = 0; i < AddOnCount; ++i)
    if (Has(AddOns[i]->RecordKind)) AddOns[i]->TestRecord();
  Loaded = 0;
  Messages->MbFieldValuesValid = false;
  Messages->MdFieldValuesValid = false;
}

}  // namespace qv
