// The platform of the Windows product: real message boxes, directory listings, clock and shell.
#pragma once

#include <windows.h>

#include "platform/platform.h"

namespace hangarscan {

class Win32Platform : public Platform {
 public:
  BoxAnswer ShowMessageBox(BoxKind kind, std::string_view caption, std::string_view text) override;
  void SetStatusText(std::string_view text) override;
  void RequestClose() override;
  std::string ExecutablePath() override;
  LocalDateTime LocalTime() override;
  std::uint32_t MillisecondClock() override { return GetTickCount(); }
  bool ListDirectory(const std::string& folder, const ListingVisitor& visit) override;
  void ShellOpen(const std::string& path) override;

  // The main window and its status text control, once the dialog exists.
  void AttachWindow(HWND dialog, HWND statusText);

 private:
  HWND dialog_ = nullptr;
  HWND statusText_ = nullptr;
};

}  // namespace hangarscan
