// Bad reference data is refused when the handle is created: QV_Create
// returns -1 with a logged reason naming the file, and the process goes on.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <new>

#include "Ix5Codec.h"
#include "foundation/Logger.h"
#include "quorvant.h"
#include "support/Fixture.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#define QV_LSAN_DISABLE() __lsan_disable()
#define QV_LSAN_ENABLE() __lsan_enable()
#else
#define QV_LSAN_DISABLE()
#define QV_LSAN_ENABLE()
#endif

// Allocation failure on demand: the allocation after the next failAfter
// ones throws std::bad_alloc (-1: never).
namespace {
long failAfter = -1;
}

void* operator new(std::size_t n) {
  if (failAfter >= 0 && failAfter-- == 0) throw std::bad_alloc();
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

namespace fs = std::filesystem;

void Write(const fs::path& p, const std::string& bytes) {
  fs::remove_all(p);
  qvtest::WriteFile(p.string(), bytes);
}

void MakeDirectory(const fs::path& p) {
  fs::remove_all(p);
  fs::create_directory(p);
}

// The file cut after its first `lines` lines and `more` bytes.
std::function<void(const fs::path&)> Cut(int lines, size_t more) {
  return [=](const fs::path& p) {
    const std::string text = qvtest::ReadFile(p.string());
    size_t at = 0;
    for (int i = 0; i < lines; ++i) at = text.find('\n', at) + 1;
    Write(p, text.substr(0, at + more));
  };
}

// A region table of rows lookup rows in stored form.
std::string RegionTable(int rows) {
  std::string plain = "Key\tde\tfr\n";
  char row[32];
  for (int i = 0; i < rows; ++i)
    plain.append(row, static_cast<size_t>(std::snprintf(row, sizeof row, "R%06d\tde\tfr\n", i)));
  qv::ix5::AppendLookupTrailer(plain);
  return qv::ix5::Encode(plain);
}

struct Damage {
  const char* What;
  const char* File;    // the file the damage is done to, named by the reason
  const char* Reason;  // part of the logged reason
  std::function<void(const fs::path&)> Apply;
};

TEST(BadReference, EveryDamagedDirectoryIsRefusedWithItsReason) {
  const auto write = [](std::string bytes) { return [bytes](const fs::path& p) { Write(p, bytes); }; };
  const Damage damages[] = {
      {"empty message file", "message_dll_d.txt", "holds 0 message rows", write("")},
      {"a few bytes", "message_dll_d.txt", "holds 0 message rows", write("Code\tT")},
      {"all NUL", "message_dll_d.txt", "holds 0 message rows", write(std::string(4096, '\0'))},
      {"all 0xFF", "message_dll_d.txt", "holds 0 message rows", write(std::string(4096, '\xff'))},
      {"CR only", "message_dll_d.txt", "holds 0 message rows", write(std::string(4096, '\r'))},
      {"header and one row", "message_dll_d.txt", "holds 1 message rows; the rules use the numbers 0 to 408",
       write("Code\tTyp\tText\nB0100\tE\tText\n")},
      {"cut inside a row", "message_dll_d.txt", "message 301 has 1 of the three columns", Cut(302, 3)},
      {"French file cut after a row", "message_dll_f.txt", "holds 100 message rows", Cut(101, 0)},
      {"/dev/null", "message_dll_d.txt", "is not a regular file",
       [](const fs::path& p) { fs::remove(p), fs::create_symlink("/dev/null", p); }},
      {"message file a directory", "message_dll_f.txt", "is not a regular file", MakeDirectory},
      {"lookup file a directory", "icd.ix5", "is not a regular file", MakeDirectory},
      {"field definitions a directory", "fields.ix5", "fields.ix5", MakeDirectory},
      {"value lists a directory", "domainkey.ix5", "is not a regular file", MakeDirectory},
      {"format file a directory", "formatString.txt", "is not a regular file", MakeDirectory},
      {"lookup file a pipe", "regio.ix5", "is not a regular file",
       [](const fs::path& p) { fs::remove(p), ::mkfifo(p.c_str(), 0600); }},
      {"lookup table past the slot limit", "regio.ix5", "more than 64000 records in all lookup files",
       write(RegionTable(67000))},
  };
  for (const Damage& d : damages) {
    const std::string base = qvtest::MakeBaseDirectory();
    d.Apply(fs::path(base) / d.File);
    EXPECT_EQ(QV_Create(base.c_str(), 0), 0xFFFFFFFFu) << d.What;
    const std::string reason = qv::GetLastErrorText();
    EXPECT_NE(reason.find(base + d.File), std::string::npos) << d.What << ": " << reason;
    EXPECT_NE(reason.find(d.Reason), std::string::npos) << d.What << ": " << reason;
    qvtest::RemoveDirectory(base);
  }
  // A missing directory, and one named without its trailing separator, are
  // refused too. Nothing of a refused directory stays behind: an intact one
  // gives a handle.
  const std::string base = qvtest::MakeBaseDirectory();
  EXPECT_EQ(QV_Create("/nonexistent/dir/", 0), 0xFFFFFFFFu);
  EXPECT_EQ(QV_Create(base.substr(0, base.size() - 1).c_str(), 0), 0xFFFFFFFFu);
  const unsigned handle = QV_Create(base.c_str(), 1);
  EXPECT_NE(handle, 0xFFFFFFFFu) << qv::GetLastErrorText();
  EXPECT_EQ(QV_Destroy(handle), 0);
  qvtest::RemoveDirectory(base);
}

// An allocation failure at any step of QV_Create becomes its failure
// result, and the library stays usable. (Checking a case allocates nothing.)
// (Memory of a half-built data source is not looked for leaks.)
TEST(BadReference, AllocationFailureNeverLeavesTheLibrary) {
  const std::string base = qvtest::MakeBaseDirectory();
  std::string mb = "MB";
  for (int i = 1; i < 90; ++i) mb += i == 10 ? "|9" : "|";
  mb += "|\r\n";
  std::string list(1 << 20, '\0');
  int counts[5];
  unsigned handle = 0xFFFFFFFFu;
  int failedCreates = 0;
  QV_LSAN_DISABLE();
  for (long n = 0; handle == 0xFFFFFFFFu; ++n, ++failedCreates) {
    failAfter = n;
    handle = QV_Create(base.c_str(), 0);
    failAfter = -1;
  }
  QV_LSAN_ENABLE();
  EXPECT_GT(failedCreates, 10);
  // The handle made after so many failures checks a case (an invalid sex code).
  EXPECT_GT(QV_TestRec(handle, mb.c_str(), 0, 0), 0);
  EXPECT_EQ(QV_GetMessageList(handle, &counts[0], &counts[1], &counts[2], &counts[3], &counts[4], &list[0]), 0);
  EXPECT_NE(list.find("B0101"), std::string::npos) << list.c_str();
  // A new line format that cannot be built leaves the handlers with one
  // that works (the sanitizer build sees any use of a released one).
  for (long n = 0; n < 40; ++n) {
    QV_LSAN_DISABLE();
    failAfter = n;
    QV_setFormatString(n % 2 ? "{{SYS.ErrorNr}}\r\n" : "{{SYS.MsgType}} {{SYS.ErrorNr}}\r\n");
    failAfter = -1;
    QV_LSAN_ENABLE();
    EXPECT_GT(QV_TestRec(handle, mb.c_str(), 0, 0), 0);
    EXPECT_EQ(QV_GetMessageList(handle, &counts[0], &counts[1], &counts[2], &counts[3], &counts[4], &list[0]), 0);
  }
  EXPECT_EQ(QV_Destroy(handle), 0);
  qvtest::RemoveDirectory(base);
}

}  // namespace
