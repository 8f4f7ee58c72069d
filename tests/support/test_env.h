// What most tests stand on: a scratch folder, a scripted platform, and the run-wide state as a
// fresh program has it, with InstallRoot in the scratch folder so the log goes there.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "bgl/bgl_file.h"
#include "platform/scripted/scripted_platform.h"

namespace hangarscan {
// Shows a recorded event readably in a failed expectation.
void PrintTo(const PlatformEvent& event, std::ostream* out);
}  // namespace hangarscan

namespace hangarscan::fixture {

// A new empty folder, removed with everything in it at the end of the test.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path + separator + relative, with '/' in relative turned into the platform's separator.
  std::string Join(const std::string& relative) const;

 private:
  std::string path_;
};

// Gives a replaceable value (the section handlers, an allocator) another value for the life of
// the object.
template <typename T>
class ScopedOverride {
 public:
  ScopedOverride(T& target, T value) : target_(target), saved_(target) { target_ = value; }
  ~ScopedOverride() { target_ = saved_; }
  ScopedOverride(const ScopedOverride&) = delete;
  ScopedOverride& operator=(const ScopedOverride&) = delete;

 private:
  T& target_;
  T saved_;
};

// Section handlers for the decoders a test leaves out.
inline Flow SkipSection(int) {
  return Flow::GoOn;
}
inline void SkipSubstitution() {}

class BglFile;

class CoreTest : public ::testing::Test {
 protected:
  CoreTest();
  ~CoreTest() override;

  // Writes the file into the scratch folder under that name, decodes it, and returns its path.
  std::string DecodeFile(const BglFile& file, const std::string& name);
  // The log file's bytes as they are on disk.
  std::string LogBytes() const;
  // Appended log texts as the core wrote them (line feeds not yet turned into CR LF).
  std::string LogTexts() const;

  TempDir dir;
  ScopedScriptedPlatform platform;
};

}  // namespace hangarscan::fixture
