// What identifies a plausibility test: its code, the German description it
// logs, the message number it adds and the record counter it raises.
#pragma once

#include <vector>

namespace qv {

// The record counter a failed test raises; it also decides the type letter
// of its message row (E, W, H).
enum class Counter { Error, Warning, Hint };

struct RuleInfo {
  const char* Code;
  // Written in UTF-8 in the catalogues; ISO 8859-1 once the catalogues are
  // prepared (before the first test runs and in AllRules).
  const char* Description;
  int Msg;
  Counter Kind;
};

inline char TypeLetter(Counter c) { return c == Counter::Error ? 'E' : c == Counter::Warning ? 'W' : 'H'; }

// Every test of every record kind, in catalogue order.
std::vector<RuleInfo> AllRules();

}  // namespace qv
