#include "speech/audio_format.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace quill {
namespace {

TEST(AudioFormatTest, RowsGiveTheirPcmLayout) {
  struct Case {
    int row;
    std::uint32_t rate;
    std::uint16_t bits, channels, blockAlign;
    std::uint32_t bytesPerSecond;
  };
  const Case cases[] = {
      {0, 8000, 8, 1, 1, 8000},        {1, 8000, 8, 2, 2, 16000},
      {2, 8000, 16, 1, 2, 16000},      {kDefaultFormatIndex, 22050, 16, 1, 2, 44100},
      {31, 44100, 16, 2, 4, 176400},   {35, 48000, 16, 2, 4, 192000},
  };
  for (const Case& c : cases) {
    PcmFormat format;
    ASSERT_EQ(PcmFormatFor(StreamFormatOfRow(c.row), &format), 1) << c.row;
    EXPECT_EQ(format.samplesPerSecond, c.rate) << c.row;
    EXPECT_EQ(format.bitsPerSample, c.bits) << c.row;
    EXPECT_EQ(format.channels, c.channels) << c.row;
    EXPECT_EQ(format.blockAlign, c.blockAlign) << c.row;
    EXPECT_EQ(format.averageBytesPerSecond, c.bytesPerSecond) << c.row;
  }
}

// Every label says what its stream format works out to ("11kHz" for 11025
// and so on), and the numbers run from 4 to 39 in order.
TEST(AudioFormatTest, EveryLabelMatchesItsLayout) {
  for (int row = 0; row < kAudioFormatCount; ++row) {
    const AudioFormatRow& entry = AudioFormatTable[row];
    EXPECT_EQ(entry.streamFormat, row + 4);
    unsigned kiloHertz = 0;
    unsigned bits = 0;
    char layout[16] = {};
    ASSERT_EQ(std::sscanf(entry.label, "%ukHz %u Bit %15s", &kiloHertz, &bits, layout), 3)
        << entry.label;
    PcmFormat format;
    ASSERT_EQ(PcmFormatFor(entry.streamFormat, &format), 1);
    EXPECT_EQ(format.samplesPerSecond / 1000, kiloHertz) << entry.label;
    EXPECT_EQ(format.bitsPerSample, bits) << entry.label;
    EXPECT_EQ(format.channels, std::string(layout) == "Stereo" ? 2 : 1) << entry.label;
    EXPECT_TRUE(std::string(layout) == "Stereo" || std::string(layout) == "Mono");
  }
  EXPECT_STREQ(AudioFormatTable[kDefaultFormatIndex].label, "22kHz 16 Bit Mono");
}

TEST(AudioFormatTest, NumbersOutsideTheTableAreRefused) {
  for (int number : {-1, 0, 3, 40, 1000}) {
    PcmFormat format;
    format.samplesPerSecond = 7;
    EXPECT_EQ(PcmFormatFor(number, &format), 0) << number;
    EXPECT_EQ(format.samplesPerSecond, 7u) << number;
  }
  for (int row : {-1, kAudioFormatCount, 1000}) EXPECT_EQ(StreamFormatOfRow(row), 0) << row;
}

}  // namespace
}  // namespace quill
