// The main window: a modal dialog with the refresh, open-log and exit buttons and the status
// text that the core writes to through the platform.
#pragma once

#include <windows.h>

#include "platform/win32/win32_platform.h"

namespace hangarscan {

class CQuillmereDlg {
 public:
  CQuillmereDlg(HINSTANCE instance, Win32Platform& platform);

  // Shows the window until it closes.
  void DoModal();

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);

  BOOL OnInitDialog();
  void AddAboutToSystemMenu();
  void OnCommand(int id);
  bool OnSysCommand(WPARAM command);
  bool OnPaint();

  HINSTANCE instance_;
  Win32Platform& platform_;
  HWND window_ = nullptr;
  HICON icon_;
  HICON smallIcon_;
};

}  // namespace hangarscan
