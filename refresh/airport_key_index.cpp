#include "refresh/airport_key_index.h"

namespace hangarscan {

void AirportKeyIndex::Clear() {
  indexed_ = 0;
  // After four billion runs the marks come round again: only then are the buckets cleared.
  if (++run_ + 1 == 0) {
    buckets_ = {};
    run_ = 0;
  }
}

std::size_t AirportKeyIndex::Home(std::uint32_t key) const {
  // Fibonacci hashing: the encoded idents differ mostly in their high bits.
  return static_cast<std::size_t>((key * 2654435769u) >> 15) & (kBuckets - 1);
}

void AirportKeyIndex::CatchUp(const std::array<std::uint32_t, kLines>& keys, int stored) {
  for (; indexed_ < stored && indexed_ < kLines; ++indexed_) {
    const std::uint32_t key = keys[static_cast<std::size_t>(indexed_)];
    next_[static_cast<std::size_t>(indexed_)] = -1;
    std::size_t at = Home(key);
    while (Current(buckets_[at]) && buckets_[at].key != key)
      at = (at + 1) & (kBuckets - 1);
    Bucket& bucket = buckets_[at];
    if (Current(bucket)) {
      next_[static_cast<std::size_t>(bucket.last)] = indexed_;
      bucket.last = indexed_;
    } else {
      bucket = {key, run_ + 1, indexed_, indexed_};
    }
  }
}

int AirportKeyIndex::First(std::uint32_t key) const {
  for (std::size_t at = Home(key); Current(buckets_[at]); at = (at + 1) & (kBuckets - 1)) {
    if (buckets_[at].key == key) return buckets_[at].first;
  }
  return -1;
}

}  // namespace hangarscan
