#include "app/win32/quillmere_app.h"

#include <commctrl.h>

#include "app/win32/quillmere_dlg.h"

namespace hangarscan {

int CQuillmereApp::Run() {
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                      ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_USEREX_CLASSES |
                                          ICC_COOL_CLASSES | ICC_INTERNET_CLASSES |
                                          ICC_PAGESCROLLER_CLASS | ICC_NATIVEFNTCTL_CLASS |
                                          ICC_STANDARD_CLASSES | ICC_LINK_CLASS};
  InitCommonControlsEx(&controls);
  SetPlatform(&platform_);
  CQuillmereDlg(instance_, platform_).DoModal();
  SetPlatform(nullptr);
  return 0;
}

}  // namespace hangarscan
