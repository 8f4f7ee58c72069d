// A sample installation to run the program on: the add-on folder (Utilities, Bin with its
// configuration) and a Prepar3D-like scenery folder of region folders holding airport files
// (several airport sections, a navaid section, name lists), BGL files without airports and other
// files. Deterministic from its seed, and it knows the database a refresh must write from it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace hangarscan::sample {

struct SampleOptions {
  std::uint64_t seed = 1;
  int airports = 25000;                    // airport records over all airport files
  int airportsPerFile = 300;               // at most 790, below the decoder's 800 slots a file
  int otherBglFiles = 24;                  // BGL files without airports
  std::size_t otherBglBytes = 64 * 1024;   // size of each of those
  int otherFiles = 24;                     // textures and texts the walk passes over
  std::size_t extraBytesPerAirport = 240;  // airport sub-records the decoder skips
};

// What was made, and what a refresh over it must find.
struct SampleScenery {
  std::string addonRoot;    // the add-on folder: the program goes into its Utilities folder
  std::string sceneryRoot;  // the Prepar3D root's "scenery" folder
  // The database's record lines in walk order, each with its line feed.
  std::vector<std::string> recordLines;
  int maxLineLength = 0;
  int airportStructures = 0;
  int airportsWithoutRunway = 0;
  int helipadOnlyAirports = 0;
  int runwaysFound = 0;
  int comsFound = 0;
  int airportFiles = 0;
  int otherBglFiles = 0;
  int otherFiles = 0;
  std::uint64_t bytesWritten = 0;
};

// Makes the installation in `folder`, which must be missing or empty. Throws std::runtime_error
// on a bad option or a file that cannot be written.
SampleScenery MakeSampleInstallation(const std::string& folder, const SampleOptions& options);

}  // namespace hangarscan::sample
