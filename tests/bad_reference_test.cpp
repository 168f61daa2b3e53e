// Bad reference data is refused when the handle is created: QV_Create
// returns -1 with a logged reason naming the file, and the process goes on.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "Ix5Codec.h"
#include "foundation/Logger.h"
#include "quorvant.h"
#include "support/Fixture.h"

namespace {

namespace fs = std::filesystem;

void Write(const fs::path& p, const std::string& bytes) {
  fs::remove_all(p);
  std::ofstream(p, std::ios::binary) << bytes;
}

std::string Read(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void MakeDirectory(const fs::path& p) {
  fs::remove_all(p);
  fs::create_directory(p);
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
      {"cut inside a row", "message_dll_d.txt", "message 301 has 1 of the three columns",
       [](const fs::path& p) {
         std::string text = Read(p);
         size_t at = 0;
         for (int i = 0; i < 302; ++i) at = text.find('\n', at) + 1;
         Write(p, text.substr(0, at + 3));
       }},
      {"French file cut after a row", "message_dll_f.txt", "holds 100 message rows",
       [](const fs::path& p) {
         std::string text = Read(p);
         size_t at = 0;
         for (int i = 0; i < 101; ++i) at = text.find('\n', at) + 1;
         Write(p, text.substr(0, at));
       }},
      {"/dev/null", "message_dll_d.txt", "is not a regular file",
       [](const fs::path& p) {
         fs::remove(p);
         fs::create_symlink("/dev/null", p);
       }},
      {"message file a directory", "message_dll_f.txt", "is not a regular file", MakeDirectory},
      {"lookup file a directory", "icd.ix5", "is not a regular file", MakeDirectory},
      {"field definitions a directory", "fields.ix5", "fields.ix5", MakeDirectory},
      {"value lists a directory", "domainkey.ix5", "is not a regular file", MakeDirectory},
      {"format file a directory", "formatString.txt", "is not a regular file", MakeDirectory},
      {"lookup file a pipe", "regio.ix5", "is not a regular file",
       [](const fs::path& p) {
         fs::remove(p);
         ::mkfifo(p.c_str(), 0600);
       }},
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
  // Nothing of a refused directory stays behind: an intact one gives a handle.
  const std::string base = qvtest::MakeBaseDirectory();
  const unsigned handle = QV_Create(base.c_str(), 1);
  EXPECT_NE(handle, 0xFFFFFFFFu) << qv::GetLastErrorText();
  EXPECT_EQ(QV_Destroy(handle), 0);
  qvtest::RemoveDirectory(base);
}

}  // namespace
