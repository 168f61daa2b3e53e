// The reference tables of a handle: nine lookup files (ICD, CHOP, regions,
// nationalities, postcodes, enterprise and insurance numbers) and the value
// lists of coded fields, each a numbered domain of records. Files are kept
// whole in memory, decoded and cut in place; records point into them.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/Logger.h"

namespace qv {

constexpr int kMaxDomains = 128;
constexpr int kMaxLookupRecords = 64000;
constexpr int kLookupColumns = 26;
constexpr int kYearColumns = 4;  // columns 6 to 9

enum LookupDomainNumber {
  DomainCHOP = 0, DomainICD = 1, DomainLREGIO = 2, DomainNATIO = 3, DomainPLZ = 4,
  DomainREGIO = 5, DomainWREGIO = 6, DomainBUR = 7, DomainVSNR = 8
};

// Columns of an ICD or CHOP row after its key, numbered as in Columns[].
enum CodeColumn {
  Col0Marker = 0,          // ICD: '*' star code, '!' secondary code; CHOP: laterality required
  Col1MainFlag = 1,        // ICD: 2 star code, not a main diagnosis; CHOP: 2 unspecific two-digit code
  Col2Sex = 2,             // 1 male, 2 female: the code fits only that sex
  Col3AgeClass = 3,        // ICD: a-k; CHOP: i
  Col4Chapter = 4,
  Col5MainForBilling = 5,  // ICD: 2 not a main diagnosis for billing; CHOP: 2 supplementary code
  Col6ValidFrom = 6,       // validity years
  Col7ValidTo = 7,
  Col8TerminalFrom = 8,    // years in which the code is terminal
  Col9TerminalTo = 9,
  Col10DottedCode = 10,
  Col11TextDe = 11,
  Col12TextFr = 12,
};

// One slot of a domain's key index: a key of the domain (null in an empty
// slot) and the row the halving search returns for it (-1 if it misses it,
// which an unsorted table can cause).
struct KeySlot {
  const char* Key;
  int Answer;
};

struct LookupDomain {
  // Open addressing over the domain's distinct keys; a power of two in size,
  // at most half full. Empty while the domain is not (completely) loaded:
  // SearchItem then searches by halving.
  std::vector<KeySlot> KeyIndex;
  int DataSize = 0;
  char* DataText = nullptr;
  char* FileName = nullptr;
  const char* DomainName = "";
  int FirstRecord = 0;
  int LastRecord = -1;
};

struct LookupRecord {
  const char* Key;
  const char* Text;
  int ColumnCount;
  // The columns after the key; those beyond ColumnCount hold the empty text
  // once the row's line is read.
  const char* Columns[kLookupColumns];
  // Columns 6 to 9 (validity and terminal years of a code) as numbers, read
  // once with the row.
  int Years[kYearColumns];
};

// kYearColumns zeros: the years of a result that found nothing.
extern const int kNoYears[kYearColumns];

// kLookupColumns empty texts: the columns of a result that found nothing.
extern const char* const kNoColumns[kLookupColumns];

// A code to look up and what was found for it.
struct LookupResult {
  LookupResult();
  int Domain = -1;
  int Index = -1;
  int KeyLength = 0;
  const char* Key = "";
  // The found row's columns (kNoColumns while Found is 0): a result points
  // at the row instead of copying it.
  const char* const* Columns = kNoColumns;
  const int* Years = kNoYears;  // the found row's Years (Col6ValidFrom - 6 first)
  int KeyEmpty = 1;
  int Found = 0;
};

using CodeLookupResult = LookupResult;

class LookupFile {
 public:
  explicit LookupFile(const char* baseDirectory);
  virtual ~LookupFile();
  LookupFile(const LookupFile&) = delete;
  LookupFile& operator=(const LookupFile&) = delete;

  int LoadLookupfile(const char* fileName, int domain, const char* domainName);
  int LoadDomainKeyFile(const char* fileName);

  // The row of key in a domain, or -1: the halving search's answer, taken
  // from the key index prepared when the domain was read.
  int SearchItem(const char* key, int domain) const;
  // The halving search itself (no log lines), which the index answers as.
  int SearchByHalving(const char* key, int domain) const;
  // Inline: most entries of a case are blank, and those need no search.
  void LookupCode(LookupResult& result, const char* key) const {
    LogInfo(kLookupCodeLine);
    if (key && *key) FillResult(result, key);
    else ClearResult(result);
  }
  // LookupCode of one key into count results (each with its domain), the
  // key hashed once.
  void LookupCodes(LookupResult* results, int count, const char* key) const;
  // The log lines of count LookupCode calls that a caller skips: blank keys
  // whose results are already cleared.
  static void LogSkippedLookups(int count) {
    if (LogIsOn())
      for (int i = 0; i < count; ++i) LogInfo(kLookupCodeLine);
  }
  // LookupCode, and for a pressure ulcer code L89.1-L89.3 from 2011 on the
  // grade in the German text (column 11) raised by one: the catalogue
  // renumbered the grades. No rule calls it at present; it stays as the
  // lookup for showing a diagnosis text in the current numbering (it writes
  // into the loaded table, the one change the tables ever see).
  void LookupMSCode(CodeLookupResult& result, const char* key);
  const char* GetDisplayText(int domain, const char* value) const;
  int FindDomain(const char* name) const;

  int RecordCount = 0;
  LookupDomain Domains[kMaxDomains];
  int DomainCount = 0;
  char* BaseDirectory = nullptr;
  int BaseDirectoryLength = 0;
  char* DomainKeyText = nullptr;
  int FirstComboDomain = -1;
  int LastDomainIndex = 0;
  int LanguageIndex = 0;
  LookupRecord* Records = nullptr;

 private:
  // Completes a row once its line is read: empty texts for the missing
  // columns, the year columns as numbers.
  static void FinishRow(LookupRecord& row);
  // SearchItem for a key whose hash is known.
  int SearchHashed(const char* key, std::uint32_t hash, int domain) const;
  // SearchHashed without its log lines. An indexed domain is probed without
  // any call, which spares every lookup saving and restoring registers.
  int Probe(const char* key, std::uint32_t hash, int domain) const;
  // Builds a domain's key index from the halving search, once per key.
  void IndexDomain(int domain);
  // Reads BaseDirectory + fileName whole; path receives the full name.
  char* ReadFromBase(const char* fileName, int& size, char*& path, const char* failText);
  void FillResult(LookupResult& result, const char* key) const;
  // FillResult for a non-empty key whose hash and length are known.
  void FillHashed(LookupResult& result, const char* key, std::uint32_t hash, size_t length) const;
  static constexpr const char* kLookupCodeLine = "LookupFile::LookupCode";
  // The result of a blank key: no search; Index stays as it was.
  static void ClearResult(LookupResult& result) {
    result.Found = 0;
    result.Columns = kNoColumns;
    result.Years = kNoYears;
    result.Key = kNoColumns[0];  // the tables' empty text
    result.KeyLength = 0;
    result.KeyEmpty = 1;
  }
};

}  // namespace qv
