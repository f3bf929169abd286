// SHA-256 as FIPS 180-4 states it: the message padded with a 1 bit, zeros and its length in bits
// to a multiple of 512 bits, then each 512-bit block mixed into eight 32-bit words by 64 rounds.
#include "history/Sha256.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/InputFile.h"

namespace velluma::history {

namespace {
constexpr std::size_t kBlockBytes = 64;
constexpr std::size_t kLengthBytes = 8;  // the message length in bits, at the end of the padding
constexpr std::size_t kFileChunk = 1 << 16;  // bytes read from a file at a time

// The first 32 bits of the fractional parts of the cube roots of the first 64 primes.
constexpr std::array<std::uint32_t, 64> kRoundConstants{
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

// The first 32 bits of the fractional parts of the square roots of the first 8 primes.
constexpr std::array<std::uint32_t, 8> kInitialHash{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                                    0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

// The running state: the hash so far, the bytes of an unfinished block and the length so far.
class Sha256 {
 public:
  void Add(std::string_view bytes) {
    for (char byte : bytes) {
      block_[filled_++] = static_cast<std::uint8_t>(byte);
      if (filled_ == kBlockBytes) MixBlock();
    }
    bytes_ += bytes.size();
  }

  std::string FinishHex() {
    const std::uint64_t bits = bytes_ * 8;
    block_[filled_++] = 0x80;
    if (filled_ > kBlockBytes - kLengthBytes) {
      while (filled_ < kBlockBytes) block_[filled_++] = 0;
      MixBlock();
    }
    while (filled_ < kBlockBytes - kLengthBytes) block_[filled_++] = 0;
    for (int shift = 56; shift >= 0; shift -= 8) block_[filled_++] = (bits >> shift) & 0xff;
    MixBlock();
    return Hex();
  }

 private:
  void MixBlock() {
    std::array<std::uint32_t, 64> schedule{};
    for (std::size_t t = 0; t < 16; ++t)
      schedule[t] = std::uint32_t{block_[4 * t]} << 24 | std::uint32_t{block_[4 * t + 1]} << 16 |
                    std::uint32_t{block_[4 * t + 2]} << 8 | block_[4 * t + 3];
    for (std::size_t t = 16; t < 64; ++t) {
      const std::uint32_t s0 = std::rotr(schedule[t - 15], 7) ^ std::rotr(schedule[t - 15], 18) ^
                               (schedule[t - 15] >> 3);
      const std::uint32_t s1 =
          std::rotr(schedule[t - 2], 17) ^ std::rotr(schedule[t - 2], 19) ^ (schedule[t - 2] >> 10);
      schedule[t] = schedule[t - 16] + s0 + schedule[t - 7] + s1;
    }
    auto [a, b, c, d, e, f, g, h] = hash_;
    for (std::size_t t = 0; t < 64; ++t) {
      const std::uint32_t sum1 = std::rotr(e, 6) ^ std::rotr(e, 11) ^ std::rotr(e, 25);
      const std::uint32_t choose = (e & f) ^ (~e & g);
      const std::uint32_t t1 = h + sum1 + choose + kRoundConstants[t] + schedule[t];
      const std::uint32_t sum0 = std::rotr(a, 2) ^ std::rotr(a, 13) ^ std::rotr(a, 22);
      const std::uint32_t majority = (a & b) ^ (a & c) ^ (b & c);
      h = g;
      g = f;
      f = e;
      e = d + t1;
      d = c;
      c = b;
      b = a;
      a = t1 + sum0 + majority;
    }
    const std::array<std::uint32_t, 8> mixed{a, b, c, d, e, f, g, h};
    for (std::size_t i = 0; i < 8; ++i) hash_[i] += mixed[i];
    filled_ = 0;
  }

  std::string Hex() const {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (std::uint32_t word : hash_)
      for (int shift = 28; shift >= 0; shift -= 4) text += kDigits[(word >> shift) & 0xf];
    return text;
  }

  std::array<std::uint32_t, 8> hash_ = kInitialHash;
  std::array<std::uint8_t, kBlockBytes> block_{};
  std::size_t filled_ = 0;
  std::uint64_t bytes_ = 0;
};
}  // namespace

std::string Sha256Hex(std::string_view bytes) {
  Sha256 sha;
  sha.Add(bytes);
  return sha.FinishHex();
}

// Opened as every reader opens the operator's files: a regular file only, never waiting on one.
std::optional<std::string> Sha256OfFile(const std::string& path) {
  const InputFile in(path);
  if (!in.IsOpen()) return std::nullopt;
  Sha256 sha;
  std::vector<char> chunk(kFileChunk);
  for (;;) {
    const std::size_t read = std::fread(chunk.data(), 1, chunk.size(), in.Get());
    sha.Add(std::string_view(chunk.data(), read));
    if (read < chunk.size()) break;
  }
  if (std::ferror(in.Get())) return std::nullopt;
  return sha.FinishHex();
}

}  // namespace velluma::history
