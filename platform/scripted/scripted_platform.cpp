#include "platform/scripted/scripted_platform.h"

#include "platform/sorted_listing.h"

namespace hangarscan {

BoxAnswer ScriptedPlatform::ShowMessageBox(BoxKind kind, std::string_view caption,
                                           std::string_view text) {
  events.push_back({PlatformEvent::Kind::Box, kind, std::string(caption), std::string(text)});
  if (kind != BoxKind::YesNoQuestion) return BoxAnswer::Ok;
  if (yesNoAnswers.empty()) return BoxAnswer::No;
  const BoxAnswer answer = yesNoAnswers.front();
  yesNoAnswers.pop_front();
  return answer;
}

void ScriptedPlatform::SetStatusText(std::string_view text) {
  events.push_back({PlatformEvent::Kind::Status, BoxKind::Ok, {}, std::string(text)});
}

void ScriptedPlatform::RequestClose() {
  events.push_back({PlatformEvent::Kind::Close, BoxKind::Ok, {}, {}});
}

std::uint32_t ScriptedPlatform::MillisecondClock() {
  if (clockReadings.empty()) return 0;
  const std::uint32_t reading = clockReadings.front();
  clockReadings.pop_front();
  return reading;
}

bool ScriptedPlatform::ListDirectory(const std::string& folder, const ListingVisitor& visit) {
  return ListSortedDirectory(folder, visit);
}

void ScriptedPlatform::ShellOpen(const std::string& path) {
  events.push_back({PlatformEvent::Kind::ShellOpen, BoxKind::Ok, {}, path});
}

void ScriptedPlatform::OnLogText(std::string_view text) {
  events.push_back({PlatformEvent::Kind::Log, BoxKind::Ok, {}, std::string(text)});
}

std::vector<PlatformEvent> ScriptedPlatform::Only(PlatformEvent::Kind kind) const {
  std::vector<PlatformEvent> result;
  for (const PlatformEvent& event : events) {
    if (event.kind == kind) result.push_back(event);
  }
  return result;
}

ScopedScriptedPlatform::ScopedScriptedPlatform() : previous_(SetPlatform(&platform_)) {}

ScopedScriptedPlatform::~ScopedScriptedPlatform() {
  SetPlatform(previous_);
}

}  // namespace hangarscan
