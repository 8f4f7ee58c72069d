#include "app/win32/about_dlg.h"

#include "app/win32/resource.h"

namespace hangarscan {

void CAboutDlg::DoModal(HWND owner) {
  DialogBoxParamA(instance_, MAKEINTRESOURCEA(IDD_ABOUTBOX), owner, DialogProc, 0);
}

INT_PTR CALLBACK CAboutDlg::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(window, LOWORD(wParam));
    return TRUE;
  }
  return FALSE;
}

}  // namespace hangarscan
