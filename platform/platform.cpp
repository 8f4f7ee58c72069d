#include "platform/platform.h"

namespace hangarscan {
namespace {
Platform* g_platform = nullptr;
}

Platform& ThePlatform() {
  return *g_platform;
}
Platform* SetPlatform(Platform* platform) {
  Platform* previous = g_platform;
  g_platform = platform;
  return previous;
}

}  // namespace hangarscan
