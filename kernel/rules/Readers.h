// Readers the rule conditions of every catalogue are written with: fields of
// the case's MB record, the case kind, the statistics-year windows and the
// character check. The names of the fields that conditions read across
// records are in records/FieldNames.h.
#pragma once

#include "interface/LibraryGlobals.h"
#include "records/CodeLists.h"
#include "records/FieldNames.h"
#include "records/RecordMB.h"

namespace qv {

// Field n of the case's MB record (for an MB the record itself); the empty
// text for a record that belongs to no case.
template <class R>
const char* Mb(const R& r, int n) {
  return r.MbRecord ? r.MbRecord->Field(n) : kEmptyText;
}

// The case is an A case (statistics case kind exactly "A").
template <class R>
bool IsACase(const R& r) {
  return Is(Mb(r, Mb5CaseKind), "A");
}
// The case kind begins with "A" (the tests that read only its first letter).
template <class R>
bool BeginsAsACase(const R& r) {
  return StartsWith(Mb(r, Mb5CaseKind), "A");
}

// Statistics-year windows.
inline bool YearFrom(int first) { return StatYear >= first; }
inline bool YearUntil(int last) { return StatYear <= last; }
inline bool YearIn(int first, int last) { return StatYear >= first && StatYear <= last; }

// The character check of a record line (from 2016 on): a field holds a byte
// the record does not allow. The row shows Value::BadChar().
template <class R>
bool HasForbiddenChar(const R& r) {
  return YearIn(2016, 9999) && r.CheckSpecialChars() != -1;
}

}  // namespace qv
