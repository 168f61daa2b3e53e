#include "support/Fixture.h"

namespace qvtest {

std::vector<std::string> CleanMn() {
  return {"MN", "1", "1030", "1", "1", "1", "3400", "50", "0", "0", "19900101", "400", "400", "1", "1", "0", "0", "0"};
}

std::vector<std::string> CleanMp() {
  std::vector<std::string> f(34);
  f[0] = "MP";
  return f;
}

std::vector<std::string> CleanMk() { return {"MK", "1", "2", "3"}; }

}  // namespace qvtest
