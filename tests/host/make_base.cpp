// Writes a fixture base directory and prints its path (for the C host test).
#include <cstdio>

#include "support/Fixture.h"

int main() {
  std::printf("%s", qvtest::MakeBaseDirectory().c_str());
  return 0;
}
