// Every operation on a written file made to fail in turn, over whole refreshes: the database is
// afterwards the old file byte for byte or the complete new one, the report says which, and a log
// that cannot be written never stops the run.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "bgl/bgl_file.h"
#include "env/text.h"
#include "platform/file_io.h"
#include "refresh/refresh_command.h"
#include "refresh/refresh_state.h"
#include "tests/support/bgl_writer.h"
#include "tests/support/test_env.h"

namespace hangarscan {
namespace {

using Kind = PlatformEvent::Kind;

constexpr int kAirports = 10000;  // the fewest the database is written for

// The airport pass of the scenery's one good file stores the lines; the decoders are not what is
// tested here.
Flow StoreAirports(int) {
  for (int i = 0; i < kAirports; ++i) {
    TableSlot& slot = gState.AirportTable[gState.Counters.AirportsStored++];
    FormatText(slot.data(), slot.size(), "%012d;A%d;B;\n", i, i);
  }
  gState.Counters.MaxLineLength = 24;
  return Flow::GoOn;
}
Flow GoOn(int) {
  return Flow::GoOn;
}
void Nothing() {}

std::string Crlf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::string ReadText(const std::string& path) {
  const auto bytes = fixture::ReadFileBytes(path);
  return {bytes.begin(), bytes.end()};
}

// What one refresh left behind.
struct Outcome {
  std::optional<std::string> database;  // none when there is no database file
  bool temporaryLeft = false;
  std::string logFile;
  std::vector<PlatformEvent> boxes;
  std::vector<PlatformEvent> statuses;
  std::vector<std::string> logTexts;
  int errors = 0;
};

struct Disk {
  bool oldDatabase;  // a database from an earlier run is there
  bool sticky;       // every operation of the kind from the nth on fails, as on a full disk
};

void PrintTo(const Disk& disk, std::ostream* out) {
  *out << (disk.oldDatabase ? "old database, " : "no database, ")
       << (disk.sticky ? "failing from the nth operation on" : "failing at the nth operation");
}

class FaultInjectionTest : public fixture::CoreTest, public ::testing::WithParamInterface<Disk> {
 protected:
  FaultInjectionTest() : saved_(BglSectionHandlers()) {
    BglSectionHandlers() = {StoreAirports, GoOn, Nothing, GoOn};
    std::filesystem::create_directories(dir.Join("Bin"));
    std::filesystem::create_directories(dir.Join("P3D/scenery"));
    CopyText(gState.SceneryRoot, dir.Join("P3D/scenery"));
    fixture::BglFile file;
    file.AddSection(kSectionAirport);
    file.WriteTo(dir.Join("P3D/scenery/APX41.BGL"));
    // A file too short for its header: an error report, box and log line, during the walk.
    fixture::WriteFile(dir.Join("P3D/scenery/SHORT.BGL"), {1, 2, 3});
  }
  ~FaultInjectionTest() override { BglSectionHandlers() = saved_; }

  std::string DatabasePath() const { return dir.Join("Bin/IcaoDbWgdV4.db"); }

  // A refresh from the same start every time: the old database (if the test has one), an empty
  // log, no event recorded; `plan` armed for its length.
  Outcome Run(FileFaultPlan plan, int* operations = nullptr) {
    std::filesystem::remove(DatabasePath());
    if (GetParam().oldDatabase) fixture::WriteFile(DatabasePath(), {kOld.begin(), kOld.end()});
    fixture::WriteFile(std::string(TextOf(gState.LogPath)), {});
    platform->events.clear();
    ArmFileFault(plan);
    RunRefresh();
    if (operations != nullptr) *operations = FileOpsSinceArmed();
    ArmFileFault({});

    Outcome outcome;
    if (std::filesystem::exists(DatabasePath())) outcome.database = ReadText(DatabasePath());
    outcome.temporaryLeft = std::filesystem::exists(DatabasePath() + ".tmp");
    outcome.logFile = LogBytes();
    outcome.boxes = platform->Only(Kind::Box);
    outcome.statuses = platform->Only(Kind::Status);
    for (const PlatformEvent& event : platform->Only(Kind::Log))
      outcome.logTexts.push_back(event.text);
    outcome.errors = gState.ErrorCount;
    return outcome;
  }

  std::optional<std::string> OldDatabase() const {
    return GetParam().oldDatabase ? std::optional<std::string>(kOld) : std::nullopt;
  }

  // The log file of a run whose log lost at most one line: the reference's, whole or less that
  // line.
  static bool LogLostAtMostOneLine(const Outcome& reference, const std::string& logFile) {
    std::string whole;
    for (const std::string& text : reference.logTexts)
      whole += Crlf(text);
    if (logFile == whole) return true;
    for (std::size_t skip = 0; skip < reference.logTexts.size(); ++skip) {
      std::string less;
      for (std::size_t i = 0; i < reference.logTexts.size(); ++i) {
        if (i != skip) less += Crlf(reference.logTexts[i]);
      }
      if (logFile == less) return true;
    }
    return false;
  }

  void ExpectConsistent(const Outcome& reference, const Outcome& run) const {
    const bool sticky = GetParam().sticky;
    EXPECT_FALSE(run.temporaryLeft);
    EXPECT_EQ(run.errors, reference.errors);
    const bool completed = !run.statuses.empty();
    if (completed) {
      // The fault hit the log: the run went on and wrote the whole new database. A log that
      // stays broken loses every line from there on.
      EXPECT_EQ(run.database, reference.database);
      EXPECT_EQ(run.statuses, reference.statuses);
      EXPECT_EQ(run.boxes, reference.boxes);
      if (sticky) {
        EXPECT_TRUE(reference.logFile.starts_with(run.logFile));
      } else {
        EXPECT_TRUE(LogLostAtMostOneLine(reference, run.logFile));
      }
      return;
    }
    // The fault hit the database: the old file is kept whole and the run says so.
    EXPECT_EQ(run.database, OldDatabase());
    ASSERT_EQ(run.boxes.size(), reference.boxes.size() + 1);
    const PlatformEvent& last = run.boxes.back();
    EXPECT_EQ(last.caption, "ERROR");
    const bool openFailure = last.text == "Error unable to open outfile IcaoDbWgdV4.db";
    if (openFailure) {
      EXPECT_EQ(run.logFile.find("Starting to write"), std::string::npos);
    } else {
      EXPECT_EQ(last.text, "Error unable to write file IcaoDbWgdV4.db - previous database kept");
    }
    // The log holds the reference's lines up to the failure, then the failure's line, which
    // only a log that stays broken loses.
    const std::string failureLine =
        openFailure ? "Error unable to open file IcaoDbWgdV4.db for writting\r\n"
                    : "Error while writting file IcaoDbWgdV4.db - previous database kept\r\n";
    std::string before = run.logFile;
    if (before.ends_with(failureLine)) {
      before.resize(before.size() - failureLine.size());
    } else {
      EXPECT_TRUE(sticky);
    }
    EXPECT_TRUE(reference.logFile.starts_with(before));
    EXPECT_EQ(run.logFile.find("Completed"), std::string::npos);
  }

  static inline const std::string kOld = "old database\r\nkept whole\r\n";

 private:
  SectionHandlers saved_;
};

// The nth operation of each kind fails (or every one from the nth on), for n = 1, 2, ... until a
// refresh ends without reaching it. The line writes of the database all take one path: of those,
// the first and last few and every 997th are made to fail.
TEST_P(FaultInjectionTest, TheDatabaseIsTheOldFileOrTheWholeNewOne) {
  const Outcome reference = Run({});
  ASSERT_FALSE(reference.statuses.empty());
  ASSERT_EQ(reference.statuses.back().text,
            "Completed but with ERRORS: 10000 airports found. See log !");
  ASSERT_EQ(reference.boxes.size(), 1u);
  ASSERT_TRUE(reference.database.has_value());

  // Each log line is one write; the header is the write after the "Starting to write" line.
  int header = 1;
  while (!reference.logTexts[header - 1].starts_with("Starting to write"))
    ++header;
  ++header;
  const int firstSkipped = header + 4, lastSkipped = header + kAirports - 3;

  for (const FileOp op : {FileOp::Open, FileOp::Write, FileOp::Flush, FileOp::Close, FileOp::Rename,
                          FileOp::Remove}) {
    int runs = 0;
    for (int nth = 1;; ++nth) {
      if (op == FileOp::Write && nth >= firstSkipped && nth <= lastSkipped && nth % 997 != 0)
        continue;
      int operations = 0;
      const Outcome run = Run({nth, true, op, GetParam().sticky}, &operations);
      ++runs;
      if (operations < nth) {
        EXPECT_EQ(run.database, reference.database);
        EXPECT_EQ(run.logFile, reference.logFile);
        break;
      }
      SCOPED_TRACE("operation " + std::to_string(static_cast<int>(op)) + " number " +
                   std::to_string(nth));
      ExpectConsistent(reference, run);
      if (HasFailure()) return;
    }
    RecordProperty("runs of operation " + std::to_string(static_cast<int>(op)), runs);
  }
}

INSTANTIATE_TEST_SUITE_P(Disks, FaultInjectionTest,
                         ::testing::Values(Disk{true, false}, Disk{false, false}, Disk{true, true},
                                           Disk{false, true}));

class UnwritableLogTest : public FaultInjectionTest {};

// A log that cannot be opened at all loses its lines and nothing else.
TEST_P(UnwritableLogTest, NeverStopsTheRun) {
  const Outcome reference = Run({});
  for (const std::string& logPath :
       {dir.Join("Bin"), dir.Join("missing/log.txt"), dir.Join("P3D/scenery/SHORT.BGL/log.txt")}) {
    SCOPED_TRACE(logPath);
    CopyText(gState.LogPath, logPath);
    std::filesystem::remove(DatabasePath());
    platform->events.clear();
    RunRefresh();
    EXPECT_EQ(ReadText(DatabasePath()), *reference.database);
    EXPECT_EQ(platform->Only(Kind::Status), reference.statuses);
    EXPECT_EQ(platform->Only(Kind::Box), reference.boxes);
    EXPECT_EQ(gState.ErrorCount, reference.errors);
    EXPECT_FALSE(std::filesystem::exists(logPath) && !std::filesystem::is_directory(logPath));
  }
}

INSTANTIATE_TEST_SUITE_P(Once, UnwritableLogTest, ::testing::Values(Disk{true, false}));

}  // namespace
}  // namespace hangarscan
