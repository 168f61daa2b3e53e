// One diagnosis or treatment of a case (or another looked-up code) with its
// attribute texts: the lookup result plus what the line says about the code.
#pragma once

#include "lookup/LookupFile.h"
#include "records/ParsedDate.h"

namespace qv {

// The longest list of entries a record holds (the MD's treatments).
constexpr int kMaxEntrySlots = 100;

struct CodeEntry : LookupResult {
  // MD diagnoses: laterality (1) and present-on-admission indicator (2);
  // MD treatments: laterality (1) and two further attributes (3, 4).
  const char* Attribute1 = "";
  const char* Attribute2 = "";
  const char* Attribute3 = "";
  const char* Attribute4 = "";
  const char* Attribute5 = "";
  // MD treatments: the begin date/time text and its parsed form.
  const char* DateText = "";
  ParsedDate Date;

  // Nothing is written at this position: no code, attribute or date.
  bool IsBlank() const {
    return !Has(Key) && !Has(Attribute1) && !Has(Attribute2) && !Has(Attribute3) && !Has(Attribute4) &&
           !Has(Attribute5) && !Has(DateText);
  }

 private:
  static bool Has(const char* text) { return text && *text; }
};

// The written positions of an entry list (those not blank), in order.
struct WrittenPositions {
  int Positions[kMaxEntrySlots];
  int Count = -1;  // -1: not collected for the entries as they are now
  void Collect(const CodeEntry* list, int slots) {
    Count = 0;
    for (int k = 0; k < slots && k < kMaxEntrySlots; ++k)
      if (!list[k].IsBlank()) Positions[Count++] = k;
  }
};

}  // namespace qv
