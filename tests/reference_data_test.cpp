// The reference data that ships with the library: the checks mkref applies
// to its sources, the stored form of the built base directory, the message
// files against the rule catalogue, the value lists against the code lists
// the rules compare with, the codes that the rules and the case generator
// name, and the result table of a case with every record kind.
#include <gtest/gtest.h>

#ifndef QV_DATA_DIR
TEST(ReferenceData, NotBuilt) { GTEST_SKIP() << "the reference data is not built in this configuration"; }
#else

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "FileIO.h"
#include "Ix5Codec.h"
#include "RefChecks.h"
#include "RefFiles.h"
#include "datasource/tDataSource.h"
#include "foundation/Logger.h"
#include "foundation/tBuffer.h"
#include "lookup/LookupFile.h"
#include "quorvant.h"
#include "records/CodeLists.h"
#include "records/Record.h"
#include "records/RecordMB.h"
#include "records/RecordMD.h"
#include "records/RecordMK.h"
#include "records/RecordMN.h"
#include "records/RecordMP.h"
#include "records/RecordMX.h"
#include "rules/RuleInfo.h"
#include "support/CleanAddons.h"
#include "support/Fixture.h"

namespace {

namespace fs = std::filesystem;
using qv::ref::Problems;

const std::string kRef = QV_REF_DIR;
const std::string kData = QV_DATA_DIR;

std::string ReadOrFail(const std::string& path) {
  std::string text;
  EXPECT_TRUE(qv::ix5::ReadFile(path, text)) << path;
  return text;
}

// A source below data/ in the code page of the stored files.
std::string SourceLatin1(const std::string& relative) {
  std::string latin1, error;
  EXPECT_TRUE(qv::ix5::Utf8ToLatin1(ReadOrFail(kData + relative), latin1, error)) << relative << ": " << error;
  return latin1;
}

bool Mentions(const Problems& problems, const std::string& part) {
  for (const std::string& p : problems)
    if (p.find(part) != std::string::npos) return true;
  return false;
}

std::string Joined(const Problems& problems) {
  std::string all;
  for (const std::string& p : problems) all += p + "\n";
  return all;
}

// ---------------------------------------------------------------------------
// The checks mkref applies: each faulty text is refused with a finding that
// names the fault, the sound text passes.

struct Faulty {
  const char* Fault;
  std::string Text;
  const char* Finding;
};

TEST(SourceChecks, LookupTables) {
  const std::string header = "key\tc1\tde\tfr\n";
  EXPECT_TRUE(qv::ref::CheckLookup(header + "A\t1\tAa\tAa\nB\t1\tBb\tBb\n", 2).empty());
  const std::vector<Faulty> cases = {
      {"keys out of order", header + "B\t1\tBb\tBb\nA\t1\tAa\tAa\n", "is not above the key before it"},
      {"repeated key", header + "A\t1\tAa\tAa\nA\t1\tAb\tAb\n", "repeats the key"},
      {"byte order, not letter order", header + "\xC4\t1\tx\tx\nZ\t1\tz\tz\n", "is not above"},
      {"no French text column", header + "A\t1\tAa\n", "the texts need 3"},
      {"empty text", header + "A\t1\t\tAa\n", "empty German or French text"},
      {"empty key", header + "\t1\tAa\tAa\n", "empty key"},
      {"no final line feed", header + "A\t1\tAa\tAa", "must end with a line feed"},
      {"carriage return", header + "A\t1\tAa\tAa\r\n", "carriage return"},
      {"trailer in the source", header + "A\t1\tAa\tAa\n\x1A\x1A\x1A", "trailer"},
      {"more than 26 columns", header + "A" + std::string(27, '\t') + "\n", "more than 26"},
  };
  for (const Faulty& c : cases) {
    Problems p = qv::ref::CheckLookup(c.Text, 2);
    EXPECT_TRUE(Mentions(p, c.Finding)) << c.Fault << ":\n" << Joined(p);
  }
}

TEST(SourceChecks, ValueLists) {
  const std::string header = "list\tde\tfr\n";
  std::set<std::string> names;
  EXPECT_TRUE(qv::ref::CheckDomainKey(header + "A\t1 eins\t1 un\nA\t2 zwei\t2 deux\nB\t1 ja\t1 oui\n", &names).empty());
  EXPECT_EQ(names, (std::set<std::string>{"A", "B"}));
  const std::vector<Faulty> cases = {
      {"list split in two", header + "A\t1 a\t1 a\nB\t1 b\t1 b\nA\t2 c\t2 c\n", "continues after another list"},
      {"codes differ by language", header + "A\t1 a\t2 a\n", "differs from French"},
      {"code without label", header + "A\t1\t1 a\n", "code, one space and a label"},
      {"repeated code", header + "A\t1 a\t1 a\nA\t1 b\t1 b\n", "repeats in list"},
      {"missing column", header + "A\t1 a\n", "expected LIST"},
      {"name of a lookup table", header + "ICD\t1 a\t1 a\n", "name of a lookup table"},
  };
  for (const Faulty& c : cases) {
    Problems p = qv::ref::CheckDomainKey(c.Text, nullptr);
    EXPECT_TRUE(Mentions(p, c.Finding)) << c.Fault << ":\n" << Joined(p);
  }
}

// A field definition text describing every record kind with plain fields,
// with one line replaced by the caller.
std::string FieldText(const std::string& extraMbLine = "", int mbFields = 90) {
  std::string text = "kind\tname\n";
  for (const char* kind : {"MX", "MB", "MN", "MP", "MD", "MK"}) {
    text += std::string("R\t") + kind + "\t\n";
    int count = qv::ref::ExpectedFieldCount(kind);
    if (std::string(kind) == "MB") {
      count = mbFields;
      if (!extraMbLine.empty()) {
        text += extraMbLine + "\n";
        --count;
      }
    }
    for (int i = 0; i < count; ++i) text += "F\tv" + std::to_string(i) + "\tTEXT\t\tde\tfr\t\n";
  }
  return text;
}

TEST(SourceChecks, FieldDefinitions) {
  const std::set<std::string> lists = {"V1"};
  EXPECT_TRUE(qv::ref::CheckFields(FieldText(), lists).empty()) << Joined(qv::ref::CheckFields(FieldText(), lists));
  EXPECT_TRUE(qv::ref::CheckFields(FieldText("F\tx\tCOMBO\tV1\tde\tfr\t"), lists).empty());
  const std::vector<Faulty> cases = {
      {"comment read as a record line", "# Field list\n" + FieldText(), "would be read as a record or field line"},
      {"unknown value list", FieldText("F\tx\tCOMBO\tV2\tde\tfr\t"), "not in the value lists"},
      {"unknown lookup table", FieldText("F\tx\tLOOKUP\tCANTON\tde\tfr\t"), "is not a lookup table"},
      {"French label not followed by a TAB", FieldText("F\tx\tTEXT\t\tde\tfr"), "each followed by a TAB"},
      {"unknown kind", FieldText("F\tx\tNUMBER\t\tde\tfr\t"), "is none of DATE"},
      {"missing label", FieldText("F\tx\tTEXT\t\t\tfr\t"), "needs both labels"},
      {"field missing", FieldText("", 89), "describes 89 fields, expected 90"},
      {"field line before any record", "F\tx\tTEXT\t\tde\tfr\t\n" + FieldText(), "before the first record line"},
  };
  for (const Faulty& c : cases) {
    Problems p = qv::ref::CheckFields(c.Text, lists);
    EXPECT_TRUE(Mentions(p, c.Finding)) << c.Fault << ":\n" << Joined(p);
  }
}

std::string MessageText(const std::string& row0 = "C0900\tE\tim MX (Feld %i)") {
  std::string text = "Code\tTyp\tText\n" + row0 + "\n";
  for (int n = 1; n <= qv::ref::kLastMessageNumber; ++n) text += "A" + std::to_string(1000 + n) + "\tW\tText\n";
  return text;
}

TEST(SourceChecks, MessageFiles) {
  EXPECT_TRUE(qv::ref::CheckMessages(MessageText()).empty()) << Joined(qv::ref::CheckMessages(MessageText()));
  const std::vector<Faulty> cases = {
      {"type letter outside the table", MessageText("C0900\tX\tText"), "is none of E, W, H, C, S"},
      {"stray percent sign", MessageText("C0900\tE\t100 % sicher"), "may only stand once"},
      {"two field numbers", MessageText("C0900\tE\t%i und %i"), "may only stand once"},
      {"missing text column", MessageText("C0900\tE"), "expected CODE"},
      {"too few rows", "Code\tTyp\tText\nA\tE\tText\n", "need a row each"},
      {"no final line feed", MessageText().substr(0, MessageText().size() - 1), "must end with a line feed"},
  };
  for (const Faulty& c : cases) {
    Problems p = qv::ref::CheckMessages(c.Text);
    EXPECT_TRUE(Mentions(p, c.Finding)) << c.Fault << ":\n" << Joined(p);
  }
  Problems pair = qv::ref::CheckMessagePair(MessageText(), MessageText("C0900\tW\tdans le MX (champ %i)"));
  EXPECT_TRUE(Mentions(pair, "message 0")) << Joined(pair);
}

TEST(Codec, LookupTrailerAndCodePage) {
  std::string plain = "h\nA\t1\n";
  qv::ix5::AppendLookupTrailer(plain);
  EXPECT_EQ(plain.size(), 9u);
  std::string decoded = qv::ix5::Decode(qv::ix5::Encode(plain));
  EXPECT_TRUE(qv::ix5::StripLookupTrailer(decoded));
  EXPECT_EQ(decoded, "h\nA\t1\n");
  EXPECT_FALSE(qv::ix5::StripLookupTrailer(decoded)) << "text without trailer stays as it is";
  EXPECT_EQ(decoded, "h\nA\t1\n");

  std::string latin1, error;
  size_t bad = 0;
  EXPECT_FALSE(
      qv::ix5::Utf8ToLatin1("a\nb\nC\xE2\x80\x99"
                            "est",
                            latin1, error, bad))
      << "U+2019 is outside Latin-1";
  EXPECT_EQ(bad, 5u);
  EXPECT_EQ(qv::ix5::LineOfOffset("a\nb\nC\xE2\x80\x99"
                                  "est",
                                  bad),
            3u);
}

// ---------------------------------------------------------------------------
// The built base directory.

TEST(BaseDirectory, EveryFileIsBuiltFromItsSource) {
  for (const qv::ref::RefFile& f : qv::ref::RefFiles()) {
    std::string stored = ReadOrFail(kRef + f.Target);
    EXPECT_EQ(stored, qv::ref::StoredForm(f, SourceLatin1(f.Source))) << f.Target;
  }
}

// Runs the ix5 tool; returns its exit status.
int Ix5(const std::string& arguments) {
  const std::string command = std::string(QV_IX5_TOOL) + " " + arguments + " 2>/dev/null";
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(BaseDirectory, DecodingAStoredFileGivesBackItsSource) {
  const fs::path work = fs::temp_directory_path() / ("qv_refdata_" + std::to_string(::getpid()));
  fs::create_directories(work);
  for (const qv::ref::RefFile& f : qv::ref::RefFiles()) {
    if (f.Kind == qv::ref::FileKind::Messages) continue;  // not shifted
    const std::string out = (work / "decoded").string();
    ASSERT_EQ(Ix5("decode --utf8 " + kRef + f.Target + " " + out), 0) << f.Target;
    EXPECT_EQ(ReadOrFail(out), ReadOrFail(kData + f.Source)) << f.Target << " decodes to its source byte for byte";
    const std::string again = (work / "encoded").string();
    const std::string lookup = f.Kind == qv::ref::FileKind::Lookup ? "--lookup " : "";
    ASSERT_EQ(Ix5("encode --utf8 " + lookup + kData + f.Source + " " + again), 0) << f.Target;
    EXPECT_EQ(ReadOrFail(again), ReadOrFail(kRef + f.Target)) << f.Target;
  }
  // A character outside Latin-1 is refused, not replaced.
  const std::string bad = (work / "bad.tsv").string();
  ASSERT_TRUE(qv::ix5::WriteFile(bad,
                                 "h\nC\xE2\x80\x99"
                                 "est\n"));
  EXPECT_EQ(Ix5("encode --utf8 " + bad + " " + (work / "bad.ix5").string()), 1);
  EXPECT_FALSE(fs::exists(work / "bad.ix5"));
  EXPECT_EQ(Ix5("frobnicate a b"), 2);
  fs::remove_all(work);
}

// mkref refuses a source with a character outside Latin-1 and then writes
// no file at all, so a base directory is never half updated.
TEST(BaseDirectory, MkrefRefusesCharactersOutsideLatin1) {
  const fs::path work = fs::temp_directory_path() / ("qv_mkref_" + std::to_string(::getpid()));
  fs::remove_all(work);
  fs::create_directories(work);
  fs::copy(kData, work / "data", fs::copy_options::recursive);
  std::string icd = ReadOrFail((work / "data/lookup/icd.tsv").string());
  const size_t line3 = icd.find('\n', icd.find('\n') + 1) + 1;
  icd.insert(icd.find('\t', line3) + 1, "C\xC5\x93ur ");  // U+0153
  ASSERT_TRUE(qv::ix5::WriteFile((work / "data/lookup/icd.tsv").string(), icd));
  const std::string log = (work / "mkref.log").string();
  const std::string command =
      std::string(QV_MKREF_TOOL) + " " + (work / "data").string() + " " + (work / "ref").string() + " 2>" + log;
  int status = std::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
  EXPECT_NE(ReadOrFail(log).find("icd.tsv: line 3: character outside Latin-1"), std::string::npos) << ReadOrFail(log);
  EXPECT_FALSE(fs::exists(work / "ref" / "chop.ix5")) << "nothing is written";
  fs::remove_all(work);
}

TEST(BaseDirectory, HandleCreationSucceedsInBothLanguages) {
  for (int language : {0, 1}) {
    unsigned h = QV_Create(kRef.c_str(), language);
    ASSERT_NE(h, 0xFFFFFFFFu) << "language " << language;
    EXPECT_EQ(QV_Destroy(h), 0);
  }
}

// ---------------------------------------------------------------------------
// Message files and the rule catalogue.

struct MessageRow {
  std::string Code, Type, Text;
};

std::vector<MessageRow> ReadMessageRows(const std::string& file) {
  std::vector<MessageRow> rows;
  std::string text = ReadOrFail(kRef + file);
  std::vector<std::string_view> lines = qv::ref::SplitLines(text);
  for (size_t i = 1; i < lines.size(); ++i) {
    std::vector<std::string_view> c = qv::ref::SplitColumns(lines[i]);
    rows.push_back({std::string(c[0]), c.size() > 1 ? std::string(c[1]) : "", c.size() > 2 ? std::string(c[2]) : ""});
  }
  return rows;
}

bool IsCharacterCheck(const std::string& code) { return code.compare(0, 4, "C090") == 0; }

TEST(MessageFiles, EveryNumberHasTheRowOfTheRuleThatAddsIt) {
  const std::vector<qv::RuleInfo> rules = qv::AllRules();
  ASSERT_FALSE(rules.empty());
  const int last = qv::ref::kLastMessageNumber;
  for (const char* file : {"message_dll_d.txt", "message_dll_f.txt"}) {
    SCOPED_TRACE(file);
    std::vector<MessageRow> rows = ReadMessageRows(file);
    ASSERT_GE(rows.size(), static_cast<size_t>(last) + 1);
    std::vector<bool> claimed(rows.size(), false);
    for (const qv::RuleInfo& r : rules) {
      ASSERT_GE(r.Msg, 0) << r.Code;
      ASSERT_LE(r.Msg, last) << r.Code;
      EXPECT_EQ(rows[r.Msg].Code, r.Code) << "message " << r.Msg;
      EXPECT_EQ(rows[r.Msg].Type, std::string(1, qv::TypeLetter(r.Kind))) << "message " << r.Msg << " " << r.Code;
      claimed[r.Msg] = true;
    }
    for (int n = 0; n <= last; ++n) {
      if (claimed[n]) continue;
      EXPECT_EQ(rows[n].Code, "RESRV") << "message " << n << " is added by no rule";
    }
  }
}

TEST(MessageFiles, GermanTextsAreTheDescriptionsAndFrenchTextsTranslateThem) {
  std::vector<MessageRow> de = ReadMessageRows("message_dll_d.txt");
  std::vector<MessageRow> fr = ReadMessageRows("message_dll_f.txt");
  ASSERT_EQ(de.size(), fr.size());
  for (const qv::RuleInfo& r : qv::AllRules()) {
    ASSERT_LT(static_cast<size_t>(r.Msg), de.size());
    const std::string expected = std::string(r.Description) + (IsCharacterCheck(r.Code) ? " (Feld %i)" : "");
    EXPECT_EQ(de[r.Msg].Text, expected) << r.Code;
    EXPECT_NE(fr[r.Msg].Text, de[r.Msg].Text) << r.Code << " has no French text";
    if (IsCharacterCheck(r.Code)) {
      EXPECT_NE(fr[r.Msg].Text.find("(champ %i)"), std::string::npos) << r.Code;
    }
  }
}

// ---------------------------------------------------------------------------
// A data source on the shipped base directory, loaded as QV_Create loads it.

class Shipped : public ::testing::TestWithParam<int> {
 protected:
  std::unique_ptr<qv::tDataSource> ds;

  void SetUp() override {
    qv::DestroyLogger();
    qv::ClearErrorState();
    ds = std::make_unique<qv::tDataSource>(kRef.c_str(), GetParam() == 0 ? 'd' : 'f', nullptr);
    ASSERT_EQ(ds->qv_Create_Lookups(GetParam()), 1);
    ASSERT_EQ(ds->LoadFieldInfo(GetParam(), "fields.ix5", kRef.c_str()), 1);
    ds->CreateRecBuffer(10000);
  }
  void TearDown() override {
    ds.reset();
    qv::DestroyLogger();
  }
  qv::LookupFile& Lookups() { return *ds->Lookups; }
  const qv::LookupRecord* Find(int domain, const char* key) {
    int slot = Lookups().SearchItem(key, domain);
    return slot < 0 ? nullptr : &Lookups().Records[slot];
  }
  // The codes of a value list, in file order.
  std::vector<std::string> ListCodes(const char* name) {
    std::vector<std::string> codes;
    int d = Lookups().FindDomain(name);
    if (d < 0) return codes;
    for (int s = Lookups().Domains[d].FirstRecord; s <= Lookups().Domains[d].LastRecord; ++s) {
      std::string key = Lookups().Records[s].Key;
      codes.push_back(key.substr(0, key.find(' ')));
    }
    return codes;
  }
};

INSTANTIATE_TEST_SUITE_P(Language, Shipped, ::testing::Values(0, 1),
                         [](const auto& info) { return info.param == 0 ? "German" : "French"; });

TEST_P(Shipped, EveryLookupLineIsLoadedDespiteTheUnreadTail) {
  for (const qv::ref::RefFile& f : qv::ref::RefFiles()) {
    if (f.Kind != qv::ref::FileKind::Lookup) continue;
    const int d = Lookups().FindDomain(f.Domain);
    ASSERT_GE(d, 0) << f.Domain;
    std::string source = SourceLatin1(f.Source);
    std::vector<std::string_view> lines = qv::ref::SplitLines(source);
    const qv::LookupDomain& dom = Lookups().Domains[d];
    EXPECT_EQ(dom.LastRecord - dom.FirstRecord + 1, static_cast<int>(lines.size()) - 1) << f.Domain;
    const std::string lastKey(qv::ref::SplitColumns(lines.back())[0]);
    EXPECT_STREQ(Lookups().Records[dom.LastRecord].Key, lastKey.c_str()) << f.Domain;
    for (int s = dom.FirstRecord; s <= dom.LastRecord; ++s) {
      ASSERT_NE(Lookups().Records[s].Text, nullptr) << f.Domain << " " << Lookups().Records[s].Key;
      EXPECT_STRNE(Lookups().Records[s].Text, "") << f.Domain << " " << Lookups().Records[s].Key;
    }
  }
}

// The value lists of the coded fields hold exactly the codes the rules
// accept.
TEST_P(Shipped, ValueListsHoldTheCodesTheRulesAccept) {
  using L = std::vector<std::string>;
  auto of = [](const qv::CodeList& list) { return L(list.Members, list.Members + list.Count); };
  const std::map<std::string, L> expected = {
      {"V0201", of(qv::_ABC)},
      {"V0301", of(qv::_01)},
      {"V1101", of(qv::_12)},
      {"V1202", of(qv::_13_AUFVOR)},
      {"V1203", of(qv::_7_1234589)},
      {"V1204", of(qv::_8_INSTANZ)},
      {"V1301", of(qv::_4_BEHART)},
      {"V1302", of(qv::_4_KLASSE)},
      {"V1401", of(qv::_16_KST)},
      {"V1402", of(qv::_1234589)},
      {"V1502", of(qv::_1234589)},
      {"V1503", L{"0", "1", "2", "3", "4", "44", "5", "55", "6", "66", "7", "8", "9"}},
      {"V1504", of(qv::_01234589)},
      {"V2103", of(qv::_01)},
      {"V2104", of(qv::_9_MEHRLING)},
      {"V2105", of(qv::_9_GEBRANG)},
      {"V2108", of(qv::_3_KONGEN_MISSB)},
      {"V3201", of(qv::_6_ZIVILSTAND)},
      {"V3202", of(qv::_26_AUFEIN_PSY)},
      {"V3212", of(qv::_7_AUSBILD_PSY)},
      {"V3301", of(qv::_20_EININST_PSY)},
      {"V3302", of(qv::_3_FREIWILLIGKEIT)},
      {"V3303", of(qv::_12)},
      {"V3402", of(qv::_12_BEHPSY)},
      {"V3415", L{"1", "2", "3", "4", "5"}},
      {"V3501", of(qv::_9_AUSENT_PSY)},
      {"V3502", of(qv::_16_AUSAUF_PSY)},
      {"V3503", of(qv::_20_AUSBEH_PSY)},
      {"V42011", L{"0", "1", "2", "3", "9"}},
      {"V43011", L{"0", "1", "2", "3", "9"}},
      {"V4403", of(qv::_3_SCOREART)},
      {"V4703", of(qv::_1239)},
      {"V4801", L{"0", "1", "2", "3", "4", "5", "6", "7"}},
      {"V4917", L{"1", "2", "3", "4", "44", "5", "55", "6", "66", "7", "8", "9"}},
      {"V5104", of(qv::_5_VSNR)},
      {"V5105", of(qv::_3_HKST_PSY_REHA)},
  };
  for (const auto& [name, codes] : expected) {
    L shipped = ListCodes(name.c_str());
    EXPECT_EQ(std::set<std::string>(shipped.begin(), shipped.end()), std::set<std::string>(codes.begin(), codes.end()))
        << name;
  }
  EXPECT_EQ(ListCodes("V0103").size(), 26u) << "the 26 cantons";
}

// ---------------------------------------------------------------------------
// Codes that the rules and the case generator rely on.

struct Expected {
  int Domain;
  const char* Key;
  const char* Sex;
  const char* Age;
};

TEST_P(Shipped, CodesTheCaseGeneratorReliesOn) {
  using namespace qv;
  const std::vector<Expected> codes = {
      {DomainICD, "I10", "", ""},   {DomainICD, "E119", "", ""},  {DomainICD, "J189", "", ""},
      {DomainICD, "K359", "", ""},  {DomainICD, "I2510", "", ""}, {DomainICD, "N390", "", ""},
      {DomainICD, "R509", "", ""},  {DomainICD, "F329", "", ""},  {DomainICD, "F200", "", ""},
      {DomainICD, "S7200", "", ""}, {DomainICD, "Z380", "", "a"}, {DomainICD, "O800", "2", "h"},
      {DomainICD, "Z370", "", ""},  {DomainICD, "O094", "", ""},  {DomainCHOP, "4701", "", ""},
      {DomainCHOP, "8952", "", ""}, {DomainCHOP, "9904", "", ""}, {DomainCHOP, "9394", "", ""},
      {DomainCHOP, "8703", "", ""}, {DomainCHOP, "7359", "", ""}, {DomainCHOP, "9921", "", ""},
  };
  for (const Expected& e : codes) {
    const LookupRecord* r = Find(e.Domain, e.Key);
    ASSERT_NE(r, nullptr) << e.Key;
    ASSERT_GE(r->ColumnCount, 13) << e.Key;
    EXPECT_STREQ(r->Columns[2], e.Sex) << e.Key;
    EXPECT_STREQ(r->Columns[3], e.Age) << e.Key;
    EXPECT_STREQ(r->Columns[6], "2009") << e.Key;
    EXPECT_STREQ(r->Columns[7], "9999") << e.Key;
    EXPECT_STREQ(r->Columns[8], "2009") << e.Key << " is terminal";
    EXPECT_STREQ(r->Columns[9], "9999") << e.Key << " is terminal";
  }
  for (const char* plz : {"8001", "3000", "1201", "4051", "6003"}) EXPECT_NE(Find(DomainPLZ, plz), nullptr) << plz;
  for (const char* regio : {"ZH01", "BE01", "GE01", "BS01", "LU01"})
    EXPECT_NE(Find(DomainREGIO, regio), nullptr) << regio;
  for (const char* natio : {"CHE", "DEU", "FRA", "ITA", "AUT"}) EXPECT_NE(Find(DomainNATIO, natio), nullptr) << natio;
  for (const char* bur : {"71234567", "72345678", "73456789"}) EXPECT_NE(Find(DomainBUR, bur), nullptr) << bur;
  EXPECT_EQ(Lookups().Domains[DomainNATIO].LastRecord - Lookups().Domains[DomainNATIO].FirstRecord + 1, 249)
      << "the ISO 3166-1 countries";
}

// Keys of a domain that begin with a prefix.
std::vector<std::string> KeysWithPrefix(const qv::LookupFile& l, int domain, const std::string& prefix) {
  std::vector<std::string> keys;
  for (int s = l.Domains[domain].FirstRecord; s <= l.Domains[domain].LastRecord; ++s)
    if (std::string(l.Records[s].Key).compare(0, prefix.size(), prefix) == 0) keys.push_back(l.Records[s].Key);
  return keys;
}

TEST_P(Shipped, EveryCodeClassTheRulesNameHasCodes) {
  using namespace qv;
  for (int i = 0; i < _265_Meldepfl_Dia.Count; ++i)
    EXPECT_NE(Find(DomainICD, _265_Meldepfl_Dia.Members[i]), nullptr) << "notifiable " << _265_Meldepfl_Dia.Members[i];
  const std::vector<std::string> icdPrefixes = {
      // pregnancy, birth and the newborn
      "Z37", "Z38", "O09", "O80", "O81", "O82", "O03", "O10", "O14", "O24", "O42", "O60", "O70", "Z34", "P1", "P20",
      "P21", "P22", "P24", "P38", "P50", "P51", "P52", "P57", "P58", "P70", "P71", "P72", "P74", "P75", "P293", "P550",
      "P551", "P560", "P590", "P760", "P782", "P830", "P831", "P832",
      // secondary codes
      "B95", "B96", "B97", "C958", "C97", "G826", "R65", "S147", "S247", "S347", "S0183", "S2183", "S3183", "S0184",
      "S0189", "T32", "U61", "U691", "U80", "U81", "U82", "U83", "U84", "U85", "Z50", "Z54",
      // named by single rules
      "Z758", "Z510", "Z511", "Z5182", "R75", "Z21", "B230", "B20", "F64", "T90", "T93", "T98", "V", "W", "X", "Y",
      "R95", "R96", "R98", "R99", "P95", "O95", "O96", "O97", "I461", "P964", "S18", "L89"};
  for (const std::string& p : icdPrefixes)
    EXPECT_FALSE(KeysWithPrefix(Lookups(), DomainICD, p).empty()) << "no ICD code begins with " << p;
  EXPECT_NE(Find(DomainICD, "T31"), nullptr);
  EXPECT_NE(Find(DomainICD, "U60"), nullptr);
  // The three-character prefixes that need a present-on-admission indicator.
  const std::string poa =
      "|F05|G90|G97|I23|I26|I51|I63|I72|I80|I97|J12|J13|J14|J15|J16|J18|J69|J90|J93|J95|K91|K92|L89|N10|N17|N30|"
      "N39|N99|O29|O99|T80|T81|T82|T83|T84|T85|T86|T87|T88|T89|X59|Y57|Y59|Y69|Y82|Y84";
  for (size_t at = 1; at < poa.size(); at += 4)
    EXPECT_FALSE(KeysWithPrefix(Lookups(), DomainICD, poa.substr(at, 3)).empty()) << poa.substr(at, 3);

  for (const char* p : {"8981", "AA12", "72", "73", "74", "75"})
    EXPECT_FALSE(KeysWithPrefix(Lookups(), DomainCHOP, p).empty()) << "no CHOP code begins with " << p;

  bool star = false, supplementary = false, unspecific = false;
  for (int s = Lookups().Domains[DomainICD].FirstRecord; s <= Lookups().Domains[DomainICD].LastRecord; ++s) {
    const LookupRecord& r = Lookups().Records[s];
    star |= std::string(r.Columns[0]).find('*') != std::string::npos && std::string(r.Columns[1]) == "2";
    // The marker column agrees with the rules' notion of a secondary code.
    if (IsSecondaryCode(r.Key)) {
      EXPECT_STREQ(r.Columns[0], "!") << r.Key;
    }
  }
  for (int s = Lookups().Domains[DomainCHOP].FirstRecord; s <= Lookups().Domains[DomainCHOP].LastRecord; ++s) {
    const LookupRecord& r = Lookups().Records[s];
    supplementary |= r.Columns[5][0] == '2';
    unspecific |= std::string(r.Columns[1]) == "2";
  }
  EXPECT_TRUE(star) << "a star code, not allowed as main diagnosis";
  EXPECT_TRUE(supplementary) << "a CHOP supplementary code";
  EXPECT_TRUE(unspecific) << "an unspecific two-digit CHOP code";
}

// Validity and terminal years are coherent: a code that is the beginning of
// another code is a non-terminal category (empty terminal years), every
// other code is terminal within its validity.
TEST_P(Shipped, CodeTablesAreCoherent) {
  for (int domain : {qv::DomainICD, qv::DomainCHOP}) {
    const qv::LookupDomain& dom = Lookups().Domains[domain];
    for (int s = dom.FirstRecord; s <= dom.LastRecord; ++s) {
      const qv::LookupRecord& r = Lookups().Records[s];
      const std::string key = r.Key;
      const bool category =
          s < dom.LastRecord && std::string(Lookups().Records[s + 1].Key).compare(0, key.size(), key) == 0;
      const int from = std::atoi(r.Columns[6]), to = std::atoi(r.Columns[7]);
      EXPECT_TRUE(from >= 2009 && from <= to && to <= 9999) << key;
      if (category) {
        EXPECT_STREQ(r.Columns[8], "") << key << " has longer codes below it";
        EXPECT_STREQ(r.Columns[9], "") << key;
      } else {
        EXPECT_EQ(std::atoi(r.Columns[8]), from) << key << " is terminal";
        EXPECT_EQ(std::atoi(r.Columns[9]), to) << key;
      }
      const std::string sex = r.Columns[2];
      EXPECT_TRUE(sex.empty() || sex == "1" || sex == "2") << key;
    }
  }
}

// ---------------------------------------------------------------------------
// The result table of a case with every record kind.

struct Row {
  std::string Name, Label, Value, Meaning;
};

std::vector<Row> RenderRows(qv::tDataSource& ds, qv::Record& rec) {
  ds.HtmlBuffer->ResetBuffer();
  rec.RenderHtml();
  std::vector<char> html(static_cast<size_t>(ds.HtmlBuffer->TotalUsedSize) + 1);
  ds.HtmlBuffer->CopyBufferTo(html.data());
  const std::string table = html.data();
  std::vector<Row> rows;
  for (size_t at = table.find("<tr>"); at != std::string::npos; at = table.find("<tr>", at + 1)) {
    std::string cell[4];
    size_t pos = at;
    for (std::string& c : cell) {
      size_t open = table.find("<td", pos), start = table.find('>', open) + 1, end = table.find("</td>", start);
      c = table.substr(start, end - start);
      pos = end;
    }
    rows.push_back({cell[0], cell[1], cell[2], cell[3]});
  }
  return rows;
}

TEST_P(Shipped, ResultTableOfAFullCaseShowsEveryField) {
  using namespace qv;
  const std::map<int, std::vector<const char*> > lookupSamples = {
      {DomainICD, {"I10", "E119", "J189", "K359", "N390", "R509", "F329", "S7200", "I2510", "Z370"}},
      {DomainCHOP, {"8952", "4701", "9904", "9394", "8703", "9921"}},
      {DomainLREGIO, {"DE-BW"}},
      {DomainNATIO, {"DEU"}},
      {DomainPLZ, {"3000"}},
      {DomainREGIO, {"BE01"}},
      {DomainWREGIO, {"W02"}},
      {DomainBUR, {"72345678"}},
      {DomainVSNR, {"0001"}}};
  size_t next = 0;
  // Fills every empty coded field with a valid value: the first code of its
  // value list, or a sample key of its lookup table.
  auto fill = [&](Record& rec, std::vector<std::string> f, int count) {
    f.resize(static_cast<size_t>(count));
    for (int i = 1; i < count; ++i) {
      const FieldSlot& slot = rec.Fields[i];
      if (!f[i].empty() || slot.Domain < 0) continue;
      if (slot.Kind == FieldCombo) {
        std::string key = Lookups().Records[Lookups().Domains[slot.Domain].FirstRecord].Key;
        f[i] = key.substr(0, key.find(' '));
      } else if (slot.Kind == FieldLookup) {
        const auto& samples = lookupSamples.at(slot.Domain);
        f[i] = samples[next++ % samples.size()];
      }
    }
    return f;
  };
  std::vector<std::string> mb = qvtest::CleanMbWith({true, true, true});
  mb[8] = "1";
  // No header line: the first line of a handle's first call fixes the MB
  // layout.
  const std::string data = qvtest::Case(
      {qvtest::Line(fill(*ds->RecMB, mb, 90)), qvtest::Line(fill(*ds->RecMN, qvtest::CleanMn(), 18)),
       qvtest::Line(fill(*ds->RecMP, qvtest::CleanMp(), 34)), qvtest::Line(fill(*ds->RecMD, qvtest::CleanMd(), 696)),
       qvtest::Line(fill(*ds->RecMK, {"MK"}, 30))});
  ClearErrorState();
  ASSERT_EQ(ds->LoadRecBuffer(data.c_str()), 1);
  ASSERT_EQ(ds->qv_ProcessData(), 0) << GetLastErrorText();

  const std::string undefined = "#Field not defined";
  const std::vector<std::pair<const char*, Record*> > records = {
      {"MB", ds->RecMB}, {"MN", ds->RecMN}, {"MP", ds->RecMP}, {"MD", ds->RecMD}, {"MK", ds->RecMK}};
  for (const auto& [kind, rec] : records) {
    std::vector<Row> rows = RenderRows(*ds, *rec);
    ASSERT_EQ(static_cast<int>(rows.size()), qv::ref::ExpectedFieldCount(kind)) << kind;
    for (size_t i = 0; i < rows.size(); ++i) {
      const Row& r = rows[i];
      SCOPED_TRACE(std::string(kind) + " field " + std::to_string(i) + " " + r.Name);
      EXPECT_NE(r.Name, undefined);
      EXPECT_NE(r.Label, undefined);
      EXPECT_FALSE(r.Label.empty());
      const int k = rec->Fields[i].Kind;
      if ((k == FieldCombo || k == FieldLookup) && !r.Value.empty()) {
        EXPECT_FALSE(r.Meaning.empty()) << "value " << r.Value;
        EXPECT_NE(r.Meaning[0], '#') << "value " << r.Value << ": " << r.Meaning;
      }
    }
  }
  // The residence shows the town of its postcode, the interruptions their
  // variable names.
  EXPECT_EQ(ds->RecMB->Fields[13].Name, std::string("1.1.V04"));
  const std::vector<Row> md = RenderRows(*ds, *ds->RecMD);
  const std::vector<std::pair<int, const char*> > names = {{663, "4.7.V01"}, {664, "4.7.V02"}, {666, "4.7.V11"},
                                                           {667, "4.7.V12"}, {669, "4.7.V21"}, {670, "4.7.V22"},
                                                           {672, "4.7.V31"}, {673, "4.7.V32"}};
  for (const auto& [field, name] : names) EXPECT_EQ(md[field].Name, name) << field;
}

// The nationality table is generated from Debian's iso-codes package; when
// the package is installed, generating it again gives the checked-in text.
TEST(Nationalities, MatchTheIsoCodesPackage) {
  if (!fs::exists("/usr/share/iso-codes/json/iso_3166-1.json") || std::system("python3 --version >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "iso-codes or python3 not installed";
  const std::string out = (fs::temp_directory_path() / ("qv_natio_" + std::to_string(::getpid()) + ".tsv")).string();
  const std::string command = "python3 " + kData + "scripts/generate_natio.py " + out;
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(ReadOrFail(out), ReadOrFail(kData + "lookup/natio.tsv"));
  fs::remove(out);
}

}  // namespace

#endif  // QV_DATA_DIR
