#include "support/Fixture.h"

namespace qvtest {

std::vector<std::string> CleanMx() { return {"MX", "71234567", "ZH", "1", "A", "20230101", "1", "", ""}; }

// An outpatient (treatment type "1") "A" case of 2023 without add-on
// records: male, born 15 May 1980, 42 at admission on 1 March 2023 10:00,
// discharged 10 March 12:00, residence postcode 8001, Swiss, main diagnosis
// J189 and main treatment 8952 begun on the day of admission at 12:00.
std::vector<std::string> CleanMb() {
  return With(std::vector<std::string>(90),
              {{0, "MB"},         {2, "01"},          {3, "ZH"},          {4, "ABCDEF0123456789"}, {5, "A"},
               {6, "0"},          {7, "0"},           {8, "0"},           {9, "0"},                {10, "1"},
               {11, "19800515"},  {12, "42"},         {13, "8001"},       {14, "CHE"},             {15, "2023030110"},
               {16, "1"},         {17, "2"},          {18, "1"},          {19, "1"},               {20, "1"},
               {21, "0"},         {22, "0"},          {23, "M100"},       {24, "1"},               {25, "2023031012"},
               {26, "1"},         {27, "1"},          {28, "1"},          {29, "J189"},            {59, "8952"},
               {60, "2023030112"}});
}

// The detail record of the clean MB case (the MB then announces it in f8):
// hospital in 8001, main diagnosis J189 with its present-on-admission
// indicator (the hospital's canton ZH asks for it), main treatment 8952
// begun on 1 March 2023 at 12:00 as in the MB.
std::vector<std::string> CleanMd() {
  return With(std::vector<std::string>(696),
              {{0, "MD"}, {1, "8001"}, {3, "J189"}, {5, "1"}, {154, "8952"}, {156, "2023030112"}});
}

// A live-born single child of a mother born 1 January 1990, 40 weeks,
// 3400 g, 50 cm, born at 10:30, first pregnancy after one earlier birth.
std::vector<std::string> CleanMn() {
  return {"MN", "1", "1030", "1", "1", "1", "3400", "50", "0", "0", "19900101", "400", "400", "1", "1", "0", "0", "0"};
}

// A psychiatric stay whose group codes agree with the clean MB (stay before
// admission, referring instance and the discharge fields all in group 1):
// civil status, stay before, full-time employed, education, referring
// instance, welfare placement, treatment, antidepressants, discharge
// decision, stay and treatment after, treatment area; voluntariness and days
// are no longer asked for.
std::vector<std::string> CleanMp() {
  return With(std::vector<std::string>(34, "0"),
              {{0, "MP"}, {1, "1"}, {2, "11"}, {4, "1"}, {12, "3"}, {13, "11"}, {14, ""}, {15, "2"}, {16, ""},
               {17, "1"}, {20, "1"}, {30, "11"}, {31, "11"}, {32, "10"}, {33, "1"}});
}

std::vector<std::string> CleanMk() { return {"MK", "1", "2", "3"}; }

}  // namespace qvtest
