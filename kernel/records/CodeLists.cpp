#include "records/CodeLists.h"

#include <cstdint>
#include <forward_list>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace qv {

// Members of up to eight bytes (all codes of the long lists) are packed into
// a number and kept in an open-addressed table; longer ones, if a list ever
// has them, in a hash set of texts.
class CodeSet {
 public:
  CodeSet(const char* const* members, int count) {
    size_t size = 16;
    while (size < 2 * static_cast<size_t>(count)) size *= 2;
    Slots.assign(size, 0);
    for (int i = 0; i < count; ++i) {
      uint64_t key = 0;
      if (!members[i]) continue;
      const unsigned char first = static_cast<unsigned char>(members[i][0]);
      FirstBytes[first / 64] |= uint64_t{1} << (first % 64);
      if (!Pack(members[i], key))
        Long.insert(members[i]);
      else if (key == 0)
        HasEmpty = true;
      else
        Slots[Probe(key)] = key;
    }
  }

  bool Has(const char* value) const {
    // Most codes asked about share no first byte with any member.
    const unsigned char first = static_cast<unsigned char>(value[0]);
    if (!(FirstBytes[first / 64] >> (first % 64) & 1)) return false;
    uint64_t key = 0;
    if (!Pack(value, key)) return Long.count(value) != 0;
    if (key == 0) return HasEmpty;
    return Slots[Probe(key)] == key;
  }

 private:
  // The text's bytes in order in a number; false for a text of more than
  // eight bytes.
  static bool Pack(const char* text, uint64_t& key) {
    key = 0;
    for (int i = 0; i < 8; ++i) {
      if (text[i] == '\0') return true;
      key |= static_cast<uint64_t>(static_cast<unsigned char>(text[i])) << (8 * i);
    }
    return text[8] == '\0';
  }
  // The slot holding key, or the empty slot where it would go (the table
  // is never more than half full, so a probe always ends).
  size_t Probe(uint64_t key) const {
    const size_t mask = Slots.size() - 1;
    size_t i = static_cast<size_t>((key * 0x9E3779B97F4A7C15ull) >> 32) & mask;
    while (Slots[i] != 0 && Slots[i] != key) i = (i + 1) & mask;
    return i;
  }

  std::vector<uint64_t> Slots;  // 0: free (the empty text is HasEmpty)
  uint64_t FirstBytes[4] = {};  // bit b: some member begins with byte b (the empty one with 0)
  bool HasEmpty = false;
  std::unordered_set<std::string_view> Long;
};

bool CodeSetHas(const CodeSet& set, const char* value) { return set.Has(value); }

namespace {
// Lists from this length on are searched through a hash set; a scan of a
// short list is as quick.
constexpr size_t kIndexedLength = 32;

template <size_t N>
CodeList Make(const char* const (&members)[N]) {
  if (N < kIndexedLength) return CodeList{members, static_cast<int>(N)};
  // The sets live as long as the library; a forward list keeps their addresses.
  static std::forward_list<CodeSet> sets;
  sets.emplace_front(members, static_cast<int>(N));
  return CodeList{members, static_cast<int>(N), &sets.front()};
}

const char* const kNoga[] = {"01", "02", "03", "04", "05", "06", "07", "08", "09", "10", "11", "12",
                             "13", "14", "15", "16", "17", "18", "19", "20", "21", "22", "23", "24",
                             "25", "26", "27", "28", "29", "30", "31", "32", "33", "34", "35", "36"};
const char* const k16Kst[] = {"M000", "M050", "M100", "M200", "M300", "M400", "M500", "M600",
                              "M700", "M800", "M850", "M900", "M950", "M960", "M970", "M990"};
const char* const k14Kst[] = {"M000", "M050", "M100", "M200", "M300", "M400", "M500",
                              "M600", "M700", "M800", "M850", "M900", "M950", "M990"};
const char* const kAc[] = {"A", "C"};
const char* const kAbc[] = {"A", "B", "C"};
const char* const k01[] = {"0", "1"};
const char* const k01234589[] = {"0", "1", "2", "3", "4", "5", "8", "9"};
const char* const k12[] = {"1", "2"};
const char* const k1239[] = {"1", "2", "3", "9"};
const char* const k1234589[] = {"1", "2", "3", "4", "5", "8", "9"};
const char* const k13Aufvor[] = {"1", "2", "3", "4", "5", "55", "6", "66", "7", "8", "83", "84", "9"};
const char* const k8Instanz[] = {"1", "2", "3", "4", "5", "6", "8", "9"};
const char* const kDiaPerinatLen2[] = {"20", "21", "22", "24", "38", "50", "51", "52",
                                       "57", "58", "70", "71", "72", "73", "74", "75"};
const char* const kDiaPerinatLen3[] = {"293", "550", "551", "560", "590", "760", "782", "830", "831", "832"};
const char* const kMeldepflDia[] = {
    "B20",   "B21",   "B22",   "B238",  "B24",   "A220",  "A221",  "A222",  "A227",  "A228",  "A229",  "A051",
    "A230",  "A231",  "A232",  "A233",  "A238",  "A239",  "A045",  "U8140", "U8141", "U8142", "U8143", "U8144",
    "U8145", "U8146", "U8147", "U8148", "A920",  "A55",   "A560",  "A561",  "A562",  "A563",  "A564",  "A568",
    "A70",   "A710",  "A711",  "A719",  "A740",  "A748",  "A749",  "J160",  "P231",  "A000",  "A001",  "A009",
    "A810",  "A970",  "A971",  "A972",  "A979",  "A360",  "A361",  "A362",  "A363",  "A368",  "A369",  "A984",
    "A043",  "A841",  "A950",  "A951",  "A959",  "A540",  "A541",  "A542",  "A543",  "A544",  "A545",  "A546",
    "A548",  "A549",  "A413",  "A492",  "G000",  "J14",   "B334",  "B150",  "B159",  "P353",  "B160",  "B161",
    "B162",  "B169",  "P353",  "B171",  "P353",  "B172",  "P353",  "B230",  "U6921", "J100",  "J101",  "J108",
    "A980",  "A962",  "A481",  "A482",  "A320",  "A321",  "A327",  "A328",  "A329",  "P372",  "B500",  "B508",
    "B509",  "B510",  "B518",  "B519",  "B520",  "B528",  "B529",  "B530",  "B531",  "B538",  "B54",   "P373",
    "P374",  "A983",  "B050",  "B051",  "B052",  "B053",  "B054",  "B058",  "B059",  "A390",  "A391",  "A392",
    "A393",  "A394",  "A395",  "A398",  "A399",  "B342",  "B972",  "A011",  "A012",  "A013",  "A014",  "A200",
    "A201",  "A202",  "A203",  "A207",  "A208",  "A209",  "A403",  "G001",  "J13",   "B953",  "B03",   "A800",
    "A801",  "A802",  "A803",  "A804",  "A809",  "A78",   "B060",  "B068",  "B069",  "P350",  "A020",  "A021",
    "A022",  "A028",  "A029",  "U049",  "A030",  "A031",  "A032",  "A033",  "A038",  "A039",  "A500",  "A501",
    "A502",  "A503",  "A504",  "A505",  "A506",  "A507",  "A509",  "A510",  "A511",  "A512",  "A513",  "A514",
    "A515",  "A519",  "A520",  "A521",  "A522",  "A523",  "A527",  "A528",  "A529",  "A530",  "A539",  "A33",
    "A34",   "A35",   "A820",  "A821",  "A829",  "B75",   "A150",  "A151",  "A152",  "A153",  "A154",  "A155",
    "A156",  "A157",  "A158",  "A159",  "A160",  "A161",  "A162",  "A163",  "A164",  "A165",  "A167",  "A168",
    "A169",  "A170",  "A171",  "A178",  "A179",  "A180",  "A181",  "A182",  "A183",  "A184",  "A185",  "A186",
    "A187",  "A188",  "A190",  "A191",  "A192",  "A198",  "A199",  "J65",   "P370",  "A210",  "A211",  "A212",
    "A213",  "A217",  "A218",  "A219",  "A010",  "A960",  "A961",  "A968",  "A969",  "A923",  "U069",  "U071",
    "U072"};
const char* const k2KstMn[] = {"M300", "M400"};
const char* const k1to9[] = {"1", "2", "3", "4", "5", "6", "7", "8", "9"};
const char* const k3KongenMissb[] = {"0", "1", "9"};
const char* const k6Zivilstand[] = {"1", "2", "3", "4", "5", "9"};
const char* const k26AufeinPsy[] = {"1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "11", "12", "21", "22",
                                    "30", "40", "41", "50", "55", "60", "66", "70", "81", "82", "83", "84", "90"};
const char* const k7AusbildPsy[] = {"1", "2", "3", "4", "5", "6", "9"};
const char* const k20EininstPsy[] = {"11", "12", "20", "31", "32", "33", "34", "35", "36", "37",
                                     "38", "39", "40", "50", "60", "81", "82", "83", "84", "90"};
const char* const k3Freiwilligkeit[] = {"1", "2", "9"};
const char* const k12Behpsy[] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"};
const char* const k9AusentPsy[] = {"11", "12", "20", "30", "40", "51", "52", "80", "90"};
const char* const k10Ausauf[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
const char* const k16AusaufPsy[] = {"00", "11", "12", "20", "31", "32", "40", "44",
                                    "50", "55", "60", "66", "70", "81", "82", "90"};
const char* const k8Ausbeh[] = {"0", "1", "2", "3", "4", "5", "8", "9"};
const char* const k20AusbehPsy[] = {"00", "10", "21", "22", "23", "24", "25", "26", "27", "28",
                                    "30", "41", "42", "43", "51", "52", "53", "81", "82", "90"};
const char* const k7Hksth[] = {"M100", "M400", "M500", "M900", "M960", "M970", "M950"};
const char* const k3Scoreart[] = {"S", "P", "C"};
const char* const k3HkstPsyReha[] = {"M500", "M950", "M990"};
const char* const k5Vsnr[] = {"UV", "MV", "IV", "SZ", "GE"};
}  // namespace

const CodeList _NOGA = Make(kNoga);
const CodeList _16_KST = Make(k16Kst);
const CodeList _14_KST = Make(k14Kst);
const CodeList _AC = Make(kAc);
const CodeList _ABC = Make(kAbc);
const CodeList _01 = Make(k01);
const CodeList _01234589 = Make(k01234589);
const CodeList _12 = Make(k12);
const CodeList _1239 = Make(k1239);
const CodeList _7_1234589 = Make(k1234589);
const CodeList _1234589 = Make(k1234589);
const CodeList _13_AUFVOR = Make(k13Aufvor);
const CodeList _8_INSTANZ = Make(k8Instanz);
const CodeList _4_BEHART = Make(k1239);
const CodeList _4_KLASSE = Make(k1239);
const CodeList _7_AUSENT = Make(k1234589);
const CodeList _16_DIA_PERINAT_LEN2 = Make(kDiaPerinatLen2);
const CodeList _10_DIA_PERINAT_LEN3 = Make(kDiaPerinatLen3);
const CodeList _265_Meldepfl_Dia = Make(kMeldepflDia);
const CodeList _2_KST_MN = Make(k2KstMn);
const CodeList _9_MEHRLING = Make(k1to9);
const CodeList _9_GEBRANG = Make(k1to9);
const CodeList _3_KONGEN_MISSB = Make(k3KongenMissb);
const CodeList _6_ZIVILSTAND = Make(k6Zivilstand);
const CodeList _26_AUFEIN_PSY = Make(k26AufeinPsy);
const CodeList _9_AUFEIN = Make(k1to9);
const CodeList _7_AUSBILD_PSY = Make(k7AusbildPsy);
const CodeList _20_EININST_PSY = Make(k20EininstPsy);
const CodeList _8_EININST = Make(k8Instanz);
const CodeList _3_FREIWILLIGKEIT = Make(k3Freiwilligkeit);
const CodeList _12_BEHPSY = Make(k12Behpsy);
const CodeList _9_AUSENT_PSY = Make(k9AusentPsy);
const CodeList _10_AUSAUF = Make(k10Ausauf);
const CodeList _16_AUSAUF_PSY = Make(k16AusaufPsy);
const CodeList _8_AUSBEH = Make(k8Ausbeh);
const CodeList _20_AUSBEH_PSY = Make(k20AusbehPsy);
const CodeList _7_HKSTH = Make(k7Hksth);
const CodeList _3_SCOREART = Make(k3Scoreart);
const CodeList _3_HKST_PSY_REHA = Make(k3HkstPsyReha);
const CodeList _5_VSNR = Make(k5Vsnr);

static_assert(sizeof(kMeldepflDia) / sizeof(kMeldepflDia[0]) == 265, "notifiable list has 265 members");
static_assert(sizeof(kNoga) / sizeof(kNoga[0]) == 36, "site list has 36 members");

}  // namespace qv
