// The audio formats the Voice Setting dialog offers and the PCM layout of
// each, worked out from the speech service's stream format number. Portable:
// no platform headers.
#pragma once

#include <cstdint>

namespace quill {

// One row of the format list: its label and the speech service's stream
// format number (the row number plus 4).
struct AudioFormatRow {
  const char* label;
  int streamFormat;
};

inline constexpr int kAudioFormatCount = 36;
inline constexpr int kFirstStreamFormat = 4;   // 8 kHz, 8 bits, mono
inline constexpr int kLastStreamFormat = 39;   // 48 kHz, 16 bits, stereo
inline constexpr int kDefaultFormatIndex = 18;  // "22kHz 16 Bit Mono"

// The rows in the order the dialog lists them.
inline constexpr AudioFormatRow AudioFormatTable[kAudioFormatCount] = {
    {"8kHz 8 Bit Mono", 4},      {"8kHz 8 Bit Stereo", 5},    {"8kHz 16 Bit Mono", 6},
    {"8kHz 16 Bit Stereo", 7},   {"11kHz 8 Bit Mono", 8},     {"11kHz 8 Bit Stereo", 9},
    {"11kHz 16 Bit Mono", 10},   {"11kHz 16 Bit Stereo", 11}, {"12kHz 8 Bit Mono", 12},
    {"12kHz 8 Bit Stereo", 13},  {"12kHz 16 Bit Mono", 14},   {"12kHz 16 Bit Stereo", 15},
    {"16kHz 8 Bit Mono", 16},    {"16kHz 8 Bit Stereo", 17},  {"16kHz 16 Bit Mono", 18},
    {"16kHz 16 Bit Stereo", 19}, {"22kHz 8 Bit Mono", 20},    {"22kHz 8 Bit Stereo", 21},
    {"22kHz 16 Bit Mono", 22},   {"22kHz 16 Bit Stereo", 23}, {"24kHz 8 Bit Mono", 24},
    {"24kHz 8 Bit Stereo", 25},  {"24kHz 16 Bit Mono", 26},   {"24kHz 16 Bit Stereo", 27},
    {"32kHz 8 Bit Mono", 28},    {"32kHz 8 Bit Stereo", 29},  {"32kHz 16 Bit Mono", 30},
    {"32kHz 16 Bit Stereo", 31}, {"44kHz 8 Bit Mono", 32},    {"44kHz 8 Bit Stereo", 33},
    {"44kHz 16 Bit Mono", 34},   {"44kHz 16 Bit Stereo", 35}, {"48kHz 8 Bit Mono", 36},
    {"48kHz 8 Bit Stereo", 37},  {"48kHz 16 Bit Mono", 38},   {"48kHz 16 Bit Stereo", 39},
};

// The stream format number of a row, or 0 for a row outside the table.
constexpr int StreamFormatOfRow(int row) {
  return row >= 0 && row < kAudioFormatCount ? AudioFormatTable[row].streamFormat : 0;
}

// A PCM layout, field for field what a WAVEFORMATEX holds.
struct PcmFormat {
  std::uint16_t channels = 0;
  std::uint32_t samplesPerSecond = 0;
  std::uint16_t bitsPerSample = 0;
  std::uint16_t blockAlign = 0;
  std::uint32_t averageBytesPerSecond = 0;
};

// Fills out with the layout of stream format number 4..39: 1, or 0 (out
// untouched) for any other number. Bit 0 of the row picks stereo, bit 1
// sixteen bits, and bits 2 and up the sample rate.
constexpr int PcmFormatFor(int streamFormat, PcmFormat* out) {
  constexpr std::uint32_t kRates[] = {8000, 11025, 12000, 16000, 22050,
                                      24000, 32000, 44100, 48000};
  if (streamFormat < kFirstStreamFormat || streamFormat > kLastStreamFormat) return 0;
  const int row = streamFormat - kFirstStreamFormat;
  PcmFormat format;
  format.channels = static_cast<std::uint16_t>(1 + (row & 1));
  format.samplesPerSecond = kRates[(row >> 2) & 15];
  format.bitsPerSample = static_cast<std::uint16_t>((row & 2) != 0 ? 16 : 8);
  format.blockAlign = static_cast<std::uint16_t>(format.channels * format.bitsPerSample / 8);
  format.averageBytesPerSecond = format.samplesPerSecond * format.blockAlign;
  *out = format;
  return 1;
}

}  // namespace quill
