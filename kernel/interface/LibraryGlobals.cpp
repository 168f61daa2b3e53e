#include "interface/LibraryGlobals.h"

namespace qv {

int StatYear = 2012;
int iLanguage = 0;
char LanguageLetter = 'd';

}  // namespace qv
