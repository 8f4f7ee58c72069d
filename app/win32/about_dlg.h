// The about box: the icon, the program's name and version, and OK.
#pragma once

#include <windows.h>

namespace hangarscan {

class CAboutDlg {
 public:
  explicit CAboutDlg(HINSTANCE instance) : instance_(instance) {}

  // Shows the box over the owner until OK, Escape or its close box.
  void DoModal(HWND owner);

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HINSTANCE instance_;
};

}  // namespace hangarscan
