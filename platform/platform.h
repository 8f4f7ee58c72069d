// The one way the core reaches the machine it runs on: message boxes, the status text, the
// close request, the executable's path, the clock, directory listings and the shell's "open".
// Implementations: platform/win32 (the product), platform/posix (the console build) and
// platform/scripted (tests). File access is not here: see file_io.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace hangarscan {

// Message boxes never have an owner window; these are the four kinds the program shows.
enum class BoxKind {
  Ok,             // OK button, no icon
  OkQuestion,     // OK button, question icon
  OkInformation,  // OK button, information icon
  YesNoQuestion,  // Yes and No buttons, question icon
};

enum class BoxAnswer { Ok, Yes, No };

struct LocalDateTime {
  int year = 0;
  int month = 0;  // 1 to 12
  int day = 0;    // 1 to 31
  int hour = 0;   // 0 to 23
  int minute = 0;
};

// Called once per directory entry, in listing order.
using ListingVisitor = std::function<void(std::string_view name, bool isDirectory)>;

class Platform {
 public:
  virtual ~Platform() = default;

  virtual BoxAnswer ShowMessageBox(BoxKind kind, std::string_view caption,
                                   std::string_view text) = 0;
  // Replaces the status text and shows it at once, even while a refresh keeps the window busy.
  virtual void SetStatusText(std::string_view text) = 0;
  // Queues a request to close the main window; it closes when it next handles its events.
  virtual void RequestClose() = 0;
  virtual std::string ExecutablePath() = 0;
  virtual LocalDateTime LocalTime() = 0;
  virtual std::uint32_t MillisecondClock() = 0;
  // Lists every entry of a folder (pattern "<folder>\*.*" on Windows). False when the listing
  // cannot be started: missing folder, not a folder, no access.
  virtual bool ListDirectory(const std::string& folder, const ListingVisitor& visit) = 0;
  // The shell's "open" action; its result is not checked.
  virtual void ShellOpen(const std::string& path) = 0;
  // A hint that this memory is about to be filled: where the system has large pages, using them
  // spares one page fault per few table lines. Only the POSIX platform acts on it (on Linux).
  virtual void AdviseDenseUse(void* /*begin*/, std::size_t /*bytes*/) {}
  // Sees every text appended to the run log, in order with the calls above. Only the scripted
  // test platform records it.
  virtual void OnLogText(std::string_view /*text*/) {}
};

// The platform in use; set once by program start (or by a test) before anything else runs.
Platform& ThePlatform();
// Returns the platform it replaces.
Platform* SetPlatform(Platform* platform);

// Separator of composed paths: '\' on Windows, '/' elsewhere.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

}  // namespace hangarscan
