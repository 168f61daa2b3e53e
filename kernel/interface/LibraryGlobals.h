// Library-wide values: the identification texts, the language of the last
// QV_Create and the statistics year that the year-dependent rules read.
#pragma once

namespace qv {

constexpr const char* kAppName = "Quorvant";
constexpr const char* kVersionNumber = "6.0.8.0 x86";
constexpr const char* kVersionDate = "08.01.2024";

// Statistics year of the data: 2012 until an MX or MB line sets it.
extern int StatYear;
// Language argument of the last QV_Create (0 German, 1 French).
extern int iLanguage;
extern char LanguageLetter;

}  // namespace qv
