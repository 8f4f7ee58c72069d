// The seed inputs of each fuzz target, built with the project's fixture writer: valid files of
// each kind, the malformed ones the decoders must survive, and the inputs of past findings. The
// replay test runs them all on every build; make_fuzz_seeds writes them out for libFuzzer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace hangarscan::fuzz {

struct Seed {
  std::string name;
  std::vector<std::uint8_t> bytes;
};

// The airport file whose slots the name-list target matches its input's entries with: KSEA,
// EGLL, the heliport H1, a second KSEA, LONG (a runway text near the line limit) and KCOR (a
// correction of KSEA, which keeps a marked slot).
std::vector<std::uint8_t> NameListAirports();

// The airport file whose slots the ILS target substitutes into: KSEA (ILS ISEA and ISTR), KBFI
// (IBFI, and ISEA again), BLNK (an ILS ident with a blank digit) and MANY (31 runways with an
// ILS at each end, IMAA to IMA4 and IMBA to IMB4, a runway text near its limit).
std::vector<std::uint8_t> IlsAirports();

// The targets that have seeds, by the name of their *_fuzzer.cpp.
std::vector<std::string_view> SeedTargets();
// Empty for a target without seeds.
std::vector<Seed> SeedsFor(std::string_view target);

}  // namespace hangarscan::fuzz
