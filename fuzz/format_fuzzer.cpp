// libFuzzer target: arbitrary message line formats for QV_setFormatString,
// applied to the message lists of faulty cases. The input is the format,
// then optionally a NUL and the case data; without it one of three faulty
// cases is used. Every line of the list must stay within the size the
// header promises, and the list within the buffer it asks for.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "quorvant.h"

namespace {
unsigned g_handle = 0xFFFFFFFFu;
constexpr size_t kLineLimit = 16384;

std::string Mb(int field, const char* value) {
  std::string mb = "MB";
  for (int i = 1; i < 90; ++i) mb += i == field ? std::string("|") + value : std::string("|");
  return mb + "|\r\n";
}

// Cases with findings on the MB record, on a diagnosis entry and a structural one.
const std::string kCases[] = {
    Mb(10, "9") + "",
    Mb(8, "1") + "MD" + std::string(40, '|') + "X999X" + std::string(656, '|') + "\r\n",
    "MX|1|2|\r\n" + Mb(12, "77777777"),
};
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* base = std::getenv("QV_FUZZ_BASE");
  g_handle = QV_Create(base ? base : "build/ref/", 0);
  if (g_handle == 0xFFFFFFFFu) std::abort();
  QV_TestRec(g_handle, kCases[0].c_str(), 0, 0);  // fixes the 90-field layout
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* bytes = reinterpret_cast<const char*>(data);
  const void* nul = std::memchr(bytes, '\0', size);
  const size_t formatLength = nul ? static_cast<size_t>(static_cast<const char*>(nul) - bytes) : size;
  const std::string format(bytes, formatLength);
  const std::string data2 = nul ? std::string(bytes + formatLength + 1, size - formatLength - 1)
                                : kCases[size % (sizeof kCases / sizeof kCases[0])];
  if (QV_setFormatString(format.c_str()) != 0) std::abort();
  const int count = QV_TestRec(g_handle, data2.c_str(), 0, 0);
  if (count < 0) std::abort();
  // Exactly the size the header asks for: ASan reports any write behind it.
  const size_t need = static_cast<size_t>(count) * kLineLimit + 1;
  std::unique_ptr<char[]> list(new char[need]);
  int counts[5];
  QV_GetMessageList(g_handle, &counts[0], &counts[1], &counts[2], &counts[3], &counts[4], list.get());
  if (counts[0] + counts[1] + counts[2] + counts[3] + counts[4] != count) std::abort();
  if (std::strlen(list.get()) >= need) std::abort();
  return 0;
}
