#include "interface/LibraryGlobals.h"

#include "foundation/Logger.h"

namespace qv {

int StatYear = 2012;
int iLanguage = 0;
char LanguageLetter = 'd';

namespace {
// Any exported call creates the logger; one after the last QV_Destroy (a
// second QV_Destroy, say) leaves it alive. It goes when the library is
// unloaded, so that a host that unloads the library loses no memory.
struct LoggerReleasedAtUnload {
  ~LoggerReleasedAtUnload() { DestroyLogger(); }
} loggerReleasedAtUnload;
}  // namespace

}  // namespace qv
