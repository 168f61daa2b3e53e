// The diagnosis and treatment code rules shared by MB and MD: validity of
// each code in the discharge year, terminal codes, sex- and age-specific
// codes, codes that may or may not be main diagnosis, codes that exclude or
// require each other, gaps in the lists, and agreement of the detail
// record's codes with the MB. Plain rows and rows over every diagnosis or
// treatment are interleaved; one walker runs them in the order written.
#include "rules/CodeRules.h"

#include <cstring>
#include <initializer_list>
#include <vector>

#include "interface/LibraryGlobals.h"
#include "records/CodeLists.h"
#include "records/Record.h"
#include "records/RecordMB.h"
#include "records/RecordMD.h"
#include "records/RecordMN.h"
#include "rules/Catalogue.h"

namespace qv {

namespace {

constexpr int kDiagnosisEntry = 7;
constexpr int kTreatmentEntry = 8;

// Which positions a row walks. The agreement rows walk the MB's positions,
// the others the running record's own.
enum class Over { Case, EachDiagnosis, EachTreatment, EachMbDiagnosis, EachMbTreatment };

bool OverDiagnoses(Over o) { return o == Over::EachDiagnosis || o == Over::EachMbDiagnosis; }

// Facts about the own diagnoses that several rows need, gathered once.
struct CaseFlags {
  bool SecondaryZ37 = false;
  bool SecondaryO09 = false;
  bool HasHivGroup = false;
  bool HasF64 = false;
  bool HasLiveBirthZ38 = false;
};

// What a row's condition sees: the scope, the case flags and, in an entry
// row, the entry at position j (an empty entry in a case row).
struct At {
  const CodeRuleScope& S;
  const CaseFlags& Flags;
  const CodeEntry& E;
  int j;
};

// The value text a finding shows.
struct Shown {
  enum class From { None, Code, MbCode, Diagnosis, Treatment, MbField, MdField };
  From Source = From::None;
  int N = 0;

  static constexpr Shown None() { return {From::None, 0}; }
  // The code at the failing position.
  static constexpr Shown Code() { return {From::Code, 0}; }
  // The MB's code at the failing position.
  static constexpr Shown MbCode() { return {From::MbCode, 0}; }
  // Own diagnosis or treatment n.
  static constexpr Shown Diagnosis(int n) { return {From::Diagnosis, n}; }
  static constexpr Shown Treatment(int n) { return {From::Treatment, n}; }
  static constexpr Shown MbField(int n) { return {From::MbField, n}; }
  static constexpr Shown MdField(int n) { return {From::MdField, n}; }
};

struct CodeRule {
  RuleInfo Info;
  Over Walks;
  bool (*Fails)(const At&);
  Shown Shows;
};

const CodeEntry kNoEntry{};

// Texts of an entry, never null (columns of a code never looked up are).
const char* Code(const CodeEntry& e) { return e.Key ? e.Key : kEmptyText; }
const char* Col(const CodeEntry& e, int c) { return e.Columns[c] ? e.Columns[c] : kEmptyText; }

const CodeEntry& MainDiagnosis(const At& a) { return a.S.Diagnoses[0]; }
const CodeEntry& Supplement(const At& a) { return a.S.Diagnoses[1]; }
const CodeEntry& MainTreatment(const At& a) { return a.S.Treatments[0]; }
const char* Mb(const At& a, int n) { return a.S.Mb.Field(n); }
// Field n of the case's MN / MD; the empty text when the case has none.
const char* Mn(const At& a, int n) { return a.S.Mn ? a.S.Mn->Field(n) : kEmptyText; }
const char* Md(const At& a, int n) { return a.S.Md ? a.S.Md->Field(n) : kEmptyText; }
bool HasMn(const At& a) { return a.S.Mn != nullptr; }
bool HasMd(const At& a) { return a.S.Md != nullptr; }

bool BeginsWithAny(const char* code, std::initializer_list<const char*> prefixes) {
  for (const char* p : prefixes)
    if (StartsWith(code, p)) return true;
  return false;
}
// Chapter XX, external causes.
bool ExternalCause(const char* code) { return BeginsWithAny(code, {"V", "W", "X", "Y"}); }
bool Between(int low, int value, int high) { return low <= value && value <= high; }

// Validity years of a code (columns 6 and 7) against the discharge year,
// and its terminal years (columns 8 and 9) against the statistics year.
bool NoLongerValid(const At& a) {
  const ParsedDate& out = a.S.Mb.DischargeDate;
  return a.E.Found && !Empty(Col(a.E, 7)) && out.HasYear && out.Year > Int(Col(a.E, 7));
}
bool NotYetValid(const At& a) {
  const ParsedDate& out = a.S.Mb.DischargeDate;
  return a.E.Found && !Empty(Col(a.E, 6)) && out.HasYear && out.Year < Int(Col(a.E, 6));
}
bool NotTerminal(const At& a) {
  return a.E.Found && StatYear > 2009 && Between(Int(Col(a.E, 6)), StatYear, Int(Col(a.E, 7))) &&
         (StatYear < Int(Col(a.E, 8)) || StatYear > Int(Col(a.E, 9)));
}

// A code of age class `letter` (column 3) from 2012 on.
bool AgeClass(const At& a, const char* letter) {
  return StatYear >= 2012 && a.E.Found && Is(Col(a.E, 3), letter);
}
int Age(const At& a) { return a.S.Mb.AgeAtAdmission; }
int AgeDays(const At& a) { return a.S.Mb.AgeDays; }

// Main treatment missing in an A or C case whose main diagnosis does not
// explain it (newborn, waiting patient).
bool NoTreatment(const At& a) {
  return MainTreatment(a).KeyEmpty && IsCodeInList(Mb(a, 5), _AC) &&
         !BeginsWithAny(Code(MainDiagnosis(a)), {"Z38", "Z758"});
}

using C = Counter;

const CodeRule kCodeRules[] = {
    // Main diagnosis and supplement.
    {{"A0000", "Hauptdiagnose: Angabe fehlt (Statistikfall A, C)", 342, C::Error}, Over::Case,
     [](const At& a) { return MainDiagnosis(a).KeyLength == 0 && IsCodeInList(Mb(a, 5), _AC) && Is(Mb(a, 19), "3") &&
                              !(HasMn(a) && Is(Mn(a, 3), "0")); },
     Shown::None()},
    {{"A0010", "Unzulässiger Hauptdiagnosecode", 343, C::Error}, Over::Case,
     [](const At& a) { return StatYear >= 2012 && MainDiagnosis(a).Found && Is(Col(MainDiagnosis(a), 5), "2") &&
                              HasMd(a) && StartsWith(Md(a, 676), "1"); },
     Shown::Diagnosis(0)},
    {{"A0011", "Sternkode nicht zulässig als Hauptdiagnose", 344, C::Error}, Over::Case,
     [](const At& a) { return MainDiagnosis(a).Found && Is(Col(MainDiagnosis(a), 1), "2"); }, Shown::Diagnosis(0)},
    {{"A0012", "Kodes mit !: immer als Nebendiagnose, ausser die äusseren Ursachen (V01!-Y98!)", 345, C::Error},
     Over::Case,
     [](const At& a) { return StatYear >= 2010 && MainDiagnosis(a).Found && IsSecondaryCode(Code(MainDiagnosis(a))); },
     Shown::Diagnosis(0)},
    {{"A0013", "Hauptdiagnose: Äussere Ursachen (ICD-10 Kap. XX) hier nicht zulässig", 346, C::Error}, Over::Case,
     [](const At& a) { return !MainDiagnosis(a).KeyEmpty && ExternalCause(Code(MainDiagnosis(a))); },
     Shown::Diagnosis(0)},
    {{"A0020", "Ein Fall mit Hauptdiagnose Z758 darf nicht fakturiert werden.", 347, C::Error}, Over::Case,
     [](const At& a) { return StatYear >= 2012 && MainDiagnosis(a).Found && Is(Code(MainDiagnosis(a)), "Z758") &&
                              HasMd(a) && Is(Md(a, 676), "1"); },
     Shown::Diagnosis(0)},
    {{"A0021", "Ein Fall mit Hauptdiagnose Z758 muss Eintrittsart 4 Interner Übertritt haben.", 348, C::Error},
     Over::Case,
     [](const At& a) { return StatYear >= 2012 && MainDiagnosis(a).Found && Is(Code(MainDiagnosis(a)), "Z758") &&
                              !Is(Mb(a, 17), "4"); },
     Shown::Diagnosis(0)},
    {{"A0120", "Zusatz zur Hauptdiagnose: nur für Stern-Kodes und für äussere Ursachen (V01!-Y98!) gültig", 349,
      C::Error},
     Over::Case,
     [](const At& a) { return Between(2010, StatYear, 2023) && Supplement(a).Found &&
                              !std::strchr(Col(Supplement(a), 0), '*') && !ExternalCause(Code(Supplement(a))); },
     Shown::Diagnosis(1)},
    {{"A0130", "Hauptdiagnosecodes T90 - T98 benötigen keine Zusatzdiagnose V - Y mehr.", 350, C::Warning}, Over::Case,
     [](const At& a) { return Between(2012, StatYear, 2023) && MainDiagnosis(a).Found &&
                              StartsWith(Code(MainDiagnosis(a)), "T9") && Supplement(a).Found &&
                              ExternalCause(Code(Supplement(a))); },
     Shown::Diagnosis(1)},

    // Every diagnosis position.
    {{"A0200", "Ungültiger Diagnosekode (ICD-10)", 351, C::Error}, Over::EachDiagnosis,
     [](const At& a) { return !a.E.KeyEmpty && !a.E.Found; }, Shown::Code()},
    {{"A0201", "ICD-Kode zum Austrittszeitpunkt nicht mehr gültig", 352, C::Error}, Over::EachDiagnosis,
     NoLongerValid, Shown::Code()},
    {{"A0202", "ICD-Kode zum Austrittszeitpunkt noch nicht gültig", 353, C::Error}, Over::EachDiagnosis,
     NotYetValid, Shown::Code()},
    {{"A0210", "Nicht terminaler ICD 10-Kode", 354, C::Error}, Over::EachDiagnosis, NotTerminal, Shown::Code()},
    {{"A0310", "Diagnose/Austrittsart: Letale Hauptdiagnose, als Austrittsart nur Tod möglich", 355, C::Warning},
     Over::EachDiagnosis,
     [](const At& a) { return !a.E.KeyEmpty && !Is(Mb(a, 26), "5") &&
                              BeginsWithAny(Code(a.E), {"R95", "R96", "R98", "R99", "P95", "O95", "O96", "O97", "I461",
                                                        "P964", "S18"}); },
     Shown::Code()},
    {{"A0320", "Lebendgeborene müssen mit dem Diagnosekode Z38 kodiert werden", 356, C::Error}, Over::Case,
     [](const At& a) { return StatYear >= 2012 && Is(Mb(a, 5), "A") && HasMn(a) && Is(Mb(a, 17), "3") &&
                              Is(Mn(a, 3), "1") && !a.S.HasDiagnosisPrefix("Z38"); },
     Shown::None()},
    {{"A0321", "Vitalstatus (Totgeburt)/Diagnosen: Widersprüchliche Dokumentation eines Lebendgeborenen mit einem "
               "Diagnosecode Z38.-",
      357, C::Error},
     Over::EachDiagnosis,
     [](const At& a) { return a.E.Found && StartsWith(Code(a.E), "Z38") && HasMn(a) && Is(Mn(a, 3), "0"); },
     Shown::Code()},
    {{"A0330", "Die Kodes R75, Z21, B23.0 und die Gruppe B20-B24 schliessen sich gegenseitig aus und sind während "
               "desselben stationären Aufenthaltes nicht zusammen aufzuführen",
      358, C::Error},
     Over::EachDiagnosis,
     [](const At& a) { return StatYear >= 2010 && a.E.Found && a.Flags.HasHivGroup &&
                              BeginsWithAny(Code(a.E), {"R75", "Z21", "B230"}); },
     Shown::Code()},
    {{"A0341", "Der Z37-Code muss im Datensatz der Mutter, nicht in demjenigen des Kindes kodiert werden", 359,
      C::Error},
     Over::EachDiagnosis,
     [](const At& a) { return StatYear >= 2010 && !Empty(Mb(a, 12)) && a.E.Found && StartsWith(Code(a.E), "Z37") &&
                              Int(Mb(a, 12)) == 0; },
     Shown::Code()},
    {{"A0342", "Der Z38-Code muss im Datensatz des Kindes, nicht in demjenigen der Mutter kodiert werden", 360,
      C::Error},
     Over::EachDiagnosis,
     [](const At& a) { return StatYear >= 2010 && !Empty(Mb(a, 12)) && a.E.Found && StartsWith(Code(a.E), "Z38") &&
                              Int(Mb(a, 12)) > 0; },
     Shown::Code()},
    {{"A0343", "Wird einer der folgenden Kodes als Haupt- oder Nebendiagnose angegeben, muss der Kode O09.-! als "
               "Nebendiagnose angegeben werden: O03-O07; O10-O16; O20-O29; O30-O48; O60-O75; O80-O82; Z34-Z37",
      361, C::Warning},
     Over::EachDiagnosis,
     [](const At& a) { return StatYear >= 2010 && a.E.Found && IsPregnancyCode(Code(a.E)) && !a.Flags.SecondaryO09; },
     Shown::Code()},
    {{"A0344", "Wenn der Code O80 - O82 steht, muss Z37 kodiert werden und gehört in die Nebendiagnose", 362, C::Error},
     Over::EachDiagnosis,
     [](const At& a) { return StatYear >= 2010 && a.E.Found && BeginsWithAny(Code(a.E), {"O80", "O81", "O82"}) &&
                              !a.Flags.SecondaryZ37; },
     Shown::Code()},
    {{"A0345", "Die Codes O80, O81, O82 sind Hauptdiagnose-Codes", 363, C::Error}, Over::EachDiagnosis,
     [](const At& a) { return StatYear >= 2012 && a.j > 0 && a.E.Found &&
                              BeginsWithAny(Code(a.E), {"O80", "O81", "O82"}); },
     Shown::Code()},
    {{"A0350", "Die Diagnosen Z51.0, Z51.1, Z51.82 werden nicht kodiert", 364, C::Warning}, Over::EachDiagnosis,
     [](const At& a) { return StatYear >= 2012 && a.E.Found && IsCodeInList(Code(a.E), {"Z510", "Z511", "Z5182"}); },
     Shown::Code()},
    {{"A0400", "Diagnosekode nicht vereinbar mit Geschlecht", 365, C::Warning}, Over::EachDiagnosis,
     [](const At& a) { return a.E.Found && !Empty(Col(a.E, 2)) && !Is(Col(a.E, 2), Mb(a, 10)); }, Shown::Code()},

    // Age classes of ICD codes (column 3).
    {{"A0410", "ICD-Kode unvereinbar mit Alter für a) Säugling (hauptsächlich Neugeborene, jedoch auch Patienten "
               "zwischen 1 und 364/5 Tagen)",
      366, C::Warning},
     Over::EachDiagnosis, [](const At& a) { return AgeClass(a, "a") && AgeDays(a) > 365; }, Shown::Code()},
    {{"A0411", "ICD-Kode unvereinbar mit Alter für b) Kleinkind (Alter zwischen 1 Tag und 2 Jahren)", 367, C::Warning},
     Over::EachDiagnosis, [](const At& a) { return AgeClass(a, "b") && (Age(a) >= 2 || AgeDays(a) == 0); },
     Shown::Code()},
    {{"A0412", "ICD-Kode unvereinbar mit Alter für c) Kind (Alter zwischen 1 Tag und 10 Jahren)", 368, C::Warning},
     Over::EachDiagnosis, [](const At& a) { return AgeClass(a, "c") && (Age(a) >= 10 || AgeDays(a) == 0); },
     Shown::Code()},
    {{"A0413", "ICD-Kode unvereinbar mit Alter für d) Kinder und Jugendliche (Alter zwischen 1 Tag und 19 Jahren)", 369,
      C::Warning},
     Over::EachDiagnosis, [](const At& a) { return AgeClass(a, "d") && (Age(a) >= 19 || AgeDays(a) == 0); },
     Shown::Code()},
    {{"A0414", "ICD-Kode unvereinbar mit Alter für e) Post-neonatal (älter als 27 Tage)", 370, C::Warning},
     Over::EachDiagnosis, [](const At& a) { return AgeClass(a, "e") && AgeDays(a) < 28; }, Shown::Code()},
    {{"A0415", "ICD-Kode unvereinbar mit Alter für f) Älter als Säugling (Alter ab 1 Jahr)", 371, C::Warning},
     Over::EachDiagnosis, [](const At& a) { return AgeClass(a, "f") && Age(a) < 1; }, Shown::Code()},
    {{"A0416", "ICD-Kode unvereinbar mit Alter für g) Pubertät (Alter zwischen 8 und 19 Jahren)", 372, C::Warning},
     Over::EachDiagnosis, [](const At& a) { return AgeClass(a, "g") && (Age(a) < 8 || Age(a) > 19); }, Shown::Code()},
    {{"A0417", "ICD-Kode unvereinbar mit Alter für h) Gebärfähiges Alter (Patientinnen zwischen 12 und 55 Jahren)", 373,
      C::Warning},
     Over::EachDiagnosis, [](const At& a) { return AgeClass(a, "h") && (Age(a) < 12 || Age(a) > 55); },
     Shown::Code()},
    {{"A0418", "ICD-Kode unvereinbar mit Alter für j) Erwachsene (ab 15 Jahren)", 374, C::Warning},
     Over::EachDiagnosis, [](const At& a) { return AgeClass(a, "j") && Age(a) < 15; }, Shown::Code()},
    {{"A0419", "ICD-Kode unvereinbar mit Alter für k) Reife Erwachsene (ab 30 Jahren)", 375, C::Warning},
     Over::EachDiagnosis, [](const At& a) { return AgeClass(a, "k") && Age(a) < 30; }, Shown::Code()},

    {{"A0920", "Meldepflichtige Diagnose", 376, C::Warning}, Over::EachDiagnosis,
     [](const At& a) { return StatYear >= 2012 && a.E.Found && IsCodeInList(Code(a.E), _265_Meldepfl_Dia); },
     Shown::Code()},

    // Treatments.
    {{"A1000", "Behandlung: Angabe fehlt", 377, C::Warning}, Over::Case,
     [](const At& a) { return NoTreatment(a) && !IsCodeInList(Mb(a, 23), _7_HKSTH); }, Shown::None()},
    {{"A1001", "Behandlung: Angabe fehlt", 378, C::Hint}, Over::Case,
     [](const At& a) { return NoTreatment(a) && IsCodeInList(Mb(a, 23), _7_HKSTH); }, Shown::None()},
    {{"A1005", "Zusatzkodes sind keine Hauptbehandlungen", 379, C::Error}, Over::Case,
     [](const At& a) { return Between(2016, StatYear, 2023) && StartsWith(Col(MainTreatment(a), 5), "2"); },
     Shown::Treatment(0)},
    {{"A1200", "Ungültiger Behandlungskode (CHOP)", 380, C::Error}, Over::EachTreatment,
     [](const At& a) { return !a.E.KeyEmpty && !a.E.Found; }, Shown::Code()},
    {{"A1201", "CHOP-Kode zum Austrittszeitpunkt nicht mehr gültig", 381, C::Error}, Over::EachTreatment,
     NoLongerValid, Shown::Code()},
    {{"A1202", "CHOP-Kode zum Austrittszeitpunkt noch nicht gültig", 382, C::Error}, Over::EachTreatment, NotYetValid,
     Shown::Code()},
    {{"A1210", "Nicht terminaler CHOP-Kode", 383, C::Error}, Over::EachTreatment, NotTerminal, Shown::Code()},
    {{"A1222", "Unspezifischer 2-stelliger Behandlungskode (CHOP)", 384, C::Error}, Over::EachTreatment,
     [](const At& a) { return StatYear <= 2019 && a.E.Found && Is(Col(a.E, 1), "2"); }, Shown::Code()},
    {{"A1290", "FIM-Codes entfernen", 385, C::Hint}, Over::EachTreatment,
     [](const At& a) { return Between(2018, StatYear, 9999) && StartsWith(Code(a.E), "AA12"); }, Shown::Code()},
    {{"A1310", "Behandlungskode nur bei Todesfall möglich", 386, C::Warning}, Over::EachTreatment,
     [](const At& a) { return !Is(Mb(a, 26), "5") && StartsWith(Code(a.E), "8981"); }, Shown::Code()},
    {{"A1400", "Behandlungskode nicht vereinbar mit Geschlecht", 387, C::Warning}, Over::EachTreatment,
     [](const At& a) { return a.E.Found && !Empty(Col(a.E, 2)) && !Is(Col(a.E, 2), Mb(a, 10)) && !a.Flags.HasF64; },
     Shown::Code()},
    {{"A1410", "Kode nicht vereinbar mit Alter (nur für Peri-/Neonatalperiode verwendbar)", 388, C::Warning},
     Over::EachDiagnosis,
     [](const At& a) {
       const char* code = Code(a.E);
       return a.E.Found && code[0] == 'P' &&
              a.S.Mb.AdmissionDate.DayNumber - a.S.Mb.BirthDate.DayNumber > 28 &&
              (code[1] == '1' || IsCodeWithPrefixInList(code, 1, 2, _16_DIA_PERINAT_LEN2) ||
               IsCodeWithPrefixInList(code, 1, 3, _10_DIA_PERINAT_LEN3));
     },
     Shown::MbField(11)},
    {{"A1417", "CHOP-Kode unvereinbar mit Alter für i) Gebärfähiges Alter (Patientinnen zwischen 12 und 55 Jahren)",
      389, C::Warning},
     Over::EachTreatment,
     [](const At& a) { return StatYear >= 2012 && a.E.Found && Is(Col(a.E, 3), "i") && (Age(a) < 12 || Age(a) > 55); },
     Shown::Code()},

    // Case-level tests.
    {{"B1023", "Eintritts-, Geburtsdatum, Eintrittsart: Bei Eintritt durch Geburt Eintrittsart überprüfen", 390,
      C::Warning},
     Over::Case,
     [](const At& a) { return Is(Mb(a, 12), "0") && a.S.Mb.BirthDate.DayNumber == a.S.Mb.AdmissionDate.DayNumber &&
                              !Is(Mb(a, 17), "3") && !a.Flags.HasLiveBirthZ38; },
     Shown::None()},
    {{"B1310", "Wartepatienten werden nicht über DRG abgerechnet", 391, C::Warning}, Over::Case,
     [](const At& a) { return Between(2016, StatYear, 9999) && Is(Code(MainDiagnosis(a)), "Z758") &&
                              StartsWith(Mb(a, 17), "4") && HasMd(a) && StartsWith(Md(a, 676), "1"); },
     Shown::MdField(676)},
    {{"B3101", "Ein im Betrieb geborenes Kind muss immer einen MN-Zusatzdatensatz enthalten", 392, C::Error},
     Over::Case,
     [](const At& a) { return Between(2016, StatYear, 9999) && StartsWith(Mb(a, 5), "A") &&
                              StartsWith(Mb(a, 17), "3") && StartsWith(Mb(a, 12), "0") && !HasMn(a); },
     Shown::None()},

    // Agreement with the MB (in the MB itself both sides are the same entry)
    // and gaps in the lists.
    {{"C2210", "Die Diagnose im MB muss der Diagnose im MD entsprechen", 393, C::Warning}, Over::EachMbDiagnosis,
     [](const At& a) { return Is(Mb(a, 5), "A") && !Is(Code(a.E), Code(a.S.Mb.Diagnoses[a.j])); }, Shown::MbCode()},
    {{"C2220", "Die Behandlung im MB muss der Behandlung im MD entsprechen", 394, C::Warning}, Over::EachMbTreatment,
     [](const At& a) {
       const CodeEntry& mb = a.S.Mb.Treatments[a.j];
       return Is(Mb(a, 5), "A") && std::strncmp(Code(mb), Code(a.E), 5) != 0 &&
              (!mb.Found || !StartsWith(Code(a.E), Code(mb)));
     },
     Shown::MbCode()},
    {{"C7100", "Die Diagnosecodes müssen nacheinander aufgelistet werden. Es dürfen innerhalb der übermittelten Codes "
               "keine leeren ICD-Felder ('Lücken') enthalten sein.",
      395, C::Error},
     Over::EachDiagnosis,
     [](const At& a) {
       // The supplement and the first secondary diagnosis follow the main
       // diagnosis; a secondary diagnosis follows the one before it.
       const CodeEntry& before = a.j <= 2 ? MainDiagnosis(a) : a.S.Diagnoses[a.j - 1];
       return StatYear >= 2014 && a.j > 0 && !a.E.KeyEmpty && before.KeyEmpty;
     },
     Shown::Code()},
    {{"C7200", "Die Behandlungscodes müssen nacheinander aufgelistet werden. Es dürfen innerhalb der übermittelten "
               "Codes keine leeren CHOP-Felder ('Lücken') enthalten sein.",
      396, C::Error},
     Over::EachTreatment,
     [](const At& a) { return StatYear >= 2014 && a.j > 0 && !a.E.KeyEmpty && a.S.Treatments[a.j - 1].KeyEmpty &&
                              Is(Mb(a, 19), "3"); },
     Shown::Code()},
};

CaseFlags GatherFlags(const CodeRuleScope& s) {
  CaseFlags f;
  for (int j = 0; j < s.DiagnosisSlots; ++j) {
    const CodeEntry& e = s.Diagnoses[j];
    const char* code = Code(e);
    if (!e.Found || std::strlen(code) <= 2) continue;
    if (j >= 2 && StartsWith(code, "Z37")) f.SecondaryZ37 = true;
    if (j >= 2 && StartsWith(code, "O09")) f.SecondaryO09 = true;
    if (code[0] == 'B' && code[1] == '2' && code[2] >= '0' && code[2] <= '4' && !StartsWith(code, "B230"))
      f.HasHivGroup = true;
    if (StartsWith(code, "F64")) f.HasF64 = true;
    if (BeginsWithAny(code, {"Z381", "Z384", "Z387"})) f.HasLiveBirthZ38 = true;
  }
  return f;
}

// The own positions that hold a code, in order.
struct Coded {
  std::vector<int> Diagnoses, Treatments;
};

Coded CodedPositions(const CodeRuleScope& s) {
  Coded c;
  for (int j = 0; j < s.DiagnosisSlots; ++j)
    if (!Empty(Code(s.Diagnoses[j]))) c.Diagnoses.push_back(j);
  for (int j = 0; j < s.TreatmentSlots; ++j)
    if (!Empty(Code(s.Treatments[j]))) c.Treatments.push_back(j);
  return c;
}

const char* ValueText(const CodeRule& row, const At& a) {
  const CodeRuleScope& s = a.S;
  switch (row.Shows.Source) {
    case Shown::From::None: return nullptr;
    case Shown::From::Code: return Code(a.E);
    case Shown::From::MbCode:
      return Code(OverDiagnoses(row.Walks) ? s.Mb.Diagnoses[a.j] : s.Mb.Treatments[a.j]);
    case Shown::From::Diagnosis: return Code(s.Diagnoses[row.Shows.N]);
    case Shown::From::Treatment: return Code(s.Treatments[row.Shows.N]);
    case Shown::From::MbField: return s.Mb.Field(row.Shows.N);
    case Shown::From::MdField: return s.Md ? s.Md->Field(row.Shows.N) : kEmptyText;
  }
  return nullptr;
}

// Runs an entry row. Rows over the own entries can only fail where a code
// is written, so they walk the coded positions; the agreement rows walk
// every MB position, where an own entry beyond the own slots reads as empty.
void RunOverEntries(const CodeRule& row, const CodeRuleScope& s, const CaseFlags& flags, const Coded& coded) {
  const bool diagnoses = OverDiagnoses(row.Walks);
  const CodeEntry* own = diagnoses ? s.Diagnoses : s.Treatments;
  const int entryType = diagnoses ? kDiagnosisEntry : kTreatmentEntry;
  auto check = [&](int j, const CodeEntry& e) {
    At a{s, flags, e, j};
    if (row.Fails(a)) s.Running.Report(row.Info, ValueText(row, a), entryType, j);
  };
  if (row.Walks == Over::EachDiagnosis || row.Walks == Over::EachTreatment) {
    const std::vector<int>& positions = diagnoses ? coded.Diagnoses : coded.Treatments;
    for (int j : positions) check(j, own[j]);
    return;
  }
  const int ownSlots = diagnoses ? s.DiagnosisSlots : s.TreatmentSlots;
  const int count = diagnoses ? s.Mb.DiagnosisSlots : s.Mb.TreatmentSlots;
  for (int j = 0; j < count; ++j) check(j, j < ownSlots ? own[j] : kNoEntry);
}

}  // namespace

int CodeRuleScope::HasDiagnosisPrefix(const char* prefix) const {
  for (int j = 0; j <= MaxDiagnosisIndex && j < DiagnosisSlots; ++j)
    if (StartsWith(Code(Diagnoses[j]), prefix)) return 1;
  return 0;
}

void RunCodeRules(const CodeRuleScope& scope) {
  const CaseFlags flags = GatherFlags(scope);
  const Coded coded = CodedPositions(scope);
  for (const CodeRule& row : kCodeRules) {
    LogTest(row.Info);
    if (row.Walks != Over::Case) {
      RunOverEntries(row, scope, flags, coded);
      continue;
    }
    At a{scope, flags, kNoEntry, -1};
    if (row.Fails(a)) scope.Running.Report(row.Info, ValueText(row, a));
  }
}

void AppendCodeRules(std::vector<RuleInfo>& out) {
  for (const CodeRule& row : kCodeRules) out.push_back(row.Info);
}

}  // namespace qv
