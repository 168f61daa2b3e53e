// The shape of every test catalogue: one row per test, walked in order by
// RunRules, which logs the test line, checks the condition, counts the
// finding on the record and adds its message. A row reads like its table
// row: code, logged description, message number, counter, what it walks,
// condition, value shown.
//
// A row either tests the record once or walks entries (an entry row may
// write the part of its condition that reads only the case apart, before
// the entry part; both must hold): each diagnosis or
// each treatment that is written (a blank position passes every test), each
// earlier written diagnosis with the same code for every written one
// (duplicates; other pairs cannot fail such a row), or every
// position of the case's MB lists where the MB or the record has a code
// (agreement of the detail record with the MB; positions without a code on
// either side agree). An entry row reports each failing entry with its
// position.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

#include "foundation/Logger.h"
#include "foundation/TextHash.h"
#include "records/CodeEntry.h"
#include "records/Record.h"
#include "records/RecordMB.h"
#include "rules/Readers.h"
#include "rules/RuleInfo.h"

namespace qv {

enum class Walk { Record, EachDiagnosis, EachTreatment, EachEarlierSameDiagnosis, EachMbDiagnosis, EachMbTreatment };

// The entry an entry row looks at: its position in the list and, walking
// earlier entries, the earlier position compared with (else Position).
struct EntryAt {
  const CodeEntry& Entry;
  int Position;
  int Earlier;
};

// The value text a finding shows.
struct Value {
  enum class Source {
    None,
    Field,
    MbField,
    BadChar,
    EntryCode,
    EntryLaterality,
    EntryDate,
    MbEntryCode,
    Diagnosis,
    Treatment
  };
  Source From = Source::None;
  int N = 0;

  static constexpr Value None() { return {Source::None, 0}; }
  // Field n of the record under test.
  static constexpr Value Field(int n) { return {Source::Field, n}; }
  // Field n of the case's MB record.
  static constexpr Value MbField(int n) { return {Source::MbField, n}; }
  // The text of the field the character check found.
  static constexpr Value BadChar() { return {Source::BadChar, 0}; }
  // Of the walked entry: its code, laterality, date text.
  static constexpr Value Code() { return {Source::EntryCode, 0}; }
  static constexpr Value Laterality() { return {Source::EntryLaterality, 0}; }
  static constexpr Value DateText() { return {Source::EntryDate, 0}; }
  // The MB's code at the walked position.
  static constexpr Value MbCode() { return {Source::MbEntryCode, 0}; }
  // The code of own diagnosis / treatment n.
  static constexpr Value Diagnosis(int n) { return {Source::Diagnosis, n}; }
  static constexpr Value Treatment(int n) { return {Source::Treatment, n}; }
};

template <class R>
struct Rule;

namespace detail {
// How an entry row walks its entries; see RunEntryRule.
template <class R>
using EntryWalk = void (*)(R&, const Rule<R>&, const WrittenPositions&, const WrittenPositions&);
template <class R, class F>
void WalkWithKeptCondition(R& rec, const Rule<R>& row, const WrittenPositions& d, const WrittenPositions& t);
template <class R>
void WalkWithPointer(R& rec, const Rule<R>& row, const WrittenPositions& d, const WrittenPositions& t);
// The condition of an entry row written as a lambda without captures, kept
// once when its row is built, so that the row's walk calls it inline.
template <class R, class F>
struct KeptCondition {
  static inline std::optional<F> Fails;
};
}  // namespace detail

template <class R>
struct Rule {
  // A test of the record as a whole.
  Rule(RuleInfo info, bool (*fails)(const R&), Value shows) : Info(info), Fails(fails), Shows(shows) {}
  // A test of entries. An entry row runs once per entry, so for a lambda
  // the walk over the entries is compiled with the condition in it; a named
  // function is called through its pointer.
  template <class F>
  Rule(RuleInfo info, Walk over, F failsAt, Value shows) : Info(info), Over(over), Shows(shows) {
    if constexpr (std::is_empty_v<F>) {
      detail::KeptCondition<R, F>::Fails.emplace(failsAt);
      WalkEntries = &detail::WalkWithKeptCondition<R, F>;
    } else {
      FailsAt = failsAt;
      WalkEntries = &detail::WalkWithPointer<R>;
    }
  }

  // A test of entries whose condition has a part about the case alone,
  // written apart: the entries are walked only when that part holds.
  template <class F>
  Rule(RuleInfo info, Walk over, bool (*caseHolds)(const R&), F failsAt, Value shows)
      : Rule(info, over, failsAt, shows) {
    CaseHolds = caseHolds;
  }

  RuleInfo Info;
  Walk Over = Walk::Record;
  bool (*CaseHolds)(const R&) = nullptr;  // entry rows: the case's part of the condition, if written apart
  bool (*Fails)(const R&) = nullptr;
  bool (*FailsAt)(const R&, const EntryAt&) = nullptr;
  detail::EntryWalk<R> WalkEntries = nullptr;
  Value Shows;
};

// Whether R has diagnosis and treatment lists that entry rows can walk.
template <class R, class = void>
struct HasEntries : std::false_type {};
template <class R>
struct HasEntries<R, std::void_t<decltype(std::declval<const R&>().Diagnoses)>> : std::true_type {};

// Converts the descriptions of every catalogue to ISO 8859-1, once.
void PrepareCatalogues();

namespace detail {
constexpr char kTestLine[] = "Test: %s: %s";
// Renders a kept test line from the rule it names.
inline void RenderKeptTest(char* out, size_t size, const char*, const unsigned char* args) {
  const RuleInfo* rule;
  std::memcpy(&rule, args, sizeof rule);
  std::snprintf(out, size, kTestLine, rule->Code, rule->Description);
}
}  // namespace detail

// Logs "Test: CODE: description"; every test starts with it, every row of
// every case. With the log off only the latest line is kept, to be rendered
// when it is asked for: keeping the rule's address is enough.
inline void LogTest(const RuleInfo& rule) {
  if (detail::logOn) {
    LogInfo(detail::kTestLine, rule.Code, rule.Description);
    return;
  }
  // RenderKeptTest has its format: the kept format is left as it is.
  const RuleInfo* kept = &rule;
  std::memcpy(detail::kept.args, &kept, sizeof kept);
  detail::kept.render = &detail::RenderKeptTest;
}

namespace detail {

inline const char* CodeText(const CodeEntry& e) { return e.Key ? e.Key : kEmptyText; }
inline bool HasCode(const CodeEntry& e) { return e.Key && *e.Key; }

inline bool WalksDiagnoses(Walk w) {
  return w == Walk::EachDiagnosis || w == Walk::EachEarlierSameDiagnosis || w == Walk::EachMbDiagnosis;
}

template <class R>
const char* ValueText(const R& rec, const Value& v, Walk over, const EntryAt* at) {
  switch (v.From) {
    case Value::Source::None: return nullptr;
    case Value::Source::Field: return rec.Field(v.N);
    case Value::Source::MbField: return Mb(rec, v.N);
    case Value::Source::BadChar: return rec.BadCharField;
    case Value::Source::EntryCode: return at ? CodeText(at->Entry) : nullptr;
    case Value::Source::EntryLaterality: return at ? at->Entry.Attribute1 : nullptr;
    case Value::Source::EntryDate: return at ? at->Entry.DateText : nullptr;
    case Value::Source::MbEntryCode: {
      if (!at || !rec.MbRecord) return nullptr;
      const RecordMB& mb = *rec.MbRecord;
      return CodeText(WalksDiagnoses(over) ? mb.Diagnoses[at->Position] : mb.Treatments[at->Position]);
    }
    case Value::Source::Diagnosis:
      if constexpr (HasEntries<R>::value) return CodeText(rec.Diagnoses[v.N]);
      break;
    case Value::Source::Treatment:
      if constexpr (HasEntries<R>::value) return CodeText(rec.Treatments[v.N]);
      break;
  }
  return nullptr;
}

using Written = WrittenPositions;

// Whether R keeps the written positions of its lists from loading (a
// pointer may be null: then they are collected here).
template <class R, class = void>
struct HasWrittenLists : std::false_type {};
template <class R>
struct HasWrittenLists<R, std::void_t<decltype(std::declval<const R&>().WrittenDiagnoses)>> : std::true_type {};
inline const Written* Prepared(const Written& w) { return w.Count >= 0 ? &w : nullptr; }
inline const Written* Prepared(const Written* w) { return w && w->Count >= 0 ? w : nullptr; }

// For written entry n (an index into written.Positions), the index of the
// nearest earlier written entry with the same non-empty code, -1 when none.
// Followed from n, the links give every earlier entry with that code, from
// the nearest back: one pass over the list instead of all its pairs.
inline void LinkEarlierSameCodes(const CodeEntry* list, const Written& written, int (&earlierSame)[kMaxEntrySlots]) {
  constexpr unsigned kSlots = 256;  // a power of two, more than twice kMaxEntrySlots
  static_assert(kSlots > 2 * kMaxEntrySlots, "the table keeps free slots for every probe");
  int latest[kSlots];  // index n of the latest entry seen with a code of this slot, -1 empty
  for (int& slot : latest) slot = -1;
  for (int n = 0; n < written.Count; ++n) {
    earlierSame[n] = -1;
    const char* code = list[written.Positions[n]].Key;
    if (!code || !*code) continue;
    std::size_t length;
    const std::uint32_t hash = HashText(code, length);
    for (unsigned slot = hash & (kSlots - 1);; slot = (slot + 1) & (kSlots - 1)) {
      const int seen = latest[slot];
      if (seen < 0 || __builtin_strcmp(list[written.Positions[seen]].Key, code) == 0) {
        earlierSame[n] = seen;
        latest[slot] = n;
        break;
      }
    }
  }
}

template <class R>
__attribute__((noinline)) void ReportEntry(R& rec, const Rule<R>& row, EntryAt at, int entryKind) {
  rec.Report(row.Info, ValueText(rec, row.Shows, row.Over, &at), entryKind, at.Position);
}

template <class R, class Fails>
void RunEntryRule(R& rec, const Rule<R>& row, const Fails& fails, const Written& diagnoses, const Written& treatments) {
  if constexpr (HasEntries<R>::value) {
    const bool overDiagnoses = WalksDiagnoses(row.Over);
    const CodeEntry* own = overDiagnoses ? rec.Diagnoses : rec.Treatments;
    const int entryKind = overDiagnoses ? EntryDiagnosis : EntryTreatment;
    // The entry is passed apart and the finding built out of line, so that
    // the loop keeps it in registers.
    auto check = [&](const EntryAt& at) {
      if (fails(rec, EntryAt{at.Entry, at.Position, at.Earlier})) ReportEntry(rec, row, at, entryKind);
    };
    if (row.Over == Walk::EachMbDiagnosis || row.Over == Walk::EachMbTreatment) {
      // Every MB position; an own entry beyond the own slots reads as blank.
      static const CodeEntry kBlank{};
      const int ownSlots = overDiagnoses ? rec.DiagnosisSlots : rec.TreatmentSlots;
      const int mbSlots = overDiagnoses ? rec.MbRecord->DiagnosisSlots : rec.MbRecord->TreatmentSlots;
      const CodeEntry* mb = overDiagnoses ? rec.MbRecord->Diagnoses : rec.MbRecord->Treatments;
      for (int k = 0; k < mbSlots; ++k) {
        const CodeEntry& entry = k < ownSlots ? own[k] : kBlank;
        if (!HasCode(entry) && !HasCode(mb[k])) continue;
        check({entry, k, k});
      }
      return;
    }
    const Written& written = overDiagnoses ? diagnoses : treatments;
    if (row.Over == Walk::EachEarlierSameDiagnosis) {
      int earlierSame[kMaxEntrySlots];
      LinkEarlierSameCodes(own, written, earlierSame);
      for (int n = 0; n < written.Count; ++n) {
        const int k = written.Positions[n];
        for (int m = earlierSame[n]; m >= 0; m = earlierSame[m]) check({own[k], k, written.Positions[m]});
      }
      return;
    }
    for (int n = 0; n < written.Count; ++n) {
      const int k = written.Positions[n];
      check({own[k], k, k});
    }
  } else {
    (void)rec, (void)row, (void)fails, (void)diagnoses, (void)treatments;
  }
}

template <class R, class F>
void WalkWithKeptCondition(R& rec, const Rule<R>& row, const Written& diagnoses, const Written& treatments) {
  RunEntryRule(rec, row, *KeptCondition<R, F>::Fails, diagnoses, treatments);
}

template <class R>
void WalkWithPointer(R& rec, const Rule<R>& row, const Written& diagnoses, const Written& treatments) {
  RunEntryRule(rec, row, row.FailsAt, diagnoses, treatments);
}

}  // namespace detail

// Runs every row in order; no test stops the ones after it.
template <class R, size_t N>
void RunRules(R& rec, const Rule<R> (&rows)[N]) {
  PrepareCatalogues();
  detail::Written collectedDiagnoses, collectedTreatments;
  const detail::Written* diagnoses = nullptr;
  const detail::Written* treatments = nullptr;
  for (const Rule<R>& row : rows) {
    LogTest(row.Info);
    if (row.Over == Walk::Record) {
      if (row.Fails(rec)) rec.Report(row.Info, detail::ValueText(rec, row.Shows, row.Over, nullptr));
      continue;
    }
    if constexpr (HasEntries<R>::value) {
      if (row.CaseHolds && !row.CaseHolds(rec)) continue;
      if (!diagnoses) {
        if constexpr (detail::HasWrittenLists<R>::value) {
          diagnoses = detail::Prepared(rec.WrittenDiagnoses);
          treatments = detail::Prepared(rec.WrittenTreatments);
        }
        if (!diagnoses || !treatments) {
          collectedDiagnoses.Collect(rec.Diagnoses, rec.DiagnosisSlots);
          collectedTreatments.Collect(rec.Treatments, rec.TreatmentSlots);
          diagnoses = &collectedDiagnoses;
          treatments = &collectedTreatments;
        }
      }
      row.WalkEntries(rec, row, *diagnoses, *treatments);
    }
  }
}

// Lists a catalogue's rows (so that descriptions can be converted and the
// reference data checked against the code).
template <class R, size_t N>
void AppendRuleInfos(std::vector<RuleInfo*>& out, Rule<R> (&rows)[N]) {
  for (Rule<R>& row : rows) out.push_back(&row.Info);
}

}  // namespace qv
