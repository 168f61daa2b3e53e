/* A host loop over the library alone: reads a case file, cuts it into the
 * texts a host would pass (the file's MX line in front of each MB line with
 * its add-on lines, every line ending in CR LF), then checks every case with
 * QV_TestRec and fetches its list with QV_GetMessageList, as a host does.
 * Only the checking loop is timed; it prints the number of cases, the CPU
 * and wall-clock seconds of the loop, the messages and the peak memory.
 *
 * Usage: qv-host-loop BASEDIR/ FILE [ROUNDS]
 * ROUNDS (default 1) repeats the whole file, for files of a single case. */
/* clock_gettime and getrusage are POSIX. */
#define _POSIX_C_SOURCE 200809L
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <time.h>

#include "quorvant.h"

typedef struct {
  char** texts;
  size_t count;
  size_t capacity;
} CaseList;

static void Fail(const char* what) {
  fprintf(stderr, "qv-host-loop: %s\n", what);
  exit(2);
}

static char* ReadWhole(const char* path, size_t* size) {
  FILE* f = fopen(path, "rb");
  if (!f) Fail("cannot open the case file");
  size_t capacity = 1 << 20, used = 0;
  char* data = malloc(capacity);
  size_t n;
  while (data && (n = fread(data + used, 1, capacity - used - 1, f)) > 0) {
    used += n;
    if (capacity - used < 2) data = realloc(data, capacity *= 2);
  }
  fclose(f);
  if (!data) Fail("out of memory");
  data[used] = '\0';
  *size = used;
  return data;
}

/* Appends the line [begin, end) without its line end, plus CR LF. */
static void AppendLine(char** text, size_t* used, size_t* capacity, const char* begin, const char* end) {
  size_t length = (size_t)(end - begin);
  if (length > 0 && end[-1] == '\r') --length;
  while (*used + length + 3 > *capacity) *text = realloc(*text, *capacity = *capacity * 2 + 64);
  if (!*text) Fail("out of memory");
  memcpy(*text + *used, begin, length);
  memcpy(*text + *used + length, "\r\n", 3);
  *used += length + 2;
}

static void AddCase(CaseList* list, char* text) {
  if (list->count == list->capacity) {
    list->capacity = list->capacity * 2 + 1024;
    list->texts = realloc(list->texts, list->capacity * sizeof *list->texts);
    if (!list->texts) Fail("out of memory");
  }
  list->texts[list->count++] = text;
}

static CaseList CutCases(const char* data, size_t size) {
  CaseList list = {NULL, 0, 0};
  const char* header = NULL;
  const char* headerEnd = NULL;
  char* current = NULL;
  size_t used = 0, capacity = 0;
  const char* end = data + size;
  for (const char* line = data; line < end;) {
    const char* next = memchr(line, '\n', (size_t)(end - line));
    const char* lineEnd = next ? next : end;
    if (lineEnd - line >= 3 && memcmp(line, "MX|", 3) == 0) {
      header = line;
      headerEnd = lineEnd;
    } else if (lineEnd - line >= 3 && memcmp(line, "MB|", 3) == 0) {
      if (current) AddCase(&list, current);
      current = NULL;
      used = capacity = 0;
      if (header) AppendLine(&current, &used, &capacity, header, headerEnd);
      AppendLine(&current, &used, &capacity, line, lineEnd);
    } else if (current && lineEnd > line) {
      AppendLine(&current, &used, &capacity, line, lineEnd);
    }
    line = next ? next + 1 : end;
  }
  if (current) AddCase(&list, current);
  return list;
}

static double Seconds(clockid_t clock) {
  struct timespec t;
  clock_gettime(clock, &t);
  return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    fprintf(stderr, "usage: qv-host-loop BASEDIR/ FILE [ROUNDS]\n");
    return 2;
  }
  long rounds = argc == 4 ? strtol(argv[3], NULL, 10) : 1;
  if (rounds < 1) Fail("ROUNDS must be a positive number");
  size_t size = 0;
  char* data = ReadWhole(argv[2], &size);
  CaseList cases = CutCases(data, size);
  free(data);
  if (cases.count == 0) Fail("the file holds no MB line");

  unsigned handle = QV_Create(argv[1], 0);
  if (handle == 0xFFFFFFFFu) Fail("QV_Create failed (base directory?)");
  /* The first call fixes the MB layout from its first line: prime the
   * handle with the first case's MB line alone, untimed. */
  const char* mb = strstr(cases.texts[0], "MB|");
  if (!mb || QV_TestRec(handle, mb, 0, 0) < 0) Fail("the first case has no MB line");
  size_t listCapacity = 1 << 16;
  char* list = malloc(listCapacity);
  if (!list) Fail("out of memory");
  long long messages = 0, failed = 0;
  double cpu = Seconds(CLOCK_PROCESS_CPUTIME_ID), wall = Seconds(CLOCK_MONOTONIC);
  for (long r = 0; r < rounds; ++r) {
    for (size_t i = 0; i < cases.count; ++i) {
      int count = QV_TestRec(handle, cases.texts[i], 0, 0);
      if (count < 0) Fail("QV_TestRec refused the handle");
      /* The header's bound for the list: one 16384-byte line per message. */
      size_t needed = (size_t)count * 16384 + 1;
      if (needed > listCapacity) {
        free(list);
        list = malloc(listCapacity = needed);
        if (!list) Fail("out of memory");
      }
      int e, w, h, c, s;
      if (QV_GetMessageList(handle, &e, &w, &h, &c, &s, list) != 0) ++failed;
      messages += count;
    }
  }
  cpu = Seconds(CLOCK_PROCESS_CPUTIME_ID) - cpu;
  wall = Seconds(CLOCK_MONOTONIC) - wall;
  QV_Destroy(handle);

  struct rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  double total = (double)cases.count * (double)rounds;
  /* name=value pairs, read by bench/check-throughput.sh */
  printf("cases=%.0f cpu=%.4f wall=%.4f messages=%lld failed=%lld peak_kb=%ld\n", total, cpu, wall, messages, failed,
         usage.ru_maxrss);
  for (size_t i = 0; i < cases.count; ++i) free(cases.texts[i]);
  free(cases.texts);
  free(list);
  return 0;
}
