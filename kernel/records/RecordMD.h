// The detail record ("MD|", 696 fields): the full diagnosis and treatment
// lists with their attributes, intensive care, infant measurements, interim
// discharges and re-admissions.
#pragma once

#include "records/CodeEntry.h"
#include "records/Record.h"

namespace qv {

class RecordMB;
class RecordMN;

constexpr int kMdFieldCount = 696;

class RecordMD : public Record {
 public:
  RecordMD();
  ~RecordMD() override;

  void TestRecord() override;
  void onLastChildLoaded() override {}
  void onAfterLoadData() override;

  const char* F[kMdFieldCount] = {};
  RecordMB* MbRecord = nullptr;
  RecordMN* MnRecord = nullptr;
};

}  // namespace qv
