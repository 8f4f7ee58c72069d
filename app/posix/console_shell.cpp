#include "app/posix/console_shell.h"

#include <string>
#include <string_view>

#include "env/installation.h"
#include "env/run_log.h"
#include "refresh/refresh_command.h"

namespace hangarscan {
namespace {

enum class Command { Refresh, OpenLog, About, Exit, None, Unknown };

Command CommandOf(std::string_view line) {
  const std::size_t first = line.find_first_not_of(" \t");
  if (first == std::string_view::npos) return Command::None;
  line = line.substr(first, line.find_last_not_of(" \t") + 1 - first);
  if (line == "refresh" || line == "r") return Command::Refresh;
  if (line == "log" || line == "l") return Command::OpenLog;
  if (line == "about" || line == "a") return Command::About;
  if (line == "exit" || line == "x" || line == "q") return Command::Exit;
  return Command::Unknown;
}

void PrintWindow(std::FILE* out) {
  std::fputs(
      "WingsteadP3Dv4 - Extract Airport from BGL and refresh airport database\n"
      "This utility will refresh the WingsteadP3D Airport database\n"
      "This can be usefull if you added some new scenery in Prepar3D.\n"
      "Status: not running. Click on the button above.\n"
      "[r] Refresh the Wingstead Airports database   [l] Open log   [a] About Quillmere...   "
      "[x] Exit program\n",
      out);
  std::fflush(out);
}

}  // namespace

int RunConsoleShell(PosixPlatform& platform, std::FILE* out) {
  PrintWindow(out);
  if (DiscoverInstallation() == Discovery::Abort) return 1;
  std::string line;
  while (!platform.closeRequested() && platform.ReadLine(line)) {
    switch (CommandOf(line)) {
      case Command::Refresh:
        RunRefresh();
        break;
      case Command::OpenLog:
        OpenLog();
        break;
      case Command::About:
        platform.ShowMessageBox(BoxKind::Ok, "About Quillmere", "Quillmere Version 1.0");
        break;
      case Command::Exit:
        return 0;
      case Command::None:
        break;
      case Command::Unknown:
        std::fputs("Commands: refresh (r), log (l), about (a), exit (x or q)\n", out);
        std::fflush(out);
        break;
    }
  }
  return 0;
}

}  // namespace hangarscan
