/* A host program in C that uses the library the way Windows hosts do: load
 * it with LoadLibraryA, resolve the eight exports by their undecorated names
 * with GetProcAddress, create a handle on a base directory, check the cases
 * of a case file in both languages and with two line formats, fetch each
 * message list, and show one case in the viewer program of the base
 * directory (a probe that records its command line).
 *
 * Everything the library returns is written to OUTPUT as plain bytes. With
 * EXPECTED given, OUTPUT must equal it byte for byte, otherwise the program
 * exits with 1. The same source builds for Linux (through a thin
 * LoadLibraryA/GetProcAddress shim over dlopen), which gives the expected
 * output from the Linux library.
 *
 * Usage: host LIBRARY BASEDIR/ CASES OUTPUT [EXPECTED]
 *
 * CASES holds record lines; a blank line ends a case, '#' starts a comment
 * line. Each record line is passed with a CR LF line end. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "quorvant.h"
#include "viewer_report.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
static void Pause(void) { Sleep(100); }
#else
#include <dlfcn.h>
#include <time.h>
typedef void* HMODULE;
static HMODULE LoadLibraryA(const char* path) { return dlopen(path, RTLD_NOW | RTLD_LOCAL); }
static void* GetProcAddress(HMODULE module, const char* name) { return dlsym(module, name); }
static void FreeLibrary(HMODULE module) { dlclose(module); }
static void Pause(void) {
  struct timespec t = {0, 100 * 1000 * 1000};
  nanosleep(&t, NULL);
}
#endif

typedef unsigned(QV_CALL* CreateFn)(const char*, int);
typedef int(QV_CALL* TestRecFn)(unsigned, const char*, int, int);
typedef int(QV_CALL* GetMessageListFn)(unsigned, int*, int*, int*, int*, int*, char*);
typedef int(QV_CALL* DestroyFn)(unsigned);
typedef int(QV_CALL* SetFormatFn)(const char*);
typedef const char*(QV_CALL* TextFn)(void);

#define FAILURE_HANDLE 0xFFFFFFFFu
#define MAX_CASES 64
#define MAX_CASE_BYTES 9999
/* The largest message line is shorter than this; see quorvant.h. */
#define LINE_ROOM 16384

/* A line format that shows every column a host usually wants. */
static const char kWideFormat[] =
    "{{SYS.MsgType}}|{{SYS.ErrorNr}}|{{SYS.LineNr}}|{{SYS.StatYear}}|{{SYS.InvalidData}}|{{SYS.Text1}}\r\n";

static struct {
  CreateFn Create;
  TestRecFn TestRec;
  GetMessageListFn GetMessageList;
  DestroyFn Destroy;
  SetFormatFn SetFormatString;
  TextFn VersionAppName;
  TextFn VersionNumber;
  TextFn VersionDate;
} qv;

static FILE* out;
static int failures;

static void Fail(const char* what, const char* detail) {
  fprintf(stderr, "host: FAILED: %s%s%s\n", what, detail ? ": " : "", detail ? detail : "");
  ++failures;
}

/* Reads a whole file; returns NULL when it cannot be read. */
static char* ReadWholeFile(const char* name, long* size) {
  FILE* f = fopen(name, "rb");
  if (!f) return NULL;
  char* text = NULL;
  long length = 0;
  if (fseek(f, 0, SEEK_END) == 0 && (length = ftell(f)) >= 0 && fseek(f, 0, SEEK_SET) == 0) {
    text = malloc((size_t)length + 1);
    if (text && fread(text, 1, (size_t)length, f) == (size_t)length) {
      text[length] = '\0';
    } else {
      free(text);
      text = NULL;
    }
  }
  fclose(f);
  if (size) *size = length;
  return text;
}

static char* CopyText(const char* text) {
  size_t size = strlen(text) + 1;
  char* copy = malloc(size);
  if (copy) memcpy(copy, text, size);
  return copy;
}

static void AddCase(char* cases[], int* count, int capacity, const char* text) {
  char* copy = *count < capacity ? CopyText(text) : NULL;
  if (copy) cases[(*count)++] = copy;
  else Fail("too many cases, or out of memory", NULL);
}

/* Splits the case file into cases of CR LF terminated record lines. */
static int ReadCases(const char* name, char* cases[], int capacity) {
  char* text = ReadWholeFile(name, NULL);
  if (!text) {
    Fail("cannot read the case file", name);
    return 0;
  }
  int count = 0;
  char current[MAX_CASE_BYTES + 1];
  size_t used = 0;
  char* line = text;
  while (line) {
    char* next = strchr(line, '\n');
    if (next) *next++ = '\0';
    size_t length = strlen(line);
    if (length && line[length - 1] == '\r') line[--length] = '\0';
    if (line[0] == '#') {
      /* comment */
    } else if (length == 0) {
      if (used) AddCase(cases, &count, capacity, current);
      used = 0;
    } else if (used + length + 2 > MAX_CASE_BYTES) {
      Fail("case too long for one call", line);
    } else {
      memcpy(current + used, line, length);
      used += length;
      memcpy(current + used, "\r\n", 3);
      used += 2;
    }
    line = next;
  }
  if (used) AddCase(cases, &count, capacity, current);
  free(text);
  return count;
}

static int ResolveExports(HMODULE library) {
  /* Function pointers are converted through void* (dlsym) or FARPROC
   * (GetProcAddress); both hold any function's address. */
#define RESOLVE(field, type, name)                                      \
  do {                                                                  \
    void (*address)(void) = (void (*)(void))GetProcAddress(library, name); \
    if (!address) Fail("export not found", name);                       \
    qv.field = (type)address;                                           \
  } while (0)
  RESOLVE(Create, CreateFn, "QV_Create");
  RESOLVE(TestRec, TestRecFn, "QV_TestRec");
  RESOLVE(GetMessageList, GetMessageListFn, "QV_GetMessageList");
  RESOLVE(Destroy, DestroyFn, "QV_Destroy");
  RESOLVE(SetFormatString, SetFormatFn, "QV_setFormatString");
  RESOLVE(VersionAppName, TextFn, "QV_VersionAppName");
  RESOLVE(VersionNumber, TextFn, "QV_VersionNumber");
  RESOLVE(VersionDate, TextFn, "QV_VersionDate");
#undef RESOLVE
  return failures == 0;
}

/* Checks one case and writes the counts and the message list. */
static void CheckCase(unsigned handle, const char* label, const char* data, int showResult) {
  int messages = qv.TestRec(handle, data, showResult, 0);
  size_t room = (size_t)(messages > 0 ? messages : 1) * LINE_ROOM + 1;
  char* list = malloc(room);
  if (!list) {
    Fail("out of memory", label);
    return;
  }
  list[0] = '\0';
  int counts[5] = {-9, -9, -9, -9, -9};
  int status = qv.GetMessageList(handle, &counts[0], &counts[1], &counts[2], &counts[3], &counts[4], list);
  fprintf(out, "== %s: messages %d, status %d, errors %d, warnings %d, hints %d, controls %d, structs %d\n", label,
          messages, status, counts[0], counts[1], counts[2], counts[3], counts[4]);
  fwrite(list, 1, strlen(list), out);
  if (messages < 0) Fail("the handle was refused", label);
  free(list);
}

static const char* BaseName(const char* path) {
  const char* name = path;
  for (const char* p = path; *p; ++p)
    if (*p == '/' || *p == '\\') name = p + 1;
  return name;
}

/* Writes one file named by the viewer probe: the name's prefix and the
 * contents, which the library wrote before it started the viewer. */
static void ShowViewerFile(const char* what, const char* name) {
  long size = 0;
  char* text = ReadWholeFile(name, &size);
  fprintf(out, "-- viewer %s: prefix %s, %ld bytes\n", what, strncmp(BaseName(name), "qv5", 3) == 0 ? "qv5" : "other",
          text ? size : -1L);
  if (strncmp(BaseName(name), "qv5", 3) != 0) Fail("the temporary file lacks the prefix qv5", name);
  if (text) fwrite(text, 1, (size_t)size, out);
  else Fail("the viewer's file cannot be read", name);
  free(text);
}

/* Shows the last case in the viewer: the library renders it, writes two
 * temporary files and starts BASEDIR/qv6show.exe, which records its
 * arguments. Destroying the handle must delete both files. */
static void CheckViewer(const char* base, const char* data) {
  char report[4096];
  snprintf(report, sizeof report, "%s%s", base, kViewerReportName);
  remove(report);
  unsigned handle = qv.Create(base, 0);
  if (handle == FAILURE_HANDLE) {
    Fail("QV_Create for the viewer", base);
    return;
  }
  CheckCase(handle, "viewer case", data, 1);
  /* The library waits for the viewer at most three seconds. */
  char* text = NULL;
  for (int tries = 0; tries < 100 && !(text = ReadWholeFile(report, NULL)); ++tries) Pause();
  if (!text) {
    Fail("the viewer left no report", report);
    qv.Destroy(handle);
    return;
  }
  /* The report: the argument count, then one argument per line. */
  char* arguments[8] = {0};
  int count = 0;
  for (char* line = strtok(text, "\n"); line && count < 8; line = strtok(NULL, "\n")) arguments[count++] = line;
  fprintf(out, "-- viewer arguments: %s\n", count > 0 ? arguments[0] : "none");
  if (count == 6) {
    fprintf(out, "-- viewer version: %s | %s | %s\n", arguments[1], arguments[2], arguments[3]);
    ShowViewerFile("message file", arguments[4]);
    ShowViewerFile("table file", arguments[5]);
  } else {
    Fail("the viewer report has not six lines", report);
  }
  if (qv.Destroy(handle) != 0) Fail("QV_Destroy after the viewer", NULL);
  for (int i = 4; i < count && i < 6; ++i) {
    FILE* f = fopen(arguments[i], "rb");
    fprintf(out, "-- viewer file %d after QV_Destroy: %s\n", i - 3, f ? "still there" : "deleted");
    if (f) {
      fclose(f);
      Fail("QV_Destroy left a temporary file", arguments[i]);
    }
  }
  free(text);
}

/* Compares OUTPUT with EXPECTED and names the first differing line. */
static void Compare(const char* outputName, const char* expectedName) {
  long outSize = 0;
  long expectedSize = 0;
  char* actual = ReadWholeFile(outputName, &outSize);
  char* expected = ReadWholeFile(expectedName, &expectedSize);
  if (!actual || !expected) {
    Fail("cannot read the output or the expected lines", expectedName);
  } else if (outSize != expectedSize || memcmp(actual, expected, (size_t)outSize) != 0) {
    long line = 1;
    long i = 0;
    while (i < outSize && i < expectedSize && actual[i] == expected[i]) {
      if (actual[i] == '\n') ++line;
      ++i;
    }
    char where[64];
    snprintf(where, sizeof where, "first difference in line %ld", line);
    Fail("the message lines differ from the expected ones", where);
  } else {
    printf("host: output equals %s (%ld bytes)\n", expectedName, expectedSize);
  }
  free(actual);
  free(expected);
}

int main(int argc, char** argv) {
  if (argc != 5 && argc != 6) {
    fprintf(stderr, "usage: host LIBRARY BASEDIR/ CASES OUTPUT [EXPECTED]\n");
    return 2;
  }
  const char* base = argv[2];
  HMODULE library = LoadLibraryA(argv[1]);
  if (!library) {
    Fail("cannot load the library", argv[1]);
    return 1;
  }
  if (!ResolveExports(library)) return 1;

  char* cases[MAX_CASES];
  int caseCount = ReadCases(argv[3], cases, MAX_CASES);
  if (caseCount == 0) Fail("no case in the case file", argv[3]);
  out = fopen(argv[4], "wb");
  if (!out) {
    Fail("cannot write the output", argv[4]);
    return 1;
  }

  fprintf(out, "version: %s %s %s\n", qv.VersionAppName(), qv.VersionNumber(), qv.VersionDate());
  for (int language = 0; language <= 1; ++language) {
    unsigned handle = qv.Create(base, language);
    if (handle == FAILURE_HANDLE) {
      Fail("QV_Create on the base directory", base);
      continue;
    }
    if (qv.Create(base, language) != FAILURE_HANDLE) Fail("a second QV_Create succeeded", NULL);
    for (int format = 0; format <= 1; ++format) {
      if (qv.SetFormatString(format ? kWideFormat : NULL) != 0) Fail("QV_setFormatString", NULL);
      for (int i = 0; i < caseCount; ++i) {
        char label[64];
        snprintf(label, sizeof label, "case %d, language %d, format %d", i + 1, language, format);
        CheckCase(handle, label, cases[i], 0);
      }
    }
    if (qv.Destroy(handle) != 0) Fail("QV_Destroy", NULL);
    if (qv.Destroy(handle) != -1) Fail("a second QV_Destroy succeeded", NULL);
  }
  if (caseCount > 0) CheckViewer(base, cases[caseCount - 1]);
  fclose(out);

  for (int i = 0; i < caseCount; ++i) free(cases[i]);
  FreeLibrary(library);
  if (argc == 6) Compare(argv[4], argv[5]);
  if (failures) {
    fprintf(stderr, "host: %d check(s) failed\n", failures);
    return 1;
  }
  printf("host: %d case(s) checked\n", caseCount);
  return 0;
}
