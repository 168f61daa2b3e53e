#include "support/Fixture.h"

namespace qvtest {

std::vector<std::string> CleanMx() {
  return {"MX", "71234567", "ZH", "1", "A", "20230101", "1", "", ""};
}

// An outpatient (treatment type "1") "A" case of 2023 without add-on
// records: male, born 15 May 1980, 42 at admission on 1 March 2023 10:00,
// discharged 10 March 12:00, residence postcode 8001, Swiss, main diagnosis
// J189 and main treatment 8952 begun on the day of admission at 12:00.
std::vector<std::string> CleanMb() {
  std::vector<std::string> f(90);
  f[0] = "MB";
  f[2] = "01";
  f[3] = "ZH";
  f[4] = "ABCDEF0123456789";
  f[5] = "A";
  f[6] = "0";
  f[7] = "0";
  f[8] = "0";
  f[9] = "0";
  f[10] = "1";
  f[11] = "19800515";
  f[12] = "42";
  f[13] = "8001";
  f[14] = "CHE";
  f[15] = "2023030110";
  f[16] = "1";
  f[17] = "2";
  f[18] = "1";
  f[19] = "1";
  f[20] = "1";
  f[21] = "0";
  f[22] = "0";
  f[23] = "M100";
  f[24] = "1";
  f[25] = "2023031012";
  f[26] = "1";
  f[27] = "1";
  f[28] = "1";
  f[29] = "J189";
  f[59] = "8952";
  f[60] = "2023030112";
  return f;
}

}  // namespace qvtest
