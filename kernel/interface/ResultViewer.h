// The optional result table of a case: the records rendered as HTML, written
// with the viewer's message list to temporary files, and the viewer program
// started on them.
#pragma once

namespace qv {

class tDataSource;

void ShowResult(tDataSource& source);
void ExecAndWait(const char* commandLine, int timeoutMs);

}  // namespace qv
