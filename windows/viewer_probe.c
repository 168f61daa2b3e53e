/* Stands in for the viewer program qv6show.exe in the host test: records
 * the arguments the library started it with in a report beside itself and
 * exits. It reads nothing, so the host can check the files it was given. */
#include <stdio.h>
#include <string.h>

#include "viewer_report.h"

int main(int argc, char** argv) {
  char report[4096];
  const char* self = argc > 0 ? argv[0] : "";
  size_t dirLength = 0;
  for (size_t i = 0; self[i]; ++i)
    if (self[i] == '/' || self[i] == '\\') dirLength = i + 1;
  if (dirLength + sizeof kViewerReportName > sizeof report) return 1;
  memcpy(report, self, dirLength);
  memcpy(report + dirLength, kViewerReportName, sizeof kViewerReportName);

  /* Written under another name first, so that the host never reads half a
   * report. */
  char partial[4096 + 8];
  snprintf(partial, sizeof partial, "%s.part", report);
  FILE* f = fopen(partial, "wb");
  if (!f) return 1;
  fprintf(f, "%d\n", argc - 1);
  for (int i = 1; i < argc; ++i) fprintf(f, "%s\n", argv[i]);
  if (fclose(f) != 0) return 1;
  remove(report);
  return rename(partial, report) == 0 ? 0 : 1;
}
