/* A host program in C that loads the library at run time, as vendors do:
 * resolve the exports by name, create a handle on a base directory made
 * from the fixtures, read the version texts, set a format, check that a
 * second create fails while the first handle stays valid, destroy.
 * Usage: host_dlopen LIBRARY BASEDIR/ */
#include <dlfcn.h>
#include <stdio.h>
#include <string.h>

typedef unsigned (*CreateFn)(const char*, int);
typedef int (*TestRecFn)(unsigned, const char*, int, int);
typedef int (*DestroyFn)(unsigned);
typedef int (*FormatFn)(const char*);
typedef const char* (*TextFn)(void);

static int failures = 0;

static void check(int ok, const char* what) {
  if (!ok) {
    fprintf(stderr, "FAILED: %s\n", what);
    ++failures;
  }
}

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: host_dlopen LIBRARY BASEDIR/\n");
    return 2;
  }
  void* lib = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  if (!lib) {
    fprintf(stderr, "dlopen: %s\n", dlerror());
    return 1;
  }
  CreateFn create = (CreateFn)dlsym(lib, "QV_Create");
  TestRecFn testRec = (TestRecFn)dlsym(lib, "QV_TestRec");
  DestroyFn destroy = (DestroyFn)dlsym(lib, "QV_Destroy");
  FormatFn setFormat = (FormatFn)dlsym(lib, "QV_setFormatString");
  TextFn appName = (TextFn)dlsym(lib, "QV_VersionAppName");
  TextFn number = (TextFn)dlsym(lib, "QV_VersionNumber");
  TextFn date = (TextFn)dlsym(lib, "QV_VersionDate");
  check(create && testRec && destroy && setFormat && appName && number && date &&
            dlsym(lib, "QV_GetMessageList") != NULL,
        "all eight exports resolve");
  check(dlsym(lib, "_ZN2qv8LogErrorEPKcz") == NULL, "internal symbols stay hidden");
  if (failures) return 1;

  check(strcmp(appName(), "Quorvant") == 0, "application name");
  check(strcmp(number(), "6.0.8.0 x86") == 0, "version number");
  check(strcmp(date(), "08.01.2024") == 0, "version date");

  unsigned handle = create(argv[2], 0);
  check(handle != 0xFFFFFFFFu, "create on the base directory");
  check(setFormat("{{SYS.ErrorNr}}") == 0, "set a format");
  check(create(argv[2], 1) == 0xFFFFFFFFu, "second create fails");
  check(testRec(handle, "XX|\r\n", 0, 0) == 1, "first handle still valid after a refused create");
  check(destroy(handle) == 0, "destroy");
  check(destroy(handle) == -1, "destroy twice fails");
  dlclose(lib);
  if (failures == 0) printf("host_dlopen: all checks passed\n");
  return failures ? 1 : 0;
}
