// Table-driven rule tests on the MB: a clean MB with single fields changed,
// findings as short texts, and the catalogue block a test file covers.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "rules/RuleInfo.h"
#include "support/Fixture.h"

namespace qvtest {

// The clean MB cut or padded to `size` fields, with the given fields set.
std::vector<std::string> MbWith(const Fields& set, size_t size = 90);

// `a` with the fields of `b` written over it.
Fields Plus(Fields a, const Fields& b);

// The clean case moved to year `y` (the statistics year comes from the
// discharge), with codes valid in every year; `more` is written over it.
Fields InYear(int y, const Fields& more = {});

// A call's findings as "T CODE [value]", e.g. "E A02002 [XXXX]" (entry
// findings carry the position); findings on a line other than the first
// end in " @line".
std::vector<std::string> Describe(const Result& r);
// The same for the findings on line `line` of the tests in `rules` only.
std::vector<std::string> Describe(const Result& r, int line, const std::vector<qv::RuleInfo>& rules);

// One case: the MB's changed fields and the findings it must give, in order.
struct Row { const char* Name; Fields Set; std::vector<std::string> Want; };

// Checks every row's MB, followed by the record lines `addOns`, against the
// findings on the MB's line.
void ExpectRows(Handle& h, const std::vector<Row>& rows, const std::string& addOns = "");

// The `count` catalogue rows from the one with code `first`.
std::vector<qv::RuleInfo> CatalogueRows(const std::string& first, size_t count);

}  // namespace qvtest
