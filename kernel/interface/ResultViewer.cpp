#include "interface/ResultViewer.h"

#include <cstdio>

#include "datasource/tDataSource.h"
#include "foundation/Logger.h"
#include "foundation/Platform.h"
#include "interface/LibraryGlobals.h"

namespace qv {

namespace {
constexpr int kCommandLineSize = 908;
constexpr int kViewerTimeoutMs = 3000;
}  // namespace

void ExecAndWait(const char* commandLine, int timeoutMs) {
  switch (platform::ExecAndWait(commandLine, timeoutMs)) {
    case platform::ExecResult::StartFailed: LogError("#Error on CreateProcess\n"); break;
    case platform::ExecResult::TimedOut: LogInfo("#Timeout on Exec:\n"); break;
    case platform::ExecResult::Finished: break;
  }
}

void ShowResult(tDataSource& source) {
  tBuffer& html = *source.HtmlBuffer;
  html.ResetBuffer();
  html.WriteToBuffer("<table border='1' cellspacing='0' cellpadding='2' width='100%'>\n", -1);
  if (source.Messages->Language == 'f')
    html.WriteToBuffer("<tr><td class=tabtit>Nom</td><td class=tabtit>Texte</td><td class=tabtit>Valeur</td>"
                       "<td class=tabtit>Sens</td></tr>\n", -1);
  else
    html.WriteToBuffer("<tr><td class=tabtit>Name</td><td class=tabtit>Text</td><td class=tabtit>Wert</td>"
                       "<td class=tabtit>Bezeichnung</td></tr>\n", -1);
  for (const RecordKind& k : kRecordKinds)
    if (k.InResultTable && (k.Kind == KindMB || source.RecMB->Has(k.Kind))) source.Records[k.Kind]->RenderHtml();
  html.WriteToBuffer("</table>\n", -1);

  const char* htmlFile = html.WriteBufferToTempFile();
  const char* messageFile = source.Messages->ViewerList->WriteBufferToTempFile();

  char* command = new char[kCommandLineSize];
  int length = std::snprintf(command, kCommandLineSize, "\"%sqv6show.exe\" \"%s\" \"%s\" \"%s\" \"%s\" \"%s\" ",
                             source.QVPath, kAppName, kVersionNumber, kVersionDate, messageFile, htmlFile);
  if (length < 0 || length >= kCommandLineSize) {
    LogError("Viewer command line longer than %i bytes", kCommandLineSize - 1);
  } else {
    LogInfo("ExecAndWait Call: %s", static_cast<const char*>(command));
    ExecAndWait(command, kViewerTimeoutMs);
  }
  delete[] command;
}

}  // namespace qv
