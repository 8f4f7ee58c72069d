#include "platform/win32/win32_platform.h"

#include <shellapi.h>

#include <string>

namespace hangarscan {
namespace {

UINT StyleOf(BoxKind kind) {
  switch (kind) {
    case BoxKind::Ok:
      return MB_OK;
    case BoxKind::OkQuestion:
      return MB_OK | MB_ICONQUESTION;
    case BoxKind::OkInformation:
      return MB_OK | MB_ICONINFORMATION;
    case BoxKind::YesNoQuestion:
      return MB_YESNO | MB_ICONQUESTION;
  }
  return MB_OK;
}

// Closes a FindFirstFileA listing when it goes out of scope.
class FindHandle {
 public:
  explicit FindHandle(HANDLE handle) : handle_(handle) {}
  ~FindHandle() {
    if (valid()) FindClose(handle_);
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace

BoxAnswer Win32Platform::ShowMessageBox(BoxKind kind, std::string_view caption,
                                        std::string_view text) {
  const int answer =
      MessageBoxA(nullptr, std::string(text).c_str(), std::string(caption).c_str(), StyleOf(kind));
  if (kind != BoxKind::YesNoQuestion) return BoxAnswer::Ok;
  return answer == IDYES ? BoxAnswer::Yes : BoxAnswer::No;
}

void Win32Platform::SetStatusText(std::string_view text) {
  if (statusText_ == nullptr) return;
  SetWindowTextA(statusText_, std::string(text).c_str());
  // The refresh keeps the window from handling its events: repaint now.
  UpdateWindow(statusText_);
}

void Win32Platform::RequestClose() {
  if (dialog_ != nullptr) PostMessageA(dialog_, WM_CLOSE, 0, 0);
}

std::string Win32Platform::ExecutablePath() {
  char path[520] = {};
  GetModuleFileNameA(nullptr, path, sizeof path - 1);
  return path;
}

LocalDateTime Win32Platform::LocalTime() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute};
}

bool Win32Platform::ListDirectory(const std::string& folder, const ListingVisitor& visit) {
  const std::string pattern = folder + "\\*.*";
  WIN32_FIND_DATAA entry;
  FindHandle listing(FindFirstFileA(pattern.c_str(), &entry));
  if (!listing.valid()) return false;
  do {
    visit(entry.cFileName, (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
  } while (FindNextFileA(listing.get(), &entry));
  return true;
}

void Win32Platform::ShellOpen(const std::string& path) {
  ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void Win32Platform::AttachWindow(HWND dialog, HWND statusText) {
  dialog_ = dialog;
  statusText_ = statusText;
}

}  // namespace hangarscan
