// Tests of the detail record: clinical details, rehospitalisation, the
// administrative fields, the code rules shared with the MB and the tests of
// single diagnosis and treatment entries, in this order.
#include <cstring>

#include "foundation/Logger.h"
#include "interface/LibraryGlobals.h"
#include "records/RecordMB.h"
#include "records/RecordMD.h"
#include "records/RecordMN.h"
#include "rules/Catalogue.h"
#include "rules/CodeRules.h"
#include "rules/Rule.h"

namespace qv {

namespace {

// --- Readers the conditions are written with --------------------------------

const char* const kDrgStatus[] = {"0", "1", "2", "3", "4", "5", "6", "7"};
const CodeList DrgStatusCodes{kDrgStatus, 8};
const char* const kStayAfter[] = {"1", "2", "3", "4", "44", "5", "55", "6", "66", "7", "8", "9"};
const CodeList StayAfterInterimDischargeCodes{kStayAfter, 12};
// The empty value first: it is the usual one.
const char* const kLaterality[] = {"", "0", "1", "2", "3", "9"};
const CodeList LateralityCodes{kLaterality, 6};
const char* const PoaRequiredCodes =
    "|F05|G90|G97|I23|I26|I51|I63|I72|I80|I97|J12|J13|J14|J15|J16|J18|J69|J90|J93|J95|K91|K92|L89|N10|N17|N30|"
    "N39|N99|O29|O99|T80|T81|T82|T83|T84|T85|T86|T87|T88|T89|X59|Y57|Y59|Y69|Y82|Y84";

// The numeric value of a text (see Int), widened so that sums such as
// "ICU hours + 18" cannot overflow.
long long Num(const char* text) { return Int(text); }

size_t Len(const char* text) { return text ? std::strlen(text) : 0; }

const ParsedDate& Admission(const RecordMD& r) { return r.MbRecord->AdmissionDate; }
const ParsedDate& Discharge(const RecordMD& r) { return r.MbRecord->DischargeDate; }
bool HasMn(const RecordMD& r) { return r.MbRecord->Has(KindMN) && r.MnRecord; }

// Interruption k = 1..4: interim discharge, re-admission, reason of the
// re-admission (field 665 + 3 (k - 1)) and stay after the interim discharge
// (field 692 + k - 1).
const ParsedDate& Discharged(const RecordMD& r, int k) { return r.InterimDischargeDates[k - 1]; }
const ParsedDate& Readmitted(const RecordMD& r, int k) { return r.ReadmissionDates[k - 1]; }
const char* ReadmissionReason(const RecordMD& r, int k) { return r.Field(Md665FirstReadmissionReason + 3 * (k - 1)); }
const char* StayAfter(const RecordMD& r, int k) { return r.Field(Md692StayAfterFirstInterimDischarge + k - 1); }
int Day(const ParsedDate& d) { return d.DayNumber; }

// --- Shared conditions of the numbered families ----------------------------

bool BadInterruptionDate(const ParsedDate& d) { return YearFrom(2012) && !d.IsEmpty && !d.DateOnly; }

bool BeforeAdmission(const RecordMD& r, const ParsedDate& d) {
  return YearFrom(2012) && IsACase(r) && !Admission(r).IsEmpty && !d.IsEmpty && Day(Admission(r)) > Day(d);
}

bool AfterDischarge(const RecordMD& r, const ParsedDate& d) {
  return YearFrom(2012) && IsACase(r) && !Discharge(r).IsEmpty && !d.IsEmpty && Day(d) > Day(Discharge(r));
}

bool OutOfOrder(const RecordMD& r, const ParsedDate& earlier, const ParsedDate& later) {
  return YearFrom(2012) && IsACase(r) && !earlier.IsEmpty && !later.IsEmpty && Day(earlier) > Day(later);
}

bool BadReason(const RecordMD& r, int k) {
  return YearFrom(2012) && !Empty(ReadmissionReason(r, k)) && !IsCodeInList(ReadmissionReason(r, k), _1239);
}

bool ReadmissionMissing(const RecordMD& r, int k) {
  return YearFrom(2012) && !Empty(Discharged(r, k).Text) && Empty(Readmitted(r, k).Text);
}

bool ReasonMissing(const RecordMD& r, int k) {
  return YearFrom(2012) && !Empty(Readmitted(r, k).Text) && Empty(ReadmissionReason(r, k));
}

// Every re-admission is measured from the 1st interim discharge.
bool ReadmissionBeyondWindow(const RecordMD& r, int k) {
  return YearFrom(2014) && Discharged(r, 1).DateOnly && Readmitted(r, k).DateOnly &&
         Day(Readmitted(r, k)) - Day(Discharged(r, 1)) > 18;
}

bool AnyReadmissionBeyondWindow(const RecordMD& r) {
  if (!YearFrom(2014)) return false;
  for (int k = 1; k <= kMdInterruptions; ++k)
    if (Readmitted(r, k).HasDay && Day(Readmitted(r, k)) - Day(Discharged(r, 1)) > 18) return true;
  return false;
}

// An interruption must be two plain dates, in order, inside the stay.
bool ImplausibleInterruption(const RecordMD& r, int k) {
  if (!YearFrom(2014) || !IsACase(r)) return false;
  const ParsedDate& out = Discharged(r, k);
  const ParsedDate& back = Readmitted(r, k);
  if (Empty(out.Text) && Empty(back.Text)) return false;
  const ParsedDate& before = k == 1 ? Admission(r) : Readmitted(r, k - 1);
  const bool plausible = out.DateOnly && back.DateOnly && Day(out) >= Day(before) && Day(back) >= Day(out) &&
                         Day(back) <= Day(Discharge(r));
  return !plausible;
}

bool BadStayAfter(const RecordMD& r, int k) {
  return YearIn(2017, 9999) && !Empty(StayAfter(r, k)) && !IsAllHexDigits(StayAfter(r, k)) &&
         !IsCodeInList(StayAfter(r, k), StayAfterInterimDischargeCodes);
}

bool NotDigitsInRange(const char* text, long long high) {
  return !Empty(text) && !(IsAllDigits(text) && Num(text) >= 0 && Num(text) <= high);
}

bool LongerThan(const RecordMD& r, int n, size_t max) { return Len(r.Field(n)) > max; }

// --- Clinical details -------------------------------------------------------

Rule<RecordMD> kClinicalRules[] = {
    {{"B0300", "Gestationsalter_12M: Angabe fehlt", 230, Counter::Warning},
     [](const RecordMD& r) {
       return YearIn(2020, 9999) && Is(Mb(r, Mb19TreatmentType), "3") && r.MbRecord->AgeDays < 365 &&
              Empty(r.Field(Md691GestationalAge));
     },
     Value::None()},
    {{"B0301", "Gestationsalter_12M: Unwahrscheinliche Anzahl Wochen", 231, Counter::Warning},
     [](const RecordMD& r) {
       return YearFrom(2016) && Len(r.Field(Md691GestationalAge)) == 3 &&
              (Num(r.Field(Md691GestationalAge)) / 10 < 16 || Num(r.Field(Md691GestationalAge)) / 10 >= 45);
     },
     Value::Field(Md691GestationalAge)},
    {{"B0302", "Gestationsalter_12M: Ungültige Anzahl Tage", 232, Counter::Error},
     [](const RecordMD& r) {
       return YearFrom(2016) && Len(r.Field(Md691GestationalAge)) == 3 &&
              !(r.Field(Md691GestationalAge)[2] >= '0' && r.Field(Md691GestationalAge)[2] <= '6');
     },
     Value::Field(Md691GestationalAge)},
    {{"B0304", "Gestationsalter_12M: Verschlüsselter Wert", 233, Counter::Error},
     [](const RecordMD& r) {
       return YearFrom(2020) && Len(r.Field(Md691GestationalAge)) == 16 && IsAllHexDigits(r.Field(Md691GestationalAge));
     },
     Value::Field(Md691GestationalAge)},
    {{"B0305", "Gestationsalter_12M: Ungültiges Format", 234, Counter::Error},
     [](const RecordMD& r) {
       const char* f = r.Field(Md691GestationalAge);
       return YearFrom(2016) && !Empty(f) && !(Len(f) == 3 || (Len(f) == 16 && IsAllHexDigits(f)));
     },
     Value::Field(Md691GestationalAge)},

    {{"B1300", "Der Tarif für die Abrechnung muss erfasst werden", 235, Counter::Warning},
     [](const RecordMD& r) {
       return YearIn(2012, 9999) && IsACase(r) && Empty(r.Field(Md676DrgStatus)) && Is(Mb(r, Mb19TreatmentType), "3");
     },
     Value::None()},
    {{"B1301", "Tarif für die Abrechnung: Ungültige Angabe", 236, Counter::Error},
     [](const RecordMD& r) {
       return !Empty(r.Field(Md676DrgStatus)) && !IsCodeInList(r.Field(Md676DrgStatus), DrgStatusCodes);
     },
     Value::Field(Md676DrgStatus)},

    {{"B2010",
      "Im MB-Datensatz sind IPS-Stunden vorhanden. Ein Teil der Felder MD-Intensivmedizin muss ausgefüllt sein", 237,
      Counter::Warning},
     [](const RecordMD& r) {
       return YearIn(2014, 9999) && !Empty(Mb(r, Mb21IcuHours)) && Num(Mb(r, Mb21IcuHours)) != 0 &&
              (Empty(r.Field(Md654VentilationHours)) || Empty(r.Field(Md655Severity))) && IsACase(r);
     },
     Value::None()},
    {{"B2011", "Der Fall weist IPS-Stunden auf, aber das Feld NEMS ist leer", 238, Counter::Error},
     [](const RecordMD& r) {
       return YearIn(2016, 9999) && Is(Mb(r, Mb19TreatmentType), "3") && !Empty(Mb(r, Mb21IcuHours)) &&
              Num(Mb(r, Mb21IcuHours)) != 0 && (Empty(r.Field(Md657Nems)) || Num(r.Field(Md657Nems)) <= 0);
     },
     Value::None()},
    {{"B2110", "Die Dauer der künstlichen Beatmung darf nicht kleiner als 0 oder grösser als 99999 Stunden sein", 239,
      Counter::Error},
     [](const RecordMD& r) { return OutOfRange(r.Field(Md654VentilationHours), 0, 99999); },
     Value::Field(Md654VentilationHours)},
    {{"B2120", "Die Dauer der künstlichen Beatmung darf nicht grösser als diejenige der IPS-Stunden sein", 240,
      Counter::Hint},
     [](const RecordMD& r) {
       return IsACase(r) && !Empty(r.Field(Md654VentilationHours)) &&
              Num(r.Field(Md654VentilationHours)) > Num(Mb(r, Mb21IcuHours)) + 18 && Num(Mb(r, Mb21IcuHours)) > 0;
     },
     Value::Field(Md654VentilationHours)},
    {{"B2130", "Die Dauer der künstlichen Beatmung darf nicht grösser als die Aufenthaltsdauer sein", 241,
      Counter::Error},
     [](const RecordMD& r) {
       return IsACase(r) && !Empty(r.Field(Md654VentilationHours)) &&
              Num(r.Field(Md654VentilationHours)) > r.MbRecord->StayHours + 18LL;
     },
     Value::Field(Md654VentilationHours)},
    {{"B2210", "Der Schweregrad der akuten Erkrankung darf nicht kleiner als 0 oder grösser als 999 Punkte sein", 242,
      Counter::Error},
     [](const RecordMD& r) { return OutOfRange(r.Field(Md655Severity), 0, 999); },
     Value::Field(Md655Severity)},
    {{"B2220", "Wenn ein Schweregrad angegeben wurde, so muss auch die Art des Scores eingetragen sein", 243,
      Counter::Error},
     [](const RecordMD& r) { return !Empty(r.Field(Md655Severity)) && Empty(r.Field(Md656ScoreKind)); },
     Value::None()},
    {{"B2221", "Ungültige Art des Scores", 244, Counter::Error},
     [](const RecordMD& r) {
       return !Empty(r.Field(Md656ScoreKind)) && !IsCodeInList(r.Field(Md656ScoreKind), _3_SCOREART);
     },
     Value::Field(Md656ScoreKind)},
    {{"B2225",
      "Wenn die Art des Scores angegeben wurde, so muss auch ein Schweregrad oder Aufwandspunkte für IMC eingetragen "
      "sein",
      245, Counter::Error},
     [](const RecordMD& r) {
       return YearUntil(9999) && !Empty(r.Field(Md656ScoreKind)) && Empty(r.Field(Md655Severity)) &&
              Empty(r.Field(Md659ImcPoints));
     },
     Value::None()},
    {{"B2310", "Das Total aller NEMS-Schichten darf nicht kleiner als 0 oder grösser als 999999 sein", 246,
      Counter::Error},
     [](const RecordMD& r) { return OutOfRange(r.Field(Md657Nems), 0, 999999); },
     Value::Field(Md657Nems)},
    {{"B2350", "Die Aufenthaltsdauer auf einer Intermediate Care Station muss zwischen 0 und 999999 Stunden betragen",
      247, Counter::Error},
     [](const RecordMD& r) { return YearIn(2017, 9999) && NotDigitsInRange(r.Field(Md658ImcHours), 999999); },
     Value::Field(Md658ImcHours)},
    {{"B2360", "Die Aufwandspunkte für IMC müssen zwischen 0 und 999999 betragen.", 248, Counter::Error},
     [](const RecordMD& r) { return YearIn(2017, 9999) && NotDigitsInRange(r.Field(Md659ImcPoints), 999999); },
     Value::Field(Md659ImcPoints)},

    {{"B3165", "Aufnahmegewicht: Angabe fehlt", 249, Counter::Hint},
     [](const RecordMD& r) { return Empty(r.Field(Md660AdmissionWeight)) && Is(Mb(r, Mb17AdmissionType), "3"); },
     Value::None()},
    {{"B3167", "Aufnahmegewicht eines Säuglings bis 12 Monate: Angabe fehlt", 250, Counter::Error},
     [](const RecordMD& r) {
       return YearFrom(2012) && IsACase(r) && Empty(r.Field(Md660AdmissionWeight)) && r.MbRecord->AgeAtAdmission < 1;
     },
     Value::None()},
    // The limit is 16000 grams, whatever the text says.
    {{"B3168", "Das Aufnahmegewicht darf nicht kleiner als 0 oder grösser als 99999 Gramm sein", 251, Counter::Error},
     [](const RecordMD& r) { return OutOfRange(r.Field(Md660AdmissionWeight), 0, 16000); },
     Value::Field(Md660AdmissionWeight)},
    {{"B3169",
      "Das Aufnahmegewicht eines Säuglings muss, bei Eintrittsart = 3 Geburt, dem Geburtsgewicht im "
      "Neugeborenen-Datensatz entsprechen",
      252, Counter::Error},
     [](const RecordMD& r) {
       return HasMn(r) && !Empty(r.Field(Md660AdmissionWeight)) && Is(Mb(r, Mb17AdmissionType), "3") &&
              Num(r.Field(Md660AdmissionWeight)) != Num(r.MnRecord->Field(Mn6BirthWeight));
     },
     Value::Field(Md660AdmissionWeight)},
    {{"B3175", "Kopfumfang: Angabe fehlt", 253, Counter::Warning},
     [](const RecordMD& r) { return IsACase(r) && Empty(r.Field(Md661HeadCircumference)) && HasMn(r); },
     Value::None()},
    // Only discharge decisions after "5" (death) stand for live births here.
    {{"B3177", "Der Kopfumfang darf bei Lebendgeburten nicht kleiner als 15 oder grösser als 50 cm sein.", 254,
      Counter::Warning},
     [](const RecordMD& r) {
       return std::strcmp(Mb(r, Mb26DischargeDecision), "5") > 0 && OutOfRange(r.Field(Md661HeadCircumference), 15, 50);
     },
     Value::Field(Md661HeadCircumference)},
};

// --- Rehospitalisation --------------------------------------------------------

Rule<RecordMD> kRehospitalisationRules[] = {
    {{"B6640", "Weitere Wiedereintritte: Ungültige Angabe", 255, Counter::Error},
     [](const RecordMD& r) {
       return YearFrom(2012) && !Empty(r.Field(Md675FurtherReadmissions)) &&
              !IsCodeInList(r.Field(Md675FurtherReadmissions), _01);
     },
     Value::Field(Md675FurtherReadmissions)},

    {{"B6900", "1. Zwischenaustritt: Ungültige Datumsangabe", 256, Counter::Error},
     [](const RecordMD& r) { return BadInterruptionDate(Discharged(r, 1)); },
     Value::Field(663)},
    {{"B6901", "1. Wiedereintritt: Ungültige Datumsangabe", 257, Counter::Error},
     [](const RecordMD& r) { return BadInterruptionDate(Readmitted(r, 1)); },
     Value::Field(664)},
    {{"B6902", "2. Zwischenaustritt: Ungültige Datumsangabe", 258, Counter::Error},
     [](const RecordMD& r) { return BadInterruptionDate(Discharged(r, 2)); },
     Value::Field(666)},
    {{"B6903", "2. Wiedereintritt: Ungültige Datumsangabe", 259, Counter::Error},
     [](const RecordMD& r) { return BadInterruptionDate(Readmitted(r, 2)); },
     Value::Field(667)},
    {{"B6904", "3. Zwischenaustritt: Ungültige Datumsangabe", 260, Counter::Error},
     [](const RecordMD& r) { return BadInterruptionDate(Discharged(r, 3)); },
     Value::Field(669)},
    {{"B6905", "3. Wiedereintritt: Ungültige Datumsangabe", 261, Counter::Error},
     [](const RecordMD& r) { return BadInterruptionDate(Readmitted(r, 3)); },
     Value::Field(670)},
    {{"B6906", "4. Zwischenaustritt: Ungültige Datumsangabe", 262, Counter::Error},
     [](const RecordMD& r) { return BadInterruptionDate(Discharged(r, 4)); },
     Value::Field(672)},
    {{"B6907", "4. Wiedereintritt: Ungültige Datumsangabe", 263, Counter::Error},
     [](const RecordMD& r) { return BadInterruptionDate(Readmitted(r, 4)); },
     Value::Field(673)},

    {{"B6910", "Der 1. Zwischenaustritt (4.7.V01) liegt vor dem Eintrittsdatum", 264, Counter::Error},
     [](const RecordMD& r) { return BeforeAdmission(r, Discharged(r, 1)); },
     Value::Field(663)},
    {{"B6911", "Der 1. Wiedereintritt (4.7.V02) liegt vor dem Eintrittsdatum", 265, Counter::Error},
     [](const RecordMD& r) { return BeforeAdmission(r, Readmitted(r, 1)); },
     Value::Field(664)},
    {{"B6912", "Der 2. Zwischenaustritt (4.7.V11) liegt vor dem Eintrittsdatum", 266, Counter::Error},
     [](const RecordMD& r) { return BeforeAdmission(r, Discharged(r, 2)); },
     Value::Field(666)},
    {{"B6913", "Der 2. Wiedereintritt (4.7.V12) liegt vor dem Eintrittsdatum", 267, Counter::Error},
     [](const RecordMD& r) { return BeforeAdmission(r, Readmitted(r, 2)); },
     Value::Field(667)},
    {{"B6914", "Der 3. Zwischenaustritt (4.7.V21) liegt vor dem Eintrittsdatum", 268, Counter::Error},
     [](const RecordMD& r) { return BeforeAdmission(r, Discharged(r, 3)); },
     Value::Field(669)},
    {{"B6915", "Der 3. Wiedereintritt (4.7.V22) liegt vor dem Eintrittsdatum", 269, Counter::Error},
     [](const RecordMD& r) { return BeforeAdmission(r, Readmitted(r, 3)); },
     Value::Field(670)},
    {{"B6916", "Der 4. Zwischenaustritt (4.7.V31) liegt vor dem Eintrittsdatum", 270, Counter::Error},
     [](const RecordMD& r) { return BeforeAdmission(r, Discharged(r, 4)); },
     Value::Field(672)},
    {{"B6917", "Der 4. Wiedereintritt (4.7.V32) liegt vor dem Eintrittsdatum", 271, Counter::Error},
     [](const RecordMD& r) { return BeforeAdmission(r, Readmitted(r, 4)); },
     Value::Field(673)},

    {{"B6920", "Der 1. Zwischenaustritt (4.7.V01) liegt nach dem Austrittsdatum", 272, Counter::Error},
     [](const RecordMD& r) { return AfterDischarge(r, Discharged(r, 1)); },
     Value::Field(663)},
    {{"B6921", "Der 1. Wiedereintritt (4.7.V02) liegt nach dem Austrittsdatum", 273, Counter::Error},
     [](const RecordMD& r) { return AfterDischarge(r, Readmitted(r, 1)); },
     Value::Field(664)},
    {{"B6922", "Der 2. Zwischenaustritt (4.7.V11) liegt nach dem Austrittsdatum", 274, Counter::Error},
     [](const RecordMD& r) { return AfterDischarge(r, Discharged(r, 2)); },
     Value::Field(666)},
    {{"B6923", "Der 2. Wiedereintritt (4.7.V12) liegt nach dem Austrittsdatum", 275, Counter::Error},
     [](const RecordMD& r) { return AfterDischarge(r, Readmitted(r, 2)); },
     Value::Field(667)},
    {{"B6924", "Der 3. Zwischenaustritt (4.7.V21) liegt nach dem Austrittsdatum", 276, Counter::Error},
     [](const RecordMD& r) { return AfterDischarge(r, Discharged(r, 3)); },
     Value::Field(669)},
    {{"B6925", "Der 3. Wiedereintritt (4.7.V22) liegt nach dem Austrittsdatum", 277, Counter::Error},
     [](const RecordMD& r) { return AfterDischarge(r, Readmitted(r, 3)); },
     Value::Field(670)},
    {{"B6926", "Der 4. Zwischenaustritt (4.7.V31) liegt nach dem Austrittsdatum", 278, Counter::Error},
     [](const RecordMD& r) { return AfterDischarge(r, Discharged(r, 4)); },
     Value::Field(672)},
    {{"B6927", "Der 4. Wiedereintritt (4.7.V32) liegt nach dem Austrittsdatum", 279, Counter::Error},
     [](const RecordMD& r) { return AfterDischarge(r, Readmitted(r, 4)); },
     Value::Field(673)},

    {{"B6930", "Der erste Zwischenaustritt muss vor dem zweiten Zwischenaustritt liegen", 280, Counter::Error},
     [](const RecordMD& r) { return OutOfOrder(r, Discharged(r, 1), Discharged(r, 2)); },
     Value::Field(663)},
    {{"B6931", "Der zweite Zwischenaustritt muss vor dem dritten Zwischenaustritt liegen", 281, Counter::Error},
     [](const RecordMD& r) { return OutOfOrder(r, Discharged(r, 2), Discharged(r, 3)); },
     Value::Field(666)},
    {{"B6932", "Der dritte Zwischenaustritt muss vor dem vierten Zwischenaustritt liegen", 282, Counter::Error},
     [](const RecordMD& r) { return OutOfOrder(r, Discharged(r, 3), Discharged(r, 4)); },
     Value::Field(669)},
    {{"B6940", "Der erste Wiedereintritt muss vor dem zweiten Wiedereintritt liegen", 283, Counter::Error},
     [](const RecordMD& r) { return OutOfOrder(r, Readmitted(r, 1), Readmitted(r, 2)); },
     Value::Field(664)},
    {{"B6941", "Der zweite Wiedereintritt muss vor dem dritten Wiedereintritt liegen", 284, Counter::Error},
     [](const RecordMD& r) { return OutOfOrder(r, Readmitted(r, 2), Readmitted(r, 3)); },
     Value::Field(667)},
    {{"B6942", "Der dritte Wiedereintritt muss vor dem vierten Wiedereintritt liegen", 285, Counter::Error},
     [](const RecordMD& r) { return OutOfOrder(r, Readmitted(r, 3), Readmitted(r, 4)); },
     Value::Field(670)},

    {{"B6950", "Grund des 1. Wiedereintrittes: Ungültige Angabe", 286, Counter::Error},
     [](const RecordMD& r) { return BadReason(r, 1); },
     Value::Field(665)},
    {{"B6951", "Grund des 2. Wiedereintrittes: Ungültige Angabe", 287, Counter::Error},
     [](const RecordMD& r) { return BadReason(r, 2); },
     Value::Field(668)},
    {{"B6952", "Grund des 3. Wiedereintrittes: Ungültige Angabe", 288, Counter::Error},
     [](const RecordMD& r) { return BadReason(r, 3); },
     Value::Field(671)},
    {{"B6953", "Grund des 4. Wiedereintrittes: Ungültige Angabe", 289, Counter::Error},
     [](const RecordMD& r) { return BadReason(r, 4); },
     Value::Field(674)},

    {{"B6960", "Wenn ein 1. Zwischenaustritt angegeben wird, muss der 1. Wiedereintritt ausgefüllt sein", 290,
      Counter::Error},
     [](const RecordMD& r) { return ReadmissionMissing(r, 1); },
     Value::None()},
    {{"B6961", "Wenn ein 2. Zwischenaustritt angegeben wird, muss der 2. Wiedereintritt ausgefüllt sein", 291,
      Counter::Error},
     [](const RecordMD& r) { return ReadmissionMissing(r, 2); },
     Value::None()},
    {{"B6962", "Wenn ein 3. Zwischenaustritt angegeben wird, muss der 3. Wiedereintritt ausgefüllt sein", 292,
      Counter::Error},
     [](const RecordMD& r) { return ReadmissionMissing(r, 3); },
     Value::None()},
    {{"B6963", "Wenn ein 4. Zwischenaustritt angegeben wird, muss der 4. Wiedereintritt ausgefüllt sein", 293,
      Counter::Error},
     [](const RecordMD& r) { return ReadmissionMissing(r, 4); },
     Value::None()},

    {{"B6970", "Wenn ein 1. Wiedereintritt angegeben wird, muss auch dessen Grund ausgefüllt sein", 294,
      Counter::Error},
     [](const RecordMD& r) { return ReasonMissing(r, 1); },
     Value::None()},
    {{"B6971", "Wenn ein 2. Wiedereintritt angegeben wird, muss auch dessen Grund ausgefüllt sein", 295,
      Counter::Error},
     [](const RecordMD& r) { return ReasonMissing(r, 2); },
     Value::None()},
    {{"B6972", "Wenn ein 3. Wiedereintritt angegeben wird, muss auch dessen Grund ausgefüllt sein", 296,
      Counter::Error},
     [](const RecordMD& r) { return ReasonMissing(r, 3); },
     Value::None()},
    {{"B6973", "Wenn ein 4. Wiedereintritt angegeben wird, muss auch dessen Grund ausgefüllt sein", 297,
      Counter::Error},
     [](const RecordMD& r) { return ReasonMissing(r, 4); },
     Value::None()},

    {{"B6975",
      "Der Fall hat einen 1. Zwischenaustritt im Vorjahr, einen Austritt im laufenden Jahr. Diese Rehosp-Erfassung "
      "entspricht nicht den SwissDRG-Regeln.",
      298, Counter::Error},
     [](const RecordMD& r) {
       const int dischargeYear = Discharge(r).HasYear ? Discharge(r).Year : 0;
       return YearFrom(2014) && IsACase(r) && Discharged(r, 1).DateOnly && Discharged(r, 1).Year != dischargeYear;
     },
     Value::Field(663)},
    // Leave hours that cover exactly the days between interim discharges and
    // re-admissions were most likely entered twice: once as leave and once
    // as interruptions (the stay then loses those days twice).
    {{"B6976",
      "Die Dauer des administrativen Urlaubs entspricht der Länge der Abwesenheiten zwischen den "
      "Aus-/Wiedereintritten. Wurde die Abwesenheit doppelt erfasst?",
      299, Counter::Error},
     [](const RecordMD& r) {
       return YearFrom(2014) && Discharged(r, 1).HasDay && r.LeaveDays > 0 && r.LeaveDays == -r.AbsenceDays;
     },
     Value::None()},
    {{"B6977", "Die berechnete Aufenthaltsdauer beträgt weniger als 1 Tag.", 300, Counter::Error},
     [](const RecordMD& r) { return YearFrom(2014) && IsACase(r) && r.StayDays < 1; },
     Value::None()},
    {{"B6978",
      "Ein Wiedereintritt liegt mehr als 18 Tage hinter dem ersten Zwischenaustritt. Bitte prüfen Sie den "
      "Rehosp-Verlauf dieses Falles.",
      301, Counter::Error},
     [](const RecordMD& r) { return AnyReadmissionBeyondWindow(r); },
     Value::None()},
    {{"B6980", "Der 1. Wiedereintritt liegt mehr als 18 Tage hinter dem 1. Zwischenaustritt.", 302, Counter::Error},
     [](const RecordMD& r) { return ReadmissionBeyondWindow(r, 1); },
     Value::Field(664)},
    {{"B6981", "Der 2. Wiedereintritt liegt mehr als 18 Tage hinter dem 1. Zwischenaustritt.", 303, Counter::Error},
     [](const RecordMD& r) { return ReadmissionBeyondWindow(r, 2); },
     Value::Field(667)},
    {{"B6982", "Der 3. Wiedereintritt liegt mehr als 18 Tage hinter dem 1. Zwischenaustritt.", 304, Counter::Error},
     [](const RecordMD& r) { return ReadmissionBeyondWindow(r, 3); },
     Value::Field(670)},
    {{"B6983", "Der 4. Wiedereintritt liegt mehr als 18 Tage hinter dem 1. Zwischenaustritt.", 305, Counter::Error},
     [](const RecordMD& r) { return ReadmissionBeyondWindow(r, 4); },
     Value::Field(673)},
    {{"B6984", "1. Zwischenaustritt/1. Wiedereintritt: unplausible Angaben.", 306, Counter::Error},
     [](const RecordMD& r) { return ImplausibleInterruption(r, 1); },
     Value::Field(663)},
    {{"B6985", "2. Zwischenaustritt/2. Wiedereintritt: unplausible Angaben.", 307, Counter::Error},
     [](const RecordMD& r) { return ImplausibleInterruption(r, 2); },
     Value::Field(666)},
    {{"B6986", "3. Zwischenaustritt/3. Wiedereintritt: unplausible Angaben.", 308, Counter::Error},
     [](const RecordMD& r) { return ImplausibleInterruption(r, 3); },
     Value::Field(669)},
    {{"B6987", "4. Zwischenaustritt/4. Wiedereintritt: unplausible Angaben.", 309, Counter::Error},
     [](const RecordMD& r) { return ImplausibleInterruption(r, 4); },
     Value::Field(672)},

    {{"B6990", "Aufenthalt nach dem 1. Zwischenaustritt: Ungültige Angabe", 310, Counter::Error},
     [](const RecordMD& r) { return BadStayAfter(r, 1); },
     Value::Field(Md692StayAfterFirstInterimDischarge)},
    {{"B6992", "Aufenthalt nach dem 2. Zwischenaustritt: Ungültige Angabe", 311, Counter::Error},
     [](const RecordMD& r) { return BadStayAfter(r, 2); },
     Value::Field(693)},
    {{"B6994", "Aufenthalt nach dem 3. Zwischenaustritt: Ungültige Angabe", 312, Counter::Error},
     [](const RecordMD& r) { return BadStayAfter(r, 3); },
     Value::Field(694)},
    {{"B6996", "Aufenthalt nach dem 4. Zwischenaustritt: Ungültige Angabe", 313, Counter::Error},
     [](const RecordMD& r) { return BadStayAfter(r, 4); },
     Value::Field(695)},
};

// --- Administrative fields ----------------------------------------------------

Rule<RecordMD> kAdministrativeRules[] = {
    {{"C0701", "Patientengruppen-Zusatzdaten: Zusatzdatensatz vorhanden ohne Meldung im Basisdatensatz", 314,
      Counter::Error},
     [](const RecordMD& r) { return Is(Mb(r, Mb8DetailAddOn), "0"); },
     Value::MbField(Mb8DetailAddOn)},
    {{"C0904", "Nicht erlaubtes Sonderzeichen im MD", 315, Counter::Error},
     [](const RecordMD& r) { return HasForbiddenChar(r); },
     Value::BadChar()},
    {{"C2222", "Beginn der Hauptbehandlung MD muss dem Beginn der Hauptbehandlung MB entsprechen", 316, Counter::Error},
     [](const RecordMD& r) {
       return YearUntil(2023) && IsACase(r) && !Is(r.Treatments[0].DateText, r.MbRecord->TreatmentBeginText);
     },
     Value::Field(Md156MainTreatmentBegin)},
    {{"C7010", "Lokalisation des Spitals: Angabe fehlt", 317, Counter::Error},
     [](const RecordMD& r) { return Empty(r.Field(1)); },
     Value::None()},
    {{"C7011", "Lokalisation des Spitals: ungültige Angabe (gültige PLZ erforderlich)", 318, Counter::Warning},
     [](const RecordMD& r) { return !r.Location.KeyEmpty && !r.Location.Found; },
     Value::Field(1)},
    {{"C7029", "Das Reservefeld zur Lokalisation des Spitals ist noch nicht definiert. Es muss leer sein.", 319,
      Counter::Error},
     [](const RecordMD& r) { return !Empty(r.Field(2)); },
     Value::Field(2)},
    {{"C7051", "Fallnummer (Fallkostenstatistik): Angabe darf max. 16 Zeichen lang sein", 320, Counter::Error},
     [](const RecordMD& r) { return LongerThan(r, 662, 16); },
     Value::Field(Md662CaseCostNumber)},
    {{"C7052", "Fallnummer (Fallkostenstatistik): Ungültige Sonderzeichen", 321, Counter::Error},
     [](const RecordMD& r) {
       return !Empty(r.Field(Md662CaseCostNumber)) && !IsDigitsOrUpper(r.Field(Md662CaseCostNumber));
     },
     Value::Field(Md662CaseCostNumber)},
    {{"C7061", "DRG-Status: Angabe darf max. 1 Zeichen lang sein", 322, Counter::Warning},
     [](const RecordMD& r) { return LongerThan(r, 676, 1); },
     Value::Field(Md676DrgStatus)},

    {{"C7301", "Medikament 1: Angabe darf max. 50 Zeichen lang sein", 323, Counter::Warning},
     [](const RecordMD& r) { return LongerThan(r, 677, 50); },
     Value::Field(677)},
    {{"C7302", "Medikament 2: Angabe darf max. 50 Zeichen lang sein", 324, Counter::Warning},
     [](const RecordMD& r) { return LongerThan(r, 678, 50); },
     Value::Field(678)},
    {{"C7303", "Medikament 3: Angabe darf max. 50 Zeichen lang sein", 325, Counter::Warning},
     [](const RecordMD& r) { return LongerThan(r, 679, 50); },
     Value::Field(679)},
    {{"C7304", "Medikament 4: Angabe darf max. 50 Zeichen lang sein", 326, Counter::Warning},
     [](const RecordMD& r) { return LongerThan(r, 680, 50); },
     Value::Field(680)},
    {{"C7305", "Medikament 5: Angabe darf max. 50 Zeichen lang sein", 327, Counter::Warning},
     [](const RecordMD& r) { return LongerThan(r, 681, 50); },
     Value::Field(681)},
    {{"C7306", "Medikament 6: Angabe darf max. 50 Zeichen lang sein", 328, Counter::Warning},
     [](const RecordMD& r) { return LongerThan(r, 682, 50); },
     Value::Field(682)},
    {{"C7307", "Medikament 7: Angabe darf max. 50 Zeichen lang sein", 329, Counter::Warning},
     [](const RecordMD& r) { return LongerThan(r, 683, 50); },
     Value::Field(683)},
    {{"C7308", "Medikament 8: Angabe darf max. 50 Zeichen lang sein", 330, Counter::Warning},
     [](const RecordMD& r) { return LongerThan(r, 684, 50); },
     Value::Field(684)},
    {{"C7309", "Medikament 9: Angabe darf max. 50 Zeichen lang sein", 331, Counter::Warning},
     [](const RecordMD& r) { return LongerThan(r, 685, 50); },
     Value::Field(685)},
    {{"C7310", "Medikament 10: Angabe darf max. 50 Zeichen lang sein", 332, Counter::Warning},
     [](const RecordMD& r) { return LongerThan(r, 686, 50); },
     Value::Field(686)},
    {{"C7311", "Medikament 11: Angabe darf max. 50 Zeichen lang sein", 333, Counter::Warning},
     [](const RecordMD& r) { return LongerThan(r, 687, 50); },
     Value::Field(687)},
    {{"C7312", "Medikament 12: Angabe darf max. 50 Zeichen lang sein", 334, Counter::Warning},
     [](const RecordMD& r) { return LongerThan(r, 688, 50); },
     Value::Field(688)},
    {{"C7313", "Medikament 13: Angabe darf max. 50 Zeichen lang sein", 335, Counter::Warning},
     [](const RecordMD& r) { return LongerThan(r, 689, 50); },
     Value::Field(689)},
    {{"C7314", "Medikament 14: Angabe darf max. 50 Zeichen lang sein", 336, Counter::Warning},
     [](const RecordMD& r) { return LongerThan(r, 690, 50); },
     Value::Field(690)},

    {{"C7911", "Reservefeld 16: Angabe darf max. 50 Zeichen lang sein", 337, Counter::Error},
     [](const RecordMD& r) { return LongerThan(r, 691, 50); },
     Value::Field(Md691GestationalAge)},
    {{"C7921", "Reservefeld 17: Angabe darf max. 50 Zeichen lang sein", 338, Counter::Error},
     [](const RecordMD& r) { return LongerThan(r, 692, 50); },
     Value::Field(Md692StayAfterFirstInterimDischarge)},
    {{"C7931", "Reservefeld 18: Angabe darf max. 50 Zeichen lang sein", 339, Counter::Error},
     [](const RecordMD& r) { return LongerThan(r, 693, 50); },
     Value::Field(693)},
    {{"C7941", "Reservefeld 19: Angabe darf max. 50 Zeichen lang sein", 340, Counter::Error},
     [](const RecordMD& r) { return LongerThan(r, 694, 50); },
     Value::Field(694)},
    {{"C7951", "Reservefeld 20: Angabe darf max. 50 Zeichen lang sein", 341, Counter::Error},
     [](const RecordMD& r) { return LongerThan(r, 695, 50); },
     Value::Field(695)},
};

// --- Entry tests ----------------------------------------------------------------

// Chapter 13 of CHOP: codes from 72 to 75 (first two characters, bytewise).
bool IsChapter13(const char* code) { return code && code[0] == '7' && code[1] >= '2' && code[1] <= '5'; }

// A diagnosis without POA whose code requires one (in the cantons that
// ask for it).
bool NeedsPoa(const CodeEntry& d) {
  return Empty(d.Attribute2) && (StartsWith(d.Key, "S") || IsCodePrefixInBarList(d.Key, 3, PoaRequiredCodes));
}

Rule<RecordMD> kEntryRules[] = {
    // The supplementary code (entry 1) has no laterality and no POA.
    {{"A0511", "Ungültige Seitigkeit (Diagnose)", 397, Counter::Error},
     Walk::EachDiagnosis,
     [](const RecordMD&, const EntryAt& e) {
       return e.Position != 1 && !IsCodeInList(e.Entry.Attribute1, LateralityCodes);
     },
     Value::Laterality()},
    {{"A0520", "Dieser ICD-Kode benötigt eine POA Angabe", 398, Counter::Warning},
     Walk::EachDiagnosis,
     [](const RecordMD& r) { return YearIn(2023, 9999) && IsCodePrefixInBarList(Mb(r, Mb3Canton), 2, "|VD|ZH|"); },
     [](const RecordMD&, const EntryAt& e) { return e.Position != 1 && e.Entry.Found && NeedsPoa(e.Entry); },
     Value::Code()},
    {{"A0990", "Die Diagnose ist weiter oben schon vorhanden (Duplikat)", 399, Counter::Hint},
     Walk::EachEarlierSameDiagnosis,
     [](const RecordMD& r, const EntryAt& e) {
       return !Empty(e.Entry.Key) && Is(e.Entry.Key, r.Diagnoses[e.Earlier].Key);
     },
     Value::Code()},
    {{"A1401", "Behandlungscode aus Kapitel 13 unvereinbar mit Geschlecht (Mann)", 400, Counter::Error},
     Walk::EachTreatment,
     [](const RecordMD& r) { return YearFrom(2013) && IsACase(r) && Is(Mb(r, Mb10Sex), "1"); },
     [](const RecordMD&, const EntryAt& e) { return e.Entry.Found && IsChapter13(e.Entry.Key); },
     Value::Code()},
    // The age is the MB's age field as written, not the computed age.
    {{"A1412", "Behandlungscode aus Kapitel 13 unvereinbar mit Alter (< 12 Jahre)", 401, Counter::Warning},
     Walk::EachTreatment,
     [](const RecordMD& r) { return YearFrom(2013) && IsACase(r) && Num(Mb(r, Mb12Age)) < 12; },
     [](const RecordMD&, const EntryAt& e) { return e.Entry.Found && IsChapter13(e.Entry.Key); },
     Value::Code()},
    {{"A1511", "Ungültige Seitigkeit (Behandlung)", 402, Counter::Error},
     Walk::EachTreatment,
     [](const RecordMD&, const EntryAt& e) { return !IsCodeInList(e.Entry.Attribute1, LateralityCodes); },
     Value::Laterality()},
    {{"A1800", "Behandlungsdatum: Angabe fehlt", 403, Counter::Error},
     Walk::EachTreatment,
     [](const RecordMD&, const EntryAt& e) { return !e.Entry.KeyEmpty && e.Entry.Date.IsEmpty; },
     Value::None()},
    {{"A1810", "Behandlungsdatum: Ungültige Datumsangabe", 404, Counter::Error},
     Walk::EachTreatment,
     [](const RecordMD&, const EntryAt& e) { return !e.Entry.Date.IsEmpty && !e.Entry.Date.HasDay; },
     Value::DateText()},
    // Something after the date that is not a valid hour, or the main
    // treatment without its hour.
    {{"A1811", "Behandlungsdatum: Ungültige Stundenangabe", 405, Counter::Error},
     Walk::EachTreatment,
     [](const RecordMD&, const EntryAt& e) {
       const ParsedDate& d = e.Entry.Date;
       return d.HasDay && !d.HasHour && (d.Length > 8 || e.Position == 0);
     },
     Value::DateText()},
    {{"A1815", "Nebenbehandlungen werden ohne Stunde übermittelt", 406, Counter::Error},
     Walk::EachTreatment,
     [](const RecordMD&, const EntryAt& e) {
       return e.Position >= 1 && YearUntil(2023) && e.Entry.Date.HasDay && e.Entry.Date.Length > 8;
     },
     Value::DateText()},
    // The same-day comparison by hour holds for every case kind.
    {{"A1821", "MD: Eintritt darf nicht später als Behandlung sein", 407, Counter::Error},
     Walk::EachTreatment,
     [](const RecordMD& r, const EntryAt& e) {
       const ParsedDate& a = Admission(r);
       const ParsedDate& d = e.Entry.Date;
       return (a.HasDay && d.HasDay && Day(a) > Day(d) && IsACase(r)) ||
              (a.HasHour && d.HasHour && Day(a) == Day(d) && a.Hour > d.Hour);
     },
     Value::DateText()},
    {{"A1822", "MD: Behandlung darf nicht später als Austritt sein", 408, Counter::Error},
     Walk::EachTreatment,
     [](const RecordMD& r, const EntryAt& e) {
       const ParsedDate& z = Discharge(r);
       const ParsedDate& d = e.Entry.Date;
       return (z.HasDay && d.HasDay && Day(z) < Day(d)) ||
              (z.HasHour && d.HasHour && Day(z) == Day(d) && z.Hour < d.Hour);
     },
     Value::DateText()},
};

}  // namespace

void RecordMD::TestRecord() {
  BeginTests(KindMD);
  LogInfo("RecordMD.TestRecord DLL");
  if (!MbRecord) return;  // only a data source's MD, linked to its MB, has a case to test
  RunRules(*this, kClinicalRules);
  RunRules(*this, kRehospitalisationRules);
  RunRules(*this, kAdministrativeRules);
  // The code rules of the case run here, on the MD's full lists, and not in the MB.
  CodeCase codeCase{*this, Diagnoses, DiagnosisSlots, Treatments, TreatmentSlots, MaxDiagnosisIndex,
                    MbRecord, MbRecord->Has(KindMN) ? MnRecord : nullptr, this};
  codeCase.WrittenDiagnoses = &WrittenDiagnoses;
  codeCase.WrittenTreatments = &WrittenTreatments;
  RunCodeRules(codeCase);
  RunRules(*this, kEntryRules);
}

void AppendMdRules(std::vector<RuleInfo*>& out) {
  AppendRuleInfos(out, kClinicalRules);
  AppendRuleInfos(out, kRehospitalisationRules);
  AppendRuleInfos(out, kAdministrativeRules);
  AppendRuleInfos(out, kEntryRules);
}

}  // namespace qv
