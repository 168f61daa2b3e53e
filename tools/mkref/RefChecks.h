// Checks of the plain (Latin-1) text of each reference file against the form
// the library reads. Each check returns its findings as "line N: ..." texts;
// an empty result means the text is fit to ship.
#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace qv::ref {

using Problems = std::vector<std::string>;

// Splits text into lines at LF; a text ending in LF gives no empty last line.
std::vector<std::string_view> SplitLines(std::string_view text);
// Splits a line at TAB; n TABs give n + 1 columns.
std::vector<std::string_view> SplitColumns(std::string_view line);

// Lookup table: header line, keys unique and ascending in byte order, enough
// columns for both text columns, at most 26 data columns, LF line ends.
Problems CheckLookup(std::string_view text, int germanTextColumn);

// Value lists: header line, lines "LIST<TAB>code label<TAB>code label" with
// the same code in both languages, each list contiguous and its codes
// unique. The list names found are added to listNames.
Problems CheckDomainKey(std::string_view text, std::set<std::string>* listNames);

// Field definitions: record lines "R<TAB>kind<TAB>", field lines with name,
// kind, domain and both labels each followed by a TAB, COMBO domains among
// the value lists, LOOKUP domains among the lookup tables, and every field
// of every record kind described exactly once.
Problems CheckFields(std::string_view text, const std::set<std::string>& listNames);

// Message text file: header line, a row "CODE<TAB>TYPE<TAB>TEXT" for every
// message number, a known type letter, "%" only as the one "%i" of a text.
Problems CheckMessages(std::string_view text);

// The German and the French message file name the same code and type in
// every row.
Problems CheckMessagePair(std::string_view german, std::string_view french);

// Field counts per record kind that the field definitions describe.
int ExpectedFieldCount(std::string_view recordKind);

}  // namespace qv::ref
