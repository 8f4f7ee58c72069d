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
    "usage: make_sample_scenery FOLDER [--seed N] [--airports N] [--airports-per-file N]\n"
    "         [--other-bgl-files N] [--other-bgl-kb N] [--other-files N]\n"
    "         [--extra-bytes-per-airport N] [--expected FILE]\n"
    "Makes FOLDER/WingsteadP3D (Utilities, Bin/Prepar3DPathv4.cfg) and FOLDER/Prepar3D "
    "v4/scenery.\n"
    "--expected writes the record lines a refresh must put into the database.\n";

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
    if (option == "--seed") {
      o.seed = static_cast<std::uint64_t>(Number(option, value));
    } else if (option == "--airports") {
      o.airports = static_cast<int>(Number(option, value));
    } else if (option == "--airports-per-file") {
      o.airportsPerFile = static_cast<int>(Number(option, value));
    } else if (option == "--other-bgl-files") {
      o.otherBglFiles = static_cast<int>(Number(option, value));
    } else if (option == "--other-bgl-kb") {
      o.otherBglBytes = static_cast<std::size_t>(Number(option, value)) * 1024;
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
    std::printf("Files: %i airport BGL, %i other BGL, %i other; %.1f MB\n", scenery.airportFiles,
                scenery.otherBglFiles, scenery.otherFiles,
                static_cast<double>(scenery.bytesWritten) / 1e6);
    std::printf("Airport records: %i; record lines a refresh must write: %zu\n",
                scenery.airportStructures, scenery.recordLines.size());
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "make_sample_scenery: %s\n%s", error.what(), kUsage);
    return 2;
  }
}
