#include "foundation/FileText.h"

#include <climits>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include "foundation/Logger.h"

namespace qv {

namespace {
struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

char* Refuse(const char* path, const char* reason, bool* refused) {
  LogError("Reference file '%s' %s", path, reason);
  if (refused) *refused = true;
  return nullptr;
}
}  // namespace

char* ReadWholeFile(const char* path, int& length, bool* refused) {
  length = 0;
  if (refused) *refused = false;
  // A directory opens and reports the largest size; a device or a pipe
  // never ends. Only a regular file has a size to trust.
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(path, ec);
  if (ec || !std::filesystem::exists(status)) return nullptr;
  if (!std::filesystem::is_regular_file(status)) return Refuse(path, "is not a regular file", refused);

  std::unique_ptr<std::FILE, FileCloser> f(std::fopen(path, "rb"));
  if (!f) return nullptr;
  long size = -1;
  if (std::fseek(f.get(), 0, SEEK_END) == 0) size = std::ftell(f.get());
  if (size < 0 || std::fseek(f.get(), 0, SEEK_SET) != 0) return Refuse(path, "has no size to read", refused);
  if (size > INT_MAX - 1) return Refuse(path, "is larger than 2 GiB, more than the library can hold", refused);

  std::unique_ptr<char[]> text(new char[static_cast<size_t>(size) + 1]);
  const size_t read = std::fread(text.get(), 1, static_cast<size_t>(size), f.get());
  // A file that changed while it was read, or a read error, is not used.
  if (read != static_cast<size_t>(size) || std::ferror(f.get()) || std::fgetc(f.get()) != EOF)
    return Refuse(path, "could not be read whole", refused);
  text[read] = '\0';
  length = static_cast<int>(read);
  return text.release();
}

}  // namespace qv
