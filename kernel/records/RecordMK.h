// The cantonal add-on line ("MK|" or "MU|"). Its content is the canton's
// own: a line of any length loads, each line keeps its first 30 field texts
// and fields from 30 on are accepted and ignored.
#pragma once

#include "records/Record.h"

namespace qv {

class RecordMB;

constexpr int kMkFieldTexts = 30;

class RecordMK : public Record {
 public:
  RecordMK();
  ~RecordMK() override;

  void TestRecord() override;
  void onLastChildLoaded() override {}
  // Makes room for the line's first 30 fields, whatever the last line held.
  void onBeforeLoadData() override;
  void onAfterLoadData() override {}
  // Only forbidden characters in fields 0 and 1 count.
  int CheckSpecialChars() const override;

  const char* F[kMkFieldTexts] = {};
};

}  // namespace qv
