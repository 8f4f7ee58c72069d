// Finds the table lines of an ident in table order without a scan of the whole key list: a hash
// table of the first and last line of every key, and a link from each line to the next line of
// its key. It follows AirportKeyList lazily, up to the lines stored when it is asked, so it costs
// nothing in a run without corrections. Static storage, all zero at start, no allocation.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace hangarscan {

class AirportKeyIndex {
 public:
  static constexpr int kLines = 50001;  // the airport table's slots

  // Forgets every line, without touching the tables.
  void Clear();
  // Takes in keys[i] for the lines not yet taken in below `stored`.
  void CatchUp(const std::array<std::uint32_t, kLines>& keys, int stored);
  // The first line of the key, or -1.
  int First(std::uint32_t key) const;
  // The line after `line` with the same key, or -1.
  int Next(int line) const { return next_[static_cast<std::size_t>(line)]; }

 private:
  // More than the lines, so no probe sequence runs long; a power of two for the mask.
  static constexpr std::size_t kBuckets = 1 << 17;

  struct Bucket {
    std::uint32_t key;
    std::uint32_t run;  // the run it belongs to, plus one: zero is free in every run
    std::int32_t first;
    std::int32_t last;
  };

  std::size_t Home(std::uint32_t key) const;
  bool Current(const Bucket& bucket) const { return bucket.run == run_ + 1; }

  std::array<Bucket, kBuckets> buckets_;
  std::array<std::int32_t, kLines> next_;
  std::uint32_t run_;
  std::int32_t indexed_;
};

}  // namespace hangarscan
