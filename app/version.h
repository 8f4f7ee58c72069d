/* The program's version: the Windows version resource, the package name and the build read it
   here. Plain preprocessor lines only, so the resource compiler and CMake can read it too. */
#pragma once

#define HANGARSCAN_VERSION_MAJOR 1
#define HANGARSCAN_VERSION_MINOR 0
#define HANGARSCAN_VERSION_PATCH 0
#define HANGARSCAN_VERSION_BUILD 0
#define HANGARSCAN_VERSION_TEXT "1.0.0.0"
