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

Rule<RecordMB> kMbRules[] = {
    // Personal data.
    {{"A1825", "Geburtsdatum darf nicht später als Beginn der Hauptehandlung sein", 1, C::Error},
     [](R r) {
       return r.BirthDate.HasYear && r.TreatmentBeginDate.HasDay &&
              r.BirthDate.DayNumber > r.TreatmentBeginDate.DayNumber;
     },
     Value::Field(Mb11BirthDate)},
    {{"B0100", "Geschlecht: Angabe fehlt", 2, C::Error}, [](R r) { return Empty(r.F[Mb10Sex]); }, Value::None()},
    {{"B0101", "Geschlecht: Ungültige Angabe", 3, C::Error},
     [](R r) { return NotInList(r.F[Mb10Sex], _12); },
     Value::Field(Mb10Sex)},
    {{"B0110", "Geburtsdatum: Angabe fehlt", 4, C::Error}, [](R r) { return r.BirthDate.IsEmpty; }, Value::None()},
    {{"B0111", "Geburtsdatum: Ungültige Angabe", 5, C::Error},
     [](R r) { return !r.BirthDate.IsEmpty && !r.BirthDate.DateOnly && !r.BirthDate.YearOnly; },
     Value::Field(Mb11BirthDate)},
    {{"B0115", "Geburtsdatum darf nicht später als Eintrittsdatum sein", 6, C::Error},
     [](R r) {
       return r.BirthDate.HasYear && r.AdmissionDate.HasDay && r.BirthDate.DayNumber > r.AdmissionDate.DayNumber;
     },
     Value::Field(Mb11BirthDate)},
    {{"B0120", "Alter bei Eintritt: Angabe fehlt", 7, C::Error},
     [](R r) { return Empty(r.F[Mb12Age]); },
     Value::None()},
    {{"B0121", "Alter bei Eintritt: Ausserhalb des gültigen Wertebereichs", 8, C::Error},
     [](R r) { return OutOfRange(r.F[Mb12Age], 0, 124); },
     Value::Field(Mb12Age)},
    {{"B0122", "Geburt (Kind)/Altersangabe: Ein Neugeborenes hat das Alter 0", 9, C::Error},
     [](R r) { return Is(r.F[Mb17AdmissionType], "3") && Int(r.F[Mb12Age]) != 0; },
     Value::Field(Mb12Age)},
    {{"B0130", "Wohnort: Angabe fehlt", 10, C::Error}, [](R r) { return Empty(r.F[Mb13Residence]); }, Value::None()},
    {{"B0131", "Wohnort: Ungültige Angabe", 11, C::Error},
     [](R r) {
       for (const LookupResult& l : r.ResidenceLookups)
         if (l.Found) return false;
       return true;
     },
     Value::Field(Mb13Residence)},
    {{"B0132", "Wohnort: Bei Wohnort in der Schweiz Region (oder allenfalls PLZ) angeben", 12, C::Warning},
     [](R r) { return Is(r.F[Mb13Residence], "CHE"); },
     Value::Field(Mb13Residence)},
    {{"B0140", "Nationalität: Angabe fehlt", 13, C::Error},
     [](R r) { return Is(r.F[Mb19TreatmentType], "3") && Empty(r.F[Mb14Nationality]); },
     Value::None()},
    {{"B0141", "Nationalität: Ungültige Angabe", 14, C::Error},
     [](R r) {
       const LookupResult& natio = r.NationalityLookups[RecordMB::NatNATIO];
       return !natio.KeyEmpty && !natio.Found && !r.NationalityLookups[RecordMB::NatWREGIO].Found;
     },
     Value::Field(Mb14Nationality)},
    {{"B0201", "Geburtsdatum/Eintrittsdatum: Nicht konsistent mit Altersangabe", 15, C::Error},
     [](R r) {
       if (!r.AdmissionDate.HasYear || !r.BirthDate.HasYear || Empty(r.F[Mb12Age])) return false;
       int years = r.AdmissionDate.Year - r.BirthDate.Year;
       return years != Int(r.F[Mb12Age]) && years != static_cast<long long>(Int(r.F[Mb12Age])) + 1;
     },
     Value::None()},
    {{"B0202", "Geburtsdatum bei Kindern: Bei Kindern bis 2 Jahren muss das vollständige Geburtsdatum angegeben werden",
      16, C::Error},
     [](R r) { return IsAllDigits(r.F[Mb12Age]) && Int(r.F[Mb12Age]) < 2 && r.BirthDate.YearOnly; },
     Value::Field(Mb11BirthDate)},
    {{"B0203", "Geburtsdatum bei Todesfall: Bei Todesfällen muss das vollständige Geburtsdatum angegeben werden", 17,
      C::Error},
     [](R r) { return Is(r.F[Mb26DischargeDecision], "5") && r.BirthDate.YearOnly; },
     Value::Field(Mb11BirthDate)},

    // Admission.
    {{"B1000", "Eintrittsdatum: Angabe fehlt", 18, C::Error},
     [](R r) { return r.AdmissionDate.IsEmpty; },
     Value::None()},
    {{"B1001", "Eintrittsdatum: Ungültige Datumsangabe", 19, C::Error},
     [](R r) { return !r.AdmissionDate.IsEmpty && !r.AdmissionDate.HasDay; },
     Value::Field(Mb15Admission)},
    {{"B1002", "Eintrittsstunde: Ungültige Stundenangabe", 20, C::Error},
     [](R r) { return r.AdmissionDate.Length > 8 && r.AdmissionDate.HasDay && !r.AdmissionDate.HasHour; },
     Value::Field(Mb15Admission)},
    {{"B1005", "Notfalleintritt: Eintrittsdatum muss inklusive Stundenangabe erfolgen", 21, C::Error},
     [](R r) { return StartsWith(r.F[Mb17AdmissionType], "1") && r.AdmissionDate.HasDay && !r.AdmissionDate.HasHour; },
     Value::Field(Mb15Admission)},
    {{"B1010", "Aufenthalt vor Eintritt: Angabe fehlt", 22, C::Error},
     [](R r) { return Empty(r.F[Mb16StayBefore]); },
     Value::None()},
    {{"B1011", "Aufenthalt vor Eintritt: Ungültige Angabe", 23, C::Error},
     [](R r) { return NotInList(r.F[Mb16StayBefore], _13_AUFVOR); },
     Value::Field(Mb16StayBefore)},
    {{"B1020", "Eintrittsart: Angabe fehlt", 24, C::Error},
     [](R r) { return Empty(r.F[Mb17AdmissionType]); },
     Value::None()},
    {{"B1021", "Eintrittsart: Ungültige Angabe", 25, C::Error},
     [](R r) { return NotInList(r.F[Mb17AdmissionType], _7_1234589); },
     Value::Field(Mb17AdmissionType)},
    {{"B1022", "Eine Mutter darf nie Eintrittsart Geburt haben", 26, C::Error},
     [](R r) {
       return YearFrom(2010) && !Empty(Mb(r, Mb12Age)) && Int(Mb(r, Mb12Age)) > 0 && Is(Mb(r, Mb17AdmissionType), "3");
     },
     Value::Field(Mb17AdmissionType)},
    {{"B1030", "Einweisende Instanz: Angabe fehlt", 27, C::Error},
     [](R r) { return Empty(r.F[Mb18Referrer]); },
     Value::None()},
    {{"B1031", "Einweisende Instanz: Ungültige Angabe", 28, C::Error},
     [](R r) { return NotInList(r.F[Mb18Referrer], _8_INSTANZ); },
     Value::Field(Mb18Referrer)},
    // Field 60 is the begin of the main treatment in both layouts.
    {{"B1060", "MB: Eintritt darf nicht später als Behandlung sein", 29, C::Error},
     [](R r) {
       return (IsACase(r) && LaterDay(r.AdmissionDate, r.TreatmentBeginDate)) ||
              LaterHourSameDay(r.AdmissionDate, r.TreatmentBeginDate);
     },
     Value::Field(Mb60MainTreatmentBegin)},
    {{"B1061", "Eintrittszeit darf nicht später als Behandlungszeitpunkt sein", 30, C::Error},
     [](R r) { return LaterHourSameDay(r.AdmissionDate, r.TreatmentBeginDate); },
     Value::Field(Mb15Admission)},
    {{"B1065", "Eintrittsdatum darf nicht später als Austrittsdatum sein", 31, C::Error},
     [](R r) { return LaterDay(r.AdmissionDate, r.DischargeDate); },
     Value::Field(Mb15Admission)},
    {{"B1066", "Eintrittszeit darf nicht später als Austrittszeitpunkt sein", 32, C::Error},
     [](R r) { return LaterHourSameDay(r.AdmissionDate, r.DischargeDate); },
     Value::Field(Mb15Admission)},

    // Stay.
    {{"B1110", "Behandlungsart: Angabe fehlt", 33, C::Error},
     [](R r) { return Empty(r.F[Mb19TreatmentType]); },
     Value::None()},
    {{"B1111", "Behandlungsart: Ungültige Angabe", 34, C::Error},
     [](R r) { return NotInList(r.F[Mb19TreatmentType], _4_BEHART); },
     Value::Field(Mb19TreatmentType)},
    {{"B1112", "Behandlungsart: Unplausible Angabe", 35, C::Warning},
     [](R r) { return Is(r.F[Mb19TreatmentType], "9"); },
     Value::Field(Mb19TreatmentType)},
    {{"B1113", "Behandlungsart: teilstationär ist ab 2009 nicht mehr gültig", 36, C::Error},
     [](R r) {
       return Is(r.F[Mb19TreatmentType], "2") && r.DischargeDate.Year > 2008 &&
              !(Is(r.F[Mb23MainCostCentre], "M500") && Is(r.F[Mb3Canton], "BE"));
     },
     Value::Field(Mb19TreatmentType)},
    {{"B1120", "Klasse: Angabe fehlt", 37, C::Error},
     [](R r) { return Is(r.F[Mb19TreatmentType], "3") && Empty(r.F[Mb20Class]); },
     Value::None()},
    {{"B1121", "Klasse: Ungültige Angabe", 38, C::Error},
     [](R r) { return NotInList(r.F[Mb20Class], _4_KLASSE); },
     Value::Field(Mb20Class)},
    {{"B1122", "Klasse: Unplausible Angabe", 39, C::Hint},
     [](R r) { return Is(r.F[Mb19TreatmentType], "3") && Is(r.F[Mb20Class], "9"); },
     Value::Field(Mb20Class)},
    {{"B1130", "Hauptkostenstelle: Angabe fehlt", 40, C::Error},
     [](R r) { return Empty(r.F[Mb23MainCostCentre]); },
     Value::None()},
    {{"B1131", "Hauptkostenstelle: Ungültige Angabe", 41, C::Error},
     [](R r) { return NotInList(r.F[Mb23MainCostCentre], YearFrom(2016) ? _16_KST : _14_KST); },
     Value::Field(Mb23MainCostCentre)},
    {{"B1135", "Hauptkostenstelle / Alter: Obere Altersgrenze überschritten für Hauptkostenstelle Pädiatrie (M400)", 42,
      C::Warning},
     [](R r) { return !Empty(r.F[Mb12Age]) && Is(r.F[Mb23MainCostCentre], "M400") && Int(r.F[Mb12Age]) > 18; },
     Value::Field(Mb12Age)},
    {{"B1136", "Hauptkostenstelle / Alter: Unterhalb Altersgrenze für Geriatrie (M900)", 43, C::Warning},
     [](R r) { return !Empty(r.F[Mb12Age]) && Is(r.F[Mb23MainCostCentre], "M900") && Int(r.F[Mb12Age]) < 30; },
     Value::Field(Mb12Age)},
    {{"B1140", "Hauptkostenträger: Angabe fehlt", 44, C::Error},
     [](R r) { return Empty(r.F[Mb24MainPayer]); },
     Value::None()},
    {{"B1141", "Hauptkostenträger: Ungültige Angabe", 45, C::Error},
     [](R r) { return NotInList(r.F[Mb24MainPayer], _1234589); },
     Value::Field(Mb24MainPayer)},
    {{"B1150", "Administrativer Urlaub, Ferien: Angabe fehlt", 46, C::Warning},
     [](R r) { return Is(r.F[Mb19TreatmentType], "3") && Empty(r.F[Mb22LeaveHours]); },
     Value::None()},
    {{"B1151", "Administrativer Urlaub, Ferien: Ungültige Angabe", 47, C::Error},
     [](R r) { return OutOfRange(r.F[Mb22LeaveHours], 0, 9999); },
     Value::Field(Mb22LeaveHours)},
    {{"B1152", "Administrativer Urlaub, Ferien: Angabe übersteigt die Dauer des gesamten Aufenthaltes", 48, C::Error},
     [](R r) { return HoursExceedStay(r, Mb22LeaveHours); },
     Value::Field(Mb22LeaveHours)},

    // Discharge.
    {{"B1200", "Austrittsdatum: Angabe fehlt (Statistikfall A)", 49, C::Error},
     [](R r) { return Empty(r.F[Mb25Discharge]) && BeginsAsACase(r); },
     Value::None()},
    {{"B1201", "Austrittsdatum: Ungültige Datumsangabe", 50, C::Error},
     [](R r) { return !r.DischargeDate.IsEmpty && !r.DischargeDate.HasDay; },
     Value::Field(Mb25Discharge)},
    {{"B1202", "Austrittsstunde: Ungültige Stundenangabe", 51, C::Error},
     [](R r) { return r.DischargeDate.Length > 8 && r.DischargeDate.HasDay && !r.DischargeDate.HasHour; },
     Value::Field(Mb25Discharge)},
    {{"B1210", "Entscheid für Austritt: Angabe fehlt", 52, C::Error},
     [](R r) { return Empty(r.F[Mb26DischargeDecision]) && IsACase(r); },
     Value::None()},
    {{"B1211", "Entscheid für Austritt: Ungültige Angabe", 53, C::Error},
     [](R r) { return NotInList(r.F[Mb26DischargeDecision], _1234589); },
     Value::Field(Mb26DischargeDecision)},
    {{"B1220", "Aufenthalt nach Austritt: Angabe fehlt", 54, C::Error},
     [](R r) { return Empty(r.F[Mb27StayAfter]) && BeginsAsACase(r); },
     Value::None()},
    {{"B1221", "Aufenthalt nach Austritt: Ungültige Angabe", 55, C::Error},
     [](R r) { return NotInList(r.F[Mb27StayAfter], StayAfterDischargeCodes); },
     Value::Field(Mb27StayAfter)},
    {{"B1230", "Behandlung nach Austritt: Angabe fehlt", 56, C::Error},
     [](R r) { return Empty(r.F[Mb28TreatmentAfter]) && IsACase(r); },
     Value::None()},
    {{"B1231", "Behandlung nach Austritt: Ungültige Angabe", 57, C::Error},
     [](R r) { return NotInList(r.F[Mb28TreatmentAfter], _01234589); },
     Value::Field(Mb28TreatmentAfter)},
    {{"B1250", "Todesfall: Aufenthalt und Behandlung nach müssen beide 0 sein", 58, C::Warning},
     [](R r) {
       return Is(r.F[Mb26DischargeDecision], "5") && !(Is(r.F[Mb27StayAfter], "0") && Is(r.F[Mb28TreatmentAfter], "0"));
     },
     Value::None()},
    {{"B1251", "Austrittsdatum bei Todesfall: Angabe muss inklusive Stunde erfolgen", 59, C::Error},
     [](R r) { return Is(r.F[Mb26DischargeDecision], "5") && !r.DischargeDate.HasHour; },
     Value::Field(Mb25Discharge)},
    {{"B1252", "Aufenthalt/Behandlung nach: Angabe nur bei Todesfällen möglich", 60, C::Error},
     [](R r) {
       return (Is(r.F[Mb27StayAfter], "0") || Is(r.F[Mb28TreatmentAfter], "0")) && !Is(r.F[Mb26DischargeDecision], "5");
     },
     Value::None()},

    // Intensive care (runs after the discharge tests).
    {{"B2000", "Aufenthalt in Intensivmedizin: Angabe fehlt", 61, C::Warning},
     [](R r) { return Is(r.F[Mb19TreatmentType], "3") && IsACase(r) && Empty(r.F[Mb21IcuHours]); },
     Value::None()},
    {{"B2001", "Aufenthalt in Intensivmedizin: Ungültige Angabe", 62, C::Error},
     [](R r) { return OutOfRange(r.F[Mb21IcuHours], 0, 9999); },
     Value::Field(Mb21IcuHours)},
    {{"B2400", "Aufenthalt in Intensivmedizin: Angabe übersteigt die Dauer des gesamten Aufenthaltes", 63, C::Error},
     [](R r) { return HoursExceedStay(r, Mb21IcuHours); },
     Value::Field(Mb21IcuHours)},

    // Add-on records and record-level fields.
    {{"B3100", "Neugeborenen-Zusatzdaten: Fehlender Zusatzdatensatz", 64, C::Error},
     [](R r) { return IsACase(r) && Is(r.F[Mb6NewbornAddOn], "1") && !r.Has(KindMN); },
     Value::None()},
    {{"B4900", "Ein stationärer A-Fall auf M500 Psychiatrie soll immer einen MP-Zusatzdatensatz enthalten", 65,
      C::Hint},
     [](R r) {
       return YearIn(2016, 9999) && BeginsAsACase(r) && StartsWith(Mb(r, Mb19TreatmentType), "3") &&
              Is(Mb(r, Mb23MainCostCentre), "M500") && !r.MbRecord->Has(KindMP);
     },
     Value::None()},
    {{"C0400", "Psychiatrie-Zusatzdaten: Fehlender Zusatzdatensatz", 66, C::Error},
     [](R r) { return Is(r.F[Mb7PsychiatryAddOn], "1") && !r.Has(KindMP); },
     Value::Field(Mb7PsychiatryAddOn)},
    {{"C0600", "Kantonale Zusatzdaten: Fehlender Zusatzdatensatz", 67, C::Error},
     [](R r) { return Is(r.F[Mb9CantonalAddOn], "1") && !r.Has(KindMK); },
     Value::None()},
    {{"C0700", "Patientengruppen-Zusatzdaten: Fehlender Zusatzdatensatz", 68, C::Error},
     [](R r) { return Is(r.F[Mb8DetailAddOn], "1") && !r.Has(KindMD); },
     Value::Field(Mb8DetailAddOn)},
    {{"C0710", "Patientengruppen-Zusatzdaten: Fehlender obligatorischer MD-Zusatzdatensatz", 69, C::Error},
     [](R r) { return YearFrom(2014) && IsACase(r) && Is(r.F[Mb19TreatmentType], "3") && !r.Has(KindMD); },
     Value::None()},
    {{"C0901", "Nicht erlaubtes Sonderzeichen im MB", 70, C::Error},
     [](R r) { return HasForbiddenChar(r); },
     Value::BadChar()},
    {{"C2020", "Standort: Angabe fehlt", 71, C::Error},
     [](R r) { return YearFrom(2011) && Empty(r.F[Mb2Location]); },
     Value::None()},
    {{"C2021", "Standort: Ungültige Angabe", 72, C::Error},
     [](R r) { return YearFrom(2011) && NotInList(r.F[Mb2Location], _NOGA); },
     Value::Field(Mb2Location)},
    {{"C2022", "Standort: Angabe darf max. 2 Zeichen lang sein", 73, C::Error},
     [](R r) { return YearFrom(2011) && std::strlen(r.Field(Mb2Location)) > 2; },
     Value::None()},
    {{"C2050", "Kennzeichnung Statistikfall: Angabe fehlt", 74, C::Error},
     [](R r) { return Empty(r.F[Mb5CaseKind]); },
     Value::None()},
    {{"C2051", "Kennzeichnung Statistikfall: Ungültige Angabe", 75, C::Error},
     [](R r) { return NotInList(r.F[Mb5CaseKind], _ABC); },
     Value::Field(Mb5CaseKind)},
    {{"C2060", "Neugeborenen-Zusatzdaten: Angabe fehlt", 76, C::Error},
     [](R r) { return Empty(r.F[Mb6NewbornAddOn]); },
     Value::None()},
    {{"C2061", "Neugeborenen-Zusatzdaten: Ungültige Angabe", 77, C::Error},
     [](R r) { return NotInList(r.F[Mb6NewbornAddOn], _01); },
     Value::Field(Mb6NewbornAddOn)},
    {{"C2070", "Psychiatrie-Zusatzdaten: Angabe fehlt", 78, C::Error},
     [](R r) { return Empty(r.F[Mb7PsychiatryAddOn]); },
     Value::None()},
    {{"C2071", "Psychiatrie-Zusatzdaten: Ungültige Angabe", 79, C::Error},
     [](R r) { return NotInList(r.F[Mb7PsychiatryAddOn], _01); },
     Value::Field(Mb7PsychiatryAddOn)},
    {{"C2080", "Patientengruppen-Zusatzdaten: Angabe fehlt", 80, C::Error},
     [](R r) { return Empty(r.F[Mb8DetailAddOn]); },
     Value::None()},
    {{"C2081", "Patientengruppen-Zusatzdaten: Ungültige Angabe", 81, C::Error},
     [](R r) { return NotInList(r.F[Mb8DetailAddOn], _01); },
     Value::Field(Mb8DetailAddOn)},
    {{"C2090", "Kantonale Zusatzdaten: Angabe fehlt", 82, C::Error},
     [](R r) { return Empty(r.F[Mb9CantonalAddOn]); },
     Value::None()},
    {{"C2091", "Kantonale Zusatzdaten: Ungültige Angabe", 83, C::Error},
     [](R r) { return NotInList(r.F[Mb9CantonalAddOn], _01); },
     Value::Field(Mb9CantonalAddOn)},

    // The birth date's length is checked last.
    {{"C2111", "Geburtsdatum: Die Länge beträgt 8 Zeichen", 84, C::Hint},
     [](R r) { return !r.BirthDate.IsEmpty && std::strlen(r.Field(Mb11BirthDate)) != 8; },
     Value::Field(Mb11BirthDate)},
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
  if (Has(KindMD)) return;
  CodeCase codeCase{*this, Diagnoses, DiagnosisSlots, Treatments, TreatmentSlots, MaxDiagnosisIndex, this,
                    Has(KindMN) ? MnRecord : nullptr, nullptr};
  RunCodeRules(codeCase);
}

void AppendMbRules(std::vector<RuleInfo*>& out) { AppendRuleInfos(out, kMbRules); }

}  // namespace qv
