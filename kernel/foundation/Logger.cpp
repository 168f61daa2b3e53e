#include "foundation/Logger.h"

#include <cstdarg>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>

#include "foundation/Platform.h"

namespace qv {

namespace detail {
Logger* instance = nullptr;
bool logOn = false;
KeptInfoCall kept;
}  // namespace detail

namespace {
constexpr size_t kLogBufferSize = 1 << 17;

// The log file, open while its directory exists, the lines not yet handed
// to it, and the time stamp of the current second (formatting the local time
// for every line would cost more than the line).
struct LogFile {
  std::string path;  // empty: the platform's debug log path
  FILE* file = nullptr;
  // Lines gathered during an exported call (a case logs about 50 KB); they
  // leave in one write when the call returns or the buffer is full.
  std::unique_ptr<char[]> pending;
  size_t used = 0;
  std::time_t stampSecond = -1;
  char stamp[64] = "";
  size_t stampLength = 0;

  const char* Path() const { return path.empty() ? platform::DebugLogPath() : path.c_str(); }
  void Open() {
    file = std::fopen(Path(), "a");
    // Unbuffered: the gathered lines are the buffer.
    if (file) std::setvbuf(file, nullptr, _IONBF, 0);
  }
  void Close() {
    Flush();
    if (file) std::fclose(file);
    file = nullptr;
  }
  void Flush() {
    if (file && used > 0) std::fwrite(pending.get(), 1, used, file);
    used = 0;
  }
  void Append(const char* text, size_t length) {
    if (!pending) pending.reset(new char[kLogBufferSize]);
    if (used + length > kLogBufferSize) Flush();
    if (length > kLogBufferSize) {
      std::fwrite(text, 1, length, file);
      return;
    }
    std::memcpy(pending.get() + used, text, length);
    used += length;
  }
  const char* Stamp() {
    const std::time_t now = std::time(nullptr);
    if (now == stampSecond) return stamp;
    stampSecond = now;
    const std::tm local = platform::LocalNow();
    // The classic 24-character form "Www Mmm dd hh:mm:ss yyyy" with the day
    // padded by a blank and English names whatever the locale, written out by
    // hand: the Windows C runtime's strftime lacks "%e" and its asctime pads
    // the day with a zero.
    static const char kDays[7][4] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char kMonths[12][4] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const int length = std::snprintf(stamp, sizeof stamp, "%s %s %2d %02d:%02d:%02d %d", kDays[local.tm_wday % 7],
                                     kMonths[local.tm_mon % 12], local.tm_mday, local.tm_hour, local.tm_min,
                                     local.tm_sec, local.tm_year + 1900);
    stampLength = length < 0 ? 0 : std::strlen(stamp);
    return stamp;
  }
};
LogFile g_log;

// When RefreshLogSwitch last looked at the file system; until it has looked
// (or after the path was set) it looks at its next call.
std::uint64_t g_lastLook = 0;  // platform::CoarseMilliseconds
bool g_looked = false;
}  // namespace

Logger::Logger() {
  ErrorText[0] = '\0';
  std::snprintf(MessageText, sizeof MessageText, "%s", "OK");
}

Logger::~Logger() = default;

void Logger::Materialize() {
  detail::KeptInfoCall& kept = detail::kept;
  if (!kept.render) return;
  kept.render(MessageText, sizeof MessageText, kept.format, kept.args);
  kept.render = nullptr;
  kept.format = nullptr;
}

void Logger::WriteLine(const char* level, size_t textLength) {
  // The file is normally open since the last look; it was closed only when
  // the logger was destroyed or the path was set.
  if (!g_log.file) g_log.Open();
  if (!g_log.file) return;
  // "time TAB level TAB text LF", put together without a format to parse.
  const char* stamp = g_log.Stamp();
  g_log.Append(stamp, g_log.stampLength);
  g_log.Append("\t", 1);
  g_log.Append(level, std::strlen(level));
  g_log.Append("\t", 1);
  g_log.Append(MessageText, textLength);
  g_log.Append("\n", 1);
}

void FlushLog() { g_log.Flush(); }

Logger& detail::CreateLogger() {
  if (!instance) instance = new Logger();
  return *instance;
}

void RefreshLogSwitch() {
  // Looking at the file system costs system calls; a host checking cases in
  // a loop would pay them for every case. Looking once a second is enough
  // for a user who creates or removes the directory to turn the log on or
  // off. Opening the file anew at each look is the test whether the
  // directory exists, and it follows a directory or file that was removed
  // and created again.
  const std::uint64_t now = platform::CoarseMilliseconds();
  if (g_looked && now - g_lastLook < 1000) return;
  g_lastLook = now;
  g_looked = true;
  g_log.Close();
  g_log.Open();
  detail::logOn = g_log.file != nullptr;
}

void SetLogFilePath(const char* path) {
  g_log.Close();
  g_log.path = path ? path : "";
  g_looked = false;
}

namespace {
// Formats into MessageText and returns the text's length; a kept info call
// is replaced by this text.
size_t FormatMessage(Logger& log, const char* format, va_list args) {
  detail::kept.render = nullptr;
  const int length = std::vsnprintf(log.MessageText, sizeof log.MessageText, format, args);
  if (length < 0) return std::strlen(log.MessageText);
  // The line ends at the first NUL, as a text does (a "%c" may put one in).
  const size_t written = length < kLogTextSize ? static_cast<size_t>(length) : kLogTextSize - 1;
  const void* nul = std::memchr(log.MessageText, '\0', written);
  return nul ? static_cast<size_t>(static_cast<const char*>(nul) - log.MessageText) : written;
}
}  // namespace

namespace detail {
void LogInfoNow(const char* format, ...) {
  va_list args;
  va_start(args, format);
  Logger& log = TheLogger();
  const size_t length = FormatMessage(log, format, args);
  va_end(args);
  log.WriteLine("INFO", length);
}
void LogTextNow(const char* text) {
  Logger& log = TheLogger();
  detail::kept.render = nullptr;
  size_t length = 0;
  while (length < kLogTextSize - 1 && text[length] != '\0') ++length;
  std::memcpy(log.MessageText, text, length);
  log.MessageText[length] = '\0';
  log.WriteLine("INFO", length);
}

bool LogTextsNow(const char* format, const char* const* texts, size_t count) {
  Logger& log = TheLogger();
  char* const out = log.MessageText;
  size_t length = 0, next = 0;
  // Cut at the capacity as snprintf does.
  auto put = [&](const char* text, size_t size) {
    if (size > kLogTextSize - 1 - length) size = kLogTextSize - 1 - length;
    std::memcpy(out + length, text, size);
    length += size;
  };
  for (const char* p = format; *p != '\0'; ++p) {
    if (*p != '%') {
      const char* literal = p;
      while (p[1] != '\0' && p[1] != '%') ++p;
      put(literal, static_cast<size_t>(p - literal) + 1);
    } else if (p[1] == '%') {
      put("%", 1);
      ++p;
    } else if (p[1] == 's' && next < count && texts[next] != nullptr) {
      put(texts[next], std::strlen(texts[next]));
      ++next;
      ++p;
    } else {
      return false;
    }
  }
  out[length] = '\0';
  detail::kept.render = nullptr;
  log.WriteLine("INFO", length);
  return true;
}
}  // namespace detail

void LogError(const char* format, ...) {
  va_list args;
  va_start(args, format);
  Logger& log = TheLogger();
  const size_t length = FormatMessage(log, format, args);
  va_end(args);
  log.ErrorState = -1;
  std::snprintf(log.ErrorText, sizeof log.ErrorText, "#E: %.*s", kLogTextSize - 5, log.MessageText);
  if (detail::logOn) log.WriteLine("ERROR", length);
}

void ClearErrorState() { TheLogger().ErrorState = 0; }

int GetErrorState() { return TheLogger().ErrorState; }

const char* GetLastErrorText() {
  Logger& log = TheLogger();
  if (log.ErrorState == -1) return log.ErrorText;
  log.Materialize();
  return log.MessageText;
}

void DestroyLogger() {
  delete detail::instance;
  detail::instance = nullptr;
  detail::kept.render = nullptr;
  detail::kept.format = nullptr;
  // Lines of a later instance open the file again.
  g_log.Close();
}

}  // namespace qv
