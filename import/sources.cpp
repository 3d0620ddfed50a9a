#include "import/sources.h"
#include "import/gzip.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>

#include "import/dictd_reader.h"
#include "import/dsl_reader.h"
#include "book/files.h"
#include "import/stardict_reader.h"
#include "import/tsv_reader.h"
#include "book/utf.h"

namespace quill::import {

namespace {

int Fail(std::string* problem, const std::string& message) {
  *problem = message;
  return 0;
}

// File names are matched without regard to ASCII case: NAME.IFO is a
// StarDict dictionary too.
bool EndsWith(const std::string& text, const std::string& tail) {
  if (text.size() < tail.size()) return false;
  for (std::size_t i = 0; i < tail.size(); ++i) {
    char c = text[text.size() - tail.size() + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != tail[i]) return false;
  }
  return true;
}

int ReadInputFile(const std::string& path, std::vector<std::uint8_t>* bytes,
                  std::string* failure) {
  std::string native;
  std::string why;
  if (!NativePath(path, &native)) {
    return Fail(failure, path + ": the path cannot be given to the system");
  }
  if (!ReadWholeFile(native, bytes, &why)) {
    return Fail(failure, path + ": cannot read the file (" + why + ")");
  }
  return 1;
}

bool Exists(const std::string& path) {
  std::string native;
  return NativePath(path, &native) && FileExists(native);
}

// The first of base + each ending that is there, or "" when none is.
std::string Beside(const std::string& base, std::initializer_list<const char*> endings) {
  for (const char* ending : endings) {
    if (Exists(base + ending)) return base + ending;
  }
  return "";
}

// Every entry of source from `first` on came from place, numbered by
// numbers.
void AddOrigins(Source* source, const std::string& place, const std::vector<std::size_t>& numbers,
                std::size_t first, std::size_t end) {
  const auto index = static_cast<std::uint32_t>(source->places.size());
  source->places.push_back(place);
  for (std::size_t n = first; n < end; ++n) source->origins.push_back({index, numbers[n]});
}

int ReadDictd(const std::string& indexPath, Source* source, std::string* failure) {
  std::vector<std::uint8_t> indexBytes;
  if (!ReadInputFile(indexPath, &indexBytes, failure)) return 0;
  std::vector<DictdRecord> records;
  std::string problem;
  if (!ReadDictdIndex(indexBytes.data(), indexBytes.size(), &records, &problem)) {
    return Fail(failure, indexPath + ": " + problem);
  }
  indexBytes = {};

  const std::string base = indexPath.substr(0, indexPath.size() - 6);  // ".index"
  const std::string plain = base + ".dict";
  const std::string packed = base + ".dict.dz";
  std::vector<std::uint8_t> dict;
  std::string dictPath = plain;
  if (Exists(plain)) {
    if (!ReadInputFile(plain, &dict, failure)) return 0;
  } else if (Exists(packed)) {
    dictPath = packed;
    std::vector<std::uint8_t> compressed;
    if (!ReadInputFile(packed, &compressed, failure)) return 0;
    if (!InflateGzip(compressed.data(), compressed.size(), DictdTextNeeded(records), &dict,
                     &problem)) {
      return Fail(failure, packed + ": " + problem);
    }
  } else {
    return Fail(failure, indexPath + ": neither " + plain + " nor " + packed + " is there");
  }
  std::vector<std::size_t> lines;
  if (!ReadDictdArticles(records, dict.data(), dict.size(), &source->entries, &lines,
                         &source->title, &problem)) {
    return Fail(failure, indexPath + ": " + problem + " (" + dictPath + ")");
  }
  AddOrigins(source, indexPath + ": line ", lines, 0, lines.size());
  return 1;
}

std::string SkippedNote(const std::string& path, const SkippedFields& skipped) {
  std::size_t total = 0;
  std::string kinds;
  for (const auto& [type, count] : skipped) {
    total += count;
    kinds += (kinds.empty() ? "" : ", ") + std::string(1, type) + " " + std::to_string(count);
  }
  return path + ": " + std::to_string(total) +
         " fields left out, resources and binary data the book cannot hold (" + kinds + ")";
}

int ReadStarDictSource(const std::string& ifoPath, Source* source, std::string* failure,
                       const ReadProgress& progress) {
  const std::string base = ifoPath.substr(0, ifoPath.size() - 4);  // ".ifo"
  const std::string idxPath = Beside(base, {".idx", ".idx.gz"});
  const std::string dictPath = Beside(base, {".dict", ".dict.dz"});
  const std::string synPath = base + ".syn";
  StarDictFiles files;
  if (!ReadInputFile(ifoPath, &files.ifo, failure)) return 0;
  if (idxPath.empty() || dictPath.empty()) {
    const std::string which = idxPath.empty() ? ".idx" : ".dict";
    return Fail(failure, ifoPath + ": neither " + base + which + " nor " + base + which +
                             (idxPath.empty() ? ".gz" : ".dz") + " is there");
  }
  files.idxGzip = EndsWith(idxPath, ".gz");
  files.dictGzip = EndsWith(dictPath, ".dz");
  files.haveSyn = Exists(synPath);
  if (!ReadInputFile(idxPath, &files.idx, failure) ||
      !ReadInputFile(dictPath, &files.dict, failure) ||
      (files.haveSyn && !ReadInputFile(synPath, &files.syn, failure))) {
    return 0;
  }
  StarDictBook book;
  StarDictProblem problem;
  if (!ReadStarDict(files, &book, &problem, progress)) {
    if (problem.stopped) return 0;
    const std::string paths[] = {ifoPath, idxPath, dictPath, synPath};
    return Fail(failure, paths[static_cast<int>(problem.file)] + ": " + problem.what);
  }
  source->entries = std::move(book.entries);
  source->title = book.title;
  const std::size_t count = source->entries.size();
  AddOrigins(source, idxPath + ": word ", book.numbers, 0, book.synonymsFrom);
  AddOrigins(source, synPath + ": synonym ", book.numbers, book.synonymsFrom, count);
  if (!book.skipped.empty()) source->notes.push_back(SkippedNote(ifoPath, book.skipped));
  const std::string transcribed = TranscriptionNote(ifoPath, book.transcriptions);
  if (!transcribed.empty()) source->notes.push_back(transcribed);
  return 1;
}

// Read, inflated and decoded a piece at a time: only the entries stay, not
// the text. The whole file is read even past a fault, so that the faults
// rank as if each step had taken the whole file in turn: reading, then
// inflating, then the text.
int ReadDslSource(const std::string& path, Source* source, std::string* failure,
                  const ReadProgress& progress) {
  std::string native;
  if (!NativePath(path, &native)) {
    return Fail(failure, path + ": the path cannot be given to the system");
  }
  std::FILE* file = OpenFile(native, "rb");
  if (file == nullptr) {
    return Fail(failure, path + ": cannot read the file (" + std::strerror(errno) + ")");
  }
  DslBook book;
  DslReader reader(&book);
  GzipInflater inflater(
      [](void* context, const std::uint8_t* bytes, std::size_t n) {
        static_cast<DslReader*>(context)->Feed(bytes, n);
      },
      &reader);
  const bool packed = EndsWith(path, ".dz");
  const std::uint64_t size = OpenFileSize(file);
  std::uint64_t read = 0;
  bool inflating = true;
  std::string problem;
  std::vector<std::uint8_t> piece(std::size_t{1} << 16);
  for (;;) {
    const std::size_t got = std::fread(piece.data(), 1, piece.size(), file);
    if (!packed) {
      reader.Feed(piece.data(), got);
    } else if (inflating && !inflater.Feed(piece.data(), got, &problem)) {
      inflating = false;
    }
    read += got;
    if (progress && !progress(read, std::max(read, size))) {
      std::fclose(file);
      return 0;
    }
    if (got < piece.size()) break;
  }
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return Fail(failure, path + ": cannot read the file (read error)");
  if (packed && (!inflating || !inflater.Finish(&problem))) {
    return Fail(failure, path + ": " + problem);
  }
  if (!reader.Finish(&problem)) {
    return Fail(failure, path + ": " + problem);
  }
  source->entries = std::move(book.entries);
  source->title = book.name;
  AddOrigins(source, path + ": line ", book.lines, 0, book.lines.size());
  const std::string transcribed = TranscriptionNote(path, book.transcriptions);
  if (!transcribed.empty()) source->notes.push_back(transcribed);
  return 1;
}

int ReadWordList(const std::string& path, Source* source, std::string* failure) {
  std::vector<std::uint8_t> bytes;
  if (!ReadInputFile(path, &bytes, failure)) return 0;
  std::string problem;
  std::vector<std::size_t> lines;
  if (!ReadTsv(bytes.data(), bytes.size(), &source->entries, &lines, &problem)) {
    return Fail(failure, path + ": " + problem);
  }
  AddOrigins(source, path + ": line ", lines, 0, lines.size());
  return 1;
}

}  // namespace

int ReadSource(const std::string& input, Source* source, std::string* failure,
               const ReadProgress& progress) {
  if (EndsWith(input, ".index")) return ReadDictd(input, source, failure);
  if (EndsWith(input, ".ifo")) return ReadStarDictSource(input, source, failure, progress);
  if (EndsWith(input, ".dsl") || EndsWith(input, ".dsl.dz")) {
    return ReadDslSource(input, source, failure, progress);
  }
  return ReadWordList(input, source, failure);
}

const std::vector<std::string>& DictionaryEndings() {
  static const std::vector<std::string> endings{".ifo", ".dsl", ".dsl.dz", ".index", ".txt"};
  return endings;
}

bool IsDictionaryPath(const std::string& path) {
  for (const std::string& ending : DictionaryEndings()) {
    if (EndsWith(path, ending)) return true;
  }
  return false;
}

std::string Stem(const std::string& path) {
  std::size_t start = path.find_last_of("/\\");
  start = start == std::string::npos ? 0 : start + 1;
  std::string name = path.substr(start);
  if (EndsWith(name, ".dz") && name.size() > 3) name.erase(name.size() - 3);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

}  // namespace quill::import
