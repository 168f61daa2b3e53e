// The newborn add-on line ("MN|"): the birth and the mother.
#pragma once

#include "records/Record.h"

namespace qv {

class RecordMB;

class RecordMN : public Record {
 public:
  RecordMN();
  ~RecordMN() override;

  void TestRecord() override;
  void onLastChildLoaded() override {}
  void onAfterLoadData() override;

  const char* F[18] = {};
  ParsedDate MotherBirthDate;
};

}  // namespace qv
