#include "stardict_test_data.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace quill::import::testing {

namespace {

void PutBigEndian(Bytes* out, std::uint64_t value, std::size_t bytes) {
  for (std::size_t i = bytes; i-- > 0;) out->push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutLittle16(Bytes* out, std::size_t value) {
  out->push_back(static_cast<std::uint8_t>(value & 0xFF));
  out->push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutLittle32(Bytes* out, std::uint32_t value) {
  PutLittle16(out, value & 0xFFFF);
  PutLittle16(out, value >> 16);
}

void Append(Bytes* out, const std::string& text) { out->insert(out->end(), text.begin(), text.end()); }

}  // namespace

Bytes ToBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

StarDictFixture MakeStarDict(const StarDictPlan& plan) {
  StarDictFixture f;
  const std::size_t offsetBytes = plan.offsetBits == 64 ? 8 : 4;
  for (const auto& [word, data] : plan.words) {
    Append(&f.idx, word);
    f.idx.push_back(0);
    PutBigEndian(&f.idx, f.dict.size(), offsetBytes);
    PutBigEndian(&f.idx, data.size(), 4);
    Append(&f.dict, data);
  }
  for (const auto& [word, target] : plan.synonyms) {
    Append(&f.syn, word);
    f.syn.push_back(0);
    PutBigEndian(&f.syn, target, 4);
  }
  f.ifo = "StarDict's dict ifo file\nversion=3.0.0\nbookname=" + plan.bookname +
          "\nwordcount=" + std::to_string(plan.words.size()) +
          "\nidxfilesize=" + std::to_string(f.idx.size()) + "\n";
  if (!plan.synonyms.empty()) f.ifo += "synwordcount=" + std::to_string(plan.synonyms.size()) + "\n";
  if (!plan.sameTypeSequence.empty()) f.ifo += "sametypesequence=" + plan.sameTypeSequence + "\n";
  if (plan.offsetBits != 32) f.ifo += "idxoffsetbits=" + std::to_string(plan.offsetBits) + "\n";
  return f;
}

std::string Field(char type, const std::string& content) {
  std::string field(1, type);
  if (type >= 'a' && type <= 'z') return field + content + std::string(1, '\0');
  for (int shift = 24; shift >= 0; shift -= 8) {
    field += static_cast<char>((content.size() >> shift) & 0xFF);
  }
  return field + content;
}

Bytes Dictzip(const std::string& text, std::size_t chunkBytes) {
  z_stream stream;
  std::memset(&stream, 0, sizeof stream);
  deflateInit2(&stream, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  Bytes data(deflateBound(&stream, static_cast<uLong>(text.size())) + 64 * (text.size() / chunkBytes + 2));
  std::vector<std::size_t> sizes;
  for (std::size_t at = 0; at < text.size(); at += chunkBytes) {
    const std::size_t before = stream.total_out;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data() + at));
    stream.avail_in = static_cast<uInt>(std::min(chunkBytes, text.size() - at));
    stream.next_out = data.data() + before;
    stream.avail_out = static_cast<uInt>(data.size() - before);
    deflate(&stream, Z_FULL_FLUSH);
    sizes.push_back(stream.total_out - before);
  }
  stream.next_out = data.data() + stream.total_out;
  stream.avail_out = static_cast<uInt>(data.size() - stream.total_out);
  deflate(&stream, Z_FINISH);  // the empty last block, outside every chunk
  data.resize(stream.total_out);
  deflateEnd(&stream);

  Bytes file = {0x1F, 0x8B, 8, 0x04 | 0x08, 0, 0, 0, 0, 2, 3};
  PutLittle16(&file, 10 + 2 * sizes.size());
  Append(&file, "RA");
  PutLittle16(&file, 6 + 2 * sizes.size());
  PutLittle16(&file, 1);
  PutLittle16(&file, chunkBytes);
  PutLittle16(&file, sizes.size());
  for (const std::size_t size : sizes) PutLittle16(&file, size);
  Append(&file, "name.dict");
  file.push_back(0);
  file.insert(file.end(), data.begin(), data.end());
  const uLong crc = crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(text.data()),
                          static_cast<uInt>(text.size()));
  PutLittle32(&file, static_cast<std::uint32_t>(crc));
  PutLittle32(&file, static_cast<std::uint32_t>(text.size()));
  return file;
}

}  // namespace quill::import::testing
