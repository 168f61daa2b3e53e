// Tests of the newborn add-on line: the mother's birth date and gestational
// ages, earlier pregnancies, agreement with the MB record and the child.
#include <cstring>

#include "interface/LibraryGlobals.h"
#include "records/RecordMB.h"
#include "records/RecordMN.h"
#include "rules/Catalogue.h"
#include "rules/Rule.h"

namespace qv {

namespace {

// A gestational age is weeks and one digit of days: "400" is 40 weeks 0 days.
bool BadGestationDays(const char* v) {
  return !Empty(v) && (std::strlen(v) != 3 || v[2] < '0' || v[2] > '6');
}
bool BadGestationWeeks(const char* v, int weeksLimit) {
  return !Empty(v) && (Int(v) / 10 < 16 || Int(v) / 10 >= weeksLimit);
}

// The birth time is four digits hhmm, 0000 to 2359.
bool IsBirthTime(const char* v) {
  if (std::strlen(v) != 4 || !IsAllDigits(v)) return false;
  return Int(v) / 100 <= 23 && Int(v) % 100 <= 59;
}

bool MotherBirthDateMalformed(const RecordMN& r) {
  const ParsedDate& d = r.MotherBirthDate;
  return d.Length >= 7 && d.HasMonth && (d.Length != 8 || (d.Day >= 1 && !d.DateOnly));
}

bool StillbirthWeightImplausible(const RecordMN& r) {
  if (Empty(r.Field(6)) || !Is(r.Field(3), "0")) return false;
  const int age = Int(r.Field(11)), weight = Int(r.Field(6));
  return (age < 218 && weight > 500) || (age >= 218 && weight <= 500);
}

bool WeightToLengthOutOfRange(const RecordMN& r) {
  const long long length = Int(r.Field(7));
  if (length == 0) return false;
  const long long ratio = Int(r.Field(6)) / length;  // wide: no overflow on extreme texts
  return ratio < 20 || ratio >= 121;
}

bool PregnanciesInconsistent(const RecordMN& r) {
  if (Empty(r.Field(14)) || Empty(r.Field(15)) || Empty(r.Field(16))) return false;
  return static_cast<long long>(Int(r.Field(13))) >
         static_cast<long long>(Int(r.Field(14))) + Int(r.Field(15)) + Int(r.Field(16));
}

Rule<RecordMN> kMnRules[] = {
    // Mother's birth date and gestational ages.
    {{"B3000", "Geburtsdatum der Mutter: Angabe fehlt", 85, Counter::Error},
     [](const RecordMN& r) { return Empty(r.Field(10)); }, Value::None()},
    {{"B3001", "Geburtsdatum der Mutter: Ungültige Datumsangabe (JJJJMMTT)", 86, Counter::Error},
     MotherBirthDateMalformed, Value::Field(10)},
    {{"B3002", "Geburtsdatum der Mutter: Ungültige Angabe für die Jahrzahl", 87, Counter::Error},
     [](const RecordMN& r) {
       const ParsedDate& d = r.MotherBirthDate;
       return !d.IsEmpty && !(d.HasYear && d.Year >= 1900);
     },
     Value::Field(10)},
    {{"B3003", "Geburtsdatum der Mutter: Fehlende/falsche Monatsangabe", 88, Counter::Error},
     [](const RecordMN& r) { return !r.MotherBirthDate.IsEmpty && !r.MotherBirthDate.HasMonth; }, Value::Field(10)},
    {{"B3005", "Das Geburtsdatum der Mutter darf nicht dem Geburtsdatum des Kindes entsprechen", 89, Counter::Error},
     [](const RecordMN& r) { return !Empty(r.Field(10)) && std::strncmp(r.Field(10), Mb(r, Mb11BirthDate), 6) == 0; },
     Value::Field(10)},
    {{"B3010", "Gestationsalter 1: Angabe fehlt", 90, Counter::Warning},
     [](const RecordMN& r) { return Empty(r.Field(11)); }, Value::None()},
    {{"B3011", "Gestationsalter 1: Ungültige Anzahl Tage", 91, Counter::Error},
     [](const RecordMN& r) { return BadGestationDays(r.Field(11)); }, Value::Field(11)},
    {{"B3012", "Gestationsalter 1: Ungültige Anzahl Wochen", 92, Counter::Error},
     [](const RecordMN& r) { return BadGestationWeeks(r.Field(11), 45); }, Value::Field(11)},
    {{"B3015", "Gestationsalter 1: Unwahrscheinliche Anzahl Wochen", 93, Counter::Warning},
     [](const RecordMN& r) { return BadGestationWeeks(r.Field(11), 45); }, Value::Field(11)},
    {{"B3020", "Gestationsalter 2: Angabe fehlt", 94, Counter::Warning},
     [](const RecordMN& r) { return Empty(r.Field(12)); }, Value::None()},
    {{"B3021", "Gestationsalter 2: Ungültige Anzahl Tage", 95, Counter::Error},
     [](const RecordMN& r) { return BadGestationDays(r.Field(12)); }, Value::Field(12)},
    {{"B3022", "Gestationsalter 2: Ungültige Anzahl Wochen", 96, Counter::Error},
     [](const RecordMN& r) { return BadGestationWeeks(r.Field(12), 46); }, Value::Field(12)},
    {{"B3025", "Gestationsalter 2: Unwahrscheinliche Anzahl Wochen", 97, Counter::Warning},
     [](const RecordMN& r) { return BadGestationWeeks(r.Field(12), 46); }, Value::Field(12)},
    {{"B3026", "Gestationsalter 2 ist mehr als 4 Wochen grösser als Gestationsalter 1", 98, Counter::Warning},
     [](const RecordMN& r) {
       return !Empty(r.Field(11)) && !Empty(r.Field(12)) && Int(r.Field(12)) / 10 - Int(r.Field(11)) / 10 > 4;
     },
     Value::Field(12)},

    // Previous pregnancies and the mother's transfer.
    {{"B3040", "Anzahl vorausg. Schwangerschaften insgesamt: Angabe fehlt", 99, Counter::Hint},
     [](const RecordMN& r) { return Empty(r.Field(13)); }, Value::None()},
    {{"B3041", "Anzahl vorausg. Schwangerschaften insgesamt: Ausserhalb des gültigen Wertebereichs", 100,
      Counter::Error},
     [](const RecordMN& r) { return OutOfRange(r.Field(13), 0, 40); }, Value::Field(13)},
    {{"B3050", "Anzahl vorausg. Lebendgeburten: Angabe fehlt", 101, Counter::Hint},
     [](const RecordMN& r) { return Empty(r.Field(14)); }, Value::None()},
    {{"B3051", "Anzahl vorausg. Lebendgeburten: Ausserhalb des gültigen Wertebereichs", 102, Counter::Error},
     [](const RecordMN& r) { return OutOfRange(r.Field(14), 0, 20); }, Value::Field(14)},
    {{"B3060", "Anzahl vorausg. Fehl- oder Totgeburten: Angabe fehlt", 103, Counter::Hint},
     [](const RecordMN& r) { return Empty(r.Field(15)); }, Value::None()},
    {{"B3061", "Anzahl vorausg. Fehl- oder Totgeburten: Ausserhalb des gültigen Wertebereichs", 104, Counter::Error},
     [](const RecordMN& r) { return OutOfRange(r.Field(15), 0, 20); }, Value::Field(15)},
    {{"B3065", "Neugeborenen-Zusatzdaten: Inkonsistente Angaben betreffend Schwangerschaften", 105,
      Counter::Warning},
     PregnanciesInconsistent, Value::None()},
    {{"B3070", "Anzahl vorausg. Schwangerschaftsabbrüche: Angabe fehlt", 106, Counter::Hint},
     [](const RecordMN& r) { return Empty(r.Field(16)); }, Value::None()},
    {{"B3071", "Anzahl vorausg. Schwangerschaftsabbrüche: Ausserhalb des gültigen Wertebereichs", 107,
      Counter::Error},
     [](const RecordMN& r) { return OutOfRange(r.Field(16), 0, 20); }, Value::Field(16)},
    {{"B3080", "Verlegung Mutter aus anderem Spital: Angabe fehlt", 108, Counter::Error},
     [](const RecordMN& r) { return Empty(r.Field(17)); }, Value::None()},
    {{"B3081", "Verlegung Mutter aus anderem Spital: Ungültige Angabe", 109, Counter::Error},
     [](const RecordMN& r) { return !Empty(r.Field(17)) && !IsCodeInList(r.Field(17), _01); }, Value::Field(17)},

    // Consistency with the MB record.
    {{"B3102",
      "Neugeborenen-Zusatz / Hauptkostenstelle: Neugeborene sind in der Regel auf der Geburtsabteilung (M300, "
      "M400)",
      110, Counter::Hint},
     [](const RecordMN& r) { return Is(r.Field(0), "MN") && !IsCodeInList(Mb(r, Mb23MainCostCentre), _2_KST_MN); },
     Value::MbField(Mb23MainCostCentre)},
    {{"B3104",
      "Neugeborenen-Zusatz / Alter bei Eintritt: Die Altersangabe bei Neugeborenen kann nur 0 sein", 111,
      Counter::Error},
     [](const RecordMN& r) { return Is(r.Field(0), "MN") && Int(Mb(r, Mb12Age)) != 0; }, Value::MbField(Mb12Age)},
    {{"B3105", "Vitalstatus / Austrittsart: Angaben stimmen nicht überein", 112, Counter::Error},
     [](const RecordMN& r) { return Is(r.Field(3), "0") && !Is(Mb(r, Mb26DischargeDecision), "5"); }, Value::Field(3)},

    // The child.
    {{"B3110", "Interne Geburtsnummer: Angabe fehlt", 113, Counter::Hint},
     [](const RecordMN& r) { return Empty(r.Field(1)); }, Value::None()},
    {{"B3111", "Interne Geburtsnummer: Ausserhalb des gültigen Wertebereichs", 114, Counter::Error},
     [](const RecordMN& r) { return !Empty(r.Field(1)) && Int(r.Field(1)) > 9999; }, Value::Field(1)},
    {{"B3130", "Vitalstatus: Angabe fehlt", 115, Counter::Error},
     [](const RecordMN& r) { return Empty(r.Field(3)); }, Value::None()},
    {{"B3131", "Vitalstatus: Ungültige Angabe", 116, Counter::Error},
     [](const RecordMN& r) { return !Empty(r.Field(3)) && !IsCodeInList(r.Field(3), _01); }, Value::Field(3)},
    {{"B3140", "Mehrling: Angabe fehlt", 117, Counter::Error},
     [](const RecordMN& r) { return Empty(r.Field(4)); }, Value::None()},
    {{"B3141", "Mehrling: Ungültige Angabe", 118, Counter::Error},
     [](const RecordMN& r) { return !Empty(r.Field(4)) && !IsCodeInList(r.Field(4), _9_MEHRLING); },
     Value::Field(4)},
    {{"B3150",
      "Geburtsrang bei Mehrlingsgeburten: Angabe fehlt/unkorrekt für Mehrlingsschwangerschaft", 119,
      Counter::Error},
     [](const RecordMN& r) {
       return Int(r.Field(4)) > 1 && (Empty(r.Field(5)) || Int(r.Field(5)) > Int(r.Field(4)));
     },
     Value::Field(5)},
    {{"B3151", "Bei einem Einling sollte der Geburtsrang 1 angegeben werden", 120, Counter::Hint},
     [](const RecordMN& r) { return Is(r.Field(4), "1") && !Empty(r.Field(5)) && !Is(r.Field(5), "1"); },
     Value::Field(5)},
    {{"B3152", "Geburtsrang bei Mehrlingsgeburten: Ungültige Angabe", 121, Counter::Hint},
     [](const RecordMN& r) { return !Empty(r.Field(5)) && !IsCodeInList(r.Field(5), _9_GEBRANG); },
     Value::Field(5)},
    {{"B3160", "Geburtsgewicht (gr): Angabe fehlt", 122, Counter::Error},
     [](const RecordMN& r) { return Empty(r.Field(6)); }, Value::None()},
    {{"B3161", "Geburtsgewicht (gr): Ausserhalb des gültigen Wertebereichs", 123, Counter::Error},
     [](const RecordMN& r) { return !Empty(r.Field(6)) && (Int(r.Field(6)) < 0 || Int(r.Field(6)) >= 7001); },
     Value::Field(6)},
    {{"B3162", "Geburtsgewicht (gr): Unplausible Angabe für ein Lebendgeborenes", 124, Counter::Warning},
     [](const RecordMN& r) { return !Empty(r.Field(6)) && Is(r.Field(3), "1") && Int(r.Field(6)) < 501; },
     Value::Field(6)},
    {{"B3163", "Geburtsgewicht (gr)/Gestationsalter 1: Unplausible Angabe für ein Totgeborenes", 125,
      Counter::Warning},
     StillbirthWeightImplausible, Value::None()},
    {{"B3164", "Geburtsgewicht (gr): Unplausible Angabe", 126, Counter::Warning},
     [](const RecordMN& r) {
       return !Empty(r.Field(6)) && Int(r.Field(6)) >= 6000 && Int(r.Field(6)) < 7001;
     },
     Value::Field(6)},
    {{"B3170", "Körperlänge (cm): Angabe fehlt", 127, Counter::Error},
     [](const RecordMN& r) { return Empty(r.Field(7)); }, Value::None()},
    {{"B3171", "Körperlänge (cm): Ausserhalb des gültigen Wertebereichs", 128, Counter::Error},
     [](const RecordMN& r) {
       return !Empty(r.Field(7)) && Is(r.Field(3), "1") && (Is(r.Field(7), "0") || Int(r.Field(7)) >= 66);
     },
     Value::Field(7)},
    {{"B3172", "Körperlänge (cm): Unwahrscheinlicher Wertebereich", 129, Counter::Warning},
     [](const RecordMN& r) {
       return !Empty(r.Field(7)) && Is(r.Field(3), "1") && Int(r.Field(7)) > 0 && Int(r.Field(7)) < 25;
     },
     Value::Field(7)},
    {{"B3174", "Verhältnis Geburtsgewicht zu Körperlänge: Ausserhalb des gültigen Wertebereichs", 130,
      Counter::Warning},
     WeightToLengthOutOfRange, Value::Field(6)},
    {{"B3180", "Kongenitale Missbildungen: Angabe fehlt", 131, Counter::Error},
     [](const RecordMN& r) { return Empty(r.Field(8)); }, Value::None()},
    {{"B3181", "Kongenitale Missbildungen: Ungültige Angabe", 132, Counter::Error},
     [](const RecordMN& r) { return !Empty(r.Field(8)) && !IsCodeInList(r.Field(8), _3_KONGEN_MISSB); },
     Value::Field(8)},
    {{"B3190", "Verlegung Kind in anderes Spital: Angabe fehlt", 133, Counter::Error},
     [](const RecordMN& r) { return Empty(r.Field(9)); }, Value::None()},
    {{"B3191", "Verlegung Kind in anderes Spital: Ungültige Angabe", 134, Counter::Error},
     [](const RecordMN& r) { return !Empty(r.Field(9)) && !IsCodeInList(r.Field(9), _01); }, Value::Field(9)},
    {{"B3195", "Geburtszeitpunkt: Angabe fehlt", 135, Counter::Error},
     [](const RecordMN& r) { return YearFrom(2016) && Empty(r.Field(2)); }, Value::None()},
    {{"B3196", "Geburtszeitpunkt: Ungültige Angabe", 136, Counter::Error},
     [](const RecordMN& r) { return YearFrom(2016) && !Empty(r.Field(2)) && !IsBirthTime(r.Field(2)); },
     Value::Field(2)},

    // The record as a whole.
    {{"C0301",
      "Neugeborenen-Zusatzdaten: Zusatzdatensatz vorhanden ohne Meldung im Basisdatensatz", 137, Counter::Error},
     [](const RecordMN& r) { return Is(Mb(r, Mb6NewbornAddOn), "0"); }, Value::None()},
    {{"C0902", "Nicht erlaubtes Sonderzeichen im MN", 138, Counter::Error},
     [](const RecordMN& r) { return HasForbiddenChar(r); },
     Value::BadChar()},
};

}  // namespace

void RecordMN::TestRecord() {
  BeginTests(KindMN);
  RunRules(*this, kMnRules);
  if (MbRecord) AddCountersTo(*MbRecord);
}

void AppendMnRules(std::vector<RuleInfo*>& out) { AppendRuleInfos(out, kMnRules); }

}  // namespace qv
