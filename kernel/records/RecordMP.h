// The psychiatry add-on line ("MP|"): situation before admission, admission,
// treatment and discharge of a psychiatric stay.
#pragma once

#include "records/Record.h"

namespace qv {

class RecordMB;

class RecordMP : public Record {
 public:
  RecordMP();
  ~RecordMP() override;

  void TestRecord() override;

  const char* F[34] = {};
};

}  // namespace qv
