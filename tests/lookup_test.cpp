// Lookup files: loading with the trailing bytes, search by halving, the
// value-list file, display texts and the limits.
#include <gtest/gtest.h>

#include <cstring>

#include "Ix5Codec.h"
#include "foundation/Logger.h"
#include "interface/LibraryGlobals.h"
#include "lookup/LookupFile.h"
#include "support/Fixture.h"

namespace {

using namespace qv;

class Lookups : public ::testing::Test {
 protected:
  void SetUp() override { DestroyLogger(); }
  void TearDown() override { DestroyLogger(); }
  void Write(const char* name, const std::string& plain) { dir.Write(name, ix5::Encode(plain)); }
  // Without the '/': the loader appends it.
  std::string Base() const { return dir.Path().substr(0, dir.Path().size() - 1); }
  qvtest::TempDir dir;
};

// The loader leaves the last three bytes unread (the trailer): a line feed
// there does not end a record.
TEST_F(Lookups, RecordsBeforeTheTrailerAndSearch) {
  for (const char* tail : {"ZH01\tZ\xfcrich\tZurich\nxyz", "ZH01\tZ\tZ\n"}) {
    Write("regio.ix5", std::string("Key\tText\tTexte\nBE01\tBern\tBerne\nGE01\tGenf\tGen\xe8ve\n") + tail);
    LookupFile f(Base().c_str());
    ASSERT_EQ(f.LoadLookupfile("regio.ix5", DomainREGIO, "REGIO"), 1);
    const LookupDomain& d = f.Domains[DomainREGIO];
    const bool three = tail[std::strlen(tail) - 1] == 'z';
    EXPECT_EQ(d.LastRecord - d.FirstRecord + 1, three ? 3 : 2) << tail;
    EXPECT_STREQ(f.Records[d.FirstRecord].Text, "Bern");
    EXPECT_EQ(f.Records[d.FirstRecord].ColumnCount, 2);
    for (const char* absent : {"Key", "AA", "ZZ", "zh01"}) EXPECT_EQ(f.SearchItem(absent, DomainREGIO), -1) << absent;
    for (const char* key : {"BE01", "GE01"}) EXPECT_GE(f.SearchItem(key, DomainREGIO), 0) << key;
    EXPECT_EQ(f.SearchItem("ZH01", DomainREGIO) >= 0, three);
  }
}

// The key index answers every key as the halving search does, also where
// that search misses a key of an unsorted table or meets a key twice.
TEST_F(Lookups, KeyIndexAnswersAsTheHalvingSearch) {
  struct Table {
    const char* Name;
    std::vector<std::string> Keys;
    bool SomeMissed;  // the halving search misses a key the table holds
  } tables[] = {
      {"sorted", {"A01", "B02", "C03", "D04", "E05"}, false},
      {"unsorted", {"M1", "C3", "Z9", "A1", "K5", "B2", "Y0"}, true},
      {"duplicates", {"A1", "A1", "B2", "B2", "B2", "C3", "A1"}, false},
      {"duplicates unsorted", {"B2", "A1", "C3", "A1", "B2", "A1", "D4", "A1"}, true},
      {"one row", {"Q"}, false},
  };
  for (const Table& t : tables) {
    std::string text = "Key\tText\tTexte\n";
    for (const std::string& key : t.Keys) text += key + "\tt\tt\n";
    Write("regio.ix5", text + "...");
    LookupFile f(Base().c_str());
    ASSERT_EQ(f.LoadLookupfile("regio.ix5", DomainREGIO, "REGIO"), 1) << t.Name;
    bool missed = false;
    for (const std::string& key : t.Keys) missed = missed || f.SearchByHalving(key.c_str(), DomainREGIO) < 0;
    EXPECT_EQ(missed, t.SomeMissed) << t.Name;
    std::vector<std::string> probes = t.Keys;
    for (const char* absent : {"", "Key", "A", "ZZZ", "a1"}) probes.push_back(absent);
    for (const std::string& key : probes)
      EXPECT_EQ(f.SearchItem(key.c_str(), DomainREGIO), f.SearchByHalving(key.c_str(), DomainREGIO))
          << t.Name << ": " << key;
  }
}

TEST_F(Lookups, FrenchTextColumnAndLookupResults) {
  Write("plz.ix5", "PLZ\tOrt\tText\tTexte\n3000\tBern\tBern\tBerne\n8001\tZ\xfcrich\tZ\xfcrich\tZurich\n...");
  LookupFile f(Base().c_str());
  f.LanguageIndex = 1;
  ASSERT_EQ(f.LoadLookupfile("plz.ix5", DomainPLZ, "PLZ"), 1);
  LookupResult r;
  r.Domain = DomainPLZ;
  f.LookupCode(r, "3000");
  EXPECT_EQ(r.Found, 1);
  EXPECT_STREQ(f.Records[r.Index].Text, "Berne");
  EXPECT_STREQ(r.Columns[0], "Bern");
  EXPECT_STREQ(r.Columns[3], "") << "columns beyond the record are empty";
  f.LookupCode(r, "9999");
  EXPECT_TRUE(r.Found == 0 && r.Index == -1 && r.KeyEmpty == 0 && r.Columns[0][0] == '\0');
  f.LookupCode(r, "");
  EXPECT_TRUE(r.KeyEmpty == 1 && r.Found == 0 && r.Index == -1) << "an empty key makes no search and keeps the index";
}

TEST_F(Lookups, DiagnosisTextAdjustmentByYear) {
  std::string row = "\t\t\t\t\t\t\t\t\t\t\t\tDekubitus 9. Grades\tEscarre\n";
  Write("icd.ix5", "Key\t\n" + std::string("L89") + row + "L891" + row + "L892" + row + "...");
  LookupFile f(Base().c_str());
  ASSERT_EQ(f.LoadLookupfile("icd.ix5", DomainICD, "ICD"), 1);
  LookupResult r;
  r.Domain = DomainICD;
  {
    qvtest::StatYearScope year(2012);
    f.LookupMSCode(r, "L891");
    EXPECT_STREQ(r.Columns[11], "Dekubitus 2. Grades");
  }
  qvtest::StatYearScope year(2010);
  f.LookupMSCode(r, "L892");
  EXPECT_STREQ(r.Columns[11], "Dekubitus 2. Grades");
  f.LookupMSCode(r, "L89");
  EXPECT_STREQ(r.Columns[11], "Dekubitus 9. Grades") << "three characters change nothing";
}

TEST_F(Lookups, ValueListsAndDisplayTexts) {
  Write("domainkey.ix5",
        "List\tde\tfr\nA\t1 eins\t1 un\r\nA\t10 zehn\t10 dix\nB\t1 bee\t1 bé\nA\t2 zwei\t2 deux\n");
  LookupFile f(Base().c_str());
  f.DomainCount = 9;
  ASSERT_EQ(f.LoadDomainKeyFile("domainkey.ix5"), 1);
  EXPECT_TRUE(f.FirstComboDomain == 9 && f.LastDomainIndex == 11);
  EXPECT_EQ(f.FindDomain("A"), 9) << "the first of two lists of the same name";
  EXPECT_TRUE(f.FindDomain("B") == 10 && f.FindDomain("C") == -1);
  EXPECT_STREQ(f.GetDisplayText(9, "1"), "eins") << "1 does not match '10 ...'";
  EXPECT_STREQ(f.GetDisplayText(9, "10"), "zehn");
  EXPECT_STREQ(f.GetDisplayText(9, "3"), "#ung\xfcltiger Wert");
  EXPECT_STREQ(f.GetDisplayText(-1, "3"), "#Bad domain");
  EXPECT_STREQ(f.GetDisplayText(-1, ""), "");
  EXPECT_STREQ(f.GetDisplayText(11, "2"), "zwei");
  // Every list is indexed, the last one too.
  for (int d = 9; d <= 11; ++d)
    for (const char* key : {"1 eins", "10 zehn", "1 bee", "2 zwei", "3"})
      EXPECT_EQ(f.SearchItem(key, d), f.SearchByHalving(key, d)) << d << ": " << key;
  EXPECT_TRUE(f.SearchItem("10 zehn", 9) >= 0 && f.SearchItem("2 zwei", 11) >= 0);
}

TEST_F(Lookups, FailuresAndLimitsAreReported) {
  Write("wide.ix5", "Key\nA" + std::string(27, '\t') + "x\n...");  // more than 26 columns
  Write("narrow.ix5", "Key\nA\tonly\n...");                       // no text column
  LookupFile f(Base().c_str());
  for (const char* file : {"wide.ix5", "narrow.ix5", "missing.ix5"}) {
    ClearErrorState();
    EXPECT_EQ(f.LoadLookupfile(file, DomainPLZ, "PLZ"), 0) << file;
    EXPECT_EQ(GetErrorState(), -1) << file;
  }
  EXPECT_EQ(std::string(GetLastErrorText()), "#E: Could not open lookup file '" + Base() + "/missing.ix5'");
  ClearErrorState();
  EXPECT_EQ(f.LoadDomainKeyFile("missing.ix5"), 0);
  EXPECT_EQ(GetErrorState(), -1);
}

}  // namespace
