// The platform of the tests: records every box, status text, close request, shell "open" and
// log text in the order they happen, and answers Yes/No boxes from a script.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace hangarscan {

struct PlatformEvent {
  enum class Kind { Box, Status, Close, ShellOpen, Log };
  Kind kind;
  BoxKind box = BoxKind::Ok;  // for Box
  std::string caption;        // for Box
  std::string text;           // box text, status text, opened path or log text

  bool operator==(const PlatformEvent&) const = default;
};

class ScriptedPlatform : public Platform {
 public:
  BoxAnswer ShowMessageBox(BoxKind kind, std::string_view caption, std::string_view text) override;
  void SetStatusText(std::string_view text) override;
  void RequestClose() override;
  std::string ExecutablePath() override { return executablePath; }
  LocalDateTime LocalTime() override { return localTime; }
  std::uint32_t MillisecondClock() override;
  bool ListDirectory(const std::string& folder, const ListingVisitor& visit) override;
  void ShellOpen(const std::string& path) override;
  void OnLogText(std::string_view text) override;

  // The events of one kind, in order.
  std::vector<PlatformEvent> Only(PlatformEvent::Kind kind) const;

  std::vector<PlatformEvent> events;
  std::deque<BoxAnswer> yesNoAnswers;  // consumed by Yes/No boxes; No when empty
  std::string executablePath;
  LocalDateTime localTime{2018, 5, 4, 9, 7};
  std::deque<std::uint32_t> clockReadings;  // consumed one per reading; 0 when empty
};

// Installs a scripted platform for the life of the object and restores the previous one.
class ScopedScriptedPlatform {
 public:
  ScopedScriptedPlatform();
  ~ScopedScriptedPlatform();
  ScopedScriptedPlatform(const ScopedScriptedPlatform&) = delete;
  ScopedScriptedPlatform& operator=(const ScopedScriptedPlatform&) = delete;
  ScriptedPlatform* operator->() { return &platform_; }
  const ScriptedPlatform* operator->() const { return &platform_; }
  ScriptedPlatform& operator*() { return platform_; }

 private:
  ScriptedPlatform platform_;
  Platform* previous_;
};

}  // namespace hangarscan
