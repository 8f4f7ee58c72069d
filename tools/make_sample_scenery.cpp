// make_sample_scenery FOLDER [options]: makes a sample installation to run the program on, and
// prints what a refresh over it must find.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "tools/sample_scenery.h"

namespace {

using hangarscan::sample::SampleOptions;
using hangarscan::sample::SampleScenery;

constexpr const char* kUsage =
    "usage: make_sample_scenery FOLDER [--preset prepar3d] [--seed N] [--airports N]\n"
    "         [--airports-per-file N] [--other-bgl-files N] [--other-bgl-kb N]\n"
    "         [--other-bgl-max-kb N] [--other-files N] [--extra-bytes-per-airport N]\n"
    "         [--ils-percent N] [--correction-files N] [--corrections-per-file N]\n"
    "         [--missed-correction-percent N] [--expected FILE]\n"
    "Makes FOLDER/WingsteadP3D (Utilities, Bin/Prepar3DPathv4.cfg) and FOLDER/Prepar3D "
    "v4/scenery.\n"
    "--preset prepar3d makes a full installation's size (about 1.3 GB); the options after it\n"
    "change it. --expected writes the record lines a refresh must put into the database.\n";

struct Arguments {
  std::string folder;
  std::string expected;
  SampleOptions options;
};

long long Number(std::string_view option, const char* text) {
  char* end = nullptr;
  const long long value = std::strtoll(text, &end, 10);
  if (end == text || *end != '\0' || value < 0)
    throw std::runtime_error("not a number for " + std::string(option) + ": " + text);
  return value;
}

Arguments Parse(int argc, char** argv) {
  Arguments arguments;
  for (int i = 1; i < argc; ++i) {
    const std::string_view option = argv[i];
    if (!option.starts_with("--")) {
      if (!arguments.folder.empty()) throw std::runtime_error("more than one folder");
      arguments.folder = argv[i];
      continue;
    }
    if (i + 1 >= argc) throw std::runtime_error("no value for " + std::string(option));
    const char* value = argv[++i];
    SampleOptions& o = arguments.options;
    if (option == "--preset") {
      if (std::string_view(value) != "prepar3d") throw std::runtime_error("unknown preset");
      o = hangarscan::sample::Prepar3DScale();
    } else if (option == "--seed") {
      o.seed = static_cast<std::uint64_t>(Number(option, value));
    } else if (option == "--airports") {
      o.airports = static_cast<int>(Number(option, value));
    } else if (option == "--airports-per-file") {
      o.airportsPerFile = static_cast<int>(Number(option, value));
    } else if (option == "--other-bgl-files") {
      o.otherBglFiles = static_cast<int>(Number(option, value));
    } else if (option == "--other-bgl-kb") {
      o.otherBglBytes = static_cast<std::size_t>(Number(option, value)) * 1024;
    } else if (option == "--other-bgl-max-kb") {
      o.otherBglMaxBytes = static_cast<std::size_t>(Number(option, value)) * 1024;
    } else if (option == "--ils-percent") {
      o.ilsPercent = static_cast<int>(Number(option, value));
    } else if (option == "--correction-files") {
      o.correctionFiles = static_cast<int>(Number(option, value));
    } else if (option == "--corrections-per-file") {
      o.correctionsPerFile = static_cast<int>(Number(option, value));
    } else if (option == "--missed-correction-percent") {
      o.missedCorrectionPercent = static_cast<int>(Number(option, value));
    } else if (option == "--other-files") {
      o.otherFiles = static_cast<int>(Number(option, value));
    } else if (option == "--extra-bytes-per-airport") {
      o.extraBytesPerAirport = static_cast<std::size_t>(Number(option, value));
    } else if (option == "--expected") {
      arguments.expected = value;
    } else {
      throw std::runtime_error("unknown option " + std::string(option));
    }
  }
  if (arguments.folder.empty()) throw std::runtime_error("no folder");
  return arguments;
}

void WriteExpected(const std::string& path, const SampleScenery& scenery) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (const std::string& line : scenery.recordLines)
    out << line;
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const Arguments arguments = Parse(argc, argv);
    const SampleScenery scenery =
        hangarscan::sample::MakeSampleInstallation(arguments.folder, arguments.options);
    if (!arguments.expected.empty()) WriteExpected(arguments.expected, scenery);
    std::printf("Add-on folder:  %s\nScenery folder: %s\n", scenery.addonRoot.c_str(),
                scenery.sceneryRoot.c_str());
    std::printf("Files: %i airport BGL, %i correction BGL, %i other BGL, %i other; %.1f MB\n",
                scenery.airportFiles, scenery.correctionFiles, scenery.otherBglFiles,
                scenery.otherFiles, static_cast<double>(scenery.bytesWritten) / 1e6);
    std::printf("Airport records: %i; ILS: %i; corrections: %i made, %i missed\n",
                scenery.airportStructures, scenery.ilsFound, scenery.airportsCorrected,
                scenery.correctionsMissed);
    std::printf("Record lines a refresh must write: %zu\n", scenery.recordLines.size());
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "make_sample_scenery: %s\n%s", error.what(), kUsage);
    return 2;
  }
}
