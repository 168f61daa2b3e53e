// The shape of a record's test catalogue: one row per test, walked in order
// by RunRules, which logs the test line, checks the condition, counts the
// finding on the record and adds its message. A row reads like its table
// row: code, logged description, message number, counter, condition, value.
#pragma once

#include <cstddef>
#include <vector>

#include "records/CodeLists.h"
#include "records/Record.h"
#include "records/RecordMB.h"
#include "rules/RuleInfo.h"

namespace qv {

// The value text a finding shows.
struct Value {
  enum class Source { None, OwnField, MbField, BadChar };
  Source From = Source::None;
  int N = 0;

  static constexpr Value None() { return {Source::None, 0}; }
  // Field n of the record under test.
  static constexpr Value Field(int n) { return {Source::OwnField, n}; }
  // Field n of the case's MB record.
  static constexpr Value MbField(int n) { return {Source::MbField, n}; }
  // The text of the field the character check found.
  static constexpr Value BadChar() { return {Source::BadChar, 0}; }
};

template <class R>
struct Rule {
  RuleInfo Info;
  bool (*Fails)(const R&);
  Value Shows;
};

template <class R>
const char* ValueText(const R& rec, const Value& v) {
  switch (v.From) {
    case Value::Source::OwnField: return rec.Field(v.N);
    case Value::Source::MbField: return rec.MbRecord ? rec.MbRecord->Field(v.N) : kEmptyText;
    case Value::Source::BadChar: return rec.BadCharField;
    case Value::Source::None: break;
  }
  return nullptr;
}

// Runs every row in order; no test stops the ones after it.
template <class R, size_t N>
void RunRules(R& rec, const Rule<R> (&rows)[N]) {
  for (const Rule<R>& row : rows) {
    LogTest(row.Info);
    if (row.Fails(rec)) rec.Report(row.Info, ValueText(rec, row.Shows));
  }
}

template <class R, size_t N>
void AppendRuleInfos(std::vector<RuleInfo>& out, const Rule<R> (&rows)[N]) {
  for (const Rule<R>& row : rows) out.push_back(row.Info);
}

}  // namespace qv
