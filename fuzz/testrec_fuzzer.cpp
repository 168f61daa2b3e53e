// libFuzzer target: arbitrary bytes as the data of QV_TestRec. Any input must
// leave the library without a crash, a sanitizer report or a hang; the
// message list must always be fetchable.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "quorvant.h"

namespace {
unsigned g_handle = 0xFFFFFFFFu;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* base = std::getenv("QV_FUZZ_BASE");
  g_handle = QV_Create(base ? base : "build/ref/", 0);
  if (g_handle == 0xFFFFFFFFu) std::abort();
  // The first call fixes the MB layout; later inputs may try any other.
  std::string mb = "MB";
  for (int i = 1; i < 90; ++i) mb += "|";
  mb += "|\r\n";
  QV_TestRec(g_handle, mb.c_str(), 0, 0);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);  // stops at the first NUL for the library
  int count = QV_TestRec(g_handle, text.c_str(), 0, 0);
  if (count < 0) std::abort();
  // Room for the longest list a call can produce, allocated once.
  static std::vector<char> list;
  const size_t need = static_cast<size_t>(count) * 16384 + 1;
  if (list.size() < need) list.resize(need);
  int counts[5];
  QV_GetMessageList(g_handle, &counts[0], &counts[1], &counts[2], &counts[3], &counts[4], list.data());
  if (counts[0] + counts[1] + counts[2] + counts[3] + counts[4] != count) std::abort();
  return 0;
}
