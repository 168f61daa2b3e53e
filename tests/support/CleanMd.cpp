#include "support/Fixture.h"

namespace qvtest {

// The detail record of the clean MB case (the MB then announces it in f8):
// hospital in 8001, main diagnosis J189 with its present-on-admission
// indicator (the hospital's canton ZH asks for it), main treatment 8952
// begun on 1 March 2023 at 12:00 as in the MB.
std::vector<std::string> CleanMd() {
  std::vector<std::string> f(696);
  f[0] = "MD";
  f[1] = "8001";
  f[3] = "J189";
  f[5] = "1";
  f[154] = "8952";
  f[156] = "2023030112";
  return f;
}

}  // namespace qvtest
