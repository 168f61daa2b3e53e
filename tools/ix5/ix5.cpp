// ix5: converts between the readable text of a reference file and its stored
// form (every byte plus 13). Options convert the text between UTF-8 and the
// single-byte code page and add or keep the trailer of lookup files.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "FileIO.h"
#include "Ix5Codec.h"

namespace {

const char* const kUsage =
    "usage: ix5 encode [--utf8] [--lookup] IN OUT\n"
    "       ix5 decode [--utf8] [--keep-trailer] IN OUT\n"
    "\n"
    "  encode  stores IN as OUT with every byte plus 13\n"
    "  decode  restores the text of a stored file (every byte minus 13)\n"
    "\n"
    "  --utf8          the text side is UTF-8: encode refuses characters outside\n"
    "                  Latin-1, decode writes UTF-8 (default: bytes unchanged)\n"
    "  --lookup        encode: append the three trailer bytes that the lookup\n"
    "                  reader skips after the last line feed\n"
    "  --keep-trailer  decode: keep a lookup trailer (default: drop it)\n";

int Usage() {
  std::fputs(kUsage, stderr);
  return 2;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "ix5: %s\n", message.c_str());
  return 1;
}

struct Options {
  bool Utf8 = false;
  bool Lookup = false;
  bool KeepTrailer = false;
  std::vector<std::string> Files;
};

bool ParseOptions(int argc, char** argv, Options& opt, bool encode) {
  for (int i = 2; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--utf8")
      opt.Utf8 = true;
    else if (a == "--lookup" && encode)
      opt.Lookup = true;
    else if (a == "--keep-trailer" && !encode)
      opt.KeepTrailer = true;
    else if (a.size() > 1 && a[0] == '-')
      return false;
    else
      opt.Files.push_back(a);
  }
  return opt.Files.size() == 2;
}

int Encode(const Options& opt) {
  std::string text;
  if (!qv::ix5::ReadFile(opt.Files[0], text)) return Fail("cannot read " + opt.Files[0]);
  std::string plain = text;
  if (opt.Utf8) {
    std::string error;
    size_t bad = 0;
    if (!qv::ix5::Utf8ToLatin1(text, plain, error, bad))
      return Fail(opt.Files[0] + ":" + std::to_string(qv::ix5::LineOfOffset(text, bad)) + ": " + error);
  }
  if (opt.Lookup) {
    if (plain.empty() || plain.back() != '\n') return Fail(opt.Files[0] + ": a lookup file must end with a line feed");
    qv::ix5::AppendLookupTrailer(plain);
  }
  if (!qv::ix5::WriteFile(opt.Files[1], qv::ix5::Encode(plain))) return Fail("cannot write " + opt.Files[1]);
  return 0;
}

int Decode(const Options& opt) {
  std::string stored;
  if (!qv::ix5::ReadFile(opt.Files[0], stored)) return Fail("cannot read " + opt.Files[0]);
  std::string plain = qv::ix5::Decode(stored);
  if (!opt.KeepTrailer) qv::ix5::StripLookupTrailer(plain);
  std::string out = opt.Utf8 ? qv::ix5::Latin1ToUtf8(plain) : plain;
  if (!qv::ix5::WriteFile(opt.Files[1], out)) return Fail("cannot write " + opt.Files[1]);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const bool encode = std::strcmp(argv[1], "encode") == 0;
  const bool decode = std::strcmp(argv[1], "decode") == 0;
  if (!encode && !decode) return Usage();
  Options opt;
  if (!ParseOptions(argc, argv, opt, encode)) return Usage();
  return encode ? Encode(opt) : Decode(opt);
}
