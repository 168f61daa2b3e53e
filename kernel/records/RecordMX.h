// The file header line ("MX|"): sets the statistics year, tests its own
// line, counts the MB lines since it and finishes the case at the end of the
// data by handing over to the MB record.
#pragma once

#include "records/Record.h"

namespace qv {

class RecordMB;

class RecordMX : public Record {
 public:
  RecordMX();
  ~RecordMX() override;

  void TestRecord() override;
  void onLastChildLoaded() override;
  void onBeforeLoadData() override;
  void onAfterLoadData() override;
  void BevoreProcessData();

  const char* F[9] = {};
  ParsedDate HeaderDate;
  int MbCount = 0;

 private:
  // The date text HeaderDate was parsed from (empty while none fits): a
  // host passes the same header with every case of a file, and the same
  // text parses to the same result.
  char ParsedHeaderText[16] = {};
  bool HeaderParsed = false;
};

}  // namespace qv
