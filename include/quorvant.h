/* Quorvant: plausibility checks for hospital case records.
 *
 * The library exports exactly these eight functions with C linkage (stdcall
 * on 32-bit Windows). A host creates one handle on a base directory that
 * holds the reference files, passes the text of one case per QV_TestRec
 * call and fetches the findings with QV_GetMessageList.
 *
 * Only one handle exists at a time; a second QV_Create fails with -1 and
 * leaves the first handle valid. Every export that takes a handle returns -1
 * when the handle is not the live one.
 */
#ifndef QUORVANT_H
#define QUORVANT_H

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32) && !defined(_WIN64)
#define QV_CALL __stdcall
#else
#define QV_CALL
#endif

#if defined(_WIN32)
#if defined(QV_BUILDING_LIBRARY)
#define QV_API __declspec(dllexport)
#else
#define QV_API __declspec(dllimport)
#endif
#else
#define QV_API __attribute__((visibility("default")))
#endif

/* Creates the handle. baseDirectory ends with '/' (the field definitions are
 * read from baseDirectory followed directly by "fields.ix5"); null means the
 * current directory. iLanguage: 0 German, 1 French. Returns the handle, or
 * -1 (0xFFFFFFFF) on failure. */
QV_API unsigned int QV_CALL QV_Create(const char* baseDirectory, int iLanguage);

/* Checks the record lines of one case (an MB line with its add-on lines,
 * optionally preceded by an MX line; lines end in CR LF). The data must be
 * shorter than 10000 bytes. showResult 1 renders the case and starts the
 * viewer program. The fourth argument is ignored. Returns the number of
 * messages of this call, or -1 for a wrong handle. */
QV_API int QV_CALL QV_TestRec(unsigned int handleContext, const char* data, int showResult, int reserved);

/* Copies the counters and the message list of the last QV_TestRec call.
 * messageList must have room for the whole list plus its terminating NUL:
 * the list holds one line per message, so MessageCount * 16384 + 1 bytes
 * always suffice (a line is shorter than 16384 bytes); in practice a few
 * hundred bytes per message. Returns 0, or -1 when the last call reported an
 * error (the list then ends with an "S S000 " line) or the handle is wrong. */
QV_API int QV_CALL QV_GetMessageList(unsigned int handleContext, int* errorCount, int* warningCount,
                                     int* hintCount, int* controlCount, int* structCount, char* messageList);

/* Releases the handle and everything it owns. Returns 0, or -1. */
QV_API int QV_CALL QV_Destroy(unsigned int handleContext);

/* Replaces the format of the message lines, for example
 * "{{SYS.MsgType}}: {{SYS.ErrorNr}} {{SYS.Text2}}\r\n". Null restores the
 * default. Does nothing while no handle exists. Returns 0. */
QV_API int QV_CALL QV_setFormatString(const char* formatString);

/* Constant identification texts; the caller must not free them. */
QV_API const char* QV_CALL QV_VersionAppName(void);
QV_API const char* QV_CALL QV_VersionNumber(void);
QV_API const char* QV_CALL QV_VersionDate(void);

#ifdef __cplusplus
}
#endif

#endif /* QUORVANT_H */
