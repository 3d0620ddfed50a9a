#include "books/shelf_tool.h"

#include <cstdint>
#include <string_view>

#include "books/cmu_lexicon.h"
#include "books/entry_text.h"
#include "books/pronouncing.h"
#include "books/shelf_table.h"
#include "books/source_readers.h"
#include "import/dictd_reader.h"
#include "import/gzip.h"
#include "book/files.h"

namespace quill::books {

namespace {

constexpr const char* kUsage =
    "usage: shelf catalogue\n"
    "       shelf convert KIND INPUT... -o WORDLIST\n"
    "KIND and its INPUTs:\n"
    "  dictd      NAME.index            a dictd database (NAME.dict or NAME.dict.dz beside it)\n"
    "  deflex     NAME.index LEXICON    the same, with phonetic first lines from the lexicon\n"
    "  pronounce  LEXICON               every word of the pronouncing lexicon\n"
    "  thesaurus  TH.dat                a MyThes thesaurus\n"
    "  countries  COUNTRIES ZONES       country table and time-zone table\n"
    "  cities     CITIES                city records\n"
    "  airports   AIRPORTS COUNTRIES    airport table and country table\n"
    "  dialing    CALLING AREA          country calling codes and area codes\n"
    "An INPUT that is gzip-compressed (.gz, .dz) is inflated first.\n";

// A gzip file inflated to more than this is taken as damaged.
constexpr std::uint64_t kMaxInflatedBytes = std::uint64_t{1} << 31;

int Fail(const Console& console, const std::string& message) {
  console.err->Write("shelf: " + message + "\n");
  return kExitFailure;
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

int ReadInput(const std::string& path, std::string* text, const Console& console) {
  std::string native;
  std::string why;
  std::vector<std::uint8_t> bytes;
  if (!NativePath(path, &native)) return Fail(console, path + ": not a usable path");
  if (!ReadWholeFile(native, &bytes, &why)) {
    return Fail(console, path + ": cannot read the file (" + why + ")");
  }
  if (bytes.size() >= 2 && bytes[0] == 0x1F && bytes[1] == 0x8B) {
    std::vector<std::uint8_t> inflated;
    if (!import::InflateGzip(bytes.data(), bytes.size(), kMaxInflatedBytes, &inflated, &why)) {
      return Fail(console, path + ": " + why);
    }
    bytes = std::move(inflated);
  }
  text->assign(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  return kExitOk;
}

int ReadDictdInput(const std::string& indexPath, std::vector<BookEntry>* entries,
                   const Console& console) {
  if (!EndsWith(indexPath, ".index")) return Fail(console, indexPath + ": not a dictd .index");
  const std::string base = indexPath.substr(0, indexPath.size() - 6);
  std::string native;
  std::string dictPath = base + ".dict";
  if (!NativePath(dictPath, &native) || !FileExists(native)) dictPath += ".dz";
  std::string index;
  std::string dict;
  if (ReadInput(indexPath, &index, console) != kExitOk ||
      ReadInput(dictPath, &dict, console) != kExitOk) {
    return kExitFailure;
  }
  std::string problem;
  if (!ReadDictdRepaired(index, dict, entries, &problem)) {
    return Fail(console, indexPath + ": " + problem);
  }
  return kExitOk;
}

int ReadLexicon(const std::string& path, std::vector<CmuWord>* words, const Console& console) {
  std::string text;
  if (ReadInput(path, &text, console) != kExitOk) return kExitFailure;
  std::string problem;
  if (!ReadCmuLexicon(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), words,
                      &problem)) {
    return Fail(console, path + ": " + problem);
  }
  return kExitOk;
}

// Reads each input and hands their texts to a reader of two or one texts.
int ReadTexts(const std::vector<std::string>& inputs, std::size_t count,
              std::vector<std::string>* texts, const Console& console) {
  if (inputs.size() != count) {
    return Fail(console, "this KIND takes " + std::to_string(count) + " INPUT" +
                             (count == 1 ? "" : "s") + "\n" + kUsage);
  }
  texts->resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    if (ReadInput(inputs[i], &(*texts)[i], console) != kExitOk) return kExitFailure;
  }
  return kExitOk;
}

int Convert(const std::string& kind, const std::vector<std::string>& inputs,
            const std::string& output, const Console& console) {
  std::vector<BookEntry> entries;
  std::vector<bool> phonetic;
  std::vector<std::string> texts;
  std::string problem;
  std::string note;
  int ok = 1;
  if (kind == "dictd" || kind == "deflex") {
    const std::size_t wanted = kind == "dictd" ? 1 : 2;
    if (inputs.size() != wanted)
      return Fail(console, kind + " takes " + std::to_string(wanted) + " INPUTs\n" + kUsage);
    if (ReadDictdInput(inputs[0], &entries, console) != kExitOk) return kExitFailure;
    if (kind == "deflex") {
      std::vector<CmuWord> words;
      if (ReadLexicon(inputs[1], &words, console) != kExitOk) return kExitFailure;
      const PronouncingIndex index(words);
      const std::size_t added = AddPhoneticLines(index, &entries, &phonetic);
      note = std::to_string(index.Size()) + " words in the lexicon, " + std::to_string(added) +
             " entries pronounced";
    }
  } else if (kind == "pronounce") {
    if (inputs.size() != 1) return Fail(console, "pronounce takes 1 INPUT\n" + std::string(kUsage));
    std::vector<CmuWord> words;
    if (ReadLexicon(inputs[0], &words, console) != kExitOk) return kExitFailure;
    MakePronouncingEntries(words, &entries, &phonetic);
  } else if (kind == "thesaurus" || kind == "cities") {
    if (ReadTexts(inputs, 1, &texts, console) != kExitOk) return kExitFailure;
    ok = kind == "thesaurus" ? ReadThesaurus(texts[0], &entries, &problem)
                             : ReadCities(texts[0], &entries, &problem);
  } else if (kind == "countries" || kind == "airports" || kind == "dialing") {
    if (ReadTexts(inputs, 2, &texts, console) != kExitOk) return kExitFailure;
    if (kind == "countries") ok = ReadCountries(texts[0], texts[1], &entries, &problem);
    if (kind == "airports") ok = ReadAirports(texts[0], texts[1], &entries, &problem);
    if (kind == "dialing") ok = ReadDialingCodes(texts[0], texts[1], &entries, &problem);
  } else {
    return Fail(console, "unknown KIND \"" + kind + "\"\n" + kUsage);
  }
  if (!ok) return Fail(console, inputs[0] + ": " + problem);

  std::string tsv;
  TsvReport report;
  if (!WriteTsv(entries, phonetic, &tsv, &report)) {
    return Fail(console, inputs[0] + ": a text holds a broken UTF-16 pair");
  }
  std::string native;
  std::string why;
  if (!NativePath(output, &native)) return Fail(console, output + ": not a usable path");
  const std::vector<std::uint8_t> bytes(tsv.begin(), tsv.end());
  if (!WriteFileReplacing(native, bytes, &why)) {
    return Fail(console, output + ": cannot write (" + why + ")");
  }
  std::string summary = "shelf: " + output + ": " + std::to_string(report.entries) + " entries";
  if (!note.empty()) summary += " (" + note + ")";
  if (report.keptPlain != 0) {
    summary += ", " + std::to_string(report.keptPlain) +
               " first lines kept from reading as a transcription";
  }
  if (report.dropped != 0)
    summary += ", " + std::to_string(report.dropped) + " without a key left out";
  console.err->Write(summary + "\n");
  return kExitOk;
}

}  // namespace

int RunShelf(const std::vector<std::string>& args, const Console& console) {
  if (args.empty()) return Fail(console, std::string("no command given\n") + kUsage);
  if (args[0] == "--help" || args[0] == "help") {
    console.out->Write(kUsage);
    return kExitOk;
  }
  if (args[0] == "catalogue") {
    if (args.size() != 1) return Fail(console, "catalogue takes nothing more");
    std::string text;
    for (const ShelfRow& row : ShelfTable) {
      text += std::string(kShelfCategoryNames[static_cast<std::size_t>(row.category)]) + "\t" +
              row.file + "\t" + row.title + "\n";
    }
    console.out->Write(text);
    return kExitOk;
  }
  if (args[0] != "convert") return Fail(console, "unknown command \"" + args[0] + "\"\n" + kUsage);
  std::vector<std::string> inputs;
  std::string output;
  for (std::size_t i = 2; i < args.size(); ++i) {
    if (args[i] == "-o") {
      if (i + 1 == args.size() || !output.empty()) return Fail(console, "-o takes one WORDLIST");
      output = args[++i];
    } else {
      inputs.push_back(args[i]);
    }
  }
  if (args.size() < 2 || output.empty()) {
    return Fail(console, "convert needs a KIND and -o WORDLIST\n" + std::string(kUsage));
  }
  return Convert(args[1], inputs, output, console);
}

}  // namespace quill::books
