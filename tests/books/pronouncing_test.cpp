// The pronouncing lexicon: reading it, and the phonetic lines and the book
// made from it.
#include "books/pronouncing.h"

#include <gtest/gtest.h>

#include <string>

#include "books/entry_text.h"

namespace quill::books {
namespace {

std::vector<CmuWord> Read(const std::string& text, std::string* problem = nullptr) {
  std::vector<CmuWord> words;
  std::string scratch;
  const int ok = ReadCmuLexicon(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(),
                                &words, problem != nullptr ? problem : &scratch);
  if (!ok) words.clear();
  return words;
}

const char kLexicon[] =
    "MNCL\n"
    "(\"a\" dt (((ax) 0)))\n"
    "(\"a\" n (((ey) 1)))\n"
    "; a comment\n"
    "(\"book\" nil (((b uh k) 1)))\r\n"
    "\n"
    "(\"Agha\" n (((aa) 1) ((g ax) 0)))\n"
    "(\"record\" n (((r eh) 1) ((k er d) 0)))\n"
    "(\"record\" v (((r ax) 0) ((k ao r d) 1)))\n"
    "(\"odd\" nil (((q aa d) 1)))\n"
    "(\"odd\" nil (((aa d) 1)))\n";

TEST(CmuLexiconTest, ReadsWordsSyllablesAndStress) {
  const std::vector<CmuWord> words = Read(kLexicon);
  ASSERT_EQ(words.size(), 8u);
  EXPECT_EQ(words[0].word, "a");
  EXPECT_EQ(words[0].partOfSpeech, "dt");
  EXPECT_EQ(words[2].word, "book");
  EXPECT_EQ(words[2].line, 5u);
  ASSERT_EQ(words[4].syllables.size(), 2u);
  EXPECT_EQ(words[4].syllables[1].phones, (std::vector<std::string>{"k", "er", "d"}));
  EXPECT_TRUE(words[4].syllables[0].stressed);
  EXPECT_FALSE(words[4].syllables[1].stressed);
  EXPECT_EQ(words[5].partOfSpeech, "v");
}

TEST(CmuLexiconTest, RefusesMalformedLinesNamingThem) {
  for (const char* bad : {
           "(\"book\" nil (((b uh k) 1))",     // a parenthesis short
           "(\"book\" nil (((b uh k) 3)))",    // no such stress
           "(\"book\" nil ((() 1)))",          // a syllable without phones
           "(\"book\" nil ()) junk",           // no syllables, junk after
           "(\"book\" nil (((b uh k) 1))) x",  // junk after
           "(book nil (((b uh k) 1)))",        // the word unquoted
           "(\"\" nil (((b uh k) 1)))",        // an empty word
           "(\"bo\tok\" nil (((b uh k) 1)))",  // a control character
           "MNCL",                             // the name only on the first line
       }) {
    std::string problem;
    EXPECT_TRUE(Read(std::string("(\"ok\" nil (((ow k) 1)))\n") + bad + "\n", &problem).empty())
        << bad;
    EXPECT_EQ(problem.rfind("line 2: ", 0), 0u) << bad << ": " << problem;
  }
}

TEST(PronouncingIndexTest, FindsKeysWithCaseFoldedAndTheFirstWritablePronunciation) {
  const PronouncingIndex index(Read(kLexicon));
  ASSERT_NE(index.Find(u"Book"), nullptr);
  EXPECT_EQ(*index.Find(u"BOOK"), "bUk");
  EXPECT_EQ(*index.Find(u"a"), "5");
  EXPECT_EQ(*index.Find(u"agha"), "'1g5");
  EXPECT_EQ(*index.Find(u"record"), "'r9k6d");
  // The first line has a phone the alphabet cannot write; the next can.
  EXPECT_EQ(*index.Find(u"odd"), "1d");
  EXPECT_EQ(index.Find(u"books"), nullptr);
  EXPECT_EQ(index.Find(u"book of account"), nullptr);
  EXPECT_EQ(index.Size(), 5u);
}

TEST(PronouncingIndexTest, KnownKeysGetAPhoneticFirstLineAndOthersNone) {
  std::vector<BookEntry> entries = {
      {u"book", u"book\n    n 1: a written work"},
      {u"book of account", u"book of account\n    n 1: a ledger"},
      {u"Record", u"record\n    n 1: ..."},
  };
  std::vector<bool> phonetic;
  EXPECT_EQ(AddPhoneticLines(PronouncingIndex(Read(kLexicon)), &entries, &phonetic), 2u);
  EXPECT_EQ(phonetic, (std::vector<bool>{true, false, true}));
  EXPECT_EQ(entries[0].content, u"[bUk]\nbook\n    n 1: a written work");
  EXPECT_EQ(entries[1].content, u"book of account\n    n 1: a ledger");
  EXPECT_EQ(entries[2].content, u"['r9k6d]\nrecord\n    n 1: ...");
  for (const BookEntry& e : entries) {
    // The form the reader takes out: "[" at the start, "]" before the
    // first line break, no more than 49 units.
    if (!ReadsAsPhonetic(e.content)) continue;
    EXPECT_EQ(e.content[0], u'[');
    EXPECT_LE(e.content.find(u']') + 1, 49u);
    EXPECT_EQ(e.content.find(u'\n'), e.content.find(u']') + 1);
  }
}

TEST(PronouncingBookTest, OneEntryPerWordWithEveryPronunciation) {
  std::vector<BookEntry> entries;
  std::vector<bool> phonetic;
  MakePronouncingEntries(Read(kLexicon), &entries, &phonetic);
  ASSERT_EQ(entries.size(), 5u);
  EXPECT_EQ(entries[0].content, u"[5]\na\ndeterminer: AX0\nnoun: EY1");
  EXPECT_EQ(entries[1].content, u"[bUk]\nbook\nB UH1 K");
  EXPECT_EQ(entries[2].key, u"Agha");
  EXPECT_EQ(entries[3].content,
            u"['r9k6d]\nrecord\nnoun: R EH1 - K ER0 D\nverb: R AX0 - K AO1 R D");
  EXPECT_EQ(entries[4].content, u"[1d]\nodd\nQ AA1 D\nAA1 D");
  EXPECT_EQ(phonetic, (std::vector<bool>{true, true, true, true, true}));

  // A word none of whose pronunciations the alphabet can write has no line.
  MakePronouncingEntries(Read("(\"qq\" nil (((q) 1)))\n"), &entries, &phonetic);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].content, u"qq\nQ");
  EXPECT_EQ(phonetic, std::vector<bool>{false});
}

}  // namespace
}  // namespace quill::books
