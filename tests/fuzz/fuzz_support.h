// Shared by the fuzz targets: failing loudly, and reading structured choices
// (counts, coordinates, answers) off the fuzzer's bytes.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace velmora::fuzz {

// A broken invariant: say which, then abort so that libFuzzer keeps the input.
[[noreturn]] inline void Fail(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::fflush(stderr);
  std::abort();
}
inline void Require(bool condition, const char* what) {
  if (!condition) Fail(what);
}

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// Takes values from the front of the input; an exhausted input yields zeros,
// so every input decodes to something and short inputs stay meaningful.
class Bytes {
 public:
  Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool Empty() const { return pos_ >= size_; }
  std::size_t Left() const { return size_ - pos_; }

  std::uint8_t Byte() { return Empty() ? 0 : data_[pos_++]; }
  std::uint16_t U16() {
    const std::uint16_t lo = Byte();
    return static_cast<std::uint16_t>(lo | (Byte() << 8));
  }
  bool Bit() { return (Byte() & 1) != 0; }
  // 0 .. n-1; n must be positive.
  int Below(int n) {
    if (n <= 256) return Byte() % n;
    if (n <= 65536) return U16() % n;
    const std::uint32_t low = U16();
    return static_cast<int>((low | (static_cast<std::uint32_t>(Byte()) << 16)) %
                            static_cast<std::uint32_t>(n));
  }
  // Up to `max` bytes, the length first.
  std::string Text(std::size_t max) {
    const std::size_t n = std::min<std::size_t>(Byte() % (max + 1), Left());
    std::string out(reinterpret_cast<const char*>(data_ + pos_), n);
    pos_ += n;
    return out;
  }
  // Everything not taken yet.
  std::string Rest() {
    std::string out(reinterpret_cast<const char*>(data_ + pos_), Left());
    pos_ = size_;
    return out;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

}  // namespace velmora::fuzz
