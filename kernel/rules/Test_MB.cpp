// Tests of the basic case record: presence and value domain of the
// administrative fields, date order, age, stay and deaths, and the add-on
// records the MB announces. Rows run in the order written; their findings
// appear in the message list in that order.
#include <cstring>

#include "foundation/Logger.h"
#include "interface/LibraryGlobals.h"
#include "records/RecordMB.h"
#include "records/RecordMN.h"
#include "rules/Catalogue.h"
#include "rules/CodeRules.h"
#include "rules/Rule.h"

namespace qv {

namespace {

using R = const RecordMB&;
using C = Counter;

// The stay-after-discharge codes; no other rule uses this list.
const char* const kStayAfterDischarge[] = {"0", "1", "2", "3", "4", "44", "5", "55", "6", "66", "7", "8", "9"};
const CodeList StayAfterDischargeCodes = {kStayAfterDischarge,
                                          static_cast<int>(sizeof kStayAfterDischarge / sizeof *kStayAfterDischarge)};

// Field n of the case's MB, for the tests that name it (for an MB it is the
// record itself).
const char* Mb(R r, int n) { return r.MbRecord->Field(n); }


// a later than b by day; a later than b by hour on the same day.
bool LaterDay(const ParsedDate& a, const ParsedDate& b) {
  return a.HasDay && b.HasDay && a.DayNumber > b.DayNumber;
}
bool LaterHourSameDay(const ParsedDate& a, const ParsedDate& b) {
  return a.HasHour && b.HasHour && a.DayNumber == b.DayNumber && a.Hour > b.Hour;
}
// Hours given in field n exceed the whole stay counted in full days.
bool HoursExceedStay(R r, int n) {
  const ParsedDate& in = r.AdmissionDate;
  const ParsedDate& out = r.DischargeDate;
  return out.HasDay && in.HasDay && Int(r.F[n]) > 0 && out.DayNumber > in.DayNumber &&
         Int(r.F[n]) > (out.DayNumber - in.DayNumber + 1) * 24;
}

const Rule<RecordMB> kMbRules[] = {
    // Personal data.
    {{"A1825", "Geburtsdatum darf nicht später als Beginn der Hauptehandlung sein", 1, C::Error},
     [](R r) { return r.BirthDate.HasYear && r.TreatmentBeginDate.HasDay &&
                      r.BirthDate.DayNumber > r.TreatmentBeginDate.DayNumber; },
     Value::Field(11)},
    {{"B0100", "Geschlecht: Angabe fehlt", 2, C::Error}, [](R r) { return Empty(r.F[10]); }, Value::None()},
    {{"B0101", "Geschlecht: Ungültige Angabe", 3, C::Error}, [](R r) { return NotInList(r.F[10], _12); }, Value::Field(10)},
    {{"B0110", "Geburtsdatum: Angabe fehlt", 4, C::Error}, [](R r) { return r.BirthDate.IsEmpty; }, Value::None()},
    {{"B0111", "Geburtsdatum: Ungültige Angabe", 5, C::Error},
     [](R r) { return !r.BirthDate.IsEmpty && !r.BirthDate.DateOnly && !r.BirthDate.YearOnly; }, Value::Field(11)},
    {{"B0115", "Geburtsdatum darf nicht später als Eintrittsdatum sein", 6, C::Error},
     [](R r) { return r.BirthDate.HasYear && r.AdmissionDate.HasDay &&
                      r.BirthDate.DayNumber > r.AdmissionDate.DayNumber; },
     Value::Field(11)},
    {{"B0120", "Alter bei Eintritt: Angabe fehlt", 7, C::Error}, [](R r) { return Empty(r.F[12]); }, Value::None()},
    {{"B0121", "Alter bei Eintritt: Ausserhalb des gültigen Wertebereichs", 8, C::Error},
     [](R r) { return OutOfRange(r.F[12], 0, 124); }, Value::Field(12)},
    {{"B0122", "Geburt (Kind)/Altersangabe: Ein Neugeborenes hat das Alter 0", 9, C::Error},
     [](R r) { return Is(r.F[17], "3") && Int(r.F[12]) != 0; }, Value::Field(12)},
    {{"B0130", "Wohnort: Angabe fehlt", 10, C::Error}, [](R r) { return Empty(r.F[13]); }, Value::None()},
    {{"B0131", "Wohnort: Ungültige Angabe", 11, C::Error},
     [](R r) {
       for (const LookupResult& l : r.ResidenceLookups)
         if (l.Found) return false;
       return true;
     },
     Value::Field(13)},
    {{"B0132", "Wohnort: Bei Wohnort in der Schweiz Region (oder allenfalls PLZ) angeben", 12, C::Warning},
     [](R r) { return Is(r.F[13], "CHE"); }, Value::Field(13)},
    {{"B0140", "Nationalität: Angabe fehlt", 13, C::Error},
     [](R r) { return Is(r.F[19], "3") && Empty(r.F[14]); }, Value::None()},
    {{"B0141", "Nationalität: Ungültige Angabe", 14, C::Error},
     [](R r) {
       const LookupResult& natio = r.NationalityLookups[RecordMB::NatNATIO];
       return !natio.KeyEmpty && !natio.Found && !r.NationalityLookups[RecordMB::NatWREGIO].Found;
     },
     Value::Field(14)},
    {{"B0201", "Geburtsdatum/Eintrittsdatum: Nicht konsistent mit Altersangabe", 15, C::Error},
     [](R r) {
       if (!r.AdmissionDate.HasYear || !r.BirthDate.HasYear || Empty(r.F[12])) return false;
       int years = r.AdmissionDate.Year - r.BirthDate.Year;
       return years != Int(r.F[12]) && years != static_cast<long long>(Int(r.F[12])) + 1;
     },
     Value::None()},
    {{"B0202", "Geburtsdatum bei Kindern: Bei Kindern bis 2 Jahren muss das vollständige Geburtsdatum angegeben werden",
      16, C::Error},
     [](R r) { return IsAllDigits(r.F[12]) && Int(r.F[12]) < 2 && r.BirthDate.YearOnly; }, Value::Field(11)},
    {{"B0203", "Geburtsdatum bei Todesfall: Bei Todesfällen muss das vollständige Geburtsdatum angegeben werden",
      17, C::Error},
     [](R r) { return Is(r.F[26], "5") && r.BirthDate.YearOnly; }, Value::Field(11)},

    // Admission.
    {{"B1000", "Eintrittsdatum: Angabe fehlt", 18, C::Error},
     [](R r) { return r.AdmissionDate.IsEmpty; }, Value::None()},
    {{"B1001", "Eintrittsdatum: Ungültige Datumsangabe", 19, C::Error},
     [](R r) { return !r.AdmissionDate.IsEmpty && !r.AdmissionDate.HasDay; }, Value::Field(15)},
    {{"B1002", "Eintrittsstunde: Ungültige Stundenangabe", 20, C::Error},
     [](R r) { return r.AdmissionDate.Length > 8 && r.AdmissionDate.HasDay && !r.AdmissionDate.HasHour; },
     Value::Field(15)},
    {{"B1005", "Notfalleintritt: Eintrittsdatum muss inklusive Stundenangabe erfolgen", 21, C::Error},
     [](R r) { return StartsWith(r.F[17], "1") && r.AdmissionDate.HasDay && !r.AdmissionDate.HasHour; },
     Value::Field(15)},
    {{"B1010", "Aufenthalt vor Eintritt: Angabe fehlt", 22, C::Error},
     [](R r) { return Empty(r.F[16]); }, Value::None()},
    {{"B1011", "Aufenthalt vor Eintritt: Ungültige Angabe", 23, C::Error},
     [](R r) { return NotInList(r.F[16], _13_AUFVOR); }, Value::Field(16)},
    {{"B1020", "Eintrittsart: Angabe fehlt", 24, C::Error}, [](R r) { return Empty(r.F[17]); }, Value::None()},
    {{"B1021", "Eintrittsart: Ungültige Angabe", 25, C::Error},
     [](R r) { return NotInList(r.F[17], _7_1234589); }, Value::Field(17)},
    {{"B1022", "Eine Mutter darf nie Eintrittsart Geburt haben", 26, C::Error},
     [](R r) { return StatYear >= 2010 && !Empty(Mb(r, 12)) && Int(Mb(r, 12)) > 0 && Is(Mb(r, 17), "3"); },
     Value::Field(17)},
    {{"B1030", "Einweisende Instanz: Angabe fehlt", 27, C::Error}, [](R r) { return Empty(r.F[18]); }, Value::None()},
    {{"B1031", "Einweisende Instanz: Ungültige Angabe", 28, C::Error},
     [](R r) { return NotInList(r.F[18], _8_INSTANZ); }, Value::Field(18)},
    // Field 60 is the begin of the main treatment in both layouts.
    {{"B1060", "MB: Eintritt darf nicht später als Behandlung sein", 29, C::Error},
     [](R r) { return (Is(Mb(r, 5), "A") && LaterDay(r.AdmissionDate, r.TreatmentBeginDate)) ||
                      LaterHourSameDay(r.AdmissionDate, r.TreatmentBeginDate); },
     Value::Field(60)},
    {{"B1061", "Eintrittszeit darf nicht später als Behandlungszeitpunkt sein", 30, C::Error},
     [](R r) { return LaterHourSameDay(r.AdmissionDate, r.TreatmentBeginDate); }, Value::Field(15)},
    {{"B1065", "Eintrittsdatum darf nicht später als Austrittsdatum sein", 31, C::Error},
     [](R r) { return LaterDay(r.AdmissionDate, r.DischargeDate); }, Value::Field(15)},
    {{"B1066", "Eintrittszeit darf nicht später als Austrittszeitpunkt sein", 32, C::Error},
     [](R r) { return LaterHourSameDay(r.AdmissionDate, r.DischargeDate); }, Value::Field(15)},

    // Stay.
    {{"B1110", "Behandlungsart: Angabe fehlt", 33, C::Error}, [](R r) { return Empty(r.F[19]); }, Value::None()},
    {{"B1111", "Behandlungsart: Ungültige Angabe", 34, C::Error},
     [](R r) { return NotInList(r.F[19], _4_BEHART); }, Value::Field(19)},
    {{"B1112", "Behandlungsart: Unplausible Angabe", 35, C::Warning},
     [](R r) { return Is(r.F[19], "9"); }, Value::Field(19)},
    {{"B1113", "Behandlungsart: teilstationär ist ab 2009 nicht mehr gültig", 36, C::Error},
     [](R r) { return Is(r.F[19], "2") && r.DischargeDate.Year > 2008 && !(Is(r.F[23], "M500") && Is(r.F[3], "BE")); },
     Value::Field(19)},
    {{"B1120", "Klasse: Angabe fehlt", 37, C::Error},
     [](R r) { return Is(r.F[19], "3") && Empty(r.F[20]); }, Value::None()},
    {{"B1121", "Klasse: Ungültige Angabe", 38, C::Error},
     [](R r) { return NotInList(r.F[20], _4_KLASSE); }, Value::Field(20)},
    {{"B1122", "Klasse: Unplausible Angabe", 39, C::Hint},
     [](R r) { return Is(r.F[19], "3") && Is(r.F[20], "9"); }, Value::Field(20)},
    {{"B1130", "Hauptkostenstelle: Angabe fehlt", 40, C::Error}, [](R r) { return Empty(r.F[23]); }, Value::None()},
    {{"B1131", "Hauptkostenstelle: Ungültige Angabe", 41, C::Error},
     [](R r) { return NotInList(r.F[23], StatYear >= 2016 ? _16_KST : _14_KST); }, Value::Field(23)},
    {{"B1135", "Hauptkostenstelle / Alter: Obere Altersgrenze überschritten für Hauptkostenstelle Pädiatrie (M400)", 42,
      C::Warning},
     [](R r) { return !Empty(r.F[12]) && Is(r.F[23], "M400") && Int(r.F[12]) > 18; }, Value::Field(12)},
    {{"B1136", "Hauptkostenstelle / Alter: Unterhalb Altersgrenze für Geriatrie (M900)", 43, C::Warning},
     [](R r) { return !Empty(r.F[12]) && Is(r.F[23], "M900") && Int(r.F[12]) < 30; }, Value::Field(12)},
    {{"B1140", "Hauptkostenträger: Angabe fehlt", 44, C::Error}, [](R r) { return Empty(r.F[24]); }, Value::None()},
    {{"B1141", "Hauptkostenträger: Ungültige Angabe", 45, C::Error},
     [](R r) { return NotInList(r.F[24], _1234589); }, Value::Field(24)},
    {{"B1150", "Administrativer Urlaub, Ferien: Angabe fehlt", 46, C::Warning},
     [](R r) { return Is(r.F[19], "3") && Empty(r.F[22]); }, Value::None()},
    {{"B1151", "Administrativer Urlaub, Ferien: Ungültige Angabe", 47, C::Error},
     [](R r) { return OutOfRange(r.F[22], 0, 9999); }, Value::Field(22)},
    {{"B1152", "Administrativer Urlaub, Ferien: Angabe übersteigt die Dauer des gesamten Aufenthaltes", 48, C::Error},
     [](R r) { return HoursExceedStay(r, 22); }, Value::Field(22)},

    // Discharge.
    {{"B1200", "Austrittsdatum: Angabe fehlt (Statistikfall A)", 49, C::Error},
     [](R r) { return Empty(r.F[25]) && StartsWith(r.F[5], "A"); }, Value::None()},
    {{"B1201", "Austrittsdatum: Ungültige Datumsangabe", 50, C::Error},
     [](R r) { return !r.DischargeDate.IsEmpty && !r.DischargeDate.HasDay; }, Value::Field(25)},
    {{"B1202", "Austrittsstunde: Ungültige Stundenangabe", 51, C::Error},
     [](R r) { return r.DischargeDate.Length > 8 && r.DischargeDate.HasDay && !r.DischargeDate.HasHour; },
     Value::Field(25)},
    {{"B1210", "Entscheid für Austritt: Angabe fehlt", 52, C::Error},
     [](R r) { return Empty(r.F[26]) && Is(r.F[5], "A"); }, Value::None()},
    {{"B1211", "Entscheid für Austritt: Ungültige Angabe", 53, C::Error},
     [](R r) { return NotInList(r.F[26], _1234589); }, Value::Field(26)},
    {{"B1220", "Aufenthalt nach Austritt: Angabe fehlt", 54, C::Error},
     [](R r) { return Empty(r.F[27]) && StartsWith(r.F[5], "A"); }, Value::None()},
    {{"B1221", "Aufenthalt nach Austritt: Ungültige Angabe", 55, C::Error},
     [](R r) { return NotInList(r.F[27], StayAfterDischargeCodes); }, Value::Field(27)},
    {{"B1230", "Behandlung nach Austritt: Angabe fehlt", 56, C::Error},
     [](R r) { return Empty(r.F[28]) && Is(r.F[5], "A"); }, Value::None()},
    {{"B1231", "Behandlung nach Austritt: Ungültige Angabe", 57, C::Error},
     [](R r) { return NotInList(r.F[28], _01234589); }, Value::Field(28)},
    {{"B1250", "Todesfall: Aufenthalt und Behandlung nach müssen beide 0 sein", 58, C::Warning},
     [](R r) { return Is(r.F[26], "5") && !(Is(r.F[27], "0") && Is(r.F[28], "0")); }, Value::None()},
    {{"B1251", "Austrittsdatum bei Todesfall: Angabe muss inklusive Stunde erfolgen", 59, C::Error},
     [](R r) { return Is(r.F[26], "5") && !r.DischargeDate.HasHour; }, Value::Field(25)},
    {{"B1252", "Aufenthalt/Behandlung nach: Angabe nur bei Todesfällen möglich", 60, C::Error},
     [](R r) { return (Is(r.F[27], "0") || Is(r.F[28], "0")) && !Is(r.F[26], "5"); }, Value::None()},

    // Intensive care (runs after the discharge tests).
    {{"B2000", "Aufenthalt in Intensivmedizin: Angabe fehlt", 61, C::Warning},
     [](R r) { return Is(r.F[19], "3") && Is(Mb(r, 5), "A") && Empty(r.F[21]); }, Value::None()},
    {{"B2001", "Aufenthalt in Intensivmedizin: Ungültige Angabe", 62, C::Error},
     [](R r) { return OutOfRange(r.F[21], 0, 9999); }, Value::Field(21)},
    {{"B2400", "Aufenthalt in Intensivmedizin: Angabe übersteigt die Dauer des gesamten Aufenthaltes", 63, C::Error},
     [](R r) { return HoursExceedStay(r, 21); }, Value::Field(21)},

    // Add-on records and record-level fields.
    {{"B3100", "Neugeborenen-Zusatzdaten: Fehlender Zusatzdatensatz", 64, C::Error},
     [](R r) { return Is(r.F[5], "A") && Is(r.F[6], "1") && !r.ChildPresent.MN; }, Value::None()},
    {{"B4900", "Ein stationärer A-Fall auf M500 Psychiatrie soll immer einen MP-Zusatzdatensatz enthalten",
      65, C::Hint},
     [](R r) { return StatYear >= 2016 && StatYear <= 9999 && StartsWith(Mb(r, 5), "A") &&
                      StartsWith(Mb(r, 19), "3") && Is(Mb(r, 23), "M500") && !r.MbRecord->ChildPresent.MP; },
     Value::None()},
    {{"C0400", "Psychiatrie-Zusatzdaten: Fehlender Zusatzdatensatz", 66, C::Error},
     [](R r) { return Is(r.F[7], "1") && !r.ChildPresent.MP; }, Value::Field(7)},
    {{"C0600", "Kantonale Zusatzdaten: Fehlender Zusatzdatensatz", 67, C::Error},
     [](R r) { return Is(r.F[9], "1") && !r.ChildPresent.MK; }, Value::None()},
    {{"C0700", "Patientengruppen-Zusatzdaten: Fehlender Zusatzdatensatz", 68, C::Error},
     [](R r) { return Is(r.F[8], "1") && !r.ChildPresent.MD; }, Value::Field(8)},
    {{"C0710", "Patientengruppen-Zusatzdaten: Fehlender obligatorischer MD-Zusatzdatensatz", 69, C::Error},
     [](R r) { return StatYear >= 2014 && Is(r.F[5], "A") && Is(r.F[19], "3") && !r.ChildPresent.MD; },
     Value::None()},
    {{"C0901", "Nicht erlaubtes Sonderzeichen im MB", 70, C::Error},
     [](R r) { return StatYear >= 2016 && StatYear <= 9999 && r.CheckSpecialChars() != -1; }, Value::BadChar()},
    {{"C2020", "Standort: Angabe fehlt", 71, C::Error},
     [](R r) { return StatYear >= 2011 && Empty(r.F[2]); }, Value::None()},
    {{"C2021", "Standort: Ungültige Angabe", 72, C::Error},
     [](R r) { return StatYear >= 2011 && NotInList(r.F[2], _NOGA); }, Value::Field(2)},
    {{"C2022", "Standort: Angabe darf max. 2 Zeichen lang sein", 73, C::Error},
     [](R r) { return StatYear >= 2011 && std::strlen(r.Field(2)) > 2; }, Value::None()},
    {{"C2050", "Kennzeichnung Statistikfall: Angabe fehlt", 74, C::Error},
     [](R r) { return Empty(r.F[5]); }, Value::None()},
    {{"C2051", "Kennzeichnung Statistikfall: Ungültige Angabe", 75, C::Error},
     [](R r) { return NotInList(r.F[5], _ABC); }, Value::Field(5)},
    {{"C2060", "Neugeborenen-Zusatzdaten: Angabe fehlt", 76, C::Error},
     [](R r) { return Empty(r.F[6]); }, Value::None()},
    {{"C2061", "Neugeborenen-Zusatzdaten: Ungültige Angabe", 77, C::Error},
     [](R r) { return NotInList(r.F[6], _01); }, Value::Field(6)},
    {{"C2070", "Psychiatrie-Zusatzdaten: Angabe fehlt", 78, C::Error},
     [](R r) { return Empty(r.F[7]); }, Value::None()},
    {{"C2071", "Psychiatrie-Zusatzdaten: Ungültige Angabe", 79, C::Error},
     [](R r) { return NotInList(r.F[7], _01); }, Value::Field(7)},
    {{"C2080", "Patientengruppen-Zusatzdaten: Angabe fehlt", 80, C::Error},
     [](R r) { return Empty(r.F[8]); }, Value::None()},
    {{"C2081", "Patientengruppen-Zusatzdaten: Ungültige Angabe", 81, C::Error},
     [](R r) { return NotInList(r.F[8], _01); }, Value::Field(8)},
    {{"C2090", "Kantonale Zusatzdaten: Angabe fehlt", 82, C::Error}, [](R r) { return Empty(r.F[9]); }, Value::None()},
    {{"C2091", "Kantonale Zusatzdaten: Ungültige Angabe", 83, C::Error},
     [](R r) { return NotInList(r.F[9], _01); }, Value::Field(9)},

    // The birth date's length is checked last.
    {{"C2111", "Geburtsdatum: Die Länge beträgt 8 Zeichen", 84, C::Hint},
     [](R r) { return !r.BirthDate.IsEmpty && std::strlen(r.Field(11)) != 8; }, Value::Field(11)},
};

}  // namespace

void RecordMB::TestRecord() {
  LogInfo("RecordMB.TestRecord Enter");
  LogInfo("MaxDIAIdx:%i", MaxDiagnosisIndex);
  BeginTests(KindMB);
  LogInfo("RecordMB.TestRecord DLL");
  RunRules(*this, kMbRules);
  // A case with a detail record runs the code rules on the detail record's
  // fuller lists instead.
  if (ChildPresent.MD) return;
  RunCodeRules({*this, Diagnoses, DiagnosisSlots, Treatments, TreatmentSlots, MaxDiagnosisIndex, *this,
                ChildPresent.MN ? MnRecord : nullptr, nullptr});
}

void AppendMbRules(std::vector<RuleInfo>& out) { AppendRuleInfos(out, kMbRules); }

}  // namespace qv
