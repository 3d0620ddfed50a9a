#include "import/gzip.h"

#include <zlib.h>

#include <cstring>

namespace quill::import {

int InflateGzip(const std::uint8_t* data, std::size_t n, std::uint64_t wanted,
                std::vector<std::uint8_t>* out, std::string* problem) {
  out->clear();
  if (wanted == 0) return 1;
  z_stream stream;
  std::memset(&stream, 0, sizeof stream);
  // 16 + 15: gzip framing, the largest window.
  if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) {
    *problem = "cannot start the gzip decoder";
    return 0;
  }
  constexpr std::size_t kChunk = std::size_t{1} << 20;
  constexpr std::size_t kMaxFeed = std::size_t{1} << 30;  // avail_in is 32 bits
  std::size_t consumed = 0;
  std::size_t produced = 0;
  int ok = 1;
  while (produced < wanted) {
    if (out->size() == produced) {
      const std::uint64_t room = wanted - produced < kChunk ? wanted - produced : kChunk;
      out->resize(produced + static_cast<std::size_t>(room));
    }
    const std::size_t feed = n - consumed < kMaxFeed ? n - consumed : kMaxFeed;
    stream.next_in = const_cast<Bytef*>(data + consumed);
    stream.avail_in = static_cast<uInt>(feed);
    stream.next_out = out->data() + produced;
    stream.avail_out = static_cast<uInt>(out->size() - produced);
    const int result = inflate(&stream, Z_NO_FLUSH);
    consumed += feed - stream.avail_in;
    produced = out->size() - stream.avail_out;
    if (result == Z_OK) continue;
    if (result == Z_STREAM_END) {
      // Several gzip members make one text; zero bytes after the last one
      // are padding.
      std::size_t rest = consumed;
      while (rest < n && data[rest] == 0) ++rest;
      if (rest == n) break;
      inflateReset(&stream);
      continue;
    }
    if (result == Z_BUF_ERROR) {
      *problem = "the compressed data ends early";
    } else {
      *problem = std::string("the compressed data is damaged") +
                 (stream.msg != nullptr ? std::string(" (") + stream.msg + ")" : "");
    }
    ok = 0;
    break;
  }
  inflateEnd(&stream);
  out->resize(ok ? produced : 0);
  return ok;
}

struct GzipInflater::Stream {
  z_stream z;
  bool started = false;
};

GzipInflater::GzipInflater(Sink sink, void* context)
    : sink_(sink), context_(context), stream_(std::make_unique<Stream>()),
      out_(std::size_t{1} << 16) {
  std::memset(&stream_->z, 0, sizeof stream_->z);
  stream_->started = inflateInit2(&stream_->z, 16 + MAX_WBITS) == Z_OK;
}

GzipInflater::~GzipInflater() {
  if (stream_->started) inflateEnd(&stream_->z);
}

int GzipInflater::Feed(const std::uint8_t* data, std::size_t n, std::string* problem) {
  if (!stream_->started) {
    *problem = "cannot start the gzip decoder";
    return 0;
  }
  if (failed_) {
    *problem = problem_;
    return 0;
  }
  while (n > 0) {
    if (memberEnded_) {
      std::size_t k = 0;
      while (k < n && data[k] == 0) ++k;
      if (k == n) {
        zeros_ += n;
        return 1;
      }
      // Another member follows: the zeros before it were not padding.
      memberEnded_ = false;
      inflateReset(&stream_->z);
      static const std::uint8_t kZeros[4096] = {};
      for (; zeros_ > 0 && !failed_;) {
        const std::size_t take = zeros_ < sizeof kZeros ? zeros_ : sizeof kZeros;
        zeros_ -= take;
        std::size_t used = 0;
        if (!Inflate(kZeros, take, &used, problem)) return 0;
      }
      zeros_ = 0;
    }
    // avail_in is 32 bits.
    const std::size_t feed = n < (std::size_t{1} << 30) ? n : std::size_t{1} << 30;
    std::size_t used = 0;
    if (!Inflate(data, feed, &used, problem)) return 0;
    data += used;
    n -= used;
  }
  return 1;
}

int GzipInflater::Inflate(const std::uint8_t* data, std::size_t n, std::size_t* used,
                          std::string* problem) {
  z_stream& z = stream_->z;
  z.next_in = const_cast<Bytef*>(data);
  z.avail_in = static_cast<uInt>(n);
  for (;;) {
    z.next_out = out_.data();
    z.avail_out = static_cast<uInt>(out_.size());
    const int result = inflate(&z, Z_NO_FLUSH);
    const std::size_t produced = out_.size() - z.avail_out;
    if (produced > 0) sink_(context_, out_.data(), produced);
    if (result == Z_STREAM_END) {
      memberEnded_ = true;
      zeros_ = 0;
      *used = n - z.avail_in;
      return 1;
    }
    if (result == Z_OK || result == Z_BUF_ERROR) {
      // Z_BUF_ERROR: no progress, the input is used up.
      if (z.avail_out == 0 && result == Z_OK) continue;
      if (z.avail_in == 0 || result == Z_BUF_ERROR) {
        *used = n;
        return 1;
      }
      continue;
    }
    failed_ = true;
    problem_ = std::string("the compressed data is damaged") +
               (z.msg != nullptr ? std::string(" (") + z.msg + ")" : "");
    *problem = problem_;
    return 0;
  }
}

int GzipInflater::Finish(std::string* problem) {
  std::string why;
  if (!Feed(nullptr, 0, &why) || failed_) {
    *problem = why;
    return 0;
  }
  if (!memberEnded_) {
    *problem = "the compressed data ends early";
    return 0;
  }
  return 1;
}

}  // namespace quill::import
