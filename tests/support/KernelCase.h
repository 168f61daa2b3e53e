// One tDataSource on a fixture base directory, set up as QV_Create does, for
// tests that look at the kernel objects after a run. The statistics year
// its runs set is restored when it ends.
#pragma once

#include <memory>
#include <string>

#include "support/Fixture.h"

namespace qv {
class tDataSource;
}

namespace qvtest {

class KernelCase {
 public:
  KernelCase();
  ~KernelCase();
  KernelCase(const KernelCase&) = delete;
  KernelCase& operator=(const KernelCase&) = delete;

  // Loads and processes one call's data; returns qv_ProcessData's result,
  // or -1 when the data is refused.
  int Run(const std::string& data);
  qv::tDataSource& Source() { return *source_; }
  const std::string& Base() const { return base_; }

 private:
  StatYearScope year_{qv::StatYear};
  std::string base_;
  std::unique_ptr<qv::tDataSource> source_;
};

}  // namespace qvtest
