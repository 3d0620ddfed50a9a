#include "books/entry_text.h"

#include "import/tsv_reader.h"
#include "book/utf.h"

namespace quill::books {

namespace {

// Windows-1252 at 0x80 to 0x9F; its five unassigned bytes read as U+FFFD.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

}  // namespace

std::string RepairUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const std::size_t n = Utf8SequenceLength(bytes.data() + i, bytes.size() - i);
    if (n != 0) {
      if (bytes[i] != 0) out.append(bytes.data() + i, n);
      i += n;
      continue;
    }
    const auto b = static_cast<unsigned char>(bytes[i++]);
    AppendUtf8(b < 0xA0 ? kWindows1252High[b - 0x80] : char32_t{b}, &out);
  }
  return out;
}

std::u16string RepairedUtf16(std::string_view bytes) {
  std::u16string out;
  Utf8ToUtf16(RepairUtf8(bytes), &out);
  return out;
}

bool ReadsAsPhonetic(const std::u16string& content) {
  const std::size_t bracket = content.find(u'[');
  return bracket != std::u16string::npos && bracket <= kLastPhoneticBracketIndex;
}

int KeepFirstLinePlain(std::u16string* content) {
  if (!ReadsAsPhonetic(*content)) return 0;
  const std::size_t bracket = content->find(u'[');
  content->insert(0, kLastPhoneticBracketIndex + 1 - bracket, u' ');
  return 1;
}

std::u16string WithPhoneticLine(const std::string& transcription, const std::u16string& content) {
  std::u16string text = u"[" + RepairedUtf16(transcription) + u"]\n";
  return text + content;
}

void EntryMerger::Add(const std::u16string& key, const std::u16string& firstLine,
                      const std::u16string& text) {
  const auto found = where_.find(key);
  if (found == where_.end()) {
    where_.emplace(key, entries_.size());
    BookEntry entry;
    entry.key = key;
    entry.content = firstLine.empty() ? text : firstLine + u"\n" + text;
    entries_.push_back(std::move(entry));
    return;
  }
  std::u16string& content = entries_[found->second].content;
  if (!content.empty()) content += u'\n';
  content += text;
}

std::vector<BookEntry> EntryMerger::Take() {
  where_.clear();
  return std::move(entries_);
}

int WriteTsv(const std::vector<BookEntry>& entries, const std::vector<bool>& phonetic,
             std::string* out, TsvReport* report) {
  for (std::size_t n = 0; n < entries.size(); ++n) {
    std::u16string key = entries[n].key;
    for (char16_t& u : key) {
      if (u == u'\t' || u == u'\n' || u == u'\r') u = u' ';
    }
    if (key.empty()) {
      ++report->dropped;
      continue;
    }
    std::u16string content = entries[n].content;
    if (n < phonetic.size() && phonetic[n]) {
      ++report->phonetic;
    } else {
      report->keptPlain += static_cast<std::size_t>(KeepFirstLinePlain(&content));
    }
    if (AppendUtf8(key.data(), key.size(), out) != 0) return 0;
    *out += '\t';
    if (!import::AppendEscapedContent(content.data(), content.size(), out)) return 0;
    *out += '\n';
    ++report->entries;
  }
  return 1;
}

}  // namespace quill::books
