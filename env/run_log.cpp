#include "env/run_log.h"

#include <array>
#include <cstdarg>
#include <cstdio>
#include <string>

#include "platform/platform.h"
#include "refresh/refresh_state.h"

namespace hangarscan {
namespace {

constexpr std::string_view kDashes =
    "--------------------------------------------------------------------------";

// Large enough for the longest line any caller composes (a dump of 2,000 characters with its
// label, a read-error text with a full path).
std::array<char, 65536> g_lineBuffer;

void AppendToLog(std::string_view text) {
  TextOutFile log;
  if (!log.Open(std::string(TextOf(gState.LogPath)), WriteMode::Append)) return;
  log.Write(text);
  log.Close();
  ThePlatform().OnLogText(text);
}

void AppendFormatted(const char* format, va_list args) {
  const int wanted = std::vsnprintf(g_lineBuffer.data(), g_lineBuffer.size(), format, args);
  if (wanted < 0) return;
  const std::size_t length =
      static_cast<std::size_t>(wanted) < g_lineBuffer.size() ? wanted : g_lineBuffer.size() - 1;
  AppendToLog({g_lineBuffer.data(), length});
}

std::string LogPathOf(const PathText& installRoot) {
  return std::string(TextOf(installRoot)) + "log.txt";
}

}  // namespace

void CreateLog(std::string_view buildDate) {
  const LocalDateTime now = ThePlatform().LocalTime();
  std::array<char, 100> dateTime;
  FormatText(dateTime.data(), dateTime.size(), "%02i.%02i.%i - %02i:%02i", now.day, now.month,
             now.year, now.hour, now.minute);

  // The day of "May  4 2018" is padded with a blank; the log shows it as "May 04 2018".
  std::array<char, 55> version;
  CopyText(version, buildDate);
  const std::size_t length = TextOf(version).size();
  if (length >= 7 && version[length - 7] == ' ') version[length - 7] = '0';

  std::array<char, 155> header;
  FormatText(header.data(), header.size(),
             "Utility Hangarscan for WingsteadP3Dv4 ver. %s \nLog started %s", version.data(),
             dateTime.data());

  // A log path too long to open leaves the log unopenable: its lines are lost like those of any
  // log that cannot be opened, and none goes to a file of a cut name.
  if (!CopyWhole(gState.LogPath, LogPathOf(gState.InstallRoot))) return;

  TextOutFile log;
  if (!log.Open(std::string(TextOf(gState.LogPath)), WriteMode::Truncate)) return;
  std::string text;
  text.append("\n").append(kDashes).append("\n").append(TextOf(header)).append(" \n");
  text.append(kDashes).append("\n");
  log.Write(text);
  log.Close();
  ThePlatform().OnLogText(text);
}

void LogLine(const char* format, ...) {
  va_list args;
  va_start(args, format);
  AppendFormatted(format, args);
  va_end(args);
}

void ReportError(std::string_view boxText, std::string_view caption, const char* logFormat, ...) {
  ThePlatform().ShowMessageBox(BoxKind::Ok, caption, boxText);
  ++gState.ErrorCount;
  va_list args;
  va_start(args, logFormat);
  AppendFormatted(logFormat, args);
  va_end(args);
}

void ReportReadError(std::string_view what) {
  ++gState.ErrorCount;
  auto& scratch = gState.MessageScratch;
  const int length =
      FormatText(scratch.data(), scratch.size(),
                 "\r\n Error reading '%.*s' !!!\r\n  Bypassing this BGL: %s\r\n",
                 static_cast<int>(what.size()), what.data(), gState.CurrentBglPath.data());
  LogLine("%s\n", scratch.data());
  FormatText(scratch.data() + length, scratch.size() - static_cast<std::size_t>(length), "%s",
             "\r\nSee log file for details");
  ThePlatform().ShowMessageBox(BoxKind::Ok, "Error !", TextOf(scratch));
}

void OpenLog() {
  LogLine("%s\n", "Open log button clicked");
  const std::string path = LogPathOf(gState.InstallRoot);
  if (path.size() <= kMaxPathLength) ThePlatform().ShellOpen(path);
}

}  // namespace hangarscan
