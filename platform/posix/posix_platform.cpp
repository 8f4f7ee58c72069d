#include "platform/posix/posix_platform.h"

#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <string>

#include "platform/sorted_listing.h"

#ifdef __APPLE__
#include <mach-o/dyld.h>
#endif

namespace hangarscan {
namespace {

const char* ButtonsOf(BoxKind kind) {
  switch (kind) {
    case BoxKind::Ok:
      return "[OK]";
    case BoxKind::OkQuestion:
      return "[OK] (question)";
    case BoxKind::OkInformation:
      return "[OK] (information)";
    case BoxKind::YesNoQuestion:
      return "[Yes] [No] (question)";
  }
  return "[OK]";
}

// Prints the box text one piece a line, split at each CR LF and at each LF left.
void PrintBoxText(std::FILE* out, std::string_view text) {
  while (true) {
    const std::size_t lf = text.find('\n');
    std::string_view piece = text.substr(0, lf);
    if (lf != std::string_view::npos && !piece.empty() && piece.back() == '\r') {
      piece.remove_suffix(1);
    }
    std::fprintf(out, "| %.*s\n", static_cast<int>(piece.size()), piece.data());
    if (lf == std::string_view::npos) return;
    text.remove_prefix(lf + 1);
  }
}

}  // namespace

PosixPlatform::PosixPlatform(std::FILE* in, std::FILE* out)
    : in_(in), out_(out), interactive_(isatty(fileno(in)) != 0) {}

bool PosixPlatform::ReadLine(std::string& line) {
  line.clear();
  int c;
  while ((c = std::getc(in_)) != EOF && c != '\n')
    line.push_back(static_cast<char>(c));
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return c != EOF || !line.empty();
}

BoxAnswer PosixPlatform::ShowMessageBox(BoxKind kind, std::string_view caption,
                                        std::string_view text) {
  std::fprintf(out_, ".------ %.*s\n", static_cast<int>(caption.size()), caption.data());
  PrintBoxText(out_, text);
  std::fprintf(out_, "'------ %s\n", ButtonsOf(kind));
  std::fflush(out_);
  std::string answer;
  if (kind != BoxKind::YesNoQuestion) {
    if (interactive_) ReadLine(answer);
    return BoxAnswer::Ok;
  }
  while (ReadLine(answer)) {
    if (answer == "y" || answer == "yes") return BoxAnswer::Yes;
    if (!interactive_ || answer == "n" || answer == "no") return BoxAnswer::No;
  }
  return BoxAnswer::No;
}

void PosixPlatform::SetStatusText(std::string_view text) {
  std::fprintf(out_, "%.*s\n", static_cast<int>(text.size()), text.data());
  std::fflush(out_);
}

std::string PosixPlatform::ExecutablePath() {
#ifdef __APPLE__
  char raw[4096];
  std::uint32_t size = sizeof raw;
  if (_NSGetExecutablePath(raw, &size) != 0) return {};
  char resolved[PATH_MAX];
  return realpath(raw, resolved) != nullptr ? resolved : raw;
#else
  char path[4096];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : std::string();
#endif
}

LocalDateTime PosixPlatform::LocalTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min};
}

std::uint32_t PosixPlatform::MillisecondClock() {
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

bool PosixPlatform::ListDirectory(const std::string& folder, const ListingVisitor& visit) {
  return ListSortedDirectory(folder, visit);
}

void PosixPlatform::ShellOpen(const std::string& path) {
#ifdef __APPLE__
  const char* opener = "open";
#else
  const char* opener = "xdg-open";
#endif
  // Detached: the child starts the opener in a grandchild and exits at once.
  const pid_t child = fork();
  if (child == 0) {
    setsid();
    if (fork() == 0) {
      execlp(opener, opener, path.c_str(), static_cast<char*>(nullptr));
    }
    _exit(0);
  }
  if (child > 0) waitpid(child, nullptr, 0);
}

void PosixPlatform::AdviseDenseUse(void* begin, std::size_t bytes) {
#ifdef MADV_HUGEPAGE
  // Only whole large pages inside the range can be advised.
  constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
  const auto first = (reinterpret_cast<std::uintptr_t>(begin) + kLargePage - 1) & ~(kLargePage - 1);
  const auto last = (reinterpret_cast<std::uintptr_t>(begin) + bytes) & ~(kLargePage - 1);
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
  (void)begin;
  (void)bytes;
#endif
}

}  // namespace hangarscan
