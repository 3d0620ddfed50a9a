#include "books/pronouncing.h"

#include "books/entry_text.h"

namespace quill::books {

namespace {

std::u16string Folded(const std::u16string& text) {
  std::u16string folded = text;
  for (char16_t& u : folded) {
    if (u >= u'A' && u <= u'Z') u = static_cast<char16_t>(u + (u'a' - u'A'));
  }
  return folded;
}

bool IsVowel(const std::string& phone) {
  static constexpr const char* kVowels[] = {"aa", "ae", "ah", "ao", "aw", "ax", "ay", "eh",
                                            "er", "ey", "ih", "iy", "ow", "oy", "uh", "uw"};
  for (const char* vowel : kVowels) {
    if (phone == vowel) return true;
  }
  return false;
}

std::string PartOfSpeechName(const std::string& code) {
  if (code == "n") return "noun";
  if (code == "v") return "verb";
  if (code == "j") return "adjective";
  if (code == "dt") return "determiner";
  return code;
}

}  // namespace

PronouncingIndex::PronouncingIndex(const std::vector<CmuWord>& words) {
  for (const CmuWord& word : words) {
    const std::u16string key = Folded(RepairedUtf16(word.word));
    if (transcriptions_.count(key) != 0) continue;
    std::string transcription;
    if (Transcribe(word.syllables, &transcription)) transcriptions_.emplace(key, transcription);
  }
}

const std::string* PronouncingIndex::Find(const std::u16string& key) const {
  const auto found = transcriptions_.find(Folded(key));
  return found == transcriptions_.end() ? nullptr : &found->second;
}

std::size_t AddPhoneticLines(const PronouncingIndex& index, std::vector<BookEntry>* entries,
                             std::vector<bool>* phonetic) {
  phonetic->assign(entries->size(), false);
  std::size_t added = 0;
  for (std::size_t n = 0; n < entries->size(); ++n) {
    BookEntry& entry = (*entries)[n];
    const std::string* transcription = index.Find(entry.key);
    if (transcription == nullptr) continue;
    entry.content = WithPhoneticLine(*transcription, entry.content);
    (*phonetic)[n] = true;
    ++added;
  }
  return added;
}

std::string ArpabetText(const CmuWord& word) {
  std::string text;
  if (word.partOfSpeech != "nil") text = PartOfSpeechName(word.partOfSpeech) + ": ";
  for (std::size_t s = 0; s < word.syllables.size(); ++s) {
    if (s != 0) text += " -";
    for (const std::string& phone : word.syllables[s].phones) {
      if (!text.empty() && text.back() != ' ') text += ' ';
      for (const char c : phone) {
        text += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
      }
      if (IsVowel(phone)) text += word.syllables[s].stressed ? '1' : '0';
    }
  }
  return text;
}

void MakePronouncingEntries(const std::vector<CmuWord>& words, std::vector<BookEntry>* entries,
                            std::vector<bool>* phonetic) {
  EntryMerger merger;
  std::unordered_map<std::u16string, std::string> transcriptions;
  for (const CmuWord& word : words) {
    const std::u16string key = RepairedUtf16(word.word);
    std::string transcription;
    if (transcriptions.count(key) == 0 && Transcribe(word.syllables, &transcription)) {
      transcriptions.emplace(key, transcription);
    }
    merger.Add(key, key, RepairedUtf16(ArpabetText(word)));
  }
  *entries = merger.Take();
  phonetic->assign(entries->size(), false);
  for (std::size_t n = 0; n < entries->size(); ++n) {
    BookEntry& entry = (*entries)[n];
    const auto found = transcriptions.find(entry.key);
    if (found == transcriptions.end()) continue;
    entry.content = WithPhoneticLine(found->second, entry.content);
    (*phonetic)[n] = true;
  }
}

}  // namespace quill::books
