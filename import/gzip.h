// Gzip, as dictionaries are packed: a dictd .dict.dz, a StarDict .dict.dz
// or .idx.gz, a DSL .dsl.dz (a dictzip is gzip with an index in its header).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quill::import {

// Inflates gzip data (a dictzip file is gzip with an index in its header)
// into *out, stopping once `wanted` bytes are out or the data ends. Returns
// 1, or 0 with the reason in *problem when the data is damaged or ends
// early.
int InflateGzip(const std::uint8_t* data, std::size_t n, std::uint64_t wanted,
                std::vector<std::uint8_t>* out, std::string* problem);

// Inflates gzip data handed over a piece at a time, through a fixed
// buffer, as InflateGzip does the whole: several members make one text,
// zero bytes after the last are padding.
class GzipInflater {
 public:
  // Receives each inflated piece.
  using Sink = void (*)(void* context, const std::uint8_t* bytes, std::size_t n);
  GzipInflater(Sink sink, void* context);
  ~GzipInflater();
  GzipInflater(const GzipInflater&) = delete;
  GzipInflater& operator=(const GzipInflater&) = delete;

  // The next compressed bytes. Returns 1, or 0 with the reason in *problem
  // once the data is damaged (later calls return 0 too).
  int Feed(const std::uint8_t* data, std::size_t n, std::string* problem);
  // After the last piece: 1, or 0 with the reason when the data ends early.
  int Finish(std::string* problem);

 private:
  // Inflates data[0, n) up to a member's end; *used: how much was taken.
  int Inflate(const std::uint8_t* data, std::size_t n, std::size_t* used, std::string* problem);

  Sink sink_;
  void* context_;
  struct Stream;
  std::unique_ptr<Stream> stream_;
  std::vector<std::uint8_t> out_;
  bool failed_ = false;
  std::string problem_;
  bool memberEnded_ = false;  // the bytes since a member's end are all zero
  std::size_t zeros_ = 0;     // how many of them
};

}  // namespace quill::import
