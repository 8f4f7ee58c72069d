#include "platform/win32/win32_platform.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_io.h"
#include "platform/sorted_listing.h"
#include "tests/support/bgl_writer.h"
#include "tests/support/test_env.h"

namespace hangarscan {
namespace {

using fixture::TempDir;
using Listing = std::vector<std::pair<std::string, bool>>;

ListingVisitor Into(Listing& entries) {
  return [&entries](std::string_view name, bool isDirectory) {
    entries.emplace_back(name, isDirectory);
  };
}

// Raw bytes as the system has them, read past the C runtime.
std::string SystemBytes(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
    bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

void WriteText(const std::string& path, const std::string& text) {
  fixture::WriteFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

TEST(Win32PlatformTest, ListingGivesDotEntriesThenEveryEntryInThePosixBuildsOrder) {
  TempDir dir;
  for (const char* file : {"b.bgl", "B2.bgl", "a.bgl", "_x.bgl", "Zz", "zA", "[q", "~t"}) {
    WriteText(dir.Join(file), "x");
  }
  CreateDirectoryA(dir.Join("Sub").c_str(), nullptr);
  CreateDirectoryA(dir.Join("aDir").c_str(), nullptr);

  // The POSIX build sorts its listing as NTFS lists, so both builds walk a tree alike.
  Listing expected = {{".", true}, {"..", true}};
  ASSERT_TRUE(ListSortedDirectory(dir.path(), Into(expected)));
  Listing listed;
  ASSERT_TRUE(Win32Platform().ListDirectory(dir.path(), Into(listed)));
  EXPECT_EQ(listed, expected);
  EXPECT_EQ(listed.size(), 12u);
  EXPECT_EQ(listed[2], (std::pair<std::string, bool>{"a.bgl", false}));
  EXPECT_EQ(listed[3], (std::pair<std::string, bool>{"aDir", true}));
}

TEST(Win32PlatformTest, ListingOfAMissingFolderOrOfAFileFails) {
  TempDir dir;
  WriteText(dir.Join("file.bgl"), "x");
  Win32Platform platform;
  for (const std::string& folder : {dir.Join("missing"), dir.Join("file.bgl")}) {
    int visits = 0;
    EXPECT_FALSE(platform.ListDirectory(folder, [&](std::string_view, bool) { ++visits; }))
        << folder;
    EXPECT_EQ(visits, 0);
  }
}

TEST(Win32PlatformTest, ExecutablePathIsTheFullPathOfTheRunningProgram) {
  const std::string path = Win32Platform().ExecutablePath();
  ASSERT_GT(path.size(), 3u);
  EXPECT_EQ(path.substr(1, 2), ":\\");
  EXPECT_EQ(path.substr(path.rfind('\\')), "\\win32_tests.exe");
  EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(Win32PlatformTest, LocalTimeIsTheClockOfTheCRuntime) {
  const std::time_t now = std::time(nullptr);
  const std::tm expected = *std::localtime(&now);
  const LocalDateTime local = Win32Platform().LocalTime();
  EXPECT_EQ(local.year, expected.tm_year + 1900);
  EXPECT_EQ(local.month, expected.tm_mon + 1);
  EXPECT_EQ(local.day, expected.tm_mday);
  EXPECT_EQ(local.hour * 60 + local.minute, expected.tm_hour * 60 + expected.tm_min);
}

TEST(Win32PlatformTest, MillisecondClockCountsMilliseconds) {
  Win32Platform platform;
  const std::uint32_t start = platform.MillisecondClock();
  Sleep(200);
  const std::uint32_t elapsed = platform.MillisecondClock() - start;
  EXPECT_GE(elapsed, 180u);
  EXPECT_LT(elapsed, 2000u);
}

TEST(Win32PlatformTest, TextFilesGetCrLfExactlyOnceOnDisk) {
  TempDir dir;
  const std::string path = dir.Join("log.txt");
  TextOutFile out;
  ASSERT_TRUE(out.Open(path, WriteMode::Truncate));
  ASSERT_TRUE(out.Write("one\ntwo\r\nthree"));
  ASSERT_TRUE(out.Close());
  TextOutFile more;
  ASSERT_TRUE(more.Open(path, WriteMode::Append));
  ASSERT_TRUE(more.Write("\n"));
  ASSERT_TRUE(more.Close());
  EXPECT_EQ(SystemBytes(path), "one\r\ntwo\r\r\nthree\r\n");

  BinaryInFile in;
  ASSERT_TRUE(in.Open(path));
  char line[64];
  ASSERT_TRUE(in.ReadTextLine(line, sizeof line));
  EXPECT_STREQ(line, "one\n");
}

class ReplaceFileTest : public ::testing::Test {
 protected:
  ReplaceFileTest() {
    WriteText(database, "old database, longer than the new one\r\n");
    WriteText(temporary, "new\r\n");
  }

  TempDir dir;
  const std::string database = dir.Join("IcaoDbWgdV4.db");
  const std::string temporary = dir.Join("IcaoDbWgdV4.db.tmp");
};

TEST_F(ReplaceFileTest, ReplacesAnExistingDatabaseWhole) {
  ASSERT_TRUE(ReplaceFile(temporary, database));
  EXPECT_EQ(SystemBytes(database), "new\r\n");
  EXPECT_EQ(GetFileAttributesA(temporary.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(ReplaceFileTest, CreatesTheDatabaseWhenThereIsNone) {
  ASSERT_TRUE(DeleteFileA(database.c_str()));
  ASSERT_TRUE(ReplaceFile(temporary, database));
  EXPECT_EQ(SystemBytes(database), "new\r\n");
}

TEST_F(ReplaceFileTest, KeepsADatabaseThatTheAddOnHoldsOpen) {
  HANDLE held = CreateFileA(database.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const bool replaced = ReplaceFile(temporary, database);
  CloseHandle(held);
  EXPECT_FALSE(replaced);
  EXPECT_EQ(SystemBytes(database), "old database, longer than the new one\r\n");
}

}  // namespace
}  // namespace hangarscan
