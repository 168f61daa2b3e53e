#include "support/Fixture.h"

namespace qvtest {

// The detail record of the clean MB case (the MB then announces it in f8).
std::vector<std::string> CleanMd() {
  std::vector<std::string> f(696);
  f[0] = "MD";
  f[1] = "8001";
  f[3] = "J189";
  f[154] = "8952";
  f[156] = "2023030112";
  return f;
}

}  // namespace qvtest
