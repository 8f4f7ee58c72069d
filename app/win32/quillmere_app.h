// Program start of the Windows product: the common controls, the platform, the main window.
#pragma once

#include <windows.h>

#include "platform/win32/win32_platform.h"

namespace hangarscan {

class CQuillmereApp {
 public:
  explicit CQuillmereApp(HINSTANCE instance) : instance_(instance) {}

  // Runs the program until its main window closes; returns the exit code.
  int Run();

 private:
  // The registry key the program's settings would live under; it keeps none, so the key is
  // never written nor read.
  static constexpr const char* kSettingsKey = "Local AppWizard-Generated Applications";

  HINSTANCE instance_;
  Win32Platform platform_;
};

}  // namespace hangarscan
