#include "CaseGenerator.h"

#include <algorithm>
#include <cstdio>

namespace qv::gen {

namespace {
const std::vector<std::string> kBurs = {"71234567", "72345678", "73456789"};
const std::vector<std::string> kCantons = {"ZH", "BE", "GE", "BS", "LU"};
const std::vector<std::string> kRegions = {"ZH01", "BE01", "GE01", "BS01", "LU01"};
const std::vector<std::string> kPostcodes = {"8001", "3000", "1201", "4051", "6003"};
const std::vector<std::string> kForeignNationalities = {"DEU", "FRA", "ITA", "AUT"};
const std::vector<std::string> kAdultDiagnoses = {"I10", "E119", "J189", "K359", "I2510", "N390", "R509", "S7200"};
const std::vector<std::string> kAdultTreatments = {"8952", "9904", "8703", "9921"};
const std::vector<std::string> kAdultCostCentres = {"M000", "M100", "M200"};

// Indices of the MB fields (90-field layout) the generator sets by name.
enum MbField {
  kMbBur = 1, kMbSite = 2, kMbCanton = 3, kMbPatient = 4, kMbCaseKind = 5, kMbHasMn = 6, kMbHasMp = 7,
  kMbHasMd = 8, kMbHasMk = 9, kMbSex = 10, kMbBirth = 11, kMbAge = 12, kMbResidence = 13, kMbNationality = 14,
  kMbAdmission = 15, kMbStayBefore = 16, kMbAdmissionType = 17, kMbReferrer = 18, kMbTreatmentType = 19,
  kMbClass = 20, kMbIcuHours = 21, kMbLeaveHours = 22, kMbCostCentre = 23, kMbPayer = 24, kMbDischarge = 25,
  kMbDecision = 26, kMbStayAfter = 27, kMbTreatmentAfter = 28, kMbMainDiagnosis = 29, kMbSecondary = 31,
  kMbMainTreatment = 59, kMbTreatmentBegin = 60, kMbFurtherTreatments = 61
};
constexpr int kMdTreatments = 154;
constexpr int kMdCaseNumber = 662;
constexpr int kMdDrgStatus = 676;
constexpr int kMdGestationalAge = 691;

enum Fault {
  kNoFault = -1, kMissingSex, kUnknownIcd, kAdmissionAfterDischarge, kUnknownResidence, kAgeMismatch,
  kUnknownCostCentre, kForbiddenCharacter, kShortDetailRecord, kUnknownChop, kBadDischargeDecision,
  kStrayAddOn, kMissingDetailRecord, kFaultCount
};
}  // namespace

const std::vector<std::string>& CaseGenerator::FaultNames() {
  static const std::vector<std::string> names = {
      "missing sex",       "unknown ICD code",    "admission after discharge", "unknown residence",
      "age mismatch",      "unknown cost centre", "forbidden character",       "short MD line",
      "unknown CHOP code", "bad discharge decision", "add-on line without MB", "missing MD line"};
  return names;
}

CaseGenerator::CaseGenerator(const GeneratorSettings& settings) : settings_(settings), rng_(settings.seed) {
  int hospital = static_cast<int>(settings.seed % kBurs.size());
  bur_ = kBurs[static_cast<std::size_t>(hospital)];
  canton_ = kCantons[static_cast<std::size_t>(hospital)];
  hospitalPlz_ = kPostcodes[static_cast<std::size_t>(hospital)];
}

int CaseGenerator::uniform(int low, int high) {
  return low + static_cast<int>(rng_() % static_cast<std::uint64_t>(high - low + 1));
}

bool CaseGenerator::chance(double p) { return static_cast<double>(rng_() % 1000000) < p * 1000000.0; }

std::string CaseGenerator::join(const std::vector<std::string>& fields) const {
  std::string line;
  for (const std::string& f : fields) {
    line += f;
    line += '|';
  }
  line += settings_.lfOnly ? "\n" : "\r\n";
  return line;
}

std::string CaseGenerator::header() {
  std::string year = std::to_string(settings_.statYear);
  return join({"MX", bur_, canton_, "1", year, year + "0101", year + "1231", "1", "1"});
}

std::string CaseGenerator::nextCase() {
  ++caseNumber_;
  int roll = uniform(1, 100);
  Kind kind = roll <= 70 ? Kind::Adult
            : roll <= 78 ? Kind::Mother
            : roll <= 86 ? Kind::Newborn
            : roll <= 94 ? Kind::Psychiatry
                         : Kind::Child;
  int fault = chance(settings_.faultRate) ? uniform(0, kFaultCount - 1) : kNoFault;

  // Dates: discharge within the statistics year, admission some days before.
  CalendarDate yearStart{settings_.statYear, 1, 1};
  CalendarDate discharge = yearStart.plusDays(uniform(0, 364));
  int stay = kind == Kind::Psychiatry ? uniform(7, 40) : kind == Kind::Adult ? uniform(0, 12) : uniform(1, 5);
  CalendarDate admission = discharge.plusDays(-stay);
  int admissionHour = uniform(0, 23);
  int dischargeHour = stay == 0 ? uniform(admissionHour, 23) : uniform(0, 23);

  int age = 0;
  std::string sex = uniform(0, 1) ? "1" : "2";
  switch (kind) {
    case Kind::Adult: age = uniform(30, 85); break;
    case Kind::Mother: age = uniform(20, 42); sex = "2"; break;
    case Kind::Newborn: age = 0; break;
    case Kind::Psychiatry: age = uniform(25, 70); break;
    case Kind::Child: age = uniform(3, 14); break;
  }
  CalendarDate birth = admission;
  if (kind != Kind::Newborn) {
    CalendarDate anniversary{admission.year - age, admission.month, std::min(admission.day, 28)};
    birth = anniversary.plusDays(-uniform(0, 300));
  }

  std::vector<std::string> diagnoses;
  std::vector<std::string> treatments;
  std::string costCentre = pick(kAdultCostCentres);
  std::string admissionType = uniform(0, 2) ? "1" : "2";
  switch (kind) {
    case Kind::Adult: {
      diagnoses.push_back(pick(kAdultDiagnoses));
      int more = uniform(0, 3);
      for (int i = 0; i < more; ++i) {
        const std::string& d = pick(kAdultDiagnoses);
        if (std::find(diagnoses.begin(), diagnoses.end(), d) == diagnoses.end()) diagnoses.push_back(d);
      }
      treatments.push_back(diagnoses[0] == "K359" ? "4701" : pick(kAdultTreatments));
      int moreTreatments = uniform(0, 2);
      for (int i = 0; i < moreTreatments; ++i) {
        const std::string& t = pick(kAdultTreatments);
        if (std::find(treatments.begin(), treatments.end(), t) == treatments.end()) treatments.push_back(t);
      }
      break;
    }
    case Kind::Mother:
      diagnoses = {"O800", "Z370", "O094"};
      treatments = {"7359"};
      costCentre = "M300";
      break;
    case Kind::Newborn:
      diagnoses = {"Z380"};
      costCentre = uniform(0, 1) ? "M300" : "M400";
      admissionType = "3";
      break;
    case Kind::Psychiatry:
      diagnoses = {uniform(0, 1) ? "F329" : "F200"};
      treatments = {"9394"};
      costCentre = "M500";
      break;
    case Kind::Child:
      diagnoses = {uniform(0, 1) ? "J189" : "K359"};
      treatments = {diagnoses[0] == "K359" ? "4701" : "8952"};
      costCentre = "M400";
      break;
  }

  // Main treatment begin: within the stay, not before admission, not after discharge.
  int beginDay = stay == 0 ? 0 : uniform(0, stay);
  int beginHour;
  if (beginDay == 0 && beginDay == stay) beginHour = uniform(admissionHour, dischargeHour);
  else if (beginDay == 0) beginHour = uniform(admissionHour, 23);
  else if (beginDay == stay) beginHour = uniform(0, dischargeHour);
  else beginHour = uniform(0, 23);
  std::string treatmentBegin = treatments.empty() ? "" : admission.plusDays(beginDay).textWithHour(beginHour);

  bool hasMn = kind == Kind::Newborn;
  bool hasMp = kind == Kind::Psychiatry;
  bool hasMk = uniform(1, 100) <= 25;
  int region = uniform(0, static_cast<int>(kRegions.size()) - 1);

  char patient[20];
  std::snprintf(patient, sizeof patient, "%016llX",
                static_cast<unsigned long long>(rng_() & 0xFFFFFFFFFFFFFFFFull));

  std::vector<std::string> mb(90);
  mb[0] = "MB";
  mb[kMbBur] = bur_;
  mb[kMbSite] = "0" + std::to_string(uniform(1, 3));
  mb[kMbCanton] = canton_;
  mb[kMbPatient] = patient;
  mb[kMbCaseKind] = "A";
  mb[kMbHasMn] = hasMn ? "1" : "0";
  mb[kMbHasMp] = hasMp ? "1" : "0";
  mb[kMbHasMd] = "1";
  mb[kMbHasMk] = hasMk ? "1" : "0";
  mb[kMbSex] = sex;
  mb[kMbBirth] = birth.text();
  mb[kMbAge] = std::to_string(age);
  mb[kMbResidence] = uniform(0, 9) < 7 ? kRegions[static_cast<std::size_t>(region)]
                                       : kPostcodes[static_cast<std::size_t>(region)];
  mb[kMbNationality] = uniform(0, 3) ? "CHE" : pick(kForeignNationalities);
  mb[kMbAdmission] = admission.textWithHour(admissionHour);
  mb[kMbStayBefore] = "1";
  mb[kMbAdmissionType] = admissionType;
  mb[kMbReferrer] = "1";
  mb[kMbTreatmentType] = "3";
  mb[kMbClass] = std::to_string(uniform(1, 3));
  mb[kMbIcuHours] = "0";
  mb[kMbLeaveHours] = "0";
  mb[kMbCostCentre] = costCentre;
  mb[kMbPayer] = "1";
  mb[kMbDischarge] = discharge.textWithHour(dischargeHour);
  mb[kMbDecision] = "1";
  mb[kMbStayAfter] = "1";
  mb[kMbTreatmentAfter] = "1";
  mb[kMbTreatmentBegin] = treatmentBegin;

  std::vector<std::string> md(696);
  md[0] = "MD";
  md[1] = hospitalPlz_;
  char caseId[20];
  std::snprintf(caseId, sizeof caseId, "F%010llu", static_cast<unsigned long long>(caseNumber_));
  md[kMdCaseNumber] = caseId;
  md[kMdDrgStatus] = "1";

  // Diagnoses: position 0 main, 1 supplement (left empty), 2 on secondary.
  auto setDiagnoses = [&]() {
    mb[kMbMainDiagnosis] = diagnoses[0];
    md[3] = diagnoses[0];
    md[5] = "1";
    for (std::size_t i = 1; i < diagnoses.size(); ++i) {
      mb[kMbSecondary + static_cast<int>(i) - 1] = diagnoses[i];
      std::size_t at = 7 + 3 * (i - 1);
      md[at] = diagnoses[i];
      md[at + 2] = "1";
    }
  };
  auto setTreatments = [&]() {
    for (std::size_t k = 0; k < treatments.size(); ++k) {
      mb[k == 0 ? kMbMainTreatment : kMbFurtherTreatments + static_cast<int>(k) - 1] = treatments[k];
      std::size_t at = kMdTreatments + 5 * k;
      md[at] = treatments[k];
      md[at + 2] = k == 0 ? treatmentBegin : admission.plusDays(uniform(0, stay)).text();
    }
  };
  if (fault == kUnknownIcd) diagnoses[diagnoses.size() - 1] = "X999X";
  if (fault == kUnknownChop && !treatments.empty()) treatments[0] = "9999X9";
  setDiagnoses();
  setTreatments();

  std::string mnLine;
  if (hasMn) {
    int weight = uniform(2600, 4200);
    std::vector<std::string> mn(18);
    mn[0] = "MN";
    mn[1] = std::to_string(uniform(1, 2000));
    char birthTime[8];
    std::snprintf(birthTime, sizeof birthTime, "%02d%02d", admissionHour, uniform(0, 59));
    mn[2] = birthTime;
    mn[3] = "1";
    mn[4] = "1";
    mn[5] = "1";
    mn[6] = std::to_string(weight);
    mn[7] = std::to_string(uniform(47, 55));
    mn[8] = "0";
    mn[9] = "0";
    mn[10] = CalendarDate{birth.year - uniform(20, 40), uniform(1, 12), uniform(1, 28)}.text();
    std::string gestation = std::to_string(uniform(37, 41)) + std::to_string(uniform(0, 6));
    mn[11] = gestation;
    mn[12] = gestation;
    mn[13] = "1";
    mn[14] = "1";
    mn[15] = "0";
    mn[16] = "0";
    mn[17] = "0";
    mnLine = join(mn);
    md[660] = mn[6];
    md[661] = std::to_string(uniform(33, 36));
    md[kMdGestationalAge] = gestation;
  }
  std::string mpLine;
  if (hasMp) {
    std::vector<std::string> mp(34, "0");
    mp[0] = "MP";
    mp[1] = std::to_string(uniform(1, 4));
    mp[2] = "11";
    mp[4] = "1";
    mp[12] = std::to_string(uniform(2, 5));
    mp[13] = "11";
    mp[14] = "";
    mp[15] = "2";
    mp[16] = "";
    mp[17] = std::to_string(uniform(1, 12));
    mp[20] = uniform(0, 1) ? "1" : "0";
    mp[30] = "11";
    mp[31] = "11";
    mp[32] = "10";
    mp[33] = std::to_string(uniform(1, 5));
    mpLine = join(mp);
  }
  std::string mkLine;
  if (hasMk) {
    std::vector<std::string> mk(20);
    mk[0] = "MK";
    mk[1] = canton_;
    for (int i = 2; i < 20; ++i) mk[static_cast<std::size_t>(i)] = std::to_string(uniform(0, 9));
    mkLine = join(mk);
  }

  switch (fault) {
    case kMissingSex: mb[kMbSex] = ""; break;
    case kAdmissionAfterDischarge: mb[kMbAdmission] = discharge.plusDays(2).textWithHour(admissionHour); break;
    case kUnknownResidence: mb[kMbResidence] = "9999"; break;
    case kAgeMismatch: mb[kMbAge] = std::to_string(age + 5); break;
    case kUnknownCostCentre: mb[kMbCostCentre] = "M123"; break;
    case kForbiddenCharacter: mb[kMbPatient] = std::string(patient).substr(0, 8) + "-" + std::string(patient).substr(9); break;
    case kBadDischargeDecision: mb[kMbDecision] = "7"; break;
    default: break;
  }

  std::string mdLine = join(md);
  if (fault == kShortDetailRecord) mdLine = join(std::vector<std::string>(md.begin(), md.end() - 3));
  if (fault == kMissingDetailRecord) mdLine.clear();

  std::string text;
  if (fault == kStrayAddOn) text = header() + mkLine + (mkLine.empty() ? join({"MK", canton_, "1"}) : "");
  text += join(mb) + mnLine + mpLine + mdLine + mkLine;
  return text;
}

}  // namespace qv::gen
