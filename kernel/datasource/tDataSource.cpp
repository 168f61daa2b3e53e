#include "datasource/tDataSource.h"

#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

#include "foundation/FileText.h"
#include "foundation/Logger.h"
#include "foundation/Release.h"

namespace qv {

namespace {
struct LookupTable {
  const char* File;
  int Domain;
  const char* Name;
};
constexpr LookupTable kLookupTables[] = {
    {"chop.ix5", DomainCHOP, "CHOP"},       {"icd.ix5", DomainICD, "ICD"}, {"lregio.ix5", DomainLREGIO, "LREGIO"},
    {"natio.ix5", DomainNATIO, "NATIO"},    {"plz.ix5", DomainPLZ, "PLZ"}, {"regio.ix5", DomainREGIO, "REGIO"},
    {"wregio.ix5", DomainWREGIO, "WREGIO"}, {"bur.ix5", DomainBUR, "BUR"}, {"vsnr.ix5", DomainVSNR, "VSNR"},
};

}  // namespace

const RecordKind kRecordKinds[kRecordKindLimit - 1] = {
    {KindMX, "MX", {"MX|"}, false, [](tDataSource& s) -> Record* { return s.RecMX = new RecordMX(); }},
    {KindMB, "MB", {"MB|"}, true, [](tDataSource& s) -> Record* { return s.RecMB = new RecordMB(); }},
    {KindMN, "MN", {"MN|"}, true, [](tDataSource& s) -> Record* { return s.RecMN = new RecordMN(); }},
    {KindMP, "MP", {"MP|"}, true, [](tDataSource& s) -> Record* { return s.RecMP = new RecordMP(); }},
    {KindMK, "MK", {"MK|", "MU|"}, false, [](tDataSource& s) -> Record* { return s.RecMK = new RecordMK(); }},
    {KindMD, "MD", {"MD|"}, true, [](tDataSource& s) -> Record* { return s.RecMD = new RecordMD(); }},
};

const RecordKind* tDataSource::KindNumbered(int kind) {
  for (const RecordKind& k : kRecordKinds)
    if (k.Kind == kind) return &k;
  return nullptr;
}

const RecordKind* tDataSource::KindNamed(const char* name) {
  for (const RecordKind& k : kRecordKinds) {
    if (std::strcmp(k.Name, name) == 0) return &k;
    for (const char* prefix : k.Prefixes)
      if (prefix && std::strncmp(prefix, name, 2) == 0 && std::strlen(name) == 2) return &k;
  }
  return nullptr;
}

tDataSource::tDataSource(const char* baseDirectory, char languageLetter, const char* formatString)
    : LanguageLetter(languageLetter) {
  LogInfo("DataSource Create");
  size_t n = baseDirectory ? std::strlen(baseDirectory) : 0;
  if (n > 0) {
    QVPath = new char[n + 4 + 1];
    std::memcpy(QVPath, baseDirectory, n + 1);
    if (QVPath[n - 1] != '/') {
      QVPath[n] = '/';
      QVPath[n + 1] = '\0';
    }
  } else {
    QVPath = new char[3];
    std::memcpy(QVPath, "./", 3);
  }
  size_t pathLength = std::strlen(QVPath);
  QVMessageTextFileName = new char[pathLength + 64];
  std::snprintf(QVMessageTextFileName, pathLength + 64, "%s%s", QVPath,
                languageLetter == 'd' ? "message_dll_d.txt" : "message_dll_f.txt");
  LogInfo("DataSource QVPath:%s", QVPath);
  LogInfo("DataSource QVMessageTextFileName:%s", QVMessageTextFileName);

  HtmlBuffer = new tBuffer(128);

  char* formatText = nullptr;
  if (!formatString) {
    std::string_view name = "formatString.txt";
    std::vector<char> path(pathLength + name.size() + 1);
    std::snprintf(path.data(), path.size(), "%s%s", QVPath, name.data());
    int length = 0;
    formatText = ReadWholeFile(path.data(), length);
    formatString = formatText;
  }

  // The language letter sits five places before the end of "..._d.txt".
  size_t nameLength = std::strlen(QVMessageTextFileName);
  QVMessageTextFileName[nameLength - 5] = 'd';
  MessagesDe = new MessageHandler(QVMessageTextFileName, LanguageLetter);
  QVMessageTextFileName[nameLength - 5] = 'f';
  MessagesFr = new MessageHandler(QVMessageTextFileName, LanguageLetter);
  QVMessageTextFileName[nameLength - 5] = LanguageLetter == 'd' ? 'd' : 'f';
  Messages = LanguageLetter != 'd' ? MessagesFr : MessagesDe;

  if (formatString) {
    MessagesDe->SetFormatString(formatString);
    MessagesFr->SetFormatString(formatString);
  }
  delete[] formatText;

  if (GetErrorState() != -1) CreateRecords();
}

void tDataSource::CreateRecords() {
  for (const RecordKind& k : kRecordKinds) Records[k.Kind] = k.Create(*this);
  LogInfo("DataSource-Create Records Created");
  for (const RecordKind& k : kRecordKinds) {
    Record* r = Records[k.Kind];
    r->MbRecord = RecMB;
    if (k.Kind != KindMX) r->HtmlBuffer = HtmlBuffer;
    if (k.Kind != KindMX && k.Kind != KindMB) RecMB->AddOns[RecMB->AddOnCount++] = r;
  }
  // The newborn record is read by the code rules, which run in MB or MD.
  RecMB->MnRecord = RecMN;
  RecMD->MnRecord = RecMN;

  for (int i = 0; i < RecMB->FieldCount && i < kFieldValueRefs; ++i)
    Messages->MbFieldValues[i] = RecMB->Fields[i].ValueRef;
  for (int i = 0; i < RecMD->FieldCount && i < kFieldValueRefs; ++i)
    Messages->MdFieldValues[i] = RecMD->Fields[i].ValueRef;

  LogInfo("DataSource-Create AssignLogVars");
  RecMX->F[1] = kEmptyText;
  RecMB->F[3] = RecMB->F[5] = RecMB->F[23] = kEmptyText;
  for (MessageHandler* h : {MessagesDe, MessagesFr}) {
    h->BurText = &RecMX->F[1];
    h->CantonText = &RecMB->F[3];
    h->StatTypeText = &RecMB->F[5];
    h->MainCostCentreText = &RecMB->F[23];
  }
  LogInfo("END DataSource Create");
}

tDataSource::~tDataSource() {
  Release(HtmlBuffer);
  ReleaseArray(QVPath);
  ReleaseArray(QVMessageTextFileName);
  ReleaseArray(RecBuffer);
  Release(MessagesDe);
  Release(MessagesFr);
  Messages = nullptr;
  Release(Lookups);
  ReleaseArray(FieldDefText);
  for (Record*& r : Records) Release(r);
  RecMX = nullptr;
  RecMB = nullptr;
  RecMD = nullptr;
  RecMN = nullptr;
  RecMP = nullptr;
  RecMK = nullptr;
}

int tDataSource::qv_Create_Lookups(int language) {
  LogInfo("tDataSource::qv_Create_Lookups");
  Lookups = new LookupFile(QVPath);
  Lookups->LanguageIndex = language == 0 ? 0 : 1;
  if (GetErrorState() != 0) return 0;
  for (const LookupTable& t : kLookupTables) {
    Lookups->LoadLookupfile(t.File, t.Domain, t.Name);
    if (GetErrorState() != 0) return 0;
  }
  Lookups->LoadDomainKeyFile("domainkey.ix5");
  return GetErrorState() == 0 ? 1 : 0;
}

}  // namespace qv
