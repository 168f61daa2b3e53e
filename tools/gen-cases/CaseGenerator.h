// Generates synthetic hospital cases: an MX header, then MB lines with MN, MP,
// MD and MK add-ons in realistic proportions. Most cases are clean; a set
// share carries one typical fault each.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "CalendarDate.h"

namespace qv::gen {

struct GeneratorSettings {
  std::uint64_t seed = 1;
  int statYear = 2023;
  double faultRate = 0.05;  // share of cases with a fault
  bool lfOnly = false;      // LF line ends instead of CR LF
};

class CaseGenerator {
 public:
  explicit CaseGenerator(const GeneratorSettings& settings);

  // The file header line (with its line end).
  std::string header();
  // The lines of the next case (with line ends).
  std::string nextCase();

  // The kinds of fault, for the record of what a file contains.
  static const std::vector<std::string>& FaultNames();

 private:
  enum class Kind { Adult, Mother, Newborn, Psychiatry, Child };

  int uniform(int low, int high);  // inclusive
  bool chance(double p);
  template <typename T>
  const T& pick(const std::vector<T>& items) {
    return items[static_cast<std::size_t>(uniform(0, static_cast<int>(items.size()) - 1))];
  }
  std::string join(const std::vector<std::string>& fields) const;

  GeneratorSettings settings_;
  std::mt19937_64 rng_;
  std::string bur_;
  std::string canton_;
  std::string hospitalPlz_;
  std::uint64_t caseNumber_ = 0;
};

}  // namespace qv::gen
