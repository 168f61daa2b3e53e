#include "foundation/FileText.h"

#include <climits>
#include <cstdio>

namespace qv {

char* ReadWholeFile(const char* path, int& length) {
  length = 0;
  FILE* f = std::fopen(path, "rb");
  if (!f) return nullptr;
  std::fseek(f, 0, SEEK_END);
  long size = std::ftell(f);
  std::fseek(f, 0, SEEK_SET);
  if (size < 0) size = 0;
  if (size > INT_MAX - 1) size = INT_MAX - 1;
  char* text = new char[static_cast<size_t>(size) + 1];
  length = static_cast<int>(std::fread(text, 1, static_cast<size_t>(size), f));
  text[length] = '\0';
  std::fclose(f);
  return text;
}

}  // namespace qv
