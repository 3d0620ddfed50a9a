// xqb lookup and find over several books and folders of books: the order
// of the answers, the headings and row prefixes that tell books apart, the
// base-form fallback, and books that cannot be read among good ones.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/test_books.h"
#include "xqb_run.h"

namespace quill::xqb {
namespace {

namespace fs = std::filesystem;
using testing::Result;
using testing::Xqb;

#ifdef _WIN32
const std::string kSeparator = "\\";
#else
const std::string kSeparator = "/";
#endif

fs::path Utf8Path(const std::string& path) { return fs::path(std::u8string(path.begin(), path.end())); }

// A fresh folder (UTF-8 path) in the scratch folder.
std::string NewFolder(const std::string& name) {
  static int serial = 0;
  const std::string folder = quill::testing::ScratchDir() + "/many" + std::to_string(serial++) + "/" + name;
  fs::create_directories(Utf8Path(folder));
  return folder;
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(Utf8Path(path), std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Writes a book of "key=content" entries into folder; returns its path.
std::string PutBook(const std::string& folder, const std::string& name, const std::u16string& title,
                    std::initializer_list<const char*> entries) {
  BookLayout layout;
  layout.title = title;
  const std::string path = folder + "/" + name;
  WriteBytes(path, quill::testing::BuildImage(quill::testing::Entries(entries), layout));
  return path;
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

TEST(XqbLookupMany, BooksThatHoldTheWordAnswerFirst) {
  const std::string folder = NewFolder("books");
  const std::string birds = PutBook(folder, "birds.xqb", u"Birds", {"child=a young one", "goose=a bird"});
  const std::string more = PutBook(folder, "more.xqb", u"", {"geese=many birds", "zoo=animals"});
  const std::string none = PutBook(folder, "none.xqb", u"Nothing", {});
  const std::string other = PutBook(folder, "other.xqb", u"Other", {"apple=fruit"});
  const std::string lines = PutBook(folder, "lines.xqb", u"Two\nlines", {"yak=ox"});
  struct Case {
    std::vector<std::string> args;
    int code;
    std::string out;
  };
  const std::vector<Case> cases = {
      // The word itself, then a base form, then the nearest entry, then a
      // book with nothing in it; the order given within each.
      {{"lookup", none, other, birds, more, "geese"},
       0,
       Lines({"== more.xqb", "found 0", "geese", "many birds", "",
              "== Birds (birds.xqb)", "geese: not in this book. Did you mean goose?", "found 1", "goose", "a bird", "",
              "== Other (other.xqb)", "nearest 0", "apple", "fruit", "",
              "== Nothing (none.xqb)", "no entries"})},
      {{"lookup", other, birds, "Children"},
       0,
       Lines({"== Birds (birds.xqb)", "Children: not in this book. Did you mean child?", "found 0", "child", "a young one", "",
              "== Other (other.xqb)", "nearest 0", "apple", "fruit"})},
      // No book holds it: the order given.
      {{"lookup", more, birds, "yak"},
       0,
       Lines({"== more.xqb", "nearest 1", "zoo", "animals", "", "== Birds (birds.xqb)", "nearest 1",
              "goose", "a bird"})},
      // A heading is one line, whatever the title holds.
      {{"lookup", other, lines, "yak"},
       0,
       Lines({"== Two lines (lines.xqb)", "found 0", "yak", "ox", "", "== Other (other.xqb)",
              "nearest 0", "apple", "fruit"})},
      {{"lookup", none, none, "a"}, 1, Lines({"== Nothing (none.xqb)", "no entries", "",
                                               "== Nothing (none.xqb)", "no entries"})},
      // One book answers as it always has, the base form above the entry.
      {{"lookup", birds, "geese"}, 0, "geese: not in this book. Did you mean goose?\nfound 1\ngoose\na bird\n"},
      {{"lookup", birds, "geese0"}, 0, "nearest 1\ngoose\na bird\n"},
      {{"lookup", more, "geese"}, 0, "found 0\ngeese\nmany birds\n"},
      {{"lookup", none, "geese"}, 1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.back() + " in " + std::to_string(c.args.size() - 2) + " books");
    const Result r = Xqb(c.args);
    EXPECT_EQ(r.code, c.code);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, "");
  }
}

TEST(XqbLookupMany, AFolderStandsForItsBooksInNameOrder) {
  // A folder and file names in other scripts: Windows lists them wide.
  const std::string folder = NewFolder("\xD0\xBA\xD0\xBD\xD0\xB8\xD0\xB3\xD0\xB8");  // книги
  PutBook(folder, "c.xqb", u"C", {"walk=on foot"});
  PutBook(folder, "A.XQB", u"A", {"mouse=small"});
  PutBook(folder, "\xD1\x81\xD0\xBB\xD0\xBE\xD0\xB2\xD0\xB0\xD1\x80\xD1\x8C.xqb", u"",  // словарь
          {"walked=went on foot"});
  PutBook(folder, "b.xqb", u"B", {"walk=a path"});
  WriteBytes(folder + "/notes.txt", {'n', 'o'});
  fs::create_directories(Utf8Path(folder + "/sub.xqb"));  // a folder, not a book
  const std::string single = PutBook(NewFolder("one"), "single.xqb", u"Single", {"walked=past"});

  Result r = Xqb({"lookup", folder, single, "walked"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, Lines({"== \xD1\x81\xD0\xBB\xD0\xBE\xD0\xB2\xD0\xB0\xD1\x80\xD1\x8C.xqb", "found 0",
                          "walked", "went on foot", "",
                          "== Single (single.xqb)", "found 0", "walked", "past", "",
                          "== B (b.xqb)", "walked: not in this book. Did you mean walk?", "found 0", "walk", "a path", "",
                          "== C (c.xqb)", "walked: not in this book. Did you mean walk?", "found 0", "walk", "on foot", "",
                          "== A (A.XQB)", "nearest 0", "mouse", "small"}));

  // A folder alone answers under headings too, even with one book in it.
  r = Xqb({"lookup", folder, "mice"});
  EXPECT_EQ(r.out.rfind("== A (A.XQB)\nmice: not in this book. Did you mean mouse?\nfound 0\nmouse\nsmall\n\n== B", 0), 0u)
      << r.out;
  r = Xqb({"lookup", single.substr(0, single.size() - 11), "walked"});
  EXPECT_EQ(r.out, Lines({"== Single (single.xqb)", "found 0", "walked", "past"}));

  // find: rows start with the book's path, folder members in name order.
  r = Xqb({"find", folder, single, "foot"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, Lines({folder + kSeparator + "c.xqb\t0\twalk",
                          folder + kSeparator + "\xD1\x81\xD0\xBB\xD0\xBE\xD0\xB2\xD0\xB0\xD1\x80\xD1\x8C.xqb\t0\twalked"}));
}

TEST(XqbLookupMany, BooksThatCannotBeReadAreNamedAndTheOthersAnswer) {
  const std::string folder = NewFolder("mixed");
  const std::string good = PutBook(folder, "good.xqb", u"Good", {"mouse=small"});
  const std::string missing = folder + "/missing.xqb";
  const std::string text = folder + "/text.xqb";
  WriteBytes(text, {'n', 'o', 't', ' ', 'a', ' ', 'b', 'o', 'o', 'k'});
  const std::string empty = NewFolder("empty");
  WriteBytes(empty + "/readme.txt", {'x'});
  const std::string later = PutBook(NewFolder("later"), "later.xqb", u"Later", {"mice=many small"});

  struct Case {
    std::vector<std::string> args;
    std::string out;
    std::string err;
  };
  const std::vector<Case> cases = {
      {{"lookup", missing, good, text, empty, later, "mice"},
       Lines({"== Later (later.xqb)", "found 0", "mice", "many small", "",
              "== Good (good.xqb)", "mice: not in this book. Did you mean mouse?", "found 0", "mouse", "small"}),
       Lines({missing + ": cannot open the file (No such file or directory)",
              text + ": not a book (it does not start with the XQB signature)",
              empty + ": no books (*.xqb) in the folder"})},
      // The folder's books, the unreadable one among them.
      {{"lookup", folder, "mouse"},
       Lines({"== Good (good.xqb)", "found 0", "mouse", "small"}),
       Lines({folder + kSeparator + "text.xqb: not a book (it does not start with the XQB signature)"})},
      {{"find", good, missing, later, "small"},
       Lines({good + "\t0\tmouse", later + "\t0\tmice"}),
       Lines({missing + ": cannot open the file (No such file or directory)"})},
      // Nothing matched, and a book failed: the failure decides.
      {{"find", good, text, "nowhere"}, "",
       Lines({text + ": not a book (it does not start with the XQB signature)"})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args.back());
    const Result r = Xqb(c.args);
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, c.err);
  }
}

// What a miss offers: lookup shows the first offer's entry under the note,
// suggest lists the offers with their distances, in the same order.
TEST(XqbSuggest, ListsWhatLookupOffers) {
  const std::string folder = NewFolder("suggest");
  const std::string words = PutBook(folder, "words.xqb", u"Words",
                                    {"accurate=exact", "acute=sharp", "curate=a cleric", "goose=a bird",
                                     "receive=get", "Recife=a city", "sense=a faculty"});
  const std::string other = PutBook(folder, "other.xqb", u"Other", {"apple=fruit"});
  struct Case {
    std::vector<std::string> args;
    int code;
    std::string out;
  };
  const std::vector<Case> cases = {
      {{"lookup", words, "acurate"}, 0,
       Lines({"acurate: not in this book. Did you mean accurate, curate, acute?", "found 0", "accurate",
              "exact"})},
      {{"lookup", words, "RECIEVE"}, 0,
       Lines({"RECIEVE: not in this book. Did you mean receive, Recife?", "found 4", "receive", "get"})},
      {{"suggest", words, "acurate"}, 0, Lines({"accurate\t1", "curate\t1", "acute\t2"})},
      {{"suggest", words, "geese"}, 0, Lines({"goose\t2\tbase form", "sense\t2"})},
      // Held, being typed, or nothing near: nothing offered.
      {{"suggest", words, "Goose"}, 1, ""},
      {{"suggest", words, "recei"}, 1, ""},
      {{"suggest", words, "zzzzqqq"}, 1, ""},
      {{"suggest", words, std::string(500, 'a')}, 1, ""},
      // Several books: each under its heading, in the order given.
      {{"suggest", other, words, "acute"}, 1,
       Lines({"== Other (other.xqb)", "nothing offered", "", "== Words (words.xqb)", "nothing offered"})},
      {{"suggest", folder, "recieve"}, 0,
       Lines({"== Other (other.xqb)", "nothing offered", "", "== Words (words.xqb)", "receive\t1",
              "Recife\t2"})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args.back().substr(0, 20));
    const Result r = Xqb(c.args);
    EXPECT_EQ(r.code, c.code);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, "");
  }
  const Result bad = Xqb({"suggest", words});
  EXPECT_EQ(bad.code, 2);
  EXPECT_EQ(bad.err, "xqb: suggest takes BOOK and WORD\n");
}

TEST(XqbFindMany, BooksAndTermsAreToldApartByTheirPlace) {
  const std::string folder = NewFolder("find");
  const std::string a = PutBook(folder, "a.xqb", u"A", {"apple=red fruit", "berry=red and small",
                                                         "cherry=red stone fruit"});
  const std::string b = PutBook(folder, "b.xqb", u"B", {"fig=sweet fruit", "plum=red fruit"});
  // A book under another name counts only in the first place.
  const std::string c = folder + "/c.book";
  fs::copy_file(Utf8Path(b), Utf8Path(c));
  struct Case {
    std::vector<std::string> args;
    int code;
    std::string out;
  };
  const std::vector<Case> cases = {
      {{"find", a, b, "fruit"}, 0, Lines({a + "\t0\tapple", a + "\t2\tcherry", b + "\t0\tfig", b + "\t1\tplum"})},
      // --limit counts per book.
      {{"find", a, b, "red", "--limit", "1"}, 0, Lines({a + "\t0\tapple", b + "\t1\tplum"})},
      // Two terms after the books, each in the key or the content.
      {{"find", a, b, "red", "stone"}, 0, Lines({a + "\t2\tcherry"})},
      {{"find", b, a, "fruit", "sweet"}, 0, Lines({b + "\t0\tfig"})},
      // The last argument is a term even when it names a book.
      {{"find", a, b}, 1, ""},
      // Another name is a term in the middle, a book in the first place.
      {{"find", a, c, "fruit"}, 1, ""},
      {{"find", c, a, "plum"}, 0, Lines({c + "\t1\tplum"})},
      {{"find", a, b, "nowhere"}, 1, ""},
      // However many workers, the rows come in the order given.
      {{"find", b, a, b, "fruit", "--threads", "1"}, 0,
       Lines({b + "\t0\tfig", b + "\t1\tplum", a + "\t0\tapple", a + "\t2\tcherry", b + "\t0\tfig",
              b + "\t1\tplum"})},
      {{"find", b, a, b, "fruit", "--threads", "8"}, 0,
       Lines({b + "\t0\tfig", b + "\t1\tplum", a + "\t0\tapple", a + "\t2\tcherry", b + "\t0\tfig",
              b + "\t1\tplum"})},
  };
  for (const Case& c2 : cases) {
    SCOPED_TRACE(c2.args.back());
    const Result r = Xqb(c2.args);
    EXPECT_EQ(r.code, c2.code);
    EXPECT_EQ(r.out, c2.out);
    EXPECT_EQ(r.err, "");
  }
  const Result r = Xqb({"find", a, b, "x", "y", "z"});
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.err, "xqb: find takes BOOK and one or two TERMs\n");
  for (const char* threads : {"0", "x", "257"}) {
    const Result bad = Xqb({"find", a, "fruit", "--threads", threads});
    EXPECT_EQ(bad.code, 2);
    EXPECT_EQ(bad.err, std::string("xqb: --threads ") + threads + ": give a count from 1 to 256\n");
  }
}

}  // namespace
}  // namespace quill::xqb
