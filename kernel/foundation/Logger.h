// The debug log and the process-wide error state.
//
// Every step logs a line; a failure is reported with LogError, which also
// sets the error state and keeps "#E: " plus the text for the caller. The
// log is written only while its directory exists. When it does not, an info
// call does not format anything: it keeps the format and its arguments, and
// the text is produced only if somebody asks for the latest log text.
#pragma once

#include <cstddef>
#include <cstdio>
#include <new>
#include <tuple>
#include <type_traits>

namespace qv {

constexpr int kLogTextSize = 32768;

class Logger {
 public:
  Logger();
  virtual ~Logger();

  char ErrorText[kLogTextSize];
  char MessageText[kLogTextSize];
  int ErrorState = 0;

  // Whether lines go to the log file; decided once per exported call.
  bool Enabled = false;

  // A kept info call whose text has not been formatted yet.
  static constexpr size_t kArgsCapacity = 64;
  void (*PendingRender)(char*, size_t, const char*, const unsigned char*) = nullptr;
  const char* PendingFormat = nullptr;
  alignas(std::max_align_t) unsigned char PendingArgs[kArgsCapacity];

  // Produces MessageText from the kept call, if there is one.
  void Materialize();
  // Appends "time TAB level TAB MessageText" to the log file.
  void WriteLine(const char* level);
};

namespace detail {
extern Logger* instance;
Logger& CreateLogger();
}  // namespace detail

// The process-wide logger, created on first use.
inline Logger& TheLogger() { return detail::instance ? *detail::instance : detail::CreateLogger(); }

// Decides whether the log file is written (its directory exists). Called at
// the start of each exported function.
void RefreshLogSwitch();

void LogError(const char* format, ...) __attribute__((format(printf, 1, 2)));
void ClearErrorState();
int GetErrorState();
const char* GetLastErrorText();
void DestroyLogger();

namespace detail {

template <class Tuple>
void RenderKept(char* out, size_t size, const char* format, const unsigned char* args) {
  const Tuple& t = *std::launder(reinterpret_cast<const Tuple*>(args));
  if constexpr (std::tuple_size_v<Tuple> == 0) {
    std::snprintf(out, size, "%s", format);
  } else {
    std::apply([&](auto... a) { std::snprintf(out, size, format, a...); }, t);
  }
}

void LogInfoNow(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace detail

// Logs an information line. Arguments must be plain values (numbers,
// pointers, texts that stay valid until the exported call returns).
template <class... A>
void LogInfo(const char* format, A... args) {
  static_assert((std::is_trivially_copyable_v<A> && ...), "log arguments must be plain values");
  Logger& log = TheLogger();
  if (log.Enabled) {
    // Without arguments the text is written as it stands, as RenderKept does.
    if constexpr (sizeof...(A) == 0) detail::LogInfoNow("%s", format);
    else detail::LogInfoNow(format, args...);
    return;
  }
  using Tuple = std::tuple<A...>;
  static_assert(sizeof(Tuple) <= Logger::kArgsCapacity, "too many log arguments");
  new (log.PendingArgs) Tuple(args...);
  log.PendingFormat = format;
  log.PendingRender = &detail::RenderKept<Tuple>;
}

}  // namespace qv
