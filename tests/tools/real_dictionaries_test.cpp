// Dictionaries from Debian's packages, when they are installed
// (scripts/setup.sh installs them): the Czech dictionary of foreign words,
// StarDict, made into a book and compared word by word with what sdcv
// shows; WordNet, DSL, read card by card.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "import/dictd_reader.h"
#include "import/gzip.h"
#include "import/dsl_reader.h"
#include "book/files.h"
#include "book/utf.h"
#include "support/test_books.h"
#include "tools/xqb_run.h"

namespace quill::xqb {

// xqb is the command line of the import readers and the conversion.
using namespace quill::import;
namespace {

namespace fs = std::filesystem;

constexpr char kCzechFolder[] = "/usr/share/stardict/dic";
constexpr char kCzechIfo[] = "/usr/share/stardict/dic/czech-cizi.ifo";
constexpr char kCzechTitle[] = "Slovn\xC3\xADk ciz\xC3\xAD" "ch slov";
constexpr char kWordNet[] = "/usr/share/goldendict-wordnet/goldendict-wordnet.dsl.dz";

// What the command wrote, results and messages.
int Xqb(const std::vector<std::string>& args, std::string* out) {
  const testing::Result r = testing::Xqb(args);
  *out = r.out + r.err;
  return r.code;
}

// The lines with their white space trimmed, blank ones left out: how the
// two programs lay a text out differs only there.
std::string Words(const std::string& text) {
  std::string out;
  std::size_t p = 0;
  while (p <= text.size()) {
    std::size_t end = text.find('\n', p);
    if (end == std::string::npos) end = text.size();
    const std::size_t first = text.find_first_not_of(" \t", p);
    std::size_t last = end;
    while (last > p && (text[last - 1] == ' ' || text[last - 1] == '\t')) --last;
    if (first < last) out += text.substr(first, last - first) + "\n";
    p = end + 1;
  }
  return out;
}

// What sdcv shows for word: the text after its "-->word" line.
std::string Sdcv(const std::string& word) {
#ifdef _WIN32
  (void)word;
  return "";
#else
  const std::string command = std::string("sdcv -n -e -x -0 -u '") + kCzechTitle +
                              "' --data-dir " + kCzechFolder + " '" + word + "' 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return "";
  std::string text;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
  pclose(pipe);
  const std::string marker = "-->" + word + "\n";
  const std::size_t at = text.find(marker);
  return at == std::string::npos ? "" : text.substr(at + marker.size());
#endif
}

bool HaveSdcv() {
#ifdef _WIN32
  return false;
#else
  return std::system("command -v sdcv >/dev/null 2>&1") == 0;
#endif
}

TEST(RealDictionaries, CzechStarDictShowsWhatSdcvShows) {
  if (!fs::exists(kCzechIfo) || !HaveSdcv()) {
    GTEST_SKIP() << "stardict-czech or sdcv is not installed";
  }
  const std::string book = quill::testing::ScratchDir() + "/czech.xqb";
  std::string out;
  ASSERT_EQ(Xqb({"build", kCzechIfo, "-o", book}, &out), 0) << out;
  ASSERT_EQ(Xqb({"info", book}, &out), 0);
  EXPECT_NE(out.find("title: " + std::string(kCzechTitle) + "\nentries: 18259\n"),
            std::string::npos)
      << out;
  // Plain text, a pronunciation line, an escaped entity, accents.
  for (const std::string word : {"abaka", "a capella", "ACV", "opus", "\xC4\x8Duva\xC4\x8D",
                                 "konzervace, konservace", "seberealizace"}) {
    SCOPED_TRACE(word);
    ASSERT_EQ(Xqb({"lookup", book, word}, &out), 0);
    const std::string found = "found ";
    ASSERT_EQ(out.rfind(found, 0), 0u) << out;
    const std::size_t keyLine = out.find('\n') + 1;
    const std::size_t content = out.find('\n', keyLine) + 1;
    EXPECT_EQ(out.substr(keyLine, content - keyLine - 1), word);
    const std::string shown = Sdcv(word);
    ASSERT_FALSE(shown.empty()) << "sdcv found nothing";
    EXPECT_EQ(Words(out.substr(content)), Words(shown));
  }
}

TEST(RealDictionaries, WordNetDslReadsCardByCard) {
  std::string native;
  std::vector<std::uint8_t> packed;
  std::string why;
  if (!fs::exists(kWordNet) || !NativePath(kWordNet, &native) ||
      !ReadWholeFile(native, &packed, &why)) {
    GTEST_SKIP() << "goldendict-wordnet is not installed";
  }
  std::vector<std::uint8_t> text;
  ASSERT_EQ(InflateGzip(packed.data(), packed.size(), std::uint64_t{1} << 40, &text, &why), 1)
      << why;
  DslBook book;
  ASSERT_EQ(ReadDsl(text.data(), text.size(), &book, &why), 1) << why;
  EXPECT_EQ(book.name, u"WordNet 3.0 (En-En)");
  EXPECT_EQ(book.indexLanguage, u"English");
  EXPECT_EQ(book.entries.size(), 148730u);
  auto content = [&book](const std::u16string& key) {
    for (const BookEntry& e : book.entries) {
      if (e.key == key) return ToUtf8(e.content);
    }
    return std::string("(none)");
  };
  EXPECT_EQ(content(u"'tween"),
            "adverb\n  in between\n    - two houses with a tree between\n"
            "    \xE2\x80\xA2 Syn: between");
  EXPECT_EQ(content(u"'hood"),
            "noun\n  (slang) a neighborhood\n"
            "    \xE2\x80\xA2 Usage Domain:\n"
            "      slang, cant, jargon, lingo, argot, patois, vernacular\n"
            "    \xE2\x80\xA2 Hypernyms: vicinity, locality, neighborhood, neighbourhood, neck of "
            "the woods");
  const std::string calibre = content(u".22 calibre");
  EXPECT_EQ(calibre.substr(0, calibre.find('\n', 12)),
            "adjective\n  of or relating to the bore of a gun (or its ammunition) that measures "
            "twenty-two hundredths of an inch in diameter");
}

}  // namespace
}  // namespace quill::xqb
