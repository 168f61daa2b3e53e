// libFuzzer target: arbitrary contents of one reference file. The first
// byte chooses the file of a base directory (a copy of the built reference
// data); the rest is its plain text, stored as the library reads it (shifted
// for the .ix5 files, with the trailer for the lookup tables). QV_Create
// must either refuse the directory or give a handle that checks a case; it
// never crashes, hangs or leaks.
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "quorvant.h"

namespace {

enum class Form { Plain, Shifted, Lookup };

struct Target {
  const char* Name;
  Form Stored;
};

const Target kTargets[] = {
    {"message_dll_d.txt", Form::Plain}, {"message_dll_f.txt", Form::Plain}, {"formatString.txt", Form::Plain},
    {"fields.ix5", Form::Shifted},      {"domainkey.ix5", Form::Shifted},  {"chop.ix5", Form::Lookup},
    {"icd.ix5", Form::Lookup},          {"lregio.ix5", Form::Lookup},      {"natio.ix5", Form::Lookup},
    {"plz.ix5", Form::Lookup},          {"regio.ix5", Form::Lookup},       {"wregio.ix5", Form::Lookup},
    {"bur.ix5", Form::Lookup},          {"vsnr.ix5", Form::Lookup},
};
constexpr size_t kTargetCount = sizeof kTargets / sizeof kTargets[0];

std::string g_base;        // the fuzzed base directory, ending in '/'
std::string g_originals[kTargetCount];
bool g_present[kTargetCount];

std::string Read(const std::string& path, bool& found) {
  std::ifstream in(path, std::ios::binary);
  found = static_cast<bool>(in);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Write(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) std::abort();
}

std::string Stored(const std::string& plain, Form form) {
  std::string out = plain;
  if (form == Form::Lookup) out.append(3, '\x1A');
  if (form != Form::Plain)
    for (char& c : out) c = static_cast<char>(static_cast<unsigned char>(c) + 13);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* env = std::getenv("QV_FUZZ_BASE");
  const std::string source = env ? env : "build/ref/";
  char pattern[] = "/tmp/qvfuzz-ref-XXXXXX";
  if (!::mkdtemp(pattern)) std::abort();
  g_base = std::string(pattern) + "/";
  std::atexit([] {
    std::error_code ec;
    std::filesystem::remove_all(g_base, ec);
  });
  for (size_t i = 0; i < kTargetCount; ++i) {
    g_originals[i] = Read(source + kTargets[i].Name, g_present[i]);
    if (g_present[i]) Write(g_base + kTargets[i].Name, g_originals[i]);
  }
  // The copy must be a working base directory, or nothing below is reached.
  unsigned handle = QV_Create(g_base.c_str(), 0);
  if (handle == 0xFFFFFFFFu) std::abort();
  QV_Destroy(handle);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t which = data[0] % kTargetCount;
  const Target& t = kTargets[which];
  const std::string path = g_base + t.Name;
  Write(path, Stored(std::string(reinterpret_cast<const char*>(data) + 1, size - 1), t.Stored));

  const int language = data[0] / kTargetCount % 2;
  unsigned handle = QV_Create(g_base.c_str(), language);
  if (handle != 0xFFFFFFFFu) {
    std::string mb = "MB";
    for (int i = 0; i < 90; ++i) mb += i == 10 ? "|9" : "|";  // an invalid sex code
    mb += "\r\n";
    int count = QV_TestRec(handle, mb.c_str(), 0, 0);
    if (count < 0) std::abort();
    std::string list(static_cast<size_t>(count) * 16384 + 1, '\0');
    int counts[5];
    QV_GetMessageList(handle, &counts[0], &counts[1], &counts[2], &counts[3], &counts[4], &list[0]);
    if (QV_Destroy(handle) != 0) std::abort();
  }

  if (g_present[which]) Write(path, g_originals[which]);
  else std::remove(path.c_str());
  return 0;
}
