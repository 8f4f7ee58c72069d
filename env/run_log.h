// The run log "log.txt" in the install root and the two error reports every decoder uses.
// Each line is appended by opening, writing and closing the file, so the log is complete at
// every moment; a log that cannot be opened loses the line silently.
#pragma once

#include <string_view>

#include "env/text.h"

namespace hangarscan {

// Sets LogPath from InstallRoot and starts the log afresh with its header. buildDate has the
// form of __DATE__ ("May  4 2018").
void CreateLog(std::string_view buildDate = __DATE__);

void LogLine(const char* format, ...) HS_PRINTF_FORMAT(1, 2);

// A run error: the box (OK, no icon), one more error, then the log line.
void ReportError(std::string_view boxText, std::string_view caption, const char* logFormat, ...)
    HS_PRINTF_FORMAT(3, 4);

// A read from the current BGL file came up short: one more error, the log line, then the box.
// The caller abandons the file.
void ReportReadError(std::string_view what);

// The "Open log" command of the main window: logs the click, then has the shell open the log.
void OpenLog();

}  // namespace hangarscan
