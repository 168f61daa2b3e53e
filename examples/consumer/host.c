/* A minimal host of the quorvant library: checks a case file and prints
 * every finding with the file line of its case's MB line.
 *
 *   host BASE_DIR/ CASE_FILE
 *
 * BASE_DIR is the reference data directory, ending in '/' (installed:
 * PREFIX/share/quorvant/ref/, `pkg-config --variable=refdir quorvant`).
 * Exit status: 0 no findings, 1 findings, 2 error. */
#include <quorvant.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* The library takes cases shorter than 10000 bytes. */
enum { kCaseSize = 10000 };

typedef struct {
  unsigned handle;
  const char* file;
  char header[kCaseSize + 2]; /* the latest MX line, passed in front of every case */
  char data[kCaseSize];   /* the case being collected, lines ending in CR LF */
  size_t size;
  int tooLarge;
  int layoutFixed;
  long caseLine; /* file line of the case's MB line; 0: no case open */
  long cases, casesWithFindings;
} Host;

/* Message texts are ISO 8859-1; print them as UTF-8. */
static void PutLatin1(const char* text) {
  for (const unsigned char* p = (const unsigned char*)text; *p; ++p) {
    if (*p < 0x80) {
      putchar(*p);
    } else {
      putchar(0xC0 | (*p >> 6));
      putchar(0x80 | (*p & 0x3F));
    }
  }
}

/* Checks the collected case and prints its message lines. */
static int CheckCase(Host* h) {
  if (h->caseLine == 0) return 0;
  ++h->cases;
  if (h->tooLarge) {
    fprintf(stderr, "%s:%ld: case of %lu bytes or more skipped\n", h->file, h->caseLine, (unsigned long)kCaseSize);
    return 0;
  }
  int count = QV_TestRec(h->handle, h->data, 0, 0);
  if (count < 0) return -1;
  if (count == 0) return 0;
  /* Room for the whole list: at most 16384 bytes a message line. */
  char* list = malloc((size_t)count * 16384 + 1);
  if (!list) return -1;
  int errors, warnings, hints, controls, structs;
  QV_GetMessageList(h->handle, &errors, &warnings, &hints, &controls, &structs, list);
  ++h->casesWithFindings;
  for (char* line = strtok(list, "\r\n"); line; line = strtok(NULL, "\r\n")) {
    printf("%s:%ld: ", h->file, h->caseLine);
    PutLatin1(line);
    putchar('\n');
  }
  free(list);
  return 0;
}

/* The first call of a handle fixes the MB layout (90 or 50 fields) from its
 * first line. An empty MB line with the file's field count does that, so
 * that every real case can carry the MX line in front. */
static void FixLayout(Host* h, const char* mbLine) {
  char empty[kCaseSize] = "MB";
  size_t n = 2;
  for (const char* p = mbLine + 2; *p && n < sizeof empty - 3; ++p)
    if (*p == '|') empty[n++] = '|';
  memcpy(empty + n, "\r\n", 3);
  QV_TestRec(h->handle, empty, 0, 0);
  h->layoutFixed = 1;
}

/* Appends one line (without its line end) to the case with CR LF. */
static void Append(Host* h, const char* line) {
  size_t n = strlen(line);
  if (h->size + n + 3 > kCaseSize) {
    h->tooLarge = 1;
    return;
  }
  memcpy(h->data + h->size, line, n);
  memcpy(h->data + h->size + n, "\r\n", 3);
  h->size += n + 2;
}

static int CheckFile(Host* h, FILE* in) {
  static char line[kCaseSize + 2];
  for (long number = 1; fgets(line, sizeof line, in); ++number) {
    size_t n = strlen(line);
    if (n > 0 && line[n - 1] != '\n' && !feof(in)) {
      fprintf(stderr, "%s:%ld: line of %d bytes or more\n", h->file, number, kCaseSize);
      return -1;
    }
    line[strcspn(line, "\r\n")] = '\0';
    if (strncmp(line, "MX|", 3) == 0) {
      if (CheckCase(h) != 0) return -1;
      h->caseLine = 0;
      snprintf(h->header, sizeof h->header, "%s", line);
    } else if (strncmp(line, "MB|", 3) == 0) {
      if (CheckCase(h) != 0) return -1;
      if (!h->layoutFixed) FixLayout(h, line);
      h->caseLine = number;
      h->size = 0;
      h->tooLarge = 0;
      if (h->header[0]) Append(h, h->header);
      Append(h, line);
    } else if (h->caseLine != 0) {
      Append(h, line);
    } else if (line[0]) {
      fprintf(stderr, "%s:%ld: line outside any case skipped\n", h->file, number);
    }
  }
  return CheckCase(h);
}

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: host BASE_DIR/ CASE_FILE\n");
    return 2;
  }
  static Host h;
  h.file = argv[2];
  FILE* in = fopen(h.file, "rb");
  if (!in) {
    perror(h.file);
    return 2;
  }
  /* One handle per process: create it once, check every case, destroy it. */
  h.handle = QV_Create(argv[1], 0);
  if (h.handle == 0xFFFFFFFFu) {
    fprintf(stderr, "QV_Create failed on the base directory %s\n", argv[1]);
    fclose(in);
    return 2;
  }
  int status = CheckFile(&h, in);
  fclose(in);
  QV_Destroy(h.handle);
  if (status != 0) {
    fprintf(stderr, "%s: check failed\n", h.file);
    return 2;
  }
  printf("%s %s: %ld cases, %ld with findings\n", QV_VersionAppName(), QV_VersionNumber(), h.cases,
         h.casesWithFindings);
  return h.casesWithFindings ? 1 : 0;
}
