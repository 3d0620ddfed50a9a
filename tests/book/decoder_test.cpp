#include "book/decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "book/compressor.h"

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

namespace quill {
namespace {

// The token format decoded one token at a time, as it is defined: the
// yardstick for the decoder's fast loop.
std::ptrdiff_t ExpandOneByOne(const Bytes& payload, std::size_t capacity, Bytes* out) {
  out->clear();
  std::size_t i = 0;
  while (i < payload.size()) {
    const unsigned b0 = payload[i++];
    if (b0 >= 1 && b0 <= 8) {
      for (unsigned k = 0; k < b0; ++k) {
        if (i == payload.size() || out->size() == capacity) return kMalformedStream;
        out->push_back(payload[i++]);
      }
    } else if (b0 <= 0x7F) {
      if (out->size() == capacity) return kMalformedStream;
      out->push_back(static_cast<std::uint8_t>(b0));
    } else {
      if (i == payload.size()) return kMalformedStream;
      const unsigned b1 = payload[i++];
      const std::size_t distance = ((b0 & 0x7Fu) << 4) | (b1 >> 4);
      const std::size_t length = (b1 & 0x0Fu) + 3;
      if (distance == 0 || distance > out->size()) return kMalformedStream;
      for (std::size_t k = 0; k < length; ++k) {
        if (out->size() == capacity) return kMalformedStream;
        out->push_back((*out)[out->size() - distance]);
      }
    }
  }
  return static_cast<std::ptrdiff_t>(out->size());
}

// Token streams of every kind: what the compressor makes of text and of
// noise, and random tokens with short distances (overlapping copies),
// long literal runs and long stretches of single-byte tokens.
std::vector<Bytes> Streams() {
  std::mt19937 random(16);
  std::vector<Bytes> streams;
  for (const std::size_t size : {40u, 130u, 700u, 3000u}) {
    Bytes text;
    const char* words[] = {"book ", "look ", "a ", "\n", "reader ", "zz", "é"};
    while (text.size() < size) {
      for (const char* c = words[random() % 7]; *c; ++c) {
        text.push_back(static_cast<std::uint8_t>(*c));
        text.push_back(0);
      }
    }
    Bytes noise(size);
    for (auto& b : noise) b = static_cast<std::uint8_t>(random() % 3 ? random() : 0x41);
    for (const Bytes* data : {&text, &noise}) {
      // The token stream, also where raw storage would be smaller.
      streams.push_back(CompressTokens(data->data(), data->size()));
    }
  }
  // Long stretches of single-byte tokens up to the very end, which the
  // fast loop copies a word at a time, with a back-reference after them.
  for (const std::size_t plain : {95u, 150u, 223u}) {
    Bytes tokens(plain, 0x61);
    for (std::size_t k = 0; k < plain; k += 3) tokens[k] = 0;
    streams.push_back(tokens);
    tokens.push_back(0x80);
    tokens.push_back(0xAF);
    streams.push_back(tokens);
  }
  for (int s = 0; s < 40; ++s) {
    Bytes tokens;
    std::size_t written = 0;
    const std::size_t count = 5 + random() % 400;
    for (std::size_t t = 0; t < count; ++t) {
      const unsigned kind = random() % 10;
      if (kind < 3 || written == 0) {
        const std::size_t plain = 1 + random() % (s % 2 ? 70 : 3);
        for (std::size_t k = 0; k < plain; ++k) {
          tokens.push_back(static_cast<std::uint8_t>(random() % 2 ? 0 : 9 + random() % 0x77));
        }
        written += plain;
      } else if (kind < 5) {
        const unsigned run = 1 + random() % 8;
        tokens.push_back(static_cast<std::uint8_t>(run));
        for (unsigned k = 0; k < run; ++k) tokens.push_back(static_cast<std::uint8_t>(random()));
        written += run;
      } else {
        const std::size_t reach = written < 2047 ? written : 2047;
        const std::size_t distance = 1 + (kind < 8 ? random() % (reach < 9 ? reach : 9)
                                                   : random() % reach);
        const unsigned length = random() % 16;
        tokens.push_back(static_cast<std::uint8_t>(0x80 | (distance >> 4)));
        tokens.push_back(static_cast<std::uint8_t>(((distance & 0xF) << 4) | length));
        written += length + 3;
      }
    }
    streams.push_back(tokens);
  }
  return streams;
}

TEST(Decoder, FastLoopAgreesWithTheTokenDefinitionAtEveryEnd) {
  constexpr std::uint8_t kGuard = 0x5A;
  constexpr std::size_t kGuardBytes = 128;
  std::mt19937 random(61);
  std::size_t checked = 0;
  for (const Bytes& whole : Streams()) {
    Bytes expected;
    const std::ptrdiff_t length = ExpandOneByOne(whole, SIZE_MAX, &expected);
    ASSERT_GE(length, 0);
    const auto decoded = static_cast<std::size_t>(length);
    // The whole stream, streams cut at random places (a token may be cut
    // in two), and streams with one byte changed.
    std::vector<Bytes> variants{whole};
    for (int v = 0; v < 6 && !whole.empty(); ++v) {
      variants.emplace_back(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(
                                                              random() % whole.size()));
      Bytes changed = whole;
      changed[random() % changed.size()] = static_cast<std::uint8_t>(random());
      variants.push_back(changed);
    }
    for (const Bytes& stream : variants) {
      // Capacities around the result and around the fast loop's margins.
      for (const std::size_t capacity :
           {decoded, decoded - (decoded > 0), decoded + 1, decoded + 7, decoded + 100,
            std::size_t{87}, std::size_t{88}, std::size_t{200}}) {
        Bytes want;
        const std::ptrdiff_t wantResult = ExpandOneByOne(stream, capacity, &want);
        // Exact-size heap copies, so that the sanitizer build sees any read
        // past the payload.
        const std::unique_ptr<std::uint8_t[]> payload(new std::uint8_t[stream.size() + 1]);
        std::copy(stream.begin(), stream.end(), payload.get());
        Bytes buffer(capacity + 2 * kGuardBytes, kGuard);
        const std::ptrdiff_t got =
            Expand(payload.get(), buffer.data() + kGuardBytes, stream.size(), capacity);
        ASSERT_EQ(got, wantResult) << "stream of " << stream.size() << " bytes, capacity "
                                   << capacity;
        if (got >= 0) {
          ASSERT_TRUE(std::equal(want.begin(), want.end(), buffer.begin() + kGuardBytes));
        }
        for (std::size_t g = 0; g < kGuardBytes; ++g) {
          ASSERT_EQ(buffer[g], kGuard) << "write before the destination";
          ASSERT_EQ(buffer[kGuardBytes + capacity + g], kGuard) << "write past the capacity";
        }
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 2000u);
}

}  // namespace
}  // namespace quill
