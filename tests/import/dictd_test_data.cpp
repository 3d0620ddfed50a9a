#include "dictd_test_data.h"

#include <zlib.h>

#include <cstring>

namespace quill::import::testing {

std::string Base64(std::uint64_t value) {
  static const char digits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  do {
    text.insert(text.begin(), digits[value % 64]);
    value /= 64;
  } while (value != 0);
  return text;
}

std::vector<std::uint8_t> Gzip(const std::vector<std::uint8_t>& bytes) {
  z_stream stream;
  std::memset(&stream, 0, sizeof stream);
  deflateInit2(&stream, 9, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::vector<std::uint8_t> out(deflateBound(&stream, static_cast<uLong>(bytes.size())) + 64);
  stream.next_in = const_cast<Bytef*>(bytes.data());
  stream.avail_in = static_cast<uInt>(bytes.size());
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

DictdFiles MakeDictd(const std::vector<std::pair<std::string, std::string>>& articles) {
  DictdFiles files;
  for (const auto& [headword, article] : articles) {
    files.index += headword + "\t" + Base64(files.dict.size()) + "\t" +
                   Base64(article.size()) + "\n";
    files.dict += article;
  }
  return files;
}

}  // namespace quill::import::testing
