// The diagnosis and treatment code rules shared by MB and MD: validity of
// each code in the discharge year, terminal codes, sex- and age-specific
// codes, codes that may or may not be main diagnosis, codes that exclude or
// require each other, gaps in the lists, and agreement of the detail
// record's codes with the MB. Rows of the case and rows over every diagnosis
// or treatment are interleaved; RunRules runs them in the order written.
#include "rules/CodeRules.h"

#include <cstring>
#include <initializer_list>
#include <vector>

#include "records/RecordMD.h"
#include "records/RecordMN.h"
#include "rules/Catalogue.h"
#include "rules/Rule.h"

namespace qv {

namespace {

// Texts of an entry, never null (columns of a code never looked up are).
const char* Code(const CodeEntry& e) { return e.Key ? e.Key : kEmptyText; }
const char* Col(const CodeEntry& e, CodeColumn c) { return e.Columns[c] ? e.Columns[c] : kEmptyText; }

const CodeEntry& MainDiagnosis(const CodeCase& c) { return c.Diagnoses[0]; }
const CodeEntry& Supplement(const CodeCase& c) { return c.Diagnoses[1]; }
const CodeEntry& MainTreatment(const CodeCase& c) { return c.Treatments[0]; }
// Field n of the case's MN / MD; the empty text when the case has none.
const char* Mn(const CodeCase& c, int n) { return c.Mn ? c.Mn->Field(n) : kEmptyText; }
const char* Md(const CodeCase& c, int n) { return c.Md ? c.Md->Field(n) : kEmptyText; }
bool HasMn(const CodeCase& c) { return c.Mn != nullptr; }
bool HasMd(const CodeCase& c) { return c.Md != nullptr; }

// The code begins with one of the prefixes (each test inline, so that a
// list of prefixes costs a few compares of first bytes).
template <class... Prefixes>
__attribute__((always_inline)) inline bool BeginsWithAny(const char* code, Prefixes... prefixes) {
  return (StartsWith(code, prefixes) || ...);
}
// Chapter XX, external causes.
bool ExternalCause(const char* code) { return BeginsWithAny(code, "V", "W", "X", "Y"); }
bool Between(int low, int value, int high) { return low <= value && value <= high; }

// Validity years of a code (columns 6 and 7) against the discharge year,
// and its terminal years (columns 8 and 9) against the statistics year.
// (Entry conditions shared by rows are lambdas, so that the rows' walks
// test them inline.)
int Year(const CodeEntry& e, CodeColumn c) { return e.Years[c - Col6ValidFrom]; }
const auto NoLongerValid = [](const CodeCase& c, const EntryAt& e) {
  const ParsedDate& out = c.MbRecord->DischargeDate;
  return e.Entry.Found && !Empty(Col(e.Entry, Col7ValidTo)) && out.HasYear && out.Year > Year(e.Entry, Col7ValidTo);
};
const auto NotYetValid = [](const CodeCase& c, const EntryAt& e) {
  const ParsedDate& out = c.MbRecord->DischargeDate;
  return e.Entry.Found && !Empty(Col(e.Entry, Col6ValidFrom)) && out.HasYear &&
         out.Year < Year(e.Entry, Col6ValidFrom);
};
const auto NotTerminal = [](const CodeCase&, const EntryAt& e) {
  return e.Entry.Found && StatYear > 2009 &&
         Between(Year(e.Entry, Col6ValidFrom), StatYear, Year(e.Entry, Col7ValidTo)) &&
         (StatYear < Year(e.Entry, Col8TerminalFrom) || StatYear > Year(e.Entry, Col9TerminalTo));
};

// A code of age class `letter` (column 3) from 2012 on.
bool AgeClass(const EntryAt& e, const char* letter) {
  return YearFrom(2012) && e.Entry.Found && Is(Col(e.Entry, Col3AgeClass), letter);
}
int Age(const CodeCase& c) { return c.MbRecord->AgeAtAdmission; }
int AgeDays(const CodeCase& c) { return c.MbRecord->AgeDays; }

// Main treatment missing in an A or C case whose main diagnosis does not
// explain it (newborn, waiting patient).
bool NoTreatment(const CodeCase& c) {
  return MainTreatment(c).KeyEmpty && IsCodeInList(Mb(c, Mb5CaseKind), _AC) &&
         !BeginsWithAny(Code(MainDiagnosis(c)), "Z38", "Z758");
}

using C = Counter;

Rule<CodeCase> kCodeRules[] = {
    // Main diagnosis and supplement.
    {{"A0000", "Hauptdiagnose: Angabe fehlt (Statistikfall A, C)", 342, C::Error},
     [](const CodeCase& c) {
       return MainDiagnosis(c).KeyLength == 0 && IsCodeInList(Mb(c, Mb5CaseKind), _AC) &&
              Is(Mb(c, Mb19TreatmentType), "3") && !(HasMn(c) && Is(Mn(c, Mn3VitalStatus), "0"));
     },
     Value::None()},
    {{"A0010", "Unzulässiger Hauptdiagnosecode", 343, C::Error},
     [](const CodeCase& c) {
       return YearFrom(2012) && MainDiagnosis(c).Found && Is(Col(MainDiagnosis(c), Col5MainForBilling), "2") &&
              HasMd(c) && StartsWith(Md(c, Md676DrgStatus), "1");
     },
     Value::Diagnosis(0)},
    {{"A0011", "Sternkode nicht zulässig als Hauptdiagnose", 344, C::Error},
     [](const CodeCase& c) { return MainDiagnosis(c).Found && Is(Col(MainDiagnosis(c), Col1MainFlag), "2"); },
     Value::Diagnosis(0)},
    {{"A0012", "Kodes mit !: immer als Nebendiagnose, ausser die äusseren Ursachen (V01!-Y98!)", 345, C::Error},
     [](const CodeCase& c) {
       return YearFrom(2010) && MainDiagnosis(c).Found && IsSecondaryCode(Code(MainDiagnosis(c)));
     },
     Value::Diagnosis(0)},
    {{"A0013", "Hauptdiagnose: Äussere Ursachen (ICD-10 Kap. XX) hier nicht zulässig", 346, C::Error},
     [](const CodeCase& c) { return !MainDiagnosis(c).KeyEmpty && ExternalCause(Code(MainDiagnosis(c))); },
     Value::Diagnosis(0)},
    {{"A0020", "Ein Fall mit Hauptdiagnose Z758 darf nicht fakturiert werden.", 347, C::Error},
     [](const CodeCase& c) {
       return YearFrom(2012) && MainDiagnosis(c).Found && Is(Code(MainDiagnosis(c)), "Z758") && HasMd(c) &&
              Is(Md(c, Md676DrgStatus), "1");
     },
     Value::Diagnosis(0)},
    {{"A0021", "Ein Fall mit Hauptdiagnose Z758 muss Eintrittsart 4 Interner Übertritt haben.", 348, C::Error},
     [](const CodeCase& c) {
       return YearFrom(2012) && MainDiagnosis(c).Found && Is(Code(MainDiagnosis(c)), "Z758") &&
              !Is(Mb(c, Mb17AdmissionType), "4");
     },
     Value::Diagnosis(0)},
    {{"A0120", "Zusatz zur Hauptdiagnose: nur für Stern-Kodes und für äussere Ursachen (V01!-Y98!) gültig", 349,
      C::Error},
     [](const CodeCase& c) {
       return YearIn(2010, 2023) && Supplement(c).Found && !std::strchr(Col(Supplement(c), Col0Marker), '*') &&
              !ExternalCause(Code(Supplement(c)));
     },
     Value::Diagnosis(1)},
    {{"A0130", "Hauptdiagnosecodes T90 - T98 benötigen keine Zusatzdiagnose V - Y mehr.", 350, C::Warning},
     [](const CodeCase& c) {
       return YearIn(2012, 2023) && MainDiagnosis(c).Found && StartsWith(Code(MainDiagnosis(c)), "T9") &&
              Supplement(c).Found && ExternalCause(Code(Supplement(c)));
     },
     Value::Diagnosis(1)},

    // Every diagnosis position.
    {{"A0200", "Ungültiger Diagnosekode (ICD-10)", 351, C::Error},
     Walk::EachDiagnosis,
     [](const CodeCase&, const EntryAt& e) { return !e.Entry.KeyEmpty && !e.Entry.Found; },
     Value::Code()},
    {{"A0201", "ICD-Kode zum Austrittszeitpunkt nicht mehr gültig", 352, C::Error},
     Walk::EachDiagnosis,
     NoLongerValid,
     Value::Code()},
    {{"A0202", "ICD-Kode zum Austrittszeitpunkt noch nicht gültig", 353, C::Error},
     Walk::EachDiagnosis,
     NotYetValid,
     Value::Code()},
    {{"A0210", "Nicht terminaler ICD 10-Kode", 354, C::Error}, Walk::EachDiagnosis, NotTerminal, Value::Code()},
    {{"A0310", "Diagnose/Austrittsart: Letale Hauptdiagnose, als Austrittsart nur Tod möglich", 355, C::Warning},
     Walk::EachDiagnosis,
     [](const CodeCase& c, const EntryAt& e) {
       return !e.Entry.KeyEmpty &&
              BeginsWithAny(Code(e.Entry), "R95", "R96", "R98", "R99", "P95", "O95", "O96", "O97", "I461", "P964",
                            "S18") &&
              !Is(Mb(c, Mb26DischargeDecision), "5");
     },
     Value::Code()},
    {{"A0320", "Lebendgeborene müssen mit dem Diagnosekode Z38 kodiert werden", 356, C::Error},
     [](const CodeCase& c) {
       return YearFrom(2012) && Is(Mb(c, Mb5CaseKind), "A") && HasMn(c) && Is(Mb(c, Mb17AdmissionType), "3") &&
              Is(Mn(c, Mn3VitalStatus), "1") && !c.HasDiagnosisPrefix("Z38");
     },
     Value::None()},
    {{"A0321",
      "Vitalstatus (Totgeburt)/Diagnosen: Widersprüchliche Dokumentation eines Lebendgeborenen mit einem "
      "Diagnosecode Z38.-",
      357, C::Error},
     Walk::EachDiagnosis,
     [](const CodeCase& c) { return HasMn(c) && Is(Mn(c, Mn3VitalStatus), "0"); },
     [](const CodeCase&, const EntryAt& e) { return e.Entry.Found && StartsWith(Code(e.Entry), "Z38"); },
     Value::Code()},
    {{"A0330",
      "Die Kodes R75, Z21, B23.0 und die Gruppe B20-B24 schliessen sich gegenseitig aus und sind während "
      "desselben stationären Aufenthaltes nicht zusammen aufzuführen",
      358, C::Error},
     Walk::EachDiagnosis,
     [](const CodeCase& c) { return YearFrom(2010) && c.Found.HasHivGroup; },
     [](const CodeCase&, const EntryAt& e) {
       return e.Entry.Found && BeginsWithAny(Code(e.Entry), "R75", "Z21", "B230");
     },
     Value::Code()},
    {{"A0341", "Der Z37-Code muss im Datensatz der Mutter, nicht in demjenigen des Kindes kodiert werden", 359,
      C::Error},
     Walk::EachDiagnosis,
     [](const CodeCase& c) { return YearFrom(2010) && !Empty(Mb(c, Mb12Age)) && Int(Mb(c, Mb12Age)) == 0; },
     [](const CodeCase&, const EntryAt& e) { return e.Entry.Found && StartsWith(Code(e.Entry), "Z37"); },
     Value::Code()},
    {{"A0342", "Der Z38-Code muss im Datensatz des Kindes, nicht in demjenigen der Mutter kodiert werden", 360,
      C::Error},
     Walk::EachDiagnosis,
     [](const CodeCase& c, const EntryAt& e) {
       return YearFrom(2010) && e.Entry.Found && StartsWith(Code(e.Entry), "Z38") && !Empty(Mb(c, Mb12Age)) &&
              Int(Mb(c, Mb12Age)) > 0;
     },
     Value::Code()},
    {{"A0343",
      "Wird einer der folgenden Kodes als Haupt- oder Nebendiagnose angegeben, muss der Kode O09.-! als "
      "Nebendiagnose angegeben werden: O03-O07; O10-O16; O20-O29; O30-O48; O60-O75; O80-O82; Z34-Z37",
      361, C::Warning},
     Walk::EachDiagnosis,
     [](const CodeCase& c, const EntryAt& e) {
       return YearFrom(2010) && e.Entry.Found && IsPregnancyCode(Code(e.Entry)) && !c.Found.SecondaryO09;
     },
     Value::Code()},
    {{"A0344", "Wenn der Code O80 - O82 steht, muss Z37 kodiert werden und gehört in die Nebendiagnose", 362, C::Error},
     Walk::EachDiagnosis,
     [](const CodeCase& c, const EntryAt& e) {
       return YearFrom(2010) && e.Entry.Found && BeginsWithAny(Code(e.Entry), "O80", "O81", "O82") &&
              !c.Found.SecondaryZ37;
     },
     Value::Code()},
    {{"A0345", "Die Codes O80, O81, O82 sind Hauptdiagnose-Codes", 363, C::Error},
     Walk::EachDiagnosis,
     [](const CodeCase&, const EntryAt& e) {
       return YearFrom(2012) && e.Position > 0 && e.Entry.Found && BeginsWithAny(Code(e.Entry), "O80", "O81", "O82");
     },
     Value::Code()},
    {{"A0350", "Die Diagnosen Z51.0, Z51.1, Z51.82 werden nicht kodiert", 364, C::Warning},
     Walk::EachDiagnosis,
     [](const CodeCase&, const EntryAt& e) {
       return YearFrom(2012) && e.Entry.Found && IsCodeInList(Code(e.Entry), {"Z510", "Z511", "Z5182"});
     },
     Value::Code()},
    {{"A0400", "Diagnosekode nicht vereinbar mit Geschlecht", 365, C::Warning},
     Walk::EachDiagnosis,
     [](const CodeCase& c, const EntryAt& e) {
       return e.Entry.Found && !Empty(Col(e.Entry, Col2Sex)) && !Is(Col(e.Entry, Col2Sex), Mb(c, Mb10Sex));
     },
     Value::Code()},

    // Age classes of ICD codes (column 3).
    {{"A0410",
      "ICD-Kode unvereinbar mit Alter für a) Säugling (hauptsächlich Neugeborene, jedoch auch Patienten "
      "zwischen 1 und 364/5 Tagen)",
      366, C::Warning},
     Walk::EachDiagnosis,
     [](const CodeCase& c) { return AgeDays(c) > 365; },
     [](const CodeCase&, const EntryAt& e) { return AgeClass(e, "a"); },
     Value::Code()},
    {{"A0411", "ICD-Kode unvereinbar mit Alter für b) Kleinkind (Alter zwischen 1 Tag und 2 Jahren)", 367, C::Warning},
     Walk::EachDiagnosis,
     [](const CodeCase& c) { return Age(c) >= 2 || AgeDays(c) == 0; },
     [](const CodeCase&, const EntryAt& e) { return AgeClass(e, "b"); },
     Value::Code()},
    {{"A0412", "ICD-Kode unvereinbar mit Alter für c) Kind (Alter zwischen 1 Tag und 10 Jahren)", 368, C::Warning},
     Walk::EachDiagnosis,
     [](const CodeCase& c) { return Age(c) >= 10 || AgeDays(c) == 0; },
     [](const CodeCase&, const EntryAt& e) { return AgeClass(e, "c"); },
     Value::Code()},
    {{"A0413", "ICD-Kode unvereinbar mit Alter für d) Kinder und Jugendliche (Alter zwischen 1 Tag und 19 Jahren)", 369,
      C::Warning},
     Walk::EachDiagnosis,
     [](const CodeCase& c) { return Age(c) >= 19 || AgeDays(c) == 0; },
     [](const CodeCase&, const EntryAt& e) { return AgeClass(e, "d"); },
     Value::Code()},
    {{"A0414", "ICD-Kode unvereinbar mit Alter für e) Post-neonatal (älter als 27 Tage)", 370, C::Warning},
     Walk::EachDiagnosis,
     [](const CodeCase& c) { return AgeDays(c) < 28; },
     [](const CodeCase&, const EntryAt& e) { return AgeClass(e, "e"); },
     Value::Code()},
    {{"A0415", "ICD-Kode unvereinbar mit Alter für f) Älter als Säugling (Alter ab 1 Jahr)", 371, C::Warning},
     Walk::EachDiagnosis,
     [](const CodeCase& c) { return Age(c) < 1; },
     [](const CodeCase&, const EntryAt& e) { return AgeClass(e, "f"); },
     Value::Code()},
    {{"A0416", "ICD-Kode unvereinbar mit Alter für g) Pubertät (Alter zwischen 8 und 19 Jahren)", 372, C::Warning},
     Walk::EachDiagnosis,
     [](const CodeCase& c) { return Age(c) < 8 || Age(c) > 19; },
     [](const CodeCase&, const EntryAt& e) { return AgeClass(e, "g"); },
     Value::Code()},
    {{"A0417", "ICD-Kode unvereinbar mit Alter für h) Gebärfähiges Alter (Patientinnen zwischen 12 und 55 Jahren)", 373,
      C::Warning},
     Walk::EachDiagnosis,
     [](const CodeCase& c) { return Age(c) < 12 || Age(c) > 55; },
     [](const CodeCase&, const EntryAt& e) { return AgeClass(e, "h"); },
     Value::Code()},
    {{"A0418", "ICD-Kode unvereinbar mit Alter für j) Erwachsene (ab 15 Jahren)", 374, C::Warning},
     Walk::EachDiagnosis,
     [](const CodeCase& c) { return Age(c) < 15; },
     [](const CodeCase&, const EntryAt& e) { return AgeClass(e, "j"); },
     Value::Code()},
    {{"A0419", "ICD-Kode unvereinbar mit Alter für k) Reife Erwachsene (ab 30 Jahren)", 375, C::Warning},
     Walk::EachDiagnosis,
     [](const CodeCase& c) { return Age(c) < 30; },
     [](const CodeCase&, const EntryAt& e) { return AgeClass(e, "k"); },
     Value::Code()},

    {{"A0920", "Meldepflichtige Diagnose", 376, C::Warning},
     Walk::EachDiagnosis,
     [](const CodeCase&, const EntryAt& e) {
       return YearFrom(2012) && e.Entry.Found && IsCodeInList(Code(e.Entry), _265_Meldepfl_Dia);
     },
     Value::Code()},

    // Treatments.
    {{"A1000", "Behandlung: Angabe fehlt", 377, C::Warning},
     [](const CodeCase& c) { return NoTreatment(c) && !IsCodeInList(Mb(c, Mb23MainCostCentre), _7_HKSTH); },
     Value::None()},
    {{"A1001", "Behandlung: Angabe fehlt", 378, C::Hint},
     [](const CodeCase& c) { return NoTreatment(c) && IsCodeInList(Mb(c, Mb23MainCostCentre), _7_HKSTH); },
     Value::None()},
    {{"A1005", "Zusatzkodes sind keine Hauptbehandlungen", 379, C::Error},
     [](const CodeCase& c) { return YearIn(2016, 2023) && StartsWith(Col(MainTreatment(c), Col5MainForBilling), "2"); },
     Value::Treatment(0)},
    {{"A1200", "Ungültiger Behandlungskode (CHOP)", 380, C::Error},
     Walk::EachTreatment,
     [](const CodeCase&, const EntryAt& e) { return !e.Entry.KeyEmpty && !e.Entry.Found; },
     Value::Code()},
    {{"A1201", "CHOP-Kode zum Austrittszeitpunkt nicht mehr gültig", 381, C::Error},
     Walk::EachTreatment,
     NoLongerValid,
     Value::Code()},
    {{"A1202", "CHOP-Kode zum Austrittszeitpunkt noch nicht gültig", 382, C::Error},
     Walk::EachTreatment,
     NotYetValid,
     Value::Code()},
    {{"A1210", "Nicht terminaler CHOP-Kode", 383, C::Error}, Walk::EachTreatment, NotTerminal, Value::Code()},
    {{"A1222", "Unspezifischer 2-stelliger Behandlungskode (CHOP)", 384, C::Error},
     Walk::EachTreatment,
     [](const CodeCase&, const EntryAt& e) {
       return YearUntil(2019) && e.Entry.Found && Is(Col(e.Entry, Col1MainFlag), "2");
     },
     Value::Code()},
    {{"A1290", "FIM-Codes entfernen", 385, C::Hint},
     Walk::EachTreatment,
     [](const CodeCase&, const EntryAt& e) { return YearIn(2018, 9999) && StartsWith(Code(e.Entry), "AA12"); },
     Value::Code()},
    {{"A1310", "Behandlungskode nur bei Todesfall möglich", 386, C::Warning},
     Walk::EachTreatment,
     [](const CodeCase& c, const EntryAt& e) {
       return StartsWith(Code(e.Entry), "8981") && !Is(Mb(c, Mb26DischargeDecision), "5");
     },
     Value::Code()},
    {{"A1400", "Behandlungskode nicht vereinbar mit Geschlecht", 387, C::Warning},
     Walk::EachTreatment,
     [](const CodeCase& c, const EntryAt& e) {
       return e.Entry.Found && !Empty(Col(e.Entry, Col2Sex)) && !Is(Col(e.Entry, Col2Sex), Mb(c, Mb10Sex)) &&
              !c.Found.HasF64;
     },
     Value::Code()},
    {{"A1410", "Kode nicht vereinbar mit Alter (nur für Peri-/Neonatalperiode verwendbar)", 388, C::Warning},
     Walk::EachDiagnosis,
     [](const CodeCase& c, const EntryAt& e) {
       const char* code = Code(e.Entry);
       return e.Entry.Found && code[0] == 'P' &&
              c.MbRecord->AdmissionDate.DayNumber - c.MbRecord->BirthDate.DayNumber > 28 &&
              (code[1] == '1' || IsCodeWithPrefixInList(code, 1, 2, _16_DIA_PERINAT_LEN2) ||
               IsCodeWithPrefixInList(code, 1, 3, _10_DIA_PERINAT_LEN3));
     },
     Value::MbField(Mb11BirthDate)},
    {{"A1417", "CHOP-Kode unvereinbar mit Alter für i) Gebärfähiges Alter (Patientinnen zwischen 12 und 55 Jahren)",
      389, C::Warning},
     Walk::EachTreatment,
     [](const CodeCase& c) { return YearFrom(2012) && (Age(c) < 12 || Age(c) > 55); },
     [](const CodeCase&, const EntryAt& e) { return e.Entry.Found && Is(Col(e.Entry, Col3AgeClass), "i"); },
     Value::Code()},

    // Case-level tests.
    {{"B1023", "Eintritts-, Geburtsdatum, Eintrittsart: Bei Eintritt durch Geburt Eintrittsart überprüfen", 390,
      C::Warning},
     [](const CodeCase& c) {
       return Is(Mb(c, Mb12Age), "0") && c.MbRecord->BirthDate.DayNumber == c.MbRecord->AdmissionDate.DayNumber &&
              !Is(Mb(c, Mb17AdmissionType), "3") && !c.Found.HasLiveBirthZ38;
     },
     Value::None()},
    {{"B1310", "Wartepatienten werden nicht über DRG abgerechnet", 391, C::Warning},
     [](const CodeCase& c) {
       return YearIn(2016, 9999) && Is(Code(MainDiagnosis(c)), "Z758") && StartsWith(Mb(c, Mb17AdmissionType), "4") &&
              HasMd(c) && StartsWith(Md(c, Md676DrgStatus), "1");
     },
     Value::Field(Md676DrgStatus)},
    {{"B3101", "Ein im Betrieb geborenes Kind muss immer einen MN-Zusatzdatensatz enthalten", 392, C::Error},
     [](const CodeCase& c) {
       return YearIn(2016, 9999) && StartsWith(Mb(c, Mb5CaseKind), "A") && StartsWith(Mb(c, Mb17AdmissionType), "3") &&
              StartsWith(Mb(c, Mb12Age), "0") && !HasMn(c);
     },
     Value::None()},

    // Agreement with the MB (in the MB itself both sides are the same entry)
    // and gaps in the lists.
    {{"C2210", "Die Diagnose im MB muss der Diagnose im MD entsprechen", 393, C::Warning},
     Walk::EachMbDiagnosis,
     [](const CodeCase& c, const EntryAt& e) {
       return !Is(Code(e.Entry), Code(c.MbRecord->Diagnoses[e.Position])) && Is(Mb(c, Mb5CaseKind), "A");
     },
     Value::MbCode()},
    {{"C2220", "Die Behandlung im MB muss der Behandlung im MD entsprechen", 394, C::Warning},
     Walk::EachMbTreatment,
     [](const CodeCase& c, const EntryAt& e) {
       const CodeEntry& mb = c.MbRecord->Treatments[e.Position];
       return std::strncmp(Code(mb), Code(e.Entry), 5) != 0 && (!mb.Found || !StartsWith(Code(e.Entry), Code(mb))) &&
              Is(Mb(c, Mb5CaseKind), "A");
     },
     Value::MbCode()},
    {{"C7100",
      "Die Diagnosecodes müssen nacheinander aufgelistet werden. Es dürfen innerhalb der übermittelten Codes "
      "keine leeren ICD-Felder ('Lücken') enthalten sein.",
      395, C::Error},
     Walk::EachDiagnosis,
     [](const CodeCase& c, const EntryAt& e) {
       // The supplement and the first secondary diagnosis follow the main
       // diagnosis; a secondary diagnosis follows the one before it.
       const CodeEntry& before = e.Position <= 2 ? MainDiagnosis(c) : c.Diagnoses[e.Position - 1];
       return YearFrom(2014) && e.Position > 0 && !e.Entry.KeyEmpty && before.KeyEmpty;
     },
     Value::Code()},
    {{"C7200",
      "Die Behandlungscodes müssen nacheinander aufgelistet werden. Es dürfen innerhalb der übermittelten "
      "Codes keine leeren CHOP-Felder ('Lücken') enthalten sein.",
      396, C::Error},
     Walk::EachTreatment,
     [](const CodeCase& c, const EntryAt& e) {
       return YearFrom(2014) && e.Position > 0 && !e.Entry.KeyEmpty && c.Treatments[e.Position - 1].KeyEmpty &&
              Is(Mb(c, Mb19TreatmentType), "3");
     },
     Value::Code()},
};

// Facts about the own diagnoses that several rows need, gathered once.
// Only written diagnoses can have been found, so the written positions are
// enough.
CodeCase::Facts GatherFacts(const CodeCase& c, const WrittenPositions& written) {
  CodeCase::Facts f;
  for (int n = 0; n < written.Count; ++n) {
    const int k = written.Positions[n];
    if (k >= c.DiagnosisSlots) break;
    const CodeEntry& e = c.Diagnoses[k];
    const char* code = Code(e);
    if (!e.Found || std::strlen(code) <= 2) continue;
    if (k >= 2 && StartsWith(code, "Z37")) f.SecondaryZ37 = true;
    if (k >= 2 && StartsWith(code, "O09")) f.SecondaryO09 = true;
    if (code[0] == 'B' && code[1] == '2' && code[2] >= '0' && code[2] <= '4' && !StartsWith(code, "B230"))
      f.HasHivGroup = true;
    if (StartsWith(code, "F64")) f.HasF64 = true;
    if (BeginsWithAny(code, "Z381", "Z384", "Z387")) f.HasLiveBirthZ38 = true;
  }
  return f;
}

}  // namespace

bool CodeCase::HasDiagnosisPrefix(const char* prefix) const {
  for (int k = 0; k <= MaxDiagnosisIndex && k < DiagnosisSlots; ++k)
    if (StartsWith(Code(Diagnoses[k]), prefix)) return true;
  return false;
}

void RunCodeRules(CodeCase& codeCase) {
  // The written positions of the lists, collected here where the record
  // did not keep them from loading.
  WrittenPositions diagnoses, treatments;
  if (!codeCase.WrittenDiagnoses || codeCase.WrittenDiagnoses->Count < 0 || !codeCase.WrittenTreatments ||
      codeCase.WrittenTreatments->Count < 0) {
    diagnoses.Collect(codeCase.Diagnoses, codeCase.DiagnosisSlots);
    treatments.Collect(codeCase.Treatments, codeCase.TreatmentSlots);
    codeCase.WrittenDiagnoses = &diagnoses;
    codeCase.WrittenTreatments = &treatments;
  }
  codeCase.Found = GatherFacts(codeCase, *codeCase.WrittenDiagnoses);
  RunRules(codeCase, kCodeRules);
}

void AppendCodeRules(std::vector<RuleInfo*>& out) { AppendRuleInfos(out, kCodeRules); }

}  // namespace qv
