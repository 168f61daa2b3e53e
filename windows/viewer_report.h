/* The viewer probe (qv6show.exe in the test base directory) writes this
 * report beside itself: the number of its arguments, then each argument,
 * one per line. */
#ifndef QV_VIEWER_REPORT_H
#define QV_VIEWER_REPORT_H
static const char kViewerReportName[] = "viewer-report.txt";
#endif
