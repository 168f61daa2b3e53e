// The fields of one case as the report shows them: read from the library's
// result table, linked to the findings that name them, and cut down to the
// fields that hold a value or a finding.
#pragma once

#include <string>
#include <vector>

#include "WorkBlock.h"
#include "Finding.h"

namespace qv::cli {

struct CaseField {
  std::string record;         // MB, MN, MP or MD
  int field = 0;              // position in the record, counted from 1 (the record kind)
  std::string name;           // variable name such as "1.1.V04"
  std::string label;          // the field's label in the run's language
  std::string value;
  std::string meaning;        // the library's text for the value (value lists, lookups)
  std::vector<int> findings;  // indices of the findings that name the field
};

// Reads the rows of the library's result table (UTF-8). Rows it cannot read
// are skipped.
std::vector<CaseField> ReadCaseTable(const std::string& table);

// Links each finding to the field it names and keeps only the fields that
// hold a value or are named. A finding names a field
//   - by number (the forbidden-character checks: "Feld 5"),
//   - by label: its text starts with the field's label (or labels joined by
//     "/") before ":", as in "Wohnort: Ungültige Angabe",
//   - else by value: one field of its record holds exactly its value.
// The finding's line decides the record (from the case's lines in item).
void LinkFindings(std::vector<CaseField>& fields, const std::vector<Finding>& findings, const CallView& call);

}  // namespace qv::cli
