#include "foundation/Logger.h"

#include <chrono>
#include <cstdarg>
#include <cstring>
#include <ctime>
#include <string>

#include "foundation/Platform.h"

namespace qv {

namespace detail {
Logger* instance = nullptr;
bool logOn = false;
KeptInfoCall kept;
}  // namespace detail

namespace {
// The log file, open while its directory exists, and the time stamp of the
// current second (formatting the local time for every line would cost more
// than the line).
struct LogFile {
  std::string path;  // empty: the platform's debug log path
  FILE* file = nullptr;
  std::time_t stampSecond = -1;
  char stamp[64] = "";

  const char* Path() const { return path.empty() ? platform::DebugLogPath() : path.c_str(); }
  // Opens the file for appending with a buffer that holds the longest line,
  // so that each line leaves in one write.
  void Open() {
    file = std::fopen(Path(), "a");
    if (file) std::setvbuf(file, nullptr, _IOFBF, kLogTextSize + 128);
  }
  void Close() {
    if (file) std::fclose(file);
    file = nullptr;
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
    std::snprintf(stamp, sizeof stamp, "%s %s %2d %02d:%02d:%02d %d", kDays[local.tm_wday % 7],
                  kMonths[local.tm_mon % 12], local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  local.tm_year + 1900);
    return stamp;
  }
};
LogFile g_log;

// When RefreshLogSwitch last looked at the file system; until it has looked
// (or after the path was set) it looks at its next call.
std::chrono::steady_clock::time_point g_lastLook;
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

void Logger::WriteLine(const char* level) {
  // The file is normally open since the last look; it was closed only when
  // the logger was destroyed or the path was set.
  if (!g_log.file) g_log.Open();
  if (!g_log.file) return;
  // "time TAB level TAB text LF", put together without a format to parse.
  FILE* f = g_log.file;
  std::fputs(g_log.Stamp(), f);
  std::fputc('\t', f);
  std::fputs(level, f);
  std::fputc('\t', f);
  std::fputs(MessageText, f);
  std::fputc('\n', f);
  // Each line reaches the file before the call returns, as if it had been
  // opened and closed for it: a crash loses nothing that was logged.
  std::fflush(f);
}

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
  using Clock = std::chrono::steady_clock;
  const Clock::time_point now = Clock::now();
  if (g_looked && now - g_lastLook < std::chrono::seconds(1)) return;
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
// Formats into MessageText; a kept info call is replaced by this text.
Logger& FormatMessage(const char* format, va_list args) {
  Logger& log = TheLogger();
  detail::kept.render = nullptr;
  std::vsnprintf(log.MessageText, sizeof log.MessageText, format, args);
  return log;
}
}  // namespace

namespace detail {
void LogInfoNow(const char* format, ...) {
  va_list args;
  va_start(args, format);
  Logger& log = FormatMessage(format, args);
  va_end(args);
  log.WriteLine("INFO");
}
}  // namespace detail

void LogError(const char* format, ...) {
  va_list args;
  va_start(args, format);
  Logger& log = FormatMessage(format, args);
  va_end(args);
  log.ErrorState = -1;
  std::snprintf(log.ErrorText, sizeof log.ErrorText, "#E: %.*s", kLogTextSize - 5, log.MessageText);
  if (detail::logOn) log.WriteLine("ERROR");
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
