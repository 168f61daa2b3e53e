// The record kinds a case is made of, and the entry kinds that name one
// diagnosis or treatment of a case. A new record kind is declared here and
// in kRecordKinds (tDataSource.cpp), beside its record class and its rule
// file.
#pragma once

namespace qv {

// Record kinds, in the order a case's lines come: MX header, MB, then the
// add-on lines. The number is the record type a message line shows.
enum RecordKindNumber { KindMX = 1, KindMB = 2, KindMN = 3, KindMP = 4, KindMD = 5, KindMK = 6 };
constexpr int kRecordKindLimit = 7;  // one past the last kind number; kinds are numbered 1 on without a gap

// Entry kinds, numbered on from the record kinds: a finding about one
// diagnosis or treatment carries one of these and the entry's position.
enum EntryKindNumber { EntryDiagnosis = 7, EntryTreatment = 8 };
static_assert(kRecordKindLimit <= EntryDiagnosis, "record and entry kinds share the record-type numbers");

// What getNextRecType reports for a line that is no record.
enum LineKindNumber { LineEmpty = 98, LineUnknown = 99 };

}  // namespace qv
