#include "lookup/LookupFile.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include "foundation/FileText.h"
#include "foundation/Logger.h"
#include "foundation/Number.h"
#include "foundation/Release.h"
#include "foundation/StoredForm.h"
#include "foundation/TextHash.h"
#include "interface/LibraryGlobals.h"

namespace qv {

namespace {
// Data column that holds a lookup file's display text in German; French is
// the next one.
constexpr int kTextColumn[9] = {12, 12, 1, 1, 2, 1, 1, 4, 1};
const char* const kEmpty = "";

// strcmp(a, b) == 0 for the short keys of a probe, without a library call.
bool SameKey(const char* a, const char* b) {
  while (*a && *a == *b) ++a, ++b;
  return *a == *b;
}
}  // namespace

const char* const kNoColumns[kLookupColumns] = {kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty,
                                                kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty,
                                                kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty,
                                                kEmpty, kEmpty, kEmpty, kEmpty, kEmpty};
static_assert(kLookupColumns == 26, "kNoColumns lists one empty text per column");

LookupResult::LookupResult() = default;

const int kNoYears[kYearColumns] = {};

void LookupFile::FinishRow(LookupRecord& row) {
  for (int i = row.ColumnCount; i < kLookupColumns; ++i) row.Columns[i] = kEmpty;
  for (int i = 0; i < kYearColumns; ++i) row.Years[i] = LeadingInt(row.Columns[Col6ValidFrom + i]);
}

LookupFile::LookupFile(const char* baseDirectory) {
  // Not cleared: a slot is written when its line is read, and only the
  // columns a line has are ever read (clearing 15 MB would cost every
  // handle a noticeable start).
  Records = new LookupRecord[kMaxLookupRecords];
  size_t n = baseDirectory ? std::strlen(baseDirectory) : 0;
  BaseDirectory = new char[n + 2];
  std::memcpy(BaseDirectory, baseDirectory ? baseDirectory : "", n);
  BaseDirectory[n] = '\0';
  if (n > 0 && BaseDirectory[n - 1] != '/') {
    BaseDirectory[n] = '/';
    BaseDirectory[n + 1] = '\0';
  }
  BaseDirectoryLength = static_cast<int>(std::strlen(BaseDirectory));
}

LookupFile::~LookupFile() {
  ReleaseArray(BaseDirectory);
  ReleaseArray(DomainKeyText);
  for (auto& d : Domains) {
    ReleaseArray(d.DataText);
    ReleaseArray(d.FileName);
  }
  ReleaseArray(Records);
}

char* LookupFile::ReadFromBase(const char* fileName, int& size, char*& path, const char* failText) {
  size_t n = std::strlen(BaseDirectory) + std::strlen(fileName);
  path = new char[n + 1];
  std::snprintf(path, n + 1, "%s%s", BaseDirectory, fileName);
  bool refused = false;
  char* text = ReadWholeFile(path, size, &refused);
  if (!text && !refused) LogError(failText, path);
  return text;
}

int LookupFile::LoadLookupfile(const char* fileName, int d, const char* name) {
  if (d < 0 || d >= kMaxDomains) {
    LogError("Lookup domain %i is out of range (at most %i domains)", d, kMaxDomains);
    return 0;
  }
  LookupDomain& dom = Domains[d];
  dom.KeyIndex.clear();  // the rows change: search by halving until indexed again
  dom.DomainName = name;
  int size = 0;
  char* path = nullptr;
  char* text = ReadFromBase(fileName, size, path, "Could not open lookup file '%s'");
  delete[] dom.FileName;
  dom.FileName = path;
  LogInfo("LoadLookupfile:%i %s", d, path);
  if (!text) return 0;
  LogInfo("LoadLookupfile-fclose");
  delete[] dom.DataText;
  dom.DataText = text;
  dom.DataSize = size;

  const int textColumn = (d < 9 ? kTextColumn[d] : 1) - 1 + LanguageIndex;
  if (RecordCount >= kMaxLookupRecords) {
    LogError("Lookup file '%s': more than %i records in all lookup files", path, kMaxLookupRecords);
    return 0;
  }
  dom.FirstRecord = RecordCount + 1;
  LookupRecord* rec = &Records[RecordCount];
  rec->Key = text;
  rec->ColumnCount = 0;
  bool header = true;
  int maxColumns = 0;
  int lineFeeds = 0;
  for (int i = 0; i < size - 3; ++i) {
    char* p = text + i;
    *p = StoredToPlain(*p);
    if (*p == '\t') {
      *p = '\0';
      if (rec->ColumnCount >= kLookupColumns) {
        LogError("Lookup file '%s': more than %i columns in line %i", path, kLookupColumns, lineFeeds + 1);
        return 0;
      }
      rec->Columns[rec->ColumnCount++] = p + 1;
      if (rec->ColumnCount > maxColumns) maxColumns = rec->ColumnCount;
    } else if (*p == '\n') {
      *p = '\0';
      ++lineFeeds;
      if (!header) {
        if (rec->ColumnCount <= textColumn) {
          LogError("Lookup file '%s': line %i has %i columns, the text column is %i", path, lineFeeds,
                   rec->ColumnCount, textColumn + 1);
          return 0;
        }
        rec->Text = rec->Columns[textColumn];
      }
      FinishRow(*rec);
      header = false;
      if (RecordCount + 1 >= kMaxLookupRecords) {
        LogError("Lookup file '%s': more than %i records in all lookup files", path, kMaxLookupRecords);
        return 0;
      }
      ++RecordCount;
      rec = &Records[RecordCount];
      rec->Key = p + 1;
      rec->ColumnCount = 0;
      rec->Text = kEmpty;
    }
  }
  dom.LastRecord = RecordCount - 1;
  if (d >= DomainCount) DomainCount = d + 1;
  IndexDomain(d);
  LogInfo("Domains[%i] datacount:%i first:%i last: %i middle:%i\n", d, maxColumns, dom.FirstRecord,
          dom.LastRecord, dom.FirstRecord + lineFeeds / 2);
  return 1;
}

int LookupFile::LoadDomainKeyFile(const char* fileName) {
  int size = 0;
  char* path = nullptr;
  char* text = ReadFromBase(fileName, size, path, "Could not open domain file '%s'");
  // Errors below name the file with its directory.
  std::unique_ptr<char[]> pathText(path);
  if (!text) return 0;
  delete[] DomainKeyText;
  DomainKeyText = text;
  LogInfo("Charsread:%i, BufferSize:%i Length:%i", size, size, static_cast<int>(std::strlen(text)));
  for (int i = 0; i < size; ++i) text[i] = StoredToPlain(text[i]);

  int pos = 0;
  while (pos < size && text[pos] != '\n') ++pos;
  if (pos < size) ++pos;  // behind the header's line feed

  int d = DomainCount;
  if (d >= kMaxDomains || RecordCount >= kMaxLookupRecords) {
    LogError("Domain file '%s': no room for its value lists", pathText.get());
    return 0;
  }
  FirstComboDomain = d;
  for (int list = d; list < kMaxDomains; ++list) Domains[list].KeyIndex.clear();
  Domains[d].FirstRecord = RecordCount;
  Domains[d].DomainName = text + pos;
  const char* listLine = text + pos;
  LookupRecord* rec = &Records[RecordCount];
  rec->Key = kEmpty;
  rec->Text = kEmpty;
  rec->ColumnCount = 0;
  int maxColumns = 0;
  for (int i = pos; i < size; ++i) {
    char* p = text + i;
    if (*p == '\t') {
      *p = '\0';
      if (rec->ColumnCount >= kLookupColumns) {
        LogError("Domain file '%s': more than %i columns in a line", pathText.get(), kLookupColumns);
        return 0;
      }
      rec->Columns[rec->ColumnCount++] = p + 1;
      if (rec->ColumnCount > maxColumns) maxColumns = rec->ColumnCount;
    } else if (*p == '\r') {
      *p = '\0';
    } else if (*p == '\n') {
      *p = '\0';
      if (rec->ColumnCount <= LanguageIndex) {
        LogError("Domain file '%s': a line of list '%s' has no entry text", pathText.get(), listLine);
        return 0;
      }
      rec->Key = rec->Columns[LanguageIndex];
      FinishRow(*rec);
      if (RecordCount + 1 >= kMaxLookupRecords) {
        LogError("Domain file '%s': more than %i records in all lookup files", pathText.get(), kMaxLookupRecords);
        return 0;
      }
      ++RecordCount;
      if (size - (i + 1) > 2) {
        const char* next = p + 1;
        size_t n = std::strlen(listLine);
        bool sameList = std::strncmp(next, listLine, n) == 0 && next[n] == '\t';
        if (!sameList) {
          Domains[d].LastRecord = RecordCount - 1;
          ++DomainCount;
          ++d;
          if (d >= kMaxDomains) {
            LogError("Domain file '%s': more than %i domains", pathText.get(), kMaxDomains);
            return 0;
          }
          Domains[d].FirstRecord = RecordCount;
          Domains[d].DomainName = next;
        }
        listLine = next;
      }
      rec = &Records[RecordCount];
      rec->Key = kEmpty;
      rec->Text = kEmpty;
      rec->ColumnCount = 0;
    }
  }
  Domains[d].LastRecord = RecordCount - 1;
  LogInfo("Combo: Domains[%i] datacount:%i first:%i last: %i middle:%i\n", d, maxColumns, Domains[d].FirstRecord,
          Domains[d].LastRecord, (Domains[d].FirstRecord + Domains[d].LastRecord) / 2);
  LastDomainIndex = d;
  ++DomainCount;
  for (int list = FirstComboDomain; list <= d; ++list) IndexDomain(list);
  LogInfo("OK ************************* Domains loaded");
  return 1;
}

void LookupFile::IndexDomain(int d) {
  LookupDomain& dom = Domains[d];
  std::vector<KeySlot>& index = dom.KeyIndex;
  index.clear();
  const int rows = dom.LastRecord - dom.FirstRecord + 1;
  if (rows <= 0) return;  // nothing to find: the halving search is as quick
  size_t size = 2;
  while (size < 2 * static_cast<size_t>(rows)) size *= 2;
  index.assign(size, KeySlot{nullptr, -1});
  const size_t mask = size - 1;
  for (int row = dom.FirstRecord; row <= dom.LastRecord; ++row) {
    const char* key = Records[row].Key;
    size_t length;
    size_t i = HashText(key, length) & mask;
    while (index[i].Key && !SameKey(index[i].Key, key)) i = (i + 1) & mask;
    // A key seen before keeps its slot: the answer depends on the key only.
    if (!index[i].Key) index[i] = {key, SearchByHalving(key, d)};
  }
}

int LookupFile::SearchByHalving(const char* key, int d) const {
  if (d < 0 || d >= DomainCount || !key) return -1;
  int lo = Domains[d].FirstRecord;
  int hi = Domains[d].LastRecord;
  while (lo <= hi) {
    int mid = lo + (hi - lo) / 2;
    int c = std::strcmp(key, Records[mid].Key);
    if (c == 0) return mid;
    if (c < 0) hi = mid - 1;
    else lo = mid + 1;
  }
  return -1;
}

int LookupFile::SearchItem(const char* key, int d) const {
  size_t length;
  return SearchHashed(key, key ? HashText(key, length) : 0, d);
}

int LookupFile::SearchHashed(const char* key, uint32_t hash, int d) const {
  if (!LogIsOn()) return Probe(key, hash, d);
  LogInfo("SearchItem Key:%s Domainindex:%i", key, d);
  const int found = Probe(key, hash, d);
  if (found >= 0) LogInfo("  - Found(Key:'%s')\n", Records[found].Key);
  else LogInfo("  - Not Found");
  return found;
}

int LookupFile::Probe(const char* key, uint32_t hash, int d) const {
  if (d < 0 || d >= DomainCount || !key) return -1;
  const std::vector<KeySlot>& index = Domains[d].KeyIndex;
  if (index.empty()) return SearchByHalving(key, d);
  // Every key the halving search can find is in the index.
  const size_t mask = index.size() - 1;
  for (size_t i = hash & mask; index[i].Key; i = (i + 1) & mask)
    if (SameKey(index[i].Key, key)) return index[i].Answer;
  return -1;
}

void LookupFile::FillResult(LookupResult& result, const char* key) const {
  if (!key || !*key) {
    ClearResult(result);
    return;
  }
  size_t length;
  const uint32_t hash = HashText(key, length);
  FillHashed(result, key, hash, length);
}

void LookupFile::LookupCodes(LookupResult* results, int count, const char* key) const {
  const bool blank = !key || !*key;
  size_t length = 0;
  const uint32_t hash = blank ? 0 : HashText(key, length);
  for (int i = 0; i < count; ++i) {
    LogInfo(kLookupCodeLine);
    if (blank) ClearResult(results[i]);
    else FillHashed(results[i], key, hash, length);
  }
}

void LookupFile::FillHashed(LookupResult& result, const char* key, uint32_t hash, size_t length) const {
  result.Found = 0;
  result.Columns = kNoColumns;
  result.Years = kNoYears;
  result.Key = key;
  result.KeyLength = static_cast<int>(length);
  result.KeyEmpty = 0;
  result.Index = SearchHashed(key, hash, result.Domain);
  if (result.Index != -1) {
    result.Found = 1;
    result.Columns = Records[result.Index].Columns;
    result.Years = Records[result.Index].Years;
  }
}

void LookupFile::LookupMSCode(CodeLookupResult& result, const char* key) {
  if (key && *key) LogInfo("LookupFile::LookupMSCode: %s", key);
  FillResult(result, key);
  if (!result.Found || result.Domain != DomainICD || result.KeyLength < 4 ||
      std::strncmp(result.Key, "L89", 3) != 0)
    return;
  const char* column = result.Columns[Col11TextDe];
  if (std::strlen(column) <= 10) return;
  char fourth = result.Key[3];
  char replacement = fourth;
  if (fourth == '1' || fourth == '2' || fourth == '3')
    replacement = StatYear >= 2011 ? static_cast<char>(fourth + 1) : fourth;
  else
    return;
  // The column points into this object's own decoded file text.
  const_cast<char*>(column)[10] = replacement;
}

const char* LookupFile::GetDisplayText(int d, const char* value) const {
  if (!value || !*value) return kEmpty;
  if (d < 0) return "#Bad domain";
  if (d < DomainCount) {
    size_t n = std::strlen(value);
    for (int i = Domains[d].FirstRecord; i <= Domains[d].LastRecord; ++i) {
      const char* k = Records[i].Key;
      if (std::strncmp(k, value, n) == 0 && k[n] == ' ') return k + n + 1;
    }
  }
  return LanguageIndex == 1 ? "#valeur non valable" : "#ung\xfcltiger Wert";
}

int LookupFile::FindDomain(const char* name) const {
  for (int i = 0; i <= LastDomainIndex && i < kMaxDomains; ++i)
    if (std::strcmp(Domains[i].DomainName, name) == 0) return i;
  return -1;
}

}  // namespace qv
