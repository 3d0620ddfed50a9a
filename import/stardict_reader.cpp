#include "import/stardict_reader.h"
#include "import/gzip.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <limits>
#include <thread>

#include "import/dict_text.h"
#include "import/dictd_reader.h"
#include "import/markup.h"
#include "book/utf.h"

namespace quill::import {

namespace {

constexpr char kIfoMagic[] = "StarDict's dict ifo file";
// Counts and sizes above this cannot describe any file xqb reads.
constexpr std::uint64_t kMaxNumber = std::uint64_t{1} << 40;

bool IsLower(char c) { return c >= 'a' && c <= 'z'; }
bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }

std::uint64_t BigEndian(const std::uint8_t* p, std::size_t bytes) {
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < bytes; ++i) v = (v << 8) | p[i];
  return v;
}

bool ParseDecimal(const std::string& text, std::uint64_t* value) {
  if (text.empty() || text.size() > 13) return false;
  std::uint64_t v = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (v > kMaxNumber) return false;
  *value = v;
  return true;
}

// A word as messages show it: valid UTF-8 in quotes, without control
// characters, a long one shortened.
std::string Shown(const std::string& word) {
  std::u16string wide;
  if (!Utf8ToUtf16(word, &wide)) return "";
  std::u16string kept;
  for (const char16_t u : wide) {
    if (u >= 0x20) kept += u;
  }
  const bool cut = kept.size() > 40;
  std::size_t n = cut ? 40 : kept.size();
  if (cut && kept[n - 1] >= 0xD800 && kept[n - 1] <= 0xDBFF) --n;
  std::string shown;
  AppendUtf8(kept.data(), n, &shown);
  return " (\"" + shown + (cut ? "...\")" : "\")");
}

std::string WordName(std::size_t number, const std::string& word) {
  return "word " + std::to_string(number) + Shown(word);
}

// StarDict's own order: ASCII letters folded, and words equal so compared
// by their bytes.
int CompareWords(const std::string& a, const std::string& b) {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b) < 0 ? -1 : a.compare(b) > 0 ? 1 : 0;
}

int Refuse(StarDictProblem* problem, StarDictFile file, std::string what) {
  problem->file = file;
  problem->what = std::move(what);
  return 0;
}

// Applies one key=value line of the .ifo.
int ApplyInfoLine(const std::string& key, const std::string& value, std::size_t line,
                  StarDictInfo* info, std::string* problem) {
  const std::string where = "line " + std::to_string(line) + ": ";
  std::uint64_t number = 0;
  const bool numeric = key == "wordcount" || key == "idxfilesize" || key == "synwordcount" ||
                       key == "idxoffsetbits";
  if (numeric && !ParseDecimal(value, &number)) {
    *problem = where + key + " \"" + value + "\" is not a number";
    return 0;
  }
  if (key == "bookname" && !Utf8ToUtf16(value, &info->title)) {
    *problem = where + "the bookname is not valid UTF-8";
    return 0;
  }
  if (key == "wordcount") info->wordCount = number;
  if (key == "idxfilesize") info->idxFileSize = number;
  if (key == "synwordcount") {
    info->synWordCount = number;
    info->haveSynWordCount = true;
  }
  if (key == "idxoffsetbits") {
    if (number != 32 && number != 64) {
      *problem = where + "idxoffsetbits is " + value + " (32 or 64 only)";
      return 0;
    }
    info->offsetBits = static_cast<int>(number);
  }
  if (key == "sametypesequence") {
    for (const char c : value) {
      if (!IsLower(c) && !IsUpper(c)) {
        *problem = where + "sametypesequence \"" + value + "\" holds what is not a type letter";
        return 0;
      }
    }
    info->sameTypeSequence = value;
  }
  return 1;
}

// How a text field's type reads, or false for one the book cannot show.
bool TextMarkup(char type, Markup* markup) {
  switch (type) {
    case 'm':
    case 't':
    case 'y':
    case 'n':
      *markup = Markup::kPlain;
      return true;
    case 'g':
      *markup = Markup::kPango;
      return true;
    case 'h':
      *markup = Markup::kHtml;
      return true;
    case 'x':
      *markup = Markup::kXdxf;
      return true;
    case 'w':
      *markup = Markup::kWiki;
      return true;
    default:
      return false;
  }
}

std::string FieldName(std::size_t number, char type) {
  return "field " + std::to_string(number) + " (type '" + std::string(1, type) + "')";
}

// One field at data[*p]: its type letter and bytes; moves *p past it.
int NextField(const std::uint8_t* data, std::size_t n, const std::string& types,
              std::size_t number, std::size_t* p, char* type, std::size_t* begin,
              std::size_t* size, std::string* problem) {
  const bool listed = !types.empty();
  *type = listed ? types[number - 1] : static_cast<char>(data[(*p)++]);
  if (!IsLower(*type) && !IsUpper(*type)) {
    *problem = "field " + std::to_string(number) + " has no type letter (byte " +
               std::to_string(static_cast<unsigned char>(*type)) + ")";
    return 0;
  }
  const bool last = listed && number == types.size();
  const std::size_t left = n - *p;
  *begin = *p;
  if (IsLower(*type)) {
    const void* nul = left > 0 ? std::memchr(data + *p, 0, left) : nullptr;
    if (nul == nullptr && !last) {
      *problem = FieldName(number, *type) + " has no NUL ending it";
      return 0;
    }
    *size = nul != nullptr ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - data) - *p
                           : left;
    *p += *size + (nul != nullptr ? 1 : 0);
    if (last) *p = n;
    return 1;
  }
  if (last) {
    *size = left;
    *p = n;
    return 1;
  }
  if (left < 4 || BigEndian(data + *p, 4) > left - 4) {
    *problem = FieldName(number, *type) + " runs past the end of the word's data";
    return 0;
  }
  *size = static_cast<std::size_t>(BigEndian(data + *p, 4));
  *begin = *p + 4;
  *p += 4 + *size;
  return 1;
}

int ReadSynonyms(const std::vector<std::uint8_t>& syn, std::size_t wordCount,
                 const StarDictInfo& info, StarDictBook* book, StarDictProblem* problem) {
  std::size_t p = 0;
  std::size_t number = 0;
  while (p < syn.size()) {
    ++number;
    const std::string where = "synonym " + std::to_string(number) + " at byte " + std::to_string(p);
    const void* nul = std::memchr(syn.data() + p, 0, syn.size() - p);
    const std::size_t end = nul != nullptr ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - syn.data()) : syn.size();
    if (nul == nullptr || syn.size() - end - 1 < 4) {
      return Refuse(problem, StarDictFile::kSyn, where + " is cut short (the file ends in it)");
    }
    const std::string word(reinterpret_cast<const char*>(syn.data() + p), end - p);
    const std::uint64_t target = BigEndian(syn.data() + end + 1, 4);
    p = end + 5;
    BookEntry entry;
    if (!Utf8ToUtf16(word, &entry.key)) {
      return Refuse(problem, StarDictFile::kSyn, where + " is not valid UTF-8");
    }
    if (target >= wordCount) {
      return Refuse(problem, StarDictFile::kSyn,
                    "synonym " + std::to_string(number) + Shown(word) + " stands for word " +
                        std::to_string(target) + " (counted from 0), but the .idx holds " +
                        std::to_string(wordCount) + " words");
    }
    if (entry.key == book->entries[static_cast<std::size_t>(target)].key) continue;
    entry.content = book->entries[static_cast<std::size_t>(target)].content;
    book->entries.push_back(std::move(entry));
    book->numbers.push_back(number);
  }
  if (info.haveSynWordCount && number != info.synWordCount) {
    return Refuse(problem, StarDictFile::kIfo,
                  "synwordcount is " + std::to_string(info.synWordCount) + " but the .syn holds " +
                      std::to_string(number) + " synonyms");
  }
  return 1;
}

// The .dict text, opened; `wanted` is how far the words reach into it.
int OpenDict(const StarDictFiles& files, std::uint64_t wanted, DictText* dict,
             StarDictProblem* problem) {
  if (!files.dictGzip) {
    dict->OpenPlain(files.dict.data(), files.dict.size());
    return 1;
  }
  std::string why;
  if (!dict->OpenGzip(files.dict.data(), files.dict.size(), wanted, &why)) {
    return Refuse(problem, StarDictFile::kDict, why);
  }
  return 1;
}

// Word w (from 0) as an entry. 1, or 0 with the problem naming it.
int ReadWord(const StarDictWord& word, std::size_t w, const StarDictInfo& info, DictText& dict,
             BookEntry* entry, SkippedFields* skipped, TranscriptionCounts* transcriptions,
             StarDictProblem* problem) {
  std::string why;
  if (!Utf8ToUtf16(word.word, &entry->key)) {
    return Refuse(problem, StarDictFile::kIdx, "word " + std::to_string(w + 1) + " at byte " +
                                                   std::to_string(word.at) +
                                                   " is not valid UTF-8");
  }
  if (word.offset > dict.Size() || word.size > dict.Size() - word.offset) {
    return Refuse(problem, StarDictFile::kIdx,
                  WordName(w + 1, word.word) + ": its data (" + std::to_string(word.size) +
                      " bytes at offset " + std::to_string(word.offset) +
                      ") runs past the end of the " + std::to_string(dict.Size()) +
                      " bytes of dictionary text");
  }
  const std::uint8_t* data = nullptr;
  if (!dict.Read(word.offset, word.size, &data, &why) ||
      !StarDictContent(data, word.size, info.sameTypeSequence, &entry->content, skipped, &why,
                       transcriptions)) {
    return Refuse(problem, StarDictFile::kDict,
                  WordName(w + 1, word.word) + " at offset " + std::to_string(word.offset) +
                      ": " + why);
  }
  // Held until the book is made: no room to spare.
  entry->key.shrink_to_fit();
  entry->content.shrink_to_fit();
  return 1;
}

// Words a thread is given at the least: fewer are read sooner than a
// thread starts.
constexpr std::size_t kWordsPerThread = 2048;
// Words between two reports of progress.
constexpr std::size_t kWordsPerReport = 1024;

// The words read by a thread, and how that went.
struct WordRange {
  std::size_t first = 0;
  std::size_t end = 0;
  SkippedFields skipped;
  TranscriptionCounts transcriptions;
  bool failed = false;
  StarDictProblem problem;
};

// Reads every word, shared out among the cores in ranges, each range with
// its own view of the text (a dictzip's chunks are inflated where they are
// needed). The book and the problem are the same whatever the number of
// threads: the first word that fails is the one told. Progress counts the
// words of every range and is told by the calling thread, which reads the
// first range.
int ReadWords(const std::vector<StarDictWord>& words, const StarDictInfo& info,
              const DictText& dict, StarDictBook* book, StarDictProblem* problem,
              const StarDictProgress& progress) {
  const std::size_t count = words.size();
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  const std::size_t threads =
      std::max<std::size_t>(1, std::min<std::size_t>(cores, count / kWordsPerThread));
  std::vector<WordRange> ranges(threads);
  for (std::size_t t = 0; t < threads; ++t) {
    ranges[t].first = count * t / threads;
    ranges[t].end = count * (t + 1) / threads;
  }
  book->entries.resize(count);
  std::atomic<std::size_t> done{0};
  std::atomic<bool> stop{false};
  auto read = [&](WordRange& range, bool telling) {
    DictText own = dict.Another();
    for (std::size_t w = range.first; w < range.end; ++w) {
      if (!ReadWord(words[w], w, info, own, &book->entries[w], &range.skipped, &range.transcriptions,
                    &range.problem)) {
        range.failed = true;
        return;
      }
      if ((w - range.first + 1) % kWordsPerReport != 0) continue;
      const std::size_t sofar = done.fetch_add(kWordsPerReport, std::memory_order_relaxed);
      if (telling && progress && !progress(sofar + kWordsPerReport, count)) stop = true;
      if (stop.load(std::memory_order_relaxed)) return;
    }
  };
  std::vector<std::thread> helpers;
  for (std::size_t t = 1; t < threads; ++t) {
    helpers.emplace_back(read, std::ref(ranges[t]), false);
  }
  read(ranges[0], true);
  for (std::thread& helper : helpers) helper.join();
  if (stop) {
    problem->stopped = true;
    book->entries.clear();
    return 0;
  }
  for (WordRange& range : ranges) {
    if (range.failed) {
      *problem = std::move(range.problem);
      book->entries.clear();
      return 0;
    }
    for (const auto& [type, n] : range.skipped) book->skipped[type] += n;
    book->transcriptions.mapped += range.transcriptions.mapped;
    book->transcriptions.text += range.transcriptions.text;
  }
  book->numbers.resize(count);
  for (std::size_t w = 0; w < count; ++w) book->numbers[w] = w + 1;
  if (progress) progress(count, count);
  return 1;
}

}  // namespace

int ReadStarDictInfo(const std::uint8_t* bytes, std::size_t n, StarDictInfo* info,
                     std::string* problem) {
  *info = StarDictInfo{};
  const char* text = reinterpret_cast<const char*>(bytes);
  std::size_t p = 0;
  if (n >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0) p = 3;
  bool haveWordCount = false;
  bool haveIdxFileSize = false;
  std::size_t line = 0;
  while (p < n) {
    ++line;
    const auto [start, end] = NextLine(text, n, &p);
    const std::string content(text + start, end - start);
    if (line == 1) {
      if (content != kIfoMagic) {
        *problem = std::string("the first line is not \"") + kIfoMagic + "\"";
        return 0;
      }
      continue;
    }
    const std::size_t equals = content.find('=');
    if (equals == std::string::npos) continue;
    const std::string key = content.substr(0, equals);
    if (!ApplyInfoLine(key, content.substr(equals + 1), line, info, problem)) return 0;
    haveWordCount = haveWordCount || key == "wordcount";
    haveIdxFileSize = haveIdxFileSize || key == "idxfilesize";
  }
  if (line == 0) {
    *problem = std::string("the first line is not \"") + kIfoMagic + "\"";
    return 0;
  }
  if (!haveWordCount || !haveIdxFileSize) {
    *problem = std::string("no ") + (haveWordCount ? "idxfilesize" : "wordcount") + " line";
    return 0;
  }
  return 1;
}

int ReadStarDictIndex(const std::uint8_t* idx, std::size_t n, const StarDictInfo& info,
                      std::vector<StarDictWord>* words, StarDictProblem* problem) {
  const std::size_t offsetBytes = info.offsetBits == 64 ? 8 : 4;
  std::size_t p = 0;
  while (p < n) {
    const std::size_t number = words->size() + 1;
    const void* nul = std::memchr(idx + p, 0, n - p);
    const std::size_t end = nul != nullptr ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - idx) : n;
    if (nul == nullptr || n - end - 1 < offsetBytes + 4) {
      return Refuse(problem, StarDictFile::kIdx,
                    "word " + std::to_string(number) + " at byte " + std::to_string(p) +
                        " is cut short (the file ends in it)");
    }
    StarDictWord word;
    word.word.assign(reinterpret_cast<const char*>(idx + p), end - p);
    word.at = p;
    word.offset = BigEndian(idx + end + 1, offsetBytes);
    word.size = static_cast<std::uint32_t>(BigEndian(idx + end + 1 + offsetBytes, 4));
    if (!words->empty() && CompareWords(words->back().word, word.word) > 0) {
      return Refuse(problem, StarDictFile::kIdx,
                    WordName(number, word.word) + " at byte " + std::to_string(p) +
                        " is out of order: it sorts before " +
                        WordName(number - 1, words->back().word));
    }
    p = end + 1 + offsetBytes + 4;
    words->push_back(std::move(word));
  }
  if (words->size() != info.wordCount) {
    return Refuse(problem, StarDictFile::kIfo,
                  "wordcount is " + std::to_string(info.wordCount) + " but the .idx holds " +
                      std::to_string(words->size()) + " words");
  }
  if (n != info.idxFileSize) {
    return Refuse(problem, StarDictFile::kIfo,
                  "idxfilesize is " + std::to_string(info.idxFileSize) + " but the .idx holds " +
                      std::to_string(n) + " bytes");
  }
  return 1;
}

int StarDictContent(const std::uint8_t* data, std::size_t n, const std::string& types,
                    std::u16string* content, SkippedFields* skipped, std::string* problem,
                    TranscriptionCounts* transcriptions) {
  std::u16string transcription;
  std::u16string text;
  std::size_t p = 0;
  for (std::size_t number = 1; types.empty() ? p < n : number <= types.size(); ++number) {
    char type = 0;
    std::size_t begin = 0;
    std::size_t size = 0;
    if (!NextField(data, n, types, number, &p, &type, &begin, &size, problem)) return 0;
    Markup markup = Markup::kPlain;
    if (!TextMarkup(type, &markup)) {
      ++(*skipped)[type];
      continue;
    }
    std::u16string field;
    std::size_t bad = 0;
    if (!AppendUtf16(reinterpret_cast<const char*>(data + begin), size, &field, &bad)) {
      *problem = FieldName(number, type) + " is not valid UTF-8 (byte " + std::to_string(bad) +
                 " of the field)";
      return 0;
    }
    std::u16string& to = type == 't' ? transcription : text;
    const std::u16string readable = MarkupToText(markup, field);
    if (readable.empty()) continue;
    if (!to.empty()) to += type == 't' ? u' ' : u'\n';
    to += readable;
  }
  *content = WithTranscription(transcription, std::move(text), transcriptions);
  return 1;
}

int ReadStarDict(const StarDictFiles& files, StarDictBook* book, StarDictProblem* problem,
                 const StarDictProgress& progress) {
  *book = StarDictBook{};
  StarDictInfo info;
  if (!ReadStarDictInfo(files.ifo.data(), files.ifo.size(), &info, &problem->what)) {
    problem->file = StarDictFile::kIfo;
    return 0;
  }
  book->title = info.title;
  std::vector<std::uint8_t> inflated;
  const std::vector<std::uint8_t>* idx = &files.idx;
  if (files.idxGzip) {
    // Whole, so that its size and records are checked as a plain .idx's.
    if (!InflateGzip(files.idx.data(), files.idx.size(), std::numeric_limits<std::uint64_t>::max(),
                     &inflated, &problem->what)) {
      problem->file = StarDictFile::kIdx;
      return 0;
    }
    idx = &inflated;
  }
  std::vector<StarDictWord> words;
  if (!ReadStarDictIndex(idx->data(), idx->size(), info, &words, problem)) return 0;
  inflated = {};
  if (info.haveSynWordCount && info.synWordCount > 0 && !files.haveSyn) {
    return Refuse(problem, StarDictFile::kIfo,
                  "synwordcount is " + std::to_string(info.synWordCount) + " but there is no .syn");
  }

  std::uint64_t wanted = 0;
  for (const StarDictWord& w : words) wanted = std::max(wanted, w.offset + w.size);
  DictText dict;
  if (!OpenDict(files, wanted, &dict, problem)) return 0;
  if (!ReadWords(words, info, dict, book, problem, progress)) return 0;
  book->synonymsFrom = book->entries.size();
  if (!files.haveSyn) return 1;
  return ReadSynonyms(files.syn, words.size(), info, book, problem);
}

}  // namespace quill::import
