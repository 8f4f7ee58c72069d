// The POSIX build's program start: the console stands in for the main window.
#include <cstdio>
#include <string>

#include "platform/posix/posix_platform.h"

int main() {
  hangarscan::PosixPlatform platform(stdin, stdout);
  hangarscan::SetPlatform(&platform);
  std::printf("WingsteadP3Dv4 - Extract Airport from BGL and refresh airport database\n");
  std::printf("Status: not running. Click on the button above.\n");
  std::printf("[x] Exit program\n");
  std::string command;
  while (platform.ReadLine(command)) {
    if (command == "exit" || command == "x" || command == "q") break;
  }
  return 0;
}
