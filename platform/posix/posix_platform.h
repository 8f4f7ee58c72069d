// The platform of the POSIX build: the console stands in for the dialog. Message boxes are
// printed as blocks that a person and a script read alike; status texts are printed one a line.
#pragma once

#include <cstdio>

#include "platform/platform.h"

namespace hangarscan {

class PosixPlatform : public Platform {
 public:
  PosixPlatform(std::FILE* in, std::FILE* out);

  BoxAnswer ShowMessageBox(BoxKind kind, std::string_view caption, std::string_view text) override;
  void SetStatusText(std::string_view text) override;
  void RequestClose() override { closeRequested_ = true; }
  std::string ExecutablePath() override;
  LocalDateTime LocalTime() override;
  std::uint32_t MillisecondClock() override;
  bool ListDirectory(const std::string& folder, const ListingVisitor& visit) override;
  void ShellOpen(const std::string& path) override;
  void AdviseDenseUse(void* begin, std::size_t bytes) override;

  bool closeRequested() const { return closeRequested_; }
  // Reads one line of input without its line end; false at the end of input.
  bool ReadLine(std::string& line);

 private:
  std::FILE* in_;
  std::FILE* out_;
  bool interactive_;
  bool closeRequested_ = false;
};

}  // namespace hangarscan
