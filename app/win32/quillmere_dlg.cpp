#include "app/win32/quillmere_dlg.h"

#include <array>

#include "app/win32/about_dlg.h"
#include "app/win32/resource.h"
#include "env/installation.h"
#include "env/run_log.h"
#include "refresh/refresh_command.h"

namespace hangarscan {
namespace {

HICON LoadAppIcon(HINSTANCE instance, int widthMetric, int heightMetric) {
  return static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON,
                                       GetSystemMetrics(widthMetric),
                                       GetSystemMetrics(heightMetric), LR_SHARED));
}

// A dialog placed at the origin of its template opens centred on the screen's work area.
void CentreOnWorkArea(HWND window) {
  RECT area;
  RECT frame;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  GetWindowRect(window, &frame);
  const int left = area.left + (area.right - area.left - (frame.right - frame.left)) / 2;
  const int top = area.top + (area.bottom - area.top - (frame.bottom - frame.top)) / 2;
  SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

CQuillmereDlg::CQuillmereDlg(HINSTANCE instance, Win32Platform& platform)
    : instance_(instance),
      platform_(platform),
      icon_(LoadAppIcon(instance, SM_CXICON, SM_CYICON)),
      smallIcon_(LoadAppIcon(instance, SM_CXSMICON, SM_CYSMICON)) {}

void CQuillmereDlg::DoModal() {
  DialogBoxParamA(instance_, MAKEINTRESOURCEA(IDD_QUILLMERE_DIALOG), nullptr, DialogProc,
                  reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CQuillmereDlg::DialogProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(window, DWLP_USER, lParam);
    reinterpret_cast<CQuillmereDlg*>(lParam)->window_ = window;
  }
  auto* dialog = reinterpret_cast<CQuillmereDlg*>(GetWindowLongPtrA(window, DWLP_USER));
  // Messages sent while the dialog is being created come before WM_INITDIALOG.
  return dialog == nullptr ? FALSE : dialog->Handle(message, wParam, lParam);
}

INT_PTR CQuillmereDlg::Handle(UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog();
    case WM_COMMAND:
      OnCommand(LOWORD(wParam));
      return TRUE;
    case WM_SYSCOMMAND:
      return OnSysCommand(wParam);
    case WM_PAINT:
      return OnPaint();
    case WM_QUERYDRAGICON:
      return reinterpret_cast<INT_PTR>(icon_);
    default:
      return FALSE;
  }
}

BOOL CQuillmereDlg::OnInitDialog() {
  CentreOnWorkArea(window_);
  AddAboutToSystemMenu();
  SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
  platform_.AttachWindow(window_, GetDlgItem(window_, IDC_STATUS));
  DiscoverInstallation();
  // Exit is first in the tab order; the focus goes to the refresh button so that Enter runs
  // the refresh, as the default button promises.
  SetFocus(GetDlgItem(window_, IDC_REFRESH));
  return FALSE;
}

void CQuillmereDlg::AddAboutToSystemMenu() {
  HMENU systemMenu = GetSystemMenu(window_, FALSE);
  std::array<char, 256> text{};
  if (systemMenu == nullptr ||
      LoadStringA(instance_, IDS_ABOUTBOX, text.data(), static_cast<int>(text.size())) == 0) {
    return;
  }
  AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, text.data());
}

void CQuillmereDlg::OnCommand(int id) {
  switch (id) {
    case IDC_REFRESH:
      RunRefresh();
      break;
    case IDC_OPEN_LOG:
      OpenLog();
      break;
    case IDOK:      // "Exit program"
    case IDCANCEL:  // Escape and the close box
      EndDialog(window_, id);
      break;
    default:
      break;
  }
}

bool CQuillmereDlg::OnSysCommand(WPARAM command) {
  // The system keeps the lowest four bits of a system command for itself.
  if ((command & 0xFFF0) != IDM_ABOUTBOX) return false;
  CAboutDlg(instance_).DoModal(window_);
  return true;
}

bool CQuillmereDlg::OnPaint() {
  if (!IsIconic(window_)) return false;
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window_, &paint);
  SendMessageA(window_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client;
  GetClientRect(window_, &client);
  const int left = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int top = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(dc, left, top, icon_);
  EndPaint(window_, &paint);
  return true;
}

}  // namespace hangarscan
