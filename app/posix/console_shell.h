// The console stand-in for the main window: prints the window, runs installation discovery, then
// takes commands one a line from standard input until exit or the end of input.
#pragma once

#include <cstdio>

#include "platform/posix/posix_platform.h"

namespace hangarscan {

// The process exit code: 0 after exit, 1 when installation discovery aborted.
int RunConsoleShell(PosixPlatform& platform, std::FILE* out);

}  // namespace hangarscan
