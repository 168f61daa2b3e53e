// One row of the message text table.
#pragma once

namespace qv {

struct MessageEntry {
  int Number = 0;
  int Count = 0;
  int* KindCounter = nullptr;
  const char* Code = "";
  const char* OldCode = "";
  char TypeLetter = '\0';
  const char* Text = "";
};

}  // namespace qv
