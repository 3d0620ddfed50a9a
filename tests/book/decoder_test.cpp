#include "book/decoder.h"

#include <gtest/gtest.h>

#include <vector>

namespace quill {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Decodes a stored buffer into a destination of the given capacity, with
// guard bytes on both sides to catch writes outside it.
struct Decoded {
  std::ptrdiff_t result;
  Bytes out;
};

Decoded Decode(const Bytes& stored, std::size_t capacity = 4096) {
  constexpr std::uint8_t kGuard = 0xA5;
  Bytes buffer(capacity + 32, kGuard);
  const std::ptrdiff_t result =
      DecodeStored(stored.data(), buffer.data() + 16, stored.size(), capacity);
  for (std::size_t i = 0; i < 16; ++i) {
    EXPECT_EQ(buffer[i], kGuard) << "write before the destination";
    EXPECT_EQ(buffer[16 + capacity + i], kGuard) << "write past the capacity";
  }
  Bytes out;
  if (result > 0) out.assign(buffer.begin() + 16, buffer.begin() + 16 + result);
  return {result, out};
}

TEST(Decoder, WorkedExamples) {
  EXPECT_EQ(Decode({0x01, 0x61, 0x00, 0x62, 0x00, 0x80, 0x41}).out,
            (Bytes{0x61, 0x00, 0x62, 0x00, 0x61, 0x00, 0x62, 0x00}));
  EXPECT_EQ(Decode({0x01, 0x02, 0x78, 0x79, 0x80, 0x24, 0x41, 0x00}).out,
            (Bytes{0x78, 0x79, 0x78, 0x79, 0x78, 0x79, 0x78, 0x79, 0x78, 0x41, 0x00}));
  EXPECT_EQ(Decode({0x01, 0x01, 0xE9, 0x00}).out, (Bytes{0xE9, 0x00}));
  EXPECT_EQ(Decode({0x00, 0x61, 0x00}).out, (Bytes{0x61, 0x00}));
}

TEST(Decoder, BackReferenceFields) {
  // [92 C5]: distance 300, length 8, after 300 bytes of output.
  Bytes stored{0x01};
  Bytes expected;
  for (int i = 0; i < 300; ++i) {
    const auto b = static_cast<std::uint8_t>(0x20 + i % 90);
    stored.push_back(b);
    expected.push_back(b);
  }
  stored.push_back(0x92);
  stored.push_back(0xC5);
  for (int i = 0; i < 8; ++i) expected.push_back(expected[static_cast<std::size_t>(i)]);
  EXPECT_EQ(Decode(stored).out, expected);

  // The largest distance, 2047: b0 0xFF, high nibble of b1 0xF.
  Bytes far{0x01, 0x41, 0x42, 0x43};
  Bytes farExpected{0x41, 0x42, 0x43};
  for (int i = 0; i < 2044; ++i) {
    far.push_back(0x20);
    farExpected.push_back(0x20);
  }
  far.push_back(0xFF);
  far.push_back(0xF0);
  farExpected.insert(farExpected.end(), {0x41, 0x42, 0x43});
  EXPECT_EQ(Decode(far).out, farExpected);

  // Distance 1, length 18 repeats the last byte.
  const Decoded run = Decode({0x01, 0x7A, 0x80, 0x1F});
  EXPECT_EQ(run.out, Bytes(19, 0x7A));
}

TEST(Decoder, EmptyPayloadsAndLiteralRanges) {
  EXPECT_EQ(Decode({0x00}).result, 0);
  EXPECT_EQ(Decode({0x07}).result, 0);
  // Every byte value: 0x00 and 0x09..0x7F stand for themselves, anything
  // else goes through a literal run.
  Bytes stored{0x01};
  Bytes expected;
  for (int b = 0; b < 256; ++b) {
    const auto byte = static_cast<std::uint8_t>(b);
    if (b == 0 || (b >= 9 && b <= 0x7F)) {
      stored.push_back(byte);
    } else {
      stored.push_back(0x01);
      stored.push_back(byte);
    }
    expected.push_back(byte);
  }
  EXPECT_EQ(Decode(stored).out, expected);
  // A run of the full eight bytes.
  EXPECT_EQ(Decode({0x01, 0x08, 1, 2, 3, 4, 5, 6, 7, 8}).out, (Bytes{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(Decoder, MalformedStreamsAreReported) {
  // No flag byte at all.
  EXPECT_EQ(Decode({}).result, kMalformedStream);
  // A literal run that runs past the payload.
  EXPECT_EQ(Decode({0x01, 0x03, 0x41, 0x42}).result, kMalformedStream);
  // A back-reference whose second byte is missing.
  EXPECT_EQ(Decode({0x01, 0x41, 0x80}).result, kMalformedStream);
  // Distance 0.
  EXPECT_EQ(Decode({0x01, 0x41, 0x80, 0x00}).result, kMalformedStream);
  // Distance beyond what was written so far.
  EXPECT_EQ(Decode({0x01, 0x41, 0x80, 0x20}).result, kMalformedStream);
  EXPECT_EQ(Decode({0x01, 0x80, 0x10}).result, kMalformedStream);
}

TEST(Decoder, OutputNeverExceedsCapacity) {
  // Exactly at capacity is fine; one byte over is malformed, whatever token
  // would have crossed the limit.
  EXPECT_EQ(Decode({0x01, 0x41, 0x42}, 2).result, 2);
  EXPECT_EQ(Decode({0x01, 0x41, 0x42, 0x43}, 2).result, kMalformedStream);
  EXPECT_EQ(Decode({0x01, 0x03, 0x81, 0x82, 0x83}, 2).result, kMalformedStream);
  EXPECT_EQ(Decode({0x01, 0x41, 0x80, 0x1F}, 18).result, kMalformedStream);
  EXPECT_EQ(Decode({0x01, 0x41, 0x80, 0x1F}, 19).result, 19);
  EXPECT_EQ(Decode({0x00, 0x41, 0x42, 0x43}, 2).result, kMalformedStream);
  EXPECT_EQ(Decode({0x00, 0x41, 0x42}, 0).result, kMalformedStream);
  EXPECT_EQ(Decode({0x00}, 0).result, 0);
}

}  // namespace
}  // namespace quill
