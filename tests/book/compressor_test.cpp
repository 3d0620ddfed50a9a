#include "book/compressor.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "book/decoder.h"

namespace quill {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes RoundTrip(const Bytes& data) {
  const Bytes stored = EncodeStored(data.data(), data.size());
  Bytes out(data.size() + 1);
  const std::ptrdiff_t n = DecodeStored(stored.data(), out.data(), stored.size(), out.size());
  EXPECT_GE(n, 0);
  out.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
  return out;
}

TEST(Compressor, RoundTripsTextAndBinary) {
  std::mt19937 random(7);
  for (const std::size_t size : {0u, 1u, 2u, 17u, 300u, 5000u}) {
    Bytes text;
    const char* words[] = {"book ", "look ", "a ", "\n", "reader "};
    while (text.size() < size) {
      for (const char* c = words[random() % 5]; *c; ++c) {
        text.push_back(static_cast<std::uint8_t>(*c));
        text.push_back(0);
      }
    }
    text.resize(size);
    EXPECT_EQ(RoundTrip(text), text);
    Bytes noise(size);
    for (auto& b : noise) b = static_cast<std::uint8_t>(random());
    EXPECT_EQ(RoundTrip(noise), noise);
  }
}

TEST(Compressor, StoresRawWhenThatIsSmaller) {
  const Bytes high{0x81, 0x82, 0x83, 0x84};
  const Bytes stored = EncodeStored(high.data(), high.size());
  EXPECT_EQ(stored, (Bytes{0x00, 0x81, 0x82, 0x83, 0x84}));
  // Repetitive text compresses: UTF-16 "abab...".
  Bytes text;
  for (int i = 0; i < 100; ++i) text.insert(text.end(), {0x61, 0x00, 0x62, 0x00});
  EXPECT_LT(EncodeStored(text.data(), text.size()).size(), 60u);
}

}  // namespace
}  // namespace quill
