#include "foundation/Logger.h"

#include <chrono>
#include <cstdarg>
#include <cstring>
#include <ctime>

#include "foundation/Platform.h"

namespace qv {

namespace detail {
Logger* instance = nullptr;
}  // namespace detail

namespace {
bool g_logEnabled = false;
}  // namespace

Logger::Logger() {
  ErrorText[0] = '\0';
  std::snprintf(MessageText, sizeof MessageText, "%s", "OK");
  Enabled = g_logEnabled;
}

Logger::~Logger() = default;

void Logger::Materialize() {
  if (!PendingRender) return;
  PendingRender(MessageText, sizeof MessageText, PendingFormat, PendingArgs);
  PendingRender = nullptr;
  PendingFormat = nullptr;
}

void Logger::WriteLine(const char* level) {
  FILE* f = std::fopen(platform::DebugLogPath(), "a");
  if (!f) return;
  char stamp[64];
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
  std::fprintf(f, "%s\t%s\t%s\n", stamp, level, MessageText);
  std::fclose(f);
}

Logger& detail::CreateLogger() {
  if (!instance) instance = new Logger();
  return *instance;
}

void RefreshLogSwitch() {
  // Looking for the directory costs a system call; a host checking cases in
  // a loop would pay it twice per case. Looking once a second is enough for
  // a user who creates the directory to turn the log on.
  using Clock = std::chrono::steady_clock;
  static Clock::time_point lastLook;
  static bool looked = false;
  const Clock::time_point now = Clock::now();
  if (!looked || now - lastLook >= std::chrono::seconds(1)) {
    g_logEnabled = platform::DebugLogDirectoryExists();
    lastLook = now;
    looked = true;
  }
  TheLogger().Enabled = g_logEnabled;
}

namespace {
// Formats into MessageText; a kept info call is replaced by this text.
Logger& FormatMessage(const char* format, va_list args) {
  Logger& log = TheLogger();
  log.PendingRender = nullptr;
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
  if (log.Enabled) log.WriteLine("ERROR");
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
}

}  // namespace qv
