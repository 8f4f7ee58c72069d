// The POSIX build's program start: the console stands in for the dialog.
#include <cstdio>

#include "app/posix/console_shell.h"
#include "platform/posix/posix_platform.h"

int main() {
  hangarscan::PosixPlatform platform(stdin, stdout);
  hangarscan::SetPlatform(&platform);
  return hangarscan::RunConsoleShell(platform, stdout);
}
