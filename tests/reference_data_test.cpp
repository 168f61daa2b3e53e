// The reference data that ships with the library: the checks mkref applies
// to its sources, the built base directory and the ix5 tool, the message
// files against the rule catalogue, the value lists against the codes the
// rules accept, the codes the case generator relies on,
// and the result table of a case with every record kind.
#include <gtest/gtest.h>

#ifndef QV_DATA_DIR
TEST(ReferenceData, NotBuilt) { GTEST_SKIP() << "the reference data is not built in this configuration"; }
#else

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <sstream>
#include <tuple>

#include "FileIO.h"
#include "RefChecks.h"
#include "RefFiles.h"
#include "datasource/tDataSource.h"
#include "foundation/Logger.h"
#include "quorvant.h"
#include "records/CodeLists.h"
#include "rules/RuleInfo.h"
#include "support/RuleTable.h"

namespace {

namespace fs = std::filesystem;
using Words = std::vector<std::string>;

const std::string kRef = QV_REF_DIR;
const std::string kData = QV_DATA_DIR;

std::string ReadOrFail(const std::string& path) {
  std::string text;
  EXPECT_TRUE(qv::ix5::ReadFile(path, text)) << path;
  return text;
}

Words Split(const std::string& spaced) {
  std::istringstream in(spaced);
  Words words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

// Runs a command line; returns its exit status.
int Shell(const std::string& command) {
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A directory of its own for one test, removed afterwards.
struct Scratch : qvtest::TempDir {
  std::string operator/(const std::string& name) const { return Path() + name; }
};

// ---------------------------------------------------------------------------
// The checks mkref applies: the sound texts pass, each faulty one is refused
// with a finding that names the fault.

// Field definitions of every record kind with plain fields; a given line
// takes the place of the MB's first field line.
std::string FieldText(const std::string& mbLine = "") {
  std::string text = "kind\tname\n";
  for (const std::string kind : {"MX", "MB", "MN", "MP", "MD", "MK"}) {
    const bool replaced = kind == "MB" && !mbLine.empty();
    text += "R\t" + kind + "\t\n" + (replaced ? mbLine + "\n" : "");
    for (int i = replaced; i < qv::ref::ExpectedFieldCount(kind); ++i) text += "F\tv\tTEXT\t\tde\tfr\t\n";
  }
  return text;
}

std::string MessageText(const std::string& row0 = "C0900\tE\tim MX (Feld %i)") {
  std::string text = "Code\tTyp\tText\n" + row0 + "\n";
  for (int n = 1; n <= qv::ref::kLastMessageNumber; ++n) text += "A" + std::to_string(1000 + n) + "\tW\tText\n";
  return text;
}

using Check = qv::ref::Problems (*)(const std::string&);
const Check kLookup = [](const std::string& t) { return qv::ref::CheckLookup(t, 2); };
const Check kLists = [](const std::string& t) { return qv::ref::CheckDomainKey(t, nullptr); };
const Check kFields = [](const std::string& t) { return qv::ref::CheckFields(t, {"V1"}); };
const Check kMessages = [](const std::string& t) { return qv::ref::CheckMessages(t); };
const Check kPair = [](const std::string& t) { return qv::ref::CheckMessagePair(MessageText(), t); };

TEST(SourceChecks, SoundTextsPassAndEachFaultIsNamed) {
  const std::string k = "key\tc1\tde\tfr\n", l = "list\tde\tfr\n";
  const std::vector<std::tuple<Check, std::string, std::string>> rows = {  // check, text, finding ("" = sound)
      {kLookup, k + "A\t1\tAa\tAa\nB\t1\tBb\tBb\n", ""},
      {kLookup, k + "B\t1\tBb\tBb\nA\t1\tAa\tAa\n", "is not above the key before it"},
      {kLookup, k + "\xC4\t1\tx\tx\nZ\t1\tz\tz\n", "is not above"},  // byte order, not letter order
      {kLookup, k + "A\t1\tAa\tAa\nA\t1\tAb\tAb\n", "repeats the key"},
      {kLookup, k + "A\t1\tAa\n", "the texts need 3"},
      {kLookup, k + "A\t1\t\tAa\n", "empty German or French text"},
      {kLookup, k + "\t1\tAa\tAa\n", "empty key"},
      {kLookup, k + "A\t1\tAa\tAa", "must end with a line feed"},
      {kLookup, k + "A\t1\tAa\tAa\r\n", "carriage return"},
      {kLookup, k + "A\t1\tAa\tAa\n\x1A\x1A\x1A", "trailer"},
      {kLookup, k + "A" + std::string(27, '\t') + "\n", "more than 26"},
      {kLists, l + "A\t1 eins\t1 un\nA\t2 zwei\t2 deux\nB\t1 ja\t1 oui\n", ""},
      {kLists, l + "A\t1 a\t1 a\nB\t1 b\t1 b\nA\t2 c\t2 c\n", "continues after another list"},
      {kLists, l + "A\t1 a\t2 a\n", "differs from French"},
      {kLists, l + "A\t1\t1 a\n", "code, one space and a label"},
      {kLists, l + "A\t1 a\t1 a\nA\t1 b\t1 b\n", "repeats in list"},
      {kLists, l + "A\t1 a\n", "expected LIST"},
      {kLists, l + "ICD\t1 a\t1 a\n", "name of a lookup table"},
      {kFields, FieldText("F\tx\tCOMBO\tV1\tde\tfr\t"), ""},
      {kFields, "# Field list\n" + FieldText(), "would be read as a record or field line"},
      {kFields, FieldText("F\tx\tCOMBO\tV2\tde\tfr\t"), "not in the value lists"},
      {kFields, FieldText("F\tx\tLOOKUP\tCANTON\tde\tfr\t"), "is not a lookup table"},
      {kFields, FieldText("F\tx\tTEXT\t\tde\tfr"), "each followed by a TAB"},
      {kFields, FieldText("F\tx\tNUMBER\t\tde\tfr\t"), "is none of DATE"},
      {kFields, FieldText("F\tx\tTEXT\t\t\tfr\t"), "needs both labels"},
      {kFields, FieldText("# no field"), "describes 89 fields, expected 90"},
      {kFields, "F\tx\tTEXT\t\tde\tfr\t\n" + FieldText(), "before the first record line"},
      {kMessages, MessageText(), ""},
      {kMessages, MessageText("C0900\tX\tText"), "is none of E, W, H, C, S"},
      {kMessages, MessageText("C0900\tE\t100 % sicher"), "may only stand once"},
      {kMessages, MessageText("C0900\tE\t%i und %i"), "may only stand once"},
      {kMessages, MessageText("C0900\tE"), "expected CODE"},
      {kMessages, "Code\tTyp\tText\nA\tE\tText\n", "need a row each"},
      {kPair, MessageText("C0900\tE\tdans le MX (champ %i)"), ""},
      {kPair, MessageText("C0900\tW\tdans le MX (champ %i)"), "message 0"},
  };
  for (const auto& [check, text, finding] : rows) {
    std::string found;
    for (const std::string& p : check(text)) found += p + "\n";
    EXPECT_TRUE(finding.empty() ? found.empty() : found.find(finding) != found.npos) << finding << ":\n" << found;
  }
}

// ---------------------------------------------------------------------------
// The built base directory and the ix5 tool.

TEST(BaseDirectory, Ix5DecodesEveryStoredFileToItsSourceAndEncodesItBack) {
  Scratch work;
  const std::string ix5 = std::string(QV_IX5_TOOL) + " ";
  for (const qv::ref::RefFile& f : qv::ref::RefFiles()) {
    if (f.Kind == qv::ref::FileKind::Messages) continue;  // not shifted
    ASSERT_EQ(Shell(ix5 + "decode --utf8 " + kRef + f.Target + " " + work / "decoded"), 0) << f.Target;
    EXPECT_EQ(ReadOrFail(work / "decoded"), ReadOrFail(kData + f.Source)) << f.Target << " decodes to its source";
    const char* lookup = f.Kind == qv::ref::FileKind::Lookup ? "--lookup " : "";
    ASSERT_EQ(Shell(ix5 + "encode --utf8 " + lookup + kData + f.Source + " " + work / "encoded"), 0) << f.Target;
    EXPECT_EQ(ReadOrFail(work / "encoded"), ReadOrFail(kRef + f.Target)) << f.Target;
  }
  // A character outside Latin-1 is refused, not replaced; a wrong call is a usage error.
  ASSERT_TRUE(qv::ix5::WriteFile(work / "bad.tsv", "h\nC\xE2\x80\x99" "est\n"));
  EXPECT_TRUE(Shell(ix5 + "encode --utf8 " + work / "bad.tsv" + " " + work / "bad.ix5 2>/dev/null") == 1 &&
              !fs::exists(work / "bad.ix5"));
  EXPECT_EQ(Shell(ix5 + "frobnicate a b 2>/dev/null"), 2);
}

// A source character outside Latin-1 is a build error naming file and line;
// mkref then writes no file at all, so a base directory is never half updated.
TEST(BaseDirectory, MkrefRefusesCharactersOutsideLatin1) {
  Scratch work;
  fs::copy(kData, work / "data", fs::copy_options::recursive);
  std::string icd = ReadOrFail(work / "data/lookup/icd.tsv");
  icd.insert(icd.find('\n', icd.find('\n') + 1) + 1, "C\xC5\x93ur");  // U+0153 at the start of line 3
  ASSERT_TRUE(qv::ix5::WriteFile(work / "data/lookup/icd.tsv", icd));
  EXPECT_EQ(Shell(std::string(QV_MKREF_TOOL) + " " + work / "data" + " " + work / "ref" + " 2>" + work / "log"), 1);
  EXPECT_NE(ReadOrFail(work / "log").find("icd.tsv: line 3: character outside Latin-1"), std::string::npos);
  EXPECT_FALSE(fs::exists(work / "ref/chop.ix5")) << "nothing is written";
}

// Row N of a message file (after the header) is message N: code and type
// letter of the rule that adds it, RESRV when no rule does. The German text
// is the rule's description, the French one translates it; the character
// checks show the field number.
TEST(MessageFiles, EveryNumberHasTheRowOfTheRuleThatAddsIt) {
  for (const bool french : {false, true}) {
    const std::string file = ReadOrFail(kRef + (french ? "message_dll_f.txt" : "message_dll_d.txt"));
    const std::vector<std::string_view> lines = qv::ref::SplitLines(file);
    ASSERT_GE(lines.size(), qv::ref::kLastMessageNumber + 2u);
    std::vector<std::vector<std::string_view>> rows;  // rows[N]: message N
    for (size_t n = 1; n < lines.size(); ++n) rows.push_back(qv::ref::SplitColumns(lines[n])), rows.back().resize(3);
    for (const qv::RuleInfo& r : qv::AllRules()) {
      ASSERT_TRUE(r.Msg >= 0 && r.Msg <= qv::ref::kLastMessageNumber) << r.Code;
      SCOPED_TRACE(std::string(french ? "French" : "German") + " message " + std::to_string(r.Msg) + " " + r.Code);
      EXPECT_EQ(rows[r.Msg][0], r.Code);
      EXPECT_EQ(rows[r.Msg][1], std::string(1, qv::TypeLetter(r.Kind)));
      const bool showsField = std::strncmp(r.Code, "C090", 4) == 0;
      const std::string german = r.Description + std::string(showsField ? " (Feld %i)" : ""), text(rows[r.Msg][2]);
      EXPECT_TRUE(french ? text != german && text.find(showsField ? "(champ %i)" : "") != text.npos : text == german)
          << text;
      rows[r.Msg][0] = "claimed";
    }
    for (const auto& row : rows) EXPECT_TRUE(row[0] == "claimed" || row[0] == "RESRV") << row[0] << " " << row[2];
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
  void TearDown() override { ds.reset(), qv::DestroyLogger(); }
  // The keys of a domain in table order, the codes alone for a value list.
  Words Keys(int domain) {
    Words keys;
    for (int s = ds->Lookups->Domains[domain].FirstRecord; s <= ds->Lookups->Domains[domain].LastRecord; ++s)
      keys.push_back(Split(ds->Lookups->Records[s].Key).at(0));
    return keys;
  }
};

INSTANTIATE_TEST_SUITE_P(Language, Shipped, ::testing::Values(0, 1),
                         [](const auto& info) { return info.param == 0 ? "German" : "French"; });

// Every line of a lookup table is loaded, the last one too, although the
// library leaves the last three bytes of the file unread. The codes the case
// generator relies on are valid from 2009 to 9999 and terminal.
TEST_P(Shipped, EveryLookupLineIsLoadedAndTheGeneratorCodesAreValid) {
  const std::map<std::string, std::string> generated = {
      {"ICD", "I10 E119 J189 K359 I2510 N390 R509 F329 F200 S7200 Z380 O800 Z370 O094"},
      {"CHOP", "4701 8952 9904 9394 8703 7359 9921"}, {"PLZ", "8001 3000 1201 4051 6003"},
      {"REGIO", "ZH01 BE01 GE01 BS01 LU01"}, {"NATIO", "CHE DEU FRA ITA AUT"}, {"BUR", "71234567 72345678 73456789"}};
  const std::map<std::string, std::string> restricted = {{"Z380", "|a"}, {"O800", "2|h"}};  // sex|age class
  for (const qv::ref::RefFile& f : qv::ref::RefFiles()) {
    if (f.Kind != qv::ref::FileKind::Lookup) continue;
    const int d = ds->Lookups->FindDomain(f.Domain);
    const std::string source = ReadOrFail(kData + f.Source);
    ASSERT_EQ(Keys(d).size(), qv::ref::SplitLines(source).size() - 1) << f.Domain;
    EXPECT_EQ(Keys(d).back(), qv::ref::SplitColumns(qv::ref::SplitLines(source).back())[0]) << f.Domain;
    for (const std::string& key : Split(generated.count(f.Domain) ? generated.at(f.Domain) : "")) {
      const int slot = ds->Lookups->SearchItem(key.c_str(), d);
      ASSERT_GE(slot, 0) << key;
      if (d != qv::DomainICD && d != qv::DomainCHOP) continue;
      const char* const* c = ds->Lookups->Records[slot].Columns;  // 13 columns at least (mkref checks)
      EXPECT_EQ(std::string(c[2]) + "|" + c[3] + "|" + c[6] + "|" + c[7] + "|" + c[8] + "|" + c[9],
                (restricted.count(key) ? restricted.at(key) : "|") + "|2009|9999|2009|9999") << key;
    }
  }
}

// The shipped value lists hold exactly the codes the rules accept (a code
// list changed on one side only makes valid data fail or bad data pass).
TEST_P(Shipped, ValueListsHoldTheCodesTheRulesAccept) {
  using L = std::vector<std::string>;
  auto of = [](const qv::CodeList& list) { return L(list.Members, list.Members + list.Count); };
  const L stayAfter = {"1", "2", "3", "4", "44", "5", "55", "6", "66", "7", "8", "9"}, sides = {"0", "1", "2", "3", "9"};
  L stayAfterDischarge = stayAfter;
  stayAfterDischarge.insert(stayAfterDischarge.begin(), "0");
  const std::map<std::string, L> expected = {
      {"V0201", of(qv::_ABC)},           {"V0301", of(qv::_01)},
      {"V1101", of(qv::_12)},            {"V1202", of(qv::_13_AUFVOR)},
      {"V1203", of(qv::_7_1234589)},     {"V1204", of(qv::_8_INSTANZ)},
      {"V1301", of(qv::_4_BEHART)},      {"V1302", of(qv::_4_KLASSE)},
      {"V1401", of(qv::_16_KST)},        {"V1402", of(qv::_1234589)},
      {"V1502", of(qv::_1234589)},       {"V1503", stayAfterDischarge},
      {"V1504", of(qv::_01234589)},      {"V2103", of(qv::_01)},
      {"V2104", of(qv::_9_MEHRLING)},    {"V2105", of(qv::_9_GEBRANG)},
      {"V2108", of(qv::_3_KONGEN_MISSB)}, {"V3201", of(qv::_6_ZIVILSTAND)},
      {"V3202", of(qv::_26_AUFEIN_PSY)}, {"V3212", of(qv::_7_AUSBILD_PSY)},
      {"V3301", of(qv::_20_EININST_PSY)}, {"V3302", of(qv::_3_FREIWILLIGKEIT)},
      {"V3303", of(qv::_12)},            {"V3402", of(qv::_12_BEHPSY)},
      {"V3415", L{"1", "2", "3", "4", "5"}}, {"V3501", of(qv::_9_AUSENT_PSY)},
      {"V3502", of(qv::_16_AUSAUF_PSY)}, {"V3503", of(qv::_20_AUSBEH_PSY)},
      {"V42011", sides},                 {"V43011", sides},
      {"V4403", of(qv::_3_SCOREART)},    {"V4703", of(qv::_1239)},
      {"V4801", L{"0", "1", "2", "3", "4", "5", "6", "7"}}, {"V4917", stayAfter},
      {"V5104", of(qv::_5_VSNR)},        {"V5105", of(qv::_3_HKST_PSY_REHA)},
  };
  for (const auto& [name, codes] : expected) {
    const int d = ds->Lookups->FindDomain(name.c_str());
    ASSERT_GE(d, 0) << name;
    const L shipped = Keys(d);
    EXPECT_EQ(std::set<std::string>(shipped.begin(), shipped.end()), std::set<std::string>(codes.begin(), codes.end()))
        << name;
  }
  EXPECT_EQ(Keys(ds->Lookups->FindDomain("V0103")).size(), 26u) << "the 26 cantons";
}

// The result table of a case with every record kind shows a name and a label
// for every field, and a meaning for every coded field (each gets a value).
TEST_P(Shipped, ResultTableOfAFullCaseShowsEveryField) {
  using namespace qv;
  // Fills every empty coded field with the first code of its value list or lookup table.
  auto fill = [&](Record& rec, std::vector<std::string> f, int count) {
    f.resize(static_cast<size_t>(count));
    for (int i = 1; i < count; ++i)
      if (f[i].empty() && rec.Fields[i].Domain >= 0) f[i] = Keys(rec.Fields[i].Domain).at(0);
    return qvtest::Line(f);
  };
  const std::vector<std::string> mb = qvtest::MbFor("MN MP MK MD");
  // No header line: the first line of a handle's first call fixes the MB layout.
  const std::string data = qvtest::Case({fill(*ds->RecMB, mb, 90), fill(*ds->RecMN, qvtest::CleanMn(), 18),
                                         fill(*ds->RecMP, qvtest::CleanMp(), 34),
                                         fill(*ds->RecMD, qvtest::CleanMd(), 696), fill(*ds->RecMK, {"MK"}, 30)});
  ASSERT_EQ(ds->LoadRecBuffer(data.c_str()), 1);
  ASSERT_EQ(ds->qv_ProcessData(), 0) << GetLastErrorText();
  const std::pair<const char*, Record*> records[] = {
      {"MB", ds->RecMB}, {"MN", ds->RecMN}, {"MP", ds->RecMP}, {"MD", ds->RecMD}, {"MK", ds->RecMK}};
  for (const auto& [kind, rec] : records) {
    ds->HtmlBuffer->ResetBuffer();
    rec->RenderHtml();
    const std::string table = qvtest::Text(*ds->HtmlBuffer);
    int field = 0;
    for (size_t at = table.find("<tr>"); at != std::string::npos; at = table.find("<tr>", at + 1), ++field) {
      Words cell;  // name, label, value, meaning
      for (size_t end = at; cell.size() < 4;) {
        const size_t start = table.find('>', table.find("<td", end)) + 1;
        cell.push_back(table.substr(start, (end = table.find("</td>", start)) - start));
      }
      SCOPED_TRACE(std::string(kind) + " field " + std::to_string(field) + " " + cell[0] + " value " + cell[2]);
      EXPECT_TRUE(cell[0] != "#Field not defined" && cell[1] != "#Field not defined" && !cell[1].empty());
      const int k = rec->Fields[field].Kind;
      EXPECT_TRUE((k != FieldCombo && k != FieldLookup) || (!cell[2].empty() && !cell[3].empty() && cell[3][0] != '#'));
    }
    EXPECT_EQ(field, ref::ExpectedFieldCount(kind)) << kind;
  }
  // The residence and the interruptions (4.7.V01 to 4.7.V33) stand in the slots the rules read.
  EXPECT_STREQ(ds->RecMB->Fields[13].Name, "1.1.V04");
  const FieldSlot* md = ds->RecMD->Fields;
  for (int i = 0; i < 12; ++i)
    EXPECT_STREQ(md[663 + i].Name, ("4.7.V" + std::to_string(i / 3) + std::to_string(i % 3 + 1)).c_str());
}

// The nationality table is generated from Debian's iso-codes package; when
// the package is installed, generating it again gives the checked-in text.
TEST(Nationalities, MatchTheIsoCodesPackage) {
  if (!fs::exists("/usr/share/iso-codes/json/iso_3166-1.json") || Shell("python3 --version >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "iso-codes or python3 not installed";
  Scratch work;
  ASSERT_EQ(Shell("python3 " + kData + "scripts/generate_natio.py " + work / "natio.tsv"), 0);
  EXPECT_EQ(ReadOrFail(work / "natio.tsv"), ReadOrFail(kData + "lookup/natio.tsv"));
}

}  // namespace

#endif  // QV_DATA_DIR
