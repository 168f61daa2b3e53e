// Tests of the psychiatry add-on line: situation before admission, the
// admission, the treatment, the discharge and the psychopharmacotherapy.
#include "foundation/Logger.h"
#include "interface/LibraryGlobals.h"
#include "records/RecordMB.h"
#include "records/RecordMP.h"
#include "rules/Catalogue.h"
#include "rules/Rule.h"

namespace qv {

namespace {


// A one-digit group code where the two-digit detail code is expected.
bool GroupOnly(const char* v, const CodeList& list) { return !Empty(v) && IsCodeInList(v, list); }

// The psychiatry codes are two digits whose first digit is the group that the
// MB record holds, so an "A" case must agree in the first character.
bool GroupDiffers(const RecordMP& r, int field, int mbField) {
  return !Empty(r.Field(field)) && IsACase(r) && r.Field(field)[0] != Mb(r, mbField)[0];
}

Rule<RecordMP> kMpRules[] = {
    // Civil status, employment before admission and education.
    {{"B4000", "Zivilstand: Angabe fehlt", 139, Counter::Warning},
     [](const RecordMP& r) { return Empty(r.Field(1)); }, Value::None()},
    {{"B4001", "Zivilstand: Ungültige Angabe", 140, Counter::Error},
     [](const RecordMP& r) { return NotInList(r.Field(1), _6_ZIVILSTAND); }, Value::Field(1)},
    {{"B4010", "Beschäftigung vor Eintritt (teilzeit erwerbstätig): Angabe fehlt", 141, Counter::Warning},
     [](const RecordMP& r) { return Empty(r.Field(3)); }, Value::None()},
    {{"B4011", "Beschäftigung vor Eintritt (teilzeit erwerbstätig): Ungültige Angabe", 142, Counter::Error},
     [](const RecordMP& r) { return NotInList(r.Field(3), _01); }, Value::Field(3)},
    {{"B4012", "Beschäftigung vor Eintritt (voll erwerbstätig): Angabe fehlt", 143, Counter::Warning},
     [](const RecordMP& r) { return Empty(r.Field(4)); }, Value::None()},
    {{"B4013", "Beschäftigung vor Eintritt (voll erwerbstätig): Ungültige Angabe", 144, Counter::Error},
     [](const RecordMP& r) { return NotInList(r.Field(4), _01); }, Value::Field(4)},
    {{"B4014", "Beschäftigung vor Eintritt (nicht erwerbstätig oder arbeitslos): Angabe fehlt", 145,
      Counter::Warning},
     [](const RecordMP& r) { return Empty(r.Field(5)); }, Value::None()},
    {{"B4015", "Beschäftigung vor Eintritt (nicht erwerbstätig oder arbeitslos): Ungültige Angabe", 146,
      Counter::Error},
     [](const RecordMP& r) { return NotInList(r.Field(5), _01); }, Value::Field(5)},
    {{"B4016", "Beschäftigung vor Eintritt (Hausarbeit in eigenem Haushalt): Angabe fehlt", 147, Counter::Warning},
     [](const RecordMP& r) { return Empty(r.Field(6)); }, Value::None()},
    {{"B4017", "Beschäftigung vor Eintritt (Hausarbeit in eigenem Haushalt): Ungültige Angabe", 148,
      Counter::Error},
     [](const RecordMP& r) { return NotInList(r.Field(6), _01); }, Value::Field(6)},
    {{"B4018", "Beschäftigung vor Eintritt (in Ausbildung): Angabe fehlt", 149, Counter::Warning},
     [](const RecordMP& r) { return Empty(r.Field(7)); }, Value::None()},
    {{"B4019", "Beschäftigung vor Eintritt (in Ausbildung): Ungültige Angabe", 150, Counter::Error},
     [](const RecordMP& r) { return NotInList(r.Field(7), _01); }, Value::Field(7)},
    {{"B4020", "Beschäftigung vor Eintritt (Rehabilitationsprogramm): Angabe fehlt", 151, Counter::Warning},
     [](const RecordMP& r) { return Empty(r.Field(8)); }, Value::None()},
    {{"B4021", "Beschäftigung vor Eintritt (Rehabilitationsprogramm): Ungültige Angabe", 152, Counter::Error},
     [](const RecordMP& r) { return NotInList(r.Field(8), _01); }, Value::Field(8)},
    {{"B4022", "Beschäftigung vor Eintritt (IV, AHV oder andere Rente): Angabe fehlt", 153, Counter::Warning},
     [](const RecordMP& r) { return Empty(r.Field(9)); }, Value::None()},
    {{"B4023", "Beschäftigung vor Eintritt (IV, AHV oder andere Rente): Ungültige Angabe", 154, Counter::Error},
     [](const RecordMP& r) { return NotInList(r.Field(9), _01); }, Value::Field(9)},
    {{"B4024",
      "Beschäftigung vor Eintritt (Arbeit in geschütztem oder beschützendem Rahmen): Angabe fehlt", 155,
      Counter::Warning},
     [](const RecordMP& r) { return Empty(r.Field(10)); }, Value::None()},
    {{"B4025",
      "Beschäftigung vor Eintritt (Arbeit in geschütztem oder beschützendem Rahmen): Ungültige Angabe", 156,
      Counter::Error},
     [](const RecordMP& r) { return NotInList(r.Field(10), _01); }, Value::Field(10)},
    {{"B4026", "Beschäftigung vor Eintritt (unbekannt): Angabe fehlt", 157, Counter::Warning},
     [](const RecordMP& r) { return Empty(r.Field(11)); }, Value::None()},
    {{"B4027", "Beschäftigung vor Eintritt (unbekannt): Ungültige Angabe", 158, Counter::Error},
     [](const RecordMP& r) { return NotInList(r.Field(11), _01); }, Value::Field(11)},
    {{"B4040", "Höchste abgeschlossene Schul- oder Berufsbildung: Angabe fehlt", 159, Counter::Hint},
     [](const RecordMP& r) { return Empty(r.Field(12)); }, Value::None()},
    {{"B4041", "Höchste abgeschlossene Schul- oder Berufsbildung: Ungültige Angabe", 160, Counter::Error},
     [](const RecordMP& r) { return NotInList(r.Field(12), _7_AUSBILD_PSY); }, Value::Field(12)},

    // Admission.
    {{"B4110", "Aufenthaltsort vor Eintritt (Psychiatrie): Angabe fehlt", 161, Counter::Hint},
     [](const RecordMP& r) { return Empty(r.Field(2)); }, Value::None()},
    {{"B4111", "Aufenthaltsort vor Eintritt (Psychiatrie): Ungültige Angabe", 162, Counter::Error},
     [](const RecordMP& r) { return NotInList(r.Field(2), _26_AUFEIN_PSY); }, Value::Field(2)},
    {{"B4112", "Aufenthaltsort vor Eintritt (Psychiatrie): Detaillierte Angabe erforderlich (2-stellig)", 163,
      Counter::Warning},
     [](const RecordMP& r) { return GroupOnly(r.Field(2), _9_AUFEIN); }, Value::Field(2)},
    {{"B4115", "Aufenthalt vor: Differenzen in Minimaldaten und Psychiatrie-Zusatz", 164, Counter::Error},
     [](const RecordMP& r) { return GroupDiffers(r, 2, 16); }, Value::Field(2)},
    {{"B4130", "Einweisende Instanz (Psychiatrie): Angabe fehlt", 165, Counter::Hint},
     [](const RecordMP& r) { return Empty(r.Field(13)); }, Value::None()},
    {{"B4131", "Einweisende Instanz (Psychiatrie): Ungültige Angabe", 166, Counter::Error},
     [](const RecordMP& r) { return NotInList(r.Field(13), _20_EININST_PSY); }, Value::Field(13)},
    {{"B4132", "Einweisende Instanz (Psychiatrie): Detaillierte Angabe erforderlich (2-stellig)", 167,
      Counter::Warning},
     [](const RecordMP& r) { return GroupOnly(r.Field(13), _8_EININST); }, Value::Field(13)},
    {{"B4135", "Einweisende Instanz: Differenzen in Minimaldaten und Psychiatrie-Zusatz", 168, Counter::Error},
     [](const RecordMP& r) { return GroupDiffers(r, 13, 18); }, Value::Field(13)},
    {{"B4141", "Freiwilligkeit: Ungültige Angabe", 169, Counter::Error},
     [](const RecordMP& r) { return NotInList(r.Field(14), _3_FREIWILLIGKEIT); }, Value::Field(14)},
    {{"B4142", "Die Angabe der Freiwilligkeit ist nicht mehr notwendig", 170, Counter::Warning},
     [](const RecordMP& r) { return YearFrom(2016) && !Empty(r.Field(14)); }, Value::Field(14)},
    {{"B4150", "Fürsorgerische Unterbringung: Angabe fehlt", 171, Counter::Warning},
     [](const RecordMP& r) { return Empty(r.Field(15)); }, Value::None()},
    {{"B4151", "Fürsorgerische Unterbringung: Ungültige Angabe", 172, Counter::Error},
     [](const RecordMP& r) { return NotInList(r.Field(15), _12); }, Value::Field(15)},

    // Treatment.
    {{"B4210", "Anzahl Tage / Konsultationen: Die Variable muss nicht mehr ausgefüllt werden", 173,
      Counter::Warning},
     [](const RecordMP& r) { return YearFrom(2019) && Is(Mb(r, Mb19TreatmentType), "3") && !Empty(r.Field(16)); },
     Value::Field(16)},
    {{"B4211", "Anzahl Tage / Konsultationen: Ungültige Angabe", 174, Counter::Error},
     [](const RecordMP& r) { return !Empty(r.Field(16)) && (Int(r.Field(16)) < 0 || Int(r.Field(16)) > 9999); },
     Value::Field(16)},
    {{"B4212", "Anzahl Tage / Konsultationen: Angabe fehlt", 175, Counter::Warning},
     [](const RecordMP& r) { return YearUntil(2018) && Empty(r.Field(16)); }, Value::None()},
    {{"B4220", "Behandlung (Psychiatrie): Angabe fehlt", 176, Counter::Hint},
     [](const RecordMP& r) { return IsACase(r) && Empty(r.Field(17)); }, Value::None()},
    {{"B4221", "Behandlung (Psychiatrie): Ungültige Angabe", 177, Counter::Error},
     [](const RecordMP& r) { return Is(Mb(r, Mb19TreatmentType), "3") && NotInList(r.Field(17), _12_BEHPSY); },
     Value::Field(17)},
    {{"B4235",
      "Psychiatrie-Zusatzdaten / Hauptkostenstelle: Angabe wird in der Regel auf der Abteilung Psychiatrie "
      "(M500) erwartet",
      178, Counter::Hint},
     [](const RecordMP& r) { return !Is(Mb(r, Mb23MainCostCentre), "M500"); }, Value::MbField(Mb23MainCostCentre)},

    // Discharge.
    {{"B4310", "Entscheid für Austritt (Psychiatrie): Angabe fehlt", 179, Counter::Hint},
     [](const RecordMP& r) { return Empty(r.Field(30)) && IsACase(r); }, Value::None()},
    {{"B4311", "Entscheid für Austritt (Psychiatrie): Ungültige Angabe", 180, Counter::Error},
     [](const RecordMP& r) { return NotInList(r.Field(30), _9_AUSENT_PSY); }, Value::Field(30)},
    {{"B4312", "Entscheid für Austritt (Psychiatrie): Detaillierte Angabe erforderlich (2-stellig)", 181,
      Counter::Warning},
     [](const RecordMP& r) { return GroupOnly(r.Field(30), _7_AUSENT); }, Value::Field(30)},
    {{"B4315",
      "B-/C-Fälle mit MP: Austrittsmerkmale V3501 Entscheid für Austritt, V3502 Aufenthalt nach Austritt, V3503 "
      "Behandlung nach Austritt werden nicht ausgefüllt",
      182, Counter::Warning},
     [](const RecordMP& r) {
       return !IsACase(r) && (!Empty(r.Field(30)) || !Empty(r.Field(31)) || !Empty(r.Field(32)));
     },
     Value::None()},
    {{"B4316", "Entscheid für Austritt: Differenzen in Minimaldaten und Psychiatrie-Zusatz", 183, Counter::Error},
     [](const RecordMP& r) { return GroupDiffers(r, 30, 26); }, Value::Field(30)},
    {{"B4320", "Aufenthalt nach Austritt (Psychiatrie): Angabe fehlt", 184, Counter::Hint},
     [](const RecordMP& r) { return Empty(r.Field(31)) && IsACase(r); }, Value::None()},
    {{"B4321", "Aufenthalt nach Austritt (Psychiatrie): Angabe ungültig", 185, Counter::Error},
     [](const RecordMP& r) { return NotInList(r.Field(31), _16_AUSAUF_PSY); }, Value::Field(31)},
    {{"B4322", "Aufenthalt nach Austritt (Psychiatrie): Detaillierte Angabe erforderlich (2-stellig)", 186,
      Counter::Warning},
     [](const RecordMP& r) { return GroupOnly(r.Field(31), _10_AUSAUF); }, Value::Field(31)},
    {{"B4325", "Aufenthalt nach: Differenzen in Minimaldaten und Psychiatrie-Zusatz", 187, Counter::Error},
     [](const RecordMP& r) { return GroupDiffers(r, 31, 27); }, Value::Field(31)},
    {{"B4330", "Behandlung nach Austritt (Psychiatrie): Angabe fehlt", 188, Counter::Hint},
     [](const RecordMP& r) { return Empty(r.Field(32)) && IsACase(r); }, Value::None()},
    {{"B4331", "Behandlung nach Austritt (Psychiatrie): Ungültige Angabe", 189, Counter::Error},
     [](const RecordMP& r) { return NotInList(r.Field(32), _20_AUSBEH_PSY); }, Value::Field(32)},
    // Unlike the other detail tests, this one shows no value.
    {{"B4332", "Behandlung nach Austritt (Psychiatrie): Detaillierte Angabe erforderlich (2-stellig)", 190,
      Counter::Warning},
     [](const RecordMP& r) { return GroupOnly(r.Field(32), _8_AUSBEH); }, Value::None()},
    {{"B4335", "Behandlung nach: Differenzen in Minimaldaten und Psychiatrie-Zusatz", 191, Counter::Error},
     [](const RecordMP& r) { return GroupDiffers(r, 32, 28); }, Value::Field(32)},
    {{"B4350", "Behandlungsbereich: Angabe fehlt", 192, Counter::Warning},
     [](const RecordMP& r) {
       return YearIn(2018, 9999) && Empty(r.Field(33)) && IsACase(r) && Is(Mb(r, Mb19TreatmentType), "3");
     },
     Value::Field(33)},
    {{"B4351", "Behandlungsbereich: Ungültige Angabe", 193, Counter::Error},
     [](const RecordMP& r) {
       return YearIn(2018, 9999) && !Empty(r.Field(33)) &&
              !IsCodeInList(r.Field(33), {"1", "2", "3", "4", "5"});
     },
     Value::Field(33)},

    // Psychopharmacotherapy, one flag per drug group.
    {{"B4700", "Psychopharmakotherapie: Neuroleptika: Angabe fehlt", 194, Counter::Warning},
     [](const RecordMP& r) { return Empty(r.Field(18)); }, Value::None()},
    {{"B4701", "Psychopharmakotherapie: Neuroleptika: Ungültige Angabe", 195, Counter::Error},
     [](const RecordMP& r) { return NotInList(r.Field(18), _01); }, Value::Field(18)},
    {{"B4705", "Psychopharmakotherapie: Depotneuroleptika: Angabe fehlt", 196, Counter::Warning},
     [](const RecordMP& r) { return Empty(r.Field(19)); }, Value::None()},
    {{"B4706", "Psychopharmakotherapie: Depotneuroleptika: Ungültige Angabe", 197, Counter::Error},
     [](const RecordMP& r) { return NotInList(r.Field(19), _01); }, Value::Field(19)},
    {{"B4710", "Psychopharmakotherapie: Antidepressiva: Angabe fehlt", 198, Counter::Warning},
     [](const RecordMP& r) { return Empty(r.Field(20)); }, Value::None()},
    {{"B4711", "Psychopharmakotherapie: Antidepressiva: Ungültige Angabe", 199, Counter::Error},
     [](const RecordMP& r) { return NotInList(r.Field(20), _01); }, Value::Field(20)},
    {{"B4715", "Psychopharmakotherapie: Tranquilizer: Angabe fehlt", 200, Counter::Warning},
     [](const RecordMP& r) { return Empty(r.Field(21)); }, Value::None()},
    {{"B4716", "Psychopharmakotherapie: Tranquilizer: Ungültige Angabe", 201, Counter::Error},
     [](const RecordMP& r) { return NotInList(r.Field(21), _01); }, Value::Field(21)},
    {{"B4720", "Psychopharmakotherapie: Hypnotika: Angabe fehlt", 202, Counter::Warning},
     [](const RecordMP& r) { return Empty(r.Field(22)); }, Value::None()},
    {{"B4721", "Psychopharmakotherapie: Hypnotika: Ungültige Angabe", 203, Counter::Error},
     [](const RecordMP& r) { return NotInList(r.Field(22), _01); }, Value::Field(22)},
    {{"B4725", "Psychopharmakotherapie: Antiepileptika: Angabe fehlt", 204, Counter::Warning},
     [](const RecordMP& r) { return Empty(r.Field(23)); }, Value::None()},
    {{"B4726", "Psychopharmakotherapie: Antiepileptika: Ungültige Angabe", 205, Counter::Error},
     [](const RecordMP& r) { return NotInList(r.Field(23), _01); }, Value::Field(23)},
    {{"B4730", "Psychopharmakotherapie: Lithium: Angabe fehlt", 206, Counter::Warning},
     [](const RecordMP& r) { return Empty(r.Field(24)); }, Value::None()},
    {{"B4731", "Psychopharmakotherapie: Lithium: Ungültige Angabe", 207, Counter::Error},
     [](const RecordMP& r) { return NotInList(r.Field(24), _01); }, Value::Field(24)},
    {{"B4735", "Psychopharmakotherapie: Suchtsubstitutionsmittel: Angabe fehlt", 208, Counter::Warning},
     [](const RecordMP& r) { return Empty(r.Field(25)); }, Value::None()},
    {{"B4736", "Psychopharmakotherapie: Suchtsubstitutionsmittel: Ungültige Angabe", 209, Counter::Error},
     [](const RecordMP& r) { return NotInList(r.Field(25), _01); }, Value::Field(25)},
    {{"B4740", "Psychopharmakotherapie: Suchtaversionsmittel: Angabe fehlt", 210, Counter::Warning},
     [](const RecordMP& r) { return Empty(r.Field(26)); }, Value::None()},
    {{"B4741", "Psychopharmakotherapie: Suchtaversionsmittel: Ungültige Angabe", 211, Counter::Error},
     [](const RecordMP& r) { return NotInList(r.Field(26), _01); }, Value::Field(26)},
    {{"B4745", "Psychopharmakotherapie: Antiparkinsonmittel: Angabe fehlt", 212, Counter::Warning},
     [](const RecordMP& r) { return Empty(r.Field(27)); }, Value::None()},
    {{"B4746", "Psychopharmakotherapie: Antiparkinsonmittel: Ungültige Angabe", 213, Counter::Error},
     [](const RecordMP& r) { return NotInList(r.Field(27), _01); }, Value::Field(27)},
    {{"B4750", "Psychopharmakotherapie: andere: Angabe fehlt", 214, Counter::Warning},
     [](const RecordMP& r) { return Empty(r.Field(28)); }, Value::None()},
    {{"B4751", "Psychopharmakotherapie: andere: Ungültige Angabe", 215, Counter::Error},
     [](const RecordMP& r) { return NotInList(r.Field(28), _01); }, Value::Field(28)},
    {{"B4755", "Psychopharmakotherapie: Med. z. Beh. körperl. Leiden: Angabe fehlt", 216, Counter::Warning},
     [](const RecordMP& r) { return Empty(r.Field(29)); }, Value::None()},
    {{"B4756", "Psychopharmakotherapie: Med. z. Beh. körperl. Leiden: Ungültige Angabe", 217, Counter::Error},
     [](const RecordMP& r) { return NotInList(r.Field(29), _01); }, Value::Field(29)},

    // The record as a whole.
    {{"C0401",
      "Psychiatrie-Zusatzdaten: Zusatzdatensatz vorhanden ohne Meldung im Basisdatensatz", 218, Counter::Error},
     [](const RecordMP& r) { return Is(Mb(r, Mb7PsychiatryAddOn), "0"); }, Value::MbField(Mb7PsychiatryAddOn)},
    {{"C0903", "Nicht erlaubtes Sonderzeichen im MP", 219, Counter::Error},
     [](const RecordMP& r) { return HasForbiddenChar(r); },
     Value::BadChar()},
};

}  // namespace

void RecordMP::TestRecord() {
  LogInfo("RecordMP.TestRecord enter");
  BeginTests(KindMP);
  LogInfo(" BUILDING_DLL Test_MP");
  RunRules(*this, kMpRules);
  LogInfo("inc ended");
  if (MbRecord) AddCountersTo(*MbRecord);
  LogInfo("RecordMP.TestRecord exit");
}

void AppendMpRules(std::vector<RuleInfo*>& out) { AppendRuleInfos(out, kMpRules); }

}  // namespace qv
